#include "sSkinProvider.h"

#include "vcl/Forms.h"

namespace skin {

void TsSkinProvider::CollectFrameMasks() {
    // PENDING: sFormRegion
}

HRGN TsSkinProvider::BuildFrameRegion(int X, int Y) {
    // PENDING: sFormRegion
    (void)X, (void)Y;
    return nullptr;
}

void TsSkinProvider::UpdateFormRegion(bool Repaint, bool WithRedraw) {
    // PENDING: sFormRegion
    (void)Repaint, (void)WithRedraw;
}

void TsSkinProvider::PaintNonClient() {
    // PENDING: sFormRegion
}

void TsSkinProvider::PaintClientArea(vcl::TMessage &Message) {
    // PENDING: sFormRegion
    (void)Message;
}

void TsSkinProvider::RepaintFrameNow() {
    // PENDING: sFormRegion
}

void TsSkinProvider::ShowCaptionCover() {
    // PENDING: sFormRegion
}

void TsSkinProvider::HideCaptionCover() {
    if (!CaptionCover) return;
    CaptionCover->WindowProc = CoverSavedWndProc;
    CaptionCover.reset();
}

void TsSkinProvider::SetSysMenuStyle(bool Skinned) {
    // PENDING: sFormRegion
    (void)Skinned;
}

void TsSkinProvider::SetDrawNonClientArea(bool Value) {
    // PENDING: sFormRegion
    FDrawNonClientArea = Value;
}

} // namespace skin
