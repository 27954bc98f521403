#include "vlListViewWnd.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "skin/graphics/vlGlyphStrips.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/graphics/vlSkinGlyphs.h"
#include "skin/graphics/vlSkinSections.h"
#include "skin/graphics/vlSkinText.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/Controls.h"
#include "vcl/GdiObjects.h"
#include "vcl/TypInfo.h"
#include "vcl/WideText.h"
#include "vlSBPaint.h"

namespace skin {

namespace {

constexpr const wchar_t *HeaderAdapterProp = L"VLSBHDR";
constexpr const wchar_t *HeaderOldProcProp = L"VLSBHDROLD";

bool Visible(HWND Handle) { return IsWindowVisible(Handle) != FALSE; }

HWND FindHeader(HWND List) { return FindWindowExW(List, nullptr, WC_HEADERW, nullptr); }

// The state colour of a section (clamped).
vcl::TColor FontColorOf(const TsSkinManager &M, int Section, int State) {
    if (!M.IsValidSectionIndex(Section)) return vcl::clBlack;
    return M.Sections[static_cast<std::size_t>(Section)].Props[static_cast<std::size_t>(std::clamp(State, 0, 2))].FontColor;
}

} // namespace

// ---------------------------------------------------------------- list view

TvlListViewWnd::~TvlListViewWnd() { ReleaseScrollWindow(); }

void TvlListViewWnd::SetDefaultSection() {
    if (SkinData) SkinData->ControlKind = 10;
    TvlEditWnd::SetDefaultSection();
    PressedColumn = HotColumn = -1;
    if (!HeaderWnd)
        if (HWND header = FindHeader(Handle)) HookHeader(header);
}

void TvlListViewWnd::SaveControlColors() {
    TvlEditWnd::SaveControlColors();
    if (OwnColorsRead || !Handle) return;
    OwnBkColor = static_cast<COLORREF>(SendMessageW(Handle, LVM_GETBKCOLOR, 0, 0));
    OwnTextBkColor = static_cast<COLORREF>(SendMessageW(Handle, LVM_GETTEXTBKCOLOR, 0, 0));
    OwnTextColor = static_cast<COLORREF>(SendMessageW(Handle, LVM_GETTEXTCOLOR, 0, 0));
    OwnColorsRead = true;
}

void TvlListViewWnd::RestoreControlColors() {
    if (OwnColorsRead && Handle && IsWindow(Handle)) {
        // The colours the list had before the skin, shown or hidden: not the
        // system's, which would lose the application's own.
        SendMessageW(Handle, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(OwnBkColor));
        SendMessageW(Handle, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(OwnTextBkColor));
        SendMessageW(Handle, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(OwnTextColor));
    }
    UnhookHeader();
    TvlEditWnd::RestoreControlColors();
}

void TvlListViewWnd::ApplySkinColors() {
    const vcl::TGuarded alive(this);
    TvlEditWnd::ApplySkinColors();
    if (!alive || !SkinData) return;
    if (KeepTheme) {
        SendMessageW(Handle, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(GetSysColor(COLOR_WINDOW)));
        SendMessageW(Handle, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(GetSysColor(COLOR_WINDOW)));
        SendMessageW(Handle, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(GetSysColor(COLOR_WINDOWTEXT)));
        return;
    }
    const TsSkinManager *m = SkinData->GetSkinManager();
    if (!m || !m->IsValidSectionIndex(SkinData->SkinIndex())) return;
    const TsGeneralData &section = m->Sections[static_cast<std::size_t>(SkinData->SkinIndex())];
    const int state = SkinData->IsControlActive() && section.States > 1 ? 1 : 0;
    const TsGenState &props = section.Props[static_cast<std::size_t>(state)];
    if (!SkinData->CustomColor()) {
        SendMessageW(Handle, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(vcl::ColorToRGB(props.Color)));
        SendMessageW(Handle, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(vcl::ColorToRGB(props.Color)));
    }
    if (!SkinData->CustomFont())
        SendMessageW(Handle, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(vcl::ColorToRGB(props.FontColor)));
}

bool TvlListViewWnd::ReportView() const {
    if (const vcl::TControl *c = SkinData ? SkinData->OwnerControl() : nullptr;
        c && vcl::IsPublishedProp(c, "ViewStyle"))
        return vcl::GetOrdProp(c, "ViewStyle") == 3;
    return SendMessageW(Handle, LVM_GETVIEW, 0, 0) == LV_VIEW_DETAILS;
}

void TvlListViewWnd::HookHeader(HWND Header) {
    if (!Header || HeaderWnd) return;
    HeaderWnd = Header;
    SetPropW(Header, HeaderAdapterProp, this);
    HeaderOldProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(Header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TvlListViewWnd::HeaderProc)));
    SetPropW(Header, HeaderOldProcProp, reinterpret_cast<HANDLE>(HeaderOldProc));
}

void TvlListViewWnd::UnhookHeader() {
    if (!HeaderWnd) return;
    if (IsWindow(HeaderWnd)) {
        // Another procedure chained over ours keeps calling ours: it then
        // forwards to the old one (the property stays), so nothing is cut off.
        if (GetWindowLongPtrW(HeaderWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&TvlListViewWnd::HeaderProc)) {
            SetWindowLongPtrW(HeaderWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HeaderOldProc));
            RemovePropW(HeaderWnd, HeaderOldProcProp);
        }
        RemovePropW(HeaderWnd, HeaderAdapterProp);
        InvalidateRect(HeaderWnd, nullptr, TRUE);
    }
    HeaderWnd = nullptr;
    HeaderOldProc = nullptr;
}

LRESULT CALLBACK TvlListViewWnd::HeaderProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    auto *adapter = static_cast<TvlListViewWnd *>(GetPropW(Wnd, HeaderAdapterProp));
    if (adapter && adapter->HeaderWnd == Wnd) return adapter->HeaderMessage(Msg, WParam, LParam);
    const auto old = reinterpret_cast<WNDPROC>(GetPropW(Wnd, HeaderOldProcProp));
    if (Msg == WM_NCDESTROY) {
        RemovePropW(Wnd, HeaderOldProcProp);
        RemovePropW(Wnd, HeaderAdapterProp);
    }
    return old ? CallWindowProcW(old, Wnd, Msg, WParam, LParam) : DefWindowProcW(Wnd, Msg, WParam, LParam);
}

int TvlListViewWnd::ColumnAt(POINT P) const {
    const int count = static_cast<int>(SendMessageW(HeaderWnd, HDM_GETITEMCOUNT, 0, 0));
    std::vector<int> order(static_cast<std::size_t>(std::max(count, 0)));
    const bool full = (GetWindowLongPtrW(HeaderWnd, GWL_STYLE) & HDS_FULLDRAG) != 0;
    if (full && count > 0) SendMessageW(HeaderWnd, HDM_GETORDERARRAY, count, reinterpret_cast<LPARAM>(order.data()));
    for (int pos = 0; pos < count; ++pos) {
        RECT r{};
        SendMessageW(HeaderWnd, HDM_GETITEMRECT, full ? order[static_cast<std::size_t>(pos)] : pos, reinterpret_cast<LPARAM>(&r));
        if (PtInRect(&r, P)) return pos;
    }
    return -2;
}

void TvlListViewWnd::PaintHeaderItem(HDC DC, int Item, const RECT &R) {
    TsSkinManager *m = SkinData->GetSkinManager();
    const int w = R.right - R.left, h = R.bottom - R.top;
    if (!m || w <= 0 || h <= 0) return;
    const auto bmp = NewBitmap32(w, h);
    int state = 0;
    if (PressedColumn >= 0)
        state = PressedColumn == Item ? 2 : 0;
    else if (HotColumn == Item)
        state = 1;  // the area right of the last column (-2) too
    int section = m->FindSectionIndex("COLHEADER");
    if (!m->IsValidSectionIndex(section)) section = m->FindSectionIndex("BUTTON");
    const vcl::TControl *c = SkinData->OwnerControl();
    const vcl::TColor parent = c ? vcl::ColorToRGB(c->Color()) : static_cast<vcl::TColor>(GetSysColor(COLOR_WINDOW));
    TvlBgInfo bg;
    bg.Color = parent;
    bg.UseBmp = false;
    if (m->IsValidSectionIndex(section))
        PaintSkinSection(section, bg, state, {0, 0, w, h}, {0, 0}, *bmp, m);
    else {
        bmp->Canvas()->Brush()->SetColor(parent);
        bmp->Canvas()->FillRect({0, 0, w, h});
    }
    if (Item >= 0) PaintHeaderContent(*bmp, Item, state, section);
    BitBlt(DC, R.left, R.top, w, h, bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TvlListViewWnd::PaintHeaderContent(vcl::TBitmap &Bmp, int Item, int State, int Section) {
    TsSkinManager *m = SkinData->GetSkinManager();
    const int w = Bmp.Width(), h = Bmp.Height();
    wchar_t text[1024] = {};
    HDITEMW hd{};
    hd.mask = HDI_TEXT | HDI_FORMAT | HDI_BITMAP | HDI_IMAGE | HDI_ORDER;
    hd.pszText = text;
    hd.cchTextMax = 1024;
    SendMessageW(HeaderWnd, HDM_GETITEMW, Item, reinterpret_cast<LPARAM>(&hd));
    vcl::TCanvas &canvas = *Bmp.Canvas();
    if (const auto font = reinterpret_cast<HFONT>(SendMessageW(Handle, WM_GETFONT, 0, 0))) canvas.Font()->SetHandle(font);
    const vcl::TRect tr{4, 1, w - 4, h - 1};
    const std::string caption = vcl::WideToUtf8(text);
    const int arrowKind = (hd.fmt & HDF_SORTUP) ? adUp : (hd.fmt & HDF_SORTDOWN) ? adDown : -1;
    const TsMaskData *arrowImage = nullptr;
    if (const int mask = arrowKind >= 0 ? m->CommonElements.ScrollButtons[static_cast<std::size_t>(arrowKind)].GlyphMask : -1;
        m->IsValidMaskIndex(mask))
        arrowImage = &m->Masks[static_cast<std::size_t>(mask)];
    const int arrowWidth = arrowKind < 0 ? 0 : arrowImage ? GetMaskFrameWidth(*arrowImage) : 6;
    const int arrowRoom = arrowWidth ? arrowWidth + 6 : 0;
    // The column's image, from the list of the header's owner.
    // Image 0 is the list's first image like any other.
    const auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(HeaderWnd, HDM_GETIMAGELIST, 0, 0));
    int imageWidth = 0, imageHeight = 0;
    const bool hasImage = images && (hd.fmt & HDF_IMAGE) && hd.iImage >= 0 &&
                          ImageList_GetIconSize(images, &imageWidth, &imageHeight) && imageWidth > 0;
    const int imageRoom = hasImage ? imageWidth + 4 : 0;
    canvas.RequiredState({vcl::csHandleValid, vcl::csFontValid});
    SIZE extent{};
    const std::wstring wide(text);
    GetTextExtentPoint32W(canvas.Handle(), wide.c_str(), static_cast<int>(wide.size()), &extent);
    const int textWidth = std::max(0, std::min<int>(extent.cx + 5, tr.Width() - arrowRoom - imageRoom));
    int left = tr.Left + imageRoom;
    if (hd.fmt & HDF_RIGHT)
        left = tr.Right - textWidth - arrowRoom;
    else if (hd.fmt & HDF_CENTER)
        left = tr.Left + imageRoom + (tr.Width() - imageRoom - textWidth - arrowRoom) / 2;
    vcl::TRect text_r{left, tr.Top, left + textWidth, tr.Bottom};
    if (State == 2 && SkinData->IsSkinned(true)) text_r = {text_r.Left + 1, text_r.Top + 1, text_r.Right + 1, text_r.Bottom + 1};
    if (m->IsValidSectionIndex(Section))
        WriteSectionText(canvas, caption, true, text_r, DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS,
                         Section, State == 0 ? 0 : 1, m);
    if (hasImage)
        ImageList_Draw(images, hd.iImage, canvas.Handle(), text_r.Left - imageRoom, (h - imageHeight) / 2, ILD_TRANSPARENT);
    if (arrowKind < 0) return;
    const int ax = text_r.Right + 6;
    if (arrowImage) {
        TvlBgInfo bg;
        InitBgInfo(&Bmp, 0, 0, bg);
        DrawSkinGlyph(Bmp, {ax, (h - GetMaskFrameHeight(*arrowImage)) / 2}, State, 1, *arrowImage, bg);
    } else {
        const int ay = (h - 3) / 2;
        DrawScrollArrowGlyph(canvas, FontColorOf(*m, Section, State), {ax, ay, ax + 6, ay + 3}, arrowKind);
    }
}

void TvlListViewWnd::PaintHeader(HDC DC) {
    RECT client{};
    GetClientRect(HeaderWnd, &client);
    const int count = static_cast<int>(SendMessageW(HeaderWnd, HDM_GETITEMCOUNT, 0, 0));
    int right = 0;
    for (int pos = 0; pos < count; ++pos) {
        const int item = static_cast<int>(SendMessageW(HeaderWnd, HDM_ORDERTOINDEX, pos, 0));
        RECT r{};
        SendMessageW(HeaderWnd, HDM_GETITEMRECT, item, reinterpret_cast<LPARAM>(&r));
        if (r.right <= r.left) continue;
        PaintHeaderItem(DC, item, r);
        right = std::max<int>(right, r.right);
    }
    if (right < client.right) PaintHeaderItem(DC, -2, {right, 0, client.right, client.bottom});
}

LRESULT TvlListViewWnd::HeaderMessage(UINT Msg, WPARAM WParam, LPARAM LParam) {
    const HWND header = HeaderWnd;
    const WNDPROC old = HeaderOldProc;
    const auto previous = [&] { return CallWindowProcW(old, header, Msg, WParam, LParam); };
    // In every view and skin state: a handle kept past its window would let
    // the next header go instead of hooking it.
    if (Msg == WM_NCDESTROY) {
        const LRESULT r = previous();
        RemovePropW(header, HeaderAdapterProp);
        RemovePropW(header, HeaderOldProcProp);
        HeaderWnd = nullptr;
        HeaderOldProc = nullptr;
        return r;
    }
    if (!ReportView() || !SkinData || !SkinData->IsSkinned(false)) return previous();
    switch (Msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps{};
        HDC dc = reinterpret_cast<HDC>(WParam);
        if (dc) {
            PaintHeader(dc);
        } else {
            dc = BeginPaint(header, &ps);
            PaintHeader(dc);
            EndPaint(header, &ps);
        }
        return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_WINDOWPOSCHANGING:
        if (Visible(Handle)) SendMessageW(Handle, WM_NCPAINT, 1, 0);
        return previous();
    case WM_NCHITTEST: {
        const LRESULT r = previous();
        POINT p{static_cast<short>(LOWORD(LParam)), static_cast<short>(HIWORD(LParam))};
        ScreenToClient(header, &p);
        int column = ColumnAt(p);
        if (column >= 0) column = static_cast<int>(SendMessageW(header, HDM_ORDERTOINDEX, column, 0));
        if (column != HotColumn) {
            HotColumn = column;
            InvalidateRect(header, nullptr, FALSE);
        }
        return r;
    }
    case WM_LBUTTONUP:
        PressedColumn = -1;
        InvalidateRect(header, nullptr, FALSE);
        return previous();
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        const LRESULT r = previous();
        if (!HeaderWnd) return r;
        HDHITTESTINFO hit{};
        hit.pt = {static_cast<short>(LOWORD(LParam)), static_cast<short>(HIWORD(LParam))};
        SendMessageW(header, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        PressedColumn = (hit.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN)) || hit.iItem < 0 ? -1 : hit.iItem;
        // The header tracks a divider drag in a loop of its own: the press
        // is over once the procedure returns without the button down.
        if (!(GetAsyncKeyState(VK_LBUTTON) & 0x8000)) PressedColumn = -1;
        RedrawWindow(header, nullptr, nullptr, RDW_INVALIDATE);
        return r;
    }
    default: return previous();
    }
}

bool TvlListViewWnd::ThumbTrack(vcl::TMessage &Message, bool Vertical) {
    if (LOWORD(Message.WParam) != SB_THUMBTRACK) return false;
    const int pos = Message.LParam ? static_cast<int>(Message.LParam) : HIWORD(Message.WParam);
    TvlScrollEngine &e = ScrollEngine();
    Message.Result = 0;
    if (pos == e.TrackPos) return true;
    int delta = pos - e.TrackPos;
    RECT item{};
    item.left = LVIR_BOUNDS;
    if (Vertical) {
        if (ReportView() && !SendMessageW(Handle, LVM_ISGROUPVIEWENABLED, 0, 0) &&
            SendMessageW(Handle, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item)))
            delta *= item.bottom - item.top;
        SendMessageW(Handle, LVM_SCROLL, 0, delta);
    } else {
        if (SendMessageW(Handle, LVM_GETVIEW, 0, 0) == LV_VIEW_LIST &&
            SendMessageW(Handle, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item)))
            delta *= item.right - item.left;
        SendMessageW(Handle, LVM_SCROLL, delta, 0);
    }
    return true;
}

bool TvlListViewWnd::OwnMessage(vcl::TMessage &Message) {
    if (Message.Msg == SM_SKINCOMMAND && SubCommandOf(Message.WParam) == SC_SKIN_APPLIED &&
        reinterpret_cast<TsSkinManager *>(Message.LParam) == SkinManager) {
        // The header was given back with the colours when the skin went.
        const vcl::TGuarded alive(this);
        const bool handled = TvlEditWnd::OwnMessage(Message);
        if (alive && !Destroyed() && !HeaderWnd) HookHeader(FindHeader(Handle));
        return handled;
    }
    if (Destroyed() || !SkinData || !SkinData->IsSkinned(false)) {
        return TvlEditWnd::OwnMessage(Message);
    }
    const vcl::TGuarded alive(this);
    switch (Message.Msg) {
    case WM_VSCROLL:
        if (ThumbTrack(Message, true)) return true;
        Message.LParam = 0;
        break;
    case WM_HSCROLL:
        if (ThumbTrack(Message, false)) return true;
        break;
    case SM_SKINCOMMAND:
        switch (SubCommandOf(Message.WParam)) {
        case SC_SKIN_REFRESH:
            if (reinterpret_cast<TsSkinManager *>(Message.LParam) != SkinManager) break;
            if (const bool handled = TvlEditWnd::OwnMessage(Message); !alive || !HeaderWnd) {
                return handled;
            } else {
                // Invalidated: a WM_PAINT sent without an update region
                // would paint nothing.
                InvalidateRect(HeaderWnd, nullptr, FALSE);
                return handled;
            }
        case SC_SCROLL_BEGIN: Message.Result = 1; return true;  // the list takes full positions
        default: break;
        }
        break;
    case WM_PAINT:
        if (!ApplyColorsOnce()) return true;
        break;
    case WM_PRINT:
        PrintBackground(reinterpret_cast<HDC>(Message.WParam));
        if (!alive) return true;
        break;
    case WM_NCHITTEST:
        // The empty area right of the last column is hot as -2: it must go
        // cold too once the cursor is over the list, or it stays hot.
        if (PressedColumn >= 0 || HotColumn != -1) {
            PressedColumn = HotColumn = -1;
            if (HeaderWnd) InvalidateRect(HeaderWnd, nullptr, FALSE);
        }
        break;
    default: break;
    }
    if (Message.Msg == SM_SKINCOMMAND) return TvlEditWnd::OwnMessage(Message);
    PassOnUnless(TvlEditWnd::OwnMessage(Message), Message);
    if (!alive || Destroyed()) return true;
    switch (Message.Msg) {
    case LVM_INSERTITEMA:
    case LVM_INSERTITEMW:
    case LVM_ARRANGE:
    case WM_STYLECHANGED:
        if (!SkinData->IsPaintLocked()) RepaintBars();
        break;
    case WM_PARENTNOTIFY:
        if (LOWORD(Message.WParam) == WM_CREATE) {
            const auto child = reinterpret_cast<HWND>(Message.LParam);
            wchar_t name[32] = {};
            GetClassNameW(child, name, 32);
            if (lstrcmpiW(name, WC_HEADERW) == 0) {
                if (!HeaderWnd)
                    HookHeader(child);
                else
                    UnhookHeader();
            }
        }
        break;
    case WM_SIZE:
        SkinData->BGChanged = true;
        if (const TvlAsker self(this); !PaintSkinnedControl(*SkinData, Handle, false, self) && self.Gone()) return true;
        InvalidateRect(Handle, nullptr, TRUE);
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: ApplySkinColors(); break;
    case WM_LBUTTONUP: ReleaseCapture(); break;
    case WM_PRINT: PrintHeader(reinterpret_cast<HDC>(Message.WParam)); break;
    default: break;
    }
    return true;
}

void TvlListViewWnd::PrintBackground(HDC DC) {
    RefreshGeometry(*this);
    if (!ApplyColorsOnce() || !DC) return;
    const RECT whole{0, 0, WndSize.cx, WndSize.cy};
    const vcl::TBrushHandle brush(CreateSolidBrush(vcl::ColorToRGB(AppliedColor)));
    FillRect(DC, &whole, brush.Get());
}

void TvlListViewWnd::PrintHeader(HDC DC) {
    // The header's own style, not whether it shows: the picture of a hidden
    // form (the show animation's first) has the header too.
    if (!DC || !HeaderWnd || !ReportView() || !(GetWindowLongPtrW(HeaderWnd, GWL_STYLE) & WS_VISIBLE)) return;
    RECT client{}, header{};
    GetClientRect(Handle, &client);
    GetWindowRect(HeaderWnd, &header);
    MapWindowPoints(HWND_DESKTOP, Handle, reinterpret_cast<POINT *>(&header), 2);
    const int saved = SaveDC(DC);
    const int frame = std::max(FrameLeft, 0);
    // The client less the bars, in the client's coordinates.
    OffsetViewportOrgEx(DC, frame, frame, nullptr);
    IntersectClipRect(DC, 0, 0, client.right, client.bottom);
    OffsetViewportOrgEx(DC, header.left, header.top, nullptr);
    PaintHeader(DC);
    RestoreDC(DC, saved);
}

// ---------------------------------------------------------------- tree view

TvlTreeViewWnd::~TvlTreeViewWnd() { ReleaseScrollWindow(); }

void TvlTreeViewWnd::SaveControlColors() {
    TvlEditWnd::SaveControlColors();
    if (OwnColorsRead || !Handle) return;
    OwnBkColor = static_cast<COLORREF>(SendMessageW(Handle, TVM_GETBKCOLOR, 0, 0));
    OwnTextColor = static_cast<COLORREF>(SendMessageW(Handle, TVM_GETTEXTCOLOR, 0, 0));
    OwnColorsRead = true;
}

void TvlTreeViewWnd::RestoreControlColors() {
    const vcl::TGuarded alive(this);
    TvlEditWnd::RestoreControlColors();
    if (!alive) return;
    // The tree's own colours, shown or hidden: not the system's, which
    // would lose the application's own.
    if (OwnColorsRead && Handle && IsWindow(Handle)) {
        SendMessageW(Handle, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(OwnBkColor));
        SendMessageW(Handle, TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(OwnTextColor));
    }
}

void TvlTreeViewWnd::ApplySkinColors() {
    ColorsApplied = true;
    if (!SkinData) return;
    if (KeepTheme) {
        SendMessageW(Handle, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(GetSysColor(COLOR_WINDOW)));
        SendMessageW(Handle, TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(GetSysColor(COLOR_WINDOWTEXT)));
        return;
    }
    const TsSkinManager *m = SkinData->GetSkinManager();
    if (!m || !m->IsValidSectionIndex(SkinData->SkinIndex())) return;
    const TsGeneralData &section = m->Sections[static_cast<std::size_t>(SkinData->SkinIndex())];
    const int state = SkinData->IsControlActive() ? std::min(1, section.States - 1) : 0;
    vcl::TControl *c = SkinData->OwnerControl();
    const vcl::TColor colour = SkinData->CustomColor() && c ? c->Color() : section.Props[static_cast<std::size_t>(state)].Color;
    const vcl::TColor font = SkinData->CustomFont() && c ? c->Font()->Color()
                                                         : section.Props[static_cast<std::size_t>(state)].FontColor;
    if (c) {
        // The control's answer to its new font may free the adapter or the
        // control.
        const vcl::TGuarded alive(this);
        const vcl::TGuarded control(c);
        if (c->Font()->Color() != font) c->Font()->SetColor(font);
        if (!alive) return;
        if (control && c->Color() != colour)
            SendMessageW(Handle, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(vcl::ColorToRGB(colour)));
    } else {
        SendMessageW(Handle, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(vcl::ColorToRGB(colour)));
        // Without a control there is no font to carry the section's font
        // colour: the items would keep the system's text colour on the
        // skin's background, unreadable on a dark skin.
        SendMessageW(Handle, TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(vcl::ColorToRGB(font)));
    }
    AppliedColor = colour;
}

vcl::TColor TvlTreeViewWnd::BackgroundColor() const {
    if (KeepTheme) return static_cast<vcl::TColor>(GetSysColor(COLOR_WINDOW));
    const vcl::TControl *c = SkinData->OwnerControl();
    if (SkinData->CustomColor()) return c ? c->Color() : static_cast<vcl::TColor>(GetSysColor(COLOR_WINDOW));
    const TsSkinManager *m = SkinData->GetSkinManager();
    if (!m || !m->IsValidSectionIndex(SkinData->SkinIndex())) return AppliedColor;
    const TsGeneralData &section = m->Sections[static_cast<std::size_t>(SkinData->SkinIndex())];
    const bool active = SkinData->Focused || (SkinData->MouseInside && LooksDifferentWhileActive());
    return section.Props[static_cast<std::size_t>(active ? std::min(1, section.States - 1) : 0)].Color;
}

bool TvlTreeViewWnd::PaintsOwnBackground() const {
    const vcl::TControl *c = SkinData->OwnerControl();
    return c && vcl::IsPublishedProp(c, "OnCustomDraw") && vcl::GetMethodProp(c, "OnCustomDraw");
}

void TvlTreeViewWnd::FillBackground(vcl::TMessage &Message) {
    if (PaintsOwnBackground()) {
        PassOn(Message);
        return;
    }
    Message.Result = 1;
    if (!SkinData->GetSkinManager() || SkinData->UpdatePaintLock(false) || !ApplyColorsOnce()) return;
    if (SkinData->BGChanged) {
        const vcl::TGuarded alive(this);
        SendSkinCommand(Handle, SC_BUILD_CACHE, 0);
        if (!alive) return;
    }
    RECT r{};
    GetClientRect(Handle, &r);
    const vcl::TBrushHandle brush(CreateSolidBrush(vcl::ColorToRGB(BackgroundColor())));
    if (const auto dc = reinterpret_cast<HDC>(Message.WParam)) {
        FillRect(dc, &r, brush.Get());
    } else {
        const vcl::TWindowDC own(Handle);
        FillRect(own.Get(), &r, brush.Get());
    }
}

bool TvlTreeViewWnd::OwnMessage(vcl::TMessage &Message) {
    if (Destroyed() || !SkinData || !SkinData->IsSkinned(false)) {
        return TvlEditWnd::OwnMessage(Message);
    }
    if (Message.Msg == WM_ERASEBKGND && !EraseByEdit) {
        FillBackground(Message);
        return true;
    }
    if (Message.Msg != WM_LBUTTONUP) return TvlEditWnd::OwnMessage(Message);
    const vcl::TGuarded alive(this);
    PassOnUnless(TvlEditWnd::OwnMessage(Message), Message);
    if (alive) ReleaseCapture();
    return true;
}

} // namespace skin
