#pragma once
// The message record that every window procedure of the library takes, and
// the library's own control messages.
//
// CM_ messages are notifications between controls, sent through Perform
// (only CM_RELEASE goes through the queue: it must come after the messages
// already waiting). CN_ messages are the system's control
// notifications (WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR...) reflected by a parent
// to the child control they concern, numbered CN_BASE + the WM_ number.
#include <windows.h>

#include "System.h"

namespace vcl {

struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;

    WORD WParamLo() const { return LOWORD(WParam); }
    WORD WParamHi() const { return HIWORD(WParam); }
    WORD LParamLo() const { return LOWORD(LParam); }
    WORD LParamHi() const { return HIWORD(LParam); }
};

// A replaceable window procedure: an (object, method) pair that compares
// equal to a saved copy of itself, so that whoever replaced it can put the
// previous one back.
using TWndMethod = TMethod<void(TMessage &)>;

inline constexpr UINT CM_BASE = 0xB000;

// Numbers fixed by the callers that handle them.
inline constexpr UINT CM_FOCUSCHANGED = CM_BASE + 0x07;      // LParam: the control that got the focus
inline constexpr UINT CM_VISIBLECHANGED = CM_BASE + 0x0B;    // WParam: the new Visible (0/1)
inline constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 0x0C;
inline constexpr UINT CM_FONTCHANGED = CM_BASE + 0x0E;
inline constexpr UINT CM_TEXTCHANGED = CM_BASE + 0x12;
inline constexpr UINT CM_MOUSEENTER = CM_BASE + 0x13;        // LParam: the control itself
inline constexpr UINT CM_MOUSELEAVE = CM_BASE + 0x14;        // LParam: the control itself
inline constexpr UINT CM_MENUCHANGED = CM_BASE + 0x15;
inline constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 0x19;    // performed before the window is shown or hidden
inline constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 0x2C; // WParam: 1 inserted / 0 removed; LParam: the child
inline constexpr UINT CM_RECREATEWND = CM_BASE + 0x33;
inline constexpr UINT CM_CHANGED = CM_BASE + 0x37;
inline constexpr UINT CM_FLOAT = CM_BASE + 0x3A;
inline constexpr UINT CM_MOUSEWHEEL = CM_BASE + 0x43;

// Numbers of our own choice, in slots the fixed ones leave free.
inline constexpr UINT CM_ENTER = CM_BASE + 0x01;             // the control received the focus within its form
inline constexpr UINT CM_EXIT = CM_BASE + 0x02;              // the control lost the focus within its form
inline constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 0x08;
inline constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 0x09;
inline constexpr UINT CM_COLORCHANGED = CM_BASE + 0x0D;
inline constexpr UINT CM_DIALOGKEY = CM_BASE + 0x16;         // WParam: virtual key; Result 1 when used
inline constexpr UINT CM_RELEASE = CM_BASE + 0x21;           // posted by TCustomForm::Release

// The taskbar asks the window of a button for its system menu (LParam:
// the point).
inline constexpr UINT WM_TASKBARSYSMENU = 0x313;

inline constexpr UINT CN_BASE = 0xBC00;
inline constexpr UINT CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM;
inline constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
inline constexpr UINT CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM;
inline constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
inline constexpr UINT CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG;
inline constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
inline constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
inline constexpr UINT CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX;
inline constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;
inline constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
inline constexpr UINT CN_DELETEITEM = CN_BASE + WM_DELETEITEM;
inline constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
inline constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
inline constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
inline constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
inline constexpr UINT CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM;
inline constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
inline constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
inline constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;
inline constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
inline constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
inline constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;
static_assert(CN_CTLCOLORSCROLLBAR == 0xBD37);

// The child window that a notification to its parent concerns (WM_COMMAND,
// WM_NOTIFY, WM_DRAWITEM, WM_CTLCOLOR..., the scroll and item messages);
// null for another message or a menu's item.
HWND NotifyingChild(HWND Parent, const TMessage &Message);

} // namespace vcl
