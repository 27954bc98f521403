// The caption of a skinned form, painted into the frame image by the
// renderer: the caption band with the header and the strip behind the
// buttons, the form's icon, and the caption text with the added title and
// the skin's text glow. Nothing reaches the screen here.
#include "sSkinProvider.h"

#include <algorithm>

#include "sFrameMetrics.h"
#include "skin/graphics/vlCommonUtils.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/graphics/vlImageHelpers.h"
#include "skin/graphics/vlNineSlice.h"
#include "skin/graphics/vlSkinPieces.h"
#include "skin/graphics/vlSkinSections.h"
#include "skin/graphics/vlSkinText.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/Bitmap.h"
#include "vcl/Forms.h"
#include "vcl/Graphics.h"
#include "vcl/Icon.h"
#include "vlTitleBar.h"

namespace skin {

namespace {

int SectionState(const TsSkinManager &M, int Section, int State) {
    return std::max(0, std::min(State, M.Sections[static_cast<std::size_t>(Section)].States - 1));
}

// The caption's bottom in the frame image: the top frame and the caption.
int CaptionBottomOf(const TsSkinProvider &P, const TvlFrameRender &Render) {
    // With a border form the skin's caption holds the top frame.
    const int border = P.Form->HandleAllocated() ? GetNativeBorderWidth(P.Form->WindowHandle(), P.BorderObject()) : 0;
    return Render.FrameRect.Top + border + P.GetCaptionHeight(true);
}

bool SmallIconic(const vcl::TCustomForm &Form) {
    return Form.HandleAllocated() && IsIconic(Form.WindowHandle()) && vcl::Application &&
           vcl::Application->MainForm() != &Form;
}

} // namespace

void TsSkinProvider::PaintCaption(TvlFrameRender &Render) {
    const int caption = GetCaptionHeight(true);
    TsSkinManager *m = FSkinData->GetSkinManager();
    if (caption == 0 || !FDrawNonClientArea || !Render.Image || !Form || !m) return;
    vcl::TBitmap &image = *Render.Image;
    const vcl::TRect &frame = Render.FrameRect;
    const int bottom = CaptionBottomOf(*this, Render);
    // The skin's border image draws the caption band in its border mode.
    if (m->IsValidSectionIndex(TitleSkinIndex) && !BorderMaskMode()) {
        // The small image of a minimized form is all caption (inside a
        // border form's shadow margins).
        const vcl::TRect band = SmallIconic(*Form) ? frame : vcl::TRect{frame.Left, frame.Top, frame.Right, bottom};
        PaintSkinSection(TitleSkinIndex, Render.Bg, SectionState(*m, TitleSkinIndex, FormActive), band, vcl::TPoint{band.Left, band.Top},
                         image, m);
    }
    if (FFormHeader->Present()) {
        const int side = FrameLeft(true);
        const vcl::TRect header{frame.Left + side, bottom, frame.Right - side,
                                bottom + FFormHeader->AdditionalHeight()};
        PaintSkinSection(HeaderSkinIndex, Render.Bg, SectionState(*m, HeaderSkinIndex, FormActive), header,
                         vcl::TPoint{header.Left, header.Top}, image, m);
    }
    PaintFormIcon(Render);
    // The strip lies behind the system's buttons: user buttons alone stand
    // on the caption band.
    if (BorderIconCount() > 0) {
        const int strip = m->GetMaskIndex(FSkinData->SkinIndex(), "TITLEBAR");
        if (m->IsValidMaskIndex(strip)) {
            const vcl::TRect r{frame.Right - CaptionReservedWidth(strip), frame.Top, frame.Right, frame.Top + caption};
            TvlBgInfo bg;
            InitBgInfo(&image, r.Left, r.Top, bg);
            DrawSkinRect(image, r, bg, m->Masks[static_cast<std::size_t>(strip)], Render.State, true);
        }
    }
}

void TsSkinProvider::PaintFormIcon(TvlFrameRender &Render) {
    if (!ShowsIcon() || !Render.Image || IconRect.IsEmpty()) return;
    vcl::TBitmap &image = *Render.Image;
    const vcl::TRect r = IconRect;
    // What lay there before: the icon's pixels are those that changed.
    auto before = NewBitmap32(r.Width(), r.Height());
    CopyPixels(before->View(), 0, 0, image.View(), r.Left, r.Top, r.Width(), r.Height());
    const HDC dc = image.Canvas()->Handle();
    vcl::TBitmap *glyph = FTitleIcon->Glyph();
    if (glyph && !glyph->Empty()) {
        if (glyph->PixelFormat() == vcl::pf32bit)
            DrawBitmapAlpha(*image.Canvas(), *glyph, r, false);
        else
            image.Canvas()->StretchDraw(r, glyph);
    } else {
        HICON icon = nullptr;
        if (!Form->Icon()->Empty())
            icon = Form->Icon()->Handle();
        else if (vcl::Application)
            icon = reinterpret_cast<HICON>(SendMessageW(vcl::Application->Handle(), WM_GETICON, ICON_SMALL2, 0));
        int w = TitleIconWidth(), h = TitleIconHeight();
        if (!icon) {
            // Neither the form nor the application has one: the program's own.
            const int size = std::max(16, GetCaptionHeight(true) - r.Top);
            w = FTitleIcon->Width() != 0 ? FTitleIcon->Width() : size;
            h = FTitleIcon->Height() != 0 ? FTitleIcon->Height() : size;
            const vcl::TIcon *own = ProgramIcon(std::max(w, h) > 16);
            icon = own && !own->Empty() ? own->Handle() : LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
        }
        DrawIconEx(dc, r.Left, r.Top, icon, w, h, 0, nullptr, DI_NORMAL);
    }
    // The system draws icons without touching alpha: the pixels it changed
    // become opaque, the others keep theirs.
    const vcl::TBitmapView was = before->View(), now = image.View();
    for (int y = 0; y < r.Height(); ++y) {
        if (r.Top + y < 0 || r.Top + y >= now.Height) continue;
        for (int x = 0; x < r.Width(); ++x) {
            if (r.Left + x < 0 || r.Left + x >= now.Width) continue;
            std::uint32_t &pixel = now.At(r.Left + x, r.Top + y);
            if ((pixel & 0xFFFFFF) != (was.At(x, y) & 0xFFFFFF)) pixel |= 0xFF000000u;
        }
    }
}

void TsSkinProvider::PaintCaptionText(TvlFrameRender &Render) {
    TsSkinManager *m = FSkinData->GetSkinManager();
    if (GetCaptionHeight(true) == 0 || !FDrawNonClientArea || !Render.Image || !Form || !m) return;
    vcl::TBitmap &image = *Render.Image;
    vcl::TCanvas &canvas = *image.Canvas();
    const vcl::TRect margins = GetShadowMargins();
    const bool captionSection = m->IsValidSectionIndex(CaptionSkinIndex);
    int left = FrameLeft(true) + TitleIconWidth() + 4 + m->SkinData->BILeft + margins.Left + (captionSection ? 2 : 0);
    int right = image.Width() - ButtonsWidth() - 12 - margins.Right;
    if (FTitleBar) {
        // The room the title bar's items leave.
        left = FTitleBar->Area.Left + FTitleBar->Widths.Left + 8;
        right = FTitleBar->Area.Right - FTitleBar->Widths.Right - 8;
    }
    const int space = right - left;
    const bool showMain = FTitleBar ? FTitleBar->ShowCaption() : FAddedTitle->ShowMainCaption();
    const std::string text = showMain ? Form->Caption() : std::string();
    const std::string &added = FAddedTitle->Text();

    // The system's caption font, in the canvas font's character set.
    const vcl::TFontCharset charset = canvas.Font()->Charset();
    const vcl::TFontHandle captionFont = CreateCaptionFont();
    if (captionFont) canvas.Font()->SetHandle(captionFont.Get());
    canvas.Font()->SetCharset(charset);
    canvas.Brush()->SetStyle(vcl::bsClear);
    const HDC dc = canvas.Handle();
    const vcl::TSize mainSize = text.empty() ? vcl::TSize{} : DCTextExtent(dc, text);
    vcl::TSize addedSize{};
    if (!added.empty()) {
        vcl::TFont saved;
        saved.Assign(canvas.Font());
        canvas.SetFont(FAddedTitle->Font());
        addedSize = DCTextExtent(canvas.Handle(), added);
        canvas.SetFont(&saved);
    }
    const int textHeight = std::max(mainSize.cy, addedSize.cy);
    vcl::TRect r{left, ButtonCenterY - textHeight / 2, right, ButtonCenterY - textHeight / 2 + textHeight};
    const int wanted = mainSize.cx + addedSize.cx + 4;
    // Our forms have no reading order of their own: the window's style tells
    // whether the form reads right to left, which swaps the outer alignments.
    const bool rtl =
        Form->HandleAllocated() && (GetWindowLongPtrW(Form->WindowHandle(), GWL_EXSTYLE) & WS_EX_RTLREADING);
    vcl::TAlignment alignment = FCaptionAlignment;
    if (rtl && alignment != vcl::taCenter)
        alignment = alignment == vcl::taLeftJustify ? vcl::taRightJustify : vcl::taLeftJustify;
    if (alignment == vcl::taRightJustify) {
        if (wanted < space) r.Left = r.Right - wanted;
    } else if (alignment == vcl::taCenter) {
        r.Left = std::max(left, r.Left + (space - wanted) / 2);
        r.Right = std::min(r.Right, r.Left + mainSize.cx);
    }
    const UINT flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS | (rtl ? DT_RTLREADING : 0u);
    const int section = captionSection ? CaptionSkinIndex : TitleSkinIndex;
    const int state = m->IsValidSectionIndex(section) ? SectionState(*m, section, FormActive) : 0;
    int addedLeft = r.Left;
    if (showMain && !text.empty()) {
        vcl::TRect measured = r;
        DrawTextStr(canvas.Handle(), text, measured, flags | DT_CALCRECT);
        const vcl::TRect box{r.Left, r.Top, std::min(measured.Right, r.Right), r.Bottom};
        if (captionSection) {
            const vcl::TRect under{box.Left - 4, box.Top - 2, box.Right + 4, box.Bottom + 2};
            PaintSkinSection(CaptionSkinIndex, Render.Bg, state, under, vcl::TPoint{under.Left, under.Top}, image, m);
        }
        if (m->IsValidSectionIndex(section)) {
            const TsGenState &look = m->Sections[static_cast<std::size_t>(section)].Props[std::min(state, 2)];
            if (look.GSize > 0 && (m->SkinData->Version > 7.5 || !Wow64WithoutComposition())) {
                std::unique_ptr<vcl::TBitmap> &glow = CaptionGlows[FormActive ? 1 : 0];
                if (!glow) glow = std::make_unique<vcl::TBitmap>();
                WriteTextWithEffects(image, text, box, flags, 15, look.GSize, look.GCol, *glow);
            }
        }
        WriteSectionText(canvas, text, true, box, flags, section, state, m);
        addedLeft = box.Right + 4;
    }
    const int addedWidth = std::min(addedSize.cx + 4, right - addedLeft);
    if (!added.empty() && addedWidth > 8 && m->IsValidSectionIndex(TitleSkinIndex)) {
        canvas.SetFont(FAddedTitle->Font());
        vcl::TColor colour = FAddedTitle->Font()->Color();
        const TsGenState &look = m->Sections[static_cast<std::size_t>(section)].Props[std::min(state, 2)];
        if (colour == vcl::clNone || colour == vcl::clWindowText) colour = look.FontColor;
        if (!FormActive) colour = MixColors(vcl::ColorToRGB(colour), vcl::ColorToRGB(look.Color), 0.5);
        const HDC textDC = canvas.Handle();
        SetBkMode(textDC, TRANSPARENT);
        SetTextColor(textDC, static_cast<COLORREF>(vcl::ColorToRGB(colour) & 0xFFFFFF));
        vcl::TRect box{addedLeft, r.Top, addedLeft + addedWidth, r.Bottom};
        DrawTextStr(textDC, added, box, flags);
    }
}

} // namespace skin
