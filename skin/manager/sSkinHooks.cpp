// The default manager watches the application from three places: its hook
// of the application window, the thread's window-creation hook (WH_CBT)
// through which the dialog skinning skins new windows, and hover tracking
// of the window and the graphic control under the mouse.
//
// Our main form owns its taskbar button and its minimize bypasses the
// hidden application window. So where a branch asks whether the
// application is iconic it asks about the main form (ApplicationIconic),
// and the main form hands its system commands and the taskbar's request
// for its system menu (0x313) to the application's hook chain first, so
// that this hook sees them as it would see the application window's.
#include <algorithm>

#include "sCommonData.h"
#include "sMessages.h"
#include "sSkinManager.h"
#include "sSkinServices.h"
#include "sSysColors.h"
#include "skin/graphics/vlCommonUtils.h"
#include "skin/graphics/vlGraphUtils.h"
#include "vcl/Forms.h"

namespace skin {

namespace {

HHOOK CbtHook = nullptr;

// A non-zero answer stops what the event announces (a window is not made,
// not activated, not destroyed...); the skipped-input and queue-sync events
// only inform, whatever a hook answers.
bool EventRefused(int Code, LRESULT Answer) {
    return Answer != 0 && Code != HCBT_CLICKSKIPPED && Code != HCBT_KEYSKIPPED && Code != HCBT_QS;
}

LRESULT CALLBACK SkinCbtHookProc(int Code, WPARAM WParam, LPARAM LParam) {
    // The hooks put in before ours see each event first, the window as it
    // was made; their answer is ours, whatever the skinning does next. What
    // they refused does not happen, so there is nothing to skin.
    const LRESULT answer = CallNextHookEx(CbtHook, Code, WParam, LParam);
    // Nothing may unwind through the system's hook call.
    if (Code >= 0 && !EventRefused(Code, answer)) try {
            DialogSkinning().CbtEvent(Code, WParam, LParam);
        } catch (...) {
        }
    return answer;
}

// The system's own animation of windows shrinking to the taskbar is off
// while the application is minimized or restored by us.
template <class F> void WithoutMinAnimation(F Step) {
    const bool animating = GetMinAnimation();
    if (animating) SetMinAnimation(false);
    Step();
    if (animating) SetMinAnimation(true);
}

TvlFormProvider *ProviderOf(vcl::TCustomForm *Form) {
    return reinterpret_cast<TvlFormProvider *>(PerformSkinCommand(Form, SC_QUERY_FORM_PROVIDER, 0));
}

constexpr UINT MsgMenuItemRegion = 0xBCB3;
constexpr UINT MsgPopupRegion = 0xBCB4;

} // namespace

// ------------------------------------------------------------ thread hook

void TsSkinManager::InstallSkinHooks() {
    if (DefaultManager() != this || Designing() || HooksInstalled) return;
    HooksInstalled = true;
    if (!CbtHook) CbtHook = SetWindowsHookExW(WH_CBT, SkinCbtHookProc, nullptr, GetCurrentThreadId());
    if (FOptions->GetFlag(ofChangeSysColors)) PatchSysColors();
}

void TsSkinManager::RemoveSkinHooks() {
    if (DefaultManager() != this || Designing() || !HooksInstalled) return;
    DialogSkinning().FreeMenuAdapters();
    if (CbtHook) UnhookWindowsHookEx(std::exchange(CbtHook, nullptr));
    ClearHookedDialogs();
    if (FOptions->GetFlag(ofChangeSysColors)) UnpatchSysColors();
    HooksInstalled = false;
}

// ------------------------------------------------------------ hover

void TsSkinManager::SetActiveControl(HWND Window) {
    if (Window == ActiveWindow) return;
    if (ActiveWindow && ActiveGraphControl) {
        SetActiveGraphControl(nullptr);
        if (ActiveGraphControl) return;  // the mouse is still inside it
    }
    const HWND old = std::exchange(ActiveWindow, Window);
    const auto self = reinterpret_cast<LPARAM>(this);
    // Our windows live on this thread; a handle that now names another
    // thread's window (or none) is not the window that was left.
    if (old && GetWindowThreadProcessId(old, nullptr) == GetCurrentThreadId()) SendSkinCommand(old, SC_MOUSE_LEFT, self);
    if (Window) SendSkinCommand(Window, SC_MOUSE_ENTERED, self);
}

void TsSkinManager::WindowDestroyed(HWND Window) {
    if (Window && Window == ActiveWindow) ActiveWindow = nullptr;
}

void TsSkinManager::SetActiveGraphControl(vcl::TControl *Control) {
    if (Control == ActiveGraphControl) return;
    if (!Control && ActiveGraphControl) {
        const auto *data = reinterpret_cast<TsCommonData *>(
            ActiveGraphControl->Perform(SM_SKINCOMMAND, SkinCommand(SC_GET_SKIN_DATA), 0));
        if (data && data->MouseInside) return;
    }
    vcl::TControl *previous = std::exchange(ActiveGraphControl, Control);
    if (previous) RemoveFreeNotification(previous);
    if (Control) FreeNotification(Control);
    if (previous) previous->Perform(SM_SKINCOMMAND, SkinCommand(SC_MOUSE_LEFT), reinterpret_cast<LPARAM>(this));
}

void TsSkinManager::Notification(vcl::TComponent *AComponent, vcl::TOperation Operation) {
    vcl::TComponent::Notification(AComponent, Operation);
    if (Operation == vcl::opRemove && AComponent && AComponent == ActiveGraphControl) ActiveGraphControl = nullptr;
}

void TsSkinManager::AddSkinDataReference(TsCommonData *Data) {
    if (Data && std::find(FSkinDataRefs.begin(), FSkinDataRefs.end(), Data) == FSkinDataRefs.end())
        FSkinDataRefs.push_back(Data);
}

void TsSkinManager::RemoveSkinDataReference(TsCommonData *Data) {
    FSkinDataRefs.erase(std::remove(FSkinDataRefs.begin(), FSkinDataRefs.end(), Data), FSkinDataRefs.end());
}

// ------------------------------------------------------------ main-window hook

bool TsSkinManager::MainWindowHook(vcl::TMessage &Message) {
    switch (Message.Msg) {
    case WM_WINDOWPOSCHANGED: return HideMainFormAnimated(Message);
    case WM_COPYDATA: return ReceivePushedSkin(Message);
    case WM_SYSCOMMAND: return MainSysCommand(Message);
    case vcl::WM_TASKBARSYSMENU: {
        vcl::TCustomForm *main = vcl::Application ? vcl::Application->MainForm() : nullptr;
        TvlFormProvider *provider = main ? ProviderOf(main) : nullptr;
        if (!provider) return false;
        POINT cursor{};
        GetCursorPos(&cursor);
        provider->PopupSystemMenu({cursor.x, cursor.y});
        return true;
    }
    case WM_THEMECHANGED: return true;  // the skin decides how windows look
    case SM_SKINCOMMAND:
        if (SubCommandOf(Message.WParam) == SC_APPLY_PUSHED_SKIN) ApplyPushedSkin(PushedSkin);
        return false;
    case vcl::CM_BASE:
        if (vcl::Screen)
            for (int i = vcl::Screen->FormCount() - 1; i >= 0; --i)
                if (i < vcl::Screen->FormCount() && vcl::Screen->Forms(i)->HandleAllocated())
                    SendSkinCommand(vcl::Screen->Forms(i)->WindowHandle(), SC_REPAINT, 0);
        return false;
    case MsgMenuItemRegion:
    case MsgPopupRegion: return MenuRegionRequest(Message);
    default: return false;
    }
}

bool TsSkinManager::HideMainFormAnimated(vcl::TMessage &Message) {
    // The hidden application window of our class library is never shown,
    // so this only runs if something shows and hides it; the main form's
    // own hide is animated by its provider.
    const auto *pos = reinterpret_cast<const WINDOWPOS *>(Message.LParam);
    const TvlFormHide &hide = *FAnimEffects->FormHide;
    if (!pos || !(pos->flags & SWP_HIDEWINDOW) || !LayeredWindowsAvailable() || !hide.Active ||
        !FEffects->AllowAnimation || hide.Time == 0 || ApplicationIconic())
        return false;
    vcl::TCustomForm *main = vcl::Application ? vcl::Application->MainForm() : nullptr;
    if (!main || !main->HandleAllocated() || !main->Visible()) return false;
    TvlFormProvider *provider = ProviderOf(main);
    if (!provider || !provider->IsSkinned || provider->Animating || !IsWindowVisible(main->WindowHandle()))
        return false;
    provider->Animating = true;
    const HWND window = main->WindowHandle();
    if (HWND border = provider->BorderWindow()) SetWindowRgn(border, nullptr, TRUE);
    if (DwmCompositionActive()) FormAnimations().SetLayeredAlpha(window, true, 254);
    // The hide runs the form's own handling (OnHide), which may free the
    // form or its provider.
    const vcl::TGuarded<TvlFormProvider> alive(provider);
    ShowWindow(window, SW_HIDE);
    if (!ProviderServes(alive, window)) return false;
    // The animation clears FormAnimationActive before it returns: no wait.
    FormAnimations().AnimHideForm(*provider);
    return false;
}

bool TsSkinManager::MainSysCommand(vcl::TMessage &Message) {
    if (!SkinData->Active) return false;
    const WPARAM command = Message.WParam & 0xFFF0;
    if (command != SC_MINIMIZE && command != SC_RESTORE) {
        SysCommandState = 0;
        return false;
    }
    SysCommandState = command == SC_MINIMIZE ? 2 : 1;
    vcl::TCustomForm *main = vcl::Application ? vcl::Application->MainForm() : nullptr;
    if (!main || !main->HandleAllocated()) return false;
    TvlFormProvider *provider = ProviderOf(main);
    if (!provider) return false;
    const HWND form = main->WindowHandle();
    const bool animation = FAnimEffects->Minimizing->Active && FEffects->AllowAnimation;
    const auto restoreApplication = [] { WithoutMinAnimation([] { vcl::Application->Restore(); }); };

    if (command == SC_MINIMIZE) {
        if (ApplicationIconic() || !main->Visible()) return false;
        if (animation && provider->IsSkinned) {
            // The flag keeps the main form's hide animation off while it is minimized.
            provider->Animating = true;
            provider->StartMinimizeAnimation();
            // Minimized under desktop composition as well: the flight only makes the form
            // transparent, and nothing else minimizes the main form, which would show again
            // at the flight's end.
            WithoutMinAnimation([] { vcl::Application->Minimize(); });
            // Cleared after the call: a flag left set would make the next restore skip its
            // flight. The minimize may have freed the form and its provider.
            if (vcl::TCustomForm *still = vcl::Application->MainForm(); still == main)
                if (TvlFormProvider *same = ProviderOf(still)) same->Animating = false;
            return true;
        }
        provider->FreeBorderWindow();
        return false;
    }
    if (provider->Animating) {
        provider->Animating = false;
        restoreApplication();
        if (DwmCompositionActive()) {
            RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
            SetWindowLongPtrW(form, GWL_EXSTYLE, GetWindowLongPtrW(form, GWL_EXSTYLE) & ~LONG_PTR{WS_EX_LAYERED});
        }
        return false;
    }
    if (animation) {
        // The flight's start runs the form's painting, which may free the
        // provider: the form is then restored without it.
        const vcl::TGuarded<TvlFormProvider> alive(provider);
        if (!provider->StartRestoreAnimation()) {
            if (HWND aux = ProviderServes(alive, form) ? provider->AuxiliaryWindow() : nullptr)
                SetWindowPos(form, aux, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
            else
                ShowWindow(form, SW_RESTORE);
            RedrawWindow(form, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
            restoreApplication();
        }
        return true;
    }
    if (DwmCompositionActive()) {
        restoreApplication();
        RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
    }
    return false;
}

bool TsSkinManager::MenuRegionRequest(vcl::TMessage &Message) {
    if (!FSkinnedPopups) return false;
    if (!Message.LParam) return true;
    if (Message.Msg == MsgMenuItemRegion) {
        // The menu painter posted this: what it carries is its own key,
        // checked there, never an item pointer that may be gone by now.
        SkinableMenus().ApplyItemRegion(Message.LParam);
        return true;
    }
    const auto popup = reinterpret_cast<HWND>(Message.LParam);
    wchar_t name[16]{};
    if (IsWindow(popup) && GetClassNameW(popup, name, 16) && std::wstring_view(name) == L"#32768")
        SkinableMenus().ApplyPopupRegion(popup);
    return true;
}

} // namespace skin
