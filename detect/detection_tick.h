// One detection tick: the song detection pass over the lyric cache folder, continued by the
// lookup pass when a song title was found.
#pragma once

#include <functional>

#include "detect/fields.h"

namespace tonvia {

// Per-tick state that the lookup pass fills; created empty at the start of every tick and
// released at its end, whatever path the tick takes.
struct TickState {
  TextArray keyTexts;
  Text joinedKeyText;
};

// The second half of a tick, run only when the song-title field is not empty.
using LookupPass = std::function<void(FieldStore& fields, TickState& state)>;

// Runs one detection tick on the fields. Win32 only (folder search and file deletion).
void RunDetectionTick(FieldStore& fields, const LookupPass& lookup);

}  // namespace tonvia
