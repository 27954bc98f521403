#pragma once
// The adapters of windows that only show something: the system's static
// controls of dialogs (TvlStaticWnd for text, TvlEdgeWnd for etched lines
// and frames, TvlIconWnd for icons and bitmaps), link windows (TvlLinkWnd)
// and the class library's static text (TvlStaticTextWnd). Each paints what
// lies behind it, or its section, into its skin data's cache, draws its
// content over that and copies the result to the window.
//
// A static that takes the focus (WS_TABSTOP) or has the system's edge
// (WS_EX_STATICEDGE) is left to the system. Windows only.
#include <windows.h>

#include <functional>
#include <memory>

#include "vlSBUtils.h"

namespace vcl {
class TBitmap;
class TWinControl;
}

namespace skin {

class TvlStaticWnd : public TvlMainWnd {
public:
    // "TRANSPARENT" when no section was given, then the base's.
    void SetDefaultSection() override;
    bool OwnMessage(vcl::TMessage &Message) override;

    // The picture into DC (null: the window's DC): the cache built over what
    // lies behind, the content drawn, the cache copied once built.
    virtual void PaintStatic(HDC DC);
    // The content over the cache; false when there is none to show.
    virtual bool DrawContent();

protected:
    // The cache built for the window's size and the content drawn over it;
    // false when the parent's background is not ready yet.
    bool BuildStaticCache();
    // The previous procedure, then the picture rebuilt and shown at once.
    void PassOnAndRedraw(vcl::TMessage &Message);
};

class TvlEdgeWnd : public TvlStaticWnd {
public:
    bool OwnMessage(vcl::TMessage &Message) override;
    // Only the four 2 px strips of the cache: the line itself is the
    // system's, drawn first, and keeps the skin's background around it.
    void PaintStatic(HDC DC) override;
};

class TvlIconWnd : public TvlStaticWnd {
public:
    ~TvlIconWnd() override;
    void SetDefaultSection() override;
    bool OwnMessage(vcl::TMessage &Message) override;
    // A bitmap static draws its own copy of the static's bitmap (the
    // application keeps its own), blended by its alpha when it has any; an
    // icon static the icon at its size.
    bool DrawContent() override;

    bool IsBitmap = false;
    std::unique_ptr<vcl::TBitmap> Image;  // the copy, made on first use
};

class TvlLinkWnd : public TvlStaticWnd {
public:
    bool OwnMessage(vcl::TMessage &Message) override;
    // The text underlined, without its link tags.
    bool DrawContent() override;
};

class TvlStaticTextWnd : public TvlMainWnd {
public:
    ~TvlStaticTextWnd() override;
    // With an owner control: its section chosen by its bevels when none
    // was given.
    void SetDefaultSection() override;
    bool OwnMessage(vcl::TMessage &Message) override;

    // The section (or the control's colour) over what lies behind, then the
    // text; false while the parent has no picture yet (the paint lock is
    // then set), and false when the parent's answer freed the adapter.
    bool BuildCache();
    // The frame strips into DC (null: the window's DC).
    void PaintFrame(HDC DC);
    // The client part into DC, with the graphic children over it.
    void PaintClient(HDC DC);

    // Not owned: the wrapped control, or none. Guarded: the application may
    // free it inside a message the adapter passes on (a child's paint).
    vcl::TGuarded<vcl::TWinControl> StaticText;

private:
    bool SkinCommand(vcl::TMessage &Message);
};

// Painting shared by the adapters of containers.
// Half the difference between the window's and its client area's width.
int FrameWidthOf(HWND Window);
// The four strips of width B of the cache's Width x Height frame into DC.
void CopyCacheBorder(TsCommonData &Data, HDC DC, int Width, int Height, int B);
// The whole window invalidated and validated by an empty paint, whose
// WM_ERASEBKGND paints it.
void PaintThroughErase(HWND Window);

// The painters of an adapter painted through its erase.
struct TvlErasePainters {
    TvlErasePainters(vcl::TMethod<void(HDC)> AClient, vcl::TMethod<void(HDC)> AFrame)
        : Client(AClient), Frame(AFrame) {}
    vcl::TMethod<void(HDC)> Client;  // the client area into a DC
    vcl::TMethod<void(HDC)> Frame;   // the frame into a DC; null DC: the window's own
    // WM_PRINT: the picture rebuilt, the client area inside the frame,
    // then the frame; off: the client area alone at the DC's origin.
    bool PrintsFrame = true;
    // Where the client area starts in a printed DC; empty: the frame's
    // width (FrameWidthOf) on both axes.
    vcl::TMethod<vcl::TPoint()> ClientOrigin;
};
// The four paint messages of such an adapter: WM_ERASEBKGND paints the
// client area (Result 1), WM_PAINT lets the erase paint (PaintThroughErase),
// WM_NCPAINT paints the frame into the window, WM_PRINT as PrintsFrame says
// (Result 0 for the last three). False for any other message.
bool RouteErasePaint(vcl::TMessage &Message, TvlMainWnd &Adapter, const TvlErasePainters &Paint);
// The DC has nothing to paint into.
bool EmptyClip(HDC DC);
// The section lets the parent show through in its normal state: a move or
// a resize changes what the picture holds.
bool SectionSeesThrough(const TsCommonData &Data);
// The client part of a container's cache (from Frame inward) into DC,
// leaving out opaque children; Control's graphic children painted over it
// and its children told that the parent's update is done. Rebuilt first
// through Rebuild when the background changed or when the DC shows only a
// part of a control that takes its parent's background. ByLastPass (the
// panel's way): the partial-paint flag is read as the last pass left it
// before this pass sets it, so a control left out of a pass (or shown in
// part) is rebuilt on the pass after; its graphic children are then painted
// only while it is visible.
void PaintContainerClient(TvlMainWnd &Adapter, HDC DC, int Frame, const std::function<bool()> &Rebuild,
                          bool ByLastPass = false);

} // namespace skin
