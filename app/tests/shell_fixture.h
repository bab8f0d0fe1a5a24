// A main window created in-process against a settings file in a temporary folder, with the
// start-up warning recorded instead of shown.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/open_windows.h"
#include "app/tutorial_window.h"

namespace tonvia {

struct RecordedWarning {
  std::string text;
  std::string caption;
  bool mainWindowVisible;  // whether the main window was already on screen
};

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Creates the main window (hidden) against the settings file; false when creation failed.
  bool CreateMainWindow();
  std::string ReadSettingsFile() const;
  void WriteSettingsFile(const std::string& bytes) const;
  // Delivers every message already queued, the way the message loop would.
  void Pump();

  std::string folder_;        // temporary folder of this test, with a trailing backslash
  std::string settingsFile_;  // folder_ + "vazada.ini"
  OpenWindows windows_;
  std::unique_ptr<TutorialWindow> tutorial_;
  std::unique_ptr<MainWindow> main_;

  static void RecordWarning(const char* text, const char* caption);
  static std::vector<RecordedWarning> warnings_;
};

// This thread's top-level windows of a class (other processes may show the same windows).
HWND ThreadWindowOfClass(const char* windowClass);
int CountThreadWindowsOfClass(const char* windowClass);

// Text of a window, as the window holds it.
std::string WindowText(HWND window);

}  // namespace tonvia
