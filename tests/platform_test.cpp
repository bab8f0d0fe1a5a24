// The tests run where Tonvia's users run it: a Windows whose ANSI code page is 936.
#include <windows.h>

#include <gtest/gtest.h>

TEST(Platform, AnsiCodePageIs936) { EXPECT_EQ(GetACP(), 936u); }

TEST(Platform, NarrowLiteralsAreCodePage936) {
  const char keyWord[] = "基调";
  EXPECT_STREQ(keyWord, "\xBB\xF9\xB5\xF7");
}
