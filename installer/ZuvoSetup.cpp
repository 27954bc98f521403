// The entry point of ZuvoSetup.exe.
#include <windows.h>

#include "installer/ProgramMain.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return installer::ProgramMain(); }
