// TsCommonData: what lies behind a control (for a child's question and for
// its own painting), its outer effect, and the copies of its cache to the
// screen; the control's own colour effects.
#include <algorithm>

#include "sColorEffects.h"
#include "sCommonData.h"
#include "sMessages.h"
#include "sSkinQueries.h"
#include "sSkinManager.h"
#include "sSkinServices.h"
#include "sVclUtils.h"
#include "skin/graphics/vlColorEffects.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/graphics/vlNineSlice.h"
#include "skin/graphics/vlParentBackground.h"
#include "skin/graphics/vlSkinGlyphs.h"
#include "vcl/Bitmap.h"
#include "vcl/Controls.h"
#include "vcl/GdiObjects.h"

namespace skin {

namespace {

bool Has(const vcl::TComponent *C, vcl::TComponentStateItem Item) { return C && C->ComponentState().Contains(Item); }

void Copy(HDC To, const vcl::TRect &R, HDC From, vcl::TPoint Src) {
    BitBlt(To, R.Left, R.Top, R.Width(), R.Height(), From, Src.X, Src.Y, SRCCOPY);
}

} // namespace

LRESULT AskParent(vcl::TControl *Parent, unsigned SubCommand, LPARAM Record) {
    if (auto *windowed = dynamic_cast<vcl::TWinControl *>(Parent); windowed && windowed->HandleAllocated())
        return SendSkinCommand(windowed->WindowHandle(), SubCommand, Record);
    const TvlRecordInFlight inFlight(SubCommand, Record);
    return Parent->Perform(SM_SKINCOMMAND, SkinCommand(SubCommand), Record);
}

vcl::TColor MixByTransparency(vcl::TColor K, vcl::TColor Q, int T) {
    vcl::TColor mixed = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int k = K >> shift & 0xFF, q = Q >> shift & 0xFF;
        mixed |= (k + (q - k) * T / 100) << shift;
    }
    return mixed;
}

bool InheritsFromClassName(const vcl::TObject &Object, std::string_view Name) {
    for (const vcl::TClassInfo *c = &Object.ClassInfo(); c; c = c->Parent)
        if (c->Name == Name) return true;
    return false;
}

LRESULT ForwardSectionQuery(vcl::TControl *Child, vcl::TControl *Parent, TvlSectionQuery &Query) {
    if (!Child || !Parent) return 0;
    Query.Bounds = {Query.Bounds.Left + Child->Left(), Query.Bounds.Top + Child->Top(),
                    Query.Bounds.Right + Child->Left(), Query.Bounds.Bottom + Child->Top()};
    return AskParent(Parent, SC_GET_BG_SECTION, reinterpret_cast<LPARAM>(&Query));
}

// ------------------------------------------------------------ backgrounds

namespace {

// The record went while its cache was built: nothing of it answers, and
// the asker falls back as for a parent that did not answer.
bool Unanswered(TvlBgQuery &Query) {
    Query.Kind = bqNone;
    Query.Image = nullptr;
    Query.Margins = {};
    return false;
}

} // namespace

bool TsCommonData::CopyParentBackground(TvlBgQuery &Query, int State) {
    const TvlAsker self(this);
    if (Query.PaintIntoDC) {
        UpdateTransparency(false);
        if (CanUseCache()) {
            if (BGChanged) PerformSkinCommand(OwnerControl(), SC_BUILD_CACHE, 0);
            if (self.Gone()) return Unanswered(Query);
            if (CacheBmp() && !CacheBmp()->Empty() && Query.DC) {
                Copy(Query.DC, Query.Rect, CacheBmp()->Canvas()->Handle(), {Query.X, Query.Y});
                Query.Kind = bqImage;
                return true;
            }
        }
        if (Query.DC) {
            const vcl::TBrushHandle brush(CreateSolidBrush(static_cast<COLORREF>(vcl::ColorToRGB(GetBackColor(State)))));
            const RECT r{Query.Rect.Left, Query.Rect.Top, Query.Rect.Right, Query.Rect.Bottom};
            FillRect(Query.DC, &r, brush.Get());
        }
        Query.Kind = bqColor;
        return true;
    }
    if (!IsSkinned(false) || CustomColor()) {
        Query.Kind = bqNone;
        return true;
    }
    const TsSkinManager *m = GetSkinManager();
    const TsGeneralData &section = m->Sections[static_cast<std::size_t>(SkinIndex())];
    const int state = std::clamp(std::min(State, section.States - 1), 0, 2);
    const TsGenState &look = section.Props[static_cast<std::size_t>(state)];
    const bool corners = m->IsValidMaskIndex(section.ImgTopLeft) || m->IsValidMaskIndex(section.ImgTopRight) ||
                         m->IsValidMaskIndex(section.ImgBottomLeft) || m->IsValidMaskIndex(section.ImgBottomRight);
    const bool outer = m->Effects()->AllowOuterEffects() &&
                       (dynamic_cast<vcl::TWinControl *>(OwnerControl()) || OwnerProvider());
    if (look.Transparency == 0 && look.ImagePercent == 0 && look.GradientPercent == 0 && !corners && !outer) {
        Query.Kind = bqColor;
        Query.Color = GetBackColor(State);
        if (m->IsValidMaskIndex(BorderIndex())) {
            const TsMaskData &mask = m->Masks[static_cast<std::size_t>(BorderIndex())];
            if (!(mask.DrawMode & dmNoState0)) {
                Query.Margins = {MaskLeftMargin(mask), MaskTopMargin(mask), MaskRightMargin(mask),
                                 MaskBottomMargin(mask)};
                Query.Image = CacheBmp();
                Query.X = Query.Y = 0;
            }
        }
        return true;
    }
    if (look.Transparency == 100 && OwnerControl() && OwnerControl()->Parent()) {
        // What shows through is the parent's: the question goes on, with
        // this control's place added to the piece's offset.
        Query.X += OwnerControl()->Left();
        Query.Y += OwnerControl()->Top();
        AskParent(OwnerControl()->Parent(), SC_GET_BG_INFO, reinterpret_cast<LPARAM>(&Query));
        return !self.Gone();
    }
    if (BGChanged || !CacheBmp()) {
        if (OwnerControl())
            PerformSkinCommand(OwnerControl(), SC_BUILD_CACHE, 0);
        else if (WndHandle)
            SendSkinCommand(WndHandle, SC_BUILD_CACHE, 0);
        if (self.Gone()) return Unanswered(Query);
    }
    if (CacheBmp() && !CacheBmp()->Empty()) {
        Query.Kind = bqImage;
        Query.Image = CacheBmp();
    } else {
        // The asker that can put its painting off takes the kind; a bare
        // window cannot, and paints this colour meanwhile.
        Query.Kind = bqNoImage;
        Query.Color = m->GetMainColor();
    }
    return true;
}

bool TsCommonData::FillBackgroundInfo(TvlBgInfo &Info, const TvlAsker &Asker) {
    const auto plainColour = [&] {
        Info = {nullptr, 0, 0, GetBackColor(0), {}, false};
        return true;
    };
    if (!IsSkinned(false) || !OwnerControl()) return plainColour();
    TvlBgQuery query;
    const TvlAsker self(this, OwnerControl());
    if (vcl::TWinControl *parent = OwnerControl()->Parent()) {
        if (!QueryParentBackground(query, parent, false, Asker) || self.Gone()) return false;
    } else if (auto *windowed = dynamic_cast<vcl::TWinControl *>(OwnerControl());
               windowed && windowed->HandleAllocated()) {
        if (!QueryParentBackgroundWnd(query, GetParent(windowed->WindowHandle()), false, Asker) || self.Gone())
            return false;
    } else {
        return plainColour();
    }
    // A parent without an image yet: the caller puts its painting off.
    if (query.Kind == bqNoImage) Info = {nullptr, 0, 0, vcl::clFuchsia, {}, false};
    else BgQueryToBgInfo(query, Info);
    return true;
}

bool WindowBackgroundInfo(HWND Wnd, TvlBgInfo &Info, const TvlAsker &Asker) {
    const HWND parent = Wnd ? GetParent(Wnd) : nullptr;
    if (!parent) {
        Info = EmptyBgInfo;
        return true;
    }
    TvlBgQuery query;
    if (!QueryParentBackgroundWnd(query, parent, false, Asker)) return false;
    BgQueryToBgInfo(query, Info);
    return true;
}

// ------------------------------------------------------------ outer effect

void TsCommonData::PaintOuterEffect(const TvlBgQuery &Target, std::uint16_t Flags) {
    if (!IsSkinned(false) || OuterEffects()->Visibility() != ovAlways) return;
    const TsSkinManager *m = GetSkinManager();
    const TsGeneralData &section = m->Sections[static_cast<std::size_t>(SkinIndex())];
    int maskIndex = -1, opacity = 0;
    vcl::TRect offsets;
    if (section.OuterMask >= 0) {
        maskIndex = section.OuterMask;
        offsets = {section.OutOffsL, section.OutOffsT, section.OutOffsR, section.OutOffsB};
        opacity = section.OutOpacity;
    } else {
        // The skin has two outer effects; a mode beyond them names none.
        const int mode = section.OuterMode;
        if (mode < 1 || mode > 2 || mode > static_cast<int>(m->OutEffects.size())) return;
        const TvlOutEffect &effect = m->OutEffects[static_cast<std::size_t>(mode - 1)];
        if (effect.Source == 0 || effect.MaskIndex < 0) return;
        maskIndex = effect.MaskIndex;
        offsets = {effect.OffsetL, effect.OffsetT, effect.OffsetR, effect.OffsetB};
        opacity = effect.Opacity;
    }
    if (!m->IsValidMaskIndex(maskIndex) || !Target.Image || !OwnerControl()) return;
    vcl::TRect b;
    // A windowed control without its window cannot say where it is.
    if (auto *windowed = dynamic_cast<vcl::TWinControl *>(OwnerControl()); windowed && !windowed->HandleAllocated())
        return;
    PerformSkinCommand(OwnerControl(), SC_GET_BOUNDS, reinterpret_cast<LPARAM>(&b));
    const vcl::TRect a{b.Left + Target.X - offsets.Left, b.Top + Target.Y - offsets.Top,
                       b.Right + Target.X + offsets.Right, b.Bottom + Target.Y + offsets.Bottom};
    const TsMaskData &mask = m->Masks[static_cast<std::size_t>(maskIndex)];
    const auto draw = [&](vcl::TBitmap &Into, const vcl::TRect &R) {
        DrawSkinRectBlended(Into, R, EmptyBgInfo, mask, 0, offsets, opacity);
    };
    HDC image = Target.Image->Canvas()->Handle();
    if ((Flags & 0x100) && OuterBgBmp) {
        // The background kept from the last time is drawn on and put back
        // in one piece; what lies there now is kept for the next time.
        std::unique_ptr<vcl::TBitmap> previous = std::move(OuterBgBmp);
        OuterBgBmp = NewBitmap32FromRect(a);
        const vcl::TRect whole{0, 0, OuterBgBmp->Width(), OuterBgBmp->Height()};
        Copy(OuterBgBmp->Canvas()->Handle(), whole, image, {a.Left, a.Top});
        draw(*previous, whole);
        Copy(image, {a.Left, a.Top, a.Left + whole.Right, a.Top + whole.Bottom}, previous->Canvas()->Handle(), {0, 0});
        return;
    }
    if (!OuterBgBmp)
        OuterBgBmp = NewBitmap32FromRect(a);
    else
        OuterBgBmp->SetSize(std::max(a.Width(), 0), std::max(a.Height(), 0));
    Copy(OuterBgBmp->Canvas()->Handle(), {0, 0, OuterBgBmp->Width(), OuterBgBmp->Height()}, image, {a.Left, a.Top});
    draw(*Target.Image, a);
}

void TsCommonData::PaintChildOuterEffects(vcl::TWinControl *Parent, vcl::TPoint Offset) {
    const TsSkinManager *m = GetSkinManager();
    if (!Parent || !IsSkinned(false) || !m->Effects()->AllowOuterEffects()) return;
    TvlBgQuery query;
    query.Image = CacheBmp();
    query.X = Offset.X;
    query.Y = Offset.Y;
    query.Kind = bqImage;
    const TvlRecordInFlight inFlight(SC_PAINT_OUTER_EFFECT, reinterpret_cast<LPARAM>(&query));
    for (int i = 0; i < Parent->ControlCount(); ++i) {
        vcl::TControl *child = Parent->Controls(i);
        if (CanPaintControl(child) && child->Visible())
            child->Perform(SM_SKINCOMMAND, SkinCommand(SC_PAINT_OUTER_EFFECT), reinterpret_cast<LPARAM>(&query));
    }
}

// ------------------------------------------------------------ cache copies

namespace {

// The common steps of both copies: nothing without a cache; the border's
// corners first; the DC clipped to R, the children's areas cut out of it
// by CutChildren, the copy, the DC's state back.
template <class Cut>
void CopyCache(TsCommonData &Data, vcl::TPoint SrcOffset, const vcl::TRect &R, HDC DC, bool Corners,
               Cut CutChildren) {
    vcl::TBitmap *cache = Data.CacheBmp();
    if (!cache || cache->Empty()) return;
    if (Corners && !PaintBorderCorners(Data, 0, bcAll, TvlAsker(&Data, Data.OwnerControl()))) return;
    const vcl::TSavedDC saved(DC);
    IntersectClipRect(DC, R.Left, R.Top, R.Right, R.Bottom);
    CutChildren();
    Copy(DC, R, cache->Canvas()->Handle(), SrcOffset);
}

} // namespace

void CopyCacheToDC(vcl::TWinControl *Control, TsCommonData &Data, vcl::TPoint SrcOffset, const vcl::TRect &R, HDC DC,
                   bool Corners, int DX, int DY) {
    CopyCache(Data, SrcOffset, R, DC, Corners, [&] {
        for (int i = 0; Control && i < Control->ControlCount(); ++i) {
            vcl::TControl *child = Control->Controls(i);
            const vcl::TRect b = child->BoundsRect();
            if (!child->Visible() || b.Left >= R.Right || b.Top >= R.Bottom || b.Right <= R.Left ||
                b.Bottom <= R.Top)
                continue;
            if (Has(child, vcl::csDesigning) || child->ControlStyle().Contains(vcl::csOpaque) ||
                !dynamic_cast<vcl::TWinControl *>(child))
                ExcludeClipRect(DC, b.Left + DX, b.Top + DY, b.Right + DX, b.Bottom + DY);
        }
    });
}

void CopyCacheToWindowDC(HWND Wnd, TsCommonData &Data, vcl::TPoint SrcOffset, const vcl::TRect &R, HDC DC,
                         bool Corners, int DX, int DY) {
    // Without a cache there is nothing to copy (its callers build it first).
    CopyCache(Data, SrcOffset, R, DC, Corners, [&] {
        RECT w{};
        GetWindowRect(Wnd, &w);
        const TsSkinManager *m = DefaultManager();
        const int groupMask =
            m ? m->GetMaskIndex(m->StdSectionIndexes[static_cast<std::size_t>(ssGroupBox)], "BORDERSMASK") : -1;
        for (HWND child = GetTopWindow(Wnd); child; child = GetWindow(child, GW_HWNDNEXT)) {
            if (!IsWindowVisible(child)) continue;
            RECT k{};
            GetWindowRect(child, &k);
            OffsetRect(&k, -w.left - DX, -w.top - DY);
            const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
            if ((style & 7) != 7 || (GetWindowLongPtrW(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE)) {
                ExcludeClipRect(DC, k.left, k.top, k.right, k.bottom);
                continue;
            }
            // A frame-like child (a group box) shows the cache inside its
            // frame. Its caption band would come from its answer to
            // SC_GET_SKIN_MANAGER, which only a tab control's adapter gives
            // (a manager, not a height): no band is cut for it. Without the
            // skin's group-box border nothing is cut: the child paints its
            // frame over the copy.
            if (!m || !m->IsValidMaskIndex(groupMask)) continue;
            ExcludeClipRect(DC, k.left, k.top, k.left + m->MaskLeftMargin(groupMask), k.bottom);
            ExcludeClipRect(DC, k.right - m->MaskRightMargin(groupMask), k.top, k.right, k.bottom);
            ExcludeClipRect(DC, k.left, k.bottom - m->MaskBottomMargin(groupMask), k.right, k.bottom);
        }
    });
}

bool ApplyColorEffects(vcl::TBitmap &Bitmap, TsCommonData &Data) {
    if (Data.ColorTone() != vcl::clNone) ForEachPixel32(Bitmap, PixelTintProc, Data.ColorTone(), vcl::clFuchsia);
    if (Data.HueOffset() != 0) ForEachPixel32(Bitmap, PixelHueProc, Data.HueOffset(), vcl::clFuchsia);
    if (Data.Saturation() != 0)
        ForEachPixel32(Bitmap, PixelSaturationProc, SaturationAmount(Data.Saturation()), vcl::clFuchsia);
    return PaintBorderCorners(Data, 0, bcAll, TvlAsker(&Data, Data.OwnerControl()));
}

} // namespace skin
