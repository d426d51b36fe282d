// The quarter outline of an ellipse, in doubled coordinates so that even box
// sizes (centres on half pixels) need no fractions. With a and b the box size
// minus one, the curve through the outermost pixel centres is
// F(X, Y) = b^2 X^2 + a^2 Y^2 - a^2 b^2 = 0. Sides up to 2^28 keep every
// residual below 2^114, so 128-bit arithmetic is exact.
//
// Where the curve is flatter than 45 degrees each column takes the row whose
// centre is nearest the curve (the midpoint rule: F at the half-way point
// decides); where it is steeper each row takes the nearest column. Both parts
// are closed forms, so any row can be computed alone, which is what makes
// clipping cheap and keeps the result independent of the clip rectangle. A
// walk of a few pixels, each step to the neighbour with the smallest
// residual, joins the two parts, and a pixel left in the corner of a right
// angle is dropped so that the outline stays one pixel thin.
#include "software/ellipse_raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vivuvev {
namespace {

__extension__ typedef __int128 Int128;
__extension__ typedef unsigned __int128 UInt128;

// Beyond every doubled coordinate of a quarter.
constexpr int64_t Unbounded = 4 * MaxRasterBoxSide;

// A double's root is within a few units of the exact one for every n here
// (below 2^114), and the loops make it exact. (A long double is no closer
// where it matters and is emulated in software on some targets.)
uint64_t SquareRootFloor(UInt128 n) {
  auto root = static_cast<uint64_t>(std::sqrt(static_cast<double>(n)));
  while (static_cast<UInt128>(root) * root > n) --root;
  while (static_cast<UInt128>(root + 1) * (root + 1) <= n) ++root;
  return root;
}

// The nearest value of the given parity at or below v, or at or above v.
int64_t AtMost(int64_t v, int64_t parity) { return v - ((v - parity) & 1); }
int64_t AtLeast(int64_t v, int64_t parity) { return v + ((v - parity) & 1); }

// The largest whole u >= 0 with (q u)^2 <= p^2 (q^2 - w^2): how far the
// ellipse with semi-axes p (along u) and q reaches at height w. -1 above the
// ellipse; unbounded when it is flat (q == 0).
//
// A ring's every row asks this twice, so it is found from an estimate in
// double precision (within one of the answer), then made exact by comparing
// squares in Wide: no long double and no 128-bit square root.
template <typename Wide>
int64_t ReachIn(int64_t p, int64_t q, int64_t w) {
  const int64_t rest = q * q - w * w;
  const Wide limit = static_cast<Wide>(p * p) * static_cast<Wide>(rest);
  const auto beyond = [&](int64_t u) {
    const auto reach = static_cast<Wide>(q * u);
    return reach * reach > limit;
  };
  auto u = static_cast<int64_t>(static_cast<double>(p) * std::sqrt(static_cast<double>(rest)) /
                                static_cast<double>(q));
  while (u > 0 && beyond(u)) --u;
  while (!beyond(u + 1)) ++u;
  return u;
}

// Semi-axes below this keep every square of Reach below 2^64 (the estimate
// is at most p + 1, so q u stays below 2^31): the 64-bit comparison is the
// common case, and where 128-bit products are a library call (WebAssembly)
// a much cheaper one.
constexpr int64_t NarrowReachBound = int64_t{1} << 15;

int64_t Reach(int64_t p, int64_t q, int64_t w) {
  if (w > q) return -1;
  if (q == 0) return Unbounded;
  if (p < NarrowReachBound && q < NarrowReachBound) return ReachIn<uint64_t>(p, q, w);
  return ReachIn<UInt128>(p, q, w);
}

Int128 Magnitude(Int128 v) { return v < 0 ? -v : v; }

struct PathPixel {
  int64_t x;
  int64_t y;
  bool context;  // a neighbour outside the stretch being examined
};

// Takes the pixels of a monotone path in order and keeps those of one row.
// A pixel whose neighbours before and after touch diagonally is the corner
// of a right angle: it is dropped, since the path stays 8-connected without
// it. Only the newest pixel can be such a corner, so two are held back.
class RowOfPath {
 public:
  explicit RowOfPath(int64_t row) : row_(row) {}

  void Push(const PathPixel& pixel) {
    if (count_ == 2 && std::llabs(pixel.x - held_[0].x) == 2 &&
        std::llabs(pixel.y - held_[0].y) == 2) {
      held_[1] = pixel;
      return;
    }
    if (count_ == 2) {
      Keep(held_[0]);
      held_[0] = held_[1];
      held_[1] = pixel;
      return;
    }
    held_[count_++] = pixel;
  }

  void Finish() {
    for (int i = 0; i < count_; ++i) Keep(held_[i]);
    count_ = 0;
  }

  int64_t first = Unbounded;
  int64_t last = -1;

 private:
  void Keep(const PathPixel& pixel) {
    if (pixel.context || pixel.y != row_) return;
    first = std::min(first, pixel.x);
    last = std::max(last, pixel.x);
  }

  int64_t row_;
  PathPixel held_[2] = {};
  int count_ = 0;
};

}  // namespace

EllipseRaster::EllipseRaster(int64_t left, int64_t top, int64_t right, int64_t bottom) {
  Init(left, top, right, bottom, std::llabs(right - left), std::llabs(bottom - top));
}

EllipseRaster::EllipseRaster(int64_t left, int64_t top, int64_t right, int64_t bottom,
                             int64_t cornerWidth, int64_t cornerHeight) {
  Init(left, top, right, bottom, cornerWidth, cornerHeight);
}

void EllipseRaster::Init(int64_t left, int64_t top, int64_t right, int64_t bottom,
                         int64_t cornerWidth, int64_t cornerHeight) {
  left_ = std::min(left, right);
  right_ = std::max(left, right);
  top_ = std::min(top, bottom);
  bottom_ = std::max(top, bottom);
  const int64_t width = right_ - left_;
  const int64_t height = bottom_ - top_;
  empty_ = width == 0 || height == 0;
  refused_ = !empty_ && (width > MaxRasterBoxSide || height > MaxRasterBoxSide);
  if (empty_ || refused_) return;

  a_ = std::clamp<int64_t>(cornerWidth, 1, width) - 1;
  b_ = std::clamp<int64_t>(cornerHeight, 1, height) - 1;
  x0_ = a_ & 1;
  y0_ = b_ & 1;
  vMax_ = (b_ - y0_) / 2;

  // The curve is at 45 degrees where X^2 (a^2 + b^2) = a^4, Y^2 (a^2 + b^2) = b^4.
  const UInt128 a2 = static_cast<UInt128>(a_ * a_);
  const UInt128 b2 = static_cast<UInt128>(b_ * b_);
  const UInt128 sum = a2 + b2;
  const auto flatEnd = sum == 0 ? 0 : static_cast<int64_t>(SquareRootFloor(a2 * a2 / sum));
  const auto steepStart = sum == 0 ? 0 : static_cast<int64_t>(SquareRootFloor(b2 * b2 / sum));
  lastFlatColumn_ = AtMost(std::min(a_, flatEnd), x0_);
  firstSteepRow_ = AtMost(std::min(b_, steepStart), y0_);
  // Each part must start from the pixel the outline is pinned to: the top
  // pixel, and the side pixel, which touch the box.
  hasFlatPart_ = lastFlatColumn_ >= x0_ && FlatRow(x0_) == b_;
  hasSteepPart_ = firstSteepRow_ >= y0_ && SteepColumn(y0_) == a_;
  joinStart_ = hasFlatPart_ ? Point{lastFlatColumn_, FlatRow(lastFlatColumn_)} : Point{x0_, b_};
  joinEnd_ = hasSteepPart_ ? Point{SteepColumn(firstSteepRow_), firstSteepRow_} : Point{a_, y0_};
}

// The last column on or inside the curve at height y.
int64_t EllipseRaster::ColumnLimit(int64_t y) const { return Reach(a_, b_, y); }
// The last row on or inside the curve at column x.
int64_t EllipseRaster::RowLimit(int64_t x) const { return Reach(b_, a_, x); }

// The row nearest the curve in column x: the highest Y with F(X, Y - 1) <= 0,
// so a curve exactly half-way goes to the outer pixel.
int64_t EllipseRaster::FlatRow(int64_t x) const {
  return AtMost(std::min(b_, RowLimit(x) + 1), y0_);
}

// The column nearest the curve in row y, by the same rule.
int64_t EllipseRaster::SteepColumn(int64_t y) const {
  return AtMost(std::min(a_, ColumnLimit(y) + 1), x0_);
}

// The columns of the flat part, short of the join, whose nearest row is y:
// FlatRow(X) <= y exactly when F(X, y + 1) > 0, and >= y when F(X, y - 1) <= 0.
EllipseRaster::Span EllipseRaster::FlatSpan(int64_t y) const {
  const int64_t first = AtLeast(std::max(x0_, ColumnLimit(y + 1) + 1), x0_);
  const int64_t reach = y <= 1 ? Unbounded : ColumnLimit(y - 1);
  return {first, AtMost(std::min(lastFlatColumn_ - 2, reach), x0_)};
}

// The pixels of row y on the walk from joinStart_ to joinEnd_. The walk is
// short, so it is retraced for each row it crosses rather than stored. The
// last flat pixel before it and the first steep pixel after it are passed
// through too, so that corners at its two ends are seen.
EllipseRaster::Span EllipseRaster::JoinSpan(int64_t y) const {
  RowOfPath row(y);
  if (hasFlatPart_ && lastFlatColumn_ - 2 >= x0_) {
    row.Push({lastFlatColumn_ - 2, FlatRow(lastFlatColumn_ - 2), true});
  }
  const Int128 a2 = a_ * a_;
  const Int128 b2 = b_ * b_;
  auto residual = [&](const Point& p) {
    return Magnitude(b2 * p.x * p.x + a2 * p.y * p.y - a2 * b2);
  };
  Point at = joinStart_;
  row.Push({at.x, at.y, false});
  while (at.x < joinEnd_.x || at.y > joinEnd_.y) {
    Point options[3];
    int count = 0;
    const bool right = at.x < joinEnd_.x;
    const bool down = at.y > joinEnd_.y;
    if (right && down) options[count++] = {at.x + 2, at.y - 2};
    if (right) options[count++] = {at.x + 2, at.y};
    if (down) options[count++] = {at.x, at.y - 2};
    at = options[0];
    Int128 best = residual(at);
    for (int i = 1; i < count; ++i) {
      const Int128 size = residual(options[i]);
      if (size < best) {
        best = size;
        at = options[i];
      }
    }
    row.Push({at.x, at.y, false});
  }
  if (hasSteepPart_ && firstSteepRow_ - 2 >= y0_) {
    row.Push({SteepColumn(firstSteepRow_ - 2), firstSteepRow_ - 2, true});
  }
  row.Finish();
  return {row.first, row.last};
}

// The outline pixels of the quarter in row y: a run, never empty.
EllipseRaster::Span EllipseRaster::QuarterSpan(int64_t y) const {
  if (y > joinStart_.y) return FlatSpan(y);
  if (y >= joinEnd_.y) {
    Span span = JoinSpan(y);
    if (hasFlatPart_ && y == joinStart_.y) {
      const Span flat = FlatSpan(y);
      if (flat.first <= flat.last) {
        span.first = std::min(span.first, flat.first);
        span.last = std::max(span.last, flat.last);
      }
    }
    return span;
  }
  const int64_t x = SteepColumn(y);
  return {x, x};
}

void EllipseRaster::Visit(bool outline, int32_t clipWidth, int32_t clipHeight, PixelRunSink sink,
                          void* context) const {
  if (empty_ || refused_ || clipWidth <= 0 || clipHeight <= 0) return;
  auto emit = [&](int64_t y, int64_t from, int64_t to) {  // columns from .. to
    from = std::max<int64_t>(from, 0);
    to = std::min<int64_t>(to, clipWidth - 1);
    if (from <= to) {
      sink(context, static_cast<int32_t>(y), static_cast<int32_t>(from),
           static_cast<int32_t>(to + 1));
    }
  };
  const int64_t endRow = std::min<int64_t>(bottom_, clipHeight);
  for (int64_t y = std::max<int64_t>(top_, 0); y < endRow; ++y) {
    // Rows of the top corners count from the top edge, those of the bottom
    // corners from the bottom edge; a middle row of an odd height is a top one.
    const int64_t fromTop = y - top_;
    const int64_t fromBottom = bottom_ - 1 - y;
    const int64_t v = fromTop <= vMax_ ? fromTop : fromBottom <= vMax_ ? fromBottom : -1;
    if (v < 0) {  // between the corners: the two straight sides
      if (!outline) {
        emit(y, left_ + 1, right_ - 2);
      } else {
        emit(y, left_, left_);
        if (right_ - 1 > left_) emit(y, right_ - 1, right_ - 1);
      }
      continue;
    }
    const Span span = QuarterSpan(b_ - 2 * v);
    const int64_t outer = (a_ - span.last) / 2;  // insets of the run from the sides
    const int64_t inner = (a_ - span.first) / 2;
    const int64_t leftInner = left_ + inner;
    const int64_t rightInner = right_ - 1 - inner;
    if (!outline) {
      if (v > 0) emit(y, leftInner + 1, rightInner - 1);
    } else if (v == 0 || leftInner >= rightInner) {
      // The top and bottom rows run straight from corner to corner; other
      // rows whose two runs meet share the middle column.
      emit(y, left_ + outer, right_ - 1 - outer);
    } else {
      emit(y, left_ + outer, leftInner);
      emit(y, rightInner, right_ - 1 - outer);
    }
  }
}

void EllipseRaster::VisitOutline(int32_t clipWidth, int32_t clipHeight, PixelRunSink sink,
                                 void* context) const {
  Visit(true, clipWidth, clipHeight, sink, context);
}

void EllipseRaster::VisitInterior(int32_t clipWidth, int32_t clipHeight, PixelRunSink sink,
                                  void* context) const {
  Visit(false, clipWidth, clipHeight, sink, context);
}

}  // namespace vivuvev
