// PNG files through libpng.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace vivuvev {

// Fills row y (from the top) of a picture with width * channels bytes.
using PngRowSource = std::function<void(int32_t y, uint8_t* row)>;

// Writes 8-bit RGB (channels 3) or RGBA (channels 4) rows, asked for one at a
// time from the top, to path. The file appears whole or not at all: it is
// written as a new path.partial and renamed (video/partial_file.h). On failure
// returns false with the reason in *error.
bool WritePng(const std::string& path, int32_t width, int32_t height, int channels,
              const PngRowSource& rows, std::string* error);

}  // namespace vivuvev
