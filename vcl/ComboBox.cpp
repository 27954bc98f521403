#include "ComboBox.h"

#include <algorithm>

#include "Canvas.h"
#include "Messages.h"
#include "WideText.h"

namespace vcl {

VCL_CLASS_INFO(TComboBoxStrings)

VCL_PUBLISHED(TComboBox, p) {
    p.Property("Items", &TComboBox::Items);
    p.Property("ItemIndex", &TComboBox::ItemIndex, &TComboBox::SetItemIndex).Default(-1);
    p.Property("Style", &TComboBox::Style, &TComboBox::SetStyle).Default(csDropDown);
    p.Property("OnChange", &TComboBox::OnChange);
    p.Property("OnDrawItem", &TComboBox::OnDrawItem);
}

namespace {
const bool ComboBoxRegistered = (RegisterClasses({&TComboBox::StaticClassInfo()}), true);
} // namespace

// ------------------------------------------------------------- the items

int TComboBoxStrings::Count() const {
    if (!FCombo->HandleAllocated()) return static_cast<int>(FStored.size());
    return std::max(0, static_cast<int>(SendMessageW(FCombo->WindowHandle(), CB_GETCOUNT, 0, 0)));
}

std::string TComboBoxStrings::Strings(int Index) const {
    if (Index < 0 || Index >= Count()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    if (!FCombo->HandleAllocated()) return FStored[static_cast<std::size_t>(Index)];
    const LRESULT length = SendMessageW(FCombo->WindowHandle(), CB_GETLBTEXTLEN, Index, 0);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT got = SendMessageW(FCombo->WindowHandle(), CB_GETLBTEXT, Index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(std::clamp<LRESULT>(got, 0, length)));
    return WideToUtf8(text);
}

void TComboBoxStrings::Insert(int Index, const std::string &S) {
    if (Index < 0 || Index > Count()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    if (!FCombo->HandleAllocated()) {
        FStored.insert(FStored.begin() + Index, S);
        return;
    }
    const std::wstring wide = Utf8ToWide(S);
    if (SendMessageW(FCombo->Handle(), CB_INSERTSTRING, Index, reinterpret_cast<LPARAM>(wide.c_str())) < 0)
        throw EInvalidOperation("Cannot insert the combo box item");
}

void TComboBoxStrings::Delete(int Index) {
    if (Index < 0 || Index >= Count()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    if (!FCombo->HandleAllocated())
        FStored.erase(FStored.begin() + Index);
    else
        SendMessageW(FCombo->Handle(), CB_DELETESTRING, Index, 0);
}

void TComboBoxStrings::Clear() {
    FStored.clear();
    if (FCombo->HandleAllocated()) SendMessageW(FCombo->Handle(), CB_RESETCONTENT, 0, 0);
}

// ------------------------------------------------------------- the combo

TComboBox::TComboBox(TComponent *AOwner)
    : TWinControl(AOwner), FItems(std::make_unique<TComboBoxStrings>(this)), FCanvas(std::make_unique<TCanvas>()) {
    SetControlStyle(TControlStyle{csDoubleClicks});
    SetParentColor(false);
    SetColor(clWindow);
    SetTabStop(true);
    SetBounds(0, 0, 145, 23);
}

TComboBox::~TComboBox() = default;

int TComboBox::ItemIndex() const {
    if (!HandleAllocated()) return FStoredIndex;
    return static_cast<int>(SendMessageW(WindowHandle(), CB_GETCURSEL, 0, 0));
}

void TComboBox::SetItemIndex(int Value) {
    if (!HandleAllocated()) {
        FStoredIndex = Value;
        return;
    }
    if (ItemIndex() == Value) return;
    SendMessageW(Handle(), CB_SETCURSEL, Value, 0);
    if (OnChange) OnChange(this);
}

void TComboBox::SetStyle(TComboBoxStyle Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    if (HandleAllocated()) RecreateWnd();
}

void TComboBox::CreateParams(TCreateParams &Params) {
    inherited::CreateParams(Params);
    CreateSubClass(Params, L"COMBOBOX");
    Params.Style |= WS_VSCROLL | CBS_AUTOHSCROLL | CBS_HASSTRINGS;
    switch (FStyle) {
    case csSimple: Params.Style |= CBS_SIMPLE; break;
    case csDropDownList: Params.Style |= CBS_DROPDOWNLIST; break;
    case csOwnerDrawFixed: Params.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED; break;
    case csOwnerDrawVariable: Params.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE; break;
    default: Params.Style |= CBS_DROPDOWN; break;
    }
}

void TComboBox::InitializeWnd() {
    const std::vector<std::string> items = std::move(FItems->FStored);
    FItems->FStored.clear();
    for (const std::string &item : items) FItems->Add(item);
    if (FStoredIndex >= 0) SendMessageW(Handle(), CB_SETCURSEL, FStoredIndex, 0);
}

void TComboBox::DestroyWnd() {
    // The items and the selection stay with the control until its next window.
    std::vector<std::string> items;
    for (int i = 0; i < FItems->Count(); ++i) items.push_back(FItems->Strings(i));
    FStoredIndex = ItemIndex();
    inherited::DestroyWnd();
    FItems->FStored = std::move(items);
}

void TComboBox::Dispatch(TMessage &Message) {
    switch (Message.Msg) {
    case CN_COMMAND: CNCommand(Message); break;
    case CN_DRAWITEM: CNDrawItem(Message); break;
    default: inherited::Dispatch(Message); break;
    }
}

void TComboBox::CNCommand(TMessage &Message) {
    if (HIWORD(Message.WParam) == CBN_DROPDOWN) {
        // The window's own height is the edit field's: the list gets room
        // for up to eight items.
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        if (GetComboBoxInfo(Handle(), &info) && info.hwndList) {
            const int count = std::clamp(Items()->Count(), 1, 8);
            const int item = std::max(1, static_cast<int>(SendMessageW(Handle(), CB_GETITEMHEIGHT, 0, 0)));
            RECT r{};
            GetWindowRect(info.hwndList, &r);
            SetWindowPos(info.hwndList, nullptr, 0, 0, r.right - r.left, item * count + 2,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        }
    }
    if (HIWORD(Message.WParam) == CBN_SELCHANGE && OnChange) OnChange(this);
    Message.Result = 0;
}

void TComboBox::CNDrawItem(TMessage &Message) {
    const auto *draw = reinterpret_cast<const DRAWITEMSTRUCT *>(Message.LParam);
    Message.Result = 1;
    if (!draw) return;
    const TRect r{draw->rcItem.left, draw->rcItem.top, draw->rcItem.right, draw->rcItem.bottom};
    const int saved = SaveDC(draw->hDC);
    FCanvas->SetHandle(draw->hDC);
    FCanvas->SetFont(Font());
    FCanvas->Brush()->SetColor(Color());
    if (OnDrawItem) {
        // The application's drawing may free the combo, its canvas with it.
        const TGuarded alive(this);
        OnDrawItem(this, static_cast<int>(draw->itemID), r, draw->itemState);
        if (!alive) {
            RestoreDC(draw->hDC, saved);
            return;
        }
    } else {
        FCanvas->FillRect(r);
        if (static_cast<int>(draw->itemID) >= 0 && static_cast<int>(draw->itemID) < FItems->Count())
            FCanvas->TextOut(r.Left + 2, r.Top, FItems->Strings(static_cast<int>(draw->itemID)));
    }
    FCanvas->SetHandle(nullptr);
    RestoreDC(draw->hDC, saved);
}

} // namespace vcl
