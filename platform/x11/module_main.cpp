// vivuvev: the animation as a module of a screensaver daemon on X11. It draws
// in the window the daemon names ($XSCREENSAVER_WINDOW, or -window-id), on the
// root window (-root) or in a window of its own (-window), follows that
// window's size, pauses -delay microseconds after every frame, and ends
// through ProgramEnd with status 0 on SIGTERM, SIGINT or SIGHUP. In the
// daemon's window keys and the mouse are the daemon's; a window of its own
// also ends on Escape, Q and the window manager's close request. A lost
// connection to the X server ends it with status 1. Either way a recording
// keeps the frames it has.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

// The portable headers come before Xlib's, whose macros (None, ...) would
// otherwise replace names in them.
#include "display/window.h"
#include "module/module_options.h"
#include "module/module_recording.h"
#include "module/module_sweep.h"
#include "program/program.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "platform/x11/x11_parts.h"

namespace {

constexpr unsigned OwnWindowWidth = 800;
constexpr unsigned OwnWindowHeight = 600;

volatile std::sig_atomic_t endRequested = 0;

void RequestEnd(int) { endRequested = 1; }

void EndOnSignals() {
  struct sigaction action {};
  action.sa_handler = RequestEnd;
  sigemptyset(&action.sa_mask);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
  // The terminal that started it was closed.
  sigaction(SIGHUP, &action, nullptr);
}

Window OpenOwnWindow(Display* d) {
  const int screen = DefaultScreen(d);
  const Window w = XCreateSimpleWindow(d, RootWindow(d, screen), 0, 0, OwnWindowWidth, OwnWindowHeight, 0,
                                       BlackPixel(d, screen), BlackPixel(d, screen));
  vivuvev::NameProgramWindow(d, w, "vivuvev");
  // Its keys come as events, so that a tap shorter than a frame still counts.
  XSelectInput(d, w, KeyPressMask);
  // The window manager's close button asks instead of killing the connection.
  Atom protocols[] = {vivuvev::Atoms().wmDeleteWindow};
  XSetWMProtocols(d, w, protocols, 1);
  XMapRaised(d, w);
  XSync(d, False);
  return w;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace vivuvev;
  ModuleOptions options;
  std::string error;
  if (!ReadModuleOptions(argc, argv, std::getenv("XSCREENSAVER_WINDOW"), &options, &error)) {
    std::fprintf(stderr, "vivuvev: %s\n%s", error.c_str(), ModuleUsage);
    return 2;
  }
  if (options.help) {
    std::fputs(ModuleUsage, stdout);
    return 0;
  }
  if (options.version) {
    std::fputs(ModuleVersion, stdout);
    return 0;
  }
  // The connection is opened on $DISPLAY, which -display overrides.
  if (!options.displayName.empty()) setenv("DISPLAY", options.displayName.c_str(), 1);
  EndOnSignals();
  WhenXConnectionLost(EndRecording);
  StartProgram();
  Display* d = XConnection();
  Window own = None;
  switch (options.target) {
    case ModuleTarget::GivenWindow: {
      XWindowAttributes attributes{};
      XSync(d, False);
      TakeXErrorCount();
      if (!XGetWindowAttributes(d, options.windowId, &attributes) || TakeXErrorCount() > 0) {
        std::fprintf(stderr, "vivuvev: there is no window 0x%lx\n", options.windowId);
        EndLayers();
        return 1;
      }
      SetDrawingWindow(options.windowId);
      break;
    }
    case ModuleTarget::RootWindow:
      SetDrawingWindow(DefaultRootWindow(d));
      break;
    case ModuleTarget::OwnWindow:
      own = OpenOwnWindow(d);
      SetDrawingWindow(own);
      break;
  }
  RecordFrames(options.recordFrames);
  RunModuleSweep({options.delayMicroseconds, own != None, options.showFrameRate,
                  options.recordFrames > 0 ? RecordShownFrame : nullptr},
                 endRequested);
  EndRecording();
  CloseDisplayWindow(0);
  if (own != None) XDestroyWindow(d, own);
  ProgramEnd();
}
