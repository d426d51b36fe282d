// Drawing passes of every kind on the software canvas against the plain
// reference, pass after pass: each operation must leave the canvas exactly as
// a whole-canvas copy and write-back would, including operations that read
// what earlier passes left (inversion, flood fills, grabbed images blended by
// their alpha) and pixels written straight into the canvas.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "canvas/canvas_store.h"
#include "canvas/drawing_pass.h"
#include "canvas/pixels.h"
#include "display/screen.h"
#include "display/window.h"
#include "headless_fixture.h"
#include "reference/reference_sweep.h"

namespace vivuvev {
namespace {

constexpr int32_t Width = 97;
constexpr int32_t Height = 61;

// What one pass draws, given the pass.
struct PassScript {
  const char* name;
  std::function<void(DrawingPass*)> draw;
};

void Ring(uint32_t mode, uint32_t colour, int32_t x, int32_t y, int32_t radius) {
  SetDrawingMode(mode);
  SetFrontColor(colour);
  DrawCircle(x, y, radius);
}

// Writes words through the pass's raw buffer: an opaque, a transparent-looking
// and a half-alpha word, none of them put under the transparent-colour rule.
void WriteRaw(DrawingPass* pass) {
  uint8_t* bits = pass->ops.RawBufferAddress(pass);
  ASSERT_NE(bits, nullptr);
  const int32_t pitch = pass->ops.RawBufferPitch(pass);
  const uint32_t words[] = {0xFF102030u, 0x00405060u, 0x80FFFFFFu};
  for (int32_t i = 0; i < 3; ++i) {
    uint8_t* at = bits + (20 + i) * pitch;
    if (pass->bitsPerPixel == 32) {
      for (int32_t x = 30; x < 60; ++x) std::memcpy(at + 4 * x, &words[i], 4);
    } else {
      const uint16_t half[] = {0x8123, 0x0456, 0x7FFF};
      for (int32_t x = 30; x < 60; ++x) std::memcpy(at + 2 * x, &half[i], 2);
    }
  }
}

std::vector<PassScript> Scripts() {
  return {
      {"outlined rings, one past the corner",
       [](DrawingPass*) {
         Ring(DrawModeOutlined, PackRGB(255, 0, 0), 40, 30, 20);
         Ring(DrawModeOutlined, PackRGB(0, 200, 90), Width, Height, 30);
       }},
      {"filled disc", [](DrawingPass*) { Ring(0, PackRGB(20, 40, 250), 70, 20, 12); }},
      {"inverted ring over both", [](DrawingPass*) { Ring(DrawModeInvert | DrawModeOutlined, 0, 55, 25, 18); }},
      {"boxes, rounded boxes and a pixel",
       [](DrawingPass* pass) {
         SetDrawingMode(0);
         SetFrontColor(PackRGB(250, 250, 0));
         DrawCircle(-100, -100, 2);  // applies the colour, off the image
         pass->ops.BoxOp(pass, 5, 5, 20, 9);
         pass->ops.RoundBoxOp(pass, 60, 40, 30, 15, 6, 4);
         pass->ops.BoxOp(pass, 90, 3, 1, 1);
       }},
      {"lines and plots",
       [](DrawingPass* pass) {
         Ring(DrawModeOutlined, PackRGB(0, 255, 255), -50, -50, 2);
         pass->ops.LineOp(pass, 0, Height - 1, Width - 1, 0);
         pass->ops.LineOp(pass, 10, -20, 10, Height + 20);
         pass->ops.PlotOp(pass, 3, 50);
         pass->ops.PlotColourOp(pass, 4, 50, PackRGB(9, 9, 9));
       }},
      {"black ring over opaque pixels", [](DrawingPass*) { Ring(DrawModeOutlined, 0, 40, 30, 20); }},
      {"flood fill of a transparent area",
       [](DrawingPass* pass) {
         SetDrawingMode(0);
         SetFrontColor(PackRGB(128, 0, 128));
         DrawCircle(-100, -100, 2);
         pass->ops.FloodFillOp(pass, 1, 1);
       }},
      {"two filled discs", [](DrawingPass*) {
         Ring(0, PackRGB(0, 160, 60), 20, 45, 13);
         Ring(0, PackRGB(30, 60, 220), 76, 45, 13);
       }},
      // The blend's result depends on the alpha the grabbed pixels carry in
      // the working copy, which must be the canvas's own.
      {"grabbed image blended by its alpha, drawn and stretched",
       [](DrawingPass* pass) {
         ASSERT_EQ(pass->ops.GrabImageOp(pass, 3, 12, 38, 17, 14), 1);
         pass->ops.DrawImageBlendedOp(pass, 3, 68, 38, 200);
         pass->ops.DrawImageOp(pass, 3, 2, 2);
         pass->ops.DrawImageSizedOp(pass, 3, 90, 2, -30, 20);
       }},
      {"raw pixels, then an inverted ring across them",
       [](DrawingPass* pass) {
         WriteRaw(pass);
         Ring(DrawModeInvert | DrawModeOutlined, 0, 45, 21, 6);
       }},
      {"inverted filled disc over everything", [](DrawingPass*) { Ring(DrawModeInvert, 0, 48, 30, 40); }},
  };
}

class ReferencePasses : public HeadlessTest, public ::testing::WithParamInterface<int32_t> {
 protected:
  void OpenCanvas(int32_t bits) {
    SetHeadlessScreen(Width, Height, bits);
    InitGraphics();
    WindowHandle window = OpenDisplayWindow(0, 0, 0, Width, Height, "", WindowBorderless);
    ASSERT_EQ(OpenScreenInWindow(window, 0, 0, Width, Height, 0, 0, 0, 0), 1);
    ASSERT_NE(CreateCanvas(0, Width, Height, 1), nullptr);
    reference::CreateCanvas(&slow_, Width, Height, bits == 32 ? PixelClass32 : PixelClass16);
  }

  // The product's canvas, rows without their padding.
  std::vector<uint8_t> FastPixels() const {
    CanvasStore* store = FindCanvas(0)->store;
    uint8_t* bits = nullptr;
    int32_t pitch = 0;
    std::vector<uint8_t> out;
    if (!LockCanvasPixels(store, false, &bits, &pitch)) return out;
    const int32_t rowBytes = Width * (store->pixelClass == PixelClass32 ? 4 : 2);
    for (int32_t y = 0; y < Height; ++y) out.insert(out.end(), bits + y * pitch, bits + y * pitch + rowBytes);
    UnlockCanvasPixels(store, false);
    return out;
  }

  reference::Canvas slow_;
};

TEST_P(ReferencePasses, EveryPassLeavesTheCanvasTheReferenceLeaves) {
  OpenCanvas(GetParam());
  const int32_t bytesPerPixel = GetParam() / 8;
  for (const PassScript& script : Scripts()) {
    DrawingPass* fast = CanvasDrawTarget(0);
    ASSERT_NE(BeginDrawing(fast), nullptr) << script.name;
    script.draw(fast);
    EndDrawing();
    DrawingPass* slow = reference::DrawTarget(&slow_);
    ASSERT_NE(BeginDrawing(slow), nullptr) << script.name;
    script.draw(slow);
    EndDrawing();

    const std::vector<uint8_t> pixels = FastPixels();
    ASSERT_EQ(pixels.size(), slow_.pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i) {
      const auto pixel = static_cast<int32_t>(i / static_cast<size_t>(bytesPerPixel));
      ASSERT_EQ(pixels[i], slow_.pixels[i])
          << "after \"" << script.name << "\" at pixel (" << pixel % Width << ", " << pixel / Width << ")";
    }
  }
  // The passes drew: the sequence did not compare two blank canvases.
  size_t opaque = 0;
  for (size_t i = static_cast<size_t>(bytesPerPixel) - 1; i < slow_.pixels.size(); i += bytesPerPixel) {
    opaque += slow_.pixels[i] >> 7;
  }
  EXPECT_GT(opaque, static_cast<size_t>(Width * Height / 4));
}

INSTANTIATE_TEST_SUITE_P(Depths, ReferencePasses, ::testing::Values(32, 16),
                         [](const ::testing::TestParamInfo<int32_t>& info) {
                           return std::to_string(info.param) + "bits";
                         });

}  // namespace
}  // namespace vivuvev
