// Which back-buffer format a window's visual can show without conversion.
//
// The software back buffer is X8R8G8B8 in 32-bit words or R5G6B5 in 16-bit
// words, little-endian. A TrueColor visual whose pixels are laid out the same
// way takes the buffer's rows as they are: 24-bit ones, and 32-bit ones whose
// remaining byte is an alpha channel, which the buffer does not have.
#pragma once

#include <cstdint>

namespace vivuvev {

struct VisualLayout {
  bool trueColour;
  int32_t depth;
  int32_t bitsPerPixel;  // of the ZPixmap format for that depth
  uint32_t redMask, greenMask, blueMask;
};

// 32 or 16 for a layout the back buffer matches, 0 for any other.
int32_t BackBufferBitsFor(const VisualLayout& visual);

// The bits of a pixel of a layout the back buffer matches that no colour
// covers: the alpha channel of a 32-bit visual, 0 for the others.
uint32_t AlphaBitsFor(const VisualLayout& visual);

}  // namespace vivuvev
