// The build-time skin tools: their writers read back by the libraries'
// readers, the listing of picture values, and a packed skin read and
// painted through the skinning library.
#include <gtest/gtest.h>

#include "SkinArt.h"
#include "SkinComposer.h"
#include "SkinImage.h"
#include "SkinPack.h"
#include "SkinValues.h"
#include "skin/graphics/vlPixelHelpers.h"
#include "skin/manager/vlSkinConvertor.h"
#include "vcl/Streams.h"
#include "vcl/System.h"

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

Bytes BytesOf(const std::string &Text) { return Bytes(Text.begin(), Text.end()); }

TEST(SkinImage, TheReadersGiveBackWhatTheWritersWrote) {
    for (const auto &[w, h] : {std::pair{1, 1}, std::pair{3, 7}, std::pair{33, 2}}) {
        const Image picture = Sample(w, h);
        EXPECT_TRUE(SamePixels(DecodePng(EncodePng(picture)), picture, true)) << w << "x" << h;
        EXPECT_TRUE(SamePixels(DecodeBmp(EncodeBmp24(picture)), picture, false)) << w << "x" << h;
        EXPECT_EQ(DecodeBmp(EncodeBmp24(picture)).At(w - 1, h - 1).A, 0xFF) << "a BMP without alpha is opaque";
        EXPECT_EQ(EncodePng(picture), EncodePng(picture));
        EXPECT_EQ(EncodeBmp24(picture), EncodeBmp24(picture));
    }
}

TEST(SkinImage, DamagedPicturesRaiseTheToolsError) {
    const Bytes png = EncodePng(Sample(9, 5)), bmp = EncodeBmp24(Sample(9, 5));
    for (std::size_t cut = 0; cut < png.size(); ++cut)
        EXPECT_THROW(DecodePng(Bytes(png.begin(), png.begin() + cut)), ImageError) << "PNG cut at " << cut;
    for (std::size_t cut = 0; cut < bmp.size(); ++cut)
        EXPECT_THROW(DecodeBmp(Bytes(bmp.begin(), bmp.begin() + cut)), ImageError) << "BMP cut at " << cut;
    Bytes flipped = png;
    flipped[40] ^= 0x10;  // inside the picture data: the checksum no longer fits
    EXPECT_THROW(DecodePng(flipped), ImageError);
}

std::vector<PackedMember> Unpack(const Bytes &Packed) {
    skin::TvlSkinConvertor convertor;
    vcl::TMemoryStream source;
    source.WriteBuffer(Packed.data(), Packed.size());
    source.SetPosition(0);
    convertor.Source = &source;
    EXPECT_TRUE(skin::UnpackSkinData(convertor));
    std::vector<PackedMember> members;
    if (convertor.Options)
        members.push_back({"Options.dat", Bytes(convertor.Options->Memory(),
                                                convertor.Options->Memory() + convertor.Options->Size())});
    for (const skin::TvlImageItem &item : convertor.ImageItems)
        members.push_back({item.Name, Bytes(item.Stream->Memory(), item.Stream->Memory() + item.Stream->Size())});
    return members;
}

TEST(SkinPack, TheLibraryUnpacksEveryMemberInOrder) {
    std::vector<PackedMember> members = {{"Options.dat", BytesOf("[A]\n")}, {"EMPTY.BMP", {}}};
    Bytes big(3 * 65536 + 17);
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = std::uint8_t((i * 2654435761u) >> 13);  // does not compress
    members.push_back({"BIG.BMP", big});
    members.push_back({"AFTER.PNG", Bytes(65536, 7)});
    const Bytes packed = PackSkin(members);
    EXPECT_EQ(PackSkin(members), packed);
    const std::vector<PackedMember> back = Unpack(packed);
    ASSERT_EQ(back.size(), members.size());
    for (std::size_t i = 0; i < back.size(); ++i) {
        EXPECT_EQ(back[i].Name, members[i].Name);
        EXPECT_EQ(back[i].Data, members[i].Data) << members[i].Name;
    }
}

TEST(SkinPack, MembersTheReaderWouldRefuseAreNotWritten) {
    EXPECT_THROW(PackSkin({{"", BytesOf("x")}}), ImageError);
    EXPECT_THROW(PackSkin({{std::string(skin::TvlUnpackLimits{}.MaxNameLength + 1, 'N'), {}}}), ImageError);
    EXPECT_NO_THROW(PackSkin({{std::string(skin::TvlUnpackLimits{}.MaxNameLength, 'N'), {}}}));
}

TEST(SkinValues, PictureValuesAreListedInFileOrderWithTheirPlace) {
    const skin::TvlOptionsFile options("[GLOBALINFO]\nMASTERBITMAP=master.bmp\nBOX=!box.png!3!1\nNAME=Beryllo\n"
                                       "[BUTTON]\nCOLOR=$FFFFFF\nBORDERSMASK=^0010,0020,0058,0052,0005,0006,0007,0008,3,1,6,2\n"
                                       "GRIP=@0000,0000,0048,0021,2,1\n[PANEL]\nPATTERN=wood.jpg\n");
    const std::vector<PictureItem> items = PictureValues(options);
    ASSERT_EQ(items.size(), 4u) << "the master bitmap's name, colours and names are no picture items";
    EXPECT_EQ(items[0].Section + "." + items[0].Key, "GLOBALINFO.BOX");
    EXPECT_EQ(items[0].Value.FileName, "BOX.PNG");
    EXPECT_FALSE(items[0].FromMaster());
    EXPECT_EQ(items[1].Section + "." + items[1].Key, "BUTTON.BORDERSMASK");
    EXPECT_TRUE(items[1].FromMaster());
    EXPECT_EQ(items[1].FrameWidth(), 16);
    EXPECT_EQ(items[1].PartHeight(), 16);
    EXPECT_TRUE(items[2].FromMaster());
    EXPECT_EQ(items[2].FrameWidth(), 24);
    EXPECT_EQ(items[2].PartHeight(), 10);
    EXPECT_EQ(items[3].Value.FileName, "WOOD.JPG");

    try {
        PictureValues(skin::TvlOptionsFile("[A]\nMASK=^00x0,0000,0048,0021\n"));
        ADD_FAILURE() << "a damaged value is read";
    } catch (const vcl::EConvertError &e) {
        EXPECT_NE(e.Message().find("[A] MASK="), std::string::npos) << e.Message();
    }
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

// A small packed skin: a master bitmap with a 12 x 8 border mask (3-pixel
// margins, its top-left corner pixel the key), a PNG glyph file of its own
// and a section that inherits the border.
constexpr Pixel Ring{0x20, 0x40, 0x60, 0xFF};
constexpr Pixel Behind{0x11, 0x22, 0x33, 0xFF};

Bytes SmallSkin(const std::string &Version, std::uint8_t GlyphAlpha) {
    Image master(13, 17, KeyPixel);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 12; ++x) {
            master.At(x, y) = Ring;
            master.At(x, y + 8) = Pixel{0, 0, 0, 0xFF};  // the mask: the image shows
        }
    master.At(0, 0) = KeyPixel;
    master.At(0, 8) = Pixel{0xFF, 0xFF, 0xFF, 0xFF};
    Image glyph(2, 4, Pixel{0, 0, 0, 0xFF});
    glyph.At(0, 0) = Pixel{0xC8, 0x64, 0x32, GlyphAlpha};
    glyph.At(1, 0) = Pixel{0x01, 0x02, 0x03, 0xFF};
    glyph.At(1, 2) = Pixel{0xFF, 0xFF, 0xFF, 0xFF};  // mask white: the target stays
    const std::string options = "[GLOBALINFO]\nVERSION=" + Version +
                                "\nMASTERBITMAP=small.bmp\nBORDERWIDTH=5\nDOT=!dot.png!1!1\n"
                                "[FRAME]\nCOLOR=$0000FF\nHOTCOLOR=$00FF00\n"
                                "BORDERSMASK=^0000,0000,0012,0016,0003,0003,0003,0003,1,1,0,0\n"
                                "[CHILD]\nPARENTCLASS=FRAME\nCOLOR=$FF0000\n";
    return PackSkin({{"Options.dat", BytesOf(options)},
                     {"SMALL.BMP", EncodeBmp24(master)},
                     {"DOT.PNG", EncodePng(glyph)}});
}

TEST(SkinBook, ReadsAPackedSkinIntoTheLibrarysTables) {
    const SkinBook book(SmallSkin("10", 0xFF));
    EXPECT_EQ(book.Data().BorderWidth, 5);
    const skin::TsMaskData &border = book.Mask("CHILD", "BORDERSMASK");
    EXPECT_EQ(&border, &book.Mask("FRAME", "BORDERSMASK")) << "inherited along PARENTCLASS";
    EXPECT_EQ(border.CornerClass, 1) << "the corner scan read the master's key pixel";
    EXPECT_EQ(book.Look("FRAME", 1).Color, 0x00FF00);
    EXPECT_EQ(book.Look("FRAME", 2).Color, 0x00FF00) << "no second state: the hot one";
    EXPECT_EQ(book.MasterPicture().At(0, 0), KeyPixel);
    EXPECT_THROW(book.Mask("FRAME", "GLYPHMASK"), ImageError);
    EXPECT_THROW(book.Section("NONE"), ImageError);
    EXPECT_THROW(SkinBook(BytesOf("GMzf")), std::exception);
}

TEST(SkinBook, PicturesOfTheirOwnAreHandedOutPremultipliedInNewSkinsOnly) {
    for (const auto &[version, premultiplied] : {std::pair{"10", true}, std::pair{"7.45", false}}) {
        SCOPED_TRACE(version);
        const SkinBook book(SmallSkin(version, 0x80));
        const skin::TsMaskData &dot = book.Mask("GLOBALINFO", "DOT");
        EXPECT_EQ(dot.R, (vcl::TRect{0, 0, 2, 4}));
        const vcl::TBitmapView pixels = skin::MaskImage(dot);
        ASSERT_EQ(pixels.Width, 2);
        EXPECT_EQ(pixels.At(0, 0), premultiplied ? 0x80643219u : 0x80C86432u);
        EXPECT_EQ(skin::MaskImage(book.Mask("FRAME", "BORDERSMASK")).At(1, 1), 0xFF204060u) << "cut from the master";
    }
}

TEST(SkinBook, PaintsSectionsAndGlyphsOverWhatLiesBehind) {
    // An old skin: its glyph is drawn as the file holds it.
    const SkinBook book(SmallSkin("7.45", 0xFF));
    Image target(30, 20, Behind);
    book.PaintSection(target, {4, 2, 24, 18}, "FRAME", 1);
    EXPECT_EQ(target.At(4, 2), Behind) << "the key corner shows what lay behind";
    EXPECT_EQ(target.At(5, 2), Ring);
    EXPECT_EQ(target.At(23, 17), Ring);
    EXPECT_EQ(target.At(14, 10), (Pixel{0, 0xFF, 0, 0xFF})) << "the hot colour inside the border";
    EXPECT_EQ(target.At(3, 2), Behind) << "nothing beside the rect changes";
    EXPECT_EQ(target.At(24, 10), Behind);

    book.DrawGlyph(target, 28, 0, book.Mask("GLOBALINFO", "DOT"), 0);
    EXPECT_EQ(target.At(28, 0), (Pixel{0xC8, 0x64, 0x32, 0xFF}));
    EXPECT_EQ(target.At(29, 0), Behind) << "a white mask keeps the target";
    EXPECT_EQ(target.At(28, 1), (Pixel{0, 0, 0, 0xFF}));
}

} // namespace
