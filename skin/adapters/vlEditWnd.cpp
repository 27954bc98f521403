#include "vlEditWnd.h"

#include <algorithm>

#include "skin/forms/sFrameMetrics.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sModuleState.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/Controls.h"
#include "vcl/Forms.h"
#include "vcl/GdiObjects.h"
#include "vcl/StdCtrls.h"
#include "vcl/TypInfo.h"
#include "vlSBPaint.h"

namespace skin {

namespace {

bool Visible(HWND Handle) { return IsWindowVisible(Handle) != FALSE; }

bool EmptyClip(HDC DC) {
    RECT r{};
    return GetClipBox(DC, &r) == NULLREGION;
}

// Messages that move the control's lines or change its range: the control
// has drawn the system's bar over ours, which is painted again at once,
// inside a scroll message too.
bool MovesTheLines(UINT Msg) {
    switch (Msg) {
    case LB_SETTOPINDEX: case WM_KEYDOWN: case WM_KEYUP: case LB_ADDSTRING: case LB_INSERTSTRING:
    case LB_SETCURSEL: case EM_REPLACESEL:
        return true;
    default: return false;
    }
}

// Further messages after which the control may have drawn the system's bar.
bool ScrollsTheControl(UINT Msg) {
    switch (Msg) {
    case WM_CHAR: case EM_SETSEL: case EM_LINESCROLL: case EM_SCROLL:
    case EM_SCROLLCARET: case LB_DELETESTRING: case LB_RESETCONTENT: case WM_SETTEXT:
        return true;
    default: return false;
    }
}

int PlatformMajorVersion() { return SystemFrameMetrics().OSMajor; }

} // namespace

TvlEditWnd::~TvlEditWnd() { ReleaseScrollWindow(); }

bool TvlEditWnd::SwitchesVisualStylesOff(const TsCommonData *Shared, const TvlSkinParams &Params, bool Repaint) const {
    if (KeepThemeOnCreate() || KeepsVisualStyle(Repaint) || Params.SkinSection == "DIALOG") return false;
    if (Shared)
        return !(Shared->ControlKind == 10 && PlatformMajorVersion() >= 6) &&
               !vcl::IsPublishedProp(Shared->OwnerControl(), "UseXPThemes");
    return PlatformMajorVersion() < 6 || Params.SkinSection == "COMBOBOX";
}

void TvlEditWnd::SetDefaultSection() {
    // Own skin data was made of the adapter kind; a descendant may have set
    // its own kind since, which stays.
    if (SkinData && OwnsSkinData) {
        if (vcl::IsPublishedProp(SkinData->OwnerControl(), "PanelBorder"))
            SkinData->SetSkinSection("TRANSPARENT");
        else if (SkinData->SkinSection().empty())
            SkinData->SetSkinSection("EDIT");
    }
    if (SkinData) {
        const auto *edit = dynamic_cast<const vcl::TCustomEdit *>(SkinData->OwnerControl());
        SingleLineEdit = edit && !(GetWindowLongPtrW(Handle, GWL_STYLE) & ES_MULTILINE);
    }
    ChildrenChanged = false;
    TvlBaseWnd::SetDefaultSection();
}

void TvlEditWnd::SaveControlColors() {
    TvlBaseWnd::SaveControlColors();
    const vcl::TControl *c = SkinData ? SkinData->OwnerControl() : nullptr;
    if (!c) return;
    SavedColor = c->Color();
    SavedFontColor = c->Font()->Color();
    if (vcl::IsPublishedProp(c, "FocusColor")) SavedFocusColor = static_cast<vcl::TColor>(vcl::GetOrdProp(c, "FocusColor"));
    ColorsSaved = true;
}

void TvlEditWnd::RestoreControlColors() {
    // The control's answers to its colours and font are the application's:
    // they may free the adapter or the control.
    const vcl::TGuarded alive(this);
    TvlBaseWnd::RestoreControlColors();
    if (!alive) return;
    vcl::TControl *c = SkinData ? SkinData->OwnerControl() : nullptr;
    const vcl::TGuarded control(c);
    const bool destroying = c && c->ComponentState().Contains(vcl::csDestroying);
    if (c && ColorsSaved && !destroying) {
        c->SetColor(SavedColor);
        if (!alive || !control) return;
        const std::uint16_t flags = SkinData->BGFlags();
        SkinData->SetBGFlags(flags | bgfWritingFontColor);
        c->Font()->SetColor(SavedFontColor);
        if (!alive || !control) return;
        SkinData->SetBGFlags(flags);
        if (vcl::IsPublishedProp(c, "FocusColor")) vcl::SetOrdProp(c, "FocusColor", SavedFocusColor);
        if (!alive) return;
    }
    ColorsApplied = false;
    if (Handle && IsWindow(Handle) && Visible(Handle) && !destroying)
        SetWindowPos(Handle, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

void TvlEditWnd::ApplySkinColors() {
    if (InCalcSize || !SkinData) return;
    InCalcSize = true;
    TsCommonData &data = *SkinData;
    data.PaintLocked = true;
    TvlBaseWnd::ApplySkinColors();
    TsSkinManager *m = data.GetSkinManager();
    const bool valid = m && m->IsValidSectionIndex(data.SkinIndex());
    vcl::TControl *c = data.OwnerControl();
    if (valid && c) {
        // The control's answers to its new colour and font may free this
        // adapter, and with it its own skin data, or the control: nothing
        // of them is touched then.
        const vcl::TGuarded alive(this);
        const vcl::TGuarded control(c);
        const TsGeneralData &section = m->Sections[static_cast<std::size_t>(data.SkinIndex())];
        const int state = data.IsControlActive() && section.States > 1 ? 1 : 0;
        if (!data.CustomColor()) {
            const vcl::TColor colour = data.GetBackColor(state);
            if (vcl::IsPublishedProp(c, "FocusColor")) {
                if (c->Color() != colour) c->SetColor(colour);
                if (alive && control) vcl::SetOrdProp(c, "FocusColor", colour);
            } else if (c->Color() != colour) {
                c->SetColor(colour);
            }
            if (!alive) return;
            AppliedColor = colour;
        }
        if (!data.CustomFont() && control) {
            const vcl::TColor font = section.Props[static_cast<std::size_t>(state)].FontColor;
            if (c->Font()->Color() != font) {
                const std::uint16_t flags = data.BGFlags();
                data.SetBGFlags(flags | bgfWritingFontColor);
                c->Font()->SetColor(font);
                if (!alive) return;
                data.SetBGFlags(flags);
            }
            if (Destroyed()) {
                // Stopped, but not left locked: a control that shares the
                // record would never paint again.
                data.PaintLocked = false;
                InCalcSize = false;
                return;
            }
        }
    } else if (valid) {
        if (!data.CustomColor())
            AppliedColor = KeepTheme ? static_cast<vcl::TColor>(GetSysColor(COLOR_WINDOW))
                                     : m->Sections[static_cast<std::size_t>(data.SkinIndex())].Props[0].Color;
        BorderColor = m->SkinColors[scBorderColor];
    }
    data.BGChanged = true;
    if (!valid) BorderColor = 0;
    data.PaintLocked = false;
    InCalcSize = false;
}

bool TvlEditWnd::ApplyColorsOnce() {
    if (ColorsApplied) return true;
    const vcl::TGuarded alive(this);
    ApplySkinColors();
    return static_cast<bool>(alive);
}

bool TvlEditWnd::PassesFocusTest() const {
    const auto *c = dynamic_cast<const vcl::TWinControl *>(SkinData ? SkinData->OwnerControl() : nullptr);
    if (!c || !c->TabStop() || !vcl::GetParentForm(const_cast<vcl::TWinControl *>(c))) return false;
    for (const vcl::TControl *p = c; p; p = p->Parent())
        if (!p->Visible() || !p->Enabled()) return false;
    return true;
}

void TvlEditWnd::CopyBorderStrips(HDC DC, int Width) {
    vcl::TBitmap *cache = SkinData->CacheBmp();
    if (!cache || Width <= 0) return;
    RECT w{};
    GetWindowRect(Handle, &w);
    const int cw = std::min<int>(w.right - w.left, cache->Width()), ch = std::min<int>(w.bottom - w.top, cache->Height());
    const HDC src = cache->Canvas()->Handle();
    BitBlt(DC, 0, 0, cw, Width, src, 0, 0, SRCCOPY);
    BitBlt(DC, 0, ch - Width, cw, Width, src, 0, ch - Width, SRCCOPY);
    BitBlt(DC, 0, Width, Width, ch - 2 * Width, src, 0, Width, SRCCOPY);
    BitBlt(DC, cw - Width, Width, Width, ch - 2 * Width, src, cw - Width, Width, SRCCOPY);
}

void TvlEditWnd::NcPaint(vcl::TMessage &Message) {
    Message.Result = 0;
    if (ModuleState().FormAnimationActive) return;
    if (!FrameCalculated) {
        const vcl::TGuarded alive(this);
        SetWindowPos(Handle, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        if (!alive) return;
    }
    RefreshGeometry(*this);
    if (SkinData->UpdatePaintLock(false)) return;
    const vcl::TWindowDC dc(Handle, GetWindowDC(Handle));
    if (dc.Get() != SkinData->PrintDC && EmptyClip(dc.Get())) return;
    if (SkinData->BGChanged) {
        if (!ApplyColorsOnce()) return;
        const vcl::TGuarded alive(this);
        SendSkinCommand(Handle, SC_BUILD_CACHE, 0);
        if (!alive) return;
    }
    Message.Result = 0;
    if (!PaintNcScrollBars(*this, -1, dc.Get())) return;
    CopyBorderStrips(dc.Get(), std::max(FrameLeft, 0));
}

void TvlEditWnd::Print(vcl::TMessage &Message) {
    const auto dc = reinterpret_cast<HDC>(Message.WParam);
    const vcl::TGuarded alive(this);
    {
        // The control's own print may leave its client clip on the DC.
        const vcl::TSavedDC saved(dc);
        PassOn(Message);
    }
    if (!alive || Message.Result == 2) return;
    RefreshGeometry(*this);
    SkinData->PaintLocked = false;
    SkinData->BGChanged = true;
    if (!ApplyColorsOnce()) return;
    const TvlAsker self(this);
    if (!PaintSkinnedControl(*SkinData, Handle, false, self) && self.Gone()) return;
    if (!KeepTheme && !PaintMaskBorder(*SkinData, SkinnedControlState(*SkinData), *this)) return;
    if (!dc) return;
    // A print of the client area alone has its origin there.
    const bool frame = (Message.LParam & PRF_NONCLIENT) || !(Message.LParam & PRF_CLIENT);
    if (frame) {
        CopyBorderStrips(dc, std::max(FrameLeft, 0));
        Message.Result = 0;
        if (!PaintNcScrollBars(*this, -1, dc)) return;
    }
    // The client goes in with any flags: the form pictures print each
    // window with none.
    PrintClient(dc, frame ? vcl::TPoint{std::max(FrameLeft, 0), std::max(FrameTop, 0)} : vcl::TPoint{0, 0});
}

void TvlEditWnd::PrintClient(HDC DC, vcl::TPoint Offset) {
    RECT client{};
    GetClientRect(Handle, &client);
    const vcl::TSavedDC saved(DC);
    POINT origin{};
    GetViewportOrgEx(DC, &origin);
    SetViewportOrgEx(DC, origin.x + Offset.X, origin.y + Offset.Y, nullptr);
    // The client rectangle leaves the skinned bars out.
    IntersectClipRect(DC, 0, 0, client.right, client.bottom);
    vcl::TBitmap *cache = SkinData->CacheBmp();
    if (cache && !cache->Empty() && SkinData->CanUseCache()) {
        BitBlt(DC, 0, 0, client.right, client.bottom, cache->Canvas()->Handle(), std::max(FrameLeft, 0),
               std::max(FrameTop, 0), SRCCOPY);
    } else {
        const vcl::TBrushHandle brush(CreateSolidBrush(vcl::ColorToRGB(AppliedColor)));
        FillRect(DC, &client, brush.Get());
    }
    const HWND window = Handle;  // the paint may free the adapter
    SendMessageW(window, WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(DC), PRF_CLIENT | PRF_OWNED);
}

bool TvlEditWnd::Paint(vcl::TMessage &Message) {
    const auto dc = reinterpret_cast<HDC>(Message.WParam);
    if (dc && dc != SkinData->PrintDC && EmptyClip(dc)) {
        Message.Result = 0;
        return true;
    }
    const bool validateOnly = SkinData->UpdatePaintLock(false) ||
                              (ModuleState().FormAnimationActive && !SkinData->PrintDC);
    if ((SingleLineEdit && !IsWindowEnabled(Handle)) || validateOnly) {
        PAINTSTRUCT ps{};
        // BeginPaint sends the frame and erase messages on, to the
        // application too.
        const HWND window = Handle;
        const vcl::TGuarded alive(this);
        const HDC paint = BeginPaint(window, &ps);
        if (!alive) {
            EndPaint(window, &ps);
            return true;
        }
        if (!validateOnly && SkinData->CacheBmp()) {
            // A disabled edit shows the skinned picture with its grey text.
            RECT c{};
            GetClientRect(Handle, &c);
            BitBlt(paint, 0, 0, c.right, c.bottom, SkinData->CacheBmp()->Canvas()->Handle(), std::max(FrameLeft, 0),
                   std::max(FrameTop, 0), SRCCOPY);
        }
        EndPaint(Handle, &ps);
        Message.Result = 0;
        return true;
    }
    // Gone with the colours: the message ends here.
    return !ApplyColorsOnce();
}

bool TvlEditWnd::EraseBackground(vcl::TMessage &Message) {
    const auto dc = reinterpret_cast<HDC>(Message.WParam);
    if (dc && EmptyClip(dc)) {
        Message.Result = 1;
        return true;
    }
    if (SkinData->UpdatePaintLock(false)) {
        Message.Result = 0;
        return true;
    }
    if (!ApplyColorsOnce()) return true;
    if (SingleLineEdit && !IsWindowEnabled(Handle)) {
        Message.Result = 1;
        return true;
    }
    // While a form animates, only its own picture of the control is drawn.
    if (ModuleState().FormAnimationActive && dc != SkinData->PrintDC && PlatformMajorVersion() >= 6) {
        Message.Result = 1;
        return true;
    }
    return false;
}

bool TvlEditWnd::LooksDifferentWhileActive() const {
    const TsSkinManager *m = SkinData ? SkinData->GetSkinManager() : nullptr;
    if (!m) return false;
    const int mask = SkinData->BorderIndex(), section = SkinData->SkinIndex();
    return (m->IsValidMaskIndex(mask) && m->Masks[static_cast<std::size_t>(mask)].ImageCount > 1) ||
           (m->IsValidSectionIndex(section) && m->Sections[static_cast<std::size_t>(section)].States > 1);
}

bool TvlEditWnd::FocusChange(vcl::TMessage &Message) {
    if (!LooksDifferentWhileActive() || !PassesFocusTest()) return false;
    SkinData->BGChanged = true;
    SkinData->Focused = Message.Msg == WM_SETFOCUS;
    const vcl::TGuarded alive(this);
    PassOnUnless(TvlBaseWnd::OwnMessage(Message), Message);
    if (!alive) return true;
    ApplySkinColors();
    if (alive) RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
    return true;
}

bool TvlEditWnd::EditSkinCommand(vcl::TMessage &Message) {
    TsCommonData &data = *SkinData;
    const bool own = reinterpret_cast<TsSkinManager *>(Message.LParam) == SkinManager;
    switch (SubCommandOf(Message.WParam)) {
    case SC_SKIN_REFRESH: {
        if (!own) return false;
        const vcl::TGuarded alive(this);
        const bool handled = TvlBaseWnd::OwnMessage(Message);
        if (alive && !Destroyed()) ApplySkinColors();
        return handled;
    }
    case SC_PARENT_UPDATE_DONE:
        if (data.PaintLocked && !data.UpdatePaintLock(true))
            RedrawWindow(Handle, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        return false;
    case SC_IS_HANDLED: Message.Result = 1; return true;
    case SC_BUILD_CACHE: {
        RefreshGeometry(*this);
        // The mask border goes over a new image only: drawn again over a
        // kept one, its see-through corners would darken with every build.
        const bool stale = data.BGChanged;
        if (PaintSkinnedControl(data, Handle, false, TvlAsker(this)) && stale) PaintMaskBorder(data, SkinnedControlState(data), *this);
        return true;
    }
    case SC_GET_SECTION_INDEX:
        if (auto *query = CommandRecord<TvlSectionQuery>(Message)) query->SectionIndex = data.SkinIndex();
        return true;
    case SC_GET_BG_INFO: {
        PassOn(Message);
        auto *query = CommandRecord<TvlBgQuery>(Message);
        if (!query || query->Kind != bqNone) return true;
        if (data.CustomColor()) {
            query->Kind = bqColor;
            const vcl::TControl *c = data.OwnerControl();
            query->Color = c ? vcl::ColorToRGB(c->Color()) : AppliedColor;
        } else {
            if (!data.CopyParentBackground(*query, 0)) return true;
            query->X += std::max(FrameLeft, 0);
            query->Y += std::max(FrameTop, 0);
        }
        Message.Result = 1;
        return true;
    }
    case SC_SCROLL_BEGIN:
    case SC_SCROLL_END:
        if (LeftScrollBar) {
            const bool end = SubCommandOf(Message.WParam) == SC_SCROLL_END;
            SendMessageW(Handle, WM_SETREDRAW, end ? TRUE : FALSE, 0);
            if (end) InvalidateRect(Handle, nullptr, TRUE);
            return true;
        }
        return false;
    default: return false;
    }
}

bool TvlEditWnd::OwnMessage(vcl::TMessage &Message) {
    if (Message.Msg == SM_SKINCOMMAND && SubCommandOf(Message.WParam) == SC_IS_HANDLED) {
        Message.Result = 1;
        return true;
    }
    if (Destroyed() || !SkinData || !SkinData->IsSkinned(false)) {
        return TvlBaseWnd::OwnMessage(Message);
    }
    const vcl::TGuarded alive(this);
    switch (Message.Msg) {
    case WM_PRINT:
        // The print is whole here, a list view's too (its header follows in
        // its own stage when this returns). Passed on below, the base would
        // paint the window once more over it, at the frame's corner and
        // unclipped: the rows a frame width up and left, the bars gone.
        Print(Message);
        return true;
    case SM_SKINCOMMAND:
        if (EditSkinCommand(Message)) return true;
        break;
    case vcl::CM_ENABLEDCHANGED:
    case vcl::CM_FONTCHANGED:
    case WM_SETTEXT:
        SkinData->BGChanged = true;
        if (!(SkinData->BGFlags() & bgfWritingFontColor) && !SkinData->PaintLocked)
            RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        break;
    case WM_NCPAINT:
        if (Visible(Handle) && !InCalcSize) {
            NcPaint(Message);
            return true;
        }
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (FocusChange(Message)) return true;
        break;
    case WM_SETREDRAW:
        if (Message.WParam == 1 && ChildrenChanged) {
            NotifyFormOfControl(SkinData->OwnerControl());
            ChildrenChanged = false;
        }
        break;
    case WM_PAINT:
        if (Visible(Handle) && !InCalcSize && Paint(Message)) return true;
        break;
    case WM_ERASEBKGND:
        if (Visible(Handle) && !InCalcSize && EraseBackground(Message)) return true;
        break;
    default: break;
    }
    return AfterFirstStage(Message);
}

bool TvlEditWnd::AfterFirstStage(vcl::TMessage &Message) {
    if (Message.Msg == SM_SKINCOMMAND) return TvlBaseWnd::OwnMessage(Message);
    const vcl::TGuarded alive(this);
    PassOnUnless(TvlBaseWnd::OwnMessage(Message), Message);
    if (!alive || Destroyed()) return true;
    const UINT msg = Message.Msg;
    if (MovesTheLines(msg))
        skin::RefreshScrollBars(*this, true);
    else if (ScrollsTheControl(msg) ||
             (!InScrollMessage && (msg == WM_SETFONT || msg == WM_LBUTTONDOWN || msg == vcl::CN_KEYDOWN || msg == vcl::CN_KEYUP)))
        RepaintBars();
    switch (msg) {
    case WM_SIZE:
        if (Visible(Handle)) SendMessageW(Handle, WM_NCPAINT, 1, 0);
        break;
    case WM_MOUSEMOVE:
        if (TsSkinManager *m = DefaultManager(); m && IsWindowEnabled(Handle)) {
            if (m->ActiveWindow != Handle) m->SetActiveControl(Handle);
            if (!SkinData->IsPaintLocked() && GetCapture()) RepaintBars();
        }
        break;
    case vcl::CM_CONTROLLISTCHANGE: ChildrenChanged = true; break;
    case WM_PARENTNOTIFY:
        if (LOWORD(Message.WParam) == WM_CREATE && SkinManager &&
            SkinManager->SkinningRules().Contains(srThirdParty))
            ChildrenChanged = true;
        break;
    default: break;
    }
    return true;
}

void UpdateEditAdapter(TsCommonData &SkinData, std::unique_ptr<TvlEditWnd> &Adapter) {
    if (!SkinData.IsSkinned(false)) {
        Adapter.reset();
        return;
    }
    if (Adapter && Adapter->Destroyed()) Adapter.reset();
    if (Adapter) return;
    auto *control = dynamic_cast<vcl::TWinControl *>(SkinData.OwnerControl());
    if (!control || !control->HandleAllocated()) return;
    Adapter = NewAdapter<TvlEditWnd>(control->WindowHandle(), &SkinData, SkinData.GetSkinManager(), TvlSkinParams{});
}

} // namespace skin
