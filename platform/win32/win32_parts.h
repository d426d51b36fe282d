// What the win32 platform's Direct3D files ask of one another: the Screen's
// device (screen_d3d9.cpp) for the canvas surfaces and the blit, and how the
// canvas seam's opaque objects stand for Direct3D 9 objects.
//
// The win32 platform's one private header: only files in platform/win32/
// include it.
#pragma once

#include <d3d9.h>

#include "canvas/canvas_surface.h"

namespace vivuvev {

// The open Screen's device, or null.
IDirect3DDevice9* ScreenDevice();

inline IDirect3DTexture9* D3DTextureOf(CanvasTexture* texture) {
  return reinterpret_cast<IDirect3DTexture9*>(texture);
}
inline IDirect3DSurface9* D3DSurfaceOf(CanvasSurface* surface) {
  return reinterpret_cast<IDirect3DSurface9*>(surface);
}

}  // namespace vivuvev
