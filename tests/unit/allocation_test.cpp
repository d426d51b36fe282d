// Frames of the sweep on the software path allocate no memory once the
// animation is running: this program puts its own malloc, calloc and realloc
// in front of the C library's and counts every call, from any code.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>

#include "headless_fixture.h"
#include "input/keyboard.h"
#include "sweep/random.h"
#include "sweep/sweep.h"

extern "C" {
void* __libc_malloc(size_t bytes);
void* __libc_calloc(size_t count, size_t bytes);
void* __libc_realloc(void* memory, size_t bytes);

namespace {
size_t allocations = 0;
}

void* malloc(size_t bytes) {
  ++allocations;
  return __libc_malloc(bytes);
}

void* calloc(size_t count, size_t bytes) {
  ++allocations;
  return __libc_calloc(count, bytes);
}

void* realloc(void* memory, size_t bytes) {
  ++allocations;
  return __libc_realloc(memory, bytes);
}
}

namespace vivuvev {
namespace {

class SteadyFrames : public HeadlessTest, public ::testing::WithParamInterface<int32_t> {};

TEST_P(SteadyFrames, AllocateNothing) {
  // 320 x 240 has 200 steps a cycle: the counted frames cross into new cycles.
  constexpr int32_t Width = 320, Height = 240;
  SetHeadlessScreen(Width, Height, GetParam());
  SeedRandom(11);
  RandomState.seeded = 1;
  // The first frames make what lasts: the working copy and its room. Frames
  // 4 to 503 of the sweep's own loop are counted.
  size_t before = 0, after = 0;
  SetHeadlessFrameObserver([&](uint32_t frame, const BackBuffer&) {
    if (frame == 3) before = allocations;
    if (frame == 503) after = allocations;
  });
  ScriptKeyDown(503, KeyEscape);
  SweepState sweep;
  SetUpSweep(&sweep, StopRule::EscapeKey);
  RunSweepCycles(&sweep);
  ASSERT_EQ(HeadlessFramesPresented(), 503u);
  EXPECT_EQ(after - before, 0u);
  // The counter sees allocations at all: one made here is counted.
  const size_t counted = allocations;
  void* probe = malloc(16);
  EXPECT_EQ(allocations - counted, 1u);
  free(probe);
}

INSTANTIATE_TEST_SUITE_P(Depths, SteadyFrames, ::testing::Values(32, 16),
                         [](const ::testing::TestParamInfo<int32_t>& info) {
                           return std::to_string(info.param) + "bits";
                         });

}  // namespace
}  // namespace vivuvev
