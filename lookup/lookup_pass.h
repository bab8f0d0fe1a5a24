// The lookup pass: from the detected song title in 准确歌名 to the key text in the results box
// 编辑框2, or the not-found message.
#pragma once

#include "detect/detection_tick.h"

namespace tonvia {

// The settings file that holds the player's drive letter and the key-database site's address.
inline constexpr char kSettingsFile[] = "C:\\vazada.ini";

// Runs the lookup pass on the fields, reading the site's base address from settingsFile.
// Win32 only.
void RunLookupPass(FieldStore& fields, TickState& state, const char* settingsFile = kSettingsFile);

}  // namespace tonvia
