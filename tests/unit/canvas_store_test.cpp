#include <gtest/gtest.h>

#include "canvas/canvas_store.h"
#include "canvas/drawing_pass.h"
#include "display/screen.h"
#include "display/window.h"
#include "headless_fixture.h"
#include "tests/unit/canvas_test_support.h"

namespace vivuvev {
namespace {

class CanvasStoreTest : public HeadlessTest {
 protected:
  // A screen at the given depth, as the animation opens it.
  void OpenScreen(int32_t bits) {
    SetHeadlessScreen(64, 48, bits);
    InitGraphics();
    WindowHandle window = OpenDisplayWindow(0, 0, 0, 64, 48, "", WindowBorderless);
    ASSERT_EQ(OpenScreenInWindow(window, 0, 0, 64, 48, 0, 0, 0, 0), 1);
  }
};

size_t CountNonZero(const std::vector<uint32_t>& pixels) {
  size_t n = 0;
  for (uint32_t p : pixels) n += p != 0;
  return n;
}

TEST_F(CanvasStoreTest, ANewCanvasIsTransparentBlackInBothClasses) {
  for (int32_t bits : {32, 16}) {
    if (bits == 16) {
      TearDown();
      SetUp();
    }
    OpenScreen(bits);
    CanvasEntry* entry = CreateCanvas(0, 64, 48, 1);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->bitsPerPixel, bits);
    EXPECT_EQ(entry->store->pixelClass, bits == 32 ? 3 : 2);
    EXPECT_EQ(entry->store->transparentColour, 0u);
    const std::vector<uint32_t> pixels = CanvasPixels(0);
    ASSERT_EQ(pixels.size(), 64u * 48u);
    EXPECT_EQ(CountNonZero(pixels), 0u) << bits << " bits";
  }
}

TEST_F(CanvasStoreTest, ARedRingIsOpaqueRedAndNothingElseChanges) {
  OpenScreen(32);
  CreateCanvas(0, 64, 48, 1);
  DrawRing(0, DrawModeOutlined, PackRGB(255, 0, 0), 30, 20, 6);
  const std::vector<uint32_t> pixels = CanvasPixels(0);
  size_t ring = 0;
  for (uint32_t p : pixels) {
    ASSERT_TRUE(p == 0 || p == 0xFFFF0000u) << std::hex << p;
    ring += p != 0;
  }
  EXPECT_GT(ring, 20u);
  EXPECT_EQ(pixels[20 * 64 + 36], 0xFFFF0000u);  // (x + r, y)
  EXPECT_EQ(pixels[14 * 64 + 30], 0xFFFF0000u);  // (x, y - r)
  EXPECT_EQ(pixels[20 * 64 + 30], 0u);           // the centre is untouched
}

TEST_F(CanvasStoreTest, BlackDrawnOverOpaquePixelsMakesThemTransparent) {
  OpenScreen(32);
  CreateCanvas(0, 64, 48, 1);
  DrawRing(0, 0, PackRGB(0, 0, 255), 30, 20, 10);  // a filled blue disc
  const size_t disc = CountNonZero(CanvasPixels(0));
  DrawRing(0, DrawModeOutlined, PackRGB(0, 0, 0), 30, 20, 6);
  const std::vector<uint32_t> pixels = CanvasPixels(0);
  EXPECT_EQ(pixels[20 * 64 + 36], 0u);
  EXPECT_EQ(pixels[20 * 64 + 30], 0xFF0000FFu);  // inside the black ring, still blue
  const size_t left = CountNonZero(pixels);
  EXPECT_LT(left, disc);
  EXPECT_GT(left, 0u);
}

TEST_F(CanvasStoreTest, SixteenBitColoursKeepFiveBitsAndDarkGreysAreTransparent) {
  OpenScreen(16);
  CreateCanvas(0, 64, 48, 1);
  DrawRing(0, DrawModeOutlined, PackRGB(7, 7, 7), 30, 20, 6);
  EXPECT_EQ(CountNonZero(CanvasPixels(0)), 0u);
  DrawRing(0, DrawModeOutlined, PackRGB(8, 8, 8), 30, 20, 6);
  EXPECT_EQ(CanvasPixels(0)[20 * 64 + 36], 0x8000u | (1u << 10) | (1u << 5) | 1u);
  DrawRing(0, DrawModeOutlined, PackRGB(255, 128, 7), 30, 20, 8);
  EXPECT_EQ(CanvasPixels(0)[20 * 64 + 38], 0x8000u | (31u << 10) | (16u << 5) | 0u);
}

TEST_F(CanvasStoreTest, OnlyBlackIsTransparentAtThirtyTwoBits) {
  OpenScreen(32);
  CreateCanvas(0, 64, 48, 1);
  DrawRing(0, DrawModeOutlined, PackRGB(7, 7, 7), 30, 20, 6);
  EXPECT_EQ(CanvasPixels(0)[20 * 64 + 36], 0xFF070707u);
  DrawRing(0, DrawModeOutlined, PackRGB(1, 2, 3), 30, 20, 6);
  EXPECT_EQ(CanvasPixels(0)[20 * 64 + 36], 0xFF010203u);
}

TEST_F(CanvasStoreTest, ModeEightFailsAndLeavesTheNumberAbsent) {
  OpenScreen(32);
  ASSERT_NE(CreateCanvas(0, 64, 48, 1), nullptr);
  EXPECT_EQ(CreateCanvas(0, 64, 48, 8), nullptr);
  EXPECT_EQ(FindCanvas(0), nullptr);
  EXPECT_EQ(CanvasDrawTarget(0), nullptr);
}

TEST_F(CanvasStoreTest, ModeTwelveKeepsTheCanvasOpaqueBlack) {
  OpenScreen(32);
  ASSERT_NE(CreateCanvas(0, 8, 8, 12), nullptr);
  for (uint32_t p : CanvasPixels(0)) ASSERT_EQ(p, 0xFF000000u);
}

TEST_F(CanvasStoreTest, CreatingAgainUnderANumberFreesTheOldCanvas) {
  OpenScreen(32);
  CreateCanvas(0, 64, 48, 1);
  DrawRing(0, DrawModeOutlined, PackRGB(255, 255, 255), 30, 20, 6);
  ASSERT_GT(CountNonZero(CanvasPixels(0)), 0u);
  ASSERT_NE(CreateCanvas(0, 32, 16, 1), nullptr);
  EXPECT_EQ(FindCanvas(0)->width, 32);
  const std::vector<uint32_t> pixels = CanvasPixels(0);
  EXPECT_EQ(pixels.size(), 32u * 16u);
  EXPECT_EQ(CountNonZero(pixels), 0u);
}

TEST_F(CanvasStoreTest, ARefusedSizeFailsAndLeavesTheNumberAbsent) {
  OpenScreen(32);
  CreateCanvas(0, 64, 48, 1);
  EXPECT_EQ(CreateCanvas(0, 0, 48, 1), nullptr);
  EXPECT_EQ(FindCanvas(0), nullptr);
}

TEST_F(CanvasStoreTest, TheTableGrowsToTheNumberPlusSixtyFour) {
  OpenScreen(32);
  EXPECT_EQ(CanvasTableSize(), 64);
  ASSERT_NE(CreateCanvas(100, 4, 4, 1), nullptr);
  EXPECT_EQ(CanvasTableSize(), 164);
  EXPECT_NE(FindCanvas(100), nullptr);
  EXPECT_EQ(FindCanvas(99), nullptr);
  EXPECT_EQ(FindCanvas(-1), nullptr);
  EXPECT_EQ(FindCanvas(5000), nullptr);
  EXPECT_EQ(CreateCanvas(-1, 4, 4, 1), nullptr);
  FreeAllCanvases();
  EXPECT_EQ(FindCanvas(100), nullptr);
}

TEST_F(CanvasStoreTest, ANumberTheTableCannotGrowToFailsCleanly) {
  // Number + 64 slots is past the 32-bit range for the top sixty-four numbers.
  OpenScreen(32);
  for (int32_t number : {INT32_MAX, INT32_MAX - 63}) {
    EXPECT_EQ(CreateCanvas(number, 4, 4, 1), nullptr) << number;
    EXPECT_EQ(FindCanvas(number), nullptr) << number;
    EXPECT_EQ(CanvasDrawTarget(number), nullptr) << number;
  }
  EXPECT_EQ(CanvasTableSize(), 64);
}

TEST_F(CanvasStoreTest, APassSeesTheCanvasWithTransparentPixelsAsBlack) {
  OpenScreen(32);
  CreateCanvas(0, 64, 48, 1);
  DrawRing(0, DrawModeOutlined, PackRGB(0, 200, 0), 30, 20, 6);
  DrawingPass* pass = CanvasDrawTarget(0);
  ASSERT_NE(BeginDrawing(pass), nullptr);
  EXPECT_EQ(pass->ops.ReadPixelOp(pass, 36, 20), PackRGB(0, 200, 0));
  EXPECT_EQ(pass->ops.ReadPixelOp(pass, 30, 20), 0u);
  EXPECT_EQ(pass->outputKind, OutputKindImage);
  EXPECT_EQ(pass->pixelFormat, RawFormat32);
  EXPECT_EQ(pass->targetWidth, 64);
  EXPECT_GE(pass->pitch, 64 * 4);
  EndDrawing();
}

TEST_F(CanvasStoreTest, DrawingReachesTheCanvasOnlyWhenThePassEnds) {
  OpenScreen(32);
  CreateCanvas(0, 64, 48, 1);
  BeginDrawing(CanvasDrawTarget(0));
  SetDrawingMode(DrawModeOutlined);
  SetFrontColor(PackRGB(9, 9, 9));
  DrawCircle(30, 20, 4);
  CanvasStore* store = FindCanvas(0)->store;
  EXPECT_NE(store->heldDC, nullptr);
  EndDrawing();
  EXPECT_EQ(store->heldDC, nullptr);
  EXPECT_EQ(CanvasPixels(0)[20 * 64 + 34], 0xFF090909u);
}

TEST_F(CanvasStoreTest, RawBufferWritesLandAsWritten) {
  OpenScreen(32);
  CreateCanvas(0, 64, 48, 1);
  DrawingPass* pass = CanvasDrawTarget(0);
  BeginDrawing(pass);
  pass->ops.PlotColourOp(pass, 5, 6, PackRGB(1, 2, 3));
  EXPECT_EQ(pass->dcState, -1);
  SetDrawingMode(DrawModeOutlined);  // back to the device context
  SetFrontColor(PackRGB(0, 0, 9));
  DrawCircle(30, 20, 4);
  EndDrawing();
  const std::vector<uint32_t> pixels = CanvasPixels(0);
  EXPECT_EQ(pixels[6 * 64 + 5], 0xFF010203u);
  EXPECT_EQ(pixels[20 * 64 + 34], 0xFF000009u);
  EXPECT_TRUE(FindCanvas(0)->store->modifiedMark);
}

TEST_F(CanvasStoreTest, ResetHooksKeepThePixels) {
  for (int32_t bits : {32, 16}) {
    if (bits == 16) {
      TearDown();
      SetUp();
    }
    OpenScreen(bits);
    CreateCanvas(0, 64, 48, 1);
    DrawRing(0, DrawModeOutlined, PackRGB(200, 100, 50), 30, 20, 6);
    const std::vector<uint32_t> before = CanvasPixels(0);
    CanvasStore* store = FindCanvas(0)->store;
    EXPECT_EQ(ReleaseCanvasForReset(store), 1);
    if (bits == 16) {
      EXPECT_EQ(store->renderTargetCopy, nullptr);
      EXPECT_EQ(ReleaseCanvasForReset(store), 0);
    }
    EXPECT_EQ(RestoreCanvasAfterReset(store), 1);
    if (bits == 16) {
      EXPECT_NE(store->renderTargetCopy, nullptr);
    }
    EXPECT_EQ(RestoreCanvasAfterReset(store), 1);
    EXPECT_EQ(CanvasPixels(0), before) << bits << " bits";
  }
}

TEST_F(CanvasStoreTest, APassWhoseCanvasIsFreedDrawsNothingAndEndsQuietly) {
  // The pass holds the device context, or (after a raw-buffer plot) the raw
  // buffer, when its canvas is freed by FreeCanvas or by ReleaseScreen.
  struct Case {
    const char* name;
    bool holdsRawBuffer;
    bool releaseScreen;
  } cases[] = {
      {"device context, FreeCanvas", false, false},
      {"raw buffer, FreeCanvas", true, false},
      {"device context, ReleaseScreen", false, true},
      {"raw buffer, ReleaseScreen", true, true},
  };
  for (const Case& c : cases) {
    TearDown();
    SetUp();
    OpenScreen(32);
    CreateCanvas(0, 64, 48, 1);
    DrawingPass* pass = CanvasDrawTarget(0);
    ASSERT_NE(BeginDrawing(pass), nullptr) << c.name;
    SetDrawingMode(DrawModeOutlined);
    SetFrontColor(PackRGB(255, 0, 0));
    DrawCircle(30, 20, 6);
    if (c.holdsRawBuffer) pass->ops.PlotColourOp(pass, 1, 1, PackRGB(0, 255, 0));
    if (c.releaseScreen) {
      ReleaseScreen();
    } else {
      FreeCanvas(0);
    }
    EXPECT_EQ(pass->ops.RawBufferAddress(pass), nullptr) << c.name;
    pass->ops.PlotColourOp(pass, 2, 2, PackRGB(0, 0, 255));
    SetFrontColor(PackRGB(0, 255, 0));
    DrawCircle(30, 20, 8);
    EndDrawing();
    EXPECT_EQ(CurrentDrawingPass, nullptr) << c.name;
  }
}

TEST_F(CanvasStoreTest, ApplyingTheSameTransparentColourAgainChangesNothing) {
  OpenScreen(32);
  CreateCanvas(0, 4, 4, 12);  // opaque black, transparent colour still unset
  CanvasStore* store = FindCanvas(0)->store;
  EXPECT_EQ(store->transparentColour, 0xFFFFFFFFu);
  ApplyTransparentColour(store, 0xFFFFFFFFu);
  EXPECT_EQ(CanvasPixels(0)[0], 0xFF000000u);
  ApplyTransparentColour(store, 0);
  EXPECT_EQ(CanvasPixels(0)[0], 0u);
  EXPECT_EQ(store->transparentColour, 0u);
}

}  // namespace
}  // namespace vivuvev
