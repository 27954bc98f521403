#pragma once
// TvlBorderForm: the extended border of a skinned window. It owns one
// hidden border window: a borderless, layered tool window owned by the
// owner's window, larger than it by the skin's shadow margins, that shows
// the owner's whole frame image with the shadow around it through
// UpdateLayeredWindow. Its window region has a hole where the owner's
// client area is. It takes the mouse first: sizing zones in the extended
// border, the caption and its buttons (the owner says which), a drag from
// a maximized owner's caption after 6 pixels; in the outer shadow it lets
// the mouse through to the windows below. Mouse messages it does not act
// on go to the owner with the code -1 (the owner asks HitTest for the real
// one). The owner is a form provider or, later, a dialog adapter: both
// implement TvlBorderOwner. Windows only.
#include <windows.h>

#include <cstdint>
#include <memory>

#include "vcl/ControlTypes.h"
#include "vcl/LifeMark.h"
#include "vcl/Messages.h"
#include "vlBorderGeometry.h"

namespace vcl {
class TBitmap;
class TCustomForm;
class TForm;
}

namespace skin {

class TsSkinManager;

// The code a border window answers WM_NCHITTEST with for itself.
inline constexpr int htBorderWindow = 19;
// The code of a mouse message forwarded to the owner: ask HitTest.
inline constexpr int htAskBorderForm = -1;
// What BorderButtonCode answers over a caption button that answers
// HTNOWHERE (a dialog's close that may not close): a button all the same,
// not the caption under it.
inline constexpr int htInertButton = -2;

// What the border form asks of its owner.
class TvlBorderOwner {
public:
    virtual ~TvlBorderOwner() = default;
    // The owner's window; null while it has none.
    virtual HWND BorderOwnerWindow() const = 0;
    // A form provider's form; null for a dialog owner.
    virtual vcl::TCustomForm *BorderOwnerForm() const { return nullptr; }
    virtual TsSkinManager *BorderSkinManager() const = 0;
    // The shadow margins M (left, top, right, bottom) around the owner.
    virtual vcl::TRect BorderShadowMargins() const = 0;
    // From the border window's top-left to the owner window's.
    virtual vcl::TPoint BorderOffset() const = 0;
    // The caption as the frame image draws it, and the window's own.
    virtual int BorderCaptionHeight() const = 0;
    virtual int BorderNativeCaptionHeight() const { return BorderCaptionHeight(); }
    virtual int BorderNativeBorderWidth() const = 0;
    // The owner's border width (b) and the skin's side excess (e).
    virtual int BorderOwnerWidth() const = 0;
    virtual int BorderSideExcess() const { return 0; }
    virtual vcl::TRect BorderIconRect() const = 0;  // border-window coordinates
    virtual std::uint32_t BorderStateFlags() const = 0;
    // The owner's frame image, shadow margins included, rendered when
    // stale; null when there is none.
    virtual vcl::TBitmap *BorderFrameImage() = 0;
    // The code of the caption button under P (border-window coordinates):
    // the owner's system and title buttons and title-bar items; 0 over none,
    // htInertButton over one that answers HTNOWHERE.
    virtual int BorderButtonCode(vcl::TPoint P) = 0;
    virtual void SetBorderHotButton(int Code, bool Repaint) = 0;
    // The owner's client area, border-window coordinates.
    virtual vcl::TRect BorderClientRect() const = 0;
    // The region's hole: the client area, and what else of the owner's
    // window shows itself (a menu line).
    virtual vcl::TRect BorderHoleRect() const { return BorderClientRect(); }
    // A size grip under P answers HTBOTTOMRIGHT.
    virtual bool BorderOverGrip(vcl::TPoint P) const { return (void)P, false; }
    // A provider's OnExtHitTest: a non-zero Result is the answer.
    virtual void BorderExtHitTest(vcl::TMessage &Message) { (void)Message; }
    // A caption press: true when the owner ran a blended move of its own
    // (the drag through the border window) and the press is spent.
    virtual bool BorderBlendedMove() { return false; }
    // The same after a drag restored a maximized owner: only a blend that
    // shows moves it so; false leaves the restored window to the system.
    virtual bool BorderBlendedMoveFromMaximized() { return BorderBlendedMove(); }
    // The border window is asked to move (WM_WINDOWPOSCHANGING): a provider
    // dragged through it snaps the request.
    virtual void BorderPosChanging(WINDOWPOS &Pos) { (void)Pos; }
    // The border window moved: a provider's glued forms follow.
    virtual void BorderMoved() {}
    // The border form goes or its window moved: the fades drawn over its
    // window go. True when one went: the frame then shows the look the fade
    // had (a hot button) and must be rendered again.
    virtual bool BorderFreeFades() { return false; }
    // An animation shows the whole image: true when the owner painted its
    // client area into Image itself (where its window cannot be copied);
    // false lets the border copy it from the owner's window.
    virtual bool BorderPaintClientInto(vcl::TBitmap &Image) { return (void)Image, false; }
    // A stay-on-top owner: where its border window goes again after each of
    // its own moves (HWND_TOP, or onto the owner's window); false for others.
    virtual bool BorderStayOnTopPlace(HWND &InsertAfter) const { return (void)InsertAfter, false; }
    // A provider's part of the state the update reads.
    virtual void BorderUpdateGuards(TvlBorderUpdateState &State) const { (void)State; }
    // The owner is going: it frees its border form (this one) now.
    virtual void BorderRemove() {}
    // The border window went with the hidden owner: the owner's frame image
    // counts as stale.
    virtual void BorderWindowFreed() {}
    // A double click: an outline drag of the owner's still running ends at
    // the cursor first; then the caption's (maximize or restore, as the
    // owner's system menu allows) and a title-bar item's, At the screen point.
    virtual void BorderEndOutlineDrag() {}
    virtual void BorderCaptionDoubleClick(LPARAM At) { (void)At; }
    virtual void BorderItemDoubleClick(int Code, LPARAM At) { (void)Code, (void)At; }
    // A stay-on-top form that is the active window.
    virtual bool BorderStayOnTopActive() const { return false; }
};

class TvlBorderForm {
public:
    explicit TvlBorderForm(TvlBorderOwner &Owner);
    ~TvlBorderForm();
    TvlBorderForm(const TvlBorderForm &) = delete;
    TvlBorderForm &operator=(const TvlBorderForm &) = delete;
    const vcl::TLifeMark &LifeMark() const { return FLife; }

    // Brings the border window up to date (made when missing): its place
    // around the owner, its image (Repaint, or a new size) at the constant
    // alpha, its region, and its z-order right above the owner.
    void UpdateBorder(bool Repaint, std::uint8_t Alpha = 255);
    // The border window's region (owned by the caller); null without a window.
    HRGN CreateRegion();
    // The hit-test code of the record's screen point; -1 when none applies.
    int HitTest(const vcl::TMessage &Message);
    // The point (border-window coordinates) lies in the outer shadow.
    bool InOuterShadow(vcl::TPoint P);
    HWND Window() const;
    const TvlBorderOwner &Owner() const { return FOwner; }
    // The border window goes (a minimized or hidden owner); UpdateBorder
    // makes it again.
    void FreeWindow();
    // The border window, made when missing.
    HWND MakeWindow();
    // The border window handed over to an animation that frees it: its
    // saved owner (when there is one) and window procedure back; null
    // without a window.
    std::unique_ptr<vcl::TForm> TakeWindow();
    TvlBorderSkin SkinValues() const;
    // The region again, as the owner's state now asks (a whole image while
    // it blends on moving, else with the hole).
    void ApplyRegion();
    // The owner is placed anew while an edge's double click holds it
    // stretched: the stretch ends (EndEdgeStretch, Pos corrected); false
    // when it was not stretched.
    bool EndEdgeStretch(WINDOWPOS &Pos, int OwnerTop);

    // Where the last positioning request put the border window.
    vcl::TPoint FormPos{};
    vcl::TPoint LastPoint{-9999, -9999};
    bool Moving = false;
    bool RegionBusy = false;
    bool ClippedAtWorkArea = false;
    bool CaptionDragPending = false;
    bool Updating = false;
    bool RegionDirty = false;

private:
    void CreateBorderWindow();
    void BorderWndProc(vcl::TMessage &Message);
    void BorderMessage(vcl::TMessage &Message);
    // The border window's form goes, now or, inside one of its own
    // messages, once that message is done.
    void DropForm();
    // The mouse message on to the owner's window with Code in WParam.
    void ToOwner(const vcl::TMessage &Message, int Code);
    bool OwnerMaximized() const;
    void StartDragFromMaximized(vcl::TPoint Cursor);
    void DoubleClick(const vcl::TMessage &Message);
    // WM_WINDOWPOSCHANGED of the border window.
    void PositionChanged(vcl::TMessage &Message);
    // WM_SHOWWINDOW of the border window: true when it is not passed on.
    bool ShowWindowConsumed(vcl::TMessage &Message);
    // An animation shows the whole image: the client area into it, as the
    // owner's window shows it.
    void TakeClientIn(vcl::TBitmap &Image);
    void ShowBesideHiddenOwner(HWND InsertAfter);
    // Desktop blur behind the frame as the skin asks, else none.
    void ApplyBlurBehind(vcl::TBitmap &Image);
    // One update; false when the owner freed this object in it.
    bool UpdateOnce(bool Repaint, std::uint8_t Alpha);
    // SetWindowPos on the border window, then the owner right behind it
    // where the DPI scaling would misorder the two.
    void Place(HWND InsertAfter, int X, int Y, int W, int H, UINT Flags);

    TvlBorderOwner &FOwner;
    std::unique_ptr<vcl::TForm> FForm;
    vcl::TWndMethod FOldWindowProc;
    HWND FOldParent = nullptr;
    TvlEdgeMaximize FEdgeMaximize;  // what an edge's double click saved
    bool FRerender = false;  // fades went while an update ran: render after it
    bool FPlacing = false;   // the border window is placed again from its own move
    int FInMessage = 0;      // messages of the border window under way
    // A handler that called what may free this object (the owner's removal
    // of its borders) asks before it goes on.
    vcl::TLifeMark FLife;
};

} // namespace skin
