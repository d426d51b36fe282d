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

#include "canvas/pixels.h"
#include "display/present.h"
#include "platform/system.h"
#include "platform/web/web_parts.h"

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
      const auto* in = reinterpret_cast<const uint32_t*>(row);
      for (int32_t x = box.left; x < box.right; ++x) out[x] = CanvasWord(in[x]);
    } else {
      const auto* in = reinterpret_cast<const uint16_t*>(row);
      for (int32_t x = box.left; x < box.right; ++x) out[x] = CanvasWord(Widen565(in[x]));
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
