#include "IcoFile.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "Dib.h"
#include "LittleEndian.h"
#include "System.h"

namespace vcl {
namespace {

[[noreturn]] void Fail(const std::string &what) { throw EInvalidGraphic("Cannot load icon: " + what + "."); }

constexpr std::uint8_t PngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

} // namespace

std::size_t IconImageCount(std::span<const std::uint8_t> header) {
    if (header.size() < IconDirHeaderSize)
        Fail("the header is truncated");
    if (ReadU16(header.data()) != 0 || ReadU16(header.data() + 2) != 1)
        Fail("the data is not an icon file");
    const std::size_t count = ReadU16(header.data() + 4);
    if (count == 0)
        Fail("the file holds no image");
    return count;
}

std::vector<TIconDirEntry> ReadIconDirectory(std::span<const std::uint8_t> data) {
    const std::size_t count = IconImageCount(data);
    const std::size_t directoryEnd = IconDirHeaderSize + count * IconDirEntrySize;
    if (data.size() < directoryEnd)
        Fail("the directory is truncated");
    std::vector<TIconDirEntry> entries;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t *e = data.data() + IconDirHeaderSize + i * IconDirEntrySize;
        TIconDirEntry entry;
        entry.Width = e[0] == 0 ? 256 : e[0];
        entry.Height = e[1] == 0 ? 256 : e[1];
        entry.BitCount = ReadU16(e + 6);
        entry.Size = ReadU32(e + 8);
        entry.Offset = ReadU32(e + 12);
        if (entry.Offset < directoryEnd)
            Fail("image " + std::to_string(i) + " overlaps the directory");
        if (entry.Size == 0)
            Fail("image " + std::to_string(i) + " is empty");
        entries.push_back(entry);
    }
    return entries;
}

std::size_t ImagesEnd(const std::vector<TIconDirEntry> &entries) {
    std::size_t end = 0;
    for (const TIconDirEntry &e : entries)
        end = std::max(end, e.Offset + e.Size);  // each term below 2^32: no overflow in 64 bits
    return end;
}

std::size_t ChooseIconImage(const std::vector<TIconDirEntry> &entries, int width, int height) {
    std::size_t best = 0;
    for (std::size_t i = 1; i < entries.size(); ++i) {
        const TIconDirEntry &a = entries[i], &b = entries[best];
        const int da = std::abs(a.Width - width) + std::abs(a.Height - height);
        const int db = std::abs(b.Width - width) + std::abs(b.Height - height);
        const bool better = da != db ? da < db
                            : a.Width + a.Height != b.Width + b.Height ? a.Width + a.Height > b.Width + b.Height
                                                                       : a.BitCount > b.BitCount;
        if (better)
            best = i;
    }
    return best;
}

void CheckIconImage(std::span<const std::uint8_t> image) {
    if (image.size() >= sizeof PngSignature && std::equal(PngSignature, PngSignature + 8, image.begin()))
        return;  // a PNG image is checked by the system's own decoder
    if (image.size() < 40 || ReadU32(image.data()) != 40)
        Fail("an image has no valid header");
    const std::int64_t width = ReadI32(image.data() + 4);
    const std::int64_t height = ReadI32(image.data() + 8);  // colours and mask together
    const int bits = ReadU16(image.data() + 14);
    const std::uint32_t compression = ReadU32(image.data() + 16);
    const std::uint32_t colorsUsed = ReadU32(image.data() + 32);
    if (width <= 0 || width > 256 || height <= 0 || height > 512 || height % 2 != 0)
        Fail("an image has an invalid size");
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        Fail("an image has " + std::to_string(bits) + " bits per pixel");
    if (compression != 0)
        Fail("an image is compressed");
    const std::int64_t rows = height / 2;
    const std::int64_t table = bits <= 8 ? 4 * std::int64_t(colorsUsed ? std::min<std::uint32_t>(colorsUsed, 256)
                                                                         : 1u << bits)
                                         : 0;
    const std::int64_t need = 40 + table + rows * BytesPerScanLine(int(width), bits) + rows * BytesPerScanLine(int(width), 1);
    if (static_cast<std::int64_t>(image.size()) < need)
        Fail("an image is truncated");
}

std::vector<std::uint8_t> WriteIconFile(const TIconImage &image) {
    const std::uint32_t tableEntries = image.BitCount <= 8 ? 1u << image.BitCount : 0;
    const std::uint32_t imageSize = static_cast<std::uint32_t>(40 + 4 * tableEntries + image.XorBits.size() +
                                                               image.AndBits.size());
    std::vector<std::uint8_t> out;
    out.reserve(IconDirHeaderSize + IconDirEntrySize + imageSize);
    AppendU16(out, 0);
    AppendU16(out, 1);
    AppendU16(out, 1);
    out.push_back(std::uint8_t(image.Width >= 256 ? 0 : image.Width));
    out.push_back(std::uint8_t(image.Height >= 256 ? 0 : image.Height));
    out.push_back(std::uint8_t(tableEntries < 256 ? tableEntries : 0));
    out.push_back(0);
    AppendU16(out, 1);
    AppendU16(out, static_cast<unsigned>(image.BitCount));
    AppendU32(out, imageSize);
    AppendU32(out, static_cast<std::uint32_t>(IconDirHeaderSize + IconDirEntrySize));

    AppendU32(out, 40);
    AppendU32(out, static_cast<std::uint32_t>(image.Width));
    AppendU32(out, static_cast<std::uint32_t>(2 * image.Height));
    AppendU16(out, 1);
    AppendU16(out, static_cast<unsigned>(image.BitCount));
    AppendU32(out, 0);
    AppendU32(out, static_cast<std::uint32_t>(image.XorBits.size() + image.AndBits.size()));
    AppendU32(out, 0);
    AppendU32(out, 0);
    AppendU32(out, 0);
    AppendU32(out, 0);
    for (std::uint32_t i = 0; i < tableEntries; ++i) {
        const TBGRA c = i < image.ColorTable.size() ? image.ColorTable[i] : TBGRA{};
        out.insert(out.end(), {c.B, c.G, c.R, 0});
    }
    out.insert(out.end(), image.XorBits.begin(), image.XorBits.end());
    out.insert(out.end(), image.AndBits.begin(), image.AndBits.end());
    return out;
}

} // namespace vcl
