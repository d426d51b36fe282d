// The frame-rate text over the presented picture (the module's -fps).
//
// Each software platform provides these (frame_rate_overlay_x11.cpp,
// frame_rate_overlay_headless.cpp). Callers rely on: the text is drawn on the
// window after the frame was presented, never into the back buffer or a
// canvas, so the animation's pixels are the same with and without it; the
// area the text covered is shown again from the back buffer every time, so
// text of earlier frames never stays behind.
#pragma once

namespace vivuvev {

// Draws text in the bottom-left corner of the Screen's window.
void ShowFrameRateOverlay(const char* text);
// Releases what the overlay holds (font, graphics context).
void EndFrameRateOverlay();

}  // namespace vivuvev
