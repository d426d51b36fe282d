#include "canvas/canvas_store.h"
#include "display/screen.h"
#include "display/window.h"
#include "input/keyboard.h"
#include "launch/program.h"
#include "platform/system.h"
#include "sweep/sweep.h"

namespace vivuvev {

namespace {

constexpr int32_t SweepCanvas = 0;
constexpr int32_t SweepWindow = 0;
// How long a frame without a step waits before the next.
constexpr uint32_t IdleFrameMs = 10;

}  // namespace

void SetUpSweep(SweepState* state, StopRule rule) {
  ShowCursor(false);
  OpenKeyboard();
  InitGraphics();
  CursorPoint start;
  if (rule == StopRule::AnyInput) GetCursorPosition(&start);
  const int32_t width = PrimaryScreenWidth();
  const int32_t height = PrimaryScreenHeight();
  *state = StartingSweepState(rule, width, height, &SweepCanvasAndScreen);
  state->start = start;
  MaxStep = MaxStepFor(width, height);
  WindowHandle window = OpenDisplayWindow(SweepWindow, 0, 0, width, height, "", WindowBorderless);
  SetWindowSticky(SweepWindow, 1);
  OpenScreenInWindow(window, 0, 0, width, height, 0, 0, 0, 0);
  ClearBackBuffer(0);
  CreateCanvas(SweepCanvas, width, height, 1);
}

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
