#include "Panels.h"

#include <algorithm>
#include <tuple>

#include "Canvas.h"
#include "Graphics.h"
#include "WideText.h"

namespace vcl {

VCL_PUBLISHED(TPanel, p) {
    p.Property("Caption", &TPanel::Caption, &TPanel::SetCaption);
    p.Property("Alignment", &TPanel::Alignment, &TPanel::SetAlignment).Default(taCenter);
    p.Property("BevelInner", &TPanel::BevelInner, &TPanel::SetBevelInner).Default(bvNone);
    p.Property("BevelOuter", &TPanel::BevelOuter, &TPanel::SetBevelOuter).Default(bvRaised);
    p.Property("BevelWidth", &TPanel::BevelWidth, &TPanel::SetBevelWidth).Default(1);
    p.Property("BorderWidth", &TPanel::BorderWidth, &TPanel::SetBorderWidth).Default(0);
    p.Property("BorderStyle", &TPanel::BorderStyle, &TPanel::SetBorderStyle).Default(bsNone);
}

VCL_PUBLISHED(TGroupBox, p) { p.Property("Caption", &TGroupBox::Caption, &TGroupBox::SetCaption); }

VCL_PUBLISHED(TScrollBox, p) {
    p.Property("BorderStyle", &TScrollBox::BorderStyle, &TScrollBox::SetBorderStyle).Default(bsSingle);
}

namespace {
const bool PanelsRegistered = (RegisterClasses({&TPanel::StaticClassInfo(), &TGroupBox::StaticClassInfo(),
                                                &TScrollBox::StaticClassInfo()}),
                               true);

// One bevel of Width pixels inside R, which it leaves shrunk past it.
void DrawBevel(HDC DC, RECT &R, TBevelCut Cut, int Width) {
    if (Cut == bvNone) return;
    for (int i = 0; i < Width; ++i) {
        if (Cut == bvLowered) DrawEdge(DC, &R, BDR_SUNKENOUTER, BF_RECT);
        else if (Cut == bvRaised) DrawEdge(DC, &R, BDR_RAISEDINNER, BF_RECT);
        InflateRect(&R, -1, -1);
    }
}
} // namespace

// ----------------------------------------------------------------- TPanel

TPanel::TPanel(TComponent *AOwner) : TCustomControl(AOwner) {
    SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque});
    SetColor(clBtnFace);
    SetBounds(0, 0, 185, 41);
}

void TPanel::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    Invalidate();
}

void TPanel::SetBevelInner(TBevelCut Value) {
    if (FBevelInner == Value) return;
    FBevelInner = Value;
    Invalidate();
}

void TPanel::SetBevelOuter(TBevelCut Value) {
    if (FBevelOuter == Value) return;
    FBevelOuter = Value;
    Invalidate();
}

void TPanel::SetBevelWidth(int Value) {
    Value = std::max(Value, 1);
    if (FBevelWidth == Value) return;
    FBevelWidth = Value;
    Invalidate();
}

void TPanel::SetBorderStyle(TBorderStyle Value) {
    if (Value != bsNone) Value = bsSingle;
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TPanel::CreateParams(TCreateParams &Params) {
    inherited::CreateParams(Params);
    if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
    Params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TPanel::Dispatch(TMessage &Message) {
    inherited::Dispatch(Message);
    // The caption is painted by Paint: a new text shows at once.
    if (Message.Msg == CM_TEXTCHANGED) Invalidate();
}

void TPanel::Paint() {
    TCanvas &canvas = *Canvas();
    const TRect client = ClientRect();
    canvas.Brush()->SetColor(Color());
    canvas.FillRect(client);
    const HDC dc = canvas.Handle();
    RECT r{client.Left, client.Top, client.Right, client.Bottom};
    DrawBevel(dc, r, FBevelOuter, FBevelWidth);
    DrawBevel(dc, r, FBevelInner, FBevelWidth);
    const std::string text = Caption();
    if (text.empty()) return;
    canvas.SetFont(Font());
    canvas.RequiredState({csHandleValid, csFontValid});
    static constexpr UINT Aligns[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    const std::wstring wide = Utf8ToWide(text);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(Font()->Color()));
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r,
              Aligns[FAlignment] | DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS);
}

// -------------------------------------------------------------- TGroupBox

TGroupBox::TGroupBox(TComponent *AOwner) : TWinControl(AOwner) {
    SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks});
    SetBounds(0, 0, 185, 105);
}

void TGroupBox::CreateParams(TCreateParams &Params) {
    inherited::CreateParams(Params);
    CreateSubClass(Params, L"BUTTON");
    Params.Style |= BS_GROUPBOX;
}

// ------------------------------------------------------------- TScrollBox

TScrollBox::TScrollBox(TComponent *AOwner) : TWinControl(AOwner) {
    SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks});
    SetBounds(0, 0, 185, 41);
}

void TScrollBox::SetBorderStyle(TBorderStyle Value) {
    if (Value != bsNone) Value = bsSingle;
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TScrollBox::CreateParams(TCreateParams &Params) {
    inherited::CreateParams(Params);
    if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TScrollBox::InitializeWnd() { UpdateScrollRange(); }

void TScrollBox::UpdateScrollRange() {
    FExtent = {};
    for (int i = 0; i < ControlCount(); ++i) {
        const TControl *c = Controls(i);
        if (!c->Visible()) continue;
        FExtent.cx = std::max(FExtent.cx, c->Left() + c->Width() + FPosition.X);
        FExtent.cy = std::max(FExtent.cy, c->Top() + c->Height() + FPosition.Y);
    }
    const HWND window = WindowHandle();
    if (!window) return;
    // Both bars change the client area: each is decided with the other's room.
    RECT r{};
    GetClientRect(window, &r);
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    int w = r.right + ((style & WS_VSCROLL) ? GetSystemMetrics(SM_CXVSCROLL) : 0);
    int h = r.bottom + ((style & WS_HSCROLL) ? GetSystemMetrics(SM_CYHSCROLL) : 0);
    bool horz = FExtent.cx > w, vert = FExtent.cy > h;
    if (horz) h -= GetSystemMetrics(SM_CYHSCROLL);
    if (vert) w -= GetSystemMetrics(SM_CXVSCROLL);
    horz = FExtent.cx > w;
    vert = FExtent.cy > h;
    for (const auto &[bar, on, extent, page] :
         {std::tuple{SB_HORZ, horz, FExtent.cx, w}, std::tuple{SB_VERT, vert, FExtent.cy, h}}) {
        SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS, 0, on ? extent - 1 : 0, static_cast<UINT>(on ? page : 0),
                      0, 0};
        si.nPos = bar == SB_HORZ ? FPosition.X : FPosition.Y;
        SetScrollInfo(window, bar, &si, TRUE);
        ShowScrollBar(window, bar, on);
    }
    TPoint wanted{std::clamp(FPosition.X, 0, std::max(0, FExtent.cx - w)),
                  std::clamp(FPosition.Y, 0, std::max(0, FExtent.cy - h))};
    if (!horz) wanted.X = 0;
    if (!vert) wanted.Y = 0;
    if (wanted.X != FPosition.X || wanted.Y != FPosition.Y) ScrollTo(wanted);
}

void TScrollBox::ScrollTo(TPoint Position) {
    const HWND window = WindowHandle();
    if (window) {
        for (const int bar : {SB_HORZ, SB_VERT}) {
            SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
            GetScrollInfo(window, bar, &si);
            const int most = std::max(0, si.nMax - std::max(static_cast<int>(si.nPage) - 1, 0));
            int &p = bar == SB_HORZ ? Position.X : Position.Y;
            p = std::clamp(p, 0, most);
            SetScrollPos(window, bar, p, TRUE);
        }
    }
    const int dx = Position.X - FPosition.X, dy = Position.Y - FPosition.Y;
    if (dx == 0 && dy == 0) return;
    FPosition = Position;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl *c = Controls(i);
        c->SetBounds(c->Left() - dx, c->Top() - dy, c->Width(), c->Height());
    }
    Invalidate();
}

void TScrollBox::Scroll(int Bar, WPARAM Request) {
    SCROLLINFO si{sizeof(si), SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(WindowHandle(), Bar, &si);
    int p = si.nPos;
    switch (LOWORD(Request)) {
    case SB_LINEUP: p -= 8; break;
    case SB_LINEDOWN: p += 8; break;
    case SB_PAGEUP: p -= static_cast<int>(si.nPage); break;
    case SB_PAGEDOWN: p += static_cast<int>(si.nPage); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: p = si.nTrackPos; break;
    case SB_TOP: p = si.nMin; break;
    case SB_BOTTOM: p = si.nMax; break;
    default: return;
    }
    ScrollTo(Bar == SB_HORZ ? TPoint{p, FPosition.Y} : TPoint{FPosition.X, p});
}

void TScrollBox::Dispatch(TMessage &Message) {
    switch (Message.Msg) {
    case WM_HSCROLL: Scroll(SB_HORZ, Message.WParam); Message.Result = 0; break;
    case WM_VSCROLL: Scroll(SB_VERT, Message.WParam); Message.Result = 0; break;
    case WM_SIZE:
        inherited::Dispatch(Message);
        UpdateScrollRange();
        break;
    default: inherited::Dispatch(Message); break;
    }
}

} // namespace vcl
