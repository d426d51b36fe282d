#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "input/keyboard.h"
#include "launch/command_line.h"
#include "launch/dispatch.h"
#include "launch/parameters.h"
#include "platform/headless/headless.h"
#include "program/program.h"

namespace vivuvev {
namespace {

struct ModeCase {
  const char* parameter;
  SaverMode mode;
};

TEST(SaverModeFor, ReadsTheSecondCharacterInEitherCase) {
  const ModeCase cases[] = {
      {"/s", SaverMode::Animation},       {"-sfoo", SaverMode::Animation},   {"xs", SaverMode::Animation},
      {"/S", SaverMode::Animation},       {"-Sfoo", SaverMode::Animation},   {"/c", SaverMode::AboutBox},
      {"/c:1234", SaverMode::AboutBox},   {"/C", SaverMode::AboutBox},       {"-C", SaverMode::AboutBox},
      {"/C:1234", SaverMode::AboutBox},   {"/p", SaverMode::End},            {"/P", SaverMode::End},
      {"/x", SaverMode::End},             {"/X", SaverMode::End},            {"s", SaverMode::End},
      {"S", SaverMode::End},              {"", SaverMode::End},              {nullptr, SaverMode::End},
      {"Files\\saver.scr", SaverMode::End}, {"//s", SaverMode::End},         {"/ S", SaverMode::End},
      // "S", "s", "C" and "c" with the high bit set are other bytes (Latin-1
      // letters, parts of UTF-8 sequences), never the mode letter.
      {"/\xD3", SaverMode::End},          {"/\xF3", SaverMode::End},         {"/\xC3", SaverMode::End},
      {"/\xE3", SaverMode::End},
  };
  for (const ModeCase& c : cases) {
    EXPECT_EQ(SaverModeFor(c.parameter), c.mode) << (c.parameter ? c.parameter : "null");
  }
}

TEST(AboutBox, IsTitledWithTheProgramAndVersion) { EXPECT_STREQ(AboutTitle, "Vivuvev V2.0"); }

#ifndef _WIN32
// saver's whole life in a child process: its arguments, start-up, dispatch
// and ProgramEnd. At exit it reports what it showed, so the parent can tell
// the animation, the about box and a silent end apart.
void RunSaverWith(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "saver");
  SetProgramArguments(static_cast<int>(arguments.size()), arguments.data());
  ResetHeadlessPlatform();
  SetHeadlessScreen(64, 48, 32);
  ScriptKeyDown(3, 30);  // any key ends the animation after frame 3
  std::atexit([] {
    std::fprintf(stderr, "frames=%u boxes=%d\n", HeadlessFramesPresented(),
                 LastHeadlessMessageBox().calls);
  });
  StartProgram();
  RunSaver();
}

struct RunCase {
  std::vector<const char*> arguments;
  const char* report;
};

TEST(RunSaverDeathTest, EveryCommandLineEndsWithExitCodeZero) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const RunCase cases[] = {
      {{"/s"}, "frames=3 boxes=0"},         {{"-sfoo"}, "frames=3 boxes=0"},
      {{"/S"}, "frames=3 boxes=0"},         {{"/c"}, "frames=0 boxes=1"},
      {{"/c:1234"}, "frames=0 boxes=1"},    {{"/c", "1234"}, "frames=0 boxes=1"},
      {{"/C"}, "frames=0 boxes=1"},         {{"/C:1234"}, "frames=0 boxes=1"},
      {{"/p", "1234"}, "frames=0 boxes=0"}, {{"/P", "1234"}, "frames=0 boxes=0"},
      {{}, "frames=0 boxes=0"},             {{"s"}, "frames=0 boxes=0"},
  };
  for (const RunCase& c : cases) {
    EXPECT_EXIT(RunSaverWith(c.arguments), ::testing::ExitedWithCode(0), c.report)
        << (c.arguments.empty() ? "(none)" : c.arguments[0]);
  }
}

TEST(RunStandaloneDeathTest, IgnoresItsArgumentsAndEndsOnEscapeWithCodeZero) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  auto standalone = [] {
    const char* arguments[] = {"standalone", "/c"};
    SetProgramArguments(2, arguments);
    ResetHeadlessPlatform();
    SetHeadlessScreen(64, 48, 32);
    ScriptKeyDown(2, 30);   // another key does not end it
    ScriptKeyDown(5, KeyEscape);
    std::atexit([] {
      std::fprintf(stderr, "frames=%u boxes=%d\n", HeadlessFramesPresented(),
                   LastHeadlessMessageBox().calls);
    });
    StartProgram();
    RunStandalone();
  };
  EXPECT_EXIT(standalone(), ::testing::ExitedWithCode(0), "frames=5 boxes=0");
}
#endif

}  // namespace
}  // namespace vivuvev
