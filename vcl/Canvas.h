#pragma once
// TCanvas: drawing on a device context with a font, a brush and a pen.
//
// The canvas selects its tools into the DC lazily: each drawing member states
// what it needs (RequiredState) and only what is not yet valid is selected.
// A change of a tool takes it out of the DC at once (so the old GDI object
// can be deleted) and it is selected again at its next use. Whatever the DC
// held before is put back when the canvas lets go of the DC (SetHandle with
// another DC or none, Refresh, destruction).
//
// A plain TCanvas draws on a DC it is given and never frees it. Derived
// canvases (a bitmap's, a control's) make their own DC in CreateHandle when
// Handle is first asked for and free it in FreeHandle. They do not keep it
// for their whole life: while they hold one they are listed, and the DCs of
// the canvases on that list are given back when the application goes idle
// (FreeCachedDCs; a locked canvas keeps its DC) and when the window they
// draw on goes (FreeWindowDCs). A form with hundreds of controls thus holds
// no more DCs between two idle times than it used. Windows only.
#include <cstdint>
#include <memory>
#include <string>

#include "Graphics.h"
#include "Persistent.h"
#include "Types.h"

namespace vcl {

class TGraphic;

// Raster operations of CopyRect.
using TCopyMode = std::uint32_t;
inline constexpr TCopyMode cmBlackness = BLACKNESS;
inline constexpr TCopyMode cmDstInvert = DSTINVERT;
inline constexpr TCopyMode cmMergeCopy = MERGECOPY;
inline constexpr TCopyMode cmMergePaint = MERGEPAINT;
inline constexpr TCopyMode cmNotSrcCopy = NOTSRCCOPY;
inline constexpr TCopyMode cmNotSrcErase = NOTSRCERASE;
inline constexpr TCopyMode cmPatCopy = PATCOPY;
inline constexpr TCopyMode cmPatInvert = PATINVERT;
inline constexpr TCopyMode cmPatPaint = PATPAINT;
inline constexpr TCopyMode cmSrcAnd = SRCAND;
inline constexpr TCopyMode cmSrcCopy = SRCCOPY;
inline constexpr TCopyMode cmSrcErase = SRCERASE;
inline constexpr TCopyMode cmSrcInvert = SRCINVERT;
inline constexpr TCopyMode cmSrcPaint = SRCPAINT;
inline constexpr TCopyMode cmWhiteness = WHITENESS;

// What a drawing member needs valid in the DC.
enum TCanvasStateItem { csHandleValid, csFontValid, csPenValid, csBrushValid };
using TCanvasState = TSet<TCanvasStateItem>;

class TCanvas : public TPersistent {
    VCL_CLASS(TCanvas, TPersistent)
public:
    TCanvas();
    ~TCanvas() override;

    // The DC, with the font, brush and pen selected into it; a derived
    // canvas makes it on demand. Raises EInvalidOperation when there is
    // none to draw on.
    HDC Handle();
    // Draws on another DC from now on (not owned); none detaches the canvas.
    void SetHandle(HDC Value);
    bool HandleAllocated() const { return FHandle != nullptr; }
    // Lets go of the DC: a plain canvas detaches, a derived one frees the DC
    // it made. Nothing happens while the canvas is locked.
    virtual void FreeHandle();

    // The tools, owned by the canvas. Set* copies the given tool's description.
    TFont *Font() const { return FFont.get(); }
    void SetFont(const TFont *Value) { FFont->Assign(Value); }
    TBrush *Brush() const { return FBrush.get(); }
    void SetBrush(const TBrush *Value) { FBrush->Assign(Value); }
    TPen *Pen() const { return FPen.get(); }
    void SetPen(const TPen *Value) { FPen->Assign(Value); }

    TPoint PenPos();
    void SetPenPos(TPoint Value) { MoveTo(Value.X, Value.Y); }
    TCopyMode CopyMode() const { return FCopyMode; }
    void SetCopyMode(TCopyMode Value) { FCopyMode = Value; }
    TRect ClipRect();
    // The colour of one pixel (-1 outside the DC's surface) and its setter.
    TColor Pixels(int X, int Y);
    void SetPixels(int X, int Y, TColor Value);

    // Nesting count that keeps the DC alive: a locked canvas ignores FreeHandle.
    void Lock() { ++FLockCount; }
    void Unlock() { if (FLockCount > 0) --FLockCount; }
    int LockCount() const { return FLockCount; }
    // Takes the tools out of the DC; they are selected again when next used.
    void Refresh();

    void FillRect(const TRect &Rect);
    void FrameRect(const TRect &Rect);
    void Rectangle(int X1, int Y1, int X2, int Y2);
    void Rectangle(const TRect &Rect) { Rectangle(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom); }
    void MoveTo(int X, int Y);
    void LineTo(int X, int Y);

    // Text in the font's colour; the background is filled with the brush's
    // colour unless the brush is clear.
    void TextOut(int X, int Y, const std::string &Text);
    // The same, clipped to Rect (which is filled first unless the brush is clear).
    void TextRect(const TRect &Rect, int X, int Y, const std::string &Text);
    TSize TextExtent(const std::string &Text);
    int TextWidth(const std::string &Text) { return TextExtent(Text).cx; }
    int TextHeight(const std::string &Text) { return TextExtent(Text).cy; }

    // A graphic at its own size, or stretched into Rect; nothing for none or
    // an empty one.
    void Draw(int X, int Y, TGraphic *Graphic);
    void StretchDraw(const TRect &Rect, TGraphic *Graphic);
    // Source of another canvas into Dest of this one, stretched, with CopyMode.
    void CopyRect(const TRect &Dest, TCanvas *Canvas, const TRect &Source);

    TNotifyEvent OnChanging;
    TNotifyEvent OnChange;

    // Selects what is missing of Required into the DC.
    void RequiredState(TCanvasState Required);

protected:
    // Derived canvases make their DC here and give it to SetHandle, and list
    // it with CacheDC (Window: the window it draws on; null for a memory DC).
    virtual void CreateHandle() {}
    // Gives back the DC that CreateHandle made, locked or not; UncacheDC.
    virtual void FreeOwnDC() {}
    // False when the DC that CreateHandle made no longer fits (its window
    // went, the control moved): the next drawing makes a new one.
    virtual bool OwnDCCurrent() const { return true; }
    void CacheDC(HWND Window);
    void UncacheDC();
    // The DC drawn on now, without making one.
    HDC CurrentHandle() const { return FHandle; }
    virtual void Changing();
    virtual void Changed();

private:
    friend void FreeWindowDCs(HWND Window);
    void SelectFont();
    void SelectBrush();
    void SelectPen();
    void PutBack(HGDIOBJ &Original);
    void DeselectHandles();
    // A changed tool leaves the DC at once, so that its old object can go.
    void ToolChanged(TCanvasStateItem Tool, HGDIOBJ &Original);
    void FontChanged(TObject *Sender);
    void BrushChanged(TObject *Sender);
    void PenChanged(TObject *Sender);

    HDC FHandle = nullptr;
    TCanvasState FState;
    // What the DC held before our tools went in; null while ours are not in.
    HGDIOBJ FOriginalFont = nullptr;
    HGDIOBJ FOriginalBrush = nullptr;
    HGDIOBJ FOriginalPen = nullptr;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TBrush> FBrush;
    std::unique_ptr<TPen> FPen;
    TCopyMode FCopyMode = cmSrcCopy;
    int FLockCount = 0;
    bool FCached = false;
};

// Gives back the DC of every listed canvas that is not locked: the
// application calls it when it goes idle.
void FreeCachedDCs();
// Gives back the DC of every listed canvas that draws on the window, locked
// or not: called while the window is destroyed.
void FreeWindowDCs(HWND Window);

} // namespace vcl
