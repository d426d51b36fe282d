// Presenting on X11: what the back buffer's change log names goes to the
// window, one rectangle per request, with XShmPutImage when the server offers
// MIT-SHM (and lets this client attach a segment) and with XPutImage straight
// from the buffer's rows otherwise. With MIT-SHM the back buffer itself lives
// in the shared segment, so presenting copies nothing on this side. The whole
// buffer goes on a window's first present and after an expose.
//
// The images are made in the visual and depth of the window drawn in (the
// module's window, or the root window's for windows of the programs' own),
// whose pixels must take the buffer's rows as they are: 32-bit X8R8G8B8 for
// 24- and 32-bit TrueColor, 16-bit R5G6B5. A 32-bit visual's alpha bits,
// which the buffer does not have, are filled by the server before the whole
// buffer goes, and the puts leave them alone (their GC's plane mask), so the
// window is opaque. Any other visual cannot be drawn: one line on stderr and
// status 1, since nothing could ever be shown.
//
// The segment is a memfd passed to the server as a file descriptor (MIT-SHM
// 1.2, over a local socket). Only where that cannot be is it a System V
// segment, attached by its id; the server must then be seen to have attached
// this very segment (its attach count), since a server in another IPC
// namespace would attach whatever segment has that id there. A segment that
// cannot be had or attached leaves that Screen's buffer on the heap, and the
// next one is asked for again: only a server without MIT-SHM, or one that
// wants the other byte order, goes without for the rest of the run.
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
#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/mman.h>
#include <sys/shm.h>
#include <sys/socket.h>
#include <unistd.h>
#include <xcb/shm.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "base/system.h"
#include "display/visual_format.h"
#include "software/present.h"
#include "platform/x11/x11_parts.h"

namespace vivuvev {

namespace {

// The window drawn in, as its pixels are laid out.
struct Target {
  Visual* visual = nullptr;
  int depth = 0;
  uint32_t alphaBits = 0;  // of a 32-bit visual with an alpha channel
};

struct Presenter {
  Target target;
  Window window = None;
  GC gc = nullptr;       // puts: every plane but the alpha bits
  GC alphaGc = nullptr;  // fills the alpha bits, for a visual that has them
  bool sendAll = true;   // the window may show anything: send the whole buffer
  bool shmAbsent = false;  // the server has no MIT-SHM, or wants the other byte order
  // The segment the back buffer lives in, and an image over its rows.
  XImage* shmImage = nullptr;
  XShmSegmentInfo segment = {};
  size_t segmentBytes = 0;
  bool segmentMapped = false;  // a memfd mapping (munmap), else a System V one (shmdt)
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

const char* VisualClassName(int c) {
  switch (c) {
    case TrueColor:
      return "TrueColor";
    case DirectColor:
      return "DirectColor";
    case PseudoColor:
      return "PseudoColor";
    case StaticColor:
      return "StaticColor";
    case GrayScale:
      return "GrayScale";
    default:
      return "StaticGray";
  }
}

// Whether the server has handled request serial.
bool Handled(Display* d, unsigned long serial) {
  return static_cast<long>(LastKnownRequestProcessed(d) - serial) >= 0;
}

// The segment's memory goes; the server's attachment has gone already.
void UnmapSegment() {
  if (presenter.segmentMapped) {
    munmap(presenter.segment.shmaddr, presenter.segmentBytes);
  } else {
    shmdt(presenter.segment.shmaddr);
  }
  presenter.segment = XShmSegmentInfo{};
  presenter.segmentBytes = 0;
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
  presenter.shmImage = nullptr;
  UnmapSegment();
}

// Whether the server can be handed a file descriptor: MIT-SHM 1.2 over a
// local socket.
bool PassesDescriptors(Display* d) {
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  if (getsockname(ConnectionNumber(d), reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
      address.ss_family != AF_UNIX) {
    return false;
  }
  xcb_connection_t* c = XGetXCBConnection(d);
  xcb_shm_query_version_reply_t* version =
      xcb_shm_query_version_reply(c, xcb_shm_query_version(c), nullptr);
  const bool passes = version != nullptr && (version->major_version > 1 ||
                                             (version->major_version == 1 && version->minor_version >= 2));
  std::free(version);
  return passes;
}

// A memfd of bytes, mapped here and attached by the server through its file
// descriptor; false, with nothing held, when any step fails.
bool AttachMemfd(Display* d, size_t bytes) {
  const int fd = memfd_create("vivuvev-back-buffer", MFD_CLOEXEC);
  if (fd < 0) return false;
  void* memory = MAP_FAILED;
  if (ftruncate(fd, static_cast<off_t>(bytes)) == 0) {
    memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  }
  if (memory == MAP_FAILED) {
    close(fd);
    return false;
  }
  xcb_connection_t* c = XGetXCBConnection(d);
  const xcb_shm_seg_t id = xcb_generate_id(c);
  // XCB closes the descriptor once it is sent; the mapping stays.
  xcb_generic_error_t* error = xcb_request_check(c, xcb_shm_attach_fd_checked(c, id, fd, 1));
  if (error != nullptr) {
    std::free(error);
    munmap(memory, bytes);
    return false;
  }
  presenter.segment.shmseg = id;
  presenter.segment.shmid = -1;
  presenter.segment.shmaddr = static_cast<char*>(memory);
  presenter.segment.readOnly = True;
  presenter.segmentBytes = bytes;
  presenter.segmentMapped = true;
  return true;
}

// A System V segment of bytes, attached here and by the server; false, with
// nothing held, when any step fails or the server attached another segment.
bool AttachSysV(Display* d, size_t bytes) {
  XShmSegmentInfo& s = presenter.segment;
  s.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  if (s.shmid < 0) return false;
  s.shmaddr = static_cast<char*>(shmat(s.shmid, nullptr, 0));
  // Marked for removal at once: it goes away when both sides have detached,
  // however the process ends.
  shmctl(s.shmid, IPC_RMID, nullptr);
  if (s.shmaddr == reinterpret_cast<char*>(-1)) {
    s = XShmSegmentInfo{};
    return false;
  }
  s.readOnly = True;
  presenter.segmentBytes = bytes;
  presenter.segmentMapped = false;
  TakeXErrorCount();
  const bool sent = XShmAttach(d, &s);
  XSync(d, False);
  shmid_ds state{};
  // This process and the server, and no one else, hold the segment now.
  const bool ours = shmctl(s.shmid, IPC_STAT, &state) == 0 && state.shm_nattch == 2;
  if (!sent || TakeXErrorCount() > 0 || !ours) {
    if (sent) {
      XShmDetach(d, &s);
      XSync(d, False);
      TakeXErrorCount();
    }
    UnmapSegment();
    return false;
  }
  return true;
}

// A shared image of pitch x height bytes whose rows are pitch bytes apart,
// or null when MIT-SHM cannot be used for it.
XImage* CreateShmImage(Display* d, int32_t pitch, int32_t height, int32_t bitsPerPixel) {
  DropShmImage(d);
  if (presenter.shmAbsent || !XShmQueryExtension(d)) {
    presenter.shmAbsent = true;
    return nullptr;
  }
  XImage* image = XShmCreateImage(d, presenter.target.visual, static_cast<unsigned>(presenter.target.depth),
                                  ZPixmap, nullptr, &presenter.segment,
                                  static_cast<unsigned>(pitch / (bitsPerPixel / 8)),
                                  static_cast<unsigned>(height));
  if (image == nullptr) return nullptr;
  const size_t bytes = static_cast<size_t>(image->bytes_per_line) * static_cast<size_t>(image->height);
  const bool attached = image->bytes_per_line == pitch &&
                        ((PassesDescriptors(d) && AttachMemfd(d, bytes)) || AttachSysV(d, bytes));
  if (!attached) {
    XDestroyImage(image);
    return nullptr;
  }
  image->data = presenter.segment.shmaddr;
  presenter.shmImage = image;
  presenter.completionType = XShmGetEventBase(d) + ShmCompletion;
  return image;
}

// The window's layout, or a null visual when the server cannot say.
Target TargetOf(Display* d, Window window) {
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(d, window, &attributes)) return {};
  return {attributes.visual, attributes.depth, 0};
}

void FreeGCs(Display* d) {
  if (d != nullptr && presenter.gc != nullptr) XFreeGC(d, presenter.gc);
  if (d != nullptr && presenter.alphaGc != nullptr) XFreeGC(d, presenter.alphaGc);
  presenter.gc = nullptr;
  presenter.alphaGc = nullptr;
}

void UseWindow(Display* d, Window window) {
  FreeGCs(d);
  XGCValues values{};
  values.plane_mask = ~static_cast<unsigned long>(presenter.target.alphaBits);
  presenter.gc = XCreateGC(d, window, GCPlaneMask, &values);
  if (presenter.target.alphaBits != 0) {
    values.plane_mask = presenter.target.alphaBits;
    values.foreground = presenter.target.alphaBits;
    presenter.alphaGc = XCreateGC(d, window, GCPlaneMask | GCForeground, &values);
  }
  presenter.window = window;
  presenter.sendAll = true;
}

}  // namespace

XImage* ImageOverRows(Display* d, const BackBuffer& buffer) {
  if (presenter.target.visual == nullptr) return nullptr;
  XImage* image = XCreateImage(d, presenter.target.visual, static_cast<unsigned>(presenter.target.depth),
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

uint32_t PresentAlphaBits() { return presenter.target.alphaBits; }

int32_t DisplayBitsPerPixel() {
  Display* d = XConnection();
  const Window drawing = DrawingWindow();
  Target target = TargetOf(d, drawing != None ? drawing : DefaultRootWindow(d));
  if (target.visual == nullptr) return 0;
  const Visual& v = *target.visual;
  const VisualLayout layout{v.c_class == TrueColor,
                            target.depth,
                            ZPixmapBits(d, target.depth),
                            static_cast<uint32_t>(v.red_mask),
                            static_cast<uint32_t>(v.green_mask),
                            static_cast<uint32_t>(v.blue_mask)};
  const int32_t bits = BackBufferBitsFor(layout);
  if (bits == 0) {
    std::fprintf(stderr, "%s: cannot draw in a window of depth %d and a %s visual (0x%lx)\n",
                 program_invocation_short_name, target.depth, VisualClassName(v.c_class), v.visualid);
    ExitProcess(1);
  }
  target.alphaBits = AlphaBitsFor(layout);
  if (target.visual != presenter.target.visual || target.depth != presenter.target.depth) {
    presenter.window = None;  // the next present makes its GCs for the new layout
  }
  presenter.target = target;
  // The buffer's words are little-endian; a server that wants the other order
  // gets them swapped by XPutImage but not through a shared segment.
  if (ImageByteOrder(d) != LSBFirst) presenter.shmAbsent = true;
  return bits;
}

bool PresentBackBuffer(WindowHandle parent, const BackBuffer& buffer) {
  Display* d = XConnectionIfOpen();
  if (d == nullptr || parent == nullptr || buffer.width <= 0 || buffer.height <= 0) return false;
  const Window window = ToXWindow(parent);
  if (presenter.window != window) UseWindow(d, window);
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
    if (presenter.alphaGc != nullptr) {
      XFillRectangle(d, window, presenter.alphaGc, 0, 0, static_cast<unsigned>(buffer.width),
                     static_cast<unsigned>(buffer.height));
    }
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
  if (d == nullptr || presenter.target.visual == nullptr) return nullptr;
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
  FreeGCs(XConnectionIfOpen());
  presenter.window = None;
  presenter.sendAll = true;
}

}  // namespace vivuvev
