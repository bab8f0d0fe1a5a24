// The binding of the carried skin engine: loaded from memory at start-up, attached to the
// windows when the main window is created, left mapped at exit. Win32 only.
#pragma once

#include <cstdint>

namespace tonvia {

using ExitRoutine = void (*)();

// Start-up steps, after COM and before any window: creates the global SkinModule empty,
// registers the exit hook through registerExitRoutine, and loads the carried engine.
void StartSkinBinding(void (*registerExitRoutine)(ExitRoutine));

// First step of the main window's creation handler: applies the carried skin.
void AttachCarriedSkin();

}  // namespace tonvia
