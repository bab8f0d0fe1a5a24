#include "lookup/page_decode.h"

#include <gtest/gtest.h>

namespace tonvia {
namespace {

TEST(PageDecodeTest, PercentEscapedUtf8BecomesCodePage936) {
  struct Case {
    const char* page;
    const char* expected;
  };
  for (const Case& c : {Case{"%E5%9F%BA%E8%B0%83!", "基调!"}, Case{"%e5%9f%ba%e8%b0%83!", "基调!"},
                        Case{"\xE5\x9F\xBA\xE8\xB0\x83", "基调"},  // plain UTF-8, no escapes
                        Case{"<br/>a+b", "<br/>a+b"}, Case{"%41%00%42", "AB"}, Case{"", ""}}) {
    SCOPED_TRACE(c.page);
    EXPECT_EQ(DecodePageText(c.page), c.expected);
  }
}

TEST(PageDecodeTest, BytesEndingInAMultibyteCharacterConvertExactly) {
  // No terminator follows the last byte (0x83), and none may be read beyond it.
  const ByteArray utf8 = {'k', 0xE5, 0x9F, 0xBA, 0xE8, 0xB0, 0x83};
  EXPECT_EQ(Utf8BytesToAnsi(utf8), "k基调");
  EXPECT_EQ(DecodePageText("k%E5%9F%BA%E8%B0%83"), "k基调");
  EXPECT_EQ(Utf8BytesToAnsi({0x7F}), "\x7F");
}

TEST(PageDecodeTest, ConversionStopsAtTheFirstZero) {
  EXPECT_EQ(Utf8BytesToAnsi({'a', 0, 'b'}), "a");
  // "基" (U+57FA) then "A", with no terminating zero unit; then a unit string cut by a zero.
  EXPECT_EQ(WideBytesToAnsi({0xFA, 0x57, 'A', 0}), "基A");
  EXPECT_EQ(WideBytesToAnsi({'A', 0, 0, 0, 'B', 0}), "A");
  EXPECT_EQ(WideBytesToAnsi({'A', 0, 'B'}), "A");  // odd last byte ignored
}

}  // namespace
}  // namespace tonvia
