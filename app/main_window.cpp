#include "app/main_window.h"

#include "app/drive_letter_setting.h"
#include "app/program_resources.h"
#include "detect/delete_folder_files.h"
#include "detect/detection_tick.h"
#include "lookup/lookup_pass.h"
#include "skin/skin_binding.h"

namespace tonvia {
namespace {

constexpr char kClassName[] = "TonviaMainWindow";
constexpr char kTitle[] = "Tonvia v2.0 - Velmora";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr COLORREF kResultsColour = RGB(0, 136, 255);
constexpr COLORREF kLabelColour = RGB(0, 0, 0);

const char* ClassOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::Button: return "BUTTON";
    case ControlKind::Edit: return "EDIT";
    case ControlKind::Label:
    case ControlKind::TransparentLabel: return "STATIC";
  }
  return "STATIC";
}


}  // namespace

void ShowTaskModalWarning(const char* text, const char* caption) {
  MessageBoxA(nullptr, text, caption, MB_OK | MB_TASKMODAL);
}

MainWindow::MainWindow(const ShellSettings& settings, OpenWindows& windows, TutorialWindow& tutorial)
    : settings_(settings), windows_(windows), tutorial_(tutorial) {}

MainWindow::~MainWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

HWND MainWindow::control(Control control) const { return controls_[static_cast<int>(control)]; }

bool MainWindow::Create() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!RegisterProgramClass(instance, kClassName, WindowProc, true)) return false;
  int left = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
  int top = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
  HWND hwnd = CreateWindowExA(WS_EX_APPWINDOW, kClassName, kTitle, kStyle, left, top, kWidth, kHeight,
                              nullptr, nullptr, instance, this);
  if (!hwnd) return false;
  RECT outer;
  GetWindowRect(hwnd_, &outer);
  if (outer.right - outer.left != kWidth || outer.bottom - outer.top != kHeight) {
    SetWindowPos(hwnd_, nullptr, 0, 0, kWidth, kHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  CreateControls();
  RunCreationHandler();
  return hwnd_ != nullptr;
}

void MainWindow::Show() {
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
}

void MainWindow::CreateControls() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  HFONT guiFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  resultsFont_.Reset(CreateFontA(-14, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 DEFAULT_PITCH | FF_DONTCARE, nullptr));

  // Created from the last row of the table to the first, each with its settings and text.
  for (int i = static_cast<int>(std::size(kMainWindowControls)) - 1; i >= 0; --i) {
    const ControlLayout& layout = kMainWindowControls[i];
    HWND child = CreateWindowExA(layout.exStyle, ClassOf(layout.kind), "", layout.style, layout.left,
                                 layout.top, layout.width, layout.height, hwnd_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(layout.control))),
                                 instance, nullptr);
    controls_[i] = child;
    bool results = layout.control == Control::编辑框2;
    HFONT font = results && resultsFont_.get() ? resultsFont_.get() : guiFont;
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (layout.kind == ControlKind::Edit) SendMessageA(child, EM_SETLIMITTEXT, 0, 0);
    if (std::optional<Field> field = FieldOfControl(layout.control)) fields_.Bind(*field, child);
    // The initial text is not a change: the field store is still silent while it is set.
    SetWindowTextA(child, InitialControlText(layout.control).c_str());
  }
  // Stacked in table order, the first on top: each control in turn goes to the top, last row
  // first.
  for (int i = static_cast<int>(std::size(kMainWindowControls)) - 1; i >= 0; --i) {
    SetWindowPos(controls_[i], HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  for (HWND child : controls_) ShowWindow(child, SW_SHOWNA);

  fields_.OnChanged(Field::编辑框1, [this] { SaveDriveLetter(fields_, settings_.settingsFile); });
}

void MainWindow::RunCreationHandler() {
  AttachCarriedSkin();
  if (!SettingsFileExists(settings_.settingsFile)) {
    settings_.showWarning("使用前请务必设置好酷狗盘符！不懂看帮助！", "重要提示：");
  }
  LoadDriveLetter(fields_, settings_.settingsFile);
}

void MainWindow::Start() {
  if (!timer_) return;
  timer_->SetPeriod(kDetectionPeriod);
  DeleteFolderFiles(fields_.Read(Field::编辑框1) + fields_.Read(Field::编辑框6), "");
  EnableWindow(control(Control::开始), FALSE);
}

void MainWindow::Stop() {
  if (!timer_) return;
  timer_->SetPeriod(0);
  EnableWindow(control(Control::开始), TRUE);
}

void MainWindow::RunTick() {
  const char* settingsFile = settings_.settingsFile;
  RunDetectionTick(fields_, [settingsFile](FieldStore& fields, TickState& state) {
    RunLookupPass(fields, state, settingsFile);
  });
}

void MainWindow::OnCommand(int id, int code) {
  if (id == ControlId(Control::开始) && code == BN_CLICKED) {
    Start();
  } else if (id == ControlId(Control::按钮1) && code == BN_CLICKED) {
    Stop();
  } else if (id == ControlId(Control::按钮2) && code == BN_CLICKED) {
    tutorial_.Open();
  } else if (code == EN_CHANGE) {
    for (const ControlLayout& layout : kMainWindowControls) {
      if (ControlId(layout.control) != id) continue;
      if (std::optional<Field> field = FieldOfControl(layout.control)) fields_.OnEditChanged(*field);
    }
  }
}

HBRUSH MainWindow::ColourControl(HDC dc, HWND child, UINT message) {
  if (child == control(Control::编辑框2)) {
    SetTextColor(dc, kResultsColour);
    SetBkColor(dc, GetSysColor(message == WM_CTLCOLOREDIT ? COLOR_WINDOW : COLOR_BTNFACE));
    return GetSysColorBrush(message == WM_CTLCOLOREDIT ? COLOR_WINDOW : COLOR_BTNFACE);
  }
  if (child == control(Control::透明标签1) || child == control(Control::透明标签2)) {
    // The window clips its children, so nothing is painted under a label that fills its
    // background with no brush: paint the window's own background (skinned or not) there first.
    POINT origin{0, 0};
    MapWindowPoints(child, hwnd_, &origin, 1);
    POINT previous;
    SetWindowOrgEx(dc, origin.x, origin.y, &previous);
    SendMessageA(hwnd_, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SetWindowOrgEx(dc, previous.x, previous.y, nullptr);
    SetTextColor(dc, kLabelColour);
    SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  }
  return nullptr;
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    self->timer_.emplace(hwnd);
    self->windows_.Opened(hwnd);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    self->timer_.reset();
    self->hwnd_ = nullptr;
    for (HWND& child : self->controls_) child = nullptr;
    self->fields_.UnbindAll();
    self->windows_.Closed(hwnd);
    return DefWindowProcA(hwnd, message, wParam, lParam);
  }
  return self->Handle(message, wParam, lParam);
}

LRESULT MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (lParam) OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_TIMER:
      if (wParam == DetectionTimer::kId) RunTick();
      return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      if (HBRUSH brush = ColourControl(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), message)) {
        return reinterpret_cast<LRESULT>(brush);
      }
      break;
  }
  return DefWindowProcA(hwnd_, message, wParam, lParam);
}

}  // namespace tonvia
