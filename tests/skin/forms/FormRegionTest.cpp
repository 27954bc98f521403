// The window region and non-client output of a skinned form: the region
// from the frame masks' key-colour runs (the window below shows through a
// cut corner), maximized, resized and self-shaping forms, a system command
// that holds the region back, the frame strips of a frameless sizeable form
// on screen, the caption cover, the system-menu style, leaving the frame to
// the system; handle counts over many region updates and covers.
#include <gtest/gtest.h>

#include "FrameOutputTestSupport.h"
#include "skin/forms/sFrameMetrics.h"
#include "vcl/HandleCounts.h"
#include "vcl/Menus.h"
#include "vcl/Panels.h"

namespace skin {
namespace {

using namespace skin::test;

using FormRegion = FrameFixture;

vcl::TRect ScreenRect(HWND Window) {
    RECT r{};
    GetWindowRect(Window, &r);
    return {r.left, r.top, r.right, r.bottom};
}

HWND WindowAt(int X, int Y) { return WindowFromPoint(POINT{X, Y}); }

// A maximized sizeable form's region: its rectangle less the native frame.
vcl::TRegionHandle InsideFrame(int W, int H) {
    const int b = GetSystemMetrics(SM_CXSIZEFRAME);
    return vcl::TRegionHandle(CreateRectRgn(b, b, W - b, H - b));
}

TEST_F(FormRegion, BuildsTheCacheRectangleLessTheMasksAtAnOffset) {
    P->FrameMasks = {{0, 0, 5, 2}, {390, 298, 400, 300}};
    const vcl::TRegionHandle built(P->BuildFrameRegion(7, 11));
    EXPECT_TRUE(SameRegion(built, ExpectedRegion(P->FrameMasks, 400, 300, 7, 11)));
    EXPECT_FALSE(PtInRegion(built.Get(), 7, 11));
    EXPECT_TRUE(PtInRegion(built.Get(), 12, 11));
}

TEST_F(FormRegion, TheFirstOutputCutsTheCornersAndTheWindowBelowShowsThrough) {
    TestForm below;
    below.Form->SetBounds(50, 50, 500, 400);
    below.Show();
    ShowFilled();
    EXPECT_EQ(P->FrameMasks, FrameSkinMasks(400, 300));
    EXPECT_TRUE(SameRegion(WindowRegion(W()), ExpectedRegion(FrameSkinMasks(400, 300), 400, 300)));

    const vcl::TRect r = ScreenRect(W());
    const HWND lower = below.Form->Handle();
    for (const auto &[x, y] : {std::pair{r.Left, r.Top}, std::pair{r.Left + 2, r.Top}, std::pair{r.Right - 1, r.Top},
                               std::pair{r.Left, r.Bottom - 1}, std::pair{r.Right - 1, r.Bottom - 1},
                               std::pair{r.Left + 3, r.Top + 1}})  // the last: the title mask's run
        EXPECT_EQ(WindowAt(x, y), lower) << x - r.Left << "," << y - r.Top;
    EXPECT_EQ(WindowAt(r.Left + 3, r.Top), W());
    EXPECT_EQ(WindowAt(r.Right - 1, r.Bottom - 4), W());
}

TEST_F(FormRegion, MaximizedFormsLoseTheirNativeFrameAndResizedOnesKeepTheirCorners) {
    ShowFilled();
    ShowWindow(W(), SW_MAXIMIZE);
    ASSERT_GT(F()->Width(), 400);
    EXPECT_TRUE(SameRegion(WindowRegion(W()), InsideFrame(F()->Width(), F()->Height())));

    FillCache(*P);  // the renderer's next frame, at the maximized size
    ShowWindow(W(), SW_RESTORE);
    EXPECT_TRUE(SameRegion(WindowRegion(W()), ExpectedRegion(FrameSkinMasks(400, 300), 400, 300)));
    F()->SetBounds(120, 110, 330, 240);
    EXPECT_TRUE(SameRegion(WindowRegion(W()), ExpectedRegion(FrameSkinMasks(330, 240), 330, 240)));

    // A form with a maximum size keeps the masked region when maximized.
    F()->Constraints()->MaxWidth = 2000;
    FillCache(*P);
    ShowWindow(W(), SW_MAXIMIZE);
    const int w = F()->Width(), h = F()->Height();
    EXPECT_TRUE(SameRegion(WindowRegion(W()), ExpectedRegion(FrameSkinMasks(w, h), w, h)));
}

TEST_F(FormRegion, ASystemCommandHoldsTheRegionBackUnlessTheSizeChanges) {
    ShowFilled();
    SetWindowRgn(W(), nullptr, FALSE);
    P->InSizeMove = true;
    P->UpdateFormRegion(true, true);
    EXPECT_FALSE(WindowRegion(W()));
    EXPECT_TRUE(P->RegionChanged);  // still asked for
    P->InSizeMove = false;
    SendMessageW(W(), WM_EXITSIZEMOVE, 0, 0);
    EXPECT_TRUE(SameRegion(WindowRegion(W()), ExpectedRegion(FrameSkinMasks(400, 300), 400, 300)));

    P->InSizeMove = true;
    ShowWindow(W(), SW_MAXIMIZE);
    EXPECT_TRUE(SameRegion(WindowRegion(W()), InsideFrame(F()->Width(), F()->Height())));
    P->InSizeMove = false;
}

TEST_F(FormRegion, AFormThatShapesItselfGetsNoRegionUntilAFrameWasRendered) {
    struct ShapesItself {  // answers the probe before the provider sees it
        vcl::TWndMethod Next;
        void Handle(vcl::TMessage &M) {
            if (M.Msg == 0xBC4D && M.WParam == 0x41A2)
                M.Result = 0x41A2;
            else
                Next(M);
        }
    } shapes{F()->WindowProc};
    F()->WindowProc = vcl::TWndMethod::Bind<&ShapesItself::Handle>(&shapes);
    ShowFilled();
    SetWindowRgn(W(), nullptr, FALSE);
    P->FrameRendered = false;
    P->UpdateFormRegion(true, true);
    EXPECT_FALSE(WindowRegion(W()));
    P->FrameRendered = true;
    P->UpdateFormRegion(true, true);
    EXPECT_TRUE(WindowRegion(W()));
    F()->WindowProc = shapes.Next;
}

TEST_F(FormRegion, AFramelessSizeableFormShowsTheCacheInItsEdges) {
    F()->SetBorderStyle(vcl::bsNone);
    F()->HandleNeeded();
    SetWindowLongPtrW(W(), GWL_STYLE, GetWindowLongPtrW(W(), GWL_STYLE) | WS_THICKFRAME);
    SetWindowPos(W(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    ShowFilled();
    // The strips reach a little into the client area.
    const int depth = GetSystemMetrics(SM_CXSIZEFRAME) + 3;
    ASSERT_LT(P->GetClientOffsetX(), depth);
    for (const auto &[x, y] : {std::pair{3, 0}, std::pair{200, 1}, std::pair{396, 299}, std::pair{1, 150},
                               std::pair{398, 150}, std::pair{depth - 1, depth - 1}})
        EXPECT_EQ(ScreenPixel(W(), x, y), PatternAt(x, y)) << x << "," << y;
}

TEST_F(FormRegion, TheCaptionCoverLiesOverTheFrameOnlyAndOnlyWhileTheFormIsSeen) {
    ShowFilled();
    P->ShowCaptionCover();
    ASSERT_TRUE(P->CaptionCover);
    const HWND cover = P->CaptionCover->WindowHandle();
    const auto covered = [&] { return P->CaptionCover && IsWindowVisible(P->CaptionCover->WindowHandle()); };
    const vcl::TRect r = ScreenRect(W());
    EXPECT_TRUE(IsWindowVisible(cover));
    EXPECT_EQ(ScreenRect(cover), r);
    EXPECT_EQ(WindowAt(r.Left + 100, r.Top + 5), cover);  // the caption
    EXPECT_EQ(WindowAt(r.Left + 1, r.Top + 100), cover);  // the left edge
    EXPECT_EQ(WindowAt(r.Left + 100, r.Top + 100), W());   // the client area
    P->HideCaptionCover();
    EXPECT_FALSE(P->CaptionCover);
    EXPECT_FALSE(IsWindow(cover));
    EXPECT_EQ(WindowAt(r.Left + 100, r.Top + 5), W());

    // A window over the form (a box it shows) stays over the cover; a
    // topmost form's cover is topmost, a cover of a form that is not is not.
    SetForegroundWindow(W());
    for (const bool topmost : {false, true}) {
        const UINT keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
        if (topmost) SetWindowPos(W(), HWND_TOPMOST, 0, 0, 0, 0, keep);
        TestForm over;
        over.Form->SetBounds(r.Left + 50, r.Top - 20, 100, 100);
        over.Show();
        if (topmost) SetWindowPos(over.Form->Handle(), HWND_TOPMOST, 0, 0, 0, 0, keep);
        P->ShowCaptionCover();
        ASSERT_TRUE(P->CaptionCover);
        const HWND now = P->CaptionCover->WindowHandle();
        EXPECT_EQ(WindowAt(r.Left + 60, r.Top + 5), over.Form->Handle()) << topmost;
        EXPECT_EQ(WindowAt(r.Left + 200, r.Top + 5), now) << topmost;
        EXPECT_EQ((GetWindowLongPtrW(now, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, topmost);
        P->HideCaptionCover();
    }

    P->StateFlags |= pfBlendOnMoving;
    P->ShowCaptionCover();
    EXPECT_FALSE(covered());
    P->StateFlags &= ~pfBlendOnMoving;
    ShowWindow(W(), SW_MINIMIZE);
    P->ShowCaptionCover();
    EXPECT_FALSE(covered());
    ShowWindow(W(), SW_RESTORE);
    F()->Hide();
    P->ShowCaptionCover();
    EXPECT_FALSE(covered());
}

// A form inside another form's window gets its new text from the system
// too: the cover lies over the form where the screen shows it, also when a
// sibling window lies above the form.
TEST_F(FormRegion, TheCaptionCoverOfAFormInsideAnotherLiesOverItWhileTheSystemWritesItsText) {
    std::unique_ptr<FormWatcher> watcher;  // goes after the host, which takes the form along
    TestForm host;
    host.Form->SetBounds(60, 60, 640, 480);
    auto *inner = vcl::Create<vcl::TForm>(host.Form, vcl::CreateNew);
    inner->SetParent(host.Form);
    inner->SetBounds(30, 20, 400, 300);
    watcher = std::make_unique<FormWatcher>(inner);  // the provider's saved procedure
    auto *p = vcl::Create<TsSkinProvider>(inner);
    // A form inside another is a bare child window: this one keeps a caption.
    const HWND window = inner->Handle();
    SetWindowLongPtrW(window, GWL_STYLE, GetWindowLongPtrW(window, GWL_STYLE) | WS_CAPTION | WS_THICKFRAME);
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    inner->Show();
    auto *sibling = host.Add(vcl::Create<vcl::TPanel>(host.Form), 500, 10);
    host.Show();
    SetWindowPos(sibling->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_TRUE(GetWindow(window, GW_HWNDPREV)) << "a sibling above it";
    RECT covered{}, form{};
    HWND under = nullptr, cover = nullptr;
    watcher->Before = [&](const vcl::TMessage &M) {
        if (M.Msg != WM_SETTEXT || !p->CaptionCover || !IsWindowVisible(p->CaptionCover->WindowHandle())) return;
        cover = p->CaptionCover->WindowHandle();
        GetWindowRect(cover, &covered);
        GetWindowRect(window, &form);
        under = WindowAt((form.left + form.right) / 2, form.top + p->GetClientOffsetY() / 2);
    };
    inner->SetCaption("Nový text");
    watcher->Before = nullptr;
    ASSERT_TRUE(under) << "no cover while the system wrote the text";
    EXPECT_TRUE(EqualRect(&covered, &form));
    EXPECT_EQ(under, cover);
    EXPECT_FALSE(p->CaptionCover);
    EXPECT_FALSE(IsWindow(cover));
}

TEST_F(FormRegion, RegionUpdatesAndCoversLeaveTheHandleCountsFlat) {
    ShowFilled();
    const auto cycle = [&](int i) {
        P->RegionChanged = true;
        P->CollectFrameMasks();
        P->UpdateFormRegion(i % 2 == 0, i % 3 == 0);
        P->ShowCaptionCover();
        P->HideCaptionCover();
    };
    // The first cycle may leave what lives on (the cover's window class, a
    // canvas's DC that idle time gives back).
    cycle(0);
    const vcl::THandleCounts before = vcl::LiveHandles();
    for (int i = 0; i < 100; ++i) cycle(i);
    vcl::Application->ProcessMessages();
    EXPECT_EQ(vcl::LiveHandles(), before);
    EXPECT_TRUE(SameRegion(WindowRegion(W()), ExpectedRegion(FrameSkinMasks(400, 300), 400, 300)));
}

TEST_F(FormRegion, TheSystemMenuStyleFollowsWhoDrawsTheFrame) {
    F()->HandleNeeded();
    const auto sysMenu = [&] { return (GetWindowLongPtrW(W(), GWL_STYLE) & WS_SYSMENU) != 0; };
    EXPECT_FALSE(sysMenu());
    P->SetSysMenuStyle(false);  // the skin goes: the form's own menu is back
    EXPECT_TRUE(sysMenu());
    P->SetSysMenuStyle(true);
    F()->SetBorderIcons({});  // a form without a system menu never gets one
    P->SetSysMenuStyle(false);
    EXPECT_FALSE(sysMenu());
}

TEST_F(FormRegion, LeavingTheFrameToTheSystemGivesBackItsMenuAndRegion) {
    ShowFilled();
    P->SetDrawNonClientArea(false);
    EXPECT_TRUE(GetWindowLongPtrW(W(), GWL_STYLE) & WS_SYSMENU);
    EXPECT_FALSE(WindowRegion(W()));
    Watcher.Seen.clear();
    SendMessageW(W(), WM_NCPAINT, 1, 0);
    EXPECT_TRUE(Watcher.Saw(WM_NCPAINT));  // the system paints its own frame

    P->SetDrawNonClientArea(true);
    EXPECT_FALSE(GetWindowLongPtrW(W(), GWL_STYLE) & WS_SYSMENU);
    FillCache(*P);
    Watcher.Seen.clear();
    SendMessageW(W(), WM_NCPAINT, 1, 0);
    EXPECT_FALSE(Watcher.Saw(WM_NCPAINT));
    EXPECT_TRUE(SameRegion(WindowRegion(W()), ExpectedRegion(FrameSkinMasks(400, 300), 400, 300)));
}

// With a border form the window keeps what lies inside its native frame,
// from the scale level 1 on one row more above, which its own output then
// takes from the frame image too.
TEST_F(FormRegion, ABorderedWindowKeepsOneRowMoreAboveOnAScaledScreen) {
    Manager->SetExtendedBorders(true);
    Form.Show();
    ASSERT_TRUE(P->BorderForm);
    P->SkinData()->BGChanged = true;
    ASSERT_TRUE(P->RenderFrame());
    const int w = F()->Width(), h = F()->Height();
    const int b = GetSystemMetrics(SM_CXSIZEFRAME), t = b + GetSysCaptionHeight(*F());
    const vcl::TPoint off = P->WindowToFrameOffset();
    constexpr std::uint32_t none = 0xFF123456;
    struct Case {
        int Level, Top;
    };
    for (const Case c : {Case{0, t}, Case{1, t - 1}, Case{2, t - 1}}) {
        SCOPED_TRACE(c.Level);
        Manager->DPIClass = c.Level;
        P->UpdateFormRegion(false, true);
        EXPECT_TRUE(SameRegion(WindowRegion(W()), vcl::TRegionHandle(CreateRectRgn(b, c.Top, w - b, h - b))));
        vcl::TBitmap out;
        out.SetPixelFormat(vcl::pf32bit);
        out.SetSize(w, h);
        const vcl::TBitmapView v = out.View();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) v.At(x, y) = none;
        P->PaintInsideBorder(out.Canvas()->Handle());
        GdiFlush();
        const vcl::TBitmapView cache = P->SkinData()->CacheBmp()->View();
        // The row above the native caption's end: the window's own from the level 1 on.
        if (c.Level == 0)
            EXPECT_EQ(v.At(w / 2, t - 1), none);
        else
            EXPECT_EQ(v.At(w / 2, t - 1) & 0xFFFFFF, cache.At(w / 2 + off.X, t - 1 + off.Y) & 0xFFFFFF);
        EXPECT_EQ(v.At(w / 2, t - 2), none);
    }
    Manager->DPIClass = 0;
}

// The frame output hands the form's main menu to the skinned menus first.
TEST_F(FormRegion, TheFrameOutputHandsTheMainMenuToTheSkinnedMenus) {
    ShowFilled();
    auto *menu = vcl::Create<vcl::TMainMenu>(F());
    auto *item = vcl::Create<vcl::TMenuItem>(menu);
    item->SetCaption("File");
    menu->Items()->Add(item);
    F()->SetMenu(menu);
    P->MenuSkinned = false;
    P->PaintNonClient();
    EXPECT_TRUE(P->MenuSkinned);
}

// Only a form of its own loses its native frame when maximized: a
// maximized MDI child keeps its frame's region.
TEST_F(FormRegion, AMaximizedMDIChildKeepsTheRegionOfItsFrame) {
    TestForm parent;
    parent.Form->SetFormStyle(vcl::fsMDIForm);
    parent.Form->SetBounds(40, 40, 700, 520);
    parent.Show();
    auto *child = vcl::Create<vcl::TForm>(parent.Form, vcl::CreateNew);
    child->SetFormStyle(vcl::fsMDIChild);
    child->SetBounds(10, 10, 300, 200);
    auto *provider = vcl::Create<TsSkinProvider>(child);
    child->Show();
    vcl::Application->ProcessMessages();
    child->SetWindowState(vcl::wsMaximized);
    vcl::Application->ProcessMessages();
    ASSERT_TRUE(IsZoomed(child->WindowHandle()));
    provider->CollectFrameMasks();
    provider->UpdateFormRegion(false, true);
    const vcl::TRegionHandle frame(provider->BuildFrameRegion(0, 0));
    EXPECT_TRUE(SameRegion(WindowRegion(child->WindowHandle()), frame));
    EXPECT_FALSE(SameRegion(frame, InsideFrame(child->Width(), child->Height())));
}

TEST_F(FormRegion, MaximizingAndRestoringKeepTheFrameOnScreen) {
    ShowFilled();
    const auto frameShown = [&] {
        vcl::Application->ProcessMessages();
        const std::unique_ptr<vcl::TBitmap> screen = ScreenImage(W());
        return Mismatches(W(), *screen, *P->SkinData()->CacheBmp(), {0, 0, F()->Width(), P->GetClientOffsetY()});
    };
    EXPECT_EQ(frameShown(), 0);
    ShowWindow(W(), SW_MAXIMIZE);
    EXPECT_EQ(P->SkinData()->CacheBmp()->Width(), F()->Width());
    EXPECT_EQ(frameShown(), 0);
    ShowWindow(W(), SW_RESTORE);
    EXPECT_EQ(frameShown(), 0);
    EXPECT_TRUE(SameRegion(WindowRegion(W()), ExpectedRegion(FrameSkinMasks(400, 300), 400, 300)));
}

} // namespace
} // namespace skin
