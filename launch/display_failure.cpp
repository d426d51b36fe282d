#include "launch/display_failure.h"

namespace vivuvev {

std::string NoDisplayMessage(const std::string& program, const std::string& display) {
  // Xlib names no display when DISPLAY is unset and when it is empty alike.
  const std::string tried = display.empty()
                                ? std::string("a display, as none is named (DISPLAY is empty or not set)")
                                : "display '" + display + "'";
  return program + ": cannot open " + tried + "; nothing can be shown, so it ends";
}

}  // namespace vivuvev
