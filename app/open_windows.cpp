#include "app/open_windows.h"

#include <algorithm>

namespace tonvia {

void OpenWindows::Closed(HWND window) {
  auto it = std::find(windows_.begin(), windows_.end(), window);
  if (it == windows_.end()) return;
  windows_.erase(it);
  if (windows_.empty()) PostQuitMessage(0);
}

bool OpenWindows::Contains(HWND window) const {
  return std::find(windows_.begin(), windows_.end(), window) != windows_.end();
}

bool CloseOnEscape(const MSG& msg, const OpenWindows& windows) {
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_ESCAPE || !msg.hwnd) return false;
  HWND root = GetAncestor(msg.hwnd, GA_ROOT);
  if (!windows.Contains(root)) return false;
  PostMessageA(root, WM_CLOSE, 0, 0);
  return true;
}

void RunMessageLoop(const OpenWindows& windows) {
  MSG msg;
  while (windows.Any() && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (CloseOnEscape(msg, windows)) continue;
    // Tab moves between the tab stops of whichever system window has the focus.
    HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (root && windows.Contains(root) && IsDialogMessageA(root, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace tonvia
