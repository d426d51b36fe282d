#include "sweep/module_sweep.h"

#include <algorithm>
#include <chrono>
#include <thread>

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
  // Keys and the mouse belong to the daemon: no stop test, only the signal.
  SweepState state;
  SetUpSweep(&state, StopRule::None);
  while (stop == 0) {
    // A screen too small for a single step gives frames without a picture;
    // they still take the window's events and pause, rather than spin.
    const bool shown = SweepFrame(&state);
    PauseBetweenFrames(shown ? delayMicroseconds : std::max(delayMicroseconds, PauseSlice), stop);
  }
}

}  // namespace vivuvev
