// The title bar's arithmetic: an item's size from its image, caption and
// arrow; the items' places in the caption area by group and style; the
// state an item shows; the section that paints it, the state index it
// reads and where its caption colour comes from (items without a section
// never read the section table).
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "skin/forms/vlTitleBarLayout.h"

namespace skin {
namespace {

TEST(TitleBarLayout, ItemsMeasureFromImageCaptionAndArrow) {
    struct Case {
        const char *What;
        TvlItemMeasureInput In;
        vcl::TSize Content;
        int Width, Height;
    };
    const auto in = [](TvlBtnStyle Style, vcl::TSize Image, vcl::TSize Text, bool Dropdown = false, int Margin = 3) {
        TvlItemMeasureInput i;
        i.Style = Style;
        i.Image = Image;
        i.Text = Text;
        i.HasCaption = Text.cx > 0;
        i.HasDropdown = Dropdown;
        i.ArrowWidth = 9;
        i.ItemsMargin = Margin;
        return i;
    };
    const std::vector<Case> cases{
        {"empty button, margin 3", in(bsButton, {}, {}), {0, 0}, 16, 16},
        {"empty button, margin 7", in(bsButton, {}, {}, false, 7), {0, 0}, 16, 16},
        {"empty button, margin 8", in(bsButton, {}, {}, false, 8), {0, 0}, 16, 16},
        {"empty button, margin 9", in(bsButton, {}, {}, false, 9), {0, 0}, 18, 18},
        {"image only", in(bsButton, {16, 16}, {}), {16, 16}, 22, 22},
        {"caption only", in(bsButton, {}, {40, 13}), {40, 13}, 46, 19},
        {"image and caption: spacing", in(bsButton, {16, 16}, {40, 13}), {60, 16}, 66, 22},
        {"button with arrow: gap 1", in(bsButton, {}, {40, 13}, true), {50, 13}, 56, 19},
        {"menu with arrow: gap 4, margins + 4, height + 1", in(bsMenu, {}, {40, 13}, true), {53, 14}, 67, 20},
        {"menu without menu: no arrow", in(bsMenu, {}, {40, 13}), {40, 14}, 54, 20},
        {"tab: caption + 4, height + 1", in(bsTab, {}, {40, 13}), {44, 14}, 50, 20},
        {"tab ignores a drop-down", in(bsTab, {}, {40, 13}, true), {44, 14}, 50, 20},
        {"info ignores a drop-down", in(bsInfo, {}, {40, 13}, true), {40, 13}, 46, 19},
    };
    for (const Case &c : cases) {
        const TvlItemSize s = MeasureTitleItem(c.In);
        EXPECT_EQ(s.Content, c.Content) << c.What;
        EXPECT_EQ(s.Width, c.Width) << c.What;
        EXPECT_EQ(s.Height, c.Height) << c.What;
    }

    // A spacer and KeepSize keep the size as set; the content is still measured.
    TvlItemMeasureInput spacer = in(bsSpacing, {16, 16}, {});
    spacer.Width = 40;
    spacer.Height = 5;
    const TvlItemSize s = MeasureTitleItem(spacer);
    EXPECT_EQ(s.Width, 40);
    EXPECT_EQ(s.Height, 5);
    EXPECT_EQ(s.Content, (vcl::TSize{16, 16}));
    TvlItemMeasureInput kept = in(bsButton, {16, 16}, {40, 13});
    kept.KeepSize = true;
    EXPECT_EQ(MeasureTitleItem(kept).Width, 22);
}

TEST(TitleBarLayout, GroupsStandFromTheirEdgesAndCentresIgnoreOrShareTheRoom) {
    TvlTitleArea area;
    area.Left = 20;
    area.Right = 300;
    area.Limit = 380;
    area.Top = 2;
    area.Bottom = 30;
    area.ButtonCenterY = 15;
    std::vector<TvlArrangedItem> items{
        {true, tbaLeft, bsButton, 20, 16},           // 0
        {true, tbaRight, bsButton, 30, 16},          // 1
        {true, tbaLeft, bsMenu, 25, 20},             // 2
        {false, tbaLeft, bsButton, 99, 16},          // 3: hidden
        {true, tbaCenter, bsInfo, 40, 17},           // 4
        {true, tbaCenterInSpace, bsTab, 50, 20},     // 5
        {true, tbaCenterInSpace, bsSpacing, 10, 4},  // 6
        {true, tbaRight, bsTab, 12, 14},             // 7
    };
    items[3].Rect = {1, 2, 3, 4};
    const TvlGroupWidths w = ArrangeTitleItems(area, items);
    EXPECT_EQ(w.Left, 45);
    EXPECT_EQ(w.Right, 42);
    EXPECT_EQ(w.Center, 40);
    EXPECT_EQ(w.CenterInSpace, 60);

    const std::map<int, vcl::TRect> expected{
        {0, {20, 7, 40, 23}},    // centred on the button line
        {2, {40, 2, 65, 22}},    // a menu hangs from the top
        {1, {258, 7, 288, 23}},  // right group from Right - its width
        {7, {288, 16, 300, 30}}, // a tab stands on the bottom
        // centre: Left + (Limit - Left - 40) / 2 = 180, over the whole caption
        {4, {180, 7, 220, 24}},
        // centre in space: 20 + 45 + ((280 - 42 - 45) - 60) / 2 = 131
        {5, {131, 10, 181, 30}},
        {6, {181, 13, 191, 17}},
    };
    for (const auto &[index, rect] : expected) EXPECT_EQ(items[static_cast<std::size_t>(index)].Rect, rect) << index;
    EXPECT_EQ(items[3].Rect, (vcl::TRect{1, 2, 3, 4})) << "a hidden item keeps its rectangle";
}

TEST(TitleBarLayout, AnOpenMenuOrDownShowsPressed) {
    struct Case {
        int State;
        bool Down, Dropped;
        int Shown;
    };
    for (const Case &c : std::vector<Case>{{0, false, false, 0}, {1, false, false, 1}, {2, false, false, 2},
                                           {0, true, false, 2}, {1, false, true, 2}, {0, true, true, 2}})
        EXPECT_EQ(ShownItemState(c.State, c.Down, c.Dropped), c.Shown) << c.State << c.Down << c.Dropped;
}

TEST(TitleBarLayout, SectionsAreChosenByStyleAndOwnName) {
    const auto finder = [](std::map<std::string, int> Sections) {
        return [Sections](std::string_view Name) {
            const auto it = Sections.find(std::string(Name));
            return it == Sections.end() ? -1 : it->second;
        };
    };
    const auto full = finder({{"TB_BTN", 1}, {"TOOLBUTTON", 2}, {"TB_MENUBTN", 3}, {"TB_TAB", 4}, {"MINE", 7}});
    const auto bare = finder({{"TOOLBUTTON", 2}});
    const auto none = finder({});
    struct Case {
        const char *What;
        TvlBtnStyle Style;
        std::string Own;
        std::function<int(std::string_view)> Find;
        int TabTop;
        std::string Name;
        int Index;
    };
    const std::vector<Case> cases{
        {"own section found", bsSpacing, "MINE", full, 9, "MINE", 7},
        {"own section missing: by style", bsButton, "NOPE", full, 9, "TB_BTN", 1},
        {"button", bsButton, "", full, 9, "TB_BTN", 1},
        {"button without TB_BTN", bsButton, "", bare, 9, "TOOLBUTTON", 2},
        {"button without either", bsButton, "", none, 9, "", -1},
        {"menu", bsMenu, "", full, 9, "TB_MENUBTN", 3},
        {"menu without TB_MENUBTN: the picture", bsMenu, "", bare, 9, "", -1},
        {"tab", bsTab, "", full, 9, "TB_TAB", 4},
        {"tab without TB_TAB: the cached TABTOP", bsTab, "", bare, 9, "TABTOP", 9},
        {"tab without either", bsTab, "", none, -1, "", -1},
        {"spacer", bsSpacing, "", full, 9, "", -1},
        {"info", bsInfo, "", full, 9, "", -1},
    };
    for (const Case &c : cases) {
        const TvlItemSection s = ChooseItemSection(c.Style, c.Own, c.Find, c.TabTop);
        EXPECT_EQ(s.Name, c.Name) << c.What;
        EXPECT_EQ(s.Index, c.Index) << c.What;
    }
}

TEST(TitleBarLayout, StateIndexesStayInsideTheSectionOrTheThreeTextStates) {
    struct Case {
        TvlBtnStyle Style;
        int Shown, Section, States, Index;
    };
    const std::vector<Case> cases{
        {bsButton, 2, 5, 3, 2}, {bsButton, 2, 5, 2, 1}, {bsButton, 1, 5, 1, 0}, {bsButton, 2, 5, 9, 2},
        // without a section: min(state, 2), whatever the count passed
        {bsButton, 2, -1, 0, 2}, {bsInfo, 1, -1, 0, 1}, {bsMenu, 5, -1, 0, 2}, {bsSpacing, 0, -1, 0, 0},
        // tabs: 0 or 1
        {bsTab, 0, 4, 3, 0}, {bsTab, 1, 4, 3, 1}, {bsTab, 2, 4, 3, 1}, {bsTab, 2, -1, 0, 1},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ItemStateIndex(c.Style, c.Shown, c.Section, c.States), c.Index)
            << c.Style << " " << c.Shown << " " << c.Section << " " << c.States;
}

TEST(TitleBarLayout, CaptionColoursComeFromFontSectionCaptionOrThePicture) {
    struct Case {
        TvlBtnStyle Style;
        bool UseSys, OwnSection;
        int Section, Shown;
        TvlItemColorSource Source;
    };
    const std::vector<Case> cases{
        {bsButton, false, false, 3, 1, icsFont},
        {bsMenu, false, false, -1, 0, icsFont},
        {bsButton, true, false, 3, 0, icsCaptionSection},  // a normal button without its own section
        {bsButton, true, true, 3, 0, icsSection},
        {bsButton, true, false, 3, 1, icsSection},
        {bsInfo, true, false, -1, 0, icsCaptionSection},
        {bsButton, true, false, -1, 2, icsCaptionSection},  // no section: never the table
        {bsMenu, true, false, -1, 1, icsWhite},
        {bsMenu, true, false, 3, 1, icsSection},
        {bsTab, true, false, 4, 0, icsSection},
        {bsTab, true, false, -1, 1, icsCaptionSection},
        {bsSpacing, true, false, -1, 0, icsCaptionSection},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ItemColorSource(c.Style, c.UseSys, c.OwnSection, c.Section, c.Shown), c.Source)
            << c.Style << " " << c.UseSys << c.OwnSection << " " << c.Section << " " << c.Shown;
}

} // namespace
} // namespace skin
