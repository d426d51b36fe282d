// The video writer as a library loaded at run time, vivuvev-video.so in
// lib/vivuvev/plugins beside the folder of vivuvev-render. FFmpeg's
// libraries bring a hundred others whose start-up allocations differ from run
// to run; loading them only for a video keeps PNG runs free of them (and
// their allocation counts exact).
#pragma once

#include "video/video_writer.h"

namespace vivuvev {

struct VideoWriterFunctions {
  VideoWriter* (*open)(const std::string& path, int32_t width, int32_t height, uint32_t fps,
                       std::string* error);
  bool (*add)(VideoWriter* video, const BackBuffer& frame, std::string* error);
  bool (*finish)(VideoWriter* video, std::string* error);
  void (*abandon)(VideoWriter* video);
};

constexpr char VideoPluginFile[] = "vivuvev-video.so";
constexpr char VideoPluginEntry[] = "VivuvevVideoWriterFunctions";

}  // namespace vivuvev

// The library's one entry: the writer's functions.
extern "C" const vivuvev::VideoWriterFunctions* VivuvevVideoWriterFunctions();
