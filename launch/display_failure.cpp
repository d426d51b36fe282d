#include "launch/display_failure.h"

namespace vivuvev {

std::string NoDisplayMessage(const std::string& program, const std::string& display) {
  const std::string tried =
      display.empty() ? std::string("no display named (DISPLAY is not set)") : "display '" + display + "'";
  return program + ": cannot open " + tried + "; nothing can be shown, so it ends";
}

}  // namespace vivuvev
