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

namespace {

bool Csv(const std::string& value, BenchOptions* options, std::string* error) {
  if (value.empty()) {
    *error = "--csv needs a path";
    return false;
  }
  options->csvFile = value;
  return true;
}

bool Seconds(const std::string& value, BenchOptions* options, std::string* error) {
  char* end = nullptr;
  const double seconds = std::strtod(value.c_str(), &end);
  if (end == value.c_str() || *end != '\0' || !(seconds > 0.0 && seconds <= 600.0)) {
    *error = "--seconds takes a number above 0, at most 600, not '" + value + "'";
    return false;
  }
  options->seconds = seconds;
  return true;
}

const ToolOptionEntry<BenchOptions> BenchOptionTable[] = {
    {"--csv", true, Csv},
    {"--seconds", true, Seconds},
};

}  // namespace

bool ParseBenchOptions(int argc, const char* const* argv, BenchOptions* options,
                       std::string* error) {
  BenchOptions parsed;
  if (!ReadToolOptions(argc, argv, BenchOptionTable, &parsed, &parsed.request, error)) return false;
  *options = parsed;
  return true;
}

}  // namespace vivuvev
