// Where the parts of a message box go: the lines of its text and its OK
// button, from the font's measurements. Shared by every platform that draws
// its own message box.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vivuvev {

struct BoxRect {
  int32_t x, y, width, height;
};

struct MessageBoxLayout {
  int32_t width, height;            // of the whole box
  std::vector<std::string> lines;   // the message split at its line breaks
  int32_t textX;                    // left edge of every line
  std::vector<int32_t> baselines;   // one per line
  BoxRect button;
  int32_t buttonTextX, buttonTextY;  // where "OK" starts, on its baseline
};

constexpr int32_t BoxMargin = 16;
constexpr int32_t ButtonPadding = 8;
constexpr int32_t MinButtonWidth = 80;
constexpr int32_t MinBoxWidth = 200;
extern const char ButtonLabel[];

// textWidth measures a string in pixels; ascent and descent are the font's.
MessageBoxLayout LayOutMessageBox(const char* message,
                                  const std::function<int32_t(const std::string&)>& textWidth,
                                  int32_t ascent, int32_t descent);

// Whether (x, y), in box coordinates, is on the button.
bool OnButton(const MessageBoxLayout& layout, int32_t x, int32_t y);

}  // namespace vivuvev
