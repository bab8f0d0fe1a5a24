// The program's carried pictures: the icon and the tutorial picture.
#pragma once

#include <windows.h>

namespace tonvia {

// The program icon at the given square size (shared: never destroyed), or null.
HICON LoadProgramIcon(int size);

// The tutorial picture decoded into a 24-bit bitmap the caller owns, or null when the carried
// picture cannot be found or decoded.
HBITMAP LoadTutorialBitmap();

}  // namespace tonvia
