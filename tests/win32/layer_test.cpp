// The Windows layers against the real user32, GDI, Direct3D 9 and
// DirectInput (under Wine on a private X server in CI): the display window,
// its events, the screen's back buffer, the canvas, the blit, the drawing
// pass's GDI objects and the keyboard.
#define NOMINMAX
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "../unit/canvas_test_support.h"
#include "canvas/blit.h"
#include "canvas/canvas_store.h"
#include "canvas/drawing_pass.h"
#include "display/screen.h"
#include "display/window.h"
#include "display/window_events.h"
#include "input/keyboard.h"
#include "launch/message_box.h"
#include "platform/win32/win32_parts.h"
#include "program/program.h"

namespace vivuvev {
namespace {

constexpr int32_t Width = 320;
constexpr int32_t Height = 240;

// A started program with window 0; TearDown ends it as ProgramEnd would.
class WindowLayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartProgram();
    window = static_cast<HWND>(OpenDisplayWindow(0, 0, 0, Width, Height, "", WindowBorderless));
    ASSERT_NE(window, nullptr);
  }
  void TearDown() override {
    CloseDisplayWindow(0);
    EndLayers();
  }
  // Every event still queued, in order.
  static std::vector<WindowEvent> DrainEvents() {
    std::vector<WindowEvent> events;
    WindowEvent event{};
    while (TakeWindowEvent(&event)) events.push_back(event);
    return events;
  }
  HWND window = nullptr;
};

// A Screen open in window 0, for the Direct3D layers.
class ScreenLayerTest : public WindowLayerTest {
 protected:
  void SetUp() override {
    WindowLayerTest::SetUp();
    ASSERT_EQ(InitGraphics(), 1);
    ASSERT_EQ(OpenScreenInWindow(window, 0, 0, Width, Height, 0, 0, 0, 0), 1);
  }
  // The back buffer's pixel (x, y) as 0x00RRGGBB; the scene is ended first.
  static uint32_t BackBufferPixel(int32_t x, int32_t y) {
    EndOpenScene();
    IDirect3DSurface9* back = nullptr;
    if (FAILED(ScreenDevice()->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back))) return ~0u;
    D3DLOCKED_RECT locked{};
    uint32_t pixel = ~0u;
    if (SUCCEEDED(back->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
      const auto* row = static_cast<const uint8_t*>(locked.pBits) + y * locked.Pitch;
      pixel = reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFFu;
      back->UnlockRect();
    }
    back->Release();
    return pixel;
  }
};

TEST_F(WindowLayerTest, BorderlessWindowIsExactlyItsClientArea) {
  RECT outer{}, client{};
  ASSERT_TRUE(GetWindowRect(window, &outer));
  ASSERT_TRUE(GetClientRect(window, &client));
  EXPECT_EQ(outer.left, 0);
  EXPECT_EQ(outer.top, 0);
  EXPECT_EQ(outer.right, Width);
  EXPECT_EQ(outer.bottom, Height);
  EXPECT_EQ(client.right, Width);
  EXPECT_EQ(client.bottom, Height);
  const LONG style = GetWindowLongA(window, GWL_STYLE);
  EXPECT_EQ(style & (WS_CAPTION | WS_BORDER | WS_THICKFRAME | WS_SYSMENU), 0);
  EXPECT_NE(style & WS_POPUP, 0);
  EXPECT_EQ(GetWindowTextLengthA(window), 0);
  EXPECT_EQ(GetMenu(window), nullptr);
  char className[64] = {};
  GetClassNameA(window, className, sizeof className);
  EXPECT_STREQ(className, "WindowClass_0");
}

TEST_F(WindowLayerTest, CloseRequestLeavesTheWindowOpen) {
  ClearWindowEvents();
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(PollWindowEvent(), WindowEventCloseRequest);
  EXPECT_TRUE(IsWindow(window));
}

TEST_F(WindowLayerTest, TwoErasuresInARowQueueOneEvent) {
  ClearWindowEvents();
  HDC dc = GetDC(window);
  SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  ReleaseDC(window, dc);
  const std::vector<WindowEvent> events = DrainEvents();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].code, WindowEventRepaint);
  EXPECT_EQ(events[0].window, 0);
}

TEST_F(WindowLayerTest, ClosingDropsTheWindowsQueuedEvents) {
  ClearWindowEvents();
  SendMessageA(window, WM_MOVE, 0, 0);
  SendMessageA(window, WM_CLOSE, 0, 0);
  ASSERT_EQ(QueuedWindowEventCount(), 2u);
  EXPECT_NE(CloseDisplayWindow(0), 0);
  EXPECT_FALSE(IsWindow(window));
  for (const WindowEvent& e : DrainEvents()) EXPECT_NE(e.window, 0) << "event " << e.code;
  EXPECT_EQ(CloseDisplayWindow(0), 0);
}

TEST_F(WindowLayerTest, MinimiseThenRestoreQueuesMinimisedRestoredSized) {
  ClearWindowEvents();
  ShowWindow(window, SW_MINIMIZE);
  ShowWindow(window, SW_RESTORE);
  std::vector<int32_t> sizeEvents;
  for (const WindowEvent& e : DrainEvents()) {
    if (e.window == 0 && (e.code == WindowEventMinimized || e.code == WindowEventRestored ||
                          e.code == WindowEventSized || e.code == WindowEventMaximized)) {
      sizeEvents.push_back(e.code);
    }
  }
  EXPECT_EQ(sizeEvents, (std::vector<int32_t>{WindowEventMinimized, WindowEventRestored,
                                              WindowEventSized}));
}

TEST_F(WindowLayerTest, StickyWindowIsTopmostUntilUnstuck) {
  EXPECT_NE(SetWindowSticky(0, 1), 0);
  EXPECT_NE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_NE(SetWindowSticky(0, 0), 0);
  EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_EQ(SetWindowSticky(5, 1), 0);
}

TEST_F(WindowLayerTest, TheThreeTimeoutFormsOfTheEventPump) {
  MSG stale;
  while (PeekMessageA(&stale, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&stale);
  ClearWindowEvents();
  EXPECT_EQ(NextWindowEvent(0), 0) << "nothing pending";
  EXPECT_EQ(NextWindowEvent(30), 0) << "a wait that times out";
  PostMessageA(window, WM_USER + 7, 0, 0);
  EXPECT_EQ(NextWindowEvent(5000), WM_USER + 7);
  PostMessageA(window, WM_USER + 8, 0, 0);
  EXPECT_EQ(NextWindowEvent(-1), WM_USER + 8);
  // A queued event comes first and leaves the waiting message alone.
  PostMessageA(window, WM_USER + 9, 0, 0);
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(PollWindowEvent(), WindowEventCloseRequest);
  EXPECT_EQ(PollWindowEvent(), WM_USER + 9);
}

TEST_F(WindowLayerTest, ReopeningANumberClosesItsOldWindow) {
  const HWND second =
      static_cast<HWND>(OpenDisplayWindow(0, 0, 0, Width, Height, "", WindowBorderless));
  ASSERT_NE(second, nullptr);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_TRUE(IsWindow(second));
  // Number -1 picks the lowest free number and returns it.
  EXPECT_EQ(OpenDisplayWindow(-1, 10, 10, 50, 40, "assigned", WindowBorderless),
            reinterpret_cast<WindowHandle>(1));
  EXPECT_NE(CloseDisplayWindow(1), 0);
}

// A procedure put in front of window 0's that closes window 0 again, once,
// while DestroyWindow is destroying it.
WNDPROC procedureBehind = nullptr;
int32_t closedAgain = -1;

LRESULT CALLBACK CloseAgainOnDestroy(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY && closedAgain == -1) closedAgain = CloseDisplayWindow(0);
  return CallWindowProcA(procedureBehind, w, message, wParam, lParam);
}

TEST_F(WindowLayerTest, ClosingTheNumberAgainWhileItsWindowIsDestroyed) {
  procedureBehind = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
      window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CloseAgainOnDestroy)));
  SendMessageA(window, WM_MOVE, 0, 0);
  EXPECT_NE(CloseDisplayWindow(0), 0);
  EXPECT_EQ(closedAgain, 1);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(FindWindowRecord(0), nullptr);
  for (const WindowEvent& e : DrainEvents()) EXPECT_NE(e.window, 0) << "event " << e.code;
  // The number is free for a new window.
  window = static_cast<HWND>(OpenDisplayWindow(0, 0, 0, Width, Height, "", WindowBorderless));
  EXPECT_NE(window, nullptr);
}

// Runs inside the message box's own loop: records what the box's owner
// windows look like while it is open, then closes it.
struct BoxObservation {
  HWND topmost;
  HWND other;
  bool topmostWhileOpen;
  bool otherEnabledWhileOpen;
  bool seen;
};
BoxObservation observation;

void CALLBACK ObserveAndCloseBox(HWND, UINT, UINT_PTR timer, DWORD) {
  const HWND box = FindWindowA(nullptr, "Layer box");
  if (box == nullptr) return;
  KillTimer(nullptr, timer);
  observation.seen = true;
  observation.topmostWhileOpen = (GetWindowLongA(observation.topmost, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  observation.otherEnabledWhileOpen = IsWindowEnabled(observation.other) != 0;
  PostMessageA(box, WM_COMMAND, IDOK, 0);
}

TEST_F(WindowLayerTest, MessageBoxMovesTheThreadsWindowsOutOfTheWayAndBack) {
  SetWindowSticky(0, 1);
  SetForegroundWindow(window);
  const HWND other = static_cast<HWND>(
      OpenDisplayWindow(3, 400, 300, 60, 40, "other", WindowBorderless | WindowCentreOnScreen));
  ASSERT_NE(other, nullptr);
  SetForegroundWindow(window);
  observation = BoxObservation{window, other, true, true, false};
  SetTimer(nullptr, 0, 50, ObserveAndCloseBox);
  EXPECT_EQ(ShowMessageBox("Layer box", "text", 0), IDOK);
  ASSERT_TRUE(observation.seen);
  EXPECT_FALSE(observation.topmostWhileOpen) << "no window of the program covers the box";
  if (GetForegroundWindow() != other) {
    EXPECT_FALSE(observation.otherEnabledWhileOpen) << "a background window is disabled";
  }
  EXPECT_NE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0) << "topmost again afterwards";
  EXPECT_TRUE(IsWindowEnabled(other)) << "enabled again afterwards";
  EXPECT_TRUE(IsWindowEnabled(window));
  CloseDisplayWindow(3);
}

TEST_F(ScreenLayerTest, ClearedBackBufferHoldsTheColourBytes) {
  ClearBackBuffer(PackRGB(0x12, 0x34, 0x56));
  EXPECT_EQ(BackBufferPixel(0, 0), 0x123456u);
  EXPECT_EQ(BackBufferPixel(Width - 1, Height - 1), 0x123456u);
  EXPECT_EQ(PresentFrame(), 1);
  EXPECT_EQ(BackBufferPixel(7, 9), 0x123456u) << "the copy swap effect keeps the back buffer";
}

TEST_F(ScreenLayerTest, RedRingOnANewCanvas) {
  ASSERT_EQ(ScreenBitsPerPixel(), 32);
  ASSERT_NE(CreateCanvas(0, 64, 48, 1), nullptr);
  for (uint32_t p : CanvasPixels(0)) ASSERT_EQ(p, 0u) << "a new canvas is transparent black";
  DrawRing(0, DrawModeOutlined, PackRGB(255, 0, 0), 32, 24, 10);
  const std::vector<uint32_t> pixels = CanvasPixels(0);
  ASSERT_EQ(pixels.size(), 64u * 48u);
  size_t red = 0;
  for (int32_t y = 0; y < 48; ++y) {
    for (int32_t x = 0; x < 64; ++x) {
      const uint32_t p = pixels[static_cast<size_t>(y * 64 + x)];
      ASSERT_TRUE(p == 0u || p == 0xFFFF0000u) << x << "," << y << ": " << std::hex << p;
      if (p != 0) {
        ++red;
        EXPECT_TRUE(x >= 22 && x <= 42 && y >= 14 && y <= 34) << x << "," << y;
      }
    }
  }
  for (const auto& at : {std::pair<int, int>{22, 24}, {42, 24}, {32, 14}, {32, 34}}) {
    EXPECT_EQ(pixels[static_cast<size_t>(at.second * 64 + at.first)], 0xFFFF0000u);
  }
  EXPECT_EQ(pixels[24 * 64 + 32], 0u) << "the interior stays untouched";
  EXPECT_GT(red, 50u);  // a ring of radius 10 is about 2 pi 10 pixels
}

TEST_F(ScreenLayerTest, BlitsAtIntensity30MoveBlackTowardsWhite) {
  ASSERT_NE(CreateCanvas(0, 16, 16, 1), nullptr);
  for (int32_t y = 0; y < 16; ++y) {
    for (int32_t x = 0; x < 16; ++x) SetCanvasPixel(0, x, y, 0xFFFFFFFFu);
  }
  ClearBackBuffer(0);
  const auto blit = [] {
    BeginBlendPass();
    BlendCanvasToScreen(0, 0, 0, 30);
    EndBlendPass();
  };
  blit();
  uint32_t p = BackBufferPixel(5, 5);
  for (int shift : {0, 8, 16}) EXPECT_NEAR(static_cast<int>((p >> shift) & 0xFF), 30, 1);
  EXPECT_EQ(BackBufferPixel(20, 5), 0u) << "outside the canvas";
  blit();
  p = BackBufferPixel(5, 5);
  // 30 + 30 x 225/255 = 56.5
  for (int shift : {0, 8, 16}) EXPECT_NEAR(static_cast<int>((p >> shift) & 0xFF), 56, 1);
}

TEST_F(ScreenLayerTest, TransparentCanvasLeavesTheBackBufferAlone) {
  ASSERT_NE(CreateCanvas(0, 16, 16, 1), nullptr);
  ClearBackBuffer(PackRGB(0x40, 0x80, 0xC0));
  BlendCanvasToScreen(0, 0, 0, 255);
  EXPECT_EQ(BackBufferPixel(3, 3), 0x4080C0u);
}

TEST_F(ScreenLayerTest, CanvasSurvivesReleaseAndRestoreForReset) {
  ASSERT_NE(CreateCanvas(0, 40, 30, 1), nullptr);
  DrawRing(0, DrawModeOutlined, PackRGB(10, 200, 30), 20, 15, 8);
  const std::vector<uint32_t> before = CanvasPixels(0);
  CanvasStore* store = FindCanvas(0)->store;
  EXPECT_EQ(ReleaseCanvasForReset(store), 1);
  EXPECT_EQ(RestoreCanvasAfterReset(store), 1);
  EXPECT_EQ(CanvasPixels(0), before);
  EXPECT_EQ(before[15 * 40 + 12], 0xFF0AC81Eu);
}

TEST_F(ScreenLayerTest, NoGdiObjectOfAPassOutlivesIt) {
  ASSERT_NE(CreateCanvas(0, 64, 64, 1), nullptr);
  const DWORD objectsBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  for (int pass = 0; pass < 1000; ++pass) {
    std::vector<GdiObject> made;
    BeginDrawing(CanvasDrawTarget(0));
    DrawingPass* p = CurrentDrawingPass;
    ASSERT_NE(p, nullptr);
    made.insert(made.end(), {p->initialBrush, p->initialPen, p->currentBrush});
    SetDrawingMode(DrawModeOutlined);
    made.push_back(p->currentPen);
    SetFrontColor(PackRGB(pass & 255, 7, 9));
    DrawCircle(32, 32, 2 + pass % 30);
    made.push_back(p->currentPen);
    SetFrontColor(PackRGB(1, pass & 255, 3));
    DrawCircle(33, 32, 30 - pass % 28);
    made.push_back(p->currentPen);
    EndDrawing();
    ASSERT_NE(made[0], nullptr);
    ASSERT_NE(made[1], nullptr);
    ASSERT_NE(made[5], nullptr);
    for (GdiObject object : made) {
      // The pen of the "no colour yet" value may not be made at all.
      if (object == nullptr) continue;
      ASSERT_EQ(GetObjectType(static_cast<HGDIOBJ>(object)), 0u) << "pass " << pass;
    }
  }
  // Where the system counts GDI objects, the count is back where it was.
  const DWORD objectsAfter = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  EXPECT_EQ(objectsAfter, objectsBefore);
}

TEST(KeyboardLayerTest, EveryKeyReadsUpBeforeTheFirstPoll) {
  StartProgram();
  EXPECT_EQ(OpenKeyboard(), 1);
  EXPECT_EQ(KeyboardStage, static_cast<uint32_t>(KeyboardNeedsAcquire));
  EXPECT_EQ(KeyIsDown(KeyAny), 0);
  EXPECT_EQ(KeyIsDown(KeyEscape), 0);
  EndLayers();
  EXPECT_EQ(KeyboardStage, static_cast<uint32_t>(KeyboardClosed));
}

}  // namespace
}  // namespace vivuvev
