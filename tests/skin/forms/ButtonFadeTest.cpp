// The fades of caption buttons under AllowGlowing, watched through the
// recording seam of the layered-window calls: the alphas of a fade in and
// out with and without AllowAnimation, a press shown at once, a mouse that
// left before the fade in ended, clicks falling through the layer, the
// live handle counts over a thousand fades, a user button that goes or
// hides taking its fade along, a border form fading without glowing, a
// glowing button fading as its glow picture, and the inactive look under
// a layer.
#include <gtest/gtest.h>

#include <functional>

#include "../manager/LayeredRecorder.h"
#include "BorderedFormSupport.h"
#include "CaptionTestSupport.h"
#include "skin/forms/vlSBAnimation.h"
#include "skin/graphics/vlPixelHelpers.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/HandleCounts.h"

namespace skin {
namespace {

using namespace skin::test;
using namespace std::chrono_literals;

struct ButtonFade : CaptionFixture {
    CaptionForm C;
    TsSkinProvider *P = C.P;
    void SetUp() override {
        // Nothing hot before a test makes it so: the mouse moves of the test
        // before (meant for a form that went) are dropped.
        ParkCursor();
        vcl::Application->ProcessMessages();
        MSG m;
        while (PeekMessageW(&m, nullptr, WM_NCMOUSEMOVE, WM_NCMBUTTONDBLCLK, PM_REMOVE)) {}
        while (PeekMessageW(&m, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {}
        C.Show();
        P->FormActive = 1;
        ASSERT_TRUE(P->ButtonFades(HTCLOSE));
    }
    TvlSBAnimation *Fade() const { return P->ButtonClose.Timer; }
    HWND Layer() const { return Fade() && Fade()->LayerForm() ? Fade()->LayerForm()->WindowHandle() : nullptr; }
    void CursorOn(const TsCaptionButton &B) const {
        RECT w{};
        GetWindowRect(C.Wnd(), &w);
        const vcl::TPoint c = CaptionForm::Centre(B.Rect);
        SetCursorPos(w.left + c.X, w.top + c.Y);
    }
    void CursorOnClose() const { CursorOn(P->ButtonClose); }
    // Ticks until the timer stops (at most 40).
    static void Tick(const TsCaptionButton &B) {
        for (int i = 0; i < 40 && B.Timer && B.Timer->Enabled(); ++i) B.Timer->TimerProc(nullptr);
    }
    void Tick() const { Tick(P->ButtonClose); }
    // The fades the provider owns.
    int FadesOwned() const {
        int n = 0;
        for (int i = 0; i < P->ComponentCount(); ++i) n += dynamic_cast<TvlSBAnimation *>(P->Components(i)) != nullptr;
        return n;
    }
};

TEST_F(ButtonFade, AHotButtonFadesInInTenStepsAndOutAgain) {
    CursorOnClose();
    LayeredRecorder recorder;
    P->SetHotButton(HTCLOSE, true);
    ASSERT_TRUE(Fade());
    const HWND layer = Layer();
    ASSERT_TRUE(layer);
    EXPECT_EQ(LayeredRecorder::AlphasOf(layer), std::vector<int>{25});  // at once
    EXPECT_TRUE(Fade()->Enabled());
    Tick();  // stops only once the mouse has left: here it stays
    EXPECT_EQ(LayeredRecorder::AlphasOf(layer), (std::vector<int>{25, 50, 75, 100, 125, 150, 175, 200, 225, 255}));
    EXPECT_EQ(Fade()->Fade.MaxSteps, -1);
    // The layer lies over the button, above the form; the frame keeps the
    // button normal under it.
    RECT w{}, l{};
    GetWindowRect(C.Wnd(), &w);
    GetWindowRect(layer, &l);
    EXPECT_EQ(l.left - w.left, P->ButtonClose.Rect.Left);
    EXPECT_EQ(l.top - w.top, P->ButtonClose.Rect.Top);
    EXPECT_EQ(GetWindow(layer, GW_HWNDNEXT), C.Wnd());
    const vcl::TColor normal = CachePixel(P, Inside(P->ButtonClose));

    LayeredRecorder out;
    P->SetHotButton(0, true);
    EXPECT_EQ(LayeredRecorder::AlphasOf(layer), std::vector<int>{250});
    Tick();
    EXPECT_EQ(LayeredRecorder::AlphasOf(layer),
              (std::vector<int>{250, 225, 200, 175, 150, 125, 100, 75, 50, 25}));
    EXPECT_FALSE(IsWindow(layer));  // removed on the tick after 25
    EXPECT_EQ(Fade()->Fade.State, -1);
    EXPECT_EQ(CachePixel(P, Inside(P->ButtonClose)), normal);
}

// A button whose glow has a margin fades in as the skin's glow picture
// ("...GLOW0"), standing out by that margin; without a margin, as itself;
// and as itself where the glow's rect runs out of the skin's picture.
TEST_F(ButtonFade, AGlowingButtonFadesInAsItsGlowPictureAroundIt) {
    for (const auto &[name, glow] : {std::pair{"Glowing", "@0045,0030,0055,0040,1,0"},
                                     std::pair{"GlowBeyond", "^0045,0030,9999,9999,0000,0000,0000,0000,1,0,0,0"}}) {
        TestSkin skin;
        skin.Options = CaptionOptions();
        skin.Options.insert(skin.Options.find("[FORM]"), std::string("BICONCLOSEGLOW0=") + glow + "\r\n");
        skin.Files = {{"MASTER.BMP", CaptionMaster()}};
        AddStoredSkin(*Manager, name, skin.Packed());
    }
    struct Case {
        const char *Skin;
        int Margin;
        vcl::TSize Size;
        vcl::TColor Colour;
        int Standing;  // how far the picture stands out of the button
    };
    for (const Case &c : {Case{"Glowing", 3, {10, 10}, GripColor, 3}, Case{"Glowing", 0, {GlyphSize, GlyphSize}, CloseColors.Hot, 0},
                          Case{"GlowBeyond", 3, {GlyphSize, GlyphSize}, CloseColors.Hot, 0}}) {
        SCOPED_TRACE(std::string(c.Skin) + " " + std::to_string(c.Margin));
        Manager->SetSkinName(c.Skin);
        C.Layout();
        P->FormActive = 1;
        CursorOnClose();
        Manager->SkinData->BIconCloseGlowMargin = c.Margin;
        LayeredRecorder recorder(LayeredRecorder::Forward, true);
        P->SetHotButton(HTCLOSE, true);
        const std::vector<LayeredCall> calls = LayeredRecorder::Of(Layer());
        ASSERT_FALSE(calls.empty());
        const LayeredCall &first = calls.front();
        EXPECT_EQ(first.Size.cx, c.Size.cx);
        EXPECT_EQ(first.Size.cy, c.Size.cy);
        RECT w{};
        GetWindowRect(C.Wnd(), &w);
        EXPECT_EQ(first.WindowRect.left - w.left, P->ButtonClose.Rect.Left - c.Standing);
        EXPECT_EQ(first.WindowRect.top - w.top, P->ButtonClose.Rect.Top - c.Standing);
        ASSERT_FALSE(first.Pixels.empty());
        EXPECT_EQ(SwapRedBlue(first.Pixels[first.Pixels.size() / 2]) & 0xFFFFFF, c.Colour);
        P->SetHotButton(0, true);
        Tick();
    }
}

TEST_F(ButtonFade, WithoutAnimationTheHotLookShowsAtOnceAndGoesOnTheSecondTick) {
    Manager->Effects()->AllowAnimation = false;
    CursorOnClose();
    LayeredRecorder recorder;
    P->SetHotButton(HTCLOSE, true);
    const HWND layer = Layer();
    ASSERT_TRUE(layer);
    EXPECT_EQ(LayeredRecorder::AlphasOf(layer), std::vector<int>{255});
    EXPECT_FALSE(Fade()->Enabled());  // no timer for a one-step fade in
    P->SetHotButton(0, true);
    EXPECT_TRUE(Fade()->Enabled());
    Fade()->TimerProc(nullptr);
    EXPECT_TRUE(IsWindow(layer));
    Fade()->TimerProc(nullptr);
    EXPECT_FALSE(IsWindow(layer));
    EXPECT_EQ(LayeredRecorder::AlphasOf(layer), (std::vector<int>{255, 255, 255}));
}

TEST_F(ButtonFade, APressShowsThePressedLookAtOnceAndClicksFallThroughTheLayer) {
    CursorOnClose();
    LayeredRecorder recorder;
    P->SetHotButton(HTCLOSE, true);
    Tick();
    const std::uint32_t hot = LayeredRecorder::Calls.back().Digest;
    const HWND hotLayer = Layer();
    P->SetPressedButton(HTCLOSE);
    const LayeredCall pressed = LayeredRecorder::Calls.back();
    EXPECT_EQ(pressed.Alpha, 255);  // one step
    EXPECT_NE(pressed.Digest, hot);  // the picture made again
    EXPECT_NE(Layer(), hotLayer);    // on a new layer
    EXPECT_FALSE(IsWindow(hotLayer));
    FormsState().FormButtonPressed = false;

    // The layer takes no click: the form is hit under it.
    RECT w{};
    GetWindowRect(C.Wnd(), &w);
    const vcl::TPoint c = CaptionForm::Centre(P->ButtonClose.Rect);
    EXPECT_TRUE(GetWindowLongPtrW(Layer(), GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    EXPECT_EQ(WindowFromPoint(POINT{w.left + c.X, w.top + c.Y}), C.Wnd());
}

TEST_F(ButtonFade, AMouseThatLeftMidFadeResetsTheButtonOnceTheFadeInEnds) {
    CursorOnClose();
    LayeredRecorder recorder;
    P->SetHotButton(HTCLOSE, true);
    const HWND layer = Layer();
    Fade()->TimerProc(nullptr);
    ParkCursor();  // left without a leave message
    Tick();
    // The fade in completed (255 shown), then the form heard WM_MOUSELEAVE:
    // the button is normal again and fades out.
    const std::vector<int> alphas = LayeredRecorder::AlphasOf(layer);
    ASSERT_GE(alphas.size(), 11u);
    EXPECT_EQ(alphas[9], 255);
    EXPECT_EQ(alphas[10], 250);
    EXPECT_NE(P->CurrentButton, HTCLOSE);
    EXPECT_EQ(P->ButtonClose.State, 0);
}

// Under its layer a button of an inactive form is drawn with the frame in
// its inactive normal look, a user button as a system one.
TEST_F(ButtonFade, UnderItsLayerAButtonOfAnInactiveFormKeepsTheInactiveLook) {
    P->TitleButtons()->Add();
    C.Layout();
    P->FormActive = 0;
    for (const int code : {HTCLOSE, 1000}) {
        SCOPED_TRACE(code);
        TsCaptionButton &b = code == HTCLOSE ? P->ButtonClose : P->TitleButtons()->Items(0)->Data;
        CursorOn(b);
        P->SetHotButton(code, true);
        ASSERT_NE(b.Timer, nullptr);
        P->SkinData()->BGChanged = true;
        ASSERT_TRUE(P->RenderFrame());
        EXPECT_NE(CachePixel(P, Inside(b)), code == HTCLOSE ? CloseColors.Normal : UserColors.Normal);
        P->SetHotButton(0, true);
        Tick(b);
    }
}

TEST_F(ButtonFade, LiveCountsStayFlatOverAThousandFades) {
    Manager->Effects()->AllowAnimation = false;
    CursorOnClose();
    P->SetHotButton(HTCLOSE, true);
    P->SetHotButton(0, true);
    Tick();
    const vcl::THandleCounts before = vcl::LiveHandles();
    for (int i = 0; i < 1000; ++i) {
        P->SetHotButton(HTCLOSE, true);
        P->SetHotButton(0, true);
        Tick();
    }
    EXPECT_EQ(vcl::LiveHandles(), before);
}

TEST_F(ButtonFade, WithoutLayeredWindowsOrGlowingAButtonIsPaintedAtOnce) {
    {
        LayeredRecorder none(LayeredRecorder::NoLayeredWindows);
        EXPECT_FALSE(P->ButtonFades(HTCLOSE));
        P->SetHotButton(HTCLOSE, true);
        EXPECT_FALSE(Fade());
        P->SetHotButton(0, true);
    }
    Manager->Effects()->AllowGlowing = false;
    EXPECT_FALSE(P->ButtonFades(HTCLOSE));
    Manager->Effects()->AllowGlowing = true;
    // Nor while a form animation runs, or for an MDI button.
    ModuleState().FormAnimationActive = true;
    EXPECT_FALSE(P->ButtonFades(HTCLOSE));
    ModuleState().FormAnimationActive = false;
    EXPECT_FALSE(P->ButtonFades(htMDIClose));
}

TEST_F(ButtonFade, AUserButtonThatGoesOrHidesTakesItsFadeAndLayerAlong) {
    TsTitleButtons *buttons = P->TitleButtons();
    TsTitleButtons replacement(P);
    replacement.Add();
    // One visible user button, made hot: its fade runs, its layer shows.
    const auto hover = [&] {
        if (buttons->Count() == 0) buttons->Add();
        buttons->Items(0)->SetVisible(true);
        C.Layout();
        P->SetHotButton(0, false);
        CursorOn(buttons->Items(0)->Data);
        P->SetHotButton(1000, true);
        const TvlSBAnimation *fade = buttons->Items(0)->Data.Timer;
        return fade && fade->LayerForm() && IsWindowVisible(fade->LayerForm()->WindowHandle());
    };
    // The first fade's lasting handles (caches, classes) exist before counting.
    ASSERT_TRUE(hover());
    P->SetHotButton(0, true);
    Tick(buttons->Items(0)->Data);
    buttons->Clear();
    const vcl::THandleCounts before = vcl::LiveHandles();

    const std::vector<std::pair<const char *, std::function<void()>>> ways{
        {"deleted", [&] { buttons->Delete(0); }},
        {"cleared", [&] { buttons->Clear(); }},
        {"replaced by a new collection", [&] { P->SetTitleButtons(&replacement); }},
        {"hidden", [&] { buttons->Items(0)->SetVisible(false); }},
    };
    for (const auto &[what, change] : ways) {
        ASSERT_TRUE(hover()) << what;
        change();
        EXPECT_EQ(FadesOwned(), 0) << what;
        uitest::PumpUntil([] { return false; }, 100ms);  // a fade left behind would tick now
        P->SetHotButton(0, false);
        buttons->Clear();
        EXPECT_EQ(vcl::LiveHandles(), before) << what;
    }

    // A new glyph drops the fade of a hot button: the next hover makes its picture.
    ASSERT_TRUE(hover());
    const HWND layer = buttons->Items(0)->Data.Timer->LayerForm()->WindowHandle();
    vcl::TBitmap glyph;
    glyph.SetSize(5, 5);
    buttons->Items(0)->SetGlyph(&glyph);
    EXPECT_EQ(buttons->Items(0)->Data.Timer, nullptr);
    EXPECT_FALSE(IsWindow(layer));
    EXPECT_EQ(FadesOwned(), 0);
}

// A form with a border form fades its buttons also without AllowGlowing.
TEST(BorderedButtonFade, AButtonOfABorderedFormFadesWithoutGlowing) {
    const FormsModules modules;
    ManagerPtr manager = BorderedManager();
    manager->Effects()->AllowGlowing = false;
    BorderedForm form;
    ASSERT_TRUE(form.Border());
    TsSkinProvider *p = form.P;
    ParkCursor();
    p->FormActive = 1;
    EXPECT_TRUE(p->ButtonFades(HTCLOSE));
    p->SetHotButton(HTCLOSE, true);
    EXPECT_TRUE(p->ButtonClose.Timer);
    p->SetHotButton(0, true);
}

} // namespace
} // namespace skin
