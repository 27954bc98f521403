#pragma once
// The published option objects of TsSkinManager: the ThirdParty class-name
// lists by control kind, the effect and animation options, the scroll-bar,
// button, label and menu options and the Boolean Options. They are streamed
// with the form; their setters store, or start one of the manager's
// refreshes. Windows only (the menu options hold a font).
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "skin/graphics/sConst.h"
#include "vcl/Graphics.h"
#include "vcl/TypInfo.h"

namespace skin {

class TsSkinManager;

VCL_ENUM_INFO(TvlAnimType, atFading, atAero)
VCL_ENUM_INFO(TvlBtnEvent, beMouseEnter, beMouseLeave, beMouseDown, beMouseUp)
VCL_ENUM_INFO(TvlOptimizingPriority, opSpeed, opMemory)

// The control kinds that the lists name classes for, and the list that an
// empty one is given when the manager is loaded.
inline constexpr std::size_t ThirdPartyKindCount = 23;
extern const std::array<std::string_view, ThirdPartyKindCount> ThirdPartyKinds;
extern const std::array<std::string_view, ThirdPartyKindCount> DefaultThirdPartyLists;
inline constexpr int tpButton = 1;

// Class names per control kind, one per line.
class ThirdPartyList : public vcl::TPersistent {
    VCL_CLASS(ThirdPartyList, vcl::TPersistent)
public:
    const std::string &GetThirdList(int Index) const;
    void SetThirdList(int Index, const std::string &Value);

    template <int I> std::string Third() const { return FLists[I]; }
    template <int I> void SetThird(const std::string &Value) { FLists[I] = Value; }

private:
    std::array<std::string, ThirdPartyKindCount> FLists;
};

class TvlSkinEffects : public vcl::TPersistent {
    VCL_CLASS(TvlSkinEffects, vcl::TPersistent)
public:
    explicit TvlSkinEffects(TsSkinManager *Owner) : FOwner(Owner) {}

    bool AllowGlowing = true;
    bool AllowAnimation = true;
    bool AllowAeroBluring = true;
    bool DiscoloredGlyphs() const { return FDiscoloredGlyphs; }
    void SetDiscoloredGlyphs(bool Value);
    bool AllowOuterEffects() const { return FAllowOuterEffects; }
    void SetAllowOuterEffects(bool Value);

private:
    TsSkinManager *FOwner;  // not owned: the manager owns this object
    bool FDiscoloredGlyphs = false;
    bool FAllowOuterEffects = false;
};

class TvlBtnEffects : public vcl::TPersistent {
    VCL_CLASS(TvlBtnEffects, vcl::TPersistent)
public:
    TvlBtnEvents Events{beMouseEnter, beMouseLeave, beMouseDown, beMouseUp};
};

// Base of the form animations: whether the animation plays, how long it takes
// (milliseconds) and how (fading or the zoom of the desktop compositor).
class TvlFormAnimation : public vcl::TPersistent {
    VCL_CLASS(TvlFormAnimation, vcl::TPersistent)
public:
    std::uint16_t Time = 0;
    bool Active = true;
    TvlAnimType Mode = atAero;
};

class TvlFormShow : public TvlFormAnimation {
    VCL_CLASS(TvlFormShow, TvlFormAnimation)
};
class TvlFormHide : public TvlFormAnimation {
    VCL_CLASS(TvlFormHide, TvlFormAnimation)
};
class TvlPageChange : public TvlFormAnimation {
    VCL_CLASS(TvlPageChange, TvlFormAnimation)
};
class TvlDialogShow : public TvlFormAnimation {
    VCL_CLASS(TvlDialogShow, TvlFormAnimation)
};
class TvlSkinChanging : public TvlFormAnimation {
    VCL_CLASS(TvlSkinChanging, TvlFormAnimation)
public:
    TvlSkinChanging();
};
class TvlMinimizing : public TvlFormAnimation {
    VCL_CLASS(TvlMinimizing, TvlFormAnimation)
public:
    TvlMinimizing();
};
class TvlBlendOnMoving : public TvlFormAnimation {
    VCL_CLASS(TvlBlendOnMoving, TvlFormAnimation)
public:
    TvlBlendOnMoving();
    std::uint8_t BlendValue = 170;
};

class TvlAnimEffects : public vcl::TPersistent {
    VCL_CLASS(TvlAnimEffects, vcl::TPersistent)
public:
    TvlAnimEffects();
    ~TvlAnimEffects() override;

    std::unique_ptr<TvlFormHide> FormHide;
    std::unique_ptr<TvlFormHide> DialogHide;
    std::unique_ptr<TvlBtnEffects> Buttons;
    std::unique_ptr<TvlFormShow> FormShow;
    std::unique_ptr<TvlPageChange> PageChange;
    std::unique_ptr<TvlMinimizing> Minimizing;
    std::unique_ptr<TvlDialogShow> DialogShow;
    std::unique_ptr<TvlSkinChanging> SkinChanging;
    std::unique_ptr<TvlBlendOnMoving> BlendOnMoving;
    TsSkinManager *Manager = nullptr;  // not owned: set by the manager that owns this object
};

class TvlScrollBarsSupport : public vcl::TPersistent {
    VCL_CLASS(TvlScrollBarsSupport, vcl::TPersistent)
public:
    explicit TvlScrollBarsSupport(TsSkinManager *Owner) : FOwner(Owner) {}
    // -1: the system's scroll-bar metric.
    int ScrollSize() const { return FScrollSize; }
    void SetScrollSize(int Value);
    int ButtonsSize() const { return FButtonsSize; }
    void SetButtonsSize(int Value);

private:
    TsSkinManager *FOwner;  // not owned
    int FScrollSize = -1;
    int FButtonsSize = -1;
};

class TvlButtonsSupport : public vcl::TPersistent {
    VCL_CLASS(TvlButtonsSupport, vcl::TPersistent)
public:
    bool ShowFocusRect = true;
    bool ShiftContentOnClick = true;
};

class TvlLabelsSupport : public vcl::TPersistent {
    VCL_CLASS(TvlLabelsSupport, vcl::TPersistent)
public:
    bool TransparentAlways = true;
};

// Indexes of TvlOptions::GetFlag.
enum TvlOptionFlag { ofCheckEmptyAlpha, ofNoMouseHover, ofNativeBordersMaximized, ofStdGlyphsOrder, ofChangeSysColors };

class TvlOptions : public vcl::TPersistent {
    VCL_CLASS(TvlOptions, vcl::TPersistent)
public:
    explicit TvlOptions(TsSkinManager *Owner) : FOwner(Owner) {}
    bool GetFlag(int Index) const;
    // ChangeSysColors on the default manager switches the system-colour
    // interception on or off at once.
    void SetFlag(int Index, bool Value);
    template <int I> bool Flag() const { return GetFlag(I); }
    template <int I> void SetFlagOf(bool Value) { SetFlag(I, Value); }

    TvlOptimizingPriority OptimizingPriority = opSpeed;

private:
    TsSkinManager *FOwner;  // not owned
    bool FNoMouseHover = false;
    bool FStdGlyphsOrder = false;
    bool FCheckEmptyAlpha = false;
    bool FChangeSysColors = false;
    bool FNativeBordersMaximized = false;
};

class TvlMenuSupport : public vcl::TPersistent {
    VCL_CLASS(TvlMenuSupport, vcl::TPersistent)
public:
    TvlMenuSupport();
    ~TvlMenuSupport() override;

    std::uint8_t AlphaBlend = 255;
    std::string IcoLineSkin;
    bool UseExtraLine = false;
    int ExtraLineWidth = 32;
    vcl::TFont *ExtraLineFont() const { return FExtraLineFont.get(); }

private:
    std::unique_ptr<vcl::TFont> FExtraLineFont;
};

} // namespace skin
