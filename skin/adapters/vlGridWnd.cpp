#include "vlGridWnd.h"

#include <algorithm>

#include "skin/graphics/vlCommonUtils.h"
#include "skin/graphics/vlImageHelpers.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/sVclUtils.h"
#include "vcl/Controls.h"
#include "vcl/GdiObjects.h"
#include "vcl/TypInfo.h"
#include "vlSBPaint.h"
#include "vlScrollBars.h"

namespace skin {

namespace {

constexpr vcl::TColor White = 0xFFFFFF, Black = 0;

bool Visible(HWND Handle) { return IsWindowVisible(Handle) != FALSE; }

bool Has(vcl::TObject &Control, std::string_view Name) { return HasProperty(&Control, Name); }

std::function<bool(vcl::TObject &)> With(std::string Name) {
    return [Name](vcl::TObject &c) { return Has(c, Name); };
}

// A colour the skin gives.
std::function<std::int64_t()> Colour(vcl::TColor C) {
    return [C] { return static_cast<std::int64_t>(C); };
}

std::function<std::int64_t()> Number(std::int64_t N) {
    return [N] { return N; };
}

// The colour of a section in state 0; Fallback when the skin lacks it.
vcl::TColor SectionColor(const TsSkinManager &M, int Index, bool Font, vcl::TColor Fallback) {
    if (!M.IsValidSectionIndex(Index)) return Fallback;
    const TsGenState &state = M.Sections[static_cast<std::size_t>(Index)].Props[0];
    return Font ? state.FontColor : state.Color;
}

} // namespace

// ------------------------------------------------------------ property paths

vcl::TObject *ResolvePropertyPath(vcl::TObject *Control, std::string_view Path, std::string &LastName) {
    vcl::TObject *obj = Control;
    std::size_t start = 0;
    while (obj) {
        const std::size_t dot = Path.find('.', start);
        if (dot == std::string_view::npos) {
            LastName = std::string(Path.substr(start));
            return obj;
        }
        obj = GetObjectProperty(obj, Path.substr(start, dot - start));
        start = dot + 1;
    }
    return nullptr;
}

bool HasPropertyPath(vcl::TObject *Control, std::string_view Path) {
    std::string name;
    vcl::TObject *obj = ResolvePropertyPath(Control, Path, name);
    const vcl::TPropInfo *prop = obj ? vcl::GetPropInfo(obj, name) : nullptr;
    if (!prop) return false;
    switch (prop->Kind()) {
    case vcl::tkInteger: case vcl::tkChar: case vcl::tkEnumeration: case vcl::tkInt64: case vcl::tkSet: return true;
    default: return false;
    }
}

std::int64_t GetPathOrd(vcl::TObject *Control, std::string_view Path) {
    std::string name;
    vcl::TObject *obj = ResolvePropertyPath(Control, Path, name);
    return obj ? GetOrdProperty(obj, name) : 0;
}

void SetPathOrd(vcl::TObject *Control, std::string_view Path, std::int64_t Value) {
    std::string name;
    if (vcl::TObject *obj = ResolvePropertyPath(Control, Path, name)) SetOrdProperty(obj, name, Value);
}

// ------------------------------------------------------------------ TvlGridWnd

TvlGridWnd::~TvlGridWnd() { ReleaseScrollWindow(); }

std::vector<TvlGridRow> TvlGridWnd::Rows(const TsSkinManager &M) const {
    const vcl::TColor main = M.GetMainColor(), font = M.GetMainFontColor(), border = M.SkinColors[scBorderColor];
    const vcl::TColor edit = M.GetEditColor(), editFont = M.GetEditFontColor();
    const vcl::TColor info = SectionColor(M, M.FindSectionIndex("GLOBALINFO"), false, main);
    const vcl::TColor gridFont = SectionColor(M, SkinData ? SkinData->SkinIndex() : -1, true, font);
    const auto look = With("ControlLook");
    std::vector<TvlGridRow> rows{
        {"FixedColor", {}, {}, Colour(main)},
        {"TitleFont.Color", With("TitleFont"), {}, Colour(font)},
        {"FixedFont.Color", look, {}, Colour(font)},
        {"GridFixedLineColor", look, {}, Colour(border)},
        {"GridLineColor", look, {}, Colour(MixColors(edit, editFont, 0.7))},
        {"ControlLook.FixedGradientFrom", {}, {}, Colour(MixColors(main, edit, 0.5)), false, vcl::clBtnFace},
        {"ControlLook.FixedGradientTo", {}, {}, Colour(main), false, vcl::clBtnFace},
        {"ControlLook.FixedGradientMirrorFrom", {}, {}, Colour(MixColors(main, Black, 0.95)), false, vcl::clBtnFace},
        {"ControlLook.FixedGradientMirrorTo", {}, {}, Colour(MixColors(main, White, 0.9)), false, vcl::clBtnFace},
        {"SelectionColor", look, {}, Colour(M.GetSelectionColor(true))},
        {"SelectionTextColor", look, {}, Colour(M.GetSelectionFontColor(true))},
        {"GridStyle.Title.StartColor", {}, {}, Colour(MixColors(main, edit, 0.5)), false, vcl::clBtnFace},
        {"GridStyle.Title.EndColor", {}, {}, Colour(main), false, vcl::clBtnFace},
        {"LineColors.FixedColor", {}, {}, Colour(border)},
        {"LineColors.DataColor", {}, {}, Colour(MixColors(edit, editFont, 0.8))},
        // Kept on its own: it is not always the data colour.
        {"LineColors.ShadowColor", {}, {}, Colour(MixColors(edit, editFont, 0.8))},
        {"FooterColor", {}, {}, Colour(info)},
        {"FooterCellColor", {}, {}, Colour(info)},
        {"TitleColor", {}, {}, Colour(info)},
        {"IndicatorIconColor", {}, {}, Colour(gridFont)},
    };
    return rows;
}

const TvlGridWnd::TSaved *TvlGridWnd::SavedOf(std::string_view Path) const {
    const auto it = std::find_if(SavedRows.begin(), SavedRows.end(), [&](const TSaved &s) { return s.Path == Path; });
    return it == SavedRows.end() ? nullptr : &*it;
}

void TvlGridWnd::SaveControlColors() {
    TvlEditWnd::SaveControlColors();
    vcl::TControl *c = SkinData ? SkinData->OwnerControl() : nullptr;
    TsSkinManager *m = SkinData ? SkinData->GetSkinManager() : nullptr;
    if (!c || !m || RowsSaved) return;
    SavedRows.clear();
    for (const TvlGridRow &row : Rows(*m)) {
        if ((row.Applies && !row.Applies(*c)) || !HasPropertyPath(c, row.Path)) continue;
        const std::int64_t raw = GetPathOrd(c, row.Path);
        std::int64_t value = raw;
        if (!row.Ordinal)
            value = raw == vcl::clNone ? row.NoneAs : vcl::ColorToRGB(static_cast<vcl::TColor>(raw));
        SavedRows.push_back({row.Path, value});
    }
    RowsSaved = true;
}

// Each colour written is a change the grid answers (its fonts' too): the
// answer may free the adapter or the grid.
void TvlGridWnd::RestoreControlColors() {
    const vcl::TGuarded alive(this);
    TvlEditWnd::RestoreControlColors();
    if (!alive) return;
    vcl::TControl *c = SkinData ? SkinData->OwnerControl() : nullptr;
    TsSkinManager *m = SkinData ? SkinData->GetSkinManager() : nullptr;
    if (!c || !m || !RowsSaved || c->ComponentState().Contains(vcl::csDestroying)) return;
    const vcl::TGuarded control(c);
    for (const TvlGridRow &row : Rows(*m)) {
        const TSaved *saved = SavedOf(row.Path);
        if (!saved || (row.Applies && !row.Applies(*c)) || (row.Writes && !row.Writes())) continue;
        SetPathOrd(c, row.Path, saved->Value);
        if (!alive || !control) return;
    }
}

void TvlGridWnd::ApplySkinColors() {
    const vcl::TGuarded alive(this);
    TvlEditWnd::ApplySkinColors();
    if (!alive) return;
    vcl::TControl *c = SkinData ? SkinData->OwnerControl() : nullptr;
    TsSkinManager *m = SkinData ? SkinData->GetSkinManager() : nullptr;
    if (!c || !m || !RowsSaved || !m->IsValidSectionIndex(SkinData->SkinIndex())) return;
    const vcl::TGuarded control(c);
    for (const TvlGridRow &row : Rows(*m)) {
        if (!SavedOf(row.Path) || (row.Applies && !row.Applies(*c)) || (row.Writes && !row.Writes())) continue;
        SetPathOrd(c, row.Path, row.Value());
        if (!alive || !control) return;
    }
}

void TvlGridWnd::VScroll(const vcl::TMessage &Message) {
    const int code = LOWORD(Message.WParam);
    if (code == SB_THUMBPOSITION || code == SB_THUMBTRACK) {
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_ALL;
        GetScrollInfo(Handle, SB_VERT, &info);
        // A drag on the skinned bar never moves the window's own track
        // position: the engine keeps it. It sends each new position before
        // it records it, while the bar's copy has it already.
        if (InScrollMessage) info.nPos = ThumbDragging ? VertBar->Info.nTrackPos : ScrollEngine().TrackPos;
        else info.nPos = info.nTrackPos;
        SetScrollInfo(Handle, SB_VERT, &info, FALSE);
    } else if (code == SB_ENDSCROLL) {
        const vcl::TControl *c = SkinData->OwnerControl();
        if (c && c->ClassName() == "TwwDBGrid")
            SendScrollMessage(Handle, WM_VSCROLL, SB_THUMBPOSITION, ScrollEngine().TrackPos);
    }
}

void TvlGridWnd::PrintClient(vcl::TMessage &Message) {
    const auto dc = reinterpret_cast<HDC>(Message.WParam);
    if (!dc) return;
    const vcl::TSavedDC saved(dc);
    const int left = std::max(FrameLeft, 0), top = std::max(FrameTop, 0);
    // The client area only: the skinned bars lie outside it.
    RECT client{};
    GetClientRect(Handle, &client);
    IntersectClipRect(dc, left, top, left + client.right, top + client.bottom);
    OffsetViewportOrgEx(dc, left, top, nullptr);
    SendMessageW(Handle, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
}

bool TvlGridWnd::OwnMessage(vcl::TMessage &Message) {
    if (Destroyed() || !SkinData || !SkinData->IsSkinned(false)) {
        return TvlEditWnd::OwnMessage(Message);
    }
    const vcl::TGuarded alive(this);
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        // The grid paints every cell itself.
        SkinData->PaintLocked = SkinData->IsPaintLocked();
        Message.Result = 1;
        return true;
    case WM_VSCROLL:
        if (vcl::TControl *c = SkinData->OwnerControl(); c && HasProperty(c, "DataSource")) VScroll(Message);
        break;
    case WM_LBUTTONUP:
        if (VertBar->Shown) {
            POINT p{};
            GetCursorPos(&p);
            const vcl::TRect bar = VertScrollBarRect(*this);
            if (p.x >= bar.Left && p.x < bar.Right && p.y >= bar.Top && p.y < bar.Bottom) {
                ScrollBarMouseUp(*this, Message);
                return true;
            }
        }
        break;
    case WM_PRINT:
        PassOnUnless(TvlEditWnd::OwnMessage(Message), Message);
        if (alive) PrintClient(Message);
        return true;
    default: break;
    }
    if (Message.Msg != WM_PAINT && Message.Msg != WM_WINDOWPOSCHANGED) return TvlEditWnd::OwnMessage(Message);
    PassOnUnless(TvlEditWnd::OwnMessage(Message), Message);
    if (!alive || Destroyed()) return true;
    // The grid may paint inside its scroll handler: its bars go over the
    // system's there too.
    if (Message.Msg == WM_PAINT)
        skin::RefreshScrollBars(*this, true);
    else if (Visible(Handle))
        SendMessageW(Handle, WM_NCPAINT, 1, 0);
    return true;
}

// ---------------------------------------------------------------- TvlGridEhWnd

TvlGridEhWnd::~TvlGridEhWnd() { ReleaseScrollWindow(); }

std::vector<TvlGridRow> TvlGridEhWnd::Rows(const TsSkinManager &M) const {
    std::vector<TvlGridRow> rows = TvlGridWnd::Rows(M);
    const vcl::TColor main = M.GetMainColor(), font = M.GetMainFontColor(), border = M.SkinColors[scBorderColor];
    const vcl::TColor edit = M.GetEditColor(), editFont = M.GetEditFontColor();
    const vcl::TColor light = MixColors(White, main, 0.1);
    // Even and odd rows are told apart only where the grid tells them apart.
    const auto differ = [this] {
        const TSaved *even = SavedOf("EvenRowColor"), *odd = SavedOf("OddRowColor");
        return even && odd && even->Value != odd->Value;
    };
    const auto parentColor = [](vcl::TObject &c) { return GetPathOrd(&c, "DataGrouping.ParentColor") == 1; };
    std::vector<TvlGridRow> more{
        {"EvenRowColor", {}, differ, Colour(M.SkinColors[scEditBgEven]), false, vcl::clWindow},
        {"OddRowColor", {}, differ, Colour(M.SkinColors[scEditBgOdd]), false, vcl::clWindow},
        {"GridLineParams.BrightColor", {}, {}, Colour(MixColors(White, edit, 0.2))},
        {"GridLineParams.DataHorzColor", {}, {}, Colour(MixColors(editFont, edit, 0.2))},
        {"GridLineParams.DataVertColor", {}, {}, Colour(MixColors(editFont, edit, 0.2))},
        {"GridLineParams.DarkColor", {}, {}, Colour(MixColors(Black, main, 0.3))},
        {"IndicatorParams.Color", {}, {}, Colour(main)},
        {"IndicatorParams.HorzLines", {}, {}, Number(0), true},
        {"IndicatorParams.VertLines", {}, {}, Number(0), true},
        {"IndicatorParams.FillStyle", {}, {}, Number(2), true},
        {"TitleParams.Color", {}, {}, Colour(main)},
        {"TitleParams.SecondColor", {}, {}, Colour(light)},
        {"TitleParams.FillStyle", {}, {}, Number(3), true},
        {"TitleParams.VertLineColor", {}, {}, Colour(border)},
        {"DataGrouping.Color", parentColor, {}, Colour(light)},
        {"RowCategories.Color", {}, {}, Colour(light)},
        {"RowCategories.Font.Color", {}, {}, Colour(font)},
        {"RowDetailPanel.Color", {}, {}, Colour(main)},
    };
    rows.insert(rows.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
    return rows;
}

void TvlGridEhWnd::ApplySkinColors() {
    const vcl::TGuarded alive(this);
    TvlGridWnd::ApplySkinColors();
    if (!alive) return;
    vcl::TControl *c = SkinData ? SkinData->OwnerControl() : nullptr;
    if (!c || !ThemesActive() || !SetPropertyHas(c, "OptionsEh", "dghFixed3D")) return;
    ChangeSetProperty(c, "OptionsEh", "dghFixed3D", false);
    if (alive) Fixed3DRemoved = true;
}

void TvlGridEhWnd::RestoreControlColors() {
    const vcl::TGuarded alive(this);
    TvlGridWnd::RestoreControlColors();
    if (!alive) return;
    vcl::TControl *c = SkinData ? SkinData->OwnerControl() : nullptr;
    if (!c || !Fixed3DRemoved || c->ComponentState().Contains(vcl::csDestroying)) return;
    ChangeSetProperty(c, "OptionsEh", "dghFixed3D", true);
    if (alive) Fixed3DRemoved = false;
}

bool TvlGridEhWnd::OwnMessage(vcl::TMessage &Message) {
    if (Message.Msg != WM_PARENTNOTIFY) return TvlGridWnd::OwnMessage(Message);
    const vcl::TGuarded alive(this);
    PassOnUnless(TvlGridWnd::OwnMessage(Message), Message);
    if (!alive || Destroyed()) return true;
    if (LOWORD(Message.WParam) == WM_CREATE && SkinManager && SkinManager->SkinningRules().Contains(srThirdParty))
        NotifyFormOfControl(SkinData ? SkinData->OwnerControl() : nullptr);
    return true;
}

} // namespace skin
