// The window library on the web: every numbered window is a record over the
// page's one canvas, and the only message the page sends is the canvas's new
// size (a resize of the browser window, a change of device-pixel ratio, full
// screen), which goes to window 0, the animation's, as the size message
// every platform turns its resizes into.
//
// Implemented: numbered windows, the event queue, size messages.
// Not implemented: moves, focus, activation, close requests (a page cannot
// be closed from inside), sticky windows (the canvas is always on top).
#include <cstdint>

#include "display/window.h"
#include "display/window_events.h"
#include "display/window_notifications.h"
#include "display/window_table.h"
#include "platform/web/web_parts.h"

namespace vivuvev {

namespace {

constexpr int32_t CanvasWindow = 0;

// The canvas's newest size that no PollWindowEvent has taken yet.
bool sizePending = false;
int32_t pendingWidth = 0;
int32_t pendingHeight = 0;

}  // namespace

void StartWindowLibrary() { StartWindowTables(); }

void EndWindowLibrary() {
  EndWindowTables();
  sizePending = false;
}

WindowHandle OpenDisplayWindow(int32_t number, int32_t, int32_t, int32_t, int32_t, const char*,
                               uint32_t flags) {
  const bool assigned = number == -1;
  const WindowRecord* record = ClaimPlainWindow(&number, flags);
  if (record == nullptr) return nullptr;
  return OpenedWindowHandle(assigned, number, *record);
}

int32_t SetWindowSticky(int32_t number, int32_t) { return FindWindowRecord(number) != nullptr ? 1 : 0; }

int32_t NextWindowEvent(int32_t) {
  WindowEvent event{};
  if (TakeWindowEvent(&event)) return event.code;
  if (!sizePending) return 0;
  sizePending = false;
  WindowRecord* record = FindWindowRecord(CanvasWindow);
  if (record == nullptr) return 0;
  FinishWindowMessage(CanvasWindow,
                      HandleWindowMessage(CanvasWindow, record, true, MessageSize, SizeRestored,
                                          PackCoordinates(pendingWidth, pendingHeight)));
  return static_cast<int32_t>(MessageSize);
}

int32_t PollWindowEvent() { return NextWindowEvent(0); }

int32_t CloseDisplayWindow(int32_t number) {
  WindowRecord* record = FindWindowRecord(number);
  if (record == nullptr) return 0;
  DropWindowEvents(number);
  *record = WindowRecord{};
  return 1;
}

void PostWebCanvasSize(int32_t width, int32_t height) {
  sizePending = true;
  pendingWidth = width;
  pendingHeight = height;
}

}  // namespace vivuvev
