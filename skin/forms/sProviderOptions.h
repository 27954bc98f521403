#pragma once
// The option objects of the form provider that form descriptions carry as
// its published properties: the added caption text (AddedTitle), the
// caption-area header (FormHeader), the caption icon (TitleIcon), the
// user's title buttons (TitleButtons), the extra submenu of the skinned
// system menu (SysSubMenu); and the unit's list of glued forms with the
// snapping arithmetic. Every setter that changes what the caption shows
// asks the provider to repaint its frame, never while it is loading.
// Windows only.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "vcl/Collection.h"
#include "vcl/ControlTypes.h"
#include "vcl/Persistent.h"
#include "vcl/TypInfo.h"
#include "vcl/Types.h"

namespace vcl {
class TBitmap;
class TComponent;
class TCustomForm;
class TFont;
class THintWindow;
class TPopupMenu;
}

namespace skin {

class TsSkinProvider;

// The state of one caption button: the provider's seven system buttons and
// each user title button have one.
class TvlSBAnimation;

struct TsCaptionButton {
    int State = 0;          // 0 normal, 1 hot, 2 pressed; -1: never painted
    int GlowID = -1;        // the glow shown while hot (the glow service's id), -1 none
    int ImageIndex = -1;    // in the manager's image table; negative: not drawn
    vcl::TRect Rect{};      // in the frame image's coordinates
    int HitCode = 0;        // what WM_NCHITTEST answers over it
    bool HaveAlignment = false;  // may stand at the skin's fixed top ("BIVALIGN" 1)
    TvlSBAnimation *Timer = nullptr;  // its fade; not owned: the provider owns it
};

// A second caption text after the form's own.
class TvlAddedTitle : public vcl::TPersistent {
    VCL_CLASS(TvlAddedTitle, vcl::TPersistent)
public:
    explicit TvlAddedTitle(TsSkinProvider *Provider);
    ~TvlAddedTitle() override;

    // Published.
    bool ShowMainCaption() const { return FShowMainCaption; }
    void SetShowMainCaption(bool Value);
    // Colour clNone (or clWindowText): the caption section's colour.
    vcl::TFont *Font() const { return FFont.get(); }
    void SetFont(const vcl::TFont *Value);
    const std::string &Text() const { return FText; }
    void SetText(const std::string &Value);

    TsSkinProvider *Provider() const { return FProvider; }

private:
    void Changed();

    bool FShowMainCaption = true;
    std::unique_ptr<vcl::TFont> FFont;
    std::string FText;
    TsSkinProvider *FProvider;  // not owned: the provider owns this object
};

// Extra height of the caption area, drawn with the skin's "FORMHEADER".
class TvlFormHeader : public vcl::TPersistent {
    VCL_CLASS(TvlFormHeader, vcl::TPersistent)
public:
    explicit TvlFormHeader(TsSkinProvider *Provider) : FProvider(Provider) {}

    // Published; a change repaints the form unless the provider is loading.
    int AdditionalHeight() const { return FAdditionalHeight; }
    void SetAdditionalHeight(int Value);

    // The header shows: AdditionalHeight of at least 1 and the skin has
    // "FORMHEADER".
    bool Present() const;
    // It looks different by activation: "FORMHEADER" has 2 states or more.
    bool StateDependent() const;

private:
    TsSkinProvider *FProvider;  // not owned
    int FAdditionalHeight = 0;
};

// A caption icon of the form's own; Width and Height 0: from the caption.
class TsTitleIcon : public vcl::TPersistent {
    VCL_CLASS(TsTitleIcon, vcl::TPersistent)
public:
    explicit TsTitleIcon(TsSkinProvider *Provider);
    ~TsTitleIcon() override;

    // Published.
    int Height() const { return FHeight; }
    void SetHeight(int Value) { FHeight = Value; }
    int Width() const { return FWidth; }
    void SetWidth(int Value) { FWidth = Value; }
    vcl::TBitmap *Glyph() const { return FGlyph.get(); }
    void SetGlyph(const vcl::TBitmap *Value);
    bool Visible() const { return FVisible; }
    // Repaints the frame when changed, unless the provider is loading.
    void SetVisible(bool Value);

private:
    int FHeight = 0;
    int FWidth = 0;
    TsSkinProvider *FProvider;  // not owned
    std::unique_ptr<vcl::TBitmap> FGlyph;
    bool FVisible = true;
};

// One user button in the caption (hit code 1000 + its index).
class TsTitleButton : public vcl::TCollectionItem {
    VCL_CLASS(TsTitleButton, vcl::TCollectionItem)
public:
    // Named "TsTitleButton" (names are not made unique).
    explicit TsTitleButton(vcl::TCollection *Collection);
    // Its fade goes with it.
    ~TsTitleButton() override;

    // Copies everything published but Visible.
    void Assign(const vcl::TPersistent *Source) override;
    std::string DisplayName() const override { return FName; }

    // Published.
    vcl::TMouseEvent OnMouseUp;
    vcl::TMouseEvent OnMouseDown;
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }
    bool Visible() const { return FVisible; }
    // Repaints the frame when changed; hiding drops the button's fade.
    void SetVisible(bool Value);
    // Draw the skin's "TITLEBUTTON" behind the glyph.
    bool UseSkinData() const { return FUseSkinData; }
    void SetUseSkinData(bool Value) { FUseSkinData = Value; }
    const std::string &Name() const { return FName; }
    void SetName(const std::string &Value);
    vcl::TBitmap *Glyph() const { return FGlyph.get(); }
    // A changed glyph drops the button's fade: the next hover pictures it anew.
    void SetGlyph(const vcl::TBitmap *Value);
    const std::string &Hint() const { return FHint; }
    void SetHint(const std::string &Value) { FHint = Value; }

    // The provider calls these when the button is pressed and released.
    void DoMouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y);
    void DoMouseUp(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y);
    // The provider whose caption shows the button; null outside one.
    TsSkinProvider *Provider() const;

    // The button's state, kept by the title-button layer.
    TsCaptionButton Data;
    // The hint shown while it is hot (owned); null when none shows.
    std::unique_ptr<vcl::THintWindow> HintWindow;

private:
    // The fade goes with the button, or when it would show a look the
    // button no longer has: it points at Data.
    void FreeFade();
    void GlyphChanged(vcl::TObject *Sender);

    bool FEnabled = true;
    bool FVisible = true;
    bool FUseSkinData = true;
    std::string FName;
    std::unique_ptr<vcl::TBitmap> FGlyph;
    std::string FHint;
};

// The user's title buttons; the provider is their owner.
class TsTitleButtons : public vcl::TCollection {
    VCL_CLASS(TsTitleButtons, vcl::TCollection)
public:
    explicit TsTitleButtons(TsSkinProvider *Provider);
    ~TsTitleButtons() override;

    TsTitleButton *Items(int Index) const;  // raises EListError out of range
    TsSkinProvider *Provider() const { return FProvider; }

private:
    TsSkinProvider *FProvider;  // not owned; cleared before the buttons go
};

VCL_ENUM(TvlMenuItemPos, ipTop, ipBottom, ipBeforeClose)

// An extra submenu of the skinned system menu: the items of PopupMenu
// under Caption, at Position.
class TvlSysSubMenu : public vcl::TPersistent {
    VCL_CLASS(TvlSysSubMenu, vcl::TPersistent)
public:
    explicit TvlSysSubMenu(TsSkinProvider *Provider) : FProvider(Provider) {}

    // Published.
    const std::string &Caption() const { return FCaption; }
    void SetCaption(const std::string &Value) { FCaption = Value; }
    TvlMenuItemPos Position() const { return FPosition; }
    void SetPosition(TvlMenuItemPos Value) { FPosition = Value; }
    vcl::TPopupMenu *PopupMenu() const { return FPopupMenu; }
    // Watched by the provider: the reference goes with the menu.
    void SetPopupMenu(vcl::TPopupMenu *Value);

    // The provider heard that Component goes.
    void ComponentRemoved(const vcl::TComponent *Component);

private:
    TsSkinProvider *FProvider;  // not owned
    std::string FCaption;
    TvlMenuItemPos FPosition = ipBeforeClose;
    vcl::TPopupMenu *FPopupMenu = nullptr;  // not owned: a component of the form
};

// ------------------------------------------------------------ glued forms

// A form that follows a master form's moves, at the offset it had when it
// was glued.
struct TvlGluedPair {
    vcl::TCustomForm *Glued = nullptr;   // not owned
    vcl::TCustomForm *Master = nullptr;  // not owned
    int OffsetX = 0;  // glued Left - master Left when glued
    int OffsetY = 0;
};

// The unit's list, shared by all providers (in the module's state).
const std::vector<TvlGluedPair> &GluedPairs();
// Enters the pair, or updates the offsets of the pair already entered.
void GlueForm(vcl::TCustomForm *Glued, vcl::TCustomForm *Master, int OffsetX, int OffsetY);
// Takes out the entries in which Form is the glued form.
void UngluePairsOf(vcl::TCustomForm *Form);
// A form that goes leaves the list on both sides, as glued form and as
// master (the last entry takes the place of one taken out).
void RemoveGluedForm(vcl::TCustomForm *Form);

// Value - Edge when Value lies within Edge +- Distance (both ends
// included); 0 otherwise.
int SnapOffset(int Value, int Edge, int Distance);

} // namespace skin
