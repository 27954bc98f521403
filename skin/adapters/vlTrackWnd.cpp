#include "vlTrackWnd.h"

#include <commctrl.h>

#include <algorithm>

#include "skin/graphics/sMaskData.h"
#include "skin/graphics/vlCommonUtils.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/graphics/vlNineSlice.h"
#include "skin/graphics/vlResampling.h"
#include "skin/graphics/vlSkinGlyphs.h"
#include "skin/graphics/vlSkinSections.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/GdiObjects.h"
#include "vlBitBtnWnd.h"
#include "vlSBPaint.h"
#include "vlTrackGeometry.h"

namespace skin {

namespace {

// The standard section that holds the track bar's images.
constexpr int ssTrackBar = 17;
static_assert(StdSectionNames[ssTrackBar] == "TRACKBAR");

// The common control's own thumb thickness: a thumb of it takes the image as it is.
constexpr int DefaultThumbThickness = 23;

vcl::TRect Swapped(const vcl::TRect &R) { return {R.Top, R.Left, R.Bottom, R.Right}; }

const TsMaskData *ValidMask(const TsSkinManager &M, int Section, std::string_view Name) {
    const int index = M.GetMaskIndex(Section, Name);
    return M.IsValidMaskIndex(index) ? &M.Masks[static_cast<std::size_t>(index)] : nullptr;
}

} // namespace

void TvlTrackWnd::SetDefaultSection() {
    TickLength = 4;
    MouseDown = false;
    if (SkinData && SkinData->SkinSection().empty()) SkinData->SetSkinSection("TRACKBAR");
    TvlMainWnd::SetDefaultSection();
}

bool TvlTrackWnd::Vertical() const { return (GetWindowLongPtrW(Handle, GWL_STYLE) & TBS_VERT) != 0; }

int TvlTrackWnd::TickPlacement() const {
    const LONG_PTR style = GetWindowLongPtrW(Handle, GWL_STYLE);
    if (style & TBS_BOTH) return 2;
    return (style & TBS_TOP) ? 1 : 0;
}

vcl::TRect TvlTrackWnd::ChannelRect() const {
    RECT r{};
    SendMessageW(Handle, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&r));
    const vcl::TRect channel{r.left, r.top, r.right, r.bottom};
    // Some systems report a vertical bar's channel as if it lay across.
    return Vertical() && channel.Width() > channel.Height() ? Swapped(channel) : channel;
}

void TvlTrackWnd::PaintChannel(vcl::TBitmap &Cache, int SliderSection, const vcl::TRect &Channel) {
    const TsSkinManager &m = *SkinData->GetSkinManager();
    const TsMaskData *mask = ValidMask(m, SliderSection, "SLIDERCHANNEL");
    if (!mask) {
        // A skin without the image still shows where the thumb runs: a
        // sunken groove as the control itself draws.
        RECT groove{Channel.Left, Channel.Top, Channel.Right, Channel.Bottom};
        DrawEdge(Cache.Canvas()->Handle(), &groove, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
        return;
    }
    vcl::TRect r = Channel;
    if (Vertical()) {
        const int thickness = GetMaskFrameWidth(*mask) - 1;
        r.Left = Channel.Left + (Channel.Width() - thickness) / 2;
        r.Right = r.Left + thickness;
    } else {
        const int thickness = GetMaskFrameHeight(*mask) - 1;
        r.Top = Channel.Top + (Channel.Height() - thickness) / 2;
        r.Bottom = r.Top + thickness;
    }
    TvlBgInfo own;
    InitBgInfo(&Cache, 0, 0, own);
    DrawSkinRect(Cache, r, own, *mask, SkinData->IsControlActive() ? 1 : 0, true);
}

void TvlTrackWnd::PaintTicks(vcl::TBitmap &Cache, int SliderSection, const vcl::TRect &Channel,
                             const vcl::TRect &Thumb) {
    if (GetWindowLongPtrW(Handle, GWL_STYLE) & TBS_NOTICKS) return;
    const TsSkinManager &m = *SkinData->GetSkinManager();
    const bool vert = Vertical();
    const int count = static_cast<int>(SendMessageW(Handle, TBM_GETNUMTICS, 0, 0));
    const std::vector<int> ticks =
        vert ? TrackTickPositions(Channel.Top, Channel.Height(), Thumb.Height(), count)
             : TrackTickPositions(Channel.Left, Channel.Width(), Thumb.Width(), count);
    const std::vector<int> rows =
        vert ? TrackTickRows(TickPlacement(), Channel.Left, Channel.Right, Thumb.Width(), TickLength)
             : TrackTickRows(TickPlacement(), Channel.Top, Channel.Bottom, Thumb.Height(), TickLength);
    const TsMaskData *image = ValidMask(m, SliderSection, vert ? "TICKVERT" : "TICKHORZ");
    TvlBgInfo own;
    InitBgInfo(&Cache, 0, 0, own);
    for (int row : rows)
        for (int at : ticks) {
            if (image) {
                const vcl::TPoint p = vert ? vcl::TPoint{row, at - GetMaskFrameHeight(*image)}
                                           : vcl::TPoint{at - GetMaskFrameWidth(*image), row};
                DrawSkinGlyph(Cache, p, MouseDown ? 1 : 0, gmNormal, *image, own);
                continue;
            }
            vcl::TRect r = vert ? vcl::TRect{row, at, row + TickLength, at + 2} : vcl::TRect{at, row, at + 2, row + TickLength};
            int width = 1;
            DrawDottedFrame(Cache.Canvas()->Handle(), r, vcl::clBtnShadow, vcl::clWhite, width);
        }
}

void TvlTrackWnd::PaintThumb(vcl::TBitmap &Cache, int SliderSection, const vcl::TRect &Thumb) {
    const TsSkinManager &m = *SkinData->GetSkinManager();
    const bool vert = Vertical();
    const TsMaskData *image = vert ? ValidMask(m, SliderSection, "SLIDERVMASK") : nullptr;
    if (!image) image = ValidMask(m, SliderSection, "SLIDERMASK");
    if (Thumb.IsEmpty()) return;
    if (!image) {
        // Without the image the thumb is a raised face, so the value stays seen.
        RECT face{Thumb.Left, Thumb.Top, Thumb.Right, Thumb.Bottom};
        HDC dc = Cache.Canvas()->Handle();
        FillRect(dc, &face, GetSysColorBrush(MouseDown ? COLOR_3DLIGHT : COLOR_BTNFACE));
        DrawEdge(dc, &face, EDGE_RAISED, BF_RECT);
        return;
    }
    const vcl::TSize g = GetMaskFrameSize(*image);
    const int state = MouseDown ? 1 : 0;
    const bool before = TickPlacement() == 1;
    const int thickness = vert ? Thumb.Width() : Thumb.Height();
    const bool fits = (Thumb.Width() == g.cx && Thumb.Height() == g.cy) || thickness == DefaultThumbThickness;
    if (!before && fits) {
        TvlBgInfo own;
        InitBgInfo(&Cache, 0, 0, own);
        DrawSkinGlyph(Cache, {Thumb.Left + (Thumb.Width() - g.cx) / 2, Thumb.Top + (Thumb.Height() - g.cy) / 2}, state,
                      gmNormal, *image, own);
        return;
    }
    // Drawn at the image's own size over what lies under the thumb, turned
    // over for ticks before the channel, then scaled to the thumb.
    vcl::TBitmap under;
    under.SetPixelFormat(vcl::pf32bit);
    under.SetSize(Thumb.Width(), Thumb.Height());
    BitBlt(under.Canvas()->Handle(), 0, 0, Thumb.Width(), Thumb.Height(), Cache.Canvas()->Handle(), Thumb.Left,
           Thumb.Top, SRCCOPY);
    vcl::TBitmap work;
    ResampleBitmap32(under, work, g.cx, g.cy, 6);
    if (work.Width() != g.cx || work.Height() != g.cy) {
        work.SetPixelFormat(vcl::pf32bit);
        work.SetSize(g.cx, g.cy);
    }
    if (before) MirrorImage(work.View(), !vert);
    TvlBgInfo own;
    InitBgInfo(&work, 0, 0, own);
    DrawSkinGlyph(work, {0, 0}, state, gmNormal, *image, own);
    if (before) MirrorImage(work.View(), !vert);
    vcl::TBitmap scaled;
    ResampleBitmap32(work, scaled, Thumb.Width(), Thumb.Height(), 6);
    if (scaled.Width() != Thumb.Width() || scaled.Height() != Thumb.Height()) return;
    BitBlt(Cache.Canvas()->Handle(), Thumb.Left, Thumb.Top, Thumb.Width(), Thumb.Height(), scaled.Canvas()->Handle(), 0,
           0, SRCCOPY);
}

bool TvlTrackWnd::BuildCache() {
    RefreshGeometry(*this);
    SkinData->PrepareCache();
    vcl::TBitmap &cache = *SkinData->CacheBmp();
    cache.SetSize(WndSize.cx, WndSize.cy);
    TvlBgInfo bg;
    if (!WindowBackgroundInfo(Handle, bg, TvlAsker(this))) return false;
    PaintControlSkin(*SkinData, bg, MouseDown ? 1 : 0, {0, 0, WndSize.cx, WndSize.cy}, PosInParent, cache, false);
    TsSkinManager *m = SkinData->GetSkinManager();
    const int slider = m ? m->StdSectionIndexes[ssTrackBar] : -1;
    if (m && m->IsValidSectionIndex(slider)) {
        const vcl::TRect channel = ChannelRect();
        RECT t{};
        SendMessageW(Handle, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&t));
        const vcl::TRect thumb{t.left, t.top, t.right, t.bottom};
        PaintChannel(cache, slider, channel);
        PaintTicks(cache, slider, channel, thumb);
        PaintThumb(cache, slider, thumb);
    }
    if (!IsWindowEnabled(Handle)) PaintDisabledBlend(cache, bg, PosInParent);
    SkinData->BGChanged = false;
    return true;
}

void TvlTrackWnd::PaintWindow(HDC DC) {
    RefreshGeometry(*this);
    vcl::TPaintDC paint(Handle, DC);
    if (SkinData->UpdatePaintLock(false)) return;
    SendSkinCommand(ParentHandle, SC_NOTIFY_PARENT_PAINT, 0);
    if (!DC && !IsWindowVisible(Handle)) return;
    const vcl::TWindowDC own(DC ? nullptr : Handle);
    HDC target = DC ? DC : own.Get();
    if (!target || !BuildCache()) return;
    vcl::TBitmap &cache = *SkinData->CacheBmp();
    BitBlt(target, 0, 0, cache.Width(), cache.Height(), cache.Canvas()->Handle(), 0, 0, SRCCOPY);
}

bool TvlTrackWnd::OwnMessage(vcl::TMessage &Message) {
    if (!SkinData || !Serving()) {
        return TvlMainWnd::OwnMessage(Message);
    }
    switch (Message.Msg) {
    case WM_PAINT:
        PaintWindow(reinterpret_cast<HDC>(Message.WParam));
        Message.Result = 0;
        return true;
    case WM_NCPAINT:
    case WM_ERASEBKGND: Message.Result = 0; return true;
    case WM_LBUTTONDOWN: MouseDown = true; break;
    case WM_LBUTTONUP: MouseDown = false; break;
    default: break;
    }
    return TvlMainWnd::OwnMessage(Message);
}

} // namespace skin
