// The drawing operations of the image output kind: a pass drawing through the
// 2D interface onto a target's device context.
#include <cstddef>
#include <cstring>

#include "canvas/drawing_images.h"
#include "canvas/drawing_pass.h"
#include "canvas/gdi.h"

namespace vivuvev {

namespace {

int32_t Length(const char* text) { return text ? static_cast<int32_t>(std::strlen(text)) : 0; }

void DeleteIfMade(GdiObject object) {
  if (object != nullptr) DeleteObject(object);
}

uint32_t ImageRop(const DrawingPass* pass) {
  return (pass->mode & DrawModeInvert) ? RopSrcInvert : RopSrcCopy;
}

// Runs draw with a memory device context that holds image's bitmap.
template <typename Draw>
void WithImageDC(DrawingPass* pass, const DrawingImage& image, Draw draw) {
  DeviceContext source = CreateCompatibleDC(pass->dc);
  if (source == nullptr) return;
  GdiObject previous = SelectObject(source, image.handle);
  draw(source);
  SelectObject(source, previous);
  DeleteDC(source);
}

void SetBackgroundColour(DrawingPass* pass, uint32_t colour) {
  EnsureDC(pass);
  SetBkColor(pass->dc, colour);
}

void BoxOp(DrawingPass* pass, int32_t x, int32_t y, int32_t width, int32_t height) {
  EnsureDC(pass);
  if (width == 1 && height == 1) {
    SetPixelV(pass->dc, x, y, pass->lastAppliedColour);
  } else {
    Rectangle(pass->dc, x, y, x + width, y + height);
  }
}

void RoundBoxOp(DrawingPass* pass, int32_t x, int32_t y, int32_t width, int32_t height, int32_t rx,
                int32_t ry) {
  EnsureDC(pass);
  RoundRect(pass->dc, x, y, x + width, y + height, 2 * rx, 2 * ry);
}

void CircleOp(DrawingPass* pass, int32_t x, int32_t y, int32_t r) {
  EnsureDC(pass);
  if (r == 1) {
    Rectangle(pass->dc, x, y, x + 1, y + 1);
  } else {
    Ellipse(pass->dc, x - r, y - r, x + r + 1, y + r + 1);
  }
}

int32_t SelectFontOp(DrawingPass* pass, GdiObject font) {
  EnsureDC(pass);
  pass->currentFont = font != nullptr ? font : GetStockObject(StockSystemFont);
  SelectObject(pass->dc, pass->currentFont);
  TextSize size{};
  GetTextExtentPoint32A(pass->dc, "W", 1, &size);
  return size.cy;
}

uint8_t* RawBufferAddress(DrawingPass* pass) {
  if (pass->outputKind != OutputKindImage) return nullptr;
  if (pass->dcState == 1) {
    pass->rawBuffer = pass->AcquireBuffer(pass, &pass->pitch);
    pass->dcState = -1;
  }
  return pass->rawBuffer;
}

int32_t RawBufferPitch(DrawingPass* pass) { return pass->pitch; }
uint32_t RawBufferFormat(DrawingPass* pass) { return pass->pixelFormat; }

void ApplyColour(DrawingPass* pass, uint32_t colour);

void ApplyMode(DrawingPass* pass, uint32_t mode) {
  EnsureDC(pass);
  pass->mode = mode;
  SetROP2(pass->dc, (mode & DrawModeInvert) ? Rop2Not : Rop2CopyPen);
  SelectObject(pass->dc,
               (mode & DrawModeOutlined) ? GetStockObject(StockNullBrush) : pass->currentBrush);
  SetBkMode(pass->dc, (mode & DrawModeTransparent) ? BkTransparent : BkOpaque);
  // The last applied colour, not the front colour: the front colour takes
  // effect at the next shape.
  ApplyColour(pass, pass->lastAppliedColour);
}

void DrawImageOp(DrawingPass* pass, int32_t number, int32_t x, int32_t y) {
  const DrawingImage* image = FindDrawingImage(number);
  if (image == nullptr) return;
  EnsureDC(pass);
  WithImageDC(pass, *image, [&](DeviceContext source) {
    BitBlt(pass->dc, x, y, image->width, image->height, source, 0, 0, ImageRop(pass));
  });
}

void DrawImageSizedOp(DrawingPass* pass, int32_t number, int32_t x, int32_t y, int32_t width,
                      int32_t height) {
  const DrawingImage* image = FindDrawingImage(number);
  if (image == nullptr) return;
  EnsureDC(pass);
  WithImageDC(pass, *image, [&](DeviceContext source) {
    StretchBlt(pass->dc, x, y, width, height, source, 0, 0, image->width, image->height,
               ImageRop(pass));
  });
}

void DrawImageBlendedOp(DrawingPass* pass, int32_t number, int32_t x, int32_t y,
                        int32_t intensity) {
  const DrawingImage* image = FindDrawingImage(number);
  if (image == nullptr) return;
  EnsureDC(pass);
  const BlendFunction blend{AlphaSourceOver, 0, static_cast<uint8_t>(intensity & 0xFF),
                            image->bitsPerPixel == 32 ? AlphaSourceAlpha : uint8_t{0}};
  WithImageDC(pass, *image, [&](DeviceContext source) {
    AlphaBlend(pass->dc, x, y, image->width, image->height, source, 0, 0, image->width,
               image->height, blend);
  });
}

void TextOp(DrawingPass* pass, int32_t x, int32_t y, const char* text) {
  EnsureDC(pass);
  // The device context aligns text at its current position.
  MoveToEx(pass->dc, x, y);
  TextOutA(pass->dc, 0, 0, text ? text : "", Length(text));
}

void RotatedTextOp(DrawingPass* pass, int32_t x, int32_t y, const char* text, float angle) {
  EnsureDC(pass);
  if (pass->rotatedFont == nullptr || pass->rotatedFontAngle != angle) {
    DeleteIfMade(pass->rotatedFont);
    pass->rotatedFont = CreateRotatedFont(pass->currentFont, static_cast<int32_t>(angle * 10.0f));
    pass->rotatedFontAngle = angle;
  }
  if (pass->rotatedFont == nullptr) return;
  SelectObject(pass->dc, pass->rotatedFont);
  MoveToEx(pass->dc, x, y);
  TextOutA(pass->dc, 0, 0, text ? text : "", Length(text));
  SelectObject(pass->dc, pass->currentFont);
}

void EllipseOp(DrawingPass* pass, int32_t x, int32_t y, int32_t rx, int32_t ry) {
  EnsureDC(pass);
  Ellipse(pass->dc, x - rx, y - ry, x + rx + 1, y + ry + 1);
}

void FloodFillOp(DrawingPass* pass, int32_t x, int32_t y) {
  EnsureDC(pass);
  const uint32_t colour = GetPixel(pass->dc, x, y);
  if (colour == InvalidColour) return;
  ExtFloodFill(pass->dc, x, y, colour, FloodFillSurface);
}

void ApplyColour(DrawingPass* pass, uint32_t colour) {
  EnsureDC(pass);
  if ((pass->mode & DrawModeOutlined) == 0) {
    if (GdiObject brush = CreateSolidBrush(colour)) {
      SelectObject(pass->dc, brush);
      DeleteIfMade(pass->currentBrush);
      pass->currentBrush = brush;
    }
  }
  if (GdiObject pen = CreatePen(PenSolid, 0, colour)) {
    SelectObject(pass->dc, pen);
    DeleteIfMade(pass->currentPen);
    pass->currentPen = pen;
  }
  SetTextColor(pass->dc, colour);
}

int32_t GrabImageOp(DrawingPass* pass, int32_t number, int32_t x, int32_t y, int32_t width,
                    int32_t height) {
  if (width <= 0 || height <= 0 || width > 32767 || height > 32767) return 0;
  EnsureDC(pass);
  GdiObject bitmap = CreateCompatibleBitmap(pass->dc, width, height);
  if (bitmap == nullptr) return 0;
  const DrawingImage image{bitmap, static_cast<int16_t>(width), static_cast<int16_t>(height),
                           static_cast<int8_t>(pass->bitsPerPixel)};
  WithImageDC(pass, image, [&](DeviceContext copy) {
    BitBlt(copy, 0, 0, width, height, pass->dc, x, y, RopSrcCopy);
  });
  if (!StoreDrawingImage(number, image)) {
    DeleteObject(bitmap);
    return 0;
  }
  return 1;
}

void LineOp(DrawingPass* pass, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  EnsureDC(pass);
  MoveToEx(pass->dc, x1, y1);
  LineTo(pass->dc, x2, y2);
  // The device leaves the end point out; lines of this kind include it.
  SetPixelV(pass->dc, x2, y2, pass->lastAppliedColour);
}

void PlotOp(DrawingPass* pass, int32_t x, int32_t y) {
  EnsureDC(pass);
  SetPixelV(pass->dc, x, y, pass->lastAppliedColour);
}

// Writes colour at (x, y) of a raw buffer in one of the four known formats.
bool PlotRaw(DrawingPass* pass, int32_t x, int32_t y, uint32_t colour) {
  uint8_t* buffer = RawBufferAddress(pass);
  if (buffer == nullptr) return false;
  if (x < 0 || y < 0 || x >= pass->targetWidth || y >= pass->targetHeight) return true;
  uint8_t* row = buffer + static_cast<ptrdiff_t>(y) * pass->pitch;
  const uint32_t r = colour & 0xFFu, g = (colour >> 8) & 0xFFu, b = (colour >> 16) & 0xFFu;
  switch (pass->pixelFormat) {
    case RawFormat32:
      reinterpret_cast<uint32_t*>(row)[x] = 0xFF000000u | (r << 16) | (g << 8) | b;
      return true;
    case RawFormat555:
      reinterpret_cast<uint16_t*>(row)[x] =
          static_cast<uint16_t>(0x8000u | ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
      return true;
    case RawFormat565:
      reinterpret_cast<uint16_t*>(row)[x] =
          static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
      return true;
    case RawFormat8:
      row[x] = static_cast<uint8_t>(r);
      return true;
    default:
      return false;
  }
}

void PlotColourOp(DrawingPass* pass, int32_t x, int32_t y, uint32_t colour) {
  if (PlotRaw(pass, x, y, colour)) return;
  EnsureDC(pass);
  SetPixelV(pass->dc, x, y, colour);
}

uint32_t ReadPixelOp(DrawingPass* pass, int32_t x, int32_t y) {
  EnsureDC(pass);
  return GetPixel(pass->dc, x, y);
}

DeviceContext StartPass(DrawingPass* pass) {
  if (pass->dc == nullptr) return nullptr;
  pass->initialBrush = CreateSolidBrush(0x000000);
  pass->initialPen = CreatePen(PenSolid, 0, 0x000000);
  pass->mode = 0;
  pass->dcState = 1;
  SetTextAlign(pass->dc, TextAlignUpdateCp);
  // Selecting objects of the pass's own lets it put back the device
  // context's brush and pen at the end.
  pass->savedBrush = SelectObject(pass->dc, pass->initialBrush);
  pass->savedPen = SelectObject(pass->dc, pass->initialPen);
  pass->currentFont = GetStockObject(StockSystemFont);
  pass->currentBrush = CreateSolidBrush(0x000000);
  return pass->dc;
}

void StopPass(DrawingPass* pass) {
  if (pass->dc != nullptr) {
    SelectObject(pass->dc, pass->savedBrush);
    SelectObject(pass->dc, pass->savedPen);
  }
  DeleteIfMade(pass->currentBrush);
  DeleteIfMade(pass->currentPen);
  DeleteIfMade(pass->rotatedFont);
  DeleteIfMade(pass->initialBrush);
  DeleteIfMade(pass->initialPen);
  pass->currentBrush = pass->currentPen = pass->rotatedFont = nullptr;
  pass->initialBrush = pass->initialPen = nullptr;
}

int32_t TextHeightOp(DrawingPass* pass, const char* text) {
  EnsureDC(pass);
  TextSize size{};
  GetTextExtentPoint32A(pass->dc, text ? text : "", Length(text), &size);
  return size.cy;
}

int32_t TextWidthOp(DrawingPass* pass, const char* text) {
  EnsureDC(pass);
  TextSize size{};
  GetTextExtentPoint32A(pass->dc, text ? text : "", Length(text), &size);
  return size.cx + pass->fontExtraWidth;
}

}  // namespace

const DrawingOps ImageDrawingOps = {
    SetBackgroundColour, BoxOp,          RoundBoxOp,         CircleOp,     SelectFontOp,
    RawBufferAddress,    RawBufferPitch, RawBufferFormat,    ApplyMode,    DrawImageOp,
    DrawImageSizedOp,    DrawImageBlendedOp, TextOp,         RotatedTextOp, EllipseOp,
    FloodFillOp,         ApplyColour,    GrabImageOp,        LineOp,       PlotOp,
    PlotColourOp,        ReadPixelOp,    StartPass,          StopPass,     TextHeightOp,
    TextWidthOp,
};

}  // namespace vivuvev
