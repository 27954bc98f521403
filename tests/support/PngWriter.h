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

// An image as samples: Channels samples a pixel, row by row, each below
// 2^BitDepth. Channels follow the colour type: 1 for 0 and 3, 2 for 4, 3 for
// 2, 4 for 6.
struct TSampleImage {
    int Width = 0;
    int Height = 0;
    int ColorType = 6;
    int BitDepth = 8;
    std::vector<std::uint16_t> Samples;

    int Channels() const;
    std::uint16_t At(int x, int y, int c) const { return Samples[(std::size_t(y) * Width + x) * Channels() + c]; }
};

// Samples from a generator g(x, y, channel) (masked to the depth).
TSampleImage MakeImage(int Width, int Height, int ColorType, int BitDepth,
                       const std::function<unsigned(int, int, int)> &g);

// The filter a row gets: by its index in the image (or pass) and the pass
// (-1 when not interlaced).
using TFilterChoice = std::function<int(int row, int pass)>;

struct TPngOptions {
    bool Interlaced = false;
    TFilterChoice Filter = [](int, int) { return 0; };
    // 0: one IDAT chunk; n: the zlib stream cut into chunks of n bytes.
    std::size_t IdatPiece = 0;
    bool EmptyIdatBetween = false;  // an empty IDAT chunk after every piece
    int Level = 6;                  // zlib's compression level
    std::vector<TBytes> BeforeImageData;  // whole chunks (see Chunk) between IHDR and IDAT
};

// One chunk: length, type, data and the CRC (right, or given).
TBytes Chunk(const std::string &Type, const TBytes &Data);
TBytes ChunkWithCrc(const std::string &Type, const TBytes &Data, std::uint32_t Crc);
// The 13 IHDR bytes.
TBytes HeaderData(std::uint32_t Width, std::uint32_t Height, int BitDepth, int ColorType, int Interlace = 0,
                  int Compression = 0);
extern const TBytes Signature;

// The filtered rows (filter byte first) of the image, pass after pass when interlaced.
TBytes FilteredRows(const TSampleImage &Image, const TPngOptions &Options);
// FilteredRows deflated as one zlib stream.
TBytes ImageData(const TSampleImage &Image, const TPngOptions &Options);
// A whole file: signature, IHDR, the extra chunks, the image data, IEND.
TBytes EncodePng(const TSampleImage &Image, const TPngOptions &Options = {});

// Appends the parts of a file.
TBytes Join(std::initializer_list<TBytes> Parts);

void SaveFile(const std::string &Path, const TBytes &Bytes);

} // namespace pngtest
