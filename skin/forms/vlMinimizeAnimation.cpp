#include "vlMinimizeAnimation.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "sFormBorder.h"
#include "sFrameMetrics.h"
#include "sSkinProvider.h"
#include "skin/graphics/vlCommonUtils.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/graphics/vlSkinPieces.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/vlFormAnimations.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/Forms.h"
#include "vlBlendOnMoving.h"
#include "vlDwmServices.h"
#include "vlSBAnimation.h"

namespace skin {

VCL_CLASS_INFO(TvlMinTimer)

namespace {

constexpr UINT Unchanged = SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOOWNERZORDER |
                           SWP_NOSENDCHANGING;

bool Later() { return SystemFrameMetrics().OSMajor >= 6; }

// A process handle and the buffer reserved in that process, given back.
struct TRemote {
    HANDLE Process = nullptr;
    void *Buffer = nullptr;
    ~TRemote() {
        if (Buffer) VirtualFreeEx(Process, Buffer, 0, MEM_RELEASE);
        if (Process) CloseHandle(Process);
    }
};

bool Read(HANDLE Process, const void *From, void *To, SIZE_T Size) {
    SIZE_T read = 0;
    return ReadProcessMemory(Process, From, To, Size, &read) && read == Size;
}

vcl::TRect Rect(const RECT &R) { return {R.left, R.top, R.right, R.bottom}; }

// Where the form heads: its taskbar button, or the point of the taskbar's
// edge opposite the form's centre; the screen's top-left without a taskbar.
vcl::TRect MinimizeTarget(const vcl::TRect &Form) {
    const HWND tray = FindTaskbarWindow();
    if (!tray) return {};
    vcl::TRect target;
    if (!DwmCompositionActive()) target = FindTaskbarButtonRect();
    if (!target.IsEmpty()) return target;
    RECT bar{};
    GetWindowRect(tray, &bar);
    const vcl::TRect b = Rect(bar);
    return EdgeTarget(TaskbarEdge(b), b, {(Form.Left + Form.Right) / 2, (Form.Top + Form.Bottom) / 2});
}

} // namespace

vcl::TRect FindTaskbarButtonRect() {
    const HWND tray = FindWindowExA(nullptr, nullptr, "Shell_TrayWnd", nullptr);
    const HWND rebar = tray ? FindWindowExA(tray, nullptr, "ReBarWindow32", nullptr) : nullptr;
    const HWND tasks = rebar ? FindWindowExA(rebar, nullptr, "MSTaskSwWClass", nullptr) : nullptr;
    const HWND toolbar = tasks ? FindWindowExA(tasks, nullptr, "ToolbarWindow32", nullptr) : nullptr;
    if (!toolbar) return {};
    const int count = static_cast<int>(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
    DWORD pid = 0;
    GetWindowThreadProcessId(toolbar, &pid);
    if (count < 1 || pid == 0) return {};
    // The main form's window owns the program's button: the application's
    // window is hidden and has none.
    const vcl::TCustomForm *mainForm = vcl::Application ? vcl::Application->MainForm() : nullptr;
    const HWND mainWindow = mainForm && mainForm->HandleAllocated() ? mainForm->WindowHandle() : nullptr;
    if (!mainWindow) return {};
    // Only the rights the search uses; the shell's memory is only read,
    // apart from the one buffer reserved (not executable) and freed.
    TRemote remote;
    remote.Process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_QUERY_INFORMATION, FALSE, pid);
    if (!remote.Process) return {};
    // Button records of a shell of the other bitness have another layout.
    BOOL ours = FALSE, theirs = FALSE;
    if (!IsWow64Process(GetCurrentProcess(), &ours) || !IsWow64Process(remote.Process, &theirs) || ours != theirs)
        return {};
    remote.Buffer = VirtualAllocEx(remote.Process, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE);
    if (!remote.Buffer) return {};
    for (int i = 0; i < count; ++i) {
        if (!SendMessageW(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(remote.Buffer))) continue;
        std::uint8_t button[24]{};
        if (!Read(remote.Process, remote.Buffer, button, sizeof button)) continue;
        const std::uint8_t state = button[8], style = button[9];
        if ((style & 0x0D) || (state & 0x08)) continue;  // separators, hidden buttons
        std::uint32_t data = 0, owner = 0;
        std::copy(button + 12, button + 16, reinterpret_cast<std::uint8_t *>(&data));
        if (!data || !Read(remote.Process, reinterpret_cast<const void *>(static_cast<std::uintptr_t>(data)), &owner, 4))
            continue;
        if (owner != static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(mainWindow))) continue;
        RECT item{};
        if (!SendMessageW(toolbar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(remote.Buffer)) ||
            !Read(remote.Process, remote.Buffer, &item, sizeof item))
            return {};
        RECT bar{};
        GetWindowRect(toolbar, &bar);
        return {item.left + bar.left, item.top + bar.top, item.right + bar.left, item.bottom + bar.top};
    }
    return {};
}

// ------------------------------------------------------------------- timer

TvlMinTimer::TvlMinTimer(vcl::TComponent *AOwner, TsSkinProvider *Provider)
    : TvlThreadedTimer(AOwner), FProvider(Provider) {
    SetEnabled(false);
    SetInterval(10);
    SetOnTimer(vcl::TNotifyEvent::Bind<&TvlMinTimer::Tick>(this));
    Snapshot = NewBitmap32(0, 0);
}

TvlMinTimer::~TvlMinTimer() { SetEnabled(false); }

void TvlMinTimer::Init() {
    Step = 0;
    vcl::TCustomForm &form = *FProvider->Form;
    FForm = form.WindowHandle();
    const TsSkinManager *m = FProvider->SkinData()->GetSkinManager();
    const int time = m ? m->AnimEffects()->Minimizing->Time : 120;
    TargetAlpha = TvlMinimizeFlight::TargetAlpha(form.AlphaBlend() ? form.AlphaBlendValue() : 255, Later(),
                                                 DwmCompositionActive(), time);
    RECT r{};
    GetWindowRect(FForm, &r);
    FormRect = Rect(r);
    // With an extended border the picture is the border's, shadow and all.
    if (FProvider->BorderForm) {
        const vcl::TPoint offset = FProvider->WindowToFrameOffset();
        const int left = FormRect.Left - offset.X, top = FormRect.Top - offset.Y;
        FormRect = {left, top, left + FProvider->CacheWidth(), top + FProvider->CacheHeight()};
    }
    TargetRect = MinimizeTarget(FormRect);
    Flight = TvlMinimizeFlight(FormRect, TargetRect, time, TargetAlpha);
    Work = NewBitmap32(FormRect.Width(), FormRect.Height());
    // The border's own window carries the picture where there is one.
    SnapshotForm.reset();
    if (FProvider->BorderForm) return;
    SnapshotForm = CreateSnapshotForm(FForm);
    if (SnapshotForm) SetWindowRgn(SnapshotForm->WindowHandle(), nullptr, FALSE);
}

HWND TvlMinTimer::SnapshotWindow() const {
    if (SnapshotForm) return SnapshotForm->HandleAllocated() ? SnapshotForm->WindowHandle() : nullptr;
    return FProvider->BorderWindow();
}

void TvlMinTimer::Retarget() {
    TargetRect = MinimizeTarget(FormRect);
    // A flight under way keeps its course.
    if (!Restoring || Enabled()) return;
    // Where the minimize's last step left the image, as the ticks step it.
    const int steps = Flight.Steps;
    Flight = TvlMinimizeFlight(FormRect, TargetRect, steps * 10, TargetAlpha);
    for (int i = 0; i <= steps && Flight.Alpha > 0; ++i) Flight.Step(false, TargetAlpha);
}

void TvlMinTimer::Show(double Alpha) {
    const HWND window = SnapshotWindow();
    if (!window) return;
    const int w = Work->Width(), h = Work->Height();
    const HDC work = Work->Canvas()->Handle();
    const RECT all{0, 0, w, h};
    FillRect(work, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    const vcl::TRect place = Flight.PlaceInWork(w, h);
    if (!place.IsEmpty() && Snapshot && !Snapshot->Empty())
        StretchBlt(work, place.Left, place.Top, place.Width(), place.Height(), Snapshot->Canvas()->Handle(), 0, 0,
                   Snapshot->Width(), Snapshot->Height(), SRCCOPY);
    const vcl::TPoint origin = Flight.WindowOrigin(w, h);
    const POINT at{origin.X, origin.Y};
    ShowLayeredBitmap(window, Work.get(), static_cast<std::uint8_t>(std::clamp(static_cast<int>(Alpha), 0, 255)), &at);
    SetWindowPos(window, FindTaskbarWindow() ? FindTaskbarWindow() : HWND_TOP, 0, 0, 0, 0, Unchanged | SWP_SHOWWINDOW);
}

void TvlMinTimer::Tick(vcl::TObject *) {
    if (FInTick) return;
    // The end of a restore runs the application's code (the focus, OnRestore),
    // which may free the form, its provider and so this timer.
    const vcl::TGuarded<TvlMinTimer> alive(this);
    FInTick = true;
    struct TGuard {
        bool &Flag;
        const vcl::TGuarded<TvlMinTimer> &Alive;
        ~TGuard() {
            if (Alive) Flag = false;
        }
    } guard{FInTick, alive};
    if (!Restoring && (FProvider->StateFlags & pfRestoreAnimation)) Restoring = true;
    if (Restoring && (FProvider->StateFlags & pfMinimizeAnimation)) Restoring = false;
    if (!SnapshotWindow()) {
        SetEnabled(false);
        // The window it flew in went before its end (a maximize with the
        // system's own frame drops the border form): the run ends at once,
        // so that the form is not left transparent and flagged as flying.
        if (FProvider->StateFlags & (pfMinimizeAnimation | pfRestoreAnimation)) {
            if (Restoring)
                EndRestore();
            else
                EndMinimize();
        }
        return;
    }
    ++Step;  // the steps flown since Init: the form's activation reads them
    // The border's own updates keep off the window while it flies.
    if (FProvider->BorderForm) FProvider->BorderForm->Border().Updating = true;
    if (!Restoring) {
        Flight.Step(false, TargetAlpha);
        if (Flight.Alpha > 0 || FHoldEnd)
            Show(Flight.Alpha);
        else
            EndMinimize();
        return;
    }
    Flight.Step(true, TargetAlpha);
    if (Flight.Alpha < TargetAlpha)
        Show(Flight.Alpha);
    else
        EndRestore();
}

void TvlMinTimer::FirstStep() {
    // The system minimizes the form only after this step: a flight that
    // empties here ends on the next tick, where its end can tell a
    // minimized form from one the system left where it was (a one-step
    // flight's end would keep the border around the icon and no image).
    const vcl::TGuarded alive(this);
    FHoldEnd = true;
    Tick();
    // (A tick without a window to fly in ends at once, running the
    // application's code.)
    if (alive) FHoldEnd = false;
}

void TvlMinTimer::EndMinimize() {
    SetEnabled(false);
    // The caption's item handlers, the activation moved to the main form and
    // the frame's paint run the application's code, which may free the form
    // or its provider, and this timer with them.
    const vcl::TGuarded alive(this);
    FProvider->ShowAnimating = false;
    if (!FProvider->SetHotButton(0, false)) return;
    FProvider->StateFlags &= ~pfMinimizeAnimation;
    // A translucent form keeps its own alpha (where the system left it on
    // the screen, or for a restore that is not flown), any other is opaque.
    const vcl::TCustomForm &form = *FProvider->Form;
    const auto set = LayeredWindowFunctions().SetLayeredWindowAttributes;
    if (form.AlphaBlend() && set)
        set(FForm, 0, form.AlphaBlendValue(), LWA_ALPHA);
    else
        SetWindowLongPtrW(FForm, GWL_EXSTYLE, GetWindowLongPtrW(FForm, GWL_EXSTYLE) & ~LONG_PTR{WS_EX_LAYERED});
    // The system may have left the form where it was (it does not minimize
    // a disabled one): then it is seen again as it was, its border around
    // it, and no minimized image waits to fly back on a later command.
    const bool minimized = IsIconic(FForm) != 0;
    if (FProvider->BorderForm) {
        if (minimized) {
            // The border goes with the form; the restore makes its window again.
            FProvider->FreeBorderWindow();
            if (vcl::TCustomForm *main = vcl::Application ? vcl::Application->MainForm() : nullptr;
                main && main->HandleAllocated())
                SetActiveWindow(main->WindowHandle());
            if (!alive) return;
        }
        if (FProvider->BorderForm) FProvider->BorderForm->Border().Updating = false;
        if (!minimized) FProvider->UpdateBorder(true, 255);
        if (!alive) return;
    } else {
        const RECT all{0, 0, Work->Width(), Work->Height()};
        FillRect(Work->Canvas()->Handle(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        if (const HWND snapshot = SnapshotWindow()) {
            ShowLayeredBitmap(snapshot, Work.get(), 0);
            ShowWindow(snapshot, SW_HIDE);
        }
        FProvider->PerformFormProc(WM_NCPAINT, 0, 0);
        if (!alive) return;
    }
    // Its veil comes back with a form the system did not minimize; a
    // minimized one keeps none hidden, nor its watch, until its restore.
    if (FProvider->StateFlags & pfDisabled) FProvider->UpdateDisabledVeil();
    // The timer holds the minimized form's image now, if it was minimized.
    Restoring = minimized;
}

void TvlMinTimer::EndRestore() {
    SetEnabled(false);
    // The form's show, its paint, the focus and OnRestore run the
    // application's code, which may free the form or its provider, and this
    // timer with them.
    const vcl::TGuarded alive(this);
    vcl::TCustomForm &form = *FProvider->Form;
    const HWND snapshot = SnapshotWindow();
    const bool throughBorder = !SnapshotForm;
    // The last picture at the form's own place, then the form itself.
    Flight.Left = FormRect.Left, Flight.Top = FormRect.Top, Flight.Right = FormRect.Right,
    Flight.Bottom = FormRect.Bottom;
    const int formAlpha = form.AlphaBlend() ? form.AlphaBlendValue() : 255;
    Show(throughBorder && !DwmCompositionActive() ? formAlpha : TargetAlpha);
    const bool animation = GetMinAnimation();
    if (animation) SetMinAnimation(false);
    ShowWindow(FForm, IsZoomed(FForm) ? SW_SHOWMAXIMIZED : SW_SHOWNOACTIVATE);
    if (animation) SetMinAnimation(true);
    if (!alive) return;
    SetWindowPos(snapshot, nullptr, 0, 0, 0, 0, Unchanged | SWP_NOZORDER);
    const bool veiled = (FProvider->StateFlags & pfDisabled) != 0;
    if (veiled) {
        // The picture stays over the form until its veil is back on it.
        SetWindowPos(snapshot, nullptr, 0, 0, 0, 0, Unchanged | SWP_NOZORDER | SWP_SHOWWINDOW);
        Sleep(50);
    }
    if (form.AlphaBlend() && LayeredWindowFunctions().SetLayeredWindowAttributes)
        LayeredWindowFunctions().SetLayeredWindowAttributes(FForm, 0, form.AlphaBlendValue(), LWA_ALPHA);
    else
        SetWindowLongPtrW(FForm, GWL_EXSTYLE, GetWindowLongPtrW(FForm, GWL_EXSTYLE) & ~LONG_PTR{WS_EX_LAYERED});
    FProvider->ShowAnimating = false;
    FProvider->StateFlags &= ~pfRestoreAnimation;
    if (FProvider->BorderForm) FProvider->BorderForm->Border().Updating = false;
    if (form.Menu() && !FProvider->BorderForm && DwmCompositionActive()) FProvider->SkinData()->BGChanged = true;
    RedrawWindow(FForm, nullptr, nullptr, RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    if (!alive) return;
    if (throughBorder) {
        FProvider->UpdateBorder(true, 255);
        if (!alive) return;
    } else {
        if (FProvider->BorderForm) FProvider->UpdateBorder(true, 255);
        if (!alive) return;
        SetWindowPos(snapshot, FForm, 0, 0, 0, 0, Unchanged);
        SnapshotForm.reset();
    }
    Restoring = false;
    if (form.Enabled() && IsWindowVisible(FForm)) {
        vcl::TCustomForm *child = form.FormStyle() == vcl::fsMDIForm ? form.ActiveMDIChild() : nullptr;
        if (TsSkinProvider *active = child ? FindFormProvider(child) : nullptr) {
            // The parent keeps its activation; the active child shows it.
            active->FormActive = 1;
            active->RepaintFrameNow();
        } else if (!child) {
            // The form itself, the main form too: the application's window
            // here stays hidden and the main form has its own taskbar button.
            SetActiveWindow(FForm);
            if (alive && form.CanFocus()) form.SetFocus();
        }
    }
    // The focus may have freed the form with its provider and this timer.
    if (veiled && alive) FProvider->UpdateDisabledVeil();
    if (vcl::Application && vcl::Application->OnRestore) vcl::Application->OnRestore(vcl::Application);
}

// ---------------------------------------------------------------- provider

void TsSkinProvider::FreeMinimizeTimer() {
    if (!MinTimer) return;
    // The end of a flight stops the timer before it shows the form and lets
    // go of the hot button, both of which run the application's code: the
    // flight counts as under way until its bit is cleared.
    if (MinTimer->Enabled() || (StateFlags & (pfMinimizeAnimation | pfRestoreAnimation))) {
        // A flight cut short never reaches its end, which would undo what its
        // start did: the form is not left transparent.
        StateFlags &= ~(pfMinimizeAnimation | pfRestoreAnimation);
        ShowAnimating = false;
        if (BorderForm) BorderForm->Border().Updating = false;
        GiveFormItsAlpha();
    }
    MinTimer.reset();
}

void TsSkinProvider::GiveFormItsAlpha() {
    const HWND window = Form && Form->HandleAllocated() ? Form->WindowHandle() : nullptr;
    if (!window) return;
    const auto set = LayeredWindowFunctions().SetLayeredWindowAttributes;
    if (Form->AlphaBlend() && set)
        set(window, 0, Form->AlphaBlendValue(), LWA_ALPHA);
    else
        SetWindowLongPtrW(window, GWL_EXSTYLE, GetWindowLongPtrW(window, GWL_EXSTYLE) & ~LONG_PTR{WS_EX_LAYERED});
}

bool TsSkinProvider::StartMinimizeAnimation() {
    const HWND window = Form && Form->HandleAllocated() ? Form->WindowHandle() : nullptr;
    const TsSkinManager *m = FSkinData->GetSkinManager();
    if (!window || !m || (Later() && !DwmCompositionActive()) || !LayeredWindowsAvailable()) return false;
    if (!m->AnimEffects()->Minimizing->Active) {
        InvalidateIconicBitmaps(window);
        return false;
    }
    FreeButtonAnimations();
    if (StateFlags & pfMinimizeAnimation) return true;
    StateFlags |= pfMinimizeAnimation;
    ShowAnimating = true;
    // One animation timer at a time: a blend's stops (its end copes without).
    MoveTimer.reset();
    if (!MinTimer) MinTimer = std::make_unique<TvlMinTimer>(nullptr, this);
    if (!MinTimer->Restoring || !MinTimer->SnapshotWindow()) MinTimer->Init();
    MinTimer->Restoring = false;
    StateFlags &= ~pfRestoreAnimation;
    // The pictures below run the children's painting, which may free this
    // provider: the command then has nothing left to hand on to.
    const vcl::TGuarded self(this);
    if (MinTimer->TargetAlpha <= MinTimer->Flight.Alpha) {
        if (BorderForm) {
            // The border's window flies: its frame image takes the client in
            // while the minimize bit is set.
            UpdateBorder(false, 255);
            if (!self) return true;
            TvlBorderForm &border = BorderForm->Border();
            if (const HWND borderWindow = border.Window()) {
                EnableBlurBehind(borderWindow, false, nullptr);
                if (vcl::TBitmap *cache = FSkinData->CacheBmp(); cache && !cache->Empty()) {
                    MinTimer->Snapshot = NewBitmap32(cache->Width(), cache->Height());
                    CopyPixels(MinTimer->Snapshot->View(), 0, 0, cache->View(), 0, 0, cache->Width(), cache->Height());
                }
                border.Updating = true;
                SetWindowPos(borderWindow, HWND_TOPMOST, 0, 0, 0, 0,
                             SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
                SetWindowRgn(borderWindow, nullptr, FALSE);
            }
        } else {
            std::unique_ptr<vcl::TBitmap> image = GetFormImage();
            if (!self) return true;
            MinTimer->Snapshot = std::move(image);
        }
    }
    if (DisabledVeil && DisabledVeil->HandleAllocated() && IsWindowVisible(DisabledVeil->WindowHandle()))
        ShowWindow(DisabledVeil->WindowHandle(), SW_HIDE);
    SetWindowLongPtrW(window, GWL_EXSTYLE, GetWindowLongPtrW(window, GWL_EXSTYLE) | WS_EX_LAYERED);
    if (const auto set = LayeredWindowFunctions().SetLayeredWindowAttributes) set(window, 0, 0, LWA_ALPHA);
    if (!DwmCompositionActive()) Sleep(40);
    MinTimer->FirstStep();
    if (!self) return true;
    if (StateFlags & pfMinimizeAnimation) MinTimer->SetEnabled(true);
    InvalidateIconicBitmaps(window);
    return true;
}

bool TsSkinProvider::StartRestoreAnimation() {
    const HWND window = Form && Form->HandleAllocated() ? Form->WindowHandle() : nullptr;
    const TsSkinManager *m = FSkinData->GetSkinManager();
    // Nothing to reverse (no minimized image, no flight under way): the
    // caller restores the form itself.
    if (!window || !m || !MinTimer || !(MinTimer->Restoring || MinTimer->Enabled()) ||
        !m->AnimEffects()->Minimizing->Active)
        return false;
    if (StateFlags & pfRestoreAnimation) return true;
    // The border window's image and the frame's render run the form's own
    // painting, which may free this provider: nothing is reversed then, and
    // the caller restores the form as the system does.
    const vcl::TGuarded self(this);
    TvlBorderForm *border = BorderForm ? &BorderForm->Border() : nullptr;
    if (border && !border->Window()) {
        // Made unseen, to fly the minimized image back.
        border->Updating = false;
        UpdateBorder(false, 0);
        if (!ProviderServes(self, window) || !BorderForm || !border->Window()) return false;
        ShowLayeredBitmap(border->Window(), MinTimer->Snapshot.get(), 0);
    }
    StateFlags &= ~pfMinimizeAnimation;
    StateFlags |= pfRestoreAnimation;
    ShowAnimating = true;
    if (TsSkinManager *manager = FSkinData->GetSkinManager()) manager->SysCommandState = 1;
    if (border) {
        border->Updating = true;
        // The frame flies in its active look; rendered before the form turns
        // transparent, so that a render that lost the provider leaves the
        // form as it was.
        FormActive = 1;
        FSkinData->BGChanged = true;
        RenderFrame();
        if (!ProviderServes(self, window)) return false;
        const HWND borderWindow = border->Window();
        SetWindowPos(borderWindow, HWND_TOPMOST, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
        // The whole picture flies: the border's hole for the form would cut it.
        SetWindowRgn(borderWindow, nullptr, FALSE);
        SetWindowLongPtrW(window, GWL_EXSTYLE, GetWindowLongPtrW(window, GWL_EXSTYLE) | WS_EX_LAYERED);
        if (const auto set = LayeredWindowFunctions().SetLayeredWindowAttributes) set(window, 0, 0, LWA_ALPHA);
        MinTimer->SetEnabled(true);
        Animating = false;
        return true;
    }
    if (Later() && !DwmCompositionActive()) {
        MinTimer->Tick();
        return true;
    }
    SetWindowLongPtrW(window, GWL_EXSTYLE, GetWindowLongPtrW(window, GWL_EXSTYLE) | WS_EX_LAYERED);
    if (const auto set = LayeredWindowFunctions().SetLayeredWindowAttributes) set(window, 0, 0, LWA_ALPHA);
    MinTimer->SetEnabled(true);
    return true;
}

} // namespace skin
