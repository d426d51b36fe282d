#include <gtest/gtest.h>

#include "launch/text.h"

namespace vivuvev {
namespace {

struct MidCase {
  const char* text;
  int32_t start;
  int32_t count;
  const char* expected;
};

TEST(TextMid, TakesCharactersFromOneBasedStart) {
  const MidCase cases[] = {
      {"/s", 2, 1, "s"},     {"/c:1234", 2, 1, "c"}, {"s", 2, 1, ""},   {"", 2, 1, ""},
      {nullptr, 2, 1, ""},   {"abc", 0, 2, "ab"},    {"abc", -5, 2, "ab"}, {"abc", 3, 10, "c"},
      {"abc", 4, 1, ""},     {"abc", 2, -1, ""},     {"abc", 2, 0, ""},  {"abc", 1, 3, "abc"},
      {"abc", 2, 2, "bc"},
  };
  for (const MidCase& c : cases) {
    EXPECT_EQ(TextMid(c.text, c.start, c.count), c.expected)
        << "TextMid(" << (c.text ? c.text : "null") << ", " << c.start << ", " << c.count << ")";
  }
}

TEST(TextEquals, ComparesBytesExactly) {
  EXPECT_EQ(TextEquals("s", "S"), 0);
  EXPECT_EQ(TextEquals("s", "s"), 1);
  EXPECT_EQ(TextEquals("", nullptr), 1);
  EXPECT_EQ(TextEquals(nullptr, nullptr), 1);
  EXPECT_EQ(TextEquals("s", "s "), 0);
  EXPECT_EQ(TextEquals("s ", "s"), 0);
  EXPECT_EQ(TextEquals("\xE9", "\xC9"), 0);  // no case folding beyond ASCII either
}

TEST(TextLength, CountsBytesBeforeTheZero) {
  EXPECT_EQ(TextLength(nullptr), 0);
  EXPECT_EQ(TextLength(""), 0);
  EXPECT_EQ(TextLength("/c:1234"), 7);
}

}  // namespace
}  // namespace vivuvev
