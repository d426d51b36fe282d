// What the tools' command lines have in common: a table of options given as
// "--name value" or "--name=value", --help and --version, and the check that
// an output file can be written before any work starts.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace vivuvev {

// What a command line asks for: a run, or only the usage or the version.
enum class ToolRequest { Run, Help, Version };

struct ToolOption {
  std::string name;   // as given, "--size"
  std::string value;  // empty for an option without one
};

// What a tool's table says of an option's name.
enum class OptionArity { Unknown, Flag, Valued };

// Reads the option at argv[*next] and moves *next past it and its value. A
// Valued name takes the text after '=' or, without one, the next argument; a
// Flag, or --help or --version, comes without '='. An Unknown name, or a
// missing or unexpected value, returns false with one line in *error.
bool ReadToolOption(int argc, const char* const* argv, int* next,
                    const std::function<OptionArity(const std::string&)>& arityOf,
                    ToolOption* option, std::string* error);

// --help and --version: the request they make, Run for any other name.
ToolRequest RequestFor(const std::string& name);

// One row of a tool's table of options: the name, whether it takes a value,
// and what it does with it (the value is empty for a flag). apply returns
// false with one line in *error for a value it refuses.
template <typename Reading>
struct ToolOptionEntry {
  const char* name;  // "--size"
  bool takesValue;
  bool (*apply)(const std::string& value, Reading* reading, std::string* error);
};

// Reads argv[1..] through table into *reading. --help or --version sets
// *request and ends the reading at once: the options before it are checked,
// those after it are not. False with one line in *error on the first
// argument that is refused.
template <typename Reading, size_t Rows>
bool ReadToolOptions(int argc, const char* const* argv, const ToolOptionEntry<Reading> (&table)[Rows],
                     Reading* reading, ToolRequest* request, std::string* error) {
  const auto find = [&table](const std::string& name) -> const ToolOptionEntry<Reading>* {
    for (const ToolOptionEntry<Reading>& entry : table) {
      if (name == entry.name) return &entry;
    }
    return nullptr;
  };
  const auto arityOf = [&find](const std::string& name) {
    const ToolOptionEntry<Reading>* entry = find(name);
    if (entry == nullptr) return OptionArity::Unknown;
    return entry->takesValue ? OptionArity::Valued : OptionArity::Flag;
  };
  *request = ToolRequest::Run;
  for (int next = 1; next < argc;) {
    ToolOption option;
    if (!ReadToolOption(argc, argv, &next, arityOf, &option, error)) return false;
    *request = RequestFor(option.name);
    if (*request != ToolRequest::Run) return true;
    if (!find(option.name)->apply(option.value, reading, error)) return false;
  }
  return true;
}

// Prints the usage (usage, then details) or "program VERSION" on stdout for
// --help or --version; the exit status, 0.
int AnswerToolRequest(ToolRequest request, const char* program, const char* usage,
                      const char* details);

// True when path can be written: an existing file is opened for appending and
// left as it was; a missing one is created and removed again.
bool CanWriteFile(const std::string& path);

}  // namespace vivuvev
