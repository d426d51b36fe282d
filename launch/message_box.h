// A modal message box that keeps the calling thread's other windows out of the
// way while it is open.
//
// Each platform provides ShowMessageBox (message_box_win32.cpp,
// message_box_x11.cpp, message_box_headless.cpp). Callers rely on: the call
// returns when the user has closed the box; the result is 1 (OK) when the box
// was shown and closed with its button, 0 when it could not be shown.
#pragma once

#include <cstdint>

namespace vivuvev {

int32_t ShowMessageBox(const char* title, const char* message, uint32_t flags);

}  // namespace vivuvev
