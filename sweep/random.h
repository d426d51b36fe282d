// The process's random numbers: a RANROT-W generator (lags 17 and 10, left
// rotations by 27 and 19) that seeds itself on first use.
#pragma once

#include <cstdint>

namespace vivuvev {

struct RandomGenerator {
  uint32_t seeded;
  int32_t i;
  int32_t j;
  uint32_t A[17];
  uint32_t B[17];
};

extern RandomGenerator RandomState;

void SeedRandom(uint32_t seed);
uint32_t RandomStep();
// 0..max inclusive for max >= 0; all 32 bits for max = -1.
int32_t RandomUpTo(int32_t max);

}  // namespace vivuvev
