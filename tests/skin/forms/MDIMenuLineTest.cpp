// A maximized MDI child in its parent's skinned menu line, with the real
// mouse: the child's menu merged into the line, its three buttons at the
// right end of the line's last row (drawn from the skin's small glyphs),
// hot and pressed under the mouse (the restore glyph on the restore
// button), each click reaching the child once, the parent's own line back
// once the child is restored or closed, and a minimize that is off.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <vector>

#include "CaptionTestSupport.h"
#include "MDITestApp.h"
#include "skin/forms/sFrameMetrics.h"

namespace skin::test {
namespace {

// The MDI skin's master with the small title glyphs right of it: close,
// maximize, minimize and restore in rows of three flat states
// (CaptionTestSupport's colours).
TestSkin SmallGlyphsSkin() {
    TestSkin skin = MDITestSkin();
    skin.Options.insert(skin.Options.find("[FORM]"), "SICONCLOSE=@0041,0000,0086,0015,3,0\r\n"
                                                     "SICONMAX=@0041,0015,0086,0030,3,0\r\n"
                                                     "SICONMIN=@0041,0030,0086,0045,3,0\r\n"
                                                     "SICONNORM=@0041,0045,0086,0060,3,0\r\n");
    skin.Files[0].Data = Bmp24(86, 61, [](int x, int y) -> vcl::TColor {
        if (x < 41) return x == 0 && y == 10 ? Fuchsia : MasterRed;
        const StateColors *row[] = {&CloseColors, &MaxColors, &MinColors, &NormColors};
        return y < 60 ? (*row[y / 15])[(x - 41) / 15] : 0x909090;
    });
    return skin;
}

// The WM_SYSCOMMAND commands that reach a form, on top of its provider.
struct CommandCounter {
    void Attach(vcl::TControl *Control) {
        Previous = Control->WindowProc;
        Control->WindowProc = vcl::TWndMethod::Bind<&CommandCounter::Handle>(this);
    }
    void Handle(vcl::TMessage &M) {
        if (M.Msg == WM_SYSCOMMAND) ++Seen[M.WParam & 0xFFF0];
        Previous(M);
    }
    vcl::TWndMethod Previous;
    std::map<WPARAM, int> Seen;
};

// An icon of one colour, every pixel shown (a mask of zeros).
HICON OneColourIcon(vcl::TColor Colour) {
    const std::uint32_t rgb = vcl::ColorToRGB(Colour);
    const std::vector<std::uint32_t> pixels(16 * 16, (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16);
    const std::vector<std::uint16_t> zeros(16, 0);
    const vcl::TBitmapHandle colour(CreateBitmap(16, 16, 1, 32, pixels.data()));
    const vcl::TBitmapHandle mask(CreateBitmap(16, 16, 1, 1, zeros.data()));
    ICONINFO info{TRUE, 0, 0, mask.Get(), colour.Get()};
    return CreateIconIndirect(&info);
}

vcl::TPoint Centre(const vcl::TRect &R) { return {(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}; }

struct MDIMenuLine : MDIFixture {
    MDIMenuLine() {
        Manager = nullptr;
        Manager = NewManager();
        AddStoredSkin(*Manager, "MDI", SmallGlyphsSkin().Packed());
        Manager->SetSkinName("MDI");
        Manager->Effects()->AllowAnimation = false;
    }
    static void Click(HWND Window, vcl::TPoint At) {
        MouseTo(Window, At);
        Settle();
        MouseButton(true);
        MouseButton(false);
        Settle();
    }
};

// The captions of a bar's items that the class library knows, in its order.
std::vector<std::string> BarCaptions(HWND Window) {
    std::vector<std::string> captions;
    const HMENU bar = GetMenu(Window);
    for (int i = 0; i < GetMenuItemCount(bar); ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_DATA;
        GetMenuItemInfoW(bar, static_cast<UINT>(i), TRUE, &info);
        if (const vcl::TMenuItem *item = vcl::TMenuItem::FindCommand(static_cast<UINT>(info.dwItemData)))
            captions.push_back(item->Caption());
    }
    return captions;
}

TEST_F(MDIMenuLine, AMaximizedChildsButtonsStandInTheParentsLineAndSendItsCommands) {
    CommandCounter commands;  // outlives the application
    TMDITestApp app;
    commands.Attach(app.Child(1));
    TsSkinProvider &parent = *app.ParentProvider;
    const HWND pw = app.ParentWindow();
    const auto shown = [&] {
        return uitest::PumpUntil([&] { return parent.MDIButtonsShown(); }, 3s) &&
               uitest::PumpUntil([&] { return !parent.MDIClose.Rect.IsEmpty(); }, 3s);
    };
    const auto maximize = [&] {
        app.Command(1, SC_MAXIMIZE);
        ASSERT_TRUE(shown());
    };

    // The child maximized by its own button.
    TsSkinProvider &child = *app.ChildProvider(1);
    const HWND childWindow = app.ChildWindow(1);
    Click(app.ChildWindow(1), Centre(child.ButtonMax.Rect));
    ASSERT_TRUE(uitest::PumpUntil([&] { return IsZoomed(app.ChildWindow(1)) != 0; }, 3s));
    ASSERT_TRUE(shown());
    EXPECT_EQ(BarCaptions(pw), (std::vector<std::string>{"&File", "&Edit", "&Window", "&Help"}));
    EXPECT_EQ(app.ChildMenu->Items()->Items(0)->Caption(), "&File");

    // The three at the right end of the line's last row, right to left.
    const vcl::TRect &close = parent.MDIClose.Rect, &restore = parent.MDINorm.Rect, &minimize = parent.MDIMin.Rect;
    EXPECT_EQ(close.Right, parent.CacheWidth() - GetBorderWidth(pw, nullptr, true) - 1);
    EXPECT_EQ(restore.Right, close.Left - 1);
    EXPECT_EQ(minimize.Right, restore.Left - 1);
    EXPECT_EQ(close.Height(), GlyphSize);
    const int lastRow = parent.MenuLineTop() + (parent.GetMenuLineCount() - 1) * parent.GetMenuLineHeight();
    EXPECT_EQ(close.Top, lastRow + (parent.GetMenuLineHeight() - GlyphSize) / 2);
    EXPECT_EQ(ScreenPixel(pw, Centre(close)), CloseColors.Normal);
    EXPECT_EQ(ScreenPixel(pw, Centre(restore)), NormColors.Normal);  // the child is maximized: restore
    EXPECT_EQ(ScreenPixel(pw, Centre(minimize)), MinColors.Normal);
    {
        const uitest::TImage32 picture = uitest::CaptureWindow(pw);
        const std::filesystem::path folder = HostPath(ZUVO_ARTIFACTS_FOLDER);
        std::filesystem::create_directories(folder);
        uitest::WritePng((folder / "forms-mdi-maximized-child.png").string(), picture);
    }

    // Each button: hot under the mouse, pressed, and its command once.
    struct Case {
        TsCaptionButton *Button;
        StateColors Colors;
        WPARAM Command;
    };
    for (const Case &c : {Case{&parent.MDIMin, MinColors, SC_MINIMIZE}, Case{&parent.MDINorm, NormColors, SC_RESTORE},
                          Case{&parent.MDIClose, CloseColors, SC_CLOSE}}) {
        SCOPED_TRACE(static_cast<int>(c.Command));
        if (c.Command != SC_MINIMIZE) maximize();
        const vcl::TRect where = c.Button->Rect;
        const vcl::TPoint at = Centre(where);
        MouseTo(pw, at);
        EXPECT_TRUE(uitest::PumpUntil([&] { return ScreenPixel(pw, at) == c.Colors.Hot; }, 2s));
        MouseButton(true);
        EXPECT_TRUE(uitest::PumpUntil([&] { return ScreenPixel(pw, at) == c.Colors.Pressed; }, 2s));
        const int before = commands.Seen[c.Command];
        MouseButton(false);
        Settle();
        EXPECT_EQ(commands.Seen[c.Command], before + 1);
        // The parent's own line where the button was.
        EXPECT_TRUE(uitest::PumpUntil([&] { return !parent.MDIButtonsShown(); }, 2s));
        EXPECT_TRUE(uitest::PumpUntil([&] { return ScreenPixel(pw, at) == MDILineColor; }, 2s))
            << std::hex << ScreenPixel(pw, at);
        MouseTo(pw, {at.X, at.Y + 200});
        if (c.Command == SC_MINIMIZE) app.Command(1, SC_RESTORE);
    }
    EXPECT_TRUE(uitest::PumpUntil([&] { return !IsWindow(childWindow); }, 2s)) << "closed";
}

// While this form may not minimize, the frame shows the child's minimize
// button off; repainted on its own the button is not shown at all.
TEST_F(MDIMenuLine, AMinimizeThatIsOffShowsOffWithTheFrameAndNotAlone) {
    TMDITestApp app({.Show = false});
    app.Parent->SetBorderIcons({vcl::biSystemMenu, vcl::biMaximize});
    app.Parent->Show();
    ASSERT_TRUE(uitest::ActivateAndWait(app.Parent->Handle(), 3s));
    app.AddChild("Dokument 1", false);
    TMDITestApp::Pump();
    TsSkinProvider &parent = *app.ParentProvider;
    const HWND pw = app.ParentWindow();
    app.Command(0, SC_MAXIMIZE);
    ASSERT_TRUE(uitest::PumpUntil([&] { return parent.MDIButtonsShown() && !parent.MDIMin.Rect.IsEmpty(); }, 3s));
    const vcl::TPoint at = Centre(parent.MDIMin.Rect);
    EXPECT_TRUE(uitest::PumpUntil([&] { return ScreenPixel(pw, at) != MDILineColor; }, 2s));
    EXPECT_NE(ScreenPixel(pw, at), MinColors.Normal);
    parent.PaintButtonState(htMDIMinimize);
    EXPECT_EQ(ScreenPixel(pw, at), MDILineColor);
}

// The line keeps the icon as it came out while nothing changes: a repaint
// after the child got another icon shows that one, and the first again; a
// child without one shows the application's.
TEST_F(MDIMenuLine, TheLineShowsTheIconTheMaximizedChildHasNow) {
    TMDITestApp app;
    TsSkinProvider &parent = *app.ParentProvider;
    const HWND pw = app.ParentWindow();
    app.Command(1, SC_MAXIMIZE);
    ASSERT_TRUE(uitest::PumpUntil([&] { return parent.MDIButtonsShown(); }, 3s));
    // The middle of the icon's square at the start of the line.
    const int side = parent.GetMenuLineHeight() - 2;
    const vcl::TPoint at{GetBorderWidth(pw, nullptr, true) + 1 + side / 2, parent.MenuLineTop() + 1 + side / 2};
    for (const vcl::TColor colour : {vcl::TColor(0x2040C0), vcl::TColor(0xC08020), vcl::TColor(0x2040C0)}) {
        app.Child(1)->Icon()->SetHandle(OneColourIcon(colour));
        parent.InvalidateFrame();
        EXPECT_TRUE(uitest::PumpUntil([&] { return ScreenPixel(pw, at) == colour; }, 2s))
            << std::hex << colour << " shows " << ScreenPixel(pw, at);
    }
    // A child without one shows the application's.
    constexpr vcl::TColor application = 0x30A050;
    const HICON icon = OneColourIcon(application);
    const HWND applicationWindow = vcl::Application->Handle();
    const auto before = SendMessageW(applicationWindow, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    app.Child(1)->Icon()->SetHandle(nullptr);
    parent.InvalidateFrame();
    EXPECT_TRUE(uitest::PumpUntil([&] { return ScreenPixel(pw, at) == application; }, 2s))
        << "shows " << std::hex << ScreenPixel(pw, at);
    SendMessageW(applicationWindow, WM_SETICON, ICON_SMALL, before);
    DestroyIcon(icon);
}

// A refresh of the skin, and its removal, build the bar anew: its items
// are measured and drawn again with what the skin now gives them, or
// without it.
struct MenuChanges {
    static inline HWND Watched = nullptr;
    static inline int Count = 0;
    static LRESULT CALLBACK Hook(int Code, WPARAM W, LPARAM L) {
        const auto *m = reinterpret_cast<const CWPSTRUCT *>(L);
        if (Code == HC_ACTION && m->hwnd == Watched && m->message == vcl::CM_MENUCHANGED) ++Count;
        return CallNextHookEx(nullptr, Code, W, L);
    }
};

TEST_F(MDIMenuLine, ASkinRefreshOrRemovalBuildsTheMenuBarAnew) {
    for (const int command : {SC_SKIN_REFRESH, SC_SKIN_REMOVED}) {
        TMDITestApp app;
        MenuChanges::Watched = app.ParentWindow();
        MenuChanges::Count = 0;
        const HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, &MenuChanges::Hook, nullptr, GetCurrentThreadId());
        SendMessageW(app.ParentWindow(), SM_SKINCOMMAND, SkinCommand(command), reinterpret_cast<LPARAM>(Manager.get()));
        UnhookWindowsHookEx(hook);
        EXPECT_GE(MenuChanges::Count, 1) << "command " << command;
    }
}

TEST_F(MDIMenuLine, AChildsCaptionButtonsKeepItsSystemMenuOffAndItsMaximizeButtonLetsGoOfIt) {
    TMDITestApp app;
    const HWND child = app.ChildWindow(1);
    TsSkinProvider &provider = *app.ChildProvider(1);
    const auto screen = [&](const vcl::TRect &R) {
        RECT w{};
        GetWindowRect(child, &w);
        return MAKELPARAM(w.left + (R.Left + R.Right) / 2, w.top + (R.Top + R.Bottom) / 2);
    };
    SetWindowLongPtrW(child, GWL_STYLE, GetWindowLongPtrW(child, GWL_STYLE) | WS_SYSMENU);
    EXPECT_EQ(SendMessageW(child, WM_NCHITTEST, 0, screen(provider.ButtonClose.Rect)), HTCLOSE);
    EXPECT_FALSE(GetWindowLongPtrW(child, GWL_STYLE) & WS_SYSMENU);

    ASSERT_EQ(FormsState().MDIChildActivator, &provider);
    const LPARAM at = screen(provider.ButtonMax.Rect);
    SendMessageW(child, WM_NCLBUTTONDOWN, HTMAXBUTTON, at);
    SendMessageW(child, WM_NCLBUTTONUP, HTMAXBUTTON, at);
    TMDITestApp::Pump();
    ASSERT_TRUE(IsZoomed(child));
    EXPECT_EQ(FormsState().MDIChildActivator, &provider) << "maximized: the one activated last again";
    SendMessageW(child, WM_NCLBUTTONDOWN, HTMAXBUTTON, at);
    SendMessageW(child, WM_NCLBUTTONUP, HTMAXBUTTON, at);
    TMDITestApp::Pump();
    EXPECT_FALSE(IsZoomed(child));
    EXPECT_EQ(FormsState().MDIChildActivator, nullptr);
}

} // namespace
} // namespace skin::test
