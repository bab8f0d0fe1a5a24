#pragma once

#include <cstddef>
#include <vector>

// A decoded picture laid out for a top-down 24-bit DIB (negative height): rows top-down, 3 bytes per
// pixel in B, G, R order, each row padded with zero bytes to a multiple of 4 bytes.
struct DecodedPicture {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> bgr;
};

// Bytes per row of a 24-bit picture `width` pixels wide, padded to a multiple of 4.
std::size_t PictureStride(int width);

// Decodes a baseline or progressive JPEG held in memory. Returns false, leaving `out` untouched,
// for empty, corrupt or truncated data (libjpeg warnings count as corruption), for colour spaces
// that cannot be shown as RGB (CMYK), and for pictures too large to be plausible.
bool DecodeJpeg(const unsigned char* data, std::size_t size, DecodedPicture& out);
