// The window region and non-client output of a skinned form: the key-colour
// runs of the frame's masks, the region built from them and set on the
// window (the window below shows through a cut corner), a maximized form's
// region, the region probe, the frame strips of a frameless sizeable form
// read back from the screen, the caption cover, the system-menu style and
// switching the non-client drawing off and on; handle counts over many
// region updates and covers.
#include <gtest/gtest.h>

#include "FrameOutputTestSupport.h"
#include "vcl/HandleCounts.h"

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

TEST_F(FormRegion, CollectsTheKeyRunsOfTheBorderAndTitleMasks) {
    F()->HandleNeeded();
    P->CollectFrameMasks();
    EXPECT_EQ(P->FrameMasks, FrameSkinMasks(400, 300));
    F()->SetBounds(100, 100, 250, 180);
    P->CollectFrameMasks();
    EXPECT_EQ(P->FrameMasks, FrameSkinMasks(250, 180));

    // A title section of another name has no mask: only the frame's runs.
    P->SetTitleSkin("NOSUCHTITLE");
    P->CollectFrameMasks();
    std::vector<vcl::TRect> frameOnly = FrameSkinMasks(250, 180);
    frameOnly.pop_back();
    EXPECT_EQ(P->FrameMasks, frameOnly);
}

TEST_F(FormRegion, BuildsTheCacheRectangleLessTheMasksAtAnOffset) {
    P->FrameMasks = {{0, 0, 5, 2}, {390, 298, 400, 300}};
    vcl::TRegionHandle built(P->BuildFrameRegion(7, 11));
    ASSERT_TRUE(built);
    EXPECT_TRUE(SameRegion(built, ExpectedRegion(P->FrameMasks, 400, 300, 7, 11)));
    RECT box{};
    EXPECT_EQ(GetRgnBox(built.Get(), &box), COMPLEXREGION);
    EXPECT_EQ(box.left, 7);
    EXPECT_EQ(box.bottom, 311);
    EXPECT_FALSE(PtInRegion(built.Get(), 7, 11));
    EXPECT_TRUE(PtInRegion(built.Get(), 7 + 5, 11));

    // Without masks the region is the plain rectangle.
    P->FrameMasks.clear();
    vcl::TRegionHandle plain(P->BuildFrameRegion(0, 0));
    EXPECT_EQ(GetRgnBox(plain.Get(), &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 400);
}

TEST_F(FormRegion, TheFirstOutputCutsTheCornersAndTheWindowBelowShowsThrough) {
    TestForm below;
    below.Form->SetBounds(50, 50, 500, 400);
    below.Show();
    ShowFilled();
    ASSERT_FALSE(P->RegionChanged);
    EXPECT_TRUE(SameRegion(WindowRegion(W()), ExpectedRegion(FrameSkinMasks(400, 300), 400, 300)));

    const vcl::TRect r = ScreenRect(W());
    const HWND lower = below.Form->Handle();
    EXPECT_EQ(WindowAt(r.Left, r.Top), lower);
    EXPECT_EQ(WindowAt(r.Left + 2, r.Top), lower);
    EXPECT_EQ(WindowAt(r.Left + 3, r.Top), W());
    EXPECT_EQ(WindowAt(r.Right - 1, r.Top), lower);
    EXPECT_EQ(WindowAt(r.Left, r.Bottom - 1), lower);
    EXPECT_EQ(WindowAt(r.Right - 1, r.Bottom - 1), lower);
    EXPECT_EQ(WindowAt(r.Right - 1, r.Bottom - 4), W());
    EXPECT_EQ(WindowAt(r.Left + 3, r.Top + 1), lower);  // the title mask's run
}

TEST_F(FormRegion, AFormThatShapesItselfGetsNoRegionUntilTheFrameWasRendered) {
    // The form answers the probe before the provider sees it.
    struct ShapesItself {
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

    // Once a frame was rendered the probe is no longer asked.
    P->FrameRendered = true;
    P->UpdateFormRegion(true, true);
    EXPECT_TRUE(SameRegion(WindowRegion(W()), ExpectedRegion(FrameSkinMasks(400, 300), 400, 300)));
    F()->WindowProc = shapes.Next;
}

TEST_F(FormRegion, AMaximizedFormLosesItsNativeFrameAndRestoringBringsTheCornersBack) {
    ShowFilled();
    ShowWindow(W(), SW_MAXIMIZE);
    const int w = F()->Width(), h = F()->Height(), b = GetSystemMetrics(SM_CXSIZEFRAME);
    ASSERT_GT(w, 400);
    const vcl::TRegionHandle inner(CreateRectRgn(b, b, w - b, h - b));
    EXPECT_TRUE(SameRegion(WindowRegion(W()), inner));

    FillCache(*P);  // the renderer's next frame, at the maximized size
    ShowWindow(W(), SW_RESTORE);
    ASSERT_EQ(F()->Width(), 400);
    EXPECT_TRUE(SameRegion(WindowRegion(W()), ExpectedRegion(FrameSkinMasks(400, 300), 400, 300)));

    // A size changed by the program: the region follows the recorded size.
    FillCache(*P);
    F()->SetBounds(120, 110, 330, 240);
    EXPECT_TRUE(SameRegion(WindowRegion(W()), ExpectedRegion(FrameSkinMasks(330, 240), 330, 240)));
}

// Needs the frame's output from the cache (PaintCachedFrame) and the
// renderer (RenderFrame); enabled once they exist.
TEST_F(FormRegion, DISABLED_MaximizingAndRestoringKeepTheFrameOnScreen) {
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
    const int b = GetSystemMetrics(SM_CXSIZEFRAME);
    const vcl::TRegionHandle inner(CreateRectRgn(b, b, F()->Width() - b, F()->Height() - b));
    EXPECT_TRUE(SameRegion(WindowRegion(W()), inner));
    P->InSizeMove = false;
}

TEST_F(FormRegion, AMaximumSizeKeepsTheMaskedRegionOfAMaximizedForm) {
    F()->Constraints()->MaxWidth = 2000;
    ShowFilled();
    ShowWindow(W(), SW_MAXIMIZE);
    const int w = F()->Width(), h = F()->Height();
    EXPECT_TRUE(SameRegion(WindowRegion(W()), ExpectedRegion(FrameSkinMasks(w, h), w, h)));
}

TEST_F(FormRegion, AFramelessSizeableFormShowsTheCacheInItsEdges) {
    F()->SetBorderStyle(vcl::bsNone);
    F()->HandleNeeded();
    SetWindowLongPtrW(W(), GWL_STYLE, GetWindowLongPtrW(W(), GWL_STYLE) | WS_THICKFRAME);
    SetWindowPos(W(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    ShowFilled();
    // The strips reach a little into the client area.
    const int frame = P->GetClientOffsetX(), depth = GetSystemMetrics(SM_CXSIZEFRAME) + 3;
    ASSERT_GT(frame, 0);
    struct Probe {
        int X, Y;
    };
    for (const Probe p : {Probe{3, 0}, Probe{200, 1}, Probe{396, 299}, Probe{1, 150}, Probe{398, 150}, Probe{200, 298},
                          Probe{depth - 1, depth - 1}, Probe{frame, 100}})
        EXPECT_EQ(ScreenPixel(W(), p.X, p.Y), PatternAt(p.X, p.Y)) << p.X << "," << p.Y;
    // No corners are cut without a frame of the skin's own: the region is
    // the masked one all the same.
    EXPECT_TRUE(SameRegion(WindowRegion(W()), ExpectedRegion(FrameSkinMasks(400, 300), 400, 300)));
}

TEST_F(FormRegion, TheCaptionCoverLiesOverTheFrameOnly) {
    ShowFilled();
    P->ShowCaptionCover();
    ASSERT_TRUE(P->CaptionCover);
    const HWND cover = P->CaptionCover->WindowHandle();
    EXPECT_TRUE(IsWindowVisible(cover));
    EXPECT_EQ(P->CaptionCover->Tag(), 256);
    const vcl::TRect r = ScreenRect(W());
    EXPECT_EQ(ScreenRect(cover), r);
    EXPECT_EQ(WindowAt(r.Left + 100, r.Top + 5), cover);  // the caption
    EXPECT_EQ(WindowAt(r.Left + 1, r.Top + 100), cover);  // the left edge
    EXPECT_EQ(WindowAt(r.Left + 100, r.Top + 100), W());   // the client area

    P->HideCaptionCover();
    EXPECT_FALSE(P->CaptionCover);
    EXPECT_FALSE(IsWindow(cover));
    EXPECT_EQ(WindowAt(r.Left + 100, r.Top + 5), W());
}

TEST_F(FormRegion, NoCoverWhereNothingIsPaintedOrTheFormIsNotSeen) {
    ShowFilled();
    P->StateFlags |= pfBlendOnMoving;
    P->ShowCaptionCover();
    EXPECT_FALSE(P->CaptionCover);
    P->StateFlags &= ~pfBlendOnMoving;
    P->InShowAnimation = true;
    P->ShowCaptionCover();
    EXPECT_FALSE(P->CaptionCover);
    P->InShowAnimation = false;
    ShowWindow(W(), SW_MINIMIZE);
    P->ShowCaptionCover();
    EXPECT_FALSE(P->CaptionCover);
    ShowWindow(W(), SW_RESTORE);
    F()->Hide();
    P->ShowCaptionCover();
    EXPECT_FALSE(P->CaptionCover);
}

TEST_F(FormRegion, ATopmostFormsCoverIsTopmostToo) {
    ShowFilled();
    SetWindowPos(W(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    P->ShowCaptionCover();
    ASSERT_TRUE(P->CaptionCover);
    EXPECT_TRUE(GetWindowLongPtrW(P->CaptionCover->WindowHandle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    P->HideCaptionCover();
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
    P->SetSysMenuStyle(true);
    EXPECT_FALSE(sysMenu());
    P->SetSysMenuStyle(false);  // the skin goes: the form's own menu is back
    EXPECT_TRUE(sysMenu());
    P->SetSysMenuStyle(true);

    // A form without a system menu never gets one.
    F()->SetBorderIcons({});
    P->SetSysMenuStyle(false);
    EXPECT_FALSE(sysMenu());
}

TEST_F(FormRegion, LeavingTheFrameToTheSystemGivesBackItsMenuAndRegion) {
    ShowFilled();
    ASSERT_TRUE(WindowRegion(W()));
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

} // namespace
} // namespace skin
