#include <gtest/gtest.h>

#include <vector>

#include "tests/unit/tool_options_cases.h"
#include "tools/render_options.h"

namespace vivuvev {
namespace {

bool Parse(std::vector<const char*> arguments, RenderOptions* options, std::string* error) {
  return ParseArguments<RenderOptions>(ParseRenderOptions, arguments, options, error);
}

TEST(ParseRenderOptions, DefaultsWithoutArguments) {
  RenderOptions options;
  std::string error;
  ASSERT_TRUE(Parse({}, &options, &error));
  EXPECT_EQ(options.width, 1920);
  EXPECT_EQ(options.height, 1080);
  EXPECT_EQ(options.bits, 32);
  EXPECT_FALSE(options.seed.has_value());
  EXPECT_EQ(options.frames, 600u);
  EXPECT_EQ(options.every, 600u);
  EXPECT_FALSE(options.canvas);
  EXPECT_EQ(options.cyclesFile, "");
  EXPECT_EQ(options.outDir, "frames");
}

TEST(ParseRenderOptions, TakesEveryOption) {
  RenderOptions options;
  std::string error;
  ASSERT_TRUE(Parse({"--size", "320x240", "--bits", "16", "--seed", "4294967295", "--frames", "300",
                     "--every", "100", "--canvas", "--cycles", "c.txt", "--out", "out"},
                    &options, &error))
      << error;
  EXPECT_EQ(options.width, 320);
  EXPECT_EQ(options.height, 240);
  EXPECT_EQ(options.bits, 16);
  EXPECT_EQ(options.seed, 4294967295u);
  EXPECT_EQ(options.frames, 300u);
  EXPECT_EQ(options.every, 100u);
  EXPECT_TRUE(options.canvas);
  EXPECT_EQ(options.cyclesFile, "c.txt");
  EXPECT_EQ(options.outDir, "out");
}

TEST(ParseRenderOptions, TakesValuesAfterAnEqualsSign) {
  RenderOptions options;
  std::string error;
  ASSERT_TRUE(Parse({"--size=320x240", "--bits=16", "--seed=0", "--frames=3", "--every=2",
                     "--cycles=c.txt", "--out=a=b"},
                    &options, &error))
      << error;
  EXPECT_EQ(options.width, 320);
  EXPECT_EQ(options.height, 240);
  EXPECT_EQ(options.bits, 16);
  EXPECT_EQ(options.seed, 0u);
  EXPECT_EQ(options.frames, 3u);
  EXPECT_EQ(options.every, 2u);
  EXPECT_EQ(options.cyclesFile, "c.txt");
  EXPECT_EQ(options.outDir, "a=b");
  EXPECT_EQ(options.request, ToolRequest::Run);
}

TEST(ParseRenderOptions, HelpAndVersionAskForNoRun) {
  RenderOptions options;
  std::string error;
  ASSERT_TRUE(Parse({"--size", "320x240", "--help", "--no-such-option"}, &options, &error)) << error;
  EXPECT_EQ(options.request, ToolRequest::Help);
  ASSERT_TRUE(Parse({"--version"}, &options, &error)) << error;
  EXPECT_EQ(options.request, ToolRequest::Version);
  EXPECT_FALSE(Parse({"--size", "0x1", "--help"}, &options, &error));
}

TEST(ParseRenderOptions, AVideoKeepsEveryFrameUnlessToldOtherwise) {
  RenderOptions options;
  std::string error;
  ASSERT_TRUE(Parse({"--video", "a.webm", "--fps=240"}, &options, &error)) << error;
  EXPECT_EQ(options.videoFile, "a.webm");
  EXPECT_EQ(options.every, 1u);
  EXPECT_EQ(options.fps, 240u);
  ASSERT_TRUE(Parse({"--every", "5", "--video=a.gif"}, &options, &error)) << error;
  EXPECT_EQ(options.every, 5u);
  EXPECT_FALSE(options.fps.has_value());
}

TEST(ParseRenderOptions, AcceptsTheLargestAndSmallestSizes) {
  RenderOptions options;
  std::string error;
  ASSERT_TRUE(Parse({"--size", "16384x1"}, &options, &error));
  EXPECT_EQ(options.width, 16384);
  EXPECT_EQ(options.height, 1);
}

TEST(ParseRenderOptions, RejectsBadArgumentsNamingTheProblem) {
  ExpectEachRefused<RenderOptions>(ParseRenderOptions, {
      {{"--fast"}, "--fast"},
      {{"frames"}, "frames"},
      {{"--size", "0x10"}, "--size"},
      {{"--size", "-5x10"}, "--size"},
      {{"--size", "10x-5"}, "--size"},
      {{"--size", "16385x10"}, "--size"},
      {{"--size", "10x16385"}, "--size"},
      {{"--size", "10"}, "--size"},
      {{"--size", "10x"}, "--size"},
      {{"--size", "x10"}, "--size"},
      {{"--size", "10x10x10"}, "--size"},
      {{"--size", "10X10"}, "--size"},
      {{"--bits", "24"}, "--bits"},
      {{"--seed", "abc"}, "--seed"},
      {{"--seed", "4294967296"}, "--seed"},
      {{"--seed", "-1"}, "--seed"},
      {{"--frames", "0"}, "--frames"},
      {{"--frames", "12a"}, "--frames"},
      {{"--frames", ""}, "--frames"},
      {{"--every", "ten"}, "--every"},
      {{"--every", "+5"}, "--every"},
      {{"--frames"}, "--frames"},
      {{"--out", ""}, "--out"},
      {{"--out="}, "--out"},
      {{"--size="}, "--size"},
      {{"--canvas=yes"}, "--canvas"},
      {{"--video", ""}, "--video"},
      {{"--fps", "0", "--video", "a.mp4"}, "--fps"},
      {{"--fps=241", "--video", "a.mp4"}, "--fps"},
      {{"--fps", "30"}, "--fps"},
      {{"--video", "a.mp4", "--canvas"}, "--canvas"},
      {{"--out", "d", "--video", "a.mp4"}, "--out"},
  });
}

}  // namespace
}  // namespace vivuvev
