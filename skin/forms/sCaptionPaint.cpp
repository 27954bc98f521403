#include "sSkinProvider.h"

namespace skin {

void TsSkinProvider::PaintCaption(TvlFrameRender &Render) {
    // PENDING: sCaptionPaint
    (void)Render;
}

void TsSkinProvider::PaintFormIcon(TvlFrameRender &Render) {
    // PENDING: sCaptionPaint
    (void)Render;
}

void TsSkinProvider::PaintCaptionText(TvlFrameRender &Render) {
    // PENDING: sCaptionPaint
    (void)Render;
}

} // namespace skin
