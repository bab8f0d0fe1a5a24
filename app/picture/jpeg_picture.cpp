#include "app/picture/jpeg_picture.h"

#include <csetjmp>
#include <cstdio>  // jpeglib.h uses FILE without including it
#include <limits>
#include <new>
#include <utility>

#include <jpeglib.h>

namespace {

// Pictures beyond these bounds are refused from their header, before libjpeg or we allocate
// buffers for them. The tutorial picture is far below; a 32-bit process could not hold much more.
constexpr unsigned kMaxSide = 16384;
constexpr unsigned long long kMaxPixels = 4096ull * 4096ull;

// libjpeg reports fatal errors through error_exit, which must not return; the default one calls
// exit(). Ours jumps back into DecodeInto. Warnings (corrupt or missing entropy data, a premature
// end of data) jump back too: a damaged picture is refused rather than shown half grey.
struct ErrorTrap {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

[[noreturn]] void JumpOut(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorTrap*>(info->err)->jump, 1);
}

void TrapWarnings(j_common_ptr info, int level) {
  if (level < 0) JumpOut(info);  // below 0: warning; 0 and up: trace messages, ignored
}

void Silence(j_common_ptr) {}

bool SizeIsPlausible(JDIMENSION width, JDIMENSION height) {
  return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
         static_cast<unsigned long long>(width) * height <= kMaxPixels;
}

// Holds only plain C objects, so that a longjmp out of libjpeg skips no destructor; `picture`
// belongs to the caller and is not touched after a jump.
bool DecodeInto(const unsigned char* data, unsigned long size, DecodedPicture& picture) {
  jpeg_decompress_struct info{};
  ErrorTrap trap{};
  info.err = jpeg_std_error(&trap.manager);
  trap.manager.error_exit = JumpOut;
  trap.manager.emit_message = TrapWarnings;
  trap.manager.output_message = Silence;
  if (setjmp(trap.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, size);
  jpeg_read_header(&info, TRUE);
  if (!SizeIsPlausible(info.image_width, info.image_height)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  info.out_color_space = JCS_EXT_BGR;
  jpeg_start_decompress(&info);

  const int width = static_cast<int>(info.output_width);
  const int height = static_cast<int>(info.output_height);
  const std::size_t stride = PictureStride(width);
  bool stored = info.output_components == 3;
  if (stored) {
    try {
      picture.bgr.assign(stride * static_cast<std::size_t>(height), 0);
    } catch (const std::bad_alloc&) {
      stored = false;
    }
  }
  if (!stored) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  picture.width = width;
  picture.height = height;
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = picture.bgr.data() + stride * info.output_scanline;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

}  // namespace

std::size_t PictureStride(int width) {
  return (static_cast<std::size_t>(width) * 3 + 3) & ~static_cast<std::size_t>(3);
}

bool DecodeJpeg(const unsigned char* data, std::size_t size, DecodedPicture& out) {
  if (data == nullptr || size == 0 || size > std::numeric_limits<unsigned long>::max()) {
    return false;
  }
  DecodedPicture picture;
  if (!DecodeInto(data, static_cast<unsigned long>(size), picture)) return false;
  out = std::move(picture);
  return true;
}
