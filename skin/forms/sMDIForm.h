#pragma once
// TsMDIForm: connects the MDI client window of a skinned MDI parent form to
// a window adapter, so that the area behind the MDI children is painted
// from the skin. The form's provider makes it (SetMDIHelper) when it
// prepares an MDI parent and frees it when the skin goes; while it exists
// the provider is the module's MDIParentProvider. The adapter comes from
// the adapter factory's slot (CreateMDIClientAdapter). Windows only.
#include <windows.h>

#include <memory>

#include "vcl/Persistent.h"

namespace vcl {
class TCustomForm;
}

namespace skin {

class TsSkinProvider;
class TvlWindowAdapter;

class TsMDIForm : public vcl::TPersistent {
    VCL_CLASS(TsMDIForm, vcl::TPersistent)
public:
    // Makes sure the form has its window, and so its client window.
    explicit TsMDIForm(TsSkinProvider *AProvider);
    ~TsMDIForm() override;

    // ConnectClient when no client adapter exists.
    void ConnectIfNeeded();
    // A new client adapter while the provider's form is skinned; none else.
    void ConnectClient();
    // The provider's frame again (cache, menu line, WM_NCPAINT).
    void RefreshFrame();
    void DisconnectClient();

    vcl::TCustomForm *Form = nullptr;                // not owned: the provider's form
    std::unique_ptr<TvlWindowAdapter> ClientAdapter;  // of the form's client window
    TsSkinProvider *Provider = nullptr;              // not owned: the owner
};

// The MDI parent provider's form is an MDI parent whose active child is
// maximized and shows a system menu (biSystemMenu, with its icon): that
// child's icon then stands at the left of the parent's menu line.
bool MDIChildMaximizedWithMenu();

} // namespace skin
