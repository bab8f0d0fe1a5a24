#include "app/tests/shell_fixture.h"

#include <ole2.h>

#include <fstream>
#include <iterator>

namespace tonvia {

std::vector<RecordedWarning> ShellTest::warnings_;

void ShellTest::RecordWarning(const char* text, const char* caption) {
  HWND main = ThreadWindowOfClass("TonviaMainWindow");
  warnings_.push_back({text, caption, main && IsWindowVisible(main)});
}

void ShellTest::SetUp() {
  OleInitialize(nullptr);
  warnings_.clear();
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  char unique[MAX_PATH];
  GetTempFileNameA(temp, "tnv", 0, unique);
  DeleteFileA(unique);
  CreateDirectoryA(unique, nullptr);
  folder_ = std::string(unique) + "\\";
  settingsFile_ = folder_ + "vazada.ini";
  tutorial_ = std::make_unique<TutorialWindow>(windows_);
}

void ShellTest::TearDown() {
  main_.reset();
  tutorial_.reset();
  Pump();
  // The tests leave only plain files and at most one sub-folder level behind.
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder_ + "*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string name = entry.cFileName;
      if (name == "." || name == "..") continue;
      std::string path = folder_ + name;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveDirectoryA(path.c_str());
      } else {
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
  }
  RemoveDirectoryA(folder_.c_str());
  OleUninitialize();
}

bool ShellTest::CreateMainWindow() {
  ShellSettings settings;
  settings.settingsFile = settingsFile_.c_str();
  settings.showWarning = RecordWarning;
  main_ = std::make_unique<MainWindow>(settings, windows_, *tutorial_);
  return main_->Create();
}

std::string ShellTest::ReadSettingsFile() const {
  std::ifstream file(settingsFile_, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void ShellTest::WriteSettingsFile(const std::string& bytes) const {
  std::ofstream file(settingsFile_, std::ios::binary);
  file << bytes;
}

void ShellTest::Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) continue;
    if (CloseOnEscape(msg, windows_)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

namespace {

struct ClassSearch {
  const char* windowClass;
  HWND first;
  int count;
};

BOOL CALLBACK MatchClass(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<ClassSearch*>(param);
  char name[64] = {};
  GetClassNameA(window, name, sizeof(name));
  if (std::string(name) == search->windowClass) {
    if (!search->first) search->first = window;
    ++search->count;
  }
  return TRUE;
}

ClassSearch SearchThreadWindows(const char* windowClass) {
  ClassSearch search{windowClass, nullptr, 0};
  EnumThreadWindows(GetCurrentThreadId(), MatchClass, reinterpret_cast<LPARAM>(&search));
  return search;
}

}  // namespace

HWND ThreadWindowOfClass(const char* windowClass) { return SearchThreadWindows(windowClass).first; }

int CountThreadWindowsOfClass(const char* windowClass) { return SearchThreadWindows(windowClass).count; }

std::string WindowText(HWND window) {
  int length = GetWindowTextLengthA(window);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), length + 1)));
  return text;
}

}  // namespace tonvia
