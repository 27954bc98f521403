// The askers of the parent background and the colour behind a control.
#include "sSkinTables.h"
#include "vcl/Controls.h"
#include "vlParentBackground.h"
#include "vlPixelHelpers.h"

namespace skin {

namespace {

// The image too, for a window asked as for a control: a record asked again
// would otherwise carry an earlier answer's image, which may have gone with
// its parent since, into an answer that names none.
void ClearQuery(TvlBgQuery &Query, bool PaintIntoDC) {
    Query.Image = nullptr;
    Query.Color = vcl::clFuchsia;
    Query.Kind = bqNone;
    Query.PaintIntoDC = PaintIntoDC;
    Query.Margins = {};
}

// Sends the query to Wnd, or without a window performs it on Control (if
// any), with the query in flight.
void Ask(TvlBgQuery &Query, HWND Wnd, vcl::TControl *Control) {
    const auto address = reinterpret_cast<LPARAM>(&Query);
    const TvlRecordInFlight inFlight(SC_GET_BG_INFO, address);
    if (Wnd)
        SendMessageW(Wnd, SM_SKINCOMMAND, SkinCommand(SC_GET_BG_INFO), address);
    else if (Control)
        Control->Perform(SM_SKINCOMMAND, SkinCommand(SC_GET_BG_INFO), address);
}

// The window (or control) paints its background into the query's DC, its
// origin moved so that the child's place lands on Rect.
template <class Paint> void PaintIntoQueryDC(TvlBgQuery &Query, Paint Send) {
    HDC dc = Query.DC;
    const int saved = SaveDC(dc);
    POINT origin{};
    GetViewportOrgEx(dc, &origin);
    SetViewportOrgEx(dc, origin.x - Query.X, origin.y - Query.Y, nullptr);
    Query.Rect = {Query.Rect.Left + Query.X, Query.Rect.Top + Query.Y, Query.Rect.Right + Query.X,
                  Query.Rect.Bottom + Query.Y};
    IntersectClipRect(dc, Query.Rect.Left, Query.Rect.Top, Query.Rect.Right, Query.Rect.Bottom);
    Send(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc));
    Send(WM_PAINT, reinterpret_cast<WPARAM>(dc));
    RestoreDC(dc, saved);
}

} // namespace

bool QueryParentBackground(TvlBgQuery &Query, vcl::TControl *Parent, bool PaintIntoDC, const TvlAsker &Asker) {
    ClearQuery(Query, PaintIntoDC);
    if (!Parent) return true;
    // The parent's answer may free the parent as well.
    const vcl::TGuarded parent(Parent);
    auto *windowed = dynamic_cast<vcl::TWinControl *>(Parent);
    Ask(Query, windowed && windowed->HandleAllocated() ? windowed->Handle() : nullptr, Parent);
    if (Asker.Gone()) return false;
    if (Query.Kind != bqNone) return true;
    if (!parent) {
        Query.Kind = bqColor;
        Query.Color = DefaultSkinManager ? DefaultSkinManager->GetMainColor() : vcl::clBtnFace;
        return true;
    }
    if (PaintIntoDC) {
        if (Query.DC)
            PaintIntoQueryDC(Query, [Parent](UINT Msg, WPARAM DC) { Parent->Perform(Msg, DC, 0); });
        return !Asker.Gone();
    }
    Query.Kind = bqColor;
    if (Parent->ComponentState().Contains(vcl::csDesigning) && DefaultSkinManager && DefaultSkinManager->SkinActive) {
        Query.Color = DefaultSkinManager->GetMainColor();
        return true;
    }
    const auto answer = static_cast<vcl::TColor>(Parent->Perform(SM_SKINCOMMAND, SkinCommand(SC_GET_BG_COLOR), 0));
    Query.Color = answer != 0 ? answer : vcl::ColorToRGB(Parent->Color());
    return true;
}

bool QueryParentBackgroundWnd(TvlBgQuery &Query, HWND Wnd, bool PaintIntoDC, const TvlAsker &Asker) {
    ClearQuery(Query, PaintIntoDC);
    Ask(Query, Wnd, nullptr);
    if (Asker.Gone()) return false;
    if (Query.Kind != bqNone) return true;
    if (PaintIntoDC) {
        if (Query.DC && IsWindow(Wnd))
            PaintIntoQueryDC(Query, [Wnd](UINT Msg, WPARAM DC) { SendMessageW(Wnd, Msg, DC, 0); });
        return !Asker.Gone();
    }
    Query.Kind = bqColor;
    Query.Color = DefaultSkinManager ? DefaultSkinManager->GetMainColor() : vcl::clBtnFace;
    return true;
}

vcl::TColor GetControlColor(vcl::TControl *Control) {
    if (!Control) return vcl::clFuchsia;
    if (Control->Perform(SM_SKINCOMMAND, SkinCommand(SC_IS_HANDLED), 0) == 1)
        return vcl::ColorToRGB(
            static_cast<vcl::TColor>(Control->Perform(SM_SKINCOMMAND, SkinCommand(SC_GET_BG_COLOR), vcl::clFuchsia)));
    return vcl::ColorToRGB(Control->Color());
}

void PaintDisabledLook(vcl::TBitmap &Bitmap, int Kind, vcl::TControl *Control, const TvlBgInfo *BgInfo,
                       vcl::TPoint Offset) {
    PaintDisabledLook(Bitmap, Kind, GetControlColor(Control), BgInfo, Offset);
}

} // namespace skin
