// How the canvas seam's opaque objects stand for Direct3D 9 objects. Only
// *_d3d9.cpp files include this header.
#pragma once

#include <d3d9.h>

#include "canvas/canvas_surface.h"

namespace vivuvev {

inline IDirect3DTexture9* D3DTextureOf(CanvasTexture* texture) {
  return reinterpret_cast<IDirect3DTexture9*>(texture);
}
inline IDirect3DSurface9* D3DSurfaceOf(CanvasSurface* surface) {
  return reinterpret_cast<IDirect3DSurface9*>(surface);
}

}  // namespace vivuvev
