// The programs' side of the video writer: the functions of video_writer.h
// call into vivuvev-video.so, which is loaded at the first of them, or
// earlier by LoadVideoWriter (video_loader.cpp).
#pragma once

#include <string>

namespace vivuvev {

// Loads the plugin if it is not loaded yet. False with one line in *error
// when it cannot be: videos are then unavailable, and OpenVideo says so too.
bool LoadVideoWriter(std::string* error);

}  // namespace vivuvev
