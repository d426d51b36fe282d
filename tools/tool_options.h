// What the tools' command lines have in common: options given as
// "--name value" or "--name=value", --help and --version, and the check that
// an output file can be written before any work starts.
#pragma once

#include <initializer_list>
#include <string>

namespace vivuvev {

// What a command line asks for: a run, or only the usage or the version.
enum class ToolRequest { Run, Help, Version };

struct ToolOption {
  std::string name;   // as given, "--size"
  std::string value;  // empty for an option without one
};

// Reads the option at argv[*next] and moves *next past it and its value. A
// name listed in valued takes the text after '=' or, without one, the next
// argument; one in flags, or --help or --version, comes without '='. An
// unknown name, or a missing or unexpected value, returns false with one line
// in *error.
bool ReadToolOption(int argc, const char* const* argv, int* next,
                    std::initializer_list<const char*> valued,
                    std::initializer_list<const char*> flags, ToolOption* option,
                    std::string* error);

// --help and --version: the request they make, Run for any other name.
ToolRequest RequestFor(const std::string& name);

// Prints the usage (usage, then details) or "program VERSION" on stdout for
// --help or --version; the exit status, 0.
int AnswerToolRequest(ToolRequest request, const char* program, const char* usage,
                      const char* details);

// True when path can be written: an existing file is opened for appending and
// left as it was; a missing one is created and removed again.
bool CanWriteFile(const std::string& path);

}  // namespace vivuvev
