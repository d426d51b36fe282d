// The kinds of video the writer makes, named by the file's extension, and
// the frame rates each can keep.
#pragma once

#include <cstdint>
#include <string>

namespace vivuvev {

enum class VideoKind { Mp4, WebM, WebP, Gif };

// The kind path's extension names (.mp4, .webm, .webp, .gif, in any case);
// false for any other.
bool VideoKindOf(const std::string& path, VideoKind* kind);

// The rate a video of this kind gets when none is asked for.
uint32_t DefaultVideoRate(VideoKind kind);

// Whether frames at fps per second keep their rate in this kind of file; if
// not, one line in *error says which rates do.
bool VideoRateFits(VideoKind kind, uint32_t fps, std::string* error);

}  // namespace vivuvev
