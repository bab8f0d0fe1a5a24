// The loader and CallAddress in a 32-bit Windows process, with small DLLs built by the project
// and read from the test's own folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "skin/call_address.h"
#include "skin/memory_module.h"
#include "skin/pe_image.h"

namespace tonvia {
namespace {

using Bytes = std::vector<unsigned char>;

Bytes ReadBesideTest(const std::string& name) {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  folder.erase(folder.find_last_of("\\/") + 1);
  std::ifstream file(folder + name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::uint32_t Get32(const unsigned char* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

void Put32(Bytes& bytes, std::size_t at, std::uint32_t value) {
  std::memcpy(bytes.data() + at, &value, 4);
}

// Replaces the one occurrence of a 32-bit marker in the image bytes.
void ReplaceMarker(Bytes& bytes, std::uint32_t marker, std::uint32_t value) {
  int found = 0;
  for (std::size_t i = 0; i + 4 <= bytes.size(); ++i) {
    if (Get32(&bytes[i]) == marker) {
      Put32(bytes, i, value);
      ++found;
    }
  }
  ASSERT_EQ(found, 1);
}

std::size_t NtOffset(const Bytes& bytes) { return Get32(&bytes[60]); }

// Nothing holds the address space at address: a page there can be reserved. (Asking VirtualQuery
// alone is not enough: Wine may report space that it does not manage as reserved.) On failure,
// says what the region holds.
::testing::AssertionResult IsFree(std::uint32_t address) {
  void* const wanted = reinterpret_cast<void*>(address);
  void* const probe = VirtualAlloc(wanted, 4096, MEM_RESERVE, PAGE_NOACCESS);
  if (probe != nullptr) VirtualFree(probe, 0, MEM_RELEASE);
  if (probe == wanted) return ::testing::AssertionSuccess();
  MEMORY_BASIC_INFORMATION info{};
  VirtualQuery(wanted, &info, sizeof info);
  std::ostringstream held;
  held << std::hex << "state 0x" << info.State << ", type 0x" << info.Type << ", allocation base "
       << info.AllocationBase << ", region size 0x" << info.RegionSize;
  return ::testing::AssertionFailure() << held.str();
}

// The probe DLL with its entry point logging into log and answering attachAnswer.
class ProbeTest : public ::testing::Test {
 protected:
  static constexpr std::uint32_t kImageBase = 0x63000000;
  static constexpr unsigned kDetach = 0, kAttach = 1;

  void SetUp() override {
    file_ = ReadBesideTest("probe.dll");
    ASSERT_GT(file_.size(), 1024u);
    ReplaceMarker(file_, 0x4C6F6721u, reinterpret_cast<std::uint32_t>(log_));
    image_ = WithAttachAnswer(1);
  }

  Bytes WithAttachAnswer(std::uint32_t answer) {
    Bytes image = file_;
    ReplaceMarker(image, 0x416E7321u, answer);
    return image;
  }

  std::vector<unsigned> Calls() const {
    return std::vector<unsigned>(log_ + 1, log_ + 1 + std::min(log_[0], 7u));
  }

  // What the mapped image must hold: the header bytes, each section's raw data, zeros
  // elsewhere, and every type-3 relocation target moved by delta, found by a plain walk of the
  // file's relocation blocks.
  Bytes ExpectedImage(std::uint32_t delta, int& type0Entries) const {
    const auto headers = pe::ReadFileHeaders(image_.data(), image_.size());
    Bytes expected(headers->sizeOfImage);
    pe::CopyImage(image_.data(), *headers, expected.data());
    type0Entries = 0;
    std::uint32_t at = headers->relocations.virtualAddress;
    while (Get32(&expected[at]) != 0) {
      const std::uint32_t page = Get32(&expected[at]), size = Get32(&expected[at + 4]);
      for (std::uint32_t j = 8; j < size; j += 2) {
        const unsigned entry = expected[at + j] | expected[at + j + 1] << 8;
        if (entry >> 12 == 3) {
          Put32(expected, page + (entry & 0xFFF), Get32(&expected[page + (entry & 0xFFF)]) + delta);
        } else if (entry >> 12 == 0) {
          ++type0Entries;
        }
      }
      at += size;
    }
    return expected;
  }

  void ExpectMappedAs(const MemoryModule& module, std::uint32_t delta) const {
    int type0Entries = 0;
    const Bytes expected = ExpectedImage(delta, type0Entries);
    EXPECT_GE(type0Entries, 1);  // a filler that must change nothing
    const auto* mapped = reinterpret_cast<const unsigned char*>(module.GetBase());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), mapped));
  }

  Bytes file_;  // the probe with the log address patched in
  Bytes image_;
  unsigned log_[8] = {};
};

TEST_F(ProbeTest, MapsAtPreferredBaseThenElsewhereWithRelocations) {
  const auto headers = pe::ReadFileHeaders(image_.data(), image_.size());
  bool hasBss = false;
  for (const pe::Section& s : headers->sections) hasBss |= s.sizeOfRawData == 0 && s.virtualSize > 0;
  ASSERT_TRUE(hasBss);  // so the comparison covers a section that must read as zeros

  MemoryModule first;
  ASSERT_TRUE(first.Load(image_.data(), image_.size()));
  EXPECT_EQ(first.GetBase(), kImageBase);
  ExpectMappedAs(first, 0);

  MemoryModule second;  // the preferred base is taken now
  ASSERT_TRUE(second.Load(image_.data(), image_.size()));
  ASSERT_NE(second.GetBase(), kImageBase);
  ExpectMappedAs(second, second.GetBase() - kImageBase);
  auto** pointers = reinterpret_cast<int**>(second.FindExport("probe_pointers"));
  ASSERT_NE(pointers, nullptr);
  EXPECT_EQ(*pointers[0] + *pointers[1] + *pointers[2], 66);
  EXPECT_EQ(CallAddress(second.FindExport("ProbeAdd"), 40, 2), 42u);

  EXPECT_TRUE(first.Unload());
  EXPECT_TRUE(second.Unload());
  EXPECT_TRUE(IsFree(kImageBase));
}

TEST_F(ProbeTest, EntryPointCallsFollowTheStates) {
  MemoryModule module;
  EXPECT_EQ(module.FindExport("ProbeSix"), 0u);
  EXPECT_EQ(module.GetEntryPoint(), 0u);
  EXPECT_TRUE(module.Unload());  // empty: nothing to do

  ASSERT_TRUE(module.Load(image_.data(), image_.size()));
  EXPECT_EQ(Calls(), (std::vector<unsigned>{kAttach}));
  EXPECT_EQ(module.GetEntryPoint(),
            module.GetBase() + pe::ReadFileHeaders(image_.data(), image_.size())->entryPoint);

  // A second Load unloads the first image (one detach) before mapping the new one.
  ASSERT_TRUE(module.Load(image_.data(), image_.size()));
  EXPECT_EQ(Calls(), (std::vector<unsigned>{kAttach, kDetach, kAttach}));

  const MemoryModule clone = module.Clone();
  EXPECT_EQ(clone.GetBase(), module.GetBase());

  EXPECT_TRUE(module.Unload());
  EXPECT_TRUE(module.Unload());
  EXPECT_EQ(Calls(), (std::vector<unsigned>{kAttach, kDetach, kAttach, kDetach}));
  EXPECT_EQ(module.GetBase(), 0u);
  EXPECT_TRUE(IsFree(kImageBase));
  // The clone's base is stale now; lookups through it read nothing that is gone.
  EXPECT_EQ(clone.FindExport("ProbeSix"), 0u);
}

TEST_F(ProbeTest, RefusedAttachIsDetachedAndLeavesNothingMapped) {
  const Bytes refusing = WithAttachAnswer(0);
  MemoryModule module;
  EXPECT_FALSE(module.Load(refusing.data(), refusing.size()));
  EXPECT_EQ(module.GetBase(), 0u);
  EXPECT_EQ(Calls(), (std::vector<unsigned>{kAttach, kDetach}));
  EXPECT_TRUE(IsFree(kImageBase));
}

TEST_F(ProbeTest, NoEntryCallsWithoutDllBitOrEntryPoint) {
  Bytes noDll = image_;
  noDll[NtOffset(noDll) + 23] &= ~0x20;  // clears 0x2000 in Characteristics
  Bytes noEntry = image_;
  Put32(noEntry, NtOffset(noEntry) + 40, 0);  // AddressOfEntryPoint
  for (const Bytes* image : {&noDll, &noEntry}) {
    MemoryModule module;
    ASSERT_TRUE(module.Load(image->data(), image->size()));
    EXPECT_TRUE(module.Unload());
  }
  EXPECT_TRUE(Calls().empty());
}

TEST_F(ProbeTest, RejectedImageReservesNothing) {
  Bytes bad = image_;
  Put32(bad, NtOffset(bad) + 128, 0x7FFFFF00);  // import directory beyond the image
  MemoryModule module;
  EXPECT_FALSE(module.Load(bad.data(), bad.size()));
  EXPECT_TRUE(IsFree(kImageBase));
  EXPECT_TRUE(Calls().empty());
}

TEST_F(ProbeTest, FindExportByNameAndOrdinal) {
  MemoryModule module;
  ASSERT_TRUE(module.Load(image_.data(), image_.size()));
  const std::uint32_t six = module.FindExport("ProbeSix");
  ASSERT_NE(six, 0u);
  EXPECT_EQ(module.FindExport("6"), six);
  EXPECT_EQ(CallAddress(six), 6u);
  EXPECT_EQ(CallAddress(module.FindExport("7")), 7u);
  for (const char* missing : {"06", "+6", "probesix", "PROBESIX", "3", "0", "8", "-1", ""}) {
    EXPECT_EQ(module.FindExport(missing), 0u) << missing;
  }
  EXPECT_TRUE(module.Unload());
}

// Resolver seen by the ordinal import test.
std::string resolvedLibrary, resolvedProcedure;
std::uint32_t resolverDataSeen = 0;

int __cdecl ReplacementFive() { return 777; }

std::uint32_t __stdcall RecordingResolver(std::uint32_t library, std::uint32_t procedure,
                                          std::uint32_t data, std::uint32_t, std::uint32_t,
                                          std::uint32_t, std::uint32_t, std::uint32_t,
                                          std::uint32_t, std::uint32_t) {
  resolvedLibrary = reinterpret_cast<const char*>(library);
  resolvedProcedure = reinterpret_cast<const char*>(procedure);
  resolverDataSeen = data;
  return reinterpret_cast<std::uint32_t>(&ReplacementFive);
}

TEST(MemoryModuleImports, OrdinalImportThroughGetProcAddressOrResolver) {
  const Bytes image = ReadBesideTest("ordinal_user.dll");
  ASSERT_FALSE(image.empty());
  MemoryModule plain;
  ASSERT_TRUE(plain.Load(image.data(), image.size()));
  EXPECT_EQ(CallAddress(plain.FindExport("UserCallsFive")), 5005u);

  MemoryModule resolved;
  ASSERT_TRUE(resolved.Load(image.data(), image.size(), &RecordingResolver, 0xDA7A));
  EXPECT_EQ(CallAddress(resolved.FindExport("UserCallsFive")), 777u);
  EXPECT_EQ(resolvedLibrary, "ordinal_source.dll");
  EXPECT_EQ(resolvedProcedure, "5");
  EXPECT_EQ(resolverDataSeen, 0xDA7Au);
  EXPECT_TRUE(plain.Unload());
  EXPECT_TRUE(resolved.Unload());
}

// Targets of CallAddress: callee-cleaned with 0, 3 and 10 arguments, caller-cleaned.
std::uint32_t __stdcall None() { return 100; }
std::uint32_t __stdcall Three(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
  return a * 100 + b * 10 + c;
}
std::uint32_t __stdcall Ten(std::uint32_t a1, std::uint32_t a2, std::uint32_t a3,
                            std::uint32_t a4, std::uint32_t a5, std::uint32_t a6,
                            std::uint32_t a7, std::uint32_t a8, std::uint32_t a9,
                            std::uint32_t a10) {
  return a1 + 2 * a2 + 3 * a3 + 4 * a4 + 5 * a5 + 6 * a6 + 7 * a7 + 8 * a8 + 9 * a9 + 10 * a10;
}
std::uint32_t __cdecl CdeclTwo(std::uint32_t a, std::uint32_t b) { return a - b; }

template <typename F>
std::uint32_t AddressOf(F* function) {
  return reinterpret_cast<std::uint32_t>(function);
}

TEST(CallAddress, ReturnsResultWhateverTheCalleeRemoves) {
  volatile std::uint32_t guard = 0x600D600D;
  // Repeated calls would drift the stack pointer if any of them left it unbalanced.
  for (int round = 0; round < 100; ++round) {
    EXPECT_EQ(CallAddress(AddressOf(&None), 9, 9, 9), 100u);
    EXPECT_EQ(CallAddress(AddressOf(&Three), 1, 2, 3, 7, 7, 7, 7, 7, 7, 7), 123u);
    EXPECT_EQ(CallAddress(AddressOf(&Ten), 1, 1, 1, 1, 1, 1, 1, 1, 1, 1), 55u);
    EXPECT_EQ(CallAddress(AddressOf(&Ten), 0, 0, 0, 0, 0, 0, 0, 0, 0, 1), 10u);
    EXPECT_EQ(CallAddress(AddressOf(&CdeclTwo), 50, 8), 42u);
  }
  EXPECT_EQ(guard, 0x600D600Du);
}

}  // namespace
}  // namespace tonvia
