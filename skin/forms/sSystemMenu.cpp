#include "sSystemMenu.h"

#include <string>

#include "sSkinProvider.h"

namespace skin {

VCL_CLASS_INFO(TsCustomSysMenu)
VCL_CLASS_INFO(TsSystemMenu)

TsSystemMenu::TsSystemMenu(TsSkinProvider *Provider)
    : TsCustomSysMenu(Provider), Provider(Provider), Form(Provider->Form) {
    // Several forms' menus live side by side: each has a name of its own.
    SetName("vlSysMenu" + std::to_string(GetTickCount()));
    MakeItems();
}

bool TsSystemMenu::VisibleClose() const {
    // PENDING: sSystemMenu
    return false;
}

bool TsSystemMenu::VisibleMax() const {
    // PENDING: sSystemMenu
    return false;
}

bool TsSystemMenu::VisibleMin() const {
    // PENDING: sSystemMenu
    return false;
}

bool TsSystemMenu::EnabledMax() const {
    // PENDING: sSystemMenu
    return false;
}

bool TsSystemMenu::EnabledMin() const {
    // PENDING: sSystemMenu
    return false;
}

bool TsSystemMenu::EnabledRestore() const {
    // PENDING: sSystemMenu
    return false;
}

void TsSystemMenu::MakeItems() {
    // PENDING: sSystemMenu
}

void TsSystemMenu::UpdateItems(bool Rebuild) {
    // PENDING: sSystemMenu
    (void)Rebuild;
}

void TsSystemMenu::MakeSkinItems() {
    // PENDING: sSystemMenu
}

void TsSystemMenu::RestoreClick(vcl::TObject *Sender) {
    // PENDING: sSystemMenu
    (void)Sender;
}

void TsSystemMenu::MoveClick(vcl::TObject *Sender) {
    // PENDING: sSystemMenu
    (void)Sender;
}

void TsSystemMenu::SizeClick(vcl::TObject *Sender) {
    // PENDING: sSystemMenu
    (void)Sender;
}

void TsSystemMenu::MinimizeClick(vcl::TObject *Sender) {
    // PENDING: sSystemMenu
    (void)Sender;
}

void TsSystemMenu::MaximizeClick(vcl::TObject *Sender) {
    // PENDING: sSystemMenu
    (void)Sender;
}

void TsSystemMenu::CloseClick(vcl::TObject *Sender) {
    // PENDING: sSystemMenu
    (void)Sender;
}

void TsSystemMenu::CustomItemClick(vcl::TObject *Sender) {
    // PENDING: sSystemMenu
    (void)Sender;
}

void TsSystemMenu::SkinItemClick(vcl::TObject *Sender) {
    // PENDING: sSystemMenu
    (void)Sender;
}

} // namespace skin
