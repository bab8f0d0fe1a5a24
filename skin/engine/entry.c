/* Entry point and exports of the skin engine, a DLL built without the C runtime so that the
   program's in-memory loader can map it. It never uses its module handle: the loader passes 0. */
#include <windows.h>

#include "diagnostics.h"
#include "dressing.h"
#include "skin_format.h"

static SkinEngineDiagnostics g_diagnostics;

BOOL WINAPI SkinEntry(HINSTANCE module, DWORD reason, LPVOID reserved) {
  (void)module, (void)reserved;
  ++g_diagnostics.entryCalls;
  g_diagnostics.lastEntryReason = reason;
  return TRUE;
}

/* Applies the skin at skin[0, length) to the calling thread's windows, present and future.
   The password and the three integers are accepted for the calling convention's sake; this
   skin format is neither encrypted nor tinted, so they are not used. Returns 1 when the skin
   was applied, 0 when it is malformed or the windows cannot be hooked (nothing changes then). */
uint32_t WINAPI SkinH_AttachRes(const unsigned char* skin, uint32_t length, const char* password,
                                uint32_t a, uint32_t b, uint32_t c, uint32_t z1, uint32_t z2,
                                uint32_t z3, uint32_t z4) {
  (void)a, (void)b, (void)c, (void)z1, (void)z2, (void)z3, (void)z4;
  ++g_diagnostics.attachCalls;
  g_diagnostics.lastSkinAddress = (uint32_t)(UINT_PTR)skin;
  g_diagnostics.lastSkinLength = length;
  g_diagnostics.lastPasswordAddress = (uint32_t)(UINT_PTR)password;
  Skin parsed;
  const uint32_t result = ParseSkin(skin, length, &parsed) && DressThreadWindows(&parsed);
  g_diagnostics.lastResult = result;
  return result;
}

const SkinEngineDiagnostics* WINAPI SkinH_Diagnostics(void) {
  g_diagnostics.dressedWindows = DressedWindowCount();
  return &g_diagnostics;
}
