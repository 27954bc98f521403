#include "sSkinProvider.h"

#include "skin/manager/sCommandTable.h"
#include "skin/manager/sCommonData.h"
#include "vcl/Forms.h"

namespace skin {

namespace {

// A message of the class library that a skinned form answers with 0.
constexpr UINT CM_SKINNED_NOTHING = vcl::CM_BASE + 76;
// The region probe: a skinned form never claims to shape itself.
constexpr UINT WM_REGION_PROBE = 0xBC4D;
// The skin editor's link.
constexpr UINT WM_EDITOR_LINK = 0xA400;

} // namespace

void TsSkinProvider::FormWndProc(vcl::TMessage &Message) {
    if (Message.Msg == SM_SKINCOMMAND && PreSkinCommand(Message)) return;
    if (!Form->ComponentState().Contains(vcl::csDestroying) && FSkinData->IsSkinned(false)) {
        // The form's own handlers stand in for the first and third stages
        // of a skinned window's order: its skin data takes no part here.
        DispatchSkinnedMessage(Message, nullptr, TvlOwnMessageHandler::Bind<&TsSkinProvider::SkinnedRoute>(this),
                               SavedWndProc);
        return;
    }
    if (Message.Msg == SM_SKINCOMMAND && SkinCommandUnskinned(Message)) return;
    if (Message.Msg == vcl::CM_VISIBLECHANGED) {
        // The hide's picture runs the children's painting.
        const TvlFormOwnHandling own(*this);
        if (!VisibleChangedUnskinned(Message)) {
            own.ProviderGone(Message);
            return;
        }
    }
    // The picture that the hide's announcement took may have to come down.
    if (Message.Msg == vcl::CM_SHOWINGCHANGED) {
        ShowingChangedUnskinned(Message);
        return;
    }
    if (!PassOn(Message)) return;
    if (Message.Msg == WM_WINDOWPOSCHANGED)
        WindowPosChangedUnskinned(Message);
    else if (Message.Msg == WM_NCDESTROY)
        NCDestroyUnskinned(Message);
}

TvlFormOwnHandling::TvlFormOwnHandling(TsSkinProvider &Provider)
    : FProvider(&Provider), FForm(Provider.Form),
      FWindow(Provider.Form && Provider.Form->HandleAllocated() ? Provider.Form->WindowHandle() : nullptr),
      FOwnProc(Provider.SavedWndProc) {}

bool TvlFormOwnHandling::Serves() const { return ProviderServes(FProvider, FWindow); }

bool TvlFormOwnHandling::ProviderGone(vcl::TMessage &Message) const {
    if (Serves()) return false;
    // A provider that lives on but serves the form no more has let its
    // procedure go as well: the form's own handles the message either way.
    if (FForm && FOwnProc) FOwnProc(Message);
    return true;
}

bool TsSkinProvider::PassOn(vcl::TMessage &Message) {
    const vcl::TGuarded alive(this);
    SavedWndProc(Message);
    return static_cast<bool>(alive);
}

bool TsSkinProvider::SkinnedRoute(vcl::TMessage &Message) {
    switch (Message.Msg) {
    case WM_CREATE: WMCreate(Message); break;
    case WM_MOVE: WMMove(Message); break;
    case WM_SIZE: WMSize(Message); break;
    case WM_ACTIVATE: WMActivate(Message); break;
    case WM_SETREDRAW: WMSetRedraw(Message); break;
    case WM_SETTEXT: WMSetText(Message); break;
    case WM_PAINT: WMPaint(Message); break;
    case WM_CLOSE: WMClose(Message); break;
    case WM_QUERYENDSESSION: WMQueryEndSession(Message); break;
    case WM_ERASEBKGND: WMEraseBkgnd(Message); break;
    case WM_SYSCOLORCHANGE: WMSysColorChange(Message); break;
    case WM_SHOWWINDOW: WMShowWindow(Message); break;
    case WM_SETTINGCHANGE: WMSettingChange(Message); break;
    case WM_ACTIVATEAPP: WMActivateApp(Message); break;
    case WM_CHILDACTIVATE: WMChildActivate(Message); break;
    case WM_GETMINMAXINFO: WMGetMinMaxInfo(Message); break;
    case WM_MEASUREITEM: WMMeasureItem(Message); break;
    case WM_DRAWITEM: WMDrawItem(Message); break;
    case WM_WINDOWPOSCHANGING: WMWindowPosChanging(Message); break;
    case WM_WINDOWPOSCHANGED: WMWindowPosChanged(Message); break;
    case WM_COPYDATA: WMCopyData(Message); break;
    case WM_NOTIFY: WMNotify(Message); break;
    case WM_CONTEXTMENU: WMContextMenu(Message); break;
    case WM_STYLECHANGED: WMStyleChanged(Message); break;
    case WM_SETICON: WMSetIcon(Message); break;
    case WM_NCCREATE: WMNCCreate(Message); break;
    case WM_NCHITTEST: WMNCHitTest(Message); break;
    case WM_NCPAINT: WMNCPaint(Message); break;
    case WM_NCACTIVATE: WMNCActivate(Message); break;
    case WM_NCMOUSEMOVE: WMNCMouseMove(Message); break;
    case WM_NCLBUTTONDOWN: WMNCLButtonDown(Message); break;
    case WM_NCLBUTTONUP: WMLButtonUp(Message); break;
    case WM_NCLBUTTONDBLCLK: WMNCLButtonDblClk(Message); break;
    case WM_NCRBUTTONDOWN: WMNCRButtonDown(Message); break;
    case WM_NCRBUTTONUP: WMNCRButtonUp(Message); break;
    case WM_SYSCOMMAND: WMSysCommand(Message); break;
    case WM_INITMENUPOPUP: WMInitMenuPopup(Message); break;
    case WM_ENTERIDLE: Message.Result = 0; break;
    case WM_MOUSEMOVE: WMMouseMove(Message); break;
    case WM_LBUTTONUP: WMLButtonUp(Message); break;
    case WM_PARENTNOTIFY: WMParentNotify(Message); break;
    case WM_ENTERMENULOOP: WMEnterMenuLoop(Message); break;
    case WM_EXITMENULOOP: WMExitMenuLoop(Message); break;
    case WM_SIZING: WMSizing(Message); break;
    case WM_MDIDESTROY:
    case WM_MDIACTIVATE: WMMDIActivate(Message); break;
    case WM_EXITSIZEMOVE: WMExitSizeMove(Message); break;
    case WM_MOUSELEAVE: CMMouseLeave(Message); break;
    case vcl::WM_TASKBARSYSMENU: {
        POINT cursor{};
        GetCursorPos(&cursor);
        PopupSystemMenu({cursor.x, cursor.y});
        break;
    }
    case WM_PRINT: WMPrint(Message); break;
    // Swallowed, the answer untouched: the provider draws no thumbnail or
    // live preview of its own for the desktop compositor.
    case WM_PRINTCLIENT:
    case WM_DWMSENDICONICTHUMBNAIL:
    case WM_DWMSENDICONICLIVEPREVIEWBITMAP: break;
    case SM_SKINCOMMAND: SMSkinCommand(Message); break;
    case WM_EDITOR_LINK: WMFormCommand(Message); break;
    case vcl::CM_VISIBLECHANGED: CMVisibleChanged(Message); break;
    case vcl::CM_ENABLEDCHANGED: CMEnabledChanged(Message); break;
    case vcl::CM_MOUSEENTER: CMMouseEnter(Message); break;
    case vcl::CM_MOUSELEAVE: CMMouseLeave(Message); break;
    case vcl::CM_MENUCHANGED: CMMenuChanged(Message); break;
    case vcl::CM_SHOWINGCHANGED: CMShowingChanged(Message); break;
    case vcl::CM_CONTROLLISTCHANGE: CMControlListChange(Message); break;
    case vcl::CM_RECREATEWND: CMRecreateWnd(Message); break;
    case vcl::CM_FLOAT: CMFloat(Message); break;
    case CM_SKINNED_NOTHING:
    case WM_REGION_PROBE: Message.Result = 0; break;
    default: return false;
    }
    return true;
}

} // namespace skin
