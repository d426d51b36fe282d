// Any arguments and any $XSCREENSAVER_WINDOW for the module. The first byte
// says whether the variable is set (its lowest bit); the rest, split at zero
// bytes, are the arguments, the last of them the variable's value when set.
// Window ids are held to the usage's "decimal or 0x hexadecimal", read here
// on their own.
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

// A window id by the usage's words alone: decimal digits, or 0x (or 0X) and
// hexadecimal digits, at most the largest X id; 0 for any other text.
unsigned long UsageWindowId(const std::string& text) {
  const bool hex = text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const std::string digits = hex ? text.substr(2) : text;
  if (digits.empty()) return 0;
  unsigned long id = 0;
  for (char c : digits) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return 0;
    id = id * (hex ? 16 : 10) + static_cast<unsigned long>(digit);
    if (id > 0x1FFFFFFFul) return 0;
  }
  return id;
}

// The values -window-id was given in an accepted command line, in order.
std::vector<std::string> WindowIdValues(const std::vector<std::string>& values) {
  std::vector<std::string> ids;
  for (size_t i = 0; i + 1 < values.size(); ++i) {
    const std::string& a = values[i];
    const std::string name = a.rfind("--", 0) == 0 ? a.substr(2) : a.substr(1);
    if (name == "window-id") ids.push_back(values[i + 1]);
    if (name == "window-id" || name == "delay" || name == "display" || name == "record-animation" ||
        name == "visual") {
      ++i;  // the option's value, whatever it looks like
    }
  }
  return ids;
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
  // Every -window-id taken reads as the usage says (a leading 0 is no octal
  // prefix), and the window drawn in is the last of them, or the daemon's.
  const std::vector<std::string> ids = WindowIdValues(args.values);
  for (const std::string& id : ids) FUZZ_CHECK(UsageWindowId(id) != 0);
  if (options.target == ModuleTarget::GivenWindow) {
    FUZZ_CHECK(options.windowId == UsageWindowId(ids.empty() ? daemonValue : ids.back()));
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
