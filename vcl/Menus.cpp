#include "Menus.h"

#include <algorithm>
#include <utility>

#include "Forms.h"
#include "ImgList.h"
#include "List.h"
#include "SysUtils.h"
#include "WideText.h"

namespace vcl {

VCL_CLASS_INFO(TMenuItem)
VCL_CLASS_INFO(TMenu)
VCL_CLASS_INFO(TPopupMenu)

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

// A menu handle for the time of one popup.
struct TMenuHandle {
    HMENU Handle = CreatePopupMenu();
    ~TMenuHandle() {
        if (Handle) DestroyMenu(Handle);
    }
};

// Appends the visible sub-items of Item to Menu; command n + 1 stands for
// Commands[n].
void AppendItems(HMENU Menu, const TMenuItem &Item, bool OwnerDraw, std::vector<TMenuItem *> &Commands) {
    for (int i = 0; i < Item.Count(); ++i) {
        TMenuItem *sub = Item.Items(i);
        if (!sub->Visible()) continue;
        if (sub->IsLine()) {
            AppendMenuW(Menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        std::string text = sub->Caption();
        if (sub->ShortCut() != 0 && sub->Count() == 0) text += "\t" + ShortCutToText(sub->ShortCut());
        const std::wstring wide = Utf8ToWide(text);
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING | MIIM_ID;
        info.fType = MFT_STRING;
        if (OwnerDraw) info.fType |= MFT_OWNERDRAW;
        if (sub->RadioItem()) info.fType |= MFT_RADIOCHECK;
        if (sub->Break() == mbBreak) info.fType |= MFT_MENUBREAK;
        if (sub->Break() == mbBarBreak) info.fType |= MFT_MENUBARBREAK;
        info.fState = (sub->Checked() ? MFS_CHECKED : 0) | (sub->Enabled() ? 0 : MFS_GRAYED);
        info.dwTypeData = const_cast<wchar_t *>(wide.c_str());
        Commands.push_back(sub);
        info.wID = static_cast<UINT>(Commands.size());
        if (sub->Count() > 0) {
            HMENU child = CreatePopupMenu();
            AppendItems(child, *sub, OwnerDraw, Commands);
            info.fMask |= MIIM_SUBMENU;
            info.hSubMenu = child;  // destroyed with its parent menu
        }
        InsertMenuItemW(Menu, GetMenuItemCount(Menu), TRUE, &info);
    }
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

TMenuItem::TMenuItem(TComponent *AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
    Clear();
    if (FParent) FParent->Remove(this);
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
}

void TMenuItem::Remove(TMenuItem *Item) {
    const int index = IndexOf(Item);
    if (index < 0) return;
    FItems.erase(FItems.begin() + index);
    Item->FParent = nullptr;
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
    if (OnPopup) OnPopup(this);
    std::vector<TMenuItem *> commands;
    UINT chosen = 0;
    {
        const TMenuHandle menu;
        if (!menu.Handle) return;
        AppendItems(menu.Handle, *Items(), OwnerDraw(), commands);
        HWND owner = WindowHandle() ? WindowHandle() : Application->Handle();
        chosen = TrackMenu(menu.Handle, X, Y, owner);
    }
    // The messages pumped while the menu showed may have taken the item away.
    if (chosen == 0 || chosen > commands.size() || !TreeHolds(*Items(), commands[chosen - 1])) return;
    commands[chosen - 1]->Click();
}

UINT TPopupMenu::TrackMenu(HMENU Menu, int X, int Y, HWND Owner) {
    // The system closes a popup of a window in the background only when
    // that window is in front.
    SetForegroundWindow(Owner);
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenu(Menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, X, Y, 0, Owner, nullptr));
    PostMessageW(Owner, WM_NULL, 0, 0);
    return chosen;
}

} // namespace vcl
