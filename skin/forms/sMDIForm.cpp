#include "sMDIForm.h"

#include <algorithm>
#include <vector>

#include "sFrameMetrics.h"
#include "sSkinProvider.h"
#include "sSystemMenu.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sModuleState.h"
#include "skin/manager/sSkinServices.h"
#include "vcl/Bitmap.h"
#include "vcl/Forms.h"

namespace skin {

TsMDIForm::TsMDIForm(TsSkinProvider *AProvider) : Provider(AProvider) {
    Form = AProvider ? AProvider->Form : nullptr;
    if (Form) Form->HandleNeeded();
}

TsMDIForm::~TsMDIForm() { DisconnectClient(); }

void TsMDIForm::ConnectIfNeeded() {
    if (!ClientAdapter) ConnectClient();
}

void TsMDIForm::ConnectClient() {
    if (!Provider || !Form || !Provider->Skinned()) {
        ClientAdapter.reset();
        return;
    }
    ClientAdapter.reset();
    if (!Form->ClientHandle()) return;
    TvlSkinParams params;
    params.SkinSection = "CHECKBOX";
    params.OwnColor = false;
    params.OwnFont = false;
    ClientAdapter = AdapterFactory().CreateMDIClientAdapter(Form->ClientHandle(), params,
                                                            Provider->SkinData()->GetSkinManager(), Provider);
}

void TsMDIForm::RefreshFrame() {
    if (Provider) Provider->InvalidateFrame();
}

void TsMDIForm::DisconnectClient() { ClientAdapter.reset(); }

VCL_CLASS_INFO(TsMDIForm)

// ------------------------------------------------------- the provider's side

bool TsSkinProvider::IsMDIParent() const { return Form && Form->FormStyle() == vcl::fsMDIForm; }

void TsSkinProvider::SetMDIHelper(bool On) {
    if (!On) {
        MDIHelper.reset();
        return;
    }
    if (!IsMDIParent()) return;
    if (MDIHelper) {
        // Asked of the client window, not the form's: the provider answers for
        // the form's window while it runs this, but a client window made anew
        // (the form's window recreated) has no adapter until a new helper.
        const HWND client = Form->ClientHandle();
        if (!client || !SendSkinQuery(client, SC_IS_HANDLED)) MDIHelper.reset();
    }
    if (MDIHelper) return;
    ModuleState().MDIParentProvider = this;
    MDIHelper = std::make_unique<TsMDIForm>(this);
    MDIHelper->ConnectIfNeeded();
}

bool TsSkinProvider::MDIChildMaximized() const {
    // Counted only once a child was activated through a provider: the
    // parent's menu line then stands for that child's caption buttons.
    if (!FormsState().MDIChildActivator || !IsMDIParent()) return false;
    const vcl::TCustomForm *child = Form->ActiveMDIChild();
    return child && child->WindowState() == vcl::wsMaximized && child->BorderIcons().Contains(vcl::biSystemMenu);
}

namespace {

vcl::TRect ScreenRectOf(HWND Window) {
    RECT r{};
    GetWindowRect(Window, &r);
    return {r.left, r.top, r.right, r.bottom};
}

} // namespace

void TsSkinProvider::ShowMDIIcons() {
    const HWND window = Form ? Form->WindowHandle() : nullptr;
    const vcl::TBitmap *cache = FSkinData->CacheBmp();
    if (!window || !FDrawNonClientArea || !cache || cache->Empty()) return;
    MDIIconsShown = true;
    std::unique_ptr<vcl::TForm> &icons = FormsState().MDIIcons;
    if (icons) return;
    // Owned here, not by the application, which would free it again at its end.
    icons.reset(vcl::Create<vcl::TForm>(nullptr, vcl::CreateNew));
    icons->SetName("vlMDIIcons");
    icons->SetBorderStyle(vcl::bsNone);
    icons->SetTag(256);
    icons->SetPosition(vcl::poDesigned);
    const HWND iconsWindow = icons->Handle();
    if (!iconsWindow) {
        icons.reset();
        return;
    }
    const ULONG_PTR classStyle = GetClassLongPtrW(iconsWindow, GCL_STYLE);
    if (classStyle & CS_DROPSHADOW) SetClassLongPtrW(iconsWindow, GCL_STYLE, classStyle & ~ULONG_PTR{CS_DROPSHADOW});
    const LONG_PTR exStyle = GetWindowLongPtrW(iconsWindow, GWL_EXSTYLE) & ~static_cast<LONG_PTR>(WS_EX_APPWINDOW);
    SetWindowLongPtrW(iconsWindow, GWL_EXSTYLE, exStyle | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE);
    icons->OnPaint = vcl::TNotifyEvent::Bind<&TsSkinProvider::MDIIconsPaint>(this);

    // The right end of the line's last row, where the child's buttons stand.
    constexpr int width = 60;
    const int height = GetSystemMetrics(SM_CYMENU) + 3;
    const int right = CacheWidth() - GetBorderWidth(window, BorderObject(), true) - GetShadowMargins().Right;
    const int top = MenuLineTop() + (std::max(GetMenuLineCount(), 1) - 1) * GetMenuLineHeight();
    const vcl::TRect frame = ScreenRectOf(window);
    const vcl::TPoint offset = WindowToFrameOffset();
    SetWindowPos(iconsWindow, HWND_TOP, frame.Left - offset.X + right - width, frame.Top - offset.Y + top, width,
                 height, SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_SHOWWINDOW);
}

void TsSkinProvider::MDIIconsPaint(vcl::TObject *Sender) {
    auto *icons = dynamic_cast<vcl::TForm *>(Sender);
    const HWND window = Form ? Form->WindowHandle() : nullptr;
    vcl::TBitmap *cache = FSkinData->CacheBmp();
    if (!icons || !icons->HandleAllocated() || !window || !cache || cache->Empty()) return;
    // What the cache holds where the icons window lies over the frame.
    const vcl::TRect own = ScreenRectOf(icons->WindowHandle());
    const vcl::TRect frame = ScreenRectOf(window);
    const vcl::TPoint offset = WindowToFrameOffset();
    BitBlt(icons->Canvas()->Handle(), 0, 0, own.Width(), own.Height(), cache->Canvas()->Handle(),
           own.Left - frame.Left + offset.X, own.Top - frame.Top + offset.Y, SRCCOPY);
}

const vcl::TCustomForm *MaximizedMDIChildWithMenu() {
    const TvlFormProvider *parent = ModuleState().MDIParentProvider;
    const vcl::TCustomForm *form = parent ? parent->ProviderForm() : nullptr;
    if (!form || form->FormStyle() != vcl::fsMDIForm) return nullptr;
    const vcl::TCustomForm *child = form->ActiveMDIChild();
    const bool shown = child && child->WindowState() == vcl::wsMaximized &&
                       child->BorderIcons().Contains(vcl::biSystemMenu) && child->Icon();
    return shown ? child : nullptr;
}

// ------------------------------------------- the MDI steps of the provider

namespace {

bool Going(const vcl::TComponent *C) { return !C || C->ComponentState().Contains(vcl::csDestroying); }

HWND WindowOf(const vcl::TCustomForm *Form) { return Form && Form->HandleAllocated() ? Form->WindowHandle() : nullptr; }

} // namespace

bool IsMDIChildForm(const vcl::TCustomForm *Form) { return Form && Form->FormStyle() == vcl::fsMDIChild; }

TsSkinProvider *MDIParentSkinProvider() {
    auto *parent = dynamic_cast<TsSkinProvider *>(ModuleState().MDIParentProvider);
    return parent && !Going(parent) && !Going(parent->Form) ? parent : nullptr;
}

void RefreshMDIParent(bool Full) {
    const vcl::TGuarded parent(MDIParentSkinProvider());
    if (!parent) return;
    const HWND window = WindowOf(parent->Form);
    if (!window) return;
    if (!parent->DrawNonClientArea()) {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
        return;
    }
    // The frame is made anew, not painted half-way meanwhile. The client
    // window's adapter paints its edge first (from the frame it has).
    TsCommonData &data = *parent->SkinData();
    data.LockPaint();
    if (const HWND client = parent->Form->ClientHandle()) SendMessageW(client, WM_NCPAINT, 1, 0);
    if (!ProviderServes(parent, window)) return;
    data.BGChanged = true;
    for (auto &glow : parent->CaptionGlows) glow.reset();
    parent->FrameChanged = true;
    parent->MenuLineCount = -1;
    data.UnlockPaint(false);
    if (const HWND client = parent->Form->ClientHandle())
        RedrawWindow(client, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_FRAME | (Full ? RDW_UPDATENOW : 0));
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
    if (Full && parent->BorderForm) parent->UpdateBorder(false, 255);
}

void MDIChildActivated(TsSkinProvider &Child) {
    // The menus' hook tells the form of its menu (CM_MENUCHANGED), which
    // reaches the application.
    const vcl::TGuarded alive(&Child);
    if (Child.Skinned()) Child.HookFormMenus(true);
    if (!alive) return;
    // The bar's items are measured and drawn anew for the child now active.
    Child.RebuildMainMenu();
    if (!alive) return;
    const TsSkinProvider *parent = MDIParentSkinProvider();
    const vcl::TCustomForm *active = parent ? parent->Form->ActiveMDIChild() : nullptr;
    if (!active) return;
    if (active->WindowState() == vcl::wsMaximized) {
        if (parent->MDIHelper) parent->MDIHelper->RefreshFrame();
    } else {
        Child.SetSysMenuStyle(true);
    }
}

void MDIChildActivation(TsSkinProvider &Child, const vcl::TMessage &Message) {
    if (!IsMDIChildForm(Child.Form)) return;
    TsSkinProvider *parent = MDIParentSkinProvider();
    if (!parent) return;
    // Both children hear of a change; the one activated is the one kept.
    const HWND window = WindowOf(Child.Form);
    if (Message.Msg == WM_MDIACTIVATE && window && reinterpret_cast<HWND>(Message.LParam) == window)
        FormsState().MDIChildActivator = &Child;
    parent->SkinData()->BGChanged = true;
    if (parent->MDIChildMaximized()) {
        // The menu line shows the active child's buttons and icon.
        parent->RepaintFrameNow();
        return;
    }
    parent->MenuSkinned = false;
    parent->FrameChanged = true;
    parent->MenuLineCount = -1;
    if (const HWND parentWindow = WindowOf(parent->Form)) SendMessageW(parentWindow, WM_NCPAINT, 0, 0);
}

void MDIChildProviderGoing(TsSkinProvider &Child) {
    // Cleared first: the parent's frame below must not ask a provider that goes.
    if (FormsState().MDIChildActivator == &Child) FormsState().MDIChildActivator = nullptr;
    if (!IsMDIChildForm(Child.Form)) return;
    TsSkinProvider *parent = MDIParentSkinProvider();
    if (!parent || parent == &Child) return;
    parent->SkinData()->BGChanged = true;
    parent->MenuLineCount = -1;
    if (const HWND window = WindowOf(parent->Form)) SendMessageW(window, WM_NCPAINT, 0, 0);
}

bool ActiveChildMaximized(const vcl::TCustomForm *Parent, const vcl::TCustomForm *Except) {
    const HWND client = Parent ? Parent->ClientHandle() : nullptr;
    if (!client) return false;
    BOOL maximized = FALSE;
    const auto active = reinterpret_cast<HWND>(SendMessageW(client, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized)));
    return active && maximized && (!Except || active != WindowOf(Except));
}

bool CoveredByMaximizedChild(const vcl::TCustomForm *Form) {
    const HWND window = WindowOf(Form);
    if (!IsMDIChildForm(Form) || !window) return false;
    BOOL maximized = FALSE;
    const auto active =
        reinterpret_cast<HWND>(SendMessageW(GetParent(window), WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized)));
    return active && maximized && active != window;
}

void CutMDIChildCache(TsSkinProvider &Child) {
    const HWND window = WindowOf(Child.Form);
    vcl::TBitmap *cache = Child.SkinData()->CacheBmp();
    const vcl::TCustomForm *parent = vcl::MDIParentForm();
    if (!IsMDIChildForm(Child.Form) || !window || !cache || !parent) return;
    const vcl::TRect inside = parent->ClientRect(), bounds = Child.Form->BoundsRect();
    const RECT client{inside.Left, inside.Top, inside.Right, inside.Bottom};
    if (!PtInRect(&client, {bounds.Left, bounds.Top}) || !PtInRect(&client, {bounds.Right, bounds.Bottom})) return;
    const int height = GetNativeBorderWidth(window, Child.BorderObject()) + Child.GetCaptionHeight(true) +
                       Child.GetMenuLineCount() * Child.GetMenuLineHeight() + 1;
    if (height >= cache->Height()) return;
    cache->SetHeight(height);
    Child.SkinData()->BGChanged = true;
}

void MDIChildPainted(TsSkinProvider &Provider) {
    if (!FormsState().MDIChildOverMaximized) return;
    FormsState().MDIChildOverMaximized = false;
    if (IsMDIChildForm(Provider.Form)) FormsState().MDIChildActivator = &Provider;
}

void MDIChildCreating() {
    if (!MDIParentSkinProvider() && vcl::Application)
        if (const HWND main = WindowOf(vcl::Application->MainForm())) DialogSkinning().AttachSkinToWindow(main);
    FormsState().MDIChildOverMaximized = ActiveChildMaximized(vcl::MDIParentForm());
}

void MDIChildDestroyed(TsSkinProvider &Child) {
    if (!IsMDIChildForm(Child.Form)) return;
    TsSkinProvider *parent = MDIParentSkinProvider();
    if (!parent || !parent->Skinned()) return;
    parent->InvalidateFrame();
    // The child going may still be the one the client names active. The
    // client is painted once it is gone: while the client still names it
    // maximized, it paints nothing behind it.
    const vcl::TCustomForm *active = parent->Form->ActiveMDIChild();
    if (const HWND client = parent->Form->ClientHandle(); client && (!active || active == Child.Form))
        RedrawWindow(client, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

void AttachMDIChildren(TsSkinProvider &Parent) {
    if (!Parent.IsMDIParent()) return;
    std::vector<HWND> unserved;
    for (int i = 0; i < Parent.Form->MDIChildCount(); ++i)
        if (const HWND child = WindowOf(Parent.Form->MDIChildren(i)); child && !SendSkinQuery(child, SC_IS_HANDLED))
            unserved.push_back(child);
    for (const HWND child : unserved) DialogSkinning().AttachSkinToWindow(child);
}

namespace {

// Every other child of the parent: none stays maximized behind the one
// restored, and each repaints its frame.
void FollowRestoredChild(const TsSkinProvider &Parent, const vcl::TCustomForm *Restored) {
    std::vector<vcl::TCustomForm *> others;
    for (int i = 0; i < Parent.Form->MDIChildCount(); ++i)
        if (vcl::TCustomForm *child = Parent.Form->MDIChildren(i); child != Restored) others.push_back(child);
    for (vcl::TCustomForm *child : others) {
        if (child->WindowState() == vcl::wsMaximized) child->SetWindowState(vcl::wsNormal);
        if (const HWND window = WindowOf(child))
            RedrawWindow(window, nullptr, nullptr, RDW_INTERNALPAINT | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
    }
}

} // namespace

void MDIChildSysCommand(TsSkinProvider &Child, vcl::TMessage &Message) {
    // Only compared once the child's repaint (its own painting) has run.
    const vcl::TCustomForm *childForm = Child.Form;
    const HWND window = WindowOf(Child.Form);
    const WPARAM kind = Message.WParam & 0xFFF0;
    const vcl::TGuarded child(&Child);
    const vcl::TGuarded parent(MDIParentSkinProvider());
    const HWND parentWindow = parent ? WindowOf(parent->Form) : nullptr;
    const bool maximized = window && IsZoomed(window);
    const bool iconic = window && IsIconic(window);
    const bool helper = parent && parent->MDIHelper;
    // The parent's menu line stands for a maximized child's caption: it
    // paints nothing while the command takes the child out of that state.
    // Nor while a child is maximized: the system paints the parent's frame
    // before it gives the parent its new caption, and the refresh after the
    // command paints it once, whole.
    const bool hot = parent && ((maximized && kind != SC_MAXIMIZE) || (kind == SC_MAXIMIZE && helper));
    if (hot) parent->SkinData()->LockPaint();
    const auto leaveHot = [&] {
        if (hot && ProviderServes(parent, parentWindow)) parent->SkinData()->UnlockPaint(false);
    };
    bool refresh = false;
    switch (kind) {
    case SC_MAXIMIZE: {
        FormsState().MDIChildActivator = &Child;
        const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
        SetWindowLongPtrW(window, GWL_STYLE, style & ~LONG_PTR{WS_VISIBLE});
        Child.SavedWndProc(Message);
        // The child is seen again whatever the command's handling did with
        // its provider: a child left without its style would stay unseen.
        if ((style & WS_VISIBLE) && IsWindow(window))
            SetWindowLongPtrW(window, GWL_STYLE, GetWindowLongPtrW(window, GWL_STYLE) | WS_VISIBLE);
        if (!ProviderServes(child, window)) {
            if ((style & WS_VISIBLE) && IsWindow(window))
                RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
            break;
        }
        RedrawWindow(window, nullptr, nullptr, RDW_INTERNALPAINT | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
        refresh = helper;
        break;
    }
    case SC_RESTORE:
        // The system restores the maximized child while a new one is made
        // over it; the new one shows maximized at once.
        if (FormsState().MDIChildOverMaximized) {
            Message.Result = 0;
            break;
        }
        // The child's frame is made anew after the command, with its
        // system menu back: none is painted on the way.
        Child.SkinData()->LockPaint();
        Child.SavedWndProc(Message);
        if (!ProviderServes(child, window)) break;
        Child.SkinData()->UnlockPaint(false);
        Child.SkinData()->BGChanged = true;
        if (Child.DrawNonClientArea() && !Child.SetSysMenuStyle(true)) break;
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
        if (TsSkinProvider *now = MDIParentSkinProvider()) FollowRestoredChild(*now, childForm);
        refresh = maximized || iconic;
        break;
    case SC_MINIMIZE:
        Child.SavedWndProc(Message);
        if (!ProviderServes(child, window)) break;
        Child.SkinData()->BGChanged = true;
        refresh = true;
        break;
    case SC_CLOSE: {
        if (maximized && helper) RefreshMDIParent(true);
        // The parent's region stays as it is while the child goes.
        const bool loop = parent ? parent->InSizeMove : false;
        if (parent) parent->InSizeMove = true;
        Child.SavedWndProc(Message);
        if (parent && ProviderServes(parent, parentWindow)) parent->InSizeMove = loop;
        if (ProviderServes(child, window) && !Child.ComponentState().Contains(vcl::csDesigning))
            Child.SetHotButton(0, false);
        refresh = maximized && helper;
        break;
    }
    case SC_KEYMENU: Message.Result = 0; break;
    default: Child.SavedWndProc(Message); break;
    }
    leaveHot();
    if ((kind == SC_MAXIMIZE || kind == SC_RESTORE || kind == SC_MINIMIZE) && ProviderServes(child, window) &&
        Child.SystemMenu)
        Child.SystemMenu->UpdateItems(true);
    if (refresh) RefreshMDIParent(true);
}

bool MDIParentSysCommand(TsSkinProvider &Parent, const vcl::TMessage &Message) {
    const WPARAM command = Message.WParam;
    if (command != SC_MINIMIZE && command != SC_MAXIMIZE && command != SC_RESTORE) return true;
    TsSkinProvider *provider = MDIParentSkinProvider();
    if (!provider) return true;
    provider->SkinData()->BGChanged = true;
    provider->MenuLineCount = -1;
    // The frame's render runs the form's own painting, which may free the
    // provider.
    const vcl::TGuarded parent(&Parent);
    const HWND parentWindow = WindowOf(Parent.Form);
    if (const HWND window = WindowOf(provider->Form)) SendMessageW(window, WM_NCPAINT, 0, 0);
    if (!ProviderServes(parent, parentWindow)) return false;
    if (command == SC_MAXIMIZE && Parent.BorderForm) Parent.UpdateBorder(true, 255);
    return ProviderServes(parent, parentWindow);
}

} // namespace skin
