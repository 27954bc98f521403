// The skinning library's own pictures reach every program that links the
// library: the outer-effect blur "BLUR5" as a bitmap resource and the two
// window shadows "vlSHDA" and "vlSHDI" as PNG data.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace {

using BitmapHandle = std::unique_ptr<std::remove_pointer_t<HBITMAP>, decltype(&DeleteObject)>;

std::vector<std::uint8_t> Resource(const wchar_t *Name, const wchar_t *Type) {
    HRSRC found = FindResourceW(nullptr, Name, Type);
    if (!found) return {};
    HGLOBAL loaded = LoadResource(nullptr, found);
    const auto *data = static_cast<const std::uint8_t *>(LockResource(loaded));
    return std::vector<std::uint8_t>(data, data + SizeofResource(nullptr, found));
}

std::uint32_t BigEndian(const std::vector<std::uint8_t> &B, std::size_t At) {
    return std::uint32_t(B[At]) << 24 | B[At + 1] << 16 | B[At + 2] << 8 | B[At + 3];
}

TEST(LibraryImages, BlurIsASquareMaskBlackInsideAndWhiteAtTheEdge) {
    BitmapHandle blur(static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), L"BLUR5", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)),
                      &DeleteObject);
    ASSERT_NE(blur.get(), nullptr);
    DIBSECTION dib{};
    ASSERT_EQ(GetObjectW(blur.get(), sizeof dib, &dib), int(sizeof dib));
    const int size = dib.dsBm.bmWidth;
    EXPECT_EQ(dib.dsBm.bmHeight, size);
    EXPECT_EQ(size % 2, 1) << "an odd size leaves one middle pixel between the halves";
    ASSERT_EQ(dib.dsBm.bmBitsPixel, 24);
    auto grey = [&](int X, int Y) {  // bottom-up rows
        const auto *row = static_cast<const std::uint8_t *>(dib.dsBm.bmBits) + (size - 1 - Y) * dib.dsBm.bmWidthBytes;
        return row[X * 3];
    };
    EXPECT_LE(grey(size / 2, size / 2), 8);
    EXPECT_GE(grey(0, 0), 247);
    EXPECT_GE(grey(0, size / 2), 240);
    for (int x = 1; x < size / 2; ++x) EXPECT_LE(grey(x, size / 2), grey(x - 1, size / 2)) << "darker towards the middle";
}

TEST(LibraryImages, ShadowsArePngPicturesNineSlicedAroundAnEmptyMiddle) {
    for (const wchar_t *name : {L"vlSHDA", L"vlSHDI"}) {
        const std::vector<std::uint8_t> png = Resource(name, MAKEINTRESOURCEW(10));  // RT_RCDATA
        ASSERT_GT(png.size(), 33u);
        EXPECT_EQ(std::vector<std::uint8_t>(png.begin(), png.begin() + 8),
                  (std::vector<std::uint8_t>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
        EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR");
        EXPECT_EQ(BigEndian(png, 16), 19u);
        EXPECT_EQ(BigEndian(png, 20), 19u);
        EXPECT_EQ(png[24], 8);  // bits
        EXPECT_EQ(png[25], 6);  // RGBA
    }
}

} // namespace
