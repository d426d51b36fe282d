// The keyboard device under the polling logic of keyboard.cpp.
//
// Each platform provides these (keyboard_directinput.cpp, keyboard_x11.cpp,
// keyboard_headless.cpp). Callers rely on: KeyboardLibraryLoad may be called
// more than once and counts its users, and KeyboardDeviceClose releases what
// every earlier call made; KeyboardDeviceRead fills all 256 bytes by scan code
// and returns false when the keys cannot be read (the window is not in the
// foreground, the device was lost).
#pragma once

#include <cstdint>

#include "base/handles.h"

namespace vivuvev {

// Makes the input library ready; false when there is none.
bool KeyboardLibraryLoad();
// Creates the system keyboard with its data format; false on failure.
bool KeyboardDeviceCreate();
bool KeyboardDeviceExists();
// Binds the device to window (foreground, non-exclusive) and acquires it.
void KeyboardDeviceAcquire(WindowHandle window);
bool KeyboardDeviceRead(uint8_t (&state)[256]);
// Releases the device and the library, if anything was ever opened.
void KeyboardDeviceClose();

}  // namespace vivuvev
