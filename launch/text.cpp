#include "launch/text.h"

#include <cstring>

namespace vivuvev {

int32_t TextLength(const char* text) {
  return text == nullptr ? 0 : static_cast<int32_t>(std::strlen(text));
}

std::string TextMid(const char* text, int32_t start, int32_t count) {
  if (text == nullptr || count <= 0) return std::string();
  const int32_t length = TextLength(text);
  const int32_t skip = start > 1 ? start - 1 : 0;
  if (skip >= length) return std::string();
  const int32_t available = length - skip;
  return std::string(text + skip, static_cast<size_t>(count < available ? count : available));
}

int32_t TextEquals(const char* a, const char* b) {
  return std::strcmp(a ? a : "", b ? b : "") == 0 ? 1 : 0;
}

}  // namespace vivuvev
