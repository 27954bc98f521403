#include "vlStateAnimation.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "sCommonData.h"
#include "sMessages.h"
#include "sModuleState.h"
#include "sSkinManager.h"
#include "sSkinServices.h"
#include "vlSnapshots.h"
#include "skin/graphics/vlAlphaBlending.h"
#include "skin/graphics/vlGraphUtils.h"
#include "vcl/Bitmap.h"
#include "vcl/Controls.h"
#include "vcl/GdiObjects.h"
#include "vcl/StdCtrls.h"

namespace skin {

namespace {

bool Has(const vcl::TComponent *C, vcl::TComponentStateItem Item) { return C && C->ComponentState().Contains(Item); }

// The fade's value as a byte: rounded to the nearest, ties to even, and held
// within 0..255. A value that ran off (past any integer, or no number at
// all) is held as well: an error raised inside a 10 ms tick would show one
// error box per tick.
std::uint8_t FadeByte(double Value) {
    if (!(Value > 0)) return 0;
    if (Value >= 255) return 255;
    return static_cast<std::uint8_t>(std::nearbyint(Value));
}

// Holds the record's cache canvas locked while it lives; a record freed
// meanwhile took the canvas along.
class TCanvasLock {
public:
    TCanvasLock(vcl::TCanvas &Canvas, const vcl::TGuarded<TsCommonData> &Data) : FCanvas(Canvas), FData(Data) {
        FCanvas.Lock();
    }
    ~TCanvasLock() {
        if (FData) FCanvas.Unlock();
    }
    TCanvasLock(const TCanvasLock &) = delete;
    TCanvasLock &operator=(const TCanvasLock &) = delete;

private:
    vcl::TCanvas &FCanvas;
    const vcl::TGuarded<TsCommonData> &FData;
};

vcl::TRect WholeImage(const vcl::TBitmap &Bitmap) { return {0, 0, Bitmap.Width(), Bitmap.Height()}; }

// The cache painted for the control's new state: a control is asked
// directly (a button's graphic children are drawn on its face), a bare
// window by message. What either runs may free the record (with its adapter
// or control): false then.
bool RebuildCache(TsCommonData &Data, TvlThreadedTimer &Timer) {
    const vcl::TGuarded data(&Data);
    vcl::TControl *control = Data.OwnerControl();
    if (!control) {
        if (HWND window = Data.GetWindowHandle()) SendSkinCommand(window, SC_BUILD_CACHE, 0);
        return static_cast<bool>(data);
    }
    // A control that answers has built its picture itself: the old fade
    // stops here and is armed again from the new pictures.
    const bool built = PerformSkinCommand(control, SC_BUILD_CACHE, 0) != 0;
    if (!data) return false;
    if (built) Timer.SetEnabled(false);
    auto *button = dynamic_cast<vcl::TButtonControl *>(control);
    vcl::TBitmap *cache = Data.CacheBmp();
    if (!button || button->ControlCount() == 0 || !cache) return true;
    const TCanvasLock lock(*cache->Canvas(), data);
    PaintChildControls(cache->Canvas()->Handle(), button, false, {0, 0});
    return static_cast<bool>(data);
}

// The window a state fade is shown on, and its size; null when none.
HWND FadeWindow(const TsCommonData &Data, vcl::TSize &Size) {
    if (auto *windowed = dynamic_cast<vcl::TWinControl *>(Data.OwnerControl())) {
        if (!windowed->HandleAllocated()) return nullptr;
        Size = {windowed->Width(), windowed->Height()};
        return windowed->WindowHandle();
    }
    if (!Data.WndHandle) return nullptr;
    RECT r{};
    GetWindowRect(Data.WndHandle, &r);
    Size = {r.right - r.left, r.bottom - r.top};
    return Data.WndHandle;
}

void ShowOnWindow(HWND Window, vcl::TBitmap &Image) {
    vcl::TWindowDC dc(Window);
    if (!dc) return;
    // A mirrored window would show the frame flipped.
    if (GetLayoutIfAvailable(dc.Get()) & LAYOUT_RTL) SetLayoutIfAvailable(dc.Get(), 0);
    BitBlt(dc.Get(), 0, 0, Image.Width(), Image.Height(), Image.Canvas()->Handle(), 0, 0, SRCCOPY);
}

constexpr std::array<std::string_view, 7> PopupClasses{
    "TApplication",       "TcxComboBoxPopupWindow", "TcxCustomPopupWindow", "TcxDateEditPopupWindow",
    "TcxGridFilterPopup", "TdxPopupEditForm",       "TfcPopup",
};
static_assert(std::is_sorted(PopupClasses.begin(), PopupClasses.end()));

} // namespace

void AnimateStateChange(TsCommonData &Data, std::int32_t Mode, TvlStepCallback Callback, bool Allow, bool Fast,
                        bool WithGlow) {
    if (!Data.IsSkinned(false)) return;
    const TvlModuleState &state = ModuleState();
    const TsSkinManager *m = Data.GetSkinManager();
    const vcl::TBitmap *cache = Data.CacheBmp();
    const bool fade = !state.SkinIsLoading && Allow && !state.SessionEnding && cache && !cache->Empty() &&
                      !Data.BGChanged && m && m->Effects()->AllowAnimation;
    if (fade) {
        // The glow comes in with the fade, from nothing.
        if (WithGlow && Mode < 100 && Data.GlowID < 0) Data.ShowGlowAt(0);
        Data.BGChanged = true;
        StartStateAnimation(Data, Mode, Callback, Fast);
        return;
    }
    Data.RepaintControl(true);
    if (WithGlow && Data.MouseInside && Mode < 100) Data.ShowGlowAt(255);
    if (!Data.MouseInside) Data.HideGlowNow();
}

std::int32_t StartStateAnimation(TsCommonData &Data, std::int32_t Mode, TvlStepCallback Callback, bool Fast) {
    // A timer made here starts where the fade does: at 255 for a fade down,
    // at 0 otherwise.
    const std::int32_t stepsLeft = GetAnimTimer(Data, nullptr, Mode != fmFadeDown);
    TvlThreadedTimer *timer = AnimTimerOf(Data);
    vcl::TBitmap *cache = Data.CacheBmp();
    if (!timer || !cache) return fmIdle;
    // A fade that ended keeps its mode: only one that still runs makes a
    // change in its own mode wait, else a control whose last change was
    // shown unfaded could never fade that way again.
    if (timer->Enabled() && timer->Mode != fmIdle && timer->Mode == Mode) return Mode;
    if (timer->WorkImage &&
        (timer->WorkImage->Width() != cache->Width() || timer->WorkImage->Height() != cache->Height()))
        timer->WorkImage.reset();
    ResizeAnimBitmap(timer->StartImage, *cache, WholeImage(*cache));
    if (Data.BGChanged && !RebuildCache(Data, *timer)) return fmIdle;
    cache = Data.CacheBmp();
    if (!cache) return fmIdle;
    ResizeAnimBitmap(timer->TargetImage, *cache, WholeImage(*cache));
    StartAnimation(*timer, &Data, stepsLeft, Callback, Mode, Fast);
    timer->DoStep();
    return timer->Mode;
}

bool StateAnimationStep(TsCommonData *Data, std::int32_t Step) {
    TvlThreadedTimer *timer = Data ? AnimTimerOf(*Data) : nullptr;
    if (!timer || timer->Destroying()) return false;
    vcl::TSize size;
    HWND window = FadeWindow(*Data, size);
    // A fade whose pictures are gone (stopped meanwhile) has nothing to show.
    if (!window || timer->StepCount < 1 || !timer->StartImage || !timer->TargetImage) return false;

    if (const vcl::TBitmap *cache = Data->CacheBmp()) size = {cache->Width(), cache->Height()};
    if (timer->WorkImage)
        timer->WorkImage->SetSize(size.cx, size.cy);
    else
        timer->WorkImage = NewBitmap32(size.cx, size.cy);
    vcl::TBitmap &work = *timer->WorkImage;
    BitBlt(work.Canvas()->Handle(), 0, 0, size.cx, size.cy, timer->StartImage->Canvas()->Handle(), 0, 0, SRCCOPY);

    const std::int32_t mode = timer->Mode;
    switch (mode) {
    case fmFadeUp: timer->Value += timer->Increment; break;
    case fmFadeDown:
    case fmSnapshotFadeDown: timer->Value -= timer->Increment; break;
    default: timer->Value = 255 - static_cast<double>(Step) / timer->StepCount * 255; break;
    }
    const std::uint8_t v = FadeByte(timer->Value);

    // The target's share grows with v fading up and shrinks with it fading
    // down: d = (t * (d - s) + s * 256) >> 8, t = 255 - v or v.
    vcl::TBitmap &target = *timer->TargetImage;
    const std::uint8_t weight = mode == fmFadeUp ? static_cast<std::uint8_t>(255 - v) : v;
    BlendRect32ByAlpha(work, target, weight, {0, 0, target.Width() - 1, target.Height() - 1}, {0, 0});
    ShowOnWindow(window, work);

    if (Step < timer->StepCount) {
        if (Data->GlowID >= 0) GlowService().SetGlowAlpha(Data->GlowID, v);
        if (mode == fmFadeDown && v < 10) {
            timer->Value = 0;
            Data->HideGlowNow();
        }
        return true;
    }
    // A fade down always ends at 0: the last step is taken again until then.
    if (mode == fmFadeDown && v > 0 && timer->Increment > 0) {
        if (Data->GlowID >= 0) GlowService().SetGlowAlpha(Data->GlowID, v);
        --timer->Step;
        return StateAnimationStep(Data, timer->Step);
    }
    if (mode == fmFadeDown) Data->StopAnimation();
    if (mode != fmFadeUp) Data->HideGlowNow();
    return false;
}

bool GlowFadeStep(TsCommonData *Data, std::int32_t Step) {
    TvlThreadedTimer *timer = Data ? AnimTimerOf(*Data) : nullptr;
    if (!timer || Has(Data->OwnerControl(), vcl::csDestroying) || timer->StepCount < 1) return false;
    const std::int32_t mode = timer->Mode;
    if (Step < timer->StepCount) {
        if (Data->GlowID >= 0) {
            timer->Value += mode == fmFadeUp ? timer->Increment : -timer->Increment;
            GlowService().SetGlowAlpha(Data->GlowID, FadeByte(timer->Value));
        }
        return true;
    }
    if (mode != fmFadeUp) Data->HideGlowNow();
    if (mode == fmFadeDown) Data->StopAnimation();
    return false;
}

std::span<const std::string_view> UnskinnedPopupClasses() { return PopupClasses; }

bool IsUnskinnedPopupClass(std::string_view ClassName) {
    return std::binary_search(PopupClasses.begin(), PopupClasses.end(), ClassName);
}

} // namespace skin
