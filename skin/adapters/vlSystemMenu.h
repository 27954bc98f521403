#pragma once
// The system menu of a skinned system dialog. The dialog's adapter paints
// the caption itself, so the window's own system menu never shows; this
// popup menu stands in for it. Unlike a form's menu it copies nothing from
// the window: it always holds the same six commands with the library's
// localized captions, and which of them show and work follows the style
// the dialog's adapter read when it took the window over and its frame
// kind. Its items carry their command in Tag and the menu's name starts
// with "vlSysMenu", so that the menu painter draws the caption glyphs of
// the commands. Windows only.
#include <windows.h>

#include "skin/forms/sSystemMenu.h"

namespace skin {

class TsSkinManager;

// What the system menu needs of a skinned dialog; its adapter answers.
class TvlSysMenuDialog {
public:
    virtual ~TvlSysMenuDialog() = default;
    // The dialog's window (null once it is gone).
    virtual HWND SysMenuWindow() const = 0;
    // The window style read when the adapter took the window over.
    virtual LONG_PTR SysMenuStyle() const = 0;
    // 0: modal frame without sizing; 1: default section set; 2: a popup
    // without a full caption; 3: sizeable or default; 4 and 5 reserved.
    virtual int SysMenuFrameKind() const = 0;
};

class TvlSystemMenu : public TsCustomSysMenu {
    VCL_CLASS(TvlSystemMenu, TsCustomSysMenu)
public:
    // The six items made at once, a divider after the maximize item. The
    // dialog is not owned and outlives the menu (its adapter owns both).
    TvlSystemMenu(vcl::TComponent *AOwner, const TvlSysMenuDialog &Dialog);

    bool VisibleClose() const override;
    bool VisibleMax() const override;
    bool VisibleMin() const override;
    bool EnabledMax() const override;
    bool EnabledMin() const override;
    bool EnabledRestore() const override;

    // Sets Visible and Enabled of the six items from the dialog's state.
    void UpdateItems();
    // Updated, drawn by the manager's menu painter when it skins popups,
    // and shown at the screen point for the dialog's window.
    void ShowAt(int X, int Y, TsSkinManager *Manager);

    // Each sends its command to the dialog (WM_SYSCOMMAND, lParam 0).
    void RestoreClick(vcl::TObject *Sender);
    void MoveClick(vcl::TObject *Sender);
    void SizeClick(vcl::TObject *Sender);
    void MinimizeClick(vcl::TObject *Sender);
    void MaximizeClick(vcl::TObject *Sender);
    void CloseClick(vcl::TObject *Sender);

    vcl::TMenuItem *ItemRestore;   // "miRestore"
    vcl::TMenuItem *ItemMove;      // "miMove"
    vcl::TMenuItem *ItemSize;      // "miSize"
    vcl::TMenuItem *ItemMinimize;  // "miMinimize"
    vcl::TMenuItem *ItemMaximize;  // "miMaximize"
    vcl::TMenuItem *ItemClose;     // "miClose", Alt+F4

private:
    const TvlSysMenuDialog &FDialog;
    HWND Window() const { return FDialog.SysMenuWindow(); }
    LONG_PTR Style() const { return FDialog.SysMenuStyle(); }
    vcl::TMenuItem *AddItem(const char *Name, const std::string &Localized, const char *English, UINT Command,
                            vcl::TNotifyEvent Click);
    void Send(UINT Command, bool Update);
};

} // namespace skin
