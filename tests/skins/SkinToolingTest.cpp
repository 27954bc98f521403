// The build-time skin tools: their picture codecs, the packed container and
// the reading of picture values, with damaged and truncated input.
#include <gtest/gtest.h>

#include "SkinArt.h"
#include "SkinImage.h"
#include "SkinOptions.h"
#include "SkinPack.h"

using namespace skintools;

namespace {

Image Sample(int W, int H) {
    Image out(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            out.At(x, y) = Pixel{std::uint8_t(x * 37), std::uint8_t(y * 91), std::uint8_t(x ^ y), std::uint8_t(x * y)};
    return out;
}

bool SamePixels(const Image &A, const Image &B, bool WithAlpha) {
    if (A.Width() != B.Width() || A.Height() != B.Height()) return false;
    for (int y = 0; y < A.Height(); ++y)
        for (int x = 0; x < A.Width(); ++x) {
            Pixel a = A.At(x, y), b = B.At(x, y);
            if (!WithAlpha) a.A = b.A = 0;
            if (!(a == b)) return false;
        }
    return true;
}

TEST(SkinImage, PngAndBmpGiveBackTheirPixels) {
    for (const auto &[w, h] : {std::pair{1, 1}, std::pair{3, 7}, std::pair{33, 2}}) {
        const Image picture = Sample(w, h);
        EXPECT_TRUE(SamePixels(DecodePng(EncodePng(picture)), picture, true)) << w << "x" << h;
        EXPECT_TRUE(SamePixels(DecodeBmp(EncodeBmp24(picture)), picture, false)) << w << "x" << h;
        EXPECT_EQ(EncodePng(picture), EncodePng(picture));
    }
}

TEST(SkinImage, DamagedPicturesRaiseInsteadOfReadingPastTheirEnd) {
    const Bytes png = EncodePng(Sample(9, 5)), bmp = EncodeBmp24(Sample(9, 5));
    for (std::size_t cut = 0; cut < png.size(); ++cut)
        EXPECT_THROW(DecodePng(Bytes(png.begin(), png.begin() + cut)), ImageError) << "PNG cut at " << cut;
    for (std::size_t cut = 0; cut < bmp.size(); ++cut)
        EXPECT_THROW(DecodeBmp(Bytes(bmp.begin(), bmp.begin() + cut)), ImageError) << "BMP cut at " << cut;
    Bytes flipped = png;
    flipped[40] ^= 0x10;  // inside the picture data: the checksum no longer fits
    EXPECT_THROW(DecodePng(flipped), ImageError);
    Bytes huge = bmp;
    huge[18] = 0xFF, huge[19] = 0xFF, huge[20] = 0xFF, huge[21] = 0x7F;
    EXPECT_THROW(DecodeBmp(huge), ImageError);
}

TEST(SkinPack, MembersOfAnySizeComeBackInOrder) {
    std::vector<PackedMember> members = {{"Options.dat", Bytes{'[', 'A', ']'}}, {"EMPTY.BMP", {}}};
    Bytes big(3 * 65536 + 17);
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = std::uint8_t((i * 2654435761u) >> 13);  // does not compress
    members.push_back({"BIG.BMP", big});
    members.push_back({"AFTER.PNG", Bytes(65536, 7)});
    const Bytes packed = PackSkin(members);
    EXPECT_EQ(PackSkin(members), packed);
    const std::vector<PackedMember> back = UnpackSkin(packed);
    ASSERT_EQ(back.size(), members.size());
    for (std::size_t i = 0; i < back.size(); ++i) {
        EXPECT_EQ(back[i].Name, members[i].Name);
        EXPECT_EQ(back[i].Data, members[i].Data) << members[i].Name;
    }
}

TEST(SkinPack, DamagedContainersRaise) {
    const Bytes packed = PackSkin({{"Options.dat", Bytes(300, 'x')}, {"A.PNG", Bytes(50, 1)}});
    for (std::size_t cut = 0; cut < packed.size(); ++cut)
        EXPECT_THROW(UnpackSkin(Bytes(packed.begin(), packed.begin() + cut)), ImageError) << "cut at " << cut;
    struct Damage {
        const char *What;
        std::size_t At;
        std::uint8_t Value;
    };
    const Damage damages[] = {
        {"signature", 0, 'X'},
        {"a count that cannot fit", 7, 0x10},
        {"a negative count", 7, 0x80},
        {"a name longer than the data", 11, 0x40},
        {"a negative size", 8 + 4 + 11 + 3, 0x80},
        {"a size one byte too small", 8 + 4 + 11, 300 - 1 - 256},
    };
    for (const Damage &d : damages) {
        Bytes bad = packed;
        bad[d.At] = d.Value;
        EXPECT_THROW(UnpackSkin(bad), ImageError) << d.What;
    }
}

TEST(SkinOptions, PictureValuesReadByTheirCode) {
    const auto at = ParsePicture("GLOBALINFO", "GRIP", "@0000,0000,0048,0021,2,1");
    ASSERT_TRUE(at);
    EXPECT_EQ(at->R, (Rect{0, 0, 48, 21}));
    EXPECT_EQ(at->ImageCount, 2);
    EXPECT_EQ(at->MaskType, 1);
    EXPECT_EQ(at->ImageKind, 2);

    const auto caret = ParsePicture("BUTTON", "BORDERSMASK", "^0484,0048,0532,0080,0005,0006,0007,0008,3,1,6,2");
    ASSERT_TRUE(caret);
    EXPECT_EQ(caret->R, (Rect{484, 48, 532, 80}));
    EXPECT_EQ((std::vector<int>{caret->WL, caret->WT, caret->WR, caret->WB}), (std::vector<int>{5, 6, 7, 8}));
    EXPECT_EQ(caret->ImageCount, 3);
    EXPECT_EQ(caret->DrawMode, 6);
    EXPECT_EQ(caret->BorderWidth, 2);
    EXPECT_EQ(caret->ImageKind, 0) << "no '!' words";
    EXPECT_EQ(caret->FrameWidth(), 16);
    EXPECT_EQ(caret->PartHeight(), 16);

    const auto bang = ParsePicture("GLOBALINFO", "BOXCHECKED", "!boxchecked.png!3!1");
    ASSERT_TRUE(bang);
    EXPECT_EQ(bang->File, "BOXCHECKED.PNG");
    EXPECT_EQ(bang->ImageCount, 3);
    EXPECT_EQ(bang->MaskType, 1);

    const auto texture = ParsePicture("PANEL", "PATTERN", "wood.jpg");
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->Code, 0);
    EXPECT_EQ(texture->ImageKind, 1);
    EXPECT_FALSE(ParsePicture("PANEL", "COLOR", "$FFFFFF"));
    EXPECT_FALSE(ParsePicture("PANEL", "NOTE", "picture.png"));

    EXPECT_THROW(ParsePicture("A", "B", "@0000,0000,0048,0021,2"), OptionsError) << "too short for the mask type";
    EXPECT_THROW(ParsePicture("A", "B", "^00x0,0000,0048,0021"), OptionsError);
}

TEST(SkinOptions, InheritanceEndsAtCyclesAndUnknownParents) {
    const SkinOptions options("[A]\nPARENTCLASS=B\nCOLOR=1\n[B]\nPARENTCLASS=A\nSTATES=2\n[C]\nPARENTCLASS=NONE\n[d]\nX=$10\n");
    EXPECT_EQ(options.Int("A", "STATES", 3), 2);
    EXPECT_EQ(options.Int("B", "COLOR", 0), 1);
    EXPECT_EQ(options.Int("A", "MISSING", 7), 7);
    EXPECT_EQ(options.Int("C", "COLOR", 9), 9);
    EXPECT_EQ(options.Int("d", "X", 0), 16);
    EXPECT_FALSE(options.HasSection("D")) << "names are case-sensitive";
}

TEST(SkinArt, MaskedStripsKeepTheKeyOnlyWhereNothingLies) {
    Canvas frame(6, 4);
    frame.KeyOutside(RoundRect(0, 0, 6, 4, 2));
    frame.Fill(RoundRect(1, 1, 5, 3, 0), Rgb(0x102030));
    const Image strip = MaskedStrip({frame, frame}, Rgb(0xFFFFFF));
    ASSERT_EQ(strip.Width(), 12);
    ASSERT_EQ(strip.Height(), 8);
    EXPECT_EQ(strip.At(0, 0), KeyPixel);
    EXPECT_EQ(strip.At(0, 4), (Pixel{255, 255, 255, 255})) << "the key's mask is white";
    EXPECT_EQ(strip.At(2, 1), (Pixel{0x10, 0x20, 0x30, 255}));
    EXPECT_EQ(strip.At(2, 5), (Pixel{0, 0, 0, 255})) << "covered: black mask";
    EXPECT_EQ(strip.At(8, 1), strip.At(2, 1)) << "the second state beside the first";

    const Image png = MaskedPngStrip({frame});
    EXPECT_EQ(png.At(0, 0).A, 0);
    EXPECT_EQ(png.At(2, 1).A, 255);
}

} // namespace
