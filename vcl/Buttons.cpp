#include "Buttons.h"

#include <algorithm>

#include "Canvas.h"
#include "WideText.h"

namespace vcl {

VCL_PUBLISHED(TBitBtn, p) {
    p.Property("Glyph", &TBitBtn::Glyph, &TBitBtn::SetGlyph);
    p.Property("NumGlyphs", &TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs).Default(1);
    p.Property("Layout", &TBitBtn::Layout, &TBitBtn::SetLayout).Default(blGlyphLeft);
    p.Property("Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing).Default(4);
    p.Property("Margin", &TBitBtn::Margin, &TBitBtn::SetMargin).Default(-1);
}

VCL_PUBLISHED(TSpeedButton, p) {
    p.Property("Caption", &TSpeedButton::Caption, &TSpeedButton::SetCaption);
    p.Property("Glyph", &TSpeedButton::Glyph, &TSpeedButton::SetGlyph);
    p.Property("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs).Default(1);
    p.Property("Layout", &TSpeedButton::Layout, &TSpeedButton::SetLayout).Default(blGlyphLeft);
    p.Property("Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing).Default(4);
    p.Property("Margin", &TSpeedButton::Margin, &TSpeedButton::SetMargin).Default(-1);
    p.Property("Down", &TSpeedButton::Down, &TSpeedButton::SetDown).Default(false);
}

namespace {
const bool ButtonsRegistered =
    (RegisterClasses({&TBitBtn::StaticClassInfo(), &TSpeedButton::StaticClassInfo()}), true);

int ClampGlyphs(int Value) { return std::clamp(Value, 1, 4); }
} // namespace

// ------------------------------------------------------------------ TBitBtn

TBitBtn::TBitBtn(TComponent *AOwner) : TButton(AOwner), FGlyph(std::make_unique<TBitmap>()) {
    FGlyph->OnChange = TNotifyEvent::Bind<&TBitBtn::GlyphChanged>(this);
}

TBitBtn::~TBitBtn() { FGlyph->OnChange = {}; }

void TBitBtn::SetGlyph(const TBitmap *Value) { FGlyph->Assign(Value); }

void TBitBtn::GlyphChanged(TObject *) { Invalidate(); }

void TBitBtn::SetNumGlyphs(int Value) {
    FNumGlyphs = ClampGlyphs(Value);
    Invalidate();
}

void TBitBtn::SetLayout(TButtonLayout Value) {
    FLayout = Value;
    Invalidate();
}

void TBitBtn::SetSpacing(int Value) {
    FSpacing = Value;
    Invalidate();
}

void TBitBtn::SetMargin(int Value) {
    FMargin = std::max(Value, -1);
    Invalidate();
}

// ------------------------------------------------------------- TSpeedButton

TSpeedButton::TSpeedButton(TComponent *AOwner) : TGraphicControl(AOwner), FGlyph(std::make_unique<TBitmap>()) {
    FGlyph->OnChange = TNotifyEvent::Bind<&TSpeedButton::GlyphChanged>(this);
    SetBounds(0, 0, 23, 22);
}

TSpeedButton::~TSpeedButton() { FGlyph->OnChange = {}; }

void TSpeedButton::SetGlyph(const TBitmap *Value) { FGlyph->Assign(Value); }

void TSpeedButton::GlyphChanged(TObject *) { Invalidate(); }

void TSpeedButton::SetNumGlyphs(int Value) {
    FNumGlyphs = ClampGlyphs(Value);
    Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout Value) {
    FLayout = Value;
    Invalidate();
}

void TSpeedButton::SetSpacing(int Value) {
    FSpacing = Value;
    Invalidate();
}

void TSpeedButton::SetMargin(int Value) {
    FMargin = std::max(Value, -1);
    Invalidate();
}

void TSpeedButton::SetDown(bool Value) {
    if (FDown == Value) return;
    FDown = Value;
    Invalidate();
}

TButtonState TSpeedButton::State() const {
    if (!Enabled()) return bsDisabled;
    if (FDown) return bsExclusive;
    return FPressing ? bsDown : bsUp;
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && Enabled()) {
        FPressing = true;
        Invalidate();
    }
    inherited::MouseDown(Button, Shift, X, Y);
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && FPressing) {
        FPressing = false;
        Invalidate();
    }
    inherited::MouseUp(Button, Shift, X, Y);
}

void TSpeedButton::Dispatch(TMessage &Message) {
    // Its look follows the enabled state and the caption.
    if (Message.Msg == CM_TEXTCHANGED) Invalidate();
    inherited::Dispatch(Message);
}

void TSpeedButton::Paint() {
    TCanvas &canvas = *Canvas();
    const HDC dc = canvas.Handle();
    RECT r{0, 0, Width(), Height()};
    const TButtonState state = State();
    const bool down = state == bsDown || state == bsExclusive;
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (down ? DFCS_PUSHED : 0));
    const int shift = down ? 1 : 0;
    int textLeft = 0;
    if (!FGlyph->Empty()) {
        // The frame of the state (normal, disabled), its bottom-left pixel
        // the transparent colour.
        const int gw = FGlyph->Width() / FNumGlyphs, gh = FGlyph->Height();
        const int frame = state == bsDisabled && FNumGlyphs > 1 ? 1 : 0;
        const int x = FMargin >= 0 ? FMargin : 4, y = (Height() - gh) / 2;
        TCanvas &glyph = *FGlyph->Canvas();
        const COLORREF key = GetPixel(glyph.Handle(), 0, gh - 1);
        TransparentBlt(dc, x + shift, y + shift, gw, gh, glyph.Handle(), frame * gw, 0, gw, gh, key);
        textLeft = x + gw + FSpacing;
    }
    if (Caption().empty()) return;
    canvas.Font()->Assign(Font());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(state == bsDisabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    canvas.RequiredState({csHandleValid, csFontValid});
    RECT text{textLeft + shift, shift, Width() + shift, Height() + shift};
    const std::wstring caption = Utf8ToWide(Caption());
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
              DT_SINGLELINE | DT_VCENTER | (textLeft ? DT_LEFT : DT_CENTER));
}

} // namespace vcl
