#include "sSkinProvider.h"

#include <algorithm>

#include "skin/graphics/sMaskData.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/manager/sCommandTable.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/sVclUtils.h"
#include "vcl/Bitmap.h"
#include "vcl/Forms.h"
#include "vcl/Menus.h"
#include "vcl/StdCtrls.h"
#include "sMDIForm.h"
#include "vlCtrlAdapter.h"
#include "vlDwmServices.h"

namespace skin {

namespace {

TvlFormProvider *AsFormProvider(TsSkinProvider *Provider) { return Provider; }

bool FormDestroying(const vcl::TCustomForm *Form) {
    return !Form || Form->ComponentState().Contains(vcl::csDestroying);
}

// Every label on the form that the control adapter accepts takes the
// skin's colours.
void SkinFormLabels(TsSkinProvider &Provider) {
    ForEachChildControl(Provider.Form, reinterpret_cast<std::intptr_t>(&Provider),
                        [](vcl::TControl *Control, std::intptr_t Argument) {
                            auto &provider = *reinterpret_cast<TsSkinProvider *>(Argument);
                            auto *label = dynamic_cast<vcl::TLabel *>(Control);
                            if (label && provider.ControlAdapter->AcceptControl(label)) provider.SkinLabel(label, true);
                        });
}

// Every label on the form gets its own colours back.
void UnskinFormLabels(TsSkinProvider &Provider) {
    ForEachChildControl(Provider.Form, reinterpret_cast<std::intptr_t>(&Provider),
                        [](vcl::TControl *Control, std::intptr_t Argument) {
                            if (auto *label = dynamic_cast<vcl::TCustomLabel *>(Control))
                                reinterpret_cast<TsSkinProvider *>(Argument)->SkinLabel(label, false);
                        });
}

} // namespace

bool TsSkinProvider::PreSkinCommand(vcl::TMessage &Message) {
    TsSkinManager *manager = FSkinData ? FSkinData->GetSkinManager() : nullptr;
    const bool fromManager = manager && reinterpret_cast<TsSkinManager *>(Message.LParam) == manager;
    switch (SubCommandOf(Message.WParam)) {
    case SC_SKIN_APPLIED:
        if (!FormDestroying(Form) && FSkinData && fromManager && !SystemMenu) {
            // The form's colour change reaches the application, which may
            // free this provider: the form hears the news as it is then.
            const TvlFormOwnHandling own(*this);
            PrepareForm();
            if (own.ProviderGone(Message)) return true;
        }
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
        if (auto *query = CommandRecord<TvlBgQuery>(Message)) AnswerBgQuery(*query);
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
        if (const vcl::TGuarded alive(this); !RenderFrame() && !alive) break;
        if (data.BGChanged && (Form->FormState().Contains(vcl::fsCreating) || (StateFlags & pfBlendOnMoving) ||
                               (StateFlags & pfSnapshotTaken) || data.SkinIndex() < 0))
            data.BGChanged = false;
        break;
    case SC_REFRESH_GRAPHIC_CONTROL: {
        if (!window || Form->ComponentState().Contains(vcl::csLoading) || !ControlAdapter ||
            !CommandArgumentIsOurs(Message))
            break;
        auto *control = reinterpret_cast<vcl::TControl *>(Message.LParam);
        // The application's events about the control may free this provider.
        const vcl::TGuarded self(this);
        if (!control) {
            ControlAdapter->AdaptControls(nullptr);
        } else if (auto *windowed = dynamic_cast<vcl::TWinControl *>(control)) {
            if (ControlAdapter->AcceptControl(windowed) && !ControlAdapter->AddNewItem(windowed, {})) break;
            if (self && ControlAdapter) ControlAdapter->AdaptControls(windowed);
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
            // The repaint runs the form's painting.
            const vcl::TGuarded self(this);
            SendMessageW(window, WM_SETREDRAW, TRUE, 0);
            RedrawWindow(window, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
            if (!ProviderServes(self, window)) break;
            if (ModuleState().MDIParentProvider == this && Form->ClientHandle())
                RedrawWindow(Form->ClientHandle(), nullptr, nullptr,
                             RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
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
        auto *query = CommandRecord<TvlSectionQuery>(Message);
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
        // An iconic window has no client area to measure its frame by (half
        // its width would come out): the width asked with stands.
        if (Form->HandleAllocated() && IsIconic(Form->WindowHandle()))
            width = 0;
        else if (FormScrollAdapter && FormScrollAdapter->LeftFrameWidth() >= 0)
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
    if (!Form->Visible() || !Form->HandleAllocated() || !LayeredWindowsAvailable()) return;
    const HWND window = Form->WindowHandle();
    const auto alpha = static_cast<std::uint8_t>(Alpha & 0xFF);
    // The frame the user sees is the border's: it blends with the form.
    if (const HWND border = BorderWindow())
        if (vcl::TBitmap *image = FSkinData->CacheBmp(); image && !image->Empty())
            FormAnimations().ShowLayeredBitmap(border, image, alpha);
    const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    if (Alpha != 255) {
        if (!(exStyle & WS_EX_LAYERED)) SetWindowLongPtrW(window, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
        if (const auto set = LayeredWindowFunctions().SetLayeredWindowAttributes) set(window, 0x1FFFFFFF, alpha, LWA_ALPHA);
    } else if (exStyle & WS_EX_LAYERED) {
        SetWindowLongPtrW(window, GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
    }
}

void TsSkinProvider::RemoveSkinFromForm(vcl::TMessage &Message) {
    // The children's news, the colour's change, the border's end and the
    // repaint run the application's code, which may free this provider.
    const vcl::TGuarded self(this);
    TsSkinManager *manager = FSkinData->GetSkinManager();
    FormScrollAdapter.reset();
    if (Form->HandleAllocated()) SetNcRenderingPolicy(Form->WindowHandle(), ncrpUseWindowStyle);
    CommonWndProc(Message, FSkinData.get());
    MenuLineCount = -1;
    TitleSkinIndex = -1;
    CaptionSkinIndex = -1;
    IsSkinned = false;
    // The veil is the skin's look of a disabled form: an unskinned form
    // hears neither its moves nor its enable (its own procedure takes
    // them), so a veil left would stay where it was. The skin's return lays
    // it again.
    StateFlags &= ~pfDisabled;
    RemoveDisabledVeil();
    // A hide's picture kept while the skin goes (a hide before a show whose
    // OnShow turned the skin off) is not ended by the unskinned show: it
    // would hold back the frame of the next skin.
    StateFlags &= ~pfSnapshotTaken;
    HideCover.reset();
    BroadcastToChildControls(Form, Message);
    if (!self) return;
    RemoveSkin(Message);
    if (!self) return;
    if (manager) manager->SkinableMenus().ClearMenuBackgrounds();
    if (!FormDestroying(Form) && manager) {
        HookFormMenus(false);
        if (!self) return;
        // The bar's items measured again without the skin, also where they
        // stay owner-drawn (the application's own drawing). (Not through
        // RebuildMainMenu: a second hand-back would lose the owner drawing
        // the first gave back.)
        if (vcl::TMainMenu *menu = Form->Menu()) menu->ItemsChanged();
        if (!self || !SetSysMenuStyle(false)) return;
        const HWND window = Form->HandleAllocated() ? Form->WindowHandle() : nullptr;
        // The region's redraw paints the form and its MDI client.
        if (window && GetCaptionHeight(false) > 0 && !ModuleState().FormAnimationActive)
            SetWindowRgn(window, nullptr, TRUE);
        if (!self) return;
        if (FUseGlobalColor && !FSkinData->CustomColor()) Form->SetColor(vcl::clBtnFace);
        if (!self) return;
        // The MDI client's adapter gives its window back, whose procedure is
        // the application's.
        SetMDIHelper(false);
        if (!self) return;
        UpdateExtBorders(false);
        if (!self) return;
        // The form itself: a null window here would repaint the whole desktop.
        if (window)
            RedrawWindow(window, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        if (!self) return;
    }
    if (!FormDestroying(Form)) UnskinFormLabels(*this);
    // Records of labels that left the form meanwhile are dropped unread.
    LabelRecords.clear();
    FSkinData->ShrinkCache();
}

void TsSkinProvider::AnswerBgQuery(TvlBgQuery &Query) {
    TsCommonData &data = *FSkinData;
    // The asker's piece is placed by the answer: X and Y start at the
    // client area's origin in the frame image.
    Query.X = 0;
    Query.Y = 0;
    // The render runs the form's own painting, which may free this provider:
    // the asker then has no answer.
    const vcl::TGuarded alive(this);
    if ((data.BGChanged || CacheStale()) && (!data.PaintLocked || InShowAnimation) && data.CanUseCache()) RenderFrame();
    if (!alive) return;
    const int offsetX = GetClientOffsetX();
    const int offsetY = GetClientOffsetY();
    if (Query.PaintIntoDC) {
        Query.X += offsetX;
        Query.Y += offsetY;
    }
    if (Form->OnPaint) {
        Query.Image = data.CacheBmp();
        Query.X = offsetX;
        Query.Y = offsetY;
        Query.Kind = bqImage;
        return;
    }
    int state = 0;
    if (const TsSkinManager *manager = data.GetSkinManager(); manager && manager->IsValidSectionIndex(data.SkinIndex()))
        state = std::max(0, std::min<int>(FormActive, manager->Sections[static_cast<std::size_t>(data.SkinIndex())].States - 1));
    if (!data.CopyParentBackground(Query, state)) return;
    if (Query.Kind == bqImage && !Query.PaintIntoDC && !Query.Image) {
        RenderFrame();
        if (!alive) {
            Query.Kind = bqNone;
            return;
        }
        Query.Image = data.CacheBmp();
    }
    // What the form painted into the DC was read at the client area's
    // place; an image answer tells the asker that place instead.
    if (!Query.PaintIntoDC) {
        Query.X += offsetX;
        Query.Y += offsetY;
    }
    if (offsetX != 0) Query.Rect.Left = std::max(0, Query.Rect.Left - offsetX);
    if (offsetY != 0) Query.Rect.Top = std::max(0, Query.Rect.Top - offsetY);
}

void TsSkinProvider::ApplySkinToUnskinnedForm() {
    // The menus' rebuild, the colour's change and the children's adapters
    // run the application's code, which may free this provider.
    const vcl::TGuarded self(this);
    TsSkinManager *manager = FSkinData->GetSkinManager();
    if (manager) manager->SkinableMenus().ClearMenuBackgrounds();
    FSkinData->UpdateIndexes(true);
    TitleSkinIndex = -1;
    UpdateHeaderIndexes();
    if (manager) {
        // TallCaption stays False: set for a maximized bordered form whose skin
        // caption is taller, it moves the border window 4 pixels higher while
        // the frame image keeps its client area where it was (the client
        // offset does not follow it), and the image stands 4 pixels off.
        TallCaption = false;
        if (!SetSysMenuStyle(true)) return;
        UpdateIconMasks();
        // The frame of an application that is active shows so at once.
        if (IsMDIParent() && vcl::Screen)
            if (const vcl::TCustomForm *active = vcl::Screen->ActiveForm();
                active && (active == Form || active == Form->ActiveMDIChild()) && Form->ActiveMDIChild())
                FormActive = 1;
        if (!manager->ComponentState().Contains(vcl::csLoading)) {
            HookFormMenus(true);
            if (!self) return;
            if (ControlAdapter) SkinFormLabels(*this);
            if (!self) return;
        }
        FSkinData->BGChanged = true;
        FrameChanged = true;
        MenuLineCount = -1;
        SetMDIHelper(true);
        PrepareTitleBarItems();
        // The removal took the region away: the next frame output sets it.
        RegionChanged = true;
        if (FUseGlobalColor && !FSkinData->CustomColor()) Form->SetColor(manager->GetMainColor());
        if (!self) return;
        if (Form->HandleAllocated())
            SetNcRenderingPolicy(Form->WindowHandle(), FDrawNonClientArea ? ncrpDisabled : ncrpUseWindowStyle);
    }
    if (ControlAdapter ? !ControlAdapter->AdaptControls(nullptr) : !CreateControlAdapter()) return;
    IsSkinned = Skinned();
}

void TsSkinProvider::ApplySkinToSkinnedForm() {
    TsSkinManager *manager = FSkinData->GetSkinManager();
    if (manager) manager->SkinableMenus().ClearMenuBackgrounds();
    FSkinData->UpdateIndexes(true);
    TitleSkinIndex = -1;
    UpdateHeaderIndexes();
    if (ButtonsBackup) ButtonsBackup->SetSize(0, 0);
    if (!manager) return;
    UpdateIconMasks();
    if (!SetSysMenuStyle(true)) return;
    manager->SkinableMenus().ApplyToAllForms();
    FSkinData->BGChanged = true;
    MenuLineCount = -1;
    PrepareTitleBarItems();
    // The frame's paint runs the application's painting, which may free
    // this provider.
    const vcl::TGuarded self(this);
    if (Form->HandleAllocated()) PerformFormProc(WM_NCPAINT, 0, 0);
    if (self) SetMDIHelper(true);
}

void TsSkinProvider::RefreshSkin(vcl::TMessage &Message) {
    // The menu's rebuild and its hook (CM_MENUCHANGED), the repaints and the
    // colour change (CM_COLORCHANGED) below run the application's code,
    // which may free this provider.
    const vcl::TGuarded self(this);
    TsSkinManager *manager = FSkinData->GetSkinManager();
    if (ControlAdapter ? !ControlAdapter->AdaptControls(nullptr) : !CreateControlAdapter()) return;
    if (FDrawNonClientArea && FDrawClientArea) UpdateFormScrollBars();
    if (Form->Parent()) FSkinData->SetBGFlags(FSkinData->BGFlags() & ~bgfParentBackground);
    MenuLineCount = -1;
    if (manager && !manager->ComponentState().Contains(vcl::csLoading)) {
        // The bar's items measured and drawn again with what the skin now gives.
        RebuildMainMenu();
        if (!self) return;
        if (Skinned()) HookFormMenus(true);
        if (!self) return;
    }
    if (HasFrame()) RegionChanged = true;
    PrepareTitleBarItems();
    // A form still disabled when the skin comes (back) is veiled as its
    // disable would have veiled it; a hidden one gets it with its show.
    if (FDrawNonClientArea && FDisabledBlendValue < 255 && Form->HandleAllocated() && !Form->Enabled())
        StateFlags |= pfDisabled;
    if (!Form->Visible()) {
        // Its holders watched already: a form inside another hears nothing
        // of their shows.
        if (StateFlags & pfDisabled) UpdateDisabledVeil();
        return;
    }
    FSkinData->BGChanged = true;
    UpdateExtBorders(manager && manager->GetExtendedBorders());
    if (!self) return;
    if (!ModuleState().FormAnimationActive && Form->HandleAllocated()) {
        if (const vcl::TCustomForm *child = Form->ActiveMDIChild(); child && ActiveChildMaximized(Form)) {
            // The child's caption is the parent's menu line.
            PerformFormProc(WM_NCPAINT, 0, 0);
            if (self && child->HandleAllocated()) InvalidateRect(child->WindowHandle(), nullptr, TRUE);
        } else {
            constexpr UINT flags = RDW_INVALIDATE | RDW_ERASE | RDW_NOCHILDREN | RDW_UPDATENOW | RDW_FRAME;
            RedrawWindow(Form->WindowHandle(), nullptr, nullptr, flags);
            if (const HWND client = self ? Form->ClientHandle() : nullptr)
                RedrawWindow(client, nullptr, nullptr, flags);
        }
        if (!self) return;
    }
    if (manager && FUseGlobalColor && !FSkinData->CustomColor()) {
        Form->SetColor(manager->GetMainColor());
        if (!self) return;
    }
    FSkinData->PaintLocked = false;
    if (MDIHelper) MDIHelper->ConnectIfNeeded();
    if (ControlAdapter) ControlAdapter->PassMessage(Message);
    if (!self) return;
    // The border's update in UpdateExtBorders is skipped while the frame
    // is held back; the hold is off now.
    UpdateBorder(false, 255);
    // The veil covers the border as it is now.
    if (self && (StateFlags & pfDisabled)) UpdateDisabledVeil();
}

} // namespace skin
