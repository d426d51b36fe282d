// Headless window library: numbered windows that exist only as records, and a
// message queue that the test script fills. Messages go through the same
// HandleWindowMessage as on every other platform; a key-down message also
// reaches the keyboard as a key press, as the key events of the module's own
// window do on X11.
#include <deque>
#include <map>
#include <string>

#include "display/window.h"
#include "display/window_events.h"
#include "display/window_table.h"
#include "input/keyboard.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_parts.h"

namespace vivuvev {

namespace {

struct PostedMessage {
  int32_t window;
  HeadlessMessage message;
};

std::map<int32_t, HeadlessWindow> windows;
std::deque<PostedMessage> messages;

}  // namespace

void StartWindowLibrary() { StartWindowTables(); }

void EndWindowLibrary() { EndWindowTables(); }

WindowHandle OpenDisplayWindow(int32_t number, int32_t x, int32_t y, int32_t width, int32_t height,
                               const char* title, uint32_t flags) {
  const bool assigned = number == -1;
  const WindowRecord* record = ClaimPlainWindow(&number, flags);
  if (record == nullptr) return nullptr;
  windows[number] = HeadlessWindow{true, x, y, width, height, flags, false, title ? title : ""};
  return OpenedWindowHandle(assigned, number, *record);
}

int32_t SetWindowSticky(int32_t number, int32_t on) {
  if (FindWindowRecord(number) == nullptr) return 0;
  windows[number].topmost = on != 0;
  return 1;
}

int32_t NextWindowEvent(int32_t) {
  WindowEvent event{};
  if (TakeWindowEvent(&event)) return event.code;
  if (messages.empty()) return 0;
  const PostedMessage posted = messages.front();
  messages.pop_front();
  WindowRecord* record = FindWindowRecord(posted.window);
  const int32_t number = record ? posted.window : -1;
  // No platform action here: the focus the actions move exists only on a
  // real window system.
  FinishWindowMessage(number, HandleWindowMessage(number, record, record != nullptr,
                                                  posted.message.message, posted.message.wParam,
                                                  posted.message.lParam));
  if (posted.message.message == MessageKeyDown) {
    NoteKeyPress(static_cast<int32_t>((posted.message.lParam >> 16) & 0xFF));
  }
  return static_cast<int32_t>(posted.message.message);
}

int32_t PollWindowEvent() { return NextWindowEvent(0); }

int32_t CloseDisplayWindow(int32_t number) {
  WindowRecord* record = FindWindowRecord(number);
  if (record == nullptr) return 0;
  windows.erase(number);
  DropWindowEvents(number);
  *record = WindowRecord{};
  return 1;
}

void PostHeadlessMessage(int32_t window, const HeadlessMessage& message) {
  messages.push_back(PostedMessage{window, message});
}

HeadlessWindow HeadlessWindowState(int32_t number) {
  auto found = windows.find(number);
  return found == windows.end() ? HeadlessWindow{} : found->second;
}

void ResetHeadlessWindows() {
  windows.clear();
  messages.clear();
}

}  // namespace vivuvev
