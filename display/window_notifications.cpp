#include "display/window_notifications.h"

#include "display/window_events.h"

namespace vivuvev {

namespace {

void Add(TranslatedMessages* out, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (out->count < MaxTranslatedMessages) out->messages[out->count++] = {message, wParam, lParam};
}

}  // namespace

intptr_t PackCoordinates(int32_t low, int32_t high) {
  return static_cast<intptr_t>((static_cast<uint32_t>(low) & 0xFFFFu) |
                               ((static_cast<uint32_t>(high) & 0xFFFFu) << 16));
}

TranslatedMessages TranslateWindowNotice(WindowTrack* track, const WindowNotice& notice) {
  TranslatedMessages out{};
  switch (notice.kind) {
    case WindowNotification::Geometry: {
      // Windows sends WM_MOVE and WM_SIZE once when a window first appears,
      // and afterwards only for what changed: the move first, then the size.
      const bool moved = !track->placed || notice.x != track->x || notice.y != track->y;
      const bool sized =
          !track->placed || notice.width != track->width || notice.height != track->height;
      track->placed = true;
      track->x = notice.x;
      track->y = notice.y;
      track->width = notice.width;
      track->height = notice.height;
      if (moved) Add(&out, MessageMove, 0, PackCoordinates(notice.x, notice.y));
      if (sized) Add(&out, MessageSize, SizeRestored, PackCoordinates(notice.width, notice.height));
      break;
    }
    case WindowNotification::Unmapped:
      if (!track->minimised) {
        track->minimised = true;
        Add(&out, MessageSize, SizeMinimized, 0);
      }
      break;
    case WindowNotification::Mapped:
      if (track->minimised) {
        track->minimised = false;
        Add(&out, MessageSize, SizeRestored, PackCoordinates(track->width, track->height));
      }
      break;
    case WindowNotification::Exposed:
      // One erasure for a whole series of exposed rectangles.
      if (notice.last) Add(&out, MessageEraseBackground, 0, 0);
      break;
    case WindowNotification::GainedFocus:
      Add(&out, MessageActivate, 1, 0);
      break;
    case WindowNotification::LostFocus:
      Add(&out, MessageActivate, 0, 0);
      break;
    case WindowNotification::CloseRequest:
      Add(&out, MessageClose, 0, 0);
      break;
    case WindowNotification::Destroyed:
      // Known from its notification or from the errors that requests on it
      // bring, whichever comes first.
      if (!track->destroyed) {
        track->destroyed = true;
        Add(&out, MessageDestroy, 0, 0);
      }
      break;
  }
  return out;
}

}  // namespace vivuvev
