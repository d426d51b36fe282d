// Headless presenting: nothing is shown; every present is counted and handed
// to the frame observer, which is how vivuvev-render and the tests see frames.
#include "display/present.h"
#include "platform/headless.h"
#include "platform/headless_parts.h"

namespace vivuvev {

namespace {
int32_t displayBits = 32;
bool graphicsPresent = true;
uint32_t framesPresented = 0;
std::function<void(uint32_t, const BackBuffer&)> frameObserver;
}  // namespace

void SetHeadlessScreen(int32_t width, int32_t height, int32_t bitsPerPixel) {
  SetHeadlessDesktopSize(width, height);
  displayBits = bitsPerPixel;
}

void SetHeadlessGraphicsPresent(bool present) { graphicsPresent = present; }

uint32_t HeadlessFramesPresented() { return framesPresented; }

void SetHeadlessFrameObserver(std::function<void(uint32_t, const BackBuffer&)> observer) {
  frameObserver = std::move(observer);
}

int32_t DisplayBitsPerPixel() { return graphicsPresent ? displayBits : 0; }

bool PresentBackBuffer(WindowHandle, const BackBuffer& buffer) {
  ++framesPresented;
  if (frameObserver) frameObserver(framesPresented, buffer);
  return true;
}

void EndPresenting() {}

void ResetHeadlessPresent() {
  displayBits = 32;
  graphicsPresent = true;
  framesPresented = 0;
  frameObserver = nullptr;
}

}  // namespace vivuvev
