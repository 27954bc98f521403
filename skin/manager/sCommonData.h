#pragma once
// TsCommonData: the skin state of one skinned control, form provider or
// window adapter. It knows which manager and which section paint it, the
// resolved indexes of its section, border mask and textures, its cached
// image and whether that is stale, its focus, mouse and paint-lock states,
// its animation timer and glow, and its outer-effect options. It is the
// painters' TsCommonDataView of the control, so the values that view names
// (SkinIndex, BGFlags, CacheBmp...) are read through its getters and
// written through setters here; the other states are plain fields. Its
// answers to the command message are in sCommandTable.h. Windows only.
//
// Life: made by its owner (Updating set) -> Loaded (section chosen) ->
// indexes resolved again on every skin command and section or manager
// change -> freed with its owner.
//
// The paint lock (PaintLocked, PaintLockCount, LockPaint, UnlockPaint,
// IsPaintLocked, UpdatePaintLock) is what the form and adapter layers call
// MouseHot, EnterHot, LeaveHot, IsHot and UpdateHotState: painting is
// deferred while it holds.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sSkinCommands.h"
#include "skin/graphics/sCommonDataView.h"
#include "skin/graphics/sConst.h"
#include "skin/graphics/sSkinCommand.h"
#include "skin/graphics/vlParentBackground.h"
#include "skin/graphics/vlCommonUtils.h"
#include "vcl/Component.h"
#include "vcl/Persistent.h"
#include "vcl/TypInfo.h"

namespace vcl {
class TBitmap;
class TControl;
class TWinControl;
}

namespace skin {

class TsCommonData;
class TsSkinManager;
class TvlFormProvider;

VCL_ENUM_INFO(TvlOuterVisibility, ovNone, ovAlways)

// The shadow options of a control.
class TvlOuterEffects : public vcl::TPersistent {
    VCL_CLASS(TvlOuterEffects, vcl::TPersistent)
public:
    explicit TvlOuterEffects(TsCommonData *Owner) : FOwner(Owner) {}
    TvlOuterVisibility Visibility() const { return FVisibility; }
    // Makes the control's parent repaint unless the control is loading.
    void SetVisibility(TvlOuterVisibility Value);

private:
    TsCommonData *FOwner;  // not owned: the skin data owns this object
    TvlOuterVisibility FVisibility = ovNone;
};

// What the skin data does with the timer of its state and glow fades
// (TvlThreadedTimer derives from it): ask whether it runs, stop it. The
// skin data frees its timer unless the timer is being destroyed itself; a
// timer that goes first clears the skin data's AnimTimer.
class TvlAnimationTimer : public vcl::TComponent {
    VCL_CLASS(TvlAnimationTimer, vcl::TComponent)
public:
    using vcl::TComponent::TComponent;
    ~TvlAnimationTimer() override;
    virtual bool Running() const = 0;
    // Disabled, mode -1, its three bitmaps freed.
    virtual void StopAnimation() = 0;

    TsCommonData *OwnerData = nullptr;  // not owned: the skin data whose AnimTimer this is
};

class TsCommonData : public vcl::TPersistent, public TsCommonDataView {
    VCL_CLASS(TsCommonData, vcl::TPersistent)
public:
    // Owner: the control (or form provider, or null for an adapter's own
    // data) that owns the record; not owned. CreateCache makes a 0 x 0
    // 32-bit cache at once.
    TsCommonData(vcl::TObject *Owner, bool CreateCache);
    ~TsCommonData() override;

    // Published.
    bool CustomColor() const override { return FCustomColor; }
    void SetCustomColor(bool Value);
    bool CustomFont() const override { return FCustomFont; }
    void SetCustomFont(bool Value);
    // The record's own manager; null means the default manager.
    TsSkinManager *SkinManager() const { return FSkinManager; }
    void SetSkinManager(TsSkinManager *Value);
    const std::string &SkinSection() const { return FSkinSection; }
    // Stored in ASCII upper case.
    void SetSkinSection(const std::string &Value);
    TvlOuterEffects *OuterEffects() const { return FOuterEffects.get(); }
    // For a TGuarded kept across what may free the record with its adapter
    // or control.
    const vcl::TLifeMark &LifeMark() const { return FLife; }

    // The painters' view. GetSkinManager: the record's own manager, else
    // the default one; null without either.
    TsSkinManager *GetSkinManager() const;
    int SkinIndex() const override { return FSkinIndex; }
    void SetSkinIndex(int Value) { FSkinIndex = Value; }
    int BorderIndex() const override { return FBorderIndex; }
    void SetBorderIndex(int Value) { FBorderIndex = Value; }
    int PatternIndex() const override { return FPatternIndex; }
    void SetPatternIndex(int Value) { FPatternIndex = Value; }
    int HotPatternIndex() const override { return FHotPatternIndex; }
    void SetHotPatternIndex(int Value) { FHotPatternIndex = Value; }
    vcl::TBitmap *CacheBmp() const override { return FCacheBmp.get(); }
    // The cache made when missing (32-bit, device-independent) and sized to
    // the control (negative sizes as 0).
    void PrepareCache() override;
    // The cache kept but emptied to 0 x 0 (nothing without one).
    void ShrinkCache();
    vcl::TControl *OwnerControl() const override { return FOwnerControl.Get(); }
    std::uint16_t BGFlags() const override { return FBGFlags; }
    void SetBGFlags(std::uint16_t Value) { FBGFlags = Value; }
    std::int32_t HueOffset() const override { return FHueOffset; }
    void SetHueOffset(std::int32_t Value) { FHueOffset = Value; }
    std::int32_t Saturation() const override { return FSaturation; }
    void SetSaturation(std::int32_t Value) { FSaturation = Value; }
    vcl::TColor ColorTone() const override { return FColorTone; }
    void SetColorTone(vcl::TColor Value) { FColorTone = Value; }
    // The manager exists and is not being destroyed, the section index is
    // valid, the owner is not being destroyed, and (NeedActive) the skin is
    // applied.
    bool IsSkinned(bool NeedActive) const override;
    vcl::TColor GetBackColor(int State) const override { return GetBackColor(State, nullptr); }
    // The colour behind the control in a state (above 0: the hot one), mixed
    // with the parent's colour by the state's transparency; Window's parent
    // gives that colour when the owner has no parent control.
    vcl::TColor GetBackColor(int State, HWND Window) const;
    // The control's Color, the provider form's, else clBtnFace.
    vcl::TColor OwnerColor() const override;
    // The section that paints under the control (asked of it with
    // SC_GET_BG_SECTION); Index when nobody answers.
    int QuerySectionIndexAt(int Index) const override;

    // The owner; null once an owner that is a component is gone (a window
    // adapter's record outlives the control the application freed).
    vcl::TObject *OwnerObj() const { return FOwnerComponent || !FOwnerIsComponent ? FOwnerObj : nullptr; }
    // The owner when it is a form provider; null otherwise.
    TvlFormProvider *OwnerProvider() const;
    // The control's window when it is windowed and has one, else WndHandle.
    HWND GetWindowHandle() const;

    // Life cycle and indexes.
    void Loaded();
    void ChooseDefaultSection();
    // Resolves the section (with ResolveSection), the paint flags, the
    // border, pattern and hot-pattern indexes and the transparency.
    void UpdateIndexes(bool ResolveSection);
    // The first of Names that the skin has becomes the section index.
    void SetSectionFromList(const std::vector<std::string> &Names);
    bool ConfirmSkinned() const { return true; }
    void RepaintControl(bool UpdateNow);
    // Recomputes whether the background comes from the parent (BGFlags bit
    // 0) and, with TellChildren, makes the children do the same.
    void UpdateTransparency(bool TellChildren);
    // 1: the background comes from the parent, 0: it is the control's own,
    // 2: cannot tell yet (the parent has no window).
    int ComputeParentBackground() const;
    bool UsesParentBackground() const;
    bool IsControlActive() const;
    // The cached image may serve as the control's background.
    bool CanUseCache() const;
    // The control's colours := the section's normal ones (through the
    // manager's hue and saturation), unless its custom switches keep them.
    // False when the control's answer freed this record.
    bool SyncControlColors(bool Repaint);

    // The paint lock.
    void LockPaint();
    void UnlockPaint(bool Repaint);
    bool IsPaintLocked() const;
    bool UpdatePaintLock(bool ClearFirst);

    // The state and glow animation.
    void StopAnimation();
    bool IsAnimating() const;
    // Shows the section's glow over Window (null: the control's) while
    // Show holds and the mouse is inside, else removes it (faded with
    // Fade). Section -1 is the record's own.
    void UpdateGlow(bool Fade, HWND Window = nullptr, int Section = -1, bool Show = true, bool Animated = true);
    // Shows the record's own glow at Alpha over Window (null: the control's)
    // when it has none, whether the mouse is inside or not.
    void ShowGlowAt(std::uint8_t Alpha, HWND Window = nullptr);
    // Removes the glow at once.
    void HideGlowNow();

    // Backgrounds.
    // Answers a child's SC_GET_BG_INFO for the control in a state. Building
    // the cache for it asks this control's own parent, whose answer may free
    // this record: false then, and the caller stops.
    [[nodiscard]] bool CopyParentBackground(TvlBgQuery &Query, int State);
    // What lies behind the control, for painting its own image. The parent's
    // answer may free this record, its control or Asker (the caller's
    // adapter): false then, and the caller stops.
    bool FillBackgroundInfo(TvlBgInfo &Info, const TvlAsker &Asker);
    // The outer effect drawn into Target's image (SC_PAINT_OUTER_EFFECT).
    void PaintOuterEffect(const TvlBgQuery &Target, std::uint16_t Flags);
    // The outer effects of Parent's children drawn into this record's cache.
    void PaintChildOuterEffects(vcl::TWinControl *Parent, vcl::TPoint Offset);

    // The manager this record names is going: the reference is dropped.
    void ManagerDestroyed(const TsSkinManager *Manager);

    // States (plain fields).
    std::int32_t PaintLockCount = 0;
    bool Focused = false;
    bool PaintLocked = false;
    bool MouseInside = false;
    bool PartialPaint = true;
    bool Updating = true;
    bool BGChanged = true;
    std::int32_t ControlKind = 0;
    std::int32_t GlowID = -1;
    std::uint16_t PaintFlags = 0;
    HDC PrintDC = nullptr;    // not owned: the outside paint target
    HWND WndHandle = nullptr; // the window served when the owner is not a windowed control
    // A window adapter that takes the hover itself from the manager's hot
    // window serves the record: the class library's enter and leave
    // notices leave the record's hover steps out (they would take the hover
    // from it). The scrolling adapters run those steps instead.
    bool HoverByHotWindow = false;
    TvlAnimationTimer *AnimTimer = nullptr;  // owned (see TvlAnimationTimer)
    // The area of the target image that the outer effect covers, kept from
    // before it was drawn.
    std::unique_ptr<vcl::TBitmap> OuterBgBmp;

protected:
    TsSkinTables *ServingTables() const override;

private:
    bool OwnerLoading() const;
    bool OwnerDestroying() const;
    bool ManagerHasSections() const;
    // The control of a new SkinSection or SkinManager learns of it.
    void AnnounceSectionChange(bool SectionValid, unsigned Flag);

    vcl::TLifeMark FLife;
    bool FCustomColor = false;
    bool FCustomFont = false;
    std::string FSkinSection;
    std::unique_ptr<TvlOuterEffects> FOuterEffects;
    TsSkinManager *FSkinManager = nullptr;  // not owned; the manager clears it when it goes
    int FSkinIndex = -1;
    int FBorderIndex = -1;
    int FPatternIndex = -1;
    int FHotPatternIndex = -1;
    std::unique_ptr<vcl::TBitmap> FCacheBmp;
    std::uint16_t FBGFlags = bgfUndetermined;
    std::int32_t FHueOffset = 0;
    std::int32_t FSaturation = 0;
    vcl::TColor FColorTone = vcl::clNone;
    vcl::TObject *FOwnerObj;  // not owned
    vcl::TGuarded<vcl::TComponent> FOwnerComponent;
    bool FOwnerIsComponent = false;
    vcl::TGuarded<vcl::TControl> FOwnerControl;
};

// The horizontal or vertical scroll bar sizes of a scrolling window.
class TsScrollWndData;
class TvlScrollData : public vcl::TPersistent {
    VCL_CLASS(TvlScrollData, vcl::TPersistent)
public:
    explicit TvlScrollData(TsScrollWndData *Owner) : FOwner(Owner) {}
    // -1: from the skin or the system.
    int ScrollWidth() const { return FScrollWidth; }
    // Makes the owner's window recalculate its frame.
    void SetScrollWidth(int Value);
    int ButtonsSize() const { return FButtonsSize; }
    // Makes the owner's window repaint its frame.
    void SetButtonsSize(int Value);

private:
    TsScrollWndData *FOwner;  // not owned
    int FScrollWidth = -1;
    int FButtonsSize = -1;
};

// The skin data of scrolling windows.
class TsScrollWndData : public TsCommonData {
    VCL_CLASS(TsScrollWndData, TsCommonData)
public:
    TsScrollWndData(vcl::TObject *Owner, bool CreateCache);
    ~TsScrollWndData() override;
    TvlScrollData *HorzScrollData() const { return FHorzScrollData.get(); }
    TvlScrollData *VertScrollData() const { return FVertScrollData.get(); }

private:
    std::unique_ptr<TvlScrollData> FHorzScrollData;
    std::unique_ptr<TvlScrollData> FVertScrollData;
};

// FillBackgroundInfo for a bare window without a control object.
bool WindowBackgroundInfo(HWND Wnd, TvlBgInfo &Info, const TvlAsker &Asker);

// Copies Data's cache into R of DC (SrcOffset: the point of the cache that
// lands on R's top-left) without painting over the children of Control that
// paint themselves there (graphic, opaque or designed ones; DX, DY shift
// their rectangles). With Corners the parent background goes into the
// border's transparent corners first. Nothing without a cache.
void CopyCacheToDC(vcl::TWinControl *Control, TsCommonData &Data, vcl::TPoint SrcOffset, const vcl::TRect &R, HDC DC,
                   bool Corners, int DX, int DY);
// The same for a bare window, leaving out its visible child windows (of a
// frame-like child only its frame). Nothing without a cache.
void CopyCacheToWindowDC(HWND Wnd, TsCommonData &Data, vcl::TPoint SrcOffset, const vcl::TRect &R, HDC DC,
                         bool Corners, int DX, int DY);

// The control's own tone, hue and saturation on its image (the key colour
// kept), then the parent background in the border's transparent corners.
// False when the parent's answer freed the record or its control.
bool ApplyColorEffects(vcl::TBitmap &Bitmap, TsCommonData &Data);

// Each of the red, green and blue bytes of K moved towards Q by T percent
// (K + (Q - K) * T / 100); both RGB.
vcl::TColor MixByTransparency(vcl::TColor K, vcl::TColor Q, int T);

// The object's class or one of its ancestors is named Name (for classes
// that this program's class library does not have).
bool InheritsFromClassName(const vcl::TObject &Object, std::string_view Name);

// The section that paints under Control in its parent: the parent is asked
// with SC_GET_BG_SECTION, the control's bounds, the manager and the state;
// Index when nobody answers.
int QuerySectionIndexAt(vcl::TControl *Control, int Index, TsSkinTables *Manager, int State);

// Asks Parent (by its window when it has one) with the record at Record,
// which is in flight for the send; the answer.
LRESULT AskParent(vcl::TControl *Parent, unsigned SubCommand, LPARAM Record);

// Passes a child's SC_GET_BG_SECTION question on to Parent, its rectangle
// moved by the child's place; the parent's answer (1 when it filled Query).
LRESULT ForwardSectionQuery(vcl::TControl *Child, vcl::TControl *Parent, TvlSectionQuery &Query);

} // namespace skin
