#pragma once
// What the tests of the caption buttons, the mouse handlers and the system
// menu share: a skin whose title glyphs have one flat colour per state (so
// that a state can be told by one pixel of the cache or the screen), a
// shown form with a provider whose caption is laid out, mouse input through
// the system's queue, and a watcher of the popup menus ("#32768") that this
// process shows. Windows only.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "../../support/UiDriver.h"
#include "FormsTestSupport.h"
#include "skin/forms/sSystemMenu.h"
#include "skin/manager/sIndexCache.h"
#include "vcl/Bitmap.h"
#include "vcl/WideText.h"

namespace skin::test {

using namespace std::chrono_literals;

// One flat colour per state (normal, hot, pressed) of each title glyph.
struct StateColors {
    vcl::TColor Normal, Hot, Pressed;
    vcl::TColor operator[](int State) const { return State == 0 ? Normal : State == 1 ? Hot : Pressed; }
};
inline constexpr StateColors CloseColors{0x000080, 0x0000D0, 0x000040};
inline constexpr StateColors MaxColors{0x008000, 0x00D000, 0x004000};
inline constexpr StateColors MinColors{0x800000, 0xD00000, 0x400000};
inline constexpr StateColors NormColors{0x808000, 0xD0D000, 0x404000};
inline constexpr StateColors HelpColors{0x800080, 0xD000D0, 0x400040};
inline constexpr StateColors UserColors{0x008080, 0x00D0D0, 0x004040};
inline constexpr vcl::TColor GripColor = 0x303030;
// Title glyphs are 15 x 15, a user button's image 21 wide.
inline constexpr int GlyphSize = 15;
inline constexpr int UserButtonWidth = 21;

// The master: close, maximize, minimize and restore glyphs in rows of three
// states at x 0; the user button's image and the help glyph at x 45; the
// size grip below them.
inline Bytes CaptionMaster() {
    return Bmp24(110, 60, [](int x, int y) -> vcl::TColor {
        if (x < 45) {
            const StateColors *row[] = {&CloseColors, &MaxColors, &MinColors, &NormColors};
            return (*row[y / 15])[x / 15];
        }
        if (y < 15 && x < 108) return UserColors[(x - 45) / UserButtonWidth];
        if (y >= 15 && y < 30 && x < 90) return HelpColors[(x - 45) / 15];
        if (y >= 30 && y < 40 && x < 55) return GripColor;
        return 0x909090;
    });
}

inline std::string CaptionOptions() {
    return "[GLOBALINFO]\r\nVERSION=10\r\nMASTERBITMAP=master.bmp\r\nCOLOR=0xE0E0E0\r\nFONTCOLOR=0x202020\r\n"
           "BICONCLOSE=@0000,0000,0045,0015,3,0\r\nBICONMAX=@0000,0015,0045,0030,3,0\r\n"
           "BICONMIN=@0000,0030,0045,0045,3,0\r\nBICONNORM=@0000,0045,0045,0060,3,0\r\n"
           "BICONHELP=@0045,0015,0090,0030,3,0\r\nTITLEBUTTON=@0045,0000,0108,0015,3,0\r\n"
           "GRIPIMAGE=@0045,0030,0055,0040,1,0\r\n"
           "[FORM]\r\nCOLOR=0xF0F0F0\r\n";
}

inline ManagerPtr CaptionSkinManager() {
    ManagerPtr m = NewManager();
    TestSkin skin;
    skin.Options = CaptionOptions();
    skin.Files = {{"MASTER.BMP", CaptionMaster()}};
    AddStoredSkin(*m, "Caption", skin.Packed());
    m->SetSkinName("Caption");
    return m;
}

// The modules for the suite, the caption skin for each test.
struct CaptionFixture : ::testing::Test {
    static void SetUpTestSuite() { Modules = std::make_unique<FormsModules>(); }
    static void TearDownTestSuite() { Modules.reset(); }
    static inline std::unique_ptr<FormsModules> Modules;

    ManagerPtr Manager = CaptionSkinManager();
    CaptionFixture() { FormsState().FormButtonPressed = false; }
    int TitleIcon(TvlTitleIcon Icon) const { return Manager->CommonElements.TitleIcons[Icon]; }
};

// A form with a provider, shown, its caption laid out. What the skin's
// preparation and the frame's rendering do is done here only where they
// have not done it (the system menu, the glyphs, the style without
// WS_SYSMENU, the cache), so that the tests hold with and without them.
struct CaptionForm {
    TestForm Form;
    FormWatcher Watcher{Form.Form};  // the provider's saved procedure
    TsSkinProvider *P = vcl::Create<TsSkinProvider>(Form.Form);

    ~CaptionForm() {
        delete Form.Form;  // the form and its provider go before the watcher
        Form.Form = nullptr;
    }
    vcl::TForm *F() const { return Form.Form; }
    HWND Wnd() const { return Form.Form->Handle(); }

    void Prepare() {
        TsSkinManager *m = P->SkinData()->GetSkinManager();
        F()->HandleNeeded();
        if (!P->SystemMenu) P->SystemMenu = new TsSystemMenu(P);
        const auto glyph = [&](TsCaptionButton &B, TvlTitleIcon Icon) {
            if (B.ImageIndex < 0) B.ImageIndex = m->CommonElements.TitleIcons[Icon];
            B.HaveAlignment = P->NormalCaption();
        };
        glyph(P->ButtonClose, tiBigClose);
        glyph(P->ButtonMax, tiBigMax);
        glyph(P->ButtonMin, tiBigMin);
        glyph(P->ButtonHelp, tiBigHelp);
        if (P->TitleButtonMaskIndex < 0)
            P->TitleButtonMaskIndex = m->GetMaskIndex(m->CommonElements.GlobalInfoSection, "TITLEBUTTON");
        const LONG_PTR style = GetWindowLongPtrW(Wnd(), GWL_STYLE);
        if (style & WS_SYSMENU) SetWindowLongPtrW(Wnd(), GWL_STYLE, style & ~LONG_PTR{WS_SYSMENU});
        Layout();
    }
    void Show() {
        Form.Show();
        Prepare();
    }
    // After a change of size or state: the cache and the buttons follow.
    void Layout() {
        P->SkinData()->PrepareCache();
        vcl::TBitmap *cache = P->SkinData()->CacheBmp();
        if (P->CacheStale()) cache->SetSize(P->CacheWidth(), F()->Height());
        P->UpdateButtonsLayout();
        if (P->SystemMenu) P->SystemMenu->UpdateItems(false);
    }

    // A point of the window in screen coordinates, as mouse messages carry it.
    LPARAM ScreenAt(vcl::TPoint WindowPoint) const {
        RECT r{};
        GetWindowRect(Wnd(), &r);
        return MAKELPARAM(r.left + WindowPoint.X, r.top + WindowPoint.Y);
    }
    static vcl::TPoint Centre(const vcl::TRect &R) { return {(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}; }
    LPARAM ScreenAt(const TsCaptionButton &B) const { return ScreenAt(Centre(B.Rect)); }
    LRESULT HitTest(vcl::TPoint WindowPoint) const {
        return SendMessageW(Wnd(), WM_NCHITTEST, 0, ScreenAt(WindowPoint));
    }
    int Seen(UINT Msg) const { return static_cast<int>(std::count(Watcher.Seen.begin(), Watcher.Seen.end(), Msg)); }
};

// The cache's pixel as a colour (alpha left out).
inline vcl::TColor CachePixel(TsSkinProvider *P, vcl::TPoint At) {
    const std::uint32_t bgra = P->SkinData()->CacheBmp()->View().At(At.X, At.Y);
    return static_cast<vcl::TColor>(((bgra >> 16) & 0xFF) | (bgra & 0xFF00) | ((bgra & 0xFF) << 16));
}

// What the window shows there, read from its own DC.
inline vcl::TColor ScreenPixel(HWND Window, vcl::TPoint At) {
    HDC dc = GetWindowDC(Window);
    const COLORREF c = GetPixel(dc, At.X, At.Y);
    ReleaseDC(Window, dc);
    return static_cast<vcl::TColor>(c);
}

// A button's pixel two in from its top-left corner.
inline vcl::TPoint Inside(const TsCaptionButton &B) { return {B.Rect.Left + 2, B.Rect.Top + 2}; }

// The mouse through the system's input queue.
inline void MouseTo(HWND Window, vcl::TPoint WindowPoint) {
    RECT r{};
    GetWindowRect(Window, &r);
    SetCursorPos(r.left + WindowPoint.X, r.top + WindowPoint.Y);
    INPUT move{};
    move.type = INPUT_MOUSE;
    move.mi.dwFlags = MOUSEEVENTF_MOVE;  // a move of 0: the cursor's place is news to the window
    SendInput(1, &move, sizeof move);
}
inline void MouseButton(bool Down) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = Down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof input);
}
// The first window below W in the z-order that shows: hidden ones (the
// application's own window, which owns the layers) are passed over.
inline HWND ShownBelow(HWND W) {
    HWND below = GetWindow(W, GW_HWNDNEXT);
    while (below && !IsWindowVisible(below)) below = GetWindow(below, GW_HWNDNEXT);
    return below;
}

// Lets the input reach the windows.
inline void Settle() { uitest::PumpUntil([] { return false; }, 150ms); }

// The items of a popup menu as it shows them: the text ("" for a
// separator), its command and whether it is grayed.
struct ShownItem {
    std::string Text;
    UINT Id = 0;
    bool Grayed = false;
};
inline std::vector<ShownItem> MenuItemsOf(HMENU Menu) {
    std::vector<ShownItem> items;
    for (int i = 0; i < GetMenuItemCount(Menu); ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STRING | MIIM_ID | MIIM_STATE | MIIM_FTYPE;
        info.dwTypeData = text;
        info.cch = 255;
        GetMenuItemInfoW(Menu, static_cast<UINT>(i), TRUE, &info);
        items.push_back({vcl::WideToUtf8(text), info.wID, (info.fState & MFS_GRAYED) != 0});
    }
    return items;
}

// Watches for the popup menus of this process from a thread of its own:
// keeps the items of each one shown, then lets Answer close it (Escape by
// default). The thread that shows the menu is inside its modal loop then.
class MenuWatcher {
public:
    using TAnswer = std::function<void(HWND MenuWindow, HMENU Menu)>;
    explicit MenuWatcher(TAnswer Answer = {}) : FAnswer(std::move(Answer)), FThread([this] { Watch(); }) {}
    ~MenuWatcher() {
        FStop = true;
        FThread.join();
    }
    MenuWatcher(const MenuWatcher &) = delete;
    MenuWatcher &operator=(const MenuWatcher &) = delete;

    int Count() const { return FCount; }
    // The items of the last menu shown (read after the menu closed).
    std::vector<ShownItem> Items() const {
        std::lock_guard lock(FLock);
        return FItems;
    }
    // Where the last menu showed (screen).
    RECT Rect() const {
        std::lock_guard lock(FLock);
        return FRect;
    }
    static void Escape() {
        INPUT keys[2] = {};
        keys[0].type = keys[1].type = INPUT_KEYBOARD;
        keys[0].ki.wVk = keys[1].ki.wVk = VK_ESCAPE;
        keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, keys, sizeof(INPUT));
    }
    // Clicks the item with the command Id of the shown menu.
    static void ClickItem(HMENU Menu, UINT Id) {
        for (int i = 0; i < GetMenuItemCount(Menu); ++i)
            if (GetMenuItemID(Menu, i) == Id) ClickItemAt(Menu, i);
    }
    // Clicks the item whose caption, without its marks and shortcut, is Caption.
    static void ClickItemNamed(HMENU Menu, const std::string &Caption);
    // Clicks the item at a position of the shown menu.
    static void ClickItemAt(HMENU Menu, int Index) {
        RECT r{};
        GetMenuItemRect(nullptr, Menu, static_cast<UINT>(Index), &r);
        SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        INPUT input[2] = {};
        input[0].type = input[1].type = INPUT_MOUSE;
        input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(2, input, sizeof(INPUT));
    }

private:
    void Watch() {
        HWND handled = nullptr;
        while (!FStop) {
            for (HWND w : uitest::TopLevelWindows("#32768", GetCurrentProcessId())) {
                if (!IsWindowVisible(w) || w == handled) continue;
                const HMENU menu = reinterpret_cast<HMENU>(SendMessageW(w, MN_GETHMENU, 0, 0));
                if (!menu) continue;
                Sleep(50);  // the menu takes the keyboard once it is up
                {
                    std::lock_guard lock(FLock);
                    FItems = MenuItemsOf(menu);
                    GetWindowRect(w, &FRect);
                }
                ++FCount;
                handled = w;
                if (FAnswer)
                    FAnswer(w, menu);
                else
                    Escape();
            }
            if (handled && !IsWindowVisible(handled)) handled = nullptr;
            Sleep(20);
        }
    }

    TAnswer FAnswer;
    std::atomic<bool> FStop{false};
    std::atomic<int> FCount{0};
    mutable std::mutex FLock;
    std::vector<ShownItem> FItems;
    RECT FRect{};
    std::thread FThread;
};

// The captions of the shown items that are not separators.
inline std::vector<std::string> Captions(const std::vector<ShownItem> &Items) {
    std::vector<std::string> captions;
    for (const ShownItem &i : Items)
        if (!i.Text.empty()) captions.push_back(i.Text);
    return captions;
}

// A caption without its accelerator mark and shortcut: "&Close\tAlt+F4" is "Close".
inline std::string Plain(const std::string &Caption) {
    std::string s = Caption.substr(0, Caption.find('\t'));
    s.erase(std::remove(s.begin(), s.end(), '&'), s.end());
    return s;
}

inline void MenuWatcher::ClickItemNamed(HMENU Menu, const std::string &Caption) {
    const std::vector<ShownItem> items = MenuItemsOf(Menu);
    for (std::size_t i = 0; i < items.size(); ++i)
        if (!items[i].Text.empty() && Plain(items[i].Text) == Caption) ClickItemAt(Menu, static_cast<int>(i));
}

} // namespace skin::test
