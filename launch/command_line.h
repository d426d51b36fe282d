// Where the process's parameters come from.
//
// Each platform provides ProgramParameter. Windows reads GetCommandLineA on
// every call and splits it with CommandLineParameter; POSIX takes the process
// arguments, already split by the shell, as recorded by SetProgramArguments.
#pragma once

#include <cstdint>
#include <string>

namespace vivuvev {

// Parameter number index of this process; false when there is none.
bool ProgramParameter(int32_t index, std::string* parameter);

// Records main's arguments (argv[0] is the program's path) where the platform
// takes its parameters from them; Windows reads its own command line instead.
void SetProgramArguments(int argc, const char* const* argv);

}  // namespace vivuvev
