#include "vlColorManager.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace skin {

namespace {

[[noreturn]] void RaiseConversion(const char *Message) { throw EColorConversionError(Message); }

constexpr const char *DepthMessage = "Color depth is invalid. Bits per sample must be 1, 2, 4, 8 or 16.";
constexpr const char *SamplesMessage = "Sample count per pixel does not correspond to the given color scheme.";

bool IsIndexedLikeSource(TColorScheme s) { return s == csIndexed || s == csG || s == csGA; }
bool IsIndexedLikeTarget(TColorScheme s) { return s == csIndexed || s == csG; }
bool HasAlpha(TColorScheme s) { return s == csGA || s == csRGBA || s == csBGRA; }
bool IsRGBOrder(TColorScheme s) { return s == csRGB || s == csRGBA; }
bool IsBGROrder(TColorScheme s) { return s == csBGR || s == csBGRA; }

unsigned MaxValue(int bits) { return (1u << bits) - 1; }

// 16-bit samples to 8 bits: (v * 255) div 65535, truncating.
inline std::uint8_t Reduce16(unsigned v) { return static_cast<std::uint8_t>(v * 255 / 65535); }
inline unsigned Word(const std::uint8_t *s, bool swap) { return swap ? (s[0] << 8 | s[1]) : (s[0] | s[1] << 8); }
inline void StoreWord(std::uint8_t *t, unsigned v) {
    t[0] = static_cast<std::uint8_t>(v);
    t[1] = static_cast<std::uint8_t>(v >> 8);
}
inline unsigned SwapWord(unsigned v) { return (v >> 8 | v << 8) & 0xFFFF; }

// Bit-packed samples, the most significant bits of a byte first.
inline unsigned ReadPacked(const std::uint8_t *row, int index, int bits) {
    if (bits == 8) return row[index];
    const int bit = index * bits;
    const int shift = 8 - bits - bit % 8;
    return (row[bit / 8] >> shift) & MaxValue(bits);
}
inline void WritePacked(std::uint8_t *row, int index, int bits, unsigned value) {
    if (bits == 8) {
        row[index] = static_cast<std::uint8_t>(value);
        return;
    }
    const int bit = index * bits;
    const int shift = 8 - bits - bit % 8;
    const unsigned mask = MaxValue(bits) << shift;
    row[bit / 8] = static_cast<std::uint8_t>((row[bit / 8] & ~mask) | ((value << shift) & mask));
}

// Calls f(target index, source index) for every target pixel the mask takes.
// The interlace masks take evenly spaced pixels: those are stepped over
// directly rather than tested one by one.
template <class F> void ForEachTaken(int Count, std::uint8_t Mask, F f) {
    if (Mask == 0xFF) {
        for (int x = 0; x < Count; ++x) f(x, x);
        return;
    }
    int first = -1, step = 0, taken = 0;
    bool regular = true;
    for (int b = 0, last = -1; b < 8; ++b) {
        if (!(Mask & (0x80 >> b))) continue;
        if (first < 0) first = b;
        else if (step == 0) step = b - last;
        else if (b - last != step) regular = false;
        last = b;
        ++taken;
    }
    if (taken == 0) return;
    if (step == 0) step = 8;
    if (regular && step * taken == 8) {
        for (int x = first, i = 0; x < Count; x += step, ++i) f(x, i);
        return;
    }
    int i = 0;
    for (int x = 0; x < Count; ++x)
        if (Mask & (0x80 >> (x % 8))) f(x, i++);
}

// Per-sample helpers of the 8-bit targets, picked once per row.
struct TPlain8 {
    static constexpr int Bytes = 1;
    std::uint8_t operator()(const std::uint8_t *s) const { return *s; }
};
struct TGamma8 {
    static constexpr int Bytes = 1;
    const std::uint8_t *Table;
    std::uint8_t operator()(const std::uint8_t *s) const { return Table[*s]; }
};
template <bool Swap> struct T16To8 {
    static constexpr int Bytes = 2;
    std::uint8_t operator()(const std::uint8_t *s) const { return Reduce16(Word(s, Swap)); }
};
template <bool Swap> struct T16To8Gamma {
    static constexpr int Bytes = 2;
    const std::uint8_t *Table;
    std::uint8_t operator()(const std::uint8_t *s) const { return Table[Reduce16(Word(s, Swap))]; }
};

// Red-green-blue rows to 8-bit targets. Colour samples go through Colour,
// the alpha sample (never corrected) through Alpha.
template <class Colour, class Alpha>
void RGBRowTo8(const std::uint8_t *Source, std::uint8_t *Target, int Count, std::uint8_t Mask, Colour colour,
               Alpha alpha, bool Swap, bool SourceAlpha, bool TargetAlpha) {
    const int sourceStep = (SourceAlpha ? 4 : 3) * Colour::Bytes;
    const int targetStep = TargetAlpha ? 4 : 3;
    const int first = Swap ? 2 : 0;
    const int last = 2 - first;
    const bool copyAlpha = SourceAlpha && TargetAlpha;
    ForEachTaken(Count, Mask, [&](int x, int i) {
        const std::uint8_t *s = Source + static_cast<std::ptrdiff_t>(i) * sourceStep;
        std::uint8_t *t = Target + static_cast<std::ptrdiff_t>(x) * targetStep;
        t[0] = colour(s + first * Colour::Bytes);
        t[1] = colour(s + Colour::Bytes);
        t[2] = colour(s + last * Colour::Bytes);
        if (copyAlpha) t[3] = alpha(s + 3 * Colour::Bytes);
    });
}

// The common case of every 8-bit RGBA image: exchange red and blue of whole
// rows, four pixels at a time.
void SwapRedBlue32(const std::uint8_t *Source, std::uint8_t *Target, int Count) {
    int x = 0;
#if defined(__SSE2__)
    const __m128i keep = _mm_set1_epi32(static_cast<int>(0xFF00FF00u));
    const __m128i swap = _mm_set1_epi32(0x00FF00FF);
    for (; x + 4 <= Count; x += 4) {
        const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i *>(Source + x * 4));
        const __m128i rb = _mm_and_si128(p, swap);
        const __m128i moved = _mm_or_si128(_mm_slli_epi32(rb, 16), _mm_srli_epi32(rb, 16));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(Target + x * 4),
                         _mm_or_si128(_mm_and_si128(p, keep), moved));
    }
#endif
    for (; x < Count; ++x) {
        std::uint32_t p;
        std::memcpy(&p, Source + x * 4, 4);
        const std::uint32_t rb = p & 0x00FF00FF;
        p = (p & 0xFF00FF00) | (rb << 16) | (rb >> 16);
        std::memcpy(Target + x * 4, &p, 4);
    }
}

// The same for 8-bit RGB rows, three bytes a pixel. Sixteen pixels are
// three 16-byte registers; in each, a byte keeps its place (green), takes
// the byte two places on (blue into red's place) or two places back (red
// into blue's), across the registers' borders where it must.
void SwapRedBlue24Block(const std::uint8_t *Source, std::uint8_t *Target, int Count) {
    int x = 0;
#if defined(__SSE2__)
    // By register: which bytes stay, come from ahead and come from behind.
    alignas(16) static const auto masks = [] {
        std::array<std::array<std::array<std::uint8_t, 16>, 3>, 3> m{};
        for (int r = 0; r < 3; ++r)
            for (int j = 0; j < 16; ++j) m[r][(16 * r + j) % 3 == 1 ? 0 : (16 * r + j) % 3 == 0 ? 1 : 2][j] = 0xFF;
        return m;
    }();
    const auto mask = [](int r, int kind) { return _mm_load_si128(reinterpret_cast<const __m128i *>(masks[r][kind].data())); };
    for (; x + 16 <= Count; x += 16) {
        const __m128i *s = reinterpret_cast<const __m128i *>(Source + 3 * x);
        const __m128i r0 = _mm_loadu_si128(s), r1 = _mm_loadu_si128(s + 1), r2 = _mm_loadu_si128(s + 2);
        const __m128i ahead[3] = {_mm_or_si128(_mm_srli_si128(r0, 2), _mm_slli_si128(r1, 14)),
                                  _mm_or_si128(_mm_srli_si128(r1, 2), _mm_slli_si128(r2, 14)), _mm_srli_si128(r2, 2)};
        const __m128i behind[3] = {_mm_slli_si128(r0, 2), _mm_or_si128(_mm_slli_si128(r1, 2), _mm_srli_si128(r0, 14)),
                                   _mm_or_si128(_mm_slli_si128(r2, 2), _mm_srli_si128(r1, 14))};
        const __m128i in[3] = {r0, r1, r2};
        __m128i *t = reinterpret_cast<__m128i *>(Target + 3 * x);
        for (int r = 0; r < 3; ++r)
            _mm_storeu_si128(t + r, _mm_or_si128(_mm_and_si128(in[r], mask(r, 0)),
                                                 _mm_or_si128(_mm_and_si128(ahead[r], mask(r, 1)),
                                                              _mm_and_si128(behind[r], mask(r, 2)))));
    }
#endif
    for (; x < Count; ++x) {
        const std::uint8_t *s = Source + 3 * x;
        std::uint8_t *t = Target + 3 * x;
        const std::uint8_t r = s[0];
        t[1] = s[1];
        t[0] = s[2];
        t[2] = r;
    }
}

// Converted in a buffer that stays in the cache and copied out whole: the
// copy fills the scan line's cache lines without reading them first.
void SwapRedBlue24(const std::uint8_t *Source, std::uint8_t *Target, int Count) {
    constexpr int Block = 1024;
    std::uint8_t converted[3 * Block];
    for (int x = 0; x < Count; x += Block) {
        const int n = std::min(Block, Count - x);
        SwapRedBlue24Block(Source + 3 * x, converted, n);
        std::memcpy(Target + 3 * x, converted, 3 * static_cast<std::size_t>(n));
    }
}

} // namespace

TColorManager::TColorManager() { SetGammaTables(1.0, 2.2); }

void TColorManager::SetSourceBitsPerSample(int Value) {
    if (Value < 1 || Value > 16) RaiseConversion(DepthMessage);
    SetChanged(Value != FSourceBitsPerSample);
    FSourceBitsPerSample = static_cast<std::uint8_t>(Value);
}

void TColorManager::SetTargetBitsPerSample(int Value) {
    if (Value < 1 || Value > 16) RaiseConversion(DepthMessage);
    SetChanged(Value != FTargetBitsPerSample);
    FTargetBitsPerSample = static_cast<std::uint8_t>(Value);
}

void TColorManager::SetSourceSamplesPerPixel(int Value) {
    if (Value < 1 || Value > 4) RaiseConversion(SamplesMessage);
    SetChanged(Value != FSourceSamplesPerPixel);
    FSourceSamplesPerPixel = static_cast<std::uint8_t>(Value);
}

void TColorManager::SetTargetSamplesPerPixel(int Value) {
    if (Value < 1 || Value > 4) RaiseConversion(SamplesMessage);
    SetChanged(Value != FTargetSamplesPerPixel);
    FTargetSamplesPerPixel = static_cast<std::uint8_t>(Value);
}

void TColorManager::SetSourceColorScheme(TColorScheme Value) {
    SetChanged(Value != FSourceColorScheme);
    FSourceColorScheme = Value;
}

void TColorManager::SetTargetColorScheme(TColorScheme Value) {
    SetChanged(Value != FTargetColorScheme);
    FTargetColorScheme = Value;
}

void TColorManager::SetSourceOptions(std::uint8_t Value) {
    SetChanged(Value != FSourceOptions);
    FSourceOptions = Value;
}

void TColorManager::SetTargetOptions(std::uint8_t Value) {
    SetChanged(Value != FTargetOptions);
    FTargetOptions = Value;
}

void TColorManager::ConvertRow(TSource Source, std::uint8_t *Target, int Count, std::uint8_t Mask) {
    if (FChanged) SelectConverter();
    if (!FRowConverter) RaiseConversion("Color conversion failed. Could not find a proper method.");
    (this->*FRowConverter)(Source, Target, Count, Mask);
}

void TColorManager::SelectConverter() {
    FRowConverter = nullptr;
    if (IsIndexedLikeSource(FSourceColorScheme) != IsIndexedLikeTarget(FTargetColorScheme))
        RaiseConversion("Conversion between indexed and non-indexed pixel formats is not supported.");
    FSourceOptions = static_cast<std::uint8_t>(HasAlpha(FSourceColorScheme) ? FSourceOptions | coAlpha
                                                                            : FSourceOptions & ~coAlpha);
    FTargetOptions = static_cast<std::uint8_t>(HasAlpha(FTargetColorScheme) ? FTargetOptions | coAlpha
                                                                            : FTargetOptions & ~coAlpha);
    const int sd = FSourceBitsPerSample, td = FTargetBitsPerSample;
    const auto is8or16 = [](int d) { return d == 8 || d == 16; };
    // Packed samples are read and written inside one byte, which only depths
    // that divide a byte allow. The setters take any depth up to 16; the
    // others (3, 5, 12...) get no converter instead of shifts by negative counts.
    const auto packable = [](int d) { return d == 1 || d == 2 || d == 4 || d == 8; };
    switch (FSourceColorScheme) {
    case csIndexed:
        if (sd == 16 || td == 16) {
            if ((sd == 16 || packable(sd)) && (td == 16 || packable(td))) FRowConverter = &TColorManager::ConvertIndexed16;
        } else if (packable(sd) && packable(td)) {
            FRowConverter = &TColorManager::ConvertPackedSamples;
        }
        break;
    case csG:
        if (sd != 16 && td != 16) {
            if (packable(sd) && packable(td)) FRowConverter = &TColorManager::ConvertPackedSamples;
        } else if (sd >= 8 && td >= 8) {
            FRowConverter = &TColorManager::ConvertGrey;
        }
        break;
    case csGA:
        if (is8or16(sd) && is8or16(td)) FRowConverter = &TColorManager::ConvertGrey;
        break;
    case csRGB:
    case csRGBA:
    case csBGR:
    case csBGRA: {
        const bool rgbTarget = IsRGBOrder(FTargetColorScheme), bgrTarget = IsBGROrder(FTargetColorScheme);
        // Samples of 16 bits are read as words, all others as bytes.
        if (rgbTarget || bgrTarget) {
            FRowConverter = &TColorManager::ConvertRGB;
            FSwapRedBlue = IsRGBOrder(FSourceColorScheme) == bgrTarget;
        }
        break;
    }
    case csCMYK:
    case csCIELab:
    case csYCbCr:
    case csPhotoYCC:
        if (IsRGBOrder(FTargetColorScheme) || IsBGROrder(FTargetColorScheme)) {
            if (FSourceColorScheme == csYCbCr) BuildYCbCrTables(128, 128);
            if (FSourceColorScheme == csPhotoYCC) BuildYCbCrTables(137, 156);
            FRowConverter = &TColorManager::ConvertOther;
        }
        break;
    default:
        break;
    }
    FChanged = false;
}

void TColorManager::ConvertPackedSamples(TSource Sources, std::uint8_t *Target, int Count, std::uint8_t Mask) {
    const std::uint8_t *Source = Sources[0];
    const int sd = FSourceBitsPerSample, td = FTargetBitsPerSample;
    if (sd == td && Mask == 0xFF) {
        std::memcpy(Target, Source, (static_cast<std::size_t>(sd) * Count + 7) / 8);
        return;
    }
    const unsigned sourceMax = MaxValue(sd), targetMax = MaxValue(td);
    ForEachTaken(Count, Mask, [&](int x, int i) {
        WritePacked(Target, x, td, ReadPacked(Source, i, sd) * targetMax / sourceMax);
    });
}

void TColorManager::ConvertGrey(TSource Sources, std::uint8_t *Target, int Count, std::uint8_t Mask) {
    const std::uint8_t *Source = Sources[0];
    const int sourceBytes = FSourceBitsPerSample == 16 ? 2 : 1;
    const int sourceStep = sourceBytes * ((FSourceOptions & coAlpha) ? 2 : 1);
    const bool swap = FSourceOptions & coNeedByteSwap;
    const bool wide = FTargetBitsPerSample == 16;
    ForEachTaken(Count, Mask, [&](int x, int i) {
        const std::uint8_t *s = Source + static_cast<std::ptrdiff_t>(i) * sourceStep;
        if (!wide)
            Target[x] = sourceBytes == 1 ? *s : Reduce16(Word(s, swap));
        else
            StoreWord(Target + 2 * static_cast<std::ptrdiff_t>(x), sourceBytes == 1 ? *s * 65535u / 255 : Word(s, swap));
    });
}

void TColorManager::ConvertIndexed16(TSource Sources, std::uint8_t *Target, int Count, std::uint8_t Mask) {
    const std::uint8_t *Source = Sources[0];
    const int sd = FSourceBitsPerSample, td = FTargetBitsPerSample;
    const bool swap = FSourceOptions & coNeedByteSwap;
    const unsigned sourceMax = MaxValue(sd), targetMax = MaxValue(td);
    ForEachTaken(Count, Mask, [&](int x, int i) {
        if (sd == 16 && td == 16) {
            StoreWord(Target + 2 * static_cast<std::ptrdiff_t>(x), Word(Source + 2 * static_cast<std::ptrdiff_t>(i), swap));
        } else if (sd == 16) {
            const unsigned v = Word(Source + 2 * static_cast<std::ptrdiff_t>(i), swap);
            WritePacked(Target, x, td, static_cast<unsigned>(std::uint64_t{v} * targetMax / 65535));
        } else {
            const unsigned v = ReadPacked(Source, i, sd) * 65535u / sourceMax;
            StoreWord(Target + 2 * static_cast<std::ptrdiff_t>(x), swap ? SwapWord(v) : v);
        }
    });
}

void TColorManager::ConvertRGB(TSource Sources, std::uint8_t *Target, int Count, std::uint8_t Mask) {
    const std::uint8_t *Source = Sources[0];
    const bool sourceAlpha = FSourceOptions & coAlpha, targetAlpha = FTargetOptions & coAlpha;
    const bool swap = FSourceOptions & coNeedByteSwap;
    const bool gamma = FTargetOptions & coApplyGamma;
    const bool wideSource = FSourceBitsPerSample == 16;
    const std::uint8_t *table = FGammaTable.data();
    if (FTargetBitsPerSample == 16) {
        // 16-bit targets: the same with words (no gamma: the table has 8 bits).
        const int sourceBytes = wideSource ? 2 : 1;
        const int sourceStep = (sourceAlpha ? 4 : 3) * sourceBytes;
        const int targetStep = targetAlpha ? 8 : 6;
        const int order[3] = {FSwapRedBlue ? 2 : 0, 1, FSwapRedBlue ? 0 : 2};
        ForEachTaken(Count, Mask, [&](int x, int i) {
            const std::uint8_t *s = Source + static_cast<std::ptrdiff_t>(i) * sourceStep;
            std::uint8_t *t = Target + static_cast<std::ptrdiff_t>(x) * targetStep;
            const int channels = sourceAlpha && targetAlpha ? 4 : 3;
            for (int c = 0; c < channels; ++c) {
                const std::uint8_t *sample = s + (c < 3 ? order[c] : 3) * sourceBytes;
                StoreWord(t + 2 * c, wideSource ? Word(sample, swap) : *sample * 65535u / 255);
            }
        });
        return;
    }
    if (!wideSource && !gamma && Mask == 0xFF && FSwapRedBlue && sourceAlpha && targetAlpha) {
        SwapRedBlue32(Source, Target, Count);
        return;
    }
    if (!wideSource && !gamma && Mask == 0xFF && FSwapRedBlue && !sourceAlpha && !targetAlpha) {
        SwapRedBlue24(Source, Target, Count);
        return;
    }
    const bool s = FSwapRedBlue;
    if (!wideSource) {
        if (gamma) RGBRowTo8(Source, Target, Count, Mask, TGamma8{table}, TPlain8{}, s, sourceAlpha, targetAlpha);
        else RGBRowTo8(Source, Target, Count, Mask, TPlain8{}, TPlain8{}, s, sourceAlpha, targetAlpha);
    } else if (swap) {
        if (gamma)
            RGBRowTo8(Source, Target, Count, Mask, T16To8Gamma<true>{table}, T16To8<true>{}, s, sourceAlpha, targetAlpha);
        else
            RGBRowTo8(Source, Target, Count, Mask, T16To8<true>{}, T16To8<true>{}, s, sourceAlpha, targetAlpha);
    } else {
        if (gamma)
            RGBRowTo8(Source, Target, Count, Mask, T16To8Gamma<false>{table}, T16To8<false>{}, s, sourceAlpha,
                      targetAlpha);
        else
            RGBRowTo8(Source, Target, Count, Mask, T16To8<false>{}, T16To8<false>{}, s, sourceAlpha, targetAlpha);
    }
}

void TColorManager::BuildYCbCrTables(int CrOffset, int CbOffset) {
    for (int i = 0; i < 256; ++i) {
        const double cr = i - CrOffset, cb = i - CbOffset;
        FCrToRed[i] = static_cast<int>(std::nearbyint(cr * (2 - 2 * FLumaRed)));
        FCbToBlue[i] = static_cast<int>(std::nearbyint(cb * (2 - 2 * FLumaBlue)));
        FCrToGreen[i] = static_cast<int>(std::nearbyint(-cr * FLumaRed * (2 - 2 * FLumaRed) / FLumaGreen));
        FCbToGreen[i] = static_cast<int>(std::nearbyint(-cb * FLumaBlue * (2 - 2 * FLumaBlue) / FLumaGreen));
    }
}

void TColorManager::ConvertOther(TSource Source, std::uint8_t *Target, int Count, std::uint8_t Mask) {
    const int samples = FSourceColorScheme == csCMYK ? 4 : 3;
    const bool planar = Source.size() >= static_cast<std::size_t>(samples);
    const bool wideSource = FSourceBitsPerSample == 16, wideTarget = FTargetBitsPerSample == 16;
    const bool swap = FSourceOptions & coNeedByteSwap;
    const int targetStep = (FTargetOptions & coAlpha ? 4 : 3) * (wideTarget ? 2 : 1);
    const bool bgr = IsBGROrder(FTargetColorScheme);
    const auto clamp = [](double v) { return static_cast<int>(std::clamp(v, 0.0, 255.0)); };
    ForEachTaken(Count, Mask, [&](int x, int i) {
        // Sample c of source pixel i as 8 bits: 16-bit samples are reduced.
        const auto sample = [&](int c) -> int {
            const std::size_t index = planar ? std::size_t(i) : std::size_t(i) * samples + c;
            const std::uint8_t *row = Source[planar ? c : 0];
            return wideSource ? Reduce16(Word(row + 2 * index, swap)) : row[index];
        };
        int r, g, b;
        if (FSourceColorScheme == csCMYK) {
            const int k = sample(3);
            const auto channel = [&](int v) { return clamp(255 - (v - v * k / 255 + k)); };
            r = channel(sample(0)), g = channel(sample(1)), b = channel(sample(2));
        } else if (FSourceColorScheme == csCIELab) {
            const double l = FSourceOptions & coLabByteRange ? sample(0) / 2.55 : sample(0);
            const auto chroma = [&](int c) {
                return FSourceOptions & coLabChromaOffset ? sample(c) - 128.0 : double(static_cast<std::int8_t>(sample(c)));
            };
            const double a = chroma(1), bb = chroma(2);
            double X, Y, Z;
            if (l >= 7.9996) {
                const double fy = (l + 16) / 116;
                X = std::pow(a / 500 + fy, 3), Y = fy * fy * fy, Z = std::pow(fy - bb / 200, 3);
            } else {
                Y = l / 903.3, X = a / 3893.5 + Y, Z = Y - bb / 1557.4;
            }
            r = clamp(std::nearbyint((2.998 * X - 1.458 * Y - 0.541 * Z) * 255));
            g = clamp(std::nearbyint((-0.952 * X + 1.893 * Y + 0.059 * Z) * 255));
            b = clamp(std::nearbyint((0.099 * X - 0.198 * Y + 1.099 * Z) * 255));
        } else {
            const int y = sample(0), cb = sample(1), cr = sample(2);
            r = clamp(y + FCrToRed[cr]), g = clamp(y + FCbToGreen[cb] + FCrToGreen[cr]), b = clamp(y + FCbToBlue[cb]);
        }
        // The target's alpha is left as it is.
        const int values[3] = {bgr ? b : r, g, bgr ? r : b};
        std::uint8_t *t = Target + static_cast<std::ptrdiff_t>(x) * targetStep;
        for (int c = 0; c < 3; ++c)
            if (wideTarget) StoreWord(t + 2 * c, values[c] * 257u);
            else t[c] = static_cast<std::uint8_t>(values[c]);
    });
}

void TColorManager::SetGammaTables(double Main, double Display) {
    SetGammaTables(Main, Display, FSourceBitsPerSample, FTargetBitsPerSample);
}

namespace {

// The gamma curve of source values 0..SourceMax, scaled to 0..TargetMax.
struct TGammaCurve {
    double Exponent;
    int SourceMax, TargetMax;
    std::array<std::uint8_t, 256> Values;

    bool Is(double exponent, int sourceMax, int targetMax) const {
        return Exponent == exponent && SourceMax == sourceMax && TargetMax == targetMax;
    }
};

TGammaCurve BuildGammaCurve(double Exponent, int SourceMax, int TargetMax) {
    TGammaCurve curve{Exponent, SourceMax, TargetMax, {}};
    for (int i = 0; i <= SourceMax; ++i)
        curve.Values[i] = static_cast<std::uint8_t>(
            std::nearbyint(std::pow(static_cast<double>(i) / SourceMax, Exponent) * TargetMax));
    return curve;
}

// A curve costs 256 calls of pow, more than decoding a small glyph, and
// every image starts with the same one: that one is built once, and the
// last other one is kept per thread (the files of one program tend to
// share their gamma).
const TGammaCurve &GammaCurve(double Exponent, int SourceMax, int TargetMax) {
    static const TGammaCurve standard = BuildGammaCurve(1.0 / (1.0 * 2.2), 255, 255);
    if (standard.Is(Exponent, SourceMax, TargetMax)) return standard;
    thread_local TGammaCurve last = standard;
    if (!last.Is(Exponent, SourceMax, TargetMax)) last = BuildGammaCurve(Exponent, SourceMax, TargetMax);
    return last;
}

} // namespace

void TColorManager::SetGammaTables(double Main, double Display, int SourceBits, int TargetBits) {
    FMainGamma = Main > 0 ? Main : 1.0;
    FDisplayGamma = Display > 0 ? Display : 2.2;
    const double exponent = 1.0 / (FMainGamma * FDisplayGamma);
    const int sourceMax = SourceBits >= 8 ? 255 : static_cast<int>(MaxValue(SourceBits));
    const int targetMax = TargetBits >= 8 ? 255 : static_cast<int>(MaxValue(TargetBits));
    // Entries above sourceMax keep what they held.
    const TGammaCurve &curve = GammaCurve(exponent, sourceMax, targetMax);
    std::copy_n(curve.Values.begin(), sourceMax + 1, FGammaTable.begin());
}

vcl::TPixelFormat TColorManager::TargetPixelFormat() const {
    const int bits = FTargetBitsPerSample;
    switch (FTargetSamplesPerPixel) {
    case 1:
        if (bits == 1) return vcl::pf1bit;
        if (bits >= 2 && bits <= 4) return vcl::pf4bit;
        if (bits >= 8) return vcl::pf8bit;
        return vcl::pfCustom;
    case 3: return bits <= 5 ? vcl::pf15bit : vcl::pf24bit;
    case 4: return bits >= 8 ? vcl::pf32bit : vcl::pfCustom;
    default: return vcl::pfCustom;
    }
}

std::vector<vcl::TBGRA> TColorManager::CreateGrayscalePalette(bool WhiteFirst) const {
    const int bits = std::min(FTargetBitsPerSample * FTargetSamplesPerPixel, 8);
    const int count = 1 << bits;
    const int step = 255 / (count - 1);
    const bool gamma = FTargetOptions & coApplyGamma;
    std::vector<vcl::TBGRA> palette(count);
    for (int i = 0; i < count; ++i) {
        const int level = (WhiteFirst ? count - 1 - i : i) * step;
        const std::uint8_t v = gamma ? FGammaTable[level] : static_cast<std::uint8_t>(level);
        palette[i] = vcl::TBGRA{v, v, v, 0};
    }
    return palette;
}

std::vector<vcl::TBGRA> TColorManager::CreatePaletteFromEntries(const std::uint8_t *Data, int ColorCount) const {
    const int count = std::clamp(ColorCount, 0, 256);
    const bool gamma = FTargetOptions & coApplyGamma;
    const auto correct = [&](std::uint8_t v) { return gamma ? FGammaTable[v] : v; };
    std::vector<vcl::TBGRA> entries(count);
    for (int i = 0; i < count; ++i) {
        const std::uint8_t *rgb = Data + 3 * i;
        entries[i] = vcl::TBGRA{correct(rgb[2]), correct(rgb[1]), correct(rgb[0]), 0};
    }
    const std::uint64_t sourceMax = (std::uint64_t{1} << FSourceBitsPerSample) - 1;
    const std::uint64_t targetMax = (std::uint64_t{1} << FTargetBitsPerSample) - 1;
    if (FTargetBitsPerSample >= 9 || sourceMax == targetMax) return entries;
    // Spread over the target's index range (a 2-bit image's index k is
    // stored as 5k in its 4-bit bitmap); indices beyond the file's entries
    // are black.
    std::vector<vcl::TBGRA> spread(targetMax + 1);
    for (std::uint64_t i = 0; i <= targetMax; ++i) {
        const std::uint64_t from = i * sourceMax / targetMax;
        if (from < entries.size()) spread[i] = entries[from];
    }
    return spread;
}

} // namespace skin
