// Operations on text values: bytes without embedded zeros, where a null
// pointer counts as the empty text. Results are new values owned by the caller.
#pragma once

#include <cstdint>
#include <string>

namespace vivuvev {

int32_t TextLength(const char* text);
// count characters from the 1-based position start; a start below 1 skips
// nothing, a negative count copies nothing.
std::string TextMid(const char* text, int32_t start, int32_t count);
// 1 when both texts hold the same bytes, 0 otherwise; case-sensitive.
int32_t TextEquals(const char* a, const char* b);

}  // namespace vivuvev
