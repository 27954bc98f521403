#pragma once
// TvlDialogWnd: the window adapter of one system dialog ("#32770": message
// boxes, the common dialogs) that the window-creation hook skinned. It
// takes over the dialog's whole non-client area: borders, caption, icon
// and title buttons are rendered from the skin ("DIALOG" and the title
// section) into its skin data's cache, four strips of which are copied
// into the window's frame; the client background comes from the same
// cache. It answers hit-testing for the caption and its buttons itself,
// keeps the buttons' hot and pressed looks, and turns clicks into system
// commands. The system draws and tests no buttons of its own while the
// adapter serves: WS_SYSMENU is taken from the live style and given back
// when the adapter lets go of a window that lives on.
//
// The frame painting is in vlDialogFrame.cpp, the region, icon, printing
// and clipping routines in vlDialogRoutines.cpp. Windows only.
#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "skin/forms/vlBorderForm.h"
#include "skin/forms/vlSBAnimation.h"
#include "skin/manager/vlSnapshots.h"
#include "vcl/GdiObjects.h"
#include "vlDialogChildren.h"
#include "vlDialogGeometry.h"
#include "vlDialogRoutines.h"
#include "vlScrollWnd.h"
#include "vlSystemMenu.h"

namespace vcl {
class TBitmap;
class TForm;
}

namespace skin {


// One title button of the dialog's caption.
struct TvlDialogButton {
    int State = 0;       // 0 normal, 1 hot, 2 pressed
    int GlowId = -1;     // the button's glow, -1 none
    int MaskIndex = -1;  // -1: no image (21 x 21)
    vcl::TRect Rect{};   // in the cache's coordinates; empty when not shown
    int HitCode = 0;
    bool BigIcons = false;
    TvlSBAnimation *Animation = nullptr;  // its fade, freed by the adapter
};

class TvlDialogWnd : public TvlScrollWnd,
                     public TvlAnimDialog,
                     public TvlSysMenuDialog,
                     public TvlBorderOwner,
                     public TvlFadeOwner {
public:
    TvlDialogWnd();
    ~TvlDialogWnd() override;

    void SetDefaultSection() override;
    bool OwnMessage(vcl::TMessage &Message) override;

    // Called once by the attaching provider: the style remembered, the
    // frame kind, the icon, the button masks and the caption font; then
    // WS_SYSMENU leaves the live style.
    void AnalyseWindow();
    void SetHotButton(int Code, bool Repaint);
    void SetPressedButton(int Code);

    // The extended border (vlDialogBorder.cpp): made when On (and the
    // manager is not designing), freed when off.
    void SetExtBorders(bool On);
    // The border window brought up to date; nothing without a border.
    void UpdateBorder(bool Repaint);
    // The manager's shadow margins with a border, else empty.
    vcl::TRect ExtBorderMargins() const;
    // The frame cache's size: the window's, grown around it with a border.
    vcl::TSize FrameCacheSize() const;
    // With a border in the skin's border mode 1: the frame is the section's
    // face under the skin's border image, the caption drawn on top.
    bool BorderMaskMode() const;
    // The title buttons' fades go (their layers with them).
    void FreeButtonAnimations();
    // A state change of a title button runs as a fade.
    bool ButtonFades() const;

    // Frame painting (vlDialogFrame.cpp).
    void PaintFrame();
    void PaintCaption();
    // The buttons' places come first: the caption's text ends before them.
    void PlaceTitleButtons();
    void PaintTitleButtons();
    void PaintButtonState(int Code);
    void PaintNonClient();
    LRESULT EraseBackground(HDC DC);

    // Routines (vlDialogRoutines.cpp).
    // Drags the dialog by its caption, translucent while it moves (the
    // manager's blend-on-moving option); returns when the drag ended.
    void StartBlendedMove();
    void EndBlendedMove();
    // The blended move of a dialog with a border: its border window dragged.
    void StartBorderMove(int Target);
    void PaintIcon();
    void BuildCornerRects();
    // The window's rectangle at (X, Y) less the corner runs; the caller owns it.
    HRGN CreateCornerRegion(int X, int Y) const;
    void UpdateRegion(bool Redraw);

    // Queries of the remembered style and the window's state.
    bool HasSysMenu() const { return (Style & dgSysMenu) != 0; }
    bool HasMaxBox() const { return (Style & dgMaxBox) != 0; }
    bool HasMinBox() const { return (Style & dgMinBox) != 0; }
    bool HasHelpButton() const { return (ExStyle & dgContextHelp) != 0; }
    bool CloseEnabled() const;
    TvlDialogButtonRules ButtonRules() const;
    // The caption as the frame draws it: with a border and UseSkin the
    // skin's own (it holds the top border), else the system's.
    int CaptionHeight(bool UseSkin = true) const;
    int BorderWidth() const;      // (window width - client width) / 2
    // The side border as the frame draws it: the skin's with a border.
    int FrameBorder() const;
    // The frame's measures: native ones, and with a border the skin's and
    // the shadow margins (the arithmetic the forms' frames use too).
    TvlFrameSizes FrameSizes() const;
    // From the cache's left and top to the client area (with a border the
    // shadow margins and the skin frame's excess over the native one).
    int FrameLeftWidth() const;
    int FrameTopHeight() const;
    vcl::TRect IconRect() const;  // in the cache's coordinates
    // The adapter's own hit test of a point in window coordinates (0 or
    // HTCAPTION: the window's procedure answers).
    int OwnHitTest(vcl::TPoint P);
    TvlDialogButton *ButtonByCode(int Code);
    // The skin section's main colour brush (one per adapter).
    HBRUSH DialogBrush();

    // TvlSysMenuDialog: the dialog as its system menu sees it.
    HWND SysMenuWindow() const override { return Handle && IsWindow(Handle) ? Handle : nullptr; }
    LONG_PTR SysMenuStyle() const override { return static_cast<LONG_PTR>(Style); }
    int SysMenuFrameKind() const override { return FrameKind; }
    // The skinned system menu (made with the default section) shown at a
    // screen point: on the caption icon and on a right click on the
    // caption. Nothing of the adapter is touched after: the chosen command
    // may end the dialog.
    void PopupSystemMenu(vcl::TPoint Screen);
    // Where the system menu drops under the caption icon (screen).
    vcl::TPoint UnderIcon() const;

    // TvlAnimDialog: the dialog as the layered show and hide see it.
    const vcl::TLifeMark &LifeMark() const override { return TvlScrollWnd::LifeMark(); }
    HWND DialogWindow() const override { return Handle; }
    TsSkinManager *DialogManager() const override { return SkinManager; }
    void RenderFrame() override { PaintFrame(); }
    vcl::TBitmap *FrameImage() const override;
    vcl::TPoint FrameOffset() const override { return {FrameLeftWidth(), FrameTopHeight()}; }
    void PrintChildWindows(HDC DC) override;
    void UpdateRegion() override { UpdateRegion(false); }
    std::unique_ptr<vcl::TForm> TakeSnapshotForm() override;
    std::unique_ptr<vcl::TForm> TakeBorderWindow() override;
    HWND MakeBorderWindow() override;
    void LockBorder(bool On) override;
    void RefreshBorder() override { UpdateBorder(true); }
    bool HasBorderForm() const override { return BorderForm != nullptr; }
    // The border form's window; null without a border form or while it has none.
    HWND BorderWindow() const { return BorderForm ? BorderForm->Window() : nullptr; }
    vcl::TPoint FrameOrigin() const override { return BorderOffset(); }

    // TvlBorderOwner: the dialog as its border form sees it.
    HWND BorderOwnerWindow() const override { return SysMenuWindow(); }
    TsSkinManager *BorderSkinManager() const override;
    vcl::TRect BorderShadowMargins() const override { return ExtBorderMargins(); }
    vcl::TPoint BorderOffset() const override;
    int BorderCaptionHeight() const override { return CaptionHeight(); }
    int BorderNativeCaptionHeight() const override { return CaptionHeight(false); }
    // The image holds the whole frame: its caption band starts at its top.
    int BorderNativeBorderWidth() const override { return BorderForm ? 0 : BorderWidth(); }
    int BorderOwnerWidth() const override;
    int BorderSideExcess() const override;
    vcl::TRect BorderIconRect() const override { return IconRect(); }
    std::uint32_t BorderStateFlags() const override { return StateFlags; }
    vcl::TBitmap *BorderFrameImage() override;
    int BorderButtonCode(vcl::TPoint P) override;
    void SetBorderHotButton(int Code, bool Repaint) override { SetHotButton(Code, Repaint); }
    vcl::TRect BorderClientRect() const override;
    bool BorderBlendedMove() override;
    bool BorderFreeFades() override;

    // TvlFadeOwner: the title buttons as their fades see them.
    HWND FadeWindow() const override { return SysMenuWindow(); }
    HWND FadeCaptionWindow() const override;
    vcl::TRect FadeButtonRect(int Code) const override;
    std::unique_ptr<vcl::TBitmap> FadePicture(int Code, int State) override;
    void FadeGone(int Code, TvlSBAnimation *Animation) override;
    TvlButtonGlow FadeGlow(int Code, int State) const override;

    // Fields.
    int HotButton = 0;
    int CaptionSection = -1;
    bool ChildrenAdapted = false;
    bool Active = true;
    bool SuppressPaint = false;
    bool TitleButtonPressed = false;
    std::array<TvlDialogButton, 4> Buttons{};  // minimize, maximize, help, close
    std::unique_ptr<vcl::TBitmap> CaptionBack;
    std::uint32_t Style = 0, ExStyle = 0;
    vcl::TRect ClientRect{};
    HICON Icon = nullptr;  // not owned: the window's
    vcl::TFontHandle FrameFont;
    std::uint32_t StateFlags = 0;  // 0x80 while a blended move runs
    std::unique_ptr<TvlDialogMoveTimer> MoveTimer;
    bool NeedRegion = true;
    bool FrameInvalid = true;
    bool Analysed = false;
    int FrameKind = 1;
    TvlDialogChildHost *Provider = nullptr;  // not owned: it owns this adapter
    int TitleSection = -1;
    std::string TitleSectionName;
    std::vector<vcl::TRect> CornerRects;
    std::unique_ptr<TvlSystemMenu> SystemMenu;
    // The cover prepared for a closing animation (taken by the hide).
    std::unique_ptr<vcl::TForm> SnapshotForm;
    std::unique_ptr<TvlBorderForm> BorderForm;

private:
    void ResolveButtonMasks();
    // The code of a mouse message; one a border window forwarded (-1) asked of it.
    int BorderCode(const vcl::TMessage &Message);
    // The native frame's top height (caption and top border).
    int NativeTopHeight() const;
    // The top of a title button of Height in the cache.
    int ButtonsTop(int Height, bool Big) const;
    // A title-button mask of the common section (Icon: its index there),
    // else Name in the dialog's own section.
    int TitleIconMask(int Icon, std::string_view Name) const;
    // The mask a title button is drawn from and whether it looks disabled,
    // as the window's state (maximized, minimized, active) shows it.
    struct TvlTitleButtonLook {
        int Mask;
        bool Disabled;
    };
    TvlTitleButtonLook TitleButtonLook(const TvlDialogButton &Button, const TvlDialogButtonRules &Rules) const;
    // The button's look in State drawn into the cache.
    void DrawButtonLook(TvlDialogButton &Button, int State);
    // The shadow around the frame and its corners cut (with a border).
    void PaintFrameShadow();
    // The border image laid over the frame; the pixels before the caption.
    std::vector<std::uint32_t> PaintBorderMaskOver(const vcl::TRect &Frame);

    // The skinned dialog's answers (OwnMessage without its guards): true
    // when the message is answered. Each handler below answers one message
    // (or one family of them).
    bool DialogMessage(vcl::TMessage &Message);
    bool SkinCommand(vcl::TMessage &Message);
    // Presses of the title buttons; the scroll bars' own go on (false).
    bool NcLeftDown(vcl::TMessage &Message);
    // The release of a title button pressed while the mouse was captured.
    bool PressedButtonReleased(vcl::TMessage &Message);
    // A double click: a button's second click, the caption's maximize or
    // restore, the icon's close.
    bool NcDoubleClick(vcl::TMessage &Message);
    void ToggleMaximized();
    // The caption's and the icon's right press swallowed, their release
    // opening the system menu.
    bool SwallowTitleRightDown(vcl::TMessage &Message);
    bool TitleRightClick(vcl::TMessage &Message);
    void MouseLeft();
    // The dialog becomes the manager's hot window.
    void MouseMoved();
    // The active window drawn anew once the focus is in.
    void FocusTaken(vcl::TMessage &Message);
    // A new title or enabled state shown in the frame.
    void TitleStateChanged(vcl::TMessage &Message);
    // The client left unpainted while SuppressPaint holds.
    bool SuppressedPaint(vcl::TMessage &Message);
    bool NcPaint(vcl::TMessage &Message);
    void StaticsDrawnTransparent(const vcl::TMessage &Message);
    // The show animation; true when the adapter went during it.
    bool AnimateShow(const vcl::TMessage &Message);
    bool PositionChanged(vcl::TMessage &Message);
    void Placed(vcl::TMessage &Message, UINT Flags);
    void Hidden(vcl::TMessage &Message);
    // The last look taken for the hide animation when a command may end the
    // dialog; true when the command was passed on here.
    bool SnapshotBeforeClose(vcl::TMessage &Message);
    bool NcActivate(vcl::TMessage &Message);
    void StyleChangedMessage(vcl::TMessage &Message);
    bool VisibleChanged(vcl::TMessage &Message);
    // After the system dialogs' private messages: new children adapted.
    void ChildrenMayHaveChanged(vcl::TMessage &Message);
    void SysCommand(vcl::TMessage &Message);
    void NcHitTest(vcl::TMessage &Message);
    void NcButtonDown(vcl::TMessage &Message);
    void ButtonUp(vcl::TMessage &Message, int Code);
    // A new size (vlDialogSize.cpp): the frame, the border window and the
    // region follow when the frame image no longer fits.
    void SizeChanged(vcl::TMessage &Message);
    // The window's own handling with the updating flag set (and with
    // RedrawOff its drawing off); false when the adapter went with it.
    bool PassOnUpdating(vcl::TMessage &Message, bool RedrawOff);
    // The section's right-hand corner images of the client area to paint again.
    void InvalidateRightCorners();
    bool FrameImageFits() const;
    void FrameFollowsSize();
    void StoreClientRect();
    // The show, layered for the window's own part under composition.
    bool ShowWindowMessage(vcl::TMessage &Message);
    void StyleChanged(WPARAM Which, const STYLESTRUCT &Change);
    void Invalidate() { FrameInvalid = true; }
    void TrackLeave();
    void Release();
    // The show and hide animations run (their option's time is not 0).
    bool ShowAnimated() const;
    bool HideAnimated() const;

    vcl::TBrushHandle FBrush;
    vcl::TColor FBrushColor = -1;
    bool FReleased = false;
};

} // namespace skin
