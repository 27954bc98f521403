#pragma once
// The mutable state of the window adapters' module, in one place. Before
// the module's start-up (InitializeAdaptersModule, vlAdapters.h) every value
// is its start value; the last end of the module and of its parts that
// were started on their own puts the start values back and frees what the
// state still keeps. Everything here belongs to the UI thread.
//
// The objects of the module's units (adapters, relays, windows, the slot
// implementations) are kept as TvlKept: each unit makes its own with Keep,
// where its type is complete, so this header names no unit above it.
//
// Tests change a value for a scope with the manager's TvlStateOverride,
// which puts back what it replaced:
//     TvlStateOverride keep(AdaptersState().KeepThemeOnCreate, true);
// Windows only.
#include <windows.h>

#include <memory>
#include <utility>
#include <vector>

#include "skin/manager/sModuleState.h"
#include "vcl/Types.h"

namespace skin {

class TvlAdapterClasses;
class TvlDialogReleaseWindow;
class TvlDials;
class TvlMnuArray;
class TvlPageWnd;
class TvlSkinableMenusMaker;
struct TvlProcRelay;

// Frees what it keeps by the function its maker gave (none: frees nothing).
struct TvlKeptDeleter {
    void (*Free)(void *) = nullptr;
    void operator()(void *Object) const {
        if (Free) Free(Object);
    }
};
template <class T> using TvlKept = std::unique_ptr<T, TvlKeptDeleter>;

template <class T> TvlKept<T> Keep(std::unique_ptr<T> Object) {
    return TvlKept<T>(Object.release(), TvlKeptDeleter{[](void *P) { delete static_cast<T *>(P); }});
}

// A library bound by name, freed when it goes.
class TvlLibrary {
public:
    TvlLibrary() = default;
    explicit TvlLibrary(const wchar_t *Name) : FModule(LoadLibraryW(Name)) {}
    TvlLibrary(TvlLibrary &&Other) noexcept : FModule(std::exchange(Other.FModule, nullptr)) {}
    TvlLibrary &operator=(TvlLibrary &&Other) noexcept {
        std::swap(FModule, Other.FModule);
        return *this;
    }
    TvlLibrary(const TvlLibrary &) = delete;
    TvlLibrary &operator=(const TvlLibrary &) = delete;
    ~TvlLibrary() {
        if (FModule) FreeLibrary(FModule);
    }
    template <class F> F Proc(const char *Name) const {
        return FModule ? reinterpret_cast<F>(reinterpret_cast<void *>(GetProcAddress(FModule, Name))) : nullptr;
    }

private:
    HMODULE FModule = nullptr;
};

// The platform's scroll-bar routines the scrolling adapters use, bound by
// name when the base unit starts (vlSBUtils.h); null where the system lacks
// them.
struct TvlScrollBarApi {
    BOOL(WINAPI *GetScrollBarInfo)(HWND, LONG, PSCROLLBARINFO) = nullptr;
    BOOL(WINAPI *InitializeFlatSB)(HWND) = nullptr;
    HRESULT(WINAPI *UninitializeFlatSB)(HWND) = nullptr;
};

// The mouse on the skinned scroll bars (vlScrollBars.h): one bar at a time.
struct TvlScrollEngine {
    int TrackPos = -1;
    int PressedKind = -1;
    int HotKind = -1;
    int CurrentPart = -1;  // the pressed part while the cursor is on it
    int LastHotPart = -1;
    int HotPart = -1;
    int PressedPart = -1;
    HWND TrackedWindow = nullptr;
    UINT ScrollMsg = 0;    // WM_HSCROLL or WM_VSCROLL of the pressed bar
    UINT_PTR HoverTimer = 0;
    UINT_PTR RepeatTimer = 0;
    vcl::TRect HotBarRect;
    // A thumb drag: the bar at press time, the thumb's length and start,
    // and the cursor's offset into the thumb.
    vcl::TRect DragBarRect;
    int DragThumbSize = 0;
    int DragThumbStart = 0;
    int DragOffset = 0;
    bool Releasing = false;  // the engine gives the capture back itself
};

struct TvlAdaptersState {
    TvlAdaptersState();
    ~TvlAdaptersState();
    TvlAdaptersState(TvlAdaptersState &&) noexcept;
    TvlAdaptersState &operator=(TvlAdaptersState &&) noexcept;

    // The start-ups' counts: the module's (vlAdapters.h), the base unit's
    // (vlSBUtils.h) and the hook's dialog skinning (vlDials.h).
    int AdaptersStartCount = 0;
    int BaseStartCount = 0;
    int DialsStartCount = 0;

    // The slot implementations the start-ups register with the manager
    // (made by them, freed by the module's end): the adapter factory, the
    // hook's dialog skinning and the menu painters' factory.
    TvlKept<TvlAdapterClasses> AdapterFactory;
    TvlKept<TvlDials> Dials;
    TvlKept<TvlSkinableMenusMaker> SkinableMenusMaker;

    // The base unit (vlSBUtils.h): an adapter is made whose window keeps
    // its visual style; the libraries of the scroll-bar routines and the
    // routines; relays that a procedure chained over an adapter's still
    // calls (they forward to what they replaced until the unit stops).
    bool KeepThemeOnCreate = false;
    TvlLibrary User32;
    TvlLibrary ComCtl32;
    TvlScrollBarApi ScrollBars;
    std::vector<TvlKept<TvlProcRelay>> OrphanedRelays;
    // The same for speed-button handlers (vlSpeedButton.h), whose relays
    // are of their own type.
    std::vector<TvlKept<void>> OrphanedButtonRelays;

    // The mouse on the skinned scroll bars (vlScrollBars.h).
    TvlScrollEngine ScrollEngine;

    // The adapters of the popup-menu windows (vlMenuAdapters.h; made on
    // first use), and a skinned popup menu has been shown (sSkinMenus.h).
    TvlKept<TvlMnuArray> MenuAdapters;
    bool MenuPopupShown = false;
    // Menu adapters freed while they were handling a message of their own
    // (a fault: they are used again on the way out).
    int MenuAdaptersFreedInUse = 0;

    // A skinned dialog's window region was set (vlDialogWnd.h); the
    // dialog adapter reads and clears it.
    bool DialogRegionSet = false;

    // The adapters of the pages of page controls (vlTabWnd.h).
    std::vector<TvlKept<TvlPageWnd>> PageAdapters;

    // A combo box's list is dropped down (vlComboWnd.h).
    bool ComboDroppedDown = false;

    // The window that takes the posted releases of system dialogs
    // (vlDialogProvider.h; made on the first release).
    TvlKept<TvlDialogReleaseWindow> DialogReleaseWindow;
};

// The module's state.
TvlAdaptersState &AdaptersState();
// All values back to their start values and what the state keeps freed.
void ResetAdaptersState();
// The same once no start-up of the module's is running any more: what the
// module's end and its parts' ends call last.
void ResetAdaptersStateWhenStopped();

} // namespace skin
