// The arguments of vivuvev, the animation as a module of a screensaver
// daemon: where to draw, how long to pause between frames, whether to show
// the frame rate, which display to use, and the options every module of the
// daemon accepts even where they mean nothing to a software-drawn picture.
#pragma once

#include <cstdint>
#include <string>

namespace vivuvev {

enum class ModuleTarget {
  OwnWindow,    // a window of its own (-window, and the default)
  GivenWindow,  // the window of -window-id, or of $XSCREENSAVER_WINDOW
  RootWindow,   // -root
};

constexpr uint32_t DefaultModuleDelay = 10000;

struct ModuleOptions {
  ModuleTarget target = ModuleTarget::OwnWindow;
  unsigned long windowId = 0;
  uint32_t delayMicroseconds = DefaultModuleDelay;
  bool showFrameRate = false;
  std::string displayName;  // -display; empty: $DISPLAY
  uint32_t recordFrames = 0;  // -record-animation: frames into vivuvev.mp4
  bool help = false;
  bool version = false;
};

// Reads argv[1..] (options with one or two dashes) and the daemon's window,
// the value of $XSCREENSAVER_WINDOW or null. An explicit -window-id or
// -window wins; otherwise the daemon's window, when there is one, is used in
// place of -root and of the default. Returns false with a message in *error
// for an argument it does not take.
bool ReadModuleOptions(int argc, const char* const* argv, const char* daemonWindow,
                       ModuleOptions* options, std::string* error);

// What -h prints.
extern const char ModuleUsage[];
// What --version prints.
extern const char ModuleVersion[];

}  // namespace vivuvev
