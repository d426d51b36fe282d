// Headless presenting: nothing is shown; every present is counted and handed
// to the frame observer, which is how vivuvev-render and the tests see frames.
// On request it also keeps the picture a window would show: a copy of the back
// buffer fed only by what each present sends, so that the tests can hold the
// change log to the buffer. Presenting memory is given only when the tests
// ask for it, as a window system's shared memory would be.
#include <algorithm>
#include <cstring>

#include "base/system.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_parts.h"
#include "software/present.h"

namespace vivuvev {

namespace {
int32_t displayBits = 32;
bool graphicsPresent = true;
uint32_t framesPresented = 0;
std::function<void(uint32_t, const BackBuffer&)> frameObserver;

// The shown picture, rows pitch bytes apart, when kept.
bool keepShown = false;
std::vector<uint8_t> shown;
int32_t shownPitch = 0;

// Presenting memory: whether it is given, and the block given, if any.
bool presentMemoryGiven = false;
uint8_t* presentMemory = nullptr;
size_t presentMemoryBytes = 0;

// Bytes never presented: a copy that misses a rectangle shows them.
constexpr uint8_t NeverPresented = 0xA5;

void Show(const BackBuffer& buffer) {
  const size_t bytes = static_cast<size_t>(buffer.pitch) * static_cast<size_t>(buffer.height);
  if (shown.size() != bytes || shownPitch != buffer.pitch) {
    shown.assign(bytes, NeverPresented);
    shownPitch = buffer.pitch;
  }
  const DamageLog& changed = buffer.changed;
  const DamageBox whole{0, 0, buffer.width, buffer.height};
  const int32_t bytesPerPixel = buffer.bitsPerPixel / 8;
  const auto copy = [&](const DamageBox& box) {
    for (int32_t y = box.top; y < box.bottom; ++y) {
      const size_t at = static_cast<size_t>(y) * static_cast<size_t>(buffer.pitch) +
                        static_cast<size_t>(box.left) * static_cast<size_t>(bytesPerPixel);
      std::memcpy(shown.data() + at, buffer.pixels + at,
                  static_cast<size_t>(box.right - box.left) * static_cast<size_t>(bytesPerPixel));
    }
  };
  if (changed.Everything()) {
    copy(whole);
  } else {
    std::for_each(changed.Boxes().begin(), changed.Boxes().end(), copy);
  }
}

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

void KeepHeadlessShownImage(bool keep) {
  keepShown = keep;
  shown = {};
  shownPitch = 0;
}

const std::vector<uint8_t>& HeadlessShownImage() { return shown; }

int32_t DisplayBitsPerPixel() { return graphicsPresent ? displayBits : 0; }

bool PresentBackBuffer(WindowHandle, const BackBuffer& buffer) {
  ++framesPresented;
  if (keepShown) Show(buffer);
  if (frameObserver) frameObserver(framesPresented, buffer);
  return true;
}

void SetHeadlessPresentMemory(bool given) { presentMemoryGiven = given; }

bool HeadlessBufferInPresentMemory(const BackBuffer& buffer) {
  return presentMemory != nullptr && buffer.pixels == presentMemory;
}

uint8_t* AcquirePresentMemory(int32_t, int32_t height, int32_t pitch, int32_t) {
  if (!presentMemoryGiven || presentMemory != nullptr) return nullptr;
  const size_t bytes = static_cast<size_t>(pitch) * static_cast<size_t>(height);
  presentMemory = static_cast<uint8_t*>(AllocateImageMemory(bytes));
  if (presentMemory != nullptr) presentMemoryBytes = bytes;
  return presentMemory;
}

void ReleasePresentMemory(uint8_t* memory) {
  if (memory == nullptr || memory != presentMemory) return;
  ReleaseImageMemory(presentMemory, presentMemoryBytes);
  presentMemory = nullptr;
  presentMemoryBytes = 0;
}

// A present here has taken its rows when it returns.
void AwaitPresentedRows() {}

void EndPresenting() {}

void ResetHeadlessPresent() {
  displayBits = 32;
  graphicsPresent = true;
  framesPresented = 0;
  frameObserver = nullptr;
  KeepHeadlessShownImage(false);
  presentMemoryGiven = false;
}

}  // namespace vivuvev
