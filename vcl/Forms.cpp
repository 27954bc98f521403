#include "Forms.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

#include "AppContext.h"
#include "FormReader.h"
#include "Icon.h"
#include "Menus.h"
#include "SysUtils.h"
#include "WideText.h"

namespace vcl {

VCL_PUBLISHED(TCustomForm, p) {
    p.Property("Caption", &TCustomForm::Caption, &TCustomForm::SetCaption);
    p.Property("BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle).Default(bsSizeable);
    p.Property("BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons)
        .Default(TBorderIcons{biSystemMenu, biMinimize, biMaximize});
    p.Property("ClientWidth", &TCustomForm::ClientWidth, &TCustomForm::SetClientWidth);
    p.Property("ClientHeight", &TCustomForm::ClientHeight, &TCustomForm::SetClientHeight);
    p.Property("Position", &TCustomForm::Position, &TCustomForm::SetPosition).Default(poDesigned);
    p.Property("FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle).Default(fsNormal);
    p.Property("WindowState", &TCustomForm::WindowState, &TCustomForm::SetWindowState).Default(wsNormal);
    p.Property("PixelsPerInch", &TCustomForm::PixelsPerInch, &TCustomForm::SetPixelsPerInch);
    p.Property("AlphaBlend", &TCustomForm::AlphaBlend, &TCustomForm::SetAlphaBlend).Default(false);
    p.Property("AlphaBlendValue", &TCustomForm::AlphaBlendValue, &TCustomForm::SetAlphaBlendValue).Default(255);
    p.Property("ActiveControl", &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl);
    p.Property("WindowMenu", &TCustomForm::WindowMenu, &TCustomForm::SetWindowMenu);
    p.Property("OnCreate", &TCustomForm::OnCreate);
    p.Property("OnDestroy", &TCustomForm::OnDestroy);
    p.Property("OnShow", &TCustomForm::OnShow);
    p.Property("OnHide", &TCustomForm::OnHide);
    p.Property("OnActivate", &TCustomForm::OnActivate);
    p.Property("OnDeactivate", &TCustomForm::OnDeactivate);
    p.Property("OnPaint", &TCustomForm::OnPaint);
    p.Property("OnClose", &TCustomForm::OnClose);
    p.Property("OnCloseQuery", &TCustomForm::OnCloseQuery);
}

VCL_CLASS_INFO(TForm)
VCL_CLASS_INFO(TSizeConstraints)
VCL_CLASS_INFO(TScreen)

namespace {

// Owns the program's application and screen objects. Forms still alive at
// the end are destroyed here at the latest; Initialize makes it happen
// before any other static object of the program goes (see there).
struct TGlobals {
    TGlobals() : Scr(Create<TScreen>(nullptr)), App(Create<TApplication>(nullptr)) {
        Screen = Scr.get();
        Application = App.get();
    }
    ~TGlobals() {
        // The application (with any form left) before the screen the forms are listed in.
        App.reset();
        Application = nullptr;
        Scr.reset();
        Screen = nullptr;
    }
    std::unique_ptr<TScreen> Scr;
    std::unique_ptr<TApplication> App;
};

// Windows other than the modal form's that are disabled while it runs.
struct TTaskWindows {
    HWND Except;
    std::vector<HWND> Disabled;
};

BOOL CALLBACK DisableTaskWindow(HWND Window, LPARAM Param) {
    auto *q = reinterpret_cast<TTaskWindows *>(Param);
    if (Window != q->Except && IsWindowVisible(Window) && IsWindowEnabled(Window)) {
        EnableWindow(Window, FALSE);
        q->Disabled.push_back(Window);
    }
    return TRUE;
}

std::vector<HWND> DisableTaskWindows(HWND Except) {
    TTaskWindows q{Except, {}};
    EnumThreadWindows(GetCurrentThreadId(), DisableTaskWindow, reinterpret_cast<LPARAM>(&q));
    return q.Disabled;
}

void EnableTaskWindows(const std::vector<HWND> &Windows) {
    for (HWND w : Windows)
        if (IsWindow(w)) EnableWindow(w, TRUE);
}

} // namespace

TApplication *Application = nullptr;
TScreen *Screen = nullptr;
// Made before the program's other static objects, so that they may use the
// application object from the start.
static TGlobals Globals __attribute__((init_priority(200)));

// ------------------------------------------------------------- TCustomForm

TCustomForm::TCustomForm(TComponent *AOwner) : TWinControl(AOwner) { Init(); }

TCustomForm::TCustomForm(TComponent *AOwner, TCreateNew) : TWinControl(AOwner) {
    FReadsDescription = false;
    Init();
}

void TCustomForm::Init() {
    SetVisibleState(false);
    SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks});
    SetParentColor(false);
    SetParentFont(false);
    SetColor(clBtnFace);
    SetBounds(0, 0, 320, 240);
    FCanvas = std::make_unique<TControlCanvas>(this);
    FIcon = std::make_unique<TIcon>();
    FConstraints = std::make_unique<TSizeConstraints>();
    Screen->AddForm(this);
}

void TCustomForm::AfterConstruction() {
    inherited::AfterConstruction();
    try {
        if (FReadsDescription) ReadDescription();
        DoCreate();
    } catch (...) {
        FFormState.Exclude(fsCreating);
        throw;
    }
    FFormState.Exclude(fsCreating);
}

bool TCustomForm::ReadDescription() {
    if (ReadComponentRes(*this)) return true;
    // A form class of its own comes with a description; a plain form is made in code.
    if (&ClassInfo() != &TForm::StaticClassInfo() && &ClassInfo() != &TCustomForm::StaticClassInfo())
        throw EResNotFound("The form description " + ClassName() + " was not found");
    return false;
}

void TCustomForm::BeforeDestruction() {
    DoDestroy();
    inherited::BeforeDestruction();
}

TCustomForm::~TCustomForm() {
    // The window goes first (whoever took over its procedure lets go of it
    // there), then what the form owns, last created first, while the form is
    // still whole: those components may reach back into it as they go.
    DestroyHandle();
    DestroyComponents();
    if (Application) Application->FormDestroyed(this);
    if (Screen) Screen->RemoveForm(this);
}

void TCustomForm::DoCreate() {
    if (OnCreate) OnCreate(this);
}

void TCustomForm::DoDestroy() {
    if (!OnDestroy) return;
    try {
        OnDestroy(this);
    } catch (...) {
        // Forms may outlive the application object at the program's end.
        ReportException(this);
    }
}

void TCustomForm::DoShow() {
    if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
    if (OnHide) OnHide(this);
}

void TCustomForm::DoClose(TCloseAction &Action) {
    if (OnClose) OnClose(this, Action);
}

void TCustomForm::Paint() {
    if (OnPaint) OnPaint(this);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value) {
    if (FBorderIcons == Value) return;
    FBorderIcons = Value;
    RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle Value) {
    if (FFormStyle == Value) return;
    const bool mdi = Value == fsMDIChild || Value == fsMDIForm || FFormStyle == fsMDIChild || FFormStyle == fsMDIForm;
    if (mdi && HandleAllocated())
        throw EInvalidOperation("A form takes a multiple-document style before its window exists");
    FFormStyle = Value;
    if (HandleAllocated())
        SetWindowPos(WindowHandle(), Value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

TWindowState TCustomForm::WindowState() const {
    if (HandleAllocated() && Showing()) {
        if (IsIconic(WindowHandle())) return wsMinimized;
        if (IsZoomed(WindowHandle())) return wsMaximized;
        return wsNormal;
    }
    return FWindowState;
}

void TCustomForm::SetWindowState(TWindowState Value) {
    FWindowState = Value;
    if (!HandleAllocated() || !Showing()) return;
    static const int commands[] = {SW_RESTORE, SW_MINIMIZE, SW_SHOWMAXIMIZED};
    ShowWindow(WindowHandle(), commands[Value]);
}

void TCustomForm::SetActiveControl(TWinControl *Control) {
    if (FActiveControl == Control) return;
    if (Control && (Control == this || GetParentForm(Control) != this))
        throw EInvalidOperation("The active control must be a control of the form");
    FActiveControl = Control;
    if (Control && FActive && HandleAllocated() && Control->CanFocus()) ::SetFocus(Control->Handle());
}

void TCustomForm::ForgetControl(const TWinControl *Control) {
    if (FActiveControl && Control->ContainsControl(FActiveControl)) FActiveControl = nullptr;
    if (FFocusedControl && Control->ContainsControl(FFocusedControl)) FFocusedControl = nullptr;
}

void TCustomForm::SetFocusedControl(TWinControl *Control) {
    if (!Control || Control == this) return;
    // The previous one by focus, not ActiveControl: SetFocus names the new
    // active control before the focus moves.
    TWinControl *previous = FFocusedControl;
    FFocusedControl = Control;
    FActiveControl = Control;
    if (previous != Control) {
        if (previous) previous->Perform(CM_EXIT, 0, 0);
        Control->Perform(CM_ENTER, 0, 0);
    }
    Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control));
}

void TCustomForm::SetVisible(bool Value) {
    // A form read from its description shows when it is asked to, not
    // while it is being read.
    if (IsLoading()) {
        FVisibleRead = Value;
        return;
    }
    inherited::SetVisible(Value);
}

void TCustomForm::Show() {
    SetVisible(true);
    if (HandleAllocated() && Showing()) SetForegroundWindow(WindowHandle());
}

void TCustomForm::Close() {
    if (FModal) {
        SetModalResult(mrCancel);
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone) return;
    if (Application->MainForm() == this) {
        Application->Terminate();
        return;
    }
    switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree: Release(); break;
    default: break;
    }
}

bool TCustomForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::SetModalResult(TModalResult Value) { FModalResult = Value; }

TModalResult TCustomForm::ShowModal() {
    if (Visible() || !Enabled() || FModal) throw EInvalidOperation("Cannot make a visible window modal");
    if (GetCapture()) SendMessageW(GetCapture(), WM_CANCELMODE, 0, 0);
    ReleaseCapture();
    const HWND activeBefore = GetActiveWindow();
    const std::vector<HWND> disabled = DisableTaskWindows(WindowHandle());
    FModal = true;
    FModalResult = mrNone;
    try {
        Show();
        do {
            Application->HandleMessage();
            if (Application->Terminated()) FModalResult = mrCancel;
            else if (FModalResult != mrNone) CloseModal();
        } while (FModalResult == mrNone);
    } catch (...) {
        EnableTaskWindows(disabled);
        FModal = false;
        Hide();
        throw;
    }
    // The other windows come back first, so that the system activates the
    // one that was active before rather than some other program.
    EnableTaskWindows(disabled);
    if (activeBefore && IsWindow(activeBefore)) SetActiveWindow(activeBefore);
    FModal = false;
    Hide();
    return FModalResult;
}

void TCustomForm::CloseModal() {
    TCloseAction action = caNone;
    if (CloseQuery()) {
        action = caHide;
        DoClose(action);
    }
    switch (action) {
    case caNone: FModalResult = mrNone; break;
    case caFree: Release(); break;
    default: break;
    }
}

void TCustomForm::Release() {
    if (HandleAllocated()) PostMessageW(WindowHandle(), CM_RELEASE, 0, 0);
    else delete this;
}

void TCustomForm::CreateParams(TCreateParams &Params) {
    inherited::CreateParams(Params);
    if (Parent()) return;  // a form inside another control is a child window
    Params.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    Params.ExStyle = 0;
    if (!Enabled()) Params.Style |= WS_DISABLED;
    switch (FBorderStyle) {
    case bsNone: Params.Style |= WS_POPUP; break;
    case bsSingle: Params.Style |= WS_CAPTION | WS_BORDER; break;
    case bsSizeable: Params.Style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
        Params.Style |= WS_POPUP | WS_CAPTION;
        Params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
        break;
    case bsToolWindow:
        Params.Style |= WS_CAPTION;
        Params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    case bsSizeToolWin:
        Params.Style |= WS_CAPTION | WS_THICKFRAME;
        Params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    }
    if (FBorderStyle != bsNone) {
        const bool minMaxAllowed = FBorderStyle != bsDialog && FBorderStyle != bsToolWindow && FBorderStyle != bsSizeToolWin;
        if (FBorderIcons.Contains(biSystemMenu)) Params.Style |= WS_SYSMENU;
        if (minMaxAllowed && FBorderIcons.Contains(biMinimize)) Params.Style |= WS_MINIMIZEBOX;
        if (minMaxAllowed && FBorderIcons.Contains(biMaximize)) Params.Style |= WS_MAXIMIZEBOX;
        if (FBorderIcons.Contains(biHelp) &&
            (FBorderStyle == bsDialog || !FBorderIcons.Contains(biMinimize) || !FBorderIcons.Contains(biMaximize)))
            Params.ExStyle |= WS_EX_CONTEXTHELP;
    }
    if (FFormStyle == fsStayOnTop) Params.ExStyle |= WS_EX_TOPMOST;
    if (FFormStyle == fsMDIChild) {
        TCustomForm *parent = MDIParentForm();
        if (!parent) throw EInvalidOperation("No multiple-document parent form for '" + Name() + "'");
        parent->HandleNeeded();
        // The client window makes it a child of its own; it has no popup style.
        Params.Style &= ~DWORD{WS_POPUP};
        Params.ExStyle |= WS_EX_MDICHILD;
        Params.WndParent = parent->ClientHandle();
        Params.WindowClass.style = CS_DBLCLKS;
        Params.WindowClass.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
        return;
    }
    // The main form has the taskbar button; the other forms stay above it.
    TCustomForm *mainForm = Application->MainForm();
    if (mainForm == this || !mainForm) {
        Params.ExStyle |= WS_EX_APPWINDOW;
        Params.WndParent = mainForm == this ? nullptr : Application->Handle();
    } else {
        Params.WndParent = mainForm->HandleAllocated() ? mainForm->WindowHandle() : Application->Handle();
    }
    if (FPosition == poDefault || FPosition == poDefaultPosOnly) {
        Params.X = CW_USEDEFAULT;
        Params.Y = CW_USEDEFAULT;
    }
    Params.WindowClass.style = CS_DBLCLKS;
    Params.WindowClass.hIcon = LoadIconW(GetModuleHandleW(nullptr), L"MAINICON");
    if (!Params.WindowClass.hIcon) Params.WindowClass.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
}

void TCustomForm::SetMenu(TMainMenu *Value) {
    if (FMenu == Value) return;
    // An MDI parent's active child keeps its menu merged: into the new bar.
    TMainMenu *merged = FMenu ? FMenu->Merged() : nullptr;
    if (FMenu) {
        FMenu->RemoveFreeNotification(this);
        if (merged) FMenu->Unmerge(merged);
        if (TMainMenu *bar = FMenu->MergedInto()) bar->Unmerge(FMenu);
        if (HandleAllocated() && GetMenu(WindowHandle()) == FMenu->Handle()) ::SetMenu(WindowHandle(), nullptr);
        FMenu->SetWindowHandle(nullptr);
    }
    FMenu = Value;
    if (FMenu) {
        FMenu->FreeNotification(this);
        if (merged) FMenu->Merge(merged);
        if (HandleAllocated()) {
            FMenu->SetWindowHandle(WindowHandle());
            ::SetMenu(WindowHandle(), FMenu->Handle());
        }
    }
    RefreshMDIMenu();
    const TCustomForm *parent = FFormStyle == fsMDIChild && HandleAllocated() ? MDIParentForm() : nullptr;
    if (parent && parent->ActiveMDIChild() == this) MergeMenu(true);
}

void TCustomForm::SetWindowMenu(TMenuItem *Value) {
    if (FWindowMenu == Value) return;
    if (FWindowMenu) FWindowMenu->RemoveFreeNotification(this);
    FWindowMenu = Value;
    if (FWindowMenu) FWindowMenu->FreeNotification(this);
    RefreshMDIMenu();
}

void TCustomForm::RefreshMDIMenu() {
    if (FFormStyle != fsMDIForm || !FClientHandle || !FMenu) return;
    // The client lists the children in the window menu's popup, and keeps
    // a maximized child's system menu and buttons in the bar.
    // Two messages: a client may take nothing else when the bar is the one
    // it has.
    SendMessageW(FClientHandle, WM_MDISETMENU, reinterpret_cast<WPARAM>(FMenu->Handle()), 0);
    if (const HMENU windows = FWindowMenu ? FMenu->PopupOf(FWindowMenu) : nullptr)
        SendMessageW(FClientHandle, WM_MDISETMENU, 0, reinterpret_cast<LPARAM>(windows));
    DrawMenuBar(WindowHandle());
}

void TCustomForm::MergeMenu(bool On) {
    TCustomForm *parent = MDIParentForm();
    TMainMenu *bar = parent ? parent->Menu() : nullptr;
    if (!bar || parent == this) return;
    // A child without a menu leaves the parent's own bar.
    if (On) bar->Merge(FMenu);
    else bar->Unmerge(FMenu);
}

void TCustomForm::WMMDIActivate(TMessage &Message) {
    inherited::Dispatch(Message);
    if (FFormStyle != fsMDIChild || !HandleAllocated()) return;
    const HWND self = WindowHandle();
    // The active child is the one its parent's activation stands for: it
    // counts as active (WM_ACTIVATE never reaches a child). The next active
    // child merges its own menu: only the last one leaves.
    if (reinterpret_cast<HWND>(Message.LParam) == self) {
        FActive = true;
        MergeMenu(true);
    } else if (reinterpret_cast<HWND>(Message.WParam) == self) {
        FActive = false;
        if (!Message.LParam) MergeMenu(false);
    }
}

void TCustomForm::Notification(TComponent *AComponent, TOperation Operation) {
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FMenu) {
        // The bar is the menu's: the window lets go of it first.
        if (HandleAllocated() && GetMenu(WindowHandle()) == FMenu->Handle()) ::SetMenu(WindowHandle(), nullptr);
        FMenu = nullptr;
    }
    if (Operation == opRemove && AComponent == FWindowMenu) {
        FWindowMenu = nullptr;
        RefreshMDIMenu();
    }
}

void TCustomForm::InitializeWnd() {
    if (FMenu) {
        FMenu->SetWindowHandle(WindowHandle());
        ::SetMenu(WindowHandle(), FMenu->Handle());
    }
    if (FFormStyle == fsMDIForm && !FClientHandle) {
        CLIENTCREATESTRUCT client{nullptr, 0xFF00};
        RECT r{};
        GetClientRect(WindowHandle(), &r);
        FClientHandle = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr,
                                        WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, 0, 0,
                                        r.right, r.bottom, WindowHandle(), nullptr, GetModuleHandleW(nullptr), &client);
        if (!FClientHandle) throw Exception("The client window of '" + Name() + "' could not be made");
        CountHandle(THandleKind::Window, 1);
        RefreshMDIMenu();
    }
    if (FFormStyle == fsStayOnTop)
        SetWindowPos(WindowHandle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (FAlphaBlend) ApplyAlphaBlend();
}

void TCustomForm::DestroyWnd() {
    // A child's menu leaves the bar with the child.
    if (FMenu && FFormStyle == fsMDIChild)
        if (TMainMenu *bar = FMenu->MergedInto()) bar->Unmerge(FMenu);
    if (FClientHandle) {
        // The children's windows go with it; their forms keep their state.
        DestroyWindow(std::exchange(FClientHandle, nullptr));
        CountHandle(THandleKind::Window, -1);
    }
    inherited::DestroyWnd();
}

void TCustomForm::DefaultHandler(TMessage &Message) {
    if (HandleAllocated() && FClientHandle) {
        Message.Result = DefFrameProcW(WindowHandle(), FClientHandle, Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    if (HandleAllocated() && FFormStyle == fsMDIChild) {
        Message.Result = DefMDIChildProcW(WindowHandle(), Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    inherited::DefaultHandler(Message);
}

int TCustomForm::MDIChildCount() const {
    int count = 0;
    if (!FClientHandle) return 0;
    for (HWND w = GetWindow(FClientHandle, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
        if (auto *form = dynamic_cast<TCustomForm *>(FindControl(w)); form && form->FormStyle() == fsMDIChild) ++count;
    return count;
}

TCustomForm *TCustomForm::MDIChildren(int Index) const {
    int i = 0;
    if (FClientHandle)
        for (HWND w = GetWindow(FClientHandle, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
            if (auto *form = dynamic_cast<TCustomForm *>(FindControl(w)); form && form->FormStyle() == fsMDIChild)
                if (i++ == Index) return form;
    throw EListError("MDI child index out of range (" + std::to_string(Index) + ")");
}

TCustomForm *TCustomForm::ActiveMDIChild() const {
    if (!FClientHandle) return nullptr;
    const HWND active = reinterpret_cast<HWND>(SendMessageW(FClientHandle, WM_MDIGETACTIVE, 0, 0));
    return active ? dynamic_cast<TCustomForm *>(FindControl(active)) : nullptr;
}

TCustomForm *MDIParentForm() {
    if (!Application) return nullptr;
    if (TCustomForm *main = Application->MainForm(); main && main->FormStyle() == fsMDIForm) return main;
    for (int i = 0; Screen && i < Screen->FormCount(); ++i)
        if (Screen->Forms(i)->FormStyle() == fsMDIForm) return Screen->Forms(i);
    return nullptr;
}

void TCustomForm::SetAlphaBlend(bool Value) {
    if (FAlphaBlend == Value) return;
    FAlphaBlend = Value;
    ApplyAlphaBlend();
}

void TCustomForm::SetAlphaBlendValue(std::uint8_t Value) {
    if (FAlphaBlendValue == Value) return;
    FAlphaBlendValue = Value;
    if (FAlphaBlend) ApplyAlphaBlend();
}

void TCustomForm::ApplyAlphaBlend() {
    if (!HandleAllocated()) return;
    const HWND window = WindowHandle();
    const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    if (FAlphaBlend) {
        if (!(exStyle & WS_EX_LAYERED)) SetWindowLongPtrW(window, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
        SetLayeredWindowAttributes(window, 0, FAlphaBlendValue, LWA_ALPHA);
    } else if (exStyle & WS_EX_LAYERED) {
        SetWindowLongPtrW(window, GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
        RedrawWindow(window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
    }
}

// Frame widths around the client area: left, top, right, bottom.
TRect TCustomForm::FrameSizes() const {
    TCreateParams params;
    const_cast<TCustomForm *>(this)->CreateParams(params);
    RECT r{0, 0, 0, 0};
    const bool bar = FMenu && !Parent() && FMenu->Items()->Count() > 0;
    AdjustWindowRectEx(&r, params.Style, bar, params.ExStyle);
    return Rect(-r.left, -r.top, r.right, r.bottom);
}

TRect TCustomForm::ClientRect() const {
    TRect r;
    if (HandleAllocated() || Parent()) {
        r = inherited::ClientRect();
    } else {
        const TRect f = FrameSizes();
        r = Rect(0, 0, std::max(0, Width() - f.Left - f.Right), std::max(0, Height() - f.Top - f.Bottom));
    }
    // While the description is read, the client size is what it said so far.
    if (FClientWidthRead >= 0) r.Right = r.Left + FClientWidthRead;
    if (FClientHeightRead >= 0) r.Bottom = r.Top + FClientHeightRead;
    return r;
}

void TCustomForm::SetClientSize(int AWidth, int AHeight) {
    if (IsLoading()) {
        // The border style that decides the frame may come later in the description.
        FClientWidthRead = AWidth;
        FClientHeightRead = AHeight;
        return;
    }
    if (HandleAllocated() || Parent()) {
        inherited::SetClientSize(AWidth, AHeight);
        return;
    }
    const TRect f = FrameSizes();
    SetBounds(Left(), Top(), AWidth + f.Left + f.Right, AHeight + f.Top + f.Bottom);
}

void TCustomForm::Loaded() {
    inherited::Loaded();
    if (FClientWidthRead >= 0 || FClientHeightRead >= 0) {
        const int w = ClientWidth();
        const int h = ClientHeight();
        FClientWidthRead = FClientHeightRead = -1;
        SetClientSize(w, h);
    }
}

void TCustomForm::PaintWindow(HDC DC) {
    const TCanvasDCScope scope(Canvas(), DC);
    Paint();
}

void TCustomForm::Dispatch(TMessage &Message) {
    switch (Message.Msg) {
    case WM_MEASUREITEM: case WM_DRAWITEM: case WM_COMMAND:
        if (!DispatchMenuMessage(Message, WindowHandle())) inherited::Dispatch(Message);
        break;
    case CM_SHOWINGCHANGED: CMShowingChanged(Message); break;
    case CM_DIALOGKEY: CMDialogKey(Message); break;
    case CM_RELEASE: CMRelease(Message); break;
    case WM_ACTIVATE: WMActivate(Message); break;
    case WM_CLOSE: WMClose(Message); break;
    case WM_SYSCOMMAND: WMSysCommand(Message); break;
    case WM_MDIACTIVATE: WMMDIActivate(Message); break;
    case CM_MENUCHANGED:
        RefreshMDIMenu();
        inherited::Dispatch(Message);
        break;
    case WM_TASKBARSYSMENU:
        // The main form has the taskbar button the request comes from.
        if (Application->MainForm() != this || !Application->CallWindowHooks(Message)) inherited::Dispatch(Message);
        break;
    default: inherited::Dispatch(Message); break;
    }
}

// The form's own show: OnShow runs before the window appears, so that the
// first frame on screen already shows what OnShow put in place.
void TCustomForm::CMShowingChanged(TMessage &Message) {
    if (!HandleAllocated()) return;
    if (Parent()) {
        inherited::Dispatch(Message);
        return;
    }
    if (Showing()) {
        FFormState.Include(fsShowing);
        try {
            DoShow();
            PlaceOnShow();
            static const int commands[] = {SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED};
            ShowWindow(WindowHandle(), commands[FWindowState]);
        } catch (...) {
            FFormState.Exclude(fsShowing);
            throw;
        }
        FFormState.Exclude(fsShowing);
    } else {
        DoHide();
        ShowWindow(WindowHandle(), SW_HIDE);
        if (Screen->ActiveForm() == this) FActive = false;
    }
}

void TCustomForm::PlaceOnShow() {
    TRect area;
    switch (FPosition) {
    case poScreenCenter: area = Rect(0, 0, Screen->Width(), Screen->Height()); break;
    case poDesktopCenter: area = Screen->DesktopRect(); break;
    case poMainFormCenter:
    case poOwnerFormCenter: {
        TCustomForm *center = FPosition == poMainFormCenter ? Application->MainForm() : dynamic_cast<TCustomForm *>(Owner());
        if (!center || center == this) center = Application->MainForm();
        if (!center || center == this) area = Rect(0, 0, Screen->Width(), Screen->Height());
        else area = center->BoundsRect();
        break;
    }
    default: return;
    }
    SetBounds(area.Left + (area.Width() - Width()) / 2, area.Top + (area.Height() - Height()) / 2, Width(), Height());
}

void TCustomForm::CMDialogKey(TMessage &Message) {
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    if (Message.WParam == VK_TAB && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0) {
        SelectNext(FActiveControl, !shift, true);
        Message.Result = 1;
        return;
    }
    inherited::Dispatch(Message);
}

void TCustomForm::CMRelease(TMessage &) { delete this; }

void TCustomForm::WMActivate(TMessage &Message) {
    DefaultHandler(Message);
    const bool active = LOWORD(Message.WParam) != WA_INACTIVE;
    FActive = active;
    if (active) {
        Screen->SetActiveForm(this);
        if (!IsIconic(WindowHandle())) FocusFirstControl();
        if (OnActivate) OnActivate(this);
    } else if (OnDeactivate) {
        OnDeactivate(this);
    }
}

void TCustomForm::FocusFirstControl() {
    TWinControl *target = FActiveControl;
    if (!target || !target->CanFocus()) target = FindNextControl(nullptr, true, true, false);
    if (target && target->CanFocus()) ::SetFocus(target->Handle());
}

void TCustomForm::WMClose(TMessage &) { Close(); }

void TCustomForm::WMSysCommand(TMessage &Message) {
    // The main form's system commands are the application's: its hooks see
    // them first, and its minimize is the application's.
    if (Application->MainForm() == this && Application->CallWindowHooks(Message)) return;
    if ((Message.WParam & 0xFFF0) == SC_MINIMIZE && Application->MainForm() == this) {
        Application->Minimize();
        return;
    }
    DefaultHandler(Message);
}

TControl *FindDragTarget(TPoint Pos, bool AllowDisabled) {
    HWND window = WindowFromPoint(POINT{Pos.X, Pos.Y});
    TWinControl *control = FindControl(window);
    if (!control) return nullptr;
    if (TControl *child = control->ControlAtPos(control->ScreenToClient(Pos), AllowDisabled)) return child;
    return control;
}

bool IsKeyMessage(MSG &Msg) {
    if (Msg.message < WM_KEYFIRST || Msg.message > WM_KEYLAST) return false;
    // The control of the window, or of the nearest parent window that has one
    // (the edit inside a combo box).
    TWinControl *control = nullptr;
    for (HWND w = Msg.hwnd; w && !control; w = GetParent(w)) control = FindControl(w);
    if (!control) return false;
    return control->Perform(CN_BASE + Msg.message, Msg.wParam, Msg.lParam) != 0;
}

TCustomForm *GetParentForm(const TControl *Control) {
    if (!Control) return nullptr;
    while (Control->Parent()) Control = Control->Parent();
    return dynamic_cast<TCustomForm *>(const_cast<TControl *>(Control));
}

// ------------------------------------------------------------------ TScreen

TCustomForm *TScreen::Forms(int Index) const {
    if (Index < 0 || Index >= FormCount()) throw EListError("Form index out of bounds (" + std::to_string(Index) + ")");
    return FForms[static_cast<std::size_t>(Index)];
}

int TScreen::Width() const { return GetSystemMetrics(SM_CXSCREEN); }
int TScreen::Height() const { return GetSystemMetrics(SM_CYSCREEN); }
int TScreen::DesktopWidth() const { return GetSystemMetrics(SM_CXVIRTUALSCREEN); }
int TScreen::DesktopHeight() const { return GetSystemMetrics(SM_CYVIRTUALSCREEN); }

TRect TScreen::DesktopRect() const {
    return Bounds(GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), DesktopWidth(),
                  DesktopHeight());
}

int TScreen::PixelsPerInch() const {
    const TWindowDC screen;
    return GetDeviceCaps(screen.Get(), LOGPIXELSY);
}

TFont *TScreen::MenuFont() const {
    if (FMenuFont) return FMenuFont.get();
    FMenuFont = std::make_unique<TFont>();
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        FMenuFont->SetLogFont(metrics.lfMenuFont);
    }
    return FMenuFont.get();
}

void TScreen::AddForm(TCustomForm *Form) {
    if (std::find(FForms.begin(), FForms.end(), Form) == FForms.end()) FForms.push_back(Form);
}

void TScreen::RemoveForm(TCustomForm *Form) {
    FForms.erase(std::remove(FForms.begin(), FForms.end(), Form), FForms.end());
    if (FActiveForm == Form) FActiveForm = nullptr;
}

void TScreen::SetActiveForm(TCustomForm *Form) { FActiveForm = Form; }

} // namespace vcl
