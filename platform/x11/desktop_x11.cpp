// The desktop on X11: the primary monitor's size (XRandR, else the whole
// screen), the pointer from XQueryPointer in coordinates whose origin is the
// primary monitor's corner, and a cursor hidden by an invisible cursor defined
// on the program's own windows. The module's drawing window, when there is
// one, stands for the primary screen.
#include <X11/Xlib.h>

#include "display/desktop.h"
#include "display/window_table.h"
#include "platform/x11/x11_parts.h"

namespace vivuvev {

namespace {

bool cursorHidden = false;
Cursor invisibleCursor = None;

struct Size {
  int32_t width, height;
};

Size ScreenSize() {
  const Window drawing = DrawingWindow();
  if (drawing != None) {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(XConnection(), drawing, &attributes)) {
      return {attributes.width, attributes.height};
    }
  }
  const MonitorRect monitor = PrimaryMonitor();
  return {monitor.width, monitor.height};
}

Cursor InvisibleCursor() {
  if (invisibleCursor != None) return invisibleCursor;
  Display* d = XConnection();
  const char empty[1] = {0};
  Pixmap blank = XCreateBitmapFromData(d, DefaultRootWindow(d), empty, 1, 1);
  XColor black{};
  invisibleCursor = XCreatePixmapCursor(d, blank, blank, &black, &black, 0, 0);
  XFreePixmap(d, blank);
  return invisibleCursor;
}

}  // namespace

int32_t PrimaryScreenWidth() { return ScreenSize().width; }
int32_t PrimaryScreenHeight() { return ScreenSize().height; }

bool GetCursorPosition(CursorPoint* point) {
  Display* d = XConnection();
  Window root = None, child = None;
  int rootX = 0, rootY = 0, windowX = 0, windowY = 0;
  unsigned int buttons = 0;
  if (!XQueryPointer(d, DefaultRootWindow(d), &root, &child, &rootX, &rootY, &windowX, &windowY,
                     &buttons)) {
    return false;  // the pointer is on another screen
  }
  const MonitorRect monitor = PrimaryMonitor();
  point->x = rootX - monitor.x;
  point->y = rootY - monitor.y;
  return true;
}

void ShowCursor(bool show) {
  cursorHidden = !show;
  // Windows opened later take the cursor when they are made; the ones that
  // are open take it now. The module's drawing window keeps its owner's.
  Display* d = XConnectionIfOpen();
  if (d == nullptr) return;
  for (int32_t n = 0; n < WindowTableSize(); ++n) {
    const WindowRecord* record = FindWindowRecord(n);
    if (record == nullptr || ToXWindow(record->handle) == DrawingWindow()) continue;
    XDefineCursor(d, ToXWindow(record->handle), ProgramCursor());
  }
  XFlush(d);
}

Cursor ProgramCursor() { return cursorHidden ? InvisibleCursor() : None; }

void ReleaseProgramCursor() {
  Display* d = XConnectionIfOpen();
  if (d != nullptr && invisibleCursor != None) XFreeCursor(d, invisibleCursor);
  invisibleCursor = None;
}

}  // namespace vivuvev
