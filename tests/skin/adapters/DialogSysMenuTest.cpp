// The system menu of a skinned dialog, on a dialog window of the test's
// own: its six items, which of them show and work for the dialog's style,
// frame kind and state, the commands reaching the dialog through the real
// menu driven by keys (maximize, then close), its items drawn from the
// skin, and the handles over many openings.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "MenusTestSupport.h"
#include "skin/adapters/sSkinMenus.h"
#include "skin/adapters/vlMenuAdapters.h"
#include "skin/adapters/vlSystemMenu.h"
#include "skin/graphics/sConst.h"
#include "vcl/HandleCounts.h"

namespace skin::test {
namespace {

using namespace std::chrono_literals;

// A modeless dialog from an in-memory template; Cancel (what SC_CLOSE
// turns into) destroys it.
struct TTestDialog : TvlSysMenuDialog {
    HWND Wnd = nullptr;
    LONG_PTR Style = 0;
    int FrameKind = 3;
    std::vector<UINT> Commands;  // the system commands that reached it

    explicit TTestDialog(DWORD WindowStyle) {
        struct alignas(4) {
            DLGTEMPLATE T;
            WORD Menu, Class, Title;
        } tpl{};
        tpl.T.style = WindowStyle;
        tpl.T.cx = 160;
        tpl.T.cy = 80;
        Wnd = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &tpl.T, nullptr, &Proc,
                                         reinterpret_cast<LPARAM>(this));
        Style = GetWindowLongPtrW(Wnd, GWL_STYLE);
        SetWindowPos(Wnd, nullptr, 120, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    ~TTestDialog() override {
        if (Wnd && IsWindow(Wnd)) DestroyWindow(Wnd);
    }
    HWND SysMenuWindow() const override { return IsWindow(Wnd) ? Wnd : nullptr; }
    LONG_PTR SysMenuStyle() const override { return Style; }
    int SysMenuFrameKind() const override { return FrameKind; }

    static INT_PTR CALLBACK Proc(HWND W, UINT Msg, WPARAM WParam, LPARAM LParam) {
        if (Msg == WM_INITDIALOG) {
            SetWindowLongPtrW(W, DWLP_USER, LParam);
            return TRUE;
        }
        auto *self = reinterpret_cast<TTestDialog *>(GetWindowLongPtrW(W, DWLP_USER));
        if (Msg == WM_SYSCOMMAND && self) self->Commands.push_back(static_cast<UINT>(WParam & 0xFFF0));
        if (Msg == WM_COMMAND && LOWORD(WParam) == IDCANCEL) {
            DestroyWindow(W);
            return TRUE;
        }
        return FALSE;
    }
};

constexpr DWORD MessageBoxStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE;
constexpr DWORD SizeableStyle =
    WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_VISIBLE;

// The menu shown for real: a timer plays the keys inside its modal loop
// and looks at the menu window before the last one.
class TDrivenSysMenu : public TvlSystemMenu {
public:
    using TvlSystemMenu::TvlSystemMenu;
    std::vector<WORD> Keys;
    uitest::TImage32 Picture;
    UINT Interval = 100;

protected:
    UINT TrackMenu(HMENU Menu, int X, int Y, HWND Owner) override {
        Current = this;
        Step = 0;
        const UINT_PTR timer = SetTimer(nullptr, 0, Interval, &Tick);
        const UINT chosen = TvlSystemMenu::TrackMenu(Menu, X, Y, Owner);
        KillTimer(nullptr, timer);
        Current = nullptr;
        return chosen;
    }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        TDrivenSysMenu *m = Current;
        if (!m) return;
        if (m->Step >= static_cast<int>(m->Keys.size())) {
            EndMenu();
            return;
        }
        if (m->Step + 1 == static_cast<int>(m->Keys.size()))
            for (HWND w : MenuWindows()) m->Picture = uitest::CaptureWindow(w);
        INPUT input[2] = {};
        input[0].type = input[1].type = INPUT_KEYBOARD;
        input[0].ki.wVk = input[1].ki.wVk = m->Keys[static_cast<std::size_t>(m->Step++)];
        input[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, input, sizeof(INPUT));
    }
    static inline TDrivenSysMenu *Current = nullptr;
    int Step = 0;
};

struct DialogSysMenu : ::testing::Test {
    static void SetUpTestSuite() { Modules = std::make_unique<AdapterModules>(); }
    static void TearDownTestSuite() { Modules.reset(); }
    static inline std::unique_ptr<AdapterModules> Modules;
    ManagerPtr Manager = MenuManager();
};

std::string Shown(const TvlSystemMenu &M) {
    std::string s;
    for (const TMenuItem *i : {M.ItemRestore, M.ItemMove, M.ItemSize, M.ItemMinimize, M.ItemMaximize, M.ItemClose})
        s += !i->Visible() ? '-' : i->Enabled() ? 'E' : 'd';
    return s;
}

TEST_F(DialogSysMenu, SixNamedItemsWithTheirCommandsAndADivider) {
    TTestDialog dialog(SizeableStyle);
    TvlSystemMenu menu(nullptr, dialog);
    EXPECT_EQ(menu.Name().rfind("vlSysMenu", 0), 0u);
    ASSERT_EQ(menu.Items()->Count(), 7);
    const std::vector<std::pair<std::string, UINT>> expected = {
        {"miRestore", SC_RESTORE}, {"miMove", SC_MOVE}, {"miSize", SC_SIZE}, {"miMinimize", SC_MINIMIZE},
        {"miMaximize", SC_MAXIMIZE}, {"", 0}, {"miClose", SC_CLOSE}};
    for (int i = 0; i < 7; ++i) {
        const TMenuItem *item = menu.Items()->Items(i);
        EXPECT_EQ(item->Name(), expected[static_cast<std::size_t>(i)].first);
        EXPECT_EQ(static_cast<UINT>(item->Tag()), expected[static_cast<std::size_t>(i)].second);
        EXPECT_EQ(item->IsLine(), i == 5);
        EXPECT_FALSE(item->Caption().empty());
    }
    EXPECT_EQ(menu.ItemClose->Caption(), LocClose.empty() ? "Close" : LocClose);
    EXPECT_EQ(menu.ItemClose->ShortCut(), vcl::scAlt | VK_F4);
    // The painter's glyphs for the commands: a caption glyph font and its
    // characters.
    const vcl::TWindowDC dc(dialog.Wnd);
    const std::pair<TMenuItem *, wchar_t> glyphs[] = {
        {menu.ItemMinimize, L'0'}, {menu.ItemMaximize, L'1'}, {menu.ItemRestore, L'2'}, {menu.ItemClose, L'r'}};
    for (const auto &[item, ch] : glyphs) {
        const auto g = TsSkinableMenus::SysCommandGlyph(dc.Get(), static_cast<UINT>(item->Tag()));
        EXPECT_EQ(g.Char, ch);
        EXPECT_TRUE(g.Face == L"Webdings" || g.Face == L"Marlett");
    }
    EXPECT_EQ(TsSkinableMenus::SysCommandGlyph(dc.Get(), SC_MOVE).Char, 0);
}

TEST_F(DialogSysMenu, WhatShowsAndWorksFollowsStyleFrameKindAndState) {
    // Restore, move, size, minimize, maximize, close: E shown and enabled,
    // d shown and disabled, - hidden.
    TTestDialog box(MessageBoxStyle);
    TvlSystemMenu boxMenu(nullptr, box);
    box.FrameKind = 0;
    boxMenu.UpdateItems();
    EXPECT_EQ(Shown(boxMenu), "-E---E");
    box.FrameKind = 3;  // a sizing kind shows restore (off) and size
    boxMenu.UpdateItems();
    EXPECT_EQ(Shown(boxMenu), "dEE--E");
    box.FrameKind = 1;  // while the default section is set: no sizing
    boxMenu.UpdateItems();
    EXPECT_EQ(Shown(boxMenu), "dEd--E");
    box.Style &= ~static_cast<LONG_PTR>(WS_SYSMENU);
    box.FrameKind = 2;
    boxMenu.UpdateItems();
    EXPECT_EQ(Shown(boxMenu), "-E----");
    EXPECT_FALSE(boxMenu.VisibleClose());

    TTestDialog sizeable(SizeableStyle);
    TvlSystemMenu menu(nullptr, sizeable);
    menu.UpdateItems();
    EXPECT_EQ(Shown(menu), "dEEEEE");
    EXPECT_TRUE(menu.VisibleMax() && menu.VisibleMin() && menu.EnabledMax() && menu.EnabledMin());
    sizeable.FrameKind = 2;  // a frame kind that cannot maximize
    EXPECT_FALSE(menu.EnabledMax());
    sizeable.FrameKind = 3;
    ShowWindow(sizeable.Wnd, SW_MINIMIZE);
    menu.UpdateItems();
    EXPECT_EQ(Shown(menu), "EEddEE");
    menu.RestoreClick(nullptr);
    EXPECT_FALSE(IsIconic(sizeable.Wnd));
    EXPECT_EQ(Shown(menu), "dEEEEE");
    menu.MaximizeClick(nullptr);
    EXPECT_TRUE(IsZoomed(sizeable.Wnd));
    EXPECT_EQ(Shown(menu), "EdEEdE");
    menu.MoveClick(nullptr);
    menu.SizeClick(nullptr);
    menu.MinimizeClick(nullptr);
    EXPECT_EQ(sizeable.Commands,
              (std::vector<UINT>{SC_RESTORE, SC_MAXIMIZE, SC_MOVE, SC_SIZE, SC_MINIMIZE}));
}

TEST_F(DialogSysMenu, TheShownMenuMaximizesAndClosesTheDialogFromTheSkin) {
    TTestDialog dialog(SizeableStyle);
    ASSERT_TRUE(uitest::ActivateAndWait(dialog.Wnd, 2s));
    TDrivenSysMenu menu(nullptr, dialog);
    // Up from nothing reaches Close, once more Maximize over the divider.
    menu.Keys = {VK_UP, VK_UP, VK_RETURN};
    menu.ShowAt(130, 130, Manager.get());
    EXPECT_TRUE(IsZoomed(dialog.Wnd));
    EXPECT_FALSE(menu.ItemMove->Enabled());
    EXPECT_TRUE(menu.ItemRestore->Enabled());
    // Its items lay on the skin's item face, the hot one on the hot face.
    const uitest::TImage32 &image = menu.Picture;
    uitest::WritePng(vcl::WideToUtf8((Artifacts() / "skinned-dialog-system-menu.png").wstring()), image);
    ASSERT_GT(image.Width, 40) << image.Height;
    EXPECT_GT(CountColor(image, ItemFace), 100);
    EXPECT_GT(CountColor(image, MenuHotFace), 100);

    menu.Keys = {VK_UP, VK_RETURN};
    menu.ShowAt(130, 130, Manager.get());
    // The dialog turns the close command into Cancel on its queue.
    uitest::PumpUntil([&] { return !IsWindow(dialog.Wnd); }, 2s);
    EXPECT_FALSE(IsWindow(dialog.Wnd));
    ASSERT_GE(dialog.Commands.size(), 2u);
    EXPECT_EQ(dialog.Commands.back(), static_cast<UINT>(SC_CLOSE));
    EXPECT_EQ(dialog.Commands.front(), static_cast<UINT>(SC_MAXIMIZE));
    uitest::PumpUntil([] { return MenuAdapterCount() == 0; }, 2s);
}

TEST_F(DialogSysMenu, CountsStayFlatOverAHundredOpenings) {
    TTestDialog dialog(SizeableStyle);
    ASSERT_TRUE(uitest::ActivateAndWait(dialog.Wnd, 2s));
    TDrivenSysMenu menu(nullptr, dialog);
    menu.Interval = 10;
    menu.Keys = {VK_DOWN};
    menu.ShowAt(130, 130, Manager.get());  // the first opening makes what lives for good
    uitest::PumpUntil([] { return MenuAdapterCount() == 0; }, 2s);
    const vcl::THandleCounts before = vcl::LiveHandles();
    for (int i = 0; i < 100; ++i) menu.ShowAt(130, 130, Manager.get());
    uitest::PumpUntil([] { return MenuAdapterCount() == 0; }, 2s);
    EXPECT_EQ(vcl::LiveHandles(), before);
    EXPECT_EQ(MenuAdapterCount(), 0u);
    EXPECT_TRUE(dialog.Commands.empty());
}

} // namespace
} // namespace skin::test
