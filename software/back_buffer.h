// The software back buffer behind screen_software.cpp: screen-sized pixels in
// the display's format that only OpenScreenInWindow and ClearBackBuffer clear.
//
// Formats: 32 bits per pixel, X8R8G8B8 (blue in the low byte, the top byte
// unused and kept 0) or, where the build defines VIVUVEV_BACK_BUFFER_RGBA,
// A8B8G8R8 (the bytes red, green, blue and 255 in memory, what a web page's
// canvas takes, so that its present sends the rows as they are); 16 bits per
// pixel, R5G6B5.
//
// The rows live where presenting can send them from without a copy when the
// platform offers such memory (AcquirePresentMemory), else in heapPixels.
// Whatever writes them records where in changed, which the present sends and
// then empties.
#pragma once

#include <cstdint>
#include <vector>

#include "base/cache_line.h"
#include "canvas/damage.h"

namespace vivuvev {

#if defined(VIVUVEV_BACK_BUFFER_RGBA)
constexpr bool BackBufferRgba = true;
#else
constexpr bool BackBufferRgba = false;
#endif

// A colour 0x00RRGGBB as a 32-bit back-buffer word, and a word's colour.
constexpr uint32_t BackBufferWord(uint32_t rgb) {
  if constexpr (BackBufferRgba) {
    return 0xFF000000u | ((rgb >> 16) & 0xFFu) | (rgb & 0xFF00u) | ((rgb & 0xFFu) << 16);
  } else {
    return rgb & 0xFFFFFFu;
  }
}
constexpr uint32_t BackBufferWordRgb(uint32_t word) {
  if constexpr (BackBufferRgba) {
    return ((word & 0xFFu) << 16) | (word & 0xFF00u) | ((word >> 16) & 0xFFu);
  } else {
    return word & 0xFFFFFFu;
  }
}

struct BackBuffer {
  uint8_t* pixels = nullptr;  // height rows, pitch bytes apart
  std::vector<uint8_t, CacheLineAllocator<uint8_t>> heapPixels;
  int32_t width = 0;
  int32_t height = 0;
  int32_t pitch = 0;  // bytes per row, a whole number of cache lines
  int32_t bitsPerPixel = 0;
  // Written since the last present: the blit's rectangles, or the whole
  // buffer after an open or a clear.
  DamageLog changed;
  // Changes with every write that is not the blit's (an open, a clear), and
  // never comes back to an earlier value in one process: a blit that sees a
  // new value cannot build on what it laid before.
  uint32_t rewrites = 0;
};

// The open Screen's back buffer, or null when no Screen is open.
BackBuffer* SoftwareBackBuffer();
// The same, for writing its rows: returns once the last present has taken
// them (see AwaitPresentedRows).
BackBuffer* BackBufferToWrite();

// The colour bits the display shows for pixel (x, y), as 0x00RRGGBB with each
// channel widened to 8 bits.
uint32_t BackBufferRgb(const BackBuffer& buffer, int32_t x, int32_t y);

}  // namespace vivuvev
