#pragma once
// TvlMainWnd: the base of every window adapter. An adapter takes over the
// window procedure of one window that exists already (a control of the
// class library, a bare system window) and paints it from the skin; what
// it does not consume reaches the procedure it replaced. The window's
// property "VLSBSC" leads back to the adapter.
//
// Three ways of hooking, chosen by the skin data's owner:
// - no owner control and no form provider: a plain subclass, the window's
//   procedure replaced by a stub that calls HandleMessage;
// - a form provider: the provider's form's WindowProc replaced;
// - an owner control: the control's WindowProc replaced.
// Giving the window back puts the previous procedure back only while the
// window (or control) still uses ours. When another procedure was chained
// over ours meanwhile, ours stays in that chain and forwards to the one it
// replaced once the adapter is gone (an orphan, never freed while it can be
// called).
//
// Life: NewAdapter<T> constructs T and then runs its virtual Create (a
// constructor calls no override); the window's WM_DESTROY unhooks it
// (Destroyed() turns true) and its creator frees it; freeing it earlier
// unhooks it first. The destructor gives the window back with the base's
// RestoreControlColors: a descendant that overrides it calls ReleaseWindow
// in its own destructor.
//
// The message order of HandleMessage is DispatchSkinnedMessage's
// (sCommandTable.h). An adapter's own answers override OwnMessage and fall
// through to its parent class's OwnMessage for what they leave; they call
// neither the preprocessing nor the common skin commands, and ask the
// previous procedure (PassOn) only where it must answer first. Hover follows the
// skin manager's hot window (SC_MOUSE_ENTERED, SC_MOUSE_LEFT); the class
// library's enter and leave notices make the window the hot one or not
// (the scrolling adapters give both to the skin data's hover steps).
// Windows only.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "skin/manager/sSkinServices.h"
#include "vcl/ControlTypes.h"
#include "vcl/LifeMark.h"
#include "vcl/Messages.h"
#include "vcl/ObjectInstance.h"
#include "vcl/Types.h"
#include "vlAdaptersState.h"

namespace vcl {
class TControl;
class TObject;
}

namespace skin {

class TsCommonData;
class TsSkinManager;
class TvlMainWnd;

// The window property that holds a hooked window's adapter.
inline constexpr const wchar_t *AdapterPropName = L"VLSBSC";

// The procedure put into a control's (or form's) WindowProc: it calls the
// adapter while the adapter serves, and the procedure it replaced once the
// adapter has let go of a chain that another procedure sits on.
struct TvlProcRelay {
    TvlMainWnd *Adapter = nullptr;  // not owned; null once orphaned
    vcl::TWndMethod Saved;          // the procedure the relay replaced
    void Call(vcl::TMessage &Message);
};

class TvlMainWnd : public TvlWindowAdapter {
public:
    TvlMainWnd();
    // Gives the window back when it still has it (ReleaseWindow), switches
    // visual styles back on and frees the skin data it made.
    ~TvlMainWnd() override;
    TvlMainWnd(const TvlMainWnd &) = delete;
    TvlMainWnd &operator=(const TvlMainWnd &) = delete;

    // The seven operations every adapter has, in this order.
    // 1. The default section when none was given; the base ends the skin
    //    data's Updating state. Create's last step.
    virtual void SetDefaultSection();
    // 2., 3. The control's own colours and fonts, kept and given back
    //    (nothing in the base). Given back when the skin goes and on unhooking.
    virtual void SaveControlColors();
    virtual void RestoreControlColors();
    // 4. The skin's colours applied (the base only notes it).
    virtual void ApplySkinColors();
    // 5. The adapter's own skin data, owned by Owner's adapter (Owner: the
    //    params' control, or null): a TsCommonData in Updating state.
    virtual std::unique_ptr<TsCommonData> CreateOwnSkinData(vcl::TObject *Owner);
    // 6. Construction: Handle is the window; SkinData a record to share or
    //    null (the adapter makes its own); Manager the serving manager;
    //    Repaint asks scrolling adapters to recalculate the frame at once.
    virtual void Create(HWND Handle, TsCommonData *SkinData, TsSkinManager *Manager, const TvlSkinParams &Params,
                        bool Repaint);
    // 7. The replacement window procedure: DispatchSkinnedMessage's order
    //    (sCommandTable.h) with OwnMessage as the window's own stage,
    //    AfterCommonAnswer after the common answer and the previous
    //    procedure last. An adapter overrides the stages, never the order.
    void HandleMessage(vcl::TMessage &Message);

    // TvlWindowAdapter.
    HWND AdapterWindow() const override { return Handle; }
    bool Destroyed() const override { return FDestroyed; }

    // The answer of the procedure the adapter replaced (0 without one). A
    // plainly subclassed window's procedure that raises answers 0; a
    // WindowProc method's exception propagates.
    LRESULT CallPreviousWndProc(HWND Wnd, UINT Msg, LPARAM &LParam, WPARAM WParam);
    // Gives the window back (see the top of this header) unless that was
    // done: true when the previous procedure is back or nothing needs it.
    // With Orphan a chain that another procedure sits on is left to it for
    // good (the window is going); without, the adapter stays in it.
    bool Unhook(bool Orphan);
    // For a descendant's destructor: what ~TvlMainWnd would do, with the
    // descendant's RestoreControlColors.
    void ReleaseWindow();

    // For a TGuarded kept across a message passed on (a click may free the
    // form, and the adapter with it).
    const vcl::TLifeMark &LifeMark() const { return FLife; }

    // Fields (read and written by the adapter Parts and the painters).
    bool KeepTheme = false;        // the window keeps its visual style
    bool InScrollMessage = false;  // the scroll-bar engine sends the window its own scroll messages
    bool OwnsSkinData = false;
    bool ColorsApplied = false;
    vcl::TRect WndRect{};          // the window in screen coordinates
    vcl::TRect ParentRect{};       // the parent's window rectangle
    HWND ParentHandle = nullptr;
    HWND Handle = nullptr;
    vcl::TSize WndSize{};
    vcl::TPoint PosInParent{};     // the window's top-left in the parent's client area
    std::string WindowText;        // read at construction and after every WM_SETTEXT
    vcl::TControlStyle SavedControlStyle;
    bool ControlStyleSaved = false;
    vcl::TWndMethod SavedWindowProc;  // of the owner control or form; empty for a plain subclass
    WNDPROC OldWndProc = nullptr;     // of a plainly subclassed window
    TsSkinManager *SkinManager = nullptr;  // not owned
    TsCommonData *SkinData = nullptr;      // own (FOwnSkinData) or shared
    vcl::TObjectInstance ObjectInstance;   // the stub of a plain subclass

protected:
    // Stage 2 of the message order, the window's own answers: true when it
    // handled the message whole. The base's answers come last: an override
    // falls through to its parent class's OwnMessage.
    virtual bool OwnMessage(vcl::TMessage &Message);
    // Stage 4, for an SM_SKINCOMMAND the own stage left: the window's answer
    // to a sub-command that builds on the common one (Result holds it); true
    // when it handled the command whole. None in the base.
    virtual bool AfterCommonAnswer(vcl::TMessage &Message);
    // Create's first step: the window's visual style switched off (the
    // base: unless the window is a form's whose provider leaves the frame
    // to the system, the section is "DIALOG" or a TvlKeepThemeScope is on).
    virtual bool SwitchesVisualStylesOff(const TsCommonData *Shared, const TvlSkinParams &Params, bool Repaint) const;
    // The serving manager is there and active.
    bool Serving() const;
    // The skin data of the order's preprocessing and common commands: none
    // for a form's own window while its skin is on, whose provider's
    // procedure (the previous one) stands in for both, as in the form's
    // own order; the window's end is preprocessed all the same.
    TsCommonData *OrderData(const vcl::TMessage &Message) const;
    // The message on to the previous procedure, its answer in Result.
    void PassOn(vcl::TMessage &Message);
    // For an own stage that acts after the rest of the order of a message
    // other than SM_SKINCOMMAND: the previous procedure unless a parent
    // class's own stage handled the message (Handled).
    void PassOnUnless(bool Handled, vcl::TMessage &Message) {
        if (!Handled) PassOn(Message);
    }
    // For a skin command whose own answer builds on the common one: the own
    // stage leaves the command (false) to AfterCommonAnswer, which takes it
    // back with TakeLeftCommand (true once, for the same sub-command).
    bool LeaveToAfterCommon(const vcl::TMessage &Message);
    bool TakeLeftCommand(const vcl::TMessage &Message);
    // The own stage left this command to AfterCommonAnswer: it ends its own
    // stage there (false) rather than go on to a parent class's stage.
    bool IsLeftToAfterCommon(const vcl::TMessage &Message) const;
    // SC_SKIN_REMOVED from the adapter's own manager. The manager is off
    // already while it tells its windows that the skin goes, so an adapter
    // with removal steps of its own takes this whatever Serving() says.
    bool IsOwnRemoval(const vcl::TMessage &Message) const;
    // The base's answer to the own manager's removal, for the end of an own
    // stage: the control's colours back, then (false) the common removal and
    // the previous procedure.
    bool BaseRemoval(vcl::TMessage &Message);
    // The control whose WindowProc a method hook replaces: the provider's
    // form or the owner control; null for a plain subclass.
    vcl::TControl *HookTarget() const;

private:
    friend void InstallWndHook(TvlMainWnd &Adapter, HWND Handle);
    struct TStages;
    void StubProc(vcl::TMessage &Message);
    // The class library's CM_MOUSEENTER or CM_MOUSELEAVE.
    void MouseNotice(vcl::TMessage &Message);
    bool AnswerSkinCommand(vcl::TMessage &Message);
    void DestroyMessage(vcl::TMessage &Message);
    LRESULT ResendDestroy(const vcl::TMessage &Message);

    std::unique_ptr<TsCommonData> FOwnSkinData;
    std::unique_ptr<TvlProcRelay> FRelay;  // while a method hook is in place
    vcl::TGuarded<vcl::TControl> FHooked;  // the control (or form) whose WindowProc the hook took
    vcl::TLifeMark FLife;
    unsigned FLeftCommand = 0;  // the sub-command left to AfterCommonAnswer
    bool FDestroyed = false;
    bool FResendingDestroy = false;
    bool FReleased = false;
};

// An adapter of class T made and hooked to Handle (T's Create).
template <class T>
std::unique_ptr<T> NewAdapter(HWND Handle, TsCommonData *SkinData, TsSkinManager *Manager,
                              const TvlSkinParams &Params, bool Repaint = false) {
    auto adapter = std::make_unique<T>();
    adapter->Create(Handle, SkinData, Manager, Params, Repaint);
    return adapter;
}

// The adapter in the window's "VLSBSC" property; null when none.
TvlMainWnd *AdapterOfWindow(HWND Handle);
// Hooks Handle for Adapter in the way its skin data's owner chooses.
void InstallWndHook(TvlMainWnd &Adapter, HWND Handle);
// Gives the window back (Adapter->Unhook without orphaning), then with
// FreeIt frees the adapter and clears Adapter. Nothing for a null adapter or
// one that gave its window back already.
void RemoveWndHook(HWND Handle, bool FreeIt, bool FullFrame, std::unique_ptr<TvlMainWnd> &Adapter);
// The same without freeing, for an adapter its caller does not own.
void RemoveWndHook(HWND Handle, bool FullFrame, TvlMainWnd *Adapter);
// FullFrame: the frame recalculated (SWP_FRAMECHANGED); else WM_NCPAINT 1.
void RefreshFrame(HWND Handle, bool FullFrame);
// The window's text as UTF-8.
std::string ReadWindowText(HWND Handle);
// The parent's update is done: a window whose painting waited for it is
// redrawn with RedrawFlags once its paint lock is gone, and its children
// hear of it (those of a window that did not wait only when it shows its
// parent's background).
void RedrawAfterParentUpdate(TsCommonData &Data, HWND Handle, UINT RedrawFlags);

// Set while an adapter is made whose window keeps its visual style (the
// combo box's drop-down list, a dialog's children); a scope clears it on
// every way out.
bool KeepThemeOnCreate();
class TvlKeepThemeScope {
public:
    TvlKeepThemeScope();
    ~TvlKeepThemeScope();
    TvlKeepThemeScope(const TvlKeepThemeScope &) = delete;
    TvlKeepThemeScope &operator=(const TvlKeepThemeScope &) = delete;

private:
    bool FPrevious;
};

// The painting routines (vlSBPaint.h) that work on an adapter's own fields.
// The font of the adapter's text on its cache's canvas: the owner control's
// Font, else the window's WM_GETFONT font, else the message font.
void SelectAdapterFont(TvlMainWnd &Adapter);
// The window's parent, rectangles, place in the parent and size
// (ParentClientRect) into the adapter's geometry fields.
void RefreshGeometry(TvlMainWnd &Adapter);
// The section's border mask painted over the adapter's cache in State;
// nothing while the window keeps its visual style, without a mask or a
// cache, or for a window smaller than 2 x 2. False when the parent's answer
// about what lies behind freed the adapter: the caller stops.
bool PaintMaskBorder(TsCommonData &SkinData, int State, TvlMainWnd &Adapter);

// The platform's scroll-bar routines the scrolling adapters use
// (vlAdaptersState.h), bound by name when the unit starts.
const TvlScrollBarApi &ScrollBarApi();

// The unit's start and stop (counted; the first start and the last stop
// act). The start binds the scroll-bar routines. The stop frees the
// popup-menu adapters and the hooked dialogs (through the manager's slots),
// the bound libraries and the procedures left orphaned in foreign chains.
void InitializeSBUtils();
void FinalizeSBUtils();

} // namespace skin
