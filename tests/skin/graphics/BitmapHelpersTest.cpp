#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PixelTestSupport.h"
#include "skin/graphics/vlBitmapHelpers.h"

namespace skin {
namespace {

using test::Image;
using test::Px;

TEST(FrameBandRects, TopLeftBottomRightInsideTheRect) {
    const auto bands = FrameBandRects({0, 0, 10, 8}, 1, 2, 3, 4);
    EXPECT_EQ(bands[0], (vcl::TRect{0, 0, 10, 2}));
    EXPECT_EQ(bands[1], (vcl::TRect{0, 2, 1, 8}));
    EXPECT_EQ(bands[2], (vcl::TRect{1, 4, 10, 8}));
    EXPECT_EQ(bands[3], (vcl::TRect{7, 2, 10, 4}));
    for (const vcl::TRect &band : FrameBandRects({3, 3, 9, 9}, 0, 0, 0, 0)) EXPECT_TRUE(band.IsEmpty());
}

TEST(CopyBitmapChannel, CopiesOneByteOfEachPixelBothWays) {
    vcl::TPixels32 img = Image(3, 2, [](int x, int y) { return Px(x, y, 10 * x + y, 100 + x + 10 * y); });
    std::vector<std::uint8_t> plane(3 * 2, 0);
    const vcl::TBitmapView planeView{plane.data(), 3, 3, 2};
    CopyBitmapChannel(img.View(), planeView, 3, true);
    EXPECT_EQ(plane, (std::vector<std::uint8_t>{100, 101, 102, 110, 111, 112}));

    for (auto &b : plane) b = static_cast<std::uint8_t>(b + 1);
    CopyBitmapChannel(img.View(), planeView, 0, false);
    EXPECT_EQ(img.At(2, 1), Px(113, 1, 21, 112));

    CopyBitmapChannel(img.View(), planeView, 4, false);
    CopyBitmapChannel(img.View(), planeView, -1, true);
    EXPECT_EQ(img.At(2, 1), Px(113, 1, 21, 112));
}

TEST(CopyBitmapChannel, CopiesOnlyWhereBothImagesReach) {
    vcl::TPixels32 img(4, 4, Px(9, 9, 9, 9));
    std::vector<std::uint8_t> plane(2 * 2, 7);
    CopyBitmapChannel(img.View(), {plane.data(), 2, 2, 2}, 2, false);
    EXPECT_EQ(img.At(1, 1), Px(9, 9, 7, 9));
    EXPECT_EQ(img.At(2, 1), Px(9, 9, 9, 9));
    EXPECT_EQ(img.At(0, 3), Px(9, 9, 9, 9));
}

// Ten pixels per character (UTF-8 code point).
int TenPerCharacter(std::string_view text) {
    int n = 0;
    for (unsigned char c : text) n += (c & 0xC0) != 0x80;
    return 10 * n;
}

struct ShortenCase {
    const char *Text;
    int MaxWidth;
    const char *Expected;
};

class ShortenText : public testing::TestWithParam<ShortenCase> {};

TEST_P(ShortenText, CutsAndAppendsEllipsis) {
    EXPECT_EQ(ShortenTextToWidth(TenPerCharacter, GetParam().Text, GetParam().MaxWidth), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Table, ShortenText, testing::Values(
    ShortenCase{"Hello", 0, ""},
    ShortenCase{"Hello", -3, ""},
    ShortenCase{"Hello", 50, "Hello"},
    ShortenCase{"Hello", 45, "H..."},
    ShortenCase{"Hello world", 79, "Hell..."},
    // Not even one character fits with the ellipsis: empty, without "...".
    ShortenCase{"Hello", 35, ""},
    ShortenCase{"", 10, ""},
    // Czech letters are two bytes each: a cut never splits one.
    ShortenCase{"Žluťoučký kůň", 60, "Žlu..."},
    ShortenCase{"Žluťoučký kůň", 70, "Žluť..."}));

} // namespace
} // namespace skin
