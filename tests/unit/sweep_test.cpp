#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "canvas/canvas_store.h"
#include "canvas/drawing_pass.h"
#include "canvas/pixels.h"
#include "display/window.h"
#include "display/window_events.h"
#include "headless_fixture.h"
#include "input/keyboard.h"
#include "program/program.h"
#include "software/back_buffer.h"
#include "sweep/random.h"
#include "sweep/sweep.h"

namespace vivuvev {
namespace {

TEST(MaxStepFor, IsTheRoundedHalfDiagonal) {
  struct Case {
    int32_t width, height;
    int16_t expected;
  } cases[] = {
      {1920, 1080, 1101}, {1280, 1024, 820}, {1366, 768, 784}, {1024, 768, 640},
      {800, 600, 500},    {3, 4, 2},  // 2.5 rounds to the even 2
      {1, 1, 1},          {5, 12, 6},  // 6.5 rounds to the even 6
      {7, 24, 12},                     // 12.5 rounds to 12
      {9, 40, 20},                     // 20.5 rounds to 20
      {70000, 0, static_cast<int16_t>(35000 - 65536)},  // only the low 16 bits are kept
      // 1989.5^2 + 528.5^2 = 4237422.5, just above 2058.5^2 = 4237422.25: the
      // root is 2058.50006, which single precision would round to 2058.5 and
      // then to the even 2058.
      {3979, 1057, 2059},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MaxStepFor(c.width, c.height), c.expected) << c.width << " x " << c.height;
  }
}

TEST(PickSweepCycle, DrawsNineValuesInTheirOrder) {
  SeedRandom(42);
  RandomState.seeded = 1;
  const SweepCycle cycle = PickSweepCycle(1920, 1080);
  SeedRandom(42);
  const int32_t cx = RandomUpTo(1920), cy = RandomUpTo(1080), offset = RandomUpTo(2);
  int32_t colours[6];
  for (int32_t& colour : colours) colour = RandomUpTo(255);
  EXPECT_EQ(cycle.cx, cx);
  EXPECT_EQ(cycle.cy, cy);
  EXPECT_EQ(cycle.cx2, cx + offset);
  const int16_t drawn[6] = {cycle.red1, cycle.green1, cycle.blue1,
                            cycle.red2, cycle.green2, cycle.blue2};
  for (int k = 0; k < 6; ++k) EXPECT_EQ(drawn[k], colours[k]) << "colour value " << k;
}

TEST(PickSweepCycle, StoresEachValueIn16Bits) {
  // On a screen wider than 32767 pixels a centre can pass the 16-bit range;
  // it is kept as its low 16 bits, as every cycle value is.
  SeedRandom(1);
  RandomState.seeded = 1;
  bool wrapped = false;
  for (int k = 0; k < 200 && !wrapped; ++k) {
    SeedRandom(static_cast<uint32_t>(k));
    const int32_t cx = RandomUpTo(60000);
    SeedRandom(static_cast<uint32_t>(k));
    const SweepCycle cycle = PickSweepCycle(60000, 10);
    EXPECT_EQ(cycle.cx, static_cast<int16_t>(cx));
    wrapped = cx > 32767;
  }
  EXPECT_TRUE(wrapped);
}

TEST(SweepRadiiAt, AddUpToTwiceMaxStepPlusOne) {
  StepSize = 2;
  for (int16_t maxStep : {int16_t{1}, int16_t{2}, int16_t{500}, int16_t{1101}}) {
    MaxStep = maxStep;
    for (int16_t step = 1; step <= maxStep; ++step) {
      const SweepRadii r = SweepRadiiAt(step);
      ASSERT_EQ(r.growing, 2 * step);
      ASSERT_EQ(r.growing + r.shrinking, 2 * (maxStep + 1)) << "step " << step;
    }
  }
}

TEST(SweepRadiiAt, OddMaxStepHasExactlyOneStepWithEqualRadii) {
  StepSize = 2;
  for (int16_t maxStep : {int16_t{1}, int16_t{3}, int16_t{1101}, int16_t{2}, int16_t{1100}}) {
    MaxStep = maxStep;
    std::vector<int16_t> equal;
    for (int16_t step = 1; step <= maxStep; ++step) {
      const SweepRadii r = SweepRadiiAt(step);
      if (r.growing == r.shrinking) equal.push_back(step);
    }
    if (maxStep % 2 == 1) {
      ASSERT_EQ(equal.size(), 1u) << "MaxStep " << maxStep;
      EXPECT_EQ(equal[0], (maxStep + 1) / 2);
      EXPECT_EQ(SweepRadiiAt(equal[0]).growing, maxStep + 1);
    } else {
      EXPECT_TRUE(equal.empty()) << "MaxStep " << maxStep;
    }
  }
}

class SweepRun : public HeadlessTest {
 protected:
  // Sets up on a small screen and runs cycles until the stop test fires;
  // Escape at frame 500 is the backstop should the stop under test fail.
  uint32_t FramesUntilStop(StopRule rule) {
    ScriptKeyDown(500, KeyEscape);
    SetUpSweep(&sweep, rule);
    RunSweepCycles(&sweep);
    return HeadlessFramesPresented();
  }
  SweepState sweep;  // the animation the test sets up and runs
  void SetUp() override {
    HeadlessTest::SetUp();
    SetHeadlessScreen(40, 30, 32);
  }
};

TEST_F(SweepRun, SaverEndsOnOnePixelOfCursorMovementInAnyDirection) {
  struct Move {
    int32_t dx, dy;
  } moves[] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
  for (const Move& m : moves) {
    if (&m != moves) {  // a fresh program for every move
      TearDown();
      SetUp();
    }
    ScriptCursorMove(7, m.dx, m.dy);
    EXPECT_EQ(FramesUntilStop(StopRule::AnyInput), 7u) << m.dx << ", " << m.dy;
  }
}

TEST_F(SweepRun, SaverEndsAfterTheFirstFrameWhenTheCursorMovedBeforeIt) {
  ScriptKeyDown(500, KeyEscape);
  SetUpSweep(&sweep, StopRule::AnyInput);
  ScriptCursorMove(0, 1, 1);  // after the start position was taken
  RunSweepCycles(&sweep);
  EXPECT_EQ(HeadlessFramesPresented(), 1u);
}

TEST_F(SweepRun, SaverEndsOnAnyKey) {
  ScriptKeyDown(12, 57);  // the space bar
  EXPECT_EQ(FramesUntilStop(StopRule::AnyInput), 12u);
}

TEST_F(SweepRun, SaverIgnoresTheKeyAtScanCode255) {
  ScriptKeyDown(3, 255);
  ScriptCursorMove(9, 0, 1);
  EXPECT_EQ(FramesUntilStop(StopRule::AnyInput), 9u);
}

TEST_F(SweepRun, StandaloneIgnoresTheMouseAndOtherKeys) {
  ScriptCursorMove(2, 5, 5);
  ScriptKeyDown(3, 57);
  ScriptKeyDown(4, 28);
  ScriptKeyDown(60, KeyEscape);
  EXPECT_EQ(FramesUntilStop(StopRule::EscapeKey), 60u);
}

TEST_F(SweepRun, WithoutAKeyboardSaverStillEndsOnTheCursor) {
  SetHeadlessKeyboardPresent(false);
  ScriptCursorMove(4, 1, 0);
  EXPECT_EQ(FramesUntilStop(StopRule::AnyInput), 4u);
}

TEST_F(SweepRun, AScreenWithoutStepsCanStillBeEnded) {
  SetHeadlessScreen(0, 0, 32);  // MaxStep 0: no cycle has a step
  ScriptKeyDown(0, KeyEscape);
  SetUpSweep(&sweep, StopRule::EscapeKey);
  ASSERT_EQ(MaxStep, 0);
  RunSweepCycles(&sweep);
  EXPECT_EQ(QuitRequested, 1);
  EXPECT_EQ(HeadlessFramesPresented(), 0u);
  EXPECT_GE(sweep.cyclesBegun, 1u);
}

TEST_F(SweepRun, SetUpCoversTheScreenWithAStickyBorderlessWindow) {
  SetUpSweep(&sweep, StopRule::EscapeKey);
  const HeadlessWindow window = HeadlessWindowState(0);
  EXPECT_TRUE(window.open);
  EXPECT_EQ(window.x, 0);
  EXPECT_EQ(window.y, 0);
  EXPECT_EQ(window.width, 40);
  EXPECT_EQ(window.height, 30);
  EXPECT_EQ(window.flags, WindowBorderless);
  EXPECT_TRUE(window.topmost);
  EXPECT_EQ(MaxStep, 25);  // half-diagonal of 40 x 30
  ASSERT_NE(FindCanvas(0), nullptr);
  EXPECT_EQ(FindCanvas(0)->width, 40);
}

TEST_F(SweepRun, ACycleRunsMaxStepFramesThenANewCycleBegins) {
  SetHeadlessScreen(3, 4, 32);  // MaxStep 2
  std::vector<uint32_t> cycleAtFrame;
  SetHeadlessFrameObserver(
      [&](uint32_t, const BackBuffer&) { cycleAtFrame.push_back(sweep.cyclesBegun); });
  ScriptKeyDown(5, KeyEscape);
  SetUpSweep(&sweep, StopRule::EscapeKey);
  RunSweepCycles(&sweep);
  EXPECT_EQ(cycleAtFrame, (std::vector<uint32_t>{1, 1, 2, 2, 3}));
}

// What each phase of a frame was, in the order the frames used them.
std::string surfaceCalls;
DrawingPass* RecordBeginPass(void*) {
  surfaceCalls += 'B';
  return SweepCanvasAndScreen.BeginPass(nullptr);
}
void RecordEndPass(void*) {
  surfaceCalls += 'E';
  SweepCanvasAndScreen.EndPass(nullptr);
}
void RecordBlend(void*) { surfaceCalls += 'L'; }
void RecordPresent(void*) { surfaceCalls += 'P'; }
const SweepSurface RecordingSurface = {RecordBeginPass, RecordEndPass, RecordBlend, RecordPresent,
                                       nullptr};

TEST_F(SweepRun, AFrameUsesItsSurfaceOncePerPhaseInOrder) {
  SetUpSweep(&sweep, StopRule::None);
  sweep.surface = &RecordingSurface;
  surfaceCalls.clear();
  ScriptKeyDown(0, KeyEscape);  // no stop test under None
  for (int frame = 0; frame < 3; ++frame) EXPECT_TRUE(SweepFrame(&sweep));
  EXPECT_EQ(surfaceCalls, "BELPBELPBELP");
  EXPECT_EQ(QuitRequested, 0);
  // The surface presents, not the frame: the screen itself showed nothing.
  EXPECT_EQ(HeadlessFramesPresented(), 0u);
  EXPECT_EQ(sweep.step, 3);
}

TEST_F(SweepRun, OnlyARuleThatReadsPolledKeysPollsTheKeyboard) {
  // The keyboard binds to the window at its first poll: a bound keyboard is
  // one that a frame has read. The module's own window takes its keys as
  // events, so its rule polls nothing.
  const struct {
    StopRule rule;
    bool polled;
  } cases[] = {{StopRule::None, false},
               {StopRule::EscapeKey, true},
               {StopRule::QuitKeyOrClose, false},
               {StopRule::AnyInput, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.rule));
    CloseKeyboard();
    SetUpSweep(&sweep, c.rule);
    ASSERT_EQ(KeyboardStage, KeyboardNeedsAcquire);
    for (int frame = 0; frame < 3; ++frame) SweepFrame(&sweep);
    EXPECT_EQ(KeyboardStage == KeyboardAcquired, c.polled);
    EXPECT_EQ(QuitRequested, 0);
  }
}

TEST_F(SweepRun, AWindowDestroyedFromOutsideEndsTheAnimationUnderEveryRule) {
  for (StopRule rule : {StopRule::None, StopRule::EscapeKey, StopRule::QuitKeyOrClose, StopRule::AnyInput}) {
    SCOPED_TRACE(static_cast<int>(rule));
    TearDown();
    SetUp();
    SetUpSweep(&sweep, rule);
    for (int frame = 0; frame < 3; ++frame) SweepFrame(&sweep);
    ASSERT_EQ(QuitRequested, 0);
    // The end of a window that is not open ends nothing.
    PostHeadlessMessage(7, {MessageDestroy, 0, 0});
    SweepFrame(&sweep);
    SweepFrame(&sweep);
    ASSERT_EQ(QuitRequested, 0);
    // The frame that handles the message queues the event; the next one
    // takes it and ends.
    PostHeadlessMessage(SweepWindow, {MessageDestroy, 0, 0});
    SweepFrame(&sweep);
    EXPECT_EQ(QuitRequested, 0);
    SweepFrame(&sweep);
    EXPECT_EQ(sweep.windowEvent, WindowEventDestroyed);
    EXPECT_EQ(QuitRequested, 1);
  }
}

TEST_F(SweepRun, AFrameWithoutAStepUsesNoSurfaceButStillRunsTheStopTest) {
  SetHeadlessScreen(0, 0, 32);
  SetUpSweep(&sweep, StopRule::EscapeKey);
  sweep.surface = &RecordingSurface;
  surfaceCalls.clear();
  EXPECT_FALSE(SweepFrame(&sweep));
  EXPECT_EQ(QuitRequested, 0);
  ScriptKeyDown(0, KeyEscape);
  EXPECT_FALSE(SweepFrame(&sweep));
  EXPECT_EQ(QuitRequested, 1);
  EXPECT_EQ(surfaceCalls, "");
  EXPECT_EQ(sweep.cyclesBegun, 2u);  // each frame begins a cycle that has no step
}

// The growing ring of step 1 has radius 2 around (cx, cy) in colour 1.
TEST_F(SweepRun, TheFirstStepDrawsTheGrowingRingOfRadiusTwo) {
  SetHeadlessScreen(200, 150, 32);
  SeedRandom(11);
  RandomState.seeded = 1;
  std::vector<uint32_t> ringPixels;
  SweepCycle cycle{};
  SetHeadlessFrameObserver([&](uint32_t frame, const BackBuffer&) {
    if (frame != 1) return;
    cycle = sweep.cycle;
    CanvasStore* store = FindCanvas(0)->store;
    uint8_t* bits = nullptr;
    int32_t pitch = 0;
    ASSERT_TRUE(LockCanvasPixels(store, false, &bits, &pitch));
    auto at = [&](int32_t x, int32_t y) -> uint32_t {
      if (x < 0 || y < 0 || x >= 200 || y >= 150) return 0xDEADu;
      return reinterpret_cast<const uint32_t*>(bits + y * pitch)[x];
    };
    ringPixels = {at(cycle.cx + 2, cycle.cy), at(cycle.cx - 2, cycle.cy),
                  at(cycle.cx, cycle.cy + 2), at(cycle.cx, cycle.cy - 2), at(cycle.cx, cycle.cy)};
    UnlockCanvasPixels(store, false);
  });
  ScriptKeyDown(1, KeyEscape);
  SetUpSweep(&sweep, StopRule::EscapeKey);
  RunSweepCycles(&sweep);
  const uint32_t colour1 =
      ApplyTransparentRule32(ColourToClass3(PackRGB(cycle.red1, cycle.green1, cycle.blue1)), 0);
  ASSERT_EQ(ringPixels.size(), 5u);
  for (int k = 0; k < 4; ++k) {
    if (ringPixels[k] != 0xDEADu) {
      EXPECT_EQ(ringPixels[k], colour1) << "ring point " << k;
    }
  }
  EXPECT_EQ(ringPixels[4], 0u) << "the centre stays transparent";
}

// Frame n = canvas n x A x 30/255 + frame n-1 x (1 - A x 30/255), per channel.
TEST_F(SweepRun, EveryFrameBlendsTheCanvasOverTheLastFrame) {
  SetHeadlessScreen(48, 36, 32);
  SeedRandom(7);
  RandomState.seeded = 1;
  BackBuffer previous;
  int checkedFrames = 0;
  SetHeadlessFrameObserver([&](uint32_t frame, const BackBuffer& now) {
    CanvasStore* store = FindCanvas(0)->store;
    uint8_t* bits = nullptr;
    int32_t pitch = 0;
    ASSERT_TRUE(LockCanvasPixels(store, false, &bits, &pitch));
    if (frame > 1) {
      for (int32_t y = 0; y < now.height; ++y) {
        for (int32_t x = 0; x < now.width; ++x) {
          const uint32_t canvas = reinterpret_cast<const uint32_t*>(bits + y * pitch)[x];
          const double a = (canvas >> 24) / 255.0 * 30.0 / 255.0;
          const uint32_t before = BackBufferRgb(previous, x, y), after = BackBufferRgb(now, x, y);
          for (int shift = 0; shift < 24; shift += 8) {
            const double expected =
                ((canvas >> shift) & 0xFF) * a + ((before >> shift) & 0xFF) * (1.0 - a);
            ASSERT_NEAR((after >> shift) & 0xFF, expected, 1.0)
                << "frame " << frame << " pixel " << x << ", " << y;
          }
        }
      }
      ++checkedFrames;
    }
    UnlockCanvasPixels(store, false);
    previous = now;
    previous.heapPixels.assign(now.pixels, now.pixels + static_cast<size_t>(now.pitch) * now.height);
    previous.pixels = previous.heapPixels.data();
  });
  ScriptKeyDown(90, KeyEscape);
  SetUpSweep(&sweep, StopRule::EscapeKey);
  RunSweepCycles(&sweep);
  EXPECT_EQ(checkedFrames, 89);
}

}  // namespace
}  // namespace vivuvev
