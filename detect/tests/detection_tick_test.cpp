#include "detect/detection_tick.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "detect/memory_field_store.h"
#include "temp_folder.h"

namespace tonvia {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A window whose lyric cache folder is a temporary folder: 编辑框1 holds its drive letter and
// 编辑框6 the rest of its path. The lookup pass records the titles it is called with.
class DetectionTickTest : public ::testing::Test {
 protected:
  DetectionTickTest() {
    fields_.Write(Field::编辑框1, LeftText(folder_.Path(), 1));
    fields_.Write(Field::编辑框6, MiddleText(folder_.Path(), 2, 1000));
  }

  void Tick() {
    RunDetectionTick(fields_, [this](FieldStore& fields, TickState& state) {
      EXPECT_TRUE(state.keyTexts.empty());
      EXPECT_TRUE(state.joinedKeyText.empty());
      lookups_.push_back(fields.Read(Field::准确歌名));
    });
  }

  TempFolder folder_;
  MemoryFieldStore fields_;
  std::vector<Text> lookups_;
};

struct TickCase {
  const char* what;
  std::vector<Text> files;
  std::vector<Text> folders;
  const char* fullName;  // expected 全名
  const char* title;     // expected 准确歌名, and the lookup's title when not empty
  std::vector<Text> left;
};

TEST_F(DetectionTickTest, CutsTitleAndEmptiesFolder) {
  const TickCase cases[] = {
      {"first attempt", {"周杰伦 - 晴天(Live).krc"}, {}, "周杰伦 - 晴天(Live).krc", "晴天", {}},
      {"second attempt", {"周杰伦 - 晴天-1a2b.krc"}, {}, "周杰伦 - 晴天-1a2b.krc", "晴天", {}},
      {"no left marker", {"晴天.krc"}, {}, "晴天.krc", "", {}},
      {"no right marker", {"Artist - Title.krc"}, {}, "Artist - Title.krc", "", {}},
      {"other files go too, sub-folders stay",
       {"A - x(1).krc", "cover.jpg", "notes.txt"}, {"sub"}, "A - x(1).krc", "x", {"sub"}},
  };
  for (const TickCase& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder folder;
    for (const Text& name : c.folders) folder.MakeFolder(name);
    for (const Text& name : c.files) folder.MakeFile(name);
    fields_.Write(Field::编辑框6, MiddleText(folder.Path(), 2, 1000));
    fields_.Write(Field::全名, "old name");
    fields_.Write(Field::准确歌名, "old");
    lookups_.clear();

    Tick();

    EXPECT_EQ(fields_.Read(Field::全名), c.fullName);
    EXPECT_EQ(fields_.Read(Field::准确歌名), c.title);
    EXPECT_EQ(folder.List(), c.left);
    if (*c.title) {
      EXPECT_THAT(lookups_, ElementsAre(c.title));
    } else {
      EXPECT_THAT(lookups_, IsEmpty());
    }
  }
}

TEST_F(DetectionTickTest, FindsNothingLeavesFieldsAndFolderAlone) {
  struct NothingCase {
    const char* what;
    std::vector<Text> files;
    std::vector<Text> folders;
    Text drive;   // 编辑框1
    Text suffix;  // appended to the folder's path after the drive letter
  };
  const Text ownDrive = LeftText(folder_.Path(), 1);
  const NothingCase cases[] = {
      {"no lyric file", {"cover.jpg", "notes.txt"}, {}, ownDrive, ""},
      {"only a folder matches", {"notes.txt"}, {"dir.krc"}, ownDrive, ""},
      {"empty drive letter", {"A - x(1).krc"}, {}, "", ""},
      {"drive letter with colon", {"A - x(1).krc"}, {}, ownDrive + ":", ""},
      {"missing folder", {"A - x(1).krc"}, {}, ownDrive, "missing\\"},
  };
  for (const NothingCase& c : cases) {
    SCOPED_TRACE(c.what);
    for (const Text& name : c.folders) folder_.MakeFolder(name);
    for (const Text& name : c.files) folder_.MakeFile(name);
    const std::vector<Text> before = folder_.List();
    fields_.Write(Field::编辑框1, c.drive);
    fields_.Write(Field::编辑框6, MiddleText(folder_.Path(), 2, 1000) + c.suffix);
    fields_.Write(Field::全名, "old name");
    fields_.Write(Field::准确歌名, "old");

    Tick();

    EXPECT_EQ(fields_.Read(Field::全名), "old name");
    EXPECT_EQ(fields_.Read(Field::准确歌名), "old");
    EXPECT_EQ(folder_.List(), before);
    EXPECT_THAT(lookups_, IsEmpty());
    for (const Text& name : c.files) DeleteFileA((folder_.Path() + name).c_str());
    for (const Text& name : c.folders) RemoveDirectoryA((folder_.Path() + name).c_str());
  }
}

TEST_F(DetectionTickTest, WritesFieldsInPassOrderAndNextTickFindsFolderEmpty) {
  std::vector<std::pair<Field, Text>> writes;
  for (Field field : {Field::全名, Field::准确歌名}) {
    fields_.OnChanged(field, [&, field] { writes.emplace_back(field, fields_.Read(field)); });
  }
  folder_.MakeFile("周杰伦 - 晴天-1a2b.krc");

  Tick();
  Tick();

  const std::vector<std::pair<Field, Text>> expected = {
      {Field::全名, ""},
      {Field::全名, "周杰伦 - 晴天-1a2b.krc"},
      {Field::准确歌名, ""},
      {Field::准确歌名, ""},  // first attempt finds no "("
      {Field::准确歌名, "晴天"},
  };
  EXPECT_EQ(writes, expected);
  EXPECT_THAT(lookups_, ElementsAre("晴天"));
  EXPECT_THAT(folder_.List(), IsEmpty());
}

TEST_F(DetectionTickTest, TwoLyricFilesUseTheFirstListedAndDeleteBoth) {
  folder_.MakeFile("A - x(1).krc");
  folder_.MakeFile("B - y(2).krc");

  Tick();

  // Which one is listed first is the file system's choice.
  const Text fullName = fields_.Read(Field::全名);
  EXPECT_TRUE(fullName == "A - x(1).krc" || fullName == "B - y(2).krc") << fullName;
  EXPECT_EQ(fields_.Read(Field::准确歌名), fullName == "A - x(1).krc" ? "x" : "y");
  EXPECT_THAT(lookups_, ElementsAre(fields_.Read(Field::准确歌名)));
  EXPECT_THAT(folder_.List(), IsEmpty());
}

}  // namespace
}  // namespace tonvia
