#include "app/program_resources.h"

#include "app/picture/jpeg_picture.h"
#include "app/picture/resource_ids.h"

#include <cstring>

namespace tonvia {

HICON LoadProgramIcon(int size) {
  return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_TONVIA), IMAGE_ICON,
                                       size, size, LR_SHARED));
}

HBITMAP LoadTutorialBitmap() {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(IDR_TUTORIAL_JPEG), MAKEINTRESOURCEA(10));
  if (!resource) return nullptr;
  HGLOBAL loaded = LoadResource(module, resource);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return nullptr;

  DecodedPicture picture;
  if (!DecodeJpeg(static_cast<const unsigned char*>(data), SizeofResource(module, resource), picture)) {
    return nullptr;
  }
  std::size_t stride = PictureStride(picture.width);
  if (picture.width <= 0 || picture.height <= 0 || picture.bgr.size() < stride * static_cast<std::size_t>(picture.height)) {
    return nullptr;
  }

  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height;  // rows top-down, as decoded
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap || !bits) {
    if (bitmap) DeleteObject(bitmap);
    return nullptr;
  }
  std::memcpy(bits, picture.bgr.data(), stride * static_cast<std::size_t>(picture.height));
  return bitmap;
}

bool RegisterProgramClass(HINSTANCE instance, const char* className, WNDPROC proc, bool withIcon) {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = className;
  if (withIcon) {
    wc.hIcon = LoadProgramIcon(GetSystemMetrics(SM_CXICON));
    wc.hIconSm = LoadProgramIcon(GetSystemMetrics(SM_CXSMICON));
  }
  return RegisterClassExA(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace tonvia
