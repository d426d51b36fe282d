// The sweep on the headless platform against the plain reference: after the
// same frames from the same seed, the canvas and the back buffer hold the
// same bytes, whatever the size and the pixel class; and what the presents
// delivered holds the back buffer's bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "canvas/canvas_store.h"
#include "canvas/pixels.h"
#include "headless_fixture.h"
#include "input/keyboard.h"
#include "reference/reference_sweep.h"
#include "software/back_buffer.h"
#include "sweep/random.h"
#include "sweep/sweep.h"

namespace vivuvev {
namespace {

struct Case {
  int32_t width;
  int32_t height;
  int32_t bits;
  uint32_t seed;
  uint32_t frames;
};

std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
  const Case& c = info.param;
  return std::to_string(c.width) + "x" + std::to_string(c.height) + "x" + std::to_string(c.bits) +
         "_seed" + std::to_string(c.seed) + "_" + std::to_string(c.frames) + "frames";
}

// rows rows of rowBytes bytes each, taken pitch bytes apart.
std::vector<uint8_t> Rows(const uint8_t* bits, int32_t pitch, int32_t rowBytes, int32_t rows) {
  std::vector<uint8_t> out;
  for (int32_t y = 0; y < rows; ++y) {
    out.insert(out.end(), bits + static_cast<size_t>(y) * pitch,
               bits + static_cast<size_t>(y) * pitch + rowBytes);
  }
  return out;
}

// The first pixel at which two images of width pixels a row differ, or -1.
int64_t FirstDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b,
                        int32_t bytesPerPixel) {
  if (a.size() != b.size()) return 0;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) return static_cast<int64_t>(i / static_cast<size_t>(bytesPerPixel));
  }
  return -1;
}

bool AnyOpaque(const std::vector<uint8_t>& canvas, int32_t bits) {
  for (size_t i = bits == 32 ? 3 : 1; i < canvas.size(); i += bits / 8) {
    if (canvas[i] & 0x80u) return true;
  }
  return false;
}

class ReferenceEquality : public HeadlessTest, public ::testing::WithParamInterface<Case> {};

TEST_P(ReferenceEquality, CanvasAndBackBufferMatchTheReference) {
  const Case c = GetParam();
  const int32_t bytesPerPixel = c.bits / 8;
  const int32_t rowBytes = c.width * bytesPerPixel;

  SetHeadlessScreen(c.width, c.height, c.bits);
  SeedRandom(c.seed);
  RandomState.seeded = 1;
  ScriptKeyDown(c.frames, KeyEscape);
  SweepState sweep;
  SetUpSweep(&sweep, StopRule::EscapeKey);
  RunSweepCycles(&sweep);
  ASSERT_EQ(HeadlessFramesPresented(), c.frames);
  const BackBuffer& screen = *SoftwareBackBuffer();
  const std::vector<uint8_t> fastScreen = Rows(screen.pixels, screen.pitch, rowBytes, c.height);
  CanvasStore* store = FindCanvas(0)->store;
  uint8_t* bits = nullptr;
  int32_t pitch = 0;
  ASSERT_TRUE(LockCanvasPixels(store, false, &bits, &pitch));
  const std::vector<uint8_t> fastCanvas = Rows(bits, pitch, rowBytes, c.height);
  UnlockCanvasPixels(store, false);

  SeedRandom(c.seed);
  reference::Run slow;
  reference::StartRun(&slow, c.width, c.height, c.bits);
  reference::RunFrames(&slow, c.frames);

  const int64_t canvasAt = FirstDifference(fastCanvas, slow.canvas.pixels, bytesPerPixel);
  EXPECT_EQ(canvasAt, -1) << "canvas differs first at pixel (" << canvasAt % c.width << ", "
                          << canvasAt / c.width << ")";
  const std::vector<uint8_t> slowScreen =
      Rows(slow.screen.pixels, slow.screen.pitch, rowBytes, c.height);
  const int64_t screenAt = FirstDifference(fastScreen, slowScreen, bytesPerPixel);
  EXPECT_EQ(screenAt, -1) << "back buffer differs first at pixel (" << screenAt % c.width << ", "
                          << screenAt / c.width << ")";
  // Equal blank pictures would prove nothing: screens big enough for a ring
  // inside them have drawn.
  if (c.width >= 16 && c.height >= 16) {
    EXPECT_TRUE(AnyOpaque(fastCanvas, c.bits));
  }
}

std::vector<Case> Cases() {
  std::vector<Case> cases;
  struct Size {
    int32_t width;
    int32_t height;
    uint32_t frames;
  };
  // The sanitizers' build is unoptimised, and the plain reference takes
  // minutes there for 3000 frames of the larger sizes; it runs 300 of them,
  // which is what its memory checks need. The native build runs them all.
#if defined(__SANITIZE_ADDRESS__)
  constexpr uint32_t LargeFrames = 300;
#else
  constexpr uint32_t LargeFrames = 3000;
#endif
  const Size sizes[] = {{1, 1, 3000}, {3, 4, 3000}, {641, 479, LargeFrames}, {1920, 1080, LargeFrames}};
  for (const Size& size : sizes) {
    for (int32_t bits : {32, 16}) {
      for (uint32_t seed : {7u, 2026u, 0xC0FFEEu}) {
        cases.push_back({size.width, size.height, bits, seed, size.frames});
      }
    }
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Sizes, ReferenceEquality, ::testing::ValuesIn(Cases()), CaseName);

// What the presents deliver, built only from the rectangles each one sends
// (the headless platform keeps it), equals the back buffer after every frame.
class PresentedImage : public HeadlessTest, public ::testing::WithParamInterface<Case> {};

TEST_P(PresentedImage, EqualsTheBackBufferAfterEveryFrame) {
  const Case c = GetParam();
  SetHeadlessScreen(c.width, c.height, c.bits);
  SeedRandom(c.seed);
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

// Small screens run through many cycles; the largest shows the tiles at the
// size the programs run at.
INSTANTIATE_TEST_SUITE_P(Sizes, PresentedImage,
                         ::testing::Values(Case{1, 1, 32, 2026, 300}, Case{3, 4, 16, 2026, 300},
                                           Case{130, 70, 32, 2026, 900}, Case{130, 70, 16, 7, 900},
                                           Case{641, 479, 32, 7, 500}, Case{641, 479, 16, 2026, 500},
                                           Case{1920, 1080, 32, 2026, 150}),
                         CaseName);

}  // namespace
}  // namespace vivuvev
