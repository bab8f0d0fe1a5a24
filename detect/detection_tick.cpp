#include "detect/detection_tick.h"

#include <windows.h>

#include "detect/delete_folder_files.h"
#include "detect/text_between.h"

namespace tonvia {
namespace {

// An open folder search, closed when it goes out of scope.
class FolderSearch {
 public:
  explicit FolderSearch(const Text& pattern)
      : handle_(FindFirstFileA(pattern.c_str(), &entry_)) {}
  ~FolderSearch() {
    if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
  }
  FolderSearch(const FolderSearch&) = delete;
  FolderSearch& operator=(const FolderSearch&) = delete;

  bool HasEntry() const { return handle_ != INVALID_HANDLE_VALUE && !done_; }
  const WIN32_FIND_DATAA& Entry() const { return entry_; }
  void Next() { done_ = !FindNextFileA(handle_, &entry_); }

 private:
  WIN32_FIND_DATAA entry_{};
  HANDLE handle_;
  bool done_ = false;
};

Text LyricFolder(const FieldStore& fields) {
  return fields.Read(Field::编辑框1) + fields.Read(Field::编辑框6);
}

Text LyricPattern(const FieldStore& fields) { return LyricFolder(fields) + "*.krc"; }

// Anything matching, folders included, counts.
bool AnyEntryMatches(const Text& pattern) { return FolderSearch(pattern).HasEntry(); }

// The bare name of the first plain file listed, or an empty text when only folders match.
Text FirstFileName(const Text& pattern) {
  for (FolderSearch search(pattern); search.HasEntry(); search.Next()) {
    const WIN32_FIND_DATAA& entry = search.Entry();
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      return TextFromBytes(entry.cFileName, sizeof entry.cFileName);
    }
  }
  return Text();
}

// Cuts the song title out of 全名 into 准确歌名, first up to the right marker, then, when that
// gives nothing, up to the second right marker.
void CutSongTitle(FieldStore& fields) {
  fields.Write(Field::准确歌名, TextBetween(fields.Read(Field::全名), fields.Read(Field::歌左边),
                                            fields.Read(Field::歌右边), 0, false));
  if (!fields.Read(Field::准确歌名).empty()) return;
  fields.Write(Field::准确歌名, TextBetween(fields.Read(Field::全名), fields.Read(Field::歌左边),
                                            fields.Read(Field::歌右边内容2), 0, false));
}

}  // namespace

void RunDetectionTick(FieldStore& fields, const LookupPass& lookup) {
  // Everything the tick creates lives in this frame, so a tick nested inside the lookup pass's
  // page fetch works on its own state and every path releases it.
  TickState state;

  if (!AnyEntryMatches(LyricPattern(fields))) return;
  // Only a folder matched, or the file went away since: no name to work on, so the tick leaves
  // the fields and the folder as they are.
  const Text fileName = FirstFileName(LyricPattern(fields));
  if (fileName.empty()) return;

  fields.Write(Field::全名, Text());
  fields.Append(Field::全名, fileName);
  fields.Write(Field::准确歌名, Text());
  CutSongTitle(fields);

  // Emptied whether or not a title was found, so the next file to appear is the next song's.
  DeleteFolderFiles(LyricFolder(fields), Text());

  if (!fields.Read(Field::准确歌名).empty() && lookup) lookup(fields, state);
}

}  // namespace tonvia
