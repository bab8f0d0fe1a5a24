#include <windows.h>

#include "app/startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return tonvia::RunTonvia(tonvia::ShellSettings{}); }
