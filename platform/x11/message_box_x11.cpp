// The message box on X11: a small fixed-size window of its own, centred on the
// primary monitor, drawn with the server's "fixed" font, with one OK button.
// Return, Escape, a click on OK or the window manager's close end it. While it
// is open the program's sticky windows stop being sticky, so that none of them
// covers it, and become sticky again afterwards.
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cstring>
#include <vector>

#include "display/window.h"
#include "display/window_table.h"
#include "launch/message_box.h"
#include "launch/message_box_layout.h"
#include "platform/x11/x11_parts.h"

namespace vivuvev {

namespace {

constexpr long BoxEvents = ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask |
                           StructureNotifyMask;

struct Box {
  Display* display;
  Window window;
  GC gc;
  XFontStruct* font;
  MessageBoxLayout layout;
};

void Draw(const Box& box, bool pressed) {
  Display* d = box.display;
  const int screen = DefaultScreen(d);
  XSetForeground(d, box.gc, WhitePixel(d, screen));
  XFillRectangle(d, box.window, box.gc, 0, 0, static_cast<unsigned>(box.layout.width),
                 static_cast<unsigned>(box.layout.height));
  XSetForeground(d, box.gc, BlackPixel(d, screen));
  for (size_t i = 0; i < box.layout.lines.size(); ++i) {
    const std::string& line = box.layout.lines[i];
    XDrawString(d, box.window, box.gc, box.layout.textX, box.layout.baselines[i], line.c_str(),
                static_cast<int>(line.size()));
  }
  const BoxRect& b = box.layout.button;
  if (pressed) {
    XFillRectangle(d, box.window, box.gc, b.x, b.y, static_cast<unsigned>(b.width),
                   static_cast<unsigned>(b.height));
    XSetForeground(d, box.gc, WhitePixel(d, screen));
  } else {
    XDrawRectangle(d, box.window, box.gc, b.x, b.y, static_cast<unsigned>(b.width - 1),
                   static_cast<unsigned>(b.height - 1));
  }
  XDrawString(d, box.window, box.gc, box.layout.buttonTextX, box.layout.buttonTextY, ButtonLabel,
              static_cast<int>(std::strlen(ButtonLabel)));
}

Window CreateBoxWindow(Display* d, const char* title, const MessageBoxLayout& layout) {
  const MonitorRect monitor = PrimaryMonitor();
  const int x = monitor.x + (monitor.width - layout.width) / 2;
  const int y = monitor.y + (monitor.height - layout.height) / 2;
  const int screen = DefaultScreen(d);
  const Window w = XCreateSimpleWindow(d, RootWindow(d, screen), x, y, static_cast<unsigned>(layout.width),
                                       static_cast<unsigned>(layout.height), 1, BlackPixel(d, screen),
                                       WhitePixel(d, screen));
  XSelectInput(d, w, BoxEvents);
  NameProgramWindow(d, w, title);
  Atom dialog = Atoms().netWmWindowTypeDialog;
  XChangeProperty(d, w, Atoms().netWmWindowType, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&dialog), 1);
  Atom protocols[] = {Atoms().wmDeleteWindow};
  XSetWMProtocols(d, w, protocols, 1);
  if (XSizeHints* size = XAllocSizeHints()) {
    size->flags = PPosition | PSize | PMinSize | PMaxSize;
    size->x = x;
    size->y = y;
    size->width = size->min_width = size->max_width = layout.width;
    size->height = size->min_height = size->max_height = layout.height;
    XSetWMNormalHints(d, w, size);
    XFree(size);
  }
  return w;
}

Bool ForWindow(Display*, XEvent* event, XPointer window) {
  return event->xany.window == *reinterpret_cast<Window*>(window) ? True : False;
}

// Runs the box until it is closed.
void RunBox(Box& box) {
  Display* d = box.display;
  bool pressed = false;
  for (;;) {
    XEvent event{};
    // Only the box's own events: whatever arrives for other windows waits for
    // their pump.
    XIfEvent(d, &event, ForWindow, reinterpret_cast<XPointer>(&box.window));
    switch (event.type) {
      case MapNotify:
        XSetInputFocus(d, box.window, RevertToPointerRoot, CurrentTime);
        break;
      case Expose:
        if (event.xexpose.count == 0) Draw(box, pressed);
        break;
      case KeyPress: {
        const KeySym key = XLookupKeysym(&event.xkey, 0);
        if (key == XK_Return || key == XK_KP_Enter || key == XK_Escape) return;
        break;
      }
      case ButtonPress:
        if (event.xbutton.button == Button1 && OnButton(box.layout, event.xbutton.x, event.xbutton.y)) {
          pressed = true;
          Draw(box, pressed);
        }
        break;
      case ButtonRelease:
        if (event.xbutton.button == Button1 && pressed) {
          if (OnButton(box.layout, event.xbutton.x, event.xbutton.y)) return;
          pressed = false;
          Draw(box, pressed);
        }
        break;
      case ClientMessage:
        if (event.xclient.message_type == Atoms().wmProtocols &&
            static_cast<Atom>(event.xclient.data.l[0]) == Atoms().wmDeleteWindow) {
          return;
        }
        break;
      default:
        break;
    }
  }
}

}  // namespace

int32_t ShowMessageBox(const char* title, const char* message, uint32_t) {
  Display* d = XConnection();
  XFontStruct* font = XLoadQueryFont(d, "fixed");
  if (font == nullptr) return 0;
  Box box{d, None, nullptr, font, {}};
  box.layout = LayOutMessageBox(
      message,
      [font](const std::string& text) { return XTextWidth(font, text.c_str(), static_cast<int>(text.size())); },
      font->ascent, font->descent);
  box.window = CreateBoxWindow(d, title ? title : "", box.layout);
  box.gc = XCreateGC(d, box.window, 0, nullptr);
  XSetFont(d, box.gc, font->fid);

  std::vector<int32_t> unstuck;
  for (int32_t n = 0; n < WindowTableSize(); ++n) {
    if (WindowIsSticky(n)) {
      SetWindowSticky(n, 0);
      unstuck.push_back(n);
    }
  }
  XMapRaised(d, box.window);
  RunBox(box);
  XFreeGC(d, box.gc);
  XDestroyWindow(d, box.window);
  XFreeFont(d, font);
  for (int32_t n : unstuck) SetWindowSticky(n, 1);
  XFlush(d);
  return 1;
}

}  // namespace vivuvev
