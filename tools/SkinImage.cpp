#include "SkinImage.h"

#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <span>

#include "skin/graphics/vlPNG.h"
#include "vcl/BmpFile.h"
#include "vcl/Streams.h"
#include "vcl/System.h"

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

void Put32Be(Bytes &Out, std::uint32_t V) {
    for (int shift = 24; shift >= 0; shift -= 8) Out.push_back(static_cast<std::uint8_t>(V >> shift));
}

constexpr std::uint8_t PngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

void PutChunk(Bytes &Out, const char *Type, const Bytes &Data) {
    Put32Be(Out, static_cast<std::uint32_t>(Data.size()));
    const std::size_t start = Out.size();
    Out.insert(Out.end(), Type, Type + 4);
    Out.insert(Out.end(), Data.begin(), Data.end());
    Put32Be(Out, static_cast<std::uint32_t>(crc32(0, Out.data() + start, static_cast<uInt>(Out.size() - start))));
}

// The decoded pixels as an RGBA image; formats without alpha are opaque.
Image FromDib(vcl::TDibImage &Dib) {
    const vcl::TDibLayout layout = Dib.Layout();
    const bool alpha = layout.PixelFormat == vcl::pf32bit;
    Image out(layout.Width, layout.Height);
    for (int y = 0; y < layout.Height; ++y)
        for (int x = 0; x < layout.Width; ++x) {
            const vcl::TBGRA p = vcl::ReadDibPixel(layout, x, y);
            out.At(x, y) = Pixel{p.R, p.G, p.B, alpha ? p.A : std::uint8_t(0xFF)};
        }
    return out;
}

} // namespace

Bytes EncodeBmp24(const Image &Picture) {
    vcl::TDibImage dib;
    dib.Width = Picture.Width();
    dib.Height = Picture.Height();
    dib.PixelFormat = vcl::pf24bit;
    dib.Bits.resize(static_cast<std::size_t>(vcl::BytesPerScanLine(dib.Width, 24)) * static_cast<std::size_t>(dib.Height));
    const vcl::TDibLayout layout = dib.Layout();
    for (int y = 0; y < Picture.Height(); ++y) {
        std::uint8_t *p = layout.Line(y);
        for (int x = 0; x < Picture.Width(); ++x, p += 3) {
            const Pixel &c = Picture.At(x, y);
            p[0] = c.B, p[1] = c.G, p[2] = c.R;
        }
    }
    return vcl::WriteBmpFile(layout);
}

Bytes EncodeBmp32(const Image &Picture) {
    vcl::TDibImage dib;
    dib.Width = Picture.Width();
    dib.Height = Picture.Height();
    dib.PixelFormat = vcl::pf32bit;
    dib.Bits.resize(static_cast<std::size_t>(vcl::BytesPerScanLine(dib.Width, 32)) * static_cast<std::size_t>(dib.Height));
    const vcl::TDibLayout layout = dib.Layout();
    for (int y = 0; y < Picture.Height(); ++y) {
        std::uint8_t *p = layout.Line(y);
        for (int x = 0; x < Picture.Width(); ++x, p += 4) {
            const Pixel &c = Picture.At(x, y);
            p[0] = c.B, p[1] = c.G, p[2] = c.R, p[3] = c.A;
        }
    }
    return vcl::WriteBmpFile(layout);
}

Image DecodeBmp(const Bytes &Data) {
    try {
        vcl::TDibImage dib = vcl::ReadBmpFile(std::span<const std::uint8_t>(Data));
        return FromDib(dib);
    } catch (const vcl::Exception &e) {
        throw ImageError("BMP: " + e.Message());
    }
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
    try {
        vcl::TMemoryStream stream;
        stream.Write(Data.data(), Data.size());
        stream.SetPosition(0);
        skin::TPngImage png = skin::ReadPngImage(stream);
        return FromDib(png.Dib);
    } catch (const vcl::Exception &e) {
        throw ImageError("PNG: " + e.Message());
    }
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
