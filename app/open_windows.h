// The system's open top-level windows and the message loop that runs while any is open.
#pragma once

#include <windows.h>

#include <vector>

namespace tonvia {

class OpenWindows {
 public:
  void Opened(HWND window) { windows_.push_back(window); }
  // Forgets the window; when it was the last one, asks the message loop to end.
  void Closed(HWND window);
  bool Any() const { return !windows_.empty(); }
  bool Contains(HWND window) const;

 private:
  std::vector<HWND> windows_;
};

// Esc closes the system window that holds the focused control. True when msg was consumed.
bool CloseOnEscape(const MSG& msg, const OpenWindows& windows);

// Runs the message loop until no window of the system is open. It checks the open windows
// rather than relying only on WM_QUIT, which a nested message pump may take from the queue.
void RunMessageLoop(const OpenWindows& windows);

}  // namespace tonvia
