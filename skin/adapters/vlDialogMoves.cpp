// The dialog adapter's blended moves, its icon and its region, on the
// routines of vlDialogRoutines.h.
#include "vlDialogWnd.h"

#include <algorithm>
#include <utility>

#include "skin/forms/sFrameMetrics.h"
#include "skin/forms/vlDwmServices.h"
#include "skin/graphics/sMaskData.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/graphics/vlGlyphStrips.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/sVclUtils.h"
#include "skin/manager/vlAnimFrames.h"
#include "skin/manager/vlFormAnimations.h"
#include "vcl/Bitmap.h"
#include "vcl/Forms.h"
#include "vcl/GdiObjects.h"
#include "vcl/WideText.h"

namespace skin {

namespace {

constexpr std::uint32_t BlendedMoveFlag = 0x80;

// A layered window that nothing draws stays unseen: a dialog whose adapter
// went during its move is itself again, opaque.
void DropLayered(HWND Window) {
    if (!IsWindow(Window)) return;
    const LONG_PTR ex = GetWindowLongPtrW(Window, GWL_EXSTYLE);
    if (ex & WS_EX_LAYERED) SetWindowLongPtrW(Window, GWL_EXSTYLE, ex & ~WS_EX_LAYERED);
}

// The dialog layered for a move. The style change runs the dialog's
// procedure, as does all that follows until the move ends, and each may
// free the adapter: then the style comes off again on the way out.
class TMoveLayering {
public:
    TMoveLayering(TvlDialogWnd &Adapter, HWND Window)
        : FAlive(&Adapter), FWindow(Window), FWas((GetWindowLongPtrW(Window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0) {
        if (!FWas) SetWindowLongPtrW(Window, GWL_EXSTYLE, GetWindowLongPtrW(Window, GWL_EXSTYLE) | WS_EX_LAYERED);
    }
    ~TMoveLayering() {
        if (!FAlive && !FWas) DropLayered(FWindow);
    }
    TMoveLayering(const TMoveLayering &) = delete;
    TMoveLayering &operator=(const TMoveLayering &) = delete;

private:
    vcl::TGuarded<TvlDialogWnd> FAlive;
    HWND FWindow;
    bool FWas;
};

} // namespace

void TvlDialogWnd::StartBlendedMove() {
    const TsSkinManager *m = SkinData ? SkinData->GetSkinManager() : nullptr;
    if ((StateFlags & BlendedMoveFlag) || !m || !m->AnimEffects()->BlendOnMoving->Active || !LayeredWindowsAvailable())
        return;
    const int target = m->AnimEffects()->BlendOnMoving->BlendValue;
    if (BorderForm && BorderForm->Window()) {
        StartBorderMove(target);
        return;
    }
    // The cover, the style, the repaint and the move loop run the dialog's
    // procedure, which may free this adapter.
    const vcl::TGuarded alive(this);
    const HWND window = Handle;
    StateFlags |= BlendedMoveFlag;
    MoveTimer = std::make_unique<TvlDialogMoveTimer>(window, target, (255 - target) / 30);
    std::unique_ptr<vcl::TForm> cover = CreateSnapshotForm(window);
    if (!alive) return;
    // The dialog turns layered under a cover of its own image: the change shows nothing.
    const TMoveLayering layered(*this, window);
    if (!alive) return;
    if (const auto set = LayeredWindowFunctions().SetLayeredWindowAttributes) set(window, 0x1FFFFFFF, 255, LWA_ALPHA);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    cover.reset();
    if (!alive) return;
    MoveTimer->SetEnabled(true);
    // The system's move loop runs while the timer fades the dialog.
    SendMessageW(window, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
    if (alive) EndBlendedMove();
}

void TvlDialogWnd::StartBorderMove(int Target) {
    // The border's update and the dialog's placement and style run the
    // window's procedure, which may free this adapter or turn the borders off.
    const vcl::TGuarded alive(this);
    PaintFrame();
    if (!alive || !BorderForm) return;
    BorderForm->UpdateBorder(false);
    if (!alive || !BorderForm) return;
    const HWND border = BorderForm->Window();
    vcl::TBitmap *image = FrameImage();
    if (!border || !image) return;
    StateFlags |= BlendedMoveFlag;
    BorderForm->Moving = true;
    MoveTimer = std::make_unique<TvlDialogMoveTimer>(Handle, Target, (255 - Target) / 30);
    MoveTimer->Border = border;
    MoveTimer->Image = image;
    // The dialog stays where it is, unseen, right behind the border window
    // while its image travels in it; it joins the border where the drag ends.
    const HWND window = Handle;
    SetWindowPos(window, border, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
    if (!alive) return;
    const TMoveLayering layered(*this, window);
    if (!alive) return;
    if (const auto set = LayeredWindowFunctions().SetLayeredWindowAttributes) set(Handle, 0, 0, LWA_ALPHA);
    // Without its border there is nothing to drag: the dialog is itself again.
    if (!BorderForm || BorderForm->Window() != border) {
        EndBlendedMove();
        return;
    }
    BorderForm->Updating = true;
    ShowLayeredBitmap(border, image, 255);
    BorderForm->ApplyRegion();  // the whole image, the client area included
    MoveTimer->SetEnabled(true);
    SendMessageW(border, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
    if (alive) EndBlendedMove();
}

void TvlDialogWnd::EndBlendedMove() {
    // The border window goes with a dialog that the application hides
    // during the drag: then there is nothing to join, and the dialog stays
    // where it waited.
    const HWND border = BorderForm ? BorderForm->Window() : nullptr;
    // The placement, the style and the repaint run the dialog's procedure,
    // which may free this adapter: the dialog is then opaque where it is.
    const vcl::TGuarded alive(this);
    const HWND window = Handle;
    if (MoveTimer && MoveTimer->Border && border && IsWindow(window)) {
        MoveTimer->SetEnabled(false);
        if (vcl::TBitmap *image = FrameImage()) ShowLayeredBitmap(border, image, 255);
        RECT b{};
        GetWindowRect(border, &b);
        const vcl::TPoint offset = BorderOffset();
        SetWindowPos(window, nullptr, b.left + offset.X, b.top + offset.Y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
        if (alive) StateFlags &= ~BlendedMoveFlag;
        DropLayered(window);
        if (!alive) return;
        SetFocus(window);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        if (!alive) return;
        if (BorderForm) {
            // The dialog's own picture reaches the screen before the border
            // opens its hole over it.
            Sleep(40);
            if (const HWND now = BorderForm->Window())
                SetWindowPos(now, Handle, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
            BorderForm->Moving = false;
            BorderForm->Updating = false;
            BorderForm->UpdateBorder(true);  // its hole over the client again
        }
        MoveTimer.reset();
        return;
    }
    if (MoveTimer) MoveTimer->SetEnabled(false);
    if (IsWindow(window)) {
        // A hidden dialog has nothing to cover and redraw, and taking the
        // focus would make it the active window unseen: the keyboard would
        // reach its buttons.
        const bool shown = IsWindowVisible(window) != FALSE;
        const std::unique_ptr<vcl::TForm> cover = shown ? CreateSnapshotForm(window) : nullptr;
        DropLayered(window);
        if (shown) {
            UpdateWindow(window);
            SetFocus(window);
            RedrawWindow(window, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        }
    }
    if (!alive) return;
    StateFlags &= ~BlendedMoveFlag;
    MoveTimer.reset();
    if (BorderForm) {
        // A border whose window went during the drag is free again.
        BorderForm->Moving = false;
        BorderForm->Updating = false;
        BorderForm->UpdateBorder(true);
    }
}

// ------------------------------------------------------- the adapter's own

void TvlDialogWnd::PaintIcon() {
    vcl::TBitmap *cache = SkinData ? SkinData->CacheBmp() : nullptr;
    if (!cache || !Icon || CaptionHeight() == 0) return;
    const vcl::TRect r = IconRect();
    const HDC dc = cache->Canvas()->Handle();
    const vcl::TIconHandle copy(static_cast<HICON>(
        CopyImage(Icon, IMAGE_ICON, r.Width(), r.Height(), LR_COPYFROMRESOURCE)));
    const HICON icon = copy ? copy.Get() : LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    DrawIconEx(dc, r.Left, r.Top, icon, r.Width(), r.Height(), 0, nullptr, DI_NORMAL);
}

void TvlDialogWnd::BuildCornerRects() {
    CornerRects.clear();
    const TsSkinManager *m = SkinData ? SkinData->GetSkinManager() : nullptr;
    if (!m) return;
    RECT wr{};
    GetWindowRect(Handle, &wr);
    const int width = wr.right - wr.left, height = wr.bottom - wr.top;
    const int border = SkinData->BorderIndex();
    if (m->IsValidMaskIndex(border)) {
        const TsMaskData &mask = m->Masks[static_cast<std::size_t>(border)];
        GetMaskCornerRects(CornerRects, width, mask, 0, false);
        GetMaskCornerRects(CornerRects, width, mask, height - m->MaskBottomMargin(border), true);
    }
    if (m->IsValidSectionIndex(TitleSection)) {
        const int title = m->GetMaskIndexChecked(TitleSection, TitleSectionName, "BORDERSMASK");
        if (m->IsValidMaskIndex(title))
            GetMaskCornerRects(CornerRects, width, m->Masks[static_cast<std::size_t>(title)], 0, false);
    }
}

HRGN TvlDialogWnd::CreateCornerRegion(int X, int Y) const {
    RECT wr{};
    GetWindowRect(Handle, &wr);
    HRGN region = CreateRectRgn(X, Y, X + wr.right - wr.left, Y + wr.bottom - wr.top);
    for (const vcl::TRect &c : CornerRects) {
        const vcl::TRegionHandle corner(CreateRectRgn(c.Left + X, c.Top + Y, c.Right + X, c.Bottom + Y));
        CombineRgn(region, region, corner.Get(), RGN_DIFF);
    }
    return region;
}

void TvlDialogWnd::UpdateRegion(bool Redraw) {
    if (!IsIconic(Handle) && FrameKind == 2) return;
    if (SendMessageW(Handle, WM_REGION_PROBE, RegionProbeKey, 0) == static_cast<LRESULT>(RegionProbeKey)) return;
    AdaptersState().DialogRegionSet = true;
    BuildCornerRects();
    vcl::TRegionHandle region;
    if (BorderForm) {
        // The border window shows the frame: the dialog keeps what lies
        // inside its native one, its client area, one pixel more at the top
        // and the bottom where the skin's border casts a shadow.
        RECT wr{};
        GetWindowRect(Handle, &wr);
        const int bw = GetBorderWidth(Handle, BorderForm.get(), false);
        const int shadow = SkinManager && SkinManager->SkinData && SkinManager->SkinData->Shadow1Offset >= 1 ? 1 : 0;
        region.Reset(CreateRectRgn(bw, NativeTopHeight() - shadow, wr.right - wr.left - bw,
                                   wr.bottom - wr.top - bw + shadow));
    } else {
        region.Reset(CreateCornerRegion(0, 0));
    }
    // The new shape moves the window: its procedure may free this adapter.
    const vcl::TGuarded alive(this);
    vcl::SetWindowRegion(Handle, std::move(region), Redraw);
    if (alive) NeedRegion = false;
}

} // namespace skin
