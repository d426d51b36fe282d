// The 2D interface the drawing pass draws through. The functions carry the
// names of the Windows GDI calls they stand for.
//
// Each platform provides all of these: gdi_win32.cpp forwards to GDI itself,
// gdi_software.cpp draws into memory images (the working copies of canvases
// and bitmaps of its own). Callers rely on GDI's documented behaviour:
// shapes are aliased and clipped to the image, boxes exclude their right and
// bottom edges, SelectObject returns the object it replaces, a null result
// means failure. The software layer has no fonts: its text calls draw
// nothing and report failure.
#pragma once

#include <cstdint>

#include "base/handles.h"

namespace vivuvev {

// GDI constants, under names of their own so that they never meet the
// platform's macros; gdi_win32.cpp checks them against the real values.
constexpr int32_t PenSolid = 0;          // PS_SOLID
constexpr int32_t Rop2Not = 6;           // R2_NOT
constexpr int32_t Rop2CopyPen = 13;      // R2_COPYPEN
constexpr int32_t BkTransparent = 1;     // TRANSPARENT
constexpr int32_t BkOpaque = 2;          // OPAQUE
constexpr int32_t StockBlackBrush = 4;   // BLACK_BRUSH
constexpr int32_t StockNullBrush = 5;    // NULL_BRUSH
constexpr int32_t StockSystemFont = 13;  // SYSTEM_FONT
constexpr uint32_t TextAlignUpdateCp = 1;  // TA_UPDATECP
constexpr uint32_t FloodFillSurface = 1;   // FLOODFILLSURFACE
constexpr uint32_t RopSrcCopy = 0x00CC0020u;    // SRCCOPY
constexpr uint32_t RopSrcInvert = 0x00660046u;  // SRCINVERT
constexpr uint32_t ObjectPen = 1;     // OBJ_PEN
constexpr uint32_t ObjectBrush = 2;   // OBJ_BRUSH
constexpr uint32_t ObjectFont = 6;    // OBJ_FONT
constexpr uint32_t ObjectBitmap = 7;  // OBJ_BITMAP
constexpr uint32_t InvalidColour = 0xFFFFFFFFu;  // CLR_INVALID
constexpr uint8_t AlphaSourceOver = 0;  // AC_SRC_OVER
constexpr uint8_t AlphaSourceAlpha = 1;  // AC_SRC_ALPHA

struct TextSize {
  int32_t cx;
  int32_t cy;
};

// BLENDFUNCTION.
struct BlendFunction {
  uint8_t blendOp;
  uint8_t blendFlags;
  uint8_t sourceConstantAlpha;
  uint8_t alphaFormat;
};

GdiObject CreatePen(int32_t style, int32_t width, uint32_t colour);
GdiObject CreateSolidBrush(uint32_t colour);
GdiObject GetStockObject(int32_t which);
GdiObject SelectObject(DeviceContext dc, GdiObject object);
int32_t DeleteObject(GdiObject object);
uint32_t GetObjectType(GdiObject object);
int32_t DestroyIcon(GdiObject icon);
// A copy of font turned by angleTenths tenths of a degree, or null.
GdiObject CreateRotatedFont(GdiObject font, int32_t angleTenths);

int32_t SetROP2(DeviceContext dc, int32_t mode);
int32_t SetBkMode(DeviceContext dc, int32_t mode);
uint32_t SetBkColor(DeviceContext dc, uint32_t colour);
uint32_t SetTextColor(DeviceContext dc, uint32_t colour);
uint32_t SetTextAlign(DeviceContext dc, uint32_t align);

// FillRect of user32: the box (left, top, right, bottom), right and bottom
// edges excluded, painted with brush whatever the raster operation.
int32_t FillRect(DeviceContext dc, int32_t left, int32_t top, int32_t right, int32_t bottom,
                 GdiObject brush);
int32_t Ellipse(DeviceContext dc, int32_t left, int32_t top, int32_t right, int32_t bottom);
int32_t Rectangle(DeviceContext dc, int32_t left, int32_t top, int32_t right, int32_t bottom);
int32_t RoundRect(DeviceContext dc, int32_t left, int32_t top, int32_t right, int32_t bottom,
                  int32_t ellipseWidth, int32_t ellipseHeight);
int32_t MoveToEx(DeviceContext dc, int32_t x, int32_t y);
int32_t LineTo(DeviceContext dc, int32_t x, int32_t y);
int32_t SetPixelV(DeviceContext dc, int32_t x, int32_t y, uint32_t colour);
uint32_t GetPixel(DeviceContext dc, int32_t x, int32_t y);
int32_t ExtFloodFill(DeviceContext dc, int32_t x, int32_t y, uint32_t colour, uint32_t type);

int32_t TextOutA(DeviceContext dc, int32_t x, int32_t y, const char* text, int32_t length);
int32_t GetTextExtentPoint32A(DeviceContext dc, const char* text, int32_t length, TextSize* size);

DeviceContext CreateCompatibleDC(DeviceContext dc);
int32_t DeleteDC(DeviceContext dc);
GdiObject CreateCompatibleBitmap(DeviceContext dc, int32_t width, int32_t height);
int32_t BitBlt(DeviceContext dest, int32_t x, int32_t y, int32_t width, int32_t height,
               DeviceContext source, int32_t sourceX, int32_t sourceY, uint32_t rop);
int32_t StretchBlt(DeviceContext dest, int32_t x, int32_t y, int32_t width, int32_t height,
                   DeviceContext source, int32_t sourceX, int32_t sourceY, int32_t sourceWidth,
                   int32_t sourceHeight, uint32_t rop);
int32_t AlphaBlend(DeviceContext dest, int32_t x, int32_t y, int32_t width, int32_t height,
                   DeviceContext source, int32_t sourceX, int32_t sourceY, int32_t sourceWidth,
                   int32_t sourceHeight, BlendFunction blend);
// Unloads the library AlphaBlend lives in, where it was loaded on demand.
void UnloadAlphaBlendLibrary();

}  // namespace vivuvev
