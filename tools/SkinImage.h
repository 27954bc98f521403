#pragma once
// Pictures of the build-time skin tools: an 8-bit RGBA image held top-down,
// written as 24-bit BMP and as RGBA PNG, and read from BMP and PNG files by
// the class library's and the skinning library's readers. The writers are
// deterministic: the same pixels give the same bytes.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace skintools {

struct Pixel {
    std::uint8_t R = 0, G = 0, B = 0, A = 0;
    friend bool operator==(const Pixel &, const Pixel &) = default;
};

// The transparent key of skin bitmaps, opaque so that viewers show it.
constexpr Pixel KeyPixel{0xFF, 0x00, 0xFF, 0xFF};

class Image {
public:
    Image() = default;
    Image(int Width, int Height, Pixel Fill = {});

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    bool Contains(int X, int Y) const { return X >= 0 && Y >= 0 && X < FWidth && Y < FHeight; }
    Pixel &At(int X, int Y) { return FPixels[Index(X, Y)]; }
    const Pixel &At(int X, int Y) const { return FPixels[Index(X, Y)]; }
    // Copies Source into this image with its top-left at (X, Y); parts
    // outside are dropped.
    void Paste(const Image &Source, int X, int Y);
    Image Crop(int X, int Y, int Width, int Height) const;
    // Each pixel repeated Factor times in both directions.
    Image Enlarged(int Factor) const;

private:
    std::size_t Index(int X, int Y) const;
    int FWidth = 0, FHeight = 0;
    std::vector<Pixel> FPixels;
};

// A picture file that does not decode.
class ImageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

using Bytes = std::vector<std::uint8_t>;

Bytes EncodeBmp24(const Image &Picture);  // the class library's BMP writer; alpha dropped
Bytes EncodeBmp32(const Image &Picture);  // the same writer, alpha in the fourth byte
Bytes EncodePng(const Image &Picture);    // colour type 6, 8 bits
// Any picture the readers take; alpha only from pictures that carry it
// (others are opaque). A damaged file raises ImageError.
Image DecodeBmp(const Bytes &Data);
Image DecodePng(const Bytes &Data);

Bytes ReadFileBytes(const std::string &Path);         // throws ImageError
void WriteFileBytes(const std::string &Path, const Bytes &Data);

} // namespace skintools
