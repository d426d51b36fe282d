// The animation's set-up and its restarts: the cursor, the keyboard, the
// graphics, DisplayWindow, the Screen and the canvas, all for the size the
// cycles are picked for; and a restart when the window reports another size.
#include "canvas/canvas_store.h"
#include "display/desktop.h"
#include "display/screen.h"
#include "display/window.h"
#include "display/window_table.h"
#include "input/keyboard.h"
#include "program/program.h"
#include "sweep/sweep.h"

namespace vivuvev {

namespace {

// The Screen fills its window from the corner, at the window's size.
constexpr int32_t ScreenLeft = 0;
constexpr int32_t ScreenTop = 0;
// The offsets only shape a Screen that stretches with its window.
constexpr int32_t NoOffset = 0;

// The steps of a cycle, the Screen in window and the canvas, all for a width
// x height screen, with the back buffer black. Opening the Screen releases the
// one before it and every canvas. A Screen without its canvas is released
// again, so that it holds no memory.
SweepScreen OpenSweepScreen(WindowHandle window, int32_t width, int32_t height) {
  MaxStep = MaxStepFor(width, height);
  const bool opened = OpenScreenInWindow(window, ScreenLeft, ScreenTop, width, height, ScreenFixedSize,
                                         NoOffset, NoOffset, PresentImmediately) != 0;
  ClearBackBuffer(0);
  const bool drawable = CreateCanvas(SweepCanvas, width, height, SweepCanvasMode) != nullptr;
  if (opened && drawable) return SweepScreen::Made;
  if (!opened) return SweepScreen::NoScreen;
  ReleaseScreen();
  return SweepScreen::NoCanvas;
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
  state->screen = OpenSweepScreen(window, width, height);
}

void RestartSweep(SweepState* state, int32_t width, int32_t height) {
  state->width = width;
  state->height = height;
  state->step = 0;  // the next frame begins a cycle
  const WindowRecord* record = FindWindowRecord(SweepWindow);
  state->screen = OpenSweepScreen(record != nullptr ? record->handle : nullptr, width, height);
}

bool FollowWindowSize(SweepState* state) {
  const WindowRecord* record = FindWindowRecord(SweepWindow);
  // No size reported yet: the window still has the size it was opened with.
  if (record == nullptr || record->width <= 0 || record->height <= 0) return false;
  if (record->width == state->width && record->height == state->height) return false;
  RestartSweep(state, record->width, record->height);
  return true;
}

}  // namespace vivuvev
