// The main window: the visible controls, the out-of-view parameter fields, the timer 时钟1 and
// the handlers wired to them (drive-letter save, Start, Stop, tutorial, detection tick).
#pragma once

#include <windows.h>

#include <optional>

#include "app/detection_timer.h"
#include "app/gdi_font.h"
#include "app/main_window_layout.h"
#include "app/open_windows.h"
#include "app/shell_settings.h"
#include "app/tutorial_window.h"
#include "app/window_field_store.h"

namespace tonvia {

class MainWindow {
 public:
  static constexpr int kWidth = 449;
  static constexpr int kHeight = 314;
  static constexpr int kDetectionPeriod = 1000;

  MainWindow(const ShellSettings& settings, OpenWindows& windows, TutorialWindow& tutorial);
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;
  ~MainWindow();

  // Creates the window and all its controls, still hidden, then runs the creation handler
  // (skin, missing-settings warning, drive letter). False when the window cannot be made.
  bool Create();
  // Shows and activates the window.
  void Show();

  HWND hwnd() const { return hwnd_; }
  HWND control(Control control) const;
  WindowFieldStore& fields() { return fields_; }
  int TimerPeriod() const { return timer_ ? timer_->Period() : 0; }

  // The button handlers.
  void Start();
  void Stop();

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void CreateControls();
  void RunCreationHandler();
  void OnCommand(int id, int code);
  void RunTick();
  HBRUSH ColourControl(HDC dc, HWND control, UINT message);

  ShellSettings settings_;
  OpenWindows& windows_;
  TutorialWindow& tutorial_;
  HWND hwnd_ = nullptr;
  HWND controls_[19] = {};  // indexed by Control, in table order
  WindowFieldStore fields_;
  std::optional<DetectionTimer> timer_;
  GdiFont resultsFont_;
};

}  // namespace tonvia
