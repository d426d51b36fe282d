// The 2D interface on Windows: every function forwards to GDI (gdi32) or, for
// FillRect, user32. AlphaBlend lives in msimg32.dll, which is loaded the first
// time it is needed and unloaded by UnloadAlphaBlendLibrary.
#define NOMINMAX
#include <windows.h>

#include "canvas/gdi.h"

namespace vivuvev {

static_assert(PenSolid == PS_SOLID && Rop2Not == R2_NOT && Rop2CopyPen == R2_COPYPEN, "pens");
static_assert(BkTransparent == TRANSPARENT && BkOpaque == OPAQUE, "background modes");
static_assert(StockBlackBrush == BLACK_BRUSH && StockNullBrush == NULL_BRUSH &&
                  StockSystemFont == SYSTEM_FONT,
              "stock objects");
static_assert(TextAlignUpdateCp == TA_UPDATECP && FloodFillSurface == FLOODFILLSURFACE,
              "text and fill");
static_assert(RopSrcCopy == SRCCOPY && RopSrcInvert == SRCINVERT, "raster operations");
static_assert(ObjectPen == OBJ_PEN && ObjectBrush == OBJ_BRUSH && ObjectFont == OBJ_FONT &&
                  ObjectBitmap == OBJ_BITMAP,
              "object types");
static_assert(InvalidColour == CLR_INVALID, "invalid colour");
static_assert(AlphaSourceOver == AC_SRC_OVER && AlphaSourceAlpha == AC_SRC_ALPHA, "alpha format");

namespace {

using AlphaBlendFunction = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int,
                                         BLENDFUNCTION);

HMODULE alphaBlendLibrary = nullptr;
AlphaBlendFunction alphaBlend = nullptr;

HDC Dc(DeviceContext dc) { return static_cast<HDC>(dc); }

}  // namespace

GdiObject CreatePen(int32_t style, int32_t width, uint32_t colour) {
  return ::CreatePen(style, width, colour);
}
GdiObject CreateSolidBrush(uint32_t colour) { return ::CreateSolidBrush(colour); }
GdiObject GetStockObject(int32_t which) { return ::GetStockObject(which); }
GdiObject SelectObject(DeviceContext dc, GdiObject object) {
  return ::SelectObject(Dc(dc), static_cast<HGDIOBJ>(object));
}
int32_t DeleteObject(GdiObject object) { return ::DeleteObject(static_cast<HGDIOBJ>(object)); }
uint32_t GetObjectType(GdiObject object) { return ::GetObjectType(static_cast<HGDIOBJ>(object)); }
int32_t DestroyIcon(GdiObject icon) { return ::DestroyIcon(static_cast<HICON>(icon)); }

GdiObject CreateRotatedFont(GdiObject font, int32_t angleTenths) {
  LOGFONTA description{};
  if (::GetObjectA(static_cast<HGDIOBJ>(font), sizeof description, &description) == 0) {
    return nullptr;
  }
  description.lfEscapement = angleTenths;
  description.lfOrientation = angleTenths;
  return ::CreateFontIndirectA(&description);
}

int32_t SetROP2(DeviceContext dc, int32_t mode) { return ::SetROP2(Dc(dc), mode); }
int32_t SetBkMode(DeviceContext dc, int32_t mode) { return ::SetBkMode(Dc(dc), mode); }
uint32_t SetBkColor(DeviceContext dc, uint32_t colour) { return ::SetBkColor(Dc(dc), colour); }
uint32_t SetTextColor(DeviceContext dc, uint32_t colour) { return ::SetTextColor(Dc(dc), colour); }
uint32_t SetTextAlign(DeviceContext dc, uint32_t align) { return ::SetTextAlign(Dc(dc), align); }

int32_t FillRect(DeviceContext dc, int32_t left, int32_t top, int32_t right, int32_t bottom,
                 GdiObject brush) {
  RECT box;
  ::SetRect(&box, left, top, right, bottom);
  return ::FillRect(Dc(dc), &box, static_cast<HBRUSH>(brush));
}
int32_t Ellipse(DeviceContext dc, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  return ::Ellipse(Dc(dc), left, top, right, bottom);
}
int32_t Rectangle(DeviceContext dc, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  return ::Rectangle(Dc(dc), left, top, right, bottom);
}
int32_t RoundRect(DeviceContext dc, int32_t left, int32_t top, int32_t right, int32_t bottom,
                  int32_t ellipseWidth, int32_t ellipseHeight) {
  return ::RoundRect(Dc(dc), left, top, right, bottom, ellipseWidth, ellipseHeight);
}
int32_t MoveToEx(DeviceContext dc, int32_t x, int32_t y) {
  return ::MoveToEx(Dc(dc), x, y, nullptr);
}
int32_t LineTo(DeviceContext dc, int32_t x, int32_t y) { return ::LineTo(Dc(dc), x, y); }
int32_t SetPixelV(DeviceContext dc, int32_t x, int32_t y, uint32_t colour) {
  return ::SetPixelV(Dc(dc), x, y, colour);
}
uint32_t GetPixel(DeviceContext dc, int32_t x, int32_t y) { return ::GetPixel(Dc(dc), x, y); }
int32_t ExtFloodFill(DeviceContext dc, int32_t x, int32_t y, uint32_t colour, uint32_t type) {
  return ::ExtFloodFill(Dc(dc), x, y, colour, type);
}

int32_t TextOutA(DeviceContext dc, int32_t x, int32_t y, const char* text, int32_t length) {
  return ::TextOutA(Dc(dc), x, y, text, length);
}
int32_t GetTextExtentPoint32A(DeviceContext dc, const char* text, int32_t length, TextSize* size) {
  SIZE extent{};
  const BOOL ok = ::GetTextExtentPoint32A(Dc(dc), text, length, &extent);
  size->cx = extent.cx;
  size->cy = extent.cy;
  return ok;
}

DeviceContext CreateCompatibleDC(DeviceContext dc) { return ::CreateCompatibleDC(Dc(dc)); }
int32_t DeleteDC(DeviceContext dc) { return ::DeleteDC(Dc(dc)); }
GdiObject CreateCompatibleBitmap(DeviceContext dc, int32_t width, int32_t height) {
  return ::CreateCompatibleBitmap(Dc(dc), width, height);
}
int32_t BitBlt(DeviceContext dest, int32_t x, int32_t y, int32_t width, int32_t height,
               DeviceContext source, int32_t sourceX, int32_t sourceY, uint32_t rop) {
  return ::BitBlt(Dc(dest), x, y, width, height, Dc(source), sourceX, sourceY, rop);
}
int32_t StretchBlt(DeviceContext dest, int32_t x, int32_t y, int32_t width, int32_t height,
                   DeviceContext source, int32_t sourceX, int32_t sourceY, int32_t sourceWidth,
                   int32_t sourceHeight, uint32_t rop) {
  return ::StretchBlt(Dc(dest), x, y, width, height, Dc(source), sourceX, sourceY, sourceWidth,
                      sourceHeight, rop);
}

int32_t AlphaBlend(DeviceContext dest, int32_t x, int32_t y, int32_t width, int32_t height,
                   DeviceContext source, int32_t sourceX, int32_t sourceY, int32_t sourceWidth,
                   int32_t sourceHeight, BlendFunction blend) {
  if (alphaBlend == nullptr) {
    if (alphaBlendLibrary == nullptr) alphaBlendLibrary = ::LoadLibraryA("msimg32.dll");
    if (alphaBlendLibrary == nullptr) return 0;
    alphaBlend = reinterpret_cast<AlphaBlendFunction>(
        reinterpret_cast<void*>(::GetProcAddress(alphaBlendLibrary, "AlphaBlend")));
    if (alphaBlend == nullptr) return 0;
  }
  const BLENDFUNCTION function{blend.blendOp, blend.blendFlags, blend.sourceConstantAlpha,
                               blend.alphaFormat};
  return alphaBlend(Dc(dest), x, y, width, height, Dc(source), sourceX, sourceY, sourceWidth,
                    sourceHeight, function);
}

void UnloadAlphaBlendLibrary() {
  if (alphaBlendLibrary != nullptr) ::FreeLibrary(alphaBlendLibrary);
  alphaBlendLibrary = nullptr;
  alphaBlend = nullptr;
}

}  // namespace vivuvev
