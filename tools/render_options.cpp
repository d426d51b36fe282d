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

// The options so far, and which of them were given: --every has another
// default with --video, and --out goes only with PNG files.
struct RenderReading {
  RenderOptions options;
  bool everyGiven = false;
  bool outGiven = false;
};

bool Size(const std::string& value, RenderReading* r, std::string* error) {
  if (ParseSize(value.c_str(), &r->options.width, &r->options.height)) return true;
  *error = "--size must be WxH with each side from 1 to 16384, not '" + value + "'";
  return false;
}

bool Bits(const std::string& value, RenderReading* r, std::string* error) {
  if (value != "32" && value != "16") {
    *error = "--bits must be 32 or 16, not '" + value + "'";
    return false;
  }
  r->options.bits = value == "32" ? 32 : 16;
  return true;
}

// value as a whole number from low to high into *number; otherwise false
// with "NAME must be WHAT, not 'VALUE'".
bool WholeNumber(const char* name, const char* what, const std::string& value, uint64_t low,
                 uint64_t high, uint32_t* number, std::string* error) {
  uint64_t parsed = 0;
  if (!ParseNumber(value.c_str(), low, high, &parsed)) {
    *error = std::string(name) + " must be " + what + ", not '" + value + "'";
    return false;
  }
  *number = static_cast<uint32_t>(parsed);
  return true;
}

// The same, for an option whose absence means something of its own.
bool WholeNumber(const char* name, const char* what, const std::string& value, uint64_t low,
                 uint64_t high, std::optional<uint32_t>* number, std::string* error) {
  uint32_t parsed = 0;
  if (!WholeNumber(name, what, value, low, high, &parsed, error)) return false;
  *number = parsed;
  return true;
}

bool Seed(const std::string& value, RenderReading* r, std::string* error) {
  return WholeNumber("--seed", "a number from 0 to 4294967295", value, 0, UINT32_MAX, &r->options.seed,
                     error);
}

// A count of frames: at least 1, below 2^32 - 1.
bool FrameCount(const char* name, const std::string& value, uint32_t* count, std::string* error) {
  return WholeNumber(name, "a whole number of at least 1", value, 1, UINT32_MAX - 1, count, error);
}

bool Frames(const std::string& value, RenderReading* r, std::string* error) {
  return FrameCount("--frames", value, &r->options.frames, error);
}

bool Every(const std::string& value, RenderReading* r, std::string* error) {
  r->everyGiven = true;
  return FrameCount("--every", value, &r->options.every, error);
}

bool Canvas(const std::string&, RenderReading* r, std::string*) {
  r->options.canvas = true;
  return true;
}

// A path for option name: anything but empty.
bool Path(const char* name, const std::string& value, std::string* path, std::string* error) {
  if (value.empty()) {
    *error = std::string(name) + " needs a path";
    return false;
  }
  *path = value;
  return true;
}

bool Cycles(const std::string& value, RenderReading* r, std::string* error) {
  return Path("--cycles", value, &r->options.cyclesFile, error);
}

bool Out(const std::string& value, RenderReading* r, std::string* error) {
  r->outGiven = true;
  return Path("--out", value, &r->options.outDir, error);
}

bool Video(const std::string& value, RenderReading* r, std::string* error) {
  return Path("--video", value, &r->options.videoFile, error);
}

bool Fps(const std::string& value, RenderReading* r, std::string* error) {
  return WholeNumber("--fps", "a whole number from 1 to 240", value, 1, MaxVideoRate, &r->options.fps,
                     error);
}

const ToolOptionEntry<RenderReading> RenderOptionTable[] = {
    {"--size", true, Size},     {"--bits", true, Bits},     {"--seed", true, Seed},
    {"--frames", true, Frames}, {"--every", true, Every},   {"--canvas", false, Canvas},
    {"--cycles", true, Cycles}, {"--out", true, Out},       {"--video", true, Video},
    {"--fps", true, Fps},
};

}  // namespace

bool ParseRenderOptions(int argc, const char* const* argv, RenderOptions* options,
                        std::string* error) {
  RenderReading r;
  ToolRequest request = ToolRequest::Run;
  if (!ReadToolOptions(argc, argv, RenderOptionTable, &r, &request, error)) return false;
  RenderOptions& parsed = r.options;
  parsed.request = request;
  // A video keeps every frame unless told otherwise; PNG-only options with it
  // would be silently ignored, so they are refused.
  if (request == ToolRequest::Run && parsed.videoFile.empty() && parsed.fps) {
    *error = "--fps needs --video";
    return false;
  }
  if (request == ToolRequest::Run && !parsed.videoFile.empty() && (parsed.canvas || r.outGiven)) {
    *error = std::string(parsed.canvas ? "--canvas" : "--out") + " writes PNG files and does not go with --video";
    return false;
  }
  if (!parsed.videoFile.empty() && !r.everyGiven) parsed.every = 1;
  *options = parsed;
  return true;
}

}  // namespace vivuvev
