// Where the software Screen shows its back buffer.
//
// Each software platform provides these (present_headless.cpp,
// present_x11.cpp). Callers rely on: DisplayBitsPerPixel is 32 or 16, the
// format the back buffer is made in; PresentBackBuffer shows the buffer in the
// Screen's parent window at once, without waiting for a retrace, sending what
// buffer.changed names (and the whole buffer when the window may show
// anything else: its first present, after an expose), and returns false when
// it could not. AcquirePresentMemory gives zeroed, cache-line aligned memory
// for pitch x height bytes of rows that presenting sends without copying them,
// or null when the platform has none (the Screen then keeps its rows on the
// heap); ReleasePresentMemory takes it back. PresentBackBuffer may return
// before the display has taken the rows it sends; AwaitPresentedRows returns
// once it has, and whatever writes the rows calls it first. A present that
// turns out to have failed after it returned makes the next one return false.
#pragma once

#include <cstdint>

#include "base/handles.h"
#include "software/back_buffer.h"

namespace vivuvev {

int32_t DisplayBitsPerPixel();
bool PresentBackBuffer(WindowHandle parent, const BackBuffer& buffer);
uint8_t* AcquirePresentMemory(int32_t width, int32_t height, int32_t pitch, int32_t bitsPerPixel);
void ReleasePresentMemory(uint8_t* memory);
void AwaitPresentedRows();
// The Screen is closing: drop whatever presenting holds for it.
void EndPresenting();

}  // namespace vivuvev
