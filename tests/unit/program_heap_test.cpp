#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

#include "base/system.h"

namespace vivuvev {
namespace {

class ProgramHeap : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(CreateProgramHeap()); }
  void TearDown() override { DestroyProgramHeap(); }
};

TEST_F(ProgramHeap, AReleasedBlockHandedOutAgainIsZeroed) {
  // A pass record is made and released every frame: whatever the heap hands
  // out for the next one, it is zero-filled again.
  for (int round = 0; round < 3; ++round) {
    auto* bytes = static_cast<unsigned char*>(HeapAllocZeroed(200));
    ASSERT_NE(bytes, nullptr);
    for (int i = 0; i < 200; ++i) ASSERT_EQ(bytes[i], 0) << "round " << round << " byte " << i;
    std::memset(bytes, 0xA5, 200);
    HeapRelease(bytes);
  }
}

#if defined(__SANITIZE_ADDRESS__)
TEST_F(ProgramHeap, AReleasedBlockIsUnaddressableUntilHandedOutAgain) {
  void* record = HeapAllocZeroed(200);
  ASSERT_NE(record, nullptr);
  EXPECT_FALSE(__asan_address_is_poisoned(record));
  HeapRelease(record);
  // Released, it may be kept for reuse; a stale pointer into it must still be
  // caught.
  EXPECT_TRUE(__asan_address_is_poisoned(record));
  EXPECT_TRUE(__asan_address_is_poisoned(static_cast<char*>(record) + 199));
  void* again = HeapAllocZeroed(200);
  ASSERT_NE(again, nullptr);
  EXPECT_FALSE(__asan_address_is_poisoned(again));
  EXPECT_FALSE(__asan_address_is_poisoned(static_cast<char*>(again) + 199));
}
#endif

// Images from a few bytes to a 1920 x 1080 screen, on both sides of the size
// from which they are taken in huge pages: each is zeroed, starts on a cache
// line, can be written end to end (AddressSanitizer checks the bounds), and
// goes back with the size it was taken with (it checks the alignment the
// release assumes, too).
TEST(ImageMemory, IsZeroedAlignedAndWholeAtEverySize) {
  const size_t hugePage = size_t{2} << 20;
  for (size_t bytes : {size_t{1}, size_t{64}, size_t{4000}, hugePage - 1, hugePage, hugePage + 1,
                       size_t{1920} * 1080 * 4}) {
    auto* memory = static_cast<unsigned char*>(AllocateImageMemory(bytes));
    ASSERT_NE(memory, nullptr) << bytes;
    EXPECT_EQ(reinterpret_cast<uintptr_t>(memory) % 64, 0u) << bytes;
    EXPECT_EQ(memory[0], 0) << bytes;
    EXPECT_EQ(memory[bytes / 2], 0) << bytes;
    EXPECT_EQ(memory[bytes - 1], 0) << bytes;
    std::memset(memory, 0xA5, bytes);
    ReleaseImageMemory(memory, bytes);
  }
}

}  // namespace
}  // namespace vivuvev
