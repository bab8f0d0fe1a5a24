#include "text/text.h"

#include <gtest/gtest.h>

namespace tonvia {
namespace {

// "\xB0\x41" and "\x81\x5C" are two-byte characters whose second byte reads as 'A' and '\'.
struct FindCase {
  const char* text;
  const char* needle;
  int start;
  bool ignoreCase;
  int expected;
};

TEST(FindText, FindsAtCharacterStartsOnly) {
  const FindCase cases[] = {
      {"abcabc", "c", 1, false, 3},
      {"abcabc", "c", 4, false, 6},
      {"abcabc", "c", 0, false, 3},           // below 1 means 1
      {"abcabc", "c", -5, false, 3},
      {"abcabc", "c", 7, false, -1},          // beyond the end
      {"abcabc", "x", 1, false, -1},
      {"abc", "", 1, false, 1},               // empty needle in a non-empty text
      {"abc", "", 3, false, 1},
      {"abc", "", 4, false, -1},
      {"", "", 1, false, -1},                 // empty needle in an empty text
      {"", "a", 1, false, -1},
      {"aBc", "b", 1, false, -1},
      {"aBc", "b", 1, true, 2},
      {"x\xB0" "A", "A", 1, false, -1},       // 'A' only as a second byte
      {"x\xB0" "AA", "A", 1, false, 4},
      {"\xB0" "a", "A", 1, true, -1},         // folding never matches a second byte
      {"\x81" "a", "\x81" "A", 1, true, -1},  // nor folds the second byte of a needle's character
      {"\x81\\\\", "\\", 1, false, 3},        // backslash as second byte is skipped
      {"\xD6\xDC\xBD\xDC", "\xBD\xDC", 1, false, 3},
      {"\xD6\xDC\xBD\xDC", "\xDC\xBD", 1, false, -1},
      {"ab", "abc", 1, false, -1},            // needle longer than the rest
  };
  for (const FindCase& c : cases) {
    EXPECT_EQ(FindText(c.text, c.needle, c.start, c.ignoreCase), c.expected)
        << "text=" << c.text << " needle=" << c.needle << " start=" << c.start;
  }
}

TEST(FindText, StartInsideATwoByteCharacterMovesToTheNextCharacter) {
  // Position 2 is the second byte of the first character; the search starts at position 3.
  EXPECT_EQ(FindText("\xB0" "AA", "A", 2), 3);
}

TEST(ReplaceText, ReplacesFromStartUpToLimit) {
  struct Case {
    const char* text;
    const char* needle;
    const char* replacement;
    int start;
    int limit;
    bool ignoreCase;
    const char* expected;
  } cases[] = {
      {"a-a-a", "a", "b", 1, -1, false, "b-b-b"},
      {"a-a-a", "a", "b", 2, -1, false, "a-b-b"},
      {"a-a-a", "a", "b", 1, 2, false, "b-b-a"},
      {"a-a-a", "a", "b", 1, 0, false, "a-a-a"},
      {"aaa", "aa", "x", 1, -1, false, "xa"},          // no overlap
      {"A-a", "a", "b", 1, -1, true, "b-b"},
      {"A-a", "a", "b", 1, -1, false, "A-b"},
      {"\xB0" "A" "A", "A", "z", 1, -1, false, "\xB0" "Az"},
      {"#\xD2\xFD\xBA\xC5" "x", "#\xD2\xFD\xBA\xC5", "\"", 1, -1, false, "\"x"},
      {"abc", "", "x", 1, -1, false, "abc"},
      {"", "a", "x", 1, -1, false, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReplaceText(c.text, c.needle, c.replacement, c.start, c.limit, c.ignoreCase),
              c.expected)
        << "text=" << c.text << " needle=" << c.needle;
  }
}

TEST(TextParts, AreClampedToTheText) {
  EXPECT_EQ(LeftText("abc", 2), "ab");
  EXPECT_EQ(LeftText("abc", 9), "abc");
  EXPECT_EQ(LeftText("abc", 0), "");
  EXPECT_EQ(LeftText("abc", -1), "");
  EXPECT_EQ(RightText("abc", 2), "bc");
  EXPECT_EQ(RightText("abc", 9), "abc");
  EXPECT_EQ(RightText("abc", 0), "");
  EXPECT_EQ(MiddleText("abcdef", 2, 3), "bcd");
  EXPECT_EQ(MiddleText("abcdef", 5, 9), "ef");
  EXPECT_EQ(MiddleText("abcdef", 7, 1), "");
  EXPECT_EQ(MiddleText("abcdef", 0, 2), "ab");
  EXPECT_EQ(MiddleText("abcdef", 2, 0), "");
}

TEST(Casing, TouchesAsciiLettersOnly) {
  EXPECT_EQ(UpperAscii("ab\xB0" "a1z"), "AB\xB0" "a1Z");
  EXPECT_EQ(LowerAscii("AB\xB0" "A1Z"), "ab\xB0" "A1z");
}

TEST(TextFromBytes, EndsAtTheFirstZeroByte) {
  EXPECT_EQ(TextFromBytes(ByteArray{'a', 'b', 0, 'c'}), "ab");
  EXPECT_EQ(TextFromBytes(ByteArray{'a', 'b'}), "ab");
  EXPECT_EQ(TextFromBytes(ByteArray{}), "");
}

}  // namespace
}  // namespace tonvia
