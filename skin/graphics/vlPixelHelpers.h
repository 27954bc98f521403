#pragma once
// Small routines on 32-bit images that every painter uses: pixel access,
// byte order, premultiplication, rect fills that set alpha, colour mixes and
// the disabled look. Pixels are bytes B, G, R, A (the value 0xAARRGGBB); a
// colour value has red in its low byte (0x00BBGGRR).
#include <cstdint>

#include "vcl/BitmapView.h"
#include "vcl/Types.h"

namespace vcl {
class TBitmap;
}

namespace skin {

struct TvlBgInfo;

// The transparent key of a 32-bit skin image: magenta with alpha 0, compared
// as the whole pixel value.
inline constexpr std::uint32_t KeyPixel = 0x00FF00FF;
// White with alpha 0: an empty pixel that premultiplication turns into 0.
inline constexpr std::uint32_t EmptyWhitePixel = 0x00FFFFFF;

// What the pixel routines read of a background record (TvlBgInfo): a view
// of the image behind the painted piece, the piece's offset in it, the
// colour to use without an image (0xFF00FF = none) and whether the image is
// to be used. The fields follow TvlBgInfo's, with Bmp as a view.
struct TBgPixels {
    vcl::TBitmapView Bmp;
    std::int32_t X = 0;
    std::int32_t Y = 0;
    vcl::TColor Color = vcl::clFuchsia;
    bool UseBmp = false;
    vcl::TRect R;  // widths of the image's borders that hold real image (a colour answer's margins)
};

// Library settings of the disabled look.
inline constexpr int DisabledSaturation = -90;  // percent; -100 is full greyscale
inline constexpr double DisabledBlendRatio = 0.4;

// Bits of PaintDisabledLook's Kind.
inline constexpr int dlBlended = 1;
inline constexpr int dlGrayed = 2;

// Pixel access; outside the image GetPixel32 answers 0 and SetPixel32 does nothing.
std::uint32_t GetPixel32(const vcl::TBitmapView &Bitmap, int X, int Y);
void SetPixel32(const vcl::TBitmapView &Bitmap, int X, int Y, std::uint32_t Value);

std::uint32_t SwapBytes32(std::uint32_t Value);
void SwapBytes32Array(std::uint32_t *Values, int N);
// Exchanges bytes 0 and 2: a colour value becomes a pixel value and back.
std::uint32_t SwapRedBlue(std::uint32_t Value);
inline std::uint32_t ColorToBGRA(vcl::TColor Color) { return SwapRedBlue(static_cast<std::uint32_t>(Color)); }

void ClearEmptyWhitePixels(const vcl::TBitmapView &Bitmap);
void PremultiplyRect(const vcl::TBitmapView &Bitmap, const vcl::TRect &R);
void PremultiplyBitmap(const vcl::TBitmapView &Bitmap);

// Rect fills; R is half-open and clipped to the image.
void FillRectAlpha(const vcl::TBitmapView &Bitmap, const vcl::TRect &R, vcl::TColor Colour, std::uint8_t Alpha);
// Sets the alpha byte; with Keep other than clNone only of pixels whose value differs from Keep.
void SetRectAlpha(const vcl::TBitmapView &Bitmap, const vcl::TRect &R, std::uint8_t Alpha,
                  vcl::TColor Keep = vcl::clNone);
void FrameRectAlpha(const vcl::TBitmapView &Bitmap, const vcl::TRect &R, int LeftW, int TopW, int RightW,
                    int BottomW, vcl::TColor Colour);
// Keeps Percent of every pixel over Colour; here R includes its right and bottom edges.
void BlendRectWithColor(const vcl::TBitmapView &Bitmap, const vcl::TRect &R, std::uint8_t Percent,
                        vcl::TColor Colour);
void TintRectAlpha(const vcl::TBitmapView &Bitmap, const vcl::TRect &R, vcl::TColor Colour, std::uint8_t Percent,
                   std::uint8_t Alpha);

// The disabled look of a control image (Kind: dlGrayed, dlBlended or both).
// ControlColor is the control's own background colour, used when BgInfo
// names neither an image nor a colour; BgInfo may be null.
void PaintDisabledLook(const vcl::TBitmapView &Bitmap, int Kind, vcl::TColor ControlColor, const TBgPixels *BgInfo,
                       vcl::TPoint Offset);

// The pixel half of drawing text with alpha: Text holds the text drawn in
// black on white at R's size; its pixels change the pixels of Dst under R.
// Mode 0 draws opaquely, any other mode transparently (premultiplied result).
void BlendTextImage32(const vcl::TBitmapView &Dst, const vcl::TRect &R, const vcl::TBitmapView &Text,
                      vcl::TColor Colour, int Mode);

#ifdef _WIN32
// What the pixel routines read of a background record: its image's 32-bit
// view (none for a missing image or one of another format), offset, colour
// and image flag.
TBgPixels BgPixels(const TvlBgInfo &Info);

// The routines above on the class library's bitmaps. A bitmap that is not
// 32-bit has no pixels to them: GetPixel32 answers 0, the others do nothing.
std::uint32_t GetPixel32(vcl::TBitmap &Bitmap, int X, int Y);
void ClearEmptyWhitePixels(vcl::TBitmap &Bitmap);
void PremultiplyRect(vcl::TBitmap &Bitmap, const vcl::TRect &R);
void PremultiplyBitmap(vcl::TBitmap &Bitmap);
void FillRectAlpha(vcl::TBitmap &Bitmap, const vcl::TRect &R, vcl::TColor Colour, std::uint8_t Alpha);
void SetRectAlpha(vcl::TBitmap &Bitmap, const vcl::TRect &R, std::uint8_t Alpha, vcl::TColor Keep = vcl::clNone);
// ControlColor as above: the colour of the control behind, which the caller
// that knows the control finds out.
void PaintDisabledLook(vcl::TBitmap &Bitmap, int Kind, vcl::TColor ControlColor, const TvlBgInfo *BgInfo,
                       vcl::TPoint Offset);
#endif

} // namespace skin
