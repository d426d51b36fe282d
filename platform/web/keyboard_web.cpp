// The keyboard on the web: there is no keyboard device. The page keeps its
// one key (F toggles full screen) to itself, and the animation there runs
// under a stop rule that reads no key.
//
// Implemented: a device that is never there, as on a system without one.
// Not implemented: reading keys.
#include "input/keyboard_device.h"

namespace vivuvev {

bool KeyboardLibraryLoad() { return false; }
bool KeyboardDeviceCreate() { return false; }
bool KeyboardDeviceExists() { return false; }
void KeyboardDeviceAcquire(WindowHandle) {}
bool KeyboardDeviceRead(uint8_t (&)[256]) { return false; }
void KeyboardDeviceClose() {}

}  // namespace vivuvev
