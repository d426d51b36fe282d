// The frame-rate text on the web: a box of the page laid over the canvas's
// bottom-left corner (vivuvev.js), never the canvas itself, so the pixels the
// animation presents are the same with and without it, and the text leaves
// nothing behind when it changes.
//
// Implemented: showing and clearing the text.
// Not implemented: fonts (the page's style sets them).
#include "module/frame_rate_overlay.h"
#include "platform/web/web_parts.h"

namespace vivuvev {

void ShowFrameRateOverlay(const char* text) { WebShowFrameRate(text); }
void EndFrameRateOverlay() { WebShowFrameRate(""); }

}  // namespace vivuvev
