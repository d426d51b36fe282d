#include "sweep/random.h"

#include "base/system.h"

namespace vivuvev {

RandomGenerator RandomState = {};

namespace {

constexpr uint32_t Rotl(uint32_t v, unsigned n) { return (v << n) | (v >> (32u - n)); }

constexpr uint32_t SeedMultiplier = 2891336453u;  // 0xAC564B05

}  // namespace

uint32_t RandomStep() {
  RandomGenerator& r = RandomState;
  const uint32_t x = Rotl(r.A[r.i], 27) + r.A[r.j];
  const uint32_t y = Rotl(r.B[r.i], 19) + r.B[r.j];
  r.A[r.i] = y;
  r.B[r.i] = x;
  if (--r.i < 0) r.i = 16;
  if (--r.j < 0) r.j = 16;
  return y;
}

void SeedRandom(uint32_t seed) {
  RandomGenerator& r = RandomState;
  uint32_t s = seed;
  for (int k = 0; k < 17; ++k) {
    s = s * SeedMultiplier + 1u;
    r.B[k] = s;
    s = s * SeedMultiplier + 1u;
    r.A[k] = s;
  }
  r.i = 0;
  r.j = 10;
  for (int k = 0; k < 31; ++k) RandomStep();
}

int32_t RandomUpTo(int32_t max) {
  if (RandomState.seeded == 0) {
    RandomState.seeded = 1;
    SeedRandom(CurrentThreadId() ^ TickCount());
  }
  const uint32_t n = static_cast<uint32_t>(max) + 1u;
  const uint32_t y = RandomStep();
  if (n == 0) return static_cast<int32_t>(y);
  return static_cast<int32_t>((static_cast<uint64_t>(y) * n) >> 32);
}

}  // namespace vivuvev
