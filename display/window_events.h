// WindowEventQueue and what a numbered window does with each message.
//
// Both are portable: the Windows procedure, the X11 event loop and the
// headless message script all turn their messages into the same calls of
// HandleWindowMessage, so every platform queues the same events.
#pragma once

#include <cstddef>
#include <cstdint>

#include "display/window_table.h"

namespace vivuvev {

constexpr int32_t WindowEventMoved = 3;
constexpr int32_t WindowEventSized = 5;
constexpr int32_t WindowEventRepaint = 15;
constexpr int32_t WindowEventCloseRequest = 16;
constexpr int32_t WindowEventActivated = 13104;
constexpr int32_t WindowEventMinimized = 13107;
constexpr int32_t WindowEventMaximized = 13108;
constexpr int32_t WindowEventRestored = 13109;
// The window system destroyed the window while it was open: nothing can be
// shown in it or end the program through it any more. Unlike the codes that
// equal a message's identifier, it never comes from a pump that returns the
// identifier of a message for some other window.
constexpr int32_t WindowEventDestroyed = 13110;

struct WindowEvent {
  int32_t code;
  int32_t item;
  int32_t window;
  int32_t type;
};

// Appends an event unless it equals the one at the tail.
void QueueWindowEvent(const WindowEvent& event);
// Removes the oldest event; false when the queue is empty.
bool TakeWindowEvent(WindowEvent* event);
// Removes every event of a window number.
void DropWindowEvents(int32_t window);
void ClearWindowEvents();
size_t QueuedWindowEventCount();

// Message identifiers as the Windows window manager numbers them; the other
// platforms translate their events to these.
constexpr uint32_t MessageDestroy = 0x0002;     // WM_DESTROY
constexpr uint32_t MessageMove = 0x0003;        // WM_MOVE
constexpr uint32_t MessageSize = 0x0005;        // WM_SIZE
constexpr uint32_t MessageActivate = 0x0006;    // WM_ACTIVATE
constexpr uint32_t MessageClose = 0x0010;       // WM_CLOSE
constexpr uint32_t MessageEraseBackground = 0x0014;  // WM_ERASEBKGND
constexpr uint32_t MessageNcDestroy = 0x0082;   // WM_NCDESTROY
constexpr uint32_t MessageKeyDown = 0x0100;     // WM_KEYDOWN; bits 16-23 of lParam: the scan code
constexpr uint32_t MessageCommand = 0x0111;     // WM_COMMAND
constexpr uintptr_t SizeRestored = 0;           // SIZE_RESTORED
constexpr uintptr_t SizeMinimized = 1;          // SIZE_MINIMIZED
constexpr uintptr_t SizeMaximized = 2;          // SIZE_MAXIMIZED
constexpr int32_t CmdFocusNext = 64001;
constexpr int32_t CmdFocusPrevious = 64002;

// What the platform still has to do for a message after HandleWindowMessage.
enum class WindowAction {
  None,
  CallDefault,         // pass the message to the default procedure, return its result
  RestoreFocus,        // activation: focus the window saved at deactivation
  SaveFocus,           // deactivation: remember the focused window
  RemoveSavedFocus,    // the window is going away
  FocusNextControl,
  FocusPreviousControl,
};

struct WindowMessageResult {
  WindowAction action;
  intptr_t result;  // the procedure's result unless action is CallDefault
  // An event that follows the action (0 for none): an activation reports
  // itself only once the saved focus is back.
  int32_t eventAfterAction = 0;
};

// number and record: the numbered window found from the message's window
// (-1 and null when none); forNumberedWindow: the message is for that window
// itself, not one of its children. The events that come before the action
// are queued here; the platform then carries out the action and calls
// FinishWindowMessage.
WindowMessageResult HandleWindowMessage(int32_t number, WindowRecord* record, bool forNumberedWindow,
                                        uint32_t message, uintptr_t wParam, intptr_t lParam);
// Queues the event that follows the action of a handled message, if any.
void FinishWindowMessage(int32_t number, const WindowMessageResult& handled);

}  // namespace vivuvev
