// A skin whose options text holds damaged numbers loads with every number in
// its range: what the numbers reach (a form's frame picture, a glow window,
// a tab, the glow of a caption, an outer effect, a caption button) stays
// small, every mask is a rect of its picture, and every section and mask of
// the skin paints.
#include <gtest/gtest.h>

#include <functional>

#include "../manager/SkinInMemory.h"
#include "skin/adapters/vlTabGeometry.h"
#include "skin/forms/vlBorderGeometry.h"
#include "skin/graphics/vlSkinText.h"
#include "skin/manager/sSkinMeasures.h"
#include "skin/manager/sSkinQueries.h"
#include "vcl/StringList.h"

namespace skin {
namespace {

using test::TSkinInMemory;
constexpr int M = MaxSkinMeasure;

const TsGeneralData &Section(const TSkinInMemory &Skin, std::string_view Name) {
    const int i = FindSectionIndex(Skin.Sections, Name);
    EXPECT_GE(i, 0) << Name;
    return Skin.Sections.at(static_cast<std::size_t>(std::max(i, 0)));
}

// The frame picture of a 400 x 300 bordered form, as the provider sizes it:
// a native frame of 4 and a caption of 23, the skin's border and caption,
// the extended border's margins.
vcl::TSize FramePicture(const TSkinInMemory &Skin, bool Maximized) {
    TvlFrameSizes f;
    f.NativeBorder = 4;
    f.NativeCaption = 23;
    f.SkinBorder = Skin.Data.BorderWidth;
    f.SkinCaption = Maximized ? Skin.Data.MaxHeight : Skin.Data.TitleHeight;
    if (Skin.IsValidMaskIndex(Skin.Elements.ExBorder))
        f.Margins = ExtBorderMarginsOf(Skin.Masks[static_cast<std::size_t>(Skin.Elements.ExBorder)],
                                       Skin.Data.FormOffset, Skin.Data.BorderMode);
    return FrameImageSize(f, 400, 300);
}

// The glow window of a 50 x 20 control at (100, 100) with a section's glow.
vcl::TRect GlowOf(const TSkinInMemory &Skin, int Section, const std::string &Picture, int GlowMargin) {
    const int mask = GetMaskIndex(Skin.Sections, Skin.Masks, Section, Picture);
    vcl::TRect margins;
    if (mask >= 0) {
        const TsMaskData &m = Skin.Masks[static_cast<std::size_t>(mask)];
        margins = {MaskLeftMargin(m), MaskTopMargin(m), MaskRightMargin(m), MaskBottomMargin(m)};
    }
    return GlowWindowRect({100, 100, 150, 120}, margins, GlowMargin);
}

void ExpectWithin(int Value, int Min, int Max) {
    EXPECT_GE(Value, Min);
    EXPECT_LE(Value, Max);
}

void ExpectWithin(const vcl::TSize &Size, int Width, int Height) {
    EXPECT_GE(Size.cx, 0);
    EXPECT_GE(Size.cy, 0);
    EXPECT_LE(Size.cx, Width);
    EXPECT_LE(Size.cy, Height);
}

const TsMaskData *MaskOf(const TSkinInMemory &Skin, int Section, std::string_view Key) {
    const int i = GetMaskIndex(Skin.Sections, Skin.Masks, Section, std::string(Key));
    return i >= 0 ? &Skin.Masks[static_cast<std::size_t>(i)] : nullptr;
}

// Every mask lies in its picture with its margins inside one frame, so that
// the sizes a layout, a bitmap or a loop takes from it (a caption button
// above all) are no larger than the skin's pictures.
void ExpectMasksWithinTheirPictures(const TSkinInMemory &Skin) {
    for (const TsMaskData &m : Skin.Masks) {
        SCOPED_TRACE(m.ClassName + " " + m.PropertyName);
        const vcl::TBitmapView picture = Skin.MaskPixels(m);
        ExpectWithin(m.R.Left, 0, m.R.Right);
        ExpectWithin(m.R.Right, m.R.Left, picture.Width);
        ExpectWithin(m.R.Top, 0, m.R.Bottom);
        ExpectWithin(m.R.Bottom, m.R.Top, picture.Height);
        const vcl::TSize frame = GetMaskFrameSize(m);
        for (int margin : {m.WL, m.WR}) ExpectWithin(margin, 0, frame.cx);
        for (int margin : {m.WT, m.WB}) ExpectWithin(margin, 0, frame.cy);
    }
    for (int icon : Skin.Elements.TitleIcons) {
        const TsMaskData *m = Skin.IsValidMaskIndex(icon) ? &Skin.Masks[static_cast<std::size_t>(icon)] : nullptr;
        const vcl::TBitmapView picture = m ? Skin.MaskPixels(*m) : vcl::TBitmapView{};
        ExpectWithin(CaptionButtonSize(m), std::max(picture.Width, DefaultCaptionButton),
                     std::max(picture.Height, DefaultCaptionButton));
    }
}

TEST(DamagedSkin, NumbersAreReadWithinTheirRangesAndWhatTheyReachStaysSmall) {
    const struct {
        const char *Name;
        const char *Options;
        std::function<void(const TSkinInMemory &)> Check;
    } rows[] = {
        {"percentages", // multiplied by 255 in painting
         "[S]\nSTATES=3\nUSESTATE2=1\nIMAGEPERCENT=100000000\nGRADIENTPERCENT=-7\nTRANSPARENCY=100000000\n"
         "PATTERN=^0001,0001,0020,0020,0000,0000,0000,0000,1,0,0,0\nGRADIENTDATA=255;0;100;0;0\n"
         "HOTIMAGEPERCENT=8500000\nHOTGRADIENTPERCENT=8500000\nHOTTRANSPARENCY=-2147483647\nHOTGRADIENTDATA=0;255;100;0;0\n"
         "IMAGEPERCENT2=40\nGRADIENTPERCENT2=60\nTRANSPARENCY2=8500000\n",
         [](const TSkinInMemory &s) {
             const TsGeneralData &d = Section(s, "S");
             EXPECT_EQ(d.Props[0].ImagePercent, 100);
             EXPECT_EQ(d.Props[0].GradientPercent, 0);
             EXPECT_EQ(d.Props[0].Transparency, 100);
             EXPECT_EQ(d.Props[1].GradientPercent, 100);
             EXPECT_EQ(d.Props[1].Transparency, 0);
             EXPECT_EQ(d.Props[2].Transparency, 100);
         }},
        {"states", // the state records are indexed by STATES - 1
         "[NONE]\nSTATES=0\n[NEGATIVE]\nSTATES=-5\n[MANY]\nSTATES=300\n",
         [](const TSkinInMemory &s) {
             EXPECT_EQ(Section(s, "NONE").States, 1);
             EXPECT_EQ(Section(s, "NEGATIVE").States, 1);
             EXPECT_EQ(Section(s, "MANY").States, 255);
         }},
        {"frame",
         "[GLOBALINFO]\nBORDERWIDTH=30000\nTITLEHEIGHT=1073741824\nMAXHEIGHT=-5\nFORMOFFSET=-100000\n"
         "EXBORDER=^0000,0000,0040,0040,9999,9999,9999,9999,1,0,0,0\n",
         [](const TSkinInMemory &s) {
             ExpectWithin(FramePicture(s, false), 400 + 4 * M, 300 + 4 * M);
             ExpectWithin(FramePicture(s, true), 400 + 4 * M, 300 + 4 * M);
             EXPECT_EQ(s.Data.MaxHeight, s.Data.TitleHeight);  // taken as 0: the title's
         }},
        {"frame, border mode",
         "[GLOBALINFO]\nBORDERMODE=1\nFORMOFFSET=2147483647\nBORDERWIDTH=-2147483647\nTITLEHEIGHT=-30\n"
         "EXBORDER=^0000,0000,0040,0040,0005,0005,0005,0005,1,0,0,0\n",
         [](const TSkinInMemory &s) {
             ExpectWithin(FramePicture(s, false), 400 + 4 * M, 300 + 4 * M);
             EXPECT_EQ(s.Data.TitleHeight, 30);  // taken as 0, which means the default
         }},
        {"section glow",
         "[S]\nGLOW=5000\nGLOWMARGIN=-100000\nGLOW0=^0000,0000,0012,0012,9999,9999,9999,9999,1,0,0,0\n"
         "[T]\nGLOWMARGIN=100000\nGLOW0=!glow.png!1!0!0!32767!32767!32767!32767\n",
         [](const TSkinInMemory &s) {
             for (const char *name : {"S", "T"}) {
                 const TsGeneralData &d = Section(s, name);
                 EXPECT_LE(d.Glow, 255) << name;
                 const vcl::TRect glow = GlowOf(s, FindSectionIndex(s.Sections, name), "GLOW0", d.GlowMargin);
                 ExpectWithin({glow.Width(), glow.Height()}, 50 + 4 * M, 20 + 4 * M);
             }
         }},
        {"title button glows",
         "[GLOBALINFO]\nBICONCLOSE=^0000,0000,0012,0012,0000,0000,0000,0000,1,0,0,0\n"
         "BICONCLOSEGLOW0=^0000,0000,0012,0012,9999,9999,9999,9999,1,0,0,0\n"
         "BICONCLOSEGLOWMARGIN=-100000\nBICONMAXGLOWMARGIN=2147483647\nBICONMINGLOWMARGIN=-2147483648\n",
         [](const TSkinInMemory &s) {
             for (int margin : {s.Data.BIconCloseGlowMargin, s.Data.BIconMaxGlowMargin, s.Data.BIconMinGlowMargin}) {
                 const vcl::TRect glow = GlowOf(s, s.Elements.GlobalInfoSection, "BICONCLOSEGLOW0", margin);
                 ExpectWithin({glow.Width(), glow.Height()}, 50 + 4 * M, 20 + 4 * M);
             }
         }},
        {"outer effects", // the offsets grow a picture around the control on every paint
         "[GLOBALINFO]\nLO_OFFSETL=-2147483648\nLO_OFFSETT=2147483647\nSH_OFFSETR=100000\nSH_OFFSETB=-100000\n"
         "SH_OPACITY=1000\n[S]\nOUTOFFSL=-2147483648\nOUTOFFST=100000\nOUTOFFSR=-100000\nOUTOFFSB=2147483647\n",
         [](const TSkinInMemory &s) {
             const TsGeneralData &d = Section(s, "S");
             for (int offset : {d.OutOffsL, d.OutOffsT, d.OutOffsR, d.OutOffsB}) ExpectWithin(offset, -M, M);
             for (const TvlOutEffect &e : s.OutEffects)
                 for (int offset : {e.OffsetL, e.OffsetT, e.OffsetR, e.OffsetB}) ExpectWithin(offset, -M, M);
             EXPECT_EQ(s.OutEffects[1].Opacity, 255);
         }},
        {"text glow",
         "[S]\nSTATES=3\nUSESTATE2=1\nGSIZE=100000\nHGSIZE=-3\nGSIZE2=2147483647\n",
         [](const TSkinInMemory &s) {
             for (const TsGenState &state : Section(s, "S").Props) {
                 EXPECT_GE(state.GSize, 0);
                 ExpectWithin(TextGlowImageSize({0, 0, 100, 20}, state.GSize), 100 + 2 * (MaxTextGlowRadius + 4),
                              20 + 2 * (MaxTextGlowRadius + 4));
             }
         }},
        {"tabs covering", // each tab widened by twice its value
         "[TABTOP]\nTABSCOVERING=2147483647\n[RIBBONTAB]\nTABSCOVERING=-2147483648\n",
         [](const TSkinInMemory &s) {
             for (int covering : {s.Data.TabsCovering, s.Data.RibbonTabsCovering}) {
                 const vcl::TRect tab = SkinTabRect({10, 2, 60, 22}, tpTop, tkTabs, true, covering);
                 ExpectWithin({tab.Width(), tab.Height()}, 50 + 4 + 2 * M, 20 + 4);
             }
         }},
        {"mask rects", // the master is 64 x 48, every picture file 13 x 11
         "[GLOBALINFO]\nBICONCLOSE=^0000,0000,9999,9999,0000,0000,0000,0000,3,1,0,0\n"
         "BICONMAX=^0040,0000,0010,0020,0000,0000,0000,0000,1,0,0,0\nBICONMIN=@0060,0040,0070,0050,1,1\n"
         "BICONHELP=^0000,0000,0030,0020,9999,-999,0040,9999,3,1,0,0\nSH_SOURCE=1\n"
         "SH_MASK=^0000,0000,0065,0010,0004,0004,0004,0004,1,1,1,0\n"
         "[S]\nPATTERN=~0000,0000,0020,0020,01,0~x~x~x~x~x~own.bmp\n"
         "HOTPATTERN=~0002,0001,0012,0011,01,0~x~x~x~x~x~own.bmp\nGLYPHMASK=!own.png!1!0!0!32767!32767!32767!32767\n",
         [](const TSkinInMemory &s) {
             // Beyond the master, turned over, half out: no picture, as a missing file gives none.
             for (TvlTitleIcon icon : {tiBigClose, tiBigMax, tiBigMin})
                 EXPECT_LT(s.Elements.TitleIcons[icon], 0) << icon;
             EXPECT_EQ(s.OutEffects[1].MaskIndex, -1);
             const TsMaskData *help = MaskOf(s, s.Elements.GlobalInfoSection, "BICONHELP");
             ASSERT_NE(help, nullptr);
             EXPECT_EQ(CaptionButtonSize(help), (vcl::TSize{10, 10}));
             const int section = FindSectionIndex(s.Sections, "S");
             EXPECT_EQ(MaskOf(s, section, "PATTERN"), nullptr) << "20 x 20 of a picture of 13 x 11";
             const TsMaskData *hot = MaskOf(s, section, "HOTPATTERN");
             ASSERT_NE(hot, nullptr);
             EXPECT_EQ(hot->R, (vcl::TRect{2, 1, 12, 11}));
         }},
        {"version with a sign", "[GLOBALINFO]\nVERSION=+8.5\n",
         [](const TSkinInMemory &s) { EXPECT_DOUBLE_EQ(s.Data.Version, 8.5); }},
        {"common sections", "[BUTTON]\nCOLOR=1\n",
         [](const TSkinInMemory &s) {
             const TsGeneralData &c = Section(s, "MYBUTTON");
             EXPECT_EQ(c.States, 1);
             EXPECT_EQ(c.Glow, 255);
             EXPECT_EQ(c.GlowMargin, -M);
             EXPECT_EQ(c.Props[0].ImagePercent, 100);
             EXPECT_EQ(c.Props[0].GSize, MaxTextGlowRadius);
         }},
    };
    vcl::TStringList common;
    common.SetText("[MYBUTTON]\nPARENTCLASS=BUTTON\nSTATES=0\nGLOW=1000\nGLOWMARGIN=-100000\nIMAGEPERCENT=500\n"
                   "GSIZE=1000\n");
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Name);
        // A key written twice keeps its first value: the row's own come first.
        TSkinInMemory skin(std::string(row.Options) + "[GLOBALINFO]\nVERSION=10\n", TSkinInMemory::Master(), &common);
        row.Check(skin);
        ExpectMasksWithinTheirPictures(skin);
        test::PaintEverySectionAndMask(skin);
    }
}

} // namespace
} // namespace skin
