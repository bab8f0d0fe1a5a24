// A whole detection tick, from a lyric file in a real folder to the key text in the results box,
// against the local key-database site.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "detect/detection_tick.h"
#include "detect/memory_field_store.h"
#include "detect/tests/temp_folder.h"
#include "lookup/key_text.h"
#include "lookup/lookup_pass.h"
#include "lookup/tests/settings_file.h"
#include "lookup/tests/test_site.h"

namespace tonvia {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;

TEST(LookupTickTest, OneTickShowsTheKeyOfTheNewSongAndEmptiesTheFolder) {
  struct Case {
    const char* lyricFile;
    const char* results;
    const char* page;
  };
  for (const Case& c : {Case{"林晚舟 - 青石巷(Live).krc",
                             "\r\n\r\n《青石巷》 原唱：林晚舟 基调：C大调 "
                             "\r\n\r\n《青石巷》(Live版) 演唱：林晚舟 基调：D大调\n副歌升调后为D大调 ",
                             "<title>青石巷 - 电音基调库</title>"},
                        Case{"某人 - 没有这首歌(Live).krc", kNotFoundMessage, "<h1>404</h1>"}}) {
    SCOPED_TRACE(c.lyricFile);
    testing::SettingsFile settings(testing::TestSite().c_str());
    TempFolder folder;
    folder.MakeFile(c.lyricFile);
    MemoryFieldStore fields;
    fields.Write(Field::编辑框1, LeftText(folder.Path(), 1));
    fields.Write(Field::编辑框6, MiddleText(folder.Path(), 2, 1000));

    RunDetectionTick(fields, [&settings](FieldStore& tickFields, TickState& state) {
      RunLookupPass(tickFields, state, settings.path());
    });

    EXPECT_EQ(fields.Read(Field::编辑框2), c.results);
    EXPECT_THAT(fields.Read(Field::编辑框5), HasSubstr(c.page));
    EXPECT_THAT(folder.List(), IsEmpty());
  }
}

}  // namespace
}  // namespace tonvia
