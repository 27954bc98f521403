#include "sSkinProvider.h"

#include "skin/manager/sSkinCommands.h"
#include "vcl/Forms.h"

namespace skin {

void TsSkinProvider::PopupSystemMenu(vcl::TPoint ScreenPoint) {
    // PENDING: sSysMenuPopup
    (void)ScreenPoint;
}

vcl::TPoint TsSkinProvider::GetFormOrigin() const {
    // PENDING: sSysMenuPopup
    return {};
}

vcl::TPoint TsSkinProvider::ScreenToWindowPoint(int X, int Y) const {
    // PENDING: sSysMenuPopup
    (void)X, (void)Y;
    return {};
}

void TsSkinProvider::UpdateFormScrollBars() {
    // PENDING: sSysMenuPopup
}

vcl::TColor TsSkinProvider::GetFormColor() const {
    // PENDING: sSysMenuPopup
    return 0;
}

TsSkinProvider *FindFormProvider(vcl::TComponent *Component) {
    vcl::TComponent *c = Component;
    while (c && !dynamic_cast<vcl::TCustomForm *>(c)) c = c->Owner();
    auto *form = static_cast<vcl::TCustomForm *>(c);
    if (!form) return nullptr;
    const LRESULT answer = form->Perform(SM_SKINCOMMAND, SkinCommand(SC_QUERY_FORM_PROVIDER), 0);
    return dynamic_cast<TsSkinProvider *>(reinterpret_cast<TvlFormProvider *>(answer));
}

} // namespace skin
