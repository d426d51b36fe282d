// The headless platform: no window system at all. It draws with the
// software renderer; the tests, vivuvev-render and vivuvev-bench run on it,
// driven through the controls of headless.h.
//
// Implemented:
//  [x] Desktop: a primary screen of the size and depth the caller sets, and
//      a cursor that moves when the script says so.
//  [x] Windows: numbered windows kept as records, with window messages
//      posted by the caller and handled as on every platform.
//  [x] Present: counted, handed to a frame observer, and on request kept as
//      the picture a window would show, from what each present sends.
//  [x] Keyboard: keys down and up at the frames the script names.
//  [x] About box: recorded, and closed with OK at once.
// Not implemented:
//  [ ] Anything shown: nothing leaves the process but what the observer takes.
//  [ ] The -fps text: there is no window to draw it on.
//
// The pieces of the headless platform reset each other's state through these;
// its one private header: only files in platform/headless/ include it.
#pragma once

#include <cstdint>

namespace vivuvev {

// The desktop's size, set by SetHeadlessScreen.
void SetHeadlessDesktopSize(int32_t width, int32_t height);


void ResetHeadlessDesktop();
void ResetHeadlessKeyboard();
void ResetHeadlessWindows();
void ResetHeadlessPresent();
void ResetHeadlessMessageBox();

}  // namespace vivuvev
