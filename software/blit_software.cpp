// The blit in software: every canvas pixel blended onto the back-buffer pixel
// under it, clipped to the back buffer, nothing filtered or scaled.
//
// Where the screen has settled under a canvas it is not blended again. The
// canvas's ChangeMap says which tiles changed within the last SettleBlits
// blits; at the animation's intensity, only those are laid, since every other
// tile would give the bytes the screen already holds. Everything else (another
// canvas, place or intensity than the last blit's, a back buffer written by
// something else since, a canvas whose pixels may carry any alpha) marks the
// whole canvas changed, so the whole of it is laid until it has settled again.
// The rectangles blended are recorded in the back buffer's change log, which
// is what the present sends.
#include <algorithm>

#include "base/cache_line.h"
#include "canvas/blit.h"
#include "canvas/canvas_store.h"
#include "canvas/change_map.h"
#include "canvas/pixels.h"
#include "software/back_buffer.h"
#include "software/blend_rows.h"

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
      *p = BackBufferWord(BlendRgb(c.rgb, BackBufferWordRgb(*p), c.alpha, intensity));
    } else {
      auto* p = reinterpret_cast<uint16_t*>(screen) + i;
      *p = Narrow565(BlendRgb(c.rgb, Widen565(*p), c.alpha, intensity));
    }
  }
}

// The canvas's rows and where they land.
struct Placement {
  BackBuffer* target;
  const CanvasStore* store;
  const uint8_t* bits;
  int32_t pitch;
  int32_t x;
  int32_t y;
  uint32_t intensity;
};

// What the last blit laid, which the next one must match to rely on it.
struct LastBlit {
  const CanvasStore* store;
  int32_t x;
  int32_t y;
  uint32_t intensity;
  uint32_t rewrites;
};

LastBlit last = {};

// How many rows ahead of the one it blends a blit asks for the lines of the
// rows to come (see FetchLines).
constexpr int64_t FetchAheadRows = 4;

// Blends the screen rectangle (left, top, right, bottom), which lies inside
// both the back buffer and the placed canvas, and logs it.
void BlendRect(const Placement& p, int64_t left, int64_t top, int64_t right, int64_t bottom) {
  BackBuffer& target = *p.target;
  const BlendKernels& kernels = ActiveBlendKernels();
  const bool wide = target.bitsPerPixel == 32;
  const bool matching = p.store->pixelClass == (wide ? PixelClass32 : PixelClass16);
  const int32_t screenBytes = wide ? 4 : 2;
  const int32_t canvasBytes = p.store->pixelClass == PixelClass32 ? 4 : 2;
  const int64_t count = right - left;
  if (count <= 0 || top >= bottom) return;
  const auto canvasRowAt = [&](int64_t ty) {
    return p.bits + (ty - p.y) * p.pitch + (left - p.x) * canvasBytes;
  };
  const auto screenRowAt = [&](int64_t ty) { return target.pixels + ty * target.pitch + left * screenBytes; };
  const auto fetch = [&](int64_t ty) {
    FetchLines(canvasRowAt(ty), count * canvasBytes);
    FetchLines(screenRowAt(ty), count * screenBytes);
  };
  for (int64_t ty = top; ty < std::min(bottom, top + FetchAheadRows); ++ty) fetch(ty);
  for (int64_t ty = top; ty < bottom; ++ty) {
    if (ty + FetchAheadRows < bottom) fetch(ty + FetchAheadRows);
    const uint8_t* canvasRow = canvasRowAt(ty);
    uint8_t* screenRow = screenRowAt(ty);
    if (!matching) {
      BlendRowAcrossFormats(screenRow, target.bitsPerPixel, canvasRow, p.store->pixelClass, count,
                            p.intensity);
    } else if (wide) {
      kernels.row32(reinterpret_cast<uint32_t*>(screenRow),
                    reinterpret_cast<const uint32_t*>(canvasRow), static_cast<int32_t>(count),
                    p.intensity);
    } else {
      kernels.row16(reinterpret_cast<uint16_t*>(screenRow),
                    reinterpret_cast<const uint16_t*>(canvasRow), static_cast<int32_t>(count),
                    p.intensity);
    }
  }
  target.changed.Record(left, top, right, bottom, target.width, target.height);
}

// Blends the recent tiles inside the screen rectangle (left, top, right,
// bottom), each run of neighbouring recent tiles of a tile row as one
// rectangle.
void BlendRecentTiles(const Placement& p, const ChangeMap& changes, int64_t left, int64_t top,
                      int64_t right, int64_t bottom) {
  const uint32_t window = p.target->bitsPerPixel == 32 ? SettleBlits32 : SettleBlits565;
  const int64_t tw = ChangeMap::TileWidth, th = ChangeMap::TileHeight;
  const auto firstColumn = static_cast<int32_t>((left - p.x) / tw);
  const auto endColumn = static_cast<int32_t>((right - 1 - p.x) / tw + 1);
  const auto endRow = static_cast<int32_t>((bottom - 1 - p.y) / th + 1);
  for (auto row = static_cast<int32_t>((top - p.y) / th); row < endRow; ++row) {
    const int64_t rowTop = std::max(top, p.y + row * th);
    const int64_t rowBottom = std::min(bottom, p.y + (row + 1) * th);
    int32_t column = firstColumn;
    while (column < endColumn) {
      if (!changes.Recent(column, row, window)) {
        ++column;
        continue;
      }
      const int32_t start = column;
      while (column < endColumn && changes.Recent(column, row, window)) ++column;
      BlendRect(p, std::max(left, p.x + start * tw), rowTop, std::min(right, p.x + column * tw),
                rowBottom);
    }
  }
}

}  // namespace

void DrawCanvasQuad(const CanvasEntry& canvas, int32_t x, int32_t y, uint32_t diffuse, uint32_t) {
  BackBuffer* target = BackBufferToWrite();
  if (target == nullptr) return;
  CanvasStore* store = canvas.store;
  uint8_t* bits = nullptr;
  int32_t pitch = 0;
  if (!LockCanvasSurface(store->levelSurface, true, &bits, &pitch)) return;
  const Placement placed{target, store, bits, pitch, x, y, diffuse >> 24};
  const int64_t left = std::max<int64_t>(0, x);
  const int64_t top = std::max<int64_t>(0, y);
  const int64_t right = std::min<int64_t>(target->width, int64_t{x} + store->width);
  const int64_t bottom = std::min<int64_t>(target->height, int64_t{y} + store->height);
  ChangeMap* changes = CanvasSurfaceChanges(store->levelSurface);
  const LastBlit now{store, x, y, placed.intensity, target->rewrites};
  const bool asBefore = last.store == now.store && last.x == now.x && last.y == now.y &&
                        last.intensity == now.intensity && last.rewrites == now.rewrites;
  last = now;
  // A canvas that does not obey the transparent-colour rule may hold any
  // alpha, for which the settling bounds were not worked out.
  if (changes != nullptr && (!asBefore || !store->workingCopyCurrent)) changes->MarkAll();
  if (changes != nullptr && placed.intensity == SteadyIntensity) {
    if (left < right && top < bottom) BlendRecentTiles(placed, *changes, left, top, right, bottom);
  } else {
    BlendRect(placed, left, top, right, bottom);
  }
  if (changes != nullptr) changes->Tick();
  UnlockCanvasSurface(store->levelSurface);
}

}  // namespace vivuvev
