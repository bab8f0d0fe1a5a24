#include "detect/delete_folder_files.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "temp_folder.h"

namespace tonvia {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// cache\ holds a lyric file, a read-only file and a sub-folder with a file of its own; a file
// and a folder whose name begins like the cache folder's lie beside it.
void MakeCacheLayout(const TempFolder& root) {
  root.MakeFolder("cache");
  root.MakeFile("cache\\a.krc");
  root.MakeFile("cache\\ro.txt", true);
  root.MakeFolder("cache\\sub");
  root.MakeFile("cache\\sub\\inner.txt");
  root.MakeFile("beside.txt");
  root.MakeFile("cache-a.krc");
}

struct DeleteCase {
  const char* folder;  // relative to the temporary folder
  const char* pattern;
  std::vector<Text> cacheAfter;
};

TEST(DeleteFolderFiles, DeletesMatchingFilesOfTheFolderOnly) {
  const std::vector<Text> untouched = {"a.krc", "ro.txt", "sub"};
  const DeleteCase cases[] = {
      {"cache\\", "", {"sub"}},
      {"cache", "", {"sub"}},  // the separator is added
      {"cache", "a.krc", {"ro.txt", "sub"}},
      {"cache\\", "*.txt", {"a.krc", "sub"}},
      {"cache", "..\\*.*", untouched},  // a pattern reaching out of the folder
      {"cache", "C:*.*", untouched},
      {"missing\\", "", untouched},
  };
  for (const DeleteCase& c : cases) {
    SCOPED_TRACE(std::string(c.folder) + " | " + c.pattern);
    TempFolder root;
    MakeCacheLayout(root);
    DeleteFolderFiles(root.Path() + c.folder, c.pattern);
    EXPECT_EQ(root.List("cache\\"), c.cacheAfter);
    EXPECT_THAT(root.List("cache\\sub\\"), ElementsAre("inner.txt"));
    EXPECT_THAT(root.List(), ElementsAre("beside.txt", "cache", "cache-a.krc"));
  }
}

TEST(DeleteFolderFiles, FolderEndingInTwoByteCharacterWithBackslashByteGetsSeparator) {
  // "乗" is 81 5C: its second byte is not a separator, so "乗*.*" in the parent must not be used.
  TempFolder root;
  root.MakeFolder("乗");
  root.MakeFile("乗\\x.krc");
  root.MakeFile("乗x.krc");
  DeleteFolderFiles(root.Path() + "乗", "");
  EXPECT_THAT(root.List("乗\\"), IsEmpty());
  EXPECT_THAT(root.List(), ElementsAre("乗", "乗x.krc"));
}

TEST(DeleteFolderFiles, EmptyFolderTextDeletesNothing) {
  // Without the guard the specification would be "\*.*": the root of the current drive.
  TempFolder root;
  root.MakeFile("here.txt");
  char previous[MAX_PATH];
  GetCurrentDirectoryA(sizeof previous, previous);
  ASSERT_TRUE(SetCurrentDirectoryA(root.Path().c_str()));
  const Text probe = "\\tonvia-probe-" + std::to_string(GetCurrentProcessId()) + ".txt";
  HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);

  DeleteFolderFiles("", "");

  EXPECT_NE(GetFileAttributesA(probe.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_THAT(root.List(), ElementsAre("here.txt"));
  DeleteFileA(probe.c_str());
  SetCurrentDirectoryA(previous);
}

}  // namespace
}  // namespace tonvia
