#include "tools/tool_options.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

namespace vivuvev {
namespace {

struct ReadCase {
  std::vector<const char*> arguments;
  bool ok;
  const char* name;     // when ok
  const char* value;    // when ok
  int next;             // when ok: where the next option starts
  const char* mentions; // when not ok
};

TEST(ReadToolOption, SplitsNamesValuesAndRejectsWhatDoesNotFit) {
  const ReadCase cases[] = {
      {{"--size=320x240", "--canvas"}, true, "--size", "320x240", 1, nullptr},
      {{"--size", "320x240", "--canvas"}, true, "--size", "320x240", 2, nullptr},
      {{"--out=a=b"}, true, "--out", "a=b", 1, nullptr},
      {{"--out="}, true, "--out", "", 1, nullptr},
      {{"--out", "--canvas"}, true, "--out", "--canvas", 2, nullptr},
      {{"--canvas"}, true, "--canvas", "", 1, nullptr},
      {{"--help", "--bogus"}, true, "--help", "", 1, nullptr},
      {{"--size"}, false, nullptr, nullptr, 0, "--size needs a value"},
      {{"--canvas=yes"}, false, nullptr, nullptr, 0, "--canvas takes no value"},
      {{"--help=me"}, false, nullptr, nullptr, 0, "--help takes no value"},
      {{"--colour"}, false, nullptr, nullptr, 0, "unknown option '--colour'"},
      {{"--colour=red"}, false, nullptr, nullptr, 0, "unknown option '--colour=red'"},
  };
  for (const ReadCase& c : cases) {
    std::vector<const char*> argv = c.arguments;
    argv.insert(argv.begin(), "tool");
    int next = 1;
    ToolOption option;
    std::string error;
    const auto arityOf = [](const std::string& name) {
      if (name == "--size" || name == "--out") return OptionArity::Valued;
      return name == "--canvas" ? OptionArity::Flag : OptionArity::Unknown;
    };
    const bool ok = ReadToolOption(static_cast<int>(argv.size()), argv.data(), &next, arityOf,
                                   &option, &error);
    ASSERT_EQ(ok, c.ok) << c.arguments[0] << ": " << error;
    if (ok) {
      EXPECT_EQ(option.name, c.name) << c.arguments[0];
      EXPECT_EQ(option.value, c.value) << c.arguments[0];
      EXPECT_EQ(next, 1 + c.next) << c.arguments[0];
    } else {
      EXPECT_NE(error.find(c.mentions), std::string::npos) << error;
    }
  }
}

class CanWriteFileTest : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vivuvev-tool-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
  }
  void TearDown() override {
    std::remove((dir + "/kept.csv").c_str());
    chmod(dir.c_str(), 0700);
    rmdir((dir + "/sub").c_str());
    rmdir(dir.c_str());
  }
  bool Exists(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0;
  }
  std::string dir;
};

TEST_F(CanWriteFileTest, LeavesNoNewFileBehind) {
  EXPECT_TRUE(CanWriteFile(dir + "/new.csv"));
  EXPECT_FALSE(Exists(dir + "/new.csv"));
}

TEST_F(CanWriteFileTest, LeavesAnExistingFileAsItWas) {
  std::ofstream(dir + "/kept.csv") << "width,height\n1,2\n";
  EXPECT_TRUE(CanWriteFile(dir + "/kept.csv"));
  std::stringstream text;
  text << std::ifstream(dir + "/kept.csv").rdbuf();
  EXPECT_EQ(text.str(), "width,height\n1,2\n");
}

TEST_F(CanWriteFileTest, RefusesWhatCannotBeWritten) {
  EXPECT_FALSE(CanWriteFile(dir + "/missing/out.csv"));
  ASSERT_EQ(mkdir((dir + "/sub").c_str(), 0700), 0);
  EXPECT_FALSE(CanWriteFile(dir + "/sub"));
  EXPECT_FALSE(CanWriteFile(""));
  if (geteuid() != 0) {  // root writes anywhere
    ASSERT_EQ(chmod(dir.c_str(), 0500), 0);
    EXPECT_FALSE(CanWriteFile(dir + "/new.csv"));
  }
}

}  // namespace
}  // namespace vivuvev
