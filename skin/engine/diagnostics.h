/* What the engine records about the calls it receives, read by tests through the export
   SkinH_Diagnostics. The program itself never calls that export. */
#ifndef TONVIA_SKIN_ENGINE_DIAGNOSTICS_H
#define TONVIA_SKIN_ENGINE_DIAGNOSTICS_H

#include <stdint.h>

typedef struct SkinEngineDiagnostics {
  uint32_t entryCalls;          /* calls of the entry point, any reason */
  uint32_t lastEntryReason;
  uint32_t attachCalls;         /* calls of SkinH_AttachRes */
  uint32_t lastSkinAddress;     /* its first argument */
  uint32_t lastSkinLength;      /* its second argument */
  uint32_t lastPasswordAddress; /* its third argument */
  uint32_t lastResult;          /* what it returned */
  uint32_t dressedWindows;      /* windows subclassed so far */
} SkinEngineDiagnostics;

#endif
