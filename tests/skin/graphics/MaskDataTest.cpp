#include <gtest/gtest.h>

#include <memory>

#include "skin/graphics/sMaskData.h"
#include "skin/graphics/sSkinCommand.h"
#include "skin/graphics/sSkinTables.h"

namespace skin {
namespace {

TsMaskData Mask(vcl::TRect r, int imageCount, int maskType) {
    TsMaskData m;
    m.R = r;
    m.ImageCount = static_cast<std::int16_t>(imageCount);
    m.MaskType = static_cast<std::int16_t>(maskType);
    return m;
}

struct FrameCase {
    vcl::TRect R;
    int ImageCount;
    int MaskType;
    int Width;
    int Height;
};

class MaskFrameSize : public testing::TestWithParam<FrameCase> {};

TEST_P(MaskFrameSize, FollowsImageCountAndMaskType) {
    const FrameCase &c = GetParam();
    const TsMaskData m = Mask(c.R, c.ImageCount, c.MaskType);
    EXPECT_EQ(GetMaskFrameWidth(m), c.Width);
    EXPECT_EQ(GetMaskFrameHeight(m), c.Height);
    EXPECT_EQ(GetMaskFrameSize(m), (vcl::TSize{c.Width, c.Height}));
}

INSTANTIATE_TEST_SUITE_P(Table, MaskFrameSize, testing::Values(
    // No state images: no frame width.
    FrameCase{{0, 0, 90, 30}, 0, 0, 0, 30},
    // One state image (a plain picture) is the whole rect, without a division.
    FrameCase{{10, 5, 110, 45}, 1, 0, 100, 40},
    FrameCase{{0, 0, 90, 30}, 3, 0, 30, 30},
    // Division truncates: 100 / 3.
    FrameCase{{0, 0, 100, 30}, 3, 0, 33, 30},
    // Image above mask: half the height, truncated.
    FrameCase{{0, 0, 20, 41}, 1, 1, 20, 20},
    FrameCase{{0, 0, 20, 100}, 1, 3, 20, 25},
    // No image at all.
    FrameCase{{0, 0, 20, 100}, 1, -1, 20, 0},
    // A rect with Right < Left gives a negative width (no clamping), truncated toward zero.
    FrameCase{{50, 0, 10, 20}, 1, 0, -40, 20},
    FrameCase{{50, 0, 10, 20}, 3, 0, -13, 20},
    // Counts the loader never produces give no frame instead of dividing.
    FrameCase{{0, 0, 20, 20}, -2, -3, 0, 0}));

TEST(MaskData, NewRecordsNameNoImageNoMaskAndNoTexture) {
    const TsMaskData m;
    EXPECT_EQ(m.Bmp, nullptr);
    EXPECT_EQ(m.Manager, nullptr);
    EXPECT_EQ(GetMaskFrameSize(m), (vcl::TSize{0, 0}));
    const TsGeneralData d;
    EXPECT_EQ(d.States, 3);
    for (int index : {d.BorderMask, d.ImgTopLeft, d.ImgTopRight, d.ImgBottomLeft, d.ImgBottomRight, d.OuterMask,
                      d.Props[0].TextureIndex, d.Props[2].TextureIndex})
        EXPECT_EQ(index, -1);
    for (vcl::TColor contour : {d.Props[1].TCLeft, d.Props[1].TCTop, d.Props[1].TCRight, d.Props[1].TCBottom})
        EXPECT_EQ(contour, -1);
}

struct StateCase {
    int State;
    int Count;
    int Expected;
};

class StateIndex : public testing::TestWithParam<StateCase> {};

TEST_P(StateIndex, StaysInsideTheStates) {
    EXPECT_EQ(ClampStateIndex(GetParam().State, GetParam().Count), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Table, StateIndex, testing::Values(
    StateCase{0, 3, 0}, StateCase{2, 3, 2}, StateCase{5, 3, 2}, StateCase{1, 1, 0},
    // A STATES value below 1 never makes a state index negative.
    StateCase{1, 0, 0}, StateCase{2, -4, 0},
    StateCase{-1, 3, 0}));

// Tables whose master picture is a plain image in memory.
struct MemorySkin : TsSkinTables {
    mutable vcl::TPixels32 Master{4, 2, 0x11223344};
    vcl::TBitmapView MasterImage() const override { return Master.View(); }
};

TEST(SkinTables, IndexesAreValidOnlyInsideTheTables) {
    MemorySkin skin;
    skin.Masks.resize(2);
    skin.Sections.resize(1);
    EXPECT_TRUE(skin.IsValidMaskIndex(1));
    EXPECT_FALSE(skin.IsValidMaskIndex(2));
    EXPECT_FALSE(skin.IsValidMaskIndex(-1));
    EXPECT_TRUE(skin.IsValidSectionIndex(0));
    EXPECT_FALSE(skin.IsValidSectionIndex(1));
    for (int index : skin.StdSectionIndexes) EXPECT_EQ(index, -1);
}

TEST(SkinTables, MasksWithoutImageOrManagerHaveNoPixels) {
    MemorySkin skin;
    TsMaskData mask;
    EXPECT_FALSE(MaskImage(mask).HasRows());
    mask.Manager = &skin;
    const vcl::TBitmapView view = MaskImage(mask);
    ASSERT_TRUE(view.HasRows());
    EXPECT_EQ(view.At(3, 1), 0x11223344u);
}

// Tables that hold the picture of one mask themselves, as the build tools do.
struct PictureSkin : MemorySkin {
    mutable vcl::TPixels32 Glyph{2, 2, 0x55667788};
    vcl::TBitmapView MaskPixels(const TsMaskData &Mask) const override {
        return Mask.PropertyName == "GLYPH" ? Glyph.View() : MemorySkin::MaskPixels(Mask);
    }
};

TEST(SkinTables, TablesHandOutThePicturesTheyHoldForTheirMasks) {
    PictureSkin skin;
    TsMaskData glyph, cut;
    glyph.PropertyName = "GLYPH";
    glyph.Manager = cut.Manager = &skin;
    EXPECT_EQ(MaskImage(glyph).At(1, 1), 0x55667788u);
    EXPECT_EQ(MaskImage(cut).At(3, 1), 0x11223344u) << "the others are cut from the master";
    glyph.Manager = nullptr;
    EXPECT_FALSE(MaskImage(glyph).HasRows()) << "without its tables a mask has only its own bitmap";
}

TEST(SkinTables, TheDefaultManagerIsForgottenWhenDestroyed) {
    auto first = std::make_unique<MemorySkin>();
    DefaultSkinManager = first.get();
    MemorySkin own;
    EXPECT_EQ(ManagerOrDefault(nullptr), first.get());
    EXPECT_EQ(ManagerOrDefault(&own), &own);
    first.reset();
    EXPECT_EQ(DefaultSkinManager, nullptr);
    EXPECT_EQ(ManagerOrDefault(nullptr), nullptr);
}

TEST(SkinCommand, SubCommandsTravelInTheHighWord) {
    EXPECT_EQ(SkinCommand(SC_GET_BG_INFO), 0x220000u);
    EXPECT_EQ(SkinCommand(SC_GET_BG_COLOR), 0x150000u);
    EXPECT_EQ(SkinCommand(SC_IS_HANDLED, 1), 0x70001u);
    EXPECT_EQ(EmptyBgInfo.X, -99);
    EXPECT_EQ(EmptyBgInfo.Color, vcl::clFuchsia);
    EXPECT_FALSE(EmptyBgInfo.UseBmp);
}

} // namespace
} // namespace skin
