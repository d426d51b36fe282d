// The Screen: the one drawing surface inside DisplayWindow, with a back buffer
// whose content survives every present.
//
// Each platform provides these (screen_d3d9.cpp on Windows, screen_software.cpp
// for x11 and headless). Callers rely on: with no device every operation does
// nothing and PresentFrame returns 1; the back buffer keeps its content across
// presents and is cleared only by OpenScreenInWindow and ClearBackBuffer;
// ReleaseScreen frees every canvas first.
#pragma once

#include <cstdint>

#include "base/handles.h"

namespace vivuvev {

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
