// vivuvev-bench: the real sweep on the headless platform, timed against the
// plain reference canvas and blit in the same run.
//
// For each size and depth it runs three whole cycles first, so that the
// canvas is covered as it is for most of the animation's life (a blit passes
// quickly over transparent stretches), and hands the very same canvas and
// screen to the reference. Then, for about --seconds each, in rounds taken
// in turn: frames of the real sweep step, the same frames timed phase by
// phase, a plain memory pass over the canvas and the back buffer (read the
// canvas, read and write the screen) as the floor any blit stands on, and the
// reference's frames. Before the rounds, the frames that follow a pause as
// long as the module's default delay are timed on their own: after a pause a
// frame finds little of its memory in the cache, which back-to-back frames
// never show.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <time.h>

#include "canvas/blit.h"
#include "canvas/canvas_store.h"
#include "canvas/canvas_surface.h"
#include "canvas/change_map.h"
#include "canvas/drawing_pass.h"
#include "canvas/pixels.h"
#include "display/screen.h"
#include "display/window.h"
#include "input/keyboard.h"
#include "module/module_options.h"
#include "platform/headless/headless.h"
#include "program/program.h"
#include "reference/reference_sweep.h"
#include "software/back_buffer.h"
#include "software/blend_rows.h"
#include "sweep/random.h"
#include "sweep/sweep.h"
#include "tools/bench_options.h"

namespace vivuvev {
namespace {

using Clock = std::chrono::steady_clock;

constexpr uint32_t BenchSeed = 2026;
constexpr int32_t WarmUpCycles = 3;
constexpr int Rounds = 4;
constexpr int32_t PausedFrames = 100;

struct Size {
  int32_t width;
  int32_t height;
  int32_t bits;
};

struct Result {
  Size size;
  double referenceFps;
  double fastFps;
  double setupMs;
  double drawMs;
  double commitMs;
  double blitMs;
  double floorMs;
  double opaqueShare;  // of the canvas, when the timing began
  double fullBlitMs;   // the blit laying the whole canvas every frame
  double changedFraction;
  double pausedFrameMs;  // a frame after a pause of the module's default delay
};

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Runs frame() until at least seconds have passed (and 5 frames); frames per
// second.
double FramesPerSecond(double seconds, const std::function<void()>& frame) {
  const Clock::time_point start = Clock::now();
  uint32_t frames = 0;
  Clock::duration elapsed{};
  do {
    frame();
    ++frames;
    elapsed = Clock::now() - start;
  } while (frames < 5 || Milliseconds(elapsed) < seconds * 1000.0);
  return frames * 1000.0 / Milliseconds(elapsed);
}

struct Phases {
  double setupMs;
  double drawMs;
  double commitMs;
  double blitMs;
  double changedFraction;  // of the screen's pixels, laid by the blit
};

// The sweep's own canvas and screen, with the clock read where a frame's
// phases meet: the pass set up (CanvasDrawTarget), the rings drawn, the pass
// written back (EndDrawing), the canvas blended. With wholeCanvas the canvas
// is marked changed everywhere before each blit, which then lays all of it,
// as before it knew better.
struct PhaseClock {
  Clock::time_point passBegun, passMade, passEnding, passEnded;
  Clock::duration setup{}, draw{}, commit{}, blit{};
  uint32_t frames = 0;
  bool wholeCanvas = false;
  double changed = 0.0;
};

// The share of the screen the frame's blit laid, from the rectangles it
// logged for the present.
double ChangedFraction() {
  const BackBuffer& screen = *SoftwareBackBuffer();
  if (screen.changed.Everything()) return 1.0;
  double pixels = 0.0;
  for (const DamageBox& box : screen.changed.Boxes()) {
    pixels += static_cast<double>(box.right - box.left) * (box.bottom - box.top);
  }
  return pixels / (static_cast<double>(screen.width) * screen.height);
}

DrawingPass* TimedBeginPass(void* context) {
  auto* clock = static_cast<PhaseClock*>(context);
  clock->passBegun = Clock::now();
  DrawingPass* pass = SweepCanvasAndScreen.BeginPass(nullptr);
  clock->passMade = Clock::now();
  return pass;
}

void TimedEndPass(void* context) {
  auto* clock = static_cast<PhaseClock*>(context);
  clock->passEnding = Clock::now();
  SweepCanvasAndScreen.EndPass(nullptr);
  if (clock->wholeCanvas) CanvasSurfaceChanges(FindCanvas(SweepCanvas)->store->levelSurface)->MarkAll();
  clock->passEnded = Clock::now();
}

void TimedBlend(void* context) {
  auto* clock = static_cast<PhaseClock*>(context);
  SweepCanvasAndScreen.Blend(nullptr);
  const Clock::time_point blended = Clock::now();
  clock->setup += clock->passMade - clock->passBegun;
  clock->draw += clock->passEnding - clock->passMade;
  clock->commit += clock->passEnded - clock->passEnding;
  clock->blit += blended - clock->passEnded;
  clock->changed += ChangedFraction();
  ++clock->frames;
}

// The real frames, each phase timed; the mean of each per frame.
Phases TimePhases(double seconds, SweepState* state, bool wholeCanvas) {
  PhaseClock clock;
  clock.wholeCanvas = wholeCanvas;
  const SweepSurface timed = {TimedBeginPass, TimedEndPass, TimedBlend, SweepCanvasAndScreen.Present,
                              &clock};
  const SweepSurface* own = state->surface;
  state->surface = &timed;
  FramesPerSecond(seconds, [&] { SweepFrame(state); });
  state->surface = own;
  const double frames = clock.frames;
  return {Milliseconds(clock.setup) / frames, Milliseconds(clock.draw) / frames,
          Milliseconds(clock.commit) / frames, Milliseconds(clock.blit) / frames, clock.changed / frames};
}

// The mean processor time of a frame that follows a pause as long as the
// module's default delay, over PausedFrames frames spread evenly over one
// whole cycle (the frames between them run back to back, untimed): the same
// frames on every run from the same start, so two builds can be compared.
// A frame's cost follows the rings' sizes, so consecutive frames would not
// do: the first tenth of a cycle, one ring small and the other mostly beyond
// the screen, costs less than half of the cycle's mean.
double PausedFrameMs(SweepState* state) {
  const auto threadMs = [] {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
  };
  const int32_t stride = std::max(1, MaxStep / PausedFrames);
  double spent = 0.0;
  for (int32_t frame = 0; frame < PausedFrames; ++frame) {
    for (int32_t untimed = 1; untimed < stride; ++untimed) SweepFrame(state);
    std::this_thread::sleep_for(std::chrono::microseconds(DefaultModuleDelay));
    const double start = threadMs();
    SweepFrame(state);
    spent += threadMs() - start;
  }
  return spent / PausedFrames;
}

// One plain pass over the bytes a blit moves: every canvas row read, every
// back-buffer row read and written back unchanged. A zero the compiler cannot
// see keeps the pass from being optimised away. The row is built for the
// widest vector unit the CPU has, as the blit is, and vectorised (-O3).
volatile uint64_t floorMask = 0;

__attribute__((target_clones("avx512f", "avx2", "default"))) void FloorRow(
    uint64_t* __restrict to, const uint64_t* __restrict from, size_t words, uint64_t mask) {
  for (size_t i = 0; i < words; ++i) to[i] |= from[i] & mask;
}

double FloorMs(double seconds, const uint8_t* canvas, int32_t canvasPitch, BackBuffer* screen) {
  const uint64_t mask = floorMask;
  const size_t words = static_cast<size_t>(screen->width) * static_cast<size_t>(screen->bitsPerPixel) / 64;
  const auto pass = [&] {
    for (int32_t y = 0; y < screen->height; ++y) {
      FloorRow(reinterpret_cast<uint64_t*>(screen->pixels + static_cast<size_t>(y) * screen->pitch),
               reinterpret_cast<const uint64_t*>(canvas + static_cast<size_t>(y) * canvasPitch), words, mask);
    }
  };
  return 1000.0 / FramesPerSecond(seconds, pass);
}

// The share of canvas pixels that are opaque: how much of the canvas a blit
// cannot pass over.
double OpaqueShare() {
  CanvasStore* store = FindCanvas(SweepCanvas)->store;
  uint8_t* bits = nullptr;
  int32_t pitch = 0;
  if (!LockCanvasPixels(store, false, &bits, &pitch)) return 0.0;
  uint64_t opaque = 0;
  for (int32_t y = 0; y < store->height; ++y) {
    const uint8_t* row = bits + static_cast<size_t>(y) * pitch;
    for (int32_t x = 0; x < store->width; ++x) {
      opaque += store->pixelClass == PixelClass32 ? row[4 * x + 3] >> 7 : row[2 * x + 1] >> 7;
    }
  }
  UnlockCanvasPixels(store, false);
  return static_cast<double>(opaque) / (static_cast<double>(store->width) * store->height);
}

// The reference takes over the canvas and the screen as they are.
void CopyIntoReference(reference::Run* slow) {
  CanvasStore* store = FindCanvas(SweepCanvas)->store;
  uint8_t* bits = nullptr;
  int32_t pitch = 0;
  if (LockCanvasPixels(store, false, &bits, &pitch)) {
    const size_t rowBytes = slow->canvas.pixels.size() / static_cast<size_t>(store->height);
    for (int32_t y = 0; y < store->height; ++y) {
      std::memcpy(&slow->canvas.pixels[y * rowBytes], bits + static_cast<size_t>(y) * pitch, rowBytes);
    }
    UnlockCanvasPixels(store, false);
  }
  const BackBuffer& screen = *SoftwareBackBuffer();
  for (int32_t y = 0; y < screen.height; ++y) {
    std::memcpy(&slow->screen.pixels[static_cast<size_t>(y) * slow->screen.pitch],
                &screen.pixels[static_cast<size_t>(y) * screen.pitch], static_cast<size_t>(slow->screen.pitch));
  }
}

Result Measure(const Size& size, double seconds) {
  Result result{};
  result.size = size;
  ResetHeadlessPlatform();
  StartProgram();
  SetHeadlessScreen(size.width, size.height, size.bits);
  SeedRandom(BenchSeed);
  RandomState.seeded = 1;
  SweepState fast;
  SetUpSweep(&fast, StopRule::None);
  for (int32_t frame = 0; frame < WarmUpCycles * MaxStep; ++frame) SweepFrame(&fast);

  result.opaqueShare = OpaqueShare();
  result.pausedFrameMs = PausedFrameMs(&fast);
  reference::Run slow;
  reference::StartRun(&slow, size.width, size.height, size.bits);
  CopyIntoReference(&slow);
  // The reference goes on from the same place in the animation.
  SweepState slowState = fast;
  slowState.surface = &slow.surface;

  // Rounds of every measurement in turn, each kept at its best, so that a
  // moment of load on the machine spoils no single figure.
  const double share = seconds / Rounds;
  result.floorMs = result.setupMs = result.drawMs = result.commitMs = result.blitMs =
      result.fullBlitMs = HUGE_VAL;
  for (int round = 0; round < Rounds; ++round) {
    result.fastFps = std::max(result.fastFps, FramesPerSecond(share, [&] { SweepFrame(&fast); }));
    const Phases phases = TimePhases(share, &fast, false);
    result.setupMs = std::min(result.setupMs, phases.setupMs);
    result.drawMs = std::min(result.drawMs, phases.drawMs);
    result.commitMs = std::min(result.commitMs, phases.commitMs);
    result.blitMs = std::min(result.blitMs, phases.blitMs);
    result.changedFraction = phases.changedFraction;
    result.fullBlitMs = std::min(result.fullBlitMs, TimePhases(share, &fast, true).blitMs);
    CanvasStore* store = FindCanvas(SweepCanvas)->store;
    uint8_t* bits = nullptr;
    int32_t pitch = 0;
    if (LockCanvasPixels(store, false, &bits, &pitch)) {
      result.floorMs = std::min(result.floorMs, FloorMs(share, bits, pitch, SoftwareBackBuffer()));
      UnlockCanvasPixels(store, false);
    }
    result.referenceFps =
        std::max(result.referenceFps, FramesPerSecond(share, [&] { SweepFrame(&slowState); }));
  }
  EndLayers();
  return result;
}

void PrintTable(const std::vector<Result>& results) {
  std::printf("%-11s %4s %10s %9s %6s %9s %9s %10s %9s %9s %9s %8s %9s\n", "size", "bits",
              "reference", "fast", "ratio", "setup", "draw", "write-back", "blit", "floor",
              "full blit", "changed", "paused");
  std::printf("%-11s %4s %10s %9s %6s %9s %9s %10s %9s %9s %9s %8s %9s\n", "", "", "fps", "fps", "",
              "ms", "ms", "ms", "ms", "ms", "ms", "share", "frame ms");
  for (const Result& r : results) {
    const std::string size = std::to_string(r.size.width) + "x" + std::to_string(r.size.height);
    std::printf("%-11s %4d %10.1f %9.1f %6.2f %9.4f %9.4f %10.4f %9.4f %9.4f %9.4f %8.4f %9.4f\n",
                size.c_str(), r.size.bits, r.referenceFps, r.fastFps, r.fastFps / r.referenceFps,
                r.setupMs, r.drawMs, r.commitMs, r.blitMs, r.floorMs, r.fullBlitMs, r.changedFraction,
                r.pausedFrameMs);
  }
}

bool WriteCsv(const std::string& path, const std::vector<Result>& results) {
  FILE* file = std::fopen(path.c_str(), "w");
  if (file == nullptr) return false;
  std::fprintf(file,
               "width,height,bits,reference_fps,fast_fps,ratio,setup_ms,draw_ms,commit_ms,blit_ms,"
               "floor_ms,full_blit_ms,changed_fraction,paused_frame_ms\n");
  for (const Result& r : results) {
    std::fprintf(file, "%d,%d,%d,%.2f,%.2f,%.3f,%.5f,%.5f,%.5f,%.5f,%.5f,%.5f,%.4f,%.5f\n",
                 r.size.width, r.size.height, r.size.bits, r.referenceFps, r.fastFps,
                 r.fastFps / r.referenceFps, r.setupMs, r.drawMs, r.commitMs, r.blitMs, r.floorMs,
                 r.fullBlitMs, r.changedFraction, r.pausedFrameMs);
  }
  return std::fclose(file) == 0;
}

}  // namespace
}  // namespace vivuvev

int main(int argc, char** argv) {
  using namespace vivuvev;
  BenchOptions options;
  std::string error;
  if (!ParseBenchOptions(argc, argv, &options, &error)) {
    std::fprintf(stderr, "vivuvev-bench: %s\n%s", error.c_str(), BenchUsage);
    return 2;
  }
  if (options.request != ToolRequest::Run) {
    return AnswerToolRequest(options.request, "vivuvev-bench", BenchUsage, BenchDetails);
  }
  if (!options.csvFile.empty() && !CanWriteFile(options.csvFile)) {
    std::fprintf(stderr, "vivuvev-bench: cannot write '%s': %s\n", options.csvFile.c_str(),
                 std::strerror(errno));
    return 2;
  }
  const std::string& csv = options.csvFile;
  const double seconds = options.seconds;
  std::printf("vivuvev-bench: blit rows by the %s set, seed %u\n", ActiveBlendKernels().name, BenchSeed);
  const Size sizes[] = {{1280, 720, 32}, {1280, 720, 16}, {1920, 1080, 32},
                        {1920, 1080, 16}, {3840, 2160, 32}, {3840, 2160, 16}};
  std::vector<Result> results;
  for (const Size& size : sizes) {
    results.push_back(Measure(size, seconds));
    std::fprintf(stderr, "vivuvev-bench: %dx%d at %d bits measured, canvas %.0f%% opaque\n",
                 size.width, size.height, size.bits, 100.0 * results.back().opaqueShare);
  }
  PrintTable(results);
  if (!csv.empty() && !WriteCsv(csv, results)) {
    std::fprintf(stderr, "vivuvev-bench: cannot write '%s': %s\n", csv.c_str(), std::strerror(errno));
    return 1;
  }
  return 0;
}
