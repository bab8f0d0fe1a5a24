// Cuts the piece of a text that lies between a left and a right marker; the detection pass
// uses it to cut the song title out of a lyric file name.
#pragma once

#include "text/text.h"

namespace tonvia {

// The text between the first occurrence of leftMarker at or after startPosition (values below 1
// mean 1) and the first occurrence of rightMarker after it. The placeholder "#引号" in either
// marker stands for one double quote. Without matchCase, ASCII letters match regardless of case.
// Empty when either marker is not found.
Text TextBetween(const Text& source, const Text& leftMarker, const Text& rightMarker,
                 int startPosition, bool matchCase);

}  // namespace tonvia
