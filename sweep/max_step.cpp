#include <cmath>

#include "sweep/sweep.h"

namespace vivuvev {

int16_t MaxStepFor(int32_t width, int32_t height) {
  // Single precision throughout: each half and each square is rounded to
  // float before the sum, as the values were always computed.
  const float halfWidth = static_cast<float>(width) / 2.0f;
  const float halfHeight = static_cast<float>(height) / 2.0f;
  const float widthSquared = halfWidth * halfWidth;
  const float heightSquared = halfHeight * halfHeight;
  const float halfDiagonal = std::sqrt(widthSquared + heightSquared);
  // nearbyint rounds ties to even in the default rounding mode.
  const long rounded = std::lrint(halfDiagonal);
  return static_cast<int16_t>(static_cast<uint16_t>(rounded & 0xFFFF));
}

}  // namespace vivuvev
