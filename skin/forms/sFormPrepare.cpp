// Skin preparation and the frame helpers of the form provider: the skin's
// indexes and glyphs resolved into the provider, the control adapter, the
// veil over a disabled form, the caption cover's painting, the outline drag
// of ResizeMode rmBorder, the strip behind the caption buttons, the client
// background and the form's menus handed to the skinned menu support.
#include "sSkinProvider.h"

#include <algorithm>

#include "sFrameMetrics.h"
#include "sMDIForm.h"
#include "sSystemMenu.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/sVclUtils.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/graphics/vlSkinPieces.h"
#include "vcl/Bitmap.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/Menus.h"
#include "vlCtrlAdapter.h"
#include "vlDwmServices.h"

namespace skin {

namespace {

bool Has(const vcl::TComponent *C, vcl::TComponentStateItem Item) { return C && C->ComponentState().Contains(Item); }

int IconIndex(const TsSkinManager &M, TvlTitleIcon Icon) {
    const int index = M.CommonElements.TitleIcons[static_cast<std::size_t>(Icon)];
    return M.IsValidMaskIndex(index) ? index : -1;
}

void SetIcon(TsCaptionButton &Button, int Index, bool Large) {
    Button.ImageIndex = Index;
    Button.HaveAlignment = Large;
}

// The window rectangle of the form (screen coordinates).
vcl::TRect WindowRectOf(HWND Window) {
    RECT r{};
    GetWindowRect(Window, &r);
    return {r.left, r.top, r.right, r.bottom};
}

// The outline of R as a closed line of five points; with R2_NOT every pixel
// of it is inverted once, so that drawing it again puts the screen back.
void DrawOutline(HDC DC, const vcl::TRect &R) {
    const POINT points[] = {{R.Left, R.Top},
                            {R.Right - 1, R.Top},
                            {R.Right - 1, R.Bottom - 1},
                            {R.Left, R.Bottom - 1},
                            {R.Left, R.Top}};
    Polyline(DC, points, 5);
}

} // namespace

// ------------------------------------------------------------ preparation

bool TsSkinProvider::InitSkin() {
    if (Form && Form->HandleAllocated())
        SetNcRenderingPolicy(Form->WindowHandle(), FDrawNonClientArea ? ncrpDisabled : ncrpUseWindowStyle);
    if (!PrepareForm()) return false;
    if (!ControlAdapter && !CreateControlAdapter()) return false;
    if (SystemMenu) SystemMenu->MakeItems();
    const TsSkinManager *m = FSkinData->GetSkinManager();
    TitleButtonSkinIndex = m ? m->FindSectionIndex("TITLEBUTTON") : -1;
    for (int i = 0; i < FTitleButtons->Count(); ++i) {
        TsTitleButton *button = FTitleButtons->Items(i);
        button->Data.ImageIndex = button->UseSkinData() ? TitleButtonMaskIndex : -1;
    }
    if (MDIHelper) MDIHelper->ConnectClient();
    if (Form && Form->BorderStyle() == vcl::bsSizeToolWin) {
        SetAllowSkin3rdParty(false);
        SetUseGlobalColor(true);
    }
    return true;
}

bool TsSkinProvider::PrepareForm() {
    if (DialogMade || Duplicate || !Form) return true;
    TsSkinManager *m = FSkinData->GetSkinManager();
    if (!m || !Form->HandleAllocated() || !m->SkinData->Active) return true;
    // The colour change and the border's update below reach the
    // application's code.
    const vcl::TGuarded self(this);
    const HWND window = Form->WindowHandle();
    // The main menu's own owner drawing, as the form has it now.
    MainMenuFlag = Form->Menu() && Form->Menu()->OwnerDraw();
    if (MainMenuFlag) MenuSkinned = true;
    FSkinData->Loaded();
    UpdateHeaderIndexes();
    // Made while the window still has WS_SYSMENU: the menu mirrors the
    // window's own system menu, which the style change below keeps.
    if (!SystemMenu) SystemMenu = vcl::Create<TsSystemMenu>(this);
    if (!SetSysMenuStyle(true)) return false;
    FSkinData->UpdateIndexes(true);
    UpdateIconMasks();
    if (Form->FormStyle() == vcl::fsMDIChild) InvalidateParentLine();
    const bool formBeingMade = Form->FormState().Contains(vcl::fsCreating) || Has(Form, vcl::csLoading) ||
                               Has(Form, vcl::csReading);
    if (!formBeingMade && !ProviderLoading() && FUseGlobalColor && !FSkinData->CustomColor()) {
        Form->SetColor(m->GetMainColor());
        if (!ProviderServes(self, window)) return false;
    }
    SystemMenu->UpdateItems(false);
    PrepareTitleBarItems();
    // Considered once, when the form is whole: one still being made or read
    // may not have its style yet, and the helper would make its window early.
    if (MDIHelperPending && !formBeingMade) {
        MDIHelperPending = false;
        SetMDIHelper(true);
    }
    if (!Has(Form, vcl::csLoading) && !UpdateExtBorders(m->GetExtendedBorders())) return false;
    IsSkinned = FSkinData->IsSkinned(true);
    return true;
}

void TsSkinProvider::UpdateHeaderIndexes() {
    const TsSkinManager *m = FSkinData->GetSkinManager();
    if (!m) {
        CaptionSkinIndex = HeaderSkinIndex = TitleSkinIndex = -1;
        return;
    }
    CaptionSkinIndex = m->FindSectionIndex("CAPTION");
    HeaderSkinIndex = m->FindSectionIndex("FORMHEADER");
    TitleSkinIndex = m->FindSectionIndex(FTitleSkin.empty() ? std::string("FORMTITLE") : FTitleSkin);
}

void TsSkinProvider::UpdateIconMasks() {
    IconsLarge = NormalCaption();
    const TsSkinManager *m = FSkinData->GetSkinManager();
    if (!m || !m->IsValidSectionIndex(m->CommonElements.GlobalInfoSection)) return;
    ButtonMin.HitCode = HTMINBUTTON;
    ButtonMax.HitCode = HTMAXBUTTON;
    ButtonClose.HitCode = HTCLOSE;
    MDIMin.HitCode = htMDIMinimize;
    MDINorm.HitCode = htMDIRestore;
    MDIClose.HitCode = htMDIClose;
    if (IconsLarge) {
        const bool sideButtons = SystemMenu && (SystemMenu->VisibleMax() || SystemMenu->VisibleMin());
        const int alone = IconIndex(*m, tiBigCloseAlone);
        SetIcon(ButtonClose, !sideButtons && alone >= 0 ? alone : IconIndex(*m, tiBigClose), true);
        SetIcon(ButtonMin, IconIndex(*m, tiBigMin), true);
        SetIcon(ButtonMax, IconIndex(*m, tiBigMax), true);
        SetIcon(ButtonHelp, IconIndex(*m, tiBigHelp), true);
    } else {
        SetIcon(ButtonClose, IconIndex(*m, tiSmallClose), false);
        SetIcon(ButtonMin, IconIndex(*m, tiSmallMin), false);
        SetIcon(ButtonMax, IconIndex(*m, tiSmallMax), false);
        const int help = IconIndex(*m, tiSmallHelp);
        SetIcon(ButtonHelp, help >= 0 ? help : IconIndex(*m, tiBigHelp), false);
    }
    // A skin without the chosen close glyph: the large set for every form.
    const bool closeFound = ButtonClose.ImageIndex >= 0;
    if (!closeFound) {
        SetIcon(ButtonClose, IconIndex(*m, tiBigClose), true);
        SetIcon(ButtonMin, IconIndex(*m, tiBigMin), true);
        SetIcon(ButtonMax, IconIndex(*m, tiBigMax), true);
        SetIcon(ButtonHelp, IconIndex(*m, tiBigHelp), true);
    }
    // A maximized MDI child's buttons in the parent's menu line: the small
    // glyphs, else the form's own.
    if (IsMDIParent() && !Has(m, vcl::csDesigning)) {
        const bool small = closeFound && IconIndex(*m, tiSmallMin) >= 0;
        SetIcon(MDIMin, small ? IconIndex(*m, tiSmallMin) : ButtonMin.ImageIndex, !small);
        SetIcon(MDINorm, small ? IconIndex(*m, tiSmallMax) : ButtonMax.ImageIndex, !small);
        SetIcon(MDIClose, small ? IconIndex(*m, tiSmallClose) : ButtonClose.ImageIndex, !small);
    }
    TitleButtonMaskIndex = m->GetMaskIndex(m->CommonElements.GlobalInfoSection, "TITLEBUTTON");
}

void TsSkinProvider::InvalidateParentLine() {
    TsSkinProvider *parent = MDIParentSkinProvider();
    if (!parent || Has(this, vcl::csDestroying) || !Skinned()) return;
    parent->SkinData()->BGChanged = true;
    parent->MenuLineCount = -1;
}

bool TsSkinProvider::CreateControlAdapter() {
    if (Has(this, vcl::csDesigning) || !FSkinData->IsSkinned(false)) return true;
    if (!ControlAdapter) ControlAdapter = std::make_unique<TvlCtrlAdapter>(this);
    return !Form || ControlAdapter->AdaptControls(Form);
}

// ------------------------------------------------------------- the veil

TvlVeilHolder::TvlVeilHolder(TsSkinProvider &Provider, HWND Window)
    : FProvider(Provider), FSubclass(vcl::TWndMethod::Bind<&TvlVeilHolder::WndProc>(this)) {
    FSubclass.Attach(Window);
}

void TvlVeilHolder::WndProc(vcl::TMessage &Message) {
    // The holder's own handling may free the provider, this with it.
    const vcl::TGuarded alive(this);
    FSubclass.CallPrevious(Message);
    constexpr std::uint32_t flights = pfMinimizeAnimation | pfRestoreAnimation;
    // (A redraw switched off and on again hides and shows the holder too,
    // with no placement: a show animation does that.)
    const bool shownOrPlaced = Message.Msg == WM_WINDOWPOSCHANGED || Message.Msg == WM_SETREDRAW;
    if (alive && shownOrPlaced && !(FProvider.StateFlags & flights)) FProvider.UpdateDisabledVeil();
}

void TsSkinProvider::WatchVeilHolders(HWND Window) {
    std::vector<HWND> holders;
    for (HWND w = Window; w && (GetWindowLongPtrW(w, GWL_STYLE) & WS_CHILD);) {
        w = GetAncestor(w, GA_PARENT);
        if (w) holders.push_back(w);
    }
    const bool same = holders.size() == VeilHolders.size() &&
                      std::equal(holders.begin(), holders.end(), VeilHolders.begin(),
                                 [](HWND W, const std::unique_ptr<TvlVeilHolder> &H) { return H->Window() == W; });
    if (same) return;
    VeilHolders.clear();
    for (const HWND w : holders) try {
            VeilHolders.push_back(std::make_unique<TvlVeilHolder>(*this, w));
        } catch (const vcl::EInvalidOperation &) {
            // Another process's window: its moves stay unseen.
        }
}

void TsSkinProvider::UpdateDisabledVeil() {
    const HWND window = Form && Form->HandleAllocated() ? Form->WindowHandle() : nullptr;
    const bool disabled = window && !Form->Enabled();
    // Watched while disabled, hidden or not: a holder shown again brings
    // the veil back.
    WatchVeilHolders(disabled ? window : nullptr);
    // A veil is laid only over a form that can be seen: over a hidden or
    // minimized one (or one inside a hidden or minimized window) it would be
    // a black rectangle over whatever lies there.
    const bool wanted =
        disabled && IsWindowVisible(window) && !IsIconic(window) && !IsIconic(GetAncestor(window, GA_ROOT));
    if (!wanted) {
        VeilWatch.reset();
        DisabledVeil.reset();
        return;
    }
    if (!DisabledVeil) {
        DisabledVeil.reset(vcl::Create<vcl::TForm>(nullptr, vcl::CreateNew));
        DisabledVeil->SetBorderStyle(vcl::bsNone);
        DisabledVeil->SetColor(vcl::clBlack);
        DisabledVeil->SetTag(256);
        DisabledVeil->SetPosition(vcl::poDesigned);
        DisabledVeil->SetEnabled(false);
        DisabledVeil->SetAlphaBlend(true);
    }
    DisabledVeil->SetAlphaBlendValue(static_cast<std::uint8_t>(255 - FDisabledBlendValue));
    vcl::TRect r = WindowRectOf(Form->WindowHandle());
    if (BorderForm) {
        // Over the whole border image (the skin's frame and its shadow
        // around the window), one pixel beyond it: the skin's frame may
        // reach past the window's own, and the margins need not be even,
        // so the window and its left margin would leave part of it bare.
        const vcl::TPoint offset = WindowToFrameOffset();
        const int left = r.Left - offset.X - 1, top = r.Top - offset.Y - 1;
        r = {left, top, left + CacheWidth() + 2, top + CacheHeight() + 2};
    }
    DisabledVeil->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    const HWND veil = DisabledVeil->Handle();
    // A helper window: no button of its own on the taskbar either.
    const LONG_PTR exStyle = GetWindowLongPtrW(veil, GWL_EXSTYLE) & ~static_cast<LONG_PTR>(WS_EX_APPWINDOW);
    SetWindowLongPtrW(veil, GWL_EXSTYLE, exStyle | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE);
    // Right above the form (and its border window when that lies over it):
    // another window over the form stays over the veil, and a form on top
    // of the others keeps its veil on it.
    const UINT quiet = SWP_NOACTIVATE | SWP_NOOWNERZORDER;
    const HWND above = PlaceRightAbove(veil, window, VeilAnchor(window), r, quiet | SWP_SHOWWINDOW);
    // Its paint may have raised it to the top (Wine does).
    RedrawWindow(veil, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    SetWindowPos(veil, above, 0, 0, 0, 0, quiet | SWP_NOMOVE | SWP_NOSIZE);
    // Wine also reorders windows when the X server reports a part of one
    // uncovered that another covers (a window hidden over both, a move whose
    // strips it reports late): the veil or the form then jumps over the
    // other, with no message to either. Only a look now and then sees that.
    if (!VeilWatch) {
        VeilWatch.reset(vcl::Create<vcl::TTimer>(nullptr));
        VeilWatch->SetInterval(100);
        VeilWatch->OnTimer = vcl::TNotifyEvent::Bind<&TsSkinProvider::KeepVeilInPlace>(this);
    }
}

void TsSkinProvider::RemoveDisabledVeil() {
    VeilHolders.clear();
    VeilWatch.reset();
    DisabledVeil.reset();
}

HWND TsSkinProvider::VeilAnchor(HWND Window) const {
    const HWND root = GetAncestor(Window, GA_ROOT);
    // A border window that another window came between (Wine may put it
    // there) is no anchor: the veil would go over that window too.
    const HWND veil = DisabledVeil && DisabledVeil->HandleAllocated() ? DisabledVeil->WindowHandle() : nullptr;
    HWND above = GetWindow(root, GW_HWNDPREV);
    while (above && (above == veil || !IsWindowVisible(above))) above = GetWindow(above, GW_HWNDPREV);
    const HWND border = BorderWindow();
    return border && above == border ? border : root;
}

void TsSkinProvider::KeepVeilInPlace(vcl::TObject *) {
    // A flight hides the veil and lays it again at its end.
    if (!DisabledVeil || (StateFlags & (pfMinimizeAnimation | pfRestoreAnimation))) return;
    const HWND veil = DisabledVeil->WindowHandle();
    const HWND window = Form && Form->HandleAllocated() ? Form->WindowHandle() : nullptr;
    if (!window || !IsWindowVisible(veil)) return;
    if (GetWindow(veil, GW_HWNDNEXT) != VeilAnchor(window)) UpdateDisabledVeil();
}

// ------------------------------------------------------- the caption cover

namespace {

// The cover shows the part of the frame image that lies under it: the
// whole frame, or with a border form the form's menu line.
void CopyCacheInto(HDC DC, const TsSkinProvider &P, HWND Cover) {
    vcl::TBitmap *cache = P.SkinData()->CacheBmp();
    if (!DC || !cache || cache->Empty() || !P.Form->HandleAllocated()) return;
    RECT r{}, form{};
    GetWindowRect(Cover, &r);
    GetWindowRect(P.Form->WindowHandle(), &form);
    const vcl::TPoint offset = P.WindowToFrameOffset();
    BitBlt(DC, 0, 0, r.right - r.left, r.bottom - r.top, cache->Canvas()->Handle(), r.left - form.left + offset.X,
           r.top - form.top + offset.Y, SRCCOPY);
}

} // namespace

void TsSkinProvider::CoverWndProc(vcl::TMessage &Message) {
    if (CaptionCover && CaptionCover->HandleAllocated()) {
        const HWND cover = CaptionCover->WindowHandle();
        if (Message.Msg == WM_ERASEBKGND) {
            CopyCacheInto(reinterpret_cast<HDC>(Message.WParam), *this, cover);
            Message.Result = 1;
            return;
        }
        if (Message.Msg == WM_NCPAINT) {
            // WParam is a region here: the copy goes through the window's DC.
            const vcl::TWindowDC dc(cover, GetWindowDC(cover));
            CopyCacheInto(dc.Get(), *this, cover);
            Message.Result = 0;
            return;
        }
    }
    if (CoverSavedWndProc) CoverSavedWndProc(Message);
}

void TsSkinProvider::CoverPaint(vcl::TObject *Sender) {
    auto *cover = dynamic_cast<vcl::TForm *>(Sender);
    if (!cover || !cover->HandleAllocated()) return;
    CopyCacheInto(cover->Canvas()->Handle(), *this, cover->WindowHandle());
}

// ------------------------------------------------------- the outline drag

TvlOutlineDrag::~TvlOutlineDrag() {
    if (CaptureWatch) CaptureWatch->Detach();
    if (!Active || !DesktopDC) return;
    DrawOutline(DesktopDC->Get(), Rect);
    RestoreDC(DesktopDC->Get(), SavedDC);
}

void TsSkinProvider::BeginOutlineDrag(int HitCode, vcl::TPoint ScreenPoint) {
    if (OutlineDrag.Active || !Form || !Form->HandleAllocated()) return;
    const HWND window = Form->WindowHandle();
    auto desktop = std::make_unique<vcl::TWindowDC>(nullptr);
    if (!*desktop) return;
    // Whoever takes the mouse from the form ends the drag: the form learns
    // it by WM_CAPTURECHANGED, which its own procedure never hands to us.
    OutlineDrag.CaptureWatch =
        std::make_unique<vcl::TWindowSubclass>(vcl::TWndMethod::Bind<&TsSkinProvider::OutlineCaptureWatch>(this));
    OutlineDrag.CaptureWatch->Attach(window);
    OutlineDrag.DesktopDC = std::move(desktop);
    const HDC dc = OutlineDrag.DesktopDC->Get();
    OutlineDrag.SavedDC = SaveDC(dc);
    SetROP2(dc, R2_NOT);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    OutlineDrag.Active = true;
    OutlineDrag.HitCode = HitCode;
    OutlineDrag.Moving = HitCode < HTLEFT || HitCode > HTBOTTOMRIGHT;
    OutlineDrag.Start = ScreenPoint;
    OutlineDrag.Rect = WindowRectOf(window);
    DrawOutline(dc, OutlineDrag.Rect);
    if (GetCapture() != window) SetCapture(window);
}

void TsSkinProvider::MoveOutlineDrag(vcl::TPoint ScreenPoint) {
    if (!OutlineDrag.Active) return;
    const HDC dc = OutlineDrag.DesktopDC->Get();
    DrawOutline(dc, OutlineDrag.Rect);
    vcl::TRect &r = OutlineDrag.Rect;
    if (OutlineDrag.Moving) {
        const int dx = ScreenPoint.X - OutlineDrag.Start.X, dy = ScreenPoint.Y - OutlineDrag.Start.Y;
        r = {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
        OutlineDrag.Start = ScreenPoint;
    } else {
        // The form's own minimum, and never below what the system lets a
        // window be dragged down to.
        const int minW = std::max(Form->Constraints()->MinWidth, GetSystemMetrics(SM_CXMINTRACK));
        const int minH = std::max(Form->Constraints()->MinHeight, GetSystemMetrics(SM_CYMINTRACK));
        // The lower-right corner (the size grip's code too) sizes like the
        // other corners: a drag that begins there must follow the mouse.
        const int code = OutlineDrag.HitCode;
        if (code == HTLEFT || code == HTTOPLEFT || code == HTBOTTOMLEFT)
            r.Left = std::min(ScreenPoint.X, r.Right - minW);
        if (code == HTRIGHT || code == HTTOPRIGHT || code == HTBOTTOMRIGHT)
            r.Right = std::max(ScreenPoint.X, r.Left + minW);
        if (code == HTTOP || code == HTTOPLEFT || code == HTTOPRIGHT) r.Top = std::min(ScreenPoint.Y, r.Bottom - minH);
        if (code == HTBOTTOM || code == HTBOTTOMLEFT || code == HTBOTTOMRIGHT)
            r.Bottom = std::max(ScreenPoint.Y, r.Top + minH);
    }
    DrawOutline(dc, r);
}

bool TsSkinProvider::EndOutlineDrag() {
    const vcl::TGuarded self(this);
    const HWND window = Form && Form->HandleAllocated() ? Form->WindowHandle() : nullptr;
    if (!OutlineDrag.Active) return true;
    // Cleared first: giving the capture back sends WM_CAPTURECHANGED here again.
    OutlineDrag.Active = false;
    if (OutlineDrag.CaptureWatch) {
        OutlineDrag.CaptureWatch->Detach();
        OutlineDrag.CaptureWatch.reset();
    }
    // The form's own handling of the capture's loss and of its new place may
    // free this provider, or the form: the outline is taken along first, so
    // that it is wiped off the screen and the form still goes where the user
    // left it.
    const std::unique_ptr<vcl::TWindowDC> desktop = std::move(OutlineDrag.DesktopDC);
    const int saved = std::exchange(OutlineDrag.SavedDC, 0);
    vcl::TRect r = OutlineDrag.Rect;
    const vcl::TGuarded<vcl::TCustomForm> form(Form);
    if (window && GetCapture() == window) ReleaseCapture();
    DrawOutline(desktop->Get(), r);
    RestoreDC(desktop->Get(), saved);
    if (!form || !IsWindow(window) || Has(form.Get(), vcl::csDestroying)) return false;
    if (const HWND parent = GetParent(window); parent && (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD)) {
        POINT corners[2] = {{r.Left, r.Top}, {r.Right, r.Bottom}};
        MapWindowPoints(nullptr, parent, corners, 2);
        r = {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    }
    MoveWindow(window, r.Left, r.Top, r.Width(), r.Height(), TRUE);
    return ProviderServes(self, window);
}

void TsSkinProvider::OutlineCaptureWatch(vcl::TMessage &Message) {
    // The form hears the message first (and may free this provider: its
    // drag then went with it); then a lost capture ends the drag as a
    // release would: the outline shows where the user has taken the form
    // so far.
    const vcl::TGuarded self(this);
    OutlineDrag.CaptureWatch->CallPrevious(Message);
    if (self && Message.Msg == WM_CAPTURECHANGED && OutlineDrag.Active) EndOutlineDrag();
}

// -------------------------------------------------- the caption strip kept

void TsSkinProvider::SaveButtonsArea(int Y, int CaptionWidth) {
    vcl::TBitmap *cache = FSkinData->CacheBmp();
    if (!cache || cache->Empty() || !ButtonsBackup || !Form || !Form->HandleAllocated()) return;
    // From Y down to the caption's bottom: a caption button may reach into
    // the frame above the caption, and its background is restored whole.
    const int bottom =
        GetNativeBorderWidth(Form->WindowHandle(), BorderObject()) + GetCaptionHeight(true) + GetShadowMargins().Top;
    const int w = std::min(ButtonsWidth() + FrameLeft(true) + 10, CaptionWidth - 1);
    const int h = bottom - Y;
    if (w < 1 || h < 1) return;
    ButtonsBackup->SetPixelFormat(cache->PixelFormat());
    ButtonsBackup->SetSize(w, h);
    ButtonsBackupPos = {CaptionWidth - w - 1, Y};
    GdiFlush();
    CopyPixels(ButtonsBackup->View(), 0, 0, cache->View(), ButtonsBackupPos.X, ButtonsBackupPos.Y, w, h);
}

void TsSkinProvider::RestoreButtonsArea(int CaptionWidth) {
    vcl::TBitmap *cache = FSkinData->CacheBmp();
    if (!cache || !ButtonsBackup || ButtonsBackup->Empty()) return;
    GdiFlush();
    CopyPixels(cache->View(), CaptionWidth - ButtonsBackup->Width() - 1, ButtonsBackupPos.Y, ButtonsBackup->View(), 0,
               0, ButtonsBackup->Width(), ButtonsBackup->Height());
}

// ------------------------------------------------------ client background

void TsSkinProvider::PaintFormBackground(HDC DC) {
    if (!Form || !Form->HandleAllocated()) return;
    if (DC && CompositionOn) {
        RECT clip{};
        if (GetClipBox(DC, &clip) == NULLREGION || IsRectEmpty(&clip)) DC = nullptr;
    }
    std::unique_ptr<vcl::TWindowDC> own;
    if (FSkinData->PrintDC) {
        DC = FSkinData->PrintDC;
    } else if (!DC) {
        own = std::make_unique<vcl::TWindowDC>(Form->WindowHandle());
        DC = own->Get();
    }
    if (!DC) return;
    FSkinData->PaintLocked = false;
    if (ShowAnimating || Has(Form, vcl::csDestroying)) return;
    // Only the active child shows its face; the others wait for it.
    if (IsMDIChildForm(Form)) {
        const vcl::TCustomForm *parent = vcl::MDIParentForm();
        if (!parent || parent->ActiveMDIChild() != Form) return;
    }
    // The render and the graphic children's paints run the application's
    // painting, and the children told of the update repaint: any of them
    // may free this provider.
    const vcl::TGuarded self(this);
    const HWND window = Form->WindowHandle();
    {
        const vcl::TSavedDC saved(DC);
        ExcludeGraphicControlsFromClip(DC, *Form, 0, 0);
        PaintClientBackground(DC, false);
        if (!ProviderServes(self, window)) return;
        if (GripVisible()) {
            // The grip's place is given in the frame's coordinates.
            SetWindowOrgEx(DC, GetClientOffsetX(), GetClientOffsetY(), nullptr);
            if (!PaintSizeGrip(DC)) return;
        }
    }
    PaintGraphicControls(DC, {0, 0});
    if (ProviderServes(self, window)) PassUpdateDoneToChildren(Form);
}

bool TsSkinProvider::CacheUsable() {
    vcl::TBitmap *cache = FSkinData->CacheBmp();
    if (cache && cache->Height() == 0) FSkinData->BGChanged = true;
    if ((FSkinData->BGChanged || CacheStale()) && !RenderFrame()) return false;
    // A renderer that had nothing to paint leaves no image to copy from.
    return FSkinData->CacheBmp() != nullptr && !FSkinData->CacheBmp()->Empty();
}

// ------------------------------------------------------------- the menus

TsSkinManager *TsSkinProvider::MenuSupportManager() const {
    TsSkinManager *m = Form ? FSkinData->GetSkinManager() : nullptr;
    return m && m->MenuSupport() && m->GetIsDefault() ? m : nullptr;
}

void TsSkinProvider::HookMainMenu(bool On) {
    TsSkinManager *m = MenuSupportManager();
    if (!m || !Form->Menu()) return;
    m->SkinableMenus().SetMenuOwnerDraw(Form->Menu(), On);
    MenuSkinned = On;
    SyncMenuBar();
}

void TsSkinProvider::RebuildMainMenu() {
    vcl::TMainMenu *menu = Form ? Form->Menu() : nullptr;
    bool &rebuilding = FormsState().MenuRebuilding;
    if (!menu || rebuilding || !MenuSupportManager()) return;
    // The bar's rebuild tells the form of its new menu, which may ask again.
    rebuilding = true;
    const struct TDone {
        bool &Flag;
        ~TDone() { Flag = false; }
    } done{rebuilding};
    HookMainMenu(true);
    // Every item measured and drawn anew by the system, with what it now uses.
    menu->ItemsChanged();
}

void TsSkinProvider::HookFormMenus(bool On) {
    TsSkinManager *m = MenuSupportManager();
    if (!m) return;
    // The menus among the form's components, and its main menu wherever it
    // is owned; the bar is built again when its owner drawing changed.
    for (int i = 0; i < Form->ComponentCount(); ++i)
        if (auto *menu = dynamic_cast<vcl::TMenu *>(Form->Components(i))) m->SkinableMenus().SetMenuOwnerDraw(menu, On);
    if (Form->Menu() && Form->Menu()->Owner() != Form) m->SkinableMenus().SetMenuOwnerDraw(Form->Menu(), On);
    MenuSkinned = On && Form->Menu();
    SyncMenuBar();
}

} // namespace skin
