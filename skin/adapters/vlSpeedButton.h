#pragma once
// TvlSpeedButtonHandler: skins one speed button, a button without a window,
// by taking over its WindowProc. When the button's parent paints it, the
// handler builds the button's image from its section in the skin data's
// cache (face by state, glyph and caption laid out by Layout, Margin and
// Spacing, the disabled look) and copies it into the DC it was handed; it
// answers the skin commands the library sends to controls, and passes
// everything else to the button's own procedure, so clicks still reach it.
//
// The handler is told through the class library's free notification when
// its button goes and never touches it afterwards. A handler freed while
// another procedure is chained over its own leaves that chain working: its
// place in it passes everything to the button's previous procedure.
// Windows only.
#include <windows.h>

#include <memory>
#include <string>

#include "skin/manager/sSkinServices.h"
#include "vcl/LifeMark.h"
#include "vcl/Messages.h"
#include "vcl/Types.h"

namespace vcl {
class TSpeedButton;
}

namespace skin {

class TsCommonData;
class TsSkinManager;

class TvlSpeedButtonHandler : public TvlGraphicHandler {
public:
    // Section becomes the skin data's when it has none; Manager null: the
    // skin data's. SkinData null: the handler makes and owns one.
    TvlSpeedButtonHandler(vcl::TSpeedButton *Button, const std::string &Section, TsSkinManager *Manager,
                          TsCommonData *SkinData);
    // Gives the button its procedure back while it still has ours.
    ~TvlSpeedButtonHandler() override;
    TvlSpeedButtonHandler(const TvlSpeedButtonHandler &) = delete;
    TvlSpeedButtonHandler &operator=(const TvlSpeedButtonHandler &) = delete;

    // The replacement WindowProc.
    void HandleMessage(vcl::TMessage &Message);

    vcl::TControl *HandledControl() const override;
    vcl::TSpeedButton *Button() const { return FButton.Get(); }
    TsCommonData *SkinData() const { return FSkinData; }

    // 2 held down or down for good; 1 hot; 0 otherwise.
    int CurrentState();
    vcl::TSize GlyphSize() const;
    vcl::TSize CaptionSize();
    vcl::TRect GlyphRect();
    vcl::TRect CaptionRect();
    // The button's picture in the skin data's cache: false when the parent
    // offered nothing to paint over.
    bool BuildCache();

private:
    bool Serving() const;
    void GiveBack();
    bool ShiftsContent() const;
    vcl::TRect Shifted(const vcl::TRect &R);
    void Paint(HDC DC);
    bool SkinCommand(vcl::TMessage &Message);
    void PassOn(vcl::TMessage &Message);
    void Repaint();

    // What the button's WindowProc calls: the handler while it serves, the
    // button's previous procedure once the handler let go of a chain that
    // another procedure sits on (then it outlives the handler).
    struct TRelay {
        TvlSpeedButtonHandler *Handler;  // null once orphaned
        vcl::TWndMethod Saved;
        void Call(vcl::TMessage &Message);
    };

    vcl::TGuarded<vcl::TSpeedButton> FButton;  // not owned
    bool FRestored = false;
    vcl::TWndMethod FSavedProc;
    std::unique_ptr<TRelay> FRelay;
    std::unique_ptr<TsCommonData> FOwnSkinData;
    TsCommonData *FSkinData;
    TsSkinManager *FManager;  // not owned
    // The section given at creation; see FaceSection.
    std::string FGivenSection;
    bool FOwnSection = false;  // the skin data's section was set here

    // Our speed buttons always stand raised: a given section that shows
    // nothing in the normal state (a flat tool-button look) would leave the
    // button without a face, so the push-button section paints it then.
    void FaceSection();
};

} // namespace skin
