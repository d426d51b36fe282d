// Videos of the back buffer through FFmpeg's libraries: MP4 (H.264), WebM
// (VP9), animated WebP and GIF, the kind chosen by the file's extension.
#pragma once

#include <cstdint>
#include <string>

#include "software/back_buffer.h"
#include "video/video_kind.h"

namespace vivuvev {

struct VideoWriter;

// Starts a video of width x height pixels at fps frames per second. Before
// any frame it proves the extension known, the encoder present and willing to
// take the size and rate, and path's directory writable. The file is written
// beside path and takes its name in FinishVideo. On failure returns null with
// one line in *error and leaves nothing behind.
VideoWriter* OpenVideo(const std::string& path, int32_t width, int32_t height, uint32_t fps,
                       std::string* error);

// Encodes the back buffer as the next frame, scaled when its size is not the
// video's. On failure returns false with one line in *error; the video must
// then be abandoned.
bool AddVideoFrame(VideoWriter* video, const BackBuffer& frame, std::string* error);

// Drains the encoder, completes the file and gives it its name. Releases the
// video whatever happens; on failure nothing is left behind.
bool FinishVideo(VideoWriter* video, std::string* error);

// Releases the video and removes what it wrote.
void AbandonVideo(VideoWriter* video);

}  // namespace vivuvev
