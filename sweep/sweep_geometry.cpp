// The animation's geometry: how many steps a cycle has on a screen, and the
// two radii at a step.
#include <cmath>

#include "program/program.h"
#include "sweep/sweep.h"

namespace vivuvev {

int16_t MaxStepFor(int32_t width, int32_t height) {
  // The halves and their squares are single-precision values; the sum and
  // the square root are taken in double precision. Rounding the root to
  // single precision too would move it onto a .5 on some screens (3979 x 1057:
  // 2058.50006 becomes 2058.5, which then rounds to the even 2058).
  const float halfWidth = static_cast<float>(width) / 2.0f;
  const float halfHeight = static_cast<float>(height) / 2.0f;
  const float widthSquared = halfWidth * halfWidth;
  const float heightSquared = halfHeight * halfHeight;
  const double halfDiagonal =
      std::sqrt(static_cast<double>(widthSquared) + static_cast<double>(heightSquared));
  // lrint rounds ties to even in the default rounding mode.
  const long rounded = std::lrint(halfDiagonal);
  return static_cast<int16_t>(static_cast<uint16_t>(rounded & 0xFFFF));
}

SweepRadii SweepRadiiAt(int16_t step) {
  // 32-bit arithmetic from the 16-bit values; together the radii always make
  // 2 x (MaxStep + 1).
  return {int32_t{step} * StepSize, (int32_t{MaxStep} - step + 1) * StepSize};
}

}  // namespace vivuvev
