#include "vlProvider.h"

#include <memory>
#include <utility>

#include "skin/forms/sSkinProvider.h"
#include "skin/graphics/vlCommonUtils.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/sSkinServices.h"
#include "skin/manager/sVclUtils.h"
#include "skin/manager/vlStateAnimation.h"
#include "vcl/Bitmap.h"
#include "vcl/Forms.h"
#include "vcl/ObjectInstance.h"
#include "vlAdaptersState.h"
#include "vlDialogWnd.h"

namespace skin {

VCL_CLASS_INFO(TvlProvider)

// The hooked-dialog list's entry of one provider.
class TvlHookedProvider final : public TvlHookedDialog {
public:
    explicit TvlHookedProvider(TvlProvider &Provider) : FProvider(&Provider) {}
    ~TvlHookedProvider() override {
        TvlProvider *provider = std::exchange(FProvider, nullptr);
        if (!provider) return;
        provider->FEntry = nullptr;
        // Dropped by the list (the hooks went): the provider has no more
        // use. One whose form is being destroyed goes with the form.
        if (!provider->ComponentState().Contains(vcl::csDestroying)) delete provider;
    }
    TvlHookedProvider(const TvlHookedProvider &) = delete;
    TvlHookedProvider &operator=(const TvlHookedProvider &) = delete;

    // A form has no dialog adapter: its broadcasts reach it through the
    // registry of skinned forms.
    // A dialog's: its window while its adapter serves it.
    HWND DialogWindow() const override {
        return FProvider && FProvider->DialogAdapter() ? FProvider->Window() : nullptr;
    }
    TvlProvider *Provider() const { return FProvider; }
    // The provider is going by itself and takes this entry out.
    void Release() { FProvider = nullptr; }

private:
    TvlProvider *FProvider;  // not owned: its form owns it
};

namespace {

// Posted to the release window with the dialog's window handle.
constexpr UINT DialogReleaseMessage = WM_APP + 0x3A1;

void ReleaseClosedDialog(HWND Window) {
    TvlProvider *found = nullptr;
    ForEachHookedProvider([&](TvlProvider &Provider) {
        if (!found && Provider.ServedClosedDialog(Window)) found = &Provider;
    });
    // Its entry leaves the list with it.
    delete found;
}

} // namespace

// The window that takes the posted releases: one of this module's, so that
// a modal loop of the dialog's owner still dispatches them.
class TvlDialogReleaseWindow {
public:
    TvlDialogReleaseWindow() : FWindow(vcl::TWndMethod::Bind<&TvlDialogReleaseWindow::Handle>(this)) {}
    HWND Window() const { return FWindow.Handle(); }

private:
    void Handle(vcl::TMessage &Message) {
        if (Message.Msg == DialogReleaseMessage) {
            ReleaseClosedDialog(reinterpret_cast<HWND>(Message.WParam));
            Message.Result = 0;
            return;
        }
        Message.Result = DefWindowProcW(FWindow.Handle(), Message.Msg, Message.WParam, Message.LParam);
    }
    vcl::TUtilWindow FWindow;
};

// ------------------------------------------------------------ TvlProvider

TvlProvider::TvlProvider(vcl::TComponent *AOwner) : vcl::TComponent(AOwner) {}

TvlProvider::~TvlProvider() {
    // Whatever it served and whoever serves it now, no entry outlives it.
    if (TvlHookedProvider *entry = std::exchange(FEntry, nullptr)) {
        entry->Release();
        RemoveHookedDialog(entry);
    }
}

HWND TvlProvider::Window() const {
    if (FForm) return FForm->HandleAllocated() ? FForm->WindowHandle() : nullptr;
    if (FDialogAdapter && FDialogAdapter->Destroyed()) return nullptr;
    return FWindow;
}

void TvlProvider::AttachToForm(vcl::TCustomForm *Form) {
    if (!Form) return;
    FForm = Form;
    FreeNotification(Form);
    FFormProvider = vcl::Create<TsSkinProvider>(Form, TsSkinProvider::TDialogMade{});
    FreeNotification(FFormProvider);
    try {
        FFormProvider->SetUseGlobalColor(false);
        FWindow = Form->Handle();
    } catch (...) {
        delete std::exchange(FFormProvider, nullptr);
        throw;
    }
    if (DwmCompositionActive()) {
        if (FFormProvider && !FFormProvider->ControlAdapter) FFormProvider->Loaded();
        RedrawWindow(FWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        SendMessageW(FWindow, WM_NCPAINT, 0, 0);
    } else if (!DebuggerAttached()) {
        // Under a debugger the immediate repaint is left out.
        UpdateWindow(FWindow);
        RedrawWindow(FWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
    }
    // What the repaint ran may have replaced the provider meanwhile.
    if (FFormProvider) FFormProvider->SetMakeSkinMenu(false);
}

void TvlProvider::Notification(vcl::TComponent *AComponent, vcl::TOperation Operation) {
    inherited::Notification(AComponent, Operation);
    if (Operation != vcl::opRemove || !AComponent) return;
    if (AComponent == FFormProvider) FFormProvider = nullptr;
    if (AComponent == FForm) FForm = nullptr;
}

bool TvlProvider::AttachToDialog(HWND Window) {
    FWindow = Window;
    FChildAdapters.clear();
    TsSkinManager *manager = DefaultManager();
    if (FDialogAdapter || !manager || !manager->Active()) return true;
    if (const auto init = ScrollBarApi().InitializeFlatSB) init(Window);
    TvlSkinParams params;
    params.SkinSection = "DIALOG";
    FDialogAdapter = NewAdapter<TvlDialogWnd>(Window, nullptr, manager, params, false);
    FDialogAdapter->Provider = this;
    if (CreateChildAdaptersRecursive(*this, Window)) {
        FDialogAdapter->AnalyseWindow();
        SendMessageW(Window, SM_SKINCOMMAND, SkinCommand(SC_SKIN_APPLIED), reinterpret_cast<LPARAM>(manager));
        return true;
    }
    return false;
}

void TvlProvider::AdaptChildren() {
    if (FWindow && IsWindow(FWindow)) CreateChildAdaptersRecursive(*this, FWindow);
}

bool TvlProvider::ServedClosedDialog(HWND Window) const {
    return FWindow == Window && FDialogAdapter && FDialogAdapter->Destroyed();
}

void TvlProvider::AddChildAdapter(std::unique_ptr<TvlMainWnd> Adapter) {
    if (Adapter) FChildAdapters.push_back(std::move(Adapter));
}

TsSkinManager *TvlProvider::ChildSkinManager() const {
    if (FDialogAdapter && FDialogAdapter->SkinData) return FDialogAdapter->SkinData->GetSkinManager();
    return DefaultManager();
}

bool TvlProvider::DialogCacheEmpty() const {
    const vcl::TBitmap *cache =
        FDialogAdapter && FDialogAdapter->SkinData ? FDialogAdapter->SkinData->CacheBmp() : nullptr;
    return !cache || cache->Empty();
}

void TvlProvider::ReleaseOnceGone(HWND Window) { PostDialogRelease(Window); }

void TvlProvider::ClearSuppressPaint() {
    if (FDialogAdapter) FDialogAdapter->SuppressPaint = false;
}

// ------------------------------------------------------------ the list

void ListHookedProvider(TvlProvider &Provider) {
    if (Provider.FEntry) return;
    auto entry = std::make_unique<TvlHookedProvider>(Provider);
    Provider.FEntry = entry.get();
    AddHookedDialog(std::move(entry));
}

// ------------------------------------------------------------ lookups

TvlProvider *FindDialogProvider(HWND Window) {
    if (!Window || !vcl::Application || vcl::Application->Terminated()) return nullptr;
    TvlProvider *found = nullptr;
    ForEachHookedDialog([&](TvlHookedDialog &Dialog) {
        const auto *entry = dynamic_cast<const TvlHookedProvider *>(&Dialog);
        if (!found && entry && entry->Provider() && entry->Provider()->Window() == Window) found = entry->Provider();
    });
    return found;
}

vcl::TCustomForm *FindFormOfWindow(HWND Window) {
    if (!Window || !vcl::Screen) return nullptr;
    for (int i = vcl::Screen->FormCount() - 1; i >= 0; --i) {
        vcl::TCustomForm *form = vcl::Screen->Forms(i);
        if (!form || form->ComponentState().Contains(vcl::csDestroying) || !form->HandleAllocated()) continue;
        if (form->WindowHandle() == Window) return form;
    }
    return nullptr;
}

void ForEachHookedProvider(const std::function<void(TvlProvider &Provider)> &Proc) {
    ForEachHookedDialog([&](TvlHookedDialog &Dialog) {
        if (const auto *entry = dynamic_cast<const TvlHookedProvider *>(&Dialog); entry && entry->Provider())
            Proc(*entry->Provider());
    });
}

int CountVisibleHookedDialogs() {
    int count = 0;
    ForEachHookedProvider([&](TvlProvider &Provider) {
        if (Provider.Form()) return;
        const HWND window = Provider.DialogAdapter() ? Provider.DialogAdapter()->Handle : Provider.Window();
        if (window && IsWindowVisible(window)) ++count;
    });
    return count;
}

void PostDialogRelease(HWND Window) {
    TvlKept<TvlDialogReleaseWindow> &release = AdaptersState().DialogReleaseWindow;
    if (!release) release = Keep(std::make_unique<TvlDialogReleaseWindow>());
    PostMessageW(release->Window(), DialogReleaseMessage, reinterpret_cast<WPARAM>(Window), 0);
}

void FreeDialogReleaseWindow() { AdaptersState().DialogReleaseWindow.reset(); }

} // namespace skin
