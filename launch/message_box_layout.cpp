#include "launch/message_box_layout.h"

#include <algorithm>

namespace vivuvev {

const char ButtonLabel[] = "OK";

namespace {

std::vector<std::string> SplitLines(const char* message) {
  std::vector<std::string> lines(1);
  for (const char* c = message ? message : ""; *c != '\0'; ++c) {
    if (*c == '\n') {
      lines.emplace_back();
    } else if (*c != '\r') {
      lines.back() += *c;
    }
  }
  return lines;
}

}  // namespace

MessageBoxLayout LayOutMessageBox(const char* message,
                                  const std::function<int32_t(const std::string&)>& textWidth,
                                  int32_t ascent, int32_t descent) {
  MessageBoxLayout layout{};
  layout.lines = SplitLines(message);
  const int32_t lineHeight = ascent + descent;
  int32_t widest = 0;
  for (const std::string& line : layout.lines) widest = std::max(widest, textWidth(line));

  layout.textX = BoxMargin;
  int32_t y = BoxMargin;
  for (size_t i = 0; i < layout.lines.size(); ++i) {
    layout.baselines.push_back(y + ascent);
    y += lineHeight;
  }

  const int32_t labelWidth = textWidth(ButtonLabel);
  layout.button.width = std::max(MinButtonWidth, labelWidth + 2 * ButtonPadding);
  layout.button.height = lineHeight + 2 * ButtonPadding;
  layout.width = std::max({MinBoxWidth, widest + 2 * BoxMargin, layout.button.width + 2 * BoxMargin});
  layout.button.x = (layout.width - layout.button.width) / 2;
  layout.button.y = y + BoxMargin;
  layout.height = layout.button.y + layout.button.height + BoxMargin;
  layout.buttonTextX = layout.button.x + (layout.button.width - labelWidth) / 2;
  layout.buttonTextY = layout.button.y + ButtonPadding + ascent;
  return layout;
}

bool OnButton(const MessageBoxLayout& layout, int32_t x, int32_t y) {
  const BoxRect& b = layout.button;
  return x >= b.x && x < b.x + b.width && y >= b.y && y < b.y + b.height;
}

}  // namespace vivuvev
