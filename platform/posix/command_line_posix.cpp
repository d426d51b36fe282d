// Parameters on POSIX: the process arguments, already split by the shell.
#include <vector>

#include "launch/command_line.h"

namespace vivuvev {

namespace {
std::vector<std::string> programArguments;
}

void SetProgramArguments(int argc, const char* const* argv) {
  programArguments.assign(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
}

bool ProgramParameter(int32_t index, std::string* parameter) {
  if (index < 0 || static_cast<size_t>(index) >= programArguments.size()) return false;
  *parameter = programArguments[static_cast<size_t>(index)];
  return true;
}

}  // namespace vivuvev
