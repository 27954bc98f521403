#include "sSkinProvider.h"

#include "sFrameMetrics.h"
#include "sMDIForm.h"
#include "sSystemMenu.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sModuleState.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/Bitmap.h"
#include "vcl/Menus.h"
#include "vcl/ControlCanvas.h"
#include "vcl/Forms.h"
#include "vlCtrlAdapter.h"
#include "vlDwmServices.h"

namespace skin {

namespace {

HWND WindowOf(const vcl::TCustomForm *Form) { return Form && Form->HandleAllocated() ? Form->WindowHandle() : nullptr; }

// The form is painting a copy of itself or its window is going.
bool PaintingCopy(const vcl::TCustomForm &Form) {
    const vcl::TControlState state = Form.ControlState();
    return state.Contains(vcl::csPaintCopy) || state.Contains(vcl::csCustomPaint) ||
           state.Contains(vcl::csDestroyingHandle);
}

// The process-wide flag that a client area is being painted, for a scope,
// with the form that paints it: that form's frame output waits meanwhile.
// Other forms' frames do not: an MDI parent's client painting brings its
// children's frames up to date within it.
class TClientPainting {
public:
    explicit TClientPainting(HWND Window)
        : FPrevious(FormsState().ClientPainting), FPreviousWindow(FormsState().ClientPaintingWindow),
          FPreviousHeld(FormsState().FrameHeldBack) {
        FormsState().ClientPainting = true;
        FormsState().ClientPaintingWindow = Window;
        FormsState().FrameHeldBack = false;
    }
    ~TClientPainting() {
        FormsState().ClientPainting = FPrevious;
        FormsState().ClientPaintingWindow = FPreviousWindow;
        FormsState().FrameHeldBack = FPreviousHeld;
    }
    // Whether the form's frame was held back within the scope (the
    // WM_NCPAINT that BeginPaint sends for a pending frame): it is owed.
    static bool FrameOwed() { return FormsState().FrameHeldBack; }
    TClientPainting(const TClientPainting &) = delete;
    TClientPainting &operator=(const TClientPainting &) = delete;

private:
    bool FPrevious;
    HWND FPreviousWindow;
    bool FPreviousHeld;
};

// The cache holds a current frame image of its full size.
bool CacheValid(const TsCommonData &Data) {
    const vcl::TBitmap *cache = Data.CacheBmp();
    return cache && cache->Width() > 0 && cache->Height() > 0 && !Data.BGChanged;
}

// The visible graphic children of Form painted into DC, whose origin is the
// form's client origin. A child's paint may add children, or free others,
// the form among them: each is asked for again before it paints.
void PaintGraphicChildren(HDC DC, vcl::TCustomForm &Form) {
    std::vector<vcl::TGuarded<vcl::TControl>> children;
    for (int i = 0; i < Form.ControlCount(); ++i) children.emplace_back(Form.Controls(i));
    for (const vcl::TGuarded<vcl::TControl> &child : children) {
        vcl::TControl *c = child.Get();
        if (!c || dynamic_cast<vcl::TWinControl *>(c) || !c->Visible()) continue;
        const vcl::TSavedDC saved(DC);
        OffsetViewportOrgEx(DC, c->Left(), c->Top(), nullptr);
        IntersectClipRect(DC, 0, 0, c->Width(), c->Height());
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    }
}

// WM_PAINT's client painting, with the cache as background where it may
// serve. False once the form's own painting has freed the provider.
bool PaintClientMessage(TsSkinProvider &P, vcl::TMessage &Message) {
    vcl::TCustomForm *Form = P.Form;
    const HWND window = WindowOf(Form);
    // A form that is not showing paints itself (a paint into a DC asks for
    // its picture: its own painting and its graphic controls).
    if (!window || !Form->Showing()) return P.PassOn(Message);
    if (P.SkinData()->CanUseCache()) {
        const vcl::TGuarded alive(&P);
        bool owed = false;
        {
            const TClientPainting painting(window);
            P.PaintClientArea(Message);
            owed = TClientPainting::FrameOwed();
        }
        if (!alive) return false;
        MDIChildPainted(P);
        if (owed) P.PaintNonClient();
        return static_cast<bool>(alive);
    }
    // The background comes from WM_ERASEBKGND, which the paint below sends.
    InvalidateRect(window, nullptr, !P.ComponentState().Contains(vcl::csDestroying));
    const vcl::TGuarded alive(&P);
    {
        const vcl::TPaintDC validate(window, nullptr);
    }
    return static_cast<bool>(alive);
}

} // namespace

void TsSkinProvider::WMNCPaint(vcl::TMessage &Message) {
    if (!SystemMenu) {
        // The preparation's colour change reaches the application, which
        // may free this provider: the frame is then the form's own.
        const TvlFormOwnHandling own(*this);
        if (!PrepareForm()) {
            own.ProviderGone(Message);
            return;
        }
    }
    if (!FDrawNonClientArea) {
        SavedWndProc(Message);
        return;
    }
    Message.Result = 0;
    if (FSkinData->BGFlags() & (bgfPaintLockTaken | bgfMenuChangePending)) return;
    // The menu line is measured from the bar the window shows: not before it has it.
    if (HasMenuLine() && !Form->Menu()->WindowHandle()) return;
    // A child's frame inside an animated parent is the system's meanwhile.
    if (ModuleState().FormAnimationActive && IsMDIChildForm(Form)) {
        SavedWndProc(Message);
        return;
    }
    if (StateFlags & pfSnapshotTaken) return;
    if (DialogMade) {
        const TvlFormOwnHandling own(*this);
        DialogMade = false;
        if (!InitSkin()) {
            own.ProviderGone(Message);
            return;
        }
    }
    // Inside a parent that is not ready the frame is painted later.
    if (Form->Parent() && FSkinData->UpdatePaintLock(false)) return;
    const HWND window = WindowOf(Form);
    if (!window || ShowAnimating || !Form->Showing() || ProviderLoading() ||
        Form->ControlState().Contains(vcl::csDestroyingHandle) || !SystemMenu)
        return;
    const bool iconic = IsIconic(window);
    // Between a size change and the form's own record of it the cache would
    // be made at the wrong size: the next paint comes once both agree. A
    // minimized form keeps the bounds it had.
    if (!iconic && (WindowWidth(window) != Form->Width() || WindowHeight(window) != Form->Height())) return;
    if (iconic) FSkinData->BGChanged = true;
    if (!ControlAdapter && !CreateControlAdapter()) return;
    if (!FSkinData->CacheBmp()) {
        const TsSkinManager *m = FSkinData->GetSkinManager();
        if (!UpdateExtBorders(m && m->GetExtendedBorders())) return;
    }
    PaintNonClient();
    Message.Result = 0;
}

void TsSkinProvider::WMEraseBkgnd(vcl::TMessage &Message) {
    const HWND window = WindowOf(Form);
    if (!window || !IsWindowVisible(window) || !FDrawClientArea) {
        SavedWndProc(Message);
        return;
    }
    if ((FSkinData->BGFlags() & bgfPaintLockTaken) || FSkinData->PaintLocked) return;
    const HDC dc = reinterpret_cast<HDC>(Message.WParam);
    const vcl::TRect client{0, 0, ClientWidth(window), ClientHeight(window)};
    const vcl::TPoint offset{GetClientOffsetX(), GetClientOffsetY()};
    if (!PaintingCopy(*Form) && Message.WParam != static_cast<WPARAM>(Message.LParam)) {
        // The children's paints and their answers to the update run the
        // application's painting, which may free this provider.
        const vcl::TGuarded self(this);
        bool owed = false;
        {
            const TClientPainting painting(window);
            // A maximized child covers the parent's client: nothing of the
            // parent's image shows there.
            if (FSkinData->CanUseCache() && !(IsMDIParent() && ActiveChildMaximized(Form))) {
                if (dc && CacheValid(*FSkinData)) CopyCacheToDC(Form, *FSkinData, offset, client, dc, false, 0, 0);
                PassUpdateDoneToChildren(Form);
            } else {
                CutMDIChildCache(*this);
                PaintFormBackground(dc);
                if (ProviderServes(self, window)) MDIChildPainted(*this);
            }
            owed = TClientPainting::FrameOwed();
        }
        Message.Result = 1;
        if (owed && ProviderServes(self, window)) PaintNonClient();
        return;
    }
    // A copy of the form (a print, a snapshot) is painted from the cache.
    if (dc) {
        if (CacheValid(*FSkinData) && FSkinData->CanUseCache()) {
            CopyCacheToDC(Form, *FSkinData, offset, client, dc, false, 0, 0);
        } else {
            const COLORREF color = static_cast<COLORREF>(vcl::ColorToRGB(FSkinData->GetBackColor(0)) & 0xFFFFFF);
            const vcl::TBrushHandle brush(CreateSolidBrush(color));
            const RECT r{client.Left, client.Top, client.Right, client.Bottom};
            FillRect(dc, &r, brush.Get());
        }
    }
    Message.Result = 1;
}

void TsSkinProvider::WMPaint(vcl::TMessage &Message) {
    if (!FDrawClientArea || (StateFlags & pfRestoreAnimation)) {
        SavedWndProc(Message);
        return;
    }
    Message.Result = 0;
    if (PaintingCopy(*Form)) return;
    const HWND window = WindowOf(Form);
    // A border window that went (or was hidden) comes back with the form's
    // paint; a minimized form shows none, and its animation carries it.
    if (BorderForm && !InShowAnimation && window && !IsIconic(window) && !(StateFlags & pfMinimizeAnimation) &&
        (!BorderWindow() || !IsWindowVisible(BorderWindow())))
        UpdateBorder(false, 255);
    if (!PaintClientMessage(*this, Message)) return;
    // The system's menu bar over the skinned client is drawn again after it.
    if (!FDrawNonClientArea && Form->Menu()) SendMessageW(window, WM_NCPAINT, 1, 0);
}

void TsSkinProvider::WMPrint(vcl::TMessage &Message) {
    const vcl::TGuarded self(this);
    const HWND window = WindowOf(Form);
    if (!window || ProviderLoading() || Form->ComponentState().Contains(vcl::csLoading) ||
        Form->ComponentState().Contains(vcl::csDestroying)) {
        SavedWndProc(Message);
        return;
    }
    SetNcRenderingPolicy(window, FDrawNonClientArea ? ncrpDisabled : ncrpUseWindowStyle);
    // Only a child behind the maximized one is left out of the picture: any
    // other child shows on the screen, and so in its picture (a show
    // animation's first image).
    if (CoveredByMaximizedChild(Form)) return;
    // A form printed before it was ever shown (a show animation's first
    // picture) has its menu's items measured for the line it paints.
    if (!MenuRebuiltForPrint) {
        MenuRebuiltForPrint = true;
        RebuildMainMenu();
        if (!ProviderServes(self, window)) return;
    }
    if (Message.LParam & PRF_ERASEBKGND) {
        Message.Result = PerformFormProc(WM_ERASEBKGND, Message.WParam, Message.LParam);
        return;
    }
    const HDC dc = reinterpret_cast<HDC>(Message.WParam);
    if (!dc) return;
    const vcl::TSavedDC saved(dc);
    // (The frame's render and the children's paints below run the
    // application's painting, which may free this provider or its form.)
    if (FDrawNonClientArea) {
        // The client area is painted on the DC as it came, whatever the
        // frame's output did to it.
        const vcl::TSavedDC frame(dc);
        if (HasFrame() || !HasSizingFrame(window)) {
            PaintCachedFrame(dc);
        } else if (CacheUsable()) {
            // A frameless form with a sizing frame: its caption strip and
            // edges, as far as the client area.
            const int left = GetClientOffsetX(), top = GetClientOffsetY();
            PaintFrameStrips(dc, top, left, WindowWidth(window) - left - ClientWidth(window),
                             WindowHeight(window) - top - ClientHeight(window));
        }
    }
    if (!self) return;
    // The DC is the window's: the frame image around it is not in it.
    const vcl::TPoint offset = WindowToFrameOffset();
    OffsetViewportOrgEx(dc, GetClientOffsetX() - offset.X, GetClientOffsetY() - offset.Y, nullptr);
    IntersectClipRect(dc, 0, 0, ClientWidth(window), ClientHeight(window));
    const bool mdiParent = IsMDIParent();
    if (BorderForm) {
        // The whole frame image came with the client's background in it:
        // only the graphic children are not in it (an MDI parent's client
        // window covers its own).
        if (!mdiParent) PaintGraphicChildren(dc, *Form);
    } else if (FSkinData->BGFlags() & bgfParentBackground) {
        {
            const vcl::TSavedDC background(dc);
            ExcludeGraphicControlsFromClip(dc, *Form, 0, 0);
            PaintClientBackground(dc, false);
        }
        if (self && !mdiParent) PaintGraphicChildren(dc, *Form);
    } else {
        PaintClientBackground(dc, false);
    }
    if (!self) return;
    // The client window and the children in it print themselves.
    if (const HWND mdiClient = mdiParent ? Form->ClientHandle() : nullptr)
        SendMessageW(mdiClient, WM_PRINT, Message.WParam, Message.LParam);
    if (!self) return;
    if (Form->OnPaint) {
        const vcl::TCanvasDCScope canvas(Form->Canvas(), dc);
        Form->OnPaint(Form);
    }
}

} // namespace skin
