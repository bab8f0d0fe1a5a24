#include "lookup/key_text.h"

#include <gtest/gtest.h>

namespace tonvia {
namespace {

constexpr char kPrefix[] = "<div class=\"text\">";
constexpr char kSuffix[] = "<br/>";

TextArray Extract(const Text& page, const Text& prefix = kPrefix, const Text& suffix = kSuffix) {
  TextArray items;
  ExtractBetweenMarkers(page, prefix, suffix, items);
  return items;
}

struct ExtractCase {
  const char* name;
  Text page;
  TextArray expected;
};

TEST(ExtractBetweenMarkers, CutsEveryParagraphBetweenThePageMarkers) {
  const Text p = kPrefix;
  const Text s = kSuffix;
  const ExtractCase cases[] = {
      {"three paragraphs", "<html>" + p + "k1" + s + "x" + p + "k2" + s + p + "k3" + s + "</html>",
       {"k1", "k2", "k3"}},
      {"multi-line paragraph", p + "line1\r\nline2\nline3" + s, {"line1\r\nline2\nline3"}},
      {"nested prefix", p + "k1" + p + "k2" + s, {"k1" + p + "k2"}},
      {"ends at the first suffix", p + "a" + s + "b" + s, {"a"}},
      {"empty paragraph", p + s, {""}},
      {"prefix without suffix", p + "k1" + s + p + "k2", {"k1"}},
      {"suffix only at the end", p + "a" + p + "b" + p + "c" + s, {"a" + p + "b" + p + "c"}},
      {"suffix before any prefix", s + "x" + p + "k" + s + s, {"k"}},
      {"prefix case is exact", "<DIV class=\"text\">k" + s + "<div class=\"TEXT\">k" + s, {}},
      {"no markers", "<html>nothing here</html>", {}},
      {"empty page", "", {}},
      {"code page 936 text", p + "\xBB\xF9\xB5\xF7\xA3\xBA" "C\xB5\xF7 \xA1\xB6x\xA1\xB7" + s,
       {"\xBB\xF9\xB5\xF7\xA3\xBA" "C\xB5\xF7 \xA1\xB6x\xA1\xB7"}},
  };
  for (const ExtractCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Extract(c.page), c.expected);
  }
}

TEST(ExtractBetweenMarkers, AppendsToTheGivenList) {
  TextArray items = {"old"};
  ExtractBetweenMarkers(Text(kPrefix) + "new" + kSuffix, kPrefix, kSuffix, items);
  EXPECT_EQ(items, (TextArray{"old", "new"}));
}

// The markers go into the pattern verbatim, and every search sees the end of the previous
// match as the start of its input.
TEST(ExtractBetweenMarkers, MarkersAreRegularExpressionSyntax) {
  struct MarkerCase {
    const char* page;
    const char* prefix;
    const char* suffix;
    TextArray expected;
  };
  const MarkerCase cases[] = {
      {"x1ab;2cd;", "\\d", ";", {"ab", "cd"}},
      {"<a><b>c<d>", "^<", ">", {"a", "b"}},  // "^" holds where each search begins
      {"(k)", "(", "", {}},                   // does not compile: nothing
      {"abc", "", "", {""}},                  // empty match at the start ends the search
      {"bbx", "b*", "", {"", ""}},            // empty match after a real one ends it too
  };
  for (const MarkerCase& c : cases) {
    SCOPED_TRACE(c.page);
    EXPECT_EQ(Extract(c.page, c.prefix, c.suffix), c.expected);
  }
}

TEST(ExtractBetweenMarkers, EngineGivingUpKeepsEarlierMatches) {
  // The second search backtracks exponentially over the run of x without a y, until the
  // engine's complexity limit stops it.
  const Text page = "a1b" + Text(40, 'x');
  EXPECT_EQ(Extract(page, "a", "b|(x+x+)+y"), (TextArray{"1"}));
}

TEST(JoinKeyTexts, FollowsEveryItemWithOneBlank) {
  const std::pair<TextArray, Text> cases[] = {
      {{}, ""},
      {{"k1", "k2", "k3"}, "k1 k2 k3 "},
      {{""}, " "},
      {{"a", "", "b"}, "a  b "},
  };
  for (const auto& [items, joined] : cases) EXPECT_EQ(JoinKeyTexts(items), joined);
}

TEST(InsertBeforeEach, TreatsOnlyTheFirstLimitTitleBrackets) {
  Text text;
  Text expected;
  for (int i = 1; i <= 101; ++i) {
    text += Text(kTitleBracket) + "t ";
    expected += (i <= kTitleBreakLimit ? Text(kTitleBreak) : Text()) + kTitleBracket + "t ";
  }
  EXPECT_EQ(InsertBeforeEach(text, kTitleBracket, kTitleBreak, kTitleBreakLimit, true), expected);
  // Unlimited treats all 101, the last one included.
  EXPECT_EQ(InsertBeforeEach(text, kTitleBracket, kTitleBreak, kTitleBreakLimit, false),
            expected.substr(0, expected.size() - 4) + kTitleBreak + kTitleBracket + "t ");
}

TEST(InsertBeforeEach, EdgeCases) {
  struct InsertCase {
    const char* text;
    const char* marker;
    int limit;
    bool limited;
    const char* expected;
  };
  // "\xA1\xB6" is the title bracket; in "\xA1\xA1\xB6" its bytes straddle two characters.
  const InsertCase cases[] = {
      {"\xA1\xB6k", "\xA1\xB6", 100, true, "\r\n\r\n\xA1\xB6k"},  // at the very start
      {"\xA1\xA1\xB6", "\xA1\xB6", 100, true, "\xA1\xA1\xB6"},     // not at a character start
      {"a\xA1\xB6", "\xA1\xB6", 0, true, "a\xA1\xB6"},            // limit 0 treats none
      {"a\xA1\xB6", "\xA1\xB6", 0, false, "a\r\n\r\n\xA1\xB6"},   // unless unlimited
      {"xABxab", "ab", 100, true, "x\r\n\r\nABx\r\n\r\nab"},       // case ignored, and kept
      {"a\xB0", "x", 100, true, "a\xB0"},                        // lead byte at the end
      {"abc", "", 100, true, "abc"},
      {"", "\xA1\xB6", 100, true, ""},
  };
  for (const InsertCase& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(InsertBeforeEach(c.text, c.marker, kTitleBreak, c.limit, c.limited), c.expected);
  }
}

TEST(HasKeyWord, FindsExactBytesAtCharacterStarts) {
  const std::pair<Text, bool> cases[] = {
      {"\xBB\xF9\xB5\xF7", true},
      {"C \xBB\xF9\xB5\xF7\xA3\xBA", true},
      {"\xC4\xBB\xF9\xB5\xF7", false},  // the bytes straddle characters
      {"\xBB\xF9", false},
      {"", false},
  };
  for (const auto& [text, found] : cases) EXPECT_EQ(HasKeyWord(text), found) << text;
  EXPECT_FALSE(HasKeyWord(kNotFoundMessage));
}

}  // namespace
}  // namespace tonvia
