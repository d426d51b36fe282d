#include "input/keyboard.h"

#include <algorithm>
#include <iterator>

#include "display/screen.h"
#include "input/keyboard_device.h"

namespace vivuvev {

uint32_t KeyboardStage = KeyboardClosed;
uint8_t KeyboardState[256] = {};

namespace {

bool pressed[256] = {};

}  // namespace

int32_t OpenKeyboard() {
  if (!KeyboardLibraryLoad()) return 0;
  if (KeyboardStage != KeyboardClosed) return 1;
  if (!KeyboardDeviceCreate()) return 0;
  KeyboardStage = KeyboardNeedsAcquire;
  return 1;
}

int32_t PollKeyboard() {
  if (!KeyboardDeviceExists()) return 0;
  if (KeyboardStage == KeyboardNeedsAcquire) {
    // The window the device binds to exists only once the Screen is open,
    // which is why binding waits for the first poll.
    KeyboardDeviceAcquire(ScreenParentWindow());
    KeyboardStage = KeyboardAcquired;
  }
  if (!KeyboardDeviceRead(KeyboardState)) {
    KeyboardStage = KeyboardNeedsAcquire;
    return 0;
  }
  return 1;
}

int32_t KeyIsDown(int32_t key) {
  if (KeyboardStage != KeyboardAcquired) return 0;
  if (key == KeyAny) {
    // Byte 255 is never looked at.
    for (int k = 0; k < 255; ++k) {
      if (KeyboardState[k] & 0x80) return 1;
    }
    return 0;
  }
  if (key < 0 || key > 255) return 0;
  return KeyboardState[key] & 0x80;
}

void CloseKeyboard() {
  KeyboardDeviceClose();
  KeyboardStage = KeyboardClosed;
  std::fill(std::begin(pressed), std::end(pressed), false);
}

void NoteKeyPress(int32_t key) {
  if (key >= 0 && key <= 255) pressed[key] = true;
}

bool KeyWasPressed(int32_t key) { return key >= 0 && key <= 255 && pressed[key]; }

}  // namespace vivuvev
