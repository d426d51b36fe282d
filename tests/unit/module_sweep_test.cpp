#include <gtest/gtest.h>

#include <csignal>

#ifndef _WIN32
#include <sys/time.h>
#endif

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "display/window.h"
#include "display/window_events.h"
#include "display/window_notifications.h"
#include "headless_fixture.h"
#include "input/keyboard.h"
#include "input/random.h"
#include "launch/program.h"
#include "sweep/frame_rate.h"
#include "sweep/module_sweep.h"
#include "sweep/sweep.h"

namespace vivuvev {
namespace {

volatile std::sig_atomic_t stopModule = 0;

class ModuleSweepTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    stopModule = 0;
    SetHeadlessScreen(16, 12, 32);  // MaxStep 10: a cycle is ten frames
  }
};

TEST_F(ModuleSweepTest, RunsCyclesUntilStoppedAndIgnoresKeysAndTheMouse) {
  ScriptKeyDown(1, KeyEscape);
  ScriptKeyDown(2, 30);
  ScriptCursorMove(3, 1, 1);
  SetHeadlessFrameObserver([](uint32_t frame, const BackBuffer&) {
    if (frame == 25) stopModule = 1;
  });
  RunModuleSweep({0, false, false}, stopModule);
  // Past the first cycles and the input, the end comes right after the frame
  // in which it was asked for.
  EXPECT_EQ(HeadlessFramesPresented(), 25u);
  EXPECT_EQ(QuitRequested, 0);
  EXPECT_TRUE(HeadlessWindowState(0).open);  // closing is the caller's
  EXPECT_EQ(MaxStep, 10);
}

TEST_F(ModuleSweepTest, AStopDuringAPauseCutsItShort) {
  SetHeadlessFrameObserver([](uint32_t frame, const BackBuffer&) {
    if (frame == 1) stopModule = 1;
  });
  // A minute's pause after the first frame would stall the test; the stop
  // that is already set ends the pause at once.
  RunModuleSweep({60000000, false, false}, stopModule);
  EXPECT_EQ(HeadlessFramesPresented(), 1u);
}

// A size message for the module's window, as the pump delivers it.
HeadlessMessage Resize(int32_t width, int32_t height) {
  return {MessageSize, SizeRestored, PackCoordinates(width, height)};
}

// The largest channel of any pixel of a 32-bit back buffer, and how many
// pixels are not black.
struct BufferLook {
  uint32_t brightest = 0;
  uint32_t lit = 0;
};
BufferLook Look(const BackBuffer& b) {
  BufferLook look;
  for (int32_t y = 0; y < b.height; ++y) {
    for (int32_t x = 0; x < b.width; ++x) {
      const uint32_t rgb = BackBufferRgb(b, x, y);
      if (rgb != 0) ++look.lit;
      for (int shift : {0, 8, 16}) look.brightest = std::max(look.brightest, (rgb >> shift) & 0xFFu);
    }
  }
  return look;
}

TEST_F(ModuleSweepTest, ANewWindowSizeStartsTheAnimationOverAtThatSize) {
  struct Seen {
    int32_t width, height;
    int16_t maxStep;
    BufferLook look;
  };
  std::vector<Seen> seen;
  SetHeadlessFrameObserver([&seen](uint32_t frame, const BackBuffer& b) {
    seen.push_back({b.width, b.height, MaxStep, Look(b)});
    // Taken by this frame's window poll.
    if (frame == 4) PostHeadlessMessage(0, Resize(40, 30));
    if (frame == 8) stopModule = 1;
  });
  RunModuleSweep({0, false, false}, stopModule);
  ASSERT_EQ(seen.size(), 8u);
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(seen[i].width, 16) << i;
    EXPECT_EQ(seen[i].height, 12) << i;
    EXPECT_EQ(seen[i].maxStep, 10) << i;
  }
  for (size_t i = 4; i < 8; ++i) {
    EXPECT_EQ(seen[i].width, 40) << i;
    EXPECT_EQ(seen[i].height, 30) << i;
    EXPECT_EQ(seen[i].maxStep, 25) << i;  // half of the 50-pixel diagonal
  }
  // The first frame at the new size is one blend at intensity 30 of a new
  // canvas over a black back buffer: no channel passes (255 * 30 + 127) / 255.
  EXPECT_GT(seen[4].look.lit, 0u);
  EXPECT_LE(seen[4].look.brightest, 30u);
  // Before the restart four blends had piled up.
  EXPECT_GT(seen[3].look.brightest, 30u);
}

TEST_F(ModuleSweepTest, AStormOfSizesDownToOnePixelEndsAtTheLastSize) {
  const std::vector<std::pair<int32_t, int32_t>> sizes = {
      {1, 1}, {40, 30}, {3, 2}, {64, 48}, {1, 1}, {1, 200}, {200, 1}, {33, 17}, {16, 12}, {1, 1}, {50, 40}};
  std::vector<std::pair<int32_t, int32_t>> posted;
  for (size_t k = 0; k < 50; ++k) posted.push_back(sizes[k % sizes.size()]);
  std::vector<std::pair<int32_t, int32_t>> shown;
  uint32_t litAtTheEnd = 0;
  SetHeadlessFrameObserver([&](uint32_t frame, const BackBuffer& b) {
    // Each size shown is drawn in a buffer of that size.
    if (shown.empty() || shown.back() != std::make_pair(b.width, b.height)) shown.emplace_back(b.width, b.height);
    // Fifty resizes at once; the pump takes one message per frame.
    if (frame == 1) {
      for (const auto& size : posted) PostHeadlessMessage(0, Resize(size.first, size.second));
    }
    if (frame == 120) {
      litAtTheEnd = Look(b).lit;
      stopModule = 1;
    }
  });
  RunModuleSweep({0, false, false}, stopModule);
  // Every size was taken in turn (no two in a row are equal) and the last one
  // stays, drawn on.
  std::vector<std::pair<int32_t, int32_t>> expected{{16, 12}};
  expected.insert(expected.end(), posted.begin(), posted.end());
  EXPECT_EQ(shown, expected);
  EXPECT_GT(litAtTheEnd, 0u);
  EXPECT_EQ(MaxStep, MaxStepFor(posted.back().first, posted.back().second));
}

TEST_F(ModuleSweepTest, InItsOwnWindowEscapeQAndTheCloseRequestEndIt) {
  enum class Input { Escape, Q, OtherKey, CloseRequest };
  struct Case {
    Input input;
    bool ownWindow;
    uint32_t framesShown;  // input comes at frame 3; the flag at frame 25
    int32_t quitRequested;
  } cases[] = {
      {Input::Escape, true, 3, 1},       {Input::Q, true, 3, 1},
      {Input::CloseRequest, true, 3, 1}, {Input::OtherKey, true, 25, 0},
      // In the daemon's window keys and the mouse stay the daemon's.
      {Input::Escape, false, 25, 0},     {Input::Q, false, 25, 0},
      {Input::CloseRequest, false, 25, 0},
  };
  for (const Case& c : cases) {
    TearDown();
    SetUp();
    if (c.input == Input::Escape) ScriptKeyDown(3, KeyEscape);
    if (c.input == Input::Q) ScriptKeyDown(3, KeyQ);
    if (c.input == Input::OtherKey) ScriptKeyDown(3, 30);
    const bool close = c.input == Input::CloseRequest;
    SetHeadlessFrameObserver([close](uint32_t frame, const BackBuffer&) {
      if (frame == 3 && close) PostHeadlessMessage(0, {MessageClose, 0, 0});
      if (frame == 25) stopModule = 1;
    });
    RunModuleSweep({0, c.ownWindow, false}, stopModule);
    const std::string label = std::to_string(static_cast<int>(c.input)) + (c.ownWindow ? " own" : " daemon's");
    EXPECT_EQ(HeadlessFramesPresented(), c.framesShown) << label;
    EXPECT_EQ(QuitRequested, c.quitRequested) << label;
  }
}

TEST_F(ModuleSweepTest, TheFrameRateIsShownOverTheFramesAndNeverInThem) {
  std::vector<uint8_t> withRate, without;
  uint32_t overlaysAtLastFrame = 0;
  for (bool fps : {true, false}) {
    TearDown();
    SetUp();
    RandomState.seeded = 1;  // the same cycles in both runs
    SeedRandom(7);
    std::vector<uint8_t>& pixels = fps ? withRate : without;
    SetHeadlessFrameObserver([&](uint32_t frame, const BackBuffer& b) {
      if (frame == 30) {
        pixels.assign(b.pixels.begin(), b.pixels.end());
        // The overlay follows the present it goes over.
        overlaysAtLastFrame = HeadlessFrameRateOverlay().shown;
        stopModule = 1;
      }
    });
    RunModuleSweep({0, false, fps}, stopModule);
    const HeadlessOverlay& overlay = HeadlessFrameRateOverlay();
    if (fps) {
      EXPECT_EQ(overlaysAtLastFrame, 29u);
      EXPECT_EQ(overlay.shown, 30u);
      EXPECT_EQ(overlay.text.rfind("FPS: ", 0), 0u) << overlay.text;
      EXPECT_EQ(overlay.ends, 1u);
    } else {
      EXPECT_EQ(overlay.shown, 0u);
      EXPECT_EQ(overlay.ends, 0u);
    }
  }
  ASSERT_FALSE(withRate.empty());
  EXPECT_EQ(withRate, without);
}

TEST(FrameRate, TheRateOverEachSecondOfFrames) {
  struct Case {
    const char* label;
    uint32_t start;     // tick count of the first frame
    uint32_t interval;  // ms between the frames after it
    uint32_t frames;    // frames after the first, the last one closing the period
    const char* text;
  } cases[] = {
      {"100 per second", 5000, 10, 100, "FPS: 100.0"},
      {"40 per second across the tick count's wrap", 0xFFFFFF00u, 25, 40, "FPS: 40.0"},
      {"an uneven period", 0, 16, 63, "FPS: 62.5"},  // 63 frames in 1008 ms
      {"one slow frame", 100, 2500, 1, "FPS: 0.4"},
  };
  for (const Case& c : cases) {
    FrameRate rate;
    EXPECT_FALSE(CountShownFrame(&rate, c.start)) << c.label;
    EXPECT_STREQ(rate.text, "FPS: -") << c.label;
    for (uint32_t k = 1; k < c.frames; ++k) {
      ASSERT_FALSE(CountShownFrame(&rate, c.start + k * c.interval)) << c.label << " " << k;
    }
    EXPECT_TRUE(CountShownFrame(&rate, c.start + c.frames * c.interval)) << c.label;
    EXPECT_STREQ(rate.text, c.text) << c.label;
    // The next period counts from there: one frame 100 ms on changes nothing.
    EXPECT_FALSE(CountShownFrame(&rate, c.start + c.frames * c.interval + 100)) << c.label;
    EXPECT_STREQ(rate.text, c.text) << c.label;
  }
}

#ifndef _WIN32
// The end comes as it does to the module: a signal whose handler sets the flag.
void StopOnAlarm(int) { stopModule = 1; }

TEST_F(ModuleSweepTest, AScreenWithoutStepsShowsNoFrameAndStillEnds) {
  SetHeadlessScreen(1, 0, 32);  // half-diagonal 0.5 rounds to 0: no step in a cycle
  PostHeadlessMessage(0, {MessageEraseBackground, 0, 0});
  struct sigaction action {};
  action.sa_handler = StopOnAlarm;
  sigemptyset(&action.sa_mask);
  struct sigaction previous {};
  ASSERT_EQ(sigaction(SIGALRM, &action, &previous), 0);
  itimerval in50ms{};
  in50ms.it_value.tv_usec = 50000;
  setitimer(ITIMER_REAL, &in50ms, nullptr);
  RunModuleSweep({0, false, false}, stopModule);
  sigaction(SIGALRM, &previous, nullptr);
  EXPECT_EQ(MaxStep, 0);
  EXPECT_EQ(HeadlessFramesPresented(), 0u);
  // The idle cycles took the window's message off the queue.
  EXPECT_NE(PollWindowEvent(), static_cast<int32_t>(MessageEraseBackground));
}
#endif

}  // namespace
}  // namespace vivuvev
