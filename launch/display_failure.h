// The one line a program prints when it cannot reach any display at all.
#pragma once

#include <string>

namespace vivuvev {

// program: the program's name; display: the display it tried, as the window
// system names it (empty when none was named).
std::string NoDisplayMessage(const std::string& program, const std::string& display);

}  // namespace vivuvev
