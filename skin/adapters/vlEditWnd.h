#pragma once
// TvlEditWnd: the adapter of edit-like controls (edits, memos, list boxes,
// the list of a combo box, and the classes named in the "Edit" list). It
// paints the control's frame and scroll bars from the skin, gives the
// control the skin's background and font colours through its published
// properties, and gives it its own colours back when the skin goes. The
// list, tree and combo adapters build on it. Windows only.
#include <windows.h>

#include <memory>

#include "vlScrollWnd.h"

namespace skin {

class TvlEditWnd : public TvlBaseWnd {
public:
    // Gives the window back with the control's own colours.
    ~TvlEditWnd() override;
    // "EDIT" for its own skin data ("TRANSPARENT" for an owner that
    // publishes "PanelBorder"); the single-line flag.
    void SetDefaultSection() override;
    void SaveControlColors() override;
    void RestoreControlColors() override;
    void ApplySkinColors() override;
    bool OwnMessage(vcl::TMessage &Message) override;

    vcl::TColor BorderColor = 0;       // the skin's border colour, for windows without a control
    bool SingleLineEdit = false;       // a class-library edit without ES_MULTILINE
    bool ChildrenChanged = false;      // a child window was made since the form was told
    vcl::TColor AppliedColor = vcl::clNone;  // the background the control last got
    vcl::TColor SavedFocusColor = 0;   // the control's own "FocusColor"
    vcl::TColor SavedColor = 0;        // the control's own Color and Font.Color
    vcl::TColor SavedFontColor = 0;
    bool ColorsSaved = false;

protected:
    // The edit family's rule: not while a TvlKeepThemeScope is on (a
    // dialog's children), nor for the kinds that keep their style
    // (KeepsVisualStyle) nor a "DIALOG" section; with shared skin data
    // unless it is a list view's on a platform of version 6 or later, and
    // only for an owner control that does not publish "UseXPThemes"; with
    // its own, on platforms before version 6 or for a "COMBOBOX" section.
    bool SwitchesVisualStylesOff(const TsCommonData *Shared, const TvlSkinParams &Params, bool Repaint) const override;
    // The grids, the virtual tree and a combo box's list made without a
    // frame calculation keep their visual style whatever the skin data.
    virtual bool KeepsVisualStyle(bool Repaint) const {
        (void)Repaint;
        return false;
    }
    // The skin-command table; true when the command was answered whole.
    virtual bool EditSkinCommand(vcl::TMessage &Message);
    // ApplySkinColors unless it ran since the last change; false when the
    // control's answer to its new colours freed the adapter.
    bool ApplyColorsOnce();
    // The frame ring of Width pixels from the skin data's cache into DC
    // (window coordinates).
    void CopyBorderStrips(HDC DC, int Width);
    // The control has a parent form and it and every parent up to it are
    // visible and enabled, and it is a tab stop.
    bool PassesFocusTest() const;
    // The skin shows the control otherwise while it is active: its border
    // mask has more than one state image, or its section more than one
    // state (a section without a mask counts too).
    bool LooksDifferentWhileActive() const;
    void NcPaint(vcl::TMessage &Message);
    void Print(vcl::TMessage &Message);
    // The client part of a print into DC, whose origin lies Offset from
    // the client area's: the skinned background, then the control's own
    // painting.
    void PrintClient(HDC DC, vcl::TPoint Offset);
    bool Paint(vcl::TMessage &Message);
    bool EraseBackground(vcl::TMessage &Message);
    bool FocusChange(vcl::TMessage &Message);
    // The parent class's own stage, the previous procedure and the repaints
    // that follow them: true when the message was handled whole.
    bool AfterFirstStage(vcl::TMessage &Message);
};

// Keeps an edit adapter for the window of the skin data's control: while
// the skin data is skinned, one that gave its window up is freed and a
// missing one made (default parameters, the skin data's manager, the skin
// data shared); any adapter is freed when it is not skinned.
void UpdateEditAdapter(TsCommonData &SkinData, std::unique_ptr<TvlEditWnd> &Adapter);

} // namespace skin
