// Image checks and walks over crafted images.
#include "skin/pe_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace tonvia::pe {
namespace {

using Bytes = std::vector<unsigned char>;

constexpr std::size_t kNt = 64;                          // e_lfanew of the fixtures
constexpr std::size_t kSectionTable = kNt + 248;
constexpr std::uint32_t kSectionRva = 0x1000;
constexpr std::size_t kSectionFile = 0x200;

struct Image {
  Bytes bytes;

  void Put16(std::size_t at, std::uint16_t v) { std::memcpy(&bytes.at(at + 1) - 1, &v, 2); }
  void Put32(std::size_t at, std::uint32_t v) { std::memcpy(&bytes.at(at + 3) - 3, &v, 4); }
  void PutText(std::size_t at, const std::string& s) {
    std::memcpy(&bytes.at(at + s.size()) - s.size(), s.c_str(), s.size() + 1);
  }
  // Writes into the one section by RVA.
  void Put32At(std::uint32_t rva, std::uint32_t v) { Put32(rva - kSectionRva + kSectionFile, v); }
  void Put16At(std::uint32_t rva, std::uint16_t v) { Put16(rva - kSectionRva + kSectionFile, v); }
  void TextAt(std::uint32_t rva, const std::string& s) {
    PutText(rva - kSectionRva + kSectionFile, s);
  }
  void Directory(int index, std::uint32_t rva, std::uint32_t size) {
    Put32(kNt + 120 + 8 * index, rva);
    Put32(kNt + 124 + 8 * index, size);
  }
  void Section(int index, std::uint32_t rva, std::uint32_t virtualSize, std::uint32_t raw,
               std::uint32_t pointer) {
    const std::size_t s = kSectionTable + 40 * index;
    Put32(s + 8, virtualSize);
    Put32(s + 12, rva);
    Put32(s + 16, raw);
    Put32(s + 20, pointer);
  }
  std::optional<Headers> Check() const { return CheckImage(bytes.data(), bytes.size()); }
};

// Headers only: "MZ", e_lfanew 64, "PE\0\0", an executable DLL with count sections (all
// zero), ImageBase 0x10000000, SectionAlignment 0x1000, SizeOfImage 0x2000.
Image HeadersOnly(int count) {
  Image image;
  image.bytes.assign(kSectionTable + 40 * count, 0);
  image.bytes[0] = 'M';
  image.bytes[1] = 'Z';
  image.Put32(60, kNt);
  image.PutText(kNt, "PE");
  image.Put16(kNt + 6, static_cast<std::uint16_t>(count));
  image.Put16(kNt + 22, kExecutableImage | kDll);
  image.Put32(kNt + 52, 0x10000000);
  image.Put32(kNt + 56, 0x1000);
  image.Put32(kNt + 80, 0x2000);
  return image;
}

// A complete small DLL: one section (RVA 0x1000, 0x400 raw bytes at file offset 0x200) holding
// an export directory, an import directory and a relocation directory.
//   exports 0x1000: Base 5, functions {0x1100, 0x1110, 0}, names "Alpha" (index 0) and "Beta"
//     (index 1), the name strings stored in the opposite order of the name table.
//   imports 0x1200: "lib.dll", thunks {by name "Proc", by ordinal 5}.
//   relocations 0x1300: one block at 0x1000 with a type-3 entry for 0x1100 and a type-0 filler.
Image SmallDll() {
  Image image = HeadersOnly(1);
  image.bytes.resize(kSectionFile + 0x400, 0);
  image.Section(0, kSectionRva, 0x400, 0x400, kSectionFile);
  image.Put32(kNt + 40, 0x1100);  // entry point
  image.Directory(0, 0x1000, 0x100);
  image.Put32At(0x1010, 5);       // Base
  image.Put32At(0x1014, 3);       // NumberOfFunctions
  image.Put32At(0x1018, 2);       // NumberOfNames
  image.Put32At(0x101C, 0x1040);  // AddressOfFunctions
  image.Put32At(0x1020, 0x1050);  // AddressOfNames
  image.Put32At(0x1024, 0x1060);  // AddressOfNameOrdinals
  image.Put32At(0x1040, 0x1100);
  image.Put32At(0x1044, 0x1110);
  image.Put32At(0x1050, 0x1080);
  image.Put32At(0x1054, 0x1070);
  image.Put16At(0x1060, 0);
  image.Put16At(0x1062, 1);
  image.TextAt(0x1070, "Beta");
  image.TextAt(0x1080, "Alpha");
  image.Directory(1, 0x1200, 40);
  image.Put32At(0x120C, 0x1240);  // Name
  image.Put32At(0x1210, 0x1250);  // FirstThunk
  image.TextAt(0x1240, "lib.dll");
  image.Put32At(0x1250, 0x1260);
  image.Put32At(0x1254, 0x80000005);
  image.TextAt(0x1262, "Proc");
  image.Directory(5, 0x1300, 12);
  image.Put32At(0x1300, 0x1000);
  image.Put32At(0x1304, 12);
  image.Put16At(0x1308, 0x3100);
  image.Put16At(0x130A, 0x0000);
  image.Put32At(0x1100, 0x10001110);  // the relocated value
  return image;
}

TEST(CheckImage, AcceptsAndRejectsCraftedImages) {
  struct Case {
    const char* what;
    std::function<void(Image&)> change;
    bool accepted;
  };
  const std::vector<Case> cases = {
      {"the fixture", [](Image&) {}, true},
      {"63 bytes", [](Image& i) { i.bytes.resize(63); }, false},
      {"64 bytes without MZ", [](Image& i) { i.bytes.assign(64, 0); }, false},
      {"64 bytes with MZ", [](Image& i) { i.bytes.resize(64); }, false},
      {"no executable bit", [](Image& i) { i.Put16(kNt + 22, kDll); }, false},
      {"PE followed by other bytes", [](Image& i) { i.bytes[kNt + 3] = 1; }, false},
      {"negative e_lfanew", [](Image& i) { i.Put32(60, 0xFFFFFFC0); }, false},
      {"e_lfanew past the end", [](Image& i) { i.Put32(60, 0x7FFFFFFF); }, false},
      {"0x8000 sections", [](Image& i) { i.Put16(kNt + 6, 0x8000); }, false},
      {"97 sections", [](Image& i) { i.Put16(kNt + 6, 97); }, false},
      {"section table past the end", [](Image& i) { i.Put16(kNt + 6, 40); }, false},
      {"SectionAlignment 0", [](Image& i) { i.Put32(kNt + 56, 0); }, false},
      {"negative SectionAlignment", [](Image& i) { i.Put32(kNt + 56, 0xFFFFF000); }, false},
      {"raw data past the end", [](Image& i) { i.bytes.resize(i.bytes.size() - 1); }, false},
      {"negative raw pointer", [](Image& i) { i.Section(0, 0x1000, 0x400, 0x400, 0x80000000); },
       false},
      {"negative section address", [](Image& i) { i.Section(0, 0x80001000, 0, 0x400, 0x200); },
       false},
      {"section over the headers", [](Image& i) { i.Section(0, 0x100, 0x400, 0x400, 0x200); },
       false},
      {"section end beyond 2 GB", [](Image& i) { i.Section(0, 0x1000, 0x7FFFF000, 0x400, 0x200); },
       false},
      {"zero SizeOfImage without sections",
       [](Image& i) { i = HeadersOnly(0); i.Put32(kNt + 80, 0); }, false},
      {"DLL entry point outside the image", [](Image& i) { i.Put32(kNt + 40, 0x2000); }, false},
      {"relocation directory outside", [](Image& i) { i.Directory(5, 0x1FFC, 12); }, false},
      {"relocation target outside", [](Image& i) { i.Put32At(0x1300, 0x1FFFF000); }, false},
      {"relocation target straddling the end",
       [](Image& i) { i.Put16At(0x1308, 0x3FFE); }, false},
      {"relocation block longer than its directory", [](Image& i) { i.Put32At(0x1304, 16); },
       false},
      {"relocation block without entries",
       [](Image& i) { i.Directory(5, 0x1300, 8); i.Put32At(0x1304, 8); }, true},
      {"import descriptor outside", [](Image& i) { i.Directory(1, 0x7FFFFFF0, 40); }, false},
      {"import library name outside", [](Image& i) { i.Put32At(0x120C, 0x5000); }, false},
      {"import name outside", [](Image& i) { i.Put32At(0x1250, 0x7FFFFFFE); }, false},
      {"import name running to the end of the image",
       [](Image& i) {
         i.Put32(kNt + 56, 0x200);  // the image ends where the section's raw data ends
         i.Put32(kNt + 80, 0x1400);
         for (std::uint32_t rva = 0x13F0; rva < 0x1400; ++rva) i.bytes[rva - 0xE00] = 'x';
         i.Put32At(0x1250, 0x13EE);
       },
       false},
      {"headers ending at the last byte", [](Image& i) { i = HeadersOnly(2); }, true},
      {"headers one byte short",
       [](Image& i) { i = HeadersOnly(2); i.bytes.pop_back(); }, false},
      {"export names outside", [](Image& i) { i.Put32At(0x1020, 0x1FFC); }, false},
      {"export function outside", [](Image& i) { i.Put32At(0x1044, 0x2000); }, false},
      {"export directory outside", [](Image& i) { i.Directory(0, 0x1FF0, 0x100); }, false},
      {"too many exports", [](Image& i) { i.Put32At(0x1014, kMaxExports + 1); }, false},
  };
  for (const Case& c : cases) {
    Image image = SmallDll();
    c.change(image);
    EXPECT_EQ(image.Check().has_value(), c.accepted) << c.what;
  }
}

TEST(CheckImage, SizeOfImageIsRaisedToTheLastSectionEnd) {
  Image image = SmallDll();
  image.Put32(kNt + 80, 0x1000);                        // too small for the section
  image.Section(0, kSectionRva, 0x27000, 0x400, kSectionFile);  // the full VirtualSize counts
  const auto headers = image.Check();
  ASSERT_TRUE(headers);
  EXPECT_EQ(headers->sizeOfImage, 0x28000u);
  Bytes mapped(headers->sizeOfImage);
  CopyImage(image.bytes.data(), *headers, mapped.data());
  std::uint32_t ownSize;
  std::memcpy(&ownSize, &mapped[kNt + 80], 4);
  EXPECT_EQ(ownSize, 0x1000u);  // the header copy keeps the image's own value
}

TEST(FileView, ReadsWhatCopyImageLaysOut) {
  Image image = SmallDll();
  image.bytes.resize(0x800, 0xEE);  // bytes after the raw data must not appear in the image
  image.Put16(kNt + 6, 2);
  image.Section(1, 0x1800, 0x100, 0, 0x600);  // no raw data: zeros
  image.Section(0, kSectionRva, 0x400, 0x400, kSectionFile);
  const auto headers = image.Check();
  ASSERT_TRUE(headers);
  Bytes copied(headers->sizeOfImage), viewed(headers->sizeOfImage, 0x55);
  CopyImage(image.bytes.data(), *headers, copied.data());
  ASSERT_TRUE(FileView(image.bytes.data(), image.bytes.size(), *headers)
                  .Read(0, viewed.data(), viewed.size()));
  EXPECT_EQ(viewed, copied);
  EXPECT_EQ(copied[0x1800], 0);
  EXPECT_EQ(copied[0x1400], 0);
}

// Relocation blocks written at 0x1300 of a mapped SmallDll, as 32-bit words and 16-bit entries.
struct Block {
  std::uint32_t page, size;
  std::vector<std::uint16_t> entries;
};

TEST(RelocationTargets, WalkEndsAtItsGuards) {
  struct Case {
    const char* what;
    std::vector<Block> blocks;
    std::uint32_t directorySize;
    std::optional<std::vector<std::uint32_t>> targets;
  };
  using T = std::vector<std::uint32_t>;
  const std::vector<Case> cases = {
      {"type 3 and a type-0 filler", {{0x1000, 12, {0x3100, 0x0000}}}, 12, T{0x1100}},
      {"other types skipped", {{0x1000, 16, {0x1004, 0x2008, 0xA00C, 0x3010}}}, 16, T{0x1010}},
      {"zero block ends the walk", {{0x1000, 10, {0x3004}}, {0, 10, {0x3008}}}, 40, T{0x1004}},
      {"SizeOfBlock below 8 ends the walk", {{0x1000, 10, {0x3004}}, {0x1000, 0, {0x3008}}}, 40,
       T{0x1004}},
      {"directory end ends the walk", {{0x1000, 10, {0x3004}}, {0x1000, 10, {0x3008}}}, 10,
       T{0x1004}},
      {"two blocks", {{0x1000, 10, {0x3004}}, {0x1800, 12, {0x3008, 0x37FC}}}, 22,
       T{0x1004, 0x1808, 0x1FFC}},
      {"block beyond the directory", {{0x1000, 12, {0x3004, 0}}}, 10, std::nullopt},
      {"target beyond the image", {{0x1000, 10, {0x3FFD}}}, 10, std::nullopt},
  };
  for (const Case& c : cases) {
    Image image = SmallDll();
    std::uint32_t at = 0x1300;
    for (const Block& b : c.blocks) {
      image.Put32At(at, b.page);
      image.Put32At(at + 4, b.size);
      for (std::size_t j = 0; j < b.entries.size(); ++j) image.Put16At(at + 8 + 2 * j, b.entries[j]);
      at += 8 + 2 * static_cast<std::uint32_t>(b.entries.size());
    }
    const auto headers = ReadFileHeaders(image.bytes.data(), image.bytes.size());
    ASSERT_TRUE(headers);
    const FileView view(image.bytes.data(), image.bytes.size(), *headers);
    EXPECT_EQ(RelocationTargets(view, {0x1300, c.directorySize}), c.targets) << c.what;
  }
}

TEST(ApplyRelocations, AddsTheWrappingDelta) {
  Image image = SmallDll();
  const auto headers = image.Check();
  ASSERT_TRUE(headers);
  for (std::uint32_t base : {0x10000000u, 0x00400000u, 0xF0000000u}) {
    Bytes mapped(headers->sizeOfImage);
    CopyImage(image.bytes.data(), *headers, mapped.data());
    MemoryView view(mapped.data(), headers->sizeOfImage);
    ASSERT_TRUE(ApplyRelocations(view, *headers, base));
    EXPECT_EQ(*view.Read32(0x1100), base + 0x1110) << base;
    mapped[0x1303] = 0xFF;  // the block now starts a page far outside: refused, nothing changed
    ASSERT_FALSE(ApplyRelocations(view, *headers, base + 0x1000));
    EXPECT_EQ(*view.Read32(0x1100), base + 0x1110);
  }
}

TEST(ReadImports, ReadsNamesAndOrdinalsFromTheAddressTable) {
  Image image = SmallDll();
  const auto headers = image.Check();
  ASSERT_TRUE(headers);
  const auto libraries =
      ReadImports(FileView(image.bytes.data(), image.bytes.size(), *headers), headers->imports);
  ASSERT_TRUE(libraries);
  ASSERT_EQ(libraries->size(), 1u);
  const ImportLibrary& lib = (*libraries)[0];
  EXPECT_EQ(lib.nameRva, 0x1240u);
  ASSERT_EQ(lib.imports.size(), 2u);
  EXPECT_FALSE(lib.imports[0].byOrdinal);
  EXPECT_EQ(lib.imports[0].nameRva, 0x1262u);
  EXPECT_EQ(lib.imports[0].thunkRva, 0x1250u);
  EXPECT_TRUE(lib.imports[1].byOrdinal);
  EXPECT_EQ(lib.imports[1].ordinal, 5);
  EXPECT_EQ(lib.imports[1].thunkRva, 0x1254u);
}

TEST(LookupExportRva, NamesAndOrdinals) {
  Image image = SmallDll();
  image.Put32At(0x1048, 0x1008);  // third function: a forwarder into the export directory
  image.Put32At(0x1018, 3);       // a third name, "Fwd", for it
  image.Put32At(0x1058, 0x1090);
  image.Put16At(0x1064, 2);
  image.TextAt(0x1090, "Fwd");
  const auto headers = image.Check();
  ASSERT_TRUE(headers);
  const FileView view(image.bytes.data(), image.bytes.size(), *headers);
  const std::vector<std::pair<Text, std::uint32_t>> cases = {
      {"Alpha", 0x1100}, {"Beta", 0x1110}, {"5", 0x1100}, {"6", 0x1110},
      {"06", 0},         {"+6", 0},        {"alpha", 0},  {"ALPHA", 0},
      {"Alph", 0},       {"4", 0},         {"8", 0},      {"-1", 0},
      {"-0", 0},         {" 6", 0},        {"", 0},       {"99999999999", 0},
      {"7", 0},          {"Fwd", 0},
  };
  for (const auto& [text, rva] : cases) {
    EXPECT_EQ(LookupExportRva(view, headers->exports, text), rva) << text;
  }
  EXPECT_EQ(LookupExportRva(view, {}, "Alpha"), 0u);  // no export directory
}

TEST(ImageView, NamesAreReadWithABound) {
  Bytes bytes(kMaxNameLength + 8, 'a');
  MemoryView view(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
  EXPECT_FALSE(view.ReadName(0));  // no NUL at all
  bytes[kMaxNameLength] = 0;
  EXPECT_EQ(view.ReadName(0), Text(kMaxNameLength, 'a'));
  bytes[kMaxNameLength] = 'a';
  bytes[kMaxNameLength + 1] = 0;
  EXPECT_FALSE(view.ReadName(0));  // one byte over the cap
  EXPECT_FALSE(view.Read32(static_cast<std::uint32_t>(bytes.size()) - 3));
  EXPECT_FALSE(view.Read32(0xFFFFFFFE));
}

TEST(AlignUp, RoundsUpToMultiples) {
  EXPECT_EQ(AlignUp(0, 0x1000), 0);
  EXPECT_EQ(AlignUp(1, 0x1000), 0x1000);
  EXPECT_EQ(AlignUp(0x1000, 0x1000), 0x1000);
  EXPECT_EQ(AlignUp(0x3D001, 0x1000), 0x3E000);
  EXPECT_EQ(AlignUp(0x7FFFFFFF, 0x1000), 0x80000000LL);
  EXPECT_EQ(AlignUp(-5, 4), -4);
}

}  // namespace
}  // namespace tonvia::pe
