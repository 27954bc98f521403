#pragma once
// What the menu tests share: a skin with a popup background of known
// colours and border mask, a popup that a timer drives with keys while the
// system tracks it, the visible menu windows, and a menu window's frame and
// background painted again.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "../forms/CaptionTestSupport.h"
#include "AdaptersTestSupport.h"
#include "skin/adapters/vlMnuWnd.h"
#include "vcl/Bitmap.h"
#include "vcl/Menus.h"
#include "vcl/WideText.h"

namespace skin::test {

using vcl::TMenuItem;

constexpr vcl::TColor MenuBack = 0x306090, ItemFace = 0xD0D0D0, MenuHotFace = 0x2040C0;
// The check images (normal, hot) of "CHECK" and "BOXCHECKED", the caption
// items' face and the pressed small speed button behind a checked glyph.
constexpr vcl::TColor CheckFace = 0x1060A0, CheckHotFace = 0xA06010, BoxFace = 0x20C020, BoxHotFace = 0xC02020,
                      CaptionFace = 0x508050, SmallButtonDown = 0x9030C0;

// A skin whose popup background has a 3-pixel border mask with corner runs
// of two pixels (row 0) and one (row 1), items of known faces, check images
// of two states ("CHECK", "BOXCHECKED"; no "RADIOCHECKED") and faces for
// caption items and checked glyphs.
inline TestSkin MenuSkin(bool WithMainMenu = true) {
    TestSkin skin;
    skin.Options = "[GLOBALINFO]\r\nVERSION=10\r\nMASTERBITMAP=master.bmp\r\nCOLOR=0xE0E0E0\r\nFONTCOLOR=0x202020\r\n"
                   "CHECK=^0032,0000,0052,0010,0000,0000,0000,0000,2,0,0,0\r\n"
                   "BOXCHECKED=^0032,0010,0052,0020,0000,0000,0000,0000,2,0,0,0\r\n"
                   "[MENUITEM]\r\nSTATES=2\r\nCOLOR=0xD0D0D0\r\nHOTCOLOR=0x2040C0\r\nFONTCOLOR=0x101010\r\n"
                   "HOTFONTCOLOR=0xFFFFFF\r\n[MENUCAPTION]\r\nCOLOR=0x508050\r\nFONTCOLOR=0xF0F0F0\r\n"
                   "[SPEEDBUTTON_SMALL]\r\nSTATES=3\r\nUSESTATE2=1\r\nCOLOR=0x405040\r\nHOTCOLOR=0x406040\r\n"
                   "COLOR2=0x9030C0\r\n";
    if (WithMainMenu)
        skin.Options += "[MAINMENU]\r\nCOLOR=0x306090\r\n"
                        "BORDERSMASK=^0000,0000,0030,0030,0003,0003,0003,0003,1,0,4,3\r\n";
    skin.Files = {{"MASTER.BMP", Bmp24(64, 32, [](int x, int y) {
                       if (x >= 32 && x < 52 && y < 20)
                           return y < 10 ? (x < 42 ? CheckFace : CheckHotFace) : (x < 42 ? BoxFace : BoxHotFace);
                       const int dx = x < 15 ? x : 29 - x, dy = y < 15 ? y : 29 - y;
                       return x < 30 && y < 30 && dx + dy < 2 ? Fuchsia : vcl::TColor(0x306090);
                   })}};
    return skin;
}

inline ManagerPtr MenuManager(bool WithMainMenu = true) {
    ManagerPtr m = NewManager();
    AddStoredSkin(*m, "Menus", MenuSkin(WithMainMenu).Packed());
    m->SetSkinName("Menus");
    m->Effects()->AllowAnimation = false;
    return m;
}

inline TMenuItem *Add(TMenuItem *Parent, vcl::TComponent *Owner, const std::string &Caption) {
    auto *item = vcl::Create<TMenuItem>(Owner);
    item->SetCaption(Caption);
    Parent->Add(item);
    return item;
}

// A key pressed and released through the system's input queue.
inline void Key(WORD Vk) {
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = Vk;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

// A popup (of any popup menu class) tracked by the system; a timer plays
// the keys and looks at the menu windows between them.
template <class TMenuClass> class TDriven : public TMenuClass {
public:
    using TMenuClass::TMenuClass;
    std::vector<WORD> Keys;
    std::function<void(int Step)> Look;
    UINT Interval = 120;

protected:
    UINT TrackMenu(HMENU Menu, int X, int Y, HWND Owner) override {
        Current = this;
        Step = 0;
        const UINT_PTR timer = SetTimer(nullptr, 0, Interval, &Tick);
        const UINT chosen = TMenuClass::TrackMenu(Menu, X, Y, Owner);
        KillTimer(nullptr, timer);
        Current = nullptr;
        return chosen;
    }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        TDriven *p = Current;
        if (!p) return;
        if (p->Look) p->Look(p->Step);
        if (p->Step >= static_cast<int>(p->Keys.size())) {
            EndMenu();
            return;
        }
        Key(p->Keys[static_cast<std::size_t>(p->Step++)]);
    }
    static inline TDriven *Current = nullptr;
    int Step = 0;
};
using TDrivenPopup = TDriven<vcl::TPopupMenu>;

inline std::vector<HWND> MenuWindows() {
    std::vector<HWND> found;
    for (HWND w : uitest::TopLevelWindows("#32768", GetCurrentProcessId()))
        if (IsWindowVisible(w)) found.push_back(w);
    return found;
}

// The frame paints that reach the system's procedure of a menu window.
struct TSystemFrames {
    static inline WNDPROC System = nullptr;
    static inline int Count = 0;
    static LRESULT CALLBACK Proc(HWND W, UINT Msg, WPARAM WP, LPARAM LP) {
        if (Msg == WM_NCPAINT) ++Count;
        return CallWindowProcW(System, W, Msg, WP, LP);
    }
};

// A menu window's frame painted again over black, and its background
// erased into a bitmap: their pixels, and the frame paints the system saw.
struct TRepaint {
    vcl::TColor Frame = 0, Back = 0;
    int SystemFrames = -1;
};

inline TRepaint RepaintMenuWindow(HWND W) {
    TRepaint seen;
    RECT r{};
    GetWindowRect(W, &r);
    if (const HDC frame = GetWindowDC(W)) {
        PatBlt(frame, 0, 0, 3, r.bottom - r.top, BLACKNESS);
        ReleaseDC(W, frame);
    }
    TvlMnuWnd *adapter = TvlMnuArray::Instance().Find(W);
    if (!adapter) return seen;
    TSystemFrames::System = std::exchange(adapter->OldWndProc, &TSystemFrames::Proc);
    TSystemFrames::Count = 0;
    SendMessageW(W, WM_NCPAINT, 1, 0);
    adapter->OldWndProc = TSystemFrames::System;
    seen.SystemFrames = TSystemFrames::Count;
    seen.Frame = ColorAt(uitest::CaptureWindow(W), 1, (r.bottom - r.top) / 2);
    vcl::TBitmap client;
    client.SetPixelFormat(vcl::pf32bit);
    client.SetSize(20, 20);
    SendMessageW(W, WM_ERASEBKGND, reinterpret_cast<WPARAM>(client.Canvas()->Handle()), 0);
    seen.Back = client.Canvas()->Pixels(10, 10);
    return seen;
}

inline std::filesystem::path Artifacts() {
    std::string path = "Z:" + std::string(ZUVO_ARTIFACTS_FOLDER);
    std::replace(path.begin(), path.end(), '/', '\\');
    std::filesystem::path folder(vcl::Utf8ToWide(path));
    std::filesystem::create_directories(folder);
    return folder;
}

} // namespace skin::test
