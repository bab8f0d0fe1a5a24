// Checks and walks of 32-bit PE images over explicit bounds. Portable: nothing here reserves
// memory for an image, loads a library or calls into an image, so all of it runs natively.
//
// Every range test is written so that it cannot overflow, every count the image states is
// capped, and every walk reads through an ImageView that refuses ranges outside its bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "text/text.h"

namespace tonvia::pe {

inline constexpr std::size_t kDosHeaderSize = 64;
inline constexpr std::size_t kNtHeadersSize = 248;
inline constexpr std::size_t kSectionHeaderSize = 40;

// Caps on what an image may state; the loader rejects an image beyond them.
inline constexpr int kMaxSections = 96;
inline constexpr std::uint32_t kMaxImportLibraries = 4096;
inline constexpr std::uint32_t kMaxImportsPerLibrary = 65536;
inline constexpr std::uint32_t kMaxExports = 65536;
inline constexpr std::uint32_t kMaxNameLength = 1024;

inline constexpr std::uint16_t kExecutableImage = 0x0002;
inline constexpr std::uint16_t kDll = 0x2000;

struct Directory {
  std::uint32_t virtualAddress = 0;
  std::uint32_t size = 0;
};

struct Section {
  std::int32_t virtualAddress = 0;
  std::uint32_t virtualSize = 0;
  std::int32_t sizeOfRawData = 0;
  std::int32_t pointerToRawData = 0;

  // Sections with raw data and a non-zero address are copied; the others stay zero-filled.
  bool IsCopied() const { return sizeOfRawData > 0 && virtualAddress != 0; }
};

struct Headers {
  std::uint32_t ntOffset = 0;  // e_lfanew
  std::uint16_t characteristics = 0;
  std::uint32_t entryPoint = 0;  // AddressOfEntryPoint
  std::uint32_t imageBase = 0;
  std::int32_t sectionAlignment = 0;
  // The header's own value when read from a mapped image; raised to the highest rounded section
  // end when checked from a byte array (the size to reserve).
  std::uint32_t sizeOfImage = 0;
  std::uint32_t headersSize = 0;  // DOS header and stub, NT headers, section table
  Directory exports;
  Directory imports;
  Directory relocations;
  std::vector<Section> sections;

  bool IsDll() const { return (characteristics & kDll) != 0; }
};

// alignment * floor((value + alignment - 1) / alignment), for alignment > 0.
std::int64_t AlignUp(std::int64_t value, std::int64_t alignment);

// Read-only access to the bytes of an image laid out as mapped, addressed by RVA.
class ImageView {
 public:
  virtual ~ImageView() = default;
  virtual std::uint32_t Size() const = 0;
  // Copies count bytes at rva into out; false, copying nothing, when any of them lies outside.
  virtual bool Read(std::uint32_t rva, void* out, std::size_t count) const = 0;

  bool Contains(std::uint32_t rva, std::uint64_t count) const {
    return count <= Size() && rva <= Size() - count;
  }
  std::optional<std::uint32_t> Read32(std::uint32_t rva) const;
  std::optional<std::uint16_t> Read16(std::uint32_t rva) const;
  // The NUL-terminated text at rva, or nothing when no NUL comes within kMaxNameLength bytes or
  // before the end of the view.
  std::optional<Text> ReadName(std::uint32_t rva) const;
};

// The mapped image in memory (or any buffer laid out like it).
class MemoryView : public ImageView {
 public:
  MemoryView(unsigned char* bytes, std::uint32_t size) : bytes_(bytes), size_(size) {}
  std::uint32_t Size() const override { return size_; }
  bool Read(std::uint32_t rva, void* out, std::size_t count) const override;
  bool Write32(std::uint32_t rva, std::uint32_t value);

 private:
  unsigned char* bytes_;
  std::uint32_t size_;
};

// The image as MapImage will lay it out, read straight from the byte array: the header copy,
// the copied sections, zeros elsewhere. Needs headers accepted by ReadFileHeaders.
class FileView : public ImageView {
 public:
  FileView(const unsigned char* data, std::size_t length, const Headers& headers)
      : data_(data), length_(length), headers_(headers) {}
  std::uint32_t Size() const override { return headers_.sizeOfImage; }
  bool Read(std::uint32_t rva, void* out, std::size_t count) const override;

 private:
  const unsigned char* data_;
  std::size_t length_;
  const Headers& headers_;
};

// Header checks of a byte array and the sizing of its image: "MZ", e_lfanew, the whole-value
// "PE\0\0" signature, the executable-image bit, the section table and the section scan. Also
// rejects what would make the copy or the entry call leave the image: a negative e_lfanew or
// section field, more than kMaxSections sections, a SectionAlignment of 0 or less, raw data
// beyond the array, copied sections overlapping each other or the headers, a size beyond 2 GB,
// a DLL entry point outside the image.
std::optional<Headers> ReadFileHeaders(const unsigned char* data, std::size_t length);

// All checks done before anything is reserved: the headers, then the relocation, import and
// export structures against the image as it will be laid out.
std::optional<Headers> CheckImage(const unsigned char* data, std::size_t length);

// The headers of a mapped image: "MZ" and the "PE\0\0" signature checked, no sections read.
std::optional<Headers> ReadMappedHeaders(const ImageView& image);

// Copies the header bytes and the copied sections into image, a zero-filled buffer of
// headers.sizeOfImage bytes.
void CopyImage(const unsigned char* data, const Headers& headers, unsigned char* image);

// RVAs of the 32-bit values that type-3 relocation entries adjust. The walk ends at a block
// whose VirtualAddress is 0, at a SizeOfBlock below 8 and at the end of the directory. Nothing
// when a block or a target lies outside the image.
std::optional<std::vector<std::uint32_t>> RelocationTargets(const ImageView& image,
                                                            Directory relocations);

// Adds base - ImageBase to every relocation target. False, changing nothing, when the
// relocation data is malformed.
bool ApplyRelocations(MemoryView& image, const Headers& headers, std::uint32_t base);

struct Import {
  std::uint32_t thunkRva = 0;  // where the resolved address is written
  bool byOrdinal = false;
  std::uint16_t ordinal = 0;
  std::uint32_t nameRva = 0;  // the NUL-terminated name, after the hint
};

struct ImportLibrary {
  std::uint32_t nameRva = 0;
  std::vector<Import> imports;
};

// The import descriptors up to the one whose FirstThunk is 0, each with its thunks read from
// the import address table. Nothing when a descriptor, thunk or name lies outside the image or
// a cap is exceeded.
std::optional<std::vector<ImportLibrary>> ReadImports(const ImageView& image, Directory imports);

// True when the export directory (if any), its tables, names and function RVAs lie in the image.
bool ExportsAreSound(const ImageView& image, Directory exports);

// True, with its value, when text is the plain decimal rendering of an integer: an optional
// minus sign, digits, no leading zero except "0" itself.
bool ParseOrdinal(const Text& text, std::int64_t& value);

// RVA of the export named (case-sensitively) or numbered by nameOrOrdinal, or 0. Names are read
// through the name table entry by entry; a zero RVA and a forwarder (an RVA inside the export
// directory) give 0.
std::uint32_t LookupExportRva(const ImageView& image, Directory exports, const Text& nameOrOrdinal);

}  // namespace tonvia::pe
