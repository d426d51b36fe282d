#include <gtest/gtest.h>

#include "sweep/random.h"

namespace vivuvev {
namespace {

void Seed(uint32_t seed) {
  SeedRandom(seed);
  RandomState.seeded = 1;
}

TEST(RandomUpTo, MatchesTheKnownSequenceAfterSeedOne) {
  Seed(1);
  EXPECT_EQ(RandomUpTo(-1), -1195298657);
  EXPECT_EQ(RandomUpTo(-1), 777618810);
  EXPECT_EQ(RandomUpTo(-1), -1684121249);
}

TEST(RandomUpTo, MatchesTheKnownSequenceAfterSeedZero) {
  Seed(0);
  EXPECT_EQ(RandomUpTo(255), 139);
  EXPECT_EQ(RandomUpTo(255), 200);
  EXPECT_EQ(RandomUpTo(255), 169);
  EXPECT_EQ(RandomUpTo(0), 0);
  EXPECT_EQ(RandomUpTo(2), 0);
  EXPECT_EQ(RandomUpTo(1920), 1200);
}

TEST(SeedRandom, LeavesTheIndicesAfterThirtyOneSteps) {
  SeedRandom(12345);
  EXPECT_EQ(RandomState.i, 3);
  EXPECT_EQ(RandomState.j, 13);
}

// Every call takes exactly one step, whatever max is: the word behind a
// result is the next RandomStep of an identically seeded generator.
TEST(RandomUpTo, MapsOneStepOntoTheRangeByTheHighHalfOfAProduct) {
  struct Case {
    int32_t max;
  } cases[] = {{0}, {1}, {2}, {255}, {1920}, {2147483647}, {-1}};
  for (const Case& c : cases) {
    Seed(99);
    const int32_t value = RandomUpTo(c.max);
    Seed(99);
    const uint32_t y = RandomStep();
    const uint32_t n = static_cast<uint32_t>(c.max) + 1u;
    const int32_t expected =
        n == 0 ? static_cast<int32_t>(y) : static_cast<int32_t>((uint64_t{y} * n) >> 32);
    EXPECT_EQ(value, expected) << "max " << c.max;
  }
  Seed(7);
  const int32_t half = RandomUpTo(2147483647);
  Seed(7);
  EXPECT_EQ(half, static_cast<int32_t>(RandomStep() >> 1));
}

TEST(RandomUpTo, StaysWithinZeroToMaxAndReachesBothEnds) {
  Seed(2024);
  bool sawZero = false, sawMax = false, sawTwoFiftyFive = false;
  for (int k = 0; k < 20000; ++k) {
    const int32_t small = RandomUpTo(2);
    ASSERT_GE(small, 0);
    ASSERT_LE(small, 2);
    sawZero |= small == 0;
    sawMax |= small == 2;
    const int32_t colour = RandomUpTo(255);
    ASSERT_GE(colour, 0);
    ASSERT_LE(colour, 255);
    sawTwoFiftyFive |= colour == 255;
  }
  EXPECT_TRUE(sawZero && sawMax && sawTwoFiftyFive);
}

TEST(RandomUpTo, MinusOneGivesNegativeValuesToo) {
  Seed(5);
  bool negative = false;
  for (int k = 0; k < 64 && !negative; ++k) negative = RandomUpTo(-1) < 0;
  EXPECT_TRUE(negative);
}

TEST(RandomUpTo, ZeroStillAdvancesTheGenerator) {
  Seed(3);
  RandomUpTo(0);
  const uint32_t afterOne = RandomStep();
  Seed(3);
  RandomStep();
  EXPECT_EQ(afterOne, RandomStep());
}

TEST(RandomUpTo, SeedsItselfOnFirstUse) {
  RandomState = RandomGenerator{};
  RandomUpTo(10);
  EXPECT_EQ(RandomState.seeded, 1u);
  // After the 31 steps of seeding and one more, the indices moved by 32.
  EXPECT_EQ(RandomState.i, 2);
  EXPECT_EQ(RandomState.j, 12);
}

}  // namespace
}  // namespace vivuvev
