#include "PixelRows.h"

#include <algorithm>
#include <cstddef>

#include "PixelMath.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace skin::pixel {

void BlendRowBySourceAlphaPlain(std::uint32_t *Dst, const std::uint32_t *Src, int Count) {
    for (int i = 0; i < Count; ++i) {
        const std::uint32_t s = Src[i], d = Dst[i];
        const int a = Alpha(s);
        // d moved toward s by a of 256.
        const auto mix = [a](int dc, int sc) { return (dc * 256 + (sc - dc) * a) >> 8; };
        Dst[i] = Make(mix(Blue(d), Blue(s)), mix(Green(d), Green(s)), mix(Red(d), Red(s)), std::max(a, Alpha(d)));
    }
}

void FillRow32Plain(std::uint32_t *Dst, int Count, std::uint32_t Value) {
    for (int i = 0; i < Count; ++i) Dst[i] = Value;
}

void TintRow32Plain(std::uint32_t *Dst, int Count, std::uint32_t Colour, std::uint8_t Percent, std::uint8_t Alpha) {
    // Integer division truncates toward zero, as the tint is defined.
    const auto tint = [Percent](int c, int k) { return ClampByte(c - (c - k) * Percent / 100); };
    for (int i = 0; i < Count; ++i) {
        const std::uint32_t p = Dst[i];
        Dst[i] = Make(tint(Blue(p), Blue(Colour)), tint(Green(p), Green(Colour)), tint(Red(p), Red(Colour)), Alpha);
    }
}

#if defined(__SSE2__)

// The fast forms work on four pixels at once in 16-bit lanes: the even
// bytes of each pixel (blue, red) in one register, the odd bytes (green,
// alpha) in another, so that no unpacking and packing is needed.

namespace {

const __m128i *In(const std::uint32_t *p) { return reinterpret_cast<const __m128i *>(p); }
__m128i *Out(std::uint32_t *p) { return reinterpret_cast<__m128i *>(p); }

__m128i EvenBytes(__m128i v) { return _mm_and_si128(v, _mm_set1_epi16(0x00FF)); }
__m128i OddBytes(__m128i v) { return _mm_srli_epi16(v, 8); }
__m128i Join(__m128i even, __m128i odd) { return _mm_or_si128(even, _mm_slli_epi16(odd, 8)); }

// d + floor((s - d) * a / 256), which is (d * 256 + (s - d) * a) >> 8: the
// signed high half of ((s - d) << 7) * (2a) is that floor, and both factors
// fit a signed 16-bit lane.
__m128i MixLanes(__m128i d, __m128i s, __m128i twiceAlpha) {
    return _mm_add_epi16(d, _mm_mulhi_epi16(_mm_slli_epi16(_mm_sub_epi16(s, d), 7), twiceAlpha));
}

// The tint as one rounding of a product: for Percent <= 100,
//   c - (c - k) * P div 100 = (c * (100 - P) + k * P + (c >= k ? 99 : 0)) div 100
// (the truncation toward zero is a ceiling for c >= k and a floor below),
// and the numerator stays below 25600, where ((x * 41944) >> 16) >> 6 is
// exactly x div 100. Scale, Offset and KeyLess are per lane; in the alpha
// lane Scale 0, Offset Alpha * 100 and KeyLess 0x7FFF give Alpha.
struct TTintLanes {
    __m128i Scale, Offset, KeyLess;
};

__m128i TintLanes(__m128i c, const TTintLanes &t) {
    const __m128i atOrAbove = _mm_and_si128(_mm_cmpgt_epi16(c, t.KeyLess), _mm_set1_epi16(99));
    const __m128i x = _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(c, t.Scale), t.Offset), atOrAbove);
    return _mm_srli_epi16(_mm_mulhi_epu16(x, _mm_set1_epi16(static_cast<short>(41944))), 6);
}

TTintLanes TintLanesOf(int k0, int k1, int percent, int alpha, bool alphaLane) {
    const short scale = static_cast<short>(100 - percent);
    const short offset0 = static_cast<short>(k0 * percent);
    const short offset1 = static_cast<short>(alphaLane ? alpha * 100 : k1 * percent);
    return {_mm_set_epi16(alphaLane ? 0 : scale, scale, alphaLane ? 0 : scale, scale, alphaLane ? 0 : scale, scale,
                          alphaLane ? 0 : scale, scale),
            _mm_set_epi16(offset1, offset0, offset1, offset0, offset1, offset0, offset1, offset0),
            _mm_set_epi16(static_cast<short>(alphaLane ? 0x7FFF : k1 - 1), static_cast<short>(k0 - 1),
                          static_cast<short>(alphaLane ? 0x7FFF : k1 - 1), static_cast<short>(k0 - 1),
                          static_cast<short>(alphaLane ? 0x7FFF : k1 - 1), static_cast<short>(k0 - 1),
                          static_cast<short>(alphaLane ? 0x7FFF : k1 - 1), static_cast<short>(k0 - 1))};
}

// Four pixels blended in place.
void BlendFour(std::uint32_t *Dst, const std::uint32_t *Src) {
    const __m128i s = _mm_loadu_si128(In(Src));
    const __m128i d = _mm_loadu_si128(In(Dst));
    // 2a in the green lane only, so that the alpha lane keeps da, and in both even lanes.
    const __m128i oddAlpha = _mm_slli_epi32(_mm_srli_epi32(s, 24), 1);
    const __m128i evenAlpha = _mm_or_si128(oddAlpha, _mm_slli_epi32(oddAlpha, 16));
    const __m128i mixed =
        Join(MixLanes(EvenBytes(d), EvenBytes(s), evenAlpha), MixLanes(OddBytes(d), OddBytes(s), oddAlpha));
    // Alpha: max(da, sa).
    _mm_storeu_si128(Out(Dst), _mm_max_epu8(mixed, _mm_and_si128(s, _mm_set1_epi32(static_cast<int>(0xFF000000u)))));
}

// Four pixels tinted in place.
void TintFour(std::uint32_t *Dst, const TTintLanes &even, const TTintLanes &odd) {
    const __m128i c = _mm_loadu_si128(In(Dst));
    _mm_storeu_si128(Out(Dst), Join(TintLanes(EvenBytes(c), even), TintLanes(OddBytes(c), odd)));
}

// Whole images stream through the cache: the loops ask for the line a few
// rows of pixels ahead once per line they work on, so that memory works
// while the pixels are mixed.
void Prefetch(const std::uint32_t *p) { _mm_prefetch(reinterpret_cast<const char *>(p) + 2048, _MM_HINT_T0); }

} // namespace

void BlendRowBySourceAlpha(std::uint32_t *Dst, const std::uint32_t *Src, int Count) {
    int i = 0;
    for (; i + 16 <= Count; i += 16) {
        Prefetch(Src + i);
        Prefetch(Dst + i);
        for (int j = 0; j < 16; j += 4) BlendFour(Dst + i + j, Src + i + j);
    }
    for (; i + 4 <= Count; i += 4) BlendFour(Dst + i, Src + i);
    BlendRowBySourceAlphaPlain(Dst + i, Src + i, Count - i);
}

void FillRow32(std::uint32_t *Dst, int Count, std::uint32_t Value, bool Streaming) {
    int i = 0;
    // Aligned stores from the first 16-byte boundary on.
    while (i < Count && (reinterpret_cast<std::uintptr_t>(Dst + i) & 15) != 0) Dst[i++] = Value;
    const __m128i v = _mm_set1_epi32(static_cast<int>(Value));
    if (Streaming)
        for (; i + 4 <= Count; i += 4) _mm_stream_si128(Out(Dst + i), v);
    else
        for (; i + 4 <= Count; i += 4) _mm_store_si128(Out(Dst + i), v);
    FillRow32Plain(Dst + i, Count - i, Value);
}

void EndStreamingStores() { _mm_sfence(); }

void TintRow32(std::uint32_t *Dst, int Count, std::uint32_t Colour, std::uint8_t Percent, std::uint8_t Alpha) {
    // Percents above 100 push past the colour and need clamping: rare, left to the plain form.
    if (Percent > 100) return TintRow32Plain(Dst, Count, Colour, Percent, Alpha);
    const TTintLanes even = TintLanesOf(Blue(Colour), Red(Colour), Percent, Alpha, false);
    const TTintLanes odd = TintLanesOf(Green(Colour), 0, Percent, Alpha, true);
    int i = 0;
    for (; i + 16 <= Count; i += 16) {
        Prefetch(Dst + i);
        for (int j = 0; j < 16; j += 4) TintFour(Dst + i + j, even, odd);
    }
    for (; i + 4 <= Count; i += 4) TintFour(Dst + i, even, odd);
    TintRow32Plain(Dst + i, Count - i, Colour, Percent, Alpha);
}

#else

void BlendRowBySourceAlpha(std::uint32_t *Dst, const std::uint32_t *Src, int Count) {
    BlendRowBySourceAlphaPlain(Dst, Src, Count);
}
void FillRow32(std::uint32_t *Dst, int Count, std::uint32_t Value, bool) { FillRow32Plain(Dst, Count, Value); }
void EndStreamingStores() {}
void TintRow32(std::uint32_t *Dst, int Count, std::uint32_t Colour, std::uint8_t Percent, std::uint8_t Alpha) {
    TintRow32Plain(Dst, Count, Colour, Percent, Alpha);
}

#endif

} // namespace skin::pixel
