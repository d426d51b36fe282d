// Headless desktop: a primary screen of the size the caller chose and a cursor
// that moves only when the script says so.
#include <algorithm>
#include <vector>

#include "display/desktop.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_parts.h"

namespace vivuvev {

namespace {

struct CursorMove {
  uint32_t frame;
  int32_t dx;
  int32_t dy;
};

int32_t screenWidth = 1920;
int32_t screenHeight = 1080;
CursorPoint cursor = {960, 540};
std::vector<CursorMove> cursorScript;  // in order of frame, then of scripting

}  // namespace

int32_t PrimaryScreenWidth() { return screenWidth; }
int32_t PrimaryScreenHeight() { return screenHeight; }

bool GetCursorPosition(CursorPoint* point) {
  const uint32_t now = HeadlessFramesPresented();
  auto due = cursorScript.begin();
  while (due != cursorScript.end() && due->frame <= now) {
    cursor.x += due->dx;
    cursor.y += due->dy;
    ++due;
  }
  cursorScript.erase(cursorScript.begin(), due);
  *point = cursor;
  return true;
}

void ShowCursor(bool) {}

void ScriptCursorMove(uint32_t frame, int32_t dx, int32_t dy) {
  auto at = std::upper_bound(cursorScript.begin(), cursorScript.end(), frame,
                             [](uint32_t f, const CursorMove& m) { return f < m.frame; });
  cursorScript.insert(at, CursorMove{frame, dx, dy});
}

void SetHeadlessDesktopSize(int32_t width, int32_t height) {
  screenWidth = width;
  screenHeight = height;
  cursor = {width / 2, height / 2};
}

void ResetHeadlessDesktop() {
  cursorScript.clear();
  SetHeadlessDesktopSize(1920, 1080);
}

void ResetHeadlessPlatform() {
  ResetHeadlessDesktop();
  ResetHeadlessKeyboard();
  ResetHeadlessWindows();
  ResetHeadlessPresent();
  ResetHeadlessMessageBox();
}

}  // namespace vivuvev
