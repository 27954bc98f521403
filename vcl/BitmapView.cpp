#include "BitmapView.h"

namespace vcl {

TPixels32::TPixels32(int width, int height, std::uint32_t fill) { SetSize(width, height, fill); }

void TPixels32::SetSize(int width, int height, std::uint32_t fill) {
    FWidth = width > 0 ? width : 0;
    FHeight = height > 0 ? height : 0;
    FData.assign(static_cast<std::size_t>(FWidth) * FHeight, fill);
}

TBitmapView TPixels32::View() {
    if (FHeight == 0) return TBitmapView{nullptr, 0, FWidth, 0};
    const std::ptrdiff_t rowBytes = static_cast<std::ptrdiff_t>(FWidth) * 4;
    auto *base = reinterpret_cast<std::uint8_t *>(FData.data());
    // Line 0 is the last row in memory; a one-row image has stride 0.
    return TBitmapView{base + (FHeight - 1) * rowBytes, FHeight > 1 ? -rowBytes : 0, FWidth, FHeight};
}

std::uint32_t TPixels32::At(int x, int y) const {
    return FData[static_cast<std::size_t>(FHeight - 1 - y) * FWidth + x];
}

} // namespace vcl
