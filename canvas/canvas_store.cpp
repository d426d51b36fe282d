#include "canvas/canvas_store.h"

#include <cstddef>
#include <cstring>

#include "canvas/drawing_pass.h"
#include "canvas/gdi.h"
#include "canvas/pixels.h"
#include "display/screen.h"
#include "platform/system.h"

namespace vivuvev {

uint32_t DefaultTransparentColour = 0;

namespace {

CanvasEntry** slots = nullptr;
int32_t slotCount = 0;

// The store that CanvasDrawTarget lent out last; the provider steps act on it.
CanvasStore* passCanvas = nullptr;

int32_t BytesPerPixel(const CanvasStore* store) {
  return store->pixelClass == PixelClass32 ? 4 : 2;
}

bool GrowTable(int32_t slotsWanted) {
  auto* bigger = static_cast<CanvasEntry**>(
      HeapGrowZeroed(slots, sizeof(CanvasEntry*) * static_cast<size_t>(slotCount),
                     sizeof(CanvasEntry*) * static_cast<size_t>(slotsWanted)));
  if (bigger == nullptr) return false;
  slots = bigger;
  slotCount = slotsWanted;
  return true;
}

// Copies width pixels of every row between two surfaces, each at its pitch.
void CopyRows(uint8_t* to, int32_t toPitch, const uint8_t* from, int32_t fromPitch,
              int32_t rowBytes, int32_t rows) {
  for (int32_t y = 0; y < rows; ++y) {
    std::memcpy(to + static_cast<ptrdiff_t>(y) * toPitch,
                from + static_cast<ptrdiff_t>(y) * fromPitch, static_cast<size_t>(rowBytes));
  }
}

// Writes every pixel of source into target under the transparent-colour rule
// with key K; source and target may be the same surface.
void WriteUnderRule(const CanvasStore* store, uint8_t* target, int32_t targetPitch,
                    const uint8_t* source, int32_t sourcePitch, uint32_t key) {
  for (int32_t y = 0; y < store->height; ++y) {
    const uint8_t* from = source + static_cast<ptrdiff_t>(y) * sourcePitch;
    uint8_t* to = target + static_cast<ptrdiff_t>(y) * targetPitch;
    if (store->pixelClass == PixelClass32) {
      const auto* in = reinterpret_cast<const uint32_t*>(from);
      auto* out = reinterpret_cast<uint32_t*>(to);
      for (int32_t x = 0; x < store->width; ++x) out[x] = ApplyTransparentRule32(in[x], key);
    } else {
      const auto* in = reinterpret_cast<const uint16_t*>(from);
      auto* out = reinterpret_cast<uint16_t*>(to);
      for (int32_t x = 0; x < store->width; ++x) out[x] = ApplyTransparentRule16(in[x], key);
    }
  }
}

void ReleaseStoreObjects(CanvasStore* store) {
  if (store->texture) ReleaseCanvasTexture(store->texture);
  if (store->levelSurface) ReleaseCanvasSurface(store->levelSurface);
  if (store->workingCopy) ReleaseCanvasSurface(store->workingCopy);
  if (store->renderTargetCopy) ReleaseCanvasSurface(store->renderTargetCopy);
}

}  // namespace

void CreateCanvasTable() {
  FreeCanvasTable();
  GrowTable(CanvasTableInitialSlots);
}

void FreeCanvasTable() {
  for (int32_t n = 0; n < slotCount; ++n) {
    FreeCanvas(n);
    HeapRelease(slots[n]);
  }
  HeapRelease(slots);
  slots = nullptr;
  slotCount = 0;
}

int32_t CanvasTableSize() { return slotCount; }

CanvasEntry* FindCanvas(int32_t number) {
  if (number < 0 || number >= slotCount) return nullptr;
  CanvasEntry* entry = slots[number];
  return entry != nullptr && entry->store != nullptr ? entry : nullptr;
}

CanvasStore* CreateCanvasStore(int32_t width, int32_t height, int32_t pixelClass) {
  if (pixelClass != PixelClass32 && pixelClass != PixelClass16) return nullptr;
  CanvasStore made{};
  made.texture = CreateCanvasTexture(width, height, pixelClass);
  if (made.texture != nullptr && pixelClass == PixelClass16) {
    made.renderTargetCopy = CreateRenderTargetCopy(width, height);
  }
  if (made.texture != nullptr) made.levelSurface = GetTextureLevelSurface(made.texture);
  auto* store = static_cast<CanvasStore*>(HeapAllocZeroed(sizeof(CanvasStore)));
  const bool complete = made.texture != nullptr && made.levelSurface != nullptr &&
                        (pixelClass == PixelClass32 || made.renderTargetCopy != nullptr);
  if (store == nullptr || !complete) {
    ReleaseStoreObjects(&made);
    HeapRelease(store);
    return nullptr;
  }
  *store = made;
  store->pixelClass = pixelClass;
  store->width = width;
  store->height = height;
  store->transparentColour = NoTransparentColour;
  return store;
}

CanvasEntry* CreateCanvas(int32_t number, int32_t width, int32_t height, uint32_t mode) {
  if (number < 0) return nullptr;
  if (number >= slotCount && !GrowTable(number + CanvasTableGrowth)) return nullptr;
  CanvasEntry*& entry = slots[number];
  if (entry != nullptr) {
    FreeCanvas(number);
  } else {
    entry = static_cast<CanvasEntry*>(HeapAllocZeroed(sizeof(CanvasEntry)));
    if (entry == nullptr) return nullptr;
  }
  if ((mode & 12u) == 8u) return nullptr;
  const int32_t pixelClass = ScreenBitsPerPixel() > 16 ? PixelClass32 : PixelClass16;
  CanvasStore* store = CreateCanvasStore(width, height, pixelClass);
  if (store == nullptr) return nullptr;
  entry->store = store;
  entry->width = width;
  entry->height = height;
  entry->bitsPerPixel = pixelClass == PixelClass32 ? 32 : 16;
  entry->mode = mode;
  entry->corners[0] = {0.0f, 0.0f};
  entry->corners[1] = {1.0f, 0.0f};
  entry->corners[2] = {0.0f, 1.0f};
  entry->corners[3] = {1.0f, 1.0f};
  if (DeviceContext dc = OpenWorkingCopy(store)) {
    if (GdiObject brush = CreateSolidBrush(0)) {
      FillRect(dc, 0, 0, width, height, brush);
      DeleteObject(brush);
    }
  }
  // The transparent colour is still unset here, so the black fill is
  // written back opaque; the colour below then makes it transparent.
  CommitWorkingCopy(store);
  if ((mode & 8u) == 0) ApplyTransparentColour(store, DefaultTransparentColour);
  return entry;
}

int32_t LockCanvasPixels(CanvasStore* store, bool forWriting, uint8_t** bits, int32_t* pitch) {
  if (!LockCanvasSurface(store->levelSurface, !forWriting, bits, pitch)) return 0;
  if (forWriting) ++store->writeLockCount;
  store->locked = true;
  return 1;
}

int32_t UnlockCanvasPixels(CanvasStore* store, bool mark) {
  if (!store->locked) return 0;
  if (!UnlockCanvasSurface(store->levelSurface)) return 0;
  store->locked = false;
  if (mark) store->modifiedMark = true;
  return 1;
}

DeviceContext OpenWorkingCopy(CanvasStore* store) {
  if (store->heldDC != nullptr) return store->heldDC;
  if (store->workingCopy == nullptr) {
    store->workingCopy = CreateWorkingCopySurface(store->width, store->height, store->pixelClass);
    if (store->workingCopy == nullptr) return nullptr;
  }
  uint8_t *canvasBits = nullptr, *copyBits = nullptr;
  int32_t canvasPitch = 0, copyPitch = 0;
  const bool canvasLocked = LockCanvasSurface(store->levelSurface, true, &canvasBits, &canvasPitch);
  const bool copyLocked = LockCanvasSurface(store->workingCopy, false, &copyBits, &copyPitch);
  if (canvasLocked && copyLocked) {
    CopyRows(copyBits, copyPitch, canvasBits, canvasPitch, store->width * BytesPerPixel(store),
             store->height);
  }
  if (canvasLocked) UnlockCanvasSurface(store->levelSurface);
  if (copyLocked) UnlockCanvasSurface(store->workingCopy);
  store->heldDC = GetCanvasSurfaceDC(store->workingCopy);
  return store->heldDC;
}

void CommitWorkingCopy(CanvasStore* store) {
  if (store->heldDC == nullptr) return;
  const DeviceContext dc = store->heldDC;
  store->heldDC = nullptr;
  if (!ReleaseCanvasSurfaceDC(store->workingCopy, dc)) return;
  uint8_t *canvasBits = nullptr, *copyBits = nullptr;
  int32_t canvasPitch = 0, copyPitch = 0;
  const bool canvasLocked =
      LockCanvasSurface(store->levelSurface, false, &canvasBits, &canvasPitch);
  const bool copyLocked = LockCanvasSurface(store->workingCopy, true, &copyBits, &copyPitch);
  if (canvasLocked && copyLocked) {
    WriteUnderRule(store, canvasBits, canvasPitch, copyBits, copyPitch,
                   ColourToPixelClass(store->transparentColour, store->pixelClass));
  }
  if (canvasLocked) UnlockCanvasSurface(store->levelSurface);
  if (copyLocked) UnlockCanvasSurface(store->workingCopy);
}

void ApplyTransparentColour(CanvasStore* store, uint32_t colour) {
  if (colour == store->transparentColour) return;
  uint8_t* bits = nullptr;
  int32_t pitch = 0;
  if (!LockCanvasSurface(store->levelSurface, false, &bits, &pitch)) return;
  WriteUnderRule(store, bits, pitch, bits, pitch, ColourToPixelClass(colour, store->pixelClass));
  store->transparentColour = colour;
  UnlockCanvasSurface(store->levelSurface);
}

DrawingPass* CanvasDrawTarget(int32_t number) {
  CanvasEntry* entry = FindCanvas(number);
  if (entry == nullptr) return nullptr;
  CanvasStore* store = entry->store;
  passCanvas = store;
  DrawingPass* pass = NewImagePass();
  if (pass == nullptr) return nullptr;
  uint8_t* bits = nullptr;
  if (LockCanvasPixels(store, true, &bits, &pass->pitch)) UnlockCanvasPixels(store, false);
  pass->dc = OpenWorkingCopy(store);
  if (pass->dc == nullptr) return pass;
  pass->outputKind = OutputKindImage;
  pass->pixelFormat = store->pixelClass == PixelClass32 ? RawFormat32 : RawFormat555;
  pass->grabFlag = 0;
  pass->AcquireDC = CanvasAcquireDC;
  pass->AcquireBuffer = CanvasAcquireBuffer;
  pass->ReleaseTarget = CanvasReleaseTarget;
  pass->targetWidth = store->width;
  pass->targetHeight = store->height;
  pass->bitsPerPixel = store->pixelClass == PixelClass32 ? 32 : 16;
  return pass;
}

DeviceContext CanvasAcquireDC(DrawingPass* pass) {
  if (pass->rawBuffer != nullptr) {
    UnlockCanvasPixels(passCanvas, true);
    pass->rawBuffer = nullptr;
  }
  pass->dc = OpenWorkingCopy(passCanvas);
  return pass->dc;
}

uint8_t* CanvasAcquireBuffer(DrawingPass* pass, int32_t* pitch) {
  if (pass->dc != nullptr) {
    CommitWorkingCopy(passCanvas);
    pass->dc = nullptr;
  }
  uint8_t* bits = nullptr;
  if (LockCanvasPixels(passCanvas, true, &bits, pitch)) pass->rawBuffer = bits;
  return pass->rawBuffer;
}

void CanvasReleaseTarget(DrawingPass* pass, int32_t) {
  if (pass->dc != nullptr) {
    CommitWorkingCopy(passCanvas);
    pass->dc = nullptr;
  }
  if (pass->rawBuffer != nullptr) {
    UnlockCanvasPixels(passCanvas, true);
    pass->rawBuffer = nullptr;
  }
}

void FreeCanvas(int32_t number) {
  CanvasEntry* entry = FindCanvas(number);
  if (entry == nullptr) return;
  CanvasStore* store = entry->store;
  ReleaseStoreObjects(store);
  if (passCanvas == store) passCanvas = nullptr;
  HeapRelease(store);
  *entry = CanvasEntry{};
}

void FreeAllCanvases() {
  for (int32_t n = 0; n < slotCount; ++n) FreeCanvas(n);
}

int32_t ReleaseCanvasForReset(CanvasStore* store) {
  if (store->pixelClass == PixelClass32) return 1;
  if (store->pixelClass != PixelClass16 || store->renderTargetCopy == nullptr) return 0;
  ReleaseCanvasSurface(store->renderTargetCopy);
  store->renderTargetCopy = nullptr;
  return 1;
}

int32_t RestoreCanvasAfterReset(CanvasStore* store) {
  if (store->pixelClass == PixelClass32) return 1;
  if (store->pixelClass != PixelClass16) return 0;
  if (store->renderTargetCopy != nullptr) return 1;
  CanvasSurface* copy = CreateRenderTargetCopy(store->width, store->height);
  if (copy == nullptr) return 0;
  uint8_t *canvasBits = nullptr, *copyBits = nullptr;
  int32_t canvasPitch = 0, copyPitch = 0;
  const bool canvasLocked = LockCanvasSurface(store->levelSurface, true, &canvasBits, &canvasPitch);
  const bool copyLocked = LockCanvasSurface(copy, false, &copyBits, &copyPitch);
  if (canvasLocked && copyLocked) {
    CopyRows(copyBits, copyPitch, canvasBits, canvasPitch, store->width * 2, store->height);
  }
  if (canvasLocked) UnlockCanvasSurface(store->levelSurface);
  if (copyLocked) UnlockCanvasSurface(copy);
  if (!canvasLocked || !copyLocked) {
    ReleaseCanvasSurface(copy);
    return 0;
  }
  store->renderTargetCopy = copy;
  return 1;
}

}  // namespace vivuvev
