#pragma once
// Glows: the soft halo a skin draws around a control while the mouse is
// over it. Each live glow is a borderless, layered window that never takes
// the mouse, laid around the control just above the control's form and
// painted from the section's glow image (its name + "0"). The glows live in
// one list of the module's state; a glow's id tells its place there, and an
// id is not given again, also after the list was cleared (a holder that
// keeps an id over a clear must not reach another control's glow with it).
// The control's skin data keeps its glow's id in GlowID; a glow's fade out
// runs on the skin data's animation timer. The manager module's start-up
// registers these glows as the glow service (sSkinServices.h). Windows
// only; UI thread only.
//
// The layered-window calls go through LayeredWindowFunctions
// (vlGraphUtils.h), which tests replace to see the opacity and image.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "vcl/Messages.h"
#include "vcl/Types.h"

namespace vcl {
class TBitmap;
class TForm;
}

namespace skin {

class TsCommonData;

// The glow windows carry this tag, as the library's other helper windows do.
inline constexpr std::intptr_t GlowWindowTag = 256;
// The extended styles of a glow window: no activation, layered, transparent
// to the mouse, a tool window.
inline constexpr DWORD GlowWindowExStyle = WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW;

class TvlGlowEffect {
public:
    // A glow of Data's control, without a window yet.
    explicit TvlGlowEffect(TsCommonData &Data);
    // The window goes too: at once while the skin data's manager is being
    // destroyed or the application ends, else once its waiting messages are
    // through.
    ~TvlGlowEffect();
    TvlGlowEffect(const TvlGlowEffect &) = delete;
    TvlGlowEffect &operator=(const TvlGlowEffect &) = delete;

    // Pixels by which the window's edges lie inward from the control's
    // rectangle grown by the glow image's margins.
    int GlowMargin = 0;
    // The glow image in the manager's mask table; -1: none (nothing drawn).
    int MaskIndex = -1;

    TsCommonData &SkinData() const { return FSkinData; }
    // The glow's window; null until made.
    HWND Window() const;
    vcl::TForm *GlowForm() const { return FGlowForm; }
    // The 32-bit picture shown in the window; null until painted.
    vcl::TBitmap *GlowImage() const { return FGlowImage.get(); }
    // The opacity the picture is shown at.
    std::uint8_t Alpha() const { return FAlpha; }
    bool Destroying() const { return FDestroying; }

    // The window's procedure: transparent to the hit test, so that clicks
    // fall through to the window below; the rest goes to the form's own.
    void GlowWndProc(vcl::TMessage &Message);

private:
    friend void CreateGlowWindow(TvlGlowEffect &Glow, const vcl::TRect &R, std::uint8_t Alpha, HWND Window);
    friend bool PaintGlow(TvlGlowEffect &Glow, int Width, int Height);
    friend void SetGlowAlpha(int GlowID, std::uint8_t Alpha);
    friend void HideGlow(int &GlowID, bool Animate);
    friend void ClearGlows(bool CloseWindows);

    // The form gets its own procedure back and goes: AtOnce frees it now,
    // else it is released (freed once its waiting messages are through).
    void FreeGlowForm(bool AtOnce);
    // The picture shown in the window at the glow's opacity.
    void UpdateLayered();

    TsCommonData &FSkinData;  // not owned: the skin data hides its glow before it goes
    vcl::TForm *FGlowForm = nullptr;  // owned; released or freed by FreeGlowForm
    std::unique_ptr<vcl::TBitmap> FGlowImage;
    vcl::TWndMethod FSavedWndProc;
    std::uint8_t FAlpha = 255;
    bool FDestroying = false;
};

// A glow over ScreenRect (the control's rectangle on the screen) from the
// image BaseName + "0" of Section (or of a section it inherits from), at
// Alpha, placed just above Window's top-level window; its id, or -1 when
// layered windows are missing, a window holds the mouse capture, or the
// skin has no such image.
int ShowGlow(const vcl::TRect &ScreenRect, const std::string &Section, const std::string &BaseName, TsCommonData &Data,
             HWND Window, std::uint8_t Alpha, int Margin);
// Hides the glow of GlowID and sets GlowID to -1; nothing for an id that
// names no glow. With Animate (and the manager's AllowAnimation, while the
// application runs, and when the skin data has no timer or its timer runs
// no other fade: it is idle, runs this glow's fade, or its State is 1) the
// glow fades out on that timer instead and goes at the fade's end; a glow
// already fading out keeps its fade. An idle timer starts the fade from the
// glow's opacity.
void HideGlow(int &GlowID, bool Animate);
// Shows the glow's picture again at Alpha; nothing for an id that names no glow.
void SetGlowAlpha(int GlowID, std::uint8_t Alpha);
// Frees every glow (their windows at once with CloseWindows, else released)
// and empties the list; the owners' GlowID become -1, and any id given
// before names no glow after. Nothing while a glow window is being freed.
void ClearGlows(bool CloseWindows);
// The glow of an id; null for an id that names none.
TvlGlowEffect *GlowOf(int GlowID);

// Makes, sizes, paints, places and shows the glow's window (once): R is the
// control's screen rectangle. The window lies directly above Window's
// top-level window (at the top of the z-order when nothing is above that
// window), or topmost when that window is topmost or the skin data has no
// owner.
void CreateGlowWindow(TvlGlowEffect &Glow, const vcl::TRect &R, std::uint8_t Alpha, HWND Window);
// A new picture of Width x Height: transparent black with state 0 of the
// glow image over it, in the control's colour effects.
bool PaintGlow(TvlGlowEffect &Glow, int Width, int Height);

// The glow service of these glows, registered by the manager module's
// start-up; the module's end frees every glow.
void InitializeGlowModule();
void FinalizeGlowModule();

} // namespace skin
