/* Imports ordinal 5 of ordinal_source.dll and passes its result on. */
#include <windows.h>

__declspec(dllimport) int SourceFive(void);

BOOL WINAPI UserEntry(HINSTANCE module, DWORD reason, LPVOID reserved) {
  (void)module;
  (void)reason;
  (void)reserved;
  return TRUE;
}

__declspec(dllexport) int UserCallsFive(void) { return SourceFive(); }
