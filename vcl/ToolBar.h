#pragma once
// A tool bar: a superclass of the system's tool-bar window whose buttons
// are TToolButton components (plain, check, drop-down or separator, with an
// image of the bar's image list and a caption shown when ShowCaptions is
// set, under the image or beside it with List). The bar and each button
// can be drawn by the program through OnCustomDraw and OnCustomDrawButton
// (the system's custom-draw notices); a drop-down button's arrow calls the
// button's OnDropDown. The bar grows to hold its buttons when they stand
// taller than it.
#include <memory>
#include <string>
#include <vector>

#include "Canvas.h"
#include "Controls.h"

namespace vcl {

class TCustomImageList;
class TToolBar;

VCL_ENUM(TToolButtonStyle, tbsButton, tbsCheck, tbsDropDown, tbsSeparator)

class TToolButton : public TComponent {
    VCL_CLASS(TToolButton, TComponent)
public:
    explicit TToolButton(TComponent *AOwner);
    ~TToolButton() override;

    TToolBar *ToolBar() const { return FToolBar; }
    // The button joins the end of Value's buttons (or leaves its bar).
    void SetToolBar(TToolBar *Value);
    std::string Caption() const { return FCaption; }
    void SetCaption(const std::string &Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TToolButtonStyle Style() const { return FStyle; }
    void SetStyle(TToolButtonStyle Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Down() const;
    void SetDown(bool Value);
    // The command id the bar's window knows the button by.
    int Command() const { return FCommand; }
    int Index() const;
    // The button's rectangle in the bar's client area.
    TRect BoundsRect() const;

    TNotifyEvent OnClick;
    TNotifyEvent OnDropDown;

private:
    friend class TToolBar;
    TToolBar *FToolBar = nullptr;  // not owned
    std::string FCaption;
    int FImageIndex = -1;
    TToolButtonStyle FStyle = tbsButton;
    bool FEnabled = true;
    bool FDown = false;
    int FCommand = 0;
};

// The custom-draw stages a handler is called in.
enum TCustomDrawStage { cdPrePaint, cdPostPaint, cdPreErase, cdPostErase };
// States of a button as the custom-draw notice gives them.
enum TCustomDrawStateItem { cdsSelected, cdsGrayed, cdsDisabled, cdsChecked, cdsFocused, cdsDefault, cdsHot, cdsMarked, cdsIndeterminate };
using TCustomDrawState = TSet<TCustomDrawStateItem>;

using TTBCustomDrawEvent = TMethod<void(TToolBar *Sender, const TRect &ARect, TCustomDrawStage Stage, bool &DefaultDraw)>;
using TTBCustomDrawBtnEvent =
    TMethod<void(TToolBar *Sender, TToolButton *Button, TCustomDrawState State, TCustomDrawStage Stage, bool &DefaultDraw)>;

class TToolBar : public TWinControl {
    VCL_CLASS(TToolBar, TWinControl)
public:
    explicit TToolBar(TComponent *AOwner);
    ~TToolBar() override;

    int ButtonCount() const { return static_cast<int>(FButtons.size()); }
    TToolButton *Buttons(int Index) const;
    // The button of a command id; null when none.
    TToolButton *ButtonOfCommand(int Command) const;
    TCustomImageList *Images() const { return FImages; }
    void SetImages(TCustomImageList *Value);
    bool ShowCaptions() const { return FShowCaptions; }
    void SetShowCaptions(bool Value);
    // Captions beside the images rather than under them.
    bool List() const { return FList; }
    void SetList(bool Value);
    TCanvas *Canvas() const { return FCanvas.get(); }

    TTBCustomDrawEvent OnCustomDraw;
    TTBCustomDrawBtnEvent OnCustomDrawButton;

    // The window's buttons made again from the components.
    void RebuildButtons();

protected:
    void CreateParams(TCreateParams &Params) override;
    void InitializeWnd() override;
    void WndProc(TMessage &Message) override;
    void Notification(TComponent *AComponent, TOperation Operation) override;

private:
    friend class TToolButton;
    void InsertButton(TToolButton *Button);
    void RemoveButton(TToolButton *Button);
    void UpdateButton(TToolButton *Button);
    // The height grown to hold the buttons when they stand taller.
    void FitHeightToButtons();
    void CustomDraw(TMessage &Message);
    void Notify(TMessage &Message);

    std::vector<TToolButton *> FButtons;  // not owned
    std::unique_ptr<TCanvas> FCanvas;
    TCustomImageList *FImages = nullptr;  // not owned; watched
    int FNextCommand = 1;
    bool FShowCaptions = false;
    bool FList = false;
};

} // namespace vcl
