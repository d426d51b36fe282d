// Presenting on X11: what the back buffer's change log names goes to the
// window, one rectangle per request, with XShmPutImage when the server offers
// MIT-SHM (and lets this client attach a segment) and with XPutImage straight
// from the buffer's rows otherwise. With MIT-SHM the back buffer itself lives
// in the shared segment, so presenting copies nothing on this side. The whole
// buffer goes on a window's first present and after an expose. The default
// visual must take the buffer's rows as they are: 32-bit X8R8G8B8 on a 24-bit
// display, 16-bit R5G6B5 on a 16-bit one.
//
// Nothing waits for a retrace, and a present through the shared segment does
// not wait for the server either: its last put asks for a completion event,
// and AwaitPresentedRows, called before anything writes the rows again, waits
// only if neither that event nor any later reply has come by then. After the
// module's pause, or behind the keyboard's requests, it has always come, so a
// frame costs no round trip of its own; the next frame's rings are drawn
// while the server copies. Its X errors arrive late too: the present that
// follows a failed one reports the failure. Without MIT-SHM XPutImage takes
// the rows as it is called, and XSync brings its errors at once.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstring>
#include <vector>

#include "display/visual_format.h"
#include "software/present.h"
#include "platform/x11/x11_parts.h"

namespace vivuvev {

namespace {

struct Presenter {
  Window window = None;
  GC gc = nullptr;
  bool sendAll = true;      // the window may show anything: send the whole buffer
  bool shmRefused = false;  // the server has no MIT-SHM, or attaching failed once
  // The segment the back buffer lives in, and an image over its rows.
  XImage* shmImage = nullptr;
  XShmSegmentInfo segment = {};
  // A present whose puts the server may not have taken yet: the serial of
  // its last request, and the type of the completion event that answers it.
  bool inFlight = false;
  unsigned long lastPut = 0;
  int completionType = 0;
  bool failed = false;  // X errors came between the last present and its end
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

// Whether the server has handled request serial.
bool Handled(Display* d, unsigned long serial) {
  return static_cast<long>(LastKnownRequestProcessed(d) - serial) >= 0;
}

// The connection may be closed already, and the server with it.
void DropShmImage(Display* d) {
  presenter.inFlight = false;  // the XSync below outwaits any present
  if (presenter.shmImage == nullptr) return;
  if (d != nullptr) {
    XShmDetach(d, &presenter.segment);
    XSync(d, False);
  }
  presenter.shmImage->data = nullptr;
  XDestroyImage(presenter.shmImage);  // frees the image record, not the segment
  shmdt(presenter.segment.shmaddr);
  presenter.shmImage = nullptr;
  presenter.segment = XShmSegmentInfo{};
}

// A shared image of pitch x height bytes whose rows are pitch bytes apart,
// or null when MIT-SHM cannot be used.
XImage* CreateShmImage(Display* d, int32_t pitch, int32_t height, int32_t bitsPerPixel) {
  if (presenter.shmRefused) return nullptr;
  DropShmImage(d);
  if (!XShmQueryExtension(d)) {
    presenter.shmRefused = true;
    return nullptr;
  }
  const int screen = DefaultScreen(d);
  XImage* image = XShmCreateImage(d, DefaultVisual(d, screen), static_cast<unsigned>(DefaultDepth(d, screen)),
                                  ZPixmap, nullptr, &presenter.segment,
                                  static_cast<unsigned>(pitch / (bitsPerPixel / 8)),
                                  static_cast<unsigned>(height));
  if (image != nullptr && image->bytes_per_line != pitch) {
    XDestroyImage(image);
    image = nullptr;
  }
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
  presenter.completionType = XShmGetEventBase(d) + ShmCompletion;
  return image;
}

}  // namespace

XImage* ImageOverRows(Display* d, const BackBuffer& buffer) {
  const int screen = DefaultScreen(d);
  XImage* image = XCreateImage(d, DefaultVisual(d, screen), static_cast<unsigned>(DefaultDepth(d, screen)),
                               ZPixmap, 0, nullptr, static_cast<unsigned>(buffer.width),
                               static_cast<unsigned>(buffer.height), 32, buffer.pitch);
  if (image == nullptr) return nullptr;
  image->data = reinterpret_cast<char*>(buffer.pixels);
  image->byte_order = LSBFirst;
  return image;
}

void DropImageOverRows(XImage* image) {
  image->data = nullptr;  // the rows belong to the buffer
  XDestroyImage(image);
}

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
    presenter.sendAll = true;
  }
  XImage* shared = presenter.shmImage != nullptr &&
                           presenter.shmImage->data == reinterpret_cast<char*>(buffer.pixels)
                       ? presenter.shmImage
                       : nullptr;
  XImage* plain = shared == nullptr ? ImageOverRows(d, buffer) : nullptr;
  if (shared == nullptr && plain == nullptr) return false;
  AwaitPresentedRows();
  const bool lastDelivered = !presenter.failed;
  presenter.failed = false;
  if (!lastDelivered) presenter.sendAll = true;
  TakeXErrorCount();
  const auto put = [&](const DamageBox& box, bool last) {
    const auto width = static_cast<unsigned>(box.right - box.left);
    const auto height = static_cast<unsigned>(box.bottom - box.top);
    if (shared != nullptr) {
      if (last) presenter.lastPut = NextRequest(d);  // the put whose completion is awaited
      XShmPutImage(d, window, presenter.gc, shared, box.left, box.top, box.left, box.top, width,
                   height, last ? True : False);
    } else {
      XPutImage(d, window, presenter.gc, plain, box.left, box.top, box.left, box.top, width, height);
    }
  };
  const std::vector<DamageBox>& boxes = buffer.changed.Boxes();
  const bool whole = presenter.sendAll || buffer.changed.Everything();
  if (whole) {
    put(DamageBox{0, 0, buffer.width, buffer.height}, true);
  } else {
    for (size_t i = 0; i < boxes.size(); ++i) put(boxes[i], i + 1 == boxes.size());
  }
  if (plain != nullptr) {
    // XPutImage has taken the rows already; only its errors are awaited.
    DropImageOverRows(plain);
    XSync(d, False);
    presenter.sendAll = TakeXErrorCount() > 0;
    return lastDelivered && !presenter.sendAll;
  }
  presenter.sendAll = false;
  XFlush(d);
  presenter.inFlight = whole || !boxes.empty();
  return lastDelivered;
}

void AwaitPresentedRows() {
  if (!presenter.inFlight) return;
  presenter.inFlight = false;
  Display* d = XConnectionIfOpen();
  if (d == nullptr) return;
  if (!Handled(d, presenter.lastPut)) XEventsQueued(d, QueuedAfterReading);
  if (!Handled(d, presenter.lastPut)) XSync(d, False);
  // The completion events, wherever they are in the queue, mean nothing to
  // the window's event handling.
  XEvent done;
  while (XCheckTypedEvent(d, presenter.completionType, &done)) {
  }
  presenter.failed = TakeXErrorCount() > 0;
}

uint8_t* AcquirePresentMemory(int32_t, int32_t height, int32_t pitch, int32_t bitsPerPixel) {
  Display* d = XConnectionIfOpen();
  if (d == nullptr) return nullptr;
  XImage* image = CreateShmImage(d, pitch, height, bitsPerPixel);
  return image != nullptr ? reinterpret_cast<uint8_t*>(image->data) : nullptr;
}

void ReleasePresentMemory(uint8_t* memory) {
  if (presenter.shmImage == nullptr || presenter.shmImage->data != reinterpret_cast<char*>(memory)) {
    return;
  }
  DropShmImage(XConnectionIfOpen());
}

void PresentWholeBufferNext() { presenter.sendAll = true; }

void EndPresenting() {
  Display* d = XConnectionIfOpen();
  if (d != nullptr && presenter.gc != nullptr) XFreeGC(d, presenter.gc);
  presenter.gc = nullptr;
  presenter.window = None;
  presenter.sendAll = true;
}

}  // namespace vivuvev
