#include "sManagerOptions.h"

#include "sSkinCommands.h"
#include "sSkinManager.h"
#include "sSysColors.h"

namespace skin {

const std::array<std::string_view, ThirdPartyKindCount> ThirdPartyKinds{
    "Edit",     "Button",     "BitBtn",      "CheckBox",    "ComboBox",    "Grid",          "GroupBox",  "ListView",
    "Panel",    "TreeView",   "wwEdit",      "GridEh",      "VirtualTree", "PageControl",   "TabControl", "ToolBar",
    "StatusBar", "SpeedButton", "ScrollControl", "UpDownBtn", "ScrollBar", "StaticText", "NativePaint"};

const std::array<std::string_view, ThirdPartyKindCount> DefaultThirdPartyLists = [] {
    std::array<std::string_view, ThirdPartyKindCount> lists;
    lists.fill(" ");
    lists[tpButton] = "TButton";
    return lists;
}();

VCL_PUBLISHED(ThirdPartyList, p) {
    p.Property("ThirdEdits", &ThirdPartyList::Third<0>, &ThirdPartyList::SetThird<0>);
    p.Property("ThirdButtons", &ThirdPartyList::Third<1>, &ThirdPartyList::SetThird<1>);
    p.Property("ThirdBitBtns", &ThirdPartyList::Third<2>, &ThirdPartyList::SetThird<2>);
    p.Property("ThirdCheckBoxes", &ThirdPartyList::Third<3>, &ThirdPartyList::SetThird<3>);
    p.Property("ThirdComboBoxes", &ThirdPartyList::Third<4>, &ThirdPartyList::SetThird<4>);
    p.Property("ThirdGrids", &ThirdPartyList::Third<5>, &ThirdPartyList::SetThird<5>);
    p.Property("ThirdGroupBoxes", &ThirdPartyList::Third<6>, &ThirdPartyList::SetThird<6>);
    p.Property("ThirdListViews", &ThirdPartyList::Third<7>, &ThirdPartyList::SetThird<7>);
    p.Property("ThirdPanels", &ThirdPartyList::Third<8>, &ThirdPartyList::SetThird<8>);
    p.Property("ThirdTreeViews", &ThirdPartyList::Third<9>, &ThirdPartyList::SetThird<9>);
    p.Property("ThirdWWEdits", &ThirdPartyList::Third<10>, &ThirdPartyList::SetThird<10>);
    p.Property("ThirdGridEh", &ThirdPartyList::Third<11>, &ThirdPartyList::SetThird<11>);
    p.Property("ThirdVirtualTrees", &ThirdPartyList::Third<12>, &ThirdPartyList::SetThird<12>);
    p.Property("ThirdPageControl", &ThirdPartyList::Third<13>, &ThirdPartyList::SetThird<13>);
    p.Property("ThirdTabControl", &ThirdPartyList::Third<14>, &ThirdPartyList::SetThird<14>);
    p.Property("ThirdToolBar", &ThirdPartyList::Third<15>, &ThirdPartyList::SetThird<15>);
    p.Property("ThirdStatusBar", &ThirdPartyList::Third<16>, &ThirdPartyList::SetThird<16>);
    p.Property("ThirdSpeedButton", &ThirdPartyList::Third<17>, &ThirdPartyList::SetThird<17>);
    p.Property("ThirdScrollControl", &ThirdPartyList::Third<18>, &ThirdPartyList::SetThird<18>);
    p.Property("ThirdUpDown", &ThirdPartyList::Third<19>, &ThirdPartyList::SetThird<19>);
    p.Property("ThirdScrollBar", &ThirdPartyList::Third<20>, &ThirdPartyList::SetThird<20>);
    p.Property("ThirdStaticText", &ThirdPartyList::Third<21>, &ThirdPartyList::SetThird<21>);
    p.Property("ThirdNativePaint", &ThirdPartyList::Third<22>, &ThirdPartyList::SetThird<22>);
}

const std::string &ThirdPartyList::GetThirdList(int Index) const { return FLists.at(static_cast<std::size_t>(Index)); }

void ThirdPartyList::SetThirdList(int Index, const std::string &Value) { FLists.at(static_cast<std::size_t>(Index)) = Value; }

// Effects

VCL_PUBLISHED(TvlSkinEffects, p) {
    p.Property("AllowGlowing", &TvlSkinEffects::AllowGlowing).Default(true);
    p.Property("AllowAnimation", &TvlSkinEffects::AllowAnimation).Default(true);
    p.Property("AllowAeroBluring", &TvlSkinEffects::AllowAeroBluring).Default(true);
    p.Property("DiscoloredGlyphs", &TvlSkinEffects::DiscoloredGlyphs, &TvlSkinEffects::SetDiscoloredGlyphs)
        .Default(false);
    p.Property("AllowOuterEffects", &TvlSkinEffects::AllowOuterEffects, &TvlSkinEffects::SetAllowOuterEffects)
        .Default(false);
}

namespace {

// An owner that may refresh its windows now: it is neither being read
// from its form nor (when Updating counts) inside BeginUpdate.
bool MayRefresh(const TsSkinManager *Owner, bool Updating) {
    if (!Owner || ModuleState().SkinIsLoading) return false;
    const vcl::TComponentState state = Owner->ComponentState();
    if (state.Contains(vcl::csLoading) || state.Contains(vcl::csReading)) return false;
    return !(Updating && Owner->UpdatingFlag);
}

} // namespace

void TvlSkinEffects::SetDiscoloredGlyphs(bool Value) {
    if (FDiscoloredGlyphs == Value) return;
    FDiscoloredGlyphs = Value;
    if (MayRefresh(FOwner, true)) FOwner->RepaintAllSkinned(true);
}

void TvlSkinEffects::SetAllowOuterEffects(bool Value) {
    if (FAllowOuterEffects == Value) return;
    FAllowOuterEffects = Value;
    if (MayRefresh(FOwner, true)) FOwner->RepaintAllSkinned(false);
}

VCL_PUBLISHED(TvlBtnEffects, p) {
    p.Property("Events", &TvlBtnEffects::Events)
        .Default(TvlBtnEvents{beMouseEnter, beMouseLeave, beMouseDown, beMouseUp});
}

VCL_PUBLISHED(TvlFormAnimation, p) {
    p.Property("Active", &TvlFormAnimation::Active).Default(true);
    p.Property("Time", &TvlFormAnimation::Time).Default(0);
}

VCL_PUBLISHED(TvlFormShow, p) { p.Property("Mode", &TvlFormShow::Mode).Default(atAero); }
VCL_PUBLISHED(TvlFormHide, p) { p.Property("Mode", &TvlFormHide::Mode).Default(atAero); }
VCL_CLASS_INFO(TvlPageChange)
VCL_PUBLISHED(TvlDialogShow, p) { p.Property("Mode", &TvlDialogShow::Mode).Default(atAero); }

VCL_PUBLISHED(TvlSkinChanging, p) {
    p.Property("Time", &TvlSkinChanging::Time).Default(100);
    p.Property("Mode", &TvlSkinChanging::Mode).Default(atFading);
}
TvlSkinChanging::TvlSkinChanging() {
    Time = 100;
    Mode = atFading;
}

VCL_PUBLISHED(TvlMinimizing, p) { p.Property("Time", &TvlMinimizing::Time).Default(120); }
TvlMinimizing::TvlMinimizing() { Time = 120; }

VCL_PUBLISHED(TvlBlendOnMoving, p) {
    p.Property("Active", &TvlBlendOnMoving::Active).Default(false);
    p.Property("BlendValue", &TvlBlendOnMoving::BlendValue).Default(170);
    p.Property("Time", &TvlBlendOnMoving::Time).Default(1000);
}
TvlBlendOnMoving::TvlBlendOnMoving() {
    Active = false;
    Time = 1000;
}

VCL_PUBLISHED(TvlAnimEffects, p) {
    p.Property("FormHide", [](const TvlAnimEffects &e) { return e.FormHide.get(); });
    p.Property("DialogHide", [](const TvlAnimEffects &e) { return e.DialogHide.get(); });
    p.Property("Buttons", [](const TvlAnimEffects &e) { return e.Buttons.get(); });
    p.Property("FormShow", [](const TvlAnimEffects &e) { return e.FormShow.get(); });
    p.Property("PageChange", [](const TvlAnimEffects &e) { return e.PageChange.get(); });
    p.Property("Minimizing", [](const TvlAnimEffects &e) { return e.Minimizing.get(); });
    p.Property("DialogShow", [](const TvlAnimEffects &e) { return e.DialogShow.get(); });
    p.Property("SkinChanging", [](const TvlAnimEffects &e) { return e.SkinChanging.get(); });
    p.Property("BlendOnMoving", [](const TvlAnimEffects &e) { return e.BlendOnMoving.get(); });
}

TvlAnimEffects::TvlAnimEffects()
    : FormHide(std::make_unique<TvlFormHide>()), DialogHide(std::make_unique<TvlFormHide>()),
      Buttons(std::make_unique<TvlBtnEffects>()), FormShow(std::make_unique<TvlFormShow>()),
      PageChange(std::make_unique<TvlPageChange>()), Minimizing(std::make_unique<TvlMinimizing>()),
      DialogShow(std::make_unique<TvlDialogShow>()), SkinChanging(std::make_unique<TvlSkinChanging>()),
      BlendOnMoving(std::make_unique<TvlBlendOnMoving>()) {}

TvlAnimEffects::~TvlAnimEffects() = default;

// Scroll bars, buttons, labels

VCL_PUBLISHED(TvlScrollBarsSupport, p) {
    p.Property("ScrollSize", &TvlScrollBarsSupport::ScrollSize, &TvlScrollBarsSupport::SetScrollSize).Default(-1);
    p.Property("ButtonsSize", &TvlScrollBarsSupport::ButtonsSize, &TvlScrollBarsSupport::SetButtonsSize).Default(-1);
}

void TvlScrollBarsSupport::SetScrollSize(int Value) {
    if (FScrollSize == Value) return;
    FScrollSize = Value;
    if (MayRefresh(FOwner, false)) FOwner->BroadcastCommand(SC_FRAME_METRICS_CHANGED);
}

void TvlScrollBarsSupport::SetButtonsSize(int Value) {
    if (FButtonsSize == Value) return;
    FButtonsSize = Value;
    if (MayRefresh(FOwner, false)) FOwner->RepaintAllSkinned(false);
}

VCL_PUBLISHED(TvlButtonsSupport, p) {
    p.Property("ShowFocusRect", &TvlButtonsSupport::ShowFocusRect).Default(true);
    p.Property("ShiftContentOnClick", &TvlButtonsSupport::ShiftContentOnClick).Default(true);
}

VCL_PUBLISHED(TvlLabelsSupport, p) { p.Property("TransparentAlways", &TvlLabelsSupport::TransparentAlways).Default(true); }

// Options

VCL_PUBLISHED(TvlOptions, p) {
    p.Property("CheckEmptyAlpha", &TvlOptions::Flag<ofCheckEmptyAlpha>, &TvlOptions::SetFlagOf<ofCheckEmptyAlpha>)
        .Default(false);
    p.Property("NoMouseHover", &TvlOptions::Flag<ofNoMouseHover>, &TvlOptions::SetFlagOf<ofNoMouseHover>).Default(false);
    p.Property("NativeBordersMaximized", &TvlOptions::Flag<ofNativeBordersMaximized>,
               &TvlOptions::SetFlagOf<ofNativeBordersMaximized>)
        .Default(false);
    p.Property("StdGlyphsOrder", &TvlOptions::Flag<ofStdGlyphsOrder>, &TvlOptions::SetFlagOf<ofStdGlyphsOrder>)
        .Default(false);
    p.Property("ChangeSysColors", &TvlOptions::Flag<ofChangeSysColors>, &TvlOptions::SetFlagOf<ofChangeSysColors>)
        .Default(false);
    p.Property("OptimizingPriority", &TvlOptions::OptimizingPriority).Default(opSpeed);
}

bool TvlOptions::GetFlag(int Index) const {
    switch (Index) {
    case ofCheckEmptyAlpha: return FCheckEmptyAlpha;
    case ofNoMouseHover: return FNoMouseHover;
    case ofNativeBordersMaximized: return FNativeBordersMaximized;
    case ofStdGlyphsOrder: return FStdGlyphsOrder;
    case ofChangeSysColors: return FChangeSysColors;
    default: return false;
    }
}

void TvlOptions::SetFlag(int Index, bool Value) {
    switch (Index) {
    case ofCheckEmptyAlpha: FCheckEmptyAlpha = Value; break;
    case ofNoMouseHover: FNoMouseHover = Value; break;
    case ofNativeBordersMaximized: FNativeBordersMaximized = Value; break;
    case ofStdGlyphsOrder:
        FStdGlyphsOrder = Value;
        if (FOwner) FOwner->StdGlyphsOrder = Value;  // the painters read it from the tables
        break;
    case ofChangeSysColors: {
        FChangeSysColors = Value;
        if (!FOwner || FOwner != DefaultManager()) break;
        const vcl::TComponentState state = FOwner->ComponentState();
        if (state.Contains(vcl::csDesigning) || state.Contains(vcl::csLoading)) break;
        if (Value)
            PatchSysColors();
        else
            UnpatchSysColors();
        break;
    }
    default: break;
    }
}

// Menus

VCL_PUBLISHED(TvlMenuSupport, p) {
    p.Property("AlphaBlend", &TvlMenuSupport::AlphaBlend).Default(255);
    p.Property("IcoLineSkin", &TvlMenuSupport::IcoLineSkin);
    p.Property("UseExtraLine", &TvlMenuSupport::UseExtraLine).Default(false);
    p.Property("ExtraLineWidth", &TvlMenuSupport::ExtraLineWidth).Default(32);
    p.Property("ExtraLineFont", &TvlMenuSupport::ExtraLineFont);
}

TvlMenuSupport::TvlMenuSupport() : FExtraLineFont(std::make_unique<vcl::TFont>()) {}
TvlMenuSupport::~TvlMenuSupport() = default;

} // namespace skin
