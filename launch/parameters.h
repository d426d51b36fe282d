// Program parameters: the tokens of the command line after the program's path.
#pragma once

#include <cstdint>
#include <string>

namespace vivuvev {

// Parameter number index (0 is the first after the program's path) of a
// command line split by the screensaver host's rules: only spaces separate,
// a token opening with a double quote runs to the next one, no escapes.
// Returns false when the line has no such parameter.
bool CommandLineParameter(const char* commandLine, int32_t index, std::string* parameter);

// The next parameter of this process, or empty text once they are used up.
std::string NextProgramParameter();

// How many parameters NextProgramParameter has returned so far.
int32_t ProgramParameterIndex();

}  // namespace vivuvev
