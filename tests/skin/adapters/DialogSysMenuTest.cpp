// The system menu of a skinned dialog, on a dialog window of the test's
// own: its items, which of them show and work for the dialog's style,
// frame kind and state, the real menu driven by keys (maximize, then
// close) and drawn from the skin, and the handles over 100 openings.
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
// turns into) destroys it. Its style and frame kind are the test's to set.
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
        Wnd = CreateDialogIndirectParamW(nullptr, &tpl.T, nullptr, &Proc, reinterpret_cast<LPARAM>(this));
        Style = static_cast<LONG_PTR>(WindowStyle);  // as the adapter remembers it
        SetWindowPos(Wnd, nullptr, 120, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    ~TTestDialog() override {
        if (IsWindow(Wnd)) DestroyWindow(Wnd);
    }
    HWND SysMenuWindow() const override { return IsWindow(Wnd) ? Wnd : nullptr; }
    LONG_PTR SysMenuStyle() const override { return Style; }
    int SysMenuFrameKind() const override { return FrameKind; }

    static INT_PTR CALLBACK Proc(HWND W, UINT Msg, WPARAM WParam, LPARAM LParam) {
        if (Msg == WM_INITDIALOG) SetWindowLongPtrW(W, DWLP_USER, LParam);
        auto *self = reinterpret_cast<TTestDialog *>(GetWindowLongPtrW(W, DWLP_USER));
        if (Msg == WM_SYSCOMMAND && self) self->Commands.push_back(static_cast<UINT>(WParam & 0xFFF0));
        if (Msg == WM_COMMAND && LOWORD(WParam) == IDCANCEL) DestroyWindow(W);
        return Msg == WM_INITDIALOG;
    }
};

constexpr DWORD MessageBoxStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE;
constexpr DWORD SizeableStyle =
    WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_VISIBLE;

struct DialogSysMenu : ::testing::Test {
    static void SetUpTestSuite() { Modules = std::make_unique<AdapterModules>(); }
    static void TearDownTestSuite() { Modules.reset(); }
    static inline std::unique_ptr<AdapterModules> Modules;
    ManagerPtr Manager = MenuManager();
    // The test's dialog stands in for the dialog adapter: the hook leaves
    // it to the test (an adapter would take WS_SYSMENU from its live style).
    DialogSysMenu() { Manager->SetSkinningRules({srStdForms, srThirdParty}); }
};

// Restore, move, size, minimize, maximize, close: E shown and enabled, d
// shown and disabled, - hidden.
std::string Shown(const TvlSystemMenu &M) {
    std::string s;
    for (const TMenuItem *i : {M.ItemRestore, M.ItemMove, M.ItemSize, M.ItemMinimize, M.ItemMaximize, M.ItemClose})
        s += !i->Visible() ? '-' : i->Enabled() ? 'E' : 'd';
    return s;
}

TEST_F(DialogSysMenu, SixNamedItemsWithTheirCommandsGlyphsAndADivider) {
    TTestDialog dialog(SizeableStyle);
    TvlSystemMenu menu(nullptr, dialog);
    EXPECT_EQ(menu.Name().rfind("vlSysMenu", 0), 0u);  // the painter's glyphs
    const std::vector<std::pair<std::string, UINT>> expected = {
        {"miRestore", SC_RESTORE}, {"miMove", SC_MOVE}, {"miSize", SC_SIZE}, {"miMinimize", SC_MINIMIZE},
        {"miMaximize", SC_MAXIMIZE}, {"", 0}, {"miClose", SC_CLOSE}};
    ASSERT_EQ(menu.Items()->Count(), 7);
    for (int i = 0; i < 7; ++i) {
        const TMenuItem *item = menu.Items()->Items(i);
        EXPECT_EQ(item->Name(), expected[static_cast<std::size_t>(i)].first);
        EXPECT_EQ(static_cast<UINT>(item->Tag()), expected[static_cast<std::size_t>(i)].second);
        EXPECT_EQ(item->IsLine(), i == 5);
    }
    EXPECT_EQ(menu.ItemClose->Caption(), LocClose.empty() ? "Close" : LocClose);
    EXPECT_EQ(menu.ItemClose->ShortCut(), vcl::scAlt | VK_F4);
    const vcl::TWindowDC dc(dialog.Wnd);
    for (const auto &[item, ch] : {std::pair{menu.ItemMinimize, L'0'}, std::pair{menu.ItemMaximize, L'1'},
                                   std::pair{menu.ItemRestore, L'2'}, std::pair{menu.ItemClose, L'r'}}) {
        const auto g = TsSkinableMenus::SysCommandGlyph(dc.Get(), static_cast<UINT>(item->Tag()));
        EXPECT_EQ(g.Char, ch);
        EXPECT_TRUE(g.Face == L"Webdings" || g.Face == L"Marlett");
    }
}

TEST_F(DialogSysMenu, WhatShowsAndWorksFollowsStyleFrameKindAndState) {
    TTestDialog box(MessageBoxStyle);
    TvlSystemMenu boxMenu(nullptr, box);
    for (const auto &[kind, shown] : {std::pair{0, "-E---E"}, {3, "dEE--E"}, {1, "dEd--E"}}) {
        box.FrameKind = kind;
        boxMenu.UpdateItems();
        EXPECT_EQ(Shown(boxMenu), shown) << kind;
    }
    box.Style &= ~static_cast<LONG_PTR>(WS_SYSMENU);
    box.FrameKind = 2;
    boxMenu.UpdateItems();
    EXPECT_EQ(Shown(boxMenu), "-E----");

    TTestDialog sizeable(SizeableStyle);
    TvlSystemMenu menu(nullptr, sizeable);
    menu.UpdateItems();
    EXPECT_EQ(Shown(menu), "dEEEEE");
    sizeable.FrameKind = 2;  // cannot maximize
    EXPECT_FALSE(menu.EnabledMax());
    sizeable.FrameKind = 3;
    ShowWindow(sizeable.Wnd, SW_MINIMIZE);
    menu.UpdateItems();
    EXPECT_EQ(Shown(menu), "EEddEE");
    menu.RestoreClick(nullptr);
    EXPECT_EQ(Shown(menu), "dEEEEE");
    menu.MaximizeClick(nullptr);
    EXPECT_EQ(Shown(menu), "EdEEdE");
    menu.MoveClick(nullptr);
    menu.SizeClick(nullptr);
    menu.MinimizeClick(nullptr);
    EXPECT_EQ(sizeable.Commands, (std::vector<UINT>{SC_RESTORE, SC_MAXIMIZE, SC_MOVE, SC_SIZE, SC_MINIMIZE}));
}

TEST_F(DialogSysMenu, TheShownMenuMaximizesAndClosesTheDialogFromTheSkin) {
    TTestDialog dialog(SizeableStyle);
    ASSERT_TRUE(uitest::ActivateAndWait(dialog.Wnd, 2s));
    TDriven<TvlSystemMenu> menu(nullptr, dialog);
    uitest::TImage32 image;
    menu.Look = [&](int Step) {
        if (Step == 2)
            for (HWND w : MenuWindows()) image = uitest::CaptureWindow(w);
    };
    // Up from nothing reaches Close, once more Maximize over the divider.
    menu.Keys = {VK_UP, VK_UP, VK_RETURN};
    menu.ShowAt(130, 130, Manager.get());
    EXPECT_TRUE(IsZoomed(dialog.Wnd));
    EXPECT_FALSE(menu.ItemMove->Enabled());
    EXPECT_TRUE(menu.ItemRestore->Enabled());
    uitest::WritePng(vcl::WideToUtf8((Artifacts() / "skinned-dialog-system-menu.png").wstring()), image);
    ASSERT_GT(image.Width, 40);
    EXPECT_GT(CountColor(image, ItemFace), 100);
    EXPECT_GT(CountColor(image, MenuHotFace), 100);

    menu.Look = {};
    menu.Keys = {VK_UP, VK_RETURN};
    menu.ShowAt(130, 130, Manager.get());
    // The dialog turns the close command into Cancel on its queue.
    uitest::PumpUntil([&] { return !IsWindow(dialog.Wnd); }, 2s);
    EXPECT_FALSE(IsWindow(dialog.Wnd));
    EXPECT_EQ(dialog.Commands, (std::vector<UINT>{SC_MAXIMIZE, SC_CLOSE}));
}

TEST_F(DialogSysMenu, CountsStayFlatOverAHundredOpenings) {
    TTestDialog dialog(SizeableStyle);
    ASSERT_TRUE(uitest::ActivateAndWait(dialog.Wnd, 2s));
    TDriven<TvlSystemMenu> menu(nullptr, dialog);
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
