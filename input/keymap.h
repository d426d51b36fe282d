// The keys of an X keymap as the keyboard's scan codes, and when they count.
//
// XQueryKeymap gives 32 bytes, one bit per X keycode (bit k % 8 of byte
// k / 8). X keycodes are the kernel's key numbers plus 8, and the kernel's
// numbers are the PC scan codes for the keys of a standard keyboard, so X
// keycode k is scan code k - 8 (Escape is keycode 9, scan code 1).
#pragma once

#include <cstdint>

namespace vivuvev {

constexpr int32_t KeycodeOffset = 8;

// The scan code of X keycode k (k - 8), or -1 for a keycode with none (below
// 8, or past scan code 255).
int32_t ScanCodeOfKeycode(uint32_t keycode);

// Fills all 256 bytes: 0x80 for each scan code whose key is down, 0 otherwise.
void KeymapToKeyboardState(const char (&keymap)[32], uint8_t (&state)[256]);

// Where the keyboard focus is, as seen from the window the keyboard is bound to.
enum class FocusPlace {
  Window,       // the window itself (or one of its own children)
  FollowsPointer,  // the focus follows the pointer (no window manager)
  Elsewhere,    // another window, or no focus at all
};

// Keys reach the window only while it has the focus, or while the focus
// follows the pointer and the pointer is over the window.
bool KeysReachWindow(FocusPlace focus, bool pointerOverWindow);

}  // namespace vivuvev
