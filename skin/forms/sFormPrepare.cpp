#include "sSkinProvider.h"

#include "vcl/Forms.h"

namespace skin {

void TsSkinProvider::InitSkin() {
    // PENDING: sFormPrepare
}

void TsSkinProvider::PrepareForm() {
    // PENDING: sFormPrepare
}

void TsSkinProvider::UpdateHeaderIndexes() {
    // PENDING: sFormPrepare
}

void TsSkinProvider::UpdateIconMasks() {
    // PENDING: sFormPrepare
}

void TsSkinProvider::UpdateExtBorders(bool Allow) {
    // PENDING: sFormPrepare
    (void)Allow;
}

void TsSkinProvider::CreateControlAdapter() {
    // PENDING: sFormPrepare
}

void TsSkinProvider::UpdateDisabledVeil() {
    // PENDING: sFormPrepare
}

void TsSkinProvider::CoverWndProc(vcl::TMessage &Message) {
    // PENDING: sFormPrepare
    if (CoverSavedWndProc) CoverSavedWndProc(Message);
}

void TsSkinProvider::CoverPaint(vcl::TObject *Sender) {
    // PENDING: sFormPrepare
    (void)Sender;
}

void TsSkinProvider::BeginOutlineDrag(int HitCode, vcl::TPoint ScreenPoint) {
    // PENDING: sFormPrepare
    (void)HitCode, (void)ScreenPoint;
}

void TsSkinProvider::MoveOutlineDrag(vcl::TPoint ScreenPoint) {
    // PENDING: sFormPrepare
    (void)ScreenPoint;
}

void TsSkinProvider::EndOutlineDrag() {
    // PENDING: sFormPrepare
}

void TsSkinProvider::SaveButtonsArea(int Y, int CaptionWidth) {
    // PENDING: sFormPrepare
    (void)Y, (void)CaptionWidth;
}

void TsSkinProvider::RestoreButtonsArea(int CaptionWidth) {
    // PENDING: sFormPrepare
    (void)CaptionWidth;
}

void TsSkinProvider::PaintFormBackground(HDC DC) {
    // PENDING: sFormPrepare
    (void)DC;
}

bool TsSkinProvider::CacheUsable() {
    // PENDING: sFormPrepare
    return false;
}

void TsSkinProvider::HookFormMenus(bool On) {
    // PENDING: sFormPrepare
    (void)On;
}

} // namespace skin
