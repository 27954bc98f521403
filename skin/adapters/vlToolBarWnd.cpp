#include "vlToolBarWnd.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <utility>

#include "skin/graphics/vlAlphaBlending.h"
#include "skin/graphics/vlGlyphStrips.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/graphics/vlNineSlice.h"
#include "skin/graphics/vlPixelHelpers.h"
#include "skin/graphics/vlSkinGlyphs.h"
#include "skin/graphics/vlSkinSections.h"
#include "skin/graphics/vlSkinText.h"
#include "skin/manager/sCommandTable.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sModuleState.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/vlItemGlyphs.h"
#include "skin/manager/vlSnapshots.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/GdiObjects.h"
#include "vcl/ImgList.h"
#include "vcl/WideText.h"
#include "vlSBPaint.h"
#include "vlToolBarLayout.h"

namespace skin {

namespace {

constexpr int ssToolButtonSection = 4;
constexpr int ssDividerSection = 7;
constexpr std::size_t DownScrollButton = 3;  // the element of the downward scroll button

std::unique_ptr<vcl::TBitmap> NewBitmap32(int W, int H) {
    auto b = std::make_unique<vcl::TBitmap>();
    b->SetPixelFormat(vcl::pf32bit);
    b->SetSize(std::max(W, 0), std::max(H, 0));
    return b;
}

// A copy of R of Src, as the background record of a piece painted there.
std::unique_ptr<vcl::TBitmap> CopyOf(vcl::TBitmap &Src, const vcl::TRect &R) {
    auto b = NewBitmap32(R.Width(), R.Height());
    BitBlt(b->Canvas()->Handle(), 0, 0, R.Width(), R.Height(), Src.Canvas()->Handle(), R.Left, R.Top, SRCCOPY);
    return b;
}

TvlBgInfo BgOf(vcl::TBitmap &Bmp) {
    TvlBgInfo bg;
    InitBgInfo(&Bmp, 0, 0, bg);
    return bg;
}

bool CursorIn(HWND Window, const vcl::TRect &ClientR) {
    POINT p{};
    GetCursorPos(&p);
    ScreenToClient(Window, &p);
    return p.x >= ClientR.Left && p.x < ClientR.Right && p.y >= ClientR.Top && p.y < ClientR.Bottom;
}

// The button's text, its length asked first: the window writes the whole
// text whatever the buffer.
std::string ButtonText(HWND Bar, int Command) {
    const LRESULT length = SendMessageW(Bar, TB_GETBUTTONTEXTW, static_cast<WPARAM>(Command), 0);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(Bar, TB_GETBUTTONTEXTW, static_cast<WPARAM>(Command), reinterpret_cast<LPARAM>(text.data()));
    text.resize(wcsnlen(text.c_str(), text.size()));
    return vcl::WideToUtf8(text);
}

vcl::TPoint ClientOffsetOf(HWND Window) {
    RECT w{};
    GetWindowRect(Window, &w);
    POINT origin{0, 0};
    ClientToScreen(Window, &origin);
    return {origin.x - w.left, origin.y - w.top};
}

// Everything of Cache around the client (Client: window coordinates) into
// DC. The sides differ: the bar's own divider takes two pixels above the
// client and none below or beside it.
void CopyAroundClient(HDC DC, vcl::TBitmap &Cache, const vcl::TRect &Client) {
    const int saved = SaveDC(DC);
    ExcludeClipRect(DC, Client.Left, Client.Top, Client.Right, Client.Bottom);
    BitBlt(DC, 0, 0, Cache.Width(), Cache.Height(), Cache.Canvas()->Handle(), 0, 0, SRCCOPY);
    RestoreDC(DC, saved);
}

// What the glyph painter asks of a class-library bar.
class TBarView : public TvlToolBarView {
public:
    explicit TBarView(vcl::TToolBar &Bar, vcl::TCanvas &Canvas) : FBar(Bar), FCanvas(Canvas) {}
    HWND ToolBarWindow() const override { return FBar.WindowHandle(); }
    bool ToolBarEnabled() const override { return FBar.Enabled(); }
    bool HasParentControl() const override { return FBar.Parent() != nullptr; }
    vcl::TCustomImageList *Images() const override { return FBar.Images(); }
    vcl::TCustomImageList *DisabledImages() const override { return nullptr; }
    vcl::TCustomImageList *HotImages() const override { return nullptr; }
    bool ListStyle() const override { return FBar.List(); }
    bool ShowCaptions() const override { return FBar.ShowCaptions(); }
    vcl::TCanvas &Canvas() const override { return FCanvas; }

private:
    vcl::TToolBar &FBar;
    vcl::TCanvas &FCanvas;
};

} // namespace

// ------------------------------------------------------- bare tool bar

bool TvlToolBarWnd::RefreshImage() {
    RefreshGeometry(*this);
    if (!SkinData->BGChanged) return true;
    RECT client{};
    GetClientRect(Handle, &client);
    ClientR = {client.left, client.top, client.right, client.bottom};
    SkinData->PrepareCache();
    vcl::TBitmap &cache = *SkinData->CacheBmp();
    cache.SetSize(WndSize.cx, WndSize.cy);
    TvlBgInfo bg;
    if (!WindowBackgroundInfo(Handle, bg, TvlAsker(this))) return false;
    PaintControlSkin(*SkinData, bg, 0, {0, 0, WndSize.cx, WndSize.cy}, PosInParent, cache, true);
    // The client's real place, not half the size difference: a bar's divider
    // sits above the client only.
    ClientAt = ClientOffsetOf(Handle);
    SkinData->BGChanged = false;
    return true;
}

vcl::TRect TvlToolBarWnd::ClientInWindow() const {
    return {ClientAt.X, ClientAt.Y, ClientAt.X + ClientR.Width(), ClientAt.Y + ClientR.Height()};
}

bool TvlToolBarWnd::PaintFrame() {
    if (SkinData->UpdatePaintLock(false) || !RefreshImage()) return false;
    if (ClientR.Width() >= WndSize.cx && ClientR.Height() >= WndSize.cy) return true;
    const vcl::TWindowDC dc(Handle, GetWindowDC(Handle));
    CopyAroundClient(dc.Get(), *SkinData->CacheBmp(), ClientInWindow());
    return true;
}

void TvlToolBarWnd::PaintClient(HDC DC) {
    if (SkinData->UpdatePaintLock(false) || !RefreshImage()) return;
    vcl::TBitmap &cache = *SkinData->CacheBmp();
    auto copy = CopyOf(cache, {0, 0, cache.Width(), cache.Height()});
    SetRectAlpha(*copy, {0, 0, copy->Width(), copy->Height()}, 255);
    const int count = static_cast<int>(SendMessageW(Handle, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        RECT r{};
        if (!SendMessageW(Handle, TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r))) continue;
        PaintButton(i, {r.left + ClientAt.X, r.top + ClientAt.Y, r.right + ClientAt.X, r.bottom + ClientAt.Y}, *copy);
    }
    const vcl::TWindowDC own(DC ? nullptr : Handle);
    const HDC target = DC ? DC : own.Get();
    if (target)
        BitBlt(target, 0, 0, ClientR.Width(), ClientR.Height(), copy->Canvas()->Handle(), ClientAt.X, ClientAt.Y,
               SRCCOPY);
}

void TvlToolBarWnd::Print(HDC DC) {
    if (!DC || SkinData->UpdatePaintLock(false) || !RefreshImage()) return;
    // The window's pictures (a form's, an animation's) are taken by printing
    // it whole, frame and all: a print of the client alone at the window's
    // origin would show the bar shifted and without its frame or divider.
    if (ClientR.Width() < WndSize.cx || ClientR.Height() < WndSize.cy)
        CopyAroundClient(DC, *SkinData->CacheBmp(), ClientInWindow());
    const int saved = SaveDC(DC);
    OffsetViewportOrgEx(DC, ClientAt.X, ClientAt.Y, nullptr);
    IntersectClipRect(DC, 0, 0, ClientR.Width(), ClientR.Height());
    PaintClient(DC);
    RestoreDC(DC, saved);
}

void TvlToolBarWnd::PaintButton(int Index, const vcl::TRect &R, vcl::TBitmap &Target) {
    TBBUTTON button{};
    if (!SendMessageW(Handle, TB_GETBUTTON, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&button))) return;
    TsSkinManager *m = SkinData->GetSkinManager();
    if (!m || R.IsEmpty()) return;
    const int w = R.Width(), h = R.Height();
    auto under = CopyOf(Target, R);
    auto bmp = CopyOf(Target, R);
    if (button.fsStyle & BTNS_SEP) {
        const int divider = m->StdSectionIndexes[ssDividerSection];
        const int mask = m->IsValidSectionIndex(divider) ? m->GetMaskIndex(divider, "BORDERSMASK") : -1;
        // Without the skin's divider the separator shows the bar.
        if (!m->IsValidMaskIndex(mask)) return;
        const vcl::TRect line{w / 2 - 1, 2, w / 2 + 3, h - 2};
        PaintSkinSection(divider, BgOf(*under), 0, line, {line.Left, line.Top}, *bmp, m);
        BitBlt(Target.Canvas()->Handle(), R.Left, R.Top, w, h, bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
        return;
    }
    const bool enabled = (button.fsState & TBSTATE_ENABLED) != 0;
    int state = 0, shift = 0;
    if ((button.fsState & TBSTATE_PRESSED) && enabled) {
        state = 2;
        shift = 1;
    } else if (enabled && CursorIn(Handle, {R.Left - ClientAt.X, R.Top - ClientAt.Y, R.Right - ClientAt.X, R.Bottom - ClientAt.Y})) {
        state = 1;
    }
    const int section = m->StdSectionIndexes[ssToolButtonSection];
    if (m->IsValidSectionIndex(section)) {
        const int states = m->Sections[static_cast<std::size_t>(section)].States;
        PaintSkinSection(section, BgOf(*under), std::min(state, std::max(states - 1, 0)), {0, 0, w, h}, {0, 0}, *bmp, m);
    }
    const std::string text = ButtonText(Handle, button.idCommand);
    // A list bar sets its captions beside the images; below them they would
    // fall outside its low buttons.
    const bool list = !text.empty() && (GetWindowLongW(Handle, GWL_STYLE) & TBSTYLE_LIST) != 0;
    const HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageW(Handle, TB_GETIMAGELIST, 0, 0));
    int iw = 0, ih = 0;
    const HDC dc = bmp->Canvas()->Handle();
    if (button.iBitmap >= 0 && images) {
        ImageList_SetBkColor(images, CLR_NONE);
        ImageList_GetIconSize(images, &iw, &ih);
        const bool whole = (button.fsStyle & BTNS_WHOLEDROPDOWN) != 0;
        const int arrowMask = m->CommonElements.ComboButton.GlyphMask;
        int arrowWidth = 0;
        if (whole && m->IsValidMaskIndex(arrowMask)) {
            const TsMaskData &arrow = m->Masks[static_cast<std::size_t>(arrowMask)];
            const vcl::TSize size = GetMaskFrameSize(arrow);
            arrowWidth = size.cx;
            const vcl::TPoint at = ToolImagePos({w, h}, {iw, ih}, !text.empty(), true, arrowWidth, shift);
            const vcl::TPoint arrowAt = !text.empty() ? vcl::TPoint{w - arrowWidth - 2 + shift, at.Y + (ih - size.cy) / 2}
                                                      : vcl::TPoint{at.X + iw, at.Y + (ih - size.cy) / 2};
            DrawSkinGlyph(*bmp, arrowAt, state, gmNormal, arrow, BgOf(*under));
        }
        const vcl::TPoint at = list ? ToolListImagePos({w, h}, {iw, ih}, shift)
                                    : ToolImagePos({w, h}, {iw, ih}, !text.empty() || whole, whole, arrowWidth, shift);
        ImageList_Draw(images, button.iBitmap, dc, at.X, at.Y, ILD_NORMAL);
    }
    if (!text.empty()) {
        HFONT font = reinterpret_cast<HFONT>(SendMessageW(Handle, WM_GETFONT, 0, 0));
        if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        vcl::TCanvas &canvas = *bmp->Canvas();
        canvas.Font()->SetHandle(font);
        canvas.Brush()->SetStyle(vcl::bsClear);
        int textSection = section;
        if (m->IsValidSectionIndex(section) && m->Sections[static_cast<std::size_t>(section)].GiveOwnFont)
            textSection = SkinData->SkinIndex();
        const int textState = state != 0 ? 1 : 0;
        const vcl::TRect r = ToolCaptionRect({w, h}, ih, shift);
        const auto lines = list ? std::pair<std::string, std::string>{text, {}}
                                : SplitToolCaption(text, w, [&](const std::string &t) { return CanvasTextWidth(canvas, t); });
        if (list) {
            WriteSectionText(canvas, text, enabled, ToolListCaptionRect({w, h}, iw, shift),
                             DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS, textSection, textState, m);
        } else if (lines.second.empty()) {
            WriteSectionText(canvas, text, enabled, r, DT_CENTER | DT_VCENTER | DT_WORDBREAK | DT_END_ELLIPSIS,
                             textSection, textState, m);
        } else {
            const int lh = CanvasTextExtent(canvas, "A").cy;
            WriteSectionText(canvas, lines.first, enabled, {r.Left, r.Top, r.Right, r.Top + lh}, DT_CENTER, textSection,
                             textState, m);
            WriteSectionText(canvas, lines.second, enabled, {r.Left, r.Top + lh, r.Right, r.Top + 2 * lh},
                             DT_END_ELLIPSIS, textSection, textState, m);
        }
    }
    if (!enabled)
        BlendRect32ByRatio(*bmp, 0, 0, *SkinData->CacheBmp(), R, DisabledBlendRatio, vcl::clFuchsia);
    BitBlt(Target.Canvas()->Handle(), R.Left, R.Top, w, h, dc, 0, 0, SRCCOPY);
}

bool TvlToolBarWnd::OwnMessage(vcl::TMessage &Message) {
    if (!SkinData || !SkinData->IsSkinned(true)) {
        return TvlMainWnd::OwnMessage(Message);
    }
    switch (Message.Msg) {
    case WM_PAINT:
        if (IsWindowVisible(Handle)) {
            PAINTSTRUCT ps{};
            const HDC dc = BeginPaint(Handle, &ps);
            PaintClient(dc);
            EndPaint(Handle, &ps);
            Message.Result = 0;
            return true;
        }
        break;
    case WM_ERASEBKGND: Message.Result = 1; return true;
    case WM_NCPAINT: Message.Result = PaintFrame() ? 0 : 1; return true;
    case WM_PRINT:
        Print(reinterpret_cast<HDC>(Message.WParam));
        Message.Result = 0;
        return true;
    default: break;
    }
    if (Message.Msg != WM_SIZE && Message.Msg != WM_WINDOWPOSCHANGED) return TvlMainWnd::OwnMessage(Message);
    const vcl::TGuarded alive(this);
    PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
    if (!alive || Destroyed() || !IsWindow(Handle)) return true;
    SkinData->BGChanged = true;
    RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    return true;
}

// ---------------------------------------------------- class-library bar

TvlToolBarVCLWnd::~TvlToolBarVCLWnd() {
    ReleaseWindow();
    GiveEventsBack();
}

void TvlToolBarVCLWnd::TakeEvents() {
    if (!ToolBar) return;
    const auto draw = vcl::TTBCustomDrawEvent::Bind<&TvlToolBarVCLWnd::DrawBar>(this);
    const auto drawButton = vcl::TTBCustomDrawBtnEvent::Bind<&TvlToolBarVCLWnd::DrawButton>(this);
    // The bar's own handlers are kept once, never the adapter's.
    if (!FEventsTaken) {
        FSavedDraw = ToolBar->OnCustomDraw;
        FSavedDrawButton = ToolBar->OnCustomDrawButton;
        FEventsTaken = true;
    }
    ToolBar->OnCustomDraw = draw;
    ToolBar->OnCustomDrawButton = drawButton;
}

void TvlToolBarVCLWnd::GiveEventsBack() {
    if (!ToolBar || !FEventsTaken) return;
    if (ToolBar->OnCustomDraw == vcl::TTBCustomDrawEvent::Bind<&TvlToolBarVCLWnd::DrawBar>(this))
        ToolBar->OnCustomDraw = FSavedDraw;
    if (ToolBar->OnCustomDrawButton == vcl::TTBCustomDrawBtnEvent::Bind<&TvlToolBarVCLWnd::DrawButton>(this))
        ToolBar->OnCustomDrawButton = FSavedDrawButton;
    FEventsTaken = false;
}

void TvlToolBarVCLWnd::SetDefaultSection() {
    HotIndex = -1;
    ToolBar = vcl::TGuarded(SkinData ? dynamic_cast<vcl::TToolBar *>(SkinData->OwnerControl()) : nullptr);
    if (ToolBar) {
        TakeEvents();
        if (SkinData->SkinSection().empty()) SkinData->SetSkinSection("TOOLBAR");
    }
    TvlMainWnd::SetDefaultSection();
}

void TvlToolBarVCLWnd::DrawBar(vcl::TToolBar *Sender, const vcl::TRect &ARect, vcl::TCustomDrawStage Stage,
                               bool &DefaultDraw) {
    (void)ARect;
    if (!SkinData->IsSkinned(true) || Stage != vcl::cdPrePaint) return;
    if (SkinData->UpdatePaintLock(false)) return;
    RefreshGeometry(*this);
    SkinData->PrepareCache();
    vcl::TBitmap &cache = *SkinData->CacheBmp();
    cache.Canvas()->Font()->Assign(Sender->Font());
    // The parent's answer to the background query and the children's paints
    // are the application's (an owner-drawn tab control's tabs, a label's
    // paint): they may free the bar, a child or this adapter.
    const vcl::TGuarded alive(this);
    const vcl::TGuarded bar(Sender);
    if (SkinData->BGChanged || cache.Width() != WndSize.cx || cache.Height() != WndSize.cy) {
        cache.SetSize(WndSize.cx, WndSize.cy);
        TvlBgInfo bg;
        if (!SkinData->FillBackgroundInfo(bg, TvlAsker(this)) || !bar) return;
        PaintControlSkin(*SkinData, bg, 0, {0, 0, WndSize.cx, WndSize.cy}, PosInParent, cache, true);
        SkinData->BGChanged = false;
    }
    const vcl::TPoint offset = ClientOffsetOf(Handle);
    RECT client{};
    GetClientRect(Handle, &client);
    const HDC dc = Sender->Canvas()->Handle();
    // What the parent shows now, in the border's transparent corners: the
    // image may be older than the parent's picture.
    if (!PaintBorderCorners(*SkinData, 0, bcAll, TvlAsker(this)) || !bar) return;
    BitBlt(dc, 0, 0, client.right, client.bottom, cache.Canvas()->Handle(), offset.X, offset.Y, SRCCOPY);
    DefaultDraw = true;  // the buttons are drawn one by one
    PaintChildControls(dc, Sender, true, {0, 0});
    if (!alive || !bar) return;
    // Children that waited for the bar's picture paint now.
    PassUpdateDoneToChildren(Sender);
    if (!alive) return;
    if (offset.X != 0 || offset.Y != 0 || client.right < WndSize.cx || client.bottom < WndSize.cy)
        SendMessageW(Handle, WM_NCPAINT, 1, 0);
}

void TvlToolBarVCLWnd::DrawButton(vcl::TToolBar *Sender, vcl::TToolButton *Button, vcl::TCustomDrawState State,
                                  vcl::TCustomDrawStage Stage, bool &DefaultDraw) {
    if (!SkinData->IsSkinned(true) || Stage != vcl::cdPrePaint || !Button) return;
    DefaultDraw = false;
    TsSkinManager *m = SkinData->GetSkinManager();
    vcl::TBitmap *cache = SkinData->CacheBmp();
    const vcl::TRect r = Button->BoundsRect();
    if (!m || !cache || r.IsEmpty() || Button->Style() == vcl::tbsSeparator) return;
    const vcl::TPoint offset = ClientOffsetOf(Handle);
    const vcl::TRect inCache{r.Left + offset.X, r.Top + offset.Y, r.Right + offset.X, r.Bottom + offset.Y};
    const int w = r.Width(), h = r.Height();
    auto under = CopyOf(*cache, inCache);
    auto bmp = CopyOf(*cache, inCache);
    const bool pressed = State.Contains(vcl::cdsSelected) || State.Contains(vcl::cdsChecked);
    const int state = pressed ? 2 : Button->Index() == HotIndex ? 1 : 0;
    const int section = m->StdSectionIndexes[ssToolButtonSection];
    if (m->IsValidSectionIndex(section)) {
        const int states = m->Sections[static_cast<std::size_t>(section)].States;
        PaintSkinSection(section, BgOf(*under), std::min(state, std::max(states - 1, 0)), {0, 0, w, h}, {0, 0}, *bmp, m);
    }
    // The drop-down part at the right.
    int arrowPart = 0;
    if (Button->Style() == vcl::tbsDropDown) {
        arrowPart = GetSystemMetrics(SM_CXVSCROLL) - 2;
        const vcl::TRect part{w - arrowPart, 0, w, h};
        const int partState = Button->Command() == DroppedDownCommand ? 2 : state == 1 ? 1 : 0;
        const TvlElementEntry &down = m->CommonElements.ScrollButtons[DownScrollButton];
        if (m->IsValidMaskIndex(down.BorderMask))
            DrawSkinRect(*bmp, part, BgOf(*under), m->Masks[static_cast<std::size_t>(down.BorderMask)], partState, true);
        if (m->IsValidMaskIndex(down.GlyphMask)) {
            const TsMaskData &glyph = m->Masks[static_cast<std::size_t>(down.GlyphMask)];
            const vcl::TSize size = GetMaskFrameSize(glyph);
            DrawSkinGlyph(*bmp, {part.Left + (arrowPart - size.cx) / 2, (h - size.cy) / 2}, partState, gmNormal, glyph,
                          BgOf(*bmp));
        } else {
            const vcl::TColor ink = m->IsValidSectionIndex(section)
                                        ? m->Sections[static_cast<std::size_t>(section)].Props[0].FontColor
                                        : vcl::clBtnText;
            DrawScrollArrowGlyph(*bmp->Canvas(), ink, part, 3);
        }
    }
    // The glyph and the caption.
    const bool shiftContent = !(SkinData->IsSkinned(false) && (!m || !m->ButtonsOptions()->ShiftContentOnClick));
    const int shift = pressed && shiftContent ? 1 : 0;
    std::uint32_t drawState = 0;
    if (State.Contains(vcl::cdsSelected)) drawState |= cdsSelected;
    if (State.Contains(vcl::cdsChecked)) drawState |= cdsChecked;
    if (!Button->Enabled()) drawState |= cdsDisabled;
    if (state == 1) drawState |= cdsHot;
    TBarView view(*Sender, *bmp->Canvas());
    TvlToolButtonInfo info;
    info.ImageIndex = Button->ImageIndex();
    info.Width = w;
    info.Height = h;
    info.DropDown = Button->Style() == vcl::tbsDropDown;
    if (Sender->Images() && info.ImageIndex >= 0) PaintToolButtonGlyph(view, info, drawState, bmp.get());
    if (Sender->ShowCaptions() && !Button->Caption().empty()) {
        vcl::TCanvas &canvas = *bmp->Canvas();
        canvas.Font()->Assign(Sender->Font());
        canvas.Brush()->SetStyle(vcl::bsClear);
        const int iw = Sender->Images() ? Sender->Images()->Width() : 0;
        const int ih = Sender->Images() ? Sender->Images()->Height() : 0;
        vcl::TRect text;
        UINT flags = DT_SINGLELINE | DT_VCENTER;
        if (Sender->List()) {
            text = {iw > 0 ? iw + 6 : 1, 2, w - arrowPart, h - 2};
        } else {
            const int th = CanvasTextExtent(canvas, "A").cy;
            text = {0, ih + 3, w - arrowPart, ih + 3 + th};
            flags |= DT_CENTER;
        }
        text = {text.Left + shift, text.Top + shift, text.Right + shift, text.Bottom + shift};
        WriteSectionText(canvas, Button->Caption(), Button->Enabled(), text, flags, section, state != 0 ? 1 : 0, m);
    }
    if (!Button->Enabled()) BlendRect32ByRatio(*bmp, 0, 0, *cache, inCache, DisabledBlendRatio, vcl::clFuchsia);
    BitBlt(Sender->Canvas()->Handle(), r.Left, r.Top, w, h, bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TvlToolBarVCLWnd::RepaintButton(int Index) {
    if (Index < 0) return;
    RECT r{};
    if (SendMessageW(Handle, TB_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&r)))
        InvalidateRect(Handle, &r, FALSE);
}

int TvlToolBarVCLWnd::ButtonAt(vcl::TPoint P) const {
    const int count = static_cast<int>(SendMessageW(Handle, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTON button{};
        if (!SendMessageW(Handle, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&button))) continue;
        if (button.fsStyle & BTNS_SEP) continue;
        RECT r{};
        SendMessageW(Handle, TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
        if (P.X >= r.left && P.X < r.right && P.Y >= r.top && P.Y < r.bottom) return i;
    }
    return -1;
}

void TvlToolBarVCLWnd::MouseMoved() {
    POINT p{};
    GetCursorPos(&p);
    ScreenToClient(Handle, &p);
    const int hot = ButtonAt({p.x, p.y});
    if (hot == HotIndex) return;
    const int old = HotIndex;
    HotIndex = hot;
    RepaintButton(old);
    RepaintButton(hot);
}

bool TvlToolBarVCLWnd::AfterCommonAnswer(vcl::TMessage &Message) {
    if (!TakeLeftCommand(Message)) return TvlMainWnd::AfterCommonAnswer(Message);
    // The common answer is in window coordinates; the bar's children sit
    // in its client area.
    auto *query = CommandRecord<TvlBgQuery>(Message);
    const vcl::TPoint offset = ClientOffsetOf(Handle);
    query->X += offset.X;
    query->Y += offset.Y;
    return true;
}

bool TvlToolBarVCLWnd::OwnMessage(vcl::TMessage &Message) {
    if (!SkinData) {
        return TvlMainWnd::OwnMessage(Message);
    }
    const bool own = reinterpret_cast<TsSkinManager *>(Message.LParam) == SkinManager;
    if (Message.Msg == SM_SKINCOMMAND) {
        switch (SubCommandOf(Message.WParam)) {
        case SC_SKIN_APPLIED: TakeEvents(); break;
        case SC_SKIN_REMOVED:
            if (own) {
                GiveEventsBack();
                DroppedDownCommand = 0;
            }
            break;
        case SC_SKIN_REFRESH:
            if (own) DroppedDownCommand = 0;
            break;
        case SC_GET_BG_INFO:
            if (CommandRecord<TvlBgQuery>(Message) && SkinData->IsSkinned(true)) {
                RefreshGeometry(*this);
                return LeaveToAfterCommon(Message);
            }
            break;
        default: break;
        }
        return TvlMainWnd::OwnMessage(Message);
    }
    const vcl::TGuarded alive(this);
    if (SkinData->IsSkinned(true)) {
        switch (Message.Msg) {
        case WM_PRINT: {
            const auto dc = reinterpret_cast<HDC>(Message.WParam);
            const vcl::TPoint offset = ClientOffsetOf(Handle);
            RECT client{};
            GetClientRect(Handle, &client);
            if (SkinData->CacheBmp() && (offset.X || offset.Y))
                CopyAroundClient(dc, *SkinData->CacheBmp(),
                                 {offset.X, offset.Y, offset.X + client.right, offset.Y + client.bottom});
            const int saved = SaveDC(dc);
            // From the DC's own origin: a form's picture prints the bar at its place in it.
            OffsetViewportOrgEx(dc, offset.X, offset.Y, nullptr);
            IntersectClipRect(dc, 0, 0, client.right, client.bottom);
            SendMessageW(Handle, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
            RestoreDC(dc, saved);
            Message.Result = 0;
            return true;
        }
        case WM_NCPAINT: {
            Message.Result = 0;
            if (ModuleState().FormAnimationActive) return true;
            const vcl::TPoint offset = ClientOffsetOf(Handle);
            RECT client{};
            GetClientRect(Handle, &client);
            if ((offset.X || offset.Y) && SkinData->CacheBmp()) {
                const vcl::TWindowDC dc(Handle, GetWindowDC(Handle));
                CopyAroundClient(dc.Get(), *SkinData->CacheBmp(),
                                 {offset.X, offset.Y, offset.X + client.right, offset.Y + client.bottom});
            }
            return true;
        }
        case WM_PAINT:
            if (SkinData->UpdatePaintLock(false)) {
                PAINTSTRUCT ps{};
                const HWND window = Handle;
                BeginPaint(window, &ps);
                EndPaint(window, &ps);
                Message.Result = 0;
                return true;
            }
            break;
        case WM_ERASEBKGND: Message.Result = 1; return true;
        case vcl::CN_NOTIFY: {
            const auto *header = reinterpret_cast<const NMHDR *>(Message.LParam);
            if (header->code == static_cast<UINT>(TBN_DELETINGBUTTON)) {
                PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
                if (alive && HotIndex >= static_cast<int>(SendMessageW(Handle, TB_BUTTONCOUNT, 0, 0)) - 1)
                    HotIndex = -1;
                return true;
            }
            if (header->code == static_cast<UINT>(TBN_DROPDOWN) && ToolBar) {
                const auto *n = reinterpret_cast<const NMTOOLBARW *>(Message.LParam);
                const vcl::TToolButton *button = ToolBar->ButtonOfCommand(n->iItem);
                DroppedDownCommand = button ? button->Command() : 0;
                if (button) RepaintButton(button->Index());
                UpdateWindow(Handle);
                // The drop-down runs in the handler; back here it is closed,
                // and its button may be gone: looked up again.
                PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
                if (!alive || !IsWindow(Handle)) return true;
                HotIndex = -1;
                const int command = std::exchange(DroppedDownCommand, 0);
                if (const vcl::TToolButton *still = command ? ToolBar->ButtonOfCommand(command) : nullptr)
                    RepaintButton(still->Index());
                return true;
            }
            break;
        }
        default: break;
        }
    }
    PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
    if (!alive || Destroyed() || !IsWindow(Handle) || !SkinData->IsSkinned(true)) return true;
    switch (Message.Msg) {
    case WM_SIZE:
        if (!SkinData->IsPaintLocked()) RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        break;
    case WM_MOUSEMOVE:
        if (!ToolBar || !ToolBar->ComponentState().Contains(vcl::csDesigning)) MouseMoved();
        break;
    case vcl::CM_MOUSELEAVE:
        if (HotIndex >= 0) {
            const int old = HotIndex;
            HotIndex = -1;
            RepaintButton(old);
        }
        break;
    default: break;
    }
    return true;
}

} // namespace skin
