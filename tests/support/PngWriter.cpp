#include "PngWriter.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace pngtest {

namespace {

void Put32(TBytes &b, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) b.push_back(static_cast<std::uint8_t>(v >> shift));
}

// The samples of pixels x0, x0 + dx, ... of row y, packed as the file keeps them.
TBytes PackRow(const TSampleImage &im, int y, int x0, int dx) {
    TBytes row;
    unsigned bits = 0, count = 0;
    for (int x = x0; x < im.Width; x += dx)
        for (int c = 0; c < im.Channels(); ++c) {
            bits = bits << im.BitDepth | im.At(x, y, c);
            for (count += im.BitDepth; count >= 8; count -= 8) row.push_back(static_cast<std::uint8_t>(bits >> (count - 8)));
        }
    if (count > 0) row.push_back(static_cast<std::uint8_t>(bits << (8 - count)));
    return row;
}

// The standard's filters: the filter type, then each byte less its prediction.
void AppendFiltered(TBytes &out, int filter, const TBytes &row, const TBytes &prev, std::size_t bpp) {
    out.push_back(static_cast<std::uint8_t>(filter));
    for (std::size_t i = 0; i < row.size(); ++i) {
        const int a = i >= bpp ? row[i - bpp] : 0, b = prev.empty() ? 0 : prev[i];
        const int c = i >= bpp && !prev.empty() ? prev[i - bpp] : 0;
        const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
        const int predicted[5] = {0, a, b, (a + b) / 2, pa <= pb && pa <= pc ? a : pb <= pc ? b : c};
        out.push_back(static_cast<std::uint8_t>(row[i] - predicted[filter]));
    }
}

} // namespace

const TBytes Signature = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

TSampleImage MakeImage(int Width, int Height, int ColorType, int BitDepth,
                       const std::function<unsigned(int, int, int)> &g) {
    TSampleImage im{Width, Height, ColorType, BitDepth, {}};
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            for (int c = 0; c < im.Channels(); ++c)
                im.Samples.push_back(static_cast<std::uint16_t>(g(x, y, c) & ((1u << BitDepth) - 1)));
    return im;
}

TBytes ChunkWithCrc(const std::string &Type, const TBytes &Data, std::uint32_t Crc) {
    TBytes b;
    Put32(b, static_cast<std::uint32_t>(Data.size()));
    b.insert(b.end(), Type.begin(), Type.end());
    b.insert(b.end(), Data.begin(), Data.end());
    Put32(b, Crc);
    return b;
}

TBytes Chunk(const std::string &Type, const TBytes &Data) {
    uLong crc = crc32(0, reinterpret_cast<const Bytef *>(Type.data()), 4);
    if (!Data.empty()) crc = crc32(crc, Data.data(), static_cast<uInt>(Data.size()));
    return ChunkWithCrc(Type, Data, static_cast<std::uint32_t>(crc));
}

TBytes HeaderData(std::uint32_t Width, std::uint32_t Height, int BitDepth, int ColorType, int Interlace,
                  int Compression) {
    TBytes b;
    Put32(b, Width);
    Put32(b, Height);
    for (int v : {BitDepth, ColorType, Compression, 0, Interlace}) b.push_back(static_cast<std::uint8_t>(v));
    return b;
}

TBytes ImageData(const TSampleImage &Image, const TPngOptions &Options) {
    static constexpr int RowStart[7] = {0, 0, 4, 0, 2, 0, 1}, ColumnStart[7] = {0, 4, 0, 2, 0, 1, 0};
    static constexpr int RowStep[7] = {8, 8, 8, 4, 4, 2, 2}, ColumnStep[7] = {8, 8, 4, 4, 2, 2, 1};
    const std::size_t bpp = std::max(1, Image.Channels() * Image.BitDepth / 8);
    TBytes raw;
    for (int p = Options.Interlaced ? 0 : -1; p < (Options.Interlaced ? 7 : 0); ++p) {
        TBytes prev;
        for (int y = p < 0 ? 0 : RowStart[p], row = 0; y < Image.Height; y += p < 0 ? 1 : RowStep[p], ++row) {
            const TBytes packed = PackRow(Image, y, p < 0 ? 0 : ColumnStart[p], p < 0 ? 1 : ColumnStep[p]);
            if (packed.empty()) break;  // a pass without columns has no rows
            AppendFiltered(raw, Options.Filter(row, p), packed, prev, bpp);
            prev = packed;
        }
    }
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    TBytes packed(size);
    if (compress2(packed.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 6) != Z_OK)
        throw std::runtime_error("PNG writer: compression failed");
    packed.resize(size);
    return packed;
}

TBytes EncodePng(const TSampleImage &Image, const TPngOptions &Options) {
    TBytes file = Join({Signature, Chunk("IHDR", HeaderData(Image.Width, Image.Height, Image.BitDepth,
                                                            Image.ColorType, Options.Interlaced))});
    const auto append = [&file](const TBytes &b) { file.insert(file.end(), b.begin(), b.end()); };
    for (const TBytes &c : Options.BeforeImageData) append(c);
    const TBytes data = ImageData(Image, Options);
    const std::size_t piece = Options.IdatPiece ? Options.IdatPiece : data.size();
    for (std::size_t at = 0; at < data.size(); at += piece) {
        append(Chunk("IDAT", TBytes(data.begin() + at, data.begin() + std::min(data.size(), at + piece))));
        if (Options.EmptyIdatBetween) append(Chunk("IDAT", {}));
    }
    append(Chunk("IEND", {}));
    return file;
}

TBytes Join(std::initializer_list<TBytes> Parts) {
    TBytes all;
    for (const TBytes &p : Parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

} // namespace pngtest
