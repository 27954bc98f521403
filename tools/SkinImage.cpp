#include "SkinImage.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

namespace skintools {

Image::Image(int Width, int Height, Pixel Fill) : FWidth(Width), FHeight(Height) {
    if (Width < 0 || Height < 0) throw ImageError("negative image size");
    FPixels.assign(static_cast<std::size_t>(Width) * static_cast<std::size_t>(Height), Fill);
}

std::size_t Image::Index(int X, int Y) const {
    if (!Contains(X, Y)) throw ImageError("pixel outside the image");
    return static_cast<std::size_t>(Y) * static_cast<std::size_t>(FWidth) + static_cast<std::size_t>(X);
}

void Image::Paste(const Image &Source, int X, int Y) {
    for (int y = 0; y < Source.Height(); ++y)
        for (int x = 0; x < Source.Width(); ++x)
            if (Contains(X + x, Y + y)) At(X + x, Y + y) = Source.At(x, y);
}

Image Image::Crop(int X, int Y, int Width, int Height) const {
    Image out(Width, Height);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) out.At(x, y) = At(X + x, Y + y);
    return out;
}

Image Image::Enlarged(int Factor) const {
    Image out(FWidth * Factor, FHeight * Factor);
    for (int y = 0; y < out.Height(); ++y)
        for (int x = 0; x < out.Width(); ++x) out.At(x, y) = At(x / Factor, y / Factor);
    return out;
}

namespace {

void Put16(Bytes &Out, unsigned V) {
    Out.push_back(static_cast<std::uint8_t>(V));
    Out.push_back(static_cast<std::uint8_t>(V >> 8));
}
void Put32(Bytes &Out, std::uint32_t V) {
    Put16(Out, V & 0xFFFF);
    Put16(Out, V >> 16);
}
void Put32Be(Bytes &Out, std::uint32_t V) {
    for (int shift = 24; shift >= 0; shift -= 8) Out.push_back(static_cast<std::uint8_t>(V >> shift));
}
std::uint32_t Get16(const Bytes &In, std::size_t At) {
    if (At + 2 > In.size()) throw ImageError("picture truncated");
    return In[At] | (In[At + 1] << 8);
}
std::uint32_t Get32(const Bytes &In, std::size_t At) { return Get16(In, At) | (Get16(In, At + 2) << 16); }
std::uint32_t Get32Be(const Bytes &In, std::size_t At) {
    if (At + 4 > In.size()) throw ImageError("picture truncated");
    return (std::uint32_t(In[At]) << 24) | (In[At + 1] << 16) | (In[At + 2] << 8) | In[At + 3];
}

constexpr std::uint8_t PngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

void PutChunk(Bytes &Out, const char *Type, const Bytes &Data) {
    Put32Be(Out, static_cast<std::uint32_t>(Data.size()));
    const std::size_t start = Out.size();
    Out.insert(Out.end(), Type, Type + 4);
    Out.insert(Out.end(), Data.begin(), Data.end());
    Put32Be(Out, static_cast<std::uint32_t>(crc32(0, Out.data() + start, static_cast<uInt>(Out.size() - start))));
}

int Paeth(int A, int B, int C) {
    const int p = A + B - C, pa = std::abs(p - A), pb = std::abs(p - B), pc = std::abs(p - C);
    if (pa <= pb && pa <= pc) return A;
    return pb <= pc ? B : C;
}

} // namespace

Bytes EncodeBmp24(const Image &Picture) {
    const std::uint32_t stride = (static_cast<std::uint32_t>(Picture.Width()) * 3 + 3) & ~3u;
    const std::uint32_t imageSize = stride * static_cast<std::uint32_t>(Picture.Height());
    Bytes out;
    out.reserve(54 + imageSize);
    out.push_back('B');
    out.push_back('M');
    Put32(out, 54 + imageSize);
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(Picture.Width()));
    Put32(out, static_cast<std::uint32_t>(Picture.Height()));  // bottom-up
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);  // BI_RGB
    Put32(out, imageSize);
    Put32(out, 2835);  // 72 dpi
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = Picture.Height() - 1; y >= 0; --y) {
        for (int x = 0; x < Picture.Width(); ++x) {
            const Pixel &p = Picture.At(x, y);
            out.push_back(p.B);
            out.push_back(p.G);
            out.push_back(p.R);
        }
        for (std::uint32_t pad = static_cast<std::uint32_t>(Picture.Width()) * 3; pad < stride; ++pad) out.push_back(0);
    }
    return out;
}

Image DecodeBmp(const Bytes &Data) {
    if (Data.size() < 54 || Data[0] != 'B' || Data[1] != 'M') throw ImageError("not a BMP file");
    const std::uint32_t offset = Get32(Data, 10);
    const std::int32_t width = static_cast<std::int32_t>(Get32(Data, 18));
    const std::int32_t rawHeight = static_cast<std::int32_t>(Get32(Data, 22));
    const unsigned bits = Get16(Data, 28);
    if (Get32(Data, 30) != 0 || (bits != 24 && bits != 32)) throw ImageError("BMP: only uncompressed 24 and 32 bits");
    if (width <= 0 || rawHeight == 0 || width > 16384 || std::abs(rawHeight) > 16384) throw ImageError("BMP: bad size");
    const int height = std::abs(rawHeight);
    const std::size_t stride = (static_cast<std::size_t>(width) * (bits / 8) + 3) & ~std::size_t(3);
    if (offset + stride * static_cast<std::size_t>(height) > Data.size()) throw ImageError("BMP: pixels truncated");
    Image out(width, height);
    for (int row = 0; row < height; ++row) {
        const int y = rawHeight > 0 ? height - 1 - row : row;
        const std::uint8_t *p = Data.data() + offset + stride * static_cast<std::size_t>(row);
        for (int x = 0; x < width; ++x, p += bits / 8)
            out.At(x, y) = Pixel{p[2], p[1], p[0], static_cast<std::uint8_t>(bits == 32 ? p[3] : 0xFF)};
    }
    return out;
}

Bytes EncodePng(const Image &Picture) {
    Bytes raw;
    raw.reserve(static_cast<std::size_t>(Picture.Height()) * (1 + 4 * static_cast<std::size_t>(Picture.Width())));
    for (int y = 0; y < Picture.Height(); ++y) {
        raw.push_back(0);  // filter "none": simple and the same bytes every time
        for (int x = 0; x < Picture.Width(); ++x) {
            const Pixel &p = Picture.At(x, y);
            raw.insert(raw.end(), {p.R, p.G, p.B, p.A});
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    Bytes packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK)
        throw ImageError("PNG: compression failed");
    packed.resize(packedSize);

    Bytes out(std::begin(PngSignature), std::end(PngSignature));
    Bytes header;
    Put32Be(header, static_cast<std::uint32_t>(Picture.Width()));
    Put32Be(header, static_cast<std::uint32_t>(Picture.Height()));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter set, no interlace
    PutChunk(out, "IHDR", header);
    PutChunk(out, "IDAT", packed);
    PutChunk(out, "IEND", {});
    return out;
}

Image DecodePng(const Bytes &Data) {
    if (Data.size() < 8 || !std::equal(std::begin(PngSignature), std::end(PngSignature), Data.begin()))
        throw ImageError("not a PNG file");
    std::uint32_t width = 0, height = 0;
    int channels = 0;
    Bytes packed;
    for (std::size_t at = 8;;) {
        const std::uint32_t length = Get32Be(Data, at);
        if (length > Data.size() || at + 12 + length > Data.size()) throw ImageError("PNG: chunk truncated");
        const std::string type(reinterpret_cast<const char *>(Data.data() + at + 4), 4);
        const std::uint8_t *body = Data.data() + at + 8;
        if (crc32(0, Data.data() + at + 4, length + 4) != Get32Be(Data, at + 8 + length))
            throw ImageError("PNG: chunk " + type + " has a bad checksum");
        if (type == "IHDR") {
            if (length != 13) throw ImageError("PNG: bad header");
            width = Get32Be(Data, at + 8);
            height = Get32Be(Data, at + 12);
            const std::uint8_t depth = body[8], colourType = body[9];
            if (depth != 8 || body[10] != 0 || body[11] != 0 || body[12] != 0)
                throw ImageError("PNG: only 8-bit pictures without interlace");
            switch (colourType) {
            case 0: channels = 1; break;
            case 2: channels = 3; break;
            case 4: channels = 2; break;
            case 6: channels = 4; break;
            default: throw ImageError("PNG: palette pictures are not read");
            }
            if (width == 0 || height == 0 || width > 16384 || height > 16384) throw ImageError("PNG: bad size");
        } else if (type == "IDAT") {
            packed.insert(packed.end(), body, body + length);
        } else if (type == "IEND") {
            break;
        }
        at += 12 + length;
    }
    if (channels == 0) throw ImageError("PNG: no header");

    const std::size_t stride = width * static_cast<std::size_t>(channels);
    Bytes raw(height * (stride + 1));
    uLongf rawSize = static_cast<uLongf>(raw.size());
    if (uncompress(raw.data(), &rawSize, packed.data(), static_cast<uLong>(packed.size())) != Z_OK || rawSize != raw.size())
        throw ImageError("PNG: the picture data does not inflate to its size");

    Image out(static_cast<int>(width), static_cast<int>(height));
    Bytes previous(stride, 0), line(stride);
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t filter = raw[y * (stride + 1)];
        const std::uint8_t *in = raw.data() + y * (stride + 1) + 1;
        for (std::size_t i = 0; i < stride; ++i) {
            const int a = i >= std::size_t(channels) ? line[i - channels] : 0;
            const int b = previous[i];
            const int c = i >= std::size_t(channels) ? previous[i - channels] : 0;
            int predicted = 0;
            switch (filter) {
            case 0: break;
            case 1: predicted = a; break;
            case 2: predicted = b; break;
            case 3: predicted = (a + b) / 2; break;
            case 4: predicted = Paeth(a, b, c); break;
            default: throw ImageError("PNG: unknown row filter");
            }
            line[i] = static_cast<std::uint8_t>(in[i] + predicted);
        }
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint8_t *p = line.data() + x * channels;
            Pixel &px = out.At(static_cast<int>(x), static_cast<int>(y));
            switch (channels) {
            case 1: px = {p[0], p[0], p[0], 0xFF}; break;
            case 2: px = {p[0], p[0], p[0], p[1]}; break;
            case 3: px = {p[0], p[1], p[2], 0xFF}; break;
            default: px = {p[0], p[1], p[2], p[3]}; break;
            }
        }
        std::swap(previous, line);
    }
    return out;
}

Bytes ReadFileBytes(const std::string &Path) {
    std::ifstream in(Path, std::ios::binary);
    if (!in) throw ImageError("cannot read " + Path);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string &Path, const Bytes &Data) {
    std::ofstream out(Path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(Data.data()), static_cast<std::streamsize>(Data.size()));
    out.close();
    if (!out) {
        std::remove(Path.c_str());
        throw ImageError("cannot write " + Path);
    }
}

} // namespace skintools
