#pragma once
// The arithmetic of the title bar's items, apart from their windows and
// fonts: measuring one item from the sizes of its image, caption and arrow,
// arranging the items in the caption area, the state an item shows, which
// skin section paints it and which state and colours the painter takes.
// Portable.
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "vcl/TypInfo.h"
#include "vcl/Types.h"

namespace skin {

VCL_ENUM(TvlItemAlign, tbaLeft, tbaRight, tbaCenter, tbaCenterInSpace)
VCL_ENUM(TvlBtnStyle, bsButton, bsMenu, bsTab, bsSpacing, bsInfo)

// What measuring an item starts from; sizes in pixels, 0 where absent.
struct TvlItemMeasureInput {
    TvlBtnStyle Style = bsButton;
    vcl::TSize Image{};      // the image-list image, else one glyph frame
    vcl::TSize Text{};       // the caption's extent (0 x 0 without caption)
    bool HasCaption = false;
    int Spacing = 4;         // between image and caption
    bool HasDropdown = false;
    int ArrowWidth = 0;      // of the arrow character in the item's font
    int ItemsMargin = 3;
    bool KeepSize = false;   // the item keeps Width and Height
    int Width = 22;          // as they are now
    int Height = 18;
};

struct TvlItemSize {
    vcl::TSize Content{};  // image, caption and arrow
    int Width = 0;
    int Height = 0;
};

// The gap before an item's drop-down arrow: bsMenu 4, bsButton 1, else 0.
int ItemArrowGap(TvlBtnStyle Style);
TvlItemSize MeasureTitleItem(const TvlItemMeasureInput &In);

// The part of the caption that the provider hands to the title bar.
struct TvlTitleArea {
    int Limit = 0;          // the right end of the caption before any button
    int ButtonCenterY = 0;
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

struct TvlArrangedItem {
    bool Visible = true;
    TvlItemAlign Align = tbaLeft;
    TvlBtnStyle Style = bsButton;
    int Width = 0, Height = 0;
    vcl::TRect Rect{};  // out; left as it was for an invisible item
};

struct TvlGroupWidths {
    int Left = 0, Right = 0, Center = 0, CenterInSpace = 0;
};

// Places the visible items, in order, group by group; answers the summed
// widths of each group.
TvlGroupWidths ArrangeTitleItems(const TvlTitleArea &Area, std::span<TvlArrangedItem> Items);

// The state an item shows: pressed (2) while its menu is open or it is
// Down, else its own (0 normal, 1 hot).
int ShownItemState(int State, bool Down, bool MenuDropped);

// The skin section of an item: its own SkinSection when the skin has it,
// else by style ("TB_BTN" then "TOOLBUTTON"; "TB_MENUBTN"; "TB_TAB" then
// the manager's cached "TABTOP" index); -1 for none. Find answers a
// section's index or -1.
struct TvlItemSection {
    std::string Name;
    int Index = -1;
};
TvlItemSection ChooseItemSection(TvlBtnStyle Style, const std::string &SkinSection,
                                 const std::function<int(std::string_view)> &Find, int TabTopIndex);

// The state image an item's background and text take: a tab shows 0 or 1;
// others min(state, the section's states - 1, 2), or min(state, 2) without
// a section.
int ItemStateIndex(TvlBtnStyle Style, int ShownState, int SectionIndex, int SectionStates);

// Where an item's caption colour comes from.
enum TvlItemColorSource {
    icsFont,            // the item's own font
    icsSection,         // the item's section, in the item's state index
    icsCaptionSection,  // the form's caption section, in the form's state
    icsWhite,           // the built-in menu-button picture's text
};
TvlItemColorSource ItemColorSource(TvlBtnStyle Style, bool UseSysColor, bool OwnSkinSection, int SectionIndex,
                                   int ShownState);

} // namespace skin
