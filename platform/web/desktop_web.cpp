// The desktop on the web: the primary screen is the page's canvas, in device
// pixels, as the page measured it at the start or last reported it.
//
// Implemented: the screen's size and depth.
// Not implemented: the cursor (the animation never stops on input here; the
// page hides the cursor in full screen itself).
#include "display/desktop.h"
#include "platform/web/web_parts.h"

namespace vivuvev {

namespace {
int32_t screenWidth = 0;
int32_t screenHeight = 0;
int32_t screenBits = 32;
}  // namespace

int32_t PrimaryScreenWidth() { return screenWidth; }
int32_t PrimaryScreenHeight() { return screenHeight; }
bool GetCursorPosition(CursorPoint*) { return false; }
void ShowCursor(bool) {}

void SetWebScreen(int32_t width, int32_t height, int32_t bitsPerPixel) {
  screenWidth = width;
  screenHeight = height;
  screenBits = bitsPerPixel;
}

int32_t WebScreenBits() { return screenBits; }

}  // namespace vivuvev
