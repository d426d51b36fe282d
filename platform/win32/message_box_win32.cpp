// The message box on user32: MessageBoxA, with the calling thread's other
// visible windows disabled (all but the foreground one) and taken out of the
// topmost band while it is open, and put back as they were afterwards.
#define NOMINMAX
#include <windows.h>

#include <vector>

#include "launch/message_box.h"

namespace vivuvev {

namespace {

struct ChangedWindow {
  DWORD thread;
  HWND window;
  bool wasTopmost;
  bool disabledHere;
};

// MessageBoxWindowList: the windows open boxes have changed, of every thread.
std::vector<ChangedWindow> messageBoxWindowList;

BOOL CALLBACK PrepareWindow(HWND window, LPARAM) {
  const DWORD thread = ::GetCurrentThreadId();
  if (::GetWindowThreadProcessId(window, nullptr) != thread || !::IsWindowVisible(window)) {
    return TRUE;
  }
  ChangedWindow entry{thread, window,
                      (::GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, false};
  if (window != ::GetForegroundWindow() && ::IsWindowEnabled(window)) {
    entry.disabledHere = true;
    ::EnableWindow(window, FALSE);
  }
  messageBoxWindowList.push_back(entry);
  return TRUE;
}

}  // namespace

int32_t ShowMessageBox(const char* title, const char* message, uint32_t flags) {
  const DWORD thread = ::GetCurrentThreadId();
  ::EnumWindows(PrepareWindow, 0);
  for (const ChangedWindow& entry : messageBoxWindowList) {
    if (entry.thread == thread && entry.wasTopmost) {
      ::SetWindowPos(entry.window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    }
  }
  HWND owner = ::GetForegroundWindow();
  DWORD process = 0;
  if (owner != nullptr &&
      (::GetWindowThreadProcessId(owner, &process) == 0 || process != ::GetCurrentProcessId())) {
    owner = nullptr;
  }
  const int result = ::MessageBoxA(owner, message ? message : "", title ? title : "", flags);
  for (auto entry = messageBoxWindowList.begin(); entry != messageBoxWindowList.end();) {
    if (entry->thread != thread) {
      ++entry;
      continue;
    }
    if (entry->disabledHere) ::EnableWindow(entry->window, TRUE);
    if (entry->wasTopmost) {
      ::SetWindowPos(entry->window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    }
    entry = messageBoxWindowList.erase(entry);
  }
  return result;
}

}  // namespace vivuvev
