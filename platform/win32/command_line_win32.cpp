// Parameters on Windows: GetCommandLineA, read afresh on every call.
#include <windows.h>

#include "launch/command_line.h"
#include "launch/parameters.h"

namespace vivuvev {

// The parameters come from GetCommandLineA, not from main's arguments: the
// screensaver host's quoting rules are not the C runtime's.
void SetProgramArguments(int, const char* const*) {}

bool ProgramParameter(int32_t index, std::string* parameter) {
  return CommandLineParameter(::GetCommandLineA(), index, parameter);
}

}  // namespace vivuvev
