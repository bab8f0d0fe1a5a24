#include "skin/memory_module.h"

#include <windows.h>

#include <optional>
#include <string>

#include "skin/call_address.h"
#include "skin/pe_image.h"

namespace tonvia {
namespace {

constexpr std::uint32_t kProcessDetach = 0;
constexpr std::uint32_t kProcessAttach = 1;

unsigned char* Bytes(std::uint32_t address) { return reinterpret_cast<unsigned char*>(address); }

// The readable committed memory of the reservation that starts at base, as a view; empty when
// base does not start a reservation (already released, or never ours), so that nothing is
// read outside live memory.
pe::MemoryView MappedView(std::uint32_t base) {
  std::uint64_t size = 0;
  MEMORY_BASIC_INFORMATION info;
  while (size < 0x80000000u &&
         VirtualQuery(Bytes(base + static_cast<std::uint32_t>(size)), &info, sizeof info) ==
             sizeof info &&
         info.AllocationBase == Bytes(base) && info.State == MEM_COMMIT &&
         (info.Protect & (PAGE_NOACCESS | PAGE_GUARD)) == 0) {
    size += info.RegionSize;
  }
  return pe::MemoryView(Bytes(base), static_cast<std::uint32_t>(size));
}

// Resolves one import: the resolver first, then GetProcAddress. A library that failed to load
// resolves nothing through GetProcAddress (a null handle would search our own executable).
std::uint32_t ResolveImport(std::uint32_t base, HMODULE library, std::uint32_t libraryName,
                            const pe::Import& import, std::uint32_t resolver,
                            std::uint32_t resolverData) {
  const std::string ordinalText = std::to_string(import.ordinal);
  const std::uint32_t procedureName =
      import.byOrdinal ? reinterpret_cast<std::uint32_t>(ordinalText.c_str())
                       : base + import.nameRva;
  std::uint32_t address = 0;
  if (resolver != 0) address = CallAddress(resolver, libraryName, procedureName, resolverData);
  if (address == 0 && library != nullptr) {
    const char* procedure = import.byOrdinal ? MAKEINTRESOURCEA(import.ordinal)
                                             : reinterpret_cast<const char*>(procedureName);
    address = reinterpret_cast<std::uint32_t>(GetProcAddress(library, procedure));
  }
  return address;
}

// Binds every import of the mapped image; stops at the first unresolved one. Libraries loaded
// here stay loaded.
bool ResolveImports(std::uint32_t base, pe::MemoryView& image, const pe::Headers& headers,
                    std::uint32_t resolver, std::uint32_t resolverData) {
  const auto libraries = pe::ReadImports(image, headers.imports);
  if (!libraries) return false;
  for (const pe::ImportLibrary& library : *libraries) {
    const std::uint32_t libraryName = base + library.nameRva;
    const HMODULE handle = LoadLibraryA(reinterpret_cast<const char*>(libraryName));
    for (const pe::Import& import : library.imports) {
      const std::uint32_t address =
          ResolveImport(base, handle, libraryName, import, resolver, resolverData);
      if (address == 0) return false;
      image.Write32(import.thunkRva, address);
    }
  }
  return true;
}

// A DLL's entry point; 0 when the image has none to call (not a DLL, or AddressOfEntryPoint 0,
// which would call the DOS header).
std::uint32_t DllEntry(std::uint32_t base, const pe::Headers& headers) {
  return headers.IsDll() && headers.entryPoint != 0 ? base + headers.entryPoint : 0;
}

}  // namespace

std::uint32_t AllocateImage(std::uint32_t preferredBase, std::uint32_t size) {
  constexpr DWORD kType = MEM_COMMIT | MEM_RESERVE;
  void* memory = VirtualAlloc(Bytes(preferredBase), size, kType, PAGE_EXECUTE_READWRITE);
  if (memory == nullptr) memory = VirtualAlloc(nullptr, size, kType, PAGE_EXECUTE_READWRITE);
  return reinterpret_cast<std::uint32_t>(memory);
}

bool ReleaseImage(std::uint32_t base) { return VirtualFree(Bytes(base), 0, MEM_RELEASE) != 0; }

std::uint32_t MapImage(const unsigned char* image, std::size_t length, std::uint32_t resolver,
                       std::uint32_t resolverData) {
  // Every check, the relocation, import and export structures included, comes before the
  // reservation, so a rejected image leaves nothing allocated.
  const std::optional<pe::Headers> headers = pe::CheckImage(image, length);
  if (!headers) return 0;
  const std::uint32_t base = AllocateImage(headers->imageBase, headers->sizeOfImage);
  if (base == 0) return 0;
  pe::CopyImage(image, *headers, Bytes(base));
  pe::MemoryView mapped(Bytes(base), headers->sizeOfImage);
  // The walks over the mapped image check their bounds again: relocation may have changed it.
  const bool relocated = static_cast<std::int32_t>(headers->relocations.size) <= 0 ||
                         pe::ApplyRelocations(mapped, *headers, base);
  if (!relocated || !ResolveImports(base, mapped, *headers, resolver, resolverData)) {
    ReleaseImage(base);
    return 0;
  }
  const std::uint32_t entry = DllEntry(base, *headers);
  if (entry == 0 || CallAddress(entry, 0, kProcessAttach, 0) != 0) return base;
  CallAddress(entry, 0, kProcessDetach, 0);
  ReleaseImage(base);
  return 0;
}

bool UnloadImage(std::uint32_t base) {
  const std::optional<pe::Headers> headers = pe::ReadMappedHeaders(MappedView(base));
  if (!headers) return false;
  if (const std::uint32_t entry = DllEntry(base, *headers)) {
    CallAddress(entry, 0, kProcessDetach, 0);
  }
  return ReleaseImage(base);
}

std::uint32_t LookupExport(std::uint32_t base, const Text& nameOrOrdinal) {
  const pe::MemoryView image = MappedView(base);
  const std::optional<pe::Headers> headers = pe::ReadMappedHeaders(image);
  if (!headers) return 0;
  const std::uint32_t rva = pe::LookupExportRva(image, headers->exports, nameOrOrdinal);
  return rva == 0 ? 0 : base + rva;
}

std::uint32_t ReadEntryPoint(std::uint32_t base) {
  const std::optional<pe::Headers> headers = pe::ReadMappedHeaders(MappedView(base));
  return headers ? base + headers->entryPoint : 0;
}

bool MemoryModule::Load(const unsigned char* image, std::size_t length, ImportResolver resolver,
                        std::uint32_t resolverData) {
  if (base_ != 0) Unload();
  base_ = MapImage(image, length, reinterpret_cast<std::uint32_t>(resolver), resolverData);
  return base_ != 0;
}

bool MemoryModule::Unload() {
  if (base_ != 0 && UnloadImage(base_)) base_ = 0;
  return base_ == 0;
}

std::uint32_t MemoryModule::FindExport(const Text& nameOrOrdinal) const {
  return base_ == 0 ? 0 : LookupExport(base_, nameOrOrdinal);
}

std::uint32_t MemoryModule::GetEntryPoint() const {
  return base_ == 0 ? 0 : ReadEntryPoint(base_);
}

}  // namespace tonvia
