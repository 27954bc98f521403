#include "vlGlow.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <utility>

#include "sCommonData.h"
#include "sModuleState.h"
#include "sSkinManager.h"
#include "sSkinMeasures.h"
#include "sSkinServices.h"
#include "vlStateAnimation.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/graphics/vlNineSlice.h"
#include "vcl/Bitmap.h"
#include "vcl/Forms.h"
#include "vcl/GdiObjects.h"
#include "vlThdTimer.h"

namespace skin {

namespace {

bool Has(const vcl::TComponent *C, vcl::TComponentStateItem Item) { return C && C->ComponentState().Contains(Item); }

bool ApplicationTerminating() { return vcl::Application && vcl::Application->Terminated(); }

// A borderless form with a window class of its own: the glow's window,
// layered and click-through from its creation, without a drop shadow and
// without a taskbar button.
class TvlGlowForm final : public vcl::TForm {
    VCL_CLASS(TvlGlowForm, vcl::TForm)
public:
    TvlGlowForm() : vcl::TForm(nullptr, vcl::CreateNew) {
        SetBorderStyle(vcl::bsNone);
        SetTag(GlowWindowTag);
        vcl::TControlStyle style = ControlStyle();
        style.Exclude(vcl::csCaptureMouse);
        SetControlStyle(style);
    }

protected:
    void CreateParams(vcl::TCreateParams &Params) override {
        inherited::CreateParams(Params);
        Params.ExStyle = (Params.ExStyle & ~static_cast<DWORD>(WS_EX_APPWINDOW)) | GlowWindowExStyle;
        Params.WindowClass.style &= ~static_cast<UINT>(CS_DROPSHADOW);
    }
};

// The glows' service in the slot of sSkinServices.h.
class TvlGlowEffects final : public TvlGlowService {
public:
    int ShowGlow(const vcl::TRect &ScreenRect, const std::string &Section, const std::string &BaseName,
                 TsCommonData &Data, HWND Parent, std::uint8_t Alpha, int Margin) override {
        return skin::ShowGlow(ScreenRect, Section, BaseName, Data, Parent, Alpha, Margin);
    }
    void HideGlow(int &GlowID, bool Fade) override { skin::HideGlow(GlowID, Fade); }
    void SetGlowAlpha(int GlowID, std::uint8_t Alpha) override { skin::SetGlowAlpha(GlowID, Alpha); }
    void ClearGlows(bool CloseWindows) override { skin::ClearGlows(CloseWindows); }
};

TvlGlowEffects &GlowEffects() {
    static TvlGlowEffects service;
    return service;
}

// Raised for a scope; a clear asked meanwhile does nothing.
class TClearingScope {
public:
    TClearingScope() : FWas(std::exchange(ModuleState().ClearingGlows, true)) {}
    ~TClearingScope() { ModuleState().ClearingGlows = FWas; }
    TClearingScope(const TClearingScope &) = delete;
    TClearingScope &operator=(const TClearingScope &) = delete;

private:
    bool FWas;
};

// A glow window goes at once while its manager is being destroyed or the
// application ends: nothing would free a released one then.
bool FreeAtOnce(const TsCommonData &Data) {
    return ApplicationTerminating() || Has(Data.GetSkinManager(), vcl::csDestroying);
}

// A fade runs on the timer (a new timer is enabled, but idle).
bool FadeRuns(const TvlThreadedTimer &Timer) { return Timer.Running() && Timer.Mode != fmIdle; }

// Where the glow window goes in the z-order, for a glow around a control on
// Window: directly above Window's top-level window; with nothing above that
// window in its band (or only the glow's own new window) at the top of the
// band. Topmost for a topmost window and for skin data without an owner.
// Not behind Window itself when nothing precedes it: the glow would then lie
// under the form and hide wherever it overlaps the control it surrounds; and
// a top-level glow cannot be placed after a child window, so its top-level
// window stands for it.
HWND GlowInsertAfter(const TvlGlowEffect &Glow, HWND Window, HWND GlowWindow) {
    const HWND top = Window ? GetAncestor(Window, GA_ROOT) : nullptr;
    const auto topmost = [](HWND W) { return (GetWindowLongPtrW(W, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    if ((top && topmost(top)) || !Glow.SkinData().OwnerObj()) return HWND_TOPMOST;
    if (!top) return HWND_TOP;
    const HWND above = GetWindow(top, GW_HWNDPREV);
    // A topmost window above would make the glow topmost too.
    if (!above || above == GlowWindow || topmost(above)) return HWND_TOP;
    return above;
}

} // namespace

VCL_CLASS_INFO(TvlGlowForm)

// TvlGlowEffect

TvlGlowEffect::TvlGlowEffect(TsCommonData &Data) : FSkinData(Data) {}

TvlGlowEffect::~TvlGlowEffect() {
    FDestroying = true;
    if (FGlowForm) FreeGlowForm(FreeAtOnce(FSkinData));
    FGlowImage.reset();
}

HWND TvlGlowEffect::Window() const {
    return FGlowForm && FGlowForm->HandleAllocated() ? FGlowForm->WindowHandle() : nullptr;
}

void TvlGlowEffect::GlowWndProc(vcl::TMessage &Message) {
    if (Message.Msg == WM_NCHITTEST) {
        Message.Result = HTTRANSPARENT;
        return;
    }
    if (FSavedWndProc) FSavedWndProc(Message);
}

void TvlGlowEffect::FreeGlowForm(bool AtOnce) {
    vcl::TForm *form = std::exchange(FGlowForm, nullptr);
    if (!form) return;
    form->WindowProc = FSavedWndProc;
    TClearingScope clearing;
    if (AtOnce)
        delete form;
    else
        form->Release();
}

void TvlGlowEffect::UpdateLayered() {
    const HWND window = Window();
    const auto update = LayeredWindowFunctions().UpdateLayeredWindow;
    if (!window || !FGlowImage || !update) return;
    BLENDFUNCTION blend{AC_SRC_OVER, 0, FAlpha, AC_SRC_ALPHA};
    SIZE size{FGlowImage->Width(), FGlowImage->Height()};
    POINT source{0, 0};
    const vcl::TWindowDC screen;
    update(window, screen.Get(), nullptr, &size, FGlowImage->Canvas()->Handle(), &source, 0, &blend, ULW_ALPHA);
}

// The list

namespace {

// The place of an id in the list; the list's size for an id it never gave
// (one from before the last clear included).
std::size_t GlowIndex(int GlowID) {
    const auto &state = ModuleState();
    if (GlowID < state.GlowIdBase) return state.Glows.size();
    return std::min(static_cast<std::size_t>(GlowID - state.GlowIdBase), state.Glows.size());
}

} // namespace

TvlGlowEffect *GlowOf(int GlowID) {
    const auto &glows = ModuleState().Glows;
    const std::size_t index = GlowIndex(GlowID);
    return index < glows.size() ? glows[index].get() : nullptr;
}

int ShowGlow(const vcl::TRect &ScreenRect, const std::string &Section, const std::string &BaseName, TsCommonData &Data,
             HWND Window, std::uint8_t Alpha, int Margin) {
    if (!LayeredWindowsAvailable() || GetCapture()) return -1;
    TsSkinManager *m = Data.GetSkinManager();
    if (!m) return -1;
    const int mask = m->GetMaskIndex(m->FindSectionIndex(Section), BaseName + "0");
    if (!m->IsValidMaskIndex(mask)) return -1;
    auto glow = std::make_unique<TvlGlowEffect>(Data);
    glow->GlowMargin = Margin;
    glow->MaskIndex = mask;
    TvlGlowEffect &shown = *glow;
    auto &glows = ModuleState().Glows;
    const int id = ModuleState().GlowIdBase + static_cast<int>(glows.size());
    glows.push_back(std::move(glow));
    CreateGlowWindow(shown, ScreenRect, Alpha, Window);
    return id;
}

void CreateGlowWindow(TvlGlowEffect &Glow, const vcl::TRect &R, std::uint8_t Alpha, HWND Window) {
    if (Glow.FGlowForm) return;
    TsSkinManager *m = Glow.SkinData().GetSkinManager();
    if (!m) return;
    auto *form = vcl::Create<TvlGlowForm>();
    Glow.FGlowForm = form;
    Glow.FSavedWndProc = form->WindowProc;
    form->WindowProc = vcl::TWndMethod::Bind<&TvlGlowEffect::GlowWndProc>(&Glow);

    const bool masked = m->IsValidMaskIndex(Glow.MaskIndex);
    const vcl::TRect margins = masked ? vcl::TRect{m->MaskLeftMargin(Glow.MaskIndex), m->MaskTopMargin(Glow.MaskIndex),
                                                   m->MaskRightMargin(Glow.MaskIndex), m->MaskBottomMargin(Glow.MaskIndex)}
                                      : vcl::TRect{};
    const vcl::TRect placed = GlowWindowRect(R, margins, Glow.GlowMargin);
    const int x = placed.Left, y = placed.Top, width = placed.Width(), height = placed.Height();
    if (!PaintGlow(Glow, width, height)) return;  // the glow went with its control
    form->SetBounds(x, y, width, height);

    form->HandleNeeded();
    const HWND window = Glow.Window();
    if (!window) return;
    SetWindowPos(window, GlowInsertAfter(Glow, Window, window), x, y, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
    Glow.FAlpha = Alpha;
    Glow.UpdateLayered();
    ShowWindow(window, SW_SHOWNOACTIVATE);
}

bool PaintGlow(TvlGlowEffect &Glow, int Width, int Height) {
    Glow.FGlowImage = NewBitmap32(Width, Height);
    vcl::TBitmap &image = *Glow.FGlowImage;
    const vcl::TBitmapView pixels = image.View();
    for (int y = 0; y < pixels.Height; ++y) std::fill_n(pixels.Row32(y), pixels.Width, 0u);
    TsSkinManager *m = Glow.SkinData().GetSkinManager();
    if (m && m->IsValidMaskIndex(Glow.MaskIndex))
        DrawSkinRect(image, {0, 0, Width, Height}, TvlBgInfo{}, m->Masks[static_cast<std::size_t>(Glow.MaskIndex)],
                     0, false);
    return ApplyColorEffects(image, Glow.SkinData());
}

void SetGlowAlpha(int GlowID, std::uint8_t Alpha) {
    TvlGlowEffect *glow = GlowOf(GlowID);
    if (!glow) return;
    glow->FAlpha = Alpha;
    glow->UpdateLayered();
}

void HideGlow(int &GlowID, bool Animate) {
    TvlGlowEffect *glow = GlowOf(GlowID);
    if (!glow) return;
    TsCommonData &data = glow->SkinData();
    const TsSkinManager *m = data.GetSkinManager();
    TvlThreadedTimer *timer = AnimTimerOf(data);
    // The fade takes the skin data's timer unless that runs another fade
    // (State 1 marks a timer its caller keeps for glows).
    const bool timerFree = !data.AnimTimer || (timer && (timer->State == 1 || !FadeRuns(*timer) ||
                                                         timer->StepCallback() == GlowFadeStep));
    if (Animate && m && m->Effects()->AllowAnimation && !ApplicationTerminating() && timerFree) {
        std::int32_t firstStep = GetAnimTimer(data, nullptr, true);
        timer = AnimTimerOf(data);
        if (timer->Mode == fmFadeDown && FadeRuns(*timer)) return;
        // An idle timer starts afresh from the glow as it is shown: a new one
        // holds 0, an old one where its last fade ended, and either would
        // hide the glow at the first step.
        if (!FadeRuns(*timer)) {
            timer->Value = glow->Alpha();
            firstStep = 0;
        }
        StartAnimation(*timer, &data, firstStep, GlowFadeStep, fmFadeDown, false);
        timer->DoStep();
        return;
    }
    // The entry goes first: what freeing the window dispatches finds no glow here.
    std::unique_ptr<TvlGlowEffect> gone = std::move(ModuleState().Glows[GlowIndex(GlowID)]);
    GlowID = -1;
    gone->FreeGlowForm(FreeAtOnce(data));
    gone.reset();
    if (data.AnimTimer) data.StopAnimation();
}

void ClearGlows(bool CloseWindows) {
    if (ModuleState().ClearingGlows) return;
    // Freeing a window dispatches messages that may show or hide glows:
    // the list is taken whole first.
    std::vector<std::unique_ptr<TvlGlowEffect>> glows = std::exchange(ModuleState().Glows, {});
    // Ids go on after the ones given: not every holder of an id hears of the
    // clear (a caption button's, a dialog button's), and an old id must not
    // name the glow of another control. Starting again from 0 once half the
    // range is used leaves room for any list that fits in memory.
    int &base = ModuleState().GlowIdBase;
    const auto used = static_cast<int>(glows.size());
    base = base < INT_MAX / 2 - used ? base + used : 0;
    for (auto &glow : glows) {
        if (!glow) continue;
        if (CloseWindows) glow->FreeGlowForm(true);
        glow->SkinData().GlowID = -1;
        glow.reset();
    }
}

// Module

void InitializeGlowModule() { RegisterService(GlowEffects()); }

void FinalizeGlowModule() {
    // Nothing would free a released window after the module's end.
    ClearGlows(true);
    UnregisterService(GlowEffects());
}

} // namespace skin
