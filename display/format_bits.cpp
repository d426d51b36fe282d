#include "display/format_bits.h"

namespace vivuvev {

int32_t FormatBitsPerPixel(uint32_t format) {
  switch (format) {
    case 20:  // R8G8B8
      return 24;
    case 21:  // A8R8G8B8
    case 22:  // X8R8G8B8
    case 31:  // A2B10G10R10
    case 32:  // A8B8G8R8
    case 33:  // X8B8G8R8
    case 34:  // G16R16
    case 35:  // A2R10G10B10
      return 32;
    case 23:  // R5G6B5
    case 24:  // X1R5G5B5
    case 25:  // A1R5G5B5
    case 26:  // A4R4G4B4
    case 29:  // A8R3G3B2
    case 30:  // X4R4G4B4
      return 16;
    case 27:  // R3G3B2
    case 28:  // A8
    case 41:  // P8
    case 50:  // L8
      return 8;
    case 36:  // A16B16G16R16
      return 64;
    default:
      return 0;
  }
}

}  // namespace vivuvev
