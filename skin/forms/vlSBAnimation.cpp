#include "vlSBAnimation.h"

#include <algorithm>
#include <utility>

#include "sSkinProvider.h"
#include "skin/graphics/sMaskData.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/graphics/sSkinTables.h"
#include "skin/graphics/vlSkinPieces.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/vlFormAnimations.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/Forms.h"
#include "vcl/GdiObjects.h"

namespace skin {

VCL_CLASS_INFO(TvlSBAnimation)
VCL_CLASS_INFO(TvlItemAnimation)

namespace {

HWND FormWindow(const TsSkinProvider *Provider) {
    return Provider && Provider->Form && Provider->Form->HandleAllocated() ? Provider->Form->WindowHandle() : nullptr;
}

// A layer that never takes the mouse or the focus.
class TvlButtonLayer : public vcl::TForm {
    VCL_CLASS(TvlButtonLayer, vcl::TForm)
public:
    explicit TvlButtonLayer(vcl::TComponent *AOwner) : vcl::TForm(AOwner, vcl::CreateNew) {}

protected:
    void CreateParams(vcl::TCreateParams &Params) override {
        inherited::CreateParams(Params);
        Params.ExStyle |= WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT;
        Params.WindowClass.style &= ~static_cast<UINT>(CS_DROPSHADOW);
    }
};

VCL_CLASS_INFO(TvlButtonLayer)

// The window the button is drawn on: the border window around a form with
// an extended border (its frame image holds the caption), else the form's.
HWND CaptionWindow(const TsSkinProvider *Provider) {
    if (HWND border = Provider ? Provider->BorderWindow() : nullptr) return border;
    return FormWindow(Provider);
}

} // namespace

TvlSBAnimation::TvlSBAnimation(vcl::TComponent *AOwner) : vcl::TTimer(AOwner) {
    SetEnabled(false);
    SetInterval(10);
    OnTimer = vcl::TNotifyEvent::Bind<&TvlSBAnimation::TimerProc>(this);
}

TvlSBAnimation::~TvlSBAnimation() {
    SetEnabled(false);
    FLayer.reset();
    FPicture.reset();
    if (Button && Button->Timer == this) Button->Timer = nullptr;
    if (FadeOwner) FadeOwner->FadeGone(FadeCode, this);
}

HWND TvlSBAnimation::OwnerWindow() const { return FadeOwner ? FadeOwner->FadeWindow() : FormWindow(Provider); }

HWND TvlSBAnimation::MeasureWindow() const {
    return FadeOwner ? FadeOwner->FadeCaptionWindow() : CaptionWindow(Provider);
}

vcl::TRect TvlSBAnimation::ButtonRect() const { return FadeOwner ? FadeOwner->FadeButtonRect(FadeCode) : Button->Rect; }

TvlButtonGlow FindButtonGlow(const TsSkinManager *Manager, int Code, int ImageIndex, int State) {
    if (!Manager || State != 1 || !Manager->Effects()->AllowGlowing || !Manager->SkinData ||
        !Manager->IsValidMaskIndex(ImageIndex))
        return {};
    const TsSkinData &global = *Manager->SkinData;
    const int margin = Code == HTCLOSE       ? global.BIconCloseGlowMargin
                       : Code == HTMAXBUTTON ? global.BIconMaxGlowMargin
                       : Code == HTMINBUTTON ? global.BIconMinGlowMargin
                                             : 0;
    if (margin == 0) return {};
    const std::string &name = Manager->Masks[static_cast<std::size_t>(ImageIndex)].PropertyName;
    const int glow = Manager->GetMaskIndex(Manager->CommonElements.GlobalInfoSection, name + "GLOW0");
    if (!Manager->IsValidMaskIndex(glow)) return {};
    // The fade's picture is the glow's frame: one without pixels gives no glow.
    const TsMaskData &image = Manager->Masks[static_cast<std::size_t>(glow)];
    if (GetMaskFrameWidth(image) < 1 || GetMaskFrameHeight(image) < 1) return {};
    return {&Manager->Masks[static_cast<std::size_t>(glow)], margin};
}

TvlButtonGlow TvlSBAnimation::Glow() const {
    if (FadeOwner) return FadeOwner->FadeGlow(FadeCode, Fade.State);
    if (!Provider || !Button) return {};
    const TsSkinManager *m = Provider->SkinData()->GetSkinManager();
    int image = Button->ImageIndex;
    // An iconic form's minimize button is its restore button.
    if (const HWND form = FormWindow(Provider); m && Button->HitCode == HTMINBUTTON && form && IsIconic(form))
        image = m->CommonElements.TitleIcons[tiBigNorm];
    return FindButtonGlow(m, Button->HitCode, image, Fade.State);
}

vcl::TRect TvlSBAnimation::GetRect() const {
    RECT w{};
    GetWindowRect(MeasureWindow(), &w);
    const vcl::TRect r = ButtonRect();
    if (const TvlButtonGlow glow = Glow(); glow.Image) {
        const int left = w.left + r.Left - glow.Margin, top = w.top + r.Top - glow.Margin;
        return {left, top, left + GetMaskFrameWidth(*glow.Image), top + GetMaskFrameHeight(*glow.Image)};
    }
    return {w.left + r.Left, w.top + r.Top, w.left + r.Right, w.top + r.Bottom};
}

void TvlSBAnimation::FreeLayer() {
    FLayer.reset();
    FPlace = {};
}

void TvlSBAnimation::FreePicture() { FPicture.reset(); }

std::unique_ptr<vcl::TForm> TvlSBAnimation::TakeLayer() {
    FPlace = {};
    return std::move(FLayer);
}

void TvlSBAnimation::MakeLayer() {
    if (FLayer) return;
    FLayer.reset(vcl::Create<TvlButtonLayer>(nullptr));
    FLayer->SetBorderStyle(vcl::bsNone);
    FLayer->SetTag(AuxiliaryWindowTag);
}

void TvlSBAnimation::MakePicture() {
    if (FPicture) return;
    // A glowing button fades in as its glow picture, which holds the button.
    if (const TvlButtonGlow glow = Glow(); glow.Image) {
        const int w = GetMaskFrameWidth(*glow.Image), h = GetMaskFrameHeight(*glow.Image);
        FPicture = NewBitmap32(w, h);
        CopyPixels(FPicture->View(), 0, 0, MaskImage(*glow.Image), glow.Image->R.Left, glow.Image->R.Top, w, h);
        return;
    }
    FPicture = FadeOwner ? FadeOwner->FadePicture(FadeCode, std::max(Fade.State, 0))
                         : Provider->ButtonPicture(Button->HitCode, std::max(Fade.State, 0));
}

void TvlSBAnimation::ShowLayer(std::uint8_t Alpha) {
    const HWND form = OwnerWindow();
    if (!form) return;
    MakePicture();
    if (!FPicture || FPicture->Empty()) return;
    MakeLayer();
    const vcl::TRect r = GetRect();
    // The picture stays centred on the button whatever its size.
    const int dx = (FPicture->Width() - r.Width()) / 2, dy = (FPicture->Height() - r.Height()) / 2;
    const HWND layer = FLayer->Handle();
    const bool topmost = GetWindowLongPtrW(form, GWL_EXSTYLE) & WS_EX_TOPMOST;
    // Ranked right above the window that shows the caption: a border window
    // lies above its form, and a layer between the two would never show.
    const HWND caption = MeasureWindow() ? MeasureWindow() : form;
    const HWND above = GetWindow(caption, GW_HWNDPREV);
    const vcl::TRect place{r.Left - dx, r.Top - dy, r.Left - dx + FPicture->Width(), r.Top - dy + FPicture->Height()};
    // Placed once per place: a tick whose layer already lies right above
    // the caption's window, where it was, only updates the picture's alpha.
    if (place != FPlace || (above != layer && !topmost)) {
        const HWND anchor = topmost ? HWND_TOPMOST : above;
        UINT flags = SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING;
        if (anchor == layer) flags |= SWP_NOZORDER;
        SetWindowPos(layer, anchor, place.Left, place.Top, place.Width(), place.Height(), flags);
        FPlace = place;
    }
    const LONG_PTR ex = GetWindowLongPtrW(layer, GWL_EXSTYLE);
    const LONG_PTR want = WS_EX_LAYERED | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT;
    if ((ex & want) != want) SetWindowLongPtrW(layer, GWL_EXSTYLE, ex | want);
    if (const auto update = LayeredWindowFunctions().UpdateLayeredWindow) {
        const vcl::TWindowDC screen;
        SIZE size{FPicture->Width(), FPicture->Height()};
        POINT source{0, 0};
        BLENDFUNCTION blend{AC_SRC_OVER, 0, Alpha, AC_SRC_ALPHA};
        update(layer, screen.Get(), nullptr, &size, FPicture->Canvas()->Handle(), &source, 0x1FFFFFFF, &blend,
               ULW_ALPHA);
    }
    if (!IsWindowVisible(layer)) ShowWindow(layer, SW_SHOWNOACTIVATE);
}

void TvlSBAnimation::Apply(const TvlFadeCommand &Command) {
    if (Command.Action == faShow) ShowLayer(static_cast<std::uint8_t>(Command.Alpha));
    if (Command.Action == faRemove) {
        FPicture.reset();
        FreeLayer();
    }
    SetEnabled(Fade.TimerOn);
    Stepped(Command);
}

void TvlSBAnimation::Start(int NewState, bool FadeIn) {
    if (NewState == Fade.State) return;
    // A new hot or pressed look: the next picture is made for it, a press
    // on a layer of its own.
    if (NewState != 0) FPicture.reset();
    if (NewState == 2) FreeLayer();
    Apply(Fade.Start(NewState, FadeIn));
}

void TvlSBAnimation::TimerProc(vcl::TObject *) {
    if (!Enabled()) return;
    const TvlFadeCommand c = Fade.Tick();
    Apply(c);
    if (!c.Done) return;
    // The fade in ended: a mouse that left meanwhile resets the button.
    const HWND form = OwnerWindow();
    POINT cursor{};
    RECT window{};
    GetCursorPos(&cursor);
    GetWindowRect(MeasureWindow(), &window);
    const vcl::TRect r = ButtonRect();
    const POINT inWindow{cursor.x - window.left, cursor.y - window.top};
    if (inWindow.x < r.Left || inWindow.x >= r.Right || inWindow.y < r.Top || inWindow.y >= r.Bottom) {
        SetEnabled(false);
        Fade.TimerOn = false;
        if (form) SendMessageW(form, WM_MOUSELEAVE, 0, 0);
    }
}

TvlItemAnimation::TvlItemAnimation(vcl::TComponent *AOwner) : TvlSBAnimation(AOwner) { Fade.ItemRules = true; }

TvlItemAnimation::~TvlItemAnimation() {
    // The item hears of the end here: the base's destructor must not call
    // back into an owner that is gone by then.
    if (TvlFadeOwner *item = std::exchange(FadeOwner, nullptr)) item->FadeGone(FadeCode, this);
}

void TvlItemAnimation::KeepOldLayer() {
    FOldLayer = TakeLayer();
    FreePicture();
}

void TvlItemAnimation::DropLook() {
    FreePicture();
    FreeLayer();
    FOldLayer.reset();
}

void TvlItemAnimation::Stepped(const TvlFadeCommand &Command) {
    // The new look stands opaque over the old one, or nothing shows at all.
    if ((Command.Done && Command.Action == faShow) || Command.Action == faRemove) FOldLayer.reset();
}

void StartItemAnimation(TvlItemAnimation *&Slot, TvlFadeOwner &Item, vcl::TComponent *Owner, int State, int Steps) {
    const int steps = std::max(1, Steps);
    TvlItemAnimation *animation = Slot;
    if (animation) {
        animation->Fade.Arm(steps);
        if (State == 2 || (State == 1 && animation->Fade.State == 2)) animation->KeepOldLayer();
    } else {
        if (vcl::Application && vcl::Application->Terminated()) return;
        animation = vcl::Create<TvlItemAnimation>(Owner);
        animation->FadeOwner = &Item;
        Slot = animation;
        animation->Fade.Arm(steps);
    }
    animation->Start(State, true);
    if (State == 2) animation->Fade.Step = steps;
}

void StartButtonAnimation(TsCaptionButton &Button, int State, int Steps, TsSkinProvider *Provider, bool FadeIn) {
    if (!Provider) return;
    const int steps = std::max(1, Steps);
    if (TvlSBAnimation *running = Button.Timer) {
        running->Fade.Arm(steps);
        // A press shows the pressed look at once, on a layer of its own.
        if (State == 2) {
            running->FreePicture();
            running->FreeLayer();
        }
        running->Start(State, FadeIn);
        return;
    }
    if (vcl::Application && vcl::Application->Terminated()) return;
    auto *animation = vcl::Create<TvlSBAnimation>(Provider);
    animation->Provider = Provider;
    animation->Button = &Button;
    Button.Timer = animation;
    animation->Fade.Arm(steps);
    animation->Start(State, true);
}

void StartButtonAnimation(TvlSBAnimation *&Slot, TvlFadeOwner &Owner, int Code, int State, int Steps, bool FadeIn) {
    const int steps = std::max(1, Steps);
    if (TvlSBAnimation *running = Slot) {
        running->Fade.Arm(steps);
        if (State == 2) {
            running->FreePicture();
            running->FreeLayer();
        }
        running->Start(State, FadeIn);
        return;
    }
    if (vcl::Application && vcl::Application->Terminated()) return;
    auto *animation = vcl::Create<TvlSBAnimation>(nullptr);
    animation->FadeOwner = &Owner;
    animation->FadeCode = Code;
    Slot = animation;
    animation->Fade.Arm(steps);
    animation->Start(State, true);
}

} // namespace skin
