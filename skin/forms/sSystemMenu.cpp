#include "sSystemMenu.h"

#include <string>

#include "sSkinProvider.h"
#include "skin/graphics/sConst.h"
#include "skin/graphics/vlCommonUtils.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/Forms.h"
#include "vcl/StringList.h"
#include "vcl/WideText.h"

namespace skin {

VCL_CLASS_INFO(TsCustomSysMenu)
VCL_CLASS_INFO(TsSystemMenu)

namespace {

// The standard system commands; what the window's menu holds beyond them
// is the application's own.
constexpr UINT FirstSystemCommand = 0xF000;
constexpr UINT LastSystemCommand = 0xF1FF;
// Columns of the skin list.
constexpr int SkinColumnLength = 20;

HWND WindowOf(const vcl::TCustomForm *Form) {
    return Form && Form->HandleAllocated() ? Form->WindowHandle() : nullptr;
}

HMENU NativeMenuOf(const vcl::TCustomForm *Form) {
    const HWND window = WindowOf(Form);
    return window ? GetSystemMenu(window, FALSE) : nullptr;
}

bool Has(const vcl::TCustomForm *Form, vcl::TBorderIcon Icon) { return Form && Form->BorderIcons().Contains(Icon); }

bool Minimized(const vcl::TCustomForm *Form) { return Form && Form->WindowState() == vcl::wsMinimized; }

bool StyleIn(const vcl::TCustomForm *Form, std::initializer_list<vcl::TFormBorderStyle> Styles) {
    if (!Form) return false;
    for (vcl::TFormBorderStyle s : Styles)
        if (Form->BorderStyle() == s) return true;
    return false;
}

// A menu text as the system writes it, "&Close\tAlt+F4": the caption and
// the shortcut after the tab. False when there is no text.
bool NativeText(HMENU Menu, UINT Item, UINT Flags, std::string &Caption, vcl::TShortCut &ShortCut) {
    wchar_t buffer[256] = {};
    const int length = GetMenuStringW(Menu, Item, buffer, 255, Flags);
    if (length <= 0) return false;
    const std::string text = vcl::WideToUtf8(std::wstring_view(buffer, static_cast<std::size_t>(length)));
    const std::size_t tab = text.find('\t');
    Caption = text.substr(0, tab);
    ShortCut = tab == std::string::npos ? 0 : vcl::TextToShortCut(text.substr(tab + 1));
    return true;
}

std::string OrDefault(const std::string &Localized, const char *English) {
    return Localized.empty() ? std::string(English) : Localized;
}

// Names the item unless another item of the menu has the name: a list
// made again before the old one went must not fail on a name.
void SetFreeName(vcl::TMenuItem *Item, const std::string &Name) {
    if (!Item->Owner()->FindComponent(Name)) Item->SetName(Name);
}

// A copy of a popup menu's item and its sub-items; named after the original
// when that has a name no other item of the menu took.
vcl::TMenuItem *CopyItem(vcl::TComponent *Owner, const vcl::TMenuItem &Source) {
    auto *copy = vcl::Create<vcl::TMenuItem>(Owner);
    copy->SetCaption(Source.Caption());
    copy->SetShortCut(Source.ShortCut());
    copy->SetChecked(Source.Checked());
    copy->SetEnabled(Source.Enabled());
    copy->OnClick = Source.OnClick;
    copy->SetHelpContext(Source.HelpContext());
    copy->SetImageIndex(Source.ImageIndex());
    if (!Source.Name().empty()) SetFreeName(copy, Source.Name() + "Copy");
    for (int i = 0; i < Source.Count(); ++i) copy->Add(CopyItem(Owner, *Source.Items(i)));
    return copy;
}

} // namespace

bool NativeCloseEnabled(HWND Window) {
    const HMENU menu = Window ? GetSystemMenu(Window, FALSE) : nullptr;
    if (!menu) return false;
    const UINT state = GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND);
    // Grayed alone counts: Wine keeps MF_GRAYED without MF_DISABLED.
    return state != static_cast<UINT>(-1) && !(state & (MF_DISABLED | MF_GRAYED));
}

TsSystemMenu::TsSystemMenu(TsSkinProvider *Provider)
    : TsCustomSysMenu(Provider), Provider(Provider), Form(Provider->Form) {
    // Several forms' menus live side by side: each has a name of its own.
    SetName("vlSysMenu" + std::to_string(GetTickCount()));
    MakeItems();
}

// ------------------------------------------------------------- predicates

namespace {

// An MDI child is sized and maximized inside its client whatever its
// border style says.
bool MDIChild(const vcl::TCustomForm *Form) { return Form && Form->FormStyle() == vcl::fsMDIChild; }

} // namespace

bool TsSystemMenu::VisibleClose() const {
    const HMENU native = NativeMenuOf(Form);
    return Has(Form, vcl::biSystemMenu) && native &&
           GetMenuState(native, SC_CLOSE, MF_BYCOMMAND) != static_cast<UINT>(-1);
}

bool TsSystemMenu::VisibleMax() const {
    if (!Has(Form, vcl::biSystemMenu)) return false;
    if (Minimized(Form) || MDIChild(Form)) return true;
    if (Form->BorderStyle() == vcl::bsSingle && !Has(Form, vcl::biMaximize)) return false;
    if (StyleIn(Form, {vcl::bsNone, vcl::bsDialog, vcl::bsToolWindow, vcl::bsSizeToolWin})) return false;
    return Has(Form, vcl::biMaximize);
}

bool TsSystemMenu::VisibleMin() const {
    if (!Has(Form, vcl::biSystemMenu)) return false;
    if (Minimized(Form) || MDIChild(Form)) return true;
    if (StyleIn(Form, {vcl::bsNone, vcl::bsDialog, vcl::bsToolWindow, vcl::bsSizeToolWin})) return false;
    if (Form->BorderStyle() == vcl::bsSingle && !Has(Form, vcl::biMinimize)) return false;
    return Has(Form, vcl::biMinimize);
}

bool TsSystemMenu::EnabledMax() const {
    return (MDIChild(Form) || StyleIn(Form, {vcl::bsSingle, vcl::bsSizeable})) && Has(Form, vcl::biMaximize);
}

bool TsSystemMenu::EnabledMin() const {
    return Has(Form, vcl::biMinimize) && (!Minimized(Form) || (vcl::Application && vcl::Application->MainForm() == Form));
}

bool TsSystemMenu::EnabledRestore() const {
    if (!Form) return false;
    return (Has(Form, vcl::biMaximize) && Form->WindowState() != vcl::wsNormal) || Minimized(Form);
}

// ------------------------------------------------------------------ items

void TsSystemMenu::MakeItems() {
    ItemSubMenu = ItemMove = ItemSize = ItemClose = ItemRestore = ItemMinimize = ItemMaximize = nullptr;
    Items()->Clear();
    CustomItemCount = 0;
    const HMENU native = NativeMenuOf(Form);
    if (!native) return;

    const auto addSubMenu = [&](TvlMenuItemPos At) {
        TvlSysSubMenu *sub = Provider->SysSubMenu();
        if (!sub || sub->Position() != At || sub->Caption().empty() || !sub->PopupMenu()) return;
        if (At == ipBottom) AddDivider("vl_BtmDiv");
        ItemSubMenu = vcl::Create<vcl::TMenuItem>(this);
        ItemSubMenu->SetName("vl_SubMenu");
        ItemSubMenu->SetCaption(sub->Caption());
        const vcl::TMenuItem *source = sub->PopupMenu()->Items();
        for (int i = 0; i < source->Count(); ++i) ItemSubMenu->Add(CopyItem(this, *source->Items(i)));
        SetImages(sub->PopupMenu()->Images());
        Items()->Add(ItemSubMenu);
        if (At != ipBottom) AddDivider("vl_TopDiv");
    };
    const auto addStandard = [&](UINT Command, const char *Name, const std::string &Localized,
                                 const char *English, vcl::TNotifyEvent Click) {
        auto *item = vcl::Create<vcl::TMenuItem>(this);
        item->SetName(Name);
        std::string caption;
        vcl::TShortCut shortCut = 0;
        if (!NativeText(native, Command, MF_BYCOMMAND, caption, shortCut)) caption = OrDefault(Localized, English);
        item->SetCaption(caption);
        item->SetShortCut(shortCut);
        item->SetTag(Command);
        item->OnClick = Click;
        Items()->Add(item);
        return item;
    };

    addSubMenu(ipTop);
    ItemRestore = addStandard(SC_RESTORE, "vlIR", LocRestore, "Restore",
                              vcl::TNotifyEvent::Bind<&TsSystemMenu::RestoreClick>(this));
    ItemMove = addStandard(SC_MOVE, "vlIM", LocMove, "Move", vcl::TNotifyEvent::Bind<&TsSystemMenu::MoveClick>(this));
    ItemSize = addStandard(SC_SIZE, "vlIS", LocSize, "Size", vcl::TNotifyEvent::Bind<&TsSystemMenu::SizeClick>(this));
    ItemMinimize = addStandard(SC_MINIMIZE, "vlIN", LocMinimize, "Minimize",
                               vcl::TNotifyEvent::Bind<&TsSystemMenu::MinimizeClick>(this));
    ItemMaximize = addStandard(SC_MAXIMIZE, "vlIX", LocMaximize, "Maximize",
                               vcl::TNotifyEvent::Bind<&TsSystemMenu::MaximizeClick>(this));
    AddDivider({});

    // What the application put into the window's menu. The system's own
    // commands (and a platform's extras among them) are not copied, nor are
    // separators (no text) and sub-menus (no command to send).
    const int count = GetMenuItemCount(native);
    for (int i = 0; i < count; ++i) {
        const UINT id = GetMenuItemID(native, i);
        if (id == static_cast<UINT>(-1) || (id >= FirstSystemCommand && id <= LastSystemCommand)) continue;
        std::string caption;
        vcl::TShortCut shortCut = 0;
        if (!NativeText(native, static_cast<UINT>(i), MF_BYPOSITION, caption, shortCut)) continue;
        auto *item = vcl::Create<vcl::TMenuItem>(this);
        item->SetCaption(caption);
        item->SetShortCut(shortCut);
        item->SetTag(id);
        item->OnClick = vcl::TNotifyEvent::Bind<&TsSystemMenu::CustomItemClick>(this);
        Items()->Add(item);
        ++CustomItemCount;
    }
    if (CustomItemCount > 0) AddDivider({});

    addSubMenu(ipBeforeClose);
    ItemClose = addStandard(SC_CLOSE, "vlIC", LocClose, "Close", vcl::TNotifyEvent::Bind<&TsSystemMenu::CloseClick>(this));
    ItemClose->SetEnabled(NativeCloseEnabled(WindowOf(Form)));
    addSubMenu(ipBottom);
}

void TsSystemMenu::AddDivider(const std::string &Name) {
    auto *divider = vcl::Create<vcl::TMenuItem>(this);
    if (!Name.empty()) SetFreeName(divider, Name);
    divider->SetCaption("-");
    Items()->Add(divider);
}

void TsSystemMenu::UpdateItems(bool Rebuild) {
    if (Rebuild || !ItemClose) MakeItems();
    if (!Form || !ItemClose) return;
    const HWND window = WindowOf(Form);
    const bool child = MDIChild(Form);
    const bool normalFrame = StyleIn(Form, {vcl::bsSingle, vcl::bsSizeable});
    ItemRestore->SetVisible(Has(Form, vcl::biSystemMenu) && (child || normalFrame));
    ItemRestore->SetEnabled(EnabledRestore());
    ItemMove->SetVisible(true);
    ItemMove->SetEnabled(Form->WindowState() != vcl::wsMaximized);
    ItemSize->SetVisible(child || StyleIn(Form, {vcl::bsSingle, vcl::bsSizeable, vcl::bsSizeToolWin}));
    ItemSize->SetEnabled(Form->BorderStyle() != vcl::bsSingle && !(window && IsIconic(window)));
    ItemMinimize->SetVisible(VisibleMin());
    ItemMinimize->SetEnabled(EnabledMin());
    ItemMaximize->SetVisible(VisibleMax());
    ItemMaximize->SetEnabled(EnabledMax());
    ItemClose->SetVisible(VisibleClose());
    ItemClose->SetEnabled(NativeCloseEnabled(window));
}

void TsSystemMenu::MakeSkinItems() {
    TsSkinManager *manager = Provider->SkinData() ? Provider->SkinData()->GetSkinManager() : nullptr;
    if (!manager) return;
    vcl::TStringList names;
    std::string first;
    manager->ListAvailableSkins(names, 2, first);
    if (names.Count() == 0) return;

    auto *list = vcl::Create<vcl::TMenuItem>(this);
    list->SetCaption(OrDefault(LocAvailableStyles, "Available styles"));
    SetFreeName(list, "SkinSelectItem");
    Items()->Insert(0, list);
    auto *divider = vcl::Create<vcl::TMenuItem>(this);
    divider->SetCaption("-");
    Items()->Insert(1, divider);

    bool checked = false;
    for (int i = 0; i < names.Count(); ++i) {
        auto *item = vcl::Create<vcl::TMenuItem>(this);
        item->SetCaption(names.Strings(i));
        SetFreeName(item, "SkinSelectItem" + std::to_string(i));
        item->SetRadioItem(true);
        item->OnClick = vcl::TNotifyEvent::Bind<&TsSystemMenu::SkinItemClick>(this);
        if (!checked && item->Caption() == manager->SkinName()) {
            item->SetChecked(true);
            checked = true;
        }
        if (i > 0 && i % SkinColumnLength == 0) item->SetBreak(vcl::mbBreak);
        list->Add(item);
    }
}

// ----------------------------------------------------------------- clicks

void TsSystemMenu::SendCommand(UINT Command) {
    if (const HWND window = WindowOf(Form)) SendMessageW(window, WM_SYSCOMMAND, Command, 0);
}

void TsSystemMenu::SendAndUpdate(UINT Command) {
    const HWND window = WindowOf(Form);
    if (!window) return;
    const vcl::TGuarded provider(Provider);
    SendMessageW(window, WM_SYSCOMMAND, Command, 0);
    // The command may have freed the form, its provider and this menu.
    if (ProviderServes(provider, window)) UpdateItems(false);
}

void TsSystemMenu::RestoreClick(vcl::TObject *) { SendAndUpdate(SC_RESTORE); }

void TsSystemMenu::MoveClick(vcl::TObject *) { SendCommand(SC_MOVE); }

void TsSystemMenu::SizeClick(vcl::TObject *) { SendCommand(SC_SIZE); }

void TsSystemMenu::MinimizeClick(vcl::TObject *) {
    const HWND window = WindowOf(Form);
    if (!window) return;
    const vcl::TGuarded provider(Provider);
    provider->Animating = true;
    SendMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    if (!ProviderServes(provider, window)) return;
    provider->Animating = false;
    UpdateItems(false);
}

void TsSystemMenu::MaximizeClick(vcl::TObject *) { SendAndUpdate(SC_MAXIMIZE); }

void TsSystemMenu::CloseClick(vcl::TObject *) { SendCommand(SC_CLOSE); }

void TsSystemMenu::CustomItemClick(vcl::TObject *Sender) {
    const auto *item = dynamic_cast<const vcl::TMenuItem *>(Sender);
    const HWND window = WindowOf(Form);
    if (item && window) PostMessageW(window, WM_SYSCOMMAND, static_cast<WPARAM>(item->Tag()), 0);
}

void TsSystemMenu::SkinItemClick(vcl::TObject *Sender) {
    const auto *item = dynamic_cast<const vcl::TMenuItem *>(Sender);
    TsSkinManager *manager = Provider->SkinData() ? Provider->SkinData()->GetSkinManager() : nullptr;
    if (!item || !manager) return;
    std::string name = DeleteChars(item->Caption(), '&');
    // A stored skin's name ends with the marker; whatever follows it names
    // the same skin.
    if (!LocInternal.empty())
        if (const std::size_t at = name.find(LocInternal); at != std::string::npos) name.resize(at + LocInternal.size());
    manager->SetSkinName(name);
}

} // namespace skin
