// What the X test helpers share: the display $DISPLAY names, and a
// ClientMessage event of 32-bit items for a window.
#pragma once

#include <X11/Xlib.h>

#include <cstdio>

// The display, or null after a line on stderr naming the helper.
inline Display* OpenTestDisplay(const char* helper) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) std::fprintf(stderr, "%s: no display\n", helper);
  return display;
}

inline XEvent ClientMessageFor(Window window, Atom type) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = type;
  event.xclient.format = 32;
  return event;
}
