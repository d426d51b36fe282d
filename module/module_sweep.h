// The sweep as a screensaver daemon's module runs it: the same set-up and
// frames, a pause after every frame so that the daemon does not give it a
// whole core, a restart whenever its window changes size, and optionally the
// frame rate over the picture. In the daemon's window keys and the mouse are
// the daemon's and only a signal ends it; in a window of its own Escape, Q
// and the window manager's close request end it too.
#pragma once

#include <csignal>
#include <cstdint>

namespace vivuvev {

struct ModuleRun {
  uint32_t delayMicroseconds;
  bool ownWindow;      // a window of its own: Escape, Q and the close request end it too
  bool showFrameRate;  // -fps
  void (*afterShownFrame)() = nullptr;  // called after every frame that showed a picture
};

// Set-up, then frames until stop is nonzero (checked after every frame and
// during the pauses) or a frame sets QuitRequested. Returns with the window
// and the layers still open.
void RunModuleSweep(const ModuleRun& run, const volatile std::sig_atomic_t& stop);

// The pause between frames: at most delayMicroseconds, cut short once stop is
// set.
void PauseBetweenFrames(uint32_t delayMicroseconds, const volatile std::sig_atomic_t& stop);

}  // namespace vivuvev
