#include "canvas/damage.h"

#include <algorithm>
#include <new>

namespace vivuvev {

void DamageLog::Clear() {
  boxes_.clear();
  everything_ = false;
}

void DamageLog::Reserve(size_t boxes) {
  try {
    boxes_.reserve(std::min(boxes, MaxBoxes));
  } catch (const std::bad_alloc&) {
  }
}

void DamageLog::Record(int64_t left, int64_t top, int64_t right, int64_t bottom, int32_t width,
                       int32_t height) {
  if (everything_) return;
  left = std::max<int64_t>(left, 0);
  top = std::max<int64_t>(top, 0);
  right = std::min<int64_t>(right, width);
  bottom = std::min<int64_t>(bottom, height);
  if (left >= right || top >= bottom) return;
  const DamageBox box{static_cast<int32_t>(left), static_cast<int32_t>(top),
                      static_cast<int32_t>(right), static_cast<int32_t>(bottom)};
  if (!boxes_.empty()) {
    DamageBox& last = boxes_.back();
    const bool sameRow = box.bottom - box.top == 1 && last.top == box.top && last.bottom == box.bottom;
    if (sameRow && box.left <= last.right && last.left <= box.right) {
      last.left = std::min(last.left, box.left);
      last.right = std::max(last.right, box.right);
      return;
    }
  }
  if (boxes_.size() >= MaxBoxes) {
    everything_ = true;
    return;
  }
  try {
    boxes_.push_back(box);
  } catch (const std::bad_alloc&) {
    everything_ = true;
  }
}

}  // namespace vivuvev
