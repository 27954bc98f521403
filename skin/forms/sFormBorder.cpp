#include "sFormBorder.h"

#include <algorithm>

#include "sFrameMetrics.h"
#include "sSkinProvider.h"
#include "vlTitleBar.h"
#include "skin/graphics/sMaskData.h"
#include "skin/graphics/vlCommonUtils.h"
#include "skin/graphics/vlGlyphStrips.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/graphics/vlPixelHelpers.h"
#include "skin/graphics/vlSkinPieces.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sSkinData.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/Bitmap.h"
#include "vcl/Forms.h"
#include "vlBorderImage.h"

namespace skin {

namespace {

HWND WindowOf(const vcl::TCustomForm *Form) { return Form && Form->HandleAllocated() ? Form->WindowHandle() : nullptr; }

// Where target coordinate T of a span Size wide, cut at Near and Far,
// reads the source Source wide, cut at SNear and SFar: the ends scaled
// into the margins, the middle stretched.
int SliceSource(int T, int Size, int Near, int Far, int Source, int SNear, int SFar) {
    if (T < Near) return Near > 0 ? T * SNear / Near : 0;
    if (T >= Size - Far) return Source - SFar + (Far > 0 ? (T - (Size - Far)) * SFar / Far : 0);
    const int middle = Size - Near - Far, sourceMiddle = Source - SNear - SFar;
    if (middle <= 0 || sourceMiddle <= 0) return std::min(SNear, Source - 1);
    return SNear + (T - Near) * sourceMiddle / middle;
}

// The frame's transparent corners: the shadow shows there.
constexpr std::uint32_t FrameKey = 0xFF00FF;

std::uint32_t Premultiplied(std::uint32_t P) {
    const std::uint32_t a = P >> 24;
    const auto channel = [&](int Shift) { return (((P >> Shift) & 0xFF) * a / 255) << Shift; };
    return (a << 24) | channel(16) | channel(8) | channel(0);
}

} // namespace

void PaintFrameShadow(const vcl::TBitmapView &Image, const vcl::TRect &Frame, const vcl::TBitmapView &Shadow,
                      const vcl::TRect &Slices, const std::vector<vcl::TRect> &Corners) {
    const auto inCorner = [&](int X, int Y) {
        for (const vcl::TRect &r : Corners)
            if (X >= r.Left && X < r.Right && Y >= r.Top && Y < r.Bottom) return true;
        return false;
    };
    if (!Image.HasRows() || !Shadow.HasRows() || Shadow.Width < 1) return;
    const int w = Image.Width, h = Image.Height;
    const int ml = Frame.Left, mt = Frame.Top, mr = w - Frame.Right, mb = h - Frame.Bottom;
    for (int y = 0; y < h; ++y) {
        const bool rowInFrame = y >= Frame.Top && y < Frame.Bottom;
        const int sy = std::clamp(SliceSource(y, h, mt, mb, Shadow.Height, Slices.Top, Slices.Bottom), 0,
                                  Shadow.Height - 1);
        for (int x = 0; x < w; ++x) {
            std::uint32_t &pixel = Image.At(x, y);
            if (rowInFrame && x >= Frame.Left && x < Frame.Right && (pixel & 0xFFFFFF) != FrameKey &&
                !inCorner(x, y)) {
                // The frame is opaque: what the system drew there left its alpha at 0.
                pixel |= 0xFF000000u;
                continue;
            }
            const int sx = std::clamp(SliceSource(x, w, ml, mr, Shadow.Width, Slices.Left, Slices.Right), 0,
                                      Shadow.Width - 1);
            pixel = Premultiplied(Shadow.At(sx, sy));
        }
    }
}

TsFormBorder::TsFormBorder(TsSkinProvider &Provider) : FProvider(Provider) {
    FBorder = std::make_unique<TvlBorderForm>(*this);
}

TsFormBorder::~TsFormBorder() = default;

HWND TsFormBorder::BorderOwnerWindow() const { return WindowOf(FProvider.Form); }

vcl::TCustomForm *TsFormBorder::BorderOwnerForm() const { return FProvider.Form; }

TsSkinManager *TsFormBorder::BorderSkinManager() const { return FProvider.SkinData()->GetSkinManager(); }

vcl::TRect TsFormBorder::BorderShadowMargins() const { return FProvider.GetShadowMargins(); }

vcl::TPoint TsFormBorder::BorderOffset() const { return FProvider.WindowToFrameOffset(); }

int TsFormBorder::BorderCaptionHeight() const { return FProvider.GetCaptionHeight(true); }

int TsFormBorder::BorderNativeCaptionHeight() const { return FProvider.GetCaptionHeight(false); }

// The image holds the whole frame: the caption band starts at its top.
int TsFormBorder::BorderNativeBorderWidth() const { return GetNativeBorderWidth(BorderOwnerWindow(), FBorder.get()); }

int TsFormBorder::BorderOwnerWidth() const { return GetBorderWidth(BorderOwnerWindow(), FBorder.get(), false); }

int TsFormBorder::BorderSideExcess() const { return GetSkinSideExcess(FBorder.get()); }

vcl::TRect TsFormBorder::BorderIconRect() const { return FProvider.IconRect; }

std::uint32_t TsFormBorder::BorderStateFlags() const { return FProvider.StateFlags; }

vcl::TBitmap *TsFormBorder::BorderFrameImage() {
    TsCommonData &data = *FProvider.SkinData();
    if ((data.BGChanged || FProvider.CacheStale()) && !FProvider.RenderFrame()) return nullptr;
    return data.CacheBmp();
}

int TsFormBorder::BorderButtonCode(vcl::TPoint P) {
    const int code = FProvider.ButtonHitCode(P);
    return code == HTCLIENT ? 0 : code;
}

void TsFormBorder::SetBorderHotButton(int Code, bool Repaint) { FProvider.SetHotButton(Code, Repaint); }

vcl::TRect TsFormBorder::BorderClientRect() const {
    const HWND window = BorderOwnerWindow();
    const int x = FProvider.GetClientOffsetX(), y = FProvider.GetClientOffsetY();
    return {x, y, x + ClientWidth(window), y + ClientHeight(window)};
}

vcl::TRect TsFormBorder::BorderHoleRect() const {
    vcl::TRect hole = BorderClientRect();
    // The form's own scroll bars lie beside its client area, in its window:
    // they show through too.
    if (const TvlScrollAdapter *bars = FProvider.FormScrollAdapter.get()) {
        if (const TvlScrollBarState v = bars->VertScrollBar(); v.Visible) hole.Right += v.Width;
        if (const TvlScrollBarState h = bars->HorzScrollBar(); h.Visible) hole.Bottom += h.Width;
    }
    // While a new size is being taken, the part of the window that is not
    // painted yet stays under the frame image: the client size stored before.
    if ((FProvider.StateFlags & pfBorderRegionSetting) && !FProvider.ComponentState().Contains(vcl::csDesigning)) {
        hole.Right = std::min(hole.Right, hole.Left + FProvider.LastClientRect.Width());
        hole.Bottom = std::min(hole.Bottom, hole.Top + FProvider.LastClientRect.Height());
    }
    // The window's own menu line shows through, live while the system tracks
    // it; not while the system paints its own frame on activation.
    const int rows = FProvider.GetMenuLineHeight() != 0 ? FProvider.GetMenuLineCount() : 0;
    if (rows > 0 && !(FProvider.StateFlags & pfInNCActivate)) hole.Top -= rows * FProvider.GetMenuLineHeight();
    return hole;
}

bool TsFormBorder::BorderOverGrip(vcl::TPoint P) const { return FProvider.OverSizeGrip(P); }

void TsFormBorder::BorderExtHitTest(vcl::TMessage &Message) {
    if (FProvider.OnExtHitTest) FProvider.OnExtHitTest(Message);
}

bool TsFormBorder::BorderBlendedMove() { return StartBlendedMove(CaptionPressBlends); }

bool TsFormBorder::BorderBlendedMoveFromMaximized() { return StartBlendedMove(MaximizedDragBlends); }

bool TsFormBorder::StartBlendedMove(bool (*Blends)(const TvlDragBlend &)) {
    const TsSkinManager *m = FProvider.SkinData()->GetSkinManager();
    const HWND window = BorderOwnerWindow();
    if (!m || !window || IsIconic(window) || !LayeredWindowsAvailable()) return false;
    const TvlBlendOnMoving &blend = *m->AnimEffects()->BlendOnMoving;
    if (!Blends({blend.Active, blend.BlendValue, FProvider.AllowBlendOnMoving(), DwmCompositionActive()})) return false;
    // The drag runs inside; the form and this object may be gone after it.
    FProvider.StartBlendOnMoving(true);
    return true;
}

bool TsFormBorder::BorderPaintClientInto(vcl::TBitmap &Image) {
    const HWND window = BorderOwnerWindow();
    RECT r{};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    const bool onScreen = window && GetWindowRect(window, &r) &&
                          GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor) &&
                          r.right <= monitor.rcWork.right && r.bottom <= monitor.rcWork.bottom;
    // What the screen shows of a form in its show animation or beyond the
    // work area is not the form: it paints itself off screen.
    if (onScreen && !FProvider.InShowAnimation) return false;
    const std::unique_ptr<vcl::TBitmap> image = FProvider.GetFormImage();
    if (image && image->Width() == Image.Width() && image->Height() == Image.Height())
        CopyPixels(Image.View(), 0, 0, image->View(), 0, 0, Image.Width(), Image.Height());
    return true;
}

void TsFormBorder::BorderEndOutlineDrag() {
    if (FProvider.ResizeMode() != rmBorder || !FProvider.OutlineDrag.Active) return;
    POINT c{};
    GetCursorPos(&c);
    FProvider.MoveOutlineDrag({c.x, c.y});
    if (!FProvider.EndOutlineDrag()) return;  // this went with its provider
    if (const HWND window = BorderOwnerWindow(); window && GetCapture() == window) ReleaseCapture();
}

void TsFormBorder::BorderCaptionDoubleClick(LPARAM At) {
    // The form's own caption double click: the system command its system
    // menu allows, and the menu's items after it.
    if (const HWND window = BorderOwnerWindow()) SendMessageW(window, WM_NCLBUTTONDBLCLK, HTCAPTION, At);
}

void TsFormBorder::BorderItemDoubleClick(int Code, LPARAM At) {
    TvlTitleBarItem *item = FProvider.ItemByCode(Code);
    const HWND window = BorderOwnerWindow();
    if (!item || !window) return;
    // Its fade goes; hot, then pressed as a press on it would.
    item->FreeAnimation();
    if (FProvider.SetHotButton(Code, false)) SendMessageW(window, WM_NCLBUTTONDOWN, static_cast<WPARAM>(Code), At);
}

// ------------------------------------------------- the provider's side

vcl::TRect ExtBorderSlices(const TsSkinManager &M, const vcl::TBitmap &Image) {
    if (M.IsValidMaskIndex(M.CommonElements.ExBorder)) {
        const int mask = M.CommonElements.ExBorder;
        return {M.MaskLeftMargin(mask), M.MaskTopMargin(mask), M.MaskRightMargin(mask), M.MaskBottomMargin(mask)};
    }
    const int w = (Image.Width() - 1) / 2, h = (Image.Height() - 1) / 2;
    return {w, h, w, h};
}

void TsSkinProvider::PaintBorderShadow(vcl::TBitmap &Image, const vcl::TRect &Frame) {
    TsSkinManager *m = FSkinData->GetSkinManager();
    vcl::TBitmap *shadow = m ? m->ExtBorderImages[FormActive ? 1 : 0].get() : nullptr;
    if (!shadow || shadow->Empty()) {
        SetRectAlpha(Image, Frame, 255);
        return;
    }
    shadow->SetPixelFormat(vcl::pf32bit);
    PaintFrameShadow(Image.View(), Frame, shadow->View(), ExtBorderSlices(*m, *shadow), FrameCorners(Frame));
}

bool TsSkinProvider::BorderMaskMode() const {
    const TsSkinManager *m = FSkinData->GetSkinManager();
    return BorderForm && m && m->SkinData && m->SkinData->BorderMode == 1;
}

void TsSkinProvider::PaintBorderMaskOver(vcl::TBitmap &Image, const vcl::TRect &Frame,
                                         std::vector<std::uint32_t> &Snapshot) {
    TsSkinManager *m = FSkinData->GetSkinManager();
    vcl::TBitmap *mask = m ? m->ExtBorderImages[FormActive ? 1 : 0].get() : nullptr;
    vcl::TRect slices;
    if (mask && !mask->Empty()) {
        mask->SetPixelFormat(vcl::pf32bit);
        slices = ExtBorderSlices(*m, *mask);
    }
    PaintBorderMask(Image.View(), Frame, mask && !mask->Empty() ? mask->View() : vcl::TBitmapView{}, slices);
    Snapshot = PixelsOf(Image.View());
}

std::vector<vcl::TRect> TsSkinProvider::FrameCorners(const vcl::TRect &Frame) const {
    // The transparent corners of the skin's masks, as the window's region
    // cuts them without a border form: the top ones of the caption's own
    // mask and the form's border mask, the bottom ones of the border mask.
    std::vector<vcl::TRect> corners;
    const TsSkinManager *m = FSkinData->GetSkinManager();
    if (!m) return corners;
    const int w = Frame.Width(), h = Frame.Height();
    if (m->IsValidMaskIndex(FSkinData->BorderIndex())) {
        const TsMaskData &mask = m->Masks[static_cast<std::size_t>(FSkinData->BorderIndex())];
        GetMaskCornerRects(corners, w, mask, 0, false);
        GetMaskCornerRects(corners, w, mask, h - mask.WB, true);
    }
    const int title = m->FindSectionIndex(TitleSkin().empty() ? std::string("FORMTITLE") : TitleSkin());
    const int titleMask = title >= 0 ? m->GetMaskIndex(title, "BORDERSMASK") : -1;
    if (m->IsValidMaskIndex(titleMask))
        GetMaskCornerRects(corners, w, m->Masks[static_cast<std::size_t>(titleMask)], 0, false);
    for (vcl::TRect &r : corners)
        r = {r.Left + Frame.Left, r.Top + Frame.Top, r.Right + Frame.Left, r.Bottom + Frame.Top};
    return corners;
}

HWND TsSkinProvider::BorderWindow() const { return BorderForm ? BorderForm->Border().Window() : nullptr; }

HRGN TsSkinProvider::BorderRegion() { return BorderForm ? BorderForm->Border().CreateRegion() : nullptr; }

void TsSkinProvider::UpdateBorder(bool Rerender, std::uint8_t Alpha) {
    if (!BorderForm) return;
    // A frame that must be rendered again is shown again.
    const bool stale = FSkinData->BGChanged || CacheStale() || BorderImageNew;
    // Its render runs the form's own painting, which may free this provider.
    const vcl::TGuarded alive(this);
    BorderForm->Border().UpdateBorder(Rerender || stale, Alpha);
    if (!alive) return;
    if (BorderForm && BorderForm->Border().Window() && !BorderForm->Border().Updating) BorderImageNew = false;
}

void TsSkinProvider::FreeBorderWindow() {
    // The object stays (extended borders still apply); its window is made
    // again by the next update.
    if (BorderForm) BorderForm->Border().FreeWindow();
}

HWND TsSkinProvider::MakeBorderWindow() { return BorderForm ? BorderForm->Border().MakeWindow() : nullptr; }

void TsSkinProvider::LockBorder(bool On) {
    if (BorderForm) BorderForm->Border().Updating = On;
}

std::unique_ptr<vcl::TForm> TsSkinProvider::TakeBorderWindow() {
    if (!BorderForm) return nullptr;
    BorderForm->Border().MakeWindow();
    return BorderForm->Border().TakeWindow();
}

void TsSkinProvider::FreeBorderForm() {
    if (!BorderForm) return;
    BorderForm.reset();
    // The frame goes back into the window: its image loses the margins.
    FSkinData->BGChanged = true;
    RegionChanged = true;
}

bool TsSkinProvider::ResolveBorderCode(vcl::TMessage &Message) {
    if (!BorderForm || static_cast<int>(static_cast<INT_PTR>(Message.WParam)) != htAskBorderForm) return true;
    // The border form's hit test runs the application's OnExtHitTest.
    const vcl::TGuarded self(this);
    const HWND window = Form && Form->HandleAllocated() ? Form->WindowHandle() : nullptr;
    const int code = BorderForm->Border().HitTest(Message);
    if (!ProviderServes(self, window)) return false;
    Message.WParam = static_cast<WPARAM>(static_cast<INT_PTR>(code));
    return true;
}

bool TsSkinProvider::NativeBordersMaximized() const {
    const TsSkinManager *m = FSkinData ? FSkinData->GetSkinManager() : nullptr;
    return m && m->Options()->GetFlag(ofNativeBordersMaximized);
}

bool TsSkinProvider::NativeFrameMaximized() const {
    const HWND window = WindowOf(Form);
    return window && IsZoomed(window) && NativeBordersMaximized();
}

bool TsSkinProvider::UpdateExtBorders(bool Allow) {
    const HWND window = WindowOf(Form);
    const TsSkinManager *m = FSkinData->GetSkinManager();
    const bool wanted = Allow && Form && GetCaptionHeight(false) != 0 && FDrawNonClientArea && !Form->Parent() &&
                        Form->FormStyle() != vcl::fsMDIChild && FAllowExtBorders && !NativeFrameMaximized() &&
                        m && m->GetExtendedBorders();
    if (!wanted) {
        if (!BorderForm) return true;
        FreeBorderForm();
        // A form that stays skinned takes its frame's own region again; an
        // unskinned one has none (the skin's removal took it).
        if (window && IsSkinned && !ComponentState().Contains(vcl::csDestroying) &&
            !Form->ComponentState().Contains(vcl::csDestroying)) {
            CollectFrameMasks();
            return UpdateFormRegion(true, true);
        }
        return true;
    }
    // The border shows the frame rendered anew, also when it was there.
    FSkinData->BGChanged = true;
    if (!BorderForm) {
        BorderForm = std::make_unique<TsFormBorder>(*this);
        RegionChanged = true;
        if (window && IsWindowVisible(window) && !UpdateFormRegion(true, true)) return false;
    }
    // Its picture runs the children's painting.
    const vcl::TGuarded self(this);
    UpdateBorder(false, 255);
    return window ? ProviderServes(self, window) : static_cast<bool>(self);
}

} // namespace skin
