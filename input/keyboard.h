// Keyboard polling: the state of every key copied once per frame; and, for a
// window that delivers its key presses as events (the module's own window on
// X11), those presses, however briefly each key was down.
#pragma once

#include <cstdint>

namespace vivuvev {

// Key numbers are scan codes; 1 is Escape.
constexpr int32_t KeyEscape = 1;
constexpr int32_t KeyQ = 16;
constexpr int32_t KeyAny = -1;

enum KeyboardStages : uint32_t {
  KeyboardClosed = 0,
  KeyboardNeedsAcquire = 1,
  KeyboardAcquired = 2,
};

extern uint32_t KeyboardStage;
// Bit 7 of byte i: key i was down at the last successful poll.
extern uint8_t KeyboardState[256];

int32_t OpenKeyboard();
int32_t PollKeyboard();
// 0x80 while key is down, 0 while up; for KeyAny 1 when some key is down.
// 0 in every case unless the keyboard is acquired.
int32_t KeyIsDown(int32_t key);
// Forgets the presses noted too.
void CloseKeyboard();

// A press of key (a scan code) that the window's events reported; other
// numbers are ignored. The polled state above does not see it.
void NoteKeyPress(int32_t key);
// Whether a press of key was noted since the keyboard was last closed.
bool KeyWasPressed(int32_t key);

}  // namespace vivuvev
