// vivuvev: the animation as a module of a screensaver daemon on X11. It draws
// in the window the daemon names ($XSCREENSAVER_WINDOW, or -window-id), on the
// root window (-root) or in a window of its own (-window), follows that
// window's size, pauses -delay microseconds after every frame, and ends
// through ProgramEnd with status 0 on SIGTERM, SIGINT or SIGHUP. In the
// daemon's window keys and the mouse are the daemon's; a window of its own
// also ends on Escape, Q and the window manager's close request. A lost
// connection to the X server ends it with status 1. Either way a recording
// keeps the frames it has.
//
// A test hook: with VIVUVEV_SNAPSHOT=N:FILE in the environment, once the N-th
// frame has been shown and the server has taken it, the back buffer's
// colour bits go into FILE (its rows without padding) and no frame follows
// until the module is ended, so that a test can read the window back and
// compare the two.
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// The portable headers come before Xlib's, whose macros (None, ...) would
// otherwise replace names in them.
#include "display/window.h"
#include "module/module_options.h"
#include "module/module_recording.h"
#include "module/module_sweep.h"
#include "program/program.h"
#include "software/back_buffer.h"

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

// The test hook's frame and file, and the frames shown so far.
struct Snapshot {
  unsigned long frame = 0;
  std::string file;
  unsigned long shown = 0;
};
Snapshot snapshot;

bool WantSnapshot(const char* value) {
  if (value == nullptr) return false;
  char* rest = nullptr;
  snapshot.frame = std::strtoul(value, &rest, 10);
  if (snapshot.frame == 0 || *rest != ':' || rest[1] == '\0') return false;
  snapshot.file = rest + 1;
  return true;
}

void WriteBackBuffer(const vivuvev::BackBuffer& buffer, std::FILE* out) {
  const int bytes = buffer.bitsPerPixel / 8;
  std::vector<uint8_t> row(static_cast<size_t>(buffer.width) * bytes);
  for (int32_t y = 0; y < buffer.height; ++y) {
    const uint8_t* from = buffer.pixels + static_cast<size_t>(y) * buffer.pitch;
    for (size_t i = 0; i < row.size(); ++i) {
      // The top byte of a 32-bit pixel is no colour.
      row[i] = bytes == 4 && i % 4 == 3 ? 0 : from[i];
    }
    std::fwrite(row.data(), 1, row.size(), out);
  }
}

void TakeSnapshot() {
  if (++snapshot.shown != snapshot.frame) return;
  const vivuvev::BackBuffer* buffer = vivuvev::SoftwareBackBuffer();
  XSync(vivuvev::XConnection(), False);
  if (std::FILE* out = std::fopen(snapshot.file.c_str(), "wb")) {
    if (buffer != nullptr) WriteBackBuffer(*buffer, out);
    std::fclose(out);
  }
  while (endRequested == 0) vivuvev::PauseBetweenFrames(10000, endRequested);
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
  void (*afterShownFrame)() = options.recordFrames > 0 ? RecordShownFrame : nullptr;
  if (WantSnapshot(std::getenv("VIVUVEV_SNAPSHOT"))) afterShownFrame = TakeSnapshot;
  RunModuleSweep({options.delayMicroseconds, own != None, options.showFrameRate, afterShownFrame},
                 endRequested);
  EndRecording();
  CloseDisplayWindow(0);
  if (own != None) XDestroyWindow(d, own);
  ProgramEnd();
}
