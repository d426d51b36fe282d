// Test helper: destroys a window from outside, as another client (or the
// daemon that made it) does, after first sending COUNT events of no meaning
// to everyone who watches the window's structure. A program that takes one
// event a frame then finds the DestroyNotify behind all of them, and can know
// its window is gone sooner only from the errors its drawing brings.
// Usage: destroy_window WINDOW_ID [COUNT]
#include <cstdio>
#include <cstdlib>

#include "x_test_client.h"

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: destroy_window WINDOW_ID [COUNT]\n");
    return 2;
  }
  const Window window = std::strtoul(argv[1], nullptr, 0);
  const long count = argc == 3 ? std::strtol(argv[2], nullptr, 10) : 0;
  Display* display = OpenTestDisplay("destroy_window");
  if (display == nullptr) return 1;
  XEvent event = ClientMessageFor(window, XInternAtom(display, "VIVUVEV_TEST_NOTHING", False));
  for (long i = 0; i < count; ++i) {
    event.xclient.data.l[0] = i;
    XSendEvent(display, window, False, StructureNotifyMask, &event);
  }
  XDestroyWindow(display, window);
  XSync(display, False);
  XCloseDisplay(display);
  return 0;
}
