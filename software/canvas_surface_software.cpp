// The canvas's device objects on the software platforms (x11, headless):
// textures and surfaces are SoftBitmaps in memory, and a surface's device
// context is a software one (software_image.h) over its pixels.
//
// As with Direct3D, the level surface belongs to its texture: getting it and
// releasing it count on the texture, so the two may be released in either
// order and the pixels go with the last reference. Rows are padded, and by a
// different amount for each kind of surface, so that code which takes the
// pitch for width x bytes per pixel, or one surface's pitch for another's,
// goes wrong visibly.
//
// A surface's device context records in the surface's damage log what each
// drawing may change, from the moment it is handed out. A texture's level
// surface keeps the ChangeMap of the canvas it holds.
#include <new>

#include "canvas/change_map.h"

#include "canvas/canvas_surface.h"
#include "canvas/pixels.h"
#include "software/software_image.h"

namespace vivuvev {

struct CanvasSurface {
  CanvasTexture* container;  // a level surface's texture, which counts its references
  int32_t references;        // of a surface of its own
  SoftBitmap image;
  bool locked;
  bool dcOut;
  SoftDC dc;  // handed out by GetCanvasSurfaceDC; no allocation per call
  DamageLog damage;
  ChangeMap changes;  // level surfaces only
};

struct CanvasTexture {
  int32_t references;
  CanvasSurface level;
};

namespace {

// The longest side the software device takes, as a Direct3D 9 device of
// the time would.
constexpr int32_t MaxSurfaceSide = 16384;

// Row padding beyond the cache-line rounding, per kind of surface. The
// texture's keeps its rows on cache lines, where the blit reads them.
constexpr int32_t TexturePadding = 64;
constexpr int32_t WorkingCopyPadding = 32;
constexpr int32_t RenderTargetPadding = 48;

bool MakeImage(SoftBitmap* image, int32_t width, int32_t height, int32_t pixelClass,
               int32_t padding) {
  if (pixelClass != PixelClass32 && pixelClass != PixelClass16) return false;
  if (width > MaxSurfaceSide || height > MaxSurfaceSide) return false;
  return AllocateSoftBitmap(image, width, height, pixelClass == PixelClass32 ? 32 : 16, padding);
}

void FreeSurfacePixels(CanvasSurface* surface) {
  if (surface->dcOut) CloseSoftDC(&surface->dc);
  FreeSoftBitmap(&surface->image);
}

CanvasSurface* CreateSurface(int32_t width, int32_t height, int32_t pixelClass, int32_t padding) {
  auto* surface = new (std::nothrow) CanvasSurface{};
  if (surface == nullptr) return nullptr;
  if (!MakeImage(&surface->image, width, height, pixelClass, padding)) {
    delete surface;
    return nullptr;
  }
  surface->references = 1;
  return surface;
}

}  // namespace

CanvasTexture* CreateCanvasTexture(int32_t width, int32_t height, int32_t pixelClass) {
  auto* texture = new (std::nothrow) CanvasTexture{};
  if (texture == nullptr) return nullptr;
  if (!MakeImage(&texture->level.image, width, height, pixelClass, TexturePadding)) {
    delete texture;
    return nullptr;
  }
  texture->references = 1;
  texture->level.container = texture;
  // Without the map the blit lays the whole canvas every time.
  texture->level.changes.Cover(width, height);
  return texture;
}

CanvasSurface* GetTextureLevelSurface(CanvasTexture* texture) {
  if (texture == nullptr) return nullptr;
  ++texture->references;
  return &texture->level;
}

CanvasSurface* CreateWorkingCopySurface(int32_t width, int32_t height, int32_t pixelClass) {
  return CreateSurface(width, height, pixelClass, WorkingCopyPadding);
}

CanvasSurface* CreateRenderTargetCopy(int32_t width, int32_t height) {
  return CreateSurface(width, height, PixelClass16, RenderTargetPadding);
}

void ReleaseCanvasTexture(CanvasTexture* texture) {
  if (texture == nullptr || --texture->references > 0) return;
  FreeSurfacePixels(&texture->level);
  delete texture;
}

void ReleaseCanvasSurface(CanvasSurface* surface) {
  if (surface == nullptr) return;
  if (surface->container != nullptr) {
    ReleaseCanvasTexture(surface->container);
    return;
  }
  if (--surface->references > 0) return;
  FreeSurfacePixels(surface);
  delete surface;
}

bool LockCanvasSurface(CanvasSurface* surface, bool /*readOnly*/, uint8_t** bits, int32_t* pitch) {
  if (surface == nullptr || surface->locked || surface->dcOut) return false;
  surface->locked = true;
  *bits = surface->image.bits;
  *pitch = surface->image.pitch;
  return true;
}

bool UnlockCanvasSurface(CanvasSurface* surface) {
  if (surface == nullptr || !surface->locked) return false;
  surface->locked = false;
  return true;
}

DeviceContext GetCanvasSurfaceDC(CanvasSurface* surface) {
  if (surface == nullptr || surface->locked || surface->dcOut) return nullptr;
  OpenSoftDC(&surface->dc, surface->image);
  surface->damage.Clear();
  // Two outlines crossing every row, as a frame of the animation draws,
  // record at most two runs a row each: with room for them made once, the
  // passes of the animation never allocate.
  surface->damage.Reserve(4 * static_cast<size_t>(surface->image.height));
  surface->dc.damage = &surface->damage;
  surface->dcOut = true;
  return &surface->dc;
}

bool ReleaseCanvasSurfaceDC(CanvasSurface* surface, DeviceContext dc) {
  if (surface == nullptr || !surface->dcOut || dc != &surface->dc) return false;
  CloseSoftDC(&surface->dc);
  surface->dcOut = false;
  return true;
}

const DamageLog* CanvasSurfaceDamage(const CanvasSurface* surface) {
  return surface != nullptr ? &surface->damage : nullptr;
}

ChangeMap* CanvasSurfaceChanges(CanvasSurface* surface) {
  if (surface == nullptr || surface->changes.Columns() == 0) return nullptr;
  return &surface->changes;
}

}  // namespace vivuvev
