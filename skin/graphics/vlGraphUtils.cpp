#include "vlGraphUtils.h"

#include <algorithm>
#include <utility>

#include "vcl/ControlCanvas.h"
#include "vcl/GdiObjects.h"
#include "vcl/Graphics.h"
#include "sSkinTables.h"
#include "vlAlphaBlending.h"
#include "vlBitmapHelpers.h"
#include "vlImageHelpers.h"

namespace skin {

namespace {

// The one-byte-per-pixel view of an 8-bit bitmap, as CopyBitmapChannel takes it.
vcl::TBitmapView ByteView(vcl::TBitmap &Bmp8) {
    if (Bmp8.PixelFormat() != vcl::pf8bit) return {};
    const vcl::TDibLayout layout = Bmp8.Layout();
    return {layout.First, layout.Stride, layout.Width, layout.Height};
}

template <class F> F BoundProc(const wchar_t *Module, const char *Name) {
    // gdi32 and user32 are in every GUI process: looking them up is enough.
    const HMODULE module = GetModuleHandleW(Module);
    return module ? reinterpret_cast<F>(reinterpret_cast<void *>(GetProcAddress(module, Name))) : nullptr;
}

struct TLayoutFunctions {
    DWORD(WINAPI *SetLayout)(HDC, DWORD);
    DWORD(WINAPI *GetLayout)(HDC);
};

const TLayoutFunctions &LayoutFunctions() {
    static const TLayoutFunctions functions{
        BoundProc<DWORD(WINAPI *)(HDC, DWORD)>(L"gdi32.dll", "SetLayout"),
        BoundProc<DWORD(WINAPI *)(HDC)>(L"gdi32.dll", "GetLayout")};
    return functions;
}

// Stretches the whole of Src over the whole of Dst by pixel replication.
void StretchWhole(vcl::TBitmap &Dst, vcl::TBitmap &Src) {
    HDC dc = Dst.Canvas()->Handle();
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, 0, 0, Dst.Width(), Dst.Height(), Src.Canvas()->Handle(), 0, 0, Src.Width(), Src.Height(), SRCCOPY);
}

void MakeBytePlane(vcl::TBitmap &Plane, int Width, int Height) {
    Plane.SetPixelFormat(vcl::pf8bit);
    Plane.SetSize(Width, Height);
}

// A Width x Height copy of Bmp stretched by pixel replication: colours and
// alpha separately, since a stretch through GDI does not promise to carry
// the alpha byte.
std::unique_ptr<vcl::TBitmap> StretchWithAlpha(vcl::TBitmap &Bmp, int Width, int Height) {
    auto colours = NewBitmap32(Width, Height);
    StretchWhole(*colours, Bmp);
    vcl::TBitmap alpha, stretchedAlpha;
    MakeBytePlane(alpha, Bmp.Width(), Bmp.Height());
    MakeBytePlane(stretchedAlpha, Width, Height);
    CopyBitmapChannel(Bmp, alpha, 3, true);
    StretchWhole(stretchedAlpha, alpha);
    CopyBitmapChannel(*colours, stretchedAlpha, 3, false);
    return colours;
}

void SetPixelIfColour(HDC DC, int X, int Y, vcl::TColor Color) {
    if (Color != vcl::clNone) SetPixelV(DC, X, Y, vcl::GdiColor(Color));
}

} // namespace

// New bitmaps

std::unique_ptr<vcl::TBitmap> NewBitmapLike(const vcl::TBitmap &Bitmap) {
    auto bitmap = std::make_unique<vcl::TBitmap>();
    bitmap->SetPixelFormat(Bitmap.PixelFormat());
    bitmap->SetSize(Bitmap.Width(), Bitmap.Height());
    return bitmap;
}

std::unique_ptr<vcl::TBitmap> NewBitmap32(int Width, int Height) {
    auto bitmap = std::make_unique<vcl::TBitmap>();
    bitmap->SetPixelFormat(vcl::pf32bit);
    bitmap->SetHandleType(vcl::bmDIB);
    bitmap->SetSize(std::max(Width, 0), std::max(Height, 0));
    return bitmap;
}

std::unique_ptr<vcl::TBitmap> NewBitmap32FromRect(const vcl::TRect &R) { return NewBitmap32(R.Width(), R.Height()); }
std::unique_ptr<vcl::TBitmap> NewBitmap32FromSize(const vcl::TSize &Size) { return NewBitmap32(Size.cx, Size.cy); }
std::unique_ptr<vcl::TBitmap> NewBitmap32FromBitmap(const vcl::TBitmap &Bitmap) {
    return NewBitmap32(Bitmap.Width(), Bitmap.Height());
}

// Copies

void DuplicateBitmapInto(vcl::TBitmap &Dst, vcl::TBitmap &Src) {
    Dst.SetPixelFormat(Src.PixelFormat());
    Dst.SetHandleType(vcl::bmDIB);
    Dst.SetSize(Src.Width(), Src.Height());
    if (Src.Empty()) return;
    BitBlt(Dst.Canvas()->Handle(), 0, 0, Src.Width(), Src.Height(), Src.Canvas()->Handle(), 0, 0, SRCCOPY);
}

void SetPixelFormat32(vcl::TBitmap &Bmp) { Bmp.SetPixelFormat(vcl::pf32bit); }

void CopyBitmapChannel(vcl::TBitmap &Bmp32, vcl::TBitmap &Bmp8, int Channel, bool ToBmp8) {
    CopyBitmapChannel(Bmp32.View(), ByteView(Bmp8), Channel, ToBmp8);
}

void DrawBitmapAlpha(vcl::TCanvas &Canvas, vcl::TBitmap &Bmp, const vcl::TRect &R, bool WithReflection) {
    if (Bmp.PixelFormat() != vcl::pf32bit) {
        Bmp.Draw(Canvas, R);
        return;
    }
    const int w = R.Width();
    const int h = R.Height();
    if (w < 1 || h < 1 || Bmp.Empty()) return;
    const int tempHeight = WithReflection ? h + h / 2 : h;
    auto temp = NewBitmap32(w, tempHeight);
    HDC dc = Canvas.Handle();
    BitBlt(temp->Canvas()->Handle(), 0, 0, w, tempHeight, dc, R.Left, R.Top, SRCCOPY);

    const vcl::TRect area{0, 0, w, h};
    if (Bmp.Width() == w && Bmp.Height() == h) {
        BlendBitmap32(area, area, temp->View(), Bmp.View(), TBgPixels{}, false, vcl::clNone, 0, WithReflection);
    } else {
        auto stretched = StretchWithAlpha(Bmp, w, h);
        BlendBitmap32(area, area, temp->View(), stretched->View(), TBgPixels{}, false, vcl::clNone, 0, false);
    }
    BitBlt(dc, R.Left, R.Top, w, tempHeight, temp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

// Fills and frames on device contexts

void FillRectSolid(HDC DC, const vcl::TRect &R, vcl::TColor Color) {
    const vcl::TBrushHandle brush(CreateSolidBrush(vcl::GdiColor(Color)));
    const RECT r{R.Left, R.Top, R.Right, R.Bottom};
    FillRect(DC, &r, brush.Get());
}

void FillFrame(HDC DC, const vcl::TRect &R, int Left, int Top, int Right, int Bottom, vcl::TColor Color) {
    const vcl::TBrushHandle brush(CreateSolidBrush(vcl::GdiColor(Color)));
    for (const vcl::TRect &band : FrameBandRects(R, Left, Top, Right, Bottom)) {
        if (band.IsEmpty()) continue;
        const RECT r{band.Left, band.Top, band.Right, band.Bottom};
        FillRect(DC, &r, brush.Get());
    }
}

void CopyBorderStrips(HDC DstDC, int X, int Y, int Width, int Height, HDC SrcDC, int SrcX, int SrcY, int B) {
    BitBlt(DstDC, X, Y, B, Height, SrcDC, SrcX, SrcY, SRCCOPY);                                    // left
    BitBlt(DstDC, X + B, Y, Width - B, B, SrcDC, SrcX + B, SrcY, SRCCOPY);                         // top
    BitBlt(DstDC, X + Width - B, Y + B, B, Height - B, SrcDC, SrcX + Width - B, SrcY + B, SRCCOPY);  // right
    BitBlt(DstDC, X + B, Y + Height - B, Width - B, B, SrcDC, SrcX + B, SrcY + Height - B, SRCCOPY); // bottom
}

void ExcludeGraphicControlsFromClip(HDC DC, const vcl::TWinControl &Control, int X, int Y) {
    for (int i = 0; i < Control.ControlCount(); ++i) {
        const vcl::TControl *child = Control.Controls(i);
        if (!child->InheritsFrom<vcl::TGraphicControl>() || !child->Visible()) continue;
        const vcl::TRect r = child->BoundsRect();
        ExcludeClipRect(DC, r.Left + X, r.Top + Y, r.Right + X, r.Bottom + Y);
    }
}

std::string ShortenTextToWidth(vcl::TCanvas &Canvas, const std::string &Text, int MaxWidth) {
    return ShortenTextToWidth([&Canvas](std::string_view t) { return Canvas.TextWidth(std::string(t)); }, Text,
                              MaxWidth);
}

void DrawDottedFrame(HDC DC, vcl::TRect &R, vcl::TColor TopLeft, vcl::TColor BottomRight, int &Width) {
    if (Width <= 0) return;
    const vcl::TPenHandle topLeft(CreatePen(PS_SOLID, 1, vcl::GdiColor(TopLeft)));
    const vcl::TPenHandle bottomRight(CreatePen(PS_SOLID, 1, vcl::GdiColor(BottomRight)));
    const vcl::TSelectObject noBrush(DC, GetStockObject(NULL_BRUSH));
    const vcl::TSelectObject pen(DC, topLeft.Get());
    // Lines end before their last point, so the edges are drawn on the
    // rect's last column and row, which Right and Bottom name meanwhile.
    --R.Right;
    --R.Bottom;
    for (; Width > 0; --Width) {
        SelectObject(DC, topLeft.Get());
        MoveToEx(DC, R.Left, R.Bottom, nullptr);
        LineTo(DC, R.Left, R.Top);
        LineTo(DC, R.Right, R.Top);
        SelectObject(DC, bottomRight.Get());
        LineTo(DC, R.Right, R.Bottom);
        LineTo(DC, R.Left - 1, R.Bottom);
        R = {R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1};
    }
    ++R.Right;
    ++R.Bottom;
}

void DrawCheckeredFrame(vcl::TCanvas &Canvas, const vcl::TRect &R, vcl::TColor Color1, vcl::TColor Color2) {
    if (R.IsEmpty()) return;
    HDC dc = Canvas.Handle();
    const int w = R.Width();
    const int h = R.Height();
    for (int k = w / 2; k >= 1; --k)
        for (int y : {R.Top, R.Bottom - 1}) {
            SetPixelIfColour(dc, R.Left + 2 * k - 1, y, Color1);
            if (2 * k < w) SetPixelIfColour(dc, R.Left + 2 * k, y, Color2);
        }
    for (int k = h / 2; k >= 1; --k)
        for (int x : {R.Left, R.Right - 1}) {
            SetPixelIfColour(dc, x, R.Top + 2 * k - 1, Color1);
            if (2 * k < h) SetPixelIfColour(dc, x, R.Top + 2 * k, Color2);
        }
}

void PaintTexture(vcl::TCanvas &Canvas, vcl::TRect &R, const TsMaskData &Texture, int Mode) {
    vcl::TBitmap *image = Texture.Bmp ? Texture.Bmp.get()
                          : Texture.Manager ? Texture.Manager->MasterBitmap.get()
                                            : nullptr;
    if (!image || image->Empty()) return;
    const vcl::TRect tex = Texture.R;
    const vcl::TRect area = R;
    HDC dc = Canvas.Handle();
    // Only tiles that the DC can show are listed.
    RECT box{};
    const vcl::TRect visible =
        GetClipBox(dc, &box) != ERROR ? vcl::TRect{box.left, box.top, box.right, box.bottom} : area;
    const std::vector<vcl::TRect> blocks = CalcTextureBlocks(R, tex.Width(), tex.Height(), Mode, visible);
    if (blocks.empty()) return;

    HDC source = image->Canvas()->Handle();
    const vcl::TSavedDC saved(dc);
    // Whole tiles and whole stretched bands, cut to the rect by the clip:
    // nothing outside the texture's rect is read, nothing outside R written.
    IntersectClipRect(dc, area.Left, area.Top, area.Right, area.Bottom);
    SetStretchBltMode(dc, COLORONCOLOR);
    for (const vcl::TRect &b : blocks) {
        if (b.Width() == tex.Width() && b.Height() == tex.Height())
            BitBlt(dc, b.Left, b.Top, b.Width(), b.Height(), source, tex.Left, tex.Top, SRCCOPY);
        else
            StretchBlt(dc, b.Left, b.Top, b.Width(), b.Height(), source, tex.Left, tex.Top, tex.Width(), tex.Height(),
                       SRCCOPY);
    }
}

// Functions bound by name

void SetLayoutIfAvailable(HDC DC, DWORD Layout) {
    if (LayoutFunctions().SetLayout) LayoutFunctions().SetLayout(DC, Layout);
}

DWORD GetLayoutIfAvailable(HDC DC) { return LayoutFunctions().GetLayout ? LayoutFunctions().GetLayout(DC) : 0; }

const TLayeredWindowFunctions &BoundLayeredWindowFunctions() {
    static const TLayeredWindowFunctions functions{
        BoundProc<decltype(TLayeredWindowFunctions::UpdateLayeredWindow)>(L"user32.dll", "UpdateLayeredWindow"),
        BoundProc<decltype(TLayeredWindowFunctions::SetLayeredWindowAttributes)>(L"user32.dll",
                                                                                  "SetLayeredWindowAttributes")};
    return functions;
}

namespace {

// The calls in use; the bound ones until an override replaces them.
TLayeredWindowFunctions &LayeredCallsInUse() {
    static TLayeredWindowFunctions inUse = BoundLayeredWindowFunctions();
    return inUse;
}

} // namespace

const TLayeredWindowFunctions &LayeredWindowFunctions() { return LayeredCallsInUse(); }

TLayeredWindowFunctionsOverride::TLayeredWindowFunctionsOverride(const TLayeredWindowFunctions &Replacement)
    : FReplaced(std::exchange(LayeredCallsInUse(), Replacement)) {}

TLayeredWindowFunctionsOverride::~TLayeredWindowFunctionsOverride() { LayeredCallsInUse() = FReplaced; }

bool LayeredWindowsAvailable() { return LayeredWindowFunctions().UpdateLayeredWindow != nullptr; }

} // namespace skin
