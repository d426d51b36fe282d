// The blit's rows one pixel at a time, with the formulas of pixels.h. Every
// build has this set. Transparent canvas pixels are skipped rather than
// rewritten, so that their screen words are never stored.
#include "canvas/pixels.h"
#include "software/back_buffer.h"
#include "software/blend_kernel_sets.h"

namespace vivuvev {

void BlendRow32Scalar(uint32_t* screen, const uint32_t* canvas, int32_t count, uint32_t intensity) {
  for (int32_t i = 0; i < count; ++i) {
    if ((canvas[i] >> 24) == 0) continue;
    screen[i] = BackBufferWord(BlendPixel32(BackBufferWordRgb(screen[i]), canvas[i], intensity));
  }
}

void BlendRow16Scalar(uint16_t* screen, const uint16_t* canvas, int32_t count, uint32_t intensity) {
  for (int32_t i = 0; i < count; ++i) {
    if ((canvas[i] & 0x8000u) != 0) screen[i] = BlendPixel16(screen[i], canvas[i], intensity);
  }
}

const BlendKernels ScalarBlendKernels = {"scalar", &BlendRow32Scalar, &BlendRow16Scalar};

}  // namespace vivuvev
