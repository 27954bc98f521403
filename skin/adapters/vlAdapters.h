#pragma once
// The window adapters' module: its start-up puts the adapter factory and
// the hook's dialog skinning into the skin manager's slots (sSkinServices.h),
// so that a form provider's control adapter gets the adapter of a control's
// kind, and forms without a provider get one; its end takes both out again. Explicit calls, after the manager's and the
// form provider's start-ups (a static initialiser of a library may never
// run). Windows only.
#include <memory>

#include "skin/manager/sSkinServices.h"

namespace skin {

// Control kinds (indexes of the ThirdParty lists) that have adapters here.
inline constexpr int tpEdit = 0;
inline constexpr int tpComboBox = 4;
inline constexpr int tpGrid = 5;
inline constexpr int tpListView = 7;
inline constexpr int tpTreeView = 9;
inline constexpr int tpWWEdit = 10;
inline constexpr int tpGridEh = 11;
inline constexpr int tpVirtualTree = 12;
inline constexpr int tpScrollBar = 20;
inline constexpr int tpGroupBox = 6;
inline constexpr int tpPanel = 8;
inline constexpr int tpScrollControl = 18;
inline constexpr int tpStaticText = 21;
inline constexpr int tpNativePaint = 22;
inline constexpr int tpBitBtn = 2;
inline constexpr int tpCheckBox = 3;
inline constexpr int tpSpeedButton = 17;
inline constexpr int tpUpDown = 19;
inline constexpr int tpPageControl = 13;
inline constexpr int tpTabControl = 14;
inline constexpr int tpToolBar = 15;
inline constexpr int tpStatusBar = 16;

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
