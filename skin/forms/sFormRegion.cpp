#include "sSkinProvider.h"

#include <utility>

#include "sFrameMetrics.h"
#include "sMDIForm.h"
#include "skin/graphics/sMaskData.h"
#include "skin/graphics/vlGlyphStrips.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/sVclUtils.h"
#include "vcl/Bitmap.h"
#include "vcl/ControlCanvas.h"
#include "vcl/Forms.h"

namespace skin {

namespace {

// A window that answers the probe with its key shapes itself: it gets no
// region from the library.
constexpr UINT WM_REGION_PROBE = 0xBC4D;
constexpr WPARAM RegionProbeKey = 0x41A2;

HWND WindowOf(const vcl::TCustomForm *Form) { return Form && Form->HandleAllocated() ? Form->WindowHandle() : nullptr; }

vcl::TRect WindowRect(HWND Window) {
    RECT r{};
    GetWindowRect(Window, &r);
    return {r.left, r.top, r.right, r.bottom};
}

// The client rectangle in the window's own coordinates (origin: the
// window's top-left corner).
vcl::TRect ClientInWindow(HWND Window) {
    RECT client{};
    GetClientRect(Window, &client);
    POINT origin{0, 0};
    ClientToScreen(Window, &origin);
    const vcl::TRect window = WindowRect(Window);
    const int x = origin.x - window.Left, y = origin.y - window.Top;
    return {x, y, x + client.right, y + client.bottom};
}

// The cover of a form's whole frame gets the frame's shape; Inside: the
// form lies inside another window, which lets through only what it shows
// of the form. False when it shows nothing of it.
bool ShapeFrameCover(HWND Cover, HWND Window, bool Inside) {
    const vcl::TRect bounds = WindowRect(Window);
    const vcl::TRect client = ClientInWindow(Window);
    vcl::TRegionHandle region(CreateRectRgn(0, 0, bounds.Width(), bounds.Height()));
    {
        const vcl::TRegionHandle inner(CreateRectRgn(client.Left, client.Top, client.Right, client.Bottom));
        CombineRgn(region.Get(), region.Get(), inner.Get(), RGN_DIFF);
    }
    if (Inside) {
        RECT box{};
        int kind = NULLREGION;
        {
            const vcl::TWindowDC dc(Window, GetWindowDC(Window));
            if (dc) kind = GetClipBox(dc.Get(), &box);
        }
        if (kind == NULLREGION || kind == ERROR) return false;
        const vcl::TRegionHandle visible(CreateRectRgn(box.left, box.top, box.right, box.bottom));
        CombineRgn(region.Get(), region.Get(), visible.Get(), RGN_AND);
    }
    vcl::SetWindowRegion(Cover, std::move(region), false);
    return true;
}

// Where the window's own part below the caption begins when a border form
// shows the frame. From the scale level 1 on (120 DPI and up) the window
// keeps one more row above, and shows it from the image too.
int InsideBorderTop(const vcl::TCustomForm &Form, int Border, const TsSkinManager *Manager) {
    return Border + GetSysCaptionHeight(Form) - (Manager && Manager->DPIClass >= 1 ? 1 : 0);
}

} // namespace

void TsSkinProvider::CollectFrameMasks() {
    FrameMasks.clear();
    if (!Form) return;
    const TsSkinManager *m = FSkinData->GetSkinManager();
    if (!m) return;
    const int width = CacheWidth();
    if (m->IsValidMaskIndex(FSkinData->BorderIndex())) {
        const TsMaskData &mask = m->Masks[static_cast<std::size_t>(FSkinData->BorderIndex())];
        GetMaskCornerRects(FrameMasks, width, mask, 0, false);
        GetMaskCornerRects(FrameMasks, width, mask, Form->Height() - mask.WB, true);
    }
    const int title = m->FindSectionIndex(FTitleSkin.empty() ? std::string("FORMTITLE") : FTitleSkin);
    if (title < 0) return;
    const int titleMask = m->GetMaskIndex(title, "BORDERSMASK");
    if (m->IsValidMaskIndex(titleMask))
        GetMaskCornerRects(FrameMasks, width, m->Masks[static_cast<std::size_t>(titleMask)], 0, false);
}

HRGN TsSkinProvider::BuildFrameRegion(int X, int Y) {
    if (!Form) return nullptr;
    vcl::TRegionHandle region(CreateRectRgn(X, Y, CacheWidth() + X, Form->Height() + Y));
    for (const vcl::TRect &r : FrameMasks) {
        const vcl::TRegionHandle cut(CreateRectRgn(r.Left + X, r.Top + Y, r.Right + X, r.Bottom + Y));
        CombineRgn(region.Get(), region.Get(), cut.Get(), RGN_DIFF);
    }
    return region.Release();
}

bool TsSkinProvider::UpdateFormRegion(bool Repaint, bool WithRedraw) {
    const vcl::TGuarded self(this);
    const HWND window = WindowOf(Form);
    ApplyFormRegion(Repaint, WithRedraw);
    return window ? ProviderServes(self, window) : static_cast<bool>(self);
}

bool TsSkinProvider::ApplyFormRegion(bool Repaint, bool WithRedraw, bool Resized) {
    const HWND window = WindowOf(Form);
    if (!FDrawNonClientArea || !window) return false;
    // While a system command or menu loop of the form runs the region is
    // not touched, unless the form's size changed (the old region would
    // clip it); the request stays open for the next frame output.
    if (InSizeMove && !Resized) {
        RegionChanged = true;
        return false;
    }
    const bool iconic = IsIconic(window);
    if (!HasFrame() && !iconic && !HasSizingFrame(window)) return false;
    if (!FrameRendered && SendMessageW(window, WM_REGION_PROBE, RegionProbeKey, 0) == static_cast<LRESULT>(RegionProbeKey))
        return false;

    // (A docked form would lose its region here: forms of this library
    // never dock.)
    RegionGuard = true;
    vcl::TRegionHandle region;
    const vcl::TSizeConstraints *limits = Form->Constraints();
    if (BorderForm) {
        // The border window shows the frame: the window keeps what lies
        // inside its native one.
        const int b = GetBorderWidth(window, BorderObject(), false);
        const int t = InsideBorderTop(*Form, b, FSkinData->GetSkinManager());
        region.Reset(CreateRectRgn(b, t, Form->Width() - b, Form->Height() - b));
    } else if (IsZoomed(window) && limits->MaxWidth == 0 && limits->MaxHeight == 0 && !IsMDIChildForm(Form)) {
        // The system puts the native frame of a maximized window beyond the
        // screen's edges: that part is cut off.
        const int b = GetNativeBorderWidth(window);
        region.Reset(CreateRectRgn(b, b, Form->Width() - b, Form->Height() - b));
    } else {
        region.Reset(BuildFrameRegion(0, 0));
    }
    RegionChanged = false;
    IconicRegion = iconic;
    // The repaints render the frame, which runs the form's own painting: it
    // may free this provider.
    const vcl::TGuarded alive(this);
    const bool taken = vcl::SetWindowRegion(window, std::move(region), WithRedraw && Repaint);
    if (!WithRedraw && Repaint && alive) {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN);
        SendMessageW(window, WM_NCPAINT, 0, 0);
    }
    if (!alive) return taken;
    RegionGuard = false;
    return taken;
}

void TsSkinProvider::PaintNonClient() {
    if (!FDrawNonClientArea) return;
    const HWND window = WindowOf(Form);
    if (!window) return;
    if (FormsState().ClientPainting && FormsState().ClientPaintingWindow == window) {
        FormsState().FrameHeldBack = true;
        return;
    }
    if (FResizeMode == rmBorder && CompositionOn) FResizeMode = rmStandard;
    if (CoveredByMaximizedChild(Form)) return;

    // The menu's hook (an MDI parent's menu set again moves the form), the
    // renders and the repaints below run the form's own code, which may
    // free this provider.
    const vcl::TGuarded alive(this);
    // The main menu is the skinned menus' before its line is painted.
    if (!MenuSkinned) HookMainMenu(true);
    if (!alive) return;
    const vcl::TBitmap *cache = FSkinData->CacheBmp();
    if (!cache || cache->Height() == 0) FSkinData->BGChanged = true;
    const bool rendering = FSkinData->BGChanged;
    if (FSkinData->BGChanged && !RenderFrame()) return;
    if (!alive) return;
    // A new image of the frame is shown by the border window.
    if (rendering && BorderForm) UpdateBorder(true, 255);
    if (!alive) return;

    const bool iconic = IsIconic(window);
    if (!RegionGuard && RegionChanged) {
        if (!HasFrame() && !HasSizingFrame(window) && !iconic) {
            RegionGuard = true;
            RegionChanged = false;
            SetWindowRgn(window, nullptr, FALSE);
            RegionGuard = false;
        } else {
            if (iconic && (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_APPWINDOW)) return;
            if (!BorderForm) CollectFrameMasks();
            RegionChanged = false;
            if (Form->FormState().Contains(vcl::fsShowing) && Form->Position() != vcl::poDefault && !IsZoomed(window)) {
                UpdateFormRegion(true, true);
                if (!alive) return;
            } else {
                const bool repaint = !ModuleState().FormAnimationActive;
                // The WM_NCPAINT that the region's update sent has painted
                // the frame (none is painted during an animation); when no
                // region was set, the frame is painted here.
                const bool taken = ApplyFormRegion(repaint, false);
                if (!alive || (taken && !FSkinData->BGChanged)) return;
            }
        }
    }

    FSkinData->PaintLocked = false;
    vcl::TBitmap *image = FSkinData->CacheBmp();
    {
        vcl::TWindowDC dc(window, GetWindowDC(window));
        if (dc && image) {
            const vcl::TSavedDC saved(dc.Get());
            if (BorderForm) {
                PaintInsideBorder(dc.Get());
            } else if (HasFrame() || !HasSizingFrame(window) || iconic) {
                PaintCachedFrame(dc.Get());
            } else {
                // A frameless form with a sizing frame: only its edges, as deep
                // as the frame and a little more.
                const int w = FrameLeft(true) + 3;
                PaintFrameStrips(dc.Get(), w, w, w, w);
            }
        }
    }
    // (A stale image is rendered first, with the form's own painting.)
    if (alive) RegionGuard = false;
}

void TsSkinProvider::PaintInsideBorder(HDC DC) {
    const HWND window = WindowOf(Form);
    vcl::TBitmap *cache = FSkinData->CacheBmp();
    if (!window || !cache) return;
    // What the window keeps of its frame (the menu line, the strips of its
    // BorderWidth) comes from the image, where the window lies at its offset.
    const vcl::TPoint offset = WindowToFrameOffset();
    const int b = GetBorderWidth(window, BorderObject(), false);
    const int t = InsideBorderTop(*Form, b, FSkinData->GetSkinManager());
    const vcl::TRect client = ClientInWindow(window);
    const vcl::TSavedDC saved(DC);
    ExcludeClipRect(DC, client.Left, client.Top, client.Right, client.Bottom);
    BitBlt(DC, b, t, Form->Width() - 2 * b, Form->Height() - t - b, cache->Canvas()->Handle(), b + offset.X,
           t + offset.Y, SRCCOPY);
}

void TsSkinProvider::PaintFrameStrips(HDC DC, int Top, int Left, int Right, int Bottom) {
    vcl::TBitmap *cache = FSkinData->CacheBmp();
    if (!cache) return;
    const HDC source = cache->Canvas()->Handle();
    const int width = cache->Width(), height = cache->Height();
    const auto copy = [&](int x, int y, int w, int h) {
        if (w > 0 && h > 0) BitBlt(DC, x, y, w, h, source, x, y, SRCCOPY);
    };
    copy(0, 0, width, Top);
    copy(0, Top, Left, height - Top);
    copy(width - Right, Top, Right, height - Top);
    copy(Left, height - Bottom, width - Left - Right, Bottom);
}

void TsSkinProvider::PaintClientArea(vcl::TMessage &Message) {
    const HWND window = WindowOf(Form);
    if (!window) return;
    const HDC given = reinterpret_cast<HDC>(Message.WParam);
    const bool animation = ModuleState().FormAnimationActive;
    if (ShowAnimating || (animation && !given) || Form->ComponentState().Contains(vcl::csDestroying)) {
        const vcl::TPaintDC validate(window, nullptr);
        return;
    }
    // The DC the message brings, else the paint's own.
    const vcl::TPaintDC paint(window, given);
    if (!paint.Get()) return;
    const vcl::TSavedDC saved(paint.Get());
    const vcl::TCanvasDCScope canvas(Form->Canvas(), paint.Get());
    if (Form->Parent())
        FSkinData->PaintLocked = FSkinData->IsPaintLocked();
    else
        FSkinData->PaintLocked = false;
    if (CoveredByMaximizedChild(Form)) return;
    const vcl::TGuarded alive(this);
    PaintClientBackground(paint.Get(), true);
    // An MDI parent's background is its client window's: the graphic
    // controls beside that window are not in it and are painted here.
    if (alive && IsMDIParent()) PaintGraphicControls(paint.Get(), {0, 0});
}

bool TsSkinProvider::RepaintFrameNow() {
    const HWND window = WindowOf(Form);
    if (InShowAnimation || !window || !Form->Visible() || !FDrawNonClientArea ||
        Form->ControlState().Contains(vcl::csDestroyingHandle) || !Skinned())
        return true;
    // The frame's render runs the form's own painting (OnPaint into the
    // cache), the border's picture its children's, WM_NCPAINT the form's
    // procedure: any of them may free this provider, or the form.
    const vcl::TGuarded self(this);
    // A maximized child's caption is its parent's: the parent's frame shows it.
    if (IsMDIChildForm(Form) && IsZoomed(window)) {
        TsSkinProvider *parent = MDIParentSkinProvider();
        const HWND parentWindow = parent ? WindowOf(parent->Form) : nullptr;
        if (!parentWindow) return true;
        parent->SkinData()->BGChanged = true;
        const vcl::TWindowDC dc(parentWindow, GetWindowDC(parentWindow));
        if (dc) parent->PaintCachedFrame(dc.Get());
        return ProviderServes(self, window);
    }
    FSkinData->BGChanged = true;
    vcl::TWindowDC dc(window, GetWindowDC(window));
    if (!dc) return true;
    if (!FSkinData->CacheBmp()) {
        const TsSkinManager *m = FSkinData->GetSkinManager();
        UpdateExtBorders(m && m->GetExtendedBorders());
        if (!ProviderServes(self, window)) return false;
    }
    if (BorderForm) {
        for (auto &glow : CaptionGlows) glow.reset();
        // The window's own menu line shows through the border's hole.
        if (Form->Menu()) {
            PerformFormProc(WM_NCPAINT, 0, 0);
            if (!ProviderServes(self, window)) return false;
        }
        UpdateBorder(true, 255);
        return ProviderServes(self, window);
    }
    PaintCachedFrame(dc.Get());
    return ProviderServes(self, window);
}

void TsSkinProvider::ShowCaptionCover() {
    const HWND window = WindowOf(Form);
    if (!FDrawNonClientArea || InShowAnimation || !window || IsIconic(window) || !Form->Showing()) return;
    if (StateFlags & pfBlendOnMoving) return;
    // The border window shows the caption; the system's menu bar is all
    // that the form's own frame would show of the system's drawing.
    if (BorderForm && !Form->Menu()) return;
    // Nothing of a child shows while its parent draws nothing.
    const bool child = IsMDIChildForm(Form);
    if (child)
        if (const TsSkinProvider *parent = MDIParentSkinProvider(); parent && parent->RedrawLock > 0) return;

    if (!CaptionCover) {
        // Owned here, not by the application, which would free it again at its end.
        std::unique_ptr<vcl::TForm> cover(vcl::Create<vcl::TForm>(nullptr, vcl::CreateNew));
        cover->SetBorderStyle(vcl::bsNone);
        cover->SetTag(256);
        const HWND coverWindow = cover->Handle();
        if (!coverWindow) return;
        const ULONG_PTR classStyle = GetClassLongPtrW(coverWindow, GCL_STYLE);
        if (classStyle & CS_DROPSHADOW) SetClassLongPtrW(coverWindow, GCL_STYLE, classStyle & ~ULONG_PTR{CS_DROPSHADOW});
        cover->OnPaint = vcl::TNotifyEvent::Bind<&TsSkinProvider::CoverPaint>(this);
        CoverSavedWndProc = cover->WindowProc;
        cover->WindowProc = vcl::TWndMethod::Bind<&TsSkinProvider::CoverWndProc>(this);
        CaptionCover = std::move(cover);
    }
    const HWND coverWindow = CaptionCover->WindowHandle();

    vcl::TRect bounds = WindowRect(window);
    if (BorderForm) {
        // Over the menu line, the width of the form inside its own frame.
        const int b = GetBorderWidth(window, BorderObject(), false);
        const int height = GetMenuLineCount() * GetMenuLineHeight() + 2;
        const int top = bounds.Top + GetClientOffsetY() - WindowToFrameOffset().Y - height;
        bounds = {bounds.Left + b, top, bounds.Right - b, top + height};
        SetWindowRgn(coverWindow, nullptr, FALSE);
    } else {
        // The cover takes the window's place; its region is the frame only.
        if (!ShapeFrameCover(coverWindow, window, Form->Parent() || child)) {
            HideCaptionCover();
            return;
        }
    }

    // Right above the form: what already lies over it (a box it shows)
    // stays over the cover too.
    constexpr UINT quiet = SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING;
    // The cover is a window of the screen: a form inside another window (an
    // MDI child, an embedded form) is ordered there by the window that holds
    // it, and a sibling child window as the anchor would leave the cover
    // unplaced, at its last place.
    const HWND above = PlaceRightAbove(coverWindow, window, GetAncestor(window, GA_ROOT), bounds, quiet | SWP_SHOWWINDOW);
    ShowWindow(coverWindow, SW_SHOWNOACTIVATE);
    RedrawWindow(coverWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
    // Its first paint may have raised it to the top (Wine does).
    SetWindowPos(coverWindow, above, 0, 0, 0, 0, quiet | SWP_NOMOVE | SWP_NOSIZE);
}

// The cover lives only around the system's own drawing: a cover kept
// between changes would be a window of the application's that it never made.
void TsSkinProvider::HideCaptionCover() { FreeCaptionCover(); }

void TsSkinProvider::FreeCaptionCover() {
    if (!CaptionCover) return;
    CaptionCover->WindowProc = CoverSavedWndProc;
    CaptionCover.reset();
}

bool TsSkinProvider::SetSysMenuStyle(bool Skinned) {
    const HWND window = WindowOf(Form);
    if (!window) return true;
    const vcl::TGuarded self(this);
    const auto stays = [&] { return self && IsWindow(window); };
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    if (Skinned && FDrawNonClientArea) {
        // The system then draws no caption buttons of its own.
        if (style & WS_SYSMENU) SetWindowLongPtrW(window, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_SYSMENU));
        return stays();
    }
    // A form whose border icons lack the system menu never gets one.
    if (!HasSystemMenu()) return true;
    if (!(style & WS_SYSMENU)) SetWindowLongPtrW(window, GWL_STYLE, style | WS_SYSMENU);
    if (Skinned || !stays()) return stays();
    const LRESULT icon = SendMessageW(window, WM_GETICON, ICON_SMALL, 0);
    SendMessageW(window, WM_SETICON, ICON_SMALL, icon);
    return stays();
}

void TsSkinProvider::SetDrawNonClientArea(bool Value) {
    if (FDrawNonClientArea == Value) return;
    FDrawNonClientArea = Value;
    if (!Form) return;
    const HWND window = WindowOf(Form);
    if (Value) {
        if (!SetSysMenuStyle(true) || !window || !Form->Showing() || !Skinned()) return;
        FSkinData->BGChanged = true;
        // The region went when the frame was left to the system.
        RegionChanged = true;
        // The menu's hook (CM_MENUCHANGED), the border and the repaint run
        // the application's code, which may free this provider.
        const vcl::TGuarded self(this);
        HookMainMenu(true);
        if (!self) return;
        const TsSkinManager *m = FSkinData->GetSkinManager();
        if (!UpdateExtBorders(m && m->GetExtendedBorders())) return;
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
        if (ProviderServes(self, window)) UpdateFormScrollBars();
        return;
    }
    const vcl::TGuarded self(this);
    if (!UpdateExtBorders(false)) return;
    HookMainMenu(false);
    if (!self) return;
    // The theme's change (WM_THEMECHANGED) and the style's reach the form's
    // procedure too.
    if (window)
        if (const TSetWindowTheme setTheme = SetWindowThemeProc()) setTheme(window, nullptr, nullptr);
    if (!self || (window && !IsWindow(window))) return;
    FormScrollAdapter.reset();
    if (!SetSysMenuStyle(true)) return;
    if (window && Form->Showing()) SetWindowRgn(window, nullptr, TRUE);
}

} // namespace skin
