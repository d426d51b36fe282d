// OpenDisplayWindow's flag rules and placement arithmetic, and the bits per
// pixel of the screen's surface formats.
#include <gtest/gtest.h>

#include "display/format_bits.h"
#include "display/window.h"
#include "display/window_style.h"

namespace vivuvev {
namespace {

constexpr uint32_t Popup = 0x80000000u;
constexpr uint32_t Visible = 0x10000000u;  // WS_VISIBLE shares its bit with WindowHidden
constexpr uint32_t SysMenu = 0x00080000u;
constexpr uint32_t ThickFrame = 0x00040000u;

struct StyleCase {
  const char* name;
  uint32_t flags;
  uint32_t style;
  uint32_t exStyle;
  bool hidden;
  int32_t show;
  bool minMax;
};

TEST(WindowStyleTest, FlagsBecomeStylesAsTheLibraryDefinesThem) {
  const StyleCase cases[] = {
      {"borderless: WS_POPUP alone", WindowBorderless, Popup, 0, false, 1, false},
      {"no flags: a caption is added", 0, StyleCaption, 0, false, 1, false},
      {"centring bits alone: a caption, bits cleared", WindowCentreOnScreen | WindowCentreOnActive,
       StyleCaption, 0, false, 1, false},
      {"hidden alone: a caption, not shown", WindowHidden, StyleCaption, 0, true, 1, false},
      {"child-controls bit is dropped", WindowChildControlsOnly, StyleCaption, 0, false, 1, false},
      {"borderless and hidden", Popup | WindowHidden, Popup, 0, true, 1, false},
      {"maximised", Popup | WindowMaximised, Popup | WindowMaximised, 0, false, 3, true},
      {"minimised", Popup | WindowMinimised, Popup | WindowMinimised, 0, false, 2, true},
      {"both: maximise wins", WindowMaximised | WindowMinimised,
       WindowMaximised | WindowMinimised, 0, false, 3, true},
      {"tool window drops min/max and their boxes",
       WindowTool | WindowMaximised | WindowMinimised | StyleMinimizeBox | StyleMaximizeBox | SysMenu,
       StyleCaption | SysMenu, ExStyleToolWindow, false, 1, false},
      {"other style bits pass unchanged", SysMenu | ThickFrame | WindowCentreOnScreen,
       SysMenu | ThickFrame, 0, false, 1, false},
  };
  for (const StyleCase& c : cases) {
    const WindowStyle s = WindowStyleFor(c.flags);
    EXPECT_EQ(s.style, c.style) << c.name;
    EXPECT_EQ(s.exStyle, c.exStyle) << c.name;
    EXPECT_EQ(s.hidden, c.hidden) << c.name;
    EXPECT_EQ(s.showCommand, c.show) << c.name;
    EXPECT_EQ(s.minimisedOrMaximised, c.minMax) << c.name;
    EXPECT_EQ(s.style & Visible, 0u) << c.name << ": the hidden bit never reaches the style";
  }
}

struct PlaceCase {
  const char* name;
  uint32_t flags;
  int32_t x, y, width, height;
  bool hasActive;
  WindowBox active;
  WindowBox expected;
};

TEST(WindowStyleTest, PlacementCentresAndClamps) {
  const int32_t sw = 1920, sh = 1080;
  const int32_t D = UseDefaultPosition;
  const PlaceCase cases[] = {
      {"display window stays at the origin", 0, 0, 0, 1920, 1080, false, {}, {0, 0, 1920, 1080}},
      {"position kept", 0, 10, -20, 300, 200, false, {}, {10, -20, 300, 200}},
      {"x asks for the default place", 0, -65535, 5, 300, 200, false, {}, {D, D, 300, 200}},
      {"y asks for the default place", 0, 5, -65535, 300, 200, false, {}, {D, D, 300, 200}},
      {"centred on the screen", WindowCentreOnScreen, 7, 7, 301, 201, false, {},
       {809, 439, 301, 201}},
      {"centring overrides the default place", WindowCentreOnScreen, -65535, -65535, 300, 200,
       false, {}, {810, 440, 300, 200}},
      {"too big for the screen: clamped, at the origin", WindowCentreOnScreen, 0, 0, 2500, 1200,
       false, {}, {0, 0, 1920, 1080}},
      {"centred on the active window", WindowCentreOnActive, 0, 0, 100, 50, true,
       {200, 100, 401, 300}, {350, 225, 100, 50}},
      {"active window partly off screen: raised to 0", WindowCentreOnActive, 0, 0, 100, 50, true,
       {-300, -200, 200, 100}, {0, 0, 100, 50}},
      {"no active window: centring skipped", WindowCentreOnActive, 3, 4, 100, 50, false, {},
       {3, 4, 100, 50}},
      {"no active window, default place not used", WindowCentreOnActive, -65535, 4, 100, 50, false,
       {}, {-65535, 4, 100, 50}},
  };
  for (const PlaceCase& c : cases) {
    const WindowBox b =
        PlaceWindow(c.flags, c.x, c.y, c.width, c.height, sw, sh, c.hasActive, c.active);
    EXPECT_EQ(b.x, c.expected.x) << c.name;
    EXPECT_EQ(b.y, c.expected.y) << c.name;
    EXPECT_EQ(b.width, c.expected.width) << c.name;
    EXPECT_EQ(b.height, c.expected.height) << c.name;
  }
}

TEST(FormatBitsTest, BackBufferFormatsHaveTheirBitCounts) {
  const struct {
    uint32_t format;
    int32_t bits;
  } cases[] = {
      {22, 32},  // X8R8G8B8
      {21, 32},  // A8R8G8B8
      {23, 16},  // R5G6B5
      {24, 16},  // X1R5G5B5
      {20, 24},  // R8G8B8
      {41, 8},   // P8
      {36, 64},  // A16B16G16R16
      {0, 0},    // unknown
      {113, 0},  // a floating-point format without an entry
  };
  for (const auto& c : cases) EXPECT_EQ(FormatBitsPerPixel(c.format), c.bits) << c.format;
}

}  // namespace
}  // namespace vivuvev
