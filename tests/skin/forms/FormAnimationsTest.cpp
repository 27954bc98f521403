// The layered form animations on skinned forms, watched through the
// recording seam of the layered-window calls: the show at Time 0 and 100
// (frames, alphas, pacing, the topmost case, the finished image against the
// form's own painting), the hide on its timer (events once, also when cut
// short or of no frame), the skin-change fade on both paths and for forms
// of two sizes, the live handle counts over many runs, and the dialog
// twins on a stand-in for the dialog skinning.
#include <gtest/gtest.h>

#include <algorithm>

#include "../manager/LayeredRecorder.h"
#include "FrameOutputTestSupport.h"
#include "skin/manager/sSkinManager.h"
#include "skin/forms/vlBlendOnMoving.h"
#include "skin/forms/vlDwmServices.h"
#include "skin/graphics/vlPixelHelpers.h"
#include "skin/manager/vlFormAnimations.h"
#include "skin/manager/vlSnapshots.h"
#include "vcl/HandleCounts.h"
#include "vcl/StdCtrls.h"

namespace skin {
namespace {

using namespace skin::test;
using namespace std::chrono_literals;

struct Events {
    std::vector<TvlAnimEvent> Heard;
    void On(TvlAnimEvent E) { Heard.push_back(E); }
    int Count(TvlAnimEvent E) const { return static_cast<int>(std::count(Heard.begin(), Heard.end(), E)); }
};

struct FormAnimations : FrameFixture {
    Events Heard;
    void SetUp() override {
        FrameFixture::SetUp();
        P->OnAfterAnimation = TvlAfterAnimation::Bind<&Events::On>(&Heard);
        Effects().FormShow->Time = 0;
        Effects().FormHide->Time = 0;
    }
    TvlAnimEffects &Effects() { return *Manager->AnimEffects(); }
    // The windows other than the form that showed frames.
    std::vector<HWND> AnimationWindows() {
        std::vector<HWND> w = LayeredRecorder::Windows();
        w.erase(std::remove(w.begin(), w.end(), W()), w.end());
        return w;
    }
    static bool HideDone() {
        return uitest::PumpUntil([] { return !HideTimer() || !HideTimer()->Window(); }, 3s);
    }
};

TEST_F(FormAnimations, ATimeZeroShowShowsTheFinishedImageOnceAndHandsOverToTheForm) {
    LayeredRecorder recorder(LayeredRecorder::Forward, true);
    F()->HandleNeeded();
    Prepare();
    Form.Show();  // the frame as the skin renders it
    const std::vector<HWND> windows = AnimationWindows();
    ASSERT_EQ(windows.size(), 1u);
    const std::vector<LayeredCall> calls = LayeredRecorder::Of(windows[0]);
    ASSERT_EQ(calls.size(), 2u);  // the finished image, no frame loop, and it once more where it was placed
    RECT form{};
    GetWindowRect(W(), &form);
    for (const LayeredCall &c : calls) {
        EXPECT_EQ(c.Alpha, 255);
        EXPECT_EQ(c.Size.cx, form.right - form.left);
        EXPECT_EQ(c.Size.cy, form.bottom - form.top);
        EXPECT_EQ(c.Digest, calls[0].Digest);
        EXPECT_FALSE(c.Placed);  // the window keeps its place
        EXPECT_TRUE(c.ExStyle & WS_EX_NOACTIVATE);
    }
    EXPECT_FALSE(IsWindow(windows[0]));  // each show's window goes with it
    EXPECT_TRUE(IsWindowVisible(W()));
    EXPECT_FALSE(GetWindowLongPtrW(W(), GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_FALSE(ModuleState().FormAnimationActive);
    EXPECT_EQ(Heard.Heard, std::vector<TvlAnimEvent>{aeShowing});

    // The image rendered off-screen is what the form then paints: every
    // opaque pixel of it (the frame mask's corners are cleared) matches the
    // screen.
    const LayeredCall &last = calls[1];
    const int w = last.Size.cx, h = last.Size.cy;
    ASSERT_EQ(last.Pixels.size(), static_cast<std::size_t>(w * h));
    const auto screen = NewBitmap32(w, h);
    {
        const vcl::TWindowDC dc(W(), GetWindowDC(W()));
        BitBlt(screen->Canvas()->Handle(), 0, 0, w, h, dc.Get(), 0, 0, SRCCOPY);
    }
    int opaque = 0, differing = 0;
    for (int y = 0; y < h; ++y) {
        const auto *row = static_cast<const std::uint32_t *>(screen->ScanLine(y));
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = last.Pixels[static_cast<std::size_t>(y * w + x)];
            if ((p >> 24) != 255) continue;
            ++opaque;
            if ((p & 0xFFFFFF) != (row[x] & 0xFFFFFF)) ++differing;
        }
    }
    EXPECT_GT(opaque, w * h / 2);
    EXPECT_EQ(differing, 0);

    // The next show shows through a window of its own, gone after it too.
    F()->Hide();
    ASSERT_TRUE(HideDone());
    LayeredRecorder again(LayeredRecorder::Forward, true);
    Form.Show();
    ASSERT_EQ(AnimationWindows().size(), 1u);
    EXPECT_NE(AnimationWindows()[0], windows[0]);
    EXPECT_FALSE(IsWindow(AnimationWindows()[0]));
    EXPECT_TRUE(IsWindowVisible(W()));
}

TEST_F(FormAnimations, AShowOfTime100HasElevenFramesAtLeastTenMillisecondsApart) {
    Effects().FormShow->Time = 100;
    for (TvlAnimType mode : {atFading, atAero}) {
        SCOPED_TRACE(mode);
        Effects().FormShow->Mode = mode;
        Heard.Heard.clear();
        LayeredRecorder recorder;
        ShowFilled();
        const std::vector<HWND> windows = AnimationWindows();
        ASSERT_EQ(windows.size(), 1u);
        const std::vector<LayeredCall> calls = LayeredRecorder::Of(windows[0]);
        ASSERT_EQ(calls.size(), 13u);  // the first image, 11 frames, the last
        EXPECT_EQ(LayeredRecorder::AlphasOf(windows[0]),
                  (std::vector<int>{0, 26, 51, 76, 102, 128, 153, 178, 204, 230, 255, 255, 255}));
        // Paced on the tick count (which moves in steps of up to 16): ten
        // waits of 10 ticks each lie between the first frame and the last.
        EXPECT_GE(calls[11].Tick - calls[1].Tick, 100u - 16u);
        // A fade copies its image once; a zoom grows it, whole at the end.
        if (mode == atFading)
            EXPECT_EQ(calls[1].Digest, calls[11].Digest);
        else
            EXPECT_NE(calls[1].Digest, calls[11].Digest);
        EXPECT_EQ(calls[11].Digest, calls[12].Digest);
        EXPECT_EQ(Heard.Count(aeShowing), 1);
        F()->Hide();
    }
}

TEST_F(FormAnimations, AnimationWindowsLieAboveTheirFormAndATopmostOneStaysTopmost) {
    // Frames, so that the window is drawn again once it is placed.
    Effects().FormShow->Time = 20;
    LayeredRecorder recorder;
    ShowFilled();
    ASSERT_EQ(AnimationWindows().size(), 1u);
    const LayeredCall last = LayeredRecorder::Of(AnimationWindows()[0]).back();
    EXPECT_EQ(last.Below, W());  // directly above the form
    EXPECT_FALSE(last.ExStyle & WS_EX_TOPMOST);
    F()->Hide();
    ASSERT_TRUE(HideDone());

    SetWindowPos(W(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    LayeredRecorder topmost;
    Form.Show();
    ASSERT_EQ(AnimationWindows().size(), 1u);
    // Topmost and of no size already when it turns layered.
    const LayeredCall first = LayeredRecorder::Of(AnimationWindows()[0]).front();
    EXPECT_TRUE(first.ExStyle & WS_EX_TOPMOST);
    EXPECT_TRUE(IsRectEmpty(&first.WindowRect));
    EXPECT_TRUE(LayeredRecorder::Of(AnimationWindows()[0]).back().ExStyle & WS_EX_TOPMOST);
    EXPECT_TRUE(GetWindowLongPtrW(W(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(IsWindowVisible(W()));

}

TEST_F(FormAnimations, AHideOfTime100RunsElevenFramesOnItsTimerAndIsHeardOnce) {
    ShowFilled();
    Effects().FormHide->Time = 100;
    Effects().FormHide->Mode = atFading;
    Heard.Heard.clear();
    LayeredRecorder recorder;
    F()->Hide();
    // Set up and first frame done; the rest runs from the message loop.
    ASSERT_TRUE(HideTimer() && HideTimer()->Window());
    EXPECT_FALSE(ModuleState().FormAnimationActive);
    EXPECT_FALSE(IsWindowVisible(W()));
    EXPECT_FALSE(GetWindowLongPtrW(W(), GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_TRUE(Heard.Heard.empty());
    const HWND hiding = HideTimer()->Window()->WindowHandle();
    ASSERT_TRUE(HideDone());
    EXPECT_EQ(LayeredRecorder::AlphasOf(hiding),
              (std::vector<int>{255, 255, 230, 204, 178, 153, 128, 102, 76, 51, 26, 0, 0}));
    EXPECT_FALSE(IsWindow(hiding));
    EXPECT_EQ(Heard.Heard, std::vector<TvlAnimEvent>{aeHiding});
    EXPECT_FALSE(P->Animating);
}

TEST_F(FormAnimations, AZoomedHideThatClearsOnlyTheRingItLeavesShowsTheSameFrames) {
    const int w = 200, h = 120;
    auto snapshot = NewBitmap32(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            snapshot->View().At(x, y) = 0xFF000040u | static_cast<std::uint32_t>(x * 255 / w) << 16 |
                                        static_cast<std::uint32_t>(y * 255 / h) << 8;
    TestForm window;
    window.Form->SetBorderStyle(vcl::bsNone);
    const HWND lw = window.Form->Handle();
    SetWindowLongPtrW(lw, GWL_EXSTYLE, GetWindowLongPtrW(lw, GWL_EXSTYLE) | WS_EX_LAYERED);
    auto ring = NewBitmap32(w, h), whole = NewBitmap32(w, h);
    SetStretchBltMode(ring->Canvas()->Handle(), COLORONCOLOR);
    SetStretchBltMode(whole->Canvas()->Handle(), COLORONCOLOR);
    LayeredRecorder recorder;
    vcl::TRect drawn{};
    auto a = TvlFrameSequence::Hide(w, h, 10, 255, true), b = a;
    {
        const vcl::TWindowDC screen;
        while (!a.Done()) {
            PresentFrame(lw, screen.Get(), *snapshot, *ring, a.Next(), true, &drawn);
            PresentFrame(lw, screen.Get(), *snapshot, *whole, b.Next(), true);
        }
    }
    const std::vector<LayeredCall> calls = LayeredRecorder::Of(lw);
    ASSERT_EQ(calls.size(), 22u);
    for (std::size_t i = 0; i + 1 < calls.size(); i += 2) EXPECT_EQ(calls[i].Digest, calls[i + 1].Digest) << i / 2;
    EXPECT_NE(calls[2].Digest, calls[20].Digest);  // the image did shrink
}

TEST_F(FormAnimations, AHideCutShortByTheNextIsHeardOnceAndAHideWithoutFramesNever) {
    TestForm other;
    other.Form->SetBounds(150, 150, 300, 200);
    auto *second = vcl::Create<TsSkinProvider>(other.Form);
    Events otherHeard;
    second->OnAfterAnimation = TvlAfterAnimation::Bind<&Events::On>(&otherHeard);
    ShowFilled();
    other.Show();
    Effects().FormHide->Time = 100;
    Heard.Heard.clear();
    otherHeard.Heard.clear();

    F()->Hide();
    other.Form->Hide();  // the first hide ends where it stands
    EXPECT_EQ(Heard.Heard, std::vector<TvlAnimEvent>{aeHiding});
    EXPECT_TRUE(otherHeard.Heard.empty());
    ASSERT_TRUE(HideDone());
    EXPECT_EQ(Heard.Heard, std::vector<TvlAnimEvent>{aeHiding});
    EXPECT_EQ(otherHeard.Heard, std::vector<TvlAnimEvent>{aeHiding});

    // Time 0: no frame and no animation to hear the end of; the hide's
    // window and the cover over the form's place go with the hide, and the
    // form is out of sight, not layered.
    Effects().FormHide->Time = 0;
    Form.Show();
    Heard.Heard.clear();
    LayeredRecorder recorder;
    F()->Hide();
    ASSERT_FALSE(LayeredRecorder::Calls.empty());
    for (const auto &call : LayeredRecorder::Calls)
        if (call.Window != W()) EXPECT_FALSE(IsWindow(call.Window)) << "the cover went with the hide";
    EXPECT_TRUE(Heard.Heard.empty());
    Form.Show();
    ASSERT_TRUE(IsWindowVisible(W()));
    Heard.Heard.clear();
    skin::AnimHideForm(*P);
    EXPECT_FALSE(GetWindowLongPtrW(W(), GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(GetWindowLongPtrW(W(), GWL_EXSTYLE) & WS_EX_LAYERED);
    for (HWND w : AnimationWindows()) EXPECT_FALSE(IsWindow(w));
    EXPECT_FALSE(HideTimer() && HideTimer()->Window());
    EXPECT_TRUE(Heard.Heard.empty());
    EXPECT_FALSE(ModuleState().FormAnimationActive);
}

// An application that hides another form once a hide has ended.
struct HidesNext {
    std::vector<TvlAnimEvent> Heard;
    vcl::TCustomForm *Next = nullptr;
    void On(TvlAnimEvent E) {
        Heard.push_back(E);
        if (E == aeHiding && Next) std::exchange(Next, nullptr)->Hide();
    }
};

TEST_F(FormAnimations, AHideStartedWhereAnotherEndsRunsWholeAndIsHeard) {
    const std::vector<int> wholeHide{255, 255, 230, 204, 178, 153, 128, 102, 76, 51, 26, 0, 0};
    TestForm second, third;
    second.Form->SetBounds(150, 150, 300, 200);
    third.Form->SetBounds(200, 120, 260, 180);
    HidesNext first, secondHeard, thirdHeard;
    P->OnAfterAnimation = TvlAfterAnimation::Bind<&HidesNext::On>(&first);
    vcl::Create<TsSkinProvider>(second.Form)->OnAfterAnimation = TvlAfterAnimation::Bind<&HidesNext::On>(&secondHeard);
    vcl::Create<TsSkinProvider>(third.Form)->OnAfterAnimation = TvlAfterAnimation::Bind<&HidesNext::On>(&thirdHeard);
    ShowFilled();
    second.Show();
    third.Show();
    Effects().FormHide->Time = 100;
    Effects().FormHide->Mode = atFading;
    for (HidesNext *each : {&first, &secondHeard, &thirdHeard}) each->Heard.clear();

    // The end of the first hide, on its timer, starts the second.
    first.Next = second.Form;
    {
        LayeredRecorder recorder;
        F()->Hide();
        ASSERT_TRUE(HideDone());
        const std::vector<HWND> windows = AnimationWindows();
        ASSERT_EQ(windows.size(), 2u);
        for (HWND w : windows) {
            EXPECT_EQ(LayeredRecorder::AlphasOf(w), wholeHide);
            EXPECT_FALSE(IsWindow(w));
        }
        EXPECT_EQ(first.Heard, std::vector<TvlAnimEvent>{aeHiding});
        EXPECT_EQ(secondHeard.Heard, std::vector<TvlAnimEvent>{aeHiding});
    }

    // A hide cut short by the next one starts a third from its event: that
    // one ends where it stands, heard, and the next plays whole.
    Form.Show();
    second.Show();
    first.Heard.clear();
    secondHeard.Heard.clear();
    first.Next = third.Form;
    LayeredRecorder recorder;
    F()->Hide();
    second.Form->Hide();
    EXPECT_EQ(first.Heard, std::vector<TvlAnimEvent>{aeHiding});
    EXPECT_EQ(thirdHeard.Heard, std::vector<TvlAnimEvent>{aeHiding});
    ASSERT_TRUE(HideTimer() && HideTimer()->Window());
    const HWND playing = HideTimer()->Window()->WindowHandle();
    ASSERT_TRUE(HideDone());
    EXPECT_EQ(LayeredRecorder::AlphasOf(playing), wholeHide);
    EXPECT_EQ(secondHeard.Heard, std::vector<TvlAnimEvent>{aeHiding});
    EXPECT_EQ(thirdHeard.Heard, std::vector<TvlAnimEvent>{aeHiding});
    for (HWND w : AnimationWindows()) EXPECT_FALSE(IsWindow(w));
    EXPECT_FALSE(ModuleState().FormAnimationActive);
}

// A second skin: the same frame in other colours.
void AddSecondSkin(TsSkinManager &M) {
    TestSkin skin = FrameSkin();
    std::string &o = skin.Options;
    o.replace(o.find("COLOR=0xF0F0F0"), 14, "COLOR=0x60A060");
    AddStoredSkin(M, "G", skin.Packed());
}

TEST_F(FormAnimations, ASkinChangeFadesEachFormInAtItsOwnSize) {
    AddSecondSkin(*Manager);
    Effects().SkinChanging->Time = 100;
    Effects().SkinChanging->Mode = atFading;
    TestForm other;
    other.Form->SetBounds(300, 200, 260, 180);
    vcl::Create<TsSkinProvider>(other.Form);
    ShowFilled();
    other.Show();
    Heard.Heard.clear();
    LayeredRecorder recorder;
    Manager->SetSkinName("G");
    const std::vector<HWND> windows = AnimationWindows();
    std::vector<SIZE> sizes;
    for (HWND w : LayeredRecorder::Windows()) {
        const std::vector<LayeredCall> calls = LayeredRecorder::Of(w);
        if (calls.size() != 12u) continue;  // a fade: the first image and 11 frames
        EXPECT_EQ(LayeredRecorder::AlphasOf(w),
                  (std::vector<int>{0, 26, 51, 76, 102, 128, 153, 178, 204, 230, 255, 255}));
        EXPECT_FALSE(IsWindow(w));
        sizes.push_back(calls[0].Size);
    }
    ASSERT_EQ(sizes.size(), 2u);
    const auto has = [&](vcl::TForm *F) {
        return std::any_of(sizes.begin(), sizes.end(), [&](SIZE s) { return s.cx == F->Width() && s.cy == F->Height(); });
    };
    EXPECT_TRUE(has(F()));
    EXPECT_TRUE(has(other.Form));
    EXPECT_FALSE(ModuleState().FormAnimationActive);
    EXPECT_TRUE(IsWindowVisible(W()));
    EXPECT_TRUE(IsWindowVisible(other.Form->WindowHandle()));
}

vcl::TRect ScreenRectOf(HWND W) {
    RECT r{};
    GetWindowRect(W, &r);
    return {r.left, r.top, r.right, r.bottom};
}

TEST_F(FormAnimations, WithoutLayeredWindowsTheOutputWindowMixesEachFormsOwnOldImage) {
    AddSecondSkin(*Manager);
    Effects().SkinChanging->Time = 50;
    TestForm other;
    other.Form->SetBounds(300, 200, 260, 180);
    vcl::Create<TsSkinProvider>(other.Form);
    ShowFilled();
    other.Show();
    LayeredRecorder none(LayeredRecorder::NoLayeredWindows);
    ASSERT_FALSE(LayeredWindowsAvailable());
    Manager->SetSkinName("G");
    ASSERT_TRUE(OutputWindow());
    EXPECT_FALSE(IsWindowVisible(OutputWindow()->WindowHandle()));  // hidden at the end
    // The form faded last (the registry's order) left its own image, at its size.
    ASSERT_TRUE(OutputWindowImage());
    const vcl::TBitmap &old = *OutputWindowImage();
    const bool first = old.Width() == F()->Width() && old.Height() == F()->Height();
    const bool second = old.Width() == other.Form->Width() && old.Height() == other.Form->Height();
    EXPECT_TRUE(first || second);
    RECT covered{};
    GetWindowRect(OutputWindow()->WindowHandle(), &covered);
    EXPECT_EQ(covered.right - covered.left, old.Width());
    EXPECT_EQ(covered.bottom - covered.top, old.Height());
    EXPECT_FALSE(ModuleState().FormAnimationActive);
    EXPECT_TRUE(IsWindowVisible(W()));

    // Switching back fades again over the same output window, which covers
    // a form again (wherever it was left).
    SetWindowPos(OutputWindow()->WindowHandle(), nullptr, 0, 0, 10, 10, SWP_NOZORDER | SWP_NOACTIVATE);
    Manager->SetSkinName("F");
    EXPECT_FALSE(IsWindowVisible(OutputWindow()->WindowHandle()));
    GetWindowRect(OutputWindow()->WindowHandle(), &covered);
    const vcl::TRect mine = ScreenRectOf(W()), others = ScreenRectOf(other.Form->WindowHandle());
    const vcl::TRect now{covered.left, covered.top, covered.right, covered.bottom};
    EXPECT_TRUE(now == mine || now == others);
}

TEST_F(FormAnimations, LiveCountsStayFlatOverShowsHidesAndFades) {
    Effects().FormShow->Time = 100;
    Effects().FormHide->Time = 100;
    ShowFilled();
    F()->Hide();
    ASSERT_TRUE(HideDone());
    const vcl::THandleCounts before = vcl::LiveHandles();
    for (int i = 0; i < 100; ++i) {
        Form.Show();
        F()->Hide();
        ASSERT_TRUE(HideDone());
    }
    EXPECT_EQ(vcl::LiveHandles(), before);

    Form.Show();
    const vcl::THandleCounts shown = vcl::LiveHandles();
    for (int i = 0; i < 100; ++i) skin::AnimateSkinChangeOfForm(*P, 100, 255, i % 2 == 1);
    EXPECT_EQ(vcl::LiveHandles(), shown);
    EXPECT_EQ(Heard.Count(aeShowing), 102);
    EXPECT_EQ(Heard.Count(aeHiding), 101);
}

} // namespace
} // namespace skin

namespace skin {
namespace {

using namespace skin::test;
using namespace std::chrono_literals;

// A dialog as the dialog skinning will offer it: a plain window with a
// child, a frame image of its size in one colour.
struct FakeDialog : TvlAnimDialog {
    TestForm Window{vcl::clWhite};
    vcl::TButton *Child = nullptr;
    TsSkinManager *Manager = nullptr;
    std::unique_ptr<vcl::TBitmap> Frame;
    int Renders = 0, Regions = 0, Prints = 0;
    static constexpr vcl::TColor FrameColour = 0x3050A0;
    vcl::TLifeMark Life;

    explicit FakeDialog(TsSkinManager *M) : Manager(M) {
        Window.Form->SetBounds(200, 150, 240, 160);
        Child = Window.Add(vcl::Create<vcl::TButton>(Window.Form), 20, 20);
        Window.Form->HandleNeeded();
        Child->HandleNeeded();
        Frame = NewBitmap32(Window.Form->Width(), Window.Form->Height());
        FillRectAlpha(*Frame, {0, 0, Frame->Width(), Frame->Height()}, FrameColour, 255);
    }
    const vcl::TLifeMark &LifeMark() const override { return Life; }
    HWND DialogWindow() const override { return Window.Form->Handle(); }
    TsSkinManager *DialogManager() const override { return Manager; }
    void RenderFrame() override { ++Renders; }
    vcl::TBitmap *FrameImage() const override { return Frame.get(); }
    vcl::TPoint FrameOffset() const override {
        RECT w{};
        POINT o{0, 0};
        GetWindowRect(DialogWindow(), &w);
        ClientToScreen(DialogWindow(), &o);
        return {o.x - w.left, o.y - w.top};
    }
    void PrintChildWindows(HDC DC) override {
        ++Prints;
        Child->PaintTo(DC, Child->Left(), Child->Top());
    }
    void UpdateRegion() override { ++Regions; }
    std::unique_ptr<vcl::TForm> TakeSnapshotForm() override { return CreateSnapshotForm(DialogWindow()); }
};

std::uint32_t PixelAt(const LayeredCall &C, int X, int Y) { return C.Pixels[static_cast<std::size_t>(Y * C.Size.cx + X)]; }

using DialogAnimations = FormsFixture;

TEST_F(DialogAnimations, ADialogShowsItsFrameAndPrintedChildrenInElevenFrames) {
    FakeDialog dialog(Manager.get());
    LayeredRecorder recorder(LayeredRecorder::Forward, true);
    AnimShowDialog(dialog, 100, 255, atFading);
    const std::vector<HWND> windows = LayeredRecorder::Windows();
    ASSERT_EQ(windows.size(), 1u);
    // The dialog's alpha step is the target / (steps + 1).
    EXPECT_EQ(LayeredRecorder::AlphasOf(windows[0]),
              (std::vector<int>{0, 23, 46, 70, 93, 116, 139, 162, 185, 209, 232, 255, 255}));
    EXPECT_FALSE(IsWindow(windows[0]));
    const LayeredCall last = LayeredRecorder::Calls.back();
    ASSERT_EQ(last.Pixels.size(), static_cast<std::size_t>(last.Size.cx * last.Size.cy));
    EXPECT_EQ(last.Size.cx, 240);
    EXPECT_EQ(PixelAt(last, 1, 1), 0xFF000000u | 0xA05030u);  // the frame image, opaque
    const vcl::TPoint client = dialog.FrameOffset();
    const std::uint32_t child = PixelAt(last, client.X + 30, client.Y + 30);
    EXPECT_EQ(child >> 24, 255u);
    EXPECT_NE(child & 0xFFFFFF, 0xA05030u);  // the child printed over it
    EXPECT_EQ(dialog.Renders, 1);
    EXPECT_EQ(dialog.Prints, 1);
    EXPECT_EQ(dialog.Regions, 1);
    EXPECT_TRUE(GetWindowLongPtrW(dialog.DialogWindow(), GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(ModuleState().FormAnimationActive);

    // Without a frame image nothing shows and the flag is lowered again.
    dialog.Frame.reset();
    LayeredRecorder none;
    AnimShowDialog(dialog, 100, 255, atFading);
    EXPECT_TRUE(LayeredRecorder::Calls.empty());
    EXPECT_FALSE(ModuleState().FormAnimationActive);
}

// A dialog shown with its animation comes out at the top, whatever stood
// over it when the show began.
TEST_F(DialogAnimations, AnAnimatedDialogComesOutAboveTheWindowsOverIt) {
    FakeDialog dialog(Manager.get());
    TestForm cover;
    cover.Form->SetBounds(600, 150, 120, 100);
    cover.Show();
    const HWND over = cover.Form->Handle(), shown = dialog.DialogWindow();
    SetWindowPos(over, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const auto above = [](HWND A, HWND B) {
        for (HWND w = GetWindow(A, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
            if (w == B) return true;
        return false;
    };
    ASSERT_TRUE(above(over, shown));
    AnimShowDialog(dialog, 100, 255, atFading);
    EXPECT_TRUE(above(shown, over));
}

// The same with an extended border form: its window plays the frames.
struct FakeBorderedDialog : FakeDialog {
    std::unique_ptr<vcl::TForm> Border{vcl::Create<vcl::TForm>(nullptr, vcl::CreateNew)};
    std::vector<std::string> Log;
    explicit FakeBorderedDialog(TsSkinManager *M) : FakeDialog(M) {
        Border->SetBorderStyle(vcl::bsNone);
        Border->HandleNeeded();
    }
    HWND MakeBorderWindow() override { return Log.push_back("make"), Border->Handle(); }
    void LockBorder(bool On) override { Log.push_back(On ? "lock" : "unlock"); }
    void RefreshBorder() override { Log.push_back("refresh"); }
    void UpdateRegion() override { Log.push_back("region"); }
    bool HasBorderForm() const override { return true; }
};

TEST_F(DialogAnimations, ABorderedDialogShowsInItsBorderWindowLockedWhileItRedraws) {
    FakeBorderedDialog dialog(Manager.get());
    const HWND border = dialog.Border->Handle();
    AnimShowDialog(dialog, 0, 255, atFading);  // the border form's window painted once
    dialog.Log.clear();
    SetWindowRgn(border, CreateRectRgn(0, 0, 10, 10), FALSE);
    const vcl::THandleCounts before = vcl::LiveHandles();
    LayeredRecorder recorder;
    AnimShowDialog(dialog, 100, 255, atFading);
    EXPECT_EQ(LayeredRecorder::Windows(), std::vector<HWND>{border});
    EXPECT_EQ(LayeredRecorder::Calls.size(), 13u);
    EXPECT_TRUE(LayeredRecorder::Calls.front().CentreShown);  // its region went first
    EXPECT_EQ(dialog.Log, (std::vector<std::string>{"make", "region", "lock", "region", "unlock", "refresh", "region"}));
    EXPECT_EQ(GetWindow(dialog.DialogWindow(), GW_HWNDNEXT), border);  // the border below the dialog
    EXPECT_TRUE(IsWindow(border));
    EXPECT_FALSE(ModuleState().FormAnimationActive);
    EXPECT_EQ(vcl::LiveHandles(), before);
}

TEST_F(DialogAnimations, TheClientPartOfADialogSnapshotIsOpaque) {
    FakeDialog dialog(Manager.get());
    dialog.Window.Show();
    const vcl::TPoint client = dialog.FrameOffset();
    auto image = NewBitmap32(240, 160);  // alpha 0 throughout
    SnapshotDialogWindow(dialog, *image, true);
    const auto alphaAt = [&](int X, int Y) { return static_cast<const std::uint32_t *>(image->ScanLine(Y))[X] >> 24; };
    EXPECT_EQ(alphaAt(client.X + 2, client.Y + 2), 255u);
    EXPECT_EQ(alphaAt(0, 0), 0u);  // the frame is the frame image's
    EXPECT_EQ(dialog.Prints, 0);

    // Printed: without a border form the whole picture becomes opaque.
    auto printed = NewBitmap32(240, 160);
    SnapshotDialogWindow(dialog, *printed, false);
    EXPECT_EQ(dialog.Prints, 1);
    EXPECT_EQ(static_cast<const std::uint32_t *>(printed->ScanLine(0))[0] >> 24, 255u);
}

TEST_F(DialogAnimations, ADialogHidesOnTheTimerWithoutAnEvent) {
    FakeDialog dialog(Manager.get());
    dialog.Window.Show();
    Manager->AnimEffects()->DialogHide->Time = 100;
    Manager->AnimEffects()->DialogHide->Mode = atAero;
    LayeredRecorder recorder;
    AnimHideDialog(dialog);
    EXPECT_FALSE(ModuleState().FormAnimationActive);
    ASSERT_TRUE(HideTimer() && HideTimer()->Window());
    const HWND hiding = HideTimer()->Window()->WindowHandle();
    ASSERT_TRUE(uitest::PumpUntil([] { return !HideTimer()->Window(); }, 3s));
    // The snapshot form's own picture, then the hide's first image and its frames.
    const std::vector<int> alphas = LayeredRecorder::AlphasOf(hiding);
    EXPECT_EQ(alphas, (std::vector<int>{255, 255, 230, 204, 178, 153, 128, 102, 76, 51, 26, 0, 0}));
    EXPECT_FALSE(IsWindow(hiding));

    // Without a manager nothing is played.
    dialog.Manager = nullptr;
    LayeredRecorder none;
    AnimHideDialog(dialog);
    EXPECT_TRUE(LayeredRecorder::Calls.empty());
}

} // namespace
} // namespace skin

namespace skin {
namespace {

using namespace skin::test;
using namespace std::chrono_literals;

// The alphas a form was told through SC_SET_FORM_ALPHA, its provider's
// handling behind.
struct AlphaTap {
    vcl::TControl *Control;
    vcl::TWndMethod Next;
    std::vector<int> Alphas;
    explicit AlphaTap(vcl::TControl *C) : Control(C), Next(C->WindowProc) {
        C->WindowProc = vcl::TWndMethod::Bind<&AlphaTap::Handle>(this);
    }
    ~AlphaTap() { Control->WindowProc = Next; }
    void Handle(vcl::TMessage &M) {
        if (M.Msg == SM_SKINCOMMAND && LOWORD(M.WParam) == 0 && HIWORD(M.WParam) == SC_SET_FORM_ALPHA)
            Alphas.push_back(static_cast<int>(M.LParam));
        Next(M);
    }
};

TEST_F(FormAnimations, ABlendedDragLowersTheAlphaEachTickAndTheGluedFormFollows) {
    Effects().BlendOnMoving->Active = true;  // 170 over 1000 ms: 0.85 a tick
    // The form of the test before, freed while visible, may still be
    // hiding where this one shows.
    ASSERT_TRUE(HideDone());
    ShowFilled();
    RECT r{};
    GetWindowRect(W(), &r);
    TestForm glued;
    glued.Form->SetName("Glued");
    glued.Form->SetBounds(r.right, r.top, 150, 120);  // touching the right edge
    vcl::Create<TsSkinProvider>(glued.Form);
    glued.Show();
    AlphaTap tap(glued.Form);
    P->GluedForms()->Add("Glued");

    POINT grip{(r.left + r.right) / 2, r.top + 2};
    while (grip.y < r.top + 40 && SendMessageW(W(), WM_NCHITTEST, 0, MAKELPARAM(grip.x, grip.y)) != HTCAPTION) ++grip.y;
    ASSERT_EQ(SendMessageW(W(), WM_NCHITTEST, 0, MAKELPARAM(grip.x, grip.y)), HTCAPTION);
    SetForegroundWindow(W());
    vcl::Application->ProcessMessages();
    ASSERT_EQ(WindowFromPoint(grip), W());

    // A blended move needs full-window dragging, which Wine leaves off.
    const uitest::TFullWindowDrag fullDrag;
    LayeredRecorder recorder;
    ASSERT_TRUE(uitest::DragWithMouse(grip, 60, 30, [&] { return !(P->StateFlags & pfBlendOnMoving); }));

    std::vector<int> alphas;
    for (const auto &[w, a] : LayeredRecorder::Attributes)
        if (w == W()) alphas.push_back(a);
    ASSERT_GE(alphas.size(), 10u);  // a tick each 10 ms through the move loop
    EXPECT_EQ(alphas.front(), 255);
    EXPECT_TRUE(std::is_sorted(alphas.rbegin(), alphas.rend()));  // falling, never rising
    EXPECT_LT(alphas.back(), 255);
    EXPECT_GE(alphas.back(), 170);
    RECT after{};
    GetWindowRect(W(), &after);
    EXPECT_NE(after.left, r.left);  // the drag moved it
    EXPECT_FALSE(GetWindowLongPtrW(W(), GWL_EXSTYLE) & WS_EX_LAYERED);  // opaque again
    EXPECT_FALSE(P->MoveTimer);
    // The glued form heard the same alphas, then 255.
    ASSERT_GE(tap.Alphas.size(), 2u);
    EXPECT_EQ(tap.Alphas.back(), 255);
    EXPECT_LT(*std::min_element(tap.Alphas.begin(), tap.Alphas.end()), 255);
}

TEST_F(FormAnimations, AChangeOfSizeEndsARunningBlend) {
    ShowFilled();
    Effects().BlendOnMoving->Active = true;
    P->StartBlendOnMoving(false);
    ASSERT_TRUE(P->MoveTimer);
    P->MoveTimer->Tick();
    P->MoveTimer->Tick();
    ASSERT_TRUE(GetWindowLongPtrW(W(), GWL_EXSTYLE) & WS_EX_LAYERED);
    SetWindowPos(W(), nullptr, 0, 0, F()->Width() + 30, F()->Height() + 20,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_FALSE(P->StateFlags & pfBlendOnMoving);
    EXPECT_FALSE(P->MoveTimer);
    EXPECT_FALSE(GetWindowLongPtrW(W(), GWL_EXSTYLE) & WS_EX_LAYERED) << "opaque again";
    // A move keeps it running.
    P->StartBlendOnMoving(false);
    SetWindowPos(W(), nullptr, 20, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(P->StateFlags & pfBlendOnMoving);
    P->EndBlendOnMoving(nullptr);
}

TEST_F(FormAnimations, BlendsWithoutTheOptionStayOpaqueAndLiveCountsStayFlat) {
    ShowFilled();
    P->StartBlendOnMoving(false);  // the manager's option is off
    EXPECT_FALSE(P->StateFlags & pfBlendOnMoving);

    Effects().BlendOnMoving->Active = true;
    Effects().BlendOnMoving->Time = 0;  // the target in one tick
    P->SetAllowBlendOnMoving(false);    // layered, but at 255
    P->StartBlendOnMoving(false);
    ASSERT_TRUE(P->MoveTimer);
    P->MoveTimer->Tick();
    P->MoveTimer->Tick();
    EXPECT_EQ(P->MoveTimer->CurrentAlpha, 255);
    P->EndBlendOnMoving(nullptr);
    P->SetAllowBlendOnMoving(true);

    const vcl::THandleCounts before = vcl::LiveHandles();
    for (int i = 0; i < 100; ++i) {
        P->StartBlendOnMoving(false);
        P->MoveTimer->Tick();
        P->MoveTimer->Tick();
        EXPECT_EQ(P->MoveTimer->CurrentAlpha, 170);
        P->EndBlendOnMoving(nullptr);
    }
    EXPECT_EQ(vcl::LiveHandles(), before);
    EXPECT_FALSE(GetWindowLongPtrW(W(), GWL_EXSTYLE) & WS_EX_LAYERED);
}

} // namespace
} // namespace skin

namespace skin {
namespace {

using namespace skin::test;
using namespace std::chrono_literals;

// Runs last in this program: it makes its form the application's main form.
TEST_F(FormAnimations, TheMainWindowHookHidesTheMainFormOnceAndTheEndingHideStartsNoOther) {
    vcl::Application->FormCreated(F());  // the main form
    ShowFilled();
    Effects().FormHide->Time = 100;
    Effects().FormHide->Mode = atFading;
    Heard.Heard.clear();
    LayeredRecorder recorder;
    const HWND app = vcl::Application->Handle();
    WINDOWPOS pos{app, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER};
    SendMessageW(app, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    EXPECT_FALSE(IsWindowVisible(W()));
    ASSERT_TRUE(HideDone());
    // One hide window with its frames; the form's own hiding (and the
    // hide that ends the animation) started no second one.
    int hides = 0;
    for (HWND w : AnimationWindows())
        if (LayeredRecorder::Of(w).size() >= 11u) ++hides;
    EXPECT_EQ(hides, 1);
    EXPECT_EQ(Heard.Heard, std::vector<TvlAnimEvent>{aeHiding});
    EXPECT_FALSE(GetWindowLongPtrW(W(), GWL_EXSTYLE) & WS_EX_LAYERED);
}

} // namespace
} // namespace skin
