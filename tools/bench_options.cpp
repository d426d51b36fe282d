#include "tools/bench_options.h"

#include <cstdlib>

namespace vivuvev {

const char BenchUsage[] =
    "usage: vivuvev-bench [--csv FILE] [--seconds S]\n"
    "       vivuvev-bench --help | --version\n";

const char BenchDetails[] =
    "Times the animation's software path against the plain reference at three screen\n"
    "sizes and two depths. Values go after a space or an '='.\n"
    "  --csv FILE   also write the results as CSV (checked before anything is measured)\n"
    "  --seconds S  time each measurement for about S seconds in all, above 0 and at\n"
    "               most 600 (default 1)\n"
    "  --help       print this and exit\n"
    "  --version    print the version and exit\n";

bool ParseBenchOptions(int argc, const char* const* argv, BenchOptions* options,
                       std::string* error) {
  BenchOptions parsed;
  for (int i = 1; i < argc;) {
    ToolOption read;
    if (!ReadToolOption(argc, argv, &i, {"--csv", "--seconds"}, {}, &read, error)) return false;
    if (RequestFor(read.name) != ToolRequest::Run) {
      parsed.request = RequestFor(read.name);
      break;
    }
    if (read.name == "--csv") {
      if (read.value.empty()) {
        *error = "--csv needs a path";
        return false;
      }
      parsed.csvFile = read.value;
    } else {
      char* end = nullptr;
      const double seconds = std::strtod(read.value.c_str(), &end);
      if (end == read.value.c_str() || *end != '\0' || !(seconds > 0.0 && seconds <= 600.0)) {
        *error = "--seconds takes a number above 0, at most 600, not '" + read.value + "'";
        return false;
      }
      parsed.seconds = seconds;
    }
  }
  *options = parsed;
  return true;
}

}  // namespace vivuvev
