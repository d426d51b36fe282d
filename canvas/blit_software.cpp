// The blit in software: every canvas pixel blended onto the back-buffer pixel
// under it, clipped to the back buffer, nothing filtered or scaled.
#include <algorithm>

#include "canvas/blend_rows.h"
#include "canvas/blit.h"
#include "canvas/canvas_store.h"
#include "canvas/pixels.h"
#include "display/back_buffer.h"

namespace vivuvev {

namespace {

// A canvas pixel as 8-bit alpha and 0x00RRGGBB.
struct CanvasPixel {
  uint32_t alpha;
  uint32_t rgb;
};

CanvasPixel ReadCanvasPixel(const uint8_t* row, int64_t i, int32_t pixelClass) {
  if (pixelClass == PixelClass32) {
    const uint32_t p = reinterpret_cast<const uint32_t*>(row)[i];
    return {p >> 24, p & 0xFFFFFFu};
  }
  const uint32_t p = reinterpret_cast<const uint16_t*>(row)[i];
  return {(p & 0x8000u) ? 255u : 0u, WidenClass2(p)};
}

// A row whose canvas pixel class does not match the back buffer's depth (a
// canvas made before the screen opened), pixel by pixel.
void BlendRowAcrossFormats(uint8_t* screen, int32_t bitsPerPixel, const uint8_t* canvas,
                           int32_t pixelClass, int64_t count, uint32_t intensity) {
  for (int64_t i = 0; i < count; ++i) {
    const CanvasPixel c = ReadCanvasPixel(canvas, i, pixelClass);
    if (c.alpha == 0) continue;
    if (bitsPerPixel == 32) {
      auto* p = reinterpret_cast<uint32_t*>(screen) + i;
      *p = BlendRgb(c.rgb, *p & 0xFFFFFFu, c.alpha, intensity);
    } else {
      auto* p = reinterpret_cast<uint16_t*>(screen) + i;
      *p = Narrow565(BlendRgb(c.rgb, Widen565(*p), c.alpha, intensity));
    }
  }
}

}  // namespace

void DrawCanvasQuad(const CanvasEntry& canvas, int32_t x, int32_t y, uint32_t diffuse, uint32_t) {
  BackBuffer* target = SoftwareBackBuffer();
  if (target == nullptr) return;
  CanvasStore* store = canvas.store;
  uint8_t* bits = nullptr;
  int32_t pitch = 0;
  if (!LockCanvasSurface(store->levelSurface, true, &bits, &pitch)) return;
  const uint32_t intensity = diffuse >> 24;
  const int64_t left = std::max<int64_t>(0, x);
  const int64_t top = std::max<int64_t>(0, y);
  const int64_t right = std::min<int64_t>(target->width, int64_t{x} + store->width);
  const int64_t bottom = std::min<int64_t>(target->height, int64_t{y} + store->height);
  const BlendKernels& kernels = ActiveBlendKernels();
  const bool wide = target->bitsPerPixel == 32;
  const bool matching = store->pixelClass == (wide ? PixelClass32 : PixelClass16);
  const int32_t screenBytes = wide ? 4 : 2;
  const int32_t canvasBytes = store->pixelClass == PixelClass32 ? 4 : 2;
  const int64_t count = right - left;
  for (int64_t ty = top; ty < bottom && count > 0; ++ty) {
    const uint8_t* canvasRow = bits + (ty - y) * pitch + (left - x) * canvasBytes;
    uint8_t* screenRow = target->pixels.data() + ty * target->pitch + left * screenBytes;
    if (!matching) {
      BlendRowAcrossFormats(screenRow, target->bitsPerPixel, canvasRow, store->pixelClass, count,
                            intensity);
    } else if (wide) {
      kernels.row32(reinterpret_cast<uint32_t*>(screenRow),
                    reinterpret_cast<const uint32_t*>(canvasRow), static_cast<int32_t>(count),
                    intensity);
    } else {
      kernels.row16(reinterpret_cast<uint16_t*>(screenRow),
                    reinterpret_cast<const uint16_t*>(canvasRow), static_cast<int32_t>(count),
                    intensity);
    }
  }
  UnlockCanvasSurface(store->levelSurface);
}

}  // namespace vivuvev
