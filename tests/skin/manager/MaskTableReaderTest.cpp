// The mask table read from the picture keys of an options text, with the
// pictures held in memory by a reader of the tests.
#include "skin/manager/sMaskTableReader.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "skin/graphics/sSkinTables.h"
#include "skin/graphics/vlPixelHelpers.h"
#include "skin/manager/sOptionsFile.h"
#include "vcl/System.h"

namespace skin {
namespace {

// Pictures by name; the master is 20 x 20 with its key pixel at (0, 0).
class MemoryReader : public TvlMaskTableReader {
public:
    MemoryReader(TsSkinTables &Tables, const TvlOptionsFile &Options)
        : TvlMaskTableReader(Tables, Options), Master(20, 20, 0xFF808080) {
        Master.At(0, 0) = KeyPixel;
    }

    vcl::TPixels32 Master;
    std::map<std::string, vcl::TPixels32> Pictures;
    std::vector<std::string> Asked;
    std::map<std::string, std::string> Shared;  // "SECTION.KEY" -> picture

protected:
    vcl::TBitmapView MasterPixels() const override { return const_cast<vcl::TPixels32 &>(Master).View(); }
    bool FindPicture(const std::string &FileName, vcl::TBitmapView &Pixels) override {
        Asked.push_back(FileName);
        const auto found = Pictures.find(FileName);
        if (found == Pictures.end()) return false;
        Pixels = found->second.View();
        return true;
    }
    void SharePicture(TsMaskData &Mask, const std::string &FileName) override {
        Shared[Mask.ClassName + "." + Mask.PropertyName] = FileName;
    }
};

const TsMaskData *Find(const TsMaskArray &Masks, const std::string &Section, const std::string &Key) {
    for (const TsMaskData &m : Masks)
        if (m.ClassName == Section && m.PropertyName == Key) return &m;
    return nullptr;
}

TEST(MaskTableReader, EveryCodeBecomesItsItem) {
    const TvlOptionsFile options("[GLOBALINFO]\nMASTERBITMAP=master.bmp\nNAME=Tests\nBOX=!box.png!2!1\n"
                                 "[BUTTON]\nCOLOR=$FFFFFF\nBORDERSMASK=^0000,0000,0012,0012,0000,0000,0000,0000,1,0,0,0\n"
                                 "GRIP=@0004,0004,0012,0010,2,0\n"
                                 "[PANEL]\nPATTERN=~0000,0000,0008,0008,01,0~x~x~x~x~x~wood.bmp\nHOTPATTERN=tile.jpg\n");
    TsSkinTables tables;
    MemoryReader reader(tables, options);
    reader.Pictures.emplace("BOX.PNG", vcl::TPixels32(8, 6, 0xFF000000));
    reader.Pictures.emplace("WOOD.BMP", vcl::TPixels32(9, 8));
    reader.ReadImageKeys();

    ASSERT_EQ(reader.Masks.size(), 4u) << "the master's name and non-pictures add nothing, nor does a missing file";
    const TsMaskData *box = Find(reader.Masks, "GLOBALINFO", "BOX");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->R, (vcl::TRect{0, 0, 8, 6})) << "a file item is the whole picture";
    EXPECT_EQ(box->WL, 8 / 6) << "margins derived from one state";
    EXPECT_EQ(box->Manager, &tables);
    EXPECT_EQ(box->OwnerSection, 0);

    const TsMaskData *border = Find(reader.Masks, "BUTTON", "BORDERSMASK");
    ASSERT_NE(border, nullptr);
    EXPECT_EQ(border->CornerClass, 1) << "the master's key pixel, scanned through MasterPixels";
    EXPECT_EQ(border->WL, 4);
    EXPECT_EQ(border->OwnerSection, 1);
    const TsMaskData *grip = Find(reader.Masks, "BUTTON", "GRIP");
    ASSERT_NE(grip, nullptr);
    EXPECT_EQ(grip->R, (vcl::TRect{4, 4, 12, 10}));
    EXPECT_EQ(grip->CornerClass, 0) << "only '^' and '!' items are scanned";
    const TsMaskData *texture = Find(reader.Masks, "PANEL", "PATTERN");
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->R, (vcl::TRect{0, 0, 8, 8})) << "a texture keeps its rect beside its own picture";

    EXPECT_EQ(reader.Shared, (std::map<std::string, std::string>{{"GLOBALINFO.BOX", "BOX.PNG"},
                                                                  {"PANEL.PATTERN", "WOOD.BMP"}}));
    EXPECT_EQ(reader.Asked, (std::vector<std::string>{"BOX.PNG", "WOOD.BMP", "TILE.JPG"}));
}

TEST(MaskTableReader, APictureWithoutPixelsAddsNoItemNorATextureCutFromIt) {
    const TvlOptionsFile options("[A]\nGLYPH=!empty.png!1!0\nPATTERN=~0000,0000,0008,0008,01,0~x~x~x~x~x~empty.png\n");
    TsSkinTables tables;
    MemoryReader reader(tables, options);
    reader.Pictures.emplace("EMPTY.PNG", vcl::TPixels32());
    reader.ReadImageKeys();
    EXPECT_TRUE(reader.Masks.empty());
    EXPECT_TRUE(reader.Shared.empty());
}

TEST(MaskTableReader, DamagedValuesAndPictureErrorsNameTheirKey) {
    TsSkinTables tables;
    const TvlOptionsFile damaged("[A]\nOK=@0000,0000,0004,0004,1,0\n[B]\nMASK=^00x0,0000,0048,0021\n");
    MemoryReader reader(tables, damaged);
    try {
        reader.ReadImageKeys();
        ADD_FAILURE() << "a damaged value is read";
    } catch (const vcl::EConvertError &e) {
        EXPECT_EQ(e.Message().rfind("[B] MASK=^00x0,0000,0048,0021: ", 0), 0u) << e.Message();
    }
    EXPECT_EQ(reader.Masks.size(), 1u) << "the keys before it were read";

    const TvlOptionsFile plain("[C]\nPATTERN=wood.bmp\n");
    std::vector<std::string> visited;
    EXPECT_THROW(ForEachImageKey(plain,
                                 [&](int, const std::string &Section, const std::string &Key, const TvlImageValue &) {
                                     visited.push_back(Section + "." + Key);
                                     throw vcl::EConvertError("not a picture");
                                 }),
                 vcl::EConvertError);
    EXPECT_EQ(visited, std::vector<std::string>{"C.PATTERN"});
}

} // namespace
} // namespace skin
