#pragma once
// Sending the library's command message SM_SKINCOMMAND: to one window or
// control, and in walks over the children of a control, the child windows
// of a window and all forms of the application; the registry of skinned
// forms that the walks and the skin-change steps use; the per-form steps
// of a skin change; and the program's two icons. Windows only.
//
// Order of a broadcast to the forms: the application's forms from the last
// created to the first (each followed by its children, and an MDI parent
// by its client window), then the registered skinned forms in registry
// order (likewise), then the visible windows of the hooked dialogs.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "sModuleState.h"
#include "sSkinCommands.h"
#include "vcl/Messages.h"

namespace vcl {
class TControl;
class TWinControl;
class TCustomForm;
class TIcon;
}

namespace skin {

class TsSkinManager;
class TvlFormProvider;

// Senders. The WParam is SkinCommand(SubCommand): the flag word 0; the
// LParam is in flight for the send (TvlRecordInFlight, sSkinCommand.h).
// SendMessage to the window; no check of the handle.
LRESULT SendSkinCommand(HWND Window, unsigned SubCommand, LPARAM LParam);
// Performs it on the control when it is a graphic control, or a windowed
// one that is not being destroyed and has its window; 0 otherwise.
LRESULT PerformSkinCommand(vcl::TControl *Control, unsigned SubCommand, LPARAM LParam);
// Performs it with LParam 0, whatever the control's state; true when the
// answer's low byte is not 0. With SC_IS_HANDLED: is the control skinned?
bool QuerySkinCommand(vcl::TControl *Control, unsigned SubCommand);
// True when the window answers 1 (LParam 0).
bool SendSkinQuery(HWND Window, unsigned SubCommand);

// What a receiver takes from a command's LParam. The command message lies
// in the application range: any program can send or post it to any of our
// windows, and an address it carries then points into no memory of ours.
// A manager in LParam is only ever compared with the receiver's own, which
// is safe whoever sent it; a record, string, control or device context at
// LParam is taken only from this thread's own code:
// - CommandArgumentIsOurs is true for a command that does not come from
//   another thread or program (InSendMessageEx), or whose sub-command and
//   LParam are those of a send of this thread under way: while this thread
//   answers a message sent from elsewhere, InSendMessageEx reports that
//   message for every command this thread sends meanwhile too, and the
//   library's senders keep what they send in flight (TvlRecordInFlight).
//   A command that this thread's code sends there by plain SendMessage, or
//   that another program sends, is refused; CommandRecord is then null and
//   the handler answers as to a command without a record. Another program
//   gets a record only by naming one of ours, with its sub-command, while
//   this thread sends it: it then acts on a live record of the right kind.
// - A posted command never carries an argument of the library's, so none
//   that does reaches a window: from the module's start to its end a
//   message hook of the starting thread turns it into WM_NULL.
bool CommandArgumentIsOurs(const vcl::TMessage &Message);
template <class T> T *CommandRecord(const vcl::TMessage &Message) {
    return CommandArgumentIsOurs(Message) ? reinterpret_cast<T *>(Message.LParam) : nullptr;
}

// The application's filter of the child walk (TvlChildBroadcastFilter) is
// ModuleState().ChildBroadcastFilter; null at start.

// Walks. Message holds the number, WParam and LParam to pass (its Result
// is not read). A receiver may add or remove children meanwhile: counts
// are read again on every step.
//
// The children of Parent: graphic children and windowed ones without a
// window by Perform, skinned windowed ones by SendMessage (their own
// children are theirs to tell), other windowed ones are walked into. A
// child being destroyed ends the walk.
void BroadcastToChildControls(vcl::TWinControl *Parent, const vcl::TMessage &Message);
// SendMessage to every direct child window of Window.
void BroadcastToChildWindows(HWND Window, const vcl::TMessage &Message);
// SC_PARENT_UPDATE_DONE to the direct children (windowed ones only when
// showing with a window); nothing while a form animation runs.
void PassUpdateDoneToChildren(vcl::TWinControl *Parent);
void PassUpdateDoneToChildWindows(HWND Window);
// SC_REFRESH_GRAPHIC_CONTROL with the control to its form, unless it is
// being designed or loaded.
void NotifyFormOfControl(vcl::TControl *Control);
// Every form of the application that the library does not serve (and its
// children and MDI client window), then BroadcastToListedForms. Forms freed by a receiver end it.
void BroadcastToForms(const vcl::TMessage &Message);
// The registered skinned forms with their children and MDI client
// windows, then the visible
// windows of the hooked dialogs.
void BroadcastToListedForms(const vcl::TMessage &Message);

// The registry of skinned forms: a provider enters its form when it is
// made and removes it when it goes. A form is entered once however often
// it is added; removing it takes it out, the last entry taking its place.
void AddSkinnedForm(vcl::TCustomForm *Form);
void RemoveSkinnedForm(vcl::TCustomForm *Form);
const std::vector<vcl::TCustomForm *> &SkinnedForms();
// Proc(provider, Argument) for each registered form that Manager skins and
// that is shown, not iconic, top-level and has its window.
using TvlProviderProc = void (*)(TvlFormProvider &Provider, int Argument);
void ForEachSkinnedForm(const TsSkinManager *Manager, TvlProviderProc Proc, int Argument);

// True when Value is one of Values[First .. Last] (both ends included,
// indexes within the span); false when Last is below First.
bool ValueInList(std::span<const std::int32_t> Values, std::int32_t Value, int First, int Last);

// What PrepareFormsForSkinChange did: the forms' snapshots taken, the form
// animation flag below raised.
struct TSkinChangePreparation {
    bool FormsPrepared = false;
    bool FlagRaised = false;
};

// The per-form steps of a skin change, over the registry; each does nothing
// while the main form is iconic. Prepare takes snapshots before the new
// skin is read; Lock stops the forms redrawing once it is applied; Finish
// lets them redraw and (Animate) fades them to their new look.
TSkinChangePreparation PrepareFormsForSkinChange(TsSkinManager &Manager);
void LockFormsForSkinChange(TsSkinManager &Manager);
void FinishFormsSkinChange(TsSkinManager &Manager, bool Animate);
// Takes back what Prepare did when no skin was applied after it, so no
// Finish came: the flag, only if Prepare raised it (it may belong to an
// animation that runs on), and each form's snapshot.
void CancelFormsSkinChange(TsSkinManager &Manager, const TSkinChangePreparation &Preparation);

// While a form show, hide, blend or skin-change animation runs,
// ModuleState().FormAnimationActive is set: skinned windows skip their
// direct repaints meanwhile.

// The application is minimized. Our main form owns its taskbar button, so
// this asks about the main form (false without one).
bool ApplicationIconic();

// The module's start puts in the thread's filter of posted commands; its
// end takes it out, frees the program's icons and empties the registry.
void InitializeMessagesModule();
void FinalizeMessagesModule();

// The small or the large icon of the program's own file
// (ModuleState().ProgramSmallIcon, ProgramLargeIcon), read the first time
// one is asked for while the module runs, not at its start: the shell's
// lookup costs some 50 ms under Wine before the first window can show, and
// only a form without an icon of its own ever needs them. Null outside the
// module or when the file has none.
const vcl::TIcon *ProgramIcon(bool Large);

} // namespace skin
