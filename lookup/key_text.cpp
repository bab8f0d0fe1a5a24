#include "lookup/key_text.h"

#include <algorithm>
#include <exception>
#include <functional>

#include <boost/regex.hpp>

namespace tonvia {

const char kNotFoundMessage[] = "貌似什么都木有搜到哦~";

namespace {

// Runs the pattern over the page again and again, each search starting where the previous
// match ended and seeing that position as the start of its input, and appends the group-1 text
// of every match. Stops when the page runs out, after an empty match, or when the engine gives
// up; what was appended before stays.
void AppendCaptures(const Text& pageText, Text::const_iterator end, const boost::regex& pattern,
                    TextArray& keyTexts) {
  Text::const_iterator from = pageText.begin();
  boost::smatch match;
  try {
    while (boost::regex_search(from, end, match, pattern)) {
      // Copied in one piece (sub_match::str() appends byte by byte).
      const auto& group = match[1];
      keyTexts.push_back(group.matched ? Text(group.first, group.second) : Text());
      // An empty match would be found again at the same place forever.
      if (match[0].length() == 0) break;
      from = match[0].second;
    }
  } catch (const std::exception&) {
    // The engine gave up (complexity or memory limit): keep what was found so far.
  }
}

// True when marker holds none of the characters that perl syntax gives a meaning, so that
// the pattern matches it byte for byte.
bool IsLiteral(const Text& marker) {
  return marker.find_first_of(".[]{}()\\*+?|^$") == Text::npos;
}

// Index just past the last occurrence of marker (not empty) in text, or 0 when there is none.
std::size_t EndOfLastOccurrence(const Text& text, const Text& marker) {
  const std::boyer_moore_horspool_searcher searcher(marker.rbegin(), marker.rend());
  auto found = std::search(text.rbegin(), text.rend(), searcher);
  return found == text.rend() ? 0 : static_cast<std::size_t>(text.rend() - found);
}

bool MatchesIgnoringAsciiCase(const Text& text, std::size_t at, const Text& marker) {
  auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
  for (std::size_t i = 0; i < marker.size(); ++i) {
    if (fold(text[at + i]) != fold(marker[i])) return false;
  }
  return true;
}

}  // namespace

void ExtractBetweenMarkers(const Text& pageText, const Text& prefixMarker,
                           const Text& suffixMarker, TextArray& keyTexts) {
  boost::regex pattern;
  try {
    pattern.assign(prefixMarker + "(.*?)" + suffixMarker);
  } catch (const std::exception&) {
    return;  // a pattern that does not compile finds nothing
  }
  if (pageText.empty()) return;
  // With literal markers every match ends at an occurrence of the suffix, so nothing after its
  // last occurrence can take part in a match. Cutting the search there gives the same matches
  // and keeps the engine from scanning to the end of the page again for every prefix marker
  // that no suffix follows (quadratic time on a page whose paragraphs lack the suffix).
  Text::const_iterator end = pageText.end();
  if (IsLiteral(prefixMarker) && IsLiteral(suffixMarker) && !suffixMarker.empty()) {
    std::size_t bound = EndOfLastOccurrence(pageText, suffixMarker);
    if (bound == 0) return;
    end = pageText.begin() + static_cast<std::ptrdiff_t>(bound);
  }
  AppendCaptures(pageText, end, pattern, keyTexts);
}

Text JoinKeyTexts(const TextArray& keyTexts) {
  std::size_t size = 0;
  for (const Text& item : keyTexts) size += item.size() + 1;
  Text joined;
  joined.reserve(size);
  for (const Text& item : keyTexts) {
    joined += item;
    joined += ' ';
  }
  return joined;
}

Text InsertBeforeEach(const Text& text, const Text& marker, const Text& insertion, int limit,
                      bool limited) {
  if (text.empty() || marker.empty() || (limited && limit <= 0)) return text;
  Text out;
  out.reserve(text.size() + (limited ? insertion.size() * static_cast<std::size_t>(limit) : 0));
  int treated = 0;
  std::size_t copied = 0;  // the text before this index is already in out
  std::size_t at = 0;
  // Occurrences count only at character starts, so step over two-byte characters as wholes.
  while (text.size() - at >= marker.size()) {
    if (MatchesIgnoringAsciiCase(text, at, marker)) {
      // The occurrence keeps its own bytes: with letter case ignored they may differ from marker.
      out.append(text, copied, at - copied);
      out += insertion;
      copied = at;
      at += marker.size();
      if (limited && ++treated == limit) break;
    } else {
      // A lead byte at the very end stands alone.
      at += IsLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
    }
  }
  out.append(text, copied, Text::npos);
  return out;
}

bool HasKeyWord(const Text& resultsText) { return FindText(resultsText, kKeyWord) != -1; }

}  // namespace tonvia
