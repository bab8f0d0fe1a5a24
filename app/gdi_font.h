// Owns a GDI font for the life of the window that uses it.
#pragma once

#include <windows.h>

namespace tonvia {

class GdiFont {
 public:
  explicit GdiFont(HFONT font = nullptr) : font_(font) {}
  GdiFont(const GdiFont&) = delete;
  GdiFont& operator=(const GdiFont&) = delete;
  ~GdiFont() { Reset(); }

  void Reset(HFONT font = nullptr) {
    if (font_) DeleteObject(font_);
    font_ = font;
  }
  HFONT get() const { return font_; }

 private:
  HFONT font_;
};

}  // namespace tonvia
