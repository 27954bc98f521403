#pragma once
// The combo-box adapters. TvlComboBoxWnd (the "ComboBox" kind and bare
// "ComboBox" windows) paints the frame and the drop button from the skin
// and draws the selected item; TvlComboListWnd skins the list that drops
// down (or stands under a simple combo box) with a bordered background and
// the skinned bars; TvlWWComboBoxWnd is the combo adapter of the "wwEdit"
// kind, with a button of its own size and no list adapter. Windows only.
#include <windows.h>

#include <memory>
#include <string>

#include "vcl/GdiObjects.h"
#include "vlEditWnd.h"

namespace skin {

class TvlComboListWnd;

// True between the drop-down and the close-up of any skinned combo box.
bool ComboDroppedDown();

// The text of a combo box item (CB_GETLBTEXTLEN, then a buffer of that
// size); empty for CB_ERR.
std::wstring ComboItemText(HWND Combo, int Index);

class TvlComboBoxWnd : public TvlEditWnd {
public:
    ~TvlComboBoxWnd() override;
    void SetDefaultSection() override;
    bool OwnMessage(vcl::TMessage &Message) override;
    // The drop button in window coordinates (width 0 for a simple combo).
    virtual vcl::TRect GetButtonRect();
    // The button into DC (the window's when null).
    void PaintComboButton(HDC DC);
    // The state the button is painted in: 2 dropped, 1 active or hot, 0.
    int ButtonState();

    HWND ListWnd = nullptr;
    bool InCtlColor = false;
    std::unique_ptr<TvlComboListWnd> ListAdapter;
    // A second skin record, made with the default section and freed with
    // the adapter; nothing paints from it.
    std::unique_ptr<TsCommonData> AuxSkinData;

protected:
    // The drop-down list gets an adapter of its own.
    virtual bool SkinsList() const { return true; }
    void CreateListAdapter(HWND List);
    void RemoveListAdapter();
    LRESULT ListColor(vcl::TMessage &Message);
    void PaintFrame(HDC DC);
    // A simple combo box's field framed from the section into the cache;
    // answers the field's height, -1 when the parent's answer freed the adapter.
    int BuildSimpleFrame();
    void DrawComboItem(const DRAWITEMSTRUCT &Draw);
    void Print(vcl::TMessage &Message);
    // The field of a hidden drop-down list, which the system paints only
    // while the combo shows, where and as it paints it then.
    void PrintHiddenField(HDC DC);
    // The combo and its edit field are one control for the focus.
    bool EditHasFocus(const vcl::TMessage &Message) const;
    // A click into the edit field gives it the focus without the combo's
    // hearing of it, and the class library does not follow the focus into
    // it: the edit's own focus notices tell the combo.
    bool EditFocusNotice(vcl::TMessage &Message);
    void FocusGained(vcl::TMessage &Message);
    void FocusLost(vcl::TMessage &Message);
    void HoverChanged(vcl::TMessage &Message);
    // The combo last painted itself under the mouse: the message order has
    // set the record's MouseInside before the combo hears of the entry, so
    // the first entry is told by this flag.
    bool FHoverPainted = false;
    // The edit field's text left unselected (a drop-down combo only).
    void DeselectEditText();
    // A change of text or selection painted once, skinned, when it is done.
    void QuietChange(vcl::TMessage &Message);
    // The skin's removal (the list given back) and the hover change (the
    // button repainted) after the common answer and the previous procedure.
    bool AfterCommonAnswer(vcl::TMessage &Message) override;
    void AfterCommonCommand(const vcl::TMessage &Message);

private:
    vcl::TBrushHandle FListBrush;
    vcl::TColor FListBrushColor = vcl::clNone;
};

class TvlComboListWnd : public TvlEditWnd {
public:
    ~TvlComboListWnd() override;
    void SetDefaultSection() override;
    void ApplySkinColors() override;
    bool OwnMessage(vcl::TMessage &Message) override;
    bool KeepsVisualStyle(bool Repaint) const override { return !Repaint; }
    // A dropped list counts as tracking: it holds the capture.
    bool KeepsCapture() const override;
    // A dropped list that is not tracking keeps the release to itself; a
    // simple combo's list is no drop-down and always passes it on.
    bool PassesRelease() const override { return SimpleList || Tracking; }

    bool Tracking = false;
    bool SimpleList = false;

private:
    // The build asks the combo box (a simple list's) or the parent (for the
    // border), whose answer may free this adapter: false then.
    [[nodiscard]] bool PrepareCache();
    // The border strips as wide as the frame around the client: a simple
    // list's client edge is two pixels, a dropped list's border one.
    int BorderStripWidth() const;
};

// The list adapter of a combo box's list window.
std::unique_ptr<TvlComboListWnd> CreateComboListAdapter(HWND List, bool Simple, bool Repaint,
                                                        const std::string &Section, TsSkinManager *Manager);

class TvlWWComboBoxWnd : public TvlComboBoxWnd {
public:
    void SetDefaultSection() override;
    bool OwnMessage(vcl::TMessage &Message) override;
    vcl::TRect GetButtonRect() override;

    bool HasButton = false;

protected:
    bool SkinsList() const override { return false; }
};

} // namespace skin
