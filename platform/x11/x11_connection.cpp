// The x11 platform's connection: Xlib's XOpenDisplay on $DISPLAY, XRandR for
// the primary monitor, the desktop conventions' _NET_SUPPORTING_WM_CHECK for
// the window manager, an error handler that counts errors instead of
// ending the process (and passes on those that say a window is gone), and
// what a program does when the connection is lost.
#include "platform/x11/x11_parts.h"

#include <X11/Xatom.h>
#include <X11/extensions/Xrandr.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/system.h"
#include "launch/display_failure.h"

namespace vivuvev {

namespace {

Display* display = nullptr;
XAtoms atoms = {};
int32_t errorCount = 0;
Window drawingWindow = None;

int CountError(Display*, XErrorEvent* error) {
  ++errorCount;
  if (error->error_code == BadWindow || error->error_code == BadDrawable) {
    NoteMissingWindow(error->resourceid);
  }
  return 0;
}

void (*lastBeforeLoss)() = nullptr;

// Xlib ends the process once this returns, so it never does.
int ConnectionLost(Display* d) {
  std::fprintf(stderr, "%s: lost the connection to the X server %s\n", program_invocation_short_name,
               DisplayString(d));
  if (lastBeforeLoss != nullptr) lastBeforeLoss();
  std::exit(1);
}

void InternAtoms() {
  const char* names[] = {"WM_PROTOCOLS",
                         "WM_DELETE_WINDOW",
                         "_NET_WM_NAME",
                         "_NET_WM_STATE",
                         "_NET_WM_STATE_ABOVE",
                         "_NET_WM_STATE_FULLSCREEN",
                         "_NET_WM_WINDOW_TYPE",
                         "_NET_WM_WINDOW_TYPE_DIALOG",
                         "_NET_SUPPORTING_WM_CHECK",
                         "_MOTIF_WM_HINTS",
                         "UTF8_STRING",
                         "_NET_WM_PID"};
  Atom* slots[] = {&atoms.wmProtocols,     &atoms.wmDeleteWindow,       &atoms.netWmName,
                   &atoms.netWmState,      &atoms.netWmStateAbove,      &atoms.netWmStateFullscreen,
                   &atoms.netWmWindowType, &atoms.netWmWindowTypeDialog, &atoms.netSupportingWmCheck,
                   &atoms.motifWmHints,    &atoms.utf8String,           &atoms.netWmPid};
  constexpr int count = sizeof(names) / sizeof(names[0]);
  Atom values[count];
  XInternAtoms(display, const_cast<char**>(names), count, False, values);
  for (int i = 0; i < count; ++i) *slots[i] = values[i];
}

// The window that _NET_SUPPORTING_WM_CHECK names on window, or None.
Window SupportingWindow(Window window) {
  Atom type = None;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  Window found = None;
  if (XGetWindowProperty(display, window, atoms.netSupportingWmCheck, 0, 1, False, XA_WINDOW, &type,
                         &format, &items, &after, &data) == Success &&
      type == XA_WINDOW && format == 32 && items == 1) {
    found = *reinterpret_cast<Window*>(data);
  }
  if (data != nullptr) XFree(data);
  return found;
}

}  // namespace

Display* XConnection() {
  if (display != nullptr) return display;
  display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    const char* tried = XDisplayName(nullptr);
    std::fprintf(stderr, "%s\n",
                 NoDisplayMessage(program_invocation_short_name, tried ? tried : "").c_str());
    ExitProcess(1);
  }
  XSetErrorHandler(CountError);
  InternAtoms();
  return display;
}

Display* XConnectionIfOpen() { return display; }

void CloseXConnection() {
  if (display == nullptr) return;
  XCloseDisplay(display);
  display = nullptr;
  atoms = XAtoms{};
  drawingWindow = None;
}

const XAtoms& Atoms() {
  XConnection();
  return atoms;
}

bool WindowManagerRunning() {
  Display* d = XConnection();
  const Window check = SupportingWindow(DefaultRootWindow(d));
  // The window must name itself too: a property left behind by a manager that
  // has gone names a window that no longer exists, which reads as None.
  return check != None && SupportingWindow(check) == check;
}

MonitorRect PrimaryMonitor() {
  Display* d = XConnection();
  const int screen = DefaultScreen(d);
  MonitorRect whole{0, 0, DisplayWidth(d, screen), DisplayHeight(d, screen)};
  int eventBase = 0, errorBase = 0;
  if (!XRRQueryExtension(d, &eventBase, &errorBase)) return whole;
  const Window root = RootWindow(d, screen);
  const RROutput primary = XRRGetOutputPrimary(d, root);
  if (primary == None) return whole;
  XRRScreenResources* resources = XRRGetScreenResourcesCurrent(d, root);
  if (resources == nullptr) return whole;
  MonitorRect found = whole;
  if (XRROutputInfo* output = XRRGetOutputInfo(d, resources, primary)) {
    if (output->crtc != None) {
      if (XRRCrtcInfo* crtc = XRRGetCrtcInfo(d, resources, output->crtc)) {
        if (crtc->width > 0 && crtc->height > 0) {
          found = MonitorRect{crtc->x, crtc->y, static_cast<int32_t>(crtc->width),
                              static_cast<int32_t>(crtc->height)};
        }
        XRRFreeCrtcInfo(crtc);
      }
    }
    XRRFreeOutputInfo(output);
  }
  XRRFreeScreenResources(resources);
  return found;
}

int32_t TakeXErrorCount() {
  const int32_t count = errorCount;
  errorCount = 0;
  return count;
}

void WhenXConnectionLost(void (*last)()) {
  lastBeforeLoss = last;
  XSetIOErrorHandler(ConnectionLost);
}

void SetDrawingWindow(Window window) { drawingWindow = window; }
Window DrawingWindow() { return drawingWindow; }

}  // namespace vivuvev
