// The x11 platform: saver, standalone and the daemon's module on an X
// server, through Xlib (and its XCB side where one round trip should carry
// several requests). It draws with the software renderer.
//
// Implemented:
//  [x] Windows: numbered top-level windows, sticky above the others
//      (_NET_WM_STATE_ABOVE, or raised when obscured), full-screen on the
//      primary monitor; the module adopts a window it is given. Every window
//      carries its title, class and process id.
//  [x] Events: geometry, map, expose, focus, the close request and the
//      window's destruction from outside, as the portable window messages
//      (window_notifications.cpp); key presses where the window's maker
//      selected them (the module's own window).
//  [x] Present: the back buffer's changed rectangles, with MIT-SHM when the
//      server offers it, XPutImage otherwise; the -fps text over them.
//  [x] Keyboard: XQueryKeymap by scan code, while the window has the focus.
//  [x] Desktop: the primary monitor from XRandR, the pointer, a hidden cursor.
//  [x] About box: a window of its own with the server's "fixed" font.
// Not implemented:
//  [ ] Visuals other than TrueColor in the back buffer's own format (32-bit
//      words on a 24-bit display, R5G6B5 on a 16-bit one).
//  [ ] Tool, maximised and minimised window styles, and centring on the
//      active window: such windows are plain ones.
//  [ ] Retrace waits: frames are shown as soon as they are drawn.
//
// What the x11 platform's files ask of one another: the process's one
// connection to the X server and what they share over it (atoms, the window
// manager's presence, the primary monitor, the errors the server reported,
// the window the module draws in), and the pieces one file keeps for the
// others (the program's cursor, the present's image records). The x11
// platform's one private header: only files in platform/x11/ include it.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>

#include "base/handles.h"

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
  Atom netWmPid;
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
// An error saying that a numbered window does not exist is its end, though
// (NoteMissingWindow).
int32_t TakeXErrorCount();

// From now on a lost connection (the server ended, its socket closed) prints
// one line on stderr, runs last, which must make no call to the server, and
// ends the program with status 1. Without it, Xlib's own handler ends it.
void WhenXConnectionLost(void (*last)());

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

// The cursor the program's own windows show: None (the default arrow) while
// the cursor is shown, an invisible one after ShowCursor(false)
// (desktop_x11.cpp).
Cursor ProgramCursor();
// Frees the invisible cursor; the connection is about to close.
void ReleaseProgramCursor();

// Whether window number is open and was made sticky (window_x11.cpp).
bool WindowIsSticky(int32_t number);

// window has a new parent: the keyboard finds the top-level window that holds
// it again at its next read (keyboard_x11.cpp).
void KeyboardWindowReparented(Window window);

// The server answered a request with an error saying that no window (or
// drawable) id exists. If id is a numbered window's, that window is gone,
// and the pump reports its end even while its DestroyNotify is still behind
// other events. Called by the error handler: it makes no request
// (window_x11.cpp).
void NoteMissingWindow(XID id);

// What every window the programs open says about itself, for window
// managers, taskbars and tools: its title (WM_NAME, and _NET_WM_NAME in
// UTF-8), its class (WM_CLASS "vivuvev", "Vivuvev") and the process that
// draws it (_NET_WM_PID, with WM_CLIENT_MACHINE, the host on which that
// number names the process) (window_x11.cpp).
void NameProgramWindow(Display* d, Window w, const char* title);

inline Window ToXWindow(WindowHandle handle) {
  return static_cast<Window>(reinterpret_cast<uintptr_t>(handle));
}
inline WindowHandle ToWindowHandle(Window window) {
  return reinterpret_cast<WindowHandle>(static_cast<uintptr_t>(window));
}

}  // namespace vivuvev
