// The 2D interface of gdi.h on the software platforms (x11, headless): it
// draws into SoftBitmaps in memory (canvas working copies and bitmaps of its
// own), following GDI's documented behaviour.
//
// Supported: solid pens (every width draws one pixel wide), solid brushes,
// the stock white, black and hollow brushes, black pen and system font; the
// sixteen ROP2 modes on every pen and brush pixel; Ellipse, Rectangle and
// RoundRect through the outline rasteriser; lines; single pixels; flood
// fills; memory device contexts and bitmaps in their context's format;
// BitBlt and StretchBlt with SRCCOPY and SRCINVERT; AlphaBlend. There are no
// fonts and no icons: the text calls draw nothing and fail.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>
#include <utility>
#include <vector>

#include "canvas/gdi.h"
#include "canvas/pixels.h"
#include "software/ellipse_raster.h"
#include "software/software_image.h"

namespace vivuvev {
namespace {

__extension__ typedef __int128 Int128;

constexpr int32_t StockWhiteBrush = 0;      // WHITE_BRUSH
constexpr int32_t StockBlackPen = 7;        // BLACK_PEN
constexpr uint32_t FloodFillBorder = 0;     // FLOODFILLBORDER
constexpr uint32_t GdiError = 0xFFFFFFFFu;  // GDI_ERROR
constexpr uint32_t White = 0x00FFFFFFu;

SoftObject stockWhiteBrush{ObjectBrush, true, true, White, 0, false, {}};
SoftObject stockBlackBrush{ObjectBrush, true, true, 0, 0, false, {}};
SoftObject stockNullBrush{ObjectBrush, true, false, 0, 0, false, {}};
SoftObject stockBlackPen{ObjectPen, true, true, 0, 0, false, {}};
SoftObject stockSystemFont{ObjectFont, true, false, 0, 0, false, {}};

// The 1 x 1 bitmap a memory device context starts with, one per format.
uint32_t defaultPixel32 = 0;
uint32_t defaultPixel16 = 0;

SoftObject StockBitmap(uint32_t* pixel, int32_t bitsPerPixel) {
  SoftObject bitmap{ObjectBitmap, true, false, 0, 0, false, {}};
  bitmap.image = {reinterpret_cast<uint8_t*>(pixel), 4, 1, 1, bitsPerPixel};
  return bitmap;
}

SoftObject defaultBitmap32 = StockBitmap(&defaultPixel32, 32);
SoftObject defaultBitmap16 = StockBitmap(&defaultPixel16, 16);

// ---------------------------------------------------------------- handles

uint32_t HandleType(const void* handle) { return *static_cast<const uint32_t*>(handle); }

SoftDC* AsDC(DeviceContext handle) {
  if (handle == nullptr) return nullptr;
  const uint32_t type = HandleType(handle);
  if (type != ObjectDeviceContext && type != ObjectMemoryContext) return nullptr;
  return static_cast<SoftDC*>(handle);
}

SoftObject* AsObject(GdiObject handle) {
  if (handle == nullptr) return nullptr;
  const uint32_t type = HandleType(handle);
  if (type != ObjectPen && type != ObjectBrush && type != ObjectFont && type != ObjectBitmap) {
    return nullptr;
  }
  return static_cast<SoftObject*>(handle);
}

// Pens and brushes come from a small pool, so that drawing passes, which make
// and delete a few of them each, allocate nothing; past the pool they are
// allocated one by one.
constexpr size_t PenAndBrushPoolSize = 32;
SoftObject penAndBrushPool[PenAndBrushPoolSize];
bool penAndBrushInUse[PenAndBrushPoolSize];

SoftObject* NewPenOrBrush(uint32_t type, uint32_t colour) {
  const SoftObject made{type, false, true, colour, 0, false, {}};
  for (size_t i = 0; i < PenAndBrushPoolSize; ++i) {
    if (!penAndBrushInUse[i]) {
      penAndBrushInUse[i] = true;
      penAndBrushPool[i] = made;
      return &penAndBrushPool[i];
    }
  }
  return new (std::nothrow) SoftObject{made};
}

void Destroy(SoftObject* object) {
  const std::less<const SoftObject*> before;  // a total order, also across unrelated objects
  if (!before(object, penAndBrushPool) && before(object, penAndBrushPool + PenAndBrushPoolSize)) {
    object->type = 0;  // a stale handle is refused like any unknown one
    penAndBrushInUse[object - penAndBrushPool] = false;
    return;
  }
  if (object->type == ObjectBitmap) FreeSoftBitmap(&object->image);
  delete object;
}

void Retain(SoftObject* object) {
  if (!object->stock) ++object->selected;
}

// Takes object out of one device context; frees it once the last one lets
// go of an object deleted while selected.
void Drop(SoftObject* object) {
  if (object == nullptr || object->stock) return;
  if (--object->selected == 0 && object->deletePending) Destroy(object);
}

// ----------------------------------------------------------------- pixels

uint32_t ColourMask(int32_t bitsPerPixel) { return bitsPerPixel == 32 ? 0x00FFFFFFu : 0x7FFFu; }

uint32_t LoadPixel(const SoftBitmap& image, int32_t x, int32_t y) {
  const uint8_t* at = image.bits + int64_t{y} * image.pitch;
  if (image.bitsPerPixel == 32) {
    uint32_t word;
    std::memcpy(&word, at + 4 * int64_t{x}, 4);
    return word;
  }
  uint16_t word;
  std::memcpy(&word, at + 2 * int64_t{x}, 2);
  return word;
}

void StorePixel(const SoftBitmap& image, int32_t x, int32_t y, uint32_t pixel) {
  uint8_t* at = image.bits + int64_t{y} * image.pitch;
  if (image.bitsPerPixel == 32) {
    std::memcpy(at + 4 * int64_t{x}, &pixel, 4);
    return;
  }
  const auto word = static_cast<uint16_t>(pixel);
  std::memcpy(at + 2 * int64_t{x}, &word, 2);
}

bool Contains(const SoftBitmap& image, int64_t x, int64_t y) {
  return x >= 0 && y >= 0 && x < image.width && y < image.height;
}

uint32_t ColourToPixel(uint32_t colour, int32_t bitsPerPixel) {
  return ColourToPixelClass(colour & White, bitsPerPixel == 32 ? PixelClass32 : PixelClass16);
}

// A pixel as 8-bit channels; 16-bit pixels have no alpha (0) and widen each
// five-bit channel so that white stays white.
struct Channels {
  uint32_t alpha;
  uint32_t red;
  uint32_t green;
  uint32_t blue;
};

Channels Unpack(uint32_t pixel, int32_t bitsPerPixel) {
  if (bitsPerPixel == 32) {
    return {pixel >> 24, (pixel >> 16) & 0xFFu, (pixel >> 8) & 0xFFu, pixel & 0xFFu};
  }
  return {0, Widen5((pixel >> 10) & 31u), Widen5((pixel >> 5) & 31u), Widen5(pixel & 31u)};
}

uint32_t Pack(const Channels& c, int32_t bitsPerPixel) {
  if (bitsPerPixel == 32) return (c.alpha << 24) | (c.red << 16) | (c.green << 8) | c.blue;
  return ((c.red >> 3) << 10) | ((c.green >> 3) << 5) | (c.blue >> 3);
}

// Blits between images of the same format move whole words; across formats
// the colour channels are converted.
uint32_t ConvertPixel(uint32_t pixel, int32_t from, int32_t to) {
  return from == to ? pixel : Pack(Unpack(pixel, from), to);
}

// -------------------------------------------------------- raster operations

// A ROP2 mode as its truth table: bit (2 P + D) of mode - 1 is the result
// for pen bit P and destination bit D, so each mode is an OR of four masks.
struct RasterOp {
  uint32_t bothClear;
  uint32_t destinationOnly;
  uint32_t penOnly;
  uint32_t bothSet;

  uint32_t Apply(uint32_t pen, uint32_t destination) const {
    return (~pen & ~destination & bothClear) | (~pen & destination & destinationOnly) |
           (pen & ~destination & penOnly) | (pen & destination & bothSet);
  }
};

RasterOp RasterOpOf(int32_t mode) {
  const auto table = static_cast<uint32_t>(mode - 1);
  auto mask = [table](int bit) { return (table >> bit) & 1u ? 0xFFFFFFFFu : 0u; };
  return {mask(0), mask(1), mask(2), mask(3)};
}

// Pixels painted with a pen or brush under the device context's ROP2. With a
// damage log, every run painted is recorded in it (outlines); shapes that
// paint whole areas record their box instead and leave it null.
struct Paint {
  SoftBitmap image;
  uint32_t pixel;
  RasterOp op;
  uint32_t mask;
  DamageLog* damage;
};

Paint PaintOf(const SoftDC& dc, uint32_t colour) {
  const int32_t bitsPerPixel = dc.image.bitsPerPixel;
  return {dc.image, ColourToPixel(colour, bitsPerPixel), RasterOpOf(dc.rop2),
          ColourMask(bitsPerPixel), nullptr};
}

// Outlines are painted a row at a time downwards, each row's runs near the
// last row's: the lines a few rows below this run are asked for now.
constexpr int32_t PaintAheadRows = 6;

void PaintRun(void* context, int32_t y, int32_t left, int32_t right) {
  const auto& paint = *static_cast<const Paint*>(context);
  const SoftBitmap& image = paint.image;
  if (y < image.height - PaintAheadRows) {
    const int32_t bytesPerPixel = image.bitsPerPixel / 8;
    FetchLines(image.bits + static_cast<ptrdiff_t>(y + PaintAheadRows) * image.pitch + left * bytesPerPixel,
               int64_t{right - left} * bytesPerPixel);
  }
  for (int32_t x = left; x < right; ++x) {
    const uint32_t old = LoadPixel(paint.image, x, y);
    StorePixel(paint.image, x, y, paint.op.Apply(paint.pixel, old) & paint.mask);
  }
  if (paint.damage != nullptr) {
    paint.damage->Record(left, y, right, int64_t{y} + 1, paint.image.width, paint.image.height);
  }
}

// Records that drawing may change the box (left, top, right, bottom) of dc's
// image, where dc keeps a damage log.
void RecordDamage(const SoftDC& dc, int64_t left, int64_t top, int64_t right, int64_t bottom) {
  if (dc.damage != nullptr) dc.damage->Record(left, top, right, bottom, dc.image.width, dc.image.height);
}

// --------------------------------------------------------------- drawing

int32_t DrawShape(DeviceContext handle, const EllipseRaster& shape) {
  SoftDC* dc = AsDC(handle);
  if (dc == nullptr || shape.Refused()) return 0;
  const SoftBitmap& image = dc->image;
  if (dc->brush->paints) {
    RecordDamage(*dc, shape.Left(), shape.Top(), shape.Right(), shape.Bottom());
    Paint brush = PaintOf(*dc, dc->brush->colour);
    shape.VisitInterior(image.width, image.height, PaintRun, &brush);
  }
  Paint pen = PaintOf(*dc, dc->pen->colour);
  pen.damage = dc->damage;
  shape.VisitOutline(image.width, image.height, PaintRun, &pen);
  return 1;
}

// Pixel i of the n pixels from the start (the end point is left out) lies i
// steps along the longer axis and round(i m / n) along the shorter one, m
// being its length; halves round away from the start. Only the steps that
// fall inside the image along the longer axis are walked.
void DrawLine(const SoftDC& dc, int32_t fromX, int32_t fromY, int32_t toX, int32_t toY) {
  const int64_t dx = int64_t{toX} - fromX;
  const int64_t dy = int64_t{toY} - fromY;
  const bool alongX = std::llabs(dx) >= std::llabs(dy);
  const int64_t n = alongX ? std::llabs(dx) : std::llabs(dy);
  if (n == 0) return;
  const int64_t m = alongX ? std::llabs(dy) : std::llabs(dx);
  const int64_t majorStep = (alongX ? dx : dy) > 0 ? 1 : -1;
  const int64_t minorStep = (alongX ? dy : dx) >= 0 ? 1 : -1;
  const int64_t majorStart = alongX ? fromX : fromY;
  const int64_t minorStart = alongX ? fromY : fromX;
  const int64_t majorSize = alongX ? dc.image.width : dc.image.height;
  const int64_t minorSize = alongX ? dc.image.height : dc.image.width;
  const int64_t first =
      std::max<int64_t>(0, majorStep > 0 ? -majorStart : majorStart - (majorSize - 1));
  const int64_t last =
      std::min<int64_t>(n - 1, majorStep > 0 ? majorSize - 1 - majorStart : majorStart);
  if (first > last) return;
  RecordDamage(dc, std::min(fromX, toX), std::min(fromY, toY), int64_t{std::max(fromX, toX)} + 1,
               int64_t{std::max(fromY, toY)} + 1);
  const Int128 start = Int128{2} * first * m + n;
  int64_t minor = static_cast<int64_t>(start / (2 * n));
  int64_t remainder = static_cast<int64_t>(start % (2 * n));
  Paint pen = PaintOf(dc, dc.pen->colour);
  for (int64_t i = first; i <= last; ++i) {
    const int64_t major = majorStart + majorStep * i;
    const int64_t across = minorStart + minorStep * minor;
    if (across >= 0 && across < minorSize) {
      const auto x = static_cast<int32_t>(alongX ? major : across);
      const auto y = static_cast<int32_t>(alongX ? across : major);
      PaintRun(&pen, y, x, x + 1);
    }
    remainder += 2 * m;
    if (remainder >= 2 * n) {
      remainder -= 2 * n;
      ++minor;
    }
  }
}

// ------------------------------------------------------------------ blits

// One destination row or column and the source one it takes.
struct AxisStep {
  int32_t destination;
  int32_t source;
};

// A box edge pair (start, size) covers start .. start + size - 1, or for a
// negative size start + size .. start - 1 walked backwards; the blit pairs
// the destination's steps with the source's, nearest-neighbour, and keeps
// the pairs that fall inside both images.
std::vector<AxisStep> MapAxis(int32_t start, int32_t size, int32_t limit, int32_t sourceStart,
                              int32_t sourceSize, int32_t sourceLimit) {
  std::vector<AxisStep> steps;
  const int64_t count = std::llabs(int64_t{size});
  const int64_t sourceCount = std::llabs(int64_t{sourceSize});
  if (count == 0 || sourceCount == 0) return steps;
  auto position = [](int64_t origin, int32_t extent, int64_t i) {
    return extent > 0 ? origin + i : origin - 1 - i;
  };
  // The destination steps inside the image form one range of i.
  const int64_t edgeA = size > 0 ? -int64_t{start} : int64_t{start} - limit;
  const int64_t edgeB = size > 0 ? int64_t{limit} - 1 - start : int64_t{start} - 1;
  const int64_t first = std::max<int64_t>(0, edgeA);
  const int64_t last = std::min<int64_t>(count - 1, edgeB);
  for (int64_t i = first; i <= last; ++i) {
    const auto j = static_cast<int64_t>((Int128{2} * i + 1) * sourceCount / (2 * count));
    const int64_t from = position(sourceStart, sourceSize, j);
    if (from < 0 || from >= sourceLimit) continue;
    steps.push_back({static_cast<int32_t>(position(start, size, i)), static_cast<int32_t>(from)});
  }
  return steps;
}

// Records the destination box of a blit's row and column pairs (each list in
// order along its axis, forwards or backwards).
void RecordBlitDamage(const SoftDC& dc, const std::vector<AxisStep>& columns,
                      const std::vector<AxisStep>& rows) {
  if (columns.empty() || rows.empty()) return;
  const auto [left, right] = std::minmax(columns.front().destination, columns.back().destination);
  const auto [top, bottom] = std::minmax(rows.front().destination, rows.back().destination);
  RecordDamage(dc, left, top, int64_t{right} + 1, int64_t{bottom} + 1);
}

int32_t Blit(DeviceContext destination, int32_t x, int32_t y, int32_t width, int32_t height,
             DeviceContext source, int32_t sourceX, int32_t sourceY, int32_t sourceWidth,
             int32_t sourceHeight, uint32_t rop) {
  SoftDC* to = AsDC(destination);
  SoftDC* from = AsDC(source);
  if (to == nullptr || from == nullptr) return 0;
  if (rop != RopSrcCopy && rop != RopSrcInvert) return 0;
  const SoftBitmap target = to->image;
  SoftBitmap origin = from->image;
  try {
    const std::vector<AxisStep> columns =
        MapAxis(x, width, target.width, sourceX, sourceWidth, origin.width);
    const std::vector<AxisStep> rows =
        MapAxis(y, height, target.height, sourceY, sourceHeight, origin.height);
    if (columns.empty() || rows.empty()) return 1;
    RecordBlitDamage(*to, columns, rows);
    // Within one image, read from a copy so that no pixel is read after it
    // has been written.
    std::vector<uint8_t> copy;
    if (origin.bits == target.bits) {
      copy.assign(origin.bits, origin.bits + int64_t{origin.pitch} * origin.height);
      origin.bits = copy.data();
    }
    for (const AxisStep& row : rows) {
      for (const AxisStep& column : columns) {
        const uint32_t pixel = ConvertPixel(LoadPixel(origin, column.source, row.source),
                                            origin.bitsPerPixel, target.bitsPerPixel);
        const uint32_t result =
            rop == RopSrcCopy ? pixel
                              : pixel ^ LoadPixel(target, column.destination, row.destination);
        StorePixel(target, column.destination, row.destination, result);
      }
    }
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return 1;
}

uint32_t Scale(uint32_t value, uint32_t weight) { return (value * weight + 127u) / 255u; }

// AlphaBlend of one channel: constant alpha k gives s k + d (1 - k); a
// premultiplied source scales by k and then covers d by its own alpha.
uint32_t BlendChannel(uint32_t source, uint32_t destination, uint32_t sourceAlpha,
                      const BlendFunction& blend) {
  const uint32_t k = blend.sourceConstantAlpha;
  if (blend.alphaFormat != AlphaSourceAlpha) return Scale(source, k) + Scale(destination, 255u - k);
  const uint32_t cover = Scale(sourceAlpha, k);
  return std::min(255u, Scale(source, k) + Scale(destination, 255u - cover));
}

bool Overlap(int64_t a, int64_t aSize, int64_t b, int64_t bSize) {
  return a < b + bSize && b < a + aSize;
}

// ------------------------------------------------------------- flood fill

// Marks the 4-connected region around (x, y) of pixels that pass inside(),
// row by row with a stack of seeds.
template <typename Inside>
void MarkRegion(const SoftBitmap& image, int32_t x, int32_t y, const Inside& inside,
                std::vector<uint8_t>* region) {
  const int32_t width = image.width;
  auto marked = [&](int32_t px, int32_t py) {
    return (*region)[static_cast<size_t>(py) * width + px] != 0;
  };
  auto open = [&](int32_t px, int32_t py) { return !marked(px, py) && inside(px, py); };
  std::vector<AxisStep> seeds{{x, y}};  // destination = column, source = row
  while (!seeds.empty()) {
    const AxisStep seed = seeds.back();
    seeds.pop_back();
    const int32_t row = seed.source;
    if (!open(seed.destination, row)) continue;
    int32_t left = seed.destination;
    int32_t right = seed.destination;
    while (left > 0 && open(left - 1, row)) --left;
    while (right < width - 1 && open(right + 1, row)) ++right;
    for (int32_t px = left; px <= right; ++px) (*region)[static_cast<size_t>(row) * width + px] = 1;
    for (const int32_t next : {row - 1, row + 1}) {
      if (next < 0 || next >= image.height) continue;
      for (int32_t px = left; px <= right; ++px) {
        if (open(px, next) && (px == left || !open(px - 1, next))) seeds.push_back({px, next});
      }
    }
  }
}

}  // namespace

// ------------------------------------------------------ device contexts

void OpenSoftDC(SoftDC* dc, const SoftBitmap& image) {
  dc->type = ObjectDeviceContext;
  dc->pen = &stockBlackPen;
  dc->brush = &stockWhiteBrush;
  dc->font = &stockSystemFont;
  dc->bitmap = nullptr;
  dc->rop2 = Rop2CopyPen;
  dc->backgroundMode = BkOpaque;
  dc->backgroundColour = White;
  dc->textColour = 0;
  dc->textAlign = 0;
  dc->currentX = 0;
  dc->currentY = 0;
  dc->compatibleBitsPerPixel = image.bitsPerPixel;
  dc->image = image;
  dc->damage = nullptr;
}

void CloseSoftDC(SoftDC* dc) {
  Drop(dc->pen);
  Drop(dc->brush);
  Drop(dc->font);
  Drop(dc->bitmap);
  dc->pen = dc->brush = dc->font = dc->bitmap = nullptr;
  dc->type = 0;
}

DeviceContext CreateCompatibleDC(DeviceContext handle) {
  const SoftDC* base = AsDC(handle);
  if (handle != nullptr && base == nullptr) return nullptr;
  auto* dc = new (std::nothrow) SoftDC;
  if (dc == nullptr) return nullptr;
  const int32_t bitsPerPixel = base != nullptr ? base->compatibleBitsPerPixel : 32;
  SoftObject* bitmap = bitsPerPixel == 16 ? &defaultBitmap16 : &defaultBitmap32;
  OpenSoftDC(dc, bitmap->image);
  dc->type = ObjectMemoryContext;
  dc->bitmap = bitmap;
  dc->compatibleBitsPerPixel = bitsPerPixel;
  return dc;
}

int32_t DeleteDC(DeviceContext handle) {
  SoftDC* dc = AsDC(handle);
  if (dc == nullptr || dc->type != ObjectMemoryContext) return 0;
  CloseSoftDC(dc);
  delete dc;
  return 1;
}

GdiObject CreateCompatibleBitmap(DeviceContext handle, int32_t width, int32_t height) {
  const SoftDC* dc = AsDC(handle);
  if (dc == nullptr) return nullptr;
  auto* bitmap = new (std::nothrow) SoftObject{ObjectBitmap, false, false, 0, 0, false, {}};
  if (bitmap == nullptr) return nullptr;
  if (!AllocateSoftBitmap(&bitmap->image, width, height, dc->compatibleBitsPerPixel, 0)) {
    delete bitmap;
    return nullptr;
  }
  return bitmap;
}

// ---------------------------------------------------------------- objects

GdiObject CreatePen(int32_t style, int32_t /*width*/, uint32_t colour) {
  if (style != PenSolid) return nullptr;
  return NewPenOrBrush(ObjectPen, colour);
}

GdiObject CreateSolidBrush(uint32_t colour) {
  return NewPenOrBrush(ObjectBrush, colour);
}

GdiObject GetStockObject(int32_t which) {
  switch (which) {
    case StockWhiteBrush:
      return &stockWhiteBrush;
    case StockBlackBrush:
      return &stockBlackBrush;
    case StockNullBrush:
      return &stockNullBrush;
    case StockBlackPen:
      return &stockBlackPen;
    case StockSystemFont:
      return &stockSystemFont;
    default:
      return nullptr;
  }
}

GdiObject SelectObject(DeviceContext handle, GdiObject objectHandle) {
  SoftDC* dc = AsDC(handle);
  SoftObject* object = AsObject(objectHandle);
  if (dc == nullptr || object == nullptr || object->deletePending) return nullptr;
  SoftObject** slot = nullptr;
  switch (object->type) {
    case ObjectPen:
      slot = &dc->pen;
      break;
    case ObjectBrush:
      slot = &dc->brush;
      break;
    case ObjectFont:
      slot = &dc->font;
      break;
    default:  // a bitmap: only into a memory context, and into one at a time
      if (dc->type != ObjectMemoryContext) return nullptr;
      if (object != dc->bitmap && !object->stock && object->selected > 0) return nullptr;
      slot = &dc->bitmap;
      dc->image = object->image;
      break;
  }
  SoftObject* previous = *slot;
  if (previous == object) return previous;
  Retain(object);
  *slot = object;
  Drop(previous);
  return previous;
}

int32_t DeleteObject(GdiObject handle) {
  SoftObject* object = AsObject(handle);
  if (object == nullptr) return 0;
  if (object->stock) return 1;
  if (object->selected > 0) {
    if (object->type == ObjectBitmap) return 0;
    object->deletePending = true;
    return 1;
  }
  Destroy(object);
  return 1;
}

uint32_t GetObjectType(GdiObject handle) {
  if (handle == nullptr) return 0;
  const uint32_t type = HandleType(handle);
  switch (type) {
    case ObjectPen:
    case ObjectBrush:
    case ObjectFont:
    case ObjectBitmap:
    case ObjectDeviceContext:
    case ObjectMemoryContext:
      return type;
    default:
      return 0;
  }
}

// Every image of the software layer is a bitmap.
int32_t DestroyIcon(GdiObject /*icon*/) { return 0; }

GdiObject CreateRotatedFont(GdiObject /*font*/, int32_t /*angleTenths*/) { return nullptr; }

// ------------------------------------------------------------------ state

int32_t SetROP2(DeviceContext handle, int32_t mode) {
  SoftDC* dc = AsDC(handle);
  if (dc == nullptr || mode < 1 || mode > 16) return 0;
  return std::exchange(dc->rop2, mode);
}

int32_t SetBkMode(DeviceContext handle, int32_t mode) {
  SoftDC* dc = AsDC(handle);
  if (dc == nullptr || (mode != BkTransparent && mode != BkOpaque)) return 0;
  return std::exchange(dc->backgroundMode, mode);
}

uint32_t SetBkColor(DeviceContext handle, uint32_t colour) {
  SoftDC* dc = AsDC(handle);
  if (dc == nullptr) return InvalidColour;
  return std::exchange(dc->backgroundColour, colour);
}

uint32_t SetTextColor(DeviceContext handle, uint32_t colour) {
  SoftDC* dc = AsDC(handle);
  if (dc == nullptr) return InvalidColour;
  return std::exchange(dc->textColour, colour);
}

uint32_t SetTextAlign(DeviceContext handle, uint32_t align) {
  SoftDC* dc = AsDC(handle);
  if (dc == nullptr) return GdiError;
  return std::exchange(dc->textAlign, align);
}

// ----------------------------------------------------------------- shapes

int32_t FillRect(DeviceContext handle, int32_t left, int32_t top, int32_t right, int32_t bottom,
                 GdiObject brushHandle) {
  SoftDC* dc = AsDC(handle);
  SoftObject* brush = AsObject(brushHandle);
  if (dc == nullptr || brush == nullptr || brush->type != ObjectBrush) return 0;
  if (!brush->paints) return 1;
  // The brush is copied whatever the device context's raster operation.
  const int32_t bitsPerPixel = dc->image.bitsPerPixel;
  Paint paint{dc->image, ColourToPixel(brush->colour, bitsPerPixel), RasterOpOf(Rop2CopyPen),
              ColourMask(bitsPerPixel), nullptr};
  RecordDamage(*dc, left, top, right, bottom);
  const int32_t x0 = std::max(left, 0), x1 = std::min(right, dc->image.width);
  for (int32_t y = std::max(top, 0); y < std::min(bottom, dc->image.height); ++y) {
    if (x0 < x1) PaintRun(&paint, y, x0, x1);
  }
  return 1;
}

int32_t Ellipse(DeviceContext dc, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  return DrawShape(dc, EllipseRaster(left, top, right, bottom));
}

int32_t Rectangle(DeviceContext dc, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  return DrawShape(dc, EllipseRaster(left, top, right, bottom, 1, 1));
}

int32_t RoundRect(DeviceContext dc, int32_t left, int32_t top, int32_t right, int32_t bottom,
                  int32_t ellipseWidth, int32_t ellipseHeight) {
  return DrawShape(dc, EllipseRaster(left, top, right, bottom, ellipseWidth, ellipseHeight));
}

int32_t MoveToEx(DeviceContext handle, int32_t x, int32_t y) {
  SoftDC* dc = AsDC(handle);
  if (dc == nullptr) return 0;
  dc->currentX = x;
  dc->currentY = y;
  return 1;
}

int32_t LineTo(DeviceContext handle, int32_t x, int32_t y) {
  SoftDC* dc = AsDC(handle);
  if (dc == nullptr) return 0;
  DrawLine(*dc, dc->currentX, dc->currentY, x, y);
  dc->currentX = x;
  dc->currentY = y;
  return 1;
}

int32_t SetPixelV(DeviceContext handle, int32_t x, int32_t y, uint32_t colour) {
  const SoftDC* dc = AsDC(handle);
  if (dc == nullptr || !Contains(dc->image, x, y)) return 0;
  StorePixel(dc->image, x, y, ColourToPixel(colour, dc->image.bitsPerPixel));
  RecordDamage(*dc, x, y, int64_t{x} + 1, int64_t{y} + 1);
  return 1;
}

uint32_t GetPixel(DeviceContext handle, int32_t x, int32_t y) {
  const SoftDC* dc = AsDC(handle);
  if (dc == nullptr || !Contains(dc->image, x, y)) return InvalidColour;
  const Channels c = Unpack(LoadPixel(dc->image, x, y), dc->image.bitsPerPixel);
  return c.red | (c.green << 8) | (c.blue << 16);
}

int32_t ExtFloodFill(DeviceContext handle, int32_t x, int32_t y, uint32_t colour, uint32_t type) {
  const SoftDC* dc = AsDC(handle);
  if (dc == nullptr || !Contains(dc->image, x, y)) return 0;
  if (type != FloodFillSurface && type != FloodFillBorder) return 0;
  const SoftBitmap& image = dc->image;
  const uint32_t mask = ColourMask(image.bitsPerPixel);
  const uint32_t key = ColourToPixel(colour, image.bitsPerPixel);
  const bool surface = type == FloodFillSurface;
  auto inside = [&](int32_t px, int32_t py) {
    return ((LoadPixel(image, px, py) & mask) == key) == surface;
  };
  if (!inside(x, y)) return 0;
  if (!dc->brush->paints) return 1;
  RecordDamage(*dc, 0, 0, image.width, image.height);
  try {
    // The whole region is found before any pixel is painted, so the brush
    // may have the very colour being filled.
    std::vector<uint8_t> region(static_cast<size_t>(image.width) * image.height);
    MarkRegion(image, x, y, inside, &region);
    Paint brush = PaintOf(*dc, dc->brush->colour);
    for (int32_t py = 0; py < image.height; ++py) {
      const uint8_t* row = region.data() + static_cast<size_t>(py) * image.width;
      for (int32_t px = 0; px < image.width; ++px) {
        if (row[px]) PaintRun(&brush, py, px, px + 1);
      }
    }
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return 1;
}

// ------------------------------------------------------------------- text

int32_t TextOutA(DeviceContext /*dc*/, int32_t /*x*/, int32_t /*y*/, const char* /*text*/,
                 int32_t /*length*/) {
  return 0;
}

int32_t GetTextExtentPoint32A(DeviceContext /*dc*/, const char* /*text*/, int32_t /*length*/,
                              TextSize* size) {
  if (size != nullptr) *size = {0, 0};
  return 0;
}

// ------------------------------------------------------------------ blits

int32_t BitBlt(DeviceContext dest, int32_t x, int32_t y, int32_t width, int32_t height,
               DeviceContext source, int32_t sourceX, int32_t sourceY, uint32_t rop) {
  if (width <= 0 || height <= 0) return AsDC(dest) != nullptr && AsDC(source) != nullptr;
  return Blit(dest, x, y, width, height, source, sourceX, sourceY, width, height, rop);
}

int32_t StretchBlt(DeviceContext dest, int32_t x, int32_t y, int32_t width, int32_t height,
                   DeviceContext source, int32_t sourceX, int32_t sourceY, int32_t sourceWidth,
                   int32_t sourceHeight, uint32_t rop) {
  return Blit(dest, x, y, width, height, source, sourceX, sourceY, sourceWidth, sourceHeight, rop);
}

int32_t AlphaBlend(DeviceContext dest, int32_t x, int32_t y, int32_t width, int32_t height,
                   DeviceContext source, int32_t sourceX, int32_t sourceY, int32_t sourceWidth,
                   int32_t sourceHeight, BlendFunction blend) {
  SoftDC* to = AsDC(dest);
  SoftDC* from = AsDC(source);
  if (to == nullptr || from == nullptr) return 0;
  const SoftBitmap target = to->image;
  const SoftBitmap origin = from->image;
  // As documented for GDI: no negative sizes, the source rectangle inside
  // the source image, no overlap within one image.
  if (width < 0 || height < 0 || sourceWidth < 0 || sourceHeight < 0) return 0;
  if (sourceX < 0 || sourceY < 0 || int64_t{sourceX} + sourceWidth > origin.width ||
      int64_t{sourceY} + sourceHeight > origin.height) {
    return 0;
  }
  if (blend.blendOp != AlphaSourceOver || blend.blendFlags != 0) return 0;
  if (blend.alphaFormat != AlphaSourceOver && blend.alphaFormat != AlphaSourceAlpha) return 0;
  if (blend.alphaFormat == AlphaSourceAlpha && origin.bitsPerPixel != 32) return 0;
  if (origin.bits == target.bits && Overlap(x, width, sourceX, sourceWidth) &&
      Overlap(y, height, sourceY, sourceHeight)) {
    return 0;
  }
  try {
    const std::vector<AxisStep> columns =
        MapAxis(x, width, target.width, sourceX, sourceWidth, origin.width);
    const std::vector<AxisStep> rows =
        MapAxis(y, height, target.height, sourceY, sourceHeight, origin.height);
    RecordBlitDamage(*to, columns, rows);
    for (const AxisStep& row : rows) {
      for (const AxisStep& column : columns) {
        const Channels s =
            Unpack(LoadPixel(origin, column.source, row.source), origin.bitsPerPixel);
        const Channels d =
            Unpack(LoadPixel(target, column.destination, row.destination), target.bitsPerPixel);
        const Channels result = {BlendChannel(s.alpha, d.alpha, s.alpha, blend),
                                 BlendChannel(s.red, d.red, s.alpha, blend),
                                 BlendChannel(s.green, d.green, s.alpha, blend),
                                 BlendChannel(s.blue, d.blue, s.alpha, blend)};
        StorePixel(target, column.destination, row.destination, Pack(result, target.bitsPerPixel));
      }
    }
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return 1;
}

// Nothing is loaded on demand here.
void UnloadAlphaBlendLibrary() {}

}  // namespace vivuvev
