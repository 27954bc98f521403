#pragma once
// The size limit of a skin's pictures, checked on what a picture file's
// header announces before the picture is decoded: a file of a few hundred
// kilobytes can announce an image of gigabytes, which the decoders would
// allocate before the limit could refuse it. Portable.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "vcl/Types.h"

namespace skin {

// A skin picture is at most this many pixels (64 MiB at 32 bits), so that a
// damaged or hostile file cannot ask for more memory than a 32-bit process
// has.
inline constexpr std::int64_t MaxPicturePixels = std::int64_t(16) << 20;

// The format a picture file is read as, by the name it has in the options
// text (upper-cased): ".BMP" first, then ".JPG" or ".JPEG", then ".PNG";
// other names are read as nothing.
enum class TvlPictureFormat { None, Bmp, Jpeg, Png };
TvlPictureFormat PictureFormatOf(std::string_view UpperName);

// The width and height that the file's header announces in that format;
// 0 x 0 when the header does not say (a damaged header is left to the
// decoder's own error).
vcl::TSize AnnouncedPictureSize(TvlPictureFormat Format, std::span<const std::uint8_t> File);

// Raises vcl::EInvalidGraphic naming the picture when Width x Height is above
// MaxPicturePixels.
void CheckPictureSize(const std::string &Name, std::int64_t Width, std::int64_t Height);
// The same for the size the file announces.
void CheckAnnouncedPictureSize(const std::string &Name, TvlPictureFormat Format, std::span<const std::uint8_t> File);

} // namespace skin
