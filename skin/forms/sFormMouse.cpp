#include "sSkinProvider.h"

#include <utility>

#include "sFormBorder.h"
#include "sFrameMetrics.h"
#include "sMDIForm.h"
#include "sSystemMenu.h"
#include "skin/graphics/vlCommonUtils.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/sSkinServices.h"
#include "skin/manager/vlFormAnimations.h"
#include "vcl/Bitmap.h"
#include "vcl/Forms.h"
#include "vcl/Menus.h"
#include "vlMinimizeAnimation.h"
#include "vlTitleBar.h"

namespace skin {

namespace {

HWND WindowOf(const vcl::TCustomForm *Form) {
    return Form && Form->HandleAllocated() ? Form->WindowHandle() : nullptr;
}

// The form's release (a close with caFree) is posted and not yet taken.
bool ReleasePending(HWND Window) {
    MSG m;
    return PeekMessageW(&m, Window, vcl::CM_RELEASE, vcl::CM_RELEASE, PM_NOREMOVE | PM_NOYIELD) != 0;
}

// The screen point of a non-client mouse message (signed: monitors left of
// and above the primary one have negative coordinates).
vcl::TPoint ScreenPointOf(LPARAM LParam) {
    return {static_cast<short>(LOWORD(LParam)), static_cast<short>(HIWORD(LParam))};
}

bool IsSystemButton(int Code) {
    return Code == HTMINBUTTON || Code == HTMAXBUTTON || Code == HTCLOSE || Code == HTHELP;
}

bool IsMDIButton(int Code) { return Code >= htMDIClose && Code <= htMDIMinimize; }

bool IsMainForm(const vcl::TCustomForm *Form) { return vcl::Application && vcl::Application->MainForm() == Form; }

// The keys held now, as a mouse event reports them.
vcl::TShiftState CurrentShift() {
    WPARAM keys = 0;
    if (GetKeyState(VK_SHIFT) < 0) keys |= MK_SHIFT;
    if (GetKeyState(VK_CONTROL) < 0) keys |= MK_CONTROL;
    if (GetKeyState(VK_LBUTTON) < 0) keys |= MK_LBUTTON;
    if (GetKeyState(VK_RBUTTON) < 0) keys |= MK_RBUTTON;
    if (GetKeyState(VK_MBUTTON) < 0) keys |= MK_MBUTTON;
    return vcl::KeysToShiftState(keys);
}

} // namespace

// Pressed and hot title buttons share one range: codes of the buttons that exist.
bool TsSkinProvider::IsTitleButtonCode(int Code) const {
    return Code >= htTitleButton && Code < htTitleButton + FTitleButtons->Count();
}

void TsSkinProvider::PopupBelowIcon() {
    const vcl::TPoint origin = GetFormOrigin();
    const HWND window = WindowOf(Form);
    // An MDI child's menu drops from its own caption icon: the parent's menu
    // line holds the icon only of a maximized child, whose caption is hidden
    // and never takes this click. An iconic child's menu stands higher, as
    // the system's own does.
    const int lift = IsMDIChildForm(Form) && window && IsIconic(window) ? 16 : 0;
    PopupSystemMenu({origin.X + IconRect.Left, origin.Y + IconRect.Bottom - lift});
}

void TsSkinProvider::ReleasePressedButton() {
    FormsState().FormButtonPressed = false;
    PressedCode = 0;
}

// ------------------------------------------------------------- hit-testing

void TsSkinProvider::WMNCHitTest(vcl::TMessage &Message) {
    if (DialogMade) {
        const TvlFormOwnHandling own(*this);
        DialogMade = false;
        if (!InitSkin()) {
            own.ProviderGone(Message);
            return;
        }
    }
    if (GetCaptionHeight(false) == 0 || !FDrawNonClientArea) {
        SavedWndProc(Message);
        return;
    }
    // The border form's hit test runs the application's OnExtHitTest.
    const vcl::TGuarded self(this);
    const HWND window = WindowOf(Form);
    const bool bordered = BorderForm != nullptr;
    const int code = CalcHitTest(Message);
    if (bordered && !ProviderServes(self, window)) return;
    // The system gives an MDI child its system menu back on the way; its
    // buttons are the skin's.
    if ((code == HTMINBUTTON || code == HTMAXBUTTON || code == HTCLOSE) && IsMDIChildForm(Form) && !SetSysMenuStyle(true))
        return;
    // The caption's own parts are final; the caption band, the edges and
    // the client area are the system's to tell.
    if ((code >= HTSYSMENU && code <= HTMAXBUTTON && code != HTMENU) || code >= HTBORDER) {
        Message.Result = code;
        return;
    }
    const vcl::TPoint screen = ScreenPointOf(Message.LParam);
    if (GripVisible() && OverSizeGrip(ScreenToWindowPoint(screen.X, screen.Y))) {
        Message.Result = HTBOTTOMRIGHT;
        return;
    }
    SavedWndProc(Message);
}

// ------------------------------------------------------------------ mouse

void TsSkinProvider::WMNCMouseMove(vcl::TMessage &Message) {
    const HWND window = WindowOf(Form);
    TsSkinManager *manager = FSkinData->GetSkinManager();
    if (manager && window && Form->Enabled()) manager->SetActiveControl(window);
    if (GetCaptionHeight(false) != 0 && FDrawNonClientArea) {
        // The border form's hit test runs the application's OnExtHitTest.
        const vcl::TGuarded self(this);
        const bool bordered = BorderForm != nullptr;
        const int code = CalcHitTest(Message);
        if (bordered && !ProviderServes(self, window)) return;
        Message.WParam = static_cast<WPARAM>(code);
    }
    const int code = static_cast<int>(Message.WParam);
    if (IsMDIButton(code) || IsSystemButton(code) || IsTitleButtonCode(code) || IsTitleItemCode(code)) {
        SetHotButton(code, true);
        Message.Result = 0;
        return;
    }
    if (SetHotButton(0, true)) SavedWndProc(Message);
}

void TsSkinProvider::WMNCLButtonDown(vcl::TMessage &Message) {
    const vcl::TGuarded self(this);
    // The border window's own answer: the press was not meant for a part of
    // the frame.
    if (FDrawNonClientArea && BorderForm && static_cast<int>(static_cast<INT_PTR>(Message.WParam)) == htBorderWindow) {
        SavedWndProc(Message);
        return;
    }
    if (!ResolveBorderCode(Message)) return;
    const HWND window = WindowOf(Form);
    const int code = static_cast<int>(Message.WParam);
    if (!FDrawNonClientArea) {
        if (code != HTSYSMENU) {
            SavedWndProc(Message);
            return;
        }
        if (!SetHotButton(0, true)) return;
        ReleasePressedButton();
        PopupBelowIcon();
        return;
    }
    if (IsSystemButton(code) || IsMDIButton(code)) {
        // The child's own system menu tells whether it may be minimized or
        // restored, where a child was activated through a provider.
        const TsSkinProvider *child = FormsState().MDIChildActivator;
        const TsSystemMenu *childMenu = child ? child->SystemMenu : nullptr;
        const bool refused = childMenu && ((code == htMDIMinimize && !childMenu->EnabledMin()) ||
                                           (code == htMDIRestore && !childMenu->EnabledRestore()));
        Message.Result = 0;
        if (!refused) SetPressedButton(code);
        return;
    }
    if (IsTitleButtonCode(code)) {
        Message.Result = 0;
        if (!SetPressedButton(code)) return;
        const vcl::TPoint p = ScreenPointOf(Message.LParam);
        FTitleButtons->Items(code - htTitleButton)->DoMouseDown(vcl::mbLeft, CurrentShift(), p.X, p.Y);
        return;
    }
    if (TvlTitleBarItem *item = ItemByCode(code)) {
        Message.Result = 0;
        if (item->Style() != bsTab && (!SetPressedButton(code) || ItemByCode(code) != item)) return;
        // A drop-down menu that no form's menus took along (one without an
        // owner, or made after the skin) is drawn by the skin as well.
        const bool dropDownItem = item->Style() == bsButton || item->Style() == bsMenu;
        TsSkinManager *m = FSkinData->GetSkinManager();
        if (m && m->SkinnedPopups() && dropDownItem && item->DropdownMenu())
            m->SkinableMenus().SetMenuOwnerDraw(item->DropdownMenu(), true);
        const bool dropsMenu = (item->Style() == bsButton || item->Style() == bsMenu) && item->DropdownMenu() &&
                               item->DropdownMenu()->Items()->Count() > 0;
        const vcl::TPoint p = ScreenPointOf(Message.LParam);
        item->DoMouseDown(vcl::mbLeft, CurrentShift(), p.X, p.Y);
        if (!ProviderServes(self, window)) return;
        if (dropsMenu) {
            // The release went to the menu's own loop: no button is held
            // any more, and the item shows its state after the menu.
            ReleasePressedButton();
            CurrentButton = 0;
            if (ItemByCode(code) == item) item->SetState(0);
            RepaintFrameNow();
        }
        return;
    }
    if (code == HTSYSMENU) {
        Message.Result = 0;
        SavedWndProc(Message);
        if (Message.Result != 0 || !ProviderServes(self, window) || !SetHotButton(0, true)) return;
        ReleasePressedButton();
        const TsSkinManager *manager = FSkinData->GetSkinManager();
        if (!manager || !manager->SkinnedPopups()) {
            // A second click may come as a double click, which closes the
            // form, and the form may free itself while the messages run.
            IconDoubleClicked = false;
            WaitWithMessages(200);
            if (!ProviderServes(self, window) || std::exchange(IconDoubleClicked, false)) return;
        }
        PopupBelowIcon();
        return;
    }
    if (code == HTMENU) {
        SavedWndProc(Message);
        return;
    }
    if (window && IsIconic(window)) {
        PerformFormProc(WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
        Message.Result = 0;
        return;
    }
    if (!SetHotButton(0, true)) return;
    const vcl::TPoint screen = ScreenPointOf(Message.LParam);
    if (window && IsZoomed(window) && ScreenToWindowPoint(screen.X, screen.Y).Y < FrameTop(true) + GetCaptionHeight(true)) {
        // A maximized form does not move: the click only activates it.
        SavedWndProc(Message);
        if (ProviderServes(self, window) && Form->Enabled() && Form->CanFocus()) Form->SetFocus();
        return;
    }
    BOOL fullDrag = FALSE;
    SystemParametersInfoW(SPI_GETDRAGFULLWINDOWS, 0, &fullDrag, 0);
    NoteGluedForms();
    if (fullDrag && FResizeMode == rmBorder && Form->Enabled() && window) {
        if (code == HTCAPTION) {
            SavedWndProc(Message);
            if (!ProviderServes(self, window)) return;
        }
        const bool sizing = code >= HTLEFT && code <= HTBOTTOMRIGHT;
        SendMessageW(window, WM_SYSCOMMAND, sizing ? SC_SIZE : SC_MOVE, 0);
        if (ProviderServes(self, window)) BeginOutlineDrag(code, screen);
        return;
    }
    const TsSkinManager *m = FSkinData->GetSkinManager();
    if (fullDrag && code == HTCAPTION && window && Form->FormStyle() != vcl::fsMDIChild && m &&
        m->AnimEffects()->BlendOnMoving->Active) {
        // A blended move: the form turns translucent for the drag.
        FormActive = 1;
        FSkinData->BGChanged = true;
        // The focus activates the form: its activation handlers run.
        if (Form->CanFocus()) Form->SetFocus();
        if (ProviderServes(self, window)) StartBlendOnMoving(true);
        Message.Result = 0;
        return;
    }
    SavedWndProc(Message);
}

void TsSkinProvider::WMLButtonUp(vcl::TMessage &Message) {
    const vcl::TGuarded self(this);
    if (Message.Msg == WM_NCLBUTTONUP && !ResolveBorderCode(Message)) return;
    const HWND window = WindowOf(Form);
    const bool client = Message.Msg == WM_LBUTTONUP;
    if (client && OutlineDrag.Active && !EndOutlineDrag()) return;
    if (!FDrawNonClientArea || !Form->Enabled() || !window) {
        SavedWndProc(Message);
        return;
    }
    // WM_LBUTTONUP carries key flags where the non-client message has its
    // hit code: a release in the client area is over no caption button.
    const int code = client ? HTCLIENT : static_cast<int>(Message.WParam);
    // Only the button that was pressed acts, as system buttons do.
    const bool pressed = FormsState().FormButtonPressed && PressedCode == code;
    bool passOn = false;
    const auto commandSent = [&](WPARAM Command) {
        ReleasePressedButton();
        SendMessageW(window, WM_SYSCOMMAND, Command, 0);
        // The command may have freed the form and this provider.
        return ProviderServes(self, window);
    };

    if (code == HTHELP) {
        if (pressed) {
            if (!commandSent(SC_CONTEXTHELP)) return;
            if (SystemMenu) SystemMenu->UpdateItems(true);
            // The frame's render runs the form's painting.
            SendMessageW(window, WM_NCPAINT, 0, 0);
            if (!ProviderServes(self, window)) return;
        }
    } else if (code == HTMINBUTTON) {
        const vcl::TPoint screen = ScreenPointOf(Message.LParam);
        const vcl::TRect &r = ButtonMin.Rect;
        const vcl::TPoint p = ScreenToWindowPoint(screen.X, screen.Y);
        if (pressed && p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom) {
            if (!IsMainForm(Form)) {
                if (!commandSent(IsIconic(window) ? SC_RESTORE : SC_MINIMIZE)) return;
            } else {
                // The application's minimize animates the main form's hiding.
                Animating = true;
                if (!commandSent(SC_MINIMIZE)) return;
                Animating = false;
            }
            FSkinData->BGChanged = true;
        } else {
            if (!SetHotButton(0, true)) return;
            passOn = true;
        }
    } else if (code == HTMAXBUTTON) {
        const bool zoomed = IsZoomed(window) != 0;
        if (SystemMenu && (SystemMenu->EnabledMax() || (zoomed && SystemMenu->EnabledRestore())) && pressed) {
            // A child maximized again becomes the one activated last anew.
            if (IsMDIChildForm(Form) && FormsState().MDIChildActivator == this) FormsState().MDIChildActivator = nullptr;
            if (!commandSent(zoomed ? SC_RESTORE : SC_MAXIMIZE)) return;
            SystemMenu->UpdateItems(true);
        }
    } else if (code == HTCLOSE) {
        if (NativeCloseEnabled(window) && pressed) {
            ButtonClose.State = 0;
            if (!commandSent(SC_CLOSE)) return;
            // The caption's glyphs are painted from the skin each time: none
            // are cached to free.
            if (IsWindowVisible(window)) {
                FSkinData->BGChanged = true;
                if (!SetHotButton(0, false)) return;
            }
        }
    } else if (TvlTitleBarItem *item = ItemByCode(code)) {
        if (pressed) {
            ReleasePressedButton();
            item->SetState(0);
            const vcl::TPoint p = ScreenPointOf(Message.LParam);
            item->DoMouseUp(vcl::mbLeft, CurrentShift(), p.X, p.Y);
            if (!ProviderServes(self, window)) return;
            // Still under the mouse: it fades toward its hot look and reads
            // normal again, the look being the fade's.
            if (TvlTitleBarItem *still = ItemByCode(code); still == item && item->Visible() && !item->Down()) {
                vcl::TMessage probe{WM_NCHITTEST, 0, static_cast<LPARAM>(Message.LParam), 0};
                const int under = CalcHitTest(probe);  // (the application's OnExtHitTest runs)
                if (!ProviderServes(self, window)) return;
                if (under == code) {
                    item->SetState(1);
                    if (PaintButtonState(code) && ItemByCode(code) == item) item->SetState(0);
                    return;
                }
            }
            if (ItemByCode(code) == item) PaintButtonState(code);
            else RepaintFrameNow();
            return;
        }
    } else if (IsMDIButton(code)) {
        // The active child's commands, as its own caption buttons send them.
        const vcl::TCustomForm *child = pressed ? Form->ActiveMDIChild() : nullptr;
        if (child && child->HandleAllocated()) {
            ReleasePressedButton();
            // The frame waits while the child minimizes out of the menu line.
            // Its hot state is left again afterwards: one entered for good
            // would hold every later paint of the frame back.
            const bool hot = code == htMDIMinimize;
            if (hot) FSkinData->LockPaint();
            SendMessageW(child->WindowHandle(), WM_SYSCOMMAND,
                         code == htMDIClose ? SC_CLOSE : code == htMDIRestore ? SC_RESTORE : SC_MINIMIZE, 0);
            if (!ProviderServes(self, window)) return;
            if (hot) FSkinData->UnlockPaint(false);
            // The buttons went with the child's maximized state.
            if (!MDIButtonsShown() && !SetHotButton(0, false)) return;
        }
    } else if (IsTitleButtonCode(code)) {
        if (pressed) {
            ReleasePressedButton();
            const vcl::TPoint p = ScreenPointOf(Message.LParam);
            FTitleButtons->Items(code - htTitleButton)->DoMouseUp(vcl::mbLeft, CurrentShift(), p.X, p.Y);
            if (!ProviderServes(self, window)) return;
        }
    } else {
        passOn = true;
    }

    ReleasePressedButton();
    if (CurrentButton >= 1)
        if (TsCaptionButton *button = ButtonByCode(CurrentButton)) {
            // The mouse is over the button it was released on: that one is hot.
            button->State = CurrentButton == code ? 1 : 0;
            if (!PaintButtonState(CurrentButton)) return;
        }
    if (passOn) SavedWndProc(Message);
}

void TsSkinProvider::WMNCLButtonDblClk(vcl::TMessage &Message) {
    const vcl::TGuarded self(this);
    const HWND window = WindowOf(Form);
    if (OutlineDrag.Active) {
        MoveOutlineDrag(ScreenPointOf(Message.LParam));
        if (!EndOutlineDrag()) return;
        if (window && GetCapture() == window) {
            ReleaseCapture();
            if (!ProviderServes(self, window)) return;
        }
    }
    const int code = static_cast<int>(Message.WParam);
    if (code == HTCAPTION && window) {
        const bool iconic = IsIconic(window) != 0;
        if (HasSystemMenu() && SystemMenu && (SystemMenu->EnabledMax() || SystemMenu->EnabledRestore()))
            SendMessageW(window, WM_SYSCOMMAND, IsZoomed(window) || iconic ? SC_RESTORE : SC_MAXIMIZE, 0);
        else if (iconic)
            SendMessageW(window, WM_SYSCOMMAND, SC_RESTORE, 0);
        if (!ProviderServes(self, window)) return;
        if (SystemMenu) SystemMenu->UpdateItems(true);
        // The system must not maximize or restore a second time.
        Message.WParam = HTNOWHERE;
        SavedWndProc(Message);
        return;
    }
    if (code == HTSYSMENU) {
        const TsSkinManager *manager = FSkinData->GetSkinManager();
        // Tells a first click that still waits that it was the start of a
        // double click. Its own flag: the painting that the closing causes
        // clears the paint lock, and a form that refused to close would then
        // get the menu too.
        if (!manager || !manager->SkinnedPopups()) IconDoubleClicked = true;
        if (NativeCloseEnabled(window)) Form->Close();
        Message.Result = 0;
        return;
    }
    SavedWndProc(Message);
}

void TsSkinProvider::WMNCRButtonDown(vcl::TMessage &Message) {
    const int code = static_cast<int>(Message.WParam);
    if (code == HTCAPTION || code == HTSYSMENU) {
        Message.Result = 0;
        return;
    }
    SavedWndProc(Message);
}

void TsSkinProvider::WMNCRButtonUp(vcl::TMessage &Message) {
    if (GetCaptionHeight(false) == 0) {
        SavedWndProc(Message);
        return;
    }
    // The border form's hit test runs the application's OnExtHitTest.
    const vcl::TGuarded self(this);
    const HWND window = WindowOf(Form);
    const bool bordered = BorderForm != nullptr;
    const int code = CalcHitTest(Message);
    if (bordered && !ProviderServes(self, window)) return;
    if (code == HTCAPTION || code == HTSYSMENU) {
        if (!SetHotButton(0, true)) return;
        ReleasePressedButton();
        PopupSystemMenu(ScreenPointOf(Message.LParam));
    }
    Message.Result = 0;
}

void TsSkinProvider::WMMouseMove(vcl::TMessage &Message) {
    if (!PassOn(Message)) return;
    if (TsSkinManager *manager = DefaultManager()) manager->SetActiveControl(nullptr);
    const HWND window = WindowOf(Form);
    if (OutlineDrag.Active && FResizeMode == rmBorder && Form->Enabled() && window) {
        POINT p{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
        ClientToScreen(window, &p);
        MoveOutlineDrag({p.x, p.y});
    }
}

void TsSkinProvider::CMMouseEnter(vcl::TMessage &Message) {
    // (The border form is not told: its window takes no mouse-enter of its
    // own, it passes every such message on unhandled.)
    if (!PassOn(Message)) return;
    const HWND window = WindowOf(Form);
    if (TsSkinManager *manager = FSkinData->GetSkinManager(); manager && window) manager->SetActiveControl(window);
}

void TsSkinProvider::CMMouseLeave(vcl::TMessage &Message) {
    // A title-bar item lies on the border window: the mouse left the form
    // for it, and the item stays hot.
    if (!(BorderForm && IsTitleItemCode(CurrentButton)) && !SetHotButton(0, true)) return;
    ReleasePressedButton();
    SavedWndProc(Message);
}

// ---------------------------------------------------------- system commands

void TsSkinProvider::WMSysCommand(vcl::TMessage &Message) {
    const vcl::TGuarded self(this);
    // What runs before the command is handed on (the form's painting, the
    // animations' pictures) may free this provider: the command still goes
    // to the form then.
    const TvlFormOwnHandling own(*this);
    const HWND window = WindowOf(Form);
    if (!window) {
        SavedWndProc(Message);
        return;
    }
    const WPARAM command = Message.WParam;
    const WPARAM kind = command & 0xFFF0;
    const bool main = IsMainForm(Form);
    const bool iconic = IsIconic(window) != 0;
    TsSkinManager *manager = FSkinData->GetSkinManager();
    const bool minimizeAnimation = manager && manager->AnimEffects()->Minimizing->Active;

    if (FResizeMode == rmBorder && HasSizingFrame(window) && !OutlineDrag.Active && (kind == SC_SIZE || kind == SC_MOVE))
        SetCapture(window);
    // A child's commands change its parent's menu line: the MDI helper's.
    if (IsMDIChildForm(Form)) {
        MDIChildSysCommand(*this, Message);
        if (ProviderServes(self, window)) EndMinimizeCommand(command, minimizeAnimation);
        return;
    }

    // The provider's own minimize and restore animations, where one starts,
    // replace the system's: the command is then handled here.
    bool handled = false;
    bool borderAfterRestore = false;
    bool redrawIconicMain = false;
    if (command == (SC_MOVE | HTCAPTION)) {
        // The form's own painting runs here.
        Form->Repaint();
        if (own.ProviderGone(Message)) return;
    } else if (command == SC_MAXIMIZE && !Form->Parent() && MinTimer && MinTimer->Restoring) {
        // The minimized image flies back to the form's place, now maximized.
        StateFlags |= pfMaximizing;
        handled = StartRestoreAnimation();
    } else if (command == SC_RESTORE) {
        if (StateFlags & pfSnapshotTaken) {
            // (No "may move its owner" flag to set: the border form reads none.)
            StateFlags &= ~pfSnapshotTaken;
        } else if (!main && iconic) {
            handled = StartRestoreAnimation();
            borderAfterRestore = true;
        } else if (!main && ExtBordersAllowed() && !BorderWindow()) {
            // A border form that lost its window is made anew with it.
            if (UpdateExtBorders(false) && UpdateExtBorders(true)) UpdateFormRegion(true, false);
        }
    } else if (main && iconic && !Form->Parent()) {
        // The command stays with the main form even while a minimize timer
        // holds its image: the application's window here is hidden and has no
        // taskbar button, and the system would maximize or move that window.
        redrawIconicMain = CompositionOn && !BorderForm;
    }
    if (kind == SC_MINIMIZE && !main && minimizeAnimation) handled = StartMinimizeAnimation();
    // The animations take the form's picture, which runs its children's
    // painting; the border's renewal for a restore paints it too.
    if (own.ProviderGone(Message)) return;

    // An MDI parent's frame follows its own commands below; any other
    // form's system frame comes with the maximize: the border form goes first.
    const bool mdiParent = IsMDIParent();
    const bool plain = !mdiParent && !handled;
    if (plain && command == SC_MAXIMIZE) {
        if (BorderForm && NativeBordersMaximized() && !UpdateExtBorders(false)) {
            own.ProviderGone(Message);
            return;
        }
        StateFlags |= pfMaximizing;
    }
    // The system's own animation never plays over or instead of ours.
    const bool systemAnimation = GetMinAnimation();
    if (systemAnimation) SetMinAnimation(false);
    SavedWndProc(Message);
    if (systemAnimation) SetMinAnimation(true);
    // The command may have closed and freed the form with this provider.
    if (!ProviderServes(self, window)) return;
    if (command == SC_MAXIMIZE) StateFlags &= ~pfMaximizing;
    if (borderAfterRestore && !BorderWindow()) {
        InShowAnimation = false;
        // Its picture runs the children's painting.
        UpdateBorder(false, 255);
        if (!ProviderServes(self, window)) return;
    }
    if (redrawIconicMain) {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
        InvalidateRect(window, nullptr, TRUE);
    }

    if (mdiParent) {
        if (!MDIParentSysCommand(*this, Message)) return;
    } else if (plain) {
        // A restore that no flight took leaves no minimized image behind: a
        // later maximize would fly it back.
        if (command == SC_RESTORE && MinTimer && MinTimer->Restoring && !(StateFlags & pfRestoreAnimation))
            FreeMinimizeTimer();
        if ((command == SC_MAXIMIZE || command == SC_RESTORE) && !SetHotButton(0, true)) return;
        if (command == SC_RESTORE) {
            FSkinData->BGChanged = true;
            if (!HasFrame()) {
                SetWindowRgn(window, nullptr, TRUE);
                return;
            }
            if (ExtBordersAllowed()) {
                if (!UpdateExtBorders(true)) return;
                if (BorderForm) {
                    InShowAnimation = false;
                    UpdateBorder(true, 255);
                    if (!ProviderServes(self, window)) return;
                }
            }
            RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
        }
    }
    // Alt+Space: the system shows no menu of a window without WS_SYSMENU. An
    // MDI frame gets it too (the children pass Alt+Space up to it), or a
    // skinned MDI application would have no system menu by the keyboard.
    if ((plain || mdiParent) && kind == SC_KEYMENU && LOWORD(Message.LParam) == VK_SPACE && FDrawNonClientArea && HasSystemMenu() &&
        HasFrame()) {
        RECT r{};
        GetWindowRect(window, &r);
        int y = r.top + FrameTop(true) + IconRect.Height();
        if (IsIconic(window)) y -= 16;
        PopupSystemMenu({r.left + FrameLeft(true), y});
        if (!ProviderServes(self, window)) return;
    }
    // A flight of our own ends the minimize itself.
    if ((mdiParent || !handled) && ProviderServes(self, window)) EndMinimizeCommand(command, minimizeAnimation);
}

void TsSkinProvider::EndMinimizeCommand(WPARAM Command, bool MinimizeAnimation) {
    if (LOWORD(Command) != SC_MINIMIZE) return;
    if (MinimizeAnimation) ShowAnimating = false;
    // A minimized form shows no extended border; the next update makes it
    // again. (No "may move its owner" flag around it: the border form reads
    // none, and its one reader, a new size under the paint lock, never runs.)
    // A form the system left where it was (a disabled one) keeps its border.
    const HWND window = WindowOf(Form);
    if (!(StateFlags & pfMinimizeAnimation) && (!window || IsIconic(window))) FreeBorderWindow();
}

void TsSkinProvider::WMClose(vcl::TMessage &Message) {
    const vcl::TGuarded self(this);
    const HWND window = WindowOf(Form);
    const TsSkinManager *manager = FSkinData->GetSkinManager();
    // The hide animation that follows shows the form's last image.
    const bool snapshot = FAllowAnimation && manager && manager->AnimEffects()->FormHide->Active &&
                          manager->Effects()->AllowAnimation && FDrawNonClientArea &&
                          !(StateFlags & pfSnapshotTaken) && !Form->Parent();
    SavedWndProc(Message);
    if (!snapshot || !ProviderServes(self, window) || Form->ComponentState().Contains(vcl::csDestroying)) return;
    // A close the application refused (OnCloseQuery, OnClose's caNone), or
    // one that a modal loop has yet to ask about, leaves the form as it was:
    // the image would cover its live client and stand in for its
    // background. It is taken only when the form goes: hidden, released or
    // with the application's end.
    const bool goes = !IsWindowVisible(window) || (vcl::Application && vcl::Application->Terminated()) ||
                      ReleasePending(window);
    if (!goes) return;
    StateFlags |= pfSnapshotTaken;
    std::unique_ptr<vcl::TBitmap> image = GetFormImage();
    if (!self) return;  // the picture's painting freed this provider
    vcl::TBitmap *cache = FSkinData->CacheBmp();
    if (image && cache) cache->Assign(image.get());
    // The border window shows that image, the client part included, where the
    // border lies: the hide that follows starts from what is seen.
    if (const HWND border = BorderWindow(); border && image && cache && !cache->Empty()) {
        RECT r{};
        GetWindowRect(window, &r);
        const vcl::TPoint offset = WindowToFrameOffset();
        const POINT at{r.left - offset.X, r.top - offset.Y};
        ShowLayeredBitmap(border, cache, Form->AlphaBlend() ? Form->AlphaBlendValue() : 255, &at);
        if (BorderForm) BorderForm->Border().ApplyRegion();
    }
    StateFlags &= ~pfSnapshotTaken;
}

} // namespace skin
