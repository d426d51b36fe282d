#include "tools/bench_options.h"

#include <gtest/gtest.h>

#include <vector>

namespace vivuvev {
namespace {

bool Parse(std::vector<const char*> arguments, BenchOptions* options, std::string* error) {
  arguments.insert(arguments.begin(), "vivuvev-bench");
  return ParseBenchOptions(static_cast<int>(arguments.size()), arguments.data(), options, error);
}

struct GoodCase {
  std::vector<const char*> arguments;
  const char* csvFile;
  double seconds;
  ToolRequest request;
};

TEST(ParseBenchOptions, TakesValuesAfterASpaceOrAnEqualsSign) {
  const GoodCase cases[] = {
      {{}, "", 1.0, ToolRequest::Run},
      {{"--csv", "out.csv", "--seconds", "2.5"}, "out.csv", 2.5, ToolRequest::Run},
      {{"--csv=out.csv", "--seconds=600"}, "out.csv", 600.0, ToolRequest::Run},
      {{"--seconds", "0.01"}, "", 0.01, ToolRequest::Run},
      {{"--help"}, "", 1.0, ToolRequest::Help},
      {{"--seconds", "3", "--version", "--bogus"}, "", 3.0, ToolRequest::Version},
  };
  for (const GoodCase& c : cases) {
    BenchOptions options;
    std::string error;
    ASSERT_TRUE(Parse(c.arguments, &options, &error)) << error;
    EXPECT_EQ(options.csvFile, c.csvFile);
    EXPECT_DOUBLE_EQ(options.seconds, c.seconds);
    EXPECT_EQ(options.request, c.request);
  }
}

struct BadCase {
  std::vector<const char*> arguments;
  const char* mentions;
};

TEST(ParseBenchOptions, RejectsBadArgumentsNamingTheProblem) {
  const BadCase cases[] = {
      {{"--fast"}, "--fast"},
      {{"--csv"}, "--csv"},
      {{"--csv="}, "--csv"},
      {{"--seconds"}, "--seconds"},
      {{"--seconds", "0"}, "--seconds"},
      {{"--seconds", "-1"}, "--seconds"},
      {{"--seconds", "600.5"}, "--seconds"},
      {{"--seconds", "two"}, "--seconds"},
      {{"--seconds", "2s"}, "--seconds"},
      {{"--seconds", "nan"}, "--seconds"},
      {{"--seconds="}, "--seconds"},
      {{"--seconds", "0", "--help"}, "--seconds"},
  };
  for (const BadCase& c : cases) {
    BenchOptions options;
    std::string error;
    EXPECT_FALSE(Parse(c.arguments, &options, &error)) << c.arguments[0];
    EXPECT_NE(error.find(c.mentions), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << "one line: " << error;
  }
}

}  // namespace
}  // namespace vivuvev
