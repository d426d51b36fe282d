// The desktop as the animation sees it: the primary screen's size and the
// mouse cursor.
//
// Each platform provides these (desktop_headless.cpp, desktop_x11.cpp,
// desktop_win32.cpp). Callers rely on: the size is in pixels; the cursor
// position is in screen coordinates; GetCursorPosition returns false and leaves
// the point alone when the cursor cannot be read.
#pragma once

#include <cstdint>

namespace vivuvev {

struct CursorPoint {
  int32_t x = 0;
  int32_t y = 0;
};

int32_t PrimaryScreenWidth();
int32_t PrimaryScreenHeight();
bool GetCursorPosition(CursorPoint* point);
// Hides (false) or shows (true) the cursor over the program's windows.
void ShowCursor(bool show);

}  // namespace vivuvev
