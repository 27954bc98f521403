// The dialog adapter on a new size and on being shown: the frame image,
// the border window and the region follow a size only when the frame
// no longer fits; while the dialog updates, or while a form animation
// runs, the window's own handling alone. Under desktop composition the
// window's own show and size run without a visible step of their own.
#include <algorithm>

#include "skin/forms/sFrameMetrics.h"
#include "skin/forms/vlBorderGeometry.h"
#include "skin/forms/vlDwmServices.h"
#include "skin/graphics/vlCommonUtils.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sModuleState.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/Bitmap.h"
#include "vlDialogWnd.h"

namespace skin {

namespace {

// Everything drawn anew at once, frame included (without a border window).
constexpr UINT RedrawWhole = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW;
// The client and the children drawn anew at once: the frame is the border window's.
constexpr UINT RedrawInside = RDW_INVALIDATE | RDW_ERASE | RDW_NOFRAME | RDW_ALLCHILDREN | RDW_UPDATENOW;
// The dialog put directly behind its border window.
constexpr UINT BehindBorder = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE;
static_assert(RedrawWhole == 0x585 && RedrawInside == 0x985 && BehindBorder == 0x13);
// A border update that leaves the z-order to the caller.
constexpr std::uint32_t SizeInHand = 0x1;

} // namespace

void TvlDialogWnd::SizeChanged(vcl::TMessage &Message) {
    if (!BorderForm) {
        FrameInvalid = true;
        NeedRegion = true;
        if (!PassOnUpdating(Message, false)) return;
        if (IsWindowVisible(Handle)) RedrawWindow(Handle, nullptr, nullptr, RedrawWhole);
        StoreClientRect();
        return;
    }
    if (SkinData->Updating) {
        PassOnUnless(ScrollHandler(Message), Message);
        return;
    }
    const int w = LOWORD(Message.LParam), h = HIWORD(Message.LParam);
    if (w < ClientRect.Width() || h < ClientRect.Height() || w == 0) InvalidateRightCorners();
    if (!PassOnUpdating(Message, DwmCompositionActive())) return;
    if (!ModuleState().FormAnimationActive) FrameFollowsSize();
    StoreClientRect();
}

bool TvlDialogWnd::PassOnUpdating(vcl::TMessage &Message, bool RedrawOff) {
    const vcl::TGuarded alive(this);
    // An update in progress outside is not ended by a size.
    const bool was = SkinData->Updating;
    SkinData->Updating = true;
    if (RedrawOff) SendMessageW(Handle, WM_SETREDRAW, FALSE, 0);
    PassOnUnless(ScrollHandler(Message), Message);
    if (!alive) return false;
    if (RedrawOff) SendMessageW(Handle, WM_SETREDRAW, TRUE, 0);
    SkinData->Updating = was;
    return true;
}

void TvlDialogWnd::InvalidateRightCorners() {
    const TsSkinManager *m = SkinData->GetSkinManager();
    if (!m || !m->IsValidSectionIndex(SkinData->SkinIndex())) return;
    const TsGeneralData &section = m->Sections[static_cast<std::size_t>(SkinData->SkinIndex())];
    RECT cr{};
    GetClientRect(Handle, &cr);
    const bool erase = !SkinData->CanUseCache();
    InvalidateCorner(Handle, *m, section.ImgTopRight, cr.right, cr.bottom, false, erase);
    InvalidateCorner(Handle, *m, section.ImgBottomRight, cr.right, cr.bottom, true, erase);
}

bool TvlDialogWnd::FrameImageFits() const {
    const vcl::TBitmap *cache = SkinData->CacheBmp();
    if (!cache || cache->Empty()) return false;
    const vcl::TSize size = FrameCacheSize();
    const bool heightKept = IsIconic(Handle) && DwmCompositionActive();
    return cache->Width() == size.cx && (heightKept || cache->Height() == size.cy);
}

void TvlDialogWnd::FrameFollowsSize() {
    if (!IsWindowVisible(Handle)) {
        FrameInvalid = true;
        return;
    }
    // An image that fits may have been rendered for the new size already
    // (a restore from minimized paints before it is sized): its shape is
    // still to be set.
    if (FrameImageFits() && !NeedRegion) return;
    NeedRegion = true;
    FrameInvalid = true;
    const bool noBars = !HorzBar->Shown && !VertBar->Shown;
    // The border's update, the placement and the region run the window's
    // procedure, which may free this adapter.
    const vcl::TGuarded alive(this);
    if (noBars) StateFlags |= SizeInHand;
    UpdateBorder(true);
    if (!alive) return;
    if (noBars) StateFlags &= ~SizeInHand;
    if (const HWND border = BorderWindow()) {
        BorderForm->Updating = true;
        SetWindowPos(Handle, border, 0, 0, 0, 0, BehindBorder);
        if (!alive) return;
        // The dialog's procedure may have turned the borders off there.
        if (BorderForm) BorderForm->Updating = false;
    }
    UpdateRegion(false);
    if (!alive) return;
    RedrawWindow(Handle, nullptr, nullptr, RedrawInside);
    if (!alive) return;
    // The hole over the client area where the client now is; without a
    // border window the dialog's own shape once more. The border window is
    // not placed after the dialog again: the dialog owns it, and the system
    // keeps an owned window right above its owner, where the placement
    // behind it has just left it.
    if (BorderWindow())
        BorderForm->ApplyRegion();
    else
        UpdateRegion(false);
}

void TvlDialogWnd::StoreClientRect() {
    RECT cr{};
    GetClientRect(Handle, &cr);
    ClientRect = {FrameLeftWidth(), FrameTopHeight(), FrameLeftWidth() + cr.right, FrameTopHeight() + cr.bottom};
}

bool TvlDialogWnd::ShowWindowMessage(vcl::TMessage &Message) {
    if (!DwmCompositionActive()) return AnimateShow(Message);
    // The window's own show runs layered: the composition shows no frame
    // of the system's for a moment.
    const vcl::TGuarded alive(this);
    const HWND window = Handle;
    const LONG_PTR ex = GetWindowLongPtrW(window, GWL_EXSTYLE);
    if (!(ex & WS_EX_LAYERED)) SetWindowLongPtrW(window, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    PassOnUnless(ScrollHandler(Message), Message);
    // The style comes off also where the dialog's own show ended this
    // adapter (its procedure turned the skin off): a layered window that
    // nothing draws would stay unseen.
    if (!(ex & WS_EX_LAYERED) && IsWindow(window))
        SetWindowLongPtrW(window, GWL_EXSTYLE, GetWindowLongPtrW(window, GWL_EXSTYLE) & ~WS_EX_LAYERED);
    if (!alive) return true;
    SetNcRenderingPolicy(Handle, 1);
    AnimateShow(Message);
    return true;
}

} // namespace skin
