// Turning a fuzzer's bytes into what the parsers take, and stopping loudly
// when a stated property fails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace vivuvev {

// Aborts with the failed property's text, so that libFuzzer records the input.
#define FUZZ_CHECK(condition)                                                    \
  do {                                                                           \
    if (!(condition)) {                                                          \
      std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, \
                   #condition);                                                  \
      std::abort();                                                              \
    }                                                                            \
  } while (0)

// The bytes split at each zero byte; no bytes give no pieces. Each piece is
// a text as a C string sees it.
inline std::vector<std::string> SplitAtZeros(const uint8_t* data, size_t size) {
  std::vector<std::string> pieces;
  if (size == 0) return pieces;
  std::string piece;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      pieces.push_back(piece);
      piece.clear();
    } else {
      piece.push_back(static_cast<char>(data[i]));
    }
  }
  pieces.push_back(piece);
  return pieces;
}

// An argv for main: the program's name, then the arguments.
struct Arguments {
  std::vector<std::string> values;
  std::vector<const char*> argv;

  Arguments(const char* program, std::vector<std::string> arguments) : values(std::move(arguments)) {
    argv.push_back(program);
    for (const std::string& value : values) argv.push_back(value.c_str());
  }
  int argc() const { return static_cast<int>(argv.size()); }

  // Whether one of the arguments is exactly one of the spellings.
  bool Has(std::initializer_list<const char*> spellings) const {
    for (const std::string& value : values) {
      for (const char* spelling : spellings) {
        if (value == spelling) return true;
      }
    }
    return false;
  }

  // The option given as "NAME" or as "NAME=value".
  bool HasOption(const std::string& name) const {
    for (const std::string& value : values) {
      if (value == name || value.rfind(name + "=", 0) == 0) return true;
    }
    return false;
  }
};

}  // namespace vivuvev
