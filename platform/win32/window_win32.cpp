// The window library on user32: one registered class per window number
// ("WindowClass_%d"), window properties that map handles to numbers, two Tab
// accelerators per window, and PeekMessageA / GetMessageA /
// MsgWaitForMultipleObjects for the pump. What each message queues is decided
// by the portable HandleWindowMessage; this file carries out the action.
#define NOMINMAX
#include <windows.h>

#include <cstdio>
#include <vector>

#include "base/system.h"
#include "display/window.h"
#include "display/window_events.h"
#include "display/window_style.h"
#include "display/window_table.h"

namespace vivuvev {

static_assert(WindowBorderless == WS_POPUP, "WindowBorderless is WS_POPUP");
static_assert(WindowMaximised == WS_MAXIMIZE && WindowMinimised == WS_MINIMIZE, "show styles");
static_assert(StyleCaption == WS_CAPTION && StyleMinimizeBox == WS_MINIMIZEBOX &&
                  StyleMaximizeBox == WS_MAXIMIZEBOX && ExStyleToolWindow == WS_EX_TOOLWINDOW,
              "style bits");
static_assert(ShowNormal == SW_SHOWNORMAL && ShowMinimized == SW_SHOWMINIMIZED &&
                  ShowMaximized == SW_MAXIMIZE,
              "show commands");
static_assert(UseDefaultPosition == CW_USEDEFAULT, "default position");
static_assert(MessageMove == WM_MOVE && MessageSize == WM_SIZE && MessageActivate == WM_ACTIVATE &&
                  MessageClose == WM_CLOSE && MessageEraseBackground == WM_ERASEBKGND &&
                  MessageNcDestroy == WM_NCDESTROY && MessageCommand == WM_COMMAND &&
                  MessageDestroy == WM_DESTROY && MessageKeyDown == WM_KEYDOWN,
              "message numbers");
static_assert(SizeRestored == SIZE_RESTORED && SizeMinimized == SIZE_MINIMIZED &&
                  SizeMaximized == SIZE_MAXIMIZED,
              "size kinds");

namespace {

constexpr char WindowNumberProp[] = "Vivuvev.WindowNumber";
constexpr char SavedFocusProp[] = "Vivuvev.SavedFocus";
constexpr int AcceleratorCount = 2;
// QS_ALLINPUT + QS_ALLPOSTMESSAGE as the oldest Windows we run on counts
// them. Headers for newer Windows put more bits (touch, pointer) into
// QS_ALLINPUT, and MsgWaitForMultipleObjects fails on older Windows when
// given bits it does not know.
constexpr DWORD WaitForAnyMessage = 0x5FF;

HICON classIcon = nullptr;
HCURSOR classCursor = nullptr;

HINSTANCE Instance() { return ::GetModuleHandleA(nullptr); }

void ClassName(int32_t number, char (&name)[32]) {
  std::snprintf(name, sizeof name, "WindowClass_%d", static_cast<int>(number));
}

// The first window from window up the parent chain that carries
// WindowNumberProp, or null.
HWND NumberedWindow(HWND window, int32_t* number) {
  for (HWND w = window; w != nullptr; w = ::GetParent(w)) {
    const auto value = reinterpret_cast<intptr_t>(::GetPropA(w, WindowNumberProp));
    if (value != 0) {
      *number = static_cast<int32_t>(value - 1);
      return w;
    }
  }
  *number = -1;
  return nullptr;
}

struct TabStops {
  std::vector<HWND> windows;
};

BOOL CALLBACK CollectTabStop(HWND child, LPARAM data) {
  const LONG style = ::GetWindowLongA(child, GWL_STYLE);
  if ((style & WS_TABSTOP) && ::IsWindowEnabled(child) && ::IsWindowVisible(child)) {
    reinterpret_cast<TabStops*>(data)->windows.push_back(child);
  }
  return TRUE;
}

// Moves the focus to the next (step 1) or previous (step -1) tab stop among
// the active window's children, wrapping around at the ends.
void MoveFocus(int step) {
  const HWND active = ::GetActiveWindow();
  if (active == nullptr) return;
  TabStops stops;
  ::EnumChildWindows(active, CollectTabStop, reinterpret_cast<LPARAM>(&stops));
  const int count = static_cast<int>(stops.windows.size());
  if (count == 0) return;
  const HWND focus = ::GetFocus();
  int at = -1;
  for (int i = 0; i < count; ++i) {
    if (stops.windows[static_cast<size_t>(i)] == focus) at = i;
  }
  const int next = at < 0 ? (step > 0 ? 0 : count - 1) : (at + step + count) % count;
  ::SetFocus(stops.windows[static_cast<size_t>(next)]);
}

LRESULT CALLBACK DisplayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  int32_t number = -1;
  const HWND numbered = NumberedWindow(window, &number);
  WindowRecord* record = numbered ? FindWindowRecord(number) : nullptr;
  const WindowMessageResult handled =
      HandleWindowMessage(number, record, numbered != nullptr && numbered == window, message,
                          static_cast<uintptr_t>(wParam), static_cast<intptr_t>(lParam));
  auto result = static_cast<LRESULT>(handled.result);
  switch (handled.action) {
    case WindowAction::CallDefault:
      result = ::DefWindowProcA(window, message, wParam, lParam);
      break;
    case WindowAction::RestoreFocus:
      if (HANDLE saved = ::GetPropA(window, SavedFocusProp)) ::SetFocus(static_cast<HWND>(saved));
      break;
    case WindowAction::SaveFocus:
      ::SetPropA(window, SavedFocusProp, ::GetFocus());
      break;
    case WindowAction::RemoveSavedFocus:
      ::RemovePropA(window, SavedFocusProp);
      break;
    case WindowAction::FocusNextControl:
      MoveFocus(1);
      break;
    case WindowAction::FocusPreviousControl:
      MoveFocus(-1);
      break;
    case WindowAction::None:
      break;
  }
  FinishWindowMessage(number, handled);
  return result;
}

}  // namespace

void StartWindowLibrary() {
  StartWindowTables();
  // Neither program has icon resources: the system's default icon shows.
  classIcon = ::LoadIconA(Instance(), MAKEINTRESOURCEA(1));
  classCursor = ::LoadCursorA(nullptr, IDC_ARROW);
}

void EndWindowLibrary() { EndWindowTables(); }

WindowHandle OpenDisplayWindow(int32_t number, int32_t x, int32_t y, int32_t width, int32_t height,
                               const char* title, uint32_t flags) {
  const bool assigned = number == -1;
  WindowRecord* record = ClaimWindowSlot(&number);
  if (record == nullptr) return nullptr;

  char className[32];
  ClassName(number, className);
  WNDCLASSA windowClass{};
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = DisplayWindowProc;
  windowClass.hInstance = Instance();
  windowClass.hIcon = classIcon;
  windowClass.hCursor = classCursor;
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_BTNFACE + 1));
  windowClass.lpszClassName = className;
  ::RegisterClassA(&windowClass);  // an existing class of that name is reused

  const WindowStyle style = WindowStyleFor(flags);
  RECT outer{0, 0, width, height};
  ::AdjustWindowRectEx(&outer, style.style, FALSE, style.exStyle);
  WindowBox active{};
  const HWND activeWindow = ::GetActiveWindow();
  RECT activeRect{};
  const bool hasActive = activeWindow != nullptr && ::GetWindowRect(activeWindow, &activeRect);
  if (hasActive) {
    active = {activeRect.left, activeRect.top, activeRect.right - activeRect.left,
              activeRect.bottom - activeRect.top};
  }
  const WindowBox box = PlaceWindow(flags, x, y, outer.right - outer.left, outer.bottom - outer.top,
                                    ::GetSystemMetrics(SM_CXSCREEN),
                                    ::GetSystemMetrics(SM_CYSCREEN), hasActive, active);

  const HWND window =
      ::CreateWindowExA(style.exStyle, className, title ? title : "", style.style, box.x, box.y,
                        box.width, box.height, nullptr, nullptr, Instance(), nullptr);
  record = WindowSlot(number);
  if (window == nullptr) {
    ::UnregisterClassA(className, Instance());
    *record = WindowRecord{};
    return nullptr;
  }
  record->handle = window;
  ::SetPropA(window, WindowNumberProp,
             reinterpret_cast<HANDLE>(static_cast<intptr_t>(number) + 1));
  if (!style.hidden) ::ShowWindow(window, style.showCommand);
  record = WindowSlot(number);
  record->minimisedOrMaximised = style.minimisedOrMaximised ? 1 : 0;
  auto* entries = static_cast<ACCEL*>(HeapAllocZeroed(sizeof(ACCEL) * AcceleratorCount));
  if (entries != nullptr) {
    entries[0] = ACCEL{FVIRTKEY | FNOINVERT, VK_TAB, static_cast<WORD>(CmdFocusNext)};
    entries[1] = ACCEL{FVIRTKEY | FNOINVERT | FSHIFT, VK_TAB, static_cast<WORD>(CmdFocusPrevious)};
    record->acceleratorEntries = entries;
    record->acceleratorTable = ::CreateAcceleratorTableA(entries, AcceleratorCount);
  }
  if (assigned) return reinterpret_cast<WindowHandle>(static_cast<intptr_t>(number));
  return window;
}

int32_t SetWindowSticky(int32_t number, int32_t on) {
  const WindowRecord* record = FindWindowRecord(number);
  if (record == nullptr) return 0;
  return ::SetWindowPos(static_cast<HWND>(record->handle), on ? HWND_TOPMOST : HWND_NOTOPMOST, 0,
                        0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
}

int32_t NextWindowEvent(int32_t timeoutMs) {
  WindowEvent event{};
  if (TakeWindowEvent(&event)) return event.code;
  MSG message{};
  if (timeoutMs == -1) {
    if (::GetMessageA(&message, nullptr, 0, 0) == -1) return 0;
  } else {
    if (timeoutMs > 0 &&
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(timeoutMs),
                                    WaitForAnyMessage) == WAIT_TIMEOUT) {
      return 0;
    }
    if (!::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE | PM_NOYIELD)) return 0;
  }
  HACCEL table = nullptr;
  const HWND active = ::GetActiveWindow();
  const auto numberProp = reinterpret_cast<intptr_t>(active ? ::GetPropA(active, WindowNumberProp)
                                                            : nullptr);
  DWORD process = 0;
  if (numberProp != 0 && ::GetWindowThreadProcessId(active, &process) != 0 &&
      process == ::GetCurrentProcessId()) {
    if (const WindowRecord* record = FindWindowRecord(static_cast<int32_t>(numberProp - 1))) {
      table = static_cast<HACCEL>(record->acceleratorTable);
    }
  }
  if (table == nullptr || !::TranslateAcceleratorA(active, table, &message)) {
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
  return static_cast<int32_t>(message.message);
}

int32_t PollWindowEvent() { return NextWindowEvent(0); }

int32_t CloseDisplayWindow(int32_t number) {
  WindowRecord* record = FindWindowRecord(number);
  if (record == nullptr) return 0;
  const auto window = static_cast<HWND>(record->handle);
  ::RemovePropA(window, WindowNumberProp);
  ::DestroyWindow(window);
  char className[32];
  ClassName(number, className);
  ::UnregisterClassA(className, Instance());
  // A procedure that ran during the destruction may have closed the number
  // itself (and even opened it again): the rest is then done, or not ours.
  record = FindWindowRecord(number);
  if (record == nullptr || record->handle != window) return 1;
  HeapRelease(record->acceleratorEntries);
  if (record->acceleratorTable != nullptr) {
    ::DestroyAcceleratorTable(static_cast<HACCEL>(record->acceleratorTable));
  }
  DropWindowEvents(number);
  *record = WindowRecord{};
  return 1;
}

}  // namespace vivuvev
