// The animation as a web page's module: the page (vivuvev.js) starts it on
// its canvas and calls frame once per displayed frame (requestAnimationFrame),
// so the page owns the loop, as every host of the sweep does. The stop rule
// reads no key: only the page ends it, by no longer asking for frames.
//
// Implemented: the start with the page's size, depth, seed and frame-rate
// text; one frame per call, followed by a restart whenever the canvas has
// changed size (as the module follows its window); a look at the back
// buffer, which the page's tests hold the canvas to.
// Not implemented: the orderly end (a page's memory goes with the page).
#include <cstdint>

#include "base/system.h"
#include "module/frame_rate.h"
#include "module/frame_rate_overlay.h"
#include "platform/web/web_parts.h"
#include "program/program.h"
#include "software/back_buffer.h"
#include "sweep/random.h"
#include "sweep/sweep.h"

namespace vivuvev {

namespace {

SweepState sweep;
FrameRate rate;

// The animation's own present, then the frame rate over what it showed, as
// the module's -fps does.
void PresentWithFrameRate(void*) {
  SweepCanvasAndScreen.Present(SweepCanvasAndScreen.context);
  CountShownFrame(&rate, TickCount());
  ShowFrameRateOverlay(rate.text);
}

const SweepSurface WithFrameRate = {SweepCanvasAndScreen.BeginPass, SweepCanvasAndScreen.EndPass,
                                    SweepCanvasAndScreen.Blend, PresentWithFrameRate, nullptr};

// Where the back buffer is: pixels (an address in the module's memory),
// width, height, pitch and bits per pixel; all 0 without a Screen.
int32_t backBufferView[5] = {};

}  // namespace

// Sets the animation up on a width x height canvas with bits (32 or 16) per
// back-buffer pixel; seeded: the random numbers start from seed, as
// vivuvev-render --seed does. Called once. Returns 1 when the Screen opened.
extern "C" __attribute__((export_name("start"))) int32_t Start(int32_t width, int32_t height,
                                                              int32_t bits, uint32_t seed,
                                                              int32_t seeded, int32_t showFrameRate) {
  StartProgram();
  SetWebScreen(width, height, bits);
  if (seeded != 0) {
    SeedRandom(seed);
    RandomState.seeded = 1;
  }
  SetUpSweep(&sweep, StopRule::None);
  if (showFrameRate != 0) sweep.surface = &WithFrameRate;
  return SoftwareBackBuffer() != nullptr ? 1 : 0;
}

// One frame, then a restart if the canvas reported another size. Returns 1
// when the frame showed a picture (0: the canvas is too small for a step, or
// a restart found no memory for the new size).
extern "C" __attribute__((export_name("frame"))) int32_t Frame() {
  const bool shown = SweepFrame(&sweep);
  FollowWindowSize(&sweep);
  return shown && SoftwareBackBuffer() != nullptr ? 1 : 0;
}

// The canvas now has width x height device pixels.
extern "C" __attribute__((export_name("resize"))) void Resize(int32_t width, int32_t height) {
  SetWebScreen(width, height, WebScreenBits());
  PostWebCanvasSize(width, height);
}

// The canvas lost its pixels (the browser dropped its backing store).
extern "C" __attribute__((export_name("present_all"))) void PresentAll() { PresentWholeImageNext(); }

// The back buffer's place and shape, as five 32-bit numbers at the address
// returned (see backBufferView).
extern "C" __attribute__((export_name("back_buffer"))) const int32_t* BackBufferView() {
  const BackBuffer* buffer = SoftwareBackBuffer();
  if (buffer == nullptr) {
    for (int32_t& value : backBufferView) value = 0;
  } else {
    backBufferView[0] = static_cast<int32_t>(reinterpret_cast<uintptr_t>(buffer->pixels));
    backBufferView[1] = buffer->width;
    backBufferView[2] = buffer->height;
    backBufferView[3] = buffer->pitch;
    backBufferView[4] = buffer->bitsPerPixel;
  }
  return backBufferView;
}

}  // namespace vivuvev
