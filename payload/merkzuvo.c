/* Stand-in for the product's main program, merkzuvo.exe.
 *
 * It shows a plain window titled "MERKANO ZUVO" (window class
 * "MerkanoZuvoStandIn") and, before the window appears, records that it was
 * started: it appends one line to the file "merkzuvo-started.txt" in its
 * current directory,
 *
 *     <current directory><TAB><full path of this program><CR><LF>
 *
 * in UTF-8. Tests of the installer read that line to see that the installed
 * program ran, and from which folder. Closing the window ends the program. */
#include <windows.h>

static const wchar_t kTitle[] = L"MERKANO ZUVO";

static void AppendUtf8(HANDLE file, const wchar_t *text) {
    char buffer[4 * MAX_PATH];
    int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof buffer, NULL, NULL);
    DWORD written;
    if (length > 1)
        WriteFile(file, buffer, (DWORD)(length - 1), &written, NULL);
}

static void RecordStart(void) {
    wchar_t directory[MAX_PATH + 1];
    wchar_t program[MAX_PATH + 1];
    DWORD written;
    HANDLE file;
    if (!GetCurrentDirectoryW(MAX_PATH + 1, directory))
        directory[0] = 0;
    if (!GetModuleFileNameW(NULL, program, MAX_PATH + 1))
        program[0] = 0;
    file = CreateFileW(L"merkzuvo-started.txt", FILE_APPEND_DATA, FILE_SHARE_READ, NULL, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    AppendUtf8(file, directory);
    WriteFile(file, "\t", 1, &written, NULL);
    AppendUtf8(file, program);
    WriteFile(file, "\r\n", 2, &written, NULL);
    CloseHandle(file);
}

static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        RECT client;
        HDC dc = BeginPaint(window, &paint);
        GetClientRect(window, &client);
        SetBkMode(dc, TRANSPARENT);
        DrawTextW(dc, kTitle, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR commandLine, int show) {
    WNDCLASSW windowClass = {0};
    MSG message;
    HWND window;
    (void)previous;
    (void)commandLine;

    RecordStart();

    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"MerkanoZuvoStandIn";
    if (!RegisterClassW(&windowClass))
        return 1;
    window = CreateWindowExW(0, windowClass.lpszClassName, kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                             CW_USEDEFAULT, 480, 320, NULL, NULL, instance, NULL);
    if (!window)
        return 1;
    ShowWindow(window, show);
    UpdateWindow(window);
    while (GetMessageW(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return (int)message.wParam;
}
