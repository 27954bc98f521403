#include "StatusBar.h"

#include <commctrl.h>

#include <vector>

#include "WideText.h"

namespace vcl {

VCL_PUBLISHED(TStatusPanel, p) {
    p.Property("Alignment", &TStatusPanel::Alignment, &TStatusPanel::SetAlignment).Default(taLeftJustify);
    p.Property("Style", &TStatusPanel::Style, &TStatusPanel::SetStyle).Default(psText);
    p.Property("Text", &TStatusPanel::Text, &TStatusPanel::SetText);
    p.Property("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth).Default(50);
}

VCL_PUBLISHED(TStatusPanels, p) { (void)p; }

VCL_PUBLISHED(TStatusBar, p) {
    p.Property("Panels", &TStatusBar::Panels, &TStatusBar::SetPanels);
    p.Property("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel).Default(false);
    p.Property("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText);
    p.Property("SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip).Default(true);
    p.Property("OnDrawPanel", &TStatusBar::OnDrawPanel);
}

namespace {
const bool StatusBarRegistered = (RegisterClasses({&TStatusBar::StaticClassInfo(), &TStatusPanel::StaticClassInfo()}), true);
} // namespace

TStatusPanel::TStatusPanel(TCollection *Collection) : TCollectionItem(Collection) {}

void TStatusPanel::SetText(const std::string &Value) {
    if (FText == Value) return;
    FText = Value;
    Changed(false);
}

void TStatusPanel::SetWidth(int Value) {
    if (FWidth == Value) return;
    FWidth = Value;
    Changed(true);
}

void TStatusPanel::SetStyle(TStatusPanelStyle Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    Changed(false);
}

void TStatusPanel::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    Changed(false);
}

TStatusPanels::TStatusPanels(TStatusBar *Bar) : TCollection(TStatusPanel::StaticClassInfo(), Bar), FBar(Bar) {}

void TStatusPanels::Update(TCollectionItem *) { FBar->PanelsChanged(); }

TStatusBar::TStatusBar(TComponent *AOwner)
    : TWinControl(AOwner), FPanels(std::make_unique<TStatusPanels>(this)), FCanvas(std::make_unique<TCanvas>()) {
    SetControlStyle(ControlStyle() - TControlStyle{csClickEvents, csCaptureMouse});
    SetBounds(0, 0, 200, 19);
    SetAlign(alBottom);
}

TStatusBar::~TStatusBar() { FCanvas->SetHandle(nullptr); }

void TStatusBar::SetSimplePanel(bool Value) {
    if (FSimplePanel == Value) return;
    FSimplePanel = Value;
    UpdatePanels();
}

void TStatusBar::SetSimpleText(const std::string &Value) {
    if (FSimpleText == Value) return;
    FSimpleText = Value;
    if (HandleAllocated() && FSimplePanel)
        Perform(SB_SETTEXTW, 255, reinterpret_cast<LPARAM>(Utf8ToWide(FSimpleText).c_str()));
}

void TStatusBar::SetSizeGrip(bool Value) {
    if (FSizeGrip == Value) return;
    FSizeGrip = Value;
    if (HandleAllocated()) RecreateWnd();
}

void TStatusBar::CreateParams(TCreateParams &Params) {
    inherited::CreateParams(Params);
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    CreateSubClass(Params, STATUSCLASSNAMEW);
    Params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
    if (FSizeGrip) Params.Style |= SBARS_SIZEGRIP;
}

void TStatusBar::InitializeWnd() { UpdatePanels(); }

void TStatusBar::PanelsChanged() {
    if (FPanelsBehind || !HandleAllocated()) return;
    FPanelsBehind = true;
    DeferWindowUpdate();
}

void TStatusBar::FlushWindowUpdate() {
    if (!FPanelsBehind) return;
    UpdatePanels();
}

void TStatusBar::UpdatePanels() {
    FPanelsBehind = false;
    if (!HandleAllocated()) return;
    Perform(SB_SIMPLE, FSimplePanel ? 1 : 0, 0);
    if (FSimplePanel) {
        Perform(SB_SETTEXTW, 255, reinterpret_cast<LPARAM>(Utf8ToWide(FSimpleText).c_str()));
        return;
    }
    // Right edges; the last panel takes the rest of the bar.
    const int count = FPanels->Count();
    std::vector<int> edges(static_cast<std::size_t>(count > 0 ? count : 1), -1);
    int x = 0;
    for (int i = 0; i < count - 1; ++i) edges[static_cast<std::size_t>(i)] = x += FPanels->Items(i)->Width();
    Perform(SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    for (int i = 0; i < count; ++i) {
        const TStatusPanel *panel = FPanels->Items(i);
        const WPARAM how = static_cast<WPARAM>(i) | (panel->Style() == psOwnerDraw ? SBT_OWNERDRAW : 0);
        if (panel->Style() == psOwnerDraw) {
            Perform(SB_SETTEXTW, how, reinterpret_cast<LPARAM>(panel));
        } else {
            const std::wstring text = Utf8ToWide(panel->Text());
            Perform(SB_SETTEXTW, how, reinterpret_cast<LPARAM>(text.c_str()));
        }
    }
    Invalidate();
}

void TStatusBar::DrawPanel(TStatusPanel *Panel, const TRect &Rect) {
    if (OnDrawPanel) OnDrawPanel(this, Panel, Rect);
}

void TStatusBar::DrawItem(TMessage &Message) {
    const auto *item = reinterpret_cast<const DRAWITEMSTRUCT *>(Message.LParam);
    const int index = static_cast<int>(item->itemID);
    if (index < 0 || index >= FPanels->Count()) return;
    // The canvas draws on the paint's DC for the length of the event.
    const int saved = SaveDC(item->hDC);
    FCanvas->SetHandle(item->hDC);
    // The application's drawing may free the bar, its canvas with it.
    const TGuarded alive(this);
    try {
        DrawPanel(FPanels->Items(index), TRect{item->rcItem.left, item->rcItem.top, item->rcItem.right,
                                               item->rcItem.bottom});
    } catch (...) {
        if (alive) FCanvas->SetHandle(nullptr);
        RestoreDC(item->hDC, saved);
        throw;
    }
    if (alive) FCanvas->SetHandle(nullptr);
    RestoreDC(item->hDC, saved);
    Message.Result = 1;
}

void TStatusBar::WndProc(TMessage &Message) {
    if (Message.Msg == CN_DRAWITEM) {
        DrawItem(Message);
        return;
    }
    inherited::WndProc(Message);
}

} // namespace vcl
