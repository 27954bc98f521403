#include "vlGradientFill.h"

#include <windows.h>

#include <algorithm>

#include "PixelMath.h"
#include "vcl/Canvas.h"
#include "vlCommonUtils.h"
#include "vlPixelHelpers.h"

namespace skin {

namespace {

using TGradientFill = BOOL(WINAPI *)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

TGradientFill GradientFillProc() {
    static const TSystemLibrary msimg32(L"msimg32.dll");
    static const TGradientFill gradientFill =
        reinterpret_cast<TGradientFill>(reinterpret_cast<void *>(msimg32.Proc("GradientFill")));
    return gradientFill;
}

TRIVERTEX Vertex(const TGradientVertex &V) {
    const auto channel = [](int shift, vcl::TColor c) { return static_cast<COLOR16>(((c >> shift) & 0xFF) << 8); };
    return {V.X, V.Y, channel(0, V.Color), channel(8, V.Color), channel(16, V.Color), 0xFF00};
}

void PaintTriangles(vcl::TBitmap &Bitmap, const vcl::TRect &R, const TsGradArray &Stops) {
    const TGradientFill gradientFill = GradientFillProc();
    if (!gradientFill) return;
    const std::array<TGradientVertex, 5> corners = GradientMeshVertices(R, Stops);
    TRIVERTEX vertices[5];
    std::transform(corners.begin(), corners.end(), vertices, Vertex);
    GRADIENT_TRIANGLE triangles[4];
    for (std::size_t i = 0; i < 4; ++i) {
        const auto &t = GradientMeshTriangles[i];
        triangles[i] = {static_cast<ULONG>(t[0]), static_cast<ULONG>(t[1]), static_cast<ULONG>(t[2])};
    }
    gradientFill(Bitmap.Canvas()->Handle(), vertices, 5, triangles, 4, GRADIENT_FILL_TRIANGLE);
    // The system's fill writes the vertices' alpha on some systems and
    // leaves the byte alone on others: every painted pixel is opaque.
    SetRectAlpha(Bitmap.View(), R, 255);
}

} // namespace

bool GradientFillAvailable() { return GradientFillProc() != nullptr; }

void PaintGradient(vcl::TBitmap &Bitmap, const vcl::TRect &R, const TsGradArray &Stops, int Offset) {
    const vcl::TBitmapView view = Bitmap.View();
    if (R.IsEmpty() || Stops.empty() || !view.HasRows()) return;
    if (Stops[0].Mode != gmTriangles) {
        PaintGradient(view, R, Stops, Offset);
        return;
    }
    const vcl::TRect r = pixel::ClipToBitmap(R, view);
    if (!r.IsEmpty()) PaintTriangles(Bitmap, r, Stops);
}

} // namespace skin
