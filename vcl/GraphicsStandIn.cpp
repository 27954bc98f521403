#include "GraphicsStandIn.h"

#include "WideText.h"

namespace vcl {

VCL_CLASS_INFO(TFont)
VCL_CLASS_INFO(TBrush)
VCL_CLASS_INFO(TCanvas)

std::uint32_t ColorToRGB(TColor Color) {
    if (Color < 0) return GetSysColor(Color & 0xFF);
    return static_cast<std::uint32_t>(Color) & 0xFFFFFF;
}

TFont::~TFont() { if (FHandle) DeleteObject(FHandle); }
void TFont::Changed() {
    if (FHandle) { DeleteObject(FHandle); FHandle = nullptr; }
    if (OnChange) OnChange(this);
}
HFONT TFont::Handle() const {
    if (!FHandle) {
        LOGFONTW lf{};
        lf.lfHeight = FHeight;
        lf.lfCharSet = DEFAULT_CHARSET;
        auto w = Utf8ToWide(FName);
        wcsncpy(lf.lfFaceName, w.c_str(), LF_FACESIZE - 1);
        FHandle = CreateFontIndirectW(&lf);
    }
    return FHandle;
}
void TFont::Assign(const TPersistent *Source) {
    if (auto *f = dynamic_cast<const TFont *>(Source)) {
        FName = f->FName; FHeight = f->FHeight; FColor = f->FColor; Changed();
        return;
    }
    TPersistent::Assign(Source);
}

TBrush::~TBrush() { if (FHandle) DeleteObject(FHandle); }
void TBrush::SetColor(TColor V) {
    FColor = V;
    if (FHandle) { DeleteObject(FHandle); FHandle = nullptr; }
}
HBRUSH TBrush::Handle() const {
    if (!FHandle) FHandle = CreateSolidBrush(ColorToRGB(FColor));
    return FHandle;
}

TCanvas::TCanvas() : FFont(std::make_unique<TFont>()), FBrush(std::make_unique<TBrush>()) {}
TCanvas::~TCanvas() = default;
HDC TCanvas::Handle() {
    if (!FHandle) CreateHandle();
    return FHandle;
}
void TCanvas::FillRect(const TRect &R) {
    RECT r{R.Left, R.Top, R.Right, R.Bottom};
    ::FillRect(Handle(), &r, FBrush->Handle());
}

} // namespace vcl
