#include "lookup/lookup_pass.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include "detect/memory_field_store.h"
#include "lookup/key_text.h"
#include "lookup/site_address.h"
#include "lookup/tests/settings_file.h"
#include "lookup/tests/test_site.h"

namespace tonvia {
namespace {

using ::testing::AnyOf;
using ::testing::HasSubstr;
using testing::LastRequest;
using testing::ResetRequestLog;
using testing::SettingsFile;
using testing::TestSite;

struct LookupRun {
  Text results;
  Text page;
  int resultWrites = 0;
};

LookupRun RunLookup(const Text& title, const char* site) {
  SettingsFile settings(site);
  MemoryFieldStore fields;
  fields.Write(Field::准确歌名, title);
  fields.Write(Field::编辑框5, "previous page");
  LookupRun run;
  fields.OnChanged(Field::编辑框2, [&run] { ++run.resultWrites; });
  TickState state;
  RunLookupPass(fields, state, settings.path());
  run.results = fields.Read(Field::编辑框2);
  run.page = fields.Read(Field::编辑框5);
  return run;
}

TEST(LookupPassTest, KnownSongShowsItsKeyParagraphsFormatted) {
  struct Case {
    const char* title;
    const char* results;
  };
  for (const Case& c : {
           Case{"青石巷",
                "\r\n\r\n《青石巷》 原唱：林晚舟 基调：C大调 "
                "\r\n\r\n《青石巷》(Live版) 演唱：林晚舟 基调：D大调\n副歌升调后为D大调 "},
           Case{"晚风 七月",  // a blank in the title goes into the address unescaped
                "\r\n\r\n《晚风 七月》 原唱：许念安 基调：F大调 "
                "\r\n\r\n《晚风 七月》(Live版) 演唱：许念安 基调：G大调\n副歌升调后为G大调 "},
           Case{"海盐与风",  // a page served percent-escaped
                "\r\n\r\n《海盐与风》 原唱：秦若溪 基调：G大调 "}}) {
    SCOPED_TRACE(c.title);
    const LookupRun run = RunLookup(c.title, TestSite().c_str());
    EXPECT_EQ(run.results, c.results);
    EXPECT_THAT(run.page, HasSubstr(Text("<title>") + c.title + " - 电音基调库</title>"));
    EXPECT_EQ(run.resultWrites, 2);
  }
}

TEST(LookupPassTest, RequestsTheSongPageByItsTitle) {
  RunLookup("青石巷", (TestSite() + "/").c_str());
  // The title goes into the address unescaped; whether the client layer then sends its code
  // page 936 bytes as they are or percent-encoded is its own business.
  EXPECT_THAT(LastRequest().requestLine,
              AnyOf("GET /dianyin_青石巷.html HTTP/1.1",
                    "GET /dianyin_%C7%E0%CA%AF%CF%EF.html HTTP/1.1"));
}

TEST(LookupPassTest, NothingFoundShowsTheMessage) {
  struct Case {
    const char* title;
    Text site;
    const char* page;
  };
  for (const Case& c : {Case{"没有这首歌", TestSite(), "<h1>404</h1>"},
                        Case{"无名的信", TestSite(), "暂无人分享"},  // page without a key
                        Case{"青石巷", "http://127.0.0.1:1", ""}}) {  // site unreachable
    SCOPED_TRACE(c.title);
    const LookupRun run = RunLookup(c.title, c.site.c_str());
    EXPECT_EQ(run.results, kNotFoundMessage);
    EXPECT_EQ(run.resultWrites, 3);
    if (*c.page) {
      EXPECT_THAT(run.page, HasSubstr(c.page));
    } else {
      EXPECT_EQ(run.page, "");
    }
  }
}

TEST(LookupPassTest, EmptyTitleMakesNoRequestAndChangesNothing) {
  ResetRequestLog();
  SettingsFile settings(TestSite().c_str());
  MemoryFieldStore fields;
  fields.Write(Field::准确歌名, "");
  fields.Write(Field::编辑框2, "previous results");
  fields.Write(Field::编辑框5, "previous page");
  TickState state;
  RunLookupPass(fields, state, settings.path());
  EXPECT_EQ(fields.Read(Field::编辑框2), "previous results");
  EXPECT_EQ(fields.Read(Field::编辑框5), "previous page");
  EXPECT_EQ(LastRequest().requestLine, "");
}

TEST(SiteAddressTest, BaseAddressFromSettingsOrTheDefault) {
  struct Case {
    const char* setting;  // nullptr: the file is missing
    const char* expected;
  };
  for (const Case& c : {Case{nullptr, "http://127.0.0.1:8976"}, Case{"", "http://127.0.0.1:8976"},
                        Case{"http://keys.example:81/", "http://keys.example:81"},
                        Case{"http://keys.example", "http://keys.example"}}) {
    SCOPED_TRACE(c.setting ? c.setting : "(no file)");
    SettingsFile settings(c.setting);
    EXPECT_EQ(SiteBaseAddress(settings.path()), c.expected);
  }
  EXPECT_EQ(SongPageAddress("http://h", "歌 名"), "http://h/dianyin_歌 名.html");
}

}  // namespace
}  // namespace tonvia
