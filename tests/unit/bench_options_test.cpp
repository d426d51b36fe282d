#include "tools/bench_options.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/unit/tool_options_cases.h"

namespace vivuvev {
namespace {

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
      {{"--help"}, "", 1.0, ToolRequest::Help},
      {{"--seconds", "3", "--version", "--bogus"}, "", 3.0, ToolRequest::Version},
  };
  for (const GoodCase& c : cases) {
    BenchOptions options;
    std::string error;
    ASSERT_TRUE(ParseArguments<BenchOptions>(ParseBenchOptions, c.arguments, &options, &error))
        << error;
    EXPECT_EQ(options.csvFile, c.csvFile);
    EXPECT_DOUBLE_EQ(options.seconds, c.seconds);
    EXPECT_EQ(options.request, c.request);
  }
}

TEST(ParseBenchOptions, RejectsBadArgumentsNamingTheProblem) {
  ExpectEachRefused<BenchOptions>(ParseBenchOptions, {
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
  });
}

}  // namespace
}  // namespace vivuvev
