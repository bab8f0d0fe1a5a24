// The start routine: COM, the skin engine, the main window, the message loop and the exit
// routines, in that order.
#pragma once

#include "app/shell_settings.h"

namespace tonvia {

// Runs the system until its last window is closed; returns 0.
int RunTonvia(const ShellSettings& settings);

}  // namespace tonvia
