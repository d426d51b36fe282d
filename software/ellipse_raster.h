// Aliased outlines and interiors of ellipses inscribed in a box, and of boxes
// whose corners are quarters of an ellipse (a rectangle is the case of 1 x 1
// corners). The box follows GDI's rule: its right and bottom edges are
// excluded, so the shape covers columns left .. right - 1 and rows
// top .. bottom - 1 and touches all four of those sides.
//
// The outline is one pixel wide, 8-connected and symmetric about the box
// centre: one quarter is computed and mirrored. Every pixel is reported once,
// so a raster operation that inverts pixels inverts each outline pixel
// exactly once. The interior is every pixel strictly inside the outline; it
// never overlaps the outline. Both are reported as runs of pixels, row by
// row from the top, already clipped to (0, 0, clipWidth, clipHeight); the
// cost grows with the rows of the clip rectangle, not with the size of the
// shape, so boxes reaching far outside the image are cheap.
#pragma once

#include <cstdint>

namespace vivuvev {

// Receives the pixels left .. right - 1 of row y (left < right).
using PixelRunSink = void (*)(void* context, int32_t y, int32_t left, int32_t right);

// The longest box side the rasteriser draws: its residuals then fit in 128
// bits. Larger boxes are refused.
constexpr int64_t MaxRasterBoxSide = int64_t{1} << 28;

class EllipseRaster {
 public:
  // The ellipse inscribed in the box. Edges given in either order are put in
  // order first, as GDI does.
  EllipseRaster(int64_t left, int64_t top, int64_t right, int64_t bottom);
  // The box with corners cut by the ellipse of cornerWidth x cornerHeight
  // pixels, each clamped to 1 .. the box's own size.
  EllipseRaster(int64_t left, int64_t top, int64_t right, int64_t bottom, int64_t cornerWidth,
                int64_t cornerHeight);

  // A box of no width or no height: nothing to draw.
  bool Empty() const { return empty_; }
  // A side longer than MaxRasterBoxSide: nothing is drawn.
  bool Refused() const { return refused_; }

  // The box with its edges in order: everything the shape may cover.
  int64_t Left() const { return left_; }
  int64_t Top() const { return top_; }
  int64_t Right() const { return right_; }
  int64_t Bottom() const { return bottom_; }

  void VisitOutline(int32_t clipWidth, int32_t clipHeight, PixelRunSink sink, void* context) const;
  void VisitInterior(int32_t clipWidth, int32_t clipHeight, PixelRunSink sink, void* context) const;

 private:
  // The quarter is the top-right one, in doubled coordinates from the centre
  // of the corner ellipse: column X = 2 x (pixel column - centre), row Y
  // likewise but growing upwards. Its pixels have X = a_, a_ - 2, ... down to
  // 0 or 1 and Y = b_, b_ - 2, ... likewise; its outline runs from the top
  // pixel (x0_, b_) to the side pixel (a_, y0_).
  struct Point {
    int64_t x;
    int64_t y;
  };
  // Columns first .. last (doubled), empty when first > last.
  struct Span {
    int64_t first;
    int64_t last;
  };

  void Init(int64_t left, int64_t top, int64_t right, int64_t bottom, int64_t cornerWidth,
            int64_t cornerHeight);
  void Visit(bool outline, int32_t clipWidth, int32_t clipHeight, PixelRunSink sink,
             void* context) const;
  int64_t ColumnLimit(int64_t y) const;
  int64_t RowLimit(int64_t x) const;
  int64_t FlatRow(int64_t x) const;
  int64_t SteepColumn(int64_t y) const;
  Span FlatSpan(int64_t y) const;
  Span JoinSpan(int64_t y) const;
  Span QuarterSpan(int64_t y) const;

  bool empty_ = true;
  bool refused_ = false;
  int64_t left_ = 0;
  int64_t top_ = 0;
  int64_t right_ = 0;
  int64_t bottom_ = 0;
  int64_t a_ = 0;  // corner ellipse width - 1: its doubled horizontal semi-axis
  int64_t b_ = 0;  // corner ellipse height - 1
  int64_t x0_ = 0;
  int64_t y0_ = 0;
  int64_t vMax_ = 0;  // rows of the quarter below its top row
  // Near the top the outline takes, in each column, the row nearest the
  // curve (the flat part, up to lastFlatColumn_); near the side, in each row,
  // the column nearest the curve (the steep part, from firstSteepRow_ down).
  // Between them a short walk joins joinStart_ to joinEnd_.
  bool hasFlatPart_ = false;
  bool hasSteepPart_ = false;
  int64_t lastFlatColumn_ = 0;
  int64_t firstSteepRow_ = 0;
  Point joinStart_{0, 0};
  Point joinEnd_{0, 0};
};

}  // namespace vivuvev
