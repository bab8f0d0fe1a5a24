// Where the driver finds Tonvia's controls: the main window's title and the position of every
// control in its client area. Out-of-view fields lie at fixed positions outside the client area.
#pragma once

#include <windows.h>

#include <string>

namespace tonvia_driver {

inline constexpr wchar_t kMainWindowTitle[] = L"Tonvia v2.0 - Velmora";

struct ControlSpot {
  const wchar_t* name;   // the control's name in the window layout
  const wchar_t* alias;  // a plain English alias for the command line
  int left;
  int top;
};

// Looks a control up by its layout name or alias; nullptr when unknown.
const ControlSpot* FindControlSpot(const std::wstring& name);

// Lists the known names, for the usage text.
std::wstring KnownControlNames();

// The child of mainWindow whose top-left corner in the client area is at the spot; nullptr when
// there is none.
HWND FindControl(HWND mainWindow, const ControlSpot& spot);

}  // namespace tonvia_driver
