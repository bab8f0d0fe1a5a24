// Empties the player's lyric cache folder so that the next lyric file to appear belongs to the
// next song. Win32 only; COM must be initialised on the calling thread.
#pragma once

#include "text/text.h"

namespace tonvia {

// Deletes, read-only ones included, the files of folder (with or without a trailing backslash)
// that match pattern ("*.*" when empty), through the scripting runtime's file system object.
// Every failure is silent. Nothing outside folder is touched: an empty folder text, or a
// pattern that reaches into another folder, deletes nothing; sub-folders are left alone.
void DeleteFolderFiles(const Text& folder, const Text& pattern);

}  // namespace tonvia
