#include "BmpFile.h"

#include "LittleEndian.h"
#include "System.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <optional>
#include <string>

namespace vcl {
namespace {

constexpr std::uint32_t BI_RGB_ = 0, BI_BITFIELDS_ = 3, BI_ALPHABITFIELDS_ = 6;
constexpr std::uint32_t CoreHeaderSize = 12, InfoHeaderSize = 40;
// Larger images than this are refused before anything is allocated.
constexpr std::int64_t MaxDimension = 1 << 16;
constexpr std::int64_t MaxPixels = std::int64_t(1) << 28;

[[noreturn]] void Fail(const std::string &what) { throw EInvalidGraphic("Cannot load bitmap: " + what + "."); }

struct TMasks {
    std::uint32_t Red = 0, Green = 0, Blue = 0, Alpha = 0;
    friend bool operator==(const TMasks &, const TMasks &) = default;
};

// One channel out of a masked pixel value, scaled to 0..255.
std::uint8_t MaskedChannel(std::uint32_t pixel, std::uint32_t mask) {
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const std::uint64_t max = mask >> shift;
    const std::uint64_t value = (pixel & mask) >> shift;
    return static_cast<std::uint8_t>((value * 255 + max / 2) / max);
}

// What the headers say, before any pixel is read.
struct THeader {
    std::uint32_t HeaderSize = 0;
    std::int64_t Width = 0;
    std::int64_t Height = 0;  // positive; TopDown tells the row order
    bool TopDown = false;
    int BitCount = 0;
    std::uint32_t Compression = BI_RGB_;
    TMasks Masks;
    bool HasMasks = false;
    std::size_t MasksEnd = 0;       // offset after header and separate masks
    std::size_t TableEntries = 0;   // entries stored in the file
    std::size_t TableEntrySize = 4; // 3 in core headers
};

THeader ReadHeader(std::span<const std::uint8_t> dib) {
    THeader h;
    if (dib.size() < 4)
        Fail("the header is truncated");
    h.HeaderSize = ReadU32(dib.data());
    const std::uint32_t size = h.HeaderSize;
    if (size != CoreHeaderSize && size != InfoHeaderSize && size != 52 && size != 56 && size != 108 && size != 124)
        Fail("unknown header size " + std::to_string(size));
    if (dib.size() < size)
        Fail("the header is truncated");
    const std::uint8_t *p = dib.data();
    if (size == CoreHeaderSize) {
        h.Width = ReadU16(p + 4);
        h.Height = ReadU16(p + 6);
        h.BitCount = ReadU16(p + 10);
        h.TableEntrySize = 3;
        if (h.BitCount != 1 && h.BitCount != 4 && h.BitCount != 8 && h.BitCount != 24)
            Fail(std::to_string(h.BitCount) + " bits per pixel are not supported");
        h.TableEntries = h.BitCount <= 8 ? std::size_t(1) << h.BitCount : 0;
        h.MasksEnd = size;
        return h;
    }
    h.Width = ReadI32(p + 4);
    const std::int64_t height = ReadI32(p + 8);
    h.TopDown = height < 0;
    h.Height = height < 0 ? -height : height;
    h.BitCount = ReadU16(p + 14);
    h.Compression = ReadU32(p + 16);
    const std::uint32_t colorsUsed = ReadU32(p + 32);
    if (h.BitCount != 1 && h.BitCount != 4 && h.BitCount != 8 && h.BitCount != 16 && h.BitCount != 24 &&
        h.BitCount != 32)
        Fail(std::to_string(h.BitCount) + " bits per pixel are not supported");
    h.MasksEnd = size;
    if (h.Compression == BI_BITFIELDS_ || h.Compression == BI_ALPHABITFIELDS_) {
        if (h.BitCount != 16 && h.BitCount != 32)
            Fail("colour masks need 16 or 32 bits per pixel");
        h.HasMasks = true;
        // The masks start at byte 40; those the header has no room for follow it.
        const std::size_t maskCount = h.Compression == BI_ALPHABITFIELDS_ ? 4 : 3;
        const std::size_t inHeader = std::min<std::size_t>((size - InfoHeaderSize) / 4, 4);
        if (maskCount > inHeader) {
            h.MasksEnd = InfoHeaderSize + 4 * maskCount;
            if (dib.size() < h.MasksEnd)
                Fail("the colour masks are truncated");
        }
        const std::uint8_t *m = p + InfoHeaderSize;
        h.Masks.Red = ReadU32(m);
        h.Masks.Green = ReadU32(m + 4);
        h.Masks.Blue = ReadU32(m + 8);
        if (maskCount == 4 || inHeader == 4)
            h.Masks.Alpha = ReadU32(m + 12);
    } else if (h.Compression != BI_RGB_) {
        Fail("compression method " + std::to_string(h.Compression) + " is not supported");
    }
    if (h.BitCount <= 8)
        h.TableEntries = colorsUsed == 0 ? std::size_t(1) << h.BitCount : colorsUsed;
    else
        h.TableEntries = colorsUsed;
    return h;
}

void CheckDimensions(const THeader &h) {
    if (h.Width < 0)
        Fail("the width is negative");
    if (h.Width > MaxDimension || h.Height > MaxDimension || h.Width * h.Height > MaxPixels)
        Fail("the image is too large (" + std::to_string(h.Width) + " x " + std::to_string(h.Height) + ")");
}

// The pixel format the image becomes and, for masks that no format stores
// as they are, the masks to convert through (into pf32bit).
TPixelFormat TargetFormat(const THeader &h, bool &convertMasks) {
    convertMasks = false;
    switch (h.BitCount) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 24: return pf24bit;
    case 16:
        if (!h.HasMasks || h.Masks == TMasks{0x7C00, 0x03E0, 0x001F, 0})
            return pf15bit;
        if (h.Masks == TMasks{0xF800, 0x07E0, 0x001F, 0})
            return pf16bit;
        convertMasks = true;
        return pf32bit;
    default:
        if (!h.HasMasks || h.Masks == TMasks{0xFF0000, 0xFF00, 0xFF, 0} ||
            h.Masks == TMasks{0xFF0000, 0xFF00, 0xFF, 0xFF000000})
            return pf32bit;
        convertMasks = true;
        return pf32bit;
    }
}

// Where the pixels of a checked DIB lie in the file, and how they are read.
struct TPixelSource {
    THeader Header;
    bool ConvertMasks = false;
    const std::uint8_t *Pixels = nullptr;  // null for an empty image
    std::size_t SourceRow = 0;
};

// The headers, the colour table (into the image, with its size and format)
// and the place of the pixels, each checked against the data. The pixels
// start at pixelOffset within the DIB, or right after the colour table when
// it is not given.
TPixelSource ReadDibLayout(std::span<const std::uint8_t> dib, std::optional<std::size_t> pixelOffset,
                           TDibImage &image) {
    TPixelSource source{ReadHeader(dib)};
    const THeader &h = source.Header;
    CheckDimensions(h);
    image.PixelFormat = TargetFormat(h, source.ConvertMasks);

    if (h.TableEntries > (dib.size() - h.MasksEnd) / h.TableEntrySize)
        Fail("the colour table is truncated");
    const std::size_t tableBytes = h.TableEntries * h.TableEntrySize;
    if (IsIndexedFormat(image.PixelFormat)) {
        // Unused entries stay black; entries beyond the format's size are ignored.
        image.ColorTable.assign(ColorTableSize(image.PixelFormat), TBGRA{});
        const std::size_t used = std::min<std::size_t>(h.TableEntries, image.ColorTable.size());
        for (std::size_t i = 0; i < used; ++i) {
            const std::uint8_t *e = dib.data() + h.MasksEnd + i * h.TableEntrySize;
            image.ColorTable[i] = TBGRA{e[0], e[1], e[2], 0};
        }
    }
    const std::size_t pixels = pixelOffset.value_or(h.MasksEnd + tableBytes);
    if (pixels < h.MasksEnd || pixels > dib.size())
        Fail("the pixel data offset lies outside the file");

    image.Width = static_cast<int>(h.Width);
    image.Height = static_cast<int>(h.Height);
    if (image.Width == 0 || image.Height == 0)
        return source;
    source.SourceRow = static_cast<std::size_t>(BytesPerScanLine(image.Width, h.BitCount));
    if ((dib.size() - pixels) / source.SourceRow < static_cast<std::size_t>(image.Height))
        Fail("the pixel data is truncated");
    source.Pixels = dib.data() + pixels;
    return source;
}

TDibImage ReadDib(std::span<const std::uint8_t> dib, std::optional<std::size_t> pixelOffset) {
    TDibImage image;
    const TPixelSource source = ReadDibLayout(dib, pixelOffset, image);
    if (!source.Pixels)
        return image;
    const THeader &h = source.Header;
    const std::size_t sourceRow = source.SourceRow;
    const std::size_t targetRow =
        static_cast<std::size_t>(BytesPerScanLine(image.Width, PixelFormatBits(image.PixelFormat)));
    image.Bits.assign(targetRow * image.Height, 0);
    for (int row = 0; row < image.Height; ++row) {
        // Memory row r holds image line Height - 1 - r (bottom-up).
        const int fileRow = h.TopDown ? image.Height - 1 - row : row;
        const std::uint8_t *from = source.Pixels + fileRow * sourceRow;
        std::uint8_t *to = image.Bits.data() + row * targetRow;
        if (!source.ConvertMasks) {
            std::memcpy(to, from, std::min(sourceRow, targetRow));
            continue;
        }
        for (int x = 0; x < image.Width; ++x) {
            const std::uint32_t v = h.BitCount == 16 ? ReadU16(from + 2 * x) : ReadU32(from + 4 * x);
            to[4 * x] = MaskedChannel(v, h.Masks.Blue);
            to[4 * x + 1] = MaskedChannel(v, h.Masks.Green);
            to[4 * x + 2] = MaskedChannel(v, h.Masks.Red);
            to[4 * x + 3] = MaskedChannel(v, h.Masks.Alpha);
        }
    }
    return image;
}

} // namespace

TDibLayout TDibImage::Layout() {
    TDibLayout layout;
    const std::ptrdiff_t row = BytesPerScanLine(Width, PixelFormatBits(PixelFormat));
    layout.Width = Width;
    layout.Height = Height;
    layout.PixelFormat = PixelFormat;
    layout.ColorTable = ColorTable.data();
    layout.ColorCount = static_cast<int>(ColorTable.size());
    if (!Bits.empty()) {
        layout.First = Bits.data() + (Height - 1) * row;
        layout.Stride = -row;
    }
    return layout;
}

std::uint32_t BmpFileSize(std::span<const std::uint8_t> header) {
    if (header.size() < BmpFileHeaderSize || header[0] != 'B' || header[1] != 'M')
        return 0;
    return ReadU32(header.data() + 2);
}

namespace {

// The file header checked; the pixels' offset within the DIB that follows it.
std::optional<std::size_t> ReadFileHeader(std::span<const std::uint8_t> data) {
    if (data.size() < 2 || data[0] != 'B' || data[1] != 'M')
        Fail("the data is not a BMP file");
    if (data.size() < BmpFileHeaderSize)
        Fail("the file header is truncated");
    const std::uint32_t offBits = ReadU32(data.data() + 10);
    // Some writers leave the offset 0: the pixels then follow the table.
    std::optional<std::size_t> pixelOffset;
    if (offBits != 0) {
        if (offBits < BmpFileHeaderSize)
            Fail("the pixel data offset lies inside the file header");
        pixelOffset = offBits - BmpFileHeaderSize;
    }
    return pixelOffset;
}

} // namespace

TDibImage ReadBmpFile(std::span<const std::uint8_t> data) {
    const std::optional<std::size_t> pixelOffset = ReadFileHeader(data);
    return ReadDib(data.subspan(BmpFileHeaderSize), pixelOffset);
}

namespace {

TDibLayout ViewDib(std::span<const std::uint8_t> dib, std::optional<std::size_t> pixelOffset, TDibImage &holder) {
    holder = TDibImage{};
    const TPixelSource source = ReadDibLayout(dib, pixelOffset, holder);
    if (source.ConvertMasks) {
        holder = ReadDib(dib, pixelOffset);
        return holder.Layout();
    }
    TDibLayout layout = holder.Layout();
    if (source.Pixels) {
        // Read only, as the declaration says: the layout type serves readers and writers.
        auto *pixels = const_cast<std::uint8_t *>(source.Pixels);
        const auto row = static_cast<std::ptrdiff_t>(source.SourceRow);
        layout.First = source.Header.TopDown ? pixels : pixels + (holder.Height - 1) * row;
        layout.Stride = source.Header.TopDown ? row : -row;
    }
    return layout;
}

} // namespace

TDibLayout ViewBmpFile(std::span<const std::uint8_t> data, TDibImage &holder) {
    const std::optional<std::size_t> pixelOffset = ReadFileHeader(data);
    return ViewDib(data.subspan(BmpFileHeaderSize), pixelOffset, holder);
}

TDibLayout ViewPackedDib(std::span<const std::uint8_t> data, TDibImage &holder) {
    return ViewDib(data, std::nullopt, holder);
}

TDibImage ReadPackedDib(std::span<const std::uint8_t> data) { return ReadDib(data, std::nullopt); }

std::vector<std::uint8_t> WriteBmpFile(const TDibLayout &image) {
    const int bits = PixelFormatBits(image.PixelFormat);
    if (bits == 0)
        throw EInvalidGraphic("Cannot save bitmap: the pixel format has no file layout.");
    const int width = std::max(image.Width, 0);
    const int height = image.First ? std::max(image.Height, 0) : 0;
    const bool masks = image.PixelFormat == pf16bit;
    const std::uint32_t tableEntries = static_cast<std::uint32_t>(ColorTableSize(image.PixelFormat));
    const std::size_t row = static_cast<std::size_t>(BytesPerScanLine(width, bits));
    const std::uint32_t offBits = static_cast<std::uint32_t>(BmpFileHeaderSize + InfoHeaderSize + (masks ? 12 : 0) +
                                                             4 * tableEntries);
    const std::size_t pixelBytes = row * height;

    std::vector<std::uint8_t> out;
    out.reserve(offBits + pixelBytes);
    out.push_back('B');
    out.push_back('M');
    AppendU32(out, static_cast<std::uint32_t>(offBits + pixelBytes));
    AppendU32(out, 0);
    AppendU32(out, offBits);

    AppendU32(out, InfoHeaderSize);
    AppendU32(out, static_cast<std::uint32_t>(width));
    AppendU32(out, static_cast<std::uint32_t>(height));
    AppendU16(out, 1);
    AppendU16(out, static_cast<unsigned>(bits));
    AppendU32(out, masks ? BI_BITFIELDS_ : BI_RGB_);
    AppendU32(out, static_cast<std::uint32_t>(pixelBytes));
    AppendU32(out, 0);
    AppendU32(out, 0);
    AppendU32(out, 0);
    AppendU32(out, 0);
    if (masks) {
        AppendU32(out, 0xF800);
        AppendU32(out, 0x07E0);
        AppendU32(out, 0x001F);
    }
    for (std::uint32_t i = 0; i < tableEntries; ++i) {
        const TBGRA c = i < static_cast<std::uint32_t>(image.ColorCount) ? image.ColorTable[i] : TBGRA{};
        out.insert(out.end(), {c.B, c.G, c.R, 0});
    }
    const std::size_t usedBits = std::size_t(width) * bits;
    for (int y = height - 1; y >= 0; --y) {
        const std::uint8_t *line = image.Line(y);
        const std::size_t start = out.size();
        out.insert(out.end(), line, line + (usedBits + 7) / 8);
        if (usedBits % 8)
            out.back() &= static_cast<std::uint8_t>(0xFF << (8 - usedBits % 8));
        out.resize(start + row, 0);
    }
    return out;
}

} // namespace vcl
