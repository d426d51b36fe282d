// The device objects a canvas is made of: a texture with its level-0 surface,
// a system-memory working copy that gives a device context, and (class 2) a
// render-target copy.
//
// Each platform provides these (canvas_surface_d3d9.cpp on the Screen's
// Direct3D device, canvas_surface_software.cpp in memory). Callers rely on:
// the texture has exactly the size asked for, A8R8G8B8 (class 3) or A1R5G5B5
// (class 2); the working copy is X8R8G8B8 or X1R5G5B5; a lock hands out the
// first row and the pitch in bytes; a surface whose device context is out
// cannot be locked; every Create and Get is matched by one Release.
// CanvasSurfaceDamage tells what drawing through the surface's device context
// may have changed since the context was last handed out, where the platform
// knows it (the software surfaces), and is null where it does not (Direct3D:
// GDI draws without saying where). CanvasSurfaceChanges is a texture level
// surface's ChangeMap, which the store marks and the software blit reads; null
// where the platform keeps none (Direct3D) or had no memory for it.
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
