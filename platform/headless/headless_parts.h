// The pieces of the headless platform reset each other's state through these;
// only the headless platform files include this header.
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
