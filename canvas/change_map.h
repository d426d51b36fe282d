// Where a canvas changed lately, counted in blits: the canvas in tiles, each
// with the blit count at which its pixels last changed. The blit lays only
// tiles changed within the last few blits over the screen; every other tile
// has already brought the screen under it to where the blend no longer moves
// it (see SettleBlits in pixels.h).
//
// A stamp is the number of blits done when the tile last changed; a tile is
// recent while fewer than a given number of blits have followed. The counter
// wraps after 2^32 blits, which at worst makes an old tile look recent: one
// more blit of it, which gives the same bytes.
#pragma once

#include <cstdint>
#include <vector>

#include "canvas/damage.h"

namespace vivuvev {

class ChangeMap {
 public:
  // Tiles of 32 x 16 pixels, measured against other shapes (see
  // docs/design.md): a tile row is two 64-byte vectors of a 32-bit row, and a
  // frame of the animation at 1920 x 1080 lays about 9% of the screen in
  // about a hundred rectangles.
  static constexpr int32_t TileWidth = 32;
  static constexpr int32_t TileHeight = 16;

  // Tiles over a width x height canvas, every one recent. False when there
  // is no memory for them; the map then has no tiles, and the blit lays the
  // whole canvas every time.
  bool Cover(int32_t width, int32_t height);
  // The tiles under box (already clipped to the canvas), or all of them,
  // changed now.
  void MarkBox(const DamageBox& box);
  void MarkAll();
  // One more blit has been done.
  void Tick() { ++now_; }

  int32_t Columns() const { return columns_; }
  int32_t Rows() const { return rows_; }
  // Whether the tile changed within the last window blits.
  bool Recent(int32_t column, int32_t row, uint32_t window) const {
    return now_ - stamps_[static_cast<size_t>(row) * static_cast<size_t>(columns_) +
                          static_cast<size_t>(column)] <
           window;
  }

 private:
  std::vector<uint32_t> stamps_;
  int32_t columns_ = 0;
  int32_t rows_ = 0;
  uint32_t now_ = 0;
};

}  // namespace vivuvev
