#pragma once
// Row loops of the routines that run over whole images on every repaint:
// the plain alpha blend, the alpha fill and the tint. Each comes twice: the
// plain form states the arithmetic one pixel at a time; the fast form
// (SSE2, which every Windows version we target has) must give the same
// bytes for every input, which the tests check against the plain form.
// Internal to skin/graphics.
#include <cstddef>
#include <cstdint>

namespace skin::pixel {

// Per colour channel d := (d * 256 + (s - d) * sa) >> 8; alpha := max(sa, da).
void BlendRowBySourceAlpha(std::uint32_t *Dst, const std::uint32_t *Src, int Count);
void BlendRowBySourceAlphaPlain(std::uint32_t *Dst, const std::uint32_t *Src, int Count);

// Every pixel := Value. Streaming stores write past the cache without
// reading the lines first, twice as fast for fills larger than the cache;
// EndStreamingStores must follow the last of them before the pixels are read.
void FillRow32(std::uint32_t *Dst, int Count, std::uint32_t Value, bool Streaming = false);
void EndStreamingStores();
void FillRow32Plain(std::uint32_t *Dst, int Count, std::uint32_t Value);
// Whether a fill of Bytes takes the streaming stores: only when it is larger
// than half of a last-level cache of CacheBytes (0: not known, taken as
// 8 MiB). A fill that the cache holds stays there for the reads that
// follow it, and ordinary stores into the cache are the faster ones.
bool FillBypassesCache(long long Bytes, std::size_t CacheBytes);

// Per colour channel c := c - ((c - k) * Percent) div 100, the division
// truncating toward zero and the result cut to a byte (Percent may exceed
// 100); k is the channel of Colour, a pixel value. Alpha := Alpha.
void TintRow32(std::uint32_t *Dst, int Count, std::uint32_t Colour, std::uint8_t Percent, std::uint8_t Alpha);
void TintRow32Plain(std::uint32_t *Dst, int Count, std::uint32_t Colour, std::uint8_t Percent, std::uint8_t Alpha);

} // namespace skin::pixel
