// The Screen: the one drawing surface inside DisplayWindow, with a back buffer
// whose content survives every present.
//
// Each platform provides these (platform/win32/screen_d3d9.cpp on Direct3D 9,
// software/screen_software.cpp for the platforms that draw in software).
// Callers rely on:
// - InitGraphics makes the (empty) canvas table and readies the graphics
//   library; 1 when a Screen can then be opened, 0 when there is no usable
//   display (the canvas table exists either way);
// - OpenScreenInWindow releases the open Screen and every canvas first, then
//   opens a width x height Screen that presents into parent; 1 on success,
//   0 (with no Screen and no canvas) on failure;
// - with no Screen every operation does nothing and PresentFrame returns 1;
// - the back buffer keeps its content across presents and is cleared only by
//   OpenScreenInWindow and ClearBackBuffer;
// - EnsureScene begins the scene that drawing into the back buffer needs,
//   once per frame: 1 when one is open (already, or now), 0 when none can be
//   (no Screen); PresentFrame and ReleaseScreen end an open scene, as does
//   EndOpenScene;
// - ReleaseScreen frees every canvas first; ShutdownGraphics releases the
//   Screen and the graphics library, and may be called when neither exists.
#pragma once

#include <cstdint>

#include "base/handles.h"

namespace vivuvev {

// OpenScreenInWindow's autoStretch: whether the Screen is resized with its
// window's client area (less rightOffset and bottomOffset).
constexpr int32_t ScreenFixedSize = 0;
constexpr int32_t ScreenStretchesWithWindow = 1;
// OpenScreenInWindow's flipMode: present at once, or wait for the retrace.
constexpr int32_t PresentImmediately = 0;
constexpr int32_t PresentOnRetrace = 1;

int32_t InitGraphics();
int32_t OpenScreenInWindow(WindowHandle parent, int32_t x, int32_t y, int32_t width, int32_t height,
                           int32_t autoStretch, int32_t rightOffset, int32_t bottomOffset,
                           int32_t flipMode);
// colour is a packed colour value: red in bits 0-7, green 8-15, blue 16-23.
void ClearBackBuffer(uint32_t colour);
int32_t PresentFrame();
void ReleaseScreen();
void ShutdownGraphics();
int32_t EnsureScene();
void EndOpenScene();

int32_t ScreenBitsPerPixel();
int32_t TargetWidth();
int32_t TargetHeight();
// The window given to the last OpenScreenInWindow; kept after ReleaseScreen.
WindowHandle ScreenParentWindow();

}  // namespace vivuvev
