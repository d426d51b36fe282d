// The keyboard on X11: XQueryKeymap read by scan code (keymap.cpp), counted
// only while the bound window has the input focus, or while the focus follows
// the pointer (no window manager) and the pointer is over the window. That is
// the X form of a foreground-only, non-exclusive keyboard.
#include <X11/Xlib.h>

#include "display/window_table.h"
#include "display/x11_connection.h"
#include "input/keyboard_device.h"
#include "input/keymap.h"

namespace vivuvev {

namespace {

bool deviceCreated = false;
Window boundWindow = None;
Window boundTopLevel = None;  // the root's child that holds it: the window, or a manager's frame

Window TopLevelOf(Display* d, Window window) {
  const Window root = DefaultRootWindow(d);
  Window current = window;
  for (;;) {
    Window rootReturn = None, parent = None;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(d, current, &rootReturn, &parent, &children, &count)) return None;
    if (children != nullptr) XFree(children);
    if (parent == root || parent == None) return current;
    current = parent;
  }
}

bool PointerOver(Display* d, Window topLevel) {
  Window root = None, child = None;
  int rootX = 0, rootY = 0, x = 0, y = 0;
  unsigned int buttons = 0;
  return XQueryPointer(d, DefaultRootWindow(d), &root, &child, &rootX, &rootY, &x, &y, &buttons) &&
         child != None && child == topLevel;
}

FocusPlace FocusOf(Display* d, Window window) {
  Window focus = None;
  int revert = 0;
  XGetInputFocus(d, &focus, &revert);
  if (focus == PointerRoot) return FocusPlace::FollowsPointer;
  if (focus == window) return FocusPlace::Window;
  return FocusPlace::Elsewhere;
}

}  // namespace

bool KeyboardLibraryLoad() { return XConnection() != nullptr; }

bool KeyboardDeviceCreate() {
  deviceCreated = true;
  return true;
}

bool KeyboardDeviceExists() { return deviceCreated; }

void KeyboardDeviceAcquire(WindowHandle window) {
  boundWindow = ToXWindow(window);
  boundTopLevel = None;
}

bool KeyboardDeviceRead(uint8_t (&state)[256]) {
  Display* d = XConnectionIfOpen();
  if (!deviceCreated || d == nullptr || boundWindow == None ||
      WindowNumberOf(ToWindowHandle(boundWindow)) < 0) {
    return false;
  }
  // A window manager may reparent the window after it was bound.
  if (boundTopLevel == None || boundTopLevel == boundWindow) boundTopLevel = TopLevelOf(d, boundWindow);
  const FocusPlace focus = FocusOf(d, boundWindow);
  if (!KeysReachWindow(focus, focus == FocusPlace::FollowsPointer && PointerOver(d, boundTopLevel))) {
    return false;
  }
  char keymap[32] = {};
  XQueryKeymap(d, keymap);
  KeymapToKeyboardState(keymap, state);
  return true;
}

void KeyboardDeviceClose() {
  deviceCreated = false;
  boundWindow = None;
  boundTopLevel = None;
}

}  // namespace vivuvev
