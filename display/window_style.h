// What OpenDisplayWindow's flags ask of the window manager: the style and
// extended style of the window, how it is shown, and where it goes.
//
// Portable, so that the flag rules and the centring arithmetic are tested
// natively; window_win32.cpp checks the style constants against windows.h.
#pragma once

#include <cstdint>

namespace vivuvev {

// Window-manager values, under names of their own.
constexpr uint32_t StyleCaption = 0x00C00000u;      // WS_CAPTION
constexpr uint32_t StyleMinimizeBox = 0x00020000u;  // WS_MINIMIZEBOX
constexpr uint32_t StyleMaximizeBox = 0x00010000u;  // WS_MAXIMIZEBOX
constexpr uint32_t ExStyleToolWindow = 0x00000080u;  // WS_EX_TOOLWINDOW
constexpr int32_t ShowNormal = 1;                   // SW_SHOWNORMAL
constexpr int32_t ShowMinimized = 2;                // SW_SHOWMINIMIZED
constexpr int32_t ShowMaximized = 3;                // SW_MAXIMIZE
constexpr int32_t UseDefaultPosition = static_cast<int32_t>(0x80000000u);  // CW_USEDEFAULT
// The position that asks for the window manager's default place.
constexpr int32_t DefaultPositionRequest = -65535;

struct WindowStyle {
  uint32_t style;    // handed to the window manager
  uint32_t exStyle;
  bool hidden;       // create without showing
  int32_t showCommand;
  bool minimisedOrMaximised;
};

WindowStyle WindowStyleFor(uint32_t flags);

struct WindowBox {
  int32_t x;
  int32_t y;
  int32_t width;
  int32_t height;
};

// The outer box of a window of outer size width x height asked for at (x, y)
// with flags: the default place, centring on the screen (screenWidth x
// screenHeight), or centring on the active window's rectangle (when
// hasActive). Centring clamps the outer size to the area it centres in.
WindowBox PlaceWindow(uint32_t flags, int32_t x, int32_t y, int32_t width, int32_t height,
                      int32_t screenWidth, int32_t screenHeight, bool hasActive,
                      const WindowBox& active);

}  // namespace vivuvev
