/* Stand-in for the product's libraries (zuvoeet_dll.dll, PdfQuill.dll,
 * PdfQuill.Charting.dll). STANDIN_NAME is the installed name, answered by the
 * one export, so a test can load an installed copy and ask which it is. */
#include <windows.h>

__declspec(dllexport) const char *ZuvoStandInName(void) {
    return STANDIN_NAME;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}
