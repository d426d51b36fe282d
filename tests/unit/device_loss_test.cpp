// PresentFrame's device-loss decisions against a fake device that answers
// TestCooperativeLevel from a script and records every call.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/device_loss.h"

namespace vivuvev {
namespace {

struct FakeDevice {
  std::vector<int32_t> answers;  // successive TestCooperativeLevel results; the last repeats
  size_t asked = 0;
  bool resetSucceeds = true;
  bool presentSucceeds = true;
  uint32_t clock = 1000;  // each Sleep(1) advances it by one millisecond
  std::string calls;      // T test, P prepare, R reset, A after reset, E end scene, S present, z sleep
};

FakeDevice fake;

int32_t Test() {
  fake.calls += 'T';
  const size_t at = fake.asked < fake.answers.size() ? fake.asked : fake.answers.size() - 1;
  ++fake.asked;
  return fake.answers[at];
}
void Prepare() { fake.calls += 'P'; }
bool Reset() {
  fake.calls += 'R';
  return fake.resetSucceeds;
}
void AfterReset() { fake.calls += 'A'; }
void EndScene() { fake.calls += 'E'; }
bool Present() {
  fake.calls += 'S';
  return fake.presentSucceeds;
}
uint32_t Ticks() { return fake.clock; }
void Sleep(uint32_t ms) {
  fake.calls += 'z';
  fake.clock += ms;
}

const PresentDevice Device = {Test, Prepare, Reset, AfterReset, EndScene, Present, Ticks, Sleep};

struct LossCase {
  const char* name;
  int32_t activeBefore;
  std::vector<int32_t> answers;
  bool resetSucceeds;
  bool presentSucceeds;
  int32_t result;
  int32_t activeAfter;
  std::string calls;
};

// "zT" repeated: one sleep and one test per millisecond of waiting.
std::string Waits(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += "zT";
  return s;
}

TEST(DeviceLossTest, EachAnswerLeadsToItsSteps) {
  const LossCase cases[] = {
      {"ready device presents", 1, {DeviceOk}, true, true, 1, 1, "TES"},
      {"failed present makes the screen inactive", 1, {DeviceOk}, true, false, 1, 0, "TES"},
      {"internal error stops at once", 1, {DeviceDriverInternalError}, true, true, 0, 0, "T"},
      {"not reset: reset, then present", 1, {DeviceNotReset}, true, true, 1, 1, "TPRAES"},
      {"failed reset presents nothing", 1, {DeviceNotReset}, false, true, 0, 0, "TPR"},
      {"lost, back at once: present", 1, {DeviceLost, DeviceOk}, true, true, 1, 1, "TzTES"},
      {"lost, then ready for reset", 1, {DeviceLost, DeviceLost, DeviceNotReset}, true, true, 1, 1,
       "TzTzTPRAES"},
      {"lost, then internal error", 1, {DeviceLost, DeviceLost, DeviceDriverInternalError}, true,
       true, 0, 0, "TzTzT"},
      // 32 one-millisecond waits reach DeviceLostWaitMs.
      {"lost for good: waits 32 ms, then inactive", 1, {DeviceLost}, true, true, 0, 0,
       "T" + Waits(32)},
      {"inactive, still lost: nothing else", 0, {DeviceLost}, true, true, 1, 0, "T"},
      {"inactive, internal error: nothing else", 0, {DeviceDriverInternalError}, true, true, 1, 0,
       "T"},
      {"inactive, ready for reset: reset and present", 0, {DeviceNotReset}, true, true, 1, 1,
       "TPRAES"},
      {"inactive, device ok: present without a reset", 0, {DeviceOk}, true, true, 1, 1, "TES"},
      {"inactive, reset fails: stays inactive", 0, {DeviceNotReset}, false, true, 0, 0, "TPR"},
      {"inactive, device ok but present fails", 0, {DeviceOk}, true, false, 1, 0, "TES"},
  };
  for (const LossCase& c : cases) {
    fake = FakeDevice{};
    fake.answers = c.answers;
    fake.resetSucceeds = c.resetSucceeds;
    fake.presentSucceeds = c.presentSucceeds;
    int32_t active = c.activeBefore;
    EXPECT_EQ(PresentWithDeviceCheck(Device, &active), c.result) << c.name;
    EXPECT_EQ(active, c.activeAfter) << c.name;
    EXPECT_EQ(fake.calls, c.calls) << c.name;
  }
}

TEST(DeviceLossTest, TheWaitSurvivesTheTickCountWrapping) {
  fake = FakeDevice{};
  fake.answers = {DeviceLost};
  fake.clock = 0xFFFFFFF0u;  // wraps 16 ms into the wait
  int32_t active = 1;
  EXPECT_EQ(PresentWithDeviceCheck(Device, &active), 0);
  EXPECT_EQ(fake.calls, "T" + Waits(32));
}

TEST(DeviceLossTest, AShortLossNoLongerFreezesThePicture) {
  // Frame 1: the device stays lost past the wait; frame 2: still lost;
  // frame 3: it can be reset, and the screen shows frames again.
  fake = FakeDevice{};
  fake.answers = std::vector<int32_t>(34, DeviceLost);
  fake.answers.push_back(DeviceNotReset);
  int32_t active = 1;
  EXPECT_EQ(PresentWithDeviceCheck(Device, &active), 0);
  EXPECT_EQ(active, 0);
  EXPECT_EQ(PresentWithDeviceCheck(Device, &active), 1);
  EXPECT_EQ(active, 0);
  fake.calls.clear();
  EXPECT_EQ(PresentWithDeviceCheck(Device, &active), 1);
  EXPECT_EQ(active, 1);
  EXPECT_EQ(fake.calls, "TPRAES");
  fake.calls.clear();
  EXPECT_EQ(PresentWithDeviceCheck(Device, &active), 1);
  EXPECT_EQ(fake.calls, "TPRAES") << "the device still answers not-reset, so it is reset again";
}

TEST(DeviceLossTest, AnInactiveScreenWithAReadyDeviceIsNeverReset) {
  // The device answers OK but presenting keeps failing: every frame tries to
  // present again, and no frame resets the device (which would lose the
  // picture each time).
  fake = FakeDevice{};
  fake.answers = {DeviceOk};
  fake.presentSucceeds = false;
  int32_t active = 0;
  for (int frame = 0; frame < 3; ++frame) {
    EXPECT_EQ(PresentWithDeviceCheck(Device, &active), 1);
    EXPECT_EQ(active, 0);
  }
  EXPECT_EQ(fake.calls, "TESTESTES");
  fake.presentSucceeds = true;
  EXPECT_EQ(PresentWithDeviceCheck(Device, &active), 1);
  EXPECT_EQ(active, 1);
}

}  // namespace
}  // namespace vivuvev
