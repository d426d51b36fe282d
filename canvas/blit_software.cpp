// The blit in software: every canvas pixel blended onto the back-buffer pixel
// under it, clipped to the back buffer, nothing filtered or scaled.
#include <algorithm>

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

CanvasPixel ReadCanvasPixel(const uint8_t* row, int32_t i, int32_t pixelClass) {
  if (pixelClass == PixelClass32) {
    const uint32_t p = reinterpret_cast<const uint32_t*>(row)[i];
    return {p >> 24, p & 0xFFFFFFu};
  }
  const uint32_t p = reinterpret_cast<const uint16_t*>(row)[i];
  return {(p & 0x8000u) ? 255u : 0u,
          (Widen5((p >> 10) & 0x1Fu) << 16) | (Widen5((p >> 5) & 0x1Fu) << 8) | Widen5(p & 0x1Fu)};
}

uint32_t BlendRgb(uint32_t canvas, uint32_t old, uint32_t alpha, uint32_t intensity) {
  uint32_t out = 0;
  for (unsigned shift = 0; shift < 24; shift += 8) {
    out |= uint32_t{BlendChannel((canvas >> shift) & 0xFFu, (old >> shift) & 0xFFu, alpha,
                                 intensity)}
           << shift;
  }
  return out;
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
  for (int64_t ty = top; ty < bottom; ++ty) {
    const uint8_t* canvasRow = bits + (ty - y) * pitch;
    uint8_t* screenRow = target->pixels.data() + ty * target->pitch;
    for (int64_t tx = left; tx < right; ++tx) {
      const CanvasPixel c = ReadCanvasPixel(canvasRow, static_cast<int32_t>(tx - x), store->pixelClass);
      if (c.alpha == 0) continue;
      if (target->bitsPerPixel == 32) {
        auto* p = reinterpret_cast<uint32_t*>(screenRow) + tx;
        *p = BlendRgb(c.rgb, *p & 0xFFFFFFu, c.alpha, intensity);
      } else {
        auto* p = reinterpret_cast<uint16_t*>(screenRow) + tx;
        const uint32_t old = (Widen5(*p >> 11) << 16) | (Widen6((*p >> 5) & 0x3Fu) << 8) |
                             Widen5(*p & 0x1Fu);
        const uint32_t rgb = BlendRgb(c.rgb, old, c.alpha, intensity);
        *p = static_cast<uint16_t>((Narrow5(rgb >> 16) << 11) | (Narrow6((rgb >> 8) & 0xFFu) << 5) |
                                   Narrow5(rgb & 0xFFu));
      }
    }
  }
  UnlockCanvasSurface(store->levelSurface);
}

}  // namespace vivuvev
