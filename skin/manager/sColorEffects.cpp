#include "sColorEffects.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "skin/graphics/vlColorEffects.h"
#include "skin/graphics/vlPixelHelpers.h"

namespace skin {

std::int32_t SaturationAmount(std::int32_t Percent) {
    const double amount = std::nearbyint(static_cast<double>(Percent) * 2.55);
    return static_cast<std::int32_t>(std::clamp(amount, -255.0, 255.0));
}

namespace {

void Recolor(vcl::TColor &Color, const TColorOp &Op) {
    // -1 is "no colour" and a negative value a system colour's code: neither
    // is an RGB value that a colour routine could change sensibly.
    if (Color >= 0) Color = Op(Color);
}

bool Inside(const vcl::TRect &R, int X, int Y) { return X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom; }

} // namespace

void RecolorSections(TsGeneralDataArray &Sections, const TColorOp &Op) {
    for (TsGeneralData &section : Sections)
        for (TsGenState &s : section.Props) {
            for (vcl::TColor *c : {&s.Color, &s.GCol, &s.FontColor, &s.TCLeft, &s.TCTop, &s.TCRight, &s.TCBottom})
                Recolor(*c, Op);
            for (TsGradientStop &stop : s.Gradient) {
                Recolor(stop.Color1, Op);
                Recolor(stop.Color2, Op);
            }
        }
}

void RecolorSkinColors(TvlSkinColors &Colors, const TColorOp &Op) {
    for (std::size_t i = 0; i < Colors.size(); ++i)
        if (RecoloredSkinColors & (std::uint32_t{1} << i)) Recolor(Colors[i], Op);
}

std::vector<vcl::TRect> HueKeptRects(const TsMaskArray &Masks, std::int32_t KeepHue) {
    static constexpr std::string_view always[] = {"BICONCLOSE", "BICLOSEALONE", "SICONCLOSE"};
    static constexpr std::string_view withOne[] = {"BICONMAX", "BICONMIN",  "BICONNORM", "BICONHELP",
                                                   "SICONMAX", "SICONMIN", "SICONNORM"};
    std::vector<vcl::TRect> kept;
    if (KeepHue <= 0) return kept;
    const auto keep = [&](std::string_view glyph) {
        const std::string glow = std::string(glyph) + "GLOW" + "0";
        for (const TsMaskData &m : Masks)
            if (!m.Bmp && m.ClassName == "GLOBALINFO" && (m.PropertyName == glyph || m.PropertyName == glow))
                kept.push_back(m.R);
    };
    for (std::string_view g : always) keep(g);
    if (KeepHue == 1)
        for (std::string_view g : withOne) keep(g);
    return kept;
}

void RotateMasterHue(const vcl::TBitmapView &Master, std::int32_t Degrees, const std::vector<vcl::TRect> &Kept) {
    if (!Master.HasRows() || Degrees == 0) return;
    for (int y = 0; y < Master.Height; ++y) {
        std::uint32_t *row = Master.Row32(y);
        for (int x = 0; x < Master.Width; ++x) {
            if (row[x] == KeyPixel) continue;
            if (std::any_of(Kept.begin(), Kept.end(), [&](const vcl::TRect &r) { return Inside(r, x, y); })) continue;
            PixelHueProc(&row[x], Degrees);
        }
    }
}

void BrightenMaster(const vcl::TBitmapView &Master, std::int32_t Amount, const std::vector<vcl::TRect> &Restored) {
    if (!Master.HasRows() || Amount == 0) return;
    // The pixels to put back, rect by rect, clipped to the image.
    std::vector<std::pair<vcl::TRect, std::vector<std::uint32_t>>> saved;
    for (vcl::TRect r : Restored) {
        r.Left = std::max(r.Left, 0);
        r.Top = std::max(r.Top, 0);
        r.Right = std::min(r.Right, Master.Width);
        r.Bottom = std::min(r.Bottom, Master.Height);
        if (r.IsEmpty()) continue;
        std::vector<std::uint32_t> pixels;
        pixels.reserve(static_cast<std::size_t>(r.Width()) * static_cast<std::size_t>(r.Height()));
        for (int y = r.Top; y < r.Bottom; ++y) pixels.insert(pixels.end(), &Master.At(r.Left, y), &Master.At(r.Left, y) + r.Width());
        saved.emplace_back(r, std::move(pixels));
    }
    ForEachPixel32(Master, PixelBrightnessProc, Amount, vcl::clFuchsia);
    for (const auto &[r, pixels] : saved) {
        const std::uint32_t *from = pixels.data();
        for (int y = r.Top; y < r.Bottom; ++y, from += r.Width()) std::copy(from, from + r.Width(), &Master.At(r.Left, y));
    }
}

std::vector<vcl::TRect> MaskHalves(const TsMaskArray &Masks) {
    std::vector<vcl::TRect> halves;
    for (const TsMaskData &m : Masks) {
        if (m.Bmp || m.MaskType != 1) continue;
        const int part = GetMaskFrameHeight(m);
        halves.push_back({m.R.Left, m.R.Top + part, m.R.Right, m.R.Top + 2 * part});
    }
    return halves;
}

} // namespace skin
