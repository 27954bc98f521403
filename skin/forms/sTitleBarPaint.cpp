// The provider's side of the title bar: its items' sections, their painting
// into the frame image, their hit codes and their hints.
#include "sSkinProvider.h"

#include <algorithm>

#include "skin/graphics/sMaskData.h"
#include "skin/graphics/vlAlphaBlending.h"
#include "skin/graphics/vlCommonUtils.h"
#include "skin/graphics/vlImageHelpers.h"
#include "skin/graphics/vlPixelHelpers.h"
#include "skin/graphics/vlSkinPieces.h"
#include "skin/graphics/vlSkinSections.h"
#include "skin/graphics/vlSkinText.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/sVclUtils.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/Graphics.h"
#include "vcl/ImgList.h"
#include "vlTitleBar.h"

namespace skin {

namespace {

constexpr std::uint32_t MenuBtnKey = 0x00FF00FFu;
constexpr int MenuBtnMargin = 4;

bool Contains(const vcl::TRect &R, vcl::TPoint P) {
    return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom;
}

// A glyph whole at (X, Y): a 32-bit glyph by its alpha (tinted with Tint
// unless clNone), any other keyed on its top-left pixel.
void DrawItemGlyph(vcl::TBitmap &Target, vcl::TBitmap &Glyph, int X, int Y, vcl::TColor Tint) {
    const int w = Glyph.Width(), h = Glyph.Height();
    if (w < 1 || h < 1) return;
    if (Glyph.PixelFormat() == vcl::pf32bit) {
        BlendBitmap32({X, Y, X + w, Y + h}, {0, 0, w, h}, Target, Glyph, TvlBgInfo{}, false, Tint);
        return;
    }
    vcl::TBitmap copy;
    copy.Assign(&Glyph);
    copy.SetPixelFormat(vcl::pf32bit);
    const vcl::TBitmapView src = copy.View(), dst = Target.View();
    if (!src.HasRows() || !dst.HasRows()) return;
    const std::uint32_t key = src.At(0, 0) & 0x00FFFFFFu;
    const int left = std::max(0, -X), top = std::max(0, -Y);
    const int right = std::min(w, dst.Width - X), bottom = std::min(h, dst.Height - Y);
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (const std::uint32_t p = src.At(x, y) & 0x00FFFFFFu; p != key) dst.At(X + x, Y + y) = p | 0xFF000000u;
}

void DrawPlainText(vcl::TCanvas &Canvas, const std::string &Text, vcl::TRect R, UINT Flags, vcl::TColor Colour) {
    const HDC dc = Canvas.Handle();
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, static_cast<COLORREF>(vcl::ColorToRGB(Colour) & 0xFFFFFF));
    DrawTextStr(dc, Text, R, Flags);
}

} // namespace

// The four corners of SourceRect unchanged (0x00FF00FF transparent), the
// edges and the centre stretched; a piece of no size is skipped.
void StretchNineSlice(vcl::TBitmap &Source, const vcl::TRect &SourceRect, vcl::TBitmap &Target,
                      const vcl::TRect &TargetRect, const vcl::TRect &Margins) {
    const vcl::TBitmapView src = Source.View(), dst = Target.View();
    if (!src.HasRows() || !dst.HasRows()) return;
    const int sl = SourceRect.Left, st = SourceRect.Top, sr = SourceRect.Right, sb = SourceRect.Bottom;
    const int tl = TargetRect.Left, tt = TargetRect.Top, tr = TargetRect.Right, tb = TargetRect.Bottom;
    const int ml = Margins.Left, mt = Margins.Top, mr = Margins.Right, mb = Margins.Bottom;
    const auto corner = [&](int SX, int SY, int TX, int TY, int W, int H) {
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const int dx = TX + x, dy = TY + y, sx = SX + x, sy = SY + y;
                if (dx < 0 || dy < 0 || dx >= dst.Width || dy >= dst.Height) continue;
                if (sx < 0 || sy < 0 || sx >= src.Width || sy >= src.Height) continue;
                if (const std::uint32_t p = src.At(sx, sy); p != MenuBtnKey) dst.At(dx, dy) = p;
            }
    };
    corner(sl, st, tl, tt, ml, mt);
    corner(sr - mr, st, tr - mr, tt, mr, mt);
    corner(sl, sb - mb, tl, tb - mb, ml, mb);
    corner(sr - mr, sb - mb, tr - mr, tb - mb, mr, mb);
    const HDC to = Target.Canvas()->Handle(), from = Source.Canvas()->Handle();
    const int oldMode = SetStretchBltMode(to, COLORONCOLOR);
    const auto stretch = [&](int TX, int TY, int TW, int TH, int SX, int SY, int SW, int SH) {
        if (TW <= 0 || TH <= 0 || SW <= 0 || SH <= 0) return;
        StretchBlt(to, TX, TY, TW, TH, from, SX, SY, SW, SH, SRCCOPY);
    };
    const int tw = tr - tl - ml - mr, th = tb - tt - mt - mb;
    const int sw = sr - sl - ml - mr, sh = sb - st - mt - mb;
    stretch(tl + ml, tt, tw, mt, sl + ml, st, sw, mt);                 // top
    stretch(tl + ml, tb - mb, tw, mb, sl + ml, sb - mb, sw, mb);       // bottom
    stretch(tl, tt + mt, ml, th, sl, st + mt, ml, sh);                 // left
    stretch(tr - mr, tt + mt, mr, th, sr - mr, st + mt, mr, sh);       // right
    stretch(tl + ml, tt + mt, tw, th, sl + ml, st + mt, sw, sh);       // centre
    SetStretchBltMode(to, oldMode);
    GdiFlush();
}

// ----------------------------------------------------------- preparation

void TsSkinProvider::SetTitleBarCallbacks(bool On) {
    if (!FTitleBar) return;
    if (On) {
        PrepareTitleBarItems();
        return;
    }
    for (int i = 0; i < FTitleBar->Items()->Count(); ++i) {
        TvlTitleBarItem &item = *FTitleBar->Items()->Items(i);
        item.PaintItem = {};
        item.SectionChanged = {};
    }
}

void TsSkinProvider::SetTitleBar(TsTitleBar *Value) {
    if (FTitleBar == Value) return;
    if (FTitleBar) {
        SetTitleBarCallbacks(false);
        FTitleBar->RemoveFreeNotification(this);
    }
    FTitleBar = Value;
    if (FTitleBar) {
        FTitleBar->FreeNotification(this);
        PrepareTitleBarItems();
    }
    if (!ProviderLoading()) RepaintFrameNow();
}

void TsSkinProvider::PrepareTitleBarItems() {
    if (!FTitleBar) return;
    for (int i = 0; i < FTitleBar->Items()->Count(); ++i) {
        TvlTitleBarItem &item = *FTitleBar->Items()->Items(i);
        if (!item.Section) item.Section = std::make_unique<TvlItemSectionRecord>();
        item.PaintItem = TvlItemPaintEvent::Bind<&TsSkinProvider::PaintTitleBarItem>(this);
        item.SectionChanged = vcl::TNotifyEvent::Bind<&TsSkinProvider::ResolveItemSection>(this);
        ResolveItemSection(&item);
    }
}

void TsSkinProvider::ResolveItemSection(vcl::TObject *Sender) {
    auto *item = dynamic_cast<TvlTitleBarItem *>(Sender);
    if (!item) return;
    if (!item->Section) item->Section = std::make_unique<TvlItemSectionRecord>();
    const TsSkinManager *m = FSkinData->GetSkinManager();
    if (!m) {
        *item->Section = {};
        return;
    }
    const auto find = [m](std::string_view Name) { return m->FindSectionIndex(Name); };
    const TvlItemSection chosen = ChooseItemSection(item->Style(), item->SkinSection(), find, m->FindSectionIndex("TABTOP"));
    item->Section->Name = chosen.Name;
    item->Section->Index = chosen.Index;
}

// -------------------------------------------------------------- painting

void TsSkinProvider::PaintTitleBarItems(int CaptionWidth) {
    if (!FTitleBar || !FSkinData->CacheBmp()) return;
    vcl::TBitmap &cache = *FSkinData->CacheBmp();
    TvlTitleItems &items = *FTitleBar->Items();
    // Items added since the bar was linked are prepared on their first paint.
    for (int i = 0; i < items.Count(); ++i)
        if (!items.Items(i)->Section) {
            PrepareTitleBarItems();
            break;
        }
    // Down tabs last, so that the selected tab lies over its neighbours.
    for (const bool downTabs : {false, true})
        for (int i = items.Count() - 1; i >= 0; --i) {
            TvlTitleBarItem &item = *items.Items(i);
            if (!item.Visible() || (item.Style() == bsTab && item.Down()) != downTabs) continue;
            if (item.Rect.Left > 0 && item.Rect.Right < CaptionWidth) PaintTitleBarItem(&item, &cache, item.Rect);
        }
}

void TsSkinProvider::PaintTitleBarItem(TvlTitleBarItem *Item, vcl::TBitmap *Target, vcl::TRect R) {
    TsSkinManager *m = FSkinData->GetSkinManager();
    if (!Item || !Target || !Item->Section || !m || !Form) return;
    const int section = Item->Section->Index;
    if (section >= static_cast<int>(m->Sections.size())) return;
    if (R.IsEmpty()) return;
    // A fade's picture: the caption under the item first.
    if (vcl::TBitmap *cache = FSkinData->CacheBmp(); cache && Target != cache) {
        GdiFlush();
        CopyPixels(Target->View(), R.Left, R.Top, cache->View(), Item->Rect.Left, Item->Rect.Top, R.Width(), R.Height());
    }

    // A disabled item ends at half strength over what lay under it.
    const bool disabled = !Item->Enabled() || !Form->Enabled();
    std::unique_ptr<vcl::TBitmap> under;
    const vcl::TRect whole = R;
    if (disabled) {
        under = std::make_unique<vcl::TBitmap>();
        under->SetPixelFormat(vcl::pf32bit);
        under->SetSize(R.Width(), R.Height());
        GdiFlush();
        CopyPixels(under->View(), 0, 0, Target->View(), R.Left, R.Top, R.Width(), R.Height());
    }
    if (Item->ContentSize.cx == 0 && Item->ContentSize.cy == 0) Item->Measure(true);

    Item->UpdateFont();
    TvlFontData &fontData = *Item->FontData();
    const int shown = Item->FrameState();
    const int states = section >= 0 ? m->Sections[static_cast<std::size_t>(section)].States : 0;
    const int stateIndex = ItemStateIndex(Item->Style(), shown, section, states);
    const bool caption = m->IsValidSectionIndex(CaptionSkinIndex);
    const int captionSection = caption ? CaptionSkinIndex : TitleSkinIndex;
    const int formState = m->IsValidSectionIndex(captionSection)
                              ? std::max(0, std::min<int>(FormActive, m->Sections[static_cast<std::size_t>(captionSection)].States - 1))
                              : 0;
    const auto look = [&](int Section, int State) -> const TsGenState * {
        if (!m->IsValidSectionIndex(Section)) return nullptr;
        return &m->Sections[static_cast<std::size_t>(Section)].Props[static_cast<std::size_t>(std::min(State, 2))];
    };

    vcl::TColor textColour = fontData.Font()->Color();
    switch (ItemColorSource(Item->Style(), fontData.UseSysColor(), !Item->SkinSection().empty(), section, shown)) {
    case icsFont: break;
    case icsSection: textColour = look(section, stateIndex)->FontColor; break;
    case icsCaptionSection:
        if (const TsGenState *g = look(captionSection, formState)) textColour = g->FontColor;
        break;
    case icsWhite: textColour = static_cast<vcl::TColor>(MenuBtnTextColor); break;
    }
    int glowSize = 0;
    vcl::TColor glowColour = 0;
    if (!fontData.UseSysGlowing()) {
        glowSize = fontData.GlowSize();
        glowColour = fontData.GlowColor();
    } else {
        const bool fromCaption = (Item->Style() == bsButton || Item->Style() == bsInfo) && Item->SkinSection().empty() &&
                                 shown == 0;
        if (Item->Style() == bsMenu && section < 0) {
            glowSize = 2;
            glowColour = static_cast<vcl::TColor>(MenuBtnGlowColor);
        } else if (const TsGenState *g = fromCaption ? look(captionSection, formState) : look(section, stateIndex)) {
            glowSize = std::min(g->GSize, MaxTextGlowRadius);
            glowColour = g->GCol;
        }
    }

    TvlBgInfo behind;
    InitBgInfo(Target, 0, 0, behind);
    vcl::TRect content = R;
    const int areaHeight = FTitleBar ? FTitleBar->Area.Bottom - FTitleBar->Area.Top : R.Height();
    switch (Item->Style()) {
    case bsButton:
    case bsInfo:
        if (section >= 0) PaintSkinSection(section, behind, stateIndex, R, {R.Left, R.Top}, *Target, m);
        break;
    case bsMenu:
        if (section < 0) {
            R.Bottom = std::min(R.Bottom, R.Top + areaHeight - 2);
            content = R;
            vcl::TBitmap *picture = FTitleBar ? FTitleBar->MenuBtnBitmap.get() : nullptr;
            if (picture && !picture->Empty()) {
                const int frame = picture->Width() / 3;
                const int x = frame * std::clamp(shown, 0, 2);
                StretchNineSlice(*picture, {x, 0, x + frame, picture->Height()}, *Target, R,
                                 {MenuBtnMargin, MenuBtnMargin, MenuBtnMargin, MenuBtnMargin});
            }
        } else {
            PaintSkinSection(section, behind, stateIndex, R, {R.Left, R.Top}, *Target, m);
        }
        break;
    case bsTab:
        R.Top = std::max(R.Top, R.Bottom - (areaHeight - 2));
        if (!Item->Down()) ++R.Top;
        content = R;
        if (section >= 0) PaintSkinSection(section, behind, stateIndex, R, {R.Left, R.Top}, *Target, m);
        break;
    default: break;
    }
    PaintItemContent(*Item, *Target, content, stateIndex, textColour, glowSize, glowColour);
    GdiFlush();
    // Without a border form the frame image is opaque throughout; the
    // system's text leaves alpha 0 behind.
    SetRectAlpha(*Target, content, 255);
    if (under) BlendRect32ByAlpha(*Target, *under, 128, {0, 0, whole.Width() - 1, whole.Height() - 1},
                                  {whole.Left, whole.Top});
}

void TsSkinProvider::PaintItemContent(TvlTitleBarItem &Item, vcl::TBitmap &Target, vcl::TRect R, int StateIndex,
                                      vcl::TColor TextColor, int GlowSize, vcl::TColor GlowColor) {
    (void)StateIndex;
    TsSkinManager *m = FSkinData->GetSkinManager();
    vcl::TCanvas &canvas = *Target.Canvas();
    canvas.SetFont(Item.FontData()->WorkingFont());
    const bool hasMenu = Item.DropdownMenu() && (Item.Style() == bsMenu || Item.Style() == bsButton);
    const vcl::TSize text = Item.Caption().empty() ? vcl::TSize{} : CanvasTextExtent(canvas, Item.Caption());
    const int gap = hasMenu ? ItemArrowGap(Item.Style()) : 0;
    const int arrowWidth = hasMenu ? CanvasTextExtent(canvas, "W").cy : 0;
    const bool enabled = Item.Enabled() && Form->Enabled();

    // The image: an image-list image, else the glyph.
    vcl::TCustomImageList *images = FTitleBar ? FTitleBar->Images() : nullptr;
    int index = Item.ImageIndex();
    if (enabled) {
        const int shown = Item.FrameState();
        index = shown == 1 ? Item.HotImageIndex() : shown == 2 ? Item.PressedImageIndex() : Item.ImageIndex();
    } else {
        index = Item.DisabledImageIndex();
    }
    if (index < 0) index = Item.ImageIndex();
    const bool listImage = images && index >= 0 && index < images->Count();
    vcl::TBitmap *glyph = Item.Glyph();
    const bool glyphImage = !listImage && glyph && !glyph->Empty();
    const int imageWidth = listImage ? images->Width() : glyphImage ? glyph->Width() : 0;
    const int imageHeight = listImage ? images->Height() : glyphImage ? glyph->Height() : 0;
    const bool captioned = !Item.Caption().empty();
    const int spacing = imageWidth > 0 && captioned ? Item.Spacing() : 0;

    const int margin = FTitleBar ? FTitleBar->ItemsMargin() : 3;
    const int rest = R.Width() - imageWidth - spacing - text.cx - gap - arrowWidth;
    int x = R.Left + margin + (Item.Style() == bsMenu ? 4 : 0);
    if (Item.Style() == bsTab) x = R.Left + std::max(0, rest) / 2;  // a tab's content is centred
    else if (Item.Alignment() == vcl::taRightJustify) x = R.Left + rest;
    else if (Item.Alignment() == vcl::taCenter) x = R.Left + rest / 2;

    const int centreY = R.Top + R.Height() / 2;
    if (listImage) {
        images->Draw(canvas, x, centreY - imageHeight / 2, index, true);
    } else if (glyphImage) {
        // Discoloured glyphs take their colour back once the item is hot or pressed.
        vcl::TColor tint = vcl::clNone;
        if (enabled && Item.FrameState() == 0 && m && m->Effects()->DiscoloredGlyphs()) {
            const int own = Item.Section ? Item.Section->Index : -1;
            const int caption = m->IsValidSectionIndex(CaptionSkinIndex) ? CaptionSkinIndex : TitleSkinIndex;
            if (m->IsValidSectionIndex(own)) {
                tint = m->Sections[static_cast<std::size_t>(own)].Props[0].Color;
            } else if (m->IsValidSectionIndex(caption)) {
                const TsGeneralData &section = m->Sections[static_cast<std::size_t>(caption)];
                const int state = std::min<int>(FormActive, std::clamp(section.States - 1, 0, 2));
                tint = section.Props[static_cast<std::size_t>(state)].Color;
            } else {
                tint = 0xFFFFFF;
            }
        }
        DrawItemGlyph(Target, *glyph, x, centreY - imageHeight / 2, tint);
    }
    x += imageWidth + spacing;

    const UINT flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
    const vcl::TColor colour = Form->Enabled() ? TextColor : MixColors(vcl::ColorToRGB(TextColor), 0x808080, 0.5);
    if (captioned) {
        const vcl::TRect box{x, centreY - text.cy / 2, std::min<int>(R.Right, x + text.cx), centreY - text.cy / 2 + text.cy};
        if (GlowSize > 0) {
            vcl::TBitmap mask;
            WriteTextWithEffects(Target, Item.Caption(), box, flags, 15, GlowSize, GlowColor, mask);
        }
        DrawPlainText(canvas, Item.Caption(), box, flags, colour);
        x += text.cx;
    }
    if (hasMenu) {
        x += gap;
        vcl::TFont arrowFont;
        arrowFont.Assign(Item.FontData()->WorkingFont());
        arrowFont.SetName("Marlett");
        arrowFont.SetCharset(SYMBOL_CHARSET);  // else the font mapper keeps a text font
        canvas.SetFont(&arrowFont);
        const vcl::TSize arrow = CanvasTextExtent(canvas, "u");
        const vcl::TRect box{x, centreY - arrow.cy / 2, x + std::max(arrowWidth, arrow.cx), centreY - arrow.cy / 2 + arrow.cy};
        if (GlowSize > 0) {
            vcl::TBitmap mask;
            WriteTextWithEffects(Target, "u", box, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX, 15, GlowSize, GlowColor, mask);
        }
        DrawPlainText(canvas, "u", box, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX, colour);
    }
}

// ----------------------------------------------------------- hit-testing

bool TsSkinProvider::IsTitleItemCode(int Code) const {
    return FTitleBar && Code >= htTitleBarItem && Code < htTitleBarItem + std::min(FTitleBar->Items()->Count(), 256);
}

bool TsSkinProvider::ItemsShown() const {
    for (int i = 0; FTitleBar && i < FTitleBar->Items()->Count(); ++i)
        if (FTitleBar->Items()->Items(i)->Visible()) return true;
    return false;
}

TvlTitleBarItem *TsSkinProvider::ItemByCode(int Code) const {
    return IsTitleItemCode(Code) ? FTitleBar->Items()->Items(Code - htTitleBarItem) : nullptr;
}

int TsSkinProvider::ItemHitCode(vcl::TPoint P) const {
    if (!FTitleBar) return 0;
    const int count = std::min(FTitleBar->Items()->Count(), 256);
    for (int i = 0; i < count; ++i) {
        const TvlTitleBarItem &item = *FTitleBar->Items()->Items(i);
        if (!item.Visible() || !Contains(item.Rect, P)) continue;
        // Spacers and information items are caption; so is a Down tab:
        // clicking it changes nothing.
        if (item.Style() == bsSpacing || item.Style() == bsInfo) return 0;
        if (!item.Enabled() || (item.Style() == bsTab && item.Down())) return 0;
        return htTitleBarItem + i;
    }
    return 0;
}

// ----------------------------------------------------------------- hints

void TsSkinProvider::ArmItemHint(TvlTitleBarItem &Item) {
    const TsSkinManager *m = FSkinData->GetSkinManager();
    if (!m || !m->Effects()->AllowAnimation || !Item.ShowHint() || Item.Hint().empty()) return;
    const vcl::TPoint origin = GetFormOrigin();
    ItemHintRect = {origin.X + Item.Rect.Left, origin.Y + Item.Rect.Top, origin.X + Item.Rect.Right,
                    origin.Y + Item.Rect.Bottom};
    ItemHintCode = htTitleBarItem + Item.Index();
    const int pause = vcl::Application ? vcl::Application->HintPause() : 0;
    if (pause < 1) {
        Item.ShowHintWindow();
        return;
    }
    if (!ItemHintTimerObject) {
        ItemHintTimerObject.reset(vcl::Create<vcl::TTimer>(nullptr));
        ItemHintTimerObject->OnTimer = vcl::TNotifyEvent::Bind<&TsSkinProvider::ItemHintTimer>(this);
    }
    ItemHintTimerObject->SetEnabled(false);
    ItemHintTimerObject->SetInterval(static_cast<unsigned>(pause));
    ItemHintTimerObject->SetEnabled(true);
}

void TsSkinProvider::ItemHintTimer(vcl::TObject *) {
    if (ItemHintTimerObject) ItemHintTimerObject->SetEnabled(false);
    TvlTitleBarItem *item = ItemByCode(ItemHintCode);
    if (item && CurrentButton == ItemHintCode && Contains(ItemHintRect, GetCursorPoint())) item->ShowHintWindow();
}

} // namespace skin
