#include "vlSBUtils.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "skin/graphics/vlCommonUtils.h"
#include "skin/graphics/vlNineSlice.h"
#include "skin/manager/sCommandTable.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/sVclUtils.h"
#include "vcl/AppContext.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/Controls.h"
#include "vcl/Forms.h"
#include "vcl/WideText.h"
#include "vlAdaptersState.h"
#include "vlSBPaint.h"

namespace skin {

namespace {

bool Designing(const vcl::TComponent *C) { return C && C->ComponentState().Contains(vcl::csDesigning); }

vcl::TWinControl *Windowed(vcl::TControl *Control) { return dynamic_cast<vcl::TWinControl *>(Control); }

} // namespace

// ------------------------------------------------------------- TvlProcRelay

void TvlProcRelay::Call(vcl::TMessage &Message) {
    if (Adapter)
        Adapter->HandleMessage(Message);
    else if (Saved)
        Saved(Message);
}

// --------------------------------------------------------------- TvlMainWnd

TvlMainWnd::TvlMainWnd() = default;

TvlMainWnd::~TvlMainWnd() {
    ReleaseWindow();
    FDestroyed = true;
    SkinData = nullptr;
    FOwnSkinData.reset();
    SkinManager = nullptr;
}

void TvlMainWnd::ReleaseWindow() {
    if (!SkinData || FReleased) return;
    FReleased = true;
    // Whatever state the skin is in: a window that still calls us would
    // call freed memory.
    if (!FDestroyed) Unhook(true);
    // A window that lives still has its control: asking the owner is safe.
    if (Handle && IsWindow(Handle)) {
        if (TSetWindowTheme setTheme = SetWindowThemeProc()) {
            const TvlFormProvider *provider = SkinData->OwnerProvider();
            if (provider ? provider->DrawsNonClientArea() : SkinData->ControlKind != 10 || !DwmCompositionActive())
                setTheme(Handle, nullptr, nullptr);
        }
    }
    FDestroyed = true;
}

void TvlMainWnd::SetDefaultSection() {
    if (SkinData) SkinData->Updating = false;
}

void TvlMainWnd::SaveControlColors() {}

void TvlMainWnd::RestoreControlColors() {}

void TvlMainWnd::ApplySkinColors() { ColorsApplied = true; }

std::unique_ptr<TsCommonData> TvlMainWnd::CreateOwnSkinData(vcl::TObject *Owner) {
    auto data = std::make_unique<TsCommonData>(Owner, false);
    data->ControlKind = ckAdapter;
    data->Updating = true;
    return data;
}

void TvlMainWnd::Create(HWND AHandle, TsCommonData *Shared, TsSkinManager *Manager, const TvlSkinParams &Params,
                        bool Repaint) {
    Handle = AHandle;
    SavedWindowProc = {};
    OldWndProc = nullptr;
    if (SwitchesVisualStylesOff(Shared, Params, Repaint))
        if (TSetWindowTheme setTheme = SetWindowThemeProc()) setTheme(Handle, L" ", L" ");
    SkinManager = Manager;
    FDestroyed = false;
    if (Shared) {
        SkinData = Shared;
        OwnsSkinData = false;
    } else {
        OwnsSkinData = true;
        FOwnSkinData = CreateOwnSkinData(Params.Control);
        SkinData = FOwnSkinData.get();
        if (!Params.SkinSection.empty()) SkinData->SetSkinSection(Params.SkinSection);
        SkinData->SetCustomFont(!Params.OwnFont);
        SkinData->SetCustomColor(!Params.OwnColor);
    }
    SkinData->WndHandle = Handle;
    SkinData->HoverByHotWindow = true;
    KeepTheme = KeepThemeOnCreate();
    SaveControlColors();
    ColorsApplied = false;
    WindowText = ReadWindowText(Handle);
    InstallWndHook(*this, Handle);
    if (vcl::TControl *c = SkinData->OwnerControl()) {
        SavedControlStyle = c->ControlStyle();
        ControlStyleSaved = true;
        c->SetControlStyle(c->ControlStyle() + vcl::TControlStyle{vcl::csOpaque});
    }
    SetDefaultSection();
}

bool TvlMainWnd::SwitchesVisualStylesOff(const TsCommonData *Shared, const TvlSkinParams &Params, bool Repaint) const {
    (void)Repaint;  // the scrolling adapters' frame: none here
    const TvlFormProvider *provider = Shared ? Shared->OwnerProvider() : nullptr;
    return !(provider && !provider->DrawsNonClientArea()) && Params.SkinSection != "DIALOG" && !KeepThemeOnCreate();
}

vcl::TControl *TvlMainWnd::HookTarget() const {
    if (!SkinData) return nullptr;
    if (vcl::TControl *c = SkinData->OwnerControl()) return c;
    if (const TvlFormProvider *provider = SkinData->OwnerProvider()) return provider->ProviderForm();
    return nullptr;
}

void TvlMainWnd::StubProc(vcl::TMessage &Message) {
    // Nothing may leave a window procedure by an exception.
    try {
        HandleMessage(Message);
    } catch (...) {
        vcl::ReportException(nullptr);
    }
}

bool TvlMainWnd::Unhook(bool Orphan) {
    if (FDestroyed) return true;
    bool back = true;
    if (FRelay) {
        vcl::TControl *target = HookTarget();
        const vcl::TWndMethod ours = vcl::TWndMethod::Bind<&TvlProcRelay::Call>(FRelay.get());
        if (target && target->WindowProc == ours) {
            target->WindowProc = FRelay->Saved;
            FRelay.reset();
        } else if (Orphan || !target) {
            // Another procedure sits on ours and calls it as its previous one.
            FRelay->Adapter = nullptr;
            AdaptersState().OrphanedRelays.push_back(Keep(std::move(FRelay)));
        } else {
            back = false;
        }
        if (back && ControlStyleSaved) {
            if (vcl::TControl *c = SkinData->OwnerControl()) c->SetControlStyle(SavedControlStyle);
            ControlStyleSaved = false;
        }
    } else if (ObjectInstance) {
        const auto ours = reinterpret_cast<LONG_PTR>(ObjectInstance.Proc());
        if (!IsWindow(Handle)) {
            OldWndProc = nullptr;
        } else if (GetWindowLongPtrW(Handle, GWLP_WNDPROC) == ours) {
            SetWindowLongPtrW(Handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OldWndProc));
            OldWndProc = nullptr;
        } else if (Orphan) {
            // The stub stays in the chain, forwarding to what it replaced.
            ObjectInstance.Orphan(Handle, OldWndProc);
            OldWndProc = nullptr;
        } else {
            back = false;
        }
        // A stub given back is freed with the adapter: it may be running now.
    }
    if (Handle && IsWindow(Handle)) RemovePropW(Handle, AdapterPropName);
    // The control's answers to its own colours back may free the adapter.
    const vcl::TGuarded alive(this);
    RestoreControlColors();
    if (alive) FDestroyed = back;
    return back;
}

LRESULT TvlMainWnd::CallPreviousWndProc(HWND Wnd, UINT Msg, LPARAM &LParam, WPARAM WParam) {
    if (SavedWindowProc) {
        // The procedure was the control's (or its form's): it went with the
        // control the application freed.
        if (!FHooked) return 0;
        vcl::TMessage m{Msg, WParam, LParam, 0};
        SavedWindowProc(m);
        LParam = m.LParam;
        return m.Result;
    }
    if (OldWndProc) {
        try {
            return CallWindowProcW(OldWndProc, Wnd, Msg, WParam, LParam);
        } catch (...) {
            return 0;
        }
    }
    return 0;
}

void TvlMainWnd::PassOn(vcl::TMessage &Message) {
    Message.Result = CallPreviousWndProc(Handle, Message.Msg, Message.LParam, Message.WParam);
}

bool TvlMainWnd::Serving() const { return SkinData && SkinManager && SkinManager->Active(); }

// The stages of one message, each asked only while the adapter is there:
// what a stage runs (a message passed on, the application's handler) may
// free it, and a stage that did ends the message.
struct TvlMainWnd::TStages {
    TvlMainWnd &Adapter;
    const vcl::TGuarded<TvlMainWnd> Alive{&Adapter};
    bool Own(vcl::TMessage &Message) { return !Alive || Adapter.OwnMessage(Message) || !Alive; }
    bool AfterCommon(vcl::TMessage &Message) { return !Alive || Adapter.AfterCommonAnswer(Message) || !Alive; }
    void Previous(vcl::TMessage &Message) {
        if (Alive) Adapter.PassOn(Message);
    }
};

void TvlMainWnd::HandleMessage(vcl::TMessage &Message) {
    TStages stages{*this};
    const auto dispatch = [&] {
        DispatchSkinnedMessage(Message, OrderData(Message), TvlOwnMessageHandler::Bind<&TStages::Own>(&stages),
                               vcl::TWndMethod::Bind<&TStages::Previous>(&stages),
                               TvlOwnMessageHandler::Bind<&TStages::AfterCommon>(&stages));
    };
    if (Message.Msg != SM_SKINCOMMAND) {
        dispatch();
        return;
    }
    // A command sent to the window while the common stage answers another
    // one (a child asking for its background) leaves and takes its own.
    const unsigned outer = std::exchange(FLeftCommand, 0u);
    dispatch();
    if (stages.Alive) FLeftCommand = outer;
}

TsCommonData *TvlMainWnd::OrderData(const vcl::TMessage &Message) const {
    if (SkinData && SkinData->OwnerProvider() && SkinData->IsSkinned(false) && Message.Msg != WM_DESTROY &&
        Message.Msg != WM_NCDESTROY)
        return nullptr;
    return SkinData;
}

bool TvlMainWnd::LeaveToAfterCommon(const vcl::TMessage &Message) {
    FLeftCommand = SubCommandOf(Message.WParam) + 1;
    return false;
}

bool TvlMainWnd::TakeLeftCommand(const vcl::TMessage &Message) {
    if (Message.Msg != SM_SKINCOMMAND || FLeftCommand != SubCommandOf(Message.WParam) + 1) return false;
    FLeftCommand = 0;
    return true;
}

bool TvlMainWnd::IsLeftToAfterCommon(const vcl::TMessage &Message) const {
    return Message.Msg == SM_SKINCOMMAND && FLeftCommand != 0 && FLeftCommand == SubCommandOf(Message.WParam) + 1;
}

bool TvlMainWnd::IsOwnRemoval(const vcl::TMessage &Message) const {
    return Message.Msg == SM_SKINCOMMAND && SubCommandOf(Message.WParam) == SC_SKIN_REMOVED && SkinData &&
           SkinManager && reinterpret_cast<TsSkinManager *>(Message.LParam) == SkinManager && !Destroyed();
}

bool TvlMainWnd::BaseRemoval(vcl::TMessage &Message) {
    (void)Message;
    RestoreControlColors();
    // The common removal follows (the order's next stage): it drops the
    // section index, which would otherwise name a section of the next skin.
    return false;
}

bool TvlMainWnd::AfterCommonAnswer(vcl::TMessage &Message) {
    (void)Message;
    return false;
}

void TvlMainWnd::MouseNotice(vcl::TMessage &Message) {
    // An adapter follows the mouse through the manager's hot window
    // (SC_MOUSE_ENTERED, SC_MOUSE_LEFT). The class library tells its
    // controls of the mouse coming and going (a cursor put somewhere by the
    // program moves nothing): the notice goes to the control, and the
    // window becomes the hot one, or stops being it, as a mouse move would
    // make it.
    const vcl::TGuarded alive(this);
    PassOn(Message);
    TsSkinManager *m = DefaultManager();
    if (!alive || !m || Designing(m) || !Serving()) return;
    if (Message.Msg == vcl::CM_MOUSELEAVE) {
        if (m->ActiveWindow == Handle) m->SetActiveControl(nullptr);
    } else if (IsWindowEnabled(Handle) && m->ActiveWindow != Handle) {
        m->SetActiveControl(Handle);
    }
}

bool TvlMainWnd::OwnMessage(vcl::TMessage &Message) {
    switch (Message.Msg) {
    case WM_DESTROY:
    case WM_NCDESTROY: DestroyMessage(Message); return true;
    case WM_SIZE:
        if (SkinData) SkinData->BGChanged = true;
        break;
    case WM_SETTEXT: {
        // The control's text-change handler is the application's.
        const vcl::TGuarded alive(this);
        PassOn(Message);
        if (alive) WindowText = ReadWindowText(Handle);
        return true;
    }
    // WM_CONTEXTMENU: the first stage (PreprocessSkinnedMessage) gives the
    // control's popup menu the owner drawing of the manager's state.
    case WM_UPDATEUISTATE: Message.Result = 0; return true;
    case vcl::CM_MOUSEENTER:
    case vcl::CM_MOUSELEAVE: MouseNotice(Message); return true;
    case WM_MOUSEMOVE:
        if (TsSkinManager *m = DefaultManager(); m && !Designing(m) && IsWindowEnabled(Handle) && m->ActiveWindow != Handle)
            m->SetActiveControl(Handle);
        break;
    case WM_PRINT: {
        // A control the skin leaves to the system shows on the screen what
        // the system's erase leaves under its paint: the picture takes both.
        // The erase is the application's too; the window stays after it.
        const HWND window = Handle;
        if (!SkinData || !SkinData->IsSkinned(true)) SendMessageW(window, WM_ERASEBKGND, Message.WParam, 0);
        Message.Result = SendMessageW(window, WM_PAINT, Message.WParam, Message.LParam);
        return true;
    }
    default: break;
    }
    if (!Serving()) {
        PassOn(Message);
        return true;
    }
    return Message.Msg == SM_SKINCOMMAND && AnswerSkinCommand(Message);
}

bool TvlMainWnd::AnswerSkinCommand(vcl::TMessage &Message) {
    TsCommonData &data = *SkinData;
    const bool own = reinterpret_cast<TsSkinManager *>(Message.LParam) == SkinManager;
    vcl::TControl *control = data.OwnerControl();
    switch (SubCommandOf(Message.WParam)) {
    case SC_SKIN_APPLIED:
        if (own) {
            data.UpdateIndexes(true);
            data.BGChanged = true;
            // The children's answers are the application's too: they may
            // free this adapter.
            const vcl::TGuarded alive(this);
            PassToChildren(control, Handle, Message);
            if (!alive) return true;
        }
        PassOn(Message);
        return true;
    case SC_SKIN_REMOVED:
        return own ? BaseRemoval(Message) : false;  // the common removal, then the previous procedure
    case SC_SKIN_REFRESH:
        if (!own) {
            PassOn(Message);
            return true;
        }
        data.UpdateIndexes(true);
        data.BGChanged = true;
        data.PaintLocked = false;
        {
            // The paint (and the erase inside it) runs the application's
            // code, which may free the control or this adapter.
            const vcl::TGuarded alive(this);
            const vcl::TGuarded<vcl::TControl> owner(control);
            const HWND window = Handle;
            if (!ModuleState().FormAnimationActive && (control ? control->Visible() : IsWindowVisible(window) != FALSE))
                SendMessageW(window, WM_PAINT, 0, 0);
            if (alive && (!control || owner)) PassToChildren(control, window, Message);
        }
        return true;
    case SC_PARENT_UPDATE_DONE:
        if (!data.PaintLocked) {
            PassOn(Message);
            return true;
        }
        {
            // The repaint runs the application's painting, which may free
            // the control or this adapter with its record.
            const vcl::TGuarded<vcl::TWinControl> windowed(Windowed(control));
            if (!data.UpdatePaintLock(true)) {
                const vcl::TGuarded alive(this);
                SendMessageW(Handle, WM_NCPAINT, 1, 0);
                if (alive) RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            }
            PassUpdateDoneToChildren(windowed.Get());
        }
        return true;
    case SC_IS_UPDATING: Message.Result = data.IsPaintLocked() ? 1 : 0; return true;
    case SC_QUERY_ADAPTER: Message.Result = reinterpret_cast<LRESULT>(static_cast<TvlWindowAdapter *>(this)); return true;
    case SC_QUERY_PARENT_REDRAW:
        if (control) return false;
        PassOn(Message);
        return true;
    case SC_GET_BG_COLOR: {
        LPARAM lp = Message.LParam;
        const LRESULT previous = CallPreviousWndProc(Handle, Message.Msg, lp, Message.WParam);
        Message.Result = previous ? previous : static_cast<LRESULT>(data.GetBackColor(0, Handle));
        return true;
    }
    case SC_BUILD_CACHE:
        if (const TvlAsker self(this); !PaintSkinnedControl(data, Handle, false, self) && self.Gone()) return true;
        PassOn(Message);
        return true;
    case SC_GET_BG_INFO:
        if (auto *query = CommandRecord<TvlBgQuery>(Message)) {
            if (data.CopyParentBackground(*query, 0)) Message.Result = 1;
        }
        return true;
    case SC_SET_PAINT_TARGET:
        if (!CommandArgumentIsOurs(Message)) return true;
        data.SetBGFlags(Message.LParam ? data.BGFlags() | bgfPaintTarget : data.BGFlags() & ~bgfPaintTarget);
        data.PrintDC = reinterpret_cast<HDC>(Message.LParam);
        PassOn(Message);
        return true;
    // SC_IS_HANDLED (1), SC_SET_SECTION, SC_GET_SKIN_DATA and
    // SC_GET_APPLICATION: the common handler's answers are the adapter's.
    default: return false;
    }
}

void TvlMainWnd::DestroyMessage(vcl::TMessage &Message) {
    if (FResendingDestroy) {
        // Back through a procedure chained over ours: on, never round again.
        if (SavedWindowProc || OldWndProc)
            PassOn(Message);
        else
            Message.Result = DefWindowProcW(Handle, Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    if (SkinData) {
        SkinData->StopAnimation();
        SkinData->HideGlowNow();
    }
    if (!SavedWindowProc && !OldWndProc) {
        Message.Result = ResendDestroy(Message);
        return;
    }
    if (HookTarget()) {
        // The window goes: a chain that another procedure sits on is left
        // to it, so that nothing calls this adapter once it is freed.
        const HWND window = Handle;
        const vcl::TGuarded alive(this);
        Unhook(true);
        if (alive)
            ResendDestroy(Message);
        else
            SendMessageW(window, Message.Msg, Message.WParam, Message.LParam);
    } else {
        LPARAM lp = Message.LParam;
        if (CallPreviousWndProc(Handle, Message.Msg, lp, Message.WParam) == 0) Unhook(true);
    }
    Message.Result = 1;
}

LRESULT TvlMainWnd::ResendDestroy(const vcl::TMessage &Message) {
    const vcl::TGuarded alive(this);
    FResendingDestroy = true;
    const LRESULT result = SendMessageW(Handle, Message.Msg, Message.WParam, Message.LParam);
    if (alive) FResendingDestroy = false;
    return result;
}

// ---------------------------------------------------------------- hooking

TvlMainWnd *AdapterOfWindow(HWND Handle) {
    return Handle ? static_cast<TvlMainWnd *>(GetPropW(Handle, AdapterPropName)) : nullptr;
}

void InstallWndHook(TvlMainWnd &Adapter, HWND Handle) {
    Adapter.Handle = Handle;
    SetPropW(Handle, AdapterPropName, &Adapter);
    if (vcl::TControl *target = Adapter.HookTarget()) {
        Adapter.FHooked = vcl::TGuarded(target);
        Adapter.SavedWindowProc = target->WindowProc;
        Adapter.FRelay = std::make_unique<TvlProcRelay>(TvlProcRelay{&Adapter, target->WindowProc});
        target->WindowProc = vcl::TWndMethod::Bind<&TvlProcRelay::Call>(Adapter.FRelay.get());
        return;
    }
    Adapter.ObjectInstance = vcl::TObjectInstance(vcl::TWndMethod::Bind<&TvlMainWnd::StubProc>(&Adapter));
    Adapter.OldWndProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(Handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Adapter.ObjectInstance.Proc())));
    if (!Adapter.OldWndProc) {
        // Gone, or a window of another process.
        RemovePropW(Handle, AdapterPropName);
        Adapter.ObjectInstance.Reset();
        Adapter.FDestroyed = true;
        throw vcl::EInvalidOperation("Cannot take over the window procedure of this window");
    }
}

void RemoveWndHook(HWND Handle, bool FullFrame, TvlMainWnd *Adapter) {
    if (!Adapter || Adapter->Destroyed()) return;
    Adapter->Unhook(false);
    if (IsWindowVisible(Handle)) RefreshFrame(Handle, FullFrame);
}

void RemoveWndHook(HWND Handle, bool FreeIt, bool FullFrame, std::unique_ptr<TvlMainWnd> &Adapter) {
    if (!Adapter || Adapter->Destroyed()) return;
    RemoveWndHook(Handle, FullFrame, Adapter.get());
    if (FreeIt) Adapter.reset();
}

void RefreshFrame(HWND Handle, bool FullFrame) {
    if (FullFrame)
        SetWindowPos(Handle, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    else
        SendMessageW(Handle, WM_NCPAINT, 1, 0);
}

std::string ReadWindowText(HWND Handle) {
    const int length = GetWindowTextLengthW(Handle);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(Handle, text.data(), length + 1)));
    return vcl::WideToUtf8(text);
}

// ------------------------------------------------------------- unit state

bool KeepThemeOnCreate() { return AdaptersState().KeepThemeOnCreate; }

TvlKeepThemeScope::TvlKeepThemeScope() : FPrevious(std::exchange(AdaptersState().KeepThemeOnCreate, true)) {}

TvlKeepThemeScope::~TvlKeepThemeScope() { AdaptersState().KeepThemeOnCreate = FPrevious; }

const TvlScrollBarApi &ScrollBarApi() { return AdaptersState().ScrollBars; }

void InitializeSBUtils() {
    TvlAdaptersState &unit = AdaptersState();
    if (unit.BaseStartCount++ > 0) return;
    unit.User32 = TvlLibrary(L"user32.dll");
    unit.ComCtl32 = TvlLibrary(L"comctl32.dll");
    unit.ScrollBars.GetScrollBarInfo =
        unit.User32.Proc<BOOL(WINAPI *)(HWND, LONG, PSCROLLBARINFO)>("GetScrollBarInfo");
    unit.ScrollBars.InitializeFlatSB = unit.ComCtl32.Proc<BOOL(WINAPI *)(HWND)>("InitializeFlatSB");
    unit.ScrollBars.UninitializeFlatSB = unit.ComCtl32.Proc<HRESULT(WINAPI *)(HWND)>("UninitializeFlatSB");
}

void FinalizeSBUtils() {
    TvlAdaptersState &unit = AdaptersState();
    if (unit.BaseStartCount == 0 || --unit.BaseStartCount > 0) return;
    DialogSkinning().FreeMenuAdapters();
    unit.ScrollBars = {};
    unit.ComCtl32 = TvlLibrary();
    unit.User32 = TvlLibrary();
    unit.OrphanedRelays.clear();
    ClearHookedDialogs();
    unit.KeepThemeOnCreate = false;
    ResetAdaptersStateWhenStopped();
}

// ---------------------------------------------------- an adapter's picture

void SelectAdapterFont(TvlMainWnd &Adapter) {
    if (!Adapter.SkinData || !Adapter.SkinData->CacheBmp()) return;
    vcl::TCanvas &canvas = *Adapter.SkinData->CacheBmp()->Canvas();
    if (const vcl::TControl *c = Adapter.SkinData->OwnerControl())
        canvas.SetFont(c->Font());
    else if (const auto font = reinterpret_cast<HFONT>(SendMessageW(Adapter.Handle, WM_GETFONT, 0, 0)))
        canvas.Font()->SetHandle(font);
    else
        SelectSystemFont(canvas, 5);
}

void RefreshGeometry(TvlMainWnd &Adapter) {
    ParentClientRect(Adapter.Handle, Adapter.ParentHandle, Adapter.WndRect, Adapter.PosInParent, Adapter.WndSize,
                     Adapter.ParentRect);
}

bool PaintMaskBorder(TsCommonData &SkinData, int State, TvlMainWnd &Adapter) {
    TsSkinManager *m = SkinData.GetSkinManager();
    if (!m || Adapter.KeepTheme || !m->IsValidMaskIndex(SkinData.BorderIndex())) return true;
    vcl::TBitmap *cache = SkinData.CacheBmp();
    if (!cache) return true;
    RECT w{};
    GetWindowRect(Adapter.Handle, &w);
    const int width = w.right - w.left, height = w.bottom - w.top;
    if (width < 2 || height < 2) return true;
    TvlBgInfo bg;
    if (!WindowBackgroundInfo(Adapter.Handle, bg, TvlAsker(&Adapter, &SkinData))) return false;
    TsMaskData mask = m->Masks[static_cast<std::size_t>(SkinData.BorderIndex())];
    // A picture of its own that names no states holds the three of a plain image.
    if (mask.ImageCount == 0 && mask.Bmp) {
        mask.ImageCount = 3;
        mask.MaskType = 0;
    }
    if (mask.ImageCount < 1) return true;
    mask.DrawMode &= static_cast<std::uint16_t>(~dmDrawCenter);  // the border only
    const int state = std::clamp(State, 0, mask.ImageCount - 1);
    DrawSkinRect(*cache, {0, 0, std::min(width, cache->Width()), std::min(height, cache->Height())}, bg, mask, state,
                 false);
    return true;
}

void RedrawAfterParentUpdate(TsCommonData &Data, HWND Handle, UINT RedrawFlags) {
    auto *control = dynamic_cast<vcl::TWinControl *>(Data.OwnerControl());
    if (!Data.PaintLocked) {
        if (Data.BGFlags() & bgfParentBackground) PassUpdateDoneToChildren(control);
        return;
    }
    if (Data.UpdatePaintLock(true)) return;
    // The redraw runs the application's painting, which may free the control.
    const vcl::TGuarded<vcl::TWinControl> windowed(control);
    RedrawWindow(Handle, nullptr, nullptr, RedrawFlags);
    PassUpdateDoneToChildren(windowed.Get());
}

} // namespace skin
