// What saver does, chosen by the mode letter of its first parameter.
#pragma once

namespace vivuvev {

enum class SaverMode { Animation, AboutBox, End };

extern const char AboutTitle[];
extern const char AboutText[];

// The mode for a first parameter: its 2nd character in either case, "s" or
// "S" for the animation and "c" or "C" for the about box; anything else ends.
SaverMode SaverModeFor(const char* parameter);

// saver after start-up: reads the first parameter and runs what it selects.
// Never returns.
[[noreturn]] void RunSaver();

// standalone after start-up: the animation at once. Never returns.
[[noreturn]] void RunStandalone();

}  // namespace vivuvev
