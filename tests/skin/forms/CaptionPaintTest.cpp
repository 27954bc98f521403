// The caption in the frame image: the text in its box and colours by
// state, its alignments (right to left too) with a caption too long for
// its space, the added title, the glow image kept while the text fits, the
// form's icon, the strip behind the system's buttons, and a frame drawn
// without its caption.
#include <gtest/gtest.h>

#include "FramePaintTestSupport.h"
#include "skin/graphics/vlImageHelpers.h"
#include "skin/manager/sSkinManager.h"

namespace skin {
namespace {

using namespace skin::test;
using CaptionPaint = FramePaint;

// The text's space: after the frame, the icon, 4 pixels, the skin's
// "BILEFT" (2) and 2 more beside the section "CAPTION"; up to the buttons
// and 12 pixels.
int TextLeft(PreparedForm &F) { return F.FrameWidth() + F.Provider->TitleIconWidth() + 8; }
int TextRight(PreparedForm &F) { return F.Cache().Width() - F.Provider->ButtonsWidth() - 12; }

TEST_F(CaptionPaint, TheTextLiesInItsBoxInTheColoursOfTheFormsState) {
    PreparedForm f(vcl::bsSizeable, "Setup MERKANO ZUVO");
    for (const bool active : {false, true}) {
        SCOPED_TRACE(active);
        ASSERT_TRUE(f.Render(active));
        vcl::TBitmap &c = f.Cache();
        // The box is the text's rectangle grown by 4 and 2 pixels, centred
        // on the caption's centre line; every pixel of the text's colour lies
        // inside it.
        const vcl::TRect box = CountColour(c, active ? TextBoxActive : TextBox).Bounds;
        const ColourCount text = CountColour(c, active ? TextActive : Text);
        EXPECT_EQ(box.Left, TextLeft(f) - 4);
        EXPECT_NEAR((box.Top + box.Bottom) / 2.0, f.Provider->ButtonCenterY, 1.0);
        EXPECT_GE(box.Height(), 12);
        EXPECT_GT(box.Width(), 60);
        EXPECT_GT(text.Count, 40);
        EXPECT_GE(text.Bounds.Left, box.Left + 4);
        EXPECT_LE(text.Bounds.Right, box.Right - 4);
        EXPECT_GE(text.Bounds.Top, box.Top + 2);
        EXPECT_LE(text.Bounds.Bottom, box.Bottom - 2);
        EXPECT_EQ(PixelAt(c, box.Left - 1, box.Top), active ? BandActive : Band);
        EXPECT_EQ(CountColour(c, active ? Text : TextActive).Count, 0);
    }
}

TEST_F(CaptionPaint, AlignmentsPlaceTheTextAndALongCaptionEndsInItsSpace) {
    PreparedForm f(vcl::bsSizeable, "Ab");
    f.Provider->SetCaptionAlignment(vcl::taRightJustify);
    ASSERT_TRUE(f.Render(false));
    EXPECT_EQ(CountColour(f.Cache(), TextBox).Bounds.Right, TextRight(f));
    // A form that reads right to left swaps left and right.
    const LONG_PTR style = GetWindowLongPtrW(f.Window(), GWL_EXSTYLE);
    SetWindowLongPtrW(f.Window(), GWL_EXSTYLE, style | WS_EX_RTLREADING);
    f.Provider->SetCaptionAlignment(vcl::taLeftJustify);
    ASSERT_TRUE(f.Render(false));
    EXPECT_EQ(CountColour(f.Cache(), TextBox).Bounds.Right, TextRight(f));
    SetWindowLongPtrW(f.Window(), GWL_EXSTYLE, style);
    f.Provider->SetCaptionAlignment(vcl::taCenter);
    ASSERT_TRUE(f.Render(false));
    const vcl::TRect centred = CountColour(f.Cache(), TextBox).Bounds;
    EXPECT_NEAR((centred.Left + centred.Right) / 2.0, (TextLeft(f) + TextRight(f)) / 2.0, 4.0);
    // Too wide: from the space's start, cut at its end.
    f.Form.Form->SetCaption(std::string(120, 'W'));
    ASSERT_TRUE(f.Render(false));
    EXPECT_EQ(CountColour(f.Cache(), TextBox).Bounds.Left, TextLeft(f) - 4);
    EXPECT_LE(CountColour(f.Cache(), TextBox).Bounds.Right, TextRight(f) + 4);
    EXPECT_LE(CountColour(f.Cache(), Text).Bounds.Right, TextRight(f));
}

TEST_F(CaptionPaint, TheAddedTitleFollowsOrStandsAloneAndFadesOnAnInactiveForm) {
    PreparedForm f(vcl::bsSizeable, "Main");
    f.Provider->AddedTitle()->SetText("(demo)");
    f.Provider->AddedTitle()->Font()->SetColor(vcl::clNone);
    ASSERT_TRUE(f.Render(true));
    EXPECT_GT(CountColour(f.Cache(), TextActive).Bounds.Right, CountColour(f.Cache(), TextBoxActive).Bounds.Right + 4);
    ASSERT_TRUE(f.Render(false));
    EXPECT_GT(CountColour(f.Cache(), MixColors(Text, TextBox, 0.5)).Count, 10);

    f.Provider->AddedTitle()->SetShowMainCaption(false);
    ASSERT_TRUE(f.Render(true));
    EXPECT_EQ(CountColour(f.Cache(), TextBoxActive).Count, 0);  // no main caption, no box
    EXPECT_GE(CountColour(f.Cache(), TextActive).Bounds.Left, TextLeft(f));

    // Drawn in its own font: a larger one makes taller letters.
    int heights[2] = {};
    for (const int size : {0, 1}) {
        f.Provider->AddedTitle()->Font()->SetHeight(size ? -18 : -9);
        ASSERT_TRUE(f.Render(true));
        heights[size] = CountColour(f.Cache(), TextActive).Bounds.Height();
    }
    EXPECT_GE(heights[1], heights[0] + 5) << heights[0] << " " << heights[1];
}

TEST_F(CaptionPaint, TheGlowImageIsMadeOnceAndKeptWhileTheTextFits) {
    Manager = nullptr;
    Manager = PieceSkinManager(PieceOptions(true, true));
    PreparedForm f(vcl::bsSizeable, "Glowing caption");
    ASSERT_TRUE(f.Render(false));
    EXPECT_FALSE(f.Provider->CaptionGlows[0]);  // no glow while inactive
    ASSERT_TRUE(f.Render(true));
    ASSERT_TRUE(f.Provider->CaptionGlows[1]);
    const vcl::TBitmap *glow = f.Provider->CaptionGlows[1].get();
    const ColourCount box = CountColour(f.Cache(), TextBoxActive);
    // The text's rectangle grown by the glow size and 4 on every side.
    EXPECT_EQ(glow->Height(), box.Bounds.Height() - 4 + 2 * (3 + 4));
    ASSERT_TRUE(f.Render(true));
    EXPECT_EQ(f.Provider->CaptionGlows[1].get(), glow);
    // A caption set while the form is hidden glows as its own text, as on
    // a form that had it from the start: not over the old text's blur,
    // which would fit its place (the same letters, as wide).
    Manager->Effects()->AllowAnimation = false;
    f.Form.Form->Hide();
    f.Form.Form->SetCaption("Caption glowing");
    ASSERT_TRUE(f.Render(true));
    PreparedForm fresh(vcl::bsSizeable, "Caption glowing");
    ASSERT_TRUE(fresh.Render(true));
    int differing = 0;
    for (int y = 0; y < f.Provider->GetCaptionHeight(true); ++y)
        for (int x = 0; x < f.Cache().Width(); ++x) differing += PixelAt(f.Cache(), x, y) != PixelAt(fresh.Cache(), x, y);
    EXPECT_EQ(differing, 0);
    // The glow lightens the box around the letters.
    Manager->Sections[Manager->FindSectionIndex("CAPTION")].Props[1].GSize = 0;
    ASSERT_TRUE(f.Render(true));
    EXPECT_LT(box.Count, CountColour(f.Cache(), TextBoxActive).Count);
}

// A title section named at run time paints the caption band at once, on
// the screen; named back, the skin's own comes back.
TEST_F(CaptionPaint, ATitleSectionNamedAtRunTimePaintsTheBand) {
    constexpr vcl::TColor other = 0x2060A0;
    Manager = nullptr;
    Manager = PieceSkinManager(PieceOptions() + "[OTHERTITLE]\r\nSTATES=2\r\nCOLOR=" + std::to_string(other) +
                               "\r\nHOTCOLOR=" + std::to_string(other) + "\r\n");
    PreparedForm f(vcl::bsSizeable, "Title");
    const auto shown = [&](vcl::TColor Colour) {
        RedrawWindow(f.Window(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        vcl::Application->ProcessMessages();
        HDC dc = GetWindowDC(f.Window());
        int n = 0;
        for (int x = 0; x < f.Form.Form->Width(); ++x)
            n += static_cast<vcl::TColor>(GetPixel(dc, x, f.FrameWidth() + 2)) == Colour;
        ReleaseDC(f.Window(), dc);
        return n;
    };
    ASSERT_GT(shown(Band) + shown(BandActive), 100);
    f.Provider->SetTitleSkin("OTHERTITLE");
    EXPECT_GT(shown(other), 100);
    EXPECT_EQ(shown(Band) + shown(BandActive), 0);
    f.Provider->SetTitleSkin("");
    EXPECT_EQ(shown(other), 0);
    EXPECT_GT(shown(Band) + shown(BandActive), 100);
}

TEST_F(CaptionPaint, TheIconStandsInItsPlaceOpaque) {
    PreparedForm f(vcl::bsSizeable, "");
    ASSERT_TRUE(f.Render(true));
    if (f.Provider->IconRect.IsEmpty()) {
        // The button layout has not placed it: where it puts it.
        const int left = f.FrameWidth() + 2, top = f.Provider->ButtonCenterY - 8;
        f.Provider->IconRect = {left, top, left + 16, top + 16};
        f.Provider->SkinData()->BGChanged = true;
        ASSERT_TRUE(f.Provider->RenderFrame());
    }
    const vcl::TRect icon = f.Provider->IconRect;
    ASSERT_EQ(icon.Width(), 16);
    vcl::TBitmap &c = f.Cache();
    EXPECT_LT(CountColour(c, BandActive, icon).Count, 256 - 20);  // drawn
    EXPECT_EQ(CountColour(c, BandActive, {icon.Right, icon.Top, 40, icon.Bottom}).Count, (40 - icon.Right) * 16);
    int transparent = 0;
    for (int y = icon.Top; y < icon.Bottom; ++y)
        for (int x = icon.Left; x < icon.Right; ++x)
            transparent += PixelAt(c, x, y) != BandActive && GetPixel32(c, x, y) >> 24 != 255;
    EXPECT_EQ(transparent, 0);
    // The title icon's own glyph fills the place.
    vcl::TBitmap glyph;
    glyph.SetPixelFormat(vcl::pf24bit);
    glyph.SetSize(8, 8);
    glyph.Canvas()->Brush()->SetColor(Grip);
    glyph.Canvas()->FillRect({0, 0, 8, 8});
    f.Provider->TitleIcon()->SetGlyph(&glyph);
    f.Provider->SkinData()->BGChanged = true;
    ASSERT_TRUE(f.Provider->RenderFrame());
    EXPECT_EQ(CountColour(c, Grip).Bounds, f.Provider->IconRect);
}

// The form's "TITLEBAR" strip lies behind the system's buttons; user
// buttons alone stand on the caption band.
TEST_F(CaptionPaint, TheTitleBarStripIsDrawnBehindTheSystemsButtonsOnly) {
    constexpr vcl::TColor Strip = 0x202020;  // the master's filler
    std::string options = PieceOptions();
    options.insert(options.find("[FORMTITLE]"), "TITLEBAR=^0054,0000,0064,0010,0002,0002,0002,0002,1,0,0,0\r\n");
    Manager = nullptr;  // the default manager goes before the next one comes
    Manager = PieceSkinManager(options);
    for (const bool systemMenu : {true, false}) {
        SCOPED_TRACE(systemMenu);
        PreparedForm f(vcl::bsSizeable, "");
        if (!systemMenu) f.Form.Form->SetBorderIcons({});
        f.Provider->TitleButtons()->Add();
        ASSERT_TRUE(f.Render(true));
        const vcl::TRect caption{0, 0, f.Cache().Width(), f.FrameWidth() + f.Provider->GetCaptionHeight(true)};
        EXPECT_EQ(CountColour(f.Cache(), Strip, caption).Count > 0, systemMenu);
    }
}

TEST_F(CaptionPaint, WithoutTheNonClientAreaNoCaptionIsDrawn) {
    PreparedForm f(vcl::bsSizeable, "Setup MERKANO ZUVO");
    f.Provider->SetDrawNonClientArea(false);
    ASSERT_TRUE(f.Render(true));
    EXPECT_EQ(CountColour(f.Cache(), BandActive).Count, 0);
    EXPECT_EQ(CountColour(f.Cache(), TextActive).Count, 0);
    EXPECT_EQ(PixelAt(f.Cache(), 200, 1), BorderActive);  // the border image runs along the top
    f.Provider->SetDrawNonClientArea(true);
}

} // namespace
} // namespace skin
