/* Exports one function by ordinal only (5), for a DLL that imports it by ordinal. */
#include <windows.h>

BOOL WINAPI SourceEntry(HINSTANCE module, DWORD reason, LPVOID reserved) {
  (void)module;
  (void)reason;
  (void)reserved;
  return TRUE;
}

int SourceFive(void) { return 5005; }
