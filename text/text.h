// Text values, byte arrays and text arrays, and the text primitives every subsystem uses.
//
// A text value holds 8-bit characters in the ANSI code page (936): a byte of 0x80 or above
// starts a two-byte character and the byte after it belongs to that character. A text value
// never holds a zero byte. Positions and lengths count bytes and are 1-based; searches give -1
// when nothing is found and try matches only at character starts.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tonvia {

using Text = std::string;
using ByteArray = std::vector<unsigned char>;
using TextArray = std::vector<Text>;

// True for a byte that starts a two-byte character.
inline bool IsLeadByte(unsigned char byte) { return byte >= 0x80; }

// The bytes up to (not including) the first zero byte, as a text value.
Text TextFromBytes(const void* bytes, std::size_t count);
inline Text TextFromBytes(const ByteArray& bytes) {
  return TextFromBytes(bytes.data(), bytes.size());
}

// Position of the first occurrence of needle at a character start at or after start (values
// below 1 mean 1), or -1. With ignoreCase, ASCII letters match regardless of case, byte by
// byte. An empty needle is found at position 1 when at least one byte remains from start on.
int FindText(const Text& text, const Text& needle, int start = 1, bool ignoreCase = false);

// Replaces occurrences of needle at or after start, left to right and without overlap, at most
// limit times (a negative limit means no limit). Same stepping and case rule as FindText. An
// empty needle replaces nothing.
Text ReplaceText(const Text& text, const Text& needle, const Text& replacement, int start = 1,
                 int limit = -1, bool ignoreCase = false);

// Left, right and middle parts, clamped to the text: a count of 0 or less, or a start beyond
// the end, gives an empty text.
Text LeftText(const Text& text, int count);
Text RightText(const Text& text, int count);
Text MiddleText(const Text& text, int start, int count);

// Upper- and lower-casing of ASCII letters only; two-byte characters are left alone.
Text UpperAscii(const Text& text);
Text LowerAscii(const Text& text);

}  // namespace tonvia
