#pragma once
// The colour manager of the PNG reader: turns one row of samples in a file's
// layout (1 to 16 bits per sample, big-endian words, red-green-blue order,
// an optional alpha sample) into one scan line of a device-independent
// bitmap, and makes the palettes and the gamma table that go with it. It
// also turns CMYK, YCbCr, PhotoYCC and CIE L*a*b* samples into RGB or BGR,
// which the PNG reader never asks of it. Portable.
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "vcl/Dib.h"
#include "vcl/System.h"

namespace skin {

class EColorConversionError : public vcl::Exception {
    using vcl::Exception::Exception;
};

// Colour scheme codes. Indexed, grey and grey with alpha count as
// indexed-like on the source side; indexed and grey on the target side.
enum TColorScheme : std::uint8_t {
    csUnknown = 0,
    csIndexed = 1,
    csG = 2,
    csGA = 3,
    csRGB = 4,
    csRGBA = 5,
    csBGR = 6,
    csBGRA = 7,
    csCMY = 8,
    csCMYK = 9,
    csCIELab = 10,
    csYCbCr = 11,
    csPhotoYCC = 12,
};

// Source and target option flags.
inline constexpr std::uint8_t coAlpha = 1;         // the scheme carries alpha (set by SelectConverter)
inline constexpr std::uint8_t coApplyGamma = 2;    // target: correct colour samples by GammaTable
inline constexpr std::uint8_t coNeedByteSwap = 4;  // source: 16-bit samples are big-endian
inline constexpr std::uint8_t coLabByteRange = 8;  // source: L* in 0..255 (divided by 2.55)
inline constexpr std::uint8_t coLabChromaOffset = 16;  // source: a* and b* unsigned with an offset of 128

class TColorManager {
public:
    // Depths 8, three samples, RGB to BGR, gamma 1.0 and 2.2.
    TColorManager();

    // Depths outside 1..16 raise "Color depth is invalid...", sample counts
    // outside 1..4 "Sample count per pixel...". A changed value makes the
    // next ConvertRow choose its converter again.
    std::uint8_t SourceBitsPerSample() const { return FSourceBitsPerSample; }
    void SetSourceBitsPerSample(int Value);
    std::uint8_t TargetBitsPerSample() const { return FTargetBitsPerSample; }
    void SetTargetBitsPerSample(int Value);
    std::uint8_t SourceSamplesPerPixel() const { return FSourceSamplesPerPixel; }
    void SetSourceSamplesPerPixel(int Value);
    std::uint8_t TargetSamplesPerPixel() const { return FTargetSamplesPerPixel; }
    void SetTargetSamplesPerPixel(int Value);
    TColorScheme SourceColorScheme() const { return FSourceColorScheme; }
    void SetSourceColorScheme(TColorScheme Value);
    TColorScheme TargetColorScheme() const { return FTargetColorScheme; }
    void SetTargetColorScheme(TColorScheme Value);
    std::uint8_t SourceOptions() const { return FSourceOptions; }
    void SetSourceOptions(std::uint8_t Value);
    std::uint8_t TargetOptions() const { return FTargetOptions; }
    void SetTargetOptions(std::uint8_t Value);

    // Converts Count target pixels of one row: Source holds the row of
    // interleaved samples, or one row a plane (CMYK, YCbCr, PhotoYCC and
    // L*a*b* only); Target is the scan line. Mask says which target
    // pixels take the next source pixel, bit 7 for the first of every group
    // of eight (0xFF: all); the others are left as they are.
    void ConvertRow(std::span<const std::uint8_t *const> Source, std::uint8_t *Target, int Count, std::uint8_t Mask);
    // Chooses the converter for the current settings; raises when source and
    // target are not both indexed-like or both not.
    void SelectConverter();

    // Stores both gammas (non-positive values: 1.0 and 2.2) and rebuilds the
    // table for the current depths. The second form builds it for the given
    // depths instead, leaving the manager's depths as they are.
    void SetGammaTables(double Main, double Display);
    void SetGammaTables(double Main, double Display, int SourceBits, int TargetBits);
    double MainGamma() const { return FMainGamma; }
    double DisplayGamma() const { return FDisplayGamma; }
    const std::array<std::uint8_t, 256> &GammaTable() const { return FGammaTable; }

    // The pixel format of a bitmap that holds the target samples.
    vcl::TPixelFormat TargetPixelFormat() const;
    // 2^(target bits x samples, at most 8) grey levels, black first unless WhiteFirst.
    std::vector<vcl::TBGRA> CreateGrayscalePalette(bool WhiteFirst) const;
    // ColorCount (at most 256) red-green-blue triples, spread over the
    // target's index range when source and target depths differ; entries
    // that no triple fills are black.
    std::vector<vcl::TBGRA> CreatePaletteFromEntries(const std::uint8_t *Data, int ColorCount) const;

private:
    using TSource = std::span<const std::uint8_t *const>;
    using TRowConverter = void (TColorManager::*)(TSource Source, std::uint8_t *Target, int Count, std::uint8_t Mask);

    void SetChanged(bool Differs) { FChanged = FChanged || Differs; }
    void ConvertPackedSamples(TSource Source, std::uint8_t *Target, int Count, std::uint8_t Mask);
    void ConvertGrey(TSource Source, std::uint8_t *Target, int Count, std::uint8_t Mask);
    void ConvertIndexed16(TSource Source, std::uint8_t *Target, int Count, std::uint8_t Mask);
    void ConvertRGB(TSource Source, std::uint8_t *Target, int Count, std::uint8_t Mask);
    // CMYK, YCbCr, PhotoYCC and L*a*b*: interleaved or planar, to RGB or BGR.
    void ConvertOther(TSource Source, std::uint8_t *Target, int Count, std::uint8_t Mask);
    void BuildYCbCrTables(int CrOffset, int CbOffset);

    bool FChanged = true;
    std::uint8_t FSourceBitsPerSample = 8;
    std::uint8_t FTargetBitsPerSample = 8;
    std::uint8_t FSourceSamplesPerPixel = 3;
    std::uint8_t FTargetSamplesPerPixel = 3;
    double FMainGamma = 1.0;
    double FDisplayGamma = 2.2;
    std::array<std::uint8_t, 256> FGammaTable{};
    double FLumaRed = 0.299;
    double FLumaGreen = 0.587;
    double FLumaBlue = 0.114;
    std::array<int, 256> FCrToRed{}, FCbToBlue{}, FCrToGreen{}, FCbToGreen{};
    TColorScheme FSourceColorScheme = csRGB;
    TColorScheme FTargetColorScheme = csBGR;
    TRowConverter FRowConverter = nullptr;
    bool FSwapRedBlue = false;  // the RGB converters: the channel order changes
    std::uint8_t FSourceOptions = 0;
    std::uint8_t FTargetOptions = 0;
};

} // namespace skin
