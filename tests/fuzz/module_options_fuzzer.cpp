// Any arguments and any $XSCREENSAVER_WINDOW for the module. The first byte
// says whether the variable is set (its lowest bit); the rest, split at zero
// bytes, are the arguments, the last of them the variable's value when set.
#include "module/module_options.h"
#include "tests/fuzz/fuzz_input.h"

namespace vivuvev {
namespace {

bool SameOptions(const ModuleOptions& a, const ModuleOptions& b) {
  return a.target == b.target && a.windowId == b.windowId &&
         a.delayMicroseconds == b.delayMicroseconds && a.help == b.help &&
         a.showFrameRate == b.showFrameRate && a.displayName == b.displayName &&
         a.version == b.version && a.recordFrames == b.recordFrames;
}

}  // namespace
}  // namespace vivuvev

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vivuvev;
  if (size == 0) return 0;
  std::vector<std::string> pieces = SplitAtZeros(data + 1, size - 1);
  std::string daemonValue;
  const bool daemonSet = (data[0] & 1) != 0;
  if (daemonSet && !pieces.empty()) {
    daemonValue = pieces.back();
    pieces.pop_back();
  }
  const char* daemonWindow = daemonSet ? daemonValue.c_str() : nullptr;
  const Arguments args("vivuvev", pieces);

  ModuleOptions untouched;
  untouched.target = ModuleTarget::RootWindow;
  untouched.windowId = 12345;
  untouched.delayMicroseconds = 7;
  untouched.help = true;
  untouched.showFrameRate = true;
  untouched.displayName = "untouched";
  untouched.version = true;
  ModuleOptions options = untouched;
  std::string error;
  const bool ok = ReadModuleOptions(args.argc(), args.argv.data(), daemonWindow, &options, &error);
  if (!ok) {
    FUZZ_CHECK(!error.empty());
    FUZZ_CHECK(SameOptions(options, untouched));
    return 0;
  }

  // The same input gives the same answer.
  ModuleOptions again;
  std::string againError;
  FUZZ_CHECK(ReadModuleOptions(args.argc(), args.argv.data(), daemonWindow, &again, &againError));
  FUZZ_CHECK(SameOptions(options, again));

  FUZZ_CHECK(options.delayMicroseconds <= 60000000u);
  // A given window is a nonzero 29-bit X id. (Other targets leave the
  // number unread: after -window-id 7 -window it may still say 7.)
  if (options.target == ModuleTarget::GivenWindow) {
    FUZZ_CHECK(options.windowId != 0 && options.windowId <= 0x1FFFFFFFul);
  }

  const bool daemonNamed = daemonWindow != nullptr && *daemonWindow != '\0';
  switch (options.target) {
    case ModuleTarget::GivenWindow:
      FUZZ_CHECK(args.Has({"-window-id", "--window-id"}) || daemonNamed);
      break;
    case ModuleTarget::RootWindow:
      // The daemon's window takes the place of -root.
      FUZZ_CHECK(args.Has({"-root", "--root"}) && !daemonNamed);
      break;
    case ModuleTarget::OwnWindow:
      // With the daemon naming a window, only -window keeps the module in
      // a window of its own.
      if (daemonNamed) FUZZ_CHECK(args.Has({"-window", "--window"}));
      break;
  }
  if (options.help) FUZZ_CHECK(args.Has({"-h", "--h", "-help", "--help"}));
  if (options.delayMicroseconds != DefaultModuleDelay) FUZZ_CHECK(args.Has({"-delay", "--delay"}));
  if (options.version) FUZZ_CHECK(args.Has({"-version", "--version"}));
  if (options.showFrameRate) FUZZ_CHECK(args.Has({"-fps", "--fps"}));
  if (!options.displayName.empty()) FUZZ_CHECK(args.Has({"-display", "--display"}));
  if (options.recordFrames != 0) FUZZ_CHECK(args.Has({"-record-animation", "--record-animation"}));
  if (args.values.empty() && daemonWindow == nullptr) {
    FUZZ_CHECK(SameOptions(options, ModuleOptions()));
  }
  return 0;
}
