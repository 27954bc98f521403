#pragma once
// TvlStatusBarWnd: the adapter of a status bar (a bare status window or the
// class library's TStatusBar, kind "StatusBar"). It paints the bar from the
// section "STATUSBAR": the background, one frame per panel from the
// section's image "STATUSPANELMASK" or, without it, the skin's dividers
// between panels, the panel texts, the owner-drawn panels through the
// control's OnDrawPanel, and the skin's size grip.
//
// The panel texts, owner drawing and the size grip come from the class
// library's bar; a bare status window shows its parts' rectangles without
// texts, or its window text as a simple bar. Windows only.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "skin/graphics/vlCommonUtils.h"
#include "vcl/Types.h"
#include "vlSBUtils.h"

namespace vcl {
class TStatusBar;
}

namespace skin {

class TvlStatusBarWnd : public TvlMainWnd {
public:
    // "STATUSBAR" when no section was given; the class library's bar, when
    // the owner is one, is the adapter's control.
    void SetDefaultSection() override;
    bool OwnMessage(vcl::TMessage &Message) override;

    // The text shown in panel Index (-1: the simple panel).
    std::string PanelText(int Index);
    // The bar's image in the skin data's cache.
    void BuildImage();
    // The client's picture into DC (the window's own DC when null). The
    // image is built anew unless it was built from what the bar shows now
    // (see TImageSources) and BGChanged is clear.
    void PaintClient(HDC DC);
    // The border strips of the control's border width, from the cache,
    // into DC (null: the window's own, unless a form animation runs).
    void PaintFrame(HDC DC);

    // Not owned; null for a bare window, and once the application freed the
    // bar (its own drawing event may).
    vcl::TGuarded<vcl::TStatusBar> StatusBar;

private:
    // Everything the bar's image is built from, besides what BGChanged
    // stands for (the skin and the parent's background): the image is kept
    // while all of it stays the same. Owner-drawn panels are never kept.
    struct TImageSources {
        const void *Manager = nullptr;
        int Section = -1, Border = -1, Pattern = -1, HotPattern = -1;
        int Hue = 0, Saturation = 0;
        vcl::TColor Tone = 0, OwnerColor = 0;
        bool CustomColor = false, CustomFont = false;
        std::uint16_t BgFlags = 0;
        vcl::TSize Size;
        vcl::TPoint Pos;
        TvlBgInfo Bg;
        LOGFONTW Font{};
        vcl::TColor FontColor = 0;
        bool Simple = false, SimplePanel = false, Grip = false, OwnerDrawn = false;
        int BorderWidth = 0;
        std::vector<vcl::TRect> Parts;
        std::vector<std::string> Texts;
        std::vector<UINT> Aligns;
        bool operator==(const TImageSources &Other) const;
    };
    // What the bar shows now; the geometry fields must be fresh. None when
    // the parent's answer about what lies behind freed the adapter.
    std::optional<TImageSources> ReadSources();
    // PanelText with the bar's part count and simple state already asked.
    std::string PanelText(int Index, int Parts, bool Simple);
    // False once an owner-drawn panel's event freed the adapter or its bar:
    // nothing more is built or painted then.
    bool Build(TImageSources Sources);
    bool PaintPanel(int Index, vcl::TRect R, bool Last, bool Simple, const std::string &Text, UINT Align,
                    TvlBgInfo &Bg);
    // Where the skin's size grip goes in the bar's image; empty when none shows.
    vcl::TRect GripRect();
    void PaintGrip();

    std::optional<TImageSources> FBuiltFrom;  // what the cached image shows
};

} // namespace skin
