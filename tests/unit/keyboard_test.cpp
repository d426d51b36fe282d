#include <gtest/gtest.h>

#include "display/screen.h"
#include "display/window.h"
#include "headless_fixture.h"
#include "input/keyboard.h"

namespace vivuvev {
namespace {

class KeyboardTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    SetHeadlessScreen(8, 8, 32);
    InitGraphics();
    window = OpenDisplayWindow(0, 0, 0, 8, 8, "", WindowBorderless);
    OpenScreenInWindow(window, 0, 0, 8, 8, 0, 0, 0, 0);
  }
  // Shows one frame, so that scripted input for the next frame number is due.
  static void NextFrame() { PresentFrame(); }
  WindowHandle window = nullptr;
};

TEST_F(KeyboardTest, EveryKeyReadsUpBeforeTheFirstPoll) {
  ScriptKeyDown(0, KeyEscape);
  ASSERT_EQ(OpenKeyboard(), 1);
  EXPECT_EQ(KeyboardStage, KeyboardNeedsAcquire);
  EXPECT_EQ(KeyIsDown(KeyEscape), 0);
  EXPECT_EQ(KeyIsDown(KeyAny), 0);
  EXPECT_EQ(PollKeyboard(), 1);
  EXPECT_EQ(KeyboardStage, KeyboardAcquired);
  EXPECT_EQ(KeyIsDown(KeyEscape), 0x80);
  EXPECT_EQ(KeyIsDown(KeyAny), 1);
  EXPECT_EQ(KeyIsDown(2), 0);
}

TEST_F(KeyboardTest, AKeyPressedAndReleasedBetweenPollsIsNeverSeen) {
  OpenKeyboard();
  PollKeyboard();
  ScriptKeyDown(1, 30);
  ScriptKeyUp(1, 30);
  NextFrame();
  EXPECT_EQ(PollKeyboard(), 1);
  EXPECT_EQ(KeyIsDown(KeyAny), 0);
}

TEST_F(KeyboardTest, ScanCode255DoesNotCountAsAnyKey) {
  OpenKeyboard();
  ScriptKeyDown(0, 255);
  PollKeyboard();
  EXPECT_EQ(KeyIsDown(255), 0x80);
  EXPECT_EQ(KeyIsDown(KeyAny), 0);
  ScriptKeyDown(1, 254);
  NextFrame();
  PollKeyboard();
  EXPECT_EQ(KeyIsDown(KeyAny), 1);
}

TEST_F(KeyboardTest, AFailedPollHidesEveryKeyUntilAPollSucceeds) {
  OpenKeyboard();
  ScriptKeyDown(0, KeyEscape);
  PollKeyboard();
  ASSERT_EQ(KeyIsDown(KeyEscape), 0x80);
  CloseDisplayWindow(0);  // the device's window is gone: reads fail
  EXPECT_EQ(PollKeyboard(), 0);
  EXPECT_EQ(KeyboardStage, KeyboardNeedsAcquire);
  EXPECT_EQ(KeyboardState[KeyEscape], 0x80);
  EXPECT_EQ(KeyIsDown(KeyEscape), 0);
  EXPECT_EQ(KeyIsDown(KeyAny), 0);
  window = OpenDisplayWindow(0, 0, 0, 8, 8, "", WindowBorderless);
  OpenScreenInWindow(window, 0, 0, 8, 8, 0, 0, 0, 0);
  EXPECT_EQ(PollKeyboard(), 1);  // bound to the new window and acquired again
  EXPECT_EQ(KeyIsDown(KeyEscape), 0x80);
}

TEST_F(KeyboardTest, WithoutAKeyboardEveryKeyReadsUp) {
  SetHeadlessKeyboardPresent(false);
  ScriptKeyDown(0, KeyEscape);
  EXPECT_EQ(OpenKeyboard(), 0);
  EXPECT_EQ(PollKeyboard(), 0);
  EXPECT_EQ(KeyIsDown(KeyEscape), 0);
  EXPECT_EQ(KeyIsDown(KeyAny), 0);
}

TEST_F(KeyboardTest, OpeningTwiceAndOutOfRangeKeys) {
  EXPECT_EQ(OpenKeyboard(), 1);
  EXPECT_EQ(OpenKeyboard(), 1);
  ScriptKeyDown(0, 0);
  PollKeyboard();
  EXPECT_EQ(KeyIsDown(0), 0x80);
  EXPECT_EQ(KeyIsDown(256), 0);
  EXPECT_EQ(KeyIsDown(-2), 0);
  CloseKeyboard();
  EXPECT_EQ(KeyIsDown(0), 0);
}

TEST_F(KeyboardTest, APressReportedAsAnEventIsKeptApartFromThePolledState) {
  OpenKeyboard();
  PollKeyboard();
  NoteKeyPress(KeyQ);
  EXPECT_TRUE(KeyWasPressed(KeyQ));
  EXPECT_TRUE(KeyWasPressed(KeyQ));  // asking does not forget it
  EXPECT_FALSE(KeyWasPressed(KeyEscape));
  // The key was never down at a poll: polling still reads it up.
  EXPECT_EQ(PollKeyboard(), 1);
  EXPECT_EQ(KeyIsDown(KeyQ), 0);
  EXPECT_EQ(KeyIsDown(KeyAny), 0);
  // Numbers that are no scan code change nothing.
  for (int32_t key : {-1, 256, KeyAny}) {
    NoteKeyPress(key);
    EXPECT_FALSE(KeyWasPressed(key)) << key;
  }
  NoteKeyPress(255);
  EXPECT_TRUE(KeyWasPressed(255));
  CloseKeyboard();
  EXPECT_FALSE(KeyWasPressed(KeyQ));
  EXPECT_FALSE(KeyWasPressed(255));
}

}  // namespace
}  // namespace vivuvev
