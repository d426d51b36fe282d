// What the sweep's presents deliver, built only from the rectangles each one
// sends, against the back buffer after every frame.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "display/back_buffer.h"
#include "headless_fixture.h"
#include "input/keyboard.h"
#include "input/random.h"
#include "sweep/sweep.h"

namespace vivuvev {
namespace {

struct Case {
  int32_t width;
  int32_t height;
  int32_t bits;
  uint32_t frames;
};

class PresentedImage : public HeadlessTest, public ::testing::WithParamInterface<Case> {};

TEST_P(PresentedImage, EqualsTheBackBufferAfterEveryFrame) {
  const Case c = GetParam();
  SetHeadlessScreen(c.width, c.height, c.bits);
  SeedRandom(2026);
  RandomState.seeded = 1;
  KeepHeadlessShownImage(true);
  uint32_t checked = 0;
  SetHeadlessFrameObserver([&](uint32_t frame, const BackBuffer& buffer) {
    const std::vector<uint8_t>& shown = HeadlessShownImage();
    ASSERT_EQ(shown.size(), static_cast<size_t>(buffer.pitch) * buffer.height);
    const size_t rowBytes = static_cast<size_t>(buffer.width) * static_cast<size_t>(buffer.bitsPerPixel / 8);
    for (int32_t y = 0; y < buffer.height; ++y) {
      const size_t at = static_cast<size_t>(y) * buffer.pitch;
      ASSERT_EQ(std::memcmp(shown.data() + at, buffer.pixels + at, rowBytes), 0)
          << "frame " << frame << " row " << y;
    }
    ++checked;
  });
  ScriptKeyDown(c.frames, KeyEscape);
  SweepState sweep;
  SetUpSweep(&sweep, StopRule::EscapeKey);
  RunSweepCycles(&sweep);
  EXPECT_EQ(checked, c.frames);
}

std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
  const Case& c = info.param;
  return std::to_string(c.width) + "x" + std::to_string(c.height) + "x" + std::to_string(c.bits);
}

// Small screens run through many cycles, each of which clears the screen;
// the largest shows the tiles at the size the programs run at.
INSTANTIATE_TEST_SUITE_P(Sizes, PresentedImage,
                         ::testing::Values(Case{1, 1, 32, 300}, Case{3, 4, 16, 300},
                                           Case{130, 70, 32, 900}, Case{130, 70, 16, 900},
                                           Case{641, 479, 32, 500}, Case{641, 479, 16, 500},
                                           Case{1920, 1080, 32, 150}),
                         CaseName);

}  // namespace
}  // namespace vivuvev
