// The outline rasteriser, checked against the geometry of the true ellipse
// and against properties any good aliased outline has, not against its own
// construction: pixels near the curve, one 8-connected closed ring, one
// pixel thin, symmetric, touching the box, each pixel once, and an interior
// that lies inside the curve and fills the rows between the outline.
#include "software/ellipse_raster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace vivuvev {
namespace {

constexpr double Pi = 3.14159265358979323846;

// One number per pixel, for any coordinates of 32 bits.
uint64_t Key(int64_t x, int64_t y) {
  return (static_cast<uint64_t>(y) << 32) ^ static_cast<uint32_t>(x);
}

// The pixels a visit reports, with how often each was reported, and whether
// any run fell outside the clip rectangle.
struct Pixels {
  int32_t clipWidth = 0;
  int32_t clipHeight = 0;
  std::unordered_map<uint64_t, int> count;
  std::vector<std::pair<int32_t, int32_t>> list;  // x, y
  bool outsideClip = false;

  bool Has(int64_t x, int64_t y) const { return count.count(Key(x, y)) != 0; }
  size_t Size() const { return count.size(); }
  int MostReports() const {
    int most = 0;
    for (const auto& entry : count) most = std::max(most, entry.second);
    return most;
  }
};

void Record(void* context, int32_t y, int32_t left, int32_t right) {
  auto& pixels = *static_cast<Pixels*>(context);
  if (left >= right || left < 0 || right > pixels.clipWidth || y < 0 || y >= pixels.clipHeight) {
    pixels.outsideClip = true;
  }
  for (int32_t x = left; x < right; ++x) {
    if (pixels.count[Key(x, y)]++ == 0) pixels.list.push_back({x, y});
  }
}

Pixels Outline(const EllipseRaster& shape, int32_t clipWidth, int32_t clipHeight) {
  Pixels pixels;
  pixels.clipWidth = clipWidth;
  pixels.clipHeight = clipHeight;
  shape.VisitOutline(clipWidth, clipHeight, Record, &pixels);
  return pixels;
}

Pixels Interior(const EllipseRaster& shape, int32_t clipWidth, int32_t clipHeight) {
  Pixels pixels;
  pixels.clipWidth = clipWidth;
  pixels.clipHeight = clipHeight;
  shape.VisitInterior(clipWidth, clipHeight, Record, &pixels);
  return pixels;
}

// The shape drawn as text: '#' outline, 'o' interior, '.' neither.
std::vector<std::string> Picture(const EllipseRaster& shape, int32_t width, int32_t height) {
  std::vector<std::string> rows(height, std::string(width, '.'));
  const Pixels outline = Outline(shape, width, height);
  const Pixels interior = Interior(shape, width, height);
  for (const auto& p : interior.list) rows[p.second][p.first] = 'o';
  for (const auto& p : outline.list) rows[p.second][p.first] = '#';
  return rows;
}

int Neighbours(const Pixels& pixels, int64_t x, int64_t y) {
  int n = 0;
  for (int dy = -1; dy <= 1; ++dy) {
    for (int dx = -1; dx <= 1; ++dx) {
      if ((dx != 0 || dy != 0) && pixels.Has(x + dx, y + dy)) ++n;
    }
  }
  return n;
}

// Number of 8-connected components.
int Components(const Pixels& pixels) {
  std::unordered_set<uint64_t> seen;
  int components = 0;
  for (const auto& start : pixels.list) {
    if (!seen.insert(Key(start.first, start.second)).second) continue;
    ++components;
    std::vector<std::pair<int64_t, int64_t>> stack{{start.first, start.second}};
    while (!stack.empty()) {
      const auto at = stack.back();
      stack.pop_back();
      for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
          const int64_t x = at.first + dx;
          const int64_t y = at.second + dy;
          if (pixels.Has(x, y) && seen.insert(Key(x, y)).second) stack.push_back({x, y});
        }
      }
    }
  }
  return components;
}

// The true ellipse through the outermost pixel centres of the box.
struct TrueEllipse {
  double cx, cy, a, b;
  TrueEllipse(int64_t left, int64_t top, int64_t right, int64_t bottom)
      : cx((left + right - 1) / 2.0),
        cy((top + bottom - 1) / 2.0),
        a((right - left - 1) / 2.0),
        b((bottom - top - 1) / 2.0) {}
  double Level(double x, double y) const { return (x * x) / (a * a) + (y * y) / (b * b); }
  // Whether the curve passes through the square of half-side d around the
  // pixel: its nearest point to the centre is inside, its farthest outside.
  bool Near(int64_t px, int64_t py, double d) const {
    const double x = std::fabs(px - cx);
    const double y = std::fabs(py - cy);
    return Level(std::max(0.0, x - d), std::max(0.0, y - d)) <= 1.0 && Level(x + d, y + d) >= 1.0;
  }
};

// ---------------------------------------------------------------- exact

struct PictureCase {
  const char* name;
  int64_t left, top, right, bottom, cornerWidth, cornerHeight;  // corner 0: an ellipse
  std::vector<std::string> expected;
};

// Expected pictures by reasoning about the curve through the outermost pixel
// centres. 3 x 3: the four pixels at distance 1 from the centre lie on the
// circle, the corners are 0.41 off it. 5 x 5: column 1 meets the circle at
// height 1.73 (row 2), row 1 at 1.73 (column 2). 4 x 4: semi-axes 1.5; the
// column at 0.5 meets the curve at 1.41, nearest the top row, the column at
// 1.5 at 0, nearest the rows at +-0.5. 7 x 3: semi-axes 3 and 1; columns 0, 1
// and 2 meet it at heights 1, 0.94 and 0.75, all nearest the top row, column
// 3 at height 0.
TEST(EllipseRasterTest, SmallShapesAreTheExpectedPixels) {
  const std::vector<PictureCase> cases = {
      {"1x1", 0, 0, 1, 1, 0, 0, {"#"}},
      {"row", 0, 0, 4, 1, 0, 0, {"####"}},
      {"column", 0, 0, 1, 3, 0, 0, {"#", "#", "#"}},
      {"2x2", 0, 0, 2, 2, 0, 0, {"##", "##"}},
      {"2x5", 0, 0, 2, 5, 0, 0, {"##", "##", "##", "##", "##"}},
      {"5x2", 0, 0, 5, 2, 0, 0, {"#####", "#####"}},
      {"radius 1", 0, 0, 3, 3, 0, 0, {".#.", "#o#", ".#."}},
      {"4x4", 0, 0, 4, 4, 0, 0, {".##.", "#oo#", "#oo#", ".##."}},
      {"radius 2", 0, 0, 5, 5, 0, 0, {".###.", "#ooo#", "#ooo#", "#ooo#", ".###."}},
      {"7x3", 0, 0, 7, 3, 0, 0, {".#####.", "#ooooo#", ".#####."}},
      {"rectangle", 0, 0, 4, 3, 1, 1, {"####", "#oo#", "####"}},
      {"rectangle 1 wide", 0, 0, 1, 3, 1, 1, {"#", "#", "#"}},
      {"rounded 7x5, corners 3x3",
       0,
       0,
       7,
       5,
       3,
       3,
       {".#####.", "#ooooo#", "#ooooo#", "#ooooo#", ".#####."}},
      {"rounded 6x4, corners 4x4", 0, 0, 6, 4, 4, 4, {".####.", "#oooo#", "#oooo#", ".####."}},
  };
  for (const PictureCase& c : cases) {
    const EllipseRaster shape = c.cornerWidth == 0 ? EllipseRaster(c.left, c.top, c.right, c.bottom)
                                                   : EllipseRaster(c.left, c.top, c.right, c.bottom,
                                                                   c.cornerWidth, c.cornerHeight);
    const auto width = static_cast<int32_t>(c.expected[0].size());
    const auto height = static_cast<int32_t>(c.expected.size());
    EXPECT_EQ(Picture(shape, width, height), c.expected) << c.name;
  }
}

TEST(EllipseRasterTest, EdgesInEitherOrderGiveTheSameShape) {
  const auto expected = Picture(EllipseRaster(2, 3, 17, 12), 20, 16);
  EXPECT_EQ(Picture(EllipseRaster(17, 3, 2, 12), 20, 16), expected);
  EXPECT_EQ(Picture(EllipseRaster(2, 12, 17, 3), 20, 16), expected);
  EXPECT_EQ(Picture(EllipseRaster(17, 12, 2, 3), 20, 16), expected);
}

TEST(EllipseRasterTest, EmptyAndOversizedBoxesDrawNothing) {
  struct Case {
    int64_t left, top, right, bottom;
    bool empty, refused;
  };
  const Case cases[] = {
      {5, 5, 5, 10, true, false},
      {5, 5, 10, 5, true, false},
      {0, 0, 0, 0, true, false},
      {0, 0, MaxRasterBoxSide + 1, 10, false, true},
      {0, 0, 10, -MaxRasterBoxSide - 1, false, true},
  };
  for (const Case& c : cases) {
    const EllipseRaster shape(c.left, c.top, c.right, c.bottom);
    EXPECT_EQ(shape.Empty(), c.empty);
    EXPECT_EQ(shape.Refused(), c.refused);
    EXPECT_EQ(Outline(shape, 64, 64).Size(), 0u);
    EXPECT_EQ(Interior(shape, 64, 64).Size(), 0u);
  }
}

// ----------------------------------------------------------- properties

// What every outline of a box (left, top, right, bottom) must satisfy.
void CheckOutline(const Pixels& ring, int64_t left, int64_t top, int64_t right, int64_t bottom,
                  const std::string& name) {
  ASSERT_FALSE(ring.outsideClip) << name;
  EXPECT_EQ(ring.MostReports(), 1) << name << ": a pixel reported twice";
  bool touchesLeft = false, touchesRight = false, touchesTop = false, touchesBottom = false;
  for (const auto& p : ring.list) {
    ASSERT_TRUE(p.first >= left && p.first < right && p.second >= top && p.second < bottom)
        << name << ": pixel outside the box at " << p.first << "," << p.second;
    touchesLeft |= p.first == left;
    touchesRight |= p.first == right - 1;
    touchesTop |= p.second == top;
    touchesBottom |= p.second == bottom - 1;
    // Mirror images about the vertical and horizontal centre lines.
    EXPECT_TRUE(ring.Has(left + right - 1 - p.first, p.second)) << name;
    EXPECT_TRUE(ring.Has(p.first, top + bottom - 1 - p.second)) << name;
  }
  EXPECT_TRUE(touchesLeft && touchesRight && touchesTop && touchesBottom) << name;
  EXPECT_EQ(Components(ring), 1) << name;
}

// Every outline pixel is one of the pixels nearest the curve along a row or
// a column, so the curve passes within half a pixel of it (in the square of
// half-side 0.5 around it). Boxes 1 or 2 pixels across are bars: skipped.
void CheckNearCurve(const Pixels& ring, const TrueEllipse& curve, const std::string& name) {
  if (curve.a < 1.0 || curve.b < 1.0) return;
  for (const auto& p : ring.list) {
    EXPECT_TRUE(curve.Near(p.first, p.second, 0.5))
        << name << ": pixel " << p.first << "," << p.second << " off the curve";
  }
}

// A closed curve one pixel thin: every pixel has exactly two neighbours in
// it (no 2 x 2 block, no pixel in the corner of a right angle, no spur).
void CheckThin(const Pixels& ring, const std::string& name) {
  for (const auto& p : ring.list) {
    EXPECT_EQ(Neighbours(ring, p.first, p.second), 2)
        << name << ": at " << p.first << "," << p.second;
  }
}

// The interior never meets the outline, lies inside the curve, and on each
// row is exactly the pixels between the outline's left and right runs.
void CheckInterior(const Pixels& ring, const Pixels& inside, const TrueEllipse& curve, int64_t left,
                   int64_t right, const std::string& name) {
  EXPECT_LE(inside.MostReports(), 1) << name;
  for (const auto& p : inside.list) {
    EXPECT_FALSE(ring.Has(p.first, p.second)) << name;
    const double x = p.first - curve.cx;
    const double y = p.second - curve.cy;
    EXPECT_LT(curve.Level(x, y), 1.0) << name << ": interior pixel outside the curve";
  }
  std::unordered_map<int64_t, std::vector<int64_t>> rows;
  for (const auto& p : ring.list) rows[p.second].push_back(p.first);
  for (auto& row : rows) {
    std::vector<int64_t>& xs = row.second;
    std::sort(xs.begin(), xs.end());
    // Walking the row from the left edge: outline, then interior or gap,
    // then outline; nothing outside.
    for (int64_t x = left; x < right; ++x) {
      const bool onRing = std::binary_search(xs.begin(), xs.end(), x);
      const bool between = x > xs.front() && x < xs.back();
      const bool interior = inside.Has(x, row.first);
      if (!onRing) {
        EXPECT_EQ(interior, between) << name << ": row " << row.first << " col " << x;
      }
    }
  }
}

TEST(EllipseRasterTest, EveryBoxUpToFortyEightSquareIsAGoodOutline) {
  for (int64_t width = 1; width <= 48; ++width) {
    for (int64_t height = 1; height <= 48; ++height) {
      const std::string name = std::to_string(width) + "x" + std::to_string(height);
      const int64_t left = 3;
      const int64_t top = 2;
      const EllipseRaster shape(left, top, left + width, top + height);
      const Pixels ring = Outline(shape, 56, 56);
      const Pixels inside = Interior(shape, 56, 56);
      const TrueEllipse curve(left, top, left + width, top + height);
      CheckOutline(ring, left, top, left + width, top + height, name);
      CheckNearCurve(ring, curve, name);
      CheckInterior(ring, inside, curve, left, left + width, name);
      // Thin shapes (a semi-axis under 2 pixels) and eccentric ones have
      // pointed ends where the curve runs inside one or two columns; a
      // thin ring is only required of rounder boxes.
      const double ratio = static_cast<double>(std::max(width, height)) / std::min(width, height);
      if (std::min(width, height) >= 5 && ratio <= 3.0) CheckThin(ring, name);
    }
  }
}

TEST(EllipseRasterTest, CirclesUpToRadiusThreeThousandAreRoundThinAndClosed) {
  std::vector<int64_t> radii;
  for (int64_t r = 2; r <= 120; ++r) radii.push_back(r);
  for (int64_t r = 121; r <= 3000; r += 97) radii.push_back(r);
  radii.push_back(2202);
  radii.push_back(3000);
  for (const int64_t r : radii) {
    const std::string name = "radius " + std::to_string(r);
    const int64_t x = r + 1;  // centre pixel; the box is (x - r, y - r, x + r + 1, y + r + 1)
    const EllipseRaster shape(x - r, x - r, x + r + 1, x + r + 1);
    const auto side = static_cast<int32_t>(2 * r + 3);
    const Pixels ring = Outline(shape, side, side);
    CheckOutline(ring, x - r, x - r, x + r + 1, x + r + 1, name);
    CheckThin(ring, name);
    const TrueEllipse curve(x - r, x - r, x + r + 1, x + r + 1);
    CheckNearCurve(ring, curve, name);
    // Nearest-pixel rounding errs as often inwards as outwards: once a ring
    // has enough pixels for that to average out, the mean distance from the
    // centre stays close to r. (A small ring is a few fixed pixels: radius 2
    // has eight of its twelve at the square root of 5.)
    if (r >= 20) {
      double sum = 0;
      for (const auto& p : ring.list) sum += std::hypot(p.first - x, p.second - x) - r;
      EXPECT_LT(std::fabs(sum / ring.Size()), 0.1) << name;
    }
    // No part of the circle is missed: every point of it has an outline
    // pixel within one pixel along both axes.
    const int samples = static_cast<int>(8 * r);
    for (int i = 0; i < samples; ++i) {
      const double angle = 2 * Pi * i / samples;
      const double cx = x + r * std::cos(angle);
      const double cy = x + r * std::sin(angle);
      bool covered = false;
      for (int64_t py = std::llround(cy) - 1; py <= std::llround(cy) + 1 && !covered; ++py) {
        for (int64_t px = std::llround(cx) - 1; px <= std::llround(cx) + 1; ++px) {
          if (ring.Has(px, py) && std::fabs(px - cx) <= 1.0 && std::fabs(py - cy) <= 1.0) {
            covered = true;
            break;
          }
        }
      }
      EXPECT_TRUE(covered) << name << " at angle " << angle;
      if (!covered) break;
    }
  }
}

TEST(EllipseRasterTest, EllipsesOfManyShapesAreGoodOutlines) {
  const int64_t sizes[][2] = {{101, 37},  {37, 101},  {400, 399}, {1000, 250}, {250, 1000},
                              {2, 900},   {900, 2},   {3, 500},   {4, 500},    {500, 4},
                              {1201, 20}, {20, 1201}, {640, 480}, {333, 334},  {1500, 700}};
  for (const auto& size : sizes) {
    const std::string name = std::to_string(size[0]) + "x" + std::to_string(size[1]);
    const EllipseRaster shape(1, 1, 1 + size[0], 1 + size[1]);
    const auto width = static_cast<int32_t>(size[0] + 2);
    const auto height = static_cast<int32_t>(size[1] + 2);
    const Pixels ring = Outline(shape, width, height);
    const TrueEllipse curve(1, 1, 1 + size[0], 1 + size[1]);
    CheckOutline(ring, 1, 1, 1 + size[0], 1 + size[1], name);
    CheckNearCurve(ring, curve, name);
    CheckInterior(ring, Interior(shape, width, height), curve, 1, 1 + size[0], name);
  }
}

TEST(EllipseRasterTest, RoundedBoxesAreClosedSymmetricAndTouchTheBox) {
  const int64_t cases[][4] = {{30, 20, 10, 6}, {30, 20, 11, 7},  {9, 40, 9, 9},
                              {50, 3, 20, 3},  {12, 12, 24, 30}, {7, 7, 0, -3}};
  for (const auto& c : cases) {
    const std::string name = std::to_string(c[0]) + "x" + std::to_string(c[1]) + " corners " +
                             std::to_string(c[2]) + "x" + std::to_string(c[3]);
    const EllipseRaster shape(2, 2, 2 + c[0], 2 + c[1], c[2], c[3]);
    const Pixels ring = Outline(shape, 80, 80);
    CheckOutline(ring, 2, 2, 2 + c[0], 2 + c[1], name);
    // The straight parts run along the box edges between the corners.
    EXPECT_TRUE(ring.Has(2 + c[0] / 2, 2)) << name;
    EXPECT_TRUE(ring.Has(2, 2 + c[1] / 2)) << name;
    const Pixels inside = Interior(shape, 80, 80);
    for (const auto& p : inside.list) EXPECT_FALSE(ring.Has(p.first, p.second)) << name;
  }
  // Corners as large as the box, or larger, make the inscribed ellipse.
  EXPECT_EQ(Picture(EllipseRaster(1, 1, 20, 14, 19, 13), 22, 16),
            Picture(EllipseRaster(1, 1, 20, 14), 22, 16));
  EXPECT_EQ(Picture(EllipseRaster(1, 1, 20, 14, 500, 500), 22, 16),
            Picture(EllipseRaster(1, 1, 20, 14), 22, 16));
}

// ---------------------------------------------------------------- clipping

// The whole outline of the box, drawn with the box moved to the origin of a
// clip rectangle that holds it, and moved back.
std::vector<std::pair<int64_t, int64_t>> WholeOutline(int64_t left, int64_t top, int64_t right,
                                                      int64_t bottom) {
  const Pixels ring =
      Outline(EllipseRaster(0, 0, right - left, bottom - top), static_cast<int32_t>(right - left),
              static_cast<int32_t>(bottom - top));
  std::vector<std::pair<int64_t, int64_t>> moved;
  for (const auto& p : ring.list) moved.push_back({p.first + left, p.second + top});
  return moved;
}

TEST(EllipseRasterTest, ClippingKeepsExactlyTheImagePartOfTheWholeOutline) {
  struct Case {
    const char* name;
    int64_t cx, cy, r;
  };
  const int32_t width = 320;
  const int32_t height = 200;
  const Case cases[] = {
      {"radius 40000, centre far left", -39800, 100, 40000},
      {"radius 40000, centre far below", 160, 40150, 40000},
      {"radius 40000, centre far up and left", -28100, -28100, 40000},
      {"radius 3000, centre left of the image", -2850, 100, 3000},
      {"radius 150 centred on the corner (width, height)", width, height, 150},
      {"radius 300 centred right of the last column", width + 2, height, 300},
      {"radius 2202, centre right of and below the image", width + 2000, height + 800, 2202},
      {"radius 100 centred on the origin", 0, 0, 100},
  };
  for (const Case& c : cases) {
    const int64_t left = c.cx - c.r, top = c.cy - c.r, right = c.cx + c.r + 1,
                  bottom = c.cy + c.r + 1;
    const Pixels clipped = Outline(EllipseRaster(left, top, right, bottom), width, height);
    EXPECT_FALSE(clipped.outsideClip) << c.name;
    EXPECT_EQ(clipped.MostReports(), 1) << c.name;
    size_t expected = 0;
    for (const auto& [x, y] : WholeOutline(left, top, right, bottom)) {
      if (x < 0 || y < 0 || x >= width || y >= height) continue;
      ++expected;
      EXPECT_TRUE(clipped.Has(x, y)) << c.name << ": missing " << x << "," << y;
    }
    EXPECT_EQ(clipped.Size(), expected) << c.name;
    EXPECT_GT(expected, 0u) << c.name;
  }
}

TEST(EllipseRasterTest, RadiusFortyThousandIsAThinClosedCircle) {
  const int64_t r = 40000;
  const EllipseRaster shape(0, 0, 2 * r + 1, 2 * r + 1);
  const Pixels ring =
      Outline(shape, static_cast<int32_t>(2 * r + 1), static_cast<int32_t>(2 * r + 1));
  CheckOutline(ring, 0, 0, 2 * r + 1, 2 * r + 1, "radius 40000");
  CheckThin(ring, "radius 40000");
  CheckNearCurve(ring, TrueEllipse(0, 0, 2 * r + 1, 2 * r + 1), "radius 40000");
}

// Boxes 32768 pixels across are the largest whose squares the raster
// compares in 64 bits; one pixel more takes the 128-bit comparison. Both
// must be the true curve's outline.
TEST(EllipseRasterTest, BoxesEitherSideOfTheSixtyFourBitBoundAreGoodOutlines) {
  const int64_t sizes[][2] = {{32768, 32768}, {32768, 1201}, {32769, 32769}, {1201, 32769}};
  for (const auto& size : sizes) {
    const std::string name = std::to_string(size[0]) + "x" + std::to_string(size[1]);
    const Pixels ring = Outline(EllipseRaster(0, 0, size[0], size[1]), static_cast<int32_t>(size[0]),
                                static_cast<int32_t>(size[1]));
    CheckOutline(ring, 0, 0, size[0], size[1], name);
    CheckThin(ring, name);
    CheckNearCurve(ring, TrueEllipse(0, 0, size[0], size[1]), name);
  }
}

TEST(EllipseRasterTest, ShapesOutsideTheImageReportNothing) {
  const int64_t boxes[][4] = {{-500, -500, -10, -10},
                              {400, 10, 900, 90},
                              {10, 300, 90, 900},
                              {-90000, -90000, 90000, 90000}};  // the image lies inside the ring
  for (const auto& box : boxes) {
    const EllipseRaster shape(box[0], box[1], box[2], box[3]);
    EXPECT_EQ(Outline(shape, 320, 200).Size(), 0u);
  }
  // ... but inside that last ring every pixel of the image is interior.
  const Pixels inside = Interior(EllipseRaster(-90000, -90000, 90000, 90000), 320, 200);
  EXPECT_EQ(inside.Size(), 320u * 200u);
}

// The largest box, its left side crossing the image near the box's middle
// rows: over rows a few dozen pixels from the middle the curve moves by far
// less than a pixel, so every row has its single outline pixel on the left
// edge of the box and interior to its right.
TEST(EllipseRasterTest, TheLargestBoxIsDrawnNearItsSide) {
  const int64_t side = MaxRasterBoxSide;
  const int64_t top = 50 - side / 2;
  const EllipseRaster shape(10, top, 10 + side, top + side);
  ASSERT_FALSE(shape.Refused());
  const Pixels ring = Outline(shape, 64, 100);
  const Pixels inside = Interior(shape, 64, 100);
  EXPECT_EQ(ring.Size(), 100u);
  for (int32_t y = 0; y < 100; ++y) EXPECT_TRUE(ring.Has(10, y)) << y;
  EXPECT_EQ(inside.Size(), 100u * 53u);
  EXPECT_TRUE(inside.Has(11, 0));
  EXPECT_FALSE(inside.Has(9, 0));
}

}  // namespace
}  // namespace vivuvev
