// Section-coloured captions under Wine: contour copies in their colours and
// places, the disabled colours, a control's glow laid into its cache, and the
// section under a caption that looks through to its parent. Each caption is
// compared with the same text drawn step by step through the system, so the
// checks do not depend on the shapes of Wine's fonts.
#include <gtest/gtest.h>

#include "BitmapTestSupport.h"
#include "TestSkin.h"
#include "skin/graphics/vlAlphaText.h"
#include "skin/graphics/vlPixelHelpers.h"
#include "skin/graphics/vlSkinText.h"
#include "vcl/Forms.h"
#include "vcl/HandleCounts.h"
#include "vcl/StdCtrls.h"

using namespace vcl;
using namespace skin;
using skin::test::Px;

namespace {

class TPlainForm : public TForm {
    VCL_CLASS(TPlainForm, TForm)
public:
    explicit TPlainForm(TComponent *AOwner) : TForm(AOwner, CreateNew) {}
};
VCL_CLASS_INFO(TPlainForm)

constexpr std::uint32_t White = Px(255, 255, 255, 255);
constexpr UINT Flags = DT_LEFT | DT_TOP | DT_SINGLELINE;
const TRect Box{6, 6, 114, 34};

TRect Shifted(const TRect &R, int Dx, int Dy) { return {R.Left + Dx, R.Top + Dy, R.Right + Dx, R.Bottom + Dy}; }

template <class Paint> std::unique_ptr<TBitmap> Drawn(Paint paint) {
    auto bmp = skin::test::Plain32(120, 40, White);
    paint(*bmp->Canvas());
    return bmp;
}

// One copy of the text in a colour, moved by (Dx, Dy).
struct TCopy {
    TColor Colour;
    int Dx = 0, Dy = 0;
    UINT Extra = 0;
};

// The text drawn copy by copy through the system, as a caption should come out.
std::unique_ptr<TBitmap> Reference(const std::string &Text, const TRect &R, std::initializer_list<TCopy> Copies) {
    return Drawn([&](TCanvas &c) {
        for (const TCopy &copy : Copies) {
            c.Font()->SetColor(copy.Colour);
            DrawTextOnCanvas(c, Text, Shifted(R, copy.Dx, copy.Dy), Flags | copy.Extra);
        }
    });
}

void ExpectSame(TBitmap &Actual, TBitmap &Expected) {
    skin::test::ExpectPixels(Actual, [&](int x, int y) { return GetPixel32(Expected, x, y); }, 0xFFFFFF);
}

int Count(TBitmap &Bmp, TColor Colour) {
    const std::uint32_t pixel = SwapRedBlue(static_cast<std::uint32_t>(Colour)) & 0xFFFFFF;
    int n = 0;
    for (int y = 0; y < Bmp.Height(); ++y)
        for (int x = 0; x < Bmp.Width(); ++x) n += (GetPixel32(Bmp, x, y) & 0xFFFFFF) == pixel;
    return n;
}

constexpr TColor Navy = 0x800000, Red = 0x0000FF, Green = 0x00FF00, Blue = 0xFF0000, Yellow = 0x00FFFF;

// A section whose normal state has four contour colours around navy text.
int ContouredSection(skin::test::TTestSkin &skin, const std::string &name) {
    const int s = skin.AddSection(name, Blue, 0, 0);
    TsGenState &st = skin.Sections[s].Props[0];
    st.FontColor = Navy;
    st.TCLeft = Red, st.TCTop = Green, st.TCRight = Blue, st.TCBottom = Yellow;
    return s;
}

} // namespace

TEST(SkinTextWin, SectionTextDrawsEachContourMovedBeforeTheTextAndADisabledMix) {
    skin::test::TTestSkin skin;
    const int s = ContouredSection(skin, "LABEL");
    auto section = Drawn([&](TCanvas &c) { WriteSectionText(c, "Instaluj", true, Box, Flags, s, 0, &skin); });
    auto expected = Reference("Instaluj", Box, {{Red, -1, 0}, {Green, 0, -1}, {Blue, 1, 0}, {Yellow, 0, 1}, {Navy}});
    ExpectSame(*section, *expected);
    for (TColor c : {Red, Green, Blue, Yellow, Navy}) EXPECT_GT(Count(*section, c), 0) << c;

    // Disabled: once, 40 % of the state's font colour over 60 % of the normal
    // state's background colour; no contours.
    skin.Sections[s].Props[0].FontColor = Red;  // over blue: 0x990066
    skin.Sections[s].Props[1].FontColor = Green;
    skin.Sections[s].Props[1].Color = 0;  // never used: the normal state's background counts
    for (const auto &[state, mixed] : {std::pair{0, TColor{0x990066}}, std::pair{1, TColor{0x996600}}}) {
        auto disabled = Drawn([&](TCanvas &c) { WriteSectionText(c, "Instaluj", false, Box, Flags, s, state, &skin); });
        auto once = Reference("Instaluj", Box, {{mixed}});
        ExpectSame(*disabled, *once);
        EXPECT_GT(Count(*disabled, mixed), 10) << state;
    }
}

TEST(SkinTextWin, ControlCaptionsTakeTheirColourEffectsContoursAndUnclippedText) {
    skin::test::TTestSkin skin;
    const int s = ContouredSection(skin, "BUTTON");
    TsGenState &st = skin.Sections[s].Props[0];
    st.TCTop = -1, st.TCRight = -1;
    skin::test::TFakeControlData data;
    data.Manager = &skin;
    data.Skin = s;
    data.Hue = 120;  // red turns green, yellow cyan, navy dark red
    // A box narrower than the text: the contours are cut to it, the text is not.
    const TRect narrow{6, 6, 40, 34};
    auto caption = Drawn([&](TCanvas &c) { WriteTextForControl(c, "Instaluj soubory", true, narrow, Flags, data, 0); });
    auto expected =
        Reference("Instaluj soubory", narrow, {{Green, -1, 0}, {0xFFFF00, 0, 1}, {0x000080, 0, 0, DT_NOCLIP}});
    ExpectSame(*caption, *expected);
    EXPECT_GT(Count(*caption, Green), 0);
    EXPECT_GT(Count(*caption, 0xFFFF00), 0);
    bool beyond = false;
    for (int y = 0; y < 40; ++y)
        for (int x = narrow.Right + 2; x < 120; ++x) beyond |= (GetPixel32(*caption, x, y) & 0xFFFFFF) == 0x800000;
    EXPECT_TRUE(beyond);  // dark red text right of the box

    // Disabled and skinned: the state's font colour with the effects, once.
    auto disabled = Drawn([&](TCanvas &c) { WriteTextForControl(c, "Instaluj", false, Box, Flags, data, 0); });
    auto once = Reference("Instaluj", Box, {{0x000080}});
    ExpectSame(*disabled, *once);
}

// A caption of one of the transparent standard sections takes the colours of
// the section under its control, when the control has a parent to look at.
TEST(SkinTextWin, ATransparentCaptionTakesTheSectionUnderItsControl) {
    std::unique_ptr<TPlainForm> form(Create<TPlainForm>(Application));
    TButton *placed = Create<TButton>(form.get());
    placed->SetParent(form.get());
    TButton *loose = Create<TButton>(form.get());
    skin::test::TTestSkin skin;
    const int own = skin.AddSection("CHECKBOX", 0, 0, 0);
    const int under = skin.AddSection("PANEL", 0, 0, 0);
    skin.Sections[own].Props[0].FontColor = Red;
    skin.Sections[under].Props[0].FontColor = Green;
    skin::test::TFakeControlData data;
    data.Manager = &skin;
    data.Skin = own;
    data.SectionUnder = under;
    const struct {
        TControl *owner;
        int stdPosition;
        TColor colour;
    } cases[] = {
        {placed, ssCheckBox, Green},
        {placed, ssGroupBox, Green},
        {placed, ssWebButton + 1, Red},  // not one of the first nine
        {loose, ssCheckBox, Red},        // no parent to look at
        {nullptr, ssCheckBox, Red},
    };
    for (const auto &c : cases) {
        skin.StdSectionIndexes.fill(-1);
        skin.StdSectionIndexes[static_cast<std::size_t>(c.stdPosition)] = own;
        data.Owner = c.owner;
        auto caption =
            Drawn([&](TCanvas &canvas) { WriteTextForControl(canvas, "Instaluj", true, Box, Flags, data, 0); });
        auto expected = Reference("Instaluj", Box, {{c.colour, 0, 0, DT_NOCLIP}});
        ExpectSame(*caption, *expected);
        EXPECT_GT(Count(*caption, c.colour), 10) << c.stdPosition;
    }
}

TEST(SkinTextWin, AGlowingSectionLaysItsGlowIntoTheControlsCacheWithTheEffects) {
    const THandleCounts before = LiveHandles();
    {
        skin::test::TTestSkin skin;
        const int s = skin.AddSection("BUTTON", 0, 0, 0);
        TsGenState &st = skin.Sections[s].Props[0];
        st.FontColor = Navy;
        st.GSize = 2;
        st.GCol = Red;
        const auto paper = [](int x, int y) { return Px(200, 100 + y, 50 + x, 255); };
        auto cache = skin::test::Bitmap32(120, 40, paper);
        skin::test::TFakeControlData data;
        data.Manager = &skin;
        data.Skin = s;
        data.Cache = cache.get();
        data.Hue = 120;  // a red glow turns green
        auto caption = Drawn([&](TCanvas &c) { WriteTextForControl(c, "Instaluj", true, Box, Flags, data, 0); });
        ExpectSame(*caption, *Reference("Instaluj", Box, {{0x000080, 0, 0, DT_NOCLIP}}));

        auto glow = skin::test::Bitmap32(120, 40, paper);
        TBitmap mask;
        WriteTextWithEffects(*glow, "Instaluj", Box, Flags, 15, 2, Green, mask);
        skin::test::ExpectPixels(*cache, [&](int x, int y) { return GetPixel32(*glow, x, y); });
        int glowing = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 120; ++x) glowing += GetPixel32(*cache, x, y) != paper(x, y);
        EXPECT_GT(glowing, 50);

        // A state without a glow leaves the cache alone.
        auto unchanged = skin::test::Bitmap32(120, 40, paper);
        data.Cache = unchanged.get();
        Drawn([&](TCanvas &c) { WriteTextForControl(c, "Instaluj", true, Box, Flags, data, 1); });
        skin::test::ExpectPixels(*unchanged, paper);
    }
    EXPECT_EQ(LiveHandles(), before);  // the glow's mask goes with the call
}

TEST(SkinTextWin, SkinTextTakesItsContoursOnlyWhenAsked) {
    skin::test::TTestSkin skin;
    const int s = ContouredSection(skin, "LABEL");
    const std::string text = "Instaluj";
    const auto skinText = [&](bool contour) {
        auto bmp = skin::test::Plain32(120, 40, 0);
        DrawSkinText(*bmp, text, contour, Box, Flags, s, 0, &skin);
        return bmp;
    };
    const auto alphaText = [&](std::initializer_list<TCopy> copies, int mode) {
        auto bmp = skin::test::Plain32(120, 40, 0);
        for (const TCopy &c : copies) DrawAlphaText(*bmp, text, mode, Shifted(Box, c.Dx, c.Dy), Flags, c.Colour);
        return bmp;
    };
    auto contoured = skinText(true);
    auto expected = alphaText({{Red, -1, 0}, {Green, 0, -1}, {Blue, 1, 0}, {Yellow, 0, 1}, {Navy}}, 1);
    skin::test::ExpectPixels(*contoured, [&](int x, int y) { return GetPixel32(*expected, x, y); });
    auto plain = skinText(false);
    auto once = alphaText({{Navy}}, 0);
    skin::test::ExpectPixels(*plain, [&](int x, int y) { return GetPixel32(*once, x, y); });
    // The contours show: the two differ around the text.
    int differ = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x)
            differ += (GetPixel32(*contoured, x, y) & 0xFFFFFF) != (GetPixel32(*plain, x, y) & 0xFFFFFF);
    EXPECT_GT(differ, 20);
}
