// The device objects a canvas is made of: a texture with its level-0 surface,
// a system-memory working copy that gives a device context, and (class 2) a
// render-target copy.
//
// Each platform provides these (platform/win32/canvas_surface_d3d9.cpp on the
// Screen's Direct3D device, software/canvas_surface_software.cpp in memory).
// Callers rely on:
// - CreateCanvasTexture: a texture of exactly the size asked for, A8R8G8B8
//   (class 3) or A1R5G5B5 (class 2), or null when the device refuses it (a
//   side over what it takes, no memory); GetTextureLevelSurface: its level-0
//   surface, which holds a reference to the texture, or null;
// - CreateWorkingCopySurface: a system-memory surface, X8R8G8B8 (class 3) or
//   X1R5G5B5 (class 2), or null; CreateRenderTargetCopy: a lockable 16-bit
//   render target for class-2 canvases, or null;
// - ReleaseCanvasTexture and ReleaseCanvasSurface each undo one Create or
//   Get (never called with null), and free the pixels with the last
//   reference (a level surface and its texture in either order);
// - LockCanvasSurface hands out the first row and the pitch in bytes and
//   returns false for a surface that is locked or whose device context is
//   out; UnlockCanvasSurface returns false for one that is not locked;
// - GetCanvasSurfaceDC gives the surface's device context, or null while it
//   is locked or its context is out; ReleaseCanvasSurfaceDC takes it back and
//   returns false for any other context;
// - CanvasSurfaceDamage tells what drawing through the surface's device
//   context may have changed since the context was last handed out, where the
//   platform knows it (the software surfaces), and is null where it does not
//   (Direct3D: GDI draws without saying where);
// - CanvasSurfaceChanges is a texture level surface's ChangeMap, which the
//   store marks and the software blit reads; null where the platform keeps
//   none (Direct3D) or had no memory for it.
#pragma once

#include <cstdint>

#include "base/handles.h"

namespace vivuvev {

struct CanvasTexture;
struct CanvasSurface;
class ChangeMap;
class DamageLog;

CanvasTexture* CreateCanvasTexture(int32_t width, int32_t height, int32_t pixelClass);
CanvasSurface* GetTextureLevelSurface(CanvasTexture* texture);
CanvasSurface* CreateWorkingCopySurface(int32_t width, int32_t height, int32_t pixelClass);
CanvasSurface* CreateRenderTargetCopy(int32_t width, int32_t height);
void ReleaseCanvasTexture(CanvasTexture* texture);
void ReleaseCanvasSurface(CanvasSurface* surface);

bool LockCanvasSurface(CanvasSurface* surface, bool readOnly, uint8_t** bits, int32_t* pitch);
bool UnlockCanvasSurface(CanvasSurface* surface);
DeviceContext GetCanvasSurfaceDC(CanvasSurface* surface);
bool ReleaseCanvasSurfaceDC(CanvasSurface* surface, DeviceContext dc);
const DamageLog* CanvasSurfaceDamage(const CanvasSurface* surface);
ChangeMap* CanvasSurfaceChanges(CanvasSurface* surface);

}  // namespace vivuvev
