// The window library on X11 (Xlib): numbered top-level windows made with
// XCreateWindow, kept above the others with the desktop conventions'
// _NET_WM_STATE_ABOVE when a window manager runs and by raising them
// otherwise, and a pump that takes at most one X event per call. X events are
// translated by window_notifications.cpp into the messages HandleWindowMessage
// knows, so the same window events are queued as on Windows. A window that is
// destroyed from outside (DestroyNotify, or an error that says it does not
// exist) is reported once as destroyed. A window whose maker selected its key
// presses (the module's own) hands each press to the keyboard as an event.
//
// Window styles with no X counterpart here (tool windows, maximised,
// minimised, centring on the active window) are taken as plain windows.
#include <poll.h>
#include <unistd.h>

#include <cstring>
#include <map>

// The portable headers come before Xlib's, whose macros (None, Expose, ...)
// would otherwise replace names in them.
#include "base/system.h"
#include "display/screen.h"
#include "display/window.h"
#include "display/window_events.h"
#include "display/window_notifications.h"
#include "display/window_table.h"
#include "input/keyboard.h"
#include "input/keymap.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include "platform/x11/x11_parts.h"

namespace vivuvev {

namespace {

constexpr long WindowEvents = ExposureMask | StructureNotifyMask | FocusChangeMask | VisibilityChangeMask;
constexpr int32_t DefaultPosition = -65535;
constexpr uint32_t MapWaitMs = 2000;

struct NativeWindow {
  Window window;
  bool foreign;  // the module's drawing window: used, never made or destroyed
  bool sticky;
  bool gone;     // destroyed from outside: no request may name it any more
  WindowTrack track;
};

std::map<int32_t, NativeWindow> natives;

// _MOTIF_WM_HINTS: flags, functions, decorations, input mode, status.
struct MotifHints {
  unsigned long flags, functions, decorations;
  long inputMode;
  unsigned long status;
};
constexpr unsigned long MotifDecorationsFlag = 2;

void SendWmState(Display* d, Window w, bool add, Atom state) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = w;
  event.xclient.message_type = Atoms().netWmState;
  event.xclient.format = 32;
  event.xclient.data.l[0] = add ? 1 : 0;  // _NET_WM_STATE_ADD, _NET_WM_STATE_REMOVE
  event.xclient.data.l[1] = static_cast<long>(state);
  event.xclient.data.l[3] = 1;  // from a normal application
  XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

// Waits, boundedly, until the server has mapped w, so that it can take the
// focus the way a shown window is activated on Windows.
bool WaitUntilMapped(Display* d, Window w) {
  const uint32_t start = TickCount();
  XEvent event{};
  while (TickCount() - start < MapWaitMs) {
    if (XCheckTypedWindowEvent(d, w, MapNotify, &event)) return true;
    SleepMilliseconds(1);
  }
  return false;
}

Window CreateOwnWindow(Display* d, int32_t x, int32_t y, int32_t width, int32_t height,
                       const char* title, uint32_t flags) {
  const MonitorRect monitor = PrimaryMonitor();
  const bool defaultPlace = (x == DefaultPosition || y == DefaultPosition) &&
                            (flags & (WindowCentreOnScreen | WindowCentreOnActive)) == 0;
  if (flags & WindowCentreOnScreen) {
    if (width > monitor.width) width = monitor.width;
    if (height > monitor.height) height = monitor.height;
    x = (monitor.width - width) / 2;
    y = (monitor.height - height) / 2;
  }
  if (defaultPlace) x = y = 0;
  XSetWindowAttributes attributes{};
  attributes.background_pixel = BlackPixel(d, DefaultScreen(d));
  attributes.event_mask = WindowEvents;
  attributes.cursor = ProgramCursor();
  const Window w = XCreateWindow(d, DefaultRootWindow(d), monitor.x + x, monitor.y + y,
                                 static_cast<unsigned>(width > 0 ? width : 1),
                                 static_cast<unsigned>(height > 0 ? height : 1), 0, CopyFromParent,
                                 InputOutput, CopyFromParent, CWBackPixel | CWEventMask | CWCursor,
                                 &attributes);
  if (w == None) return None;
  NameProgramWindow(d, w, title);
  Atom protocols[] = {Atoms().wmDeleteWindow};
  XSetWMProtocols(d, w, protocols, 1);
  XSizeHints* size = XAllocSizeHints();
  if (size != nullptr) {
    size->flags = defaultPlace ? PSize : (USPosition | USSize | PPosition | PSize);
    size->x = monitor.x + x;
    size->y = monitor.y + y;
    size->width = width;
    size->height = height;
    XSetWMNormalHints(d, w, size);
    XFree(size);
  }
  if (flags & WindowBorderless) {
    MotifHints hints{MotifDecorationsFlag, 0, 0, 0, 0};
    XChangeProperty(d, w, Atoms().motifWmHints, Atoms().motifWmHints, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&hints), 5);
    // A borderless window over the whole primary monitor covers panels too,
    // as a pop-up of the screen's size does on Windows.
    if (x == 0 && y == 0 && width == monitor.width && height == monitor.height) {
      Atom state = Atoms().netWmStateFullscreen;
      XChangeProperty(d, w, Atoms().netWmState, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<unsigned char*>(&state), 1);
    }
  }
  if ((flags & WindowHidden) == 0) {
    XMapRaised(d, w);
    if (WaitUntilMapped(d, w)) XSetInputFocus(d, w, RevertToPointerRoot, CurrentTime);
  }
  XFlush(d);
  return w;
}

// The notice an X event gives, if any.
bool NoticeFor(Display* d, const XEvent& event, WindowNotice* notice) {
  *notice = WindowNotice{};
  switch (event.type) {
    case ConfigureNotify: {
      const XConfigureEvent& c = event.xconfigure;
      int rootX = c.x, rootY = c.y;
      if (!c.send_event) {
        // A real notification is relative to the parent, which is a window
        // manager's frame when there is one.
        Window child = None;
        XTranslateCoordinates(d, c.window, DefaultRootWindow(d), 0, 0, &rootX, &rootY, &child);
      }
      const MonitorRect monitor = PrimaryMonitor();
      *notice = {WindowNotification::Geometry, rootX - monitor.x, rootY - monitor.y, c.width, c.height,
                 true};
      return true;
    }
    case MapNotify:
      notice->kind = WindowNotification::Mapped;
      return true;
    case UnmapNotify:
      notice->kind = WindowNotification::Unmapped;
      return true;
    case Expose:
      PresentWholeBufferNext();
      notice->kind = WindowNotification::Exposed;
      notice->last = event.xexpose.count == 0;
      return true;
    case FocusIn:
    case FocusOut:
      // Pointer-root bookkeeping and grabs are not the window gaining or
      // losing the focus.
      if (event.xfocus.detail == NotifyPointer || event.xfocus.detail == NotifyInferior ||
          event.xfocus.mode == NotifyGrab || event.xfocus.mode == NotifyUngrab) {
        return false;
      }
      notice->kind = event.type == FocusIn ? WindowNotification::GainedFocus : WindowNotification::LostFocus;
      return true;
    case DestroyNotify:
      // Only the server's word counts: another client may send anything.
      if (event.xdestroywindow.send_event) return false;
      notice->kind = WindowNotification::Destroyed;
      return true;
    case ClientMessage:
      if (event.xclient.message_type != Atoms().wmProtocols ||
          static_cast<Atom>(event.xclient.data.l[0]) != Atoms().wmDeleteWindow) {
        return false;
      }
      notice->kind = WindowNotification::CloseRequest;
      return true;
    default:
      return false;
  }
}

// Handles a notice about window number; returns the identifier of the first
// message it became.
int32_t DispatchNotice(int32_t number, NativeWindow& native, const WindowNotice& notice) {
  if (notice.kind == WindowNotification::Destroyed) native.gone = true;
  const WindowHandle handle = ToWindowHandle(native.window);
  const TranslatedMessages translated = TranslateWindowNotice(&native.track, notice);
  for (int32_t i = 0; i < translated.count; ++i) {
    const TranslatedMessage& m = translated.messages[i];
    WindowRecord* record = FindWindowRecord(number);
    if (record == nullptr) break;
    const WindowMessageResult result = HandleWindowMessage(number, record, true, m.message, m.wParam, m.lParam);
    // The erasure's default handling: show the last frame again where the
    // Screen presents into this window. The other actions concern child
    // controls, which these windows do not have.
    if (m.message == MessageEraseBackground && result.action == WindowAction::CallDefault &&
        ScreenParentWindow() == handle) {
      PresentFrame();
    }
    FinishWindowMessage(number, result);
  }
  return translated.count > 0 ? static_cast<int32_t>(translated.messages[0].message) : 0;
}

// Handles one X event; returns the identifier of the first message it became.
int32_t DispatchXEvent(Display* d, const XEvent& event) {
  const int32_t number = WindowNumberOf(ToWindowHandle(event.xany.window));
  if (number < 0) return 0;
  NativeWindow& native = natives[number];
  if (event.type == ReparentNotify) {
    KeyboardWindowReparented(event.xreparent.window);
    return 0;
  }
  if (event.type == VisibilityNotify) {
    // Without a window manager nothing keeps a sticky window on top but the
    // window itself.
    if (native.sticky && !native.foreign && event.xvisibility.state != VisibilityUnobscured &&
        !WindowManagerRunning()) {
      XRaiseWindow(d, native.window);
    }
    return 0;
  }
  if (event.type == KeyPress) {
    // Only a window whose maker selected them delivers key presses.
    NoteKeyPress(ScanCodeOfKeycode(event.xkey.keycode));
    return static_cast<int32_t>(MessageKeyDown);
  }
  WindowNotice notice{};
  if (!NoticeFor(d, event, &notice)) return 0;
  return DispatchNotice(number, native, notice);
}

// Reports the end of a window that an error said is gone, if its destruction
// has not been reported yet; returns the identifier of the first message, or 0.
int32_t ReportGoneWindow() {
  for (auto& [number, native] : natives) {
    if (native.gone && !native.track.destroyed) {
      return DispatchNotice(number, native, WindowNotice{WindowNotification::Destroyed, 0, 0, 0, 0, true});
    }
  }
  return 0;
}

bool WaitForXEvent(Display* d, int32_t timeoutMs) {
  if (XEventsQueued(d, QueuedAfterFlush) > 0) return true;
  if (timeoutMs == 0) return false;
  pollfd connection{ConnectionNumber(d), POLLIN, 0};
  if (poll(&connection, 1, timeoutMs < 0 ? -1 : timeoutMs) <= 0) return false;
  return XEventsQueued(d, QueuedAfterReading) > 0;
}

}  // namespace

void StartWindowLibrary() { StartWindowTables(); }

void EndWindowLibrary() {
  EndWindowTables();
  natives.clear();
  ReleaseProgramCursor();
  CloseXConnection();
}

WindowHandle OpenDisplayWindow(int32_t number, int32_t x, int32_t y, int32_t width, int32_t height,
                               const char* title, uint32_t flags) {
  Display* d = XConnection();
  const bool assigned = number == -1;
  WindowRecord* record = ClaimWindowSlot(&number);
  if (record == nullptr) return nullptr;
  NativeWindow native{};
  native.foreign = DrawingWindow() != None;
  if (native.foreign) {
    native.window = DrawingWindow();
    // What its maker selected stays selected: the module takes the keys of
    // its own window as events.
    XWindowAttributes made{};
    const long kept = XGetWindowAttributes(d, native.window, &made) ? made.your_event_mask : NoEventMask;
    XSelectInput(d, native.window, kept | WindowEvents);
  } else {
    native.window = CreateOwnWindow(d, x, y, width, height, title ? title : "", flags);
    if (native.window == None) return nullptr;
  }
  record->handle = ToWindowHandle(native.window);
  record->minimisedOrMaximised = (flags & (WindowMinimised | WindowMaximised)) ? 1 : 0;
  if (native.foreign) {
    // A size change made before its events were selected is never reported:
    // the size it has now is the last one known.
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(d, native.window, &attributes)) {
      record->width = attributes.width;
      record->height = attributes.height;
    } else {
      native.gone = true;  // destroyed before its events were selected: no DestroyNotify comes
    }
  }
  natives[number] = native;
  return OpenedWindowHandle(assigned, number, *record);
}

int32_t SetWindowSticky(int32_t number, int32_t on) {
  if (FindWindowRecord(number) == nullptr) return 0;
  NativeWindow& native = natives[number];
  native.sticky = on != 0;
  if (native.foreign) return 1;
  Display* d = XConnection();
  if (WindowManagerRunning()) SendWmState(d, native.window, native.sticky, Atoms().netWmStateAbove);
  if (native.sticky) XRaiseWindow(d, native.window);
  XFlush(d);
  return 1;
}

void NoteMissingWindow(XID id) {
  for (auto& entry : natives) {
    if (entry.second.window == id) entry.second.gone = true;
  }
}

void NameProgramWindow(Display* d, Window w, const char* title) {
  XStoreName(d, w, title);
  XChangeProperty(d, w, Atoms().netWmName, Atoms().utf8String, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(title), static_cast<int>(std::strlen(title)));
  XClassHint classHint{const_cast<char*>("vivuvev"), const_cast<char*>("Vivuvev")};
  XSetClassHint(d, w, &classHint);
  // Xlib takes 32-bit property items as longs.
  const long pid = static_cast<long>(getpid());
  XChangeProperty(d, w, Atoms().netWmPid, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&pid), 1);
  char host[256] = {};
  char* hosts[] = {host};
  XTextProperty machine{};
  if (gethostname(host, sizeof host - 1) == 0 && XStringListToTextProperty(hosts, 1, &machine)) {
    XSetWMClientMachine(d, w, &machine);
    XFree(machine.value);
  }
}

bool WindowIsSticky(int32_t number) {
  auto found = natives.find(number);
  return FindWindowRecord(number) != nullptr && found != natives.end() && found->second.sticky;
}

int32_t NextWindowEvent(int32_t timeoutMs) {
  WindowEvent queued{};
  if (TakeWindowEvent(&queued)) return queued.code;
  Display* d = XConnectionIfOpen();
  if (d == nullptr) return 0;
  // Its DestroyNotify may wait behind many events; the errors came at once.
  if (const int32_t gone = ReportGoneWindow(); gone != 0) return gone;
  if (!WaitForXEvent(d, timeoutMs)) return 0;
  XEvent event{};
  XNextEvent(d, &event);
  return DispatchXEvent(d, event);
}

int32_t PollWindowEvent() { return NextWindowEvent(0); }

int32_t CloseDisplayWindow(int32_t number) {
  WindowRecord* record = FindWindowRecord(number);
  if (record == nullptr) return 0;
  auto found = natives.find(number);
  Display* d = XConnectionIfOpen();
  if (found != natives.end() && d != nullptr && !found->second.gone) {
    if (found->second.foreign) {
      XSelectInput(d, found->second.window, NoEventMask);
    } else {
      XDestroyWindow(d, found->second.window);
    }
    XFlush(d);
  }
  if (found != natives.end()) natives.erase(found);
  DropWindowEvents(number);
  *record = WindowRecord{};
  return 1;
}

}  // namespace vivuvev
