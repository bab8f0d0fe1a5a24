// The tutorial window "设置教程": a second top-level window without owner that shows the
// tutorial picture in the picture box 图片框1. At most one is open; opening it again brings
// the open one forward.
#pragma once

#include <windows.h>

#include "app/open_windows.h"

namespace tonvia {

class TutorialWindow {
 public:
  static constexpr int kWidth = 587;
  static constexpr int kHeight = 473;

  explicit TutorialWindow(OpenWindows& windows) : windows_(windows) {}
  TutorialWindow(const TutorialWindow&) = delete;
  TutorialWindow& operator=(const TutorialWindow&) = delete;
  ~TutorialWindow();

  // Makes the window afresh, or restores / brings forward and activates the open one.
  void Open();

  HWND hwnd() const { return hwnd_; }
  HWND pictureBox() const { return pictureBox_; }
  // The decoded picture the box draws, or null when decoding failed.
  HBITMAP picture() const { return picture_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK PictureProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void ReleasePicture();

  OpenWindows& windows_;
  HWND hwnd_ = nullptr;
  HWND pictureBox_ = nullptr;
  HBITMAP picture_ = nullptr;  // owned while the window is open
};

}  // namespace tonvia
