#pragma once
// Popup menus: a tree of menu items (caption, shortcut, check and radio
// marks, column breaks, a click handler) that shows as a native popup menu
// at a screen point and calls the clicked item's handler. Shortcuts are
// kept as key codes and written as the system writes them after a tab
// ("Alt+F4"). Windows only.
//
// Items are components: an item made with an owner is destroyed with it,
// and an item destroys its sub-items. Whoever inserts an item into a menu
// keeps it there until it is removed or destroyed; a destroyed item leaves
// its parent item.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Component.h"
#include "ControlTypes.h"
#include "Messages.h"
#include "Types.h"

namespace vcl {

class TBitmap;
class TCanvas;
class TCustomImageList;
class TMenu;

// A key with its modifiers: the virtual key in the low byte, scShift,
// scCtrl and scAlt above it; 0 is none.
using TShortCut = std::uint16_t;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;

TShortCut ShortCut(WORD Key, TShiftState Shift);
// "Ctrl+Shift+S", "Alt+F4", "Del"; empty for 0 or a key without a name.
std::string ShortCutToText(TShortCut ShortCut);
// The reverse, without regard to case; 0 for a text it cannot read.
TShortCut TextToShortCut(std::string_view Text);

// mbBreak starts a new column with the item; mbBarBreak with a line before it.
VCL_ENUM(TMenuBreak, mbNone, mbBreak, mbBarBreak)

// The state of an owner-drawn item, bit for bit the system's ODS_ flags.
enum TOwnerDrawStateItem {
    odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight, odInactive, odNoAccel,
    odNoFocusRect, odReserved1, odReserved2, odComboBoxEdit
};
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;

// The reading order of a menu.
VCL_ENUM(TBiDiMode, bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly)

// How a popup menu unfolds; maNone: at once.
enum TMenuAnimations { maLeftToRight, maRightToLeft, maTopToBottom, maBottomToTop, maNone };
using TMenuAnimation = TSet<TMenuAnimations>;

using TAdvancedMenuDrawItemEvent =
    TMethod<void(TObject *Sender, TCanvas *ACanvas, TRect ARect, TOwnerDrawState State)>;
using TMenuMeasureItemEvent = TMethod<void(TObject *Sender, TCanvas *ACanvas, int &Width, int &Height)>;

class TMenuItem : public TComponent {
    VCL_CLASS(TMenuItem, TComponent)
public:
    explicit TMenuItem(TComponent *AOwner);
    // Destroys the sub-items and leaves the parent item.
    ~TMenuItem() override;

    // "-" makes the item a separator.
    const std::string &Caption() const { return FCaption; }
    void SetCaption(const std::string &Value) { FCaption = Value; Changed(); }
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value) { FShortCut = Value; Changed(); }
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value) { FChecked = Value; Changed(); }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; Changed(); }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value) { FVisible = Value; Changed(); }
    // Checked shows as a dot rather than a tick.
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool Value) { FRadioItem = Value; Changed(); }
    TMenuBreak Break() const { return FBreak; }
    void SetBreak(TMenuBreak Value) { FBreak = Value; Changed(); }
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int Value) { FHelpContext = Value; }
    // A top item of a menu merged into a bar replaces the bar's own items of
    // its group index; the bar shows the groups in ascending order.
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value) { FGroupIndex = Value; Changed(); }
    // An image of the menu's image list; -1 none.
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value) { FImageIndex = Value; Changed(); }
    TNotifyEvent OnClick;
    // Drawn in bold: the menu's default command.
    bool Default() const { return FDefault; }
    void SetDefault(bool Value) { FDefault = Value; Changed(); }
    // The item's own glyph; made empty on first use and owned by the item.
    TBitmap *Bitmap() const;
    void SetBitmap(const TBitmap *Value);
    // The item carries a glyph of its own (Bitmap not empty).
    bool HasBitmap() const;
    // The image list of the sub-items' glyphs; watched.
    TCustomImageList *SubMenuImages() const { return FSubMenuImages; }
    void SetSubMenuImages(TCustomImageList *Value);
    // Owner drawing: the menu's OwnerDraw, or these handlers, draw the item.
    TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;
    TMenuMeasureItemEvent OnMeasureItem;
    // The command number the system reports for the item (WM_COMMAND and
    // the owner-draw messages carry it); unique while the item lives.
    UINT Command() const { return FCommand; }
    // The living item of a command number; null when none.
    static TMenuItem *FindCommand(UINT Command);

    // Sub-items.
    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem *Items(int Index) const;  // raises EListError out of range
    int IndexOf(const TMenuItem *Item) const;  // -1 when not a sub-item
    TMenuItem *Parent() const { return FParent; }
    // Takes Item out of its parent first; raises EInvalidOperation when Item
    // is this item or one of its parents.
    void Add(TMenuItem *Item);
    void Insert(int Index, TMenuItem *Item);
    // Takes the item out without destroying it.
    void Remove(TMenuItem *Item);
    // Destroys the sub-item at Index.
    void Delete(int Index);
    // Destroys every sub-item.
    void Clear();
    bool IsLine() const { return FCaption == "-"; }
    // The menu whose tree holds the item; null when none.
    TMenu *GetParentMenu() const;

    // Calls OnClick when the item is enabled.
    virtual void Click();
    // Owner drawing: OnMeasureItem, or the size of the caption and shortcut.
    virtual void MeasureItem(TCanvas *ACanvas, int &Width, int &Height);
    // OnAdvancedDrawItem, or the caption in the system's menu colours.
    virtual void AdvancedDrawItem(TCanvas *ACanvas, TRect ARect, TOwnerDrawState State, bool TopLevel);

protected:
    void Notification(TComponent *AComponent, TOperation Operation) override;

private:
    friend class TMenu;

    // Tells the menu that its platform menu no longer matches.
    void Changed();

    std::string FCaption;
    TShortCut FShortCut = 0;
    bool FChecked = false;
    bool FEnabled = true;
    bool FVisible = true;
    bool FRadioItem = false;
    TMenuBreak FBreak = mbNone;
    int FHelpContext = 0;
    int FGroupIndex = 0;
    int FImageIndex = -1;
    TMenuItem *FParent = nullptr;    // not owned
    std::vector<TMenuItem *> FItems; // destroyed with the item (see the top)
    TMenu *FMenu = nullptr;          // set on the root item only
    bool FDefault = false;
    mutable std::unique_ptr<TBitmap> FBitmap;       // made on first use
    TCustomImageList *FSubMenuImages = nullptr;     // not owned; cleared when it goes
    UINT FCommand = 0;
};

class TMenu : public TComponent {
    VCL_CLASS(TMenu, TComponent)
public:
    explicit TMenu(TComponent *AOwner);
    ~TMenu() override;

    // The root item, whose sub-items are the menu's items; owned.
    TMenuItem *Items() const { return FItems; }
    // The items ask the window's owner drawing (WM_MEASUREITEM, WM_DRAWITEM).
    bool OwnerDraw() const { return FOwnerDraw; }
    void SetOwnerDraw(bool Value) { FOwnerDraw = Value; }
    TCustomImageList *Images() const { return FImages; }
    // Watched: the reference goes with the list.
    void SetImages(TCustomImageList *Value);
    // The window that owns the menu while it shows (null: the application's).
    HWND WindowHandle() const { return FWindowHandle; }
    void SetWindowHandle(HWND Value) { FWindowHandle = Value; }
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode Value) { FBiDiMode = Value; }
    // An item of the tree changed (caption, state, added, removed): a menu
    // that shows as a platform menu builds it again.
    virtual void ItemsChanged() {}

protected:
    void Notification(TComponent *AComponent, TOperation Operation) override;

private:
    TMenuItem *FItems;
    TBiDiMode FBiDiMode = bdLeftToRight;
    bool FOwnerDraw = false;
    TCustomImageList *FImages = nullptr;  // not owned; cleared when it goes
    HWND FWindowHandle = nullptr;
};

class TPopupMenu : public TMenu {
    VCL_CLASS(TPopupMenu, TMenu)
public:
    using TMenu::TMenu;

    // Calls OnPopup, shows the visible items at the screen point, waits
    // for the choice and then clicks the chosen item (which may destroy the
    // menu: nothing of it is touched after).
    void Popup(int X, int Y);
    TNotifyEvent OnPopup;
    // maNone shows the popup without the system's unfolding.
    TMenuAnimation MenuAnimation() const { return FMenuAnimation; }
    void SetMenuAnimation(TMenuAnimation Value) { FMenuAnimation = Value; }

protected:
    // Shows the built menu and answers the chosen command (0: none). Tests
    // override it to read the menu and choose.
    virtual UINT TrackMenu(HMENU Menu, int X, int Y, HWND Owner);
    // The TrackPopupMenu flags of MenuAnimation.
    UINT AnimationFlags() const;

private:
    TMenuAnimation FMenuAnimation;
};

// A form's menu bar. The form that shows it sets WindowHandle; the bar is
// built on first use and built again whenever an item changes, after which
// the window hears CM_MENUCHANGED. Items that the system put into the bar
// (a maximized MDI child's system menu and buttons) stay where they are.
class TMainMenu : public TMenu {
    VCL_CLASS(TMainMenu, TMenu)
public:
    using TMenu::TMenu;
    // Leaves the bar it is merged into, and lets go of the one merged into it.
    ~TMainMenu() override;

    // The platform menu; owned by this object unless a window holds it.
    HMENU Handle();
    void ItemsChanged() override;

    // Merging: Menu's top items show in this bar by group index (see
    // TMenuItem::GroupIndex) until it is unmerged or goes; null unmerges.
    // A menu is merged into one bar at a time.
    void Merge(TMainMenu *Menu);
    // Only when Menu is the one merged.
    void Unmerge(TMainMenu *Menu);
    TMainMenu *Merged() const { return FMerged; }
    // The bar that shows this menu's items; null when not merged.
    TMainMenu *MergedInto() const { return FMergedInto; }
    // The platform popup that shows Item's sub-items in this bar (Item one
    // of its own or merged items); null when the bar shows none.
    HMENU PopupOf(const TMenuItem *Item);

private:
    void Rebuild();
    HMENU FHandle = nullptr;
    TMainMenu *FMerged = nullptr;     // not owned; unmerges itself when it goes
    TMainMenu *FMergedInto = nullptr; // not owned; lets go of this one when it goes
};

// The owner-draw messages of menu items (WM_MEASUREITEM, WM_DRAWITEM of
// ODT_MENU) and the menu commands (WM_COMMAND from a menu) sent to a
// window that shows a menu: the item they name measures, draws or clicks.
// A command clicks only an item of the menu bar that Window shows (its own
// or merged items). True
// when the message was for an item that lives.
bool DispatchMenuMessage(TMessage &Message, HWND Window = nullptr);

} // namespace vcl
