// What the x11 platform files ask of one another; only they include this.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>

namespace vivuvev {

// The cursor the program's own windows show: None (the default arrow) while
// the cursor is shown, an invisible one after ShowCursor(false).
Cursor ProgramCursor();
// Frees the invisible cursor; the connection is about to close.
void ReleaseProgramCursor();

// Whether window number is open and was made sticky (window_x11.cpp).
bool WindowIsSticky(int32_t number);

// window has a new parent: the keyboard finds the top-level window that holds
// it again at its next read (keyboard_x11.cpp).
void KeyboardWindowReparented(Window window);

}  // namespace vivuvev
