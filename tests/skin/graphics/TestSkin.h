#pragma once
// A skin built in memory for the painter tests: a master picture whose every
// pixel tells where it lies (blue = x, green = y), so that any painted pixel
// names the source pixel it came from, and masks and sections added by hand.
#include <cstdint>
#include <string>

#include "PixelTestSupport.h"
#include "skin/graphics/sCommonDataView.h"
#include "skin/graphics/sSkinTables.h"

namespace skin::test {

// The master pixel at (x, y): opaque, red 0x80.
constexpr std::uint32_t At(int x, int y) { return Px(x, y, 0x80, 255); }

class TTestSkin : public TsSkinTables {
public:
    explicit TTestSkin(int w = 96, int h = 64) : Master(Image(w, h, [](int x, int y) { return At(x, y); })) {}

    vcl::TBitmapView MasterImage() const override { return Master.View(); }

    // A mask cut from R of the master, owned by this skin; its index.
    int AddMask(vcl::TRect r, int imageCount, int maskType, int wl, int wt, int wr, int wb, int drawMode = 0) {
        TsMaskData m;
        m.R = r;
        m.ImageCount = static_cast<std::int16_t>(imageCount);
        m.MaskType = static_cast<std::int16_t>(maskType);
        m.WL = static_cast<std::int16_t>(wl), m.WT = static_cast<std::int16_t>(wt);
        m.WR = static_cast<std::int16_t>(wr), m.WB = static_cast<std::int16_t>(wb);
        m.DrawMode = static_cast<std::uint16_t>(drawMode);
        m.Manager = this;
        Masks.push_back(m);
        return static_cast<int>(Masks.size()) - 1;
    }

    // A section with plain colours per state (normal, hot, second); its index.
    int AddSection(const std::string &name, vcl::TColor c0, vcl::TColor c1, vcl::TColor c2) {
        TsGeneralData d;
        d.ClassName = name;
        d.Props[0].Color = c0, d.Props[1].Color = c1, d.Props[2].Color = c2;
        Sections.push_back(d);
        return static_cast<int>(Sections.size()) - 1;
    }

    // Fills R of the master with a value (key pixels, mask values).
    void Paint(vcl::TRect r, std::uint32_t value) {
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x) Master.At(x, y) = value;
    }

    mutable vcl::TPixels32 Master;
};

// A control's skin data as the painters see it, with plain fields.
class TFakeControlData : public TsCommonDataView {
public:
    TsSkinTables *Manager = nullptr;
    int Skin = -1, Border = -1, Pattern = -1, HotPattern = -1;
    vcl::TBitmap *Cache = nullptr;
    vcl::TControl *Owner = nullptr;
    std::uint16_t Flags = 0;
    std::int32_t Hue = 0, Sat = 0;
    vcl::TColor Tone = vcl::clNone;
    bool OwnColour = false, OwnFont = false, Skinned = true;
    vcl::TColor Back = 0, Own = vcl::clFuchsia;
    int SectionUnder = -1;
    int CachePrepared = 0;

    int SkinIndex() const override { return Skin; }
    int BorderIndex() const override { return Border; }
    int PatternIndex() const override { return Pattern; }
    int HotPatternIndex() const override { return HotPattern; }
    vcl::TBitmap *CacheBmp() const override { return Cache; }
    void PrepareCache() override { ++CachePrepared; }
    vcl::TControl *OwnerControl() const override { return Owner; }
    std::uint16_t BGFlags() const override { return Flags; }
    std::int32_t HueOffset() const override { return Hue; }
    std::int32_t Saturation() const override { return Sat; }
    vcl::TColor ColorTone() const override { return Tone; }
    bool CustomColor() const override { return OwnColour; }
    bool CustomFont() const override { return OwnFont; }
    bool IsSkinned(bool) const override { return Skinned; }
    vcl::TColor GetBackColor(int) const override { return Back; }
    vcl::TColor OwnerColor() const override { return Own; }
    int QuerySectionIndexAt(int Index) const override { return SectionUnder < 0 ? Index : SectionUnder; }

protected:
    TsSkinTables *ServingTables() const override { return Manager; }
};

} // namespace skin::test
