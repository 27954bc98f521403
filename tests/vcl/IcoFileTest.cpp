#include "vcl/IcoFile.h"
#include "vcl/Dib.h"
#include "vcl/System.h"

#include <gtest/gtest.h>

#include <random>

using namespace vcl;

namespace {

TIconImage SolidImage(int width, int height) {
    TIconImage image;
    image.Width = width;
    image.Height = height;
    image.BitCount = 32;
    image.XorBits.assign(BytesPerScanLine(width, 32) * height, 0x80);
    image.AndBits.assign(BytesPerScanLine(width, 1) * height, 0);
    return image;
}

// One field of a file set to another value, little-endian.
struct TPatch {
    const char *What;
    std::size_t At;
    std::uint32_t Value;
    int Bytes;

    std::vector<std::uint8_t> Applied(std::span<const std::uint8_t> data) const {
        std::vector<std::uint8_t> patched(data.begin(), data.end());
        for (int i = 0; i < Bytes; ++i)
            patched[At + i] = std::uint8_t(Value >> (8 * i));
        return patched;
    }
};

} // namespace

TEST(IcoFile, WrittenFileReadsBackAsOneCheckedImage) {
    const std::vector<std::uint8_t> file = WriteIconFile(SolidImage(16, 16));
    EXPECT_EQ(IconImageCount(file), 1u);
    const std::vector<TIconDirEntry> entries = ReadIconDirectory(file);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].Width, 16);
    EXPECT_EQ(entries[0].BitCount, 32);
    EXPECT_EQ(ImagesEnd(entries), file.size());
    EXPECT_NO_THROW(CheckIconImage(std::span(file).subspan(entries[0].Offset, entries[0].Size)));
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
    const std::vector<std::uint8_t> good = WriteIconFile(SolidImage(16, 16));
    for (const TPatch &c : {TPatch{"reserved word", 0, 1, 2}, TPatch{"cursor type", 2, 2, 2},
                            TPatch{"no images", 4, 0, 2}, TPatch{"empty image", 14, 0, 4},
                            TPatch{"image inside the directory", 18, 8, 4}})
        EXPECT_THROW(ReadIconDirectory(c.Applied(good)), EInvalidGraphic) << c.What;
    EXPECT_THROW(ReadIconDirectory(std::span(good).first(10)), EInvalidGraphic);
    EXPECT_THROW(IconImageCount(std::span(good).first(5)), EInvalidGraphic);
}

TEST(IcoFileDamage, ImagesThatWouldBeReadPastTheirBytesAreRefused) {
    const std::vector<std::uint8_t> file = WriteIconFile(SolidImage(16, 16));
    const std::span<const std::uint8_t> image = std::span(file).subspan(22);
    for (std::size_t n = 0; n < image.size(); ++n) {
        const std::vector<std::uint8_t> cut(image.begin(), image.begin() + n);  // no bytes beyond for the sanitizers
        EXPECT_THROW(CheckIconImage(cut), EInvalidGraphic) << n;
    }

    for (const TPatch &c : {TPatch{"header size", 0, 12, 4}, TPatch{"width", 4, 0, 4}, TPatch{"odd height", 8, 31, 4},
                            TPatch{"huge height", 8, 4000, 4}, TPatch{"bits", 14, 7, 2}, TPatch{"compression", 16, 1, 4}})
        EXPECT_THROW(CheckIconImage(c.Applied(image)), EInvalidGraphic) << c.What;
}

TEST(IcoFile, PngImagesAreLeftToTheSystem) {
    const std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0};
    EXPECT_NO_THROW(CheckIconImage(png));
}

TEST(IcoFileDamage, RandomCorruptionNeverReadsOutOfBounds) {
    // Under the host build's sanitizers a stray access fails the test. The
    // checks run in the order TIcon runs them, each image only once the data
    // is known to reach its end.
    std::mt19937 random(3);
    const std::vector<std::uint8_t> good = WriteIconFile(SolidImage(16, 16));
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::uint8_t> bad = good;
        for (int i = 0; i < 1 + round % 6; ++i)
            bad[random() % 70] = static_cast<std::uint8_t>(random());
        // A copy of exactly the kept length, so that the sanitizers see any read past it.
        bad = std::vector<std::uint8_t>(bad.begin(), bad.begin() + random() % (bad.size() + 1));
        try {
            const std::vector<TIconDirEntry> entries = ReadIconDirectory(bad);
            if (ImagesEnd(entries) > bad.size())
                continue;
            const TIconDirEntry &entry = entries[ChooseIconImage(entries, 32, 32)];
            CheckIconImage(std::span(bad).subspan(entry.Offset, entry.Size));
        } catch (const EInvalidGraphic &) {
        }
    }
}
