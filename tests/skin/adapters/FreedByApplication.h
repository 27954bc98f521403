#pragma once
// Application code that frees a window adapter, or the control it serves,
// from inside a message the adapter sends or passes on. A row names an
// adapter kind and what the user or the application does to its window. A
// dry run lists the messages that reach the procedure below the adapter
// while that happens; then, for the first message of each kind in that list,
// the row runs again on a fresh control and the procedure below frees the
// adapter (first pass) or the control (second pass) right after it handled
// that message. Freed memory stays marked: nothing may write to it or fault
// on it, and a later message to the window must be harmless.
//
// A row is a kind, how to make its control or window, and the actions it
// takes. A kind served by something other than the adapter factory (a form
// provider) makes it in its Serve; an action of its own joins the actions.
// The form provider's rows, on a plain form and on one with an extended
// border, carry their own trap instead of the dry run: an event of the form
// or of its title bar's item, a child's paint, or one message passed below
// the provider, freed before the form's own procedure sees it.
//
// The table's parts: the adapters' kinds and their actions
// (FreedByApplicationKinds.cpp), the form provider's actions
// (FreedByApplicationForms.cpp), the menu painter's and the controls' own
// drawing events (FreedByApplicationMenus.cpp); the run of a row
// (FreedByApplicationTest.cpp).
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cctype>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "AdaptersTestSupport.h"
#include "FreedMemoryMark.h"
#include "GridTestControl.h"
#include "../forms/StoredSkinCopies.h"
#include "skin/adapters/vlAdapters.h"
#include "skin/adapters/sSkinMenus.h"
#include "skin/adapters/vlDialogChildren.h"
#include "skin/adapters/vlMnuWnd.h"
#include "skin/adapters/vlProvider.h"
#include "skin/adapters/vlScrollBars.h"
#include "skin/forms/sMDIForm.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/vlBorderForm.h"
#include "skin/forms/vlTitleBar.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/vlSnapshots.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/Buttons.h"
#include "vcl/CheckBoxes.h"
#include "vcl/ComboBox.h"
#include "vcl/ExtCtrls.h"
#include "vcl/GdiObjects.h"
#include "vcl/Menus.h"
#include "vcl/Panels.h"
#include "vcl/ScrollBar.h"
#include "vcl/StaticText.h"
#include "vcl/StatusBar.h"
#include "vcl/StdCtrls.h"
#include "vcl/Tabs.h"
#include "vcl/ToolBar.h"
#include "vcl/UpDown.h"

namespace skin::freed {

using namespace skin::test;
using namespace std::chrono_literals;

// The messages after which the application's code runs in the procedure
// below an adapter: painting, focus, size, scrolling, the end of a press,
// the window's end, text, font, colour, style and theme changes, change and
// draw notices, and the skin's news. (Queries an adapter sends for an answer are not among
// them.)
inline bool RunsApplicationCode(UINT Msg, WPARAM WParam) {
    switch (Msg) {
    case WM_PAINT: case WM_ERASEBKGND: case WM_NCPAINT: case WM_PRINT: case WM_PRINTCLIENT:
    case WM_SETFOCUS: case WM_KILLFOCUS: case vcl::CM_ENTER: case vcl::CM_EXIT:
    case WM_SIZE: case WM_WINDOWPOSCHANGED:
    case WM_HSCROLL: case WM_VSCROLL: case vcl::CN_HSCROLL: case vcl::CN_VSCROLL:
    case WM_CANCELMODE: case WM_CAPTURECHANGED: case WM_DESTROY: case WM_NCDESTROY:
    case WM_SETFONT: case vcl::CM_FONTCHANGED: case vcl::CM_COLORCHANGED:
    case WM_STYLECHANGING: case WM_STYLECHANGED: case WM_THEMECHANGED:
    case WM_SETTEXT: case vcl::CM_TEXTCHANGED: case vcl::CM_CHANGED:
    case vcl::CN_COMMAND: case vcl::CN_NOTIFY: case vcl::CN_DRAWITEM:
    case WM_COMMAND: case WM_NOTIFY: case WM_DRAWITEM: case vcl::CM_MOUSEENTER: case vcl::CM_MOUSELEAVE:
    case TCM_SETCURSEL:
        return true;
    case SM_SKINCOMMAND:
        switch (SubCommandOf(WParam)) {
        case SC_SKIN_APPLIED: case SC_SKIN_REMOVED: case SC_SKIN_REFRESH: case SC_REPAINT:
        case SC_MOUSE_ENTERED: case SC_MOUSE_LEFT:
            return true;
        default: return false;
        }
    default: return false;
    }
}

// What the application code frees: the adapter, the control (or bare
// window), or a later sibling of the control whose paint the trap sits in
// (in the menu rows: the item the event is about).
enum class TVictim { Adapter, Control, Sibling };

// One run: the control (or bare window) on the form, its adapter, and the
// procedure below the adapter that frees the victim after the message
// numbered FireAt.
struct TRun {
    vcl::TForm *Form = nullptr;
    // What the control sits on: the form, or for the background rows an
    // owner-drawn tab control whose answer to the control's question about
    // its background draws the tabs through the application.
    vcl::TWinControl *Host = nullptr;
    TvlMainWnd *HostAdapter = nullptr;
    WNDPROC HostNext = nullptr;
    int HostAnswering = 0;  // the host answers a question about what lies behind a child
    vcl::TControl *Control = nullptr;  // null for a bare window
    vcl::TControl *Trapped = nullptr;  // where the trap sits: Control unless a child of it
    vcl::TGuarded<vcl::TComponent> Sibling;  // a later child of Control, for the child rows; a menu row's item
    HWND Window = nullptr;
    HWND TrapWindow = nullptr;  // a bare window's child whose procedure holds the trap
    std::unique_ptr<TvlWindowAdapter> Adapter;
    std::unique_ptr<TvlGraphicHandler> Handler;  // a window-less control's
    vcl::TComponent *Server = nullptr;  // what serves the window in place of an adapter (a kind's Serve)
    TVictim Victim = TVictim::Adapter;
    // The procedure below the adapter.
    vcl::TWndMethod Next;
    WNDPROC NextProc = nullptr;
    bool Armed = false;
    int FireAt = -1;
    std::vector<std::uint32_t> Seen;  // the kinds of message that passed, in order
    bool Fired = false;
    int Depth = 0;  // messages the procedure below is handling now
    // A row's own trap (the form rows): the victim goes at the event that
    // calls Event, or, with TrapAt, at that message below the server,
    // before the control handles it.
    bool OwnTrap = false;
    UINT TrapAt = 0;
    std::vector<std::shared_ptr<void>> Keep;  // helpers the row's trap uses
    // What reached the procedure below the server after the free: each
    // message, and a placement's flags.
    std::vector<std::pair<UINT, UINT>> Reached;
    TsSkinProvider *OtherP = nullptr;  // the provider of the form beside, when a row gives it one
    // A kind whose adapter goes by what the application does, not by
    // freeing it (a menu window's, which turning the skin off frees).
    std::function<void()> FreeAdapter;
    vcl::TGuarded<vcl::TPopupMenu> Popup;  // a menu row's popup (its form owns it)
    bool InMenuWindow = false;  // the menu row's event counts once the menu window shows

    HWND LiveWindow() const { return Window && IsWindow(Window) ? Window : nullptr; }
    TvlNcBarsWnd *Bars() const {
        if (Adapter) return dynamic_cast<TvlNcBarsWnd *>(Adapter.get());
        // A form's own bars, which its provider serves.
        auto *provider = dynamic_cast<TsSkinProvider *>(Server);
        return provider ? dynamic_cast<TvlNcBarsWnd *>(provider->FormScrollAdapter.get()) : nullptr;
    }
    vcl::TWinControl *Windowed() const { return dynamic_cast<vcl::TWinControl *>(Control); }

    void Below(UINT Msg, WPARAM WParam, LPARAM LParam = 0) {
        if (OwnTrap || !Armed || !RunsApplicationCode(Msg, WParam)) return;
        Seen.push_back(KindOf(Msg, WParam, LParam) | (Depth > 0 ? Nested : 0));
        if (static_cast<int>(Seen.size()) - 1 != FireAt) return;
        Fire();
    }
    void Fire() {
        Armed = false;
        Fired = true;
        if (Victim == TVictim::Adapter) {
            if (FreeAdapter) FreeAdapter();
            FreeServer();
        } else if (Victim == TVictim::Sibling) {
            delete std::exchange(Sibling, {}).Get();
        } else {
            FreeControl();
        }
    }
    void FreeServer() {
        Adapter.reset();
        Handler.reset();
        delete std::exchange(Server, nullptr);
    }
    void FreeControl() {
        if (!Control) {
            DestroyWindow(Window);
            return;
        }
        if (Trapped == Control) Trapped = nullptr;
        // What serves the control and belongs to it goes with it.
        if (Server && Server->Owner() == Control) Server = nullptr;
        delete std::exchange(Control, nullptr);
    }
    // A message that came while the control handled another: the class
    // library still works on the control then, so only the adapter is
    // freed there.
    static constexpr std::uint32_t Nested = 0x8000;
    // A message and, for those that carry one, its sub-command or scroll
    // code; a style change by the bits it changes, so that a second change
    // made inside the first (the skin taking a bit back) is a place of its own.
    static std::uint32_t KindOf(UINT Msg, WPARAM WParam, LPARAM LParam = 0) {
        if (Msg == SM_SKINCOMMAND) return Msg << 16 | SubCommandOf(WParam);
        if ((Msg == WM_STYLECHANGING || Msg == WM_STYLECHANGED) && LParam) {
            const auto *change = reinterpret_cast<const STYLESTRUCT *>(LParam);
            const bool ex = WParam == static_cast<WPARAM>(GWL_EXSTYLE);
            return Msg << 16 | (ex ? 0x4000u : 0u) | (((change->styleOld ^ change->styleNew) >> 16) & 0x3FFF);
        }
        if (Msg == WM_HSCROLL || Msg == WM_VSCROLL || Msg == vcl::CN_HSCROLL || Msg == vcl::CN_VSCROLL)
            return Msg << 16 | LOWORD(WParam);
        return Msg << 16;
    }
    // The control's OnChange, which the class library calls itself.
    void Changed(vcl::TObject *) { Below(vcl::CM_CHANGED, 0); }
    // The application's handlers of a row's own trap.
    void Event() {
        if (OwnTrap && Armed && !TrapAt) Fire();
    }
    void Notify(vcl::TObject *) { Event(); }
    void CloseQuery(vcl::TObject *, bool &) { Event(); }
    void Close(vcl::TObject *, vcl::TCloseAction &) { Event(); }
    void Mouse(vcl::TObject *, vcl::TMouseButton, vcl::TShiftState, int, int) { Event(); }
    void MouseMove(vcl::TObject *, vcl::TShiftState, int, int) { Event(); }
    void AnimationEnd(TvlAnimEvent) { Event(); }
    void SkinItem(vcl::TObject *, bool &, std::string &) { Event(); }
    void ExtHitTest(vcl::TMessage &) { Event(); }
    // The menu painter's and the skin manager's, as the menus are measured and drawn.
    void MenuEvent() {
        if (!InMenuWindow || MenuWindowShown()) Event();
    }
    // A menu window is on screen with its adapter.
    static bool MenuWindowShown() {
        for (HWND w = FindWindowExW(nullptr, nullptr, L"#32768", nullptr); w;
             w = FindWindowExW(nullptr, w, L"#32768", nullptr))
            if (IsWindowVisible(w) && TvlMnuArray::Instance().Find(w)) return true;
        return false;
    }
    void DrawItem(vcl::TObject *, vcl::TCanvas *, vcl::TRect, vcl::TOwnerDrawState, TsMenuItemType) { MenuEvent(); }
    void ItemData(vcl::TComponent *, std::uint32_t, vcl::TFont *) { MenuEvent(); }
    void ExtraLine(vcl::TComponent *, std::string &, std::string &, vcl::TBitmap *&, bool &) { MenuEvent(); }
    // A control's own drawing events.
    void DrawPanel(vcl::TStatusBar *, vcl::TStatusPanel *, const vcl::TRect &) { Event(); }
    void DrawComboItem(vcl::TWinControl *, int, const vcl::TRect &, unsigned) { Event(); }
    void DrawTab(vcl::TCustomTabControl *, int, const vcl::TRect &, bool) { Event(); }
    void DrawHostTab(vcl::TCustomTabControl *, int, const vcl::TRect &, bool) {
        if (HostAnswering) Event();
    }
    // An application's drawing over each item, which looks at the item.
    int Looked = 0;
    void LookAtItem(vcl::TObject *Sender, vcl::TCanvas *, vcl::TRect, vcl::TOwnerDrawState, TsMenuItemType) {
        Looked += static_cast<vcl::TMenuItem *>(Sender)->Caption().c_str()[0];
    }
    vcl::TNotifyEvent AsNotify() { return vcl::TNotifyEvent::Bind<&TRun::Notify>(this); }
    vcl::TMouseEvent AsMouse() { return vcl::TMouseEvent::Bind<&TRun::Mouse>(this); }
    void ControlProc(vcl::TMessage &M) {
        if (OwnTrap && Armed && TrapAt && M.Msg == TrapAt) {
            Fire();
            if (!Control) return;  // the form went: nothing of it handles the message
        }
        if (Fired) {
            const bool placement = M.Msg == WM_WINDOWPOSCHANGING || M.Msg == WM_WINDOWPOSCHANGED;
            Reached.push_back({M.Msg, placement ? reinterpret_cast<const WINDOWPOS *>(M.LParam)->flags : 0});
        }
        ++Depth;
        Next(M);
        --Depth;
        Below(M.Msg, M.WParam, M.LParam);
    }
};

// The run under way, for the procedure below a bare window.
inline TRun *Current = nullptr;

inline LRESULT CALLBACK HostProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TRun *run = Current;
    // Its tabs drawn for its own paint do not count, only those drawn for an answer.
    const bool answering = Msg == SM_SKINCOMMAND && SubCommandOf(WParam) == SC_GET_BG_INFO;
    run->HostAnswering += answering;
    const LRESULT answer = CallWindowProcW(run->HostNext, Window, Msg, WParam, LParam);
    run->HostAnswering -= answering;
    return answer;
}

inline LRESULT CALLBACK BareProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TRun *run = Current;
    ++run->Depth;
    const LRESULT answer = CallWindowProcW(run->NextProc, Window, Msg, WParam, LParam);
    --run->Depth;
    run->Below(Msg, WParam, LParam);
    return answer;
}

// The adapter a dialog's child window of this class and style gets.
inline constexpr int DialogChild = -1;
// Served by the kind's Serve, not the factory.
inline constexpr int Served = -2;

// The host a dialog's child adapters are given to: the run keeps the adapter.
class TChildHost : public TvlDialogChildHost {
public:
    explicit TChildHost(TRun &Run) : FRun(Run) {}
    void AddChildAdapter(std::unique_ptr<TvlMainWnd> Adapter) override {
        FRun.Adapter.reset(static_cast<TvlWindowAdapter *>(Adapter.release()));
    }
    TsSkinManager *ChildSkinManager() const override { return DefaultManager(); }
    bool DialogCacheEmpty() const override { return true; }
    void ClearSuppressPaint() override {}
    void AdaptChildren() override {}
    void ReleaseOnceGone(HWND) override {}

private:
    TRun &FRun;
};

struct TKind {
    const char *Name;
    int Factory;  // the factory's kind, or DialogChild
    std::function<void(TRun &)> Make;
    const char *Actions;  // the names of the actions that apply, blank-separated
    // Serves the window made in place of the factory, once the procedure
    // below is in place (sets the run's Server).
    std::function<void(TRun &)> Serve = {};
    // The form provider's kinds: the actions that carry their own trap, with
    // a manager whose skin has extended borders and whose form animations
    // are as short as they go (their paths run, their frames do not).
    bool Framed = false;
    bool Bordered = false;  // with an extended border
    // Its sections are in the skin of plain colours only.
    bool Light = false;
};

struct TAction {
    const char *Name;
    std::function<void(TRun &)> Drive;
    // The form provider's actions carry their own trap (TRun::OwnTrap):
    // Prepare puts the application's handler in place (and the form in the
    // state the action needs); TrapAt, when not 0, is the message below the
    // provider that frees instead.
    bool OwnTrap = false;
    std::function<void(TRun &)> Prepare = {};
    UINT TrapAt = 0;
    bool FormToo = true;  // the form may go from there as well
    bool BorderOnly = false;  // on the bordered form only: the border window's own
    // What the action does to the form, checked after it while the form
    // lives: the provider's end must not swallow it.
    std::function<void(const TRun &)> Done = {};
    bool OfForms = true;  // a row of each form provider's kind
};

// ------------------------------------------- shared by the table's parts

inline vcl::TForm *FormOf(const TRun &R) { return static_cast<vcl::TForm *>(R.Control); }
inline TsSkinProvider *ProviderOf(const TRun &R) { return static_cast<TsSkinProvider *>(R.Server); }

inline void Settle() { uitest::PumpUntil([] { return false; }, 30ms); }

// The window repainted at once, frame and children too.
void Redraw(const TRun &R);
// A form of its own beside the test's form, which takes the activation.
void MakeForm(TRun &R);
// Its provider, with an extended border or without, the form shown.
void ServeForm(TRun &R, bool Bordered);
// The default manager's menu painter.
TsSkinableMenus &Painter();
// A popup of a form of its own (see FreedByApplicationMenus.cpp).
void MakePopup(TRun &R);

// ------------------------------------------------------- the table's parts

// The kinds, in the order of the rows.
const std::vector<TKind> &Kinds();
// The adapters' actions.
std::vector<TAction> AdapterActions();
// The menu painter's events and the controls' own drawing events.
std::vector<TAction> MenuActions();
// The form provider's actions.
std::vector<TAction> FormActions();

} // namespace skin::freed
