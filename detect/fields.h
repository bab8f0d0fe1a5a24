// The main window's edit boxes that the passes read and write, addressed by their control names,
// and the store through which the passes reach them. The window's fields are the passes' only
// shared store: every parameter is read from a field when it is needed, and every intermediate
// result is written into a field and read back from it.
#pragma once

#include <functional>

#include "text/text.h"

namespace tonvia {

enum class Field {
  编辑框1,      // drive letter of the player's folder
  编辑框6,      // path suffix of the lyric cache folder
  歌左边,       // left marker of the song title
  歌右边,       // right marker of the song title
  歌右边内容2,  // fallback right marker of the song title
  歌右边内容3,  // a third right-side text, read by nothing
  全名,         // full name of the lyric file found
  准确歌名,     // the detected song title
  编辑框5,      // decoded page text
  编辑框3,      // prefix marker of a key paragraph
  编辑框4,      // suffix marker of a key paragraph
  编辑框2,      // results box
};

inline constexpr Field kAllFields[] = {
    Field::编辑框1, Field::编辑框6, Field::歌左边,  Field::歌右边,  Field::歌右边内容2, Field::歌右边内容3,
    Field::全名,    Field::准确歌名, Field::编辑框5, Field::编辑框3, Field::编辑框4,      Field::编辑框2,
};

// The text a field holds when the main window is created.
const char* InitialFieldText(Field field);

// The control name of a field, in code page 936 bytes.
const char* FieldName(Field field);

class FieldStore {
 public:
  virtual ~FieldStore() = default;
  // The text the field shows at this moment.
  virtual Text Read(Field field) const = 0;
  // Replaces the whole text, then raises the field's text-changed event exactly once, also
  // when the text is unchanged.
  virtual void Write(Field field, const Text& text) = 0;
  // Adds text at the end (no undo record) and raises the text-changed event once.
  virtual void Append(Field field, const Text& text) = 0;
};

}  // namespace tonvia
