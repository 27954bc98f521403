#include "vcl/IcoFile.h"
#include "vcl/Dib.h"
#include "vcl/System.h"

#include <gtest/gtest.h>

using namespace vcl;
using Bytes = std::vector<std::uint8_t>;

namespace {

// A file of one 16 x 16 32-bit image, or of the same image behind two
// directory entries.
Bytes IconFile(bool twice = false) {
    TIconImage image;
    image.Width = image.Height = 16;
    image.XorBits.assign(BytesPerScanLine(16, 32) * 16, 0x80);
    image.AndBits.assign(BytesPerScanLine(16, 1) * 16, 0);
    const Bytes file = WriteIconFile(image);
    if (!twice) return file;
    Bytes two = {0, 0, 1, 0, 2, 0};
    for (int i = 0; i < 2; ++i) two.insert(two.end(), file.begin() + 6, file.begin() + 22);
    two.insert(two.end(), file.begin() + 22, file.end());
    two[18] = two[34] = 38;  // both entries point at the one image
    return two;
}

// One field of the data set to another value, little-endian.
struct TPatch {
    const char *What;
    std::size_t At;
    std::uint32_t Value;
    int Size;

    Bytes Applied(std::span<const std::uint8_t> data) const {
        Bytes patched(data.begin(), data.end());
        for (int i = 0; i < Size; ++i) patched[At + i] = std::uint8_t(Value >> (8 * i));
        return patched;
    }
};

} // namespace

TEST(IcoFile, WrittenFileReadsBackAsCheckedImages) {
    for (bool twice : {false, true}) {
        const Bytes file = IconFile(twice);
        EXPECT_EQ(IconImageCount(file), twice ? 2u : 1u);
        const std::vector<TIconDirEntry> entries = ReadIconDirectory(file);
        ASSERT_EQ(entries.size(), twice ? 2u : 1u);
        EXPECT_EQ(entries.back().Width, 16);
        EXPECT_EQ(entries.back().BitCount, 32);
        EXPECT_EQ(ImagesEnd(entries), file.size());
        EXPECT_NO_THROW(CheckIconImage(std::span(file).subspan(entries.back().Offset, entries.back().Size)));
    }
    const Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0};
    EXPECT_NO_THROW(CheckIconImage(png));  // left to the system's decoder
}

TEST(IcoFile, TheSizeWantedChoosesTheImage) {
    auto entry = [](int size, int bits) { return TIconDirEntry{size, size, bits, 100, 10}; };
    const std::vector<TIconDirEntry> entries = {entry(16, 32), entry(32, 8), entry(32, 32), entry(48, 32),
                                                entry(256, 32)};
    EXPECT_EQ(ChooseIconImage(entries, 32, 32), 2u);  // exact size, most colours
    EXPECT_EQ(ChooseIconImage(entries, 16, 16), 0u);
    EXPECT_EQ(ChooseIconImage(entries, 40, 40), 3u);  // as near as 32, and larger
    EXPECT_EQ(ChooseIconImage(entries, 200, 200), 4u);
}

TEST(IcoFileDamage, BrokenDirectoriesAreReported) {
    const Bytes one = IconFile();
    for (const TPatch &c : {TPatch{"reserved word", 0, 1, 2}, TPatch{"cursor type", 2, 2, 2},
                            TPatch{"no images", 4, 0, 2}, TPatch{"empty image", 14, 0, 4},
                            TPatch{"image inside the directory", 18, 8, 4}})
        EXPECT_THROW(ReadIconDirectory(c.Applied(one)), EInvalidGraphic) << c.What;
    EXPECT_THROW(ReadIconDirectory(TPatch{"second image", 34, 30, 4}.Applied(IconFile(true))), EInvalidGraphic);
    EXPECT_THROW(ReadIconDirectory(std::span(one).first(10)), EInvalidGraphic);
    EXPECT_THROW(IconImageCount(std::span(one).first(5)), EInvalidGraphic);
}

TEST(IcoFileDamage, ImagesThatWouldBeReadPastTheirBytesAreRefused) {
    const Bytes file = IconFile();
    const std::span<const std::uint8_t> image = std::span(file).subspan(22);
    for (std::size_t n : {0, 39, 40, 1063, 1127}) {
        const Bytes cut(image.begin(), image.begin() + n);  // no bytes beyond for the sanitizers
        EXPECT_THROW(CheckIconImage(cut), EInvalidGraphic) << n;
    }
    for (const TPatch &c : {TPatch{"header size", 0, 12, 4}, TPatch{"width", 4, 0, 4}, TPatch{"height", 8, 0, 4},
                            TPatch{"odd height", 8, 31, 4}, TPatch{"huge height", 8, 4000, 4}, TPatch{"bits", 14, 7, 2},
                            TPatch{"compression", 16, 1, 4}})
        EXPECT_THROW(CheckIconImage(c.Applied(image)), EInvalidGraphic) << c.What;
}
