#include "Tabs.h"

#include <commctrl.h>

#include <algorithm>

#include "WideText.h"

namespace vcl {

VCL_PUBLISHED(TCustomTabControl, p) {
    p.Property("TabIndex", &TCustomTabControl::TabIndex, &TCustomTabControl::SetTabIndex).Default(-1);
    p.Property("TabPosition", &TCustomTabControl::TabPosition, &TCustomTabControl::SetTabPosition).Default(tpTop);
    p.Property("OwnerDraw", &TCustomTabControl::OwnerDraw, &TCustomTabControl::SetOwnerDraw).Default(false);
    p.Property("OnDrawTab", &TCustomTabControl::OnDrawTab);
    p.Property("OnChange", &TCustomTabControl::OnChange);
}

VCL_PUBLISHED(TTabControl, p) { p.Property("Tabs", &TTabControl::Tabs, &TTabControl::SetTabs); }

VCL_PUBLISHED(TTabSheet, p) { (void)p; }

VCL_PUBLISHED(TPageControl, p) { (void)p; }

namespace {
const bool TabsRegistered = (RegisterClasses({&TTabControl::StaticClassInfo(), &TPageControl::StaticClassInfo(),
                                              &TTabSheet::StaticClassInfo()}),
                             true);
} // namespace

// ------------------------------------------------------------ tab control

TCustomTabControl::TCustomTabControl(TComponent *AOwner) : TWinControl(AOwner), FCanvas(std::make_unique<TCanvas>()) {
    SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls} - TControlStyle{csClickEvents});
    SetBounds(0, 0, 289, 193);
}

TCustomTabControl::~TCustomTabControl() { FCanvas->SetHandle(nullptr); }

int TCustomTabControl::TabIndex() const {
    if (WindowHandle()) return static_cast<int>(SendMessageW(WindowHandle(), TCM_GETCURSEL, 0, 0));
    return FTabIndex;
}

void TCustomTabControl::SetTabIndex(int Value) {
    FTabIndex = Value;
    if (HandleAllocated()) Perform(TCM_SETCURSEL, static_cast<WPARAM>(Value), 0);
}

void TCustomTabControl::SetTabPosition(TTabPosition Value) {
    if (FTabPosition == Value) return;
    FTabPosition = Value;
    if (HandleAllocated()) RecreateWnd();
}

void TCustomTabControl::SetOwnerDraw(bool Value) {
    if (FOwnerDraw == Value) return;
    FOwnerDraw = Value;
    if (HandleAllocated()) RecreateWnd();
}

TRect TCustomTabControl::DisplayRect() {
    RECT r{0, 0, Width(), Height()};
    if (HandleAllocated()) {
        GetClientRect(WindowHandle(), &r);
        Perform(TCM_ADJUSTRECT, 0, reinterpret_cast<LPARAM>(&r));
    }
    return {r.left, r.top, r.right, r.bottom};
}

void TCustomTabControl::CreateParams(TCreateParams &Params) {
    inherited::CreateParams(Params);
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TAB_CLASSES};
    InitCommonControlsEx(&icc);
    CreateSubClass(Params, WC_TABCONTROLW);
    Params.Style |= WS_CLIPCHILDREN;
    switch (FTabPosition) {
    case tpTop: break;
    case tpBottom: Params.Style |= TCS_BOTTOM; break;
    case tpLeft: Params.Style |= TCS_VERTICAL | TCS_MULTILINE; break;
    case tpRight: Params.Style |= TCS_VERTICAL | TCS_RIGHT | TCS_MULTILINE; break;
    }
    if (FOwnerDraw) Params.Style |= TCS_OWNERDRAWFIXED;
}

void TCustomTabControl::InitializeWnd() {
    SyncTabs();
    if (FTabIndex >= 0) Perform(TCM_SETCURSEL, static_cast<WPARAM>(FTabIndex), 0);
}

void TCustomTabControl::SetCaptions(const std::vector<std::string> &Captions) {
    FCaptions = Captions;
    SyncTabs();
}

void TCustomTabControl::SyncTabs() {
    if (!HandleAllocated()) return;
    const int current = TabIndex();
    Perform(TCM_DELETEALLITEMS, 0, 0);
    for (std::size_t i = 0; i < FCaptions.size(); ++i) {
        std::wstring text = Utf8ToWide(FCaptions[i]);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text.data();
        Perform(TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    const int count = TabCount();
    if (count > 0) Perform(TCM_SETCURSEL, static_cast<WPARAM>(std::clamp(current, 0, count - 1)), 0);
}

void TCustomTabControl::Change() {
    FTabIndex = TabIndex();
    if (OnChange) OnChange(this);
}

void TCustomTabControl::DrawItem(TMessage &Message) {
    const auto *item = reinterpret_cast<const DRAWITEMSTRUCT *>(Message.LParam);
    if (!OnDrawTab) return;
    const int saved = SaveDC(item->hDC);
    FCanvas->SetHandle(item->hDC);
    const TRect r{item->rcItem.left, item->rcItem.top, item->rcItem.right, item->rcItem.bottom};
    // The application's drawing may free the control, its canvas with it.
    const TGuarded alive(this);
    try {
        OnDrawTab(this, static_cast<int>(item->itemID), r, (item->itemState & ODS_SELECTED) != 0);
    } catch (...) {
        if (alive) FCanvas->SetHandle(nullptr);
        RestoreDC(item->hDC, saved);
        throw;
    }
    if (alive) FCanvas->SetHandle(nullptr);
    RestoreDC(item->hDC, saved);
    Message.Result = 1;
}

void TCustomTabControl::WndProc(TMessage &Message) {
    switch (Message.Msg) {
    case CN_DRAWITEM: DrawItem(Message); return;
    case CN_NOTIFY:
        if (reinterpret_cast<const NMHDR *>(Message.LParam)->code == static_cast<UINT>(TCN_SELCHANGE)) Change();
        return;
    default: break;
    }
    inherited::WndProc(Message);
}

TTabControl::TTabControl(TComponent *AOwner) : TCustomTabControl(AOwner), FTabs(std::make_unique<TStringList>()) {
    FTabs->OnChange = TNotifyEvent::Bind<&TTabControl::TabsChanged>(this);
}

TTabControl::~TTabControl() { FTabs->OnChange = {}; }

void TTabControl::TabsChanged(TObject *) {
    std::vector<std::string> captions;
    for (int i = 0; i < FTabs->Count(); ++i) captions.push_back(FTabs->Strings(i));
    SetCaptions(captions);
}

// ------------------------------------------------------------- the pages

TTabSheet::TTabSheet(TComponent *AOwner) : TWinControl(AOwner) {
    SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
    SetVisible(false);
}

TTabSheet::~TTabSheet() { SetPageControl(nullptr); }

void TTabSheet::SetPageControl(TPageControl *Value) {
    if (FPageControl == Value) return;
    if (FPageControl) FPageControl->RemovePage(this);
    FPageControl = nullptr;
    SetParent(Value);
    if (Value) Value->InsertPage(this);
}

int TTabSheet::PageIndex() const {
    if (!FPageControl) return -1;
    const auto &pages = FPageControl->FPages;
    const auto it = std::find(pages.begin(), pages.end(), this);
    return it == pages.end() ? -1 : static_cast<int>(it - pages.begin());
}

void TTabSheet::WndProc(TMessage &Message) {
    inherited::WndProc(Message);
    if (Message.Msg == WM_SETTEXT && FPageControl) FPageControl->PagesChanged();
}

TPageControl::TPageControl(TComponent *AOwner) : TCustomTabControl(AOwner) {}

TPageControl::~TPageControl() {
    for (TTabSheet *page : FPages) page->FPageControl = nullptr;
}

TTabSheet *TPageControl::Pages(int Index) const {
    if (Index < 0 || Index >= PageCount()) throw EListError("Page index out of bounds (" + std::to_string(Index) + ")");
    return FPages[static_cast<std::size_t>(Index)];
}

TTabSheet *TPageControl::ActivePage() const {
    const int index = TabIndex();
    return index >= 0 && index < PageCount() ? FPages[static_cast<std::size_t>(index)] : nullptr;
}

void TPageControl::SetActivePage(TTabSheet *Value) {
    const auto it = std::find(FPages.begin(), FPages.end(), Value);
    if (it == FPages.end()) return;
    SetTabIndex(static_cast<int>(it - FPages.begin()));
    LayoutPages();
}

void TPageControl::InsertPage(TTabSheet *Page) {
    Page->FPageControl = this;
    FPages.push_back(Page);
    PagesChanged();
}

void TPageControl::RemovePage(TTabSheet *Page) {
    FPages.erase(std::remove(FPages.begin(), FPages.end(), Page), FPages.end());
    PagesChanged();
}

void TPageControl::PagesChanged() {
    std::vector<std::string> captions;
    for (const TTabSheet *page : FPages) captions.push_back(page->Caption());
    SetCaptions(captions);
    LayoutPages();
}

bool TPageControl::LayoutPages() {
    const TRect r = DisplayRect();
    TTabSheet *active = ActivePage();
    // A page's placement and showing run the application's code (a parent's
    // drawing too, asked what lies behind the page): it may free this control.
    const TGuarded alive(this);
    const std::vector<TTabSheet *> pages = FPages;
    for (TTabSheet *page : pages) {
        if (std::find(FPages.begin(), FPages.end(), page) == FPages.end()) continue;  // freed meanwhile
        page->SetBounds(r.Left, r.Top, r.Width(), r.Height());
        if (!alive) return false;
        if (std::find(FPages.begin(), FPages.end(), page) == FPages.end()) continue;
        page->SetVisible(page == active);
        if (!alive) return false;
    }
    return true;
}

void TPageControl::Change() {
    if (LayoutPages()) inherited::Change();
}

void TPageControl::WndProc(TMessage &Message) {
    const TGuarded alive(this);
    inherited::WndProc(Message);
    if (alive && Message.Msg == WM_SIZE) LayoutPages();
}

} // namespace vcl
