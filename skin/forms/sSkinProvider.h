#pragma once
// TsSkinProvider: the component that a form carries to have its frame,
// caption, title buttons, icon, system menu and client background drawn
// from the current skin. Its owner must be the form. It puts its own
// window procedure (FormWndProc, through a relay that may outlive it) in
// place of the form's and passes on what it does not consume to the
// procedure it replaced (SavedWndProc); a second
// provider on a form stays inert. Skin changes reach it as SM_SKINCOMMAND.
// The lower layers see it as a TvlFormProvider (sSkinServices.h): the
// form answers SC_QUERY_FORM_PROVIDER with that pointer.
//
// One class, implemented by module (each group below names its source):
//   sSkinProvider.cpp    life cycle, published properties, setters, queries
//   sFormWndProc.cpp     the window procedure's dispatch
//   sFormCommands.cpp    the skin commands at the form
//   sFormActivation.cpp  activation, size, position and visibility
//   sFormMouse.cpp       mouse, hit-testing, system commands, closing
//   sFormMessages.cpp    menus, texts, settings, children, the editor link
//   sFormPaint.cpp       the painting messages
//   vlCtrlAdapter.cpp    the control adapter's provider side and labels
//   sProviderOptions.cpp snapping and glued forms
//   sFormPrepare.cpp     skin preparation and frame helpers
//   sFrameMetrics.cpp    the provider's frame measures
//   sFormRegion.cpp      window region and non-client output
//   sFrameRenderer.cpp   the frame renderer
//   sCaptionPaint.cpp    caption band, icon and text
//   sSysMenuPopup.cpp    system menu popup and small operations
//   sTitleButtons.cpp    title buttons and hit-testing
//   sFrameOutput.cpp     frame output and utilities
//   sTitleBarPaint.cpp   the title bar's items: sections, painting, codes, hints
//   sMDIForm.cpp         the MDI helper's provider side
//
// The title bar (vlTitleBar.h, painted by sTitleBarPaint.cpp) and the MDI
// helper (sMDIForm.h) serve it. Where the manager's extended borders apply
// it owns a border form (sFormBorder.h, vlBorderForm.h): its frame image then
// has the shadow margins around it. It runs the minimize animation
// (vlMinimizeAnimation.h), the blend on moving (vlBlendOnMoving.h) and the
// title buttons' fades (vlSBAnimation.h); the show, hide and skin-change
// animations are the manager's service (vlFormAnimations.h). The title
// bar's items do not fade yet. A form's main menu shows as the skinned
// menu line (sMenuLine.cpp); an MDI parent's line shows its active child's
// menu merged into it and, while that child is maximized, its buttons.
// The records it keeps are in sProviderRecords.h, the form layer's state
// and start-up in sFormsState.h.
// Windows only.
#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sFormsState.h"
#include "sProviderOptions.h"
#include "sProviderRecords.h"
#include "vlBorderGeometry.h"
#include "skin/graphics/sSkinCommand.h"
#include "skin/manager/sManagerOptions.h"
#include "skin/manager/sSkinCommands.h"
#include "skin/manager/sSkinServices.h"
#include "vcl/Component.h"
#include "vcl/ControlTypes.h"
#include "vcl/GdiObjects.h"
#include "vcl/Messages.h"
#include "vcl/ObjectInstance.h"
#include "vcl/TypInfo.h"

namespace vcl {
class TBitmap;
class TControl;
class TCustomForm;
class TCustomLabel;
class TForm;
class TTimer;
class TStringList;
class TWinControl;
}

namespace skin {

class TsScrollWndData;
class TsSkinManager;
class TsMDIForm;
class TsSkinProvider;
class TsTitleBar;
class TvlTitleBarItem;
class TsSystemMenu;
class TvlCtrlAdapter;
class TvlMinTimer;
class TvlMoveTimer;
class TsFormBorder;
class TvlBorderForm;

VCL_ENUM(TsGripMode, gmNone, gmRightBottom)
// rmBorder drags an outline instead of moving and sizing the live window.
VCL_ENUM(TsResizeMode, rmStandard, rmBorder)

// Asked for each child control before it gets an adapter.
using TAddItemEvent = vcl::TMethod<void(vcl::TObject *Item, bool &CanBeAdded, std::string &SkinSection)>;
using TAddItemExEvent = vcl::TMethod<void(vcl::TObject *Item, bool &CanBeAdded, TvlSkinParams &SkinParams)>;
// May change the hit-test code in the record's Result.
using TvlNCHitTest = vcl::TMethod<void(vcl::TMessage &Message)>;

// The error of a provider whose owner is not a form.
inline constexpr const char *ProviderOwnerError = "TsSkinProvider component may be used with forms only!";
// The command-line switch of the skin editor's preview.
inline constexpr const char *PreviewSwitch = "/vlpreview";

// Bits of StateFlags (TvlFormProvider) that the form layer sets and reads;
// pfBorderFormKept, pfHiddenByAnimation and the skin-change bits are in
// sSkinServices.h.
inline constexpr std::uint32_t pfBorderRegionSetting = 0x1;   // the border form's region is being set
inline constexpr std::uint32_t pfBlendOnMoving = 0x80;        // a blend on moving runs
inline constexpr std::uint32_t pfMinimizeAnimation = 0x100;   // the minimize animation runs
inline constexpr std::uint32_t pfSnapshotTaken = 0x200;       // a hide or minimize snapshot is taken
inline constexpr std::uint32_t pfRestoreAnimation = 0x400;    // the restore animation runs
inline constexpr std::uint32_t pfTopEdgeHeight = 0x2000;      // top-edge correction pending (height)
inline constexpr std::uint32_t pfTopEdgeTop = 0x4000;         // top-edge correction pending (top)
inline constexpr std::uint32_t pfInNCActivate = 0x8000;       // inside WM_NCACTIVATE
inline constexpr std::uint32_t pfScrollAdapterUpdate = 0x20000; // UpdateFormScrollBars runs
inline constexpr std::uint32_t pfGluedMove = 0x40000;         // moved as a glued form
inline constexpr std::uint32_t pfMaximizing = 0x80000;        // an SC_MAXIMIZE is carried out
inline constexpr std::uint32_t pfDisabled = 0x100000;         // the form is disabled (veil to refresh)

// The hit-test codes of the provider's own caption parts.
inline constexpr int htMDIClose = 101;
inline constexpr int htMDIRestore = 102;
inline constexpr int htMDIMinimize = 103;
inline constexpr int htTitleButton = 1000;  // + the button's index
inline constexpr int htTitleBarItem = 2000; // + the item's index

class TsSkinProvider : public vcl::TComponent, public TvlFormProvider {
    VCL_CLASS(TsSkinProvider, vcl::TComponent)
public:
    // ---------------------------------------------------- sSkinProvider.cpp
    // Raises EAbort (ProviderOwnerError) when AOwner is not a form. A
    // provider made for a form that another one serves is inert
    // (Duplicate), except that one made by the dialog hook is replaced.
    explicit TsSkinProvider(vcl::TComponent *AOwner);
    // The dialog hook's provider: DialogMade.
    struct TDialogMade {};
    TsSkinProvider(vcl::TComponent *AOwner, TDialogMade);
    ~TsSkinProvider() override;
    void AfterConstruction() override;
    // The component's own mark, for guards of either view of the provider.
    const vcl::TLifeMark &LifeMark() const override { return vcl::TComponent::LifeMark(); }
    void Loaded() override;

    // Published properties.
    bool AllowAnimation() const { return FAllowAnimation; }
    void SetAllowAnimation(bool Value) { FAllowAnimation = Value; }
    bool AllowExtBorders() const { return FAllowExtBorders; }
    void SetAllowExtBorders(bool Value);
    bool AllowBlendOnMoving() const { return FAllowBlendOnMoving; }
    void SetAllowBlendOnMoving(bool Value) { FAllowBlendOnMoving = Value; }
    bool AllowSkin3rdParty() const { return FAllowSkin3rdParty; }
    void SetAllowSkin3rdParty(bool Value) { FAllowSkin3rdParty = Value; }
    bool DrawNonClientArea() const { return FDrawNonClientArea; }
    void SetDrawNonClientArea(bool Value);  // sFormRegion.cpp
    bool DrawClientArea() const { return FDrawClientArea; }
    void SetDrawClientArea(bool Value) { FDrawClientArea = Value; }
    bool MakeSkinMenu() const { return FMakeSkinMenu; }
    void SetMakeSkinMenu(bool Value) { FMakeSkinMenu = Value; }
    bool ScreenSnap() const { return FScreenSnap; }
    void SetScreenSnap(bool Value) { FScreenSnap = Value; }
    bool ShowAppIcon() const { return FShowAppIcon; }
    void SetShowAppIcon(bool Value);
    bool UseGlobalColor() const { return FUseGlobalColor; }
    void SetUseGlobalColor(bool Value);
    TvlAddedTitle *AddedTitle() const { return FAddedTitle.get(); }
    vcl::TAlignment CaptionAlignment() const { return FCaptionAlignment; }
    void SetCaptionAlignment(vcl::TAlignment Value);
    std::uint8_t DisabledBlendValue() const { return FDisabledBlendValue; }
    void SetDisabledBlendValue(std::uint8_t Value);
    TvlFormHeader *FormHeader() const { return FFormHeader.get(); }
    vcl::TStringList *GluedForms() const { return FGluedForms.get(); }
    void SetGluedForms(const vcl::TStringList *Value);
    TsScrollWndData *SkinData() const { return FSkinData.get(); }
    TsGripMode GripMode() const { return FGripMode; }
    void SetGripMode(TsGripMode Value) { FGripMode = Value; }
    TsResizeMode ResizeMode() const { return FResizeMode; }
    void SetResizeMode(TsResizeMode Value) { FResizeMode = Value; }
    int SnapBuffer() const { return FSnapBuffer; }
    void SetSnapBuffer(int Value) { FSnapBuffer = Value; }
    TvlSysSubMenu *SysSubMenu() const { return FSysSubMenu.get(); }
    TsTitleButtons *TitleButtons() const { return FTitleButtons.get(); }
    void SetTitleButtons(const TsTitleButtons *Value);
    TsTitleIcon *TitleIcon() const { return FTitleIcon.get(); }
    // Empty: "FORMTITLE".
    const std::string &TitleSkin() const { return FTitleSkin; }
    void SetTitleSkin(const std::string &Value);
    ThirdPartyList *ThirdParty() const { return FThirdParty.get(); }
    // Empty: "MENULINE".
    const std::string &MenuLineSkin() const { return FMenuLineSkin; }
    void SetMenuLineSkin(const std::string &Value);
    // The items in the caption; watched: the reference goes with it
    // (sTitleBarPaint.cpp).
    TsTitleBar *TitleBar() const { return FTitleBar; }
    void SetTitleBar(TsTitleBar *Value);
    // OnAfterAnimation is TvlFormProvider's.
    TvlNCHitTest OnExtHitTest;
    TAddItemEvent OnSkinItem;
    TAddItemExEvent OnSkinItemEx;

    // The ThirdParty texts to the 23 lists and back.
    void ReadThirdPartyLists();
    void WriteThirdPartyLists();
    // BGChanged, FrameChanged, MenuLineCount -1 and WM_NCPAINT.
    void InvalidateFrame();
    // The form is painted by this provider's skin (the manager exists, the
    // section is valid, the owner is not going).
    bool Skinned() const;
    // The provider is reading its description (csLoading).
    bool ProviderLoading() const;

    // Queries of the frame parts; none changes state.
    // 0 without a caption bar (unless iconic); Real: the skin's height.
    int GetCaptionHeight(bool Real) const override;
    int CaptionReservedWidth(int MaskIndex) const;
    int ButtonsWidth() const;
    int TitleButtonWidth(const TsTitleButton &Button) const;
    int BorderIconCount() const;
    int BorderIconWidth(const TsCaptionButton &Icon) const;
    int FrameLeft(bool Real) const;
    int FrameTop(bool Real) const;
    bool HasSystemMenu() const;
    int GetMenuLineHeight() const;
    bool MDIChildMaximized() const;
    int CacheWidth() const;
    bool CacheStale() const;
    vcl::TRect GetShadowMargins() const override;
    int MenuMaskHeight() const;
    int MenuMaskWidth() const;
    int ClientHeightSkinned() const;
    bool ShowsIcon() const;
    // The caption is a normal one (border style bsSingle or bsSizeable).
    bool NormalCaption() const;

    // TvlFormProvider.
    vcl::TCustomForm *ProviderForm() const override { return Form; }
    TsCommonData *ProviderSkinData() const override;
    bool DrawsNonClientArea() const override { return FDrawNonClientArea; }
    // The minimize and restore animations (vlMinimizeAnimation.cpp): true
    // when the animation runs (the restore: reversed the minimize's image).
    bool StartMinimizeAnimation() override;
    bool StartRestoreAnimation() override;
    // The minimize timer goes, with the minimized image it keeps; a flight
    // that still runs leaves the form as opaque as it was.
    void FreeMinimizeTimer();
    // The form at its own alpha, or opaque and no longer layered: what an
    // animation cut short before its end leaves it.
    void GiveFormItsAlpha();
    // The hide cover when there is one (sFormActivation.cpp).
    std::unique_ptr<vcl::TForm> TakeSnapshotForm() override;

    // ----------------------------------------------------- sFormWndProc.cpp
    // The form's window procedure while the provider serves it.
    void FormWndProc(vcl::TMessage &Message);
    // What the provider put into the form's WindowProc (its relay); empty
    // on an inert provider.
    vcl::TWndMethod HookedProc() const;

    // ---------------------------------------------------- sFormCommands.cpp
    // Every SM_SKINCOMMAND first; true when it consumed the message.
    bool PreSkinCommand(vcl::TMessage &Message);
    // While the form is not skinned; true when consumed.
    bool SkinCommandUnskinned(vcl::TMessage &Message);
    // While it is skinned: the message ends here.
    void SMSkinCommand(vcl::TMessage &Message);
    // SC_SKIN_REMOVED from the form's own manager.
    void RemoveSkinFromForm(vcl::TMessage &Message);
    // SC_GET_BG_INFO of a child.
    void AnswerBgQuery(TvlBgQuery &Query);
    // SC_SKIN_APPLIED to the unskinned form.
    void ApplySkinToUnskinnedForm();
    // SC_SKIN_APPLIED to the skinned form.
    void ApplySkinToSkinnedForm();
    // SC_SKIN_REFRESH.
    void RefreshSkin(vcl::TMessage &Message);
    // SC_SET_FORM_ALPHA.
    void SetFormAlpha(int Alpha);

    // -------------------------------------------------- sFormActivation.cpp
    void WMCreate(vcl::TMessage &Message);
    void WMNCCreate(vcl::TMessage &Message);
    void WMMove(vcl::TMessage &Message);
    void WMSize(vcl::TMessage &Message);
    void WMActivate(vcl::TMessage &Message);
    void WMSetRedraw(vcl::TMessage &Message);
    void WMShowWindow(vcl::TMessage &Message);
    void WMActivateApp(vcl::TMessage &Message);
    void WMChildActivate(vcl::TMessage &Message);
    void WMGetMinMaxInfo(vcl::TMessage &Message);
    void WMWindowPosChanging(vcl::TMessage &Message);
    void WMWindowPosChanged(vcl::TMessage &Message);
    void WMStyleChanged(vcl::TMessage &Message);
    void WMNCActivate(vcl::TMessage &Message);
    void WMSizing(vcl::TMessage &Message);
    void WMMDIActivate(vcl::TMessage &Message);
    void WMExitSizeMove(vcl::TMessage &Message);
    void CMVisibleChanged(vcl::TMessage &Message);
    void CMEnabledChanged(vcl::TMessage &Message);
    void CMShowingChanged(vcl::TMessage &Message);
    void CMRecreateWnd(vcl::TMessage &Message);
    // The form's picture, its controls with it, kept while it hides or
    // minimizes: into the cache, and in view in the border window or in
    // HideCover, which the hide animation takes; EndHideCover when the hide
    // or the minimize is through.
    bool HideSnapshotAllowed() const;
    bool HideSnapshotDue(const WINDOWPOS &Pos) const;
    // False once the picture's painting freed this provider.
    bool TakeHideSnapshot();
    void EndHideCover(const WINDOWPOS *Pos);
    // The hide or the minimize did not happen after all: the form stays in
    // view as it was. EndRefusedHide: after a hide's handling, when the
    // form is still in view (an OnHide that raised, a window that took the
    // hide back).
    void EndHideSnapshot();
    void EndRefusedHide(HWND Window);

    // ---------------------------------------------------- vlBlendOnMoving.cpp
    // The form turns translucent for a move; Drag: the system's move loop
    // runs here, and the blending ends with it.
    void StartBlendOnMoving(bool Drag);
    // Opaque again; Snapshot: a cover of the form to take (else one is made).
    // False once the placement and repaints on the way (the form's procedure
    // and painting) freed this provider or its form.
    bool EndBlendOnMoving(std::unique_ptr<vcl::TForm> Snapshot);
    // The unskinned route's handlers around the saved procedure.
    bool VisibleChangedUnskinned(vcl::TMessage &Message);   // before it; false: freed
    // CM_SHOWINGCHANGED: around it (a hide's picture goes where the hide
    // did not happen).
    void ShowingChangedUnskinned(vcl::TMessage &Message);
    void WindowPosChangedUnskinned(vcl::TMessage &Message); // after it
    void NCDestroyUnskinned(vcl::TMessage &Message);        // after it

    // ------------------------------------------------------- sFormMouse.cpp
    void WMNCHitTest(vcl::TMessage &Message);
    void WMNCMouseMove(vcl::TMessage &Message);
    void WMNCLButtonDown(vcl::TMessage &Message);
    // WM_NCLBUTTONUP and WM_LBUTTONUP.
    void WMLButtonUp(vcl::TMessage &Message);
    void WMNCLButtonDblClk(vcl::TMessage &Message);
    void WMNCRButtonDown(vcl::TMessage &Message);
    void WMNCRButtonUp(vcl::TMessage &Message);
    void WMMouseMove(vcl::TMessage &Message);
    void CMMouseEnter(vcl::TMessage &Message);
    // CM_MOUSELEAVE and WM_MOUSELEAVE.
    void CMMouseLeave(vcl::TMessage &Message);
    void WMSysCommand(vcl::TMessage &Message);
    // The end of every system command's path: after a minimize the show
    // animation is over and the extended border's window goes.
    void EndMinimizeCommand(WPARAM Command, bool MinimizeAnimation);
    void WMClose(vcl::TMessage &Message);

    // ---------------------------------------------------- sFormMessages.cpp
    void WMQueryEndSession(vcl::TMessage &Message);
    void WMInitMenuPopup(vcl::TMessage &Message);
    // The form's window menu lists the MDI children as items of its own
    // (tagged WindowListTag + index), which the system's list would stand
    // beside unskinned. True when Popup is that menu's and it was filled.
    bool FillWindowMenu(HMENU Popup);
    void WindowListClick(vcl::TObject *Sender);
    void WMEnterMenuLoop(vcl::TMessage &Message);
    void WMExitMenuLoop(vcl::TMessage &Message);
    void WMContextMenu(vcl::TMessage &Message);
    void WMMeasureItem(vcl::TMessage &Message);
    void WMSetText(vcl::TMessage &Message);
    void WMSetIcon(vcl::TMessage &Message);
    void WMSettingChange(vcl::TMessage &Message);
    void WMSysColorChange(vcl::TMessage &Message);
    void WMParentNotify(vcl::TMessage &Message);
    void WMNotify(vcl::TMessage &Message);
    void CMControlListChange(vcl::TMessage &Message);
    void CMFloat(vcl::TMessage &Message);
    void CMMenuChanged(vcl::TMessage &Message);
    // The skin editor link: message 0xA400 and a pushed skin.
    void WMFormCommand(vcl::TMessage &Message);
    void WMCopyData(vcl::TMessage &Message);
    // Announces the window to the skin editor (preview mode only).
    static void LinkToEditor(HWND Window);

    // ------------------------------------------------------- sFormPaint.cpp
    void WMNCPaint(vcl::TMessage &Message);
    void WMEraseBkgnd(vcl::TMessage &Message);
    void WMPaint(vcl::TMessage &Message);
    void WMPrint(vcl::TMessage &Message);

    // ---------------------------------------------------- vlCtrlAdapter.cpp
    // Skin: the label takes the skin's font colour; else it gets its own back.
    void SkinLabel(vcl::TCustomLabel *Label, bool Skin);
    // SC_SKIN_REMOVED: the adapted controls hear it, the control adapter goes.
    void RemoveSkin(vcl::TMessage &Message);

    // ------------------------------------------------- sProviderOptions.cpp
    // WM_WINDOWPOSCHANGING with ScreenSnap: the new position snapped.
    void SnapFormPosition(WINDOWPOS &Pos);
    // The forms named in GluedForms that touch this one are glued to it.
    void NoteGluedForms();
    // This form moved: its glued forms follow.
    void MoveGluedForms();
    // The glued forms follow a master whose frame is at MasterTopLeft.
    void MoveGluedForms(vcl::TPoint MasterTopLeft);
    // The border window dragged in a blended move goes to Pos: snapped as
    // the form's frame would be, Offset inside it.
    void SnapBorderPosition(WINDOWPOS &Pos, vcl::TPoint Offset);

    // ----------------------------------------------------- sFormPrepare.cpp
    // PrepareForm, the control adapter, the system menu's items, the title
    // buttons' masks. False as PrepareForm's.
    bool InitSkin();
    // Applies the current skin to the provider's state. False once the
    // form's colour change, which reaches the application (CM_COLORCHANGED),
    // freed this provider.
    bool PrepareForm();
    // The caption, form-header and title section indexes.
    void UpdateHeaderIndexes();
    // The border-icon records' images and hit codes.
    void UpdateIconMasks();
    // An MDI child's skin changed: the MDI parent provider's frame and menu
    // line are to be made again.
    void InvalidateParentLine();
    // Creates or frees the extended border form (sFormBorder.cpp). False
    // once the form's painting that the region's and the border's repaints
    // run freed this provider or its form: the caller touches neither then.
    bool UpdateExtBorders(bool Allow);
    // The manager's option "NativeBordersMaximized" is set; and the form
    // is maximized with it, so that it has the system's frame and no
    // border form (sFormBorder.cpp).
    bool NativeBordersMaximized() const;
    bool NativeFrameMaximized() const;
    // False once the application's events about the controls freed this
    // provider (TvlCtrlAdapter::AdaptControls).
    bool CreateControlAdapter();
    // The veil over the disabled form, shown or removed.
    void UpdateDisabledVeil();
    // The veil with its watch and its holds gone, whatever the form's state.
    void RemoveDisabledVeil();
    // The window the veil lies right above: the form's top-level window, or
    // its border window when that lies over it.
    HWND VeilAnchor(HWND Window) const;
    // Puts the veil back right above its form when the system moved either
    // without a message (VeilWatch's tick).
    void KeepVeilInPlace(vcl::TObject *Sender);
    // Watches the windows that hold Window (none for null or a top-level window).
    void WatchVeilHolders(HWND Window);
    // The caption cover's replaced window procedure and its paint handler.
    void CoverWndProc(vcl::TMessage &Message);
    void CoverPaint(vcl::TObject *Sender);
    // The outline drag of ResizeMode rmBorder.
    void BeginOutlineDrag(int HitCode, vcl::TPoint ScreenPoint);
    void MoveOutlineDrag(vcl::TPoint ScreenPoint);
    // False once the end freed this provider (the form's own handling of
    // the capture's loss or of its new place).
    bool EndOutlineDrag();
    // The caption strip behind the buttons kept and put back.
    void SaveButtonsArea(int Y, int CaptionWidth);
    void RestoreButtonsArea(int CaptionWidth);
    // The client background into DC (0: the form's own DC).
    void PaintFormBackground(HDC DC);
    // The cache is valid or could be rendered.
    bool CacheUsable();
    // The form's menus handed to the skinned menu support (On) or taken back.
    void HookFormMenus(bool On);
    // Only the main menu.
    void HookMainMenu(bool On);
    // The main menu's items handed over again and its bar built anew.
    void RebuildMainMenu();
    // The manager whose menu support serves the form's menus; null when none does.
    TsSkinManager *MenuSupportManager() const;

    // ---------------------------------------------------- sFrameMetrics.cpp
    bool HasFrame() const;
    bool GripVisible() const;
    bool HasMenuLine() const;
    bool MenuHasVisibleItems() const;
    int GetMenuLineCount();
    // ------------------------------------------------------- sMenuLine.cpp
    // The renderer paints the skinned menu line: a menu line with a visible
    // item, the manager skinning popups, the frame drawn by the provider.
    bool MenuLinePainted() const;
    // The menu line's band painted into the frame image and kept in
    // MenuLineBmp, then the line's items drawn there by their handlers.
    void PaintMenuLine(vcl::TBitmap &Image, int State);
    // The line's items, the form's own and those of the menu merged into
    // its bar (an MDI parent's active child's), where the bar has them.
    void PaintLineItems(vcl::TBitmap &Image);
    // The main menu's platform bar follows its items' owner drawing.
    void SyncMenuBar();
    // WM_DRAWITEM: the line's item that the system last drew highlighted
    // on the window (window coordinates; empty for none), which nothing
    // ends when the mouse leaves the line for a caption button but
    // EndLineItemHighlight, painting it normal again.
    void WMDrawItem(vcl::TMessage &Message);
    void EndLineItemHighlight();
    vcl::TRect HighlightedLineItem{};
    // Window coordinates plus this offset are frame image coordinates.
    vcl::TPoint WindowToFrameOffset() const;
    // A copy of the menu band (what lies behind the line's items) and its
    // top-left corner in the frame image; null without a painted line.
    std::unique_ptr<vcl::TBitmap> MenuLineBmp;
    // Where the line's painter composes one item before it goes onto the
    // line: kept with the line (at least as wide as the widest item so far,
    // as high as a row), as every item of every repaint needs one.
    std::unique_ptr<vcl::TBitmap> MenuItemScratch;
    vcl::TPoint MenuLineOrigin{};
    // The top of the menu line's band in the frame image.
    int MenuLineTop() const;
    int GetClientOffsetX() const override;
    int GetClientOffsetY() const override;
    int TitleIconWidth() const;
    int TitleIconHeight() const;

    // ------------------------------------------------------ sFormRegion.cpp
    void CollectFrameMasks() override;
    HRGN BuildFrameRegion(int X, int Y) override;
    // False once the placement and the repaint that the new region brings
    // (the form's procedure, its painting) freed this provider or its form.
    bool UpdateFormRegion(bool Repaint, bool WithRedraw);
    // As the lower layers ask for it: with repaint, without redraw.
    void UpdateFormRegion() override { UpdateFormRegion(true, false); }
    // WM_NCPAINT's work.
    void PaintNonClient();
    // WM_PAINT's work.
    void PaintClientArea(vcl::TMessage &Message);
    // False once the painting it runs (the form's own, its children's,
    // its procedure's WM_NCPAINT) freed this provider or its form: the
    // caller touches neither then.
    bool RepaintFrameNow();
    void ShowCaptionCover();
    void HideCaptionCover();
    void FreeCaptionCover();
    // The style change reaches the form's procedure (WM_STYLECHANGING,
    // WM_STYLECHANGED): false once the application's code there freed this
    // provider or its form, and the caller touches neither then.
    bool SetSysMenuStyle(bool Skinned);

    // --------------------------------------------------- sFrameRenderer.cpp
    bool RenderFrame() override;
    // The size grip onto DC at the client area's lower right corner. What
    // lies behind it is the form's answer, which may ask the parent and so
    // free this provider: false then.
    [[nodiscard]] bool PaintSizeGrip(HDC DC);
    // An MDI parent's client area in the image, in the skin's "MDIAREA"
    // (when it has one) over Bg: the client window shows it.
    void PaintMDIArea(vcl::TBitmap &Image, const TvlBgInfo &Bg);
    // A new copy of the cache with the child controls painted in.
    std::unique_ptr<vcl::TBitmap> GetFormImage() override;

    // ---------------------------------------------------- sCaptionPaint.cpp
    void PaintCaption(TvlFrameRender &Render);
    void PaintFormIcon(TvlFrameRender &Render);
    void PaintCaptionText(TvlFrameRender &Render);

    // ---------------------------------------------------- sSysMenuPopup.cpp
    void PopupSystemMenu(vcl::TPoint ScreenPoint) override;
    // The screen position of the form's window origin.
    vcl::TPoint GetFormOrigin() const;
    vcl::TPoint ScreenToWindowPoint(int X, int Y) const;
    // Creates or frees the form's own skinned scroll bars.
    void UpdateFormScrollBars();
    vcl::TColor GetFormColor() const;

    // ---------------------------------------------------- sTitleButtons.cpp
    void UpdateButtonsLayout();
    void PaintBorderIcons(int CaptionWidth);
    // A maximized MDI child's buttons in this MDI parent's skinned menu
    // line (sTitleButtons.cpp): shown; placed at the right end of the
    // line's last row (empty while not shown); one drawn into the cache,
    // off where this form's system menu does not allow it; one repainted
    // on the window over the line's band.
    bool MDIButtonsShown() const;
    void PlaceMDIButtons();
    // WholeFrame: drawn with the frame, not repainted on its own.
    void DrawMDIButton(const TsCaptionButton &Button, bool WholeFrame = true);
    void PaintMDIButtonState(const TsCaptionButton &Button);
    // The hit code of the message's screen point.
    int CalcHitTest(const vcl::TMessage &Message);
    // False once a title-bar item's enter or leave handler, or the painting
    // of the frame anew, has freed this provider: the caller touches nothing
    // of it then.
    bool SetHotButton(int Code, bool Repaint);
    bool SetPressedButton(int Code);
    bool PaintButtonState(int Code);
    // The button record of a hit code; null for none.
    TsCaptionButton *ButtonByCode(int Code);
    // The button of Code fades (its layer shows its looks) rather than
    // being painted at once.
    bool ButtonFades(int Code) const;
    // The button of Code in State over its caption background, opaque, as
    // the frame would show it; the cache keeps the button's normal look.
    std::unique_ptr<vcl::TBitmap> ButtonPicture(int Code, int State);
    // With a border form: the buttons' strip and Button opaque in the cache.
    void MakeButtonsOpaque(const TsCaptionButton &Button);
    // Every button's fade freed (before the records go); true when one ran.
    bool FreeButtonAnimations();
    virtual int GetButtonsTop() const;
    int GetTitleHeight(bool Maximized) const;
    int GetTitleHeight() override { return GetTitleHeight(false); }
    int TitleExcess(bool Maximized) const;

    // --------------------------------------------------------- sMDIForm.cpp
    // On: an MDI parent gets its helper (one whose client window is no
    // longer served is made again) and becomes MDIParentProvider. Off: the
    // helper goes.
    void SetMDIHelper(bool On);
    // The form is an MDI parent (outside design time).
    bool IsMDIParent() const;
    std::unique_ptr<TsMDIForm> MDIHelper;
    // The first preparation of the form has yet to consider the helper.
    bool MDIHelperPending = false;
    // A menu loop of an MDI parent with a maximized child: the system draws
    // its own bar meanwhile, and the application's one icons window
    // (FormsState().MDIIcons) keeps the right end of the skinned line, where
    // the child's buttons stand, in sight. MDIIconsShown: this provider
    // asked for it in the loop that runs.
    void ShowMDIIcons();
    void MDIIconsPaint(vcl::TObject *Sender);
    bool MDIIconsShown = false;

    // --------------------------------------------------- sTitleBarPaint.cpp
    // Every item of the title bar gets its section record and paint callback.
    void PrepareTitleBarItems();
    // Off: the items forget this provider's painter and notification.
    void SetTitleBarCallbacks(bool On);
    // One item's section resolved again (its SkinSection changed).
    void ResolveItemSection(vcl::TObject *Sender);
    void PaintTitleBarItem(TvlTitleBarItem *Item, vcl::TBitmap *Target, vcl::TRect R);
    void PaintItemContent(TvlTitleBarItem &Item, vcl::TBitmap &Target, vcl::TRect R, int StateIndex,
                          vcl::TColor TextColor, int GlowSize, vcl::TColor GlowColor);
    // The visible items into the cache, Down tabs last.
    void PaintTitleBarItems(int CaptionWidth);
    // The code (2000 + index) of the title-bar item under a point of the
    // frame image: 0 over none, a spacer or an information item; HTCAPTION
    // over a disabled item or a Down tab.
    int ItemHitCode(vcl::TPoint P) const;
    bool IsTitleItemCode(int Code) const;
    // A title bar shows at least one visible item.
    bool ItemsShown() const;
    TvlTitleBarItem *ItemByCode(int Code) const;
    // The hot item's hint after the application's hint pause.
    void ArmItemHint(TvlTitleBarItem &Item);
    void ItemHintTimer(vcl::TObject *Sender);
    std::unique_ptr<vcl::TTimer> ItemHintTimerObject;
    vcl::TRect ItemHintRect{};  // the hot item, on the screen
    int ItemHintCode = 0;

    // ----------------------------------------------------- sFrameOutput.cpp
    // The frame from the cache into a window DC (origin: the window's corner).
    void PaintCachedFrame(HDC DC);
    void PaintClientBackground(HDC DC, bool UpdateChildren);
    bool ExtBordersAllowed() const;
    // Runs a message through FormWndProc at once.
    LRESULT PerformFormProc(UINT Msg, WPARAM WParam, LPARAM LParam);

    // ------------------------------------------------- vlBlendOnMoving.cpp
    // The blended move of a form with a border form: the drag moves the
    // border window, and the form joins it at the end.
    void StartBorderBlend(bool Drag);
    bool EndBorderBlend();

    // ------------------------------------------------------ sFormBorder.cpp
    // The extended border form while extended borders apply, else null.
    std::unique_ptr<TsFormBorder> BorderForm;
    // Its border form object; null without one (sFrameMetrics.cpp).
    const TvlBorderForm *BorderObject() const;
    // The measures of the frame that the frame image draws: with a border
    // form the skin's own border and caption (sFrameMetrics.cpp).
    TvlFrameSizes FrameSizes() const;
    // The window's top-left corner in the frame image (WindowToFrameOffset).
    vcl::TPoint GetFrameOffset() const override { return WindowToFrameOffset(); }
    HWND BorderWindow() const override;
    HRGN BorderRegion() override;
    // Rerender: the image is shown again (also when the frame is stale).
    void UpdateBorder(bool Rerender, std::uint8_t Alpha) override;
    void FreeBorderWindow() override;
    HWND MakeBorderWindow() override;
    void LockBorder(bool On) override;
    std::unique_ptr<vcl::TForm> TakeBorderWindow() override;
    void FreeBorderForm() override;
    // A mouse message that the border window forwarded with the code -1
    // gets the border form's code. False once the application's hit test
    // freed this provider.
    bool ResolveBorderCode(vcl::TMessage &Message);
    // With a border form: what the window keeps of its frame (sFormRegion.cpp).
    void PaintInsideBorder(HDC DC);
    // A render made a new image that the border window does not show yet.
    bool BorderImageNew = false;
    // The frame image's height: the form's, with the shadow margins.
    int CacheHeight() const;
    // The frame of the image made opaque and the skin's shadow laid around it.
    void PaintBorderShadow(vcl::TBitmap &Image, const vcl::TRect &Frame);
    // The transparent corners of the frame in the image (Frame: the image
    // less the margins), where the shadow shows.
    std::vector<vcl::TRect> FrameCorners(const vcl::TRect &Frame) const;
    // A border form in the skin's "BORDERMODE" 1: the frame has no caption
    // section of its own; the skin's border image, laid over it, draws it.
    bool BorderMaskMode() const;
    // That border image laid over the frame; Snapshot keeps the result, so
    // that what the caption painters draw on top can be made opaque.
    void PaintBorderMaskOver(vcl::TBitmap &Image, const vcl::TRect &Frame, std::vector<std::uint32_t> &Snapshot);

    // ------------------------------------------------------------ run time
    vcl::TCustomForm *Form = nullptr;     // not owned: the owner; null when inert
    vcl::TWndMethod SavedWndProc;         // the form's procedure before ours
    // SavedWndProc with Message; false once the application's code that it
    // ran has freed this provider, alone or with its form: the caller then
    // touches nothing of either (sFormWndProc.cpp).
    bool PassOn(vcl::TMessage &Message);
    std::array<std::unique_ptr<vcl::TStringList>, ThirdPartyKindCount> ThirdPartyLists;
    bool OwnThirdPartyLists = false;      // a ThirdParty text is not empty
    std::uint8_t FormActive = 0;          // 1: the caption shows the active state
    bool FrameChanged = true;             // frame metrics to recalculate
    int MenuLineCount = -1;               // -1: recompute
    int CaptionSkinIndex = -1;            // "CAPTION"
    int HeaderSkinIndex = -1;             // "FORMHEADER"
    int TitleSkinIndex = -1;              // TitleSkin or "FORMTITLE"
    int TitleButtonSkinIndex = -1;        // "TITLEBUTTON"
    int TitleButtonMaskIndex = -1;        // the image "TITLEBUTTON" of "GLOBALINFO"
    // The caption buttons (hit codes in sTitleButtons.cpp).
    TsCaptionButton ButtonMin, ButtonMax, ButtonHelp, ButtonClose;
    TsCaptionButton MDIMin, MDINorm, MDIClose;
    bool IconsLarge = false;              // the border icons use the large glyphs
    int CurrentButton = 0;                // the hot or pressed button's code; 0 or -1 none
    int PressedCode = 0;                  // the code SetPressedButton pressed; 0 none
    int ButtonCenterY = 0;                // in the frame image
    int CaptionBottom = 0;
    vcl::TRect IconRect{};                // the caption icon, in the frame image
    std::unique_ptr<vcl::TBitmap> ButtonsBackup;   // the caption strip behind the buttons
    vcl::TPoint ButtonsBackupPos{};                // where ButtonsBackup was taken from the cache
    std::unique_ptr<vcl::TBitmap> SnapshotBitmap;  // 32-bit scratch image
    std::array<std::unique_ptr<vcl::TBitmap>, 2> CaptionGlows;  // inactive, active
    std::unique_ptr<TvlCtrlAdapter> ControlAdapter;
    TsSystemMenu *SystemMenu = nullptr;   // owned (a component of the provider), freed here
    std::unique_ptr<TvlScrollAdapter> FormScrollAdapter;
    std::unique_ptr<vcl::TForm> DisabledVeil;
    std::unique_ptr<vcl::TTimer> VeilWatch;  // while the veil is shown
    std::vector<std::unique_ptr<TvlVeilHolder>> VeilHolders;  // while a form inside another is disabled
    std::unique_ptr<vcl::TForm> CaptionCover;
    vcl::TWndMethod CoverSavedWndProc;    // the cover's procedure before ours
    std::unique_ptr<vcl::TForm> HideCover;
    std::unique_ptr<TvlMoveTimer> MoveTimer;  // the blend on moving's timer while it runs
    std::unique_ptr<TvlMinTimer> MinTimer;    // the minimize animation's, kept for the restore
    std::vector<TvlLabelRecord> LabelRecords;
    TvlOutlineDrag OutlineDrag;
    vcl::TRect LastClientRect{};
    int RedrawLock = 0;                   // WM_SETREDRAW 0 not yet balanced
    // Made by the dialog hook and not yet shown: the skin is set up on the
    // first sign of the window (showing, frame painting, hit testing).
    bool DialogMade = false;
    // Made by the dialog hook, for good: a provider the form makes later
    // takes its place (DialogMade alone is gone once the form was shown).
    bool MadeForDialog = false;
    bool Duplicate = false;
    bool Hooked = false;
    bool CompositionOn = false;           // sampled at construction
    bool MenuSkinned = false;
    // A maximized MDI child's icon on the menu line, as it last came out:
    // the icon, its size, the line's pixels under it and the drawn pixels.
    struct TLineIconPiece {
        HICON Icon = nullptr;
        int Side = 0;
        std::vector<std::uint32_t> Under, Over;
        HICON Default = nullptr;  // shared, never destroyed
    };
    TLineIconPiece LineIcon;
    void DrawLineIcon(vcl::TBitmap &Image, HICON Icon, int Left, int Top, int Side);
    bool MainMenuFlag = false;
    bool MenuRebuiltForPrint = false;     // the first WM_PRINT rebuilt the main menu
    bool RegionChanged = true;
    bool RegionGuard = false;
    bool IconicRegion = false;            // the region was made for the iconic window's frame
    bool FrameRendered = false;
    bool InShowAnimation = false;
    bool ShowAnimating = false;
    bool TallCaption = false;             // kept False: see ApplySkinToUnskinnedForm
    bool InSizeMove = false;              // a system command or menu loop of the form runs
    // A second click on the caption icon came while the first one waited to
    // tell a double click from a single one: the first shows no menu.
    bool IconDoubleClicked = false;

protected:
    void Notification(vcl::TComponent *AComponent, vcl::TOperation Operation) override;
    friend class TsFormBorder;  // the border form asks for the caption buttons and the grip

private:
    // The skinned route's table (sFormWndProc.cpp): true when a handler of
    // the table took the message, which then reaches nothing else.
    bool SkinnedRoute(vcl::TMessage &Message);
    // The steps of the constructor after the owner was checked.
    void Construct();
    // The form's window during an outline drag (sFormPrepare.cpp).
    void OutlineCaptureWatch(vcl::TMessage &Message);
    // The form's visible graphic child controls into DC, the form's client
    // origin at Offset (sFrameOutput.cpp).
    void PaintGraphicControls(HDC DC, vcl::TPoint Offset);
    // The destructor's part that gives the form back, and, for a form that
    // lives on, its frame to the system.
    void ReleaseForm();
    void GiveFrameBack();
    std::unique_ptr<TvlFormProcRelay> FRelay;  // while the form is hooked
    // The title buttons' painting (sTitleButtons.cpp): the cache can take
    // them; one state image into the cache; a user button with its glyph
    // (OwnRules: as PaintButtonState draws it, else as the frame does);
    // every button but Skip as the frame draws them.
    bool ButtonsPaintable() const;
    void DrawButtonImage(const TsCaptionButton &Button, int ImageIndex, bool Inactive);
    void DrawTitleButton(TsTitleButton &Button, int Index, bool OwnRules);
    void DrawAllButtons(int Skip);
    // The one button of Code drawn into the cache by its own rules, over
    // the restored strip, the others as the frame draws them.
    void DrawButtonLook(int Code, TsCaptionButton &Button, TsTitleButton *TitleButton);
    // The code of the caption button under a point of the frame image;
    // HTCLIENT over none (or over a disabled user button).
    int ButtonHitCode(vcl::TPoint P);
    // The point lies on the size grip (or the corner between the form's own
    // scroll bars) where the skin has a grip image.
    bool OverSizeGrip(vcl::TPoint P) const;
    // The mouse handlers' parts (sFormMouse.cpp): the code is one of an
    // existing user title button; the system menu below the caption icon;
    // no caption button is held down any more.
    bool IsTitleButtonCode(int Code) const;
    void PopupBelowIcon();
    void ReleasePressedButton();
    // UpdateFormRegion's work: true when the window took a new region.
    // Resized: the form's size changed, and the region follows it even
    // while a system command runs.
    bool ApplyFormRegion(bool Repaint, bool WithRedraw, bool Resized = false);
    // WM_SIZE's work once the form's bounds are those of its window; the
    // class library records them only after the size message, so
    // WM_WINDOWPOSCHANGED finishes what WM_SIZE had to leave (SizePending).
    void FollowNewSize();
    bool SizePending = false;
    // WM_WINDOWPOSCHANGED's handling before that; true when the border is
    // to follow the placement after it.
    bool HandleWindowPosChanged(vcl::TMessage &Message);
    // Strips of the cached frame into a window DC, each where it lies in
    // the cache: the top band over the whole width, the left and right
    // edges below it, the bottom edge between them.
    void PaintFrameStrips(HDC DC, int Top, int Left, int Right, int Bottom);

    bool FAllowAnimation = true;
    bool FAllowExtBorders = true;
    bool FAllowBlendOnMoving = true;
    bool FAllowSkin3rdParty = true;
    bool FDrawNonClientArea = true;
    bool FDrawClientArea = true;
    bool FMakeSkinMenu = false;
    bool FScreenSnap = false;
    bool FShowAppIcon = true;
    bool FUseGlobalColor = true;
    std::unique_ptr<TvlAddedTitle> FAddedTitle;
    vcl::TAlignment FCaptionAlignment = vcl::taLeftJustify;
    std::uint8_t FDisabledBlendValue = 255;
    std::unique_ptr<TvlFormHeader> FFormHeader;
    std::unique_ptr<vcl::TStringList> FGluedForms;
    std::unique_ptr<TsScrollWndData> FSkinData;
    TsGripMode FGripMode = gmNone;
    TsResizeMode FResizeMode = rmStandard;
    int FSnapBuffer = 10;
    std::unique_ptr<TvlSysSubMenu> FSysSubMenu;
    std::unique_ptr<TsTitleButtons> FTitleButtons;
    std::unique_ptr<TsTitleIcon> FTitleIcon;
    std::string FTitleSkin;
    std::unique_ptr<ThirdPartyList> FThirdParty;
    std::string FMenuLineSkin;
    TsTitleBar *FTitleBar = nullptr;  // not owned: a component of the form
};

// The provider that serves the form of Component (the first form along its
// owners); null when none.
TsSkinProvider *FindFormProvider(vcl::TComponent *Component);  // sSysMenuPopup.cpp
// Provider (guarded before the call-out) is alive and still serves Window:
// what a handler checks after a message it sent or pumped may have freed
// the form with its provider.
bool ProviderServes(const vcl::TGuarded<TsSkinProvider> &Provider, HWND Window);  // sSysMenuPopup.cpp

// The form's own handling below a provider, noted before a call-out that
// may free the provider (the form's painting, a handler, a message sent to
// the form): a message that the provider had not passed on yet still does
// what the form does with it once the provider is gone (sFormWndProc.cpp).
class TvlFormOwnHandling {
public:
    explicit TvlFormOwnHandling(TsSkinProvider &Provider);
    // The provider still serves the form (ProviderServes).
    bool Serves() const;
    // True once the provider no longer serves the form: Message has then
    // gone to the form's own procedure, while the form lives, and the
    // caller touches nothing of the provider.
    bool ProviderGone(vcl::TMessage &Message) const;

private:
    vcl::TGuarded<TsSkinProvider> FProvider;
    vcl::TGuarded<vcl::TCustomForm> FForm;
    HWND FWindow;
    vcl::TWndMethod FOwnProc;  // the procedure below the provider: the form's
};
// The first windowed control below Parent, depth first, whose window
// exists and has the dialog control identifier ID; null when none. Controls
// without a window are passed over and get none.
vcl::TWinControl *FindControlByDlgID(int ID, vcl::TWinControl *Parent);  // sFrameOutput.cpp

// The maximized position and size of a window whose native frame is B
// wide: the frame lies beyond the edges of the work area Work of the
// monitor whose top-left corner is Monitor (the position counts from that
// corner, as the system reads it). C: the window starts that much lower
// (a skin caption taller than its own) and is that much less high.
void MaximizedPlacement(const vcl::TRect &Work, vcl::TPoint Monitor, int B, MINMAXINFO &Info,
                        int C = 0);  // sFormActivation.cpp

// The four corners of SourceRect copied unchanged (0x00FF00FF transparent),
// the edges and the centre stretched into TargetRect (sTitleBarPaint.cpp).
void StretchNineSlice(vcl::TBitmap &Source, const vcl::TRect &SourceRect, vcl::TBitmap &Target,
                      const vcl::TRect &TargetRect, const vcl::TRect &Margins);

} // namespace skin
