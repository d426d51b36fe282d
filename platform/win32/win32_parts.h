// The win32 platform: saver.scr and standalone.exe on Windows, on user32,
// GDI, Direct3D 9 and DirectInput 7, the last two loaded by name at run time.
//
// Implemented:
//  [x] Windows: numbered windows of one class each, with their styles and
//      placement (window_style.cpp), topmost when sticky, and the pump.
//  [x] Screen: a windowed Direct3D 9 device presenting into a child window,
//      copy swap effect, no retrace wait, reset after device loss.
//  [x] Canvas: managed textures with GDI drawing on system-memory copies;
//      the blit as one alpha-blended quad.
//  [x] Keyboard: DirectInput's system keyboard, polled, foreground only.
//  [x] Desktop and about box: GetSystemMetrics, the cursor, MessageBoxA.
// Not implemented:
//  [ ] The software renderer's damage tracking: Direct3D surfaces report
//      none, so every frame writes back and lays the whole canvas.
//  [ ] The module and its -fps overlay: there is no screensaver daemon here.
//  [ ] Pictures in a preview window: the small preview stays black.
//
// What the win32 platform's Direct3D files ask of one another: the Screen's
// device (screen_d3d9.cpp) for the canvas surfaces and the blit, and how the
// canvas seam's opaque objects stand for Direct3D 9 objects. The win32
// platform's one private header: only files in platform/win32/ include it.
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
