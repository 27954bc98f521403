#include "sSkinProvider.h"

#include "vlBlendOnMoving.h"
#include "vlMinimizeAnimation.h"

#include <shellapi.h>

#include <algorithm>

#include "sFormBorder.h"
#include "sFrameMetrics.h"
#include "vlBorderGeometry.h"
#include "sSystemMenu.h"
#include "skin/graphics/sMaskData.h"
#include "skin/graphics/vlCommonUtils.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/Bitmap.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"
#include "vcl/StringList.h"
#include "vcl/WideText.h"
#include "vlCtrlAdapter.h"
#include "vlDwmServices.h"
#include "sMDIForm.h"
#include "vlTitleBar.h"

namespace skin {

VCL_PUBLISHED(TsSkinProvider, p) {
    p.Property("AllowAnimation", &TsSkinProvider::AllowAnimation, &TsSkinProvider::SetAllowAnimation).Default(true);
    p.Property("AllowExtBorders", &TsSkinProvider::AllowExtBorders, &TsSkinProvider::SetAllowExtBorders).Default(true);
    p.Property("AllowBlendOnMoving", &TsSkinProvider::AllowBlendOnMoving, &TsSkinProvider::SetAllowBlendOnMoving)
        .Default(true);
    p.Property("AllowSkin3rdParty", &TsSkinProvider::AllowSkin3rdParty, &TsSkinProvider::SetAllowSkin3rdParty)
        .Default(true);
    p.Property("DrawNonClientArea", &TsSkinProvider::DrawNonClientArea, &TsSkinProvider::SetDrawNonClientArea)
        .Default(true);
    p.Property("DrawClientArea", &TsSkinProvider::DrawClientArea, &TsSkinProvider::SetDrawClientArea).Default(true);
    p.Property("MakeSkinMenu", &TsSkinProvider::MakeSkinMenu, &TsSkinProvider::SetMakeSkinMenu).Default(false);
    p.Property("ScreenSnap", &TsSkinProvider::ScreenSnap, &TsSkinProvider::SetScreenSnap).Default(false);
    p.Property("ShowAppIcon", &TsSkinProvider::ShowAppIcon, &TsSkinProvider::SetShowAppIcon).Default(true);
    p.Property("UseGlobalColor", &TsSkinProvider::UseGlobalColor, &TsSkinProvider::SetUseGlobalColor).Default(true);
    p.Property("AddedTitle", &TsSkinProvider::AddedTitle);
    p.Property("CaptionAlignment", &TsSkinProvider::CaptionAlignment, &TsSkinProvider::SetCaptionAlignment)
        .Default(vcl::taLeftJustify);
    p.Property("DisabledBlendValue", &TsSkinProvider::DisabledBlendValue, &TsSkinProvider::SetDisabledBlendValue)
        .Default(255);
    p.Property("FormHeader", &TsSkinProvider::FormHeader);
    p.Property("GluedForms", &TsSkinProvider::GluedForms,
               [](TsSkinProvider &s, vcl::TStringList *v) { s.SetGluedForms(v); });
    p.Property("SkinData", &TsSkinProvider::SkinData);
    p.Property("GripMode", &TsSkinProvider::GripMode, &TsSkinProvider::SetGripMode).Default(gmNone);
    p.Property("ResizeMode", &TsSkinProvider::ResizeMode, &TsSkinProvider::SetResizeMode).Default(rmStandard);
    p.Property("SnapBuffer", &TsSkinProvider::SnapBuffer, &TsSkinProvider::SetSnapBuffer).Default(10);
    p.Property("SysSubMenu", &TsSkinProvider::SysSubMenu);
    p.Property("TitleButtons", &TsSkinProvider::TitleButtons,
               [](TsSkinProvider &s, TsTitleButtons *v) { s.SetTitleButtons(v); });
    p.Property("TitleIcon", &TsSkinProvider::TitleIcon);
    p.Property("TitleSkin", &TsSkinProvider::TitleSkin, &TsSkinProvider::SetTitleSkin);
    p.Property("ThirdParty", &TsSkinProvider::ThirdParty);
    p.Property("MenuLineSkin", &TsSkinProvider::MenuLineSkin, &TsSkinProvider::SetMenuLineSkin);
    p.Property("TitleBar", &TsSkinProvider::TitleBar, &TsSkinProvider::SetTitleBar);
    p.Property("OnAfterAnimation", &TsSkinProvider::OnAfterAnimation);
    p.Property("OnExtHitTest", &TsSkinProvider::OnExtHitTest);
    p.Property("OnSkinItem", &TsSkinProvider::OnSkinItem);
    p.Property("OnSkinItemEx", &TsSkinProvider::OnSkinItemEx);
}

namespace {

// Checked before the component joins its owner, so that a refused
// provider leaves nothing behind.
vcl::TComponent *FormOwner(vcl::TComponent *AOwner) {
    if (!dynamic_cast<vcl::TCustomForm *>(AOwner)) throw vcl::EAbort(ProviderOwnerError);
    return AOwner;
}

std::string FirstArgument() {
    int argc = 0;
    LPWSTR *argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv) return {};
    std::string first = argc > 1 ? vcl::WideToUtf8(argv[1]) : std::string();
    LocalFree(argv);
    return first;
}

bool Has(const vcl::TComponent *C, vcl::TComponentStateItem Item) { return C && C->ComponentState().Contains(Item); }

LONG_PTR StyleOf(const vcl::TCustomForm &Form) {
    return Form.HandleAllocated() ? GetWindowLongPtrW(Form.WindowHandle(), GWL_STYLE) : 0;
}

bool Iconic(const vcl::TCustomForm &Form) { return Form.HandleAllocated() && IsIconic(Form.WindowHandle()); }

// A minimized form that is not the application's main form: its image is
// its small caption only.
bool SmallIconic(const vcl::TCustomForm &Form) {
    return Iconic(Form) && vcl::Application && vcl::Application->MainForm() != &Form;
}

const TsMaskData *MaskAt(const TsSkinManager *Manager, int Index) {
    return Manager && Manager->IsValidMaskIndex(Index) ? &Manager->Masks[static_cast<std::size_t>(Index)] : nullptr;
}

} // namespace

// ------------------------------------------------------------ life cycle

TsSkinProvider::TsSkinProvider(vcl::TComponent *AOwner) : vcl::TComponent(FormOwner(AOwner)) { Construct(); }

TsSkinProvider::TsSkinProvider(vcl::TComponent *AOwner, TDialogMade) : TsSkinProvider(AOwner) {
    DialogMade = true;
    MadeForDialog = true;
    // The form's title bar was there before the hook made this provider.
    for (int i = Form->ComponentCount() - 1; i >= 0 && !Duplicate; --i)
        if (auto *bar = dynamic_cast<TsTitleBar *>(Form->Components(i))) {
            SetTitleBar(bar);
            break;
        }
}

void TsSkinProvider::Construct() {
    FormsState().PreviewFlag = FirstArgument() == PreviewSwitch;
    Form = static_cast<vcl::TCustomForm *>(Owner());
    // The form itself says who serves it. A provider that the dialog hook
    // made gives way (its destruction gives the form its procedure back);
    // any other keeps the form, and this one stays inert.
    const LRESULT answer = Form->Perform(SM_SKINCOMMAND, SkinCommand(SC_QUERY_FORM_PROVIDER), 0);
    if (auto *other = reinterpret_cast<TvlFormProvider *>(answer)) {
        auto *provider = dynamic_cast<TsSkinProvider *>(other);
        if (provider && provider->MadeForDialog)
            delete provider;
        else
            Duplicate = true;
    }

    FThirdParty = std::make_unique<ThirdPartyList>();
    for (auto &list : ThirdPartyLists) {
        list = std::make_unique<vcl::TStringList>();
        list->SetCaseSensitive(true);
    }
    CompositionOn = DwmCompositionActive();
    ButtonMin.HitCode = HTMINBUTTON;
    ButtonMax.HitCode = HTMAXBUTTON;
    ButtonHelp.HitCode = HTHELP;
    ButtonClose.HitCode = HTCLOSE;
    MDIMin.HitCode = htMDIMinimize;
    MDINorm.HitCode = htMDIRestore;
    MDIClose.HitCode = htMDIClose;

    FSkinData = std::make_unique<TsScrollWndData>(this, false);
    FSkinData->ControlKind = ckFormProvider;
    FSkinData->SetSkinSection("FORM");
    // Until its description is read the form is not to be painted from it.
    FSkinData->Updating = Has(Form, vcl::csLoading) && Form->BorderStyle() != vcl::bsNone;

    FAddedTitle = std::make_unique<TvlAddedTitle>(this);
    FFormHeader = std::make_unique<TvlFormHeader>(this);
    FTitleIcon = std::make_unique<TsTitleIcon>(this);
    FTitleButtons = std::make_unique<TsTitleButtons>(this);
    FSysSubMenu = std::make_unique<TvlSysSubMenu>(this);
    FGluedForms = std::make_unique<vcl::TStringList>();

    if (Duplicate) return;
    ButtonsBackup = std::make_unique<vcl::TBitmap>();
    SnapshotBitmap = std::make_unique<vcl::TBitmap>();
    SnapshotBitmap->SetPixelFormat(vcl::pf32bit);
    MDIHelperPending = true;
    FrameMasks.clear();
    MenuLineCount = -1;
    SavedWndProc = Form->WindowProc;
    FRelay = std::make_unique<TvlFormProcRelay>(TvlFormProcRelay{this, {}});
    Form->WindowProc = HookedProc();
    AddSkinnedForm(Form);
    Hooked = true;
}

void TsSkinProvider::AfterConstruction() {
    inherited::AfterConstruction();
    if (Form) ReadThirdPartyLists();
    if (Duplicate || DialogMade) return;
    // A form read from its description has no window yet: Loaded does the work.
    if (TsSkinManager *m = FSkinData->GetSkinManager(); m && m->Active()) PrepareForm();
}

void TsSkinProvider::Loaded() {
    inherited::Loaded();
    ReadThirdPartyLists();
    if (Duplicate || DialogMade) return;
    if (FSkinData->GetSkinManager() && FSkinData->IsSkinned(true)) InitSkin();
}

TsSkinProvider::~TsSkinProvider() {
    // A press of one of its buttons (freed by the press's own handler) would
    // hold every form's caption buttons and items cold: the press goes too.
    if (PressedCode != 0) ReleasePressedButton();
    SetTitleBarCallbacks(false);
    FreeButtonAnimations();
    // A caption button's glow keeps this provider's skin data: it goes first.
    for (TsCaptionButton *b : {&ButtonMin, &ButtonMax, &ButtonHelp, &ButtonClose, &MDIMin, &MDINorm, &MDIClose})
        if (b->GlowID >= 0) GlowService().HideGlow(b->GlowID, false);
    // A form that lives on gets no region of the skin's while its border
    // form goes (a form going with its provider needs none either).
    FreeMinimizeTimer();
    // A translucent drag cut short: the form is not left see-through, or
    // unseen behind a border window that goes now.
    if (StateFlags & pfBlendOnMoving) GiveFormItsAlpha();
    MoveTimer.reset();
    BorderForm.reset();
    FAddedTitle.reset();
    const bool formStays = Form && Hooked && !Form->ComponentState().Contains(vcl::csDestroying);
    if (Form && Hooked) ReleaseForm();
    if (formStays) GiveFrameBack();
    MDIChildProviderGoing(*this);
    if (MDIIconsShown) FormsState().MDIIcons.reset();  // it paints from this provider
    MDIHelper.reset();
    if (ModuleState().MDIParentProvider == this) ModuleState().MDIParentProvider = nullptr;
    delete std::exchange(SystemMenu, nullptr);
    ButtonsBackup.reset();
    SnapshotBitmap.reset();
    for (auto &glow : CaptionGlows) glow.reset();
    RemoveDisabledVeil();
    FreeCaptionCover();
    HideCover.reset();
    FTitleIcon.reset();
    FTitleButtons.reset();
    FSysSubMenu.reset();
    ControlAdapter.reset();
    FormScrollAdapter.reset();
    FSkinData.reset();
    WriteThirdPartyLists();
    for (auto &list : ThirdPartyLists) list.reset();
    FThirdParty.reset();
    FFormHeader.reset();
    FGluedForms.reset();
}

void TsSkinProvider::ReleaseForm() {
    // What chained itself into the form's procedure behind ours goes first;
    // the form's procedure is put back only while it is still ours, so
    // that a procedure put in front of ours later is not cut out: that one
    // calls our relay, which passes its messages on from now on.
    FormScrollAdapter.reset();
    RemoveSkinnedForm(Form);
    if (Form->WindowProc == HookedProc()) {
        Form->WindowProc = SavedWndProc;
        FRelay.reset();
    } else if (FRelay) {
        FRelay->Provider = nullptr;
        FRelay->Saved = SavedWndProc;
        FormsState().OrphanedRelays.push_back(std::move(FRelay));
    }
    RemoveGluedForm(Form);
}

void TsSkinProvider::GiveFrameBack() {
    if (!Form->HandleAllocated()) return;
    const HWND window = Form->WindowHandle();
    // The system draws the frame again as the form asks: its own caption
    // buttons (WS_SYSMENU, which the skin took away) and its own shape.
    SetNcRenderingPolicy(window, ncrpUseWindowStyle);
    SetSysMenuStyle(false);
    SetWindowRgn(window, nullptr, FALSE);
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    if (IsWindowVisible(window))
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

vcl::TWndMethod TsSkinProvider::HookedProc() const {
    return FRelay ? vcl::TWndMethod::Bind<&TvlFormProcRelay::Call>(FRelay.get()) : vcl::TWndMethod{};
}

void TvlFormProcRelay::Call(vcl::TMessage &Message) {
    if (Provider)
        Provider->FormWndProc(Message);
    else if (Saved)
        Saved(Message);
}

void TsSkinProvider::Notification(vcl::TComponent *AComponent, vcl::TOperation Operation) {
    inherited::Notification(AComponent, Operation);
    if (!AComponent || AComponent == this) return;
    if (auto *manager = dynamic_cast<TsSkinManager *>(AComponent); manager && FSkinData) {
        if (Operation == vcl::opInsert && !FSkinData->SkinManager())
            FSkinData->SetSkinManager(manager);
        else if (Operation == vcl::opRemove && FSkinData->SkinManager() == manager)
            FSkinData->SetSkinManager(nullptr);
        return;
    }
    if (Operation == vcl::opRemove) {
        if (FSysSubMenu) FSysSubMenu->ComponentRemoved(AComponent);
        // A label freed while skinned leaves no record behind, which a new
        // label at the same address would otherwise take for its own.
        std::erase_if(LabelRecords, [AComponent](const TvlLabelRecord &r) { return r.Label == AComponent; });
        if (AComponent == FTitleBar) {
            if (ItemHintTimerObject) ItemHintTimerObject->SetEnabled(false);
            if (IsTitleItemCode(CurrentButton)) CurrentButton = 0;
            FTitleBar = nullptr;
        }
        return;
    }
    if (auto *bar = dynamic_cast<TsTitleBar *>(AComponent)) {
        // A bar put on the form later serves it unless one already does.
        if (!FTitleBar && !Duplicate) SetTitleBar(bar);
        return;
    }
    if (auto *windowed = dynamic_cast<vcl::TWinControl *>(AComponent);
        windowed && ControlAdapter && ControlAdapter->AcceptControl(windowed))
        ControlAdapter->AddNewItem(windowed, {});
}

void TsSkinProvider::ReadThirdPartyLists() {
    OwnThirdPartyLists = false;
    for (std::size_t kind = 0; kind < ThirdPartyKindCount; ++kind) {
        const std::string &text = FThirdParty->GetThirdList(static_cast<int>(kind));
        ThirdPartyLists[kind]->SetText(text);
        if (!text.empty()) OwnThirdPartyLists = true;
    }
}

void TsSkinProvider::WriteThirdPartyLists() {
    if (!FThirdParty) return;
    for (std::size_t kind = 0; kind < ThirdPartyKindCount; ++kind)
        if (ThirdPartyLists[kind]) FThirdParty->SetThirdList(static_cast<int>(kind), ThirdPartyLists[kind]->Text());
}



TsCommonData *TsSkinProvider::ProviderSkinData() const { return FSkinData.get(); }

bool TsSkinProvider::Skinned() const { return FSkinData && FSkinData->IsSkinned(false); }

bool TsSkinProvider::ProviderLoading() const { return ComponentState().Contains(vcl::csLoading); }

void TsSkinProvider::InvalidateFrame() {
    FSkinData->BGChanged = true;
    FrameChanged = true;
    MenuLineCount = -1;
    if (Form && Form->HandleAllocated()) SendMessageW(Form->WindowHandle(), WM_NCPAINT, 0, 0);
}

// --------------------------------------------------------------- setters

void TsSkinProvider::SetAllowExtBorders(bool Value) {
    if (FAllowExtBorders == Value) return;
    FAllowExtBorders = Value;
    if (ProviderLoading() || !Form) return;
    if (!UpdateExtBorders(Value)) return;
    FSkinData->BGChanged = true;
    if (Form->HandleAllocated()) RedrawWindow(Form->WindowHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

void TsSkinProvider::SetShowAppIcon(bool Value) {
    if (FShowAppIcon == Value) return;
    FShowAppIcon = Value;
    FSkinData->BGChanged = true;
    if (Form && Form->Visible() && Form->HandleAllocated()) SendMessageW(Form->WindowHandle(), WM_NCPAINT, 0, 0);
}

void TsSkinProvider::SetUseGlobalColor(bool Value) {
    if (FUseGlobalColor == Value) return;
    FUseGlobalColor = Value;
    if (Value && Form && Skinned() && !FSkinData->CustomColor())
        Form->SetColor(FSkinData->GetSkinManager()->GetMainColor());
}

void TsSkinProvider::SetCaptionAlignment(vcl::TAlignment Value) {
    if (FCaptionAlignment == Value) return;
    FCaptionAlignment = Value;
    FSkinData->BGChanged = true;
    if (Form && Form->Visible() && Skinned()) RepaintFrameNow();
}

void TsSkinProvider::SetDisabledBlendValue(std::uint8_t Value) {
    if (FDisabledBlendValue == Value) return;
    FDisabledBlendValue = Value;
    // An unskinned form has no veil: the skin's return lays it.
    if (Has(this, vcl::csDesigning) || !Form || !Skinned()) return;
    // A form disabled while its veil was to be clear has none yet: from
    // now on its veil follows its moves, hides and restores as any other.
    if (Form->Enabled())
        StateFlags &= ~pfDisabled;
    else
        StateFlags |= pfDisabled;
    UpdateDisabledVeil();
}

void TsSkinProvider::SetGluedForms(const vcl::TStringList *Value) { FGluedForms->Assign(Value); }

void TsSkinProvider::SetTitleButtons(const TsTitleButtons *Value) { FTitleButtons->Assign(Value); }

void TsSkinProvider::SetTitleSkin(const std::string &Value) {
    if (FTitleSkin == Value) return;
    FTitleSkin = Value;
    // Looked up again at once: left at -1, the caption would have no band
    // (and no added title) until the next skin command.
    if (Skinned())
        UpdateHeaderIndexes();
    else
        TitleSkinIndex = -1;
    FSkinData->BGChanged = true;
    if (!Form || !Form->Visible() || !Form->HandleAllocated()) return;
    if (BorderForm)
        UpdateBorder(true, 255);
    else
        SendMessageW(Form->WindowHandle(), WM_NCPAINT, 0, 0);
}

void TsSkinProvider::SetMenuLineSkin(const std::string &Value) { FMenuLineSkin = Value; }

// --------------------------------------------------------------- queries

int TsSkinProvider::GetCaptionHeight(bool Real) const {
    if (!Form) return 0;
    const bool iconic = Iconic(*Form);
    const LONG_PTR style = StyleOf(*Form);
    const bool caption = Form->HandleAllocated() ? (style & WS_CAPTION) == WS_CAPTION : Form->BorderStyle() != vcl::bsNone;
    if (!caption && !iconic) return 0;
    // Seen from a border form the skin's own title height counts (Real);
    // without one the caption is the system's.
    const int native = GetSysCaptionHeight(*Form);
    if (!Real || !BorderForm) return native;
    return SkinCaptionHeight(GetSkinTitleHeight(BorderObject()), native);
}

int TsSkinProvider::CaptionReservedWidth(int MaskIndex) const {
    const TsMaskData *mask = MaskAt(FSkinData->GetSkinManager(), MaskIndex);
    return 2 * (mask ? GetMaskFrameWidth(*mask) : 0) + ButtonsWidth();
}

int TsSkinProvider::ButtonsWidth() const {
    if (!Form) return 0;
    const TsSkinManager *m = FSkinData->GetSkinManager();
    const int spacing = NormalCaption() && m ? m->SkinData->BISpace : 0;
    int width = 0;
    if (HasSystemMenu()) {
        width += BorderIconWidth(ButtonClose) + spacing;
        if (SystemMenu && SystemMenu->VisibleMax()) width += BorderIconWidth(ButtonMax) + spacing;
        if (SystemMenu && SystemMenu->VisibleMin()) width += BorderIconWidth(ButtonMin) + spacing;
        if (Form->BorderIcons().Contains(vcl::biHelp)) width += BorderIconWidth(ButtonHelp) + spacing;
    }
    if (FTitleButtons->Count() > 0) {
        width += 6;
        for (int i = 0; i < FTitleButtons->Count(); ++i) width += TitleButtonWidth(*FTitleButtons->Items(i)) + spacing;
    }
    return width;
}

int TsSkinProvider::TitleButtonWidth(const TsTitleButton &Button) const {
    const vcl::TBitmap *glyph = Button.Glyph();
    const int glyphWidth = glyph && glyph->Width() > 0 ? glyph->Width() + 2 : 0;
    const TsMaskData *mask = MaskAt(FSkinData->GetSkinManager(), TitleButtonMaskIndex);
    if (mask) return std::max(glyphWidth, GetMaskFrameWidth(*mask));
    return glyphWidth < 22 ? 21 : glyphWidth;
}

int TsSkinProvider::BorderIconCount() const {
    if (!HasSystemMenu()) return 0;
    int count = 1;
    if (SystemMenu && SystemMenu->VisibleMax()) ++count;
    if (SystemMenu && SystemMenu->VisibleMin()) ++count;
    if (Form->BorderIcons().Contains(vcl::biHelp)) ++count;
    return count;
}

int TsSkinProvider::BorderIconWidth(const TsCaptionButton &Icon) const {
    return CaptionButtonSize(MaskAt(FSkinData->GetSkinManager(), Icon.ImageIndex)).cx;
}

int TsSkinProvider::FrameLeft(bool Real) const {
    if (!Form || !Form->HandleAllocated()) return 0;
    return GetBorderWidth(Form->WindowHandle(), BorderObject(), Real) + Form->BorderWidth();
}

int TsSkinProvider::FrameTop(bool Real) const { return FrameLeft(Real); }

bool TsSkinProvider::HasSystemMenu() const { return Form && Form->BorderIcons().Contains(vcl::biSystemMenu); }

int TsSkinProvider::GetMenuLineHeight() const { return HasMenuLine() ? GetSystemMetrics(SM_CYMENU) - 1 : 0; }

int TsSkinProvider::CacheWidth() const {
    if (!Form) return 0;
    const vcl::TRect margins = GetShadowMargins();
    const int sides = margins.Left + margins.Right;
    if (SmallIconic(*Form)) return 160 + sides;
    if (BorderForm) return FrameImageSize(FrameSizes(), Form->Width(), Form->Height()).cx;
    return Form->Width() + sides;
}

bool TsSkinProvider::CacheStale() const {
    const vcl::TBitmap *cache = FSkinData->CacheBmp();
    return !cache || !Form || cache->Width() != CacheWidth() || cache->Height() != CacheHeight();
}

int TsSkinProvider::CacheHeight() const {
    if (!Form) return 0;
    // A minimized form that is not the main form shows its small caption
    // only: the frame's border, the skin's caption and 2 pixels, with a
    // border form its excesses and shadow margins around them.
    if (SmallIconic(*Form)) {
        const int small = GetBorderWidth(Form->WindowHandle()) + GetCaptionHeight(true) + 2;
        return BorderForm ? FrameImageSize(FrameSizes(), 0, small).cy : small;
    }
    if (BorderForm) return FrameImageSize(FrameSizes(), Form->Width(), Form->Height()).cy;
    const vcl::TRect margins = GetShadowMargins();
    return Form->Height() + margins.Top + margins.Bottom;
}

vcl::TRect TsSkinProvider::GetShadowMargins() const {
    const TsSkinManager *m = BorderForm ? FSkinData->GetSkinManager() : nullptr;
    return m ? m->ExtBorderMargins : vcl::TRect{};
}

int TsSkinProvider::MenuMaskHeight() const {
    const TsMaskData *mask = MaskAt(FSkinData->GetSkinManager(), TitleButtonMaskIndex);
    if (!mask) return 16;
    return (mask->Bmp ? mask->Bmp->Height() : mask->R.Height()) / 3;
}

int TsSkinProvider::MenuMaskWidth() const {
    const TsMaskData *mask = MaskAt(FSkinData->GetSkinManager(), TitleButtonMaskIndex);
    if (!mask) return 16;
    return (mask->Bmp ? mask->Bmp->Width() : mask->R.Width()) / 2;
}

int TsSkinProvider::ClientHeightSkinned() const {
    if (!Form) return 0;
    const int caption = GetCaptionHeight(true);
    int height = std::max(0, Form->Height() - caption - 2 * FrameTop(true));
    if (Iconic(*Form)) height += caption;
    if (FormScrollAdapter) {
        const TvlScrollBarState bar = FormScrollAdapter->HorzScrollBar();
        if (bar.Visible) height -= bar.Width;
    }
    return height;
}

bool TsSkinProvider::NormalCaption() const {
    return Form && (Form->BorderStyle() == vcl::bsSingle || Form->BorderStyle() == vcl::bsSizeable);
}

bool TsSkinProvider::ShowsIcon() const { return FTitleIcon->Visible() && NormalCaption() && FShowAppIcon && HasSystemMenu(); }

// ------------------------------------------------------------ the module

namespace {

TvlFormsState &StateInstance() {
    static TvlFormsState state;
    return state;
}

int FormsStartupCount = 0;

} // namespace

TvlFormsState &FormsState() { return StateInstance(); }

void InitializeFormsModule() {
    if (FormsStartupCount++ > 0) return;
    StateInstance() = TvlFormsState{};
    ReadSystemFrameMetrics();
    vcl::RegisterClasses({&TsSkinProvider::StaticClassInfo()});
    RegisterTitleBarClasses();
}

void FinalizeFormsModule() {
    if (FormsStartupCount == 0 || --FormsStartupCount > 0) return;
    vcl::UnRegisterClass(TsSkinProvider::StaticClassInfo());
    vcl::UnRegisterClass(TsTitleBar::StaticClassInfo());
    StateInstance() = TvlFormsState{};
}

} // namespace skin
