#include "text/text.h"

#include <algorithm>
#include <cstring>

namespace tonvia {
namespace {

unsigned char FoldAscii(unsigned char byte) {
  return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte + ('a' - 'A')) : byte;
}

// Compares needle with the text at index at. Case folding applies to single-byte characters
// only: the second byte of a two-byte character is compared exactly, so that two different
// characters whose second bytes differ only like an ASCII letter's case never match.
bool MatchesAt(const Text& text, std::size_t at, const Text& needle, bool ignoreCase) {
  if (text.size() - at < needle.size()) return false;
  bool secondByte = false;
  for (std::size_t i = 0; i < needle.size(); ++i) {
    unsigned char a = static_cast<unsigned char>(text[at + i]);
    unsigned char b = static_cast<unsigned char>(needle[i]);
    bool fold = ignoreCase && !secondByte;
    if (fold ? FoldAscii(a) != FoldAscii(b) : a != b) return false;
    secondByte = !secondByte && IsLeadByte(b);
  }
  return true;
}

// Width in bytes of the character that starts at index at (a lead byte at the very end
// counts as one byte).
std::size_t CharWidth(const Text& text, std::size_t at) {
  return (IsLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size()) ? 2 : 1;
}

// Zero-based index of the first character start at or after start (1-based, clamped to 1),
// counting character boundaries from the beginning of the text.
std::size_t FirstCharStartFrom(const Text& text, int start) {
  std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
  std::size_t at = 0;
  while (at < from && at < text.size()) at += CharWidth(text, at);
  return at;
}

// Zero-based index of the next match at or after index at, or npos.
std::size_t FindFrom(const Text& text, const Text& needle, std::size_t at, bool ignoreCase) {
  for (; at < text.size(); at += CharWidth(text, at)) {
    if (MatchesAt(text, at, needle, ignoreCase)) return at;
  }
  return Text::npos;
}

Text MapBytes(const Text& text, char (*map)(char)) {
  Text out(text);
  for (std::size_t i = 0; i < out.size(); i += CharWidth(out, i)) out[i] = map(out[i]);
  return out;
}

}  // namespace

Text TextFromBytes(const void* bytes, std::size_t count) {
  const char* begin = static_cast<const char*>(bytes);
  if (begin == nullptr) return Text();
  const void* zero = std::memchr(begin, 0, count);
  return Text(begin, zero ? static_cast<const char*>(zero) : begin + count);
}

int FindText(const Text& text, const Text& needle, int start, bool ignoreCase) {
  std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
  if (from >= text.size()) return -1;
  if (needle.empty()) return 1;
  std::size_t at = FindFrom(text, needle, FirstCharStartFrom(text, start), ignoreCase);
  return at == Text::npos ? -1 : static_cast<int>(at) + 1;
}

Text ReplaceText(const Text& text, const Text& needle, const Text& replacement, int start,
                 int limit, bool ignoreCase) {
  if (needle.empty() || limit == 0) return text;
  std::size_t at = FirstCharStartFrom(text, start);
  Text out = text.substr(0, at);
  int done = 0;
  while (at < text.size()) {
    if ((limit < 0 || done < limit) && MatchesAt(text, at, needle, ignoreCase)) {
      out += replacement;
      at += needle.size();
      ++done;
    } else {
      std::size_t width = CharWidth(text, at);
      out.append(text, at, width);
      at += width;
    }
  }
  return out;
}

Text LeftText(const Text& text, int count) {
  if (count <= 0) return Text();
  return text.substr(0, std::min<std::size_t>(static_cast<std::size_t>(count), text.size()));
}

Text RightText(const Text& text, int count) {
  if (count <= 0) return Text();
  std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(count), text.size());
  return text.substr(text.size() - n);
}

Text MiddleText(const Text& text, int start, int count) {
  std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
  if (count <= 0 || from >= text.size()) return Text();
  return text.substr(from, static_cast<std::size_t>(count));
}

Text UpperAscii(const Text& text) {
  return MapBytes(text, [](char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; });
}

Text LowerAscii(const Text& text) {
  return MapBytes(text, [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; });
}

}  // namespace tonvia
