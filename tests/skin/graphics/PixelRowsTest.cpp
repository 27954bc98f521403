// The fast row loops of the pixel core against their plain forms, which
// state the arithmetic: every input of the blend and the tint, and rows of
// every length from every alignment, so that each loop's head and tail run.
#include "skin/graphics/PixelRows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "PixelTestSupport.h"

using skin::test::Px;
using namespace skin::pixel;

namespace {

// Row length and start (in pixels past a 16-byte boundary) of each check.
struct TRowShape {
    int Count, Offset;
};

std::vector<TRowShape> Shapes() {
    std::vector<TRowShape> shapes;
    for (int count = 0; count <= 37; ++count)
        for (int offset = 0; offset < 4; ++offset) shapes.push_back({count, offset});
    return shapes;
}

std::vector<std::uint32_t> RandomPixels(std::mt19937 &rng, int n) {
    std::vector<std::uint32_t> v(n);
    for (auto &p : v) p = rng();
    return v;
}

} // namespace

TEST(PixelRows, BlendEqualsThePlainFormForEveryAlphaAndChannelPair) {
    // For each source alpha, all 65536 pairs of source and destination
    // channel values, in the three colour channels with different roles.
    std::mt19937 rng(7);
    std::vector<std::uint32_t> src(65536), dst(65536);
    for (int a = 0; a < 256; ++a) {
        for (int i = 0; i < 65536; ++i) {
            const int s = i >> 8, d = i & 0xFF;
            src[i] = Px(s, d, 255 - s, a);
            dst[i] = Px(d, s, 255 - d, static_cast<int>(rng() & 0xFF));
        }
        std::vector<std::uint32_t> fast = dst, plain = dst;
        BlendRowBySourceAlpha(fast.data(), src.data(), 65536);
        BlendRowBySourceAlphaPlain(plain.data(), src.data(), 65536);
        ASSERT_EQ(fast, plain) << "alpha " << a;
    }
    for (const TRowShape shape : Shapes()) {
        const std::vector<std::uint32_t> s = RandomPixels(rng, shape.Count + 4);
        std::vector<std::uint32_t> fast = RandomPixels(rng, shape.Count + 4), plain = fast;
        BlendRowBySourceAlpha(fast.data() + shape.Offset, s.data() + 3 - shape.Offset, shape.Count);
        BlendRowBySourceAlphaPlain(plain.data() + shape.Offset, s.data() + 3 - shape.Offset, shape.Count);
        ASSERT_EQ(fast, plain) << shape.Count << " pixels from " << shape.Offset;
    }
}

TEST(PixelRows, TintEqualsThePlainFormForEveryPercentColourAndChannel) {
    std::vector<std::uint32_t> row(256);
    for (int percent = 0; percent < 256; ++percent)
        for (int k = 0; k < 256; ++k) {
            const std::uint32_t colour = Px(k, k ^ 0x55, 255 - k, 0x80);
            for (int c = 0; c < 256; ++c) row[c] = Px(c, c, c, c ^ 0x33);
            std::vector<std::uint32_t> fast = row, plain = row;
            const auto alpha = static_cast<std::uint8_t>(percent ^ k);
            TintRow32(fast.data(), 256, colour, static_cast<std::uint8_t>(percent), alpha);
            TintRow32Plain(plain.data(), 256, colour, static_cast<std::uint8_t>(percent), alpha);
            ASSERT_EQ(fast, plain) << "percent " << percent << ", colour " << k;
        }
    std::mt19937 rng(8);
    for (const TRowShape shape : Shapes()) {
        std::vector<std::uint32_t> fast = RandomPixels(rng, shape.Count + 4), plain = fast;
        TintRow32(fast.data() + shape.Offset, shape.Count, 0x336699, 40, 200);
        TintRow32Plain(plain.data() + shape.Offset, shape.Count, 0x336699, 40, 200);
        ASSERT_EQ(fast, plain) << shape.Count << " pixels from " << shape.Offset;
    }
}

TEST(PixelRows, FillEqualsThePlainFormAlsoWhenStreaming) {
    std::mt19937 rng(9);
    // Short rows, and rows long enough for the string store, around its threshold.
    std::vector<TRowShape> shapes = Shapes();
    for (const int count : {255, 256, 257, 1001})
        for (int offset = 0; offset < 4; ++offset) shapes.push_back({count, offset});
    for (const bool streaming : {false, true})
        for (const TRowShape shape : shapes) {
            // 16-byte aligned storage, so that Offset is the row's misalignment.
            alignas(16) std::uint32_t fast[1012], plain[1012];
            for (int i = 0; i < 1012; ++i) fast[i] = plain[i] = rng();
            FillRow32(fast + shape.Offset, shape.Count, 0xC8996633, streaming);
            EndStreamingStores();
            FillRow32Plain(plain + shape.Offset, shape.Count, 0xC8996633);
            ASSERT_TRUE(std::equal(fast, fast + 1012, plain)) << shape.Count << " pixels from " << shape.Offset;
        }
}

TEST(PixelRows, OnlyFillsLargerThanHalfTheCacheBypassIt) {
    EXPECT_FALSE(FillBypassesCache(8294400, 32 << 20));  // a 1920 x 1080 image, 32 MiB cache
    EXPECT_FALSE(FillBypassesCache(16 << 20, 32 << 20));
    EXPECT_TRUE(FillBypassesCache((16 << 20) + 1, 32 << 20));
    EXPECT_TRUE(FillBypassesCache(8294400, 8 << 20));
    // A cache of unknown size counts as 8 MiB.
    EXPECT_FALSE(FillBypassesCache(4 << 20, 0));
    EXPECT_TRUE(FillBypassesCache((4 << 20) + 1, 0));
}
