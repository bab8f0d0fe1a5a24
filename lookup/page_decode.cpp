#include "lookup/page_decode.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "lookup/percent_decode.h"

namespace tonvia {

// Both conversions take explicit lengths that never reach beyond the array, so bytes without a
// terminating zero (a page whose last decoded byte ends a multibyte character) convert exactly.

Text Utf8BytesToAnsi(const ByteArray& utf8Bytes) {
  const auto end = std::find(utf8Bytes.begin(), utf8Bytes.end(), 0);
  const int count = static_cast<int>(end - utf8Bytes.begin());
  if (count == 0) return Text();
  const auto* bytes = reinterpret_cast<const char*>(utf8Bytes.data());
  const int units = MultiByteToWideChar(CP_UTF8, 0, bytes, count, nullptr, 0);
  if (units <= 0) return Text();
  ByteArray wideBytes(static_cast<std::size_t>(units) * 2);
  MultiByteToWideChar(CP_UTF8, 0, bytes, count, reinterpret_cast<wchar_t*>(wideBytes.data()),
                      units);
  return WideBytesToAnsi(wideBytes);
}

Text WideBytesToAnsi(const ByteArray& wideBytes) {
  const std::size_t capacity = wideBytes.size() / 2;
  std::wstring wide(capacity, L'\0');
  std::copy_n(wideBytes.data(), capacity * 2, reinterpret_cast<unsigned char*>(wide.data()));
  const int units = static_cast<int>(std::min(wide.find(L'\0'), capacity));
  if (units == 0) return Text();
  // Sized by asking first: two bytes per unit suffice for code page 936, not for every ANSI
  // code page.
  const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return Text();
  std::string ansi(static_cast<std::size_t>(size), '\0');
  const int written =
      WideCharToMultiByte(CP_ACP, 0, wide.data(), units, ansi.data(), size, nullptr, nullptr);
  return TextFromBytes(ansi.data(), static_cast<std::size_t>(std::max(written, 0)));
}

Text DecodePageText(const Text& pageText) { return Utf8BytesToAnsi(PercentDecode(pageText)); }

}  // namespace tonvia
