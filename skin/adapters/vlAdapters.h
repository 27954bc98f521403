#pragma once
// The window adapters' module: its start-up puts the adapter factory and
// the hook's dialog skinning into the skin manager's slots (sSkinServices.h),
// so that a form provider's control adapter gets the adapter of a control's
// kind, and forms without a provider get one; its end takes both out again. Explicit calls, after the manager's and the
// form provider's start-ups (a static initialiser of a library may never
// run). Windows only.
#include <memory>

#include "skin/manager/sSkinServices.h"
#include "vlAdapterKinds.h"

namespace skin {

// The adapters by control kind (the index of the ThirdParty list that named
// the window's class). Kinds whose adapter does not exist yet get none.
class TvlAdapterClasses : public TvlAdapterFactory {
public:
    std::unique_ptr<TvlWindowAdapter> CreateAdapter(int Kind, HWND Window, const TvlSkinParams &Params,
                                                    TsSkinManager *Manager) override;
    // A TvlSpeedButtonHandler for a TSpeedButton of the SpeedButton kind.
    std::unique_ptr<TvlGraphicHandler> CreateGraphicHandler(int Kind, vcl::TControl *Control,
                                                            const TvlSkinParams &Params,
                                                            TsSkinManager *Manager) override;
    // A TvlScrollWnd on the form's window, sharing the form's skin data.
    std::unique_ptr<TvlScrollAdapter> CreateScrollAdapter(HWND Window, const TvlSkinParams &Params,
                                                          TsSkinManager *Manager, TsCommonData *SkinData) override;
    // A TvlMDIWnd serving the provider's form (a form provider of this
    // library; none for another kind of provider).
    std::unique_ptr<TvlWindowAdapter> CreateMDIClientAdapter(HWND Window, const TvlSkinParams &Params,
                                                             TsSkinManager *Manager,
                                                             TvlFormProvider *Provider) override;
};

// Calls nest: the first starts the module (the base unit's start, the
// factory registered, the dialog skinning of the window-creation hook
// registered), the last ends it and puts the module's state back to its
// start values (vlAdaptersState.h).
void InitializeAdaptersModule();
void FinalizeAdaptersModule();

} // namespace skin
