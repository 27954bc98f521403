#pragma once
// The records a form's provider keeps for its frame render, the labels it
// recolours, an outline drag, the windows that hold a disabled form, and
// the relay that its form's WindowProc calls. Windows only.
#include <windows.h>

#include <memory>

#include "skin/graphics/vlCommonUtils.h"
#include "vcl/ControlTypes.h"
#include "vcl/GdiObjects.h"
#include "vcl/LifeMark.h"
#include "vcl/Messages.h"
#include "vcl/ObjectInstance.h"

namespace vcl {
class TBitmap;
class TCustomLabel;
}

namespace skin {

class TsSkinProvider;

// What one frame render hands to the caption painters.
struct TvlFrameRender {
    vcl::TBitmap *Image = nullptr;  // not owned: the skin data's cache
    vcl::TRect FrameRect{};         // the image less the shadow margins
    int State = 0;                  // min(FormActive, the section's states - 1)
    TvlBgInfo Bg{};                 // what lies behind the frame
};

// A label that took the skin's font colour: what it had before.
struct TvlLabelRecord {
    vcl::TColor FontColor = 0;
    vcl::TCustomLabel *Label = nullptr;  // not owned
    bool ParentFont = false;
    bool Opaque = false;  // it had csOpaque
};

// An outline drag of ResizeMode rmBorder.
struct TvlOutlineDrag {
    bool Active = false;
    bool Moving = false;   // a move, else a resize by HitCode
    int HitCode = 0;
    vcl::TPoint Start{};   // the last mouse point (screen)
    vcl::TRect Rect{};     // the outline drawn now (screen)
    std::unique_ptr<vcl::TWindowDC> DesktopDC;  // the desktop's DC for the drag's time
    int SavedDC = 0;       // its state before the drag
    // In front of the form's window for the drag's time: a lost capture
    // (WM_CAPTURECHANGED) ends the drag.
    std::unique_ptr<vcl::TWindowSubclass> CaptureWatch;

    TvlOutlineDrag() = default;
    TvlOutlineDrag(const TvlOutlineDrag &) = delete;
    TvlOutlineDrag &operator=(const TvlOutlineDrag &) = delete;
    // A drag still running when its provider goes leaves no outline behind.
    ~TvlOutlineDrag();
};

// A window that holds a disabled form inside it (the form's parent, or one
// of that parent's own): the form hears nothing when its holder moves, hides
// or is minimized, so the provider's veil, a window of the screen, is laid
// again after each placement of the holder.
class TvlVeilHolder {
public:
    TvlVeilHolder(TsSkinProvider &Provider, HWND Window);
    TvlVeilHolder(const TvlVeilHolder &) = delete;
    TvlVeilHolder &operator=(const TvlVeilHolder &) = delete;
    HWND Window() const { return FSubclass.Handle(); }
    const vcl::TLifeMark &LifeMark() const { return FLife; }

private:
    void WndProc(vcl::TMessage &Message);
    TsSkinProvider &FProvider;  // whose member this is
    vcl::TLifeMark FLife;
    vcl::TWindowSubclass FSubclass;
};

// What the form's WindowProc holds while a provider serves it: it calls the
// provider's FormWndProc. A provider released while another procedure sits
// in front of it leaves the relay behind, orphaned, passing every message
// to the procedure the provider had replaced (kept until the module ends).
struct TvlFormProcRelay {
    TsSkinProvider *Provider = nullptr;  // not owned; null once orphaned
    vcl::TWndMethod Saved;               // what it passes on once orphaned
    void Call(vcl::TMessage &Message);
};

} // namespace skin
