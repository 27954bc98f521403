#include "vlBorderForm.h"

#include <cstdlib>
#include <utility>

#include "skin/graphics/vlGraphUtils.h"
#include "skin/graphics/vlPixelHelpers.h"
#include "skin/manager/sModuleState.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/Forms.h"
#include "vcl/GdiObjects.h"
#include "vlDwmServices.h"

namespace skin {

namespace {

// The animation modes of the owner's state: blend on moving, minimize
// animation, animated skin change; and the hide animation.
constexpr std::uint32_t AnimationModes = 0x1180;
constexpr std::uint32_t HideAnimation = 0x200;
constexpr std::uint32_t BlendOnMoving = 0x80;
constexpr std::uint32_t MinimizeAnimation = 0x100;
// How far the cursor moves before a maximized caption's press drags.
constexpr int DragThreshold = 6;

vcl::TPoint PointOf(LPARAM LParam) { return {static_cast<short>(LOWORD(LParam)), static_cast<short>(HIWORD(LParam))}; }

bool IsButtonCode(int Code) {
    return Code == HTMINBUTTON || Code == HTMAXBUTTON || Code == HTCLOSE || Code == HTHELP ||
           (Code >= 1000 && Code <= 2100);
}

const wchar_t *CursorFor(int Code) {
    switch (Code) {
    case HTCAPTION:
    case HTMENU: return IDC_ARROW;
    case HTLEFT:
    case HTRIGHT: return IDC_SIZEWE;
    case HTTOP:
    case HTBOTTOM: return IDC_SIZENS;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT: return IDC_SIZENWSE;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT: return IDC_SIZENESW;
    default: return nullptr;
    }
}

} // namespace

TvlBorderForm::TvlBorderForm(TvlBorderOwner &Owner) : FOwner(Owner) { CreateBorderWindow(); }

TvlBorderForm::~TvlBorderForm() {
    FOwner.BorderFreeFades();
    DropForm();
}

void TvlBorderForm::FreeWindow() { DropForm(); }

void TvlBorderForm::DropForm() {
    if (!FForm) return;
    FForm->WindowProc = FOldWindowProc;
    if (FInMessage == 0) {
        FForm.reset();
        return;
    }
    // The owner went from inside a message of the border window (its
    // activation takes the owner's focus): the class library still works
    // on the form, which goes, hidden, once the message is done.
    vcl::TForm *form = FForm.release();
    SetWindowPos(form->WindowHandle(), nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    form->Release();
}

HWND TvlBorderForm::MakeWindow() {
    if (!FForm) CreateBorderWindow();
    return FForm->Handle();
}

std::unique_ptr<vcl::TForm> TvlBorderForm::TakeWindow() {
    if (!FForm) return nullptr;
    FForm->WindowProc = FOldWindowProc;
    if (FOldParent)
        SetWindowLongPtrW(FForm->Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(FOldParent));
    return std::move(FForm);
}

HWND TvlBorderForm::Window() const { return FForm && FForm->HandleAllocated() ? FForm->WindowHandle() : nullptr; }

void TvlBorderForm::CreateBorderWindow() {
    FForm.reset(vcl::Create<vcl::TForm>(nullptr, vcl::CreateNew));
    FForm->SetBorderStyle(vcl::bsNone);
    FForm->SetTag(256);  // the library's own helper form: never skinned
    const HWND window = FForm->Handle();
    SetWindowLongPtrW(window, GWL_EXSTYLE,
                      GetWindowLongPtrW(window, GWL_EXSTYLE) | WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TOOLWINDOW);
    SetClassLongPtrW(window, GCL_STYLE, GetClassLongPtrW(window, GCL_STYLE) & ~LONG_PTR{CS_DROPSHADOW});
    FOldParent = reinterpret_cast<HWND>(
        SetWindowLongPtrW(window, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(FOwner.BorderOwnerWindow())));
    FOldWindowProc = FForm->WindowProc;
    FForm->WindowProc = vcl::TWndMethod::Bind<&TvlBorderForm::BorderWndProc>(this);
}

TvlBorderSkin TvlBorderForm::SkinValues() const {
    TvlBorderSkin skin;
    const TsSkinManager *m = FOwner.BorderSkinManager();
    if (!m || !m->SkinData) return skin;
    const TsSkinData &d = *m->SkinData;
    skin.BorderWidth = d.BorderWidth;
    skin.BorderMode = d.BorderMode;
    skin.AlignLeft = d.AlignOffset;
    skin.AlignTop = d.AlignOffsetT;
    skin.AlignRight = d.AlignOffsetR;
    skin.AlignBottom = d.AlignOffsetB;
    return skin;
}

bool TvlBorderForm::OwnerMaximized() const {
    const HWND owner = FOwner.BorderOwnerWindow();
    return owner && IsZoomed(owner);
}

// ------------------------------------------------------------ the window

void TvlBorderForm::Place(HWND InsertAfter, int X, int Y, int W, int H, UINT Flags) {
    const HWND border = FForm->Handle();
    if (InsertAfter == border) Flags |= SWP_NOZORDER;
    const vcl::TGuarded alive(this);
    SetWindowPos(border, InsertAfter, X, Y, W, H, Flags);
    if (!alive) return;
    const TsSkinManager *m = FOwner.BorderSkinManager();
    if (m && m->DPIClass > 0 && !(Flags & SWP_NOZORDER))
        SetWindowPos(FOwner.BorderOwnerWindow(), border, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
}

void TvlBorderForm::UpdateBorder(bool Repaint, std::uint8_t Alpha) {
    if (Updating) return;
    if (!UpdateOnce(Repaint, Alpha)) return;
    // Fades that went while it ran took their looks along: the frame again.
    while (FRerender && !Updating) {
        FRerender = false;
        if (!UpdateOnce(true, 255)) return;
    }
}

bool TvlBorderForm::UpdateOnce(bool Repaint, std::uint8_t Alpha) {
    // A show or hide animation plays its own picture of the owner.
    if ((vcl::Application && vcl::Application->Terminated()) || ModuleState().FormAnimationActive) return true;
    const HWND owner = FOwner.BorderOwnerWindow();
    RECT frame{};
    if (!owner || !GetWindowRect(owner, &frame)) return true;
    TvlBorderUpdateState state;
    state.Visible = IsWindowVisible(owner);
    state.Minimized = IsIconic(owner);
    state.StateFlags = FOwner.BorderStateFlags();
    FOwner.BorderUpdateGuards(state);
    switch (BorderUpdateAction(state)) {
    case buSkip: return true;
    case buRemoveBorders: FOwner.BorderRemove(); return false;  // this object is gone
    case buFreeWindow:
        // A form hidden without animation takes its border along; its frame
        // is rendered again before it shows.
        FreeWindow();
        FOwner.BorderWindowFreed();
        return true;
    case buUpdate: break;
    }
    if (!FForm) CreateBorderWindow();
    // The frame's render runs the owner form's own painting, which may free
    // the owner's provider and this object with it.
    const vcl::TGuarded alive(this);
    Updating = true;
    struct TClear {
        bool &Flag;
        const vcl::TGuarded<TvlBorderForm> &Alive;
        ~TClear() {
            if (Alive) Flag = false;
        }
    } clear{Updating, alive};

    vcl::TBitmap *image = FOwner.BorderFrameImage();
    if (!alive) return false;
    if (!image || image->Empty()) return true;
    if (state.StateFlags & AnimationModes) TakeClientIn(*image);
    if (!alive) return false;  // the client's picture ran its children's painting
    const HWND border = FForm->Handle();
    const vcl::TPoint offset = FOwner.BorderOffset();
    const int x = frame.left - offset.X, y = frame.top - offset.Y;
    const int w = image->Width(), h = image->Height();
    const bool topmost = GetWindowLongPtrW(owner, GWL_EXSTYLE) & WS_EX_TOPMOST;
    const bool stayOnTop = FOwner.BorderStayOnTopActive();
    const UINT keep = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING;
    // The owner's placement runs its own procedure, which may free the
    // owner's server and this object with it; so may the border's.
    if (stayOnTop) SetWindowPos(owner, HWND_TOP, 0, 0, 0, 0, keep);
    else if (topmost) SetWindowPos(owner, HWND_TOPMOST, 0, 0, 0, 0, keep);
    if (!alive) return false;
    const TvlBorderZOrder z = BorderZOrder(stayOnTop, topmost, state.Minimized, state.StateFlags);
    HWND after = owner;
    if (z.Anchor == baTop) after = HWND_TOP;
    if (z.Anchor == baTopmost) after = HWND_TOPMOST;
    if (z.Anchor == baAboveOwner) after = GetWindow(owner, GW_HWNDPREV);
    RECT was{};
    GetWindowRect(border, &was);
    const bool newSize = was.right - was.left != w || was.bottom - was.top != h;
    UINT flags = SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING;
    if (z.NoZOrder) flags |= SWP_NOZORDER;
    if (!Repaint) flags |= SWP_NOREDRAW;
    const UINT show = state.Visible ? SWP_SHOWWINDOW : 0;
    if (!LayeredWindowsAvailable() || !(Repaint || newSize) || RegionBusy) {
        Place(after, x, y, 0, 0, flags | SWP_NOSIZE | show);
        return static_cast<bool>(alive);
    }
    // The size compared is the window's own, as the system keeps it (a
    // maximized owner's border too, larger than the screen): a size set
    // again when they agree would be a placement that changes nothing.
    if (newSize) SetWindowPos(border, nullptr, x, y, w, h, flags | SWP_NOZORDER);
    if (!alive) return false;
    // A form of its own alpha keeps it in its border too.
    if (const vcl::TCustomForm *form = FOwner.BorderOwnerForm(); form && form->AlphaBlend()) Alpha = form->AlphaBlendValue();
    ApplyBlurBehind(*image);
    // A blended move shows the whole image from its first frame on: the
    // hole goes before that frame; every other mode shapes the window after.
    const std::uint32_t modes = state.StateFlags & AnimationModes;
    if (modes & BlendOnMoving) ApplyRegion();
    BLENDFUNCTION blend{AC_SRC_OVER, 0, Alpha, AC_SRC_ALPHA};
    POINT position{x, y}, source{0, 0};
    SIZE size{w, h};
    // Through the bound function, which a test may watch.
    if (const auto update = LayeredWindowFunctions().UpdateLayeredWindow) {
        const vcl::TWindowDC screen;
        update(border, screen.Get(), &position, &size, image->Canvas()->Handle(), &source, 0x1FFFFFFF, &blend,
               ULW_ALPHA);
    }
    if (!alive) return false;
    if (modes != BlendOnMoving) ApplyRegion();
    if (!alive) return false;
    if (state.Visible) Place(after, 0, 0, 0, 0, flags | SWP_NOMOVE | SWP_NOSIZE | show);
    else if (!Repaint) ShowBesideHiddenOwner(after);
    return static_cast<bool>(alive);
}

void TvlBorderForm::TakeClientIn(vcl::TBitmap &Image) {
    if (FOwner.BorderPaintClientInto(Image)) return;
    const HWND owner = FOwner.BorderOwnerWindow();
    const vcl::TRect c = FOwner.BorderClientRect();
    const vcl::TWindowDC dc(owner);
    if (!dc.Get()) return;
    BitBlt(Image.Canvas()->Handle(), c.Left, c.Top, c.Width(), c.Height(), dc.Get(), 0, 0, SRCCOPY);
    GdiFlush();
    SetRectAlpha(Image, c, 255);
}

void TvlBorderForm::ShowBesideHiddenOwner(HWND InsertAfter) {
    // An animation shows the hidden owner through its border: the border
    // window shows as it would beside a visible owner, which stays hidden.
    const HWND owner = FOwner.BorderOwnerWindow();
    const LONG_PTR style = GetWindowLongPtrW(owner, GWL_STYLE);
    SetWindowLongPtrW(owner, GWL_STYLE, style | WS_VISIBLE);
    SetWindowPos(FForm->Handle(), InsertAfter, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    SetWindowLongPtrW(owner, GWL_STYLE, style & ~LONG_PTR{WS_VISIBLE});
}

void TvlBorderForm::ApplyBlurBehind(vcl::TBitmap &Image) {
    const TsSkinManager *m = FOwner.BorderSkinManager();
    const bool blur = m && m->SkinData && m->Effects()->AllowAeroBluring && m->SkinData->AeroBlur;
    HRGN region = nullptr;
    if (blur) {
        // What the skin's frame lets through is blurred, not its black.
        GdiFlush();
        region = CreateRectRgn(0, 0, 0, 0);
        for (const vcl::TRect &r : BlurBehindRects(Image.View(), FOwner.BorderShadowMargins(), m->SkinData->FormOffset)) {
            const vcl::TRegionHandle part(CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom));
            CombineRgn(region, region, part.Get(), RGN_OR);
        }
    }
    EnableBlurBehind(FForm->Handle(), blur, region);
}

HRGN TvlBorderForm::CreateRegion() {
    const HWND border = Window();
    RECT r{};
    if (!border || !GetWindowRect(border, &r)) return nullptr;
    const int w = r.right - r.left, h = r.bottom - r.top;
    const vcl::TRect m = FOwner.BorderShadowMargins();
    const vcl::TRect keep = OwnerMaximized() ? MaximizedBorderRect(w, h, m, FOwner.BorderOwnerWidth(),
                                                                   FOwner.BorderSideExcess())
                                             : vcl::TRect{0, 0, w, h};
    HRGN region = CreateRectRgn(keep.Left, keep.Top, keep.Right, keep.Bottom);
    const std::uint32_t state = FOwner.BorderStateFlags();
    if (!(state & (AnimationModes | HideAnimation))) {
        const vcl::TRect c = FOwner.BorderHoleRect();
        const vcl::TRegionHandle hole(CreateRectRgn(c.Left, c.Top, c.Right, c.Bottom));
        CombineRgn(region, region, hole.Get(), RGN_XOR);
        return region;
    }
    // While an animation shows the whole image: nothing above the work area.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(border, MONITOR_DEFAULTTONEAREST), &monitor);
    ClippedAtWorkArea = r.top < monitor.rcWork.top;
    if (ClippedAtWorkArea) {
        const vcl::TRegionHandle band(CreateRectRgn(0, 0, w, monitor.rcWork.top - r.top));
        CombineRgn(region, region, band.Get(), RGN_XOR);
    }
    return region;
}

void TvlBorderForm::ApplyRegion() {
    const HWND border = Window();
    if (!border) return;
    RegionDirty = false;
    vcl::SetWindowRegion(border, vcl::TRegionHandle(CreateRegion()), true);
}

// --------------------------------------------------------------- the mouse

bool TvlBorderForm::InOuterShadow(vcl::TPoint P) {
    const HWND border = Window();
    if ((FOwner.BorderStateFlags() & BlendOnMoving) || (vcl::Application && vcl::Application->Terminated()) ||
        !border || !FOwner.BorderSkinManager() || !FOwner.BorderSkinManager()->SkinData->Active || OwnerMaximized())
        return false;
    if (RegionDirty) ApplyRegion();
    RECT r{};
    GetWindowRect(border, &r);
    const bool shadow = skin::InOuterShadow(P, r.right - r.left, r.bottom - r.top, FOwner.BorderShadowMargins(),
                                            SkinValues());
    if (shadow) FOwner.SetBorderHotButton(0, true);
    return shadow;
}

int TvlBorderForm::HitTest(const vcl::TMessage &Message) {
    if (FOwner.BorderOwnerForm()) {
        vcl::TMessage ext = Message;
        ext.Result = 0;
        // The application's handler may free the owner, and this object
        // with it: nothing is there to hit then (the caller checks).
        const vcl::TGuarded alive(this);
        FOwner.BorderExtHitTest(ext);
        if (!alive) return HTNOWHERE;
        if (ext.Result != 0) return static_cast<int>(ext.Result);
    }
    const HWND owner = FOwner.BorderOwnerWindow();
    const HWND border = Window();
    if (!owner || !border || !IsWindowEnabled(owner)) return htAskBorderForm;
    RECT r{};
    GetWindowRect(border, &r);
    const vcl::TPoint screen = PointOf(Message.LParam);
    const vcl::TPoint p{screen.X - r.left, screen.Y - r.top};
    if (const int button = FOwner.BorderButtonCode(p); button != 0) return button == htInertButton ? HTNOWHERE : button;

    const int w = r.right - r.left, h = r.bottom - r.top;
    const vcl::TRect m = FOwner.BorderShadowMargins();
    if (!OwnerMaximized() && (GetWindowLongPtrW(owner, GWL_STYLE) & WS_THICKFRAME))
        if (const int sizing = BorderSizingCode(p, w, h, m, SkinValues(), FOwner.BorderOwnerWidth()); sizing != 0)
            return sizing;
    if (p.Y >= 0 && p.Y <= FOwner.BorderNativeBorderWidth() + FOwner.BorderCaptionHeight() + m.Top) {
        const vcl::TRect icon = FOwner.BorderIconRect();
        const bool overIcon = p.X >= icon.Left && p.X < icon.Right && p.Y >= icon.Top && p.Y < icon.Bottom;
        return overIcon ? HTSYSMENU : HTCAPTION;
    }
    const vcl::TRect client = FOwner.BorderClientRect();
    if (FOwner.BorderOverGrip(p)) return HTBOTTOMRIGHT;
    if (p.X >= m.Left && p.X < w - m.Right && p.Y < client.Top) return HTMENU;
    return htAskBorderForm;
}

void TvlBorderForm::ToOwner(const vcl::TMessage &Message, int Code) {
    if (const HWND owner = FOwner.BorderOwnerWindow())
        SendMessageW(owner, Message.Msg, static_cast<WPARAM>(static_cast<INT_PTR>(Code)), Message.LParam);
}

void TvlBorderForm::StartDragFromMaximized(vcl::TPoint Cursor) {
    vcl::TCustomForm *form = FOwner.BorderOwnerForm();
    CaptionDragPending = false;
    if (!form) return;
    // The form's restore, placement, paint and activation run the
    // application's code, which may free the form or its owner, and this
    // object with them.
    const vcl::TGuarded alive(this);
    Updating = true;
    form->SetWindowState(vcl::wsNormal);
    if (!alive) return;
    const int top = Cursor.Y >= 0 && Cursor.Y <= 24 ? -8 : Cursor.Y - 8;
    form->SetBounds(Cursor.X - form->Width() / 2, top, form->Width(), form->Height());
    if (!alive) return;
    Updating = false;
    UpdateBorder(true);
    if (!alive) return;
    const HWND owner = FOwner.BorderOwnerWindow();
    if (!owner) return;
    // The owner's blended move, from the active form; else the system's
    // move of the restored window, from where the cursor is.
    SetForegroundWindow(owner);
    if (!alive || FOwner.BorderBlendedMoveFromMaximized()) return;
    SendMessageW(owner, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(Cursor.X, Cursor.Y));
}

void TvlBorderForm::DoubleClick(const vcl::TMessage &Message) {
    CaptionDragPending = false;
    const HWND owner = FOwner.BorderOwnerWindow();
    vcl::TCustomForm *form = FOwner.BorderOwnerForm();
    // The drag's end (the form's new place) and the hit test run the
    // application's code, which may free the owner and this object.
    const vcl::TGuarded alive(this);
    if (form) FOwner.BorderEndOutlineDrag();
    if (!alive) return;
    const int code = HitTest(Message);
    if (!alive || !form || !owner) return;  // a dialog's double click ends here
    switch (code) {
    case HTCAPTION: FOwner.BorderCaptionDoubleClick(Message.LParam); return;
    case HTSYSMENU: SendMessageW(owner, WM_SYSCOMMAND, SC_CLOSE, 0); return;
    case HTTOP:
    case HTBOTTOM:
    case HTLEFT:
    case HTRIGHT: {
        if (form->BorderStyle() != vcl::bsSizeable) return;
        RECT r{};
        GetWindowRect(owner, &r);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
        const RECT &a = monitor.rcWork;
        TvlEdgeMaximize next = FEdgeMaximize;
        const vcl::TRect to =
            ToggleEdgeMaximize({r.left, r.top, r.right, r.bottom}, {a.left, a.top, a.right, a.bottom}, code, next);
        // The toggle's own placement ends no stretch: it counts once done.
        // (The placement runs the form's handlers, which may free this object.)
        FEdgeMaximize = {};
        form->SetBounds(to.Left, to.Top, to.Width(), to.Height());
        if (alive) FEdgeMaximize = next;
        return;
    }
    default:
        if (code >= 2000 && code <= 2255) FOwner.BorderItemDoubleClick(code, Message.LParam);
        return;
    }
}

void TvlBorderForm::PositionChanged(vcl::TMessage &Message) {
    // The fades lie where the border window was: they go when it moved,
    // changed its size or hid. A change of its rank alone leaves them, as
    // each render of the frame re-ranks it, a fade's first one too.
    const auto *pos = reinterpret_cast<const WINDOWPOS *>(Message.LParam);
    const bool displaced = pos && ((pos->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE) ||
                                   (pos->flags & SWP_HIDEWINDOW));
    const bool faded = !FPlacing && displaced && FOwner.BorderFreeFades();
    FOldWindowProc(Message);
    if (FPlacing) return;
    const HWND owner = FOwner.BorderOwnerWindow();
    if (FOwner.BorderOwnerForm() && owner) {
        if (IsIconic(owner) && !(FOwner.BorderStateFlags() & MinimizeAnimation)) {
            // A form being destroyed frees its borders in the update, this
            // object and the window whose message this is among them.
            const vcl::TGuarded alive(this);
            UpdateBorder(true, 255);
            if (!alive) return;
        }
        HWND after = nullptr;
        if (const HWND border = Window(); border && FOwner.BorderStayOnTopPlace(after)) {
            // Placed again shown, but not while it goes: a border shown again
            // as it hides with its minimized or hidden owner would stand on
            // the screen around nothing.
            const bool hiding = (pos && (pos->flags & SWP_HIDEWINDOW)) || !IsWindowVisible(owner) || IsIconic(owner);
            FPlacing = true;
            SetWindowPos(border, after, 0, 0, 0, 0,
                         SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOOWNERZORDER |
                             SWP_NOSENDCHANGING | (hiding ? 0 : SWP_SHOWWINDOW));
            FPlacing = false;
        }
    }
    if (!faded) return;
    // The frame shows what the fades showed, after the update that moved
    // the window when one runs.
    if (Updating) FRerender = true;
    else UpdateBorder(true, 255);
}

bool TvlBorderForm::ShowWindowConsumed(vcl::TMessage &Message) {
    // Every other owner shows and hides its border by UpdateBorder: a
    // minimized form's border shows its small caption, which the system
    // would hide with the form.
    const vcl::TCustomForm *form = FOwner.BorderOwnerForm();
    if (!form || !vcl::Application || vcl::Application->MainForm() != form) {
        Message.Result = 0;
        return true;
    }
    TvlBorderUpdateState state;
    FOwner.BorderUpdateGuards(state);
    if (!LayeredWindowsAvailable() || ModuleState().FormAnimationActive || !state.DrawNonClientArea) return false;
    if (Message.WParam != 0 || (Message.LParam != 0 && Message.LParam != SW_PARENTCLOSING)) return false;
    // The main form hides: its border stays for the minimize animation,
    // which flies from it, and for a hide that has taken the picture.
    const std::uint32_t flags = FOwner.BorderStateFlags();
    if (flags & MinimizeAnimation) Message.Result = 0;
    // (The hide animation plays its own picture of the form where the
    // border lies; the border goes with the form rather than show it twice.)
    return (flags & (MinimizeAnimation | HideAnimation)) != 0;
}

bool TvlBorderForm::EndEdgeStretch(WINDOWPOS &Pos, int OwnerTop) {
    // A mere move (the system's move loop) carries no size: the window's own.
    RECT r{};
    const bool moveOnly = (Pos.flags & SWP_NOSIZE) && GetWindowRect(FOwner.BorderOwnerWindow(), &r);
    int y = Pos.y, height = moveOnly ? r.bottom - r.top : Pos.cy;
    if (!skin::EndEdgeStretch(OwnerTop, y, height, FEdgeMaximize)) return false;
    if (moveOnly) {
        Pos.flags &= ~UINT{SWP_NOSIZE};
        Pos.cx = r.right - r.left;
    }
    Pos.y = y;
    Pos.cy = height;
    return true;
}

void TvlBorderForm::BorderWndProc(vcl::TMessage &Message) {
    const vcl::TGuarded alive(this);
    ++FInMessage;
    BorderMessage(Message);
    if (alive) --FInMessage;
}

void TvlBorderForm::BorderMessage(vcl::TMessage &Message) {
    const HWND border = Window();
    const auto local = [&](vcl::TPoint Screen) {
        RECT r{};
        GetWindowRect(border, &r);
        return vcl::TPoint{Screen.X - r.left, Screen.Y - r.top};
    };
    const auto cursor = [] {
        POINT c{};
        GetCursorPos(&c);
        return vcl::TPoint{c.x, c.y};
    };
    switch (Message.Msg) {
    case WM_NCHITTEST:
        FOldWindowProc(Message);
        if (!InOuterShadow(local(PointOf(Message.LParam)))) Message.Result = htBorderWindow;
        return;
    case WM_SETCURSOR: {
        // The shadow's hot-button reset runs a title-bar item's leave
        // handler, the hit test the application's OnExtHitTest: either may
        // free the owner and this object, the window with it.
        const vcl::TGuarded alive(this);
        const vcl::TPoint c = cursor();
        if (!InOuterShadow(local(c)) && alive) {
            const vcl::TMessage probe{WM_NCHITTEST, 0, MAKELPARAM(c.X, c.Y), 0};
            const int code = HitTest(probe);
            if (!alive) return;
            if (const wchar_t *shape = CursorFor(code)) {
                SetCursor(LoadCursorW(nullptr, shape));
                Message.Result = TRUE;
                return;
            }
        }
        if (alive) FOldWindowProc(Message);
        return;
    }
    case WM_MOUSEACTIVATE: {
        Message.Result = MA_NOACTIVATE;
        const HWND owner = FOwner.BorderOwnerWindow();
        const vcl::TCustomForm *form = FOwner.BorderOwnerForm();
        if (owner && (form ? form->CanFocus() : IsWindowEnabled(owner) != FALSE)) SetForegroundWindow(owner);
        return;
    }
    case WM_SETFOCUS: {
        // The border window takes no keys: the focus goes on to the window
        // it frames (a dialog hands it to its control). Kept here, it would
        // leave the dialog inactive and its keys going nowhere.
        if (vcl::TCustomForm *form = FOwner.BorderOwnerForm()) {
            if (form->Visible() && form->CanFocus()) SetFocus(form->WindowHandle());
            return;
        }
        const HWND owner = FOwner.BorderOwnerWindow();
        if (owner && IsWindowVisible(owner) && IsWindowEnabled(owner)) {
            SetFocus(owner);
            return;
        }
        break;
    }
    case WM_ERASEBKGND:
    case WM_NCPAINT: Message.Result = 0; return;
    case WM_SHOWWINDOW:
        if (ShowWindowConsumed(Message)) return;
        break;
    case WM_MOVE:
        FOldWindowProc(Message);
        if (FOwner.BorderOwnerForm() && (FOwner.BorderStateFlags() & BlendOnMoving)) {
            // The whole image shows while blending: cut at the work area's
            // top, or whole again once it is below it.
            RECT r{};
            GetWindowRect(border, &r);
            MONITORINFO monitor{};
            monitor.cbSize = sizeof monitor;
            GetMonitorInfoW(MonitorFromWindow(border, MONITOR_DEFAULTTONEAREST), &monitor);
            if (r.top < monitor.rcWork.top || ClippedAtWorkArea) ApplyRegion();
        }
        FOwner.BorderMoved();
        return;
    case WM_WINDOWPOSCHANGING: {
        auto *pos = reinterpret_cast<WINDOWPOS *>(Message.LParam);
        if (pos) FOwner.BorderPosChanging(*pos);
        FOldWindowProc(Message);
        if (pos && !(pos->flags & SWP_NOMOVE)) FormPos = {pos->x, pos->y};
        return;
    }
    case WM_NCMOUSEMOVE: {
        // The mouse left whatever graphic control it was over.
        if (TsSkinManager *m = FOwner.BorderSkinManager()) m->SetActiveGraphControl(nullptr);
        const vcl::TPoint c = cursor();
        if (Moving) {
            RECT r{};
            GetWindowRect(border, &r);
            SetWindowPos(border, nullptr, r.left + c.X - LastPoint.X, r.top + c.Y - LastPoint.Y, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            LastPoint = c;
            return;
        }
        // The hit test (OnExtHitTest) and a title-bar item's leave handler
        // may free the owner and this object.
        const vcl::TGuarded alive(this);
        const int code = HitTest(Message);
        if (!alive) return;
        if (IsButtonCode(code)) {
            FOwner.SetBorderHotButton(code, true);
            return;
        }
        FOwner.SetBorderHotButton(0, true);
        if (alive && CaptionDragPending && OwnerMaximized() &&
            (std::abs(c.X - LastPoint.X) >= DragThreshold || std::abs(c.Y - LastPoint.Y) >= DragThreshold))
            StartDragFromMaximized(c);
        return;
    }
    case WM_NCLBUTTONDOWN: {
        if (InOuterShadow(local(PointOf(Message.LParam)))) return;
        const vcl::TGuarded alive(this);
        const int code = HitTest(Message);
        if (!alive) return;
        if (code == HTCAPTION && FOwner.BorderOwnerForm() && OwnerMaximized()) {
            CaptionDragPending = true;
            LastPoint = cursor();
            return;
        }
        if (code == HTCAPTION && FOwner.BorderBlendedMove()) return;
        // A caption press that no blend took goes on as one: kept back, the
        // caption under the border window could not be dragged at all.
        ToOwner(Message, code == HTSYSMENU || code == HTCAPTION ? code : htAskBorderForm);
        return;
    }
    case WM_NCLBUTTONUP:
    case WM_NCRBUTTONUP:
        if (InOuterShadow(local(PointOf(Message.LParam)))) return;
        if (Message.Msg == WM_NCLBUTTONUP) CaptionDragPending = false;
        ToOwner(Message, htAskBorderForm);
        return;
    case WM_NCRBUTTONDOWN: {
        if (InOuterShadow(local(PointOf(Message.LParam)))) return;
        const vcl::TGuarded alive(this);
        const int code = HitTest(Message);
        if (alive) ToOwner(Message, code);
        return;
    }
    case WM_NCLBUTTONDBLCLK: DoubleClick(Message); return;
    case WM_WINDOWPOSCHANGED: PositionChanged(Message); return;
    default: break;
    }
    if (Message.Msg >= WM_MOUSEMOVE && Message.Msg <= WM_MBUTTONDBLCLK) {
        const vcl::TPoint p = PointOf(Message.LParam);  // client coordinates: the window has no frame
        // The shadow's hot-button reset may run a title-bar item's leave
        // handler, which may free the owner and this object.
        const vcl::TGuarded alive(this);
        if (InOuterShadow(p)) {
            if (!alive) return;
            // One pixel out of the region: the next mouse message reaches
            // the window below; the whole region returns at the next test.
            RegionBusy = true;
            vcl::TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
            if (GetWindowRgn(border, region.Get()) == ERROR) {
                RECT r{};
                GetWindowRect(border, &r);
                SetRectRgn(region.Get(), 0, 0, r.right - r.left, r.bottom - r.top);
            }
            const vcl::TRegionHandle pixel(CreateRectRgn(p.X, p.Y, p.X + 1, p.Y + 1));
            CombineRgn(region.Get(), region.Get(), pixel.Get(), RGN_XOR);
            vcl::SetWindowRegion(border, std::move(region), false);
            RegionBusy = false;
            RegionDirty = true;
            Message.Result = 0;
            return;
        }
    }
    FOldWindowProc(Message);
}

} // namespace skin
