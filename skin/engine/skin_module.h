// The program's loader object for the skin engine and the steps built on it, behind the
// start-up and window-creation seams of skin/skin_binding.h. Win32 only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "skin/memory_module.h"
#include "text/text.h"

namespace tonvia {

// Present from StartSkinBinding until the exit hook destroys it; holds the engine once loaded.
extern std::optional<MemoryModule> SkinModule;

// Maps the carried engine image into SkinModule; a refused image leaves SkinModule empty.
void LoadSkinEngine();

// Calls the engine's SkinH_AttachRes with the skin bytes themselves (not a copy: the engine may
// keep the address), their length, the password's address or 0 when it is empty, the three
// integers and four zeros. Returns the engine's answer, or 0 without any call when the engine
// is not loaded or lacks the export.
std::uint32_t AttachSkin(const unsigned char* skin, std::size_t length, const Text& password = {},
                         std::uint32_t x = 0, std::uint32_t y = 0, std::uint32_t z = 0);

}  // namespace tonvia
