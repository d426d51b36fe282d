#include <gtest/gtest.h>

#include <vector>

#include "display/window.h"
#include "display/window_events.h"
#include "display/window_table.h"
#include "headless_fixture.h"

namespace vivuvev {
namespace {

std::vector<int32_t> DrainCodes() {
  std::vector<int32_t> codes;
  WindowEvent event{};
  while (TakeWindowEvent(&event)) codes.push_back(event.code);
  return codes;
}

class WindowEventsTest : public HeadlessTest {};

TEST_F(WindowEventsTest, OnlyAnEqualTailIsMerged) {
  QueueWindowEvent({15, 0, 0, 0});
  QueueWindowEvent({15, 0, 0, 0});
  QueueWindowEvent({3, 0, 0, 0});
  QueueWindowEvent({15, 0, 0, 0});
  QueueWindowEvent({15, 0, 1, 0});  // another window
  EXPECT_EQ(QueuedWindowEventCount(), 4u);
  EXPECT_EQ(DrainCodes(), (std::vector<int32_t>{15, 3, 15, 15}));
}

TEST_F(WindowEventsTest, DroppingAWindowsEventsKeepsTheOthersInOrder) {
  QueueWindowEvent({3, 0, 0, 0});
  QueueWindowEvent({5, 0, 1, 0});
  QueueWindowEvent({15, 0, 0, 0});
  QueueWindowEvent({16, 1, 1, 0});
  DropWindowEvents(0);
  EXPECT_EQ(DrainCodes(), (std::vector<int32_t>{5, 16}));
}

struct MessageCase {
  uint32_t message;
  uintptr_t wParam;
  intptr_t lParam;
  bool forNumberedWindow;
  WindowAction action;
  intptr_t result;
  std::vector<WindowEvent> queued;
};

TEST_F(WindowEventsTest, EachMessageQueuesItsEvents) {
  const MessageCase cases[] = {
      {MessageMove, 0, 0, true, WindowAction::None, 0, {{3, 2, 2, 0}}},
      {MessageMove, 0, 0, false, WindowAction::None, 0, {}},
      {MessageClose, 0, 0, true, WindowAction::None, 0, {{16, 2, 2, 0}}},
      {MessageClose, 0, 0, false, WindowAction::None, 0, {}},
      {MessageSize, SizeRestored, 0, true, WindowAction::None, 0, {{5, 0, 2, 0}}},
      {MessageSize, SizeMinimized, 0, true, WindowAction::None, 0, {{13107, 0, 2, 0}}},
      {MessageSize, SizeMaximized, 0, true, WindowAction::None, 0, {{13108, 0, 2, 0}, {5, 0, 2, 0}}},
      {MessageSize, 3, 0, true, WindowAction::None, 0, {{5, 0, 2, 0}}},
      {MessageActivate, 1, 0, true, WindowAction::RestoreFocus, 1, {{13104, 0, 2, 0}}},
      {MessageActivate, 0x10000, 0, true, WindowAction::SaveFocus, 1, {}},
      {MessageEraseBackground, 0, 0, true, WindowAction::CallDefault, 0, {{15, 0, 2, 0}}},
      {MessageNcDestroy, 0, 0, true, WindowAction::RemoveSavedFocus, 1, {}},
      // Destroyed while it still has its number: by someone else.
      {MessageDestroy, 0, 0, true, WindowAction::CallDefault, 0, {{13110, 2, 2, 0}}},
      {MessageDestroy, 0, 0, false, WindowAction::CallDefault, 0, {}},  // a child of it
      {MessageCommand, (1u << 16) | CmdFocusNext, 0, true, WindowAction::FocusNextControl, 0, {}},
      {MessageCommand, (1u << 16) | CmdFocusPrevious, 0, true, WindowAction::FocusPreviousControl, 0, {}},
      {MessageCommand, CmdFocusNext, 0, true, WindowAction::CallDefault, 0, {}},
      {0x000F, 0, 0, true, WindowAction::CallDefault, 0, {}},  // WM_PAINT
      {0x0100, 27, 0, true, WindowAction::CallDefault, 0, {}},  // a key
  };
  for (const MessageCase& c : cases) {
    ClearWindowEvents();
    WindowRecord record{};
    const WindowMessageResult r =
        HandleWindowMessage(2, &record, c.forNumberedWindow, c.message, c.wParam, c.lParam);
    FinishWindowMessage(2, r);
    EXPECT_EQ(r.action, c.action) << "message " << c.message;
    if (r.action != WindowAction::CallDefault) {
      EXPECT_EQ(r.result, c.result) << "message " << c.message;
    }
    std::vector<WindowEvent> queued;
    WindowEvent event{};
    while (TakeWindowEvent(&event)) queued.push_back(event);
    ASSERT_EQ(queued.size(), c.queued.size()) << "message " << c.message;
    for (size_t k = 0; k < queued.size(); ++k) {
      EXPECT_EQ(queued[k].code, c.queued[k].code);
      EXPECT_EQ(queued[k].item, c.queued[k].item);
      EXPECT_EQ(queued[k].window, c.queued[k].window);
      EXPECT_EQ(queued[k].type, 0);
    }
  }
}

TEST_F(WindowEventsTest, ActivationRestoresTheFocusBeforeItIsReported) {
  // The platform restores the saved focus when the procedure returns: the
  // activation event must not be queued ahead of that.
  WindowRecord record{};
  const WindowMessageResult r = HandleWindowMessage(2, &record, true, MessageActivate, 1, 0);
  EXPECT_EQ(r.action, WindowAction::RestoreFocus);
  EXPECT_EQ(QueuedWindowEventCount(), 0u);
  FinishWindowMessage(2, r);
  WindowEvent event{};
  ASSERT_TRUE(TakeWindowEvent(&event));
  EXPECT_EQ(event.code, WindowEventActivated);
  EXPECT_EQ(event.window, 2);
  EXPECT_EQ(QueuedWindowEventCount(), 0u);
}

TEST_F(WindowEventsTest, MinimiseThenRestoreReportsRestoredThenSized) {
  WindowRecord record{};
  HandleWindowMessage(0, &record, true, MessageSize, SizeMinimized, 0);
  EXPECT_EQ(record.minimisedOrMaximised, 1);
  HandleWindowMessage(0, &record, true, MessageSize, SizeRestored, 0);
  EXPECT_EQ(record.minimisedOrMaximised, 0);
  EXPECT_EQ(DrainCodes(), (std::vector<int32_t>{13107, 13109, 5}));
}

class HeadlessWindows : public HeadlessTest {};

TEST_F(HeadlessWindows, ACloseRequestLeavesTheWindowOpenAndIsReportedLater) {
  ASSERT_NE(OpenDisplayWindow(0, 0, 0, 100, 50, "", WindowBorderless), nullptr);
  PostHeadlessMessage(0, {MessageClose, 0, 0});
  EXPECT_EQ(PollWindowEvent(), static_cast<int32_t>(MessageClose));
  EXPECT_TRUE(HeadlessWindowState(0).open);
  EXPECT_EQ(PollWindowEvent(), WindowEventCloseRequest);
  EXPECT_EQ(PollWindowEvent(), 0);
}

TEST_F(HeadlessWindows, AQueuedEventComesBeforeAWaitingMessage) {
  OpenDisplayWindow(0, 0, 0, 100, 50, "", WindowBorderless);
  PostHeadlessMessage(0, {MessageEraseBackground, 0, 0});
  PostHeadlessMessage(0, {MessageEraseBackground, 0, 0});
  PostHeadlessMessage(0, {MessageMove, 0, 0});
  EXPECT_EQ(PollWindowEvent(), static_cast<int32_t>(MessageEraseBackground));
  EXPECT_EQ(PollWindowEvent(), WindowEventRepaint);  // the second message still waits
  EXPECT_EQ(PollWindowEvent(), static_cast<int32_t>(MessageEraseBackground));
  EXPECT_EQ(PollWindowEvent(), WindowEventRepaint);
  EXPECT_EQ(PollWindowEvent(), static_cast<int32_t>(MessageMove));
  EXPECT_EQ(PollWindowEvent(), WindowEventMoved);
  EXPECT_EQ(PollWindowEvent(), 0);
}

TEST_F(HeadlessWindows, ClosingAWindowDropsItsQueuedEvents) {
  OpenDisplayWindow(0, 0, 0, 100, 50, "", WindowBorderless);
  OpenDisplayWindow(1, 0, 0, 100, 50, "", WindowBorderless);
  QueueWindowEvent({15, 0, 0, 0});
  QueueWindowEvent({15, 0, 1, 0});
  EXPECT_EQ(CloseDisplayWindow(0), 1);
  EXPECT_EQ(PollWindowEvent(), WindowEventRepaint);
  EXPECT_EQ(PollWindowEvent(), 0);
  EXPECT_EQ(CloseDisplayWindow(0), 0);
}

TEST_F(HeadlessWindows, NumbersThatAreNotOpenDoNothing) {
  EXPECT_EQ(SetWindowSticky(0, 1), 0);
  EXPECT_EQ(CloseDisplayWindow(3), 0);
  EXPECT_EQ(CloseDisplayWindow(-1), 0);
  EXPECT_EQ(PollWindowEvent(), 0);
}

TEST_F(HeadlessWindows, ReopeningANumberReplacesItsWindow) {
  WindowHandle first = OpenDisplayWindow(0, 0, 0, 100, 50, "", WindowBorderless);
  QueueWindowEvent({15, 0, 0, 0});
  WindowHandle second = OpenDisplayWindow(0, 5, 5, 20, 10, "x", 0);
  EXPECT_NE(first, second);
  EXPECT_EQ(WindowNumberOf(first), -1);
  EXPECT_EQ(WindowNumberOf(second), 0);
  EXPECT_EQ(PollWindowEvent(), 0);  // the old window's events went with it
  EXPECT_EQ(HeadlessWindowState(0).width, 20);
}

TEST_F(HeadlessWindows, TheTableGrowsToTheNumberPlusSixteen) {
  EXPECT_EQ(WindowTableSize(), 16);
  OpenDisplayWindow(40, 0, 0, 10, 10, "", WindowBorderless);
  EXPECT_EQ(WindowTableSize(), 56);
  EXPECT_NE(FindWindowRecord(40), nullptr);
  EXPECT_EQ(FindWindowRecord(39), nullptr);
}

TEST_F(HeadlessWindows, ANumberTheTableCannotGrowToFailsCleanly) {
  // Number + 16 slots is past the 32-bit range for the top sixteen numbers.
  for (int32_t number : {INT32_MAX, INT32_MAX - 15}) {
    EXPECT_EQ(OpenDisplayWindow(number, 0, 0, 10, 10, "", WindowBorderless), nullptr) << number;
    EXPECT_EQ(FindWindowRecord(number), nullptr) << number;
  }
  EXPECT_EQ(WindowTableSize(), 16);
  EXPECT_NE(OpenDisplayWindow(0, 0, 0, 10, 10, "", WindowBorderless), nullptr);
}

TEST_F(HeadlessWindows, NumberMinusOneAssignsTheLowestFreeNumber) {
  OpenDisplayWindow(0, 0, 0, 10, 10, "", WindowBorderless);
  EXPECT_EQ(OpenDisplayWindow(-1, 0, 0, 10, 10, "", WindowBorderless), reinterpret_cast<WindowHandle>(1));
  EXPECT_NE(FindWindowRecord(1), nullptr);
}

TEST_F(HeadlessWindows, StickyAndNotSticky) {
  OpenDisplayWindow(0, 0, 0, 10, 10, "", WindowBorderless);
  EXPECT_EQ(SetWindowSticky(0, 1), 1);
  EXPECT_TRUE(HeadlessWindowState(0).topmost);
  EXPECT_EQ(SetWindowSticky(0, 0), 1);
  EXPECT_FALSE(HeadlessWindowState(0).topmost);
}

}  // namespace
}  // namespace vivuvev
