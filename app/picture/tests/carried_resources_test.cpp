#include <windows.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include <gtest/gtest.h>

#include "app/picture/jpeg_picture.h"
#include "app/picture/resource_ids.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Resource(int id, LPCSTR type) {
  HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), type);
  if (found == nullptr) return {};
  HGLOBAL loaded = LoadResource(nullptr, found);  // module resources need no freeing
  const auto* data = static_cast<const unsigned char*>(LockResource(loaded));
  if (data == nullptr) return {};
  return Bytes(data, data + SizeofResource(nullptr, found));
}

TEST(CarriedResources, TutorialPictureIsTheCommittedFile) {
  std::ifstream in(TONVIA_TUTORIAL_JPEG, std::ios::binary);
  const Bytes committed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_FALSE(committed.empty()) << TONVIA_TUTORIAL_JPEG;
  const Bytes carried = Resource(IDR_TUTORIAL_JPEG, MAKEINTRESOURCEA(10));  // RT_RCDATA
  EXPECT_EQ(carried, committed);
  DecodedPicture picture;
  ASSERT_TRUE(DecodeJpeg(carried.data(), carried.size(), picture));
  EXPECT_EQ(picture.width, 584);
  EXPECT_EQ(picture.height, 446);
}

// The icon group must hold a true 128 x 128, 32 bits per pixel image (not one scaled up from a
// smaller size), and Windows must load it at that size.
TEST(CarriedResources, IconHasA128Pixel32BitImage) {
  const Bytes group = Resource(IDI_TONVIA, MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
  ASSERT_GE(group.size(), 6u);
  const unsigned count = group[4] | group[5] << 8;
  ASSERT_EQ(group.size(), 6u + count * 14u);  // header, then 14-byte entries
  bool found = false;
  for (unsigned i = 0; i < count; ++i) {
    const unsigned char* entry = group.data() + 6 + i * 14;  // width, height, ..., bit count at 6
    found |= entry[0] == 128 && entry[1] == 128 && (entry[6] | entry[7] << 8) == 32;
  }
  EXPECT_TRUE(found);

  HANDLE icon = LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_TONVIA), IMAGE_ICON,
                           128, 128, LR_DEFAULTCOLOR);
  ASSERT_NE(icon, nullptr);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(static_cast<HICON>(icon), &info));
  BITMAP colour{};
  EXPECT_TRUE(GetObjectA(info.hbmColor, sizeof colour, &colour));
  EXPECT_EQ(colour.bmWidth, 128);
  EXPECT_EQ(colour.bmHeight, 128);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  DestroyIcon(static_cast<HICON>(icon));
}

}  // namespace
