#include "vlScrollBars.h"

#include <algorithm>

#include "skin/graphics/vlAlphaBlending.h"
#include "skin/graphics/vlGlyphStrips.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/graphics/vlImageHelpers.h"
#include "skin/graphics/vlParentBackground.h"
#include "skin/graphics/vlSkinGlyphs.h"
#include "skin/graphics/vlSkinSections.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/Controls.h"
#include "vcl/GdiObjects.h"

namespace skin {

namespace {

// The signed coordinates of a mouse message.
int XOf(LPARAM L) { return static_cast<short>(LOWORD(L)); }
int YOf(LPARAM L) { return static_cast<short>(HIWORD(L)); }

vcl::TRect ScreenRectOf(HWND Handle) {
    RECT r{};
    GetWindowRect(Handle, &r);
    return {r.left, r.top, r.right, r.bottom};
}

vcl::TPoint CursorPos() {
    POINT p{};
    GetCursorPos(&p);
    return {p.x, p.y};
}

bool Contains(const vcl::TRect &R, vcl::TPoint P) {
    return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom;
}

TvlScrollBar *BarOfKind(TvlNcBarsWnd &Adapter, int Kind) {
    if (Kind == 0) return Adapter.HorzBar.get();
    if (Kind == 1) return Adapter.VertBar.get();
    return nullptr;
}

TsSkinManager *ManagerOf(const TvlNcBarsWnd &Adapter) {
    return Adapter.SkinData ? Adapter.SkinData->GetSkinManager() : nullptr;
}

// Along and across the bar's axis.
int Along(const TvlScrollBar &Bar, vcl::TPoint P) { return Bar.Kind == 1 ? P.Y : P.X; }
int Across(const TvlScrollBar &Bar, vcl::TPoint P) { return Bar.Kind == 1 ? P.X : P.Y; }
int StartOf(const TvlScrollBar &Bar, const vcl::TRect &R) { return Bar.Kind == 1 ? R.Top : R.Left; }
int LengthOf(const TvlScrollBar &Bar, const vcl::TRect &R) { return Bar.Kind == 1 ? R.Height() : R.Width(); }

void ReadScrollInfo(TvlScrollBar &Bar, HWND Handle) {
    Bar.Info.cbSize = sizeof(SCROLLINFO);
    Bar.Info.fMask = SIF_ALL;
    if (!GetScrollInfo(Handle, Bar.Kind == 1 ? SB_VERT : SB_HORZ, &Bar.Info)) {
        const UINT mask = Bar.Info.fMask;
        Bar.Info = {};
        Bar.Info.cbSize = sizeof(SCROLLINFO);
        Bar.Info.fMask = mask;
    }
}

// The message sent with the adapter's InScrollMessage set; false when the
// adapter went meanwhile.
bool SendFromEngine(TvlNcBarsWnd &Adapter, UINT Msg, int Code, int Pos) {
    const vcl::TGuarded alive(&Adapter);
    const HWND handle = Adapter.Handle;
    Adapter.InScrollMessage = true;
    SendScrollMessage(handle, Msg, Code, Pos);
    if (!alive) return false;
    Adapter.InScrollMessage = false;
    return true;
}

void ResetPress(TvlScrollEngine &E) {
    E.PressedPart = E.CurrentPart = E.PressedKind = -1;
    E.RepeatTimer = 0;
    E.ScrollMsg = 0;
}

void KillRepeat(HWND Handle, TvlScrollEngine &E) {
    KillTimer(Handle, FirstRepeatTimerId);
    KillTimer(Handle, RepeatTimerId);
    E.RepeatTimer = 0;
}

// The tracking step of a held part: CurrentPart follows the cursor on and
// off the pressed part; the bar is painted again when that changed.
void TrackPressedPart(TvlNcBarsWnd &Adapter, vcl::TPoint Screen) {
    TvlScrollEngine &e = ScrollEngine();
    TvlScrollBar *bar = BarOfKind(Adapter, e.PressedKind);
    vcl::TRect rect;
    if (!bar || !ScrollBarRect(Adapter, e.PressedKind, rect)) return;
    const int part = ScrollBarPartAt(*bar, rect, Screen.X, Screen.Y);
    const int current = part == e.PressedPart ? e.PressedPart : -1;
    if (current == e.CurrentPart) return;
    e.CurrentPart = current;
    PaintNcScrollBars(Adapter, -1, nullptr);
}

void DragThumb(TvlNcBarsWnd &Adapter, vcl::TPoint Screen) {
    TvlScrollEngine &e = ScrollEngine();
    TvlScrollBar *bar = BarOfKind(Adapter, e.PressedKind);
    if (!bar) return;
    const int start = StartOf(*bar, e.DragBarRect), length = LengthOf(*bar, e.DragBarRect);
    const int b = ScrollBarMetric(*bar, false);
    const int thumbStart = ClampThumbStart(start, length, b, e.DragThumbSize, Along(*bar, Screen) - e.DragOffset);
    const int pos = ThumbDragPos(RangeOf(*bar), start, length, b, e.DragThumbSize, thumbStart);
    if (pos != e.TrackPos) {
        bar->Info.nTrackPos = pos;
        // The window may scroll by the step from the last position sent.
        const bool alive = SendFromEngine(Adapter, e.ScrollMsg, SB_THUMBTRACK, pos);
        e.TrackPos = pos;
        if (!alive || !Adapter.ThumbDragging) return;
    }
    // After the message: the system draws its own bar when the window
    // takes the new position.
    vcl::TWindowDC dc(Adapter.Handle, GetWindowDC(Adapter.Handle));
    PaintScrollBar(*bar, Adapter.Handle, dc.Get(), spThumb, e.DragBarRect, thumbStart);
}

vcl::TColor SectionColor(const TsSkinManager &M, int Section, int State, bool Font) {
    if (!M.IsValidSectionIndex(Section)) return Font ? vcl::clBlack : M.GetMainColor();
    const TsGeneralData &s = M.Sections[static_cast<std::size_t>(Section)];
    const TsGenState &g = s.Props[static_cast<std::size_t>(std::clamp(State, 0, 2))];
    return Font ? g.FontColor : g.Color;
}

// What lies behind the window's bars: the parent's answer to
// SC_GET_BG_INFO, with the window's place in the parent's client area. A
// window with nothing to ask (a form's or a dialog's own bars: no parent,
// or a provider answering for the form) lies on its own picture, the frame
// image that the provider and the dialog answer from.
struct TvlBehind {
    TvlBgInfo Bg = EmptyBgInfo;
    vcl::TPoint Pos;  // the window's top-left in the image's coordinates, less Bg's offset
    bool OwnImage = false;
};

// False when the parent's answer freed the adapter.
bool BehindWindow(const TvlNcBarsWnd &Adapter, TvlBehind &Behind) {
    const HWND parent = GetParent(Adapter.Handle);
    if (!parent || Adapter.SkinData->OwnerProvider()) {
        Behind.OwnImage = true;
        return true;
    }
    TvlBgQuery query;
    const HWND handle = Adapter.Handle;
    if (!QueryParentBackgroundWnd(query, parent, false, TvlAsker(&Adapter, Adapter.SkinData))) return false;
    BgQueryToBgInfo(query, Behind.Bg);
    const vcl::TRect window = ScreenRectOf(handle);
    POINT origin{window.Left, window.Top};
    ScreenToClient(parent, &origin);
    Behind.Pos = {origin.x, origin.y};
    return true;
}

// What lies behind R (window coordinates) into the bitmap; the track's
// colour when nothing answers.
void FillBarBackground(TvlNcBarsWnd &Adapter, vcl::TBitmap &Bitmap, const vcl::TRect &R, const TsSkinManager &M,
                       const TvlBehind &Behind) {
    vcl::TBitmap *cache = Adapter.SkinData->CacheBmp();
    const vcl::TRect window = ScreenRectOf(Adapter.Handle);
    if (Behind.OwnImage && cache && cache->Width() >= window.Width() && cache->Height() >= window.Height() &&
        window.Width() > 0) {
        BitBlt(Bitmap.Canvas()->Handle(), 0, 0, R.Width(), R.Height(), cache->Canvas()->Handle(), R.Left, R.Top,
               SRCCOPY);
        return;
    }
    vcl::TCanvas &canvas = *Bitmap.Canvas();
    const TvlBgInfo &bg = Behind.Bg;
    if (!Behind.OwnImage && bg.UseBmp && bg.Bmp) {
        BitBlt(canvas.Handle(), 0, 0, R.Width(), R.Height(), bg.Bmp->Canvas()->Handle(), Behind.Pos.X + R.Left + bg.X,
               Behind.Pos.Y + R.Top + bg.Y, SRCCOPY);
        return;
    }
    canvas.Brush()->SetStyle(vcl::bsSolid);
    const bool colour = !Behind.OwnImage && bg.Color != vcl::clFuchsia;
    canvas.Brush()->SetColor(colour ? bg.Color : SectionColor(M, M.CommonElements.ScrollBars[0].SectionIndex, 0, false));
    canvas.FillRect({0, 0, R.Width(), R.Height()});
}

// How much of an inactive bar's own look stays over what lies behind it.
constexpr double InactiveBarRatio = 0.4;

void PaintTrack(vcl::TBitmap &Bitmap, const TvlBgInfo &Bg, const TvlElementEntry &Element, int State,
                const vcl::TRect &R, TsSkinManager &M) {
    if (R.IsEmpty() || !M.IsValidSectionIndex(Element.SectionIndex)) return;
    PaintSectionWithMask(Element.SectionIndex, Element.BorderMask, Element.Texture, Bg, State, R, {R.Left, R.Top},
                         Bitmap, &M);
}

} // namespace

TvlScrollEngine &ScrollEngine() { return AdaptersState().ScrollEngine; }

TvlNcBarsWnd::TvlNcBarsWnd() : HorzBar(std::make_unique<TvlScrollBar>()), VertBar(std::make_unique<TvlScrollBar>()) {
    HorzBar->Adapter = VertBar->Adapter = this;
    HorzBar->Kind = 0;
    VertBar->Kind = 1;
    HorzBar->MinThumb = VertBar->MinThumb = 16;
}

TvlNcBarsWnd::~TvlNcBarsWnd() = default;

// ---------------------------------------------------------------- metrics

int ScrollBarMetric(const TvlScrollBar &Bar, bool WantWidth) {
    const int own = WantWidth ? Bar.ScrollWidth : Bar.ButtonsSize;
    if (own >= 0) return own;
    const TsSkinManager *m = Bar.Adapter ? ManagerOf(*Bar.Adapter) : nullptr;
    if (Bar.Adapter && Bar.Adapter->SkinData) {
        if (const auto *data = dynamic_cast<const TsScrollWndData *>(Bar.Adapter->SkinData)) {
            const TvlScrollData *sizes = Bar.Kind == 0 ? data->HorzScrollData() : data->VertScrollData();
            const int value = WantWidth ? sizes->ScrollWidth() : sizes->ButtonsSize();
            if (value >= 0) return value;
        }
    }
    if (!WantWidth && m && m->ScrollsOptions()->ButtonsSize() >= 0) return m->ScrollsOptions()->ButtonsSize();
    return ScrollBarWidth(m);
}

TvlScrollRange RangeOf(const TvlScrollBar &Bar) {
    return {Bar.Info.nMin, Bar.Info.nMax, Bar.Info.nPage, Bar.Info.nPos};
}

namespace {

TvlBarFrame FrameOf(const TvlNcBarsWnd &Adapter) {
    TvlBarFrame f;
    f.Window = ScreenRectOf(Adapter.Handle);
    f.FrameLeft = std::max(0, Adapter.FrameLeft);
    f.FrameTop = Adapter.FrameTop;
    f.FrameRight = Adapter.FrameRight;
    f.FrameBottom = Adapter.FrameBottom;
    f.HorzShown = Adapter.HorzBar && Adapter.HorzBar->Shown;
    f.VertShown = Adapter.VertBar && Adapter.VertBar->Shown;
    if (Adapter.HorzBar) f.HorzWidth = ScrollBarMetric(*Adapter.HorzBar, true);
    if (Adapter.VertBar) f.VertWidth = ScrollBarMetric(*Adapter.VertBar, true);
    f.LeftScrollBar = Adapter.LeftScrollBar;
    return f;
}

vcl::TRect Cut(const TvlScrollBar &Bar, vcl::TRect R) {
    int &start = Bar.Kind == 1 ? R.Top : R.Left;
    int &end = Bar.Kind == 1 ? R.Bottom : R.Right;
    if (Bar.CutStart) start += Bar.StartCut;
    if (Bar.CutEnd) end -= Bar.EndCut;
    return R;
}

} // namespace

vcl::TRect HorzScrollBarRect(const TvlNcBarsWnd &Adapter) {
    const vcl::TRect r = HorzBarRect(FrameOf(Adapter));
    return Adapter.HorzBar ? Cut(*Adapter.HorzBar, r) : r;
}

vcl::TRect VertScrollBarRect(const TvlNcBarsWnd &Adapter) {
    const vcl::TRect r = VertBarRect(FrameOf(Adapter));
    return Adapter.VertBar ? Cut(*Adapter.VertBar, r) : r;
}

bool ScrollBarRect(const TvlNcBarsWnd &Adapter, int Kind, vcl::TRect &Rect) {
    if (Kind == 0)
        Rect = HorzScrollBarRect(Adapter);
    else if (Kind == 1)
        Rect = VertScrollBarRect(Adapter);
    else
        return false;
    return true;
}

bool IsScrollBarActive(const TvlScrollBar &Bar, HWND Handle) {
    if (const auto getInfo = ScrollBarApi().GetScrollBarInfo) {
        SCROLLBARINFO info{};
        info.cbSize = sizeof info;
        const LONG object = Bar.Kind == 0 ? OBJID_HSCROLL : Bar.Kind == 1 ? OBJID_VSCROLL : OBJID_CLIENT;
        if (!getInfo(Handle, object, &info)) return false;
        return (info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) == 0;
    }
    const LONG_PTR style = GetWindowLongPtrW(Handle, GWL_STYLE);
    return (style & (Bar.Kind == 1 ? WS_VSCROLL : WS_HSCROLL)) != 0;
}

int ScrollBarPartAt(const TvlScrollBar &Bar, const vcl::TRect &BarRect, int X, int Y) {
    const vcl::TPoint p{X, Y};
    const int acrossStart = Bar.Kind == 1 ? BarRect.Left : BarRect.Top;
    const int acrossEnd = Bar.Kind == 1 ? BarRect.Right : BarRect.Bottom;
    return ScrollPartAt(RangeOf(Bar), StartOf(Bar, BarRect), LengthOf(Bar, BarRect), ScrollBarMetric(Bar, false),
                        Bar.MinThumb, Along(Bar, p), Across(Bar, p), acrossStart, acrossEnd);
}

// The window's bars end at the bottom-right corner of its top-level
// parent's client area: the corner square works as the parent's size grip.
bool CornerAtParentGrip(const TvlNcBarsWnd &Adapter) {
    const HWND parent = GetParent(Adapter.Handle);
    if (!parent || (GetWindowLongPtrW(parent, GWL_STYLE) & WS_CHILD)) return false;
    RECT client{};
    GetClientRect(parent, &client);
    POINT corner{client.right, client.bottom};
    ClientToScreen(parent, &corner);
    const vcl::TRect window = ScreenRectOf(Adapter.Handle);
    return window.Right - Adapter.FrameRight == corner.x && window.Bottom - Adapter.FrameBottom == corner.y;
}

// --------------------------------------------------------------- painting

void PaintScrollArrow(vcl::TBitmap &Bitmap, const TvlBgInfo &Bg, vcl::TRect R, int State,
                      const TvlElementEntry &Element, int Direction, TsSkinManager &M) {
    if (R.IsEmpty()) return;
    const bool first = Direction == adLeft || Direction == adUp;
    const bool horizontal = Direction == adLeft || Direction == adRight;
    if (M.IsValidSectionIndex(Element.SectionIndex)) {
        const TsGeneralData &section = M.Sections[static_cast<std::size_t>(Element.SectionIndex)];
        vcl::TRect face = R;
        if (section.ReservedBoolean && M.IsValidMaskIndex(Element.BorderMask)) {
            // The button's picture reaches into the track.
            const TsMaskData &mask = M.Masks[static_cast<std::size_t>(Element.BorderMask)];
            const int grow = (horizontal ? GetMaskFrameWidth(mask) : GetMaskFrameHeight(mask)) - 17;
            // A mask narrower than 17 px takes the face back from the track.
            (horizontal ? (first ? face.Right : face.Left) : (first ? face.Bottom : face.Top)) += first ? grow : -grow;
        }
        PaintSectionWithMask(Element.SectionIndex, Element.BorderMask, Element.Texture, Bg, State, face,
                             {face.Left, face.Top}, Bitmap, &M);
    }
    if (M.IsValidMaskIndex(Element.GlyphMask)) {
        const TsMaskData &glyph = M.Masks[static_cast<std::size_t>(Element.GlyphMask)];
        const int gw = GetMaskFrameWidth(glyph), gh = GetMaskFrameHeight(glyph);
        DrawSkinGlyph(Bitmap, {R.Left + (R.Width() - gw) / 2, R.Top + (R.Height() - gh) / 2}, State, 1, glyph, Bg);
        return;
    }
    vcl::TRect arrow = R;
    if (State == 2 && M.ButtonsOptions()->ShiftContentOnClick) arrow = {R.Left + 1, R.Top + 1, R.Right + 1, R.Bottom + 1};
    DrawScrollArrowGlyph(*Bitmap.Canvas(), SectionColor(M, Element.SectionIndex, State, true), arrow, Direction);
}

void PaintScrollThumb(vcl::TBitmap &Bitmap, const TvlBgInfo &Bg, const vcl::TRect &R, int State,
                      const TvlElementEntry &Element, TsSkinManager &M) {
    if (R.IsEmpty() || !M.IsValidSectionIndex(Element.SectionIndex)) return;
    PaintSectionWithMask(Element.SectionIndex, Element.BorderMask, Element.Texture, Bg, State, R, {R.Left, R.Top},
                         Bitmap, &M);
    if (M.IsValidMaskIndex(Element.GlyphMask)) {
        const TsMaskData &glyph = M.Masks[static_cast<std::size_t>(Element.GlyphMask)];
        const int gw = GetMaskFrameWidth(glyph), gh = GetMaskFrameHeight(glyph);
        if (gw <= R.Width() && gh <= R.Height())
            DrawSkinGlyph(Bitmap, {R.Left + (R.Width() - gw) / 2, R.Top + (R.Height() - gh) / 2}, State, 1, glyph, Bg);
    }
}

bool PaintScrollBar(TvlScrollBar &Bar, HWND Handle, HDC DC, int PressedPart, const vcl::TRect &Rect, int ThumbAt) {
    TvlNcBarsWnd *adapter = Bar.Adapter;
    if (!adapter || !adapter->SkinData || !DC || !Bar.Shown || Bar.Kind > 1) return true;
    TvlScrollEngine &e = ScrollEngine();
    const bool dragged = adapter->ThumbDragging && e.TrackedWindow == Handle && e.PressedKind == Bar.Kind;
    if (dragged && ThumbAt < 0) return true;  // the drag paints
    TsSkinManager *m = ManagerOf(*adapter);
    if (!m || !m->IsValidSectionIndex(m->CommonElements.ScrollBars[0].SectionIndex)) return true;
    const bool horz = Bar.Kind == 0;
    const int w = Rect.Width(), h = Rect.Height(), length = horz ? w : h;
    if (length < 2 || std::min(w, h) <= 0) return true;
    if (!dragged) ReadScrollInfo(Bar, Handle);
    bool active = IsScrollBarActive(Bar, Handle);
    if (const vcl::TControl *c = adapter->SkinData->OwnerControl()) active = active && c->Enabled();

    const TvlCommonElements &el = m->CommonElements;
    const bool mine = e.TrackedWindow == Handle;
    const auto arrowState = [&](int Part) {
        if (mine && e.PressedKind == Bar.Kind && e.CurrentPart == Part) return 2;
        if (mine && e.HotKind == Bar.Kind && e.HotPart == Part) return 1;
        return 0;
    };
    const vcl::TRect window = ScreenRectOf(Handle);
    const vcl::TRect inWindow{Rect.Left - window.Left, Rect.Top - window.Top, Rect.Right - window.Left,
                              Rect.Bottom - window.Top};
    const int b = ScrollBarMetric(Bar, false);
    const bool halves = 2 * b >= length;
    TvlThumb thumb = ThumbOf(RangeOf(Bar), 0, length, b, Bar.MinThumb);
    if (ThumbAt >= 0) thumb.Pos = ThumbAt - StartOf(Bar, Rect);
    const bool thumbShown = !halves && active && ThumbShown(RangeOf(Bar), length, b);
    int thumbState = 0;
    if (ThumbAt >= 0)
        thumbState = 2;
    else if (mine && e.HotKind == Bar.Kind && e.HotPart == spThumb)
        thumbState = 1;
    const TvlBarPictureKey key{w, h, inWindow.Left, inWindow.Top, halves ? -1 : thumb.Pos, halves ? 0 : thumb.Size,
                               thumbShown ? thumbState : -1, arrowState(spFirstArrow), arrowState(spSecondArrow),
                               PressedPart, active, adapter->PictureGeneration};
    if (Bar.Picture && Bar.PictureKey == key && !adapter->SkinData->BGChanged) {
        BitBlt(DC, inWindow.Left, inWindow.Top, w, h, Bar.Picture->Canvas()->Handle(), 0, 0, SRCCOPY);
        return true;
    }
    const auto fresh = [&](std::shared_ptr<vcl::TBitmap> &Bmp) {
        if (!Bmp || Bmp->Width() != w || Bmp->Height() != h) Bmp = NewBitmap32(w, h);
        return Bmp.get();
    };
    vcl::TBitmap *back = fresh(Bar.Back);
    vcl::TBitmap *bmp = fresh(Bar.Picture);
    Bar.PictureKey = {};  // not valid until composed
    TvlBehind behind;
    if (!BehindWindow(*adapter, behind)) return false;
    FillBarBackground(*adapter, *back, inWindow, *m, behind);
    BitBlt(bmp->Canvas()->Handle(), 0, 0, w, h, back->Canvas()->Handle(), 0, 0, SRCCOPY);
    TvlBgInfo bg;
    InitBgInfo(back, 0, 0, bg);
    // Along the axis -> the bitmap's rectangle.
    const auto piece = [&](int From, int To) {
        return horz ? vcl::TRect{From, 0, To, h} : vcl::TRect{0, From, w, To};
    };
    const TvlElementEntry &before = el.ScrollBars[horz ? 0 : 1], &after = el.ScrollBars[horz ? 2 : 3];
    const TvlElementEntry &firstArrow = el.ScrollButtons[horz ? 0 : 1], &secondArrow = el.ScrollButtons[horz ? 2 : 3];
    if (halves) {
        const int half = length / 2;
        PaintTrack(*bmp, bg, before, 0, piece(0, half), *m);
        PaintTrack(*bmp, bg, after, 0, piece(half, length), *m);
        PaintScrollArrow(*bmp, bg, piece(0, half), arrowState(spFirstArrow), firstArrow, horz ? adLeft : adUp, *m);
        PaintScrollArrow(*bmp, bg, piece(length - half, length), arrowState(spSecondArrow), secondArrow,
                         horz ? adRight : adDown, *m);
    } else {
        const int centre = thumb.Pos + thumb.Size / 2;
        PaintTrack(*bmp, bg, before, PressedPart == spTrackBefore ? 2 : 0, piece(0, centre), *m);
        PaintTrack(*bmp, bg, after, PressedPart == spTrackAfter ? 2 : 0, piece(centre, length), *m);
        PaintScrollArrow(*bmp, bg, piece(0, b), arrowState(spFirstArrow), firstArrow, horz ? adLeft : adUp, *m);
        PaintScrollArrow(*bmp, bg, piece(length - b, length), arrowState(spSecondArrow), secondArrow,
                         horz ? adRight : adDown, *m);
        if (thumbShown)
            PaintScrollThumb(*bmp, bg, piece(thumb.Pos, thumb.Pos + thumb.Size), thumbState,
                             el.ScrollSliders[horz ? 0 : 1], *m);
    }
    if (!active) BlendRect32ByRatio(*bmp, 0, 0, *back, {0, 0, w, h}, InactiveBarRatio, 0xFFFFFFFF);
    Bar.PictureKey = key;
    BitBlt(DC, inWindow.Left, inWindow.Top, w, h, bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
    return true;
}

namespace {

// The square between two bars: the track section's colour, blended toward
// the section's hot-state colour while either bar is inactive; what lies
// behind (or the manager's colour) when the section is missing or wholly
// transparent. The parent's size grip goes into its corner.
bool PaintCornerSquare(TvlNcBarsWnd &Adapter, HDC DC, TsSkinManager &M) {
    const HWND handle = Adapter.Handle;
    const vcl::TRect window = ScreenRectOf(handle);
    const vcl::TRect h = HorzScrollBarRect(Adapter), v = VertScrollBarRect(Adapter);
    const vcl::TRect corner{v.Left - window.Left, h.Top - window.Top, v.Right - window.Left, h.Bottom - window.Top};
    if (corner.Width() <= 0 || corner.Height() <= 0) return true;
    const int section = M.CommonElements.ScrollBars[0].SectionIndex;
    const bool clear = !M.IsValidSectionIndex(section) ||
                       M.Sections[static_cast<std::size_t>(section)].Props[0].Transparency >= 100;
    vcl::TColor colour = SectionColor(M, section, 0, false);
    if (colour == vcl::clFuchsia) colour = M.GetMainColor();
    const auto bmp = NewBitmap32(corner.Width(), corner.Height());
    vcl::TCanvas &canvas = *bmp->Canvas();
    canvas.Brush()->SetStyle(vcl::bsSolid);
    TvlBehind behind;
    if (!BehindWindow(Adapter, behind)) return false;
    const bool inactive = !IsScrollBarActive(*Adapter.HorzBar, handle) || !IsScrollBarActive(*Adapter.VertBar, handle);
    if (clear && (behind.OwnImage || (behind.Bg.UseBmp && behind.Bg.Bmp))) {
        FillBarBackground(Adapter, *bmp, corner, M, behind);
    } else {
        if (inactive && !clear) colour = MixColors(colour, SectionColor(M, section, 1, false), InactiveBarRatio);
        canvas.Brush()->SetColor(clear ? M.GetMainColor() : colour);
        canvas.FillRect({0, 0, corner.Width(), corner.Height()});
    }
    if (M.IsValidMaskIndex(M.CommonElements.GripImage) && CornerAtParentGrip(Adapter)) {
        const TsMaskData &grip = M.Masks[static_cast<std::size_t>(M.CommonElements.GripImage)];
        const int gw = std::min(GetMaskFrameWidth(grip), corner.Width());
        const int gh = std::min(GetMaskFrameHeight(grip), corner.Height());
        TvlBgInfo bg;
        InitBgInfo(bmp.get(), 0, 0, bg);
        DrawSkinGlyph(*bmp, {corner.Width() - gw, corner.Height() - gh}, 0, 1, grip, bg);
    }
    BitBlt(DC, corner.Left, corner.Top, corner.Width(), corner.Height(), canvas.Handle(), 0, 0, SRCCOPY);
    return true;
}

} // namespace

bool PaintNcScrollBars(TvlNcBarsWnd &Adapter, int PartOverride, HDC DC) {
    TsCommonData *data = Adapter.SkinData;
    const HWND handle = Adapter.Handle;
    // A DC given is a picture being taken (a print, a snapshot of a form
    // that is not shown yet or no longer): the bars go into it whether the
    // window shows or not, or the picture keeps a black strip where they lie.
    // A parent that is still updating holds the bars back too; its update
    // done repaints them.
    if (!data || data->UpdatePaintLock(false) || (!DC && !IsWindowVisible(handle))) return true;
    if (const vcl::TControl *c = data->OwnerControl(); c && c->ControlState().Contains(vcl::csCreating)) return true;
    const bool horz = Adapter.HorzBar && Adapter.HorzBar->Shown, vert = Adapter.VertBar && Adapter.VertBar->Shown;
    if (!horz && !vert) return true;
    if (data->BGChanged) {
        // The build asks the parent for what lies behind: its answer may free the adapter.
        const vcl::TGuarded alive(&Adapter);
        SendSkinCommand(handle, SC_BUILD_CACHE, 0);
        if (!alive) return false;
    }
    std::unique_ptr<vcl::TWindowDC> own;
    if (!DC) {
        own = std::make_unique<vcl::TWindowDC>(handle, GetWindowDC(handle));
        DC = own->Get();
    }
    const TvlScrollEngine &e = ScrollEngine();
    const auto pressedFor = [&](int Kind) {
        if (e.TrackedWindow != handle || e.PressedKind != Kind) return -1;
        return PartOverride >= 0 ? PartOverride : e.CurrentPart;
    };
    if (horz && !PaintScrollBar(*Adapter.HorzBar, handle, DC, pressedFor(0), HorzScrollBarRect(Adapter))) return false;
    if (vert && !PaintScrollBar(*Adapter.VertBar, handle, DC, pressedFor(1), VertScrollBarRect(Adapter))) return false;
    TsSkinManager *m = ManagerOf(Adapter);
    if (horz && vert && m && !PaintCornerSquare(Adapter, DC, *m)) return false;
    return true;
}

// --------------------------------------------------------------- handlers

void ScrollBarsNcCalcSize(TvlNcBarsWnd &Adapter, vcl::TMessage &Message) {
    const HWND handle = Adapter.Handle;
    auto *client = reinterpret_cast<RECT *>(Message.LParam);
    if (!client) {
        Adapter.PassOn(Message);
        return;
    }
    const RECT window = *client;  // the proposed window rectangle
    const LONG_PTR style = GetWindowLongPtrW(handle, GWL_STYLE);
    const LONG_PTR bars = style & (WS_HSCROLL | WS_VSCROLL);
    // The style's change notices and the window's own calculation may have a
    // parent asked what lies behind, whose answer runs the application's
    // drawing: it may free the adapter. The style is put back all the same.
    const vcl::TGuarded alive(&Adapter);
    if (bars) {
        Adapter.InCalcSize = true;
        SetWindowLongPtrW(handle, GWL_STYLE, style & ~bars);
        const bool passed = static_cast<bool>(alive);
        if (passed) Adapter.PassOn(Message);
        if (IsWindow(handle)) SetWindowLongPtrW(handle, GWL_STYLE, style);
        if (!alive) {
            // Gone before it passed the calculation on: the window sizes its frame itself.
            if (!passed && IsWindow(handle))
                Message.Result = SendMessageW(handle, WM_NCCALCSIZE, Message.WParam, Message.LParam);
            return;
        }
        Adapter.InCalcSize = false;
    } else {
        Adapter.PassOn(Message);
        if (!alive) return;
    }
    TsSkinManager *m = ManagerOf(Adapter);
    if (m && Adapter.SkinData && !Adapter.SkinData->OwnerProvider() && client->left - window.left > 1 &&
        m->IsValidSectionIndex(Adapter.SkinData->SkinIndex())) {
        const int kind = m->Sections[static_cast<std::size_t>(Adapter.SkinData->SkinIndex())].BorderKind;
        if (kind < 0) InflateRect(client, -kind, -kind);
    }
    Adapter.FrameLeft = client->left - window.left;
    Adapter.FrameTop = client->top - window.top;
    Adapter.FrameRight = window.right - client->right;
    Adapter.FrameBottom = window.bottom - client->bottom;
    Adapter.HorzBar->State = (style & WS_HSCROLL) ? sbsPresent : 0;
    Adapter.VertBar->State = (style & WS_VSCROLL) ? sbsPresent : 0;
    const TvlBarPlacement place = PlaceScrollBars(
        {client->left, client->top, client->right, client->bottom}, Adapter.HorzBar->State == sbsPresent,
        ScrollBarMetric(*Adapter.HorzBar, true), Adapter.VertBar->State == sbsPresent,
        ScrollBarMetric(*Adapter.VertBar, true), Adapter.LeftScrollBar);
    *client = {place.Client.Left, place.Client.Top, place.Client.Right, place.Client.Bottom};
    Adapter.HorzBar->Shown = place.HorzShown;
    Adapter.VertBar->Shown = place.VertShown;
    Adapter.FrameCalculated = true;
}

namespace {

// A window with an owner control becomes the hot one only while the cursor
// (screen) lies over that control's client rectangle; a bare window at
// any of its points.
bool OverOwnerClient(const TsCommonData &Data, vcl::TPoint Cursor) {
    const vcl::TControl *control = Data.OwnerControl();
    if (!control) return true;
    const vcl::TPoint origin = control->ClientToScreen({0, 0});
    const vcl::TRect client = control->ClientRect();
    return Contains({origin.X, origin.Y, origin.X + client.Width(), origin.Y + client.Height()}, Cursor);
}

} // namespace

void ScrollBarsNcHitTest(TvlNcBarsWnd &Adapter, vcl::TMessage &Message) {
    const HWND handle = Adapter.Handle;
    const vcl::TPoint p{XOf(Message.LParam), YOf(Message.LParam)};
    TsCommonData *data = Adapter.SkinData;
    // Not for a form's own bars: its provider makes the form hot over its
    // frame and cold over its client at each mouse move, which a hot form
    // from every hit test before it would turn into a flip-flop.
    // The control's hover news runs the application's code, which may free
    // the adapter: the window answers without it then.
    const vcl::TGuarded alive(&Adapter);
    if (TsSkinManager *m = DefaultManager(); m && data && !data->OwnerProvider() && m->ActiveWindow != handle &&
                                             !data->MouseInside && IsWindowEnabled(handle) && OverOwnerClient(*data, p)) {
        m->SetActiveControl(handle);
        if (!alive) {
            Message.Result = IsWindow(handle) ? SendMessageW(handle, Message.Msg, Message.WParam, Message.LParam) : 0;
            return;
        }
    }
    const auto inBar = [&](TvlScrollBar *Bar, const vcl::TRect &R, LRESULT Code) {
        if (!Bar || !Bar->Shown || !Contains(R, p)) return false;
        Message.Result = IsScrollBarActive(*Bar, handle) ? Code : HTNOWHERE;
        return true;
    };
    if (inBar(Adapter.HorzBar.get(), HorzScrollBarRect(Adapter), HTHSCROLL)) return;
    if (inBar(Adapter.VertBar.get(), VertScrollBarRect(Adapter), HTVSCROLL)) return;
    if (Adapter.HorzBar->Shown && Adapter.VertBar->Shown) {
        const vcl::TRect h = HorzScrollBarRect(Adapter), v = VertScrollBarRect(Adapter);
        if (Contains({v.Left, h.Top, v.Right, h.Bottom}, p) && CornerAtParentGrip(Adapter)) {
            Message.Result = HTBOTTOMRIGHT;
            return;
        }
    }
    Adapter.PassOn(Message);
}

void ScrollBarNcMouseMove(TvlNcBarsWnd &Adapter, vcl::TMessage &Message) {
    // The system's own hover drawing first: ours goes over it.
    const vcl::TGuarded alive(&Adapter);
    Adapter.PassOn(Message);
    if (!alive) return;
    TvlScrollEngine &e = ScrollEngine();
    const HWND previous = e.TrackedWindow;
    e.TrackedWindow = Adapter.Handle;
    const int code = static_cast<int>(Message.WParam);
    if (code == HTHSCROLL || code == HTVSCROLL) {
        const int kind = code == HTHSCROLL ? 0 : 1;
        if (kind != e.HotKind || previous != Adapter.Handle) {
            e.HotPart = e.LastHotPart = -1;
            ScrollBarRect(Adapter, kind, e.HotBarRect);
            e.HotKind = kind;
            e.HoverTimer = SetTimer(Adapter.Handle, HoverTimerId, HoverDelay, nullptr);
        }
    }
    PaintNcScrollBars(Adapter, -1, nullptr);
}

void ScrollBarMouseDown(TvlNcBarsWnd &Adapter, vcl::TMessage &Message) {
    TvlScrollEngine &e = ScrollEngine();
    const HWND handle = Adapter.Handle;
    e.TrackedWindow = handle;
    const int code = static_cast<int>(Message.WParam);
    if (code != HTHSCROLL && code != HTVSCROLL) {
        e.PressedPart = -1;
        Adapter.PassOn(Message);
        return;
    }
    const int kind = code == HTHSCROLL ? 0 : 1;
    e.ScrollMsg = kind == 0 ? WM_HSCROLL : WM_VSCROLL;
    e.PressedKind = kind;
    TvlScrollBar &bar = *BarOfKind(Adapter, kind);
    vcl::TRect rect;
    ScrollBarRect(Adapter, kind, rect);
    ReadScrollInfo(bar, handle);
    const vcl::TPoint p{XOf(Message.LParam), YOf(Message.LParam)};
    e.PressedPart = ScrollBarPartAt(bar, rect, p.X, p.Y);
    Message.Result = 0;
    if (e.PressedPart == spThumb) {
        if (!IsScrollBarActive(bar, handle)) {
            ResetPress(e);
            return;
        }
        const int b = ScrollBarMetric(bar, false);
        const TvlThumb thumb = ThumbOf(RangeOf(bar), StartOf(bar, rect), LengthOf(bar, rect), b, bar.MinThumb);
        e.DragBarRect = rect;
        e.DragThumbSize = thumb.Size;
        e.DragThumbStart = thumb.Pos;
        e.DragOffset = Along(bar, p) - thumb.Pos;
        Adapter.ThumbDragging = true;
        bar.Info.nTrackPos = bar.Info.nPos;
        e.TrackPos = bar.Info.nPos;
        SetCapture(handle);
        vcl::TWindowDC dc(handle, GetWindowDC(handle));
        PaintScrollBar(bar, handle, dc.Get(), spThumb, rect, thumb.Pos);
        return;
    }
    if (e.PressedPart >= spFirstArrow && e.PressedPart <= spTrackAfter) {
        e.CurrentPart = e.PressedPart;
        SetCapture(handle);
        if (!PaintNcScrollBars(Adapter, -1, nullptr)) return;
        const vcl::TGuarded alive(&Adapter);
        SendScrollMessage(handle, e.ScrollMsg, e.PressedPart, 0);
        if (!alive || e.PressedPart == -1) return;  // gone, or the press was cancelled meanwhile
        e.RepeatTimer = SetTimer(handle, FirstRepeatTimerId, FirstRepeatDelay, nullptr) ? FirstRepeatTimerId : 0;
        return;
    }
    ResetPress(e);
    Adapter.PassOn(Message);
}

void ScrollBarMouseMove(TvlNcBarsWnd &Adapter, vcl::TMessage &Message) {
    TvlScrollEngine &e = ScrollEngine();
    if (e.TrackedWindow == Adapter.Handle && e.PressedPart != -1) {
        POINT p{XOf(Message.LParam), YOf(Message.LParam)};
        ClientToScreen(Adapter.Handle, &p);
        if (Adapter.ThumbDragging)
            DragThumb(Adapter, {p.x, p.y});
        else
            TrackPressedPart(Adapter, {p.x, p.y});
        Message.Result = 0;
        return;
    }
    Adapter.PassOn(Message);
}

void ScrollBarMouseUp(TvlNcBarsWnd &Adapter, vcl::TMessage &Message) {
    TvlScrollEngine &e = ScrollEngine();
    const HWND handle = Adapter.Handle;
    if (e.PressedPart == -1 || e.TrackedWindow != handle) {
        Adapter.PassOn(Message);
        return;
    }
    const vcl::TGuarded alive(&Adapter);
    const int part = e.PressedPart;
    const UINT msg = e.ScrollMsg;
    // The state goes first: what the scroll messages below do (a box, a
    // focus change) finds no press running.
    KillRepeat(handle, e);
    ResetPress(e);
    if (!Adapter.KeepsCapture() && GetCapture() == handle) {
        e.Releasing = true;
        ReleaseCapture();
        e.Releasing = false;
        // The window's WM_CAPTURECHANGED reaches the application too.
        if (!alive) return;
    }
    // (A drop-down list's page option, which would set the tracked position
    // from the cursor against the thumb here, has no switch in this library.)
    if (part == spThumb) {
        if (Adapter.ThumbDragging) {
            Adapter.ThumbDragging = false;
            if (!SendFromEngine(Adapter, msg, SB_THUMBPOSITION, e.TrackPos)) return;
        }
        if (!SendFromEngine(Adapter, msg, SB_ENDSCROLL, e.TrackPos)) return;
    } else if (!SendFromEngine(Adapter, msg, SB_ENDSCROLL, 0)) {
        return;
    }
    // (No control of this class library is one of the foreign image views
    // whose release the bar keeps for itself.)
    if (Adapter.PassesRelease()) {
        Adapter.PassOn(Message);
        if (!alive) return;
    }
    // After the window's own handling: it may have drawn the system's bar.
    PaintNcScrollBars(Adapter, -1, nullptr);
}

void ScrollBarTimer(TvlNcBarsWnd &Adapter, vcl::TMessage &Message) {
    TvlScrollEngine &e = ScrollEngine();
    const HWND handle = Adapter.Handle;
    const UINT_PTR id = Message.WParam;
    const bool ours = id == HoverTimerId || id == FirstRepeatTimerId || id == RepeatTimerId;
    if (!ours) {
        Adapter.PassOn(Message);
        return;
    }
    if (e.TrackedWindow != handle) {
        // Left over from a press or hover that ended, or that another window
        // took on. A hover ends as when the cursor leaves the hot bar: the
        // hot state goes and this window's bars lose their hot part. Only
        // while the cursor is in the hot bar does that state stay: it is the
        // tracked window's then.
        KillTimer(handle, id);
        if (id != HoverTimerId) return;
        if (!Contains(e.HotBarRect, CursorPos())) e.HotKind = e.HotPart = e.LastHotPart = -1;
        Message.Result = 0;
        PaintNcScrollBars(Adapter, -1, nullptr);
        return;
    }
    Message.Result = 0;
    switch (id) {
    case HoverTimerId: {
        if (Adapter.ThumbDragging) return;
        const vcl::TPoint p = CursorPos();
        TvlScrollBar *bar = BarOfKind(Adapter, e.HotKind);
        if (bar && Contains(e.HotBarRect, p)) {
            const int part = ScrollBarPartAt(*bar, e.HotBarRect, p.X, p.Y);
            if (part != e.HotPart) {
                e.LastHotPart = e.HotPart;
                e.HotPart = part;
                PaintNcScrollBars(Adapter, -1, nullptr);
            }
        } else {
            KillTimer(handle, HoverTimerId);
            e.HoverTimer = 0;
            e.HotKind = e.HotPart = e.LastHotPart = -1;
            PaintNcScrollBars(Adapter, -1, nullptr);
        }
        return;
    }
    case FirstRepeatTimerId:
        KillTimer(handle, FirstRepeatTimerId);
        if (e.PressedPart == -1) return;
        e.RepeatTimer = SetTimer(handle, RepeatTimerId, RepeatDelay, nullptr) ? RepeatTimerId : 0;
        return;
    default:
        if (e.PressedPart == -1) {
            KillTimer(handle, RepeatTimerId);
            return;
        }
        // The cursor in screen coordinates as it is: made client coordinates
        // with negative values cut to 0, it would leave a bar on the left
        // (WS_EX_LEFTSCROLLBAR) and stop the repeat there.
        TrackPressedPart(Adapter, CursorPos());
        if (e.CurrentPart != -1) SendFromEngine(Adapter, e.ScrollMsg, e.CurrentPart, 0);
        return;
    }
}

bool CancelScrollTracking(HWND Window) {
    TvlScrollEngine &e = ScrollEngine();
    if (e.TrackedWindow != Window || !Window) return true;
    TvlNcBarsWnd *adapter = dynamic_cast<TvlNcBarsWnd *>(AdapterOfWindow(Window));
    const UINT msg = e.ScrollMsg;
    const int part = e.PressedPart;
    if (IsWindow(Window)) KillRepeat(Window, e);
    ResetPress(e);
    if (part == -1 || !adapter) return true;
    const bool dragging = adapter->ThumbDragging;
    adapter->ThumbDragging = false;
    if (!IsWindow(Window) || adapter->Destroyed() || !msg) return true;
    return SendFromEngine(*adapter, msg, SB_ENDSCROLL, dragging ? e.TrackPos : 0);
}

// ---------------------------------------------------------------- sending

void SendScrollMessage(HWND Handle, UINT Msg, int Code, int Pos) {
    const LPARAM frame = static_cast<LPARAM>(static_cast<unsigned>(Code) | (Msg << 16));
    // At most 65535; a position below 0 keeps its low 16 bits, as the
    // system's own bar sends it.
    const WPARAM wParam = MAKEWPARAM(static_cast<WORD>(Code), static_cast<WORD>(std::min(Pos, 65535)));
    if (SendMessageW(Handle, SM_SKINCOMMAND, SkinCommand(SC_SCROLL_BEGIN), frame) == 1) {
        SendMessageW(Handle, Msg, wParam, static_cast<LPARAM>(Pos));
    } else {
        if (Code == SB_THUMBTRACK) {
            SCROLLINFO info{};
            info.cbSize = sizeof info;
            info.fMask = SIF_POS;
            info.nPos = Pos;
            SetScrollInfo(Handle, Msg == WM_HSCROLL ? SB_HORZ : SB_VERT, &info, FALSE);
        }
        SendMessageW(Handle, Msg, wParam, 0);
    }
    if (IsWindow(Handle)) SendMessageW(Handle, SM_SKINCOMMAND, SkinCommand(SC_SCROLL_END), frame);
}

} // namespace skin
