// Parameters on Windows: GetCommandLineA, read afresh on every call.
#include <windows.h>

#include "launch/command_line.h"
#include "launch/parameters.h"

namespace vivuvev {

bool ProgramParameter(int32_t index, std::string* parameter) {
  return CommandLineParameter(::GetCommandLineA(), index, parameter);
}

}  // namespace vivuvev
