#include "canvas/drawing_images.h"

#include "base/system.h"
#include "canvas/gdi.h"

namespace vivuvev {

namespace {

constexpr int32_t ImageTableGrowth = 16;

DrawingImage* images = nullptr;
int32_t imageSlots = 0;

void DeleteImage(DrawingImage& image) {
  if (image.handle == nullptr) return;
  if (GetObjectType(image.handle) == ObjectBitmap) {
    DeleteObject(image.handle);
  } else {
    DestroyIcon(image.handle);
  }
  image = DrawingImage{};
}

}  // namespace

void CreateDrawingImageTable() { FreeDrawingImages(); }

void FreeDrawingImages() {
  for (int32_t n = 0; n < imageSlots; ++n) DeleteImage(images[n]);
  HeapRelease(images);
  images = nullptr;
  imageSlots = 0;
}

DrawingImage* FindDrawingImage(int32_t number) {
  if (number < 0 || number >= imageSlots || images[number].handle == nullptr) return nullptr;
  return &images[number];
}

bool StoreDrawingImage(int32_t number, const DrawingImage& image) {
  if (number < 0) return false;
  if (number >= imageSlots) {
    // The top numbers would take the slot count past the 32-bit range.
    if (number > INT32_MAX - ImageTableGrowth) return false;
    const int32_t grown = number + ImageTableGrowth;
    auto* bigger = static_cast<DrawingImage*>(
        HeapGrowZeroed(images, sizeof(DrawingImage) * static_cast<size_t>(imageSlots),
                       sizeof(DrawingImage) * static_cast<size_t>(grown)));
    if (bigger == nullptr) return false;
    images = bigger;
    imageSlots = grown;
  }
  DeleteImage(images[number]);
  images[number] = image;
  return true;
}

}  // namespace vivuvev
