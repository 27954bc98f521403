#include "sSkinProvider.h"

#include "sMDIForm.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "sMDIForm.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sPushedSkin.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/Bitmap.h"
#include "vcl/Forms.h"
#include "vcl/Menus.h"
#include "vlCtrlAdapter.h"
#include "vlMinimizeAnimation.h"

namespace skin {

namespace {

// The skin editor's messages to and from the form.
constexpr UINT EditorLinkMessage = 0xA400;
constexpr WPARAM EditorCloseForm = 1;
constexpr WPARAM EditorAnnounce = 3;
constexpr WPARAM EditorAreYouAlive = 4;
constexpr WPARAM EditorPushSkin = 7;  // WM_COPYDATA's WParam
constexpr const char *EditorCaption = "Glimmoras Editor";
constexpr int EditorAnnounceTries = 101;

HWND WindowOf(const vcl::TCustomForm *Form) {
    return Form && Form->HandleAllocated() ? Form->WindowHandle() : nullptr;
}

bool Loading(const vcl::TComponent *Component) {
    return Component && Component->ComponentState().Contains(vcl::csLoading);
}

// Every child control re-checks whether its background is its parent's.
void RecheckChildBackgrounds(vcl::TWinControl *Parent) {
    BroadcastToChildControls(Parent, {SM_SKINCOMMAND, SkinCommand(SC_QUERY_BG_FLAGS), 1, 0});
}

} // namespace

void TsSkinProvider::WMQueryEndSession(vcl::TMessage &Message) {
    // State changes repaint at once from now on. Nothing in this program
    // keeps work running that the end of the session would have to wait for.
    ModuleState().SessionEnding = true;
    SavedWndProc(Message);
}

void TsSkinProvider::WMInitMenuPopup(vcl::TMessage &Message) {
    TsSkinManager *manager = FSkinData->GetSkinManager();
    if (!manager || !manager->SkinnedPopups()) {
        Message.Result = 0;
        return;
    }
    if (Message.LParamHi() != 0)
        EnableMenuItem(reinterpret_cast<HMENU>(Message.WParam), SC_SIZE, MF_BYCOMMAND | MF_GRAYED);
    // Set, not cleared: the system measures a menu's owner-drawn items only
    // the first time it shows that menu, so a drop-down of the bar or a
    // submenu shown again would find the flag cleared by the last menu
    // window that went, and its window would keep the system's frame.
    manager->SkinableMenus().PopupInitialised();
    if (FillWindowMenu(reinterpret_cast<HMENU>(Message.WParam))) {
        Message.Result = 0;
        return;
    }
    SavedWndProc(Message);
}

namespace {

constexpr int WindowListTag = 0x200;
constexpr UINT FirstMDIChildID = 0xFF00;  // the client's first child identifier

} // namespace

bool TsSkinProvider::FillWindowMenu(HMENU Popup) {
    vcl::TMenuItem *windows = Form->WindowMenu();
    if (!windows) return false;
    vcl::TMainMenu *menu = Form->Menu();
    const bool ours = menu && Popup && menu->PopupOf(windows) == Popup;
    // The list made for the last opening goes first (the bar's popups may
    // be made anew with it).
    for (int i = windows->Count() - 1; i >= 0; --i)
        if (windows->Items(i)->Tag() & WindowListTag) delete windows->Items(i);
    if (!ours || !IsMDIParent() || Form->MDIChildCount() == 0) return false;
    // (The window menu's items are not brought up to date first: a menu
    // item of our class library has no action or update event to run.)
    const auto add = [&](const std::string &Caption, int Tag) {
        auto *item = vcl::Create<vcl::TMenuItem>(windows);
        item->SetCaption(Caption);
        item->SetTag(Tag);
        windows->Add(item);
        return item;
    };
    if (windows->Count() == 0 || windows->Items(windows->Count() - 1)->Caption() != "-") add("-", WindowListTag);
    const vcl::TCustomForm *active = Form->ActiveMDIChild();
    for (int i = 0; i < Form->MDIChildCount(); ++i) {
        vcl::TCustomForm *child = Form->MDIChildren(i);
        if (!child->Visible()) continue;
        vcl::TMenuItem *item = add(child->Caption(), WindowListTag + i);
        item->SetChecked(child == active);
        item->OnClick = vcl::TNotifyEvent::Bind<&TsSkinProvider::WindowListClick>(this);
    }
    // The system lists the children in the popup the bar made last: that
    // list and its separator (entries that carry no item of the menu) go,
    // the items above stand for them.
    if (const HMENU popup = menu->PopupOf(windows))
        for (int i = GetMenuItemCount(popup) - 1; i >= 0; --i) {
            MENUITEMINFOW info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_ID | MIIM_DATA | MIIM_SUBMENU;
            if (!GetMenuItemInfoW(popup, static_cast<UINT>(i), TRUE, &info) || info.dwItemData || info.hSubMenu)
                continue;
            if (info.wID >= FirstMDIChildID || info.wID == 0) RemoveMenu(popup, static_cast<UINT>(i), MF_BYPOSITION);
        }
    return true;
}

void TsSkinProvider::WindowListClick(vcl::TObject *Sender) {
    const auto *item = dynamic_cast<const vcl::TMenuItem *>(Sender);
    const int index = item ? item->Tag() - WindowListTag : -1;
    if (index < 0 || index >= Form->MDIChildCount() || !Form->ClientHandle()) return;
    if (const HWND child = WindowOf(Form->MDIChildren(index)))
        SendMessageW(Form->ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child), 0);
}

void TsSkinProvider::WMEnterMenuLoop(vcl::TMessage &Message) {
    InSizeMove = true;
    if (!MDIIconsShown && MDIChildMaximized()) ShowMDIIcons();
    SavedWndProc(Message);
}

void TsSkinProvider::WMExitMenuLoop(vcl::TMessage &Message) {
    InSizeMove = false;
    MDIIconsShown = false;
    FormsState().MDIIcons.reset();
    SavedWndProc(Message);
}

// Forms of this class library carry no popup menu of their own.
void TsSkinProvider::WMContextMenu(vcl::TMessage &Message) { SavedWndProc(Message); }

// The form's own procedure measures its main menu's items, through the
// handlers that the menu support hooks into them (an MDI parent's merged
// items too); the parent stays the one registered as it is.
void TsSkinProvider::WMMeasureItem(vcl::TMessage &Message) { SavedWndProc(Message); }

void TsSkinProvider::WMSetText(vcl::TMessage &Message) {
    const HWND window = WindowOf(Form);
    // The old text's glow goes whether or not the form shows: one of the
    // same size would otherwise lie under the new text at the next render.
    for (auto &glow : CaptionGlows) glow.reset();
    if (!window || !Form->Visible() || Form->FormState().Contains(vcl::fsCreating) || !FDrawNonClientArea) {
        SavedWndProc(Message);
        return;
    }
    // A maximized child's text stands in its parent's caption, which the
    // system writes there without telling the parent's procedure.
    if (IsMDIChildForm(Form) && IsZoomed(window))
        if (const vcl::TGuarded parent(MDIParentSkinProvider()); parent) {
            const HWND parentWindow = parent->Form->WindowHandle();
            parent->SkinData()->BGChanged = true;
            parent->ShowCaptionCover();
            SavedWndProc(Message);
            if (!ProviderServes(parent, parentWindow)) return;
            parent->HideCaptionCover();
            parent->RepaintFrameNow();
            return;
        }
    // The system paints its own caption with the new text: the cover keeps
    // it off the screen until the skin's caption is painted again.
    if (CompositionOn) {
        if (!BorderForm) ShowCaptionCover();
        if (!PassOn(Message) || !RepaintFrameNow()) return;
        HideCaptionCover();
    } else {
        FSkinData->BGChanged = true;
        ShowCaptionCover();
        if (!PassOn(Message)) return;
        HideCaptionCover();
        SendMessageW(window, WM_NCPAINT, 0, 0);
    }
}

void TsSkinProvider::WMSetIcon(vcl::TMessage &Message) {
    const HWND window = WindowOf(Form);
    if (ProviderLoading() || Message.LParam == 0 || ModuleState().FormAnimationActive || !window || !Form->Showing()) {
        SavedWndProc(Message);
        return;
    }
    // The form's procedure hears of the held redraw and may free this
    // provider: the icon still goes to the form, and its redraw comes back
    // whoever took the icon.
    const TvlFormOwnHandling own(*this);
    const bool holdRedraw = !CompositionOn;
    if (holdRedraw) SendMessageW(window, WM_SETREDRAW, FALSE, 0);
    const bool served = !own.ProviderGone(Message) && PassOn(Message);
    if (holdRedraw && IsWindow(window)) SendMessageW(window, WM_SETREDRAW, TRUE, 0);
    if (served && own.Serves()) {
        RepaintFrameNow();
    } else if (IsWindow(window)) {
        // The system draws the frame again, the provider gone.
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
}

void TsSkinProvider::WMSettingChange(vcl::TMessage &Message) {
    FSkinData->BGChanged = true;
    // The taskbar may have moved: a minimized form comes back from its new place.
    if (Message.WParam == SPI_SETWORKAREA && MinTimer) MinTimer->Retarget();
    SavedWndProc(Message);
}

void TsSkinProvider::WMSysColorChange(vcl::TMessage &Message) {
    if (PassOn(Message)) RebuildMainMenu();
}

void TsSkinProvider::WMParentNotify(vcl::TMessage &Message) {
    const WORD event = Message.WParamLo();
    TsSkinManager *manager = FSkinData->GetSkinManager();
    if (ProviderLoading() || Loading(Form) || (event != WM_CREATE && event != WM_DESTROY) || !manager ||
        !manager->SkinningRules().Contains(srThirdParty)) {
        SavedWndProc(Message);
        return;
    }
    if (!PassOn(Message)) return;
    if (event == WM_CREATE && ControlAdapter) {
        // The application's events about the child may free this provider.
        vcl::TWinControl *child = vcl::FindControl(reinterpret_cast<HWND>(Message.LParam));
        if (child ? !ControlAdapter->AddNewItem(child, {}) : !ControlAdapter->AdaptControls(nullptr)) return;
    }
    RecheckChildBackgrounds(Form);
    if (FDrawNonClientArea && FormScrollAdapter) FormScrollAdapter->RefreshScrollBars();
}

void TsSkinProvider::WMNotify(vcl::TMessage &Message) {
    if (!PassOn(Message)) return;
    const auto *header = reinterpret_cast<const NMHDR *>(Message.LParam);
    if (header && header->code == static_cast<UINT>(TCN_SELCHANGE) && ControlAdapter)
        ControlAdapter->AdaptControls(nullptr);
}

void TsSkinProvider::CMControlListChange(vcl::TMessage &Message) {
    if (!PassOn(Message)) return;
    auto *control = reinterpret_cast<vcl::TControl *>(Message.LParam);
    if (Message.WParam == 0 || !control) return;
    if (auto *windowed = dynamic_cast<vcl::TWinControl *>(control)) {
        // The application's events about the control may free this provider.
        if (ControlAdapter && !ControlAdapter->AddNewItem(windowed, {})) return;
        RecheckChildBackgrounds(windowed);
    }
    control->Perform(SM_SKINCOMMAND, SkinCommand(SC_QUERY_BG_FLAGS), 1);
}

void TsSkinProvider::CMFloat(vcl::TMessage &Message) {
    if (!PassOn(Message)) return;
    FormScrollAdapter.reset();
    if (const HWND window = WindowOf(Form))
        SendSkinCommand(window, SC_SKIN_REFRESH, reinterpret_cast<LPARAM>(FSkinData->GetSkinManager()));
}

void TsSkinProvider::CMMenuChanged(vcl::TMessage &Message) {
    if (!Form->FormState().Contains(vcl::fsCreating) && Form->Visible() && !InShowAnimation &&
        !(FSkinData->BGFlags() & bgfPaintLockTaken)) {
        MenuLineCount = -1;
        FrameChanged = true;
        FSkinData->BGChanged = true;
    }
    SavedWndProc(Message);
}

// ------------------------------------------------------- the editor link

void TsSkinProvider::WMFormCommand(vcl::TMessage &Message) {
    switch (Message.WParam) {
    case EditorCloseForm: Form->Close(); break;
    case EditorAnnounce: SavedWndProc(Message); break;
    case EditorAreYouAlive: Message.Result = 1; break;
    default: break;
    }
}

void TsSkinProvider::WMCopyData(vcl::TMessage &Message) {
    if (!PassOn(Message)) return;
    bool &takingPush = ModuleState().TakingPush;
    const HWND window = WindowOf(Form);
    if (Message.Result != 0 || !window || window != FormsState().LinkedWindow || takingPush) return;
    TsSkinManager *manager = DefaultManager();
    const auto *data = reinterpret_cast<const COPYDATASTRUCT *>(Message.LParam);
    if (!manager || !data || Message.WParam != EditorPushSkin || !data->lpData || data->cbData < sizeof(std::uint32_t))
        return;
    std::uint32_t magic = 0;
    std::memcpy(&magic, data->lpData, sizeof magic);
    if (magic != PushedSkinMagic) return;
    takingPush = true;
    // Never more than the block holds: a short one leaves the rest as it was.
    const std::size_t size = std::min<std::size_t>(data->cbData, manager->PushedSkin.size());
    std::memcpy(manager->PushedSkin.data(), data->lpData, size);
    PostMessageW(vcl::Application->Handle(), SM_SKINCOMMAND, SkinCommand(SC_APPLY_PUSHED_SKIN), 0);
    Message.Result = 1;
    takingPush = false;
}

void TsSkinProvider::LinkToEditor(HWND Window) {
    TvlFormsState &state = FormsState();
    if (!state.PreviewFlag || state.LinkedWindow || !Window) return;
    const vcl::TCustomForm *main = vcl::Application ? vcl::Application->MainForm() : nullptr;
    if (main && WindowOf(main) != Window) return;
    state.LinkedWindow = Window;
    state.PreviewFlag = false;
    for (int i = 0; i < EditorAnnounceTries; ++i) {
        const HWND editor = FindWindowA(nullptr, EditorCaption);
        if (!editor) return;
        if (SendMessageW(editor, EditorLinkMessage, EditorAnnounce, reinterpret_cast<LPARAM>(Window)) == 1) return;
    }
}

} // namespace skin
