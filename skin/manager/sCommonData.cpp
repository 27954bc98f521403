// TsCommonData: life cycle, section and indexes, transparency, activity,
// colours, the paint lock, the animation and the glow. The backgrounds, the
// outer effect and the cache copies are in sCommonDataPaint.cpp.
#include "sCommonData.h"

#include <algorithm>

#include "sMessages.h"
#include "sSkinManager.h"
#include "sSkinServices.h"
#include "vlStateAnimation.h"
#include "vcl/Bitmap.h"
#include "vcl/Controls.h"
#include "vcl/Forms.h"

namespace skin {


VCL_PUBLISHED(TvlOuterEffects, p) {
    p.Property("Visibility", &TvlOuterEffects::Visibility, &TvlOuterEffects::SetVisibility).Default(ovNone);
}

VCL_CLASS_INFO(TvlAnimationTimer)

VCL_PUBLISHED(TsCommonData, p) {
    p.Property("CustomColor", &TsCommonData::CustomColor, &TsCommonData::SetCustomColor).Default(false);
    p.Property("CustomFont", &TsCommonData::CustomFont, &TsCommonData::SetCustomFont).Default(false);
    p.Property("SkinManager", &TsCommonData::SkinManager, &TsCommonData::SetSkinManager);
    p.Property("SkinSection", &TsCommonData::SkinSection, &TsCommonData::SetSkinSection);
    p.Property("OuterEffects", &TsCommonData::OuterEffects);
}

VCL_PUBLISHED(TvlScrollData, p) {
    p.Property("ScrollWidth", &TvlScrollData::ScrollWidth, &TvlScrollData::SetScrollWidth).Default(-1);
    p.Property("ButtonsSize", &TvlScrollData::ButtonsSize, &TvlScrollData::SetButtonsSize).Default(-1);
}

VCL_PUBLISHED(TsScrollWndData, p) {
    p.Property("HorzScrollData", &TsScrollWndData::HorzScrollData);
    p.Property("VertScrollData", &TsScrollWndData::VertScrollData);
}

namespace {

bool Has(const vcl::TComponent *C, vcl::TComponentStateItem Item) { return C && C->ComponentState().Contains(Item); }

std::string AsciiUpper(std::string_view S) {
    std::string upper(S);
    for (char &c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

// The control and all its parents are visible.
bool VisibleAllTheWay(const vcl::TControl *Control) {
    for (const vcl::TControl *c = Control; c; c = c->Parent())
        if (!c->Visible()) return false;
    return true;
}

vcl::TWinControl *Windowed(vcl::TControl *Control) { return dynamic_cast<vcl::TWinControl *>(Control); }

// The kinds whose section index comes from the control itself when no
// section is named.
constexpr TvlKindSet KindsAskingTheControl{{2, 10},   {12, 14},   {32, 34},   {51, 51},   {53, 54},   {57, 59},
                                           {74, 76},  {78, 78},   {81, 85},   {92, 94},   {132, 141}, {143, 143},
                                           {151, 151}, {161, 161}, {165, 165}};

// RedrawWindow flags of a repaint: invalidate, erase, all children, frame;
// and update now.
constexpr UINT RepaintFlags = RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME;

} // namespace

// ------------------------------------------------------------ small classes

TvlAnimationTimer::~TvlAnimationTimer() {
    if (OwnerData && OwnerData->AnimTimer == this) OwnerData->AnimTimer = nullptr;
}

void TvlOuterEffects::SetVisibility(TvlOuterVisibility Value) {
    FVisibility = Value;
    vcl::TControl *control = FOwner ? FOwner->OwnerControl() : nullptr;
    if (!control || Has(control, vcl::csLoading)) return;
    vcl::TWinControl *parent = control->Parent();
    if (parent && parent->HandleAllocated() && !Has(parent, vcl::csLoading) && !Has(parent, vcl::csDestroying))
        SendSkinCommand(parent->WindowHandle(), SC_REPAINT, 0);
}

void TvlScrollData::SetScrollWidth(int Value) {
    FScrollWidth = Value;
    if (HWND wnd = FOwner ? FOwner->GetWindowHandle() : nullptr)
        SetWindowPos(wnd, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOCOPYBITS | SWP_NOOWNERZORDER |
                         SWP_NOSENDCHANGING);
}

void TvlScrollData::SetButtonsSize(int Value) {
    FButtonsSize = Value;
    if (HWND wnd = FOwner ? FOwner->GetWindowHandle() : nullptr) SendMessageW(wnd, WM_NCPAINT, 1, 0);
}

TsScrollWndData::TsScrollWndData(vcl::TObject *Owner, bool CreateCache)
    : TsCommonData(Owner, CreateCache), FHorzScrollData(std::make_unique<TvlScrollData>(this)),
      FVertScrollData(std::make_unique<TvlScrollData>(this)) {}

TsScrollWndData::~TsScrollWndData() {
    FHorzScrollData.reset();
    FVertScrollData.reset();
}

// ------------------------------------------------------------ life cycle

TsCommonData::TsCommonData(vcl::TObject *Owner, bool CreateCache)
    : FOuterEffects(std::make_unique<TvlOuterEffects>(this)), FOwnerObj(Owner),
      FOwnerComponent(dynamic_cast<vcl::TComponent *>(Owner)),
      FOwnerIsComponent(dynamic_cast<vcl::TComponent *>(Owner) != nullptr),
      FOwnerControl(dynamic_cast<vcl::TControl *>(Owner)) {
    if (CreateCache) {
        FCacheBmp = std::make_unique<vcl::TBitmap>();
        FCacheBmp->SetPixelFormat(vcl::pf32bit);
    }
}

TsCommonData::~TsCommonData() {
    FSkinIndex = FPatternIndex = FHotPatternIndex = -1;
    if (FSkinManager) FSkinManager->RemoveSkinDataReference(this);
    FSkinManager = nullptr;
    FOwnerControl = {};
    FOwnerComponent = {};
    FOwnerObj = nullptr;
    if (TvlAnimationTimer *timer = std::exchange(AnimTimer, nullptr)) {
        timer->OwnerData = nullptr;
        // A timer in its own destruction is freed by whoever destroys it.
        if (!Has(timer, vcl::csDestroying)) delete timer;
    }
    FCacheBmp.reset();
    HideGlowNow();
}

TvlFormProvider *TsCommonData::OwnerProvider() const {
    // Asked when needed, not kept: a provider may make its skin data while
    // it is being constructed itself.
    return dynamic_cast<TvlFormProvider *>(OwnerObj());
}

bool TsCommonData::OwnerLoading() const { return Has(OwnerControl(), vcl::csLoading); }

bool TsCommonData::OwnerDestroying() const { return Has(dynamic_cast<vcl::TComponent *>(OwnerObj()), vcl::csDestroying); }

bool TsCommonData::ManagerHasSections() const {
    const TsSkinManager *m = GetSkinManager();
    return m && !m->Sections.empty();
}

void TsCommonData::SetCustomColor(bool Value) {
    FCustomColor = Value;
    if (!OwnerLoading() && !Updating) SyncControlColors(false);
}

void TsCommonData::SetCustomFont(bool Value) {
    FCustomFont = Value;
    if (!OwnerLoading() && !Updating) SyncControlColors(false);
}

TsSkinManager *TsCommonData::GetSkinManager() const { return FSkinManager ? FSkinManager : DefaultManager(); }
TsSkinTables *TsCommonData::ServingTables() const { return GetSkinManager(); }

void TsCommonData::ManagerDestroyed(const TsSkinManager *Manager) {
    if (!Manager || FSkinManager != Manager) return;
    FSkinManager->RemoveSkinDataReference(this);
    FSkinManager = nullptr;
}

void TsCommonData::SetSkinManager(TsSkinManager *Value) {
    // The default manager is kept as none, so that the control follows a
    // later change of the default.
    TsSkinManager *stored = Value == DefaultManager() ? nullptr : Value;
    if (stored == FSkinManager) return;
    if (FSkinManager) FSkinManager->RemoveSkinDataReference(this);
    FSkinManager = stored;
    if (FSkinManager) FSkinManager->AddSkinDataReference(this);
    if (OwnerLoading()) return;
    if (Value && !Value->Sections.empty())
        UpdateIndexes(true);
    else
        FSkinIndex = -1;
    if (OwnerProvider()) return;
    const bool valid = Value && !Value->Sections.empty() && Value->IsValidSectionIndex(FSkinIndex);
    // Both commands name the manager that now serves the control: the
    // handlers act only on their own manager's commands, so a removal that
    // named no manager would be ignored.
    if (OwnerControl() && OwnerControl()->Parent() && !OwnerDestroying())
        OwnerControl()->Perform(SM_SKINCOMMAND, SkinCommand(valid ? SC_SKIN_REFRESH : SC_SKIN_REMOVED),
                               reinterpret_cast<LPARAM>(GetSkinManager()));
}

void TsCommonData::SetSkinSection(const std::string &Value) {
    if (Value == FSkinSection) return;
    HideGlowNow();
    FSkinSection = AsciiUpper(Value);
    if (ManagerHasSections())
        UpdateIndexes(true);
    else
        FSkinIndex = -1;
    if (OwnerProvider()) {
        BGChanged = true;
        return;
    }
    if (!OwnerControl() || OwnerLoading() || OwnerDestroying() || !OwnerControl()->Parent()) return;
    if (vcl::TWinControl *windowed = Windowed(OwnerControl())) {
        if (FCacheBmp) FCacheBmp->SetWidth(0);
        // The children's procedures are the application's: they may free
        // the control, and this record with it.
        const vcl::TGuarded alive(this);
        BroadcastToChildControls(windowed, {SM_SKINCOMMAND, SkinCommand(SC_INVALIDATE_CACHE, 1), 0, 0});
        if (!alive || !OwnerControl()) return;
    }
    if (PaintLocked || Updating) return;
    AnnounceSectionChange(IsSkinned(false), 1);
}

void TsCommonData::AnnounceSectionChange(bool SectionValid, unsigned Flag) {
    OwnerControl()->Perform(SM_SKINCOMMAND,
                           SectionValid ? SkinCommand(SC_SKIN_REFRESH, Flag) : SkinCommand(SC_SKIN_REMOVED),
                           reinterpret_cast<LPARAM>(GetSkinManager()));
}

void TsCommonData::Loaded() {
    Updating = false;
    ChooseDefaultSection();
    if (!IsSkinned(false) || !OwnerControl() || !OwnerControl()->Parent() || OwnerLoading()) return;
    if (Windowed(OwnerControl())) {
        // The form's repaint runs the application's painting, which may
        // free this record with its adapter.
        const vcl::TGuarded alive(this);
        NotifyFormOfControl(OwnerControl());
        if (!alive) return;
    }
    SyncControlColors(false);
}

void TsCommonData::ChooseDefaultSection() {
    if (Has(OwnerControl(), vcl::csDesigning) && FSkinSection == "RADIOBUTTON") FSkinSection = "TRANSPARENT";
    if (!FSkinSection.empty()) {
        UpdateIndexes(true);
        return;
    }
    switch (ControlKind) {
    case 18: SetSkinSection("COMBOBOX"); return;
    case 19: SetSkinSection("BAR"); return;
    case 20: SetSkinSection("BARTITLE"); return;
    case 50:
    case 152: SetSkinSection("CHECKBOX"); return;
    case 56: SetSkinSection("DRAGBAR"); return;
    case 98: SetSkinSection("TOOLBUTTON"); return;
    case 226: SetSkinSection("GROUPBOX"); return;
    case 230: SetSkinSection("EDIT"); return;
    default: break;
    }
    if (KindsAskingTheControl.Contains(ControlKind))
        UpdateIndexes(true);
    else if (OwnerObj())
        SetSkinSection(OwnerObj()->ClassName());
}

void TsCommonData::UpdateIndexes(bool ResolveSection) {
    // No design mode exists here (no form designer runs controls), so no
    // owner is ever left out for lying in the designer's windows.
    BGChanged = true;
    TsSkinManager *m = GetSkinManager();
    if (ResolveSection) {
        FSkinIndex = -1;
        if (m && m->Active()) {
            if (!FSkinSection.empty())
                FSkinIndex = m->FindSectionIndex(FSkinSection);
            else if (OwnerControl())
                FSkinIndex = static_cast<int>(
                                 OwnerControl()->Perform(SM_SKINCOMMAND, SkinCommand(SC_QUERY_SECTION_INDEX), 0)) -
                             1;
        }
    }
    PaintFlags = 0;
    if (m && m->IsValidSectionIndex(FSkinIndex)) {
        const TsGenState &normal = m->Sections[static_cast<std::size_t>(FSkinIndex)].Props[0];
        if (normal.ImagePercent != 0) PaintFlags |= 4;
        if (normal.GradientPercent != 0 && !normal.Gradient.empty()) {
            const int mode = normal.Gradient.front().Mode;
            PaintFlags |= mode == 0 ? 2 : mode == 1 ? 1 : mode == 2 ? 3 : 0;
        }
    }
    FBGFlags = bgfUndetermined;
    if (!m || !m->IsValidSectionIndex(FSkinIndex)) {
        FBorderIndex = FPatternIndex = FHotPatternIndex = -1;
        return;
    }
    FBorderIndex = m->Sections[static_cast<std::size_t>(FSkinIndex)].BorderMask;
    FPatternIndex = m->GetPatternIndex(FSkinIndex, "PATTERN");
    FHotPatternIndex = m->GetPatternIndex(FSkinIndex, "HOTPATTERN");
    UpdateTransparency(false);
}

void TsCommonData::SetSectionFromList(const std::vector<std::string> &Names) {
    FSkinIndex = -1;
    const TsSkinManager *m = GetSkinManager();
    if (!m) return;
    for (const std::string &name : Names)
        if (const int index = m->FindSectionIndex(name); index >= 0) {
            FSkinIndex = index;
            break;
        }
    UpdateIndexes(false);
}

bool TsCommonData::IsSkinned(bool NeedActive) const {
    const TsSkinManager *m = GetSkinManager();
    return m && !Has(m, vcl::csDestroying) && m->IsValidSectionIndex(FSkinIndex) && !OwnerDestroying() &&
           (!NeedActive || m->SkinData->Active);
}

HWND TsCommonData::GetWindowHandle() const {
    if (auto *windowed = dynamic_cast<vcl::TWinControl *>(OwnerControl()); windowed && windowed->HandleAllocated())
        return windowed->WindowHandle();
    return WndHandle;
}

void TsCommonData::RepaintControl(bool UpdateNow) {
    if (Updating) return;
    const UINT flags = RepaintFlags | (UpdateNow ? RDW_UPDATENOW : 0);
    if (OwnerControl()) {
        if (OwnerDestroying() || OwnerLoading()) return;
        BGChanged = true;
        if (!VisibleAllTheWay(OwnerControl())) return;
        if (vcl::TWinControl *windowed = Windowed(OwnerControl())) {
            if (windowed->HandleAllocated()) RedrawWindow(windowed->WindowHandle(), nullptr, nullptr, flags);
        } else {
            OwnerControl()->Invalidate();
        }
    } else if (TvlFormProvider *provider = OwnerProvider()) {
        BGChanged = true;
        if (vcl::TCustomForm *form = provider->ProviderForm(); form && form->HandleAllocated())
            RedrawWindow(form->WindowHandle(), nullptr, nullptr, flags);
    } else if (WndHandle && IsWindow(WndHandle)) {
        // A bare window's record (an adapter of a window without a control)
        // repaints its window too, or a section or lock change would not show.
        BGChanged = true;
        if (IsWindowVisible(WndHandle)) RedrawWindow(WndHandle, nullptr, nullptr, flags);
    }
}

void TsCommonData::PrepareCache() {
    if (!FCacheBmp) FCacheBmp = std::make_unique<vcl::TBitmap>();
    if (FCacheBmp->PixelFormat() != vcl::pf32bit) FCacheBmp->SetPixelFormat(vcl::pf32bit);
    if (OwnerControl()) FCacheBmp->SetSize(std::max(OwnerControl()->Width(), 0), std::max(OwnerControl()->Height(), 0));
}

void TsCommonData::ShrinkCache() {
    if (FCacheBmp) FCacheBmp->SetSize(0, 0);
}

// ------------------------------------------------------------ transparency

void TsCommonData::UpdateTransparency(bool TellChildren) {
    FBGFlags &= ~std::uint16_t{1};
    if (TvlFormProvider *provider = OwnerProvider()) {
        const int f = ComputeParentBackground();
        if (f == 2) return;
        if (f & 1) {
            if (provider->FormKind() != 2) FBGFlags |= 1;
            FBGFlags &= ~std::uint16_t{2};
        } else {
            FBGFlags = 0;
        }
        return;
    }
    // Forms stand here for the scrolling controls of the class library,
    // which our forms do not descend from. The class library has no docking,
    // so no owner is a dock site.
    if (OwnerControl() && (OwnerControl()->InheritsFrom(vcl::TCustomForm::StaticClassInfo()) ||
                          InheritsFromClassName(*OwnerControl(), "TPanel") ||
                          InheritsFromClassName(*OwnerControl(), "TScrollingWinControl"))) {
        const int f = ComputeParentBackground();
        if (f == 2) return;
        FBGFlags = static_cast<std::uint16_t>((FBGFlags & ~3u) | (f & 1));
    }
    if (vcl::TWinControl *windowed = Windowed(OwnerControl()); windowed && TellChildren)
        for (int i = 0; i < windowed->ControlCount(); ++i)
            windowed->Controls(i)->Perform(SM_SKINCOMMAND, SkinCommand(SC_QUERY_BG_FLAGS), 1);
}

int TsCommonData::ComputeParentBackground() const {
    const TsSkinManager *m = GetSkinManager();
    if (!m || !m->IsValidSectionIndex(FSkinIndex)) return 1;
    TvlFormProvider *provider = OwnerProvider();
    if (m->Effects()->AllowOuterEffects() && (Windowed(OwnerControl()) || provider)) return 0;
    const TsGeneralData &section = m->Sections[static_cast<std::size_t>(FSkinIndex)];
    if (m->IsValidMaskIndex(section.BorderMask)) {
        const TsMaskData &mask = m->Masks[static_cast<std::size_t>(section.BorderMask)];
        if ((mask.DrawMode & dmDrawCenter) || mask.MaskType == 1) return 0;
    }
    const TsGenState &normal = section.Props[0];
    if (normal.Transparency != 100) {
        if (normal.Transparency != 0 || normal.ImagePercent != 0 || normal.GradientPercent != 0) return 0;
        if (provider && provider->CaptionOverClient()) return 0;
        for (int corner : {section.ImgTopLeft, section.ImgTopRight, section.ImgBottomLeft, section.ImgBottomRight})
            if (m->IsValidMaskIndex(corner)) return 0;
        return 1;
    }
    if (m->IsValidMaskIndex(normal.TextureIndex) &&
        m->Masks[static_cast<std::size_t>(normal.TextureIndex)].DrawMode == 10)
        return 0;
    vcl::TWinControl *parent = OwnerControl() ? OwnerControl()->Parent() : nullptr;
    if (!parent) return 0;
    if (!parent->HandleAllocated()) return 2;
    if (parent->Perform(SM_SKINCOMMAND, SkinCommand(SC_IS_HANDLED), 0) == 1)
        return static_cast<int>(parent->Perform(SM_SKINCOMMAND, SkinCommand(SC_QUERY_BG_FLAGS), 0));
    return 1;
}

bool TsCommonData::UsesParentBackground() const {
    if (!IsSkinned(false) || !OwnerControl() || !OwnerControl()->Enabled()) return true;
    const TsSkinManager *m = GetSkinManager();
    vcl::TWinControl *parent = OwnerControl()->Parent();
    if (m->Sections[static_cast<std::size_t>(FSkinIndex)].Props[0].Transparency < 1 || !parent ||
        !parent->HandleAllocated())
        return false;
    return (parent->Perform(SM_SKINCOMMAND, SkinCommand(SC_QUERY_PARENT_REDRAW), 0) & 0xFF) != 0;
}

bool TsCommonData::IsControlActive() const {
    vcl::TControl *c = OwnerControl();
    if (!c || Has(c, vcl::csDestroying) || !c->Enabled() || Has(c, vcl::csDesigning)) return false;
    if (Focused) return true;
    if (auto *windowed = Windowed(c); windowed && windowed->HandleAllocated() &&
                                      GetFocus() == windowed->WindowHandle() &&
                                      !InheritsFromClassName(*c, "TCustomPanel"))
        return true;
    if (!MouseInside) return false;
    if (const TsSkinManager *m = GetSkinManager(); m && m->Options()->GetFlag(ofNoMouseHover)) return false;
    if (NoMouseTrackKinds.Contains(ControlKind)) return false;
    if (!HotColorOptionKinds.Contains(ControlKind)) return true;
    return ModuleState().ExtendedHotTracking;
}

bool TsCommonData::CanUseCache() const {
    if (!(FBGFlags & 1)) return true;
    const TsSkinManager *m = GetSkinManager();
    if (m && m->Effects()->AllowOuterEffects() && (Windowed(OwnerControl()) || OwnerProvider())) return true;
    return !NoGlowKinds.Contains(ControlKind) && IsControlActive();
}

// ------------------------------------------------------------ colours

vcl::TColor TsCommonData::OwnerColor() const {
    if (OwnerControl()) return OwnerControl()->Color();
    if (TvlFormProvider *provider = OwnerProvider())
        if (vcl::TCustomForm *form = provider->ProviderForm()) return form->Color();
    return vcl::clFuchsia;
}

namespace {

// The colour behind a bare window: its parent's answer when the parent is
// skinned; a parent that does not know the question (it would answer 0,
// black) gives its own colour, or the button face when it has no control.
vcl::TColor ParentWindowColor(HWND Parent) {
    if (SendSkinQuery(Parent, SC_IS_HANDLED))
        return static_cast<vcl::TColor>(SendSkinCommand(Parent, SC_GET_BG_COLOR, vcl::clFuchsia));
    if (vcl::TWinControl *control = vcl::FindControl(Parent)) return control->Color();
    return vcl::clBtnFace;
}

} // namespace

vcl::TColor TsCommonData::GetBackColor(int State, HWND Window) const {
    // The owner's colour, whatever it is (fuchsia a colour like any other
    // here); the button face only without an owner.
    const bool owned = FOwnerControl || (OwnerProvider() && OwnerProvider()->ProviderForm());
    const vcl::TColor own = owned ? OwnerColor() : vcl::clBtnFace;
    if (!IsSkinned(false)) return own;
    const TsGeneralData &section = GetSkinManager()->Sections[static_cast<std::size_t>(FSkinIndex)];
    const TsGenState &state = section.Props[State > 0 && section.States > 1 ? 1 : 0];
    if (state.Transparency == 0) return FCustomColor ? own : state.Color;
    vcl::TColor parent = vcl::clBtnFace;
    if (OwnerControl() && OwnerControl()->Parent())
        parent = OwnerControl()->Parent()->Color();
    else if (HWND p = Window ? GetParent(Window) : nullptr)
        parent = ParentWindowColor(p);
    parent = vcl::ColorToRGB(parent);
    if (state.Transparency >= 100) return parent;
    return MixByTransparency(vcl::ColorToRGB(state.Color), parent, state.Transparency);
}

int TsCommonData::QuerySectionIndexAt(int Index) const {
    return skin::QuerySectionIndexAt(OwnerControl(), Index, GetSkinManager(), 0);
}

int QuerySectionIndexAt(vcl::TControl *Control, int Index, TsSkinTables *Manager, int State) {
    vcl::TWinControl *parent = Control ? Control->Parent() : nullptr;
    if (!parent) return Index;
    TvlSectionQuery query;
    query.Manager = Manager;
    query.SectionIndex = Index;
    query.State = State;
    query.Bounds = Control->BoundsRect();
    const LRESULT answer = AskParent(parent, SC_GET_BG_SECTION, reinterpret_cast<LPARAM>(&query));
    return answer == 1 ? query.SectionIndex : Index;
}

bool TsCommonData::SyncControlColors(bool Repaint) {
    vcl::TControl *c = OwnerControl();
    if (!c || !IsSkinned(false) || !HotColorKinds.Contains(ControlKind)) return true;
    if (auto *windowed = Windowed(c); windowed && !windowed->HandleAllocated()) return true;
    const TsGeneralData &section = GetSkinManager()->Sections[static_cast<std::size_t>(FSkinIndex)];
    if (section.Props[0].Transparency == 100 && section.Props[1].Transparency == 100) return true;
    // The manager's hue and saturation are in the section colours since the
    // skin was read: applied again here they would count twice.
    const vcl::TColor color = section.Props[0].Color, font = section.Props[0].FontColor;
    // The control's answers are the application's: they may free the
    // control, or this record with its adapter.
    const vcl::TGuarded alive(this);
    const vcl::TGuarded control(c);
    if (!FCustomColor && c->Color() != color) c->SetColor(color);
    if (!alive) return false;
    if (control && !FCustomFont && (ControlKind != 10 || ModuleState().ExtendedHotTracking) && c->Font()->Color() != font)
        c->Font()->SetColor(font);
    if (!alive) return false;
    if (Repaint && control) RepaintControl(false);
    return static_cast<bool>(alive);
}

// ------------------------------------------------------------ paint lock

namespace {

void TellOwnerOfUpdate(const TsCommonData &Data, unsigned SubCommand) {
    if (vcl::TControl *control = Data.OwnerControl()) {
        control->Perform(SM_SKINCOMMAND, SkinCommand(SubCommand), 0);
    } else if (TvlFormProvider *provider = Data.OwnerProvider()) {
        if (vcl::TCustomForm *form = provider->ProviderForm(); form && form->HandleAllocated())
            SendSkinCommand(form->WindowHandle(), SubCommand, 0);
    }
}

} // namespace

void TsCommonData::LockPaint() {
    ++PaintLockCount;
    PaintLocked = true;
    FBGFlags |= bgfPaintLockTaken;
    TellOwnerOfUpdate(*this, SC_UPDATE_BEGUN);
}

void TsCommonData::UnlockPaint(bool Repaint) {
    --PaintLockCount;
    PaintLocked = false;
    FBGFlags &= ~bgfPaintLockTaken;
    if (PaintLockCount >= 1) return;
    TellOwnerOfUpdate(*this, SC_UPDATE_ENDED);
    if (Repaint) RepaintControl(true);
}

bool TsCommonData::IsPaintLocked() const {
    const TsSkinManager *m = GetSkinManager();
    if (!m || Has(m, vcl::csDestroying)) return false;
    if (PaintLocked) return true;
    vcl::TControl *parent = nullptr;
    if (OwnerControl()) {
        if (OwnerDestroying()) return false;
        parent = OwnerControl()->Parent();
    } else if (TvlFormProvider *provider = OwnerProvider()) {
        if (vcl::TCustomForm *form = provider->ProviderForm()) parent = form->Parent();
    }
    return parent && (parent->Perform(SM_SKINCOMMAND, SkinCommand(SC_IS_UPDATING), 0) & 0xFF) != 0;
}

bool TsCommonData::UpdatePaintLock(bool ClearFirst) {
    if (ClearFirst) PaintLocked = false;
    if (!IsPaintLocked()) return false;
    PaintLocked = true;
    return true;
}

// ------------------------------------------------------------ animation, glow

void TsCommonData::StopAnimation() {
    if (AnimTimer && !Has(AnimTimer, vcl::csDestroying)) AnimTimer->StopAnimation();
}

bool TsCommonData::IsAnimating() const { return AnimTimer && AnimTimer->Running(); }

void TsCommonData::HideGlowNow() {
    if (GlowID >= 0) GlowService().HideGlow(GlowID, false);
}

namespace {

// The section whose glow the record shows (Section -1: its own), when the
// manager lets controls glow and hover, and the section has a glow.
const TsGeneralData *GlowSectionOf(const TsCommonData &Data, int Section) {
    const TsSkinManager *m = Data.GetSkinManager();
    const int index = Section >= 0 ? Section : Data.SkinIndex();
    if (!m || !m->Effects()->AllowGlowing || !m->IsValidSectionIndex(index) || m->Options()->GetFlag(ofNoMouseHover))
        return nullptr;
    const TsGeneralData &section = m->Sections[static_cast<std::size_t>(index)];
    return section.Glow > 0 ? &section : nullptr;
}

// Shows Section's glow over the control's screen rectangle, within its
// parent's client area, once.
void ShowGlowOver(TsCommonData &Data, const TsGeneralData &Section, HWND Window, std::uint8_t Alpha) {
    if (Data.GlowID >= 0) return;
    RECT r{};
    HWND parentWnd = nullptr;
    if (vcl::TControl *control = Data.OwnerControl()) {
        const vcl::TPoint origin = control->Parent()
                                       ? control->Parent()->ClientToScreen({control->Left(), control->Top()})
                                       : vcl::TPoint{control->Left(), control->Top()};
        r = {origin.X, origin.Y, origin.X + control->Width(), origin.Y + control->Height()};
        if (vcl::TWinControl *parent = control->Parent(); parent && parent->HandleAllocated())
            parentWnd = parent->WindowHandle();
    } else if (HWND w = Window ? Window : Data.GetWindowHandle()) {
        GetWindowRect(w, &r);
        parentWnd = GetParent(w);
    } else {
        return;
    }
    if (parentWnd) {
        RECT client{};
        GetClientRect(parentWnd, &client);
        MapWindowPoints(parentWnd, nullptr, reinterpret_cast<POINT *>(&client), 2);
        IntersectRect(&r, &r, &client);
    }
    Data.GlowID = GlowService().ShowGlow({r.left, r.top, r.right, r.bottom}, Section.ClassName, "GLOW", Data,
                                         parentWnd, Alpha, Section.GlowMargin);
}

} // namespace

void TsCommonData::UpdateGlow(bool Fade, HWND Window, int Section, bool Show, bool Animated) {
    const TsGeneralData *section = GlowSectionOf(*this, Section);
    if (!section) return;
    const bool animate = Animated && GetSkinManager()->Effects()->AllowAnimation;
    if (!(Show && MouseInside)) {
        if (GlowID >= 0) GlowService().HideGlow(GlowID, Fade && animate);
        return;
    }
    const auto whole = static_cast<std::uint8_t>(std::clamp(section->Glow, 0, 255));
    if (!animate || GlowID >= 0) {
        ShowGlowOver(*this, *section, Window, whole);
        return;
    }
    // The glow comes in from nothing on the control's timer.
    ShowGlowOver(*this, *section, Window, 0);
    if (GlowID < 0) return;
    AnimateStateChange(*this, fmFadeUp, GlowFadeStep, true, false, false);
    // A change shown at once (no cache yet, a skin loading) fades nothing
    // in: the glow is shown whole rather than left invisible.
    if (GlowID >= 0 && !IsAnimating()) GlowService().SetGlowAlpha(GlowID, whole);
}

void TsCommonData::ShowGlowAt(std::uint8_t Alpha, HWND Window) {
    if (const TsGeneralData *section = GlowSectionOf(*this, -1)) ShowGlowOver(*this, *section, Window, Alpha);
}

} // namespace skin
