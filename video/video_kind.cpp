#include "video/video_kind.h"

#include <strings.h>

#include <filesystem>

namespace vivuvev {

namespace {
// In the order of VideoKind.
const char* const Extensions[] = {".mp4", ".webm", ".webp", ".gif"};
}  // namespace

bool VideoKindOf(const std::string& path, VideoKind* kind) {
  const std::string extension = std::filesystem::path(path).extension().string();
  for (size_t i = 0; i < sizeof Extensions / sizeof Extensions[0]; ++i) {
    if (strcasecmp(extension.c_str(), Extensions[i]) == 0) {
      *kind = static_cast<VideoKind>(i);
      return true;
    }
  }
  return false;
}

uint32_t DefaultVideoRate(VideoKind kind) { return kind == VideoKind::Gif ? 50 : 60; }

bool VideoRateFits(VideoKind kind, uint32_t fps, std::string* error) {
  // GIF delays are whole hundredths of a second, WebP durations whole
  // milliseconds; browsers hold a frame of 10 ms or less for 100 ms.
  if (kind == VideoKind::Gif && (fps > 50 || 100 % fps != 0)) {
    *error = "GIF frames last whole hundredths of a second, at least two: the rate must be 50, 25, "
             "20, 10, 5, 4, 2 or 1, not " + std::to_string(fps);
    return false;
  }
  if (kind == VideoKind::WebP && fps > 90) {
    *error = "browsers slow down WebP frames of 10 ms or less: the rate must be at most 90, not " +
             std::to_string(fps);
    return false;
  }
  return true;
}

}  // namespace vivuvev
