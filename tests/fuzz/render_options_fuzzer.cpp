// Any arguments for vivuvev-render: the bytes split at zero bytes.
#include "tests/fuzz/fuzz_input.h"
#include "tools/render_options.h"

namespace vivuvev {
namespace {

bool SameOptions(const RenderOptions& a, const RenderOptions& b) {
  return a.width == b.width && a.height == b.height && a.bits == b.bits && a.seed == b.seed &&
         a.frames == b.frames && a.every == b.every && a.canvas == b.canvas &&
         a.cyclesFile == b.cyclesFile && a.outDir == b.outDir && a.videoFile == b.videoFile &&
         a.fps == b.fps;
}

}  // namespace
}  // namespace vivuvev

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vivuvev;
  const Arguments args("vivuvev-render", SplitAtZeros(data, size));

  RenderOptions untouched;
  untouched.width = 3;
  untouched.bits = 8;
  untouched.seed = 5;
  untouched.outDir = "untouched";
  RenderOptions options = untouched;
  std::string error;
  if (!ParseRenderOptions(args.argc(), args.argv.data(), &options, &error)) {
    FUZZ_CHECK(!error.empty());
    FUZZ_CHECK(SameOptions(options, untouched));
    return 0;
  }

  RenderOptions again;
  std::string againError;
  FUZZ_CHECK(ParseRenderOptions(args.argc(), args.argv.data(), &again, &againError));
  FUZZ_CHECK(SameOptions(options, again));

  // Whatever was accepted is a run the renderer can make.
  FUZZ_CHECK(options.width >= 1 && options.width <= MaxRenderSide);
  FUZZ_CHECK(options.height >= 1 && options.height <= MaxRenderSide);
  FUZZ_CHECK(options.bits == 32 || options.bits == 16);
  FUZZ_CHECK(options.frames >= 1 && options.frames < UINT32_MAX);
  FUZZ_CHECK(options.every >= 1 && options.every < UINT32_MAX);
  FUZZ_CHECK(!options.outDir.empty());

  // Anything but a default was asked for.
  const RenderOptions defaults;
  if (options.width != defaults.width || options.height != defaults.height) {
    FUZZ_CHECK(args.HasOption("--size"));
  }
  if (options.bits != defaults.bits) FUZZ_CHECK(args.HasOption("--bits"));
  if (options.seed) FUZZ_CHECK(args.HasOption("--seed"));
  if (options.frames != defaults.frames) FUZZ_CHECK(args.HasOption("--frames"));
  if (options.every != defaults.every) FUZZ_CHECK(args.HasOption("--every") || args.HasOption("--video"));
  if (options.canvas) FUZZ_CHECK(args.Has({"--canvas"}));
  if (!options.cyclesFile.empty()) FUZZ_CHECK(args.HasOption("--cycles"));
  if (options.outDir != defaults.outDir) FUZZ_CHECK(args.HasOption("--out"));
  if (!options.videoFile.empty()) FUZZ_CHECK(args.HasOption("--video"));
  if (options.fps) FUZZ_CHECK(args.HasOption("--fps") && *options.fps >= 1 && *options.fps <= MaxVideoRate);
  if (options.request != ToolRequest::Run) FUZZ_CHECK(args.Has({"--help", "--version"}));
  // A run of a video writes no PNGs, and only a video has a rate.
  if (options.request == ToolRequest::Run && !options.videoFile.empty()) {
    FUZZ_CHECK(!options.canvas && options.outDir == defaults.outDir);
  }
  if (options.request == ToolRequest::Run && options.fps) FUZZ_CHECK(!options.videoFile.empty());
  if (args.values.empty()) FUZZ_CHECK(SameOptions(options, defaults));
  return 0;
}
