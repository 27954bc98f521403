#include "vlFormAnimations.h"

#include <algorithm>
#include <functional>
#include <utility>

#include "sCommonData.h"
#include "sMessages.h"
#include "sSkinCommands.h"
#include "sSkinManager.h"
#include "skin/graphics/sConst.h"
#include "skin/graphics/vlAlphaBlending.h"
#include "skin/graphics/vlCommonUtils.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/graphics/vlPixelHelpers.h"
#include "skin/graphics/vlSkinPieces.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/GdiObjects.h"
#include "vlGlow.h"
#include "vlSnapshots.h"

namespace skin {

VCL_CLASS_INFO(TvlHideTimer)
VCL_CLASS_INFO(TOutputWindow)

namespace {

// SetWindowPos flag sets of the animations.
constexpr UINT ShowPlacement = SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOCOPYBITS | SWP_NOOWNERZORDER |
                               SWP_NOSENDCHANGING;                                   // 0x718
constexpr UINT BelowWithoutChange = SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOOWNERZORDER |
                                    SWP_NOSENDCHANGING;                              // 0x61B
constexpr UINT FullRedraw = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW |
                            RDW_ERASENOW;                                            // 0x785
constexpr UINT Redraw = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW;  // 0x585
constexpr COLORREF NoKey = 0x1FFFFFFF;
constexpr int ZoomMode = 1;  // atAero

TvlHideTimer *TheHideTimer = nullptr;      // not owned: the application owns it
TOutputWindow *TheOutputWindow = nullptr;  // not owned: the application owns it
// The old screen image of the form the output window covers.
std::unique_ptr<vcl::TBitmap> &OldImage() {
    static std::unique_ptr<vcl::TBitmap> image;
    return image;
}

// FormAnimationActive raised for a scope, lowered at its end unless lowered before.
class TAnimationFlag {
public:
    TAnimationFlag() { ModuleState().FormAnimationActive = true; }
    ~TAnimationFlag() { Lower(); }
    TAnimationFlag(const TAnimationFlag &) = delete;
    TAnimationFlag &operator=(const TAnimationFlag &) = delete;
    void Lower() {
        if (FRaised) ModuleState().FormAnimationActive = false;
        FRaised = false;
    }

private:
    bool FRaised = true;
};

// Frames at least 10 ticks apart: the wait reads the tick count until it
// has moved on by 10 from the tick of the frame, without sleeping and
// without processing messages. The difference, not a sum, so that the
// count's wrap after 49 days ends no wait early.
class TFramePacer {
public:
    void Start() { FStart = GetTickCount(); }
    void Wait() const {
        while (GetTickCount() - FStart < 10) {
        }
    }

private:
    DWORD FStart = GetTickCount();
};

BOOL UpdateLayered(HWND Window, HDC Screen, SIZE Size, HDC Source, std::uint8_t Alpha, POINT *Place = nullptr) {
    const auto update = LayeredWindowFunctions().UpdateLayeredWindow;
    if (!update) return FALSE;
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, Alpha, AC_SRC_ALPHA};
    return update(Window, Screen, Place, &Size, Source, &source, NoKey, &blend, ULW_ALPHA);
}

void AddExStyle(HWND Window, LONG_PTR Bits) {
    const LONG_PTR ex = GetWindowLongPtrW(Window, GWL_EXSTYLE);
    if ((ex & Bits) != Bits) SetWindowLongPtrW(Window, GWL_EXSTYLE, ex | Bits);
}

bool IsTopmost(HWND Window) { return (GetWindowLongPtrW(Window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

// The borderless helper window that shows the frames.
std::unique_ptr<vcl::TForm> NewAnimationWindow() {
    std::unique_ptr<vcl::TForm> w(vcl::Create<vcl::TForm>(nullptr, vcl::CreateNew));
    w->SetBorderStyle(vcl::bsNone);
    w->SetTag(AuxiliaryWindowTag);
    AddExStyle(w->Handle(), WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE);
    return w;
}

// One frame of Snapshot into the frame image.
void DrawFrame(HDC Frame, HDC Snapshot, const TvlAnimFrame &F, int Width, int Height) {
    if (F.Stretch) {
        StretchBlt(Frame, F.Place.Left, F.Place.Top, F.Place.Width(), F.Place.Height(), Snapshot, 0, 0, Width, Height,
                   SRCCOPY);
    } else if (F.Copy) {
        BitBlt(Frame, 0, 0, Width, Height, Snapshot, 0, 0, SRCCOPY);
    }
}

void ComposeFrame(vcl::TBitmap &Snapshot, vcl::TBitmap &Frame, const TvlAnimFrame &F, bool Clear,
                  vcl::TRect *Drawn);

// Runs the frames of Frames through Window (tick taken once the frame is
// drawn into Frame, before it is shown; or before it is drawn when
// TickFirst). After: called with each frame's alpha once it is shown.
void RunFrames(TvlFrameSequence Frames, HWND Window, HDC Screen, vcl::TBitmap &Snapshot, vcl::TBitmap &Frame,
               bool TickFirst, const std::function<void(std::uint8_t)> &After = {}) {
    TFramePacer pacer;
    while (!Frames.Done()) {
        if (TickFirst) pacer.Start();
        const TvlAnimFrame f = Frames.Next();
        ComposeFrame(Snapshot, Frame, f, false, nullptr);
        if (!TickFirst) pacer.Start();
        UpdateLayered(Window, Screen, SIZE{Snapshot.Width(), Snapshot.Height()}, Frame.Canvas()->Handle(), f.Alpha);
        if (After) After(f.Alpha);
        pacer.Wait();
    }
}

// The form's own alpha put back after a layered phase. The phase may have
// ended by taking the layered style away (a hide does): without it the
// alpha would not hold, and a translucent form would come back opaque.
void ApplyFormAlpha(vcl::TCustomForm &Form) {
    if (!Form.AlphaBlend() || !Form.HandleAllocated() || !LayeredWindowFunctions().SetLayeredWindowAttributes) return;
    AddExStyle(Form.WindowHandle(), WS_EX_LAYERED);
    LayeredWindowFunctions().SetLayeredWindowAttributes(Form.WindowHandle(), 0, Form.AlphaBlendValue(), LWA_ALPHA);
}

bool Version60() {
    OSVERSIONINFOW v{};
    v.dwOSVersionInfoSize = sizeof v;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    return GetVersionExW(&v) && v.dwMajorVersion == 6 && v.dwMinorVersion == 0;
#pragma GCC diagnostic pop
}

int Version() {
    OSVERSIONINFOW v{};
    v.dwOSVersionInfoSize = sizeof v;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    return GetVersionExW(&v) ? static_cast<int>(v.dwMajorVersion) : 0;
#pragma GCC diagnostic pop
}

std::unique_ptr<vcl::TBitmap> CopyOf(vcl::TBitmap &Image) {
    auto copy = NewBitmap32(Image.Width(), Image.Height());
    BitBlt(copy->Canvas()->Handle(), 0, 0, Image.Width(), Image.Height(), Image.Canvas()->Handle(), 0, 0, SRCCOPY);
    if (Image.PixelFormat() == vcl::pf32bit)
        CopyPixels(copy->View(), 0, 0, Image.View(), 0, 0, Image.Width(), Image.Height());
    return copy;
}

// The 32-bit snapshot of Form as its provider renders it, opaque. The
// paint runs the children's painting, the application's code, which may
// free the provider or the form: nothing of either is read after it, and
// the caller asks before it goes on.
std::unique_ptr<vcl::TBitmap> FormSnapshot(TvlFormProvider &Provider, vcl::TCustomForm &Form, vcl::TBitmap &Cache) {
    // A border form's image keeps the skin's shadow around the window,
    // which the window's own printing leaves out.
    auto snapshot = Provider.BorderWindow() ? CopyOf(Cache) : NewBitmap32(Cache.Width(), Cache.Height());
    const bool opaque = !HasBorderForm(Provider);
    vcl::TCanvas *canvas = snapshot->Canvas();
    canvas->Lock();
    {
        const vcl::TSavedDC saved(canvas->Handle());
        PaintControlToBitmap(*snapshot, &Form, 0, 0, &Provider);
    }
    canvas->Unlock();
    if (opaque) SetRectAlpha(*snapshot, {0, 0, snapshot->Width(), snapshot->Height()}, 255);
    return snapshot;
}

// A show whose provider went on the way (the application freed it from the
// form's own painting or a message passed to the form): the form still
// appears, as it is now, at its own alpha.
void ShowFormAsItIs(HWND Window, const vcl::TGuarded<vcl::TCustomForm> &Form, std::uint8_t Alpha) {
    if (!IsWindow(Window)) return;
    if (Form && Form->AlphaBlend()) {
        Form->SetAlphaBlendValue(Alpha);
        ApplyFormAlpha(*Form);
    }
    if (!IsWindow(Window)) return;
    SendMessageW(Window, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(Window, nullptr, nullptr, FullRedraw);
}

// A dialog show whose adapter went on the way: the dialog still appears, as
// it is now.
void ShowDialogAsItIs(HWND Window) {
    SetWindowLongPtrW(Window, GWL_STYLE, GetWindowLongPtrW(Window, GWL_STYLE) | WS_VISIBLE);
    if (!IsWindow(Window)) return;
    SendMessageW(Window, WM_SETREDRAW, TRUE, 0);
    if (IsWindow(Window)) RedrawWindow(Window, nullptr, nullptr, FullRedraw);
}

// The screen rectangle of the form's frame image: its window's, or with a
// border form the border's around it by the shadow margins.
RECT ImagePlace(TvlFormProvider &Provider, HWND Window) {
    RECT r{};
    GetWindowRect(Window, &r);
    if (HasBorderForm(Provider)) {
        // The skin's frame reaches beyond the window by its excess on the
        // sides and at the bottom (the offset less the margin) too.
        const vcl::TRect m = Provider.GetShadowMargins();
        const vcl::TPoint offset = Provider.GetFrameOffset();
        const int side = offset.X - m.Left;
        r = {r.left - offset.X, r.top - offset.Y, r.right + side + m.Right, r.bottom + side + m.Bottom};
    }
    return r;
}

// The corners that the border mask leaves out, transparent in the snapshot.
void ClearFrameMasks(TvlFormProvider &Provider, vcl::TBitmap &Snapshot) {
    Provider.CollectFrameMasks();
    for (const vcl::TRect &r : Provider.FrameMasks) FillRectAlpha(Snapshot, r, vcl::clBlack, 0);
}


// What a window's region cuts away, transparent in its picture.
void ClearOutsideRegion(HWND Window, vcl::TBitmap &Snapshot) {
    const vcl::TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
    if (GetWindowRgn(Window, region.Get()) == ERROR) return;
    const vcl::TRegionHandle outside(CreateRectRgn(0, 0, Snapshot.Width(), Snapshot.Height()));
    CombineRgn(outside.Get(), outside.Get(), region.Get(), RGN_DIFF);
    const DWORD size = GetRegionData(outside.Get(), 0, nullptr);
    if (size == 0) return;
    std::vector<std::uint8_t> data(size);
    auto *rects = reinterpret_cast<RGNDATA *>(data.data());
    if (GetRegionData(outside.Get(), size, rects) == 0) return;
    const auto *r = reinterpret_cast<const RECT *>(rects->Buffer);
    for (DWORD i = 0; i < rects->rdh.nCount; ++i)
        FillRectAlpha(Snapshot, {r[i].left, r[i].top, r[i].right, r[i].bottom}, vcl::clBlack, 0);
}

// The service of the slot.
class TvlLayeredAnimations final : public TvlFormAnimations {
public:
    void AnimShowForm(TvlFormProvider &Provider, int Time, std::uint8_t Alpha, int Mode) override {
        skin::AnimShowForm(Provider, Time, Alpha, Mode);
    }
    void AnimHideForm(TvlFormProvider &Provider) override { skin::AnimHideForm(Provider); }
    bool SetLayeredAlpha(HWND Window, bool On, std::uint8_t Alpha) override {
        return skin::SetLayeredAlpha(Window, On, Alpha);
    }
    void ShowLayeredBitmap(HWND Window, vcl::TBitmap *Bitmap, std::uint8_t Alpha) override {
        skin::ShowLayeredBitmap(Window, Bitmap, Alpha);
    }
    void AnimateSkinChangeOfForm(TvlFormProvider &Provider, int Time, std::uint8_t Alpha, bool Aero) override {
        skin::AnimateSkinChangeOfForm(Provider, Time, Alpha, Aero);
    }
};

TvlLayeredAnimations &LayeredAnimations() {
    static TvlLayeredAnimations service;
    return service;
}

} // namespace

// ------------------------------------------------------------ layered calls

namespace {

// Snapshot drawn into Frame as F says (PresentFrame's first half).
void ComposeFrame(vcl::TBitmap &Snapshot, vcl::TBitmap &Frame, const TvlAnimFrame &F, bool Clear,
                  vcl::TRect *Drawn) {
    const int w = Snapshot.Width(), h = Snapshot.Height();
    const HDC frame = Frame.Canvas()->Handle();
    if (Clear && F.Stretch) {
        // Only what the stretched image leaves uncovered: the bands around
        // it, within what the frame before had drawn when that is known.
        const vcl::TRect d = Drawn ? *Drawn : vcl::TRect{0, 0, w, h};
        const auto black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        const vcl::TRect &p = F.Place;
        const int top = std::max(d.Top, p.Top), bottom = std::min(d.Bottom, p.Bottom);
        for (const RECT band : {RECT{d.Left, d.Top, d.Right, std::min(p.Top, d.Bottom)},
                                RECT{d.Left, std::max(p.Bottom, d.Top), d.Right, d.Bottom},
                                RECT{d.Left, top, std::min(p.Left, d.Right), bottom},
                                RECT{std::max(p.Right, d.Left), top, d.Right, bottom}})
            if (band.right > band.left && band.bottom > band.top) FillRect(frame, &band, black);
    }
    if (Drawn && F.Stretch) *Drawn = F.Place;
    if (Drawn && F.Copy && !F.Stretch) *Drawn = {0, 0, w, h};
    const vcl::TBitmapView to = F.Stretch ? Frame.View() : vcl::TBitmapView{};
    const vcl::TBitmapView from = F.Stretch ? Snapshot.View() : vcl::TBitmapView{};
    if (to.HasRows() && from.HasRows()) {
        GdiFlush();  // the bands above are drawn
        StretchNearest(to, F.Place, from);
    } else {
        DrawFrame(frame, Snapshot.Canvas()->Handle(), F, w, h);
    }
}

} // namespace

void PresentFrame(HWND Window, HDC Screen, vcl::TBitmap &Snapshot, vcl::TBitmap &Frame, const TvlAnimFrame &F,
                  bool Clear, vcl::TRect *Drawn) {
    ComposeFrame(Snapshot, Frame, F, Clear, Drawn);
    UpdateLayered(Window, Screen, SIZE{Snapshot.Width(), Snapshot.Height()}, Frame.Canvas()->Handle(), F.Alpha);
}

bool SetLayeredAlpha(HWND Window, bool On, std::uint8_t Alpha) {
    if (!Window) return false;
    if (On && LayeredWindowsAvailable()) {
        const LONG_PTR ex = GetWindowLongPtrW(Window, GWL_EXSTYLE);
        const bool added = !(ex & WS_EX_LAYERED);
        if (added) SetWindowLongPtrW(Window, GWL_EXSTYLE, ex | WS_EX_LAYERED);
        if (const auto set = LayeredWindowFunctions().SetLayeredWindowAttributes) set(Window, NoKey, Alpha, LWA_ALPHA);
        return added;
    }
    // Wine keeps a window on the screen whose WS_VISIBLE only the style lost,
    // and then ignores its hide: the window is hidden first.
    if (IsWindowVisible(Window))
        SetWindowPos(Window, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    SetWindowLongPtrW(Window, GWL_STYLE, GetWindowLongPtrW(Window, GWL_STYLE) & ~LONG_PTR{WS_VISIBLE});
    SetWindowLongPtrW(Window, GWL_EXSTYLE, GetWindowLongPtrW(Window, GWL_EXSTYLE) & ~LONG_PTR{WS_EX_LAYERED});
    return false;
}

void ShowLayeredBitmap(HWND Window, vcl::TBitmap *Bitmap, std::uint8_t Alpha, const POINT *Place) {
    if (!Window) return;
    RECT r{};
    GetWindowRect(Window, &r);
    std::unique_ptr<vcl::TBitmap> blank;
    if (!Bitmap) {
        blank = NewBitmap32(r.right - r.left, r.bottom - r.top);
        Bitmap = blank.get();
    }
    if (!(GetWindowLongPtrW(Window, GWL_EXSTYLE) & WS_EX_LAYERED)) {
        // The window's old content must not flash when it turns layered.
        const bool composition = DwmCompositionActive();
        const LONG_PTR style = GetWindowLongPtrW(Window, GWL_STYLE);
        if (!composition) SetWindowLongPtrW(Window, GWL_STYLE, style & ~LONG_PTR{WS_VISIBLE});
        AddExStyle(Window, WS_EX_LAYERED);
        if (!composition) {
            RedrawWindow(nullptr, &r, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            SetWindowLongPtrW(Window, GWL_STYLE, GetWindowLongPtrW(Window, GWL_STYLE) | (style & WS_VISIBLE));
        }
    }
    POINT place = Place ? *Place : POINT{};
    const vcl::TWindowDC screen;
    UpdateLayered(Window, screen.Get(), SIZE{Bitmap->Width(), Bitmap->Height()}, Bitmap->Canvas()->Handle(), Alpha,
                  Place ? &place : nullptr);
}

// ------------------------------------------------------------------- show

void AnimShowForm(TvlFormProvider &Provider, int Time, std::uint8_t Alpha, int Mode) {
    TsCommonData *data = Provider.ProviderSkinData();
    vcl::TCustomForm *form = Provider.ProviderForm();
    if (!data || !form || !form->HandleAllocated()) return;
    const HWND wnd = form->WindowHandle();
    if (IsIconic(wnd)) return;
    TAnimationFlag flag;
    // The form's painting, and every message the show sends the form, run
    // the application's code, which may free the provider (or the form with
    // it): each is followed by the question whether it still serves.
    const vcl::TGuarded<TvlFormProvider> provider(&Provider);
    const vcl::TGuarded<vcl::TCustomForm> shown(form);
    // The frames show in the border form's own window, its region off, or
    // without a border form in a window of this show's own.
    std::unique_ptr<vcl::TForm> own;
    HWND aw = Provider.MakeBorderWindow();
    const bool bordered = aw != nullptr;
    if (bordered) {
        SetWindowRgn(aw, nullptr, FALSE);
    } else {
        own = NewAnimationWindow();
        aw = own->Handle();
    }
    Provider.RenderFrame();
    if (!ProviderServes(provider, wnd)) return ShowFormAsItIs(wnd, shown, Alpha);
    vcl::TBitmap *cache = data->CacheBmp();
    if (!cache || cache->Empty()) return;
    auto snapshot = FormSnapshot(Provider, *form, *cache);
    if (!ProviderServes(provider, wnd)) return ShowFormAsItIs(wnd, shown, Alpha);

    const int steps = Time / 10;
    const std::uint8_t first = steps < 1 ? Alpha : 0;
    // Where the image goes: the form's window, or its border around it.
    const RECT r = ImagePlace(Provider, wnd);
    if (!bordered) ClearFrameMasks(Provider, *snapshot);

    AddExStyle(aw, WS_EX_NOACTIVATE);
    // Directly above the form (where a border window lies there already,
    // it stays); a topmost form's animation stays topmost, and shrinks to
    // nothing before it turns layered, so that nothing of its own shows.
    HWND anchor = HWND_TOPMOST;
    if (IsTopmost(wnd)) {
        if (own) own->SetFormStyle(vcl::fsStayOnTop);
        else SetWindowPos(aw, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SetWindowPos(aw, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
        AddExStyle(aw, WS_EX_LAYERED);
    } else {
        anchor = GetWindow(wnd, GW_HWNDPREV);
        if (anchor == aw) anchor = GetWindow(aw, GW_HWNDPREV);
    }
    const int sw = snapshot->Width(), sh = snapshot->Height();
    {
        const vcl::TWindowDC screen;
        AddExStyle(aw, WS_EX_LAYERED);
        UpdateLayered(aw, screen.Get(), SIZE{sw, sh}, snapshot->Canvas()->Handle(), first);
        SetWindowPos(aw, nullptr, r.left, r.top, sw, sh, ShowPlacement | SWP_NOZORDER);
        ShowWindow(aw, SW_SHOWNOACTIVATE);
        SetWindowPos(aw, anchor, r.left, r.top, sw, sh, ShowPlacement);
        if (steps > 0) {
            auto frame = NewBitmap32(sw, sh);  // black, transparent
            SetStretchBltMode(frame->Canvas()->Handle(), COLORONCOLOR);
            RunFrames(TvlFrameSequence::Show(sw, sh, steps, Alpha, Mode == ZoomMode), aw, screen.Get(), *snapshot,
                      *frame, false);
        }
        SetWindowPos(aw, nullptr, r.left, r.top, sw, sh, ShowPlacement | SWP_NOZORDER);
        UpdateLayered(aw, screen.Get(), SIZE{sw, sh}, snapshot->Canvas()->Handle(), Alpha);
    }

    Provider.FormNeedsRepaint = false;
    if (form->AlphaBlend()) {
        // The show may have taken the form's alpha to keep it unseen.
        form->SetAlphaBlendValue(Alpha);
        ApplyFormAlpha(*form);
        if (!ProviderServes(provider, wnd)) return ShowFormAsItIs(wnd, shown, Alpha);
    }
    SetWindowPos(wnd, aw, 0, 0, 0, 0, BelowWithoutChange);
    if (!ProviderServes(provider, wnd)) return ShowFormAsItIs(wnd, shown, Alpha);
    flag.Lower();
    // The border keeps showing the whole image while the form redraws.
    if (bordered) Provider.LockBorder(true);
    if (Version60()) SetWindowLongPtrW(wnd, GWL_STYLE, GetWindowLongPtrW(wnd, GWL_STYLE) | WS_VISIBLE);
    // WM_SETREDRAW 1 gives the form WS_VISIBLE back, if its show took it.
    // From here on the form draws itself: a provider gone leaves nothing
    // more to do.
    SendMessageW(wnd, WM_SETREDRAW, TRUE, 0);
    if (!ProviderServes(provider, wnd)) return ShowFormAsItIs(wnd, shown, Alpha);
    RedrawWindow(wnd, nullptr, nullptr, FullRedraw);
    if (!ProviderServes(provider, wnd)) return;
    // Wine's redraw of a window that just left its layered phase leaves the
    // frame as the system drew it: the frame is asked for directly.
    SendMessageW(wnd, WM_NCPAINT, 1, 0);
    if (!ProviderServes(provider, wnd)) return;
    if (bordered) Provider.LockBorder(false);
    snapshot.reset();
    if (DwmCompositionActive()) Sleep(40);
    SetWindowPos(aw, wnd, 0, 0, 0, 0, ShowPlacement | SWP_NOSIZE | SWP_NOMOVE);
    if (bordered) {
        Provider.UpdateFormRegion();
        if (!ProviderServes(provider, wnd)) return;
        vcl::SetWindowRegion(aw, vcl::TRegionHandle(Provider.BorderRegion()), true);
        const TsSkinManager *m = data->GetSkinManager();
        if (m && ((m->SkinData && m->SkinData->AeroBlur) || (m->DPIClass > 0 && WindowsVersionCode > 7)))
            Provider.UpdateBorder(true, 255);
        if (!ProviderServes(provider, wnd)) return;
    }
    own.reset();
    if (Provider.OnAfterAnimation) Provider.OnAfterAnimation(aeShowing);
}

void AnimShowDialog(TvlAnimDialog &Dialog, int Time, std::uint8_t Alpha, int Mode) {
    TAnimationFlag flag;
    const HWND wnd = Dialog.DialogWindow();
    if (!wnd) return;
    // The dialog's procedure and its children's (their pictures, the
    // placements and the redraw send them messages) are the application's:
    // they may destroy the dialog or free its adapter. A dialog whose
    // adapter went still shows, as it is.
    const vcl::TGuarded<TvlAnimDialog> alive(&Dialog);
    const auto ended = [&] {
        if (alive && IsWindow(wnd)) return false;
        if (IsWindow(wnd)) ShowDialogAsItIs(wnd);
        return true;
    };
    // The frames show in the border form's own window, its region off, or
    // without a border form in a window of this show's own.
    HWND aw = Dialog.MakeBorderWindow();
    const bool bordered = aw != nullptr;
    if (bordered) SetWindowRgn(aw, nullptr, FALSE);
    Dialog.RenderFrame();
    if (ended()) return;
    vcl::TBitmap *cache = Dialog.FrameImage();
    if (!cache || cache->Empty()) return;
    std::unique_ptr<vcl::TForm> own;
    if (!bordered) {
        own = NewAnimationWindow();
        aw = own->Handle();
    }
    auto snapshot = CopyOf(*cache);
    SnapshotDialogWindow(Dialog, *snapshot, false);
    if (ended()) return;
    // The corners that the dialog's region leaves out show in its picture
    // no more than on the screen, as a form's frame masks do not: the
    // region is set before the picture is taken, not after the frames.
    if (!bordered) {
        Dialog.UpdateRegion();
        if (ended()) return;
        ClearOutsideRegion(wnd, *snapshot);
    }

    const int steps = Time / 10;
    RECT r{};
    GetWindowRect(wnd, &r);
    // The image takes in an extended border's margins around the window.
    const vcl::TPoint origin = Dialog.FrameOrigin();
    OffsetRect(&r, -origin.X, -origin.Y);
    HWND anchor = IsTopmost(wnd) ? HWND_TOPMOST : GetWindow(wnd, GW_HWNDPREV);
    if (anchor == aw) anchor = GetWindow(aw, GW_HWNDPREV);
    const int sw = snapshot->Width(), sh = snapshot->Height();
    {
        const vcl::TWindowDC screen;
        AddExStyle(aw, WS_EX_LAYERED | WS_EX_NOACTIVATE);
        UpdateLayered(aw, screen.Get(), SIZE{sw, sh}, snapshot->Canvas()->Handle(), steps < 1 ? Alpha : 0);
        SetWindowPos(aw, nullptr, r.left, r.top, sw, sh, ShowPlacement | SWP_NOZORDER);
        ShowWindow(aw, SW_SHOWNOACTIVATE);
        SetWindowPos(aw, anchor, r.left, r.top, sw, sh, ShowPlacement);
        if (steps > 0) {
            auto frame = NewBitmap32(sw, sh);
            SetStretchBltMode(frame->Canvas()->Handle(), COLORONCOLOR);
            RunFrames(TvlFrameSequence::Show(sw, sh, steps, Alpha, Mode == ZoomMode, true), aw, screen.Get(),
                      *snapshot, *frame, true);
        }
        SetWindowRgn(aw, nullptr, FALSE);
        // To the top: the dialog, placed under this window next, comes out
        // above what stood over it.
        SetWindowPos(aw, HWND_TOP, 0, 0, 0, 0, ShowPlacement | SWP_NOSIZE | SWP_NOMOVE);
        UpdateLayered(aw, screen.Get(), SIZE{sw, sh}, snapshot->Canvas()->Handle(), Alpha);
    }
    if (bordered) Dialog.UpdateRegion();
    if (ended()) return;
    SetWindowPos(wnd, aw, 0, 0, 0, 0, BelowWithoutChange);
    if (ended()) return;
    SetWindowLongPtrW(wnd, GWL_STYLE, GetWindowLongPtrW(wnd, GWL_STYLE) | WS_VISIBLE);
    SendMessageW(wnd, WM_SETREDRAW, TRUE, 0);
    flag.Lower();
    if (ended()) return;
    // The border keeps showing the whole image while the dialog redraws.
    if (bordered) Dialog.LockBorder(true);
    RedrawWindow(wnd, nullptr, nullptr, Redraw);
    if (ended()) return;
    if (bordered) {
        Dialog.UpdateRegion();
        if (ended()) return;
        Dialog.LockBorder(false);
    }
    snapshot.reset();
    if (DwmCompositionActive()) Sleep(40);
    // The border's own image, region and place come back.
    if (bordered) Dialog.RefreshBorder();
    if (ended()) return;
    SetWindowPos(aw, wnd, 0, 0, 0, 0, ShowPlacement | SWP_NOSIZE | SWP_NOMOVE);
    if (bordered && IsWindow(wnd) && alive) Dialog.UpdateRegion();
}

// ------------------------------------------------------------------- hide

TvlHideTimer::TvlHideTimer(vcl::TComponent *AOwner) : TvlThreadedTimer(AOwner) {}

TvlHideTimer::~TvlHideTimer() {
    if (TheHideTimer == this) TheHideTimer = nullptr;
    FireAfterAnimation();
}

namespace {

// The hidden form's provider hears that its hide ended.
void FireHiding(HWND EventWindow) {
    if (!EventWindow || !IsWindow(EventWindow)) return;
    auto *provider = reinterpret_cast<TvlFormProvider *>(SendSkinCommand(EventWindow, SC_QUERY_FORM_PROVIDER, 0));
    if (provider && provider->OnAfterAnimation) provider->OnAfterAnimation(aeHiding);
}

} // namespace

void TvlHideTimer::FireAfterAnimation() {
    if (FEventFired) return;
    FEventFired = true;
    FireHiding(FEventWindow);
}

void TvlHideTimer::Finish() {
    // The hide is put down before its event runs the application's code,
    // which may start the next hide on this same timer.
    SetInterval(65535);
    SetOnTimer({});
    FWindow.reset();
    FSnapshot.reset();
    FWork.reset();
    FireAfterAnimation();
}

void TvlHideTimer::Step(vcl::TObject *) {
    if (!FWindow) return;
    if (FFrames.Done()) {
        Finish();
        return;
    }
    const TvlAnimFrame f = FFrames.Next();
    const vcl::TWindowDC screen;
    PresentFrame(FWindow->WindowHandle(), screen.Get(), *FSnapshot, *FWork, f, true, &FDrawn);
}

TvlHideTimer *HideTimer() { return TheHideTimer; }

void RunHideAnimation(std::unique_ptr<vcl::TForm> Window, std::unique_ptr<vcl::TBitmap> Snapshot, int Time,
                      std::uint8_t Alpha, int Mode, HWND EventWindow) {
    // The hide before this one ends where it stands, its event fired; so
    // does one that the event started.
    while (TheHideTimer && TheHideTimer->FWindow) TheHideTimer->Finish();
    const int steps = Time / 10;
    // Nothing to play: no animation ran, so there is no end of one to tell.
    if (steps < 1 || !Window || !Snapshot || Snapshot->Empty()) return;
    if (!TheHideTimer) TheHideTimer = vcl::Create<TvlHideTimer>(vcl::Application);
    TvlHideTimer &t = *TheHideTimer;
    t.SetEnabled(false);
    t.FEventWindow = EventWindow;
    t.FEventFired = false;
    t.FSnapshot = std::move(Snapshot);
    t.FWindow = std::move(Window);
    t.FZoom = Mode == ZoomMode;
    t.SetInterval(10);
    const int w = t.FSnapshot->Width(), h = t.FSnapshot->Height();
    const HWND aw = t.FWindow->Handle();
    {
        const vcl::TWindowDC screen;
        AddExStyle(aw, WS_EX_LAYERED | WS_EX_NOACTIVATE);
        UpdateLayered(aw, screen.Get(), SIZE{w, h}, t.FSnapshot->Canvas()->Handle(), Alpha);
        ShowWindow(aw, SW_SHOWNOACTIVATE);
        RECT r{};
        GetWindowRect(aw, &r);
        SetWindowPos(aw, HWND_TOPMOST, r.left, r.top, w, h,
                     SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOCOPYBITS | SWP_NOOWNERZORDER);
        t.FWork = NewBitmap32(w, h);
        t.FDrawn = {};  // a new work image is black throughout
        SetStretchBltMode(t.FWork->Canvas()->Handle(), COLORONCOLOR);
    }
    t.FFrames = TvlFrameSequence::Hide(w, h, steps, Alpha, t.FZoom);
    if (vcl::Application && vcl::Application->Terminated()) {
        // No message loop is left to run the timer: the frames run here.
        TFramePacer pacer;
        while (t.FWindow && !t.FFrames.Done()) {
            pacer.Start();
            t.Step();
            pacer.Wait();
        }
        t.Step();  // the end: the window goes at once
        return;
    }
    t.SetOnTimer(vcl::TNotifyEvent::Bind<&TvlHideTimer::Step>(&t));
    t.Step();
    t.SetEnabled(true);
}

void AnimHideForm(TvlFormProvider &Provider) {
    GlowService().ClearGlows(true);
    vcl::TCustomForm *form = Provider.ProviderForm();
    TsCommonData *data = Provider.ProviderSkinData();
    if (!form || !form->HandleAllocated() || form->FormStyle() == vcl::fsMDIChild || !data || !data->CacheBmp())
        return;
    TsSkinManager *manager = data->GetSkinManager();
    if (!manager) return;
    const HWND wnd = form->WindowHandle();
    TAnimationFlag flag;
    const TvlFormHide &hide = *manager->AnimEffects()->FormHide;
    // The form's painting, the layered style's change (told to the form)
    // and the end of an earlier hide (its provider's event) run the
    // application's code, which may free this provider or its form: the
    // form then hides as the system hides it.
    const vcl::TGuarded<TvlFormProvider> provider(&Provider);
    const auto hiddenAsItIs = [wnd] {
        if (IsWindow(wnd)) SetLayeredAlpha(wnd, false, 255);
    };
    if (!(Provider.StateFlags & pfHiddenByAnimation)) {
        Provider.RenderFrame();
        if (!ProviderServes(provider, wnd)) return hiddenAsItIs();
    }
    vcl::TBitmap *cache = data->CacheBmp();
    std::unique_ptr<vcl::TBitmap> snapshot = cache && !cache->Empty() ? CopyOf(*cache) : nullptr;
    // The border form's window plays the hide, else the snapshot form.
    std::unique_ptr<vcl::TForm> w = Provider.TakeBorderWindow();
    const bool bordered = w != nullptr;
    if (bordered) {
        SetLayeredAlpha(wnd, true, 1);
        if (!ProviderServes(provider, wnd)) return hiddenAsItIs();
        // The frame image is the border's, shadow and all: the window that
        // hides it lies where the border does, and without the border's
        // hole, which would cut the form's client area out of the picture.
        const RECT r = ImagePlace(Provider, wnd);
        SetWindowRgn(w->WindowHandle(), nullptr, FALSE);
        SetWindowPos(w->WindowHandle(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    } else {
        w = Provider.TakeSnapshotForm();
        SetLayeredAlpha(wnd, true, 1);
        if (!ProviderServes(provider, wnd)) return hiddenAsItIs();
        if (snapshot) ClearFrameMasks(Provider, *snapshot);
    }
    RunHideAnimation(std::move(w), std::move(snapshot), hide.Time, 255, hide.Mode, wnd);
    hiddenAsItIs();
    // The border form gave up its window above; an ending application
    // shows the form no more, so the border form goes too.
    if (bordered && vcl::Application && vcl::Application->Terminated() && ProviderServes(provider, wnd))
        Provider.FreeBorderForm();
}

void AnimHideDialog(TvlAnimDialog &Dialog) {
    TAnimationFlag flag;
    GlowService().ClearGlows(false);
    TsSkinManager *manager = Dialog.DialogManager();
    vcl::TBitmap *cache = Dialog.FrameImage();
    if (!manager || !cache || cache->Empty()) return;
    std::unique_ptr<vcl::TForm> w = Dialog.TakeBorderWindow();
    // The whole frame image plays, its client part too: the border's hole goes.
    if (w) SetWindowRgn(w->WindowHandle(), nullptr, FALSE);
    else w = Dialog.TakeSnapshotForm();
    if (!w) return;
    const TvlFormHide &hide = *manager->AnimEffects()->DialogHide;
    RunHideAnimation(std::move(w), CopyOf(*cache), hide.Time, 255, hide.Mode, nullptr);
}

// ------------------------------------------------------------ skin change

TOutputWindow::TOutputWindow(vcl::TComponent *AOwner) : vcl::TForm(AOwner, vcl::CreateNew) {
    SetBorderStyle(vcl::bsNone);
    SetCaption("vlOutputWindow");
    SetColor(static_cast<vcl::TColor>(0xFF00FF));
    SetTag(AuxiliaryWindowTag);
}

TOutputWindow::~TOutputWindow() {
    if (TheOutputWindow == this) TheOutputWindow = nullptr;
}

void TOutputWindow::CreateParams(vcl::TCreateParams &Params) {
    inherited::CreateParams(Params);
    if (!Parent()) {
        Params.Style = WS_POPUP;
        Params.ExStyle = 0;
        auto *owner = dynamic_cast<vcl::TWinControl *>(Owner());
        if (owner && owner->HandleAllocated() && IsTopmost(owner->WindowHandle())) Params.ExStyle = WS_EX_TOPMOST;
        if (vcl::Application) Params.WndParent = vcl::Application->Handle();
    }
}

void TOutputWindow::WndProc(vcl::TMessage &Message) {
    switch (Message.Msg) {
    case WM_ERASEBKGND: Message.Result = 1; return;
    case WM_NCPAINT: Message.Result = 0; return;
    case WM_PAINT: {
        // What lay under the window stays; nothing is painted over it.
        ValidateRect(WindowHandle(), nullptr);
        Message.Result = 0;
        return;
    }
    default: inherited::WndProc(Message);
    }
}

TOutputWindow *OutputWindow() { return TheOutputWindow; }

const vcl::TBitmap *OutputWindowImage() { return OldImage().get(); }

void ShowOutputWindowOver(vcl::TCustomForm *Form) {
    if (!Form || !Form->HandleAllocated()) return;
    const HWND wnd = Form->WindowHandle();
    if (!IsWindowVisible(wnd) || IsIconic(GetAncestor(wnd, GA_ROOT))) return;
    RECT r{};
    GetWindowRect(wnd, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    // Each form's own image at its own size: the mix needs equal sizes.
    std::unique_ptr<vcl::TBitmap> &old = OldImage();
    if (!old || old->Width() != w || old->Height() != h) old = NewBitmap32(w, h);
    {
        const vcl::TWindowDC screen;
        BitBlt(old->Canvas()->Handle(), 0, 0, w, h, screen.Get(), r.left, r.top, SRCCOPY);
    }
    if (!TheOutputWindow) TheOutputWindow = vcl::Create<TOutputWindow>(vcl::Application);
    if (vcl::TWinControl *parent = Form->Parent()) {
        // A form inside a control is covered there, right above it.
        TheOutputWindow->SetParent(parent);
        TheOutputWindow->SetBounds(Form->Left(), Form->Top(), Form->Width(), Form->Height());
        const HWND ow = TheOutputWindow->Handle();
        if (const HWND above = GetWindow(wnd, GW_HWNDPREV); above != ow)
            SetWindowPos(ow, above ? above : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ShowWindow(ow, SW_SHOWNA);
        return;
    }
    // One that last covered a form inside a control comes back to the
    // screen, where R lies.
    TheOutputWindow->SetParent(nullptr);
    TheOutputWindow->SetBounds(r.left, r.top, w, h);
    SetWindowPos(TheOutputWindow->Handle(), GetWindow(wnd, GW_HWNDPREV), 0, 0, 0, 0,
                 SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
}

namespace {

// The layered path: the new image fades in over the form's old screen image.
// The form's painting and the messages the fade sends the form run the
// application's code, which may free the provider or the form: the fade
// ends there, and the form draws itself as it is.
void FadeInLayered(TvlFormProvider &Provider, vcl::TCustomForm &Form, int Time, std::uint8_t Alpha, bool Aero,
                   TAnimationFlag &Flag) {
    const HWND wnd = Form.WindowHandle();
    // The render, the form's picture and its repaint run the application's
    // painting: a provider freed there is touched no more, and a form that
    // stays is drawn again.
    const vcl::TGuarded<TvlFormProvider> provider(&Provider);
    const auto gone = [&] {
        if (ProviderServes(provider, wnd)) return false;
        Flag.Lower();
        if (IsWindow(wnd)) {
            SendMessageW(wnd, WM_SETREDRAW, TRUE, 0);
            RedrawWindow(wnd, nullptr, nullptr, Redraw);
        }
        return true;
    };
    TsCommonData *data = Provider.ProviderSkinData();
    Provider.RenderFrame();
    if (gone()) return;
    vcl::TBitmap *cache = data ? data->CacheBmp() : nullptr;
    if (!cache || cache->Empty()) return;
    auto image = FormSnapshot(Provider, Form, *cache);
    if (gone()) return;
    const int steps = Time / 10;
    const bool bordered = HasBorderForm(Provider);
    const RECT r = ImagePlace(Provider, wnd);
    const int sw = image->Width(), sh = image->Height();
    // With a border form the old look leaves through the border's window,
    // gone after the first third of the fade.
    const HWND fadeOut = bordered ? Provider.BorderWindow() : nullptr;
    std::unique_ptr<vcl::TBitmap> old;
    if (fadeOut) {
        old = std::move(Provider.SavedFormImage);
        if (!old) {
            RECT b{};
            GetWindowRect(fadeOut, &b);
            old = NewBitmap32(b.right - b.left, b.bottom - b.top);
        }
        ShowLayeredBitmap(fadeOut, old.get(), Alpha);
    }
    const auto showOld = [&](std::uint8_t FrameAlpha) {
        if (fadeOut) ShowLayeredBitmap(fadeOut, old.get(), OldImageAlpha(Alpha, FrameAlpha));
    };

    // With a border form too the new image fades in through a window of
    // its own, and the border form's window, which the border form and its
    // owner address by handle, stays and is repainted at the end: the
    // screen shows what a fresh border window would, without replacing it.
    std::unique_ptr<vcl::TForm> temp(vcl::Create<vcl::TForm>(nullptr, vcl::CreateNew));
    temp->SetBorderStyle(vcl::bsNone);
    temp->SetTag(AuxiliaryWindowTag);
    temp->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
    const HWND tw = temp->Handle();
    const HWND anchor = IsTopmost(wnd) ? HWND_TOPMOST : GetWindow(wnd, GW_HWNDPREV);
    SetWindowPos(tw, anchor, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    AddExStyle(tw, WS_EX_LAYERED | WS_EX_NOACTIVATE);
    {
        const vcl::TWindowDC screen;
        UpdateLayered(tw, screen.Get(), SIZE{sw, sh}, image->Canvas()->Handle(), steps < 1 ? Alpha : 0);
        if (!bordered) {
            Provider.CollectFrameMasks();
            vcl::SetWindowRegion(tw, vcl::TRegionHandle(Provider.BuildFrameRegion(0, 0)), false);
        }
        ShowWindow(tw, SW_SHOWNOACTIVATE);
        if (steps > 0) {
            auto frame = NewBitmap32(sw, sh);
            SetStretchBltMode(frame->Canvas()->Handle(), COLORONCOLOR);
            RunFrames(TvlFrameSequence::Show(sw, sh, steps, Alpha, Aero), tw, screen.Get(), *image, *frame, false,
                      showOld);
        }
        showOld(Alpha);
    }
    Flag.Lower();
    ApplyFormAlpha(Form);
    if (!ProviderServes(provider, wnd)) return;
    SendMessageW(wnd, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(wnd, nullptr, nullptr, Redraw);
    if (bordered && ProviderServes(provider, wnd)) Provider.UpdateBorder(true, 255);
}

// Without layered windows: the output window, covering the form with its
// old image, shows the old image mixing into the new one.
void FadeInOutputWindow(TvlFormProvider &Provider, vcl::TCustomForm &Form, int Time, TAnimationFlag &Flag) {
    const HWND wnd = Form.WindowHandle();
    // The picture runs the children's painting (the application's code),
    // which may free the provider or the form.
    const vcl::TGuarded<TvlFormProvider> provider(&Provider);
    // Over every form that fades, not only when the output window is new:
    // the window is kept hidden between fades, so a form faded after the
    // first would otherwise mix a stale image of another form in a window
    // that no one sees, and jump to its new look.
    ShowOutputWindowOver(&Form);
    if (!TheOutputWindow || !OldImage()) return;
    vcl::TBitmap &old = *OldImage();
    const int w = old.Width(), h = old.Height();
    auto image = NewBitmap32(w, h);
    {
        vcl::TCanvas *canvas = image->Canvas();
        canvas->Lock();
        {
            const vcl::TSavedDC saved(canvas->Handle());
            PaintControlToBitmap(*image, &Form, 0, 0, nullptr);
        }
        canvas->Unlock();
    }
    if (!ProviderServes(provider, wnd)) {
        // What the output window covers is the form's own again.
        if (TheOutputWindow && TheOutputWindow->HandleAllocated())
            ShowWindow(TheOutputWindow->WindowHandle(), SW_HIDE);
        return;
    }
    auto frame = NewBitmap32(w, h);
    const HWND ow = TheOutputWindow->Handle();
    if (Provider.DrawsNonClientArea()) {
        Provider.CollectFrameMasks();
        vcl::SetWindowRegion(ow, vcl::TRegionHandle(Provider.BuildFrameRegion(0, 0)), false);
    }
    {
        const vcl::TWindowDC dc(ow, GetWindowDC(ow));
        const std::vector<int> weights = MixWeights(Time / 10);
        TFramePacer pacer;
        for (std::size_t i = 0; i < weights.size(); ++i) {
            pacer.Start();
            MixBitmaps32(frame->View(), old.View(), image->View(), nullptr, weights[i]);
            BitBlt(dc.Get(), 0, 0, w, h, frame->Canvas()->Handle(), 0, 0, SRCCOPY);
            if (i + 1 < weights.size()) pacer.Wait();
        }
        BitBlt(dc.Get(), 0, 0, w, h, image->Canvas()->Handle(), 0, 0, SRCCOPY);
    }
    Flag.Lower();
    if (IsWindowVisible(ow)) {
        SendMessageW(wnd, WM_SETREDRAW, TRUE, 0);
        // Without layered windows the output window is simply taken away.
        if (LayeredWindowsAvailable()) ShowLayeredBitmap(ow, image.get(), 255);
        if (Version() >= 6) RedrawWindow(wnd, nullptr, nullptr, Redraw);
        if (!(GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_LAYERED))
            SetWindowPos(ow, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOZORDER |
                                                     SWP_NOMOVE | SWP_NOSIZE);
    }
}

} // namespace

void AnimateSkinChangeOfForm(TvlFormProvider &Provider, int Time, std::uint8_t Alpha, bool Aero) {
    vcl::TCustomForm *form = Provider.ProviderForm();
    if (!form || !form->HandleAllocated()) return;
    const HWND wnd = form->WindowHandle();
    if (!IsWindowVisible(wnd) || IsIconic(GetAncestor(wnd, GA_ROOT))) return;
    TAnimationFlag flag;
    if (LayeredWindowsAvailable())
        FadeInLayered(Provider, *form, Time, Alpha, Aero, flag);
    else
        FadeInOutputWindow(Provider, *form, Time, flag);
}

// ------------------------------------------------------------------ module

void InitializeFormAnimationsModule() { RegisterService(LayeredAnimations()); }

void FinalizeFormAnimationsModule() {
    UnregisterService(LayeredAnimations());
    delete TheHideTimer;
    delete TheOutputWindow;
    OldImage().reset();
}

} // namespace skin
