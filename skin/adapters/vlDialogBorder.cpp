// The dialog adapter with an extended border: the border form made and
// freed with the manager's option, what the border form asks of the
// dialog (its window, margins, frame image, buttons, client area), the
// shadow and cut corners of the frame image, and the title buttons' fades.
#include <algorithm>

#include "skin/forms/sFormBorder.h"
#include "skin/forms/vlBorderImage.h"
#include "skin/graphics/sMaskData.h"
#include "skin/graphics/vlGlyphStrips.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/graphics/vlPixelHelpers.h"
#include "skin/graphics/vlSkinPieces.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sIndexCache.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/vlFormAnimations.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vlDialogWnd.h"

namespace skin {

namespace {

// The frame pixels that show what lies behind them (the shadow).
constexpr std::uint32_t FrameKey = 0xFF00FF;
// The corners of the frame cut at most this far.
constexpr int CornerLimit = 8;

} // namespace

TsSkinManager *TvlDialogWnd::BorderSkinManager() const { return SkinData ? SkinData->GetSkinManager() : nullptr; }

vcl::TRect TvlDialogWnd::ExtBorderMargins() const {
    const TsSkinManager *m = BorderForm ? BorderSkinManager() : nullptr;
    if (!m) return {};
    vcl::TRect margins = m->ExtBorderMargins;
    // A minimized dialog's image keeps the window's width (see FrameCacheSize).
    if (IsIconic(Handle)) margins.Left = margins.Right = 0;
    return margins;
}

vcl::TPoint TvlDialogWnd::BorderOffset() const {
    // Without a border the cache is the window.
    if (!BorderForm) return {0, 0};
    vcl::TPoint offset = FrameWindowOffset(FrameSizes());
    if (IsIconic(Handle)) offset.X = 0;
    return offset;
}

vcl::TSize TvlDialogWnd::FrameCacheSize() const {
    RECT wr{};
    GetWindowRect(Handle, &wr);
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    if (!BorderForm) return {w, h};
    // With a border the image takes in the shadow margins around the frame,
    // and the skin's frame reaches beyond the window's own by its excesses;
    // a minimized dialog's only in height: it is its caption alone, which
    // the image covers from edge to edge.
    vcl::TSize size = FrameImageSize(FrameSizes(), w, h);
    if (IsIconic(Handle)) size.cx = w;
    return size;
}

void TvlDialogWnd::SetExtBorders(bool On) {
    const TsSkinManager *m = BorderSkinManager();
    const bool wanted = On && m && !m->ComponentState().Contains(vcl::csDesigning) && LayeredWindowsAvailable() && Handle && IsWindow(Handle);
    if (!wanted) {
        if (!BorderForm) return;
        FreeButtonAnimations();
        BorderForm.reset();
        // The frame goes back into the window, shaped by its own corners.
        FrameInvalid = true;
        NeedRegion = true;
        if (IsWindowVisible(Handle)) {
            const vcl::TGuarded alive(this);
            UpdateRegion(false);
            if (alive) RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        }
        return;
    }
    if (!BorderForm) {
        FreeButtonAnimations();
        BorderForm = std::make_unique<TvlBorderForm>(*this);
        FrameInvalid = true;
        NeedRegion = true;
    }
    if (IsWindowVisible(Handle)) {
        // The new shape runs the window's procedure, which may free this adapter.
        const vcl::TGuarded alive(this);
        UpdateRegion(false);
        if (alive) UpdateBorder(true);
    }
}

void TvlDialogWnd::UpdateBorder(bool Repaint) {
    if (!BorderForm) return;
    // A frame to render again is shown again.
    BorderForm->UpdateBorder(Repaint || FrameInvalid, 255);
}

vcl::TBitmap *TvlDialogWnd::BorderFrameImage() {
    PaintFrame();
    return FrameImage();
}

vcl::TRect TvlDialogWnd::BorderClientRect() const {
    RECT cr{};
    GetClientRect(Handle, &cr);
    const int x = FrameLeftWidth(), y = FrameTopHeight();
    return {x, y, x + cr.right, y + cr.bottom};
}

int TvlDialogWnd::BorderButtonCode(vcl::TPoint P) {
    if (CaptionHeight() == 0 || !HasSysMenu()) return 0;
    const TvlDialogButtonRules rules = ButtonRules();
    const std::vector<int> shown = ShownDialogButtons(rules);
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const vcl::TRect &r = ButtonByCode(shown[i])->Rect;
        if (r.IsEmpty() || P.X < r.Left || P.X >= r.Right || P.Y < r.Top || P.Y >= r.Bottom) continue;
        const int code = DialogButtonHitCode(static_cast<int>(i) + 1, rules);
        // A maximize or minimize that cannot act is caption; a close that
        // may not close is nowhere: a press there neither closes nor drags.
        if (code == 0) return htInertButton;
        return code == dhCaption ? 0 : code;
    }
    return 0;
}

bool TvlDialogWnd::BorderBlendedMove() {
    const TsSkinManager *m = BorderSkinManager();
    const TvlBlendOnMoving *blend = m ? m->AnimEffects()->BlendOnMoving.get() : nullptr;
    if (!blend || !blend->Active || blend->BlendValue >= 255 || IsIconic(Handle) || !LayeredWindowsAvailable())
        return false;
    // The drag runs inside; the dialog may be gone after it.
    SetHotButton(0, true);
    StartBlendedMove();
    return true;
}

// ------------------------------------------------- the frame's shadow

void TvlDialogWnd::PaintFrameShadow() {
    TsSkinManager *m = BorderSkinManager();
    vcl::TBitmap *cache = SkinData ? SkinData->CacheBmp() : nullptr;
    if (!m || !cache || cache->Empty()) return;
    const vcl::TRect margins = ExtBorderMargins();
    const vcl::TRect frame{margins.Left, margins.Top, cache->Width() - margins.Right, cache->Height() - margins.Bottom};
    GdiFlush();
    const vcl::TBitmapView view = cache->View();
    // The frame's corners show the shadow where the section's border mask
    // is transparent, no further in than its margins (at most 8 pixels).
    const int border = SkinData->BorderIndex();
    if (m->IsValidMaskIndex(border)) {
        const TsMaskData &mask = m->Masks[static_cast<std::size_t>(border)];
        const int l = std::clamp(m->MaskLeftMargin(border), 0, CornerLimit);
        const int t = std::clamp(m->MaskTopMargin(border), 0, CornerLimit);
        const int r = std::clamp(m->MaskRightMargin(border), 0, CornerLimit);
        const int b = std::clamp(m->MaskBottomMargin(border), 0, CornerLimit);
        const int w = frame.Width(), h = frame.Height();
        std::vector<vcl::TRect> runs;
        GetMaskCornerRects(runs, w, mask, 0, false);
        GetMaskCornerRects(runs, w, mask, h - m->MaskBottomMargin(border), true);
        const vcl::TRect corners[] = {{0, 0, l, t}, {w - r, 0, w, t}, {0, h - b, l, h}, {w - r, h - b, w, h}};
        // A frame narrower or lower than its corners, with margins that leave
        // no room beside it, would have them written beside the image.
        const vcl::TRect inside{std::max(0, -frame.Left), std::max(0, -frame.Top),
                                std::min(w, cache->Width() - frame.Left), std::min(h, cache->Height() - frame.Top)};
        for (const vcl::TRect &run : runs)
            for (const vcl::TRect &corner : corners) {
                const int x0 = std::max<int>({run.Left, corner.Left, inside.Left});
                const int x1 = std::min<int>({run.Right, corner.Right, inside.Right});
                const int y0 = std::max<int>({run.Top, corner.Top, inside.Top});
                const int y1 = std::min<int>({run.Bottom, corner.Bottom, inside.Bottom});
                for (int y = y0; y < y1; ++y)
                    for (int x = x0; x < x1; ++x) view.At(frame.Left + x, frame.Top + y) = FrameKey;
            }
    }
    vcl::TBitmap *shadow = m->ExtBorderImages[Active ? 1 : 0].get();
    if (!shadow || shadow->Empty()) {
        SetRectAlpha(*cache, frame, 255);
        return;
    }
    shadow->SetPixelFormat(vcl::pf32bit);
    skin::PaintFrameShadow(view, frame, shadow->View(), ExtBorderSlices(*m, *shadow));
}

bool TvlDialogWnd::BorderMaskMode() const {
    const TsSkinManager *m = BorderForm ? BorderSkinManager() : nullptr;
    return m && m->SkinData && m->SkinData->BorderMode == 1;
}

std::vector<std::uint32_t> TvlDialogWnd::PaintBorderMaskOver(const vcl::TRect &Frame) {
    TsSkinManager *m = BorderSkinManager();
    vcl::TBitmap &cache = *SkinData->CacheBmp();
    vcl::TBitmap *mask = m ? m->ExtBorderImages[Active ? 1 : 0].get() : nullptr;
    GdiFlush();
    if (mask && !mask->Empty()) {
        mask->SetPixelFormat(vcl::pf32bit);
        PaintBorderMask(cache.View(), Frame, mask->View(), ExtBorderSlices(*m, *mask));
    } else {
        PaintBorderMask(cache.View(), Frame, vcl::TBitmapView{}, {});
    }
    return PixelsOf(cache.View());
}

// ------------------------------------------------------ button fades

bool TvlDialogWnd::ButtonFades() const {
    const TsSkinManager *m = BorderSkinManager();
    return m && m->Effects()->AllowGlowing && LayeredWindowsAvailable() && !(StateFlags & 0x80) &&
           !ModuleState().FormAnimationActive && Handle && IsWindowVisible(Handle);
}

void TvlDialogWnd::FreeButtonAnimations() {
    for (TvlDialogButton &b : Buttons) delete std::exchange(b.Animation, nullptr);
}

bool TvlDialogWnd::BorderFreeFades() {
    const bool any = std::any_of(Buttons.begin(), Buttons.end(), [](const TvlDialogButton &B) { return B.Animation; });
    FreeButtonAnimations();
    // The frame drew the faded buttons plain: drawn again in their state.
    if (any) FrameInvalid = true;
    return any;
}

HWND TvlDialogWnd::FadeCaptionWindow() const {
    if (HWND border = BorderWindow()) return border;
    return SysMenuWindow();
}

vcl::TRect TvlDialogWnd::FadeButtonRect(int Code) const {
    for (const TvlDialogButton &b : Buttons)
        if (b.HitCode == Code) return b.Rect;
    return {};
}

std::unique_ptr<vcl::TBitmap> TvlDialogWnd::FadePicture(int Code, int State) {
    TvlDialogButton *b = ButtonByCode(Code);
    vcl::TBitmap *cache = SkinData ? SkinData->CacheBmp() : nullptr;
    if (!b || !cache || b->Rect.IsEmpty()) return nullptr;
    // The look drawn into the cache as the frame would show it, taken, and
    // the cache given its normal look back.
    DrawButtonLook(*b, State);
    GdiFlush();
    const vcl::TRect r = b->Rect;
    auto picture = NewBitmap32(r.Width(), r.Height());
    CopyPixels(picture->View(), 0, 0, cache->View(), r.Left, r.Top, r.Width(), r.Height());
    SetRectAlpha(*picture, {0, 0, r.Width(), r.Height()}, 255);
    DrawButtonLook(*b, 0);
    return picture;
}

void TvlDialogWnd::FadeGone(int Code, TvlSBAnimation *Animation) {
    if (TvlDialogButton *b = ButtonByCode(Code); b && b->Animation == Animation) b->Animation = nullptr;
}

TvlButtonGlow TvlDialogWnd::FadeGlow(int Code, int State) const {
    const TsSkinManager *m = SkinData ? SkinData->GetSkinManager() : nullptr;
    for (const TvlDialogButton &b : Buttons)
        if (b.HitCode == Code) return FindButtonGlow(m, Code, b.MaskIndex, State);
    return {};
}

} // namespace skin
