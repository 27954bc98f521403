#include "vlComboWnd.h"

#include <algorithm>

#include "skin/graphics/vlGlyphStrips.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/graphics/vlParentBackground.h"
#include "skin/graphics/vlSkinGlyphs.h"
#include "skin/graphics/vlSkinSections.h"
#include "skin/graphics/vlSkinText.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/ComboBox.h"
#include "vcl/WideText.h"
#include "vlDialogRoutines.h"
#include "vlSBPaint.h"

namespace skin {

namespace {

bool Visible(HWND Handle) { return IsWindowVisible(Handle) != FALSE; }

// The frame strips of a combo box, and of the simple one's field.
constexpr int SimpleBorder = 3;

DWORD ComboStyle(HWND Handle) { return static_cast<DWORD>(GetWindowLongPtrW(Handle, GWL_STYLE)) & 3; }

bool CursorInside(HWND Handle) {
    POINT p{};
    RECT r{};
    return GetCursorPos(&p) && GetWindowRect(Handle, &r) && PtInRect(&r, p);
}

vcl::TRect WindowSize(HWND Handle) {
    RECT r{};
    GetWindowRect(Handle, &r);
    return {0, 0, r.right - r.left, r.bottom - r.top};
}

// The rows of a simple combo box below its list, which neither the combo
// nor the list paints, get what lies behind the combo box: on the combo's
// window, or into a picture of it (DC with the combo's origin).
void PaintGapBelowList(HWND Combo, HWND List, HDC DC, const TvlAsker &Asker) {
    const HWND behind = Combo ? GetParent(Combo) : nullptr;
    if (!behind) return;
    RECT c{}, l{};
    GetWindowRect(Combo, &c);
    GetWindowRect(List, &l);
    const int top = l.bottom - c.top, width = c.right - c.left, height = c.bottom - l.bottom;
    if (width <= 0 || height <= 0 || top < 0) return;
    TvlBgQuery query;
    if (!QueryParentBackgroundWnd(query, behind, false, Asker) || !IsWindow(Combo) || !IsWindow(List)) return;
    TvlBgInfo bg;
    BgQueryToBgInfo(query, bg);
    POINT at{c.left, l.bottom};
    ScreenToClient(behind, &at);
    const auto gap = NewBitmap32(width, height);
    FillWithBackground(*gap, bg, {at.x, at.y});
    if (DC) {
        BitBlt(DC, 0, top, width, height, gap->Canvas()->Handle(), 0, 0, SRCCOPY);
        return;
    }
    const vcl::TWindowDC dc(Combo, GetWindowDC(Combo));
    BitBlt(dc.Get(), 0, top, width, height, gap->Canvas()->Handle(), 0, 0, SRCCOPY);
}

} // namespace

bool ComboDroppedDown() { return AdaptersState().ComboDroppedDown; }

std::wstring ComboItemText(HWND Combo, int Index) {
    const LRESULT length = SendMessageW(Combo, CB_GETLBTEXTLEN, Index, 0);
    if (length == CB_ERR || length < 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT got = SendMessageW(Combo, CB_GETLBTEXT, Index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(got == CB_ERR ? 0 : static_cast<std::size_t>(std::clamp<LRESULT>(got, 0, length)));
    return text;
}

// ------------------------------------------------------------ the combo box

TvlComboBoxWnd::~TvlComboBoxWnd() {
    AuxSkinData.reset();
    RemoveListAdapter();
    ReleaseScrollWindow();
}

void TvlComboBoxWnd::SetDefaultSection() {
    InCtlColor = false;
    AuxSkinData = std::make_unique<TsCommonData>(nullptr, false);
    TvlEditWnd::SetDefaultSection();
}

vcl::TRect TvlComboBoxWnd::GetButtonRect() {
    const vcl::TRect w = WindowSize(Handle);
    const DWORD style = ComboStyle(Handle);
    const int width = style == CBS_SIMPLE ? 0 : ScrollBarWidthAtLeastSystem(SkinManager) + 2;
    const TsSkinManager *m = SkinData ? SkinData->GetSkinManager() : nullptr;
    const int margin = m && m->SkinData ? m->SkinData->ComboMargin : 2;
    const bool rtl = (GetWindowLongPtrW(Handle, GWL_EXSTYLE) & WS_EX_RTLREADING) != 0;
    const int left = rtl ? margin : w.Right - width - margin;
    return {left, margin, left + width, w.Bottom - margin};
}

int TvlComboBoxWnd::ButtonState() {
    if (SendMessageW(Handle, CB_GETDROPPEDSTATE, 0, 0)) return 2;
    const TsSkinManager *m = DefaultManager();
    if ((SkinData && SkinData->IsControlActive()) || (m && m->ActiveWindow == Handle)) return 1;
    return 0;
}

void TvlComboBoxWnd::PaintComboButton(HDC DC) {
    const vcl::TRect r = GetButtonRect();
    TsSkinManager *m = SkinData ? SkinData->GetSkinManager() : nullptr;
    if (r.IsEmpty() || !m) return;
    const int state = ButtonState();
    const auto bmp = NewBitmap32(r.Width(), r.Height());
    const auto back = NewBitmap32(r.Width(), r.Height());
    if (vcl::TBitmap *cache = SkinData->CacheBmp(); cache && cache->Width() >= r.Right && cache->Height() >= r.Bottom)
        BitBlt(back->Canvas()->Handle(), 0, 0, r.Width(), r.Height(), cache->Canvas()->Handle(), r.Left, r.Top, SRCCOPY);
    BitBlt(bmp->Canvas()->Handle(), 0, 0, r.Width(), r.Height(), back->Canvas()->Handle(), 0, 0, SRCCOPY);
    TvlBgInfo bg;
    InitBgInfo(back.get(), 0, 0, bg);
    const TvlElementEntry &button = m->CommonElements.ComboButton;
    const vcl::TRect whole{0, 0, r.Width(), r.Height()};
    if (m->IsValidSectionIndex(button.SectionIndex))
        PaintSectionWithMask(button.SectionIndex, button.BorderMask, button.Texture, bg, state, whole, {0, 0}, *bmp, m);
    if (m->IsValidMaskIndex(button.GlyphMask)) {
        const TsMaskData &glyph = m->Masks[static_cast<std::size_t>(button.GlyphMask)];
        DrawSkinGlyph(*bmp, {(r.Width() - GetMaskFrameWidth(glyph)) / 2, (r.Height() - GetMaskFrameHeight(glyph)) / 2},
                      state, 1, glyph, bg);
    } else {
        const vcl::TColor ink =
            m->IsValidSectionIndex(button.SectionIndex)
                ? m->Sections[static_cast<std::size_t>(button.SectionIndex)].Props[static_cast<std::size_t>(std::min(state, 2))].FontColor
                : 0;
        DrawScrollArrowGlyph(*bmp->Canvas(), ink, whole, adDown);
    }
    if (DC) {
        BitBlt(DC, r.Left, r.Top, r.Width(), r.Height(), bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
    } else {
        const vcl::TWindowDC dc(Handle, GetWindowDC(Handle));
        BitBlt(dc.Get(), r.Left, r.Top, r.Width(), r.Height(), bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
    }
}

void TvlComboBoxWnd::CreateListAdapter(HWND List) {
    if (ListAdapter || !List || !SkinsList()) return;
    const bool simple = ComboStyle(Handle) == CBS_SIMPLE;
    const bool repaint = SendMessageW(Handle, CB_GETCOUNT, 0, 0) > 0;
    if (!SkinData->OwnerControl() && KeepTheme) {
        TvlKeepThemeScope keep;
        ListAdapter = CreateComboListAdapter(List, simple, repaint, "EDIT", SkinManager);
    } else {
        ListAdapter = CreateComboListAdapter(List, simple, repaint, "EDIT", SkinManager);
    }
}

void TvlComboBoxWnd::RemoveListAdapter() {
    if (!ListAdapter) return;
    std::unique_ptr<TvlMainWnd> adapter(ListAdapter.release());
    RemoveWndHook(ListWnd, true, true, adapter);
}

LRESULT TvlComboBoxWnd::ListColor(vcl::TMessage &Message) {
    InCtlColor = true;
    const vcl::TGuarded alive(this);
    PassOnUnless(TvlEditWnd::OwnMessage(Message), Message);
    if (!alive) return Message.Result;
    InCtlColor = false;
    if (!ListWnd) ListWnd = reinterpret_cast<HWND>(Message.LParam);
    if (!ListAdapter) CreateListAdapter(ListWnd);
    if (!ListAdapter || KeepTheme) return Message.Result;
    TvlSectionQuery query;
    SendSkinCommand(ListWnd, SC_GET_SECTION_INDEX, reinterpret_cast<LPARAM>(&query));
    TsSkinManager *m = SkinData->GetSkinManager();
    if (!m || !m->IsValidSectionIndex(query.SectionIndex)) return Message.Result;
    const TsGenState &props = m->Sections[static_cast<std::size_t>(query.SectionIndex)].Props[0];
    const auto dc = reinterpret_cast<HDC>(Message.WParam);
    if (props.FontColor >= 0) SetTextColor(dc, vcl::ColorToRGB(props.FontColor));
    SetBkColor(dc, vcl::ColorToRGB(props.Color));
    // One brush, made again only when the colour changes.
    if (!FListBrush || FListBrushColor != props.Color) {
        FListBrush = vcl::TBrushHandle(CreateSolidBrush(vcl::ColorToRGB(props.Color)));
        FListBrushColor = props.Color;
    }
    return reinterpret_cast<LRESULT>(FListBrush.Get());
}

int TvlComboBoxWnd::BuildSimpleFrame() {
    TsSkinManager *m = SkinData->GetSkinManager();
    SkinData->PrepareCache();
    vcl::TBitmap &cache = *SkinData->CacheBmp();
    const vcl::TRect w = WindowSize(Handle);
    // The list's item height (item 0), not the selection field's.
    int height = static_cast<int>(SendMessageW(Handle, CB_GETITEMHEIGHT, 0, 0)) + 8;
    // The frame ends where the list begins: a taller one would hide its
    // lower edge under the list and leave the system's edge showing.
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    // The list's own style, not whether it shows: the frame of a hidden
    // form's picture ends where the screen's will.
    if (GetComboBoxInfo(Handle, &info) && info.hwndList && (GetWindowLongPtrW(info.hwndList, GWL_STYLE) & WS_VISIBLE)) {
        RECT c{}, l{};
        GetWindowRect(Handle, &c);
        GetWindowRect(info.hwndList, &l);
        if (l.top - c.top > 2 * SimpleBorder) height = static_cast<int>(l.top - c.top);
    }
    cache.SetSize(w.Width(), height);
    if (KeepTheme && m && m->SkinColors[scBorderColor] != vcl::TColor{0xFF00FF}) {
        vcl::TCanvas &canvas = *cache.Canvas();
        canvas.Brush()->SetStyle(vcl::bsSolid);
        canvas.Brush()->SetColor(static_cast<vcl::TColor>(GetSysColor(COLOR_WINDOW)));
        canvas.FillRect({0, 0, w.Width(), height});
        canvas.Brush()->SetColor(m->SkinColors[scBorderColor]);
        canvas.FrameRect({0, 0, w.Width(), height});
    } else if (m && m->IsValidSectionIndex(SkinData->SkinIndex())) {
        TvlBgInfo bg;
        if (!WindowBackgroundInfo(Handle, bg, TvlAsker(this))) return -1;
        PaintControlSkin(*SkinData, bg, 0, {0, 0, w.Width(), height}, PosInParent, cache, true);
    }
    return height;
}

void TvlComboBoxWnd::PaintFrame(HDC DC) {
    const int border = SimpleBorder;
    if (ComboStyle(Handle) == CBS_SIMPLE) {
        const int height = BuildSimpleFrame();
        if (height < 0) return;
        vcl::TBitmap &cache = *SkinData->CacheBmp();
        const vcl::TRect w = WindowSize(Handle);
        const int h = std::min(height, w.Height());
        BitBlt(DC, 0, 0, w.Width(), border, cache.Canvas()->Handle(), 0, 0, SRCCOPY);
        BitBlt(DC, 0, h - border, w.Width(), border, cache.Canvas()->Handle(), 0, h - border, SRCCOPY);
        BitBlt(DC, 0, 0, border, h, cache.Canvas()->Handle(), 0, 0, SRCCOPY);
        BitBlt(DC, w.Width() - border, 0, border, h, cache.Canvas()->Handle(), w.Width() - border, 0, SRCCOPY);
        return;
    }
    SkinData->BGChanged = true;
    // The build asks the parent for what lies behind: its answer may free this adapter.
    const vcl::TGuarded alive(this);
    SendSkinCommand(Handle, SC_BUILD_CACHE, 0);
    if (!alive) return;
    CopyBorderStrips(DC, border);
    PaintComboButton(DC);
}

void TvlComboBoxWnd::DrawComboItem(const DRAWITEMSTRUCT &Draw) {
    TsSkinManager *m = SkinData->GetSkinManager();
    auto *combo = dynamic_cast<vcl::TComboBox *>(SkinData->OwnerControl());
    const vcl::TRect r{Draw.rcItem.left, Draw.rcItem.top, Draw.rcItem.right, Draw.rcItem.bottom};
    if (!m || !combo || r.IsEmpty()) return;
    if (SkinData->BGChanged) {
        const vcl::TGuarded alive(this);
        SendSkinCommand(Handle, SC_BUILD_CACHE, 0);
        if (!alive) return;
    }
    const auto bmp = NewBitmap32(r.Width(), r.Height());
    vcl::TCanvas &canvas = *bmp->Canvas();
    canvas.SetFont(combo->Font());
    const bool editField = (Draw.itemState & ODS_COMBOBOXEDIT) != 0;
    const int sectionIndex = SkinData->SkinIndex();
    const int states = m->IsValidSectionIndex(sectionIndex) ? m->Sections[static_cast<std::size_t>(sectionIndex)].States : 1;
    int state = states > 1 ? 1 : 0;
    if (editField) {
        // The field looks active only while the combo (or its edit) has the focus.
        const HWND focus = GetFocus();
        const bool ownerFocused = focus && (focus == Handle || IsChild(Handle, focus));
        if ((!SkinData->IsControlActive() || !ownerFocused) && !SkinData->Focused) state = 0;
        // What lies behind the field is the combo's own picture there.
        if (vcl::TBitmap *cache = SkinData->CacheBmp(); cache && !cache->Empty())
            BitBlt(bmp->Canvas()->Handle(), 0, 0, r.Width(), r.Height(), cache->Canvas()->Handle(), r.Left, r.Top,
                   SRCCOPY);
    }
    const bool selected = (Draw.itemState & ODS_SELECTED) != 0;
    const int selection = m->FindSectionIndex("SELECTION");
    vcl::TColor ink = 0;
    if (selected && m->IsValidSectionIndex(selection)) {
        TvlBgInfo bg;
        bg.Color = m->GetSelectionColor(true);
        bg.UseBmp = false;
        if (editField) InitBgInfo(bmp.get(), 0, 0, bg);
        PaintSkinSection(selection, bg, 1, {0, 0, r.Width(), r.Height()}, {0, 0}, *bmp, m);
    } else {
        const TsGenState &props =
            m->IsValidSectionIndex(sectionIndex)
                ? m->Sections[static_cast<std::size_t>(sectionIndex)].Props[static_cast<std::size_t>(std::min(state, 2))]
                : TsGenState{};
        canvas.Brush()->SetColor(selected ? m->GetSelectionColor(true) : props.Color);
        canvas.FillRect({0, 0, r.Width(), r.Height()});
        ink = selected ? m->GetSelectionFontColor(true) : props.FontColor;
    }
    const bool ownerDrawn = combo->Style() == vcl::csOwnerDrawFixed || combo->Style() == vcl::csOwnerDrawVariable;
    const int index = static_cast<int>(Draw.itemID);
    if (ownerDrawn && combo->OnDrawItem) {
        if (index >= 0 && index < combo->Items()->Count()) {
            vcl::TCanvas *own = combo->Canvas();
            const HDC dc = bmp->Canvas()->Handle();
            const int saved = SaveDC(dc);
            own->SetHandle(dc);
            own->SetFont(combo->Font());
            // The application's drawing may free the combo box, its canvas
            // with it.
            const vcl::TGuarded alive(combo);
            combo->OnDrawItem(combo, index, {0, 0, r.Width(), r.Height()}, Draw.itemState);
            if (!alive) return;
            own->SetHandle(nullptr);
            RestoreDC(dc, saved);
        }
    } else {
        // A drop-down combo's field holds what was typed, item or not.
        const bool typedField = editField && combo->Style() == vcl::csDropDown;
        const std::string text =
            index >= 0 && !typedField ? vcl::WideToUtf8(ComboItemText(Handle, index)) : combo->Text();
        const int inset = typedField ? 0 : 2;
        const vcl::TRect tr{inset, 0, r.Width() - inset, r.Height()};
        // The class library keeps no reading order of its own: the window's
        // styles carry the right-to-left alignment and reading.
        const LONG_PTR ex = GetWindowLongPtrW(Handle, GWL_EXSTYLE);
        UINT flags = DT_NOPREFIX | DT_NOCLIP | DT_EXPANDTABS | DT_SINGLELINE;
        if (ex & WS_EX_RIGHT) flags |= DT_RIGHT;
        if (ex & WS_EX_RTLREADING) flags |= DT_RTLREADING;
        if (selected && m->IsValidSectionIndex(selection)) {
            WriteSectionText(canvas, text, true, tr, flags, selection, 1, m);
        } else {
            canvas.Font()->SetColor(ink);
            canvas.Brush()->SetStyle(vcl::bsClear);
            DrawTextOnCanvas(canvas, text, tr, flags);
            if (Draw.itemState & ODS_FOCUS) {
                const RECT fr{0, 0, r.Width(), r.Height()};
                DrawFocusRect(canvas.Handle(), &fr);
            }
        }
    }
    BitBlt(Draw.hDC, r.Left, r.Top, r.Width(), r.Height(), bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

bool TvlComboBoxWnd::EditHasFocus(const vcl::TMessage &Message) const {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (!GetComboBoxInfo(Handle, &info) || !info.hwndItem || info.hwndItem == Handle) return false;
    // While WM_KILLFOCUS runs the focus may not have moved yet.
    if (Message.Msg == WM_KILLFOCUS && reinterpret_cast<HWND>(Message.WParam) == info.hwndItem) return true;
    return GetFocus() == info.hwndItem;
}

bool TvlComboBoxWnd::EditFocusNotice(vcl::TMessage &Message) {
    const WORD code = HIWORD(Message.WParam);
    if (code != EN_SETFOCUS && code != EN_KILLFOCUS) return false;
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (!GetComboBoxInfo(Handle, &info) || !info.hwndItem || reinterpret_cast<HWND>(Message.LParam) != info.hwndItem)
        return false;
    if (code == EN_SETFOCUS)
        FocusGained(Message);
    else
        FocusLost(Message);
    return true;
}

void TvlComboBoxWnd::FocusGained(vcl::TMessage &Message) {
    SkinData->Focused = true;
    SkinData->BGChanged = true;
    // The new colours, the repaint and the message itself reach the
    // application, which may free the adapter.
    const vcl::TGuarded alive(this);
    if (LooksDifferentWhileActive() && PassesFocusTest()) {
        ApplySkinColors();
        if (!alive) return;
        RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
        if (!alive) return;
    }
    PassOn(Message);
    if (alive) PaintComboButton(nullptr);
}

void TvlComboBoxWnd::FocusLost(vcl::TMessage &Message) {
    SkinData->Focused = EditHasFocus(Message);
    SkinData->BGChanged = true;
    const vcl::TGuarded alive(this);
    PassOn(Message);
    if (!alive) return;
    if (LooksDifferentWhileActive() && PassesFocusTest()) {
        ApplySkinColors();
        if (!alive) return;
        // The focus that moved into the edit field keeps the edit's
        // selection: the field has just selected its text for the user.
        if (!SkinData->Focused) DeselectEditText();
        if (!alive) return;
        RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
        if (!alive) return;
    }
    PaintComboButton(nullptr);
}

void TvlComboBoxWnd::HoverChanged(vcl::TMessage &Message) {
    SkinData->MouseInside = FHoverPainted = Message.Msg == vcl::CM_MOUSEENTER;
    SkinData->BGChanged = true;
    const vcl::TGuarded alive(this);
    PassOnUnless(TvlEditWnd::OwnMessage(Message), Message);
    if (!alive) return;
    if (!SkinData->Focused) DeselectEditText();
    RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void TvlComboBoxWnd::DeselectEditText() {
    if (ComboStyle(Handle) == CBS_DROPDOWN) SendMessageW(Handle, CB_SETEDITSEL, 0, MAKELPARAM(-1, 0));
}

void TvlComboBoxWnd::QuietChange(vcl::TMessage &Message) {
    if (!dynamic_cast<vcl::TComboBox *>(SkinData->OwnerControl())) {
        PassOn(Message);
        return;
    }
    const vcl::TGuarded alive(this);
    SendMessageW(Handle, WM_SETREDRAW, FALSE, 0);
    SkinData->BGChanged = true;
    PassOn(Message);
    if (!alive) return;
    SendMessageW(Handle, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void TvlComboBoxWnd::PrintHiddenField(HDC DC) {
    if (IsWindowVisible(Handle) || ComboStyle(Handle) != CBS_DROPDOWNLIST) return;
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (!GetComboBoxInfo(Handle, &info)) return;
    RECT r = info.rcItem;
    InflateRect(&r, -1, -1);
    const int selected = static_cast<int>(SendMessageW(Handle, CB_GETCURSEL, 0, 0));
    const HWND owner = GetParent(Handle);
    if (GetWindowLongPtrW(Handle, GWL_STYLE) & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) {
        DRAWITEMSTRUCT draw{};
        draw.CtlType = ODT_COMBOBOX;
        draw.CtlID = static_cast<UINT>(GetDlgCtrlID(Handle));
        draw.itemID = static_cast<UINT>(selected);
        draw.itemAction = ODA_DRAWENTIRE;
        draw.itemState = ODS_COMBOBOXEDIT | (IsWindowEnabled(Handle) ? 0 : ODS_DISABLED);
        draw.hwndItem = Handle;
        draw.hDC = DC;
        draw.rcItem = r;
        draw.itemData = selected >= 0 ? static_cast<ULONG_PTR>(SendMessageW(Handle, CB_GETITEMDATA, selected, 0)) : 0;
        SendMessageW(owner, WM_DRAWITEM, draw.CtlID, reinterpret_cast<LPARAM>(&draw));
        return;
    }
    const vcl::TSavedDC saved(DC);
    if (const auto font = reinterpret_cast<HFONT>(SendMessageW(Handle, WM_GETFONT, 0, 0))) SelectObject(DC, font);
    const bool enabled = IsWindowEnabled(Handle) != FALSE;
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(owner, enabled ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC,
                                                       reinterpret_cast<WPARAM>(DC), reinterpret_cast<LPARAM>(Handle)));
    if (!enabled) SetTextColor(DC, GetSysColor(COLOR_GRAYTEXT));
    if (!brush) brush = GetSysColorBrush(COLOR_WINDOW);
    FillRect(DC, &r, brush);
    const std::wstring text = selected >= 0 ? ComboItemText(Handle, selected) : std::wstring();
    ExtTextOutW(DC, r.left + 1, r.top + 1, ETO_OPAQUE | ETO_CLIPPED, &r, text.c_str(), static_cast<UINT>(text.size()),
                nullptr);
}

void TvlComboBoxWnd::Print(vcl::TMessage &Message) {
    const auto dc = reinterpret_cast<HDC>(Message.WParam);
    RefreshGeometry(*this);
    SkinData->PaintLocked = true;
    const vcl::TGuarded alive(this);
    ApplySkinColors();
    if (!alive) return;
    SkinData->PaintLocked = false;
    Message.Result = 0;
    if (!dc) return;
    // The picture is what the screen's paint leaves: the system's paint of
    // the field (its item where and as the system draws it), the skin's
    // frame strips and button, the combo's own windows (an edit field, a
    // simple one's list) and what lies below a simple list. An item or
    // text drawn here by the adapter itself stood a pixel or two from the
    // screen's, and a simple one's list was missing.
    vcl::TMessage paint{WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT, 0};
    PassOn(paint);
    if (!alive) return;
    PrintHiddenField(dc);
    if (!alive) return;
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    const bool simple = ComboStyle(Handle) == CBS_SIMPLE && GetComboBoxInfo(Handle, &info) && info.hwndList;
    // A simple list not yet painted has no adapter of its own yet: it
    // prints skinned as it will show.
    if (simple && !ListWnd) ListWnd = info.hwndList;
    if (simple && !ListAdapter) CreateListAdapter(ListWnd);
    // The screen shows a drop-down's edit over the button's edge and a
    // simple combo's frame strips over its edit's lowest row.
    if (!simple) PaintFrame(dc);
    if (!alive) return;
    PrintChildWindows(Handle, dc);
    if (!alive || !simple) return;
    PaintFrame(dc);
    if (alive) PaintGapBelowList(Handle, info.hwndList, dc, TvlAsker(this));
}

bool TvlComboBoxWnd::OwnMessage(vcl::TMessage &Message) {
    if (Destroyed() || !SkinData || !SkinData->IsSkinned(false)) {
        return TvlEditWnd::OwnMessage(Message);
    }
    const vcl::TGuarded alive(this);
    switch (Message.Msg) {
    case WM_NCCALCSIZE:
        PassOnUnless(TvlEditWnd::OwnMessage(Message), Message);
        if (alive) FrameLeft = 3;
        return true;
    case vcl::CN_COMMAND:
    case WM_COMMAND:
        if (Message.Msg == WM_COMMAND && EditFocusNotice(Message)) return true;
        if (HIWORD(Message.WParam) == CBN_DROPDOWN) {
            AdaptersState().ComboDroppedDown = true;
            // Wine's dropped list asks its colour of the combo's parent
            // chain only: the list is learnt here as well.
            COMBOBOXINFO info{};
            info.cbSize = sizeof info;
            if (!ListAdapter && GetComboBoxInfo(Handle, &info) && info.hwndList) {
                ListWnd = info.hwndList;
                CreateListAdapter(ListWnd);
            }
        }
        if (HIWORD(Message.WParam) == CBN_CLOSEUP) {
            AdaptersState().ComboDroppedDown = false;
            SkinData->BGChanged = true;
            PaintComboButton(nullptr);
        }
        break;
    case WM_CTLCOLORLISTBOX:
        if (InCtlColor) break;
        Message.Result = ListColor(Message);
        return true;
    case WM_DRAWITEM: {
        PassOn(Message);
        if (alive && SkinData->OwnerControl()) {
            InvalidateRect(Handle, nullptr, TRUE);
            UpdateWindow(Handle);
        }
        return true;
    }
    case WM_SETFOCUS:
    case WM_LBUTTONUP: FocusGained(Message); return true;
    case WM_KILLFOCUS:
    case vcl::CM_EXIT: FocusLost(Message); return true;
    case WM_ERASEBKGND: Message.Result = 1; return true;
    case WM_PAINT: {
        if (!ApplyColorsOnce()) return true;
        RefreshGeometry(*this);
        const auto given = reinterpret_cast<HDC>(Message.WParam);
        PassOn(Message);
        if (!alive || !Visible(Handle)) return true;
        if (given) {
            PaintFrame(given);
        } else {
            const vcl::TWindowDC dc(Handle, GetWindowDC(Handle));
            PaintFrame(dc.Get());
        }
        return true;
    }
    case WM_PRINT: Print(Message); return true;
    case vcl::CM_MOUSEENTER:
        if (FHoverPainted) break;
        HoverChanged(Message);
        return true;
    case vcl::CM_MOUSELEAVE:
        if (CursorInside(Handle)) break;
        HoverChanged(Message);
        return true;
    case vcl::CM_TEXTCHANGED:
    case vcl::CM_CHANGED:
    case CB_SETCURSEL: QuietChange(Message); return true;
    case vcl::CN_DRAWITEM:
        if (dynamic_cast<vcl::TComboBox *>(SkinData->OwnerControl()) && Message.LParam) {
            DrawComboItem(*reinterpret_cast<const DRAWITEMSTRUCT *>(Message.LParam));
            Message.Result = 1;
            return true;
        }
        break;
    case SM_SKINCOMMAND:
        switch (SubCommandOf(Message.WParam)) {
        case SC_SKIN_REMOVED:
            if (reinterpret_cast<TsSkinManager *>(Message.LParam) != SkinManager) break;
            [[fallthrough]];
        case SC_MOUSE_ENTERED:
        case SC_MOUSE_LEFT:
            // The common answer and the previous procedure come first
            // (AfterCommonAnswer) unless the edit's stage handles these.
            if (!TvlEditWnd::OwnMessage(Message)) return LeaveToAfterCommon(Message);
            if (alive) AfterCommonCommand(Message);
            return true;
        default: break;
        }
        break;
    default: break;
    }
    return TvlEditWnd::OwnMessage(Message);
}

bool TvlComboBoxWnd::AfterCommonAnswer(vcl::TMessage &Message) {
    if (!TakeLeftCommand(Message)) return TvlEditWnd::AfterCommonAnswer(Message);
    // Neither the common stage nor the edit's answers these.
    const vcl::TGuarded alive(this);
    PassOn(Message);
    if (alive) AfterCommonCommand(Message);
    return true;
}

void TvlComboBoxWnd::AfterCommonCommand(const vcl::TMessage &Message) {
    if (SubCommandOf(Message.WParam) != SC_SKIN_REMOVED) {
        PaintComboButton(nullptr);
        return;
    }
    // A simple combo box's list is a child framed by its client edge, never
    // by a thick frame: a border would frame it twice.
    if (ListWnd && IsWindow(ListWnd) && ComboStyle(Handle) != CBS_SIMPLE) {
        const LONG_PTR style = GetWindowLongPtrW(ListWnd, GWL_STYLE);
        SetWindowLongPtrW(ListWnd, GWL_STYLE, (style & ~WS_THICKFRAME) | WS_BORDER);
    }
    RemoveListAdapter();
}

// ---------------------------------------------------------------- its list

std::unique_ptr<TvlComboListWnd> CreateComboListAdapter(HWND List, bool Simple, bool Repaint,
                                                        const std::string &Section, TsSkinManager *Manager) {
    TvlSkinParams params;
    params.SkinSection = Section;
    auto adapter = std::make_unique<TvlComboListWnd>();
    adapter->SimpleList = Simple;
    adapter->Create(List, nullptr, Manager, params, Repaint);
    if (!Simple) {
        RECT r{};
        GetWindowRect(List, &r);
        SetWindowPos(List, nullptr, 0, 0, r.right - r.left + 1, r.bottom - r.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
    }
    return adapter;
}

TvlComboListWnd::~TvlComboListWnd() { ReleaseScrollWindow(); }

void TvlComboListWnd::SetDefaultSection() {
    Tracking = false;
    RefreshGeometry(*this);
    TvlEditWnd::SetDefaultSection();
}

void TvlComboListWnd::ApplySkinColors() {
    if (InCalcSize || !SkinData) return;
    InCalcSize = true;
    ColorsApplied = true;
    const TsSkinManager *m = SkinData->GetSkinManager();
    if (m && m->IsValidSectionIndex(SkinData->SkinIndex())) {
        const TsGeneralData &section = m->Sections[static_cast<std::size_t>(SkinData->SkinIndex())];
        if (!SkinData->CustomColor())
            AppliedColor = KeepTheme ? static_cast<vcl::TColor>(GetSysColor(COLOR_WINDOW))
                                     : section.Props[section.States >= 2 ? 1 : 0].Color;
        BorderColor = m->SkinColors[scBorderColor];
        SkinData->BGChanged = true;
    } else {
        BorderColor = 0;
    }
    InCalcSize = false;
}

int TvlComboListWnd::BorderStripWidth() const { return std::max(FrameLeft, 1); }

bool TvlComboListWnd::KeepsCapture() const { return !SimpleList && Visible(Handle); }

bool TvlComboListWnd::PrepareCache() {
    RefreshGeometry(*this);
    if (SimpleList) {
        const vcl::TGuarded alive(this);
        SendSkinCommand(Handle, SC_BUILD_CACHE, 0);
        return static_cast<bool>(alive);
    }
    SkinData->UpdateIndexes(false);
    ApplySkinColors();
    SkinData->PrepareCache();
    vcl::TBitmap &cache = *SkinData->CacheBmp();
    cache.SetSize(WndSize.cx, WndSize.cy);
    vcl::TCanvas &canvas = *cache.Canvas();
    canvas.Brush()->SetStyle(vcl::bsSolid);
    canvas.Brush()->SetColor(AppliedColor);
    canvas.FillRect({0, 0, WndSize.cx, WndSize.cy});
    canvas.Brush()->SetColor(BorderColor);
    canvas.FrameRect({0, 0, WndSize.cx, WndSize.cy});
    if (!KeepTheme && !PaintMaskBorder(*SkinData, 0, *this)) return false;
    SkinData->BGChanged = false;
    return true;
}

bool TvlComboListWnd::OwnMessage(vcl::TMessage &Message) {
    if (Destroyed() || !SkinData || !SkinData->IsSkinned(false)) {
        return TvlEditWnd::OwnMessage(Message);
    }
    const vcl::TGuarded alive(this);
    TvlScrollEngine &e = ScrollEngine();
    switch (Message.Msg) {
    case WM_NCPAINT: {
        if (InScrollMessage) break;
        if (!PrepareCache()) return true;
        const vcl::TWindowDC dc(Handle, GetWindowDC(Handle));
        CopyBorderStrips(dc.Get(), BorderStripWidth());
        if (!PaintNcScrollBars(*this, -1, dc.Get())) return true;
        if (SimpleList) PaintGapBelowList(GetParent(Handle), Handle, nullptr, TvlAsker(this));
        Message.Result = 0;
        return true;
    }
    case SM_SKINCOMMAND:
        // The bars and the hover ask for a cache whenever BGChanged is set;
        // a dropped list's cache is its own colour and frame, never the
        // section painted for a state as a plain edit's is.
        if (SubCommandOf(Message.WParam) == SC_BUILD_CACHE && !SimpleList) {
            static_cast<void>(PrepareCache());  // nothing of the adapter follows
            return true;
        }
        break;
    case WM_ERASEBKGND:
        if (const auto dc = reinterpret_cast<HDC>(Message.WParam)) {
            if (!ColorsApplied) ApplySkinColors();
            RECT r{};
            GetClientRect(Handle, &r);
            const vcl::TBrushHandle brush(CreateSolidBrush(vcl::ColorToRGB(AppliedColor)));
            FillRect(dc, &r, brush.Get());
            Message.Result = 1;
            return true;
        }
        break;
    case WM_NCCALCSIZE: ScrollBarsNcCalcSize(*this, Message); return true;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: {
        vcl::TMessage hit{WM_NCHITTEST, 0, Message.LParam, 0};
        ScrollBarsNcHitTest(*this, hit);
        if (hit.Result == HTHSCROLL || hit.Result == HTVSCROLL) {
            Message.WParam = static_cast<WPARAM>(hit.Result);
            ScrollBarMouseDown(*this, Message);
            return true;
        }
        break;
    }
    case WM_LBUTTONUP: {
        POINT p{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
        ClientToScreen(Handle, &p);
        vcl::TMessage hit{WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y), 0};
        ScrollBarsNcHitTest(*this, hit);
        // Over a bar or not, the release ends a press on the skinned bar, and
        // the list hears of it once, through ScrollBarMouseUp (the dropped
        // list keeps the capture); only a simple list lets go of it here.
        ScrollBarMouseUp(*this, Message);
        if (alive && SimpleList && (hit.Result == HTHSCROLL || hit.Result == HTVSCROLL)) ReleaseCapture();
        return true;
    }
    case WM_HSCROLL:
    case WM_VSCROLL: {
        PassOn(Message);
        if (alive) RepaintBars();
        return true;
    }
    case WM_PRINT:
    case WM_PRINTCLIENT: {
        const auto dc = reinterpret_cast<HDC>(Message.WParam);
        // The list's own style, not whether it shows: a simple list prints
        // into the picture of a hidden form too.
        if (!dc || !(GetWindowLongPtrW(Handle, GWL_STYLE) & WS_VISIBLE)) break;
        if (!PrepareCache()) return true;
        if (Message.Msg == WM_PRINT) {
            // The client where it stands inside the frame, as the screen
            // shows it (the system's print of the whole window put it at
            // the frame's corner, under the border strips).
            POINT client{0, 0};
            MapWindowPoints(Handle, nullptr, &client, 1);
            RECT w{};
            GetWindowRect(Handle, &w);
            const vcl::TSavedDC saved(dc);
            POINT origin{};
            GetViewportOrgEx(dc, &origin);
            SetViewportOrgEx(dc, origin.x + client.x - w.left, origin.y + client.y - w.top, nullptr);
            RECT r{};
            GetClientRect(Handle, &r);
            IntersectClipRect(dc, 0, 0, r.right, r.bottom);
            if (Message.LParam & PRF_ERASEBKGND) SendMessageW(Handle, WM_ERASEBKGND, Message.WParam, 0);
            if (alive) SendMessageW(Handle, WM_PRINTCLIENT, Message.WParam, PRF_CLIENT);
            Message.Result = 0;
        } else {
            PassOn(Message);
        }
        if (!alive) return true;
        // While the list tracks the mouse, or a bar part is pressed, its
        // border strips stay as they are.
        if (Message.Msg == WM_PRINT && SendMessageW(Handle, LB_GETCOUNT, 0, 0) > 0 && e.PressedPart == -1 && !Tracking)
            CopyBorderStrips(dc, BorderStripWidth());
        PaintNcScrollBars(*this, -1, dc);
        return true;
    }
    case 0x1AE:  // LBCB_STARTTRACK
        Tracking = true;
        break;
    case 0x1AF:  // LBCB_ENDTRACK
        Tracking = false;
        SkinData->BGChanged = true;
        break;
    default: break;
    }
    if (Message.Msg != WM_WINDOWPOSCHANGED) return TvlEditWnd::OwnMessage(Message);
    PassOnUnless(TvlEditWnd::OwnMessage(Message), Message);
    if (alive) RepaintBars();
    return true;
}

// ------------------------------------------------------------ wwEdit combo

void TvlWWComboBoxWnd::SetDefaultSection() {
    if (const vcl::TControl *c = SkinData ? SkinData->OwnerControl() : nullptr) {
        const auto *combo = dynamic_cast<const vcl::TComboBox *>(c);
        HasButton = !combo || combo->Style() == vcl::csDropDown || combo->Style() == vcl::csDropDownList;
    }
    TvlComboBoxWnd::SetDefaultSection();
}

vcl::TRect TvlWWComboBoxWnd::GetButtonRect() {
    const vcl::TRect w = WindowSize(Handle);
    const int width = HasButton ? GetSystemMetrics(SM_CXVSCROLL) : 0;
    const int left = (GetWindowLongPtrW(Handle, GWL_EXSTYLE) & WS_EX_RTLREADING) ? 2 : w.Right - width - 2;
    return {left, 2, left + width, w.Bottom - 2};
}

bool TvlWWComboBoxWnd::OwnMessage(vcl::TMessage &Message) {
    if (Message.Msg == WM_CTLCOLORLISTBOX) {
        PassOn(Message);
        return true;
    }
    return TvlComboBoxWnd::OwnMessage(Message);
}

} // namespace skin
