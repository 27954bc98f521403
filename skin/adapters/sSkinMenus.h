#pragma once
// TsSkinableMenus: the skin manager's menu painter. It does not subclass
// menus: it switches the class library's menus to owner drawing and puts its
// own handlers into the items' OnAdvancedDrawItem and OnMeasureItem (where
// an item has none of its own), and paints each item from one background
// per popup (the skin's "MAINMENU" section with its border mask, the icon
// column and the extra line) that it keeps until a menu window closes.
//
// A popup's client origin lies inside its window rectangle by the width of
// the menu window's non-client frame (0 where the system gives menu windows
// none): item rectangles are moved by that origin to find their place in the
// background, which is built in window coordinates.
//
// The module's start-up plugs its factory into the manager's menu slot
// (RegisterSkinableMenus). Windows only.
#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "skin/manager/sSkinServices.h"
#include "vcl/ControlTypes.h"
#include "vcl/Menus.h"
#include "vcl/Types.h"

namespace vcl {
class TBitmap;
class TCanvas;
class TFont;
}

namespace skin {

class TsSkinManager;

enum TsMenuItemType { smCaption, smDivider, smNormal, smTopLine };

using TsMenuManagerDrawItemEvent = vcl::TMethod<void(vcl::TObject *Sender, vcl::TCanvas *ACanvas, vcl::TRect ARect,
                                                     vcl::TOwnerDrawState State, TsMenuItemType ItemType)>;

// One cached popup background.
struct TvlMenuBackground {
    vcl::TMenuItem *FirstItem = nullptr;     // the popup's item at index 0 (key); not owned
    std::shared_ptr<vcl::TBitmap> Bitmap;    // the whole popup in window coordinates
    HWND Window = nullptr;                   // the menu window, or null when built while measuring
    bool ExtraLineVisible = false;
    vcl::TPoint ClientOrigin{};              // the client area's origin inside the window
};

class TsSkinableMenus : public TvlSkinableMenus {
public:
    explicit TsSkinableMenus(TsSkinManager &Manager);
    ~TsSkinableMenus() override;
    TsSkinableMenus(const TsSkinableMenus &) = delete;
    TsSkinableMenus &operator=(const TsSkinableMenus &) = delete;

    // Options.
    int Margin = 2;
    int Spacing = 8;
    int BevelWidth = 0;   // stored only
    int BorderWidth = 3;  // added round the content of a background built without a window
    vcl::TAlignment Alignment = vcl::taLeftJustify;
    TsMenuManagerDrawItemEvent OnDrawItem;
    vcl::TFont *CaptionFont() const { return FCaptionFont.get(); }
    // The "MAINMENU" border mask's width (at least 1), 0 without that mask.
    int SkinBorderWidth();
    // The kind of the item last measured or drawn.
    TsMenuItemType ItemKind = smNormal;

    // TvlSkinableMenus.
    void SetActive(bool Value) override;
    void ApplyToAllForms() override;
    void ResetSectionCache() override;
    void SetControlMenuOwnerDraw(vcl::TControl *Control, bool On) override;
    void ApplyItemRegion(LPARAM ItemKey) override;
    void ApplyPopupRegion(HWND Popup) override;
    void SetMenuOwnerDraw(vcl::TMenu *Menu, bool On) override;
    void ClearMenuBackgrounds() override;
    void PopupInitialised() override;
    bool PaintsPopups() const override { return true; }
    TvlPopupBackground PopupBackground(HWND Window) override;
    void ShapeMenuWindow(HWND Window, int Width, int Height) override;

    // Hooking (see the top). The walk of SetActive always runs.
    void RunActive(bool Value);
    void HookMainMenu(vcl::TMenu *Menu, bool Value);
    void HookItem(vcl::TMenuItem *Item, bool Value);
    void HookItems(vcl::TMenuItem *Item, bool Value);

    // The handlers put into items.
    void SkinMeasureMenuItem(vcl::TObject *Sender, vcl::TCanvas *ACanvas, int &Width, int &Height);
    void SkinDrawMenuItem(vcl::TObject *Sender, vcl::TCanvas *ACanvas, vcl::TRect ARect,
                          vcl::TOwnerDrawState State);
    void SkinMeasureMenuLineItem(vcl::TObject *Sender, vcl::TCanvas *ACanvas, int &Width, int &Height);
    void SkinDrawMenuLineItem(vcl::TObject *Sender, vcl::TCanvas *ACanvas, vcl::TRect ARect,
                              vcl::TOwnerDrawState State);

    // Geometry.
    static bool IsTopLineItem(const vcl::TMenuItem *Item);
    static bool IsCaptionItem(const vcl::TMenuItem *Item);
    static vcl::TSize ItemGlyphSize(const vcl::TMenuItem *Item);
    int ExtraLineWidthFor(bool LineVisible) const;
    int ItemHeight(vcl::TCanvas &Canvas, const vcl::TMenuItem *Item);
    // The height of an item that is neither a divider nor a caption, from
    // its text's measured height.
    int NormalItemHeight(const vcl::TMenuItem *Item, int TextHeight) const;
    int ContentWidth(vcl::TCanvas &Canvas, vcl::TMenuItem *Item);
    int ContentHeight(vcl::TCanvas &Canvas, const vcl::TMenuItem *Item);

    // The popup's background: looked up (by the item's popup, or by Window
    // without an item) and, with a canvas, built when missing. False when
    // there is none.
    bool GetMenuBackground(vcl::TMenuItem *Item, TvlMenuBackground &Record, HWND Window, vcl::TCanvas *Canvas);
    void ApplyMenuRegion(HWND Window, vcl::TBitmap &Bitmap);
    // The background of a shown popup window, built before its first item
    // is drawn when the painter draws its items. False when there is none.
    bool WindowBackground(HWND Window, TvlMenuBackground &Record);
    // The border mask's corner runs in a background Width x Height.
    std::vector<vcl::TRect> MenuCorners(int Width, int Height);
    std::size_t BackgroundCount() const { return FBackgrounds.size(); }
    // The corner runs of the last built background, in its coordinates.
    const std::vector<vcl::TRect> &CornerRects() const { return FCornerRects; }

    // The face and character of a system command's glyph ("Webdings", or
    // "Marlett" where that face lacks the character); empty for none.
    struct TSysGlyph {
        std::wstring Face;
        wchar_t Char = 0;
    };
    static TSysGlyph SysCommandGlyph(HDC DC, UINT Command);

private:
    TsSkinManager &FManager;
    std::unique_ptr<vcl::TFont> FCaptionFont;
    int FSkinBorderWidth = -1;
    bool FPopupSkinning = false;
    bool FBusy = false;
    std::vector<vcl::TRect> FCornerRects;
    std::vector<TvlMenuBackground> FBackgrounds;
    std::unique_ptr<vcl::TBitmap> FItemScratch;  // a normal item's picture, reused
    int FGlyphColumnWidth = 16;
    int FIconColumnWidth = 26;
    // The extra line of the popup being measured or built.
    std::string FExtraSection = "EXTRALINE";
    std::string FExtraCaption;
    std::unique_ptr<vcl::TBitmap> FExtraGlyph;
    bool FExtraVisible = true;
    bool FExtraQuerying = false;
    // What the top-line hooking replaced, given back when switched off:
    // handlers by the item's command, the menu's own owner drawing by its
    // root item's command.
    struct TSavedLine {
        vcl::TAdvancedMenuDrawItemEvent Draw;
        vcl::TMenuMeasureItemEvent Measure;
    };
    std::map<UINT, TSavedLine> FSavedLines;
    std::map<UINT, bool> FSavedOwnerDraw;

    bool SkinActive() const;
    void QueryExtraLine(vcl::TMenuItem *FirstItem);
    void SelectItemFont(vcl::TCanvas &Canvas, const vcl::TMenuItem *Item, bool WithBold);
    bool PopupHasBreaks(const vcl::TMenuItem *Item) const;
    void BuildBackground(vcl::TMenuItem *FirstItem, int Width, int Height, HWND Window, vcl::TPoint Origin);
    void FillUncovered(vcl::TCanvas &Canvas, const vcl::TMenuItem *Item, const vcl::TRect &ItemRect,
                       const TvlMenuBackground &Bg, HWND Window);
    void PaintDivider(vcl::TCanvas &Canvas, const vcl::TRect &ItemRect, const TvlMenuBackground &Bg);
    // Where a normal item's parts lie, computed once before it is painted:
    // its bitmap (the item less the extra line) and, in the bitmap, the
    // glyph, the text and the submenu arrow; ArrowArea in the item's canvas.
    struct TItemLayout {
        bool Rtl = false;
        int Extra = 0;          // the extra line's width beside the bitmap
        vcl::TPoint At{};       // the item's place in the background
        int Width = 0, Height = 0;
        int Left = 0;           // the bitmap's left in the item's canvas
        vcl::TSize Column{};    // the glyph column
        vcl::TRect Glyph{}, Text{}, Arrow{}, ArrowArea{};
    };
    // The item's state in the skin's terms.
    struct TItemLook {
        bool Enabled = false, Selected = false, PlainSelection = false;
        int State = 0, TextState = 0, Section = -1;
    };
    TItemLayout ItemLayout(const vcl::TMenuItem *Item, const vcl::TRect &ARect, const TvlMenuBackground &Bg, bool Rtl);
    TItemLook ItemLook(const vcl::TMenuItem *Item, vcl::TOwnerDrawState State) const;
    void PaintItemFace(vcl::TBitmap &Bmp, const TvlMenuBackground &Bg, const TItemLayout &L, const TItemLook &K);
    void PaintItemCheck(vcl::TBitmap &Bmp, const vcl::TMenuItem *Item, const TItemLayout &L, const TItemLook &K);
    void PaintMenuGlyph(vcl::TBitmap &Bmp, const vcl::TMenuItem *Item, const TItemLayout &L, const TItemLook &K,
                        bool Checked);
    void PaintSysCommand(vcl::TBitmap &Bmp, const vcl::TMenuItem *Item, const TItemLayout &L, const TItemLook &K);
    void PaintItemLabel(vcl::TCanvas &C, vcl::TMenuItem *Item, const TItemLayout &L, const TItemLook &K,
                        vcl::TOwnerDrawState State);
    void PaintSubmenuArrow(vcl::TCanvas &C, const TItemLayout &L, const TItemLook &K);
    void PaintCaptionItem(vcl::TCanvas &Canvas, const vcl::TRect &ItemRect, const TvlMenuBackground &Bg,
                          const vcl::TMenuItem *Item);
    void RefreshFrame(HWND Window, const vcl::TMenuItem *Item, const vcl::TRect &ItemRect,
                      const TvlMenuBackground &Bg);
};

// The factory the manager's menu slot serves from.
class TvlSkinableMenusMaker : public TvlSkinableMenusFactory {
public:
    std::unique_ptr<TvlSkinableMenus> CreateSkinableMenus(TsSkinManager &Manager) override;
};
TvlSkinableMenusMaker &SkinableMenusMaker();

} // namespace skin
