// Reading and writing canvas pixels in tests, and drawing one ring.
#pragma once

#include <cstring>
#include <vector>

#include "canvas/canvas_store.h"
#include "canvas/drawing_pass.h"

namespace vivuvev {

// Every pixel of a canvas, row by row, as 32-bit words (class 2 pixels in the
// low 16 bits).
inline std::vector<uint32_t> CanvasPixels(int32_t number) {
  std::vector<uint32_t> pixels;
  CanvasEntry* entry = FindCanvas(number);
  if (entry == nullptr) return pixels;
  CanvasStore* store = entry->store;
  uint8_t* bits = nullptr;
  int32_t pitch = 0;
  if (!LockCanvasPixels(store, false, &bits, &pitch)) return pixels;
  for (int32_t y = 0; y < store->height; ++y) {
    const uint8_t* row = bits + y * pitch;
    for (int32_t x = 0; x < store->width; ++x) {
      if (store->pixelClass == 3) {
        uint32_t word;
        std::memcpy(&word, row + 4 * x, 4);
        pixels.push_back(word);
      } else {
        uint16_t word;
        std::memcpy(&word, row + 2 * x, 2);
        pixels.push_back(word);
      }
    }
  }
  UnlockCanvasPixels(store, false);
  return pixels;
}

inline void SetCanvasPixel(int32_t number, int32_t x, int32_t y, uint32_t word) {
  CanvasStore* store = FindCanvas(number)->store;
  uint8_t* bits = nullptr;
  int32_t pitch = 0;
  if (!LockCanvasPixels(store, true, &bits, &pitch)) return;
  if (store->pixelClass == 3) {
    std::memcpy(bits + y * pitch + 4 * x, &word, 4);
  } else {
    const auto half = static_cast<uint16_t>(word);
    std::memcpy(bits + y * pitch + 2 * x, &half, 2);
  }
  UnlockCanvasPixels(store, true);
}

// One pass on canvas number: a circle of the colour in the given mode.
inline void DrawRing(int32_t number, uint32_t mode, uint32_t colour, int32_t x, int32_t y,
                     int32_t radius) {
  BeginDrawing(CanvasDrawTarget(number));
  SetDrawingMode(mode);
  SetFrontColor(colour);
  DrawCircle(x, y, radius);
  EndDrawing();
}

}  // namespace vivuvev
