// A whole skin, read and painted: the input is an options text, and after a
// zero byte the master picture as a BMP file (else a picture of the
// target's own). The skin loads the way the manager loads one, with the
// same text as the application's common sections, or is refused with a
// conversion error; then every section and mask paints into small images,
// and every size made from the skin's numbers (a form's frame picture, a
// glow window, a tab, a caption's glow) stays within what its numbers'
// ranges allow, as do the numbers themselves; every mask is a rect of its
// picture with its margins inside one frame, and the caption buttons it
// sizes are no larger than that picture.
#include <algorithm>
#include <cstring>
#include <string_view>

#include "../skin/manager/SkinInMemory.h"
#include "skin/adapters/vlTabGeometry.h"
#include "skin/forms/vlBorderGeometry.h"
#include "skin/graphics/vlPixelHelpers.h"
#include "skin/graphics/vlSkinText.h"
#include "skin/manager/sSkinImageCodes.h"
#include "skin/manager/sSkinMeasures.h"
#include "skin/manager/sSkinPictures.h"
#include "skin/manager/sSkinQueries.h"
#include "vcl/BmpFile.h"
#include "vcl/StringList.h"
#include "vcl/System.h"

namespace {

using skin::MaxSkinMeasure;
using skin::test::TSkinInMemory;

void Within(std::int64_t Value, std::int64_t Min, std::int64_t Max) {
    if (Value < Min || Value > Max) __builtin_trap();
}

// The master picture as the manager reads one: its size checked on its
// header, then decoded into opaque skin pixels; one that does not read is
// the target's own.
vcl::TPixels32 MasterOf(std::span<const std::uint8_t> File) {
    try {
        skin::CheckAnnouncedPictureSize("MASTER.BMP", skin::TvlPictureFormat::Bmp, File);
        vcl::TDibImage dib = vcl::ReadBmpFile(File);
        vcl::TPixels32 master(dib.Width, dib.Height);
        skin::CopyToSkinPixels(dib.Layout(), master.View(), true);
        return master;
    } catch (const vcl::EInvalidGraphic &) {
        return TSkinInMemory::Master();
    }
}

void CheckSizes(const TSkinInMemory &Skin) {
    constexpr int M = MaxSkinMeasure;
    const skin::TsSkinData &d = Skin.Data;
    for (int v : {d.BorderWidth, d.TitleHeight, d.MaxHeight, d.FormOffset, d.ComboMargin, d.TabsCovering,
                  d.RibbonTabsCovering})
        Within(v, 0, M);
    for (int v : {d.CenterOffset, d.AlignOffset, d.AlignOffsetR, d.AlignOffsetT, d.AlignOffsetB, d.BISpace, d.BIRight,
                  d.BILeft, d.BITop, d.BIconCloseGlowMargin, d.BIconMaxGlowMargin, d.BIconMinGlowMargin})
        Within(v, -M, M);
    for (const skin::TvlOutEffect &e : Skin.OutEffects)
        for (int v : {e.OffsetL, e.OffsetT, e.OffsetR, e.OffsetB}) Within(v, -M, M);

    // Masks, and the caption buttons they size.
    for (const skin::TsMaskData &m : Skin.Masks) {
        const vcl::TBitmapView picture = Skin.MaskPixels(m);
        Within(m.R.Left, 0, m.R.Right);
        Within(m.R.Right, m.R.Left, picture.Width);
        Within(m.R.Top, 0, m.R.Bottom);
        Within(m.R.Bottom, m.R.Top, picture.Height);
        const vcl::TSize frame = skin::GetMaskFrameSize(m);
        for (int margin : {m.WL, m.WR}) Within(margin, 0, frame.cx);
        for (int margin : {m.WT, m.WB}) Within(margin, 0, frame.cy);
    }
    for (int icon : Skin.Elements.TitleIcons) {
        const skin::TsMaskData *m = Skin.IsValidMaskIndex(icon) ? &Skin.Masks[static_cast<std::size_t>(icon)] : nullptr;
        const vcl::TBitmapView picture = m ? Skin.MaskPixels(*m) : vcl::TBitmapView{};
        const vcl::TSize size = skin::CaptionButtonSize(m);
        Within(size.cx, 0, std::max(picture.Width, skin::DefaultCaptionButton));
        Within(size.cy, 0, std::max(picture.Height, skin::DefaultCaptionButton));
    }

    // A form's frame picture, normal and maximized, with the extended
    // border's margins when its picture has pixels.
    skin::TvlFrameSizes f;
    f.NativeBorder = 4;
    f.NativeCaption = 23;
    f.SkinBorder = d.BorderWidth;
    if (Skin.IsValidMaskIndex(Skin.Elements.ExBorder)) {
        const skin::TsMaskData &m = Skin.Masks[static_cast<std::size_t>(Skin.Elements.ExBorder)];
        if (!m.R.IsEmpty()) f.Margins = skin::ExtBorderMarginsOf(m, d.FormOffset, d.BorderMode);
    }
    for (int caption : {d.TitleHeight, d.MaxHeight}) {
        f.SkinCaption = caption;
        const vcl::TSize frame = skin::FrameImageSize(f, 400, 300);
        Within(frame.cx, 1, 400 + 4 * M);
        Within(frame.cy, 1, 300 + 4 * M);
    }

    // Tabs, each kind and place, widened by the coverings.
    for (int covering : {d.TabsCovering, d.RibbonTabsCovering})
        for (int position = skin::tpTop; position <= skin::tpRight; ++position)
            for (int kind = skin::tkTabs; kind <= skin::tkFlatButtons; ++kind)
                for (bool active : {false, true}) {
                    const vcl::TRect tab = skin::SkinTabRect({10, 10, 60, 30}, static_cast<skin::TvlTabPosition>(position),
                                                             static_cast<skin::TvlTabKind>(kind), active, covering);
                    Within(tab.Width(), 0, 50 + 4 + 2 * M);
                    Within(tab.Height(), 0, 20 + 4 + 2 * M);
                }

    // Glows around a 50 x 20 control, and the glows of captions.
    const auto glow = [&](int section, const std::string &picture, int margin) {
        const int mask = skin::GetMaskIndex(Skin.Sections, Skin.Masks, section, picture);
        vcl::TRect margins;
        if (mask >= 0) {
            const skin::TsMaskData &m = Skin.Masks[static_cast<std::size_t>(mask)];
            margins = {skin::MaskLeftMargin(m), skin::MaskTopMargin(m), skin::MaskRightMargin(m), skin::MaskBottomMargin(m)};
        }
        const vcl::TRect r = skin::GlowWindowRect({100, 100, 150, 120}, margins, margin);
        Within(r.Width(), 0, 50 + 4 * M);
        Within(r.Height(), 0, 20 + 4 * M);
    };
    for (const char *picture : {"BICONCLOSEGLOW0", "BICONMAXGLOW0", "BICONMINGLOW0"})
        for (int margin : {d.BIconCloseGlowMargin, d.BIconMaxGlowMargin, d.BIconMinGlowMargin})
            glow(Skin.Elements.GlobalInfoSection, picture, margin);
    for (std::size_t i = 0; i < Skin.Sections.size(); ++i) {
        const skin::TsGeneralData &s = Skin.Sections[i];
        Within(s.States, 1, 255);
        Within(s.Glow, 0, 255);
        for (int v : {s.GlowMargin, s.OutOffsL, s.OutOffsT, s.OutOffsR, s.OutOffsB}) Within(v, -M, M);
        glow(static_cast<int>(i), "GLOW0", s.GlowMargin);
        for (const skin::TsGenState &state : s.Props) {
            for (int percent : {state.ImagePercent, state.GradientPercent, state.Transparency}) Within(percent, 0, 100);
            const vcl::TSize text = skin::TextGlowImageSize({0, 0, 120, 18}, state.GSize);
            Within(text.cx, 0, 120 + 2 * (skin::MaxTextGlowRadius + 4));
            Within(text.cy, 0, 18 + 2 * (skin::MaxTextGlowRadius + 4));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::uint8_t *zero = static_cast<const std::uint8_t *>(std::memchr(data, 0, size));
    const std::string_view text(reinterpret_cast<const char *>(data), zero ? static_cast<std::size_t>(zero - data) : size);
    vcl::TPixels32 master =
        zero ? MasterOf({zero + 1, static_cast<std::size_t>(data + size - zero - 1)}) : TSkinInMemory::Master();
    vcl::TStringList common;
    common.SetText(text);
    try {
        TSkinInMemory skin(text, std::move(master), &common);
        CheckSizes(skin);
        skin::test::PaintEverySectionAndMask(skin);
    } catch (const vcl::EConvertError &) {
    }
    return 0;
}
