#pragma once
// Off-screen pictures of controls. PaintChildControls paints the graphic
// (window-less) children of a windowed control into a DC: each child is
// drawn over its own background in one off-screen copy first, so that a
// transparent child that draws only its text never leaves what was in the
// DC (or nothing) behind it. PaintControlToBitmap paints a control with
// its child windows into a 32-bit picture, as the form animations show it;
// SnapshotDialogWindow fills a dialog's client part of its picture.
// Windows only.
#include <windows.h>

#include <memory>

#include "vcl/LifeMark.h"
#include "vcl/Types.h"

namespace vcl {
class TBitmap;
class TControl;
class TForm;
class TWinControl;
}

namespace skin {

// Offset: where Control's client origin lies in DC. OnlyWhenVisible: an
// invisible Control paints nothing. A DC whose clip box is empty paints
// nothing and tells Control that it was left out (SC_SET_NOT_PAINTED). A
// call made while another runs (a child painting its parent) does nothing.
void PaintChildControls(HDC DC, vcl::TWinControl *Control, bool OnlyWhenVisible, vcl::TPoint Offset);

class TsSkinManager;
class TvlFormProvider;

// The provider's form has an extended border: its frame image is the
// border's, the window lying inside it by the shadow margins.
bool HasBorderForm(const TvlFormProvider &Provider);

// Paints Control, its child windows and their children into Bitmap's
// canvas, Control's window origin at the canvas's origin (which the caller
// has placed), and over an MDI parent its shown MDI children as the screen
// stacks them, inside its client window; (X, Y) is Control's place in
// Bitmap, used only for an invisible control, which gets what its parent
// shows behind it. A skinned
// window prints itself (WM_PRINT with the DC as its paint target), any
// other paints as the class library does. Provider: the provider of the
// form being painted: with a border form Bitmap is its frame image, the
// window is painted at the shadow margins and its client part made opaque.
void PaintControlToBitmap(vcl::TBitmap &Bitmap, vcl::TControl *Control, int X, int Y, TvlFormProvider *Provider);
// Each visible child window of Control at its place in Control's client
// area, the client area at its offset inside Control's window.
void PaintChildWindowsToBitmap(vcl::TControl *Control, vcl::TBitmap &Bitmap);

// A skinned dialog as the layered animations see it (the dialog adapter
// implements it).
class TvlAnimDialog {
public:
    virtual ~TvlAnimDialog() = default;
    // For a vcl::TGuarded kept across the dialog's own procedure and its
    // children's, which are the application's.
    virtual const vcl::TLifeMark &LifeMark() const = 0;
    virtual HWND DialogWindow() const = 0;
    // The manager whose DialogHide the hide plays; null without one.
    virtual TsSkinManager *DialogManager() const = 0;
    // Renders the frame into the dialog's frame cache, and that cache (null
    // when there is none).
    virtual void RenderFrame() = 0;
    virtual vcl::TBitmap *FrameImage() const = 0;
    // The frame's left width and top height.
    virtual vcl::TPoint FrameOffset() const = 0;
    // Prints the dialog's child windows into DC, its client origin at DC's origin.
    virtual void PrintChildWindows(HDC DC) = 0;
    // Sets the dialog's window region from the skin again.
    virtual void UpdateRegion() = 0;
    // The snapshot form prepared for the hide (taken over), else a new one
    // over the dialog's window; null when none can be made.
    virtual std::unique_ptr<vcl::TForm> TakeSnapshotForm() = 0;
    // The border form's window handed over, its saved owner and window
    // procedure back; null without a border form or while it has no window.
    virtual std::unique_ptr<vcl::TForm> TakeBorderWindow();
    // The border form's window, made when missing, for a show to play in;
    // null without a border form.
    virtual HWND MakeBorderWindow() { return nullptr; }
    // The border form's lock: while set, the border leaves its window as it is.
    virtual void LockBorder(bool On) { (void)On; }
    // The border window brought up to date again (image, region, place).
    virtual void RefreshBorder() {}
    // The dialog has an extended border form (its window may be gone
    // between a hide and the next show).
    virtual bool HasBorderForm() const { return false; }
    // Where the window's top-left lies in FrameImage: the shadow margins of
    // an extended border, none without.
    virtual vcl::TPoint FrameOrigin() const { return {}; }
};

// The dialog's client part of Bitmap (the frame's offsets inside it), made
// opaque: from the screen (what its window shows) or printed from its
// child windows.
void SnapshotDialogWindow(TvlAnimDialog &Dialog, vcl::TBitmap &Bitmap, bool FromScreen);

} // namespace skin
