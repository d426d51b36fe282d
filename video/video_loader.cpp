// vivuvev-render's video writer: the real one in vivuvev-video.so, loaded at
// the first video from VIVUVEV_VIDEO_PLUGIN_DIR above the executable's own
// folder (bin/../lib/vivuvev/plugins, in the build tree and installed alike),
// and kept to the end (FFmpeg's libraries are not made to be unloaded).
#include <dlfcn.h>

#include <filesystem>

#include "video/video_plugin.h"

namespace vivuvev {

namespace {

const VideoWriterFunctions* functions = nullptr;

bool Load(std::string* error) {
  if (functions != nullptr) return true;
  std::error_code code;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", code);
  const std::string path =
      (self.parent_path().parent_path() / VIVUVEV_VIDEO_PLUGIN_DIR / VideoPluginFile).string();
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    *error = std::string("cannot load the video writer: ") + dlerror();
    return false;
  }
  using Entry = const VideoWriterFunctions* (*)();
  const auto entry = reinterpret_cast<Entry>(dlsym(library, VideoPluginEntry));
  if (entry == nullptr) {
    *error = path + " is not the video writer";
    dlclose(library);
    return false;
  }
  functions = entry();
  return true;
}

}  // namespace

VideoWriter* OpenVideo(const std::string& path, int32_t width, int32_t height, uint32_t fps,
                       std::string* error) {
  return Load(error) ? functions->open(path, width, height, fps, error) : nullptr;
}

bool AddVideoFrame(VideoWriter* video, const BackBuffer& frame, std::string* error) {
  return functions->add(video, frame, error);
}

bool FinishVideo(VideoWriter* video, std::string* error) { return functions->finish(video, error); }

void AbandonVideo(VideoWriter* video) { functions->abandon(video); }

}  // namespace vivuvev
