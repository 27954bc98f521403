#include "vlCtrlAdapter.h"

#include "sSkinProvider.h"
#include "vcl/Controls.h"
#include "vcl/StdCtrls.h"

namespace skin {

VCL_CLASS_INFO(TvlAdapterItem)
VCL_CLASS_INFO(TvlCtrlAdapter)

// ------------------------------------------------------- TvlAdapterItem

TvlAdapterItem::TvlAdapterItem(TvlCtrlAdapter *Owner, vcl::TWinControl *Control) : Control(Control), Owner(Owner) {}

TvlAdapterItem::~TvlAdapterItem() = default;

void TvlAdapterItem::CreateAdapter(const TvlSkinParams &Params) {
    // PENDING: vlCtrlAdapter
    (void)Params;
}

// ------------------------------------------------------- TvlCtrlAdapter

TvlCtrlAdapter::TvlCtrlAdapter(TsSkinProvider *Provider) : Provider(Provider) {}

TvlCtrlAdapter::~TvlCtrlAdapter() {
    Purge();
    Clear();
}

void TvlCtrlAdapter::AdaptControls(vcl::TWinControl *Root) {
    // PENDING: vlCtrlAdapter
    (void)Root;
}

bool TvlCtrlAdapter::AcceptControl(vcl::TControl *Control) {
    // PENDING: vlCtrlAdapter
    (void)Control;
    return false;
}

void TvlCtrlAdapter::AddNewItem(vcl::TWinControl *Control, const std::string &SkinSection) {
    // PENDING: vlCtrlAdapter
    (void)Control, (void)SkinSection;
}

void TvlCtrlAdapter::PassMessage(const vcl::TMessage &Message) {
    // PENDING: vlCtrlAdapter
    (void)Message;
}

void TvlCtrlAdapter::Purge() {
    // PENDING: vlCtrlAdapter
}

void TvlCtrlAdapter::Clear() {
    // PENDING: vlCtrlAdapter
}

TvlAdapterItem *TvlCtrlAdapter::ItemOf(const vcl::TWinControl *Control) const {
    // PENDING: vlCtrlAdapter
    (void)Control;
    return nullptr;
}

// ------------------------------------------------- the provider's side

void TsSkinProvider::SkinLabel(vcl::TCustomLabel *Label, bool Skin) {
    // PENDING: vlCtrlAdapter
    (void)Label, (void)Skin;
}

void TsSkinProvider::RemoveSkin(vcl::TMessage &Message) {
    // PENDING: vlCtrlAdapter
    (void)Message;
}

} // namespace skin
