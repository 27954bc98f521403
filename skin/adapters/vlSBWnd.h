#pragma once
// TvlSBWnd: the adapter of a stand-alone scroll-bar control (the class
// library's TScrollBar, the kind "ScrollBar"). It paints the control's
// whole face from the skin (arrows, the track in two halves split at the
// thumb's centre, the thumb) with hot and pressed states per part; the
// control's own procedure still does the scrolling and tracking, with its
// drawing held off while it changes its scroll information. Windows only.
#include <windows.h>

#include <cstdint>

#include "vlSBUtils.h"

namespace vcl {
class TScrollBar;
}

namespace skin {

class TvlSBWnd : public TvlMainWnd {
public:
    // Gives the control its own TabStop back.
    ~TvlSBWnd() override;
    // "CHECKBOX" when none was given; the control leaves the tab order
    // while skinned.
    void SetDefaultSection() override;
    bool OwnMessage(vcl::TMessage &Message) override;

    // The parts along the control (window coordinates).
    struct TLayout {
        vcl::TRect FirstArrow, SecondArrow, TrackBefore, TrackAfter, Thumb;
        int Arrow = 0;      // one arrow's length
        int Track = 0;      // the length between the arrows
        int ThumbSize = 0;
        int Centre = 0;     // the thumb's centre along the control
    };
    TLayout Layout() const;
    bool Vertical() const;
    // The position a point along the control stands for (relative: a drag
    // subtracts the press's); 64-bit, as the control may span every 32-bit
    // position.
    std::int64_t PositionAt(int Along) const;

    int Position = 0;  // drawn; follows Pos except while the thumb is tracked
    int TrackBeforeState = 0, TrackAfterState = 0, FirstArrowState = 0, SecondArrowState = 0, ThumbState = 0;
    int Min = 0, Max = 0, Page = 0, Pos = 0;
    vcl::TGuarded<vcl::TScrollBar> ScrollBar;  // not owned: the application may free it first
    bool IgnoreRedraw = false;
    int RedrawOffCount = 0;
    std::int64_t DragOffset = 0;
    int PendingCode = SB_ENDSCROLL;

private:
    enum TPart { ptNone, ptFirst, ptSecond, ptThumb, ptBefore, ptAfter };
    int ArrowSize() const;
    TPart PartAt(vcl::TPoint P) const;
    void SetPartState(TPart Part, int State);
    bool HotControl() const;
    void Repaint();
    // Picture: DC is a print's or a snapshot's, painted even while the
    // control is hidden. False when the parent's answer about what lies
    // behind freed the adapter.
    bool Paint(HDC DC, bool Picture = false);
    void Press(vcl::TMessage &Message);
    void Release(vcl::TPoint P);
    void Hover(vcl::TMessage &Message);
    void SetScrollInfoWrapped(vcl::TMessage &Message);
    // The control's Min, Max, PageSize and Position set to the copies.
    void ControlFollowsCopies();
    // The message on to the control with its drawing held off, then the
    // face redrawn; a WM_SETREDRAW(False) from before stays in force.
    void PassOnRedrawHeld(vcl::TMessage &Message);
    void ReadScrollInfo();
    bool SkinCommand(vcl::TMessage &Message);
    // SC_PARENT_UPDATE_DONE: the face drawn once the parents are ready.
    void ParentUpdateDone();

    bool FSavedTabStop = false;
    bool FTabStopTaken = false;
    bool FSyncingControl = false;
};

} // namespace skin
