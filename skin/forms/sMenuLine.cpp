// The skinned menu line of a form's main menu: its measures, its band in
// the frame image with the copy of it that the menu painter draws the
// line's items on, and the platform bar kept owner-drawn while the items
// carry the painter's handlers. The items themselves are drawn by their
// owner-draw handlers (the menu painter's), into the frame image while
// the frame renders and into the window while the system tracks the bar.
#include "sSkinProvider.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <utility>
#include <vector>

#include "sFrameMetrics.h"
#include "sMDIForm.h"
#include "vlMenuLineLayout.h"
#include "skin/manager/sModuleState.h"
#include "skin/graphics/vlCommonUtils.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/graphics/vlSkinSections.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/sSkinServices.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/Forms.h"
#include "vcl/GdiObjects.h"
#include "vcl/Icon.h"
#include "vcl/Menus.h"

namespace skin {

namespace {

HWND WindowOf(const vcl::TCustomForm *Form) {
    return Form && Form->HandleAllocated() ? Form->WindowHandle() : nullptr;
}

bool HasVisibleTopItem(const vcl::TMainMenu *Menu) {
    if (!Menu) return false;
    const vcl::TMenuItem *root = Menu->Items();
    for (int i = 0; i < root->Count(); ++i)
        if (root->Items(i)->Visible()) return true;
    return false;
}

bool DrawnByHandlers(const vcl::TMenuItem &Item) { return Item.OnAdvancedDrawItem && Item.OnMeasureItem; }

} // namespace

// Neither asks the menu's AutoMerge: the class library's main menus have no
// such switch, and only an MDI child's menu, which has no line, is merged.
bool TsSkinProvider::HasMenuLine() const {
    if (!Form) return false;
    const vcl::TMainMenu *menu = Form->Menu();
    return menu && menu->Items()->Count() > 0 && Form->FormStyle() != vcl::fsMDIChild &&
           Form->BorderStyle() != vcl::bsDialog;
}

bool TsSkinProvider::MenuHasVisibleItems() const {
    if (!Form || Form->BorderStyle() == vcl::bsDialog || Form->FormStyle() == vcl::fsMDIChild || !Form->Menu())
        return false;
    if (HasVisibleTopItem(Form->Menu())) return true;
    const vcl::TCustomForm *child = Form->FormStyle() == vcl::fsMDIForm ? Form->ActiveMDIChild() : nullptr;
    return child && HasVisibleTopItem(child->Menu());
}

int TsSkinProvider::GetMenuLineCount() {
    if (MenuLineCount != -1) return MenuLineCount;
    const HWND window = WindowOf(Form);
    if (!window || !Form->Menu() || IsIconic(window)) return 0;
    const HMENU bar = GetMenu(window);
    RECT item{};
    if (!bar || !GetMenuItemRect(window, bar, 0, &item)) return 0;
    // The bottom of the menu area: the top of the client area on screen.
    RECT frame{};
    GetWindowRect(window, &frame);
    int scrollBar = 0;
    if (FormScrollAdapter && FormScrollAdapter->HorzScrollBar().Visible) scrollBar = GetSystemMetrics(SM_CYHSCROLL);
    const int border = Form->BorderWidth();
    // The window keeps its system frame under a border form too (the border
    // window lies around it): the menu area ends that frame above its bottom.
    const int areaBottom = frame.bottom - ClientHeight(window) - (GetNativeBorderWidth(window) + border) - scrollBar -
                           2 * border;
    int rows = 1;
    if (areaBottom > item.bottom) rows += (areaBottom - item.bottom) / (GetSystemMetrics(SM_CYMENU) - 2);
    MenuLineCount = rows;
    return rows;
}

bool TsSkinProvider::MenuLinePainted() const {
    const TsSkinManager *m = FSkinData->GetSkinManager();
    return m && m->SkinnedPopups() && FDrawNonClientArea && HasMenuLine() && MenuHasVisibleItems() &&
           GetMenuLineHeight() > 0;
}

int TsSkinProvider::MenuLineTop() const {
    // With a border form the skin's caption holds the top frame.
    return GetNativeBorderWidth(WindowOf(Form), BorderObject()) + GetCaptionHeight(true) + GetShadowMargins().Top;
}

vcl::TPoint TsSkinProvider::WindowToFrameOffset() const {
    if (!BorderForm) return {0, 0};
    const vcl::TPoint offset = FrameWindowOffset(FrameSizes());
    return {offset.X, offset.Y + (TallCaption ? 4 : 0)};
}

void TsSkinProvider::SyncMenuBar() {
    const HWND window = WindowOf(Form);
    vcl::TMainMenu *menu = Form ? Form->Menu() : nullptr;
    if (!window || !menu || menu->Items()->Count() == 0 || GetMenu(window) != menu->Handle()) return;
    // The first visible item tells how the bar was built.
    const vcl::TMenuItem *first = nullptr;
    for (int i = 0; i < menu->Items()->Count() && !first; ++i)
        if (menu->Items()->Items(i)->Visible()) first = menu->Items()->Items(i);
    if (!first) return;
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    if (!GetMenuItemInfoW(menu->Handle(), 0, TRUE, &info)) return;
    const bool ownerDrawn = (info.fType & MFT_OWNERDRAW) != 0;
    if (ownerDrawn != (menu->OwnerDraw() || first->OnAdvancedDrawItem || first->OnMeasureItem)) menu->ItemsChanged();
}

void TsSkinProvider::WMDrawItem(vcl::TMessage &Message) {
    const vcl::TGuarded self(this);
    const HWND window = WindowOf(Form);
    SavedWndProc(Message);
    const auto *item = reinterpret_cast<const DRAWITEMSTRUCT *>(Message.LParam);
    if (!item || item->CtlType != ODT_MENU || !ProviderServes(self, window)) return;
    if (reinterpret_cast<HMENU>(item->hwndItem) != GetMenu(window)) return;
    // An item of the line that the system drew highlighted on the window.
    const vcl::TRect r{item->rcItem.left, item->rcItem.top, item->rcItem.right, item->rcItem.bottom};
    if (item->itemState & (ODS_SELECTED | ODS_HOTLIGHT))
        HighlightedLineItem = r;
    else if (r == HighlightedLineItem)
        HighlightedLineItem = {};
}

void TsSkinProvider::EndLineItemHighlight() {
    const vcl::TRect r = std::exchange(HighlightedLineItem, vcl::TRect{});
    const HWND window = WindowOf(Form);
    if (r.IsEmpty() || !window || !CacheUsable()) return;
    // The frame image holds every item of the line in its normal look.
    const vcl::TPoint offset = WindowToFrameOffset();
    const vcl::TWindowDC dc(window, GetWindowDC(window));
    if (dc)
        BitBlt(dc.Get(), r.Left, r.Top, r.Width(), r.Height(), FSkinData->CacheBmp()->Canvas()->Handle(),
               r.Left + offset.X, r.Top + offset.Y, SRCCOPY);
}

void TsSkinProvider::PaintMenuLine(vcl::TBitmap &Image, int State) {
    TsSkinManager *m = FSkinData->GetSkinManager();
    const HWND window = WindowOf(Form);
    const int rows = window && MenuLinePainted() ? GetMenuLineCount() : 0;
    if (!m || rows <= 0) {
        MenuLineBmp.reset();
        return;
    }
    const int rowHeight = GetMenuLineHeight();
    const vcl::TRect margins = GetShadowMargins();
    const int bandHeight = rows * rowHeight + 1;
    const int bandTop = MenuLineTop();
    const vcl::TRect band{margins.Left, bandTop, Image.Width() - margins.Right, bandTop + bandHeight};
    int section = MenuLineSkin().empty() ? -1 : m->FindSectionIndex(MenuLineSkin());
    if (section < 0) section = m->FindSectionIndex("MENULINE");
    if (section >= 0) {
        TvlBgInfo behind{};
        InitBgInfo(&Image, 0, 0, behind);
        PaintSkinSection(section, behind, State, band, {band.Left, band.Top}, Image, m);
    }
    // What lies behind the items, for their painter.
    MenuLineOrigin = {GetClientOffsetX() - Form->BorderWidth(),
                      GetClientOffsetY() - rows * rowHeight - Form->BorderWidth() - 1};
    const int width = std::max(0, std::min(Image.Width() - margins.Left - margins.Right,
                                           Image.Width() - MenuLineOrigin.X));
    // Kept while its size holds: the line is painted again on every change
    // of the active MDI child.
    if (!MenuLineBmp || MenuLineBmp->Width() != std::max(1, width) || MenuLineBmp->Height() != bandHeight)
        MenuLineBmp = NewBitmap32(std::max(1, width), bandHeight);
    BitBlt(MenuLineBmp->Canvas()->Handle(), 0, 0, width, bandHeight, Image.Canvas()->Handle(), MenuLineOrigin.X,
           MenuLineOrigin.Y, SRCCOPY);

    vcl::TMainMenu *menu = Form->Menu();
    const HMENU bar = GetMenu(window);
    if (!bar || bar != menu->Handle()) return;
    // A maximized MDI child's system menu: its icon at the line's start,
    // where the system put the child's menu as the bar's first item.
    const vcl::TCustomForm *child =
        IsMDIParent() && ModuleState().MDIParentProvider == this ? MaximizedMDIChildWithMenu() : nullptr;
    if (child) {
        HICON icon = child->Icon() && !child->Icon()->Empty() ? child->Icon()->Handle() : nullptr;
        if (!icon && vcl::Application)
            icon = reinterpret_cast<HICON>(SendMessageW(vcl::Application->Handle(), WM_GETICON, ICON_SMALL2, 0));
        // The system's shared icon, looked up once: the lookup costs more
        // than the whole of the rest of the icon's drawing.
        if (!icon && !LineIcon.Default) LineIcon.Default = LoadIconW(nullptr, IDI_APPLICATION);
        if (!icon) icon = LineIcon.Default;
        const int side = rowHeight - 2;
        const int left = margins.Left + GetBorderWidth(window, BorderObject(), true) + 1;
        DrawLineIcon(Image, icon, left, bandTop + 1, side);
    }
    if (!MenuSkinned) {
        MenuSkinned = true;
        m->SkinableMenus().SetMenuOwnerDraw(menu, true);
    }
    PaintLineItems(Image);
}

// The system converts the icon on every drawing, several times the cost of
// copying it; each pixel of the result follows from the icon's and the one
// under it, so the same icon on the same pixels is the same picture again.
// (A handle names one picture while it lives; a new one gets another.)
void TsSkinProvider::DrawLineIcon(vcl::TBitmap &Image, HICON Icon, int Left, int Top, int Side) {
    const vcl::TDibLayout layout = Image.PixelFormat() == vcl::pf32bit ? Image.Layout() : vcl::TDibLayout{};
    const int x0 = std::max(Left, 0), y0 = std::max(Top, 0);
    const int x1 = std::min(Left + Side, layout.Width), y1 = std::min(Top + Side, layout.Height);
    if (!layout.First || x1 <= x0 || y1 <= y0) {
        DrawIconEx(Image.Canvas()->Handle(), Left, Top, Icon, Side, Side, 0, nullptr, DI_NORMAL);
        return;
    }
    const auto copy = [&](std::vector<std::uint32_t> &Pixels, bool Out) {
        Pixels.resize(static_cast<std::size_t>((x1 - x0) * (y1 - y0)));
        const std::size_t row = static_cast<std::size_t>(x1 - x0) * sizeof(std::uint32_t);
        for (int y = y0; y < y1; ++y) {
            std::uint8_t *line = layout.Line(y) + x0 * sizeof(std::uint32_t);
            std::uint32_t *kept = Pixels.data() + (y - y0) * (x1 - x0);
            if (Out) std::memcpy(kept, line, row);
            else std::memcpy(line, kept, row);
        }
    };
    GdiFlush();  // what GDI drew into the image is in its pixels
    std::vector<std::uint32_t> under;
    copy(under, true);
    if (LineIcon.Icon == Icon && LineIcon.Side == Side && LineIcon.Under == under) {
        copy(LineIcon.Over, false);
        return;
    }
    DrawIconEx(Image.Canvas()->Handle(), Left, Top, Icon, Side, Side, 0, nullptr, DI_NORMAL);
    GdiFlush();
    LineIcon.Icon = Icon;
    LineIcon.Side = Side;
    LineIcon.Under = std::move(under);
    copy(LineIcon.Over, true);
}

void TsSkinProvider::PaintLineItems(vcl::TBitmap &Image) {
    TsSkinManager *m = FSkinData->GetSkinManager();
    const HWND window = WindowOf(Form);
    vcl::TMainMenu *menu = Form->Menu();
    const HMENU bar = GetMenu(window);
    // Where the system placed the bar's items: the line's start and first
    // row, and each item's width.
    RECT frame{};
    GetWindowRect(window, &frame);
    const vcl::TPoint offset = WindowToFrameOffset();
    std::map<const vcl::TMenuItem *, int> widths;
    TvlLineBand band;
    bool first = true, found = false;
    for (int i = 0; i < GetMenuItemCount(bar); ++i) {
        RECT r{};
        if (!GetMenuItemRect(window, bar, static_cast<UINT>(i), &r)) continue;
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_DATA;
        GetMenuItemInfoW(bar, static_cast<UINT>(i), TRUE, &info);
        const vcl::TMenuItem *item = vcl::TMenuItem::FindCommand(static_cast<UINT>(info.dwItemData));
        if (first) band.Left = r.left - frame.left + offset.X;
        first = false;
        if (!item) continue;  // the system's own: a maximized child's menu and buttons
        widths[item] = r.right - r.left;
        if (!found) {
            band.FirstLeft = r.left - frame.left + offset.X;
            band.Top = r.top - frame.top + offset.Y;
            band.RowHeight = r.bottom - r.top;
            found = true;
        }
    }
    MENUBARINFO info{};
    info.cbSize = sizeof info;
    if (!found || !GetMenuBarInfo(window, OBJID_MENU, 0, &info)) return;
    band.Right = info.rcBar.right - frame.left + offset.X;

    vcl::TMainMenu *merged = menu->Merged();
    const auto lineItems = [&](const vcl::TMainMenu *Menu) {
        std::vector<TvlLineItem> items;
        for (int i = 0; Menu && i < Menu->Items()->Count(); ++i) {
            const vcl::TMenuItem *item = Menu->Items()->Items(i);
            const auto w = widths.find(item);
            items.push_back({item->GroupIndex(), item->Visible(), w == widths.end() ? 0 : w->second});
        }
        return items;
    };
    // The items' handlers are the application's: they may free an item, a
    // menu, the form with this provider, or change the bar, whose new
    // layout then comes with the change's own repaint.
    const vcl::TGuarded self(this);
    const vcl::TGuarded<vcl::TMainMenu> menuAlive(menu), mergedAlive(merged);
    const auto countOf = [](const vcl::TMainMenu *Menu) { return Menu ? Menu->Items()->Count() : 0; };
    const int menuCount = countOf(menu), mergedCount = countOf(merged);
    for (const TvlPlacedItem &placed : LayoutMenuLine(lineItems(menu), lineItems(merged), band)) {
        if (!self || !menuAlive || (merged && !mergedAlive) || countOf(menu) != menuCount ||
            countOf(merged) != mergedCount)
            return;
        vcl::TMainMenu *owner = placed.Merged ? merged : menu;
        vcl::TMenuItem *item = owner->Items()->Items(placed.Index);
        // The line's painter draws the items: items that lack its handlers
        // are handed to it first.
        if (!DrawnByHandlers(*item)) m->SkinableMenus().SetMenuOwnerDraw(owner, true);
        if (!DrawnByHandlers(*item)) continue;
        // The merged items are drawn as their own form's bar would draw them.
        item->OnAdvancedDrawItem(item, Image.Canvas(), placed.Rect,
                                 placed.Merged ? vcl::TOwnerDrawState{}
                                               : vcl::TOwnerDrawState{vcl::odNoAccel, vcl::odReserved1});
    }
}

} // namespace skin
