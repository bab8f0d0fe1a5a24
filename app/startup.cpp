#include "app/startup.h"

#include <ole2.h>

#include <vector>

#include "app/main_window.h"
#include "app/open_windows.h"
#include "app/tutorial_window.h"
#include "skin/skin_binding.h"

namespace tonvia {
namespace {

std::vector<ExitRoutine>& ExitRoutines() {
  static std::vector<ExitRoutine> routines;
  return routines;
}

void RegisterExitRoutine(ExitRoutine routine) { ExitRoutines().push_back(routine); }

void RunExitRoutines() {
  std::vector<ExitRoutine> routines;
  routines.swap(ExitRoutines());
  for (ExitRoutine routine : routines) routine();
}

}  // namespace

int RunTonvia(const ShellSettings& settings) {
  // COM before any window: the lyric-cache clearing uses it inside window events.
  HRESULT ole = OleInitialize(nullptr);
  StartSkinBinding(RegisterExitRoutine);
  {
    OpenWindows windows;
    TutorialWindow tutorial(windows);
    MainWindow main(settings, windows, tutorial);
    if (main.Create()) {
      main.Show();
      RunMessageLoop(windows);
    }
  }
  RunExitRoutines();
  if (SUCCEEDED(ole)) OleUninitialize();
  return 0;
}

}  // namespace tonvia
