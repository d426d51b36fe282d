#include "module/module_options.h"

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "vivuvev_version.h"

namespace vivuvev {

const char ModuleUsage[] =
    "usage: vivuvev [-window | -root | -window-id ID] [-delay USECS] [-fps | -no-fps]\n"
    "               [-display NAME] [-visual V] [-install | -noinstall] [-mono]\n"
    "               [-record-animation N] [-h] [--version]\n"
    "  -window        draw in a window of its own (the default); q, Escape or closing it ends it\n"
    "  -root          draw on the root window\n"
    "  -window-id ID  draw in the window ID (decimal or 0x hexadecimal)\n"
    "  -delay USECS   pause between frames in microseconds (default 10000, 0: none)\n"
    "  -fps           show the frame rate in the bottom-left corner; -no-fps: do not (the default)\n"
    "  -display NAME  the X display to use instead of $DISPLAY\n"
    "  -record-animation N\n"
    "                 record the first N frames shown into vivuvev.mp4 in the working\n"
    "                 directory, then go on\n"
    "  -visual V, -install, -noinstall, -mono\n"
    "                 accepted and ignored: the picture is drawn in software, in the visual of\n"
    "                 the window it is shown in\n"
    "  -h, --help     print this and exit\n"
    "  --version      print the version and exit\n"
    "Options take one dash or two. Without -window or -window-id it draws in\n"
    "$XSCREENSAVER_WINDOW when that is set. SIGTERM or SIGINT ends it.\n";

const char ModuleVersion[] = "vivuvev " VIVUVEV_VERSION_TEXT "\n";

namespace {

// What the options say so far; the target is settled once all are read.
struct Reading {
  ModuleOptions options;
  bool explicitTarget = false;
  bool root = false;
};

// Applies an option to the reading; value is its argument (null for an
// option that takes none). False with a message for a value it refuses.
using ApplyOption = bool (*)(Reading* reading, const char* value, std::string* error);

// An option: one that sets a value, a switch that sets a flag of the options
// to flagValue, or (neither) one that is taken and ignored.
struct OptionEntry {
  const char* name;  // without dashes
  bool takesValue;
  ApplyOption apply;
  bool ModuleOptions::*flag;
  bool flagValue;
};

// text: one or more digits of base (10 or 16) and nothing else, not even a
// sign, blanks or a prefix, which strtoull would take.
bool ParseUnsigned(const char* text, int base, unsigned long long limit, unsigned long long* value) {
  if (text == nullptr || *text == '\0') return false;
  for (const char* c = text; *c != '\0'; ++c) {
    const bool digit =
        base == 16 ? std::isxdigit(static_cast<unsigned char>(*c)) != 0 : *c >= '0' && *c <= '9';
    if (!digit) return false;
  }
  errno = 0;
  const unsigned long long v = std::strtoull(text, nullptr, base);
  if (errno != 0 || v > limit) return false;
  *value = v;
  return true;
}

// Decimal, or hexadecimal after 0x; a leading 0 is a decimal digit like any
// other, never a sign of octal.
bool ParseWindowId(const char* text, unsigned long* id) {
  const bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  unsigned long long v = 0;
  // XIDs have 29 significant bits; 0 is no window.
  if (!ParseUnsigned(hex ? text + 2 : text, hex ? 16 : 10, 0x1FFFFFFFull, &v) || v == 0) return false;
  *id = static_cast<unsigned long>(v);
  return true;
}

bool Root(Reading* r, const char*, std::string*) {
  r->root = true;
  return true;
}

bool OwnWindow(Reading* r, const char*, std::string*) {
  r->options.target = ModuleTarget::OwnWindow;
  r->explicitTarget = true;
  return true;
}

bool WindowId(Reading* r, const char* value, std::string* error) {
  if (!ParseWindowId(value, &r->options.windowId)) {
    *error = std::string("-window-id needs a window id, not '") + value + "'";
    return false;
  }
  r->options.target = ModuleTarget::GivenWindow;
  r->explicitTarget = true;
  return true;
}

bool Delay(Reading* r, const char* value, std::string* error) {
  unsigned long long delay = 0;
  if (!ParseUnsigned(value, 10, 60000000ull, &delay)) {
    *error = std::string("-delay needs microseconds from 0 to 60000000, not '") + value + "'";
    return false;
  }
  r->options.delayMicroseconds = static_cast<uint32_t>(delay);
  return true;
}

bool DisplayName(Reading* r, const char* value, std::string* error) {
  if (*value == '\0') {
    *error = "-display needs a display name";
    return false;
  }
  r->options.displayName = value;
  return true;
}

bool RecordAnimation(Reading* r, const char* value, std::string* error) {
  unsigned long long frames = 0;
  if (!ParseUnsigned(value, 10, UINT32_MAX, &frames) || frames == 0) {
    *error = std::string("-record-animation needs a number of frames from 1, not '") + value + "'";
    return false;
  }
  r->options.recordFrames = static_cast<uint32_t>(frames);
  return true;
}

const OptionEntry Options[] = {
    {"h", false, nullptr, &ModuleOptions::help, true},
    {"help", false, nullptr, &ModuleOptions::help, true},
    {"version", false, nullptr, &ModuleOptions::version, true},
    {"root", false, Root, nullptr, false},
    {"window", false, OwnWindow, nullptr, false},
    {"window-id", true, WindowId, nullptr, false},
    {"delay", true, Delay, nullptr, false},
    {"fps", false, nullptr, &ModuleOptions::showFrameRate, true},
    {"no-fps", false, nullptr, &ModuleOptions::showFrameRate, false},
    {"display", true, DisplayName, nullptr, false},
    {"record-animation", true, RecordAnimation, nullptr, false},
    // Taken by every module of the daemon; they change nothing in a picture
    // drawn in software, in the visual of the window it is shown in.
    {"visual", true, nullptr, nullptr, false},
    {"install", false, nullptr, nullptr, false},
    {"noinstall", false, nullptr, nullptr, false},
    {"mono", false, nullptr, nullptr, false},
};

// The option's name without its one or two leading dashes, or null.
const char* OptionName(const char* argument) {
  if (argument[0] != '-') return nullptr;
  return argument[1] == '-' ? argument + 2 : argument + 1;
}

const OptionEntry* FindOption(const char* name) {
  for (const OptionEntry& entry : Options) {
    if (std::strcmp(entry.name, name) == 0) return &entry;
  }
  return nullptr;
}

}  // namespace

bool ReadModuleOptions(int argc, const char* const* argv, const char* daemonWindow,
                       ModuleOptions* options, std::string* error) {
  Reading r;
  for (int i = 1; i < argc; ++i) {
    const char* name = OptionName(argv[i]);
    if (name == nullptr) {
      *error = std::string("unexpected argument '") + argv[i] + "'";
      return false;
    }
    const OptionEntry* entry = FindOption(name);
    if (entry == nullptr) {
      *error = std::string("unknown option '") + argv[i] + "'";
      return false;
    }
    const char* value = nullptr;
    if (entry->takesValue) {
      if (i + 1 >= argc) {
        *error = std::string(argv[i]) + " needs a value";
        return false;
      }
      value = argv[++i];
    }
    if (entry->flag != nullptr) r.options.*entry->flag = entry->flagValue;
    if (entry->apply != nullptr && !entry->apply(&r, value, error)) return false;
  }
  ModuleOptions& o = r.options;
  if (!r.explicitTarget) {
    unsigned long id = 0;
    if (daemonWindow != nullptr && ParseWindowId(daemonWindow, &id)) {
      o.target = ModuleTarget::GivenWindow;
      o.windowId = id;
    } else if (daemonWindow != nullptr && *daemonWindow != '\0') {
      *error = std::string("XSCREENSAVER_WINDOW is not a window id: '") + daemonWindow + "'";
      return false;
    } else if (r.root) {
      o.target = ModuleTarget::RootWindow;
    }
  }
  *options = o;
  return true;
}

}  // namespace vivuvev
