#include "ToolBar.h"

#include <commctrl.h>

#include <algorithm>

#include "ImgList.h"
#include "WideText.h"

namespace vcl {

VCL_PUBLISHED(TToolButton, p) {
    p.Property("Caption", &TToolButton::Caption, &TToolButton::SetCaption);
    p.Property("ImageIndex", &TToolButton::ImageIndex, &TToolButton::SetImageIndex).Default(-1);
    p.Property("Style", &TToolButton::Style, &TToolButton::SetStyle).Default(tbsButton);
    p.Property("Enabled", &TToolButton::Enabled, &TToolButton::SetEnabled).Default(true);
    p.Property("OnClick", &TToolButton::OnClick);
    p.Property("OnDropDown", &TToolButton::OnDropDown);
}

VCL_PUBLISHED(TToolBar, p) {
    p.Property("ShowCaptions", &TToolBar::ShowCaptions, &TToolBar::SetShowCaptions).Default(false);
    p.Property("List", &TToolBar::List, &TToolBar::SetList).Default(false);
    p.Property("OnCustomDraw", &TToolBar::OnCustomDraw);
    p.Property("OnCustomDrawButton", &TToolBar::OnCustomDrawButton);
}

namespace {
const bool ToolBarRegistered =
    (RegisterClasses({&TToolBar::StaticClassInfo(), &TToolButton::StaticClassInfo()}), true);

BYTE SystemStyle(TToolButtonStyle Style) {
    switch (Style) {
    case tbsCheck: return BTNS_CHECK;
    case tbsDropDown: return BTNS_DROPDOWN;
    case tbsSeparator: return BTNS_SEP;
    default: return BTNS_BUTTON;
    }
}

TCustomDrawState DrawStateOf(UINT ItemState) {
    TCustomDrawState s;
    if (ItemState & CDIS_SELECTED) s.Include(cdsSelected);
    if (ItemState & CDIS_GRAYED) s.Include(cdsGrayed);
    if (ItemState & CDIS_DISABLED) s.Include(cdsDisabled);
    if (ItemState & CDIS_CHECKED) s.Include(cdsChecked);
    if (ItemState & CDIS_FOCUS) s.Include(cdsFocused);
    if (ItemState & CDIS_DEFAULT) s.Include(cdsDefault);
    if (ItemState & CDIS_HOT) s.Include(cdsHot);
    if (ItemState & CDIS_MARKED) s.Include(cdsMarked);
    if (ItemState & CDIS_INDETERMINATE) s.Include(cdsIndeterminate);
    return s;
}

// The bar's canvas draws on a notice's DC for the length of a handler. The
// handler is the application's: it may free the bar, its canvas with it.
class TCanvasLoan {
public:
    TCanvasLoan(TToolBar &Bar, HDC DC) : FBar(&Bar), FDC(DC), FSaved(SaveDC(DC)) { Bar.Canvas()->SetHandle(DC); }
    ~TCanvasLoan() {
        if (FBar) FBar->Canvas()->SetHandle(nullptr);
        RestoreDC(FDC, FSaved);
    }
    TCanvasLoan(const TCanvasLoan &) = delete;
    TCanvasLoan &operator=(const TCanvasLoan &) = delete;

    bool BarLives() const { return static_cast<bool>(FBar); }

private:
    TGuarded<TToolBar> FBar;
    HDC FDC;
    int FSaved;
};

} // namespace

// ----------------------------------------------------------------- button

TToolButton::TToolButton(TComponent *AOwner) : TComponent(AOwner) {}

TToolButton::~TToolButton() { SetToolBar(nullptr); }

void TToolButton::SetToolBar(TToolBar *Value) {
    if (FToolBar == Value) return;
    if (FToolBar) FToolBar->RemoveButton(this);
    FToolBar = nullptr;
    if (Value) Value->InsertButton(this);
}

void TToolButton::SetCaption(const std::string &Value) {
    if (FCaption == Value) return;
    FCaption = Value;
    if (FToolBar) FToolBar->RebuildButtons();
}

void TToolButton::SetImageIndex(int Value) {
    if (FImageIndex == Value) return;
    FImageIndex = Value;
    if (FToolBar) FToolBar->UpdateButton(this);
}

void TToolButton::SetStyle(TToolButtonStyle Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    if (FToolBar) FToolBar->RebuildButtons();
}

void TToolButton::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    if (FToolBar) FToolBar->UpdateButton(this);
}

bool TToolButton::Down() const {
    if (FToolBar && FToolBar->HandleAllocated())
        return (SendMessageW(FToolBar->WindowHandle(), TB_GETSTATE, static_cast<WPARAM>(FCommand), 0) & TBSTATE_CHECKED) != 0;
    return FDown;
}

void TToolButton::SetDown(bool Value) {
    FDown = Value;
    if (FToolBar) FToolBar->UpdateButton(this);
}

int TToolButton::Index() const {
    if (!FToolBar) return -1;
    const auto &b = FToolBar->FButtons;
    const auto it = std::find(b.begin(), b.end(), this);
    return it == b.end() ? -1 : static_cast<int>(it - b.begin());
}

TRect TToolButton::BoundsRect() const {
    RECT r{};
    if (FToolBar && FToolBar->HandleAllocated())
        SendMessageW(FToolBar->WindowHandle(), TB_GETITEMRECT, static_cast<WPARAM>(Index()), reinterpret_cast<LPARAM>(&r));
    return {r.left, r.top, r.right, r.bottom};
}

// -------------------------------------------------------------------- bar

TToolBar::TToolBar(TComponent *AOwner) : TWinControl(AOwner), FCanvas(std::make_unique<TCanvas>()) {
    SetControlStyle(ControlStyle() - TControlStyle{csClickEvents, csCaptureMouse});
    SetBounds(0, 0, 150, 29);
    SetAlign(alTop);
}

TToolBar::~TToolBar() {
    for (TToolButton *b : FButtons) b->FToolBar = nullptr;
    if (FImages) FImages->RemoveFreeNotification(this);
    FCanvas->SetHandle(nullptr);
}

TToolButton *TToolBar::Buttons(int Index) const {
    if (Index < 0 || Index >= ButtonCount()) throw EListError("Button index out of bounds (" + std::to_string(Index) + ")");
    return FButtons[static_cast<std::size_t>(Index)];
}

TToolButton *TToolBar::ButtonOfCommand(int Command) const {
    for (TToolButton *b : FButtons)
        if (b->FCommand == Command) return b;
    return nullptr;
}

void TToolBar::SetImages(TCustomImageList *Value) {
    if (FImages == Value) return;
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages) FImages->FreeNotification(this);
    if (HandleAllocated()) {
        Perform(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(FImages ? FImages->Handle() : nullptr));
        RebuildButtons();
    }
}

void TToolBar::SetShowCaptions(bool Value) {
    if (FShowCaptions == Value) return;
    FShowCaptions = Value;
    if (HandleAllocated()) RecreateWnd();
}

void TToolBar::SetList(bool Value) {
    if (FList == Value) return;
    FList = Value;
    if (HandleAllocated()) RecreateWnd();
}

void TToolBar::Notification(TComponent *AComponent, TOperation Operation) {
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages) {
        FImages = nullptr;
        if (HandleAllocated()) Perform(TB_SETIMAGELIST, 0, 0);
    }
}

void TToolBar::CreateParams(TCreateParams &Params) {
    inherited::CreateParams(Params);
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    CreateSubClass(Params, TOOLBARCLASSNAMEW);
    Params.Style |= TBSTYLE_FLAT | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
    if (FList) Params.Style |= TBSTYLE_LIST;
}

void TToolBar::InitializeWnd() {
    Perform(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    Perform(TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    if (FImages) Perform(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(FImages->Handle()));
    RebuildButtons();
}

void TToolBar::InsertButton(TToolButton *Button) {
    Button->FToolBar = this;
    Button->FCommand = FNextCommand++;
    FButtons.push_back(Button);
    RebuildButtons();
}

void TToolBar::RemoveButton(TToolButton *Button) {
    FButtons.erase(std::remove(FButtons.begin(), FButtons.end(), Button), FButtons.end());
    RebuildButtons();
}

void TToolBar::RebuildButtons() {
    if (!HandleAllocated()) return;
    while (Perform(TB_BUTTONCOUNT, 0, 0) > 0) Perform(TB_DELETEBUTTON, 0, 0);
    for (TToolButton *b : FButtons) {
        std::wstring text = Utf8ToWide(b->FCaption);
        text.push_back(L'\0');
        TBBUTTON button{};
        button.iBitmap = b->FStyle == tbsSeparator ? 6 : b->FImageIndex >= 0 ? b->FImageIndex : I_IMAGENONE;
        button.idCommand = b->FCommand;
        button.fsState = static_cast<BYTE>((b->FEnabled ? TBSTATE_ENABLED : 0) | (b->FDown ? TBSTATE_CHECKED : 0));
        button.fsStyle = SystemStyle(b->FStyle);
        button.iString = FShowCaptions && b->FStyle != tbsSeparator && !b->FCaption.empty()
                             ? Perform(TB_ADDSTRINGW, 0, reinterpret_cast<LPARAM>(text.c_str()))
                             : -1;
        Perform(TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
    }
    Perform(TB_AUTOSIZE, 0, 0);
    FitHeightToButtons();
    Invalidate();
}

// The window neither grows nor shrinks with its buttons; a bar lower than
// they are would cut off their lower part, the captions under the images.
// A bar taller than its buttons keeps the height it was given.
void TToolBar::FitHeightToButtons() {
    int bottom = 0;
    const int count = static_cast<int>(Perform(TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        RECT r{};
        if (Perform(TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r)))
            bottom = std::max<int>(bottom, r.bottom);
    }
    const int client = ClientHeight();
    if (bottom > client) SetHeight(Height() + bottom - client);
}

void TToolBar::UpdateButton(TToolButton *Button) {
    if (!HandleAllocated()) return;
    TBBUTTONINFOW info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_STATE | TBIF_IMAGE;
    info.fsState = static_cast<BYTE>((Button->FEnabled ? TBSTATE_ENABLED : 0) | (Button->FDown ? TBSTATE_CHECKED : 0));
    info.iImage = Button->FImageIndex >= 0 ? Button->FImageIndex : I_IMAGENONE;
    Perform(TB_SETBUTTONINFOW, static_cast<WPARAM>(Button->FCommand), reinterpret_cast<LPARAM>(&info));
}

void TToolBar::CustomDraw(TMessage &Message) {
    auto *draw = reinterpret_cast<NMTBCUSTOMDRAW *>(Message.LParam);
    const NMCUSTOMDRAW &cd = draw->nmcd;
    const TRect r{cd.rc.left, cd.rc.top, cd.rc.right, cd.rc.bottom};
    Message.Result = CDRF_DODEFAULT;
    if (cd.dwDrawStage == CDDS_PREPAINT) {
        bool defaultDraw = true;
        if (OnCustomDraw) {
            const TCanvasLoan loan(*this, cd.hdc);
            OnCustomDraw(this, r, cdPrePaint, defaultDraw);
            // Nothing of the bar is left to draw its buttons.
            if (!loan.BarLives()) {
                Message.Result = CDRF_SKIPDEFAULT;
                return;
            }
        }
        Message.Result = defaultDraw ? (OnCustomDrawButton ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT) : CDRF_SKIPDEFAULT;
    } else if (cd.dwDrawStage == CDDS_ITEMPREPAINT && OnCustomDrawButton) {
        TToolButton *button = ButtonOfCommand(static_cast<int>(cd.dwItemSpec));
        if (!button) return;
        bool defaultDraw = true;
        const TCanvasLoan loan(*this, cd.hdc);
        OnCustomDrawButton(this, button, DrawStateOf(cd.uItemState), cdPrePaint, defaultDraw);
        Message.Result = defaultDraw && loan.BarLives() ? CDRF_DODEFAULT : CDRF_SKIPDEFAULT;
    }
}

void TToolBar::Notify(TMessage &Message) {
    const auto *header = reinterpret_cast<const NMHDR *>(Message.LParam);
    if (header->code == static_cast<UINT>(NM_CUSTOMDRAW)) {
        CustomDraw(Message);
    } else if (header->code == static_cast<UINT>(TBN_DROPDOWN)) {
        const auto *n = reinterpret_cast<const NMTOOLBARW *>(Message.LParam);
        if (TToolButton *b = ButtonOfCommand(n->iItem); b && b->OnDropDown) b->OnDropDown(b);
        Message.Result = TBDDRET_DEFAULT;
    }
}

void TToolBar::WndProc(TMessage &Message) {
    switch (Message.Msg) {
    case CN_NOTIFY: Notify(Message); return;
    case CN_COMMAND: {
        TToolButton *b = ButtonOfCommand(LOWORD(Message.WParam));
        if (b) {
            b->FDown = b->Down();
            if (b->OnClick) b->OnClick(b);
        }
        return;
    }
    default: break;
    }
    inherited::WndProc(Message);
}

} // namespace vcl
