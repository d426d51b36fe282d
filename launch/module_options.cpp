#include "launch/module_options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace vivuvev {

const char ModuleUsage[] =
    "usage: vivuvev [-window | -root | -window-id ID] [-delay USECS] [-h]\n"
    "  -window        draw in a window of its own (the default)\n"
    "  -root          draw on the root window\n"
    "  -window-id ID  draw in the window ID (decimal or 0x hexadecimal)\n"
    "  -delay USECS   pause between frames in microseconds (default 10000, 0: none)\n"
    "  -h             print this and exit\n"
    "Without -window or -window-id it draws in $XSCREENSAVER_WINDOW when that is set.\n"
    "SIGTERM or SIGINT ends it.\n";

namespace {

// The option's name without its one or two leading dashes, or null.
const char* OptionName(const char* argument) {
  if (argument[0] != '-') return nullptr;
  return argument[1] == '-' ? argument + 2 : argument + 1;
}

bool ParseUnsigned(const char* text, int base, unsigned long long limit, unsigned long long* value) {
  if (text == nullptr || *text == '\0' || *text == '-' || *text == '+' || *text == ' ') return false;
  errno = 0;
  char* end = nullptr;
  const unsigned long long v = std::strtoull(text, &end, base);
  if (errno != 0 || *end != '\0' || v > limit) return false;
  *value = v;
  return true;
}

bool ParseWindowId(const char* text, unsigned long* id) {
  unsigned long long v = 0;
  // XIDs have 29 significant bits; 0 is no window.
  if (!ParseUnsigned(text, 0, 0x1FFFFFFFull, &v) || v == 0) return false;
  *id = static_cast<unsigned long>(v);
  return true;
}

}  // namespace

bool ReadModuleOptions(int argc, const char* const* argv, const char* daemonWindow,
                       ModuleOptions* options, std::string* error) {
  ModuleOptions o;
  bool explicitTarget = false;
  bool root = false;
  for (int i = 1; i < argc; ++i) {
    const char* name = OptionName(argv[i]);
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    if (name == nullptr) {
      *error = std::string("unexpected argument '") + argv[i] + "'";
      return false;
    }
    if (std::strcmp(name, "h") == 0 || std::strcmp(name, "help") == 0) {
      o.help = true;
    } else if (std::strcmp(name, "root") == 0) {
      root = true;
    } else if (std::strcmp(name, "window") == 0) {
      o.target = ModuleTarget::OwnWindow;
      explicitTarget = true;
    } else if (std::strcmp(name, "window-id") == 0) {
      if (!ParseWindowId(value, &o.windowId)) {
        *error = std::string("-window-id needs a window id, not '") + (value ? value : "") + "'";
        return false;
      }
      o.target = ModuleTarget::GivenWindow;
      explicitTarget = true;
      ++i;
    } else if (std::strcmp(name, "delay") == 0) {
      unsigned long long delay = 0;
      if (!ParseUnsigned(value, 10, 60000000ull, &delay)) {
        *error = std::string("-delay needs microseconds from 0 to 60000000, not '") +
                 (value ? value : "") + "'";
        return false;
      }
      o.delayMicroseconds = static_cast<uint32_t>(delay);
      ++i;
    } else {
      *error = std::string("unknown option '") + argv[i] + "'";
      return false;
    }
  }
  if (!explicitTarget) {
    unsigned long id = 0;
    if (daemonWindow != nullptr && ParseWindowId(daemonWindow, &id)) {
      o.target = ModuleTarget::GivenWindow;
      o.windowId = id;
    } else if (daemonWindow != nullptr && *daemonWindow != '\0') {
      *error = std::string("XSCREENSAVER_WINDOW is not a window id: '") + daemonWindow + "'";
      return false;
    } else if (root) {
      o.target = ModuleTarget::RootWindow;
    }
  }
  *options = o;
  return true;
}

}  // namespace vivuvev
