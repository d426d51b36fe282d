// The desktop on user32: GetSystemMetrics for the primary screen (in real
// pixels, since the programs declare themselves DPI-aware), GetCursorPos and
// ShowCursor.
#define NOMINMAX
#include <windows.h>

#include "display/desktop.h"

namespace vivuvev {

int32_t PrimaryScreenWidth() { return ::GetSystemMetrics(SM_CXSCREEN); }
int32_t PrimaryScreenHeight() { return ::GetSystemMetrics(SM_CYSCREEN); }

bool GetCursorPosition(CursorPoint* point) {
  POINT at{};
  if (!::GetCursorPos(&at)) return false;
  point->x = at.x;
  point->y = at.y;
  return true;
}

void ShowCursor(bool show) { ::ShowCursor(show ? TRUE : FALSE); }

}  // namespace vivuvev
