// Command-line options of vivuvev-render.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "tools/tool_options.h"

namespace vivuvev {

struct RenderOptions {
  int32_t width = 1920;
  int32_t height = 1080;
  int32_t bits = 32;
  std::optional<uint32_t> seed;
  uint32_t frames = 600;
  uint32_t every = 600;  // 1 with --video
  bool canvas = false;
  std::string cyclesFile;
  std::string outDir = "frames";
  std::string videoFile;        // frames go into this video instead of PNGs
  std::optional<uint32_t> fps;  // the video's frame rate, when asked for
  ToolRequest request = ToolRequest::Run;  // --help or --version ask for no run
};

constexpr int32_t MaxRenderSide = 16384;
constexpr uint32_t MaxVideoRate = 240;

// Parses argv[1..]; on a bad argument returns false with one line naming the
// problem in *error. --help or --version ends the parsing at once: the
// options before it are checked, those after it are not.
bool ParseRenderOptions(int argc, const char* const* argv, RenderOptions* options,
                        std::string* error);

extern const char RenderUsage[];    // the synopsis, also printed on a bad argument
extern const char RenderDetails[];  // what --help prints after the synopsis

}  // namespace vivuvev
