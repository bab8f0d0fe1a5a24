#include "tools/driver/window_ops.h"

#include <psapi.h>

#include <vector>

namespace tonvia_driver {
namespace {

class OwnedHandle {
 public:
  explicit OwnedHandle(HANDLE handle) : handle_(handle) {}
  ~OwnedHandle() {
    if (handle_) CloseHandle(handle_);
  }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

struct TitleSearch {
  const wchar_t* title;
  const wchar_t* className;
  HWND found;
};

BOOL CALLBACK MatchTitle(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<TitleSearch*>(param);
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  if (wcscmp(text, search->title) != 0) return TRUE;
  if (search->className) {
    wchar_t cls[64] = {};
    GetClassNameW(window, cls, 64);
    if (wcscmp(cls, search->className) != 0) return TRUE;
  }
  search->found = window;
  return FALSE;
}

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR& result) {
  return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kSendTimeoutMs,
                             &result) != 0;
}

}  // namespace

HWND FindTopLevel(const wchar_t* title, const wchar_t* className) {
  TitleSearch search{title, className, nullptr};
  EnumWindows(MatchTitle, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool ReadText(HWND window, std::wstring& text) {
  DWORD_PTR length = 0;
  if (!Send(window, WM_GETTEXTLENGTH, 0, 0, length)) return false;
  std::vector<wchar_t> buffer(length + 1);
  DWORD_PTR copied = 0;
  if (!Send(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), copied))
    return false;
  text.assign(buffer.data(), copied < buffer.size() ? copied : buffer.size() - 1);
  return true;
}

bool WriteText(HWND window, const std::wstring& text) {
  DWORD_PTR result = 0;
  return Send(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), result);
}

bool Click(HWND button) {
  // Posted, not sent: a click handler may run long (a page fetch) and must not hold the driver.
  return PostMessageW(button, BM_CLICK, 0, 0) != 0;
}

bool Ping(HWND window, UINT timeoutMs, double& milliseconds) {
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  DWORD_PTR result = 0;
  const bool answered =
      SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result) != 0;
  QueryPerformanceCounter(&end);
  milliseconds = 1000.0 * (end.QuadPart - start.QuadPart) / frequency.QuadPart;
  return answered;
}

bool ReadProcessFigures(HWND window, ProcessFigures& figures) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  OwnedHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
  if (!process.get()) return false;
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process.get(), &created, &exited, &kernel, &user)) return false;
  auto ticks = [](const FILETIME& t) {
    return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  figures.cpuMs = (ticks(kernel) + ticks(user)) / 10000.0;
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof memory;
  if (!GetProcessMemoryInfo(process.get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                            sizeof memory))
    return false;
  figures.workingSetKb = memory.WorkingSetSize / 1024.0;
  figures.peakWorkingSetKb = memory.PeakWorkingSetSize / 1024.0;
  figures.privateKb = memory.PrivateUsage / 1024.0;
  return true;
}

}  // namespace tonvia_driver
