#include "reference/reference_sweep.h"

#include <cstring>

#include "canvas/drawing_pass.h"
#include "canvas/gdi.h"
#include "canvas/pixels.h"
#include "program/program.h"

namespace vivuvev::reference {
namespace {

// The canvas whose working copy the current pass draws on.
Canvas* passCanvas = nullptr;

int32_t BytesPerPixel(const Canvas& canvas) { return canvas.pixelClass == PixelClass32 ? 4 : 2; }
int32_t Pitch(const Canvas& canvas) { return canvas.width * BytesPerPixel(canvas); }

SoftBitmap WorkingCopy(Canvas* canvas) {
  return {canvas->workingPixels.data(), Pitch(*canvas), canvas->width, canvas->height,
          canvas->pixelClass == PixelClass32 ? 32 : 16};
}

// The whole canvas into the working copy, alpha bits included.
void CopyIn(Canvas* canvas) {
  std::memcpy(canvas->workingPixels.data(), canvas->pixels.data(), canvas->pixels.size());
}

// Every pixel of from into to (which may be from itself) under the
// transparent-colour rule with the given colour.
void WriteUnderRule(const std::vector<uint8_t>& from, std::vector<uint8_t>* to,
                    int32_t pixelClass, uint32_t colour) {
  const uint32_t key = ColourToPixelClass(colour, pixelClass);
  const size_t size = pixelClass == PixelClass32 ? 4 : 2;
  for (size_t at = 0; at < from.size(); at += size) {
    if (pixelClass == PixelClass32) {
      uint32_t word;
      std::memcpy(&word, &from[at], 4);
      word = ApplyTransparentRule32(word, key);
      std::memcpy(&(*to)[at], &word, 4);
    } else {
      uint16_t word;
      std::memcpy(&word, &from[at], 2);
      word = ApplyTransparentRule16(word, key);
      std::memcpy(&(*to)[at], &word, 2);
    }
  }
}

void WriteBack(Canvas* canvas, uint32_t colour) {
  WriteUnderRule(canvas->workingPixels, &canvas->pixels, canvas->pixelClass, colour);
}

// The working copy, a fresh copy of the whole canvas, lent to a pass.
DeviceContext OpenWorkingCopy(Canvas* canvas) {
  CopyIn(canvas);
  OpenSoftDC(&canvas->dc, WorkingCopy(canvas));
  return &canvas->dc;
}

void CommitWorkingCopy(DrawingPass* pass) {
  CloseSoftDC(&passCanvas->dc);
  pass->dc = nullptr;
  WriteBack(passCanvas, passCanvas->transparentColour);
}

DeviceContext AcquireDC(DrawingPass* pass) {
  pass->rawBuffer = nullptr;
  pass->dc = OpenWorkingCopy(passCanvas);
  return pass->dc;
}

// The canvas's own pixels; what is written there bypasses the rule.
uint8_t* AcquireBuffer(DrawingPass* pass, int32_t* pitch) {
  if (pass->dc != nullptr) CommitWorkingCopy(pass);
  *pitch = Pitch(*passCanvas);
  pass->rawBuffer = passCanvas->pixels.data();
  return pass->rawBuffer;
}

void ReleaseTarget(DrawingPass* pass, int32_t) {
  if (pass->dc != nullptr) CommitWorkingCopy(pass);
  pass->rawBuffer = nullptr;
}

}  // namespace

DrawingPass* DrawTarget(Canvas* canvas) {
  passCanvas = canvas;
  DrawingPass* pass = NewImagePass();
  if (pass == nullptr) return nullptr;
  pass->dc = OpenWorkingCopy(canvas);
  pass->pitch = Pitch(*canvas);
  pass->outputKind = OutputKindImage;
  pass->pixelFormat = canvas->pixelClass == PixelClass32 ? RawFormat32 : RawFormat555;
  pass->AcquireDC = AcquireDC;
  pass->AcquireBuffer = AcquireBuffer;
  pass->ReleaseTarget = ReleaseTarget;
  pass->targetWidth = canvas->width;
  pass->targetHeight = canvas->height;
  pass->bitsPerPixel = canvas->pixelClass == PixelClass32 ? 32 : 16;
  return pass;
}

// A new canvas: filled black through its working copy, written back before it
// has a transparent colour (opaque black), then given black as its
// transparent colour (transparent black).
void CreateCanvas(Canvas* canvas, int32_t width, int32_t height, int32_t pixelClass) {
  canvas->pixelClass = pixelClass;
  canvas->width = width;
  canvas->height = height;
  const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) *
                       static_cast<size_t>(BytesPerPixel(*canvas));
  canvas->pixels.assign(bytes, 0);
  canvas->workingPixels.assign(bytes, 0);
  OpenWorkingCopy(canvas);
  GdiObject black = CreateSolidBrush(0);
  FillRect(&canvas->dc, 0, 0, width, height, black);
  DeleteObject(black);
  CloseSoftDC(&canvas->dc);
  WriteBack(canvas, NoTransparentColour);
  canvas->transparentColour = 0;
  WriteUnderRule(canvas->pixels, &canvas->pixels, pixelClass, canvas->transparentColour);
}

namespace {

// Every canvas pixel over the screen pixel under it; canvas and screen have
// one size.
void Blit(const Canvas& canvas, BackBuffer* screen) {
  for (int32_t y = 0; y < canvas.height; ++y) {
    uint8_t* screenRow = screen->pixels + static_cast<size_t>(y) * screen->pitch;
    for (int32_t x = 0; x < canvas.width; ++x) {
      const size_t i = static_cast<size_t>(y) * canvas.width + x;
      uint32_t alpha, rgb;
      if (canvas.pixelClass == PixelClass32) {
        uint32_t word;
        std::memcpy(&word, &canvas.pixels[4 * i], 4);
        alpha = word >> 24;
        rgb = word & 0xFFFFFFu;
      } else {
        uint16_t word;
        std::memcpy(&word, &canvas.pixels[2 * i], 2);
        alpha = (word & 0x8000u) ? 255u : 0u;
        rgb = (Widen5((word >> 10) & 0x1Fu) << 16) | (Widen5((word >> 5) & 0x1Fu) << 8) |
              Widen5(word & 0x1Fu);
      }
      if (alpha == 0) continue;
      if (screen->bitsPerPixel == 32) {
        uint32_t old;
        std::memcpy(&old, screenRow + 4 * x, 4);
        const uint32_t now = BlendRgb(rgb, old & 0xFFFFFFu, alpha, SweepIntensity);
        std::memcpy(screenRow + 4 * x, &now, 4);
      } else {
        uint16_t old;
        std::memcpy(&old, screenRow + 2 * x, 2);
        const uint32_t wide = (Widen5(old >> 11) << 16) | (Widen6((old >> 5) & 0x3Fu) << 8) |
                              Widen5(old & 0x1Fu);
        const uint32_t now = BlendRgb(rgb, wide, alpha, SweepIntensity);
        const auto narrow = static_cast<uint16_t>((Narrow5(now >> 16) << 11) |
                                                  (Narrow6((now >> 8) & 0xFFu) << 5) |
                                                  Narrow5(now & 0xFFu));
        std::memcpy(screenRow + 2 * x, &narrow, 2);
      }
    }
  }
}

}  // namespace

namespace {

DrawingPass* BeginRunPass(void* run) { return DrawTarget(&static_cast<Run*>(run)->canvas); }
void EndRunPass(void*) { EndDrawing(); }
void BlendRun(void* run) { Blit(static_cast<Run*>(run)->canvas, &static_cast<Run*>(run)->screen); }
void PresentNothing(void*) {}

}  // namespace

void StartRun(Run* run, int32_t width, int32_t height, int32_t bitsPerPixel) {
  MaxStep = MaxStepFor(width, height);
  run->screen.width = width;
  run->screen.height = height;
  run->screen.bitsPerPixel = bitsPerPixel;
  run->screen.pitch = width * (bitsPerPixel / 8);
  run->screen.heapPixels.assign(static_cast<size_t>(run->screen.pitch) * static_cast<size_t>(height), 0);
  run->screen.pixels = run->screen.heapPixels.data();
  CreateCanvas(&run->canvas, width, height, bitsPerPixel > 16 ? PixelClass32 : PixelClass16);
  run->surface = {BeginRunPass, EndRunPass, BlendRun, PresentNothing, run};
}

void RunFrames(Run* run, uint32_t frames) {
  if (MaxStep < 1) return;
  SweepState state = StartingSweepState(StopRule::None, run->screen.width, run->screen.height, &run->surface);
  for (uint32_t frame = 0; frame < frames; ++frame) SweepFrame(&state);
}

}  // namespace vivuvev::reference
