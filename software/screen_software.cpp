// The Screen in software, for x11 and headless: a back buffer in memory in the
// display's format, shown through PresentBackBuffer. There is no device to
// lose: a present that fails is simply tried again at the next frame. A back
// buffer that had to go on the heap because presenting memory could not be
// had asks for it again now and then, less often after each refusal, and
// moves into it once it is given: a passing shortage costs a while, not the
// rest of the run.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>

#include "canvas/canvas_store.h"
#include "canvas/change_map.h"
#include "canvas/pixels.h"
#include "display/render_state_cache.h"
#include "display/screen.h"
#include "software/back_buffer.h"
#include "software/present.h"

namespace vivuvev {

namespace {

struct SoftwareScreen {
  bool graphicsReady;
  bool open;
  bool active;
  bool inScene;
  WindowHandle parent;
  int32_t targetWidth;
  int32_t targetHeight;
  int32_t bitsPerPixel;
};

SoftwareScreen screen = {};
BackBuffer backBuffer;
uint32_t rewriteCount = 0;

// Presents between the requests for presenting memory of a buffer on the
// heap: the first wait, and the longest after repeated refusals.
constexpr uint32_t FirstPresentMemoryWait = 256;
constexpr uint32_t LongestPresentMemoryWait = 65536;
uint32_t presentMemoryWait = FirstPresentMemoryWait;
uint32_t presentsOnHeap = 0;

// The next present sends the whole buffer.
void SendWholeNext() {
  backBuffer.changed.Clear();
  backBuffer.changed.Record(0, 0, backBuffer.width, backBuffer.height, backBuffer.width,
                            backBuffer.height);
}

// The whole buffer was written by something other than the blit.
void MarkRewritten() {
  backBuffer.rewrites = ++rewriteCount;
  SendWholeNext();
}

void ReleasePixels() {
  if (backBuffer.pixels != nullptr && backBuffer.heapPixels.empty()) {
    ReleasePresentMemory(backBuffer.pixels);
  }
  backBuffer.pixels = nullptr;
  backBuffer.heapPixels = {};
}

void FillBackBuffer(uint32_t word) {
  AwaitPresentedRows();
  uint8_t* row = backBuffer.pixels;
  for (int32_t y = 0; y < backBuffer.height; ++y, row += backBuffer.pitch) {
    if (backBuffer.bitsPerPixel == 32) {
      auto* p = reinterpret_cast<uint32_t*>(row);
      for (int32_t x = 0; x < backBuffer.width; ++x) p[x] = word;
    } else {
      auto* p = reinterpret_cast<uint16_t*>(row);
      for (int32_t x = 0; x < backBuffer.width; ++x) p[x] = static_cast<uint16_t>(word);
    }
  }
}

// Asks again for presenting memory for a buffer on the heap when it is
// time, and moves the rows into it when it is given.
void SeekPresentMemory() {
  if (backBuffer.heapPixels.empty() || ++presentsOnHeap < presentMemoryWait) return;
  presentsOnHeap = 0;
  uint8_t* memory =
      AcquirePresentMemory(backBuffer.width, backBuffer.height, backBuffer.pitch, backBuffer.bitsPerPixel);
  if (memory == nullptr) {
    presentMemoryWait = std::min(presentMemoryWait * 2, LongestPresentMemoryWait);
    return;
  }
  AwaitPresentedRows();
  std::memcpy(memory, backBuffer.heapPixels.data(), backBuffer.heapPixels.size());
  backBuffer.pixels = memory;
  backBuffer.heapPixels = {};
}

}  // namespace

int32_t InitGraphics() {
  CreateCanvasTable();
  const int32_t bits = DisplayBitsPerPixel();
  screen.graphicsReady = bits == 32 || bits == 16;
  return screen.graphicsReady ? 1 : 0;
}

int32_t OpenScreenInWindow(WindowHandle parent, int32_t x, int32_t y, int32_t width, int32_t height,
                           int32_t, int32_t, int32_t, int32_t) {
  ReleaseScreen();
  if (parent == nullptr) {
    FreeAllCanvases();
    return 0;
  }
  ResetRenderStateCache();
  screen.parent = parent;
  screen.targetWidth = width;
  screen.targetHeight = height;
  // The back buffer always starts at the window's top-left corner; x and y
  // place a child window on Windows and mean nothing here.
  (void)x;
  (void)y;
  if (!screen.graphicsReady || width <= 0 || height <= 0) {
    FreeAllCanvases();
    return 0;
  }
  const int32_t bits = DisplayBitsPerPixel();
  const int64_t rowBytes = WholeCacheLines(int64_t{width} * (bits / 8));
  if (rowBytes > INT32_MAX) {
    FreeAllCanvases();
    return 0;
  }
  const auto pitch = static_cast<int32_t>(rowBytes);
  backBuffer.pixels = AcquirePresentMemory(width, height, pitch, bits);
  presentMemoryWait = FirstPresentMemoryWait;
  presentsOnHeap = 0;
  try {
    if (backBuffer.pixels == nullptr) {
      backBuffer.heapPixels.assign(static_cast<size_t>(pitch) * static_cast<size_t>(height), 0);
      backBuffer.pixels = backBuffer.heapPixels.data();
    }
    // A box for every tile the blit may lay, and one for the whole: the
    // frames then record their changes without allocating.
    backBuffer.changed.Reserve(static_cast<size_t>(width / ChangeMap::TileWidth + 2) *
                                   static_cast<size_t>(height / ChangeMap::TileHeight + 2) +
                               1);
  } catch (const std::bad_alloc&) {
    ReleasePixels();
    FreeAllCanvases();
    return 0;
  }
  backBuffer.width = width;
  backBuffer.height = height;
  backBuffer.pitch = pitch;
  backBuffer.bitsPerPixel = bits;
  MarkRewritten();
  screen.bitsPerPixel = bits;
  screen.open = true;
  screen.active = true;
  return 1;
}

void ClearBackBuffer(uint32_t colour) {
  if (!screen.open) return;
  const uint32_t rgb = ColourToClass3(colour);
  if (backBuffer.bitsPerPixel == 32) {
    FillBackBuffer(BackBufferWord(rgb));
  } else {
    const uint32_t r = (rgb >> 16) & 0xFFu, g = (rgb >> 8) & 0xFFu, b = rgb & 0xFFu;
    FillBackBuffer((Narrow5(r) << 11) | (Narrow6(g) << 5) | Narrow5(b));
  }
  MarkRewritten();
}

int32_t EnsureScene() {
  if (screen.inScene) return 1;
  if (!screen.open) return 0;
  screen.inScene = true;
  return 1;
}

void EndOpenScene() { screen.inScene = false; }

int32_t PresentFrame() {
  if (!screen.open) return 1;
  EndOpenScene();
  SeekPresentMemory();
  screen.active = PresentBackBuffer(screen.parent, backBuffer);
  // What a failed present did not deliver goes with the next one.
  if (screen.active) {
    backBuffer.changed.Clear();
  } else {
    SendWholeNext();
  }
  return 1;
}

void ReleaseScreen() {
  if (!screen.open) return;
  FreeAllCanvases();
  EndOpenScene();
  EndPresenting();
  ReleasePixels();
  backBuffer = BackBuffer{};
  screen.targetWidth = 0;
  screen.targetHeight = 0;
  screen.open = false;
  screen.active = false;
}

void ShutdownGraphics() {
  if (!screen.graphicsReady) return;
  ReleaseScreen();
  screen.graphicsReady = false;
}

int32_t ScreenBitsPerPixel() { return screen.bitsPerPixel; }
int32_t TargetWidth() { return screen.targetWidth; }
int32_t TargetHeight() { return screen.targetHeight; }
WindowHandle ScreenParentWindow() { return screen.parent; }

BackBuffer* SoftwareBackBuffer() { return screen.open ? &backBuffer : nullptr; }

BackBuffer* BackBufferToWrite() {
  if (!screen.open) return nullptr;
  AwaitPresentedRows();
  return &backBuffer;
}

uint32_t BackBufferRgb(const BackBuffer& buffer, int32_t x, int32_t y) {
  const uint8_t* row = buffer.pixels + static_cast<size_t>(y) * static_cast<size_t>(buffer.pitch);
  if (buffer.bitsPerPixel == 32) return BackBufferWordRgb(reinterpret_cast<const uint32_t*>(row)[x]);
  const uint32_t p = reinterpret_cast<const uint16_t*>(row)[x];
  return (Widen5(p >> 11) << 16) | (Widen6((p >> 5) & 0x3Fu) << 8) | Widen5(p & 0x1Fu);
}

}  // namespace vivuvev
