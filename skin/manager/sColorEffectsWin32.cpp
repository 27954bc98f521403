// The manager's HueOffset, Saturation and Brightness on a skin just read:
// its master bitmap, its pictures, its section colours and its skin colours.
#include "sColorEffects.h"
#include "sSkinManager.h"
#include "skin/graphics/vlColorEffects.h"
#include "vcl/Bitmap.h"

namespace skin {

void TsSkinManager::ApplyColorEffectsToTables(TsGeneralDataArray &Tables, TvlSkinColors &Colors, vcl::TBitmap *Master,
                                              const TsMaskArray &Items, const TvlExtArray &Images,
                                              TsSkinData &Data) const {
    const vcl::TBitmapView master = BitmapPixels(Master);
    const auto eachPicture = [&](TPixelProc proc, std::int32_t arg) {
        for (const TvlExtFileData &e : Images) ForEachPixel32(BitmapPixels(e.Bitmap.get()), proc, arg, vcl::clFuchsia);
    };
    // The skin's shadow colour is the colour value the skin data holds.
    const auto recolorData = [&](const TColorOp &op) {
        if (Data.Shadow1Color >= 0) Data.Shadow1Color = op(Data.Shadow1Color);
    };

    if (const int degrees = FHueOffset; degrees != 0) {
        RotateMasterHue(master, degrees, HueKeptRects(Items, Data.BIKeepHue));
        eachPicture(PixelHueProc, degrees);
        const TColorOp hue = [degrees](vcl::TColor c) { return ChangeHue(degrees, c); };
        RecolorSections(Tables, hue);
        recolorData(hue);
        RecolorSkinColors(Colors, hue);
    }
    if (FSaturation != 0) {
        const std::int32_t amount = SaturationAmount(FSaturation);
        ForEachPixel32(master, PixelSaturationProc, amount, vcl::clFuchsia);
        eachPicture(PixelSaturationProc, amount);
        const TColorOp saturate = [amount](vcl::TColor c) { return ChangeSaturation(c, amount); };
        RecolorSections(Tables, saturate);
        recolorData(saturate);
        RecolorSkinColors(Colors, saturate);
    }
    if (const int amount = FBrightness; amount != 0) {
        BrightenMaster(master, amount, MaskHalves(Items));
        eachPicture(PixelBrightnessProc, amount);
        RecolorSections(Tables, [amount](vcl::TColor c) {
            return static_cast<vcl::TColor>(BrightenPixel(static_cast<std::uint32_t>(c), amount));
        });
    }
}

} // namespace skin
