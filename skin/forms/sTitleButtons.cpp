#include "sSkinProvider.h"

namespace skin {

void TsSkinProvider::UpdateButtonsLayout() {
    // PENDING: sTitleButtons
}

void TsSkinProvider::PaintBorderIcons(int CaptionWidth) {
    // PENDING: sTitleButtons
    (void)CaptionWidth;
}

int TsSkinProvider::CalcHitTest(const vcl::TMessage &Message) {
    // PENDING: sTitleButtons
    (void)Message;
    return HTNOWHERE;
}

void TsSkinProvider::SetHotButton(int Code, bool Repaint) {
    // PENDING: sTitleButtons
    (void)Code, (void)Repaint;
}

void TsSkinProvider::SetPressedButton(int Code) {
    // PENDING: sTitleButtons
    (void)Code;
}

void TsSkinProvider::PaintButtonState(int Code) {
    // PENDING: sTitleButtons
    (void)Code;
}

TsCaptionButton *TsSkinProvider::ButtonByCode(int Code) {
    // PENDING: sTitleButtons
    (void)Code;
    return nullptr;
}

int TsSkinProvider::GetButtonsTop() const {
    // PENDING: sTitleButtons
    return 0;
}

int TsSkinProvider::GetTitleHeight(bool Maximized) const {
    // PENDING: sTitleButtons
    (void)Maximized;
    return 0;
}

int TsSkinProvider::TitleExcess(bool Maximized) const {
    // PENDING: sTitleButtons
    (void)Maximized;
    return 0;
}

} // namespace skin
