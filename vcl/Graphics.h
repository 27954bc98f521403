#pragma once
// Colours on the screen and the drawing tools of a canvas: fonts, brushes and
// pens. Each tool describes itself by value and makes its GDI object on the
// first use of Handle, again after every change; it tells its owner about a
// change through OnChange, so a canvas can put the tool back into its DC.
// The tools publish their description (Font.Name, Brush.Color...), so form
// descriptions and code that works by property name reach them. Windows only.
#include <cstdint>
#include <string>

#include "GdiObjects.h"
#include "Persistent.h"
#include "TypInfo.h"
#include "Types.h"

namespace vcl {

// What GDI is given for a colour: the low three bytes of ColorToRGB (Types.h).
COLORREF GdiColor(TColor Color);

// Logical pixels per inch of the screen, read once.
int ScreenPixelsPerInch();

class TGraphicsObject : public TPersistent {
    VCL_CLASS(TGraphicsObject, TPersistent)
public:
    TNotifyEvent OnChange;

protected:
    virtual void Changed();
};

VCL_ENUM(TFontStyle, fsBold, fsItalic, fsUnderline, fsStrikeOut)
using TFontStyles = TSet<TFontStyle>;
VCL_ENUM(TFontPitch, fpDefault, fpVariable, fpFixed)
using TFontCharset = std::uint8_t;

class TFont : public TGraphicsObject {
    VCL_CLASS(TFont, TGraphicsObject)
public:
    TFont();
    ~TFont() override;

    // Copies a font's description. Between fonts of different PixelsPerInch
    // the point size is kept, not the pixel height.
    void Assign(const TPersistent *Source) override;

    const std::string &Name() const { return FName; }
    void SetName(const std::string &Value);
    // Negative: the character height in pixels; positive: the cell height.
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    // Points at PixelsPerInch (rounded); setting it sets Height.
    int Size() const;
    void SetSize(int Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles Value);
    TFontCharset Charset() const { return FCharset; }
    void SetCharset(TFontCharset Value);
    TFontPitch Pitch() const { return FPitch; }
    void SetPitch(TFontPitch Value);
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int Value);

    // The font object, made on first use and again after each change; owned
    // by this font. The colour is not part of it.
    HFONT Handle() const;
    // Takes over the description of another font object; the caller keeps
    // that object.
    void SetHandle(HFONT Value);
    LOGFONTW LogFont() const;
    void SetLogFont(const LOGFONTW &Value);

private:
    void DescriptionChanged();

    std::string FName;
    int FHeight;
    TColor FColor;
    TFontStyles FStyle;
    TFontCharset FCharset;
    TFontPitch FPitch;
    int FPixelsPerInch;
    mutable TFontHandle FHandle;
};

VCL_ENUM(TBrushStyle, bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross)

class TBrush : public TGraphicsObject {
    VCL_CLASS(TBrush, TGraphicsObject)
public:
    TBrush();
    ~TBrush() override;
    void Assign(const TPersistent *Source) override;

    TColor Color() const { return FColor; }
    // A colour given to a clear brush makes it solid: a fill in that colour
    // is what is asked for.
    void SetColor(TColor Value);
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle Value);

    // bsClear gives the stock hollow brush; every other style a brush of
    // our own, made on first use and again after each change.
    HBRUSH Handle() const;

private:
    void DescriptionChanged();

    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
    mutable TBrushHandle FHandle;
};

VCL_ENUM(TPenStyle, psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame)
// How the pen's colour mixes with what is there (the binary raster operations).
VCL_ENUM(TPenMode, pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, pmMergeNotPen,
         pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor)

class TPen : public TGraphicsObject {
    VCL_CLASS(TPen, TGraphicsObject)
public:
    TPen();
    ~TPen() override;
    void Assign(const TPersistent *Source) override;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle Value);
    // Applied by the canvas (SetROP2); not part of the pen object.
    TPenMode Mode() const { return FMode; }
    void SetMode(TPenMode Value);

    // psClear gives the stock null pen; the others a pen of our own.
    HPEN Handle() const;

private:
    void DescriptionChanged();

    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = psSolid;
    TPenMode FMode = pmCopy;
    mutable TPenHandle FHandle;
};

// The binary raster operation (R2_...) of a pen mode.
int PenModeRop2(TPenMode Mode);

} // namespace vcl
