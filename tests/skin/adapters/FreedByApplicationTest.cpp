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
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <cctype>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <thread>
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

namespace skin {
namespace {

using namespace skin::test;
using namespace std::chrono_literals;

// The messages after which the application's code runs in the procedure
// below an adapter: painting, focus, size, scrolling, the end of a press,
// the window's end, text, font and colour changes, change and draw notices,
// and the skin's news. (Queries an adapter sends for an answer are not among
// them.)
bool RunsApplicationCode(UINT Msg, WPARAM WParam) {
    switch (Msg) {
    case WM_PAINT: case WM_ERASEBKGND: case WM_NCPAINT: case WM_PRINT: case WM_PRINTCLIENT:
    case WM_SETFOCUS: case WM_KILLFOCUS: case vcl::CM_ENTER: case vcl::CM_EXIT:
    case WM_SIZE: case WM_WINDOWPOSCHANGED:
    case WM_HSCROLL: case WM_VSCROLL: case vcl::CN_HSCROLL: case vcl::CN_VSCROLL:
    case WM_CANCELMODE: case WM_CAPTURECHANGED: case WM_DESTROY: case WM_NCDESTROY:
    case WM_SETFONT: case vcl::CM_FONTCHANGED: case vcl::CM_COLORCHANGED:
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

    void Below(UINT Msg, WPARAM WParam) {
        if (OwnTrap || !Armed || !RunsApplicationCode(Msg, WParam)) return;
        Seen.push_back(KindOf(Msg, WParam) | (Depth > 0 ? Nested : 0));
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
    // A message and, for those that carry one, its sub-command or scroll code.
    static std::uint32_t KindOf(UINT Msg, WPARAM WParam) {
        if (Msg == SM_SKINCOMMAND) return Msg << 16 | SubCommandOf(WParam);
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
        Below(M.Msg, M.WParam);
    }
};

TRun *Current = nullptr;

LRESULT CALLBACK HostProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TRun *run = Current;
    // Its tabs drawn for its own paint do not count, only those drawn for an answer.
    const bool answering = Msg == SM_SKINCOMMAND && SubCommandOf(WParam) == SC_GET_BG_INFO;
    run->HostAnswering += answering;
    const LRESULT answer = CallWindowProcW(run->HostNext, Window, Msg, WParam, LParam);
    run->HostAnswering -= answering;
    return answer;
}

LRESULT CALLBACK BareProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TRun *run = Current;
    ++run->Depth;
    const LRESULT answer = CallWindowProcW(run->NextProc, Window, Msg, WParam, LParam);
    --run->Depth;
    run->Below(Msg, WParam);
    return answer;
}

// The adapter a dialog's child window of this class and style gets.
constexpr int DialogChild = -1;
// Served by the kind's Serve, not the factory.
constexpr int Served = -2;

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

// ------------------------------------------------------------- the kinds

template <class C> C *Put(TRun &R, C *Control, int W = 160, int H = 90) {
    Control->SetBounds(20, 20, W, H);
    Control->SetParent(R.Host ? R.Host : R.Form);
    R.Control = Control;
    return Control;
}

std::string Lines(int N) {
    std::string text;
    for (int i = 0; i < N; ++i) text += "Line " + std::to_string(i) + "\r\n";
    return text;
}

void Bare(TRun &R, const wchar_t *Class, DWORD Style, DWORD ExStyle = 0) {
    R.Window = CreateWindowExW(ExStyle, Class, L"Text", WS_CHILD | WS_VISIBLE | Style, 20, 20, 160, 90,
                               (R.Host ? R.Host : R.Form)->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
}

void Fill(HWND Window, UINT AddMsg, int N) {
    for (int i = 0; i < N; ++i) SendMessageW(Window, AddMsg, 0, reinterpret_cast<LPARAM>(L"Item"));
}

// Two labels on Parent, from Top down: the first holds the trap, the
// second is its later sibling.
void Labels(TRun &R, vcl::TWinControl *Parent, int Top = 8) {
    vcl::TLabel *labels[2];
    for (int i = 0; i < 2; ++i) {
        labels[i] = vcl::Create<vcl::TLabel>(R.Form);
        labels[i]->SetBounds(8, Top + 24 * i, 60, 18);
        labels[i]->SetCaption("Label");
        labels[i]->SetParent(Parent);
    }
    R.Trapped = labels[0];
    R.Sibling = vcl::TGuarded<vcl::TComponent>(labels[1]);
}

// ------------------------------------------------- the form provider's kinds


vcl::TForm *FormOf(const TRun &R) { return static_cast<vcl::TForm *>(R.Control); }
TsSkinProvider *ProviderOf(const TRun &R) { return static_cast<TsSkinProvider *>(R.Server); }

void Settle() { uitest::PumpUntil([] { return false; }, 30ms); }

// A form of its own beside the test's form, which takes the activation.
void MakeForm(TRun &R) {
    auto *form = vcl::Create<vcl::TForm>(vcl::Application, vcl::CreateNew);
    form->SetName("Freed");
    form->SetBounds(300, 200, 420, 300);
    form->SetCaption("Freed");
    R.Control = form;
}

void ServeForm(TRun &R, bool Bordered) {
    auto *p = vcl::Create<TsSkinProvider>(FormOf(R));
    p->SetAllowExtBorders(Bordered);
    R.Server = p;
    FormOf(R)->Show();
    EXPECT_TRUE(uitest::ActivateAndWait(R.Window, 2s));
    EXPECT_EQ(p->BorderForm != nullptr, Bordered);
    Settle();
}

void SendTo(const TRun &R, UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0) {
    SendMessageW(R.Window, Msg, WParam, LParam);
}
void Command(const TRun &R, WPARAM Command) { SendTo(R, WM_SYSCOMMAND, Command); }
void Place(const TRun &R, int X, int Y, int W, int H) {
    SetWindowPos(R.Window, nullptr, X, Y, W, H, SWP_NOZORDER | SWP_NOACTIVATE);
}
void Redraw(const TRun &R) {
    RedrawWindow(R.Window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}
// The activation moves to W, or the row frees on the way.
void Activate(const TRun &R, HWND W) {
    SetForegroundWindow(W);
    uitest::PumpUntil([&] { return R.Fired || GetForegroundWindow() == W; }, 2s);
}
HWND Other(const TRun &R) { return R.Form->Handle(); }
// The form's picture, as an application asks for one.
void Print(const TRun &R) {
    const vcl::TWindowDC screen;
    const vcl::TMemoryDC memory(screen.Get());
    const vcl::TBitmapHandle bitmap(CreateCompatibleBitmap(screen.Get(), 800, 600));
    const vcl::TSelectObject selected(memory.Get(), bitmap.Get());
    SendTo(R, WM_PRINT, reinterpret_cast<WPARAM>(memory.Get()), PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
    if (R.LiveWindow()) SendTo(R, WM_PRINT, reinterpret_cast<WPARAM>(memory.Get()), PRF_CLIENT | PRF_NONCLIENT);
}
// The window that takes the mouse over the caption: the border window
// where there is one.
HWND CaptionWindow(const TRun &R) {
    return ProviderOf(R)->BorderWindow() ? ProviderOf(R)->BorderWindow() : R.Window;
}
// The minimize's flight or the restore's is over (or the row freed).
void AwaitFlight(const TRun &R) {
    uitest::PumpUntil(
        [&] {
            return R.Fired || !R.Server ||
                   !(ProviderOf(R)->StateFlags & (pfMinimizeAnimation | pfRestoreAnimation));
        },
        3s);
}
// The manager's refresh of its skin, as it reaches each skinned form.
void Refresh(const TRun &R) {
    SendTo(R, SM_SKINCOMMAND, SkinCommand(SC_SKIN_REFRESH),
           reinterpret_cast<LPARAM>(ProviderOf(R)->SkinData()->GetSkinManager()));
}
void SkinOn(const TRun &R, bool On) { ProviderOf(R)->SkinData()->GetSkinManager()->SetActive(On); }
// The form beside gets a skin of its own, after this one.
void SkinOther(TRun &R) {
    R.OtherP = vcl::Create<TsSkinProvider>(R.Form);
    R.Form->Hide();
    R.Form->Show();
}
// The skin's colours change: every skinned form fades to its new look, the
// one beside too, whatever went before it.
void ChangeHue(const TRun &R) {
    TsSkinManager *m = DefaultManager();
    m->SetHueOffset(m->HueOffset() + 40);
    if (R.OtherP) {
        EXPECT_FALSE(R.OtherP->StateFlags & pfSkinChangeRedrawLocked) << "the form beside was left out";
    }
}
// A show that lost its provider on the way still shows the form, opaque.
void ExpectShown(const TRun &R) {
    if (!R.Control) return;
    EXPECT_TRUE(IsWindowVisible(R.Window));
    BYTE alpha = 255;
    DWORD flags = 0;
    if (GetWindowLongPtrW(R.Window, GWL_EXSTYLE) & WS_EX_LAYERED)
        GetLayeredWindowAttributes(R.Window, nullptr, &alpha, &flags);
    EXPECT_EQ((flags & LWA_ALPHA) ? alpha : 255, 255);
}
void AddMainMenu(TRun &R) {
    auto *menu = vcl::Create<vcl::TMainMenu>(R.Control);
    vcl::TMenuItem *item = vcl::Create<vcl::TMenuItem>(menu);
    item->SetCaption("&File");
    menu->Items()->Add(item);
    FormOf(R)->SetMenu(menu);
    Settle();
}
// A title bar of one button on the form, its item drawn in the caption.
TvlTitleBarItem *AddTitleItem(TRun &R) {
    auto *bar = vcl::Create<TsTitleBar>(R.Control);
    TvlTitleBarItem *item = bar->Items()->Add();
    item->SetCaption("Item");
    ProviderOf(R)->SetTitleBar(bar);
    ProviderOf(R)->SkinData()->BGChanged = true;
    ProviderOf(R)->RenderFrame();
    return item;
}
// A screen point of the title bar's first item, as mouse messages carry it.
LPARAM AtFramePart(const TRun &R, const vcl::TRect &Part) {
    RECT w{};
    GetWindowRect(R.Window, &w);
    const vcl::TPoint off = ProviderOf(R)->WindowToFrameOffset();
    return MAKELPARAM(w.left - off.X + (Part.Left + Part.Right) / 2, w.top - off.Y + (Part.Top + Part.Bottom) / 2);
}
LPARAM AtItem(const TRun &R) { return AtFramePart(R, ProviderOf(R)->TitleBar()->Items()->Items(0)->Rect); }
// The close button's point, as mouse messages carry it.
LPARAM AtClose(const TRun &R) { return AtFramePart(R, ProviderOf(R)->ButtonClose.Rect); }
// The mouse over the caption part of Code at At, then Leave with the
// form's painting as the trap.
void HotThenLeft(TRun &R, int Code, LPARAM At, const std::function<void()> &Leave) {
    SendTo(R, WM_NCMOUSEMOVE, Code, At);
    EXPECT_EQ(ProviderOf(R)->CurrentButton, Code);
    FormOf(R)->OnPaint = R.AsNotify();
    Leave();
}
LPARAM AtClient(const TRun &R) {
    RECT w{};
    GetWindowRect(R.Window, &w);
    return MAKELPARAM((w.left + w.right) / 2, (w.top + w.bottom) / 2);
}

// A window class of the application's own, which no adapter serves.
const wchar_t *ApplicationChildClass() {
    static const ATOM atom = [] {
        WNDCLASSW c{};
        c.lpfnWndProc = DefWindowProcW;
        c.hInstance = GetModuleHandleW(nullptr);
        c.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
        c.lpszClassName = L"FreedTestChild";
        return RegisterClassW(&c);
    }();
    return atom ? L"FreedTestChild" : L"STATIC";
}

// A dialog window of the system's class, which its dialog provider serves.
void MakeDialog(TRun &R) {
    R.Window = CreateWindowExW(WS_EX_DLGMODALFRAME, WC_DIALOG, L"Dialog", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
                               100, 100, 300, 200, R.Form->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
}
void ServeDialog(TRun &R) {
    auto *provider = vcl::Create<TvlProvider>(nullptr);
    R.Server = provider;
    provider->AttachToDialog(R.Window);
    EXPECT_TRUE(provider->DialogAdapter()) << "no dialog adapter";
}

// Blended moves on for the row (the run's end puts them off again), with
// the system's full-window dragging, whose move loop moves the window.
void BlendedMoves(TRun &R) {
    DefaultManager()->AnimEffects()->BlendOnMoving->Active = true;
    BOOL full = FALSE;
    SystemParametersInfoW(SPI_GETDRAGFULLWINDOWS, 0, &full, 0);
    SystemParametersInfoW(SPI_SETDRAGFULLWINDOWS, TRUE, nullptr, 0);
    R.Keep.push_back(std::shared_ptr<void>(nullptr, [full](void *) {
        DefaultManager()->AnimEffects()->BlendOnMoving->Active = false;
        SystemParametersInfoW(SPI_SETDRAGFULLWINDOWS, full, nullptr, 0);
    }));
}
void MouseInput(DWORD Flags, POINT At) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>(At.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1));
    in.mi.dy = static_cast<LONG>(At.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1));
    in.mi.dwFlags = Flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    SendInput(1, &in, sizeof in);
}
// A press on the caption, a drag of 15 steps and the release, from a second
// thread while this one pumps.
void DragCaption(TRun &R) {
    RECT w{};
    GetWindowRect(R.Window, &w);
    POINT grip{(w.left + w.right) / 2, w.top + 2};
    while (grip.y < w.top + 40 && SendMessageW(R.Window, WM_NCHITTEST, 0, MAKELPARAM(grip.x, grip.y)) != HTCAPTION)
        ++grip.y;
    std::atomic<bool> done = false;
    std::thread user([&] {
        MouseInput(0, grip);
        std::this_thread::sleep_for(50ms);
        MouseInput(MOUSEEVENTF_LEFTDOWN, grip);
        for (int i = 1; i <= 15; ++i) {
            std::this_thread::sleep_for(20ms);
            MouseInput(0, POINT{grip.x + 4 * i, grip.y + 2 * i});
        }
        std::this_thread::sleep_for(30ms);
        MouseInput(MOUSEEVENTF_LEFTUP, POINT{grip.x + 60, grip.y + 30});
        done = true;
    });
    uitest::PumpUntil([&] { return done && (!R.Server || !(ProviderOf(R)->StateFlags & pfBlendOnMoving)); }, 5s);
    user.join();
    ParkCursor();
}

// The default manager's menu painter.
TsSkinableMenus &Painter() { return dynamic_cast<TsSkinableMenus &>(DefaultManager()->SkinableMenus()); }

// A popup that the system tracks until a timer's first tick ends it.
class TShortPopup : public vcl::TPopupMenu {
public:
    using vcl::TPopupMenu::TPopupMenu;

protected:
    UINT TrackMenu(HMENU Menu, int X, int Y, HWND Owner) override {
        const UINT_PTR timer = SetTimer(nullptr, 0, 150, &End);
        const UINT chosen = vcl::TPopupMenu::TrackMenu(Menu, X, Y, Owner);
        KillTimer(nullptr, timer);
        return chosen;
    }

private:
    static void CALLBACK End(HWND, UINT, UINT_PTR, DWORD) { EndMenu(); }
};

// A popup of a form of its own, shown for that form, with a divider, a
// shortcut and a submenu; its first item is the row's item.
void MakePopup(TRun &R) {
    MakeForm(R);
    FormOf(R)->Show();
    auto *popup = vcl::Create<TShortPopup>(FormOf(R));
    for (const char *caption : {"One", "Two", "-", "Three"}) {
        auto *item = vcl::Create<vcl::TMenuItem>(popup);
        item->SetCaption(caption);
        popup->Items()->Add(item);
    }
    popup->Items()->Items(1)->SetShortCut(vcl::ShortCut('T', vcl::TShiftState{vcl::ssCtrl}));
    auto *sub = vcl::Create<vcl::TMenuItem>(popup);
    sub->SetCaption("Four");
    popup->Items()->Items(3)->Add(sub);
    popup->SetWindowHandle(FormOf(R)->Handle());
    R.Popup = vcl::TGuarded<vcl::TPopupMenu>(popup);
    R.Sibling = vcl::TGuarded<vcl::TComponent>(popup->Items()->Items(0));
}
// The popup shows under the system's tracking until the timer's first tick
// ends it.
void ShowPopup(TRun &R) {
    RECT r{};
    GetWindowRect(FormOf(R)->Handle(), &r);
    R.Popup->Popup(r.left + 40, r.top + 60);
}
// The popup's first item drawn into a DC of no window, as a system that
// paints its menus off the screen first asks for it.
void DrawPopupItemOffScreen(TRun &R) {
    vcl::TMenuItem *item = R.Popup->Items()->Items(0);
    const vcl::TWindowDC screen;
    const vcl::TMemoryDC memory(screen.Get());
    const vcl::TBitmapHandle bitmap(CreateCompatibleBitmap(screen.Get(), 200, 40));
    const vcl::TSelectObject selected(memory.Get(), bitmap.Get());
    DRAWITEMSTRUCT d{};
    d.CtlType = ODT_MENU;
    d.itemID = item->Command();
    d.itemAction = ODA_DRAWENTIRE;
    d.hDC = memory.Get();
    d.rcItem = {0, 0, 200, 22};
    d.itemData = item->Command();
    SendMessageW(FormOf(R)->Handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&d));
}
// A form's menu bar of two items whose first is the row's item.
void AddLineMenu(TRun &R) {
    AddMainMenu(R);
    auto *second = vcl::Create<vcl::TMenuItem>(FormOf(R)->Menu());
    second->SetCaption("&Edit");
    FormOf(R)->Menu()->Items()->Add(second);
    Settle();
    R.Sibling = vcl::TGuarded<vcl::TComponent>(FormOf(R)->Menu()->Items()->Items(0));
}
// The system draws the bar's first item highlighted, as it does while it
// tracks the bar.
void DrawLineItem(TRun &R) {
    vcl::TMenuItem *item = FormOf(R)->Menu()->Items()->Items(0);
    const vcl::TWindowDC dc(R.Window, GetWindowDC(R.Window));
    DRAWITEMSTRUCT d{};
    d.CtlType = ODT_MENU;
    d.itemID = item->Command();
    d.itemAction = ODA_SELECT;
    d.itemState = ODS_SELECTED;
    d.hwndItem = reinterpret_cast<HWND>(GetMenu(R.Window));
    d.hDC = dc.Get();
    d.rcItem = {8, 30, 60, 48};
    d.itemData = item->Command();
    SendTo(R, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&d));
}

// A child whose own procedure is the application's trap as it paints.
struct TChildTrap {
    TRun *R;
    vcl::TWndMethod Next;
    void Proc(vcl::TMessage &M) {
        const vcl::TWndMethod next = Next;
        if (M.Msg == WM_PAINT || M.Msg == WM_PRINT || M.Msg == WM_PRINTCLIENT) {
            R->Event();
            if (!R->Control) return;
        }
        next(M);
    }
};

// Children whose own procedures free as they paint: a label before a
// second one, and an edit before a second one.
void AddPaintingChildren(TRun &R) {
    vcl::TForm *form = FormOf(R);
    const auto add = [&](vcl::TControl *Child, int Top) {
        Child->SetBounds(10, Top, 80, 20);
        Child->SetParent(form);
        return Child;
    };
    for (int i = 0; i < 2; ++i) {
        vcl::TControl *label = add(vcl::Create<vcl::TLabel>(form), 10 + 30 * i);
        vcl::TControl *edit = add(vcl::Create<vcl::TEdit>(form), 80 + 30 * i);
        if (i > 0) continue;
        for (vcl::TControl *painter : {label, edit}) {
            auto trap = std::make_shared<TChildTrap>(TChildTrap{&R, painter->WindowProc});
            painter->WindowProc = vcl::TWndMethod::Bind<&TChildTrap::Proc>(trap.get());
            R.Keep.push_back(trap);
        }
    }
}

// The user holds the form's bottom-right corner in an outline drag.
void HoldCorner(TRun &R) {
    ProviderOf(R)->SetResizeMode(rmBorder);
    RECT w{};
    GetWindowRect(R.Window, &w);
    ProviderOf(R)->BeginOutlineDrag(HTBOTTOMRIGHT, {w.right, w.bottom});
}
// ... takes it 30 pixels right and down and lets go.
void LetGoOfCorner(TRun &R) {
    RECT w{};
    GetWindowRect(R.Window, &w);
    POINT p{w.right + 30, w.bottom + 30};
    ScreenToClient(R.Window, &p);
    SendTo(R, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    SendTo(R, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
}
// A screen point of the caption, left of its buttons.
LPARAM AtCaption(const TRun &R) {
    RECT w{};
    GetWindowRect(R.Window, &w);
    return MAKELPARAM(w.left + 60, w.top + ProviderOf(R)->GetCaptionHeight(true) / 2);
}
// The mouse over the border window's outer shadow, left of the form.
void CursorOnShadow(const TRun &R) {
    RECT b{};
    GetWindowRect(CaptionWindow(R), &b);
    SetCursorPos(b.left, (b.top + b.bottom) / 2);
}

const std::vector<TKind> &Kinds() {
    static const std::vector<TKind> kinds = {
        {"Button", tpButton, [](TRun &R) { Put(R, vcl::Create<vcl::TButton>(R.Form))->SetCaption("OK"); },
         "focus size font colour skin removal bgquery"},
        {"Edit", tpEdit, [](TRun &R) { Put(R, vcl::Create<vcl::TEdit>(R.Form), 160, 24)->SetText("Text"); },
         "paint print focus size font colour skin removal bgquery"},
        {"Memo", tpEdit,
         [](TRun &R) {
             auto *memo = Put(R, vcl::Create<vcl::TMemo>(R.Form));
             memo->SetScrollBars(vcl::ssVertical);
             memo->Lines()->SetText(Lines(40));
         },
         "paint print focus size font colour skin removal line page thumb cancel capture destroy barsize bgquery"},
        {"ListBox", tpEdit,
         [](TRun &R) {
             Bare(R, L"LISTBOX", WS_VSCROLL | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE);
             Fill(R.Window, LB_ADDSTRING, 40);
         },
         "paint print size skin removal line page thumb cancel capture destroy bgquery"},
        {"ComboBox", tpComboBox,
         [](TRun &R) {
             auto *combo = Put(R, vcl::Create<vcl::TComboBox>(R.Form), 160, 24);
             for (int i = 0; i < 20; ++i) combo->Items()->Add("Item " + std::to_string(i));
             combo->SetItemIndex(0);
         },
         "paint focus size font colour skin removal drop bgquery"},
        {"ListView", tpListView,
         [](TRun &R) {
             Bare(R, WC_LISTVIEWW, LVS_LIST, WS_EX_CLIENTEDGE);
             for (int i = 0; i < 60; ++i) {
                 LVITEMW item{};
                 item.mask = LVIF_TEXT;
                 item.iItem = i;
                 item.pszText = const_cast<wchar_t *>(L"Item");
                 SendMessageW(R.Window, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
             }
         },
         "paint print size skin removal bgquery"},
        {"TreeView", tpTreeView,
         [](TRun &R) {
             Bare(R, WC_TREEVIEWW, TVS_HASLINES, WS_EX_CLIENTEDGE);
             for (int i = 0; i < 30; ++i) {
                 TVINSERTSTRUCTW ins{};
                 ins.hInsertAfter = TVI_LAST;
                 ins.item.mask = TVIF_TEXT;
                 ins.item.pszText = const_cast<wchar_t *>(L"Node");
                 SendMessageW(R.Window, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins));
             }
         },
         "paint print size skin removal line page thumb cancel capture destroy bgquery"},
        {"Grid", tpGrid, [](TRun &R) { Put(R, vcl::Create<TTestPlainGrid>(R.Form)); }, "paint print focus size font colour skin removal bgquery"},
        {"GridEh", tpGridEh, [](TRun &R) { Put(R, vcl::Create<TTestGridEh>(R.Form)); }, "paint print focus size font colour skin removal bgquery"},
        {"ScrollBar", tpScrollBar,
         [](TRun &R) {
             auto *bar = Put(R, vcl::Create<vcl::TScrollBar>(R.Form), 160, 18);
             bar->SetPosition(30);
             bar->OnChange = vcl::TNotifyEvent::Bind<&TRun::Changed>(&R);
         },
         "size skin removal position bgquery"},
        {"GroupBox", tpGroupBox, [](TRun &R) { Put(R, vcl::Create<vcl::TGroupBox>(R.Form))->SetCaption("Group"); },
         "paint size font colour skin removal text bgquery"},
        {"Panel", tpPanel, [](TRun &R) { Put(R, vcl::Create<vcl::TPanel>(R.Form))->SetCaption("Panel"); },
         "size font colour skin removal text bgquery"},
        {"StaticText", tpStaticText,
         [](TRun &R) { Put(R, vcl::Create<vcl::TStaticText>(R.Form), 160, 22)->SetCaption("Static"); },
         "size font colour skin removal text bgquery"},
        {"ScrollBox", tpScrollControl,
         [](TRun &R) {
             auto *box = Put(R, vcl::Create<vcl::TScrollBox>(R.Form));
             auto *inner = vcl::Create<vcl::TButton>(R.Form);
             inner->SetBounds(10, 200, 80, 24);
             inner->SetParent(box);
         },
         "size skin removal cancel destroy text bgquery"},
        {"BitBtn", tpBitBtn, [](TRun &R) { Put(R, vcl::Create<vcl::TBitBtn>(R.Form))->SetCaption("Bit"); },
         "focus size font colour skin removal bgquery"},
        {"CheckBox", tpCheckBox,
         [](TRun &R) { Put(R, vcl::Create<vcl::TCheckBox>(R.Form), 160, 22)->SetCaption("Check"); },
         "focus size font colour skin removal bgquery"},
        {"UpDown", tpUpDown, [](TRun &R) { Put(R, vcl::Create<vcl::TUpDown>(R.Form), 18, 40); }, "size skin removal bgquery"},
        {"StatusBar", tpStatusBar, [](TRun &R) { Put(R, vcl::Create<vcl::TStatusBar>(R.Form), 160, 22); },
         "size font skin removal bgquery"},
        {"TabControl", tpTabControl,
         [](TRun &R) {
             auto *tabs = Put(R, vcl::Create<vcl::TTabControl>(R.Form));
             tabs->Tabs()->Add("One");
             tabs->Tabs()->Add("Two");
         },
         "paint print size font skin removal bgquery"},
        {"VirtualTree", tpVirtualTree,
         [](TRun &R) {
             auto *memo = Put(R, vcl::Create<vcl::TMemo>(R.Form));
             memo->SetScrollBars(vcl::ssVertical);
             memo->Lines()->SetText(Lines(40));
         },
         "paint print focus size font colour skin removal line cancel destroy bgquery"},
        {"WWEdit", tpWWEdit,
         [](TRun &R) {
             auto *combo = Put(R, vcl::Create<vcl::TComboBox>(R.Form), 160, 24);
             combo->Items()->Add("Item");
         },
         "paint focus size font colour skin removal bgquery"},
        {"NativePaint", tpNativePaint, [](TRun &R) { Put(R, vcl::Create<vcl::TPanel>(R.Form))->SetCaption("Native"); },
         "paint size font colour skin removal bgquery"},
        // Controls the application draws a part of, in its event: a status
        // bar's owner-drawn panel, an owner-drawn combo box's items, an
        // owner-drawn tab control's tabs (skinned: the stored skin has no
        // tab control); skinned, and with the skin off as the class library
        // draws them.
        {"OwnerDrawStatusBar", tpStatusBar,
         [](TRun &R) {
             auto *bar = Put(R, vcl::Create<vcl::TStatusBar>(R.Form), 160, 22);
             for (int i = 0; i < 2; ++i) bar->Panels()->Add()->SetWidth(60);
             bar->Panels()->Items(0)->SetStyle(vcl::psOwnerDraw);
             bar->UpdatePanels();
         },
         "OnDrawPanel OnDrawPanel_unskinned"},
        {"OwnerDrawCombo", tpComboBox,
         [](TRun &R) {
             auto *combo = Put(R, vcl::Create<vcl::TComboBox>(R.Form), 160, 24);
             combo->SetStyle(vcl::csOwnerDrawFixed);
             for (int i = 0; i < 20; ++i) combo->Items()->Add("Item " + std::to_string(i));
             combo->SetItemIndex(0);
         },
         "OnDrawItem_in_the_field OnDrawItem_in_the_list OnDrawItem_unskinned"},
        {"OwnerDrawTabs", tpTabControl,
         [](TRun &R) {
             auto *tabs = Put(R, vcl::Create<vcl::TTabControl>(R.Form));
             tabs->SetOwnerDraw(true);
             tabs->Tabs()->Add("One");
             tabs->Tabs()->Add("Two");
         },
         "OnDrawTab OnDrawTab_in_a_print OnDrawTab_unskinned", {}, false, false, true},
        // Skinned: it chooses a tab with its drawing off.
        {"SkinnedTabs", tpTabControl,
         [](TRun &R) {
             auto *tabs = Put(R, vcl::Create<vcl::TTabControl>(R.Form));
             tabs->Tabs()->Add("One");
             tabs->Tabs()->Add("Two");
         },
         "select", {}, false, false, true},
        {"PageControl", tpPageControl,
         [](TRun &R) {
             auto *pages = Put(R, vcl::Create<vcl::TPageControl>(R.Form));
             for (const char *name : {"One", "Two"}) {
                 auto *sheet = vcl::Create<vcl::TTabSheet>(R.Form);
                 sheet->SetCaption(name);
                 sheet->SetPageControl(pages);
             }
         },
         "paint print size font skin removal bgquery"},
        {"PanelChildren", tpPanel, [](TRun &R) { Labels(R, Put(R, vcl::Create<vcl::TPanel>(R.Form))); },
         "paint print updatedone showing paint_unskinned skin barsize bgquery"},
        {"ButtonChildren", tpButton, [](TRun &R) { Labels(R, Put(R, vcl::Create<vcl::TButton>(R.Form), 160, 60)); },
         "hover"},
        {"GroupBoxChildren", tpGroupBox, [](TRun &R) { Labels(R, Put(R, vcl::Create<vcl::TGroupBox>(R.Form))); },
         "paint print updatedone showing paint_unskinned"},
        {"ScrollBoxChildren", tpScrollControl, [](TRun &R) { Labels(R, Put(R, vcl::Create<vcl::TScrollBox>(R.Form))); },
         "updatedone showing skin"},
        {"StaticTextChildren", tpStaticText,
         [](TRun &R) { Labels(R, Put(R, vcl::Create<vcl::TStaticText>(R.Form), 160, 90)); }, "showing skin"},
        // Skinned (the stored skin has no tab control), it paints its
        // labels into its own picture, in its print and its erase.
        {"TabControlChildren", tpTabControl,
         [](TRun &R) {
             auto *tabs = Put(R, vcl::Create<vcl::TTabControl>(R.Form));
             tabs->Tabs()->Add("One");
             Labels(R, tabs, 30);
         },
         "paint print", {}, false, false, true},
        {"WindowedChildren", tpPanel,
         [](TRun &R) {
             auto *panel = Put(R, vcl::Create<vcl::TPanel>(R.Form));
             vcl::TButton *buttons[2];
             for (int i = 0; i < 2; ++i) {
                 buttons[i] = vcl::Create<vcl::TButton>(R.Form);
                 buttons[i]->SetBounds(8, 8 + 30 * i, 80, 24);
                 buttons[i]->SetParent(panel);
             }
             panel->HandleNeeded();
             R.Trapped = buttons[0];
             R.Sibling = vcl::TGuarded<vcl::TComponent>(buttons[1]);
         },
         "print"},
        {"SpeedButton", tpSpeedButton,
         [](TRun &R) { Put(R, vcl::Create<vcl::TSpeedButton>(R.Form), 80, 26)->SetCaption("Speed"); },
         "print font removal pass"},
        {"BareButton", tpButton, [](TRun &R) { Bare(R, L"BUTTON", BS_PUSHBUTTON); }, "focus size removal bgquery"},
        {"BareCombo", tpComboBox,
         [](TRun &R) {
             Bare(R, L"COMBOBOX", WS_VSCROLL | CBS_DROPDOWN);
             Fill(R.Window, CB_ADDSTRING, 20);
         },
         "paint focus size skin removal drop bgquery"},
        {"BareScrollBar", tpScrollBar, [](TRun &R) { Bare(R, L"SCROLLBAR", SBS_VERT); }, "size bgquery"},
        {"DialogStatic", DialogChild, [](TRun &R) { Bare(R, L"STATIC", SS_LEFT); }, "size removal bgquery"},
        {"DialogIcon", DialogChild,
         [](TRun &R) {
             Bare(R, L"STATIC", SS_ICON);
             SendMessageW(R.Window, STM_SETICON,
                          reinterpret_cast<WPARAM>(LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_INFORMATION))), 0);
         },
         "removal bgquery"},
        {"DialogCheckBox", DialogChild, [](TRun &R) { Bare(R, L"BUTTON", BS_AUTOCHECKBOX); }, "focus size removal bgquery"},
        {"DialogGroupBox", DialogChild, [](TRun &R) { Bare(R, L"BUTTON", BS_GROUPBOX); }, "paint size skin removal bgquery"},
        {"DialogLink", DialogChild, [](TRun &R) { Bare(R, L"SysLink", 0); }, "size removal bgquery"},
        {"DialogSizer", DialogChild, [](TRun &R) { Bare(R, L"SCROLLBAR", SBS_SIZEGRIP); }, "removal bgquery"},
        {"DialogPane", DialogChild, [](TRun &R) { Bare(R, WC_DIALOG, 0); }, "size removal bgquery"},
        {"DialogTrack", DialogChild, [](TRun &R) { Bare(R, TRACKBAR_CLASSW, 0); }, "focus size removal bgquery"},
        {"DialogSpin", DialogChild, [](TRun &R) { Bare(R, UPDOWN_CLASSW, 0); }, "size removal"},
        {"DialogTabs", DialogChild,
         [](TRun &R) {
             Bare(R, WC_TABCONTROLW, 0);
             TCITEMW item{};
             item.mask = TCIF_TEXT;
             item.pszText = const_cast<wchar_t *>(L"Tab");
             SendMessageW(R.Window, TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
         },
         "paint print size skin removal bgquery"},
        {"DialogToolBar", DialogChild,
         [](TRun &R) {
             Bare(R, TOOLBARCLASSNAMEW, CCS_NOPARENTALIGN | CCS_NORESIZE);
             SendMessageW(R.Window, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
             TBBUTTON buttons[2] = {};
             for (int i = 0; i < 2; ++i) {
                 buttons[i].iBitmap = I_IMAGENONE;
                 buttons[i].idCommand = 100 + i;
                 buttons[i].fsState = TBSTATE_ENABLED;
                 buttons[i].iString = reinterpret_cast<INT_PTR>(L"Tool");
             }
             SendMessageW(R.Window, TB_ADDBUTTONSW, 2, reinterpret_cast<LPARAM>(buttons));
         },
         "size removal bgquery"},
        {"DialogProgress", DialogChild, [](TRun &R) { Bare(R, PROGRESS_CLASSW, 0); }, "paint print size skin removal bgquery"},
        {"ToolBar", tpToolBar,
         [](TRun &R) {
             auto *bar = Put(R, vcl::Create<vcl::TToolBar>(R.Form), 160, 30);
             for (int i = 0; i < 3; ++i) vcl::Create<vcl::TToolButton>(bar)->SetToolBar(bar);
         },
         "paint print size font skin removal bgquery"},
        // Its labels are painted in the bar's custom-draw event.
        {"ToolBarChildren", tpToolBar, [](TRun &R) { Labels(R, Put(R, vcl::Create<vcl::TToolBar>(R.Form), 160, 80), 30); },
         "paint print"},
        // An MDI parent of its own, served by its provider, which makes the
        // client's adapter; the trap sits below both the form's procedure
        // and the client's, and the application frees the provider.
        {"MDIClient", Served,
         [](TRun &R) {
             auto *form = vcl::Create<vcl::TForm>(nullptr, vcl::CreateNew);
             form->SetFormStyle(vcl::fsMDIForm);
             form->SetBounds(60, 60, 420, 300);
             form->Show();
             R.Control = form;
         },
         "paint size tile menu formsize removal",
         [](TRun &R) {
             auto *form = static_cast<vcl::TForm *>(R.Control);
             R.Window = form->ClientHandle();
             R.NextProc = reinterpret_cast<WNDPROC>(
                 SetWindowLongPtrW(R.Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&BareProc)));
             auto *provider = vcl::Create<TsSkinProvider>(form);
             R.Server = provider;
             EXPECT_TRUE(provider->MDIHelper && provider->MDIHelper->ClientAdapter) << "no client adapter";
         }},
        // A form's own scroll bars, served by its provider.
        {"FormScroll", Served,
         [](TRun &R) {
             auto *form = vcl::Create<vcl::TForm>(nullptr, vcl::CreateNew);
             form->SetBounds(80, 80, 360, 260);
             form->Show();
             const HWND w = form->Handle();
             SetWindowLongPtrW(w, GWL_STYLE, GetWindowLongPtrW(w, GWL_STYLE) | WS_VSCROLL);
             SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE, 0, 1000, 100, 0, 0};
             SetScrollInfo(w, SB_VERT, &info, FALSE);
             SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
             R.Control = form;
         },
         "size line page thumb cancel capture",
         [](TRun &R) {
             auto *provider = vcl::Create<TsSkinProvider>(R.Control);
             R.Server = provider;
             provider->UpdateFormScrollBars();
             EXPECT_TRUE(R.Bars()) << "no scroll adapter";
         }},
        {"DialogWindow", Served, MakeDialog, "paint size focus skin removal show", ServeDialog},
        // The same with a child of the application's own class: its paint,
        // in the picture the dialog's show takes, may end the dialog.
        {"DialogWithChild", Served,
         [](TRun &R) {
             MakeDialog(R);
             R.TrapWindow = CreateWindowExW(0, ApplicationChildClass(), L"", WS_CHILD | WS_VISIBLE, 20, 20, 100, 30,
                                            R.Window, nullptr, GetModuleHandleW(nullptr), nullptr);
         },
         "show", ServeDialog},
        // A popup menu's window, served by the menu adapter.
        {"MenuWindow", Served,
         [](TRun &R) {
             R.Window = CreateWindowExW(WS_EX_TOPMOST, L"#32768", L"", WS_POPUP | WS_BORDER | WS_VISIBLE, 100, 100, 120,
                                        80, R.Form->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
         },
         "paint size",
         [](TRun &R) {
             TvlSkinParams params;
             params.SkinSection = "MAINMENU";
             R.Adapter.reset(static_cast<TvlMainWnd *>(NewAdapter<TvlMnuWnd>(R.Window, nullptr, DefaultManager(), params).release()));
         }},
        // A popup whose items the skin's menu painter draws, shown for a form
        // of its own; the application turns the skin off (which frees the
        // menu windows' adapters), frees the form (the popup with it) or an
        // item.
        {"PopupMenu", Served, MakePopup, "popup_OnPopup popup_OnDrawItem popup_OnGetPopupItemData popup_OnGetMenuExtraLineData "
         "popup_OnGetPopupItemData_in_its_window popup_OnGetMenuExtraLineData_in_its_window "
         "popup_OnGetPopupItemData_drawn_off_screen",
         [](TRun &R) {
             Painter().SetMenuOwnerDraw(R.Popup.Get(), true);
             R.FreeAdapter = [] { DefaultManager()->SetActive(false); };
         },
         false, false, true},
        {"Form", Served, MakeForm, "", [](TRun &R) { ServeForm(R, false); }, true},
        {"BorderedForm", Served, MakeForm, "", [](TRun &R) { ServeForm(R, true); }, true, true},
    };
    return kinds;
}

// ------------------------------------------------------------ the actions

// A point inside the part of the adapter's vertical bar (screen).
POINT BarPart(TRun &R, int Part) {
    TvlNcBarsWnd *bars = R.Bars();
    if (!bars) return {0, 0};  // its server went
    const vcl::TRect rect = VertScrollBarRect(*bars);
    const int x = (rect.Left + rect.Right) / 2;
    for (int y = rect.Top; y < rect.Bottom; ++y)
        if (ScrollBarPartAt(*bars->VertBar, rect, x, y) == Part) return {x, y + 1};
    return {x, rect.Bottom - 2};
}

// A press on the part while the adapter and its window are there.
void Press(TRun &R, int Part) {
    if (!R.Bars() || !R.LiveWindow()) return;
    const POINT p = BarPart(R, Part);
    SendMessageW(R.Window, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(p.x, p.y));
}

void Release(TRun &R) {
    if (const HWND w = R.LiveWindow()) SendMessageW(w, WM_LBUTTONUP, 0, 0);
}

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

TAction FormAction(const char *Name, UINT TrapAt, std::function<void(TRun &)> Prepare,
                   std::function<void(TRun &)> Drive, bool FormToo = true, bool BorderOnly = false) {
    return {Name, std::move(Drive), true, std::move(Prepare), TrapAt, FormToo, BorderOnly};
}

TAction Did(TAction Action, std::function<void(const TRun &)> Done) {
    Action.Done = std::move(Done);
    return Action;
}

// ------------------------------------------- what the form's actions did

void Hidden(const TRun &R) {
    uitest::PumpUntil([&] { return !IsWindowVisible(R.Window); }, 1s);
    EXPECT_FALSE(IsWindowVisible(R.Window)) << "the form was not hidden";
}
void Shown(const TRun &R) {
    uitest::PumpUntil([&] { return IsWindowVisible(R.Window) != 0; }, 1s);
    ExpectShown(R);
}
void Iconic(const TRun &R) {
    uitest::PumpUntil([&] { return IsIconic(R.Window) != 0; }, 2s);
    EXPECT_TRUE(IsIconic(R.Window)) << "the form was not minimized";
}
void Zoomed(const TRun &R) { EXPECT_TRUE(IsZoomed(R.Window)) << "the form was not maximized"; }
void Restored(const TRun &R) {
    uitest::PumpUntil([&] { return !IsIconic(R.Window) && !IsZoomed(R.Window); }, 2s);
    EXPECT_TRUE(!IsIconic(R.Window) && !IsZoomed(R.Window)) << "the form was not restored";
}
std::function<void(const TRun &)> PlacedAt(int X, int Y, int W, int H) {
    return [=](const TRun &R) {
        RECT r{};
        GetWindowRect(R.Window, &r);
        EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right - r.left, r.bottom - r.top}),
                  (std::vector<LONG>{X, Y, W, H}))
            << "the form was not placed";
    };
}
std::function<void(const TRun &)> ActiveIs(HWND (*Which)(const TRun &)) {
    return [=](const TRun &R) {
        uitest::PumpUntil([&] { return GetForegroundWindow() == Which(R); }, 2s);
        EXPECT_EQ(GetForegroundWindow(), Which(R)) << "the activation did not move";
    };
}
HWND Itself(const TRun &R) { return R.Window; }
void Renamed(const TRun &R) {
    wchar_t text[32] = L"";
    GetWindowTextW(R.Window, text, 32);
    EXPECT_STREQ(text, L"Renamed") << "the form did not take its text";
}
HICON RowIcon() { return LoadIconW(nullptr, IDI_APPLICATION); }
void IconSet(const TRun &R) {
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(R.Window, WM_GETICON, ICON_SMALL, 0)), RowIcon())
        << "the form did not take its icon";
}
// Msg (with Flags in its placement, for one) reached the form's own
// procedure after the free, as the system or the class library sent it.
std::function<void(const TRun &)> Reached(UINT Msg, UINT Flags = 0) {
    return [=](const TRun &R) {
        bool reached = false;
        for (const auto &[msg, flags] : R.Reached) reached = reached || (msg == Msg && (flags & Flags) == Flags);
        EXPECT_TRUE(reached) << "message 0x" << std::hex << Msg << " did not reach the form";
    };
}
std::function<void(const TRun &)> Both(std::function<void(const TRun &)> A, std::function<void(const TRun &)> B) {
    return [=](const TRun &R) {
        A(R);
        B(R);
    };
}
void Disabled(const TRun &R) { EXPECT_FALSE(IsWindowEnabled(R.Window)) << "the form was not disabled"; }

// The item's data asked for by an application that draws over its items too.
void ItemDataTrap(TRun &R) {
    DefaultManager()->OnGetPopupItemData = TvlPopupItemDataEvent::Bind<&TRun::ItemData>(&R);
    Painter().OnDrawItem = TsMenuManagerDrawItemEvent::Bind<&TRun::LookAtItem>(&R);
}

// The menu painter's events in a popup: a row of the kinds that name it.
TAction MenuAction(const char *Name, std::function<void(TRun &)> Prepare,
                   std::function<void(TRun &)> Drive = ShowPopup) {
    return {Name, std::move(Drive), true, std::move(Prepare), 0, true, false, {}, false};
}

// Events of the class library, and its own messages from its own changes of
// the form, that touch the form after they return: the form itself may not
// go from inside them (an application releases it instead).
constexpr bool ProviderOnly = false;
// The border window's own rows.
constexpr bool BorderOnly = true;

void WatchHitTest(TRun &R) { ProviderOf(R)->OnExtHitTest = TvlNCHitTest::Bind<&TRun::ExtHitTest>(&R); }

const std::vector<TAction> &Actions() {
    static const std::vector<TAction> actions = {
        {"paint", [](TRun &R) { RedrawWindow(R.Window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW); }},
        {"print",
         [](TRun &R) {
             // As the form pictures take it; a bare window is printed.
             vcl::TBitmap picture;
             picture.SetSize(220, 140);
             if (R.Control)
                 PaintControlToBitmap(picture, R.Control, 0, 0, nullptr);
             else
                 SendMessageW(R.Window, WM_PRINT, reinterpret_cast<WPARAM>(picture.Canvas()->Handle()),
                              PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
         }},
        // With the skin off, as the class library paints a control's labels.
        {"paint_unskinned",
         [](TRun &R) {
             DefaultManager()->SetActive(false);
             if (R.LiveWindow()) Redraw(R);
         }},
        {"focus",
         [](TRun &R) {
             SetFocus(R.Window);
             SetFocus(R.Form->Handle());
         }},
        {"size", [](TRun &R) { SetWindowPos(R.Window, nullptr, 0, 0, 150, 80, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE); }},
        {"font", [](TRun &R) { R.Control->Font()->SetSize(R.Control->Font()->Size() + 2); }},
        {"colour", [](TRun &R) { R.Control->SetColor(0x2060A0); }},
        {"skin", [](TRun &R) { DefaultManager()->UpdateSkin(true); }},
        {"removal", [](TRun &R) { DefaultManager()->SetActive(false); }},
        // The skin's scroll bars change size: every control's frame is
        // calculated again, then its children's.
        {"barsize",
         [](TRun &R) {
             TvlScrollBarsSupport *bars = DefaultManager()->ScrollsOptions();
             const int size = bars->ScrollSize();
             R.Keep.push_back(std::shared_ptr<void>(nullptr, [bars, size](void *) { bars->SetScrollSize(size); }));
             bars->SetScrollSize(size + 4);
         }},
        // The application renames the control.
        {"text",
         [](TRun &R) {
             if (R.Control)
                 R.Control->SetText("Renamed");
             else
                 SetWindowTextW(R.Window, L"Renamed");
         }},
        {"hover",
         [](TRun &R) {
             // With the fades on: the new look is painted, children and all,
             // for the fade.
             RECT r{};
             GetWindowRect(R.Window, &r);
             SetCursorPos(r.left + 4, r.top + 4);
             DefaultManager()->Effects()->AllowAnimation = true;
             SendSkinCommand(R.Window, SC_MOUSE_ENTERED, 0);
             DefaultManager()->Effects()->AllowAnimation = false;
             ParkCursor();
         }},
        // Down, then back up: each direction's own code.
        {"line",
         [](TRun &R) {
             for (int part : {spSecondArrow, spFirstArrow}) {
                 Press(R, part);
                 Release(R);
             }
         }},
        {"page",
         [](TRun &R) {
             for (int part : {spTrackAfter, spTrackBefore}) {
                 Press(R, part);
                 Release(R);
             }
         }},
        {"thumb",
         [](TRun &R) {
             Press(R, spThumb);
             if (const HWND w = R.LiveWindow()) {
                 POINT p = BarPart(R, spTrackAfter);
                 ScreenToClient(w, &p);
                 SendMessageW(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y + 20));
             }
             Release(R);
         }},
        {"cancel",
         [](TRun &R) {
             Press(R, spSecondArrow);
             if (const HWND w = R.LiveWindow()) SendMessageW(w, WM_CANCELMODE, 0, 0);
         }},
        {"capture",
         [](TRun &R) {
             Press(R, spSecondArrow);
             SetCapture(R.Form->Handle());
             ReleaseCapture();
         }},
        {"destroy",
         [](TRun &R) {
             Press(R, spSecondArrow);
             if (R.Control && R.Victim == TVictim::Adapter)
                 R.FreeControl();
             else if (const HWND w = R.LiveWindow())
                 DestroyWindow(w);
         }},
        {"drop",
         [](TRun &R) {
             SendMessageW(R.Window, CB_SHOWDROPDOWN, TRUE, 0);
             if (const HWND w = R.LiveWindow()) SendMessageW(w, CB_SHOWDROPDOWN, FALSE, 0);
         }},
        // The parent's update ends while the control's paint is locked: the
        // control paints, then tells its children.
        {"updatedone",
         [](TRun &R) {
             SendMessageW(R.Window, SM_SKINCOMMAND, SkinCommand(SC_SET_UPDATING, 1), 0);
             if (const HWND w = R.LiveWindow()) SendSkinCommand(w, SC_PARENT_UPDATE_DONE, 0);
         }},
        // The form shows again: its controls hear that they show.
        {"showing",
         [](TRun &R) {
             R.Form->Hide();
             R.Form->Show();
         }},
        {"position", [](TRun &R) { static_cast<vcl::TScrollBar *>(R.Control)->SetPosition(70); }},
        {"pass",
         [](TRun &R) {
             // The mouse comes over the control and goes, as the class
             // library sees it.
             POINT p{R.Control->Left() + R.Control->Width() / 2, R.Control->Top() + R.Control->Height() / 2};
             ClientToScreen(R.Control->Parent()->Handle(), &p);
             SetCursorPos(p.x, p.y);
             vcl::Application->UpdateMouseControl();
             ParkCursor();
             vcl::Application->UpdateMouseControl();
         }},
        {"select", [](TRun &R) { SendMessageW(R.Window, TCM_SETCURSEL, 1, 0); }},
        {"tile", [](TRun &R) { SendMessageW(R.Window, WM_MDITILE, MDITILE_VERTICAL, 0); }},
        {"show",
         [](TRun &R) {
             // Hidden at once, then shown with the skin's show animation,
             // which takes the dialog's picture, children and all.
             ShowWindow(R.Window, SW_HIDE);
             if (!R.LiveWindow()) return;
             TsSkinManager *m = DefaultManager();
             m->Effects()->AllowAnimation = true;
             const std::uint16_t time = std::exchange(m->AnimEffects()->DialogShow->Time, 20);
             ShowWindow(R.Window, SW_SHOW);
             m->AnimEffects()->DialogShow->Time = time;
             m->Effects()->AllowAnimation = false;
         }},
        {"menu",
         [](TRun &R) {
             // The application gives the parent its menu bar.
             auto *menu = vcl::Create<vcl::TMainMenu>(R.Control);
             auto *item = vcl::Create<vcl::TMenuItem>(menu);
             item->SetCaption("File");
             menu->Items()->Add(item);
             static_cast<vcl::TForm *>(R.Control)->SetMenu(menu);
         }},
        {"formsize",
         [](TRun &R) {
             SetWindowPos(static_cast<vcl::TWinControl *>(R.Control)->Handle(), nullptr, 0, 0, 460, 330,
                          SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
         }},
        // A control's own drawing event, as its window paints or its list drops.
        MenuAction("OnDrawPanel",
                   [](TRun &R) {
                       static_cast<vcl::TStatusBar *>(R.Control)->OnDrawPanel =
                           vcl::TDrawPanelEvent::Bind<&TRun::DrawPanel>(&R);
                   },
                   [](TRun &R) { RedrawWindow(R.Window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW); }),
        MenuAction("OnDrawItem_in_the_field",
                   [](TRun &R) {
                       static_cast<vcl::TComboBox *>(R.Control)->OnDrawItem =
                           vcl::TDrawItemEvent::Bind<&TRun::DrawComboItem>(&R);
                   },
                   [](TRun &R) { RedrawWindow(R.Window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW); }),
        MenuAction("OnDrawItem_in_the_list",
                   [](TRun &R) {
                       static_cast<vcl::TComboBox *>(R.Control)->OnDrawItem =
                           vcl::TDrawItemEvent::Bind<&TRun::DrawComboItem>(&R);
                   },
                   [](TRun &R) {
                       SendMessageW(R.Window, CB_SHOWDROPDOWN, TRUE, 0);
                       if (const HWND w = R.LiveWindow()) SendMessageW(w, CB_SHOWDROPDOWN, FALSE, 0);
                   }),
        MenuAction("OnDrawTab",
                   [](TRun &R) {
                       static_cast<vcl::TTabControl *>(R.Control)->OnDrawTab = vcl::TDrawTabEvent::Bind<&TRun::DrawTab>(&R);
                   },
                   Redraw),
        MenuAction("OnDrawTab_in_a_print",
                   [](TRun &R) {
                       static_cast<vcl::TTabControl *>(R.Control)->OnDrawTab = vcl::TDrawTabEvent::Bind<&TRun::DrawTab>(&R);
                   },
                   [](TRun &R) {
                       vcl::TBitmap picture;
                       picture.SetSize(220, 140);
                       PaintControlToBitmap(picture, R.Control, 0, 0, nullptr);
                   }),
        // The same events with the skin off, as the class library draws them.
        MenuAction("OnDrawPanel_unskinned",
                   [](TRun &R) {
                       static_cast<vcl::TStatusBar *>(R.Control)->OnDrawPanel =
                           vcl::TDrawPanelEvent::Bind<&TRun::DrawPanel>(&R);
                       DefaultManager()->SetActive(false);
                   },
                   Redraw),
        MenuAction("OnDrawItem_unskinned",
                   [](TRun &R) {
                       static_cast<vcl::TComboBox *>(R.Control)->OnDrawItem =
                           vcl::TDrawItemEvent::Bind<&TRun::DrawComboItem>(&R);
                       DefaultManager()->SetActive(false);
                   },
                   Redraw),
        MenuAction("OnDrawTab_unskinned",
                   [](TRun &R) {
                       static_cast<vcl::TTabControl *>(R.Control)->OnDrawTab = vcl::TDrawTabEvent::Bind<&TRun::DrawTab>(&R);
                       DefaultManager()->SetActive(false);
                   },
                   Redraw),
        // The control asks what lies behind it while its host's picture is
        // stale: the host builds it, drawing its tabs through the application.
        MenuAction("bgquery",
                   [](TRun &R) {
                       static_cast<vcl::TTabControl *>(R.Host)->OnDrawTab =
                           vcl::TDrawTabEvent::Bind<&TRun::DrawHostTab>(&R);
                   },
                   [](TRun &R) {
                       // The host's image goes stale, then the control's with its
                       // size; the control alone is painted.
                       R.HostAdapter->SkinData->BGChanged = true;
                       if (R.Control && !R.Windowed())
                           R.Control->SetBounds(20, 20, 170, 100);
                       else
                           SetWindowPos(R.Window, nullptr, 0, 0, 170, 100,
                                        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
                       if (R.Control && !R.Windowed()) {
                           const RECT r{20, 20, 190, 120};
                           RedrawWindow(R.Window, &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
                       } else if (R.LiveWindow()) {
                           RedrawWindow(R.Window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
                       }
                   }),
        MenuAction("popup_OnPopup", [](TRun &R) { R.Popup->OnPopup = R.AsNotify(); }),
        MenuAction("popup_OnDrawItem",
                   [](TRun &R) { Painter().OnDrawItem = TsMenuManagerDrawItemEvent::Bind<&TRun::DrawItem>(&R); }),
        // As the items are measured, and once the menu window is there (its
        // own paint asks for the extra line; the items' drawing for their data).
        MenuAction("popup_OnGetPopupItemData", ItemDataTrap),
        MenuAction("popup_OnGetMenuExtraLineData",
                   [](TRun &R) {
                       DefaultManager()->OnGetMenuExtraLineData = TvlMenuExtraLineEvent::Bind<&TRun::ExtraLine>(&R);
                   }),
        MenuAction("popup_OnGetPopupItemData_in_its_window",
                   [](TRun &R) {
                       R.InMenuWindow = true;
                       ItemDataTrap(R);
                   }),
        MenuAction("popup_OnGetPopupItemData_drawn_off_screen", ItemDataTrap, DrawPopupItemOffScreen),
        MenuAction("popup_OnGetMenuExtraLineData_in_its_window",
                   [](TRun &R) {
                       R.InMenuWindow = true;
                       DefaultManager()->OnGetMenuExtraLineData = TvlMenuExtraLineEvent::Bind<&TRun::ExtraLine>(&R);
                   }),
        // The form provider's: a form event, a title-bar item's event, a
        // child's paint or a message passed on below the provider.
        // The form's events.
        Did(FormAction("OnShow", 0, [](TRun &R) { FormOf(R)->Hide(); FormOf(R)->OnShow = R.AsNotify(); },
     [](TRun &R) { FormOf(R)->Show(); }, ProviderOnly), Shown),
        Did(FormAction("OnHide", 0, [](TRun &R) { FormOf(R)->OnHide = R.AsNotify(); }, [](TRun &R) { FormOf(R)->Hide(); },
     ProviderOnly), Hidden),
        Did(FormAction("OnActivate", 0,
     [](TRun &R) {
         uitest::ActivateAndWait(Other(R), 2s);
         FormOf(R)->OnActivate = R.AsNotify();
     },
     [](TRun &R) { Activate(R, R.Window); }), ActiveIs(Itself)),
        Did(FormAction("OnDeactivate", 0, [](TRun &R) { FormOf(R)->OnDeactivate = R.AsNotify(); },
     [](TRun &R) { Activate(R, Other(R)); }), ActiveIs(Other)),
        Did(FormAction("OnCloseQuery", 0,
     [](TRun &R) { FormOf(R)->OnCloseQuery = vcl::TCloseQueryEvent::Bind<&TRun::CloseQuery>(&R); },
     [](TRun &R) { Command(R, SC_CLOSE); }, ProviderOnly), Hidden),
        Did(FormAction("OnClose", 0, [](TRun &R) { FormOf(R)->OnClose = vcl::TCloseEvent::Bind<&TRun::Close>(&R); },
     [](TRun &R) { Command(R, SC_CLOSE); }, ProviderOnly), Hidden),
        Did(FormAction("OnPaint", 0, [](TRun &R) { FormOf(R)->OnPaint = R.AsNotify(); },
     [](TRun &R) {
         FormOf(R)->SetBounds(300, 200, 440, 320);
         Redraw(R);
     },
     ProviderOnly), PlacedAt(300, 200, 440, 320)),
        FormAction("OnPaint in a skin refresh", 0, [](TRun &R) { FormOf(R)->OnPaint = R.AsNotify(); },
     [](TRun &R) { Refresh(R); }, ProviderOnly),
        FormAction("OnPaint in a skin's removal", 0, [](TRun &R) { FormOf(R)->OnPaint = R.AsNotify(); },
     [](TRun &R) { SkinOn(R, false); }, ProviderOnly),
        FormAction("OnPaint in a skin's return", 0,
     [](TRun &R) {
         SkinOn(R, false);
         FormOf(R)->OnPaint = R.AsNotify();
     },
     [](TRun &R) { SkinOn(R, true); }, ProviderOnly),
        FormAction("OnPaint in a skin's update", 0, [](TRun &R) { FormOf(R)->OnPaint = R.AsNotify(); },
     [](TRun &R) {
         TsSkinManager *m = ProviderOf(R)->SkinData()->GetSkinManager();
         m->BeginUpdate();
         m->EndUpdate(true, false);
     },
     ProviderOnly),
        FormAction("OnPaint during a print", 0, [](TRun &R) { FormOf(R)->OnPaint = R.AsNotify(); },
     [](TRun &R) { Print(R); }, ProviderOnly),
        // The children's own painting, in each picture the provider takes of
        // the form and in its repaint.
        FormAction("a child's paint in a print", 0, [](TRun &R) { AddPaintingChildren(R); }, [](TRun &R) { Print(R); },
     ProviderOnly),
        Did(FormAction("a child's paint in a hide", 0, [](TRun &R) { AddPaintingChildren(R); }, [](TRun &R) { FormOf(R)->Hide(); },
     ProviderOnly), Both(Hidden, Reached(WM_WINDOWPOSCHANGING, SWP_HIDEWINDOW))),
        FormAction("a child's paint in a repaint", 0, [](TRun &R) { AddPaintingChildren(R); }, [](TRun &R) { Redraw(R); },
     ProviderOnly),
        FormAction("a child's paint in an erase, the form looking through", 0,
     [](TRun &R) {
         EXPECT_TRUE(ProviderOf(R)->SkinData()->BGFlags() & bgfParentBackground) << "the form is opaque";
         AddPaintingChildren(R);
     },
     [](TRun &R) { Redraw(R); }, ProviderOnly),
        // The show and the skin change take the form's picture, its own
        // painting and its children's, and tell the application their end.
        FormAction("a child's paint in a show", 0,
     [](TRun &R) {
         FormOf(R)->Hide();
         AddPaintingChildren(R);
     },
     [](TRun &R) {
         FormOf(R)->Show();
         ExpectShown(R);
     },
     ProviderOnly),
        FormAction("OnPaint in a show", 0,
     [](TRun &R) {
         FormOf(R)->Hide();
         FormOf(R)->OnPaint = R.AsNotify();
     },
     [](TRun &R) {
         FormOf(R)->Show();
         ExpectShown(R);
     },
     ProviderOnly),
        Did(FormAction("OnAfterAnimation of a show", 0,
     [](TRun &R) {
         FormOf(R)->Hide();
         ProviderOf(R)->OnAfterAnimation = TvlAfterAnimation::Bind<&TRun::AnimationEnd>(&R);
     },
     [](TRun &R) { FormOf(R)->Show(); }, ProviderOnly), Shown),
        Did(FormAction("OnAfterAnimation of a hide", 0,
     [](TRun &R) { ProviderOf(R)->OnAfterAnimation = TvlAfterAnimation::Bind<&TRun::AnimationEnd>(&R); },
     [](TRun &R) {
         FormOf(R)->Hide();
         uitest::PumpUntil([&] { return R.Fired; }, 2s);
     }), Hidden),
        FormAction("a child's paint in a skin change", 0,
     [](TRun &R) {
         AddPaintingChildren(R);
         SkinOther(R);
     },
     [](TRun &R) { ChangeHue(R); }),
        FormAction("OnPaint in a skin change", 0,
     [](TRun &R) {
         FormOf(R)->OnPaint = R.AsNotify();
         SkinOther(R);
     },
     [](TRun &R) { ChangeHue(R); }, ProviderOnly),
        FormAction("OnMouseMove", 0,
     [](TRun &R) { FormOf(R)->OnMouseMove = vcl::TMouseMoveEvent::Bind<&TRun::MouseMove>(&R); },
     [](TRun &R) { SendTo(R, WM_MOUSEMOVE, 0, MAKELPARAM(20, 20)); }, ProviderOnly),
        FormAction("OnMouseEnter", 0, [](TRun &R) { FormOf(R)->OnMouseEnter = R.AsNotify(); },
     [](TRun &R) { SendTo(R, vcl::CM_MOUSEENTER); }),
        // The menu painter's, as it draws the bar's items: in the frame's
        // picture, and on the window while the system tracks the bar.
        FormAction("menu line OnDrawItem", 0,
     [](TRun &R) {
         AddLineMenu(R);
         Painter().OnDrawItem = TsMenuManagerDrawItemEvent::Bind<&TRun::DrawItem>(&R);
     },
     [](TRun &R) {
         ProviderOf(R)->SkinData()->BGChanged = true;
         Redraw(R);
     }),
        FormAction("menu line OnDrawItem while the bar is tracked", 0,
     [](TRun &R) {
         AddLineMenu(R);
         Painter().OnDrawItem = TsMenuManagerDrawItemEvent::Bind<&TRun::DrawItem>(&R);
     },
     [](TRun &R) { DrawLineItem(R); }),
        // The title bar's item events.
        FormAction("item OnMouseEnter", 0, [](TRun &R) { AddTitleItem(R)->OnMouseEnter = R.AsNotify(); },
     [](TRun &R) { SendTo(R, WM_NCMOUSEMOVE, htTitleBarItem, AtItem(R)); }),
        FormAction("item OnMouseLeave", 0, [](TRun &R) { AddTitleItem(R)->OnMouseLeave = R.AsNotify(); },
     [](TRun &R) {
         SendTo(R, WM_NCMOUSEMOVE, htTitleBarItem, AtItem(R));
         SendTo(R, WM_NCMOUSEMOVE, HTCAPTION, AtClient(R));
     }),
        FormAction("item OnMouseLeave on the caption's window", 0, [](TRun &R) { AddTitleItem(R)->OnMouseLeave = R.AsNotify(); },
     [](TRun &R) {
         SendMessageW(CaptionWindow(R), WM_NCMOUSEMOVE, htTitleBarItem, AtItem(R));
         SendMessageW(CaptionWindow(R), WM_NCMOUSEMOVE, HTCAPTION, AtClient(R));
     }),
        Did(FormAction("item OnMouseDown", 0, [](TRun &R) { AddTitleItem(R)->OnMouseDown = R.AsMouse(); },
     [](TRun &R) { SendTo(R, WM_NCLBUTTONDOWN, htTitleBarItem, AtItem(R)); }),
            // Every form's caption buttons and items would stay cold.
            [](const TRun &) { EXPECT_FALSE(FormsState().FormButtonPressed) << "the freed provider's press is held"; }),
        FormAction("item OnMouseUp", 0, [](TRun &R) { AddTitleItem(R)->OnMouseUp = R.AsMouse(); },
     [](TRun &R) {
         SendTo(R, WM_NCLBUTTONDOWN, htTitleBarItem, AtItem(R));
         SendTo(R, WM_NCLBUTTONUP, htTitleBarItem, AtItem(R));
     }),
        FormAction("item OnClick", 0, [](TRun &R) { AddTitleItem(R)->OnClick = R.AsNotify(); },
     [](TRun &R) {
         SendTo(R, WM_NCLBUTTONDOWN, htTitleBarItem, AtItem(R));
         SendTo(R, WM_NCLBUTTONUP, htTitleBarItem, AtItem(R));
     }),
        FormAction("item OnMouseLeave as the border's shadow sets the cursor", 0,
     [](TRun &R) { AddTitleItem(R)->OnMouseLeave = R.AsNotify(); },
     [](TRun &R) {
         SendTo(R, WM_NCMOUSEMOVE, htTitleBarItem, AtItem(R));
         CursorOnShadow(R);
         SendMessageW(CaptionWindow(R), WM_SETCURSOR, reinterpret_cast<WPARAM>(CaptionWindow(R)),
                      MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
         ParkCursor();
     },
     true, BorderOnly),
        // The provider's OnExtHitTest, asked by each of the border window's
        // messages and the form's that want its codes.
        FormAction("OnExtHitTest on the form", 0, WatchHitTest, [](TRun &R) { SendTo(R, WM_NCHITTEST, 0, AtCaption(R)); },
     true, BorderOnly),
        FormAction("OnExtHitTest at the form's mouse move", 0, WatchHitTest,
     [](TRun &R) { SendTo(R, WM_NCMOUSEMOVE, HTCAPTION, AtCaption(R)); }, true, BorderOnly),
        FormAction("OnExtHitTest at the form's release", 0, WatchHitTest,
     [](TRun &R) { SendTo(R, WM_NCLBUTTONUP, static_cast<WPARAM>(htAskBorderForm), AtCaption(R)); }, true, BorderOnly),
        FormAction("OnExtHitTest at the form's right release", 0, WatchHitTest,
     [](TRun &R) { SendTo(R, WM_NCRBUTTONUP, HTCAPTION, AtCaption(R)); }, true, BorderOnly),
        FormAction("OnExtHitTest on the border window", 0, WatchHitTest,
     [](TRun &R) {
         for (UINT m : {WM_NCMOUSEMOVE, WM_NCLBUTTONDOWN, WM_NCRBUTTONDOWN, WM_NCLBUTTONDBLCLK})
             if (R.Server) SendMessageW(CaptionWindow(R), m, HTCAPTION, AtCaption(R));
     },
     true, BorderOnly),
        FormAction("OnExtHitTest as the border window sets the cursor", 0, WatchHitTest,
     [](TRun &R) {
         const LPARAM at = AtCaption(R);
         SetCursorPos(LOWORD(at), HIWORD(at));
         SendMessageW(CaptionWindow(R), WM_SETCURSOR, reinterpret_cast<WPARAM>(CaptionWindow(R)),
                      MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
         ParkCursor();
     },
     true, BorderOnly),
        // The end of an outline drag gives the capture back and moves the form.
        Did(FormAction("WM_CAPTURECHANGED at an outline drag's end", WM_CAPTURECHANGED, HoldCorner, LetGoOfCorner),
            PlacedAt(300, 200, 450, 330)),
        FormAction("WM_SIZE at an outline drag's end", WM_SIZE, HoldCorner, LetGoOfCorner, ProviderOnly),
        FormAction("WM_CAPTURECHANGED as another window takes the mouse from an outline drag", WM_CAPTURECHANGED,
     HoldCorner, [](TRun &R) { SetCapture(Other(R)); }),
        FormAction("WM_CAPTURECHANGED as a double click ends an outline drag", WM_CAPTURECHANGED, HoldCorner,
     [](TRun &R) { SendMessageW(CaptionWindow(R), WM_NCLBUTTONDBLCLK, HTCAPTION, AtCaption(R)); }),
        // The form's painting as a hot title-bar item or caption button
        // goes back to its normal look: the frame is painted anew, the
        // form's own painting in it. (Hot and left at once: the system's
        // own word that the mouse left would come first otherwise.)
        FormAction("OnPaint as the mouse leaves a hot caption button", 0, [](TRun &R) { AddTitleItem(R); },
     [](TRun &R) { HotThenLeft(R, HTCLOSE, AtClose(R), [&] { SendTo(R, vcl::CM_MOUSELEAVE); }); }, ProviderOnly),
        FormAction("OnPaint as an item goes cold", 0, [](TRun &R) { AddTitleItem(R); },
     [](TRun &R) {
         HotThenLeft(R, htTitleBarItem, AtItem(R), [&] { SendTo(R, WM_NCMOUSEMOVE, HTCAPTION, AtClient(R)); });
     },
     ProviderOnly),
        FormAction("OnPaint as a caption button goes cold", 0, [](TRun &R) { AddTitleItem(R); },
     [](TRun &R) {
         HotThenLeft(R, HTCLOSE, AtClose(R), [&] { SendTo(R, WM_NCMOUSEMOVE, HTCAPTION, AtClient(R)); });
     },
     ProviderOnly),
        // The form's own painting, or its children's, where the provider
        // takes the form's picture before it hands the form's message on.
        Did(FormAction("a child's paint in a placement that hides", 0, [](TRun &R) { AddPaintingChildren(R); },
                       [](TRun &R) { ShowWindow(R.Window, SW_HIDE); }, ProviderOnly),
            Both(Hidden, Reached(WM_WINDOWPOSCHANGING, SWP_HIDEWINDOW))),
        Did(FormAction("a child's paint in an unskinned hide", 0,
                       [](TRun &R) {
                           AddPaintingChildren(R);
                           ProviderOf(R)->SkinData()->SetSkinSection("NO SUCH SECTION");
                       },
                       [](TRun &R) { FormOf(R)->Hide(); }, ProviderOnly),
            Both(Hidden, Reached(vcl::CM_VISIBLECHANGED))),
        Did(FormAction("OnPaint in a caption drag", 0, [](TRun &R) { FormOf(R)->OnPaint = R.AsNotify(); },
                       [](TRun &R) {
                           // The frame is stale: the repaint before the drag renders
                           // it, the form's painting in it. The user's Esc ends a
                           // drag that the system plays.
                           PostMessageW(R.Window, WM_KEYDOWN, VK_ESCAPE, 0);
                           SendSkinCommand(R.Window, SC_INVALIDATE_CACHE, 0);
                           Command(R, SC_MOVE | HTCAPTION);
                       },
                       ProviderOnly),
            Reached(WM_SYSCOMMAND)),
        // The application changes how the provider draws the form: the new
        // frame (or region) is painted at once, the form's painting in it.
        FormAction("OnPaint as the extended border comes or goes", 0, [](TRun &R) { FormOf(R)->OnPaint = R.AsNotify(); },
                   [](TRun &R) { ProviderOf(R)->SetAllowExtBorders(!ProviderOf(R)->AllowExtBorders()); }, ProviderOnly),
        Did(FormAction("OnPaint as the form is disabled", 0, [](TRun &R) { FormOf(R)->OnPaint = R.AsNotify(); },
                       [](TRun &R) { FormOf(R)->SetEnabled(false); }, ProviderOnly),
            Disabled),
        FormAction("OnPaint as the skin's frame comes back", 0,
                   [](TRun &R) {
                       ProviderOf(R)->SetDrawNonClientArea(false);
                       FormOf(R)->OnPaint = R.AsNotify();
                   },
                   [](TRun &R) { ProviderOf(R)->SetDrawNonClientArea(true); }, ProviderOnly),
        // The provider asks the application about each control it would
        // skin: a control that comes, and each one again in a skin refresh.
        FormAction("OnSkinItem as a control comes", 0,
                   [](TRun &R) { ProviderOf(R)->OnSkinItem = TAddItemEvent::Bind<&TRun::SkinItem>(&R); },
                   [](TRun &R) {
                       auto *edit = vcl::Create<vcl::TEdit>(FormOf(R));
                       edit->SetParent(FormOf(R));
                       edit->HandleNeeded();
                   },
                   ProviderOnly),
        FormAction("OnSkinItem in a skin refresh", 0,
                   [](TRun &R) {
                       for (int i = 0; i < 2; ++i) {
                           vcl::Create<vcl::TLabel>(FormOf(R))->SetParent(FormOf(R));
                           vcl::Create<vcl::TEdit>(FormOf(R))->SetParent(FormOf(R));
                       }
                       Settle();
                       ProviderOf(R)->OnSkinItem = TAddItemEvent::Bind<&TRun::SkinItem>(&R);
                   },
                   [](TRun &R) { Refresh(R); }, ProviderOnly),
        Did(FormAction("OnSkinItem in a show", 0,
                       [](TRun &R) {
                           vcl::Create<vcl::TLabel>(FormOf(R))->SetParent(FormOf(R));
                           FormOf(R)->Hide();
                           ProviderOf(R)->OnSkinItem = TAddItemEvent::Bind<&TRun::SkinItem>(&R);
                       },
                       [](TRun &R) { FormOf(R)->Show(); }, ProviderOnly),
            Shown),
        Did(FormAction("WM_SETREDRAW in an icon change", WM_SETREDRAW, nullptr,
                       [](TRun &R) { SendTo(R, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(RowIcon())); }),
            Both(IconSet, Shown)),
        // The form's colour follows the skin's in a refresh; the menus are
        // hooked again as the form is activated or shown.
        FormAction("CM_COLORCHANGED in a skin refresh", vcl::CM_COLORCHANGED,
     [](TRun &R) { FormOf(R)->SetColor(0x123456); }, [](TRun &R) { Refresh(R); }, ProviderOnly),
        Did(FormAction("CM_MENUCHANGED in an activation", vcl::CM_MENUCHANGED,
                       [](TRun &R) {
                           AddMainMenu(R);
                           uitest::ActivateAndWait(Other(R), 2s);
                           AddMainMenu(R);
                       },
                       [](TRun &R) { Activate(R, R.Window); }),
            ActiveIs(Itself)),
        Did(FormAction("CM_MENUCHANGED on show", vcl::CM_MENUCHANGED,
                       [](TRun &R) {
                           FormOf(R)->Hide();
                           AddMainMenu(R);
                       },
                       [](TRun &R) { FormOf(R)->Show(); }, ProviderOnly),
            Shown),
        // Messages passed on below the provider.
        Did(FormAction("WM_NCACTIVATE", WM_NCACTIVATE, nullptr, [](TRun &R) { Activate(R, Other(R)); }), ActiveIs(Other)),
        Did(FormAction("WM_ACTIVATE", WM_ACTIVATE, nullptr, [](TRun &R) { Activate(R, Other(R)); }), ActiveIs(Other)),
        FormAction("WM_ACTIVATEAPP", WM_ACTIVATEAPP, nullptr, [](TRun &R) { SendTo(R, WM_ACTIVATEAPP, 1); }),
        Did(FormAction("CM_SHOWINGCHANGED on hide", vcl::CM_SHOWINGCHANGED, nullptr, [](TRun &R) { FormOf(R)->Hide(); },
     ProviderOnly), Hidden),
        Did(FormAction("CM_SHOWINGCHANGED on show", vcl::CM_SHOWINGCHANGED, [](TRun &R) { FormOf(R)->Hide(); },
     [](TRun &R) { FormOf(R)->Show(); }, ProviderOnly), Shown),
        Did(FormAction("CM_VISIBLECHANGED on hide", vcl::CM_VISIBLECHANGED, nullptr, [](TRun &R) { FormOf(R)->Hide(); },
     ProviderOnly), Hidden),
        Did(FormAction("CM_VISIBLECHANGED on show", vcl::CM_VISIBLECHANGED, [](TRun &R) { FormOf(R)->Hide(); },
     [](TRun &R) { FormOf(R)->Show(); }, ProviderOnly), Shown),
        // The system's own placements, as another program or the user makes them.
        Did(FormAction("WM_SHOWWINDOW on hide", WM_SHOWWINDOW, nullptr, [](TRun &R) { ShowWindow(R.Window, SW_HIDE); }), Hidden),
        Did(FormAction("WM_ACTIVATE in a restore", WM_ACTIVATE,
     [](TRun &R) {
         Command(R, SC_MINIMIZE);
         AwaitFlight(R);
     },
     [](TRun &R) {
         Command(R, SC_RESTORE);
         AwaitFlight(R);
     }), Restored),
        Did(FormAction("WM_SETREDRAW during a show", WM_SETREDRAW, [](TRun &R) { FormOf(R)->Hide(); },
     [](TRun &R) { FormOf(R)->Show(); }, ProviderOnly), Shown),
        Did(FormAction("WM_SHOWWINDOW on show", WM_SHOWWINDOW, [](TRun &R) { ShowWindow(R.Window, SW_HIDE); },
     [](TRun &R) { ShowWindow(R.Window, SW_SHOW); }), Shown),
        Did(FormAction("WM_WINDOWPOSCHANGING", WM_WINDOWPOSCHANGING, nullptr, [](TRun &R) { Place(R, 320, 210, 440, 320); }), PlacedAt(320, 210, 440, 320)),
        Did(FormAction("WM_WINDOWPOSCHANGED", WM_WINDOWPOSCHANGED, nullptr, [](TRun &R) { Place(R, 320, 210, 440, 320); }), PlacedAt(320, 210, 440, 320)),
        // The border's update ranks the form again, an active stay-on-top
        // one on top, as the frame repaints.
        FormAction("WM_WINDOWPOSCHANGED in the border's update", WM_WINDOWPOSCHANGED,
     [](TRun &R) {
         FormOf(R)->SetFormStyle(vcl::fsStayOnTop);
         uitest::ActivateAndWait(R.Window, 2s);
         Settle();
     },
     [](TRun &R) { Refresh(R); }, true, BorderOnly),
        // The user drags the caption of a form with an extended border, the
        // skin's blended move on: the form's window waits unseen while the
        // border window travels, and joins it where the drag left it.
        // (Not the plain form: Wine's move loop never ends once the window it drags is destroyed.)
        FormAction("WM_WINDOWPOSCHANGED in a blended move", WM_WINDOWPOSCHANGED, BlendedMoves, DragCaption, true,
                   BorderOnly),
        // (WM_SIZE, WM_MOVE and WM_ERASEBKGND come from the system's handling
        // of the class library's own placement and paint.)
        Did(FormAction("WM_SIZE", WM_SIZE, nullptr, [](TRun &R) { Place(R, 320, 210, 440, 320); }, ProviderOnly), PlacedAt(320, 210, 440, 320)),
        Did(FormAction("WM_MOVE", WM_MOVE, nullptr, [](TRun &R) { Place(R, 330, 220, 420, 300); }, ProviderOnly), PlacedAt(330, 220, 420, 300)),
        Did(FormAction("WM_GETMINMAXINFO", WM_GETMINMAXINFO, nullptr, [](TRun &R) { Command(R, SC_MAXIMIZE); }), Zoomed),
        FormAction("WM_SIZING", WM_SIZING, nullptr,
     [](TRun &R) {
         RECT r{300, 200, 730, 510};
         SendTo(R, WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&r));
     }),
        FormAction("WM_EXITSIZEMOVE", WM_EXITSIZEMOVE, nullptr, [](TRun &R) { SendTo(R, WM_EXITSIZEMOVE); }),
        Did(FormAction("WM_SYSCOMMAND minimize", WM_SYSCOMMAND, nullptr, [](TRun &R) { Command(R, SC_MINIMIZE); }), Iconic),
        Did(FormAction("WM_SYSCOMMAND maximize", WM_SYSCOMMAND, nullptr, [](TRun &R) { Command(R, SC_MAXIMIZE); }), Zoomed),
        Did(FormAction("WM_SYSCOMMAND restore", WM_SYSCOMMAND, [](TRun &R) { Command(R, SC_MAXIMIZE); },
     [](TRun &R) { Command(R, SC_RESTORE); }), Restored),
        Did(FormAction("WM_SYSCOMMAND close", WM_SYSCOMMAND, nullptr, [](TRun &R) { Command(R, SC_CLOSE); }), Hidden),
        Did(FormAction("WM_CLOSE", WM_CLOSE, nullptr, [](TRun &R) { Command(R, SC_CLOSE); }), Hidden),
        FormAction("WM_PAINT", WM_PAINT, [](TRun &R) { ProviderOf(R)->SetDrawClientArea(false); }, [](TRun &R) { Redraw(R); }),
        FormAction("WM_ERASEBKGND", WM_ERASEBKGND, [](TRun &R) { ProviderOf(R)->SetDrawClientArea(false); },
     [](TRun &R) { Redraw(R); }, ProviderOnly),
        FormAction("CM_MENUCHANGED in a skin refresh", vcl::CM_MENUCHANGED, [](TRun &R) { AddMainMenu(R); },
     [](TRun &R) { Refresh(R); }),
        Did(FormAction("WM_SETTEXT", WM_SETTEXT, nullptr, [](TRun &R) { SetWindowTextW(R.Window, L"Renamed"); }), Renamed),
        Did(FormAction("WM_SETICON", WM_SETICON, nullptr,
     [](TRun &R) { SendTo(R, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(RowIcon())); }), IconSet),
        FormAction("WM_STYLECHANGED", WM_STYLECHANGED, nullptr,
     [](TRun &R) {
         SetWindowLongPtrW(R.Window, GWL_STYLE, GetWindowLongPtrW(R.Window, GWL_STYLE) ^ WS_SYSMENU);
     }),
        Did(FormAction("CM_ENABLEDCHANGED", vcl::CM_ENABLEDCHANGED, nullptr, [](TRun &R) { FormOf(R)->SetEnabled(false); }), Disabled),
        FormAction("WM_SETTINGCHANGE", WM_SETTINGCHANGE, nullptr, [](TRun &R) { SendTo(R, WM_SETTINGCHANGE, SPI_SETWORKAREA); }),
        FormAction("WM_SYSCOLORCHANGE", WM_SYSCOLORCHANGE, nullptr, [](TRun &R) { SendTo(R, WM_SYSCOLORCHANGE); }),
        FormAction("WM_PARENTNOTIFY", WM_PARENTNOTIFY, nullptr,
     [](TRun &R) {
         auto *edit = vcl::Create<vcl::TEdit>(FormOf(R));
         edit->SetParent(FormOf(R));
         edit->HandleNeeded();
     },
     ProviderOnly),
        FormAction("CM_CONTROLLISTCHANGE", vcl::CM_CONTROLLISTCHANGE, nullptr,
     [](TRun &R) { vcl::Create<vcl::TLabel>(FormOf(R))->SetParent(FormOf(R)); }, ProviderOnly),
        FormAction("WM_NOTIFY", WM_NOTIFY, nullptr,
     [](TRun &R) {
         NMHDR header{R.Window, 1, static_cast<UINT>(-551)};  // a tab's selection changed
         SendTo(R, WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&header));
     }),
        FormAction("WM_MOUSEMOVE", WM_MOUSEMOVE, nullptr, [](TRun &R) { SendTo(R, WM_MOUSEMOVE, 0, MAKELPARAM(20, 20)); }),
        FormAction("CM_MOUSEENTER", vcl::CM_MOUSEENTER, nullptr, [](TRun &R) { SendTo(R, vcl::CM_MOUSEENTER); }),
        FormAction("CM_MOUSELEAVE", vcl::CM_MOUSELEAVE, nullptr, [](TRun &R) { SendTo(R, vcl::CM_MOUSELEAVE); }),
        FormAction("WM_NCMOUSEMOVE", WM_NCMOUSEMOVE, nullptr, [](TRun &R) { SendTo(R, WM_NCMOUSEMOVE, HTCAPTION, AtClient(R)); }),
        FormAction("WM_NCHITTEST", WM_NCHITTEST, nullptr, [](TRun &R) { SendTo(R, WM_NCHITTEST, 0, AtClient(R)); }),
        FormAction("WM_NCLBUTTONDBLCLK", WM_NCLBUTTONDBLCLK, nullptr,
     [](TRun &R) { SendTo(R, WM_NCLBUTTONDBLCLK, HTCAPTION, AtClient(R)); }),
        FormAction("WM_COPYDATA", WM_COPYDATA, nullptr,
     [](TRun &R) {
         COPYDATASTRUCT data{7, 0, nullptr};
         SendTo(R, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
     }),
        FormAction("WM_ENTERMENULOOP", WM_ENTERMENULOOP, nullptr, [](TRun &R) { SendTo(R, WM_ENTERMENULOOP); }),
        FormAction("WM_QUERYENDSESSION", WM_QUERYENDSESSION, nullptr, [](TRun &R) { SendTo(R, WM_QUERYENDSESSION); }),
        FormAction("CM_RECREATEWND", vcl::CM_RECREATEWND, nullptr, [](TRun &R) { SendTo(R, vcl::CM_RECREATEWND); }),
    };
    return actions;
}

// The rows whose form's section looks through (the Through manager's).
bool LooksThrough(const std::string &Action) { return Action.find("looking through") != std::string::npos; }

const TAction &ActionNamed(const std::string &Name) {
    for (const TAction &a : Actions())
        if (Name == a.Name) return a;
    throw std::runtime_error("no action " + Name);
}

// The sections the kinds take, in plain colours, two states each.
std::string LightSections() {
    std::string options;
    for (const char *name : {"CHECKBOX", "RADIOBUTTON", "COMBOBOX", "GROUPBOX", "PANEL", "PANEL_LOW", "TRANSPARENT",
                             "TOOLBAR", "STATUSBAR", "TABCONTROL", "PAGECONTROL", "SPEEDBUTTON", "SCROLLBAR1H",
                             "MAINMENU", "MENUITEM"})
        options += std::string("[") + name +
                   "]\r\nSTATES=2\r\nCOLOR=0x406080\r\nFONTCOLOR=0x102030\r\nHOTCOLOR=0x508090\r\n"
                   "HOTFONTCOLOR=0x203040\r\n";
    return options;
}

// ---------------------------------------------------------------- the rows

struct TRow {
    const TKind *Kind;
    std::string Action;
};

std::vector<TRow> Rows() {
    std::vector<TRow> rows;
    for (const TKind &k : Kinds()) {
        if (k.Framed) {
            for (const TAction &a : Actions())
                if (a.OwnTrap && a.OfForms && (k.Bordered || !a.BorderOnly)) rows.push_back({&k, a.Name});
            continue;
        }
        std::string names = k.Actions;
        for (std::size_t at = 0; at < names.size();) {
            const std::size_t end = std::min(names.find(' ', at), names.size());
            rows.push_back({&k, names.substr(at, end - at)});
            at = end + 1;
        }
    }
    return rows;
}

std::string RowName(const ::testing::TestParamInfo<TRow> &Info) {
    std::string name = std::string(Info.param.Kind->Name) + "_" + Info.param.Action;
    for (char &ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return name;
}

class FreedByApplication : public ::testing::TestWithParam<TRow> {
protected:
    // The stored skin, read once; a removal is undone after each run, and a
    // skin of plain colours reads again in no time.
    static void SetUpTestSuite() {
        Modules = std::make_unique<AdapterModules>();
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_LINK_CLASS | ICC_BAR_CLASSES | ICC_TAB_CLASSES |
                                                   ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&icc);
        Stored = NewManager();
        AddStoredSkin(*Stored, "Beryllo (internal)", FileBytes(HostPath(ZUVO_BERYLLO_DATA)));
        Stored->SetSkinName("Beryllo (internal)");
        Light = NewManager();
        TestSkin light;
        light.Options += LightSections();
        AddStoredSkin(*Light, "Light", light.Packed());
        Light->SetSkinName("Light");
        for (TsSkinManager *m : {Stored.get(), Light.get()}) {
            m->Effects()->AllowAnimation = false;
            m->Effects()->AllowGlowing = false;
        }
        Framed = NewManager();
        AddStoredSkin(*Framed, "Beryllo (internal)", FileBytes(HostPath(ZUVO_BERYLLO_DATA)));
        Framed->SetSkinName("Beryllo (internal)");
        // The same skin whose form section, a plain colour in a mere outline,
        // looks through to what lies behind: its client background is painted
        // as the form is erased, graphic children and all.
        ThroughDir = std::make_unique<vcl::test::TempFolder>();
        WriteStoredSkinCopy(*ThroughDir, "Through",
                            {{"BORDERSMASK=^0420,0048,0452,0080,0006,0006,0006,0006,2,1,0,0",
                              "BORDERSMASK=^0420,0048,0452,0080,0006,0006,0006,0006,2,0,0,0"}});
        Through = NewManager();
        Through->SetSkinDirectory(ThroughDir->Path());
        Through->SetSkinName("Through");
        for (TsSkinManager *m : {Framed.get(), Through.get()}) {
            m->SetExtendedBorders(true);
            m->AnimEffects()->FormShow->Time = 20;
            m->AnimEffects()->FormHide->Time = 20;
            m->AnimEffects()->SkinChanging->Time = 20;
        }
    }
    static void TearDownTestSuite() {
        Stored.reset();
        Light.reset();
        Framed.reset();
        Through.reset();
        ThroughDir.reset();
        Modules.reset();
    }
    static inline std::unique_ptr<AdapterModules> Modules;
    static inline ManagerPtr Stored, Light, Framed, Through;
    static inline std::unique_ptr<vcl::test::TempFolder> ThroughDir;

    FreedByApplication()
        : Manager(GetParam().Kind->Framed ? (LooksThrough(GetParam().Action) ? Through.get() : Framed.get())
                  : GetParam().Action == "removal" || GetParam().Action.ends_with("_unskinned") || GetParam().Kind->Light ||
                            GetParam().Action == "bgquery"  // the owner-drawn host's tabs are the skin's in plain colours
                      ? Light.get()
                      : Stored.get()) {
        Manager->SetIsDefault(true);
        Form.Show();
    }

    // A fresh control with its adapter and the procedure below it.
    void Make(TRun &R) {
        R.Form = Form.Form;
        const TKind &kind = *GetParam().Kind;
        if (GetParam().Action == "bgquery") MakeHost(R);
        kind.Make(R);
        if (!R.Trapped) R.Trapped = R.Control;
        if (auto *windowed = R.Windowed()) R.Window = windowed->Handle();
        if (R.Trapped) {
            R.Next = R.Trapped->WindowProc;
            R.Trapped->WindowProc = vcl::TWndMethod::Bind<&TRun::ControlProc>(&R);
        } else {
            R.NextProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(R.TrapWindow ? R.TrapWindow : R.Window,
                                                                     GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&BareProc)));
        }
        if (kind.Serve) {
            kind.Serve(R);
        } else if (kind.Factory == DialogChild) {
            TChildHost host(R);
            CreateDialogChildAdapters(host, R.Window);
        } else if (R.Control && !R.Windowed()) {
            R.Handler = AdapterFactory().CreateGraphicHandler(kind.Factory, R.Control, ParamsFor(R.Control),
                                                              Manager);
            R.Window = R.Control->Parent()->Handle();  // a window-less control paints in its parent's
        } else {
            R.Adapter = AdapterFactory().CreateAdapter(kind.Factory, R.Window, ParamsFor(R.Control), Manager);
        }
        ASSERT_TRUE(R.Adapter || R.Handler || R.Server || R.FreeAdapter) << kind.Name;
        RedrawWindow(R.Window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    }

    // An owner-drawn tab control over the form, skinned, for the control to sit on.
    void MakeHost(TRun &R) {
        auto *tabs = vcl::Create<vcl::TTabControl>(R.Form);
        tabs->SetBounds(0, 0, 360, 240);
        tabs->SetOwnerDraw(true);
        tabs->Tabs()->Add("One");
        tabs->Tabs()->Add("Two");
        tabs->SetParent(R.Form);
        std::shared_ptr<TvlWindowAdapter> adapter =
            AdapterFactory().CreateAdapter(tpTabControl, tabs->Handle(), ParamsFor(tabs), Manager);
        R.HostAdapter = dynamic_cast<TvlMainWnd *>(adapter.get());
        ASSERT_TRUE(R.HostAdapter);
        R.Host = tabs;
        R.HostNext = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(tabs->Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HostProc)));
        // The adapter goes before its control, both after the control on it.
        R.Keep.push_back(std::shared_ptr<void>(nullptr, [adapter, tabs, next = R.HostNext](void *) mutable {
            SetWindowLongPtrW(tabs->Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(next));
            adapter.reset();
            delete tabs;
        }));
    }

    // What is left freed, the skin back.
    void Clear(TRun &R) {
        ReleaseCapture();
        Painter().OnDrawItem = {};
        DefaultManager()->OnGetPopupItemData = {};
        DefaultManager()->OnGetMenuExtraLineData = {};
        delete R.Popup.Get();
        R.FreeServer();
        delete std::exchange(R.OtherP, nullptr);
        if (R.Trapped) R.Trapped->WindowProc = R.Next;
        if (R.Trapped != R.Control) delete R.Trapped;
        delete R.Sibling.Get();
        if (R.Control)
            delete R.Control;
        else if (R.LiveWindow() && R.Window != R.Form->Handle())
            DestroyWindow(R.Window);
        if (!Manager->Active()) Manager->SetActive(true);
    }

    // The action with the victim freed after message FireAt (-1: none);
    // the kinds of message that passed below the adapter.
    std::vector<std::uint32_t> Run(TVictim Victim, int FireAt, const std::vector<std::uint32_t> &Seen = {},
                                   bool KeepContents = false) {
        TRun run;
        Current = &run;
        run.Victim = Victim;
        run.FireAt = FireAt;
        Make(run);
        const TAction &action = ActionNamed(GetParam().Action);
        if (action.OwnTrap) {
            run.OwnTrap = true;
            run.TrapAt = action.TrapAt;
            if (action.Prepare) action.Prepare(run);
            Settle();
        }
        const void *adapter = run.Adapter ? static_cast<const void *>(run.Adapter.get())
                              : run.Handler ? static_cast<const void *>(run.Handler.get())
                                            : static_cast<const void *>(run.Server);
        const vcl::TControl *control = run.Control;
        const vcl::TComponent *sibling = run.Sibling.Get();
        static const char *const names[] = {"adapter", "control", "sibling"};
        char after[48] = "";
        if (FireAt >= 0 && FireAt < static_cast<int>(Seen.size()))
            std::snprintf(after, sizeof after, " freed after message %d (0x%08X)", FireAt, Seen[FireAt]);
        const std::string what =
            names[static_cast<int>(Victim)] + std::string(after) + (KeepContents ? ", its contents kept" : "");
        {
            const TFreedMemoryMark mark(KeepContents);
            run.Armed = true;
            action.Drive(run);
            if (action.OwnTrap) Settle();
            if (action.Done && run.Control) action.Done(run);
            run.Armed = false;
            // A later message to the window, the time for what was posted,
            // and the adapter's end where the application left it.
            if (const HWND w = run.LiveWindow()) {
                RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
                SendMessageW(w, WM_NCPAINT, 1, 0);
                SendSkinCommand(w, SC_REPAINT, 0);
            }
            vcl::Application->ProcessMessages();
            run.FreeServer();
            if (FireAt >= 0) {
                EXPECT_TRUE(run.Fired) << what;
                const void *victims[] = {adapter, control, sibling};
                if (const void *victim = victims[static_cast<int>(Victim)]) {
                    EXPECT_TRUE(mark.Untouched(victim)) << what;
                }
            }
            EXPECT_TRUE(mark.AllUntouched()) << what;
            EXPECT_EQ(mark.Faults(), 0) << what << " at " << mark.FirstFaultAddress();
        }
        Clear(run);
        Current = nullptr;
        HasSibling = sibling != nullptr;
        TrapInChildWindow = run.TrapWindow != nullptr;
        return run.Seen;
    }

    TsSkinManager *Manager;  // Stored or Light
    TestForm Form;
    bool HasSibling = false;
    bool TrapInChildWindow = false;
};

TEST_P(FreedByApplication, NothingTouchesWhatTheApplicationFreed) {
    // A row with its own trap: the provider goes there, and the form.
    if (const TAction &action = ActionNamed(GetParam().Action); action.OwnTrap) {
        for (TVictim victim : {TVictim::Adapter, TVictim::Control, TVictim::Sibling}) {
            if (victim == TVictim::Control && !action.FormToo) continue;
            if (victim == TVictim::Sibling && !HasSibling) continue;
            for (bool keep : {false, true}) {
                if (keep && victim == TVictim::Adapter) continue;
                Run(victim, 0, {}, keep);
                if (HasFailure()) return;
            }
        }
        return;
    }
    const std::vector<std::uint32_t> seen = Run(TVictim::Adapter, -1);
    if (seen.empty()) GTEST_SKIP() << "no application code runs";
    std::set<std::uint32_t> tried;
    for (std::size_t i = 0; i < seen.size(); ++i) {
        if (!tried.insert(seen[i]).second) continue;
        for (TVictim victim : {TVictim::Adapter, TVictim::Control, TVictim::Sibling}) {
            if (victim == TVictim::Sibling && !HasSibling) continue;
            if (victim != TVictim::Adapter && (seen[i] & TRun::Nested)) continue;
            // The class library's controls outlive their windows: the window's
            // last message is no place to free one.
            if (victim == TVictim::Control && seen[i] >> 16 == WM_NCDESTROY) continue;
            // Nor does the system's own dialog code outlive its dialog
            // destroyed from a child's focus message (the process heap is
            // left broken, skin or none).
            if (victim == TVictim::Control && TrapInChildWindow && seen[i] >> 16 == WM_SETFOCUS) continue;
            // Marked, a stale pointer faults; a control kept as it was shows
            // a stale value that leads to a write by the write.
            for (bool keep : {false, true}) {
                if (keep && victim == TVictim::Adapter) continue;
                Run(victim, static_cast<int>(i), seen, keep);
                if (HasFailure()) return;  // one place at a time
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Adapters, FreedByApplication, ::testing::ValuesIn(Rows()), RowName);

} // namespace
} // namespace skin
