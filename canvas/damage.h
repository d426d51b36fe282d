// Damage: the parts of an image that drawing may have changed, kept so that
// a canvas's write-back can visit those pixels and no others.
//
// A log holds boxes, already clipped to the image, or says "everything" when
// it could not keep them all. Boxes may overlap; what is recorded is a bound
// (every changed pixel lies in some box), never a promise that each pixel
// changed. The boxes' memory stays with the log from one drawing to the
// next, so that steady drawing allocates nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vivuvev {

// Columns left .. right - 1 of rows top .. bottom - 1.
struct DamageBox {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};

class DamageLog {
 public:
  // More boxes than this and the log gives up and says everything.
  static constexpr size_t MaxBoxes = size_t{1} << 16;

  // Forgets what was recorded; keeps the memory.
  void Clear();
  // Room for boxes boxes without allocating; too little memory leaves the
  // log to grow as it records.
  void Reserve(size_t boxes);
  // Records the box (left, top, right, bottom) clipped to a width x height
  // image. A run on the row of the last box that touches or overlaps it
  // widens that box instead of adding one.
  void Record(int64_t left, int64_t top, int64_t right, int64_t bottom, int32_t width,
              int32_t height);

  bool Everything() const { return everything_; }
  const std::vector<DamageBox>& Boxes() const { return boxes_; }

 private:
  std::vector<DamageBox> boxes_;
  bool everything_ = false;
};

}  // namespace vivuvev
