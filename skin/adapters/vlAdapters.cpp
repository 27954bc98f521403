#include "vlAdapters.h"

#include "skin/manager/sCommonData.h"
#include "skin/manager/sManagerOptions.h"
#include "vlAdaptersState.h"
#include "vlBtnWnd.h"
#include "sSkinMenus.h"
#include "vlDials.h"
#include "vlMenuAdapters.h"
#include "vlMnuWnd.h"
#include "vlSBUtils.h"
#include "vlComboWnd.h"
#include "vlEditWnd.h"
#include "vlGridWnd.h"
#include "vlMDIClientWnd.h"
#include "skin/forms/sSkinProvider.h"
#include "vlListViewWnd.h"
#include "vlSBWnd.h"
#include "vlVirtualTreeWnd.h"
#include "vlScrollWnd.h"
#include "vlContainerWnd.h"
#include "vlPanelWnd.h"
#include "vlStaticWnd.h"
#include "vlBitBtnWnd.h"
#include "vlCheckBoxWnd.h"
#include "vlSpeedButton.h"
#include "vlSpinWnd.h"
#include "vcl/Buttons.h"
#include "vlStatusBarWnd.h"
#include "vlTabWnd.h"
#include "vlToolBarWnd.h"

namespace skin {

namespace {

// A scrolling adapter is a window adapter twice over (as an adapter and as
// a scrolling one): handed out as the adapter.
template <class T> std::unique_ptr<TvlWindowAdapter> AsWindowAdapter(std::unique_ptr<T> Adapter) {
    return std::unique_ptr<TvlWindowAdapter>(static_cast<TvlMainWnd *>(Adapter.release()));
}

} // namespace

std::unique_ptr<TvlWindowAdapter> TvlAdapterClasses::CreateAdapter(int Kind, HWND Window, const TvlSkinParams &Params,
                                                                   TsSkinManager *Manager) {
    if (!Window) return nullptr;
    switch (Kind) {
    case tpButton: return NewAdapter<TvlBtnWnd>(Window, nullptr, Manager, Params);
    // A windowed control listed under "SpeedButton" is served as an edit
    // (the window-less speed buttons get a handler: CreateGraphicHandler).
    case tpEdit:
    case tpSpeedButton: return AsWindowAdapter(NewAdapter<TvlEditWnd>(Window, nullptr, Manager, Params, true));
    case tpListView: return AsWindowAdapter(NewAdapter<TvlListViewWnd>(Window, nullptr, Manager, Params, true));
    case tpTreeView: return AsWindowAdapter(NewAdapter<TvlTreeViewWnd>(Window, nullptr, Manager, Params, true));
    case tpComboBox: return AsWindowAdapter(NewAdapter<TvlComboBoxWnd>(Window, nullptr, Manager, Params, true));
    case tpWWEdit: return AsWindowAdapter(NewAdapter<TvlWWComboBoxWnd>(Window, nullptr, Manager, Params, true));
    case tpVirtualTree: return AsWindowAdapter(NewAdapter<TvlVirtualTreeViewWnd>(Window, nullptr, Manager, Params, true));
    case tpGrid: return AsWindowAdapter(NewAdapter<TvlGridWnd>(Window, nullptr, Manager, Params, true));
    case tpGridEh: return AsWindowAdapter(NewAdapter<TvlGridEhWnd>(Window, nullptr, Manager, Params, true));
    case tpScrollBar: return NewAdapter<TvlSBWnd>(Window, nullptr, Manager, Params);
    case tpGroupBox: return NewAdapter<TvlGroupBoxWnd>(Window, nullptr, Manager, Params);
    case tpPanel: return NewAdapter<TvlPanelWnd>(Window, nullptr, Manager, Params);
    case tpStaticText: return NewAdapter<TvlStaticTextWnd>(Window, nullptr, Manager, Params);
    case tpScrollControl: return AsWindowAdapter(NewAdapter<TvlScrollBoxWnd>(Window, nullptr, Manager, Params, true));
    case tpNativePaint: return AsWindowAdapter(NewAdapter<TvlNativePaint>(Window, nullptr, Manager, Params, true));
    case tpBitBtn: return NewAdapter<TvlBitBtnWnd>(Window, nullptr, Manager, Params);
    case tpCheckBox: return NewAdapter<TvlCheckBoxWnd>(Window, nullptr, Manager, Params);
    case tpUpDown: return NewAdapter<TvlSpinWnd>(Window, nullptr, Manager, Params);
    case tpStatusBar: return NewAdapter<TvlStatusBarWnd>(Window, nullptr, Manager, Params);
    case tpTabControl: return NewAdapter<TvlTabControlWnd>(Window, nullptr, Manager, Params);
    case tpPageControl: return NewAdapter<TvlPageControlWnd>(Window, nullptr, Manager, Params);
    case tpToolBar: return NewAdapter<TvlToolBarVCLWnd>(Window, nullptr, Manager, Params);
    default: return nullptr;
    }
}

std::unique_ptr<TvlGraphicHandler> TvlAdapterClasses::CreateGraphicHandler(int Kind, vcl::TControl *Control,
                                                                          const TvlSkinParams &Params,
                                                                          TsSkinManager *Manager) {
    auto *button = dynamic_cast<vcl::TSpeedButton *>(Control);
    if (Kind != tpSpeedButton || !button) return nullptr;
    return std::make_unique<TvlSpeedButtonHandler>(button, Params.SkinSection.empty() ? "SPEEDBUTTON" : Params.SkinSection,
                                                   Manager, nullptr);
}

std::unique_ptr<TvlScrollAdapter> TvlAdapterClasses::CreateScrollAdapter(HWND Window, const TvlSkinParams &Params,
                                                                        TsSkinManager *Manager,
                                                                        TsCommonData *SkinData) {
    if (!Window || !SkinData) return nullptr;
    return NewAdapter<TvlScrollWnd>(Window, SkinData, Manager, Params);
}

std::unique_ptr<TvlWindowAdapter> TvlAdapterClasses::CreateMDIClientAdapter(HWND Window, const TvlSkinParams &Params,
                                                                           TsSkinManager *Manager,
                                                                           TvlFormProvider *Provider) {
    auto *provider = dynamic_cast<TsSkinProvider *>(Provider);
    if (!Window || !provider) return nullptr;
    auto adapter = std::make_unique<TvlMDIWnd>();
    // The form's side is known before the first message reaches the adapter.
    adapter->Provider = provider;
    adapter->Form = provider->Form;
    adapter->FormData = provider->SkinData();
    adapter->Create(Window, nullptr, Manager, Params, true);
    return AsWindowAdapter(std::move(adapter));
}

void InitializeAdaptersModule() {
    TvlAdaptersState &state = AdaptersState();
    if (state.AdaptersStartCount++ > 0) return;
    InitializeSBUtils();
    state.AdapterFactory = Keep(std::make_unique<TvlAdapterClasses>());
    RegisterService(static_cast<TvlAdapterFactory &>(*state.AdapterFactory));
    InitializeDialsModule();
    RegisterService(static_cast<TvlSkinableMenusFactory &>(SkinableMenusMaker()));
}

void FinalizeAdaptersModule() {
    TvlAdaptersState &state = AdaptersState();
    if (state.AdaptersStartCount == 0 || --state.AdaptersStartCount > 0) return;
    UnregisterService(static_cast<TvlSkinableMenusFactory &>(SkinableMenusMaker()));
    FreeMenuAdapters(true);
    FreePageAdapters();
    FinalizeDialsModule();
    UnregisterService(static_cast<TvlAdapterFactory &>(*state.AdapterFactory));
    FinalizeSBUtils();
    ResetAdaptersStateWhenStopped();
}

} // namespace skin
