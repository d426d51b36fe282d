// vivuvev-render: runs the real sweep on the headless platform and writes the
// frames it shows as PNG files or into one video.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>
#include <thread>

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

// Ctrl-C, a kill or the terminal's end ends the run between frames, so that
// no half-written file is left behind. Installed before anything is opened
// and without SA_RESTART (a call that waits is cut short), so that the wait
// for a cycles FIFO's reader ends on them too (OpenCycles).
void EndOnSignals() {
  struct sigaction action {};
  action.sa_handler = Interrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);
}

[[noreturn]] void Fail(int status, const std::string& message) {
  if (run.video != nullptr) AbandonVideo(run.video);
  run.video = nullptr;
  if (!message.empty()) {
    std::fprintf(stderr, "%svivuvev-render: %s\n", run.progress ? "\n" : "", message.c_str());
  }
  std::exit(status);
}

// How long the opening of a cycles FIFO sleeps between looks for a reader.
constexpr auto ReaderPollInterval = std::chrono::milliseconds(10);

// Opens the cycles file for writing, as fopen's "w" does. A FIFO without a
// reader is not waited for in open, which a signal that came just before it
// would leave waiting for ever, but in short sleeps that look at the flag in
// between: a signal ends the wait within one of them.
bool OpenCycles(const RenderOptions& options, std::string* error) {
  if (options.cyclesFile.empty()) return true;
  int fd = -1;
  while (interrupted == 0) {
    fd = open(options.cyclesFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != ENXIO) break;
    std::this_thread::sleep_for(ReaderPollInterval);
  }
  if (interrupted != 0) {
    if (fd >= 0) close(fd);
    return false;
  }
  if (fd >= 0) {
    // Writes then wait for a slow reader, as they would on any file.
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    run.cycles = fdopen(fd, "w");
    if (run.cycles == nullptr) {
      const int failure = errno;
      close(fd);
      errno = failure;
    }
  }
  if (run.cycles == nullptr) {
    *error = "cannot write cycles file '" + options.cyclesFile + "': " + std::strerror(errno);
    return false;
  }
  return true;
}

// A file can be made in dir: one is made, new, and removed again.
bool CanCreateFilesIn(const std::string& dir, std::string* reason) {
  std::string name = dir + "/.vivuvev-render-probe-XXXXXX";
  const int probe = mkstemp(name.data());
  if (probe < 0) {
    *reason = std::strerror(errno);
    return false;
  }
  close(probe);
  unlink(name.c_str());
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
  if (!code && !std::filesystem::is_directory(options.outDir, code) && !code) {
    code = std::make_error_code(std::errc::not_a_directory);
  }
  if (code) {
    *error = "cannot create output directory '" + options.outDir + "': " + code.message();
    return false;
  }
  std::string reason;
  if (!CanCreateFilesIn(options.outDir, &reason)) {
    *error = "cannot write into output directory '" + options.outDir + "': " + reason;
    return false;
  }
  return OpenCycles(options, error);
}

// What the set-up could not allocate for the run's screen: empty when the
// back buffer, the canvas and the canvas's working copy are all there.
std::string MissingAllocation(const RenderOptions& options) {
  const std::string size = std::to_string(options.width) + "x" + std::to_string(options.height);
  // The canvas has the screen's bytes per pixel.
  const uint64_t bytes = uint64_t{static_cast<uint32_t>(options.width)} *
                         static_cast<uint32_t>(options.height) * static_cast<uint32_t>(options.bits / 8);
  const std::string amount = " (" + std::to_string((bytes + (1u << 20) - 1) >> 20) + " MiB)";
  if (run.sweep.screen == SweepScreen::NoScreen) return "the " + size + " back buffer" + amount;
  if (run.sweep.screen == SweepScreen::NoCanvas) return "the " + size + " canvas" + amount;
  if (FindCanvas(SweepCanvas)->store->workingCopy == nullptr) {
    return "the canvas's " + size + " working copy" + amount;
  }
  return "";
}

std::string FramePath(const char* kind, uint32_t frame) {
  char name[64];
  std::snprintf(name, sizeof name, "/%s-%06u.png", kind, frame);
  return run.options.outDir + name;
}

void Write(const std::string& path, int32_t width, int32_t height, int channels,
           const PngRowSource& rows) {
  std::string error;
  if (!WritePng(path, width, height, channels, rows, &error)) Fail(1, error);
  ++run.filesWritten;
}

void WriteBackBuffer(uint32_t frame, const BackBuffer& buffer) {
  Write(FramePath("frame", frame), buffer.width, buffer.height, 3, [&buffer](int32_t y, uint8_t* rgb) {
    for (int32_t x = 0; x < buffer.width; ++x) {
      const uint32_t p = BackBufferRgb(buffer, x, y);
      *rgb++ = static_cast<uint8_t>(p >> 16);
      *rgb++ = static_cast<uint8_t>(p >> 8);
      *rgb++ = static_cast<uint8_t>(p);
    }
  });
}

void WriteCanvas(uint32_t frame) {
  CanvasEntry* canvas = FindCanvas(SweepCanvas);
  if (canvas == nullptr) return;
  CanvasStore* store = canvas->store;
  uint8_t* bits = nullptr;
  int32_t pitch = 0;
  if (!LockCanvasPixels(store, false, &bits, &pitch)) return;
  const auto rows = [store, bits, pitch](int32_t y, uint8_t* rgba) {
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
      *rgba++ = static_cast<uint8_t>(argb >> 16);
      *rgba++ = static_cast<uint8_t>(argb >> 8);
      *rgba++ = static_cast<uint8_t>(argb);
      *rgba++ = static_cast<uint8_t>(argb >> 24);
    }
  };
  std::string error;
  const bool written = WritePng(FramePath("canvas", frame), store->width, store->height, 4, rows, &error);
  UnlockCanvasPixels(store, false);
  if (!written) Fail(1, error);
  ++run.filesWritten;
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
  if (std::fflush(run.cycles) != 0) {
    Fail(1, "cannot write cycles file '" + run.options.cyclesFile + "': " + std::strerror(errno));
  }
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
  EndOnSignals();
  run.progress = isatty(STDERR_FILENO) != 0;

  StartProgram();
  SetHeadlessScreen(run.options.width, run.options.height, run.options.bits);
  if (run.options.seed) {
    SeedRandom(*run.options.seed);
    RandomState.seeded = 1;
  }
  SetUpSweep(&run.sweep, StopRule::None);
  // Memory first, then files: a run that cannot have its screen writes
  // nothing.
  const std::string missing = MissingAllocation(run.options);
  if (!missing.empty()) Fail(2, "cannot allocate " + missing);
  if (!PrepareOutput(run.options, &error)) {
    if (interrupted != 0) Fail(128 + interrupted, "");
    Fail(2, error);
  }
  run.started = run.lastProgress = std::chrono::steady_clock::now();
  // Every size vivuvev-render takes has a step in a cycle, so every frame
  // shows a picture. The frames allocate nothing of their own; the files'
  // names and records take a little.
  uint32_t frame = 1;
  try {
    for (; frame <= run.options.frames; ++frame) {
      if (interrupted != 0) {
        if (run.progress) std::fputc('\n', stderr);
        Fail(128 + interrupted, "");
      }
      SweepFrame(&run.sweep);
      OnFrame(frame, *SoftwareBackBuffer());
    }
  } catch (const std::bad_alloc&) {
    Fail(1, "cannot allocate the records of frame " + std::to_string(frame) + "'s output");
  }
  CloseDisplayWindow(0);
  EndLayers();
  return 0;
}
