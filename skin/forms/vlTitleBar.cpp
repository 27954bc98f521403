#include "vlTitleBar.h"

#include <algorithm>
#include <utility>

#include "skin/graphics/sSkinCommand.h"
#include "skin/graphics/vlCommonUtils.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/graphics/vlPixelHelpers.h"
#include "skin/graphics/vlSkinText.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinCommands.h"
#include "skin/manager/sSkinServices.h"
#include "skin/manager/sVclUtils.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/Forms.h"
#include "vcl/GdiObjects.h"
#include "vcl/Graphics.h"
#include "vcl/HintWindow.h"
#include "vcl/ImgList.h"
#include "vcl/Menus.h"
#include "vcl/TypInfo.h"

namespace skin {

VCL_PUBLISHED(TvlFontData, p) {
    p.Property("Font", &TvlFontData::Font, [](TvlFontData &s, vcl::TFont *v) { s.SetFont(v); });
    p.Property("GlowColor", &TvlFontData::GlowColor, &TvlFontData::SetGlowColor).Default(0x808080);
    p.Property("GlowSize", &TvlFontData::GlowSize, &TvlFontData::SetGlowSize).Default(0);
    p.Property("UseSysColor", &TvlFontData::UseSysColor, &TvlFontData::SetUseSysColor).Default(true);
    p.Property("UseSysFontName", &TvlFontData::UseSysFontName, &TvlFontData::SetUseSysFontName).Default(true);
    p.Property("UseSysGlowing", &TvlFontData::UseSysGlowing, &TvlFontData::SetUseSysGlowing).Default(true);
    p.Property("UseSysSize", &TvlFontData::UseSysSize, &TvlFontData::SetUseSysSize).Default(true);
    p.Property("UseSysStyle", &TvlFontData::UseSysStyle, &TvlFontData::SetUseSysStyle).Default(true);
}

VCL_PUBLISHED(TvlTitleBarItem, p) {
    p.Property("Align", &TvlTitleBarItem::Align, &TvlTitleBarItem::SetAlign).Default(tbaLeft);
    p.Property("Alignment", &TvlTitleBarItem::Alignment, &TvlTitleBarItem::SetAlignment).Default(vcl::taLeftJustify);
    p.Property("AutoSize", &TvlTitleBarItem::AutoSize, &TvlTitleBarItem::SetAutoSize).Default(true);
    p.Property("Caption", &TvlTitleBarItem::Caption, &TvlTitleBarItem::SetCaption);
    p.Property("DropdownMenu", &TvlTitleBarItem::DropdownMenu, &TvlTitleBarItem::SetDropdownMenu);
    p.Property("Down", &TvlTitleBarItem::Down, &TvlTitleBarItem::SetDown).Default(false);
    p.Property("Enabled", &TvlTitleBarItem::Enabled, &TvlTitleBarItem::SetEnabled).Default(true);
    p.Property("FontData", &TvlTitleBarItem::FontData);
    p.Property("Glyph", &TvlTitleBarItem::Glyph, [](TvlTitleBarItem &s, vcl::TBitmap *v) { s.SetGlyph(v); });
    p.Property("GroupIndex", &TvlTitleBarItem::GroupIndex, &TvlTitleBarItem::SetGroupIndex).Default(0);
    p.Property("Height", &TvlTitleBarItem::Height, &TvlTitleBarItem::SetHeight).Default(18);
    p.Property("Hint", &TvlTitleBarItem::Hint, &TvlTitleBarItem::SetHint);
    p.Property("DisabledImageIndex", &TvlTitleBarItem::DisabledImageIndex, &TvlTitleBarItem::SetDisabledImageIndex)
        .Default(-1);
    p.Property("ImageIndex", &TvlTitleBarItem::ImageIndex, &TvlTitleBarItem::SetImageIndex).Default(-1);
    p.Property("HotImageIndex", &TvlTitleBarItem::HotImageIndex, &TvlTitleBarItem::SetHotImageIndex).Default(-1);
    p.Property("PressedImageIndex", &TvlTitleBarItem::PressedImageIndex, &TvlTitleBarItem::SetPressedImageIndex)
        .Default(-1);
    p.Property("Name", &TvlTitleBarItem::Name, &TvlTitleBarItem::SetName);
    p.Property("NumGlyphs", &TvlTitleBarItem::NumGlyphs, &TvlTitleBarItem::SetNumGlyphs).Default(1);
    p.Property("ShowHint", &TvlTitleBarItem::ShowHint, &TvlTitleBarItem::SetShowHint).Default(false);
    p.Property("SkinSection", &TvlTitleBarItem::SkinSection, &TvlTitleBarItem::SetSkinSection);
    p.Property("Spacing", &TvlTitleBarItem::Spacing, &TvlTitleBarItem::SetSpacing).Default(4);
    p.Property("Style", &TvlTitleBarItem::Style, &TvlTitleBarItem::SetStyle).Default(bsButton);
    p.Property("Visible", &TvlTitleBarItem::Visible, &TvlTitleBarItem::SetVisible).Default(true);
    p.Property("Width", &TvlTitleBarItem::Width, &TvlTitleBarItem::SetWidth).Default(22);
    p.Property("OnClick", &TvlTitleBarItem::OnClick);
    p.Property("OnMouseDown", &TvlTitleBarItem::OnMouseDown);
    p.Property("OnMouseUp", &TvlTitleBarItem::OnMouseUp);
    p.Property("OnMouseEnter", &TvlTitleBarItem::OnMouseEnter);
    p.Property("OnMouseLeave", &TvlTitleBarItem::OnMouseLeave);
}

VCL_CLASS_INFO(TvlTitleItems)

VCL_PUBLISHED(TsTitleBar, p) {
    p.Property("Images", &TsTitleBar::Images, &TsTitleBar::SetImages);
    p.Property("Items", &TsTitleBar::Items, [](TsTitleBar &s, TvlTitleItems *v) { s.SetItems(v); });
    p.Property("ItemsMargin", &TsTitleBar::ItemsMargin, &TsTitleBar::SetItemsMargin).Default(3);
    p.Property("ItemsSpacing", &TsTitleBar::ItemsSpacing, &TsTitleBar::SetItemsSpacing).Default(0);
    p.Property("ShowCaption", &TsTitleBar::ShowCaption, &TsTitleBar::SetShowCaption);
}

namespace {

const char *const ItemClassName = "TvlTitleBarItem";

// The window that shows the frame image, in whose coordinates the items lie:
// the border window around a form with an extended border (its shadow
// margins included), else the form's own.
HWND FrameWindow(HWND Form) {
    const auto *provider = reinterpret_cast<const TvlFormProvider *>(SendSkinCommand(Form, SC_QUERY_FORM_PROVIDER, 0));
    const HWND border = provider ? provider->BorderWindow() : nullptr;
    return border ? border : Form;
}

HWND FormWindow(const vcl::TCustomForm *Form) {
    return Form && Form->HandleAllocated() ? Form->WindowHandle() : nullptr;
}

} // namespace

// -------------------------------------------------------------- utilities

std::unique_ptr<vcl::TFont> SystemCaptionFont() {
    auto font = std::make_unique<vcl::TFont>();
    const vcl::TFontHandle caption = CreateCaptionFont();
    if (caption) font->SetHandle(caption.Get());
    return font;
}

vcl::TSize FontTextExtent(const vcl::TFont &Font, const std::string &Text) {
    if (Text.empty()) return {};
    const vcl::TWindowDC dc;
    if (!dc) return {};
    vcl::TFont font;
    font.Assign(&Font);
    const vcl::TSelectObject selected(dc.Get(), font.Handle());
    return DCTextExtent(dc.Get(), Text);
}

std::unique_ptr<vcl::TBitmap> LoadMenuBtnPicture() {
    if (!FindResourceW(GetModuleHandleW(nullptr), L"MENUBTN", MAKEINTRESOURCEW(2) /* RT_BITMAP */)) return nullptr;
    auto picture = std::make_unique<vcl::TBitmap>();
    picture->LoadFromResourceName(nullptr, "MENUBTN");
    picture->SetPixelFormat(vcl::pf32bit);
    const vcl::TBitmapView v = picture->View();
    if (!v.HasRows()) return nullptr;
    // The picture keeps its opacity inverted (0 opaque), so that a reader
    // that drops alpha still sees it whole.
    for (int y = 0; y < v.Height; ++y)
        for (int x = 0; x < v.Width; ++x) {
            std::uint32_t &p = v.At(x, y);
            p ^= 0xFF000000u;
            if (p == 0x00FF00FFu) continue;
            const std::uint32_t a = p >> 24;
            const auto mul = [a](std::uint32_t c) { return (c * a + 127) / 255; };
            p = (a << 24) | (mul((p >> 16) & 0xFF) << 16) | (mul((p >> 8) & 0xFF) << 8) | mul(p & 0xFF);
        }
    return picture;
}

// ----------------------------------------------------------- TvlFontData

TvlFontData::TvlFontData()
    : FFont(std::make_unique<vcl::TFont>()), FWorkingFont(std::make_unique<vcl::TFont>()) {}

TvlFontData::~TvlFontData() = default;

void TvlFontData::Assign(const vcl::TPersistent *Source) {
    const auto *from = dynamic_cast<const TvlFontData *>(Source);
    if (!from) {
        inherited::Assign(Source);
        return;
    }
    FUseSysSize = from->FUseSysSize;
    FUseSysStyle = from->FUseSysStyle;
    FUseSysColor = from->FUseSysColor;
    FUseSysGlowing = from->FUseSysGlowing;
    FUseSysFontName = from->FUseSysFontName;
    FFont->Assign(from->FFont.get());
    FGlowSize = from->FGlowSize;
    FGlowColor = from->FGlowColor;
}

void TvlFontData::SetFont(const vcl::TFont *Value) { FFont->Assign(Value); }

// ------------------------------------------------------- TvlTitleBarItem

TvlTitleBarItem::TvlTitleBarItem(vcl::TCollection *Collection)
    : vcl::TCollectionItem(Collection), FGlyph(std::make_unique<vcl::TBitmap>()), FName(ItemClassName),
      FFontData(std::make_unique<TvlFontData>()) {}

TvlTitleBarItem::~TvlTitleBarItem() { FreeAnimation(); }

void TvlTitleBarItem::FreeAnimation() {
    delete FAnimation;
    FFadeBorder = nullptr;
}

HWND TvlTitleBarItem::FadeWindow() const {
    const TsTitleBar *bar = TitleBar();
    return bar ? FormWindow(bar->Form()) : nullptr;
}

HWND TvlTitleBarItem::FadeCaptionWindow() const {
    return FFadeBorder && IsWindow(FFadeBorder) ? FFadeBorder : FadeWindow();
}

vcl::TRect TvlTitleBarItem::FadeButtonRect(int) const { return Rect; }

std::unique_ptr<vcl::TBitmap> TvlTitleBarItem::FadePicture(int, int Shown) {
    if (Rect.IsEmpty()) return nullptr;
    auto picture = NewBitmap32(Rect.Width(), Rect.Height());
    if (!PaintItem) {
        picture->Canvas()->Brush()->SetColor(0x00FFFF);
        picture->Canvas()->FillRect({0, 0, Rect.Width(), Rect.Height()});
    } else {
        // The look the frame would show in that state, as if no fade ran.
        TvlItemAnimation *fade = std::exchange(FAnimation, nullptr);
        const int saved = std::exchange(State, Shown);
        PaintItem(this, picture.get(), {0, 0, Rect.Width(), Rect.Height()});
        State = saved;
        FAnimation = fade;
    }
    GdiFlush();
    SetRectAlpha(*picture, {0, 0, Rect.Width(), Rect.Height()}, 255);
    return picture;
}

void TvlTitleBarItem::FadeGone(int, TvlSBAnimation *Animation) {
    if (FAnimation == Animation) FAnimation = nullptr;
}

int TvlTitleBarItem::FrameState() const {
    return FAnimation && FAnimation->LayerForm() ? ShownItemState(0, FDown, MenuDropped) : GetState();
}

void StartItemAnimation(TvlTitleBarItem &Item, int Steps, bool FadeIn, HWND BorderWnd) {
    const TsTitleBar *bar = Item.TitleBar();
    if (!bar || !bar->Form()) return;
    Item.FFadeBorder = BorderWnd;
    StartItemAnimation(Item.FAnimation, Item, bar->Form(), FadeIn ? Item.GetState() : 0, Steps);
}

void TvlTitleBarItem::Assign(const vcl::TPersistent *Source) {
    const auto *from = dynamic_cast<const TvlTitleBarItem *>(Source);
    if (!from) {
        inherited::Assign(Source);
        return;
    }
    FAutoSize = from->FAutoSize;
    FAlign = from->FAlign;
    FCaption = from->FCaption;
    FEnabled = from->FEnabled;
    FGlyph->Assign(from->FGlyph.get());
    FGroupIndex = from->FGroupIndex;
    FHint = from->FHint;
    FImageIndex = from->FImageIndex;
    FName = from->FName;
    FNumGlyphs = from->FNumGlyphs;
    FStyle = from->FStyle;
    FVisible = from->FVisible;
    OnMouseDown = from->OnMouseDown;
    OnMouseUp = from->OnMouseUp;
    Changed(true);
}

TsTitleBar *TvlTitleBarItem::TitleBar() const {
    const auto *items = dynamic_cast<const TvlTitleItems *>(Collection());
    return items ? items->TitleBar() : nullptr;
}

void TvlTitleBarItem::Changed(bool Remeasure) {
    TsTitleBar *bar = TitleBar();
    if (!bar || bar->FormLoading()) return;
    if (Remeasure && FAutoSize) Measure(false);
    // The next fade paints the changed look; until then the frame shows it.
    if (FAnimation) FAnimation->DropLook();
    if (bar->Updating) return;
    if (SendSkinQuery(FormWindow(bar->Form()), SC_IS_UPDATING)) return;
    bar->RepaintCaption();
}

#define VL_ITEM_SETTER(Name, Type, Field, Remeasure)                                                                   \
    void TvlTitleBarItem::Set##Name(Type Value) {                                                                      \
        if (Field == Value) return;                                                                                    \
        Field = Value;                                                                                                 \
        Changed(Remeasure);                                                                                            \
    }
VL_ITEM_SETTER(Align, TvlItemAlign, FAlign, true)
VL_ITEM_SETTER(AutoSize, bool, FAutoSize, true)
VL_ITEM_SETTER(Caption, const std::string &, FCaption, true)
VL_ITEM_SETTER(Height, int, FHeight, true)
VL_ITEM_SETTER(NumGlyphs, int, FNumGlyphs, true)
VL_ITEM_SETTER(Spacing, int, FSpacing, true)
VL_ITEM_SETTER(Style, TvlBtnStyle, FStyle, true)
VL_ITEM_SETTER(Visible, bool, FVisible, true)
VL_ITEM_SETTER(Width, int, FWidth, true)
VL_ITEM_SETTER(Alignment, vcl::TAlignment, FAlignment, false)
VL_ITEM_SETTER(GroupIndex, int, FGroupIndex, false)
VL_ITEM_SETTER(Enabled, bool, FEnabled, false)
VL_ITEM_SETTER(Hint, const std::string &, FHint, false)
VL_ITEM_SETTER(ShowHint, bool, FShowHint, false)
VL_ITEM_SETTER(Name, const std::string &, FName, false)
#undef VL_ITEM_SETTER

void TvlTitleBarItem::SetGlyph(const vcl::TBitmap *Value) {
    FGlyph->Assign(Value);
    Changed(true);
}

void TvlTitleBarItem::SetDropdownMenu(vcl::TPopupMenu *Value) {
    if (FDropdownMenu == Value) return;
    TsTitleBar *bar = TitleBar();
    if (FDropdownMenu && bar) FDropdownMenu->RemoveFreeNotification(bar);
    FDropdownMenu = Value;
    if (FDropdownMenu && bar) FDropdownMenu->FreeNotification(bar);
    Changed(true);
}

void TvlTitleBarItem::SetDown(bool Value) {
    if (FDown == Value) return;
    FDown = Value;
    State = Value ? 2 : 0;
    Changed(false);
}

// A pressed item shows its pressed image: a new index starts from normal.
#define VL_IMAGE_SETTER(Name, Field, Remeasure)                                                                        \
    void TvlTitleBarItem::Set##Name(int Value) {                                                                       \
        if (Field == Value) return;                                                                                    \
        if (State == 2) State = 0;                                                                                     \
        Field = Value;                                                                                                 \
        Changed(Remeasure);                                                                                            \
    }
VL_IMAGE_SETTER(ImageIndex, FImageIndex, true)
VL_IMAGE_SETTER(HotImageIndex, FHotImageIndex, false)
VL_IMAGE_SETTER(PressedImageIndex, FPressedImageIndex, false)
VL_IMAGE_SETTER(DisabledImageIndex, FDisabledImageIndex, false)
#undef VL_IMAGE_SETTER

void TvlTitleBarItem::SetSkinSection(const std::string &Value) {
    if (FSkinSection == Value) return;
    FSkinSection = Value;
    if (SectionChanged) SectionChanged(this);
    Changed(false);
}

void TvlTitleBarItem::UpdateFont() {
    vcl::TFont &working = *FFontData->WorkingFont();
    const std::unique_ptr<vcl::TFont> caption = SystemCaptionFont();
    working.Assign(caption.get());
    const vcl::TFont &own = *FFontData->Font();
    if (!FFontData->UseSysStyle()) working.SetStyle(own.Style());
    if (!FFontData->UseSysFontName()) working.SetName(own.Name());
    working.SetHeight(FFontData->UseSysSize() ? caption->Height() : own.Height());
}

void TvlTitleBarItem::Measure(bool KeepSize) {
    if (!FVisible) return;
    const TsTitleBar *bar = TitleBar();
    TvlItemMeasureInput in;
    in.Style = FStyle;
    const vcl::TCustomImageList *images = bar ? bar->Images() : nullptr;
    if (images && FImageIndex >= 0 && FImageIndex < images->Count()) {
        in.Image = {images->Width(), images->Height()};
    } else if (!FGlyph->Empty()) {
        in.Image = {FGlyph->Width() / std::max(1, FNumGlyphs), FGlyph->Height()};
    }
    in.HasCaption = !FCaption.empty();
    if (in.HasCaption) {
        UpdateFont();
        in.Text = FontTextExtent(*FFontData->WorkingFont(), FCaption);
    }
    in.Spacing = FSpacing;
    in.HasDropdown = FDropdownMenu != nullptr;
    if (in.HasDropdown && (FStyle == bsButton || FStyle == bsMenu)) {
        vcl::TFont arrow;
        arrow.Assign(FFontData->WorkingFont());
        arrow.SetName("Marlett");
        arrow.SetCharset(SYMBOL_CHARSET);  // else the font mapper keeps a text font
        in.ArrowWidth = FontTextExtent(arrow, "u").cx;
    }
    in.ItemsMargin = bar ? bar->ItemsMargin() : 3;
    in.KeepSize = KeepSize;
    in.Width = FWidth;
    in.Height = FHeight;
    const TvlItemSize size = MeasureTitleItem(in);
    ContentSize = size.Content;
    FWidth = size.Width;
    FHeight = size.Height;
}

int TvlTitleBarItem::GetState() const { return ShownItemState(State, FDown, MenuDropped); }

void TvlTitleBarItem::SetState(int Value) { State = MenuDropped ? 2 : Value; }

void TvlTitleBarItem::DoMouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) {
    if (InClick || !FEnabled) return;
    // A collection frees its item at once: after each call out, nothing of
    // this item is touched once it is gone.
    const vcl::TGuarded alive(this);
    InClick = true;
    if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
    if (!alive) return;
    TsTitleBar *bar = TitleBar();
    if (!bar) return;
    if ((FStyle == bsButton || FStyle == bsMenu) && FDropdownMenu && FDropdownMenu->Items()->Count() > 0) {
        const HWND window = FormWindow(bar->Form());
        FDropdownMenu->SetWindowHandle(window);
        RECT frame{};
        if (window) GetWindowRect(FrameWindow(window), &frame);
        MenuDropped = true;
        bar->RepaintCaption();
        // The menu's own loop runs here; its chosen item is clicked after it.
        FDropdownMenu->Popup(frame.left + Rect.Left, frame.top + Rect.Bottom);
        if (!alive) return;
        MenuDropped = false;
        State = 0;
        FreeAnimation();
        if (TsTitleBar *still = TitleBar()) still->RepaintCaption();
        if (FDropdownMenu) FDropdownMenu->SetWindowHandle(nullptr);
        DoClick();
    } else if (FStyle == bsTab && !FDown) {
        DoClick();
        if (!alive) return;
        bar = TitleBar();
        if (!bar) return;
        bar->Updating = true;
        for (int i = 0; i < bar->Items()->Count(); ++i) {
            TvlTitleBarItem &other = *bar->Items()->Items(i);
            if (&other != this && other.Visible() && other.Style() == bsTab && other.GroupIndex() == FGroupIndex &&
                other.Down())
                other.SetDown(false);
        }
        bar->Updating = false;
        SetDown(true);
    }
}

void TvlTitleBarItem::DoMouseUp(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) {
    if (!FEnabled) return;
    const vcl::TGuarded alive(this);
    if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
    if (!alive) return;
    if (InClick && FStyle != bsTab) DoClick();
    if (!alive) return;
    InClick = false;
    State = 1;
}

void TvlTitleBarItem::DoClick() {
    InClick = false;
    if (OnClick) OnClick(this);
}

void TvlTitleBarItem::ShowHintWindow() { HintWindow = ShowHintAt(FHint, GetCursorPoint()); }

void TvlTitleBarItem::HideHint() { HintWindow.reset(); }

// ---------------------------------------------------------- TvlTitleItems

TvlTitleItems::TvlTitleItems(TsTitleBar *TitleBar)
    : vcl::TCollection(TvlTitleBarItem::StaticClassInfo(), TitleBar), FTitleBar(TitleBar) {}

TvlTitleBarItem *TvlTitleItems::Items(int Index) const {
    return static_cast<TvlTitleBarItem *>(vcl::TCollection::Items(Index));
}

TvlTitleBarItem *TvlTitleItems::Add() { return static_cast<TvlTitleBarItem *>(vcl::TCollection::Add()); }

// ------------------------------------------------------------- TsTitleBar

TsTitleBar::TsTitleBar(vcl::TComponent *AOwner) : vcl::TComponent(AOwner) {
    FForm = dynamic_cast<vcl::TCustomForm *>(AOwner);
    if (!FForm) throw vcl::EAbort(TitleBarOwnerError);
    MenuBtnBitmap = LoadMenuBtnPicture();
    FChangeLink = std::make_unique<vcl::TChangeLink>();
    FChangeLink->OnChange = vcl::TNotifyEvent::Bind<&TsTitleBar::ImagesChange>(this);
    FItems = std::make_unique<TvlTitleItems>(this);
}

TsTitleBar::~TsTitleBar() {
    FItems.reset();
    FChangeLink.reset();
}

bool TsTitleBar::FormLoading() const {
    return ComponentState().Contains(vcl::csLoading) ||
           (FForm && FForm->ComponentState().Contains(vcl::csLoading));
}

void TsTitleBar::Loaded() {
    inherited::Loaded();
    RemeasureAutoSized();
}

void TsTitleBar::RemeasureAutoSized() {
    for (int i = 0; i < FItems->Count(); ++i)
        if (TvlTitleBarItem &item = *FItems->Items(i); item.AutoSize()) item.Measure(false);
}

void TsTitleBar::ImagesChange(vcl::TObject *) {
    RemeasureAutoSized();
    RepaintCaption();
}

void TsTitleBar::SetImages(vcl::TCustomImageList *Value) {
    if (FImages == Value) return;
    if (FImages) {
        FImages->UnRegisterChanges(FChangeLink.get());
        FImages->RemoveFreeNotification(this);
    }
    FImages = Value;
    if (FImages) {
        FImages->RegisterChanges(FChangeLink.get());
        FImages->FreeNotification(this);
    }
    if (!FormLoading()) RemeasureAutoSized();
    Arrange();
    RepaintCaption();
}

void TsTitleBar::SetItems(const TvlTitleItems *Value) { FItems->Assign(Value); }

void TsTitleBar::SetShowCaption(bool Value) {
    if (FShowCaption == Value) return;
    FShowCaption = Value;
    RepaintCaption();
}

void TsTitleBar::Notification(vcl::TComponent *AComponent, vcl::TOperation Operation) {
    inherited::Notification(AComponent, Operation);
    if (Operation != vcl::opRemove) return;
    if (AComponent == FImages) FImages = nullptr;
    for (int i = 0; FItems && i < FItems->Count(); ++i)
        if (TvlTitleBarItem &item = *FItems->Items(i); item.DropdownMenu() == AComponent) item.SetDropdownMenu(nullptr);
}

void TsTitleBar::Arrange() {
    std::vector<TvlArrangedItem> items(static_cast<std::size_t>(FItems->Count()));
    for (int i = 0; i < FItems->Count(); ++i) {
        const TvlTitleBarItem &item = *FItems->Items(i);
        items[static_cast<std::size_t>(i)] = {item.Visible(), item.Align(), item.Style(), item.Width(), item.Height(),
                                              item.Rect};
    }
    Widths = ArrangeTitleItems(Area, items);
    for (int i = 0; i < FItems->Count(); ++i) FItems->Items(i)->Rect = items[static_cast<std::size_t>(i)].Rect;
}

void TsTitleBar::RepaintCaption() {
    if (FormLoading()) return;
    if (const HWND window = FormWindow(FForm))
        SendMessageW(window, SM_SKINCOMMAND, SkinCommand(SC_CAPTION_CHANGED), 1);
}

void RegisterTitleBarClasses() { vcl::RegisterClasses({&TsTitleBar::StaticClassInfo()}); }

} // namespace skin
