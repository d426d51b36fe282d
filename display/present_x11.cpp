// Presenting on X11: the back buffer goes to the window in one request, with
// XShmPutImage through a MIT-SHM segment when the server offers it (and lets
// this client attach one), and with XPutImage straight from the buffer's rows
// otherwise. The default visual must take the buffer's rows as they are:
// 32-bit X8R8G8B8 on a 24-bit display, 16-bit R5G6B5 on a 16-bit one.
//
// Nothing waits for a retrace. XSync after the put only waits until the server
// has taken the pixels, so that the next frame can reuse the segment.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstring>

#include "display/present.h"
#include "display/visual_format.h"
#include "display/x11_connection.h"

namespace vivuvev {

namespace {

struct Presenter {
  Window window = None;
  GC gc = nullptr;
  bool shmRefused = false;  // the server has no MIT-SHM, or attaching failed once
  XImage* shmImage = nullptr;
  XShmSegmentInfo segment = {};
};

Presenter presenter;

int32_t ZPixmapBits(Display* d, int depth) {
  int count = 0;
  XPixmapFormatValues* formats = XListPixmapFormats(d, &count);
  int32_t bits = 0;
  for (int i = 0; i < count; ++i) {
    if (formats[i].depth == depth) bits = formats[i].bits_per_pixel;
  }
  if (formats != nullptr) XFree(formats);
  return bits;
}

void DropShmImage(Display* d) {
  if (presenter.shmImage == nullptr) return;
  XShmDetach(d, &presenter.segment);
  XSync(d, False);
  XDestroyImage(presenter.shmImage);  // frees the image record, not the segment
  shmdt(presenter.segment.shmaddr);
  presenter.shmImage = nullptr;
  presenter.segment = XShmSegmentInfo{};
}

// A shared image of the buffer's size, or null when MIT-SHM cannot be used.
XImage* ShmImageFor(Display* d, const BackBuffer& buffer) {
  if (presenter.shmRefused) return nullptr;
  XImage* image = presenter.shmImage;
  if (image != nullptr && image->width == buffer.width && image->height == buffer.height) return image;
  DropShmImage(d);
  if (!XShmQueryExtension(d)) {
    presenter.shmRefused = true;
    return nullptr;
  }
  const int screen = DefaultScreen(d);
  image = XShmCreateImage(d, DefaultVisual(d, screen), static_cast<unsigned>(DefaultDepth(d, screen)),
                          ZPixmap, nullptr, &presenter.segment, static_cast<unsigned>(buffer.width),
                          static_cast<unsigned>(buffer.height));
  if (image == nullptr) {
    presenter.shmRefused = true;
    return nullptr;
  }
  const size_t bytes = static_cast<size_t>(image->bytes_per_line) * static_cast<size_t>(image->height);
  presenter.segment.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  if (presenter.segment.shmid < 0) {
    XDestroyImage(image);
    presenter.shmRefused = true;
    return nullptr;
  }
  presenter.segment.shmaddr = static_cast<char*>(shmat(presenter.segment.shmid, nullptr, 0));
  // Marked for removal at once: it goes away when both sides have detached,
  // however the process ends.
  shmctl(presenter.segment.shmid, IPC_RMID, nullptr);
  if (presenter.segment.shmaddr == reinterpret_cast<char*>(-1)) {
    XDestroyImage(image);
    presenter.segment = XShmSegmentInfo{};
    presenter.shmRefused = true;
    return nullptr;
  }
  image->data = presenter.segment.shmaddr;
  presenter.segment.readOnly = False;
  TakeXErrorCount();
  const bool attached = XShmAttach(d, &presenter.segment);
  XSync(d, False);
  if (!attached || TakeXErrorCount() > 0) {
    // A server on another machine cannot see this machine's memory.
    XDestroyImage(image);
    shmdt(presenter.segment.shmaddr);
    presenter.segment = XShmSegmentInfo{};
    presenter.shmRefused = true;
    return nullptr;
  }
  presenter.shmImage = image;
  return image;
}

void CopyRows(const BackBuffer& buffer, XImage* image) {
  const size_t rowBytes = static_cast<size_t>(buffer.width) * static_cast<size_t>(buffer.bitsPerPixel / 8);
  for (int32_t y = 0; y < buffer.height; ++y) {
    std::memcpy(image->data + static_cast<size_t>(y) * static_cast<size_t>(image->bytes_per_line),
                buffer.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(buffer.pitch), rowBytes);
  }
}

bool PutWithoutShm(Display* d, Window window, const BackBuffer& buffer) {
  const int screen = DefaultScreen(d);
  // An image record over the buffer's own rows: no copy.
  XImage* image = XCreateImage(d, DefaultVisual(d, screen), static_cast<unsigned>(DefaultDepth(d, screen)),
                               ZPixmap, 0, nullptr, static_cast<unsigned>(buffer.width),
                               static_cast<unsigned>(buffer.height), 32, buffer.pitch);
  if (image == nullptr) return false;
  image->data = reinterpret_cast<char*>(const_cast<uint8_t*>(buffer.pixels.data()));
  image->byte_order = LSBFirst;
  XPutImage(d, window, presenter.gc, image, 0, 0, 0, 0, static_cast<unsigned>(buffer.width),
            static_cast<unsigned>(buffer.height));
  image->data = nullptr;  // the rows belong to the buffer
  XDestroyImage(image);
  return true;
}

}  // namespace

int32_t DisplayBitsPerPixel() {
  Display* d = XConnection();
  const int screen = DefaultScreen(d);
  const Visual* visual = DefaultVisual(d, screen);
  const int depth = DefaultDepth(d, screen);
  VisualLayout layout{visual->c_class == TrueColor, depth, ZPixmapBits(d, depth),
                      static_cast<uint32_t>(visual->red_mask), static_cast<uint32_t>(visual->green_mask),
                      static_cast<uint32_t>(visual->blue_mask)};
  // The buffer's words are little-endian; a server that wants the other order
  // gets them swapped by XPutImage but not through a shared segment.
  if (ImageByteOrder(d) != LSBFirst) presenter.shmRefused = true;
  return BackBufferBitsFor(layout);
}

bool PresentBackBuffer(WindowHandle parent, const BackBuffer& buffer) {
  Display* d = XConnectionIfOpen();
  if (d == nullptr || parent == nullptr || buffer.width <= 0 || buffer.height <= 0) return false;
  const Window window = ToXWindow(parent);
  if (presenter.window != window) {
    if (presenter.gc != nullptr) XFreeGC(d, presenter.gc);
    presenter.gc = XCreateGC(d, window, 0, nullptr);
    presenter.window = window;
  }
  TakeXErrorCount();
  if (XImage* shared = ShmImageFor(d, buffer)) {
    CopyRows(buffer, shared);
    XShmPutImage(d, window, presenter.gc, shared, 0, 0, 0, 0, static_cast<unsigned>(buffer.width),
                 static_cast<unsigned>(buffer.height), False);
  } else if (!PutWithoutShm(d, window, buffer)) {
    return false;
  }
  XSync(d, False);
  return TakeXErrorCount() == 0;
}

void EndPresenting() {
  Display* d = XConnectionIfOpen();
  if (d == nullptr) return;
  DropShmImage(d);
  if (presenter.gc != nullptr) XFreeGC(d, presenter.gc);
  presenter = Presenter{};
}

}  // namespace vivuvev
