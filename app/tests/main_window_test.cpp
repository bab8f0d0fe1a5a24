// The main window as created: frame, size, place, the twenty controls and the field store on
// its edit boxes.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/tests/shell_fixture.h"

namespace tonvia {
namespace {

TEST_F(ShellTest, MainWindowHasFixedFrameSizeAndCentredPlace) {
  ASSERT_TRUE(CreateMainWindow());
  HWND hwnd = main_->hwnd();
  RECT outer;
  GetWindowRect(hwnd, &outer);
  EXPECT_EQ(outer.right - outer.left, 449);
  EXPECT_EQ(outer.bottom - outer.top, 314);
  EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - 449) / 2);
  EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - 314) / 2);
  EXPECT_EQ(WindowText(hwnd), "Tonvia v2.0 - Velmora");

  LONG style = GetWindowLongA(hwnd, GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_TRUE(GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_APPWINDOW);
  EXPECT_EQ(GetMenu(hwnd), nullptr);
  EXPECT_NE(GetClassLongPtrA(hwnd, GCLP_HICON), 0u);
  EXPECT_NE(GetClassLongPtrA(hwnd, GCLP_HICONSM), 0u);
  // Created hidden: the creation handler runs before the window is shown.
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_EQ(main_->TimerPeriod(), 0);
}

struct ExpectedControl {
  const char* className;
  int left, top, width, height;
  const char* text;  // nullptr: checked elsewhere (the notice, the loaded drive letter)
  DWORD styleOn;
  DWORD styleOff;
  bool enabled;
};

constexpr DWORD kEditCommon = WS_TABSTOP;
constexpr DWORD kEditOff = ES_NOHIDESEL | ES_READONLY | ES_PASSWORD | ES_NUMBER | ES_MULTILINE | WS_VSCROLL;

TEST_F(ShellTest, ControlsHaveTheirClassPlaceSizeStyleAndTextInStackingOrder) {
  ASSERT_TRUE(CreateMainWindow());
  const ExpectedControl expected[] = {
      {"Button", 305, 60, 124, 32, "设置教程", WS_TABSTOP, BS_DEFPUSHBUTTON, true},
      {"Edit", 800, 144, 136, 24, " (", kEditCommon | ES_AUTOHSCROLL, kEditOff | ES_CENTER, true},
      {"Static", 576, 108, 56, 16, "路径后缀", 0, WS_TABSTOP, true},
      {"Edit", 544, 128, 144, 32, ":\\KuGou\\Lyric\\", kEditCommon, kEditOff | ES_CENTER, true},
      {"Static", 9, 25, 55, 24, "酷狗盘符：", SS_CENTERIMAGE | SS_NOPREFIX, WS_TABSTOP, true},
      {"Static", 206, 24, 68, 24, "歌曲识别：", SS_CENTERIMAGE | SS_NOPREFIX, WS_TABSTOP, true},
      {"Edit", 79, 24, 110, 27, nullptr, kEditCommon | ES_CENTER, kEditOff, true},
      {"Button", 157, 59, 124, 32, "停止检测", WS_TABSTOP, BS_DEFPUSHBUTTON, true},
      {"Static", 592, 224, 48, 24, "全名", 0, WS_TABSTOP, true},
      {"Edit", 808, 104, 120, 24, "-", kEditCommon, kEditOff | ES_CENTER, true},
      {"Edit", 808, 72, 120, 24, "(", kEditCommon, kEditOff | ES_CENTER, true},
      {"Edit", 808, 24, 112, 24, " - ", kEditCommon, kEditOff | ES_CENTER, true},
      {"Edit", 274, 21, 153, 27, "", ES_CENTER, kEditOff, false},
      {"Edit", 552, 248, 112, 24, "", kEditCommon, kEditOff | ES_CENTER, true},
      {"Edit", 16, 432, 680, 384, "", kEditCommon | ES_MULTILINE | ES_WANTRETURN,
       ES_NOHIDESEL | ES_READONLY | WS_VSCROLL | WS_HSCROLL | ES_AUTOHSCROLL, true},
      {"Edit", 816, 248, 112, 24, "<br/>", kEditCommon, kEditOff | ES_CENTER, true},
      {"Edit", 816, 288, 112, 24, "<div class=\"text\">", kEditCommon, kEditOff | ES_CENTER, true},
      {"Button", 10, 60, 124, 32, "开始检测", WS_TABSTOP, BS_DEFPUSHBUTTON, true},
      {"Edit", 7, 101, 425, 176, nullptr, ES_MULTILINE | WS_VSCROLL | ES_WANTRETURN,
       WS_TABSTOP | ES_NOHIDESEL | ES_READONLY | ES_AUTOHSCROLL | WS_HSCROLL, true},
  };

  // Walking the children from the top of the stacking order gives the table's rows in order.
  HWND child = GetWindow(main_->hwnd(), GW_CHILD);
  for (const ExpectedControl& want : expected) {
    SCOPED_TRACE(std::string(want.className) + " at " + std::to_string(want.left) + "," +
                 std::to_string(want.top));
    ASSERT_NE(child, nullptr);
    char className[32] = {};
    GetClassNameA(child, className, sizeof(className));
    EXPECT_STRCASEEQ(className, want.className);
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, main_->hwnd(), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, want.left);
    EXPECT_EQ(rect.top, want.top);
    EXPECT_EQ(rect.right - rect.left, want.width);
    EXPECT_EQ(rect.bottom - rect.top, want.height);
    if (want.text) {
      EXPECT_EQ(WindowText(child), want.text);
    }
    DWORD style = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
    EXPECT_EQ(style & want.styleOn, want.styleOn);
    EXPECT_EQ(style & want.styleOff, 0u);
    EXPECT_TRUE(style & WS_VISIBLE);  // shown, even where out of view
    EXPECT_EQ(IsWindowEnabled(child) != FALSE, want.enabled);
    bool edit = std::string(want.className) == "Edit";
    EXPECT_EQ((GetWindowLongA(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0, edit);
    if (edit) {
      EXPECT_GE(static_cast<DWORD>(SendMessageA(child, EM_GETLIMITTEXT, 0, 0)), 0x7FFFFFFEu);
    }
    child = GetWindow(child, GW_HWNDNEXT);
  }
  EXPECT_EQ(child, nullptr) << "more controls than the layout lists";
}

TEST_F(ShellTest, ResultsBoxStartsWithTheNoticeInItsOwnFontAndColour) {
  ASSERT_TRUE(CreateMainWindow());
  HWND results = main_->control(Control::编辑框2);
  std::string notice = WindowText(results);
  EXPECT_EQ(notice.rfind("本查询软件同步网络数据库，实时更新。\r\n\r\n所有数据均由网友分享！\r\n\r\n"
                         "本软件由 《Velmora》 编写。\r\n\r\n",
                         0),
            0u);
  EXPECT_EQ(notice.find("\r\n\r\n\r\n"), std::string::npos);
  EXPECT_NE(notice.substr(notice.size() - 2), "\r\n");

  LOGFONTA font = {};
  HFONT handle = reinterpret_cast<HFONT>(SendMessageA(results, WM_GETFONT, 0, 0));
  ASSERT_TRUE(GetObjectA(handle, sizeof(font), &font));
  EXPECT_EQ(font.lfHeight, -14);
  EXPECT_EQ(font.lfWeight, 400);
  EXPECT_EQ(font.lfCharSet, GB2312_CHARSET);
  EXPECT_FALSE(font.lfItalic);
  EXPECT_FALSE(font.lfUnderline);
  // Every other control has the default GUI font.
  HGDIOBJ guiFont = GetStockObject(DEFAULT_GUI_FONT);
  EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SendMessageA(main_->control(Control::编辑框1), WM_GETFONT, 0, 0)), guiFont);
  EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SendMessageA(main_->control(Control::按钮2), WM_GETFONT, 0, 0)), guiFont);

  HDC dc = CreateCompatibleDC(nullptr);
  SendMessageA(main_->hwnd(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(results));
  EXPECT_EQ(GetTextColor(dc), RGB(0, 136, 255));
  SendMessageA(main_->hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
               reinterpret_cast<LPARAM>(main_->control(Control::透明标签1)));
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  DeleteDC(dc);
}

// The window clips its children: a transparent label must get the window's background painted
// under it, or it shows whatever the screen held there (black on a fresh display).
TEST_F(ShellTest, TransparentLabelsShowTheWindowBackground) {
  ASSERT_TRUE(CreateMainWindow());
  RECT client;
  GetClientRect(main_->hwnd(), &client);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
  ReleaseDC(nullptr, screen);
  HGDIOBJ previous = SelectObject(dc, bitmap);
  SendMessageA(main_->hwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  for (Control label : {Control::透明标签1, Control::透明标签2}) {
    HWND child = main_->control(label);
    RECT place;
    GetWindowRect(child, &place);
    MapWindowPoints(nullptr, main_->hwnd(), reinterpret_cast<POINT*>(&place), 2);
    // The label's bottom-right pixel, below its text, as the window's background has it.
    const COLORREF background = GetPixel(dc, place.right - 1, place.bottom - 1);
    const COLORREF marker = background ^ 0xFFFFFF;
    HBRUSH markerBrush = CreateSolidBrush(marker);
    FillRect(dc, &client, markerBrush);
    DeleteObject(markerBrush);
    // The label paints itself at the bitmap's origin.
    SendMessageA(child, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    EXPECT_EQ(GetPixel(dc, place.right - place.left - 1, place.bottom - place.top - 1), background);
    SendMessageA(main_->hwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  }
  SelectObject(dc, previous);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

TEST_F(ShellTest, WritingAFieldRaisesItsEventOnceEvenWhenUnchanged) {
  WriteSettingsFile("[酷狗]\r\n酷狗盘符=E\r\n");
  ASSERT_TRUE(CreateMainWindow());
  WindowFieldStore& fields = main_->fields();

  // The real handler: each write of 编辑框1 lands in the settings file at once.
  fields.Write(Field::编辑框1, "Q");
  EXPECT_NE(ReadSettingsFile().find("酷狗盘符=Q"), std::string::npos);

  int raised = 0;
  fields.OnChanged(Field::编辑框1, [&] { ++raised; });
  fields.Write(Field::编辑框1, "Q");
  EXPECT_EQ(raised, 1);
  fields.Write(Field::编辑框1, "R");
  EXPECT_EQ(raised, 2);
  EXPECT_EQ(fields.Read(Field::编辑框1), "R");

  // Typing counts once per change, as the edit box reports it (the caret is put after "R").
  SendMessageA(main_->control(Control::编辑框1), EM_SETSEL, 1, 1);
  SendMessageA(main_->control(Control::编辑框1), WM_CHAR, 'S', 0);
  EXPECT_EQ(raised, 3);
  EXPECT_EQ(fields.Read(Field::编辑框1), "RS");

  fields.Append(Field::编辑框1, "T");
  EXPECT_EQ(raised, 4);
  EXPECT_EQ(fields.Read(Field::编辑框1), "RST");
  DWORD start = 0, end = 0;
  SendMessageA(main_->control(Control::编辑框1), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 3u);
  EXPECT_EQ(end, 3u);
  // The insertion left no undo record.
  EXPECT_FALSE(SendMessageA(main_->control(Control::编辑框1), EM_CANUNDO, 0, 0));
}

TEST_F(ShellTest, FieldsReadWhatTheBoxesShowIncludingDisabledOnes) {
  ASSERT_TRUE(CreateMainWindow());
  WindowFieldStore& fields = main_->fields();
  EXPECT_EQ(fields.Read(Field::编辑框3), "<div class=\"text\">");
  EXPECT_EQ(fields.Read(Field::编辑框6), ":\\KuGou\\Lyric\\");
  fields.Write(Field::准确歌名, "晴天");
  EXPECT_EQ(WindowText(main_->control(Control::准确歌名)), "晴天");
  SetWindowTextA(main_->control(Control::歌左边), "_");
  EXPECT_EQ(fields.Read(Field::歌左边), "_");
  // A long page text is kept whole: the boxes have no length limit.
  std::string page(100000, 'x');
  fields.Write(Field::编辑框5, page);
  EXPECT_EQ(fields.Read(Field::编辑框5).size(), page.size());
}

}  // namespace
}  // namespace tonvia
