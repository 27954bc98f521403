#include "Dib.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace vcl {
namespace {

TBGRA Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) { return TBGRA{b, g, r, 0}; }

// Picks the table entry nearest to a colour (squared distance in R, G, B;
// the lower index wins a tie). Remembers recent answers, because images
// repeat their colours far more often than a table search pays for.
class TNearestColor {
public:
    TNearestColor(const TBGRA *table, int count) : FTable(table), FCount(count) { FKeys.fill(NoKey); }

    std::uint8_t IndexOf(TBGRA c) {
        const std::uint32_t key = c.B | (c.G << 8) | (c.R << 16);
        const std::size_t slot = (key * 2654435761u) >> 22;
        if (FKeys[slot] != key) {
            FKeys[slot] = key;
            FIndexes[slot] = Search(c);
        }
        return FIndexes[slot];
    }

private:
    static constexpr std::uint32_t NoKey = 0xFFFFFFFFu;  // keys have 24 bits

    std::uint8_t Search(TBGRA c) const {
        int best = 0;
        int bestDistance = 1 << 30;
        for (int i = 0; i < FCount; ++i) {
            const int db = FTable[i].B - c.B, dg = FTable[i].G - c.G, dr = FTable[i].R - c.R;
            const int distance = db * db + dg * dg + dr * dr;
            if (distance < bestDistance) {
                best = i;
                bestDistance = distance;
            }
        }
        return static_cast<std::uint8_t>(best);
    }

    const TBGRA *FTable;
    int FCount;
    std::array<std::uint32_t, 1024> FKeys;
    std::array<std::uint8_t, 1024> FIndexes{};
};

std::uint8_t Expand5(unsigned v) { return static_cast<std::uint8_t>((v << 3) | (v >> 2)); }
std::uint8_t Expand6(unsigned v) { return static_cast<std::uint8_t>((v << 2) | (v >> 4)); }

TBGRA TableEntry(const TDibLayout &image, unsigned index) {
    // An index past the table reads as black rather than beyond the table.
    return index < static_cast<unsigned>(image.ColorCount) ? TBGRA{image.ColorTable[index].B, image.ColorTable[index].G,
                                                                   image.ColorTable[index].R, 0}
                                                           : TBGRA{};
}

TBGRA DecodePixel(const TDibLayout &image, const std::uint8_t *row, int x) {
    switch (image.PixelFormat) {
    case pf1bit:
        return TableEntry(image, (row[x >> 3] >> (7 - (x & 7))) & 1);
    case pf4bit:
        return TableEntry(image, (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F);
    case pf8bit:
        return TableEntry(image, row[x]);
    case pf15bit: {
        const unsigned v = row[2 * x] | (row[2 * x + 1] << 8);
        return Rgb(Expand5((v >> 10) & 31), Expand5((v >> 5) & 31), Expand5(v & 31));
    }
    case pf16bit: {
        const unsigned v = row[2 * x] | (row[2 * x + 1] << 8);
        return Rgb(Expand5((v >> 11) & 31), Expand6((v >> 5) & 63), Expand5(v & 31));
    }
    case pf24bit:
        return TBGRA{row[3 * x], row[3 * x + 1], row[3 * x + 2], 0};
    case pf32bit:
        return TBGRA{row[4 * x], row[4 * x + 1], row[4 * x + 2], row[4 * x + 3]};
    default:
        return TBGRA{};
    }
}

void EncodePixel(const TDibLayout &image, std::uint8_t *row, int x, TBGRA c, TNearestColor &nearest) {
    switch (image.PixelFormat) {
    case pf1bit: {
        const int shift = 7 - (x & 7);
        row[x >> 3] = static_cast<std::uint8_t>((row[x >> 3] & ~(1 << shift)) | ((nearest.IndexOf(c) & 1) << shift));
        break;
    }
    case pf4bit: {
        const int shift = (x & 1) ? 0 : 4;
        row[x >> 1] =
            static_cast<std::uint8_t>((row[x >> 1] & ~(0x0F << shift)) | ((nearest.IndexOf(c) & 0x0F) << shift));
        break;
    }
    case pf8bit:
        row[x] = nearest.IndexOf(c);
        break;
    case pf15bit: {
        const unsigned v = ((c.R >> 3) << 10) | ((c.G >> 3) << 5) | (c.B >> 3);
        row[2 * x] = static_cast<std::uint8_t>(v);
        row[2 * x + 1] = static_cast<std::uint8_t>(v >> 8);
        break;
    }
    case pf16bit: {
        const unsigned v = ((c.R >> 3) << 11) | ((c.G >> 2) << 5) | (c.B >> 3);
        row[2 * x] = static_cast<std::uint8_t>(v);
        row[2 * x + 1] = static_cast<std::uint8_t>(v >> 8);
        break;
    }
    case pf24bit:
        row[3 * x] = c.B;
        row[3 * x + 1] = c.G;
        row[3 * x + 2] = c.R;
        break;
    case pf32bit:
        std::memcpy(row + 4 * x, &c, 4);
        break;
    default:
        break;
    }
}

// Copies the first `count` pixels of a row of `bits` bits per pixel, keeping
// the bits of a shared last byte that lie beyond them.
void CopyRowBits(const std::uint8_t *source, std::uint8_t *target, int count, int bits) {
    const std::size_t totalBits = std::size_t(count) * bits;
    std::memcpy(target, source, totalBits / 8);
    if (const unsigned rest = totalBits % 8) {
        const std::uint8_t mask = static_cast<std::uint8_t>(0xFF << (8 - rest));
        target[totalBits / 8] = static_cast<std::uint8_t>((target[totalBits / 8] & ~mask) | (source[totalBits / 8] & mask));
    }
}

} // namespace

int PixelFormatBits(TPixelFormat format) {
    switch (format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit:
    case pf16bit: return 16;
    case pf24bit: return 24;
    case pf32bit: return 32;
    default: return 0;
    }
}

bool IsIndexedFormat(TPixelFormat format) { return format == pf1bit || format == pf4bit || format == pf8bit; }

int ColorTableSize(TPixelFormat format) { return IsIndexedFormat(format) ? 1 << PixelFormatBits(format) : 0; }

std::ptrdiff_t BytesPerScanLine(int width, int bitsPerPixel) {
    return static_cast<std::ptrdiff_t>((std::int64_t(width) * bitsPerPixel + 31) / 32 * 4);
}

std::vector<TBGRA> DefaultColorTable(TPixelFormat format) {
    std::vector<TBGRA> table;
    switch (format) {
    case pf1bit:
        table = {Rgb(0, 0, 0), Rgb(255, 255, 255)};
        break;
    case pf4bit:
        table = {Rgb(0, 0, 0),       Rgb(128, 0, 0),   Rgb(0, 128, 0),   Rgb(128, 128, 0),
                 Rgb(0, 0, 128),     Rgb(128, 0, 128), Rgb(0, 128, 128), Rgb(192, 192, 192),
                 Rgb(128, 128, 128), Rgb(255, 0, 0),   Rgb(0, 255, 0),   Rgb(255, 255, 0),
                 Rgb(0, 0, 255),     Rgb(255, 0, 255), Rgb(0, 255, 255), Rgb(255, 255, 255)};
        break;
    case pf8bit:
        for (int i = 0; i < 256; ++i)
            table.push_back(Rgb(std::uint8_t(i), std::uint8_t(i), std::uint8_t(i)));
        break;
    default:
        break;
    }
    return table;
}

TBGRA ReadDibPixel(const TDibLayout &image, int x, int y) { return DecodePixel(image, image.Line(y), x); }

void CopyDibPixels(const TDibLayout &source, const TDibLayout &target) {
    const int width = std::min(source.Width, target.Width);
    const int height = std::min(source.Height, target.Height);
    if (width <= 0 || height <= 0 || !source.First || !target.First)
        return;
    if (source.PixelFormat == target.PixelFormat) {
        const int bits = PixelFormatBits(source.PixelFormat);
        for (int y = 0; y < height; ++y)
            CopyRowBits(source.Line(y), target.Line(y), width, bits);
        return;
    }
    TNearestColor nearest(target.ColorTable, target.ColorCount);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t *from = source.Line(y);
        std::uint8_t *to = target.Line(y);
        for (int x = 0; x < width; ++x)
            EncodePixel(target, to, x, DecodePixel(source, from, x), nearest);
    }
}

} // namespace vcl
