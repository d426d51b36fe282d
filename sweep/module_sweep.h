// The sweep as a screensaver daemon's module runs it: the same set-up and
// steps, no stop test (the daemon ends the module with a signal), and a pause
// after every frame so that the daemon does not give it a whole core.
#pragma once

#include <csignal>
#include <cstdint>

namespace vivuvev {

// Set-up, then cycles until stop is nonzero, checked after every frame and
// during the pauses. Returns with the window and the layers still open.
void RunModuleSweep(uint32_t delayMicroseconds, const volatile std::sig_atomic_t& stop);

// The pause between frames: at most delayMicroseconds, cut short once stop is
// set.
void PauseBetweenFrames(uint32_t delayMicroseconds, const volatile std::sig_atomic_t& stop);

}  // namespace vivuvev
