#pragma once
// Controls: everything that sits on a form. TControl has a place, a text, a
// colour, a font and a replaceable window procedure (WindowProc); TWinControl
// adds a window of its own, created on demand, and the list of child
// controls. TGraphicControl and TCustomControl, which paint themselves on a
// canvas, are in ControlCanvas.h.
//
// Every message of a control goes through WindowProc. It starts bound to the
// control's virtual WndProc, which runs the control's own handlers (Dispatch,
// one switch per class) and leaves the rest to DefaultHandler: for a control
// with a window, the procedure of the system class it is made from.
//
// Windows: each windowed control registers a window class named after its
// own class (TButton, TMemo, TSDIAppForm...), as a superclass of the system
// control it wraps. A window is made when something needs it (Handle,
// HandleNeeded) or when the control starts showing; controls that are not
// visible get none. The control is bound to its window while the window is
// being created (WindowBinding.h) and is found again from the window with
// FindControl. The window goes while the whole control still exists (when
// `delete` starts, BeforeDestruction), so that its last messages reach the
// control's own handlers. Controls belong to the thread that created the
// application (AppContext.h).
#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "ControlTypes.h"
#include "Graphics.h"
#include "Messages.h"
#include "Types.h"
#include "WindowBinding.h"
#include "WindowUpdates.h"

namespace vcl {

class TWinControl;

class TControl : public TComponent {
    VCL_CLASS(TControl, TComponent)
public:
    explicit TControl(TComponent *AOwner);
    ~TControl() override;

    TWinControl *Parent() const { return FParent; }
    void SetParent(TWinControl *AParent);

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
    void SetBoundsRect(const TRect &R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);

    // The area inside the control's frame, in its own coordinates.
    virtual TRect ClientRect() const;
    int ClientWidth() const { return ClientRect().Width(); }
    int ClientHeight() const { return ClientRect().Height(); }
    void SetClientWidth(int Value) { SetClientSize(Value, ClientHeight()); }
    void SetClientHeight(int Value) { SetClientSize(ClientWidth(), Value); }
    // Screen position of the client area's top-left corner.
    virtual TPoint ClientOrigin() const;
    TPoint ClientToScreen(TPoint P) const;
    TPoint ScreenToClient(TPoint P) const;

    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, and so are all its parents up to a shown form.
    virtual bool Showing() const;
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);

    // Caption and Text are one property under two names.
    std::string Caption() const { return GetText(); }
    void SetCaption(const std::string &Value) { SetText(Value); }
    std::string Text() const { return GetText(); }
    void SetText(const std::string &Value);

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);
    TFont *Font() const { return FFont.get(); }
    void SetFont(const TFont *Value) { FFont->Assign(Value); }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value);

    TControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
    TControlState ControlState() const { return FControlState; }
    void SetControlState(TControlState Value) { FControlState = Value; }

    // Every message of the control passes through this delegate.
    TWndMethod WindowProc;
    // Runs a message through WindowProc at once and answers its Result.
    LRESULT Perform(UINT Msg, WPARAM WParam, LPARAM LParam);

    virtual void Invalidate();
    virtual void Update();
    virtual void Repaint();
    void Refresh() { Repaint(); }

    bool HasParent() const override { return true; }
    TComponent *GetParentComponent() const override;
    void SetParentComponent(TComponent *Value) override;

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

protected:
    friend class TWinControl;

    // The control's own message handling: its handlers, then DefaultHandler.
    virtual void WndProc(TMessage &Message);
    // One switch per class over the messages it handles; the rest goes to
    // the inherited Dispatch and finally to DefaultHandler.
    virtual void Dispatch(TMessage &Message);
    virtual void DefaultHandler(TMessage &Message);

    virtual std::string GetText() const { return FText; }
    virtual void SetClientSize(int AWidth, int AHeight);
    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    // Recomputes a size that follows the content (a label's AutoSize).
    virtual void AdjustSize() {}
    void Loaded() override;
    bool IsLoading() const { return ComponentState().Contains(csLoading); }
    bool IsDestroying() const { return ComponentState().Contains(csDestroying); }
    // Lets the parent rearrange aligned children after a change of this one.
    void RequestAlign();
    // Invalidates the control's rectangle in its parent's window.
    void InvalidateControl(bool IsVisible, bool IsOpaque);
    const std::string &StoredText() const { return FText; }
    void SetStoredText(std::string Value) { FText = std::move(Value); }
    // Sets Visible without telling anyone: for a form that is not to show
    // while it is being read.
    void SetVisibleState(bool Value) { FVisible = Value; }

private:
    void WMMouse(TMessage &Message);
    void WMSetText(TMessage &Message);
    void WMGetText(TMessage &Message);
    void CMEnabledChanged(TMessage &Message);
    void CMVisibleChanged(TMessage &Message);
    void CMFontChanged(TMessage &Message);
    void CMColorChanged(TMessage &Message);
    void CMParentFontChanged(TMessage &Message);
    void CMParentColorChanged(TMessage &Message);
    void CMMouseEnter(TMessage &Message);
    void CMMouseLeave(TMessage &Message);
    void FontOnChange(TObject *Sender);

    TWinControl *FParent = nullptr;
    int FLeft = 0;
    int FTop = 0;
    int FWidth = 0;
    int FHeight = 0;
    bool FVisible = true;
    bool FEnabled = true;
    bool FParentColor = true;
    bool FParentFont = true;
    bool FUpdatingFromParent = false;
    std::string FText;
    TColor FColor = clWindow;
    std::unique_ptr<TFont> FFont;
    TAlign FAlign = alNone;
    TControlStyle FControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks};
    TControlState FControlState;
};

class TWinControl : public TControl {
    VCL_CLASS(TWinControl, TControl)
public:
    explicit TWinControl(TComponent *AOwner);
    ~TWinControl() override;

    // The window, created first when there is none.
    HWND Handle();
    // The window or null; never creates one.
    HWND WindowHandle() const { return FWindow.Handle(); }
    bool HandleAllocated() const { return FWindow.Handle() != nullptr; }
    void HandleNeeded();
    // Destroys and creates the window again (through CM_RECREATEWND) when it exists.
    void RecreateWnd();

    // All child controls, windowed or not, in the order they were inserted.
    int ControlCount() const { return static_cast<int>(FControls.size()); }
    TControl *Controls(int Index) const;
    bool ContainsControl(const TControl *Control) const;
    // The child whose rectangle holds Pos (client coordinates), the topmost
    // first; graphic children only unless AllowWinControls.
    TControl *ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls = false) const;
    // Performs the message on every child control.
    void Broadcast(TMessage &Message);

    int TabOrder() const;
    void SetTabOrder(int Value);
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value) { FTabStop = Value; }
    virtual bool CanFocus() const;
    bool Focused() const;
    virtual void SetFocus();
    // The next control in tab order after CurControl, within this control.
    TWinControl *FindNextControl(TWinControl *CurControl, bool GoForward, bool CheckTabStop, bool CheckParent) const;
    void SelectNext(TWinControl *CurControl, bool GoForward, bool CheckTabStop);

    bool Showing() const override { return FShowing; }
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    TRect ClientRect() const override;
    TPoint ClientOrigin() const override;
    void Invalidate() override;
    void Update() override;
    void Repaint() override;
    // The brush that fills the background; follows Color.
    TBrush *Brush() const { return FBrush.get(); }
    // A band of the background colour inside the frame, around the client area.
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);

    // Paints the control as it is on screen into DC, its window's top-left
    // corner at (X, Y): a plain edge where it has a frame, its client area
    // through WM_ERASEBKGND and WM_PAINT with a DC in WParam (which native
    // controls paint into; WM_PRINT without flags paints nothing in them,
    // and Wine's WM_PRINT and PrintWindow leave children and frames out),
    // its graphic children, and its windowed children in the same way.
    // Nothing without a window.
    void PaintTo(HDC DC, int X, int Y);

    // Brings the window up to date with state that the control keeps ahead
    // of it (see DeferWindowUpdate); the message pump calls it.
    virtual void FlushWindowUpdate() {}

protected:
    virtual void CreateParams(TCreateParams &Params);
    virtual void CreateWnd();
    virtual void CreateWindowHandle(const TCreateParams &Params);
    // Sets up a window that was just created (font, state held while there was none).
    virtual void InitializeWnd() {}
    virtual void DestroyWnd();
    virtual void DestroyWindowHandle();
    void CreateHandle();
    void DestroyHandle();
    // Makes Params describe a superclass of the system class ControlClassName.
    static void CreateSubClass(TCreateParams &Params, const wchar_t *ControlClassName);
    // Follows Visible and the parent's showing state: creates the window and
    // shows or hides it.
    void UpdateShowing();
    void UpdateControlState();
    // A control without a parent control shows on its own (a form).
    virtual bool IsTopLevel() const { return false; }

    void WndProc(TMessage &Message) override;
    void Dispatch(TMessage &Message) override;
    void DefaultHandler(TMessage &Message) override;
    std::string GetText() const override;
    void SetClientSize(int AWidth, int AHeight) override;
    void Loaded() override;
    // Destroys the window while the whole control exists.
    void BeforeDestruction() override;

    // The window is painted by PaintWindow and the graphic children rather
    // than by the system class the control is made from.
    virtual bool PaintsItself() const { return false; }
    // The window's background is filled with the control's colour even when
    // the system class paints the rest: a container whose class leaves its
    // inside alone would otherwise show whatever was drawn there before,
    // since its parent clips it away.
    virtual bool ErasesItself() const { return PaintsItself(); }
    // Paints the window's own content into DC; the default asks the system class.
    virtual void PaintWindow(HDC DC);
    void PaintHandler(TMessage &Message);
    // Paints the graphic children into DC (the window's own coordinates).
    void PaintControls(HDC DC, TControl *First);
    virtual void AlignControls(TControl *AControl, TRect &Rect);
    void Realign();
    // The key is one the control uses itself rather than the form (Tab,
    // Return, Escape, arrows); by default as the window's WM_GETDLGCODE says.
    virtual bool WantsKey(WPARAM Key);
    // Asks the pump to call FlushWindowUpdate; undone by the window's end.
    void DeferWindowUpdate();

    // The procedure the window's stub calls: WindowProc, with exceptions
    // handed to the application.
    void MainWndProc(TMessage &Message);
    WNDPROC DefWndProc() const { return FWindow.DefWndProc(); }

private:
    friend class TControl;

    void InsertControl(TControl *AControl);
    void RemoveControl(TControl *AControl);
    // Still a direct child: for loops over a copy of the list, whose
    // receivers may take controls away (even destroy them).
    bool IsChild(const TControl *Control) const;
    bool RouteMouseToChild(TMessage &Message);
    void UpdateBounds();
    void CMShowingChanged(TMessage &Message);
    void CMVisibleChanged(TMessage &Message);
    void CMEnabledChanged(TMessage &Message);
    void CMFontChanged(TMessage &Message);
    void CMColorChanged(TMessage &Message);
    void CMRecreateWnd(TMessage &Message);
    void CMFocusChanged(TMessage &Message);
    void CMDialogKey(TMessage &Message);
    void CNKeyDown(TMessage &Message);
    void WMPaint(TMessage &Message);
    void WMEraseBkgnd(TMessage &Message);
    void WMWindowPosChanged(TMessage &Message);
    void WMNCCalcSize(TMessage &Message);
    void WMNCPaint(TMessage &Message);
    void WMSetFocus(TMessage &Message);
    void WMKillFocus(TMessage &Message);
    void CNCtlColor(TMessage &Message);
    // Sends a child control's notification back to it as CN_ (or leaves it
    // to DefaultHandler when no control of ours is concerned).
    void ReflectToChild(TMessage &Message);

    TWindowBinding FWindow;
    std::vector<TControl *> FControls;    // not owned: the owner component owns them
    std::vector<TWinControl *> FTabList;  // windowed children in tab order
    std::unique_ptr<TBrush> FBrush;
    int FTabOrderWanted = -1;  // as read from a description, applied in Loaded
    int FBorderWidth = 0;
    bool FShowing = false;
    bool FTabStop = false;
    bool FAligning = false;
};

// The control bound to a window made by the library; null for other windows.
TWinControl *FindControl(HWND Window);
// The form the control sits on (the topmost of the control and its
// parents, when that is a form); null when none. GetParentForm (Forms.h)
// answers the same as a form.
TFormHost *FormHostOf(const TControl *Control);


// Counts the messages that reached a control's window on this thread; a
// message loop compares it to see whether a sent message was handled while
// it looked for posted ones.
std::uint32_t ControlMessageCount();


} // namespace vcl
