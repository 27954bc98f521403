// The portable arithmetic of the skinned tab control: positions and kinds
// from the style, the frame and strip beside the display area, the skin's
// tab rectangles per position and state, rows, the frame's section and the
// face of turned captions.
#include <gtest/gtest.h>

#include "skin/adapters/vlTabGeometry.h"

namespace skin {
namespace {

TEST(TabGeometry, StyleGivesPositionAndKind) {
    EXPECT_EQ(TabPositionOfStyle(0), tpTop);
    EXPECT_EQ(TabPositionOfStyle(0x0002), tpBottom);
    EXPECT_EQ(TabPositionOfStyle(0x0080), tpLeft);
    EXPECT_EQ(TabPositionOfStyle(0x0082), tpRight);
    EXPECT_EQ(TabKindOfStyle(0), tkTabs);
    EXPECT_EQ(TabKindOfStyle(0x0100), tkButtons);
    EXPECT_EQ(TabKindOfStyle(0x0108), tkFlatButtons);
}

TEST(TabGeometry, FrameAndStripMeetAtTheDisplayAreaOnTheTabsSide) {
    const vcl::TRect window{0, 0, 200, 150}, display{4, 30, 196, 146};
    EXPECT_EQ(TabFrameRect(window, display, tpTop, true), (vcl::TRect{0, 26, 200, 150}));
    EXPECT_EQ(TabStripRect(window, display, tpTop), (vcl::TRect{0, 0, 200, 26}));
    EXPECT_EQ(TabFrameRect(window, display, tpTop, false), window);
    const vcl::TRect low{4, 4, 196, 120};
    EXPECT_EQ(TabFrameRect(window, low, tpBottom, true), (vcl::TRect{0, 0, 200, 122}));
    EXPECT_EQ(TabStripRect(window, low, tpBottom), (vcl::TRect{0, 122, 200, 150}));
    const vcl::TRect side{40, 4, 160, 146};
    EXPECT_EQ(TabFrameRect(window, side, tpLeft, true), (vcl::TRect{39, 0, 200, 150}));
    EXPECT_EQ(TabStripRect(window, side, tpLeft), (vcl::TRect{0, 0, 39, 150}));
    EXPECT_EQ(TabFrameRect(window, side, tpRight, true), (vcl::TRect{0, 0, 161, 150}));
    EXPECT_EQ(TabStripRect(window, side, tpRight), (vcl::TRect{161, 0, 200, 150}));
}

TEST(TabGeometry, SkinTabRectsByPositionAndState) {
    const vcl::TRect item{10, 2, 60, 22};
    EXPECT_EQ(SkinTabRect(item, tpTop, tkTabs, false, 0), (vcl::TRect{10, 2, 59, 26}));
    EXPECT_EQ(SkinTabRect(item, tpTop, tkTabs, true, 0), (vcl::TRect{8, 0, 62, 24}));
    EXPECT_EQ(SkinTabRect(item, tpBottom, tkTabs, false, 0), (vcl::TRect{10, 0, 59, 22}));
    EXPECT_EQ(SkinTabRect(item, tpBottom, tkTabs, true, 0), (vcl::TRect{8, -1, 62, 23}));
    EXPECT_EQ(SkinTabRect(item, tpLeft, tkTabs, false, 0), (vcl::TRect{10, 1, 63, 22}));
    EXPECT_EQ(SkinTabRect(item, tpLeft, tkTabs, true, 0), (vcl::TRect{9, 0, 63, 23}));
    EXPECT_EQ(SkinTabRect(item, tpRight, tkTabs, false, 0), (vcl::TRect{8, 1, 59, 22}));
    EXPECT_EQ(SkinTabRect(item, tpRight, tkTabs, true, 0), (vcl::TRect{7, 0, 61, 24}));
    // Buttons and empty rectangles keep the system's; an offset widens along the strip.
    EXPECT_EQ(SkinTabRect(item, tpTop, tkButtons, true, 0), item);
    EXPECT_EQ(SkinTabRect({}, tpTop, tkTabs, true, 0), vcl::TRect{});
    EXPECT_EQ(SkinTabRect(item, tpTop, tkTabs, false, 3), (vcl::TRect{7, 2, 62, 26}));
    EXPECT_EQ(SkinTabRect(item, tpLeft, tkTabs, false, 3), (vcl::TRect{10, -2, 63, 25}));
    EXPECT_EQ(TabContentRect({0, 0, 50, 20}, tpTop, 2), (vcl::TRect{5, 3, 45, 17}));
    EXPECT_EQ(TabContentRect({0, 0, 20, 50}, tpRight, 0), (vcl::TRect{3, 3, 17, 47}));
}

TEST(TabGeometry, RowsCountFromTheDisplayAreaOutward) {
    const vcl::TRect display{4, 44, 196, 146};
    EXPECT_EQ(TabRowOf({10, 22, 60, 42}, display, tpTop, 1), 1);
    EXPECT_EQ(TabRowOf({10, 2, 60, 22}, display, tpTop, 1), 1);  // a single row: every tab in row 1
    EXPECT_EQ(TabRowOf({10, 22, 60, 42}, display, tpTop, 2), 1);
    EXPECT_EQ(TabRowOf({10, 2, 60, 22}, display, tpTop, 2), 2);
    EXPECT_EQ(TabRowOf({10, 150, 60, 170}, {4, 4, 196, 146}, tpBottom, 2), 1);
    EXPECT_EQ(TabRowOf({10, 170, 60, 190}, {4, 4, 196, 146}, tpBottom, 2), 2);
    EXPECT_EQ(TabRowOf({0, 10, 20, 60}, {44, 4, 196, 146}, tpLeft, 2), 2);
    EXPECT_EQ(TabRowOf({0, 10, 0, 60}, {44, 4, 196, 146}, tpLeft, 2), 1);  // no width: row 1
}

TEST(TabGeometry, FrameSectionAndTurnedCaptionFace) {
    EXPECT_EQ(PageFrameSection("PAGECONTROL", tpTop), "PAGECONTROL");
    EXPECT_EQ(PageFrameSection("PAGECONTROL", tpBottom), "PAGECONTROLBOTTOM");
    EXPECT_EQ(PageFrameSection("PAGECONTROL", tpLeft), "PAGECONTROLLEFT");
    EXPECT_EQ(PageFrameSection("PAGECONTROL", tpRight), "PAGECONTROLRIGHT");
    EXPECT_EQ(PageFrameSection("MYTABS", tpRight), "MYTABS");
    EXPECT_EQ(RotatedCaptionFace("MS Sans Serif"), "Arial");
    EXPECT_EQ(RotatedCaptionFace("Tahoma"), "Tahoma");
    EXPECT_EQ(RotatedCaptionEscapement(tpLeft), -2700);
    EXPECT_EQ(RotatedCaptionEscapement(tpRight), -900);
}

} // namespace
} // namespace skin
