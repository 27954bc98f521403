#include "vlSnapshots.h"

#include <algorithm>
#include <vector>

#include "sMessages.h"
#include "sSkinServices.h"
#include "sSkinCommands.h"
#include "skin/graphics/sSkinCommand.h"
#include "skin/graphics/vlParentBackground.h"
#include "skin/graphics/vlPixelHelpers.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/Controls.h"
#include "vcl/Forms.h"
#include "vcl/GdiObjects.h"

namespace skin {
namespace {

// A child's paint may paint its parent again; that nested pass is left out.
bool ChildPaintRunning = false;

struct TReentryGuard {
    TReentryGuard() { ChildPaintRunning = true; }
    ~TReentryGuard() { ChildPaintRunning = false; }
    TReentryGuard(const TReentryGuard &) = delete;
    TReentryGuard &operator=(const TReentryGuard &) = delete;
};

// No control of the class library here hides itself at design time, so no
// child is left out for that.
bool Qualifies(const vcl::TControl &Child, HDC DC, vcl::TPoint Offset) {
    if (dynamic_cast<const vcl::TWinControl *>(&Child)) return false;
    if (!Child.Visible() && !Child.ComponentState().Contains(vcl::csDesigning)) return false;
    if (Child.Width() <= 0 || Child.Height() <= 0 || Child.ComponentState().Contains(vcl::csDestroying)) return false;
    const vcl::TRect b = Child.BoundsRect();
    const RECT inDC{b.Left + Offset.X, b.Top + Offset.Y, b.Right + Offset.X, b.Bottom + Offset.Y};
    return RectVisible(DC, &inDC) != 0;
}

void FillSolid(HDC DC, const vcl::TRect &R, vcl::TColor Colour) {
    const vcl::TBrushHandle brush(CreateSolidBrush(static_cast<COLORREF>(vcl::ColorToRGB(Colour) & 0xFFFFFF)));
    const RECT r{R.Left, R.Top, R.Right, R.Bottom};
    FillRect(DC, &r, brush.Get());
}

// What lies behind Child in the off-screen copy, from the parent's answer.
void LayBackground(HDC DC, vcl::TControl &Child, const TvlBgQuery &Behind) {
    const vcl::TRect b = Child.BoundsRect();
    if (Child.ControlStyle().Contains(vcl::csOpaque)) {
        FillSolid(DC, b, GetControlColor(&Child));
        return;
    }
    if (!Behind.Image) {
        FillSolid(DC, b, Behind.Color);
        return;
    }
    const HDC image = Behind.Image->Canvas()->Handle();
    const int sx = b.Left + Behind.X, sy = b.Top + Behind.Y;
    if (Behind.Kind == bqImage) {
        BitBlt(DC, b.Left, b.Top, b.Width(), b.Height(), image, sx, sy, SRCCOPY);
        return;
    }
    // Only the image's margins hold real pixels (a border around a plain
    // colour): those bands are copied, the rest takes the colour.
    FillSolid(DC, b, Behind.Color);
    const vcl::TRect &limit = Behind.Margins;
    const int iw = Behind.Image->Width(), ih = Behind.Image->Height();
    const auto copyBand = [&](int Left, int Top, int Right, int Bottom) {
        Left = std::max(Left, b.Left), Top = std::max(Top, b.Top);
        Right = std::min(Right, b.Right), Bottom = std::min(Bottom, b.Bottom);
        if (Right > Left && Bottom > Top)
            BitBlt(DC, Left, Top, Right - Left, Bottom - Top, image, Left + Behind.X, Top + Behind.Y, SRCCOPY);
    };
    // The bands in Child's parent's coordinates: the image's margins moved
    // back by the answer's offset.
    copyBand(b.Left, b.Top, b.Right, limit.Top - Behind.Y);
    copyBand(b.Left, b.Top, limit.Left - Behind.X, b.Bottom);
    if (Behind.Y >= 0) copyBand(b.Left, ih - limit.Bottom - Behind.Y, b.Right, b.Bottom);
    if (Behind.X >= 0) copyBand(iw - limit.Right - Behind.X, b.Top, b.Right, b.Bottom);
}

// The child's own paint is the application's: it may free the child.
void PaintChild(HDC Memory, HDC Target, vcl::TControl &Child, bool Copy, vcl::TPoint Offset) {
    const vcl::TGuarded child(&Child);
    const vcl::TRect b = Child.BoundsRect();
    const RECT inTarget{b.Left + Offset.X, b.Top + Offset.Y, b.Right + Offset.X, b.Bottom + Offset.Y};
    if (!RectVisible(Target, &inTarget)) PerformSkinCommand(&Child, SC_SET_NOT_PAINTED, 0);
    if (!child) return;
    const int saved = SaveDC(Memory);
    OffsetViewportOrgEx(Memory, b.Left, b.Top, nullptr);
    IntersectClipRect(Memory, 0, 0, b.Width(), b.Height());
    vcl::TControlState state = Child.ControlState();
    const bool added = Copy && !state.Contains(vcl::csPaintCopy);
    if (added) {
        state.Include(vcl::csPaintCopy);
        Child.SetControlState(state);
    }
    Child.Perform(WM_PAINT, reinterpret_cast<WPARAM>(Memory), 0);
    if (added && child) {
        state = Child.ControlState();
        state.Exclude(vcl::csPaintCopy);
        Child.SetControlState(state);
    }
    RestoreDC(Memory, saved);
}

} // namespace

void PaintChildControls(HDC DC, vcl::TWinControl *Control, bool OnlyWhenVisible, vcl::TPoint Offset) {
    if (ChildPaintRunning || !DC || !Control) return;
    const TReentryGuard guard;
    if (OnlyWhenVisible && !Control->Visible() && !Control->ComponentState().Contains(vcl::csDesigning)) return;
    if (Control->ControlCount() == 0) return;
    RECT clip{};
    if (GetClipBox(DC, &clip) == NULLREGION || clip.right <= clip.left || clip.bottom <= clip.top) {
        if (Control->HandleAllocated()) SendSkinCommand(Control->WindowHandle(), SC_SET_NOT_PAINTED, 0);
        return;
    }
    // A copy: a child's painting may add or remove controls, or free them
    // (the parent too).
    const vcl::TGuarded parent(Control);
    std::vector<vcl::TGuarded<vcl::TControl>> children;
    for (int i = 0; i < Control->ControlCount(); ++i)
        if (Qualifies(*Control->Controls(i), DC, Offset)) children.emplace_back(Control->Controls(i));
    if (children.empty()) return;
    // An MDI parent's aligned bars change size with the client window
    // beside them: their images are made anew before they paint.
    if (const auto *form = dynamic_cast<const vcl::TCustomForm *>(Control); form && form->FormStyle() == vcl::fsMDIForm)
        for (const auto &child : children)
            if (child && child->Align() != vcl::alNone) PerformSkinCommand(child.Get(), SC_REPAINT, 0);

    TvlBgQuery behind;
    if (!parent || !QueryParentBackground(behind, Control, false, TvlAsker(Control))) return;
    const bool copy = Control->ControlState().Contains(vcl::csPaintCopy);
    vcl::TMemoryDC memory(nullptr);
    const vcl::TBitmapHandle bitmap(CreateCompatibleBitmap(vcl::TWindowDC().Get(), std::max(Control->Width(), 1),
                                                           std::max(Control->Height(), 1)));
    if (!memory || !bitmap) return;
    const vcl::TSelectObject selected(memory.Get(), bitmap.Get());
    for (const auto &child : children)
        if (child) LayBackground(memory.Get(), *child, behind);
    for (const auto &child : children)
        if (child && parent) PaintChild(memory.Get(), DC, *child, copy, Offset);
    for (const auto &child : children) {
        if (!child) continue;
        const vcl::TRect b = child->BoundsRect();
        // A child that left the key colour at its corner asks to be left out.
        // The corner is read where the child was painted in the memory
        // picture; the offset only places the copy in the target, and read
        // with it the test would look at another child's pixels.
        if ((GetPixel(memory.Get(), b.Left, b.Top) & 0xFFFFFF) == 0xFF00FF) continue;
        BitBlt(DC, b.Left + Offset.X, b.Top + Offset.Y, b.Width(), b.Height(), memory.Get(), b.Left, b.Top, SRCCOPY);
    }
}

} // namespace skin

namespace skin {
namespace {

// Where Window's client area lies inside its window rectangle.
vcl::TPoint ClientOffset(HWND Window) {
    RECT window{};
    POINT origin{0, 0};
    GetWindowRect(Window, &window);
    ClientToScreen(Window, &origin);
    return {origin.x - window.left, origin.y - window.top};
}

void PrintWindowTo(HDC DC, vcl::TWinControl &Control) {
    const HWND window = Control.WindowHandle();
    if (QuerySkinCommand(&Control, SC_IS_HANDLED)) {
        SendSkinCommand(window, SC_SET_PAINT_TARGET, reinterpret_cast<LPARAM>(DC));
        SendMessageW(window, WM_PRINT, reinterpret_cast<WPARAM>(DC), 0);
        SendSkinCommand(window, SC_SET_PAINT_TARGET, 0);
    } else {
        // The class library's painting already takes the child windows in;
        // they are painted once more over themselves.
        Control.PaintTo(DC, 0, 0);
    }
}

// The shown MDI children of an MDI parent over what the parent painted
// (which covers its whole client area), each at its place and the topmost
// last, inside the client window's client area as on the screen.
void PaintMDIChildrenToBitmap(vcl::TWinControl &Control, vcl::TBitmap &Bitmap) {
    const auto *form = dynamic_cast<const vcl::TCustomForm *>(&Control);
    if (!form || form->FormStyle() != vcl::fsMDIForm || !form->ClientHandle()) return;
    // Their windows, topmost first: painting may add or remove children.
    std::vector<HWND> children;
    for (int i = 0; i < form->MDIChildCount(); ++i)
        if (form->MDIChildren(i)->HandleAllocated()) children.push_back(form->MDIChildren(i)->WindowHandle());
    const HDC dc = Bitmap.Canvas()->Handle();
    RECT frame{}, client{};
    GetWindowRect(form->WindowHandle(), &frame);
    GetClientRect(form->ClientHandle(), &client);
    MapWindowPoints(form->ClientHandle(), nullptr, reinterpret_cast<POINT *>(&client), 2);
    const vcl::TSavedDC saved(dc);
    IntersectClipRect(dc, client.left - frame.left, client.top - frame.top, client.right - frame.left,
                      client.bottom - frame.top);
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        vcl::TWinControl *child = vcl::FindControl(*it);
        if (!child || !IsWindowVisible(*it)) continue;
        RECT r{};
        GetWindowRect(*it, &r);
        const vcl::TSavedDC placed(dc);
        OffsetViewportOrgEx(dc, r.left - frame.left, r.top - frame.top, nullptr);
        PaintControlToBitmap(Bitmap, child, child->Left(), child->Top(), nullptr);
    }
}

} // namespace

std::unique_ptr<vcl::TForm> TvlAnimDialog::TakeBorderWindow() { return nullptr; }

bool HasBorderForm(const TvlFormProvider &Provider) {
    return Provider.BorderWindow() || Provider.GetShadowMargins() != vcl::TRect{};
}

void PaintControlToBitmap(vcl::TBitmap &Bitmap, vcl::TControl *Control, int X, int Y, TvlFormProvider *Provider) {
    if (!Control) return;
    const HDC dc = Bitmap.Canvas()->Handle();
    const bool designing = Control->ComponentState().Contains(vcl::csDesigning);
    if (!Control->Visible() && !designing && Control->Parent() && !Provider) {
        TvlBgQuery behind;
        if (!QueryParentBackground(behind, Control->Parent(), false, TvlAsker(Control))) return;
        if (behind.Kind == bqImage && behind.Image) {
            BitBlt(dc, X, Y, Control->Width(), Control->Height(), behind.Image->Canvas()->Handle(),
                   Control->Left() + behind.X, Control->Top() + behind.Y, SRCCOPY);
        } else {
            const vcl::TBrushHandle brush(CreateSolidBrush(static_cast<COLORREF>(vcl::ColorToRGB(behind.Color) & 0xFFFFFF)));
            const RECT r{X, Y, X + Control->Width(), Y + Control->Height()};
            FillRect(dc, &r, brush.Get());
        }
        return;
    }
    const bool bordered = Provider && HasBorderForm(*Provider);
    if (!bordered) IntersectClipRect(dc, 0, 0, Control->Width(), Control->Height());
    auto *windowed = dynamic_cast<vcl::TWinControl *>(Control);
    if (!windowed) {
        const vcl::TGuarded alive(Control);
        PerformSkinCommand(Control, SC_SET_PAINT_TARGET, reinterpret_cast<LPARAM>(dc));
        if (alive) Control->Perform(WM_PRINT, reinterpret_cast<WPARAM>(dc), 0);
        if (alive) PerformSkinCommand(Control, SC_SET_PAINT_TARGET, 0);
        return;
    }
    if (!windowed->HandleAllocated()) return;
    // The window's print runs the application's code, which may free it.
    const vcl::TGuarded alive(windowed);
    // State the control keeps ahead of its window (a status bar's panels
    // set since the last pump) goes into the window before it is printed.
    windowed->FlushWindowUpdate();
    if (!alive) return;
    if (!bordered) {
        PrintWindowTo(dc, *windowed);
        if (alive) PaintChildWindowsToBitmap(Control, Bitmap);
        if (alive) PaintMDIChildrenToBitmap(*windowed, Bitmap);
        return;
    }
    // The image is the border's: the window, which prints itself in its own
    // coordinates, lies inside it at the frame offset.
    const HWND window = windowed->WindowHandle();
    const vcl::TPoint at{Provider->GetClientOffsetX(), Provider->GetClientOffsetY()};
    const vcl::TPoint offset = Provider->GetFrameOffset();
    {
        const vcl::TSavedDC saved(dc);
        OffsetViewportOrgEx(dc, offset.X, offset.Y, nullptr);
        PrintWindowTo(dc, *windowed);
        if (alive) PaintChildWindowsToBitmap(Control, Bitmap);
        if (alive) PaintMDIChildrenToBitmap(*windowed, Bitmap);
    }
    if (!alive) return;
    RECT client{};
    GetClientRect(window, &client);
    vcl::TRect r{at.X, at.Y, at.X + client.right, at.Y + client.bottom};
    r.Bottom = std::min(r.Bottom, Bitmap.Height() - 1);
    SetRectAlpha(Bitmap, r, 255);
}

void PaintChildWindowsToBitmap(vcl::TControl *Control, vcl::TBitmap &Bitmap) {
    auto *parent = dynamic_cast<vcl::TWinControl *>(Control);
    if (!parent || !parent->HandleAllocated()) return;
    const HDC dc = Bitmap.Canvas()->Handle();
    // Children lie in the client area, which a frame moves inside the window.
    const vcl::TPoint client = ClientOffset(parent->WindowHandle());
    // A copy: a child's print (the application's) may add, remove or free
    // controls, the parent too.
    const vcl::TGuarded alive(parent);
    std::vector<vcl::TGuarded<vcl::TControl>> children;
    for (int i = 0; i < parent->ControlCount(); ++i) children.emplace_back(parent->Controls(i));
    for (const auto &c : children) {
        if (!alive) return;
        auto *child = dynamic_cast<vcl::TWinControl *>(c.Get());
        if (!child || !child->HandleAllocated()) continue;
        if (!child->Visible() && !child->ComponentState().Contains(vcl::csDesigning)) continue;
        const vcl::TSavedDC saved(dc);
        const auto *form = dynamic_cast<vcl::TCustomForm *>(child);
        if (!form || form->Parent())
            OffsetViewportOrgEx(dc, client.X + child->Left(), client.Y + child->Top(), nullptr);
        PaintControlToBitmap(Bitmap, child, child->Left(), child->Top(), nullptr);
    }
}

void SnapshotDialogWindow(TvlAnimDialog &Dialog, vcl::TBitmap &Bitmap, bool FromScreen) {
    const HWND window = Dialog.DialogWindow();
    if (!window) return;
    const vcl::TPoint at = Dialog.FrameOffset();
    RECT client{};
    GetClientRect(window, &client);
    vcl::TRect inBitmap{at.X, at.Y, std::min(at.X + static_cast<int>(client.right), Bitmap.Width()),
                        std::min(at.Y + static_cast<int>(client.bottom), Bitmap.Height())};
    if (FromScreen) {
        const vcl::TWindowDC source(window, GetWindowDC(window));
        const vcl::TPoint offset = ClientOffset(window);
        BitBlt(Bitmap.Canvas()->Handle(), at.X, at.Y, client.right, client.bottom, source.Get(), offset.X, offset.Y,
               SRCCOPY);
        SetRectAlpha(Bitmap, inBitmap, 255);
        return;
    }
    // Asked first: the children's printing is the application's, which may
    // end the dialog and its adapter.
    const bool bordered = Dialog.HasBorderForm();
    vcl::TCanvas *canvas = Bitmap.Canvas();
    canvas->Lock();
    {
        const HDC dc = canvas->Handle();
        const vcl::TSavedDC saved(dc);
        OffsetViewportOrgEx(dc, at.X, at.Y, nullptr);
        IntersectClipRect(dc, 0, 0, client.right, client.bottom);
        Dialog.PrintChildWindows(dc);
    }
    canvas->Unlock();
    SetRectAlpha(Bitmap, bordered ? inBitmap : vcl::TRect{0, 0, Bitmap.Width(), Bitmap.Height()}, 255);
}

} // namespace skin
