// Headless frame-rate overlay: there is no window to draw the text on.
#include "module/frame_rate_overlay.h"

namespace vivuvev {

void ShowFrameRateOverlay(const char*) {}
void EndFrameRateOverlay() {}

}  // namespace vivuvev
