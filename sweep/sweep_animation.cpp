// SweepAnimation: the animation as saver and standalone run it, frames one
// after another as fast as they can be shown, until the stop test fires;
// then the window closes and the program ends.
#include "base/system.h"
#include "display/window.h"
#include "program/program.h"
#include "sweep/sweep.h"

namespace vivuvev {

namespace {

// How long a frame without a step waits before the next.
constexpr uint32_t IdleFrameMs = 10;

}  // namespace

void RunSweepCycles(SweepState* state) {
  while (QuitRequested != 1) {
    if (!SweepFrame(state)) SleepMilliseconds(IdleFrameMs);
  }
}

void SweepAnimation(StopRule rule) {
  SweepState state;
  SetUpSweep(&state, rule);
  RunSweepCycles(&state);
  CloseDisplayWindow(SweepWindow);
  ProgramEnd();
}

}  // namespace vivuvev
