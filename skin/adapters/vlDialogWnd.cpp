// The dialog adapter: its set-up, its handler of the window's messages
// (hit-testing, title-button presses and releases, sizes, activation) and
// its answers to the skin commands.
#include "vlDialogWnd.h"

#include <algorithm>
#include <utility>

#include "skin/forms/sFrameMetrics.h"
#include "skin/forms/vlDwmServices.h"
#include "skin/graphics/sMaskData.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sIndexCache.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sModuleState.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/sSkinServices.h"
#include "skin/manager/vlFormAnimations.h"
#include "vcl/Bitmap.h"
#include "vcl/Forms.h"

namespace skin {

namespace {

// Private messages of the system's dialogs after which a dialog may hold
// children that it did not have: the adapter looks for them again.
constexpr UINT DialogPrivateMessage = WM_USER + 1;
constexpr UINT DialogChildrenMessage = WM_USER + 300;
constexpr UINT DialogChildrenMessage2 = WM_USER + 302;
// The frame the window's style gives it around its client: left, top,
// right and bottom widths.
vcl::TRect StyleFrameOf(HWND Window) {
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(Window, GWL_STYLE));
    RECT r{0, 0, 0, 0};
    AdjustWindowRectEx(&r, style, !(style & WS_CHILD) && GetMenu(Window) != nullptr,
                       static_cast<DWORD>(GetWindowLongPtrW(Window, GWL_EXSTYLE)));
    return {-r.left, -r.top, r.right, r.bottom};
}

// The active window and everything in it drawn anew at once, frame included.
constexpr UINT RedrawActiveWhole = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW;
static_assert(DialogPrivateMessage == 0x401 && DialogChildrenMessage == 0x52C && DialogChildrenMessage2 == 0x52E &&
              RedrawActiveWhole == 0x585);

vcl::TPoint ScreenPointOf(LPARAM LParam) {
    return {static_cast<short>(LOWORD(LParam)), static_cast<short>(HIWORD(LParam))};
}

// Hit codes of the title buttons. The codes of a maximized MDI child's
// buttons in the menu line (101 to 103) never reach a dialog: it has no such
// line, and neither its hit test nor its border window answers them.
bool IsButtonCode(int Code) { return Code == dhMinButton || Code == dhMaxButton || Code == dhClose || Code == dhHelp; }

constexpr std::uint32_t BlendedMoveFlag = 0x80;

// Takes the system's buttons off the window while the skin draws its own.
// The change runs the dialog's procedure, where the application may free
// the adapter: a window whose adapter went there gets the bit back, as a
// released adapter leaves it. Answers whether the adapter is still there.
bool DropSystemMenu(const TvlDialogWnd &Adapter, HWND Window, LONG_PTR Style) {
    const vcl::TGuarded alive(&Adapter);
    SetWindowLongPtrW(Window, GWL_STYLE, Style & ~static_cast<LONG_PTR>(WS_SYSMENU));
    if (alive) return true;
    if (IsWindow(Window)) {
        const LONG_PTR live = GetWindowLongPtrW(Window, GWL_STYLE);
        if (!(live & WS_SYSMENU)) SetWindowLongPtrW(Window, GWL_STYLE, live | WS_SYSMENU);
    }
    return false;
}

} // namespace

TvlDialogWnd::TvlDialogWnd() {
    Buttons[0].HitCode = dhMinButton;
    Buttons[1].HitCode = dhMaxButton;
    Buttons[2].HitCode = dhHelp;
    Buttons[3].HitCode = dhClose;
}

TvlDialogWnd::~TvlDialogWnd() {
    Release();
    ReleaseScrollWindow();
}

void TvlDialogWnd::Release() {
    if (FReleased) return;
    FReleased = true;
    // Only this dialog's glows: others belong to other windows.
    for (TvlDialogButton &b : Buttons)
        if (b.GlowId >= 0) {
            GlowService().HideGlow(b.GlowId, false);
            b.GlowId = -1;  // forgotten even where it was gone already
        }
    FreeButtonAnimations();
    BorderForm.reset();
    if (!Handle || !IsWindow(Handle) || Destroyed() || !Analysed) return;
    // A dialog that lives on gets its system buttons, and its own shape, back.
    if (Style & WS_SYSMENU) {
        const LONG_PTR live = GetWindowLongPtrW(Handle, GWL_STYLE);
        if (!(live & WS_SYSMENU)) SetWindowLongPtrW(Handle, GWL_STYLE, live | WS_SYSMENU);
    }
    SetWindowRgn(Handle, nullptr, FALSE);
}

void TvlDialogWnd::SetDefaultSection() {
    TvlMainWnd::SetDefaultSection();
    HotButton = 0;
    NeedRegion = true;
    FrameKind = 1;
    Active = true;
    // The dialog's own painting runs: what some dialogs draw in WM_PAINT is
    // their content (the Colour dialog's palettes, the Font dialog's
    // sample), not a face over ours.
    SuppressPaint = false;
    CaptionSection = TitleSection = -1;
    if (!SystemMenu) SystemMenu.reset(vcl::Create<TvlSystemMenu>(nullptr, *this));
    SystemMenu->UpdateItems();
    if (SkinData) SkinData->Updating = true;
    const ULONG_PTR classStyle = GetClassLongPtrW(Handle, GCL_STYLE);
    if (classStyle & CS_SAVEBITS) SetClassLongPtrW(Handle, GCL_STYLE, static_cast<LONG_PTR>(classStyle & ~CS_SAVEBITS));
    SetNcRenderingPolicy(Handle, 1);
    if (TsSkinManager *def = DefaultManager(); def && def->SkinnedPopups())
        def->SkinableMenus().SetMenuOwnerDraw(SystemMenu.get(), true);
    ResolveButtonMasks();
}

void TvlDialogWnd::AnalyseWindow() {
    Style = static_cast<std::uint32_t>(GetWindowLongPtrW(Handle, GWL_STYLE));
    ExStyle = static_cast<std::uint32_t>(GetWindowLongPtrW(Handle, GWL_EXSTYLE));
    FrameKind = DialogFrameKind(Style);
    Icon = reinterpret_cast<HICON>(SendMessageW(Handle, WM_GETICON, ICON_SMALL, 0));
    if (!Icon) Icon = reinterpret_cast<HICON>(SendMessageW(Handle, WM_GETICON, ICON_BIG, 0));
    ResolveButtonMasks();
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        FrameFont.Reset(CreateFontIndirectW(&metrics.lfCaptionFont));
    Analysed = true;
    if (SystemMenu) SystemMenu->UpdateItems();
    // The system draws and tests no buttons of its own while we serve.
    if ((Style & WS_SYSMENU) && !DropSystemMenu(*this, Handle, static_cast<LONG_PTR>(Style))) return;
    WindowText = GetWindowTextOf(Handle);
    FrameInvalid = true;
}

void TvlDialogWnd::ResolveButtonMasks() {
    const TsSkinManager *m = SkinData ? SkinData->GetSkinManager() : nullptr;
    // The masks are named in the skin's title-button section: a skin without
    // it leaves the buttons and the title section as they are.
    if (!m || !m->IsValidSectionIndex(m->CommonElements.GlobalInfoSection)) return;
    const auto &icons = m->CommonElements.TitleIcons;
    const auto set = [&](int Code, int Index, bool Big) {
        TvlDialogButton *b = ButtonByCode(Code);
        b->MaskIndex = Index;
        b->BigIcons = Big;
    };
    const auto bigSet = [&] {
        const bool alone = !HasMaxBox() && !HasMinBox() && m->IsValidMaskIndex(icons[tiBigCloseAlone]);
        set(dhClose, alone ? icons[tiBigCloseAlone] : icons[tiBigClose], true);
        set(dhMinButton, icons[tiBigMin], true);
        set(dhMaxButton, icons[tiBigMax], true);
        set(dhHelp, icons[tiBigHelp], true);
    };
    TitleSection = -1;
    if (FrameKind == 1 || FrameKind == 3) {
        bigSet();
    } else {
        if (m->IsValidMaskIndex(icons[tiSmallClose])) {
            set(dhClose, icons[tiSmallClose], false);
            set(dhMinButton, icons[tiSmallMin], false);
            set(dhMaxButton, icons[tiSmallMax], false);
            set(dhHelp, m->IsValidMaskIndex(icons[tiSmallHelp]) ? icons[tiSmallHelp] : icons[tiBigHelp], false);
        } else {
            bigSet();
        }
        TitleSectionName = "DIALOGTITLE";
        TitleSection = m->FindSectionIndex(TitleSectionName);
    }
    if (TitleSection < 0) {
        TitleSectionName = "FORMTITLE";
        TitleSection = m->FindSectionIndex(TitleSectionName);
    }
}

// ---------------------------------------------------------------- queries

bool TvlDialogWnd::CloseEnabled() const {
    return HasSysMenu() && !(GetClassLongPtrW(Handle, GCL_STYLE) & CS_NOCLOSE);
}

TvlDialogButtonRules TvlDialogWnd::ButtonRules() const {
    return DialogButtonRules(Style, ExStyle, IsIconic(Handle) != 0, IsZoomed(Handle) != 0,
                             !(GetClassLongPtrW(Handle, GCL_STYLE) & CS_NOCLOSE), FrameKind);
}

int TvlDialogWnd::CaptionHeight(bool UseSkin) const {
    const LONG_PTR live = GetWindowLongPtrW(Handle, GWL_STYLE);
    if ((live & WS_CAPTION) != WS_CAPTION && !IsIconic(Handle)) return 0;
    const int native = GetSystemMetrics(FrameKind == 4 || FrameKind == 5 ? SM_CYSMCAPTION : SM_CYCAPTION);
    if (!UseSkin || !BorderForm) return native;
    // As the border image measures it (its top excess, the client's hole):
    // a skin caption taller than the window's is at least 4 pixels taller,
    // else the caption painted and the band the image keeps for it differ.
    return SkinCaptionHeight(GetSkinTitleHeight(BorderForm.get()), native);
}

int TvlDialogWnd::BorderWidth() const {
    // A minimized window's client is empty: half of what is left around it
    // would put the caption below the window.
    if (IsIconic(Handle)) return StyleFrameOf(Handle).Left;
    RECT wr{}, cr{};
    GetWindowRect(Handle, &wr);
    GetClientRect(Handle, &cr);
    return ((wr.right - wr.left) - cr.right) / 2;
}

int TvlDialogWnd::FrameBorder() const {
    return BorderForm ? GetBorderWidth(Handle, BorderForm.get(), true) : BorderWidth();
}

TvlFrameSizes TvlDialogWnd::FrameSizes() const {
    TvlFrameSizes f;
    f.NativeBorder = BorderForm ? GetBorderWidth(Handle, BorderForm.get(), false) : BorderWidth();
    f.NativeCaption = CaptionHeight(false);
    if (BorderForm) {
        f.SkinBorder = GetSkinBorderWidth(BorderForm.get());
        // A dialog without a caption bar keeps none in its image either.
        f.SkinCaption = f.NativeCaption != 0 ? GetSkinTitleHeight(BorderForm.get()) : 0;
        f.Margins = ExtBorderMargins();
    }
    return f;
}

int TvlDialogWnd::BorderOwnerWidth() const {
    return BorderForm ? GetBorderWidth(Handle, BorderForm.get(), false) : BorderWidth();
}

int TvlDialogWnd::BorderSideExcess() const { return BorderForm ? FrameSideExcess(FrameSizes()) : 0; }

int TvlDialogWnd::FrameLeftWidth() const { return BorderWidth() + BorderOffset().X; }

int TvlDialogWnd::NativeTopHeight() const {
    RECT wr{}, cr{};
    GetWindowRect(Handle, &wr);
    if (IsIconic(Handle)) return std::min(StyleFrameOf(Handle).Top, static_cast<int>(wr.bottom - wr.top));
    GetClientRect(Handle, &cr);
    const int bottom = CaptionHeight(false) != 0 ? BorderWidth() : 0;
    return (wr.bottom - wr.top) - cr.bottom - bottom;
}

int TvlDialogWnd::FrameTopHeight() const { return NativeTopHeight() + BorderOffset().Y; }

vcl::TRect TvlDialogWnd::IconRect() const {
    const int w = GetSystemMetrics(SM_CXSMICON), h = GetSystemMetrics(SM_CYSMICON);
    const TsSkinManager *m = SkinData ? SkinData->GetSkinManager() : nullptr;
    const int offset = m && m->SkinData ? m->SkinData->BILeft : 0;
    if (BorderForm) {
        // Centred in the skin's caption, after its side border.
        const vcl::TRect margins = ExtBorderMargins();
        const int left = margins.Left + FrameBorder() + offset, top = margins.Top + (CaptionHeight() - h) / 2;
        return {left, top, left + w, top + h};
    }
    // On the line of the title buttons.
    const int left = BorderWidth() + offset, top = DialogButtonBandTop(CaptionHeight(), h, BorderWidth());
    return {left, top, left + w, top + h};
}

TvlDialogButton *TvlDialogWnd::ButtonByCode(int Code) {
    for (TvlDialogButton &b : Buttons)
        if (b.HitCode == Code) return &b;
    return nullptr;
}

HBRUSH TvlDialogWnd::DialogBrush() {
    const TsSkinManager *m = SkinData ? SkinData->GetSkinManager() : nullptr;
    const vcl::TColor colour = m ? m->GetMainColor() : vcl::clBtnFace;
    // One brush for the adapter's life, made again when the colour changes:
    // the dialog deletes none it is given.
    if (!FBrush || colour != FBrushColor) {
        FBrush.Reset(CreateSolidBrush(static_cast<COLORREF>(vcl::ColorToRGB(colour))));
        FBrushColor = colour;
    }
    return FBrush.Get();
}

int TvlDialogWnd::OwnHitTest(vcl::TPoint P) {
    const int caption = CaptionHeight();
    if (caption == 0) return 0;
    const TvlDialogButton *close = ButtonByCode(dhClose);
    int closeHeight = 21;
    if (!close->Rect.IsEmpty()) closeHeight = close->Rect.Height();
    // The caption's rows and columns as the cache holds them (with a
    // border, the frame image reaches beyond the window).
    const vcl::TPoint off = BorderOffset();
    const int x = P.X + off.X, y = P.Y + off.Y;
    // The band of rows where the buttons are drawn.
    const int top = ButtonsTop(closeHeight, close->BigIcons);
    if (y >= top && y <= top + closeHeight) {
        // The menu's place is the icon as drawn, after the skin's offset.
        const int icon = IconRect().Left;
        if (HasSysMenu() && x >= icon && x <= icon + GetSystemMetrics(SM_CXSMICON)) {
            SetHotButton(0, true);
            HotButton = dhSysMenu;  // no button lights up
            return dhSysMenu;
        }
        const TvlDialogButtonRules rules = ButtonRules();
        const std::vector<int> shown = ShownDialogButtons(rules);
        int n = 0;
        for (std::size_t i = 0; i < shown.size() && n == 0; ++i) {
            const vcl::TRect &r = ButtonByCode(shown[i])->Rect;
            if (!r.IsEmpty() && x >= r.Left && x < r.Right) n = static_cast<int>(i) + 1;
        }
        const int code = DialogButtonHitCode(n, rules);
        if (IsButtonCode(code)) SetHotButton(code, true);
        return code;
    }
    RECT wr{};
    GetWindowRect(Handle, &wr);
    if (IsZoomed(Handle) &&
        (P.X < 2 || P.Y < 2 || P.X >= (wr.right - wr.left) - 4 || P.Y >= (wr.bottom - wr.top) - 4)) {
        SetHotButton(0, true);
        return -1;
    }
    return 0;
}

void TvlDialogWnd::StyleChanged(WPARAM Which, const STYLESTRUCT &Change) {
    // A dialog may change its style after its creation (file dialogs that
    // become sizeable): the frame follows. WS_SYSMENU stays ours to show.
    if (Which == static_cast<WPARAM>(GWL_EXSTYLE)) {
        ExStyle = Change.styleNew;
    } else if (Which == static_cast<WPARAM>(GWL_STYLE)) {
        const std::uint32_t now = Change.styleNew;
        Style = (now & ~static_cast<std::uint32_t>(WS_SYSMENU)) | ((Style | now) & WS_SYSMENU);
        FrameKind = DialogFrameKind(Style);
        if ((now & WS_SYSMENU) && !DropSystemMenu(*this, Handle, static_cast<LONG_PTR>(now))) return;
    } else {
        return;
    }
    ResolveButtonMasks();
    FrameInvalid = true;
    NeedRegion = true;
}

vcl::TPoint TvlDialogWnd::UnderIcon() const {
    RECT wr{};
    GetWindowRect(Handle, &wr);
    const vcl::TRect icon = IconRect();
    const vcl::TPoint off = BorderOffset();
    return {wr.left + icon.Left - off.X, wr.top + icon.Bottom - off.Y};
}

void TvlDialogWnd::PopupSystemMenu(vcl::TPoint Screen) {
    if (!SystemMenu || !HasSysMenu()) return;
    // The menu's own loop runs here: the dialog may be gone after it.
    SystemMenu->ShowAt(Screen.X, Screen.Y, SkinManager);
}

// ------------------------------------------------------------ animations

vcl::TBitmap *TvlDialogWnd::FrameImage() const {
    vcl::TBitmap *cache = SkinData ? SkinData->CacheBmp() : nullptr;
    return cache && !cache->Empty() ? cache : nullptr;
}

void TvlDialogWnd::PrintChildWindows(HDC DC) { skin::PrintChildWindows(Handle, DC); }

std::unique_ptr<vcl::TForm> TvlDialogWnd::TakeBorderWindow() { return BorderForm ? BorderForm->TakeWindow() : nullptr; }

HWND TvlDialogWnd::MakeBorderWindow() { return BorderForm ? BorderForm->MakeWindow() : nullptr; }

void TvlDialogWnd::LockBorder(bool On) {
    if (BorderForm) BorderForm->Updating = On;
}

std::unique_ptr<vcl::TForm> TvlDialogWnd::TakeSnapshotForm() {
    // (A border window, which shows the dialog's last look, is taken over
    // by the hide before it asks for this form.)
    std::unique_ptr<vcl::TForm> form = std::move(SnapshotForm);
    if (!form) form = CreateSnapshotForm(Handle);
    // The hide plays the frame image, an extended border's margins with it.
    if (const vcl::TPoint origin = FrameOrigin(); form && (origin.X != 0 || origin.Y != 0)) {
        RECT r{};
        GetWindowRect(Handle, &r);
        SetWindowPos(form->Handle(), nullptr, r.left - origin.X, r.top - origin.Y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
    return form;
}

bool TvlDialogWnd::ShowAnimated() const {
    const TsSkinManager *def = DefaultManager();
    return def && def->AnimEffects()->DialogShow->Active && def->AnimEffects()->DialogShow->Time != 0 &&
           SkinManager && SkinManager->Effects()->AllowAnimation && LayeredWindowsAvailable();
}

bool TvlDialogWnd::HideAnimated() const {
    return SkinManager && SkinManager->AnimEffects()->DialogHide->Active &&
           SkinManager->AnimEffects()->DialogHide->Time != 0 && SkinManager->Effects()->AllowAnimation &&
           LayeredWindowsAvailable();
}

// ------------------------------------------------------- button states

void TvlDialogWnd::TrackLeave() {
    // Over a border window the mouse is not over the dialog: the manager's
    // hover check tells the leave (SC_MOUSE_LEFT).
    if (BorderForm) return;
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE | TME_NONCLIENT, Handle, 0};
    TrackMouseEvent(&track);
}

void TvlDialogWnd::SetHotButton(int Code, bool Repaint) {
    if (Code == HotButton) return;
    if (TvlDialogButton *old = ButtonByCode(HotButton)) {
        old->State = 0;
        if (Repaint) PaintButtonState(old->HitCode);
    }
    HotButton = Code;
    if (TvlDialogButton *now = ButtonByCode(Code)) {
        now->State = 1;
        if (Repaint) PaintButtonState(Code);
        TrackLeave();
        // The manager tells the window the mouse left (SC_MOUSE_LEFT).
        if (TsSkinManager *m = DefaultManager(); m && m->ActiveWindow != Handle) m->SetActiveControl(Handle);
    }
    TitleButtonPressed = false;
}

void TvlDialogWnd::SetPressedButton(int Code) {
    const TvlDialogButtonRules rules = ButtonRules();
    if (Code == dhMaxButton && !(rules.CanMaximize() || (rules.Maximized && rules.CanRestore()))) return;
    if (Code != HotButton)
        if (TvlDialogButton *old = ButtonByCode(HotButton)) {
            old->State = 0;
            PaintButtonState(old->HitCode);
        }
    HotButton = Code;
    if (TvlDialogButton *now = ButtonByCode(Code)) {
        now->State = 2;
        PaintButtonState(Code);
        TrackLeave();
    }
    TitleButtonPressed = true;
}

// ------------------------------------------------------------ messages

void TvlDialogWnd::NcHitTest(vcl::TMessage &Message) {
    RECT wr{};
    GetWindowRect(Handle, &wr);
    const vcl::TPoint screen = ScreenPointOf(Message.LParam);
    const int code = OwnHitTest({screen.X - wr.left, screen.Y - wr.top});
    if (code == 0 || code == dhCaption) {
        if (HotButton != dhSysMenu || code != dhSysMenu) SetHotButton(0, true);
        PassOnUnless(ScrollHandler(Message), Message);
        return;
    }
    Message.Result = code;
}

void TvlDialogWnd::NcButtonDown(vcl::TMessage &Message) {
    int code = static_cast<int>(static_cast<INT_PTR>(Message.WParam));
    if (code == HTOBJECT || code == htBorderWindow) {
        PassOn(Message);
        return;
    }
    if (code == htAskBorderForm && BorderForm) {
        code = BorderForm->HitTest(Message);
        // A press in the border's sizing zone sizes the dialog.
        Message.WParam = static_cast<WPARAM>(static_cast<INT_PTR>(code));
        if (code == htAskBorderForm) return;
    }
    if (code < HTLEFT || code > HTBOTTOMRIGHT) {
        RECT wr{};
        GetWindowRect(Handle, &wr);
        const vcl::TPoint screen = ScreenPointOf(Message.LParam);
        const int own = OwnHitTest({screen.X - wr.left, screen.Y - wr.top});
        if (own != 0) code = own;
    }
    if (code == dhSysMenu) {
        SetHotButton(0, true);
        Message.Result = 0;
        PopupSystemMenu(UnderIcon());
        return;
    }
    if (IsButtonCode(code)) {
        SetPressedButton(code);
        Message.Result = 0;
        return;
    }
    if (IsIconic(Handle)) {
        SendMessageW(Handle, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
        return;
    }
    SetHotButton(0, true);
    if (code == dhCaption && IsZoomed(Handle)) {
        if (GetActiveWindow() != Handle) SetFocus(Handle);
        return;
    }
    if (code == dhCaption) {
        const TsSkinManager *m = SkinData->GetSkinManager();
        const TvlBlendOnMoving *blend = m ? m->AnimEffects()->BlendOnMoving.get() : nullptr;
        if (blend && blend->Active && blend->BlendValue < 255) {
            FrameInvalid = true;
            Active = true;
            PaintFrame();
            StartBlendedMove();
            Message.Result = 0;
            return;
        }
    }
    PassOn(Message);
}

void TvlDialogWnd::ButtonUp(vcl::TMessage &Message, int Code) {
    // Only a release over the button that was pressed acts.
    if (TitleButtonPressed && Code == HotButton && IsButtonCode(Code)) {
        TitleButtonPressed = false;
        const vcl::TGuarded alive(this);
        switch (Code) {
        case dhMinButton: SendMessageW(Handle, WM_SYSCOMMAND, IsIconic(Handle) ? SC_RESTORE : SC_MINIMIZE, 0); break;
        case dhMaxButton:
            if (IsIconic(Handle) && !ButtonRules().CanMaximize()) break;
            SendMessageW(Handle, WM_SYSCOMMAND, IsZoomed(Handle) ? SC_RESTORE : SC_MAXIMIZE, 0);
            if (alive && SystemMenu) SystemMenu->UpdateItems();
            break;
        case dhHelp:
            SendMessageW(Handle, WM_SYSCOMMAND, SC_CONTEXTHELP, 0);
            if (!alive) break;
            if (SystemMenu) SystemMenu->UpdateItems();
            if (IsWindow(Handle)) SendMessageW(Handle, WM_NCPAINT, 1, 0);
            break;
        case dhClose:
            ButtonByCode(dhClose)->State = 0;
            FreeButtonAnimations();
            SendMessageW(Handle, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        default: break;
        }
        if (!alive) return;
        if (IsWindow(Handle)) SetHotButton(0, true);
        Message.Result = 0;
        return;
    }
    TitleButtonPressed = false;
    if (IsButtonCode(Code)) {
        Message.Result = 0;
        return;
    }
    PassOn(Message);
}

bool TvlDialogWnd::OwnMessage(vcl::TMessage &Message) {
    if (Destroyed()) return ScrollHandler(Message);
    if (Message.Msg == WM_DESTROY) {
        // Freed once the window is gone, from outside its procedure.
        if (Provider) Provider->ReleaseOnceGone(Handle);
        return ScrollHandler(Message);
    }
    if (!Skinned() || FReleased) return ScrollHandler(Message);
    return DialogMessage(Message) || ScrollHandler(Message);
}

bool TvlDialogWnd::DialogMessage(vcl::TMessage &Message) {
    switch (Message.Msg) {
    case SM_SKINCOMMAND: return SkinCommand(Message);
    case WM_NCHITTEST: NcHitTest(Message); return true;
    case WM_NCLBUTTONDOWN: return NcLeftDown(Message);
    case WM_NCLBUTTONUP: ButtonUp(Message, BorderCode(Message)); return true;
    case WM_LBUTTONUP: return PressedButtonReleased(Message);
    case WM_NCLBUTTONDBLCLK: return NcDoubleClick(Message);
    case WM_NCRBUTTONDOWN: return SwallowTitleRightDown(Message);
    case WM_NCRBUTTONUP: return TitleRightClick(Message);
    case WM_NCMOUSELEAVE:
    case WM_MOUSELEAVE: MouseLeft(); return false;
    case WM_MOUSEMOVE: MouseMoved(); return false;
    case WM_SIZE: SizeChanged(Message); return true;
    case WM_SETFOCUS: FocusTaken(Message); return true;
    case WM_ENABLE:
    case WM_SETTEXT: TitleStateChanged(Message); return true;
    case WM_PAINT: return SuppressedPaint(Message);
    case WM_NCPAINT: return NcPaint(Message);
    case WM_ERASEBKGND: Message.Result = EraseBackground(reinterpret_cast<HDC>(Message.WParam)); return true;
    case WM_DRAWITEM: StaticsDrawnTransparent(Message); return false;
    case WM_SHOWWINDOW: return ShowWindowMessage(Message);
    case WM_WINDOWPOSCHANGED: return PositionChanged(Message);
    case WM_COMMAND: return SnapshotBeforeClose(Message);
    case WM_NCACTIVATE: return NcActivate(Message);
    case WM_STYLECHANGED: StyleChangedMessage(Message); return true;
    case WM_GETDLGCODE: Message.Result = 0; return true;
    case vcl::CM_VISIBLECHANGED: return VisibleChanged(Message);
    case WM_CTLCOLORDLG: Message.Result = reinterpret_cast<LRESULT>(DialogBrush()); return true;
    case DialogPrivateMessage:
    case DialogChildrenMessage:
    case DialogChildrenMessage2: ChildrenMayHaveChanged(Message); return true;
    case WM_SYSCOMMAND: SysCommand(Message); return true;
    default: return false;
    }
}

bool TvlDialogWnd::NcLeftDown(vcl::TMessage &Message) {
    // The scroll bars' own presses go to the scrolling stage.
    if (Message.WParam == HTHSCROLL || Message.WParam == HTVSCROLL) return false;
    NcButtonDown(Message);
    return true;
}

bool TvlDialogWnd::PressedButtonReleased(vcl::TMessage &Message) {
    if (!TitleButtonPressed) return false;
    ButtonUp(Message, HotButton);
    return true;
}

bool TvlDialogWnd::NcDoubleClick(vcl::TMessage &Message) {
    // A second click on a title button is a click of its own.
    if (IsButtonCode(static_cast<int>(Message.WParam))) {
        NcButtonDown(Message);
        return true;
    }
    if (Message.WParam == HTCAPTION) {
        ToggleMaximized();
        Message.Result = 0;
        return true;
    }
    if (Message.WParam == HTSYSMENU) {
        // Only a dialog that may be closed closes this way.
        if (CloseEnabled()) SendMessageW(Handle, WM_SYSCOMMAND, SC_CLOSE, 0);
        Message.Result = 0;
        return true;
    }
    return false;
}

void TvlDialogWnd::ToggleMaximized() {
    const TvlDialogButtonRules rules = ButtonRules();
    if (!rules.CanMaximize() && !rules.CanRestore()) return;
    const vcl::TGuarded alive(this);
    SendMessageW(Handle, WM_SYSCOMMAND, IsZoomed(Handle) || IsIconic(Handle) ? SC_RESTORE : SC_MAXIMIZE, 0);
    if (alive && SystemMenu) SystemMenu->UpdateItems();
}

bool TvlDialogWnd::SwallowTitleRightDown(vcl::TMessage &Message) {
    if (Message.WParam != HTCAPTION && Message.WParam != HTSYSMENU) return false;
    Message.Result = 0;
    return true;
}

bool TvlDialogWnd::TitleRightClick(vcl::TMessage &Message) {
    Message.WParam = static_cast<WPARAM>(static_cast<INT_PTR>(BorderCode(Message)));
    if (Message.WParam != HTCAPTION && Message.WParam != HTSYSMENU) return false;
    SetHotButton(0, true);
    PopupSystemMenu(ScreenPointOf(Message.LParam));
    Message.Result = 0;
    return true;
}

void TvlDialogWnd::MouseLeft() {
    SetHotButton(0, true);
    TitleButtonPressed = false;
}

void TvlDialogWnd::MouseMoved() {
    // A dialog holding the mouse gets moves but no hit tests: the move
    // itself tells the manager where the mouse is.
    TsSkinManager *m = DefaultManager();
    if (m && m->ActiveWindow != Handle && IsWindowEnabled(Handle)) m->SetActiveControl(Handle);
}

void TvlDialogWnd::FocusTaken(vcl::TMessage &Message) {
    const vcl::TGuarded alive(this);
    PassOn(Message);
    if (alive) RedrawWindow(GetActiveWindow(), nullptr, nullptr, RedrawActiveWhole);
}

void TvlDialogWnd::TitleStateChanged(vcl::TMessage &Message) {
    const vcl::TGuarded alive(this);
    PassOn(Message);
    if (!alive || !IsWindowVisible(Handle)) return;
    const bool text = Message.Msg == WM_SETTEXT;
    if (text) WindowText = GetWindowTextOf(Handle);
    FrameInvalid = true;
    if (BorderForm && text)
        UpdateBorder(true);
    else
        SendMessageW(Handle, WM_NCPAINT, 1, 0);
}

bool TvlDialogWnd::SuppressedPaint(vcl::TMessage &Message) {
    if (!SuppressPaint) return false;
    PAINTSTRUCT ps;
    const HWND window = Handle;
    BeginPaint(window, &ps);
    EndPaint(window, &ps);
    Message.Result = 0;
    return true;
}

bool TvlDialogWnd::NcPaint(vcl::TMessage &Message) {
    if (!IsWindowVisible(Handle)) return false;
    if (!ChildrenAdapted && Provider) {
        const vcl::TGuarded alive(this);
        ChildrenAdapted = true;
        Provider->AdaptChildren();
        if (!alive) return true;
    }
    // The text is set after the window was made (and skinned).
    if (std::string text = GetWindowTextOf(Handle); text != WindowText) {
        WindowText = std::move(text);
        FrameInvalid = true;
    }
    if (ClientRect.IsEmpty()) StoreClientRect();
    // The border's update places the dialog, its shape and focus run its
    // procedure: any of them may free this adapter.
    const vcl::TGuarded alive(this);
    if (const HWND border = BorderWindow();
        BorderForm && (!border || !IsWindowVisible(border)) && !ModuleState().FormAnimationActive) {
        if (!DwmCompositionActive()) {
            UpdateBorder(true);
        } else {
            // The composition shows the dialog at once: its frame, shape
            // and border are made ready before, and the dialog takes the focus.
            PaintFrame();
            UpdateRegion(false);
            if (!alive) return true;
            UpdateBorder(true);
            if (!alive) return true;
            SetFocus(Handle);
        }
        if (!alive) return true;
    }
    PaintNonClient();
    Message.Result = 0;
    return true;
}

void TvlDialogWnd::StaticsDrawnTransparent(const vcl::TMessage &Message) {
    if (const auto *item = reinterpret_cast<const DRAWITEMSTRUCT *>(Message.LParam); item && item->CtlType == ODT_STATIC)
        SetBkMode(item->hDC, TRANSPARENT);
}

bool TvlDialogWnd::AnimateShow(const vcl::TMessage &Message) {
    if (!Message.WParam || !ShowAnimated()) return false;
    const vcl::TGuarded alive(this);
    WindowText = GetWindowTextOf(Handle);
    if (Provider) {
        ChildrenAdapted = true;
        Provider->AdaptChildren();
        if (!alive) return true;
    }
    SkinData->Updating = false;
    const TvlDialogShow &show = *DefaultManager()->AnimEffects()->DialogShow;
    AnimShowDialog(*this, show.Time, 255, show.Mode);
    // Done only when the adapter went with the animation: nothing of it is left to pass on.
    return !alive;
}

bool TvlDialogWnd::PositionChanged(vcl::TMessage &Message) {
    const auto *pos = reinterpret_cast<const WINDOWPOS *>(Message.LParam);
    if (!pos) return false;
    if (pos->flags & SWP_HIDEWINDOW)
        Hidden(Message);
    else
        Placed(Message, pos->flags);
    return true;
}

void TvlDialogWnd::Placed(vcl::TMessage &Message, UINT Flags) {
    const vcl::TGuarded alive(this);
    PassOnUnless(ScrollHandler(Message), Message);
    // The border follows a visible dialog, except while it is dragged blended.
    // Only a move, a new size or a show: a change of z-order alone
    // (the border placing itself by the dialog) would come back here.
    const bool placed = (Flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE) || (Flags & SWP_SHOWWINDOW);
    if (alive && placed && BorderForm && IsWindowVisible(Handle) && !SkinData->Updating &&
        !(StateFlags & BlendedMoveFlag))
        UpdateBorder(false);
}

void TvlDialogWnd::Hidden(vcl::TMessage &Message) {
    const vcl::TGuarded alive(this);
    NeedRegion = true;
    FreeButtonAnimations();
    PassOnUnless(ScrollHandler(Message), Message);
    // The hidden dialog keeps its alpha: a layered alpha 0 given here would
    // stay for a show of the same dialog, which nothing makes opaque again.
    if (alive && HideAnimated()) AnimHideDialog(*this);
    // The border window goes with the dialog and the next show makes it
    // again; the border form stays: nothing would switch it on for that show.
    if (alive && BorderForm) BorderForm->FreeWindow();
}

bool TvlDialogWnd::SnapshotBeforeClose(vcl::TMessage &Message) {
    // Cancel or Yes may end the dialog: its last look, children and all, is
    // taken into the frame image while it shows, for the hide to play.
    if ((Message.WParam != IDCANCEL && Message.WParam != IDYES) || !HideAnimated() || !IsWindowVisible(Handle))
        return false;
    PaintFrame();
    vcl::TBitmap *image = FrameImage();
    if (!image) return false;
    SnapshotDialogWindow(*this, *image, true);
    const vcl::TGuarded alive(this);
    const HWND border = BorderWindow();
    if (border && IsWindowVisible(border)) {
        // The border window shows the whole look, its hole closed.
        SetWindowRgn(border, nullptr, FALSE);
        BorderForm->Updating = true;
        ShowLayeredBitmap(border, image, 255);
        PassOn(Message);
    } else {
        SnapshotForm = CreateSnapshotForm(Handle);
        PassOnUnless(ScrollHandler(Message), Message);
    }
    if (!alive) return true;
    if (BorderForm) BorderForm->Updating = false;
    // The image's client part is the picture now.
    FrameInvalid = true;
    // A hide took the cover along; one left over a dialog that did not close
    // on the command (a refused Cancel, Esc on a Yes/No box) would stay on
    // top with the frozen look and catch its clicks.
    SnapshotForm.reset();
    if (IsWindowVisible(Handle)) UpdateBorder(true);
    return true;
}

bool TvlDialogWnd::NcActivate(vcl::TMessage &Message) {
    if (!IsWindowVisible(Handle)) return false;
    const vcl::TGuarded alive(this);
    // The system's caption must not flash: it draws while the window
    // counts as hidden.
    SendMessageW(Handle, WM_SETREDRAW, FALSE, 0);
    PassOn(Message);
    if (!alive) return true;
    SendMessageW(Handle, WM_SETREDRAW, TRUE, 0);
    Active = Message.WParam != 0;
    FrameInvalid = true;
    RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
    UpdateBorder(true);
    Message.Result = TRUE;
    return true;
}

void TvlDialogWnd::StyleChangedMessage(vcl::TMessage &Message) {
    const vcl::TGuarded alive(this);
    PassOnUnless(ScrollHandler(Message), Message);
    if (alive && Analysed && Message.LParam)
        StyleChanged(Message.WParam, *reinterpret_cast<const STYLESTRUCT *>(Message.LParam));
}

bool TvlDialogWnd::VisibleChanged(vcl::TMessage &Message) {
    if (Message.WParam != 0) return false;
    const vcl::TGuarded alive(this);
    PassOnUnless(ScrollHandler(Message), Message);
    if (alive) FreeButtonAnimations();
    return true;
}

void TvlDialogWnd::ChildrenMayHaveChanged(vcl::TMessage &Message) {
    const vcl::TGuarded alive(this);
    PassOnUnless(ScrollHandler(Message), Message);
    if (!alive || !IsWindow(Handle)) return;
    if (Provider) Provider->AdaptChildren();
    RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void TvlDialogWnd::SysCommand(vcl::TMessage &Message) {
    const WPARAM command = Message.WParam & 0xFFF0;
    if (command == SC_KEYMENU && Message.LParam == VK_SPACE && HasSysMenu()) {
        // Alt+Space: the window's own menu is gone with WS_SYSMENU, so
        // the keyboard opens ours, under the icon as a click there does.
        Message.Result = 0;
        PopupSystemMenu(UnderIcon());
        return;
    }
    const vcl::TGuarded alive(this);
    PassOnUnless(ScrollHandler(Message), Message);
    if (!alive || !IsWindow(Handle)) return;
    if (Message.WParam == (SC_MOVE | HTCAPTION)) {
        UpdateWindow(Handle);
        UpdateBorder(false);
    }
    if (command == SC_MAXIMIZE || command == SC_RESTORE) SetHotButton(0, true);
}

int TvlDialogWnd::BorderCode(const vcl::TMessage &Message) {
    const int code = static_cast<int>(static_cast<INT_PTR>(Message.WParam));
    return code == htAskBorderForm && BorderForm ? BorderForm->HitTest(Message) : code;
}

bool TvlDialogWnd::SkinCommand(vcl::TMessage &Message) {
    TsCommonData &data = *SkinData;
    // The children's news, the repaints and the border's update run the
    // windows' procedures, which may free this adapter: then the command
    // counts as handled and nothing of it is touched.
    const vcl::TGuarded alive(this);
    const bool own = reinterpret_cast<TsSkinManager *>(Message.LParam) == SkinManager;
    switch (SubCommandOf(Message.WParam)) {
    case SC_SKIN_APPLIED:
        if (own) {
            data.UpdateIndexes(true);
            if (const TsSkinManager *m = data.GetSkinManager()) CaptionSection = m->FindSectionIndex("CAPTION");
            ResolveButtonMasks();
            FrameInvalid = true;
            NeedRegion = true;
            SetExtBorders(data.GetSkinManager() && data.GetSkinManager()->GetExtendedBorders());
            if (!alive) return true;
            BroadcastToChildWindows(Handle, Message);
            if (alive && IsWindowVisible(Handle))
                RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
        }
        Message.Result = 1;
        return true;
    case SC_SKIN_REFRESH:
        if (!own) return false;
        data.UpdateIndexes(true);
        ResolveButtonMasks();
        FrameInvalid = true;
        NeedRegion = true;
        SetExtBorders(data.GetSkinManager() && data.GetSkinManager()->GetExtendedBorders());
        if (alive && IsWindowVisible(Handle)) {
            RedrawWindow(Handle, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME | RDW_UPDATENOW);
            if (alive) UpdateBorder(true);
        }
        return true;
    case SC_SET_UPDATING:
        data.Updating = LOWORD(Message.WParam) == 1;
        if (HotButton != 0) FrameInvalid = true;
        return false;
    case SC_IS_UPDATING: Message.Result = data.Updating ? 1 : 0; return true;
    case SC_REPAINT:
        if (IsWindowVisible(Handle)) UpdateBorder(false);
        return !alive;
    case SC_QUERY_PARENT_REDRAW: {
        const TsSkinManager *m = data.GetSkinManager();
        const int s = data.SkinIndex();
        Message.Result = 0;
        if (m && m->IsValidSectionIndex(s)) {
            const TsGenState &look = m->Sections[static_cast<std::size_t>(s)].Props[0];
            Message.Result = look.ImagePercent + look.GradientPercent > 0 ? 1 : 0;
        }
        return true;
    }
    case SC_GET_BG_COLOR: Message.Result = static_cast<LRESULT>(data.GetBackColor(0, Handle)); return true;
    case SC_ADAPT_CHILD_CONTROLS:
        if (Provider) Provider->AdaptChildren();
        return false;
    case SC_GET_BG_INFO: {
        auto *query = CommandRecord<TvlBgQuery>(Message);
        if (!query) return true;
        PaintFrame();
        vcl::TBitmap *cache = data.CacheBmp();
        const int x = query->X + FrameLeftWidth(), y = query->Y + FrameTopHeight();
        if (!cache || cache->Empty()) {
            query->Kind = bqColor;
            query->Color = data.GetBackColor(0, Handle);
            return true;
        }
        if (query->PaintIntoDC) {
            if (query->DC)
                BitBlt(query->DC, query->Rect.Left, query->Rect.Top, query->Rect.Width(), query->Rect.Height(),
                       cache->Canvas()->Handle(), x, y, SRCCOPY);
        } else {
            query->Image = cache;
            query->X = x;
            query->Y = y;
        }
        query->Kind = bqImage;
        return true;
    }
    case SC_GET_CLIENT_OFFSET:
        Message.Result = static_cast<LRESULT>(MAKELONG(FrameLeftWidth(), FrameTopHeight()));
        return true;
    case SC_GET_BORDER_WIDTH: Message.Result = BorderWidth(); return true;
    case SC_MOUSE_LEFT:
        SetHotButton(0, true);
        TitleButtonPressed = false;
        return false;
    default: return false;
    }
}

} // namespace skin
