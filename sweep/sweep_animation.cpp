#include "canvas/blit.h"
#include "canvas/canvas_store.h"
#include "canvas/drawing_pass.h"
#include "display/screen.h"
#include "display/window.h"
#include "input/keyboard.h"
#include "launch/program.h"
#include "platform/desktop.h"
#include "platform/system.h"
#include "sweep/sweep.h"

namespace vivuvev {

namespace {

constexpr int32_t SweepCanvas = 0;
constexpr int32_t SweepWindow = 0;

struct SweepRun {
  CursorPoint start;
  int32_t width;
  int32_t height;
  SweepCycle cycle;
  uint32_t cyclesBegun;
};

SweepRun run = {};

}  // namespace

const SweepCycle& CurrentSweepCycle() { return run.cycle; }
uint32_t SweepCyclesBegun() { return run.cyclesBegun; }

void SetUpSweep(StopRule rule) {
  run = SweepRun{};
  ShowCursor(false);
  OpenKeyboard();
  InitGraphics();
  if (rule == StopRule::AnyInput) GetCursorPosition(&run.start);
  run.width = PrimaryScreenWidth();
  run.height = PrimaryScreenHeight();
  MaxStep = MaxStepFor(run.width, run.height);
  WindowHandle window =
      OpenDisplayWindow(SweepWindow, 0, 0, run.width, run.height, "", WindowBorderless);
  SetWindowSticky(SweepWindow, 1);
  OpenScreenInWindow(window, 0, 0, run.width, run.height, 0, 0, 0, 0);
  ClearBackBuffer(0);
  CreateCanvas(SweepCanvas, run.width, run.height, 1);
}

bool StopRequested(StopRule rule) {
  if (rule == StopRule::EscapeKey) return KeyIsDown(KeyEscape) != 0;
  if (KeyIsDown(KeyAny) != 0) return true;
  CursorPoint now = run.start;
  GetCursorPosition(&now);
  return now.x != run.start.x || now.y != run.start.y;
}

SweepRadii SweepRadiiAt(int16_t step) {
  // 32-bit arithmetic from the 16-bit values; together the radii always make
  // 2 x (MaxStep + 1).
  return {int32_t{step} * StepSize, (int32_t{MaxStep} - step + 1) * StepSize};
}

void DrawSweepRings(DrawingPass* target, const SweepCycle& c, int16_t step) {
  const SweepRadii radii = SweepRadiiAt(step);
  BeginDrawing(target);
  SetDrawingMode(DrawModeOutlined);
  SetFrontColor(PackRGB(c.red1, c.green1, c.blue1));
  DrawCircle(c.cx, c.cy, radii.growing);
  SetFrontColor(PackRGB(c.red2, c.green2, c.blue2));
  DrawCircle(c.cx2, c.cy, radii.shrinking);
}

bool SweepStep(StopRule rule, const SweepCycle& c, int16_t step) {
  DrawSweepRings(CanvasDrawTarget(SweepCanvas), c, step);
  EndDrawing();
  BeginBlendPass();
  BlendCanvasToScreen(SweepCanvas, 0, 0, SweepIntensity);
  EndBlendPass();
  PresentFrame();
  PollWindowEvent();
  PollKeyboard();
  return StopRequested(rule);
}

namespace {

constexpr uint32_t IdleCycleMs = 10;

// A screen whose half-diagonal rounds to 0 (or passes the 16-bit range)
// gives cycles without a single step, so no frame would ever run the stop
// test. Such a cycle still handles input and tests for the stop, and waits a
// little, so that the program can always be ended.
void IdleCycle(StopRule rule) {
  PollWindowEvent();
  PollKeyboard();
  if (StopRequested(rule)) QuitRequested = 1;
  SleepMilliseconds(IdleCycleMs);
}

}  // namespace

void RunSweepCycles(StopRule rule) {
  while (QuitRequested != 1) {
    run.cycle = DrawSweepCycle(run.width, run.height);
    ++run.cyclesBegun;
    if (MaxStep < 1) {
      IdleCycle(rule);
      continue;
    }
    // A 16-bit counter: the loop also ends where incrementing it would
    // overflow.
    for (int32_t step = 1; step <= MaxStep; ++step) {
      if (SweepStep(rule, run.cycle, static_cast<int16_t>(step))) {
        QuitRequested = 1;
        break;
      }
    }
  }
}

void SweepAnimation(StopRule rule) {
  SetUpSweep(rule);
  RunSweepCycles(rule);
  CloseDisplayWindow(SweepWindow);
  ProgramEnd();
}

}  // namespace vivuvev
