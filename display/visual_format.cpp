#include "display/visual_format.h"

namespace vivuvev {

int32_t BackBufferBitsFor(const VisualLayout& v) {
  if (!v.trueColour) return 0;
  if ((v.depth == 24 || v.depth == 32) && v.bitsPerPixel == 32 && v.redMask == 0xFF0000u &&
      v.greenMask == 0xFF00u && v.blueMask == 0xFFu)
    return 32;
  if (v.depth == 16 && v.bitsPerPixel == 16 && v.redMask == 0xF800u && v.greenMask == 0x07E0u &&
      v.blueMask == 0x001Fu)
    return 16;
  return 0;
}

uint32_t AlphaBitsFor(const VisualLayout& v) {
  if (BackBufferBitsFor(v) != 32 || v.depth != 32) return 0;
  return ~(v.redMask | v.greenMask | v.blueMask);
}

}  // namespace vivuvev
