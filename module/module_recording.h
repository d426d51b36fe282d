// -record-animation N: the module's first N shown frames go into vivuvev.mp4
// in the working directory, through the same video writer as vivuvev-render;
// the module goes on drawing after them.
#pragma once

#include <cstdint>

namespace vivuvev {

constexpr char RecordingFile[] = "vivuvev.mp4";

// The next `frames` shown frames are recorded (0: none).
void RecordFrames(uint32_t frames);

// After a frame that showed a picture: the back buffer becomes the video's
// next frame, and after the last one the file is completed. A failure is told
// in one line on stderr and ends the recording, never the module.
void RecordShownFrame();

// The module is ending: a recording cut short keeps the frames it has.
void EndRecording();

}  // namespace vivuvev
