// SweepAnimation: cycles of two circle outlines, one growing from a random
// centre and one shrinking towards it, laid translucently over the screen.
#pragma once

#include <cstdint>

namespace vivuvev {

struct DrawingPass;

// What ends the animation: saver stops on any key or cursor movement,
// standalone on Escape.
enum class StopRule { AnyInput, EscapeKey };

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

// Draws the nine values of a cycle in their order.
SweepCycle DrawSweepCycle(int32_t width, int32_t height);

// The cycle being drawn and how many cycles have begun.
const SweepCycle& CurrentSweepCycle();
uint32_t SweepCyclesBegun();

// How strongly each frame lays the canvas over the screen, of 255.
constexpr int32_t SweepIntensity = 30;

// Begins a drawing pass on target and draws a step's two rings in it; the
// caller ends the pass. The pass's pixels reach the target at EndDrawing.
void DrawSweepRings(DrawingPass* target, const SweepCycle& cycle, int16_t step);

// Set-up: cursor, keyboard, graphics, window, screen and canvas.
void SetUpSweep(StopRule rule);
// Runs cycles until QuitRequested is 1.
void RunSweepCycles(StopRule rule);
// One step of a cycle: the pass, the blit, the present, the event and the
// stop test. Returns true when the animation is to stop.
bool SweepStep(StopRule rule, const SweepCycle& cycle, int16_t step);
// The stop test after a frame.
bool StopRequested(StopRule rule);

// Set-up, cycles, CloseDisplayWindow(0), ProgramEnd. Never returns.
[[noreturn]] void SweepAnimation(StopRule rule);

}  // namespace vivuvev
