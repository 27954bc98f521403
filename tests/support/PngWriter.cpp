#include "PngWriter.h"

#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>

namespace pngtest {

namespace {

void Put32(TBytes &b, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) b.push_back(static_cast<std::uint8_t>(v >> shift));
}

constexpr int RowStart[7] = {0, 0, 4, 0, 2, 0, 1};
constexpr int ColumnStart[7] = {0, 4, 0, 2, 0, 1, 0};
constexpr int RowIncrement[7] = {8, 8, 8, 4, 4, 2, 2};
constexpr int ColumnIncrement[7] = {8, 8, 4, 4, 2, 2, 1};

// The samples of pixels x0, x0 + dx, ... of row y, packed as the file keeps them.
TBytes PackRow(const TSampleImage &im, int y, int x0, int dx) {
    TBytes row;
    const int channels = im.Channels(), depth = im.BitDepth;
    unsigned acc = 0;
    int bits = 0;
    for (int x = x0; x < im.Width; x += dx)
        for (int c = 0; c < channels; ++c) {
            const unsigned v = im.At(x, y, c);
            if (depth == 16) {
                row.push_back(static_cast<std::uint8_t>(v >> 8));
                row.push_back(static_cast<std::uint8_t>(v));
                continue;
            }
            acc = acc << depth | v;
            bits += depth;
            if (bits == 8) {
                row.push_back(static_cast<std::uint8_t>(acc));
                acc = 0;
                bits = 0;
            }
        }
    if (bits > 0) row.push_back(static_cast<std::uint8_t>(acc << (8 - bits)));
    return row;
}

std::uint8_t Paeth(int a, int b, int c) {
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return static_cast<std::uint8_t>(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// Filter type, then the row filtered against the previous one (the PNG standard's filters).
void AppendFiltered(TBytes &out, int filter, const TBytes &row, const TBytes &prev, int bpp) {
    out.push_back(static_cast<std::uint8_t>(filter));
    for (std::size_t i = 0; i < row.size(); ++i) {
        const int a = i >= std::size_t(bpp) ? row[i - bpp] : 0;
        const int b = prev.empty() ? 0 : prev[i];
        const int c = i >= std::size_t(bpp) && !prev.empty() ? prev[i - bpp] : 0;
        int predicted = 0;
        switch (filter) {
        case 1: predicted = a; break;
        case 2: predicted = b; break;
        case 3: predicted = (a + b) / 2; break;
        case 4: predicted = Paeth(a, b, c); break;
        default: break;
        }
        out.push_back(static_cast<std::uint8_t>(row[i] - predicted));
    }
}

} // namespace

const TBytes Signature = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

int TSampleImage::Channels() const {
    switch (ColorType) {
    case 2: return 3;
    case 4: return 2;
    case 6: return 4;
    default: return 1;
    }
}

TSampleImage MakeImage(int Width, int Height, int ColorType, int BitDepth,
                       const std::function<unsigned(int, int, int)> &g) {
    TSampleImage im{Width, Height, ColorType, BitDepth, {}};
    const unsigned mask = (1u << BitDepth) - 1;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            for (int c = 0; c < im.Channels(); ++c) im.Samples.push_back(static_cast<std::uint16_t>(g(x, y, c) & mask));
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

TBytes FilteredRows(const TSampleImage &Image, const TPngOptions &Options) {
    const int bpp = std::max(1, Image.Channels() * Image.BitDepth / 8);
    TBytes out;
    const auto pass = [&](int p, int y0, int dy, int x0, int dx) {
        TBytes prev;
        for (int y = y0, row = 0; y < Image.Height; y += dy, ++row) {
            const TBytes packed = PackRow(Image, y, x0, dx);
            if (packed.empty()) return;  // a pass with no columns has no rows
            AppendFiltered(out, Options.Filter(row, p), packed, prev, bpp);
            prev = packed;
        }
    };
    if (!Options.Interlaced) pass(-1, 0, 1, 0, 1);
    else
        for (int p = 0; p < 7; ++p) pass(p, RowStart[p], RowIncrement[p], ColumnStart[p], ColumnIncrement[p]);
    return out;
}

TBytes ImageData(const TSampleImage &Image, const TPngOptions &Options) {
    const TBytes raw = FilteredRows(Image, Options);
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    TBytes packed(size);
    if (compress2(packed.data(), &size, raw.data(), static_cast<uLong>(raw.size()), Options.Level) != Z_OK)
        throw std::runtime_error("PNG writer: compression failed");
    packed.resize(size);
    return packed;
}

TBytes EncodePng(const TSampleImage &Image, const TPngOptions &Options) {
    TBytes file = Signature;
    const auto append = [&file](const TBytes &b) { file.insert(file.end(), b.begin(), b.end()); };
    append(Chunk("IHDR", HeaderData(Image.Width, Image.Height, Image.BitDepth, Image.ColorType, Options.Interlaced)));
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

void SaveFile(const std::string &Path, const TBytes &Bytes) {
    std::unique_ptr<std::FILE, int (*)(std::FILE *)> f(std::fopen(Path.c_str(), "wb"), &std::fclose);
    if (!f || std::fwrite(Bytes.data(), 1, Bytes.size(), f.get()) != Bytes.size())
        throw std::runtime_error("PNG writer: cannot write " + Path);
}

} // namespace pngtest
