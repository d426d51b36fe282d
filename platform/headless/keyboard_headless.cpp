// Headless keyboard: keys go down and up when the script says so. Keys count
// only while the device is bound to an open window, as a foreground-only
// device would behave.
#include <algorithm>
#include <vector>

#include "display/window_table.h"
#include "input/keyboard_device.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_parts.h"

namespace vivuvev {

namespace {

struct KeyChange {
  uint32_t frame;
  int32_t scanCode;
  bool down;
};

bool keyboardPresent = true;
bool deviceCreated = false;
WindowHandle boundWindow = nullptr;
uint8_t keys[256] = {};
std::vector<KeyChange> keyScript;  // in order of frame, then of scripting

void Script(uint32_t frame, int32_t scanCode, bool down) {
  if (scanCode < 0 || scanCode > 255) return;
  auto at = std::upper_bound(keyScript.begin(), keyScript.end(), frame,
                             [](uint32_t f, const KeyChange& c) { return f < c.frame; });
  keyScript.insert(at, KeyChange{frame, scanCode, down});
}

}  // namespace

void ScriptKeyDown(uint32_t frame, int32_t scanCode) { Script(frame, scanCode, true); }
void ScriptKeyUp(uint32_t frame, int32_t scanCode) { Script(frame, scanCode, false); }
void SetHeadlessKeyboardPresent(bool present) { keyboardPresent = present; }

bool KeyboardLibraryLoad() { return keyboardPresent; }

bool KeyboardDeviceCreate() {
  deviceCreated = keyboardPresent;
  return deviceCreated;
}

bool KeyboardDeviceExists() { return deviceCreated; }

void KeyboardDeviceAcquire(WindowHandle window) { boundWindow = window; }

bool KeyboardDeviceRead(uint8_t (&state)[256]) {
  if (!deviceCreated || boundWindow == nullptr || WindowNumberOf(boundWindow) < 0) return false;
  const uint32_t now = HeadlessFramesPresented();
  auto due = keyScript.begin();
  for (; due != keyScript.end() && due->frame <= now; ++due) {
    keys[due->scanCode] = due->down ? 0x80 : 0;
  }
  keyScript.erase(keyScript.begin(), due);
  std::copy(std::begin(keys), std::end(keys), std::begin(state));
  return true;
}

void KeyboardDeviceClose() {
  deviceCreated = false;
  boundWindow = nullptr;
}

void ResetHeadlessKeyboard() {
  keyboardPresent = true;
  deviceCreated = false;
  boundWindow = nullptr;
  std::fill(std::begin(keys), std::end(keys), uint8_t{0});
  keyScript.clear();
}

}  // namespace vivuvev
