// The process's one connection to the X server and what the x11 platform
// files share over it: atoms, the window manager's presence, the primary
// monitor, the errors the server reported, and the window the module draws in.
//
// Only the x11 platform files include this header.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>

#include "platform/handles.h"

namespace vivuvev {

struct BackBuffer;

// Opens the connection on first use. When no display can be opened at all,
// nothing could ever be shown or end the animation, so the program prints one
// line naming the display it tried and ends with status 1.
Display* XConnection();
// The connection if it is open, else null; for teardown, which must not open it.
Display* XConnectionIfOpen();
void CloseXConnection();

struct XAtoms {
  Atom wmProtocols;
  Atom wmDeleteWindow;
  Atom netWmName;
  Atom netWmState;
  Atom netWmStateAbove;
  Atom netWmStateFullscreen;
  Atom netWmWindowType;
  Atom netWmWindowTypeDialog;
  Atom netSupportingWmCheck;
  Atom motifWmHints;
  Atom utf8String;
};
const XAtoms& Atoms();

// A window manager that follows the desktop conventions is running.
bool WindowManagerRunning();

// The primary monitor in root coordinates: XRandR's primary output, or the
// whole screen when there is none. The programs' screen coordinates have their
// origin at its top-left corner, as the primary screen's do on Windows.
struct MonitorRect {
  int32_t x, y, width, height;
};
MonitorRect PrimaryMonitor();

// Errors the server reported since the last call; they never end the program.
int32_t TakeXErrorCount();

// The window the module draws in instead of a window of its own; None for a
// program that opens its own. Its size stands for the primary screen's.
void SetDrawingWindow(Window window);
Window DrawingWindow();

// Part of the window was exposed: the next present sends the whole back
// buffer (present_x11.cpp).
void PresentWholeBufferNext();

// An image record over the back buffer's own rows, in the visual and depth
// of the window drawn in, for XPutImage without a copy, or null;
// DropImageOverRows frees the record and leaves the rows alone
// (present_x11.cpp).
XImage* ImageOverRows(Display* d, const BackBuffer& buffer);
void DropImageOverRows(XImage* image);
// The alpha bits of the window drawn in, which every pixel drawn there has
// set, or 0 when its visual has none (present_x11.cpp).
uint32_t PresentAlphaBits();

inline Window ToXWindow(WindowHandle handle) {
  return static_cast<Window>(reinterpret_cast<uintptr_t>(handle));
}
inline WindowHandle ToWindowHandle(Window window) {
  return reinterpret_cast<WindowHandle>(static_cast<uintptr_t>(window));
}

}  // namespace vivuvev
