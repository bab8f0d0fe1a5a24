// Shows the same window twice, for a look at the skin beside the stock look: the left one on a
// thread of its own that is never skinned, the right one on the main thread with the carried
// skin attached (the engine dresses only the thread that attaches it). Closes after 60 s.
#include <windows.h>

#include "skin/skin_binding.h"

namespace {

LRESULT CALLBACK PreviewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CTLCOLOREDIT:
      if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == 5) {
        SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0, 136, 255));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
      }
      break;
    case WM_CTLCOLORSTATIC:
      if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == 7) {
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        SetTextColor(reinterpret_cast<HDC>(wParam), RGB(255, 0, 0));
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
      }
      break;
    case WM_TIMER:
    case WM_CLOSE:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void CreatePreview(int x, const char* title) {
  HWND frame = CreateWindowA("SkinPreview", title, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, x, 20,
                             380, 300, nullptr, nullptr, nullptr, nullptr);
  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  const struct {
    const char* cls;
    const char* text;
    DWORD style, exStyle;
    int x, y, width, height;
  } controls[] = {
      {"STATIC", "酷狗盘符：", 0, 0, 12, 16, 70, 18},
      {"EDIT", "E", ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 84, 12, 40, 22},
      {"BUTTON", "开始", BS_DEFPUSHBUTTON, 0, 136, 10, 64, 26},
      {"BUTTON", "停止", BS_PUSHBUTTON | WS_DISABLED, 0, 208, 10, 64, 26},
      {"EDIT", "基调：C大调\r\n\r\n《晴天》", ES_MULTILINE | WS_VSCROLL, WS_EX_CLIENTEDGE, 12, 48,
       340, 150},
      {"BUTTON", "教程", BS_PUSHBUTTON, 0, 280, 10, 64, 26},
      {"STATIC", "提示：先设置盘符再开始", 0, 0, 12, 210, 200, 18},
  };
  int id = 1;
  for (const auto& c : controls) {
    HWND control = CreateWindowExA(c.exStyle, c.cls, c.text, WS_CHILD | WS_VISIBLE | c.style, c.x,
                                   c.y, c.width, c.height, frame,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)), nullptr,
                                   nullptr);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  SetTimer(frame, 1, 60000, nullptr);
  ShowWindow(frame, SW_SHOW);
}

void RunMessageLoop() {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

DWORD WINAPI StockThread(void*) {
  CreatePreview(10, "未加皮肤");
  RunMessageLoop();
  return 0;
}

}  // namespace

int main() {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = PreviewProc;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = "SkinPreview";
  RegisterClassA(&windowClass);

  HANDLE stock = CreateThread(nullptr, 0, StockThread, nullptr, 0, nullptr);
  tonvia::StartSkinBinding([](tonvia::ExitRoutine) {});
  CreatePreview(400, "皮肤");
  tonvia::AttachCarriedSkin();
  RunMessageLoop();
  if (stock) {
    WaitForSingleObject(stock, INFINITE);
    CloseHandle(stock);
  }
  return 0;
}
