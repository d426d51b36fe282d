// The software 2D layer and the memory surfaces of the canvas: GDI's
// documented results and state rules, pixels as they land in 32-bit and
// 5-5-5 images, raster operations, clipping without wrapping, and the lock
// and device-context rules of the surfaces.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "canvas/canvas_surface.h"
#include "canvas/gdi.h"
#include "canvas/pixels.h"
#include "software/ellipse_raster.h"

namespace vivuvev {
namespace {

constexpr int32_t StockWhiteBrush = 0;  // WHITE_BRUSH
constexpr int32_t StockBlackPen = 7;    // BLACK_PEN
constexpr uint32_t ObjectDC = 3;        // OBJ_DC
constexpr uint32_t ObjectMemDC = 10;    // OBJ_MEMDC
constexpr uint32_t FloodFillBorder = 0;
constexpr uint32_t Red = 0x0000FF;  // colour values: red in bits 0-7
constexpr uint32_t Green = 0x00FF00;
constexpr uint32_t Blue = 0xFF0000;
constexpr uint32_t White = 0xFFFFFF;

constexpr uint32_t PackRgbForFill(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }

// A working-copy surface with its device context out; Words() gives the
// context back and reads every pixel word, checking that the row padding
// beyond the image was never written.
class Image {
 public:
  Image(int32_t width, int32_t height, int32_t pixelClass)
      : width_(width),
        height_(height),
        pixelClass_(pixelClass),
        surface_(CreateWorkingCopySurface(width, height, pixelClass)),
        dc_(GetCanvasSurfaceDC(surface_)) {}
  ~Image() {
    if (dc_ != nullptr) ReleaseCanvasSurfaceDC(surface_, dc_);
    ReleaseCanvasSurface(surface_);
  }
  Image(const Image&) = delete;
  Image& operator=(const Image&) = delete;

  DeviceContext dc() const { return dc_; }
  int32_t width() const { return width_; }
  int32_t height() const { return height_; }

  std::vector<uint32_t> Words() {
    if (dc_ != nullptr) {
      EXPECT_TRUE(ReleaseCanvasSurfaceDC(surface_, dc_));
    }
    dc_ = nullptr;
    std::vector<uint32_t> words;
    uint8_t* bits = nullptr;
    int32_t pitch = 0;
    if (!LockCanvasSurface(surface_, true, &bits, &pitch)) {
      ADD_FAILURE() << "lock failed";
      return words;
    }
    const int32_t bytes = pixelClass_ == PixelClass32 ? 4 : 2;
    for (int32_t y = 0; y < height_; ++y) {
      const uint8_t* row = bits + y * pitch;
      for (int32_t x = 0; x < width_; ++x) {
        uint32_t word = 0;
        std::memcpy(&word, row + x * bytes, bytes);
        words.push_back(word);
      }
      for (int32_t i = width_ * bytes; i < pitch; ++i) {
        EXPECT_EQ(row[i], 0) << "row " << y << " padding written";
      }
    }
    EXPECT_TRUE(UnlockCanvasSurface(surface_));
    return words;
  }

  uint32_t Word(const std::vector<uint32_t>& words, int32_t x, int32_t y) const {
    return words[static_cast<size_t>(y) * width_ + x];
  }

 private:
  int32_t width_;
  int32_t height_;
  int32_t pixelClass_;
  CanvasSurface* surface_;
  DeviceContext dc_;
};

// Fills the image with distinct colours so that every change shows.
void Pattern(Image& image) {
  for (int32_t y = 0; y < image.height(); ++y) {
    for (int32_t x = 0; x < image.width(); ++x) {
      SetPixelV(image.dc(), x, y, static_cast<uint32_t>(x * 37 + y * 9001 + 0x203040) & White);
    }
  }
}

struct Run {
  int32_t y, left, right;
};

void CollectRun(void* context, int32_t y, int32_t left, int32_t right) {
  static_cast<std::vector<Run>*>(context)->push_back({y, left, right});
}

// The pixels of the outline (or interior) the rasteriser gives for a box.
std::vector<bool> ShapeMask(const EllipseRaster& shape, bool outline, int32_t width,
                            int32_t height) {
  std::vector<Run> runs;
  if (outline) {
    shape.VisitOutline(width, height, CollectRun, &runs);
  } else {
    shape.VisitInterior(width, height, CollectRun, &runs);
  }
  std::vector<bool> mask(static_cast<size_t>(width) * height, false);
  for (const Run& run : runs) {
    for (int32_t x = run.left; x < run.right; ++x)
      mask[static_cast<size_t>(run.y) * width + x] = true;
  }
  return mask;
}

// ------------------------------------------------------------ handles

uint64_t HandleBits(void* handle) { return reinterpret_cast<uintptr_t>(handle); }

TEST(GdiSoftwareTest, CallsWithoutAContextOrObjectFail) {
  Image image(8, 8, PixelClass32);
  GdiObject pen = CreatePen(PenSolid, 0, Red);
  BlendFunction blend{AlphaSourceOver, 0, 255, 0};
  TextSize size{};
  struct Case {
    const char* call;
    std::function<uint64_t()> run;
    uint64_t expected;
  };
  DeviceContext dc = image.dc();
  const std::vector<Case> cases = {
      {"SelectObject(null, pen)", [&] { return HandleBits(SelectObject(nullptr, pen)); }, 0},
      {"SelectObject(dc, null)", [&] { return HandleBits(SelectObject(dc, nullptr)); }, 0},
      {"SelectObject(dc, dc)", [&] { return HandleBits(SelectObject(dc, dc)); }, 0},
      {"DeleteObject(null)", [] { return DeleteObject(nullptr); }, 0},
      {"DeleteObject(dc)", [&] { return DeleteObject(dc); }, 0},
      {"GetObjectType(null)", [] { return GetObjectType(nullptr); }, 0},
      {"SetROP2(null)", [] { return SetROP2(nullptr, Rop2Not); }, 0},
      {"SetROP2(pen)", [&] { return SetROP2(pen, Rop2Not); }, 0},
      {"SetBkMode(null)", [] { return SetBkMode(nullptr, BkOpaque); }, 0},
      {"SetBkColor(null)", [] { return SetBkColor(nullptr, 0); }, InvalidColour},
      {"SetTextColor(null)", [] { return SetTextColor(nullptr, 0); }, InvalidColour},
      {"SetTextAlign(null)", [] { return SetTextAlign(nullptr, 0); }, 0xFFFFFFFFu},
      {"Ellipse(null)", [] { return Ellipse(nullptr, 0, 0, 5, 5); }, 0},
      {"Rectangle(null)", [] { return Rectangle(nullptr, 0, 0, 5, 5); }, 0},
      {"RoundRect(null)", [] { return RoundRect(nullptr, 0, 0, 5, 5, 2, 2); }, 0},
      {"MoveToEx(null)", [] { return MoveToEx(nullptr, 1, 1); }, 0},
      {"LineTo(null)", [] { return LineTo(nullptr, 1, 1); }, 0},
      {"SetPixelV(null)", [] { return SetPixelV(nullptr, 1, 1, 0); }, 0},
      {"GetPixel(null)", [] { return GetPixel(nullptr, 1, 1); }, InvalidColour},
      {"ExtFloodFill(null)", [] { return ExtFloodFill(nullptr, 1, 1, 0, FloodFillSurface); }, 0},
      {"CreateCompatibleBitmap(null)",
       [] { return HandleBits(CreateCompatibleBitmap(nullptr, 4, 4)); }, 0},
      {"CreateCompatibleDC(pen)", [&] { return HandleBits(CreateCompatibleDC(pen)); }, 0},
      {"DeleteDC(null)", [] { return DeleteDC(nullptr); }, 0},
      {"BitBlt(null, dc)", [&] { return BitBlt(nullptr, 0, 0, 2, 2, dc, 0, 0, RopSrcCopy); }, 0},
      {"BitBlt(dc, null)", [&] { return BitBlt(dc, 0, 0, 2, 2, nullptr, 0, 0, RopSrcCopy); }, 0},
      {"StretchBlt(dc, null)",
       [&] { return StretchBlt(dc, 0, 0, 2, 2, nullptr, 0, 0, 1, 1, RopSrcCopy); }, 0},
      {"AlphaBlend(null, dc)",
       [&] { return AlphaBlend(nullptr, 0, 0, 2, 2, dc, 0, 0, 2, 2, blend); }, 0},
      {"TextOutA", [&] { return TextOutA(dc, 0, 0, "abc", 3); }, 0},
      {"GetTextExtentPoint32A", [&] { return GetTextExtentPoint32A(dc, "abc", 3, &size); }, 0},
      {"CreateRotatedFont",
       [] { return HandleBits(CreateRotatedFont(GetStockObject(StockSystemFont), 900)); }, 0},
      {"DestroyIcon", [&] { return DestroyIcon(pen); }, 0},
      {"CreatePen(PS_DASH)", [] { return HandleBits(CreatePen(1, 0, 0)); }, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(c.run(), c.expected) << c.call;
  EXPECT_EQ(size.cx, 0);
  EXPECT_EQ(size.cy, 0);
  UnloadAlphaBlendLibrary();  // nothing is loaded; it must simply return
  EXPECT_NE(DeleteObject(pen), 0);
}

TEST(GdiSoftwareTest, ObjectsReportTheirTypes) {
  Image image(4, 4, PixelClass32);
  GdiObject pen = CreatePen(PenSolid, 1, Red);
  GdiObject brush = CreateSolidBrush(Green);
  GdiObject bitmap = CreateCompatibleBitmap(image.dc(), 3, 2);
  DeviceContext memory = CreateCompatibleDC(image.dc());
  ASSERT_NE(pen, nullptr);
  ASSERT_NE(brush, nullptr);
  ASSERT_NE(bitmap, nullptr);
  ASSERT_NE(memory, nullptr);
  EXPECT_EQ(GetObjectType(pen), ObjectPen);
  EXPECT_EQ(GetObjectType(brush), ObjectBrush);
  EXPECT_EQ(GetObjectType(bitmap), ObjectBitmap);
  EXPECT_EQ(GetObjectType(GetStockObject(StockSystemFont)), ObjectFont);
  EXPECT_EQ(GetObjectType(GetStockObject(StockNullBrush)), ObjectBrush);
  EXPECT_EQ(GetObjectType(image.dc()), ObjectDC);
  EXPECT_EQ(GetObjectType(memory), ObjectMemDC);
  EXPECT_NE(DeleteObject(pen), 0);
  EXPECT_NE(DeleteObject(brush), 0);
  EXPECT_NE(DeleteObject(bitmap), 0);
  EXPECT_NE(DeleteDC(memory), 0);
}

TEST(GdiSoftwareTest, StockObjectsAreSharedAndNeverDeleted) {
  const int32_t stock[] = {StockWhiteBrush, StockBlackBrush, StockNullBrush, StockBlackPen,
                           StockSystemFont};
  for (const int32_t which : stock) {
    GdiObject object = GetStockObject(which);
    ASSERT_NE(object, nullptr) << which;
    EXPECT_EQ(GetStockObject(which), object) << which;
    EXPECT_NE(DeleteObject(object), 0) << which;
    EXPECT_NE(GetObjectType(object), 0u) << which;  // still alive
  }
  EXPECT_EQ(GetStockObject(3), nullptr);  // DKGRAY_BRUSH: not provided
  EXPECT_EQ(GetStockObject(99), nullptr);

  // A deleted stock brush still paints (here: nothing, being hollow).
  Image image(12, 12, PixelClass32);
  DeleteObject(GetStockObject(StockNullBrush));
  SelectObject(image.dc(), GetStockObject(StockNullBrush));
  EXPECT_NE(Ellipse(image.dc(), 0, 0, 11, 11), 0);
  EXPECT_EQ(GetPixel(image.dc(), 5, 5), 0u);
  EXPECT_EQ(GetPixel(image.dc(), 5, 0), 0u);  // black pen on black
}

TEST(GdiSoftwareTest, ANewContextHasTheDefaultState) {
  Image image(4, 4, PixelClass32);
  DeviceContext dc = image.dc();
  GdiObject pen = CreatePen(PenSolid, 0, Red);
  GdiObject brush = CreateSolidBrush(Green);
  EXPECT_EQ(SelectObject(dc, pen), GetStockObject(StockBlackPen));
  EXPECT_EQ(SelectObject(dc, brush), GetStockObject(StockWhiteBrush));
  EXPECT_EQ(SelectObject(dc, GetStockObject(StockSystemFont)), GetStockObject(StockSystemFont));
  EXPECT_EQ(SetROP2(dc, Rop2Not), Rop2CopyPen);
  EXPECT_EQ(SetBkMode(dc, BkTransparent), BkOpaque);
  EXPECT_EQ(SetBkColor(dc, Red), White);
  EXPECT_EQ(SetTextColor(dc, Red), 0u);
  EXPECT_EQ(SetTextAlign(dc, TextAlignUpdateCp), 0u);
  // Selecting back lets go of the pass's objects, which can then go.
  EXPECT_EQ(SelectObject(dc, GetStockObject(StockBlackPen)), pen);
  EXPECT_EQ(SelectObject(dc, GetStockObject(StockWhiteBrush)), brush);
  EXPECT_NE(DeleteObject(pen), 0);
  EXPECT_NE(DeleteObject(brush), 0);
}

TEST(GdiSoftwareTest, SettersReturnThePreviousValue) {
  Image image(4, 4, PixelClass32);
  DeviceContext dc = image.dc();
  EXPECT_EQ(SetROP2(dc, Rop2Not), Rop2CopyPen);
  EXPECT_EQ(SetROP2(dc, Rop2CopyPen), Rop2Not);
  EXPECT_EQ(SetROP2(dc, 0), 0);  // not a mode: refused
  EXPECT_EQ(SetROP2(dc, 17), 0);
  EXPECT_EQ(SetROP2(dc, Rop2Not), Rop2CopyPen);  // unchanged by the refusals
  EXPECT_EQ(SetBkMode(dc, BkTransparent), BkOpaque);
  EXPECT_EQ(SetBkMode(dc, 7), 0);
  EXPECT_EQ(SetBkMode(dc, BkOpaque), BkTransparent);
  EXPECT_EQ(SetBkColor(dc, 0x123456), White);
  EXPECT_EQ(SetBkColor(dc, 0), 0x123456u);
  EXPECT_EQ(SetTextColor(dc, 0xFFFFFFFF), 0u);
  EXPECT_EQ(SetTextColor(dc, Blue), 0xFFFFFFFFu);
  EXPECT_EQ(SetTextAlign(dc, TextAlignUpdateCp), 0u);
  EXPECT_EQ(SetTextAlign(dc, 0), TextAlignUpdateCp);
}

TEST(GdiSoftwareTest, SelectObjectReturnsTheObjectItReplaces) {
  Image image(4, 4, PixelClass32);
  DeviceContext dc = image.dc();
  GdiObject first = CreatePen(PenSolid, 0, Red);
  GdiObject second = CreatePen(PenSolid, 0, Blue);
  GdiObject initial = SelectObject(dc, first);
  EXPECT_EQ(SelectObject(dc, second), first);
  EXPECT_EQ(SelectObject(dc, second), second);  // selecting it again
  EXPECT_EQ(SelectObject(dc, initial), second);
  DeleteObject(first);
  DeleteObject(second);
}

// A pen deleted while selected keeps drawing until it is replaced, as GDI
// lets it; then it is freed (the sanitizers would report a leak or a use
// after free otherwise).
TEST(GdiSoftwareTest, ObjectsDeletedWhileSelectedLiveUntilDeselected) {
  Image image(8, 8, PixelClass32);
  DeviceContext dc = image.dc();
  GdiObject pen = CreatePen(PenSolid, 0, Red);
  GdiObject initial = SelectObject(dc, pen);
  EXPECT_NE(DeleteObject(pen), 0);
  EXPECT_EQ(GetObjectType(pen), ObjectPen);
  MoveToEx(dc, 0, 0);
  LineTo(dc, 3, 0);
  EXPECT_EQ(GetPixel(dc, 1, 0), Red);
  EXPECT_EQ(SelectObject(dc, pen), nullptr);  // deleted: cannot be selected again
  SelectObject(dc, initial);
  // One left selected when the context goes is freed with it.
  GdiObject brush = CreateSolidBrush(Blue);
  SelectObject(dc, brush);
  DeleteObject(brush);
}

// ------------------------------------------------------------- pixels

TEST(GdiSoftwareTest, ColoursLandAsThePixelFormatsDescribe) {
  struct Case {
    uint32_t colour;
    uint32_t word32;
    uint32_t word16;
  };
  const Case cases[] = {
      {Red, 0x00FF0000, 0x7C00},
      {Green, 0x0000FF00, 0x03E0},
      {Blue, 0x000000FF, 0x001F},
      {White, 0x00FFFFFF, 0x7FFF},
      {0xFFFFFFFF, 0x00FFFFFF, 0x7FFF},  // the high byte carries no colour
      {0x070707, 0x00070707, 0x0000},    // below 8 in every channel: black in 5-5-5
      {0x181008, 0x00081018, (1u << 10) | (2u << 5) | 3u},
      {0x00, 0x00000000, 0x0000},
  };
  for (const int32_t pixelClass : {PixelClass32, PixelClass16}) {
    Image image(16, 3, pixelClass);
    for (size_t i = 0; i < std::size(cases); ++i) {
      EXPECT_NE(SetPixelV(image.dc(), static_cast<int32_t>(i), 1, cases[i].colour), 0);
    }
    const std::vector<uint32_t> words = image.Words();
    for (size_t i = 0; i < std::size(cases); ++i) {
      const uint32_t expected = pixelClass == PixelClass32 ? cases[i].word32 : cases[i].word16;
      EXPECT_EQ(image.Word(words, static_cast<int32_t>(i), 1), expected)
          << "class " << pixelClass << " colour " << std::hex << cases[i].colour;
    }
  }
}

TEST(GdiSoftwareTest, GetPixelReadsColourValuesAndRefusesOutsidePoints) {
  Image wide(6, 4, PixelClass32);
  SetPixelV(wide.dc(), 2, 3, 0x123456);
  EXPECT_EQ(GetPixel(wide.dc(), 2, 3), 0x123456u);
  // Five bits a channel read back widened, so that white stays white.
  Image narrow(6, 4, PixelClass16);
  SetPixelV(narrow.dc(), 1, 1, 0x181008);
  SetPixelV(narrow.dc(), 2, 1, White);
  SetPixelV(narrow.dc(), 3, 1, 0x0F0F0F);  // 15 keeps its top five bits: 8
  EXPECT_EQ(GetPixel(narrow.dc(), 1, 1), 0x181008u);
  EXPECT_EQ(GetPixel(narrow.dc(), 2, 1), White);
  EXPECT_EQ(GetPixel(narrow.dc(), 3, 1), 0x080808u);
  const int32_t outside[][2] = {{-1, 0}, {0, -1}, {6, 0}, {0, 4}, {6, 4}, {-100000, 2}};
  for (const auto& p : outside) {
    EXPECT_EQ(GetPixel(wide.dc(), p[0], p[1]), InvalidColour) << p[0] << "," << p[1];
    EXPECT_EQ(SetPixelV(wide.dc(), p[0], p[1], White), 0) << p[0] << "," << p[1];
  }
  const std::vector<uint32_t> words = wide.Words();  // and nothing wrapped into the padding
  size_t written = 0;
  for (const uint32_t w : words) written += w != 0;
  EXPECT_EQ(written, 1u);
}

// --------------------------------------------------------------- ellipses

void SelectPenAndBrush(DeviceContext dc, uint32_t penColour, GdiObject brush) {
  DeleteObject(SelectObject(dc, CreatePen(PenSolid, 0, penColour)));
  SelectObject(dc, brush);
}

void ReleasePen(DeviceContext dc) { DeleteObject(SelectObject(dc, GetStockObject(StockBlackPen))); }

// The DrawCircle box of radius 2 at (100, 100): only columns and rows
// 98 .. 102 change, the four axis points are set, the centre is not.
TEST(GdiSoftwareTest, CircleOfRadiusTwoStaysInItsSquare) {
  Image image(200, 200, PixelClass32);
  SelectPenAndBrush(image.dc(), Red, GetStockObject(StockNullBrush));
  EXPECT_NE(Ellipse(image.dc(), 98, 98, 103, 103), 0);
  ReleasePen(image.dc());
  const std::vector<uint32_t> words = image.Words();
  const char* expected[] = {".###.", "#...#", "#...#", "#...#", ".###."};
  for (int32_t y = 0; y < 200; ++y) {
    for (int32_t x = 0; x < 200; ++x) {
      const bool inSquare = x >= 98 && x <= 102 && y >= 98 && y <= 102;
      const bool set = inSquare && expected[y - 98][x - 98] == '#';
      EXPECT_EQ(image.Word(words, x, y), set ? 0x00FF0000u : 0u) << x << "," << y;
    }
  }
}

TEST(GdiSoftwareTest, RadiusOneThroughRectangleSetsOnePixel) {
  Image image(10, 10, PixelClass32);
  SelectPenAndBrush(image.dc(), Green, GetStockObject(StockNullBrush));
  EXPECT_NE(Rectangle(image.dc(), 4, 5, 5, 6), 0);
  ReleasePen(image.dc());
  const std::vector<uint32_t> words = image.Words();
  for (int32_t y = 0; y < 10; ++y) {
    for (int32_t x = 0; x < 10; ++x) {
      EXPECT_EQ(image.Word(words, x, y), x == 4 && y == 5 ? 0x0000FF00u : 0u) << x << "," << y;
    }
  }
}

// FillRect copies the brush into the box whatever the raster operation,
// clipped to the image; the hollow brush paints nothing.
TEST(GdiSoftwareTest, FillRectCopiesTheBrushIntoTheClippedBox) {
  Image image(6, 5, PixelClass16);
  SetROP2(image.dc(), Rop2Not);
  GdiObject brush = CreateSolidBrush(PackRgbForFill(255, 0, 8));
  EXPECT_EQ(FillRect(image.dc(), -3, 3, 2, 99, brush), 1);
  EXPECT_EQ(FillRect(image.dc(), 0, 0, 6, 5, GetStockObject(StockNullBrush)), 1);
  EXPECT_EQ(FillRect(image.dc(), 0, 0, 6, 5, nullptr), 0);
  EXPECT_EQ(FillRect(nullptr, 0, 0, 6, 5, brush), 0);
  DeleteObject(brush);
  const std::vector<uint32_t> words = image.Words();
  for (int32_t y = 0; y < 5; ++y) {
    for (int32_t x = 0; x < 6; ++x) {
      const bool inside = x < 2 && y >= 3;
      EXPECT_EQ(image.Word(words, x, y), inside ? (31u << 10) | 1u : 0u) << x << "," << y;
    }
  }
}

// The pen draws the rasteriser's outline and the brush its interior; with
// the hollow brush the interior keeps its pixels.
TEST(GdiSoftwareTest, EllipseFillsWithTheBrushThenDrawsThePen) {
  const int32_t box[] = {7, 5, 60, 41};
  const EllipseRaster shape(box[0], box[1], box[2], box[3]);
  const int32_t width = 64, height = 48;
  const std::vector<bool> ring = ShapeMask(shape, true, width, height);
  const std::vector<bool> inside = ShapeMask(shape, false, width, height);
  for (const bool hollow : {true, false}) {
    Image image(width, height, PixelClass32);
    Pattern(image);
    GdiObject brush = hollow ? GetStockObject(StockNullBrush) : CreateSolidBrush(Blue);
    SelectPenAndBrush(image.dc(), Red, brush);
    std::vector<uint32_t> original(static_cast<size_t>(width) * height);
    for (int32_t y = 0; y < height; ++y) {
      for (int32_t x = 0; x < width; ++x) {
        original[static_cast<size_t>(y) * width + x] = ColourToClass3(GetPixel(image.dc(), x, y));
      }
    }
    EXPECT_NE(Ellipse(image.dc(), box[0], box[1], box[2], box[3]), 0);
    ReleasePen(image.dc());
    SelectObject(image.dc(), GetStockObject(StockWhiteBrush));
    if (!hollow) DeleteObject(brush);
    const std::vector<uint32_t> words = image.Words();
    for (size_t i = 0; i < words.size(); ++i) {
      const uint32_t expected = ring[i]                ? 0x00FF0000u
                                : inside[i] && !hollow ? 0x000000FFu
                                                       : original[i];
      ASSERT_EQ(words[i], expected) << (hollow ? "hollow " : "solid ") << i;
    }
  }
}

// R2_NOT inverts every colour bit of each pixel the shape covers, each
// exactly once: drawn twice the image is as before.
TEST(GdiSoftwareTest, NotModeInvertsEachPixelOnce) {
  struct Case {
    const char* name;
    int32_t pixelClass;
    bool filled;
    int32_t left, top, right, bottom;
  };
  const Case cases[] = {
      {"32-bit ring", PixelClass32, false, 3, 2, 54, 39},
      {"32-bit filled", PixelClass32, true, 3, 2, 54, 39},
      {"16-bit ring", PixelClass16, false, 10, 4, 31, 25},
      {"32-bit ring clipped", PixelClass32, false, -30, -20, 40, 70},
      {"even box", PixelClass32, false, 5, 5, 17, 13},
  };
  const int32_t width = 60, height = 44;
  for (const Case& c : cases) {
    const EllipseRaster shape(c.left, c.top, c.right, c.bottom);
    const std::vector<bool> ring = ShapeMask(shape, true, width, height);
    const std::vector<bool> inside = ShapeMask(shape, false, width, height);
    Image reference(width, height, c.pixelClass);
    Pattern(reference);
    const std::vector<uint32_t> original = reference.Words();
    for (const int times : {1, 2}) {
      Image image(width, height, c.pixelClass);
      Pattern(image);
      GdiObject brush = c.filled ? CreateSolidBrush(Green) : GetStockObject(StockNullBrush);
      SelectPenAndBrush(image.dc(), Red, brush);
      SetROP2(image.dc(), Rop2Not);
      for (int i = 0; i < times; ++i) Ellipse(image.dc(), c.left, c.top, c.right, c.bottom);
      ReleasePen(image.dc());
      SelectObject(image.dc(), GetStockObject(StockWhiteBrush));
      if (c.filled) DeleteObject(brush);
      const std::vector<uint32_t> words = image.Words();
      const uint32_t mask = c.pixelClass == PixelClass32 ? 0x00FFFFFFu : 0x7FFFu;
      for (size_t i = 0; i < words.size(); ++i) {
        const bool covered = ring[i] || (c.filled && inside[i]);
        const uint32_t expected = covered && times == 1 ? ~original[i] & mask : original[i];
        ASSERT_EQ(words[i], expected) << c.name << " drawn " << times << "x, pixel " << i;
      }
    }
  }
}

TEST(GdiSoftwareTest, RingsFarOutsideOnlyChangePixelsInside) {
  const int32_t width = 120, height = 80;
  struct Case {
    int32_t cx, cy, r;
  };
  const Case cases[] = {{-39900, 40, 40000},
                        {60, 40080, 40000},
                        {width, height, 50},
                        {width + 2, height, 102},
                        {-5000, -5000, 100}};
  for (const Case& c : cases) {
    Image image(width, height, PixelClass32);
    SelectPenAndBrush(image.dc(), White, GetStockObject(StockNullBrush));
    EXPECT_NE(Ellipse(image.dc(), c.cx - c.r, c.cy - c.r, c.cx + c.r + 1, c.cy + c.r + 1), 0);
    ReleasePen(image.dc());
    const std::vector<bool> ring = ShapeMask(
        EllipseRaster(c.cx - c.r, c.cy - c.r, c.cx + c.r + 1, c.cy + c.r + 1), true, width, height);
    const std::vector<uint32_t> words = image.Words();  // also checks the padding
    for (size_t i = 0; i < words.size(); ++i) {
      ASSERT_EQ(words[i], ring[i] ? 0x00FFFFFFu : 0u) << c.cx << "," << c.cy << " pixel " << i;
    }
  }
  // With the centre at (width, height) only the inside quarter shows: the
  // left end of the ring's top row on the image lies at width - r.
  Image image(width, height, PixelClass32);
  SelectPenAndBrush(image.dc(), White, GetStockObject(StockNullBrush));
  Ellipse(image.dc(), width - 50, height - 50, width + 51, height + 51);
  ReleasePen(image.dc());
  EXPECT_EQ(GetPixel(image.dc(), width - 1, height - 50), White);
  EXPECT_EQ(GetPixel(image.dc(), width - 50, height - 1), White);
  EXPECT_EQ(GetPixel(image.dc(), width - 1, height - 1), 0u);
}

TEST(GdiSoftwareTest, OversizedBoxesFailAndEmptyOnesDrawNothing) {
  Image image(16, 16, PixelClass32);
  SelectPenAndBrush(image.dc(), White, GetStockObject(StockBlackBrush));
  EXPECT_EQ(Ellipse(image.dc(), std::numeric_limits<int32_t>::min(), 0,
                    std::numeric_limits<int32_t>::max(), 10),
            0);
  EXPECT_NE(Ellipse(image.dc(), 4, 4, 4, 12), 0);
  EXPECT_NE(Rectangle(image.dc(), 4, 4, 12, 4), 0);
  ReleasePen(image.dc());
  for (const uint32_t w : image.Words()) EXPECT_EQ(w, 0u);
}

// ------------------------------------------------------------ raster ops

TEST(GdiSoftwareTest, EveryRop2ModeCombinesPenAndPixelAsNamed) {
  const uint32_t P = 0xF0F0F0;  // the pen's pixel word (and colour value)
  const uint32_t D = 0xCCCCCC;  // the pixel under it
  const uint32_t M = 0xFFFFFF;
  const uint32_t expected[16] = {
      0,             // R2_BLACK
      ~(P | D) & M,  // R2_NOTMERGEPEN
      ~P & D & M,    // R2_MASKNOTPEN
      ~P & M,        // R2_NOTCOPYPEN
      P & ~D & M,    // R2_MASKPENNOT
      ~D & M,        // R2_NOT
      P ^ D,         // R2_XORPEN
      ~(P & D) & M,  // R2_NOTMASKPEN
      P & D,         // R2_MASKPEN
      ~(P ^ D) & M,  // R2_NOTXORPEN
      D,             // R2_NOP
      (~P | D) & M,  // R2_MERGENOTPEN
      P,             // R2_COPYPEN
      (P | ~D) & M,  // R2_MERGEPENNOT
      P | D,         // R2_MERGEPEN
      M,             // R2_WHITE
  };
  Image image(16, 2, PixelClass32);
  DeviceContext dc = image.dc();
  GdiObject pen = CreatePen(PenSolid, 0, P);
  GdiObject initial = SelectObject(dc, pen);
  for (int32_t mode = 1; mode <= 16; ++mode) {
    SetPixelV(dc, mode - 1, 0, D);
    SetROP2(dc, mode);
    MoveToEx(dc, mode - 1, 0);
    LineTo(dc, mode, 0);  // the one pixel (mode - 1, 0)
  }
  SelectObject(dc, initial);
  DeleteObject(pen);
  const std::vector<uint32_t> words = image.Words();
  for (int32_t mode = 1; mode <= 16; ++mode) {
    EXPECT_EQ(image.Word(words, mode - 1, 0), expected[mode - 1]) << "mode " << mode;
  }
}

// ------------------------------------------------------ rectangles, lines

TEST(GdiSoftwareTest, RectanglesAndRoundedRectanglesHaveTheirShapes) {
  struct Case {
    const char* name;
    std::function<int32_t(DeviceContext)> draw;
    std::vector<std::string> expected;  // '#' pen, 'o' brush, '.' untouched
  };
  const std::vector<Case> cases = {
      {"rectangle",
       [](DeviceContext dc) { return Rectangle(dc, 1, 1, 6, 5); },
       {".......", ".#####.", ".#ooo#.", ".#ooo#.", ".#####.", "......."}},
      {"rectangle, edges swapped",
       [](DeviceContext dc) { return Rectangle(dc, 6, 5, 1, 1); },
       {".......", ".#####.", ".#ooo#.", ".#ooo#.", ".#####.", "......."}},
      {"rectangle clipped",
       [](DeviceContext dc) { return Rectangle(dc, -3, 2, 4, 100); },
       {".......", ".......", "####...", "ooo#...", "ooo#...", "ooo#..."}},
      {"rounded, corners 3x3",
       [](DeviceContext dc) { return RoundRect(dc, 0, 0, 7, 5, 3, 3); },
       {".#####.", "#ooooo#", "#ooooo#", "#ooooo#", ".#####.", "......."}},
      {"rounded, corners 0x0",
       [](DeviceContext dc) { return RoundRect(dc, 0, 0, 4, 3, 0, 0); },
       {"####...", "#oo#...", "####...", ".......", ".......", "......."}},
  };
  for (const Case& c : cases) {
    Image image(7, 6, PixelClass32);
    SelectPenAndBrush(image.dc(), Red, CreateSolidBrush(Blue));
    EXPECT_NE(c.draw(image.dc()), 0) << c.name;
    ReleasePen(image.dc());
    DeleteObject(SelectObject(image.dc(), GetStockObject(StockWhiteBrush)));
    const std::vector<uint32_t> words = image.Words();
    for (int32_t y = 0; y < 6; ++y) {
      for (int32_t x = 0; x < 7; ++x) {
        const char want = c.expected[y][x];
        const uint32_t expected = want == '#' ? 0x00FF0000u : want == 'o' ? 0x000000FFu : 0u;
        EXPECT_EQ(image.Word(words, x, y), expected) << c.name << " at " << x << "," << y;
      }
    }
  }
}

TEST(GdiSoftwareTest, LinesLeaveOutTheirEndPoint) {
  struct Case {
    int32_t fromX, fromY, toX, toY;
    std::vector<std::pair<int32_t, int32_t>> pixels;
  };
  // (0, 0) to (6, 2): the row is 2 i / 6 rounded, 0 0 1 1 1 2 for i = 0 .. 5.
  const std::vector<Case> cases = {
      {2, 2, 6, 2, {{2, 2}, {3, 2}, {4, 2}, {5, 2}}},
      {6, 2, 2, 2, {{6, 2}, {5, 2}, {4, 2}, {3, 2}}},
      {2, 1, 2, 4, {{2, 1}, {2, 2}, {2, 3}}},
      {1, 1, 4, 4, {{1, 1}, {2, 2}, {3, 3}}},
      {4, 1, 1, 4, {{4, 1}, {3, 2}, {2, 3}}},
      {0, 0, 6, 2, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 2}}},
      {3, 3, 3, 3, {}},
  };
  for (const Case& c : cases) {
    Image image(8, 6, PixelClass32);
    DeviceContext dc = image.dc();
    GdiObject initial = SelectObject(dc, CreatePen(PenSolid, 0, Red));
    EXPECT_NE(MoveToEx(dc, c.fromX, c.fromY), 0);
    EXPECT_NE(LineTo(dc, c.toX, c.toY), 0);
    DeleteObject(SelectObject(dc, initial));
    std::vector<uint32_t> expected(8 * 6, 0);
    for (const auto& p : c.pixels) expected[p.second * 8 + p.first] = 0x00FF0000;
    EXPECT_EQ(image.Words(), expected)
        << c.fromX << "," << c.fromY << " to " << c.toX << "," << c.toY;
  }
}

TEST(GdiSoftwareTest, LineToContinuesFromTheLastPoint) {
  Image image(6, 6, PixelClass32);
  DeviceContext dc = image.dc();
  GdiObject initial = SelectObject(dc, CreatePen(PenSolid, 0, Red));
  MoveToEx(dc, 1, 1);
  LineTo(dc, 4, 1);
  LineTo(dc, 4, 4);  // starts at (4, 1), which the first line left out
  DeleteObject(SelectObject(dc, initial));
  const std::vector<uint32_t> words = image.Words();
  const std::pair<int32_t, int32_t> set[] = {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {4, 2}, {4, 3}};
  size_t count = 0;
  for (const uint32_t w : words) count += w != 0;
  EXPECT_EQ(count, std::size(set));
  for (const auto& p : set) EXPECT_EQ(image.Word(words, p.first, p.second), 0x00FF0000u);
}

TEST(GdiSoftwareTest, LinesFromFarOutsideAreClippedWithoutWrapping) {
  Image image(40, 30, PixelClass32);
  DeviceContext dc = image.dc();
  GdiObject initial = SelectObject(dc, CreatePen(PenSolid, 0, White));
  MoveToEx(dc, -1000000, 5);
  LineTo(dc, 1000000, 5);
  MoveToEx(dc, -2000000000, -2000000000);
  LineTo(dc, 2000000000, 2000000000);  // the diagonal x = y
  MoveToEx(dc, 100, -50);
  LineTo(dc, 100, 500);  // entirely right of the image
  DeleteObject(SelectObject(dc, initial));
  const std::vector<uint32_t> words = image.Words();
  for (int32_t y = 0; y < 30; ++y) {
    for (int32_t x = 0; x < 40; ++x) {
      const bool set = y == 5 || x == y;
      EXPECT_EQ(image.Word(words, x, y), set ? 0x00FFFFFFu : 0u) << x << "," << y;
    }
  }
}

// ------------------------------------------------------------- flood fill

TEST(GdiSoftwareTest, FloodFillsFillTheRegionAndStopAtItsBorder) {
  // A red frame around (1, 1) .. (6, 4) and a red pixel touching the gap
  // only diagonally: four-connected filling does not pass diagonals.
  auto draw = [](Image& image) {
    DeviceContext dc = image.dc();
    GdiObject initial = SelectObject(dc, CreatePen(PenSolid, 0, Red));
    SelectObject(dc, GetStockObject(StockNullBrush));
    Rectangle(dc, 0, 0, 8, 6);
    DeleteObject(SelectObject(dc, initial));
    SelectObject(dc, GetStockObject(StockWhiteBrush));
    SetPixelV(dc, 3, 1, Red);
    SetPixelV(dc, 2, 2, Red);
    SetPixelV(dc, 1, 3, Red);  // a diagonal wall cutting off the corner (1, 1) .. (2, 1), (1, 2)
  };
  const std::vector<std::string> filled = {"########", "#..#ooo#", "#.#oooo#",
                                           "##ooooo#", "#oooooo#", "########"};
  for (const uint32_t type : {FloodFillSurface, FloodFillBorder}) {
    Image image(8, 6, PixelClass32);
    draw(image);
    GdiObject initial = SelectObject(image.dc(), CreateSolidBrush(Blue));
    const uint32_t colour = type == FloodFillSurface ? 0u : Red;
    EXPECT_NE(ExtFloodFill(image.dc(), 5, 3, colour, type), 0);
    DeleteObject(SelectObject(image.dc(), initial));
    const std::vector<uint32_t> words = image.Words();
    for (int32_t y = 0; y < 6; ++y) {
      for (int32_t x = 0; x < 8; ++x) {
        const char want = filled[y][x];
        const uint32_t expected = want == '#' ? 0x00FF0000u : want == 'o' ? 0x000000FFu : 0u;
        EXPECT_EQ(image.Word(words, x, y), expected) << type << " at " << x << "," << y;
      }
    }
  }
}

TEST(GdiSoftwareTest, FloodFillRefusesStartsOutsideTheRegion) {
  Image image(8, 6, PixelClass32);
  DeviceContext dc = image.dc();
  SetPixelV(dc, 2, 2, Red);
  GdiObject initial = SelectObject(dc, CreateSolidBrush(Blue));
  EXPECT_EQ(ExtFloodFill(dc, 2, 2, 0, FloodFillSurface), 0);   // not the surface colour
  EXPECT_EQ(ExtFloodFill(dc, 2, 2, Red, FloodFillBorder), 0);  // on the border
  EXPECT_EQ(ExtFloodFill(dc, -1, 2, 0, FloodFillSurface), 0);
  EXPECT_EQ(ExtFloodFill(dc, 8, 2, 0, FloodFillSurface), 0);
  EXPECT_EQ(ExtFloodFill(dc, 1, 1, 0, 7), 0);  // no such fill type
  // A brush of the very colour being filled: done, nothing changes.
  DeleteObject(SelectObject(dc, CreateSolidBrush(0)));
  EXPECT_NE(ExtFloodFill(dc, 0, 0, 0, FloodFillSurface), 0);
  DeleteObject(SelectObject(dc, initial));
  const std::vector<uint32_t> words = image.Words();
  for (size_t i = 0; i < words.size(); ++i) EXPECT_EQ(words[i], i == 2 * 8 + 2 ? 0x00FF0000u : 0u);
}

// ------------------------------------------------------ memory contexts

TEST(GdiSoftwareTest, MemoryContextsStartWithAOnePixelBitmap) {
  DeviceContext memory = CreateCompatibleDC(nullptr);
  ASSERT_NE(memory, nullptr);
  EXPECT_EQ(GetPixel(memory, 0, 0), 0u);
  EXPECT_EQ(GetPixel(memory, 1, 0), InvalidColour);
  EXPECT_EQ(GetPixel(memory, 0, 1), InvalidColour);
  GdiObject bitmap = CreateCompatibleBitmap(memory, 8, 6);
  ASSERT_NE(bitmap, nullptr);
  GdiObject initial = SelectObject(memory, bitmap);
  EXPECT_EQ(GetObjectType(initial), ObjectBitmap);
  EXPECT_NE(SetPixelV(memory, 7, 5, 0x336699), 0);
  EXPECT_EQ(GetPixel(memory, 7, 5), 0x336699u);
  EXPECT_EQ(GetPixel(memory, 8, 5), InvalidColour);
  EXPECT_EQ(DeleteObject(bitmap), 0);  // selected: refused
  // One bitmap in one context at a time; none in a surface's context.
  DeviceContext other = CreateCompatibleDC(memory);
  EXPECT_EQ(SelectObject(other, bitmap), nullptr);
  Image image(4, 4, PixelClass32);
  EXPECT_EQ(SelectObject(image.dc(), bitmap), nullptr);
  EXPECT_EQ(DeleteDC(image.dc()), 0);
  EXPECT_EQ(SelectObject(memory, initial), bitmap);
  EXPECT_NE(SelectObject(other, bitmap), nullptr);
  EXPECT_NE(DeleteDC(other), 0);  // lets go of the bitmap
  EXPECT_NE(DeleteObject(bitmap), 0);
  EXPECT_NE(DeleteDC(memory), 0);
}

TEST(GdiSoftwareTest, BitmapsTakeTheFormatOfTheirContext) {
  Image narrow(4, 4, PixelClass16);
  DeviceContext memory = CreateCompatibleDC(narrow.dc());
  GdiObject bitmap = CreateCompatibleBitmap(memory, 3, 3);
  GdiObject initial = SelectObject(memory, bitmap);
  SetPixelV(memory, 1, 1, 0x070707);  // no five-bit channel left: black
  SetPixelV(memory, 2, 1, 0x0F0F0F);
  EXPECT_EQ(GetPixel(memory, 1, 1), 0u);
  EXPECT_EQ(GetPixel(memory, 2, 1), 0x080808u);
  SelectObject(memory, initial);
  DeleteObject(bitmap);
  DeleteDC(memory);
}

TEST(GdiSoftwareTest, BitmapsOfNoSizeOrTooLargeAreRefused) {
  DeviceContext memory = CreateCompatibleDC(nullptr);
  const int32_t sizes[][2] = {{0, 5},  {5, 0},           {-1, 5},
                              {5, -3}, {100000, 100000}, {std::numeric_limits<int32_t>::max(), 2}};
  for (const auto& size : sizes) {
    EXPECT_EQ(CreateCompatibleBitmap(memory, size[0], size[1]), nullptr)
        << size[0] << "x" << size[1];
  }
  DeleteDC(memory);
}

// ------------------------------------------------------------------ blits

// A memory context holding a width x height bitmap whose pixel (x, y) has
// the colour value Source(x, y).
class SourceBitmap {
 public:
  SourceBitmap(int32_t width, int32_t height, int32_t bitsFrom = PixelClass32) {
    Image format(1, 1, bitsFrom);
    dc_ = CreateCompatibleDC(format.dc());
    bitmap_ = CreateCompatibleBitmap(dc_, width, height);
    initial_ = SelectObject(dc_, bitmap_);
    for (int32_t y = 0; y < height; ++y) {
      for (int32_t x = 0; x < width; ++x) SetPixelV(dc_, x, y, Colour(x, y));
    }
  }
  ~SourceBitmap() {
    SelectObject(dc_, initial_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  SourceBitmap(const SourceBitmap&) = delete;
  SourceBitmap& operator=(const SourceBitmap&) = delete;
  static uint32_t Colour(int32_t x, int32_t y) { return 0x080808u * (x + 1) + 0x400000u * y; }
  DeviceContext dc() const { return dc_; }

 private:
  DeviceContext dc_;
  GdiObject bitmap_;
  GdiObject initial_;
};

TEST(GdiSoftwareTest, BitBltCopiesAndClipsOnBothSides) {
  SourceBitmap source(4, 3);
  struct Case {
    const char* name;
    int32_t x, y, width, height, sourceX, sourceY;
  };
  const Case cases[] = {
      {"inside", 2, 1, 4, 3, 0, 0},
      {"part of the source", 0, 0, 2, 2, 1, 1},
      {"past the destination's corner", 6, 4, 4, 3, 0, 0},
      {"before the destination's origin", -2, -1, 4, 3, 0, 0},
      {"past the source's edge", 1, 1, 6, 5, 2, 1},
      {"before the source's origin", 3, 3, 4, 3, -2, -1},
      {"nothing", 1, 1, 0, 3, 0, 0},
  };
  const int32_t width = 8, height = 6;
  for (const Case& c : cases) {
    Image image(width, height, PixelClass32);
    EXPECT_NE(BitBlt(image.dc(), c.x, c.y, c.width, c.height, source.dc(), c.sourceX, c.sourceY,
                     RopSrcCopy),
              0)
        << c.name;
    const std::vector<uint32_t> words = image.Words();
    for (int32_t y = 0; y < height; ++y) {
      for (int32_t x = 0; x < width; ++x) {
        const int32_t sx = x - c.x + c.sourceX;
        const int32_t sy = y - c.y + c.sourceY;
        const bool copied = x >= c.x && x < c.x + c.width && y >= c.y && y < c.y + c.height &&
                            sx >= 0 && sx < 4 && sy >= 0 && sy < 3;
        const uint32_t expected = copied ? ColourToClass3(SourceBitmap::Colour(sx, sy)) : 0u;
        EXPECT_EQ(image.Word(words, x, y), expected) << c.name << " at " << x << "," << y;
      }
    }
  }
}

TEST(GdiSoftwareTest, SourceInvertTwiceRestoresTheImage) {
  SourceBitmap source(4, 3);
  Image image(6, 5, PixelClass32);
  Pattern(image);
  uint32_t before[6 * 5];
  for (int32_t i = 0; i < 30; ++i) before[i] = ColourToClass3(GetPixel(image.dc(), i % 6, i / 6));
  EXPECT_NE(BitBlt(image.dc(), 1, 1, 4, 3, source.dc(), 0, 0, RopSrcInvert), 0);
  const uint32_t inverted = ColourToClass3(GetPixel(image.dc(), 2, 2));
  EXPECT_EQ(inverted, before[2 * 6 + 2] ^ ColourToClass3(SourceBitmap::Colour(1, 1)));
  EXPECT_NE(BitBlt(image.dc(), 1, 1, 4, 3, source.dc(), 0, 0, RopSrcInvert), 0);
  const std::vector<uint32_t> words = image.Words();
  for (int32_t i = 0; i < 30; ++i) EXPECT_EQ(words[i], before[i]) << i;
}

TEST(GdiSoftwareTest, BlitsRefuseOtherRasterOperations) {
  SourceBitmap source(2, 2);
  Image image(4, 4, PixelClass32);
  EXPECT_EQ(BitBlt(image.dc(), 0, 0, 2, 2, source.dc(), 0, 0, 0x00EE0086u), 0);  // SRCPAINT
  EXPECT_EQ(StretchBlt(image.dc(), 0, 0, 2, 2, source.dc(), 0, 0, 2, 2, 0x00550009u), 0);
}

TEST(GdiSoftwareTest, BlitsConvertBetweenFormats) {
  SourceBitmap wide(2, 1);
  Image narrow(2, 1, PixelClass16);
  EXPECT_NE(BitBlt(narrow.dc(), 0, 0, 2, 1, wide.dc(), 0, 0, RopSrcCopy), 0);
  EXPECT_EQ(GetPixel(narrow.dc(), 0, 0), 0x080808u);  // 8 keeps its top five bits
  EXPECT_EQ(GetPixel(narrow.dc(), 1, 0), 0x101010u);
  Image back(2, 1, PixelClass32);
  EXPECT_NE(BitBlt(back.dc(), 0, 0, 2, 1, narrow.dc(), 0, 0, RopSrcCopy), 0);
  const std::vector<uint32_t> words = back.Words();
  EXPECT_EQ(words[0], 0x00080808u);  // five bits widened, top byte clear
  EXPECT_EQ(words[1], 0x00101010u);
}

TEST(GdiSoftwareTest, StretchBltSamplesTheNearestSourcePixel) {
  SourceBitmap source(4, 4);
  struct Case {
    const char* name;
    int32_t x, y, width, height, sourceX, sourceY, sourceWidth, sourceHeight;
    // The source pixel each destination pixel of the 8 x 8 image shows, or -1.
    std::function<int32_t(int32_t)> column;
    std::function<int32_t(int32_t)> row;
  };
  auto none = [](int32_t) { return -1; };
  const std::vector<Case> cases = {
      {"doubled", 0, 0, 8, 8, 0, 0, 4, 4, [](int32_t x) { return x / 2; },
       [](int32_t y) { return y / 2; }},
      // Halving samples the centres of pixel pairs: source 1 and 3.
      {"halved", 2, 2, 2, 2, 0, 0, 4, 4,
       [](int32_t x) { return x >= 2 && x < 4 ? 2 * (x - 2) + 1 : -1; },
       [](int32_t y) { return y >= 2 && y < 4 ? 2 * (y - 2) + 1 : -1; }},
      // A negative width mirrors: columns 3 .. 0 of the destination from the
      // source's 0 .. 3.
      {"mirrored", 4, 0, -4, 4, 0, 0, 4, 4, [](int32_t x) { return x < 4 ? 3 - x : -1; },
       [](int32_t y) { return y < 4 ? y : -1; }},
      // Clipped on both sides: only source columns 2 .. 3 exist beyond x.
      {"clipped", -2, 6, 8, 4, 2, 0, 4, 2, [](int32_t x) { return x < 2 ? 2 + (x + 2) / 2 : -1; },
       [](int32_t y) { return y >= 6 ? (y - 6) / 2 : -1; }},
      {"empty source", 0, 0, 8, 8, 0, 0, 0, 4, none, none},
  };
  for (const Case& c : cases) {
    Image image(8, 8, PixelClass32);
    EXPECT_NE(StretchBlt(image.dc(), c.x, c.y, c.width, c.height, source.dc(), c.sourceX, c.sourceY,
                         c.sourceWidth, c.sourceHeight, RopSrcCopy),
              0)
        << c.name;
    const std::vector<uint32_t> words = image.Words();
    for (int32_t y = 0; y < 8; ++y) {
      for (int32_t x = 0; x < 8; ++x) {
        const int32_t sx = c.column(x);
        const int32_t sy = c.row(y);
        const uint32_t expected = sx >= 0 && sy >= 0 && sx < 4 && sy < 4
                                      ? ColourToClass3(SourceBitmap::Colour(sx, sy))
                                      : 0u;
        EXPECT_EQ(image.Word(words, x, y), expected) << c.name << " at " << x << "," << y;
      }
    }
  }
}

TEST(GdiSoftwareTest, BlitsWithinOneImageReadThePixelsAsTheyWere) {
  Image image(6, 1, PixelClass32);
  for (int32_t x = 0; x < 6; ++x) SetPixelV(image.dc(), x, 0, static_cast<uint32_t>(x + 1));
  EXPECT_NE(BitBlt(image.dc(), 1, 0, 5, 1, image.dc(), 0, 0, RopSrcCopy), 0);
  const std::vector<uint32_t> words = image.Words();
  const uint32_t expected[] = {1, 1, 2, 3, 4, 5};  // colour value x + 1: blue byte 0
  for (int32_t x = 0; x < 6; ++x) EXPECT_EQ(words[x], ColourToClass3(expected[x])) << x;
}

// AlphaBlend of one pixel of a source colour over a destination colour.
uint32_t BlendOne(uint32_t sourceWord, uint32_t destinationColour, BlendFunction blend) {
  DeviceContext memory = CreateCompatibleDC(nullptr);
  GdiObject bitmap = CreateCompatibleBitmap(memory, 1, 1);
  GdiObject initial = SelectObject(memory, bitmap);
  // The alpha byte cannot be drawn with a colour value; blit it in from a
  // surface's pixels.
  CanvasSurface* surface = CreateWorkingCopySurface(1, 1, PixelClass32);
  uint8_t* bits = nullptr;
  int32_t pitch = 0;
  LockCanvasSurface(surface, false, &bits, &pitch);
  std::memcpy(bits, &sourceWord, 4);
  UnlockCanvasSurface(surface);
  DeviceContext surfaceDC = GetCanvasSurfaceDC(surface);
  BitBlt(memory, 0, 0, 1, 1, surfaceDC, 0, 0, RopSrcCopy);
  ReleaseCanvasSurfaceDC(surface, surfaceDC);
  ReleaseCanvasSurface(surface);
  Image image(1, 1, PixelClass32);
  SetPixelV(image.dc(), 0, 0, destinationColour);
  EXPECT_NE(AlphaBlend(image.dc(), 0, 0, 1, 1, memory, 0, 0, 1, 1, blend), 0);
  SelectObject(memory, initial);
  DeleteObject(bitmap);
  DeleteDC(memory);
  return image.Words()[0] & 0x00FFFFFFu;
}

TEST(GdiSoftwareTest, AlphaBlendMixesByConstantAndPremultipliedAlpha) {
  // Constant alpha k: s k / 255 + d (255 - k) / 255; 51 is a fifth of 255.
  EXPECT_EQ(BlendOne(0x00FF0000, 0x00FF00, {AlphaSourceOver, 0, 51, 0}), 0x0033CC00u);
  EXPECT_EQ(BlendOne(0x00FF0000, 0x00FF00, {AlphaSourceOver, 0, 255, 0}), 0x00FF0000u);
  EXPECT_EQ(BlendOne(0x00FF0000, 0x00FF00, {AlphaSourceOver, 0, 0, 0}), 0x0000FF00u);
  // Premultiplied: alpha 0x80 with red 0x80, green 0x40 over white gives
  // s + 255 (255 - 128) / 255 = s + 127 in each channel.
  EXPECT_EQ(BlendOne(0x80804000, White, {AlphaSourceOver, 0, 255, AlphaSourceAlpha}), 0x00FFBF7Fu);
  // A transparent source (alpha 0, colour 0) leaves the destination.
  EXPECT_EQ(BlendOne(0x00000000, 0x123456, {AlphaSourceOver, 0, 255, AlphaSourceAlpha}),
            ColourToClass3(0x123456));
}

TEST(GdiSoftwareTest, AlphaBlendRefusesWhatGdiRefuses) {
  SourceBitmap source(4, 4);
  SourceBitmap narrowSource(4, 4, PixelClass16);
  Image image(8, 8, PixelClass32);
  const BlendFunction plain{AlphaSourceOver, 0, 128, 0};
  EXPECT_EQ(AlphaBlend(image.dc(), 0, 0, 4, 4, source.dc(), 1, 0, 4, 4, plain),
            0);  // past the source
  EXPECT_EQ(AlphaBlend(image.dc(), 0, 0, 4, 4, source.dc(), -1, 0, 2, 2, plain), 0);
  EXPECT_EQ(AlphaBlend(image.dc(), 0, 0, -4, 4, source.dc(), 0, 0, 4, 4, plain), 0);
  EXPECT_EQ(AlphaBlend(image.dc(), 0, 0, 4, 4, source.dc(), 0, 0, 4, 4, {1, 0, 128, 0}), 0);
  EXPECT_EQ(AlphaBlend(image.dc(), 0, 0, 4, 4, source.dc(), 0, 0, 4, 4, {0, 1, 128, 0}), 0);
  EXPECT_EQ(AlphaBlend(image.dc(), 0, 0, 4, 4, narrowSource.dc(), 0, 0, 4, 4,
                       {AlphaSourceOver, 0, 255, AlphaSourceAlpha}),
            0);  // no alpha channel in 16 bits
  EXPECT_EQ(AlphaBlend(image.dc(), 1, 1, 4, 4, image.dc(), 0, 0, 4, 4, plain), 0);  // overlap
  EXPECT_NE(AlphaBlend(image.dc(), 4, 4, 4, 4, image.dc(), 0, 0, 4, 4, plain), 0);
  EXPECT_NE(AlphaBlend(image.dc(), 6, 6, 4, 4, source.dc(), 0, 0, 4, 4, plain), 0);  // clipped
}

// --------------------------------------------------------------- surfaces

TEST(CanvasSurfaceSoftwareTest, InvalidSizesAndClassesFail) {
  const int32_t big = std::numeric_limits<int32_t>::max();
  const int32_t cases[][3] = {{0, 10, 3},    {10, 0, 3},    {-1, 5, 3},  {5, -1, 2},
                              {10, 10, 1},   {10, 10, 4},   {10, 10, 0}, {16385, 1, 3},
                              {1, 16385, 2}, {big, big, 3}, {big, 1, 2}};
  for (const auto& c : cases) {
    EXPECT_EQ(CreateCanvasTexture(c[0], c[1], c[2]), nullptr) << c[0] << "x" << c[1] << " " << c[2];
    EXPECT_EQ(CreateWorkingCopySurface(c[0], c[1], c[2]), nullptr) << c[0] << "x" << c[1];
  }
  EXPECT_EQ(CreateRenderTargetCopy(0, 4), nullptr);
  EXPECT_EQ(CreateRenderTargetCopy(4, -4), nullptr);
  EXPECT_EQ(CreateRenderTargetCopy(big, big), nullptr);
}

// Whatever the width, rows are padded beyond width x bytes, and new pixels
// (padding included) are zero.
TEST(CanvasSurfaceSoftwareTest, SurfacesAreZeroFilledWithPaddedRows) {
  struct Made {
    const char* kind;
    int32_t bytes;
    std::function<CanvasSurface*(int32_t, int32_t)> make;
    std::function<void(CanvasSurface*)> release;
  };
  CanvasTexture* texture = nullptr;
  const std::vector<Made> kinds = {
      {"texture 32", 4,
       [&](int32_t w, int32_t h) {
         texture = CreateCanvasTexture(w, h, PixelClass32);
         return GetTextureLevelSurface(texture);
       },
       [&](CanvasSurface* s) {
         ReleaseCanvasSurface(s);
         ReleaseCanvasTexture(texture);
       }},
      {"texture 16", 2,
       [&](int32_t w, int32_t h) {
         texture = CreateCanvasTexture(w, h, PixelClass16);
         return GetTextureLevelSurface(texture);
       },
       [&](CanvasSurface* s) {
         ReleaseCanvasSurface(s);
         ReleaseCanvasTexture(texture);
       }},
      {"working copy 32", 4,
       [](int32_t w, int32_t h) { return CreateWorkingCopySurface(w, h, PixelClass32); },
       ReleaseCanvasSurface},
      {"working copy 16", 2,
       [](int32_t w, int32_t h) { return CreateWorkingCopySurface(w, h, PixelClass16); },
       ReleaseCanvasSurface},
      {"render-target copy", 2, [](int32_t w, int32_t h) { return CreateRenderTargetCopy(w, h); },
       ReleaseCanvasSurface},
  };
  for (const Made& kind : kinds) {
    for (const int32_t width : {1, 3, 4, 8, 64, 1920}) {
      CanvasSurface* surface = kind.make(width, 5);
      ASSERT_NE(surface, nullptr) << kind.kind;
      uint8_t* bits = nullptr;
      int32_t pitch = 0;
      ASSERT_TRUE(LockCanvasSurface(surface, true, &bits, &pitch));
      EXPECT_GT(pitch, width * kind.bytes) << kind.kind << " width " << width;
      EXPECT_EQ(pitch % 4, 0) << kind.kind;
      for (int32_t i = 0; i < pitch * 5; ++i) ASSERT_EQ(bits[i], 0) << kind.kind << " byte " << i;
      EXPECT_TRUE(UnlockCanvasSurface(surface));
      kind.release(surface);
    }
  }
}

TEST(CanvasSurfaceSoftwareTest, LocksAndContextsExcludeEachOther) {
  CanvasSurface* surface = CreateWorkingCopySurface(8, 4, PixelClass32);
  CanvasSurface* other = CreateWorkingCopySurface(8, 4, PixelClass32);
  uint8_t* bits = nullptr;
  int32_t pitch = 0;
  EXPECT_FALSE(UnlockCanvasSurface(surface));  // not locked
  ASSERT_TRUE(LockCanvasSurface(surface, false, &bits, &pitch));
  EXPECT_FALSE(LockCanvasSurface(surface, false, &bits, &pitch));  // already locked
  EXPECT_EQ(GetCanvasSurfaceDC(surface), nullptr);                 // locked
  EXPECT_TRUE(UnlockCanvasSurface(surface));
  EXPECT_FALSE(UnlockCanvasSurface(surface));

  DeviceContext dc = GetCanvasSurfaceDC(surface);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetCanvasSurfaceDC(surface), nullptr);  // already out
  EXPECT_FALSE(LockCanvasSurface(surface, true, &bits, &pitch));
  DeviceContext otherDC = GetCanvasSurfaceDC(other);
  EXPECT_FALSE(ReleaseCanvasSurfaceDC(surface, otherDC));  // not this surface's
  EXPECT_FALSE(ReleaseCanvasSurfaceDC(surface, nullptr));
  EXPECT_TRUE(ReleaseCanvasSurfaceDC(other, otherDC));
  EXPECT_TRUE(ReleaseCanvasSurfaceDC(surface, dc));
  EXPECT_FALSE(ReleaseCanvasSurfaceDC(surface, dc));  // already back
  EXPECT_EQ(SetROP2(dc, Rop2Not), 0);                 // a released context is dead
  EXPECT_TRUE(LockCanvasSurface(surface, true, &bits, &pitch));
  EXPECT_TRUE(UnlockCanvasSurface(surface));
  ReleaseCanvasSurface(other);
  ReleaseCanvasSurface(surface);
}

TEST(CanvasSurfaceSoftwareTest, EachContextStartsFromTheDefaultState) {
  CanvasSurface* surface = CreateWorkingCopySurface(4, 4, PixelClass32);
  DeviceContext dc = GetCanvasSurfaceDC(surface);
  SetROP2(dc, Rop2Not);
  SetBkMode(dc, BkTransparent);
  GdiObject pen = CreatePen(PenSolid, 0, Red);
  SelectObject(dc, pen);
  DeleteObject(pen);  // still selected: freed when the context goes back
  ReleaseCanvasSurfaceDC(surface, dc);
  dc = GetCanvasSurfaceDC(surface);
  EXPECT_EQ(SetROP2(dc, Rop2CopyPen), Rop2CopyPen);
  EXPECT_EQ(SetBkMode(dc, BkOpaque), BkOpaque);
  EXPECT_EQ(SelectObject(dc, GetStockObject(StockBlackPen)), GetStockObject(StockBlackPen));
  ReleaseCanvasSurfaceDC(surface, dc);
  ReleaseCanvasSurface(surface);
}

// Drawing through the context lands at the pitch the lock reports.
TEST(CanvasSurfaceSoftwareTest, TheContextDrawsIntoTheSurfacePixels) {
  for (const int32_t pixelClass : {PixelClass32, PixelClass16}) {
    CanvasSurface* surface = CreateWorkingCopySurface(5, 4, pixelClass);
    DeviceContext dc = GetCanvasSurfaceDC(surface);
    EXPECT_NE(SetPixelV(dc, 3, 2, Red), 0);
    ReleaseCanvasSurfaceDC(surface, dc);
    uint8_t* bits = nullptr;
    int32_t pitch = 0;
    ASSERT_TRUE(LockCanvasSurface(surface, true, &bits, &pitch));
    uint32_t word = 0;
    const int32_t bytes = pixelClass == PixelClass32 ? 4 : 2;
    std::memcpy(&word, bits + 2 * pitch + 3 * bytes, bytes);
    EXPECT_EQ(word, pixelClass == PixelClass32 ? 0x00FF0000u : 0x7C00u);
    UnlockCanvasSurface(surface);
    ReleaseCanvasSurface(surface);
  }
}

// The level surface shows the texture's pixels and keeps them alive after
// the texture is released; the last release frees them (a leak or a use
// after free would show under the sanitizers and valgrind).
TEST(CanvasSurfaceSoftwareTest, TheLevelSurfaceSharesAndOutlivesItsTexture) {
  CanvasTexture* texture = CreateCanvasTexture(6, 3, PixelClass32);
  ASSERT_NE(texture, nullptr);
  CanvasSurface* level = GetTextureLevelSurface(texture);
  CanvasSurface* again = GetTextureLevelSurface(texture);
  EXPECT_EQ(level, again);
  uint8_t* bits = nullptr;
  int32_t pitch = 0;
  ASSERT_TRUE(LockCanvasSurface(again, false, &bits, &pitch));
  const uint32_t word = 0xFF123456;
  std::memcpy(bits + pitch + 4, &word, 4);
  UnlockCanvasSurface(again);
  ReleaseCanvasSurface(again);
  ReleaseCanvasTexture(texture);
  ASSERT_TRUE(LockCanvasSurface(level, true, &bits, &pitch));
  uint32_t read = 0;
  std::memcpy(&read, bits + pitch + 4, 4);
  EXPECT_EQ(read, word);
  UnlockCanvasSurface(level);
  DeviceContext dc = GetCanvasSurfaceDC(level);
  EXPECT_EQ(GetPixel(dc, 1, 1), 0x563412u);
  ReleaseCanvasSurfaceDC(level, dc);
  ReleaseCanvasSurface(level);
  // A surface released with its context still out takes the context's
  // objects with it.
  CanvasSurface* surface = CreateWorkingCopySurface(2, 2, PixelClass16);
  DeviceContext held = GetCanvasSurfaceDC(surface);
  GdiObject brush = CreateSolidBrush(Blue);
  SelectObject(held, brush);
  DeleteObject(brush);
  ReleaseCanvasSurface(surface);
}

}  // namespace
}  // namespace vivuvev
