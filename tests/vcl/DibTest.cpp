#include "vcl/Dib.h"

#include <gtest/gtest.h>

#include <vector>

using namespace vcl;

namespace {

// A bottom-up image in owned memory, laid out like a DIB section.
struct TTestDib {
    TTestDib(int width, int height, TPixelFormat format, std::vector<TBGRA> table = {})
        : Table(table.empty() ? DefaultColorTable(format) : std::move(table)),
          Row(BytesPerScanLine(width, PixelFormatBits(format))), Bits(Row * height, 0) {
        Layout.Width = width;
        Layout.Height = height;
        Layout.PixelFormat = format;
        Layout.Stride = -Row;
        Layout.First = Bits.data() + (height - 1) * Row;
        Layout.ColorTable = Table.data();
        Layout.ColorCount = static_cast<int>(Table.size());
    }
    std::vector<TBGRA> Table;
    std::ptrdiff_t Row;
    std::vector<std::uint8_t> Bits;
    TDibLayout Layout;
};

TBGRA Px(int r, int g, int b, int a = 0) {
    return TBGRA{std::uint8_t(b), std::uint8_t(g), std::uint8_t(r), std::uint8_t(a)};
}

} // namespace

TEST(DibLayout, ScanLinesStartOn32BitBoundariesAndFormatsKnowTheirTables) {
    struct Case { int Width, Bits; std::ptrdiff_t Bytes; };
    for (const Case &c : {Case{1, 1, 4}, Case{32, 1, 4}, Case{33, 1, 8}, Case{7, 4, 4}, Case{9, 4, 8},
                          Case{5, 8, 8}, Case{3, 16, 8}, Case{3, 24, 12}, Case{1, 32, 4}, Case{0, 32, 0}})
        EXPECT_EQ(BytesPerScanLine(c.Width, c.Bits), c.Bytes) << c.Width << " x " << c.Bits;
    EXPECT_EQ(PixelFormatBits(pf15bit), 16);
    EXPECT_EQ(PixelFormatBits(pfDevice), 0);
    EXPECT_EQ(DefaultColorTable(pf1bit).size(), 2u);
    EXPECT_EQ(DefaultColorTable(pf4bit).size(), 16u);
    EXPECT_EQ(DefaultColorTable(pf8bit)[0x7F], Px(0x7F, 0x7F, 0x7F));
    EXPECT_TRUE(DefaultColorTable(pf24bit).empty());
}

TEST(DibConversion, PixelsConvertBetweenFormats) {
    struct Case {
        TPixelFormat From, To;
        TBGRA In, Out;
    };
    const Case cases[] = {
        {pf32bit, pf24bit, Px(10, 20, 30, 40), Px(10, 20, 30, 0)},       // alpha is lost
        {pf24bit, pf32bit, Px(10, 20, 30), Px(10, 20, 30, 0)},           // and reads 0
        {pf32bit, pf15bit, Px(255, 128, 7, 9), Px(255, 132, 0, 0)},      // 5 bits per channel, widened
        {pf32bit, pf16bit, Px(255, 130, 8, 9), Px(255, 130, 8, 0)},      // 6 bits of green
        {pf32bit, pf8bit, Px(100, 100, 100, 255), Px(100, 100, 100, 0)}, // grey table hits exactly
        {pf32bit, pf8bit, Px(90, 100, 110), Px(100, 100, 100)},          // nearest grey
        {pf32bit, pf4bit, Px(250, 0, 5), Px(255, 0, 0)},                 // nearest basic colour
        {pf32bit, pf4bit, Px(200, 200, 200), Px(192, 192, 192)},
        {pf32bit, pf1bit, Px(100, 100, 100), Px(0, 0, 0)},
        {pf32bit, pf1bit, Px(140, 140, 140), Px(255, 255, 255)},
        {pf8bit, pf32bit, Px(77, 77, 77), Px(77, 77, 77, 0)},
    };
    for (const Case &c : cases) {
        TTestDib from(3, 2, c.From), to(3, 2, c.To);
        TTestDib seed(1, 1, pf32bit);
        *reinterpret_cast<TBGRA *>(seed.Layout.First) = c.In;
        // Put the input into the source format first (exact for these inputs).
        CopyDibPixels(seed.Layout, from.Layout);
        CopyDibPixels(from.Layout, to.Layout);
        EXPECT_EQ(ReadDibPixel(to.Layout, 0, 0), c.Out) << c.From << " -> " << c.To;
    }
}

TEST(DibConversion, EqualFormatsCopyBitsUnchanged) {
    TTestDib from(2, 2, pf8bit), to(2, 2, pf8bit, std::vector<TBGRA>(256, Px(1, 2, 3)));
    from.Layout.Line(1)[1] = 200;
    CopyDibPixels(from.Layout, to.Layout);
    EXPECT_EQ(to.Layout.Line(1)[1], 200);  // the index, whatever the tables say
}

TEST(DibConversion, OnlyTheSharedAreaIsTouchedDownToTheBit) {
    TTestDib from(2, 1, pf32bit), to(3, 2, pf24bit);
    for (auto &b : to.Bits)
        b = 0xEE;
    *reinterpret_cast<TBGRA *>(from.Layout.Line(0)) = Px(1, 2, 3, 4);
    CopyDibPixels(from.Layout, to.Layout);
    EXPECT_EQ(ReadDibPixel(to.Layout, 0, 0), Px(1, 2, 3));
    EXPECT_EQ(ReadDibPixel(to.Layout, 2, 0), Px(0xEE, 0xEE, 0xEE));
    EXPECT_EQ(ReadDibPixel(to.Layout, 0, 1), Px(0xEE, 0xEE, 0xEE));

    TTestDib from1(3, 1, pf1bit), to1(8, 1, pf1bit);
    from1.Layout.Line(0)[0] = 0b1010'0000;
    to1.Layout.Line(0)[0] = 0b0001'1111;
    CopyDibPixels(from1.Layout, to1.Layout);
    EXPECT_EQ(to1.Layout.Line(0)[0], 0b1011'1111);
    TTestDib from4(1, 1, pf4bit), to4(2, 1, pf4bit);
    from4.Layout.Line(0)[0] = 0xA0;
    to4.Layout.Line(0)[0] = 0x35;
    CopyDibPixels(from4.Layout, to4.Layout);
    EXPECT_EQ(to4.Layout.Line(0)[0], 0xA5);
}

TEST(DibConversion, IndexPastTheTableReadsBlack) {
    TTestDib image(1, 1, pf8bit, {Px(9, 9, 9)});
    image.Layout.Line(0)[0] = 5;
    EXPECT_EQ(ReadDibPixel(image.Layout, 0, 0), Px(0, 0, 0));
}
