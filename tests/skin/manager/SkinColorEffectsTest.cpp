// The skin-wide colour effects on section colours, skin colours and the
// master bitmap, and the pushed-skin block.
#include "skin/manager/sColorEffects.h"
#include "skin/manager/sPushedSkin.h"

#include <cstring>

#include <gtest/gtest.h>

#include "skin/graphics/vlColorEffects.h"
#include "skin/graphics/vlPixelHelpers.h"

namespace skin {
namespace {

TEST(SkinColorEffects, SaturationPercentBecomesAnAmount) {
    const std::pair<int, int> cases[] = {{0, 0}, {100, 255}, {-100, -255}, {-150, -255}, {40, 102}, {1, 3}, {2, 5}};
    for (const auto &[percent, amount] : cases) EXPECT_EQ(SaturationAmount(percent), amount) << percent;
}

TEST(SkinColorEffects, SectionColoursExceptNoneAndSystemCodesAreRecoloured) {
    TsGeneralDataArray sections(1);
    TsGenState &s = sections[0].Props[1];
    s.Color = 0x000010;
    s.FontColor = -1;
    s.GCol = vcl::clBtnFace;
    s.TCLeft = 0x000001;
    s.Gradient = {TsGradientStop{0x000002, 0x000003, 50, 0, 0}};
    RecolorSections(sections, [](vcl::TColor c) { return c + 0x100; });
    EXPECT_EQ(s.Color, 0x000110);
    EXPECT_EQ(s.FontColor, -1);
    EXPECT_EQ(s.GCol, vcl::clBtnFace);
    EXPECT_EQ(s.TCLeft, 0x000101);
    EXPECT_EQ(s.TCTop, -1);
    EXPECT_EQ(s.Gradient[0].Color1, 0x000102);
    EXPECT_EQ(s.Gradient[0].Color2, 0x000103);
    EXPECT_EQ(sections[0].Props[0].Color, 0xFFFFFF + 0x100);
}

TEST(SkinColorEffects, OnlyTheSelectedSkinColoursChange) {
    TvlSkinColors c{};
    RecolorSkinColors(c, [](vcl::TColor v) { return v + 1; });
    for (std::size_t i = 0; i < c.size(); ++i) {
        const bool selected = i <= 2 || (i >= 4 && i <= 13) || i == 27;
        EXPECT_EQ(c[i], selected ? 1 : 0) << "slot " << i;
    }
}

TsMaskData GlobalMask(const std::string &Name, vcl::TRect R) {
    TsMaskData m;
    m.ClassName = "GLOBALINFO";
    m.PropertyName = Name;
    m.R = R;
    m.ImageCount = 1;
    return m;
}

TEST(SkinColorEffects, KeepHueLeavesOutCloseGlyphsOrAllTitleGlyphs) {
    TsMaskArray masks = {GlobalMask("BICONCLOSE", {0, 0, 2, 2}), GlobalMask("BICONMAX", {2, 0, 4, 2}),
                         GlobalMask("SICONCLOSE", {4, 0, 6, 2}), GlobalMask("BICONCLOSEGLOW0", {6, 0, 8, 2}),
                         GlobalMask("BICONHELP", {8, 0, 10, 2}), GlobalMask("BORDERSMASK", {0, 2, 2, 4})};
    masks.push_back(GlobalMask("SICONMIN", {0, 0, 1, 1}));
    masks.back().Bmp = std::shared_ptr<vcl::TBitmap>(reinterpret_cast<vcl::TBitmap *>(8), [](vcl::TBitmap *) {});
    EXPECT_TRUE(HueKeptRects(masks, 0).empty());
    EXPECT_EQ(HueKeptRects(masks, 2).size(), 3u);  // the close glyphs and a close glyph's glow
    EXPECT_EQ(HueKeptRects(masks, 1).size(), 5u);  // the own-bitmap glyph is not in the master

    vcl::TPixels32 master(10, 4, 0xFF0000C0);  // red
    master.At(9, 3) = KeyPixel;
    RotateMasterHue(master.View(), 120, HueKeptRects(masks, 2));
    EXPECT_EQ(master.At(1, 1), 0xFF0000C0u);  // close glyph kept
    EXPECT_EQ(master.At(7, 0), 0xFF0000C0u);  // its glow kept
    EXPECT_NE(master.At(3, 1), 0xFF0000C0u);  // maximise glyph rotated with setting 2
    EXPECT_EQ(master.At(3, 1), RotateHuePixel(120, 0xFF0000C0));
    EXPECT_EQ(master.At(9, 3), KeyPixel);
}

TEST(SkinColorEffects, BrighteningKeepsMaskHalvesAndTheKeyColour) {
    TsMaskArray masks(2);
    masks[0].R = {0, 0, 4, 4};
    masks[0].MaskType = 1;
    masks[0].ImageCount = 1;
    masks[1].R = {4, 0, 6, 4};
    masks[1].MaskType = 0;
    const std::vector<vcl::TRect> halves = MaskHalves(masks);
    ASSERT_EQ(halves.size(), 1u);
    EXPECT_EQ(halves[0], (vcl::TRect{0, 2, 4, 4}));

    vcl::TPixels32 master(6, 4, 0xFF404040);
    master.At(5, 0) = KeyPixel;
    BrightenMaster(master.View(), 16, halves);
    EXPECT_EQ(master.At(0, 0), 0xFF505050u);
    EXPECT_EQ(master.At(0, 3), 0xFF404040u);  // mask half put back
    EXPECT_EQ(master.At(5, 3), 0xFF505050u);
    EXPECT_EQ(master.At(5, 0), KeyPixel);
    BrightenMaster(master.View(), 16, {{-5, -5, 100, 100}});  // clipped, all restored
    EXPECT_EQ(master.At(0, 0), 0xFF505050u);
}

TEST(PushedSkin, WholeBlocksWithTheMagicAreRead) {
    TvlPushedSkinBlock block{};
    block[0] = 0x00;
    block[1] = 0xA4;
    std::memcpy(block.data() + 4, "Beryllo", 7);
    std::memset(block.data() + 132, 'D', 512);  // no terminator: the field's end ends it
    std::memcpy(block.data() + 644, "[GLOBALINFO]\r\nVERSION=10\r\n", 26);
    EXPECT_TRUE(IsPushedSkinBlock(block.data(), block.size()));
    EXPECT_FALSE(IsPushedSkinBlock(block.data(), block.size() - 1));
    EXPECT_FALSE(IsPushedSkinBlock(nullptr, block.size()));
    const auto pushed = ReadPushedSkin(block);
    ASSERT_TRUE(pushed);
    EXPECT_EQ(pushed->SkinName, "Beryllo");
    EXPECT_EQ(pushed->SkinDirectory, std::string(512, 'D'));
    EXPECT_EQ(pushed->Options, "[GLOBALINFO]\r\nVERSION=10\r\n");
    block[0] = 0x01;
    EXPECT_FALSE(IsPushedSkinBlock(block.data(), block.size()));
    EXPECT_FALSE(ReadPushedSkin(block));
}

} // namespace
} // namespace skin
