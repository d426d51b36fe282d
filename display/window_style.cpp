#include "display/window_style.h"

#include <algorithm>

#include "display/window.h"

namespace vivuvev {

namespace {
constexpr uint32_t LibraryOnlyBits = WindowCentreOnScreen | WindowCentreOnActive | WindowTool;
}

WindowStyle WindowStyleFor(uint32_t flags) {
  WindowStyle out{};
  uint32_t style = flags & ~WindowChildControlsOnly;
  // Plain windows get a title bar.
  if ((style & ~(WindowCentreOnScreen | WindowCentreOnActive | WindowHidden)) == 0) {
    style |= StyleCaption;
  }
  out.hidden = (style & WindowHidden) != 0;
  style &= ~WindowHidden;
  if (style & WindowTool) {
    style &= ~(WindowMinimised | WindowMaximised | StyleMinimizeBox | StyleMaximizeBox);
    style |= StyleCaption;
    out.exStyle = ExStyleToolWindow;
  }
  out.style = style & ~LibraryOnlyBits;
  if (out.style & WindowMaximised) {
    out.showCommand = ShowMaximized;
  } else if (out.style & WindowMinimised) {
    out.showCommand = ShowMinimized;
  } else {
    out.showCommand = ShowNormal;
  }
  out.minimisedOrMaximised = (out.style & (WindowMinimised | WindowMaximised)) != 0;
  return out;
}

WindowBox PlaceWindow(uint32_t flags, int32_t x, int32_t y, int32_t width, int32_t height,
                      int32_t screenWidth, int32_t screenHeight, bool hasActive,
                      const WindowBox& active) {
  WindowBox box{x, y, width, height};
  const bool centreOnScreen = (flags & WindowCentreOnScreen) != 0;
  const bool centreOnActive = (flags & WindowCentreOnActive) != 0;
  if ((x == DefaultPositionRequest || y == DefaultPositionRequest) && !centreOnScreen &&
      !centreOnActive) {
    box.x = box.y = UseDefaultPosition;
  }
  if (centreOnScreen) {
    box.width = std::min(box.width, screenWidth);
    box.height = std::min(box.height, screenHeight);
    box.x = (screenWidth - box.width) / 2;
    box.y = (screenHeight - box.height) / 2;
  }
  if (centreOnActive && hasActive) {
    box.width = std::min(box.width, active.width);
    box.height = std::min(box.height, active.height);
    box.x = std::max(0, active.x + (active.width - box.width) / 2);
    box.y = std::max(0, active.y + (active.height - box.height) / 2);
  }
  return box;
}

}  // namespace vivuvev
