// The entry point of ZuvoSetup.exe.
#include <windows.h>

#include "installer/ProgramMain.h"
#include "skin/adapters/vlAdapters.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/graphics/sConst.h"
#include "skin/graphics/vlPNG.h"
#include "skin/manager/sSkinManager.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // The skinning library's start-up comes before the program's own, as
    // its units are initialised before the main block.
    skin::InitializeConstants();
    skin::InitializeVlPNG();
    skin::InitializeSkinManagerModule();
    skin::InitializeFormsModule();
    skin::InitializeAdaptersModule();
    const int exitCode = installer::ProgramMain();
    skin::FinalizeAdaptersModule();
    skin::FinalizeFormsModule();
    skin::FinalizeSkinManagerModule();
    skin::FinalizeVlPNG();
    return exitCode;
}
