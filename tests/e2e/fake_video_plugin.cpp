// A stand-in for vivuvev-video.so, for the loader's end-to-end checks. Loaded,
// its constructor leaves the file $VIVUVEV_PLUGIN_MARK, so a test can tell
// whether a program ran its code at all; its table is of another version than
// the programs take, so a program that loads it must refuse it.
#include <cstdio>
#include <cstdlib>

#include "video/video_plugin.h"

namespace {

__attribute__((constructor)) void LeaveMark() {
  const char* mark = std::getenv("VIVUVEV_PLUGIN_MARK");
  if (mark == nullptr) return;
  if (FILE* file = std::fopen(mark, "w")) std::fclose(file);
}

}  // namespace

extern "C" const vivuvev::VideoWriterFunctions* VivuvevVideoWriterFunctions() {
  static const vivuvev::VideoWriterFunctions functions = {vivuvev::VideoPluginVersion + 1, nullptr,
                                                          nullptr, nullptr, nullptr};
  return &functions;
}
