// Test helper: windows the module is given with -window-id, and what they
// show.
//
//   x11_test_window make WIDTHxHEIGHT DEPTH [TrueColor|DirectColor]
//     makes and maps a top-level window of that size in a visual of that
//     depth and class, prints its id in hex and keeps it until it is killed.
//   x11_test_window frame WINDOW
//     makes a top-level window and reparents WINDOW into it, as a window
//     manager's frame would; prints the frame's id and keeps it until killed.
//   x11_test_window read WINDOW
//     writes the pixels of the window's part on the screen (XGetImage reads
//     no other), from its top-left corner, to stdout: the rows without
//     padding, each pixel with the bits no colour mask covers cleared. On
//     stderr: "WIDTH HEIGHT BYTES-PER-PIXEL EXTRA FULL", where EXTRA is the
//     bits of the window's depth that no colour mask covers (an alpha
//     channel), in hex, and FULL how many pixels have all of them set.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: x11_test_window make WIDTHxHEIGHT DEPTH [TrueColor|DirectColor]\n"
               "       x11_test_window frame WINDOW\n"
               "       x11_test_window read WINDOW\n");
  return 2;
}

// Announces window on stdout and keeps the connection (and so the window)
// until the process is killed.
[[noreturn]] void Keep(Display* d, Window window) {
  XSync(d, False);
  std::printf("0x%lx\n", window);
  std::fflush(stdout);
  for (;;) {
    XEvent event;
    XNextEvent(d, &event);
  }
}

int Make(Display* d, const char* size, int depth, const char* className) {
  unsigned width = 0, height = 0;
  if (std::sscanf(size, "%ux%u", &width, &height) != 2 || width == 0 || height == 0) return Usage();
  const int visualClass = std::strcmp(className, "DirectColor") == 0 ? DirectColor : TrueColor;
  XVisualInfo info{};
  if (!XMatchVisualInfo(d, DefaultScreen(d), depth, visualClass, &info)) {
    std::fprintf(stderr, "x11_test_window: no %s visual of depth %d\n", className, depth);
    return 1;
  }
  const Window root = DefaultRootWindow(d);
  XSetWindowAttributes attributes{};
  attributes.colormap = XCreateColormap(d, root, info.visual, AllocNone);
  attributes.background_pixel = 0;
  attributes.border_pixel = 0;
  const Window window = XCreateWindow(d, root, 0, 0, width, height, 0, depth, InputOutput, info.visual,
                                      CWColormap | CWBackPixel | CWBorderPixel, &attributes);
  XMapWindow(d, window);
  Keep(d, window);
}

int Frame(Display* d, Window child) {
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(d, child, &attributes)) return 1;
  const Window frame = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0,
                                           static_cast<unsigned>(attributes.width),
                                           static_cast<unsigned>(attributes.height), 0, 0, 0);
  XMapWindow(d, frame);
  XReparentWindow(d, child, frame, 0, 0);
  Keep(d, frame);
}

int Read(Display* d, Window window) {
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(d, window, &attributes)) return 1;
  int x = 0, y = 0;
  Window child = None;
  XTranslateCoordinates(d, window, DefaultRootWindow(d), 0, 0, &x, &y, &child);
  const int width = std::min(attributes.width, DisplayWidth(d, DefaultScreen(d)) - x);
  const int height = std::min(attributes.height, DisplayHeight(d, DefaultScreen(d)) - y);
  if (x < 0 || y < 0 || width <= 0 || height <= 0) {
    std::fprintf(stderr, "x11_test_window: the window's corner is not on the screen\n");
    return 1;
  }
  XImage* image = XGetImage(d, window, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height),
                            AllPlanes, ZPixmap);
  if (image == nullptr) {
    std::fprintf(stderr, "x11_test_window: XGetImage failed\n");
    return 1;
  }
  const Visual* v = attributes.visual;
  const int bytes = image->bits_per_pixel / 8;
  const auto colour = static_cast<uint32_t>(v->red_mask | v->green_mask | v->blue_mask);
  const uint32_t depthBits = attributes.depth >= 32 ? 0xFFFFFFFFu : (1u << attributes.depth) - 1;
  const uint32_t extra = depthBits & ~colour;
  std::vector<uint8_t> rows(static_cast<size_t>(image->width) * image->height * bytes);
  long full = 0;
  uint8_t* at = rows.data();
  for (int y = 0; y < image->height; ++y) {
    for (int x = 0; x < image->width; ++x, at += bytes) {
      const auto pixel = static_cast<uint32_t>(XGetPixel(image, x, y));
      full += (pixel & extra) == extra;
      const uint32_t kept = pixel & colour;
      std::memcpy(at, &kept, static_cast<size_t>(bytes));
    }
  }
  std::fprintf(stderr, "%d %d %d %x %ld\n", image->width, image->height, bytes, extra, full);
  std::fwrite(rows.data(), 1, rows.size(), stdout);
  XDestroyImage(image);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  Display* d = XOpenDisplay(nullptr);
  if (d == nullptr) {
    std::fprintf(stderr, "x11_test_window: no display\n");
    return 1;
  }
  const char* command = argv[1];
  if (std::strcmp(command, "make") == 0 && (argc == 4 || argc == 5)) {
    const int status = Make(d, argv[2], std::atoi(argv[3]), argc == 5 ? argv[4] : "TrueColor");
    XCloseDisplay(d);
    return status;
  }
  const Window window = std::strtoul(argv[2], nullptr, 0);
  int status = 2;
  if (std::strcmp(command, "frame") == 0 && argc == 3) {
    status = Frame(d, window);
  } else if (std::strcmp(command, "read") == 0 && argc == 3) {
    status = Read(d, window);
  } else {
    Usage();
  }
  XCloseDisplay(d);
  return status;
}
