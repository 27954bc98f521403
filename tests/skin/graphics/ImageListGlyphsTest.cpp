// Image-list glyphs under Wine: the system's list draws the chosen frame
// with its mask into a 32-bit bitmap over what was there.
#include <gtest/gtest.h>

#include "BitmapTestSupport.h"
#include "skin/graphics/vlImageListGlyphs.h"
#include "skin/graphics/vlPixelHelpers.h"
#include "vcl/Canvas.h"
#include "vcl/ImgList.h"

using namespace vcl;
using namespace skin;
using skin::test::Px;

namespace {

// Three 4 x 4 frames side by side, each in a colour of its own with a hole at (1, 1).
constexpr std::uint32_t Frame(int f) { return Px(40 + 80 * f, 200 - 60 * f, 30, 255); }
constexpr std::uint32_t Behind(int x, int y) { return Px(x, y, 90, 255); }
constexpr std::uint32_t Hole = Px(255, 0, 255, 0);
bool InHole(int fx, int fy) { return fx % 4 == 1 && fy == 1; }

std::unique_ptr<TCustomImageList> Strip() {
    std::unique_ptr<TCustomImageList> list(Create<TCustomImageList>(nullptr));
    list->SetSize(12, 4);
    auto image = skin::test::Bitmap32(12, 4, [](int x, int y) { return InHole(x, y) ? Hole : Frame(x / 4); });
    EXPECT_EQ(list->AddMasked(image.get(), clFuchsia), 0);
    EXPECT_EQ(image->View().At(1, 1), Hole);  // the caller's picture keeps its key pixels
    EXPECT_EQ(list->Count(), 1);
    return list;
}

} // namespace

TEST(DrawImageListGlyph, DrawsTheChosenFrameOverWhatWasThere) {
    auto list = Strip();
    const struct {
        int frame, count, shown, width;
    } cases[] = {
        {1, 3, 1, 4}, {5, 3, 2, 4},
        {-1, 3, 0, 4},  // a negative frame is the first, not columns left of the image
        {0, 0, -1, 12},  // no frame count: the whole image
    };
    for (const auto &c : cases) {
        auto dst = skin::test::Bitmap32(20, 8, Behind);
        EXPECT_EQ(DrawImageListGlyph(*list, *dst, 2, 3, 0, c.frame, c.count), (TSize{c.width, 4}));
        skin::test::ExpectPixels(
            *dst,
            [&](int x, int y) {
                const int fx = x - 2, fy = y - 3;
                if (fx < 0 || fy < 0 || fx >= c.width || fy >= 4 || InHole(fx, fy)) return Behind(x, y);
                return Frame(c.shown < 0 ? fx / 4 : c.shown);
            },
            0xFFFFFF);
    }
    auto screen = skin::test::Bitmap32(20, 8, Behind);
    DrawImageListGlyphOnCanvas(*list, screen->Canvas()->Handle(), 2, 3, 0, 2, 3);
    EXPECT_EQ(GetPixel32(*screen, 2, 3) & 0xFFFFFF, Frame(2) & 0xFFFFFF);
    EXPECT_EQ(GetPixel32(*screen, 3, 4) & 0xFFFFFF, Behind(3, 4) & 0xFFFFFF);
}
