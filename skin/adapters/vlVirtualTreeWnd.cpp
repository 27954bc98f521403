#include "vlVirtualTreeWnd.h"

#include <algorithm>

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
#include "vcl/TypInfo.h"
#include "vlSBPaint.h"

namespace skin {

namespace {

// The nine colours kept, as (object property, colour property).
constexpr std::pair<const char *, const char *> KeptColors[9] = {
    {"VETColors", "CompressedTextColor"},       {"VETColors", "FileTextColor"},
    {"VETColors", "FolderTextColor"},           {"Colors", "FocusedSelectionBorderColor"},
    {"Colors", "FocusedSelectionColor"},        {"Colors", "UnfocusedSelectionBorderColor"},
    {"Colors", "UnfocusedSelectionColor"},      {"Colors", "SelectionTextColor"},
    {"Colors", "HotColor"}};

vcl::TObject *Sub(const vcl::TObject *Object, const char *Name) {
    return Object && vcl::IsPublishedProp(Object, Name) ? vcl::GetObjectProp(Object, Name) : nullptr;
}

bool HasSub(const vcl::TObject *Object, const char *Sub_, const char *Name) {
    const vcl::TObject *s = Sub(Object, Sub_);
    return s && vcl::IsPublishedProp(s, Name);
}

void SetSubColor(vcl::TObject *Object, const char *Sub_, const char *Name, vcl::TColor Value) {
    if (HasSub(Object, Sub_, Name)) vcl::SetOrdProp(Sub(Object, Sub_), Name, Value);
}

vcl::TColor Mix(vcl::TColor A, vcl::TColor B) {
    const auto c = [&](int Shift) { return (((A >> Shift) & 0xFF) + ((B >> Shift) & 0xFF)) / 2 << Shift; };
    return static_cast<vcl::TColor>(c(0) | c(8) | c(16));
}

// "hoOwnerDraw" in or out of the header's options.
bool HeaderOwnerDraw(const vcl::TObject *Tree) {
    const vcl::TObject *header = Sub(Tree, "Header");
    if (!header || !vcl::IsPublishedProp(header, "Options")) return false;
    const std::string options = "," + vcl::GetSetProp(header, "Options") + ",";
    return options.find(",hoOwnerDraw,") != std::string::npos;
}

void SetHeaderOwnerDraw(vcl::TObject *Tree, bool On) {
    vcl::TObject *header = Sub(Tree, "Header");
    if (!header || !vcl::IsPublishedProp(header, "Options") || HeaderOwnerDraw(Tree) == On) return;
    std::string options = vcl::GetSetProp(header, "Options");
    if (On) {
        options += options.empty() ? "hoOwnerDraw" : ",hoOwnerDraw";
    } else {
        const std::size_t at = options.find("hoOwnerDraw");
        options.erase(at, std::string("hoOwnerDraw").size());
    }
    vcl::SetSetProp(header, "Options", options);
}

} // namespace

TvlVirtualTreeViewWnd::~TvlVirtualTreeViewWnd() { ReleaseScrollWindow(); }

vcl::TControl *TvlVirtualTreeViewWnd::Tree() const { return SkinData ? SkinData->OwnerControl() : nullptr; }

void TvlVirtualTreeViewWnd::SaveControlColors() {
    TvlEditWnd::SaveControlColors();
    vcl::TControl *tree = Tree();
    if (!tree) return;
    for (int i = 0; i < 9; ++i)
        if (HasSub(tree, KeptColors[i].first, KeptColors[i].second))
            SavedColors[i] = static_cast<vcl::TColor>(vcl::GetOrdProp(Sub(tree, KeptColors[i].first), KeptColors[i].second));
    SavedOwnerDraw = HeaderOwnerDraw(tree);
}

// The tree's answers to its colours (its fonts' too) may free the adapter
// or the tree.
void TvlVirtualTreeViewWnd::ApplySkinColors() {
    const vcl::TGuarded alive(this);
    TvlEditWnd::ApplySkinColors();
    if (!alive) return;
    vcl::TControl *tree = Tree();
    TsSkinManager *m = SkinData ? SkinData->GetSkinManager() : nullptr;
    if (!tree || !m || !m->IsValidSectionIndex(SkinData->SkinIndex())) return;
    const vcl::TColor font = m->Sections[static_cast<std::size_t>(SkinData->SkinIndex())].Props[0].FontColor;
    for (const char *name : {"CompressedTextColor", "FileTextColor", "FolderTextColor"})
        SetSubColor(tree, "VETColors", name, font);
    const vcl::TColor selection = m->GetSelectionColor(true);
    SetSubColor(tree, "Colors", "FocusedSelectionBorderColor", selection);
    SetSubColor(tree, "Colors", "FocusedSelectionColor", selection);
    SetSubColor(tree, "Colors", "HotColor", m->GetEditFontColor());
    const vcl::TColor unfocused = Mix(selection, m->GetEditColor());
    SetSubColor(tree, "Colors", "UnfocusedSelectionBorderColor", unfocused);
    SetSubColor(tree, "Colors", "UnfocusedSelectionColor", unfocused);
    SetSubColor(tree, "Colors", "SelectionTextColor", m->GetSelectionFontColor(true));
    const vcl::TGuarded control(tree);
    ApplyInfoColumnColors(*tree, *m);
    if (!alive || !control) return;
    bool found = false;
    if (vcl::IsPublishedProp(tree, "OnAdvancedHeaderDraw")) {
        found = true;
        if (!vcl::GetMethodProp(tree, "OnAdvancedHeaderDraw")) {
            vcl::SetMethodProp(tree, "OnAdvancedHeaderDraw",
                               TvlAdvancedHeaderDrawEvent::Bind<&TvlVirtualTreeViewWnd::AdvancedHeaderDraw>(this).Ref());
            DrawEventSet = true;
        }
        if (vcl::IsPublishedProp(tree, "OnHeaderDrawQueryElements") &&
            !vcl::GetMethodProp(tree, "OnHeaderDrawQueryElements")) {
            vcl::SetMethodProp(
                tree, "OnHeaderDrawQueryElements",
                TvlHeaderDrawQueryElementsEvent::Bind<&TvlVirtualTreeViewWnd::HeaderDrawQueryElements>(this).Ref());
            QueryEventSet = true;
        }
    }
    if (found) SetHeaderOwnerDraw(tree, true);
    if (Handle && IsWindow(Handle))
        RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
}

void TvlVirtualTreeViewWnd::RestoreControlColors() {
    const vcl::TGuarded alive(this);
    TvlEditWnd::RestoreControlColors();
    if (!alive) return;
    vcl::TControl *tree = Tree();
    if (!tree || tree->ComponentState().Contains(vcl::csDestroying)) return;
    for (int i = 0; i < 9; ++i) SetSubColor(tree, KeptColors[i].first, KeptColors[i].second, SavedColors[i]);
    // Only the handlers the adapter set go: the owner's own stay.
    const vcl::TMethodRef draw = TvlAdvancedHeaderDrawEvent::Bind<&TvlVirtualTreeViewWnd::AdvancedHeaderDraw>(this).Ref();
    if (DrawEventSet && vcl::GetMethodProp(tree, "OnAdvancedHeaderDraw") == draw)
        vcl::SetMethodProp(tree, "OnAdvancedHeaderDraw", {});
    const vcl::TMethodRef query =
        TvlHeaderDrawQueryElementsEvent::Bind<&TvlVirtualTreeViewWnd::HeaderDrawQueryElements>(this).Ref();
    if (QueryEventSet && vcl::GetMethodProp(tree, "OnHeaderDrawQueryElements") == query)
        vcl::SetMethodProp(tree, "OnHeaderDrawQueryElements", {});
    DrawEventSet = QueryEventSet = false;
    SetHeaderOwnerDraw(tree, SavedOwnerDraw);
    if (Sub(tree, "PaintInfoColumn")) {
        if (vcl::IsPublishedProp(tree, "Themed")) vcl::SetOrdProp(tree, "Themed", 1);
        SetSubColor(tree, "PaintInfoColumn", "Color", vcl::clBtnFace);
        SetSubColor(tree, "Header", "Color", vcl::clBtnFace);
        if (auto *font = dynamic_cast<vcl::TFont *>(Sub(Sub(tree, "Header"), "Font"))) font->SetColor(vcl::clBtnText);
    }
}

void TvlVirtualTreeViewWnd::ApplyInfoColumnColors(vcl::TControl &Tree, const TsSkinManager &M) {
    SetSubColor(&Tree, "PaintInfoColumn", "Color", M.GetMainColor());
    if (HasSub(&Tree, "PaintInfoColumn", "Style")) vcl::SetOrdProp(Sub(&Tree, "PaintInfoColumn"), "Style", 1);
    if (!Sub(&Tree, "PaintInfoColumn")) return;
    SetSubColor(&Tree, "Header", "Color", M.GetEditColor());
    if (auto *font = dynamic_cast<vcl::TFont *>(Sub(Sub(&Tree, "Header"), "Font"))) font->SetColor(M.GetMainFontColor());
}

int TvlVirtualTreeViewWnd::VisibleHeaderHeight() const {
    const vcl::TObject *header = Sub(Tree(), "Header");
    if (!header || !vcl::IsPublishedProp(header, "Height") || !vcl::IsPublishedProp(header, "Options")) return 0;
    const std::string options = "," + vcl::GetSetProp(header, "Options") + ",";
    if (options.find(",hoVisible,") == std::string::npos) return 0;
    return static_cast<int>(vcl::GetOrdProp(header, "Height"));
}

void TvlVirtualTreeViewWnd::ScrollQuietly(vcl::TMessage &Message) {
    const vcl::TGuarded alive(this);
    SendMessageW(Handle, WM_SETREDRAW, FALSE, 0);
    PassOnUnless(TvlEditWnd::OwnMessage(Message), Message);
    if (!alive) return;
    SendMessageW(Handle, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
}

void TvlVirtualTreeViewWnd::Print(vcl::TMessage &Message) {
    const auto dc = reinterpret_cast<HDC>(Message.WParam);
    SkinData->PaintLocked = false;
    RefreshGeometry(*this);
    const vcl::TGuarded alive(this);
    if (SkinData->BGChanged) {
        if (!ApplyColorsOnce()) return;
        SendSkinCommand(Handle, SC_BUILD_CACHE, 0);
        if (!alive) return;
    }
    if (!dc) return;
    const int frame = std::max(FrameLeft, 0);
    const int saved = SaveDC(dc);
    OffsetViewportOrgEx(dc, frame, frame + VisibleHeaderHeight(), nullptr);
    vcl::TMessage client{WM_PRINTCLIENT, Message.WParam, Message.LParam, 0};
    PassOn(client);
    RestoreDC(dc, saved);
    if (!alive) return;
    vcl::TMessage rest{WM_PRINT, Message.WParam, Message.LParam & ~(PRF_CLIENT | PRF_ERASEBKGND), 0};
    PassOn(rest);
    if (!alive) return;
    // The built image holds the mask border already: drawn again over it,
    // its see-through corners would darken with every paint.
    CopyBorderStrips(dc, BorderStripWidth());
    Message.Result = 0;
    PaintNcScrollBars(*this, -1, dc);
}

void TvlVirtualTreeViewWnd::NcPaint(vcl::TMessage &Message) {
    Message.Result = 0;
    RefreshGeometry(*this);
    if (SkinData->UpdatePaintLock(false)) return;
    const vcl::TGuarded alive(this);
    if (SkinData->BGChanged) {
        if (!ApplyColorsOnce()) return;
        SendSkinCommand(Handle, SC_BUILD_CACHE, 0);
        if (!alive) return;
    }
    // The build drew the mask border (see Print).
    const vcl::TWindowDC dc(Handle, GetWindowDC(Handle));
    CopyBorderStrips(dc.Get(), BorderStripWidth());
    vcl::TMessage print{WM_PRINT, reinterpret_cast<WPARAM>(dc.Get()), PRF_NONCLIENT, 0};
    PassOn(print);
    if (!alive) return;
    Message.Result = 0;
    PaintNcScrollBars(*this, -1, dc.Get());
}

int TvlVirtualTreeViewWnd::BorderStripWidth() const {
    return (GetWindowLongPtrW(Handle, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) ? 2 : 0;
}

void TvlVirtualTreeViewWnd::HeaderDrawQueryElements(vcl::TObject *, TvlHeaderPaintInfo &, std::uint32_t &Elements) {
    Elements = hpeBackground | hpeDropMark | hpeSortGlyph | hpeText;
}

void TvlVirtualTreeViewWnd::AdvancedHeaderDraw(vcl::TObject *, TvlHeaderPaintInfo &Info, std::uint32_t Elements) {
    if (Destroyed() || !SkinData || !SkinData->IsSkinned(false) || !Info.TargetDC) return;
    TsSkinManager *m = SkinData->GetSkinManager();
    if (!m || !m->IsValidSectionIndex(SkinData->SkinIndex())) return;
    // The tree's own manager: with two managers the default one need not
    // be the tree's.
    int section = m->FindSectionIndex("COLHEADER");
    if (!m->IsValidSectionIndex(section)) section = m->FindSectionIndex("BUTTON");
    const int state = Info.IsDownIndex ? 2 : Info.IsHoverIndex ? 1 : 0;
    const vcl::TRect r = Info.PaintRectangle;
    if (r.IsEmpty()) return;
    const auto bmp = NewBitmap32(r.Width(), r.Height());
    const vcl::TRect whole{0, 0, r.Width(), r.Height()};
    if ((Elements & hpeBackground) && m->IsValidSectionIndex(section)) {
        // Over the tree's own picture, where the header lies inside its
        // border; its colour only while it has no picture that reaches there.
        TvlBgInfo bg;
        vcl::TPoint at{0, 0};
        vcl::TBitmap *cache = SkinData->CacheBmp();
        const int border = std::max(FrameLeft, 0);
        if (cache && !cache->Empty() && r.Left >= 0 && r.Top >= 0 && cache->Width() >= border + r.Right &&
            cache->Height() >= border + r.Bottom) {
            InitBgInfo(cache, 0, 0, bg);
            at = {border + r.Left, border + r.Top};
        } else {
            bg.Color = GetColorProp(Tree(), "Color");
            bg.UseBmp = false;
        }
        PaintSkinSection(section, bg, state, whole, at, *bmp, m);
    } else {
        BitBlt(bmp->Canvas()->Handle(), 0, 0, r.Width(), r.Height(), Info.TargetDC, r.Left, r.Top, SRCCOPY);
    }
    vcl::TCanvas &canvas = *bmp->Canvas();
    if (vcl::TObject *header = Sub(Tree(), "Header"))
        if (auto *font = dynamic_cast<vcl::TFont *>(Sub(header, "Font"))) canvas.SetFont(font);
    const vcl::TRect text{Info.TextRectangle.Left - r.Left, Info.TextRectangle.Top - r.Top,
                          Info.TextRectangle.Right - r.Left, Info.TextRectangle.Bottom - r.Top};
    if ((Elements & hpeText) && !(Elements & hpeDropMark) && m->IsValidSectionIndex(section))
        WriteSectionText(canvas, Info.Text, true, text, 0, section, state == 0 ? 0 : 1, m);
    if ((Elements & hpeSortGlyph) && Info.ShowSortGlyph) {
        const vcl::TObject *header = Sub(Tree(), "Header");
        const bool up = header && vcl::IsPublishedProp(header, "SortDirection") &&
                        vcl::GetOrdProp(header, "SortDirection") == 0;
        const TvlElementEntry &element = m->CommonElements.ScrollButtons[up ? 1 : 3];
        const int x = Info.SortGlyphPos.X - r.Left;
        if (m->IsValidMaskIndex(element.GlyphMask)) {
            const TsMaskData &glyph = m->Masks[static_cast<std::size_t>(element.GlyphMask)];
            TvlBgInfo bg;
            InitBgInfo(bmp.get(), 0, 0, bg);
            DrawSkinGlyph(*bmp, {x, (r.Height() - GetMaskFrameHeight(glyph)) / 2}, state, 1, glyph, bg);
        } else {
            const int shift = state == 2 && m->ButtonsOptions()->ShiftContentOnClick ? 1 : 0;
            const int y = (r.Height() - 3) / 2 + shift;
            const vcl::TColor ink =
                m->IsValidSectionIndex(element.SectionIndex)
                    ? m->Sections[static_cast<std::size_t>(element.SectionIndex)].Props[static_cast<std::size_t>(std::min(state, 2))].FontColor
                    : vcl::clBlack;
            DrawScrollArrowGlyph(canvas, ink, {x + shift, y, x + shift + 6, y + 3}, up ? adUp : adDown);
        }
    }
    if ((Elements & hpeDropMark) && m->IsValidSectionIndex(section))
        WriteSectionText(canvas, Info.Text, true, text,
                         DT_END_ELLIPSIS | DT_VCENTER | (Info.WrapCaption ? DT_WORDBREAK : DT_SINGLELINE), section,
                         state == 0 ? 0 : 1, m);
    BitBlt(Info.TargetDC, r.Left, r.Top, r.Width(), r.Height(), bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

bool TvlVirtualTreeViewWnd::OwnMessage(vcl::TMessage &Message) {
    if (Destroyed() || !SkinData || !SkinData->IsSkinned(false)) {
        return TvlEditWnd::OwnMessage(Message);
    }
    switch (Message.Msg) {
    case WM_ERASEBKGND: Message.Result = 1; return true;
    case WM_PRINT: Print(Message); return true;
    case WM_NCPAINT:
        if (!IsWindowVisible(Handle)) break;
        NcPaint(Message);
        return true;
    case WM_VSCROLL:
    case WM_HSCROLL:
        if (LOWORD(Message.WParam) == SB_THUMBTRACK) {
            // The tree reads the position from its scroll information.
            SCROLLINFO info{};
            info.cbSize = sizeof info;
            info.fMask = SIF_ALL;
            const int bar = Message.Msg == WM_VSCROLL ? SB_VERT : SB_HORZ;
            GetScrollInfo(Handle, bar, &info);
            info.nPos = info.nTrackPos = Message.LParam ? static_cast<int>(Message.LParam) : HIWORD(Message.WParam);
            info.fMask = SIF_POS;
            SetScrollInfo(Handle, bar, &info, FALSE);
        }
        if (Message.Msg == WM_VSCROLL) {
            ScrollQuietly(Message);
            return true;
        }
        break;
    default: break;
    }
    return TvlEditWnd::OwnMessage(Message);
}

} // namespace skin
