#include "detect/text_between.h"

#include <gtest/gtest.h>

namespace tonvia {
namespace {

// "乤" is 81 61 and "乗" is 81 5C: two-byte characters whose second byte reads as 'a' and '\'.
struct BetweenCase {
  const char* source;
  const char* left;
  const char* right;
  int start;
  bool matchCase;
  const char* expected;
};

TEST(TextBetween, CutsBetweenFirstLeftMarkerAndNextRightMarker) {
  const BetweenCase cases[] = {
      {"周杰伦 - 晴天(Live).krc", " - ", "(", 0, false, "晴天"},
      {"Artist - Title-1.krc", " - ", "(", 0, false, ""},  // no "(" after the left marker
      {"Artist - Title-1.krc", " - ", "-", 0, false, "Title"},
      {"A(1) - B(2)", " - ", "(", 0, false, "B"},  // a right marker before the left one is ignored
      {"Artist - (x)", " - ", "(", 0, false, ""},
      {"Artist - ", " - ", "(", 0, false, ""},      // ends with the left marker
      {"Artist - Title.krc", " - ", "(", 0, false, ""},
      {"a - b(c) - d(e)", " - ", "(", 0, false, "b"},  // only the first left marker counts
      {"a - b - c(d)", " - ", "(", 0, false, "b - c"},
      {"", " - ", "(", 0, false, ""},
      {"abc", "", "c", 0, false, "ab"},  // empty left marker: the remainder is the whole source
      {"", "", "", 0, false, ""},
      {"a - b", " - ", "", 0, false, ""},  // empty right marker matches at once
      {"xABy]", "ab", "]", 0, false, "y"},
      {"xABy]", "ab", "]", 0, true, ""},
      {"a - b(c)", " - ", "(", -3, false, "b"},  // below 1 counts as 1
  };
  for (const BetweenCase& c : cases) {
    EXPECT_EQ(TextBetween(c.source, c.left, c.right, c.start, c.matchCase), c.expected)
        << c.source << " | " << c.left << " | " << c.right << " | " << c.start;
  }
}

TEST(TextBetween, MarkersMatchOnlyAtCharacterStarts) {
  const BetweenCase cases[] = {
      {"乤(x)a(y)", "a", ")", 0, true, "(y"},
      {"乤(x)A(y)", "a", ")", 0, false, "(y"},
      {"[乗\\y]", "\\", "]", 0, false, "y"},
      {"[y乗]", "[", "\\", 0, false, ""},  // the right marker only inside a character
      {"晴天 - 乤天(Live)", " - ", "(", 0, false, "乤天"},
  };
  for (const BetweenCase& c : cases) {
    EXPECT_EQ(TextBetween(c.source, c.left, c.right, c.start, c.matchCase), c.expected)
        << c.source << " | " << c.left << " | " << c.right;
  }
}

TEST(TextBetween, PlaceholderStandsForDoubleQuote) {
  EXPECT_EQ(TextBetween("a=\"xval\"", "#引号x", "#引号", 0, false), "val");
  EXPECT_EQ(TextBetween("a=\"Xval\"", "#引号x", "#引号", 0, true), "");
  EXPECT_EQ(TextBetween("k=\"v\" r=\"w\"", "r=#引号", "#引号", 0, false), "w");
  // The placeholder is replaced only where it is spelled exactly.
  EXPECT_EQ(TextBetween("#引 \"z\"", "#引", "\"", 0, false), " ");
}

TEST(TextBetween, StartPositionSkipsEarlierLeftMarkers) {
  const BetweenCase cases[] = {
      {"a - b(c) - d(e)", " - ", "(", 3, false, "d"},
      {"a - b(c) - d(e)", " - ", "(", 2, false, "b"},
      {"a - b(c)", " - ", "(", 9, false, ""},  // beyond the end
      // The right marker is the first one after the left marker even when it lies within
      // startPosition bytes of it.
      {"ab - x(1)(2)", " - ", "(", 3, false, "x"},
  };
  for (const BetweenCase& c : cases) {
    EXPECT_EQ(TextBetween(c.source, c.left, c.right, c.start, c.matchCase), c.expected)
        << c.source << " | " << c.start;
  }
}

}  // namespace
}  // namespace tonvia
