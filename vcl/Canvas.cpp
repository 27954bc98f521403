#include "Canvas.h"

#include <algorithm>
#include <vector>

#include "AppContext.h"
#include "Graphic.h"
#include "WideText.h"

namespace vcl {

VCL_CLASS_INFO(TCanvas)

namespace {

RECT ToRECT(const TRect &r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }

// Canvases that hold a DC of their own, with the window it belongs to.
struct TCachedDC {
    TCanvas *Canvas;
    HWND Window;
};

// Made before the application object (Forms.cpp) and so destroyed after
// it and after every form: a canvas that still holds its DC when the forms
// go at the program's end takes itself off a list that still exists. A list
// made on first use would be made after the application registered the
// forms' end, and be gone before it.
std::vector<TCachedDC> CachedDCList __attribute__((init_priority(150)));

std::vector<TCachedDC> &CachedDCs() { return CachedDCList; }

bool IsCached(const TCanvas *Canvas) {
    const auto &list = CachedDCs();
    return std::any_of(list.begin(), list.end(), [&](const TCachedDC &c) { return c.Canvas == Canvas; });
}

} // namespace

void FreeCachedDCs() {
    // A copy: freeing takes canvases off the list.
    for (const TCachedDC &c : std::vector<TCachedDC>(CachedDCs()))
        if (IsCached(c.Canvas)) c.Canvas->FreeHandle();
}

void FreeWindowDCs(HWND Window) {
    for (const TCachedDC &c : std::vector<TCachedDC>(CachedDCs()))
        if (c.Window == Window && IsCached(c.Canvas)) c.Canvas->FreeOwnDC();
}

void TCanvas::CacheDC(HWND Window) {
    CheckUIThread("Making a DC for a canvas");
    UncacheDC();
    CachedDCs().push_back({this, Window});
    FCached = true;
}

void TCanvas::UncacheDC() {
    if (!FCached) return;
    auto &list = CachedDCs();
    list.erase(std::remove_if(list.begin(), list.end(), [&](const TCachedDC &c) { return c.Canvas == this; }), list.end());
    FCached = false;
}

TCanvas::TCanvas() : FFont(std::make_unique<TFont>()), FBrush(std::make_unique<TBrush>()), FPen(std::make_unique<TPen>()) {
    FFont->OnChange = TNotifyEvent::Bind<&TCanvas::FontChanged>(this);
    FBrush->OnChange = TNotifyEvent::Bind<&TCanvas::BrushChanged>(this);
    FPen->OnChange = TNotifyEvent::Bind<&TCanvas::PenChanged>(this);
}

TCanvas::~TCanvas() {
    // The tools' objects can only be deleted once they are out of the DC.
    SetHandle(nullptr);
    UncacheDC();
}

HDC TCanvas::Handle() {
    // The DC handed out draws with the canvas's font, brush and pen, as the
    // canvas's own members do; a tool already in it is not selected again.
    RequiredState({csHandleValid, csFontValid, csBrushValid, csPenValid});
    return FHandle;
}

void TCanvas::SetHandle(HDC Value) {
    if (Value == FHandle)
        return;
    if (FHandle)
        DeselectHandles();
    FHandle = Value;
    FState = Value ? TCanvasState{csHandleValid} : TCanvasState{};
}

void TCanvas::FreeHandle() {
    if (FLockCount == 0)
        SetHandle(nullptr);
}

void TCanvas::RequiredState(TCanvasState Required) {
    // A DC of our own that no longer fits is given back and made again.
    if (FState.Contains(csHandleValid) && !OwnDCCurrent())
        FreeOwnDC();
    const TCanvasState missing = Required - FState;
    if (missing.Empty())
        return;
    if (missing.Contains(csHandleValid)) {
        CreateHandle();
        if (!FHandle)
            throw EInvalidOperation("The canvas has no device context to draw on");
    }
    if (missing.Contains(csFontValid))
        SelectFont();
    if (missing.Contains(csBrushValid))
        SelectBrush();
    if (missing.Contains(csPenValid))
        SelectPen();
    FState = FState + missing;
}

void TCanvas::SelectFont() {
    HGDIOBJ previous = SelectObject(FHandle, FFont->Handle());
    if (!FOriginalFont)
        FOriginalFont = previous;
    SetTextColor(FHandle, GdiColor(FFont->Color()));
}

void TCanvas::SelectBrush() {
    HGDIOBJ previous = SelectObject(FHandle, FBrush->Handle());
    if (!FOriginalBrush)
        FOriginalBrush = previous;
    // Text backgrounds and the gaps of styled pens take the brush's colour.
    SetBkColor(FHandle, GdiColor(FBrush->Color()));
    SetBkMode(FHandle, FBrush->Style() == bsSolid ? OPAQUE : TRANSPARENT);
}

void TCanvas::SelectPen() {
    HGDIOBJ previous = SelectObject(FHandle, FPen->Handle());
    if (!FOriginalPen)
        FOriginalPen = previous;
    SetROP2(FHandle, PenModeRop2(FPen->Mode()));
}

void TCanvas::PutBack(HGDIOBJ &Original) {
    if (Original && FHandle)
        SelectObject(FHandle, Original);
    Original = nullptr;
}

void TCanvas::DeselectHandles() {
    PutBack(FOriginalFont);
    PutBack(FOriginalBrush);
    PutBack(FOriginalPen);
    FState = FState - TCanvasState{csFontValid, csBrushValid, csPenValid};
}

void TCanvas::Refresh() { DeselectHandles(); }

void TCanvas::ToolChanged(TCanvasStateItem Tool, HGDIOBJ &Original) {
    if (FState.Contains(Tool)) {
        PutBack(Original);
        FState.Exclude(Tool);
    }
}

void TCanvas::FontChanged(TObject *) { ToolChanged(csFontValid, FOriginalFont); }
void TCanvas::BrushChanged(TObject *) { ToolChanged(csBrushValid, FOriginalBrush); }
void TCanvas::PenChanged(TObject *) { ToolChanged(csPenValid, FOriginalPen); }

void TCanvas::Changing() {
    if (OnChanging)
        OnChanging(this);
}

void TCanvas::Changed() {
    if (OnChange)
        OnChange(this);
}

TPoint TCanvas::PenPos() {
    RequiredState({csHandleValid});
    POINT p{};
    GetCurrentPositionEx(FHandle, &p);
    return {p.x, p.y};
}

TRect TCanvas::ClipRect() {
    RequiredState({csHandleValid});
    RECT r{};
    GetClipBox(FHandle, &r);
    return {r.left, r.top, r.right, r.bottom};
}

TColor TCanvas::Pixels(int X, int Y) {
    RequiredState({csHandleValid});
    const COLORREF c = GetPixel(FHandle, X, Y);
    return c == CLR_INVALID ? -1 : static_cast<TColor>(c);
}

void TCanvas::SetPixels(int X, int Y, TColor Value) {
    Changing();
    RequiredState({csHandleValid, csPenValid});
    SetPixel(FHandle, X, Y, GdiColor(Value));
    Changed();
}

void TCanvas::FillRect(const TRect &Rect) {
    Changing();
    RequiredState({csHandleValid, csBrushValid});
    const RECT r = ToRECT(Rect);
    ::FillRect(FHandle, &r, FBrush->Handle());
    Changed();
}

void TCanvas::FrameRect(const TRect &Rect) {
    Changing();
    RequiredState({csHandleValid, csBrushValid});
    const RECT r = ToRECT(Rect);
    ::FrameRect(FHandle, &r, FBrush->Handle());
    Changed();
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
    Changing();
    RequiredState({csHandleValid, csBrushValid, csPenValid});
    ::Rectangle(FHandle, X1, Y1, X2, Y2);
    Changed();
}

void TCanvas::MoveTo(int X, int Y) {
    RequiredState({csHandleValid});
    MoveToEx(FHandle, X, Y, nullptr);
}

void TCanvas::LineTo(int X, int Y) {
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::LineTo(FHandle, X, Y);
    Changed();
}

void TCanvas::TextOut(int X, int Y, const std::string &Text) {
    Changing();
    RequiredState({csHandleValid, csFontValid, csBrushValid});
    const std::wstring text = Utf8ToWide(Text);
    ExtTextOutW(FHandle, X, Y, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    Changed();
}

void TCanvas::TextRect(const TRect &Rect, int X, int Y, const std::string &Text) {
    Changing();
    RequiredState({csHandleValid, csFontValid, csBrushValid});
    const std::wstring text = Utf8ToWide(Text);
    const RECT r = ToRECT(Rect);
    const UINT options = ETO_CLIPPED | (FBrush->Style() == bsClear ? 0 : ETO_OPAQUE);
    ExtTextOutW(FHandle, X, Y, options, &r, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    Changed();
}

TSize TCanvas::TextExtent(const std::string &Text) {
    RequiredState({csHandleValid, csFontValid});
    const std::wstring text = Utf8ToWide(Text);
    SIZE size{};
    GetTextExtentPoint32W(FHandle, text.c_str(), static_cast<int>(text.size()), &size);
    return {size.cx, size.cy};
}

void TCanvas::Draw(int X, int Y, TGraphic *Graphic) {
    if (Graphic && !Graphic->Empty())
        StretchDraw(Bounds(X, Y, Graphic->Width(), Graphic->Height()), Graphic);
}

void TCanvas::StretchDraw(const TRect &Rect, TGraphic *Graphic) {
    if (!Graphic || Graphic->Empty())
        return;
    Changing();
    RequiredState({csHandleValid});
    Graphic->Draw(*this, Rect);
    Changed();
}

void TCanvas::CopyRect(const TRect &Dest, TCanvas *Canvas, const TRect &Source) {
    Changing();
    RequiredState({csHandleValid, csFontValid, csBrushValid});
    HDC source = Canvas->Handle();
    // Stretching between sizes replicates pixels: exact, and the same on every system.
    const int oldMode = SetStretchBltMode(FHandle, COLORONCOLOR);
    StretchBlt(FHandle, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), source, Source.Left, Source.Top,
               Source.Width(), Source.Height(), FCopyMode);
    SetStretchBltMode(FHandle, oldMode);
    Changed();
}

} // namespace vcl
