#include "sSkinMenus.h"

#include <algorithm>
#include <functional>
#include <utility>

#include "skin/graphics/sMaskData.h"
#include "skin/graphics/vlCommonUtils.h"
#include "skin/graphics/vlGlyphStrips.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/graphics/vlAlphaBlending.h"
#include "skin/graphics/vlNineSlice.h"
#include "skin/graphics/vlSkinGlyphs.h"
#include "skin/graphics/vlSkinSections.h"
#include "skin/graphics/vlSkinText.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sModuleState.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/vlItemGlyphs.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/Forms.h"
#include "vcl/GdiObjects.h"
#include "vcl/Graphics.h"
#include "vcl/ImgList.h"
#include "vcl/WideText.h"
#include "vlAdaptersState.h"
#include "vlMenuAdapters.h"
#include "vlMnuWnd.h"

namespace skin {

using vcl::TMenuItem;

namespace {

constexpr UINT MsgMenuItemRegion = 0xBCB3;
constexpr UINT MsgMenuRegionLast = 0xBCB4;
constexpr int kMenuShownQuery = 8;  // SM_SKINCOMMAND: the window's shown flag

std::string StripAmpersands(std::string Text) {
    Text.erase(std::remove(Text.begin(), Text.end(), '&'), Text.end());
    return Text;
}

// The caption as it shows without its accelerator: "&&" is one "&".
std::string WithoutPrefix(const std::string &Text) {
    std::string shown;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == '&' && i + 1 < Text.size()) ++i;
        else if (Text[i] == '&') continue;
        shown += Text[i];
    }
    return shown;
}

vcl::TForm *OwningForm(const vcl::TComponent *Component) {
    for (const vcl::TComponent *c = Component; c; c = c->Owner())
        if (auto *form = dynamic_cast<vcl::TForm *>(const_cast<vcl::TComponent *>(c))) return form;
    return nullptr;
}

int TextHeight(vcl::TCanvas &Canvas, const std::string &Text, int Width) {
    vcl::TRect r = vcl::Rect(0, 0, Width, 0);
    DrawTextStr(Canvas.Handle(), Text, r, DT_CALCRECT | DT_NOCLIP | DT_EXPANDTABS | DT_WORDBREAK);
    return r.Height();
}

// The skin's border colour for lines the skin has no picture of.
vcl::TColor LineColor(const TsSkinManager &Manager) {
    const vcl::TColor colour = Manager.SkinColors[scBorderColor];
    return colour == 0xFF00FF || colour == vcl::clFuchsia ? vcl::clBtnShadow : colour;
}

bool IsMenuWindow(HWND Window) {
    wchar_t name[16]{};
    return Window && GetClassNameW(Window, name, 16) && std::wstring_view(name) == L"#32768";
}

// Where a command stands among the items of this thread's menu windows.
struct TShownCommand {
    UINT Command;
    HMENU Menu = nullptr;
    int Position = -1;
};

BOOL CALLBACK FindShownCommand(HWND Window, LPARAM Search) {
    auto &s = *reinterpret_cast<TShownCommand *>(Search);
    if (!IsMenuWindow(Window) || !IsWindowVisible(Window)) return TRUE;
    const auto menu = reinterpret_cast<HMENU>(SendMessageW(Window, MN_GETHMENU, 0, 0));
    for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID;
        if (GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info) && info.wID == s.Command) {
            s.Menu = menu;
            s.Position = i;
            return FALSE;
        }
    }
    return TRUE;
}

// The screen rectangle of Item in the popup that shows it now. A popup's
// platform menu lives only while it shows, so it is found through this
// thread's menu windows; asked in no window first, then in the window
// that owns the menu.
bool ShownItemRect(const TMenuItem &Item, RECT &Rect) {
    TShownCommand search{Item.Command()};
    EnumThreadWindows(GetCurrentThreadId(), &FindShownCommand, reinterpret_cast<LPARAM>(&search));
    if (!search.Menu) return false;
    const auto position = static_cast<UINT>(search.Position);
    if (GetMenuItemRect(nullptr, search.Menu, position, &Rect)) return true;
    const vcl::TMenu *menu = Item.GetParentMenu();
    const HWND owner = menu && menu->WindowHandle() ? menu->WindowHandle()
                                                    : (vcl::Application ? vcl::Application->Handle() : nullptr);
    return owner && GetMenuItemRect(owner, search.Menu, position, &Rect);
}

bool FaceHasChar(HDC DC, const wchar_t *Face, wchar_t Char) {
    LOGFONTW lf{};
    lf.lfHeight = -13;
    lf.lfCharSet = SYMBOL_CHARSET;
    wcsncpy(lf.lfFaceName, Face, LF_FACESIZE - 1);
    const vcl::TFontHandle font(CreateFontIndirectW(&lf));
    if (!font) return false;
    const vcl::TSelectObject selected(DC, font.Get());
    wchar_t face[LF_FACESIZE]{};
    GetTextFaceW(DC, LF_FACESIZE, face);
    WORD index = 0xFFFF;
    return _wcsicmp(face, Face) == 0 &&
           GetGlyphIndicesW(DC, &Char, 1, &index, GGI_MARK_NONEXISTING_GLYPHS) != GDI_ERROR && index != 0xFFFF;
}

// The system's submenu arrow: drawn after the item, 1 pixel in from the
// item's right edge and centred in its height, opaque in the system's
// colours (those of the highlight on a hot item).
constexpr int kMenuArrowBitmap = 32739;  // OBM_MNARROW

vcl::TSize SystemArrowSize() {
    static const vcl::TSize size = [] {
        vcl::TSize s{GetSystemMetrics(SM_CXMENUCHECK), GetSystemMetrics(SM_CYMENUCHECK)};
        if (const HBITMAP arrow = LoadBitmapW(nullptr, MAKEINTRESOURCEW(kMenuArrowBitmap))) {
            BITMAP b{};
            if (GetObjectW(arrow, sizeof b, &b)) s = {b.bmWidth, b.bmHeight};
            DeleteObject(arrow);
        }
        return s;
    }();
    return size;
}

// A system command's glyph: its character in its symbol face, 10 points
// high, centred in the height of Box, at the reading side.
void PaintSysGlyph(HDC DC, const TsSkinableMenus::TSysGlyph &Glyph, vcl::TColor Colour, RECT Box, bool RightToLeft) {
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(10, GetDeviceCaps(DC, LOGPIXELSY), 72);
    lf.lfCharSet = SYMBOL_CHARSET;
    wcsncpy(lf.lfFaceName, Glyph.Face.c_str(), LF_FACESIZE - 1);
    const vcl::TFontHandle font(CreateFontIndirectW(&lf));
    const vcl::TSelectObject selected(DC, font.Get());
    SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, vcl::ColorToRGB(Colour));
    DrawTextW(DC, &Glyph.Char, 1, &Box, DT_SINGLELINE | DT_VCENTER | (RightToLeft ? DT_RIGHT : DT_LEFT) | DT_NOCLIP);
}

// The menu is read from right to left: a middle-east system and a menu
// that is not left-to-right.
bool ReadsRightToLeft(const vcl::TMenu *Menu) {
    return Menu && Menu->BiDiMode() != vcl::bdLeftToRight && GetSystemMetrics(SM_MIDEASTENABLED);
}

// Bitmap turned about its vertical middle.
void MirrorHorizontally(vcl::TBitmap &Bitmap) {
    const int w = Bitmap.Width(), h = Bitmap.Height();
    if (w <= 1 || h <= 0) return;
    const auto copy = NewBitmap32(w, h);
    BitBlt(copy->Canvas()->Handle(), 0, 0, w, h, Bitmap.Canvas()->Handle(), 0, 0, SRCCOPY);
    StretchBlt(Bitmap.Canvas()->Handle(), w - 1, 0, -w, h, copy->Canvas()->Handle(), 0, 0, w, h, SRCCOPY);
}

// A popup window's region: its rectangle less the corner runs, or less its
// top-left pixel when there are none.
vcl::TRegionHandle MenuRegion(int Width, int Height, const std::vector<vcl::TRect> &Corners) {
    vcl::TRegionHandle region(CreateRectRgn(0, 0, Width, Height));
    const auto cut = [&](const vcl::TRect &r) {
        const vcl::TRegionHandle piece(CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom));
        CombineRgn(region.Get(), region.Get(), piece.Get(), RGN_DIFF);
    };
    if (Corners.empty()) cut(vcl::Rect(0, 0, 1, 1));
    for (const vcl::TRect &r : Corners) cut(r);
    return region;
}

bool HasRegion(HWND Window, HRGN Region) {
    const vcl::TRegionHandle current(CreateRectRgn(0, 0, 0, 0));
    return GetWindowRgn(Window, current.Get()) != ERROR && EqualRgn(current.Get(), Region);
}

bool OpensSubmenu(const TMenuItem *Item) {
    for (int i = 0; i < Item->Count(); ++i)
        if (Item->Items(i)->Visible()) return true;
    return false;
}

} // namespace

// --------------------------------------------------------------- options

TsSkinableMenus::TsSkinableMenus(TsSkinManager &Manager)
    : FManager(Manager), FCaptionFont(std::make_unique<vcl::TFont>()) {}

TsSkinableMenus::~TsSkinableMenus() = default;

int TsSkinableMenus::SkinBorderWidth() {
    if (FSkinBorderWidth < 0) {
        const int mask = FManager.FindMaskIndex("MAINMENU", "BORDERSMASK");
        if (mask >= 0) {
            const int w = FManager.Masks[static_cast<std::size_t>(mask)].BorderWidth;
            FSkinBorderWidth = w < 1 ? 3 : w;
        } else {
            FSkinBorderWidth = 0;
        }
    }
    return FSkinBorderWidth;
}

void TsSkinableMenus::ResetSectionCache() { FSkinBorderWidth = -1; }

bool TsSkinableMenus::SkinActive() const { return FManager.Active() && FManager.SkinData && FManager.SkinData->Active; }

// --------------------------------------------------------------- hooking

// The manager's switch of its popup skinning walks the menus whatever the
// stored flag says: the forms hook their menus themselves when the skin
// dresses them, which leaves that flag as it was, and an equality guard here
// would leave them hooked when popup skinning is switched off.
void TsSkinableMenus::SetActive(bool Value) { RunActive(Value); }

void TsSkinableMenus::ApplyToAllForms() {
    if (SkinActive() != FPopupSkinning) RunActive(SkinActive());
}

void TsSkinableMenus::RunActive(bool Value) {
    FPopupSkinning = Value;
    if (!vcl::Application) return;
    const bool popups = Value && FManager.SkinnedPopups();
    std::function<void(vcl::TComponent *)> walk = [&](vcl::TComponent *Owner) {
        for (int i = 0; i < Owner->ComponentCount(); ++i) {
            vcl::TComponent *c = Owner->Components(i);
            if (auto *main = dynamic_cast<vcl::TMainMenu *>(c)) {
                HookMainMenu(main, Value);
                for (int k = 0; k < main->Items()->Count(); ++k) HookItems(main->Items()->Items(k), popups);
            } else if (auto *popup = dynamic_cast<vcl::TPopupMenu *>(c)) {
                SetMenuOwnerDraw(popup, popups);
            } else if (auto *item = dynamic_cast<TMenuItem *>(c)) {
                const vcl::TMenu *menu = item->GetParentMenu();
                if (!dynamic_cast<const vcl::TMainMenu *>(menu)) HookItems(item, popups);
            }
            walk(c);
        }
    };
    walk(vcl::Application);
}

void TsSkinableMenus::HookItem(TMenuItem *Item, bool Value) {
    if (!Item) return;
    const auto draw = vcl::TAdvancedMenuDrawItemEvent::Bind<&TsSkinableMenus::SkinDrawMenuItem>(this);
    const auto measure = vcl::TMenuMeasureItemEvent::Bind<&TsSkinableMenus::SkinMeasureMenuItem>(this);
    if (IsTopLineItem(Item)) {
        // The line's own handlers; what the item had is kept to be given back.
        const auto lineDraw = vcl::TAdvancedMenuDrawItemEvent::Bind<&TsSkinableMenus::SkinDrawMenuLineItem>(this);
        const auto lineMeasure =
            vcl::TMenuMeasureItemEvent::Bind<&TsSkinableMenus::SkinMeasureMenuLineItem>(this);
        if (Value) {
            if (Item->OnAdvancedDrawItem != lineDraw || Item->OnMeasureItem != lineMeasure)
                if (!FSavedLines.count(Item->Command()))
                    FSavedLines[Item->Command()] = {Item->OnAdvancedDrawItem, Item->OnMeasureItem};
            Item->OnAdvancedDrawItem = lineDraw;
            Item->OnMeasureItem = lineMeasure;
        }
        return;
    }
    if (Value) {
        if (!Item->OnAdvancedDrawItem) Item->OnAdvancedDrawItem = draw;
        if (!Item->OnMeasureItem) Item->OnMeasureItem = measure;
    } else {
        if (Item->OnAdvancedDrawItem.Callee() == draw.Callee()) Item->OnAdvancedDrawItem = {};
        if (Item->OnMeasureItem.Callee() == measure.Callee()) Item->OnMeasureItem = {};
    }
}

void TsSkinableMenus::HookItems(TMenuItem *Item, bool Value) {
    if (!Item) return;
    HookItem(Item, Value);
    for (int i = 0; i < Item->Count(); ++i) HookItems(Item->Items(i), Value);
}

void TsSkinableMenus::SetMenuOwnerDraw(vcl::TMenu *Menu, bool On) {
    if (!Menu) return;
    const bool value = On && FManager.SkinnedPopups();
    if (dynamic_cast<vcl::TMainMenu *>(Menu)) {
        // A form's bar: the line's handlers on its items, with what the menu
        // and its items had given back when switched off; the lists below.
        HookMainMenu(Menu, value);
        for (int i = 0; i < Menu->Items()->Count(); ++i)
            for (int j = 0; j < Menu->Items()->Items(i)->Count(); ++j) HookItems(Menu->Items()->Items(i)->Items(j), value);
        return;
    }
    Menu->SetOwnerDraw(value);
    if (auto *popup = dynamic_cast<vcl::TPopupMenu *>(Menu)) {
        vcl::TMenuAnimation animation = popup->MenuAnimation();
        if (value) animation.Include(vcl::maNone);
        else animation.Exclude(vcl::maNone);
        popup->SetMenuAnimation(animation);
    }
    for (int i = 0; i < Menu->Items()->Count(); ++i) HookItems(Menu->Items()->Items(i), value);
}

void TsSkinableMenus::HookMainMenu(vcl::TMenu *Menu, bool Value) {
    if (!Menu || Menu->ComponentState().Contains(vcl::csDestroying)) return;
    const auto lineDraw = vcl::TAdvancedMenuDrawItemEvent::Bind<&TsSkinableMenus::SkinDrawMenuLineItem>(this);
    const auto lineMeasure = vcl::TMenuMeasureItemEvent::Bind<&TsSkinableMenus::SkinMeasureMenuLineItem>(this);
    const UINT key = Menu->Items()->Command();
    for (int i = 0; i < Menu->Items()->Count(); ++i) {
        TMenuItem *item = Menu->Items()->Items(i);
        if (!Value) {
            // What the application had put there comes back.
            const auto saved = FSavedLines.find(item->Command());
            if (item->OnAdvancedDrawItem.Callee() == lineDraw.Callee())
                item->OnAdvancedDrawItem = saved != FSavedLines.end() ? saved->second.Draw : vcl::TAdvancedMenuDrawItemEvent{};
            if (item->OnMeasureItem.Callee() == lineMeasure.Callee())
                item->OnMeasureItem = saved != FSavedLines.end() ? saved->second.Measure : vcl::TMenuMeasureItemEvent{};
            if (saved != FSavedLines.end()) FSavedLines.erase(saved);
        } else if (FManager.Active()) {
            if (!FManager.SkinnedPopups()) return;
            HookItem(item, true);
        }
    }
    if (Menu->Items()->Count() == 0) return;
    if (Value) {
        if (!FSavedOwnerDraw.count(key)) FSavedOwnerDraw[key] = Menu->OwnerDraw();
        Menu->SetOwnerDraw(true);
    } else {
        const auto saved = FSavedOwnerDraw.find(key);
        Menu->SetOwnerDraw(saved != FSavedOwnerDraw.end() && saved->second);
        if (saved != FSavedOwnerDraw.end()) FSavedOwnerDraw.erase(saved);
    }
}

// Controls of this class library carry no popup menu of their own.
void TsSkinableMenus::SetControlMenuOwnerDraw(vcl::TControl *, bool) {}

// --------------------------------------------------------------- geometry

bool TsSkinableMenus::IsTopLineItem(const TMenuItem *Item) {
    if (!Item) return false;
    const vcl::TMenu *menu = Item->GetParentMenu();
    return dynamic_cast<const vcl::TMainMenu *>(menu) && Item->Parent() == menu->Items();
}

bool TsSkinableMenus::IsCaptionItem(const TMenuItem *Item) {
    const std::string &c = Item->Caption();
    return c != "-" && c.size() >= 2 && c.front() == '-' && c.back() == '-';
}

vcl::TSize TsSkinableMenus::ItemGlyphSize(const TMenuItem *Item) {
    if (Item->HasBitmap()) return {Item->Bitmap()->Width(), Item->Bitmap()->Height()};
    const TMenuItem *parent = Item->Parent();
    if (parent && parent->SubMenuImages()) return {parent->SubMenuImages()->Width(), 0};
    const vcl::TMenu *menu = Item->GetParentMenu();
    if (menu && menu->Images()) return {menu->Images()->Width(), menu->Images()->Height()};
    return {16, 16};
}

int TsSkinableMenus::ExtraLineWidthFor(bool LineVisible) const {
    const TvlMenuSupport *support = FManager.MenuSupport();
    return support && support->UseExtraLine && LineVisible ? support->ExtraLineWidth : 0;
}

bool TsSkinableMenus::PopupHasBreaks(const TMenuItem *Item) const {
    const TMenuItem *parent = Item->Parent();
    if (!parent) return false;
    for (int i = 1; i < parent->Count(); ++i)
        if (parent->Items(i)->Break() != vcl::mbNone) return true;
    return false;
}

void TsSkinableMenus::SelectItemFont(vcl::TCanvas &Canvas, const TMenuItem *Item, bool WithBold) {
    if (vcl::Screen) Canvas.Font()->Assign(vcl::Screen->MenuFont());
    if (!WithBold) return;
    if (const vcl::TForm *form = OwningForm(Item)) Canvas.Font()->SetCharset(form->Font()->Charset());
    if (Item->Default()) Canvas.Font()->SetStyle(Canvas.Font()->Style() + vcl::TFontStyles{vcl::fsBold});
}

int TsSkinableMenus::ItemHeight(vcl::TCanvas &Canvas, const TMenuItem *Item) {
    if (Item->IsLine()) return 2;
    const bool caption = IsCaptionItem(Item);
    std::string text = Item->Caption();
    if (!caption && Item->ShortCut()) text += vcl::ShortCutToText(Item->ShortCut());
    const int h = TextHeight(Canvas, text, 800);
    if (caption) return h + (Margin + 1) * 2 + 1;
    return NormalItemHeight(Item, h);
}

int TsSkinableMenus::NormalItemHeight(const TMenuItem *Item, int TextHeight) const {
    return std::max(TextHeight, ItemGlyphSize(Item).cy) + (Margin + 1) * 2;
}

int TsSkinableMenus::ContentWidth(vcl::TCanvas &Canvas, TMenuItem *Item) {
    RECT clip{};
    if (GetClipBox(Canvas.Handle(), &clip) != NULLREGION) return clip.right - clip.left;
    const TMenuItem *parent = Item->Parent();
    if (!parent) return 0;
    int total = 0;
    int column = 0;
    for (int i = 0; i < parent->Count(); ++i) {
        TMenuItem *it = parent->Items(i);
        if (!it->Visible()) continue;
        if (it->Break() != vcl::mbNone && i > 0) {
            total += column + 12 + 4;
            column = 0;
        }
        int w = 0, h = 0;
        SkinMeasureMenuItem(it, &Canvas, w, h);
        column = std::max(column, w);
    }
    return total + column + 12;
}

int TsSkinableMenus::ContentHeight(vcl::TCanvas &Canvas, const TMenuItem *Item) {
    const TMenuItem *parent = Item->Parent();
    if (!parent) return 0;
    int tallest = 0;
    int column = 0;
    for (int i = 0; i < parent->Count(); ++i) {
        const TMenuItem *it = parent->Items(i);
        if (!it->Visible()) continue;
        if (it->Break() != vcl::mbNone && i > 0) {
            tallest = std::max(tallest, column);
            column = 0;
        }
        column += ItemHeight(Canvas, it);
    }
    return std::max(tallest, column);
}

// --------------------------------------------------------------- measuring

void TsSkinableMenus::QueryExtraLine(TMenuItem *FirstItem) {
    if (FExtraQuerying) return;
    FExtraQuerying = true;
    FExtraSection = "EXTRALINE";
    FExtraCaption = "Use OnGetExtraLineData event";
    FExtraGlyph.reset();
    FExtraVisible = FirstItem->Name() != "SkinSelectItem";
    if (FExtraVisible && FManager.OnGetMenuExtraLineData) {
        vcl::TBitmap *glyph = nullptr;
        FManager.OnGetMenuExtraLineData(FirstItem, FExtraSection, FExtraCaption, glyph, FExtraVisible);
        // From here on the glyph is ours, whatever the handler decided.
        FExtraGlyph.reset(glyph);
        FExtraCaption = StripAmpersands(FExtraCaption);
        if (!FExtraVisible) FExtraGlyph.reset();
    }
    FExtraQuerying = false;
}

void TsSkinableMenus::SkinMeasureMenuItem(vcl::TObject *Sender, vcl::TCanvas *ACanvas, int &Width, int &Height) {
    auto *item = dynamic_cast<TMenuItem *>(Sender);
    if (!item || !ACanvas || item->ComponentState().Contains(vcl::csDestroying)) return;
    MenuPopupShown() = true;
    // The application's handlers below may free the item.
    const vcl::TGuarded alive(item);
    TvlMenuBackground found;
    const bool cached = GetMenuBackground(item, found, nullptr, nullptr);
    ItemKind = item->IsLine() ? smDivider : IsCaptionItem(item) ? smCaption : smNormal;
    bool lineVisible = found.ExtraLineVisible;
    if (!cached && item->Parent() && item->Parent()->Count() > 0) {
        QueryExtraLine(item->Parent()->Items(0));
        if (!alive) return;
        lineVisible = FExtraVisible;
    }
    SelectItemFont(*ACanvas, item, true);
    std::string text;
    if (ItemKind == smCaption) text = "-" + item->Caption() + "-";
    else if (ItemKind == smNormal) text = item->Caption() + (item->ShortCut() ? vcl::ShortCutToText(item->ShortCut()) : "");
    if (FManager.OnGetPopupItemData) {
        FManager.OnGetPopupItemData(item, 0, ACanvas->Font());
        if (!alive) return;
    }
    const int glyph = ItemGlyphSize(item).cx;
    // A normal item's height comes from the same text measured the same way
    // as its width: measured once, with the font the canvas has now.
    int normalTextHeight = -1;
    if (!text.empty()) {
        vcl::TRect r = vcl::Rect(0, 0, ItemKind == smNormal ? 800 : 1, 0);
        DrawTextStr(ACanvas->Handle(), text, r, DT_CALCRECT | DT_NOCLIP | DT_EXPANDTABS | DT_WORDBREAK);
        Width = 2 * glyph + r.Width() + 3 * Margin + Spacing;
        if (ItemKind == smNormal) normalTextHeight = r.Height();
    } else {
        Width = 2 * glyph + 3 * Margin + Spacing;
    }
    const bool first = item->Parent() && item->Parent()->IndexOf(item) == 0;
    if (lineVisible && (!PopupHasBreaks(item) || first)) Width += ExtraLineWidthFor(lineVisible);
    Height = normalTextHeight >= 0 ? NormalItemHeight(item, normalTextHeight) : ItemHeight(*ACanvas, item);
}

void TsSkinableMenus::SkinMeasureMenuLineItem(vcl::TObject *Sender, vcl::TCanvas *ACanvas, int &Width,
                                              int &Height) {
    auto *item = dynamic_cast<TMenuItem *>(Sender);
    if (!item || !ACanvas) return;
    Height = GetSystemMetrics(SM_CYMENU) - 1;
    SelectItemFont(*ACanvas, item, false);
    Width = CanvasTextWidth(*ACanvas, StripAmpersands(item->Caption()));
    const vcl::TMenu *menu = item->GetParentMenu();
    if (menu && menu->Images() && item->ImageIndex() > -1) Width += menu->Images()->Width() + 6;
    else if (item->HasBitmap()) Width += item->Bitmap()->Width() + 6;
}

// --------------------------------------------------------------- backgrounds

bool TsSkinableMenus::GetMenuBackground(TMenuItem *Item, TvlMenuBackground &Record, HWND Window,
                                        vcl::TCanvas *Canvas) {
    Record = {};
    if (!Item) {
        if (!Window) return false;
        for (const TvlMenuBackground &b : FBackgrounds)
            if (b.Window == Window) {
                Record = b;
                return true;
            }
        return false;
    }
    TMenuItem *first = Item->Parent() && Item->Parent()->Count() > 0 ? Item->Parent()->Items(0) : Item;
    for (const TvlMenuBackground &b : FBackgrounds)
        if (b.FirstItem == first) {
            Record = b;
            return true;
        }
    if (!Canvas) return false;
    int width = 0, height = 0;
    vcl::TPoint origin{};
    if (Window) {
        RECT r{};
        if (GetWindowRect(Window, &r)) {
            width = r.right - r.left;
            height = r.bottom - r.top;
        }
        origin = MenuClientOrigin(Window);
    } else {
        width = ContentWidth(*Canvas, Item) + 2 * BorderWidth;
        height = ContentHeight(*Canvas, Item) + 2 * BorderWidth;
        origin = {BorderWidth, BorderWidth};
    }
    BuildBackground(first, width, height, Window, origin);
    for (const TvlMenuBackground &b : FBackgrounds)
        if (b.FirstItem == first) {
            Record = b;
            return true;
        }
    return false;
}

void TsSkinableMenus::BuildBackground(TMenuItem *FirstItem, int Width, int Height, HWND Window,
                                      vcl::TPoint Origin) {
    const vcl::TGuarded alive(FirstItem);
    QueryExtraLine(FirstItem);
    // The application's answer may have freed the popup: no background is kept for it then.
    if (!alive) return;
    auto bitmap = std::shared_ptr<vcl::TBitmap>(NewBitmap32(std::max(0, Width), std::max(0, Height)));
    FGlyphColumnWidth = ItemGlyphSize(FirstItem).cx;
    FIconColumnWidth = Margin + FGlyphColumnWidth + Spacing;
    const int section = FManager.FindSectionIndex("MAINMENU");
    FCornerRects.clear();
    if (section >= 0 && Width > 0 && Height > 0) {
        const vcl::TRect all = vcl::Rect(0, 0, Width, Height);
        TvlBgInfo none{};
        none.Color = 0xFF00FF;
        PaintSectionBackground(section, none, 0, all, {}, *bitmap, &FManager, -1, -1, vcl::clFuchsia);
        const int border = SkinBorderWidth();
        // The menu's own window, known while measuring too, when the menu
        // window does not exist yet.
        const vcl::TMenu *menu = FirstItem->GetParentMenu();
        HWND owner = menu ? menu->WindowHandle() : nullptr;
        if (!owner && Window) owner = GetWindow(Window, GW_OWNER);
        const bool rightToLeft = owner && (GetWindowLongW(owner, GWL_EXSTYLE) & WS_EX_RIGHT);
        const int icoLine = FManager.MenuSupport() ? FManager.FindSectionIndex(FManager.MenuSupport()->IcoLineSkin) : -1;
        if (!rightToLeft && icoLine >= 0 && Height > 2 * border) {
            const auto band = NewBitmap32(FIconColumnWidth, Height - 2 * border);
            const int x = ExtraLineWidthFor(FExtraVisible) + border;
            TvlBgInfo bg{};
            InitBgInfo(bitmap.get(), x, border, bg);
            PaintSkinSection(icoLine, bg, 0, vcl::Rect(0, 0, band->Width(), band->Height()), {x, border}, *band,
                             &FManager);
            BitBlt(bitmap->Canvas()->Handle(), x, border, band->Width(), band->Height(), band->Canvas()->Handle(), 0,
                   0, SRCCOPY);
        }
        const int mask = FManager.GetMaskIndex(section, "BORDERSMASK");
        if (mask >= 0) {
            TvlBgInfo bg{};
            InitBgInfo(bitmap.get(), 0, 0, bg);
            DrawSkinRect(*bitmap, all, bg, FManager.Masks[static_cast<std::size_t>(mask)], 0, true);
        }
        const int extra = FManager.FindSectionIndex(FExtraSection);
        if (ExtraLineWidthFor(FExtraVisible) > 0 && extra >= 0 && Height > 2 * border) {
            const int w = FManager.MenuSupport()->ExtraLineWidth;
            const auto band = NewBitmap32(w, Height - 2 * border);
            TvlBgInfo bg{};
            InitBgInfo(bitmap.get(), border, border, bg);
            PaintSkinSection(extra, bg, 0, vcl::Rect(0, 0, w, band->Height()), {border, border}, *band, &FManager);
            int offset = 12;
            if (FExtraGlyph && !FExtraGlyph->Empty()) {
                band->Canvas()->Draw((w - FExtraGlyph->Width()) / 2, band->Height() - 12 - FExtraGlyph->Height(),
                                     FExtraGlyph.get());
                offset += FExtraGlyph->Height() + 8;
            }
            if (!FExtraCaption.empty()) {
                const vcl::TFont *font = FManager.MenuSupport()->ExtraLineFont();
                LOGFONTW lf = font->LogFont();
                lf.lfEscapement = lf.lfOrientation = 900;
                lf.lfQuality = ANTIALIASED_QUALITY;
                const HFONT rotated = CreateFontIndirectW(&lf);
                const HDC dc = band->Canvas()->Handle();
                const HGDIOBJ old = SelectObject(dc, rotated);
                SetBkMode(dc, TRANSPARENT);
                SetTextColor(dc, vcl::ColorToRGB(FManager.Sections[static_cast<std::size_t>(extra)].Props[0].FontColor));
                const std::wstring text = vcl::Utf8ToWide(FExtraCaption);
                SIZE size{};
                GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
                TextOutW(dc, (w - size.cy) / 2, band->Height() - offset, text.c_str(), static_cast<int>(text.size()));
                SelectObject(dc, old);
                DeleteObject(rotated);
            }
            BitBlt(bitmap->Canvas()->Handle(), border, border, w, band->Height(), band->Canvas()->Handle(), 0, 0,
                   SRCCOPY);
        }
        FExtraGlyph.reset();
        if (ReadsRightToLeft(FirstItem->GetParentMenu())) MirrorHorizontally(*bitmap);
        FCornerRects = MenuCorners(Width, Height);
    } else if (Width > 0 && Height > 0) {
        // A skin without a menu section: the skin's main colour in a line of
        // its border colour, never the new bitmap's black.
        vcl::TCanvas &c = *bitmap->Canvas();
        c.Brush()->SetColor(LineColor(FManager));
        c.FillRect(vcl::Rect(0, 0, Width, Height));
        c.Brush()->SetColor(FManager.SkinColors[scGlobalColor]);
        c.FillRect(vcl::Rect(1, 1, Width - 1, Height - 1));
    }
    FBackgrounds.push_back({FirstItem, bitmap, Window, FExtraVisible, Origin});
    if (Window && section >= 0) ApplyMenuRegion(Window, *bitmap);
}

bool TsSkinableMenus::WindowBackground(HWND Window, TvlMenuBackground &Record) {
    if (GetMenuBackground(nullptr, Record, Window, nullptr)) return Record.Bitmap != nullptr;
    const auto menu = reinterpret_cast<HMENU>(SendMessageW(Window, MN_GETHMENU, 0, 0));
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID;
    TMenuItem *item = menu && GetMenuItemInfoW(menu, 0, TRUE, &info) ? TMenuItem::FindCommand(info.wID) : nullptr;
    // Only a popup whose items this painter draws.
    if (!item || item->OnAdvancedDrawItem != vcl::TAdvancedMenuDrawItemEvent::Bind<&TsSkinableMenus::SkinDrawMenuItem>(this) ||
        !SkinActive())
        return false;
    if (GetMenuBackground(item, Record, nullptr, nullptr)) return Record.Bitmap != nullptr;
    RECT r{};
    if (!GetWindowRect(Window, &r)) return false;
    TMenuItem *first = item->Parent() && item->Parent()->Count() > 0 ? item->Parent()->Items(0) : item;
    // The extra line's handler, asked while building, may free the items.
    const vcl::TGuarded alive(item);
    BuildBackground(first, r.right - r.left, r.bottom - r.top, Window, MenuClientOrigin(Window));
    return alive && GetMenuBackground(item, Record, nullptr, nullptr) && Record.Bitmap;
}

void TsSkinableMenus::ClearMenuBackgrounds() { FBackgrounds.clear(); }

void TsSkinableMenus::PopupInitialised() { MenuPopupShown() = true; }

TvlPopupBackground TsSkinableMenus::PopupBackground(HWND Window) {
    TvlMenuBackground record;
    if (!WindowBackground(Window, record)) return {};
    return {record.Bitmap, record.ClientOrigin};
}

void TsSkinableMenus::ApplyMenuRegion(HWND Window, vcl::TBitmap &Bitmap) {
    if (FBusy || !IsWindow(Window) || Bitmap.Empty()) return;
    if (SendSkinCommand(Window, kMenuShownQuery, 0) != 0) return;
    SendSkinCommand(Window, SC_MENU_SHOWN, 0);
    FBusy = true;
    vcl::TRegionHandle region = MenuRegion(Bitmap.Width(), Bitmap.Height(), FCornerRects);
    // A window shaped before it was shown (ShapeMenuWindow) has it already:
    // setting a shown window's region again costs as much as its painting.
    // The frame again where the new region's redraw painted the system's.
    if (!HasRegion(Window, region.Get()) && vcl::SetWindowRegion(Window, std::move(region), true))
        if (const HDC dc = GetWindowDC(Window)) {
            CopyBorderStrips(dc, 0, 0, Bitmap.Width(), Bitmap.Height(), Bitmap.Canvas()->Handle(), 0, 0, 3);
            ReleaseDC(Window, dc);
        }
    FBusy = false;
}

std::vector<vcl::TRect> TsSkinableMenus::MenuCorners(int Width, int Height) {
    const int section = FManager.FindSectionIndex("MAINMENU");
    const int mask = section >= 0 ? FManager.GetMaskIndex(section, "BORDERSMASK") : -1;
    if (mask < 0) return {};
    const TsMaskData &m = FManager.Masks[static_cast<std::size_t>(mask)];
    TAOR rects;
    GetMaskCornerRects(rects, Width, m, 0, false);
    GetMaskCornerRects(rects, Width, m, Height - FManager.MaskBottomMargin(mask), true);
    return {rects.begin(), rects.end()};
}

void TsSkinableMenus::ShapeMenuWindow(HWND Window, int Width, int Height) {
    if (!ModuleState().IsNTPlatform || Width <= 0 || Height <= 0 || FManager.FindSectionIndex("MAINMENU") < 0) return;
    vcl::SetWindowRegion(Window, MenuRegion(Width, Height, MenuCorners(Width, Height)), false);
}

void TsSkinableMenus::ApplyItemRegion(LPARAM ItemKey) {
    // The key is the item's command: an item gone meanwhile drops the request.
    TMenuItem *item = TMenuItem::FindCommand(static_cast<UINT>(ItemKey));
    if (!item) return;
    RECT r{};
    if (!ShownItemRect(*item, r)) return;
    // The window at the item's centre: with a submenu open, the first menu
    // window found would be the submenu's.
    const HWND window = WindowFromPoint({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    if (!IsMenuWindow(window)) return;
    TvlMenuBackground record;
    if (GetMenuBackground(item, record, window, nullptr) && record.Bitmap) ApplyMenuRegion(window, *record.Bitmap);
}

void TsSkinableMenus::ApplyPopupRegion(HWND Popup) {
    TvlMenuBackground record;
    if (GetMenuBackground(nullptr, record, Popup, nullptr) && record.Bitmap) ApplyMenuRegion(Popup, *record.Bitmap);
}

// --------------------------------------------------------------- painting

TsSkinableMenus::TSysGlyph TsSkinableMenus::SysCommandGlyph(HDC DC, UINT Command) {
    wchar_t c = 0;
    switch (Command) {
    case SC_MINIMIZE: c = L'0'; break;
    case SC_MAXIMIZE: c = L'1'; break;
    case SC_CLOSE: c = L'r'; break;
    case SC_RESTORE: c = L'2'; break;
    default: return {};
    }
    if (FaceHasChar(DC, L"Webdings", c)) return {L"Webdings", c};
    if (FaceHasChar(DC, L"Marlett", c)) return {L"Marlett", c};
    return {L"Webdings", c};
}

void TsSkinableMenus::RefreshFrame(HWND Window, const TMenuItem *Item, const vcl::TRect &ItemRect,
                                   const TvlMenuBackground &Bg) {
    const HDC dc = GetWindowDC(Window);
    if (!dc) return;
    const HDC src = Bg.Bitmap->Canvas()->Handle();
    const int w = Bg.Bitmap->Width();
    const int h = Bg.Bitmap->Height();
    const int b = BorderWidth;
    const bool first = Item->Parent() && Item->Parent()->Count() > 0 && [&] {
        for (int i = 0; i < Item->Parent()->Count(); ++i)
            if (Item->Parent()->Items(i)->Visible()) return Item->Parent()->Items(i) == Item;
        return false;
    }();
    const bool last = Item->Parent() && [&] {
        for (int i = Item->Parent()->Count() - 1; i >= 0; --i)
            if (Item->Parent()->Items(i)->Visible()) return Item->Parent()->Items(i) == Item;
        return false;
    }();
    if (first) {
        BitBlt(dc, 0, 0, w, b, src, 0, 0, SRCCOPY);
        const bool firstItem = Item->Parent()->IndexOf(Item) == 0;
        const int extra = !PopupHasBreaks(Item) || firstItem ? ExtraLineWidthFor(Bg.ExtraLineVisible) : 0;
        const int left = std::max(SkinBorderWidth(), b) + extra;
        BitBlt(dc, 0, 0, left, h, src, 0, 0, SRCCOPY);
    }
    if (last) BitBlt(dc, 0, h - b, w, b, src, 0, h - b, SRCCOPY);
    const int top = ItemRect.Top + Bg.ClientOrigin.Y;
    BitBlt(dc, w - b, top, b, ItemRect.Height(), src, w - b, top, SRCCOPY);
    ReleaseDC(Window, dc);
}

// The system fills the menu's client area with its own menu colour before
// the items come: what no item covers would keep it. So the gap left of a
// column shows the background over the whole height (with the bar's line,
// already in the background), and a column shorter than the menu shows it
// below its last item. Nothing is copied right of an item: there stand the
// next columns, which a repaint of this item alone would wipe out, and the
// last column's items reach to within the system's 3-pixel margin.
void TsSkinableMenus::FillUncovered(vcl::TCanvas &Canvas, const TMenuItem *Item, const vcl::TRect &ItemRect,
                                    const TvlMenuBackground &Bg, HWND Window) {
    int clientHeight = Bg.Bitmap->Height() - 2 * Bg.ClientOrigin.Y;
    RECT client{};
    if (Window && GetClientRect(Window, &client)) clientHeight = client.bottom;
    const HDC src = Bg.Bitmap->Canvas()->Handle();
    const int x = ItemRect.Left + Bg.ClientOrigin.X;
    if (Item->Break() != vcl::mbNone)
        BitBlt(Canvas.Handle(), ItemRect.Left - 4, 0, 4, clientHeight, src, x - 4, Bg.ClientOrigin.Y, SRCCOPY);
    const TMenuItem *parent = Item->Parent();
    const TMenuItem *next = nullptr;
    for (int i = parent ? parent->IndexOf(Item) + 1 : 0; parent && i > 0 && i < parent->Count() && !next; ++i)
        if (parent->Items(i)->Visible()) next = parent->Items(i);
    if ((!next || next->Break() != vcl::mbNone) && clientHeight > ItemRect.Bottom)
        BitBlt(Canvas.Handle(), ItemRect.Left, ItemRect.Bottom, ItemRect.Width(), clientHeight - ItemRect.Bottom, src,
               x, ItemRect.Bottom + Bg.ClientOrigin.Y, SRCCOPY);
}

void TsSkinableMenus::PaintDivider(vcl::TCanvas &Canvas, const vcl::TRect &ItemRect, const TvlMenuBackground &Bg) {
    const int extra = ExtraLineWidthFor(Bg.ExtraLineVisible);
    int from = extra + Margin;
    int to = ItemRect.Width() - extra - 2 * Margin;
    const int icoLine = FManager.MenuSupport() ? FManager.FindSectionIndex(FManager.MenuSupport()->IcoLineSkin) : -1;
    if (icoLine >= 0) {
        const TsGenState &s = FManager.Sections[static_cast<std::size_t>(icoLine)].Props[0];
        if (s.Transparency < 100 || s.TextureIndex >= 0) {
            from = std::max(from + Spacing, extra + FIconColumnWidth + 2);
            to -= Spacing;
        }
    }
    const vcl::TPoint at{ItemRect.Left + Bg.ClientOrigin.X, ItemRect.Top + Bg.ClientOrigin.Y};
    const auto bmp = NewBitmap32(ItemRect.Width(), std::max(1, ItemRect.Height()));
    BitBlt(bmp->Canvas()->Handle(), 0, 0, bmp->Width(), bmp->Height(), Bg.Bitmap->Canvas()->Handle(), at.X, at.Y,
           SRCCOPY);
    const int section = FManager.FindSectionIndex("DIVIDERV");
    const int mask = section >= 0 ? FManager.GetMaskIndexChecked(section, "DIVIDERV", "BORDERSMASK") : -1;
    if (mask >= 0 && to > from) {
        TvlBgInfo bg{};
        InitBgInfo(Bg.Bitmap.get(), at.X, at.Y, bg);
        DrawSkinRect(*bmp, vcl::Rect(from, 0, to, bmp->Height()), bg, FManager.Masks[static_cast<std::size_t>(mask)], 0,
                     true);
    } else if (to > from) {
        bmp->Canvas()->Brush()->SetColor(LineColor(FManager));
        bmp->Canvas()->FillRect(vcl::Rect(from, 0, to, 1));
    }
    BitBlt(Canvas.Handle(), ItemRect.Left, ItemRect.Top, bmp->Width(), bmp->Height(), bmp->Canvas()->Handle(), 0, 0,
           SRCCOPY);
}

void TsSkinableMenus::PaintCaptionItem(vcl::TCanvas &Canvas, const vcl::TRect &ItemRect, const TvlMenuBackground &Bg,
                                       const TMenuItem *Item) {
    const vcl::TPoint at{ItemRect.Left + Bg.ClientOrigin.X, ItemRect.Top + Bg.ClientOrigin.Y};
    const auto bmp = NewBitmap32(ItemRect.Width(), ItemRect.Height());
    BitBlt(bmp->Canvas()->Handle(), 0, 0, bmp->Width(), bmp->Height(), Bg.Bitmap->Canvas()->Handle(), at.X, at.Y,
           SRCCOPY);
    const int extra = ExtraLineWidthFor(Bg.ExtraLineVisible);
    int section = FManager.FindSectionIndex("MENUCAPTION");
    if (section < 0) section = FManager.FindSectionIndex("TOOLBAR");
    const vcl::TRect r = vcl::Rect(extra, 0, bmp->Width(), bmp->Height());
    if (section >= 0) {
        TvlBgInfo bg{};
        InitBgInfo(Bg.Bitmap.get(), at.X, at.Y, bg);
        PaintSkinSection(section, bg, 0, r, {at.X + extra, at.Y}, *bmp, &FManager);
    }
    bmp->Canvas()->Font()->Assign(FCaptionFont.get());
    std::string text = Item->Caption();
    text = text.substr(1, text.size() - 2);
    WriteSectionText(*bmp->Canvas(), text, true, vcl::Rect(r.Left, Margin + 2, r.Right, r.Bottom - Margin - 2),
                     DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_HIDEPREFIX, std::max(section, 0), 0, &FManager);
    BitBlt(Canvas.Handle(), ItemRect.Left, ItemRect.Top, bmp->Width(), bmp->Height(), bmp->Canvas()->Handle(), 0, 0,
           SRCCOPY);
}

void TsSkinableMenus::SkinDrawMenuItem(vcl::TObject *Sender, vcl::TCanvas *ACanvas, vcl::TRect ARect,
                                       vcl::TOwnerDrawState State) {
    auto *item = dynamic_cast<TMenuItem *>(Sender);
    if (!item || !ACanvas || !SkinActive()) return;
    // The application's handlers (the extra line's, the item's data, the
    // menu window's first frame) may free the item or turn the skin off.
    const vcl::TGuarded alive(item);
    const auto drawing = [&] { return alive && SkinActive(); };
    const vcl::TMenu *menu = item->GetParentMenu();
    const bool rtl = ReadsRightToLeft(menu);
    const HWND window = WindowFromDC(ACanvas->Handle());
    const HWND menuWindow = IsMenuWindow(window) ? window : nullptr;
    TvlMenuBackground bg;
    GetMenuBackground(item, bg, menuWindow, ACanvas);
    if (!bg.Bitmap || !drawing()) return;
    if (menuWindow) {
        AttachMenuAdapter(menuWindow, FManager);
        if (!drawing()) return;
        RefreshFrame(menuWindow, item, ARect, bg);
    } else {
        // Asked for later through the application window: the item's
        // command, which names no item once it is gone.
        MSG waiting{};
        const HWND app = vcl::Application ? vcl::Application->Handle() : nullptr;
        if (app && !PeekMessageW(&waiting, app, MsgMenuItemRegion, MsgMenuRegionLast, PM_NOREMOVE))
            PostMessageW(app, MsgMenuItemRegion, 0, static_cast<LPARAM>(item->Command()));
    }
    if (item->IsLine()) {
        ItemKind = smDivider;
        FillUncovered(*ACanvas, item, ARect, bg, menuWindow);
        PaintDivider(*ACanvas, ARect, bg);
        return;
    }
    if (IsCaptionItem(item)) {
        ItemKind = smCaption;
        FillUncovered(*ACanvas, item, ARect, bg, menuWindow);
        PaintCaptionItem(*ACanvas, ARect, bg, item);
        return;
    }
    ItemKind = smNormal;
    const TItemLayout layout = ItemLayout(item, ARect, bg, rtl);
    // Column breaks: the bar's line into the background, the strip beside
    // it. The line stands in the middle of the 4-pixel gap before the
    // column, which the strip shows: at the item's own left it would lie
    // under the item's face wherever the menu window has no frame of its
    // own (its client area then starts at the window's edge).
    if (item->Parent() && item->Parent()->IndexOf(item) < item->Parent()->Count() - 1 &&
        item->Break() == vcl::mbBarBreak) {
        const int mi = FManager.CommonElements.MenuItem.SectionIndex;
        const vcl::TColor line =
            mi >= 0 ? FManager.Sections[static_cast<std::size_t>(mi)].Props[0].FontColor : vcl::TColor(0x808080);
        bg.Bitmap->Canvas()->Brush()->SetColor(line);
        bg.Bitmap->Canvas()->FillRect(vcl::Rect(layout.At.X - 2, 0, layout.At.X - 1, bg.Bitmap->Height()));
    }
    FillUncovered(*ACanvas, item, ARect, bg, menuWindow);
    const TItemLook look = ItemLook(item, State);
    // One bitmap for the items of every popup, taken for the time of the
    // drawing: an item drawn from within a handler gets one of its own.
    std::unique_ptr<vcl::TBitmap> bmp = std::move(FItemScratch);
    if (!bmp) bmp = NewBitmap32(layout.Width, layout.Height);
    else if (bmp->Width() != layout.Width || bmp->Height() != layout.Height) bmp->SetSize(layout.Width, layout.Height);
    PaintItemFace(*bmp, bg, layout, look);
    // An image index past the list's end draws no glyph: such an item shows
    // its check mark, or its checked state would not show at all.
    const bool hasImage = menu && menu->Images() && item->ImageIndex() >= 0 &&
                          item->ImageIndex() < menu->Images()->Count();
    if (State.Contains(vcl::odChecked) && !item->HasBitmap() && !hasImage) PaintItemCheck(*bmp, item, layout, look);
    if (layout.Glyph.Width() > 0) PaintMenuGlyph(*bmp, item, layout, look, State.Contains(vcl::odChecked));
    if (menu && menu->Name().rfind("vlSysMenu", 0) == 0) PaintSysCommand(*bmp, item, layout, look);
    PaintItemLabel(*bmp->Canvas(), item, layout, look, State);
    if (!drawing()) return;
    if (layout.Arrow.Width() > 0) PaintSubmenuArrow(*bmp->Canvas(), layout, look);
    vcl::TCanvas &c = *bmp->Canvas();
    if (OnDrawItem) OnDrawItem(item, bmp->Canvas(), vcl::Rect(0, 0, layout.Width, layout.Height), State, smNormal);
    BitBlt(ACanvas->Handle(), layout.Left, ARect.Top, layout.Width, layout.Height, c.Handle(), 0, 0, SRCCOPY);
    const vcl::TRect &arrowArea = layout.ArrowArea;
    if (menuWindow && arrowArea.Width() > 0 && arrowArea.Height() > 0)
        if (TvlMnuWnd *adapter = TvlMnuArray::Instance().Find(menuWindow)) {
            auto piece = NewBitmap32(arrowArea.Width(), arrowArea.Height());
            BitBlt(piece->Canvas()->Handle(), 0, 0, arrowArea.Width(), arrowArea.Height(), c.Handle(),
                   arrowArea.Left - layout.Left, 0, SRCCOPY);
            adapter->CoverAfterSystem(arrowArea, std::move(piece));
        }
    if (layout.Extra > 0)
        BitBlt(ACanvas->Handle(), ARect.Left + (rtl ? layout.Width : 0), ARect.Top, layout.Extra, ARect.Height(),
               bg.Bitmap->Canvas()->Handle(), layout.At.X + (rtl ? layout.Width : 0), layout.At.Y, SRCCOPY);
    FItemScratch = std::move(bmp);
}

TsSkinableMenus::TItemLayout TsSkinableMenus::ItemLayout(const TMenuItem *Item, const vcl::TRect &ARect,
                                                         const TvlMenuBackground &Bg, bool Rtl) {
    TItemLayout l;
    l.Rtl = Rtl;
    const bool firstItem = Item->Parent() && Item->Parent()->IndexOf(Item) == 0;
    l.Extra = (!PopupHasBreaks(Item) || firstItem) ? ExtraLineWidthFor(Bg.ExtraLineVisible) : 0;
    l.At = {ARect.Left + Bg.ClientOrigin.X, ARect.Top + Bg.ClientOrigin.Y};
    l.Width = std::max(0, ARect.Width() - l.Extra);
    l.Height = ARect.Height();
    l.Left = ARect.Left + (Rtl ? 0 : l.Extra);
    l.Column = ItemGlyphSize(Item);
    const vcl::TMenu *menu = Item->GetParentMenu();
    vcl::TSize glyph{};
    if (Item->HasBitmap()) glyph = {Item->Bitmap()->Width(), Item->Bitmap()->Height()};
    else if (menu && menu->Images() && Item->ImageIndex() >= 0 && Item->ImageIndex() < menu->Images()->Count())
        glyph = {menu->Images()->Width(), menu->Images()->Height()};
    if (glyph.cx > 0) {
        const int y = (l.Height - glyph.cy) / 2;
        const int x = Rtl ? ARect.Right - y - glyph.cx - l.Extra : std::min(3, y);
        l.Glyph = vcl::Rect(x, y, x + glyph.cx, y + glyph.cy);
    }
    l.Text = vcl::Rect(0, 0, l.Width, l.Height);
    const int indent = l.Column.cx + 2 * Margin + Spacing;
    if (Rtl) l.Text.Right -= indent;
    else l.Text.Left += indent;
    // The submenu's arrow where the system puts its own.
    if (OpensSubmenu(Item)) {
        const vcl::TSize arrow = SystemArrowSize();
        const int half = std::max(3, std::min(arrow.cx, arrow.cy) * 3 / 8);
        const int x0 = ARect.Right - 1 - arrow.cx + (arrow.cx - half - 1) / 2 - l.Left;
        const int cy = (l.Height - 1) / 2;
        l.Arrow = vcl::Rect(x0, cy - half, x0 + half + 1, cy + half + 1);
        const int wide = std::max<int>(arrow.cx, GetSystemMetrics(SM_CXMENUCHECK)) + 2;
        l.ArrowArea = vcl::Rect(std::max(l.Left, ARect.Right - wide), ARect.Top, std::min(ARect.Right, l.Left + l.Width),
                                ARect.Bottom);
    }
    return l;
}

TsSkinableMenus::TItemLook TsSkinableMenus::ItemLook(const TMenuItem *Item, vcl::TOwnerDrawState State) const {
    TItemLook k;
    k.Enabled = Item->Enabled();
    k.Selected = State.Contains(vcl::odSelected);
    k.State = k.Enabled && k.Selected ? 1 : 0;
    k.TextState = k.Enabled && (k.Selected || State.Contains(vcl::odHotLight)) ? 1 : 0;
    k.Section = FManager.CommonElements.MenuItem.SectionIndex;
    // Without a menu-item section the selected item takes the skin's
    // selection colours, or nothing would show which one the keys reached.
    k.PlainSelection = k.Section < 0 && k.State == 1;
    return k;
}

void TsSkinableMenus::PaintItemFace(vcl::TBitmap &Bmp, const TvlMenuBackground &Bg, const TItemLayout &L,
                                    const TItemLook &K) {
    TvlBgInfo behind{};
    InitBgInfo(Bg.Bitmap.get(), L.At.X + L.Extra, L.At.Y, behind);
    BitBlt(Bmp.Canvas()->Handle(), 0, 0, L.Width, L.Height, Bg.Bitmap->Canvas()->Handle(), L.At.X + L.Extra, L.At.Y,
           SRCCOPY);
    if (K.Section >= 0)
        PaintSkinSection(K.Section, behind, K.State, vcl::Rect(0, 0, L.Width, L.Height), {L.At.X + L.Extra, L.At.Y},
                         Bmp, &FManager);
    else if (K.PlainSelection) {
        Bmp.Canvas()->Brush()->SetColor(FManager.GetSelectionColor(true));
        Bmp.Canvas()->FillRect(vcl::Rect(0, 0, L.Width, L.Height));
    }
}

// Check marks of items without a glyph, centred in the glyph column.
void TsSkinableMenus::PaintItemCheck(vcl::TBitmap &Bmp, const TMenuItem *Item, const TItemLayout &L,
                                     const TItemLook &K) {
    const int info = FManager.CommonElements.GlobalInfoSection;
    int mask = info >= 0 ? FManager.GetMaskIndex(info, Item->RadioItem() ? "RADIOCHECKED" : "CHECK") : -1;
    if (mask < 0 && info >= 0) mask = FManager.GetMaskIndex(info, "BOXCHECKED");
    if (mask < 0) return;
    const TsMaskData &m = FManager.Masks[static_cast<std::size_t>(mask)];
    const int w = GetMaskFrameWidth(m);
    const int h = GetMaskFrameHeight(m);
    const int y = (L.Height - h) / 2;
    const int x = L.Rtl ? std::min(L.Width - w, L.Width - (L.Column.cx - w) / 2 - w - Margin)
                        : std::max(0, (L.Column.cx - w) / 2 + Margin);
    TvlBgInfo self{};
    InitBgInfo(&Bmp, 0, 0, self);
    DrawSkinGlyph(Bmp, {x, y}, K.State, 1, m, self);
}

void TsSkinableMenus::PaintMenuGlyph(vcl::TBitmap &Bmp, const TMenuItem *Item, const TItemLayout &L,
                                     const TItemLook &K, bool Checked) {
    const vcl::TRect &r = L.Glyph;
    const int small = FManager.FindSectionIndex("SPEEDBUTTON_SMALL");
    if (Checked && small >= 0) {
        TvlBgInfo self{};
        InitBgInfo(&Bmp, 0, 0, self);
        PaintSkinSection(small, self, 2, vcl::Rect(r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1),
                         {r.Left - 1, r.Top - 1}, Bmp, &FManager);
    }
    TvlGlyphPaintData data;
    data.Bitmap = &Bmp;
    data.Canvas = Bmp.Canvas();
    data.ImgRect = r;
    if (Item->HasBitmap()) data.Glyph = Item->Bitmap();
    else {
        data.Images = Item->GetParentMenu()->Images();
        data.ImageIndex = Item->ImageIndex();
    }
    data.NumGlyphs = 1;
    data.State = K.State;
    data.Enabled = K.Enabled;
    data.Grayed = FManager.Effects() && FManager.Effects()->DiscoloredGlyphs() && !K.Selected;
    if (K.Section >= 0) data.DisabledColor = FManager.Sections[static_cast<std::size_t>(K.Section)].Props[K.State].Color;
    data.SkinManager = &FManager;
    PaintItemGlyph(data);
}

// System commands of a skinned system menu.
void TsSkinableMenus::PaintSysCommand(vcl::TBitmap &Bmp, const TMenuItem *Item, const TItemLayout &L,
                                      const TItemLook &K) {
    const TSysGlyph g = SysCommandGlyph(Bmp.Canvas()->Handle(), static_cast<UINT>(Item->Tag()));
    if (!g.Char) return;
    const vcl::TColor colour = K.Section >= 0 ? FManager.Sections[static_cast<std::size_t>(K.Section)].Props[K.State].FontColor
                               : K.PlainSelection ? FManager.GetSelectionFontColor(true)
                                                  : vcl::clMenuText;
    PaintSysGlyph(Bmp.Canvas()->Handle(), g, K.Enabled ? colour : vcl::clGrayText, {4, 0, L.Width - 4, L.Height},
                  L.Rtl);
    Bmp.Canvas()->SetHandle(nullptr);
}

// The caption and the shortcut (after a tab in the caption, or the item's keys).
void TsSkinableMenus::PaintItemLabel(vcl::TCanvas &C, TMenuItem *Item, const TItemLayout &L, const TItemLook &K,
                                     vcl::TOwnerDrawState State) {
    SelectItemFont(C, Item, true);
    if (K.PlainSelection) C.Font()->SetColor(FManager.GetSelectionFontColor(true));
    if (FManager.OnGetPopupItemData) {
        const vcl::TGuarded alive(Item);
        FManager.OnGetPopupItemData(Item, State.Bits(), C.Font());
        if (!alive || !SkinActive()) return;  // the caller stops as well
    }
    // The plain selection's text in the font's colour (no section's).
    const int textSection = K.PlainSelection ? -1 : std::max(K.Section, 0);
    std::string text = Item->Caption();
    std::string keys = Item->ShortCut() ? vcl::ShortCutToText(Item->ShortCut()) : std::string();
    UINT align = 0;
    if (const auto tab = text.find('\t'); tab != std::string::npos) {
        keys = text.substr(tab + 1);
        text.resize(tab);
    } else if (!text.empty() && text[0] == '\b') {
        text = text.substr(1) + "      ";
        align = DT_RIGHT;
    } else {
        align = Alignment == vcl::taRightJustify ? DT_RIGHT : Alignment == vcl::taCenter ? DT_CENTER : 0;
    }
    UINT flags = align | DT_EXPANDTABS | DT_VCENTER | DT_NOCLIP |
                 (text.find('\r') != std::string::npos ? DT_WORDBREAK : DT_SINGLELINE);
    if (State.Contains(vcl::odNoAccel)) flags |= DT_HIDEPREFIX;
    if (L.Rtl) flags |= DT_RTLREADING;
    WriteSectionText(C, text, K.Enabled, L.Text, flags, textSection, K.TextState, &FManager);
    if (keys.empty()) return;
    vcl::TRect k = vcl::Rect(0, 0, 0, 0);
    DrawTextStr(C.Handle(), keys, k, DT_CALCRECT | DT_EXPANDTABS | DT_SINGLELINE);
    const int left = L.Rtl ? 6 : L.Width - k.Width() - 8;
    WriteSectionText(C, keys, K.Enabled, vcl::Rect(left, 0, left + k.Width(), L.Height), DT_SINGLELINE | DT_VCENTER,
                     textSection, K.TextState, &FManager);
}

// The submenu's arrow in the item's colours where the system puts its
// own, which the menu window's adapter covers again once the system is
// done with the item.
void TsSkinableMenus::PaintSubmenuArrow(vcl::TCanvas &C, const TItemLayout &L, const TItemLook &K) {
    const vcl::TColor colour = K.Section >= 0
        ? FManager.Sections[static_cast<std::size_t>(K.Section)].Props[K.TextState].FontColor : vcl::clMenuText;
    C.Brush()->SetColor(K.Enabled ? colour : vcl::clGrayText);
    const int half = L.Arrow.Width() - 1;
    const int cy = L.Arrow.Top + half;
    for (int i = 0; i <= half; ++i)
        C.FillRect(vcl::Rect(L.Arrow.Left + i, cy - half + i, L.Arrow.Left + i + 1, cy + half - i + 1));
}

// The line's items lie on the form provider's copy of its menu band: drawn
// into the frame image while the frame renders (the canvas is the image's)
// and into the window while the system tracks the bar (window coordinates).
void TsSkinableMenus::SkinDrawMenuLineItem(vcl::TObject *Sender, vcl::TCanvas *ACanvas, vcl::TRect ARect,
                                           vcl::TOwnerDrawState State) {
    auto *item = dynamic_cast<TMenuItem *>(Sender);
    if (!item || !ACanvas || ARect.Width() <= 0 || ARect.Height() <= 0) return;
    ItemKind = smTopLine;
    const vcl::TMenu *menu = item->GetParentMenu();
    // A menu merged into another bar (an MDI child's) lies on that bar's line.
    const auto *main = dynamic_cast<const vcl::TMainMenu *>(menu);
    const vcl::TMenu *shown = main && main->MergedInto() ? main->MergedInto() : menu;
    const HWND owner = shown ? shown->WindowHandle() : nullptr;
    auto *provider = dynamic_cast<TsSkinProvider *>(
        owner ? reinterpret_cast<TvlFormProvider *>(SendSkinCommand(owner, SC_QUERY_FORM_PROVIDER, 0)) : nullptr);
    if (!provider) provider = dynamic_cast<TsSkinProvider *>(ModuleState().MDIParentProvider);
    if (!provider || !provider->SkinData() || !provider->SkinData()->CacheBmp() || !provider->MenuLineBmp) return;
    vcl::TBitmap &line = *provider->MenuLineBmp;
    const bool intoFrame = ACanvas == provider->SkinData()->CacheBmp()->Canvas();
    const vcl::TPoint toFrame = intoFrame ? vcl::TPoint{0, 0} : provider->WindowToFrameOffset();
    const int dx = ARect.Left + toFrame.X - provider->MenuLineOrigin.X;
    const int dy = ARect.Top + toFrame.Y - provider->MenuLineOrigin.Y;
    const int w = ARect.Width(), h = ARect.Height();
    // The provider's scratch, taken for the time of the drawing so that an
    // item drawn from within a handler gets one of its own; wider than the
    // item it may be, only its first w columns are painted and shown.
    std::unique_ptr<vcl::TBitmap> bmp = std::move(provider->MenuItemScratch);
    if (!bmp || bmp->Width() < w || bmp->Height() != h) bmp = NewBitmap32(std::max(w, bmp ? bmp->Width() : 0), h);
    BitBlt(bmp->Canvas()->Handle(), 0, 0, w, h, line.Canvas()->Handle(), dx, dy, SRCCOPY);

    const bool enabled = item->Enabled();
    const int state = enabled && (State.Contains(vcl::odSelected) || State.Contains(vcl::odHotLight)) ? 1 : 0;
    const int itemSection = FManager.CommonElements.MenuItem.SectionIndex;
    if (itemSection >= 0) {
        TvlBgInfo behind{};
        InitBgInfo(&line, dx, dy, behind);
        PaintSkinSection(itemSection, behind, state, vcl::Rect(0, 0, w, h), {dx, dy}, *bmp, &FManager);
    }
    // The glyph and where the text starts.
    const bool rtl = ReadsRightToLeft(menu);
    vcl::TCustomImageList *images = menu ? menu->Images() : nullptr;
    int textLeft = 0;
    TvlGlyphPaintData data;
    bool glyph = false;
    if (item->HasBitmap()) {
        const int gw = item->Bitmap()->Width();
        int y = (h - ItemGlyphSize(item).cy) / 2, x = rtl ? w - 3 - gw : 3;
        if (!enabled) x = 3, y = 1;
        data.Glyph = item->Bitmap();
        data.NumGlyphs = std::max(1, item->Bitmap()->Height() > 0 ? gw / item->Bitmap()->Height() : 1);
        textLeft = enabled ? x + gw + 3 : gw + 6;
        data.ImgRect = vcl::Rect(x, y, textLeft, h);
        glyph = true;
    } else if (images && item->ImageIndex() >= 0) {
        const int y = (h - images->Height()) / 2, x = rtl ? w - 3 - images->Width() : 3;
        data.Images = images;
        data.ImageIndex = item->ImageIndex();
        data.NumGlyphs = std::max(1, images->Height() > 0 ? images->Width() / images->Height() : 1);
        data.ImgRect = vcl::Rect(x, y, x + images->Width() + 3, h);
        textLeft = x + images->Width() + 3;
        glyph = true;
    }
    // Drawn once, by the glyph painter: a plain copy of the bitmap under it
    // would leave the bitmap's background box round the glyph and, for a
    // disabled item, its full colours under the disabled look.
    if (glyph) {
        data.Bitmap = bmp.get();
        data.Canvas = bmp->Canvas();
        data.State = state;
        data.Enabled = enabled;
        data.Grayed = FManager.Effects() && FManager.Effects()->DiscoloredGlyphs();
        data.DisabledColor =
            itemSection >= 0 ? FManager.Sections[static_cast<std::size_t>(itemSection)].Props[0].Color : vcl::TColor(0xFFFFFF);
        data.SkinManager = provider->SkinData()->GetSkinManager();
        data.BlendValue = 0;
        PaintItemGlyph(data);
    }
    // The caption in the line's colours.
    UINT flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP;
    if (Alignment == vcl::taRightJustify) flags |= DT_RIGHT;
    if (rtl) flags |= DT_RTLREADING;
    if (State.Contains(vcl::odNoAccel)) flags |= DT_HIDEPREFIX;
    if (Alignment == vcl::taRightJustify) flags &= ~static_cast<UINT>(DT_CENTER);
    const vcl::TRect text = vcl::Rect(textLeft + Margin, 0, w - Margin, h);
    // Without the accelerator's underline: not every system's DrawText
    // honours DT_HIDEPREFIX, so the caption goes without its prefix.
    std::string caption = item->Caption();
    if (flags & DT_HIDEPREFIX) {
        caption = WithoutPrefix(caption);
        flags |= DT_NOPREFIX;
    }
    const int lineSection = std::max(0, FManager.FindSectionIndex("MENULINE"));
    SelectItemFont(*bmp->Canvas(), item, false);
    if (provider->BorderForm)
        DrawSkinText(*bmp, caption, false, text, flags, lineSection, state, &FManager);
    else
        WriteSectionText(*bmp->Canvas(), caption, true, text, flags, lineSection, state, &FManager);
    if (OnDrawItem) {
        // The handler may free the form and its provider (whose cache may be
        // the canvas drawn into), or turn the skin off.
        const vcl::TGuarded<TsSkinProvider> alive(provider);
        const vcl::TBitmap *lineBefore = &line;
        OnDrawItem(item, bmp->Canvas(), vcl::Rect(0, 0, w, h), State, smTopLine);
        if (!alive || provider->MenuLineBmp.get() != lineBefore || !SkinActive()) return;
        vcl::TBitmap *cache = provider->SkinData() ? provider->SkinData()->CacheBmp() : nullptr;
        if (intoFrame && (!cache || ACanvas != cache->Canvas())) return;
    }
    // A disabled item: 40 % of it over 60 % of the line.
    if (!enabled) BlendRect32ByAlpha(*bmp, line, 102, vcl::Rect(dx, dy, dx + w - 1, dy + h - 1), {0, 0});
    BitBlt(ACanvas->Handle(), ARect.Left, ARect.Top, w, h, bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
    provider->MenuItemScratch = std::move(bmp);
}

// --------------------------------------------------------------- factory

std::unique_ptr<TvlSkinableMenus> TvlSkinableMenusMaker::CreateSkinableMenus(TsSkinManager &Manager) {
    return std::make_unique<TsSkinableMenus>(Manager);
}

TvlSkinableMenusMaker &SkinableMenusMaker() {
    TvlKept<TvlSkinableMenusMaker> &maker = AdaptersState().SkinableMenusMaker;
    if (!maker) maker = Keep(std::make_unique<TvlSkinableMenusMaker>());
    return *maker;
}

} // namespace skin
