// A 32-bit DLL image loaded from a byte array into the process without the system loader:
// checked, mapped, relocated, bound, its entry point called; later its exports looked up and
// the image unloaded. Win32 only; the parsing lives in skin/pe_image.h.
#pragma once

#include <cstddef>
#include <cstdint>

#include "text/text.h"

namespace tonvia {

// Optional import resolver, called for every import before GetProcAddress is tried, with ten
// 32-bit stack arguments: the address of the library's name, the address of the procedure's
// name (for an import by ordinal a temporary text of the ordinal in decimal digits), the
// resolverData given to Load, then seven zeros. Returns the procedure's address, or 0 to let
// GetProcAddress decide.
using ImportResolver = std::uint32_t(__attribute__((stdcall)) *)(
    std::uint32_t libraryName, std::uint32_t procedureName, std::uint32_t resolverData,
    std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
    std::uint32_t);

// Holds only the base address of one mapped image; 0 while empty. Copies (Clone) share the
// image; destroying the object leaves the image mapped.
class MemoryModule {
 public:
  MemoryModule() = default;

  // Unloads a held image first (its result ignored), then maps the image. The bytes may be
  // released once Load returns. False, with the object empty and nothing mapped, when the image
  // is rejected, an import stays unresolved or the entry point refuses the attach call.
  bool Load(const unsigned char* image, std::size_t length, ImportResolver resolver = nullptr,
            std::uint32_t resolverData = 0);

  // Detach call (DLL images) and release. True when the object holds no image afterwards; an
  // empty object returns true and does nothing.
  bool Unload();

  // Address of an export given by name (case-sensitive) or by ordinal in plain decimal digits
  // ("6", not "06" or "+6"); 0 when empty or not found.
  std::uint32_t FindExport(const Text& nameOrOrdinal) const;

  // base + AddressOfEntryPoint, 0 when empty.
  std::uint32_t GetEntryPoint() const;

  std::uint32_t GetBase() const { return base_; }

  // A second object referring to the same mapped image.
  MemoryModule Clone() const { return *this; }

  // Does nothing to the image: no detach call, no release.
  void Destroy() {}

 private:
  std::uint32_t base_ = 0;
};

// The steps of a load and of an unload, over the mapped image at base.
std::uint32_t MapImage(const unsigned char* image, std::size_t length, std::uint32_t resolver,
                       std::uint32_t resolverData);
std::uint32_t AllocateImage(std::uint32_t preferredBase, std::uint32_t size);
bool ReleaseImage(std::uint32_t base);
bool UnloadImage(std::uint32_t base);
std::uint32_t LookupExport(std::uint32_t base, const Text& nameOrOrdinal);
std::uint32_t ReadEntryPoint(std::uint32_t base);

}  // namespace tonvia
