// DrawingImageTable: numbered GDI images that passes grab from their target.
#pragma once

#include <cstdint>

#include "base/handles.h"

namespace vivuvev {

struct DrawingImage {
  GdiObject handle;  // a bitmap, or an icon; null marks a free number
  int16_t width;
  int16_t height;
  int8_t bitsPerPixel;
};

void CreateDrawingImageTable();
// Deletes every image still in the table, then the table itself.
void FreeDrawingImages();
// The image of a number, or null.
DrawingImage* FindDrawingImage(int32_t number);
// Stores an image under a number, deleting the one it replaces; false when the
// number is negative or the table cannot grow.
bool StoreDrawingImage(int32_t number, const DrawingImage& image);

}  // namespace vivuvev
