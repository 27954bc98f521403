// The border form's arithmetic at every boundary: the sizing zones (both
// ends of each range included, corners diagonal, a "BORDERWIDTH" below 6
// counting as 6), the outer shadow one pixel beyond them, both again in
// "BORDERMODE" 1 with the align offsets, and a maximized owner's rectangle.
#include <gtest/gtest.h>

#include <vector>

#include "skin/forms/vlBorderGeometry.h"

namespace skin {
namespace {

constexpr int W = 300, H = 200;
const vcl::TRect M{10, 12, 14, 16};

struct Case {
    vcl::TPoint P;
    int Code;
    bool Shadow;
};

void Check(const TvlBorderSkin &Skin, int N, const std::vector<Case> &Cases) {
    for (const Case &c : Cases) {
        EXPECT_EQ(BorderSizingCode(c.P, W, H, M, Skin, N), c.Code) << c.P.X << "," << c.P.Y;
        EXPECT_EQ(InOuterShadow(c.P, W, H, M, Skin), c.Shadow) << c.P.X << "," << c.P.Y;
    }
}

TEST(BorderGeometry, SizingZonesReachSixPixelsOutAndTheShadowBeginsBeyond) {
    TvlBorderSkin skin;
    skin.BorderWidth = 4;  // counts as 6
    EXPECT_EQ(SizingZoneWidth(skin), 6);
    EXPECT_EQ(OuterShadowLimit(W, H, M, skin), (vcl::TRect{4, 6, 292, 190}));
    Check(skin, 3,
          {
              {{150, 6}, 12, false}, {{150, 5}, 0, true}, {{150, 12}, 12, false}, {{150, 13}, 0, false},
              {{150, 190}, 15, false}, {{150, 191}, 0, true}, {{150, 184}, 15, false}, {{150, 183}, 0, false},
              {{4, 100}, 10, false}, {{3, 100}, 0, true}, {{10, 100}, 10, false}, {{11, 100}, 0, false},
              {{292, 100}, 11, false}, {{293, 100}, 0, true}, {{286, 100}, 11, false}, {{285, 100}, 0, false},
              // corners: one diagonal code
              {{4, 6}, 13, false}, {{10, 12}, 13, false}, {{292, 6}, 14, false}, {{286, 12}, 14, false},
              {{4, 190}, 16, false}, {{10, 184}, 16, false}, {{292, 190}, 17, false}, {{286, 184}, 17, false},
              {{11, 12}, 12, false}, {{10, 13}, 10, false},
              // the zones run on into the shadow, where the window lets the mouse through first
              {{3, 6}, 12, true}, {{4, 5}, 10, true},
          });

    skin.BorderWidth = 8;
    EXPECT_EQ(SizingZoneWidth(skin), 8);
    Check(skin, 3, {{{150, 4}, 12, false}, {{150, 3}, 0, true}, {{2, 100}, 10, false}, {{1, 100}, 0, true},
                    {{294, 100}, 11, false}, {{295, 100}, 0, true}, {{150, 192}, 15, false}, {{150, 193}, 0, true}});
}

TEST(BorderGeometry, BorderModeOneTakesTheAlignOffsetsAndTheOwnersBorder) {
    TvlBorderSkin skin;
    skin.BorderMode = 1;
    skin.BorderWidth = 20;  // plays no part here
    skin.AlignLeft = 3;
    skin.AlignTop = 5;
    skin.AlignRight = 7;
    skin.AlignBottom = 9;
    const int n = 4;
    EXPECT_EQ(OuterShadowLimit(W, H, M, skin), (vcl::TRect{7, 7, 293, 193}));
    Check(skin, n,
          {
              {{150, 7}, 12, false}, {{150, 11}, 12, false}, {{150, 12}, 0, false}, {{150, 6}, 0, true},
              {{150, 189}, 15, false}, {{150, 188}, 0, false}, {{150, 193}, 15, false}, {{150, 194}, 0, true},
              {{7, 100}, 10, false}, {{11, 100}, 10, false}, {{12, 100}, 0, false}, {{6, 100}, 0, true},
              {{289, 100}, 11, false}, {{293, 100}, 11, false}, {{288, 100}, 0, false}, {{294, 100}, 0, true},
              {{7, 7}, 13, false}, {{293, 7}, 14, false}, {{7, 193}, 16, false}, {{293, 193}, 17, false},
              {{6, 6}, 0, true},
          });
}

TEST(BorderGeometry, AMaximizedOwnerKeepsTheRectangleInsideItsBorder) {
    EXPECT_EQ(MaximizedBorderRect(W, H, M, 4, 2), (vcl::TRect{16, 16, 280, 178}));
    EXPECT_EQ(MaximizedBorderRect(W, H, {}, 0, 0), (vcl::TRect{0, 4, W, H}));
}

} // namespace
} // namespace skin
