// Text drawn with alpha into 32-bit bitmaps, checked against what GDI itself
// draws in black on white.
#include "skin/graphics/vlAlphaText.h"

#include <gtest/gtest.h>

#include "BitmapTestSupport.h"
#include "skin/graphics/vlGraphUtils.h"
#include "vcl/Canvas.h"
#include "vcl/WideText.h"

using namespace skin;
using skin::test::Hex;
using skin::test::Plain32;
using skin::test::Px;

namespace {

// What GDI draws for the text, black on white, in a bitmap of R's size.
std::unique_ptr<vcl::TBitmap> GdiText(const vcl::TFont &font, const std::string &text, int w, int h, UINT flags) {
    auto bmp = Plain32(w, h, 0x00FFFFFF);
    bmp->Canvas()->SetFont(&font);
    bmp->Canvas()->RequiredState({vcl::csHandleValid, vcl::csFontValid});
    HDC dc = bmp->Canvas()->Handle();
    SetTextColor(dc, 0);
    SetBkMode(dc, TRANSPARENT);
    RECT r{0, 0, w, h};
    const std::wstring wide = vcl::Utf8ToWide(text);
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r, flags);
    GdiFlush();
    return bmp;
}

int RowsWithInk(vcl::TBitmap &bmp, std::uint32_t background) {
    int rows = 0;
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            if (bmp.View().At(x, y) != background) {
                ++rows;
                break;
            }
    return rows;
}

} // namespace

TEST(AlphaText, OpaqueModeMixesEachChannelByTheTextImage) {
    const std::uint32_t white = Px(255, 255, 255, 255);
    auto bmp = Plain32(40, 20, white);
    bmp->Canvas()->Font()->SetHeight(-14);
    const vcl::TRect r{3, 2, 37, 19};
    DrawAlphaText(*bmp, "Žluť", 0, r, DT_LEFT | DT_TOP | DT_SINGLELINE, vcl::clBlack);
    auto reference = GdiText(*bmp->Canvas()->Font(), "Žluť", r.Width(), r.Height(), DT_LEFT | DT_TOP | DT_SINGLELINE);
    int ink = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) {
            const std::uint32_t got = bmp->View().At(x, y);
            std::uint32_t want = white;
            if (x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom) {
                const vcl::TBGRA t = reference->View().RowBGRA(y - r.Top)[x - r.Left];
                if (reference->View().At(x - r.Left, y - r.Top) != 0x00FFFFFF) {
                    // d = ((d - colour) * t + colour * 256) >> 8 with d 255, colour 0.
                    want = Px(255 * t.B >> 8, 255 * t.G >> 8, 255 * t.R >> 8, 255);
                    ++ink;
                }
            }
            ASSERT_EQ(got, want) << x << "," << y << ": " << Hex(got) << " vs " << Hex(want);
        }
    EXPECT_GT(ink, 20);
}

TEST(AlphaText, TransparentModeLeavesPremultipliedColour) {
    auto bmp = Plain32(40, 20, 0);
    bmp->Canvas()->Font()->SetHeight(-14);
    DrawAlphaText(*bmp, "Hi", 1, {0, 0, 40, 20}, DT_LEFT | DT_TOP | DT_SINGLELINE, vcl::clRed);
    auto reference = GdiText(*bmp->Canvas()->Font(), "Hi", 40, 20, DT_LEFT | DT_TOP | DT_SINGLELINE);
    int solid = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) {
            const vcl::TBGRA got = bmp->View().RowBGRA(y)[x];
            const vcl::TBGRA t = reference->View().RowBGRA(y)[x];
            if (reference->View().At(x, y) == 0x00FFFFFF) {
                ASSERT_EQ(bmp->View().At(x, y), 0u) << x << "," << y;
                continue;
            }
            const int k = (t.R + t.G + t.B) / 3;
            const int alpha = 255 - k;
            ASSERT_EQ(got.A, alpha) << x << "," << y;
            // Red: ((0 - 255) * k + 255 * 256) * alpha >> 16; blue and green stay 0.
            ASSERT_EQ(got.R, ((-255 * k + 255 * 256) * alpha) >> 16) << x << "," << y;
            ASSERT_EQ(got.G, 0);
            ASSERT_EQ(got.B, 0);
            solid += alpha == 255;
        }
    EXPECT_GT(solid, 5);
}

TEST(AlphaText, TakesTheDestinationCanvassFont) {
    auto small = Plain32(60, 40, 0);
    small->Canvas()->Font()->SetHeight(-10);
    DrawAlphaText(*small, "Ag", 0, {0, 0, 60, 40}, DT_LEFT | DT_TOP | DT_SINGLELINE, vcl::clBlack);
    auto large = Plain32(60, 40, 0);
    large->Canvas()->Font()->SetHeight(-28);
    DrawAlphaText(*large, "Ag", 0, {0, 0, 60, 40}, DT_LEFT | DT_TOP | DT_SINGLELINE, vcl::clBlack);
    EXPECT_GT(RowsWithInk(*large, 0), RowsWithInk(*small, 0) + 8);
}

TEST(AlphaText, ClippedToTheBitmapAndNothingForEmptyInput) {
    auto bmp = Plain32(10, 10, Px(255, 255, 255, 255));
    // Half of the text lies left of and above the bitmap.
    DrawAlphaText(*bmp, "WWWW", 0, {-20, -5, 15, 15}, DT_LEFT | DT_TOP | DT_SINGLELINE, vcl::clBlack);
    EXPECT_GT(RowsWithInk(*bmp, Px(255, 255, 255, 255)), 0);

    auto untouched = Plain32(10, 10, 7);
    DrawAlphaText(*untouched, "", 0, {0, 0, 10, 10}, 0, vcl::clBlack);
    DrawAlphaText(*untouched, "x", 0, {5, 5, 5, 10}, 0, vcl::clBlack);
    EXPECT_EQ(RowsWithInk(*untouched, 7), 0);
}
