// Headless frame-rate overlay: nothing is drawn; the texts are kept so that
// the tests can see what would have been shown.
#include <string>

#include "display/frame_rate_overlay.h"
#include "platform/headless.h"
#include "platform/headless_parts.h"

namespace vivuvev {

namespace {
HeadlessOverlay overlay;
}  // namespace

void ShowFrameRateOverlay(const char* text) {
  ++overlay.shown;
  overlay.text = text;
}

void EndFrameRateOverlay() { ++overlay.ends; }

const HeadlessOverlay& HeadlessFrameRateOverlay() { return overlay; }

void ResetHeadlessOverlay() { overlay = HeadlessOverlay{}; }

}  // namespace vivuvev
