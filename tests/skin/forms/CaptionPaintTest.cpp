// The caption in the frame image: the text in its box and colours by
// state, its alignments with a caption too long for its space, the added
// title (alone, and mixed half-way on an inactive form), the glow image kept
// while the text fits, the form's icon, and a frame drawn without caption.
#include <gtest/gtest.h>

#include "FramePaintTestSupport.h"
#include "skin/graphics/vlImageHelpers.h"
#include "skin/manager/sSkinManager.h"

namespace skin {
namespace {

using namespace skin::test;

struct CaptionPaint : ::testing::Test {
    static void SetUpTestSuite() { Modules = std::make_unique<FormsModules>(); }
    static void TearDownTestSuite() { Modules.reset(); }
    static inline std::unique_ptr<FormsModules> Modules;
    ManagerPtr Manager = PieceSkinManager();
};

// The caption band of the cache: the top frame and the caption.
vcl::TRect BandOf(PreparedForm &F) {
    return {0, 0, F.Cache().Width(), F.FrameWidth() + F.Provider->GetCaptionHeight(true)};
}

// Where the text may start: the frame, the icon, 4 pixels, the skin's
// "BILEFT" (2) and 2 more beside the section "CAPTION".
int TextLeft(PreparedForm &F, bool CaptionSection = true) {
    return F.FrameWidth() + F.Provider->TitleIconWidth() + 4 + 2 + (CaptionSection ? 2 : 0);
}

int TextRight(PreparedForm &F) { return F.Cache().Width() - F.Provider->ButtonsWidth() - 12; }

TEST_F(CaptionPaint, TheTextLiesInItsBoxInTheColoursOfTheFormsState) {
    PreparedForm f(vcl::bsSizeable, "Setup MERKANO ZUVO");
    for (const bool active : {false, true}) {
        SCOPED_TRACE(active ? "active" : "inactive");
        ASSERT_TRUE(f.Render(active));
        vcl::TBitmap &c = f.Cache();
        const ColourCount box = CountColour(c, active ? TextBoxActive : TextBox);
        const ColourCount text = CountColour(c, active ? TextActive : Text);
        // The box: the text's rectangle grown by 4 and 2 pixels.
        EXPECT_EQ(box.Bounds.Left, TextLeft(f) - 4);
        EXPECT_NEAR((box.Bounds.Top + box.Bounds.Bottom) / 2.0, f.Provider->ButtonCenterY, 1.0);
        EXPECT_GE(box.Bounds.Height(), 12);
        EXPECT_LE(box.Bounds.Bottom, BandOf(f).Bottom);
        EXPECT_GT(box.Bounds.Width(), 60);
        // Every pixel of the text's colour is in the box, inside its margins.
        EXPECT_GT(text.Count, 40);
        EXPECT_GE(text.Bounds.Left, box.Bounds.Left + 4);
        EXPECT_LE(text.Bounds.Right, box.Bounds.Right - 4);
        EXPECT_GE(text.Bounds.Top, box.Bounds.Top + 2);
        EXPECT_LE(text.Bounds.Bottom, box.Bounds.Bottom - 2);
        // The band lies around the box; the other state shows nowhere.
        EXPECT_EQ(PixelAt(c, box.Bounds.Left - 1, box.Bounds.Top), active ? BandActive : Band);
        EXPECT_EQ(CountColour(c, active ? Text : TextActive).Count, 0);
        EXPECT_EQ(CountColour(c, active ? TextBox : TextBoxActive).Count, 0);
    }
}

TEST_F(CaptionPaint, WithoutTheCaptionSectionTheTextTakesTheBandsColour) {
    Manager = nullptr;
    Manager = PieceSkinManager(PieceOptions(true, false));
    PreparedForm f(vcl::bsSizeable, "Setup MERKANO ZUVO");
    ASSERT_TRUE(f.Render(true));
    const ColourCount text = CountColour(f.Cache(), TitleTextActive);
    EXPECT_GT(text.Count, 40);
    EXPECT_GE(text.Bounds.Left, TextLeft(f, false));
    EXPECT_LE(text.Bounds.Left, TextLeft(f, false) + 2);
    EXPECT_EQ(CountColour(f.Cache(), TextBoxActive).Count, 0);
}

TEST_F(CaptionPaint, AlignmentsPlaceTheTextAndALongCaptionEndsInItsSpace) {
    PreparedForm f(vcl::bsSizeable, "Ab");
    f.Provider->SetCaptionAlignment(vcl::taRightJustify);
    ASSERT_TRUE(f.Render(false));
    EXPECT_EQ(CountColour(f.Cache(), TextBox).Bounds.Right, TextRight(f));

    f.Provider->SetCaptionAlignment(vcl::taCenter);
    ASSERT_TRUE(f.Render(false));
    const ColourCount centred = CountColour(f.Cache(), TextBox);
    EXPECT_NEAR((centred.Bounds.Left + centred.Bounds.Right) / 2.0, (TextLeft(f) + TextRight(f)) / 2.0, 4.0);

    // Wider than its space: it starts at the space's start and is cut there.
    f.Form.Form->SetCaption(std::string(120, 'W'));
    ASSERT_TRUE(f.Render(false));
    const ColourCount box = CountColour(f.Cache(), TextBox);
    const ColourCount text = CountColour(f.Cache(), Text);
    EXPECT_EQ(box.Bounds.Left, TextLeft(f) - 4);
    EXPECT_LE(box.Bounds.Right, TextRight(f) + 4);
    EXPECT_LE(text.Bounds.Right, TextRight(f));
}

TEST_F(CaptionPaint, TheAddedTitleFollowsOrStandsAloneAndFadesOnAnInactiveForm) {
    PreparedForm f(vcl::bsSizeable, "Main");
    f.Provider->AddedTitle()->SetText("(demo)");
    f.Provider->AddedTitle()->Font()->SetColor(vcl::clNone);
    ASSERT_TRUE(f.Render(true));
    const ColourCount box = CountColour(f.Cache(), TextBoxActive);
    const ColourCount text = CountColour(f.Cache(), TextActive);
    // The box holds the main caption; the added title is written after it.
    EXPECT_GT(text.Bounds.Right, box.Bounds.Right + 4);

    const vcl::TColor faded = MixColors(Text, TextBox, 0.5);
    ASSERT_TRUE(f.Render(false));
    EXPECT_GT(CountColour(f.Cache(), faded).Count, 10);

    f.Provider->AddedTitle()->SetShowMainCaption(false);
    ASSERT_TRUE(f.Render(true));
    EXPECT_EQ(CountColour(f.Cache(), TextBoxActive).Count, 0);  // no main caption, no box
    const ColourCount alone = CountColour(f.Cache(), TextActive);
    EXPECT_GT(alone.Count, 10);
    EXPECT_GE(alone.Bounds.Left, TextLeft(f));
}

TEST_F(CaptionPaint, TheGlowImageIsMadeOnceAndKeptWhileTheTextFits) {
    Manager = nullptr;
    Manager = PieceSkinManager(PieceOptions(true, true, true));
    PreparedForm f(vcl::bsSizeable, "Glowing caption");
    ASSERT_TRUE(f.Render(false));
    EXPECT_FALSE(f.Provider->CaptionGlows[0]);  // the inactive state has no glow
    ASSERT_TRUE(f.Render(true));
    ASSERT_TRUE(f.Provider->CaptionGlows[1]);
    const vcl::TBitmap *glow = f.Provider->CaptionGlows[1].get();
    const ColourCount box = CountColour(f.Cache(), TextBoxActive);
    // The text's rectangle grown by the glow size and 4 on every side.
    EXPECT_GT(glow->Width(), 40);
    EXPECT_EQ(glow->Height(), box.Bounds.Height() - 4 + 2 * (3 + 4));
    ASSERT_TRUE(f.Render(true));
    EXPECT_EQ(f.Provider->CaptionGlows[1].get(), glow);
    // The glow brightens the box around the letters.
    PreparedForm plain(vcl::bsSizeable, "Glowing caption");
    Manager->Sections[static_cast<std::size_t>(Manager->FindSectionIndex("CAPTION"))].Props[1].GSize = 0;
    ASSERT_TRUE(plain.Render(true));
    EXPECT_LT(box.Count, CountColour(plain.Cache(), TextBoxActive).Count);
}

TEST_F(CaptionPaint, TheIconStandsInItsPlaceOpaque) {
    PreparedForm f;
    ASSERT_TRUE(f.Render(true));
    if (f.Provider->IconRect.IsEmpty()) {
        // Where the button layout puts it: after the frame and "BILEFT".
        const int left = f.FrameWidth() + 2, size = f.Provider->TitleIconWidth();
        const int top = f.Provider->ButtonCenterY - size / 2;
        f.Provider->IconRect = {left, top, left + size, top + size};
        f.Provider->SkinData()->BGChanged = true;
        ASSERT_TRUE(f.Provider->RenderFrame());
    }
    const vcl::TRect icon = f.Provider->IconRect;
    ASSERT_EQ(icon.Width(), 16);
    vcl::TBitmap &c = f.Cache();
    int changed = 0;
    for (int y = icon.Top; y < icon.Bottom; ++y)
        for (int x = icon.Left; x < icon.Right; ++x)
            if (PixelAt(c, x, y) != BandActive) {
                ++changed;
                EXPECT_EQ(AlphaAt(c, x, y), 255) << x << "," << y;
            }
    EXPECT_GT(changed, 20);
    EXPECT_EQ(PixelAt(c, icon.Right, icon.Top + 4), BandActive);
    EXPECT_EQ(PixelAt(c, icon.Left - 1, icon.Top + 4), BandActive);

    // The title icon's own glyph fills the place (no caption text beside it).
    f.Form.Form->SetCaption("");
    vcl::TBitmap glyph;
    glyph.SetPixelFormat(vcl::pf24bit);
    glyph.SetSize(8, 8);
    glyph.Canvas()->Brush()->SetColor(Grip);
    glyph.Canvas()->FillRect({0, 0, 8, 8});
    f.Provider->TitleIcon()->SetGlyph(&glyph);
    f.Provider->SkinData()->BGChanged = true;
    ASSERT_TRUE(f.Provider->RenderFrame());
    EXPECT_EQ(CountColour(c, Grip).Bounds, f.Provider->IconRect);

    // A dialog shows no icon.
    PreparedForm dialog(vcl::bsDialog);
    EXPECT_EQ(dialog.Provider->TitleIconWidth(), 0);
    ASSERT_TRUE(dialog.Render(true));
    EXPECT_EQ(CountColour(dialog.Cache(), BandActive, {3, 3, 7, 19}).Count, 4 * 16);
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
