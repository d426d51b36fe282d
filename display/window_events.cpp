#include "display/window_events.h"

#include <algorithm>
#include <deque>

namespace vivuvev {

namespace {

std::deque<WindowEvent> queue;

bool SameEvent(const WindowEvent& a, const WindowEvent& b) {
  return a.code == b.code && a.item == b.item && a.window == b.window && a.type == b.type;
}

void Queue(int32_t code, int32_t item, int32_t number) {
  QueueWindowEvent(WindowEvent{code, item, number, 0});
}

// A size message carries the new client size as two 16-bit halves.
void RecordSize(WindowRecord* record, intptr_t lParam) {
  if (record == nullptr) return;
  const auto packed = static_cast<uint32_t>(lParam);
  record->width = static_cast<int32_t>(packed & 0xFFFFu);
  record->height = static_cast<int32_t>(packed >> 16);
}

}  // namespace

void QueueWindowEvent(const WindowEvent& event) {
  if (!queue.empty() && SameEvent(queue.back(), event)) return;
  queue.push_back(event);
}

bool TakeWindowEvent(WindowEvent* event) {
  if (queue.empty()) return false;
  *event = queue.front();
  queue.pop_front();
  return true;
}

void DropWindowEvents(int32_t window) {
  queue.erase(std::remove_if(queue.begin(), queue.end(),
                             [window](const WindowEvent& e) { return e.window == window; }),
              queue.end());
}

void ClearWindowEvents() { queue.clear(); }

size_t QueuedWindowEventCount() { return queue.size(); }

void FinishWindowMessage(int32_t number, const WindowMessageResult& handled) {
  if (handled.eventAfterAction != 0) Queue(handled.eventAfterAction, 0, number);
}

WindowMessageResult HandleWindowMessage(int32_t number, WindowRecord* record, bool forNumberedWindow,
                                        uint32_t message, uintptr_t wParam, intptr_t lParam) {
  switch (message) {
    case MessageMove:
      if (forNumberedWindow) Queue(WindowEventMoved, number, number);
      return {WindowAction::None, 0};
    case MessageClose:
      // A close request never destroys the window; it is only reported.
      if (forNumberedWindow) Queue(WindowEventCloseRequest, number, number);
      return {WindowAction::None, 0};
    case MessageSize:
      switch (wParam) {
        case SizeRestored:
          if (record != nullptr && record->minimisedOrMaximised == 1) {
            record->minimisedOrMaximised = 0;
            Queue(WindowEventRestored, 0, number);
          }
          RecordSize(record, lParam);
          Queue(WindowEventSized, 0, number);
          break;
        case SizeMinimized:
          if (record != nullptr) record->minimisedOrMaximised = 1;
          Queue(WindowEventMinimized, 0, number);
          break;
        case SizeMaximized:
          if (record != nullptr) record->minimisedOrMaximised = 1;
          Queue(WindowEventMaximized, 0, number);
          RecordSize(record, lParam);
          Queue(WindowEventSized, 0, number);
          break;
        default:
          RecordSize(record, lParam);
          Queue(WindowEventSized, 0, number);
          break;
      }
      return {WindowAction::None, 0};
    case MessageActivate:
      // Never passed on to the default procedure, so activation does not move
      // the focus to the window itself. The saved focus comes back first;
      // the activation is queued after it.
      if ((wParam & 0xFFFFu) != 0) return {WindowAction::RestoreFocus, 1, WindowEventActivated};
      return {WindowAction::SaveFocus, 1};
    case MessageEraseBackground:
      Queue(WindowEventRepaint, 0, number);
      return {WindowAction::CallDefault, 0};
    case MessageNcDestroy:
      return {WindowAction::RemoveSavedFocus, 1};
    case MessageDestroy:
      // The program's own closing takes the number off the window before it
      // destroys it, so a numbered window that is destroyed was destroyed by
      // someone else: another program, or the end of the one that made it.
      if (forNumberedWindow) Queue(WindowEventDestroyed, number, number);
      return {WindowAction::CallDefault, 0};
    case MessageCommand:
      if (lParam == 0 && (wParam >> 16) != 0) {
        const auto command = static_cast<int32_t>(wParam & 0xFFFFu);
        if (command == CmdFocusNext) return {WindowAction::FocusNextControl, 0};
        if (command == CmdFocusPrevious) return {WindowAction::FocusPreviousControl, 0};
        return {WindowAction::None, 0};
      }
      return {WindowAction::CallDefault, 0};
    default:
      return {WindowAction::CallDefault, 0};
  }
}

}  // namespace vivuvev
