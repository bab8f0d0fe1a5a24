// The carried engine and skin, loaded and attached the way the program does it, driven on real
// windows: what the engine receives, how it dresses windows and what it must leave alone.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "skin/call_address.h"
#include "skin/engine/carried_data.h"
#include "skin/engine/diagnostics.h"
#include "skin/engine/skin_module.h"
#include "skin/skin_binding.h"

namespace tonvia {
namespace {

const COLORREF kSkinBackground = RGB(0xEE, 0xF2, 0xF6);  // window.background of the skin
const COLORREF kResultsText = RGB(0, 136, 255);
const COLORREF kLabelText = RGB(200, 0, 0);

const SkinEngineDiagnostics* DiagnosticsOf(const MemoryModule& engine) {
  const std::uint32_t probe = engine.FindExport("SkinH_Diagnostics");
  return probe ? reinterpret_cast<const SkinEngineDiagnostics*>(CallAddress(probe)) : nullptr;
}

std::uint32_t MappedImageSize(std::uint32_t base) {
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
  return nt->OptionalHeader.SizeOfImage;
}

void PumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

// A window like the program's: push buttons (one disabled), a single-line edit, a multi-line
// results box with a scroll bar and its own text colour, a plain and a transparent label.
struct TestWindow {
  HWND frame = nullptr, start = nullptr, stop = nullptr, edit = nullptr, results = nullptr,
       label = nullptr, transparentLabel = nullptr;
  std::vector<HWND> All() const {
    return {frame, start, stop, edit, results, label, transparentLabel};
  }
};

int g_commands = 0;

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CTLCOLOREDIT:
      if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == 4) {
        SetTextColor(reinterpret_cast<HDC>(wParam), kResultsText);
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
      }
      break;
    case WM_CTLCOLORSTATIC:
      if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == 6) {
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        SetTextColor(reinterpret_cast<HDC>(wParam), kLabelText);
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
      }
      break;
    case WM_COMMAND:
      if (LOWORD(wParam) == 1) ++g_commands;
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

TestWindow CreateTestWindow(int x) {
  static const ATOM registered = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = TestWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "SkinTestWindow";
    return RegisterClassA(&windowClass);
  }();
  EXPECT_NE(registered, 0);
  TestWindow w;
  w.frame = CreateWindowA("SkinTestWindow", "测试窗口", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                          x, 10, 320, 240, nullptr, nullptr, nullptr, nullptr);
  auto child = [&](const char* cls, const char* text, DWORD style, DWORD exStyle, int id, int cx,
                   int cy, int width, int height) {
    return CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, cx, cy, width,
                           height, w.frame, reinterpret_cast<HMENU>(id), nullptr, nullptr);
  };
  w.start = child("BUTTON", "开始", BS_PUSHBUTTON, 0, 1, 10, 10, 80, 28);
  w.stop = child("BUTTON", "停止", BS_PUSHBUTTON | WS_DISABLED, 0, 2, 100, 10, 80, 28);
  w.edit = child("EDIT", "E", ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 3, 10, 50, 60, 22);
  w.results = child("EDIT", "基调：C", ES_MULTILINE | WS_VSCROLL, WS_EX_CLIENTEDGE, 4, 10, 80,
                    280, 80);
  w.label = child("STATIC", "盘符：", 0, 0, 5, 80, 52, 60, 18);
  w.transparentLabel = child("STATIC", "说明", 0, 0, 6, 150, 52, 60, 18);
  ShowWindow(w.frame, SW_SHOWNOACTIVATE);
  UpdateWindow(w.frame);
  PumpMessages();
  return w;
}

// What the engine must never change about a window.
struct Appearance {
  std::string text;
  RECT rect;
  bool enabled;
  LONG style;
  bool operator==(const Appearance& o) const {
    return text == o.text && EqualRect(&rect, &o.rect) && enabled == o.enabled &&
           style == o.style;
  }
};

std::vector<Appearance> Snapshot(const TestWindow& w) {
  std::vector<Appearance> result;
  for (HWND window : w.All()) {
    char text[256] = {};
    Appearance a{};
    GetWindowTextA(window, text, sizeof text);
    a.text = text;
    GetWindowRect(window, &a.rect);
    a.enabled = IsWindowEnabled(window) != FALSE;
    a.style = GetWindowLongA(window, GWL_STYLE);
    result.push_back(a);
  }
  return result;
}

std::vector<LONG_PTR> WindowProcs(const TestWindow& w) {
  std::vector<LONG_PTR> result;
  for (HWND window : w.All()) result.push_back(GetWindowLongPtrA(window, GWLP_WNDPROC));
  return result;
}

COLORREF PixelOf(HWND window, int x, int y) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  PumpMessages();
  HDC hdc = GetDC(window);
  const COLORREF pixel = GetPixel(hdc, x, y);
  ReleaseDC(window, hdc);
  return pixel;
}

// The binding as the program runs it: started, attached once, windows present before and made
// after. The exit hook runs in the suite that follows.
class SkinBinding : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    before_ = CreateTestWindow(10);
    beforeLook_ = Snapshot(before_);
    beforeProcs_ = WindowProcs(before_);
    StartSkinBinding([](ExitRoutine routine) { exitRoutine_ = routine; });
    AttachCarriedSkin();
    PumpMessages();
  }

  static inline TestWindow before_;
  static inline std::vector<Appearance> beforeLook_;
  static inline std::vector<LONG_PTR> beforeProcs_;

 public:
  static inline ExitRoutine exitRoutine_ = nullptr;
};

TEST_F(SkinBinding, LoadsTheCarriedEngineAndPassesTheExactSkin) {
  ASSERT_GE(SkinFileSize, 5u);
  EXPECT_EQ(0, std::memcmp(SkinFile, ".SHE\0", 5));
  ASSERT_TRUE(SkinModule.has_value());
  const std::uint32_t base = SkinModule->GetBase();
  ASSERT_NE(base, 0u);
  const std::uint32_t attach = SkinModule->FindExport("SkinH_AttachRes");
  EXPECT_GT(attach, base);
  EXPECT_LT(attach, base + MappedImageSize(base));

  const SkinEngineDiagnostics* d = DiagnosticsOf(*SkinModule);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->entryCalls, 1u);
  EXPECT_EQ(d->lastEntryReason, 1u);
  EXPECT_EQ(d->attachCalls, 1u);
  EXPECT_EQ(d->lastSkinAddress, reinterpret_cast<std::uintptr_t>(SkinFile));
  EXPECT_EQ(d->lastSkinLength, SkinFileSize);
  EXPECT_EQ(d->lastPasswordAddress, 0u);
  EXPECT_EQ(d->lastResult, 1u);
  EXPECT_NE(exitRoutine_, nullptr);
}

TEST_F(SkinBinding, DressesExistingWindowsWithoutChangingThem) {
  EXPECT_TRUE(Snapshot(before_) == beforeLook_);
  const std::vector<LONG_PTR> procs = WindowProcs(before_);
  // Frame, buttons and edits are subclassed; labels are dressed through their parent.
  for (int i : {0, 1, 2, 3, 4}) EXPECT_NE(procs[i], beforeProcs_[i]) << "window " << i;
  for (int i : {5, 6}) EXPECT_EQ(procs[i], beforeProcs_[i]) << "window " << i;

  EXPECT_EQ(PixelOf(before_.frame, 300, 200), kSkinBackground);
  EXPECT_NE(PixelOf(before_.start, 40, 4), GetSysColor(COLOR_BTNFACE));
  EXPECT_NE(PixelOf(before_.stop, 40, 4), GetSysColor(COLOR_BTNFACE));
}

TEST_F(SkinBinding, DressesWindowsCreatedLater) {
  TestWindow later = CreateTestWindow(340);
  const std::vector<Appearance> look = Snapshot(later);
  EXPECT_EQ(look[1].text, "开始");
  EXPECT_FALSE(look[2].enabled);
  EXPECT_EQ(PixelOf(later.frame, 300, 200), kSkinBackground);
  EXPECT_NE(PixelOf(later.start, 40, 4), GetSysColor(COLOR_BTNFACE));
  EXPECT_TRUE(Snapshot(later) == look);
  DestroyWindow(later.frame);
  PumpMessages();
}

TEST_F(SkinBinding, KeepsTheApplicationsColoursAndButtonBehaviour) {
  HDC hdc = CreateCompatibleDC(nullptr);
  const auto colour = [&](UINT message, HWND control) {
    SetTextColor(hdc, RGB(1, 2, 3));
    SetBkColor(hdc, RGB(4, 5, 6));
    return SendMessageA(before_.frame, message, reinterpret_cast<WPARAM>(hdc),
                        reinterpret_cast<LPARAM>(control));
  };
  // The results box keeps its own text colour and brush.
  EXPECT_EQ(colour(WM_CTLCOLOREDIT, before_.results),
            reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW)));
  EXPECT_EQ(GetTextColor(hdc), kResultsText);
  // The transparent label keeps its hollow brush and red text.
  EXPECT_EQ(colour(WM_CTLCOLORSTATIC, before_.transparentLabel),
            reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH)));
  EXPECT_EQ(GetTextColor(hdc), kLabelText);
  // A plain label gets the skin's background behind the system's text colour.
  EXPECT_NE(colour(WM_CTLCOLORSTATIC, before_.label), 0);
  EXPECT_EQ(GetBkColor(hdc), kSkinBackground);
  EXPECT_EQ(GetTextColor(hdc), GetSysColor(COLOR_WINDOWTEXT));
  DeleteDC(hdc);

  // Clicking still commands; pressing shows a different face and releasing restores it.
  const int commands = g_commands;
  SendMessageA(before_.start, BM_CLICK, 0, 0);
  EXPECT_EQ(g_commands, commands + 1);
  const COLORREF normal = PixelOf(before_.start, 4, 14);
  SendMessageA(before_.start, BM_SETSTATE, TRUE, 0);
  EXPECT_NE(PixelOf(before_.start, 4, 14), normal);
  SendMessageA(before_.start, BM_SETSTATE, FALSE, 0);
  EXPECT_EQ(PixelOf(before_.start, 4, 14), normal);
  EXPECT_TRUE(Snapshot(before_) == beforeLook_);
}

TEST(SkinBindingExit, ExitHookMakesNoCallIntoTheEngineAndLeavesItMapped) {
  ASSERT_NE(SkinBinding::exitRoutine_, nullptr);
  ASSERT_TRUE(SkinModule.has_value());
  const std::uint32_t base = SkinModule->GetBase();
  const SkinEngineDiagnostics* d = DiagnosticsOf(*SkinModule);
  ASSERT_NE(d, nullptr);
  const SkinEngineDiagnostics calls = *d;

  SkinBinding::exitRoutine_();
  EXPECT_FALSE(SkinModule.has_value());
  EXPECT_EQ(AttachSkin(SkinFile, SkinFileSize), 0u);  // no engine to call any more

  MEMORY_BASIC_INFORMATION region{};
  ASSERT_NE(VirtualQuery(reinterpret_cast<void*>(base), &region, sizeof region), 0u);
  EXPECT_EQ(region.State, static_cast<DWORD>(MEM_COMMIT));
  EXPECT_EQ(d->entryCalls, calls.entryCalls);
  EXPECT_EQ(d->lastEntryReason, 1u);
  EXPECT_EQ(d->attachCalls, calls.attachCalls);
}

std::uint32_t Fnv1a(const std::vector<unsigned char>& bytes, std::size_t count) {
  std::uint32_t hash = 2166136261u;
  for (std::size_t i = 0; i < count; ++i) hash = (hash ^ bytes[i]) * 16777619u;
  return hash;
}

// Recomputes the checksum so that a change deeper in the skin is what gets judged.
std::vector<unsigned char> Sealed(std::vector<unsigned char> skin) {
  const std::uint32_t hash = Fnv1a(skin, skin.size() - 4);
  std::memcpy(skin.data() + skin.size() - 4, &hash, 4);
  return skin;
}

TEST(MalformedSkin, IsRefusedAndDressesNothing) {
  // A second copy of the engine lands elsewhere (the first holds its preferred base), so this
  // also runs the relocated engine.
  MemoryModule engine;
  ASSERT_TRUE(engine.Load(SkinEngineImage, SkinEngineImageSize));
  const std::uint32_t attach = engine.FindExport("SkinH_AttachRes");
  ASSERT_NE(attach, 0u);

  const std::vector<unsigned char> good(SkinFile, SkinFile + SkinFileSize);
  const std::size_t last = good.size() - 4;  // first checksum byte
  auto with = [&](std::size_t at, unsigned char value) {
    std::vector<unsigned char> skin = good;
    skin[at] = value;
    return skin;
  };
  const struct {
    const char* name;
    std::vector<unsigned char> bytes;
  } cases[] = {
      {"empty", {}},
      {"magic only", {'.', 'S', 'H', 'E', 0}},
      {"truncated", std::vector<unsigned char>(good.begin(), good.end() - 1)},
      {"wrong magic", Sealed(with(3, 'X'))},
      {"wrong version", Sealed(with(5, 2))},
      {"damaged colour", with(10, good[10] ^ 0x40)},
      {"damaged checksum", with(last, good[last] ^ 1)},
      {"more records than bytes", Sealed(with(6, good[6] + 1))},
      {"fewer records than bytes", Sealed(with(6, good[6] - 1))},
      {"record longer than the skin", Sealed(with(8, 0xFF))},
      {"colour of the wrong size", Sealed(with(8, 2))},
  };
  for (const auto& c : cases) {
    const std::uint32_t data = c.bytes.empty() ? 0 : reinterpret_cast<std::uintptr_t>(c.bytes.data());
    EXPECT_EQ(CallAddress(attach, data, c.bytes.size()), 0u) << c.name;
  }
  const SkinEngineDiagnostics* d = DiagnosticsOf(engine);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->attachCalls, std::size(cases));
  EXPECT_EQ(d->dressedWindows, 0u);
  engine.Destroy();
}

}  // namespace
}  // namespace tonvia
