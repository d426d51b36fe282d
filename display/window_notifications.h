// What a window system's notifications about one top-level window mean as
// window messages.
//
// X11 reports a window's geometry, mapping, exposure, focus and close requests
// as separate notifications; the numbered windows expect the messages the
// Windows window manager would send for the same change. This translation
// needs no window system, so the X11 pump stays a thin switch over event
// types and every platform queues the same window events.
#pragma once

#include <cstdint>

namespace vivuvev {

enum class WindowNotification {
  Geometry,      // the window's position (root coordinates) and size are now x, y, width, height
  Unmapped,      // the window was taken off the screen
  Mapped,        // the window is on the screen again
  Exposed,       // part of the window needs repainting; last: no more of this series follow
  GainedFocus,   // the window got the keyboard focus
  LostFocus,     // the window lost it
  CloseRequest,  // the window manager asks the window to close
  Destroyed,     // the window no longer exists: another client destroyed it, or its maker ended
};

struct WindowNotice {
  WindowNotification kind;
  int32_t x, y, width, height;
  bool last;
};

// What the platform knows of the window between notifications.
struct WindowTrack {
  bool placed;  // a geometry has been seen
  int32_t x, y, width, height;
  // Taken off the screen while open: the program never unmaps its windows
  // (closing destroys them), so that is the user or the window manager
  // iconifying it.
  bool minimised;
  bool destroyed;  // the destruction has been reported; it is reported once
};

struct TranslatedMessage {
  uint32_t message;
  uintptr_t wParam;
  intptr_t lParam;
};

constexpr int32_t MaxTranslatedMessages = 2;

struct TranslatedMessages {
  int32_t count;
  TranslatedMessage messages[MaxTranslatedMessages];
};

// The messages one notification stands for, in the order Windows sends them,
// updating track. A notification that changes nothing gives no message.
TranslatedMessages TranslateWindowNotice(WindowTrack* track, const WindowNotice& notice);

// Packs two 16-bit coordinates the way WM_MOVE and WM_SIZE carry them.
intptr_t PackCoordinates(int32_t low, int32_t high);

}  // namespace vivuvev
