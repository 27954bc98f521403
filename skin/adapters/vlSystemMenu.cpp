#include "vlSystemMenu.h"

#include <string>

#include "sSkinMenus.h"
#include "skin/graphics/sConst.h"
#include "skin/manager/sSkinManager.h"

namespace skin {

VCL_CLASS_INFO(TvlSystemMenu)

namespace {

bool OneOf(int Kind, std::initializer_list<int> Kinds) {
    for (int k : Kinds)
        if (k == Kind) return true;
    return false;
}

} // namespace

TvlSystemMenu::TvlSystemMenu(vcl::TComponent *AOwner, const TvlSysMenuDialog &Dialog)
    : TsCustomSysMenu(AOwner), FDialog(Dialog) {
    // The painter knows a system menu by this name (see the top).
    SetName("vlSysMenu" + std::to_string(GetTickCount()));
    ItemRestore = AddItem("miRestore", LocRestore, "Restore", SC_RESTORE,
                          vcl::TNotifyEvent::Bind<&TvlSystemMenu::RestoreClick>(this));
    ItemMove = AddItem("miMove", LocMove, "Move", SC_MOVE, vcl::TNotifyEvent::Bind<&TvlSystemMenu::MoveClick>(this));
    ItemSize = AddItem("miSize", LocSize, "Size", SC_SIZE, vcl::TNotifyEvent::Bind<&TvlSystemMenu::SizeClick>(this));
    ItemMinimize = AddItem("miMinimize", LocMinimize, "Minimize", SC_MINIMIZE,
                           vcl::TNotifyEvent::Bind<&TvlSystemMenu::MinimizeClick>(this));
    ItemMaximize = AddItem("miMaximize", LocMaximize, "Maximize", SC_MAXIMIZE,
                           vcl::TNotifyEvent::Bind<&TvlSystemMenu::MaximizeClick>(this));
    ItemClose = AddItem("miClose", LocClose, "Close", SC_CLOSE,
                        vcl::TNotifyEvent::Bind<&TvlSystemMenu::CloseClick>(this));
    ItemClose->SetShortCut(vcl::scAlt | VK_F4);
    auto *divider = vcl::Create<vcl::TMenuItem>(this);
    divider->SetCaption("-");
    Items()->Insert(Items()->IndexOf(ItemMaximize) + 1, divider);
}

vcl::TMenuItem *TvlSystemMenu::AddItem(const char *Name, const std::string &Localized, const char *English,
                                       UINT Command, vcl::TNotifyEvent Click) {
    auto *item = vcl::Create<vcl::TMenuItem>(this);
    item->SetName(Name);
    item->SetCaption(Localized.empty() ? std::string(English) : Localized);
    item->SetTag(Command);
    item->OnClick = Click;
    Items()->Add(item);
    return item;
}

// ------------------------------------------------------------ predicates

bool TvlSystemMenu::VisibleClose() const { return Style() & WS_SYSMENU; }
bool TvlSystemMenu::VisibleMax() const { return Style() & WS_MAXIMIZEBOX; }
bool TvlSystemMenu::VisibleMin() const { return Style() & WS_MINIMIZEBOX; }

bool TvlSystemMenu::EnabledMax() const {
    const HWND window = Window();
    return (Style() & WS_MAXIMIZEBOX) && !(window && IsZoomed(window)) &&
           OneOf(FDialog.SysMenuFrameKind(), {1, 3, 5});
}

bool TvlSystemMenu::EnabledMin() const {
    const HWND window = Window();
    return (Style() & WS_MINIMIZEBOX) && !(window && IsIconic(window));
}

bool TvlSystemMenu::EnabledRestore() const {
    const HWND window = Window();
    return (Style() & WS_MAXIMIZEBOX) && window && (IsIconic(window) || IsZoomed(window));
}

void TvlSystemMenu::UpdateItems() {
    const HWND window = Window();
    const int kind = FDialog.SysMenuFrameKind();
    const bool iconic = window && IsIconic(window);
    ItemRestore->SetVisible(!OneOf(kind, {0, 2, 4, 5}) && (Style() & WS_SYSMENU));
    ItemRestore->SetEnabled(EnabledRestore());
    ItemMove->SetVisible(true);
    ItemMove->SetEnabled(!(window && IsZoomed(window)));
    ItemSize->SetVisible(!OneOf(kind, {0, 2, 4}));
    ItemSize->SetEnabled(kind != 1 && !iconic);
    ItemMinimize->SetVisible(VisibleMin());
    ItemMinimize->SetEnabled(EnabledMin());
    ItemMaximize->SetVisible(VisibleMax());
    ItemMaximize->SetEnabled(EnabledMax());
    ItemClose->SetVisible(VisibleClose());
    ItemClose->SetEnabled(true);
}

void TvlSystemMenu::ShowAt(int X, int Y, TsSkinManager *Manager) {
    const HWND window = Window();
    if (!window) return;
    UpdateItems();
    if (Manager && Manager->SkinnedPopups()) Manager->SkinableMenus().SetMenuOwnerDraw(this, true);
    // Owned by the application's window, which hands the owner drawing to
    // the items: the dialog's own procedure knows nothing of them.
    SetWindowHandle(nullptr);
    // The chosen command may end the dialog and, with its adapter, this
    // menu: nothing of it is touched after.
    Popup(X, Y);
}

// ------------------------------------------------------------ clicks

void TvlSystemMenu::Send(UINT Command, bool Update) {
    const HWND window = Window();
    if (!window) return;
    SendMessageW(window, WM_SYSCOMMAND, Command, 0);
    // A window that went with the command leaves nothing to update.
    if (Update && IsWindow(window)) UpdateItems();
}

void TvlSystemMenu::RestoreClick(vcl::TObject *) { Send(SC_RESTORE, true); }
void TvlSystemMenu::MoveClick(vcl::TObject *) { Send(SC_MOVE, false); }
void TvlSystemMenu::SizeClick(vcl::TObject *) { Send(SC_SIZE, false); }
void TvlSystemMenu::MinimizeClick(vcl::TObject *) { Send(SC_MINIMIZE, false); }
void TvlSystemMenu::MaximizeClick(vcl::TObject *) { Send(SC_MAXIMIZE, true); }
void TvlSystemMenu::CloseClick(vcl::TObject *) { Send(SC_CLOSE, false); }

} // namespace skin
