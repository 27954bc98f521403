#include "sSkinProvider.h"

#include <algorithm>

#include "sFormBorder.h"
#include "sFrameMetrics.h"
#include "sSystemMenu.h"
#include "vlMenuLineLayout.h"
#include "skin/graphics/sMaskData.h"
#include "skin/graphics/vlAlphaBlending.h"
#include "skin/graphics/vlCommonUtils.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/graphics/vlPixelHelpers.h"
#include "skin/graphics/vlSkinGlyphs.h"
#include "skin/graphics/vlSkinPieces.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/sSkinServices.h"
#include "skin/manager/sVclUtils.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/Forms.h"
#include "vlSBAnimation.h"
#include "vlTitleBar.h"

namespace skin {

namespace {

// The help button and the first user button stand this much further left.
constexpr int ButtonGroupGap = 6;

HWND WindowOf(const vcl::TCustomForm *Form) {
    return Form && Form->HandleAllocated() ? Form->WindowHandle() : nullptr;
}

const TsMaskData *MaskAt(const TsSkinManager *Manager, int Index) {
    return Manager && Manager->IsValidMaskIndex(Index) ? &Manager->Masks[static_cast<std::size_t>(Index)] : nullptr;
}

int TitleIconIndex(const TsSkinManager *Manager, TvlTitleIcon Icon) {
    return Manager ? Manager->CommonElements.TitleIcons[static_cast<std::size_t>(Icon)] : -1;
}

// What a maximized MDI child's restore button shows: the small restore
// glyph, else the large one.
int RestoreGlyph(const TsSkinManager *Manager) {
    const int small = TitleIconIndex(Manager, tiSmallNorm);
    return small >= 0 ? small : TitleIconIndex(Manager, tiBigNorm);
}

bool Contains(const vcl::TRect &R, vcl::TPoint P) {
    return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom;
}

// The screen point of a mouse message of the frame (signed: monitors left
// of and above the primary one have negative coordinates).
vcl::TPoint ScreenPointOf(LPARAM LParam) {
    return {static_cast<short>(LOWORD(LParam)), static_cast<short>(HIWORD(LParam))};
}

bool IsMDIButton(int Code) { return Code >= htMDIClose && Code <= htMDIMinimize; }

bool IsMainForm(const vcl::TCustomForm *Form) { return vcl::Application && vcl::Application->MainForm() == Form; }

// A title button's glyph into the cache at (X, Y): a 32-bit glyph blended by
// its alpha, any other keyed on the colour of its bottom-left pixel.
void DrawTitleGlyph(vcl::TBitmap &Cache, vcl::TBitmap &Glyph, int X, int Y) {
    const int w = Glyph.Width(), h = Glyph.Height();
    if (w < 1 || h < 1) return;
    if (Glyph.PixelFormat() == vcl::pf32bit) {
        BlendBitmap32({X, Y, X + w, Y + h}, {0, 0, w, h}, Cache, Glyph, TvlBgInfo{}, false);
        return;
    }
    vcl::TBitmap copy;
    copy.Assign(&Glyph);
    copy.SetPixelFormat(vcl::pf32bit);
    const vcl::TBitmapView src = copy.View(), dst = Cache.View();
    if (!src.HasRows() || !dst.HasRows()) return;
    const std::uint32_t key = src.At(0, h - 1) & 0x00FFFFFFu;
    const int left = std::max(0, -X), top = std::max(0, -Y);
    const int right = std::min(w, dst.Width - X), bottom = std::min(h, dst.Height - Y);
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            const std::uint32_t p = src.At(x, y) & 0x00FFFFFFu;
            if (p != key) dst.At(X + x, Y + y) = p | 0xFF000000u;  // opaque, as the cache is
        }
}

} // namespace

// ------------------------------------------------------------------ layout

void TsSkinProvider::UpdateButtonsLayout() {
    if (!Form) return;
    const HWND window = WindowOf(Form);
    const TsSkinManager *manager = FSkinData->GetSkinManager();
    const TsSkinData *global = manager ? manager->SkinData.get() : nullptr;
    const vcl::TRect margins = GetShadowMargins();
    const bool zoomed = window && IsZoomed(window);
    const bool iconic = window && IsIconic(window);
    const int border = GetBorderWidth(window, BorderObject(), true);
    const int caption = GetCaptionHeight(true);

    // The caption's centre line and the fixed top of aligned buttons, in
    // the frame image.
    int top = 0;
    if (BorderForm) {
        // The skin's caption holds the top frame.
        top = GetButtonsTop();
        CaptionBottom = caption + margins.Top;
        ButtonCenterY = CaptionBottom - GetTitleHeight(false) / 2;
        if (global && !(zoomed && global->TitleHeight != global->MaxHeight)) ButtonCenterY += global->CenterOffset;
    } else {
        ButtonCenterY = caption / 2;
        top = zoomed ? SystemFrameMetrics().SizingFrame - 1 : 0;
        CaptionBottom = GetNativeBorderWidth(window) + caption;
        ButtonCenterY += border / 2;
    }
    if (zoomed) ButtonCenterY += 2;

    IconRect.Left = border + (global ? global->BILeft : 0) + margins.Left;
    IconRect.Right = IconRect.Left + TitleIconWidth();  // 0 wide without an icon
    IconRect.Top = ButtonCenterY - TitleIconHeight() / 2;
    IconRect.Bottom = IconRect.Top + TitleIconHeight();

    int x = CacheWidth() - (global ? global->BIRight : 0) - margins.Right - std::max(border, 4);
    if (!NormalCaption()) x += 2 - GetSkinSideExcess(BorderObject());
    const int limit = x;
    const int buttonHeight = CaptionButtonSize(MaskAt(manager, ButtonClose.ImageIndex)).cy;
    const int spacing = NormalCaption() && global ? global->BISpace : 0;
    const bool fixedTop = global && global->BIVAlign == 1;
    const auto place = [&](TsCaptionButton &Button, int Width) {
        Button.Rect.Right = x;
        Button.Rect.Left = x - Width;
        Button.Rect.Top = Button.HaveAlignment && fixedTop ? top : ButtonCenterY - buttonHeight / 2;
        Button.Rect.Bottom = Button.Rect.Top + buttonHeight;
        x = Button.Rect.Left - spacing;
    };

    if (HasSystemMenu() && SystemMenu) {
        place(ButtonClose, BorderIconWidth(ButtonClose));
        if (SystemMenu->VisibleMax()) {
            ButtonMax.ImageIndex = TitleIconIndex(manager, zoomed ? tiBigNorm : tiBigMax);
            place(ButtonMax, BorderIconWidth(ButtonMax));
        } else {
            ButtonMax.Rect = {};
        }
        if (SystemMenu->VisibleMin()) {
            ButtonMin.ImageIndex = TitleIconIndex(manager, iconic && !IsMainForm(Form) ? tiBigNorm : tiBigMin);
            place(ButtonMin, BorderIconWidth(ButtonMin));
        } else {
            ButtonMin.Rect = {};
        }
        if (Form->BorderIcons().Contains(vcl::biHelp)) {
            x -= ButtonGroupGap;
            place(ButtonHelp, BorderIconWidth(ButtonHelp));
        } else {
            ButtonHelp.Rect = {};
        }
    } else {
        ButtonClose.Rect = ButtonMax.Rect = ButtonMin.Rect = ButtonHelp.Rect = {};
    }

    if (FTitleButtons->Count() > 0) {
        x -= ButtonGroupGap;
        const bool maskValid = manager && manager->IsValidMaskIndex(TitleButtonMaskIndex);
        for (int i = 0; i < FTitleButtons->Count(); ++i) {
            TsTitleButton &button = *FTitleButtons->Items(i);
            button.Data.HitCode = htTitleButton + i;
            if (!button.Visible()) {
                button.Data.Rect = {};
                continue;
            }
            button.Data.ImageIndex = button.UseSkinData() && maskValid ? TitleButtonMaskIndex : -1;
            place(button.Data, TitleButtonWidth(button));
        }
    }

    if (FTitleBar) {
        bool leftItems = false;
        for (int i = 0; i < FTitleBar->Items()->Count(); ++i) {
            const TvlTitleBarItem &item = *FTitleBar->Items()->Items(i);
            leftItems = leftItems || (item.Visible() && item.Align() == tbaLeft);
        }
        TvlTitleArea &area = FTitleBar->Area;
        area.Left = IconRect.Right + (ShowsIcon() && leftItems ? 6 : 0);
        area.Top = GetButtonsTop();
        area.Right = x - 6;
        area.Bottom = CaptionBottom;
        area.Limit = limit;
        area.ButtonCenterY = ButtonCenterY;
        FTitleBar->Arrange();
    }
}

// ---------------------------------------------------------------- painting

bool TsSkinProvider::ButtonsPaintable() const {
    const vcl::TBitmap *cache = FSkinData->CacheBmp();
    // Not compared with the form's size: a minimized form's frame image is
    // only its caption.
    return Form && FDrawNonClientArea && Skinned() && cache && !cache->Empty();
}

void TsSkinProvider::DrawButtonImage(const TsCaptionButton &Button, int ImageIndex, bool Inactive) {
    const TsMaskData *mask = MaskAt(FSkinData->GetSkinManager(), ImageIndex);
    if (!mask || Button.State < 0 || Button.Rect.IsEmpty()) return;
    vcl::TBitmap &cache = *FSkinData->CacheBmp();
    // Key pixels leave the caption under them as it is.
    TvlBgInfo behind;
    InitBgInfo(&cache, 0, 0, behind);
    // A fading button's other looks are its layer's: the frame shows it normal.
    const int state = Button.Timer ? 0 : Button.State;
    DrawSkinGlyph(cache, {Button.Rect.Left, Button.Rect.Top}, state, Inactive ? gmFaded : gmNormal, *mask, behind);
}

void TsSkinProvider::DrawTitleButton(TsTitleButton &Button, int Index, bool OwnRules) {
    TsCaptionButton &data = Button.Data;
    data.HitCode = htTitleButton + Index;
    if (!Button.Visible() || data.Rect.IsEmpty()) return;
    const bool inactive = OwnRules ? !FormActive && data.State == 0
                                   : (!FormActive || !Button.Enabled() || !Form->Enabled()) &&
                                         (data.State == 0 || data.Timer);
    if (!OwnRules || Button.UseSkinData()) DrawButtonImage(data, data.ImageIndex, inactive);
    vcl::TBitmap *glyph = Button.Glyph();
    if (!glyph || glyph->Empty()) return;
    // A pressed glyph sinks in, also where the whole frame is drawn for the
    // press (beside title-bar items); a fading one's look is its layer's.
    const int shift = data.State == 2 && (OwnRules || !data.Timer) ? 1 : 0;
    DrawTitleGlyph(*FSkinData->CacheBmp(), *glyph, data.Rect.Left + (data.Rect.Width() - glyph->Width()) / 2 + shift,
                   data.Rect.Top + (data.Rect.Height() - glyph->Height()) / 2 + shift);
}

void TsSkinProvider::DrawAllButtons(int Skip) {
    const HWND window = WindowOf(Form);
    if (HasSystemMenu() && SystemMenu) {
        const bool formDisabled = !Form->Enabled();
        const auto draw = [&](const TsCaptionButton &Button, bool Enabled) {
            if (Button.HitCode == Skip) return;
            DrawButtonImage(Button, Button.ImageIndex,
                            (!FormActive || !Enabled || formDisabled) && (Button.State == 0 || Button.Timer));
        };
        draw(ButtonClose, SystemMenu->VisibleClose() && NativeCloseEnabled(window));
        if (SystemMenu->VisibleMax()) draw(ButtonMax, SystemMenu->EnabledMax());
        if (SystemMenu->VisibleMin()) draw(ButtonMin, SystemMenu->EnabledMin());
        if (Form->BorderIcons().Contains(vcl::biHelp)) draw(ButtonHelp, true);
    }
    for (int i = 0; i < FTitleButtons->Count(); ++i)
        if (htTitleButton + i != Skip) DrawTitleButton(*FTitleButtons->Items(i), i, false);
}

void TsSkinProvider::PaintBorderIcons(int CaptionWidth) {
    if (!ButtonsPaintable()) return;
    GdiFlush();  // what GDI drew into the cache is in its pixels
    RestoreButtonsArea(CaptionWidth);
    DrawAllButtons(0);
    PaintTitleBarItems(CaptionWidth);
    PlaceMDIButtons();
    for (const TsCaptionButton *b : {&MDIClose, &MDINorm, &MDIMin}) DrawMDIButton(*b);
}

bool TsSkinProvider::MDIButtonsShown() const {
    return IsMDIParent() && Form->Menu() && MDIChildMaximized() && MenuLineBmp && MenuLinePainted();
}

void TsSkinProvider::PlaceMDIButtons() {
    MDIClose.Rect = MDINorm.Rect = MDIMin.Rect = {};
    if (!MDIButtonsShown()) return;
    const HWND window = WindowOf(Form);
    const vcl::TSize size{BorderIconWidth(MDIClose),
                          CaptionButtonSize(MaskAt(FSkinData->GetSkinManager(), MDIClose.ImageIndex)).cy};
    const int row = GetMenuLineHeight();
    const int right = CacheWidth() - GetBorderWidth(window, BorderObject(), true) - GetShadowMargins().Right;
    const TvlChildButtons placed =
        PlaceChildButtons(right, MenuLineTop() + (GetMenuLineCount() - 1) * row, row, size);
    MDIClose.Rect = placed.Close;
    MDINorm.Rect = placed.Restore;
    MDIMin.Rect = placed.Minimize;
}

void TsSkinProvider::DrawMDIButton(const TsCaptionButton &Button, bool WholeFrame) {
    // Restoring the child is pressing its parent's maximize (the parent's own
    // restore is off whenever the parent is not maximized): off, it shows off.
    const bool restoreOff = &Button == &MDINorm && !(SystemMenu && SystemMenu->EnabledMax());
    const bool minimizeOff = &Button == &MDIMin && !(SystemMenu && SystemMenu->EnabledMin());
    // A minimize that is off shows off with the whole frame; repainted on
    // its own it is not shown at all.
    if (minimizeOff && !WholeFrame) return;
    int image = Button.ImageIndex;
    if (&Button == &MDINorm && MDIChildMaximized()) image = RestoreGlyph(FSkinData->GetSkinManager());
    const bool inactive = !FormActive && (WholeFrame || Button.State == 0);
    DrawButtonImage(Button, image, restoreOff || minimizeOff || inactive);
}

void TsSkinProvider::PaintMDIButtonState(const TsCaptionButton &Button) {
    const HWND window = WindowOf(Form);
    if (!window || !MDIButtonsShown() || !ButtonsPaintable() || Button.State == -1 || Button.Rect.IsEmpty()) return;
    // The line's band behind it, then its look, then onto the window.
    const vcl::TRect &r = Button.Rect;
    const HDC cache = FSkinData->CacheBmp()->Canvas()->Handle();
    BitBlt(cache, r.Left, r.Top, r.Width(), r.Height(), MenuLineBmp->Canvas()->Handle(), r.Left - MenuLineOrigin.X,
           r.Top - MenuLineOrigin.Y, SRCCOPY);
    DrawMDIButton(Button, false);
    GdiFlush();
    if (!IsWindowVisible(window)) return;
    const vcl::TPoint offset = WindowToFrameOffset();
    const vcl::TWindowDC dc(window, GetWindowDC(window));
    if (dc) BitBlt(dc.Get(), r.Left - offset.X, r.Top - offset.Y, r.Width(), r.Height(), cache, r.Left, r.Top, SRCCOPY);
}

bool TsSkinProvider::PaintButtonState(int Code) {
    if (TvlTitleBarItem *item = ItemByCode(Code)) {
        // Items always fade where layers can show them; the frame then
        // shows the item plain under its layer.
        const TsSkinManager *m = FSkinData->GetSkinManager();
        if (m && item->Visible() && LayeredWindowsAvailable() && ButtonsPaintable())
            StartItemAnimation(*item, m->Effects()->AllowAnimation ? 10 : 1, item->GetState() != 0, BorderWindow());
        else
            item->FreeAnimation();
        return !ButtonsPaintable() || RepaintFrameNow();
    }
    TsCaptionButton *button = ButtonByCode(Code);
    if (!button) return true;
    if (IsMDIButton(Code)) {
        PaintMDIButtonState(*button);
        return true;
    }
    TsTitleButton *titleButton = Code >= htTitleButton ? FTitleButtons->Items(Code - htTitleButton) : nullptr;
    if (titleButton && !titleButton->Visible()) return true;
    const HWND window = WindowOf(Form);
    if (button->State == -1 || button->Rect.Left <= IconRect.Right || !window || !ButtonsPaintable()) return true;

    const bool fading = ButtonFades(Code);
    if (fading) {
        const TsSkinManager *m = FSkinData->GetSkinManager();
        const int steps = m->Effects()->AllowAnimation ? 10 : 1;
        // A press shows at once; a hot look fades in, the normal one back.
        StartButtonAnimation(*button, button->State, button->State == 2 ? 1 : steps, this, true);
    }
    if (ItemsShown()) {
        // Items may reach into the strip that a single button's repaint
        // puts back (and that the fade's picture was drawn over): the whole
        // caption is rendered again, a fading button in its normal look.
        if (!RepaintFrameNow()) return false;
    } else if (!fading && BorderForm) {
        // The border window shows the caption, opaque where the buttons'
        // strip went back. Its picture runs the children's painting.
        DrawButtonLook(Code, *button, titleButton);
        GdiFlush();
        MakeButtonsOpaque(*button);
        const vcl::TGuarded self(this);
        UpdateBorder(true, 255);
        if (!ProviderServes(self, window)) return false;
    } else if (!fading) {
        DrawButtonLook(Code, *button, titleButton);
        if (IsWindowVisible(window)) {
            const vcl::TRect &r = button->Rect;
            const vcl::TWindowDC dc(window, GetWindowDC(window));
            if (dc) BitBlt(dc.Get(), r.Left, r.Top, r.Width(), r.Height(), FSkinData->CacheBmp()->Canvas()->Handle(),
                           r.Left, r.Top, SRCCOPY);
        }
    }

    // A hot system button glows when the skin gives it a glow.
    const TsSkinManager *manager = FSkinData->GetSkinManager();
    const TsSkinData *global = manager ? manager->SkinData.get() : nullptr;
    int glow = 0, margin = 0;
    if (global && Code == HTCLOSE) glow = global->BIconCloseGlow, margin = global->BIconCloseGlowMargin;
    if (global && Code == HTMAXBUTTON) glow = global->BIconMaxGlow, margin = global->BIconMaxGlowMargin;
    if (global && Code == HTMINBUTTON) glow = global->BIconMinGlow, margin = global->BIconMinGlowMargin;
    const TsMaskData *mask = MaskAt(manager, button->ImageIndex);
    if (button->GlowID >= 0) GlowService().HideGlow(button->GlowID, false);
    if (button->State == 1 && glow >= 1 && mask && manager->Effects()->AllowGlowing && !Form->Parent() &&
        Form->FormStyle() != vcl::fsMDIChild) {
        const vcl::TPoint origin = GetFormOrigin();
        const vcl::TRect &r = button->Rect;
        const vcl::TRect screen{origin.X + r.Left, origin.Y + r.Top, origin.X + r.Right, origin.Y + r.Bottom};
        button->GlowID = GlowService().ShowGlow(screen, "GLOBALINFO", mask->PropertyName + "GLOW", *FSkinData, window,
                                                255, margin);
    }
    return true;
}

void TsSkinProvider::DrawButtonLook(int Code, TsCaptionButton &Button, TsTitleButton *TitleButton) {
    // The strip behind the buttons goes back whole, so every button is drawn
    // again: the others as the frame draws them, this one by its own rules.
    GdiFlush();
    RestoreButtonsArea(CacheWidth());
    DrawAllButtons(Code);
    if (TitleButton) {
        DrawTitleButton(*TitleButton, Code - htTitleButton, true);
        return;
    }
    const HWND window = WindowOf(Form);
    const bool iconic = IsIconic(window) != 0;
    const TsSkinManager *manager = FSkinData->GetSkinManager();
    int image = Button.ImageIndex;
    bool disabled = false;
    if (Code == HTMAXBUTTON && IsZoomed(window)) image = TitleIconIndex(manager, tiBigNorm);
    if (Code == HTMINBUTTON && iconic) image = TitleIconIndex(manager, tiBigNorm);
    if (Code == HTMAXBUTTON && iconic) {
        image = TitleIconIndex(manager, tiBigMax);
        disabled = !(SystemMenu && SystemMenu->EnabledMax());
    }
    DrawButtonImage(Button, image, disabled || (!FormActive && Button.State == 0));
}

bool TsSkinProvider::ButtonFades(int Code) const {
    const TsSkinManager *m = FSkinData->GetSkinManager();
    // Without UpdateLayeredWindow a button is painted at once. A form with a
    // border window fades its buttons also without glowing: painting one at
    // once shows the whole border window again.
    return m && (m->Effects()->AllowGlowing || BorderForm) && LayeredWindowsAvailable() && !IsMDIButton(Code) &&
           !Form->Parent() &&
           Form->FormStyle() != vcl::fsMDIChild && !ShowAnimating && !ModuleState().FormAnimationActive &&
           !(StateFlags & (pfBlendOnMoving | pfMinimizeAnimation | pfRestoreAnimation));
}

std::unique_ptr<vcl::TBitmap> TsSkinProvider::ButtonPicture(int Code, int State) {
    TsCaptionButton *button = ButtonByCode(Code);
    if (!button || button->Rect.IsEmpty() || !ButtonsPaintable()) return nullptr;
    TsTitleButton *titleButton = Code >= htTitleButton ? FTitleButtons->Items(Code - htTitleButton) : nullptr;
    // The look drawn into the cache as the frame would show it, taken, and
    // the cache given its normal look back. Taken opaque, with the caption
    // under its key pixels, it needs no alpha of its own: a picture of the
    // image alone would show the key colour, or holes, around a glyph.
    TvlSBAnimation *timer = std::exchange(button->Timer, nullptr);
    const int saved = std::exchange(button->State, State);
    DrawButtonLook(Code, *button, titleButton);
    GdiFlush();
    const vcl::TRect &r = button->Rect;
    auto picture = NewBitmap32(r.Width(), r.Height());
    CopyPixels(picture->View(), 0, 0, FSkinData->CacheBmp()->View(), r.Left, r.Top, r.Width(), r.Height());
    SetRectAlpha(*picture, {0, 0, r.Width(), r.Height()}, 255);
    button->Timer = timer;
    button->State = 0;
    DrawButtonLook(Code, *button, titleButton);
    // The border window shows the cache with its alpha.
    if (BorderForm) {
        GdiFlush();
        MakeButtonsOpaque(*button);
    }
    button->State = saved;
    return picture;
}

void TsSkinProvider::MakeButtonsOpaque(const TsCaptionButton &Button) {
    vcl::TBitmap &cache = *FSkinData->CacheBmp();
    // Inside the frame only: the strip reaches into the shadow beside it,
    // which keeps its own alpha.
    const int right = cache.Width() - GetShadowMargins().Right;
    const auto opaque = [&](const vcl::TRect &R) {
        SetRectAlpha(cache, {R.Left, R.Top, std::min(R.Right, right), R.Bottom}, 255);
    };
    if (ButtonsBackup)
        opaque({ButtonsBackupPos.X, ButtonsBackupPos.Y, ButtonsBackupPos.X + ButtonsBackup->Width(),
                ButtonsBackupPos.Y + ButtonsBackup->Height()});
    opaque(Button.Rect);
}

bool TsSkinProvider::FreeButtonAnimations() {
    bool freed = false;
    const auto free = [&](TvlSBAnimation *Animation) {
        freed = freed || Animation;
        delete Animation;
    };
    for (TsCaptionButton *b : {&ButtonMin, &ButtonMax, &ButtonHelp, &ButtonClose, &MDIMin, &MDINorm, &MDIClose})
        free(b->Timer);
    if (FTitleButtons)
        for (int i = 0; i < FTitleButtons->Count(); ++i) free(FTitleButtons->Items(i)->Data.Timer);
    if (FTitleBar)
        for (int i = 0; i < FTitleBar->Items()->Count(); ++i) {
            TvlTitleBarItem *item = FTitleBar->Items()->Items(i);
            freed = freed || item->Animation();
            item->FreeAnimation();
        }
    return freed;
}

// ------------------------------------------------------------------ states

TsCaptionButton *TsSkinProvider::ButtonByCode(int Code) {
    switch (Code) {
    case HTCLOSE: return &ButtonClose;
    case HTMAXBUTTON: return &ButtonMax;
    case HTMINBUTTON: return &ButtonMin;
    case HTHELP: return &ButtonHelp;
    case htMDIClose: return &MDIClose;
    case htMDIRestore: return &MDINorm;
    case htMDIMinimize: return &MDIMin;
    default: break;
    }
    if (Code >= htTitleButton && Code < htTitleButton + FTitleButtons->Count())
        return &FTitleButtons->Items(Code - htTitleButton)->Data;
    return nullptr;
}

bool TsSkinProvider::SetHotButton(int Code, bool Repaint) {
    if (Code == CurrentButton || !FDrawNonClientArea) return true;
    // The system does not hear the mouse that left the menu line for a
    // caption button: the item it left highlighted is ended here.
    EndLineItemHighlight();
    if (Code >= 1 && !ButtonByCode(Code) && !IsTitleItemCode(Code)) return true;
    if (ItemHintTimerObject) ItemHintTimerObject->SetEnabled(false);
    // An item's handlers may free this provider, with its form or alone.
    const vcl::TGuarded alive(this);
    // The button left.
    const int old = CurrentButton;
    if (old >= 1) {
        if (TvlTitleBarItem *item = ItemByCode(old)) {
            item->HideHint();
            if (item->OnMouseLeave) item->OnMouseLeave(item);
            if (!alive) return false;
            // The handler may have taken the title bar away.
            if (ItemByCode(old) == item) {
                item->SetState(0);
                if (Repaint && !PaintButtonState(old)) return false;
            }
        } else if (TsCaptionButton *button = ButtonByCode(old)) {
            button->State = 0;
            if (old >= htTitleButton) FTitleButtons->Items(old - htTitleButton)->HintWindow.reset();
            if (Repaint && !PaintButtonState(old)) return false;
        }
    }
    CurrentButton = Code;
    if (FormsState().FormButtonPressed || Code < 1) return true;
    if (TvlTitleBarItem *item = ItemByCode(Code)) {
        if (item->OnMouseEnter) item->OnMouseEnter(item);
        if (!alive) return false;
        if (ItemByCode(Code) != item || CurrentButton != Code) return true;
        item->SetState(1);
        ArmItemHint(*item);
        if (Repaint && !PaintButtonState(Code)) return false;
        if (ItemByCode(Code) == item && item->GetState() == 2) {
            // A Down item, or one whose menu is open, keeps its pressed look
            // in the frame under its layer: the frame is shown at once,
            // drawn while the item's own state is normal, and it is hot after.
            item->State = 0;
            if (!RepaintFrameNow()) return false;
            if (ItemByCode(Code) == item) item->State = 1;
        }
        return true;
    }
    // The left item's OnMouseLeave may have freed the item entered, or the
    // whole title bar.
    TsCaptionButton *button = ButtonByCode(Code);
    if (!button) return true;
    button->State = 1;
    if (Code >= htTitleButton) {
        TsTitleButton &title = *FTitleButtons->Items(Code - htTitleButton);
        title.HintWindow = ShowHintAt(title.Hint(), GetCursorPoint());
    }
    return !Repaint || PaintButtonState(Code);
}

bool TsSkinProvider::SetPressedButton(int Code) {
    TsCaptionButton *button = ButtonByCode(Code);
    TvlTitleBarItem *item = ItemByCode(Code);
    if (!button && !item) return true;
    const int old = CurrentButton;
    if (old >= 1 && old != Code) {
        // The left one's repaint may free this provider, or the item.
        if (TvlTitleBarItem *previousItem = ItemByCode(old)) {
            previousItem->SetState(0);
            if (!PaintButtonState(old)) return false;
        } else if (TsCaptionButton *previous = ButtonByCode(old)) {
            previous->State = 0;
            if (!PaintButtonState(old)) return false;
        }
        item = ItemByCode(Code);
        if (!button && !item) return true;
    }
    CurrentButton = Code;
    if (item) {
        item->HideHint();
        if (item->Style() == bsTab) {
            item->FreeAnimation();
            CurrentButton = -1;
            FormsState().FormButtonPressed = true;
            return true;
        }
        item->SetState(2);
        PressedCode = Code;
        FormsState().FormButtonPressed = true;
        return PaintButtonState(Code);
    }
    const HWND window = WindowOf(Form);
    const bool maximizeAllowed = SystemMenu && (SystemMenu->EnabledMax() ||
                                                (window && IsZoomed(window) && SystemMenu->EnabledRestore()));
    if ((Code == HTMAXBUTTON && !maximizeAllowed) || (Code == HTCLOSE && !NativeCloseEnabled(window)) ||
        (Code == htMDIRestore && !(SystemMenu && SystemMenu->EnabledMax()))) {
        CurrentButton = 0;
        return true;
    }
    button->State = 2;
    PressedCode = Code;
    FormsState().FormButtonPressed = true;
    return PaintButtonState(Code);
}

// --------------------------------------------------------------- hit-tests

int TsSkinProvider::ButtonHitCode(vcl::TPoint P) {
    const HWND window = WindowOf(Form);
    const bool iconic = window && IsIconic(window);
    const auto over = [&](const TsCaptionButton &Button) { return Contains(Button.Rect, P); };
    if (HasSystemMenu() && SystemMenu) {
        if (over(ButtonClose)) return NativeCloseEnabled(window) ? HTCLOSE : HTCAPTION;
        if (SystemMenu->VisibleMax() && over(ButtonMax))
            return SystemMenu->EnabledMax() || (SystemMenu->EnabledRestore() && !iconic) ? HTMAXBUTTON : HTCAPTION;
        if ((SystemMenu->VisibleMin() || iconic) && over(ButtonMin))
            return iconic || SystemMenu->EnabledMin() ? HTMINBUTTON : HTCAPTION;
        if (Form->BorderIcons().Contains(vcl::biHelp) && over(ButtonHelp)) return HTHELP;
    }
    for (int i = 0; i < FTitleButtons->Count(); ++i) {
        const TsTitleButton &button = *FTitleButtons->Items(i);
        if (button.Visible() && over(button.Data)) return button.Enabled() ? htTitleButton + i : HTCLIENT;
    }
    if (const int item = ItemHitCode(P); item >= htTitleBarItem) return item;
    return HTCLIENT;
}

bool TsSkinProvider::OverSizeGrip(vcl::TPoint P) const {
    const HWND window = WindowOf(Form);
    const TsSkinManager *manager = FSkinData->GetSkinManager();
    const TsMaskData *grip = manager ? MaskAt(manager, manager->CommonElements.GripImage) : nullptr;
    if (!window || !grip) return false;
    // The window's inner edges where it lies in the frame image.
    const vcl::TPoint offset = WindowToFrameOffset();
    const int border = GetBorderWidth(window, BorderObject(), false);
    const int right = offset.X + WindowWidth(window) - border;
    const int bottom = offset.Y + WindowHeight(window) - border;
    bool shown = GripVisible();
    if (!shown && FormScrollAdapter) {
        // The corner square between the form's two scroll bars.
        const TvlScrollBarState horz = FormScrollAdapter->HorzScrollBar(), vert = FormScrollAdapter->VertScrollBar();
        shown = horz.Visible && vert.Visible && P.X >= right - vert.Width && P.X < right &&
                P.Y >= bottom - horz.Width && P.Y < bottom;
    }
    return shown && P.X >= right - GetMaskFrameWidth(*grip) && P.Y >= bottom - GetMaskFrameHeight(*grip);
}

int TsSkinProvider::CalcHitTest(const vcl::TMessage &Message) {
    const HWND window = WindowOf(Form);
    if (!window) return HTNOWHERE;
    const vcl::TPoint screen = ScreenPointOf(Message.LParam);
    const vcl::TPoint p = ScreenToWindowPoint(screen.X, screen.Y);
    if (BorderForm) {
        // The window keeps only its client area; the border form knows the rest.
        if (Contains(BorderForm->BorderClientRect(), p)) return HTCLIENT;
        const int code = BorderForm->Border().HitTest(Message);
        return code == htAskBorderForm ? HTCLIENT : code;
    }
    if (const int code = ButtonHitCode(p); code != HTCLIENT) return code;

    const int width = WindowWidth(window), height = WindowHeight(window);
    const int border = GetBorderWidth(window);
    const int nativeTop = GetNativeBorderWidth(window);
    if (!IsZoomed(window) && (GetWindowLongPtrW(window, GWL_STYLE) & WS_SIZEBOX)) {
        int code = 0;
        if (p.Y < nativeTop) code = HTTOP;
        else if (p.Y > height - border) code = HTBOTTOM;
        if (p.X < border) code = code == HTTOP ? HTTOPLEFT : code == HTBOTTOM ? HTBOTTOMLEFT : HTLEFT;
        else if (p.X > width - border) code = code == HTTOP ? HTTOPRIGHT : code == HTBOTTOM ? HTBOTTOMRIGHT : HTRIGHT;
        if (code != 0) return code;
    }

    const int nativeCaption = GetSysCaptionHeight(*Form);
    const int captionBand = nativeCaption + nativeTop;
    if (p.Y >= 0 && p.Y <= captionBand) {
        if (IsBetween(p.Y, nativeTop + nativeCaption, nativeTop + GetCaptionHeight(true) + GetMenuLineHeight(), false))
            return HTMENU;
        return Contains(IconRect, p) ? HTSYSMENU : HTCAPTION;
    }
    if (p.Y <= captionBand + GetMenuLineCount() * GetMenuLineHeight()) {
        if (MDIButtonsShown()) {
            const vcl::TPoint offset = WindowToFrameOffset();
            const vcl::TPoint f{p.X + offset.X, p.Y + offset.Y};
            for (const TsCaptionButton *b : {&MDIClose, &MDINorm, &MDIMin})
                if (Contains(b->Rect, f)) return b->HitCode;
        }
        return HTMENU;
    }
    if (OverSizeGrip(p)) return HTBOTTOMRIGHT;
    return HTCLIENT;
}

// ---------------------------------------------------------------- measures

int TsSkinProvider::GetButtonsTop() const {
    const HWND window = WindowOf(Form);
    const bool zoomed = window && IsZoomed(window);
    if (BorderForm) {
        const TsSkinManager *manager = FSkinData->GetSkinManager();
        const int top = GetShadowMargins().Top;
        return zoomed ? top + 4 : top + (manager && manager->SkinData ? manager->SkinData->BITop : 0);
    }
    return zoomed ? 6 : 0;
}

int TsSkinProvider::GetTitleHeight(bool Maximized) const {
    const TsSkinManager *manager = FSkinData->GetSkinManager();
    if (!manager || !manager->SkinData) return 0;
    const TsSkinData &global = *manager->SkinData;
    const HWND window = WindowOf(Form);
    if (Maximized || (window && IsZoomed(window) && global.MaxHeight != 0)) return global.MaxHeight;
    return global.TitleHeight;
}

int TsSkinProvider::TitleExcess(bool Maximized) const {
    if (!Form) return 0;
    return std::max(0, GetTitleHeight(Maximized) - (GetSysCaptionHeight(*Form) + 4));
}

} // namespace skin
