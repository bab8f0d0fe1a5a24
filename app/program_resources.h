// The program's carried pictures: the icon and the tutorial picture.
#pragma once

#include <windows.h>

namespace tonvia {

// The program icon at the given square size (shared: never destroyed), or null.
HICON LoadProgramIcon(int size);

// The tutorial picture decoded into a 24-bit bitmap the caller owns, or null when the carried
// picture cannot be found or decoded.
HBITMAP LoadTutorialBitmap();

// Registers a window class of the program: arrow cursor, the default face colour and, when
// withIcon is true, the program icon as large and small icon. An already registered class
// counts as success.
bool RegisterProgramClass(HINSTANCE instance, const char* className, WNDPROC proc, bool withIcon);

}  // namespace tonvia
