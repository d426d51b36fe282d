#include "tools/tool_options.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include "vivuvev_version.h"

namespace vivuvev {

bool ReadToolOption(int argc, const char* const* argv, int* next,
                    const std::function<OptionArity(const std::string&)>& arityOf,
                    ToolOption* option, std::string* error) {
  const std::string argument = argv[(*next)++];
  const size_t equals = argument.rfind("--", 0) == 0 ? argument.find('=') : std::string::npos;
  option->name = argument.substr(0, equals);
  option->value.clear();
  const OptionArity arity = arityOf(option->name);
  if (arity == OptionArity::Unknown && RequestFor(option->name) == ToolRequest::Run) {
    *error = "unknown option '" + argument + "'";
    return false;
  }
  if (arity != OptionArity::Valued) {
    if (equals != std::string::npos) {
      *error = "option " + option->name + " takes no value";
      return false;
    }
    return true;
  }
  if (equals != std::string::npos) {
    option->value = argument.substr(equals + 1);
    return true;
  }
  if (*next >= argc) {
    *error = "option " + option->name + " needs a value";
    return false;
  }
  option->value = argv[(*next)++];
  return true;
}

ToolRequest RequestFor(const std::string& name) {
  if (name == "--help") return ToolRequest::Help;
  if (name == "--version") return ToolRequest::Version;
  return ToolRequest::Run;
}

int AnswerToolRequest(ToolRequest request, const char* program, const char* usage,
                      const char* details) {
  if (request == ToolRequest::Help) {
    std::fputs(usage, stdout);
    std::fputs(details, stdout);
  } else {
    std::printf("%s %s\n", program, VIVUVEV_VERSION_TEXT);
  }
  return 0;
}

bool CanWriteFile(const std::string& path) {
  struct stat status;
  const bool existed = stat(path.c_str(), &status) == 0;
  FILE* file = std::fopen(path.c_str(), "a");
  if (file == nullptr) return false;
  std::fclose(file);
  if (!existed) std::remove(path.c_str());
  return true;
}

}  // namespace vivuvev
