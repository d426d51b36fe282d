#include "canvas/change_map.h"

#include <algorithm>
#include <new>

namespace vivuvev {

bool ChangeMap::Cover(int32_t width, int32_t height) {
  const int32_t columns = (std::max(width, 0) + TileWidth - 1) / TileWidth;
  const int32_t rows = (std::max(height, 0) + TileHeight - 1) / TileHeight;
  try {
    stamps_.assign(static_cast<size_t>(columns) * static_cast<size_t>(rows), now_);
  } catch (const std::bad_alloc&) {
    stamps_.clear();
    columns_ = rows_ = 0;
    return false;
  }
  columns_ = columns;
  rows_ = rows;
  return true;
}

void ChangeMap::MarkBox(const DamageBox& box) {
  if (box.left >= box.right || box.top >= box.bottom) return;
  const int32_t right = std::min((box.right - 1) / TileWidth, columns_ - 1);
  const int32_t bottom = std::min((box.bottom - 1) / TileHeight, rows_ - 1);
  for (int32_t row = std::max(box.top / TileHeight, 0); row <= bottom; ++row) {
    uint32_t* stamps = stamps_.data() + static_cast<size_t>(row) * static_cast<size_t>(columns_);
    for (int32_t column = std::max(box.left / TileWidth, 0); column <= right; ++column) {
      stamps[column] = now_;
    }
  }
}

void ChangeMap::MarkAll() { std::fill(stamps_.begin(), stamps_.end(), now_); }

}  // namespace vivuvev
