// Text through the system's wide calls: measuring, section-coloured
// captions with contours, glows and the embossed disabled look.
#include <algorithm>

#include "sCommonDataView.h"
#include "sSkinTables.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/Controls.h"
#include "vcl/GdiObjects.h"
#include "vcl/WideText.h"
#include "vlAlphaText.h"
#include "vlGraphUtils.h"
#include "vlImageHelpers.h"
#include "vlPixelHelpers.h"
#include "vlSkinText.h"

namespace skin {

namespace {

COLORREF Gdi(vcl::TColor Colour) { return static_cast<COLORREF>(vcl::ColorToRGB(Colour) & 0xFFFFFF); }

vcl::TRect Shifted(const vcl::TRect &R, int Dx, int Dy) { return {R.Left + Dx, R.Top + Dy, R.Right + Dx, R.Bottom + Dy}; }

// The four contour copies of a state, as (colour, dx, dy), in drawing order.
struct TContour {
    vcl::TColor Colour;
    int Dx, Dy;
};
std::array<TContour, 4> Contours(const TsGenState &St) {
    return {{{St.TCLeft, -1, 0}, {St.TCTop, 0, -1}, {St.TCRight, 1, 0}, {St.TCBottom, 0, 1}}};
}

HDC PreparedDC(vcl::TCanvas &Canvas) {
    Canvas.RequiredState({vcl::csHandleValid, vcl::csFontValid});
    HDC dc = Canvas.Handle();
    SetBkMode(dc, TRANSPARENT);
    return dc;
}

void DrawIn(HDC DC, const std::string &Text, vcl::TRect R, UINT Flags, vcl::TColor Colour) {
    SetTextColor(DC, Gdi(Colour));
    DrawTextStr(DC, Text, R, Flags);
}

} // namespace

int DrawTextStr(HDC DC, const std::string &Text, vcl::TRect &R, UINT Flags) {
    const std::wstring text = vcl::Utf8ToWide(Text);
    RECT r{R.Left, R.Top, R.Right, R.Bottom};
    const int height = DrawTextW(DC, text.c_str(), static_cast<int>(text.size()), &r, Flags);
    if (Flags & DT_CALCRECT) R = {r.left, r.top, r.right, r.bottom};
    return height;
}

vcl::TSize DCTextExtent(HDC DC, const std::string &Text) {
    const std::wstring text = vcl::Utf8ToWide(Text);
    SIZE size{};
    if (!GetTextExtentPoint32W(DC, text.c_str(), static_cast<int>(text.size()), &size)) return {};
    return {size.cx, size.cy};
}

int CanvasTextWidth(vcl::TCanvas &Canvas, const std::string &Text) { return Canvas.TextWidth(Text); }
vcl::TSize CanvasTextExtent(vcl::TCanvas &Canvas, const std::string &Text) { return Canvas.TextExtent(Text); }
void CanvasTextRect(vcl::TCanvas &Canvas, const vcl::TRect &R, int X, int Y, const std::string &Text) {
    Canvas.TextRect(R, X, Y, Text);
}
void DrawTextOnCanvas(vcl::TCanvas &Canvas, const std::string &Text, vcl::TRect R, UINT Flags) {
    DrawTextStr(PreparedDC(Canvas), Text, R, Flags);
}

vcl::TSize GetTextSize(HFONT Font, const std::string &Text, UINT Flags, bool MultiLine, int MaxWidth) {
    const vcl::TWindowDC screen;
    if (!screen) return {};
    const vcl::TSelectObject font(screen.Get(), Font);
    if (MultiLine) {
        vcl::TRect r{0, 0, MaxWidth, 0};
        DrawTextStr(screen.Get(), Text, r, Flags | DT_CALCRECT);
        return {r.Width(), r.Height()};
    }
    return DCTextExtent(screen.Get(), Text);
}

void WriteSectionText(vcl::TCanvas &Canvas, const std::string &Text, bool Enabled, const vcl::TRect &R, UINT Flags,
                      int SectionIndex, int State, TsSkinTables *Manager) {
    TsSkinTables *manager = ManagerOrDefault(Manager);
    HDC dc = PreparedDC(Canvas);
    if (!manager || !manager->IsValidSectionIndex(SectionIndex)) {
        DrawIn(dc, Text, R, Flags, Canvas.Font()->Color());
        return;
    }
    const TsGeneralData &section = manager->Sections[SectionIndex];
    const TsGenState &st = section.Props[std::min(ClampStateIndex(State, section.States), 2)];
    if (!Enabled) {
        DrawIn(dc, Text, R, Flags, MixColors(vcl::ColorToRGB(st.FontColor), vcl::ColorToRGB(section.Props[0].Color),
                                             DisabledTextRatio));
        return;
    }
    for (const TContour &c : Contours(st))
        if (c.Colour != -1) DrawIn(dc, Text, Shifted(R, c.Dx, c.Dy), Flags, c.Colour);
    DrawIn(dc, Text, R, Flags, st.FontColor);
}

void WriteTextForControl(vcl::TCanvas &Canvas, const std::string &Text, bool Enabled, const vcl::TRect &R,
                         UINT Flags, const TsCommonDataView &CommonData, int State) {
    TsSkinTables *manager = CommonData.GetSkinManager();
    if (State != 0 && manager && CommonData.SkinIndex() >= 0 &&
        CommonData.SkinIndex() == manager->StdSectionIndexes[ssWebButton])
        Canvas.Font()->SetStyle(Canvas.Font()->Style() + vcl::TFontStyles{vcl::fsUnderline});
    Canvas.Brush()->SetStyle(vcl::bsClear);
    HDC dc = PreparedDC(Canvas);
    vcl::TSavedDC saved(dc);
    if (!CommonData.IsSkinned(false) || CommonData.CustomFont()) {
        if (Enabled) {
            DrawIn(dc, Text, R, Flags, Canvas.Font()->Color());
        } else {
            DrawIn(dc, Text, Shifted(R, 1, 1), Flags, vcl::clBtnHighlight);
            DrawIn(dc, Text, R, Flags, vcl::clBtnShadow);
        }
        return;
    }
    int x = CommonData.SkinIndex();
    vcl::TControl *owner = CommonData.OwnerControl();
    if (owner && owner->Parent() &&
        std::find(manager->StdSectionIndexes.begin(), manager->StdSectionIndexes.begin() + StdTransparentSectionCount,
                  x) != manager->StdSectionIndexes.begin() + StdTransparentSectionCount)
        x = CommonData.QuerySectionIndexAt(x);
    if (!manager->IsValidSectionIndex(x)) {
        DrawIn(dc, Text, R, Flags, Canvas.Font()->Color());
        return;
    }
    const TsGenState &st = manager->Sections[x].Props[std::clamp(State, 0, 2)];
    if (vcl::TBitmap *cache = CommonData.CacheBmp(); cache && st.GSize != 0) {
        IntersectClipRect(dc, R.Left, R.Top, R.Right, R.Bottom);
        vcl::TBitmap mask;
        WriteTextWithEffects(*cache, Text, R, Flags, 15, st.GSize, ApplyColorEffectsToColor(st.GCol, CommonData), mask);
        RestoreDC(dc, -1);
        SaveDC(dc);
    }
    if (!Enabled) {
        DrawIn(dc, Text, R, Flags, ApplyColorEffectsToColor(st.FontColor, CommonData));
        return;
    }
    for (const TContour &c : Contours(st))
        if (c.Colour != -1) DrawIn(dc, Text, Shifted(R, c.Dx, c.Dy), Flags, ApplyColorEffectsToColor(c.Colour, CommonData));
    DrawIn(dc, Text, R, Flags | DT_NOCLIP, ApplyColorEffectsToColor(st.FontColor, CommonData));
}

void WriteTextWithEffects(vcl::TBitmap &Bitmap, const std::string &Text, const vcl::TRect &R, UINT Flags,
                          int SideMask, int Radius, vcl::TColor Colour, vcl::TBitmap &GlowMask) {
    Radius = std::clamp(Radius, 0, MaxTextGlowRadius);
    const int border = Radius + 4;
    const vcl::TSize size = TextGlowImageSize(R, Radius);
    const int w = size.cx, h = size.cy;
    if (w < 1 || h < 1 || Text.empty()) return;
    if (GlowMask.PixelFormat() != vcl::pf8bit || GlowMask.Width() != w || GlowMask.Height() != h) {
        // The text in black on white, once per side asked and once in place.
        auto paper = NewBitmap32(w, h);
        vcl::TCanvas &canvas = *paper->Canvas();
        canvas.Brush()->SetColor(vcl::clWhite);
        canvas.FillRect({0, 0, w, h});
        canvas.SetFont(Bitmap.Canvas()->Font());
        HDC dc = PreparedDC(canvas);
        const vcl::TRect text{border, border, border + R.Width(), border + R.Height()};
        const TContour sides[] = {{1, -1, 0}, {2, 0, -1}, {4, 1, 0}, {8, 0, 1}};
        for (const TContour &side : sides)
            if (SideMask & side.Colour) DrawIn(dc, Text, Shifted(text, side.Dx, side.Dy), Flags, vcl::clBlack);
        DrawIn(dc, Text, text, Flags, vcl::clBlack);
        GdiFlush();
        GlowMask.SetPixelFormat(vcl::pf8bit);
        GlowMask.SetSize(w, h);
        CopyBitmapChannel(*paper, GlowMask, 0, true);
        const vcl::TDibLayout layout = GlowMask.Layout();
        BlurBitmap8({layout.First, layout.Stride, layout.Width, layout.Height}, Radius);
    }
    const vcl::TDibLayout layout = GlowMask.Layout();
    LayGlowMask(Bitmap.View(), {layout.First, layout.Stride, layout.Width, layout.Height}, R.Left - border,
                R.Top - border, vcl::ColorToRGB(Colour));
}

void DrawSkinText(vcl::TBitmap &Bitmap, const std::string &Text, bool Contour, const vcl::TRect &R, UINT Flags,
                  int SectionIndex, int State, TsSkinTables *Manager) {
    if (Text.empty() || R.IsEmpty()) return;
    TsSkinTables *manager = ManagerOrDefault(Manager);
    const int mode = Contour ? 1 : 0;
    if (!manager || !manager->IsValidSectionIndex(SectionIndex)) {
        DrawAlphaText(Bitmap, Text, mode, R, Flags, Bitmap.Canvas()->Font()->Color());
        return;
    }
    const TsGenState &st = manager->Sections[SectionIndex].Props[std::clamp(State, 0, 2)];
    if (Contour)
        for (const TContour &c : Contours(st))
            if (c.Colour != -1) DrawAlphaText(Bitmap, Text, 1, Shifted(R, c.Dx, c.Dy), Flags, c.Colour);
    DrawAlphaText(Bitmap, Text, mode, R, Flags, st.FontColor);
}

} // namespace skin
