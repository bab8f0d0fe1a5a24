// Feeds arbitrary bytes to the image checks and to every walk, both over the byte array as it
// would be laid out and over a mapped copy, as the loader does. Built by tools/fuzz-pe.sh.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "skin/pe_image.h"

namespace {

using namespace tonvia::pe;

constexpr std::uint32_t kMaxMappedCopy = 1u << 20;

void WalkAll(const ImageView& image, const Headers& headers) {
  RelocationTargets(image, headers.relocations);
  ReadImports(image, headers.imports);
  ExportsAreSound(image, headers.exports);
  for (const char* name : {"Alpha", "Beta", "6", "1", "-1"}) {
    LookupExportRva(image, headers.exports, name);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (const auto headers = ReadFileHeaders(data, size)) {
    WalkAll(FileView(data, size, *headers), *headers);
    const auto checked = CheckImage(data, size);
    if (checked && checked->sizeOfImage <= kMaxMappedCopy) {
      std::vector<unsigned char> mapped(checked->sizeOfImage);
      CopyImage(data, *checked, mapped.data());
      MemoryView image(mapped.data(), checked->sizeOfImage);
      ApplyRelocations(image, *checked, 0x20000000);
      if (const auto again = ReadMappedHeaders(image)) WalkAll(image, *again);
    }
  }
  // The raw bytes taken as an image already in memory.
  std::vector<unsigned char> raw(data, data + size);
  MemoryView image(raw.data(), static_cast<std::uint32_t>(raw.size()));
  if (const auto headers = ReadMappedHeaders(image)) WalkAll(image, *headers);
  return 0;
}
