#include "vlBlendOnMoving.h"

#include <algorithm>
#include <memory>

#include "sSkinProvider.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/vlAnimFrames.h"
#include "vcl/Forms.h"
#include "vlDwmServices.h"

namespace skin {

VCL_CLASS_INFO(TvlMoveTimer)

namespace {

void SetAlpha(HWND Window, std::uint8_t Alpha) {
    const LONG_PTR ex = GetWindowLongPtrW(Window, GWL_EXSTYLE);
    if (!(ex & WS_EX_LAYERED)) SetWindowLongPtrW(Window, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    if (const auto set = LayeredWindowFunctions().SetLayeredWindowAttributes) set(Window, 0x1FFFFFFF, Alpha, LWA_ALPHA);
}

// The forms glued to Master hear its alpha (255: opaque again).
void TellGluedForms(const vcl::TCustomForm *Master, int Alpha, bool VisibleOnly) {
    for (const TvlGluedPair &pair : std::vector<TvlGluedPair>(GluedPairs())) {
        if (pair.Master != Master || !pair.Glued || !pair.Glued->HandleAllocated()) continue;
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
    SetAlpha(FormWindow, alpha);
    TellGluedForms(FProvider->Form, alpha, false);
    // Never below the target, whatever the step's rounding.
    if (TargetAlpha < CurrentAlpha) CurrentAlpha = std::max(CurrentAlpha - Step, static_cast<double>(TargetAlpha));
}

// ---------------------------------------------------------------- provider

void TsSkinProvider::StartBlendOnMoving(bool Drag) {
    const HWND window = Form && Form->HandleAllocated() ? Form->WindowHandle() : nullptr;
    if ((StateFlags & pfBlendOnMoving) || !window) return;
    NoteGluedForms();
    const TsSkinManager *m = FSkinData->GetSkinManager();
    if (!m || !m->AnimEffects()->BlendOnMoving->Active || !LayeredWindowsAvailable()) return;
    const TvlBlendOnMoving &blend = *m->AnimEffects()->BlendOnMoving;
    StateFlags |= pfBlendOnMoving;
    MoveTimer = std::make_unique<TvlMoveTimer>(nullptr, this);
    MoveTimer->FormWindow = window;
    MoveTimer->CurrentAlpha = Form->AlphaBlend() ? Form->AlphaBlendValue() : 255;
    MoveTimer->TargetAlpha = FAllowBlendOnMoving ? blend.BlendValue : 255;
    MoveTimer->Step = BlendStep(MoveTimer->TargetAlpha, blend.Time);
    {
        // The form turns layered under a cover of its own image, so that
        // the change shows nothing.
        std::unique_ptr<vcl::TForm> cover;
        if (!Form->AlphaBlend()) {
            cover = CreateSnapshotForm(window);
            if (cover && !IsZoomed(window)) SetWindowRgn(cover->WindowHandle(), BuildFrameRegion(0, 0), FALSE);
        }
        SetAlpha(window, 255);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    MoveTimer->SetEnabled(true);
    if (!Drag) return;
    SendMessageW(window, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
    // The move loop may have freed the form with this provider.
    if (ProviderServes(this, window)) EndBlendOnMoving(nullptr);
}

void TsSkinProvider::EndBlendOnMoving(std::unique_ptr<vcl::TForm> Snapshot) {
    const HWND window = Form && Form->HandleAllocated() ? Form->WindowHandle() : nullptr;
    if (!(StateFlags & pfBlendOnMoving)) return;
    if (window) {
        if (Form->AlphaBlend()) {
            SetAlpha(window, Form->AlphaBlendValue());
        } else {
            if (!Snapshot) Snapshot = CreateSnapshotForm(window);
            if (Snapshot && !IsZoomed(window)) SetWindowRgn(Snapshot->WindowHandle(), BuildFrameRegion(0, 0), FALSE);
            SetWindowLongPtrW(window, GWL_EXSTYLE, GetWindowLongPtrW(window, GWL_EXSTYLE) & ~LONG_PTR{WS_EX_LAYERED});
            UpdateWindow(window);
            if (MoveTimer) MoveTimer->SetEnabled(false);
            RedrawWindow(window, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
            Snapshot.reset();
        }
    }
    StateFlags &= ~pfBlendOnMoving;
    TellGluedForms(Form, 255, true);
    if (MoveTimer) MoveTimer->CurrentAlpha = 255;
    MoveTimer.reset();
}

} // namespace skin
