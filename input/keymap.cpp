#include "input/keymap.h"

namespace vivuvev {

int32_t ScanCodeOfKeycode(uint32_t keycode) {
  constexpr auto offset = static_cast<uint32_t>(KeycodeOffset);
  return keycode < offset || keycode > offset + 255 ? -1 : static_cast<int32_t>(keycode - offset);
}

void KeymapToKeyboardState(const char (&keymap)[32], uint8_t (&state)[256]) {
  for (int32_t scan = 0; scan < 256; ++scan) {
    const int32_t keycode = scan + KeycodeOffset;
    const bool down = keycode < 256 &&
                      (static_cast<unsigned char>(keymap[keycode / 8]) >> (keycode % 8)) & 1u;
    state[scan] = down ? 0x80 : 0;
  }
}

bool KeysReachWindow(FocusPlace focus, bool pointerOverWindow) {
  switch (focus) {
    case FocusPlace::Window:
      return true;
    case FocusPlace::FollowsPointer:
      return pointerOverWindow;
    case FocusPlace::Elsewhere:
      return false;
  }
  return false;
}

}  // namespace vivuvev
