// Command-line options of vivuvev-bench.
#pragma once

#include <string>

#include "tools/tool_options.h"

namespace vivuvev {

struct BenchOptions {
  std::string csvFile;  // empty: no CSV
  double seconds = 1.0;
  ToolRequest request = ToolRequest::Run;
};

// Parses argv[1..]; on a bad argument returns false with one line naming the
// problem in *error. --help or --version ends the parsing at once.
bool ParseBenchOptions(int argc, const char* const* argv, BenchOptions* options,
                       std::string* error);

extern const char BenchUsage[];    // the synopsis, also printed on a bad argument
extern const char BenchDetails[];  // what --help prints after the synopsis

}  // namespace vivuvev
