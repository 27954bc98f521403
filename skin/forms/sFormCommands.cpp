#include "sSkinProvider.h"

#include <algorithm>

#include "skin/graphics/sMaskData.h"
#include "skin/manager/sCommandTable.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/Bitmap.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"
#include "vlCtrlAdapter.h"

namespace skin {

namespace {

TvlFormProvider *AsFormProvider(TsSkinProvider *Provider) { return Provider; }

bool FormDestroying(const vcl::TCustomForm *Form) {
    return !Form || Form->ComponentState().Contains(vcl::csDestroying);
}

} // namespace

bool TsSkinProvider::PreSkinCommand(vcl::TMessage &Message) {
    TsSkinManager *manager = FSkinData ? FSkinData->GetSkinManager() : nullptr;
    const bool fromManager = manager && reinterpret_cast<TsSkinManager *>(Message.LParam) == manager;
    switch (SubCommandOf(Message.WParam)) {
    case SC_SKIN_APPLIED:
        if (!FormDestroying(Form) && FSkinData && fromManager && !SystemMenu) PrepareForm();
        return false;
    case SC_SKIN_REMOVED:
        if (fromManager)
            RemoveSkinFromForm(Message);
        else if (Form)
            BroadcastToChildControls(Form, Message);
        return true;
    case SC_IS_HANDLED: Message.Result = 1; return true;
    case SC_UPDATE_ENDED:
        if (FSkinData && (FSkinData->BGFlags() & bgfMenuChangePending)) {
            FSkinData->SetBGFlags(FSkinData->BGFlags() & ~bgfMenuChangePending);
            Form->Perform(vcl::CM_MENUCHANGED, 0, 0);
        }
        return false;
    case SC_GET_BG_INFO:
        if (!Skinned()) return false;
        if (auto *query = reinterpret_cast<TvlBgQuery *>(Message.LParam)) AnswerBgQuery(*query);
        Message.Result = 1;
        return true;
    case SC_QUERY_BG_FLAGS:
        if (FSkinData->BGFlags() & bgfUndetermined) FSkinData->UpdateTransparency(false);
        Message.Result = FSkinData->BGFlags();
        return true;
    case SC_GET_APPLICATION: Message.Result = reinterpret_cast<LRESULT>(vcl::Application); return true;
    case SC_GET_CLIENT_OFFSET:
        Message.Result = static_cast<LRESULT>(static_cast<std::uint32_t>(MAKELONG(GetClientOffsetX(), GetClientOffsetY())));
        return true;
    default: return false;
    }
}

bool TsSkinProvider::SkinCommandUnskinned(vcl::TMessage &Message) {
    switch (SubCommandOf(Message.WParam)) {
    case SC_SKIN_APPLIED:
        if (FormDestroying(Form) || !FSkinData) return false;
        if (reinterpret_cast<TsSkinManager *>(Message.LParam) == FSkinData->GetSkinManager()) ApplySkinToUnskinnedForm();
        return true;
    case SC_QUERY_FORM_PROVIDER: Message.Result = reinterpret_cast<LRESULT>(AsFormProvider(this)); return true;
    case SC_BUILD_CACHE: FSkinData->BGChanged = false; return true;
    default: return false;
    }
}

void TsSkinProvider::SMSkinCommand(vcl::TMessage &Message) {
    TsCommonData &data = *FSkinData;
    TsSkinManager *manager = data.GetSkinManager();
    const bool fromManager = manager && reinterpret_cast<TsSkinManager *>(Message.LParam) == manager;
    const HWND window = Form->HandleAllocated() ? Form->WindowHandle() : nullptr;
    switch (SubCommandOf(Message.WParam)) {
    case SC_SKIN_APPLIED:
        if (fromManager) ApplySkinToSkinnedForm();
        break;
    case SC_SKIN_REFRESH:
        if (fromManager) RefreshSkin(Message);
        break;
    case SC_QUERY_FORM_PROVIDER: Message.Result = reinterpret_cast<LRESULT>(AsFormProvider(this)); break;
    case SC_PARENT_UPDATE_DONE:
        if (data.PaintLocked) {
            data.PaintLocked = false;
            if (window) RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
        }
        break;
    case SC_SET_UPDATING:
        data.PaintLocked = Message.WParamLo() == 1;
        if (data.IsPaintLocked()) data.BGChanged = true;
        break;
    case SC_IS_UPDATING: Message.Result = !ModuleState().FormAnimationActive && data.PaintLocked ? 1 : 0; break;
    case SC_INVALIDATE_CACHE: data.BGChanged = true; break;
    case SC_QUERY_PARENT_REDRAW: {
        if (!Skinned()) break;
        const TsGeneralData &section = manager->Sections[static_cast<std::size_t>(data.SkinIndex())];
        if (section.Props[0].ImagePercent + section.Props[0].GradientPercent >= 1) {
            Message.Result = 1;
        } else if (manager->IsValidMaskIndex(section.BorderMask)) {
            const TsMaskData &mask = manager->Masks[static_cast<std::size_t>(section.BorderMask)];
            Message.Result = (mask.DrawMode & dmDrawCenter) ? 1 : 0;
        }
        break;
    }
    case SC_GET_BG_COLOR: Message.Result = static_cast<LRESULT>(data.GetBackColor(0)); break;
    case SC_BUILD_CACHE:
        if (ModuleState().SkinIsLoading || !data.BGChanged) break;
        RenderFrame();
        if (data.BGChanged && (Form->FormState().Contains(vcl::fsCreating) || (StateFlags & pfBlendOnMoving) ||
                               (StateFlags & pfSnapshotTaken) || data.SkinIndex() < 0))
            data.BGChanged = false;
        break;
    case SC_REFRESH_GRAPHIC_CONTROL: {
        if (!window || Form->ComponentState().Contains(vcl::csLoading) || !ControlAdapter) break;
        auto *control = reinterpret_cast<vcl::TControl *>(Message.LParam);
        if (!control) {
            ControlAdapter->AdaptControls(nullptr);
        } else if (auto *windowed = dynamic_cast<vcl::TWinControl *>(control)) {
            if (ControlAdapter->AcceptControl(windowed)) ControlAdapter->AddNewItem(windowed, {});
            ControlAdapter->AdaptControls(windowed);
        } else if (auto *label = dynamic_cast<vcl::TCustomLabel *>(control);
                   label && ControlAdapter->AcceptControl(label)) {
            SkinLabel(label, true);
        }
        break;
    }
    case SC_MOUSE_LEFT:
        SetHotButton(-1, true);
        FormsState().FormButtonPressed = false;
        break;
    case SC_SCROLL_BEGIN:
        if (window && data.UsesParentBackground()) SendMessageW(window, WM_SETREDRAW, FALSE, 0);
        break;
    case SC_SCROLL_END:
        if (window && data.UsesParentBackground()) {
            SendMessageW(window, WM_SETREDRAW, TRUE, 0);
            RedrawWindow(window, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        }
        break;
    case SC_CAPTION_CHANGED:
        if (Message.LParam == 1) data.BGChanged = true;
        RepaintFrameNow();
        break;
    case SC_SET_GLUED_MOVE:
        if (Message.LParam == 1)
            StateFlags |= pfGluedMove;
        else
            StateFlags &= ~pfGluedMove;
        break;
    case SC_IS_GLUED_MOVE: Message.Result = (StateFlags & pfGluedMove) ? 1 : 0; break;
    case SC_SET_FORM_ALPHA: SetFormAlpha(static_cast<int>(Message.LParam)); break;
    case SC_GET_BG_SECTION: {
        auto *query = reinterpret_cast<TvlSectionQuery *>(Message.LParam);
        if (!query || !manager) break;
        if (FFormHeader->Present() && query->Bounds.Top < FFormHeader->AdditionalHeight()) {
            query->SectionIndex = HeaderSkinIndex;
            Message.Result = 1;
        } else if (Skinned() && manager->Sections[static_cast<std::size_t>(data.SkinIndex())].GiveOwnFont) {
            query->SectionIndex = data.SkinIndex();
            Message.Result = 1;
        }
        break;
    }
    case SC_GET_BORDER_WIDTH: {
        int width = -1;
        if (FormScrollAdapter && FormScrollAdapter->LeftFrameWidth() >= 0)
            width = FormScrollAdapter->LeftFrameWidth() - Form->BorderWidth();
        else
            width = (Form->Width() - Form->ClientWidth()) / 2 - Form->BorderWidth();
        Message.Result = width == 0 ? Message.LParam : width;
        break;
    }
    default: Message.Result = 0; break;
    }
}

void TsSkinProvider::SetFormAlpha(int Alpha) {
    if (!Form->Visible() || !Form->HandleAllocated()) return;
    const HWND window = Form->WindowHandle();
    const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    if (Alpha != 255) {
        if (!(exStyle & WS_EX_LAYERED)) SetWindowLongPtrW(window, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
        SetLayeredWindowAttributes(window, 0x1FFFFFFF, static_cast<BYTE>(Alpha & 0xFF), LWA_ALPHA);
    } else if (exStyle & WS_EX_LAYERED) {
        SetWindowLongPtrW(window, GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
    }
}

void TsSkinProvider::RemoveSkinFromForm(vcl::TMessage &Message) {
    // PENDING: sFormCommands
    (void)Message;
}

void TsSkinProvider::AnswerBgQuery(TvlBgQuery &Query) {
    // PENDING: sFormCommands
    (void)Query;
}

void TsSkinProvider::ApplySkinToUnskinnedForm() {
    // PENDING: sFormCommands
}

void TsSkinProvider::ApplySkinToSkinnedForm() {
    // PENDING: sFormCommands
}

void TsSkinProvider::RefreshSkin(vcl::TMessage &Message) {
    // PENDING: sFormCommands
    (void)Message;
}

} // namespace skin
