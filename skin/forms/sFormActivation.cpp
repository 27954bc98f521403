#include "sSkinProvider.h"

#include <algorithm>
#include <utility>

#include "sFormBorder.h"
#include "sFrameMetrics.h"
#include "sMDIForm.h"
#include "sSystemMenu.h"
#include "skin/graphics/sMaskData.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/sVclUtils.h"
#include "vcl/Bitmap.h"
#include "vcl/Forms.h"
#include "vcl/GdiObjects.h"
#include "vlBlendOnMoving.h"
#include "vlCtrlAdapter.h"
#include "vlDwmServices.h"
#include "vlMinimizeAnimation.h"

namespace skin {

namespace {

// How long a hidden form waits at most for its hide animation to end: a
// stuck animation must not hold the application.
constexpr DWORD AnimationWaitLimit = 3000;

HWND WindowOf(const vcl::TCustomForm *Form) { return Form && Form->HandleAllocated() ? Form->WindowHandle() : nullptr; }

bool Has(const vcl::TComponent *C, vcl::TComponentStateItem Item) { return C && C->ComponentState().Contains(Item); }

bool Layered(HWND Window) { return (GetWindowLongPtrW(Window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0; }

// The layer that kept a shown form's first paints off the screen goes.
// Unvisible: WS_VISIBLE goes with it by style, so that the form draws
// nothing until the show animation's WM_SETREDRAW gives it back; the window
// is not hidden, which would take its activation.
void DropShowLayer(HWND Window, bool Unvisible) {
    LONG_PTR style = GetWindowLongPtrW(Window, GWL_STYLE);
    if (Unvisible) SetWindowLongPtrW(Window, GWL_STYLE, style & ~LONG_PTR{WS_VISIBLE});
    SetWindowLongPtrW(Window, GWL_EXSTYLE, GetWindowLongPtrW(Window, GWL_EXSTYLE) & ~LONG_PTR{WS_EX_LAYERED});
}

// WM_SETREDRAW to every visible child window of the form.
void SetChildrenRedraw(vcl::TCustomForm &Form, bool On) {
    for (int i = 0; i < Form.ControlCount(); ++i) {
        auto *child = dynamic_cast<vcl::TWinControl *>(Form.Controls(i));
        if (child && child->Visible() && child->HandleAllocated())
            SendMessageW(child->WindowHandle(), WM_SETREDRAW, On, 0);
    }
}

// Asks every child control of Form that lies within the header's height to
// paint again with the new activation.
void InvalidateHeaderChildren(vcl::TCustomForm &Form, int HeaderHeight) {
    for (int i = 0; i < Form.ControlCount(); ++i) {
        vcl::TControl *c = Form.Controls(i);
        if (c->Top() >= HeaderHeight) continue;
        const WPARAM updating = SkinCommand(SC_SET_UPDATING, 1), invalidate = SkinCommand(SC_INVALIDATE_CACHE, 1);
        if (auto *windowed = dynamic_cast<vcl::TWinControl *>(c)) {
            if (!windowed->HandleAllocated()) continue;
            SendMessageW(windowed->WindowHandle(), SM_SKINCOMMAND, updating, 0);
            SendMessageW(windowed->WindowHandle(), SM_SKINCOMMAND, invalidate, 0);
        } else {
            c->Perform(SM_SKINCOMMAND, updating, 0);
            c->Perform(SM_SKINCOMMAND, invalidate, 0);
        }
    }
}

// The form's section repaints itself on an activation change: it has no
// section, more than one state, or a border mask of several images.
bool ActivationChangesFrame(const TsCommonData &Data) {
    const TsSkinManager *m = Data.GetSkinManager();
    if (!m || !m->IsValidSectionIndex(Data.SkinIndex())) return true;
    if (m->Sections[static_cast<std::size_t>(Data.SkinIndex())].States > 1) return true;
    return m->IsValidMaskIndex(Data.BorderIndex()) &&
           m->Masks[static_cast<std::size_t>(Data.BorderIndex())].ImageCount >= 2;
}

std::uint8_t FormAlpha(const vcl::TCustomForm &Form) { return Form.AlphaBlend() ? Form.AlphaBlendValue() : 255; }

// The system paints its own menu bar while it handles an activation change
// under composition: the border's picture covers the menu line meanwhile
// (its hole leaves the line out while the change is handled).
void CoverMenuLineWithBorder(TsSkinProvider &P) {
    const std::uint8_t alpha = FormAlpha(*P.Form);
    // A window made here is made where the border belongs.
    if (!P.BorderWindow()) P.UpdateBorder(false, alpha);
    const HWND border = P.BorderWindow();
    if (!border) return;
    P.BorderForm->Border().ApplyRegion();
    FormAnimations().ShowLayeredBitmap(border, P.SkinData()->CacheBmp(), alpha);
    SetWindowPos(border, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOOWNERZORDER);
}

// A form with a border form is being hidden. With a hide animation of
// frames to play, the border shows the form's picture, controls and all,
// while the form goes (the snapshot bit makes it show the whole picture);
// without one the border form goes before the form, so that its frame never
// stands around an empty hole. False once the picture's painting freed
// the provider.
bool HideBorder(TsSkinProvider &P) {
    const TsSkinManager *m = P.SkinData()->GetSkinManager();
    const TvlFormHide *hide = m ? m->AnimEffects()->FormHide.get() : nullptr;
    if (hide && hide->Active && hide->Time >= 10 && P.AllowAnimation())
        return (P.StateFlags & pfSnapshotTaken) || P.TakeHideSnapshot();
    P.FreeBorderForm();
    return true;
}

// A visible form's border after a placement that showed it (no frame
// change, no redraw held back, no blend): a change of z-order only takes
// the border window along, its picture stays; any other placement
// refreshes it. A disabled form's too: moved by the application, it would
// leave its frame standing at the old place.
void BorderFollowsPlacement(TsSkinProvider &P, const WINDOWPOS &Pos) {
    const HWND window = WindowOf(P.Form);
    if (!P.BorderForm || P.InShowAnimation || !window || !IsWindowVisible(window) || IsIconic(window) ||
        (Pos.flags & (SWP_NOREDRAW | SWP_FRAMECHANGED)) || (P.StateFlags & pfBlendOnMoving))
        return;
    const HWND border = P.BorderWindow();
    if (!border || (Pos.flags & (SWP_NOSIZE | SWP_NOMOVE)) != (SWP_NOSIZE | SWP_NOMOVE)) {
        P.UpdateBorder(false, 255);
        return;
    }
    HWND after = window;
    // The border's own z-order rules for the active main form.
    if (P.CompositionOn && vcl::Application && vcl::Application->MainForm() == P.Form && GetActiveWindow() == window) {
        if (P.Form->FormStyle() == vcl::fsStayOnTop)
            after = HWND_TOP;
        else if (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST)
            after = HWND_TOPMOST;
    }
    SetWindowPos(border, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

bool ScrollBarShown(const TvlScrollAdapter *Adapter) {
    return Adapter && (Adapter->HorzScrollBar().Visible || Adapter->VertScrollBar().Visible);
}

// The form is made smaller while its menu loop runs or while it loads: the
// border's region takes the new size first, so that its hole never shows
// what lies beyond the smaller form.
void ShrinkBorderHole(TsSkinProvider &P, const WINDOWPOS &Pos) {
    const HWND window = WindowOf(P.Form), border = P.BorderWindow();
    if (!border || (Pos.flags & SWP_NOSIZE) || Pos.cx == 0 || Pos.cy == 0 ||
        ScrollBarShown(P.FormScrollAdapter.get()))
        return;
    // The new window size in client terms: measured against the window's
    // outer size, a form made smaller by less than its frame would keep the
    // old hole.
    const vcl::TRect last = P.LastClientRect;
    const int width = std::max(0, Pos.cx - (WindowWidth(window) - ClientWidth(window)));
    const int height = std::max(0, Pos.cy - (WindowHeight(window) - ClientHeight(window)));
    if (width >= last.Width() && height >= last.Height()) return;
    if (IsIconic(window)) {
        P.SkinData()->BGChanged = true;
        P.UpdateBorder(false, 255);
        return;
    }
    // The hole is cut to the size the form is about to take.
    P.LastClientRect = {0, 0, std::min(width, last.Width()), std::min(height, last.Height())};
    P.StateFlags |= pfBorderRegionSetting;
    vcl::SetWindowRegion(border, vcl::TRegionHandle(P.BorderRegion()), true);
    P.LastClientRect = last;
    SetWindowPos(window, border, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOOWNERZORDER);
    P.StateFlags &= ~pfBorderRegionSetting;
}

} // namespace

// ------------------------------------------------------------ creation

// An MDI child is prepared once it is activated or painted: while it is
// made, the client still sets up its state and system menu.
void TsSkinProvider::WMCreate(vcl::TMessage &Message) {
    const bool child = IsMDIChildForm(Form);
    if (child) MDIChildCreating();
    if (PassOn(Message) && !child) PrepareForm();
}

void TsSkinProvider::WMNCCreate(vcl::TMessage &Message) {
    if (PassOn(Message) && !IsMDIChildForm(Form)) PrepareForm();
}

// -------------------------------------------------------- activation

void TsSkinProvider::WMNCActivate(vcl::TMessage &Message) {
    // The restore animation keeps the caption as it is; the activation
    // change itself is accepted.
    if (StateFlags & pfRestoreAnimation) {
        Message.Result = TRUE;
        return;
    }
    GlowService().ClearGlows(true);
    const HWND window = WindowOf(Form);
    if (ComponentState().Contains(vcl::csDestroying) || !FDrawNonClientArea || !window) {
        SavedWndProc(Message);
        return;
    }
    if (Form->Showing() && FFormHeader->StateDependent()) InvalidateHeaderChildren(*Form, FFormHeader->AdditionalHeight());
    if (!SystemMenu) {
        // The preparation's colour change reaches the application.
        const TvlFormOwnHandling own(*this);
        if (!PrepareForm()) {
            own.ProviderGone(Message);
            return;
        }
    }
    const bool active = Message.WParam != 0;
    const bool blending = (StateFlags & pfBlendOnMoving) != 0;
    StateFlags |= pfInNCActivate;
    if (!blending) FormActive = active ? 1 : 0;
    if (ActivationChangesFrame(*FSkinData)) FSkinData->BGChanged = true;
    FSkinData->PaintLocked = false;

    // The messages sent to the form and its repaints below reach the
    // application's code, which may free this provider or its form.
    const vcl::TGuarded self(this);
    if (!Form->Showing() || !IsWindowVisible(window)) {
        if (!PassOn(Message)) return;
    } else {
        if (active != (FormActive != 0)) FSkinData->BGChanged = true;
        // The system paints its own caption while it handles the message:
        // the cover hides it meanwhile, or the redraw lock with composition.
        // A border window shows the caption itself (the cover then only
        // serves a menu bar, ShowCaptionCover).
        const bool cover = !Form->OnPaint;
        const bool ownFrame = !BorderForm || Form->Menu();
        // The form's procedure hears of a held redraw: its code may free
        // this provider there, and the activation still goes to the form,
        // its redraw given back.
        const TvlFormOwnHandling own(*this);
        const auto giveRedrawBack = [window] {
            if (!IsWindow(window)) return;
            SendMessageW(window, WM_SETREDRAW, TRUE, 0);
            RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        };
        bool redrawHeld = false;
        const auto holdRedraw = [&] {
            SendMessageW(window, WM_SETREDRAW, FALSE, 0);
            redrawHeld = true;
            if (!own.ProviderGone(Message)) return true;
            giveRedrawBack();
            return false;
        };
        if (CompositionOn) {
            if (!BorderForm) {
                if (!holdRedraw()) return;
            } else if (FSkinData->CacheBmp() && HasMenuLine() &&
                       !(StateFlags & (pfMinimizeAnimation | pfRestoreAnimation))) {
                // Not while the border window carries a minimize or restore
                // flight: the cover would flash the frame over its picture.
                CoverMenuLineWithBorder(*this);
            }
            if (!ShowAnimating && cover) ShowCaptionCover();
        } else if (DialogMade && ShowAnimating) {
            if (!holdRedraw()) return;
        } else if (!Form->FormState().Contains(vcl::fsShowing) && cover) {
            ShowCaptionCover();
        }
        // The window keeps only what lies inside its native frame: the
        // system's caption drawing stays under the border window. Its
        // placement reaches the form's procedure.
        if (BorderForm && !CompositionOn && !ShowAnimating && !blending) {
            UpdateFormRegion(false, false);
            if (own.ProviderGone(Message)) {
                if (redrawHeld) giveRedrawBack();
                return;
            }
        }
        // The form's own handling may free this provider: a redraw held
        // for it is given back all the same.
        if (!PassOn(Message)) {
            if (redrawHeld) giveRedrawBack();
            return;
        }
        if (CompositionOn) {
            if (!BorderForm) {
                SendMessageW(window, WM_SETREDRAW, TRUE, 0);
                if (self) RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_NOERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            }
            if (self && !ShowAnimating) PerformFormProc(WM_NCPAINT, 0, 0);
        } else if (!ShowAnimating && !DialogMade && ownFrame) {
            RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_NOERASE | RDW_UPDATENOW | RDW_FRAME);
        } else {
            SendMessageW(window, WM_SETREDRAW, TRUE, 0);
            if (self && DialogMade) RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        }
        if (!self) return;
        // The cover lives only around the system's handling, whatever path
        // the repaint took.
        HideCaptionCover();
    }

    // A child shown for the first time: the parent's menu line may take its
    // buttons and menu.
    if (IsMDIChildForm(Form) && IsWindowVisible(window) && Form->FormState().Contains(vcl::fsShowing))
        if (TsSkinProvider *parent = MDIParentSkinProvider(); parent && parent->MDIHelper) {
            parent->SkinData()->BGChanged = true;
            parent->MenuLineCount = -1;
            parent->MDIHelper->RefreshFrame();
            if (const HWND client = parent->Form->ClientHandle()) SendMessageW(client, WM_NCPAINT, 1, 0);
        }
    // A running animation shows its own picture of the form meanwhile.
    const bool timerRuns = (MoveTimer && MoveTimer->Enabled()) || (MinTimer && MinTimer->Enabled());
    if (Layered(window) && !timerRuns) PerformFormProc(WM_NCPAINT, 0, 0);
    if (!self) return;
    if (!Form->FormState().Contains(vcl::fsCreating)) {
        const bool caption = (GetWindowLongPtrW(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
        if (caption && !blending) {
            const std::uint8_t previous = FormActive;
            // A maximized child's caption is the parent's menu line: the
            // parent shows active while that child does.
            const TsSkinProvider *child =
                MDIChildMaximized() ? dynamic_cast<TsSkinProvider *>(FormsState().MDIChildActivator) : nullptr;
            FormActive = active || (child && child->Form == Form->ActiveMDIChild() && child->FormActive) ? 1 : 0;
            if (FormActive != previous) MenuLineCount = -1;
        }
        StateFlags &= ~pfInNCActivate;
        if (!timerRuns && WindowWidth(window) == Form->Width() && WindowHeight(window) == Form->Height()) {
            PerformFormProc(WM_NCPAINT, 0, 0);
            if (!self) return;
            // A minimize that has not flown its second step yet (or ended
            // within its first) flies the border's picture: its window
            // stays away. A hidden form's border stays away too: an update
            // would show it beside the hidden form while a snapshot is kept.
            const bool minimizing = MinTimer && MinTimer->Step < 2;
            const bool shown = IsWindowVisible(window) && !IsIconic(window);
            if (BorderForm && NativeFrameMaximized())
                UpdateExtBorders(false);
            else if (BorderForm && shown && (IsZoomed(window) || !minimizing))
                UpdateBorder(false, 255);
            if (!self) return;
            // The hole takes the menu line back, which the frame output
            // left to the border's picture while the change was handled.
            if (BorderForm && shown && HasMenuLine()) BorderForm->Border().ApplyRegion();
        }
        if (!MenuSkinned && Form->Menu()) HookMainMenu(true);
        if (self && Skinned() && !ControlAdapter) CreateControlAdapter();
        if (!self) return;
    }
    // A form still being created leaves the handler too.
    StateFlags &= ~pfInNCActivate;
}

void TsSkinProvider::WMActivate(vcl::TMessage &Message) {
    if (!PassOn(Message)) return;
    if (Form->Showing()) {
        if (!FormScrollAdapter) UpdateFormScrollBars();
        if (!Form->FormState().Contains(vcl::fsCreating)) {
            MenuLineCount = -1;
            if (LOWORD(Message.WParam) == WA_ACTIVE) {
                // A menu bar built anew tells the form (CM_MENUCHANGED), and
                // the application may free this provider there.
                const vcl::TGuarded self(this);
                const HWND window = WindowOf(Form);
                HookFormMenus(true);
                if (!ProviderServes(self, window)) return;
                if (SystemMenu) SystemMenu->UpdateItems(true);
                if (!FDrawNonClientArea) FSkinData->PaintLocked = false;
                if (Form->BorderStyle() == vcl::bsNone) PassUpdateDoneToChildren(Form);
                if (FFormHeader->StateDependent()) PassUpdateDoneToChildren(Form);
            }
        }
    }
    NoteGluedForms();
}

void TsSkinProvider::WMActivateApp(vcl::TMessage &Message) {
    if (!PassOn(Message)) return;
    const TsSkinManager *m = FSkinData->GetSkinManager();
    if (Message.WParam != 1 || !m || !m->AnimEffects()->Minimizing->Active || (StateFlags & pfMinimizeAnimation)) return;
    // Another application's windows may have covered the border meanwhile.
    if (BorderForm) {
        if (Form->Enabled()) UpdateBorder(false, 255);
        return;
    }
    // A main form that the system left minimized in its state but not on
    // the screen comes back as a normal one.
    const HWND window = WindowOf(Form);
    if (!window || !vcl::Application || vcl::Application->MainForm() != Form) return;
    if (Form->WindowState() != vcl::wsMinimized || IsIconic(window)) return;
    // The minimize timer's restore brings it back, flying.
    if (MinTimer && MinTimer->Restoring) return;
    Form->SetWindowState(vcl::wsNormal);
    Form->Invalidate();
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
}

void TsSkinProvider::WMChildActivate(vcl::TMessage &Message) {
    if (PassOn(Message)) MDIChildActivated(*this);
}

void TsSkinProvider::WMMDIActivate(vcl::TMessage &Message) {
    if (PassOn(Message)) MDIChildActivation(*this, Message);
}

// ------------------------------------------------------ size and position

// (Moves and sizes free no glyph bitmaps: the frame keeps none, its
// caption buttons are drawn from the manager's images each time.)
void TsSkinProvider::WMMove(vcl::TMessage &Message) {
    GlowService().ClearGlows(true);
    const TvlFormOwnHandling own(*this);
    if (!BorderForm && ExtBordersAllowed() && !ProviderLoading() &&
        !(StateFlags & (pfMinimizeAnimation | pfRestoreAnimation)) && !UpdateExtBorders(true)) {
        own.ProviderGone(Message);
        return;
    }
    if (!PassOn(Message)) return;
    // A border window follows in WM_WINDOWPOSCHANGED and takes the glued
    // forms along itself.
    if (!BorderForm) MoveGluedForms();
}

void TsSkinProvider::WMSize(vcl::TMessage &Message) {
    const HWND window = WindowOf(Form);
    // A caption's glow is of the old size's text, shown or not.
    for (auto &glow : CaptionGlows) glow.reset();
    if (FSkinData->PaintLocked || !window || !IsWindowVisible(window)) {
        RegionChanged = true;
        FSkinData->BGChanged = true;
        SavedWndProc(Message);
        return;
    }
    const int newWidth = LOWORD(Message.LParam), newHeight = HIWORD(Message.LParam);
    if (const TsSkinManager *m = FSkinData->GetSkinManager()) {
        // Images that stand in the client's right corners follow its size.
        const bool erase = !FSkinData->CanUseCache();
        int topRight = -1, bottomRight = -1;
        if (m->IsValidSectionIndex(FSkinData->SkinIndex())) {
            const TsGeneralData &section = m->Sections[static_cast<std::size_t>(FSkinData->SkinIndex())];
            topRight = section.ImgTopRight;
            bottomRight = section.ImgBottomRight;
        }
        const int grip = GripVisible() ? m->CommonElements.GripImage : -1;
        const std::pair<int, int> sizes[] = {{LastClientRect.Width(), LastClientRect.Height()}, {newWidth, newHeight}};
        for (const auto &[w, h] : sizes) {
            InvalidateCorner(window, *m, grip, w, h, true, erase);
            InvalidateCorner(window, *m, topRight, w, h, false, erase);
            InvalidateCorner(window, *m, bottomRight, w, h, true, erase);
        }
    }
    MenuLineCount = -1;
    // A translucent drag does not outlive a change of size (a snap, a
    // maximize from the keyboard). Its end repaints the form.
    if (const TvlFormOwnHandling own(*this); !EndBlendOnMoving(nullptr)) {
        own.ProviderGone(Message);
        return;
    }

    const bool lock = FDrawClientArea && !Form->Parent();
    const bool locked = FSkinData->PaintLocked;
    if (lock) FSkinData->PaintLocked = true;
    if (!PassOn(Message)) return;
    if (lock) FSkinData->PaintLocked = locked;

    // The frame, its cache and its region are made at the form's recorded
    // size (a minimized form keeps the one it had).
    if (!IsIconic(window) && (WindowWidth(window) != Form->Width() || WindowHeight(window) != Form->Height())) {
        FSkinData->BGChanged = true;
        SizePending = true;
        return;
    }
    FollowNewSize();
}

void TsSkinProvider::FollowNewSize() {
    SizePending = false;
    const HWND window = WindowOf(Form);
    if (!window) return;
    const auto remember = [&] { LastClientRect = {0, 0, ClientWidth(window), ClientHeight(window)}; };
    if (ModuleState().FormAnimationActive) {
        remember();
        return;
    }
    if (!Form->Showing()) {
        FSkinData->BGChanged = true;
        remember();
        return;
    }
    if (!CacheStale() || (IsIconic(window) && CompositionOn)) {
        // An MDI form's region follows its children's and its client's
        // changes, which leave its own size as it was; a region made for
        // the small frame of the iconic window (a form shown minimized)
        // would cut the restored one down.
        const bool fromIconic = IconicRegion && !IsIconic(window);
        if (FDrawNonClientArea &&
            ((IsMDIParent() && FSkinData->CanUseCache()) || IsMDIChildForm(Form) || fromIconic)) {
            CollectFrameMasks();
            if (!UpdateFormRegion(true, true)) return;
        }
        remember();
        return;
    }
    const vcl::TBitmap *cache = FSkinData->CacheBmp();
    FSkinData->BGChanged = true;
    if (!FDrawNonClientArea) {
        if (FSkinData->CanUseCache() && cache && (cache->Width() > Form->Width() || cache->Height() > Form->Height()))
            InvalidateRect(window, nullptr, FALSE);
        remember();
        return;
    }
    // Maximized however it was (a window state, a snap), the system's frame
    // may be the form's now.
    if (BorderForm && NativeFrameMaximized() && !UpdateExtBorders(false)) return;
    const bool bars = ScrollBarShown(FormScrollAdapter.get());
    // The renders and repaints below run the form's own painting, which may
    // free this provider.
    const vcl::TGuarded alive(this);
    if (BorderForm) {
        // The border keeps the z-order and the client size it knows while
        // the size changes in hand; a shown scroll bar or an outline drag
        // sizes it at once.
        const bool inHand = FResizeMode == rmStandard && !bars;
        if (inHand) StateFlags |= pfBorderRegionSetting;
        UpdateBorder(true, 255);
        if (!alive) return;
        if (inHand) StateFlags &= ~pfBorderRegionSetting;
        // No re-placing for a border told not to move its owner: the paint
        // lock that asks for it is never set here (WMSize returns first).
        RegionChanged = true;
        ApplyFormRegion(true, true, true);
        if (!alive) return;
        FSkinData->PaintLocked = false;
    } else {
        RegionChanged = true;
        CollectFrameMasks();
        ApplyFormRegion(true, true, true);
    }
    if (!alive || FSkinData->PaintLocked) return;
    const int clientWidth = ClientWidth(window), clientHeight = ClientHeight(window);
    if (((FSkinData->PaintFlags & 2) && clientHeight != LastClientRect.Height()) ||
        ((FSkinData->PaintFlags & 1) && clientWidth != LastClientRect.Width()))
        BroadcastToChildControls(Form, vcl::TMessage{SM_SKINCOMMAND, SkinCommand(SC_PARENT_BG_CHANGED, 1), 0, 0});
    if (!BorderForm || bars) {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_NOERASE | RDW_UPDATENOW | RDW_NOFRAME);
        if (!alive) return;
    } else {
        if (!BorderWindow()) UpdateBorder(false, 255);
        if (!alive) return;
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        if (!alive) return;
        // The border's hole takes the whole new client area now. (Our border
        // keeps no "may move its owner" flag to set again: nothing reads it.)
        if (const HWND border = BorderWindow()) {
            SetWindowPos(border, window, 0, 0, 0, 0,
                         SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
            vcl::SetWindowRegion(border, vcl::TRegionHandle(BorderRegion()), false);
        } else if (!UpdateFormRegion(false, false)) {
            return;
        }
    }
    // The children told of the new size repaint: their painting may free
    // this provider.
    PassUpdateDoneToChildren(Form);
    if (ProviderServes(alive, window)) remember();
}

void TsSkinProvider::WMSizing(vcl::TMessage &Message) {
    if (PassOn(Message)) UpdateBorder(false, 255);
}

void TsSkinProvider::WMExitSizeMove(vcl::TMessage &Message) {
    if (!PassOn(Message)) return;
    // A region held back while the system moved or sized the form.
    if (RegionChanged && !UpdateFormRegion(true, true)) return;
    // The border's shadow may have passed over the skinned dialogs.
    if (BorderForm)
        ForEachHookedDialog([](TvlHookedDialog &Dialog) {
            if (const HWND dialog = Dialog.DialogWindow()) SendSkinCommand(dialog, SC_REPAINT, 0);
        });
}

void TsSkinProvider::WMGetMinMaxInfo(vcl::TMessage &Message) {
    const HWND window = WindowOf(Form);
    auto *info = reinterpret_cast<MINMAXINFO *>(Message.LParam);
    // An MDI child is placed by its client, as the system makes its record.
    if (info && window && FDrawNonClientArea && Form->BorderStyle() != vcl::bsNone && !Form->Parent() &&
        !IsMDIChildForm(Form)) {
        const vcl::TRect work = FormWorkArea(*Form);
        vcl::TPoint monitor{0, 0};
        MONITORINFO mi{};
        mi.cbSize = sizeof mi;
        if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &mi))
            monitor = {mi.rcMonitor.left, mi.rcMonitor.top};
        // A border form's skin caption taller than the window's own (and
        // its 4 pixels): the window goes that much lower.
        const bool caption = (GetWindowLongPtrW(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
        const int excess = BorderForm && caption ? TitleExcess(true) : 0;
        // (TallCaption is not set here either: see ApplySkinToUnskinnedForm.)
        MaximizedPlacement(work, monitor, GetBorderWidth(window), *info, excess);
        Message.Result = 0;
    }
    SavedWndProc(Message);
}

void MaximizedPlacement(const vcl::TRect &Work, vcl::TPoint Monitor, int B, MINMAXINFO &Info, int C) {
    // A work area that starts lower or further right than its monitor (a
    // taskbar at the top or left) moves the position with it.
    Info.ptMaxPosition = {Work.Left - Monitor.X - B, Work.Top - Monitor.Y - B + C};
    Info.ptMaxSize = {Work.Width() + 2 * B, Work.Height() + 2 * B - C};
}

void TsSkinProvider::WMWindowPosChanging(vcl::TMessage &Message) {
    auto *pos = reinterpret_cast<WINDOWPOS *>(Message.LParam);
    const HWND window = WindowOf(Form);
    // The border's updates and the hide's picture below run the form's
    // painting and its children's; the placement still reaches the form.
    const TvlFormOwnHandling own(*this);
    if (InSizeMove || Has(Form, vcl::csLoading)) {
        StateFlags &= ~pfSnapshotTaken;
        if (pos && window) ShrinkBorderHole(*this, *pos);
    } else if (pos && window && !IsZoomed(window) && !(pos->flags & SWP_NOMOVE) && (pos->x != 0 || pos->y != 0)) {
        // A form that had its native borders while maximized may have its
        // extended border again.
        if (NativeBordersMaximized() && !BorderForm && ExtBordersAllowed() && IsWindowVisible(window) &&
            !IsIconic(window) && !UpdateExtBorders(true)) {
            own.ProviderGone(Message);
            return;
        }
        if (FScreenSnap && Form->Showing()) SnapFormPosition(*pos);
        // Placed anew while an edge's double click held it stretched.
        if (BorderForm && BorderForm->Border().EndEdgeStretch(*pos, Form->Top())) {
            Message.Result = 0;
            return;
        }
    }
    if (own.ProviderGone(Message)) return;
    const bool snapshot = pos && HideSnapshotDue(*pos);
    if (snapshot && !TakeHideSnapshot()) {
        own.ProviderGone(Message);
        return;
    }
    // A form that comes into view has its border window from the start; a
    // shown one that the system minimizes (also "shown") does not.
    if (pos && window && (pos->flags & SWP_SHOWWINDOW) && !IsWindowVisible(window) &&
        !(StateFlags & pfMinimizeAnimation) && BorderForm && !BorderWindow()) {
        UpdateBorder(false, 255);
        if (own.ProviderGone(Message)) return;
    }
    SavedWndProc(Message);
    // The form's own handling of the placement took the hide or the
    // minimize back: the form stays as it is, so its picture comes down.
    if (snapshot && own.Serves() && !(pos->flags & SWP_HIDEWINDOW) &&
        ((pos->flags & SWP_NOMOVE) || pos->x != -32000))
        EndHideSnapshot();
}

bool TsSkinProvider::HideSnapshotAllowed() const {
    const TsSkinManager *m = FSkinData->GetSkinManager();
    return m && m->AnimEffects()->Minimizing->Active && FAllowAnimation && m->Effects()->AllowAnimation &&
           !(StateFlags & pfSnapshotTaken) && !Form->Parent();
}

bool TsSkinProvider::HideSnapshotDue(const WINDOWPOS &Pos) const {
    const HWND window = WindowOf(Form);
    // A running minimize animation flies the form's picture itself.
    if (!window || !FSkinData->GetSkinManager() || !LayeredWindowsAvailable() || !FDrawNonClientArea ||
        (StateFlags & (pfBlendOnMoving | pfMinimizeAnimation)))
        return false;
    const bool minimizing = !(Pos.flags & SWP_NOMOVE) && Pos.x == -32000;
    if (!(Pos.flags & SWP_HIDEWINDOW) && !minimizing) return false;
    // A form out of view already has no picture to keep.
    return FSkinData->CacheBmp() && !IsIconic(window) && IsWindowVisible(window) && HideSnapshotAllowed();
}

bool TsSkinProvider::TakeHideSnapshot() {
    StateFlags |= pfSnapshotTaken;
    // The picture runs the children's painting, which may free this provider.
    const vcl::TGuarded self(this);
    const std::unique_ptr<vcl::TBitmap> image = GetFormImage();
    if (!self) return false;
    if (image && FSkinData->CacheBmp()) FSkinData->CacheBmp()->Assign(image.get());
    // The border window shows the whole picture (its region has no hole
    // while the snapshot is taken); without one a cover holds the picture
    // over the window's place while it goes, animated or not.
    if (BorderForm)
        UpdateBorder(true, Form->AlphaBlend() ? Form->AlphaBlendValue() : 255);
    else
        HideCover = CreateSnapshotForm(WindowOf(Form));
    return static_cast<bool>(self);
}

void TsSkinProvider::EndHideCover(const WINDOWPOS *Pos) {
    // The hide animation took the cover, or none runs: it goes with the hide.
    HideCover.reset();
    // Moved or shown back into view without a restore command (a window
    // state set directly): the frame is the form's own again.
    const HWND window = WindowOf(Form);
    if ((StateFlags & pfSnapshotTaken) && Pos && (!(Pos->flags & SWP_NOMOVE) || (Pos->flags & SWP_SHOWWINDOW)) &&
        window && IsWindowVisible(window) && !IsIconic(window)) {
        StateFlags &= ~pfSnapshotTaken;
        // The system asked for the frame while the snapshot still held it
        // back (before this message): it is drawn now.
        FSkinData->BGChanged = true;
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_NOCHILDREN);
    }
}

void TsSkinProvider::EndRefusedHide(HWND Window) {
    if ((StateFlags & pfSnapshotTaken) && Window && IsWindowVisible(Window) && !IsIconic(Window)) EndHideSnapshot();
}

void TsSkinProvider::EndHideSnapshot() {
    StateFlags &= ~pfSnapshotTaken;
    HideCover.reset();
    // The cache holds the picture with the controls in it and the border
    // shows it whole: the frame is rendered anew, the border gets its hole
    // over the live client back.
    FSkinData->BGChanged = true;
    UpdateBorder(true, 255);
    if (const HWND window = WindowOf(Form))
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_NOCHILDREN);
}

void TsSkinProvider::WMWindowPosChanged(vcl::TMessage &Message) {
    const vcl::TGuarded alive(this);
    const bool placed = HandleWindowPosChanged(Message);
    if (!alive) return;
    // A hidden form's border window goes with it (after a hide animation too).
    if (const auto *pos = reinterpret_cast<const WINDOWPOS *>(Message.LParam);
        BorderForm && pos && (pos->flags & SWP_HIDEWINDOW) && Form->HandleAllocated() &&
        !IsWindowVisible(Form->WindowHandle()) && !(StateFlags & pfMinimizeAnimation))
        FreeBorderWindow();
    // The form has recorded its new bounds now. The border follows the
    // placement after the size's own update of it, as it would after WM_SIZE.
    if (SizePending) FollowNewSize();
    if (!alive) return;
    if (placed) BorderFollowsPlacement(*this, *reinterpret_cast<const WINDOWPOS *>(Message.LParam));
    if (!alive) return;
    EndHideCover(reinterpret_cast<const WINDOWPOS *>(Message.LParam));
    // A disabled form's veil moves with it and goes when it hides (a
    // minimize or restore flight puts it back at its own end).
    if ((StateFlags & pfDisabled) && !(StateFlags & (pfMinimizeAnimation | pfRestoreAnimation))) UpdateDisabledVeil();
}

bool TsSkinProvider::HandleWindowPosChanged(vcl::TMessage &Message) {
    TsSkinManager *m = FSkinData->GetSkinManager();
    const auto *pos = reinterpret_cast<const WINDOWPOS *>(Message.LParam);
    const HWND window = WindowOf(Form);
    if (!m || !LayeredWindowsAvailable() || !FDrawNonClientArea || !pos || !window) {
        SavedWndProc(Message);
        return false;
    }
    // See ApplySkinToUnskinnedForm: the taller caption is never flagged.
    TallCaption = false;
    if ((pos->flags & SWP_HIDEWINDOW) && !Animating && FSkinData->CacheBmp() && !IsIconic(window)) {
        const bool minimizing = m->SysCommandState == 2;
        const bool mainMinimizing = minimizing && vcl::Application && vcl::Application->MainForm() == Form;
        if (mainMinimizing) {
            if (m->AnimEffects()->Minimizing->Active) {
                if (PassOn(Message)) ShowAnimating = false;
                return false;
            }
        } else if (!minimizing && FAllowAnimation && m->AnimEffects()->FormHide->Active &&
                   m->Effects()->AllowAnimation && !Form->Parent() && !IsMDIChildForm(Form)) {
            if (CompositionOn) FormAnimations().SetLayeredAlpha(window, true, 1);
            if (!PassOn(Message)) return false;
            Animating = true;
            // The animation's picture runs the form's own painting.
            const vcl::TGuarded alive(this);
            FormAnimations().AnimHideForm(*this);
            if (!alive || (vcl::Application && vcl::Application->Terminated())) return false;
            if (CompositionOn) FormAnimations().SetLayeredAlpha(window, false, 255);
            Animating = false;
            return false;
        }
        // Hidden without animation: the border window goes before the form.
        // The main form hidden by the application's minimize keeps it until
        // the hide is through (the manager's minimize has freed it already).
        if (!mainMinimizing) FreeBorderWindow();
    }
    SavedWndProc(Message);
    return true;
}

void TsSkinProvider::WMStyleChanged(vcl::TMessage &Message) {
    if (!PassOn(Message)) return;
    if (SystemMenu && SystemMenu->VisibleClose() != HasSystemMenu()) {
        SystemMenu->UpdateItems(true);
        if (!RepaintFrameNow()) return;
    }
    // The border's caption buttons follow the system menu's style.
    const auto *change = reinterpret_cast<const STYLESTRUCT *>(Message.LParam);
    constexpr std::uint32_t animations = pfBlendOnMoving | pfMinimizeAnimation | pfRestoreAnimation | pfSkinChangeSnapshot;
    if (static_cast<int>(static_cast<INT_PTR>(Message.WParam)) == GWL_STYLE && change &&
        ((change->styleOld ^ change->styleNew) & WS_SYSMENU) && !(StateFlags & animations) &&
        !ModuleState().FormAnimationActive && Form->Enabled())
        UpdateBorder(false, 255);
}

// ---------------------------------------------------------- visibility

void TsSkinProvider::WMSetRedraw(vcl::TMessage &Message) {
    if (Message.WParam == 1)
        RedrawLock = std::max(0, RedrawLock - 1);
    else if (Message.WParam == 0)
        ++RedrawLock;
    SavedWndProc(Message);
}

void TsSkinProvider::WMShowWindow(vcl::TMessage &Message) {
    const HWND window = WindowOf(Form);
    const bool showing = Message.WParam == 1;
    const bool child = IsMDIChildForm(Form);
    if (showing && !child) {
        // (No "may move its owner" flag to set: the border form reads none.)
        StateFlags &= ~pfRestoreAnimation;
        if (CompositionOn && window && !ModuleState().FormAnimationActive && !Layered(window))
            RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
    }
    if (!PassOn(Message)) return;
    // The main form shown again with its owner: the restore animation brings
    // it back as a whole.
    if (Message.LParam == SW_PARENTOPENING && !child && vcl::Application && vcl::Application->MainForm() == Form)
        if (const TsSkinManager *m = FSkinData->GetSkinManager(); m && m->AnimEffects()->Minimizing->Active) return;
    if (!showing) return;
    if (child && IsZoomed(window)) {
        if (TsSkinProvider *parent = MDIParentSkinProvider()) parent->InvalidateFrame();
    } else if (IsMDIParent()) {
        AttachMDIChildren(*this);
    } else if (Form->Parent()) {
        FSkinData->SetBGFlags(FSkinData->BGFlags() & ~bgfParentBackground);
        FSkinData->BGChanged = true;
    }
}

void TsSkinProvider::CMVisibleChanged(vcl::TMessage &Message) {
    const bool visible = Message.WParam != 0;
    if (visible && DialogMade) {
        const TvlFormOwnHandling own(*this);
        DialogMade = false;
        if (!InitSkin()) {
            own.ProviderGone(Message);
            return;
        }
        const TsSkinManager *m = FSkinData->GetSkinManager();
        if (!UpdateExtBorders(m && m->GetExtendedBorders())) {
            own.ProviderGone(Message);
            return;
        }
    }
    if (!PassOn(Message)) return;
    if (!visible)
        FSkinData->ShrinkCache();
    else if (Form->Parent())
        PassUpdateDoneToChildren(Form);
}

void TsSkinProvider::CMEnabledChanged(vcl::TMessage &Message) {
    if (!PassOn(Message)) return;
    // A veil laid before goes with the disable, whatever the settings are
    // by now.
    if (Form->Enabled() && ((StateFlags & pfDisabled) || DisabledVeil || !VeilHolders.empty())) {
        StateFlags &= ~pfDisabled;
        UpdateDisabledVeil();
    }
    if (!FDrawNonClientArea) return;
    // The border window takes the mouse first: a disabled form's border
    // neither sizes nor moves it.
    if (const HWND border = BorderWindow()) EnableWindow(border, Form->Enabled());
    if (FDisabledBlendValue < 255) {
        if (Form->Enabled())
            StateFlags &= ~pfDisabled;
        else
            StateFlags |= pfDisabled;
        UpdateDisabledVeil();
    }
    FSkinData->BGChanged = true;
    if (const HWND window = WindowOf(Form)) {
        // The frame's render runs the form's painting.
        const vcl::TGuarded self(this);
        SendMessageW(window, WM_NCPAINT, 0, 0);
        if (!ProviderServes(self, window)) return;
    }
    UpdateBorder(false, 255);
}

void TsSkinProvider::CMShowingChanged(vcl::TMessage &Message) {
    const vcl::TGuarded self(this);
    const HWND window = WindowOf(Form);
    if (!FDrawNonClientArea || !FDrawClientArea) {
        if (!PassOn(Message)) return;
        if (CompositionOn && window) SendMessageW(window, WM_SETREDRAW, TRUE, 0);
        if (!self || (window && !ProviderServes(self, window))) return;
        FSkinData->PaintLocked = false;
        if (CompositionOn && window)
            RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        return;
    }
    if (!Form->Showing()) {
        // The border's picture of the form runs its children's painting.
        const TvlFormOwnHandling own(*this);
        if (BorderForm && !HideBorder(*this)) {
            own.ProviderGone(Message);
            return;
        }
        ShowingChangedUnskinned(Message);
        return;
    }
    // The application's events about the controls it skins (and what
    // prepares the show) may free this provider: the show goes on without it.
    const TvlFormOwnHandling own(*this);
    // An MDI child shows inside its parent, without an animation of its own.
    if (IsMDIChildForm(Form)) {
        if (ControlAdapter && !ControlAdapter->AdaptControls(nullptr)) {
            own.ProviderGone(Message);
            return;
        }
        UpdateFormScrollBars();
        if (!PassOn(Message)) return;
        // The client activated the child while it was made, before it
        // counted as showing: the system painted that caption.
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
        LastClientRect = {0, 0, ClientWidth(window), ClientHeight(window)};
        if (IsZoomed(window)) RefreshMDIParent(false);
        return;
    }
    SetMDIHelper(true);
    if (window) SetNcRenderingPolicy(window, ncrpDisabled);
    StateFlags &= ~pfSnapshotTaken;  // (no "may move its owner" flag: the border form reads none)
    // Shown anew: an image kept from a minimize before would fly back stale.
    FreeMinimizeTimer();
    if (window && FormsState().PreviewFlag &&
        (!vcl::Application || !vcl::Application->MainForm() || vcl::Application->MainForm() == Form))
        LinkToEditor(window);
    // The form's own show handling (OnShow) already finds its menu skinned.
    if (!MenuSkinned) HookMainMenu(true);
    // (The menu's hook sets the form's menu, which reaches its procedure.)
    if (own.ProviderGone(Message)) return;
    if (ControlAdapter && !ControlAdapter->AdaptControls(nullptr)) {
        own.ProviderGone(Message);
        return;
    }
    const TsSkinManager *m = FSkinData->GetSkinManager();
    ShowAnimating = window && FAllowAnimation && !Form->Parent() && m && m->Effects()->AllowAnimation &&
                    m->AnimEffects()->FormShow->Active && window != FormsState().LinkedWindow;
    // The alpha the form shows at in the end.
    const std::uint8_t alpha = Form->AlphaBlend() ? Form->AlphaBlendValue() : 255;
    const bool prepared = ShowAnimating;
    bool layerAdded = false;
    // The show's own handling (OnShow, a paint), or the preparation's
    // region and border before it, may free this provider and leave the
    // form: what the preparation put on the form comes down without the
    // provider, and the form shows as the system draws it.
    const auto formAsItIs = [form = vcl::TGuarded<vcl::TCustomForm>(Form), window, prepared, &layerAdded, alpha] {
        if (!prepared || !form || !IsWindow(window)) return;
        SetChildrenRedraw(*form, true);
        if (!form) return;
        if (layerAdded) DropShowLayer(window, false);
        if (form->AlphaBlend()) {
            if (form->AlphaBlendValue() != alpha) form->SetAlphaBlendValue(alpha);
            FormAnimations().SetLayeredAlpha(window, true, alpha);
        }
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
    };
    if (ShowAnimating) {
        // The form's own first paints stay off the screen: the animation
        // shows its finished image.
        FSkinData->PaintLocked = true;
        InShowAnimation = true;
        layerAdded = FormAnimations().SetLayeredAlpha(window, true, 1);
        if (layerAdded) {
            CollectFrameMasks();
            RegionChanged = true;
            if (!UpdateFormRegion(false, false)) {
                own.ProviderGone(Message);
                return formAsItIs();
            }
        } else if (Form->AlphaBlend()) {
            Form->SetAlphaBlendValue(0);
        }
        SetChildrenRedraw(*Form, false);
    } else {
        FSkinData->PaintLocked = false;
    }
    if (!UpdateExtBorders(m && m->GetExtendedBorders())) {
        own.ProviderGone(Message);
        return formAsItIs();
    }
    // A translucent form gets its own alpha back on every way out of the
    // show: the show took it to keep the form unseen, and a hide before
    // took its layered style; neither comes back by itself where the
    // animation ends early (an iconic window), the OnShow turned the skin
    // off or no animation plays.
    const auto giveAlphaBack = [&] {
        if (!Form->AlphaBlend() || !window) return;
        if (Form->AlphaBlendValue() != alpha) Form->SetAlphaBlendValue(alpha);
        FormAnimations().SetLayeredAlpha(window, true, alpha);
    };
    // What the animation's preparation put up comes down where no
    // animation follows: the form is then drawn as it is.
    const auto undoPreparation = [&] {
        SetChildrenRedraw(*Form, true);
        if (layerAdded) DropShowLayer(window, false);
        giveAlphaBack();
        ShowAnimating = false;
        InShowAnimation = false;
        // (An unskinned form's lock is the skin's removal's.)
        if (Skinned()) FSkinData->PaintLocked = false;
    };
    try {
        if (!PassOn(Message)) return formAsItIs();
    } catch (...) {
        // An OnShow that raised refused the show: the form is not left
        // transparent, locked and flagged as animating for the next one.
        if (ShowAnimating && ProviderServes(self, window)) undoPreparation();
        else if (!self) formAsItIs();
        throw;
    }
    if (ShowAnimating && !Skinned()) {
        undoPreparation();
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
        return;
    }
    UpdateFormScrollBars();
    // A form shown minimized has no image to show growing: the animation
    // plays nothing for an iconic window, and the preparation's hold on the
    // window (its visibility taken by style) would outlast the restore.
    if (ShowAnimating && IsIconic(window)) undoPreparation();
    if (ShowAnimating) {
        SetChildrenRedraw(*Form, true);
        if (layerAdded) DropShowLayer(window, true);
        ShowAnimating = false;
        InShowAnimation = false;
        const TvlFormShow &show = *m->AnimEffects()->FormShow;
        // The animation runs the form's own painting and passes it messages.
        const vcl::TGuarded alive(this);
        FormAnimations().AnimShowForm(*this, show.Time, alpha, show.Mode);
        if (!alive) return;
        giveAlphaBack();
        // The animation gives the form WS_VISIBLE back; one that did not
        // (no layered windows) must not leave it unseen.
        if (!(GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE)) {
            SendMessageW(window, WM_SETREDRAW, TRUE, 0);
            if (!alive) return;
            RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        }
    } else if (window) {
        giveAlphaBack();
        // The frame too: an MDI child is activated while it is made, before
        // it counts as showing, and the system has painted its caption then.
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
    }
    if (window) LastClientRect = {0, 0, ClientWidth(window), ClientHeight(window)};
}

std::unique_ptr<vcl::TForm> TsSkinProvider::TakeSnapshotForm() {
    if (HideCover) return std::move(HideCover);
    return CreateSnapshotForm(WindowOf(Form));
}

void TsSkinProvider::CMRecreateWnd(vcl::TMessage &Message) {
    if (!PassOn(Message)) return;
    if (const HWND window = WindowOf(Form); window && FormsState().PreviewFlag) LinkToEditor(window);
}

// The unskinned route's handlers: the saved procedure runs around them.

// An iconic form is hidden as it is: the class library reads its window
// state from the window while it shows, so it never hides minimized in
// the window and normal in its state.
bool TsSkinProvider::VisibleChangedUnskinned(vcl::TMessage &Message) {
    const HWND window = WindowOf(Form);
    const TsSkinManager *m = FSkinData->GetSkinManager();
    // The picture of the last hide is over once the form shows.
    if (Message.WParam != 0) StateFlags &= ~pfSnapshotTaken;
    if (Message.WParam != 0 || !FDrawNonClientArea || !window || !m || !m->Active() ||
        (vcl::Application && vcl::Application->Terminated()) || IsIconic(window))
        return true;
    return !IsWindowVisible(window) || !HideSnapshotAllowed() || TakeHideSnapshot();
}

void TsSkinProvider::ShowingChangedUnskinned(vcl::TMessage &Message) {
    const vcl::TGuarded self(this);
    const HWND window = WindowOf(Form);
    try {
        SavedWndProc(Message);
    } catch (...) {
        if (ProviderServes(self, window)) EndRefusedHide(window);
        throw;
    }
    if (ProviderServes(self, window)) EndRefusedHide(window);
}

void TsSkinProvider::WindowPosChangedUnskinned(vcl::TMessage &Message) {
    const vcl::TGuarded self(this);
    const auto *pos = reinterpret_cast<const WINDOWPOS *>(Message.LParam);
    const HWND window = WindowOf(Form);
    TsSkinManager *m = FSkinData->GetSkinManager();
    if (!pos || !window || !m || !LayeredWindowsAvailable() || !(pos->flags & SWP_HIDEWINDOW) || IsIconic(window) ||
        !FAllowAnimation || Animating || !m->Active() || !FDrawNonClientArea || !m->Effects()->AllowAnimation ||
        !m->AnimEffects()->FormHide->Active) {
        HideCover.reset();
        return;
    }
    Animating = true;
    // The animation's picture runs the form's own painting, and it plays on
    // timers: messages keep flowing while waiting, and a stuck one is given
    // up. Either may free the form with this provider (this path runs while
    // the form is destroyed, too): the wait ends then, and nothing of
    // either is touched again.
    FormAnimations().AnimHideForm(*this);
    if (!self) return;
    const ULONGLONG deadline = GetTickCount64() + AnimationWaitLimit;
    while (ModuleState().FormAnimationActive && GetTickCount64() < deadline) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        if (vcl::Application) vcl::Application->ProcessMessages();
        if (!ProviderServes(self, window)) return;
    }
    FormAnimations().SetLayeredAlpha(window, false, 255);
    Animating = false;
    HideCover.reset();
}

void TsSkinProvider::NCDestroyUnskinned(vcl::TMessage &Message) {
    (void)Message;
    MDIChildDestroyed(*this);
    HideCover.reset();
}

} // namespace skin
