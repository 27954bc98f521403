// The animations of a form with an extended border, watched through the
// recording seam of the layered-window calls: the snapshot is the border's
// frame image with the window printed at its offset in it; the show and
// the hide play that image where the border lies; a skin change fades the
// old look out through the border window while the new one fades in; a
// caption button fades over the border window; the live counts stay flat.
#include <gtest/gtest.h>

#include <algorithm>

#include "../manager/LayeredRecorder.h"
#include "BorderedFormSupport.h"
#include "skin/forms/vlSBAnimation.h"
#include "skin/manager/sModuleState.h"
#include "skin/manager/vlAnimFrames.h"
#include "skin/manager/vlFormAnimations.h"
#include "skin/manager/vlSnapshots.h"
#include "vcl/ControlCanvas.h"
#include "vcl/GdiObjects.h"
#include "vcl/HandleCounts.h"

namespace skin {
namespace {

using namespace skin::test;

struct BorderAnimations : ::testing::Test {
    static void SetUpTestSuite() { Modules = std::make_unique<FormsModules>(); }
    static void TearDownTestSuite() { Modules.reset(); }
    static inline std::unique_ptr<FormsModules> Modules;

    BorderAnimations() { SetCursorPos(5, 5); }
    ManagerPtr Manager = BorderedManager();
    TvlAnimEffects &Effects() { return *Manager->AnimEffects(); }
    // The windows other than these that showed frames.
    static std::vector<HWND> Others(std::initializer_list<HWND> Known) {
        std::vector<HWND> w = LayeredRecorder::Windows();
        for (HWND k : Known) w.erase(std::remove(w.begin(), w.end(), k), w.end());
        return w;
    }
    static bool HideDone() {
        return uitest::PumpUntil([] { return !HideTimer() || !HideTimer()->Window(); }, 3s);
    }
};

// A child window that fills itself green.
class TGreen : public vcl::TCustomControl {
public:
    using vcl::TCustomControl::TCustomControl;

protected:
    void Paint() override {
        const vcl::TBrushHandle brush(CreateSolidBrush(RGB(0x00, 0xC0, 0x00)));
        const RECT r{0, 0, Width(), Height()};
        FillRect(Canvas()->Handle(), &r, brush.Get());
    }
};

std::uint32_t PixelOf(const LayeredCall &C, int X, int Y) {
    return C.Pixels[static_cast<std::size_t>(Y) * static_cast<std::size_t>(C.Size.cx) + static_cast<std::size_t>(X)];
}

TEST_F(BorderAnimations, ASnapshotIsTheBorderImageWithTheWindowAtItsOffset) {
    BorderedForm f;
    ASSERT_TRUE(f.Border());
    auto *green = new TGreen(f.Form.Form);
    green->SetBounds(20, 30, 60, 40);
    green->SetParent(f.Form.Form);
    vcl::Application->ProcessMessages();
    ASSERT_TRUE(f.P->RenderFrame());
    vcl::TBitmap &cache = *f.P->SkinData()->CacheBmp();
    auto image = NewBitmap32(cache.Width(), cache.Height());
    ASSERT_TRUE(HasBorderForm(*f.P));
    PaintControlToBitmap(*image, f.Form.Form, 0, 0, f.P);
    GdiFlush();
    const vcl::TPoint o = f.Off();
    const int cx = f.P->GetClientOffsetX(), cy = f.P->GetClientOffsetY();
    // The window's frame where the border image has it.
    const int right = o.X + f.Form.Form->Width();
    for (const vcl::TPoint p : {vcl::TPoint{o.X + 80, o.Y + 5}, vcl::TPoint{o.X + 2, cy + 100},
                                vcl::TPoint{right - 3, cy + 50}})
        EXPECT_EQ(image->View().At(p.X, p.Y) & 0xFFFFFF, cache.View().At(p.X, p.Y) & 0xFFFFFF) << p.X << "," << p.Y;
    // The child window at its place in the client area, which is opaque.
    EXPECT_EQ(image->View().At(cx + 50, cy + 50) & 0xFFFFFF, 0x00C000u);
    EXPECT_EQ(image->View().At(cx + 50, cy + 50) >> 24, 255u);
    EXPECT_EQ(image->View().At(cx + 200, cy + 150) >> 24, 255u);
    // The shadow is not the window's to paint.
    EXPECT_EQ(image->View().At(1, 1), 0u);
}

TEST_F(BorderAnimations, AShowPlaysTheBorderImageWhereTheBorderLies) {
    Effects().FormShow->Time = 100;
    LayeredRecorder recorder(LayeredRecorder::Forward, true);
    BorderedForm f(vcl::bsSizeable, {300, 200, 720, 500}, false);
    auto *green = new TGreen(f.Form.Form);
    green->SetBounds(20, 30, 60, 40);
    green->SetParent(f.Form.Form);
    f.ShowSkinned();
    ASSERT_TRUE(f.Border());
    // The border window itself plays the frames, its hole closed meanwhile.
    for (HWND w : Others({f.Wnd(), f.Border()})) EXPECT_LT(LayeredRecorder::Of(w).size(), 11u);
    const std::vector<LayeredCall> frames = LayeredRecorder::Of(f.Border());
    ASSERT_GE(frames.size(), 12u);
    for (const LayeredCall &c : frames) EXPECT_TRUE(c.CentreShown);
    vcl::TBitmap &cache = *f.P->SkinData()->CacheBmp();
    const vcl::TRect border = f.Place();
    const LayeredCall &last = frames.back();
    EXPECT_EQ(last.Size.cx, cache.Width());
    EXPECT_EQ(last.Size.cy, cache.Height());
    EXPECT_EQ(last.WindowRect.left, border.Left);
    EXPECT_EQ(last.WindowRect.top, border.Top);
    EXPECT_EQ(last.Alpha, 255);
    // (The border's own update before the show may come first.)
    const std::vector<int> alphas = LayeredRecorder::AlphasOf(f.Border());
    const std::vector<int> opening{0, 26, 51};
    EXPECT_NE(std::search(alphas.begin(), alphas.end(), opening.begin(), opening.end()), alphas.end());
    // The child where the client area lies in the border's image, opaque;
    // the shadow comes with it.
    const vcl::TRect m = f.M();
    const int cx = f.P->GetClientOffsetX(), cy = f.P->GetClientOffsetY();
    EXPECT_EQ(PixelOf(last, cx + 50, cy + 50), 0xFF00C000u);
    bool shadow = false;
    for (int y = 0; y < last.Size.cy; ++y)
        for (int x = 0; x < m.Left; ++x) shadow = shadow || (PixelOf(last, x, y) >> 24) != 0;
    EXPECT_TRUE(shadow);
    // The border stays: shown, with its hole again, the form visible.
    EXPECT_TRUE(IsWindowVisible(f.Border()));
    EXPECT_TRUE(BorderedForm::RectOf(f.Border()) == border);
    const vcl::TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(f.Border(), region.Get()), ERROR);
    EXPECT_FALSE(PtInRegion(region.Get(), cx + 50, cy + 50));
    EXPECT_TRUE(IsWindowVisible(f.Wnd()));
    EXPECT_FALSE(ModuleState().FormAnimationActive);
    // Only a skin that blurs behind its border has the border shown anew
    // (with its hole) at the end of the show; else the show's last image stays.
    EXPECT_EQ(frames.back().Alpha, 255);
    for (const bool blur : {false, true}) {
        Manager->SkinData->AeroBlur = blur;
        LayeredRecorder again;
        skin::AnimShowForm(*f.P, 0, 255, atFading);
        const std::vector<LayeredCall> calls = LayeredRecorder::Of(f.Border());
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(calls.back().CentreShown, !blur) << blur;
    }
    Manager->SkinData->AeroBlur = false;
}

TEST_F(BorderAnimations, AHidePlaysTheBorderImageWhereTheBorderLay) {
    BorderedForm f;
    ASSERT_TRUE(f.Border());
    const vcl::TRect border = BorderedForm::RectOf(f.Border());
    Effects().FormHide->Time = 100;
    LayeredRecorder recorder;
    const HWND taken = f.Border();
    f.Form.Form->Hide();
    // The border window plays the hide as a window of its own: owned no
    // more by the form, its own procedure back (no border hit-test code).
    ASSERT_TRUE(HideTimer() && HideTimer()->Window());
    EXPECT_EQ(HideTimer()->Window()->WindowHandle(), taken);
    EXPECT_NE(GetWindow(taken, GW_OWNER), f.Wnd());
    EXPECT_NE(SendMessageW(taken, WM_NCHITTEST, 0, MAKELPARAM(border.Left + 5, border.Top + 5)), htBorderWindow);
    ASSERT_TRUE(HideDone());
    EXPECT_FALSE(IsWindow(taken));
    std::vector<LayeredCall> frames = LayeredRecorder::Of(taken);
    ASSERT_GE(frames.size(), 12u);
    for (const LayeredCall &c : frames) {
        EXPECT_EQ(c.Size.cx, border.Width());
        EXPECT_EQ(c.Size.cy, border.Height());
        EXPECT_EQ(c.WindowRect.left, border.Left);
        EXPECT_EQ(c.WindowRect.top, border.Top);
    }
    for (std::size_t i = 1; i < frames.size(); ++i) EXPECT_LE(frames[i].Alpha, frames[i - 1].Alpha);
    EXPECT_FALSE(f.P->BorderWindow());
    EXPECT_FALSE(IsWindowVisible(f.Wnd()));
}

TEST_F(BorderAnimations, ASkinChangeFadesTheOldLookOutThroughTheBorderWindow) {
    AddStoredSkin(*Manager, "Second", FileBytes(HostPath(ZUVO_BERYLLO_DATA)));
    BorderedForm f;
    ASSERT_TRUE(f.Border());
    Effects().SkinChanging->Time = 100;
    Effects().SkinChanging->Mode = atFading;
    LayeredRecorder recorder;
    Manager->SetSkinName("Second");
    ASSERT_TRUE(f.P->BorderWindow());
    const HWND border = f.P->BorderWindow();
    std::vector<LayeredCall> fadeIn;
    for (HWND w : Others({f.Wnd(), border}))
        if (LayeredRecorder::Of(w).size() == 12u) fadeIn = LayeredRecorder::Of(w);
    ASSERT_EQ(fadeIn.size(), 12u);
    const vcl::TRect place = f.Place();
    EXPECT_EQ(fadeIn[0].WindowRect.left, place.Left);
    EXPECT_EQ(fadeIn[0].WindowRect.top, place.Top);
    // Per frame of the new look, the old one at three times what is left:
    // full until 85 below the target, gone at the end.
    std::vector<int> expected{255};
    for (std::size_t i = 1; i < fadeIn.size(); ++i) expected.push_back(OldImageAlpha(255, fadeIn[i].Alpha));
    expected.push_back(0);
    const std::vector<int> old = LayeredRecorder::AlphasOf(border);
    EXPECT_NE(std::search(old.begin(), old.end(), expected.begin(), expected.end()), old.end())
        << ::testing::PrintToString(old);
    EXPECT_TRUE(IsWindowVisible(border));
    EXPECT_FALSE(ModuleState().FormAnimationActive);
    EXPECT_FALSE(f.P->SavedFormImage);
}

TEST_F(BorderAnimations, ACaptionButtonFadesOverTheBorderWindow) {
    BorderedForm f;
    ASSERT_TRUE(uitest::ActivateAndWait(f.Wnd(), 2s));
    f.P->FormActive = 1;
    ASSERT_TRUE(f.P->ButtonFades(HTCLOSE));
    const vcl::TRect button = f.P->ButtonClose.Rect;
    const vcl::TPoint centre = f.OnScreen({(button.Left + button.Right) / 2, (button.Top + button.Bottom) / 2});
    SetCursorPos(centre.X, centre.Y);
    LayeredRecorder recorder;
    f.P->SetHotButton(HTCLOSE, true);
    TvlSBAnimation *fade = f.P->ButtonClose.Timer;
    ASSERT_TRUE(fade && fade->LayerForm());
    const HWND layer = fade->LayerForm()->WindowHandle();
    for (int i = 0; i < 40 && fade->Enabled(); ++i) fade->TimerProc(nullptr);
    EXPECT_EQ(LayeredRecorder::AlphasOf(layer), (std::vector<int>{25, 50, 75, 100, 125, 150, 175, 200, 225, 255}));
    // Over the button where the border window shows it, above that window
    // (under it, the look would never show).
    const vcl::TRect l = BorderedForm::RectOf(layer), b = BorderedForm::RectOf(f.Border());
    EXPECT_EQ(l.Left - b.Left, button.Left);
    EXPECT_EQ(l.Top - b.Top, button.Top);
    EXPECT_EQ(ShownBelow(layer), f.Border());
    // The border's image keeps the button opaque and normal under the layer.
    EXPECT_EQ(f.P->SkinData()->CacheBmp()->View().At(button.Left + 2, button.Top + 2) >> 24, 255u);

    f.P->SetHotButton(0, true);
    for (int i = 0; i < 40 && fade->Enabled(); ++i) fade->TimerProc(nullptr);
    EXPECT_FALSE(IsWindow(layer));
    SetCursorPos(5, 5);
}

// The strip kept behind the caption buttons reaches into the shadow beside
// the frame: a hover and its end leave that shadow as the image had it.
TEST_F(BorderAnimations, AHoverLeavesTheShadowBesideTheCaptionButtons) {
    BorderedForm f;
    ASSERT_TRUE(uitest::ActivateAndWait(f.Wnd(), 2s));
    f.P->FormActive = 1;
    f.P->SkinData()->BGChanged = true;
    ASSERT_TRUE(f.P->RenderFrame());
    const vcl::TBitmapView cache = f.P->SkinData()->CacheBmp()->View();
    ASSERT_TRUE(f.P->ButtonsBackup);
    const int top = f.P->ButtonsBackupPos.Y, bottom = top + f.P->ButtonsBackup->Height();
    const auto margin = [&] {
        std::vector<std::uint32_t> pixels;
        for (int y = top; y < bottom; ++y)
            for (int x = cache.Width - f.M().Right; x < cache.Width; ++x) pixels.push_back(cache.At(x, y));
        return pixels;
    };
    const std::vector<std::uint32_t> before = margin();
    ASSERT_TRUE(std::any_of(before.begin(), before.end(), [](std::uint32_t p) { return p >> 24 < 255; }))
        << "a shadow lies there";
    for (const int code : {HTCLOSE, 0}) {
        f.P->SetHotButton(code, true);
        if (TvlSBAnimation *fade = f.P->ButtonClose.Timer)
            for (int i = 0; i < 40 && fade->Enabled(); ++i) fade->TimerProc(nullptr);
    }
    EXPECT_EQ(margin(), before);
}

// A move of the border window leaves a fade's layer behind: it goes, and
// the frame shows the hot button itself, in the same update as the move.
TEST_F(BorderAnimations, AMoveDropsTheFadesAndTheFrameShowsTheHotButton) {
    BorderedForm f;
    ASSERT_TRUE(uitest::ActivateAndWait(f.Wnd(), 2s));
    f.P->FormActive = 1;
    const vcl::TRect button = f.P->ButtonClose.Rect;
    const vcl::TPoint centre = f.OnScreen({(button.Left + button.Right) / 2, (button.Top + button.Bottom) / 2});
    SetCursorPos(centre.X, centre.Y);
    f.P->SetHotButton(HTCLOSE, true);
    TvlSBAnimation *fade = f.P->ButtonClose.Timer;
    ASSERT_TRUE(fade && fade->LayerForm() && fade->Picture());
    for (int i = 0; i < 40 && fade->Enabled(); ++i) fade->TimerProc(nullptr);
    const HWND layer = fade->LayerForm()->WindowHandle();
    const int px = button.Width() / 2, py = button.Height() / 2;
    const std::uint32_t hot = fade->Picture()->View().At(px, py) & 0xFFFFFF;
    const std::uint32_t plain = f.P->SkinData()->CacheBmp()->View().At(button.Left + px, button.Top + py) & 0xFFFFFF;
    ASSERT_NE(hot, plain) << "the frame shows the button plain under its layer";

    LayeredRecorder recorder(LayeredRecorder::Forward, true);
    const vcl::TRect r = BorderedForm::RectOf(f.Wnd());
    f.Form.Form->SetBounds(r.Left + 30, r.Top + 20, r.Width(), r.Height());
    EXPECT_EQ(f.P->ButtonClose.Timer, nullptr);
    EXPECT_FALSE(IsWindow(layer));
    const std::vector<LayeredCall> calls = LayeredRecorder::Of(f.Border());
    ASSERT_FALSE(calls.empty() || calls.back().Pixels.empty());
    EXPECT_EQ(PixelOf(calls.back(), button.Left + px, button.Top + py) & 0xFFFFFF, hot);
    EXPECT_EQ(calls.back().Place.x, BorderedForm::RectOf(f.Wnd()).Left - f.Off().X) << "where the move put it";
    EXPECT_FALSE(f.P->BorderForm->Border().Updating);
    SetCursorPos(5, 5);
}

TEST_F(BorderAnimations, TheVeilOfADisabledFormCoversItsBorderToo) {
    BorderedForm f;
    ASSERT_TRUE(f.Border());
    f.P->SetDisabledBlendValue(128);
    f.Form.Form->SetEnabled(false);
    ASSERT_TRUE(f.P->DisabledVeil);
    // One pixel beyond the whole border image.
    const vcl::TRect place = f.Place();
    const vcl::TRect veil = BorderedForm::RectOf(f.P->DisabledVeil->WindowHandle());
    EXPECT_EQ(veil, (vcl::TRect{place.Left - 1, place.Top - 1, place.Right + 1, place.Bottom + 1}));
    EXPECT_EQ(BorderedForm::RectOf(f.Border()), place);
    EXPECT_TRUE(IsWindowVisible(f.P->DisabledVeil->WindowHandle()));
    f.Form.Form->SetEnabled(true);
    EXPECT_FALSE(f.P->DisabledVeil);
}

TEST_F(BorderAnimations, LiveCountsStayFlatOverShowsHidesAndFades) {
    Effects().FormShow->Time = 20;
    Effects().FormHide->Time = 20;
    const auto cycle = [&] {
        BorderedForm f;
        f.P->SetHotButton(HTCLOSE, true);
        f.P->SetHotButton(0, true);
        f.Form.Form->Hide();
        HideDone();
    };
    cycle();
    const vcl::THandleCounts before = vcl::LiveHandles();
    for (int i = 0; i < 20; ++i) cycle();
    EXPECT_EQ(vcl::LiveHandles(), before);
}

} // namespace
} // namespace skin
