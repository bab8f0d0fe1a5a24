#include "lookup/key_text.h"

#include <exception>
#include <vector>

#include <boost/regex.hpp>

namespace tonvia {

const char kNotFoundMessage[] = "貌似什么都木有搜到哦~";

namespace {

// Where group 1 of one match lies in the page text (byte offset and length), or length 0 when
// the group took no part.
struct Capture {
  std::size_t offset = 0;
  std::size_t length = 0;
};

// Runs the pattern over the page again and again, each search starting where the previous
// match ended and seeing that position as the start of its input. Returns the captures found
// before the page ran out, an empty match, or the engine giving up.
std::vector<Capture> FindCaptures(const Text& pageText, const boost::regex& pattern) {
  std::vector<Capture> captures;
  const Text::const_iterator end = pageText.end();
  Text::const_iterator from = pageText.begin();
  boost::smatch match;
  try {
    while (boost::regex_search(from, end, match, pattern)) {
      Capture capture;
      if (match[1].matched) {
        capture.offset = static_cast<std::size_t>(match[1].first - pageText.begin());
        capture.length = static_cast<std::size_t>(match[1].length());
      }
      captures.push_back(capture);
      // An empty match would be found again at the same place forever.
      if (match[0].length() == 0) break;
      from = match[0].second;
    }
  } catch (const std::exception&) {
    // The engine gave up (complexity or memory limit): keep what was found so far.
  }
  return captures;
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
  for (const Capture& capture : FindCaptures(pageText, pattern)) {
    keyTexts.push_back(pageText.substr(capture.offset, capture.length));
  }
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
  out.reserve(text.size());
  int treated = 0;
  std::size_t at = 0;
  // Occurrences count only at character starts, so step over two-byte characters as wholes.
  while (text.size() - at >= marker.size()) {
    if (MatchesIgnoringAsciiCase(text, at, marker)) {
      // The occurrence keeps its own bytes: with letter case ignored they may differ from marker.
      out += insertion;
      out.append(text, at, marker.size());
      at += marker.size();
      if (limited && ++treated == limit) break;
    } else {
      // A lead byte at the very end stands alone.
      std::size_t width =
          IsLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
      out.append(text, at, width);
      at += width;
    }
  }
  if (at < text.size()) out.append(text, at, Text::npos);
  return out;
}

bool HasKeyWord(const Text& resultsText) { return FindText(resultsText, kKeyWord) != -1; }

}  // namespace tonvia
