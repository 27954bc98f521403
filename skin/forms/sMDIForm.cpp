#include "sMDIForm.h"

#include "sSkinProvider.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sModuleState.h"
#include "skin/manager/sSkinServices.h"
#include "vcl/Bitmap.h"
#include "vcl/Forms.h"

namespace skin {

TsMDIForm::TsMDIForm(TsSkinProvider *AProvider) : Provider(AProvider) {
    Form = AProvider ? AProvider->Form : nullptr;
    if (Form) Form->HandleNeeded();
}

TsMDIForm::~TsMDIForm() { DisconnectClient(); }

void TsMDIForm::ConnectIfNeeded() {
    if (!ClientAdapter) ConnectClient();
}

void TsMDIForm::ConnectClient() {
    if (!Provider || !Form || !Provider->Skinned()) {
        ClientAdapter.reset();
        return;
    }
    ClientAdapter.reset();
    if (!Form->ClientHandle()) return;
    TvlSkinParams params;
    params.SkinSection = "CHECKBOX";
    params.OwnColor = false;
    params.OwnFont = false;
    ClientAdapter = AdapterFactory().CreateMDIClientAdapter(Form->ClientHandle(), params,
                                                            Provider->SkinData()->GetSkinManager(), Provider);
}

void TsMDIForm::RefreshFrame() {
    if (Provider) Provider->InvalidateFrame();
}

void TsMDIForm::DisconnectClient() { ClientAdapter.reset(); }

VCL_CLASS_INFO(TsMDIForm)

// ------------------------------------------------------- the provider's side

bool TsSkinProvider::IsMDIParent() const { return Form && Form->FormStyle() == vcl::fsMDIForm; }

void TsSkinProvider::SetMDIHelper(bool On) {
    if (!On) {
        MDIHelper.reset();
        return;
    }
    if (!IsMDIParent()) return;
    if (MDIHelper) {
        const HWND client = Form->ClientHandle();
        if (!client || !SendSkinQuery(client, SC_IS_HANDLED)) MDIHelper.reset();
    }
    if (MDIHelper) return;
    ModuleState().MDIParentProvider = this;
    MDIHelper = std::make_unique<TsMDIForm>(this);
    MDIHelper->ConnectIfNeeded();
}

bool TsSkinProvider::MDIChildMaximized() const {
    // Counted only once a child was activated through a provider: the
    // parent's menu line then stands for that child's caption buttons.
    if (!FormsState().MDIChildActivator || !IsMDIParent()) return false;
    const vcl::TCustomForm *child = Form->ActiveMDIChild();
    return child && child->WindowState() == vcl::wsMaximized && child->BorderIcons().Contains(vcl::biSystemMenu);
}

bool MDIChildMaximizedWithMenu() {
    const TvlFormProvider *parent = ModuleState().MDIParentProvider;
    const vcl::TCustomForm *form = parent ? parent->ProviderForm() : nullptr;
    if (!form || form->FormStyle() != vcl::fsMDIForm) return false;
    const vcl::TCustomForm *child = form->ActiveMDIChild();
    return child && child->WindowState() == vcl::wsMaximized && child->BorderIcons().Contains(vcl::biSystemMenu) &&
           child->Icon();
}

// ------------------------------------------- the MDI steps of the provider

namespace {

bool Going(const vcl::TComponent *C) { return !C || C->ComponentState().Contains(vcl::csDestroying); }

HWND WindowOf(const vcl::TCustomForm *Form) { return Form && Form->HandleAllocated() ? Form->WindowHandle() : nullptr; }

} // namespace

bool IsMDIChildForm(const vcl::TCustomForm *Form) { return Form && Form->FormStyle() == vcl::fsMDIChild; }

TsSkinProvider *MDIParentSkinProvider() {
    auto *parent = dynamic_cast<TsSkinProvider *>(ModuleState().MDIParentProvider);
    return parent && !Going(parent) && !Going(parent->Form) ? parent : nullptr;
}

void RefreshMDIParent(bool Full) {
    TsSkinProvider *parent = MDIParentSkinProvider();
    if (!parent) return;
    const HWND window = WindowOf(parent->Form);
    if (!window) return;
    if (!parent->DrawNonClientArea()) {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
        return;
    }
    // The frame is made anew, not painted half-way meanwhile; the client's
    // edge comes from it with the client's redraw.
    TsCommonData &data = *parent->SkinData();
    data.LockPaint();
    data.BGChanged = true;
    for (auto &glow : parent->CaptionGlows) glow.reset();
    parent->FrameChanged = true;
    parent->MenuLineCount = -1;
    data.UnlockPaint(false);
    if (const HWND client = parent->Form->ClientHandle())
        RedrawWindow(client, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_FRAME | (Full ? RDW_UPDATENOW : 0));
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
    if (Full && parent->BorderForm) parent->UpdateBorder(false, 255);
}

void MDIChildActivated(TsSkinProvider &Child) {
    if (Child.Skinned()) Child.HookFormMenus(true);
    const TsSkinProvider *parent = MDIParentSkinProvider();
    const vcl::TCustomForm *active = parent ? parent->Form->ActiveMDIChild() : nullptr;
    if (!active) return;
    if (active->WindowState() == vcl::wsMaximized) {
        if (parent->MDIHelper) parent->MDIHelper->RefreshFrame();
    } else {
        Child.SetSysMenuStyle(true);
    }
}

void MDIChildActivation(TsSkinProvider &Child, const vcl::TMessage &Message) {
    if (!IsMDIChildForm(Child.Form)) return;
    TsSkinProvider *parent = MDIParentSkinProvider();
    if (!parent) return;
    // Both children hear of a change; the one activated is the one kept.
    const HWND window = WindowOf(Child.Form);
    if (Message.Msg == WM_MDIACTIVATE && window && reinterpret_cast<HWND>(Message.LParam) == window)
        FormsState().MDIChildActivator = &Child;
    parent->SkinData()->BGChanged = true;
    if (parent->MDIChildMaximized()) {
        // The menu line shows the active child's buttons and icon.
        parent->RepaintFrameNow();
        return;
    }
    parent->MenuSkinned = false;
    parent->FrameChanged = true;
    parent->MenuLineCount = -1;
    if (const HWND parentWindow = WindowOf(parent->Form)) SendMessageW(parentWindow, WM_NCPAINT, 0, 0);
}

void MDIChildProviderGoing(TsSkinProvider &Child) {
    // Cleared first: the parent's frame below must not ask a provider that goes.
    if (FormsState().MDIChildActivator == &Child) FormsState().MDIChildActivator = nullptr;
    if (!IsMDIChildForm(Child.Form)) return;
    TsSkinProvider *parent = MDIParentSkinProvider();
    if (!parent || parent == &Child) return;
    parent->SkinData()->BGChanged = true;
    parent->MenuLineCount = -1;
    if (const HWND window = WindowOf(parent->Form)) SendMessageW(window, WM_NCPAINT, 0, 0);
}

} // namespace skin
