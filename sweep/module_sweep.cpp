#include "sweep/module_sweep.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "display/window.h"
#include "launch/program.h"
#include "platform/desktop.h"
#include "sweep/sweep.h"

namespace vivuvev {

namespace {
// Sleeping in slices keeps the end prompt however long the pause is.
constexpr uint32_t PauseSlice = 10000;
}  // namespace

void PauseBetweenFrames(uint32_t delayMicroseconds, const volatile std::sig_atomic_t& stop) {
  uint32_t left = delayMicroseconds;
  while (left > 0 && stop == 0) {
    const uint32_t slice = std::min(left, PauseSlice);
    std::this_thread::sleep_for(std::chrono::microseconds(slice));
    left -= slice;
  }
}

void RunModuleSweep(uint32_t delayMicroseconds, const volatile std::sig_atomic_t& stop) {
  // Keys and the mouse belong to the daemon; Escape's rule only keeps the
  // set-up from taking the cursor position, and the step's answer is unused.
  SetUpSweep(StopRule::EscapeKey);
  const int32_t width = PrimaryScreenWidth();
  const int32_t height = PrimaryScreenHeight();
  while (stop == 0) {
    const SweepCycle cycle = DrawSweepCycle(width, height);
    for (int32_t step = 1; step <= MaxStep && stop == 0; ++step) {
      SweepStep(StopRule::EscapeKey, cycle, static_cast<int16_t>(step));
      PauseBetweenFrames(delayMicroseconds, stop);
    }
    // A screen too small for a single step gives cycles without frames; they
    // still take the window's events and pause, rather than spin.
    if (MaxStep < 1) {
      PollWindowEvent();
      PauseBetweenFrames(std::max(delayMicroseconds, PauseSlice), stop);
    }
  }
}

}  // namespace vivuvev
