// The programs' video writer: the real one in vivuvev-video.so, loaded at the
// first video from VIVUVEV_VIDEO_PLUGIN_FROM_PROGRAM, relative to the folder
// of the program's own file (bin/../lib/vivuvev/plugins for vivuvev-render,
// in the build tree and installed alike), and kept to the end (FFmpeg's
// libraries are not made to be unloaded).
#include <dlfcn.h>

#include <filesystem>

#include "video/video_loader.h"
#include "video/video_plugin.h"

namespace vivuvev {

namespace {

const VideoWriterFunctions* functions = nullptr;

// The plugin beside the program's own file, as the kernel names it. Without
// that name (a sandbox without /proc) nothing is loaded: a path relative to
// the working folder would load whatever library was planted there.
bool PluginPath(std::string* path, std::string* error) {
  std::error_code code;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", code);
  if (code || !self.is_absolute()) {
    *error = "cannot load the video writer: the program cannot tell where it is installed "
             "(/proc/self/exe: " + (code ? code.message() : "not an absolute path") +
             "), and it loads the writer from nowhere else";
    return false;
  }
  *path = (self.parent_path() / VIVUVEV_VIDEO_PLUGIN_FROM_PROGRAM / VideoPluginFile)
              .lexically_normal()
              .string();
  return true;
}

}  // namespace

bool LoadVideoWriter(std::string* error) {
  if (functions != nullptr) return true;
  std::string path;
  if (!PluginPath(&path, error)) return false;
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    *error = std::string("cannot load the video writer: ") + dlerror();
    return false;
  }
  using Entry = const VideoWriterFunctions* (*)();
  const auto entry = reinterpret_cast<Entry>(dlsym(library, VideoPluginEntry));
  const VideoWriterFunctions* table = entry != nullptr ? entry() : nullptr;
  if (table == nullptr) {
    *error = path + " is not the video writer";
  } else if (table->version != VideoPluginVersion) {
    *error = path + " is version " + std::to_string(table->version) +
             " of the video writer; this program takes version " + std::to_string(VideoPluginVersion);
  } else {
    functions = table;
    return true;
  }
  dlclose(library);
  return false;
}

VideoWriter* OpenVideo(const std::string& path, int32_t width, int32_t height, uint32_t fps,
                       std::string* error) {
  return LoadVideoWriter(error) ? functions->open(path, width, height, fps, error) : nullptr;
}

bool AddVideoFrame(VideoWriter* video, const BackBuffer& frame, std::string* error) {
  return functions->add(video, frame, error);
}

bool FinishVideo(VideoWriter* video, std::string* error) { return functions->finish(video, error); }

void AbandonVideo(VideoWriter* video) { functions->abandon(video); }

}  // namespace vivuvev
