#include "app/tutorial_window.h"

#include "app/program_resources.h"

namespace tonvia {
namespace {

constexpr char kClassName[] = "TonviaTutorialWindow";
constexpr char kPictureClassName[] = "TonviaPictureBox";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

// The picture box sits slightly above and left of the client area so it covers it whole.
constexpr int kPictureLeft = -2, kPictureTop = -8, kPictureWidth = 608, kPictureHeight = 456;


// Draws the bitmap at its own size from the box's top-left corner, without scaling.
void DrawPicture(HDC dc, HBITMAP picture) {
  BITMAP info;
  if (!picture || !GetObjectA(picture, sizeof(info), &info)) return;
  HDC memory = CreateCompatibleDC(dc);
  if (!memory) return;
  HGDIOBJ old = SelectObject(memory, picture);
  BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
}

}  // namespace

TutorialWindow::~TutorialWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
  ReleasePicture();
}

void TutorialWindow::ReleasePicture() {
  if (picture_) DeleteObject(picture_);
  picture_ = nullptr;
}

void TutorialWindow::Open() {
  if (hwnd_) {
    if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
    SetForegroundWindow(hwnd_);
    SetActiveWindow(hwnd_);
    return;
  }
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!RegisterProgramClass(instance, kClassName, WindowProc, true) ||
      !RegisterProgramClass(instance, kPictureClassName, PictureProc, false)) {
    return;
  }
  int left = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
  int top = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
  HWND hwnd = CreateWindowExA(WS_EX_APPWINDOW, kClassName, "设置教程", kStyle, left, top, kWidth, kHeight,
                              nullptr, nullptr, instance, this);
  if (!hwnd) return;
  RECT outer;
  GetWindowRect(hwnd, &outer);
  if (outer.right - outer.left != kWidth || outer.bottom - outer.top != kHeight) {
    SetWindowPos(hwnd, nullptr, 0, 0, kWidth, kHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  picture_ = LoadTutorialBitmap();
  pictureBox_ = CreateWindowExA(0, kPictureClassName, "图片框1", WS_CHILD | WS_VISIBLE, kPictureLeft, kPictureTop,
                                kPictureWidth, kPictureHeight, hwnd, nullptr, instance, nullptr);
  SetWindowLongPtrA(pictureBox_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(picture_));
  ShowWindow(hwnd, SW_SHOW);
  SetForegroundWindow(hwnd);
}

LRESULT CALLBACK TutorialWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<TutorialWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    self->windows_.Opened(hwnd);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else if (message == WM_NCDESTROY) {
    if (auto* self = reinterpret_cast<TutorialWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA))) {
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      self->hwnd_ = nullptr;
      self->pictureBox_ = nullptr;
      self->ReleasePicture();
      self->windows_.Closed(hwnd);
    }
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK TutorialWindow::PictureProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    DrawPicture(dc, reinterpret_cast<HBITMAP>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)));
    EndPaint(hwnd, &paint);
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace tonvia
