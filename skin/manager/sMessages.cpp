#include "sMessages.h"

#include <shellapi.h>

#include <algorithm>
#include <utility>

#include "sCommonData.h"
#include "sSkinManager.h"
#include "sSkinServices.h"
#include "skin/graphics/vlCommonUtils.h"
#include "vcl/Bitmap.h"
#include "vcl/Controls.h"
#include "vcl/Forms.h"
#include "vcl/GdiObjects.h"
#include "vcl/Icon.h"
#include "vcl/WideText.h"

namespace skin {

namespace {

int ModuleStarts = 0;
// The program's icons were looked up (whatever the shell answered).
bool ProgramIconsRead = false;
HHOOK PostedCommandHook = nullptr;

// Whatever a posted command's LParam holds was not put there by us.
LRESULT CALLBACK DropPostedArguments(int Code, WPARAM WParam, LPARAM LParam) {
    if (Code == HC_ACTION && WParam == PM_REMOVE)
        if (auto *m = reinterpret_cast<MSG *>(LParam); m->message == SM_SKINCOMMAND && m->lParam != 0)
            m->message = WM_NULL;
    return CallNextHookEx(PostedCommandHook, Code, WParam, LParam);
}

bool Designing(const vcl::TComponent *C) { return C->ComponentState().Contains(vcl::csDesigning); }
bool Destroying(const vcl::TComponent *C) { return C->ComponentState().Contains(vcl::csDestroying); }
bool Loading(const vcl::TComponent *C) { return C->ComponentState().Contains(vcl::csLoading); }

void Send(HWND Window, const vcl::TMessage &Message) {
    SendMessageW(Window, Message.Msg, Message.WParam, Message.LParam);
}

// The form and its children, as both broadcasts pass them a message; the
// children only while the form is still the one that was there (a
// receiver may free it).
template <class StillThere> void SendToForm(vcl::TCustomForm *Form, const vcl::TMessage &Message, StillThere Check) {
    Send(Form->Handle(), Message);
    if (!Check()) return;
    BroadcastToChildControls(Form, Message);
    // The children of an MDI parent are no controls of it: they hear it
    // through the client window that holds them.
    if (Check() && Form->FormStyle() == vcl::fsMDIForm && Form->ClientHandle()) Send(Form->ClientHandle(), Message);
}

BOOL CALLBACK BroadcastChildProc(HWND Child, LPARAM Data) {
    const auto &[parent, message] = *reinterpret_cast<std::pair<HWND, const vcl::TMessage *> *>(Data);
    if (GetParent(Child) == parent) Send(Child, *message);
    return TRUE;
}

std::uint8_t FormAlpha(const vcl::TCustomForm &Form) { return Form.AlphaBlend() ? Form.AlphaBlendValue() : 255; }

TsSkinManager *ManagerOf(TvlFormProvider &Provider) {
    TsCommonData *data = Provider.ProviderSkinData();
    return data ? data->GetSkinManager() : nullptr;
}

bool ChangeAnimated(const TsSkinManager &Manager) {
    return &Manager == DefaultManager() && Manager.AnimEffects()->SkinChanging->Active;
}

void PrepareFormForSkinChange(TvlFormProvider &Provider, int) {
    if (Provider.BorderWindow()) {
        Provider.StateFlags |= pfSkinChangeSnapshot;
        Provider.SavedFormImage.reset();
        // The picture runs the children's painting, the application's code,
        // which may free the provider (with its form or alone).
        const vcl::TGuarded<TvlFormProvider> alive(&Provider);
        std::unique_ptr<vcl::TBitmap> image = Provider.GetFormImage();
        if (!alive) return;
        Provider.SavedFormImage = std::move(image);
    }
    Provider.FormNeedsRepaint = true;
}

void DropSkinChangeSnapshot(TvlFormProvider &Provider, int) {
    Provider.StateFlags &= ~pfSkinChangeSnapshot;
    Provider.SavedFormImage.reset();
    Provider.FormNeedsRepaint = false;
}

void LockFormForSkinChange(TvlFormProvider &Provider, int) {
    Provider.FormNeedsRepaint = true;
    Provider.StateFlags |= pfSkinChangeRedrawLocked;
    vcl::TCustomForm *form = Provider.ProviderForm();
    if (HWND border = Provider.BorderWindow()) {
        if (Provider.SavedFormImage)
            FormAnimations().ShowLayeredBitmap(border, Provider.SavedFormImage.get(), FormAlpha(*form));
        vcl::SetWindowRegion(border, vcl::TRegionHandle(Provider.BorderRegion()), true);
    }
    SendMessageW(form->Handle(), WM_SETREDRAW, FALSE, 0);
}

void UnlockFormRedraw(TvlFormProvider &Provider, int) {
    if (Provider.StateFlags & pfSkinChangeRedrawLocked)
        SendMessageW(Provider.ProviderForm()->Handle(), WM_SETREDRAW, TRUE, 0);
}

// A maximized form with a border form is maximized again when the new
// skin's caption is of another height, so that its client area follows.
void MaximizeAgainForNewCaption(TvlFormProvider &Provider, HWND Form) {
    const int height = Provider.GetTitleHeight();
    if (height == ModuleState().RememberedTitleHeight) return;
    ModuleState().RememberedTitleHeight = height;
    const HWND active = GetActiveWindow();
    const LONG_PTR style = GetWindowLongPtrW(Form, GWL_STYLE);
    SetWindowLongPtrW(Form, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_VISIBLE));
    ShowWindow(Form, SW_MAXIMIZE);
    SetWindowLongPtrW(Form, GWL_STYLE, GetWindowLongPtrW(Form, GWL_STYLE) | WS_VISIBLE);
    if (active) SetActiveWindow(active);
}

// The fade, the maximize, the region and the repaints send the form
// messages and run its painting, the application's code, which may free the
// provider or the form: nothing of either is touched after that.
void AnimateSkinChange(TvlFormProvider &Provider, int Animate) {
    vcl::TCustomForm *form = Provider.ProviderForm();
    const HWND wnd = form->Handle();
    if (IsIconic(wnd) || !(Provider.StateFlags & pfSkinChangeRedrawLocked)) return;
    const vcl::TGuarded<TvlFormProvider> provider(&Provider);
    if (Animate != 1) {
        Provider.StateFlags &= ~pfSkinChangeSnapshot;
        SendMessageW(wnd, WM_SETREDRAW, TRUE, 0);
        if (!ProviderServes(provider, wnd)) return;
    } else {
        const bool nonClient = Provider.DrawsNonClientArea();
        if (TsSkinManager *manager = ManagerOf(Provider)) {
            const TvlSkinChanging &changing = *manager->AnimEffects()->SkinChanging;
            if (changing.Active) {
                if (nonClient)
                    FormAnimations().AnimateSkinChangeOfForm(Provider, changing.Time, FormAlpha(*form),
                                                             changing.Mode == atAero);
                else
                    FormAnimations().AnimateSkinChangeOfForm(Provider, 0, 255, false);
                if (!ProviderServes(provider, wnd)) return;
            }
        }
        Provider.StateFlags &= ~pfSkinChangeSnapshot;
        if (Provider.BorderWindow() && IsZoomed(wnd)) {
            MaximizeAgainForNewCaption(Provider, wnd);
            if (!ProviderServes(provider, wnd)) return;
        }
        Provider.FormNeedsRepaint = false;
        if (nonClient) {
            // Removed without a repaint: the new region follows at once with
            // its own, and a frame painted in between shows square corners.
            if (!DwmCompositionActive()) SetWindowRgn(wnd, nullptr, FALSE);
            if (!ProviderServes(provider, wnd)) return;
            Provider.CollectFrameMasks();
            Provider.UpdateFormRegion();
            if (!ProviderServes(provider, wnd)) return;
            RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            if (!ProviderServes(provider, wnd)) return;
            if (HWND border = Provider.BorderWindow()) {
                vcl::SetWindowRegion(border, vcl::TRegionHandle(Provider.BorderRegion()), true);
                Provider.UpdateBorder(true, 255);
                if (!ProviderServes(provider, wnd)) return;
            }
        } else {
            RedrawWindow(wnd, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
            if (!ProviderServes(provider, wnd)) return;
        }
    }
    Provider.StateFlags &= ~pfSkinChangeRedrawLocked;
}

} // namespace

// Senders

LRESULT SendSkinCommand(HWND Window, unsigned SubCommand, LPARAM LParam) {
    const TvlRecordInFlight inFlight(SubCommand, LParam);
    return SendMessageW(Window, SM_SKINCOMMAND, SkinCommand(SubCommand), LParam);
}

LRESULT PerformSkinCommand(vcl::TControl *Control, unsigned SubCommand, LPARAM LParam) {
    if (!Control) return 0;
    if (auto *windowed = dynamic_cast<vcl::TWinControl *>(Control))
        if (Destroying(windowed) || !windowed->HandleAllocated()) return 0;
    const TvlRecordInFlight inFlight(SubCommand, LParam);
    return Control->Perform(SM_SKINCOMMAND, SkinCommand(SubCommand), LParam);
}

bool QuerySkinCommand(vcl::TControl *Control, unsigned SubCommand) {
    return Control && (Control->Perform(SM_SKINCOMMAND, SkinCommand(SubCommand), 0) & 0xFF) != 0;
}

bool SendSkinQuery(HWND Window, unsigned SubCommand) { return SendSkinCommand(Window, SubCommand, 0) == 1; }

bool CommandArgumentIsOurs(const vcl::TMessage &Message) {
    return (InSendMessageEx(nullptr) & (ISMEX_SEND | ISMEX_NOTIFY | ISMEX_CALLBACK)) == 0 ||
           TvlRecordInFlight::Contains(SubCommandOf(Message.WParam), Message.LParam);
}

// Walks

void BroadcastToChildControls(vcl::TWinControl *Parent, const vcl::TMessage &Message) {
    if (!Parent) return;
    // A child's answer may free the parent.
    const vcl::TGuarded parent(Parent);
    for (int i = 0; parent && i < Parent->ControlCount(); ++i) {
        vcl::TControl *child = Parent->Controls(i);
        if (Destroying(child)) return;
        auto *windowed = dynamic_cast<vcl::TWinControl *>(child);
        if (!windowed || !windowed->HandleAllocated()) {
            child->Perform(Message.Msg, Message.WParam, Message.LParam);
        } else if (QuerySkinCommand(windowed, SC_IS_HANDLED)) {
            Send(windowed->WindowHandle(), Message);
        } else if (const TvlChildBroadcastFilter filter = ModuleState().ChildBroadcastFilter;
                   !(filter && filter(windowed))) {
            BroadcastToChildControls(windowed, Message);
        }
    }
}

void BroadcastToChildWindows(HWND Window, const vcl::TMessage &Message) {
    std::pair<HWND, const vcl::TMessage *> data{Window, &Message};
    EnumChildWindows(Window, BroadcastChildProc, reinterpret_cast<LPARAM>(&data));
}

void PassUpdateDoneToChildren(vcl::TWinControl *Parent) {
    if (!Parent || Designing(Parent) || ModuleState().FormAnimationActive) return;
    // A child's answer may free the parent.
    const vcl::TGuarded parent(Parent);
    const int count = Parent->ControlCount();
    for (int i = 0; i < count && parent && i < Parent->ControlCount(); ++i) {
        vcl::TControl *child = Parent->Controls(i);
        if (Destroying(child)) continue;
        auto *windowed = dynamic_cast<vcl::TWinControl *>(child);
        if (!windowed || (windowed->HandleAllocated() && windowed->Showing()))
            child->Perform(SM_SKINCOMMAND, SkinCommand(SC_PARENT_UPDATE_DONE), 0);
    }
}

void PassUpdateDoneToChildWindows(HWND Window) {
    for (HWND child = GetTopWindow(Window); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetWindowLongPtrW(child, GWL_STYLE) & WS_CHILD) SendSkinCommand(child, SC_PARENT_UPDATE_DONE, 0);
}

void NotifyFormOfControl(vcl::TControl *Control) {
    if (!Control || Designing(Control) || Loading(Control)) return;
    if (vcl::TCustomForm *form = vcl::GetParentForm(Control)) {
        const auto control = reinterpret_cast<LPARAM>(Control);
        const TvlRecordInFlight inFlight(SC_REFRESH_GRAPHIC_CONTROL, control);
        form->Perform(SM_SKINCOMMAND, SkinCommand(SC_REFRESH_GRAPHIC_CONTROL), control);
    }
}

void BroadcastToForms(const vcl::TMessage &Message) {
    if (vcl::TApplication *app = vcl::Application) {
        for (int i = app->ComponentCount() - 1; i >= 0; --i) {
            if (i >= app->ComponentCount()) return;  // forms were freed: the broadcast ends
            auto *form = dynamic_cast<vcl::TCustomForm *>(app->Components(i));
            if (!form || form->FormStyle() == vcl::fsMDIChild || Destroying(form) || Loading(form)) continue;
            // Asking creates the window of a form that has none yet.
            if (SendSkinQuery(form->Handle(), SC_IS_HANDLED)) continue;
            SendToForm(form, Message, [&] { return i < app->ComponentCount() && app->Components(i) == form; });
        }
    }
    BroadcastToListedForms(Message);
}

void BroadcastToListedForms(const vcl::TMessage &Message) {
    const std::vector<vcl::TCustomForm *> &Registry = ModuleState().SkinnedFormRegistry;
    for (std::size_t i = 0; i < Registry.size(); ++i) {
        vcl::TCustomForm *form = Registry[i];
        if (!form || Destroying(form)) continue;
        SendToForm(form, Message, [&] { return i < Registry.size() && Registry[i] == form; });
    }
    // A receiver may take dialogs (or the hooks) away meanwhile.
    ForEachHookedDialog([&](TvlHookedDialog &Dialog) {
        if (HWND window = Dialog.DialogWindow(); window && IsWindowVisible(window)) Send(window, Message);
    });
}

// Registry

void AddSkinnedForm(vcl::TCustomForm *Form) {
    std::vector<vcl::TCustomForm *> &Registry = ModuleState().SkinnedFormRegistry;
    if (Form && std::find(Registry.begin(), Registry.end(), Form) == Registry.end()) Registry.push_back(Form);
}

void RemoveSkinnedForm(vcl::TCustomForm *Form) {
    std::vector<vcl::TCustomForm *> &Registry = ModuleState().SkinnedFormRegistry;
    const auto it = std::find(Registry.begin(), Registry.end(), Form);
    if (it == Registry.end()) return;
    *it = Registry.back();
    Registry.pop_back();
}

const std::vector<vcl::TCustomForm *> &SkinnedForms() { return ModuleState().SkinnedFormRegistry; }

void ForEachSkinnedForm(const TsSkinManager *Manager, TvlProviderProc Proc, int Argument) {
    // A copy: Proc runs the application's code, which may free forms or
    // their providers (the form leaves the registry, the last one taking its
    // place), and an index into the registry itself would then pass over
    // the form moved there.
    const std::vector<vcl::TCustomForm *> &registry = ModuleState().SkinnedFormRegistry;
    std::vector<vcl::TGuarded<vcl::TCustomForm>> forms;
    forms.reserve(registry.size());
    for (vcl::TCustomForm *form : registry) forms.emplace_back(form);
    for (const vcl::TGuarded<vcl::TCustomForm> &guarded : forms) {
        vcl::TCustomForm *form = guarded.Get();
        if (!form || form->FormStyle() == vcl::fsMDIChild || form->Parent() || !form->HandleAllocated() ||
            !form->Visible() || IsIconic(form->WindowHandle()))
            continue;
        auto *provider = reinterpret_cast<TvlFormProvider *>(PerformSkinCommand(form, SC_QUERY_FORM_PROVIDER, 0));
        if (provider && ManagerOf(*provider) == Manager) Proc(*provider, Argument);
    }
}

bool ValueInList(std::span<const std::int32_t> Values, std::int32_t Value, int First, int Last) {
    for (int i = std::max(First, 0); i <= Last && i < static_cast<int>(Values.size()); ++i)
        if (Values[static_cast<std::size_t>(i)] == Value) return true;
    return false;
}

// Skin-change steps

TSkinChangePreparation PrepareFormsForSkinChange(TsSkinManager &Manager) {
    const vcl::TComponentState state = Manager.ComponentState();
    if (ApplicationIconic() || state.Contains(vcl::csDesigning) || state.Contains(vcl::csLoading) ||
        state.Contains(vcl::csReading))
        return {};
    TSkinChangePreparation done{true, false};
    if (ChangeAnimated(Manager) && !ModuleState().FormAnimationActive) {
        ModuleState().FormAnimationActive = true;
        done.FlagRaised = true;
    }
    ForEachSkinnedForm(&Manager, PrepareFormForSkinChange, 0);
    return done;
}

void LockFormsForSkinChange(TsSkinManager &Manager) {
    if (ApplicationIconic()) return;
    if (ChangeAnimated(Manager)) ModuleState().FormAnimationActive = true;
    ForEachSkinnedForm(&Manager, LockFormForSkinChange, 0);
}

void FinishFormsSkinChange(TsSkinManager &Manager, bool Animate) {
    if (ApplicationIconic()) return;
    if (&Manager == DefaultManager()) ModuleState().FormAnimationActive = false;
    ForEachSkinnedForm(&Manager, UnlockFormRedraw, 0);
    ForEachSkinnedForm(&Manager, AnimateSkinChange, Animate ? 1 : 0);
}

void CancelFormsSkinChange(TsSkinManager &Manager, const TSkinChangePreparation &Preparation) {
    if (Preparation.FlagRaised) ModuleState().FormAnimationActive = false;
    if (Preparation.FormsPrepared) ForEachSkinnedForm(&Manager, DropSkinChangeSnapshot, 0);
}

bool ApplicationIconic() {
    vcl::TCustomForm *main = vcl::Application ? vcl::Application->MainForm() : nullptr;
    return main && main->HandleAllocated() && IsIconic(main->WindowHandle());
}

// Module

void InitializeMessagesModule() {
    if (ModuleStarts++ > 0) return;
    ProgramIconsRead = false;
    PostedCommandHook = SetWindowsHookExW(WH_GETMESSAGE, DropPostedArguments, nullptr, GetCurrentThreadId());
}

void FinalizeMessagesModule() {
    if (ModuleStarts == 0 || --ModuleStarts > 0) return;
    if (PostedCommandHook) UnhookWindowsHookEx(std::exchange(PostedCommandHook, nullptr));
    ModuleState().ProgramSmallIcon.reset();
    ModuleState().ProgramLargeIcon.reset();
    ProgramIconsRead = false;
    ModuleState().SkinnedFormRegistry.clear();
}

const vcl::TIcon *ProgramIcon(bool Large) {
    if (ModuleStarts == 0) return nullptr;
    TvlModuleState &state = ModuleState();
    if (!std::exchange(ProgramIconsRead, true)) {
        wchar_t path[MAX_PATH]{};
        const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
        if (n > 0 && n < MAX_PATH) {
            const std::string file = vcl::WideToUtf8(std::wstring_view(path, n));
            state.ProgramSmallIcon = GetFileIcon(file, SHGFI_SMALLICON);
            state.ProgramLargeIcon = GetFileIcon(file, 0);
        }
    }
    return Large ? state.ProgramLargeIcon.get() : state.ProgramSmallIcon.get();
}

} // namespace skin
