// Cross-process operations on another program's windows, with time limits: the program may be
// slow (Wine under emulation) or busy inside a page fetch.
#pragma once

#include <windows.h>

#include <string>

namespace tonvia_driver {

// How long one message sent to the other process may take before it counts as hung.
inline constexpr UINT kSendTimeoutMs = 30000;

// The visible or hidden top-level window with this exact title; nullptr when there is none.
HWND FindTopLevel(const wchar_t* title, const wchar_t* className = nullptr);

// Reads a control's text. False when the window does not answer in time.
bool ReadText(HWND window, std::wstring& text);
bool WriteText(HWND window, const std::wstring& text);
bool Click(HWND button);

// Sends a no-op message and measures the round trip; false when it is not answered in timeoutMs.
bool Ping(HWND window, UINT timeoutMs, double& milliseconds);

// Calls condition every 50 ms until it holds or seconds have passed.
template <typename Condition>
bool WaitUntil(double seconds, Condition condition) {
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
  for (;;) {
    if (condition()) return true;
    if (GetTickCount64() >= deadline) return false;
    Sleep(50);
  }
}

struct ProcessFigures {
  double cpuMs = 0;
  double workingSetKb = 0;
  double peakWorkingSetKb = 0;
  double privateKb = 0;
};

// CPU time and memory of the process that owns window.
bool ReadProcessFigures(HWND window, ProcessFigures& figures);

}  // namespace tonvia_driver
