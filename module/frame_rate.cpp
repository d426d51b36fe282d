#include "module/frame_rate.h"

#include <cstdio>

namespace vivuvev {

bool CountShownFrame(FrameRate* rate, uint32_t now) {
  if (!rate->started) {
    // The first frame opens the first period; the rate counts the frames
    // shown after it.
    rate->started = true;
    rate->periodStart = now;
    rate->frames = 0;
    return false;
  }
  ++rate->frames;
  const uint32_t elapsed = now - rate->periodStart;  // unsigned: right across the wrap
  if (elapsed < FrameRatePeriodMs) return false;
  const double perSecond = static_cast<double>(rate->frames) * 1000.0 / static_cast<double>(elapsed);
  std::snprintf(rate->text, sizeof rate->text, "FPS: %.1f", perSecond);
  rate->periodStart = now;
  rate->frames = 0;
  return true;
}

}  // namespace vivuvev
