#include <gtest/gtest.h>

#include <csignal>

#ifndef _WIN32
#include <sys/time.h>
#endif

#include "display/window.h"
#include "display/window_events.h"
#include "headless_fixture.h"
#include "input/keyboard.h"
#include "launch/program.h"
#include "sweep/module_sweep.h"

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
