#include "module/module_recording.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "software/back_buffer.h"
#include "video/video_loader.h"
#include "video/video_writer.h"

namespace vivuvev {

namespace {

struct Recording {
  uint32_t wanted = 0;
  uint32_t written = 0;
  VideoWriter* video = nullptr;
};

Recording recording;

void GiveUp(const std::string& error) {
  if (recording.video != nullptr) AbandonVideo(recording.video);
  recording.video = nullptr;
  recording.wanted = recording.written;
  std::fprintf(stderr, "vivuvev: no recording: %s\n", error.c_str());
}

void Complete() {
  VideoWriter* video = recording.video;
  recording.video = nullptr;
  std::string error;
  if (!FinishVideo(video, &error)) {
    GiveUp(error);
    return;
  }
  std::fprintf(stderr, "vivuvev: %u frames recorded into %s\n", recording.written, RecordingFile);
}

// H.264 in yuv420p takes even sides only; the writer scales the window's
// picture to them.
int32_t EvenSide(int32_t side) { return std::max(2, side & ~1); }

}  // namespace

void RecordFrames(uint32_t frames) {
  recording.wanted = frames;
  std::string error;
  if (frames > 0 && !LoadVideoWriter(&error)) {
    recording.wanted = 0;
    std::fprintf(stderr, "vivuvev: recording is unavailable: %s\n", error.c_str());
  }
}

void RecordShownFrame() {
  const BackBuffer* buffer = SoftwareBackBuffer();
  if (recording.written >= recording.wanted || buffer == nullptr) return;
  std::string error;
  if (recording.video == nullptr) {
    // The size is the window's at the first frame; a later size is scaled.
    recording.video = OpenVideo(RecordingFile, EvenSide(buffer->width), EvenSide(buffer->height),
                                DefaultVideoRate(VideoKind::Mp4), &error);
    if (recording.video == nullptr) {
      GiveUp(error);
      return;
    }
  }
  if (!AddVideoFrame(recording.video, *buffer, &error)) {
    GiveUp(error);
    return;
  }
  if (++recording.written == recording.wanted) Complete();
}

void EndRecording() {
  if (recording.video != nullptr) Complete();
}

}  // namespace vivuvev
