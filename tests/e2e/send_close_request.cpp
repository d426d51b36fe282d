// Test helper: asks a window to close the way a window manager does, with a
// WM_DELETE_WINDOW message of the WM_PROTOCOLS kind. Xvfb runs no window
// manager, and xdotool can only destroy or kill. With --via-window-manager it
// asks the running window manager instead, as a pager or a taskbar's close
// button does (_NET_CLOSE_WINDOW to the root window); the manager then sends
// the request, or kills the client when the window takes none.
// Usage: send_close_request [--via-window-manager] WINDOW_ID
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "x_test_client.h"

int main(int argc, char** argv) {
  const bool viaManager = argc == 3 && std::strcmp(argv[1], "--via-window-manager") == 0;
  if (argc != 2 && !viaManager) {
    std::fprintf(stderr, "usage: send_close_request [--via-window-manager] WINDOW_ID\n");
    return 2;
  }
  const Window window = std::strtoul(argv[argc - 1], nullptr, 0);
  Display* display = OpenTestDisplay("send_close_request");
  if (display == nullptr) return 1;
  XEvent event = ClientMessageFor(
      window, XInternAtom(display, viaManager ? "_NET_CLOSE_WINDOW" : "WM_PROTOCOLS", False));
  Status sent;
  if (viaManager) {
    event.xclient.data.l[0] = CurrentTime;
    event.xclient.data.l[1] = 2;  // from a pager
    sent = XSendEvent(display, DefaultRootWindow(display), False,
                      SubstructureRedirectMask | SubstructureNotifyMask, &event);
  } else {
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    sent = XSendEvent(display, window, False, NoEventMask, &event);
  }
  XSync(display, False);
  XCloseDisplay(display);
  return sent ? 0 : 1;
}
