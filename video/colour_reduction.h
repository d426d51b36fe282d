// Colour reduction for GIF frames: a median cut over one frame's colours,
// counted in cells of 5 bits per channel, so that every frame gets the 256
// colours that suit it best.
#pragma once

#include <cstdint>
#include <vector>

namespace vivuvev {

// Scratch space kept from frame to frame, so that frames allocate nothing
// once the first one has been reduced.
struct ColourCells {
  struct Cell {
    uint32_t count = 0;
    uint64_t red = 0, green = 0, blue = 0;  // sums over the cell's pixels
    uint8_t index = 0;                      // the palette entry its pixels get
  };
  std::vector<Cell> cells;
  std::vector<uint16_t> used;  // the keys of the cells with pixels, in boxes
};

// Reduces 8-bit RGB rows (width x height, rgbPitch bytes apart) to at most
// 256 colours: writes each pixel's palette index into indices (rows
// indexPitch bytes apart) and the palette as 0xFFRRGGBB into palette; entries
// no pixel uses are opaque black. Each pixel gets the entry nearest to the
// mean colour of its cell, so it lies at most 2 * sqrt(3) * 7 further from
// its colour than the entry nearest to it.
void ReduceColours(const uint8_t* rgb, int32_t width, int32_t height, int32_t rgbPitch,
                   uint8_t* indices, int32_t indexPitch, uint32_t palette[256], ColourCells* scratch);

}  // namespace vivuvev
