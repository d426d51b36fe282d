// Which back-buffer format a display's visual can show without conversion.
//
// The software back buffer is X8R8G8B8 in 32-bit words or R5G6B5 in 16-bit
// words, little-endian. A TrueColor visual whose pixels are laid out the same
// way takes the buffer's rows as they are.
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

}  // namespace vivuvev
