// The yardstick of the software canvas and blit: the sweep's frames drawn the
// plain way, every step over every pixel. Each pass copies the whole canvas
// into a working copy, draws on it through the software 2D layer, and writes
// every pixel back under the transparent-colour rule; each blit blends every
// canvas pixel over the screen with the one-channel formula. Nothing is
// skipped, remembered between passes, or done more than one pixel at a time.
//
// The product's canvas and blit must give the same bytes (the equality
// tests), and vivuvev-bench measures them against this.
#pragma once

#include <cstdint>
#include <vector>

#include "software/back_buffer.h"
#include "software/software_image.h"
#include "sweep/sweep.h"

namespace vivuvev {
struct DrawingPass;
}

namespace vivuvev::reference {

// A canvas and its working copy, both width x bytes-per-pixel rows apart.
struct Canvas {
  int32_t pixelClass = 0;
  int32_t width = 0;
  int32_t height = 0;
  uint32_t transparentColour = 0;  // a colour value
  std::vector<uint8_t> pixels;
  std::vector<uint8_t> workingPixels;
  SoftDC dc = {};
};

// A new canvas of the pixel class (3 or 2): transparent black.
void CreateCanvas(Canvas* canvas, int32_t width, int32_t height, int32_t pixelClass);

// A drawing pass on the canvas, made the current pass, as a DrawTarget.
DrawingPass* DrawTarget(Canvas* canvas);

// A screen of width x height at bitsPerPixel (32 or 16), cleared to black,
// with a new canvas (transparent black) of its size and class, and the two as
// what the sweep's frames draw on: a pass on the canvas, the plain blit over
// the screen, and no present.
struct Run {
  BackBuffer screen;
  Canvas canvas;
  SweepSurface surface = {};
};

// Needs a started program (the drawing pass takes its record from the
// program's heap). Sets MaxStep for the size, as the sweep's set-up does. The
// run's surface points at the run, which must stay where it is.
void StartRun(Run* run, int32_t width, int32_t height, int32_t bitsPerPixel);

// frames frames of the sweep on the run's canvas and screen, picking each
// cycle's values from the random numbers as the sweep does. A screen too
// small for a step draws none.
void RunFrames(Run* run, uint32_t frames);

}  // namespace vivuvev::reference
