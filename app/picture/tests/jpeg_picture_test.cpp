#include "app/picture/jpeg_picture.h"

#include <algorithm>
#include <cstdio>  // jpeglib.h uses FILE without including it
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <jpeglib.h>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes ReadFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const Bytes& Tutorial() {
  static const Bytes bytes = ReadFile(TONVIA_TUTORIAL_JPEG);
  return bytes;
}

// Encodes a small picture whose left half is pure red and right half pure blue, so a decoder
// that swaps channels or misplaces rows shows it. `components` 1 gives a greyscale picture.
Bytes EncodeTwoColours(int width, int height, int components, bool progressive) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = width;
  info.image_height = height;
  info.input_components = components;
  info.in_color_space = components == 3 ? JCS_RGB : JCS_GRAYSCALE;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 95, TRUE);
  if (components == 3) {  // full chroma resolution keeps the red/blue edge sharp
    info.comp_info[0].h_samp_factor = info.comp_info[0].v_samp_factor = 1;
  }
  if (progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  std::vector<unsigned char> row(static_cast<std::size_t>(width) * components);
  for (int x = 0; x < width; ++x) {
    const bool left = x < width / 2;
    if (components == 3) {
      row[x * 3 + 0] = left ? 255 : 0;
      row[x * 3 + 1] = 0;
      row[x * 3 + 2] = left ? 0 : 255;
    } else {
      row[x] = left ? 255 : 0;
    }
  }
  while (info.next_scanline < info.image_height) {
    JSAMPROW pointer = row.data();
    jpeg_write_scanlines(&info, &pointer, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  Bytes bytes(buffer, buffer + size);
  std::free(buffer);
  return bytes;
}

bool HasMarker(const Bytes& bytes, unsigned char marker) {
  for (std::size_t i = 0; i + 1 < bytes.size(); ++i) {
    if (bytes[i] == 0xFF && bytes[i + 1] == marker) return true;
  }
  return false;
}

// Offset of the first byte after the first start-of-scan header.
std::size_t ScanDataStart(const Bytes& bytes) {
  for (std::size_t i = 0; i + 3 < bytes.size(); ++i) {
    if (bytes[i] == 0xFF && bytes[i + 1] == 0xDA) return i + 2 + (bytes[i + 2] << 8 | bytes[i + 3]);
  }
  return bytes.size();
}

// Offset of the first start-of-frame header (baseline or progressive).
std::size_t FrameHeader(const Bytes& bytes) {
  for (std::size_t i = 0; i + 1 < bytes.size(); ++i) {
    if (bytes[i] == 0xFF && (bytes[i + 1] == 0xC0 || bytes[i + 1] == 0xC2)) return i;
  }
  return bytes.size();
}

void ExpectWellFormed(const DecodedPicture& picture) {
  ASSERT_GT(picture.width, 0);
  ASSERT_GT(picture.height, 0);
  EXPECT_EQ(picture.bgr.size(), PictureStride(picture.width) * picture.height);
}

TEST(DecodeJpeg, CarriedTutorialIsAProgressive584By446Picture) {
  const Bytes& bytes = Tutorial();
  ASSERT_FALSE(bytes.empty()) << TONVIA_TUTORIAL_JPEG;
  EXPECT_TRUE(HasMarker(bytes, 0xC2)) << "no progressive frame header";
  EXPECT_FALSE(HasMarker(bytes, 0xC0)) << "a baseline frame header";
  DecodedPicture picture;
  ASSERT_TRUE(DecodeJpeg(bytes.data(), bytes.size(), picture));
  EXPECT_EQ(picture.width, 584);
  EXPECT_EQ(picture.height, 446);
  EXPECT_EQ(PictureStride(584), 1752u);
  EXPECT_EQ(picture.bgr.size(), 1752u * 446u);
}

TEST(DecodeJpeg, StoresBgrRowsTopDownPaddedToFourBytes) {
  struct Case {
    int width, height, components;
    bool progressive;
  };
  for (const Case& c : {Case{17, 5, 3, false}, Case{18, 9, 3, true}, Case{33, 3, 1, true}}) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " components " +
                 std::to_string(c.components) + (c.progressive ? " progressive" : " baseline"));
    const Bytes bytes = EncodeTwoColours(c.width, c.height, c.components, c.progressive);
    DecodedPicture picture;
    ASSERT_TRUE(DecodeJpeg(bytes.data(), bytes.size(), picture));
    ASSERT_EQ(picture.width, c.width);
    ASSERT_EQ(picture.height, c.height);
    const std::size_t stride = PictureStride(c.width);
    EXPECT_EQ(stride % 4, 0u);
    EXPECT_GE(stride, static_cast<std::size_t>(c.width) * 3);
    ASSERT_EQ(picture.bgr.size(), stride * c.height);
    for (int y = 0; y < c.height; ++y) {
      const unsigned char* row = picture.bgr.data() + stride * y;
      const unsigned char* left = row;                        // B, G, R of the first pixel
      const unsigned char* right = row + (c.width - 1) * 3;   // and of the last one
      if (c.components == 3) {
        EXPECT_LT(left[0], 40);  // red: no blue, full red
        EXPECT_GT(left[2], 215);
        EXPECT_GT(right[0], 215);  // blue: full blue, no red
        EXPECT_LT(right[2], 40);
      } else {
        EXPECT_GT(left[0], 215);  // grey expands to equal B, G and R
        EXPECT_EQ(left[0], left[1]);
        EXPECT_EQ(left[1], left[2]);
        EXPECT_LT(right[2], 40);
      }
      for (std::size_t pad = c.width * 3; pad < stride; ++pad) EXPECT_EQ(row[pad], 0) << y;
    }
  }
}

TEST(DecodeJpeg, RefusesEmptyAndForeignInputAndLeavesTheOutputAlone) {
  const unsigned char png[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 0};
  const unsigned char soiOnly[] = {0xFF, 0xD8};
  DecodedPicture picture{7, 9, {1, 2, 3}};
  EXPECT_FALSE(DecodeJpeg(nullptr, 0, picture));
  EXPECT_FALSE(DecodeJpeg(png, 0, picture));
  EXPECT_FALSE(DecodeJpeg(png, sizeof png, picture));
  EXPECT_FALSE(DecodeJpeg(soiOnly, sizeof soiOnly, picture));
  EXPECT_EQ(picture.width, 7);
  EXPECT_EQ(picture.height, 9);
  EXPECT_EQ(picture.bgr, (Bytes{1, 2, 3}));
}

TEST(DecodeJpeg, RefusesTruncatedPictures) {
  const Bytes& whole = Tutorial();
  ASSERT_FALSE(whole.empty());
  const std::size_t scan = ScanDataStart(whole);
  for (std::size_t length : {std::size_t{3}, FrameHeader(whole) + 5, scan - 1, scan + 100,
                             whole.size() / 2, whole.size() - 2}) {
    SCOPED_TRACE(length);
    const Bytes cut(whole.begin(), whole.begin() + length);
    DecodedPicture picture;
    EXPECT_FALSE(DecodeJpeg(cut.data(), cut.size(), picture));
  }
}

TEST(DecodeJpeg, BrokenHeadersAreRefused) {
  const Bytes& whole = Tutorial();
  ASSERT_FALSE(whole.empty());
  const std::size_t frame = FrameHeader(whole);  // FF C2, length(2), precision, height(2), width(2)
  ASSERT_LT(frame + 9, whole.size());
  struct Case {
    const char* what;
    std::size_t at;
    std::vector<unsigned char> bytes;
  };
  const Case cases[] = {
      {"zero height", frame + 5, {0, 0}},
      {"absurd size 60000 x 60000", frame + 5, {0xEA, 0x60, 0xEA, 0x60}},
      {"12-bit precision", frame + 4, {12}},
      {"segment length past the end", frame + 2, {0xFF, 0xFF}},
      {"no start-of-image marker", 0, {0x00, 0x00}},
      {"unknown marker for the frame", frame + 1, {0x01}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes broken = whole;
    std::copy(c.bytes.begin(), c.bytes.end(), broken.begin() + c.at);
    DecodedPicture picture;
    EXPECT_FALSE(DecodeJpeg(broken.data(), broken.size(), picture));
  }
}

// Damaged entropy-coded data is not always detectable; the outcome must still be defined: false,
// or a picture of the declared size with a consistent buffer.
TEST(DecodeJpeg, FlippedScanBytesGiveFalseOrAWellFormedPicture) {
  const Bytes& whole = Tutorial();
  ASSERT_FALSE(whole.empty());
  const std::size_t scan = ScanDataStart(whole);
  int refused = 0;
  for (int trial = 0; trial < 8; ++trial) {
    Bytes broken = whole;
    const std::size_t span = broken.size() - scan - 2;
    for (int k = 0; k < 16; ++k) {
      const std::size_t at = scan + (span * (trial * 16 + k + 1)) / 130;
      broken[at] ^= static_cast<unsigned char>(0x5A + trial * 7 + k);
    }
    DecodedPicture picture;
    if (DecodeJpeg(broken.data(), broken.size(), picture)) {
      ExpectWellFormed(picture);
      EXPECT_EQ(picture.width, 584);
      EXPECT_EQ(picture.height, 446);
    } else {
      ++refused;
    }
  }
  EXPECT_GT(refused, 0) << "no damage was noticed at all";
}

}  // namespace
