// A blended move of a form with an extended border, by a real drag of its
// caption on the border window and watched through the recording seam of
// the layered-window calls: the border window travels showing the frame
// image at a falling alpha while the form waits unseen, then the form
// joins the border where the drag ended, opaque (or at its own alpha), the
// border's hole back over its client area; handles stay flat. A form glued
// to it follows the border window during the drag, and the border window
// snaps its own edges (the shadow's) to the work area. A glued form freed
// leaves the list at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <functional>
#include <thread>
#include <tuple>

#include "../manager/LayeredRecorder.h"
#include "BorderedFormSupport.h"
#include "FreedMemoryMark.h"
#include "skin/forms/vlBlendOnMoving.h"
#include "skin/manager/sVclUtils.h"
#include "vcl/GdiObjects.h"
#include "vcl/HandleCounts.h"

namespace skin {
namespace {

using namespace skin::test;

struct BorderBlend : ::testing::Test {
    static void SetUpTestSuite() { Modules = std::make_unique<FormsModules>(); }
    static void TearDownTestSuite() { Modules.reset(); }
    static inline std::unique_ptr<FormsModules> Modules;

    BorderBlend() {
        SetCursorPos(5, 5);
        Manager->AnimEffects()->BlendOnMoving->Active = true;  // 170 over 1000 ms: 0.85 a tick
    }

    // A caption point of the border window, on the screen.
    static POINT CaptionPoint(const BorderedForm &F) {
        const vcl::TRect r = BorderedForm::RectOf(F.Wnd());
        POINT p{(r.Left + r.Right) / 2, r.Top + 2};
        while (p.y < r.Top + 40 && SendMessageW(F.Wnd(), WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)) != HTCAPTION) ++p.y;
        return p;
    }
    // Presses at Grip, drags by (Dx, Dy) in 15 steps and lets go, from a
    // second thread while this one pumps; true when the blending ended.
    // Held: when given, the button stays down at the end until it reaches
    // HeldFor (a loaded machine may let the drag's steps run ahead of what
    // the test watches), for 2 s at most.
    static bool Drag(TsSkinProvider *P, POINT Grip, int Dx, int Dy, const std::atomic<int> *Held = nullptr,
                     int HeldFor = 0) {
        return uitest::DragWithMouse(
            Grip, Dx, Dy, [&] { return !(P->StateFlags & pfBlendOnMoving); },
            [&] {
                for (int waited = 0; Held && *Held < HeldFor && waited < 2000; waited += 10)
                    std::this_thread::sleep_for(10ms);
            });
    }

    ManagerPtr Manager = BorderedManager();
    // The move loop moves the window itself only with full-window dragging.
    const uitest::TFullWindowDrag FullDrag;
};

// What the form hears once the blending is over: whether it was painted,
// and then placed again without a change.
struct AfterBlend {
    static inline HWND Form = nullptr;
    static inline TsSkinProvider *P = nullptr;
    static inline bool Painted = false;
    static inline int PlacedAfterPaint = 0;
    static LRESULT CALLBACK Hook(int Code, WPARAM W, LPARAM L) {
        const auto *m = reinterpret_cast<const CWPSTRUCT *>(L);
        if (Code == HC_ACTION && m->hwnd == Form && !(P->StateFlags & pfBlendOnMoving) && P->MoveTimer) {
            if (m->message == WM_PAINT || m->message == WM_NCPAINT) Painted = true;
            const UINT still = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER;
            if (m->message == WM_WINDOWPOSCHANGING && Painted &&
                (reinterpret_cast<const WINDOWPOS *>(m->lParam)->flags & still) == still)
                ++PlacedAfterPaint;
        }
        return CallNextHookEx(nullptr, Code, W, L);
    }
};

TEST_F(BorderBlend, TheDragMovesTheBorderAtAFallingAlphaAndTheFormJoinsItAtTheEnd) {
    BorderedForm f;
    AfterBlend::Form = f.Wnd();
    AfterBlend::P = f.P;
    const HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, &AfterBlend::Hook, nullptr, GetCurrentThreadId());
    const HWND border = f.Border();
    ASSERT_NE(border, nullptr);
    const vcl::TRect before = BorderedForm::RectOf(f.Wnd());
    const POINT grip = CaptionPoint(f);
    ASSERT_EQ(SendMessageW(f.Wnd(), WM_NCHITTEST, 0, MAKELPARAM(grip.x, grip.y)), HTCAPTION);
    SetForegroundWindow(f.Wnd());
    vcl::Application->ProcessMessages();
    ASSERT_EQ(WindowFromPoint(grip), border) << "the border window takes the press";

    LayeredRecorder recorder;
    ASSERT_TRUE(Drag(f.P, grip, 60, 30));

    // The border window showed the frame image, its alpha falling from 255
    // toward 170, while the drag moved it.
    const std::vector<LayeredCall> calls = LayeredRecorder::Of(border);
    ASSERT_GE(calls.size(), 10u);
    std::vector<int> alphas;
    for (const LayeredCall &c : calls) alphas.push_back(c.Alpha);
    EXPECT_EQ(alphas.front(), 255);
    const auto lowest = std::min_element(alphas.begin(), alphas.end());
    EXPECT_LT(*lowest, 255);
    EXPECT_GE(*lowest, 170);
    EXPECT_TRUE(std::is_sorted(alphas.begin(), lowest + 1, std::greater<>()))
        << "falling, never rising, until the end shows it opaque";
    EXPECT_EQ(alphas.back(), 255);
    // Each image of the drag shows whole: the window lost its hole before
    // the first one came.
    for (auto c = calls.begin(); c <= calls.begin() + (lowest - alphas.begin()); ++c)
        EXPECT_TRUE(c->CentreShown) << "image " << c - calls.begin() << " at alpha " << c->Alpha;
    const auto moved = std::find_if(calls.begin(), calls.end(),
                                    [&](const LayeredCall &c) { return c.WindowRect.left != calls.front().WindowRect.left; });
    EXPECT_NE(moved, calls.end()) << "the image travelled with the border window";
    // The form itself was made unseen meanwhile, never blended on its own.
    std::vector<int> formAlphas;
    for (const auto &[w, a] : LayeredRecorder::Attributes)
        if (w == f.Wnd()) formAlphas.push_back(a);
    ASSERT_FALSE(formAlphas.empty());
    EXPECT_EQ(formAlphas.front(), 0);
    EXPECT_TRUE(std::all_of(formAlphas.begin(), formAlphas.end(), [](int a) { return a == 0; }));

    // At the end the form lies inside the border where the drag put it.
    const vcl::TRect after = BorderedForm::RectOf(f.Wnd());
    const vcl::TRect b = BorderedForm::RectOf(border);
    EXPECT_NE(after.Left, before.Left);
    EXPECT_NEAR(after.Left - before.Left, 60, 4);
    EXPECT_NEAR(after.Top - before.Top, 30, 4);
    EXPECT_EQ(after.Width(), before.Width());
    EXPECT_EQ(b.Left + f.Off().X, after.Left);
    EXPECT_EQ(b.Top + f.Off().Y, after.Top);
    EXPECT_FALSE(GetWindowLongPtrW(f.Wnd(), GWL_EXSTYLE) & WS_EX_LAYERED) << "opaque again";
    EXPECT_FALSE(f.P->MoveTimer);
    UnhookWindowsHookEx(hook);
    // Redrawn in its place, then placed once more as it is.
    EXPECT_TRUE(AfterBlend::Painted);
    EXPECT_EQ(AfterBlend::PlacedAfterPaint, 1);
    // The region has its hole over the client area again.
    const vcl::TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(border, region.Get()), ERROR);
    POINT client{0, 0};
    ClientToScreen(f.Wnd(), &client);
    EXPECT_FALSE(PtInRegion(region.Get(), client.x - b.Left + 10, client.y - b.Top + 10));
    EXPECT_TRUE(PtInRegion(region.Get(), f.M().Left + 10, f.M().Top + 5));
}

TEST_F(BorderBlend, AFormWithItsOwnAlphaGetsItBackAndTheCountsStayFlat) {
    BorderedForm f(vcl::bsSizeable, {300, 200, 720, 500}, false);
    f.Form.Form->SetAlphaBlend(true);
    f.Form.Form->SetAlphaBlendValue(200);
    f.ShowSkinned();
    ASSERT_NE(f.Border(), nullptr);
    SetForegroundWindow(f.Wnd());
    vcl::Application->ProcessMessages();
    {
        LayeredRecorder recorder;
        ASSERT_TRUE(Drag(f.P, CaptionPoint(f), 40, 20));
        std::vector<int> formAlphas;
        for (const auto &[w, a] : LayeredRecorder::Attributes)
            if (w == f.Wnd()) formAlphas.push_back(a);
        ASSERT_GE(formAlphas.size(), 2u);
        EXPECT_EQ(formAlphas.front(), 0) << "unseen while its image travels";
        EXPECT_EQ(formAlphas.back(), 200) << "its own alpha at the end";
        const std::vector<int> shown = LayeredRecorder::AlphasOf(f.Border());
        ASSERT_FALSE(shown.empty());
        EXPECT_LE(*std::max_element(shown.begin(), shown.end() - 1), 200) << "blending from the form's own alpha";
        EXPECT_EQ(shown.back(), 200) << "the image at the form's alpha at the end";
    }
    EXPECT_TRUE(GetWindowLongPtrW(f.Wnd(), GWL_EXSTYLE) & WS_EX_LAYERED);

    // Drags leave no handle behind.
    const vcl::THandleCounts counts = vcl::LiveHandles();
    for (int i = 0; i < 3; ++i) {
        const POINT grip = CaptionPoint(f);
        ASSERT_TRUE(Drag(f.P, grip, i % 2 ? -30 : 30, 10));
    }
    EXPECT_EQ(vcl::LiveHandles(), counts);
}

// The forms glued to a bordered form, and the snapping of its border window.
struct BorderGlue : BorderBlend {
    // What a 10-ms timer of this thread saw while the drag ran: blending,
    // the master's border window, the follower.
    static inline std::vector<std::tuple<bool, vcl::TRect, vcl::TRect>> Samples;
    static inline const BorderedForm *Watched[2] = {};
    // The samples taken while blending, for the drag's user to wait on.
    static inline std::atomic<int> Blending = 0;
    static void CALLBACK Watch(HWND, UINT, UINT_PTR, DWORD) {
        const bool blending = (Watched[0]->P->StateFlags & pfBlendOnMoving) != 0;
        Samples.emplace_back(blending, BorderedForm::RectOf(Watched[0]->Border()),
                             BorderedForm::RectOf(Watched[1]->Wnd()));
        Blending += blending;
    }
};

TEST_F(BorderGlue, AGluedFormFollowsTheBorderWindowThroughoutTheDragAndAfterIt) {
    BorderedForm master, follower(vcl::bsSizeable, {720, 250, 920, 400});
    // Its border on the master's border's right edge.
    const int beside = master.Place().Right + follower.Off().X;
    follower.Form.Form->SetBounds(beside, 250, 200, 150);
    follower.Form.Form->SetName("Follower");
    master.P->GluedForms()->Add("Follower");
    SetForegroundWindow(master.Wnd());
    vcl::Application->ProcessMessages();
    const vcl::TRect masterBefore = BorderedForm::RectOf(master.Wnd());
    const vcl::TRect followerBefore = BorderedForm::RectOf(follower.Wnd());
    const vcl::TRect borderBefore = BorderedForm::RectOf(master.Border());
    Samples.clear();
    Blending = 0;
    Watched[0] = &master;
    Watched[1] = &follower;
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, &Watch);
    ASSERT_TRUE(Drag(master.P, CaptionPoint(master), 60, 40, &Blending, 5));
    KillTimer(nullptr, timer);

    // Inside the move loop the follower kept its place beside the border
    // window, which the drag moved while the master waited.
    int during = 0, moved = 0, apart = 0;
    for (const auto &[blending, border, glued] : Samples) {
        if (!blending) continue;
        ++during;
        moved += border.Left != borderBefore.Left;
        apart += glued.Left - border.Left != followerBefore.Left - borderBefore.Left ||
                 glued.Top - border.Top != followerBefore.Top - borderBefore.Top;
    }
    ASSERT_GE(during, 5);
    EXPECT_GT(moved, 0);
    EXPECT_EQ(apart, 0) << "of " << during << " samples";
    // After it both moved by the same distance, the follower opaque again.
    const vcl::TRect masterAfter = BorderedForm::RectOf(master.Wnd());
    const vcl::TRect followerAfter = BorderedForm::RectOf(follower.Wnd());
    EXPECT_NEAR(masterAfter.Left - masterBefore.Left, 60, 4);
    EXPECT_EQ(followerAfter.Left - followerBefore.Left, masterAfter.Left - masterBefore.Left);
    EXPECT_EQ(followerAfter.Top - followerBefore.Top, masterAfter.Top - masterBefore.Top);
    EXPECT_FALSE(GetWindowLongPtrW(follower.Wnd(), GWL_EXSTYLE) & WS_EX_LAYERED);

    // The pair where the drag left it: each border window as the X server
    // holds it (else the image it was given, which Xvfb shows over black),
    // laid at its place on the screen.
    Settle();
    const vcl::TRect a = BorderedForm::RectOf(master.Border()), b = BorderedForm::RectOf(follower.Border());
    const int top = std::min(a.Top, b.Top);
    uitest::TImage32 pair;
    pair.Width = std::max(a.Right, b.Right) - a.Left;
    pair.Height = std::max(a.Bottom, b.Bottom) - top;
    pair.Pixels.assign(static_cast<std::size_t>(pair.Width) * pair.Height, 0);
    for (const BorderedForm *f : {&master, &follower}) {
        const vcl::TRect r = BorderedForm::RectOf(f->Border());
        const uitest::TImage32 shot = uitest::CaptureXWindow(f->Border());
        const vcl::TBitmapView given = f->P->SkinData()->CacheBmp()->View();
        for (int y = 0; y < r.Height(); ++y)
            for (int x = 0; x < r.Width(); ++x) {
                const bool captured = x < shot.Width && y < shot.Height;
                if (!captured && (x >= given.Width || y >= given.Height)) continue;
                pair.Pixels[static_cast<std::size_t>(r.Top - top + y) * pair.Width + r.Left - a.Left + x] =
                    captured ? shot.At(x, y) : given.At(x, y);
            }
    }
    const std::filesystem::path folder = HostPath(ZUVO_ARTIFACTS_FOLDER);
    std::filesystem::create_directories(folder);
    uitest::WritePng((folder / "forms-border-glued.png").string(), pair);
}

// A form without a provider of its own, glued to the master and then freed
// by the application: it leaves the list at once, and the master's drag
// (its moves, the blend's alpha for its glued forms) touches nothing of it.
TEST_F(BorderGlue, AFreedGluedFormWithoutAProviderIsLeftAloneByTheMastersDrag) {
    BorderedForm master;
    auto *follower = vcl::Create<vcl::TForm>(vcl::Application, vcl::CreateNew);
    follower->SetName("Follower");
    follower->SetBounds(master.Place().Right, 250, 200, 150);
    follower->Show();
    master.P->GluedForms()->Add("Follower");
    ASSERT_TRUE(uitest::ActivateAndWait(master.Wnd(), 2s));  // its activation notes what touches it
    ASSERT_EQ(GluedPairs().size(), 1u);
    const void *freed = follower;
    const TFreedMemoryMark mark;
    delete follower;
    EXPECT_TRUE(GluedPairs().empty());
    ASSERT_TRUE(Drag(master.P, CaptionPoint(master), 40, 20));
    EXPECT_TRUE(mark.Untouched(freed));
    EXPECT_EQ(mark.Faults(), 0);
}

TEST_F(BorderGlue, TheDraggedBorderSnapsItsOwnEdgesToTheWorkArea) {
    BorderedForm master;
    master.P->SetScreenSnap(true);
    SetForegroundWindow(master.Wnd());
    vcl::Application->ProcessMessages();
    const vcl::TRect work = FormWorkArea(*master.Form.Form);
    const vcl::TRect before = BorderedForm::RectOf(master.Wnd());
    const vcl::TPoint off = master.P->BorderForm->BorderOffset();
    // Where the border window is, as the frame inside it.
    const auto frame = [&] {
        const vcl::TRect b = BorderedForm::RectOf(master.Border());
        return vcl::TPoint(b.Left + off.X, b.Top + off.Y);
    };

    // A real drag leaving the border window 6 pixels from the work area's
    // left edge: the border, shadow and all, lands on the edge.
    ASSERT_TRUE(Drag(master.P, CaptionPoint(master), work.Left + 6 + off.X - before.Left, 30));
    const vcl::TRect after = BorderedForm::RectOf(master.Wnd());
    EXPECT_EQ(after.Left, work.Left + off.X);
    EXPECT_NEAR(after.Top - before.Top, 30, 4) << "far from any edge, the other axis is left alone";
    EXPECT_EQ(frame(), vcl::TPoint(after.Left, after.Top));
    const vcl::TPoint stored = master.P->BorderForm->Border().FormPos;
    EXPECT_EQ(vcl::TPoint(stored.X + off.X, stored.Y + off.Y), frame());

    // The right and bottom edges are the border window's too; outside a
    // blended move the border is not snapped.
    const auto place = [&](int FrameLeft, int FrameTop) {
        SetWindowPos(master.Border(), nullptr, FrameLeft - off.X, FrameTop - off.Y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return frame();
    };
    const vcl::TRect place0 = master.Place();
    const int beyondRight = place0.Right - after.Right, beyondBottom = place0.Bottom - after.Bottom;
    master.P->StateFlags |= pfBlendOnMoving;
    EXPECT_EQ(place(work.Right - beyondRight - after.Width() - 8, work.Bottom - beyondBottom - after.Height() + 10),
              vcl::TPoint(work.Right - beyondRight - after.Width(), work.Bottom - beyondBottom - after.Height()));
    master.P->StateFlags &= ~pfBlendOnMoving;
    EXPECT_EQ(place(work.Left + 3, work.Top + 300), vcl::TPoint(work.Left + 3, work.Top + 300));
}

} // namespace
} // namespace skin
