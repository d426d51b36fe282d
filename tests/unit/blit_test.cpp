#include <gtest/gtest.h>

#include "canvas/blit.h"
#include "canvas/canvas_store.h"
#include "canvas/drawing_pass.h"
#include "canvas/pixels.h"
#include "display/render_state_cache.h"
#include "display/screen.h"
#include "display/window.h"
#include "headless_fixture.h"
#include "software/back_buffer.h"
#include "tests/unit/canvas_test_support.h"

namespace vivuvev {
namespace {

class BlitTest : public HeadlessTest {
 protected:
  void OpenScreen(int32_t width, int32_t height, int32_t bits) {
    SetHeadlessScreen(width, height, bits);
    InitGraphics();
    WindowHandle window = OpenDisplayWindow(0, 0, 0, width, height, "", WindowBorderless);
    ASSERT_EQ(OpenScreenInWindow(window, 0, 0, width, height, 0, 0, 0, 0), 1);
    ClearBackBuffer(0);
  }
  static uint32_t Screen(int32_t x, int32_t y) { return BackBufferRgb(*SoftwareBackBuffer(), x, y); }
  static void Blend(int32_t number, int32_t x, int32_t y, int32_t intensity) {
    BeginBlendPass();
    BlendCanvasToScreen(number, x, y, intensity);
    EndBlendPass();
    PresentFrame();
  }
};

TEST_F(BlitTest, ClearBackBufferOnlyReordersTheBytes) {
  OpenScreen(8, 8, 32);
  ClearBackBuffer(PackRGB(0x12, 0x34, 0x56));
  const BackBuffer& buffer = *SoftwareBackBuffer();
  uint32_t word;
  std::memcpy(&word, buffer.pixels, 4);
  EXPECT_EQ(word & 0xFFFFFFu, 0x123456u);
  EXPECT_EQ(Screen(7, 7), 0x123456u);
}

TEST_F(BlitTest, ANewCanvasLeavesTheBackBufferAsItWas) {
  OpenScreen(16, 8, 32);
  ClearBackBuffer(PackRGB(10, 20, 30));
  CreateCanvas(0, 16, 8, 1);
  for (int32_t intensity : {0, 30, 255}) Blend(0, 0, 0, intensity);
  for (int32_t y = 0; y < 8; ++y) {
    for (int32_t x = 0; x < 16; ++x) ASSERT_EQ(Screen(x, y), 0x0A141Eu);
  }
}

TEST_F(BlitTest, WhiteOverBlackAtThirtyApproachesWhiteGeometrically) {
  OpenScreen(4, 4, 32);
  CreateCanvas(0, 4, 4, 1);
  SetCanvasPixel(0, 1, 1, 0xFFFFFFFFu);
  const uint32_t expected[] = {30, 56, 79, 100};  // 30 + v x 225/255, rounded each time
  for (uint32_t value : expected) {
    Blend(0, 0, 0, 30);
    EXPECT_EQ(Screen(1, 1), value * 0x010101u);
  }
  EXPECT_EQ(Screen(0, 0), 0u);
}

TEST_F(BlitTest, OnlyTheLowEightBitsOfTheIntensityCount) {
  struct Case {
    int32_t intensity;
    uint32_t expected;
  } cases[] = {{255, 0xC86432u}, {0, 0u}, {256, 0u}, {286, 0x180C06u}, {30, 0x180C06u}};
  for (const Case& c : cases) {
    TearDown();
    SetUp();
    OpenScreen(4, 4, 32);
    CreateCanvas(0, 4, 4, 1);
    SetCanvasPixel(0, 2, 3, 0xFFC86432u);  // (200, 100, 50)
    Blend(0, 0, 0, c.intensity);
    EXPECT_EQ(Screen(2, 3), c.expected) << "intensity " << c.intensity;
  }
}

TEST_F(BlitTest, PlacementsOutsideTheBackBufferDrawNothing) {
  OpenScreen(10, 10, 32);
  CreateCanvas(0, 4, 4, 1);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 4; ++x) SetCanvasPixel(0, x, y, 0xFFFFFFFFu);
  const int32_t places[][2] = {{10, 0}, {0, 10}, {-4, 0}, {0, -4}, {40, 40}, {-100, 5}};
  for (const auto& p : places) Blend(0, p[0], p[1], 255);
  for (int32_t y = 0; y < 10; ++y)
    for (int32_t x = 0; x < 10; ++x) ASSERT_EQ(Screen(x, y), 0u) << x << ", " << y;
  // Nothing was drawn, so no blend state was sent either.
  EXPECT_EQ(RenderStateCache[CachedAlphaBlendEnable], -1);
}

TEST_F(BlitTest, APartlyOutsideCanvasDrawsItsInsidePixelForPixel) {
  OpenScreen(10, 10, 32);
  CreateCanvas(0, 4, 4, 1);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 4; ++x) SetCanvasPixel(0, x, y, 0xFF000000u | uint32_t(16 * y + x + 1));
  Blend(0, 8, -2, 255);  // canvas columns 0-1 and rows 2-3 are inside
  for (int32_t y = 0; y < 10; ++y) {
    for (int32_t x = 0; x < 10; ++x) {
      const bool inside = x >= 8 && y < 2;
      const uint32_t expected = inside ? uint32_t(16 * (y + 2) + (x - 8) + 1) : 0u;
      ASSERT_EQ(Screen(x, y), expected) << x << ", " << y;
    }
  }
}

TEST_F(BlitTest, BlendStatesAreSentOnceAfterTheScreenOpens) {
  OpenScreen(4, 4, 32);
  CreateCanvas(0, 4, 4, 1);
  EXPECT_EQ(SetBlendStates(1, BlendSourceAlpha, BlendInvSourceAlpha, BlitVertexFormat), 0xFu);
  EXPECT_EQ(SetBlendStates(1, BlendSourceAlpha, BlendInvSourceAlpha, BlitVertexFormat), 0u);
  EXPECT_EQ(SetBlendStates(0, BlendSourceAlpha, BlendInvSourceAlpha, 0), 0x9u);
  ResetRenderStateCache();
  Blend(0, 0, 0, 30);
  EXPECT_EQ(RenderStateCache[CachedAlphaBlendEnable], 1);
  EXPECT_EQ(RenderStateCache[CachedSourceBlend], 5);
  EXPECT_EQ(RenderStateCache[CachedDestinationBlend], 6);
  EXPECT_EQ(RenderStateCache[CachedVertexFormat], 0x144);
}

TEST_F(BlitTest, AnAbsentCanvasDrawsNothing) {
  OpenScreen(4, 4, 32);
  Blend(3, 0, 0, 255);
  EXPECT_EQ(RenderStateCache[CachedAlphaBlendEnable], -1);
}

TEST_F(BlitTest, TheBackBufferKeepsItsContentAcrossPresents) {
  OpenScreen(4, 4, 32);
  CreateCanvas(0, 4, 4, 1);
  SetCanvasPixel(0, 0, 0, 0xFF808080u);
  Blend(0, 0, 0, 100);
  const BackBuffer& buffer = *SoftwareBackBuffer();
  const std::vector<uint8_t> shown(buffer.pixels, buffer.pixels + buffer.pitch * buffer.height);
  PresentFrame();
  PresentFrame();
  EXPECT_EQ(std::vector<uint8_t>(buffer.pixels, buffer.pixels + buffer.pitch * buffer.height), shown);
  EXPECT_EQ(HeadlessFramesPresented(), 3u);
}

TEST_F(BlitTest, SixteenBitScreensBlendIntoFiveSixFive) {
  OpenScreen(4, 4, 16);
  CreateCanvas(0, 4, 4, 1);
  EXPECT_EQ(FindCanvas(0)->store->pixelClass, 2);
  SetCanvasPixel(0, 1, 1, 0x8000u | 0x7FFFu);  // opaque white
  Blend(0, 0, 0, 255);
  EXPECT_EQ(Screen(1, 1), 0xFFFFFFu);
  const BackBuffer& buffer = *SoftwareBackBuffer();
  uint16_t word;
  std::memcpy(&word, buffer.pixels + buffer.pitch + 2, 2);
  EXPECT_EQ(word, 0xFFFFu);
  ClearBackBuffer(PackRGB(0x12, 0x34, 0x56));
  std::memcpy(&word, buffer.pixels, 2);
  EXPECT_EQ(word, (2u << 11) | (13u << 5) | 10u);  // 18 x 31/255, 52 x 63/255, 86 x 31/255 rounded
}

TEST(FiveSixFive, WideningThenNarrowingGivesEveryValueBack) {
  for (uint32_t v = 0; v < 32; ++v) ASSERT_EQ(Narrow5(Widen5(v)), v);
  for (uint32_t v = 0; v < 64; ++v) ASSERT_EQ(Narrow6(Widen6(v)), v);
}

TEST_F(BlitTest, WithoutAScreenNothingIsPresentedOrDrawn) {
  EXPECT_EQ(PresentFrame(), 1);
  EXPECT_EQ(HeadlessFramesPresented(), 0u);
  EXPECT_EQ(EnsureScene(), 0);
  ReleaseScreen();
  ReleaseScreen();
}

TEST_F(BlitTest, WithoutGraphicsTheScreenDoesNotOpen) {
  SetHeadlessGraphicsPresent(false);
  EXPECT_EQ(InitGraphics(), 0);
  WindowHandle window = OpenDisplayWindow(0, 0, 0, 8, 8, "", WindowBorderless);
  EXPECT_EQ(OpenScreenInWindow(window, 0, 0, 8, 8, 0, 0, 0, 0), 0);
  EXPECT_EQ(ScreenParentWindow(), window);  // the keyboard still binds to it
  EXPECT_EQ(PresentFrame(), 1);
  EXPECT_EQ(HeadlessFramesPresented(), 0u);
}

}  // namespace
}  // namespace vivuvev
