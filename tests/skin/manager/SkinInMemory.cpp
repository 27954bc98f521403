#include "SkinInMemory.h"

#include <algorithm>

#include "skin/graphics/vlNineSlice.h"
#include "skin/graphics/vlPixelHelpers.h"
#include "skin/graphics/vlSkinGlyphs.h"
#include "skin/graphics/vlSkinSections.h"
#include "skin/manager/sMaskTableReader.h"
#include "skin/manager/sOptionsFile.h"
#include "skin/manager/sSkinImageCodes.h"
#include "vcl/StringList.h"
#include "vcl/SysUtils.h"

namespace skin::test {

class TSkinInMemory::TReader : public TvlMaskTableReader {
public:
    TReader(TSkinInMemory &Skin, const TvlOptionsFile &Options) : TvlMaskTableReader(Skin, Options), FSkin(Skin) {}

    // An outer effect whose source is 1 takes its picture from the master,
    // as the manager's load does; the built-in one needs the program's resources.
    void AddOuterEffectMask(TvlOutEffect &Effect, const std::string &Key) {
        Effect.MaskIndex = Effect.Source == 1 ? AddOuterEffectItem(Key) : -1;
    }

protected:
    vcl::TBitmapView MasterPixels() const override { return FSkin.FMaster.View(); }
    bool FindPicture(const std::string &, vcl::TBitmapView &Pixels) override {
        Pixels = FSkin.FPicture.View();
        return true;
    }
    void SharePicture(TsMaskData &Mask, const std::string &) override {
        FSkin.FOwn.emplace(Mask.ClassName, Mask.PropertyName);
    }

private:
    TSkinInMemory &FSkin;
};

vcl::TPixels32 TSkinInMemory::Master(int W, int H) {
    vcl::TPixels32 master(W, H, 0xFF808080);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) master.At(x, y) = 0xFF000000u | static_cast<std::uint32_t>(x * 4 << 8 | y * 5);
    for (const auto &[x, y] : {std::pair{0, 0}, {W - 1, 0}, {0, H - 1}, {W - 1, H - 1}})
        if (W > 0 && H > 0) master.At(x, y) = KeyPixel;
    return master;
}

TSkinInMemory::TSkinInMemory(std::string_view Options, vcl::TPixels32 Master, const vcl::TStrings *Common)
    : FMaster(std::move(Master)), FPicture(TSkinInMemory::Master(13, 11)) {
    const TvlOptionsFile options(Options);
    Data.Version = ReadSkinVersion(options);
    TReader reader(*this, options);
    reader.ReadImageKeys();
    ReadGlobalInfo(options, Data, 4);
    OutEffects = ReadOuterEffects(options);
    reader.AddOuterEffectMask(OutEffects[1], "SH_MASK");
    reader.AddOuterEffectMask(OutEffects[0], "LO_MASK");
    ReadTabsCovering(options, Data);
    Masks = std::move(reader.Masks);
    Sections = ReadSections(options);
    if (Common) AddCommonSections(*Common, Sections);
    Colors = ReadSkinColors(options, Sections);
    AddTransparentSection(Sections, Colors[scGlobalFontColor]);
    CacheCommonElements(Elements, Sections, Masks);
    StdSectionIndexes = Elements.StdSectionIndexes;
    MainColor = Colors[scGlobalColor];
    SkinActive = true;
}

vcl::TBitmapView TSkinInMemory::MaskPixels(const TsMaskData &Mask) const {
    return FOwn.count({Mask.ClassName, Mask.PropertyName}) ? FPicture.View() : FMaster.View();
}

void PaintEverySectionAndMask(TSkinInMemory &Skin) {
    vcl::TPixels32 behind = TSkinInMemory::Master(24, 18);
    vcl::TPixels32 image(24, 18);
    const TBgPixels bg{behind.View(), 0, 0, vcl::clFuchsia, true, {}};
    const TBgPixels colour{{}, 0, 0, 0x123456, false, {}};
    const vcl::TRect rects[] = {{0, 0, 24, 18}, {3, 2, 17, 11}, {-5, -4, 30, 20}};
    for (int s = 0; s < static_cast<int>(Skin.Sections.size()); ++s)
        for (int state = 0; state < 4; ++state)
            for (const vcl::TRect &r : rects) {
                PaintSkinSection(s, bg, state, r, {r.Left, r.Top}, image.View(), &Skin, -1, -1);
                PaintSkinSection(s, colour, state, r, {0, 0}, image.View(), &Skin, -1, -1);
                PaintSectionWithMask(s, Skin.Sections[static_cast<std::size_t>(s)].BorderMask,
                                     Skin.Sections[static_cast<std::size_t>(s)].Props[0].TextureIndex, bg, state, r,
                                     {r.Left, r.Top}, image.View(), &Skin);
                PaintSkinSection32(s, state, r, image.View(), &Skin);
                PaintSectionBg32(s, state, r, image.View(), &Skin, vcl::clFuchsia);
            }
    for (const TsMaskData &mask : Skin.Masks)
        for (int state = 0; state < 4; ++state) {
            for (const vcl::TRect &r : rects) {
                DrawSkinRect(image.View(), r, bg, mask, state, true);
                DrawSkinRect32(image.View(), r, bg, mask, state);
                DrawSkinRectBlended(image.View(), r, bg, mask, state, {3, 3, 3, 3}, 128);
                vcl::TRect left = r;
                PaintMaskedTexture(image.View(), left, bg, mask, mask.DrawMode);
            }
            DrawSkinGlyph(image.View(), {2, 3}, state, gmNormal, mask, bg);
            DrawSkinGlyph(image.View(), {-4, 20}, state, gmFaded, mask, bg);
        }
}

} // namespace skin::test
