// The Screen on Direct3D 9, loaded by name from d3d9.dll: a windowed device
// presenting into a STATIC child of the caller's window, with the copy swap
// effect so that the back buffer keeps its content, no retrace wait, and a
// hidden 1 x 1 base window. What a present does after device loss is the
// portable device_loss.cpp; this file gives it the device.
//
// Under Wine, Direct3D output presented into a child window never shows; the
// top-level window then serves as the destination-window override. That is
// the only place where Wine is looked for.
#define NOMINMAX
#include <windows.h>

#include <initializer_list>

#include "base/system.h"
#include "canvas/canvas_store.h"
#include "canvas/pixels.h"
#include "display/device_loss.h"
#include "display/format_bits.h"
#include "display/render_state_cache.h"
#include "display/screen.h"
#include "platform/win32/win32_parts.h"

namespace vivuvev {

static_assert(DeviceOk == D3D_OK && DeviceLost == D3DERR_DEVICELOST &&
                  DeviceNotReset == D3DERR_DEVICENOTRESET &&
                  DeviceDriverInternalError == D3DERR_DRIVERINTERNALERROR,
              "TestCooperativeLevel answers");
static_assert(D3DFMT_R8G8B8 == 20 && D3DFMT_X8R8G8B8 == 22 && D3DFMT_R5G6B5 == 23 &&
                  D3DFMT_X1R5G5B5 == 24 && D3DFMT_A16B16G16R16 == 36 && D3DFMT_P8 == 41 &&
                  D3DFMT_L8 == 50,
              "format numbers of the bits table");

namespace {

using Direct3DCreate9Function = IDirect3D9*(WINAPI*)(UINT);

constexpr char BaseClassName[] = "MultimediaBase Class";
constexpr char SubclassMarkProp[] = "Vivuvev.ScreenSubclassed";

struct Graphics {
  IDirect3D9* direct3d;
  bool ready;
  bool baseWindowCreated;
  HWND baseWindow;
};

struct Screen {
  bool open;
  bool windowed;
  int32_t active;
  HWND parent;
  HWND child;
  IDirect3DDevice9* device;
  IDirect3DSurface9* backBuffer;
  D3DPRESENT_PARAMETERS presentParameters;
  int32_t x, y;
  int32_t width, height;
  int32_t targetWidth, targetHeight;
  int32_t autoStretch, rightOffset, bottomOffset;
  int32_t bitsPerPixel;
  bool inScene;
  HWND presentOverride;  // the top-level window under Wine, else null
  WNDPROC previousParentProc;
  WNDPROC previousChildProc;
};

Graphics graphics = {};
Screen screen = {};

HINSTANCE Instance() { return ::GetModuleHandleA(nullptr); }

bool RunningUnderWine() {
  const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

LRESULT CALLBACK BaseWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      ::BeginPaint(window, &paint);
      ::EndPaint(window, &paint);
      return 1;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_CLOSE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_ACTIVATE:
      return 0;
    default:
      return ::DefWindowProcA(window, message, wParam, lParam);
  }
}

bool CreateBaseWindow() {
  if (graphics.baseWindowCreated || screen.parent != nullptr) return graphics.baseWindowCreated;
  WNDCLASSEXA baseClass{};
  baseClass.cbSize = sizeof baseClass;
  baseClass.style = CS_DBLCLKS;
  baseClass.lpfnWndProc = BaseWindowProc;
  baseClass.hInstance = Instance();
  baseClass.hIcon = ::LoadIconA(Instance(), MAKEINTRESOURCEA(1));
  baseClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
  baseClass.lpszClassName = BaseClassName;
  if (::RegisterClassExA(&baseClass) == 0) return false;
  graphics.baseWindow = ::CreateWindowExA(0, BaseClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr,
                                          nullptr, Instance(), nullptr);
  graphics.baseWindowCreated = graphics.baseWindow != nullptr;
  return graphics.baseWindowCreated;
}

void ApplyAutoStretch() {
  if (screen.autoStretch == 0) return;
  RECT client{};
  ::GetClientRect(screen.parent, &client);
  ::SetWindowPos(screen.child, nullptr, 0, 0, client.right - screen.rightOffset - screen.x,
                 client.bottom - screen.bottomOffset - screen.y,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOOWNERZORDER);
}

LRESULT CALLBACK ScreenParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SIZE && screen.open) {
    ApplyAutoStretch();
    if (screen.width != 0) PresentFrame();
  }
  return ::CallWindowProcA(screen.previousParentProc, window, message, wParam, lParam);
}

LRESULT CALLBACK ScreenChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT && screen.open) {
    PAINTSTRUCT paint;
    ::BeginPaint(window, &paint);
    ::EndPaint(window, &paint);
    if (screen.width != 0) PresentFrame();
    return 0;
  }
  return ::CallWindowProcA(screen.previousChildProc, window, message, wParam, lParam);
}

bool FillPresentParameters(int32_t width, int32_t height, int32_t flipMode) {
  D3DPRESENT_PARAMETERS& p = screen.presentParameters;
  p = D3DPRESENT_PARAMETERS{};
  D3DDISPLAYMODE mode{};
  if (graphics.direct3d == nullptr ||
      FAILED(graphics.direct3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode))) {
    return false;
  }
  p.BackBufferWidth = static_cast<UINT>(width);
  p.BackBufferHeight = static_cast<UINT>(height);
  p.BackBufferFormat = mode.Format;
  p.BackBufferCount = 1;
  p.MultiSampleType = D3DMULTISAMPLE_NONE;
  p.MultiSampleQuality = 0;
  p.SwapEffect = D3DSWAPEFFECT_COPY;
  p.hDeviceWindow = screen.child;
  p.Windowed = TRUE;
  p.EnableAutoDepthStencil = FALSE;
  p.AutoDepthStencilFormat = D3DFMT_UNKNOWN;
  p.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
  p.FullScreen_RefreshRateInHz = 0;
  p.PresentationInterval = flipMode == 0 ? D3DPRESENT_INTERVAL_IMMEDIATE : D3DPRESENT_INTERVAL_ONE;
  return true;
}

void ApplyDefaultRenderStates() {
  IDirect3DDevice9* d = screen.device;
  d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
  d->SetSoftwareVertexProcessing(FALSE);
  d->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
  d->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
  d->SetRenderState(D3DRS_MULTISAMPLEANTIALIAS, FALSE);
}

void ReleaseBackBuffer() {
  if (screen.backBuffer != nullptr) screen.backBuffer->Release();
  screen.backBuffer = nullptr;
}

void GetBackBuffer() {
  screen.device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &screen.backBuffer);
}

// The Direct3D 9 device behind the portable device-loss decisions.
int32_t DeviceTestCooperativeLevel() {
  return static_cast<int32_t>(screen.device->TestCooperativeLevel());
}

void DevicePrepareForReset() {
  for (int32_t n = 0; n < CanvasTableSize(); ++n) {
    if (CanvasEntry* canvas = FindCanvas(n)) ReleaseCanvasForReset(canvas->store);
  }
  // A device with a reference to its back buffer outstanding cannot be
  // reset; the reference is taken again afterwards.
  ReleaseBackBuffer();
}

bool DeviceReset() { return SUCCEEDED(screen.device->Reset(&screen.presentParameters)); }

void DeviceAfterReset() {
  for (int32_t n = 0; n < CanvasTableSize(); ++n) {
    if (CanvasEntry* canvas = FindCanvas(n)) RestoreCanvasAfterReset(canvas->store);
  }
  GetBackBuffer();
  ResetRenderStateCache();
}

bool DevicePresent() {
  RECT destination{};
  ::GetClientRect(screen.child, &destination);
  const RECT source{0, 0, screen.targetWidth, screen.targetHeight};
  return screen.device->Present(&source, &destination, screen.presentOverride, nullptr) == D3D_OK;
}

const PresentDevice Direct3DPresentDevice = {
    DeviceTestCooperativeLevel, DevicePrepareForReset, DeviceReset, DeviceAfterReset,
    EndOpenScene,               DevicePresent,         TickCount,   SleepMilliseconds,
};

// OpenScreenInWindow's failure after the child window exists.
int32_t FailOpen() {
  FreeAllCanvases();
  return 0;
}

}  // namespace

IDirect3DDevice9* ScreenDevice() { return screen.device; }

int32_t InitGraphics() {
  CreateCanvasTable();
  if (!CreateBaseWindow()) return 0;
  const HMODULE library = ::LoadLibraryA("d3d9.dll");  // stays loaded for the process
  if (library == nullptr) return 0;
  const auto create = reinterpret_cast<Direct3DCreate9Function>(
      reinterpret_cast<void*>(::GetProcAddress(library, "Direct3DCreate9")));
  if (create == nullptr) return 0;
  graphics.direct3d = create(D3D_SDK_VERSION);
  if (graphics.direct3d == nullptr) return 0;
  UINT modes = 0;
  for (D3DFORMAT format : {D3DFMT_X1R5G5B5, D3DFMT_R5G6B5, D3DFMT_X8R8G8B8}) {
    modes += graphics.direct3d->GetAdapterModeCount(D3DADAPTER_DEFAULT, format);
  }
  if (modes == 0) {
    graphics.direct3d->Release();
    graphics.direct3d = nullptr;
    return 0;
  }
  graphics.ready = true;
  return 1;
}

int32_t OpenScreenInWindow(WindowHandle parent, int32_t x, int32_t y, int32_t width, int32_t height,
                           int32_t autoStretch, int32_t rightOffset, int32_t bottomOffset,
                           int32_t flipMode) {
  ReleaseScreen();
  if (parent == nullptr) return FailOpen();
  ResetRenderStateCache();
  screen.x = x;
  screen.y = y;
  screen.rightOffset = rightOffset;
  screen.bottomOffset = bottomOffset;
  screen.autoStretch = autoStretch;
  screen.parent = static_cast<HWND>(parent);
  screen.windowed = true;
  screen.width = screen.targetWidth = width;
  screen.height = screen.targetHeight = height;
  screen.child = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, x, y, width, height,
                                   screen.parent, nullptr, Instance(), nullptr);
  if (screen.child == nullptr) return FailOpen();
  ApplyAutoStretch();
  if (!FillPresentParameters(width, height, flipMode)) return FailOpen();
  D3DCAPS9 caps{};
  if (FAILED(graphics.direct3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps))) {
    return FailOpen();
  }
  const DWORD vertexProcessing = (caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT)
                                     ? D3DCREATE_HARDWARE_VERTEXPROCESSING
                                     : D3DCREATE_SOFTWARE_VERTEXPROCESSING;
  if (FAILED(graphics.direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, screen.child,
                                             vertexProcessing, &screen.presentParameters,
                                             &screen.device))) {
    screen.device = nullptr;
    return FailOpen();
  }
  screen.bitsPerPixel =
      FormatBitsPerPixel(static_cast<uint32_t>(screen.presentParameters.BackBufferFormat));
  GetBackBuffer();
  screen.device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 0.0f, 0);
  if (::GetPropA(screen.parent, SubclassMarkProp) != reinterpret_cast<HANDLE>(1)) {
    screen.previousParentProc = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
        screen.parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ScreenParentProc)));
    ::SetPropA(screen.parent, SubclassMarkProp, reinterpret_cast<HANDLE>(1));
  }
  screen.previousChildProc = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
      screen.child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ScreenChildProc)));
  ApplyDefaultRenderStates();
  screen.presentOverride = RunningUnderWine() ? screen.parent : nullptr;
  screen.open = true;
  screen.active = 1;
  return 1;
}

void ClearBackBuffer(uint32_t colour) {
  if (screen.device == nullptr) return;
  // Red moves to bits 16-23 and blue to bits 0-7: the device's order.
  screen.device->Clear(0, nullptr, D3DCLEAR_TARGET, ColourToClass3(colour), 0.0f, 0);
}

int32_t EnsureScene() {
  if (screen.inScene) return 1;
  if (screen.device == nullptr) return 0;
  if (SUCCEEDED(screen.device->BeginScene())) screen.inScene = true;
  return screen.inScene ? 1 : 0;
}

void EndOpenScene() {
  if (!screen.inScene) return;
  screen.inScene = false;
  screen.device->EndScene();
}

int32_t PresentFrame() {
  // Only the back buffer is ever a render target, so there is none to
  // switch back from.
  if (screen.device == nullptr) return 1;
  return PresentWithDeviceCheck(Direct3DPresentDevice, &screen.active);
}

void ReleaseScreen() {
  if (!screen.open) return;
  FreeAllCanvases();
  if (screen.device != nullptr) {
    EndOpenScene();
    ReleaseBackBuffer();
    screen.device->Release();
    screen.device = nullptr;
  }
  screen.width = screen.height = 0;
  screen.windowed = false;
  ::DestroyWindow(screen.child);
  screen.child = nullptr;
  ::InvalidateRect(screen.parent, nullptr, TRUE);
  screen.open = false;
}

void ShutdownGraphics() {
  if (!graphics.ready) return;
  ReleaseScreen();
  graphics.direct3d->Release();
  graphics.direct3d = nullptr;
  graphics.ready = false;
}

int32_t ScreenBitsPerPixel() { return screen.bitsPerPixel; }
int32_t TargetWidth() { return screen.targetWidth; }
int32_t TargetHeight() { return screen.targetHeight; }
WindowHandle ScreenParentWindow() { return screen.parent; }

}  // namespace vivuvev
