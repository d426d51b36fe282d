// The frame-rate text on X11: after a present, the box the text takes (and
// the one it took before) is put again from the back buffer, then the text is
// drawn on the window with XDrawString, white over a black shadow. Nothing
// reaches the back buffer, so the next frame's blend never sees the text. In
// a window with an alpha channel neither the puts nor the text touch it: the
// present keeps it opaque.
#include <X11/Xlib.h>

#include <algorithm>
#include <cstring>

#include "display/screen.h"
#include "module/frame_rate_overlay.h"
#include "software/back_buffer.h"
#include "platform/x11/x11_parts.h"

namespace vivuvev {

namespace {

// Bold 18-pixel text reads well over the rings; "fixed" is on every server.
const char* const FontNames[] = {"-*-courier-bold-r-normal--18-*-*-*-*-*-iso8859-1",
                                 "-misc-fixed-bold-r-normal--18-*-*-*-*-*-iso8859-1", "fixed"};
constexpr int Margin = 10;

struct Box {
  int x = 0, y = 0, width = 0, height = 0;
};

struct Overlay {
  Window window = None;
  GC gc = nullptr;
  XFontStruct* font = nullptr;
  bool fontTried = false;
  Box lastBox;  // where the text was drawn last time
};

Overlay overlay;

XFontStruct* OverlayFont(Display* d) {
  if (!overlay.fontTried) {
    overlay.fontTried = true;
    for (const char* name : FontNames) {
      overlay.font = XLoadQueryFont(d, name);
      if (overlay.font != nullptr) break;
    }
  }
  return overlay.font;
}

Box Union(const Box& a, const Box& b) {
  if (a.width <= 0 || a.height <= 0) return b;
  if (b.width <= 0 || b.height <= 0) return a;
  const int left = std::min(a.x, b.x), top = std::min(a.y, b.y);
  const int right = std::max(a.x + a.width, b.x + b.width);
  const int bottom = std::max(a.y + a.height, b.y + b.height);
  return {left, top, right - left, bottom - top};
}

Box Clip(const Box& box, const BackBuffer& buffer) {
  const int left = std::max(box.x, 0), top = std::max(box.y, 0);
  const int right = std::min(box.x + box.width, static_cast<int>(buffer.width));
  const int bottom = std::min(box.y + box.height, static_cast<int>(buffer.height));
  if (right <= left || bottom <= top) return {};
  return {left, top, right - left, bottom - top};
}

// Shows box of the back buffer again.
void PutFromBackBuffer(Display* d, Window window, const BackBuffer& buffer, const Box& box) {
  if (box.width <= 0 || box.height <= 0) return;
  XImage* image = ImageOverRows(d, buffer);
  if (image == nullptr) return;
  XPutImage(d, window, overlay.gc, image, box.x, box.y, box.x, box.y, static_cast<unsigned>(box.width),
            static_cast<unsigned>(box.height));
  DropImageOverRows(image);
}

}  // namespace

void ShowFrameRateOverlay(const char* text) {
  Display* d = XConnectionIfOpen();
  const BackBuffer* buffer = SoftwareBackBuffer();
  const Window window = ToXWindow(ScreenParentWindow());
  if (d == nullptr || buffer == nullptr || window == None) return;
  XFontStruct* font = OverlayFont(d);
  if (font == nullptr) return;
  if (overlay.window != window) {
    if (overlay.gc != nullptr) XFreeGC(d, overlay.gc);
    XGCValues values{};
    values.plane_mask = ~static_cast<unsigned long>(PresentAlphaBits());
    overlay.gc = XCreateGC(d, window, GCPlaneMask, &values);
    XSetFont(d, overlay.gc, font->fid);
    overlay.window = window;
  }
  const int length = static_cast<int>(std::strlen(text));
  const int baseline = buffer->height - Margin - font->descent;
  // The text and its shadow one pixel right and down.
  const Box box{Margin, baseline - font->ascent, XTextWidth(font, text, length) + 1,
                font->ascent + font->descent + 1};
  PutFromBackBuffer(d, window, *buffer, Clip(Union(overlay.lastBox, box), *buffer));
  overlay.lastBox = box;
  const int screen = DefaultScreen(d);
  XSetForeground(d, overlay.gc, BlackPixel(d, screen));
  XDrawString(d, window, overlay.gc, Margin + 1, baseline + 1, text, length);
  XSetForeground(d, overlay.gc, WhitePixel(d, screen));
  XDrawString(d, window, overlay.gc, Margin, baseline, text, length);
  XFlush(d);
}

void EndFrameRateOverlay() {
  Display* d = XConnectionIfOpen();
  if (d != nullptr) {
    if (overlay.gc != nullptr) XFreeGC(d, overlay.gc);
    if (overlay.font != nullptr) XFreeFont(d, overlay.font);
  }
  overlay = Overlay{};
}

}  // namespace vivuvev
