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

class TsSkinProvider;
struct TsCaptionButton;

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
    // The button's rectangle on the screen.
    vcl::TRect GetRect() const;
    // The picture (made again for the next state) and the layer, freed.
    void FreeLayer();
    void FreePicture();

    TvlButtonFade Fade;
    TsSkinProvider *Provider = nullptr;  // not owned: the owner
    TsCaptionButton *Button = nullptr;   // not owned: the provider's record
    vcl::TForm *LayerForm() const { return FLayer.get(); }
    vcl::TBitmap *Picture() const { return FPicture.get(); }

private:
    void Apply(const TvlFadeCommand &Command);
    void MakeLayer();
    void MakePicture();
    void ShowLayer(std::uint8_t Alpha);

    std::unique_ptr<vcl::TForm> FLayer;
    std::unique_ptr<vcl::TBitmap> FPicture;
    vcl::TRect FPlace{};  // where the layer was placed last (screen)
};

// Creates or re-arms the button's fade toward State over Steps steps (at
// least 1). Nothing without a provider, nor (for a new one) while the
// application terminates.
void StartButtonAnimation(TsCaptionButton &Button, int State, int Steps, TsSkinProvider *Provider, bool FadeIn);

} // namespace skin
