// Owner of one WinInet handle. Win32 only.
#pragma once

#include <windows.h>
#include <wininet.h>

namespace tonvia {

class InternetHandle {
 public:
  explicit InternetHandle(HINTERNET handle = nullptr) : handle_(handle) {}
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;
  ~InternetHandle() { Close(); }

  HINTERNET get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

  void Reset(HINTERNET handle) {
    Close();
    handle_ = handle;
  }

  void Close() {
    if (handle_) InternetCloseHandle(handle_);
    handle_ = nullptr;
  }

 private:
  HINTERNET handle_;
};

}  // namespace tonvia
