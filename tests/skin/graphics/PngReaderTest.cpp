// The PNG reader on files written here: chunk rules, colours and gamma,
// and damaged or truncated files with the reader's messages. (Pixels of
// every kind of image are compared with libpng in PngLibpngTest.)
#include <array>
#include <cmath>
#include <functional>
#include <random>
#include <set>

#include <gtest/gtest.h>
#include <zlib.h>

#include "PngTestSupport.h"

using namespace pngtest;
using skin::TColorManager;

namespace {

const char *const InvalidFormat = "Cannot load image. Invalid or unexpected PNG image format.";
const char *const CrcError = "Cannot load image. CRC error found in PNG file.";
const char *const CompressionError = "Cannot load image. Compression error found in PNG file.";
const char *const ExtraData = "Cannot load image. Extra compressed data found in PNG file.";
const char *const CriticalChunk = "Cannot load PNG image. Unexpected but critical chunk detected.";
const char *const PaletteInvalid = "Cannot load image. Palette in PNG file is invalid.";
const char *const ColorFormat = "Invalid color format in PNG file.";
const char *const CompressionScheme = "Cannot load image. The compression scheme is not supported for PNG files.";
const char *const StreamReadError = "Stream read error";

TBytes Noise(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    TBytes b(n);
    for (auto &v : b) v = static_cast<std::uint8_t>(rng());
    return b;
}

TSampleImage Gradient(int w, int h, int type, int depth) {
    return MakeImage(w, h, type, depth, [](int x, int y, int c) { return unsigned(x * 37 + y * 11 + c * 101); });
}

TPngOptions With(std::initializer_list<TBytes> Chunks) {
    TPngOptions options;
    options.BeforeImageData = Chunks;
    return options;
}

// A file with the given chunks between IHDR and IEND.
TBytes FileWith(const TBytes &Header, std::initializer_list<TBytes> Chunks) {
    TBytes file = Join({Signature, Chunk("IHDR", Header)});
    for (const TBytes &c : Chunks) file.insert(file.end(), c.begin(), c.end());
    return Join({file, Chunk("IEND", {})});
}

TBytes Deflate(const TBytes &raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    TBytes out(size);
    compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 6);
    out.resize(size);
    return out;
}

int Corrected(int v) { return int(std::nearbyint(std::pow(v / 255.0, 1 / 2.2) * 255)); }

} // namespace

TEST(PngCrc, AgreesWithTheStandardCrcForEveryLength) {
    const TBytes data = Noise(1000, 1);
    for (std::size_t n : {0, 1, 7, 8, 9, 17, 1000})
        EXPECT_EQ(skin::UpdatePngCrc(skin::UpdatePngCrc(0, "IDAT", 4), data.data(), n),
                  crc32(crc32(0, (const Bytef *)"IDAT", 4), data.data(), static_cast<uInt>(n)))
            << n;
}

TEST(PngColorManager, RangesConverterChoiceGammaAndSparsePalettes) {
    const auto messageOf = [](const std::function<void(TColorManager &)> &f) -> std::string {
        TColorManager cm;
        const std::uint8_t row[64] = {}, *source = row;
        std::uint8_t target[64];
        try {
            f(cm);
            cm.ConvertRow({&source, 1}, target, 8, 0xFF);
        } catch (const skin::EColorConversionError &e) {
            return e.what();
        }
        return "";
    };
    EXPECT_EQ(messageOf([](TColorManager &cm) { cm.SetSourceBitsPerSample(3); }), "");
    EXPECT_EQ(messageOf([](TColorManager &cm) { cm.SetTargetBitsPerSample(17); }),
              "Color depth is invalid. Bits per sample must be 1, 2, 4, 8 or 16.");
    EXPECT_EQ(messageOf([](TColorManager &cm) { cm.SetSourceSamplesPerPixel(5); }),
              "Sample count per pixel does not correspond to the given color scheme.");
    EXPECT_EQ(messageOf([](TColorManager &cm) { cm.SetSourceColorScheme(skin::csIndexed); }),
              "Conversion between indexed and non-indexed pixel formats is not supported.");
    EXPECT_EQ(messageOf([](TColorManager &cm) { cm.SetSourceColorScheme(skin::csCMY); }),
              "Color conversion failed. Could not find a proper method.");
    // Packed samples are read and written whole bytes apart: a depth that
    // does not divide a byte (the setters take them) has no converter.
    const struct {
        skin::TColorScheme Scheme;
        int SourceBits, TargetBits;
    } packed[] = {{skin::csIndexed, 3, 8}, {skin::csIndexed, 8, 5}, {skin::csG, 5, 8}, {skin::csG, 12, 8},
                  {skin::csIndexed, 6, 16}};
    for (const auto &p : packed)
        EXPECT_EQ(messageOf([&](TColorManager &cm) {
                      cm.SetSourceColorScheme(p.Scheme);
                      cm.SetTargetColorScheme(skin::csIndexed);
                      cm.SetSourceSamplesPerPixel(1);
                      cm.SetTargetSamplesPerPixel(1);
                      cm.SetSourceBitsPerSample(p.SourceBits);
                      cm.SetTargetBitsPerSample(p.TargetBits);
                  }),
                  "Color conversion failed. Could not find a proper method.")
            << p.SourceBits << " to " << p.TargetBits;

    // Gamma corrects colour samples, never alpha.
    TColorManager cm;
    cm.SetGammaTables(0, 0);
    EXPECT_EQ(cm.MainGamma(), 1.0);
    EXPECT_EQ(cm.DisplayGamma(), 2.2);
    cm.SetSourceColorScheme(skin::csRGBA);
    cm.SetSourceSamplesPerPixel(4);
    cm.SetTargetColorScheme(skin::csBGRA);
    cm.SetTargetSamplesPerPixel(4);
    cm.SetTargetOptions(skin::coApplyGamma);
    const std::uint8_t rgba[4] = {200, 100, 50, 100}, *source = rgba;
    std::uint8_t bgra[4];
    cm.ConvertRow({&source, 1}, bgra, 1, 0xFF);
    EXPECT_EQ(bgra[2], Corrected(200));
    EXPECT_EQ(bgra[0], Corrected(50));
    EXPECT_EQ(bgra[3], 100);

    // Two entries of a 2-bit palette fill indices 0..9 of the 4-bit one; the rest are black.
    TColorManager spread;
    spread.SetSourceBitsPerSample(2);
    spread.SetTargetBitsPerSample(4);
    const std::uint8_t rgb[6] = {10, 20, 30, 40, 50, 60};
    const std::vector<vcl::TBGRA> palette = spread.CreatePaletteFromEntries(rgb, 2);
    ASSERT_EQ(palette.size(), 16u);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(palette[i], (i < 5 ? vcl::TBGRA{30, 20, 10, 0} : i < 10 ? vcl::TBGRA{60, 50, 40, 0} : vcl::TBGRA{})) << i;
}

TEST(PngColorManager, GammaTablesDoNotDependOnTheGammasSetBefore) {
    // Gamma, display gamma and depths, each expected table from the curve itself.
    struct TCase {
        double Main, Display;
        int SourceBits, TargetBits;
    };
    const TCase cases[] = {{0.45455, 2.2, 8, 8}, {1.0, 2.2, 8, 8}, {0.45455, 2.2, 8, 8},
                           {2.0, 1.0, 2, 4},     {2.0, 1.0, 2, 4}, {0.8, 2.2, 4, 8}, {1.0, 2.2, 8, 8}};
    TColorManager cm;
    std::array<std::uint8_t, 256> expected = cm.GammaTable();
    for (const TCase &c : cases) {
        cm.SetGammaTables(c.Main, c.Display, c.SourceBits, c.TargetBits);
        const int sourceMax = (1 << std::min(c.SourceBits, 8)) - 1, targetMax = (1 << std::min(c.TargetBits, 8)) - 1;
        // Entries above the source's range keep what they held.
        for (int i = 0; i <= sourceMax; ++i)
            expected[i] = std::uint8_t(std::nearbyint(std::pow(double(i) / sourceMax, 1 / (c.Main * c.Display)) * targetMax));
        EXPECT_EQ(cm.GammaTable(), expected) << c.Main << " " << c.SourceBits;
    }
    // A second manager on the standard curve.
    EXPECT_EQ(TColorManager().GammaTable()[128], Corrected(128));
}

TEST(PngColorManager, OtherSchemesToBGRInterleavedOrPlanar) {
    const struct {
        skin::TColorScheme Scheme;
        std::uint8_t Options;
        std::vector<std::uint8_t> Samples;
        int R, G, B;
    } cases[] = {
        {skin::csCMYK, 0, {255, 0, 0, 0}, 0, 255, 255},
        {skin::csCMYK, 0, {0, 128, 0, 51}, 204, 101, 204},  // 255 - (v - v * k div 255 + k)
        {skin::csCMYK, 0, {10, 20, 30, 255}, 0, 0, 0},
        {skin::csYCbCr, 0, {100, 128, 128}, 100, 100, 100},
        {skin::csYCbCr, 0, {128, 128, 255}, 255, 37, 128},  // Cr 127 above the middle: red +178, green -91
        {skin::csPhotoYCC, 0, {100, 156, 137}, 100, 100, 100},
        {skin::csCIELab, 0, {100, 0, 0}, 255, 255, 255},
        {skin::csCIELab, skin::coLabByteRange | skin::coLabChromaOffset, {255, 128, 128}, 255, 255, 255},
        {skin::csCIELab, 0, {0, 0, 0}, 0, 0, 0},
    };
    for (const auto &c : cases)
        for (bool planar : {false, true}) {
            TColorManager cm;
            cm.SetSourceColorScheme(c.Scheme);
            cm.SetSourceOptions(c.Options);
            const std::uint8_t *interleaved = c.Samples.data();
            std::vector<const std::uint8_t *> planes;
            for (const std::uint8_t &v : c.Samples) planes.push_back(&v);
            std::uint8_t bgr[3] = {};
            if (planar) cm.ConvertRow(planes, bgr, 1, 0xFF);
            else cm.ConvertRow({&interleaved, 1}, bgr, 1, 0xFF);
            EXPECT_EQ((std::array<int, 3>{bgr[2], bgr[1], bgr[0]}), (std::array<int, 3>{c.R, c.G, c.B}))
                << int(c.Scheme) << " " << int(c.Samples[0]) << (planar ? " planar" : "");
        }
}

TEST(PngReader, AncillaryChunksSetColoursAndGamma) {
    // 16-bit samples reduce by truncation: 0x8000 gives 127.
    const auto rgb16 = With({Chunk("tRNS", {0xFF, 0xFF, 0x80, 0x00, 0x00, 0x00})});
    EXPECT_EQ(Decode(EncodePng(Gradient(3, 2, 2, 16), rgb16)).TransparentColorValue, 0x007FFF);
    skin::TPngImage grey = Decode(EncodePng(Gradient(2, 2, 0, 8), With({Chunk("tRNS", {0, 200}), Chunk("bKGD", {0, 77})})));
    EXPECT_EQ(grey.TransparentColorValue, 0xC8C8C8);
    EXPECT_EQ(grey.BackgroundColor, 0x4D4D4D);
    // Grey levels of fewer bits as their palette entries show them.
    EXPECT_EQ(Decode(EncodePng(Gradient(2, 2, 0, 2), With({Chunk("tRNS", {0, 1})}))).TransparentColorValue, 0x555555);

    // gAMA 45455 with the display's 2.2 is about the identity.
    skin::TPngImage gamma = Decode(EncodePng(Gradient(2, 2, 2, 8), With({Chunk("gAMA", {0, 0, 0xB1, 0x8F})})));
    EXPECT_EQ(gamma.ImageProperties.Options, skin::ioValidHeader | skin::ioGammaApplied);
    EXPECT_DOUBLE_EQ(gamma.ColorManager.MainGamma(), 0.45455);
    for (int i = 0; i < 256; ++i) EXPECT_NEAR(gamma.ColorManager.GammaTable()[i], i, 1);
    // The table is for 8-bit values even when a palette has set up 2-bit indices before gAMA.
    const TSampleImage indices = MakeImage(2, 1, 3, 2, [](int x, int, int) { return unsigned(x); });
    skin::TPngImage late =
        Decode(EncodePng(indices, With({Chunk("PLTE", {0, 0, 0, 9, 9, 9}), Chunk("gAMA", {0, 1, 0x86, 0xA0})})));
    for (int i : {0, 3, 15, 128, 200, 255}) EXPECT_EQ(late.ColorManager.GammaTable()[i], Corrected(i)) << i;
}

// The colour a pixel shows, as 0x00BBGGRR: its palette entry for indexed formats.
vcl::TColor ShownColor(skin::TPngImage &Image, int x, int y) {
    const unsigned v = PixelValue(Image.Dib, x, y);
    if (!vcl::IsIndexedFormat(Image.Dib.PixelFormat)) return vcl::TColor((v >> 16 & 0xFF) | (v & 0xFF00) | (v & 0xFF) << 16);
    const vcl::TBGRA e = Image.Dib.ColorTable.at(v);
    return vcl::TColor(e.R | e.G << 8 | e.B << 16);
}

TEST(PngReader, TheTransparentColourIsThePixelsOwnWithOrWithoutGamma) {
    // Samples 0..3 across, so that every pixel in column 1 has the tRNS samples.
    struct TCase {
        int ColorType, BitDepth;
        TBytes Trns;
    };
    const TCase cases[] = {
        {2, 8, {0, 1, 0, 2, 0, 3}}, {2, 16, {0x40, 0x01, 0x80, 0x02, 0xC0, 0x03}}, {0, 8, {0, 1}},
        {0, 16, {0x80, 0x01}},      {0, 4, {0, 1}},                                 {0, 2, {0, 1}},
        {0, 1, {0, 1}},
    };
    const TBytes gAMA = Chunk("gAMA", {0, 1, 0x86, 0xA0});  // 1.0: a strong correction with the display's 2.2
    for (const TCase &c : cases)
        for (int order = 0; order < 3; ++order) {
            const TSampleImage im = MakeImage(4, 3, c.ColorType, c.BitDepth, [&c](int x, int, int ch) {
                if (x != 1) return unsigned(x * 0x3A7 + ch * 5);
                return unsigned(c.Trns[2 * ch] << 8 | c.Trns[2 * ch + 1]);
            });
            const TBytes trns = Chunk("tRNS", c.Trns);
            const TPngOptions options = order == 0 ? With({trns}) : order == 1 ? With({gAMA, trns}) : With({trns, gAMA});
            skin::TPngImage image = Decode(EncodePng(im, options));
            const std::string what = std::to_string(c.ColorType) + "/" + std::to_string(c.BitDepth) +
                                     (order == 0 ? " no gamma" : order == 1 ? " gAMA first" : " tRNS first");
            ASSERT_NE(image.TransparentColorValue, skin::PngNoTransparentColor) << what;
            for (int y = 0; y < 3; ++y) EXPECT_EQ(ShownColor(image, 1, y), image.TransparentColorValue) << what << " row " << y;
        }
}

TEST(PngReader, ChunkRulesAndTheMessagesOfDamagedFiles) {
    const TSampleImage im = Gradient(5, 4, 2, 8);
    const TBytes header = HeaderData(5, 4, 8, 2);
    const TBytes data = ImageData(im, {});
    // Types compare without regard to case; unknown ancillary chunks are
    // skipped unchecked; a later IDAT after the zlib stream's end is skipped.
    EXPECT_EQ(ErrorOf(FileWith(header, {ChunkWithCrc("teXt", {1, 2}, 0), Chunk("idat", data)})), "");
    EXPECT_EQ(ErrorOf(Join({Signature, Chunk("IHDR", header), Chunk("IDAT", data), Chunk("iend", {})})), "");
    EXPECT_EQ(ErrorOf(FileWith(header, {Chunk("IDAT", data), Chunk("IDAT", Noise(9, 3))})), "");
    // A filter type above 4 leaves the row as inflated.
    skin::TPngImage raw = Decode(FileWith(HeaderData(1, 1, 8, 2), {Chunk("IDAT", Deflate({5, 10, 20, 30}))}));
    EXPECT_EQ(PixelValue(raw.Dib, 0, 0), 0x0A141Eu);

    TBytes badSignature = EncodePng(im), badImageCrc = FileWith(header, {Chunk("IDAT", data)});
    badSignature[1] = 'p';
    badImageCrc[33 + 8 + data.size()] ^= 1;
    TBytes hugeLength = Join({Signature, Chunk("IHDR", header), ChunkWithCrc("tEXt", {}, 0)});
    hugeLength[33] = 0x80;  // 2^31
    TBytes pastTheEnd = Join({Signature, Chunk("IHDR", header), Chunk("IDAT", data)});
    pastTheEnd[36] += 1;
    const TBytes half(data.begin(), data.begin() + data.size() / 2), rest(data.begin() + data.size() / 2, data.end());
    const struct {
        const char *Name;
        TBytes File;
        const char *Message;
    } cases[] = {
        {"signature", badSignature, InvalidFormat},
        {"first chunk", Join({Signature, Chunk("gAMA", {0, 0, 0, 1}), Chunk("IEND", {})}), InvalidFormat},
        {"width 0", FileWith(HeaderData(0, 4, 8, 2), {Chunk("IDAT", data)}), InvalidFormat},
        {"height 2^31", FileWith(HeaderData(5, 0x80000000u, 8, 2), {Chunk("IDAT", data)}), InvalidFormat},
        {"width 2^31", FileWith(HeaderData(0x80000000u, 4, 8, 2), {Chunk("IDAT", data)}), InvalidFormat},
        {"too many pixels", FileWith(HeaderData(100000, 100000, 8, 6), {Chunk("IDAT", data)}), InvalidFormat},
        // A gigabyte of pixels, with data enough to pass the check of the
        // stream's length: more than a 32-bit program can spare.
        {"a gigabyte of pixels", FileWith(HeaderData(16384, 16383, 8, 6), {Chunk("IDAT", TBytes(1 << 20))}), InvalidFormat},
        {"IHDR CRC", Join({Signature, ChunkWithCrc("IHDR", header, 1)}), CrcError},
        {"IHDR short", FileWith(TBytes(header.begin(), header.end() - 1), {Chunk("IDAT", data)}), InvalidFormat},
        {"compression", FileWith(HeaderData(5, 4, 8, 2, 0, 1), {Chunk("IDAT", data)}), CompressionScheme},
        {"colour type", FileWith(HeaderData(5, 4, 8, 5), {Chunk("IDAT", data)}), ColorFormat},
        {"depth", FileWith(HeaderData(5, 4, 4, 2), {Chunk("IDAT", data)}), ColorFormat},
        {"grey depth 0, tRNS first", FileWith(HeaderData(5, 4, 0, 0), {Chunk("tRNS", {0, 1}), Chunk("IDAT", data)}),
         ColorFormat},
        {"grey depth 33, tRNS first", FileWith(HeaderData(5, 4, 33, 0), {Chunk("tRNS", {0, 1}), Chunk("IDAT", data)}),
         ColorFormat},
        {"PLTE 770", FileWith(header, {Chunk("PLTE", TBytes(770)), Chunk("IDAT", data)}), PaletteInvalid},
        {"PLTE empty, not needed", FileWith(header, {Chunk("PLTE", {}), Chunk("IDAT", data)}), ""},
        {"PLTE CRC", FileWith(header, {ChunkWithCrc("PLTE", TBytes(6), 0), Chunk("IDAT", data)}), CrcError},
        {"critical", FileWith(header, {Chunk("ZZZZ", {}), Chunk("IDAT", data)}), CriticalChunk},
        {"IDAT CRC", badImageCrc, CrcError},
        {"not zlib", FileWith(header, {Chunk("IDAT", Noise(40, 5))}), CompressionError},
        {"no image data", FileWith(header, {}), CompressionError},
        {"data runs out", FileWith(header, {Chunk("IDAT", half)}), CompressionError},
        {"stream ends a row early", FileWith(header, {Chunk("IDAT", Deflate(TBytes(16 * 3, 0)))}), ExtraData},
        {"stream ends mid-row", FileWith(header, {Chunk("IDAT", Deflate(TBytes(16 * 3 + 7, 0)))}), ExtraData},
        {"bytes after the stream", FileWith(header, {Chunk("IDAT", Join({data, {1, 2}}))}), ExtraData},
        {"second IDAT run", FileWith(header, {Chunk("IDAT", data), Chunk("tEXt", {}), Chunk("IDAT", data)}),
         CriticalChunk},
        {"second IDAT run after gAMA",
         FileWith(header, {Chunk("IDAT", data), Chunk("gAMA", {0, 0, 0xB1, 0x8F}), Chunk("IDAT", data)}), CriticalChunk},
        {"image data split", FileWith(header, {Chunk("IDAT", half), Chunk("IDAT", rest)}), ""},
        {"image data split by bKGD",
         FileWith(header, {Chunk("IDAT", half), Chunk("bKGD", {0, 1, 0, 2, 0, 3}), Chunk("IDAT", rest)}),
         CompressionError},
        {"PLTE after IDAT", FileWith(header, {Chunk("IDAT", data), Chunk("PLTE", TBytes(6))}), CriticalChunk},
        {"length 2^31", hugeLength, InvalidFormat},
        {"length past the end", pastTheEnd, StreamReadError},
    };
    for (const auto &c : cases) EXPECT_EQ(ErrorOf(c.File), c.Message) << c.Name;
}

// The chunk right after the image data is skipped unread; the ancillary
// chunks after it are read, their CRC checked, as before the image data.
TEST(PngReader, AncillaryChunksAfterTheImageDataAreStillReadAndChecked) {
    const TSampleImage im = Gradient(5, 4, 2, 8);
    const TBytes header = HeaderData(5, 4, 8, 2);
    const TBytes idat = Chunk("IDAT", ImageData(im, {})), text = Chunk("tEXt", {'a', 0, 'b'});
    const TBytes gAMA = {0, 1, 0x86, 0xA0}, bKGD = {0, 10, 0, 20, 0, 30}, tRNS = {0, 1, 0, 2, 0, 3};
    const struct {
        const char *Name;
        TBytes First, Second;
        const char *Message;
    } damaged[] = {
        {"gAMA", text, ChunkWithCrc("gAMA", gAMA, 0), CrcError},
        {"bKGD", text, ChunkWithCrc("bKGD", bKGD, 0), CrcError},
        {"tRNS", text, ChunkWithCrc("tRNS", tRNS, 0), CrcError},
        {"tEXt", text, ChunkWithCrc("tEXt", {1, 2}, 0), ""},               // unknown: skipped unchecked
        {"right after the data", ChunkWithCrc("bKGD", bKGD, 0), text, ""},  // skipped unchecked
    };
    for (const auto &c : damaged) EXPECT_EQ(ErrorOf(FileWith(header, {idat, c.First, c.Second})), c.Message) << c.Name;

    // Their values are kept; the pixels, already converted, keep theirs, and
    // a colour that comes too late makes nothing transparent.
    skin::TPngImage late =
        Decode(FileWith(header, {idat, text, Chunk("gAMA", gAMA), Chunk("bKGD", bKGD), Chunk("tRNS", tRNS)}));
    EXPECT_EQ(late.BackgroundColor, 0x1E140A);
    EXPECT_EQ(late.TransparentColorValue, 0x030201);
    EXPECT_EQ(late.ImageTransparentColor, skin::PngNoTransparentColor);
    EXPECT_EQ(late.ImageProperties.Options, skin::ioValidHeader | skin::ioGammaApplied);
    EXPECT_EQ(PixelValue(late.Dib, 2, 1), im.At(2, 1, 2) | im.At(2, 1, 1) << 8 | im.At(2, 1, 0) << 16);
    skin::TPngImage early = Decode(FileWith(header, {Chunk("tRNS", tRNS), idat}));
    EXPECT_EQ(early.ImageTransparentColor, 0x030201);
}

TEST(PngReader, AShortAncillaryChunkIsReadAndIgnored) {
    const TSampleImage rgb = Gradient(3, 2, 2, 8), grey = Gradient(3, 2, 0, 8), indexed = Gradient(3, 2, 3, 2);
    const TSampleImage grey2 = Gradient(3, 2, 0, 2), grey16 = Gradient(3, 2, 0, 16), greyAlpha = Gradient(3, 2, 4, 8);
    const TSampleImage rgba = Gradient(3, 2, 6, 8), indexed8 = Gradient(3, 2, 3, 8);
    const TBytes palette = Chunk("PLTE", TBytes(12, 7));
    const struct {
        const char *Name;
        TBytes File;
    } ignored[] = {
        {"gAMA of 2 bytes", EncodePng(rgb, With({Chunk("gAMA", {0, 1})}))},
        {"empty gAMA", EncodePng(rgb, With({Chunk("gAMA", {})}))},
        {"RGB tRNS of 4 bytes", EncodePng(rgb, With({Chunk("tRNS", {0, 1, 0, 2})}))},
        {"grey tRNS of 1 byte", EncodePng(grey, With({Chunk("tRNS", {9})}))},
        {"empty grey tRNS", EncodePng(grey, With({Chunk("tRNS", {})}))},
        {"2-bit grey tRNS of 1 byte", EncodePng(grey2, With({Chunk("tRNS", {1})}))},
        {"16-bit grey tRNS of 1 byte", EncodePng(grey16, With({Chunk("tRNS", {0x80})}))},
        {"RGB bKGD of 3 bytes", EncodePng(rgb, With({Chunk("bKGD", {0, 1, 0})}))},
        {"grey bKGD of 1 byte", EncodePng(grey, With({Chunk("bKGD", {9})}))},
        {"empty grey bKGD", EncodePng(grey, With({Chunk("bKGD", {})}))},
        {"16-bit grey bKGD of 1 byte", EncodePng(grey16, With({Chunk("bKGD", {0x80})}))},
        {"grey-with-alpha bKGD of 1 byte", EncodePng(greyAlpha, With({Chunk("bKGD", {9})}))},
        {"RGBA bKGD of 5 bytes", EncodePng(rgba, With({Chunk("bKGD", {0, 1, 0, 2, 0})}))},
        {"empty indexed bKGD", EncodePng(indexed, With({palette, Chunk("bKGD", {})}))},
        {"empty 8-bit indexed bKGD", EncodePng(indexed8, With({palette, Chunk("bKGD", {})}))},
    };
    for (const auto &c : ignored) {
        ASSERT_EQ(ErrorOf(c.File), "") << c.Name;
        skin::TPngImage image = Decode(c.File);
        EXPECT_EQ(image.ImageProperties.Options, skin::ioValidHeader) << c.Name;
        EXPECT_FALSE(image.ColorManager.TargetOptions() & skin::coApplyGamma) << c.Name;
        EXPECT_EQ(image.TransparentColorValue, skin::PngNoTransparentColor) << c.Name;
        EXPECT_EQ(image.BackgroundColor, 0xFFFFFF) << c.Name;
        if (image.Dib.PixelFormat == vcl::pf24bit) {  // uncorrected
            EXPECT_EQ(PixelValue(image.Dib, 2, 1), rgb.At(2, 1, 2) | rgb.At(2, 1, 1) << 8 | rgb.At(2, 1, 0) << 16) << c.Name;
        }
    }
    // Ignored, not unread: its CRC still counts, and the chunks after it are read.
    EXPECT_EQ(ErrorOf(EncodePng(rgb, With({ChunkWithCrc("gAMA", {0, 1}, 0)}))), CrcError);
    const skin::TPngImage after =
        Decode(EncodePng(grey, With({Chunk("tRNS", {9}), Chunk("bKGD", {0}), Chunk("tRNS", {0, 40}), Chunk("bKGD", {0, 50})})));
    EXPECT_EQ(after.TransparentColorValue, 0x282828);
    EXPECT_EQ(after.BackgroundColor, 0x323232);
    // A short IHDR or PLTE stays an error (ChunkRulesAndTheMessagesOfDamagedFiles).
}

TEST(PngReader, PaletteEntriesTheFileDoesNotGiveAreBlack) {
    const struct {
        int BitDepth, Entries;
    } cases[] = {{1, 1}, {4, 3}, {8, 5}};
    for (const auto &c : cases) {
        const TSampleImage im = MakeImage(4, 2, 3, c.BitDepth, [&c](int x, int, int) { return unsigned(x % c.Entries); });
        TBytes entries, fuller(3 * (c.Entries + 1), 0xEE);
        for (int i = 0; i < 3 * c.Entries; ++i) entries.push_back(static_cast<std::uint8_t>(40 + i));
        // A later, shorter palette replaces the longer one whole.
        for (const TPngOptions &options :
             {With({Chunk("PLTE", entries)}), With({Chunk("PLTE", fuller), Chunk("PLTE", entries)})}) {
            const std::string what =
                std::to_string(c.BitDepth) + " bits" + (options.BeforeImageData.size() > 1 ? ", after a fuller palette" : "");
            const skin::TPngImage image = Decode(EncodePng(im, options));
            const std::vector<vcl::TBGRA> &table = image.Dib.ColorTable;
            ASSERT_EQ(table.size(), std::size_t{1} << c.BitDepth) << what;
            for (int i = 0; i < int(table.size()); ++i) {
                const vcl::TBGRA want = i < c.Entries ? vcl::TBGRA{std::uint8_t(42 + 3 * i), std::uint8_t(41 + 3 * i),
                                                                   std::uint8_t(40 + 3 * i), 0}
                                                      : vcl::TBGRA{};
                EXPECT_EQ(table[i], want) << what << ", entry " << i;
            }
        }
    }
}

// The reports of loading the file, as ProgressText gives them.
std::vector<std::string> ProgressOf(const TBytes &File) {
    std::vector<std::string> reports;
    vcl::TMemoryStream stream;
    stream.WriteBuffer(File.data(), File.size());
    stream.SetPosition(0);
    try {
        skin::ReadPngImage(stream, [&reports](auto... Report) { reports.push_back(ProgressText(Report...)); });
    } catch (const vcl::Exception &) {
    }
    return reports;
}

TEST(PngReader, ReportsEachStageAndTheRowReached) {
    using TLog = std::vector<std::string>;
    // The rect moves down a row for every row converted; an interlaced
    // image counts the rows of its last pass (the odd rows) only.
    EXPECT_EQ(ProgressOf(EncodePng(Gradient(5, 4, 2, 8))),
              (TLog{"starting 0% (0,0,5,1) Preparing...", "ending 0% (0,0,5,1) ", "starting 0% (0,0,5,1) Transfering...",
                    "ending 0% (0,4,5,5) "}));
    TPngOptions interlaced;
    interlaced.Interlaced = true;
    for (const auto &[height, rows] : {std::pair{4, 2}, {7, 3}, {1, 0}}) {
        const TLog log = ProgressOf(EncodePng(Gradient(3, height, 6, 8), interlaced));
        ASSERT_EQ(log.size(), 4u) << height;
        EXPECT_EQ(log[2], "starting 0% (0,0,3,1) Transfering...") << height;
        EXPECT_EQ(log[3], "ending 0% (0," + std::to_string(rows) + ",3," + std::to_string(rows + 1) + ") ") << height;
    }

    // A load that fails still ends; one that never started says nothing.
    TBytes badData = EncodePng(Gradient(5, 4, 2, 8));
    badData[badData.size() - 20] ^= 0x55;
    const TLog failed = ProgressOf(badData);
    ASSERT_EQ(failed.size(), 4u);
    EXPECT_EQ(failed[3].rfind("ending 0% (0,", 0), 0u) << failed[3];
    EXPECT_EQ(ProgressOf(FileWith(HeaderData(5, 4, 8, 2), {Chunk("PLTE", TBytes(770))})),
              (TLog{"starting 0% (0,0,5,1) Preparing...", "ending 0% (0,0,5,1) "}));
    TBytes badSignature = EncodePng(Gradient(5, 4, 2, 8));
    badSignature[0] = 0;
    EXPECT_EQ(ProgressOf(badSignature), TLog{});
}

// Damaged bytes anywhere: tests/fuzz/pngFuzz.cpp.
TEST(PngReader, TruncatedFilesRaiseKnownErrors) {
    TPngOptions options = With({Chunk("gAMA", {0, 0, 0xB1, 0x8F}), Chunk("tRNS", {0, 1, 0, 2, 0, 3})});
    options.Interlaced = true;
    options.Filter = [](int row, int) { return row % 5; };
    options.IdatPiece = 50;
    const TBytes good = EncodePng(Gradient(23, 19, 2, 16), options);
    ASSERT_EQ(ErrorOf(good), "");
    const std::set<std::string> known = {InvalidFormat, CrcError, CompressionError, ExtraData, CriticalChunk,
                                         PaletteInvalid, ColorFormat, CompressionScheme, StreamReadError};
    for (std::size_t n = 0; n < good.size(); ++n) {
        const TBytes cut(good.begin(), good.begin() + n);
        const std::string message = ErrorOf(cut);
        EXPECT_TRUE(known.count(message)) << n << " bytes: \"" << message << "\"";
        // A load that reported its start reports its end.
        const std::vector<std::string> reports = ProgressOf(cut);
        if (!reports.empty()) {
            EXPECT_EQ(reports.back().rfind("ending", 0), 0u) << n << " bytes: " << reports.back();
        }
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
