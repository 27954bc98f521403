#pragma once
// The skinned system menu of a form: a popup menu that the provider shows
// in place of the window's own system menu (on the caption icon, a right
// click on the caption, Alt+Space). It mirrors the window's system menu:
// the six standard commands with the captions and shortcuts the window's
// menu gives them, the items the application added there, the provider's
// extra submenu and, on request, a list of the available skins. Windows
// only.
#include <windows.h>

#include <string>

#include "vcl/Menus.h"

namespace vcl {
class TCustomForm;
}

namespace skin {

class TsSkinProvider;

// The base of the system menus of forms and of skinned dialogs: which
// standard items show and which are enabled.
class TsCustomSysMenu : public vcl::TPopupMenu {
    VCL_CLASS(TsCustomSysMenu, vcl::TPopupMenu)
public:
    using vcl::TPopupMenu::TPopupMenu;

    virtual bool VisibleClose() const = 0;
    virtual bool VisibleMax() const = 0;
    virtual bool VisibleMin() const = 0;
    virtual bool EnabledMax() const = 0;
    virtual bool EnabledMin() const = 0;
    virtual bool EnabledRestore() const = 0;
};

// The command numbers of the standard items (their Tag).
inline constexpr UINT SysMenuCommands[] = {SC_RESTORE, SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_CLOSE};

class TsSystemMenu : public TsCustomSysMenu {
    VCL_CLASS(TsSystemMenu, TsCustomSysMenu)
public:
    // Owned by the provider as a component; named "vlSysMenu" and the tick
    // count; its items made at once.
    explicit TsSystemMenu(TsSkinProvider *Provider);

    bool VisibleClose() const override;
    bool VisibleMax() const override;
    bool VisibleMin() const override;
    bool EnabledMax() const override;
    bool EnabledMin() const override;
    bool EnabledRestore() const override;

    // Rebuilds the whole item list from the window's system menu.
    void MakeItems();
    // Rebuilds when asked or when the close item is missing, then sets the
    // standard items' Visible and Enabled.
    void UpdateItems(bool Rebuild);
    // Inserts the "Available styles" submenu first (the provider has taken
    // out a previous one).
    void MakeSkinItems();

    // Click handlers of the items.
    void RestoreClick(vcl::TObject *Sender);
    void MoveClick(vcl::TObject *Sender);
    void SizeClick(vcl::TObject *Sender);
    void MinimizeClick(vcl::TObject *Sender);
    void MaximizeClick(vcl::TObject *Sender);
    void CloseClick(vcl::TObject *Sender);
    // An item copied from the window's menu: its command is posted.
    void CustomItemClick(vcl::TObject *Sender);
    void SkinItemClick(vcl::TObject *Sender);

    // The items, null until made.
    vcl::TMenuItem *ItemSubMenu = nullptr;  // "vl_SubMenu", the provider's SysSubMenu
    vcl::TMenuItem *ItemMove = nullptr;     // "vlIM"
    vcl::TMenuItem *ItemSize = nullptr;     // "vlIS"
    vcl::TMenuItem *ItemClose = nullptr;    // "vlIC"
    vcl::TMenuItem *ItemRestore = nullptr;  // "vlIR"
    vcl::TMenuItem *ItemMinimize = nullptr; // "vlIN"
    vcl::TMenuItem *ItemMaximize = nullptr; // "vlIX"
    int CustomItemCount = 0;                // items copied from the window's menu
    TsSkinProvider *Provider;               // not owned: the owner
    vcl::TCustomForm *Form;                 // not owned: the provider's form

private:
    // A separator item (named when Name is not empty and still free).
    void AddDivider(const std::string &Name);
    // WM_SYSCOMMAND sent to the form; with the update, the item states
    // follow unless the command freed the form.
    void SendCommand(UINT Command);
    void SendAndUpdate(UINT Command);
};

// The window's own system menu holds SC_CLOSE and it is neither disabled
// nor grayed; false without that menu.
bool NativeCloseEnabled(HWND Window);

} // namespace skin
