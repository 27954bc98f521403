#include "UiDriver.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <stdexcept>
#include <thread>

#include "PngWriter.h"
#include "UniqueName.h"
#include "vcl/WideText.h"

namespace uitest {
namespace {

using vcl::Utf8ToWide;
using vcl::WideToUtf8;

// Windows of a class (any class when empty), of one process (any when 0).
struct TQuery {
    std::string ClassName;
    DWORD ProcessId;
    std::vector<HWND> Found;
};

BOOL CALLBACK Collect(HWND window, LPARAM param) {
    auto *q = reinterpret_cast<TQuery *>(param);
    DWORD pid = 0;
    if (q->ProcessId) GetWindowThreadProcessId(window, &pid);
    if (pid == q->ProcessId && (q->ClassName.empty() || ClassNameOf(window) == q->ClassName)) q->Found.push_back(window);
    return TRUE;
}

std::uint32_t BigEndian32(const unsigned char *p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}
std::uint32_t LittleEndian32(const unsigned char *p) {
    return std::uint32_t{p[3]} << 24 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
}

} // namespace

std::string ClassNameOf(HWND window) {
    wchar_t name[256] = {};
    const int n = GetClassNameW(window, name, 256);
    return WideToUtf8(std::wstring_view(name, n > 0 ? static_cast<std::size_t>(n) : 0));
}

std::string TextOf(HWND window) {
    // WM_GETTEXT rather than GetWindowText: the latter does not ask windows
    // of other processes.
    const auto length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const auto copied = SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return WideToUtf8(text);
}

std::vector<HWND> TopLevelWindows(std::string_view className, DWORD processId) {
    TQuery q{std::string(className), processId, {}};
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&q));
    return q.Found;
}

std::vector<HWND> ChildWindows(HWND parent, std::string_view className) {
    TQuery q{std::string(className), 0, {}};
    EnumChildWindows(parent, Collect, reinterpret_cast<LPARAM>(&q));
    return q.Found;
}

HWND FindChild(HWND parent, std::string_view className, std::string_view text) {
    for (HWND child : ChildWindows(parent, className))
        if (TextOf(child) == text) return child;
    return nullptr;
}

HWND WaitForWindow(const std::function<HWND()> &probe, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (HWND w = probe()) return w;
        if (std::chrono::steady_clock::now() >= end) return nullptr;
        std::this_thread::sleep_for(10ms);
    }
}

HWND WaitForTopLevelWindow(std::string_view className, std::chrono::milliseconds timeout, DWORD processId) {
    return WaitForWindow(
        [&]() -> HWND {
            for (HWND w : TopLevelWindows(className, processId))
                if (IsWindowVisible(w)) return w;
            return nullptr;
        },
        timeout);
}

HWND WaitForModalWindow(std::string_view className, DWORD loopThread, std::chrono::milliseconds timeout) {
    HWND window = WaitForTopLevelWindow(className, timeout, GetCurrentProcessId());
    if (!window) PostThreadMessageW(loopThread, WM_QUIT, 0, 0);
    return window;
}

bool AnswerModalWindow(HWND window, const std::function<void()> &answer) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        SetForegroundWindow(window);
        WaitForWindow([&] { return GetForegroundWindow() == window ? window : HWND{}; }, 1s);
        answer();
        if (WaitUntilClosed(window, 2s)) return true;
    }
    PostMessageW(window, WM_CLOSE, 0, 0);
    return false;
}

std::future<TSeenBox> AnswerMessageForm(std::string button, bool withMouse) {
    const DWORD loop = GetCurrentThreadId();
    return std::async(std::launch::async, [=] {
        TSeenBox seen;
        HWND box = WaitForModalWindow("TMessageForm", loop, 10s);
        if (!box) return seen;
        seen.Caption = TextOf(box);
        for (HWND b : ChildWindows(box, "TButton")) seen.Buttons.push_back(TextOf(b));
        HWND target = FindChild(box, "TButton", button);
        seen.Clicked = AnswerModalWindow(box, [&] {
            if (!target) return;
            if (withMouse) ClickWithMouse(target);
            else ClickButton(target);
        });
        return seen;
    });
}

bool ActivateAndWait(HWND window, std::chrono::milliseconds timeout) {
    SetForegroundWindow(window);
    return PumpUntil([&] { return GetForegroundWindow() == window && GetActiveWindow() == window; }, timeout);
}

void ClickButton(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }

void ClickWithMouse(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    const int x = (r.left + r.right) / 2;
    const int y = (r.top + r.bottom) / 2;
    SetCursorPos(x, y);
    INPUT input[2] = {};
    input[0].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].type = INPUT_MOUSE;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
}

void MouseInput(DWORD flags, POINT at) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>(at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1));
    in.mi.dy = static_cast<LONG>(at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1));
    in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    SendInput(1, &in, sizeof in);
}

bool DragWithMouse(POINT grip, int dx, int dy, const std::function<bool()> &settled,
                   const std::function<void()> &beforeRelease) {
    std::atomic<bool> done = false;
    std::thread user([&] {
        MouseInput(0, grip);
        std::this_thread::sleep_for(50ms);
        MouseInput(MOUSEEVENTF_LEFTDOWN, grip);
        for (int i = 1; i <= 15; ++i) {
            std::this_thread::sleep_for(20ms);
            MouseInput(0, POINT{grip.x + dx * i / 15, grip.y + dy * i / 15});
        }
        std::this_thread::sleep_for(30ms);
        if (beforeRelease) beforeRelease();
        MouseInput(MOUSEEVENTF_LEFTUP, POINT{grip.x + dx, grip.y + dy});
        done = true;
    });
    const bool ended = PumpUntil([&] { return done && (!settled || settled()); }, 5s);
    user.join();
    return ended;
}

TFullWindowDrag::TFullWindowDrag() {
    SystemParametersInfoW(SPI_GETDRAGFULLWINDOWS, 0, &was_, 0);
    SystemParametersInfoW(SPI_SETDRAGFULLWINDOWS, TRUE, nullptr, 0);
}

TFullWindowDrag::~TFullWindowDrag() { SystemParametersInfoW(SPI_SETDRAGFULLWINDOWS, was_, nullptr, 0); }

bool WaitUntilClosed(HWND window, std::chrono::milliseconds timeout) {
    return WaitForWindow([&] { return IsWindow(window) && IsWindowVisible(window) ? HWND{} : window; }, timeout) != nullptr;
}

bool PumpUntil(const std::function<bool()> &done, std::chrono::milliseconds timeout) {
    // The answer is the last one asked: a condition that keeps state (two
    // captures alike in a row) must not be asked once more after it held.
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

TImage32 CaptureWindow(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    TImage32 image;
    image.Width = r.right - r.left;
    image.Height = r.bottom - r.top;
    if (image.Width <= 0 || image.Height <= 0) return image;
    image.Pixels.resize(static_cast<std::size_t>(image.Width) * image.Height);

    // From the window's own DC: under Wine the screen DC does not reliably
    // hold what top-level windows show, their own surfaces do.
    HDC source = GetWindowDC(window);
    HDC memory = CreateCompatibleDC(source);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = image.Width;
    bi.bmiHeader.biHeight = -image.Height;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    HBITMAP dib = CreateDIBSection(source, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, image.Width, image.Height, source, 0, 0, SRCCOPY);
    GdiFlush();
    std::memcpy(image.Pixels.data(), bits, image.Pixels.size() * 4);
    SelectObject(memory, old);
    DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(window, source);
    return image;
}

TImage32 CaptureXWindow(HWND window) {
    const auto id = reinterpret_cast<std::uintptr_t>(GetPropW(window, L"__wine_x11_whole_window"));
    if (!id) return {};
    // xwd is a program of the X host, which Wine starts but does not wait
    // for: it writes under a name of its own and renames when done. A window
    // that X has not mapped yet makes it fail: it then leaves an empty file,
    // so that the caller can try again at once. Test programs of other Wine
    // sessions write into the same /tmp at the same time, and the process
    // ids of different Wine servers repeat: the name takes a random part.
    const std::string name = zuvotest::UniqueName("/tmp/zuvo-xwd-" + std::to_string(id) + "-");
    std::wstring command = Utf8ToWide("Z:\\bin\\sh -c \"(xwd -silent -id " + std::to_string(id) + " -out " + name +
                                      ".part || : >" + name + ".part) 2>/dev/null; mv " + name + ".part " + name + "\"");
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return {};
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    const std::filesystem::path file = Utf8ToWide("Z:" + name);
    std::vector<unsigned char> xwd;
    for (int i = 0; i < 500 && !std::filesystem::exists(file); ++i) std::this_thread::sleep_for(10ms);
    {
        std::ifstream in(file, std::ios::binary);
        xwd.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::error_code ignored;
    std::filesystem::remove(file, ignored);

    // The header: big-endian 32-bit fields, then the window name and the
    // colour map; a 24-bit true-colour picture has 32-bit pixels after them.
    auto field = [&](std::size_t i) { return xwd.size() < 100 ? 0u : BigEndian32(&xwd[i * 4]); };
    const std::uint32_t headerSize = field(0), format = field(2), width = field(4), height = field(5),
                        byteOrder = field(7), bitsPerPixel = field(11), bytesPerLine = field(12), colours = field(19);
    const std::size_t data = headerSize + std::size_t{colours} * 12;
    if (format != 2 || bitsPerPixel != 32 || width == 0 || width > 16384 || height > 16384 ||
        data + std::size_t{bytesPerLine} * height > xwd.size())
        return {};
    TImage32 image;
    image.Width = static_cast<int>(width);
    image.Height = static_cast<int>(height);
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            const unsigned char *p = &xwd[data + y * bytesPerLine + x * 4];
            const std::uint32_t pixel = byteOrder ? BigEndian32(p) : LittleEndian32(p);
            image.Pixels.push_back(0xFF000000u | (pixel & 0xFFFFFF));
        }
    return image;
}

bool IsDrawn(const TImage32 &image) {
    std::set<std::uint32_t> colours;
    std::size_t black = 0;
    for (std::uint32_t p : image.Pixels) {
        if (colours.size() < 8) colours.insert(p & 0xFFFFFF);
        if ((p & 0xFFFFFF) == 0) ++black;
    }
    return colours.size() >= 8 && black * 2 < image.Pixels.size();
}

void WritePng(const std::string &path, const TImage32 &image) {
    const pngtest::TBytes file = pngtest::EncodePng(pngtest::MakeImage(
        image.Width, image.Height, 2, 8, [&image](int x, int y, int c) { return image.At(x, y) >> (16 - 8 * c); }));
    std::unique_ptr<std::FILE, int (*)(std::FILE *)> f(_wfopen(Utf8ToWide(path).c_str(), L"wb"), &std::fclose);
    if (!f || std::fwrite(file.data(), 1, file.size(), f.get()) != file.size())
        throw std::runtime_error("PNG: cannot write " + path);
}

} // namespace uitest
