// The PNG reader on files written here: chunks, CRC, filters, colour
// conversion, and damaged or truncated files with the reader's messages.
#include <cmath>
#include <functional>
#include <random>
#include <set>

#include <gtest/gtest.h>
#include <zlib.h>

#include "PngTestSupport.h"

using namespace pngtest;
using skin::TColorManager;
using skin::TPngImage;

namespace {

TBytes Noise(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    TBytes b(n);
    for (auto &v : b) v = static_cast<std::uint8_t>(rng());
    return b;
}

TSampleImage Gradient(int w, int h, int type, int depth) {
    return MakeImage(w, h, type, depth, [](int x, int y, int c) { return unsigned(x * 37 + y * 11 + c * 101); });
}

// A file with the given chunks between IHDR and IEND.
TBytes FileWith(const TBytes &Header, std::initializer_list<TBytes> Chunks) {
    TBytes file = Join({Signature, Chunk("IHDR", Header)});
    for (const TBytes &c : Chunks) file.insert(file.end(), c.begin(), c.end());
    const TBytes end = Chunk("IEND", {});
    file.insert(file.end(), end.begin(), end.end());
    return file;
}

TBytes Deflate(const TBytes &raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    TBytes out(size);
    compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 6);
    out.resize(size);
    return out;
}

// The row filters as the standard writes them down, one byte at a time.
void ReferenceUnfilter(int type, std::uint8_t *line, std::size_t n, int bpp, const std::uint8_t *prev) {
    for (std::size_t i = 0; i < n; ++i) {
        const int a = i >= std::size_t(bpp) ? line[i - bpp] : 0, b = prev[i];
        const int c = i >= std::size_t(bpp) ? prev[i - bpp] : 0;
        const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
        const int predicted[5] = {0, a, b, (a + b) / 2, pa <= pb && pa <= pc ? a : pb <= pc ? b : c};
        if (type <= 4) line[i] = static_cast<std::uint8_t>(line[i] + predicted[type]);
    }
}

} // namespace

TEST(PngCrc, AgreesWithTheStandardCrcForEveryLength) {
    const TBytes data = Noise(1000, 1);
    for (std::size_t n : {0, 1, 3, 7, 8, 9, 15, 16, 17, 63, 1000}) {
        const uLong expected = crc32(crc32(0, nullptr, 0), data.data(), static_cast<uInt>(n));
        EXPECT_EQ(skin::UpdatePngCrc(0, data.data(), n), expected) << n;
    }
    // Continued over a second range, as a chunk's data continues its type's CRC.
    const std::uint32_t type = skin::UpdatePngCrc(0, "IDAT", 4);
    EXPECT_EQ(skin::UpdatePngCrc(type, data.data(), 100), crc32(crc32(0, (const Bytef *)"IDAT", 4), data.data(), 100));
    EXPECT_EQ(skin::UpdatePngCrc(0x12345678, data.data(), 0), 0x12345678u);
}

TEST(PngFilters, EveryFilterAndPixelSizeMatchesTheStandard) {
    EXPECT_EQ(skin::PaethPredictor(10, 20, 10), 20);
    EXPECT_EQ(skin::PaethPredictor(20, 10, 10), 20);
    EXPECT_EQ(skin::PaethPredictor(0, 0, 255), 0);  // ties go to the left byte
    for (int type = 0; type <= 6; ++type)
        for (int bpp = 1; bpp <= 8; ++bpp)
            for (std::size_t n : {0, 1, 3, 4, 5, 8, 31, 97}) {
                const TBytes prev = Noise(n, unsigned(type * 100 + bpp));
                TBytes line = Noise(n, unsigned(type * 1000 + bpp + n)), expected = line;
                skin::UnfilterRow(type, line.data(), n, bpp, prev.data());
                ReferenceUnfilter(type, expected.data(), n, bpp, prev.data());
                EXPECT_EQ(line, expected) << "filter " << type << ", bpp " << bpp << ", " << n << " bytes";
            }
    // Average takes the nine-bit sum: left 200 and up 100 give 150.
    std::uint8_t row[2] = {200, 0}, above[2] = {0, 100};
    skin::UnfilterRow(3, row, 2, 1, above);
    EXPECT_EQ(row[1], 150);
}

TEST(PngColorManager, SettersCheckTheirRangesAndConverterChoice) {
    const auto messageOf = [](const std::function<void(TColorManager &)> &f) -> std::string {
        TColorManager cm;
        try {
            f(cm);
        } catch (const skin::EColorConversionError &e) {
            return e.what();
        }
        return "";
    };
    const std::uint8_t row[4] = {};
    const std::uint8_t *source = row;
    std::uint8_t target[4];
    const auto convert = [&](TColorManager &cm) { cm.ConvertRow(&source, target, 1, 0xFF); };
    EXPECT_EQ(messageOf([](TColorManager &cm) { cm.SetSourceBitsPerSample(3); }), "");
    EXPECT_EQ(messageOf([](TColorManager &cm) { cm.SetTargetBitsPerSample(17); }),
              "Color depth is invalid. Bits per sample must be 1, 2, 4, 8 or 16.");
    EXPECT_EQ(messageOf([](TColorManager &cm) { cm.SetSourceSamplesPerPixel(5); }),
              "Sample count per pixel does not correspond to the given color scheme.");
    EXPECT_EQ(messageOf([&](TColorManager &cm) { cm.SetSourceColorScheme(skin::csIndexed), convert(cm); }),
              "Conversion between indexed and non-indexed pixel formats is not supported.");
    EXPECT_EQ(messageOf([&](TColorManager &cm) { cm.SetSourceColorScheme(skin::csCMY), convert(cm); }),
              "Color conversion failed. Could not find a proper method.");
    TColorManager cm;
    cm.SetGammaTables(0, 0);
    EXPECT_EQ(cm.MainGamma(), 1.0);
    EXPECT_EQ(cm.DisplayGamma(), 2.2);
}

TEST(PngColorManager, SixteenBitSamplesAreTruncatedAndAlphaNeverCorrected) {
    TColorManager cm;
    cm.SetSourceBitsPerSample(16);
    cm.SetSourceOptions(skin::coNeedByteSwap);
    const std::uint8_t wide[6] = {0xFF, 0xFF, 0x80, 0x80, 0x00, 0xFF};
    const std::uint8_t *source = wide;
    std::uint8_t bgr[3];
    cm.ConvertRow(&source, bgr, 1, 0xFF);
    EXPECT_EQ(bgr[2], 255);
    EXPECT_EQ(bgr[1], 128);
    EXPECT_EQ(bgr[0], 0);

    TColorManager gamma;
    gamma.SetSourceColorScheme(skin::csRGBA);
    gamma.SetSourceSamplesPerPixel(4);
    gamma.SetTargetColorScheme(skin::csBGRA);
    gamma.SetTargetSamplesPerPixel(4);
    gamma.SetTargetOptions(skin::coApplyGamma);
    const std::uint8_t rgba[4] = {200, 100, 50, 100};
    source = rgba;
    std::uint8_t bgra[4];
    gamma.ConvertRow(&source, bgra, 1, 0xFF);
    const auto corrected = [](int v) { return int(std::nearbyint(std::pow(v / 255.0, 1 / 2.2) * 255)); };
    EXPECT_EQ(bgra[2], corrected(200));
    EXPECT_EQ(bgra[0], corrected(50));
    EXPECT_EQ(bgra[3], 100);
}

TEST(PngColorManager, PaletteFromFewerEntriesHasBlackBeyondThem) {
    TColorManager cm;
    cm.SetSourceBitsPerSample(2);
    cm.SetTargetBitsPerSample(4);
    const std::uint8_t rgb[6] = {10, 20, 30, 40, 50, 60};
    const std::vector<vcl::TBGRA> palette = cm.CreatePaletteFromEntries(rgb, 2);
    ASSERT_EQ(palette.size(), 16u);
    for (int i = 0; i < 16; ++i) {
        const vcl::TBGRA expected = i < 5 ? vcl::TBGRA{30, 20, 10, 0} : i < 10 ? vcl::TBGRA{60, 50, 40, 0} : vcl::TBGRA{};
        EXPECT_EQ(palette[i], expected) << i;
    }
}

TEST(PngReader, ColourTypesBecomeTheirBitmaps) {
    // A 2-bit grey image: a 4-bit bitmap, grey level 1 as index 5 showing 85.
    TPngImage grey = Decode(EncodePng(MakeImage(4, 1, 0, 2, [](int x, int, int) { return unsigned(x); })));
    EXPECT_EQ(grey.Dib.PixelFormat, vcl::pf4bit);
    EXPECT_EQ(PixelValue(grey.Dib, 1, 0), 5u);
    EXPECT_EQ(grey.Dib.ColorTable[5], (vcl::TBGRA{85, 85, 85, 0}));

    // A 2-bit indexed image with four entries: index 10 shows entry 2.
    const TBytes plte = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    TPngOptions withPalette;
    withPalette.BeforeImageData = {Chunk("PLTE", plte)};
    TPngImage indexed = Decode(EncodePng(MakeImage(4, 1, 3, 2, [](int x, int, int) { return unsigned(x); }), withPalette));
    EXPECT_EQ(indexed.Dib.PixelFormat, vcl::pf4bit);
    EXPECT_EQ(PixelValue(indexed.Dib, 2, 0), 10u);
    EXPECT_EQ(indexed.Dib.ColorTable[10], (vcl::TBGRA{9, 8, 7, 0}));

    // Grey with alpha loses its alpha; RGBA keeps straight alpha.
    TPngImage greyAlpha = Decode(EncodePng(MakeImage(1, 1, 4, 8, [](int, int, int c) { return c ? 7u : 99u; })));
    EXPECT_EQ(greyAlpha.Dib.PixelFormat, vcl::pf8bit);
    EXPECT_EQ(PixelValue(greyAlpha.Dib, 0, 0), 99u);
    const unsigned rgba[4] = {200, 100, 50, 0};
    TPngImage straight = Decode(EncodePng(MakeImage(1, 1, 6, 8, [&](int, int, int c) { return rgba[c]; })));
    EXPECT_EQ(straight.Dib.PixelFormat, vcl::pf32bit);
    EXPECT_EQ(PixelValue(straight.Dib, 0, 0), 0x00C86432u);
}

TEST(PngReader, AncillaryChunksSetColoursAndGamma) {
    const TSampleImage rgb = Gradient(3, 2, 2, 16);
    TPngOptions trns;
    trns.BeforeImageData = {Chunk("tRNS", {0xFF, 0xFF, 0x80, 0x00, 0x00, 0x00})};
    EXPECT_EQ(Decode(EncodePng(rgb, trns)).TransparentColorValue, 0x007FFF);  // 0x8000 reduces to 127

    TPngOptions grey;
    grey.BeforeImageData = {Chunk("tRNS", {0, 200}), Chunk("bKGD", {0, 77})};
    TPngImage image = Decode(EncodePng(Gradient(2, 2, 0, 8), grey));
    EXPECT_EQ(image.TransparentColorValue, 0xC8C8C8);
    EXPECT_EQ(image.BackgroundColor, 0x4D4D4D);
    // Grey levels of fewer bits as their palette entries show them.
    TPngOptions low;
    low.BeforeImageData = {Chunk("tRNS", {0, 1})};
    EXPECT_EQ(Decode(EncodePng(Gradient(2, 2, 0, 2), low)).TransparentColorValue, 0x555555);

    // gAMA 45455 with the display's 2.2 gives about the identity.
    TPngOptions gama;
    gama.BeforeImageData = {Chunk("gAMA", {0, 0, 0xB1, 0x8F})};
    TPngImage corrected = Decode(EncodePng(Gradient(2, 2, 2, 8), gama));
    EXPECT_EQ(corrected.ImageProperties.Options, skin::ioValidHeader | skin::ioGammaApplied);
    EXPECT_DOUBLE_EQ(corrected.ColorManager.MainGamma(), 0.45455);
    for (int i = 0; i < 256; ++i) EXPECT_NEAR(corrected.ColorManager.GammaTable()[i], i, 1);
}

TEST(PngReader, GammaTableIsBuiltForEightBitsWhateverCameBefore) {
    // The palette prepares 2-bit indices into a 4-bit bitmap before gAMA comes.
    TPngOptions options;
    options.BeforeImageData = {Chunk("PLTE", {0, 0, 0, 9, 9, 9}), Chunk("gAMA", {0, 1, 0x86, 0xA0})};
    TPngImage image = Decode(EncodePng(MakeImage(2, 1, 3, 2, [](int x, int, int) { return unsigned(x); }), options));
    for (int i : {0, 3, 15, 128, 200, 255})
        EXPECT_EQ(image.ColorManager.GammaTable()[i], int(std::nearbyint(std::pow(i / 255.0, 1 / 2.2) * 255))) << i;
}

TEST(PngReader, ChunkRulesOfTheStream) {
    const TSampleImage im = Gradient(5, 4, 2, 8);
    const TBytes header = HeaderData(5, 4, 8, 2);
    const TBytes data = ImageData(im, {});
    const TBytes good = EncodePng(im);
    // Types compare without regard to case; unknown ancillary chunks are
    // skipped unchecked; data after the zlib stream's end in a later IDAT is skipped.
    EXPECT_EQ(ErrorOf(FileWith(header, {ChunkWithCrc("teXt", {1, 2}, 0), Chunk("idat", data)})), "");
    TBytes lowerEnd = FileWith(header, {Chunk("IDAT", data)});
    lowerEnd.resize(lowerEnd.size() - 12);
    const TBytes iend = Chunk("iend", {});
    lowerEnd.insert(lowerEnd.end(), iend.begin(), iend.end());
    EXPECT_EQ(ErrorOf(lowerEnd), "");
    EXPECT_EQ(ErrorOf(FileWith(header, {Chunk("IDAT", data), Chunk("IDAT", Noise(9, 3))})), "");
    // A filter type above 4 leaves the row's bytes as inflated.
    TPngImage raw = Decode(FileWith(HeaderData(1, 1, 8, 2), {Chunk("IDAT", Deflate({5, 10, 20, 30}))}));
    EXPECT_EQ(PixelValue(raw.Dib, 0, 0), 0x0A141Eu);

    TBytes badSignature = good;
    badSignature[1] = 'p';
    TBytes badImageCrc = FileWith(header, {Chunk("IDAT", data)});
    badImageCrc[33 + 8 + data.size()] ^= 1;
    struct TCase {
        const char *Name;
        TBytes File;
        const char *Message;
    } cases[] = {
        {"signature", badSignature, InvalidFormat},
        {"first chunk", Join({Signature, Chunk("gAMA", {0, 0, 0, 1}), Chunk("IEND", {})}), InvalidFormat},
        {"width 0", FileWith(HeaderData(0, 4, 8, 2), {Chunk("IDAT", data)}), InvalidFormat},
        {"height 2^31", FileWith(HeaderData(5, 0x80000000u, 8, 2), {Chunk("IDAT", data)}), InvalidFormat},
        {"too many pixels", FileWith(HeaderData(100000, 100000, 8, 6), {Chunk("IDAT", data)}), InvalidFormat},
        {"IHDR CRC", Join({Signature, ChunkWithCrc("IHDR", header, 1)}), CrcError},
        {"IHDR short", FileWith(TBytes(header.begin(), header.end() - 1), {Chunk("IDAT", data)}), InvalidFormat},
        {"compression", FileWith(HeaderData(5, 4, 8, 2, 0, 1), {Chunk("IDAT", data)}), CompressionScheme},
        {"colour type", FileWith(HeaderData(5, 4, 8, 5), {Chunk("IDAT", data)}), ColorFormat},
        {"depth", FileWith(HeaderData(5, 4, 4, 2), {Chunk("IDAT", data)}), ColorFormat},
        {"PLTE 770", FileWith(header, {Chunk("PLTE", TBytes(770)), Chunk("IDAT", data)}), PaletteInvalid},
        {"PLTE empty", FileWith(header, {Chunk("PLTE", {}), Chunk("IDAT", data)}), InvalidFormat},
        {"PLTE CRC", FileWith(header, {ChunkWithCrc("PLTE", TBytes(6), 0), Chunk("IDAT", data)}), CrcError},
        {"gAMA short", FileWith(header, {Chunk("gAMA", {0, 1}), Chunk("IDAT", data)}), InvalidFormat},
        {"tRNS short", FileWith(header, {Chunk("tRNS", {0, 1}), Chunk("IDAT", data)}), InvalidFormat},
        {"bKGD short", FileWith(header, {Chunk("bKGD", {0, 1, 0}), Chunk("IDAT", data)}), InvalidFormat},
        {"critical", FileWith(header, {Chunk("ZZZZ", {}), Chunk("IDAT", data)}), CriticalChunk},
        {"IDAT CRC", badImageCrc, CrcError},
        {"not zlib", FileWith(header, {Chunk("IDAT", Noise(40, 5))}), CompressionError},
        {"no image data", FileWith(header, {}), CompressionError},
        {"data runs out", FileWith(header, {Chunk("IDAT", TBytes(data.begin(), data.begin() + data.size() / 2))}),
         CompressionError},
        {"stream ends a row early", FileWith(header, {Chunk("IDAT", Deflate(TBytes(16 * 3, 0)))}), ExtraData},
        {"stream ends mid-row", FileWith(header, {Chunk("IDAT", Deflate(TBytes(16 * 3 + 7, 0)))}), ExtraData},
        {"bytes after the stream", FileWith(header, {Chunk("IDAT", Join({data, {1, 2}}))}), ExtraData},
        {"second IDAT run", FileWith(header, {Chunk("IDAT", data), Chunk("tEXt", {}), Chunk("IDAT", data)}),
         CriticalChunk},
        {"PLTE after IDAT", FileWith(header, {Chunk("IDAT", data), Chunk("PLTE", TBytes(6))}), CriticalChunk},
        {"length 2^31", Join({Signature, Chunk("IHDR", header), ChunkWithCrc("tEXt", {}, 0)}), InvalidFormat},
        {"length past the end", Join({Signature, Chunk("IHDR", header), Chunk("IDAT", data)}), InvalidFormat},
    };
    // A length field of 2^31 and one that points past the end of the stream.
    TBytes &huge = cases[std::size(cases) - 2].File;
    huge[33] = 0x80;
    TBytes &past = cases[std::size(cases) - 1].File;
    past[33 + 3] = static_cast<std::uint8_t>(past[33 + 3] + 1);
    for (const TCase &c : cases) EXPECT_EQ(ErrorOf(c.File), c.Message) << c.Name;
}

TEST(PngReader, DamagedAndTruncatedFilesRaiseKnownErrors) {
    TPngOptions options;
    options.Interlaced = true;
    options.Filter = [](int row, int) { return row % 5; };
    options.IdatPiece = 50;
    options.BeforeImageData = {Chunk("gAMA", {0, 0, 0xB1, 0x8F}), Chunk("tRNS", {0, 1, 0, 2, 0, 3})};
    const TBytes good = EncodePng(Gradient(23, 19, 2, 16), options);
    ASSERT_EQ(ErrorOf(good), "");
    const std::set<std::string> known = {InvalidFormat, CrcError, CompressionError, ExtraData, CriticalChunk,
                                         PaletteInvalid, ColorFormat, CompressionScheme, StreamReadError};
    for (std::size_t n = 0; n < good.size(); ++n) {
        const std::string message = ErrorOf(TBytes(good.begin(), good.begin() + n));
        EXPECT_TRUE(known.count(message)) << n << " bytes: \"" << message << "\"";
    }
    // Any single damaged byte: a known error, or (in skipped parts) an image.
    std::mt19937 rng(7);
    for (int i = 0; i < 3000; ++i) {
        TBytes damaged = good;
        damaged[rng() % damaged.size()] ^= static_cast<std::uint8_t>(1 + rng() % 255);
        const std::string message = ErrorOf(damaged);
        EXPECT_TRUE(message.empty() || known.count(message)) << message;
    }
}

TEST(PngDecoder, EndErrorsRaiseButNeverFromTheDestructor) {
    skin::TLZ77Decoder unused(Z_PARTIAL_FLUSH, false);
    EXPECT_THROW(unused.DecodeEnd(), skin::EGraphicCompression);
    // Unwinding through a decoder that was set up ends it quietly.
    EXPECT_THROW(
        {
            skin::TLZ77Decoder decoder(Z_PARTIAL_FLUSH, false);
            decoder.DecodeInit();
            throw vcl::EInvalidGraphic("damaged");
        },
        vcl::EInvalidGraphic);
}
