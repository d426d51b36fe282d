#include "canvas/canvas_store.h"
#include "display/screen.h"
#include "display/window.h"
#include "display/window_table.h"
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

// The steps of a cycle, the Screen in window and the canvas, all for a width
// x height screen, with the back buffer black. Opening the Screen releases the
// one before it and every canvas. False when the canvas cannot be made (a
// side longer than a canvas may be): the Screen is then released too, since
// nothing could be drawn on it, and holds no memory.
bool OpenSweepScreen(WindowHandle window, int32_t width, int32_t height) {
  MaxStep = MaxStepFor(width, height);
  OpenScreenInWindow(window, 0, 0, width, height, 0, 0, 0, 0);
  ClearBackBuffer(0);
  if (CreateCanvas(SweepCanvas, width, height, 1) != nullptr) return true;
  ReleaseScreen();
  return false;
}

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
  WindowHandle window = OpenDisplayWindow(SweepWindow, 0, 0, width, height, "", WindowBorderless);
  SetWindowSticky(SweepWindow, 1);
  state->screenMade = OpenSweepScreen(window, width, height);
}

void RestartSweep(SweepState* state, int32_t width, int32_t height) {
  state->width = width;
  state->height = height;
  state->step = 0;  // the next frame begins a cycle
  const WindowRecord* record = FindWindowRecord(SweepWindow);
  state->screenMade = OpenSweepScreen(record != nullptr ? record->handle : nullptr, width, height);
}

bool FollowWindowSize(SweepState* state) {
  const WindowRecord* record = FindWindowRecord(SweepWindow);
  // No size reported yet: the window still has the size it was opened with.
  if (record == nullptr || record->width <= 0 || record->height <= 0) return false;
  if (record->width == state->width && record->height == state->height) return false;
  RestartSweep(state, record->width, record->height);
  return true;
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
