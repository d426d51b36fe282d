// Drawing passes: a pass is opened on a DrawTarget, receives a mode, colours
// and shapes, and is closed; its pixels reach the target when it is closed.
#pragma once

#include <cstdint>

#include "base/handles.h"

namespace vivuvev {

struct DrawingPass;

constexpr uint32_t DrawModeTransparent = 1;
constexpr uint32_t DrawModeInvert = 2;
constexpr uint32_t DrawModeOutlined = 4;

constexpr int32_t OutputKindImage = 7;

// Pixel-format flags of a raw buffer.
constexpr uint32_t RawFormat8 = 1;
constexpr uint32_t RawFormat555 = 2;
constexpr uint32_t RawFormat565 = 4;
constexpr uint32_t RawFormat32 = 0x40;

// The colour value that stands for "no colour applied yet".
constexpr uint32_t NoColourApplied = 0xFFFFFFFFu;

// The operations of one output kind, in slot order; each takes the pass first.
struct DrawingOps {
  void (*SetBackgroundColour)(DrawingPass*, uint32_t colour);                            // 0
  void (*BoxOp)(DrawingPass*, int32_t x, int32_t y, int32_t width, int32_t height);      // 1
  void (*RoundBoxOp)(DrawingPass*, int32_t x, int32_t y, int32_t width, int32_t height,
                     int32_t rx, int32_t ry);                                            // 2
  void (*CircleOp)(DrawingPass*, int32_t x, int32_t y, int32_t r);                       // 3
  int32_t (*SelectFontOp)(DrawingPass*, GdiObject font);                                 // 4
  uint8_t* (*RawBufferAddress)(DrawingPass*);                                            // 5
  int32_t (*RawBufferPitch)(DrawingPass*);                                               // 6
  uint32_t (*RawBufferFormat)(DrawingPass*);                                             // 7
  void (*ApplyMode)(DrawingPass*, uint32_t mode);                                        // 8
  void (*DrawImageOp)(DrawingPass*, int32_t image, int32_t x, int32_t y);                // 9
  void (*DrawImageSizedOp)(DrawingPass*, int32_t image, int32_t x, int32_t y, int32_t width,
                           int32_t height);                                              // 10
  void (*DrawImageBlendedOp)(DrawingPass*, int32_t image, int32_t x, int32_t y,
                             int32_t intensity);                                         // 11
  void (*TextOp)(DrawingPass*, int32_t x, int32_t y, const char* text);                  // 12
  void (*RotatedTextOp)(DrawingPass*, int32_t x, int32_t y, const char* text, float angle);  // 13
  void (*EllipseOp)(DrawingPass*, int32_t x, int32_t y, int32_t rx, int32_t ry);         // 14
  void (*FloodFillOp)(DrawingPass*, int32_t x, int32_t y);                               // 15
  void (*ApplyColour)(DrawingPass*, uint32_t colour);                                    // 16
  int32_t (*GrabImageOp)(DrawingPass*, int32_t image, int32_t x, int32_t y, int32_t width,
                         int32_t height);                                                // 17
  void (*LineOp)(DrawingPass*, int32_t x1, int32_t y1, int32_t x2, int32_t y2);          // 18
  void (*PlotOp)(DrawingPass*, int32_t x, int32_t y);                                    // 19
  void (*PlotColourOp)(DrawingPass*, int32_t x, int32_t y, uint32_t colour);             // 20
  uint32_t (*ReadPixelOp)(DrawingPass*, int32_t x, int32_t y);                           // 21
  DeviceContext (*StartPass)(DrawingPass*);                                              // 22
  void (*StopPass)(DrawingPass*);                                                        // 23
  int32_t (*TextHeightOp)(DrawingPass*, const char* text);                               // 24
  int32_t (*TextWidthOp)(DrawingPass*, const char* text);                                // 25
};
static_assert(sizeof(DrawingOps) == 26 * sizeof(void*), "26 drawing operations");

struct DrawingPass {
  DrawingOps ops;
  void (*ReleaseTarget)(DrawingPass*, int32_t flag);
  int32_t targetWidth;
  int32_t targetHeight;
  int32_t bitsPerPixel;
  uint32_t frontColour;
  uint32_t lastAppliedColour;
  int32_t outputKind;
  uint8_t* rawBuffer;
  int32_t pitch;
  uint32_t pixelFormat;
  DeviceContext (*AcquireDC)(DrawingPass*);
  uint8_t* (*AcquireBuffer)(DrawingPass*, int32_t* pitch);
  DeviceContext dc;
  uint32_t mode;
  int32_t dcState;  // 0 before StartPass, 1 device context live, -1 raw buffer live
  GdiObject currentBrush;
  GdiObject currentPen;
  GdiObject currentFont;
  GdiObject initialBrush;
  GdiObject initialPen;
  GdiObject savedBrush;
  GdiObject savedPen;
  int32_t fontExtraWidth;
  GdiObject rotatedFont;
  float rotatedFontAngle;
  int32_t grabFlag;
};

// The one pass in progress, or null.
extern DrawingPass* CurrentDrawingPass;

// red + green x 256 + blue x 65536 in unsigned 32-bit arithmetic, unmasked.
uint32_t PackRGB(int32_t red, int32_t green, int32_t blue);

DrawingPass* NewImagePass();
DeviceContext BeginDrawing(DrawingPass* target);
void SetDrawingMode(uint32_t mode);
void SetFrontColor(uint32_t colour);
void DrawCircle(int32_t x, int32_t y, int32_t radius);
void EndDrawing();

// The operations of the image output kind.
extern const DrawingOps ImageDrawingOps;

// Re-acquires the device context after raw-buffer access; every operation
// that uses the device context runs it first.
void EnsureDC(DrawingPass* pass);

}  // namespace vivuvev
