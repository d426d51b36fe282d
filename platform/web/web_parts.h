// What the web platform's files share, and the two calls they make into the
// page (vivuvev.js, which provides them as the module's "env" imports). Only
// the files of platform/web include this header.
#pragma once

#include <cstdint>

extern "C" {

// Shows count rectangles of a width x height RGBA image (4 bytes a pixel,
// rows stride x 4 bytes apart, stride >= width, alpha 255) on the page's
// canvas. boxes holds left, top, width and height of each, in pixels. A
// canvas of another size takes the image's size first; the page copies the
// pixels before it returns.
__attribute__((import_module("env"), import_name("present_rectangles"))) void WebPresentRectangles(
    const uint8_t* rgba, int32_t stride, int32_t width, int32_t height, const int32_t* boxes,
    int32_t count);

// Shows text (ending in 0) in the frame-rate box over the canvas.
__attribute__((import_module("env"), import_name("show_frame_rate"))) void WebShowFrameRate(
    const char* text);
}

namespace vivuvev {

// The canvas the animation starts on: width x height device pixels, shown
// with bitsPerPixel (32 or 16) per back-buffer pixel.
void SetWebScreen(int32_t width, int32_t height, int32_t bitsPerPixel);
int32_t WebScreenBits();

// The canvas now has width x height device pixels. The window library hands
// the newest such size to the next PollWindowEvent as a size message; sizes
// that come before it is taken are replaced.
void PostWebCanvasSize(int32_t width, int32_t height);

// The canvas lost its pixels: the next present sends the whole image.
void PresentWholeImageNext();

}  // namespace vivuvev
