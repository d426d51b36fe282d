// Bits per pixel of a Direct3D 9 surface format, by its number; 0 for a
// format without an entry. Portable, so that the table is tested natively.
#pragma once

#include <cstdint>

namespace vivuvev {

int32_t FormatBitsPerPixel(uint32_t format);

}  // namespace vivuvev
