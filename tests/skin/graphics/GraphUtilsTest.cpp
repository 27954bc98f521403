// The GDI-bound graphics helpers on real bitmaps, pixel for pixel, under Wine.
#include "skin/graphics/vlGraphUtils.h"

#include <gtest/gtest.h>

#include "BitmapTestSupport.h"
#include "skin/graphics/sSkinTables.h"
#include "skin/graphics/vlAlphaBlending.h"
#include "skin/graphics/vlImageHelpers.h"
#include "vcl/ControlCanvas.h"
#include "vcl/Graphics.h"

using namespace skin;
using skin::test::Bitmap32;
using skin::test::ExpectPixels;
using skin::test::Hex;
using skin::test::Plain32;
using skin::test::Px;

namespace {

// A distinct, opaque value per pixel.
std::uint32_t Pattern(int x, int y) { return Px(10 + x, 20 + y, 30 + x + y, 255); }

vcl::TPixels32 Copy(vcl::TBitmap &bmp) {
    return skin::test::Image(bmp.Width(), bmp.Height(), [&](int x, int y) { return bmp.View().At(x, y); });
}

bool Inside(int x, int y, const vcl::TRect &r) { return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom; }

constexpr std::uint32_t Colour = 0x00FFFFFF;  // GDI draws colours; the alpha byte is not its to keep

} // namespace

TEST(NewBitmaps, AreThirtyTwoBitSectionsOfTheAskedSize) {
    auto a = NewBitmap32(7, 3);
    EXPECT_EQ(a->PixelFormat(), vcl::pf32bit);
    EXPECT_EQ(a->HandleType(), vcl::bmDIB);
    EXPECT_EQ(a->Width(), 7);
    EXPECT_EQ(a->Height(), 3);
    auto b = NewBitmap32FromRect({10, 10, 5, 14});
    EXPECT_EQ(b->Width(), 0);
    EXPECT_EQ(b->Height(), 4);
    EXPECT_EQ(b->PixelFormat(), vcl::pf32bit);
    auto c = NewBitmap32FromSize({2, 9});
    EXPECT_EQ(c->Width(), 2);
    EXPECT_EQ(c->Height(), 9);
    auto d = NewBitmap32FromBitmap(*a);
    EXPECT_EQ(d->Width(), 7);
    EXPECT_EQ(d->Height(), 3);

    vcl::TBitmap rgb;
    rgb.SetPixelFormat(vcl::pf24bit);
    rgb.SetSize(3, 4);
    auto e = NewBitmapLike(rgb);
    EXPECT_EQ(e->PixelFormat(), vcl::pf24bit);
    EXPECT_EQ(e->Width(), 3);
    EXPECT_EQ(e->Height(), 4);
}

TEST(Copies, DuplicateCopiesFormatSizeAndEveryByte) {
    auto src = Bitmap32(5, 4, [](int x, int y) { return Px(x * 40, y * 50, 7, x * 60 + y); });
    vcl::TBitmap dst;
    DuplicateBitmapInto(dst, *src);
    EXPECT_EQ(dst.PixelFormat(), vcl::pf32bit);
    EXPECT_EQ(dst.HandleType(), vcl::bmDIB);
    ASSERT_EQ(dst.Width(), 5);
    ASSERT_EQ(dst.Height(), 4);
    ExpectPixels(dst, [&](int x, int y) { return src->View().At(x, y); });
}

TEST(Copies, ChannelGoesToAnEightBitBitmapAndBack) {
    auto src = Bitmap32(4, 3, [](int x, int y) { return Px(1, 2, 3, x * 16 + y); });
    vcl::TBitmap plane;
    plane.SetPixelFormat(vcl::pf8bit);
    plane.SetSize(4, 3);
    CopyBitmapChannel(*src, plane, 3, true);
    const vcl::TDibLayout layout = plane.Layout();
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(layout.Line(y)[x], x * 16 + y);
    auto dst = Plain32(4, 3, Px(9, 9, 9, 9));
    CopyBitmapChannel(*dst, plane, 0, false);
    ExpectPixels(*dst, [](int x, int y) { return Px(x * 16 + y, 9, 9, 9); });
    // A bitmap that is not 8-bit gets nothing.
    CopyBitmapChannel(*src, *dst, 3, true);
    ExpectPixels(*dst, [](int x, int y) { return Px(x * 16 + y, 9, 9, 9); });
}

TEST(DrawBitmapAlpha, ThirtyTwoBitBitmapOfTheRectsSizeBlendsAsThePixelCoreDoes) {
    const std::uint32_t back = Px(200, 100, 50, 255);
    auto target = Plain32(8, 6, back);
    auto glyph = Bitmap32(4, 3, [](int x, int y) {
        const int a = std::array{0, 255, 128, 64}[x];
        return Px(a * 10 / 255 + y, a / 2, a, a);  // premultiplied
    });
    // The pixel core's answer for the same pixels is the reference.
    vcl::TPixels32 expected = Copy(*target);
    BlendBitmap32({2, 1, 6, 4}, {0, 0, 4, 3}, expected.View(), glyph->View(), TBgPixels{}, false);

    DrawBitmapAlpha(*target->Canvas(), *glyph, {2, 1, 6, 4}, false);
    ExpectPixels(*target, [&](int x, int y) { return expected.At(x, y); });
    // Transparent pixels leave the target; the others change it.
    EXPECT_EQ(target->View().At(2, 1) & Colour, back & Colour);
    for (int x = 3; x < 6; ++x) EXPECT_NE(target->View().At(x, 2) & Colour, back & Colour) << x;
}

TEST(DrawBitmapAlpha, ReflectionIsWrittenUpToHalfTheHeightBelowTheRect) {
    // A 4 x 10 glyph at (1, 1): the temporary reaches 15 rows down, and the
    // pixel core mirrors up to 4 rows into it, from two rows below the rect.
    auto target = Plain32(6, 18, Px(0, 0, 0, 255));
    auto glyph = Plain32(4, 10, Px(255, 255, 255, 255));
    vcl::TPixels32 expected = Copy(*target);
    vcl::TPixels32 temp(4, 15);
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 4; ++x) temp.At(x, y) = expected.At(1 + x, 1 + y);
    BlendBitmap32({0, 0, 4, 10}, {0, 0, 4, 10}, temp.View(), glyph->View(), TBgPixels{}, false, vcl::clNone, 0, true);
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 4; ++x) expected.At(1 + x, 1 + y) = temp.At(x, y);

    DrawBitmapAlpha(*target->Canvas(), *glyph, {1, 1, 5, 11}, true);
    ExpectPixels(*target, [&](int x, int y) { return expected.At(x, y); });
    EXPECT_NE(target->View().At(2, 12) & Colour, 0u) << "the reflection shows below the rect";
    EXPECT_EQ(target->View().At(2, 16) & Colour, 0u) << "nothing beyond the temporary's height";
}

TEST(DrawBitmapAlpha, SmallerBitmapIsStretchedColourAndAlphaAlike) {
    const std::uint32_t back = Px(0, 0, 200, 255);
    auto target = Plain32(4, 4, back);
    // Left column opaque green, right column transparent.
    auto glyph = Bitmap32(2, 2, [](int x, int y) { return x == 0 ? Px(0, 255, y * 100, 255) : Px(0, 0, 0, 0); });
    // Reference: the glyph replicated to 4 x 4 by hand, blended by the pixel core.
    auto stretched = Bitmap32(4, 4, [&](int x, int y) { return glyph->View().At(x / 2, y / 2); });
    vcl::TPixels32 expected = Copy(*target);
    BlendBitmap32({0, 0, 4, 4}, {0, 0, 4, 4}, expected.View(), stretched->View(), TBgPixels{}, false);
    DrawBitmapAlpha(*target->Canvas(), *glyph, {0, 0, 4, 4}, false);
    ExpectPixels(*target, [&](int x, int y) { return expected.At(x, y); });
    EXPECT_EQ(target->View().At(3, 3) & Colour, back & Colour);
    EXPECT_NE(target->View().At(0, 3) & Colour, target->View().At(0, 0) & Colour);
}

TEST(DrawBitmapAlpha, OtherFormatsAreSimplyDrawn) {
    vcl::TBitmap rgb;
    rgb.SetPixelFormat(vcl::pf24bit);
    rgb.SetSize(2, 1);
    rgb.Canvas()->SetPixels(0, 0, vcl::clRed);
    rgb.Canvas()->SetPixels(1, 0, vcl::clBlue);
    auto target = Plain32(6, 3, Px(1, 2, 3, 255));
    DrawBitmapAlpha(*target->Canvas(), rgb, {1, 1, 5, 2}, false);
    ExpectPixels(
        *target,
        [](int x, int y) {
            if (y != 1 || x < 1 || x > 4) return Px(1, 2, 3, 255);
            return x < 3 ? Px(0, 0, 255, 0) : Px(255, 0, 0, 0);
        },
        Colour);
}

TEST(DeviceContextFills, SolidRectResolvesSystemColours) {
    auto bmp = Plain32(6, 6, Px(1, 1, 1, 0));
    FillRectSolid(bmp->Canvas()->Handle(), {1, 2, 4, 5}, vcl::clRed);
    FillRectSolid(bmp->Canvas()->Handle(), {4, 0, 6, 1}, vcl::clBtnFace);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const std::uint32_t facePx = Px(GetBValue(face), GetGValue(face), GetRValue(face), 0);
    ExpectPixels(
        *bmp,
        [&](int x, int y) {
            if (Inside(x, y, {1, 2, 4, 5})) return Px(0, 0, 255, 0);
            if (Inside(x, y, {4, 0, 6, 1})) return facePx;
            return Px(1, 1, 1, 0);
        },
        Colour);
}

TEST(DeviceContextFills, FrameBandsOfEachWidth) {
    const vcl::TRect r{1, 1, 9, 8};
    auto bmp = Plain32(10, 9, 0);
    FillFrame(bmp->Canvas()->Handle(), r, 1, 2, 3, 0, vcl::clWhite);
    ExpectPixels(
        *bmp,
        [&](int x, int y) {
            const bool band = Inside(x, y, r) && (x < r.Left + 1 || y < r.Top + 2 || x >= r.Right - 3);
            return band ? 0xFFFFFFu : 0u;
        },
        Colour);

    auto none = Plain32(10, 9, 0);
    FillFrame(none->Canvas()->Handle(), r, 0, 0, 0, 0, vcl::clWhite);
    ExpectPixels(*none, [](int, int) { return 0u; }, Colour);
}

TEST(DeviceContextFills, BorderStripsCopyTheFrameAndLeaveTheInside) {
    auto src = Bitmap32(9, 9, Pattern);
    auto dst = Plain32(9, 9, 0);
    // A 6 x 5 frame with strips of 2, from (2, 3) of the source to (1, 1).
    CopyBorderStrips(dst->Canvas()->Handle(), 1, 1, 6, 5, src->Canvas()->Handle(), 2, 3, 2);
    const vcl::TRect frame{1, 1, 7, 6};
    const vcl::TRect inside{3, 3, 5, 4};
    ExpectPixels(
        *dst,
        [&](int x, int y) {
            if (!Inside(x, y, frame) || Inside(x, y, inside)) return 0u;
            return Pattern(x + 1, y + 2);
        },
        Colour);
}

TEST(DeviceContextFills, VisibleWindowlessChildrenLeaveTheClip) {
    vcl::TWinControl *parent = vcl::Create<vcl::TWinControl>(nullptr);
    auto child = [&](int l, int t, int w, int h, bool visible) {
        auto *c = vcl::Create<vcl::TGraphicControl>(parent);
        c->SetBounds(l, t, w, h);
        c->SetVisible(visible);
        c->SetParent(parent);
    };
    child(0, 0, 2, 2, true);
    child(4, 4, 2, 2, false);
    auto bmp = Plain32(8, 8, 0);
    HDC dc = bmp->Canvas()->Handle();
    {
        const vcl::TSavedDC saved(dc);
        ExcludeGraphicControlsFromClip(dc, *parent, 1, 1);
        FillRectSolid(dc, {0, 0, 8, 8}, vcl::clWhite);
    }
    ExpectPixels(*bmp, [](int x, int y) { return Inside(x, y, {1, 1, 3, 3}) ? 0u : 0xFFFFFFu; }, Colour);
    delete parent;
}

TEST(Text, ShortenedToTheCanvasWidth) {
    auto bmp = NewBitmap32(10, 10);
    vcl::TCanvas &canvas = *bmp->Canvas();
    const std::string text = "Instalace programu";
    const int full = canvas.TextWidth(text);
    EXPECT_EQ(ShortenTextToWidth(canvas, text, full), text);
    EXPECT_EQ(ShortenTextToWidth(canvas, text, 0), "");
    EXPECT_EQ(ShortenTextToWidth(canvas, text, canvas.TextWidth("...") - 1), "");
    const std::string cut = ShortenTextToWidth(canvas, text, full - 1);
    ASSERT_GE(cut.size(), 4u);
    EXPECT_EQ(cut.substr(cut.size() - 3), "...");
    EXPECT_LE(canvas.TextWidth(cut), full - 1);
    EXPECT_EQ(text.rfind(cut.substr(0, cut.size() - 3), 0), 0u);
}

TEST(Frames, DottedFrameNestsWithTwoColours) {
    auto bmp = Plain32(8, 7, 0);
    vcl::TRect r{1, 1, 7, 6};
    int width = 2;
    DrawDottedFrame(bmp->Canvas()->Handle(), r, vcl::clWhite, vcl::clRed, width);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(r, vcl::Rect(3, 3, 5, 4));
    const std::uint32_t W = 0xFFFFFF, R = Px(0, 0, 255, 0);
    // Rows of the expected picture: '.' untouched, 'w' first colour, 'r' second.
    const char *rows[] = {
        "........",
        ".wwwwwr.",
        ".wwwwrr.",
        ".ww..rr.",
        ".wrrrrr.",
        ".rrrrrr.",
        "........",
    };
    ExpectPixels(*bmp, [&](int x, int y) { return rows[y][x] == 'w' ? W : rows[y][x] == 'r' ? R : 0u; }, Colour);

    vcl::TRect same{1, 1, 7, 6};
    int zero = 0;
    auto untouched = Plain32(8, 7, 0);
    DrawDottedFrame(untouched->Canvas()->Handle(), same, vcl::clWhite, vcl::clRed, zero);
    EXPECT_EQ(same, vcl::Rect(1, 1, 7, 6));
    ExpectPixels(*untouched, [](int, int) { return 0u; }, Colour);
}

TEST(Frames, CheckeredFrameAlternatesAndLeavesOutNone) {
    const std::uint32_t W = 0xFFFFFF, R = Px(0, 0, 255, 0);
    auto bmp = Plain32(8, 6, 0);
    DrawCheckeredFrame(*bmp->Canvas(), {1, 1, 7, 5}, vcl::clWhite, vcl::clRed);
    const char *rows[] = {
        "........",
        "..wrwrw.",
        ".w....w.",
        ".r....r.",
        ".wwrwrw.",
        "........",
    };
    ExpectPixels(*bmp, [&](int x, int y) { return rows[y][x] == 'w' ? W : rows[y][x] == 'r' ? R : 0u; }, Colour);

    auto half = Plain32(8, 6, 0);
    DrawCheckeredFrame(*half->Canvas(), {1, 1, 7, 5}, vcl::clNone, vcl::clRed);
    ExpectPixels(*half, [&](int x, int y) { return rows[y][x] == 'r' ? R : 0u; }, Colour);
}

namespace {

// A master picture with a 3 x 2 texture at (1, 1), framed by pixels that
// must never be read.
std::unique_ptr<vcl::TBitmap> Master() {
    return Bitmap32(6, 5, [](int x, int y) {
        return x >= 1 && x < 4 && y >= 1 && y < 3 ? Px(x * 50, y * 100, 7, 255) : Px(0, 0, 255, 255);
    });
}

std::uint32_t TexAt(int tx, int ty) { return Px((tx + 1) * 50, (ty + 1) * 100, 7, 255); }

// Tables whose master bitmap is the picture above.
struct MasterSkin : TsSkinTables {
    MasterSkin() { MasterBitmap = Master(); }
};

TsMaskData Texture(TsSkinTables &tables) {
    TsMaskData mask;
    mask.R = {1, 1, 4, 3};
    mask.Manager = &tables;
    return mask;
}

} // namespace

TEST(Textures, TiledModesCoverTheRectExactlyAndNothingElse) {
    MasterSkin tables;
    const std::uint32_t back = Px(1, 1, 1, 255);
    const vcl::TRect r{1, 1, 9, 6};  // 8 x 5: a cut column and a cut row
    const vcl::TRect exact{1, 1, 7, 5};  // 6 x 4: whole tiles only
    struct Case {
        int mode;
        vcl::TRect rect;
        vcl::TRect painted;
        vcl::TRect left;
    } cases[] = {
        {tfTile, r, r, {-1, -1, -1, -1}},
        {tfTileAll, r, r, {-1, -1, -1, -1}},
        {tfTile, exact, exact, {-1, -1, -1, -1}},
        {tfTileAll, exact, exact, {-1, -1, -1, -1}},
        {tfTileTop, r, {1, 1, 9, 3}, {1, 3, 9, 6}},
        {tfTileLeft, r, {1, 1, 4, 6}, {4, 1, 9, 6}},
        {tfTileBottom, r, {1, 4, 9, 6}, {1, 1, 9, 4}},
        {tfTileRight, r, {6, 1, 9, 6}, {1, 1, 6, 6}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode));
        auto target = Plain32(11, 8, back);
        vcl::TRect rect = c.rect;
        PaintTexture(*target->Canvas(), rect, Texture(tables), c.mode);
        EXPECT_EQ(rect, c.left);
        // Tiles start at the painted band's top-left corner.
        ExpectPixels(
            *target,
            [&](int x, int y) {
                if (!Inside(x, y, c.painted)) return back;
                return TexAt((x - c.painted.Left) % 3, (y - c.painted.Top) % 2);
            },
            Colour);
    }
}

TEST(Textures, StretchedModesReplicatePixels) {
    MasterSkin tables;
    const std::uint32_t back = Px(1, 1, 1, 255);
    {
        auto target = Plain32(8, 6, back);
        vcl::TRect rect{1, 1, 7, 5};  // 6 x 4: each texture pixel twice each way
        PaintTexture(*target->Canvas(), rect, Texture(tables), tfStretch);
        EXPECT_EQ(rect, vcl::Rect(-1, -1, -1, -1));
        ExpectPixels(
            *target,
            [&](int x, int y) { return Inside(x, y, {1, 1, 7, 5}) ? TexAt((x - 1) / 2, (y - 1) / 2) : back; },
            Colour);
    }
    {
        // Rows of the texture's height stretched to the width; the last is cut at the bottom.
        auto target = Plain32(8, 6, back);
        vcl::TRect rect{1, 1, 7, 6};
        PaintTexture(*target->Canvas(), rect, Texture(tables), tfStretchRows);
        ExpectPixels(
            *target,
            [&](int x, int y) { return Inside(x, y, {1, 1, 7, 6}) ? TexAt((x - 1) / 2, (y - 1) % 2) : back; },
            Colour);
    }
}

TEST(Textures, OwnBitmapFirstAndNothingWithoutAnImage) {
    MasterSkin tables;
    TsMaskData own = Texture(tables);
    own.Bmp = std::shared_ptr<vcl::TBitmap>(Plain32(2, 2, Px(9, 8, 7, 255)));
    own.R = {0, 0, 2, 2};
    auto target = Plain32(4, 4, 0);
    vcl::TRect rect{0, 0, 4, 4};
    PaintTexture(*target->Canvas(), rect, own, tfTile);
    ExpectPixels(*target, [](int, int) { return Px(9, 8, 7, 255); }, Colour);

    TsMaskData orphan;  // neither a bitmap nor a manager
    orphan.R = {1, 1, 4, 3};
    auto untouched = Plain32(4, 4, 0);
    vcl::TRect kept{0, 0, 4, 4};
    PaintTexture(*untouched->Canvas(), kept, orphan, tfTile);
    EXPECT_EQ(kept, vcl::Rect(0, 0, 4, 4));
    ExpectPixels(*untouched, [](int, int) { return 0u; }, Colour);
}

TEST(BoundFunctions, LayoutAndLayeredWindows) {
    auto bmp = NewBitmap32(4, 4);
    HDC dc = bmp->Canvas()->Handle();
    EXPECT_EQ(GetLayoutIfAvailable(dc), 0u);
    SetLayoutIfAvailable(dc, LAYOUT_RTL);
    EXPECT_EQ(GetLayoutIfAvailable(dc), static_cast<DWORD>(LAYOUT_RTL));
    SetLayoutIfAvailable(dc, 0);
    EXPECT_TRUE(LayeredWindowsAvailable());
    EXPECT_TRUE(LayeredWindowFunctions().SetLayeredWindowAttributes);
}
