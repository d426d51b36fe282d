// Where the software Screen shows its back buffer.
//
// Each software platform provides these (present_headless.cpp,
// present_x11.cpp). Callers rely on: DisplayBitsPerPixel is 32 or 16, the
// format the back buffer is made in; PresentBackBuffer shows the whole buffer
// in the Screen's parent window at once, without waiting for a retrace, and
// returns false when it could not.
#pragma once

#include <cstdint>

#include "display/back_buffer.h"
#include "platform/handles.h"

namespace vivuvev {

int32_t DisplayBitsPerPixel();
bool PresentBackBuffer(WindowHandle parent, const BackBuffer& buffer);
// The Screen is closing: drop whatever presenting holds for it.
void EndPresenting();

}  // namespace vivuvev
