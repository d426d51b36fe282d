// The damage log, and what the software 2D layer records in it: every pixel
// an operation changes lies in a recorded box, outlines record their own
// pixels and no others, and nothing is recorded outside the image.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "canvas/canvas_surface.h"
#include "canvas/damage.h"
#include "canvas/gdi.h"
#include "canvas/pixels.h"

namespace vivuvev {
namespace {

TEST(DamageLogTest, BoxesAreClippedToTheImageAndEmptyOnesDropped) {
  DamageLog log;
  log.Record(-5, -5, 3, 2, 10, 8);    // top-left corner
  log.Record(8, 6, 100, 100, 10, 8);  // bottom-right corner
  log.Record(10, 0, 20, 8, 10, 8);    // wholly right of the image
  log.Record(4, 4, 4, 9, 10, 8);      // no width
  ASSERT_EQ(log.Boxes().size(), 2u);
  EXPECT_EQ(log.Boxes()[0].left, 0);
  EXPECT_EQ(log.Boxes()[0].top, 0);
  EXPECT_EQ(log.Boxes()[0].right, 3);
  EXPECT_EQ(log.Boxes()[0].bottom, 2);
  EXPECT_EQ(log.Boxes()[1].left, 8);
  EXPECT_EQ(log.Boxes()[1].top, 6);
  EXPECT_EQ(log.Boxes()[1].right, 10);
  EXPECT_EQ(log.Boxes()[1].bottom, 8);
  EXPECT_FALSE(log.Everything());
}

TEST(DamageLogTest, TouchingRunsOfOneRowBecomeOneBox) {
  struct Case {
    const char* name;
    DamageBox first, second;
    size_t boxes;
  } cases[] = {
      {"touching on the right", {2, 3, 5, 4}, {5, 3, 9, 4}, 1},
      {"overlapping on the left", {4, 3, 8, 4}, {1, 3, 5, 4}, 1},
      {"a gap between", {2, 3, 5, 4}, {6, 3, 9, 4}, 2},
      {"another row", {2, 3, 5, 4}, {2, 4, 5, 5}, 2},
      {"a box of two rows", {2, 3, 5, 5}, {5, 3, 9, 4}, 2},
  };
  for (const Case& c : cases) {
    DamageLog log;
    log.Record(c.first.left, c.first.top, c.first.right, c.first.bottom, 20, 20);
    log.Record(c.second.left, c.second.top, c.second.right, c.second.bottom, 20, 20);
    ASSERT_EQ(log.Boxes().size(), c.boxes) << c.name;
    if (c.boxes == 1) {
      EXPECT_EQ(log.Boxes()[0].left, std::min(c.first.left, c.second.left)) << c.name;
      EXPECT_EQ(log.Boxes()[0].right, std::max(c.first.right, c.second.right)) << c.name;
    }
  }
}

TEST(DamageLogTest, TooManyBoxesMeanEverythingUntilCleared) {
  DamageLog log;
  for (size_t i = 0; i <= DamageLog::MaxBoxes; ++i) {
    const auto row = static_cast<int64_t>(i % 1000), column = static_cast<int64_t>(2 * (i / 1000));
    log.Record(column, row, column + 1, row + 1, 1000, 1000);
  }
  EXPECT_TRUE(log.Everything());
  log.Clear();
  EXPECT_FALSE(log.Everything());
  EXPECT_TRUE(log.Boxes().empty());
}

// A working copy whose pixels are set without its device context, so that
// the damage log holds only what the operation under test records.
class Surface {
 public:
  static constexpr int32_t Width = 40;
  static constexpr int32_t Height = 30;

  explicit Surface(int32_t pixelClass)
      : pixelClass_(pixelClass), surface_(CreateWorkingCopySurface(Width, Height, pixelClass)) {
    uint8_t* bits = nullptr;
    int32_t pitch = 0;
    EXPECT_TRUE(LockCanvasSurface(surface_, false, &bits, &pitch));
    for (int32_t y = 0; y < Height; ++y) {
      for (int32_t x = 0; x < Width; ++x) {
        const uint32_t word = (x * 7u + y * 131u) * 0x010203u;
        std::memcpy(bits + y * pitch + x * Bytes(), &word, static_cast<size_t>(Bytes()));
      }
    }
    EXPECT_TRUE(UnlockCanvasSurface(surface_));
    before_ = Words();
    dc_ = GetCanvasSurfaceDC(surface_);
  }
  ~Surface() { ReleaseCanvasSurface(surface_); }
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  DeviceContext dc() const { return dc_; }

  // Ends drawing; true for each pixel the drawing changed.
  std::vector<bool> Changed() {
    EXPECT_TRUE(ReleaseCanvasSurfaceDC(surface_, dc_));
    const std::vector<uint32_t> after = Words();
    std::vector<bool> changed(after.size());
    for (size_t i = 0; i < after.size(); ++i) changed[i] = after[i] != before_[i];
    return changed;
  }

  // How many boxes cover each pixel.
  std::vector<int> Coverage() const {
    std::vector<int> count(static_cast<size_t>(Width) * Height, 0);
    for (const DamageBox& box : CanvasSurfaceDamage(surface_)->Boxes()) {
      EXPECT_TRUE(box.left >= 0 && box.top >= 0 && box.right <= Width && box.bottom <= Height);
      for (int32_t y = box.top; y < box.bottom; ++y) {
        for (int32_t x = box.left; x < box.right; ++x) ++count[static_cast<size_t>(y) * Width + x];
      }
    }
    return count;
  }

  bool Everything() const { return CanvasSurfaceDamage(surface_)->Everything(); }

 private:
  int32_t Bytes() const { return pixelClass_ == PixelClass32 ? 4 : 2; }

  std::vector<uint32_t> Words() const {
    std::vector<uint32_t> words;
    uint8_t* bits = nullptr;
    int32_t pitch = 0;
    EXPECT_TRUE(LockCanvasSurface(surface_, true, &bits, &pitch));
    for (int32_t y = 0; y < Height; ++y) {
      for (int32_t x = 0; x < Width; ++x) {
        uint32_t word = 0;
        std::memcpy(&word, bits + y * pitch + x * Bytes(), static_cast<size_t>(Bytes()));
        words.push_back(word);
      }
    }
    EXPECT_TRUE(UnlockCanvasSurface(surface_));
    return words;
  }

  int32_t pixelClass_;
  CanvasSurface* surface_;
  DeviceContext dc_ = nullptr;
  std::vector<uint32_t> before_;
};

struct Operation {
  const char* name;
  std::function<void(DeviceContext)> draw;
};

// Selects a new pen and brush of one colour, deleted at once so that they go
// when the device context lets them go.
void Paint(DeviceContext dc, uint32_t colour, bool hollow) {
  GdiObject pen = CreatePen(PenSolid, 1, colour);
  SelectObject(dc, pen);
  DeleteObject(pen);
  if (hollow) {
    SelectObject(dc, GetStockObject(StockNullBrush));
    return;
  }
  GdiObject brush = CreateSolidBrush(colour);
  SelectObject(dc, brush);
  DeleteObject(brush);
}

std::vector<Operation> Operations() {
  return {
      {"ellipse outline crossing the corner",
       [](DeviceContext dc) {
         Paint(dc, 0x0000FF, true);
         Ellipse(dc, 20, 10, 61, 51);
       }},
      {"filled ellipse", [](DeviceContext dc) {
         Paint(dc, 0x00FF00, false);
         Ellipse(dc, 3, 4, 19, 17);
       }},
      {"inverted rounded box", [](DeviceContext dc) {
         Paint(dc, 0, true);
         SetROP2(dc, Rop2Not);
         RoundRect(dc, -4, 12, 25, 40, 9, 7);
       }},
      {"fill of a box reaching outside", [](DeviceContext dc) {
         GdiObject brush = CreateSolidBrush(0xFF0000);
         FillRect(dc, 30, -3, 50, 8, brush);
         DeleteObject(brush);
       }},
      {"lines both ways", [](DeviceContext dc) {
         Paint(dc, 0xFFFFFF, true);
         MoveToEx(dc, 35, 2);
         LineTo(dc, 5, 27);
         LineTo(dc, 5, -10);
       }},
      {"single pixels", [](DeviceContext dc) {
         SetPixelV(dc, 0, 0, 0x123456);
         SetPixelV(dc, 39, 29, 0x654321);
         SetPixelV(dc, 40, 29, 0x654321);
       }},
      {"flood fill", [](DeviceContext dc) {
         Paint(dc, 0x808080, false);
         ExtFloodFill(dc, 10, 10, GetPixel(dc, 10, 10), FloodFillSurface);
       }},
      {"mirrored stretch of itself", [](DeviceContext dc) {
         StretchBlt(dc, 30, 25, -20, -12, dc, 0, 0, 7, 5, RopSrcCopy);
       }},
      {"blit and blend from a bitmap", [](DeviceContext dc) {
         DeviceContext memory = CreateCompatibleDC(dc);
         GdiObject bitmap = CreateCompatibleBitmap(dc, 6, 5);
         GdiObject initial = SelectObject(memory, bitmap);
         FillRect(memory, 0, 0, 6, 5, GetStockObject(StockBlackBrush));
         BitBlt(dc, 36, 1, 6, 5, memory, 0, 0, RopSrcInvert);
         AlphaBlend(dc, 2, 22, 6, 5, memory, 0, 0, 6, 5, {AlphaSourceOver, 0, 128, 0});
         SelectObject(memory, initial);
         DeleteObject(bitmap);
         DeleteDC(memory);
       }},
  };
}

class DamageRecorded : public ::testing::TestWithParam<int32_t> {};

TEST_P(DamageRecorded, EveryChangedPixelLiesInARecordedBox) {
  for (const Operation& operation : Operations()) {
    Surface surface(GetParam());
    operation.draw(surface.dc());
    const std::vector<bool> changed = surface.Changed();
    const std::vector<int> coverage = surface.Coverage();
    EXPECT_FALSE(surface.Everything()) << operation.name;
    size_t changes = 0;
    for (size_t i = 0; i < changed.size(); ++i) {
      changes += changed[i];
      ASSERT_TRUE(!changed[i] || coverage[i] > 0)
          << operation.name << ": pixel (" << i % Surface::Width << ", " << i / Surface::Width
          << ") changed outside every box";
    }
    EXPECT_GT(changes, 0u) << operation.name << " changed nothing";
  }
}

// An outline is recorded as its own runs: the boxes cover exactly the pixels
// it changed, each once, so a write-back of them visits nothing else. The
// pen inverts, so that every outline pixel changes.
TEST_P(DamageRecorded, OutlinesRecordExactlyTheirPixels) {
  for (int32_t radius : {1, 2, 9, 25}) {
    Surface surface(GetParam());
    Paint(surface.dc(), 0, true);
    SetROP2(surface.dc(), Rop2Not);
    Ellipse(surface.dc(), 24 - radius, 14 - radius, 24 + radius + 1, 14 + radius + 1);
    const std::vector<bool> changed = surface.Changed();
    const std::vector<int> coverage = surface.Coverage();
    for (size_t i = 0; i < changed.size(); ++i) {
      ASSERT_EQ(coverage[i], changed[i] ? 1 : 0)
          << "radius " << radius << " pixel (" << i % Surface::Width << ", " << i / Surface::Width << ")";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Classes, DamageRecorded, ::testing::Values(PixelClass32, PixelClass16),
                         [](const ::testing::TestParamInfo<int32_t>& info) {
                           return info.param == PixelClass32 ? std::string("class3") : std::string("class2");
                         });

}  // namespace
}  // namespace vivuvev
