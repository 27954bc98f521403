// Every kind of skinned form and dialog through every action that the
// application may refuse, the system may turn into something else, a
// handler may cut short by changing the skin, or the application may cut
// short by hiding or freeing the window while it is dragged: afterwards
// the window is back in sight as itself, at its own alpha, with its border
// window exactly when it should have one, no flight, animation or drag
// flag left set and nothing of ours (a cover, a snapshot, a layered
// window) left on the screen. One
// table; built twice, as InterruptedActionsTest (Windows 7: no composition)
// and InterruptedActionsAeroTest (run as Windows 10: composition, where the
// minimize and restore flights play).
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "DialogsTestSupport.h"
#include "skin/forms/sFormBorder.h"
#include "skin/forms/vlTitleBar.h"
#include "skin/forms/vlMinimizeAnimation.h"
#include "skin/graphics/vlCommonUtils.h"
#include "skin/manager/sModuleState.h"
#include "skin/manager/vlFormAnimations.h"
#include "vcl/StdCtrls.h"

#ifndef ZUVO_COMPOSITION
#define ZUVO_COMPOSITION 0
#endif

namespace skin {
namespace {

using namespace skin::test;
using namespace std::chrono_literals;

// Unsectioned: a form whose section the skin lacks, drawn by the system
// while the manager is active.
enum TKind { kPlain, kBordered, kMDIChild, kEmbedded, kTranslucent, kUnsectioned, kDialog, kBorderedDialog };
enum TAction {
    aCloseRefused,
    aMinimizeRefused,       // the form is disabled: the system leaves it where it is
    aMaximizeMinimized,     // from minimized, the system's frame for maximized forms off
    aMaximizeMinimizedNative,
    aHideShow,
    aShowMinimizedRestore,
    aSkinOffInOnShow,
    aShowRefusedInOnShow,   // OnShow raises: the show does not happen, a later one does
    aHideRefusedInOnHide,   // OnHide raises: the form stays
    aHideRefusedByWindow,   // the window's own placement handling takes the hide back
    aSkinChangedMidway,     // while a hide, and a minimize, animates
    aSkinOffMidway,         // turned off while a hide, a minimize and a restore animate, then on again
    aCommandsRefusedByWindow,  // the window's own procedure takes minimize, maximize and close without acting
    aHiddenMidDrag,         // hidden by the application while a translucent drag runs, then shown and dragged again
    aDestroyedMidDrag,      // freed by the application while a translucent drag runs
    aProviderFreedEndingMinimize,  // by the hot title-bar item's OnMouseLeave as the minimize ends
    aProviderFreedMidDrag,  // the provider freed by the application while a translucent drag runs
    aMinimizedInOneStep,    // a minimize of one step (5 and 25 ms), and its restore
    aDisabledMovedHidden,   // disabled with a veil: moved, hidden, shown again
    aSkinOffWhileDisabled,  // disabled with a veil, the skin off: moved, hidden, enabled, the skin on again
};

struct TRow {
    TKind Kind;
    TAction Action;
};
const char *const KindNames[] = {"Plain",       "Bordered",    "MDIChild", "Embedded",
                                 "Translucent", "Unsectioned", "Dialog",   "BorderedDialog"};
const char *const ActionNames[] = {"CloseRefused", "MinimizeRefused", "MaximizeMinimized", "MaximizeMinimizedNative",
                                   "HideShow", "ShowMinimizedRestore", "SkinOffInOnShow", "ShowRefusedInOnShow",
                                   "HideRefusedInOnHide", "HideRefusedByWindow", "SkinChangedMidway",
                                   "SkinOffMidway", "CommandsRefusedByWindow", "HiddenMidDrag",
                                   "DestroyedMidDrag", "ProviderFreedEndingMinimize", "ProviderFreedMidDrag",
                                   "MinimizedInOneStep", "DisabledMovedHidden", "SkinOffWhileDisabled"};
void PrintTo(const TRow &Row, std::ostream *Out) { *Out << KindNames[Row.Kind] << " " << ActionNames[Row.Action]; }

constexpr std::uint8_t OwnAlpha = 200;  // the translucent form's

bool IsDialog(TKind K) { return K == kDialog || K == kBorderedDialog; }
bool HasBorder(TKind K) { return K == kBordered || K == kBorderedDialog; }

// The managers' skin: ours, with a copy under a second name to change to.
ManagerPtr SweepManager(bool Bordered) {
    ManagerPtr m = NewManager();
    const Bytes beryllo = FileBytes(HostPath(ZUVO_BERYLLO_DATA));
    AddStoredSkin(*m, "Beryllo (internal)", beryllo);
    AddStoredSkin(*m, "Beryllo copy", beryllo);
    m->SetExtendedBorders(Bordered);
    m->SetSkinName("Beryllo (internal)");
    TvlAnimEffects &a = *m->AnimEffects();
    // Short, but with frames: every animation plays.
    for (TvlFormAnimation *each : std::initializer_list<TvlFormAnimation *>{
             a.FormShow.get(), a.FormHide.get(), a.DialogShow.get(), a.DialogHide.get(), a.Minimizing.get()}) {
        each->Active = true;
        each->Time = 30;
    }
    a.SkinChanging->Time = 30;
    m->Effects()->AllowAnimation = true;
    return m;
}

// What the dialog procedure of the sweep's dialog does.
struct DialogRules {
    static inline bool RefuseCancel = false;
    static inline bool KeepShown = false;
    static inline TsSkinManager *TurnOffOnShow = nullptr;
    static inline bool SwallowCommands = false;
};
// The system commands that a window's own procedure may take without acting.
bool Swallowed(UINT Msg, WPARAM Command) {
    const WPARAM c = Command & 0xFFF0;
    return Msg == WM_SYSCOMMAND && (c == SC_MINIMIZE || c == SC_MAXIMIZE || c == SC_CLOSE);
}
// A placement that would hide the window is taken back.
void KeepShown(LPARAM Pos) {
    if (auto *pos = reinterpret_cast<WINDOWPOS *>(Pos)) pos->flags &= ~SWP_HIDEWINDOW;
}

INT_PTR CALLBACK SweepDialogProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (DialogRules::SwallowCommands && Swallowed(Msg, WParam)) return TRUE;
    switch (Msg) {
    case WM_INITDIALOG: return TRUE;
    case WM_WINDOWPOSCHANGING:
        if (DialogRules::KeepShown) KeepShown(LParam);
        return FALSE;
    case WM_SHOWWINDOW:
        if (WParam && DialogRules::TurnOffOnShow) std::exchange(DialogRules::TurnOffOnShow, nullptr)->SetActive(false);
        return FALSE;
    case WM_COMMAND:
        if ((LOWORD(WParam) == IDCANCEL || LOWORD(WParam) == IDOK) && !DialogRules::RefuseCancel) DestroyWindow(Window);
        return TRUE;
    default: return FALSE;
    }
}

// The form or dialog of a row, with what holds it.
struct Subject {
    // Shown: false leaves the first show to the row.
    Subject(TKind Kind, TsSkinManager &Manager, bool Shown) : Kind(Kind), Manager(Manager) {
        DialogRules::RefuseCancel = false;
        DialogRules::KeepShown = false;
        DialogRules::TurnOffOnShow = nullptr;
        DialogRules::SwallowCommands = false;
        if (IsDialog(Kind)) {
            Dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), SizeableDialog().Get(), nullptr,
                                                SweepDialogProc, 0);
            SetWindowPos(Dialog, nullptr, 200, 160, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            if (Shown) Show();
            Settle();
            return;
        }
        vcl::TComponent *owner = vcl::Application;
        if (Kind == kMDIChild || Kind == kEmbedded) {
            Host.reset(vcl::Create<vcl::TForm>(nullptr, vcl::CreateNew));
            Host->SetBounds(60, 40, 640, 480);
            if (Kind == kMDIChild) Host->SetFormStyle(vcl::fsMDIForm);
            vcl::Create<TsSkinProvider>(Host.get());
            Host->Show();
            owner = Host.get();
        }
        Form = vcl::Create<vcl::TForm>(owner, vcl::CreateNew);
        Form->SetCaption("Sweep");
        if (Kind == kMDIChild) Form->SetFormStyle(vcl::fsMDIChild);
        if (Kind == kEmbedded) Form->SetParent(Host.get());
        Form->SetBounds(Host ? 20 : 200, Host ? 20 : 160, 420, 300);
        if (Kind == kTranslucent) {
            Form->SetAlphaBlend(true);
            Form->SetAlphaBlendValue(OwnAlpha);
        }
        // A control off the centre: the pictures taken hold it.
        auto *button = vcl::Create<vcl::TButton>(Form);
        button->SetCaption("OK");
        button->SetBounds(10, 10, 80, 26);
        button->SetParent(Form);
        Form->OnCloseQuery = vcl::TCloseQueryEvent::Bind<&Subject::CloseQuery>(this);
        Form->OnShow = vcl::TNotifyEvent::Bind<&Subject::Shown>(this);
        Form->OnHide = vcl::TNotifyEvent::Bind<&Subject::Hidden>(this);
        Own.Previous = Form->WindowProc;
        Form->WindowProc = vcl::TWndMethod::Bind<&OwnProcedure::Handle>(&Own);
        P = vcl::Create<TsSkinProvider>(Form);
        if (Kind == kUnsectioned) P->SkinData()->SetSkinSection("NOSUCHSECTION");
        if (Shown) Show();
        Settle();
        // The host's skin gives a form put into it a provider of its own
        // (the one made here then stands aside): the checks go to the one
        // that serves the form.
        if (TsSkinProvider *serving = FindFormProvider(Form)) P = serving;
    }
    ~Subject() {
        if (Dialog && IsWindow(Dialog)) DestroyWindow(Dialog);
        if (!Host) delete Form;
        Host.reset();
        uitest::PumpUntil([] { return false; }, 20ms);
    }
    Subject(const Subject &) = delete;
    Subject &operator=(const Subject &) = delete;

    HWND Window() const { return Dialog ? Dialog : Form->WindowHandle(); }
    TvlDialogWnd *Adapter() const { return Dialog ? DialogAdapterOf(Dialog) : nullptr; }
    HWND Border() const {
        if (Dialog) return Adapter() ? Adapter()->BorderWindow() : nullptr;
        return P ? P->BorderWindow() : nullptr;
    }

    // A translucent drag runs.
    bool Blending() const {
        if (const TvlDialogWnd *a = Adapter()) return (a->StateFlags & 0x80) != 0;
        return P && (P->StateFlags & pfBlendOnMoving);
    }
    void Command(WPARAM C) const { SendMessageW(Window(), WM_SYSCOMMAND, C, 0); }
    void Enable(bool On) const {
        if (Dialog)
            EnableWindow(Dialog, On);
        else
            Form->SetEnabled(On);
    }
    void Hide() const {
        if (Dialog)
            ShowWindow(Dialog, SW_HIDE);
        else
            Form->Hide();
    }
    void Show(bool Minimized = false) const {
        if (Dialog) {
            ShowWindow(Dialog, Minimized ? SW_SHOWMINIMIZED : SW_SHOW);
            return;
        }
        if (Minimized) Form->SetWindowState(vcl::wsMinimized);
        Form->Show();
    }
    // The application frees the window (a top-level one).
    void Free() {
        if (Dialog) {
            DestroyWindow(Dialog);
            return;
        }
        P = nullptr;
        delete std::exchange(Form, nullptr);
    }
    void RefuseClose() {
        Refuse = true;
        DialogRules::RefuseCancel = true;
    }
    void TurnSkinOffOnShow() {
        TurnOff = true;
        DialogRules::TurnOffOnShow = &Manager;
    }
    void RefuseShowOnce() { RefuseShow = true; }
    void RefuseHideOnce() { RefuseHide = true; }
    void SwallowCommands() {
        Own.SwallowCommands = true;
        DialogRules::SwallowCommands = true;
    }
    void KeepWindowShownOnHide() {
        Own.KeepShownOnHide = true;
        DialogRules::KeepShown = true;
    }
    // The application frees the provider; the form stays.
    void FreeProvider(vcl::TObject * = nullptr) { delete std::exchange(P, nullptr); }
    // A title-bar item, hot under the mouse.
    TvlTitleBarItem *HotTitleItem() {
        auto *bar = vcl::Create<TsTitleBar>(Form);
        TvlTitleBarItem *item = bar->Items()->Add();
        item->SetCaption("Item");
        P->SetTitleBar(bar);
        P->SkinData()->BGChanged = true;
        P->RenderFrame();
        RECT w{};
        GetWindowRect(Window(), &w);
        const vcl::TPoint off = P->WindowToFrameOffset();
        const vcl::TRect &r = item->Rect;
        SendMessageW(Window(), WM_NCMOUSEMOVE, htTitleBarItem,
                     MAKELPARAM(w.left - off.X + (r.Left + r.Right) / 2, w.top - off.Y + (r.Top + r.Bottom) / 2));
        return item;
    }
    // The veil's screen place less the form's.
    vcl::TRect VeilAgainstForm() const {
        if (!P || !P->DisabledVeil || !IsWindowVisible(P->DisabledVeil->WindowHandle())) return {};
        RECT v{}, f{};
        GetWindowRect(P->DisabledVeil->WindowHandle(), &v);
        GetWindowRect(Window(), &f);
        return {v.left - f.left, v.top - f.top, v.right - f.left, v.bottom - f.top};
    }

    // Pumps until no animation of ours runs any more.
    void Settle() const {
        uitest::PumpUntil(
            [&] {
                const bool flying = P && P->MinTimer && P->MinTimer->Enabled();
                const bool hiding = HideTimer() && HideTimer()->Window();
                return !flying && !hiding && !ModuleState().FormAnimationActive;
            },
            3s);
        uitest::PumpUntil([] { return false; }, 60ms);
    }

    TKind Kind;
    TsSkinManager &Manager;
    std::unique_ptr<vcl::TForm> Host;  // the MDI parent, or the form that holds the embedded one
    vcl::TForm *Form = nullptr;        // owned by the application or the host
    TsSkinProvider *P = nullptr;
    HWND Dialog = nullptr;
    bool Refuse = false;
    bool TurnOff = false;
    bool RefuseShow = false;
    bool RefuseHide = false;
    // The form's own procedure, behind the provider's (it goes after the
    // form, which calls it to the end).
    struct OwnProcedure {
        vcl::TWndMethod Previous;
        bool KeepShownOnHide = false;
        bool SwallowCommands = false;
        void Handle(vcl::TMessage &M) {
            if (M.Msg == WM_WINDOWPOSCHANGING && KeepShownOnHide) KeepShown(M.LParam);
            if (SwallowCommands && Swallowed(M.Msg, M.WParam)) {
                M.Result = 0;
                return;
            }
            Previous(M);
        }
    } Own;

private:
    void CloseQuery(vcl::TObject *, bool &CanClose) { CanClose = !Refuse; }
    void Shown(vcl::TObject *) {
        if (std::exchange(TurnOff, false)) Manager.SetActive(false);
        if (std::exchange(RefuseShow, false)) throw vcl::EAbort();
    }
    void Hidden(vcl::TObject *) {
        if (std::exchange(RefuseHide, false)) throw vcl::EAbort();
    }
};

// Forms whose minimize and restore fly (with composition): the skinned
// top-level ones.
bool Flies(TKind K) { return ZUVO_COMPOSITION && (K == kPlain || K == kBordered || K == kTranslucent); }

std::string Describe(HWND W) {
    RECT r{};
    GetWindowRect(W, &r);
    return uitest::ClassNameOf(W) + " at (" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
           std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

// The system's move loop as the test plays it: the window that is sent
// SC_MOVE gets what the loop sends it while the pointer goes Steps times
// by (Dx, Dy), then what it sends as it ends. Midway runs halfway, as the
// application's timer would; the loop ends early when its window goes or
// hides (the user lets go of what is no longer there).
struct PlayedMoveLoop {
    explicit PlayedMoveLoop(std::initializer_list<HWND> Windows) {
        Current = this;
        for (const HWND w : Windows)
            if (w)
                Taken.push_back({w, reinterpret_cast<WNDPROC>(
                                        SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)))});
    }
    ~PlayedMoveLoop() {
        for (const auto &[w, previous] : Taken)
            if (IsWindow(w) && GetWindowLongPtrW(w, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&Proc))
                SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        Current = nullptr;
    }
    PlayedMoveLoop(const PlayedMoveLoop &) = delete;
    PlayedMoveLoop &operator=(const PlayedMoveLoop &) = delete;

    static constexpr int Dx = 9, Dy = 6, Steps = 6;
    std::function<void()> Midway;
    int Loops = 0;
    int StepsRun = 0;

private:
    static LRESULT CALLBACK Proc(HWND W, UINT Msg, WPARAM WParam, LPARAM LParam) {
        WNDPROC previous = nullptr;
        for (const auto &[w, p] : Current->Taken)
            if (w == W) previous = p;
        if (Msg == WM_SYSCOMMAND && (WParam & 0xFFF0) == SC_MOVE) {
            Current->Run(W);
            return 0;
        }
        return CallWindowProcW(previous, W, Msg, WParam, LParam);
    }
    void Run(HWND W) {
        ++Loops;
        SetCapture(W);
        SendMessageW(W, WM_ENTERSIZEMOVE, 0, 0);
        for (int i = 1; i <= Steps && IsWindowVisible(W); ++i) {
            RECT r{};
            GetWindowRect(W, &r);
            OffsetRect(&r, Dx, Dy);
            SendMessageW(W, WM_MOVING, WMSZ_TOP, reinterpret_cast<LPARAM>(&r));
            SetWindowPos(W, nullptr, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            ++StepsRun;
            uitest::PumpUntil([] { return false; }, 15ms);
            if (i == Steps / 2 && Midway) std::exchange(Midway, nullptr)();
        }
        if (!IsWindow(W)) return;
        ReleaseCapture();
        SendMessageW(W, WM_EXITSIZEMOVE, 0, 0);
    }
    static inline PlayedMoveLoop *Current = nullptr;
    std::vector<std::pair<HWND, WNDPROC>> Taken;
};

// Translucent drags on, where the system drags whole windows (forms blend
// only there), for the time of a row.
struct TranslucentDrags {
    explicit TranslucentDrags(TsSkinManager &Manager) { Manager.AnimEffects()->BlendOnMoving->Active = true; }
    const uitest::TFullWindowDrag FullDrag;
};

vcl::TPoint TopLeftOf(HWND W) {
    RECT r{};
    GetWindowRect(W, &r);
    return {r.left, r.top};
}

// A press on the caption as the system delivers it: to the window under
// the point, with its hit-test code. The drag runs inside.
void PressCaption(const Subject &S) {
    RECT r{};
    GetWindowRect(S.Window(), &r);
    POINT client{0, 0};
    ClientToScreen(S.Window(), &client);
    const POINT grip{r.left + (r.right - r.left) / 3, (r.top + client.y) / 2};
    const HWND under = WindowFromPoint(grip);
    ASSERT_TRUE(under == S.Window() || (under && under == S.Border())) << "under the caption: " << Describe(under);
    const LPARAM at = MAKELPARAM(grip.x, grip.y);
    const auto code = static_cast<WPARAM>(SendMessageW(under, WM_NCHITTEST, 0, at));
    SendMessageW(under, WM_NCLBUTTONDOWN, code, at);
}

BOOL CALLBACK CollectShown(HWND W, LPARAM List) {
    if (IsWindowVisible(W)) reinterpret_cast<std::vector<HWND> *>(List)->push_back(W);
    return TRUE;
}

// The visible top-level windows of this thread.
std::vector<HWND> ShownWindows() {
    std::vector<HWND> shown;
    EnumThreadWindows(GetCurrentThreadId(), &CollectShown, reinterpret_cast<LPARAM>(&shown));
    return shown;
}

// What is wrong with the veil's place, empty when nothing is: it lies right
// above the form's window (its border window may lie in between), in its
// band, and Other, a window put over the form before, stays over it.
std::string VeilMisplaced(const Subject &S, HWND Other) {
    if (!S.P || !S.P->DisabledVeil) return "no veil";
    const HWND veil = S.P->DisabledVeil->WindowHandle();
    const HWND root = GetAncestor(S.Window(), GA_ROOT);
    std::string wrong;
    // What the user sees under it: hidden windows (the application's own
    // among them, which the system may rank anywhere) show nothing.
    HWND below = GetWindow(veil, GW_HWNDNEXT);
    while (below && (below == S.Border() || !IsWindowVisible(below))) below = GetWindow(below, GW_HWNDNEXT);
    if (below != root) wrong += "under the veil " + Describe(below) + "; ";
    const bool topmost = (GetWindowLongPtrW(root, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    if (((GetWindowLongPtrW(veil, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0) != topmost) wrong += "the veil's band; ";
    bool otherAbove = false;
    for (HWND w = Other; w && !otherAbove; w = GetWindow(w, GW_HWNDNEXT)) otherAbove = w == veil;
    if (Other && !otherAbove) wrong += "the veil over the window that lay over the form; ";
    return wrong;
}

void ExpectVeilInItsPlace(const Subject &S, HWND Other, const char *After) {
    ASSERT_TRUE(S.P && S.P->DisabledVeil) << After;
    EXPECT_EQ(VeilMisplaced(S, Other), "") << After;
}

// The same once the system's late reorders (Wine's, from what the X server
// reports uncovered) and the library's answer to them have run.
void ExpectVeilSettles(const Subject &S, HWND Other, const char *After) {
    uitest::PumpUntil([&] { return VeilMisplaced(S, Other).empty(); }, 2s);
    ExpectVeilInItsPlace(S, Other, After);
}

// The window's layered alpha; 255 for a window that is not layered, -1 for
// a layered one whose alpha cannot be read.
int AlphaOf(HWND W) {
    if (!(GetWindowLongPtrW(W, GWL_EXSTYLE) & WS_EX_LAYERED)) return 255;
    BYTE alpha = 0;
    DWORD flags = 0;
    if (!GetLayeredWindowAttributes(W, nullptr, &alpha, &flags)) return -1;
    return flags & LWA_ALPHA ? alpha : 255;
}

// No mark of a translucent drag is left, in the window or its border.
void ExpectNoDragLeft(const Subject &S) {
    if (const TsSkinProvider *p = S.P) {
        EXPECT_EQ(p->StateFlags & pfBlendOnMoving, 0u);
        EXPECT_FALSE(p->BorderForm && p->BorderForm->Border().Updating);
        EXPECT_FALSE(p->MoveTimer);
    }
    if (const TvlDialogWnd *a = S.Adapter()) {
        EXPECT_EQ(a->StateFlags & 0x80, 0u) << "a blended move's flag";
        EXPECT_FALSE(a->MoveTimer);
        EXPECT_FALSE(a->BorderForm && (a->BorderForm->Moving || a->BorderForm->Updating)) << "the border's marks";
    }
}

// What every row ends with.
void ExpectBackInSight(const Subject &S, bool Zoomed, bool Border) {
    const HWND w = S.Window();
    ASSERT_TRUE(IsWindow(w));
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_FALSE(IsIconic(w));
    EXPECT_EQ(IsZoomed(w) != 0, Zoomed);
    RECT client{};
    GetClientRect(w, &client);
    POINT centre{client.right / 2, client.bottom / 2};
    ClientToScreen(w, &centre);
    const HWND under = WindowFromPoint(centre);
    EXPECT_TRUE(under == w || IsChild(w, under)) << "under the client centre: " << Describe(under);

    const int own = S.Kind == kTranslucent ? OwnAlpha : 255;
    EXPECT_EQ(AlphaOf(w), own);
    if (S.Form) EXPECT_EQ(S.Form->AlphaBlendValue(), own);

    const HWND border = S.Border();
    EXPECT_EQ(border && IsWindowVisible(border), Border) << "the border window";

    EXPECT_FALSE(ModuleState().FormAnimationActive);
    EXPECT_FALSE(HideTimer() && HideTimer()->Window());
    if (const TsSkinProvider *p = S.P) {
        constexpr std::uint32_t flags = pfMinimizeAnimation | pfRestoreAnimation | pfSnapshotTaken | pfMaximizing |
                                        pfBlendOnMoving | pfBorderRegionSetting | pfInNCActivate;
        EXPECT_EQ(p->StateFlags & flags, 0u);
        EXPECT_FALSE(p->ShowAnimating);
        EXPECT_FALSE(p->InShowAnimation);
        EXPECT_FALSE(p->Animating);
        EXPECT_FALSE(p->MinTimer && (p->MinTimer->Enabled() || p->MinTimer->Restoring)) << "a flight's picture kept";
        // (A form whose skin went keeps the removal's lock.)
        if (p->Skinned()) EXPECT_FALSE(p->SkinData()->PaintLocked);
        EXPECT_FALSE(p->BorderForm && p->BorderForm->Border().Updating);
        EXPECT_FALSE(p->HideCover);
    }
    if (const TvlDialogWnd *a = S.Adapter()) {
        EXPECT_FALSE(a->SuppressPaint);
        EXPECT_FALSE(a->SnapshotForm);
        EXPECT_FALSE(a->BorderForm && a->BorderForm->Updating);
    }
    ExpectNoDragLeft(S);

    // Nothing else of ours on the screen: the window's own top-level
    // window and its border window are all that show.
    for (const HWND shown : ShownWindows())
        if (shown != GetAncestor(w, GA_ROOT) && !(Border && shown == border))
            ADD_FAILURE() << "left on the screen: " << Describe(shown)
                          << ((GetWindowLongPtrW(shown, GWL_EXSTYLE) & WS_EX_LAYERED) ? ", layered" : "");
}

struct InterruptedActions : ::testing::TestWithParam<TRow> {
    static void SetUpTestSuite() { Modules = std::make_unique<DialogModules>(); }
    static void TearDownTestSuite() { Modules.reset(); }
    static inline std::unique_ptr<DialogModules> Modules;
    // The program runs under the setting it was built for.
    void SetUp() override { ASSERT_EQ(DwmCompositionActive(), ZUVO_COMPOSITION != 0); }
};

TEST_P(InterruptedActions, LeaveTheWindowAsItWas) {
    const TRow row = GetParam();
    ManagerPtr manager = SweepManager(HasBorder(row.Kind));
    manager->Options()->SetFlag(ofNativeBordersMaximized, row.Action == aMaximizeMinimizedNative);
    // The OnShow rows refuse or unskin the first show.
    const bool firstShow = row.Action == aSkinOffInOnShow || row.Action == aShowRefusedInOnShow;
    Subject s(row.Kind, *manager, !firstShow);
    ASSERT_TRUE(firstShow || IsWindowVisible(s.Window()));
    bool zoomed = false;
    bool border = HasBorder(row.Kind);

    switch (row.Action) {
    case aCloseRefused:
        s.RefuseClose();
        s.Command(SC_CLOSE);
        break;
    case aMinimizeRefused:
        s.Enable(false);
        s.Command(SC_MINIMIZE);
        s.Settle();
        ASSERT_FALSE(IsIconic(s.Window())) << "the system leaves a disabled window where it is";
        EXPECT_EQ(s.Border() && IsWindowVisible(s.Border()), border) << "the border window, still disabled";
        s.Enable(true);
        break;
    case aMaximizeMinimized:
    case aMaximizeMinimizedNative:
        s.Command(SC_MINIMIZE);
        s.Settle();
        ASSERT_TRUE(IsIconic(s.Window()));
        s.Command(SC_MAXIMIZE);
        zoomed = true;
        // (The system's frame for maximized windows is an option of forms.)
        border = border && (row.Action == aMaximizeMinimized || IsDialog(row.Kind));
        break;
    case aHideShow:
        s.Hide();
        s.Settle();
        s.Show();
        break;
    case aShowMinimizedRestore:
        s.Hide();
        s.Settle();
        s.Show(true);
        s.Settle();
        ASSERT_TRUE(IsIconic(s.Window()));
        s.Command(SC_RESTORE);
        break;
    case aSkinOffInOnShow:
        // On the first show, and on a show after a hide with the skin back.
        s.TurnSkinOffOnShow();
        s.Show();
        s.Settle();
        manager->SetActive(true);
        s.Settle();
        s.Hide();
        s.Settle();
        s.TurnSkinOffOnShow();
        s.Show();
        border = false;
        break;
    case aShowRefusedInOnShow:
        s.RefuseShowOnce();
        EXPECT_THROW(s.Show(), vcl::EAbort);
        s.Settle();
        // The form stays Visible with its show undone: the application
        // hides it before it tries again.
        s.Hide();
        s.Show();
        break;
    case aHideRefusedInOnHide:
        s.RefuseHideOnce();
        EXPECT_THROW(s.Hide(), vcl::EAbort);
        break;
    case aHideRefusedByWindow:
        s.KeepWindowShownOnHide();
        s.Hide();
        break;
    case aSkinChangedMidway:
        s.Hide();
        manager->SetSkinName("Beryllo copy");
        s.Settle();
        s.Show();
        if (row.Kind != kEmbedded) {
            s.Settle();
            s.Command(SC_MINIMIZE);
            manager->SetSkinName("Beryllo (internal)");
            s.Settle();
            s.Command(SC_RESTORE);
        }
        break;
    case aSkinOffMidway: {
        const auto offMidway = [&] {
            manager->SetActive(false);
            s.Settle();
            manager->SetActive(true);
            s.Settle();
        };
        s.Hide();
        offMidway();
        s.Show();
        if (row.Kind != kEmbedded) {
            s.Settle();
            s.Command(SC_MINIMIZE);
            offMidway();
            ASSERT_TRUE(IsIconic(s.Window()));
            s.Command(SC_RESTORE);
            offMidway();
        }
        // The skin takes an open dialog again when it is next activated
        // (the user brings it back to the front).
        if (IsDialog(row.Kind)) {
            const HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr,
                                               nullptr, nullptr, nullptr);
            uitest::ActivateAndWait(other, 2s);
            DestroyWindow(other);
            ASSERT_TRUE(uitest::ActivateAndWait(s.Window(), 2s));
        }
        break;
    }
    case aCommandsRefusedByWindow:
        s.SwallowCommands();
        for (const WPARAM command : {SC_MINIMIZE, SC_MAXIMIZE, SC_CLOSE}) {
            s.Command(command);
            s.Settle();
        }
        break;
    case aHiddenMidDrag: {
        // A translucent drag: with a border, the border window travels with
        // the image and the window waits unseen behind it until the drop.
        const TranslucentDrags drags(*manager);
        constexpr int dx = PlayedMoveLoop::Dx, dy = PlayedMoveLoop::Dy, steps = PlayedMoveLoop::Steps;
        const vcl::TPoint before = TopLeftOf(s.Window());
        int run = 0;
        bool blending = false;
        {
            PlayedMoveLoop loop({s.Window(), s.Border()});
            loop.Midway = [&] {
                blending = s.Blending();
                s.Hide();
            };
            PressCaption(s);
            ASSERT_EQ(loop.Loops, 1) << "a caption press drags";
            run = loop.StepsRun;
        }
        // (A form drawn by the system is dragged by the system alone.)
        EXPECT_EQ(blending, row.Kind != kUnsectioned) << "the drag blends";
        s.Settle();
        ASSERT_FALSE(IsWindowVisible(s.Window()));
        EXPECT_NE(GetActiveWindow(), s.Window()) << "the hidden window took the focus back";
        EXPECT_NE(GetForegroundWindow(), s.Window()) << "the hidden window took the focus back";
        ExpectNoDragLeft(s);
        // Hidden, it never joins an image that travelled without it (nor the
        // corner of the screen where a border window that went "stood"): it
        // stays where it waited, or where the loop moved it itself.
        const vcl::TPoint hidden = TopLeftOf(s.Window());
        EXPECT_EQ(hidden.X, border ? before.X : before.X + run * dx);
        EXPECT_EQ(hidden.Y, border ? before.Y : before.Y + run * dy);
        s.Show();
        s.Settle();
        // Shown again it drags as before, all the way.
        const vcl::TPoint shown = TopLeftOf(s.Window());
        {
            PlayedMoveLoop loop({s.Window(), s.Border()});
            PressCaption(s);
            ASSERT_EQ(loop.StepsRun, steps);
        }
        s.Settle();
        EXPECT_EQ(TopLeftOf(s.Window()).X, shown.X + steps * dx);
        EXPECT_EQ(TopLeftOf(s.Window()).Y, shown.Y + steps * dy);
        break;
    }
    case aDestroyedMidDrag:
    case aProviderFreedMidDrag: {
        // The application frees the window, or only its provider.
        const bool window = row.Action == aDestroyedMidDrag;
        const HWND handle = s.Window();
        const TranslucentDrags drags(*manager);
        bool blending = false;
        {
            PlayedMoveLoop loop({s.Window(), s.Border()});
            loop.Midway = [&] {
                blending = s.Blending();
                if (window)
                    s.Free();
                else
                    s.FreeProvider();
            };
            PressCaption(s);
            ASSERT_EQ(loop.Loops, 1);
        }
        s.Settle();
        EXPECT_EQ(blending, row.Kind != kUnsectioned) << "the drag blends";
        if (!window) {
            ASSERT_FALSE(s.P);
            border = false;
            break;
        }
        ASSERT_FALSE(IsWindow(handle));
        // Nothing of the drag or the dialog stays on the screen.
        for (const HWND shown : ShownWindows()) ADD_FAILURE() << "left on the screen: " << Describe(shown);
        return;
    }
    case aProviderFreedEndingMinimize: {
        s.HotTitleItem()->OnMouseLeave = vcl::TNotifyEvent::Bind<&Subject::FreeProvider>(&s);
        s.Command(SC_MINIMIZE);
        s.Settle();
        ASSERT_TRUE(IsIconic(s.Window()));
        // (Only a flight's end lets go of the hot item while minimizing.)
        if (Flies(row.Kind)) {
            ASSERT_FALSE(s.P) << "the item's handler freed the provider";
        }
        s.Command(SC_RESTORE);
        border = border && s.P;
        break;
    }
    case aMinimizedInOneStep:
        for (const int time : {5, 25}) {
            manager->AnimEffects()->Minimizing->Time = time;
            s.Command(SC_MINIMIZE);
            s.Settle();
            ASSERT_TRUE(IsIconic(s.Window())) << time << " ms";
            EXPECT_FALSE(s.Border() && IsWindowVisible(s.Border())) << time << " ms: a border window around the icon";
            const bool flies = Flies(row.Kind);
            EXPECT_TRUE(!flies || (s.P->MinTimer && s.P->MinTimer->Restoring)) << time << " ms: the image kept";
            s.Command(SC_RESTORE);
            EXPECT_TRUE(!flies || (s.P->StateFlags & pfRestoreAnimation)) << time << " ms: the flight back";
            s.Settle();
        }
        break;
    case aDisabledMovedHidden: {
        // Another window of the application lies over part of the form.
        const HWND root = GetAncestor(s.Window(), GA_ROOT);
        RECT at{};
        GetWindowRect(s.Window(), &at);
        std::unique_ptr<vcl::TForm> other(vcl::Create<vcl::TForm>(nullptr, vcl::CreateNew));
        other->SetTag(256);
        other->SetBorderStyle(vcl::bsNone);
        other->SetBounds(at.left + 40, at.top + 40, 120, 90);
        SetWindowPos(other->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        s.P->SetDisabledBlendValue(128);
        s.Enable(false);
        const vcl::TRect over = s.VeilAgainstForm();
        ASSERT_FALSE(over.IsEmpty()) << "the veil";
        ExpectVeilInItsPlace(s, other->Handle(), "disabled");
        s.Settle();
        ExpectVeilSettles(s, other->Handle(), "disabled, settled");
        {
            // A hint of the application comes and goes over the window
            // that lies over the form.
            std::unique_ptr<vcl::TForm> hint(vcl::Create<vcl::TForm>(nullptr, vcl::CreateNew));
            hint->SetTag(256);
            hint->SetBorderStyle(vcl::bsNone);
            hint->SetBounds(at.left + 60, at.top + 60, 60, 40);
            SetWindowPos(hint->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
            s.Settle();
            ShowWindow(hint->Handle(), SW_HIDE);
            s.Settle();
        }
        ExpectVeilSettles(s, other->Handle(), "a hint gone");
        const vcl::TPoint form = TopLeftOf(s.Window()), frame = s.Border() ? TopLeftOf(s.Border()) : vcl::TPoint{};
        s.Form->SetBounds(s.Form->Left() + 30, s.Form->Top() + 20, s.Form->Width(), s.Form->Height());
        s.Settle();
        EXPECT_EQ(s.VeilAgainstForm(), over) << "the veil after a move";
        ExpectVeilSettles(s, other->Handle(), "moved");
        // Raised by the application, and put on top of the others.
        SetWindowPos(root, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        s.Settle();
        ExpectVeilSettles(s, nullptr, "raised");
        if (!s.Host) {
            s.Form->SetFormStyle(vcl::fsStayOnTop);
            s.Settle();
            ExpectVeilSettles(s, nullptr, "on top");
            s.Form->SetFormStyle(vcl::fsNormal);
            s.Settle();
            ExpectVeilSettles(s, nullptr, "on top no more");
        }
        other.reset();
        if (s.Border()) {
            EXPECT_EQ(TopLeftOf(s.Border()).X - frame.X, TopLeftOf(s.Window()).X - form.X) << "the border after a move";
            EXPECT_EQ(TopLeftOf(s.Border()).Y - frame.Y, TopLeftOf(s.Window()).Y - form.Y) << "the border after a move";
        }
        const auto expectVeilGone = [&](const char *Of) {
            EXPECT_TRUE(s.VeilAgainstForm().IsEmpty()) << "the veil of " << Of;
            for (const HWND shown : ShownWindows())
                if (shown != GetAncestor(s.Window(), GA_ROOT)) ADD_FAILURE() << Of << ": left on the screen: " << Describe(shown);
        };
        s.Hide();
        s.Settle();
        expectVeilGone("a hidden form");
        s.Show();
        s.Settle();
        EXPECT_EQ(s.VeilAgainstForm(), over) << "the veil shown again";
        // The form that holds it moves, hides and shows again: the form
        // inside hears nothing of it, its veil goes along all the same.
        if (s.Host) {
            s.Host->SetBounds(s.Host->Left() + 40, s.Host->Top() + 25, s.Host->Width(), s.Host->Height());
            s.Settle();
            EXPECT_EQ(s.VeilAgainstForm(), over) << "the veil after its host's move";
            s.Host->Hide();
            s.Settle();
            expectVeilGone("a hidden host");
            s.Host->Show();
            s.Settle();
            EXPECT_EQ(s.VeilAgainstForm(), over) << "the veil with its host shown again";
            SendMessageW(s.Host->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
            s.Settle();
            ASSERT_TRUE(IsIconic(s.Host->Handle()));
            expectVeilGone("a minimized host");
            SendMessageW(s.Host->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
            s.Settle();
            EXPECT_EQ(s.VeilAgainstForm(), over) << "the veil with its host restored";
        }
        // A child minimized inside its parent shows as an icon there.
        if (row.Kind == kMDIChild) {
            ShowWindow(s.Window(), SW_MINIMIZE);
            s.Settle();
            ASSERT_TRUE(IsIconic(s.Window()));
            expectVeilGone("a minimized child");
            ShowWindow(s.Window(), SW_RESTORE);
            s.Settle();
            EXPECT_EQ(s.VeilAgainstForm(), over) << "the veil of the child restored";
        }
        // Enabled once the veil is to be fully clear: it goes all the same.
        s.P->SetDisabledBlendValue(255);
        s.Enable(true);
        EXPECT_FALSE(s.P->DisabledVeil);
        EXPECT_FALSE(s.P->StateFlags & pfDisabled);
        break;
    }
    case aSkinOffWhileDisabled: {
        s.P->SetDisabledBlendValue(128);
        s.Enable(false);
        s.Settle();
        const vcl::TRect over = s.VeilAgainstForm();
        ASSERT_FALSE(over.IsEmpty()) << "the veil";
        // Nothing of the veil lives on without the skin: no window, no
        // watch, no hold on the windows around the form.
        const auto expectNoVeil = [&](const char *After) {
            EXPECT_FALSE(s.P->DisabledVeil) << After;
            EXPECT_FALSE(s.P->VeilWatch) << After;
            EXPECT_TRUE(s.P->VeilHolders.empty()) << After;
        };
        manager->SetActive(false);
        s.Settle();
        expectNoVeil("the skin off");
        s.Form->SetBounds(s.Form->Left() + 30, s.Form->Top() + 20, s.Form->Width(), s.Form->Height());
        s.Hide();
        s.Settle();
        s.Show();
        s.Settle();
        expectNoVeil("moved, hidden and shown unskinned");
        // A blend set meanwhile lays none either.
        s.P->SetDisabledBlendValue(100);
        expectNoVeil("a blend set unskinned");
        // The skin back on a form still disabled: its veil with it.
        manager->SetActive(true);
        s.Settle();
        EXPECT_EQ(s.VeilAgainstForm(), over) << "the veil with the skin back";
        ExpectVeilSettles(s, nullptr, "the skin back");
        // Enabled while unskinned: the skin comes back without one.
        manager->SetActive(false);
        s.Settle();
        s.Enable(true);
        manager->SetActive(true);
        s.Settle();
        expectNoVeil("enabled unskinned, the skin back");
        EXPECT_FALSE(s.P->StateFlags & pfDisabled);
        break;
    }
    }
    s.Settle();
    ExpectBackInSight(s, zoomed, border);
}

// Rows that cannot apply: a form inside another control is neither
// minimized nor maximized (the system's commands move top-level and MDI
// windows only) and, shown as a control, runs no OnShow or OnHide; a
// dialog's procedure raises nothing into its show or hide.
std::vector<TRow> Rows() {
    std::vector<TRow> rows;
    for (TKind k : {kPlain, kBordered, kMDIChild, kEmbedded, kTranslucent, kUnsectioned, kDialog, kBorderedDialog})
        for (TAction a : {aCloseRefused, aMinimizeRefused, aMaximizeMinimized, aMaximizeMinimizedNative, aHideShow,
                          aShowMinimizedRestore, aSkinOffInOnShow, aShowRefusedInOnShow, aHideRefusedInOnHide,
                          aHideRefusedByWindow, aSkinChangedMidway, aSkinOffMidway,
                          aCommandsRefusedByWindow, aHiddenMidDrag, aDestroyedMidDrag, aProviderFreedEndingMinimize,
                          aProviderFreedMidDrag, aMinimizedInOneStep, aDisabledMovedHidden,
                          aSkinOffWhileDisabled}) {
            // A title-bar item, a blended drag and a veil are a skinned
            // form's (the embedded one is served by its host's provider).
            const bool skinned = !IsDialog(k) && k != kUnsectioned;
            if ((!skinned || k == kEmbedded) && (a == aProviderFreedEndingMinimize || a == aProviderFreedMidDrag)) continue;
            if (!skinned && (a == aDisabledMovedHidden || a == aSkinOffWhileDisabled)) continue;
            // (A dialog's minimize does not fly.)
            if ((k == kEmbedded || IsDialog(k)) && a == aMinimizedInOneStep) continue;
            if (k == kEmbedded && (a == aMinimizeRefused || a == aMaximizeMinimized || a == aMaximizeMinimizedNative ||
                                   a == aShowMinimizedRestore || a == aSkinOffInOnShow || a == aShowRefusedInOnShow ||
                                   a == aHideRefusedInOnHide || a == aCommandsRefusedByWindow))
                continue;
            if (IsDialog(k) && (a == aShowRefusedInOnShow || a == aHideRefusedInOnHide)) continue;
            // A caption drag of a window inside another blends nothing.
            if ((k == kMDIChild || k == kEmbedded) && (a == aHiddenMidDrag || a == aDestroyedMidDrag || a == aProviderFreedMidDrag))
                continue;
            rows.push_back({k, a});
        }
    return rows;
}

std::string RowName(const ::testing::TestParamInfo<TRow> &Info) {
    return std::string(KindNames[Info.param.Kind]) + "_" + ActionNames[Info.param.Action];
}

INSTANTIATE_TEST_SUITE_P(Sweep, InterruptedActions, ::testing::ValuesIn(Rows()), RowName);

} // namespace
} // namespace skin
