#include "vlPNG.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "vlZLibEx.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace skin {

namespace {

// Messages (the format's name is "PNG" in each).
constexpr const char *InvalidFormatMessage = "Cannot load image. Invalid or unexpected PNG image format.";
constexpr const char *CompressionSchemeMessage =
    "Cannot load image. The compression scheme is not supported for PNG files.";
constexpr const char *CrcMessage = "Cannot load image. CRC error found in PNG file.";
constexpr const char *PaletteMessage = "Cannot load image. Palette in PNG file is invalid.";
constexpr const char *CriticalChunkMessage = "Cannot load PNG image. Unexpected but critical chunk detected.";
constexpr const char *ColorFormatMessage = "Invalid color format in PNG file.";
constexpr const char *CompressionErrorMessage = "Cannot load image. Compression error found in PNG file.";
constexpr const char *ExtraDataMessage = "Cannot load image. Extra compressed data found in PNG file.";
constexpr const char *LZ77Message = "LZ77 decompression error.";

[[noreturn]] void RaiseInvalid(const char *Message) { throw vcl::EInvalidGraphic(Message); }

constexpr std::uint8_t Signature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

constexpr std::uint32_t ChunkCode(const char (&name)[5]) {
    return std::uint32_t(std::uint8_t(name[0])) << 24 | std::uint32_t(std::uint8_t(name[1])) << 16 |
           std::uint32_t(std::uint8_t(name[2])) << 8 | std::uint8_t(name[3]);
}
constexpr std::uint32_t ctIHDR = ChunkCode("IHDR");
constexpr std::uint32_t ctIDAT = ChunkCode("IDAT");
constexpr std::uint32_t ctIEND = ChunkCode("IEND");
constexpr std::uint32_t ctPLTE = ChunkCode("PLTE");
constexpr std::uint32_t ctgAMA = ChunkCode("gAMA");
constexpr std::uint32_t ctbKGD = ChunkCode("bKGD");
constexpr std::uint32_t cttRNS = ChunkCode("tRNS");

// Lengths above this are no PNG's; the standard caps them at 2^31 - 1.
constexpr std::uint32_t MaxChunkLength = 0x7FFFFFFF;
// The largest pixel memory a load makes, and so the largest image it takes:
// as much as a 32-bit program can spare for one image.
constexpr std::uint64_t MaxImageBytes = std::uint64_t(1) << 28;

std::uint32_t BigEndian32(const std::uint8_t *p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}
unsigned BigEndian16(const std::uint8_t *p) { return unsigned(p[0]) << 8 | p[1]; }

// Eight tables of 256 entries: the first is the classic byte-wise table,
// the others let the update take eight bytes per step.
using TCrcTables = std::array<std::array<std::uint32_t, 256>, 8>;

const TCrcTables &PngCrcTables() {
    static const TCrcTables tables = [] {
        std::uint32_t polynomial = 0;
        for (int e : {0, 1, 2, 4, 5, 7, 8, 10, 11, 12, 16, 22, 23, 26}) polynomial |= 1u << (31 - e);
        TCrcTables t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? polynomial ^ (c >> 1) : c >> 1;
            t[0][n] = c;
        }
        for (int k = 1; k < 8; ++k)
            for (std::uint32_t n = 0; n < 256; ++n) t[k][n] = (t[k - 1][n] >> 8) ^ t[0][t[k - 1][n] & 0xFF];
        return t;
    }();
    return tables;
}

// ---- Row filters

#if defined(__SSE2__)
// One pixel of BPP bytes in the low lanes of a register. Three bytes are
// put together in a general register: assembled in memory, they would have
// to wait for the pieces to be stored before they could be loaded.
template <int BPP> __m128i LoadPixel(const std::uint8_t *p) {
    std::uint32_t v;
    if constexpr (BPP == 4) {
        std::memcpy(&v, p, 4);
    } else {
        std::uint16_t low;
        std::memcpy(&low, p, 2);
        v = low | std::uint32_t{p[2]} << 16;
    }
    return _mm_cvtsi32_si128(static_cast<int>(v));
}
template <int BPP> void StorePixel(std::uint8_t *p, __m128i v) {
    const std::uint32_t bits = static_cast<std::uint32_t>(_mm_cvtsi128_si32(v));
    if constexpr (BPP == 4) {
        std::memcpy(p, &bits, 4);
    } else {
        const std::uint16_t low = static_cast<std::uint16_t>(bits);
        std::memcpy(p, &low, 2);
        p[2] = static_cast<std::uint8_t>(bits >> 16);
    }
}

__m128i Abs16(__m128i v) { return _mm_max_epi16(v, _mm_sub_epi16(_mm_setzero_si128(), v)); }
__m128i Select(__m128i mask, __m128i yes, __m128i no) {
    return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

// Predictions from the reconstructed pixel to the left (a), the one above
// (b) and the one above that (c), all in the low bytes.
struct TSubPrediction {
    __m128i operator()(__m128i a, __m128i, __m128i) const { return a; }
};
struct TAveragePrediction {
    // (a + b) div 2 on nine bits: the rounded-up average less the carry of the last bit.
    __m128i operator()(__m128i a, __m128i b, __m128i) const {
        return _mm_sub_epi8(_mm_avg_epu8(a, b), _mm_and_si128(_mm_xor_si128(a, b), _mm_set1_epi8(1)));
    }
};
struct TPaethPrediction {
    __m128i operator()(__m128i a8, __m128i b8, __m128i c8) const {
        const __m128i zero = _mm_setzero_si128();
        const __m128i a = _mm_unpacklo_epi8(a8, zero), b = _mm_unpacklo_epi8(b8, zero), c = _mm_unpacklo_epi8(c8, zero);
        // p = a + b - c; |p - a| = |b - c|, |p - b| = |a - c|, |p - c| = |(b - c) + (a - c)|.
        const __m128i bc = _mm_sub_epi16(b, c), ac = _mm_sub_epi16(a, c);
        const __m128i pa = Abs16(bc), pb = Abs16(ac), pc = Abs16(_mm_add_epi16(bc, ac));
        const __m128i smallest = _mm_min_epi16(pc, _mm_min_epi16(pa, pb));
        // Ties go to a, then b.
        return _mm_packus_epi16(Select(_mm_cmpeq_epi16(smallest, pa), a, Select(_mm_cmpeq_epi16(smallest, pb), b, c)),
                                zero);
    }
};

// Sub, Average and Paeth on rows of three- or four-byte pixels. Each pixel
// depends on the one just reconstructed to its left, so pixels go one at a
// time, but four of them come from each 16-byte load and go back with one
// store (twelve bytes for three-byte pixels: a store that the next load
// overlapped would stall it). Left and upper-left start as zeros, which
// makes the first pixel's Paeth prediction the byte above.
template <int BPP, class Predict> void UnfilterPixels(std::uint8_t *Line, std::size_t Count, const std::uint8_t *Previous) {
    const Predict predict;
    const __m128i pixel = _mm_cvtsi32_si128(BPP == 3 ? 0xFFFFFF : -1);
    __m128i a = _mm_setzero_si128(), c = a;
    std::size_t i = 0;
    for (; i + 16 <= Count; i += 4 * BPP) {
        const __m128i raw = _mm_loadu_si128(reinterpret_cast<const __m128i *>(Line + i));
        const __m128i up = _mm_loadu_si128(reinterpret_cast<const __m128i *>(Previous + i));
        __m128i out = _mm_setzero_si128();
        // Every step works lane by lane, so the bytes above the pixel's
        // carry rubbish that never reaches its lanes; it is cut off only
        // where the pixel joins the output, off the chain from pixel to pixel.
        const auto step = [&]<int K>() {
            const __m128i b = _mm_srli_si128(up, K * BPP);
            a = _mm_add_epi8(_mm_srli_si128(raw, K * BPP), predict(a, b, c));
            out = _mm_or_si128(out, _mm_slli_si128(_mm_and_si128(a, pixel), K * BPP));
            c = b;
        };
        step.template operator()<0>();
        step.template operator()<1>();
        step.template operator()<2>();
        step.template operator()<3>();
        if constexpr (BPP == 4) {
            _mm_storeu_si128(reinterpret_cast<__m128i *>(Line + i), out);
        } else {
            _mm_storel_epi64(reinterpret_cast<__m128i *>(Line + i), out);
            StorePixel<4>(Line + i + 8, _mm_srli_si128(out, 8));
        }
    }
    for (; i < Count; i += BPP) {
        const __m128i b = LoadPixel<BPP>(Previous + i);
        a = _mm_add_epi8(LoadPixel<BPP>(Line + i), predict(a, b, c));
        StorePixel<BPP>(Line + i, a);
        c = b;
    }
}

// The filters with a vector loop for rows of three- or four-byte pixels.
bool UnfilterRowSimd(int FilterType, std::uint8_t *Line, std::size_t Count, std::size_t BPP,
                     const std::uint8_t *Previous) {
    // Rows hold whole pixels; a piece of one is left to the byte loops.
    if ((BPP != 3 && BPP != 4) || Count % BPP != 0) return false;
    const bool four = BPP == 4;
    switch (FilterType) {
    case 1:
        four ? UnfilterPixels<4, TSubPrediction>(Line, Count, Previous)
             : UnfilterPixels<3, TSubPrediction>(Line, Count, Previous);
        return true;
    case 3:
        four ? UnfilterPixels<4, TAveragePrediction>(Line, Count, Previous)
             : UnfilterPixels<3, TAveragePrediction>(Line, Count, Previous);
        return true;
    case 4:
        four ? UnfilterPixels<4, TPaethPrediction>(Line, Count, Previous)
             : UnfilterPixels<3, TPaethPrediction>(Line, Count, Previous);
        return true;
    default: return false;
    }
}
#endif

} // namespace

// ---- CRC

std::uint32_t UpdatePngCrc(std::uint32_t Crc, const void *Data, std::size_t Length) {
    if (Length == 0) return Crc;
    const TCrcTables &t = PngCrcTables();
    const auto *p = static_cast<const std::uint8_t *>(Data);
    std::uint32_t c = ~Crc;
    for (; Length >= 8; p += 8, Length -= 8) {
        const std::uint32_t low = c ^ (std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
                                       std::uint32_t(p[3]) << 24);
        c = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^ t[4][low >> 24] ^ t[3][p[4]] ^
            t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]];
    }
    for (; Length > 0; ++p, --Length) c = t[0][(c ^ *p) & 0xFF] ^ (c >> 8);
    return ~c;
}

// ---- TLZ77Decoder

TLZ77Decoder::TLZ77Decoder(int FlushMode, bool AutoReset) : FFlushMode(FlushMode), FAutoReset(AutoReset) {}

TLZ77Decoder::~TLZ77Decoder() {
    // Also reached while an error unwinds the load: inflateEnd's answer is
    // of no interest then, and raising it would end the program.
    if (FInitialized) inflateEnd(&FZStream);
}

void TLZ77Decoder::DecodeInit() {
    if (InflateInitDefault(FZStream) < 0) throw EGraphicCompression(LZ77Message);
    FInitialized = true;
}

void TLZ77Decoder::Decode(const std::uint8_t *&Source, std::uint8_t *&Dest, std::size_t PackedSize,
                          std::size_t UnpackedSize) {
    FZStream.next_in = const_cast<Bytef *>(Source);
    FZStream.avail_in = static_cast<uInt>(PackedSize);
    if (FAutoReset) FZLibResult = inflateReset(&FZStream);
    if (FZLibResult != Z_OK) return;
    FZStream.next_out = Dest;
    FZStream.avail_out = static_cast<uInt>(UnpackedSize);
    FZLibResult = inflate(&FZStream, FFlushMode);
    Source = FZStream.next_in;
    Dest = FZStream.next_out;
}

void TLZ77Decoder::DecodeEnd() {
    const int result = inflateEnd(&FZStream);
    FInitialized = false;
    if (result < 0) throw EGraphicCompression(LZ77Message);
}

// ---- Filters

std::uint8_t PaethPredictor(std::uint8_t a, std::uint8_t b, std::uint8_t c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return a;
    return pb <= pc ? b : c;
}

void UnfilterRow(int FilterType, std::uint8_t *Line, std::size_t Count, int BPP, const std::uint8_t *Previous) {
    const std::size_t bpp = static_cast<std::size_t>(std::max(BPP, 1));
    const std::size_t head = std::min(bpp, Count);
#if defined(__SSE2__)
    if (UnfilterRowSimd(FilterType, Line, Count, bpp, Previous)) return;
#endif
    switch (FilterType) {
    case 1:  // Sub
        for (std::size_t i = bpp; i < Count; ++i) Line[i] = static_cast<std::uint8_t>(Line[i] + Line[i - bpp]);
        return;
    case 2:  // Up
        for (std::size_t i = 0; i < Count; ++i) Line[i] = static_cast<std::uint8_t>(Line[i] + Previous[i]);
        return;
    case 3:  // Average, of nine-bit sums
        for (std::size_t i = 0; i < head; ++i) Line[i] = static_cast<std::uint8_t>(Line[i] + (Previous[i] >> 1));
        for (std::size_t i = bpp; i < Count; ++i)
            Line[i] = static_cast<std::uint8_t>(Line[i] + ((Line[i - bpp] + Previous[i]) >> 1));
        return;
    case 4:  // Paeth
        for (std::size_t i = 0; i < head; ++i) Line[i] = static_cast<std::uint8_t>(Line[i] + Previous[i]);
        for (std::size_t i = bpp; i < Count; ++i)
            Line[i] = static_cast<std::uint8_t>(Line[i] + PaethPredictor(Line[i - bpp], Previous[i], Previous[i - bpp]));
        return;
    default:  // None, and unknown types: the row stays as inflated
        return;
    }
}

namespace {

// Adam7, by pass.
constexpr int RowStart[7] = {0, 0, 4, 0, 2, 0, 1};
constexpr int ColumnStart[7] = {0, 4, 0, 2, 0, 1, 0};
constexpr int RowIncrement[7] = {8, 8, 8, 4, 4, 2, 2};
constexpr int ColumnIncrement[7] = {8, 8, 4, 4, 2, 2, 1};
constexpr std::uint8_t PassMask[7] = {0x80, 0x08, 0x88, 0x22, 0xAA, 0x55, 0xFF};

// The IHDR fields, with width and height in host order.
struct TPngHeader {
    std::uint32_t Width = 0;
    std::uint32_t Height = 0;
    std::uint8_t BitDepth = 0;
    std::uint8_t ColorType = 0;
    std::uint8_t Compression = 0;
    std::uint8_t Filter = 0;
    std::uint8_t Interlace = 0;
};

// One load: the chunk stream, the decoder and the image being built.
class TPngReader {
public:
    explicit TPngReader(vcl::TStream &Stream, TPngProgress Progress = {}) : FStream(Stream), FProgress(std::move(Progress)) {}

    bool CheckPngHeader(TPngImageProperties &Properties);
    TPngImage Read();

private:
    std::uint32_t ReadChunkHeader();
    void ReadChunkData();
    void SkipChunk() { FStream.Seek(std::int64_t(FChunkLength) + 4, vcl::soCurrent); }
    bool IsChunkType(std::uint32_t Code) const { return (FChunkType & 0xDFDFDFDF) == (Code & 0xDFDFDFDF); }
    bool IsCritical() const { return (FChunkType & 0x20000000) == 0; }

    void ReadPalette();
    void ReadGamma();
    void ReadBackgroundChunk();
    void ReadTransparencyChunk();
    std::uint8_t ReducedSample(const std::uint8_t *Field) const;
    int PreparePngColorFormat(int ColorType, int BitDepth);

    void ReportProgress(vcl::TProgressStage Stage, const char *Message) const {
        if (FProgress) FProgress(Stage, 0, false, FProgressRect, Message);
    }
    void NextProgressRow() {
        ++FProgressRect.Top;
        ++FProgressRect.Bottom;
    }
    TPngImage ReadChunks();
    void TakeTransparentColor();

    void ReadImageData();
    void InflateRow(std::uint8_t *Buffer, std::size_t BytesToRead);
    void Inflate(std::uint8_t *Buffer, std::size_t BytesToRead);

    vcl::TStream &FStream;
    TPngProgress FProgress;
    vcl::TRect FProgressRect;
    std::vector<std::uint8_t> FRawBuffer;
    std::uint32_t FChunkLength = 0;
    std::uint32_t FChunkType = 0;
    std::uint32_t FCRC = 0;

    TPngHeader FHeader;
    TPngImage FImage;
    vcl::TPixelFormat FPixelFormat = vcl::pfDevice;  // pfDevice until a format is prepared
    std::vector<vcl::TBGRA> FPalette;                // empty: none
    int FSourceBPP = 1;

    TLZ77Decoder FDecoder{Z_PARTIAL_FLUSH, false};
    const std::uint8_t *FCurrentSource = nullptr;
    std::uint32_t FIDATSize = 0;
    // Rows are taken from a larger block of inflated data: inflate slows
    // down near the end of every output buffer it is given, which would
    // otherwise be every row.
    std::vector<std::uint8_t> FInflated;
    std::size_t FInflatedStart = 0;
    std::size_t FInflatedEnd = 0;
    std::uint64_t FImageBytesLeft = 0;  // the image's bytes not inflated yet
};

std::uint32_t TPngReader::ReadChunkHeader() {
    std::uint8_t header[8];
    FStream.ReadBuffer(header, sizeof header);
    FChunkLength = BigEndian32(header);
    FChunkType = BigEndian32(header + 4);
    // Checked before anything is allocated or skipped: data and CRC must
    // lie inside the stream.
    // A length beyond 2^31 - 1 is no PNG length at all; one that runs past
    // the stream is a stream that ends early, said as the stream says it.
    if (FChunkLength > MaxChunkLength) RaiseInvalid(InvalidFormatMessage);
    if (std::int64_t(FChunkLength) + 4 > FStream.Size() - FStream.Position()) throw vcl::EReadError("Stream read error");
    return UpdatePngCrc(0, header + 4, 4);
}

void TPngReader::ReadChunkData() {
    if (FRawBuffer.size() < FChunkLength) FRawBuffer.resize(FChunkLength);
    FStream.ReadBuffer(FRawBuffer.data(), FChunkLength);
    std::uint8_t stored[4];
    FStream.ReadBuffer(stored, sizeof stored);
    FCRC = UpdatePngCrc(FCRC, FRawBuffer.data(), FChunkLength);
    if (FCRC != BigEndian32(stored)) RaiseInvalid(CrcMessage);
}

bool TPngReader::CheckPngHeader(TPngImageProperties &Properties) {
    Properties = {};
    std::uint8_t signature[8];
    FStream.ReadBuffer(signature, sizeof signature);
    if (std::memcmp(signature, Signature, sizeof Signature) != 0) return false;
    FCRC = ReadChunkHeader();
    if (!IsChunkType(ctIHDR)) return false;
    Properties.Options |= ioValidHeader;
    ReadChunkData();
    if (FChunkLength < 13) return false;
    const std::uint8_t *data = FRawBuffer.data();
    const std::uint32_t width = BigEndian32(data), height = BigEndian32(data + 4);
    if (width == 0 || height == 0 || width > MaxChunkLength || height > MaxChunkLength) return false;
    Properties.Width = width;
    Properties.Compression = data[10] == 0 ? 2 : 0;
    Properties.BitsPerSample = data[8];
    switch (data[9]) {
    case 0: Properties.ColorScheme = csG; break;
    case 2: Properties.ColorScheme = csRGB; break;
    case 3: Properties.ColorScheme = csIndexed; break;
    case 4: Properties.ColorScheme = csGA; break;
    case 6: Properties.ColorScheme = csRGBA; break;
    default: Properties.ColorScheme = csUnknown; break;
    }
    Properties.SamplesPerPixel = data[9] == 2 ? 3 : data[9] == 6 ? 4 : 1;
    for (;;) {
        FCRC = ReadChunkHeader();
        if (IsChunkType(ctgAMA)) {
            ReadChunkData();
            break;
        }
        if (IsChunkType(ctIEND)) break;
        SkipChunk();
    }
    std::vector<std::uint8_t>().swap(FRawBuffer);
    return true;
}

int TPngReader::PreparePngColorFormat(int ColorType, int BitDepth) {
    // By colour type: the depths taken (as bits of a mask), the schemes, and
    // the samples a pixel has in the manager's terms and in the file. Grey
    // levels and indices stay indices (a 2-bit one is stored in 4 bits,
    // 16-bit grey in 8); everything else becomes 8-bit B, G, R (A).
    struct TRule {
        int ColorType;
        unsigned Depths;
        TColorScheme Source, Target;
        int Samples, FileSamples;
    };
    static constexpr TRule Rules[] = {
        {0, 1 | 2 | 4 | 8 | 16, csG, csG, 1, 1},       {2, 8 | 16, csRGB, csBGR, 3, 3},
        {3, 1 | 2 | 4 | 8, csIndexed, csIndexed, 1, 1}, {4, 8 | 16, csGA, csIndexed, 1, 2},
        {6, 8 | 16, csRGBA, csBGRA, 4, 4},
    };
    const auto rule = std::find_if(std::begin(Rules), std::end(Rules), [&](const TRule &r) {
        return r.ColorType == ColorType && std::has_single_bit(unsigned(BitDepth)) && (r.Depths & BitDepth) != 0;
    });
    if (rule == std::end(Rules)) RaiseInvalid(ColorFormatMessage);
    TColorManager &cm = FImage.ColorManager;
    cm.SetSourceColorScheme(rule->Source);
    cm.SetSourceSamplesPerPixel(rule->Samples);
    cm.SetSourceBitsPerSample(BitDepth);
    cm.SetTargetColorScheme(rule->Target);
    cm.SetTargetSamplesPerPixel(rule->Samples);
    const bool indices = ColorType == 0 || ColorType == 3;
    cm.SetTargetBitsPerSample(!indices || BitDepth == 16 ? 8 : BitDepth == 2 ? 4 : BitDepth);
    FPixelFormat = cm.TargetPixelFormat();
    if (ColorType == 0 || ColorType == 4) FPalette = cm.CreateGrayscalePalette(false);
    return (rule->FileSamples * BitDepth + 7) / 8;
}

void TPngReader::ReadPalette() {
    if (FChunkLength % 3 != 0) RaiseInvalid(PaletteMessage);
    ReadChunkData();
    if (FHeader.ColorType != 3) return;
    FSourceBPP = PreparePngColorFormat(3, FHeader.BitDepth);
    FPalette = FImage.ColorManager.CreatePaletteFromEntries(FRawBuffer.data(), static_cast<int>(FChunkLength / 3));
}

void TPngReader::ReadGamma() {
    ReadChunkData();
    if (FChunkLength < 4) return;  // too short to say anything: the image is shown without it
    const double gamma = BigEndian32(FRawBuffer.data()) / 100000.0;
    // Gamma corrects 8-bit values only (8-bit samples, 16-bit ones after
    // their reduction, palette entries), whatever depths the manager holds now.
    FImage.ColorManager.SetGammaTables(gamma, 2.2, 8, 8);
    FImage.ColorManager.SetTargetOptions(FImage.ColorManager.TargetOptions() | coApplyGamma);
    FImage.ImageProperties.Options |= ioGammaApplied;
}

std::uint8_t TPngReader::ReducedSample(const std::uint8_t *Field) const {
    return FHeader.BitDepth == 16 ? static_cast<std::uint8_t>(BigEndian16(Field) * 255 / 65535) : Field[1];
}

void TPngReader::ReadTransparencyChunk() {
    const std::uint8_t type = FHeader.ColorType;
    ReadChunkData();
    if ((type == 0 && FChunkLength < 2) || (type == 2 && FChunkLength < 6)) return;
    const std::uint8_t *data = FRawBuffer.data();
    if (type == 2) {
        FImage.TransparentColorValue = ReducedSample(data) | ReducedSample(data + 2) << 8 | ReducedSample(data + 4) << 16;
    } else if (type == 0) {
        // Grey levels below 8 bits as their palette shows them. A depth that
        // grey images do not have says nothing here (the image data refuses it).
        const int depth = FHeader.BitDepth;
        if (depth != 1 && depth != 2 && depth != 4 && depth != 8 && depth != 16) return;
        const unsigned g = depth >= 8 ? ReducedSample(data) : (BigEndian16(data) & ((1u << depth) - 1)) * 255 / ((1u << depth) - 1);
        FImage.TransparentColorValue = static_cast<vcl::TColor>(g | g << 8 | g << 16);
    }
}

void TPngReader::ReadBackgroundChunk() {
    const std::uint8_t type = FHeader.ColorType;
    const std::uint32_t needed = type == 2 || type == 6 ? 6 : type == 3 ? 1 : 2;
    ReadChunkData();
    if (FChunkLength < needed) return;
    const std::uint8_t *data = FRawBuffer.data();
    if (type == 2 || type == 6) {
        FImage.BackgroundColor = ReducedSample(data) | ReducedSample(data + 2) << 8 | ReducedSample(data + 4) << 16;
    } else if (type == 0 || type == 4) {
        const unsigned g = ReducedSample(data);
        FImage.BackgroundColor = static_cast<vcl::TColor>(g | g << 8 | g << 16);
    } else if (type == 3) {
        FImage.BackgroundColor = data[0];
    }
}

void TPngReader::InflateRow(std::uint8_t *Buffer, std::size_t BytesToRead) {
    while (BytesToRead > 0) {
        if (FInflatedStart == FInflatedEnd) {
            // Never more than the image needs, so that what follows it is
            // treated as if rows were inflated one by one.
            const std::size_t block =
                static_cast<std::size_t>(std::min<std::uint64_t>(FInflated.size(), FImageBytesLeft));
            if (block == 0) RaiseInvalid(ExtraDataMessage);
            Inflate(FInflated.data(), block);
            FImageBytesLeft -= block;
            FInflatedStart = 0;
            FInflatedEnd = block;
        }
        const std::size_t n = std::min(BytesToRead, FInflatedEnd - FInflatedStart);
        std::memcpy(Buffer, FInflated.data() + FInflatedStart, n);
        FInflatedStart += n;
        Buffer += n;
        BytesToRead -= n;
    }
}

void TPngReader::Inflate(std::uint8_t *Buffer, std::size_t BytesToRead) {
    std::uint8_t *dest = Buffer;
    std::size_t remaining = BytesToRead;
    for (;;) {
        // A zlib stream that has ended gives no more rows.
        if (FDecoder.ZLibResult() == Z_STREAM_END) RaiseInvalid(ExtraDataMessage);
        if (FDecoder.AvailableInput() == 0) {
            FIDATSize = 0;
            while (FIDATSize == 0) {
                // The image data ends before the image does.
                if (!IsChunkType(ctIDAT)) RaiseInvalid(CompressionErrorMessage);
                ReadChunkData();
                FCurrentSource = FRawBuffer.data();
                FIDATSize = FChunkLength;
                FCRC = ReadChunkHeader();
            }
        }
        const std::size_t packed = FIDATSize - static_cast<std::size_t>(FCurrentSource - FRawBuffer.data());
        FDecoder.Decode(FCurrentSource, dest, packed, remaining);
        if (FDecoder.ZLibResult() == Z_STREAM_END) {
            if (FDecoder.AvailableOutput() != 0 || FDecoder.AvailableInput() != 0) RaiseInvalid(ExtraDataMessage);
            return;
        }
        if (FDecoder.ZLibResult() != Z_OK) RaiseInvalid(CompressionErrorMessage);
        remaining = BytesToRead - static_cast<std::size_t>(dest - Buffer);
        if (remaining == 0) return;
    }
}

void TPngReader::ReadImageData() {
    ReportProgress(vcl::psStarting, "Transfering...");
    if (FPixelFormat == vcl::pfDevice) FSourceBPP = PreparePngColorFormat(FHeader.ColorType, FHeader.BitDepth);
    const int bitDepth = FHeader.BitDepth;
    const int sampleUnit = bitDepth == 16 ? FSourceBPP / 2 : FSourceBPP;
    const std::uint64_t width = FHeader.Width, height = FHeader.Height;
    const std::uint64_t lineBytes = (width * vcl::PixelFormatBits(FPixelFormat) + 31) / 32 * 4;
    const std::uint64_t rowSize = (width * bitDepth + 7) / 8 * sampleUnit + 1;
    if (lineBytes * height > MaxImageBytes || rowSize > MaxImageBytes) RaiseInvalid(InvalidFormatMessage);

    // The bytes of all rows, pass by pass.
    FImageBytesLeft = 0;
    if (FHeader.Interlace != 1) {
        FImageBytesLeft = rowSize * height;
    } else {
        for (int pass = 0; pass < 7; ++pass) {
            if (width <= std::uint64_t(ColumnStart[pass]) || height <= std::uint64_t(RowStart[pass])) continue;
            const std::uint64_t columns = (width + ColumnIncrement[pass] - 1 - ColumnStart[pass]) / ColumnIncrement[pass];
            const std::uint64_t rows = (height + RowIncrement[pass] - 1 - RowStart[pass]) / RowIncrement[pass];
            FImageBytesLeft += ((bitDepth * columns + 7) / 8 * sampleUnit + 1) * rows;
        }
    }
    // Deflate makes at most about 1032 bytes of one: an image that needs more
    // than the rest of the stream could give runs out of data, and is
    // refused before its memory is made.
    if (FImageBytesLeft / 1032 > static_cast<std::uint64_t>(FStream.Size() - FStream.Position()))
        RaiseInvalid(CompressionErrorMessage);

    vcl::TDibImage &dib = FImage.Dib;
    std::vector<std::uint8_t> rows[2];
    try {
        dib.Bits.assign(static_cast<std::size_t>(lineBytes * height), 0);
        rows[0].assign(static_cast<std::size_t>(rowSize), 0);
        rows[1].assign(static_cast<std::size_t>(rowSize), 0);
    } catch (const std::bad_alloc &) {
        RaiseInvalid(InvalidFormatMessage);
    }
    dib.Width = static_cast<int>(width);
    dib.Height = static_cast<int>(height);
    dib.PixelFormat = FPixelFormat;
    if (vcl::IsIndexedFormat(FPixelFormat)) {
        dib.ColorTable = FPalette.empty() ? vcl::DefaultColorTable(FPixelFormat) : FPalette;
        dib.ColorTable.resize(vcl::ColorTableSize(FPixelFormat));
    }
    const vcl::TDibLayout layout = dib.Layout();

    // No larger than the image: a small glyph would spend more time on a
    // large block's zeroing than on its decoding.
    FInflated.resize(static_cast<std::size_t>(std::min<std::uint64_t>(std::uint64_t{1} << 17, FImageBytesLeft)));

    std::uint8_t *current = rows[0].data(), *previous = rows[1].data();
    TColorManager &cm = FImage.ColorManager;
    const auto decodeRow = [&](std::size_t size, int y, std::uint8_t mask) {
        InflateRow(current, size);
        UnfilterRow(current[0], current + 1, size - 1, FSourceBPP, previous + 1);
        const std::uint8_t *source = current + 1;
        cm.ConvertRow({&source, 1}, layout.Line(y), layout.Width, mask);
        std::swap(current, previous);
    };
    if (FHeader.Interlace != 1) {
        for (int y = 0; y < layout.Height; ++y) {
            decodeRow(static_cast<std::size_t>(rowSize), y, 0xFF);
            NextProgressRow();
        }
    } else {
        for (int pass = 0; pass < 7; ++pass) {
            if (width <= std::uint64_t(ColumnStart[pass])) continue;
            const std::uint64_t columns = (width + ColumnIncrement[pass] - 1 - ColumnStart[pass]) / ColumnIncrement[pass];
            const std::size_t passRowSize = static_cast<std::size_t>((bitDepth * columns + 7) / 8 * sampleUnit + 1);
            // The first row of every pass is filtered against zeros.
            std::fill_n(previous, passRowSize, std::uint8_t{0});
            for (int y = RowStart[pass]; y < layout.Height; y += RowIncrement[pass]) {
                decodeRow(passRowSize, y, PassMask[pass]);
                if (pass == 6) NextProgressRow();
            }
        }
    }
    // Data beyond what the image needs is read (CRC checked) and left.
    while (IsChunkType(ctIDAT)) {
        ReadChunkData();
        FCRC = ReadChunkHeader();
    }
}

TPngImage TPngReader::Read() {
    const std::int64_t streamStart = FStream.Position();
    if (!CheckPngHeader(FImage.ImageProperties)) RaiseInvalid(InvalidFormatMessage);
    FStream.SetPosition(streamStart + 8);
    FProgressRect = {0, 0, static_cast<std::int32_t>(FImage.ImageProperties.Width), 1};
    ReportProgress(vcl::psStarting, "Preparing...");
    // Whoever heard the start hears the end, also of a load that fails.
    TPngImage image;
    try {
        image = ReadChunks();
    } catch (...) {
        ReportProgress(vcl::psEnding, "");
        throw;
    }
    ReportProgress(vcl::psEnding, "");
    return image;
}

// The image is transparent in the tRNS colour known when its data was
// read. The pixels went through the gamma table (grey ones through their
// palette's); the colour that names some of them must go the same way,
// whichever of gAMA and tRNS came first. A gAMA or tRNS after the image
// data changes no pixel, so it changes neither.
void TPngReader::TakeTransparentColor() {
    if (FImage.TransparentColorValue != PngNoTransparentColor &&
        (FImage.ColorManager.TargetOptions() & coApplyGamma) != 0) {
        const auto &table = FImage.ColorManager.GammaTable();
        const vcl::TColor raw = FImage.TransparentColorValue;
        FImage.TransparentColorValue = table[raw & 0xFF] | table[raw >> 8 & 0xFF] << 8 | table[raw >> 16 & 0xFF] << 16;
    }
    FImage.ImageTransparentColor = FImage.TransparentColorValue;
}

TPngImage TPngReader::ReadChunks() {
    FCRC = ReadChunkHeader();
    FImage.ColorManager.SetSourceOptions(coNeedByteSwap);
    ReadChunkData();
    const std::uint8_t *ihdr = FRawBuffer.data();
    FHeader = TPngHeader{BigEndian32(ihdr), BigEndian32(ihdr + 4), ihdr[8], ihdr[9], ihdr[10], ihdr[11], ihdr[12]};
    if (FImage.ImageProperties.Compression != 2) RaiseInvalid(CompressionSchemeMessage);
    FDecoder.DecodeInit();

    bool imageRead = false;
    for (;;) {
        FCRC = ReadChunkHeader();
        // The ancillary chunks are read wherever they stand, so that a
        // damaged one after the image data is still reported. After the
        // image data a critical chunk (a second run of image data, a
        // palette) falls to the skip rule and is an error.
        if (!imageRead && IsChunkType(ctIDAT)) {
            ReportProgress(vcl::psEnding, "");
            ReadImageData();
            imageRead = true;
            TakeTransparentColor();
        } else if (!imageRead && IsChunkType(ctPLTE)) {
            ReadPalette();
            continue;
        } else if (IsChunkType(ctgAMA)) {
            ReadGamma();
            continue;
        } else if (IsChunkType(ctbKGD)) {
            ReadBackgroundChunk();
            continue;
        } else if (IsChunkType(cttRNS)) {
            ReadTransparencyChunk();
            continue;
        }
        SkipChunk();
        if (IsChunkType(ctIEND)) break;
        if (IsCritical()) RaiseInvalid(CriticalChunkMessage);
    }
    FDecoder.DecodeEnd();
    // A file without image data would otherwise load as a blank picture of
    // its size, a damaged file taken for a good one.
    if (!imageRead) RaiseInvalid(CompressionErrorMessage);
    return std::move(FImage);
}

} // namespace

bool CheckPngHeader(vcl::TStream &Stream, TPngImageProperties &Properties) {
    return TPngReader(Stream).CheckPngHeader(Properties);
}

TPngImage ReadPngImage(vcl::TStream &Stream, const TPngProgress &Progress) { return TPngReader(Stream, Progress).Read(); }

} // namespace skin
