#pragma once
// What the scroll-bar tests share: a skin whose bar pieces each have a
// colour of their own by state, a plain scrolling control under a topmost
// parent, the real mouse, a recorder of the scroll messages that reach
// the control's own procedure, and a check that a bar shows only the
// skin's colours. Windows only.
#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "AdaptersTestSupport.h"
#include "skin/adapters/vlScrollWnd.h"

namespace skin::test {

// Track before the thumb, after it, arrows, thumb; normal, hot, pressed.
inline constexpr vcl::TColor TrackBefore = 0x405060, TrackBeforePressed = 0x4050A0;
inline constexpr vcl::TColor TrackAfter = 0x605040, TrackAfterPressed = 0xA05040;
inline constexpr vcl::TColor ArrowFace = 0x208020, ArrowHot = 0x20C020, ArrowPressed = 0x20F020;
inline constexpr vcl::TColor ArrowInk = 0x000080;
inline constexpr vcl::TColor Thumb = 0x800080, ThumbHot = 0xC000C0, ThumbPressed = 0xF000F0;
inline constexpr vcl::TColor HeaderFace = 0x703010, HeaderHot = 0x30A0F0, HeaderPressed = 0x2020C0, HeaderInk = 0x00FFFF;
inline constexpr vcl::TColor ComboFace = 0x008080, ComboHot = 0x00A0A0, ComboPressed = 0x00C0C0, ComboInk = 0xFFFFFF;
inline constexpr vcl::TColor EditFace = 0xF8F8F8, EditInk = 0x101080, SkinBorder = 0x3060C0;

inline std::string ScrollSection(const std::string &Name, vcl::TColor Normal, vcl::TColor Hot, vcl::TColor Pressed,
                                 vcl::TColor Font = 0) {
    const auto hex = [](vcl::TColor C) {
        char b[16];
        snprintf(b, sizeof b, "0x%06X", static_cast<unsigned>(C));
        return std::string(b);
    };
    return "[" + Name + "]\r\nSTATES=3\r\nUSESTATE2=1\r\nCOLOR=" + hex(Normal) + "\r\nHOTCOLOR=" + hex(Hot) +
           "\r\nCOLOR2=" + hex(Pressed) + "\r\nFONTCOLOR=" + hex(Font) + "\r\nHOTFONTCOLOR=" + hex(Font) +
           "\r\nFONTCOLOR2=" + hex(Font) + "\r\n";
}

// The sections of the bars' tracks, arrows and thumbs.
inline std::string ScrollBarSections() {
    std::string s;
    for (const char *n : {"SCROLLBAR1H", "SCROLLBAR1V"}) s += ScrollSection(n, TrackBefore, TrackBefore, TrackBeforePressed);
    for (const char *n : {"SCROLLBAR2H", "SCROLLBAR2V"}) s += ScrollSection(n, TrackAfter, TrackAfter, TrackAfterPressed);
    for (const char *n : {"SCROLLBTNLEFT", "SCROLLBTNTOP", "SCROLLBTNRIGHT", "SCROLLBTNBOTTOM"})
        s += ScrollSection(n, ArrowFace, ArrowHot, ArrowPressed, ArrowInk);
    for (const char *n : {"SCROLLSLIDERH", "SCROLLSLIDERV"}) s += ScrollSection(n, Thumb, ThumbHot, ThumbPressed);
    return s;
}

inline std::string ScrollSkinOptions() {
    std::string s = "[GLOBALINFO]\r\nVERSION=10\r\nMASTERBITMAP=master.bmp\r\nCOLOR=0xE0E0E0\r\nFONTCOLOR=0x202020\r\n"
                    "BORDERCOLOR=0x3060C0\r\n"
                    "[FORM]\r\nCOLOR=0xF0F0F0\r\nBORDERSMASK=^0000,0010,0030,0040,0000,0000,0000,0000,1,1,0,3\r\n"
                    "[EDIT]\r\nSTATES=1\r\nCOLOR=0xF8F8F8\r\nFONTCOLOR=0x101080\r\n"
                    "[CHECKBOX]\r\nSTATES=1\r\nCOLOR=0xE0E0E0\r\nFONTCOLOR=0x202020\r\n" +
                    ScrollBarSections();
    s += ScrollSection("COLHEADER", HeaderFace, HeaderHot, HeaderPressed, HeaderInk);
    s += ScrollSection("COMBOBTN", ComboFace, ComboHot, ComboPressed, ComboInk);
    return s + ButtonSkinOptions().substr(ButtonSkinOptions().find("[BUTTON]"));
}

inline ManagerPtr ScrollSkinManager() {
    ManagerPtr m = NewManager();
    TestSkin skin;
    skin.Options = ScrollSkinOptions();
    AddStoredSkin(*m, "Scrolls", skin.Packed());
    m->SetSkinName("Scrolls");
    m->Effects()->AllowAnimation = false;
    m->Effects()->AllowGlowing = false;
    return m;
}

// The scrolls skin whose EDIT section has a second state (no border mask),
// applied to Manager under the name "Active".
inline constexpr vcl::TColor EditActiveFace = 0xD0F0D0;
inline void ApplyActiveEditSkin(TsSkinManager &Manager) {
    std::string options = ScrollSkinOptions();
    const std::string plain = "[EDIT]\r\nSTATES=1\r\nCOLOR=0xF8F8F8\r\n";
    options.replace(options.find(plain), plain.size(), "[EDIT]\r\nSTATES=2\r\nCOLOR=0xF8F8F8\r\nHOTCOLOR=0xD0F0D0\r\n");
    TestSkin skin;
    skin.Options = options;
    AddStoredSkin(Manager, "Active", skin.Packed());
    Manager.SetSkinName("Active");
}

inline bool IsBarColor(vcl::TColor C) {
    static const std::set<vcl::TColor> palette{TrackBefore, TrackBeforePressed, TrackAfter, TrackAfterPressed,
                                               ArrowFace,   ArrowHot,           ArrowPressed, ArrowInk,
                                               Thumb,       ThumbHot,           ThumbPressed};
    return palette.count(C) != 0;
}

// Every pixel of R (window coordinates) of the picture is one of the skin's bar colours.
inline ::testing::AssertionResult ShowsSkinnedBar(const uitest::TImage32 &Image, const vcl::TRect &R) {
    if (R.IsEmpty() || R.Left < 0 || R.Top < 0 || R.Right > Image.Width || R.Bottom > Image.Height)
        return ::testing::AssertionFailure() << "bar (" << R.Left << ", " << R.Top << ", " << R.Right << ", "
                                             << R.Bottom << ") outside the picture of " << Image.Width << " x "
                                             << Image.Height;
    for (int y = R.Top; y < R.Bottom; ++y)
        for (int x = R.Left; x < R.Right; ++x)
            if (!IsBarColor(ColorAt(Image, x, y)))
                return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is 0x" << std::hex
                                                     << ColorAt(Image, x, y);
    return ::testing::AssertionSuccess();
}

// Scroll messages and timers that reach the control's own procedure, with
// the tick of each.
struct ScrollLog {
    struct Entry {
        UINT Msg;
        WPARAM WParam;
        LPARAM LParam;
        DWORD Tick;
    };
    std::vector<Entry> Entries;
    int Count(UINT Msg, int Code) const {
        return static_cast<int>(std::count_if(Entries.begin(), Entries.end(), [&](const Entry &E) {
            return E.Msg == Msg && (Code < 0 || static_cast<int>(LOWORD(E.WParam)) == Code);
        }));
    }
    std::vector<DWORD> Ticks(UINT Msg, int Code) const {
        std::vector<DWORD> t;
        for (const Entry &e : Entries)
            if (e.Msg == Msg && static_cast<int>(LOWORD(e.WParam)) == Code) t.push_back(e.Tick);
        return t;
    }
};

// A system control with scroll bars under a topmost popup parent; the
// recorder sits right in front of the control's own procedure.
struct ScrollingControl {
    HWND Parent = nullptr;
    HWND Control = nullptr;
    WNDPROC Original = nullptr;
    ScrollLog Log;

    ScrollingControl(const wchar_t *ClassName, DWORD Style, int Width = 200, int Height = 200) {
        Parent = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 200, 150,
                                 Width + 60, Height + 60, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        Control = CreateWindowExW(0, ClassName, L"", WS_CHILD | WS_VISIBLE | Style, 20, 20, Width, Height, Parent,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
        SetPropW(Control, L"ScrollLog", this);
        Original = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(Control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ScrollingControl::Proc)));
    }
    ~ScrollingControl() {
        if (IsWindow(Parent)) DestroyWindow(Parent);
    }
    ScrollingControl(const ScrollingControl &) = delete;
    ScrollingControl &operator=(const ScrollingControl &) = delete;

    static LRESULT CALLBACK Proc(HWND W, UINT M, WPARAM WP, LPARAM LP) {
        auto *self = static_cast<ScrollingControl *>(GetPropW(W, L"ScrollLog"));
        if (!self) return DefWindowProcW(W, M, WP, LP);
        if (M == WM_VSCROLL || M == WM_HSCROLL || M == WM_TIMER) self->Log.Entries.push_back({M, WP, LP, GetTickCount()});
        const WNDPROC original = self->Original;
        if (M == WM_NCDESTROY) RemovePropW(W, L"ScrollLog");
        return CallWindowProcW(original, W, M, WP, LP);
    }
    void AddLines(int N) {
        for (int i = 0; i < N; ++i) {
            const std::wstring line = L"Line " + std::to_wstring(i);
            SendMessageW(Control, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
        }
    }
};

inline void MouseButton(DWORD Flags, DWORD Data = 0) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = Flags;
    input.mi.mouseData = Data;
    SendInput(1, &input, sizeof input);
}

// Pumps this thread's messages for a while.
inline void PumpFor(std::chrono::milliseconds Time) {
    uitest::PumpUntil([] { return false; }, Time);
}

// A click of the real mouse at a screen point.
inline void ClickAt(int X, int Y) {
    SetCursorPos(X, Y);
    PumpFor(std::chrono::milliseconds(30));
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    PumpFor(std::chrono::milliseconds(30));
    MouseButton(MOUSEEVENTF_LEFTUP);
    PumpFor(std::chrono::milliseconds(60));
}

// The real mouse pressed at (X, From), moved down past To in steps, released.
inline void DragDown(int X, int From, int To) {
    SetCursorPos(X, From);
    PumpFor(std::chrono::milliseconds(30));
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    PumpFor(std::chrono::milliseconds(30));
    for (int y = From + 16; y < To; y += 20) {
        SetCursorPos(X, y);
        PumpFor(std::chrono::milliseconds(20));
    }
    MouseButton(MOUSEEVENTF_LEFTUP);
    PumpFor(std::chrono::milliseconds(100));
}

// The rectangle R (screen) in the window's own coordinates.
inline vcl::TRect InWindow(HWND Window, const vcl::TRect &R) {
    RECT w{};
    GetWindowRect(Window, &w);
    return {R.Left - w.left, R.Top - w.top, R.Right - w.left, R.Bottom - w.top};
}

} // namespace skin::test
