// The software platform's images, 2D objects and device contexts: what
// gdi_software.cpp draws with and canvas_surface_software.cpp hands out.
//
// A device context or object handle of the software layer points at one of
// the structs below; each starts with its GDI object type, so a handle of the
// wrong kind is recognised and refused.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/cache_line.h"
#include "base/system.h"
#include "canvas/damage.h"

namespace vivuvev {

// Pixels in memory, rows pitch bytes apart. 32 bits per pixel: the word
// 0x00RRGGBB (blue in bits 0-7, green 8-15, red 16-23); 16 bits: X1R5G5B5
// (red in bits 10-14, green 5-9, blue 0-4). Pens, brushes and single pixels
// write the top byte, or bit 15, as 0; blits between images of one format
// carry whole words, and AlphaBlend blends the alpha byte as GDI does.
struct SoftBitmap {
  uint8_t* bits;
  int32_t pitch;
  int32_t width;
  int32_t height;
  int32_t bitsPerPixel;
};

// GetObjectType values of device contexts.
constexpr uint32_t ObjectDeviceContext = 3;   // OBJ_DC
constexpr uint32_t ObjectMemoryContext = 10;  // OBJ_MEMDC

// A pen, brush, font or bitmap.
struct SoftObject {
  uint32_t type;       // ObjectPen, ObjectBrush, ObjectFont or ObjectBitmap
  bool stock;          // shared for the life of the process; never deleted
  bool paints;         // false for the hollow brush
  uint32_t colour;     // pens and brushes: a colour value, red in bits 0-7
  int32_t selected;    // device contexts it is selected into (non-stock objects)
  bool deletePending;  // deleted while selected: freed when deselected
  SoftBitmap image;    // bitmaps: pixels this object owns (stock bitmaps: static ones)
};

// A device context and its GDI state.
struct SoftDC {
  uint32_t type;  // ObjectDeviceContext, ObjectMemoryContext, or 0 once released
  SoftObject* pen;
  SoftObject* brush;
  SoftObject* font;
  SoftObject* bitmap;  // memory device contexts only
  int32_t rop2;
  int32_t backgroundMode;
  uint32_t backgroundColour;
  uint32_t textColour;
  uint32_t textAlign;
  int32_t currentX;
  int32_t currentY;
  int32_t compatibleBitsPerPixel;  // of bitmaps made for it
  SoftBitmap image;                // the pixels it draws into
  DamageLog* damage;               // where drawing records what it may change; may be null
};

// Makes dc a device context over image with GDI's default state: the black
// one-pixel pen, the white brush, the system font, R2_COPYPEN, OPAQUE, a
// white background, black text, alignment 0, current position (0, 0), and
// no damage log. Allocates nothing.
void OpenSoftDC(SoftDC* dc, const SoftBitmap& image);
// Takes every object out of dc (freeing those deleted while selected) and
// marks it released, so that later calls with it fail.
void CloseSoftDC(SoftDC* dc);

// The largest image the software layer makes, in bytes.
constexpr int64_t MaxSoftBitmapBytes = int64_t{1} << 31;

// Zero-filled pixels, starting on a cache line, with rows padded to whole
// cache lines plus extraRowBytes, so that the pitch differs from width x
// bytes per pixel. False, with image untouched, when the size is not
// positive, exceeds MaxSoftBitmapBytes or the memory cannot be had.
inline bool AllocateSoftBitmap(SoftBitmap* image, int32_t width, int32_t height,
                               int32_t bitsPerPixel, int32_t extraRowBytes) {
  if (width <= 0 || height <= 0) return false;
  const int64_t pitch = WholeCacheLines(int64_t{width} * (bitsPerPixel / 8)) + extraRowBytes;
  if (pitch > MaxSoftBitmapBytes / height) return false;
  const auto bytes = static_cast<size_t>(pitch) * static_cast<size_t>(height);
  void* bits = AllocateImageMemory(bytes);
  if (bits == nullptr) return false;
  *image = {static_cast<uint8_t*>(bits), static_cast<int32_t>(pitch), width, height, bitsPerPixel};
  return true;
}

inline void FreeSoftBitmap(SoftBitmap* image) {
  if (image->bits != nullptr) {
    ReleaseImageMemory(image->bits, static_cast<size_t>(image->pitch) * static_cast<size_t>(image->height));
  }
  image->bits = nullptr;
}

}  // namespace vivuvev
