// The skin engine image and the skin the program carries, generated at build time from the
// engine's DLL and the compiled skin source. Constant for the whole run.
#pragma once

#include <cstddef>

namespace tonvia {

extern const unsigned char SkinEngineImage[];
extern const std::size_t SkinEngineImageSize;

extern const unsigned char SkinFile[];
extern const std::size_t SkinFileSize;

}  // namespace tonvia
