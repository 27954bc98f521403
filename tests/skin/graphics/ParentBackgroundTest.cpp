// The parent's answer turned into the background record the painters take.
#include <gtest/gtest.h>

#include "skin/graphics/vlParentBackground.h"

namespace skin {
namespace {

TEST(BgQueryToBgInfo, AColourAnswerKeepsTheLentImageAndItsMarginsAnImageAnswerOnlyItsPlace) {
    int lent = 0;  // stands for the parent's image: never read here
    auto *image = reinterpret_cast<vcl::TBitmap *>(&lent);
    TvlBgQuery q;
    q.Image = image;
    q.X = 4, q.Y = 5;
    q.Margins = {3, 2, 4, 5};
    q.Color = 0x123456;
    q.Kind = bqColor;
    TvlBgInfo info;
    BgQueryToBgInfo(q, info);
    EXPECT_EQ(info.Bmp, image);
    EXPECT_EQ(info.X, 4);
    EXPECT_EQ(info.Y, 5);
    EXPECT_EQ(info.R, vcl::Rect(3, 2, 4, 5));
    EXPECT_EQ(info.Color, 0x123456);
    EXPECT_FALSE(info.UseBmp);

    q.Color = vcl::clBtnFace;  // a system colour is resolved
    BgQueryToBgInfo(q, info);
    EXPECT_EQ(info.Color, vcl::ColorToRGB(vcl::clBtnFace));
    EXPECT_GE(info.Color, 0);

    q.Kind = bqImage;
    BgQueryToBgInfo(q, info);
    EXPECT_EQ(info.Bmp, image);
    EXPECT_EQ(info.X, 4);
    EXPECT_EQ(info.Y, 5);
    EXPECT_TRUE(info.UseBmp);
    EXPECT_EQ(info.Color, vcl::clFuchsia);
    EXPECT_EQ(info.R, vcl::TRect{});
}

} // namespace
} // namespace skin
