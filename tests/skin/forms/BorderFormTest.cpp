// The extended border form against an owner of the test's own: its window
// (layered, a tool window that takes no activation, owned by the owner's
// window, around it by the shadow margins), its region's hole over the
// owner's client area, its hit codes through its window and its HitTest,
// a real click one pixel into the outer shadow reaching the window below,
// the drag that a maximized owner's caption starts only after 6 pixels,
// mouse messages forwarded to the owner, and the handles of many borders.
// The picture of a border window goes to the artefacts.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "CaptionTestSupport.h"
#include "skin/forms/vlBorderForm.h"
#include "skin/forms/sFrameMetrics.h"
#include "skin/manager/sModuleState.h"
#include "vcl/HandleCounts.h"
#include "vcl/StdCtrls.h"

namespace skin {
namespace {

using namespace skin::test;

constexpr int Margin = 12;

// A plain form as the owner; its frame image is a flat face inside a
// dark outline, with a soft shadow in the margins.
class FakeOwner : public TvlBorderOwner {
public:
    explicit FakeOwner(TsSkinManager *Manager) : FManager(Manager) {
        Form.Form->SetBounds(300, 250, 320, 220);
        Form.Show();
    }
    HWND BorderOwnerWindow() const override { return Form.Form->WindowHandle(); }
    vcl::TCustomForm *BorderOwnerForm() const override { return Form.Form; }
    TsSkinManager *BorderSkinManager() const override { return FManager; }
    vcl::TRect BorderShadowMargins() const override { return {Margin, Margin, Margin, Margin}; }
    vcl::TPoint BorderOffset() const override { return {Margin, Margin}; }
    int BorderCaptionHeight() const override { return GetSysCaptionHeight(*Form.Form); }
    int BorderNativeBorderWidth() const override { return GetBorderWidth(BorderOwnerWindow()); }
    int BorderOwnerWidth() const override { return GetBorderWidth(BorderOwnerWindow()); }
    vcl::TRect BorderIconRect() const override { return {Margin + 6, Margin + 6, Margin + 22, Margin + 22}; }
    std::uint32_t BorderStateFlags() const override { return Flags; }
    vcl::TBitmap *BorderFrameImage() override {
        RECT r{};
        GetWindowRect(BorderOwnerWindow(), &r);
        const int w = r.right - r.left + 2 * Margin, h = r.bottom - r.top + 2 * Margin;
        Image.SetPixelFormat(vcl::pf32bit);
        Image.SetSize(w, h);
        const vcl::TBitmapView v = Image.View();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int dx = std::max({Margin - x, x - (w - 1 - Margin), 0});
                const int dy = std::max({Margin - y, y - (h - 1 - Margin), 0});
                const int out = std::max(dx, dy);
                // premultiplied: a shadow of black fading out, the frame opaque
                v.At(x, y) = out > 0 ? static_cast<std::uint32_t>(std::max(0, 90 - out * 7)) << 24
                             : (out == 0 && (dx || dy || x == Margin || y == Margin || x == w - 1 - Margin ||
                                             y == h - 1 - Margin))
                                 ? 0xFF2B4F80u
                                 : 0xFFF4F6F9u;
            }
        return &Image;
    }
    int BorderButtonCode(vcl::TPoint P) override {
        return P.X >= Close.Left && P.X < Close.Right && P.Y >= Close.Top && P.Y < Close.Bottom ? HTCLOSE : 0;
    }
    void SetBorderHotButton(int Code, bool) override { Hot.push_back(Code); }
    void BorderWindowFreed() override { ++WindowsFreed; }
    bool BorderBlendedMove() override { return Blends && ++BlendStarts; }
    vcl::TRect BorderClientRect() const override {
        POINT origin{0, 0};
        ClientToScreen(BorderOwnerWindow(), &origin);
        RECT window{}, client{};
        GetWindowRect(BorderOwnerWindow(), &window);
        GetClientRect(BorderOwnerWindow(), &client);
        const int left = origin.x - window.left + Margin, top = origin.y - window.top + Margin;
        return {left, top, left + client.right, top + client.bottom};
    }

    TestForm Form;
    vcl::TBitmap Image;
    vcl::TRect Close{Margin + 260, Margin + 4, Margin + 280, Margin + 20};
    std::vector<int> Hot;
    std::uint32_t Flags = 0;  // the owner's state
    int WindowsFreed = 0;
    bool Blends = false;  // the owner runs a blended move of its own
    int BlendStarts = 0;

private:
    TsSkinManager *FManager;
};

// Records (and keeps from the system) the mouse messages the owner gets.
struct OwnerInbox {
    explicit OwnerInbox(vcl::TControl *Control) : FControl(Control), FPrevious(Control->WindowProc) {
        Control->WindowProc = vcl::TWndMethod::Bind<&OwnerInbox::Handle>(this);
    }
    ~OwnerInbox() { FControl->WindowProc = FPrevious; }
    struct Entry {
        UINT Msg;
        int Code;
    };
    std::vector<Entry> Got;

private:
    void Handle(vcl::TMessage &M) {
        if (M.Msg >= WM_NCLBUTTONDOWN && M.Msg <= WM_NCMBUTTONDBLCLK) {
            Got.push_back({M.Msg, static_cast<int>(static_cast<INT_PTR>(M.WParam))});
            return;
        }
        FPrevious(M);
    }
    vcl::TControl *FControl;
    vcl::TWndMethod FPrevious;
};

struct BorderForm : FormsFixture {
    BorderForm() { SetCursorPos(5, 5); }
    FakeOwner Owner{Manager.get()};
    HWND OwnerWnd() const { return Owner.BorderOwnerWindow(); }
    // A point of the border window on the screen.
    static vcl::TPoint Screen(HWND Border, vcl::TPoint P) {
        RECT r{};
        GetWindowRect(Border, &r);
        return {r.left + P.X, r.top + P.Y};
    }
    static LPARAM At(vcl::TPoint S) { return MAKELPARAM(S.X, S.Y); }
};

TEST_F(BorderForm, ItsWindowLiesAroundTheOwnerWithAHoleOverTheClientArea) {
    TvlBorderForm border(Owner);
    border.UpdateBorder(true);
    const HWND w = border.Window();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(IsWindowVisible(w));
    const LONG_PTR ex = GetWindowLongPtrW(w, GWL_EXSTYLE);
    EXPECT_TRUE(ex & WS_EX_LAYERED);
    EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(ex & WS_EX_NOACTIVATE);
    EXPECT_EQ(reinterpret_cast<HWND>(GetWindowLongPtrW(w, GWLP_HWNDPARENT)), OwnerWnd());
    RECT b{}, o{};
    GetWindowRect(w, &b);
    GetWindowRect(OwnerWnd(), &o);
    EXPECT_EQ(b.left, o.left - Margin);
    EXPECT_EQ(b.top, o.top - Margin);
    EXPECT_EQ(b.right, o.right + Margin);
    EXPECT_EQ(b.bottom, o.bottom + Margin);

    const vcl::TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(w, region.Get()), ERROR);
    const vcl::TRect hole = Owner.BorderClientRect();
    EXPECT_FALSE(PtInRegion(region.Get(), (hole.Left + hole.Right) / 2, (hole.Top + hole.Bottom) / 2));
    EXPECT_FALSE(PtInRegion(region.Get(), hole.Left, hole.Top));
    EXPECT_TRUE(PtInRegion(region.Get(), hole.Left - 1, hole.Top));
    EXPECT_TRUE(PtInRegion(region.Get(), Margin + 40, Margin + 5)) << "the caption";
    EXPECT_TRUE(PtInRegion(region.Get(), 1, 1)) << "the shadow";

    // A move of the owner takes the border along.
    SetWindowPos(OwnerWnd(), nullptr, 340, 260, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    border.UpdateBorder(false);
    GetWindowRect(w, &b);
    EXPECT_EQ(b.left, 340 - Margin);
    EXPECT_EQ(b.top, 260 - Margin);
}

TEST_F(BorderForm, ItsWindowAnswersNineteenAndHitTestTellsTheRealCode) {
    TvlBorderForm border(Owner);
    border.UpdateBorder(true);
    const HWND w = border.Window();
    RECT b{};
    GetWindowRect(w, &b);
    const int W = b.right - b.left, H = b.bottom - b.top;
    const int zone = SizingZoneWidth(border.SkinValues());
    struct Case {
        vcl::TPoint P;
        int Code;
        const char *What;
    };
    const std::vector<Case> cases{
        {{Margin - zone, H / 2}, HTLEFT, "left zone's outer end"},
        {{W - Margin + zone, H / 2}, HTRIGHT, "right zone's outer end"},
        {{W / 2, Margin - zone}, HTTOP, "top"},
        {{W / 2, H - Margin + 2}, HTBOTTOM, "bottom"},
        {{Margin - 2, Margin - 2}, HTTOPLEFT, "corner"},
        {{Margin + 40, Margin + GetBorderWidth(OwnerWnd()) + 6}, HTCAPTION, "caption"},
        {{Margin + 10, Margin + 10}, HTSYSMENU, "icon"},
        {{Margin + 270, Margin + 10}, HTCLOSE, "the owner's button"},
    };
    for (const Case &c : cases) {
        const LPARAM at = At(Screen(w, c.P));
        EXPECT_EQ(SendMessageW(w, WM_NCHITTEST, 0, at), htBorderWindow) << c.What;
        EXPECT_EQ(border.HitTest({WM_NCHITTEST, 0, at, 0}), c.Code) << c.What;
    }
    // One pixel beyond the zone: the shadow, left to the system (no 19).
    EXPECT_NE(SendMessageW(w, WM_NCHITTEST, 0, At(Screen(w, {Margin - zone - 1, H / 2}))), htBorderWindow);
    EXPECT_TRUE(border.InOuterShadow({Margin - zone - 1, H / 2}));
    EXPECT_FALSE(border.InOuterShadow({Margin - zone, H / 2}));
    // A disabled owner: nothing applies.
    EnableWindow(OwnerWnd(), FALSE);
    EXPECT_EQ(border.HitTest({WM_NCHITTEST, 0, At(Screen(w, {Margin - zone, H / 2})), 0}), htAskBorderForm);
    EnableWindow(OwnerWnd(), TRUE);

    // Presses go to the owner: sizing with -1 (the owner asks), the caption as such.
    OwnerInbox inbox(Owner.Form.Form);
    SendMessageW(w, WM_NCLBUTTONDOWN, htBorderWindow, At(Screen(w, {Margin - 2, H / 2})));
    SendMessageW(w, WM_NCLBUTTONUP, htBorderWindow, At(Screen(w, {Margin - 2, H / 2})));
    SendMessageW(w, WM_NCRBUTTONDOWN, htBorderWindow, At(Screen(w, {Margin + 40, Margin + 8})));
    ASSERT_EQ(inbox.Got.size(), 3u);
    EXPECT_EQ(inbox.Got[0].Msg, static_cast<UINT>(WM_NCLBUTTONDOWN));
    EXPECT_EQ(inbox.Got[0].Code, htAskBorderForm);
    EXPECT_EQ(inbox.Got[1].Code, htAskBorderForm);
    EXPECT_EQ(inbox.Got[2].Code, HTCAPTION);
    // Over the owner's button the mouse makes it hot; elsewhere none is.
    Owner.Hot.clear();
    SendMessageW(w, WM_NCMOUSEMOVE, htBorderWindow, At(Screen(w, {Margin + 270, Margin + 10})));
    SendMessageW(w, WM_NCMOUSEMOVE, htBorderWindow, At(Screen(w, {Margin + 40, Margin + 10})));
    EXPECT_EQ(Owner.Hot, (std::vector<int>{HTCLOSE, 0}));
}

TEST_F(BorderForm, AClickOnePixelIntoTheShadowReachesTheWindowBelow) {
    // A window under the border's left shadow.
    TestForm below(vcl::clWhite);
    below.Form->SetBorderStyle(vcl::bsNone);
    below.Form->SetBounds(200, 300, 150, 100);
    below.Show();
    FormWatcher watcher(below.Form);
    SetWindowPos(OwnerWnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    TvlBorderForm border(Owner);
    border.UpdateBorder(true);
    const HWND w = border.Window();
    RECT b{};
    GetWindowRect(w, &b);
    const int zone = SizingZoneWidth(border.SkinValues());
    const vcl::TPoint shadow = Screen(w, {Margin - zone - 1, (b.bottom - b.top) / 2});
    ASSERT_EQ(WindowFromPoint({shadow.X, shadow.Y}), w) << "the border window lies over the window below";

    SetCursorPos(shadow.X, shadow.Y);
    INPUT move{};
    move.type = INPUT_MOUSE;
    move.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &move, sizeof move);
    Settle();
    EXPECT_TRUE(border.RegionDirty) << "the pixel under the mouse was cut out";
    EXPECT_EQ(WindowFromPoint({shadow.X, shadow.Y}), below.Form->WindowHandle());
    MouseButton(true);
    MouseButton(false);
    Settle();
    EXPECT_TRUE(watcher.Saw(WM_LBUTTONDOWN));
    EXPECT_TRUE(watcher.Saw(WM_LBUTTONUP));

    // The next test of a point on the border puts the whole region back.
    SendMessageW(w, WM_NCHITTEST, 0, At(Screen(w, {Margin - 2, (b.bottom - b.top) / 2})));
    EXPECT_FALSE(border.RegionDirty);
    const vcl::TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(w, region.Get()), ERROR);
    EXPECT_TRUE(PtInRegion(region.Get(), Margin - zone - 1, (b.bottom - b.top) / 2));
}

TEST_F(BorderForm, AMaximizedCaptionDragsOnlyAfterSixPixels) {
    Owner.Form.Form->SetWindowState(vcl::wsMaximized);
    ASSERT_TRUE(IsZoomed(OwnerWnd()));
    TvlBorderForm border(Owner);
    border.UpdateBorder(true);
    const HWND w = border.Window();
    // No sizing zones and no shadow on a maximized owner.
    EXPECT_FALSE(border.InOuterShadow({0, 0}));
    OwnerInbox inbox(Owner.Form.Form);
    RECT o{};
    GetWindowRect(OwnerWnd(), &o);
    const vcl::TPoint start{o.left + 200, o.top + GetBorderWidth(OwnerWnd()) + 8};
    ASSERT_EQ(border.HitTest({WM_NCHITTEST, 0, At(start), 0}), HTCAPTION);
    SetCursorPos(start.X, start.Y);
    SendMessageW(w, WM_NCLBUTTONDOWN, htBorderWindow, At(start));
    EXPECT_TRUE(border.CaptionDragPending);
    EXPECT_EQ(border.LastPoint, start);
    EXPECT_TRUE(inbox.Got.empty()) << "the press waits";

    SetCursorPos(start.X + 5, start.Y + 5);
    SendMessageW(w, WM_NCMOUSEMOVE, htBorderWindow, At({start.X + 5, start.Y + 5}));
    EXPECT_TRUE(IsZoomed(OwnerWnd())) << "5 pixels: still maximized";
    EXPECT_TRUE(border.CaptionDragPending);

    const vcl::TPoint moved{start.X + 6, start.Y + 2};
    SetCursorPos(moved.X, moved.Y);
    SendMessageW(w, WM_NCMOUSEMOVE, htBorderWindow, At(moved));
    EXPECT_FALSE(IsZoomed(OwnerWnd()));
    EXPECT_FALSE(border.CaptionDragPending);
    RECT r{};
    GetWindowRect(OwnerWnd(), &r);
    EXPECT_EQ(r.left, moved.X - Owner.Form.Form->Width() / 2) << "centred under the cursor";
    EXPECT_EQ(r.top, moved.Y >= 0 && moved.Y <= 24 ? -8 : moved.Y - 8);
    // The system's move of the owner begins at the cursor.
    ASSERT_EQ(inbox.Got.size(), 1u);
    EXPECT_EQ(inbox.Got[0].Msg, static_cast<UINT>(WM_NCLBUTTONDOWN));
    EXPECT_EQ(inbox.Got[0].Code, HTCAPTION);
    // The border follows the restored owner.
    RECT b{};
    GetWindowRect(w, &b);
    EXPECT_EQ(b.left, r.left - Margin);

    // A move over the border forgets the graphic control the mouse was over.
    vcl::TLabel *label = vcl::Create<vcl::TLabel>(Owner.Form.Form);
    label->SetParent(Owner.Form.Form);
    Manager->SetActiveGraphControl(label);
    SendMessageW(w, WM_NCMOUSEMOVE, htBorderWindow, At(moved));
    EXPECT_EQ(Manager->ActiveGraphControl, nullptr);

    // An owner that blends on moving moves itself: no system move is asked.
    Owner.Blends = true;
    Owner.Form.Form->SetWindowState(vcl::wsMaximized);
    border.UpdateBorder(true);
    SetCursorPos(start.X, start.Y);
    SendMessageW(w, WM_NCLBUTTONDOWN, htBorderWindow, At(start));
    SetCursorPos(moved.X, moved.Y);
    SendMessageW(w, WM_NCMOUSEMOVE, htBorderWindow, At(moved));
    EXPECT_FALSE(IsZoomed(OwnerWnd()));
    EXPECT_EQ(Owner.BlendStarts, 1);
    EXPECT_EQ(inbox.Got.size(), 1u);
}

// While an animation shows the whole image (here a blended move), the
// client area is in it as the window shows it, and what lies above the work
// area's top is cut off, as the border window is moved.
TEST_F(BorderForm, AWholeImageHoldsTheClientAreaAndIsClippedAtTheWorkAreasTop) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(OwnerWnd(), MONITOR_DEFAULTTONEAREST), &monitor);
    const int workTop = monitor.rcWork.top;
    Owner.Form.Form->SetColor(vcl::clLime);
    Settle();
    Owner.Flags = 0x80;
    TvlBorderForm border(Owner);
    border.UpdateBorder(true);
    const HWND w = border.Window();
    const vcl::TRect client = Owner.BorderClientRect();
    const std::uint32_t middle = Owner.Image.View().At((client.Left + client.Right) / 2, (client.Top + client.Bottom) / 2);
    EXPECT_EQ(middle, 0xFF00FF00u) << std::hex << middle;
    const auto inRegion = [&](int X, int Y) {
        const vcl::TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
        return GetWindowRgn(w, region.Get()) != ERROR && PtInRegion(region.Get(), X, Y);
    };
    EXPECT_FALSE(border.ClippedAtWorkArea);
    EXPECT_TRUE(inRegion(Margin + 60, Margin + 60)) << "the client area too";
    struct Step {
        int Top;  // of the border window
        bool Clipped;
    };
    for (const Step s : {Step{workTop - 17, true}, Step{workTop - 1, true}, Step{workTop + 40, false}}) {
        SetWindowPos(w, nullptr, 300, s.Top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        EXPECT_EQ(border.ClippedAtWorkArea, s.Clipped) << s.Top;
        const int cut = std::max(0, workTop - s.Top);
        if (cut > 0) EXPECT_FALSE(inRegion(Margin + 60, cut - 1)) << s.Top;
        EXPECT_TRUE(inRegion(Margin + 60, cut)) << s.Top;
    }
}

// An animation that shows a hidden owner (here its hide animation) shows
// its border; the owner stays hidden.
TEST_F(BorderForm, AnAnimationShowsTheBorderOfAHiddenOwner) {
    ShowWindow(OwnerWnd(), SW_HIDE);
    Owner.Flags = 0x200;
    TvlBorderForm border(Owner);
    border.UpdateBorder(false);
    ASSERT_NE(border.Window(), nullptr);
    EXPECT_TRUE(IsWindowVisible(border.Window()));
    EXPECT_FALSE(GetWindowLongPtrW(OwnerWnd(), GWL_STYLE) & WS_VISIBLE);
    RECT b{}, o{};
    GetWindowRect(border.Window(), &b);
    GetWindowRect(OwnerWnd(), &o);
    EXPECT_EQ(b.left, o.left - Margin);
    EXPECT_EQ(b.right, o.right + Margin);
}

// While a form's show or hide animation plays its own picture, the border
// is left where it is.
TEST_F(BorderForm, AFormAnimationHoldsTheBorderWhereItIs) {
    TvlBorderForm border(Owner);
    border.UpdateBorder(true);
    const HWND w = border.Window();
    ASSERT_NE(w, nullptr);
    SetWindowPos(OwnerWnd(), nullptr, 360, 280, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ModuleState().FormAnimationActive = true;
    border.UpdateBorder(true);
    ModuleState().FormAnimationActive = false;
    RECT b{};
    GetWindowRect(w, &b);
    EXPECT_EQ(b.left, 300 - Margin) << "held while the animation plays";
    border.UpdateBorder(false);
    GetWindowRect(w, &b);
    EXPECT_EQ(b.left, 360 - Margin);
}

TEST_F(BorderForm, ManyBordersLeaveNoHandleBehindAndOneGoesWithAHiddenOwner) {
    { TvlBorderForm warm(Owner); warm.UpdateBorder(true); }
    const vcl::THandleCounts before = vcl::LiveHandles();
    for (int i = 0; i < 30; ++i) {
        TvlBorderForm border(Owner);
        border.UpdateBorder(true);
        border.UpdateBorder(false);
    }
    EXPECT_EQ(vcl::LiveHandles(), before);

    TvlBorderForm border(Owner);
    border.UpdateBorder(true);
    ASSERT_NE(border.Window(), nullptr);
    // What the X server shows of the layered window: its image over black
    // (Xvfb does not blend), with the owner's client area showing through.
    Settle();
    const uitest::TImage32 image = uitest::CaptureXWindow(border.Window());
    if (image.Width > 0) {
        EXPECT_EQ(image.At(Margin + 40, Margin + 5) & 0xFFFFFF, 0xF4F6F9u) << "the frame image";
        EXPECT_LT(image.At(2, 2) & 0xFF, 0x20u) << "the shadow, over black";
    }
    const std::filesystem::path folder = HostPath(ZUVO_ARTIFACTS_FOLDER);
    std::filesystem::create_directories(folder);
    if (image.Width > 0) uitest::WritePng((folder / "forms-border-form.png").string(), image);
    Owner.Form.Form->Hide();
    border.UpdateBorder(true);
    EXPECT_EQ(border.Window(), nullptr) << "hidden without animation: the border window goes";
    EXPECT_EQ(Owner.WindowsFreed, 1) << "and the owner's image with it";
}

} // namespace
} // namespace skin
