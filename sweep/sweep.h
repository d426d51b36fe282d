// SweepAnimation: cycles of two circle outlines, one growing from a random
// centre and one shrinking towards it, laid translucently over the screen.
//
// The animation is a record of state (SweepState) and one function that
// advances it by one frame (SweepFrame). Every host drives that function in
// a loop of its own: the two programs until the stop test fires
// (RunSweepCycles), the daemon's module until a signal, vivuvev-render for N
// frames, vivuvev-bench for as long as it measures, and the reference on its
// own plain canvas.
#pragma once

#include <cstdint>

#include "display/desktop.h"

namespace vivuvev {

struct DrawingPass;

// What ends the animation: saver stops on any key or cursor movement,
// standalone on Escape, both read by polling; the module in a window of its
// own on a press of Escape or Q (from the window's key events) or the window
// manager's close request; under None only the host ends it (the module in
// the daemon's window, the tools). Under every rule the animation ends when
// its window is destroyed.
enum class StopRule { AnyInput, EscapeKey, QuitKeyOrClose, None };

// The values of one cycle, each stored in 16 bits.
struct SweepCycle {
  int16_t cx;
  int16_t cy;
  int16_t cx2;
  int16_t red1;
  int16_t green1;
  int16_t blue1;
  int16_t red2;
  int16_t green2;
  int16_t blue2;
};

// The rounded half-diagonal of a width x height screen, in 16 bits.
int16_t MaxStepFor(int32_t width, int32_t height);

// The two radii at a step: growing from the centre, shrinking towards it.
struct SweepRadii {
  int32_t growing;
  int32_t shrinking;
};
SweepRadii SweepRadiiAt(int16_t step);

// Picks the nine random values of a cycle for a width x height screen, in
// their order.
SweepCycle PickSweepCycle(int32_t width, int32_t height);

// The animation's one window and one canvas, and the mode the canvas is
// created with: neither CanvasModeOpaque nor CanvasModeOpaqueAllowed, so it
// starts transparent black.
constexpr int32_t SweepWindow = 0;
constexpr int32_t SweepCanvas = 0;
constexpr uint32_t SweepCanvasMode = 1;

// How strongly each frame lays the canvas over the screen, of 255.
constexpr int32_t SweepIntensity = 30;

// Begins a drawing pass on target and draws a step's two rings in it; the
// caller ends the pass. The pass's pixels reach the target at EndDrawing.
void DrawSweepRings(DrawingPass* target, const SweepCycle& cycle, int16_t step);

// What a frame draws on and shows on, in the order a frame uses them: a
// drawing pass on the canvas (a DrawTarget), the pass handed back to the
// canvas, the canvas laid over the back buffer, the back buffer shown. The
// animation's own are Canvas 0, the translucent blit and the Screen
// (SweepCanvasAndScreen); the reference brings its plain canvas and blit, and
// the benchmark wraps the animation's own to time each phase.
struct SweepSurface {
  DrawingPass* (*BeginPass)(void* context);
  void (*EndPass)(void* context);
  void (*Blend)(void* context);
  void (*Present)(void* context);
  void* context;
};
extern const SweepSurface SweepCanvasAndScreen;

// What the set-up or the last restart could make at its size. Without the
// canvas (a side longer than a canvas may be, too little memory) the Screen
// is released as well, since nothing could be drawn on it, and the frames
// draw and show nothing.
enum class SweepScreen {
  Made,      // the Screen and the canvas
  NoScreen,  // not the Screen
  NoCanvas,  // the Screen but not the canvas
};

// Where the animation is. Cycles are picked for width x height; MaxStep is
// the program-wide number of steps a cycle has.
struct SweepState {
  StopRule rule = StopRule::None;
  CursorPoint start;  // saver: the cursor when the animation was set up
  int32_t width = 0;
  int32_t height = 0;
  SweepCycle cycle = {};
  int32_t step = 0;  // the cycle's last step shown; 0 before its first
  uint32_t cyclesBegun = 0;
  const SweepSurface* surface = &SweepCanvasAndScreen;
  int32_t windowEvent = 0;  // what the frame's PollWindowEvent returned
  SweepScreen screen = SweepScreen::NoScreen;
};

// A state at the start of the animation on a width x height screen, before
// the first cycle.
SweepState StartingSweepState(StopRule rule, int32_t width, int32_t height,
                              const SweepSurface* surface);

// Advances the animation by one frame: picks a new cycle's values when the
// last one is done, draws the step's two rings, blends the canvas over the
// back buffer, presents it, handles one window event, polls the keyboard
// (under the rules that read it) and runs the stop test, which sets
// QuitRequested. Returns false, having drawn
// and shown nothing, on a screen too small for a single step (MaxStep below
// 1); it still picked a cycle, took an event and ran the stop test, and the
// host should wait a little before the next call instead of spinning.
bool SweepFrame(SweepState* state);

// The stop test after a frame.
bool StopRequested(const SweepState& state);

// Set-up: cursor, keyboard, graphics, window, screen and canvas; MaxStep for
// the primary screen.
void SetUpSweep(SweepState* state, StopRule rule);

// Starts the animation over on a width x height screen: MaxStep for that
// size, the Screen reopened in its window and the canvas made again at that
// size (the old ones released), the back buffer black, and a new cycle at the
// next frame.
void RestartSweep(SweepState* state, int32_t width, int32_t height);

// Restarts the animation when the window it shows in has reported a size
// other than the one its cycles are picked for; true when it did.
bool FollowWindowSize(SweepState* state);
// Frames until QuitRequested is 1.
void RunSweepCycles(SweepState* state);

// Set-up, cycles, CloseDisplayWindow(0), ProgramEnd. Never returns.
[[noreturn]] void SweepAnimation(StopRule rule);

}  // namespace vivuvev
