#include "video/video_plugin.h"

extern "C" const vivuvev::VideoWriterFunctions* VivuvevVideoWriterFunctions() {
  using namespace vivuvev;
  static const VideoWriterFunctions functions = {VideoPluginVersion, OpenVideo, AddVideoFrame,
                                                 FinishVideo, AbandonVideo};
  return &functions;
}
