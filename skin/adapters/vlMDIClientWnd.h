#pragma once
// TvlMDIWnd: the adapter of a skinned MDI parent's client window. Its
// background and edge are copied from the form provider's frame image at
// the client's place (where the frame renderer painted the form's face),
// its scroll bars are the skinned ones, and it keeps the form's frame, menu
// line and system menu in step when children are made, tiled, cascaded or
// maximized. What it asks of the MDI form component and of the border
// form goes through the provider. Windows only.
#include <windows.h>

#include "vlScrollWnd.h"

namespace vcl {
class TCustomForm;
}

namespace skin {

class TsSkinProvider;

class TvlMDIWnd : public TvlBaseWnd {
public:
    // Lets go of the provider before the window is given back.
    ~TvlMDIWnd() override;
    bool OwnMessage(vcl::TMessage &Message) override;

    // The client window's rectangle at (0, 0).
    vcl::TRect ClientRectangle() const;
    // Where the client's top-left lies in the provider's frame image.
    vcl::TPoint OffsetInCache() const;
    // The form's face behind the client into DC (client rectangle); with
    // NoEdge the window's whole rectangle, else the inside of a client edge.
    // False when the form's render freed this adapter.
    bool PaintMDIBackground(HDC DC, bool NoEdge);
    // The 2-pixel client edge into the window DC.
    void PaintMDIEdge(HDC DC);
    // The active child is maximized.
    bool ChildMaximized() const;

    vcl::TCustomForm *Form = nullptr;   // not owned: the MDI parent
    TsSkinProvider *Provider = nullptr;  // not owned: its provider
    TsCommonData *FormData = nullptr;    // not owned: the provider's skin data

private:
    bool ClientSkinCommand(vcl::TMessage &Message);
    // The arrangement changed: the frame and the form follow.
    void Arranged();
    // The skin gives no face of its own and the form's image may not serve.
    bool FallBackToFormColor() const;
    // The dragged thumb's position (LParam, whole) taken: the children
    // moved by the pixels from the old position, the bar set to it.
    void ThumbScroll(vcl::TMessage &Message);
    // A thumb scroll of the engine runs.
    bool EngineScroll = false;
};

} // namespace skin
