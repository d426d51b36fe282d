#include <gtest/gtest.h>

#include <csignal>

#ifndef _WIN32
#include <sys/time.h>
#endif

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "display/window.h"
#include "display/window_events.h"
#include "display/window_notifications.h"
#include "headless_fixture.h"
#include "input/keyboard.h"
#include "module/frame_rate.h"
#include "module/module_sweep.h"
#include "program/program.h"
#include "software/back_buffer.h"
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

// The brightest channel of any pixel of a 32-bit back buffer.
uint32_t Brightest(const BackBuffer& b) {
  uint32_t brightest = 0;
  for (int32_t y = 0; y < b.height; ++y) {
    for (int32_t x = 0; x < b.width; ++x) {
      const uint32_t rgb = BackBufferRgb(b, x, y);
      brightest = std::max({brightest, rgb & 0xFFu, (rgb >> 8) & 0xFFu, rgb >> 16});
    }
  }
  return brightest;
}

TEST_F(ModuleSweepTest, ANewWindowSizeStartsTheAnimationOverAtThatSize) {
  struct Seen {
    int32_t width, height;
    int16_t maxStep;
    uint32_t brightest;
  };
  std::vector<Seen> seen;
  // One size every four frames, down to 1 x 1 and back; each is taken by the
  // window poll of the frame that posts it.
  const std::vector<std::pair<int32_t, int32_t>> sizes = {{40, 30}, {1, 1}, {64, 48}};
  SetHeadlessFrameObserver([&](uint32_t frame, const BackBuffer& b) {
    seen.push_back({b.width, b.height, MaxStep, Brightest(b)});
    if (frame % 4 == 0 && frame / 4 <= sizes.size()) {
      const auto& size = sizes[frame / 4 - 1];
      PostHeadlessMessage(0, {MessageSize, SizeRestored, PackCoordinates(size.first, size.second)});
    }
    if (frame == 16) stopModule = 1;
  });
  RunModuleSweep({0, false, false}, stopModule);
  ASSERT_EQ(seen.size(), 16u);
  for (size_t i = 0; i < seen.size(); ++i) {
    const auto size = i < 4 ? std::make_pair(16, 12) : sizes[i / 4 - 1];
    EXPECT_EQ(std::make_pair(seen[i].width, seen[i].height), size) << i;
    EXPECT_EQ(seen[i].maxStep, MaxStepFor(size.first, size.second)) << i;
  }
  EXPECT_EQ(seen[4].maxStep, 25);  // half of the 40 x 30 diagonal
  // The first frame at a new size is one blend at intensity 30 of a new
  // canvas over a black back buffer: no channel passes (255 * 30 + 127) / 255.
  for (size_t i : {4, 12}) {
    EXPECT_GT(seen[i].brightest, 0u) << i;
    EXPECT_LE(seen[i].brightest, 30u) << i;
  }
}

// A key's press as its window reports it: WM_KEYDOWN carries the scan code
// in bits 16-23.
HeadlessMessage KeyPress(int32_t scanCode) {
  return {MessageKeyDown, 0, static_cast<intptr_t>(scanCode) << 16};
}

TEST_F(ModuleSweepTest, InItsOwnWindowEscapeQAndTheCloseRequestEndIt) {
  enum Input { Escape, Q, OtherKey, CloseRequest, EscapeHeldWithoutAPress };
  struct Case {
    Input input;
    bool ownWindow;
    uint32_t framesShown;  // the input comes at frame 3; the stop flag at 25
  } cases[] = {
      // A press ends it although the key is never down at any poll: a tap.
      {Escape, true, 3}, {Q, true, 3}, {CloseRequest, true, 3}, {OtherKey, true, 25},
      // Its keys are the window's events, not the polled state.
      {EscapeHeldWithoutAPress, true, 25},
      // In the daemon's window keys and the mouse stay the daemon's.
      {Escape, false, 25}, {Q, false, 25}, {CloseRequest, false, 25},
  };
  for (const Case& c : cases) {
    TearDown();
    SetUp();
    if (c.input == EscapeHeldWithoutAPress) ScriptKeyDown(3, KeyEscape);
    SetHeadlessFrameObserver([&c](uint32_t frame, const BackBuffer&) {
      const int32_t keys[] = {KeyEscape, KeyQ, 30};
      if (frame == 3 && c.input == CloseRequest) PostHeadlessMessage(0, {MessageClose, 0, 0});
      if (frame == 3 && c.input <= OtherKey) PostHeadlessMessage(0, KeyPress(keys[c.input]));
      if (frame == 25) stopModule = 1;
    });
    RunModuleSweep({0, c.ownWindow, false}, stopModule);
    EXPECT_EQ(HeadlessFramesPresented(), c.framesShown) << c.input << " " << c.ownWindow;
    EXPECT_EQ(QuitRequested, c.framesShown == 3 ? 1 : 0) << c.input << " " << c.ownWindow;
  }
}

TEST_F(ModuleSweepTest, AWindowDestroyedFromOutsideEndsItInEveryWindow) {
  for (bool ownWindow : {false, true}) {
    TearDown();
    SetUp();
    SetHeadlessFrameObserver([](uint32_t frame, const BackBuffer&) {
      if (frame == 3) PostHeadlessMessage(0, {MessageDestroy, 0, 0});
      if (frame == 25) stopModule = 1;
    });
    RunModuleSweep({0, ownWindow, false}, stopModule);
    // Frame 3 handles the message, frame 4 takes its event and ends.
    EXPECT_EQ(HeadlessFramesPresented(), 4u) << ownWindow;
    EXPECT_EQ(QuitRequested, 1) << ownWindow;
  }
}

// The back buffer's width after every frame (0 without one), as the hook
// after each frame sees it; the module is stopped after the eighth.
std::vector<int32_t> widthsSeen;
void NoteBackBufferWidth() {
  const BackBuffer* buffer = SoftwareBackBuffer();
  widthsSeen.push_back(buffer != nullptr ? buffer->width : 0);
  if (widthsSeen.size() == 8) stopModule = 1;
}

TEST_F(ModuleSweepTest, AWindowTooLargeForACanvasIsToldOnceHoldsNoBufferAndIsDrawnOnceItShrinks) {
  widthsSeen.clear();
  // The pump takes them one by one, a frame or two apart.
  PostHeadlessMessage(0, {MessageSize, SizeRestored, PackCoordinates(16385, 12)});
  PostHeadlessMessage(0, {MessageSize, SizeRestored, PackCoordinates(16390, 20)});
  PostHeadlessMessage(0, {MessageSize, SizeRestored, PackCoordinates(40, 30)});
  testing::internal::CaptureStderr();
  RunModuleSweep({0, false, false, NoteBackBufferWidth}, stopModule);
  const std::string said = testing::internal::GetCapturedStderr();
  // The hook runs before the frame's new size is followed: the first frame
  // is at the screen's size, then there is no buffer while the window is too
  // large, then the buffer is the window's again.
  ASSERT_EQ(widthsSeen.size(), 8u);
  EXPECT_EQ(widthsSeen.front(), 16);
  const auto firstDrawnAgain = std::find(widthsSeen.begin(), widthsSeen.end(), 40);
  EXPECT_GE(std::count(widthsSeen.begin() + 1, firstDrawnAgain, 0), 2);
  EXPECT_EQ(std::count(widthsSeen.begin() + 1, firstDrawnAgain, 0), firstDrawnAgain - widthsSeen.begin() - 1);
  EXPECT_EQ(std::count(firstDrawnAgain, widthsSeen.end(), 40), widthsSeen.end() - firstDrawnAgain);
  EXPECT_GE(widthsSeen.end() - firstDrawnAgain, 3);
  // Said once, for the first size it could not draw at.
  EXPECT_EQ(said,
            "vivuvev: cannot draw in a window of 16385 x 12 pixels (too large, or too little memory); "
            "nothing is drawn until its size changes\n");
  // Frames without a buffer show nothing.
  EXPECT_EQ(HeadlessFramesPresented(),
            static_cast<uint32_t>(widthsSeen.size() - std::count(widthsSeen.begin(), widthsSeen.end(), 0)));
}

TEST_F(ModuleSweepTest, ABufferOnTheHeapMovesIntoPresentingMemoryOnceItIsGiven) {
  KeepHeadlessShownImage(true);
  uint32_t firstInMemory = 0;
  uint32_t unequal = 0;
  SetHeadlessFrameObserver([&](uint32_t frame, const BackBuffer& buffer) {
    if (frame == 300) SetHeadlessPresentMemory(true);
    if (firstInMemory == 0 && HeadlessBufferInPresentMemory(buffer)) firstInMemory = frame;
    const std::vector<uint8_t>& shown = HeadlessShownImage();
    for (int32_t y = 0; y < buffer.height; ++y) {
      const size_t at = static_cast<size_t>(y) * buffer.pitch;
      unequal += std::memcmp(shown.data() + at, buffer.pixels + at, static_cast<size_t>(buffer.width) * 4) != 0;
    }
    if (frame == 800) stopModule = 1;
  });
  RunModuleSweep({0, false, false}, stopModule);
  // Asked at the 256th present and refused, then again 512 presents later.
  EXPECT_EQ(firstInMemory, 768u);
  EXPECT_EQ(unequal, 0u);
}

TEST(FrameRate, TheRateOverEachSecondOfFrames) {
  struct Case {
    uint32_t start;     // tick count of the first frame
    uint32_t interval;  // ms between the frames after it
    uint32_t frames;    // frames after the first; the last closes the period
    const char* text;
  } cases[] = {
      {5000, 10, 100, "FPS: 100.0"},
      {0xFFFFFF00u, 25, 40, "FPS: 40.0"},  // across the tick count's wrap
      {0, 16, 63, "FPS: 62.5"},            // 63 frames in 1008 ms
      {100, 2500, 1, "FPS: 0.4"},
  };
  for (const Case& c : cases) {
    FrameRate rate;
    EXPECT_FALSE(CountShownFrame(&rate, c.start)) << c.text;
    for (uint32_t k = 1; k < c.frames; ++k) ASSERT_FALSE(CountShownFrame(&rate, c.start + k * c.interval)) << k;
    EXPECT_STREQ(rate.text, "FPS: -");
    EXPECT_TRUE(CountShownFrame(&rate, c.start + c.frames * c.interval)) << c.text;
    EXPECT_STREQ(rate.text, c.text);
    // A new period begins there: a frame 100 ms on changes nothing.
    EXPECT_FALSE(CountShownFrame(&rate, c.start + c.frames * c.interval + 100)) << c.text;
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
