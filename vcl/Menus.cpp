#include "Menus.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "Bitmap.h"
#include "Canvas.h"
#include "Forms.h"
#include "Graphics.h"
#include "ImgList.h"
#include "List.h"
#include "MenuMerge.h"
#include "Messages.h"
#include "SysUtils.h"
#include "WideText.h"

namespace vcl {

VCL_PUBLISHED(TMenuItem, p) {
    p.Property("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex).Default(0);
}
VCL_CLASS_INFO(TMenu)
VCL_CLASS_INFO(TPopupMenu)
VCL_CLASS_INFO(TMainMenu)

namespace {

struct TKeyName {
    WORD Key;
    const char *Name;
};

// The names the system's menus write for the keys that are not a letter,
// a digit or a function key.
constexpr TKeyName KeyNames[] = {
    {VK_BACK, "BkSp"}, {VK_TAB, "Tab"},     {VK_ESCAPE, "Esc"}, {VK_RETURN, "Enter"}, {VK_SPACE, "Space"},
    {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"},  {VK_END, "End"},    {VK_HOME, "Home"},    {VK_LEFT, "Left"},
    {VK_UP, "Up"},      {VK_RIGHT, "Right"}, {VK_DOWN, "Down"}, {VK_INSERT, "Ins"},   {VK_DELETE, "Del"},
};

constexpr std::pair<TShortCut, const char *> Modifiers[] = {{scShift, "Shift+"}, {scCtrl, "Ctrl+"}, {scAlt, "Alt+"}};

std::string KeyName(WORD Key) {
    if ((Key >= 'A' && Key <= 'Z') || (Key >= '0' && Key <= '9')) return std::string(1, static_cast<char>(Key));
    if (Key >= VK_F1 && Key <= VK_F24) return "F" + std::to_string(Key - VK_F1 + 1);
    for (const TKeyName &k : KeyNames)
        if (k.Key == Key) return k.Name;
    return {};
}

WORD KeyOfName(std::string_view Name) {
    if (Name.size() == 1) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(Name[0])));
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return static_cast<WORD>(c);
    }
    if (Name.size() >= 2 && (Name[0] == 'F' || Name[0] == 'f')) {
        int n = 0;
        for (char c : Name.substr(1)) {
            if (c < '0' || c > '9') return 0;
            n = n * 10 + (c - '0');
            if (n > 24) return 0;
        }
        return n >= 1 ? static_cast<WORD>(VK_F1 + n - 1) : 0;
    }
    for (const TKeyName &k : KeyNames)
        if (SameText(Name, k.Name)) return k.Key;
    return 0;
}

// The living items by command number. Numbers stay above the dialogs'
// (IDOK and its kin) and below the system's commands (0xF000 and up), and
// are handed out round the range, so that a number comes back only long
// after its item went.
constexpr UINT kFirst = 0x100, kLast = 0xEFFF;

std::unordered_map<UINT, TMenuItem *> &CommandItems() {
    static std::unordered_map<UINT, TMenuItem *> items;
    return items;
}

UINT NewCommand(TMenuItem *Item) {
    static UINT next = 0;
    auto &items = CommandItems();
    for (;;) {
        next = next >= kLast || next < kFirst ? kFirst : next + 1;
        if (items.emplace(next, Item).second) return next;
    }
}

// A menu handle for the time of one popup.
struct TMenuHandle {
    HMENU Handle = CreatePopupMenu();
    ~TMenuHandle() {
        if (Handle) DestroyMenu(Handle);
    }
};

// An item drawn by its owner: by the menu's OwnerDraw or its own handlers.
bool DrawnByOwner(const TMenuItem &Item, bool OwnerDraw) {
    return OwnerDraw || Item.OnAdvancedDrawItem || Item.OnMeasureItem;
}

// Inserts Sub into Menu at Position, with its command as identifier and
// data (separators too: the bar tells its own items by it), and its
// visible sub-items in a popup of its own.
void InsertItem(HMENU Menu, UINT Position, const TMenuItem &Sub, bool OwnerDraw);

// Appends the visible sub-items of Item to Menu.
void AppendItems(HMENU Menu, const TMenuItem &Item, bool OwnerDraw) {
    for (int i = 0; i < Item.Count(); ++i)
        if (Item.Items(i)->Visible())
            InsertItem(Menu, static_cast<UINT>(GetMenuItemCount(Menu)), *Item.Items(i), OwnerDraw);
}

void InsertItem(HMENU Menu, UINT Position, const TMenuItem &Sub, bool OwnerDraw) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA;
    info.wID = Sub.Command();
    info.dwItemData = Sub.Command();
    if (Sub.IsLine() && !DrawnByOwner(Sub, OwnerDraw)) {
        info.fType = MFT_SEPARATOR;
        InsertMenuItemW(Menu, Position, TRUE, &info);
        return;
    }
    std::string text = Sub.Caption();
    if (Sub.ShortCut() != 0 && Sub.Count() == 0) text += "\t" + ShortCutToText(Sub.ShortCut());
    const std::wstring wide = Utf8ToWide(text);
    info.fMask |= MIIM_STATE | MIIM_STRING;
    info.fType = MFT_STRING;
    if (DrawnByOwner(Sub, OwnerDraw)) info.fType |= MFT_OWNERDRAW;
    if (Sub.IsLine()) info.fType |= MFT_SEPARATOR;
    if (Sub.RadioItem()) info.fType |= MFT_RADIOCHECK;
    if (Sub.Break() == mbBreak) info.fType |= MFT_MENUBREAK;
    if (Sub.Break() == mbBarBreak) info.fType |= MFT_MENUBARBREAK;
    info.fState = (Sub.Checked() ? MFS_CHECKED : 0) | (Sub.Enabled() ? 0 : MFS_GRAYED) |
                  (Sub.Default() ? MFS_DEFAULT : 0);
    info.dwTypeData = const_cast<wchar_t *>(wide.c_str());
    if (Sub.Count() > 0) {
        HMENU child = CreatePopupMenu();
        AppendItems(child, Sub, OwnerDraw);
        info.fMask |= MIIM_SUBMENU;
        info.hSubMenu = child;  // destroyed with its parent menu
    }
    InsertMenuItemW(Menu, Position, TRUE, &info);
}

// The item at Position is one of ours (the system's own items of a bar
// carry no command of ours as data).
bool OwnItemAt(HMENU Menu, int Position) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA;
    return GetMenuItemInfoW(Menu, static_cast<UINT>(Position), TRUE, &info) && info.dwItemData >= kFirst &&
           info.dwItemData <= kLast;
}

// The system's popups that lead a bar (a maximized MDI child's system menu).
int LeadingSystemItems(HMENU Bar) {
    int count = 0;
    while (count < GetMenuItemCount(Bar) && !OwnItemAt(Bar, count) && GetSubMenu(Bar, count)) ++count;
    return count;
}

// The top items of a bar with a menu merged into it, in the bar's order,
// each with the owner drawing of its own menu.
struct TBarItem {
    TMenuItem *Item;
    bool OwnerDraw;
};

std::vector<TBarItem> BarItems(const TMenu &Own, const TMenu *Merged) {
    const auto groups = [](const TMenu *Menu) {
        std::vector<int> g;
        for (int i = 0; Menu && i < Menu->Items()->Count(); ++i) g.push_back(Menu->Items()->Items(i)->GroupIndex());
        return g;
    };
    std::vector<TBarItem> items;
    for (const TMergeSlot &slot : MergeByGroup(groups(&Own), groups(Merged))) {
        const TMenu &menu = slot.Merged ? *Merged : Own;
        items.push_back({menu.Items()->Items(slot.Index), menu.OwnerDraw()});
    }
    return items;
}

// Item is still in the tree under Root; only Root's side is read, so that
// an item destroyed meanwhile is never touched.
bool TreeHolds(const TMenuItem &Root, const TMenuItem *Item) {
    for (int i = 0; i < Root.Count(); ++i)
        if (Root.Items(i) == Item || TreeHolds(*Root.Items(i), Item)) return true;
    return false;
}

bool IsParentOf(const TMenuItem *Parent, const TMenuItem *Item) {
    for (const TMenuItem *p = Item; p; p = p->Parent())
        if (p == Parent) return true;
    return false;
}

} // namespace

TShortCut ShortCut(WORD Key, TShiftState Shift) {
    if (Key > 0xFF) return 0;
    TShortCut result = Key;
    if (Shift.Contains(ssShift)) result |= scShift;
    if (Shift.Contains(ssCtrl)) result |= scCtrl;
    if (Shift.Contains(ssAlt)) result |= scAlt;
    return result;
}

std::string ShortCutToText(TShortCut ShortCut) {
    const std::string name = KeyName(ShortCut & 0xFF);
    if (name.empty()) return {};
    std::string text;
    for (const auto &[bit, prefix] : Modifiers)
        if (ShortCut & bit) text += prefix;
    return text + name;
}

TShortCut TextToShortCut(std::string_view Text) {
    TShortCut modifiers = 0;
    for (bool found = true; found;) {
        found = false;
        for (const auto &[bit, prefix] : Modifiers) {
            const std::string_view p(prefix);
            if (Text.size() > p.size() && SameText(Text.substr(0, p.size()), p)) {
                modifiers |= bit;
                Text.remove_prefix(p.size());
                found = true;
            }
        }
    }
    const WORD key = KeyOfName(Text);
    return key ? static_cast<TShortCut>(key | modifiers) : 0;
}

// ---------------------------------------------------------------- TMenuItem

TMenuItem::TMenuItem(TComponent *AOwner) : TComponent(AOwner), FCommand(NewCommand(this)) {}

TMenuItem::~TMenuItem() {
    CommandItems().erase(FCommand);
    Clear();
    if (FParent) FParent->Remove(this);
    SetSubMenuImages(nullptr);
}

TMenuItem *TMenuItem::FindCommand(UINT Command) {
    const auto it = CommandItems().find(Command);
    return it == CommandItems().end() ? nullptr : it->second;
}

TBitmap *TMenuItem::Bitmap() const {
    if (!FBitmap) FBitmap = std::make_unique<TBitmap>();
    return FBitmap.get();
}

void TMenuItem::SetBitmap(const TBitmap *Value) {
    Bitmap()->Assign(Value);
    Changed();
}

bool TMenuItem::HasBitmap() const { return FBitmap && !FBitmap->Empty(); }

void TMenuItem::SetSubMenuImages(TCustomImageList *Value) {
    if (FSubMenuImages == Value) return;
    if (FSubMenuImages) FSubMenuImages->RemoveFreeNotification(this);
    FSubMenuImages = Value;
    if (FSubMenuImages) FSubMenuImages->FreeNotification(this);
}

void TMenuItem::Notification(TComponent *AComponent, TOperation Operation) {
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FSubMenuImages) FSubMenuImages = nullptr;
}

void TMenuItem::Changed() {
    if (TMenu *menu = GetParentMenu()) menu->ItemsChanged();
}

void TMenuItem::MeasureItem(TCanvas *ACanvas, int &Width, int &Height) {
    if (OnMeasureItem) {
        OnMeasureItem(this, ACanvas, Width, Height);
        return;
    }
    if (IsLine()) {
        Height = 5;
        return;
    }
    std::string text = FCaption;
    if (FShortCut) text += "  " + ShortCutToText(FShortCut);
    const std::wstring wide = Utf8ToWide(text);
    RECT r{0, 0, 0, 0};
    DrawTextW(ACanvas->Handle(), wide.c_str(), static_cast<int>(wide.size()), &r, DT_CALCRECT | DT_SINGLELINE);
    Width = r.right + 24;
    Height = std::max<int>(r.bottom + 4, GetSystemMetrics(SM_CYMENU) - 1);
}

void TMenuItem::AdvancedDrawItem(TCanvas *ACanvas, TRect ARect, TOwnerDrawState State, bool TopLevel) {
    if (OnAdvancedDrawItem) {
        OnAdvancedDrawItem(this, ACanvas, ARect, State);
        return;
    }
    const HDC dc = ACanvas->Handle();
    RECT r{ARect.Left, ARect.Top, ARect.Right, ARect.Bottom};
    const bool selected = State.Contains(odSelected) || State.Contains(odHotLight);
    FillRect(dc, &r, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : (TopLevel ? COLOR_MENUBAR : COLOR_MENU)));
    if (IsLine()) {
        r.top += (r.bottom - r.top) / 2;
        DrawEdge(dc, &r, EDGE_ETCHED, BF_TOP);
        return;
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(!FEnabled ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    r.left += TopLevel ? 6 : 18;
    const UINT hide = State.Contains(odNoAccel) ? DT_HIDEPREFIX : 0;
    const std::wstring caption = Utf8ToWide(FCaption);
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &r, DT_SINGLELINE | DT_VCENTER | hide);
    if (FShortCut && !TopLevel) {
        const std::wstring keys = Utf8ToWide(ShortCutToText(FShortCut));
        r.right -= 8;
        DrawTextW(dc, keys.c_str(), static_cast<int>(keys.size()), &r, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    }
}

TMenuItem *TMenuItem::Items(int Index) const {
    if (Index < 0 || Index >= Count()) RaiseListIndexError(Index);
    return FItems[static_cast<std::size_t>(Index)];
}

int TMenuItem::IndexOf(const TMenuItem *Item) const {
    const auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TMenuItem::Add(TMenuItem *Item) { Insert(Count(), Item); }

void TMenuItem::Insert(int Index, TMenuItem *Item) {
    if (!Item) return;
    if (IsParentOf(Item, this)) throw EInvalidOperation("A menu item cannot be inserted into itself");
    if (Item->FParent) Item->FParent->Remove(Item);
    Index = std::clamp(Index, 0, Count());
    FItems.insert(FItems.begin() + Index, Item);
    Item->FParent = this;
    Changed();
}

void TMenuItem::Remove(TMenuItem *Item) {
    const int index = IndexOf(Item);
    if (index < 0) return;
    FItems.erase(FItems.begin() + index);
    Item->FParent = nullptr;
    Changed();
}

void TMenuItem::Delete(int Index) { delete Items(Index); }

void TMenuItem::Clear() {
    while (!FItems.empty()) delete FItems.back();
}

TMenu *TMenuItem::GetParentMenu() const {
    const TMenuItem *root = this;
    while (root->FParent) root = root->FParent;
    return root->FMenu;
}

void TMenuItem::Click() {
    if (FEnabled && OnClick) OnClick(this);
}

// -------------------------------------------------------------------- TMenu

TMenu::TMenu(TComponent *AOwner) : TComponent(AOwner), FItems(new TMenuItem(nullptr)) { FItems->FMenu = this; }

TMenu::~TMenu() { delete FItems; }

void TMenu::SetImages(TCustomImageList *Value) {
    if (FImages == Value) return;
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages) FImages->FreeNotification(this);
}

void TMenu::Notification(TComponent *AComponent, TOperation Operation) {
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages) FImages = nullptr;
}

// --------------------------------------------------------------- TPopupMenu

void TPopupMenu::Popup(int X, int Y) {
    // The handler, and the messages pumped while the menu shows, are the
    // application's: they may free the popup.
    const TGuarded alive(this);
    if (OnPopup) OnPopup(this);
    if (!alive) return;
    UINT chosen = 0;
    {
        const TMenuHandle menu;
        if (!menu.Handle) return;
        AppendItems(menu.Handle, *Items(), OwnerDraw());
        HWND owner = WindowHandle() ? WindowHandle() : Application->Handle();
        chosen = TrackMenu(menu.Handle, X, Y, owner);
    }
    // The messages pumped while the menu showed may have taken the item away.
    TMenuItem *item = chosen && alive ? TMenuItem::FindCommand(chosen) : nullptr;
    if (!item || !TreeHolds(*Items(), item)) return;
    item->Click();
}

UINT TPopupMenu::AnimationFlags() const {
    if (FMenuAnimation.Contains(maNone)) return TPM_NOANIMATION;
    UINT flags = 0;
    if (FMenuAnimation.Contains(maLeftToRight)) flags |= TPM_HORPOSANIMATION;
    if (FMenuAnimation.Contains(maRightToLeft)) flags |= TPM_HORNEGANIMATION;
    if (FMenuAnimation.Contains(maTopToBottom)) flags |= TPM_VERPOSANIMATION;
    if (FMenuAnimation.Contains(maBottomToTop)) flags |= TPM_VERNEGANIMATION;
    return flags;
}

UINT TPopupMenu::TrackMenu(HMENU Menu, int X, int Y, HWND Owner) {
    // The system closes a popup of a window in the background only when
    // that window is in front.
    SetForegroundWindow(Owner);
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenu(Menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY | AnimationFlags(), X, Y, 0,
                       Owner, nullptr));
    PostMessageW(Owner, WM_NULL, 0, 0);
    return chosen;
}

// ---------------------------------------------------------------- TMainMenu

TMainMenu::~TMainMenu() {
    if (FMergedInto) FMergedInto->Unmerge(this);
    if (FMerged) std::exchange(FMerged, nullptr)->FMergedInto = nullptr;
    if (!FHandle) return;
    if (WindowHandle() && IsWindow(WindowHandle()) && GetMenu(WindowHandle()) == FHandle)
        ::SetMenu(WindowHandle(), nullptr);
    DestroyMenu(FHandle);
}

HMENU TMainMenu::Handle() {
    if (!FHandle) {
        FHandle = CreateMenu();
        Rebuild();
    }
    return FHandle;
}

void TMainMenu::ItemsChanged() {
    // The bar that shows this menu's items as well.
    if (FMergedInto) FMergedInto->ItemsChanged();
    if (!FHandle) return;
    Rebuild();
    const HWND window = WindowHandle();
    if (!window || GetMenu(window) != FHandle) return;
    DrawMenuBar(window);
    SendMessageW(window, CM_MENUCHANGED, 0, 0);
}

void TMainMenu::Merge(TMainMenu *Menu) {
    if (Menu == FMerged || Menu == this) return;
    if (FMerged) FMerged->FMergedInto = nullptr;
    if (Menu && Menu->FMergedInto) Menu->FMergedInto->Unmerge(Menu);
    FMerged = Menu;
    if (FMerged) FMerged->FMergedInto = this;
    ItemsChanged();
}

void TMainMenu::Unmerge(TMainMenu *Menu) {
    if (Menu && Menu == FMerged) Merge(nullptr);
}

void TMainMenu::Rebuild() {
    if (!FHandle) return;
    // Only our items go: the system's stay where it put them.
    for (int i = GetMenuItemCount(FHandle) - 1; i >= 0; --i)
        if (OwnItemAt(FHandle, i)) DeleteMenu(FHandle, static_cast<UINT>(i), MF_BYPOSITION);
    UINT position = static_cast<UINT>(LeadingSystemItems(FHandle));
    for (const TBarItem &b : BarItems(*this, FMerged))
        if (b.Item->Visible()) InsertItem(FHandle, position++, *b.Item, b.OwnerDraw);
}

HMENU TMainMenu::PopupOf(const TMenuItem *Item) {
    if (!Item || !Item->Parent()) return nullptr;
    // The path from the bar down to Item.
    std::vector<const TMenuItem *> path;
    for (const TMenuItem *i = Item; i->Parent(); i = i->Parent()) path.insert(path.begin(), i);
    const TMenuItem *root = path.front()->Parent();
    if (root != Items() && !(FMerged && root == FMerged->Items())) return nullptr;
    HMENU menu = Handle();
    int position = LeadingSystemItems(menu);
    bool found = false;
    for (const TBarItem &b : BarItems(*this, FMerged)) {
        if (b.Item == path.front()) {
            found = b.Item->Visible();
            break;
        }
        if (b.Item->Visible()) ++position;
    }
    if (!found) return nullptr;
    menu = GetSubMenu(menu, position);
    for (std::size_t k = 1; menu && k < path.size(); ++k) {
        if (!path[k]->Visible()) return nullptr;
        const TMenuItem *parent = path[k]->Parent();
        int visibleBefore = 0;
        for (int i = 0; i < parent->IndexOf(path[k]); ++i) visibleBefore += parent->Items(i)->Visible() ? 1 : 0;
        menu = GetSubMenu(menu, visibleBefore);
    }
    return menu;
}

// ------------------------------------------------------- owner-draw messages

bool DispatchMenuMessage(TMessage &Message, HWND Window) {
    switch (Message.Msg) {
    case WM_MEASUREITEM: {
        auto *m = reinterpret_cast<MEASUREITEMSTRUCT *>(Message.LParam);
        if (!m || m->CtlType != ODT_MENU) return false;
        TMenuItem *item = TMenuItem::FindCommand(static_cast<UINT>(m->itemData));
        if (!item) return false;
        const HDC dc = GetDC(nullptr);
        TCanvas canvas;
        canvas.SetHandle(dc);
        if (Screen) canvas.Font()->Assign(Screen->MenuFont());
        int width = static_cast<int>(m->itemWidth);
        int height = static_cast<int>(m->itemHeight);
        item->MeasureItem(&canvas, width, height);
        canvas.SetHandle(nullptr);
        ReleaseDC(nullptr, dc);
        m->itemWidth = static_cast<UINT>(std::max(0, width));
        m->itemHeight = static_cast<UINT>(std::max(0, height));
        Message.Result = 1;
        return true;
    }
    case WM_DRAWITEM: {
        const auto *d = reinterpret_cast<const DRAWITEMSTRUCT *>(Message.LParam);
        if (!d || d->CtlType != ODT_MENU) return false;
        TMenuItem *item = TMenuItem::FindCommand(static_cast<UINT>(d->itemData));
        if (!item) return false;
        const TMenu *menu = item->GetParentMenu();
        const bool topLevel = menu && item->Parent() == menu->Items() && dynamic_cast<const TMainMenu *>(menu);
        const int saved = SaveDC(d->hDC);
        TCanvas canvas;
        canvas.SetHandle(d->hDC);
        if (Screen) canvas.Font()->Assign(Screen->MenuFont());
        if (item->Default()) canvas.Font()->SetStyle(canvas.Font()->Style() + TFontStyles{fsBold});
        item->AdvancedDrawItem(&canvas, Rect(d->rcItem.left, d->rcItem.top, d->rcItem.right, d->rcItem.bottom),
                               TOwnerDrawState::FromBits(d->itemState & 0x1FFF), topLevel);
        canvas.SetHandle(nullptr);
        RestoreDC(d->hDC, saved);
        Message.Result = 1;
        return true;
    }
    case WM_COMMAND: {
        if (Message.LParam != 0 || HIWORD(Message.WParam) != 0) return false;
        TMenuItem *item = TMenuItem::FindCommand(LOWORD(Message.WParam));
        // Only the bar the window shows: other commands of the same number
        // are the window's own.
        const auto *menu = item ? dynamic_cast<const TMainMenu *>(item->GetParentMenu()) : nullptr;
        if (menu && menu->MergedInto()) menu = menu->MergedInto();
        if (!menu || !Window || menu->WindowHandle() != Window) return false;
        item->Click();
        Message.Result = 0;
        return true;
    }
    default: return false;
    }
}

} // namespace vcl
