#include "vlControlBorder.h"

#include <algorithm>

#include "sCommonDataView.h"
#include "sSkinTables.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/Controls.h"
#include "vcl/Messages.h"
#include "vlGraphUtils.h"
#include "vlNineSlice.h"
#include "vlParentBackground.h"
#include "vlPixelHelpers.h"

namespace skin {

namespace {

// R less Width on every side; a side that would cross its opposite stops there.
vcl::TRect Shrunk(const vcl::TRect &R, int Width) {
    vcl::TRect r{R.Left + Width, R.Top + Width, R.Right - Width, R.Bottom - Width};
    r.Right = std::max(r.Right, r.Left);
    r.Bottom = std::max(r.Bottom, r.Top);
    return r;
}

} // namespace

bool PaintControlBorder(HDC DC, const vcl::TRect &R, int FrameWidth, TsCommonDataView &CommonData, int State,
                        vcl::TRect &Inner, const TvlAsker &Asker) {
    const vcl::TColor colour = CommonData.GetBackColor(State);
    const int frame = std::max(FrameWidth, 0);
    TvlBgQuery query;
    vcl::TControl *owner = CommonData.OwnerControl();
    if (owner && owner->Parent() && !QueryParentBackground(query, owner->Parent(), false, Asker)) return false;

    TsSkinTables *manager = CommonData.GetSkinManager();
    if (!manager || !manager->IsValidMaskIndex(CommonData.BorderIndex())) {
        if (frame > 0 && DC) FillFrame(DC, R, frame, frame, frame, frame, colour);
        // Callers size their client area by Inner: it is never left unset.
        Inner = Shrunk(R, frame);
        return true;
    }
    const TsMaskData &mask = manager->Masks[CommonData.BorderIndex()];
    if (manager->IsValidSectionIndex(CommonData.SkinIndex()))
        State = ClampStateIndex(State, manager->Sections[CommonData.SkinIndex()].States);
    const int wl = std::max<int>(mask.WL, 0), wt = std::max<int>(mask.WT, 0);
    const int wr = std::max<int>(mask.WR, 0), wb = std::max<int>(mask.WB, 0);
    CommonData.PrepareCache();
    vcl::TBitmap *cache = CommonData.CacheBmp();
    HDC cacheDC = cache ? cache->Canvas()->Handle() : nullptr;
    if (cache) {
        if (mask.MaskType == 1) {
            if (CommonData.BGFlags() & bgfParentBackground)
                FillFrame(cacheDC, R, wl, wt, wr, wb, colour);
            else if (query.Image && owner)
                CopyBorderStrips(cacheDC, R.Left, R.Top, R.Width(), R.Height(), query.Image->Canvas()->Handle(),
                                 owner->Left() + query.X + R.Left, owner->Top() + query.Y + R.Top,
                                 std::max({wl, wt, wr, wb}));
        }
        TvlBgInfo bg;
        BgQueryToBgInfo(query, bg);
        if (owner) bg.X += owner->Left(), bg.Y += owner->Top();
        DrawSkinRect(*cache, R, bg, mask, State, true);
    }
    Inner = {R.Left + wl, R.Top + wt, R.Right - wr, R.Bottom - wb};
    if (frame == 0) return true;
    const int w = R.Width(), h = R.Height();
    const auto side = [](int v) { return v < 1 ? 0 : v; };
    if (cache)
        FrameRectAlpha(cache->View(), Inner, side(std::min(frame, w - wr) - wl), side(std::min(frame, h - wb) - wt),
                       side(std::min(frame, w - wl) - wr), side(std::min(frame, h - wt) - wb),
                       vcl::ColorToRGB(colour));
    Inner = Shrunk(R, frame);
    if (cache && DC && DC != cacheDC) CopyBorderStrips(DC, R.Left, R.Top, w, h, cacheDC, R.Left, R.Top, frame);
    return true;
}

void SetByteAndRecreateWnd(vcl::TWinControl &Control, std::uint8_t &Stored, std::uint8_t Value) {
    if (Stored == Value) return;
    Stored = Value;
    if (Control.HandleAllocated()) Control.Perform(vcl::CM_RECREATEWND, 0, 0);
}

} // namespace skin
