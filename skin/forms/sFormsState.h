#pragma once
// The state of the form layer, one for the module, and the module's start-up
// and end. Windows only.
#include <windows.h>

#include <memory>
#include <vector>

#include "sProviderOptions.h"
#include "sProviderRecords.h"

namespace vcl {
class TComponent;
class TForm;
}

namespace skin {

class TsSkinProvider;

// The state of the form layer (the module's start-up resets it).
struct TvlFormsState {
    // "/vlpreview" was the first argument and no window is linked yet.
    bool PreviewFlag = false;
    HWND LinkedWindow = nullptr;           // announced to the skin editor
    bool FormButtonPressed = false;        // a caption button is down
    bool ClientPainting = false;           // a WM_PAINT or WM_ERASEBKGND paints a client area
    HWND ClientPaintingWindow = nullptr;   // the form whose client area that is
    bool FrameHeldBack = false;            // its frame was asked for meanwhile
    bool MenuRebuilding = false;           // the main menu's rebuild runs
    // The provider of the MDI child that was activated last (its own
    // provider clears it when it goes); null when no child was activated
    // through a provider.
    TsSkinProvider *MDIChildActivator = nullptr;
    // An MDI child is being made while the active one is maximized: the
    // system restores that one meanwhile, which the new child's first
    // client paint ends.
    bool MDIChildOverMaximized = false;
    // The icons window of an MDI parent's menu loop (TsSkinProvider::
    // ShowMDIIcons), one for the application.
    std::unique_ptr<vcl::TForm> MDIIcons;
    std::vector<TvlGluedPair> GluedPairs;  // sProviderOptions.h
    // Hears of the end of each form in GluedPairs (sProviderOptions.cpp).
    std::unique_ptr<vcl::TComponent> GluedWatch;
    // Relays of released providers that a procedure chained in front of
    // them still calls.
    std::vector<std::unique_ptr<TvlFormProcRelay>> OrphanedRelays;
};
TvlFormsState &FormsState();

// The module's start-up, once, before any provider is made (after the skin
// manager's): the system metrics of the frame and the registration of the
// provider's classes for form descriptions. Calls nest.
void InitializeFormsModule();
// The last call empties the glued forms and the state.
void FinalizeFormsModule();

} // namespace skin
