#include "vlBlendOnMoving.h"

#include <algorithm>
#include <memory>

#include "sSkinProvider.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/manager/sSkinManager.h"
#include "skin/graphics/vlCommonUtils.h"
#include "skin/manager/vlAnimFrames.h"
#include "skin/manager/vlFormAnimations.h"
#include "sFormBorder.h"
#include "vcl/Bitmap.h"
#include "vcl/Forms.h"
#include "vcl/GdiObjects.h"
#include "vlDwmServices.h"

namespace skin {

VCL_CLASS_INFO(TvlMoveTimer)

namespace {

void SetAlpha(HWND Window, std::uint8_t Alpha) {
    const LONG_PTR ex = GetWindowLongPtrW(Window, GWL_EXSTYLE);
    if (!(ex & WS_EX_LAYERED)) SetWindowLongPtrW(Window, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    if (const auto set = LayeredWindowFunctions().SetLayeredWindowAttributes) set(Window, 0x1FFFFFFF, Alpha, LWA_ALPHA);
}

// The forms glued to Master hear its alpha (255: opaque again). A form that
// one of them frees meanwhile has left the list: only those still in it
// are told.
void TellGluedForms(const vcl::TCustomForm *Master, int Alpha, bool VisibleOnly) {
    for (const TvlGluedPair &pair : std::vector<TvlGluedPair>(GluedPairs())) {
        const auto &now = GluedPairs();
        const bool listed = std::any_of(now.begin(), now.end(), [&](const TvlGluedPair &p) {
            return p.Glued == pair.Glued && p.Master == pair.Master;
        });
        if (!listed || pair.Master != Master || !pair.Glued || !pair.Glued->HandleAllocated()) continue;
        if (VisibleOnly && !pair.Glued->Visible()) continue;
        SendMessageW(pair.Glued->WindowHandle(), SM_SKINCOMMAND, SkinCommand(SC_SET_FORM_ALPHA), Alpha);
    }
}

} // namespace

TvlMoveTimer::TvlMoveTimer(vcl::TComponent *AOwner, TsSkinProvider *Provider)
    : TvlThreadedTimer(AOwner), FProvider(Provider) {
    SetEnabled(false);
    SetInterval(10);
    SetOnTimer(vcl::TNotifyEvent::Bind<&TvlMoveTimer::Tick>(this));
}

void TvlMoveTimer::Tick(vcl::TObject *) {
    if (!Enabled() || !FormWindow) return;
    const auto alpha = static_cast<std::uint8_t>(std::clamp(RoundEven(CurrentAlpha), 0, 255));
    if (ThroughBorder) {
        // The border window is what moves: it shows the frame image as the
        // form left it, where the drag has put it.
        if (const HWND window = FProvider->BorderWindow())
            if (vcl::TBitmap *image = FProvider->SkinData()->CacheBmp(); image && !image->Empty())
                ShowLayeredBitmap(window, image, alpha);
    } else {
        SetAlpha(FormWindow, alpha);
    }
    TellGluedForms(FProvider->Form, alpha, false);
    // Never below the target, whatever the step's rounding.
    if (TargetAlpha < CurrentAlpha) CurrentAlpha = std::max(CurrentAlpha - Step, static_cast<double>(TargetAlpha));
}

// ---------------------------------------------------------------- provider

void TsSkinProvider::StartBlendOnMoving(bool Drag) {
    const vcl::TGuarded self(this);
    const HWND window = Form && Form->HandleAllocated() ? Form->WindowHandle() : nullptr;
    if ((StateFlags & pfBlendOnMoving) || !window) return;
    NoteGluedForms();
    const TsSkinManager *m = FSkinData->GetSkinManager();
    if (!m || !m->AnimEffects()->BlendOnMoving->Active || !LayeredWindowsAvailable()) return;
    const TvlBlendOnMoving &blend = *m->AnimEffects()->BlendOnMoving;
    StateFlags |= pfBlendOnMoving;
    // One animation timer at a time: a minimize timer goes, its image with it.
    FreeMinimizeTimer();
    MoveTimer = std::make_unique<TvlMoveTimer>(nullptr, this);
    MoveTimer->FormWindow = window;
    MoveTimer->CurrentAlpha = Form->AlphaBlend() ? Form->AlphaBlendValue() : 255;
    MoveTimer->TargetAlpha = FAllowBlendOnMoving ? blend.BlendValue : 255;
    MoveTimer->Step = BlendStep(MoveTimer->TargetAlpha, blend.Time);
    if (BorderForm && BorderForm->Border().Window()) {
        StartBorderBlend(Drag);
        return;
    }
    {
        // The form turns layered under a cover of its own image, so that
        // the change shows nothing.
        std::unique_ptr<vcl::TForm> cover;
        if (!Form->AlphaBlend()) {
            cover = CreateSnapshotForm(window);
            if (cover && !IsZoomed(window))
                vcl::SetWindowRegion(cover->WindowHandle(), vcl::TRegionHandle(BuildFrameRegion(0, 0)), false);
        }
        SetAlpha(window, 255);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    // The repaint ran the form's painting.
    if (!ProviderServes(self, window)) return;
    MoveTimer->SetEnabled(true);
    if (!Drag) return;
    SendMessageW(window, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
    // The move loop may have freed the form with this provider.
    if (ProviderServes(self, window)) EndBlendOnMoving(nullptr);
}

void TsSkinProvider::StartBorderBlend(bool Drag) {
    // The border's update, the style and the placement below reach the
    // form's procedure, which may free this provider (its border with it).
    const vcl::TGuarded self(this);
    const HWND window = Form->WindowHandle();
    const auto serves = [&] {
        if (!ProviderServes(self, window)) return false;
        if (BorderForm) return true;
        // The border went (extended borders turned off): the form shows again.
        EndBlendOnMoving(nullptr);
        return false;
    };
    BorderForm->Border().UpdateBorder(false);
    if (!serves()) return;
    // The form stays where it is until the drag ends: unseen, so that it
    // does not show twice while its image travels.
    SetAlpha(window, 0);
    if (!serves()) return;
    TvlBorderForm &border = BorderForm->Border();
    border.Updating = true;
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
    if (!serves() || &BorderForm->Border() != &border) return;
    const HWND borderWindow = border.Window();
    border.ApplyRegion();  // the whole image, the client area included, from its first frame
    if (vcl::TBitmap *image = FSkinData->CacheBmp(); image && !image->Empty())
        ShowLayeredBitmap(borderWindow, image, static_cast<std::uint8_t>(std::clamp(RoundEven(MoveTimer->CurrentAlpha), 0, 255)));
    MoveTimer->ThroughBorder = true;
    MoveTimer->SetEnabled(true);
    // The move loop may size the window it drags (a monitor of another
    // scale): the border window gets the size it had back.
    RECT kept{};
    const bool sized = GetWindowRect(borderWindow, &kept) && kept.right > kept.left && kept.bottom > kept.top;
    SendMessageW(borderWindow, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
    if (!ProviderServes(self, window)) return;
    if (BorderForm) {
        BorderForm->Border().CaptionDragPending = false;
        RECT now{};
        const HWND still = BorderForm->Border().Window();
        if (sized && still && (::GetVersion() & 0xFF) >= 6 && GetWindowRect(still, &now) &&
            (now.right - now.left != kept.right - kept.left || now.bottom - now.top != kept.bottom - kept.top))
            SetWindowPos(still, nullptr, 0, 0, kept.right - kept.left, kept.bottom - kept.top,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    }
    if (Drag) EndBlendOnMoving(nullptr);
}

bool TsSkinProvider::EndBorderBlend() {
    // The placements and repaints below reach the form's procedure and its
    // painting, which may free this provider or its form.
    const vcl::TGuarded self(this);
    const HWND window = Form->WindowHandle();
    const auto serves = [&] { return ProviderServes(self, window); };
    TvlBorderForm &border = BorderForm->Border();
    const HWND borderWindow = border.Window();
    const bool alphaBlend = Form->AlphaBlend();
    if (MoveTimer) MoveTimer->SetEnabled(false);
    if (vcl::TBitmap *image = FSkinData->CacheBmp(); image && !image->Empty())
        ShowLayeredBitmap(borderWindow, image, alphaBlend ? Form->AlphaBlendValue() : 255);
    // The form joins its border where the drag left it.
    RECT b{};
    GetWindowRect(borderWindow, &b);
    const vcl::TPoint offset = BorderForm->BorderOffset();
    SetWindowPos(window, nullptr, b.left + offset.X, b.top + offset.Y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    if (!serves()) return false;
    StateFlags &= ~pfBlendOnMoving;
    if (alphaBlend) {
        if (BorderForm) BorderForm->Border().Updating = false;
        UpdateBorder(true, 255);
        if (!serves()) return false;
        SetAlpha(window, Form->AlphaBlendValue());
    } else {
        SetWindowPos(window, borderWindow, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
        SetWindowLongPtrW(window, GWL_EXSTYLE, GetWindowLongPtrW(window, GWL_EXSTYLE) & ~LONG_PTR{WS_EX_LAYERED});
        if (!serves()) return false;
    }
    FSkinData->BGChanged = true;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    if (!serves()) return false;
    // A secondary form's window manager catches up with the redraw before
    // the form is placed once more where it is, frame and border agreeing.
    if (!vcl::Application || vcl::Application->MainForm() != Form) Sleep(20);
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    if (!serves()) return false;
    if (DwmCompositionActive() && HasMenuLine()) {
        SendMessageW(window, WM_NCPAINT, 0, 0);
        if (!serves()) return false;
    }
    if (BorderForm) BorderForm->Border().Updating = false;
    UpdateBorder(true, 255);
    if (!serves()) return false;
    // Dropped at the top of the work area: a sizeable form snaps maximized.
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    if ((style & WS_THICKFRAME) && (style & WS_MAXIMIZEBOX)) {
        POINT c{};
        GetCursorPos(&c);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        if (GetMonitorInfoW(MonitorFromPoint(c, MONITOR_DEFAULTTONEAREST), &monitor) && c.y <= monitor.rcWork.top)
            PostMessageW(window, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    }
    return true;
}

bool TsSkinProvider::EndBlendOnMoving(std::unique_ptr<vcl::TForm> Snapshot) {
    const HWND window = Form && Form->HandleAllocated() ? Form->WindowHandle() : nullptr;
    if (!(StateFlags & pfBlendOnMoving)) return true;
    // The repaints reach the form's painting, which may free this provider.
    const vcl::TGuarded self(this);
    const bool throughBorder = MoveTimer && MoveTimer->ThroughBorder;
    if (window && throughBorder && BorderForm && BorderForm->Border().Window()) {
        if (!EndBorderBlend()) return false;
    } else if (window) {
        if (Form->AlphaBlend()) {
            SetAlpha(window, Form->AlphaBlendValue());
        } else {
            if (!Snapshot) Snapshot = CreateSnapshotForm(window);
            if (Snapshot && !IsZoomed(window))
                vcl::SetWindowRegion(Snapshot->WindowHandle(), vcl::TRegionHandle(BuildFrameRegion(0, 0)), false);
            SetWindowLongPtrW(window, GWL_EXSTYLE, GetWindowLongPtrW(window, GWL_EXSTYLE) & ~LONG_PTR{WS_EX_LAYERED});
            UpdateWindow(window);
            if (!ProviderServes(self, window)) return false;
            if (MoveTimer) MoveTimer->SetEnabled(false);
            RedrawWindow(window, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
            Snapshot.reset();
            if (!ProviderServes(self, window)) return false;
        }
    }
    StateFlags &= ~pfBlendOnMoving;
    // A border that lost its window meanwhile is free to update again.
    if (throughBorder && BorderForm) BorderForm->Border().Updating = false;
    TellGluedForms(Form, 255, true);
    if (MoveTimer) MoveTimer->CurrentAlpha = 255;
    MoveTimer.reset();
    return true;
}

} // namespace skin
