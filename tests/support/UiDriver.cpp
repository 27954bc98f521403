#include "UiDriver.h"

#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <thread>

#include "vcl/WideText.h"

namespace uitest {
namespace {

using vcl::Utf8ToWide;
using vcl::WideToUtf8;

struct TTopLevelQuery {
    std::string ClassName;
    DWORD ProcessId;
    std::vector<HWND> Found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
    auto *q = reinterpret_cast<TTopLevelQuery *>(param);
    if (q->ProcessId) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (pid != q->ProcessId) return TRUE;
    }
    if (ClassNameOf(window) == q->ClassName) q->Found.push_back(window);
    return TRUE;
}

struct TChildQuery {
    std::string ClassName;
    std::vector<HWND> Found;
};

BOOL CALLBACK CollectChild(HWND window, LPARAM param) {
    auto *q = reinterpret_cast<TChildQuery *>(param);
    if (q->ClassName.empty() || ClassNameOf(window) == q->ClassName) q->Found.push_back(window);
    return TRUE;
}

void AppendChunk(std::FILE *f, const char type[4], const unsigned char *data, std::size_t size) {
    const unsigned char length[4] = {static_cast<unsigned char>(size >> 24), static_cast<unsigned char>(size >> 16),
                                     static_cast<unsigned char>(size >> 8), static_cast<unsigned char>(size)};
    uLong crc = crc32(0, reinterpret_cast<const Bytef *>(type), 4);
    if (size) crc = crc32(crc, data, static_cast<uInt>(size));
    const unsigned char crcBytes[4] = {static_cast<unsigned char>(crc >> 24), static_cast<unsigned char>(crc >> 16),
                                       static_cast<unsigned char>(crc >> 8), static_cast<unsigned char>(crc)};
    std::fwrite(length, 1, 4, f);
    std::fwrite(type, 1, 4, f);
    if (size) std::fwrite(data, 1, size, f);
    std::fwrite(crcBytes, 1, 4, f);
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
    TTopLevelQuery q{std::string(className), processId, {}};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&q));
    return q.Found;
}

std::vector<HWND> ChildWindows(HWND parent, std::string_view className) {
    TChildQuery q{std::string(className), {}};
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&q));
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

bool WaitUntilGone(HWND window, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (IsWindow(window)) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

bool WaitUntilClosed(HWND window, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

bool PumpUntil(const std::function<bool()> &done, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done() && std::chrono::steady_clock::now() < end) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return done();
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

void WritePng(const std::string &path, const TImage32 &image) {
    // One filter byte (0 = none) before every row of RGB bytes.
    const std::size_t rowBytes = static_cast<std::size_t>(image.Width) * 3 + 1;
    std::vector<unsigned char> raw(rowBytes * image.Height);
    for (int y = 0; y < image.Height; ++y) {
        unsigned char *row = &raw[y * rowBytes];
        row[0] = 0;
        for (int x = 0; x < image.Width; ++x) {
            const std::uint32_t p = image.At(x, y);
            row[1 + x * 3] = static_cast<unsigned char>(p >> 16);
            row[2 + x * 3] = static_cast<unsigned char>(p >> 8);
            row[3 + x * 3] = static_cast<unsigned char>(p);
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<unsigned char> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK)
        throw std::runtime_error("PNG: compression failed");

    std::unique_ptr<std::FILE, int (*)(std::FILE *)> f(_wfopen(Utf8ToWide(path).c_str(), L"wb"), &std::fclose);
    if (!f) throw std::runtime_error("PNG: cannot create " + path);
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::fwrite(signature, 1, 8, f.get());
    const auto w = static_cast<std::uint32_t>(image.Width);
    const auto h = static_cast<std::uint32_t>(image.Height);
    const unsigned char header[13] = {static_cast<unsigned char>(w >> 24), static_cast<unsigned char>(w >> 16),
                                      static_cast<unsigned char>(w >> 8), static_cast<unsigned char>(w),
                                      static_cast<unsigned char>(h >> 24), static_cast<unsigned char>(h >> 16),
                                      static_cast<unsigned char>(h >> 8), static_cast<unsigned char>(h),
                                      8, 2, 0, 0, 0};  // 8 bits, RGB, deflate, no filter set, no interlace
    AppendChunk(f.get(), "IHDR", header, sizeof header);
    AppendChunk(f.get(), "IDAT", packed.data(), packedSize);
    AppendChunk(f.get(), "IEND", nullptr, 0);
    if (std::ferror(f.get())) throw std::runtime_error("PNG: cannot write " + path);
}

} // namespace uitest
