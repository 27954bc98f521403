#pragma once
// The manager's record of the loaded skin (TsSkinData: where it came from,
// its version and the values of its GLOBALINFO section), the names of the
// 28 standard sections and the 28 skin colour slots. Portable.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "skin/graphics/sSkinTables.h"
#include "vcl/System.h"
#include "vcl/Types.h"

namespace skin {

class TsSkinData : public vcl::TObject {
    VCL_CLASS(TsSkinData, vcl::TObject)
public:
    // A skin is applied. The manager keeps TsSkinTables::SkinActive, which
    // the painters read, equal to it.
    bool Active = false;
    std::string SkinPath;  // folder of the skin with a trailing backslash; empty for a stored skin
    double Version = 0;

    std::string Author;
    std::string Description;
    std::int32_t BorderWidth = 4;
    std::int32_t TitleHeight = 30;
    std::int32_t MaxHeight = 30;
    std::int32_t FormOffset = 0;
    std::int32_t CenterOffset = 0;
    std::int32_t BorderMode = 0;
    std::int32_t BrightMin = -50;
    std::int32_t BrightMax = 50;
    std::int32_t AlignOffset = 0;
    std::int32_t AlignOffsetR = 0;
    std::int32_t AlignOffsetT = 0;
    std::int32_t AlignOffsetB = 0;
    // Placement of the title-bar icons; BIKeepHue 1 or 2 keeps the title
    // glyphs out of a hue rotation.
    std::int32_t BISpace = 0;
    std::int32_t BIVAlign = 0;
    std::int32_t BIRight = 0;
    std::int32_t BILeft = 0;
    std::int32_t BITop = 0;
    std::int32_t BIKeepHue = 0;
    bool AeroBlur = false;
    std::int32_t BIconCloseGlow = 0;
    std::int32_t BIconCloseGlowMargin = 0;
    std::int32_t BIconMaxGlow = 0;
    std::int32_t BIconMaxGlowMargin = 0;
    std::int32_t BIconMinGlow = 0;
    std::int32_t BIconMinGlowMargin = 0;
    vcl::TColor Shadow1Color = 0;
    std::int32_t Shadow1Offset = 0;
    std::int32_t Shadow1Blur = -1;
    std::int32_t Shadow1Transparency = 0;
    std::int32_t ComboMargin = 2;
    std::int32_t TabsCovering = 0;        // "TABSCOVERING" of section "TABTOP"
    std::int32_t RibbonTabsCovering = 0;  // "TABSCOVERING" of section "RIBBONTAB"
};

// Every measure a skin gives in pixels (a border, a caption, a margin, an
// offset, a covering) lies within this many pixels, up or down: the values
// are read so, and the sizes made from margins of the skin's pictures are
// held to it. Far more than any skin draws; small enough that no window's
// picture grows beyond what a 32-bit process can hold.
inline constexpr int MaxSkinMeasure = 255;

// The 28 sections whose indexes the manager keeps after every load, in
// index order (the positions of TsSkinTables::StdSectionIndexes).
inline constexpr std::array<std::string_view, StdSectionCount> StdSectionNames{
    "MENUITEM",  "CHECKBOX",  "SPEEDBUTTON", "SPEEDBUTTON_SMALL", "TOOLBUTTON", "TRANSPARENT", "GROUPBOX",
    "DIVIDER",   "WEBBUTTON", "BUTTON",      "TOOLBAR",           "EDIT",       "GAUGE",       "SELECTION",
    "STATUSBAR", "PANEL",     "PANEL_LOW",   "TRACKBAR",          "COLHEADER",  "PROGRESSV",   "DRAGBAR",
    "GRIPH",     "GRIPV",     "PROGRESSH",   "TABSHEET",          "MENUBTN",    "UPDOWNBTN",   "COMBOBOX"};
using TvlStdSectionIndexes = std::array<int, StdSectionCount>;

// The skin colours, by slot.
enum TvlSkinColorSlot {
    scGlobalColor, scGlobalFontColor, scGlobalTCBottom, scGlobalTCTop,
    scEditFontColor, scEditColor, scSelectionColor, scSelectionFontColor,
    scFocusedSelectionColor, scFocusedSelectionFontColor, scEditBgInv, scEditTextInv,
    scEditBgOdd, scEditBgEven, scEditTextOk, scEditTextWarn,
    scEditTextAlert, scEditTextAlert2, scEditTextAlert3, scEditBgOk,
    scEditBgWarn, scEditBgAlert, scEditBgAlert2, scEditBgAlert3,
    scEditTextH1, scEditTextH2, scEditTextH3, scBorderColor,
    SkinColorCount
};
using TvlSkinColors = std::array<vcl::TColor, SkinColorCount>;

// Small rules of the manager that only compute.
//
// SkinDirectory made absolute against AppFolder (which ends in a delimiter):
// "..\x" goes up from the program's folder, ".\x" and "./x" start in it,
// "." is it, a name without ':' and without "\\" is inside it, anything else
// stands as written; a trailing backslash is added.
std::string ResolveSkinDirectoryOf(std::string_view SkinDirectory, std::string_view AppFolder);
// A skin name without its packed extension ".gmz" (in any case); a name of
// just the extension stays.
std::string StripPackedExtension(std::string_view SkinName);
// The screen-scale class of an "AppliedDPI" value: 0 below 120, 1 up to
// 143, 2 from 144.
int DPIClassOf(int AppliedDPI);
// A version as the skin info shows it: "10", "7.45".
std::string VersionText(double Version);

// The slots that hue and saturation recolour (bit i = slot i): the main
// colours, the first tab colour, the edit and selection colours and the
// border colour.
inline constexpr std::uint32_t RecoloredSkinColors = 0x08003FF7;

} // namespace skin
