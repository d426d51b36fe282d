// The decisions of the x11 platform that need no X server: what its
// notifications mean as window messages, keycodes to scan codes, the focus
// rule, which visuals the back buffer fits, the message box's layout, the
// module's arguments and the no-display message.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/visual_format.h"
#include "display/window_events.h"
#include "display/window_notifications.h"
#include "input/keymap.h"
#include "launch/display_failure.h"
#include "launch/message_box_layout.h"
#include "module/module_options.h"

namespace vivuvev {
namespace {

std::vector<uint32_t> Messages(const TranslatedMessages& t) {
  std::vector<uint32_t> ids;
  for (int32_t i = 0; i < t.count; ++i) ids.push_back(t.messages[i].message);
  return ids;
}

WindowNotice Geometry(int32_t x, int32_t y, int32_t w, int32_t h) {
  return {WindowNotification::Geometry, x, y, w, h, true};
}
WindowNotice Notice(WindowNotification kind, bool last = true) { return {kind, 0, 0, 0, 0, last}; }

TEST(WindowNotifications, TheFirstGeometryIsAMoveAndASizeThenOnlyWhatChanged) {
  WindowTrack track{};
  TranslatedMessages t = TranslateWindowNotice(&track, Geometry(0, 0, 1024, 768));
  ASSERT_EQ(Messages(t), (std::vector<uint32_t>{MessageMove, MessageSize}));
  EXPECT_EQ(t.messages[1].wParam, SizeRestored);
  EXPECT_EQ(t.messages[1].lParam, 1024 + (768 << 16));

  EXPECT_EQ(Messages(TranslateWindowNotice(&track, Geometry(0, 0, 1024, 768))), std::vector<uint32_t>{});
  t = TranslateWindowNotice(&track, Geometry(5, 7, 1024, 768));
  ASSERT_EQ(Messages(t), std::vector<uint32_t>{MessageMove});
  EXPECT_EQ(t.messages[0].lParam, 5 + (7 << 16));
  EXPECT_EQ(Messages(TranslateWindowNotice(&track, Geometry(5, 7, 800, 768))), std::vector<uint32_t>{MessageSize});
}

TEST(WindowNotifications, NegativeCoordinatesArePackedAs16BitValues) {
  EXPECT_EQ(PackCoordinates(-1, 2), static_cast<intptr_t>(0x0002FFFF));
  EXPECT_EQ(PackCoordinates(0x12345, -2), static_cast<intptr_t>(0xFFFE2345u));
}

TEST(WindowNotifications, UnmapAndMapAreMinimiseAndRestore) {
  WindowTrack track{};
  TranslateWindowNotice(&track, Geometry(0, 0, 640, 480));
  TranslateWindowNotice(&track, Notice(WindowNotification::Mapped));
  TranslatedMessages t = TranslateWindowNotice(&track, Notice(WindowNotification::Unmapped));
  ASSERT_EQ(Messages(t), std::vector<uint32_t>{MessageSize});
  EXPECT_EQ(t.messages[0].wParam, SizeMinimized);
  EXPECT_TRUE(track.minimised);
  // A second unmap while minimised says nothing new.
  EXPECT_EQ(TranslateWindowNotice(&track, Notice(WindowNotification::Unmapped)).count, 0);
  t = TranslateWindowNotice(&track, Notice(WindowNotification::Mapped));
  ASSERT_EQ(Messages(t), std::vector<uint32_t>{MessageSize});
  EXPECT_EQ(t.messages[0].wParam, SizeRestored);
  EXPECT_EQ(t.messages[0].lParam, 640 + (480 << 16));
  // Mapping a window that was never minimised is no restore.
  EXPECT_EQ(TranslateWindowNotice(&track, Notice(WindowNotification::Mapped)).count, 0);
}

TEST(WindowNotifications, MinimiseAndRestoreQueueTheEventsOfTheWindowProcedure) {
  WindowTrack track{};
  WindowRecord record{};
  ClearWindowEvents();
  for (WindowNotification kind : {WindowNotification::Mapped, WindowNotification::Unmapped,
                                  WindowNotification::Mapped}) {
    const TranslatedMessages t = TranslateWindowNotice(&track, Notice(kind));
    for (int32_t i = 0; i < t.count; ++i) {
      HandleWindowMessage(0, &record, true, t.messages[i].message, t.messages[i].wParam, t.messages[i].lParam);
    }
  }
  std::vector<int32_t> codes;
  WindowEvent event{};
  while (TakeWindowEvent(&event)) codes.push_back(event.code);
  EXPECT_EQ(codes, (std::vector<int32_t>{WindowEventMinimized, WindowEventRestored, WindowEventSized}));
}

TEST(WindowNotifications, EachOtherNotificationBecomesOneMessage) {
  struct Case {
    WindowNotice notice;
    std::vector<uint32_t> messages;
    uintptr_t wParam;
  } cases[] = {
      {Notice(WindowNotification::Exposed, true), {MessageEraseBackground}, 0},
      {Notice(WindowNotification::Exposed, false), {}, 0},  // more of the series follow
      {Notice(WindowNotification::GainedFocus), {MessageActivate}, 1},
      {Notice(WindowNotification::LostFocus), {MessageActivate}, 0},
      {Notice(WindowNotification::CloseRequest), {MessageClose}, 0},
  };
  for (const Case& c : cases) {
    WindowTrack track{};
    const TranslatedMessages t = TranslateWindowNotice(&track, c.notice);
    EXPECT_EQ(Messages(t), c.messages) << static_cast<int>(c.notice.kind);
    if (t.count == 1) {
      EXPECT_EQ(t.messages[0].wParam, c.wParam) << static_cast<int>(c.notice.kind);
    }
  }
}

TEST(WindowNotifications, ADestroyedWindowIsReportedOnce) {
  // Its DestroyNotify may follow the errors that already said it is gone.
  WindowTrack track{};
  TranslateWindowNotice(&track, Geometry(0, 0, 640, 480));
  EXPECT_EQ(Messages(TranslateWindowNotice(&track, Notice(WindowNotification::Destroyed))),
            std::vector<uint32_t>{MessageDestroy});
  EXPECT_TRUE(track.destroyed);
  EXPECT_EQ(TranslateWindowNotice(&track, Notice(WindowNotification::Destroyed)).count, 0);
}

TEST(Keymap, AKeyEventsKeycodeIsItsScanCodePlus8) {
  struct Case {
    uint32_t keycode;
    int32_t scanCode;
  } cases[] = {{9, 1} /* Escape */, {24, 16} /* Q */, {8, 0}, {255, 247},
               {263, 255}, {7, -1}, {0, -1}, {264, -1}, {0xFFFFFFFFu, -1}};
  for (const Case& c : cases) EXPECT_EQ(ScanCodeOfKeycode(c.keycode), c.scanCode) << c.keycode;
}

TEST(Keymap, KeycodeKIsScanCodeKMinus8) {
  struct Case {
    int keycode;
    int scanCode;
  } cases[] = {{9, 1} /* Escape */, {36, 28} /* Return */, {65, 57} /* space */, {8, 0}, {255, 247}};
  for (const Case& c : cases) {
    char keymap[32] = {};
    keymap[c.keycode / 8] = static_cast<char>(1 << (c.keycode % 8));
    uint8_t state[256];
    std::fill(std::begin(state), std::end(state), uint8_t{0x55});  // every byte must be written
    KeymapToKeyboardState(keymap, state);
    for (int s = 0; s < 256; ++s) {
      EXPECT_EQ(state[s], s == c.scanCode ? 0x80 : 0) << "keycode " << c.keycode << ", scan code " << s;
    }
  }
}

TEST(Keymap, EveryKeyDownLeavesTheTopScanCodesUp) {
  char keymap[32];
  std::fill(std::begin(keymap), std::end(keymap), static_cast<char>(0xFF));
  uint8_t state[256] = {};
  KeymapToKeyboardState(keymap, state);
  // Scan codes 248 to 255 would be keycodes 256 to 263, which X does not have.
  for (int s = 0; s < 256; ++s) EXPECT_EQ(state[s], s < 248 ? 0x80 : 0) << s;
}

TEST(Keymap, KeysReachTheWindowOnlyWithTheFocus) {
  struct Case {
    FocusPlace focus;
    bool pointerOver;
    bool reach;
  } cases[] = {
      {FocusPlace::Window, false, true},          {FocusPlace::Window, true, true},
      {FocusPlace::FollowsPointer, true, true},   {FocusPlace::FollowsPointer, false, false},
      {FocusPlace::Elsewhere, true, false},       {FocusPlace::Elsewhere, false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(KeysReachWindow(c.focus, c.pointerOver), c.reach)
        << static_cast<int>(c.focus) << " " << c.pointerOver;
  }
}

TEST(VisualFormat, OnlyTheBuffersOwnLayoutsAreTaken) {
  struct Case {
    VisualLayout visual;
    int32_t bits;
  } cases[] = {
      {{true, 24, 32, 0xFF0000, 0xFF00, 0xFF}, 32},
      {{true, 32, 32, 0xFF0000, 0xFF00, 0xFF}, 32},  // the top byte an alpha channel
      {{true, 16, 16, 0xF800, 0x07E0, 0x001F}, 16},
      {{true, 32, 32, 0xFF, 0xFF00, 0xFF0000}, 0},
      {{true, 24, 32, 0xFF, 0xFF00, 0xFF0000}, 0},   // blue and red swapped
      {{true, 24, 24, 0xFF0000, 0xFF00, 0xFF}, 0},   // packed 3-byte pixels
      {{true, 15, 16, 0x7C00, 0x03E0, 0x001F}, 0},   // 5-5-5
      {{true, 30, 32, 0x3FF00000, 0xFFC00, 0x3FF}, 0},
      {{false, 8, 8, 0, 0, 0}, 0},                   // a colour map
      {{false, 24, 32, 0xFF0000, 0xFF00, 0xFF}, 0},  // DirectColor
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BackBufferBitsFor(c.visual), c.bits) << c.visual.depth << "/" << c.visual.bitsPerPixel;
  }
}

TEST(VisualFormat, OnlyA32BitVisualHasAlphaBitsToFill) {
  EXPECT_EQ(AlphaBitsFor({true, 32, 32, 0xFF0000, 0xFF00, 0xFF}), 0xFF000000u);
  EXPECT_EQ(AlphaBitsFor({true, 24, 32, 0xFF0000, 0xFF00, 0xFF}), 0u);
  EXPECT_EQ(AlphaBitsFor({true, 16, 16, 0xF800, 0x07E0, 0x001F}), 0u);
  EXPECT_EQ(AlphaBitsFor({true, 32, 32, 0xFF, 0xFF00, 0xFF0000}), 0u);  // not drawn at all
}

// A font of 6 x 13 pixels per character: ascent 10, descent 3.
int32_t SixWide(const std::string& text) { return static_cast<int32_t>(text.size()) * 6; }

TEST(MessageBoxLayout, LinesButtonAndSizeFollowFromTheFont) {
  const MessageBoxLayout l = LayOutMessageBox("Vivuvev V2.0\n\nA longer second paragraph line", SixWide, 10, 3);
  ASSERT_EQ(l.lines, (std::vector<std::string>{"Vivuvev V2.0", "", "A longer second paragraph line"}));
  // 30 characters of 6 pixels and a margin of 16 each side.
  EXPECT_EQ(l.width, 30 * 6 + 32);
  EXPECT_EQ(l.textX, 16);
  EXPECT_EQ(l.baselines, (std::vector<int32_t>{26, 39, 52}));
  // Text ends at 16 + 3 x 13 = 55; the button sits a margin below, 80 wide
  // (wider than "OK" padded) and 13 + 16 high, centred.
  EXPECT_EQ(l.button.y, 55 + 16);
  EXPECT_EQ(l.button.width, 80);
  EXPECT_EQ(l.button.height, 29);
  EXPECT_EQ(l.button.x, (212 - 80) / 2);
  EXPECT_EQ(l.height, 71 + 29 + 16);
  EXPECT_EQ(l.buttonTextX, 66 + (80 - 12) / 2);
  EXPECT_EQ(l.buttonTextY, 71 + 8 + 10);
}

TEST(MessageBoxLayout, AShortMessageKeepsTheSmallestWidthAndAnEmptyOneHasOneLine) {
  const MessageBoxLayout l = LayOutMessageBox("Hi", SixWide, 10, 3);
  EXPECT_EQ(l.width, MinBoxWidth);
  EXPECT_EQ(LayOutMessageBox(nullptr, SixWide, 10, 3).lines, std::vector<std::string>{""});
  EXPECT_EQ(LayOutMessageBox("a\r\nb", SixWide, 10, 3).lines, (std::vector<std::string>{"a", "b"}));
}

TEST(MessageBoxLayout, OnlyPointsInsideTheButtonHitIt) {
  const MessageBoxLayout l = LayOutMessageBox("Hi", SixWide, 10, 3);
  const BoxRect b = l.button;
  struct Case {
    int32_t x, y;
    bool on;
  } cases[] = {
      {b.x, b.y, true},
      {b.x + b.width - 1, b.y + b.height - 1, true},
      {b.x - 1, b.y, false},
      {b.x, b.y - 1, false},
      {b.x + b.width, b.y, false},  // right and bottom edges are outside
      {b.x, b.y + b.height, false},
      {1, 1, false},
  };
  for (const Case& c : cases) EXPECT_EQ(OnButton(l, c.x, c.y), c.on) << c.x << "," << c.y;
}

struct OptionsCase {
  std::vector<const char*> arguments;
  const char* daemonWindow;
  bool ok;
  ModuleTarget target;
  unsigned long windowId;
  uint32_t delay;
  bool help;
  uint32_t recordFrames = 0;
};

TEST(ModuleOptions, TargetDelayAndHelp) {
  using T = ModuleTarget;
  const OptionsCase cases[] = {
      {{}, nullptr, true, T::OwnWindow, 0, 10000, false},
      {{"-root"}, nullptr, true, T::RootWindow, 0, 10000, false},
      {{"--root"}, nullptr, true, T::RootWindow, 0, 10000, false},
      {{"-window"}, nullptr, true, T::OwnWindow, 0, 10000, false},
      {{"-window-id", "0x2a00007"}, nullptr, true, T::GivenWindow, 0x2a00007, 10000, false},
      {{"-window-id", "1234"}, nullptr, true, T::GivenWindow, 1234, 10000, false},
      {{}, "0x400001", true, T::GivenWindow, 0x400001, 10000, false},
      // The daemon's window stands in for -root and for the default...
      {{"-root"}, "4194305", true, T::GivenWindow, 4194305, 10000, false},
      // ...but not for an explicit choice.
      {{"-window"}, "0x400001", true, T::OwnWindow, 0, 10000, false},
      {{"-window-id", "77"}, "0x400001", true, T::GivenWindow, 77, 10000, false},
      {{"-root"}, "", true, T::RootWindow, 0, 10000, false},
      // Of two explicit choices the later one holds.
      {{"--window-id", "7", "--window"}, nullptr, true, T::OwnWindow, 0, 10000, false},
      {{"-window", "-window-id", "7"}, "0x400001", true, T::GivenWindow, 7, 10000, false},
      {{"-delay", "0"}, nullptr, true, T::OwnWindow, 0, 0, false},
      {{"-delay", "20000", "-root"}, nullptr, true, T::RootWindow, 0, 20000, false},
      {{"-h"}, nullptr, true, T::OwnWindow, 0, 10000, true},
      {{"--help"}, nullptr, true, T::OwnWindow, 0, 10000, true},
      {{"-delay"}, nullptr, false, T::OwnWindow, 0, 0, false},
      {{"-delay", "-5"}, nullptr, false, T::OwnWindow, 0, 0, false},
      {{"-delay", "10ms"}, nullptr, false, T::OwnWindow, 0, 0, false},
      {{"-delay", "60000001"}, nullptr, false, T::OwnWindow, 0, 0, false},
      {{"-delay", "\t5"}, nullptr, false, T::OwnWindow, 0, 0, false},  // digits alone
      {{"-delay", "010"}, nullptr, true, T::OwnWindow, 0, 10, false},
      {{"-window-id"}, nullptr, false, T::OwnWindow, 0, 0, false},
      {{"-window-id", "0"}, nullptr, false, T::OwnWindow, 0, 0, false},
      {{"-window-id", "zz"}, nullptr, false, T::OwnWindow, 0, 0, false},
      {{"root"}, nullptr, false, T::OwnWindow, 0, 0, false},
      // The options every module takes: -visual's value is its own, not an option.
      {{"-visual", "-root", "--install", "-noinstall", "-mono", "-fps", "--no-fps"}, nullptr, true,
       T::OwnWindow, 0, 10000, false},
      {{"--display", ":3", "-root"}, nullptr, true, T::RootWindow, 0, 10000, false},
      {{"-display", ""}, nullptr, false, T::OwnWindow, 0, 0, false},
      {{"-visual"}, nullptr, false, T::OwnWindow, 0, 0, false},
      {{"-nofps"}, nullptr, false, T::OwnWindow, 0, 0, false},
      {{}, "not-a-window", false, T::OwnWindow, 0, 0, false},
      {{"-record-animation", "600"}, nullptr, true, T::OwnWindow, 0, 10000, false, 600},
      {{"--record-animation", "4294967295", "-root"}, nullptr, true, T::RootWindow, 0, 10000, false,
       4294967295u},
      {{"-record-animation"}, nullptr, false, T::OwnWindow, 0, 0, false},
      {{"-record-animation", "0"}, nullptr, false, T::OwnWindow, 0, 0, false},
      {{"-record-animation", "4294967296"}, nullptr, false, T::OwnWindow, 0, 0, false},
      {{"-record-animation", "ten"}, nullptr, false, T::OwnWindow, 0, 0, false},
      {{"-record-animation", " 7"}, nullptr, false, T::OwnWindow, 0, 0, false},
  };
  for (const OptionsCase& c : cases) {
    std::vector<const char*> argv{"vivuvev"};
    argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
    std::string label;
    for (const char* a : c.arguments) label += std::string(a) + " ";
    label += std::string("| ") + (c.daemonWindow ? c.daemonWindow : "(no daemon window)");
    ModuleOptions options;
    std::string error;
    const bool ok = ReadModuleOptions(static_cast<int>(argv.size()), argv.data(), c.daemonWindow, &options, &error);
    ASSERT_EQ(ok, c.ok) << label << ": " << error;
    if (!ok) {
      EXPECT_FALSE(error.empty()) << label;
      continue;
    }
    EXPECT_EQ(options.target, c.target) << label;
    if (c.target == T::GivenWindow) {
      EXPECT_EQ(options.windowId, c.windowId) << label;
    }
    EXPECT_EQ(options.delayMicroseconds, c.delay) << label;
    EXPECT_EQ(options.help, c.help) << label;
    EXPECT_EQ(options.recordFrames, c.recordFrames) << label;
  }
}

TEST(ModuleOptions, WindowIdsAreDecimalOr0xHexadecimal) {
  struct Case {
    const char* text;
    unsigned long id;  // 0: refused
  } cases[] = {
      {"010", 10},  // a leading 0 is no octal prefix
      {"08", 8},
      {"0X1f", 31},
      {"536870911", 0x1FFFFFFF},  // the largest X id
      {"0x20000000", 0},
      {"99999999999999999999999", 0},
      {"0x0", 0},
      {"0x", 0},
      {"0x0x1f", 0},  // strtoull would take a second prefix
      {"0x-5", 0},
      {"1f", 0},
      {"\t12", 0},  // and blanks before the digits
      {"", 0},
  };
  for (const Case& c : cases) {
    // As -window-id's value and as the daemon's window, with -root beside it.
    const char* given[] = {"vivuvev", "-window-id", c.text};
    const char* daemon[] = {"vivuvev", "-root"};
    for (bool fromDaemon : {false, true}) {
      ModuleOptions options;
      std::string error;
      const bool ok = fromDaemon ? ReadModuleOptions(2, daemon, c.text, &options, &error)
                                 : ReadModuleOptions(3, given, nullptr, &options, &error);
      const std::string label = std::string("'") + c.text + (fromDaemon ? "' from the daemon" : "'");
      if (c.id == 0 && fromDaemon && *c.text == '\0') {
        // An empty variable names no window: -root holds.
        EXPECT_TRUE(ok) << label;
        EXPECT_EQ(options.target, ModuleTarget::RootWindow) << label;
        continue;
      }
      ASSERT_EQ(ok, c.id != 0) << label << ": " << error;
      if (!ok) continue;
      EXPECT_EQ(options.target, ModuleTarget::GivenWindow) << label;
      EXPECT_EQ(options.windowId, c.id) << label;
    }
  }
}

TEST(ModuleOptions, UsageNamesEveryOption) {
  for (const char* option : {"-window", "-root", "-window-id", "-delay", "-fps", "-no-fps", "-display",
                             "-visual", "-install", "-noinstall", "-mono", "-record-animation", "-h", "--help", "--version",
                             "XSCREENSAVER_WINDOW"}) {
    EXPECT_NE(std::string(ModuleUsage).find(option), std::string::npos) << option;
  }
}

TEST(NoDisplayMessage, IsOneLineNamingTheProgramAndTheDisplay) {
  const std::string named = NoDisplayMessage("saver", ":57");
  EXPECT_EQ(named.rfind("saver: ", 0), 0u) << named;
  EXPECT_NE(named.find("':57'"), std::string::npos) << named;
  EXPECT_EQ(named.find('\n'), std::string::npos);
  EXPECT_EQ(named, "saver: cannot open display ':57'; nothing can be shown, so it ends");
  // Without a display's name the line still reads as a sentence.
  EXPECT_EQ(NoDisplayMessage("standalone", ""),
            "standalone: cannot open a display, as none is named (DISPLAY is empty or not set); "
            "nothing can be shown, so it ends");
}

}  // namespace
}  // namespace vivuvev
