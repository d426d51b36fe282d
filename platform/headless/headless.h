// Controls of the headless platform: the screen it pretends to have, the
// script its keyboard and cursor follow, and a look at every presented frame.
//
// Frames are counted by presents: frame n is the n-th PresentFrame. Scripted
// events "at frame n" are seen by the first keyboard poll or cursor read after
// frame n was presented (or before the first frame, for n = 0).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/handles.h"
#include "software/back_buffer.h"

namespace vivuvev {

struct HeadlessMessage {
  uint32_t message;
  uintptr_t wParam;
  intptr_t lParam;
};

// The primary screen: its size and bits per pixel (32 or 16).
void SetHeadlessScreen(int32_t width, int32_t height, int32_t bitsPerPixel);
// Whether a keyboard device and a graphics device exist (both do by default).
void SetHeadlessKeyboardPresent(bool present);
void SetHeadlessGraphicsPresent(bool present);

// Scripted input.
void ScriptKeyDown(uint32_t frame, int32_t scanCode);
void ScriptKeyUp(uint32_t frame, int32_t scanCode);
void ScriptCursorMove(uint32_t frame, int32_t dx, int32_t dy);
// A message for window number's window, delivered by a later PollWindowEvent.
void PostHeadlessMessage(int32_t window, const HeadlessMessage& message);

// Whether presenting memory is given when the Screen asks for it (not by
// default, when the back buffer stays on the heap), and whether buffer's rows
// are in it.
void SetHeadlessPresentMemory(bool given);
bool HeadlessBufferInPresentMemory(const BackBuffer& buffer);

// Frames presented so far.
uint32_t HeadlessFramesPresented();
// Called after every present with the frame's number and the back buffer.
void SetHeadlessFrameObserver(std::function<void(uint32_t frame, const BackBuffer&)> observer);
// Whether to keep the picture a window would show, built only from what each
// present sends: the back buffer's rows (pitch bytes apart) as presented so
// far. Off by default; turning it on or off forgets the picture.
void KeepHeadlessShownImage(bool keep);
const std::vector<uint8_t>& HeadlessShownImage();

// What ShowMessageBox was last asked to show.
struct HeadlessMessageBox {
  int32_t calls;
  std::string title;
  std::string message;
  uint32_t flags;
};
const HeadlessMessageBox& LastHeadlessMessageBox();

// Window geometry as the headless window library keeps it.
struct HeadlessWindow {
  bool open;
  int32_t x, y, width, height;
  uint32_t flags;
  bool topmost;
  std::string title;
};
HeadlessWindow HeadlessWindowState(int32_t number);

// Back to a fresh process: no script, default screen 1920 x 1080 x 32, every
// device present, counters zero.
void ResetHeadlessPlatform();

}  // namespace vivuvev
