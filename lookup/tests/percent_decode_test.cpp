#include "lookup/percent_decode.h"

#include <gtest/gtest.h>

namespace tonvia {
namespace {

struct DecodeCase {
  const char* page;
  ByteArray expected;
};

TEST(PercentDecode, DecodesEscapesAndCopiesOtherBytes) {
  const ByteArray keyWordUtf8 = {0xE5, 0x9F, 0xBA, 0xE8, 0xB0, 0x83, '!'};
  const DecodeCase cases[] = {
      {"%E5%9F%BA%E8%B0%83!", keyWordUtf8},
      {"%e5%9f%ba%e8%b0%83!", keyWordUtf8},
      {"%E5%9f%Ba%e8%B0%83!", keyWordUtf8},
      {"\xE5\x9F\xBA\xE8\xB0\x83!", keyWordUtf8},  // unescaped UTF-8 passes through
      {"a+b", {'a', '+', 'b'}},
      {"%41%00%42", {'A', 'B'}},                     // a decoded zero byte adds nothing
      {"%25%2541", {'%', '%', '4', '1'}},            // decoded "%" is not decoded again
      {"", {}},
  };
  for (const DecodeCase& c : cases) {
    SCOPED_TRACE(c.page);
    EXPECT_EQ(PercentDecode(c.page), c.expected);
  }
}

// A "%" without two hex digits takes itself and up to two more bytes; non-digits count -2,
// digits missing at the end count 0, and the byte is taken modulo 256.
TEST(PercentDecode, BrokenEscapesStayInsideTheText) {
  const DecodeCase cases[] = {
      {"%", {}},
      {"ab%", {'a', 'b'}},
      {"ab%4", {'a', 'b', '@'}},                    // 4 * 16 + 0
      {"ab%40", {'a', 'b', '@'}},
      {"%G1x", {0xE1, 'x'}},                        // -2 * 16 + 1 = -31
      {"100% pure", {'1', '0', '0', 0xDE, 'u', 'r', 'e'}},  // -2 * 16 - 2 = -34
      {"%4%41", {'>', '4', '1'}},                   // 4 * 16 - 2 = 62
      {"%0", {}},                                   // yields 0: nothing
  };
  for (const DecodeCase& c : cases) {
    SCOPED_TRACE(c.page);
    EXPECT_EQ(PercentDecode(c.page), c.expected);
  }
}

}  // namespace
}  // namespace tonvia
