#pragma once
// Buttons with a glyph: TBitBtn, a push button that carries a glyph strip
// beside its caption, and TSpeedButton, a button without a window that its
// parent paints (a tool-bar style button). Both read their glyph as a strip
// of NumGlyphs frames (normal, disabled, clicked, down).
#include <memory>

#include "Bitmap.h"
#include "ControlCanvas.h"
#include "StdCtrls.h"

namespace vcl {

// Where the glyph stands against the caption.
VCL_ENUM(TButtonLayout, blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom)
// A speed button's state: up, disabled, held down by the mouse, down for good.
VCL_ENUM(TButtonState, bsUp, bsDisabled, bsDown, bsExclusive)

// A push button with a glyph. Its window is the system's push button; the
// glyph is drawn by whoever paints the button as a bitmap button.
class TBitBtn : public TButton {
    VCL_CLASS(TBitBtn, TButton)
public:
    explicit TBitBtn(TComponent *AOwner);
    ~TBitBtn() override;

    TBitmap *Glyph() const { return FGlyph.get(); }
    void SetGlyph(const TBitmap *Value);
    // Frames in the strip, 1 to 4.
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int Value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    // Pixels between glyph and caption.
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    // Pixels from the edge to the glyph; -1 centres glyph and caption together.
    int Margin() const { return FMargin; }
    void SetMargin(int Value);

private:
    void GlyphChanged(TObject *Sender);

    std::unique_ptr<TBitmap> FGlyph;
    int FNumGlyphs = 1;
    TButtonLayout FLayout = blGlyphLeft;
    int FSpacing = 4;
    int FMargin = -1;
};

// A button without a window: painted by its parent, clicked on release over
// it. Down keeps it pressed (its state exclusive) until Down is cleared.
class TSpeedButton : public TGraphicControl {
    VCL_CLASS(TSpeedButton, TGraphicControl)
public:
    explicit TSpeedButton(TComponent *AOwner);
    ~TSpeedButton() override;

    TBitmap *Glyph() const { return FGlyph.get(); }
    void SetGlyph(const TBitmap *Value);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int Value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    // Up, disabled, held by the mouse, or down.
    TButtonState State() const;

protected:
    // The system's push-button face, the glyph and the caption.
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Dispatch(TMessage &Message) override;

private:
    void GlyphChanged(TObject *Sender);

    std::unique_ptr<TBitmap> FGlyph;
    int FNumGlyphs = 1;
    TButtonLayout FLayout = blGlyphLeft;
    int FSpacing = 4;
    int FMargin = -1;
    bool FDown = false;
    bool FPressing = false;
};

} // namespace vcl
