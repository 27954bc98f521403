#pragma once
// The control adapter of a form provider: it walks the form's controls and
// gives each windowed control whose class name stands in one of the 23
// ThirdParty lists the window adapter of that list's kind, made by the
// adapter factory that the adapters layer registers (sSkinServices.h; with
// none registered no control gets one). Labels get no adapter: they take
// the skin's font colour (TsSkinProvider::SkinLabel). A control without a
// window whose class stands in a list gets the factory's graphic handler
// of that kind instead (a speed button). Windows only.
#include <memory>
#include <string>
#include <vector>

#include "skin/manager/sSkinServices.h"
#include "vcl/Messages.h"
#include "vcl/Persistent.h"

namespace vcl {
class TControl;
class TWinControl;
}

namespace skin {

class TsSkinProvider;
class TvlCtrlAdapter;

// One adapted windowed control.
class TvlAdapterItem : public vcl::TPersistent {
    VCL_CLASS(TvlAdapterItem, vcl::TPersistent)
public:
    TvlAdapterItem(TvlCtrlAdapter *Owner, vcl::TWinControl *Control);
    ~TvlAdapterItem() override;

    // Makes the window adapter of the first list (in kind order, then line
    // order) that names the control's class; none when no list names it.
    void CreateAdapter(const TvlSkinParams &Params);

    vcl::TWinControl *Control;                  // not owned
    std::unique_ptr<TvlWindowAdapter> Adapter;  // null when none
    TvlCtrlAdapter *Owner;                      // not owned
};

class TvlCtrlAdapter : public vcl::TPersistent {
    VCL_CLASS(TvlCtrlAdapter, vcl::TPersistent)
public:
    explicit TvlCtrlAdapter(TsSkinProvider *Provider);
    // Purge, then Clear.
    ~TvlCtrlAdapter() override;

    // The walk; null Root: the provider's form. The provider's events about
    // each control (OnSkinItem, OnSkinItemEx) run the application's code,
    // which may free the provider and this adapter with it: false then, and
    // the caller touches neither.
    bool AdaptControls(vcl::TWinControl *Root);
    // The control is to be adapted (windowed) or skinned (label); false
    // too once the events freed the provider.
    bool AcceptControl(vcl::TControl *Control);
    // Gives one windowed control its adapter (a form inside the form a
    // provider of its own); false once the events freed the provider.
    bool AddNewItem(vcl::TWinControl *Control, const std::string &SkinSection);
    // Sends Message to the window of every item whose adapter is alive and
    // whose control has a parent.
    void PassMessage(const vcl::TMessage &Message);
    // Drops the items without an adapter or whose adapter was destroyed.
    void Purge();
    // Frees all items, the last first.
    void Clear();
    // The item of Control; null when none.
    TvlAdapterItem *ItemOf(const vcl::TWinControl *Control) const;

    // Gives a control without a window whose class stands in a ThirdParty
    // list (a speed button) the factory's handler of that kind.
    void AddGraphicHandler(vcl::TControl *Control);
    // The handler serving Control; null when none.
    TvlGraphicHandler *HandlerOf(const vcl::TControl *Control) const;

    bool Walking = false;
    std::vector<std::unique_ptr<TvlAdapterItem>> Items;
    std::vector<std::unique_ptr<TvlGraphicHandler>> GraphicHandlers;
    TsSkinProvider *Provider;  // not owned: the owner
};

} // namespace skin
