// PNG files through libpng.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vivuvev {

// Writes 8-bit RGB (channels 3) or RGBA (channels 4) rows, top row first, to
// path. The file appears whole or not at all: it is written beside path and
// renamed. On failure returns false with the reason in *error.
bool WritePng(const std::string& path, int32_t width, int32_t height, int channels,
              const std::vector<uint8_t>& pixels, std::string* error);

}  // namespace vivuvev
