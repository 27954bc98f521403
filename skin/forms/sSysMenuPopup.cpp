#include "sSkinProvider.h"

#include <algorithm>

#include "sSystemMenu.h"
#include "skin/graphics/sMaskData.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sSkinCommands.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/Forms.h"

namespace skin {

namespace {

HWND WindowOf(const vcl::TCustomForm *Form) {
    return Form && Form->HandleAllocated() ? Form->WindowHandle() : nullptr;
}

void EnableSysMenuItem(HMENU Menu, UINT Command, bool Enabled) {
    EnableMenuItem(Menu, Command, MF_BYCOMMAND | (Enabled ? MF_ENABLED : MF_GRAYED | MF_DISABLED));
}

// The flat scroll bars of the common controls, when that library is loaded
// and has them.
template <class F> F CommonControlsProc(const char *Name) {
    const HMODULE library = GetModuleHandleW(L"comctl32.dll");
    return library ? reinterpret_cast<F>(reinterpret_cast<void *>(GetProcAddress(library, Name))) : nullptr;
}

// Removes the skin-selection item and the divider that follows it.
void DeleteSkinItems(vcl::TMenuItem &Root, vcl::TComponent *Owner) {
    auto *list = dynamic_cast<vcl::TMenuItem *>(Owner->FindComponent("SkinSelectItem"));
    if (!list) return;
    const int at = Root.IndexOf(list);
    if (at < 0) {
        delete list;
        return;
    }
    if (at + 1 < Root.Count() && Root.Items(at + 1)->IsLine()) Root.Delete(at + 1);
    Root.Delete(at);
}

} // namespace

void TsSkinProvider::PopupSystemMenu(vcl::TPoint ScreenPoint) {
    const vcl::TGuarded self(this);
    if (!Form) return;
    if (!SystemMenu && !PrepareForm()) return;
    const HWND window = WindowOf(Form);
    if (!SystemMenu || !window || !vcl::Screen) return;
    // The active MDI child of the active form counts as active itself: its
    // menu opens from its caption as a form's of its own does.
    const vcl::TCustomForm *active = vcl::Screen->ActiveForm();
    const bool activeChild = Form->FormStyle() == vcl::fsMDIChild && Form->Active() && active &&
                             active == vcl::MDIParentForm() && active->ActiveMDIChild() == Form;
    if (active != Form && !activeChild) return;

    TsSkinManager *manager = FSkinData->GetSkinManager();
    if (manager && manager->SkinnedPopups()) {
        TsSystemMenu *menu = SystemMenu;
        menu->UpdateItems(false);
        if (FMakeSkinMenu && menu->Items()->Count() > 0) {
            DeleteSkinItems(*menu->Items(), menu);
            menu->MakeSkinItems();
        }
        manager->SkinableMenus().SetMenuOwnerDraw(menu, true);
        const HWND previous = menu->WindowHandle();
        menu->SetWindowHandle(window);
        menu->Popup(ScreenPoint.X, ScreenPoint.Y);
        // The chosen item may have freed the form, and the menu with it.
        if (ProviderServes(self, window)) menu->SetWindowHandle(previous);
        return;
    }

    // The window's own menu, its items set by the skinned menu's rules. The
    // window is taken off the screen's books meanwhile, so that the changes
    // repaint nothing.
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    SetWindowLongPtrW(window, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_VISIBLE));
    const HMENU native = GetSystemMenu(window, FALSE);
    if (native) {
        EnableSysMenuItem(native, SC_RESTORE, SystemMenu->EnabledRestore());
        EnableSysMenuItem(native, SC_MOVE, Form->WindowState() != vcl::wsMaximized);
        EnableSysMenuItem(native, SC_SIZE, Form->BorderStyle() != vcl::bsSingle && !IsIconic(window));
        EnableSysMenuItem(native, SC_MINIMIZE, SystemMenu->EnabledMin());
        EnableSysMenuItem(native, SC_MAXIMIZE, SystemMenu->EnabledMax());
        EnableSysMenuItem(native, SC_CLOSE, NativeCloseEnabled(window));
    }
    SetWindowLongPtrW(window, GWL_STYLE, GetWindowLongPtrW(window, GWL_STYLE) | (style & WS_VISIBLE));
    if (!native) return;
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenu(native, TPM_RETURNCMD | TPM_RIGHTBUTTON, ScreenPoint.X, ScreenPoint.Y, 0, window, nullptr));
    // Posted: the command runs once the menu's loop is over.
    if (chosen != 0) PostMessageW(window, WM_SYSCOMMAND, chosen, 0);
}

vcl::TPoint TsSkinProvider::GetFormOrigin() const {
    const HWND window = WindowOf(Form);
    RECT r{};
    if (!window || !GetWindowRect(window, &r)) return Form ? vcl::TPoint{Form->Left(), Form->Top()} : vcl::TPoint{};
    // With a border form the frame image (and its caption buttons' places)
    // starts the shadow margins and the skin frame's excess further out.
    const vcl::TPoint offset = WindowToFrameOffset();
    return {r.left - offset.X, r.top - offset.Y};
}

vcl::TPoint TsSkinProvider::ScreenToWindowPoint(int X, int Y) const {
    const vcl::TPoint origin = GetFormOrigin();
    return {X - origin.X, Y - origin.Y};
}

void TsSkinProvider::UpdateFormScrollBars() {
    const HWND window = WindowOf(Form);
    if (!window || ComponentState().Contains(vcl::csDestroying) || (StateFlags & pfScrollAdapterUpdate)) return;
    StateFlags |= pfScrollAdapterUpdate;
    if (Skinned()) {
        using TUninitialize = HRESULT(WINAPI *)(HWND);
        if (auto uninitialize = CommonControlsProc<TUninitialize>("UninitializeFlatSB"))
            uninitialize(window);
        if (FormScrollAdapter && FormScrollAdapter->Destroyed()) FormScrollAdapter.reset();
        if (!FormScrollAdapter) {
            TvlSkinParams params;
            params.Control = Form;
            FormScrollAdapter =
                AdapterFactory().CreateScrollAdapter(window, params, FSkinData->GetSkinManager(), FSkinData.get());
        }
    } else {
        FormScrollAdapter.reset();
        using TInitialize = BOOL(WINAPI *)(HWND);
        if (auto initialize = CommonControlsProc<TInitialize>("InitializeFlatSB")) initialize(window);
    }
    StateFlags &= ~pfScrollAdapterUpdate;
}

vcl::TColor TsSkinProvider::GetFormColor() const {
    if (Skinned() && !FSkinData->CustomColor()) {
        const TsSkinManager *manager = FSkinData->GetSkinManager();
        const TsGeneralData &section = manager->Sections[static_cast<std::size_t>(FSkinData->SkinIndex())];
        const int states = std::min<int>(section.States, static_cast<int>(section.Props.size()));
        return section.Props[static_cast<std::size_t>(ClampStateIndex(FormActive, states))].Color;
    }
    return Form ? vcl::ColorToRGB(Form->Color()) : vcl::clBtnFace;
}

TsSkinProvider *FindFormProvider(vcl::TComponent *Component) {
    vcl::TComponent *c = Component;
    while (c && !dynamic_cast<vcl::TCustomForm *>(c)) c = c->Owner();
    auto *form = static_cast<vcl::TCustomForm *>(c);
    if (!form) return nullptr;
    const LRESULT answer = form->Perform(SM_SKINCOMMAND, SkinCommand(SC_QUERY_FORM_PROVIDER), 0);
    return dynamic_cast<TsSkinProvider *>(reinterpret_cast<TvlFormProvider *>(answer));
}

bool ProviderServes(const vcl::TGuarded<TsSkinProvider> &Provider, HWND Window) {
    return ProviderServes(vcl::TGuarded<TvlFormProvider>(Provider.Get()), Window);
}

} // namespace skin
