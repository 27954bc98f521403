#include "sSkinImageCodes.h"

#include <algorithm>
#include <cstring>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "skin/graphics/vlCommonUtils.h"
#include "skin/graphics/vlPixelHelpers.h"
#include "vcl/SysUtils.h"

namespace skin {

namespace {

[[noreturn]] void RaiseRange(std::string_view What, std::int64_t Value) {
    throw vcl::EConvertError(std::string(What) + " " + vcl::IntToStr(Value) + " is out of range");
}

// A word of a '!' value stored into a 16-bit field: refused rather than cut.
std::int16_t Checked16(std::int32_t Value, std::string_view What, std::int32_t Min = INT16_MIN) {
    if (Value < Min || Value > INT16_MAX) RaiseRange(What, Value);
    return static_cast<std::int16_t>(Value);
}

std::int16_t ImageCountOf(std::int32_t Value) { return Value < 1 ? 1 : Checked16(Value, "Image count"); }

std::uint8_t ImageKindOf(std::int32_t Value) { return static_cast<std::uint8_t>(std::clamp(Value, 0, 4)); }

bool ContainsText(std::string_view S, std::string_view Part) { return S.find(Part) != std::string_view::npos; }

TvlImageValue ParseInline(std::string_view V) {
    TvlImageValue r;
    r.Code = TvlImageCode::Inline;
    r.R = ParseFixedRect(V, 2);
    r.ImageCount = ImageCountOf(ParseFixedInt(V, 22, 1));
    r.MaskType = static_cast<std::int16_t>(ParseFixedInt(V, 24, 1));
    r.ImageKind = 2;
    return r;
}

TvlImageValue ParseFixed(std::string_view V) {
    TvlImageValue r;
    r.Code = TvlImageCode::Fixed;
    r.R = ParseFixedRect(V, 2);
    r.WL = static_cast<std::int16_t>(ParseFixedInt(V, 22, 4));
    r.WT = static_cast<std::int16_t>(ParseFixedInt(V, 27, 4));
    r.WR = static_cast<std::int16_t>(ParseFixedInt(V, 32, 4));
    r.WB = static_cast<std::int16_t>(ParseFixedInt(V, 37, 4));
    r.ImageCount = ImageCountOf(ParseFixedInt(V, 42, 1));
    r.MaskType = static_cast<std::int16_t>(ParseFixedInt(V, 44, 1));
    r.DrawMode = static_cast<std::uint16_t>(ParseFixedInt(V, 46, 1));
    r.BorderWidth = static_cast<std::int16_t>(ParseFixedInt(V, 48, 1));
    r.ImageKind = ImageKindOf(ListItemAsInt(4, V, "!"));
    r.DeriveMargins = r.WL == 0 && r.WT == 0 && r.WR == 0 && r.WB == 0;
    r.DetectCorners = true;
    return r;
}

TvlImageValue ParseTexture(std::string_view V) {
    TvlImageValue r;
    r.Code = TvlImageCode::Texture;
    r.R = ParseFixedRect(V, 2);
    const std::int32_t drawMode = ParseFixedInt(V, 22, 2);
    if (drawMode < 0) RaiseRange("Draw mode", drawMode);
    r.DrawMode = static_cast<std::uint16_t>(drawMode);
    r.MaskType = V.size() < 25 ? 0 : static_cast<std::int16_t>(ParseFixedInt(V, 25, 1));
    if (V.size() > 26) r.FileName = ExtractNthWord(7, V, TCharSet("~"));
    r.ImageKind = 1;
    return r;
}

TvlImageValue ParseFile(std::string_view V) {
    const TCharSet bang("!");
    TvlImageValue r;
    r.Code = TvlImageCode::File;
    r.FileName = ExtractNthWord(1, V, bang);
    r.ImageCount = ImageCountOf(ListItemAsInt(2, V, "!"));
    r.MaskType = Checked16(ListItemAsInt(3, V, "!"), "Mask type", -1);
    r.ImageKind = ImageKindOf(ListItemAsInt(4, V, "!"));
    const int words = CountWords(V, bang);
    if (words > 4) {
        r.WL = Checked16(ListItemAsInt(5, V, "!"), "Margin");
        r.WT = Checked16(ListItemAsInt(6, V, "!"), "Margin");
        r.WR = Checked16(ListItemAsInt(7, V, "!"), "Margin");
        r.WB = Checked16(ListItemAsInt(8, V, "!"), "Margin");
    } else {
        r.DeriveMargins = true;
    }
    if (words > 8) {
        const std::int32_t drawMode = ListItemAsInt(9, V, "!");
        if (drawMode < 0 || drawMode > UINT16_MAX) RaiseRange("Draw mode", drawMode);
        r.DrawMode = static_cast<std::uint16_t>(drawMode);
    }
    r.DetectCorners = r.ImageKind == 0;
    return r;
}

TvlImageValue ParsePlainFile(std::string_view V) {
    TvlImageValue r;
    r.Code = TvlImageCode::PlainFile;
    r.FileName = std::string(V);
    r.ImageKind = 1;
    r.DeriveMargins = true;
    return r;
}

} // namespace

std::int32_t ParseFixedInt(std::string_view Value, int Start, int Length) {
    const std::size_t first = static_cast<std::size_t>(Start - 1);
    if (Start < 1 || Length < 1 || first + static_cast<std::size_t>(Length) > Value.size())
        throw vcl::EConvertError("\"" + std::string(Value) + "\" has no field at column " + vcl::IntToStr(Start));
    return vcl::StrToInt(Value.substr(first, static_cast<std::size_t>(Length)));
}

vcl::TRect ParseFixedRect(std::string_view Value, int Start) {
    return {ParseFixedInt(Value, Start, 4), ParseFixedInt(Value, Start + 5, 4), ParseFixedInt(Value, Start + 10, 4),
            ParseFixedInt(Value, Start + 15, 4)};
}

std::int32_t ListItemAsInt(int N, std::string_view Value, std::string_view Delimiters) {
    return vcl::StrToIntDef(ExtractNthWord(N, Value, TCharSet(Delimiters)), 0);
}

TvlImageValue ParseImageValue(std::string_view Value) {
    if (Value.empty()) return {};
    switch (Value.front()) {
    case '@': return ParseInline(Value);
    case '^': return ParseFixed(Value);
    case '~': return ParseTexture(Value);
    case '!': return ParseFile(Value);
    default:
        if (ContainsText(Value, ".JPG") || ContainsText(Value, ".BMP")) return ParsePlainFile(Value);
        return {};
    }
}

void DeriveMaskMargins(TsMaskData &Mask, bool UseBorderWidth) {
    if (UseBorderWidth && Mask.BorderWidth != 0) {
        Mask.WL = Mask.WT = Mask.WR = Mask.WB = Mask.BorderWidth;
        return;
    }
    if (Mask.ImageCount < 1 || Mask.MaskType < 0) return;  // nothing to divide by: margins stay 0
    const auto third = [](std::int64_t length, std::int64_t parts) {
        return static_cast<std::int16_t>(std::clamp<std::int64_t>(length / (parts * 3), INT16_MIN, INT16_MAX));
    };
    Mask.WL = Mask.WR = third(Mask.R.Width(), Mask.ImageCount);
    Mask.WT = Mask.WB = third(Mask.R.Height(), Mask.MaskType + 1);
}

int DetectMaskType(const TsMaskData &Mask, const vcl::TBitmapView &Image) {
    if (Mask.ClassName == "BUTTON_HUGE" && Mask.PropertyName == "BORDERSMASK") return 2;
    if (Mask.R.Width() < 1 || !Image.HasRows()) return 0;
    const int fw = GetMaskFrameWidth(Mask);
    const int ph = GetMaskFrameHeight(Mask);
    const vcl::TRect &r = Mask.R;
    const auto hasKey = [&](std::int64_t x0, std::int64_t y0, std::int64_t w, std::int64_t h) {
        // Clipped to the image once, short of its last column and row,
        // which are never scanned; the scan itself needs no checks.
        const std::int64_t x1 = std::min<std::int64_t>(x0 + w, Image.Width - 1);
        const std::int64_t y1 = std::min<std::int64_t>(y0 + h, Image.Height - 1);
        x0 = std::max<std::int64_t>(x0, 0);
        y0 = std::max<std::int64_t>(y0, 0);
        for (std::int64_t y = y0; y < y1; ++y) {
            const std::uint32_t *row = Image.Row32(static_cast<int>(y));
            for (std::int64_t x = x0; x < x1; ++x)
                if (row[x] == KeyPixel) return true;
        }
        return false;
    };
    const std::int64_t left = r.Left, top = r.Top;
    const std::int64_t right = left + fw - Mask.WR, bottom = top + ph - Mask.WB;
    return hasKey(left, top, Mask.WL, Mask.WT) || hasKey(right, top, Mask.WR, Mask.WT) ||
                   hasKey(left, bottom, Mask.WL, Mask.WB) || hasKey(right, bottom, Mask.WR, Mask.WB)
               ? 1
               : 0;
}

namespace {

// Three-byte pixels made opaque 32-bit ones, from: x on (the key stays
// transparent). Four at a time where sixteen bytes can be read within the
// row: each pixel is moved into its own 32-bit lane by a byte shift.
int OpaqueFrom24(const std::uint8_t *From, std::uint32_t *To, int Count) {
    int x = 0;
#if defined(__SSE2__)
    const __m128i lane0 = _mm_set_epi32(0, 0, 0, 0x00FFFFFF), lane1 = _mm_set_epi32(0, 0, 0x00FFFFFF, 0);
    const __m128i lane2 = _mm_set_epi32(0, 0x00FFFFFF, 0, 0), lane3 = _mm_set_epi32(0x00FFFFFF, 0, 0, 0);
    const __m128i key = _mm_set1_epi32(static_cast<int>(KeyPixel));
    const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    for (; x + 6 <= Count; x += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(From + 3 * x));
        const __m128i p = _mm_or_si128(
            _mm_or_si128(_mm_and_si128(v, lane0), _mm_and_si128(_mm_slli_si128(v, 1), lane1)),
            _mm_or_si128(_mm_and_si128(_mm_slli_si128(v, 2), lane2), _mm_and_si128(_mm_slli_si128(v, 3), lane3)));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(To + x),
                         _mm_or_si128(p, _mm_andnot_si128(_mm_cmpeq_epi32(p, key), alpha)));
    }
#endif
    return x;
}

} // namespace

void CopyToSkinPixels(const vcl::TDibLayout &Source, const vcl::TBitmapView &Target, bool Opaque) {
    const int w = std::min(Source.Width, Target.Width), h = std::min(Source.Height, Target.Height);
    if (!Source.First || !Target.HasRows() || w <= 0 || h <= 0) return;
    const auto opaque = [](std::uint32_t p) { return p == KeyPixel ? p : p | 0xFF000000u; };
    for (int y = 0; y < h; ++y) {
        const std::uint8_t *from = Source.Line(y);
        std::uint32_t *to = Target.Row32(y);
        switch (Source.PixelFormat) {
        case vcl::pf24bit:
            // The common case of skin pictures, kept free of per-pixel calls.
            for (int x = OpaqueFrom24(from, to, w); x < w; ++x)
                to[x] = opaque(std::uint32_t{from[3 * x]} | std::uint32_t{from[3 * x + 1]} << 8 |
                               std::uint32_t{from[3 * x + 2]} << 16);
            break;
        case vcl::pf32bit:
            for (int x = 0; x < w; ++x, from += 4) {
                std::uint32_t p;
                std::memcpy(&p, from, 4);
                to[x] = Opaque ? opaque(p) : p;
            }
            break;
        default:
            for (int x = 0; x < w; ++x) {
                const vcl::TBGRA c = vcl::ReadDibPixel(Source, x, y);
                to[x] = opaque(std::uint32_t{c.B} | std::uint32_t{c.G} << 8 | std::uint32_t{c.R} << 16);
            }
            break;
        }
    }
}

bool PremultipliesPngPictures(double Version, int Brightness) { return Brightness <= 0 && Version > 7.45; }

} // namespace skin
