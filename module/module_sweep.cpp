#include "module/module_sweep.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "base/system.h"
#include "module/frame_rate.h"
#include "module/frame_rate_overlay.h"
#include "program/program.h"
#include "sweep/sweep.h"

namespace vivuvev {

namespace {

// Sleeping in slices keeps the end prompt however long the pause is.
constexpr uint32_t PauseSlice = 10000;

// The animation's own present, then the frame rate drawn over what it showed.
void PresentWithFrameRate(void* context) {
  SweepCanvasAndScreen.Present(SweepCanvasAndScreen.context);
  auto* rate = static_cast<FrameRate*>(context);
  CountShownFrame(rate, TickCount());
  ShowFrameRateOverlay(rate->text);
}

// Says once, when the window takes a size nothing can be drawn at (a window
// of no size draws nothing anyway), that the frames show nothing until its
// size changes; *told is whether it was said since a size could be drawn at.
void TellIfUndrawable(const SweepState& state, bool* told) {
  if (state.screen == SweepScreen::Made) {
    *told = false;
    return;
  }
  if (*told || state.width <= 0 || state.height <= 0) return;
  std::fprintf(stderr,
               "vivuvev: cannot draw in a window of %d x %d pixels (too large, or too little memory); "
               "nothing is drawn until its size changes\n",
               state.width, state.height);
  *told = true;
}

}  // namespace

void PauseBetweenFrames(uint32_t delayMicroseconds, const volatile std::sig_atomic_t& stop) {
  uint32_t left = delayMicroseconds;
  while (left > 0 && stop == 0) {
    const uint32_t slice = std::min(left, PauseSlice);
    std::this_thread::sleep_for(std::chrono::microseconds(slice));
    left -= slice;
  }
}

void RunModuleSweep(const ModuleRun& run, const volatile std::sig_atomic_t& stop) {
  SweepState state;
  SetUpSweep(&state, run.ownWindow ? StopRule::QuitKeyOrClose : StopRule::None);
  bool told = false;
  TellIfUndrawable(state, &told);
  FrameRate rate;
  const SweepSurface withFrameRate = {SweepCanvasAndScreen.BeginPass, SweepCanvasAndScreen.EndPass,
                                      SweepCanvasAndScreen.Blend, PresentWithFrameRate, &rate};
  if (run.showFrameRate) state.surface = &withFrameRate;
  while (stop == 0 && QuitRequested != 1) {
    // A screen too small for a single step gives frames without a picture;
    // they still take the window's events and pause, rather than spin.
    const bool shown = SweepFrame(&state);
    if (shown && run.afterShownFrame != nullptr) run.afterShownFrame();
    // The frame's event may have been the window's new size.
    if (FollowWindowSize(&state)) TellIfUndrawable(state, &told);
    if (QuitRequested == 1) break;
    PauseBetweenFrames(shown ? run.delayMicroseconds : std::max(run.delayMicroseconds, PauseSlice), stop);
  }
  if (run.showFrameRate) EndFrameRateOverlay();
}

}  // namespace vivuvev
