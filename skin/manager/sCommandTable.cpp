#include "sCommandTable.h"

#include <algorithm>
#include <cstring>

#include "sMessages.h"
#include "sSkinManager.h"
#include "sSkinServices.h"
#include "sVclUtils.h"
#include "vcl/Bitmap.h"
#include "vcl/Forms.h"
#include "vcl/GdiObjects.h"
#include "vcl/StdCtrls.h"

namespace skin {

namespace {

bool Has(const vcl::TComponent *C, vcl::TComponentStateItem Item) { return C && C->ComponentState().Contains(Item); }

vcl::TWinControl *Windowed(vcl::TControl *Control) { return dynamic_cast<vcl::TWinControl *>(Control); }

HWND WindowOf(vcl::TControl *Control) {
    auto *windowed = Windowed(Control);
    return windowed && windowed->HandleAllocated() ? windowed->WindowHandle() : nullptr;
}

const TsGeneralData &SectionOf(const TsCommonData &Data) {
    return Data.GetSkinManager()->Sections[static_cast<std::size_t>(Data.SkinIndex())];
}

// Both the normal and the hot state show only the parent.
bool FullyTransparent(const TsCommonData &Data) {
    const TsGeneralData &s = SectionOf(Data);
    return s.Props[0].Transparency == 100 && s.Props[1].Transparency == 100;
}

// The control takes the colours of a state of its section (where its
// custom switches let it); true when one of them changed.
// The control's answers to its colour and font are the application's: they
// may free the control, or the record with its adapter. Nothing of either
// is touched then; the callers ask before they go on.
bool ApplyStateColors(TsCommonData &Data, int State) {
    vcl::TControl *c = Data.OwnerControl();
    if (!c) return false;
    const vcl::TGuarded data(&Data);
    const vcl::TGuarded control(c);
    const TsGenState &look = SectionOf(Data).Props[static_cast<std::size_t>(State)];
    const vcl::TColor font = look.FontColor;
    bool changed = false;
    if (!Data.CustomColor() && c->Color() != look.Color) {
        c->SetColor(look.Color);
        if (!data || !control) return true;
        changed = true;
    }
    if (!Data.CustomFont() && c->Font()->Color() != font) {
        Data.SetBGFlags(Data.BGFlags() | bgfWritingFontColor);
        c->Font()->SetColor(font);
        if (!data) return true;
        Data.SetBGFlags(Data.BGFlags() & ~bgfWritingFontColor);
        changed = true;
    }
    return changed;
}

// After a colour change of a hot-colour control: its image is stale, its
// window repainted when a colour changed, and its frame in any case.
void RefreshHotLook(TsCommonData &Data, bool Changed) {
    Data.BGChanged = true;
    if (HWND wnd = WindowOf(Data.OwnerControl())) {
        if (Changed) InvalidateRect(wnd, nullptr, TRUE);
        SendMessageW(wnd, WM_NCPAINT, 1, 0);
    }
}

// The same for a bare window, whose frame shows MouseInside; there are no
// colours of a control to take. Not while the window holds the mouse
// capture: a leave then comes in the middle of its own press (a thumb
// dragged out of the window), whose bars are not painted again until the
// press ends, and a frame painted now would leave the system's bar over
// the skinned one for the rest of the drag. MouseInside is clear all the
// same, so the next paint of the frame shows it.
void RefreshBareHotLook(TsCommonData &Data) {
    Data.BGChanged = true;
    const HWND wnd = Data.GetWindowHandle();
    if (wnd && GetCapture() != wnd) SendMessageW(wnd, WM_NCPAINT, 1, 0);
}

// A command to the control itself: by Perform, or to the window of a
// record without a control.
void TellControl(TsCommonData &Data, unsigned SubCommand, unsigned Flag) {
    if (vcl::TControl *c = Data.OwnerControl())
        c->Perform(SM_SKINCOMMAND, SkinCommand(SubCommand, Flag), 0);
    else if (Data.WndHandle)
        SendMessageW(Data.WndHandle, SM_SKINCOMMAND, SkinCommand(SubCommand, Flag), 0);
}

// The parent's cache covers this control's place: it is rebuilt.
void RefreshParentCache(TsCommonData &Data) {
    if (Data.UpdatePaintLock(false)) return;
    vcl::TControl *c = Data.OwnerControl();
    HWND parent = c && c->Parent() ? WindowOf(c->Parent()) : nullptr;
    if (!parent) return;
    SendMessageW(parent, SM_SKINCOMMAND, SkinCommand(SC_INVALIDATE_CACHE, 1), 0);
    SendSkinCommand(parent, SC_BUILD_CACHE, 0);
}

void ResetWindowTheme(HWND Window) {
    if (!ThemesActive()) return;
    if (TSetWindowTheme setTheme = SetWindowThemeProc()) setTheme(Window, nullptr, nullptr);
}

// A window without a control of the class library (the edits and lists of
// the system's dialogs, a window made by the program itself) is followed
// through the record's own window: it becomes the hover window, its leave
// is tested on it, MouseInside is cleared again, and it is repainted on
// enter and leave, since its frame shows MouseInside. Left to the
// control-only steps, such a window would stay hot after its first hover.
void MouseEntered(TsCommonData &Data) {
    TsSkinManager *m = Data.GetSkinManager();
    if (!Data.IsSkinned(false) || Data.MouseInside || Has(m, vcl::csDesigning) || m->Options()->GetFlag(ofNoMouseHover) ||
        FullyTransparent(Data))
        return;
    vcl::TControl *c = Data.OwnerControl();
    HWND wnd = c ? WindowOf(c) : Data.GetWindowHandle();
    TsSkinManager *tracker = DefaultManager();
    if (!wnd || !tracker) {
        if (!NoMouseTrackKinds.Contains(Data.ControlKind)) Data.MouseInside = true;
        return;
    }
    if (Has(c, vcl::csDesigning)) return;
    if (!NoMouseTrackKinds.Contains(Data.ControlKind)) Data.MouseInside = true;
    // The old hot window hears of its leave first (the application may run).
    const vcl::TGuarded data(&Data);
    const vcl::TGuarded control(c);
    tracker->SetActiveControl(wnd);
    if (!data || (c && !control)) return;
    if (!NoGlowKinds.Contains(Data.ControlKind) && !NoHoverGlowKinds.Contains(Data.ControlKind))
        Data.UpdateGlow(false, nullptr, -1, true, m->Effects()->AllowAnimation);
    if (!c) {
        RefreshBareHotLook(Data);
        return;
    }
    if (HotColorKinds.Contains(Data.ControlKind) &&
        (!HotColorOptionKinds.Contains(Data.ControlKind) || ModuleState().ExtendedHotTracking) &&
        SectionOf(Data).States >= 2) {
        const bool changed = ApplyStateColors(Data, 1);
        if (data && control) RefreshHotLook(Data, changed);
    }
}

void MouseLeft(TsCommonData &Data) {
    vcl::TControl *c = Data.OwnerControl();
    const HWND bare = c ? nullptr : Data.GetWindowHandle();
    if ((!c && !bare) || !Data.IsSkinned(false) || Data.GetSkinManager()->Options()->GetFlag(ofNoMouseHover) ||
        Has(c, vcl::csDesigning) || IsMouseStillInside(Data))
        return;
    if (!NoMouseTrackKinds.Contains(Data.ControlKind)) Data.MouseInside = false;
    if (!NoGlowKinds.Contains(Data.ControlKind) && !NoHoverGlowKinds.Contains(Data.ControlKind)) Data.UpdateGlow(true);
    if (!c) {
        if (IsWindowVisible(bare)) RefreshBareHotLook(Data);
        return;
    }
    bool changed = false;
    const vcl::TGuarded data(&Data);
    const vcl::TGuarded control(c);
    if (HotColorKinds.Contains(Data.ControlKind) && !Data.IsControlActive() && !FullyTransparent(Data))
        changed = ApplyStateColors(Data, 0);
    if (data && control && c->Visible() && HotColorKinds.Contains(Data.ControlKind)) RefreshHotLook(Data, changed);
}

void FocusChanged(TsCommonData &Data, bool Gained) {
    auto *w = Windowed(Data.OwnerControl());
    if (!w || !Data.IsSkinned(false) || !w->CanFocus() || (Gained && !w->Showing())) return;
    if (!FullyTransparent(Data)) {
        Data.BGChanged = true;
        Data.Focused = Gained;
    }
    if (!HotColorKinds.Contains(Data.ControlKind)) return;
    const vcl::TGuarded data(&Data);
    const vcl::TGuarded control(w);
    if (Gained) {
        if (!w->Visible() || SectionOf(Data).States < 2) return;
        const bool changed = ApplyStateColors(Data, 1);
        if (data && control) RefreshHotLook(Data, changed);
        return;
    }
    const bool changed = !Data.IsControlActive() && ApplyStateColors(Data, 0);
    if (data && control && w->Visible()) RefreshHotLook(Data, changed);
}

void VisibleChanged(TsCommonData &Data, bool Shown) {
    if (!Shown) Data.HideGlowNow();
    const TsSkinManager *m = Data.GetSkinManager();
    vcl::TControl *c = Data.OwnerControl();
    if (!m || m->Options()->OptimizingPriority != opMemory || !c || Has(c, vcl::csDestroying) || !Data.CacheBmp())
        return;
    if (!Shown) {
        Data.ShrinkCache();
        if (auto *w = Windowed(c))
            for (int i = 0; i < w->ControlCount(); ++i) {
                vcl::TControl *child = w->Controls(i);
                if (HWND h = WindowOf(child)) SendSkinCommand(h, SC_DROP_CACHE, 0);
                else child->Perform(SM_SKINCOMMAND, SkinCommand(SC_DROP_CACHE), 0);
            }
    } else {
        Data.PaintLocked = false;
    }
    Data.BGChanged = true;
}

// SC_IS_UPDATING: the control or a parent defers painting, or its cache
// cannot be used as it is.
LRESULT IsUpdatingAnswer(TsCommonData &Data) {
    if (Data.UpdatePaintLock(false)) return 1;
    vcl::TControl *c = Data.OwnerControl();
    if (!Data.CanUseCache() || Data.CustomColor() || !Windowed(c)) return 0;
    if (vcl::TBitmap *cache = Data.CacheBmp(); cache && !cache->Empty())
        return cache->Width() != c->Width() || cache->Height() != c->Height() ? 1 : 0;
    // The build asks the parent, whose answer may free this record: nothing
    // of it defers then.
    const TvlAsker self(&Data);
    PerformSkinCommand(c, SC_BUILD_CACHE, 0);
    if (self.Gone()) return 0;
    return !Data.CacheBmp() || Data.CacheBmp()->Empty() ? 1 : 0;
}

// The colour behind a control of this record's parent's choosing.
vcl::TColor ParentBackColor(vcl::TControl *Parent) {
    if (Parent->Perform(SM_SKINCOMMAND, SkinCommand(SC_IS_HANDLED), 0) == 1)
        return vcl::ColorToRGB(static_cast<vcl::TColor>(Parent->Perform(SM_SKINCOMMAND, SkinCommand(SC_GET_BG_COLOR), 0)));
    return vcl::ColorToRGB(Parent->Color());
}

vcl::TColor BgColorAnswer(TsCommonData &Data) {
    vcl::TControl *c = Data.OwnerControl();
    const vcl::TColor own = vcl::ColorToRGB(c->Color());
    if (!Data.IsSkinned(false)) return own;
    const TsGenState &normal = SectionOf(Data).Props[0];
    if (normal.Transparency == 0) return normal.Color;
    // A parent that does not answer the question gives its own colour.
    const vcl::TColor parent = c->Parent() ? ParentBackColor(c->Parent()) : own;
    if (normal.Transparency >= 100) return parent;
    return MixByTransparency(vcl::ColorToRGB(normal.Color), parent, normal.Transparency);
}

// SC_SKIN_REMOVED for the serving manager: the control's own look comes back.
void SkinRemoved(TsCommonData &Data, TsSkinManager *Manager) {
    Data.StopAnimation();
    if (Has(Manager, vcl::csDestroying)) Data.ManagerDestroyed(Manager);
    Data.SetSkinIndex(-1);
    Data.SetBorderIndex(-1);
    Data.SetPatternIndex(-1);
    Data.SetHotPatternIndex(-1);
    Data.PaintLocked = true;
    Data.ShrinkCache();
    vcl::TControl *c = Data.OwnerControl();
    // Each colour change tells the application, which may free the
    // control, or the record with its adapter: nothing below reads the record.
    if (auto *edit = dynamic_cast<vcl::TCustomEdit *>(c)) {
        const vcl::TGuarded control(c);
        const bool font = !Data.CustomFont();
        if (!Data.CustomColor()) edit->SetColor(vcl::clWindow);
        if (!control) return;
        // Whether the font was the skin's was read before: the edit gets its
        // own text colour back even when its record went meanwhile.
        if (font) edit->Font()->SetColor(vcl::clWindowText);
        if (!control) return;
        if (HWND wnd = WindowOf(edit)) RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
    } else if (auto *w = Windowed(c)) {
        const vcl::TGuarded parent(w);
        for (int i = 0; parent && i < w->ControlCount(); ++i)
            if (auto *label = dynamic_cast<vcl::TLabel *>(w->Controls(i))) label->Font()->SetColor(vcl::clWindowText);
    }
}

void SectionQuery(TsCommonData &Data, vcl::TMessage &Message) {
    auto *query = CommandRecord<TvlSectionQuery>(Message);
    if (!query || !Data.IsSkinned(false)) return;
    const TsSkinManager *m = Data.GetSkinManager();
    const TsGeneralData &section = SectionOf(Data);
    bool border = false;
    if (m->IsValidMaskIndex(section.BorderMask)) {
        const std::uint16_t mode = m->Masks[static_cast<std::size_t>(section.BorderMask)].DrawMode;
        border = (mode & dmNoState0) && !(mode & dmStretch);
    }
    vcl::TControl *c = Data.OwnerControl();
    if (section.Props[0].Transparency >= 51 && !border && c && c->Parent()) {
        Message.Result = ForwardSectionQuery(c, c->Parent(), *query);
    } else if (section.GiveOwnFont) {
        query->SectionIndex = Data.SkinIndex();
        Message.Result = 1;
    }
}

} // namespace

bool IsMouseStillInside(const TsCommonData &CommonData) {
    vcl::TControl *c = CommonData.OwnerControl();
    const HWND wnd = Windowed(c) ? WindowOf(c) : CommonData.GetWindowHandle();
    if (!wnd || !IsWindowVisible(wnd)) return false;
    POINT screen{};
    GetCursorPos(&screen);
    RECT w{};
    GetWindowRect(wnd, &w);
    const POINT inWindow{screen.x - w.left, screen.y - w.top};
    // A control is tested against its client area, a record without one
    // against the client area's size at the window's origin.
    POINT cursor = inWindow;
    if (Windowed(c)) {
        cursor = screen;
        ScreenToClient(wnd, &cursor);
    }
    RECT area{};
    GetClientRect(wnd, &area);
    const auto *adapter = reinterpret_cast<TvlWindowAdapter *>(SendSkinCommand(wnd, SC_QUERY_ADAPTER, 0));
    if (const auto *scrolling = dynamic_cast<const TvlScrollAdapter *>(adapter)) {
        if (const TvlScrollBarState v = scrolling->VertScrollBar(); v.Visible) area.right += v.Width;
        if (const TvlScrollBarState h = scrolling->HorzScrollBar(); h.Visible) area.bottom += h.Width;
    }
    if (!PtInRect(&area, cursor)) return false;
    // The whole window's visible part: the scroll bars that widen the area
    // lie outside the client area's.
    const vcl::TWindowDC dc(wnd, GetWindowDC(wnd));
    RECT clip{};
    return dc.Get() && GetClipBox(dc.Get(), &clip) != ERROR && PtInRect(&clip, inWindow);
}

bool PreprocessSkinnedMessage(vcl::TMessage &Message, TsCommonData *CommonData) {
    if (!CommonData) return false;
    TsCommonData &data = *CommonData;
    vcl::TControl *c = data.OwnerControl();
    switch (Message.Msg) {
    case WM_UPDATEUISTATE:
        if (data.IsSkinned(false)) return true;
        if (HWND wnd = WindowOf(c)) ResetWindowTheme(wnd);
        return false;
    case WM_KILLFOCUS: FocusChanged(data, false); return false;
    case WM_SETFOCUS: FocusChanged(data, true); return false;
    case WM_MOVE:
        if (!data.IsSkinned(false)) return false;
        if (data.OuterEffects()->Visibility() == ovAlways) RefreshParentCache(data);
        if (data.UsesParentBackground()) {
            data.BGChanged = true;
            TellControl(data, SC_PARENT_BG_CHANGED, 1);
        }
        data.HideGlowNow();
        return false;
    case WM_SIZE:
        if (!data.IsSkinned(false)) return false;
        data.BGChanged = true;
        if (data.OuterEffects()->Visibility() == ovAlways) RefreshParentCache(data);
        if (auto *w = Windowed(c); w && SectionOf(data).Props[0].GradientPercent > 0)
            for (int i = 0; i < w->ControlCount(); ++i)
                if (!Has(w->Controls(i), vcl::csDestroying))
                    w->Controls(i)->Perform(SM_SKINCOMMAND, SkinCommand(SC_PARENT_BG_CHANGED, 1), 0);
        if (!data.IsAnimating()) data.HideGlowNow();
        return false;
    case WM_SHOWWINDOW: data.StopAnimation(); return false;
    case WM_DESTROY:
        if (HWND wnd = data.GetWindowHandle())
            for (TsSkinManager *m : {DefaultManager(), data.GetSkinManager()})
                if (m) m->WindowDestroyed(wnd);
        return false;
    case WM_FONTCHANGE:
    case vcl::CM_ENABLEDCHANGED:
        data.MouseInside = false;
        data.Focused = false;
        if (c && !c->Enabled()) data.HideGlowNow();
        return false;
    case WM_CONTEXTMENU:
        if (TsSkinManager *m = data.GetSkinManager(); m && c) m->SkinableMenus().SetControlMenuOwnerDraw(c, m->Active());
        return false;
    case WM_PARENTNOTIFY:
        if (Windowed(c) && LOWORD(Message.WParam) == WM_CREATE) NotifyFormOfControl(c);
        return false;
    case SM_SKINCOMMAND: return CommonWndProc(Message, CommonData);
    case vcl::CM_VISIBLECHANGED: VisibleChanged(data, Message.WParam != 0); return false;
    case vcl::CM_MOUSEENTER:
        if (!data.HoverByHotWindow) MouseEntered(data);
        return false;
    case vcl::CM_MOUSELEAVE:
        if (!data.HoverByHotWindow) MouseLeft(data);
        return false;
    case vcl::CM_SHOWINGCHANGED:
        if (c && c->Visible()) data.Loaded();
        return false;
    default: return false;
    }
}

void DispatchSkinnedMessage(vcl::TMessage &Message, TsCommonData *CommonData, TvlOwnMessageHandler Own,
                            vcl::TWndMethod Previous, TvlOwnMessageHandler AfterCommon) {
    const bool command = Message.Msg == SM_SKINCOMMAND;
    if (!command && PreprocessSkinnedMessage(Message, CommonData)) return;
    if (Own && Own(Message)) return;
    const bool answered = command && CommonWndProc(Message, CommonData);
    if (command && AfterCommon && AfterCommon(Message)) return;
    if (!answered && Previous) Previous(Message);
}

bool CommonWndProc(vcl::TMessage &Message, TsCommonData *CommonData) {
    // Nothing done answers False, not "handled": the forms' dispatch comes
    // here without a record, and a command it did not take must still reach
    // the window's own procedure.
    if (!CommonData || Message.Msg != SM_SKINCOMMAND) return false;
    TsCommonData &data = *CommonData;
    const unsigned code = SubCommandOf(Message.WParam);
    if (code > SC_LAST_COMMON) return false;
    vcl::TControl *c = data.OwnerControl();
    auto *w = Windowed(c);
    TsSkinManager *sender = reinterpret_cast<TsSkinManager *>(Message.LParam);
    const bool own = sender && sender == data.GetSkinManager();
    switch (code) {
    case SC_SKIN_APPLIED:
        if (!own) return true;
        data.StopAnimation();
        data.ChooseDefaultSection();
        // A record without a section name has its index from its control.
        if (!data.SkinSection().empty()) data.SetSectionFromList({data.SkinSection()});
        data.ShrinkCache();
        data.UpdateTransparency(false);
        return true;
    case SC_SKIN_REMOVED:
        if (own) SkinRemoved(data, sender);
        return false;  // the caller's own removal follows
    case SC_SKIN_REFRESH:
        if (!own) return true;
        data.StopAnimation();
        data.BGChanged = true;
        data.PaintLocked = false;
        if (!data.SyncControlColors(true)) return true;
        data.UpdateTransparency(false);
        if (HWND wnd = data.GetWindowHandle(); wnd && FrameChangeKinds.Contains(data.ControlKind))
            SetWindowPos(wnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        return true;
    case SC_PARENT_UPDATE_DONE:
        if (data.PaintLocked && w && !data.UpdatePaintLock(true)) {
            // The repaint runs the application's painting, which may free
            // the control.
            const vcl::TGuarded<vcl::TWinControl> windowed(w);
            if (HWND wnd = WindowOf(w))
                RedrawWindow(wnd, nullptr, nullptr,
                             RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
            PassUpdateDoneToChildren(windowed.Get());
        }
        return true;
    case SC_IS_HANDLED:
    case SC_QUERY_PARENT_REDRAW: Message.Result = 1; return true;
    case SC_SET_UPDATING: data.PaintLocked = LOWORD(Message.WParam) == 1; return true;
    case SC_IS_UPDATING: Message.Result = IsUpdatingAnswer(data); return true;
    case SC_WAS_NOT_PAINTED: Message.Result = data.PartialPaint ? 1 : 0; return true;
    case SC_SECTION_REPAINT:
        if (const auto *name = CommandRecord<const char>(Message)) {
            std::string upper(name);
            std::transform(upper.begin(), upper.end(), upper.begin(),
                           [](char ch) { return ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 32) : ch; });
            if (upper == data.SkinSection()) data.RepaintControl(false);
        }
        return true;
    case SC_SET_SECTION:
        if (const auto *name = CommandRecord<const char>(Message)) {
            data.SetSkinSection(name);
            Message.Result = 1;
        } else {
            Message.Result = 0;
        }
        return true;
    case SC_STOP_ANIMATION: data.StopAnimation(); return true;
    case SC_INVALIDATE_CACHE: data.BGChanged = true; return true;
    case SC_REPAINT: data.RepaintControl(false); return true;
    case SC_PARENT_BG_CHANGED: {
        const bool follows = data.UsesParentBackground();
        data.BGChanged = data.BGChanged || follows;
        if (!w) return true;
        if (LOWORD(Message.WParam) == 1)
            if (HWND wnd = WindowOf(w))
                RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_NOINTERNALPAINT | RDW_NOERASE | RDW_ALLCHILDREN);
        if (follows) {
            // A child's answer may free the control.
            const vcl::TGuarded parent(w);
            for (int i = 0; parent && i < w->ControlCount(); ++i)
                if (!Has(w->Controls(i), vcl::csDestroying))
                    w->Controls(i)->Perform(SM_SKINCOMMAND, SkinCommand(SC_PARENT_BG_CHANGED), 0);
        }
        return true;
    }
    case SC_GET_BG_COLOR:
        if (!c) return false;
        Message.Result = BgColorAnswer(data);
        return true;
    case SC_SET_NOT_PAINTED: data.PartialPaint = true; return true;
    case SC_BUILD_CACHE: data.BGChanged = false; return true;
    case SC_GET_SECTION_INDEX:
        if (auto *query = CommandRecord<TvlSectionQuery>(Message)) query->SectionIndex = data.SkinIndex();
        return true;
    case SC_DROP_CACHE:
        if (!data.CacheBmp()) return true;
        for (int i = 0; w && i < w->ControlCount(); ++i)
            if (HWND child = WindowOf(w->Controls(i))) SendSkinCommand(child, SC_DROP_CACHE, 0);
        data.ShrinkCache();
        data.BGChanged = true;
        return true;
    case SC_GET_BG_INFO:
        if (auto *query = CommandRecord<TvlBgQuery>(Message)) {
            const bool active =
                data.Focused || (data.MouseInside && !NoGlowKinds.Contains(data.ControlKind));
            if (!data.CopyParentBackground(*query, active ? 1 : 0)) return true;
            Message.Result = 1;
        }
        return true;
    case SC_QUERY_BG_FLAGS:
        if (Message.LParam == 1) {
            data.UpdateTransparency(true);
        } else {
            if (data.BGFlags() == bgfUndetermined) data.UpdateTransparency(false);
            Message.Result = data.BGFlags();
        }
        return true;
    case SC_GET_SKIN_DATA: Message.Result = reinterpret_cast<LRESULT>(CommonData); return true;
    case SC_SET_PAINT_TARGET:
        if (!CommandArgumentIsOurs(Message)) return true;
        data.SetBGFlags(Message.LParam ? data.BGFlags() | bgfPaintTarget : data.BGFlags() & ~bgfPaintTarget);
        data.PrintDC = reinterpret_cast<HDC>(Message.LParam);
        return true;
    case SC_PAINT_OUTER_EFFECT:
        if (const auto *target = CommandRecord<const TvlBgQuery>(Message))
            data.PaintOuterEffect(*target, LOWORD(Message.WParam));
        return true;
    case SC_FRAME_METRICS_CHANGED: {
        if (!w) return true;
        // The frame change reaches the control's procedure, the
        // application's: it may free the control.
        const vcl::TGuarded<vcl::TWinControl> windowed(w);
        if (HWND wnd = WindowOf(w))
            SetWindowPos(wnd, nullptr, 0, 0, 0, 0,
                         SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOCOPYBITS |
                             SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
        BroadcastToChildControls(windowed.Get(), Message);
        return true;
    }
    case SC_GET_APPLICATION: Message.Result = reinterpret_cast<LRESULT>(vcl::Application); return true;
    case SC_GET_BG_SECTION: SectionQuery(data, Message); return true;
    case SC_GET_BOUNDS:
        if (auto *bounds = CommandRecord<vcl::TRect>(Message)) *bounds = c ? c->BoundsRect() : vcl::TRect{};
        return true;
    default: return false;
    }
}

} // namespace skin
