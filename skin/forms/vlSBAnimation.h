#pragma once
// The fade of a caption button: when a title button of a skinned form
// becomes hot, pressed or normal again, its new look is not painted into
// the frame at once; a small layered window laid exactly over the button
// shows the new look at an alpha stepped every 10 ms, fading in over the
// normal frame and out again. One animation per button, kept in the
// button's record (Timer) and owned by the provider as a component.
// Windows only.
#include <windows.h>

#include <memory>

#include "skin/manager/vlAnimFrames.h"
#include "vcl/ExtCtrls.h"

namespace vcl {
class TBitmap;
class TForm;
}

namespace skin {

class TsSkinManager;
class TsSkinProvider;
struct TsCaptionButton;
struct TsMaskData;
class TvlSBAnimation;

// The glow picture of a caption button: the image named as the button's
// image followed by "GLOW0", and how far it reaches out left and up.
struct TvlButtonGlow {
    const TsMaskData *Image = nullptr;  // not owned: the manager's; null for none
    int Margin = 0;
};
// A hot (State 1) minimize, maximize or close whose glow margin is not 0,
// under Effects.AllowGlowing, where the skin has that image; else none.
TvlButtonGlow FindButtonGlow(const TsSkinManager *Manager, int Code, int ImageIndex, int State);

// What a fade asks of an owner that is not a form provider (a skinned
// dialog): Code names the owner's button.
class TvlFadeOwner {
public:
    virtual ~TvlFadeOwner() = default;
    // The window that hears WM_MOUSELEAVE when the mouse left meanwhile.
    virtual HWND FadeWindow() const = 0;
    // The window the button's rectangle is measured from (a border window
    // around the owner, else the owner's).
    virtual HWND FadeCaptionWindow() const = 0;
    virtual vcl::TRect FadeButtonRect(int Code) const = 0;
    // The button's look in State, the size of its rectangle; null for none.
    virtual std::unique_ptr<vcl::TBitmap> FadePicture(int Code, int State) = 0;
    // The animation goes: the owner forgets it.
    virtual void FadeGone(int Code, TvlSBAnimation *Animation) = 0;
    // The button's glow picture in State; owners without glows keep none.
    virtual TvlButtonGlow FadeGlow(int Code, int State) const {
        (void)Code;
        (void)State;
        return {};
    }
};

class TvlSBAnimation : public vcl::TTimer {
    VCL_CLASS(TvlSBAnimation, vcl::TTimer)
public:
    // Owner: the provider; disabled, every 10 ms once enabled.
    explicit TvlSBAnimation(vcl::TComponent *AOwner);
    // The layer and picture go, and the button forgets its animation.
    ~TvlSBAnimation() override;

    // Toward NewState: a fade in of a hot or pressed look, a fade out to normal.
    void Start(int NewState, bool FadeIn);
    // One tick: the next alpha, the end of a fade.
    void TimerProc(vcl::TObject *Sender);
    // The button's rectangle on the screen; that of its glow picture
    // instead while the glow applies.
    vcl::TRect GetRect() const;
    // The picture (made again for the next state) and the layer, freed.
    void FreeLayer();
    void FreePicture();

    TvlButtonFade Fade;
    TsSkinProvider *Provider = nullptr;  // not owned: the owner
    TsCaptionButton *Button = nullptr;   // not owned: the provider's record
    // Instead of a provider and its record: another owner's button.
    TvlFadeOwner *FadeOwner = nullptr;   // not owned
    int FadeCode = 0;
    vcl::TForm *LayerForm() const { return FLayer.get(); }
    vcl::TBitmap *Picture() const { return FPicture.get(); }

protected:
    // After each start and tick has shown or removed the layer.
    virtual void Stepped(const TvlFadeCommand &Command) { (void)Command; }
    std::unique_ptr<vcl::TForm> TakeLayer();

private:
    void Apply(const TvlFadeCommand &Command);
    HWND OwnerWindow() const;
    HWND MeasureWindow() const;
    vcl::TRect ButtonRect() const;
    TvlButtonGlow Glow() const;
    void MakeLayer();
    void MakePicture();
    void ShowLayer(std::uint8_t Alpha);

    std::unique_ptr<vcl::TForm> FLayer;
    std::unique_ptr<vcl::TBitmap> FPicture;
    vcl::TRect FPlace{};  // where the layer was placed last (screen)
};

// The twin for a title-bar item (the item is its fade owner): a new pressed
// look, or the hot look after it, fades in over the layer that showed the
// old one, kept until the fade in ends; the timer runs after every start
// and a fade out starts opaque.
class TvlItemAnimation : public TvlSBAnimation {
    VCL_CLASS(TvlItemAnimation, TvlSBAnimation)
public:
    explicit TvlItemAnimation(vcl::TComponent *AOwner);
    ~TvlItemAnimation() override;
    // The layer shown so far stays as the old one; the picture is made again.
    void KeepOldLayer();
    // The picture and both layers go: the next step paints the look again.
    void DropLook();
    vcl::TForm *OldLayerForm() const { return FOldLayer.get(); }

protected:
    void Stepped(const TvlFadeCommand &Command) override;

private:
    std::unique_ptr<vcl::TForm> FOldLayer;
};

// Creates (owned by Owner) or re-arms the item's fade in Slot toward State
// over Steps steps; a pressed state goes straight to the end of its fade in.
void StartItemAnimation(TvlItemAnimation *&Slot, TvlFadeOwner &Item, vcl::TComponent *Owner, int State, int Steps);

// Creates or re-arms the button's fade toward State over Steps steps (at
// least 1). Nothing without a provider, nor (for a new one) while the
// application terminates.
void StartButtonAnimation(TsCaptionButton &Button, int State, int Steps, TsSkinProvider *Provider, bool FadeIn);
// The same for another owner's button: Slot holds the button's animation
// (made here when null; the owner frees it, and hears FadeGone).
void StartButtonAnimation(TvlSBAnimation *&Slot, TvlFadeOwner &Owner, int Code, int State, int Steps, bool FadeIn);

} // namespace skin
