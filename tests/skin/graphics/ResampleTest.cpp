#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "PixelTestSupport.h"
#include "skin/graphics/vlResampling.h"

namespace skin {
namespace {

using test::Hex;
using test::HexImage;
using test::Image;
using test::Px;

constexpr std::uint32_t Untouched = Px(1, 2, 3, 4);

std::uint32_t Grey(int v) { return Px(v, v, v, v); }

int WeightSum(const TResampleContributors &list, int d) {
    int sum = 0;
    for (int k = 0; k < list.Count[d]; ++k) sum += list.Items[list.First[d] + k].Weight;
    return sum;
}

// ---- Filters

TEST(ResampleFilters, WeightsMatchTheKernels) {
    const struct {
        int Filter;
        float X, Weight;
    } cases[] = {
        // The box tells the two sides of its edge apart by the sign.
        {rfBox, 0.0f, 1.0f}, {rfBox, 0.5f, 1.0f}, {rfBox, -0.5f, 0.0f},
        {rfBox, 0.505f, 0.0f},
        {rfTriangle, 0.25f, 0.75f}, {rfTriangle, -0.25f, 0.75f}, {rfTriangle, 1.0f, 0.0f},
        {rfHermite, 0.5f, 0.5f}, {rfHermite, 0.0f, 1.0f},
        {rfBell, 0.0f, 0.75f}, {rfBell, 0.5f, 0.5f}, {rfBell, 1.0f, 0.125f},
        {rfBSpline, 0.0f, 2.0f / 3.0f}, {rfBSpline, 1.0f, 1.0f / 6.0f}, {rfBSpline, 2.0f, 0.0f},
        // The windowed sine is exactly 1 at 0.
        {rfWindowedSine, 0.0f, 1.0f}, {rfWindowedSine, 1.0f, 0.0f},
        {rfMitchell, 0.0f, 8.0f / 9.0f}, {rfMitchell, 1.0f, 1.0f / 18.0f},
        {rfMitchell, 1.5f, -5.0f / 144.0f}, {rfMitchell, 2.0f, 0.0f},
        {9, 0.0f, 0.0f}, {-1, 0.0f, 0.0f}};
    for (const auto &c : cases)
        EXPECT_NEAR(ResampleFilterWeight(c.Filter, c.X), c.Weight, 1e-7) << "filter " << c.Filter << " at " << c.X;
}

// ---- Contributors

TEST(ResampleContributors, HalvingWithTriangleSpreadsOverTwoPixelsEachSide) {
    const TResampleContributors list = BuildResampleContributors(50, 100, rfTriangle, 4);
    ASSERT_EQ(list.Count.size(), 50u);
    for (int d = 0; d < 50; ++d) {
        // Weights 1/4, 1/2, 1/4 of the source pixels 2d - 1, 2d, 2d + 1.
        ASSERT_EQ(list.Count[d], 3) << d;
        EXPECT_EQ(WeightSum(list, d), 65536) << d;
        for (int k = 0; k < 3; ++k) {
            const TResampleContributor &c = list.Items[list.First[d] + k];
            EXPECT_LE(std::abs(c.Offset / 4 - 2 * d), 1) << d;
            EXPECT_EQ(c.Weight, c.Offset / 4 == 2 * d ? 32768 : 16384) << d;
        }
    }
    // Position 0 mirrors source pixel -1 onto pixel 1.
    EXPECT_EQ(list.Items[list.First[0]].Offset, 4);
    EXPECT_EQ(list.Items[list.First[0] + 2].Offset, 4);
}

TEST(ResampleContributors, IndexesStayInsideShortLines) {
    for (int filter = 0; filter < ResampleFilterCount; ++filter)
        for (int src : {2, 3, 5})
            for (int dst : {1, 2, 4, 9, 31}) {
                const TResampleContributors list = BuildResampleContributors(dst, src, filter, 4);
                for (const TResampleContributor &c : list.Items) {
                    ASSERT_GE(c.Offset, 0) << "filter " << filter << ", " << src << " -> " << dst;
                    ASSERT_LT(c.Offset, 4 * src) << "filter " << filter << ", " << src << " -> " << dst;
                }
            }
}

TEST(ResampleContributors, WeightsOfWholeRatiosSumToOne) {
    const struct {
        int Filter, Src, Dst;
    } cases[] = {
        {rfBox, 40, 20}, {rfBox, 20, 40}, {rfTriangle, 20, 40}, {rfHermite, 40, 20},
        {rfHermite, 20, 40}, {rfBell, 40, 20}, {rfBell, 20, 40}, {rfBSpline, 40, 20},
        {rfBSpline, 20, 40}, {rfMitchell, 40, 20}, {rfMitchell, 20, 40},
        {rfMitchell, 60, 20}};
    for (const auto &c : cases) {
        const TResampleContributors list = BuildResampleContributors(c.Dst, c.Src, c.Filter, 4);
        // Each weight is rounded to 1/65536 on its own.
        for (int d = 0; d < c.Dst; ++d)
            EXPECT_NEAR(WeightSum(list, d), 65536, list.Count[d] / 2 + 1)
                << c.Filter << ": " << c.Src << " -> " << c.Dst << " at " << d;
    }
}

TEST(ResampleContributors, SumsAreClampedToAByte) {
    TResampleContributors list;
    list.First = {0, 1, 2};
    list.Count = {1, 1, 1};
    list.Items = {{0, -65536}, {0, 70000}, {0, 32768}};
    const std::uint8_t src[4] = {255, 255, 255, 255};
    std::uint8_t dst[12] = {};
    // Source step is in the offsets (0 here); each position writes 4 bytes.
    ApplyResampleContributors(4, dst, src, list, 3);
    EXPECT_EQ(dst[0], 0);
    EXPECT_EQ(dst[4], 255);
    EXPECT_EQ(dst[8], 127);
    EXPECT_EQ(dst[11], 127);
}

// ---- ResampleBitmap32

// Src resized into a new image of W x H.
vcl::TPixels32 Resized(vcl::TPixels32 &src, int w, int h, int filter) {
    vcl::TPixels32 dst(w, h, Untouched);
    ResampleBitmap32(src.View(), dst.View(), filter);
    return dst;
}

TEST(ResampleBitmap32, EnlargingWithTheBoxCopiesTheNearestPixel) {
    vcl::TPixels32 src = Image(3, 2, [](int x, int y) { return Px(10 * x, 100 + y, 200, 255 - x); });
    EXPECT_EQ(HexImage(Resized(src, 6, 4, rfBox)),
              HexImage(Image(6, 4, [&](int x, int y) { return src.At(x / 2, y / 2); })));
}

TEST(ResampleBitmap32, HalvingWithTriangleAveragesQuarterHalfQuarter) {
    const int values[4] = {0, 100, 200, 40};
    vcl::TPixels32 src = Image(4, 2, [&](int x, int) { return Grey(values[x]); });
    // (100 + 0 + 100 mirrored) / 4 and (100 + 2 * 200 + 40) / 4, truncated.
    const std::string row = Hex({Grey(50), Grey(135)});
    EXPECT_EQ(HexImage(Resized(src, 2, 2, rfTriangle)), row + " / " + row);
}

TEST(ResampleBitmap32, MitchellKeepsAConstantImageUpToTruncation) {
    vcl::TPixels32 src(8, 6, Px(40, 80, 120, 160));
    EXPECT_EQ(HexImage(Resized(src, 16, 12, rfMitchell)), HexImage(vcl::TPixels32(16, 12, Px(40, 80, 120, 160))));
    // Halving, the rounded weights sum to 65535: each pass truncates by one.
    EXPECT_EQ(HexImage(Resized(src, 4, 3, rfMitchell)), HexImage(vcl::TPixels32(4, 3, Px(38, 78, 118, 158))));
}

TEST(ResampleBitmap32, TopDownAndBottomUpImagesGiveTheSamePixels) {
    vcl::TPixels32 src = Image(5, 4, [](int x, int y) { return Px(50 * x, 60 * y, 7 * x * y, 255); });
    std::vector<std::uint32_t> topDown(20);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) topDown[y * 5 + x] = src.At(x, y);
    const vcl::TBitmapView topDownView{reinterpret_cast<std::uint8_t *>(topDown.data()), 20, 5, 4};

    const vcl::TPixels32 a = Resized(src, 7, 9, rfMitchell);
    std::vector<std::uint32_t> out(63);
    const vcl::TBitmapView outView{reinterpret_cast<std::uint8_t *>(out.data()), 28, 7, 9};
    ResampleBitmap32(topDownView, outView, rfMitchell);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 7; ++x) ASSERT_EQ(a.At(x, y), out[y * 7 + x]) << x << "," << y;
}

TEST(ResampleBitmap32, SameSizeCopiesExactly) {
    vcl::TPixels32 src = Image(3, 3, [](int x, int y) { return Px(x, y, x * y, 77); });
    EXPECT_EQ(HexImage(Resized(src, 3, 3, rfMitchell)), HexImage(src));
}

TEST(ResampleBitmap32, ThinSourcesAndEmptyTargetsChangeNothing) {
    vcl::TPixels32 column(1, 5, Px(9, 9, 9, 9));
    vcl::TPixels32 row(5, 1, Px(9, 9, 9, 9));
    for (vcl::TPixels32 *thin : {&column, &row}) {
        const vcl::TPixels32 dst = Resized(*thin, 2, 2, rfTriangle);
        EXPECT_EQ(dst.At(0, 0), Untouched);
        EXPECT_EQ(dst.At(1, 1), Untouched);
    }
    vcl::TPixels32 src(4, 4, Px(9, 9, 9, 9));
    ResampleBitmap32(src.View(), vcl::TBitmapView{}, rfTriangle);
    EXPECT_EQ(src.At(0, 0), Px(9, 9, 9, 9));
}

TEST(ResampleBitmap32, TinySourcesEnlargeWithEveryFilter) {
    vcl::TPixels32 src = Image(2, 2, [](int x, int y) { return Grey(x == y ? 255 : 0); });
    for (int filter = 0; filter < ResampleFilterCount; ++filter) {
        const vcl::TPixels32 dst = Resized(src, 13, 11, filter);
        // The corners keep their side of the diagonal.
        EXPECT_GT(dst.At(0, 0) & 0xFF, dst.At(12, 0) & 0xFF) << filter;
    }
}

TEST(ResampleBitmap32, OneRowTargetIsWritten) {
    vcl::TPixels32 src(4, 4, Grey(100));
    EXPECT_EQ(Resized(src, 2, 1, rfTriangle).At(1, 0), Grey(100));
    // Ratios that are not whole do not sum to one: 4 -> 3 keeps 15/16 at the right.
    EXPECT_EQ(Resized(src, 3, 1, rfTriangle).At(2, 0), Grey(93));
}

} // namespace
} // namespace skin
