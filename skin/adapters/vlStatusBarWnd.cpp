#include "vlStatusBarWnd.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "skin/graphics/vlGraphUtils.h"
#include "skin/graphics/vlNineSlice.h"
#include "skin/graphics/vlSkinGlyphs.h"
#include "skin/graphics/vlSkinSections.h"
#include "skin/graphics/vlSkinText.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sModuleState.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/sVclUtils.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/GdiObjects.h"
#include "vcl/StatusBar.h"
#include "vcl/WideText.h"
#include "vlSBPaint.h"
#include "vlStaticWnd.h"

namespace skin {

namespace {

constexpr int ssDividerSection = 7;
constexpr UINT PanelTextFlags = DT_SINGLELINE | DT_VCENTER;

bool IsSimple(HWND Bar) { return SendMessageW(Bar, SB_ISSIMPLE, 0, 0) != 0; }

int PartCount(HWND Bar) { return static_cast<int>(SendMessageW(Bar, SB_GETPARTS, 0, 0)); }

// The text of a part of a bare status window; owner-drawn parts hold data,
// not text.
std::string BarePartText(HWND Bar, int Index) {
    const LRESULT info = SendMessageW(Bar, SB_GETTEXTLENGTHW, static_cast<WPARAM>(Index), 0);
    if (HIWORD(info) & SBT_OWNERDRAW) return {};
    const int length = LOWORD(info);
    if (length == 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(Bar, SB_GETTEXTW, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(wcsnlen(text.c_str(), text.size()));
    return vcl::WideToUtf8(text);
}

bool SameFont(const LOGFONTW &A, const LOGFONTW &B) {
    return A.lfHeight == B.lfHeight && A.lfWidth == B.lfWidth && A.lfEscapement == B.lfEscapement &&
           A.lfOrientation == B.lfOrientation && A.lfWeight == B.lfWeight && A.lfItalic == B.lfItalic &&
           A.lfUnderline == B.lfUnderline && A.lfStrikeOut == B.lfStrikeOut && A.lfCharSet == B.lfCharSet &&
           A.lfOutPrecision == B.lfOutPrecision && A.lfClipPrecision == B.lfClipPrecision &&
           A.lfQuality == B.lfQuality && A.lfPitchAndFamily == B.lfPitchAndFamily &&
           wcsncmp(A.lfFaceName, B.lfFaceName, LF_FACESIZE) == 0;
}

bool SameBackground(const TvlBgInfo &A, const TvlBgInfo &B) {
    return A.Bmp == B.Bmp && A.X == B.X && A.Y == B.Y && A.Color == B.Color && A.R == B.R && A.UseBmp == B.UseBmp;
}

} // namespace

bool TvlStatusBarWnd::TImageSources::operator==(const TImageSources &O) const {
    return Manager == O.Manager && Section == O.Section && Border == O.Border && Pattern == O.Pattern &&
           HotPattern == O.HotPattern && Hue == O.Hue && Saturation == O.Saturation && Tone == O.Tone &&
           OwnerColor == O.OwnerColor && CustomColor == O.CustomColor && CustomFont == O.CustomFont &&
           BgFlags == O.BgFlags && Size.cx == O.Size.cx && Size.cy == O.Size.cy && Pos.X == O.Pos.X &&
           Pos.Y == O.Pos.Y && SameBackground(Bg, O.Bg) && SameFont(Font, O.Font) && FontColor == O.FontColor &&
           Simple == O.Simple && SimplePanel == O.SimplePanel && Grip == O.Grip && OwnerDrawn == O.OwnerDrawn &&
           BorderWidth == O.BorderWidth && Parts == O.Parts && Texts == O.Texts && Aligns == O.Aligns;
}

void TvlStatusBarWnd::SetDefaultSection() {
    if (SkinData && SkinData->SkinSection().empty()) SkinData->SetSkinSection("STATUSBAR");
    StatusBar = vcl::TGuarded<vcl::TStatusBar>(SkinData ? dynamic_cast<vcl::TStatusBar *>(SkinData->OwnerControl()) : nullptr);
    TvlMainWnd::SetDefaultSection();
}

std::string TvlStatusBarWnd::PanelText(int Index) { return PanelText(Index, PartCount(Handle), IsSimple(Handle)); }

std::string TvlStatusBarWnd::PanelText(int Index, int Parts, bool Simple) {
    if (Parts == 0) return {};
    if (Simple) {
        // A bare bar keeps its simple text apart from its window text. Asked
        // in simple mode, some bars answer it for the simple id, others for
        // part 0; the window text serves only when neither holds one.
        std::string simple = BarePartText(Handle, SB_SIMPLEID);
        if (simple.empty()) simple = BarePartText(Handle, 0);
        return simple.empty() ? ReadWindowText(Handle) : simple;
    }
    if (StatusBar) {
        if (StatusBar->Panels()->Count() == 0) return StatusBar->SimpleText();
        if (Index < 0 || Index >= StatusBar->Panels()->Count()) return {};
        return StatusBar->Panels()->Items(Index)->Text();
    }
    // A bare bar keeps its texts itself.
    return Index >= 0 ? BarePartText(Handle, Index) : std::string{};
}

bool TvlStatusBarWnd::PaintPanel(int Index, vcl::TRect R, bool Last, bool Simple, const std::string &Text,
                                 UINT Align, TvlBgInfo &Bg) {
    TsSkinManager *m = SkinData->GetSkinManager();
    vcl::TBitmap &cache = *SkinData->CacheBmp();
    R = {R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1};
    const int panelMask =
        m && m->IsValidSectionIndex(SkinData->SkinIndex()) ? m->GetMaskIndex(SkinData->SkinIndex(), "STATUSPANELMASK") : -1;
    if (m && m->IsValidMaskIndex(panelMask)) {
        const vcl::TRect where = Simple ? vcl::TRect{0, 0, cache.Width(), cache.Height()} : R;
        DrawSkinRect(cache, where, Bg, m->Masks[static_cast<std::size_t>(panelMask)], 0, true);
    } else if (m && !Last && !Simple) {
        const int divider = m->StdSectionIndexes[ssDividerSection];
        const int dividerMask = m->IsValidSectionIndex(divider) ? m->GetMaskIndex(divider, "BORDERSMASK") : -1;
        if (m->IsValidMaskIndex(dividerMask)) {
            const int w = std::max(2, m->MaskLeftMargin(dividerMask) + m->MaskRightMargin(dividerMask));
            const int h = cache.Height() - 2;
            if (h > 0) {
                vcl::TBitmap piece;
                piece.SetPixelFormat(vcl::pf32bit);
                piece.SetSize(w, h);
                BitBlt(piece.Canvas()->Handle(), 0, 0, w, h, cache.Canvas()->Handle(), R.Right - w, R.Top, SRCCOPY);
                TvlBgInfo behind;
                InitBgInfo(&piece, 0, 0, behind);
                PaintSkinSection(divider, behind, 0, {0, 0, w, h}, {0, 0}, piece, m);
                BitBlt(cache.Canvas()->Handle(), R.Right - w, 1, w, h, piece.Canvas()->Handle(), 0, 0, SRCCOPY);
            }
        }
    }
    if (StatusBar && Index >= 0 && Index < StatusBar->Panels()->Count() &&
        StatusBar->Panels()->Items(Index)->Style() == vcl::psOwnerDraw && StatusBar->OnDrawPanel) {
        // The event draws on the bar's canvas, pointed at the image. It is
        // the application's: it may free the bar, or this adapter.
        const vcl::TGuarded alive(this);
        const vcl::TGuarded<vcl::TStatusBar> bar = StatusBar;
        vcl::TCanvas &canvas = *bar->Canvas();
        canvas.SetHandle(cache.Canvas()->Handle());
        try {
            bar->OnDrawPanel(bar.Get(), bar->Panels()->Items(Index), R);
        } catch (...) {
            if (bar) canvas.SetHandle(nullptr);
            throw;
        }
        if (bar) canvas.SetHandle(nullptr);
        return alive && bar;
    }
    vcl::TRect text{R.Left + 2, R.Top, R.Right - 4, R.Bottom - 1};
    // The grip's corner is not the last panel's: its text ends before the
    // grip as it ends before a panel's edge, not under it.
    const vcl::TRect grip = Last ? GripRect() : vcl::TRect{};
    if (grip.Right > grip.Left) text.Right = std::min(text.Right, grip.Left - 4);
    SelectAdapterFont(*this);
    vcl::TCanvas &canvas = *cache.Canvas();
    const std::string shown = ShortenTextToWidth(canvas, Text, text.Width());
    WriteTextForControl(canvas, shown, true, text, PanelTextFlags | Align, *SkinData, 0);
    return true;
}

vcl::TRect TvlStatusBarWnd::GripRect() {
    TsSkinManager *m = SkinData->GetSkinManager();
    if (!m || !StatusBar || !StatusBar->SizeGrip()) return {};
    const int grip = m->CommonElements.GripImage;
    if (!m->IsValidMaskIndex(grip)) return {};
    const vcl::TSize size = GetMaskFrameSize(m->Masks[static_cast<std::size_t>(grip)]);
    const vcl::TBitmap &cache = *SkinData->CacheBmp();
    const int b = StatusBar->BorderWidth();
    const int left = cache.Width() - size.cx - b, top = cache.Height() - size.cy - b;
    return {left, top, left + size.cx, top + size.cy};
}

void TvlStatusBarWnd::PaintGrip() {
    const vcl::TRect where = GripRect();
    if (where.Right <= where.Left) return;
    TsSkinManager *m = SkinData->GetSkinManager();
    const TsMaskData &mask = m->Masks[static_cast<std::size_t>(m->CommonElements.GripImage)];
    vcl::TBitmap &cache = *SkinData->CacheBmp();
    TvlBgInfo behind;
    InitBgInfo(&cache, 0, 0, behind);
    DrawSkinGlyph(cache, {where.Left, where.Top}, 0, gmNormal, mask, behind);
}

std::optional<TvlStatusBarWnd::TImageSources> TvlStatusBarWnd::ReadSources() {
    TImageSources s;
    const TsCommonData &data = *SkinData;
    s.Manager = data.GetSkinManager();
    s.Section = data.SkinIndex();
    s.Border = data.BorderIndex();
    s.Pattern = data.PatternIndex();
    s.HotPattern = data.HotPatternIndex();
    s.Hue = data.HueOffset();
    s.Saturation = data.Saturation();
    s.Tone = data.ColorTone();
    s.OwnerColor = data.OwnerColor();
    s.CustomColor = data.CustomColor();
    s.CustomFont = data.CustomFont();
    s.BgFlags = data.BGFlags();
    s.Size = WndSize;
    s.Pos = PosInParent;
    if (!(data.OwnerControl() ? SkinData->FillBackgroundInfo(s.Bg, TvlAsker(this))
                              : WindowBackgroundInfo(Handle, s.Bg, TvlAsker(this))))
        return std::nullopt;
    // The font SelectAdapterFont gives the texts.
    if (const vcl::TControl *c = data.OwnerControl()) {
        s.Font = c->Font()->LogFont();
        s.FontColor = c->Font()->Color();
    } else if (const auto font = reinterpret_cast<HFONT>(SendMessageW(Handle, WM_GETFONT, 0, 0))) {
        GetObjectW(font, sizeof s.Font, &s.Font);
    } else {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) s.Font = metrics.lfMessageFont;
    }
    if (StatusBar) {
        s.SimplePanel = StatusBar->SimplePanel();
        s.Grip = StatusBar->SizeGrip();
        s.BorderWidth = StatusBar->BorderWidth();
    }
    s.Simple = IsSimple(Handle);
    const int parts = PartCount(Handle);
    if (s.Simple) {
        s.Texts.push_back(PanelText(-1, parts, true));
        s.Aligns.push_back(DT_LEFT);
        return s;
    }
    for (int i = 0; i < parts; ++i) {
        RECT r{};
        SendMessageW(Handle, SB_GETRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
        s.Parts.push_back({r.left, r.top, r.right, r.bottom});
        s.Texts.push_back(PanelText(i, parts, false));
        UINT align = DT_LEFT;
        if (StatusBar && i < StatusBar->Panels()->Count()) {
            vcl::TStatusPanel *panel = StatusBar->Panels()->Items(i);
            if (!StatusBar->SimplePanel()) align = DrawTextAlignFlags(*StatusBar, panel->Alignment());
            if (panel->Style() == vcl::psOwnerDraw && StatusBar->OnDrawPanel) s.OwnerDrawn = true;
        }
        s.Aligns.push_back(align);
    }
    return s;
}

void TvlStatusBarWnd::BuildImage() {
    RefreshGeometry(*this);
    if (auto sources = ReadSources()) Build(std::move(*sources));
}

bool TvlStatusBarWnd::Build(TImageSources Sources) {
    SkinData->PrepareCache();
    vcl::TBitmap &cache = *SkinData->CacheBmp();
    cache.SetSize(WndSize.cx, WndSize.cy);
    const vcl::TRect whole{0, 0, WndSize.cx, WndSize.cy};
    PaintControlSkin(*SkinData, Sources.Bg, 0, whole, PosInParent, cache, true);
    // What the panels' frames lie over: the bar's own image.
    TvlBgInfo own;
    InitBgInfo(&cache, 0, 0, own);
    if (Sources.Simple) {
        if (!PaintPanel(-1, {0, 1, WndSize.cx - 1, WndSize.cy - 1}, true, true, Sources.Texts[0], Sources.Aligns[0],
                        own))
            return false;
    } else {
        const int parts = static_cast<int>(Sources.Parts.size());
        for (int i = 0; i < parts; ++i) {
            const std::size_t k = static_cast<std::size_t>(i);
            if (!PaintPanel(i, Sources.Parts[k], i == parts - 1, false, Sources.Texts[k], Sources.Aligns[k], own))
                return false;
        }
    }
    PaintGrip();
    SkinData->BGChanged = false;
    FBuiltFrom = std::move(Sources);
    return true;
}

void TvlStatusBarWnd::PaintClient(HDC DC) {
    RefreshGeometry(*this);
    std::optional<TImageSources> read = ReadSources();
    if (!read) return;
    TImageSources &now = *read;
    const vcl::TBitmap *kept = SkinData->CacheBmp();
    // The image of the last build still shows what the bar shows now unless
    // something it was built from changed; owner-drawn panels always paint.
    if (SkinData->BGChanged || now.OwnerDrawn || !FBuiltFrom || !(*FBuiltFrom == now) || !kept ||
        kept->Width() != WndSize.cx || kept->Height() != WndSize.cy)
        if (!Build(std::move(now))) return;
    const vcl::TWindowDC own(DC ? nullptr : Handle);
    const HDC target = DC ? DC : own.Get();
    if (!target) return;
    vcl::TBitmap &cache = *SkinData->CacheBmp();
    BitBlt(target, 0, 0, cache.Width(), cache.Height(), cache.Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TvlStatusBarWnd::PaintFrame(HDC DC) {
    if (!StatusBar || (!DC && ModuleState().FormAnimationActive)) return;
    if (SkinData->BGChanged) {
        RefreshGeometry(*this);
        std::optional<TImageSources> sources = ReadSources();
        if (!sources || !Build(std::move(*sources))) return;
    }
    const int b = StatusBar->BorderWidth();
    if (b <= 0) return;
    const vcl::TWindowDC own(DC ? nullptr : Handle, DC ? nullptr : GetWindowDC(Handle));
    vcl::TBitmap &cache = *SkinData->CacheBmp();
    CopyBorderStrips(DC ? DC : own.Get(), 0, 0, cache.Width(), cache.Height(), cache.Canvas()->Handle(), 0, 0, b);
}

bool TvlStatusBarWnd::OwnMessage(vcl::TMessage &Message) {
    if (!SkinData || !SkinData->IsSkinned(true)) {
        FBuiltFrom.reset();
        return TvlMainWnd::OwnMessage(Message);
    }
    // The common picture of a control is drawn over the bar's image.
    if (Message.Msg == SM_SKINCOMMAND && SubCommandOf(Message.WParam) == SC_BUILD_CACHE) FBuiltFrom.reset();
    TvlErasePainters painters{vcl::TMethod<void(HDC)>::Bind<&TvlStatusBarWnd::PaintClient>(this),
                              vcl::TMethod<void(HDC)>::Bind<&TvlStatusBarWnd::PaintFrame>(this)};
    painters.PrintsFrame = false;
    if (RouteErasePaint(Message, *this, painters)) return true;
    if (Message.Msg != WM_SIZE) return TvlMainWnd::OwnMessage(Message);
    const vcl::TGuarded alive(this);
    PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
    if (alive && IsWindow(Handle) && SkinData->IsSkinned(true))
        RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
    return true;
}

} // namespace skin
