// Presenting on the web: the page lays each changed rectangle on its canvas
// with putImageData, straight from the module's memory. A 32-bit back buffer
// is already in the canvas's byte order (A8B8G8R8, see back_buffer.h), so its
// rows go as they are; a 16-bit one is widened into an RGBA image of the same
// size first, its changed rectangles only. The whole image goes on the first
// present at a size and after the page lost its canvas's pixels.
//
// Implemented: 32-bit (A8B8G8R8) and 16-bit (R5G6B5) back buffers, each
// 16-bit channel widened to 8 bits as the display would show it.
// Not implemented: waiting for the display (putImageData has taken the
// pixels when it returns).
#include <cstdint>
#include <vector>

#include "base/system.h"
#include "canvas/pixels.h"
#include "platform/web/web_parts.h"
#include "software/present.h"

namespace vivuvev {

namespace {

// The 16-bit back buffer widened to the canvas's RGBA.
struct ShownImage {
  uint32_t* pixels = nullptr;  // width x height RGBA words, rows width words apart
  size_t bytes = 0;
  int32_t width = 0;
  int32_t height = 0;
};

ShownImage shown;
bool sendAll = true;         // the canvas may show anything: send the whole image
std::vector<int32_t> boxes;  // left, top, width, height of each rectangle sent

// Four pixels at a time, in the compiler's vector types: 128-bit SIMD where
// the build has it, plain words where it does not. The compiler leaves the
// one-pixel loop as it is.
using Words4 = uint32_t __attribute__((vector_size(16)));
using Halves4 = uint16_t __attribute__((vector_size(8)));
constexpr int32_t VectorPixels = 4;

// R5G6B5 words, each channel widened as Widen565 does.
void Convert16(uint32_t* out, const uint16_t* in, int32_t count) {
  int32_t x = 0;
  for (; count - x >= VectorPixels; x += VectorPixels) {
    Halves4 halves;
    __builtin_memcpy(&halves, in + x, sizeof halves);
    const Words4 p = __builtin_convertvector(halves, Words4);
    const Words4 r = p >> 11, g = (p >> 5) & 0x3Fu, b = p & 0x1Fu;
    const Words4 words = 0xFF000000u | (r << 3) | (r >> 2) | (((g << 2) | (g >> 4)) << 8) |
                         (((b << 3) | (b >> 2)) << 16);
    __builtin_memcpy(out + x, &words, sizeof words);
  }
  for (; x < count; ++x) out[x] = BackBufferWord(Widen565(in[x]));
}

void ReleaseShownImage() {
  if (shown.pixels != nullptr) ReleaseImageMemory(shown.pixels, shown.bytes);
  shown = ShownImage{};
}

bool ShownImageFor(const BackBuffer& buffer) {
  if (shown.pixels != nullptr && shown.width == buffer.width && shown.height == buffer.height) {
    return true;
  }
  ReleaseShownImage();
  sendAll = true;
  const size_t bytes = static_cast<size_t>(buffer.width) * static_cast<size_t>(buffer.height) * 4;
  shown.pixels = static_cast<uint32_t*>(AllocateImageMemory(bytes));
  if (shown.pixels == nullptr) return false;
  shown.bytes = bytes;
  shown.width = buffer.width;
  shown.height = buffer.height;
  return true;
}

void Convert(const BackBuffer& buffer, const DamageBox& box) {
  for (int32_t y = box.top; y < box.bottom; ++y) {
    const uint8_t* row = buffer.pixels + static_cast<size_t>(y) * static_cast<size_t>(buffer.pitch);
    uint32_t* out = shown.pixels + static_cast<size_t>(y) * static_cast<size_t>(shown.width);
    Convert16(out + box.left, reinterpret_cast<const uint16_t*>(row) + box.left, box.right - box.left);
  }
}

}  // namespace

int32_t DisplayBitsPerPixel() { return WebScreenBits(); }

bool PresentBackBuffer(WindowHandle parent, const BackBuffer& buffer) {
  if (parent == nullptr || buffer.width <= 0 || buffer.height <= 0) return false;
  const bool wide = buffer.bitsPerPixel == 32;
  if (!wide && !ShownImageFor(buffer)) return false;
  // As many rectangles as the back buffer keeps room for: frames then send
  // theirs without allocating.
  boxes.reserve(buffer.changed.Boxes().capacity() * 4);
  boxes.clear();
  const auto send = [&](const DamageBox& box) {
    if (!wide) Convert(buffer, box);
    boxes.insert(boxes.end(), {box.left, box.top, box.right - box.left, box.bottom - box.top});
  };
  if (sendAll || buffer.changed.Everything()) {
    send(DamageBox{0, 0, buffer.width, buffer.height});
  } else {
    for (const DamageBox& box : buffer.changed.Boxes()) send(box);
  }
  sendAll = false;
  const auto count = static_cast<int32_t>(boxes.size() / 4);
  if (wide) {
    WebPresentRectangles(buffer.pixels, buffer.pitch / 4, buffer.width, buffer.height, boxes.data(), count);
  } else {
    WebPresentRectangles(reinterpret_cast<const uint8_t*>(shown.pixels), shown.width, shown.width,
                         shown.height, boxes.data(), count);
  }
  return true;
}

uint8_t* AcquirePresentMemory(int32_t, int32_t, int32_t, int32_t) { return nullptr; }

void ReleasePresentMemory(uint8_t*) {}

// The page has copied the pixels when a present returns.
void AwaitPresentedRows() {}

void EndPresenting() {
  ReleaseShownImage();
  sendAll = true;
}

void PresentWholeImageNext() { sendAll = true; }

}  // namespace vivuvev
