// Every kind of PNG written here, decoded by the reader and by libpng: the
// reader's pixels are libpng's raw samples mapped as the reader promises
// (grey levels and indices kept, a 2-bit index k stored as 5k, 16-bit
// samples truncated to 8 bits, grey with alpha without its alpha, red and
// blue exchanged in B, G, R (A) order; no gamma).
#include <random>

#include <gtest/gtest.h>

#include "LibpngReader.h"
#include "PngTestSupport.h"

using namespace pngtest;

namespace {

// What the reader stores for a pixel (see PixelValue).
unsigned Expected(const pngtest::TLibpngImage &raw, int type, int x, int y) {
    const auto s = [&](int c) { return raw.Sample(x, y, c); };
    const auto reduced = [&](int c) { return raw.Depth == 16 ? s(c) * 255 / 65535 : s(c); };
    switch (type) {
    case 0: return raw.Depth == 2 ? 5 * s(0) : reduced(0);
    case 3: return raw.Depth == 2 ? 5 * s(0) : s(0);
    case 4: return reduced(0);
    case 2: return reduced(2) | reduced(1) << 8 | reduced(0) << 16;
    default: return reduced(2) | reduced(1) << 8 | reduced(0) << 16 | reduced(3) << 24;
    }
}

struct TKind {
    int Type;
    int Depth;
};
constexpr TKind Kinds[] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                           {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};

} // namespace

TEST(PngAgainstLibpng, EveryKindFilterInterlaceAndChunkingDecodesTheSameSamples) {
    const std::pair<int, int> sizes[] = {{1, 1}, {1, 9}, {9, 1}, {7, 5}, {17, 13}, {33, 3}, {61, 22}, {1100, 2}};
    int counter = 0;
    for (const TKind kind : Kinds)
        for (const auto &[w, h] : sizes)
            for (bool interlaced : {false, true})
                for (int filter = 0; filter <= 5; ++filter) {
                    ++counter;
                    std::mt19937 rng(static_cast<unsigned>(counter));
                    // Indexed images use fewer entries than their depth allows, now and then.
                    const int entries = kind.Type != 3 ? 0 : std::min(1 << kind.Depth, 256) - (counter % 2 && kind.Depth > 1);
                    // Smooth samples with noise, as photographs are.
                    const TSampleImage image = MakeImage(w, h, kind.Type, kind.Depth, [&](int x, int y, int c) {
                        if (kind.Type == 3) return unsigned(rng() % entries);
                        return unsigned((x * 5 + y * 3 + c * 40) * ((1 << kind.Depth) - 1) / 200 + rng() % 4);
                    });
                    TPngOptions options;
                    options.Interlaced = interlaced;
                    // Filter 5 here stands for a different filter on every row.
                    options.Filter = [filter](int row, int pass) { return filter < 5 ? filter : (row * 3 + pass + 7) % 5; };
                    options.IdatPiece = counter % 3 == 0 ? 0 : counter % 3 == 1 ? 1 : 7;
                    options.EmptyIdatBetween = counter % 3 == 1;
                    TBytes palette;
                    for (int i = 0; i < 3 * entries; ++i) palette.push_back(static_cast<std::uint8_t>(rng()));
                    if (entries) options.BeforeImageData = {Chunk("PLTE", palette)};
                    const TBytes file = EncodePng(image, options);

                    SCOPED_TRACE(testing::Message() << "type " << kind.Type << ", depth " << kind.Depth << ", " << w
                                                    << " x " << h << ", Adam7 " << interlaced << ", filter " << filter);
                    pngtest::TLibpngImage raw;
                    ASSERT_TRUE(DecodeWithLibpng(file, raw));
                    skin::TPngImage ours = Decode(file);
                    const int bits = kind.Type == 2 ? 24 : kind.Type == 6 ? 32 : kind.Type == 4 || kind.Depth > 4 ? 8
                                   : kind.Depth == 1 ? 1 : 4;
                    ASSERT_EQ(vcl::PixelFormatBits(ours.Dib.PixelFormat), bits);
                    ASSERT_EQ(ours.Dib.Width, w);
                    ASSERT_EQ(ours.Dib.Height, h);
                    int wrong = 0;
                    for (int y = 0; y < h; ++y)
                        for (int x = 0; x < w; ++x)
                            if (PixelValue(ours.Dib, x, y) != Expected(raw, kind.Type, x, y) && wrong++ < 3)
                                ADD_FAILURE() << "pixel " << x << ", " << y << ": " << std::hex << PixelValue(ours.Dib, x, y)
                                              << " for " << Expected(raw, kind.Type, x, y);
                    // Grey levels index a grey palette; indices show the file's palette entries.
                    const std::size_t levels = ours.Dib.ColorTable.size();
                    for (std::size_t i = 0; (kind.Type == 0 || kind.Type == 4) && i < levels; ++i) {
                        const auto v = static_cast<std::uint8_t>(i * (255 / (levels - 1)));
                        EXPECT_EQ(ours.Dib.ColorTable[i], (vcl::TBGRA{v, v, v, 0})) << i;
                    }
                    for (int k = 0; k < entries; ++k) {
                        const int index = kind.Depth == 2 ? 5 * k : k;
                        EXPECT_EQ(ours.Dib.ColorTable[index],
                                  (vcl::TBGRA{palette[3 * k + 2], palette[3 * k + 1], palette[3 * k], 0}));
                    }
                }
}
