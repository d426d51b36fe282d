// The keyboard on X11: XQueryKeymap read by scan code (keymap.cpp), counted
// only while the bound window has the input focus, or while the focus follows
// the pointer (no window manager) and the pointer is over the window. That is
// the X form of a foreground-only, non-exclusive keyboard.
//
// A read asks the server for the focus, the pointer and the key map at once,
// through the connection's XCB side, and then waits for the three answers:
// one round trip to the server a read, where Xlib's calls would wait for each
// answer in turn. The top-level window that holds the bound one (itself, or a
// window manager's frame), which the pointer must be over, is found by
// walking the tree on the first read and again only after the window was
// reparented (ReparentNotify, which window_x11.cpp passes on).
#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

#include "display/window_table.h"
#include "input/keyboard_device.h"
#include "input/keymap.h"
#include "platform/x11/x11_parts.h"

namespace vivuvev {

namespace {

bool deviceCreated = false;
Window boundWindow = None;
Window boundTopLevel = None;  // the root's child that holds it; None until it is found

// The parent of window, or None when the server cannot say.
Window ParentOf(Display* d, Window window) {
  Window rootReturn = None, parent = None;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(d, window, &rootReturn, &parent, &children, &count)) return None;
  if (children != nullptr) XFree(children);
  return parent;
}

// The root's child that holds window; None when the server cannot say.
Window TopLevelOf(Display* d, Window window) {
  const Window root = DefaultRootWindow(d);
  Window current = window;
  for (Window parent = ParentOf(d, current); parent != root; parent = ParentOf(d, current)) {
    if (parent == None) return None;
    current = parent;
  }
  return current;
}

FocusPlace FocusPlaceOf(Window focus, Window window) {
  if (focus == PointerRoot) return FocusPlace::FollowsPointer;
  if (focus == window) return FocusPlace::Window;
  return FocusPlace::Elsewhere;
}

// A reply of XCB's, freed when it goes.
template <typename Reply>
struct Answer {
  Reply* reply;
  explicit Answer(Reply* r) : reply(r) {}
  ~Answer() { std::free(reply); }
  Answer(const Answer&) = delete;
  Answer& operator=(const Answer&) = delete;
};

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
  if (boundTopLevel == None) boundTopLevel = TopLevelOf(d, boundWindow);
  xcb_connection_t* c = XGetXCBConnection(d);
  const xcb_get_input_focus_cookie_t focus = xcb_get_input_focus(c);
  const xcb_query_pointer_cookie_t pointer =
      xcb_query_pointer(c, static_cast<xcb_window_t>(DefaultRootWindow(d)));
  const xcb_query_keymap_cookie_t keys = xcb_query_keymap(c);
  const Answer<xcb_get_input_focus_reply_t> focused(xcb_get_input_focus_reply(c, focus, nullptr));
  const Answer<xcb_query_pointer_reply_t> pointed(xcb_query_pointer_reply(c, pointer, nullptr));
  const Answer<xcb_query_keymap_reply_t> keymap(xcb_query_keymap_reply(c, keys, nullptr));
  const FocusPlace place =
      FocusPlaceOf(focused.reply != nullptr ? focused.reply->focus : None, boundWindow);
  const bool pointerOver = pointed.reply != nullptr && pointed.reply->same_screen != 0 &&
                           pointed.reply->child != XCB_WINDOW_NONE && pointed.reply->child == boundTopLevel;
  const bool reached = KeysReachWindow(place, place == FocusPlace::FollowsPointer && pointerOver);
  if (keymap.reply == nullptr || !reached) return false;
  char bits[32] = {};
  std::memcpy(bits, keymap.reply->keys, sizeof bits);
  KeymapToKeyboardState(bits, state);
  return true;
}

void KeyboardWindowReparented(Window window) {
  if (window == boundWindow) boundTopLevel = None;
}

void KeyboardDeviceClose() {
  deviceCreated = false;
  boundWindow = None;
  boundTopLevel = None;
}

}  // namespace vivuvev
