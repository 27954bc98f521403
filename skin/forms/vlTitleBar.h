#pragma once
// TsTitleBar: a row of extra items in the skinned caption of its form
// (buttons, drop-down menu buttons, tabs, spacers, information labels). It
// draws nothing itself: the form's provider (its TitleBar property) hands
// it the free part of the caption, hit-tests the items (2000 + index),
// routes the mouse to them and paints them. The title bar measures and
// arranges the items, runs their mouse logic and events and asks the form
// to repaint its caption (SC_CAPTION_CHANGED). Windows only.
#include <windows.h>

#include <memory>
#include <string>

#include "vcl/Collection.h"
#include "vcl/Component.h"
#include "vcl/ControlTypes.h"
#include "vcl/LifeMark.h"
#include "vcl/Persistent.h"
#include "vlSBAnimation.h"
#include "vlTitleBarLayout.h"

namespace vcl {
class TBitmap;
class TChangeLink;
class TCustomForm;
class TCustomImageList;
class TFont;
class THintWindow;
class TPopupMenu;
}

namespace skin {

class TsTitleBar;
class TvlTitleBarItem;

inline constexpr const char *TitleBarOwnerError = "TsTitleBar component may be used with forms only!";
// Colours of the built-in menu-button picture's caption.
inline constexpr std::uint32_t MenuBtnTextColor = 0xFFFFFF;
inline constexpr std::uint32_t MenuBtnGlowColor = 0x0E5A8D;

// The font and glow of one item's caption: the system caption font's parts
// unless the UseSys flags give them to Font.
class TvlFontData : public vcl::TPersistent {
    VCL_CLASS(TvlFontData, vcl::TPersistent)
public:
    TvlFontData();
    ~TvlFontData() override;
    void Assign(const vcl::TPersistent *Source) override;

    // Published. Setting them only stores the value: the caption shows it
    // at its next repaint.
    vcl::TFont *Font() const { return FFont.get(); }
    void SetFont(const vcl::TFont *Value);
    vcl::TColor GlowColor() const { return FGlowColor; }
    void SetGlowColor(vcl::TColor Value) { FGlowColor = Value; }
    int GlowSize() const { return FGlowSize; }
    void SetGlowSize(int Value) { FGlowSize = Value; }
    bool UseSysColor() const { return FUseSysColor; }
    void SetUseSysColor(bool Value) { FUseSysColor = Value; }
    bool UseSysFontName() const { return FUseSysFontName; }
    void SetUseSysFontName(bool Value) { FUseSysFontName = Value; }
    bool UseSysGlowing() const { return FUseSysGlowing; }
    void SetUseSysGlowing(bool Value) { FUseSysGlowing = Value; }
    bool UseSysSize() const { return FUseSysSize; }
    void SetUseSysSize(bool Value) { FUseSysSize = Value; }
    bool UseSysStyle() const { return FUseSysStyle; }
    void SetUseSysStyle(bool Value) { FUseSysStyle = Value; }

    // The font that measuring and painting use (UpdateFont makes it).
    vcl::TFont *WorkingFont() const { return FWorkingFont.get(); }

private:
    bool FUseSysSize = true;
    bool FUseSysStyle = true;
    bool FUseSysColor = true;
    bool FUseSysGlowing = true;
    bool FUseSysFontName = true;
    std::unique_ptr<vcl::TFont> FFont;
    int FGlowSize = 0;
    vcl::TColor FGlowColor = 0x808080;
    std::unique_ptr<vcl::TFont> FWorkingFont;
};

// The section that paints an item, resolved by the provider.
struct TvlItemSectionRecord {
    std::string Name;
    int Index = -1;
};

// Paints one item into the frame image at a rectangle (the provider's).
using TvlItemPaintEvent = vcl::TMethod<void(TvlTitleBarItem *Item, vcl::TBitmap *Target, vcl::TRect R)>;

// An item is the owner of its own fade (its picture, rectangle and windows).
class TvlTitleBarItem : public vcl::TCollectionItem, private TvlFadeOwner {
    VCL_CLASS(TvlTitleBarItem, vcl::TCollectionItem)
public:
    explicit TvlTitleBarItem(vcl::TCollection *Collection);
    ~TvlTitleBarItem() override;
    const vcl::TLifeMark &LifeMark() const { return FLife; }
    // Copies AutoSize, Align, Caption, Enabled, Glyph, GroupIndex, Hint,
    // ImageIndex, Name, NumGlyphs, Style, Visible and the mouse events.
    void Assign(const vcl::TPersistent *Source) override;
    std::string DisplayName() const override { return FName; }

    // Published.
    TvlItemAlign Align() const { return FAlign; }
    void SetAlign(TvlItemAlign Value);
    vcl::TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(vcl::TAlignment Value);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    const std::string &Caption() const { return FCaption; }
    void SetCaption(const std::string &Value);
    vcl::TPopupMenu *DropdownMenu() const { return FDropdownMenu; }
    // Watched by the title bar: the reference goes with the menu.
    void SetDropdownMenu(vcl::TPopupMenu *Value);
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    TvlFontData *FontData() const { return FFontData.get(); }
    void SetFontData(const TvlFontData *Value) { FFontData->Assign(Value); }
    vcl::TBitmap *Glyph() const { return FGlyph.get(); }
    void SetGlyph(const vcl::TBitmap *Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    const std::string &Hint() const { return FHint; }
    void SetHint(const std::string &Value);
    int DisabledImageIndex() const { return FDisabledImageIndex; }
    void SetDisabledImageIndex(int Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    int HotImageIndex() const { return FHotImageIndex; }
    void SetHotImageIndex(int Value);
    int PressedImageIndex() const { return FPressedImageIndex; }
    void SetPressedImageIndex(int Value);
    const std::string &Name() const { return FName; }
    void SetName(const std::string &Value);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int Value);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    const std::string &SkinSection() const { return FSkinSection; }
    void SetSkinSection(const std::string &Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    TvlBtnStyle Style() const { return FStyle; }
    void SetStyle(TvlBtnStyle Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    vcl::TNotifyEvent OnClick;
    vcl::TMouseEvent OnMouseDown;
    vcl::TMouseEvent OnMouseUp;
    vcl::TNotifyEvent OnMouseEnter;
    vcl::TNotifyEvent OnMouseLeave;

    TsTitleBar *TitleBar() const;
    // Every setter ends here: re-measures (Remeasure, AutoSize), drops the
    // fade's picture and layer, and asks the form to repaint its caption,
    // except while loading or updating.
    void Changed(bool Remeasure);
    // Width, Height and ContentSize from the image, caption and arrow;
    // KeepSize leaves Width and Height.
    void Measure(bool KeepSize);
    // The working font from the system caption font and FontData.
    void UpdateFont();
    void DoMouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y);
    void DoMouseUp(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y);
    void DoClick();
    // Pressed (2) while the menu is open or the item is Down.
    int GetState() const;
    // Stores 2 instead of Value while the menu is open.
    void SetState(int Value);
    // What the frame image shows: normal (as far as the item may be) while
    // a fade layer shows the item's other look over it.
    int FrameState() const;
    // The fade and its layer go, and the border window it lay over is forgotten.
    void FreeAnimation();
    TvlItemAnimation *Animation() const { return FAnimation; }
    // The item's hint at the cursor; HideHint frees it.
    void ShowHintWindow();
    void HideHint();

    // Run-time state, kept by the title bar and the provider.
    int State = 0;               // 0 normal, 1 hot, 2 pressed
    bool InClick = false;        // guards the mouse-down logic against re-entry
    bool MenuDropped = false;    // the drop-down menu is open
    vcl::TSize ContentSize{};    // image, caption and arrow
    vcl::TRect Rect{};           // in the provider's frame image
    std::unique_ptr<TvlItemSectionRecord> Section;  // made by the provider
    TvlItemPaintEvent PaintItem;                   // set by the provider
    vcl::TNotifyEvent SectionChanged;              // set by the provider
    std::unique_ptr<vcl::THintWindow> HintWindow;  // shown while hot

private:
    friend void StartItemAnimation(TvlTitleBarItem &Item, int Steps, bool FadeIn, HWND BorderWnd);
    HWND FadeWindow() const override;
    HWND FadeCaptionWindow() const override;
    vcl::TRect FadeButtonRect(int Code) const override;
    std::unique_ptr<vcl::TBitmap> FadePicture(int Code, int State) override;
    void FadeGone(int Code, TvlSBAnimation *Animation) override;

    // Its own handlers (and a menu item's click inside its drop-down) may
    // free the item or its whole title bar.
    vcl::TLifeMark FLife;
    TvlItemAnimation *FAnimation = nullptr;  // owned by the form as a component
    HWND FFadeBorder = nullptr;              // the border window the fade lies over, if any
    std::unique_ptr<vcl::TBitmap> FGlyph;
    bool FEnabled = true;
    bool FVisible = true;
    bool FAutoSize = true;
    bool FShowHint = false;
    std::string FHint;
    std::string FCaption;
    int FWidth = 22;
    int FHeight = 18;
    int FSpacing = 4;
    int FNumGlyphs = 1;
    int FImageIndex = -1;
    int FGroupIndex = 0;
    std::string FName;
    TvlBtnStyle FStyle = bsButton;
    TvlItemAlign FAlign = tbaLeft;
    std::unique_ptr<TvlFontData> FFontData;
    vcl::TPopupMenu *FDropdownMenu = nullptr;  // not owned: a component of the form
    vcl::TAlignment FAlignment = vcl::taLeftJustify;
    int FHotImageIndex = -1;
    int FPressedImageIndex = -1;
    int FDisabledImageIndex = -1;
    std::string FSkinSection;
    bool FDown = false;
};

class TvlTitleItems : public vcl::TCollection {
    VCL_CLASS(TvlTitleItems, vcl::TCollection)
public:
    explicit TvlTitleItems(TsTitleBar *TitleBar);
    TvlTitleBarItem *Items(int Index) const;  // raises EListError out of range
    TvlTitleBarItem *Add();
    TsTitleBar *TitleBar() const { return FTitleBar; }

private:
    TsTitleBar *FTitleBar;  // not owned: the owner
};

class TsTitleBar : public vcl::TComponent {
    VCL_CLASS(TsTitleBar, vcl::TComponent)
public:
    // Raises EAbort (TitleBarOwnerError) unless AOwner is a form.
    explicit TsTitleBar(vcl::TComponent *AOwner);
    ~TsTitleBar() override;
    void Loaded() override;

    // Published.
    vcl::TCustomImageList *Images() const { return FImages; }
    void SetImages(vcl::TCustomImageList *Value);
    TvlTitleItems *Items() const { return FItems.get(); }
    void SetItems(const TvlTitleItems *Value);
    int ItemsMargin() const { return FItemsMargin; }
    void SetItemsMargin(int Value) { FItemsMargin = Value; }
    // Stored only: it takes no part in measuring, layout or painting.
    int ItemsSpacing() const { return FItemsSpacing; }
    void SetItemsSpacing(int Value) { FItemsSpacing = Value; }
    // The provider draws the form's own caption text only when set.
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool Value);

    vcl::TCustomForm *Form() const { return FForm; }
    // Places the visible items in the caption area.
    void Arrange();
    // SC_CAPTION_CHANGED (LParam 1) to the form, unless it is loading.
    void RepaintCaption();
    bool FormLoading() const;

    // The caption area handed over by the provider.
    TvlTitleArea Area{};
    TvlGroupWidths Widths{};  // of the last arrangement
    bool Updating = false;    // a tab group is being switched: no repaints
    // The drop-down menu-button picture: three frames (normal, hot,
    // pressed) side by side, premultiplied, 0x00FF00FF transparent.
    std::unique_ptr<vcl::TBitmap> MenuBtnBitmap;

protected:
    void Notification(vcl::TComponent *AComponent, vcl::TOperation Operation) override;

private:
    void ImagesChange(vcl::TObject *Sender);
    void RemeasureAutoSized();

    int FItemsMargin = 3;
    int FItemsSpacing = 0;
    vcl::TCustomForm *FForm = nullptr;  // not owned: the owner
    std::unique_ptr<TvlTitleItems> FItems;
    bool FShowCaption = false;
    vcl::TCustomImageList *FImages = nullptr;  // not owned; cleared when it goes
    std::unique_ptr<vcl::TChangeLink> FChangeLink;
};

// The item's fade toward its state (in when FadeIn, else out to normal) over
// Steps steps, measured on BorderWnd when the form has a border window.
void StartItemAnimation(TvlTitleBarItem &Item, int Steps, bool FadeIn, HWND BorderWnd);

// The system caption font as a new font object, and the pixel extent of a
// text in a font (through the screen's DC; 0 x 0 when that fails).
std::unique_ptr<vcl::TFont> SystemCaptionFont();
vcl::TSize FontTextExtent(const vcl::TFont &Font, const std::string &Text);

// The built-in picture "MENUBTN" of the module, made ready to paint
// (32-bit, alpha inverted, premultiplied but for 0x00FF00FF); null when the
// module has none.
std::unique_ptr<vcl::TBitmap> LoadMenuBtnPicture();

// The form's registration of the title bar's classes for form descriptions.
void RegisterTitleBarClasses();

} // namespace skin
