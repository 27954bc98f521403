#include "Controls.h"

// Before windowsx.h, whose SelectFont and friends are macros.
#include "Canvas.h"

#include <windowsx.h>

#include <algorithm>

#include "AppContext.h"
#include "SysUtils.h"
#include "WideText.h"

namespace vcl {

VCL_PUBLISHED(TControl, p) {
    p.Property("Left", &TControl::Left, &TControl::SetLeft);
    p.Property("Top", &TControl::Top, &TControl::SetTop);
    p.Property("Width", &TControl::Width, &TControl::SetWidth);
    p.Property("Height", &TControl::Height, &TControl::SetHeight);
    p.Property("Align", &TControl::Align, &TControl::SetAlign).Default(alNone);
    p.Property("Visible", &TControl::Visible, &TControl::SetVisible).Default(true);
    p.Property("Enabled", &TControl::Enabled, &TControl::SetEnabled).Default(true);
    // Colour and font taken from the parent are not the control's own to store.
    p.Property("Color", &TControl::Color, &TControl::SetColor).Idents(ColorIdents).Stored([](const TObject *c) {
        return !static_cast<const TControl *>(c)->ParentColor();
    });
    p.Property("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).Default(true);
    p.Property("Font", &TControl::Font).Stored([](const TObject *c) {
        return !static_cast<const TControl *>(c)->ParentFont();
    });
    p.Property("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(true);
    p.Property("OnClick", &TControl::OnClick);
    p.Property("OnDblClick", &TControl::OnDblClick);
    p.Property("OnMouseDown", &TControl::OnMouseDown);
    p.Property("OnMouseUp", &TControl::OnMouseUp);
    p.Property("OnMouseMove", &TControl::OnMouseMove);
    p.Property("OnMouseEnter", &TControl::OnMouseEnter);
    p.Property("OnMouseLeave", &TControl::OnMouseLeave);
}

VCL_PUBLISHED(TWinControl, p) {
    p.Property("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder);
    p.Property("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop);
    p.Property("BorderWidth", &TWinControl::BorderWidth, &TWinControl::SetBorderWidth).Default(0);
}

namespace {

thread_local std::uint32_t MessageCount = 0;

// The graphic control that holds the mouse through its parent's capture.
TControl *CaptureControl = nullptr;

// Child windows carry an identifier: a parent finds by it the child that a
// WM_MEASUREITEM is for.
UINT NextChildId() {
    static UINT id = 100;
    return ++id;
}

// Holds a control state for the length of a scope.
class TControlStateScope {
public:
    TControlStateScope(TControl *Control, TControlStateItem Item) : FControl(Control), FItem(Item) {
        FControl->SetControlState(FControl->ControlState() + TControlState{FItem});
    }
    // What runs inside the scope (a paint, the application's) may free the control.
    ~TControlStateScope() {
        if (FControl) FControl->SetControlState(FControl->ControlState() - TControlState{FItem});
    }
    TControlStateScope(const TControlStateScope &) = delete;
    TControlStateScope &operator=(const TControlStateScope &) = delete;

private:
    TGuarded<TControl> FControl;
    TControlStateItem FItem;
};

// Sets a flag for the length of a scope.
class TFlagScope {
public:
    explicit TFlagScope(bool &Flag) : FFlag(Flag) { FFlag = true; }
    ~TFlagScope() { FFlag = false; }
    TFlagScope(const TFlagScope &) = delete;
    TFlagScope &operator=(const TFlagScope &) = delete;

private:
    bool &FFlag;
};

// The control at the top of Control's parents when it is a form.
TWinControl *ParentFormControl(const TControl *Control) {
    if (!Control) return nullptr;
    while (Control->Parent()) Control = Control->Parent();
    auto *top = dynamic_cast<TWinControl *>(const_cast<TControl *>(Control));
    return dynamic_cast<TFormHost *>(top) ? top : nullptr;
}

} // namespace

// ---------------------------------------------------------------- TControl

TControl::TControl(TComponent *AOwner) : TComponent(AOwner), FFont(std::make_unique<TFont>()) {
    WindowProc = TWndMethod::Bind<&TControl::WndProc>(this);
    FFont->OnChange = TNotifyEvent::Bind<&TControl::FontOnChange>(this);
}

TControl::~TControl() {
    if (CaptureControl == this) {
        CaptureControl = nullptr;
        ReleaseCapture();
    }
    // A windowed control has left its parent in its own destructor already.
    if (FParent) SetParent(nullptr);
}

void TControl::SetParent(TWinControl *AParent) {
    if (FParent == AParent) return;
    CheckUIThread("Setting the parent of a control");
    if (AParent == this) throw EInvalidOperation("A control cannot be its own parent");
    if (FParent) FParent->RemoveControl(this);
    if (AParent) AParent->InsertControl(this);
}

TComponent *TControl::GetParentComponent() const { return FParent; }

void TControl::SetParentComponent(TComponent *Value) {
    if (auto *parent = dynamic_cast<TWinControl *>(Value)) SetParent(parent);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    AWidth = std::max(AWidth, 0);
    AHeight = std::max(AHeight, 0);
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
    InvalidateControl(FVisible, false);
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    InvalidateControl(FVisible, false);
    RequestAlign();
}

TRect TControl::ClientRect() const { return Rect(0, 0, FWidth, FHeight); }

void TControl::SetClientSize(int AWidth, int AHeight) { SetBounds(FLeft, FTop, AWidth, AHeight); }

TPoint TControl::ClientOrigin() const {
    if (!FParent) throw EInvalidOperation("Control '" + Name() + "' has no parent");
    const TPoint p = FParent->ClientOrigin();
    return Point(p.X + FLeft, p.Y + FTop);
}

TPoint TControl::ClientToScreen(TPoint P) const {
    const TPoint o = ClientOrigin();
    return Point(P.X + o.X, P.Y + o.Y);
}

TPoint TControl::ScreenToClient(TPoint P) const {
    const TPoint o = ClientOrigin();
    return Point(P.X - o.X, P.Y - o.Y);
}

void TControl::SetVisible(bool Value) {
    if (FVisible == Value) return;
    FVisible = Value;
    Perform(CM_VISIBLECHANGED, Value ? 1 : 0, 0);
    RequestAlign();
}

bool TControl::Showing() const { return FVisible && FParent && FParent->Showing(); }

void TControl::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    Perform(CM_ENABLEDCHANGED, 0, 0);
}

void TControl::SetText(const std::string &Value) {
    if (GetText() == Value) return;
    // Through the window procedure, so that whoever replaced it sees the change.
    const std::wstring wide = Utf8ToWide(Value);
    // The application's handler of the text may free the control.
    const TGuarded alive(this);
    Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    if (alive) Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::SetColor(TColor Value) {
    if (!FUpdatingFromParent) FParentColor = false;
    if (FColor == Value) return;
    FColor = Value;
    Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentColor(bool Value) {
    if (FParentColor == Value) return;
    FParentColor = Value;
    if (Value && FParent && !IsLoading()) Perform(CM_PARENTCOLORCHANGED, 0, 0);
}

void TControl::SetParentFont(bool Value) {
    if (FParentFont == Value) return;
    FParentFont = Value;
    if (Value && FParent && !IsLoading()) Perform(CM_PARENTFONTCHANGED, 0, 0);
}

void TControl::SetAlign(TAlign Value) {
    if (FAlign == Value) return;
    FAlign = Value;
    RequestAlign();
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage m{Msg, WParam, LParam, 0};
    WindowProc(m);
    return m.Result;
}

void TControl::Invalidate() { InvalidateControl(FVisible, FControlStyle.Contains(csOpaque)); }

void TControl::Update() {
    if (FParent) FParent->Update();
}

void TControl::Repaint() {
    Invalidate();
    Update();
}

void TControl::InvalidateControl(bool IsVisible, bool IsOpaque) {
    if (!IsVisible || !FParent || !FParent->HandleAllocated()) return;
    const RECT r{FLeft, FTop, FLeft + FWidth, FTop + FHeight};
    InvalidateRect(FParent->WindowHandle(), &r, IsOpaque ? FALSE : TRUE);
}

void TControl::RequestAlign() {
    if (FAlign != alNone && FParent) FParent->Realign();
}

void TControl::Loaded() {
    inherited::Loaded();
    // The parent's font and colour may have been read after this control's.
    if (FParent) {
        if (FParentColor) Perform(CM_PARENTCOLORCHANGED, 0, 0);
        if (FParentFont) Perform(CM_PARENTFONTCHANGED, 0, 0);
    }
    AdjustSize();
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
    if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::WndProc(TMessage &Message) { Dispatch(Message); }

void TControl::Dispatch(TMessage &Message) {
    switch (Message.Msg) {
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK:
    case WM_MOUSEMOVE:
        WMMouse(Message);
        break;
    case CM_ENABLEDCHANGED: CMEnabledChanged(Message); break;
    case CM_VISIBLECHANGED: CMVisibleChanged(Message); break;
    case CM_FONTCHANGED: CMFontChanged(Message); break;
    case CM_COLORCHANGED: CMColorChanged(Message); break;
    case CM_PARENTFONTCHANGED: CMParentFontChanged(Message); break;
    case CM_PARENTCOLORCHANGED: CMParentColorChanged(Message); break;
    case CM_MOUSEENTER: CMMouseEnter(Message); break;
    case CM_MOUSELEAVE: CMMouseLeave(Message); break;
    case CM_TEXTCHANGED: AdjustSize(); Invalidate(); break;
    default: DefaultHandler(Message); break;
    }
}

// Without a window the control keeps its text itself.
void TControl::DefaultHandler(TMessage &Message) {
    switch (Message.Msg) {
    case WM_SETTEXT: WMSetText(Message); break;
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH: WMGetText(Message); break;
    default: break;
    }
}

void TControl::WMSetText(TMessage &Message) {
    FText = Message.LParam ? WideToUtf8(reinterpret_cast<const wchar_t *>(Message.LParam)) : std::string();
    Message.Result = TRUE;
}

void TControl::WMGetText(TMessage &Message) {
    const std::wstring wide = Utf8ToWide(FText);
    if (Message.Msg == WM_GETTEXTLENGTH) {
        Message.Result = static_cast<LRESULT>(wide.size());
        return;
    }
    const auto capacity = static_cast<std::size_t>(Message.WParam);
    auto *buffer = reinterpret_cast<wchar_t *>(Message.LParam);
    if (!buffer || capacity == 0) return;
    const std::size_t n = std::min(wide.size(), capacity - 1);
    std::copy_n(wide.data(), n, buffer);
    buffer[n] = L'\0';
    Message.Result = static_cast<LRESULT>(n);
}

void TControl::WMMouse(TMessage &Message) {
    // A windowed control's system class wants its mouse input too; what it
    // sets off (a click, a command) may free the control.
    const vcl::TGuarded alive(this);
    DefaultHandler(Message);
    if (!alive) return;
    const int x = GET_X_LPARAM(Message.LParam);
    const int y = GET_Y_LPARAM(Message.LParam);
    TShiftState shift = KeysToShiftState(Message.WParam);
    auto *self = dynamic_cast<TWinControl *>(this);
    switch (Message.Msg) {
    case WM_MOUSEMOVE:
        MouseMove(shift, x, y);
        break;
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK: {
        const bool dbl = Message.Msg == WM_LBUTTONDBLCLK || Message.Msg == WM_RBUTTONDBLCLK ||
                         Message.Msg == WM_MBUTTONDBLCLK;
        if (dbl) shift.Include(ssDouble);
        if (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) {
            if (FControlStyle.Contains(csCaptureMouse)) {
                if (self) {
                    SetCapture(self->WindowHandle());
                } else if (FParent && FParent->HandleAllocated()) {
                    CaptureControl = this;
                    SetCapture(FParent->WindowHandle());
                }
            }
            FControlState.Include(csLButtonDown);
            if (FControlStyle.Contains(csClickEvents) && !dbl) FControlState.Include(csClicked);
            if (dbl && FControlStyle.Contains(csDoubleClicks)) DblClick();
            if (!alive) return;
        }
        MouseDown(ButtonOf(Message.Msg), shift, x, y);
        break;
    }
    default: {  // button up
        if (Message.Msg == WM_LBUTTONUP) {
            FControlState.Exclude(csLButtonDown);
            if (CaptureControl == this) CaptureControl = nullptr;
            if (FControlStyle.Contains(csCaptureMouse) && GetCapture()) ReleaseCapture();
            if (FControlState.Contains(csClicked)) {
                FControlState.Exclude(csClicked);
                const TRect r = ClientRect();
                if (x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom) Click();
                if (!alive) return;
            }
        }
        MouseUp(ButtonOf(Message.Msg), shift, x, y);
        break;
    }
    }
}

void TControl::CMEnabledChanged(TMessage &) { Invalidate(); }

void TControl::CMVisibleChanged(TMessage &) { InvalidateControl(true, FVisible && FControlStyle.Contains(csOpaque)); }

void TControl::CMFontChanged(TMessage &) {
    AdjustSize();
    Invalidate();
}

void TControl::CMColorChanged(TMessage &) { Invalidate(); }

void TControl::CMParentFontChanged(TMessage &) {
    if (!FParentFont || !FParent) return;
    TFlagScope updating(FUpdatingFromParent);
    FFont->Assign(FParent->Font());
}

void TControl::CMParentColorChanged(TMessage &) {
    if (!FParentColor || !FParent) return;
    TFlagScope updating(FUpdatingFromParent);
    SetColor(FParent->Color());
}

void TControl::CMMouseEnter(TMessage &) {
    if (OnMouseEnter) OnMouseEnter(this);
}

void TControl::CMMouseLeave(TMessage &) {
    if (OnMouseLeave) OnMouseLeave(this);
}

void TControl::FontOnChange(TObject *) {
    if (!FUpdatingFromParent) FParentFont = false;
    Perform(CM_FONTCHANGED, 0, 0);
}

// ------------------------------------------------------------- TWinControl

TWinControl::TWinControl(TComponent *AOwner)
    : TControl(AOwner), FWindow(TWndMethod::Bind<&TWinControl::MainWndProc>(this), this),
      FBrush(std::make_unique<TBrush>()) {
    FBrush->SetColor(Color());
}

TWinControl::~TWinControl() {
    CancelWindowUpdate(this);
    // Leave the parent while still a windowed control (the parent keeps a tab list).
    if (Parent()) SetParent(nullptr);
    DestroyHandle();
    for (TControl *child : FControls) child->FParent = nullptr;
    FControls.clear();
    FTabList.clear();
}

HWND TWinControl::Handle() {
    HandleNeeded();
    return WindowHandle();
}

void TWinControl::HandleNeeded() {
    if (WindowHandle()) return;
    if (Parent()) Parent()->HandleNeeded();
    CreateHandle();
}

void TWinControl::CreateHandle() {
    if (!WindowHandle()) CreateWnd();
}

void TWinControl::CreateParams(TCreateParams &Params) {
    Params = TCreateParams{};
    Params.Caption = StoredText();
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (ControlStyle().Contains(csAcceptsControls)) Params.Style |= WS_CLIPCHILDREN;
    if (!Enabled()) Params.Style |= WS_DISABLED;
    if (FTabStop) Params.Style |= WS_TABSTOP;
    Params.X = Left();
    Params.Y = Top();
    Params.Width = Width();
    Params.Height = Height();
    if (Parent()) Params.WndParent = Parent()->WindowHandle();
    Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    Params.WindowClass.lpfnWndProc = DefWindowProcW;
    Params.WindowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    Params.WinClassName = Utf8ToWide(ClassName());
}

void TWinControl::CreateSubClass(TCreateParams &Params, const wchar_t *ControlClassName) {
    WNDCLASSW base{};
    if (!GetClassInfoW(nullptr, ControlClassName, &base) && !GetClassInfoW(GetModuleHandleW(nullptr), ControlClassName, &base))
        throw Exception("The window class " + WideToUtf8(ControlClassName) + " does not exist");
    const std::wstring name = Params.WinClassName;
    Params.WindowClass = base;
    Params.WinClassName = name;
}

void TWinControl::CreateWnd() {
    CheckUIThread("Making the window of a control");
    TCreateParams params;
    CreateParams(params);
    if ((params.Style & WS_CHILD) && !params.WndParent)
        throw EInvalidOperation("Control '" + Name() + "' has no parent window");
    {
        TControlStateScope creating(this, csCreating);
        CreateWindowHandle(params);
    }
    Perform(WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 0);
    InitializeWnd();
}

void TWinControl::CreateWindowHandle(const TCreateParams &Params) {
    const auto id = (Params.Style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(NextChildId())) : nullptr;
    FWindow.Create(Params, id);
}

void TWinControl::DestroyHandle() {
    if (!HandleAllocated()) return;
    TControlStateScope destroying(this, csDestroyingHandle);
    // Children first, while they can still save what their windows hold.
    for (TControl *child : std::vector<TControl *>(FControls))
        if (auto *w = dynamic_cast<TWinControl *>(child)) w->DestroyHandle();
    DestroyWnd();
}

void TWinControl::DestroyWnd() {
    SetStoredText(GetText());
    // Canvases let go of their DCs of the window while it still exists.
    FreeWindowDCs(WindowHandle());
    DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
    FWindow.Destroy();
    FShowing = false;
    CancelWindowUpdate(this);
}

void TWinControl::BeforeDestruction() {
    inherited::BeforeDestruction();
    DestroyHandle();
}

void TWinControl::RecreateWnd() {
    if (HandleAllocated()) Perform(CM_RECREATEWND, 0, 0);
}

void TWinControl::CMRecreateWnd(TMessage &) {
    const bool wasFocused = Focused();
    DestroyHandle();
    UpdateControlState();
    if (wasFocused && HandleAllocated()) ::SetFocus(WindowHandle());
}

void TWinControl::MainWndProc(TMessage &Message) {
    ++MessageCount;
    const UINT msg = Message.Msg;
    if (msg == WM_MOUSEMOVE && WindowHandle()) {
        // So that leaving the window is noticed even when no other of ours is entered.
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, WindowHandle(), 0};
        TrackMouseEvent(&track);
    }
    const HWND window = WindowHandle();
    try {
        WindowProc(Message);
    } catch (...) {
        ReportException(this);
    }
    // The object may be gone now (a form released itself); only a window's
    // last message finds it whole, since the object outlives its window.
    if (msg == WM_NCDESTROY && window) {
        FreeWindowDCs(window);  // of a window destroyed by someone else
        FWindow.Unbind();
        FShowing = false;
        CancelWindowUpdate(this);
    }
}

void TWinControl::WndProc(TMessage &Message) {
    if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST && Message.Msg != WM_MOUSEWHEEL &&
        RouteMouseToChild(Message))
        return;
    inherited::WndProc(Message);
}

bool TWinControl::RouteMouseToChild(TMessage &Message) {
    TControl *target = nullptr;
    const TPoint p = Point(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
    if (CaptureControl && CaptureControl->Parent() == this) target = CaptureControl;
    else if (!GetCapture() || GetCapture() != WindowHandle() || !ControlStyle().Contains(csCaptureMouse))
        target = ControlAtPos(p, false);
    if (!target) return false;
    const LPARAM local = MAKELPARAM(static_cast<WORD>(p.X - target->Left()), static_cast<WORD>(p.Y - target->Top()));
    Message.Result = target->Perform(Message.Msg, Message.WParam, local);
    return true;
}

void TWinControl::Dispatch(TMessage &Message) {
    switch (Message.Msg) {
    case WM_PAINT: WMPaint(Message); break;
    case WM_ERASEBKGND: WMEraseBkgnd(Message); break;
    case WM_WINDOWPOSCHANGED: WMWindowPosChanged(Message); break;
    case WM_NCCALCSIZE: WMNCCalcSize(Message); break;
    case WM_NCPAINT: WMNCPaint(Message); break;
    case WM_SETFOCUS: WMSetFocus(Message); break;
    case WM_KILLFOCUS: WMKillFocus(Message); break;
    case WM_COMMAND: case WM_NOTIFY: case WM_DRAWITEM: case WM_MEASUREITEM: case WM_DELETEITEM:
    case WM_COMPAREITEM: case WM_HSCROLL: case WM_VSCROLL: case WM_CHARTOITEM: case WM_VKEYTOITEM:
    case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC:
        ReflectToChild(Message);
        break;
    case CN_CTLCOLORMSGBOX: case CN_CTLCOLOREDIT: case CN_CTLCOLORLISTBOX: case CN_CTLCOLORBTN:
    case CN_CTLCOLORDLG: case CN_CTLCOLORSCROLLBAR: case CN_CTLCOLORSTATIC:
        CNCtlColor(Message);
        break;
    case CN_KEYDOWN: case CN_SYSKEYDOWN: CNKeyDown(Message); break;
    case CM_SHOWINGCHANGED: CMShowingChanged(Message); break;
    case CM_VISIBLECHANGED: CMVisibleChanged(Message); break;
    case CM_ENABLEDCHANGED: CMEnabledChanged(Message); break;
    case CM_FONTCHANGED: CMFontChanged(Message); break;
    case CM_COLORCHANGED: CMColorChanged(Message); break;
    case CM_RECREATEWND: CMRecreateWnd(Message); break;
    case CM_FOCUSCHANGED: CMFocusChanged(Message); break;
    case CM_DIALOGKEY: CMDialogKey(Message); break;
    default: inherited::Dispatch(Message); break;
    }
}

void TWinControl::DefaultHandler(TMessage &Message) {
    if (!WindowHandle()) {
        inherited::DefaultHandler(Message);
        return;
    }
    Message.Result = FWindow.CallDefault(Message.Msg, Message.WParam, Message.LParam);
}

std::string TWinControl::GetText() const {
    if (!WindowHandle()) return inherited::GetText();
    const int length = GetWindowTextLengthW(WindowHandle());
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int n = GetWindowTextW(WindowHandle(), text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(n, 0)));
    return WideToUtf8(text);
}

TControl *TWinControl::Controls(int Index) const {
    if (Index < 0 || Index >= ControlCount()) throw EListError("Control index out of bounds (" + std::to_string(Index) + ")");
    return FControls[static_cast<std::size_t>(Index)];
}

bool TWinControl::IsChild(const TControl *Control) const {
    return std::find(FControls.begin(), FControls.end(), Control) != FControls.end();
}

bool TWinControl::ContainsControl(const TControl *Control) const {
    for (const TControl *c = Control; c; c = c->Parent())
        if (c == this) return true;
    return false;
}

TControl *TWinControl::ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls) const {
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl *c = *it;
        if (!AllowWinControls && dynamic_cast<TWinControl *>(c)) continue;
        if (!c->Visible() || (!AllowDisabled && !c->Enabled())) continue;
        if (Pos.X >= c->Left() && Pos.X < c->Left() + c->Width() && Pos.Y >= c->Top() && Pos.Y < c->Top() + c->Height())
            return c;
    }
    return nullptr;
}

void TWinControl::Broadcast(TMessage &Message) {
    for (TControl *child : std::vector<TControl *>(FControls)) {
        if (!IsChild(child)) continue;  // a receiver took it away
        child->WindowProc(Message);
        if (Message.Result != 0) return;
    }
}

void TWinControl::InsertControl(TControl *AControl) {
    FControls.push_back(AControl);
    AControl->FParent = this;
    auto *windowed = dynamic_cast<TWinControl *>(AControl);
    if (windowed) {
        FTabList.push_back(windowed);
        if (windowed->FTabOrderWanted >= 0 && !windowed->IsLoading()) windowed->SetTabOrder(windowed->FTabOrderWanted);
    }
    if (AControl->ParentFont()) AControl->Perform(CM_PARENTFONTCHANGED, 0, 0);
    if (AControl->ParentColor()) AControl->Perform(CM_PARENTCOLORCHANGED, 0, 0);
    if (!IsDestroying()) Perform(CM_CONTROLLISTCHANGE, 1, reinterpret_cast<LPARAM>(AControl));
    if (windowed) windowed->UpdateControlState();
    else AControl->Invalidate();
    AControl->RequestAlign();
}

void TWinControl::RemoveControl(TControl *AControl) {
    if (!IsDestroying()) Perform(CM_CONTROLLISTCHANGE, 0, reinterpret_cast<LPARAM>(AControl));
    if (auto *windowed = dynamic_cast<TWinControl *>(AControl)) {
        if (TFormHost *form = FormHostOf(this)) form->ForgetControl(windowed);
        windowed->DestroyHandle();
        FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), windowed), FTabList.end());
    } else {
        AControl->InvalidateControl(AControl->Visible(), false);
    }
    FControls.erase(std::remove(FControls.begin(), FControls.end(), AControl), FControls.end());
    AControl->FParent = nullptr;
    if (AControl->Align() != alNone) Realign();
}

int TWinControl::TabOrder() const {
    if (!Parent()) return -1;
    const auto &list = Parent()->FTabList;
    return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TWinControl::SetTabOrder(int Value) {
    // Applied once the control is in its parent's list and the description read.
    if (IsLoading() || !Parent()) {
        FTabOrderWanted = Value;
        return;
    }
    FTabOrderWanted = -1;
    auto &list = Parent()->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return;
    list.erase(it);
    const auto index = static_cast<std::size_t>(std::clamp(Value, 0, static_cast<int>(list.size())));
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(index), this);
}

void TWinControl::Loaded() {
    inherited::Loaded();
    if (FTabOrderWanted >= 0 && Parent()) {
        const int wanted = FTabOrderWanted;
        FTabOrderWanted = -1;
        SetTabOrder(wanted);
    }
    Realign();
}

bool TWinControl::CanFocus() const {
    const TControl *c = this;
    for (; c; c = c->Parent())
        if (!c->Visible() || !c->Enabled()) return false;
    return true;
}

bool TWinControl::Focused() const { return WindowHandle() && GetFocus() == WindowHandle(); }

void TWinControl::SetFocus() {
    if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
    if (TWinControl *form = ParentFormControl(this); form && form != this)
        dynamic_cast<TFormHost *>(form)->SetActiveControl(this);
    ::SetFocus(Handle());
}

TWinControl *TWinControl::FindNextControl(TWinControl *CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) const {
    // Every windowed descendant, in tab order, depth first.
    std::vector<TWinControl *> order;
    auto append = [&](const TWinControl *parent, auto &self) -> void {
        for (TWinControl *w : parent->FTabList) {
            order.push_back(w);
            self(w, self);
        }
    };
    append(this, append);
    if (order.empty()) return nullptr;
    auto it = std::find(order.begin(), order.end(), CurControl);
    std::ptrdiff_t start = it == order.end() ? (GoForward ? -1 : static_cast<std::ptrdiff_t>(order.size()))
                                             : it - order.begin();
    const auto n = static_cast<std::ptrdiff_t>(order.size());
    for (std::ptrdiff_t step = 1; step <= n; ++step) {
        const std::ptrdiff_t i = ((start + (GoForward ? step : -step)) % n + n) % n;
        TWinControl *c = order[static_cast<std::size_t>(i)];
        if (c == CurControl) break;
        if (CheckTabStop && !c->TabStop()) continue;
        if (CheckParent && c->Parent() != this) continue;
        if (c->CanFocus()) return c;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl *CurControl, bool GoForward, bool CheckTabStop) {
    if (TWinControl *next = FindNextControl(CurControl, GoForward, CheckTabStop, false)) next->SetFocus();
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    AWidth = std::max(AWidth, 0);
    AHeight = std::max(AHeight, 0);
    if (WindowHandle() && !IsIconic(WindowHandle())) {
        // The placement's notices run the application's code: it may free the control.
        const TGuarded alive(this);
        SetWindowPos(WindowHandle(), nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        if (!alive) return;
        // WM_WINDOWPOSCHANGED has read the window's bounds back unless
        // someone swallowed it; the requested ones stand then.
        if (Left() != ALeft || Top() != ATop || Width() != AWidth || Height() != AHeight)
            UpdateBounds();
        return;
    }
    const bool resized = AWidth != Width() || AHeight != Height();
    inherited::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (resized) Realign();
}

void TWinControl::UpdateBounds() {
    if (!WindowHandle() || IsIconic(WindowHandle())) return;
    RECT r{};
    GetWindowRect(WindowHandle(), &r);
    if (GetWindowLongPtrW(WindowHandle(), GWL_STYLE) & WS_CHILD)
        MapWindowPoints(HWND_DESKTOP, GetParent(WindowHandle()), reinterpret_cast<POINT *>(&r), 2);
    const bool resized = r.right - r.left != Width() || r.bottom - r.top != Height();
    TControl::SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
    if (resized) Realign();
}

TRect TWinControl::ClientRect() const {
    if (!WindowHandle()) return inherited::ClientRect();
    RECT r{};
    GetClientRect(WindowHandle(), &r);
    return Rect(r.left, r.top, r.right, r.bottom);
}

TPoint TWinControl::ClientOrigin() const {
    if (WindowHandle()) {
        POINT p{0, 0};
        ::ClientToScreen(WindowHandle(), &p);
        return Point(p.x, p.y);
    }
    if (!Parent()) return Point(Left(), Top());
    const TPoint p = Parent()->ClientOrigin();
    return Point(p.X + Left(), p.Y + Top());
}

void TWinControl::SetClientSize(int AWidth, int AHeight) {
    if (!WindowHandle()) {
        inherited::SetClientSize(AWidth, AHeight);
        return;
    }
    const TRect client = ClientRect();
    SetBounds(Left(), Top(), Width() - client.Width() + AWidth, Height() - client.Height() + AHeight);
}

void TWinControl::Invalidate() {
    if (WindowHandle()) InvalidateRect(WindowHandle(), nullptr, ControlStyle().Contains(csOpaque) ? FALSE : TRUE);
}

void TWinControl::Update() {
    if (WindowHandle()) UpdateWindow(WindowHandle());
}

void TWinControl::Repaint() {
    Invalidate();
    Update();
}

void TWinControl::UpdateShowing() {
    const bool show = Visible() && (Parent() ? Parent()->FShowing : IsTopLevel());
    if (show) HandleNeeded();
    if (show == FShowing) return;
    FShowing = show;
    try {
        const std::vector<TControl *> children(FControls);
        if (show) {
            // The children get their windows before this one announces that
            // it starts showing.
            for (TControl *child : children)
                if (auto *w = IsChild(child) ? dynamic_cast<TWinControl *>(child) : nullptr) w->UpdateShowing();
            Perform(CM_SHOWINGCHANGED, 0, 0);
        } else {
            Perform(CM_SHOWINGCHANGED, 0, 0);
            for (TControl *child : children)
                if (auto *w = IsChild(child) ? dynamic_cast<TWinControl *>(child) : nullptr) w->UpdateShowing();
        }
    } catch (...) {
        FShowing = !show;
        throw;
    }
}

void TWinControl::UpdateControlState() {
    for (const TWinControl *p = Parent(); p; p = p->Parent())
        if (!p->FShowing) return;
    if (Parent() || IsTopLevel()) UpdateShowing();
}

void TWinControl::CMShowingChanged(TMessage &) {
    if (!WindowHandle()) return;
    SetWindowPos(WindowHandle(), nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | (FShowing ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::CMVisibleChanged(TMessage &) {
    if (!Visible() && Parent()) {
        if (TFormHost *form = FormHostOf(this); form && form->ActiveControl() && ContainsControl(form->ActiveControl()))
            form->SetActiveControl(nullptr);
    }
    UpdateControlState();
}

void TWinControl::CMEnabledChanged(TMessage &) {
    if (WindowHandle()) EnableWindow(WindowHandle(), Enabled() ? TRUE : FALSE);
}

void TWinControl::CMFontChanged(TMessage &Message) {
    if (WindowHandle()) Perform(WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), TRUE);
    for (TControl *child : std::vector<TControl *>(FControls)) child->Perform(CM_PARENTFONTCHANGED, 0, 0);
    AdjustSize();
    Invalidate();
}

void TWinControl::CMColorChanged(TMessage &) {
    FBrush->SetColor(Color());
    for (TControl *child : std::vector<TControl *>(FControls)) child->Perform(CM_PARENTCOLORCHANGED, 0, 0);
    Invalidate();
}

void TWinControl::CMFocusChanged(TMessage &Message) {
    Broadcast(Message);
    Message.Result = 0;
}

void TWinControl::CMDialogKey(TMessage &Message) { Broadcast(Message); }

bool TWinControl::WantsKey(WPARAM Key) {
    if (!WindowHandle()) return false;
    const LRESULT code = Perform(WM_GETDLGCODE, Key, 0);
    if (Key == VK_TAB) return (code & DLGC_WANTTAB) != 0;
    if (Key == VK_LEFT || Key == VK_RIGHT || Key == VK_UP || Key == VK_DOWN) return (code & DLGC_WANTARROWS) != 0;
    return (code & DLGC_WANTALLKEYS) != 0;
}

void TWinControl::CNKeyDown(TMessage &Message) {
    Message.Result = 0;
    const WPARAM key = Message.WParam;
    if (key != VK_TAB && key != VK_RETURN && key != VK_ESCAPE && key != VK_EXECUTE && key != VK_CANCEL) return;
    if (WantsKey(key)) return;
    if (TWinControl *form = ParentFormControl(this))
        if (form->Perform(CM_DIALOGKEY, key, Message.LParam) != 0) Message.Result = 1;
}

void TWinControl::WMPaint(TMessage &Message) {
    if (!PaintsItself()) {
        // The system's class paints the window; graphic children (a label
        // on a group box or a tab sheet) are painted over it into the same
        // DC, as a form paints its own.
        const bool graphicChildren = std::any_of(FControls.begin(), FControls.end(), [](const TControl *C) {
            return !dynamic_cast<const TWinControl *>(C) && C->Visible();
        });
        if (graphicChildren)
            PaintHandler(Message);
        else
            DefaultHandler(Message);
        return;
    }
    // Flagged only from here on: a procedure put in front of this one sees
    // the paint before it has started.
    TControlStateScope painting(this, csCustomPaint);
    PaintHandler(Message);
}

void TWinControl::PaintHandler(TMessage &Message) {
    // The paint is the application's: it may free the control, and so may
    // the erase that starting it sends.
    const TGuarded alive(this);
    const TPaintDC dc(WindowHandle(), reinterpret_cast<HDC>(Message.WParam));
    if (!alive) return;
    {
        TSavedDC saved(dc.Get());
        PaintWindow(dc.Get());
    }
    if (alive) PaintControls(dc.Get(), nullptr);
}

void TWinControl::PaintWindow(HDC DC) {
    TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(DC), 0, 0};
    DefaultHandler(m);
}

namespace {

// A bitmap of the screen's kind to paint into, with its own DC.
struct TScratch {
    TScratch(int Width, int Height)
        : Bitmap(CreateCompatibleBitmap(TWindowDC().Get(), std::max(Width, 1), std::max(Height, 1))),
          Selected(DC.Get(), Bitmap.Get()) {}
    TMemoryDC DC;
    TBitmapHandle Bitmap;
    TSelectObject Selected;
};

} // namespace

void TWinControl::PaintTo(HDC DC, int X, int Y) {
    const HWND wnd = WindowHandle();
    if (!wnd) return;
    RECT window{}, client{};
    GetWindowRect(wnd, &window);
    GetClientRect(wnd, &client);
    POINT origin{0, 0};
    ::ClientToScreen(wnd, &origin);
    // Native controls clip their painting to their client rectangle as the
    // DC's origin makes it, so each window paints into a picture of its
    // own at the origin, which is then copied to its place.
    TScratch frame(window.right - window.left, window.bottom - window.top);
    RECT edge{0, 0, window.right - window.left, window.bottom - window.top};
    FillRect(frame.DC.Get(), &edge, FBrush->Handle());
    const LONG_PTR style = GetWindowLongPtrW(wnd, GWL_STYLE), exStyle = GetWindowLongPtrW(wnd, GWL_EXSTYLE);
    if (exStyle & WS_EX_CLIENTEDGE) DrawEdge(frame.DC.Get(), &edge, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    if (style & WS_BORDER) DrawEdge(frame.DC.Get(), &edge, BDR_OUTER, BF_RECT | BF_ADJUST | BF_MONO);
    TScratch inside(client.right, client.bottom);
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(inside.DC.Get()), 0);
    Perform(WM_PAINT, reinterpret_cast<WPARAM>(inside.DC.Get()), 0);
    // A copy: painting may add or remove controls.
    for (TControl *c : std::vector<TControl *>(FControls)) {
        auto *child = dynamic_cast<TWinControl *>(c);
        if (child && IsChild(child) && child->Visible() && child->HandleAllocated())
            child->PaintTo(inside.DC.Get(), child->Left(), child->Top());
    }
    BitBlt(frame.DC.Get(), origin.x - window.left, origin.y - window.top, client.right, client.bottom, inside.DC.Get(),
           0, 0, SRCCOPY);
    BitBlt(DC, X, Y, window.right - window.left, window.bottom - window.top, frame.DC.Get(), 0, 0, SRCCOPY);
}

void TWinControl::PaintControls(HDC DC, TControl *First) {
    // A copy: a control's painting may add or remove controls.
    const std::vector<TControl *> children(FControls);
    auto it = First ? std::find(children.begin(), children.end(), First) : children.begin();
    RECT clip{};
    GetClipBox(DC, &clip);
    // A child's paint (the application's) may free this control.
    const TGuarded alive(this);
    for (; it != children.end() && alive; ++it) {
        TControl *c = *it;
        if (!IsChild(c) || dynamic_cast<TWinControl *>(c) || !c->Visible()) continue;
        const RECT bounds{c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()};
        RECT common{};
        if (!IntersectRect(&common, &bounds, &clip)) continue;
        TSavedDC saved(DC);
        POINT old{};
        OffsetViewportOrgEx(DC, c->Left(), c->Top(), &old);
        IntersectClipRect(DC, 0, 0, c->Width(), c->Height());
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    }
}

void TWinControl::WMEraseBkgnd(TMessage &Message) {
    if (!ErasesItself()) {
        DefaultHandler(Message);
        return;
    }
    RECT r{};
    GetClientRect(WindowHandle(), &r);
    FillRect(reinterpret_cast<HDC>(Message.WParam), &r, FBrush->Handle());
    Message.Result = 1;
}

void TWinControl::WMWindowPosChanged(TMessage &Message) {
    // The size and move notices it sends run the application's code (and a
    // parent's drawing, asked what lies behind the control): it may free the control.
    const TGuarded alive(this);
    DefaultHandler(Message);
    if (alive) UpdateBounds();
}

void TWinControl::SetBorderWidth(int Value) {
    Value = std::max(Value, 0);
    if (FBorderWidth == Value) return;
    FBorderWidth = Value;
    if (WindowHandle())
        SetWindowPos(WindowHandle(), nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TWinControl::WMNCCalcSize(TMessage &Message) {
    DefaultHandler(Message);
    if (FBorderWidth <= 0) return;
    // The first rectangle of either form of the message is the client area.
    auto *client = reinterpret_cast<RECT *>(Message.LParam);
    InflateRect(client, -FBorderWidth, -FBorderWidth);
    if (client->right < client->left) client->right = client->left;
    if (client->bottom < client->top) client->bottom = client->top;
}

void TWinControl::WMNCPaint(TMessage &Message) {
    DefaultHandler(Message);
    if (FBorderWidth <= 0) return;
    // The band between the system's frame and the client area.
    RECT window{}, client{};
    GetWindowRect(WindowHandle(), &window);
    GetClientRect(WindowHandle(), &client);
    MapWindowPoints(WindowHandle(), HWND_DESKTOP, reinterpret_cast<POINT *>(&client), 2);
    OffsetRect(&client, -window.left, -window.top);
    RECT band = client;
    InflateRect(&band, FBorderWidth, FBorderWidth);
    const TWindowDC dc(WindowHandle(), GetWindowDC(WindowHandle()));
    ExcludeClipRect(dc.Get(), client.left, client.top, client.right, client.bottom);
    FillRect(dc.Get(), &band, FBrush->Handle());
}

void TWinControl::WMSetFocus(TMessage &Message) {
    DefaultHandler(Message);
    if (TWinControl *form = ParentFormControl(this); form && form != this)
        dynamic_cast<TFormHost *>(form)->SetFocusedControl(this);
}

void TWinControl::WMKillFocus(TMessage &Message) { DefaultHandler(Message); }

void TWinControl::ReflectToChild(TMessage &Message) {
    const HWND child = NotifyingChild(WindowHandle(), Message);
    TWinControl *control = child && child != WindowHandle() ? FindControl(child) : nullptr;
    if (control) Message.Result = control->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
    else DefaultHandler(Message);
}

// A control paints its text and background in its own font colour and colour.
void TWinControl::CNCtlColor(TMessage &Message) {
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    SetTextColor(dc, GdiColor(Font()->Color()));
    SetBkColor(dc, GdiColor(Color()));
    Message.Result = reinterpret_cast<LRESULT>(FBrush->Handle());
}

void TWinControl::AlignControls(TControl *, TRect &R) {
    static const TAlign order[] = {alTop, alBottom, alLeft, alRight, alClient};
    for (TAlign align : order) {
        for (TControl *c : std::vector<TControl *>(FControls)) {
            if (c->Align() != align || !c->Visible()) continue;
            const int w = c->Width();
            const int h = c->Height();
            switch (align) {
            case alTop: c->SetBounds(R.Left, R.Top, R.Width(), h); R.Top += h; break;
            case alBottom: c->SetBounds(R.Left, R.Bottom - h, R.Width(), h); R.Bottom -= h; break;
            case alLeft: c->SetBounds(R.Left, R.Top, w, R.Height()); R.Left += w; break;
            case alRight: c->SetBounds(R.Right - w, R.Top, w, R.Height()); R.Right -= w; break;
            default: c->SetBounds(R.Left, R.Top, R.Width(), R.Height()); break;
            }
        }
    }
}

void TWinControl::Realign() {
    if (FAligning || IsLoading() || IsDestroying()) return;
    const bool any = std::any_of(FControls.begin(), FControls.end(), [](const TControl *c) { return c->Align() != alNone; });
    if (!any) return;
    TFlagScope aligning(FAligning);
    TRect r = ClientRect();
    AlignControls(nullptr, r);
}

void TWinControl::DeferWindowUpdate() {
    CheckUIThread("Deferring a window update");
    AddWindowUpdate(this);
}

std::uint32_t ControlMessageCount() { return MessageCount; }

// ------------------------------------------------------------------ helpers

TWinControl *FindControl(HWND Window) { return static_cast<TWinControl *>(BoundObject(Window)); }

TFormHost *FormHostOf(const TControl *Control) { return dynamic_cast<TFormHost *>(ParentFormControl(Control)); }

} // namespace vcl
