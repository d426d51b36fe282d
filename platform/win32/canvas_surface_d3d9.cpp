// Canvas surfaces on the Screen's Direct3D 9 device: a managed texture (its
// master copy lives in system memory and survives device loss), its level-0
// surface, a system-memory working copy that gives a GDI device context, and
// for 16-bit canvases a lockable render target.
#define NOMINMAX
#include <windows.h>

#include "canvas/pixels.h"
#include "platform/win32/win32_parts.h"

namespace vivuvev {

namespace {

CanvasSurface* AsCanvasSurface(IDirect3DSurface9* surface) {
  return reinterpret_cast<CanvasSurface*>(surface);
}

}  // namespace

CanvasTexture* CreateCanvasTexture(int32_t width, int32_t height, int32_t pixelClass) {
  IDirect3DDevice9* device = ScreenDevice();
  if (device == nullptr || width <= 0 || height <= 0) return nullptr;
  IDirect3DTexture9* texture = nullptr;
  const D3DFORMAT format = pixelClass == PixelClass32 ? D3DFMT_A8R8G8B8 : D3DFMT_A1R5G5B5;
  if (FAILED(device->CreateTexture(static_cast<UINT>(width), static_cast<UINT>(height), 1, 0,
                                   format, D3DPOOL_MANAGED, &texture, nullptr))) {
    return nullptr;
  }
  return reinterpret_cast<CanvasTexture*>(texture);
}

CanvasSurface* GetTextureLevelSurface(CanvasTexture* texture) {
  IDirect3DSurface9* surface = nullptr;
  if (FAILED(D3DTextureOf(texture)->GetSurfaceLevel(0, &surface))) return nullptr;
  return AsCanvasSurface(surface);
}

CanvasSurface* CreateWorkingCopySurface(int32_t width, int32_t height, int32_t pixelClass) {
  IDirect3DDevice9* device = ScreenDevice();
  if (device == nullptr) return nullptr;
  IDirect3DSurface9* surface = nullptr;
  const D3DFORMAT format = pixelClass == PixelClass32 ? D3DFMT_X8R8G8B8 : D3DFMT_X1R5G5B5;
  if (FAILED(device->CreateOffscreenPlainSurface(static_cast<UINT>(width),
                                                 static_cast<UINT>(height), format,
                                                 D3DPOOL_SYSTEMMEM, &surface, nullptr))) {
    return nullptr;
  }
  return AsCanvasSurface(surface);
}

CanvasSurface* CreateRenderTargetCopy(int32_t width, int32_t height) {
  IDirect3DDevice9* device = ScreenDevice();
  if (device == nullptr) return nullptr;
  IDirect3DSurface9* surface = nullptr;
  if (FAILED(device->CreateRenderTarget(static_cast<UINT>(width), static_cast<UINT>(height),
                                        D3DFMT_X1R5G5B5, D3DMULTISAMPLE_NONE, 0, TRUE, &surface,
                                        nullptr))) {
    return nullptr;
  }
  return AsCanvasSurface(surface);
}

void ReleaseCanvasTexture(CanvasTexture* texture) { D3DTextureOf(texture)->Release(); }

void ReleaseCanvasSurface(CanvasSurface* surface) { D3DSurfaceOf(surface)->Release(); }

bool LockCanvasSurface(CanvasSurface* surface, bool readOnly, uint8_t** bits, int32_t* pitch) {
  D3DLOCKED_RECT locked{};
  if (FAILED(D3DSurfaceOf(surface)->LockRect(&locked, nullptr, readOnly ? D3DLOCK_READONLY : 0))) {
    return false;
  }
  *bits = static_cast<uint8_t*>(locked.pBits);
  *pitch = locked.Pitch;
  return true;
}

bool UnlockCanvasSurface(CanvasSurface* surface) {
  return SUCCEEDED(D3DSurfaceOf(surface)->UnlockRect());
}

DeviceContext GetCanvasSurfaceDC(CanvasSurface* surface) {
  HDC dc = nullptr;
  if (FAILED(D3DSurfaceOf(surface)->GetDC(&dc))) return nullptr;
  return dc;
}

bool ReleaseCanvasSurfaceDC(CanvasSurface* surface, DeviceContext dc) {
  return SUCCEEDED(D3DSurfaceOf(surface)->ReleaseDC(static_cast<HDC>(dc)));
}

// GDI does not say where it drew.
const DamageLog* CanvasSurfaceDamage(const CanvasSurface*) { return nullptr; }
ChangeMap* CanvasSurfaceChanges(CanvasSurface*) { return nullptr; }

}  // namespace vivuvev
