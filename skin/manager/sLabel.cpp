#include "sLabel.h"

#include <utility>

#include "sCommonData.h"
#include "sMessages.h"
#include "sSkinCommands.h"
#include "sSkinManager.h"
#include "skin/graphics/vlImageHelpers.h"
#include "skin/graphics/vlParentBackground.h"
#include "skin/graphics/vlSkinSections.h"
#include "skin/graphics/vlSkinText.h"
#include "vcl/Canvas.h"

namespace skin {

VCL_PUBLISHED(TsCustomLabel, p) {
    p.Property("SkinSection", &TsCustomLabel::SkinSection, &TsCustomLabel::SetSkinSection);
    p.Property("SkinManager", &TsCustomLabel::SkinManager, &TsCustomLabel::SetSkinManager);
    p.Property("Transparent", &TsCustomLabel::Transparent, &TsCustomLabel::SetTransparent).Default(true);
}

VCL_PUBLISHED(TsLabel, p) {
    p.Property("UseSkinColor", &TsLabel::UseSkinColor, &TsLabel::SetUseSkinColor).Default(true);
}

VCL_CLASS_INFO(TsEditLabel)

namespace {

// A paint that sets Font.Color must not start a font-change re-layout, and
// a paint inside a paint does not ask the skin again.
bool PaintGuard = false;
// A font change is being handled (its re-layout may change the font again).
bool FontChangeRunning = false;
int LabelModuleUseCount = 0;

// Gives a variable a value for the length of a scope, then the one it had.
template <class T> class TValueScope {
public:
    TValueScope(T &Variable, T During) : FVariable(Variable), FBefore(std::exchange(Variable, During)) {}
    ~TValueScope() { FVariable = FBefore; }
    TValueScope(const TValueScope &) = delete;
    TValueScope &operator=(const TValueScope &) = delete;

private:
    T &FVariable;
    T FBefore;
};

// The manager when it has a skin applied (what the text colours need).
TsSkinManager *AppliedSkin(TsSkinManager *Manager) {
    return Manager && Manager->SkinData && Manager->SkinData->Active ? Manager : nullptr;
}

// The manager when it is switched on (what the section paint and the
// section question need).
TsSkinManager *SwitchedOn(TsSkinManager *Manager) { return Manager && Manager->Active() ? Manager : nullptr; }

} // namespace

// ------------------------------------------------------------ TsCustomLabel

TsCustomLabel::TsCustomLabel(vcl::TComponent *AOwner) : vcl::TCustomLabel(AOwner) { SetTransparent(true); }

TsCustomLabel::~TsCustomLabel() = default;

void TsCustomLabel::SetSkinSection(const std::string &Value) {
    if (FSkinSection == Value) return;
    FSkinSection = Value;
    Repaint();
}

void TsCustomLabel::SetSkinManager(TsSkinManager *Value) {
    if (FSkinManager == Value) return;
    if (FSkinManager) RemoveFreeNotification(FSkinManager);
    FSkinManager = Value;
    if (FSkinManager) FreeNotification(FSkinManager);
    Repaint();
}

TsSkinManager *TsCustomLabel::GetSkinManager() const { return FSkinManager ? FSkinManager : DefaultManager(); }

void TsCustomLabel::Notification(vcl::TComponent *AComponent, vcl::TOperation Operation) {
    inherited::Notification(AComponent, Operation);
    if (Operation == vcl::opRemove && AComponent && AComponent == FSkinManager) FSkinManager = nullptr;
}

vcl::TFont *TsCustomLabel::GetCurrentFont() const { return Font(); }

vcl::TColor TsCustomLabel::DisabledTextColor(vcl::TColor Colour) const {
    return MixColors(vcl::ColorToRGB(Colour), GetControlColor(Parent()), DisabledTextRatio);
}

vcl::TColor TsCustomLabel::GetTextColor() {
    const TsSkinManager *m = GetSkinManager();
    const vcl::TColor colour = m ? m->GetMainFontColor() : Font()->Color();
    return Enabled() ? colour : DisabledTextColor(colour);
}

void TsCustomLabel::Paint() {
    // The index belongs to this paint only, however it ends.
    const TValueScope<int> index(FSectionIndex, -1);
    if (!IsDestroying()) {
        TsSkinManager *m = SwitchedOn(GetSkinManager());
        if (!PaintGuard) {
            const TValueScope<bool> guard(PaintGuard, true);
            if (!FSkinSection.empty() && m) {
                FSectionIndex = m->FindSectionIndex(FSkinSection);
                if (FSectionIndex >= 0) {
                    const vcl::TColor colour = m->Sections[static_cast<std::size_t>(FSectionIndex)].Props[0].FontColor;
                    if (Font()->Color() != colour) Font()->SetColor(colour);
                }
            }
        }
        if (FSectionIndex > 0) {
            TvlBgQuery query;
            if (!QueryParentBackground(query, Parent(), false, TvlAsker(this))) return;
            TvlBgInfo background;
            BgQueryToBgInfo(query, background);
            PaintSkinSectionToDC(FSectionIndex, background, 0, ClientRect(), {Left(), Top()}, Canvas()->Handle(), m);
        }
    }
    inherited::Paint();
}

void TsCustomLabel::DoDrawText(vcl::TRect &Rect, UINT Flags) {
    if (!AppliedSkin(GetSkinManager())) {
        inherited::DoDrawText(Rect, Flags);
        return;
    }
    std::string text = Caption();
    if ((Flags & DT_CALCRECT) && (text.empty() || (ShowAccelChar() && text == "&"))) text.assign(1, ' ');
    if (!ShowAccelChar()) Flags |= DT_NOPREFIX;
    // Our class library draws left to right only: there are no reading-order flags to add.
    vcl::TCanvas *canvas = Canvas();
    canvas->SetFont(GetCurrentFont());
    ApplyEllipsis(text, Rect, Flags);
    canvas->Font()->SetColor(GetTextColor());
    canvas->RequiredState(vcl::TCanvasState{vcl::csHandleValid, vcl::csFontValid});
    HDC dc = canvas->Handle();
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    DrawTextStr(dc, text, Rect, Flags);
    SetBkMode(dc, oldMode);
}

void TsCustomLabel::WndProc(vcl::TMessage &Message) {
    switch (Message.Msg) {
    case vcl::CM_FONTCHANGED:
        if (IsDestroying() || IsLoading() || FontChangeRunning) break;
        if (!PaintGuard) {
            const TValueScope<bool> running(FontChangeRunning, true);
            AdjustSize();  // does nothing unless AutoSize
            Invalidate();
        }
        return;
    case SM_SKINCOMMAND:
        inherited::WndProc(Message);
        switch (SubCommandOf(Message.WParam)) {
        case SC_SKIN_REMOVED:
        case SC_SKIN_REFRESH:
            if (ComponentState().Contains(vcl::csDesigning)) Invalidate();
            break;
        case SC_GET_BG_SECTION:
            // Any program can send the command: a null record is no question.
            if (auto *query = CommandRecord<TvlSectionQuery>(Message);
                query && Parent() && SwitchedOn(GetSkinManager()))
                Message.Result = ForwardSectionQuery(this, Parent(), *query);
            break;
        default: break;
        }
        return;
    default: break;
    }
    // The inherited mouse enter and leave handling fires OnMouseEnter and
    // OnMouseLeave, which the class library's controls already carry.
    inherited::WndProc(Message);
}

// ------------------------------------------------------------------ TsLabel

TsLabel::TsLabel(vcl::TComponent *AOwner) : TsCustomLabel(AOwner) {}

vcl::TColor TsLabel::GetTextColor() {
    TsSkinManager *m = AppliedSkin(GetSkinManager());
    if (!FUseSkinColor || !m) return Font()->Color();
    const int own = m->FindSectionIndex(SkinSection());
    const int under = QuerySectionIndexAt(this, own, m, 0);
    const vcl::TColor colour =
        m->IsValidSectionIndex(under) ? m->Sections[static_cast<std::size_t>(under)].Props[0].FontColor
                                      : m->GetMainFontColor();
    return Enabled() ? colour : DisabledTextColor(colour);
}

// -------------------------------------------------------------- TsEditLabel

TsEditLabel::TsEditLabel(vcl::TComponent *AOwner) : TsLabel(AOwner) {}

TsEditLabel::~TsEditLabel() {
    if (FBinding && FFlag) *FFlag = false;
}

void TsEditLabel::SetBinding(vcl::TComponent *Binding, bool *Flag) {
    if (FBinding && FBinding != Binding) RemoveFreeNotification(FBinding);
    FBinding = Binding;
    FFlag = Binding ? Flag : nullptr;
    if (FBinding) FreeNotification(FBinding);
}

void TsEditLabel::Notification(vcl::TComponent *AComponent, vcl::TOperation Operation) {
    inherited::Notification(AComponent, Operation);
    if (Operation == vcl::opRemove && AComponent && AComponent == FBinding) {
        FBinding = nullptr;
        FFlag = nullptr;
    }
}

// ---------------------------------------------------------- module start-up

void InitializeLabelModule() {
    if (LabelModuleUseCount++ == 0) vcl::RegisterClass(TsEditLabel::StaticClassInfo());
}

void FinalizeLabelModule() {
    if (LabelModuleUseCount > 0 && --LabelModuleUseCount == 0) vcl::UnRegisterClass(TsEditLabel::StaticClassInfo());
}

} // namespace skin
