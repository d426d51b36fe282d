#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launch/parameters.h"

namespace vivuvev {
namespace {

// Every parameter of a command line, in order, as successive calls see them.
std::vector<std::string> Parameters(const char* line) {
  std::vector<std::string> found;
  std::string parameter;
  for (int32_t i = 0; CommandLineParameter(line, i, &parameter); ++i) found.push_back(parameter);
  return found;
}

struct LineCase {
  const char* line;
  std::vector<std::string> parameters;
};

TEST(CommandLineParameter, SplitsTheWayTheScreensaverHostDoes) {
  const LineCase cases[] = {
      {"\"C:\\dir\\saver.scr\" /s", {"/s"}},
      {"C:\\dir\\saver.scr /c:1234", {"/c:1234"}},
      {"saver.scr /p 1234", {"/p", "1234"}},
      {"saver.scr    /s    ", {"/s"}},
      {"C:\\Program Files\\saver.scr /s", {"Files\\saver.scr", "/s"}},
      {"saver.scr \"a b\" c", {"a b", "c"}},
      {"saver.scr \"a b", {"a b"}},
      {"saver.scr \"\" x", {"", "x"}},
      {"saver.scr \"ab\"cd", {"ab", "cd"}},
      {"saver.scr ab\"c d\"", {"ab\"c", "d\""}},
      {"saver.scr\t/s", {}},
      {"", {}},
      {"   ", {}},
  };
  for (const LineCase& c : cases) {
    EXPECT_EQ(Parameters(c.line), c.parameters) << "command line [" << c.line << "]";
  }
}

TEST(CommandLineParameter, NullLineAndNegativeIndexHaveNoParameter) {
  std::string parameter = "unchanged";
  EXPECT_FALSE(CommandLineParameter(nullptr, 0, &parameter));
  EXPECT_FALSE(CommandLineParameter("saver.scr /s", -1, &parameter));
  EXPECT_EQ(parameter, "unchanged");
}

}  // namespace
}  // namespace vivuvev
