#include "Graphics.h"

#include <cwchar>

#include "WideText.h"

namespace vcl {

VCL_CLASS_INFO(TGraphicsObject)

// Height is what a font stores; its size in points follows from it.
VCL_PUBLISHED(TFont, p) {
    p.Property("Charset", &TFont::Charset, &TFont::SetCharset).Default(DEFAULT_CHARSET);
    p.Property("Color", &TFont::Color, &TFont::SetColor).Default(clWindowText).Idents(ColorIdents);
    p.Property("Height", &TFont::Height, &TFont::SetHeight);
    p.Property("Name", &TFont::Name, &TFont::SetName);
    p.Property("Pitch", &TFont::Pitch, &TFont::SetPitch).Default(fpDefault);
    p.Property("Style", &TFont::Style, &TFont::SetStyle).Default(TFontStyles{});
}

VCL_PUBLISHED(TBrush, p) {
    p.Property("Color", &TBrush::Color, &TBrush::SetColor).Default(clWhite).Idents(ColorIdents);
    p.Property("Style", &TBrush::Style, &TBrush::SetStyle).Default(bsSolid);
}

VCL_PUBLISHED(TPen, p) {
    p.Property("Color", &TPen::Color, &TPen::SetColor).Default(clBlack).Idents(ColorIdents);
    p.Property("Mode", &TPen::Mode, &TPen::SetMode).Default(pmCopy);
    p.Property("Style", &TPen::Style, &TPen::SetStyle).Default(psSolid);
    p.Property("Width", &TPen::Width, &TPen::SetWidth).Default(1);
}

COLORREF GdiColor(TColor Color) { return static_cast<COLORREF>(ColorToRGB(Color)) & 0x00FFFFFF; }

int ScreenPixelsPerInch() {
    static const int ppi = [] {
        TWindowDC screen;
        const int value = screen ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
        return value > 0 ? value : 96;
    }();
    return ppi;
}

void TGraphicsObject::Changed() {
    if (OnChange)
        OnChange(this);
}

// ---------------------------------------------------------------- TFont

TFont::TFont()
    : FName("Tahoma"), FHeight(-11), FColor(clWindowText), FCharset(DEFAULT_CHARSET), FPitch(fpDefault),
      FPixelsPerInch(ScreenPixelsPerInch()) {}

TFont::~TFont() = default;

void TFont::Assign(const TPersistent *Source) {
    const TFont *font = dynamic_cast<const TFont *>(Source);
    if (!font) {
        inherited::Assign(Source);
        return;
    }
    const int height = font->FPixelsPerInch == FPixelsPerInch || font->FPixelsPerInch <= 0
                           ? font->FHeight
                           : -MulDiv(font->Size(), FPixelsPerInch, 72);
    // Controls hand their font to a canvas at every paint: an equal font
    // keeps its object and announces nothing.
    const bool sameDescription = FName == font->FName && FHeight == height && FStyle == font->FStyle &&
                                 FCharset == font->FCharset && FPitch == font->FPitch;
    if (sameDescription && FColor == font->FColor)
        return;
    FName = font->FName;
    FHeight = height;
    FColor = font->FColor;
    FStyle = font->FStyle;
    FCharset = font->FCharset;
    FPitch = font->FPitch;
    if (sameDescription)
        Changed();
    else
        DescriptionChanged();
}

void TFont::SetName(const std::string &Value) {
    if (Value.empty() || Value == FName)
        return;
    FName = Value;
    DescriptionChanged();
}

void TFont::SetHeight(int Value) {
    if (Value == FHeight)
        return;
    FHeight = Value;
    DescriptionChanged();
}

int TFont::Size() const { return -MulDiv(FHeight, 72, FPixelsPerInch); }

void TFont::SetSize(int Value) { SetHeight(-MulDiv(Value, FPixelsPerInch, 72)); }

void TFont::SetColor(TColor Value) {
    if (Value == FColor)
        return;
    FColor = Value;
    Changed();  // the font object does not hold the colour
}

void TFont::SetStyle(TFontStyles Value) {
    if (Value == FStyle)
        return;
    FStyle = Value;
    DescriptionChanged();
}

void TFont::SetCharset(TFontCharset Value) {
    if (Value == FCharset)
        return;
    FCharset = Value;
    DescriptionChanged();
}

void TFont::SetPitch(TFontPitch Value) {
    if (Value == FPitch)
        return;
    FPitch = Value;
    DescriptionChanged();
}

void TFont::SetPixelsPerInch(int Value) {
    // Only the meaning of Size changes: Height stays what it is.
    if (Value > 0)
        FPixelsPerInch = Value;
}

LOGFONTW TFont::LogFont() const {
    LOGFONTW lf{};
    lf.lfHeight = FHeight;
    lf.lfWeight = FStyle.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = FStyle.Contains(fsItalic);
    lf.lfUnderline = FStyle.Contains(fsUnderline);
    lf.lfStrikeOut = FStyle.Contains(fsStrikeOut);
    lf.lfCharSet = FCharset;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = FPitch == fpFixed ? FIXED_PITCH : FPitch == fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH;
    const std::wstring face = Utf8ToWide(FName);
    wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    return lf;
}

void TFont::SetLogFont(const LOGFONTW &Value) {
    FName = WideToUtf8(std::wstring_view(Value.lfFaceName, wcsnlen(Value.lfFaceName, LF_FACESIZE)));
    FHeight = Value.lfHeight;
    FStyle = {};
    if (Value.lfWeight >= FW_BOLD)
        FStyle.Include(fsBold);
    if (Value.lfItalic)
        FStyle.Include(fsItalic);
    if (Value.lfUnderline)
        FStyle.Include(fsUnderline);
    if (Value.lfStrikeOut)
        FStyle.Include(fsStrikeOut);
    FCharset = Value.lfCharSet;
    const int pitch = Value.lfPitchAndFamily & 3;
    FPitch = pitch == FIXED_PITCH ? fpFixed : pitch == VARIABLE_PITCH ? fpVariable : fpDefault;
    DescriptionChanged();
}

HFONT TFont::Handle() const {
    if (!FHandle) {
        const LOGFONTW lf = LogFont();
        FHandle.Reset(CreateFontIndirectW(&lf));
    }
    return FHandle.Get();
}

void TFont::SetHandle(HFONT Value) {
    LOGFONTW lf{};
    if (Value && GetObjectW(Value, sizeof lf, &lf) == sizeof lf)
        SetLogFont(lf);
}

void TFont::DescriptionChanged() {
    // The old object lives until the listeners (a canvas that has it
    // selected) have let go of it: a selected object cannot be deleted.
    TFontHandle old = std::move(FHandle);
    Changed();
}

// ---------------------------------------------------------------- TBrush

TBrush::TBrush() = default;
TBrush::~TBrush() = default;

void TBrush::Assign(const TPersistent *Source) {
    const TBrush *brush = dynamic_cast<const TBrush *>(Source);
    if (!brush) {
        inherited::Assign(Source);
        return;
    }
    if (brush->FColor == FColor && brush->FStyle == FStyle)
        return;
    FColor = brush->FColor;
    FStyle = brush->FStyle;
    DescriptionChanged();
}

void TBrush::SetColor(TColor Value) {
    if (Value == FColor)
        return;
    FColor = Value;
    if (FStyle == bsClear)
        FStyle = bsSolid;
    DescriptionChanged();
}

void TBrush::SetStyle(TBrushStyle Value) {
    if (Value == FStyle)
        return;
    FStyle = Value;
    DescriptionChanged();
}

HBRUSH TBrush::Handle() const {
    if (FStyle == bsClear)
        return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    if (!FHandle) {
        static constexpr int hatches[] = {0, 0, HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS,
                                          HS_DIAGCROSS};
        FHandle.Reset(FStyle == bsSolid ? CreateSolidBrush(GdiColor(FColor))
                                        : CreateHatchBrush(hatches[FStyle], GdiColor(FColor)));
    }
    return FHandle.Get();
}

void TBrush::DescriptionChanged() {
    TBrushHandle old = std::move(FHandle);
    Changed();
}

// ---------------------------------------------------------------- TPen

TPen::TPen() = default;
TPen::~TPen() = default;

void TPen::Assign(const TPersistent *Source) {
    const TPen *pen = dynamic_cast<const TPen *>(Source);
    if (!pen) {
        inherited::Assign(Source);
        return;
    }
    if (pen->FColor == FColor && pen->FWidth == FWidth && pen->FStyle == FStyle && pen->FMode == FMode)
        return;
    FColor = pen->FColor;
    FWidth = pen->FWidth;
    FStyle = pen->FStyle;
    FMode = pen->FMode;
    DescriptionChanged();
}

void TPen::SetColor(TColor Value) {
    if (Value == FColor)
        return;
    FColor = Value;
    DescriptionChanged();
}

void TPen::SetWidth(int Value) {
    if (Value < 0 || Value == FWidth)
        return;
    FWidth = Value;
    DescriptionChanged();
}

void TPen::SetStyle(TPenStyle Value) {
    if (Value == FStyle)
        return;
    FStyle = Value;
    DescriptionChanged();
}

void TPen::SetMode(TPenMode Value) {
    if (Value == FMode)
        return;
    FMode = Value;
    Changed();
}

HPEN TPen::Handle() const {
    if (FStyle == psClear)
        return static_cast<HPEN>(GetStockObject(NULL_PEN));
    if (!FHandle) {
        static constexpr int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
        FHandle.Reset(CreatePen(styles[FStyle], FWidth, GdiColor(FColor)));
    }
    return FHandle.Get();
}

void TPen::DescriptionChanged() {
    TPenHandle old = std::move(FHandle);
    Changed();
}

int PenModeRop2(TPenMode Mode) {
    static constexpr int rops[] = {R2_BLACK,       R2_WHITE,       R2_NOP,        R2_NOT,
                                   R2_COPYPEN,     R2_NOTCOPYPEN,  R2_MERGEPENNOT, R2_MASKPENNOT,
                                   R2_MERGENOTPEN, R2_MASKNOTPEN,  R2_MERGEPEN,   R2_NOTMERGEPEN,
                                   R2_MASKPEN,     R2_NOTMASKPEN,  R2_XORPEN,     R2_NOTXORPEN};
    return rops[Mode];
}

} // namespace vcl
