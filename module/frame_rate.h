// The frame rate as the daemon's modules show it with -fps: frames counted
// as they are shown, and about once a second the rate over that second,
// written as "FPS: 59.9".
#pragma once

#include <cstdint>

namespace vivuvev {

constexpr uint32_t FrameRatePeriodMs = 1000;

struct FrameRate {
  bool started = false;
  uint32_t periodStart = 0;  // tick count at the start of the period being counted
  uint32_t frames = 0;       // frames shown in that period
  char text[24] = "FPS: -";  // what the overlay shows; a dash before the first rate
};

// Counts a frame shown at tick count now (milliseconds, wrapping). Once a
// period of at least FrameRatePeriodMs has passed, the text becomes the rate
// over it with one decimal and a new period begins; returns true then.
bool CountShownFrame(FrameRate* rate, uint32_t now);

}  // namespace vivuvev
