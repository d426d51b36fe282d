// One frame of the animation (SweepFrame): a new cycle's values when the last
// cycle is done, the step's two rings drawn on the canvas, the canvas laid
// over the back buffer and presented, one window event and the stop test;
// and the animation's own surface, Canvas 0 and the Screen, that a frame
// draws on and shows on.
#include "canvas/blit.h"
#include "canvas/canvas_store.h"
#include "canvas/drawing_pass.h"
#include "canvas/pixels.h"
#include "display/screen.h"
#include "display/window.h"
#include "display/window_events.h"
#include "input/keyboard.h"
#include "program/program.h"
#include "sweep/sweep.h"

namespace vivuvev {

namespace {

// The blit lays only what changed lately at the intensity whose settling it
// knows; at any other it would lay the whole canvas every frame.
static_assert(SweepIntensity == SteadyIntensity, "the animation's intensity is the blit's steady one");

DrawingPass* BeginCanvasPass(void*) { return CanvasDrawTarget(SweepCanvas); }
void EndCanvasPass(void*) { EndDrawing(); }
void BlendCanvas(void*) {
  BeginBlendPass();
  BlendCanvasToScreen(SweepCanvas, 0, 0, SweepIntensity);
  EndBlendPass();
}
void PresentScreen(void*) { PresentFrame(); }

}  // namespace

const SweepSurface SweepCanvasAndScreen = {BeginCanvasPass, EndCanvasPass, BlendCanvas,
                                           PresentScreen, nullptr};

SweepState StartingSweepState(StopRule rule, int32_t width, int32_t height,
                              const SweepSurface* surface) {
  SweepState state;
  state.rule = rule;
  state.width = width;
  state.height = height;
  state.surface = surface;
  return state;
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

bool StopRequested(const SweepState& state) {
  // A window that is gone shows nothing and takes no key, whatever the rule.
  // Its end is the queued event, which the pump returns in the frame after
  // the one that handled the message.
  if (state.windowEvent == WindowEventDestroyed) return true;
  switch (state.rule) {
    case StopRule::None:
      return false;
    case StopRule::EscapeKey:
      return KeyIsDown(KeyEscape) != 0;
    case StopRule::QuitKeyOrClose:
      // Key presses, not the polled state: a tap shorter than a frame counts.
      return KeyWasPressed(KeyEscape) || KeyWasPressed(KeyQ) ||
             state.windowEvent == WindowEventCloseRequest;
    case StopRule::AnyInput:
      break;
  }
  if (KeyIsDown(KeyAny) != 0) return true;
  CursorPoint now = state.start;
  GetCursorPosition(&now);
  return now.x != state.start.x || now.y != state.start.y;
}

bool SweepFrame(SweepState* s) {
  // The step counter is 32 bits and MaxStep 16, so counting up to MaxStep
  // never overflows; a cycle ends after its MaxStep-th step.
  if (s->step == 0 || s->step >= MaxStep) {
    s->cycle = PickSweepCycle(s->width, s->height);
    s->step = 0;
    ++s->cyclesBegun;
  }
  // A screen whose half-diagonal rounds to 0 (or passes the 16-bit range)
  // gives cycles without a single step. Such a frame still takes an event and
  // runs the stop test, so that the animation can always be ended.
  const bool shown = MaxStep >= 1;
  if (shown) {
    ++s->step;
    const SweepSurface& surface = *s->surface;
    DrawSweepRings(surface.BeginPass(surface.context), s->cycle, static_cast<int16_t>(s->step));
    surface.EndPass(surface.context);
    surface.Blend(surface.context);
    surface.Present(surface.context);
  }
  s->windowEvent = PollWindowEvent();
  // Reading the keys costs a round trip to the X server; only the rules that
  // read the polled keys (saver's and standalone's) read them. The module
  // takes the keys of its own window from the window's events.
  if (s->rule == StopRule::AnyInput || s->rule == StopRule::EscapeKey) PollKeyboard();
  if (StopRequested(*s)) QuitRequested = 1;
  return shown;
}

}  // namespace vivuvev
