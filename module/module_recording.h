// -record-animation N: the module's first N shown frames go into vivuvev.mp4
// in the working directory, through the same video writer as vivuvev-render
// (the plugin, loaded only for a recording); the module goes on drawing after
// them.
#pragma once

#include <cstdint>

namespace vivuvev {

constexpr char RecordingFile[] = "vivuvev.mp4";

// The next `frames` shown frames are recorded (0: none). Without the video
// writer, one line on stderr says that recording is unavailable, and nothing
// is recorded.
void RecordFrames(uint32_t frames);

// After a frame that showed a picture: the back buffer becomes the video's
// next frame, and after the last one the file is completed. A failure is told
// in one line on stderr and ends the recording, never the module.
void RecordShownFrame();

// The module is ending: a recording cut short keeps the frames it has. Makes
// no call to the X server, so it can run after the connection was lost.
void EndRecording();

}  // namespace vivuvev
