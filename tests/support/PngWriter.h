#pragma once
// Writes PNG files for tests: every colour type and bit depth, each of the
// five row filters, Adam7, image data cut into IDAT chunks of any size, and
// single chunks with a right or a wrong CRC for damaged files. Portable.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pngtest {

using TBytes = std::vector<std::uint8_t>;

// Samples below 2^BitDepth, Channels() of them a pixel (1 for colour types
// 0 and 3, 2 for 4, 3 for 2, 4 for 6), row by row.
struct TSampleImage {
    int Width = 0;
    int Height = 0;
    int ColorType = 6;
    int BitDepth = 8;
    std::vector<std::uint16_t> Samples;

    int Channels() const { return ColorType == 2 ? 3 : ColorType == 4 ? 2 : ColorType == 6 ? 4 : 1; }
    unsigned At(int x, int y, int c) const { return Samples[(std::size_t(y) * Width + x) * Channels() + c]; }
};

// Samples from g(x, y, channel), masked to the depth.
TSampleImage MakeImage(int Width, int Height, int ColorType, int BitDepth,
                       const std::function<unsigned(int, int, int)> &g);

struct TPngOptions {
    bool Interlaced = false;
    // The filter of a row, by its index in the image or pass and the pass (-1: none).
    std::function<int(int row, int pass)> Filter = [](int, int) { return 0; };
    std::size_t IdatPiece = 0;      // 0: one IDAT chunk; n: chunks of n bytes of the zlib stream
    bool EmptyIdatBetween = false;  // an empty IDAT chunk after every piece
    std::vector<TBytes> BeforeImageData;  // whole chunks between IHDR and IDAT
};

extern const TBytes Signature;
// One chunk with its right CRC, or with the one given.
TBytes Chunk(const std::string &Type, const TBytes &Data);
TBytes ChunkWithCrc(const std::string &Type, const TBytes &Data, std::uint32_t Crc);
TBytes HeaderData(std::uint32_t Width, std::uint32_t Height, int BitDepth, int ColorType, int Interlace = 0,
                  int Compression = 0);
// The filtered rows (pass after pass when interlaced) as one zlib stream.
TBytes ImageData(const TSampleImage &Image, const TPngOptions &Options);
// Signature, IHDR, the options' chunks, the image data, IEND.
TBytes EncodePng(const TSampleImage &Image, const TPngOptions &Options = {});
TBytes Join(std::initializer_list<TBytes> Parts);

} // namespace pngtest
