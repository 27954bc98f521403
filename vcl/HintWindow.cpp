#include "HintWindow.h"

#include "Forms.h"
#include "GdiObjects.h"
#include "WideText.h"

namespace vcl {

VCL_CLASS_INFO(THintWindow)

namespace {

// Between the border and the text, on every side.
constexpr int kTextMargin = 2;
constexpr UINT kTextFlags = DT_LEFT | DT_WORDBREAK | DT_NOPREFIX;

} // namespace

THintWindow::THintWindow(TComponent *AOwner) : TCustomControl(AOwner) {
    SetVisible(false);
    SetColor(clInfoBk);
    Font()->SetColor(clInfoText);
}

TRect THintWindow::CalcHintRect(int MaxWidth, const std::string &Text) {
    const std::wstring text = Utf8ToWide(Text);
    TWindowDC screen;
    TSelectObject font(screen.Get(), Font()->Handle());
    RECT r{0, 0, MaxWidth, 0};
    DrawTextW(screen.Get(), text.c_str(), static_cast<int>(text.size()), &r, kTextFlags | DT_CALCRECT);
    const int frame = 2 * (kTextMargin + GetSystemMetrics(SM_CXBORDER));
    return Rect(0, 0, r.right + frame, r.bottom + frame);
}

void THintWindow::ActivateHint(const TRect &Rect, const std::string &Text) {
    SetCaption(Text);
    HandleNeeded();
    SetBoundsRect(Rect);
    SetWindowPos(WindowHandle(), HWND_TOPMOST, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(),
                 SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER);
    Invalidate();
}

void THintWindow::CreateParams(TCreateParams &Params) {
    inherited::CreateParams(Params);
    Params.Style = WS_POPUP | WS_BORDER;
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    Params.WndParent = Application ? Application->Handle() : nullptr;
    // The hint comes and goes over other windows: they need not repaint.
    Params.WindowClass.style |= CS_SAVEBITS;
}

void THintWindow::Paint() {
    TCanvas *canvas = Canvas();
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(ClientRect());
    const std::wstring text = Utf8ToWide(Caption());
    if (text.empty()) return;
    canvas->SetFont(Font());
    canvas->RequiredState(TCanvasState{csHandleValid, csFontValid});
    HDC dc = canvas->Handle();
    RECT r{kTextMargin, kTextMargin, ClientWidth() - kTextMargin, ClientHeight() - kTextMargin};
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GdiColor(Font()->Color()));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, kTextFlags);
    SetBkMode(dc, oldMode);
}

} // namespace vcl
