#pragma once
// Forms and the screen (the application object is in Application.h).
//
// A form is a top-level window with controls on it, read from its form
// description when its class has one. The application object owns the
// forms, runs the message loop and keeps a hidden window of its own (class
// "TApplication") that owns the forms' windows and that others may hook. The
// screen object lists the forms and knows the display.
//
// Life of a program: Application->Initialize(); Application->CreateForm(...)
// for each form (the first becomes the main form); Application->Run() shows
// the main form and pumps messages until the main form is closed. At the end
// of the program the forms are destroyed, the last created first. All of it
// belongs to the thread that created the application (AppContext.h).
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "Application.h"
#include "ControlCanvas.h"

namespace vcl {

class TIcon;
class TMainMenu;
class TMenuItem;

VCL_ENUM(TBorderIcon, biSystemMenu, biMinimize, biMaximize, biHelp)
using TBorderIcons = TSet<TBorderIcon>;
// Where a form appears: poDesigned where its description puts it; poDefault
// where and as large as the system chooses (poDefaultPosOnly: only where;
// poDefaultSizeOnly: only how large); centred on the primary screen
// (poScreenCenter), the whole desktop (poDesktopCenter), the main form
// (poMainFormCenter) or the form that owns it (poOwnerFormCenter).
VCL_ENUM(TPosition, poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
         poMainFormCenter, poOwnerFormCenter)
VCL_ENUM(TFormStyle, fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop)
VCL_ENUM(TWindowState, wsNormal, wsMinimized, wsMaximized)
enum TCloseAction { caNone, caHide, caFree, caMinimize };
// What a form is doing: being constructed (its description read, OnCreate
// run), or being shown (OnShow and the window's first appearance).
enum TFormStateItem { fsCreating, fsShowing };
using TFormState = TSet<TFormStateItem>;

// Limits of a form's size; 0 is none. Kept, not enforced.
class TSizeConstraints : public TPersistent {
    VCL_CLASS(TSizeConstraints, TPersistent)
public:
    int MaxHeight = 0;
    int MaxWidth = 0;
    int MinHeight = 0;
    int MinWidth = 0;
};

using TCloseEvent = TMethod<void(TObject *Sender, TCloseAction &Action)>;
using TCloseQueryEvent = TMethod<void(TObject *Sender, bool &CanClose)>;

// Selects the constructor of a form that reads no description.
struct TCreateNew {};
inline constexpr TCreateNew CreateNew{};

class TCustomForm : public TWinControl, public TFormHost {
    VCL_CLASS(TCustomForm, TWinControl)
public:
    // A form whose class has a description reads it once it is constructed
    // (AfterConstruction); OnCreate follows.
    explicit TCustomForm(TComponent *AOwner);
    TCustomForm(TComponent *AOwner, TCreateNew);
    ~TCustomForm() override;
    void AfterConstruction() override;

    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons Value);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition Value) { FPosition = Value; }
    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle Value);
    TWindowState WindowState() const;
    void SetWindowState(TWindowState Value);
    // The resolution the description was made for; kept, not scaled to.
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int Value) { FPixelsPerInch = Value; }
    // The whole window drawn with the opacity AlphaBlendValue (255 opaque).
    bool AlphaBlend() const { return FAlphaBlend; }
    void SetAlphaBlend(bool Value);
    std::uint8_t AlphaBlendValue() const { return FAlphaBlendValue; }
    void SetAlphaBlendValue(std::uint8_t Value);

    TFormState FormState() const { return FFormState; }
    // The form's own icon; empty: the program's (owned).
    TIcon *Icon() const { return FIcon.get(); }
    TSizeConstraints *Constraints() const { return FConstraints.get(); }
    // Multiple-document forms. An MDI parent (fsMDIForm) makes its client
    // window ("MDICLIENT") with its own window; MDI children (fsMDIChild)
    // live in the client window of the application's MDI parent (its main
    // form, else the first MDI parent made). The style is taken before the
    // window exists; a change to or from an MDI style afterwards raises.
    // ClientHandle is null for any other form.
    HWND ClientHandle() const { return FClientHandle; }
    int MDIChildCount() const;
    // In the client window's order (top first); raises EListError out of range.
    TCustomForm *MDIChildren(int Index) const;
    // The child the client window has active; null when none.
    TCustomForm *ActiveMDIChild() const;

    // The control that has, or gets when the form is activated, the focus.
    TWinControl *ActiveControl() const override { return FActiveControl; }
    void SetActiveControl(TWinControl *Control) override;
    // Called by a control of this form that received the focus.
    void SetFocusedControl(TWinControl *Control) override;
    // Called for a control that leaves the form: the form keeps no pointer
    // into it.
    void ForgetControl(const TWinControl *Control) override;
    bool Active() const { return FActive; }

    void SetVisible(bool Value) override;
    // Shows the form and brings it to the front.
    void Show();
    // Asks OnCloseQuery, then OnClose, then does what OnClose decided.
    // Closing the main form ends the application's message loop.
    void Close();
    bool CloseQuery();
    // Shows the form, disables the program's other windows and pumps
    // messages until ModalResult is set; answers ModalResult.
    TModalResult ShowModal();
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) override;
    bool Modal() const { return FModal; }
    // Destroys the form once the messages now waiting for it are handled.
    void Release();

    TCanvas *Canvas() const { return FCanvas.get(); }
    TRect ClientRect() const override;
    // The menu bar; watched (the bar goes with the menu). An MDI child's
    // menu shows merged into its parent's bar while the child is active.
    TMainMenu *Menu() const { return FMenu; }
    void SetMenu(TMainMenu *Value);
    // An MDI parent's item of its bar (or of the merged one) whose popup
    // lists the children after its own items; watched.
    TMenuItem *WindowMenu() const { return FWindowMenu; }
    void SetWindowMenu(TMenuItem *Value);

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnPaint;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

protected:
    void CreateParams(TCreateParams &Params) override;
    void InitializeWnd() override;
    bool IsTopLevel() const override { return Parent() == nullptr; }
    void Dispatch(TMessage &Message) override;
    bool PaintsItself() const override { return true; }
    void PaintWindow(HDC DC) override;
    void SetClientSize(int AWidth, int AHeight) override;
    void Loaded() override;
    // MDI forms pass what they leave to the frame's or the child's default.
    void DefaultHandler(TMessage &Message) override;
    void DestroyWnd() override;
    void BeforeDestruction() override;
    void Notification(TComponent *AComponent, TOperation Operation) override;

    virtual void DoCreate();
    virtual void DoDestroy();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction &Action);
    virtual void Paint();
    // Reads the description of the form's class into the form; false when
    // the class has none.
    virtual bool ReadDescription();

private:
    friend class TApplication;

    void Init();
    void CMShowingChanged(TMessage &Message);
    void CMDialogKey(TMessage &Message);
    void CMRelease(TMessage &Message);
    void WMActivate(TMessage &Message);
    void WMClose(TMessage &Message);
    void WMSysCommand(TMessage &Message);
    void WMMDIActivate(TMessage &Message);
    // An MDI child's menu into its parent's bar (On) or out of it.
    void MergeMenu(bool On);
    // An MDI parent's client window takes the bar and the window menu's popup.
    void RefreshMDIMenu();
    void PlaceOnShow();
    void FocusFirstControl();
    void CloseModal();
    TRect FrameSizes() const;
    void ApplyAlphaBlend();

    TFormBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
    TPosition FPosition = poDesigned;
    TFormStyle FFormStyle = fsNormal;
    TWindowState FWindowState = wsNormal;
    int FPixelsPerInch = 96;
    std::uint8_t FAlphaBlendValue = 255;
    bool FAlphaBlend = false;
    TWinControl *FActiveControl = nullptr;   // not owned
    TWinControl *FFocusedControl = nullptr;  // not owned; the last that had the focus
    TModalResult FModalResult = mrNone;
    std::unique_ptr<TCanvas> FCanvas;
    std::unique_ptr<TIcon> FIcon;
    std::unique_ptr<TSizeConstraints> FConstraints;
    TFormState FFormState{fsCreating};
    int FClientWidthRead = -1;   // ClientWidth / ClientHeight read from the
    int FClientHeightRead = -1;  // description, applied once the frame is known
    bool FReadsDescription = true;
    bool FVisibleRead = false;
    bool FModal = false;
    bool FActive = false;
    HWND FClientHandle = nullptr;  // an MDI parent's client window, owned
    TMainMenu *FMenu = nullptr;  // not owned; cleared when it goes
    TMenuItem *FWindowMenu = nullptr;  // not owned; cleared when it goes
};

class TForm : public TCustomForm {
    VCL_CLASS(TForm, TCustomForm)
public:
    explicit TForm(TComponent *AOwner) : TCustomForm(AOwner) {}
    TForm(TComponent *AOwner, TCreateNew) : TCustomForm(AOwner, CreateNew) {}
};

class TScreen : public TComponent {
    VCL_CLASS(TScreen, TComponent)
public:
    explicit TScreen(TComponent *AOwner) : TComponent(AOwner) {}

    // The forms that exist, in the order they were created.
    int FormCount() const { return static_cast<int>(FForms.size()); }
    TCustomForm *Forms(int Index) const;
    TCustomForm *ActiveForm() const { return FActiveForm; }
    int Width() const;
    int Height() const;
    int DesktopWidth() const;
    int DesktopHeight() const;
    TRect DesktopRect() const;
    int PixelsPerInch() const;
    // The system's menu font, read when first asked for.
    TFont *MenuFont() const;

    // For the library: forms come, go and become active.
    void AddForm(TCustomForm *Form);
    void RemoveForm(TCustomForm *Form);
    void SetActiveForm(TCustomForm *Form);

private:
    std::vector<TCustomForm *> FForms;  // not owned
    TCustomForm *FActiveForm = nullptr;
    mutable std::unique_ptr<TFont> FMenuFont;
};

// The form whose client window holds the MDI children: the main form when
// it is an MDI parent, else the first MDI parent made; null when none.
TCustomForm *MDIParentForm();
// The nearest form among the control and its parents; null when none.
TCustomForm *GetParentForm(const TControl *Control);
// The control under a screen point (a graphic child where there is one).
TControl *FindDragTarget(TPoint Pos, bool AllowDisabled);
// Routes a keyboard message to the control of its window first (CN_KEYDOWN,
// CN_CHAR...); true when a control used it and it must not be dispatched.
bool IsKeyMessage(MSG &Msg);

// The program's screen object; it lives from the start of the program to its
// end.
extern TScreen *Screen;

} // namespace vcl
