#include "sMDIForm.h"

#include "sSkinProvider.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sModuleState.h"
#include "skin/manager/sSkinServices.h"
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

bool MDIChildMaximizedWithMenu() {
    const TvlFormProvider *parent = ModuleState().MDIParentProvider;
    const vcl::TCustomForm *form = parent ? parent->ProviderForm() : nullptr;
    if (!form || form->FormStyle() != vcl::fsMDIForm) return false;
    const vcl::TCustomForm *child = form->ActiveMDIChild();
    return child && child->WindowState() == vcl::wsMaximized && child->BorderIcons().Contains(vcl::biSystemMenu) &&
           child->Icon();
}

} // namespace skin
