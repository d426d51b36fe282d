#include "canvas/canvas_store.h"

#include <cstddef>
#include <cstring>
#include <vector>

#include "base/cache_line.h"
#include "base/system.h"
#include "canvas/change_map.h"
#include "canvas/damage.h"
#include "canvas/drawing_pass.h"
#include "canvas/gdi.h"
#include "canvas/pixels.h"
#include "display/screen.h"

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

// A surface's pixels as locked: the first row and the pitch.
struct LockedRows {
  uint8_t* bits;
  int32_t pitch;
};

// Writes the pixels of the box from source into target under the
// transparent-colour rule with key K; with backIntoSource the result goes
// into source as well, so that the two then hold the same words. Source and
// target may be the same surface.
template <typename Pixel, Pixel (*Rule)(Pixel, uint32_t)>
void WriteBoxUnderRule(const DamageBox& box, LockedRows target, LockedRows source,
                       bool backIntoSource, uint32_t key) {
  for (int32_t y = box.top; y < box.bottom; ++y) {
    auto* in = reinterpret_cast<Pixel*>(source.bits + static_cast<ptrdiff_t>(y) * source.pitch);
    auto* out = reinterpret_cast<Pixel*>(target.bits + static_cast<ptrdiff_t>(y) * target.pitch);
    for (int32_t x = box.left; x < box.right; ++x) {
      const Pixel word = Rule(in[x], key);
      out[x] = word;
      if (backIntoSource) in[x] = word;
    }
  }
}

uint32_t Rule32(uint32_t pixel, uint32_t key) { return ApplyTransparentRule32(pixel, key); }
uint16_t Rule16(uint16_t pixel, uint32_t key) { return ApplyTransparentRule16(pixel, key); }

void WriteUnderRule(const CanvasStore* store, const DamageBox& box, LockedRows target,
                    LockedRows source, bool backIntoSource) {
  const uint32_t key = ColourToPixelClass(store->transparentColour, store->pixelClass);
  if (store->pixelClass == PixelClass32) {
    WriteBoxUnderRule<uint32_t, Rule32>(box, target, source, backIntoSource, key);
  } else {
    WriteBoxUnderRule<uint16_t, Rule16>(box, target, source, backIntoSource, key);
  }
}

// The boxes of a drawing are mostly a few pixels of a row each, every one in
// another row of the canvas: the write-back asks for the canvas lines of the
// box this many boxes on while it writes one (see FetchLines).
constexpr size_t WriteAheadBoxes = 8;

void FetchBoxRow(const CanvasStore* store, const DamageBox& box, LockedRows canvas) {
  const int32_t bytesPerPixel = BytesPerPixel(store);
  FetchLines(canvas.bits + static_cast<ptrdiff_t>(box.top) * canvas.pitch + box.left * bytesPerPixel,
             int64_t{box.right - box.left} * bytesPerPixel);
}

DamageBox WholeCanvas(const CanvasStore* store) { return {0, 0, store->width, store->height}; }

// Every pixel of the canvas may have changed: the blit has to lay all of it
// again until the screen has settled under it.
void MarkCanvasChanged(CanvasStore* store) {
  if (ChangeMap* changes = CanvasSurfaceChanges(store->levelSurface)) changes->MarkAll();
}

void ReleaseStoreObjects(CanvasStore* store) {
  if (store->texture) ReleaseCanvasTexture(store->texture);
  if (store->levelSurface) ReleaseCanvasSurface(store->levelSurface);
  if (store->workingCopy) ReleaseCanvasSurface(store->workingCopy);
  if (store->renderTargetCopy) ReleaseCanvasSurface(store->renderTargetCopy);
}

// The canvas lent out last is being freed. A pass still open on it puts its
// own objects out of the device context and deletes them (they could not be
// deleted while selected), and forgets the device context and raw buffer,
// which go with the canvas: the pass then draws nowhere, and its end commits
// nothing.
void DetachOpenPass() {
  passCanvas = nullptr;
  DrawingPass* pass = CurrentDrawingPass;
  if (pass == nullptr || pass->ReleaseTarget != CanvasReleaseTarget) return;
  if (pass->dcState != 0) pass->ops.StopPass(pass);
  pass->dc = nullptr;
  pass->rawBuffer = nullptr;
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
  // The top numbers would take the slot count past the 32-bit range.
  if (number < 0 || number > INT32_MAX - CanvasTableGrowth) return nullptr;
  if (number >= slotCount && !GrowTable(number + CanvasTableGrowth)) return nullptr;
  CanvasEntry*& entry = slots[number];
  if (entry != nullptr) {
    FreeCanvas(number);
  } else {
    entry = static_cast<CanvasEntry*>(HeapAllocZeroed(sizeof(CanvasEntry)));
    if (entry == nullptr) return nullptr;
  }
  if ((mode & (CanvasModeOpaque | CanvasModeOpaqueAllowed)) == CanvasModeOpaque) return nullptr;
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
  if ((mode & CanvasModeOpaque) == 0) ApplyTransparentColour(store, DefaultTransparentColour);
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
  if (mark) {
    store->modifiedMark = true;
    store->workingCopyCurrent = false;
    MarkCanvasChanged(store);
  }
  return 1;
}

DeviceContext OpenWorkingCopy(CanvasStore* store) {
  if (store->heldDC != nullptr) return store->heldDC;
  if (store->workingCopy == nullptr) {
    store->workingCopy = CreateWorkingCopySurface(store->width, store->height, store->pixelClass);
    if (store->workingCopy == nullptr) return nullptr;
  }
  if (!store->workingCopyCurrent) {
    uint8_t *canvasBits = nullptr, *copyBits = nullptr;
    int32_t canvasPitch = 0, copyPitch = 0;
    const bool canvasLocked =
        LockCanvasSurface(store->levelSurface, true, &canvasBits, &canvasPitch);
    const bool copyLocked = LockCanvasSurface(store->workingCopy, false, &copyBits, &copyPitch);
    if (canvasLocked && copyLocked) {
      CopyRows(copyBits, copyPitch, canvasBits, canvasPitch, store->width * BytesPerPixel(store),
               store->height);
    }
    if (canvasLocked) UnlockCanvasSurface(store->levelSurface);
    if (copyLocked) UnlockCanvasSurface(store->workingCopy);
  }
  store->heldDC = GetCanvasSurfaceDC(store->workingCopy);
  return store->heldDC;
}

// Every pixel of the working copy goes back under the rule. Where the
// working copy reports its damage and matched the canvas when the pass
// began, every pixel outside the damage already obeys the rule in both, so
// only the damaged boxes are written; the result is also written into the
// working copy, which then matches the canvas for the next pass.
void CommitWorkingCopy(CanvasStore* store) {
  if (store->heldDC == nullptr) return;
  const DeviceContext dc = store->heldDC;
  store->heldDC = nullptr;
  const bool wasCurrent = store->workingCopyCurrent;
  store->workingCopyCurrent = false;
  if (!ReleaseCanvasSurfaceDC(store->workingCopy, dc)) return;
  const DamageLog* damage = CanvasSurfaceDamage(store->workingCopy);
  const bool tracked = damage != nullptr;
  LockedRows canvas{}, copy{};
  const bool canvasLocked = LockCanvasSurface(store->levelSurface, false, &canvas.bits, &canvas.pitch);
  const bool copyLocked = LockCanvasSurface(store->workingCopy, !tracked, &copy.bits, &copy.pitch);
  if (canvasLocked && copyLocked) {
    ChangeMap* changes = CanvasSurfaceChanges(store->levelSurface);
    if (tracked && wasCurrent && !damage->Everything()) {
      const std::vector<DamageBox>& boxes = damage->Boxes();
      for (size_t i = 0; i < boxes.size(); ++i) {
        if (i + WriteAheadBoxes < boxes.size()) FetchBoxRow(store, boxes[i + WriteAheadBoxes], canvas);
        WriteUnderRule(store, boxes[i], canvas, copy, true);
        if (changes != nullptr) changes->MarkBox(boxes[i]);
      }
    } else {
      WriteUnderRule(store, WholeCanvas(store), canvas, copy, tracked);
      if (changes != nullptr) changes->MarkAll();
    }
    store->workingCopyCurrent = tracked;
  }
  if (canvasLocked) UnlockCanvasSurface(store->levelSurface);
  if (copyLocked) UnlockCanvasSurface(store->workingCopy);
}

void ApplyTransparentColour(CanvasStore* store, uint32_t colour) {
  if (colour == store->transparentColour) return;
  uint8_t* bits = nullptr;
  int32_t pitch = 0;
  if (!LockCanvasSurface(store->levelSurface, false, &bits, &pitch)) return;
  store->transparentColour = colour;
  WriteUnderRule(store, WholeCanvas(store), {bits, pitch}, {bits, pitch}, false);
  store->workingCopyCurrent = false;
  MarkCanvasChanged(store);
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

// The provider steps of a pass whose canvas was freed while it was open find
// no canvas: they hand out nothing and commit nothing.
DeviceContext CanvasAcquireDC(DrawingPass* pass) {
  if (passCanvas == nullptr) return nullptr;
  if (pass->rawBuffer != nullptr) {
    UnlockCanvasPixels(passCanvas, true);
    pass->rawBuffer = nullptr;
  }
  pass->dc = OpenWorkingCopy(passCanvas);
  return pass->dc;
}

uint8_t* CanvasAcquireBuffer(DrawingPass* pass, int32_t* pitch) {
  if (passCanvas == nullptr) return nullptr;
  if (pass->dc != nullptr) {
    CommitWorkingCopy(passCanvas);
    pass->dc = nullptr;
  }
  uint8_t* bits = nullptr;
  if (LockCanvasPixels(passCanvas, true, &bits, pitch)) pass->rawBuffer = bits;
  return pass->rawBuffer;
}

void CanvasReleaseTarget(DrawingPass* pass, int32_t) {
  if (passCanvas == nullptr) return;
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
  if (passCanvas == store) DetachOpenPass();
  ReleaseStoreObjects(store);
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
