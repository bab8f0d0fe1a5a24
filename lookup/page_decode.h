// Turning a fetched key-database page (UTF-8, possibly percent-escaped) into a text value in
// the ANSI code page (936), through UTF-16. Win32 only.
#pragma once

#include "text/text.h"

namespace tonvia {

// Percent-decodes the page, then converts the UTF-8 bytes to the ANSI code page.
Text DecodePageText(const Text& pageText);

// Converts UTF-8 bytes to an ANSI text value, up to the first zero byte or the end of the array,
// whichever comes first. Invalid sequences become the conversion's replacement character.
Text Utf8BytesToAnsi(const ByteArray& utf8Bytes);

// Converts UTF-16 code units (two bytes each, little-endian) to an ANSI text value, up to the
// first zero code unit or the end of the array; an odd last byte is ignored. Characters the code
// page lacks become its default character.
Text WideBytesToAnsi(const ByteArray& wideBytes);

}  // namespace tonvia
