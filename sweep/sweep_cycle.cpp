// A cycle's nine random values, drawn in their order.
#include "sweep/random.h"
#include "sweep/sweep.h"

namespace vivuvev {

SweepCycle PickSweepCycle(int32_t width, int32_t height) {
  // Each draw is its own statement so that the order of the nine values is
  // the order of the calls.
  SweepCycle c{};
  c.cx = static_cast<int16_t>(RandomUpTo(width));
  c.cy = static_cast<int16_t>(RandomUpTo(height));
  c.cx2 = static_cast<int16_t>(c.cx + RandomUpTo(2));
  c.red1 = static_cast<int16_t>(RandomUpTo(255));
  c.green1 = static_cast<int16_t>(RandomUpTo(255));
  c.blue1 = static_cast<int16_t>(RandomUpTo(255));
  c.red2 = static_cast<int16_t>(RandomUpTo(255));
  c.green2 = static_cast<int16_t>(RandomUpTo(255));
  c.blue2 = static_cast<int16_t>(RandomUpTo(255));
  return c;
}

}  // namespace vivuvev
