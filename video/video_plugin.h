// The video writer as a library loaded at run time, vivuvev-video.so in
// VIVUVEV_VIDEO_PLUGIN_DIR under the programs' prefix. FFmpeg's libraries
// bring a hundred others whose start-up allocations differ from run to run
// and any of which, missing, would stop a program from starting; loading them
// only for a video keeps the programs free of them (and PNG runs' allocation
// counts exact).
#pragma once

#include <cstdint>

#include "video/video_writer.h"

namespace vivuvev {

// Changes whenever the table, or anything passed through it (the writer's
// calls, BackBuffer, the standard library's strings), changes shape: a
// program and a plugin of different versions refuse each other.
constexpr uint32_t VideoPluginVersion = 2;

struct VideoWriterFunctions {
  uint32_t version;  // first, so that a table of any version can say which it is
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
