// Presenting on the web: the back buffer's changed rectangles are turned into
// the canvas's pixel order (RGBA, alpha 255) in an image of the same size in
// the module's memory, and the page lays each of them on its canvas with
// putImageData straight from that memory. The whole image goes on the first
// present at a size and after the page lost its canvas's pixels.
//
// Implemented: 32-bit (X8R8G8B8) and 16-bit (R5G6B5) back buffers, each
// channel widened to 8 bits as the display would show it.
// Not implemented: memory the page reads the back buffer from directly (its
// pixel order is not the canvas's), waiting for the display (putImageData has
// taken the pixels when it returns).
#include <cstdint>
#include <vector>

#include "base/system.h"
#include "canvas/pixels.h"
#include "platform/web/web_parts.h"
#include "software/present.h"

namespace vivuvev {

namespace {

struct ShownImage {
  uint32_t* pixels = nullptr;  // width x height RGBA words, rows width words apart
  size_t bytes = 0;
  int32_t width = 0;
  int32_t height = 0;
  bool sendAll = true;         // the canvas may show anything: send the whole image
  std::vector<int32_t> boxes;  // left, top, width, height of each rectangle sent
};

ShownImage shown;

// 0x00RRGGBB as the canvas's bytes R, G, B, A in a little-endian word.
constexpr uint32_t CanvasWord(uint32_t rgb) {
  return 0xFF000000u | ((rgb >> 16) & 0xFFu) | (rgb & 0xFF00u) | ((rgb & 0xFFu) << 16);
}

// Four pixels at a time, in the compiler's vector types: 128-bit SIMD where
// the build has it, plain words where it does not. The compiler leaves the
// one-pixel loops as they are.
using Bytes16 = uint8_t __attribute__((vector_size(16)));
using Words4 = uint32_t __attribute__((vector_size(16)));
using Halves4 = uint16_t __attribute__((vector_size(8)));
constexpr int32_t VectorPixels = 4;

// X8R8G8B8 words: blue and red change places, alpha becomes 255.
void Convert32(uint32_t* out, const uint32_t* in, int32_t count) {
  int32_t x = 0;
  for (; count - x >= VectorPixels; x += VectorPixels) {
    Bytes16 p;
    __builtin_memcpy(&p, in + x, sizeof p);
    const Bytes16 q = __builtin_shufflevector(p, p, 2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15);
    const Words4 words = reinterpret_cast<const Words4&>(q) | 0xFF000000u;
    __builtin_memcpy(out + x, &words, sizeof words);
  }
  for (; x < count; ++x) out[x] = CanvasWord(in[x]);
}

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
  for (; x < count; ++x) out[x] = CanvasWord(Widen565(in[x]));
}

void ReleaseShownImage() {
  if (shown.pixels != nullptr) ReleaseImageMemory(shown.pixels, shown.bytes);
  shown.pixels = nullptr;
  shown.bytes = 0;
  shown.width = 0;
  shown.height = 0;
  shown.sendAll = true;
}

bool ShownImageFor(const BackBuffer& buffer) {
  if (shown.pixels != nullptr && shown.width == buffer.width && shown.height == buffer.height) {
    return true;
  }
  ReleaseShownImage();
  const size_t bytes = static_cast<size_t>(buffer.width) * static_cast<size_t>(buffer.height) * 4;
  shown.pixels = static_cast<uint32_t*>(AllocateImageMemory(bytes));
  if (shown.pixels == nullptr) return false;
  shown.bytes = bytes;
  shown.width = buffer.width;
  shown.height = buffer.height;
  // As many rectangles as the back buffer keeps room for: frames then send
  // theirs without allocating.
  shown.boxes.reserve(buffer.changed.Boxes().capacity() * 4);
  return true;
}

void Convert(const BackBuffer& buffer, const DamageBox& box) {
  for (int32_t y = box.top; y < box.bottom; ++y) {
    const uint8_t* row = buffer.pixels + static_cast<size_t>(y) * static_cast<size_t>(buffer.pitch);
    uint32_t* out = shown.pixels + static_cast<size_t>(y) * static_cast<size_t>(shown.width);
    if (buffer.bitsPerPixel == 32) {
      Convert32(out + box.left, reinterpret_cast<const uint32_t*>(row) + box.left, box.right - box.left);
    } else {
      Convert16(out + box.left, reinterpret_cast<const uint16_t*>(row) + box.left, box.right - box.left);
    }
  }
  shown.boxes.insert(shown.boxes.end(), {box.left, box.top, box.right - box.left, box.bottom - box.top});
}

}  // namespace

int32_t DisplayBitsPerPixel() { return WebScreenBits(); }

bool PresentBackBuffer(WindowHandle parent, const BackBuffer& buffer) {
  if (parent == nullptr || buffer.width <= 0 || buffer.height <= 0) return false;
  if (!ShownImageFor(buffer)) return false;
  shown.boxes.clear();
  if (shown.sendAll || buffer.changed.Everything()) {
    Convert(buffer, DamageBox{0, 0, buffer.width, buffer.height});
  } else {
    for (const DamageBox& box : buffer.changed.Boxes()) Convert(buffer, box);
  }
  shown.sendAll = false;
  WebPresentRectangles(reinterpret_cast<const uint8_t*>(shown.pixels), shown.width, shown.height,
                       shown.boxes.data(), static_cast<int32_t>(shown.boxes.size() / 4));
  return true;
}

uint8_t* AcquirePresentMemory(int32_t, int32_t, int32_t, int32_t) { return nullptr; }

void ReleasePresentMemory(uint8_t*) {}

// The page has copied the pixels when a present returns.
void AwaitPresentedRows() {}

void EndPresenting() { ReleaseShownImage(); }

void PresentWholeImageNext() { shown.sendAll = true; }

}  // namespace vivuvev
