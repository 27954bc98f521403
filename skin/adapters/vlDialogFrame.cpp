// The frame of a skinned system dialog: rendered into the adapter's cache
// (the "DIALOG" section with its border, the title section over the
// caption, icon, text and title buttons), single buttons repainted after a
// state change, the frame's four strips copied into the window, and the
// client background painted from the same cache.
#include <algorithm>

#include "skin/forms/vlBorderGeometry.h"
#include "skin/forms/vlBorderImage.h"
#include "skin/graphics/sMaskData.h"
#include "skin/graphics/vlCommonUtils.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/graphics/vlPixelHelpers.h"
#include "skin/graphics/vlSkinPieces.h"
#include "skin/manager/sIndexCache.h"
#include "skin/graphics/vlSkinGlyphs.h"
#include "skin/graphics/vlSkinSections.h"
#include "skin/graphics/vlSkinText.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/sSkinServices.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vlDialogWnd.h"

namespace skin {

namespace {

int StateOf(const TsSkinManager &M, int Section, bool Active) {
    if (!M.IsValidSectionIndex(Section)) return 0;
    return std::max(0, std::min(Active ? 1 : 0, M.Sections[static_cast<std::size_t>(Section)].States - 1));
}

constexpr UINT CaptionTextFlags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;

// A title button's disabled look: the dialog is inactive or the button
// cannot act. IconicMax: the maximize glyph a minimized dialog shows, which
// acts only as a maximize.
bool LooksDisabled(int Code, const TvlDialogButtonRules &Rules, bool Active, bool IconicMax) {
    if (!Active) return true;
    switch (Code) {
    case dhMaxButton: return IconicMax ? !Rules.CanMaximize() : !(Rules.CanMaximize() || Rules.CanRestore());
    case dhMinButton: return !(Rules.CanMinimize() || Rules.Minimized);
    case dhClose: return !Rules.CloseEnabled;
    default: return false;
    }
}

} // namespace

void TvlDialogWnd::PaintFrame() {
    if (StateFlags & 0x80) return;
    TsSkinManager *m = SkinData ? SkinData->GetSkinManager() : nullptr;
    if (!m || !IsWindow(Handle)) return;
    const vcl::TRect margins = ExtBorderMargins();
    const vcl::TSize size = FrameCacheSize();
    const int width = size.cx, height = size.cy;
    const vcl::TRect frame{margins.Left, margins.Top, width - margins.Right, height - margins.Bottom};
    if (!SkinData->CacheBmp()) SkinData->PrepareCache();
    vcl::TBitmap &image = *SkinData->CacheBmp();
    if (image.Width() != width || image.Height() != height) {
        image.SetSize(width, height);
        FrameInvalid = true;
    }
    if (!FrameInvalid) return;
    NeedRegion = true;
    if (BorderForm) {
        GdiFlush();
        const vcl::TBitmapView all = image.View();
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) all.At(x, y) = 0;
    }
    const int section = SkinData->SkinIndex();
    // In the skin's border mode 1 its border image draws the frame's edges
    // and caption band: the section gives only its face, and the caption
    // goes over the border image.
    const bool maskMode = BorderMaskMode();
    // Over the frame, not the whole image: with a border the margins around
    // the frame are the shadow's and must stay clear for it.
    if (m->IsValidSectionIndex(section)) {
        TvlBgInfo bg;
        if (maskMode)
            PaintSectionBackground(section, bg, StateOf(*m, section, Active), frame, {frame.Left, frame.Top}, image, m,
                                   -1, -1, vcl::clFuchsia);
        else
            PaintControlSkin(*SkinData, bg, StateOf(*m, section, Active), frame, {0, 0}, image, false);
    } else {
        FillRectSolid(image.Canvas()->Handle(), frame, m->GetMainColor());
    }
    std::vector<std::uint32_t> masked;
    if (maskMode) masked = PaintBorderMaskOver(frame);
    // Placed before the caption, which ends its text before them: from the
    // last render's places, the first render would write it under them.
    PlaceTitleButtons();
    PaintCaption();
    GdiFlush();
    // The strip behind the buttons, as painted before them: taken on every
    // render, since a strip kept from before an activation change would put
    // the old caption back behind a repainted button.
    const int band = FrameTopHeight();
    if (band > 0 && (!CaptionBack || CaptionBack->Width() != width || CaptionBack->Height() != band)) {
        CaptionBack = NewBitmap32(width, band);
    }
    if (CaptionBack && band > 0) CopyPixels(CaptionBack->View(), 0, 0, image.View(), 0, 0, width, band);
    if (CaptionHeight() != 0) PaintTitleButtons();
    // What the caption and buttons drew leaves their alpha at 0.
    GdiFlush();
    if (maskMode) MakeChangedOpaque(image.View(), frame, masked);
    else if (BorderForm) PaintFrameShadow();
    FrameInvalid = false;
    SkinData->BGChanged = false;
}

void TvlDialogWnd::PaintCaption() {
    TsSkinManager *m = SkinData->GetSkinManager();
    vcl::TBitmap &image = *SkinData->CacheBmp();
    const int caption = CaptionHeight();
    if (caption == 0) return;
    const int band = FrameTopHeight();
    const vcl::TRect margins = ExtBorderMargins();
    TvlBgInfo bg;
    InitBgInfo(&image, 0, 0, bg);
    // The skin's border image draws the caption band in its border mode 1.
    if (m->IsValidSectionIndex(TitleSection) && !BorderMaskMode())
        PaintSkinSection(TitleSection, bg, StateOf(*m, TitleSection, Active),
                         {margins.Left, margins.Top, image.Width() - margins.Right, band}, {margins.Left, margins.Top},
                         image, m);
    GdiFlush();
    PaintIcon();
    // The text: between the icon and the buttons.
    const int border = FrameBorder();
    int right = image.Width() - margins.Right - border - 6;
    for (const TvlDialogButton &b : Buttons)
        if (!b.Rect.IsEmpty()) right = std::min(right, static_cast<int>(b.Rect.Left) - 6);
    int left = margins.Left + border + 4 + m->SkinData->BILeft;
    if (HasSysMenu()) left += GetSystemMetrics(SM_CXSMICON);
    const std::string text = WindowText;
    if (text.empty() || right <= left) return;
    vcl::TCanvas &canvas = *image.Canvas();
    const vcl::TFontCharset charset = canvas.Font()->Charset();
    if (FrameFont) canvas.Font()->SetHandle(FrameFont.Get());
    canvas.Font()->SetCharset(charset);
    canvas.Brush()->SetStyle(vcl::bsClear);
    UINT flags = CaptionTextFlags;
    if (ExStyle & (WS_EX_RTLREADING | WS_EX_LAYOUTRTL)) flags |= DT_RTLREADING | DT_RIGHT;
    // The skin's caption holds its top border: the text is centred in it all.
    vcl::TRect r{left, margins.Top + (BorderForm ? 0 : BorderWidth()), right, band};
    // Where the text stands: at the left, or right-aligned at the right.
    vcl::TRect measured = r;
    DrawTextStr(canvas.Handle(), text, measured, flags | DT_CALCRECT);
    const int width = std::min(measured.Width(), r.Width());
    const vcl::TRect box = flags & DT_RIGHT ? vcl::TRect{r.Right - width, r.Top, r.Right, r.Bottom}
                                            : vcl::TRect{r.Left, r.Top, r.Left + width, r.Bottom};
    const bool captionSection = m->IsValidSectionIndex(CaptionSection);
    const int section = captionSection ? CaptionSection : TitleSection;
    if (captionSection) {
        // Behind the text where it stands: a right-aligned text's box at
        // the right (the measured rectangle starts at the left either way).
        const int h = measured.Height();
        const vcl::TRect under{box.Left - 4, r.Top + (r.Height() - h) / 2 - 2, box.Right + 4,
                               r.Top + (r.Height() + h) / 2 + 2};
        PaintSkinSection(CaptionSection, bg, StateOf(*m, CaptionSection, Active), under, {under.Left, under.Top}, image,
                         m);
    }
    if (m->IsValidSectionIndex(section)) {
        const int state = StateOf(*m, section, Active);
        const TsGenState &look = m->Sections[static_cast<std::size_t>(section)].Props[std::min(state, 2)];
        // With a border the caption carries the skin's text glow, as a form's does.
        if (BorderForm && look.GSize > 0) {
            vcl::TBitmap glow;
            WriteTextWithEffects(image, text, box, flags, 15, look.GSize, look.GCol, glow);
        }
        WriteSectionText(canvas, text, true, r, flags, section, state, m);
    } else
        DrawTextStr(canvas.Handle(), text, r, flags);
}

void TvlDialogWnd::PlaceTitleButtons() {
    TsSkinManager *m = SkinData->GetSkinManager();
    const vcl::TBitmap &image = *SkinData->CacheBmp();
    for (TvlDialogButton &b : Buttons) b.Rect = {};
    if (CaptionHeight() == 0) return;
    const std::vector<int> shown = ShownDialogButtons(ButtonRules());
    if (shown.empty()) return;
    std::vector<TvlButtonSize> sizes;
    for (int code : shown) {
        const TvlDialogButton *b = ButtonByCode(code);
        const vcl::TSize s = CaptionButtonSize(
            b && m->IsValidMaskIndex(b->MaskIndex) ? &m->Masks[static_cast<std::size_t>(b->MaskIndex)] : nullptr);
        sizes.push_back({s.cx, s.cy});
    }
    const TvlDialogButton *close = ButtonByCode(dhClose);
    const bool big = close && close->BigIcons;
    const vcl::TRect margins = ExtBorderMargins();
    const int top = ButtonsTop(sizes.front().Height, big);
    int right = image.Width() - margins.Right - std::max(FrameBorder(), 4);
    // Where the skin's frame is hardly wider than the window's, the buttons
    // keep to the side border's inner edge.
    if (const int pull = BorderSideExcess() - 2; BorderForm && pull < 1) right -= pull;
    const std::vector<vcl::TRect> rects =
        PlaceDialogButtons(sizes, right, top, big ? std::max(0, int(m->SkinData->BISpace)) : 0);
    for (std::size_t i = 0; i < shown.size(); ++i) ButtonByCode(shown[i])->Rect = rects[i];
}

void TvlDialogWnd::PaintTitleButtons() {
    TsSkinManager *m = SkinData->GetSkinManager();
    vcl::TBitmap &image = *SkinData->CacheBmp();
    const TvlDialogButtonRules rules = ButtonRules();
    for (const int code : ShownDialogButtons(rules)) {
        TvlDialogButton *b = ButtonByCode(code);
        if (!b || b->Rect.IsEmpty()) continue;
        const TvlTitleButtonLook look = TitleButtonLook(*b, rules);
        if (!m->IsValidMaskIndex(look.Mask)) continue;
        TvlBgInfo behind;
        InitBgInfo(&image, 0, 0, behind);
        DrawSkinGlyph(image, {b->Rect.Left, b->Rect.Top}, b->State, look.Disabled ? gmFaded : gmNormal,
                      m->Masks[static_cast<std::size_t>(look.Mask)], behind);
    }
}

// One choice for the whole frame and for one button's repaint, so that a
// hover does not change a button's look.
TvlDialogWnd::TvlTitleButtonLook TvlDialogWnd::TitleButtonLook(const TvlDialogButton &Button,
                                                               const TvlDialogButtonRules &Rules) const {
    const int code = Button.HitCode;
    const bool zoomed = IsZoomed(Handle) != 0, iconic = IsIconic(Handle) != 0;
    int mask = Button.MaskIndex;
    if (code == dhMaxButton && zoomed) mask = TitleIconMask(tiBigNorm, "BICONNORM");
    if (code == dhMinButton && iconic) mask = TitleIconMask(tiBigNorm, "BICONNORM");
    if (code == dhMaxButton && iconic) mask = TitleIconMask(tiBigMax, "BICONMAX");
    return {mask, LooksDisabled(code, Rules, Active, code == dhMaxButton && iconic)};
}

int TvlDialogWnd::ButtonsTop(int Height, bool Big) const {
    const TsSkinManager *m = SkinData ? SkinData->GetSkinManager() : nullptr;
    const TsSkinData *global = m ? m->SkinData.get() : nullptr;
    const int marginTop = ExtBorderMargins().Top;
    // A maximized window's frame reaches beyond the screen: with a border
    // the buttons move down into what shows of the caption.
    const bool zoomed = BorderForm && IsZoomed(Handle);
    if (Big && global && global->BIVAlign == 1) return marginTop + global->BITop + (zoomed ? 3 : 0);
    // Without a border the caption starts below the window's own top border.
    int top = BorderForm ? marginTop + (CaptionHeight() - Height) / 2
                         : std::max(0, DialogButtonBandTop(CaptionHeight(), Height, BorderWidth()));
    if (zoomed) top += BorderOwnerWidth() / 2;
    if (global && global->BorderMode == 1) top += global->CenterOffset;
    return top;
}

int TvlDialogWnd::TitleIconMask(int Icon, std::string_view Name) const {
    const TsSkinManager *m = SkinData->GetSkinManager();
    const int common = m->CommonElements.TitleIcons[static_cast<std::size_t>(Icon)];
    if (m->IsValidMaskIndex(common)) return common;
    // A skin may give the dialog its own.
    return m->GetMaskIndex(SkinData->SkinIndex(), Name);
}

void TvlDialogWnd::DrawButtonLook(TvlDialogButton &Button, int State) {
    vcl::TBitmap *cache = SkinData->CacheBmp();
    TsSkinManager *m = SkinData->GetSkinManager();
    const vcl::TRect r = Button.Rect;
    GdiFlush();
    if (CaptionBack && r.Bottom <= CaptionBack->Height())
        CopyPixels(cache->View(), r.Left, r.Top, CaptionBack->View(), r.Left, r.Top, r.Width(), r.Height());
    const TvlTitleButtonLook look = TitleButtonLook(Button, ButtonRules());
    if (m->IsValidMaskIndex(look.Mask)) {
        TvlBgInfo behind;
        InitBgInfo(cache, 0, 0, behind);
        DrawSkinGlyph(*cache, {r.Left, r.Top}, State, look.Disabled ? gmFaded : gmNormal,
                      m->Masks[static_cast<std::size_t>(look.Mask)], behind);
    }
    GdiFlush();
    // The border window shows the cache with its alpha: the button is frame.
    if (BorderForm) SetRectAlpha(*cache, r, 255);
}

void TvlDialogWnd::PaintButtonState(int Code) {
    TvlDialogButton *b = ButtonByCode(Code);
    vcl::TBitmap *cache = SkinData ? SkinData->CacheBmp() : nullptr;
    TsSkinManager *m = SkinData ? SkinData->GetSkinManager() : nullptr;
    if (!b || !cache || !m || b->Rect.IsEmpty() || FrameInvalid || b->Rect.Left <= IconRect().Right) return;
    const vcl::TRect r = b->Rect;
    if (ButtonFades()) {
        // The new look fades in over the frame (a press shows at once); the
        // frame keeps the normal one.
        StartButtonAnimation(b->Animation, *this, Code, b->State, b->State == 2 ? 1 : 10, b->State != 0);
        if (BorderForm) return;
    } else {
        DrawButtonLook(*b, b->State);
        if (BorderForm) {
            UpdateBorder(true);
            return;
        }
    }
    if (!b->Animation && IsWindowVisible(Handle)) {
        const vcl::TWindowDC dc(Handle, GetWindowDC(Handle));
        if (dc) BitBlt(dc.Get(), r.Left, r.Top, r.Width(), r.Height(), cache->Canvas()->Handle(), r.Left, r.Top, SRCCOPY);
    }
    // A hot button glows where the skin gives it a glow, its fade running
    // or not: glowing is what runs the fades, so behind "no fade" alone the
    // skin's glow could never show.
    const TsSkinData *global = m->SkinData.get();
    int glow = 0, margin = 0;
    if (Code == dhClose) glow = global->BIconCloseGlow, margin = global->BIconCloseGlowMargin;
    if (Code == dhMaxButton) glow = global->BIconMaxGlow, margin = global->BIconMaxGlowMargin;
    if (Code == dhMinButton) glow = global->BIconMinGlow, margin = global->BIconMinGlowMargin;
    if (b->GlowId >= 0) {
        GlowService().HideGlow(b->GlowId, false);
        // Forgotten even where it was gone already (cleared with all glows):
        // another glow may hold its id by now.
        b->GlowId = -1;
    }
    if (b->State == 1 && glow >= 1 && m->Effects()->AllowGlowing && m->IsValidMaskIndex(b->MaskIndex)) {
        RECT wr{};
        GetWindowRect(Handle, &wr);
        const vcl::TRect screen{wr.left + r.Left, wr.top + r.Top, wr.left + r.Right, wr.top + r.Bottom};
        b->GlowId = GlowService().ShowGlow(screen, "GLOBALINFO",
                                           m->Masks[static_cast<std::size_t>(b->MaskIndex)].PropertyName + "GLOW",
                                           *SkinData, Handle, 255, margin);
    }
}

void TvlDialogWnd::PaintNonClient() {
    // A new region and the frame's render move and paint the window: its
    // procedure may free this adapter.
    const vcl::TGuarded alive(this);
    if (NeedRegion && !(FrameKind == 2 && !(GetWindowLongPtrW(Handle, GWL_STYLE) & WS_THICKFRAME))) UpdateRegion(false);
    if (!alive) return;
    const bool rendered = FrameInvalid;
    PaintFrame();
    if (!alive) return;
    if (BorderForm) {
        // The border window shows the frame; nothing goes into the window.
        const HWND border = BorderForm->Window();
        if (rendered || !border || !IsWindowVisible(border)) UpdateBorder(true);
        return;
    }
    vcl::TBitmap *cache = SkinData->CacheBmp();
    if (!cache || cache->Empty()) return;
    const int w = cache->Width(), h = cache->Height();
    const int left = FrameLeftWidth(), top = FrameTopHeight();
    RECT cr{};
    GetClientRect(Handle, &cr);
    const int right = std::max(0, w - left - int(cr.right)), bottom = std::max(0, h - top - int(cr.bottom));
    const vcl::TWindowDC dc(Handle, GetWindowDC(Handle));
    if (!dc) return;
    const HDC src = cache->Canvas()->Handle();
    BitBlt(dc.Get(), 0, 0, w, top, src, 0, 0, SRCCOPY);
    BitBlt(dc.Get(), 0, top, left, h - top, src, 0, top, SRCCOPY);
    BitBlt(dc.Get(), left, h - bottom, w - left, bottom, src, left, h - bottom, SRCCOPY);
    BitBlt(dc.Get(), w - right, top, right, h - top - bottom, src, w - right, top, SRCCOPY);
}

LRESULT TvlDialogWnd::EraseBackground(HDC Given) {
    const bool own = Given == nullptr;
    const vcl::TWindowDC mine(own ? Handle : nullptr, own ? GetDC(Handle) : nullptr);
    const HDC dc = own ? mine.Get() : Given;
    if (!dc) return 1;
    SkinData->Updating = false;
    PaintFrame();
    vcl::TBitmap *cache = SkinData->CacheBmp();
    if (!cache || cache->Empty()) return 1;
    RECT cr{};
    GetClientRect(Handle, &cr);
    const vcl::TSavedDC saved(dc);
    // No mirroring: the class library's application never reads right to left.
    // Children clipped out only on the dialog's own DC: a DC a child
    // forwards (a transparent tool bar erasing through its parent) must get
    // the face where the child stands.
    if (WindowFromDC(dc) == Handle) ExcludeChildWindows(dc, Handle, 0, 0);
    BitBlt(dc, 0, 0, cr.right, cr.bottom, cache->Canvas()->Handle(), FrameLeftWidth(), FrameTopHeight(), SRCCOPY);
    return 1;
}

} // namespace skin
