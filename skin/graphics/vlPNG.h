#pragma once
// The PNG reader. Its portable half reads a PNG stream (signature, chunks
// with their CRC, the image data inflated through zlib's own calls, the five
// row filters, Adam7) into device-independent pixel memory through the
// colour manager. On Windows TPNGGraphic is the bitmap class that loads PNG
// files with it and draws 32-bit images by their alpha; InitializeVlPNG
// registers it with TPicture for ".png".
//
// The bitmap a PNG becomes: a 1-, 4- or 8-bit palette bitmap for grey,
// indexed and grey-with-alpha images (grey levels and indices are kept as
// indices, a 2-bit image's index k as 5k; the alpha of grey with alpha is
// not read), 24-bit B, G, R for RGB and 32-bit B, G, R, A for RGBA with the
// file's straight alpha. 16-bit samples are truncated to 8 bits. A tRNS
// colour of a grey or RGB image becomes the bitmap's transparent colour (as
// gAMA corrects its pixels, so is it); tRNS of other images is not read.
// A gAMA, bKGD or tRNS chunk too short for its fields is ignored.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <zlib.h>

#include "vcl/BmpFile.h"
#include "vcl/Streams.h"
#include "vcl/System.h"
#include "vcl/Types.h"
#include "vlColorManager.h"

#ifdef _WIN32
#include <memory>

#include "vcl/Bitmap.h"
#endif

namespace skin {

// A failure of zlib's set-up or clean-up: "LZ77 decompression error.".
class EGraphicCompression : public vcl::Exception {
    using vcl::Exception::Exception;
};

// CRC-32 of the PNG standard (reflected polynomial 0xEDB88320): Crc
// continued over Length bytes; an empty range answers Crc unchanged.
std::uint32_t UpdatePngCrc(std::uint32_t Crc, const void *Data, std::size_t Length);

// Inflates one zlib stream handed over in pieces.
class TLZ77Decoder {
public:
    TLZ77Decoder(int FlushMode, bool AutoReset);
    // Ends zlib's state if DecodeEnd has not; never raises.
    ~TLZ77Decoder();
    TLZ77Decoder(const TLZ77Decoder &) = delete;
    TLZ77Decoder &operator=(const TLZ77Decoder &) = delete;

    // zlib's inflateInit_; a negative result raises EGraphicCompression.
    void DecodeInit();
    // Inflates up to PackedSize bytes at Source into up to UnpackedSize
    // bytes at Dest and moves both past what was used. Once inflate has
    // answered anything but Z_OK (without AutoReset), nothing more is inflated.
    void Decode(const std::uint8_t *&Source, std::uint8_t *&Dest, std::size_t PackedSize, std::size_t UnpackedSize);
    // zlib's inflateEnd; a negative result raises EGraphicCompression.
    void DecodeEnd();

    std::size_t AvailableInput() const { return FZStream.avail_in; }
    std::size_t AvailableOutput() const { return FZStream.avail_out; }
    int ZLibResult() const { return FZLibResult; }

private:
    z_stream FZStream{};
    int FZLibResult = Z_OK;
    int FFlushMode;
    bool FAutoReset;
    bool FInitialized = false;
};

// The Paeth predictor of the PNG standard.
std::uint8_t PaethPredictor(std::uint8_t a, std::uint8_t b, std::uint8_t c);
// Undoes one row filter in place: Count bytes of Line against the same
// bytes of the row above (Previous), BPP bytes a pixel (1 below 8 bits per
// pixel). Filter types above 4 leave the row as it is.
void UnfilterRow(int FilterType, std::uint8_t *Line, std::size_t Count, int BPP, const std::uint8_t *Previous);

// What the header check found.
struct TPngImageProperties {
    std::uint8_t Options = 0;  // bit 0: a valid IHDR was read; bit 1: a gAMA chunk was applied
    std::uint32_t Width = 0;
    std::uint8_t ColorScheme = 0;  // TColorScheme of the IHDR colour type
    std::uint8_t BitsPerSample = 0;
    std::uint8_t SamplesPerPixel = 0;
    std::uint8_t Compression = 0;  // 2 (LZ77) for compression byte 0, else 0
};
inline constexpr std::uint8_t ioValidHeader = 1;
inline constexpr std::uint8_t ioGammaApplied = 2;

inline constexpr vcl::TColor PngNoTransparentColor = 0x1FFFFFFF;

// Everything one load produces.
struct TPngImage {
    vcl::TDibImage Dib;  // bottom-up; indexed formats carry their full colour table
    TPngImageProperties ImageProperties;
    TColorManager ColorManager;  // as the load left it
    vcl::TColor TransparentColorValue = PngNoTransparentColor;  // from tRNS (0x00BBGGRR)
    vcl::TColor BackgroundColor = 0xFFFFFF;                     // from bKGD
    // The colour the image is transparent in: that of a tRNS before the
    // image data (a later one is read and stored above, but too late).
    vcl::TColor ImageTransparentColor = PngNoTransparentColor;
};

// Reads the signature and IHDR at the stream's position (and skims on to
// the first gAMA or IEND, checking that gAMA's CRC) into Properties. False
// when the stream is no PNG or its size is 0 or out of range.
bool CheckPngHeader(vcl::TStream &Stream, TPngImageProperties &Properties);

// What a load reports of its progress: stage, percent done, redraw flag,
// the row reached (as a rect one row high, in image coordinates), message.
using TPngProgress = std::function<void(vcl::TProgressStage Stage, std::uint8_t PercentDone, bool RedrawNow,
                                        const vcl::TRect &R, const std::string &Msg)>;

// Reads the PNG that begins at the stream's position, up to its IEND chunk.
// Every error raises (EInvalidGraphic with a message that says what is
// wrong, EGraphicCompression, or the stream's read error when the stream
// ends early); nothing is kept of a failed load.
// Progress, when given, hears of the load once its header has been checked:
// "Preparing..." as it starts, the end of that stage at the image data,
// "Transfering..." as the rows start, and the end when the load finishes
// or fails (with the rect on the row after the last one converted; an
// interlaced image counts the rows of its last pass only). Every report
// says 0 percent and asks for no redraw.
TPngImage ReadPngImage(vcl::TStream &Stream, const TPngProgress &Progress = {});

#ifdef _WIN32
// A bitmap that loads PNG streams. Other graphics of the class library keep
// their image when a load fails; so does this one.
class TPNGGraphic : public vcl::TBitmap {
    VCL_CLASS(TPNGGraphic, vcl::TBitmap)
public:
    TPNGGraphic();
    ~TPNGGraphic() override;

    // From another PNG graphic its image properties and colours too; from any other
    // source as a bitmap does.
    void Assign(const vcl::TPersistent *Source) override;
    // A 32-bit image is blended by its alpha over what the canvas holds
    // (scaled to Rect first when the sizes differ); any other is drawn as a
    // plain bitmap.
    void Draw(vcl::TCanvas &ACanvas, const vcl::TRect &Rect) override;
    // A file's tRNS colour makes the bitmap transparent in that colour; a
    // file without one switches off the transparency an earlier load set.
    // OnProgress hears the reports of ReadPngImage, with this as Sender.
    void LoadFromStream(vcl::TStream &Stream) override;

    const TPngImageProperties &ImageProperties() const { return FImageProperties; }
    const TColorManager &ColorManager() const { return *FColorManager; }
    vcl::TColor TransparentColorValue() const { return FTransparentColorValue; }
    vcl::TColor BackgroundColor() const { return FBackgroundColor; }

protected:
    // What a picture stored: PNG data, or the BMP that SaveToStream writes.
    void ReadData(vcl::TStream &Stream) override;

private:
    std::unique_ptr<TColorManager> FColorManager;
    TPngImageProperties FImageProperties;
    vcl::TColor FTransparentColorValue = PngNoTransparentColor;
    vcl::TColor FBackgroundColor = 0xFFFFFF;
    // The last load switched the bitmap's transparency on.
    bool FLoadedTransparent = false;
};

// Start-up and end of the PNG reader, counted: the first InitializeVlPNG
// registers TPNGGraphic with TPicture for "png" ("Portable network graphics
// (Velvetine)"), the FinalizeVlPNG that balances it unregisters it.
void InitializeVlPNG();
void FinalizeVlPNG();
#endif

} // namespace skin
