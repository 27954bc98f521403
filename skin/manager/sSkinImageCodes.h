#pragma once
// The value codes of picture keys in a skin's options text, and the scan
// that classifies the corners of a border mask. Portable: the images
// themselves are loaded by the manager (sSkinImages).
//
//   '@'  inline item of the master bitmap: rect, image count, mask type
//   '^'  item of the master bitmap with margins and flags in fixed columns
//   '~'  texture of the master bitmap or of a picture file of its own
//   '!'  picture file with '!'-separated fields
//   a value containing ".JPG" or ".BMP": a picture file used as a texture
//
// Columns are 1-based character positions of the (upper-cased) value.
#include <cstdint>
#include <string>
#include <string_view>

#include "skin/graphics/sMaskData.h"
#include "vcl/BitmapView.h"
#include "vcl/Dib.h"
#include "vcl/Types.h"

namespace skin {

enum class TvlImageCode {
    None,       // not a picture: numbers, colours, names
    Inline,     // '@'
    Fixed,      // '^'
    Texture,    // '~'
    File,       // '!'
    PlainFile,  // a file name with ".JPG" or ".BMP"
};

// What a picture value says. For File and PlainFile the rect is the whole
// picture, known only once it is loaded; the margins are then derived.
struct TvlImageValue {
    TvlImageCode Code = TvlImageCode::None;
    std::string FileName;  // File, PlainFile; Texture: its own picture, may be empty
    vcl::TRect R;
    std::int16_t ImageCount = 1;
    std::int16_t MaskType = 0;
    std::uint16_t DrawMode = 0;
    std::uint8_t ImageKind = 0;
    std::int16_t BorderWidth = 0;
    std::int16_t WL = 0, WT = 0, WR = 0, WB = 0;
    bool DeriveMargins = false;  // margins follow from the rect (DeriveMaskMargins)
    bool DetectCorners = false;  // the corner class is to be scanned (DetectMaskType)
};

// The integer in columns Start .. Start + Length - 1 of Value. A field that
// runs past the value's end or is not a number raises vcl::EConvertError.
std::int32_t ParseFixedInt(std::string_view Value, int Start, int Length);
// Left, Top, Right, Bottom from the four 4-character fields at Start,
// Start + 5, Start + 10 and Start + 15.
vcl::TRect ParseFixedRect(std::string_view Value, int Start);
// Word N (1-based) of Value, words separated by runs of Delimiters, as an
// integer; 0 when it is missing or not a number.
std::int32_t ListItemAsInt(int N, std::string_view Value, std::string_view Delimiters);

// Reads an upper-cased picture value. Fields that cannot be read, and
// counts or margins outside what a mask item holds, raise
// vcl::EConvertError. An image count below 1 reads as 1, and an image kind
// below 0 as 0 (above 4 as 4).
TvlImageValue ParseImageValue(std::string_view Value);

// The margins of an item whose value gave none: all BorderWidth when it is
// not 0 (only for '^' items), otherwise a third of one frame's width and of
// one part's height. Items without frames (mask type -1) keep margins 0.
void DeriveMaskMargins(TsMaskData &Mask, bool UseBorderWidth);

// The corner class of a mask: 2 for "BORDERSMASK" of "BUTTON_HUGE" without a
// scan; otherwise 1 when a corner of the first frame (its margins wide)
// holds the key pixel 0x00FF00FF, else 0. The corners are clipped to the
// image, its last column and row included. Image is the mask's own bitmap
// or the master bitmap.
int DetectMaskType(const TsMaskData &Mask, const vcl::TBitmapView &Image);

// A decoded picture into a 32-bit skin image of the same size. Pixels of
// other formats become B, G, R with alpha 0 and then, like every pixel when
// Opaque is set, alpha 255 unless the whole pixel is the key 0x00FF00FF;
// with Opaque clear, 32-bit pixels are copied as they are.
void CopyToSkinPixels(const vcl::TDibLayout &Source, const vcl::TBitmapView &Target, bool Opaque);

// Whether a skin's PNG pictures are premultiplied by their alpha as they are
// read: light ones are, in skins newer than 7.45 that are not brightened
// (Brightness 0 or less); older skins and brightened ones expect them as
// they are.
bool PremultipliesPngPictures(double Version, int Brightness);

} // namespace skin
