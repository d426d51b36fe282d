// Running a tool's option parser over argument lists, for the tools' option
// tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vivuvev {

template <typename Options>
using OptionParser = bool (*)(int, const char* const*, Options*, std::string*);

// Parses arguments as a tool's argv[1..].
template <typename Options>
bool ParseArguments(OptionParser<Options> parse, std::vector<const char*> arguments,
                    Options* options, std::string* error) {
  arguments.insert(arguments.begin(), "tool");
  return parse(static_cast<int>(arguments.size()), arguments.data(), options, error);
}

struct BadArguments {
  std::vector<const char*> arguments;
  const char* mentions;  // what the one-line message must name
};

// Every case is refused with one line naming the problem.
template <typename Options>
void ExpectEachRefused(OptionParser<Options> parse, const std::vector<BadArguments>& cases) {
  for (const BadArguments& c : cases) {
    Options options;
    std::string error;
    EXPECT_FALSE(ParseArguments(parse, c.arguments, &options, &error)) << c.arguments[0];
    EXPECT_NE(error.find(c.mentions), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << "one line: " << error;
  }
}

}  // namespace vivuvev
