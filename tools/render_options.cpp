#include "tools/render_options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "tools/tool_options.h"

namespace vivuvev {

const char RenderUsage[] =
    "usage: vivuvev-render [--size WxH] [--bits 32|16] [--seed N] [--frames N] [--every K]\n"
    "                      [--canvas] [--cycles FILE] [--out DIR]\n"
    "       vivuvev-render --video FILE [--fps N] [--size WxH] [--bits 32|16] [--seed N]\n"
    "                      [--frames N] [--every K] [--cycles FILE]\n"
    "       vivuvev-render --help | --version\n";

const char RenderDetails[] =
    "Runs the animation on a screen in memory and writes it after every K-th frame and\n"
    "after the last as DIR/frame-NNNNNN.png. Values go after a space or an '='.\n"
    "  --size WxH     the screen, each side 1 to 16384 (default 1920x1080)\n"
    "  --bits 32|16   the screen's depth (default 32)\n"
    "  --seed N       the same run on every machine (default: seeded from the clock)\n"
    "  --frames N     frames to run (default 600)\n"
    "  --every K      write every K-th frame (default 600); the last is always written\n"
    "  --canvas       also write the canvas as DIR/canvas-NNNNNN.png\n"
    "  --cycles FILE  write each cycle's nine random values, a line each\n"
    "  --out DIR      where to write (default frames)\n"
    "  --video FILE   write the frames into one video instead: .mp4 (H.264), .webm (VP9),\n"
    "                 .webp (animated, lossless) or .gif; --every is 1 unless given\n"
    "  --fps N        the video's frames per second, 1 to 240 (default 60; GIF 50)\n"
    "  --help         print this and exit\n"
    "  --version      print the version and exit\n";

namespace {

// A whole decimal number in [low, high]; nothing else may follow it.
bool ParseNumber(const char* text, uint64_t low, uint64_t high, uint64_t* value) {
  if (text == nullptr || *text < '0' || *text > '9') return false;
  errno = 0;
  char* end = nullptr;
  const unsigned long long parsed = std::strtoull(text, &end, 10);
  if (errno != 0 || *end != '\0' || parsed < low || parsed > high) return false;
  *value = parsed;
  return true;
}

bool ParseSize(const char* text, int32_t* width, int32_t* height) {
  const char* x = text ? std::strchr(text, 'x') : nullptr;
  if (x == nullptr) return false;
  const std::string w(text, x);
  uint64_t parsedWidth = 0, parsedHeight = 0;
  if (!ParseNumber(w.c_str(), 1, MaxRenderSide, &parsedWidth) ||
      !ParseNumber(x + 1, 1, MaxRenderSide, &parsedHeight)) {
    return false;
  }
  *width = static_cast<int32_t>(parsedWidth);
  *height = static_cast<int32_t>(parsedHeight);
  return true;
}

}  // namespace

bool ParseRenderOptions(int argc, const char* const* argv, RenderOptions* options,
                        std::string* error) {
  RenderOptions parsed;
  bool everyGiven = false, outGiven = false;
  for (int i = 1; i < argc;) {
    ToolOption read;
    if (!ReadToolOption(argc, argv, &i,
                        {"--size", "--bits", "--seed", "--frames", "--every", "--cycles", "--out",
                         "--video", "--fps"},
                        {"--canvas"}, &read, error)) {
      return false;
    }
    const std::string& option = read.name;
    const char* value = read.value.c_str();
    if (RequestFor(option) != ToolRequest::Run) {
      parsed.request = RequestFor(option);
      break;
    }
    if (option == "--canvas") {
      parsed.canvas = true;
      continue;
    }
    uint64_t number = 0;
    if (option == "--size") {
      if (!ParseSize(value, &parsed.width, &parsed.height)) {
        *error = "--size must be WxH with each side from 1 to 16384, not '" + std::string(value) + "'";
        return false;
      }
    } else if (option == "--bits") {
      if (std::strcmp(value, "32") != 0 && std::strcmp(value, "16") != 0) {
        *error = "--bits must be 32 or 16, not '" + std::string(value) + "'";
        return false;
      }
      parsed.bits = value[0] == '3' ? 32 : 16;
    } else if (option == "--seed") {
      if (!ParseNumber(value, 0, UINT32_MAX, &number)) {
        *error = "--seed must be a number from 0 to 4294967295, not '" + std::string(value) + "'";
        return false;
      }
      parsed.seed = static_cast<uint32_t>(number);
    } else if (option == "--frames" || option == "--every") {
      if (!ParseNumber(value, 1, UINT32_MAX - 1, &number)) {
        *error = option + " must be a whole number of at least 1, not '" + std::string(value) + "'";
        return false;
      }
      (option == "--frames" ? parsed.frames : parsed.every) = static_cast<uint32_t>(number);
      everyGiven = everyGiven || option == "--every";
    } else if (option == "--fps") {
      if (!ParseNumber(value, 1, MaxVideoRate, &number)) {
        *error = "--fps must be a whole number from 1 to 240, not '" + std::string(value) + "'";
        return false;
      }
      parsed.fps = static_cast<uint32_t>(number);
    } else {
      if (*value == '\0') {
        *error = option + " needs a path";
        return false;
      }
      (option == "--cycles" ? parsed.cyclesFile : option == "--out" ? parsed.outDir : parsed.videoFile) = value;
      outGiven = outGiven || option == "--out";
    }
  }
  // A video keeps every frame unless told otherwise; PNG-only options with it
  // would be silently ignored, so they are refused.
  if (parsed.request == ToolRequest::Run && parsed.videoFile.empty() && parsed.fps) {
    *error = "--fps needs --video";
    return false;
  }
  if (parsed.request == ToolRequest::Run && !parsed.videoFile.empty() && (parsed.canvas || outGiven)) {
    *error = std::string(parsed.canvas ? "--canvas" : "--out") + " writes PNG files and does not go with --video";
    return false;
  }
  if (!parsed.videoFile.empty() && !everyGiven) parsed.every = 1;
  *options = parsed;
  return true;
}

}  // namespace vivuvev
