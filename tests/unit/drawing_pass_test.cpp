#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "base/system.h"
#include "canvas/drawing_images.h"
#include "canvas/drawing_pass.h"
#include "tests/unit/fake_gdi.h"

namespace vivuvev {
namespace {

using Calls = std::vector<std::string>;

std::vector<int32_t> releases;

void RecordRelease(DrawingPass*, int32_t flag) { releases.push_back(flag); }

class DrawingPassTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateProgramHeap();
    ResetFakeGdi();
    releases.clear();
  }
  void TearDown() override {
    EndDrawing();
    DestroyProgramHeap();
  }

  // A pass filled the way a target's provider fills it.
  static DrawingPass* Target() {
    DrawingPass* pass = NewImagePass();
    pass->dc = FakeDC();
    pass->outputKind = OutputKindImage;
    pass->ReleaseTarget = RecordRelease;
    pass->targetWidth = 640;
    pass->targetHeight = 480;
    pass->bitsPerPixel = 32;
    return pass;
  }

  // Calls made from here on.
  Calls CallsSince(size_t mark) const {
    const Calls& all = FakeGdiCalls();
    return Calls(all.begin() + static_cast<ptrdiff_t>(mark), all.end());
  }
};

TEST(PackRGB, AddsTheComponentsWithoutMasking) {
  EXPECT_EQ(PackRGB(255, 0, 0), 0x000000FFu);
  EXPECT_EQ(PackRGB(0, 255, 0), 0x0000FF00u);
  EXPECT_EQ(PackRGB(0, 0, 255), 0x00FF0000u);
  EXPECT_EQ(PackRGB(1, 2, 3), 0x00030201u);
  EXPECT_EQ(PackRGB(0, 0, 0), 0u);
  EXPECT_EQ(PackRGB(256, 0, 0), 0x00000100u);
}

TEST_F(DrawingPassTest, TheAnimationsPassMakesExactlyTheseCalls) {
  const DeviceContext dc = BeginDrawing(Target());
  EXPECT_EQ(dc, FakeDC());
  SetDrawingMode(DrawModeOutlined);
  SetFrontColor(PackRGB(10, 20, 30));
  DrawCircle(100, 50, 8);
  SetFrontColor(PackRGB(200, 100, 0));
  DrawCircle(101, 50, 2194);
  EndDrawing();
  const Calls expected = {
      // BeginDrawing
      "CreateSolidBrush(0x0)=brush1", "CreatePen(0,0,0x0)=pen1", "SetTextAlign(dc,1)",
      "SelectObject(dc,brush1)=dcbrush1", "SelectObject(dc,pen1)=dcpen1",
      "GetStockObject(13)=stock13", "CreateSolidBrush(0x0)=brush2",
      // SetDrawingMode(DrawModeOutlined)
      "SetROP2(dc,13)", "GetStockObject(5)=stock5", "SelectObject(dc,stock5)=brush1",
      "SetBkMode(dc,2)", "CreatePen(0,0,0xffffffff)=pen2", "SelectObject(dc,pen2)=pen1",
      "SetTextColor(dc,0xffffffff)",
      // first DrawCircle
      "CreatePen(0,0,0x1e140a)=pen3", "SelectObject(dc,pen3)=pen2", "DeleteObject(pen2)",
      "SetTextColor(dc,0x1e140a)", "Ellipse(dc,92,42,109,59)",
      // second DrawCircle
      "CreatePen(0,0,0x64c8)=pen4", "SelectObject(dc,pen4)=pen3", "DeleteObject(pen3)",
      "SetTextColor(dc,0x64c8)", "Ellipse(dc,-2093,-2144,2296,2245)",
      // EndDrawing
      "SelectObject(dc,dcbrush1)=stock5", "SelectObject(dc,dcpen1)=pen4", "DeleteObject(brush2)",
      "DeleteObject(pen4)", "DeleteObject(brush1)", "DeleteObject(pen1)",
  };
  EXPECT_EQ(FakeGdiCalls(), expected);
  EXPECT_EQ(releases, std::vector<int32_t>{1});
  EXPECT_EQ(CurrentDrawingPass, nullptr);
  EXPECT_EQ(FakeGdiLiveObjects(), 0);
}

TEST_F(DrawingPassTest, TwoCirclesOfOneColourMakeOnePen) {
  BeginDrawing(Target());
  SetDrawingMode(DrawModeOutlined);
  const size_t mark = FakeGdiCalls().size();
  SetFrontColor(PackRGB(1, 2, 3));
  DrawCircle(10, 10, 4);
  SetFrontColor(PackRGB(1, 2, 3));
  DrawCircle(11, 10, 6);
  const Calls expected = {"CreatePen(0,0,0x30201)=pen3", "SelectObject(dc,pen3)=pen2",
                          "DeleteObject(pen2)", "SetTextColor(dc,0x30201)",
                          "Ellipse(dc,6,6,15,15)", "Ellipse(dc,5,4,18,17)"};
  EXPECT_EQ(CallsSince(mark), expected);
}

TEST_F(DrawingPassTest, SetFrontColorAloneMakesNoCall) {
  BeginDrawing(Target());
  const size_t mark = FakeGdiCalls().size();
  SetFrontColor(PackRGB(9, 9, 9));
  EXPECT_TRUE(CallsSince(mark).empty());
}

TEST_F(DrawingPassTest, ACircleBeforeAnyColourIsWhite) {
  BeginDrawing(Target());
  SetDrawingMode(DrawModeOutlined);
  const size_t mark = FakeGdiCalls().size();
  DrawCircle(5, 5, 2);
  EXPECT_EQ(CallsSince(mark).front(), "CreatePen(0,0,0xffffff)=pen3");
}

TEST_F(DrawingPassTest, WithoutAModeTheCircleIsFilledWithASolidBrush) {
  BeginDrawing(Target());
  const size_t mark = FakeGdiCalls().size();
  SetFrontColor(PackRGB(0, 0, 255));
  DrawCircle(5, 5, 2);
  const Calls expected = {"CreateSolidBrush(0xff0000)=brush3", "SelectObject(dc,brush3)=brush1",
                          "DeleteObject(brush2)",           "CreatePen(0,0,0xff0000)=pen2",
                          "SelectObject(dc,pen2)=pen1",       "SetTextColor(dc,0xff0000)",
                          "Ellipse(dc,3,3,8,8)"};
  EXPECT_EQ(CallsSince(mark), expected);
}

TEST_F(DrawingPassTest, ModeBitsChooseRasterOperationAndBackground) {
  struct Case {
    uint32_t mode;
    const char* rop;
    const char* brush;
    const char* background;
  } cases[] = {
      {0, "SetROP2(dc,13)", "SelectObject(dc,brush2)", "SetBkMode(dc,2)"},
      {DrawModeTransparent, "SetROP2(dc,13)", "SelectObject(dc,brush2)", "SetBkMode(dc,1)"},
      {DrawModeInvert, "SetROP2(dc,6)", "SelectObject(dc,brush2)", "SetBkMode(dc,2)"},
      {DrawModeOutlined | DrawModeInvert, "SetROP2(dc,6)", "SelectObject(dc,stock5)",
       "SetBkMode(dc,2)"},
  };
  for (const Case& c : cases) {
    SetUp();
    BeginDrawing(Target());
    const size_t mark = FakeGdiCalls().size();
    SetDrawingMode(c.mode);
    Calls calls = CallsSince(mark);
    calls.erase(std::remove_if(calls.begin(), calls.end(),
                               [](const std::string& call) { return call.rfind("GetStockObject", 0) == 0; }),
                calls.end());
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls[0], c.rop) << "mode " << c.mode;
    EXPECT_EQ(calls[1].substr(0, calls[1].find('=')), c.brush) << "mode " << c.mode;
    EXPECT_EQ(calls[2], c.background) << "mode " << c.mode;
    EndDrawing();
    EXPECT_EQ(FakeGdiLiveObjects(), 0) << "mode " << c.mode;
  }
}

TEST_F(DrawingPassTest, RadiusOneSetsOnePixelThroughRectangle) {
  BeginDrawing(Target());
  SetDrawingMode(DrawModeOutlined);
  DrawCircle(7, 9, 1);
  EXPECT_EQ(FakeGdiCalls().back(), "Rectangle(dc,7,9,8,10)");
}

TEST_F(DrawingPassTest, NoObjectOutlivesItsPassOverAThousandPasses) {
  uint32_t colour = 12345;
  for (int pass = 0; pass < 1000; ++pass) {
    BeginDrawing(Target());
    SetDrawingMode(static_cast<uint32_t>(pass % 8));
    for (int k = 0; k < pass % 4; ++k) {
      colour = colour * 1103515245u + 12345u;
      SetFrontColor(colour & 0xFFFFFFu);
      DrawCircle(pass, k, 2 + k);
    }
    EndDrawing();
    ASSERT_EQ(FakeGdiLiveObjects(), 0) << "after pass " << pass;
  }
  for (const std::string& call : FakeGdiCalls()) {
    ASSERT_EQ(call.find("while selected"), std::string::npos) << call;
  }
}

TEST_F(DrawingPassTest, BeginDrawingWithoutATargetChangesNothing) {
  EXPECT_EQ(BeginDrawing(nullptr), nullptr);
  EXPECT_TRUE(FakeGdiCalls().empty());
}

TEST_F(DrawingPassTest, ATargetWithoutADeviceContextIsReleasedAndFreed) {
  DrawingPass* pass = NewImagePass();
  pass->ReleaseTarget = RecordRelease;
  EXPECT_EQ(BeginDrawing(pass), nullptr);
  EXPECT_EQ(releases, std::vector<int32_t>{0});
  EXPECT_EQ(CurrentDrawingPass, nullptr);
  EXPECT_TRUE(FakeGdiCalls().empty());
  // Drawing without a pass does nothing.
  SetDrawingMode(DrawModeOutlined);
  DrawCircle(1, 1, 5);
  EXPECT_TRUE(FakeGdiCalls().empty());
}

TEST_F(DrawingPassTest, EndDrawingTwiceDoesNothingTheSecondTime) {
  BeginDrawing(Target());
  EndDrawing();
  const size_t mark = FakeGdiCalls().size();
  EndDrawing();
  EXPECT_TRUE(CallsSince(mark).empty());
  EXPECT_EQ(releases, std::vector<int32_t>{1});
}

TEST_F(DrawingPassTest, AFailedPenLeavesThePreviousOneSelectedAndCurrent) {
  BeginDrawing(Target());
  SetDrawingMode(DrawModeOutlined);
  SetFrontColor(PackRGB(1, 1, 1));
  DrawCircle(3, 3, 2);
  const GdiObject pen = CurrentDrawingPass->currentPen;
  FailNextFakeGdiCreations(1);
  SetFrontColor(PackRGB(2, 2, 2));
  DrawCircle(3, 3, 4);
  EXPECT_EQ(CurrentDrawingPass->currentPen, pen);
  EndDrawing();
  EXPECT_EQ(FakeGdiLiveObjects(), 0);
}

TEST_F(DrawingPassTest, AReplacedPassLeavesNoObjectBehind) {
  BeginDrawing(Target());
  SetDrawingMode(0);
  SetFrontColor(PackRGB(5, 5, 5));
  DrawCircle(3, 3, 2);
  BeginDrawing(Target());  // the first pass was never ended
  EndDrawing();
  EXPECT_EQ(FakeGdiLiveObjects(), 0);
}

TEST_F(DrawingPassTest, AGrabUnderANumberTheTableCannotGrowToFails) {
  // Number + 16 slots is past the 32-bit range for the top sixteen numbers.
  CreateDrawingImageTable();
  DrawingPass* pass = Target();
  BeginDrawing(pass);
  for (int32_t number : {INT32_MAX, INT32_MAX - 15}) {
    EXPECT_EQ(pass->ops.GrabImageOp(pass, number, 0, 0, 8, 6), 0) << number;
    EXPECT_EQ(FindDrawingImage(number), nullptr) << number;
  }
  EndDrawing();
  EXPECT_EQ(FakeGdiLiveObjects(), 0);  // the refused grabs' bitmaps were deleted
  FreeDrawingImages();
}

TEST_F(DrawingPassTest, ATargetThatIsNoLongerCurrentIsRefused) {
  // A target replaced before it was started, one replaced after it was
  // started, and one already ended: each was freed, and starting it again
  // must neither touch it nor disturb the pass that is current now.
  struct Case {
    const char* name;
    bool startFirst;
    bool endFirst;
  } cases[] = {
      {"replaced before its start", false, false},
      {"replaced after its start", true, false},
      {"ended", true, true},
  };
  for (const Case& c : cases) {
    DrawingPass* stale = Target();
    if (c.startFirst) BeginDrawing(stale);
    if (c.endFirst) EndDrawing();
    DrawingPass* current = c.endFirst ? nullptr : Target();
    releases.clear();
    const size_t mark = FakeGdiCalls().size();
    EXPECT_EQ(BeginDrawing(stale), nullptr) << c.name;
    EXPECT_EQ(CurrentDrawingPass, current) << c.name;
    EXPECT_TRUE(CallsSince(mark).empty()) << c.name;
    EXPECT_TRUE(releases.empty()) << c.name;
    EndDrawing();
  }
  EXPECT_EQ(FakeGdiLiveObjects(), 0);
}

uint8_t rawPixels[4 * 4 * 4];

uint8_t* AcquireFakeBuffer(DrawingPass*, int32_t* pitch) {
  *pitch = 16;
  return rawPixels;
}
DeviceContext AcquireFakeDC(DrawingPass*) { return FakeDC(); }

TEST_F(DrawingPassTest, RawBufferPlotsWriteDirectlyThenTheDeviceContextComesBack) {
  DrawingPass* pass = Target();
  pass->AcquireBuffer = AcquireFakeBuffer;
  pass->AcquireDC = AcquireFakeDC;
  pass->pixelFormat = RawFormat32;
  pass->targetWidth = 4;
  pass->targetHeight = 4;
  BeginDrawing(pass);
  SetDrawingMode(DrawModeOutlined);
  pass->ops.PlotColourOp(pass, 1, 2, PackRGB(0x11, 0x22, 0x33));
  EXPECT_EQ(pass->dcState, -1);
  uint32_t word;
  std::memcpy(&word, rawPixels + 2 * 16 + 4, 4);
  EXPECT_EQ(word, 0xFF112233u);
  const size_t mark = FakeGdiCalls().size();
  SetFrontColor(PackRGB(1, 2, 3));
  DrawCircle(2, 2, 3);
  EXPECT_EQ(pass->dcState, 1);
  const Calls calls = CallsSince(mark);
  ASSERT_GE(calls.size(), 2u);
  // EnsureDC sets the new device context up again, with the colour just applied.
  EXPECT_EQ(calls[0], "SetTextColor(dc,0x30201)");
  EXPECT_EQ(calls[1], "SetTextAlign(dc,1)");
  EXPECT_EQ(calls.back(), "Ellipse(dc,-1,-1,6,6)");
}

TEST_F(DrawingPassTest, OtherOperationsUseTheirCalls) {
  DrawingPass* pass = Target();
  BeginDrawing(pass);
  SetDrawingMode(DrawModeOutlined);
  struct Case {
    void (*run)(DrawingPass*);
    const char* last;
  } cases[] = {
      {[](DrawingPass* p) { p->ops.SetBackgroundColour(p, 0xABCDEF); }, "SetBkColor(dc,0xabcdef)"},
      {[](DrawingPass* p) { p->ops.BoxOp(p, 1, 2, 3, 4); }, "Rectangle(dc,1,2,4,6)"},
      {[](DrawingPass* p) { p->ops.BoxOp(p, 1, 2, 1, 1); }, "SetPixelV(dc,1,2,0xffffffff)"},
      {[](DrawingPass* p) { p->ops.RoundBoxOp(p, 1, 2, 30, 40, 3, 4); },
       "RoundRect(dc,1,2,31,42),6,8"},
      {[](DrawingPass* p) { p->ops.EllipseOp(p, 10, 20, 3, 4); }, "Ellipse(dc,7,16,14,25)"},
      {[](DrawingPass* p) { p->ops.LineOp(p, 0, 0, 5, 7); }, "SetPixelV(dc,5,7,0xffffffff)"},
      {[](DrawingPass* p) { p->ops.PlotOp(p, 3, 4); }, "SetPixelV(dc,3,4,0xffffffff)"},
      {[](DrawingPass* p) { p->ops.FloodFillOp(p, 3, 4); }, "ExtFloodFill(dc,3,4,0x123456,1)"},
      {[](DrawingPass* p) { p->ops.TextOp(p, 3, 4, "hi"); }, "TextOutA(dc,0,0,hi)"},
  };
  for (const Case& c : cases) {
    c.run(pass);
    EXPECT_EQ(FakeGdiCalls().back(), c.last);
  }
  EXPECT_EQ(pass->ops.ReadPixelOp(pass, 1, 1), 0x123456u);
  EXPECT_EQ(pass->ops.TextWidthOp(pass, "abc"), 24);
  EXPECT_EQ(pass->ops.TextHeightOp(pass, "abc"), 16);
  EXPECT_EQ(pass->ops.RawBufferPitch(pass), pass->pitch);
}

TEST_F(DrawingPassTest, AGrabbedImageIsStoredAndFreedAtTheEnd) {
  CreateDrawingImageTable();
  DrawingPass* pass = Target();
  BeginDrawing(pass);
  EXPECT_EQ(pass->ops.GrabImageOp(pass, 3, 0, 0, 8, 6), 1);
  ASSERT_NE(FindDrawingImage(3), nullptr);
  EXPECT_EQ(FindDrawingImage(3)->width, 8);
  EXPECT_EQ(FindDrawingImage(3)->height, 6);
  EXPECT_EQ(FindDrawingImage(2), nullptr);
  EndDrawing();
  EXPECT_EQ(FakeGdiLiveObjects(), 1);  // the image belongs to the table, not the pass
  FreeDrawingImages();
  EXPECT_EQ(FakeGdiLiveObjects(), 0);
  EXPECT_EQ(FindDrawingImage(3), nullptr);
}

}  // namespace
}  // namespace vivuvev
