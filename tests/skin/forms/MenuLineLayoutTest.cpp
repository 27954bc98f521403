// The menu line's arithmetic: the form's own items and the merged ones in
// group order, rows wrapping at the line's right end, and a maximized MDI
// child's buttons at the right of a row.
#include <gtest/gtest.h>

#include <vector>

#include "skin/forms/vlMenuLineLayout.h"

namespace skin {
namespace {

TEST(MenuLineLayout, ItemsStandInGroupOrderAndWrapAtTheLinesEnd) {
    struct Case {
        const char *What;
        std::vector<TvlLineItem> Own, Merged;
        TvlLineBand Band;
        std::vector<TvlPlacedItem> Expected;
    };
    const TvlLineBand line{4, 4, 200, 20, 19};
    const TvlLineBand afterIcon{4, 24, 200, 20, 19};
    const std::vector<TvlLineItem> own{{0, true, 40}, {1, true, 30}, {9, true, 50}};
    const std::vector<Case> cases{
        {"own items in a row", own, {}, line,
         {{false, 0, {4, 20, 44, 39}}, {false, 1, {44, 20, 74, 39}}, {false, 2, {74, 20, 124, 39}}}},
        {"merged groups replace the own ones and stand in group order", own, {{5, true, 35}, {1, true, 45}}, line,
         {{false, 0, {4, 20, 44, 39}}, {true, 1, {44, 20, 89, 39}}, {true, 0, {89, 20, 124, 39}},
          {false, 2, {124, 20, 174, 39}}}},
        {"items of one group keep their menu's order", {{0, true, 10}}, {{2, true, 5}, {2, true, 6}}, line,
         {{false, 0, {4, 20, 14, 39}}, {true, 0, {14, 20, 19, 39}}, {true, 1, {19, 20, 25, 39}}}},
        {"a merged group below every own one comes first, one above them last",
         {{3, true, 10}}, {{-1, true, 5}, {7, true, 20}}, line,
         {{true, 0, {4, 20, 9, 39}}, {false, 0, {9, 20, 19, 39}}, {true, 1, {19, 20, 39, 39}}}},
        {"the own items keep their order", {{4, true, 10}, {2, true, 20}}, {}, line,
         {{false, 0, {4, 20, 14, 39}}, {false, 1, {14, 20, 34, 39}}}},
        {"hidden items take no place; a hidden merged item still replaces its group",
         own, {{1, false, 45}, {9, true, 20}}, line, {{false, 0, {4, 20, 44, 39}}, {true, 1, {44, 20, 64, 39}}}},
        {"an item passing the right end starts the next row at the line's start",
         own, {{5, true, 90}}, afterIcon,
         {{false, 0, {24, 20, 64, 39}}, {false, 1, {64, 20, 94, 39}}, {true, 0, {94, 20, 184, 39}},
          {false, 2, {4, 39, 54, 58}}}},
        {"an item ending on the right end stays", {{0, true, 100}, {0, true, 96}}, {}, line,
         {{false, 0, {4, 20, 104, 39}}, {false, 1, {104, 20, 200, 39}}}},
        {"an item wider than the line stays first of its row",
         {{0, true, 300}, {0, true, 10}}, {}, line, {{false, 0, {4, 20, 304, 39}}, {false, 1, {4, 39, 14, 58}}}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(LayoutMenuLine(c.Own, c.Merged, c.Band), c.Expected) << c.What;
}

TEST(MenuLineLayout, AMaximizedChildsButtonsStandFromTheRightOnePixelApart) {
    const TvlChildButtons b = PlaceChildButtons(300, 40, 19, {16, 14});
    EXPECT_EQ(b.Close, (vcl::TRect{283, 42, 299, 56}));
    EXPECT_EQ(b.Restore, (vcl::TRect{266, 42, 282, 56}));
    EXPECT_EQ(b.Minimize, (vcl::TRect{249, 42, 265, 56}));
}

} // namespace
} // namespace skin
