#include <gtest/gtest.h>

#include "TestSkin.h"
#include "skin/graphics/vlSkinPieces.h"
#include "skin/graphics/vlImageHelpers.h"
#include "skin/graphics/vlSkinSections.h"

namespace skin {
namespace {

using test::At;
using test::Px;
using test::TFakeControlData;
using test::TTestSkin;

constexpr std::uint32_t Back = Px(1, 2, 3, 255);
// Colour values (red in the low byte) of the three states and their pixels.
constexpr vcl::TColor C0 = 0x102030, C1 = 0x405060, C2 = 0x708090;
constexpr std::uint32_t P0 = Px(0x10, 0x20, 0x30, 255), P1 = Px(0x40, 0x50, 0x60, 255), P2 = Px(0x70, 0x80, 0x90, 255);

const TBgPixels Nothing{{}, 0, 0, vcl::clFuchsia, false, {}};

TEST(PaintSectionBackground, StatesAreClampedToTheSectionAndToThreeRecords) {
    TTestSkin skin;
    const int s = skin.AddSection("BUTTON", C0, C1, C2);
    const struct {
        int states, state;
        std::uint32_t expected;
    } cases[] = {{3, 7, P2}, {2, 5, P1}, {1, 2, P0}, {255, 200, P2}, {3, -2, P0}};
    for (const auto &c : cases) {
        skin.Sections[s].States = c.states;
        vcl::TPixels32 dst(4, 4, Back);
        PaintSectionBackground(s, Nothing, c.state, {0, 0, 4, 4}, {}, dst.View(), &skin, -1, -1, vcl::clFuchsia);
        EXPECT_EQ(dst.At(3, 3), c.expected) << c.states << " " << c.state;
    }
}

TEST(PaintSectionBackground, ACallersColourIsOpaqueEvenOverATransparentSection) {
    TTestSkin skin;
    const int s = skin.AddSection("PANEL", C0, C1, C2);
    skin.Sections[s].Props[0].Transparency = 60;
    vcl::TPixels32 dst(3, 3, Back);
    PaintSectionBackground(s, {{}, 0, 0, 0xFFFFFF, false, {}}, 0, {0, 0, 3, 3}, {}, dst.View(), &skin, -1, -1, 0x0000FF);
    EXPECT_EQ(dst.At(1, 1), Px(0, 0, 255, 255));
}

TEST(PaintSectionBackground, FullTransparencyShowsTheImageBehind) {
    TTestSkin skin;
    const int s = skin.AddSection("TRANSPARENT", C0, C1, C2);
    skin.Sections[s].Props[0].Transparency = 100;
    vcl::TPixels32 behind(20, 20, 0);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) behind.At(x, y) = Px(x, y, 5, 255);
    vcl::TPixels32 dst(6, 6, Back);
    PaintSectionBackground(s, {behind.View(), 3, 4, vcl::clFuchsia, true, {}}, 0, {1, 1, 5, 5}, {2, 1}, dst.View(),
                           &skin, -1, -1, vcl::clFuchsia);
    EXPECT_EQ(dst.At(1, 1), Px(5, 5, 5, 255));  // (X + Pt.X, Y + Pt.Y)
    EXPECT_EQ(dst.At(4, 4), Px(8, 8, 5, 255));
    EXPECT_EQ(dst.At(0, 0), Back);
    // Over its own image the background is already there: nothing changes.
    PaintSectionBackground(s, {dst.View(), 0, 0, vcl::clFuchsia, true, {}}, 0, {0, 0, 6, 6}, {}, dst.View(), &skin, -1,
                           -1, vcl::clFuchsia);
    EXPECT_EQ(dst.At(0, 0), Back);
}

TEST(PaintSectionBackground, HalfTransparencyBlendsWithTiesToEven) {
    EXPECT_EQ(TransparencyWeight(50), 128);  // 127.5 to even
    EXPECT_EQ(TransparencyWeight(30), 76);   // 76.5 to even
    EXPECT_EQ(TransparencyWeight(10), 26);   // 25.5 to even
    EXPECT_EQ(TransparencyWeight(100), 255);
    TTestSkin skin;
    const int s = skin.AddSection("PANEL", 0x0000FF, C1, C2);  // red
    skin.Sections[s].Props[0].Transparency = 50;
    skin.Sections[s].Props[0].GradientPercent = 100;  // a gradient share without stops: the colour
    vcl::TPixels32 behind(4, 4, Px(0, 0, 0, 255));
    vcl::TPixels32 full(4, 4, Back), masked(4, 4, Back);
    const TBgPixels bg{behind.View(), 0, 0, vcl::clFuchsia, true, {}};
    PaintSectionBackground(s, bg, 0, {0, 0, 4, 4}, {}, full.View(), &skin, -1, -1, vcl::clFuchsia);
    PaintMaskedSectionBackground(s, -1, bg, 0, {0, 0, 4, 4}, {}, masked.View(), &skin);
    // d = (t * (d - s) + s * 256) >> 8 with d black behind, s red at 255.
    EXPECT_EQ(full.At(0, 0), Px(0, 0, (255 * 256 - 128 * 255) >> 8, 255));
    EXPECT_EQ(masked.At(0, 0), Px(0, 0, (255 * 256 - 127 * 255) >> 8, 255));
}

TEST(PaintSectionBackground, ALayerShareMixesWithTheColourInsideTheRectOnly) {
    TTestSkin skin;
    const int s = skin.AddSection("PANEL", 0x000000, C1, C2);
    auto &st = skin.Sections[s].Props[0];
    st.GradientPercent = 30;
    st.Gradient = {TsGradientStop{0xFFFFFF, 0xFFFFFF, 100, gmVertical}};
    vcl::TPixels32 dst(6, 6, Back);
    PaintSectionBackground(s, Nothing, 0, {1, 1, 5, 5}, {}, dst.View(), &skin, -1, -1, vcl::clFuchsia);
    EXPECT_EQ(dst.At(2, 2), Px(76, 76, 76, 255));  // 30 % of white over black
    EXPECT_EQ(dst.At(5, 5), Back);
    EXPECT_EQ(dst.At(5, 2), Back);
}

// The picture behind, every pixel naming its place.
vcl::TPixels32 Behind(int w, int h) {
    return test::Image(w, h, [](int x, int y) { return Px(x, y, 5, 255); });
}

TEST(PaintSectionBackground, ALentImageShowsItsMarginsAndTheColourInside) {
    TTestSkin skin;
    const int s = skin.AddSection("TRANSPARENT", C0, C1, C2);
    skin.Sections[s].Props[0].Transparency = 100;
    vcl::TPixels32 behind = Behind(20, 20);
    // A colour answer that lends its 20 x 20 image with borders of 3, 2, 4
    // and 5 pixels holding real image; the inside is the colour (red).
    const TBgPixels lent{behind.View(), 0, 0, 0x0000FF, false, {3, 2, 4, 5}};
    const std::uint32_t red = Px(0, 0, 255, 255);
    const struct {
        vcl::TPoint pt;   // the piece's place in the image
        int a, b, c, d;   // the widths of its left, top, right and bottom bands from the image
    } cases[] = {
        {{1, 1}, 2, 1, 0, 0},  // into the left and top borders
        {{8, 8}, 0, 0, 2, 3},  // into the right and bottom borders
        {{6, 5}, 0, 0, 0, 0},  // inside: all colour
    };
    for (const auto &c : cases) {
        vcl::TPixels32 dst(12, 12, Back);
        PaintSectionBackground(s, lent, 0, {1, 1, 11, 11}, c.pt, dst.View(), &skin, -1, -1, vcl::clFuchsia);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x) {
                const int px = x - 1, py = y - 1;  // in the piece
                const bool inside = px >= 0 && py >= 0 && px < 10 && py < 10;
                const bool band = px < c.a || py < c.b || px >= 10 - c.c || py >= 10 - c.d;
                const std::uint32_t want = !inside ? Back : band ? behind.At(c.pt.X + px, c.pt.Y + py) : red;
                ASSERT_EQ(dst.At(x, y), want) << c.pt.X << ", " << c.pt.Y << ": " << x << ", " << y;
            }
    }
}

// A section whose border mask is a 6 x 6 keyed image with a key corner.
int BorderedSection(TTestSkin &skin) {
    const int s = skin.AddSection("BUTTON", C0, C1, C2);
    const int m = skin.AddMask({0, 0, 6, 6}, 1, 0, 2, 2, 2, 2);
    skin.Master.At(0, 0) = KeyPixel;
    skin.Masks[m].CornerClass = 1;
    skin.Sections[s].BorderMask = m;
    return s;
}

TEST(PaintSkinSection, BorderCornersTakeTheColourOrTheImageBehind) {
    TTestSkin skin;
    const int s = BorderedSection(skin);
    vcl::TPixels32 behind(10, 10, Px(9, 8, 7, 255));
    for (const auto &[bg, corner] : {std::pair{TBgPixels{{}, 0, 0, 0x00FF00, false, {}}, Px(0, 255, 0, 0)},
                                     std::pair{TBgPixels{behind.View(), 2, 2, vcl::clFuchsia, true, {}}, Px(9, 8, 7, 255)}}) {
        vcl::TPixels32 dst(8, 8, Back);
        PaintSkinSection(s, bg, 0, {0, 0, 8, 8}, {}, dst.View(), &skin, -1, -1);
        EXPECT_EQ(dst.At(0, 0), corner);
        EXPECT_EQ(dst.At(1, 0), At(1, 0));
        EXPECT_EQ(dst.At(4, 4), P0);
    }
    vcl::TPixels32 small(4, 4, Back);
    PaintSkinSection(s, Nothing, 0, {0, 0, 8, 8}, {}, small.View(), &skin, -1, -1);  // larger than the bitmap
    EXPECT_EQ(small.At(0, 0), Back);
}

TEST(PaintSectionWithMask, TheNamedTextureAndMaskOverTheStateClampedToTheSection) {
    TTestSkin skin;
    const int s = skin.AddSection("BUTTON", C0, C1, C2);
    skin.Sections[s].States = 2;
    // Two 6 x 6 keyed states with margins 2 and no centre; state 1's top-left is a key.
    const int mask = skin.AddMask({0, 0, 12, 6}, 2, 0, 2, 2, 2, 2);
    skin.Master.At(6, 0) = KeyPixel;
    skin.Masks[mask].CornerClass = 1;
    // A 2 x 2 texture over its black mask, tiled.
    const int texture = skin.AddMask({50, 0, 52, 4}, 1, 1, 0, 0, 0, 0, tfTile);
    skin.Paint({50, 2, 52, 4}, Px(0, 0, 0, 255));
    vcl::TPixels32 behind = Behind(20, 20);
    const TBgPixels bg{behind.View(), 2, 2, vcl::clFuchsia, true, {}};

    // The section's own state has no texture: the one named is tiled.
    skin.Sections[s].Props[1].ImagePercent = 100;
    vcl::TPixels32 dst(8, 8, Back);
    PaintSectionWithMask(s, mask, texture, bg, 1, {0, 0, 8, 8}, {1, 1}, dst.View(), &skin);
    EXPECT_EQ(dst.At(3, 3), At(51, 1));      // the texture in the uncovered centre
    EXPECT_EQ(dst.At(0, 0), Px(3, 3, 5, 255));  // the key shows the image at (X + Pt.X, Y + Pt.Y)
    EXPECT_EQ(dst.At(1, 0), At(7, 0));       // state 1 of the mask
    EXPECT_EQ(dst.At(7, 7), At(11, 5));

    // State 5 of a two-state section paints state record 1 (not 2).
    skin.Sections[s].Props[1].ImagePercent = 0;
    vcl::TPixels32 plain(8, 8, Back);
    PaintSectionWithMask(s, -1, texture, bg, 5, {0, 0, 8, 8}, {}, plain.View(), &skin);
    EXPECT_EQ(plain.At(3, 3), P1);
    EXPECT_EQ(plain.At(0, 0), P1);  // no mask

    // A rect beyond the bitmap or left of it paints nothing.
    for (const vcl::TRect r : {vcl::TRect{0, 0, 9, 8}, vcl::TRect{-1, 0, 4, 4}}) {
        vcl::TPixels32 untouched(8, 8, Back);
        PaintSectionWithMask(s, mask, texture, bg, 0, r, {}, untouched.View(), &skin);
        EXPECT_EQ(untouched.At(2, 2), Back);
        EXPECT_EQ(untouched.At(0, 0), Back);
    }
}

TEST(PaintControlSkin, ColourEffectsChangeTheControlsRectOnly) {
    TTestSkin skin;
    const int s = BorderedSection(skin);
    TFakeControlData data;
    data.Manager = &skin;
    data.Skin = s;
    data.Border = skin.Sections[s].BorderMask;
    data.Sat = -100;
    vcl::TPixels32 dst(12, 12, Px(0, 0, 200, 255));
    PaintControlSkin(data, Nothing, 0, {2, 2, 10, 10}, {}, dst.View(), false);
    EXPECT_EQ(dst.At(0, 0), Px(0, 0, 200, 255));
    EXPECT_EQ(dst.At(11, 11), Px(0, 0, 200, 255));
    const std::uint32_t inside = dst.At(6, 6);
    EXPECT_NE(inside, P0);  // desaturated toward grey
    EXPECT_LT(std::abs(int(inside & 0xFF) - int((inside >> 16) & 0xFF)), 0x20);

    data.OwnColour = true;
    data.Own = 0x0000FF;
    data.Sat = 0;
    PaintControlSkin(data, Nothing, 0, {2, 2, 10, 10}, {}, dst.View(), false);
    EXPECT_EQ(dst.At(6, 6), Px(0, 0, 255, 255));
}

TEST(PaintSkinSection32, TransparencyAlphaAndPremultiplication) {
    TTestSkin skin;
    const int s = skin.AddSection("FORM", 0x0000FF, C1, C2);
    auto &st = skin.Sections[s].Props[0];
    st.Transparency = 100;
    vcl::TPixels32 part(6, 6, Back);
    PaintSkinSection32(s, 0, {1, 1, 5, 5}, part.View(), &skin);
    EXPECT_EQ(part.At(2, 2), Back);
    vcl::TPixels32 whole(6, 6, Back);
    PaintSkinSection32(s, 0, {0, 0, 6, 6}, whole.View(), &skin);
    EXPECT_EQ(whole.At(2, 2), 0u);

    st.Transparency = 40;
    vcl::TPixels32 empty(6, 6, 0);
    PaintSectionBg32(s, 0, {1, 1, 5, 5}, empty.View(), &skin, vcl::clFuchsia);
    EXPECT_EQ(empty.At(2, 2), Px(0, 0, 255, 153));
    vcl::TPixels32 premultiplied(6, 6, 0);
    PaintSkinSection32(s, 0, {0, 0, 6, 6}, premultiplied.View(), &skin);
    EXPECT_EQ(premultiplied.At(2, 2), Px(0, 0, 152, 153));  // 255 * 153 >> 8
}

TEST(PaintSkinSection32, BorderKeyCornersShowWhatTheBitmapHeld) {
    TTestSkin skin;
    const int s = BorderedSection(skin);
    vcl::TPixels32 dst(8, 8, Px(5, 6, 7, 200));
    PaintSkinSection32(s, 0, {1, 1, 7, 7}, dst.View(), &skin);
    EXPECT_EQ(dst.At(1, 1), Px(5, 6, 7, 200));
    EXPECT_EQ(dst.At(2, 1), At(1, 0));
}


// The texture paths: a 2 x 2 keyed texture at the master's (60, 0), a state
// with 60 % texture and 40 % gradient over a black colour. A gradient painter
// of the test's own fills white and counts its calls, so the one-pass blend
// (which has its own band painter) and the layered path tell themselves
// apart; so does the texture's origin: the one pass tiles it from the
// image's origin, the texture layer from the rect's corner.
int GradientCalls = 0;
void WhiteGradient(const vcl::TBitmapView &B, const vcl::TRect &R, const TsGradArray &) {
    ++GradientCalls;
    FillRectAlpha(B, R, 0xFFFFFF, 255);
}

// The texture's share W of 255 over white, per channel, with alpha A.
std::uint32_t OverWhite(std::uint32_t Tex, int W, int A) {
    const auto mix = [W](std::uint32_t c) { return static_cast<int>(((int(c) - 255) * W + 255 * 256) >> 8); };
    return Px(mix(Tex & 0xFF), mix((Tex >> 8) & 0xFF), mix((Tex >> 16) & 0xFF), A);
}

TEST(SectionTextures, OnePassOrLayersInBothPaintersAndTheRestInTheColour) {
    TTestSkin skin;
    const int s = skin.AddSection("PANEL", 0x000000, C1, C2);
    const int texture = skin.AddMask({60, 0, 62, 2}, 1, 0, 0, 0, 0, 0, tfTile);
    auto &st = skin.Sections[s].Props[0];
    st.ImagePercent = 60;
    st.GradientPercent = 40;
    st.Transparency = 40;  // the 32-bit painter's alpha; nothing is behind for the other
    const int w = 60 * 255 / 100, a = (100 - 40) * 255 / 100;
    const struct {
        int mode, index;
        bool onePass;
        std::uint32_t background, bg32;  // at (1, 1) of the rect {1, 1, 5, 5}
    } cases[] = {
        {gmVertical, texture, true, OverWhite(At(61, 1), w, 255), OverWhite(At(61, 1), w, a)},
        {gmTriangles, texture, false, OverWhite(At(60, 0), w, 255), OverWhite(At(60, 0), w, 255)},
        // No texture drawn: the colour under the gradient, which covers it.
        {gmTriangles, 99, false, Px(255, 255, 255, 255), Px(255, 255, 255, 255)},
    };
    for (const auto &c : cases) {
        st.TextureIndex = c.index;
        st.Gradient = {TsGradientStop{0xFFFFFF, 0xFFFFFF, 100, c.mode}};
        GradientCalls = 0;
        vcl::TPixels32 dst(6, 6, Back), dst32(6, 6, Back);
        PaintSectionBackground(s, Nothing, 0, {1, 1, 5, 5}, {}, dst.View(), &skin, -1, -1, vcl::clFuchsia,
                               WhiteGradient);
        PaintSectionBg32(s, 0, {1, 1, 5, 5}, dst32.View(), &skin, vcl::clFuchsia, WhiteGradient);
        EXPECT_EQ(GradientCalls, c.onePass ? 0 : 2) << c.mode << " " << c.index;
        EXPECT_EQ(dst.At(1, 1), c.background) << c.mode << " " << c.index;
        EXPECT_EQ(dst32.At(1, 1), c.bg32) << c.mode << " " << c.index;
        EXPECT_EQ(dst.At(2, 2), dst.At(4, 4)) << "tiled every two pixels";
        EXPECT_EQ(dst.At(0, 0), Back);
        EXPECT_EQ(dst32.At(5, 5), Back);
    }
    // A texture with a mask part, all the share: tiled from the rect's corner
    // through its (black, fully opaque) mask, the cut tiles included.
    const int masked = skin.AddMask({60, 0, 62, 4}, 1, 1, 0, 0, 0, 0, tfTile);
    skin.Paint({60, 2, 62, 4}, Px(0, 0, 0, 255));
    st.TextureIndex = masked;
    st.ImagePercent = 100;
    st.GradientPercent = 0;
    vcl::TPixels32 dst(6, 6, Back);
    PaintSectionBackground(s, Nothing, 0, {1, 1, 4, 4}, {}, dst.View(), &skin, -1, -1, vcl::clFuchsia);
    EXPECT_EQ(dst.At(1, 1), At(60, 0));
    EXPECT_EQ(dst.At(2, 3), At(61, 0));
    EXPECT_EQ(dst.At(3, 3), At(60, 0));
    EXPECT_EQ(dst.At(4, 4), Back);
    // A band of tiles along the top leaves the rest to the colour.
    skin.Masks[texture].DrawMode = tfTileTop;
    st.TextureIndex = texture;
    vcl::TPixels32 band(6, 6, Back);
    PaintSectionBackground(s, Nothing, 0, {1, 1, 5, 5}, {}, band.View(), &skin, -1, -1, vcl::clFuchsia);
    EXPECT_EQ(band.At(4, 2), At(61, 1));
    EXPECT_EQ(band.At(4, 4), Px(0, 0, 0, 255));
}

TEST(SectionTextures, TheOverlayTilesWholeFramesInModeTenOverEveryBranch) {
    TTestSkin skin;
    const int s = skin.AddSection("PANEL", C0, C1, C2);
    skin.Sections[s].States = 2;
    // A 2 x 2 texture over its black mask, whole frames tiled, the rest of
    // the rect from the background.
    const int overlay = skin.AddMask({60, 0, 62, 4}, 1, 1, 0, 0, 0, 0, tfTileAll);
    const int tiled = skin.AddMask({60, 0, 62, 4}, 1, 1, 0, 0, 0, 0, tfTile);
    const int keyed = skin.AddMask({60, 0, 62, 2}, 1, 0, 0, 0, 0, 0, tfTileAll);
    skin.Paint({60, 2, 62, 4}, Px(0, 0, 0, 255));
    skin.Sections[s].Props[0].TextureIndex = overlay;  // no image share: the overlay only
    vcl::TPixels32 behind = Behind(20, 20);
    const TBgPixels bg{behind.View(), 2, 2, vcl::clFuchsia, true, {}};
    const struct {
        int state, pattern, hotPattern, transparency;
        std::uint32_t tile, strip;  // at (1, 1) and (4, 1) of the rect {0, 0, 5, 5}
    } cases[] = {
        {0, -1, -1, 0, At(61, 1), Px(2 + 1 + 4, 2 + 1 + 1, 5, 255)},    // the state's texture
        {0, -1, -1, 100, At(61, 1), Px(2 + 1 + 4, 2 + 1 + 1, 5, 255)},  // over the copied background
        {0, tiled, -1, 0, P0, P0},                                      // not mode 10: no overlay
        {0, keyed, -1, 0, P0, P0},                                      // no mask part: no overlay
        {1, -1, -1, 0, P1, P1},                                         // other states: the hot pattern
        {1, -1, overlay, 50, At(61, 1), Px(2 + 1 + 4, 2 + 1 + 1, 5, 255)},
    };
    for (const auto &c : cases) {
        skin.Sections[s].Props[c.state].Transparency = c.transparency;
        vcl::TPixels32 dst(5, 5, Back);
        PaintSectionBackground(s, bg, c.state, {0, 0, 5, 5}, {1, 1}, dst.View(), &skin, c.pattern, c.hotPattern,
                               vcl::clFuchsia);
        EXPECT_EQ(dst.At(1, 1), c.tile) << c.state << " " << c.pattern << " " << c.hotPattern;
        EXPECT_EQ(dst.At(4, 1), c.strip) << c.state << " " << c.pattern << " " << c.hotPattern;
    }
}

} // namespace
} // namespace skin
