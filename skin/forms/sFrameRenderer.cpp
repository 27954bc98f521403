#include "sSkinProvider.h"

#include "vcl/Bitmap.h"

namespace skin {

bool TsSkinProvider::RenderFrame() {
    // PENDING: sFrameRenderer
    return false;
}

void TsSkinProvider::PaintSizeGrip(HDC DC) {
    // PENDING: sFrameRenderer
    (void)DC;
}

std::unique_ptr<vcl::TBitmap> TsSkinProvider::GetFormImage() {
    // PENDING: sFrameRenderer
    return nullptr;
}

} // namespace skin
