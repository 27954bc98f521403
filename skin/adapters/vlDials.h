#pragma once
// Skinning of windows that the application does not skin itself, from the
// thread's window-creation hook (WH_CBT) that the default skin manager puts
// in while its skin is on. The manager hands every event of the hook to the
// dialog skinning slot (sSkinServices.h), which this module's start-up
// fills. A form that carries no provider of its own, above all a message
// form of ShowMessage and MessageDlg (class TMessageForm), gets a
// TvlProvider and, through it, a form provider of the dialog variant that
// skins it like any form; a provider that the form makes for itself later
// takes over from that one.
//
// A system dialog ("#32770") gets a TvlProvider of its own (owned by no
// component) with a TvlDialogWnd for its window and one adapter per child
// window that has one (vlDialogChildren.h); it is freed once the dialog's
// window is gone (vlProvider.h). The system's popup-menu windows get
// their adapters from the hook (vlMenuAdapters.h). An MDI parent that gets
// its provider here brings along those of its MDI children that the
// library does not serve yet, each getting a provider of its own.
//
// Windows only; everything here belongs to the UI thread.
#include <windows.h>

#include <cstdint>
#include <string>

#include "vlProvider.h"

namespace skin {

// Decides whether the window gets skinned here and, if so, skins it. Silent
// when it does not.
void AttachSkinToWindow(HWND Window);

// The class of the class library's message forms.
inline constexpr const char *MessageFormClass = "TMessageForm";
// Forms whose Tag has this bit are the library's own helpers: never skinned.
inline constexpr std::intptr_t UnskinnedFormTag = 0x100;

// The module's start-up: puts this module's dialog skinning into the
// manager's slot. After the skin manager module's start-up; calls nest.
void InitializeDialsModule();
// The last call frees what the hook skinned and empties the slot again;
// before the skin manager module's end.
void FinalizeDialsModule();

} // namespace skin
