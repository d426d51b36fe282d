// The canvas store: numbered off-screen images that keep everything drawn on
// them, lent to drawing passes through a working copy and written back under
// the transparent-colour rule.
#pragma once

#include <cstdint>

#include "base/handles.h"
#include "canvas/canvas_surface.h"

namespace vivuvev {

struct DrawingPass;

struct CanvasStore {
  int32_t pixelClass;
  int32_t width;
  int32_t height;
  bool locked;
  int32_t writeLockCount;
  bool modifiedMark;
  uint32_t transparentColour;  // a colour value, or NoTransparentColour
  CanvasTexture* texture;
  CanvasSurface* levelSurface;
  CanvasSurface* workingCopy;
  CanvasSurface* renderTargetCopy;  // class 2 only
  DeviceContext heldDC;
  // The working copy holds the canvas's words exactly, and the canvas obeys
  // the transparent-colour rule with its colour: a pass can then start
  // without copying, and its write-back need visit only what it drew. Only
  // platforms whose working copy reports its damage ever set it.
  bool workingCopyCurrent;
};

struct TexturePoint {
  float u;
  float v;
};

struct CanvasEntry {
  CanvasStore* store;  // null when the number has no canvas
  int32_t width;
  int32_t height;
  int32_t bitsPerPixel;
  uint32_t mode;
  TexturePoint corners[4];  // top-left, top-right, bottom-left, bottom-right
};

constexpr int32_t CanvasTableInitialSlots = 64;
constexpr int32_t CanvasTableGrowth = 64;

// The colour that is transparent in every canvas: black.
extern uint32_t DefaultTransparentColour;

void CreateCanvasTable();
// Frees every canvas and every entry, and the table itself.
void FreeCanvasTable();
int32_t CanvasTableSize();

// The entry of a present number, or null.
CanvasEntry* FindCanvas(int32_t number);

// CreateCanvas's mode bits. A new canvas is black; without CanvasModeOpaque it
// is then made transparent (black is the transparent colour). Opaque is taken
// only together with CanvasModeOpaqueAllowed: CanvasModeOpaque alone refuses
// the canvas. Every other bit is kept in the entry and means nothing.
constexpr uint32_t CanvasModeOpaqueAllowed = 4u;  // bit 2
constexpr uint32_t CanvasModeOpaque = 8u;         // bit 3

// Creates canvas number (freeing the one there first), width x height in the
// Screen's pixel class: 32-bit words when the Screen has more than 16 bits
// per pixel, else 16-bit ones. Returns its entry, or null with the number
// left without a canvas when the mode is refused or the device cannot make
// the surfaces (each one made before the failure is released again).
CanvasEntry* CreateCanvas(int32_t number, int32_t width, int32_t height, uint32_t mode);
DrawingPass* CanvasDrawTarget(int32_t number);
void FreeCanvas(int32_t number);
void FreeAllCanvases();
int32_t ReleaseCanvasForReset(CanvasStore* store);
int32_t RestoreCanvasAfterReset(CanvasStore* store);

CanvasStore* CreateCanvasStore(int32_t width, int32_t height, int32_t pixelClass);
DeviceContext OpenWorkingCopy(CanvasStore* store);
void CommitWorkingCopy(CanvasStore* store);
void ApplyTransparentColour(CanvasStore* store, uint32_t colour);
// Whoever writes pixels through the lock unlocks with mark set, so that the
// next pass sees them.
int32_t LockCanvasPixels(CanvasStore* store, bool forWriting, uint8_t** bits, int32_t* pitch);
int32_t UnlockCanvasPixels(CanvasStore* store, bool mark);

// The canvas steps a DrawTarget's pass calls.
DeviceContext CanvasAcquireDC(DrawingPass* pass);
uint8_t* CanvasAcquireBuffer(DrawingPass* pass, int32_t* pitch);
void CanvasReleaseTarget(DrawingPass* pass, int32_t flag);

}  // namespace vivuvev
