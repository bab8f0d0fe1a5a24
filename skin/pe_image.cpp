#include "skin/pe_image.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace tonvia::pe {
namespace {

constexpr std::uint16_t kDosMagic = 0x5A4D;      // "MZ"
constexpr std::uint32_t kNtSignature = 0x4550;   // "PE\0\0"
constexpr std::uint32_t kRelocationBlockHeader = 8;
constexpr std::uint32_t kMaxRelocationsPerBlock = 8192;
constexpr std::uint32_t kImportDescriptorSize = 20;
constexpr std::uint32_t kExportDirectorySize = 40;
constexpr std::int64_t kMaxImageSize = std::numeric_limits<std::int32_t>::max();

// Offsets inside the NT headers (32-bit optional header).
constexpr std::size_t kNumberOfSections = 6;
constexpr std::size_t kCharacteristics = 22;
constexpr std::size_t kAddressOfEntryPoint = 40;
constexpr std::size_t kImageBase = 52;
constexpr std::size_t kSectionAlignment = 56;
constexpr std::size_t kSizeOfImage = 80;
constexpr std::size_t kDataDirectory = 120;

std::uint16_t Get16(const unsigned char* p) {
  std::uint16_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

std::uint32_t Get32(const unsigned char* p) {
  std::uint32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

Directory GetDirectory(const unsigned char* nt, int index) {
  const unsigned char* entry = nt + kDataDirectory + 8 * index;
  return {Get32(entry), Get32(entry + 4)};
}

// The fields of the NT headers at nt that both checks (byte array and mapped image) use.
Headers GetNtFields(std::uint32_t ntOffset, const unsigned char* nt) {
  Headers h;
  h.ntOffset = ntOffset;
  h.characteristics = Get16(nt + kCharacteristics);
  h.entryPoint = Get32(nt + kAddressOfEntryPoint);
  h.imageBase = Get32(nt + kImageBase);
  h.sectionAlignment = static_cast<std::int32_t>(Get32(nt + kSectionAlignment));
  h.sizeOfImage = Get32(nt + kSizeOfImage);
  h.exports = GetDirectory(nt, 0);
  h.imports = GetDirectory(nt, 1);
  h.relocations = GetDirectory(nt, 5);
  return h;
}

bool RangesOverlap(std::int64_t aStart, std::int64_t aSize, std::int64_t bStart,
                   std::int64_t bSize) {
  return aStart < bStart + bSize && bStart < aStart + aSize;
}

// Checks of the section table and the section scan; fills h.sections and h.sizeOfImage.
bool ScanSections(std::size_t length, const unsigned char* table, int count, Headers& h) {
  std::int64_t imageSize = static_cast<std::int32_t>(h.sizeOfImage);
  for (int i = 0; i < count; ++i) {
    const unsigned char* s = table + kSectionHeaderSize * i;
    Section section;
    section.virtualSize = Get32(s + 8);
    section.virtualAddress = static_cast<std::int32_t>(Get32(s + 12));
    section.sizeOfRawData = static_cast<std::int32_t>(Get32(s + 16));
    section.pointerToRawData = static_cast<std::int32_t>(Get32(s + 20));
    if (section.virtualAddress < 0) return false;
    // The full VirtualSize counts, so that a section's memory is always inside the image.
    const std::int64_t extent =
        std::max<std::int64_t>(section.sizeOfRawData, section.virtualSize);
    const std::int64_t end = AlignUp(section.virtualAddress + extent, h.sectionAlignment);
    if (end > kMaxImageSize) return false;
    imageSize = std::max(imageSize, end);
    if (section.IsCopied()) {
      const auto raw = static_cast<std::uint64_t>(section.sizeOfRawData);
      if (section.pointerToRawData < 0 || raw > length ||
          static_cast<std::uint64_t>(section.pointerToRawData) > length - raw) {
        return false;
      }
    }
    h.sections.push_back(section);
  }
  if (imageSize <= 0 || imageSize > kMaxImageSize) return false;
  h.sizeOfImage = static_cast<std::uint32_t>(imageSize);
  return true;
}

// Copied sections must lie in the image, after the header copy and apart from each other, so
// that the layout does not depend on the order of the copies.
bool SectionsAreDisjoint(const Headers& h) {
  for (std::size_t i = 0; i < h.sections.size(); ++i) {
    const Section& a = h.sections[i];
    if (!a.IsCopied()) continue;
    if (a.virtualAddress < static_cast<std::int64_t>(h.headersSize) ||
        static_cast<std::int64_t>(a.virtualAddress) + a.sizeOfRawData > h.sizeOfImage) {
      return false;
    }
    for (std::size_t j = 0; j < i; ++j) {
      const Section& b = h.sections[j];
      if (b.IsCopied() && RangesOverlap(a.virtualAddress, a.sizeOfRawData, b.virtualAddress,
                                        b.sizeOfRawData)) {
        return false;
      }
    }
  }
  return true;
}

// Copies the part of [srcRva, srcRva + srcSize) that falls into [rva, rva + count) from src.
void Overlay(std::uint64_t rva, std::size_t count, std::uint64_t srcRva, std::uint64_t srcSize,
             const unsigned char* src, unsigned char* out) {
  const std::uint64_t from = std::max(rva, srcRva);
  const std::uint64_t to = std::min(rva + count, srcRva + srcSize);
  if (from < to) std::memcpy(out + (from - rva), src + (from - srcRva), to - from);
}

}  // namespace

std::int64_t AlignUp(std::int64_t value, std::int64_t alignment) {
  const std::int64_t sum = value + alignment - 1;
  std::int64_t quotient = sum / alignment;
  if (sum % alignment != 0 && sum < 0) --quotient;  // floor, not truncation
  return quotient * alignment;
}

std::optional<std::uint32_t> ImageView::Read32(std::uint32_t rva) const {
  unsigned char bytes[4];
  if (!Read(rva, bytes, sizeof bytes)) return std::nullopt;
  return Get32(bytes);
}

std::optional<std::uint16_t> ImageView::Read16(std::uint32_t rva) const {
  unsigned char bytes[2];
  if (!Read(rva, bytes, sizeof bytes)) return std::nullopt;
  return Get16(bytes);
}

std::optional<Text> ImageView::ReadName(std::uint32_t rva) const {
  Text name;
  std::uint64_t at = rva;
  while (at < Size() && name.size() <= kMaxNameLength) {
    char chunk[64];
    const std::size_t count = static_cast<std::size_t>(
        std::min<std::uint64_t>(sizeof chunk, Size() - at));
    if (!Read(static_cast<std::uint32_t>(at), chunk, count)) return std::nullopt;
    const char* nul = static_cast<const char*>(std::memchr(chunk, 0, count));
    name.append(chunk, nul ? static_cast<std::size_t>(nul - chunk) : count);
    if (nul) {
      if (name.size() > kMaxNameLength) return std::nullopt;
      return name;
    }
    at += count;
  }
  return std::nullopt;
}

bool MemoryView::Read(std::uint32_t rva, void* out, std::size_t count) const {
  if (!Contains(rva, count)) return false;
  if (count == 0) return true;  // an empty read may come with no buffer at all
  std::memcpy(out, bytes_ + rva, count);
  return true;
}

bool MemoryView::Write32(std::uint32_t rva, std::uint32_t value) {
  if (!Contains(rva, sizeof value)) return false;
  std::memcpy(bytes_ + rva, &value, sizeof value);
  return true;
}

bool FileView::Read(std::uint32_t rva, void* out, std::size_t count) const {
  if (!Contains(rva, count)) return false;
  if (count == 0) return true;  // an empty read may come with no buffer at all
  auto* bytes = static_cast<unsigned char*>(out);
  std::memset(bytes, 0, count);
  Overlay(rva, count, 0, headers_.headersSize, data_, bytes);
  for (const Section& s : headers_.sections) {
    if (s.IsCopied()) {
      Overlay(rva, count, static_cast<std::uint32_t>(s.virtualAddress),
              static_cast<std::uint32_t>(s.sizeOfRawData), data_ + s.pointerToRawData, bytes);
    }
  }
  return true;
}

std::optional<Headers> ReadFileHeaders(const unsigned char* data, std::size_t length) {
  if (data == nullptr || length < kDosHeaderSize) return std::nullopt;
  if (Get16(data) != kDosMagic) return std::nullopt;
  const auto ntOffset = static_cast<std::int32_t>(Get32(data + 60));
  if (ntOffset < 0 || static_cast<std::uint64_t>(ntOffset) + kNtHeadersSize > length) {
    return std::nullopt;
  }
  const unsigned char* nt = data + ntOffset;
  if (Get32(nt) != kNtSignature) return std::nullopt;
  Headers h = GetNtFields(static_cast<std::uint32_t>(ntOffset), nt);
  if ((h.characteristics & kExecutableImage) == 0) return std::nullopt;
  const auto count = static_cast<std::int16_t>(Get16(nt + kNumberOfSections));
  if (count < 0 || count > kMaxSections) return std::nullopt;
  const std::uint64_t headersEnd =
      static_cast<std::uint64_t>(ntOffset) + kNtHeadersSize + kSectionHeaderSize * count;
  if (headersEnd > length) return std::nullopt;
  h.headersSize = static_cast<std::uint32_t>(headersEnd);
  if (h.sectionAlignment <= 0) return std::nullopt;
  if (!ScanSections(length, nt + kNtHeadersSize, count, h)) return std::nullopt;
  if (h.headersSize > h.sizeOfImage || !SectionsAreDisjoint(h)) return std::nullopt;
  if (h.IsDll() && h.entryPoint != 0 && h.entryPoint >= h.sizeOfImage) return std::nullopt;
  return h;
}

std::optional<Headers> CheckImage(const unsigned char* data, std::size_t length) {
  std::optional<Headers> h = ReadFileHeaders(data, length);
  if (!h) return std::nullopt;
  const FileView image(data, length, *h);
  if (static_cast<std::int32_t>(h->relocations.size) > 0 &&
      !RelocationTargets(image, h->relocations)) {
    return std::nullopt;
  }
  if (!ReadImports(image, h->imports) || !ExportsAreSound(image, h->exports)) {
    return std::nullopt;
  }
  return h;
}

std::optional<Headers> ReadMappedHeaders(const ImageView& image) {
  unsigned char dos[kDosHeaderSize];
  if (!image.Read(0, dos, sizeof dos) || Get16(dos) != kDosMagic) return std::nullopt;
  const auto ntOffset = static_cast<std::int32_t>(Get32(dos + 60));
  unsigned char nt[kNtHeadersSize];
  if (ntOffset < 0 || !image.Read(static_cast<std::uint32_t>(ntOffset), nt, sizeof nt) ||
      Get32(nt) != kNtSignature) {
    return std::nullopt;
  }
  Headers h = GetNtFields(static_cast<std::uint32_t>(ntOffset), nt);
  h.headersSize = static_cast<std::uint32_t>(ntOffset + kNtHeadersSize);
  return h;
}

void CopyImage(const unsigned char* data, const Headers& headers, unsigned char* image) {
  std::memcpy(image, data, headers.headersSize);
  for (const Section& s : headers.sections) {
    if (s.IsCopied()) {
      std::memcpy(image + s.virtualAddress, data + s.pointerToRawData,
                  static_cast<std::size_t>(s.sizeOfRawData));
    }
  }
}

std::optional<std::vector<std::uint32_t>> RelocationTargets(const ImageView& image,
                                                            Directory relocations) {
  if (!image.Contains(relocations.virtualAddress, relocations.size)) return std::nullopt;
  std::vector<std::uint32_t> targets;
  std::uint32_t at = relocations.virtualAddress;
  const std::uint64_t end = static_cast<std::uint64_t>(at) + relocations.size;
  while (end - at >= kRelocationBlockHeader) {
    const auto pageRva = image.Read32(at);
    const auto blockSize = image.Read32(at + 4);
    if (!pageRva || !blockSize) return std::nullopt;
    if (*pageRva == 0 || *blockSize < kRelocationBlockHeader) break;
    if (*blockSize > end - at) return std::nullopt;
    const std::uint32_t count = (*blockSize - kRelocationBlockHeader) / 2;
    if (count > kMaxRelocationsPerBlock) return std::nullopt;
    std::vector<unsigned char> entries(count * 2u);
    if (!image.Read(at + kRelocationBlockHeader, entries.data(), entries.size())) {
      return std::nullopt;
    }
    for (std::uint32_t j = 0; j < count; ++j) {
      const std::uint16_t entry = Get16(&entries[2 * j]);
      if ((entry & 0xF000) != 0x3000) continue;  // only whole 32-bit addresses are adjusted
      const std::uint64_t target = static_cast<std::uint64_t>(*pageRva) + (entry & 0x0FFF);
      if (target > image.Size() || !image.Contains(static_cast<std::uint32_t>(target), 4)) {
        return std::nullopt;
      }
      targets.push_back(static_cast<std::uint32_t>(target));
    }
    at += *blockSize;
  }
  return targets;
}

bool ApplyRelocations(MemoryView& image, const Headers& headers, std::uint32_t base) {
  const auto targets = RelocationTargets(image, headers.relocations);
  if (!targets) return false;
  const std::uint32_t delta = base - headers.imageBase;
  for (std::uint32_t target : *targets) {
    image.Write32(target, *image.Read32(target) + delta);
  }
  return true;
}

std::optional<std::vector<ImportLibrary>> ReadImports(const ImageView& image, Directory imports) {
  std::vector<ImportLibrary> libraries;
  if (imports.virtualAddress == 0) return libraries;
  for (std::uint64_t at = imports.virtualAddress;; at += kImportDescriptorSize) {
    if (libraries.size() >= kMaxImportLibraries || at > image.Size()) return std::nullopt;
    unsigned char descriptor[kImportDescriptorSize];
    if (!image.Read(static_cast<std::uint32_t>(at), descriptor, sizeof descriptor)) {
      return std::nullopt;
    }
    const std::uint32_t firstThunk = Get32(descriptor + 16);
    if (firstThunk == 0) return libraries;
    ImportLibrary library;
    library.nameRva = Get32(descriptor + 12);
    if (!image.ReadName(library.nameRva)) return std::nullopt;
    for (std::uint64_t thunk = firstThunk;; thunk += 4) {
      if (library.imports.size() >= kMaxImportsPerLibrary || thunk > image.Size()) {
        return std::nullopt;
      }
      const auto value = image.Read32(static_cast<std::uint32_t>(thunk));
      if (!value) return std::nullopt;
      if (*value == 0) break;
      Import import;
      import.thunkRva = static_cast<std::uint32_t>(thunk);
      if (*value & 0x80000000u) {
        import.byOrdinal = true;
        import.ordinal = static_cast<std::uint16_t>(*value & 0xFFFF);
      } else {
        const std::uint64_t nameRva = static_cast<std::uint64_t>(*value) + 2;  // after the hint
        if (nameRva > image.Size() || !image.ReadName(static_cast<std::uint32_t>(nameRva))) {
          return std::nullopt;
        }
        import.nameRva = static_cast<std::uint32_t>(nameRva);
      }
      library.imports.push_back(import);
    }
    libraries.push_back(std::move(library));
  }
}

namespace {

struct ExportDirectory {
  std::uint32_t base;
  std::uint32_t functionCount;
  std::uint32_t nameCount;
  std::uint32_t functions;
  std::uint32_t names;
  std::uint32_t ordinals;
};

std::optional<ExportDirectory> ReadExportDirectory(const ImageView& image, Directory exports) {
  unsigned char d[kExportDirectorySize];
  if (exports.size == 0 || !image.Read(exports.virtualAddress, d, sizeof d)) return std::nullopt;
  ExportDirectory e{Get32(d + 16), Get32(d + 20), Get32(d + 24),
                    Get32(d + 28), Get32(d + 32), Get32(d + 36)};
  if (e.functionCount > kMaxExports || e.nameCount > kMaxExports) return std::nullopt;
  if (e.functionCount > 0 && !image.Contains(e.functions, 4ull * e.functionCount)) {
    return std::nullopt;
  }
  if (e.nameCount > 0 && (!image.Contains(e.names, 4ull * e.nameCount) ||
                          !image.Contains(e.ordinals, 2ull * e.nameCount))) {
    return std::nullopt;
  }
  return e;
}

// The RVA at index of the address table; 0 for an empty slot, a forwarder or an RVA outside
// the image.
std::uint32_t FunctionRva(const ImageView& image, Directory exports, const ExportDirectory& e,
                          std::uint32_t index) {
  const std::uint32_t rva = image.Read32(e.functions + 4 * index).value_or(0);
  const bool forwarder = rva >= exports.virtualAddress &&
                         rva - exports.virtualAddress < exports.size;
  return forwarder || rva >= image.Size() ? 0 : rva;
}

}  // namespace

bool ExportsAreSound(const ImageView& image, Directory exports) {
  if (exports.size == 0) return true;
  const auto e = ReadExportDirectory(image, exports);
  if (!e) return false;
  for (std::uint32_t i = 0; i < e->functionCount; ++i) {
    if (*image.Read32(e->functions + 4 * i) >= image.Size()) return false;
  }
  for (std::uint32_t i = 0; i < e->nameCount; ++i) {
    if (!image.ReadName(*image.Read32(e->names + 4 * i))) return false;
  }
  return true;
}

bool ParseOrdinal(const Text& text, std::int64_t& value) {
  const bool negative = !text.empty() && text[0] == '-';
  const Text digits = text.substr(negative ? 1 : 0);
  if (digits.empty() || digits.size() > 10) return false;
  if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return false;
  }
  if (digits[0] == '0' && (digits.size() > 1 || negative)) return false;  // "007", "-0"
  std::int64_t magnitude = 0;
  for (char c : digits) magnitude = magnitude * 10 + (c - '0');
  value = negative ? -magnitude : magnitude;
  return value >= std::numeric_limits<std::int32_t>::min() &&
         value <= std::numeric_limits<std::int32_t>::max();
}

std::uint32_t LookupExportRva(const ImageView& image, Directory exports,
                              const Text& nameOrOrdinal) {
  const auto e = ReadExportDirectory(image, exports);
  if (!e) return 0;
  std::int64_t ordinal = 0;
  if (ParseOrdinal(nameOrOrdinal, ordinal)) {
    const std::int64_t index = ordinal - static_cast<std::int64_t>(e->base);
    if (index < 0 || index >= e->functionCount) return 0;
    return FunctionRva(image, exports, *e, static_cast<std::uint32_t>(index));
  }
  for (std::uint32_t i = 0; i < e->nameCount; ++i) {
    const auto name = image.ReadName(*image.Read32(e->names + 4 * i));
    const std::uint16_t index = *image.Read16(e->ordinals + 2 * i);
    if (!name || index >= e->functionCount || *name != nameOrOrdinal) continue;
    if (const std::uint32_t rva = FunctionRva(image, exports, *e, index)) return rva;
  }
  return 0;
}

}  // namespace tonvia::pe
