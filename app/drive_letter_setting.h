// The player's drive letter, kept in the settings file under section "酷狗", key "酷狗盘符".
// The field 编辑框1 is the working copy; the file is read once at start-up and rewritten on
// every change of the field.
#pragma once

#include "detect/fields.h"

namespace tonvia {

// Reads the stored letter (empty when the file, section or key is missing) and writes it into
// 编辑框1, replacing the initial text in every case.
void LoadDriveLetter(FieldStore& fields, const char* settingsFile);

// Stores the text of 编辑框1 (an empty text as an empty value; the key is never removed).
// A failed write is ignored.
void SaveDriveLetter(const FieldStore& fields, const char* settingsFile);

// True when any directory entry of that name exists (a folder counts too).
bool SettingsFileExists(const char* settingsFile);

}  // namespace tonvia
