// What the shell takes from outside: where the settings file lies and how the start-up warning
// is shown, so tests can point both elsewhere and never block on a modal box.
#pragma once

#include "lookup/lookup_pass.h"

namespace tonvia {

using WarningBox = void (*)(const char* text, const char* caption);

// The missing-settings warning as users see it: OK only, no icon, no owner, task-modal.
void ShowTaskModalWarning(const char* text, const char* caption);

struct ShellSettings {
  const char* settingsFile = kSettingsFile;
  WarningBox showWarning = ShowTaskModalWarning;
};

}  // namespace tonvia
