// vivuvev-render: runs the real sweep on the headless platform and writes the
// frames it shows as PNG files or into one video.
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "canvas/canvas_store.h"
#include "canvas/pixels.h"
#include "display/window.h"
#include "platform/headless/headless.h"
#include "program/program.h"
#include "software/back_buffer.h"
#include "sweep/random.h"
#include "sweep/sweep.h"
#include "tools/png_writer.h"
#include "tools/render_options.h"
#include "tools/tool_options.h"
#include "video/video_writer.h"

namespace vivuvev {
namespace {

struct RenderRun {
  RenderOptions options;
  SweepState sweep;
  FILE* cycles = nullptr;
  uint32_t cyclesWritten = 0;
  uint32_t filesWritten = 0;
  VideoWriter* video = nullptr;
  uint32_t videoFrames = 0;
  bool progress = false;
  std::chrono::steady_clock::time_point started;
  std::chrono::steady_clock::time_point lastProgress;
};

RenderRun run;
volatile std::sig_atomic_t interrupted = 0;

void Interrupt(int signal) { interrupted = signal; }

// Ctrl-C or a kill ends the run between frames, so that no half-written
// file is left behind.
void EndOnSignals() {
  struct sigaction action {};
  action.sa_handler = Interrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

[[noreturn]] void Fail(int status, const std::string& message) {
  if (run.video != nullptr) AbandonVideo(run.video);
  run.video = nullptr;
  if (!message.empty()) {
    std::fprintf(stderr, "%svivuvev-render: %s\n", run.progress ? "\n" : "", message.c_str());
  }
  std::exit(status);
}

bool OpenCycles(const RenderOptions& options, std::string* error) {
  if (options.cyclesFile.empty()) return true;
  run.cycles = std::fopen(options.cyclesFile.c_str(), "w");
  if (run.cycles == nullptr) {
    *error = "cannot write cycles file '" + options.cyclesFile + "'";
    return false;
  }
  return true;
}

// Starts the video, or creates the output directory and proves it writable,
// before anything is rendered, so that a bad path fails before the first
// frame.
bool PrepareOutput(const RenderOptions& options, std::string* error) {
  if (!options.videoFile.empty()) {
    VideoKind kind = VideoKind::Mp4;
    VideoKindOf(options.videoFile, &kind);
    run.video = OpenVideo(options.videoFile, options.width, options.height,
                          options.fps.value_or(DefaultVideoRate(kind)), error);
    return run.video != nullptr && OpenCycles(options, error);
  }
  std::error_code code;
  std::filesystem::create_directories(options.outDir, code);
  if (!std::filesystem::is_directory(options.outDir)) {
    *error = "cannot create output directory '" + options.outDir + "'";
    return false;
  }
  if (!CanWriteFile(options.outDir + "/.vivuvev-render-probe")) {
    *error = "cannot write into output directory '" + options.outDir + "'";
    return false;
  }
  return OpenCycles(options, error);
}

std::string FramePath(const char* kind, uint32_t frame) {
  char name[64];
  std::snprintf(name, sizeof name, "/%s-%06u.png", kind, frame);
  return run.options.outDir + name;
}

void Write(const std::string& path, int32_t width, int32_t height, int channels,
           const std::vector<uint8_t>& pixels) {
  std::string error;
  if (!WritePng(path, width, height, channels, pixels, &error)) Fail(1, error);
  ++run.filesWritten;
}

void WriteBackBuffer(uint32_t frame, const BackBuffer& buffer) {
  std::vector<uint8_t> rgb;
  rgb.reserve(static_cast<size_t>(buffer.width) * static_cast<size_t>(buffer.height) * 3);
  for (int32_t y = 0; y < buffer.height; ++y) {
    for (int32_t x = 0; x < buffer.width; ++x) {
      const uint32_t p = BackBufferRgb(buffer, x, y);
      rgb.push_back(static_cast<uint8_t>(p >> 16));
      rgb.push_back(static_cast<uint8_t>(p >> 8));
      rgb.push_back(static_cast<uint8_t>(p));
    }
  }
  Write(FramePath("frame", frame), buffer.width, buffer.height, 3, rgb);
}

void WriteCanvas(uint32_t frame) {
  CanvasEntry* canvas = FindCanvas(0);
  if (canvas == nullptr) return;
  CanvasStore* store = canvas->store;
  uint8_t* bits = nullptr;
  int32_t pitch = 0;
  if (!LockCanvasPixels(store, false, &bits, &pitch)) return;
  std::vector<uint8_t> rgba;
  rgba.reserve(static_cast<size_t>(store->width) * static_cast<size_t>(store->height) * 4);
  for (int32_t y = 0; y < store->height; ++y) {
    const uint8_t* row = bits + static_cast<ptrdiff_t>(y) * pitch;
    for (int32_t x = 0; x < store->width; ++x) {
      uint32_t argb;
      if (store->pixelClass == PixelClass32) {
        argb = reinterpret_cast<const uint32_t*>(row)[x];
      } else {
        const uint32_t p = reinterpret_cast<const uint16_t*>(row)[x];
        argb = ((p & 0x8000u) ? 0xFF000000u : 0u) | (Widen5((p >> 10) & 0x1Fu) << 16) |
               (Widen5((p >> 5) & 0x1Fu) << 8) | Widen5(p & 0x1Fu);
      }
      rgba.push_back(static_cast<uint8_t>(argb >> 16));
      rgba.push_back(static_cast<uint8_t>(argb >> 8));
      rgba.push_back(static_cast<uint8_t>(argb));
      rgba.push_back(static_cast<uint8_t>(argb >> 24));
    }
  }
  UnlockCanvasPixels(store, false);
  Write(FramePath("canvas", frame), store->width, store->height, 4, rgba);
}

void WriteCycles() {
  if (run.cycles == nullptr) return;
  // A cycle's values are picked at its first frame, so at most one is new.
  if (run.cyclesWritten < run.sweep.cyclesBegun) {
    const SweepCycle& c = run.sweep.cycle;
    std::fprintf(run.cycles, "%d %d %d %d %d %d %d %d %d\n", c.cx, c.cy, c.cx2, c.red1, c.green1,
                 c.blue1, c.red2, c.green2, c.blue2);
    run.cyclesWritten = run.sweep.cyclesBegun;
  }
  if (std::fflush(run.cycles) != 0) Fail(1, "cannot write cycles file '" + run.options.cyclesFile + "'");
}

void EncodeFrame(const BackBuffer& buffer) {
  std::string error;
  if (!AddVideoFrame(run.video, buffer, &error)) Fail(1, error);
  ++run.videoFrames;
}

void ShowProgress(uint32_t frame, bool last) {
  if (!run.progress) return;
  const auto now = std::chrono::steady_clock::now();
  if (!last && now - run.lastProgress < std::chrono::milliseconds(500)) return;
  run.lastProgress = now;
  const double seconds = std::chrono::duration<double>(now - run.started).count();
  const double rate = seconds > 0 ? frame / seconds : 0.0;
  const double left = rate > 0 ? (run.options.frames - frame) / rate : 0.0;
  const std::string encoded = run.video ? ", " + std::to_string(run.videoFrames) + " encoded" : "";
  std::fprintf(stderr, "\rvivuvev-render: frame %u of %u%s, %.1f frames per second, %.0f s left  %s",
               frame, run.options.frames, encoded.c_str(), rate, left, last ? "\n" : "");
}

void Finish(uint32_t frame) {
  if (run.cycles != nullptr) std::fclose(run.cycles);
  run.cycles = nullptr;
  if (run.video == nullptr) {
    std::printf("vivuvev-render: %u frames rendered, %u PNG files in %s\n", frame, run.filesWritten,
                run.options.outDir.c_str());
    return;
  }
  std::string error;
  VideoWriter* video = run.video;
  run.video = nullptr;
  if (!FinishVideo(video, &error)) Fail(1, error);
  std::printf("vivuvev-render: %u frames rendered, %u of them in %s\n", frame, run.videoFrames,
              run.options.videoFile.c_str());
}

void OnFrame(uint32_t frame, const BackBuffer& buffer) {
  const bool last = frame == run.options.frames;
  WriteCycles();
  if (frame % run.options.every == 0 || last) {
    if (run.video != nullptr) {
      EncodeFrame(buffer);
    } else {
      WriteBackBuffer(frame, buffer);
      if (run.options.canvas) WriteCanvas(frame);
    }
  }
  ShowProgress(frame, last);
  if (last) Finish(frame);
}

}  // namespace
}  // namespace vivuvev

int main(int argc, char** argv) {
  using namespace vivuvev;
  std::string error;
  if (!ParseRenderOptions(argc, argv, &run.options, &error)) {
    std::fprintf(stderr, "vivuvev-render: %s\n%s", error.c_str(), RenderUsage);
    return 2;
  }
  if (run.options.request != ToolRequest::Run) {
    return AnswerToolRequest(run.options.request, "vivuvev-render", RenderUsage, RenderDetails);
  }
  if (!PrepareOutput(run.options, &error)) Fail(2, error);
  EndOnSignals();
  run.progress = isatty(STDERR_FILENO) != 0;
  run.started = run.lastProgress = std::chrono::steady_clock::now();

  StartProgram();
  SetHeadlessScreen(run.options.width, run.options.height, run.options.bits);
  if (run.options.seed) {
    SeedRandom(*run.options.seed);
    RandomState.seeded = 1;
  }
  SetUpSweep(&run.sweep, StopRule::None);
  // Every size vivuvev-render takes has a step in a cycle, so every frame
  // shows a picture.
  for (uint32_t frame = 1; frame <= run.options.frames; ++frame) {
    if (interrupted != 0) {
      if (run.progress) std::fputc('\n', stderr);
      Fail(128 + interrupted, "");
    }
    SweepFrame(&run.sweep);
    OnFrame(frame, *SoftwareBackBuffer());
  }
  CloseDisplayWindow(0);
  EndLayers();
  return 0;
}
