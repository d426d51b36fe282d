// The window library: numbered top-level windows, the window-event queue and
// the one message pump of the program.
//
// Each platform provides these (window_win32.cpp, window_x11.cpp,
// window_headless.cpp) on top of the portable WindowTable and
// WindowEventQueue. Callers rely on: OpenDisplayWindow(n, ...) closes an open
// window n first and returns the handle, or 0; PollWindowEvent never waits and
// handles at most one message per call, returning a queued event first;
// operations on a number that is not open return 0.
#pragma once

#include <cstdint>

#include "base/handles.h"

namespace vivuvev {

// A pop-up window without caption or border.
constexpr uint32_t WindowBorderless = 0x80000000u;
constexpr uint32_t WindowCentreOnScreen = 0x00000001u;
constexpr uint32_t WindowCentreOnActive = 0x00000002u;
constexpr uint32_t WindowTool = 0x00000004u;
constexpr uint32_t WindowChildControlsOnly = 0x00000008u;
constexpr uint32_t WindowHidden = 0x10000000u;
constexpr uint32_t WindowMaximised = 0x01000000u;  // WS_MAXIMIZE
constexpr uint32_t WindowMinimised = 0x20000000u;  // WS_MINIMIZE

void StartWindowLibrary();
void EndWindowLibrary();

WindowHandle OpenDisplayWindow(int32_t number, int32_t x, int32_t y, int32_t width, int32_t height,
                               const char* title, uint32_t flags);
int32_t SetWindowSticky(int32_t number, int32_t on);
// timeoutMs 0 peeks, -1 waits for a message, a positive value waits at most
// that long.
int32_t NextWindowEvent(int32_t timeoutMs);
int32_t PollWindowEvent();
int32_t CloseDisplayWindow(int32_t number);

}  // namespace vivuvev
