// Start-up settings, detection control, Esc, the tutorial window and the end of the message
// loop, driven by window messages on the real windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>

#include "app/tests/shell_fixture.h"

namespace tonvia {
namespace {

struct SettingsCase {
  const char* name;
  enum { kNoFile, kFile, kDirectory } kind;
  const char* content;
  bool warned;
  const char* field;
  const char* fileAfter;  // a line the file holds afterwards; nullptr: no file is made
};

TEST_F(ShellTest, CreationLoadsTheDriveLetterAndWarnsOnlyWithoutSettings) {
  const SettingsCase cases[] = {
      {"no file", SettingsCase::kNoFile, "", true, "", "酷狗盘符=\r\n"},
      {"stored letter", SettingsCase::kFile, "[酷狗]\r\n酷狗盘符=D\r\n", false, "D", "酷狗盘符=D\r\n"},
      {"section without key", SettingsCase::kFile, "[酷狗]\r\nother=1\r\n", false, "", "酷狗盘符=\r\n"},
      {"folder of that name", SettingsCase::kDirectory, "", false, "", nullptr},
  };
  for (const SettingsCase& c : cases) {
    SCOPED_TRACE(c.name);
    DeleteFileA(settingsFile_.c_str());
    RemoveDirectoryA(settingsFile_.c_str());
    if (c.kind == SettingsCase::kFile) WriteSettingsFile(c.content);
    if (c.kind == SettingsCase::kDirectory) CreateDirectoryA(settingsFile_.c_str(), nullptr);
    warnings_.clear();

    ASSERT_TRUE(CreateMainWindow());
    ASSERT_EQ(warnings_.size(), c.warned ? 1u : 0u);
    if (c.warned) {
      EXPECT_EQ(warnings_[0].text, "使用前请务必设置好酷狗盘符！不懂看帮助！");
      EXPECT_EQ(warnings_[0].caption, "重要提示：");
      EXPECT_FALSE(warnings_[0].mainWindowVisible);
    }
    EXPECT_EQ(main_->fields().Read(Field::编辑框1), c.field);
    if (c.fileAfter) {
      std::string file = ReadSettingsFile();
      EXPECT_NE(file.find("[酷狗]"), std::string::npos) << file;
      EXPECT_NE(file.find(c.fileAfter), std::string::npos) << file;
    } else {
      EXPECT_NE(GetFileAttributesA(settingsFile_.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    }
    main_.reset();
    Pump();
  }
  RemoveDirectoryA(settingsFile_.c_str());
}

TEST_F(ShellTest, TypingAndClearingTheLetterRewritesTheFileAndAFailedWriteIsSilent) {
  WriteSettingsFile("[酷狗]\r\n酷狗盘符=\r\n");
  ASSERT_TRUE(CreateMainWindow());
  HWND letter = main_->control(Control::编辑框1);
  SendMessageA(letter, WM_CHAR, 'F', 0);
  EXPECT_NE(ReadSettingsFile().find("酷狗盘符=F\r\n"), std::string::npos);
  SendMessageA(letter, WM_CHAR, VK_BACK, 0);
  EXPECT_NE(ReadSettingsFile().find("酷狗盘符=\r\n"), std::string::npos);

  // A settings file that cannot be written: the field keeps working.
  main_.reset();
  Pump();
  DeleteFileA(settingsFile_.c_str());
  settingsFile_ = folder_ + "missing\\vazada.ini";
  ASSERT_TRUE(CreateMainWindow());
  SendMessageA(main_->control(Control::编辑框1), WM_CHAR, 'G', 0);
  EXPECT_EQ(main_->fields().Read(Field::编辑框1), "G");
}

bool TimerTickPending(HWND window) {
  MSG msg;
  return PeekMessageA(&msg, window, WM_TIMER, WM_TIMER, PM_REMOVE) != FALSE;
}

TEST_F(ShellTest, StartStopStartEmptiesTheCacheFolderEachTimeAndSwitchesTheTimer) {
  WriteSettingsFile("[酷狗]\r\n酷狗盘符=E\r\n");
  ASSERT_TRUE(CreateMainWindow());
  // The cache folder is 编辑框1 followed by 编辑框6; point it at a folder of the test.
  std::string cache = folder_ + "cache\\";
  CreateDirectoryA(cache.c_str(), nullptr);
  main_->fields().Write(Field::编辑框1, folder_.substr(0, 1));
  main_->fields().Write(Field::编辑框6, cache.substr(1));
  auto putLyric = [&] { std::ofstream(cache + "a - b(c).krc") << "x"; };
  auto lyricExists = [&] { return GetFileAttributesA((cache + "a - b(c).krc").c_str()) != INVALID_FILE_ATTRIBUTES; };
  HWND start = main_->control(Control::开始);
  HWND stop = main_->control(Control::按钮1);

  putLyric();
  SendMessageA(start, BM_CLICK, 0, 0);
  EXPECT_EQ(main_->TimerPeriod(), 1000);
  EXPECT_FALSE(IsWindowEnabled(start));
  EXPECT_FALSE(lyricExists());

  SendMessageA(stop, BM_CLICK, 0, 0);
  EXPECT_EQ(main_->TimerPeriod(), 0);
  EXPECT_TRUE(IsWindowEnabled(start));
  SendMessageA(stop, BM_CLICK, 0, 0);  // stop while stopped changes nothing
  EXPECT_EQ(main_->TimerPeriod(), 0);
  EXPECT_TRUE(IsWindowEnabled(start));
  EXPECT_TRUE(IsWindowEnabled(stop));

  putLyric();
  SendMessageA(start, BM_CLICK, 0, 0);
  EXPECT_EQ(main_->TimerPeriod(), 1000);
  EXPECT_FALSE(lyricExists());
  RemoveDirectoryA(cache.c_str());
}

TEST(DetectionTimerTest, PeriodRules) {
  HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  {
    DetectionTimer timer(window);
    timer.SetPeriod(300);
    EXPECT_EQ(timer.Period(), 300);
    Sleep(450);
    timer.SetPeriod(300);  // same period: the due tick is not thrown away by a restart
    EXPECT_TRUE(TimerTickPending(window));

    Sleep(450);
    timer.SetPeriod(900);  // a different period restarts the timer: nothing is due yet
    EXPECT_EQ(timer.Period(), 900);
    EXPECT_FALSE(TimerTickPending(window));

    timer.SetPeriod(-5);
    EXPECT_EQ(timer.Period(), 0);
    Sleep(1000);
    EXPECT_FALSE(TimerTickPending(window));
  }
  DestroyWindow(window);
}

void CALLBACK Watchdog(HWND, UINT, UINT_PTR, DWORD) {
  ADD_FAILURE() << "message loop still running";
  for (const char* windowClass : {"TonviaMainWindow", "TonviaTutorialWindow"}) {
    if (HWND top = ThreadWindowOfClass(windowClass)) DestroyWindow(top);
  }
}

// Runs the loop with a watchdog, so a fault ends the test instead of hanging it.
void RunLoopWithWatchdog(const OpenWindows& windows, int milliseconds) {
  UINT_PTR watchdog = SetTimer(nullptr, 0, static_cast<UINT>(milliseconds), Watchdog);
  RunMessageLoop(windows);
  KillTimer(nullptr, watchdog);
}

TEST_F(ShellTest, EscapeFromAnyControlClosesTheMainWindowAndEndsTheLoop) {
  WriteSettingsFile("[酷狗]\r\n酷狗盘符=E\r\n");
  ASSERT_TRUE(CreateMainWindow());
  main_->Show();
  HWND hidden = main_->control(Control::编辑框4);  // an out-of-view field can hold the focus
  SetFocus(hidden);
  PostMessageA(hidden, WM_KEYDOWN, VK_ESCAPE, 0);
  RunLoopWithWatchdog(windows_, 20000);
  EXPECT_EQ(main_->hwnd(), nullptr);
  EXPECT_FALSE(windows_.Any());
}

TEST_F(ShellTest, TutorialButtonOpensOneCentredWindowAndBringsItForward) {
  WriteSettingsFile("[酷狗]\r\n酷狗盘符=E\r\n");
  ASSERT_TRUE(CreateMainWindow());
  main_->Show();
  SendMessageA(main_->control(Control::按钮2), BM_CLICK, 0, 0);
  HWND tutorial = tutorial_->hwnd();
  ASSERT_NE(tutorial, nullptr);
  EXPECT_EQ(WindowText(tutorial), "设置教程");
  EXPECT_EQ(GetWindow(tutorial, GW_OWNER), nullptr);
  RECT outer;
  GetWindowRect(tutorial, &outer);
  EXPECT_EQ(outer.right - outer.left, 587);
  EXPECT_EQ(outer.bottom - outer.top, 473);
  EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - 587) / 2);
  EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - 473) / 2);
  LONG style = GetWindowLongA(tutorial, GWL_STYLE);
  EXPECT_FALSE(style & (WS_MAXIMIZEBOX | WS_THICKFRAME));
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_TRUE(GetWindowLongA(tutorial, GWL_EXSTYLE) & WS_EX_APPWINDOW);

  RECT box;
  GetWindowRect(tutorial_->pictureBox(), &box);
  MapWindowPoints(HWND_DESKTOP, tutorial, reinterpret_cast<POINT*>(&box), 2);
  EXPECT_EQ(box.left, -2);
  EXPECT_EQ(box.top, -8);
  EXPECT_EQ(box.right - box.left, 608);
  EXPECT_EQ(box.bottom - box.top, 456);
  BITMAP picture = {};
  ASSERT_TRUE(GetObjectA(tutorial_->picture(), sizeof(picture), &picture));
  EXPECT_EQ(picture.bmWidth, 584);
  EXPECT_EQ(picture.bmHeight, 446);

  // A second press while it is minimised restores the same window; no second one is made.
  ShowWindow(tutorial, SW_MINIMIZE);
  SendMessageA(main_->control(Control::按钮2), BM_CLICK, 0, 0);
  EXPECT_EQ(tutorial_->hwnd(), tutorial);
  EXPECT_FALSE(IsIconic(tutorial));
  EXPECT_EQ(CountThreadWindowsOfClass("TonviaTutorialWindow"), 1);

  // Esc closes it; the next press makes it afresh.
  PostMessageA(tutorial, WM_KEYDOWN, VK_ESCAPE, 0);
  Pump();
  EXPECT_FALSE(IsWindow(tutorial));
  SendMessageA(main_->control(Control::按钮2), BM_CLICK, 0, 0);
  EXPECT_NE(tutorial_->hwnd(), nullptr);
}

HWND gTutorial;
bool gTutorialOpenAfterMainClosed;

// Once the main window is gone, notes whether the tutorial window is still there and closes it.
void CALLBACK CloseTutorialAfterMain(HWND, UINT, UINT_PTR id, DWORD) {
  if (ThreadWindowOfClass("TonviaMainWindow")) return;
  KillTimer(nullptr, id);
  gTutorialOpenAfterMainClosed = IsWindow(gTutorial);
  PostMessageA(gTutorial, WM_CLOSE, 0, 0);
}

TEST_F(ShellTest, ClosingTheMainWindowKeepsTheLoopRunningUntilTheTutorialCloses) {
  WriteSettingsFile("[酷狗]\r\n酷狗盘符=E\r\n");
  ASSERT_TRUE(CreateMainWindow());
  main_->Show();
  SendMessageA(main_->control(Control::按钮2), BM_CLICK, 0, 0);
  ASSERT_NE(tutorial_->hwnd(), nullptr);

  gTutorial = tutorial_->hwnd();
  gTutorialOpenAfterMainClosed = false;
  PostMessageA(main_->hwnd(), WM_CLOSE, 0, 0);
  SetTimer(nullptr, 0, 200, CloseTutorialAfterMain);
  RunLoopWithWatchdog(windows_, 20000);
  EXPECT_TRUE(gTutorialOpenAfterMainClosed);
  EXPECT_EQ(main_->hwnd(), nullptr);
  EXPECT_EQ(tutorial_->hwnd(), nullptr);
}

}  // namespace
}  // namespace tonvia
