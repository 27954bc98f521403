#include "sSkinPictures.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "vcl/JpegDecoder.h"
#include "vcl/LittleEndian.h"
#include "vcl/SysUtils.h"
#include "vcl/System.h"

namespace skin {

namespace {

bool Contains(std::string_view S, std::string_view Part) { return S.find(Part) != std::string_view::npos; }

std::uint32_t BigEndian32(const std::uint8_t *p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

vcl::TSize Clamped(std::int64_t Width, std::int64_t Height) {
    const auto side = [](std::int64_t v) { return static_cast<std::int32_t>(std::min<std::int64_t>(std::llabs(v), INT32_MAX)); };
    return {side(Width), side(Height)};
}

// Signature, then the IHDR chunk: length, type, width, height.
vcl::TSize PngSize(std::span<const std::uint8_t> File) {
    static constexpr std::uint8_t Signature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
    if (File.size() < 24 || std::memcmp(File.data(), Signature, 8) != 0) return {};
    if (((BigEndian32(File.data() + 12) ^ 0x49484452u) & 0xDFDFDFDFu) != 0) return {};  // "IHDR", any case
    return Clamped(BigEndian32(File.data() + 16), BigEndian32(File.data() + 20));
}

// "BM", the file header, then the info header: 16-bit sides in the old
// core header, signed 32-bit ones (a negative height: top-down) in the others.
vcl::TSize BmpSize(std::span<const std::uint8_t> File) {
    if (File.size() < 14 + 12 || File[0] != 'B' || File[1] != 'M') return {};
    const std::uint8_t *info = File.data() + 14;
    const std::uint32_t size = vcl::ReadU32(info);
    if (size == 12) return Clamped(vcl::ReadU16(info + 4), vcl::ReadU16(info + 6));
    if (size < 16) return {};
    return Clamped(vcl::ReadI32(info + 4), vcl::ReadI32(info + 8));
}

} // namespace

TvlPictureFormat PictureFormatOf(std::string_view UpperName) {
    if (Contains(UpperName, ".BMP")) return TvlPictureFormat::Bmp;
    if (Contains(UpperName, ".JPG") || Contains(UpperName, ".JPEG")) return TvlPictureFormat::Jpeg;
    if (Contains(UpperName, ".PNG")) return TvlPictureFormat::Png;
    return TvlPictureFormat::None;
}

vcl::TSize AnnouncedPictureSize(TvlPictureFormat Format, std::span<const std::uint8_t> File) {
    switch (Format) {
    case TvlPictureFormat::Bmp: return BmpSize(File);
    case TvlPictureFormat::Jpeg: return vcl::JpegImageSize(File);
    case TvlPictureFormat::Png: return PngSize(File);
    default: return {};
    }
}

void CheckPictureSize(const std::string &Name, std::int64_t Width, std::int64_t Height) {
    if (Width * Height > MaxPicturePixels)
        throw vcl::EInvalidGraphic("The skin picture \"" + Name + "\" is too large (" + std::to_string(Width) + " x " +
                                   std::to_string(Height) + ")");
}

void CheckAnnouncedPictureSize(const std::string &Name, TvlPictureFormat Format, std::span<const std::uint8_t> File) {
    const vcl::TSize size = AnnouncedPictureSize(Format, File);
    CheckPictureSize(Name, size.cx, size.cy);
}

} // namespace skin
