// Percent-escape decoding of a fetched page, before its UTF-8 bytes are converted to the
// ANSI code page.
#pragma once

#include "text/text.h"

namespace tonvia {

// Decodes every "%" escape of the page; other bytes (including "+") are copied unchanged.
// Hex digits may be upper or lower case. A decoded zero byte adds nothing, so the result never
// holds a zero byte.
//
// A "%" always consumes itself and the next two bytes, as many as the text still has. Each
// digit is valued by its place in "0123456789ABCDEF": a non-digit counts as -2 and a digit
// missing at the end of the text counts as 0; the byte yielded is (high * 16 + low) modulo
// 256, or nothing when that is 0. So "%" at the very end yields nothing and "%4" at the end
// yields "@" (0x40). Nothing is ever read past the end of the text.
ByteArray PercentDecode(const Text& pageText);

}  // namespace tonvia
