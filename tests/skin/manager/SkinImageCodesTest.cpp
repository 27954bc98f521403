// The value codes of picture keys and the corner scan of border masks.
#include "skin/manager/sSkinImageCodes.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "skin/graphics/vlPixelHelpers.h"
#include "vcl/BitmapView.h"
#include "vcl/Dib.h"
#include "vcl/System.h"

namespace skin {
namespace {

TEST(SkinImageCodes, InlineItemReadsItsFixedColumnsOnly) {
    // Columns 6, 11, 16, 21 and 23 hold the editor's commas and are not read.
    const TvlImageValue v = ParseImageValue("@0000,0000,0048,0021,2,1");
    EXPECT_EQ(v.Code, TvlImageCode::Inline);
    EXPECT_EQ(v.R, (vcl::TRect{0, 0, 48, 21}));
    EXPECT_EQ(v.ImageCount, 2);
    EXPECT_EQ(v.MaskType, 1);
    EXPECT_EQ(v.ImageKind, 2);
    EXPECT_EQ(v.DrawMode, 0);
    EXPECT_FALSE(v.DeriveMargins);
    EXPECT_FALSE(v.DetectCorners);
    EXPECT_EQ(ParseImageValue("@0000X0000X0048X0021X2X1").R, v.R);
}

TEST(SkinImageCodes, FixedItemReadsMarginsFlagsAndKindWord) {
    const TvlImageValue v = ParseImageValue("^0010,0020,0070,0050,0004,0005,0006,0007,3,1,4,2");
    EXPECT_EQ(v.Code, TvlImageCode::Fixed);
    EXPECT_EQ(v.R, (vcl::TRect{10, 20, 70, 50}));
    EXPECT_EQ(v.WL, 4);
    EXPECT_EQ(v.WB, 7);
    EXPECT_EQ(v.ImageCount, 3);
    EXPECT_EQ(v.MaskType, 1);
    EXPECT_EQ(v.DrawMode, 4);
    EXPECT_EQ(v.BorderWidth, 2);
    EXPECT_EQ(v.ImageKind, 0);  // no '!' words: no fourth word
    EXPECT_FALSE(v.DeriveMargins);
    EXPECT_TRUE(v.DetectCorners);
    // Negative rects fit the fixed fields.
    EXPECT_EQ(ParseImageValue("^-010,0000,0005,0005,0000,0000,0000,0000,1,0,0,0").R.Left, -10);
    EXPECT_TRUE(ParseImageValue("^0000,0000,0005,0005,0000,0000,0000,0000,1,0,0,0").DeriveMargins);
}

TEST(SkinImageCodes, FileItemWords) {
    const TvlImageValue v = ParseImageValue("!GLYPH.PNG!3!1");
    EXPECT_EQ(v.Code, TvlImageCode::File);
    EXPECT_EQ(v.FileName, "GLYPH.PNG");
    EXPECT_EQ(v.ImageCount, 3);
    EXPECT_EQ(v.MaskType, 1);
    EXPECT_EQ(v.ImageKind, 0);
    EXPECT_EQ(v.DrawMode, 0);
    EXPECT_TRUE(v.DeriveMargins);
    EXPECT_TRUE(v.DetectCorners);

    const TvlImageValue all = ParseImageValue("!!A.BMP!!2!0!1!5!6!7!8!3");
    EXPECT_EQ(all.FileName, "A.BMP");
    EXPECT_EQ(all.ImageKind, 1);
    EXPECT_EQ(all.WL, 5);
    EXPECT_EQ(all.WB, 8);
    EXPECT_EQ(all.DrawMode, 3);
    EXPECT_FALSE(all.DeriveMargins);
    EXPECT_FALSE(all.DetectCorners);

    EXPECT_EQ(ParseImageValue("!A.PNG!0").ImageCount, 1);     // no image count 0
    EXPECT_EQ(ParseImageValue("!A.PNG!1!0!9").ImageKind, 4);  // at most 4
    EXPECT_EQ(ParseImageValue("!A.PNG!1!0!-3").ImageKind, 0);
    EXPECT_EQ(ParseImageValue("!A.PNG!1!-1").MaskType, -1);
}

TEST(SkinImageCodes, WordsThatDoNotFitTheirFieldsAreRefused) {
    for (const char *value : {"!A.PNG!70000", "!A.PNG!1!40000", "!A.PNG!1!-2", "!A.PNG!1!0!0!99999!0!0!0",
                              "!A.PNG!1!0!0!0!0!0!0!70000", "!A.PNG!1!0!0!0!0!0!0!-1"})
        EXPECT_THROW(ParseImageValue(value), vcl::EConvertError) << value;
}

TEST(SkinImageCodes, TextureAndPlainFiles) {
    const TvlImageValue t = ParseImageValue("~0000,0000,0032,0032,01,1~X~X~X~X~X~TILE.BMP");
    EXPECT_EQ(t.Code, TvlImageCode::Texture);
    EXPECT_EQ(t.DrawMode, 1);
    EXPECT_EQ(t.MaskType, 1);
    EXPECT_EQ(t.ImageKind, 1);
    EXPECT_EQ(t.FileName, "TILE.BMP");
    const TvlImageValue shortTexture = ParseImageValue("~0000,0000,0032,0032,02");
    EXPECT_EQ(shortTexture.MaskType, 0);
    EXPECT_TRUE(shortTexture.FileName.empty());

    const TvlImageValue p = ParseImageValue("BACK.JPG");
    EXPECT_EQ(p.Code, TvlImageCode::PlainFile);
    EXPECT_EQ(p.FileName, "BACK.JPG");
    EXPECT_EQ(p.ImageKind, 1);
    EXPECT_EQ(p.ImageCount, 1);
    EXPECT_TRUE(p.DeriveMargins);
    for (const char *other : {"", "12", "0xFF00FF", "BACK.PNG", "BACK.JPEG", "BUTTON"})
        EXPECT_EQ(ParseImageValue(other).Code, TvlImageCode::None) << other;
}

TEST(SkinImageCodes, FixedFieldsPastTheEndOrNotNumbersAreConversionErrors) {
    for (const char *value : {"@0000,0000,0048,0021,2", "@0000,0000,0048,0021", "@00x0,0000,0048,0021,2,1",
                              "^0000,0000,0010,0010,0000,0000,0000,0000,1,0,0", "~0000,0000,0032,0032,0"})
        EXPECT_THROW(ParseImageValue(value), vcl::EConvertError) << value;
    EXPECT_THROW(ParseFixedInt("12", 0, 1), vcl::EConvertError);
    EXPECT_EQ(ParseFixedInt("x-12", 2, 3), -12);
}

TEST(SkinImageCodes, ListItemAsIntCountsWordsAcrossRunsOfDelimiters) {
    EXPECT_EQ(ListItemAsInt(2, "!!A!!7!x", "!"), 7);
    EXPECT_EQ(ListItemAsInt(3, "!!A!!7!x", "!"), 0);
    EXPECT_EQ(ListItemAsInt(9, "!A", "!"), 0);
}

TsMaskData Mask(vcl::TRect r, int count, int maskType) {
    TsMaskData m;
    m.R = r;
    m.ImageCount = static_cast<std::int16_t>(count);
    m.MaskType = static_cast<std::int16_t>(maskType);
    return m;
}

TEST(SkinImageCodes, DerivedMarginsAreAThirdOfAFrame) {
    TsMaskData m = Mask({0, 0, 90, 60}, 3, 1);
    DeriveMaskMargins(m, true);
    EXPECT_EQ(m.WL, 10);
    EXPECT_EQ(m.WR, 10);
    EXPECT_EQ(m.WT, 10);
    EXPECT_EQ(m.WB, 10);
    m.BorderWidth = 2;
    DeriveMaskMargins(m, true);
    EXPECT_EQ(m.WL, 2);
    DeriveMaskMargins(m, false);
    EXPECT_EQ(m.WL, 10);
    TsMaskData none = Mask({0, 0, 90, 60}, 1, -1);
    DeriveMaskMargins(none, false);  // no parts: nothing to divide by
    EXPECT_EQ(none.WT, 0);
    EXPECT_EQ(none.WL, 0);
}

// A 12 x 12 image with one key pixel where the test puts it.
struct CornerCase {
    const char *What;
    int KeyX, KeyY;
    vcl::TRect R;
    int Expected;
};

class CornerScan : public testing::TestWithParam<CornerCase> {};

TEST_P(CornerScan, FindsKeyPixelsInTheFirstFramesCorners) {
    const CornerCase &c = GetParam();
    vcl::TPixels32 img(12, 12, 0xFF808080);
    if (c.KeyX >= 0) img.At(c.KeyX, c.KeyY) = KeyPixel;
    TsMaskData m = Mask(c.R, 2, 0);
    m.WL = m.WT = m.WR = m.WB = 2;
    EXPECT_EQ(DetectMaskType(m, img.View()), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(Table, CornerScan, testing::Values(
    CornerCase{"no key pixel", -1, -1, {0, 0, 12, 12}, 0},
    CornerCase{"top-left", 1, 1, {0, 0, 12, 12}, 1},
    CornerCase{"top-right of the first frame", 5, 0, {0, 0, 12, 12}, 1},
    CornerCase{"second frame is not scanned", 7, 0, {0, 0, 12, 12}, 0},
    CornerCase{"centre is not scanned", 3, 5, {0, 0, 12, 12}, 0},
    CornerCase{"bottom-left", 0, 10, {0, 0, 12, 12}, 1},
    CornerCase{"last row is never scanned", 0, 11, {0, 0, 12, 12}, 0},
    CornerCase{"beside the last column", 10, 0, {6, 0, 18, 12}, 1},
    CornerCase{"last column of the image", 11, 0, {6, 0, 18, 12}, 0},
    CornerCase{"last row of the image", 6, 11, {6, 0, 18, 12}, 0},
    CornerCase{"rect reaching beyond the image", 10, 7, {6, 6, 18, 18}, 1},
    CornerCase{"negative rect", 3, 9, {-2, -2, 10, 10}, 1},
    CornerCase{"empty rect", 0, 0, {5, 5, 5, 9}, 0}),
    [](const testing::TestParamInfo<CornerCase> &i) {
        std::string n = i.param.What;
        for (char &ch : n) if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return n;
    });

// Corners that lie partly or wholly outside the image are clipped to it,
// on every side. The image is the middle of a larger one whose frame of
// key pixels shows any read beyond its edges.
TEST(SkinImageCodes, CornersOutsideTheImageAreNotScanned) {
    constexpr int Frame = 8, Size = 12;
    vcl::TPixels32 whole(Size + 2 * Frame, Size + 2 * Frame, KeyPixel);
    const vcl::TBitmapView outer = whole.View();
    for (int y = 0; y < Size; ++y)
        for (int x = 0; x < Size; ++x) outer.At(Frame + x, Frame + y) = 0xFF808080;
    const vcl::TBitmapView image{outer.Line(Frame) + Frame * 4, outer.Stride, Size, Size};
    // Two frames of 6 x 12 with margins of 2: no key pixel inside the image.
    for (const vcl::TRect r : {vcl::TRect{8, 8, 20, 20}, vcl::TRect{-4, -4, 8, 8}, vcl::TRect{-6, 4, 18, 16}}) {
        TsMaskData m = Mask(r, 2, 0);
        m.WL = m.WT = m.WR = m.WB = 2;
        EXPECT_EQ(DetectMaskType(m, image), 0) << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom;
    }
    // The same corners find a key pixel beside the image's own edge, which
    // itself is never scanned.
    image.At(Size - 1, 9) = KeyPixel;
    TsMaskData edge = Mask({8, 8, 20, 20}, 2, 0);
    edge.WL = edge.WT = edge.WR = edge.WB = 4;
    EXPECT_EQ(DetectMaskType(edge, image), 0);
    image.At(Size - 2, 9) = KeyPixel;
    TsMaskData m = Mask({8, 8, 20, 20}, 2, 0);
    m.WL = m.WT = m.WR = m.WB = 4;
    EXPECT_EQ(DetectMaskType(m, image), 1);
}

TEST(SkinImageCodes, HugeButtonBorderIsClassTwoWithoutAScan) {
    TsMaskData m = Mask({0, 0, 4, 4}, 1, 0);
    m.ClassName = "BUTTON_HUGE";
    m.PropertyName = "BORDERSMASK";
    EXPECT_EQ(DetectMaskType(m, vcl::TBitmapView{}), 2);
    m.PropertyName = "GLYPHMASK";
    EXPECT_EQ(DetectMaskType(m, vcl::TBitmapView{}), 0);
}

} // namespace
} // namespace skin

namespace skin {

TEST(SkinImageCodes, PicturesBecomeOpaqueSkinPixelsExceptTheKey) {
    // Rows of every width up to 40 from every offset, three-byte pixels with
    // the key among them, bottom-up and top-down; each pixel against the rule.
    std::mt19937 rng(3);
    for (const int stride : {-1, 1})
        for (int width = 0; width <= 40; ++width)
            for (int offset = 0; offset < 4; ++offset) {
                const int height = 3;
                const std::ptrdiff_t row = vcl::BytesPerScanLine(width, 24);
                std::vector<std::uint8_t> bytes(static_cast<std::size_t>(offset + row * height));
                for (auto &b : bytes) b = static_cast<std::uint8_t>(rng());
                for (std::size_t i = offset; i + 3 <= bytes.size(); i += 3)
                    if (rng() % 4 == 0) bytes[i] = 0xFF, bytes[i + 1] = 0, bytes[i + 2] = 0xFF;  // the key
                vcl::TDibLayout source;
                source.PixelFormat = vcl::pf24bit;
                source.Width = width;
                source.Height = height;
                source.Stride = stride * row;
                source.First = bytes.data() + offset + (stride < 0 ? row * (height - 1) : 0);
                vcl::TPixels32 target(width, height, 0x12345678);
                CopyToSkinPixels(source, target.View(), false);
                for (int y = 0; y < height; ++y)
                    for (int x = 0; x < width; ++x) {
                        const std::uint8_t *p = source.Line(y) + 3 * x;
                        const std::uint32_t bgr = p[0] | p[1] << 8 | p[2] << 16;
                        ASSERT_EQ(target.At(x, y), bgr == KeyPixel ? bgr : bgr | 0xFF000000u)
                            << width << " from " << offset << ", pixel " << x << ", " << y;
                    }
            }
    // 32-bit pixels keep their alpha unless made opaque.
    std::uint32_t four[2] = {0x11FF00FF, 0x40302010};
    vcl::TDibLayout source;
    source.First = reinterpret_cast<std::uint8_t *>(four);
    source.Width = 2;
    source.Height = 1;
    source.Stride = 8;
    vcl::TPixels32 kept(2, 1), opaque(2, 1);
    CopyToSkinPixels(source, kept.View(), false);
    CopyToSkinPixels(source, opaque.View(), true);
    EXPECT_EQ(kept.At(0, 0), 0x11FF00FFu);
    EXPECT_EQ(kept.At(1, 0), 0x40302010u);
    EXPECT_EQ(opaque.At(0, 0), 0xFFFF00FFu);  // not the key: its alpha is not 0
    EXPECT_EQ(opaque.At(1, 0), 0xFF302010u);
}

} // namespace skin
