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

bool FillBypassesCache(long long Bytes, std::size_t CacheBytes) {
    const long long cache = CacheBytes > 0 ? static_cast<long long>(CacheBytes) : 8LL << 20;
    return Bytes > cache / 2;
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

// The fast forms work on four pixels at once. The blend works in 16-bit
// lanes: the even bytes of each pixel (blue, red) in one register, the odd
// bytes (green, alpha) in another, so that no unpacking and packing is
// needed.

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

// The tint moves c toward k by floor(|c - k| * P / 100), which is the
// truncation toward zero of the plain form. With the saturating
// differences up = sub(k, c) and down = sub(c, k), one of which is 0, and
// q = floor((up | down) * M / 2^16), M = ceil(P * 2^16 / 100), that is
//   c + min(q, up) - min(q, down):
// for |c - k| <= 255 the product overshoots |c - k| * P / 100 by less than
// 1/256, while a fraction that is not 0 is at least 1/100 below the next
// integer, so the floors agree (P < 100, so q <= |c - k|). All sixteen
// bytes of four pixels go through at once, widened to 16 bits only for the
// multiplication. The alpha byte has k = Alpha, and its widened lane is
// its distance plus 0x7F00 (the high byte taken from AlphaLift) with a
// factor of 65535: still above 255 after the multiplication, it packs back
// as q = 255, so alpha becomes c + up - down = Alpha exactly.
struct TTintConstants {
    __m128i Colour, Factor, AlphaLift;
};

void TintFour(std::uint32_t *Dst, const TTintConstants &t) {
    const __m128i c = _mm_loadu_si128(In(Dst));
    const __m128i up = _mm_subs_epu8(t.Colour, c), down = _mm_subs_epu8(c, t.Colour);
    const __m128i distance = _mm_or_si128(up, down);
    const __m128i q = _mm_packus_epi16(_mm_mulhi_epu16(_mm_unpacklo_epi8(distance, t.AlphaLift), t.Factor),
                                       _mm_mulhi_epu16(_mm_unpackhi_epi8(distance, t.AlphaLift), t.Factor));
    _mm_storeu_si128(Out(Dst), _mm_sub_epi8(_mm_add_epi8(c, _mm_min_epu8(q, up)), _mm_min_epu8(q, down)));
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
#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
    // The processor's string store writes whole cache lines at a time on
    // the processors of the last decade, faster than a loop of vector
    // stores; its start costs about as much as a few hundred bytes of those.
    if (!Streaming && Count >= 256) {
        auto count = static_cast<std::size_t>(Count);
        asm volatile("rep stosl" : "+D"(Dst), "+c"(count) : "a"(Value) : "memory");
        return;
    }
#endif
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
    // Percents of 100 and more reach or pass the colour (and need clamping):
    // rare, left to the plain form.
    if (Percent >= 100) return TintRow32Plain(Dst, Count, Colour, Percent, Alpha);
    const auto factor = static_cast<short>((Percent * 65536 + 99) / 100);
    const TTintConstants t{_mm_set1_epi32(static_cast<int>(WithAlpha(Colour, Alpha))),
                           _mm_set_epi16(-1, factor, factor, factor, -1, factor, factor, factor),
                           _mm_set1_epi32(0x7F000000)};
    int i = 0;
    for (; i + 16 <= Count; i += 16) {
        Prefetch(Dst + i);
        for (int j = 0; j < 16; j += 4) TintFour(Dst + i + j, t);
    }
    for (; i + 4 <= Count; i += 4) TintFour(Dst + i, t);
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
