#include "vcl/BmpFile.h"
#include "vcl/System.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace vcl;
using Bytes = std::vector<std::uint8_t>;

namespace {

// An image of the format filled with a pattern that differs per pixel.
TDibImage Pattern(int width, int height, TPixelFormat format) {
    TDibImage image;
    image.Width = width;
    image.Height = height;
    image.PixelFormat = format;
    image.ColorTable = DefaultColorTable(format);
    for (std::size_t i = 0; i < image.ColorTable.size(); ++i)
        image.ColorTable[i] = TBGRA{std::uint8_t(i * 7), std::uint8_t(255 - i), std::uint8_t(i * 3), 0};
    const std::ptrdiff_t row = BytesPerScanLine(width, PixelFormatBits(format));
    image.Bits.assign(row * height, 0);
    const std::size_t usedBits = std::size_t(width) * PixelFormatBits(format);
    for (int y = 0; y < height; ++y)
        for (std::size_t b = 0; b < (usedBits + 7) / 8; ++b)
            image.Bits[y * row + b] = std::uint8_t(y * 31 + b * 17 + 5);
    // Pixels of a partly used last byte beyond the width stay 0, as the writer writes them.
    if (usedBits % 8)
        for (int y = 0; y < height; ++y)
            image.Bits[y * row + usedBits / 8] &= std::uint8_t(0xFF << (8 - usedBits % 8));
    return image;
}

void Put32(Bytes &data, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        data[at + i] = std::uint8_t(v >> (8 * i));
}

// A packed DIB of one pixel with alpha bit fields: a header of headerSize
// bytes whose four masks start at byte 40 (those it has no room for follow
// it), then the pixel.
Bytes AlphaMaskedDib(std::uint32_t headerSize, int bits, const std::uint32_t (&masks)[4], std::uint32_t pixel) {
    const std::size_t pixelAt = std::max<std::size_t>(headerSize, 40 + 16);
    Bytes dib(pixelAt + 4, 0);
    Put32(dib, 0, headerSize);
    Put32(dib, 4, 1);
    Put32(dib, 8, 1);
    dib[12] = 1;
    dib[14] = static_cast<std::uint8_t>(bits);
    Put32(dib, 16, 6);
    for (int i = 0; i < 4; ++i)
        Put32(dib, 40 + 4 * i, masks[i]);
    Put32(dib, pixelAt, pixel);
    return dib;
}

// Byte offsets in a file written by WriteBmpFile.
constexpr std::size_t OffBits = 10, HeaderSize = 14, Width = 18, Height = 22, BitCount = 28, Compression = 30,
                      ColorsUsed = 46;

} // namespace

TEST(BmpFile, EveryFormatSurvivesARoundTripWithItsSize) {
    for (TPixelFormat format : {pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit}) {
        TDibImage image = Pattern(13, 7, format);
        const Bytes file = WriteBmpFile(image.Layout());
        EXPECT_EQ(BmpFileSize(file), file.size());
        TDibImage read = ReadBmpFile(file);
        EXPECT_EQ(read.PixelFormat, format);
        EXPECT_EQ(read.Width, 13);
        EXPECT_EQ(read.Height, 7);
        EXPECT_EQ(read.ColorTable, image.ColorTable) << format;
        EXPECT_EQ(read.Bits, image.Bits) << format;  // 32-bit pixels keep their fourth byte
    }
    TDibImage empty;
    TDibImage read = ReadBmpFile(WriteBmpFile(empty.Layout()));
    EXPECT_EQ(read.Width, 0);
    EXPECT_TRUE(read.Bits.empty());
    EXPECT_EQ(BmpFileSize(Bytes(14, 'X')), 0u);
}

TEST(BmpFile, WriterZeroesRowPadding) {
    TDibImage image = Pattern(1, 1, pf24bit);
    image.Bits = {1, 2, 3, 0xEE};
    const Bytes file = WriteBmpFile(image.Layout());
    ASSERT_EQ(file.size(), 14u + 40u + 4u);
    EXPECT_EQ(Bytes(file.end() - 4, file.end()), (Bytes{1, 2, 3, 0}));
}

TEST(BmpFile, TopDownFileBecomesBottomUpMemory) {
    TDibImage image = Pattern(2, 3, pf24bit);
    Bytes file = WriteBmpFile(image.Layout());
    // The same rows in the opposite order, announced by a negative height.
    const std::size_t row = 8, start = file.size() - 3 * row;
    Bytes flipped(file.begin(), file.begin() + start);
    for (int r = 2; r >= 0; --r)
        flipped.insert(flipped.end(), file.begin() + start + r * row, file.begin() + start + (r + 1) * row);
    Put32(flipped, Height, static_cast<std::uint32_t>(-3));
    TDibImage read = ReadBmpFile(flipped);
    EXPECT_EQ(read.Height, 3);
    EXPECT_EQ(read.Bits, image.Bits);
}

TEST(BmpFile, CoreHeaderWithThreeByteColourTable) {
    // 12-byte header, 2 x 1 pixels of 8 bits, a table of 256 B-G-R triples.
    Bytes dib = {12, 0, 0, 0, 2, 0, 1, 0, 1, 0, 8, 0};
    for (int i = 0; i < 256; ++i)
        dib.insert(dib.end(), {std::uint8_t(i), 0, std::uint8_t(255 - i)});
    dib.insert(dib.end(), {3, 250, 0, 0});
    TDibImage read = ReadPackedDib(dib);
    EXPECT_EQ(read.PixelFormat, pf8bit);
    EXPECT_EQ(ReadDibPixel(read.Layout(), 0, 0), (TBGRA{3, 0, 252, 0}));
    EXPECT_EQ(ReadDibPixel(read.Layout(), 1, 0), (TBGRA{250, 0, 5, 0}));
}

TEST(BmpFile, MasksChooseTheFormatOrAreConvertedToThirtyTwoBits) {
    const Bytes file = WriteBmpFile(Pattern(3, 2, pf16bit).Layout());
    Bytes plain = file;  // BI_RGB at 16 bits is 5-5-5
    Put32(plain, Compression, 0);
    EXPECT_EQ(ReadBmpFile(plain).PixelFormat, pf15bit);

    struct Case {
        const char *What;
        Bytes Dib;
        TBGRA Pixel;
    };
    const Case cases[] = {
        {"R, G, B, A from the top byte down",
         AlphaMaskedDib(40, 32, {0xFF000000, 0x00FF0000, 0x0000FF00, 0x000000FF}, 0x11223344), {0x33, 0x22, 0x11, 0x44}},
        // No bitmap format stores 4-4-4-4: A = 15, R = 15, G = 8, B = 0 widen to full range.
        {"16-bit 4-4-4-4", AlphaMaskedDib(40, 16, {0x0F00, 0x00F0, 0x000F, 0xF000}, 0xFF80), {0, 136, 255, 255}},
        // A 52-byte header holds three masks; the fourth follows the header.
        {"fourth mask after the header",
         AlphaMaskedDib(52, 32, {0x0000FF00, 0x00FF0000, 0xFF000000, 0x000000FF}, 0x11223344), {0x11, 0x22, 0x33, 0x44}},
    };
    for (const Case &c : cases) {
        TDibImage read = ReadPackedDib(c.Dib);
        EXPECT_EQ(read.PixelFormat, pf32bit) << c.What;
        EXPECT_EQ(ReadDibPixel(read.Layout(), 0, 0), c.Pixel) << c.What;
    }
    for (std::size_t n = 52; n < 56; ++n)  // ending before the fourth mask: damaged
        EXPECT_THROW(ReadPackedDib(Bytes(cases[2].Dib.begin(), cases[2].Dib.begin() + n)), EInvalidGraphic) << n;
}

namespace {

// Every pixel of a view of the file against the decoded copy.
void ExpectViewReadsAsTheCopy(const Bytes &file, const char *what) {
    TDibImage copy = ReadBmpFile(file);
    TDibImage holder;
    const TDibLayout view = ViewBmpFile(file, holder);
    ASSERT_EQ(view.PixelFormat, copy.PixelFormat) << what;
    ASSERT_EQ(view.Width, copy.Width) << what;
    ASSERT_EQ(view.Height, copy.Height) << what;
    const TDibLayout expected = copy.Layout();
    for (int y = 0; y < copy.Height; ++y)
        for (int x = 0; x < copy.Width; ++x)
            ASSERT_EQ(ReadDibPixel(view, x, y), ReadDibPixel(expected, x, y)) << what << " at " << x << ", " << y;
}

} // namespace

TEST(BmpFile, AViewReadsTheFileInPlaceExceptWhereMasksNeedConverting) {
    for (TPixelFormat format : {pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit}) {
        const Bytes file = WriteBmpFile(Pattern(13, 7, format).Layout());
        ExpectViewReadsAsTheCopy(file, "bottom-up");
        TDibImage holder;
        const TDibLayout view = ViewBmpFile(file, holder);
        EXPECT_TRUE(holder.Bits.empty()) << format;
        EXPECT_TRUE(view.First >= file.data() && view.First < file.data() + file.size()) << format;
    }
    // Top-down rows, and masks that no format stores (converted into the holder).
    Bytes flipped = WriteBmpFile(Pattern(2, 3, pf24bit).Layout());
    const std::size_t row = 8, start = flipped.size() - 3 * row;
    std::reverse(flipped.begin() + start, flipped.end());  // rows in the opposite order, bytes too
    Put32(flipped, Height, static_cast<std::uint32_t>(-3));
    ExpectViewReadsAsTheCopy(flipped, "top-down");
    Bytes masked(14, 0);
    masked[0] = 'B';
    masked[1] = 'M';
    const Bytes dib = AlphaMaskedDib(40, 16, {0x0F00, 0x00F0, 0x000F, 0xF000}, 0xFF80);
    masked.insert(masked.end(), dib.begin(), dib.end());
    Put32(masked, OffBits, 14 + 56);
    ExpectViewReadsAsTheCopy(masked, "4-4-4-4");
    TDibImage holder;
    EXPECT_EQ(ReadDibPixel(ViewBmpFile(masked, holder), 0, 0), (TBGRA{0, 136, 255, 255}));
    EXPECT_FALSE(holder.Bits.empty());
    // Packed DIBs (a resource's layout): a table of three-byte entries, and converted masks.
    Bytes core = {12, 0, 0, 0, 2, 0, 1, 0, 1, 0, 8, 0};
    for (int i = 0; i < 256; ++i) core.insert(core.end(), {std::uint8_t(i), 0, std::uint8_t(255 - i)});
    core.insert(core.end(), {3, 250, 0, 0});
    for (const Bytes &packed : {core, dib}) {
        TDibImage copy = ReadPackedDib(packed);
        const TDibLayout view = ViewPackedDib(packed, holder);
        ASSERT_EQ(view.Width, copy.Width);
        for (int x = 0; x < copy.Width; ++x) EXPECT_EQ(ReadDibPixel(view, x, 0), ReadDibPixel(copy.Layout(), x, 0)) << x;
    }
    // A damaged file is refused by the view as by the copy.
    const Bytes good = WriteBmpFile(Pattern(4, 4, pf8bit).Layout());
    for (std::size_t n : {0, 13, 53, 1077, 1093}) {
        const Bytes cut(good.begin(), good.begin() + n);
        EXPECT_THROW(ViewBmpFile(cut, holder), EInvalidGraphic) << "cut at " << n;
    }
}

TEST(BmpFileDamage, TruncationsAndBadHeaderFieldsAreReported) {
    const Bytes good = WriteBmpFile(Pattern(4, 4, pf8bit).Layout());
    for (std::size_t n : {0, 1, 13, 14, 53, 54, 1077, 1093}) {
        const Bytes cut(good.begin(), good.begin() + n);  // no bytes beyond for the sanitizers
        EXPECT_THROW(ReadBmpFile(cut), EInvalidGraphic) << "cut at " << n;
    }
    struct Case {
        const char *What;
        std::size_t At;
        std::uint32_t Value;
        bool Word = false;
    };
    const Case cases[] = {
        {"signature", 0, 0x4E42, true},
        {"header size", HeaderSize, 41},
        {"bits per pixel", BitCount, 7, true},
        {"run-length compression", Compression, 1},
        {"masks at 8 bits", Compression, 3},
        {"negative width", Width, 0xFFFFFFFF},
        {"huge width", Width, 0x7FFFFFFF},
        {"huge height", Height, 0x10000000},
        {"offset past the end", OffBits, 100000},
        {"offset inside the file header", OffBits, 3},
        {"offset at the info header", OffBits, 14},
        {"colour table past the end", ColorsUsed, 0x40000000},
    };
    for (const Case &c : cases) {
        Bytes bad = good;
        if (c.Word) {
            bad[c.At] = std::uint8_t(c.Value);
            bad[c.At + 1] = std::uint8_t(c.Value >> 8);
        } else {
            Put32(bad, c.At, c.Value);
        }
        EXPECT_THROW(ReadBmpFile(bad), EInvalidGraphic) << c.What;
    }
    try {
        ReadBmpFile(Bytes(good.begin(), good.end() - 1));
        FAIL() << "no exception";
    } catch (const EInvalidGraphic &e) {
        EXPECT_EQ(e.Message(), "Cannot load bitmap: the pixel data is truncated.");
    }
}
