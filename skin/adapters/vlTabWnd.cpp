#include "vlTabWnd.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "skin/graphics/vlAlphaBlending.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/graphics/vlParentBackground.h"
#include "skin/graphics/vlSkinSections.h"
#include "skin/graphics/vlSkinText.h"
#include "skin/manager/sCommandTable.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sModuleState.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/sVclUtils.h"
#include "skin/manager/vlSnapshots.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/Controls.h"
#include "vcl/GdiObjects.h"
#include "vcl/Tabs.h"
#include "vcl/WideText.h"
#include "vlAdapterKinds.h"
#include "vlSBPaint.h"

namespace skin {

namespace {

constexpr int SingleTabRow = 3;   // the element row of a tab without neighbours' shapes
constexpr std::size_t CaptionBufferLength = 4096;

// The skin's element column of a position: left, top, right, bottom.
std::size_t ElementSide(TvlTabPosition P) {
    switch (P) {
    case tpLeft: return 0;
    case tpTop: return 1;
    case tpRight: return 2;
    default: return 3;
    }
}

vcl::TRect WindowRectOf(HWND Handle) {
    RECT r{};
    GetWindowRect(Handle, &r);
    return {0, 0, r.right - r.left, r.bottom - r.top};
}

// False when the parent's answer freed the adapter.
bool BackgroundOf(TvlMainWnd &Adapter, TvlBgInfo &Bg) {
    if (Adapter.SkinData->OwnerControl()) return Adapter.SkinData->FillBackgroundInfo(Bg, TvlAsker(&Adapter));
    return WindowBackgroundInfo(Adapter.Handle, Bg, TvlAsker(&Adapter));
}

struct TTabItem {
    std::string Text;
    int Image = -1;
};

TTabItem ReadTabItem(HWND Handle, int Index) {
    std::wstring buffer(CaptionBufferLength, L'\0');
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_STATE;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    if (!SendMessageW(Handle, TCM_GETITEMW, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&item))) return {};
    buffer.resize(wcsnlen(buffer.c_str(), buffer.size()));
    return {vcl::WideToUtf8(buffer), item.iImage};
}

// The page adapters, library-wide.
std::vector<TvlKept<TvlPageWnd>> &PageAdapters() { return AdaptersState().PageAdapters; }

// Adapters whose page window is gone leave the list (their handlers have
// returned: this runs outside them).
void SweepPageAdapters() {
    auto &list = PageAdapters();
    list.erase(std::remove_if(list.begin(), list.end(),
                              [](const TvlKept<TvlPageWnd> &a) { return a->Destroyed() || !IsWindow(a->Handle); }),
               list.end());
}

// Image Index of the list at (X, Y) of the target; with a tint (not
// clNone) every pixel of the image is mixed half and half with it.
void DrawTabImage(HIMAGELIST Images, int Index, vcl::TBitmap &Target, int X, int Y, vcl::TColor Tint) {
    if (Tint == vcl::clNone) {
        ImageList_Draw(Images, Index, Target.Canvas()->Handle(), X, Y, ILD_NORMAL);
        return;
    }
    int w = 0, h = 0;
    ImageList_GetIconSize(Images, &w, &h);
    if (w <= 0 || h <= 0) return;
    const auto frame = NewBitmap32(w, h);
    frame->Canvas()->Brush()->SetColor(vcl::clFuchsia);
    frame->Canvas()->FillRect({0, 0, w, h});
    ImageList_Draw(Images, Index, frame->Canvas()->Handle(), 0, 0, ILD_NORMAL);
    GdiFlush();
    const vcl::TBitmapView view = frame->View();
    const std::uint32_t tint = static_cast<std::uint32_t>(vcl::ColorToRGB(Tint));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint32_t &p = view.At(x, y);
            if ((p & 0xFFFFFF) == 0xFF00FF) continue;
            // The pixel is BGRA, the colour RGB in reverse: channel by channel.
            const std::uint32_t r = ((p >> 16 & 0xFF) + (tint & 0xFF)) / 2, g = ((p >> 8 & 0xFF) + (tint >> 8 & 0xFF)) / 2,
                                b = ((p & 0xFF) + (tint >> 16 & 0xFF)) / 2;
            p = (p & 0xFF000000) | r << 16 | g << 8 | b;
        }
    CopyKeyedRect32(Target, *frame, X, Y, vcl::clFuchsia);
}

} // namespace

std::size_t PageAdapterCount() {
    SweepPageAdapters();
    return PageAdapters().size();
}

void FreePageAdapters() { PageAdapters().clear(); }

// ------------------------------------------------------------ tab control

TvlTabControlWnd::~TvlTabControlWnd() {
    ReleaseWindow();
    UpDownAdapter.reset();
}

void TvlTabControlWnd::SetDefaultSection() {
    if (SkinData && SkinData->SkinSection().empty()) SkinData->SetSkinSection("PAGECONTROL");
    RecordedSize = WndSize;
    TvlMainWnd::SetDefaultSection();
}

TvlTabPosition TvlTabControlWnd::Position() const {
    return TabPositionOfStyle(static_cast<unsigned>(GetWindowLongPtrW(Handle, GWL_STYLE)));
}

TvlTabKind TvlTabControlWnd::Kind() const {
    return TabKindOfStyle(static_cast<unsigned>(GetWindowLongPtrW(Handle, GWL_STYLE)));
}

int TvlTabControlWnd::TabCount() const { return static_cast<int>(SendMessageW(Handle, TCM_GETITEMCOUNT, 0, 0)); }

int TvlTabControlWnd::TabOffset() const {
    const TsSkinManager *m = SkinData ? SkinData->GetSkinManager() : nullptr;
    return m && m->SkinData ? m->SkinData->TabsCovering : 0;
}

vcl::TRect TvlTabControlWnd::GetDisplayRect() {
    RECT r{0, 0, 0, 0};
    const vcl::TRect w = WindowRectOf(Handle);
    r = {w.Left, w.Top, w.Right, w.Bottom};
    SendMessageW(Handle, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    return {r.left, r.top + 2, r.right, r.bottom};
}

vcl::TRect TvlTabControlWnd::GetFrameRect() {
    return TabFrameRect(WindowRectOf(Handle), GetDisplayRect(), Position(), TabCount() > 0);
}

vcl::TRect TvlTabControlWnd::TabRect(int Index, bool Active) {
    RECT r{};
    SendMessageW(Handle, TCM_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&r));
    return SkinTabRect({r.left, r.top, r.right, r.bottom}, Position(), Kind(), Active, TabOffset());
}

int TvlTabControlWnd::TabRow(int Index) {
    const int rows = static_cast<int>(SendMessageW(Handle, TCM_GETROWCOUNT, 0, 0));
    RECT r{};
    SendMessageW(Handle, TCM_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&r));
    return TabRowOf({r.left, r.top, r.right, r.bottom}, GetDisplayRect(), Position(), rows);
}

std::string TvlTabControlWnd::FrameSection() const {
    if (TabCount() == 0) return "CHECKBOX";
    return PageFrameSection(SkinData->SkinSection(), Position());
}

void TvlTabControlWnd::UpdateUpDown() {
    if (!SkinData || !SkinData->IsSkinned(false)) return;
    const HWND arrows = FindWindowExW(Handle, nullptr, UPDOWN_CLASSW, nullptr);
    UpDownAdapter.reset();
    if (!arrows) return;
    TvlSkinParams params;
    params.SkinSection = "UPDOWNBTN";
    UpDownAdapter = AdapterFactory().CreateAdapter(tpUpDown, arrows, params, SkinData->GetSkinManager());
}

void TvlTabControlWnd::RedrawArrows() {
    if (UpDownAdapter && !SkinData->BGChanged && IsWindow(UpDownAdapter->AdapterWindow()))
        RedrawWindow(UpDownAdapter->AdapterWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
}

// ---------------------------------------------------------------- painting

bool TvlTabControlWnd::Gone(const vcl::TGuarded<TvlTabControlWnd> &Alive) {
    return !Alive || Alive->Destroyed() || !IsWindow(Alive->Handle);
}

bool TvlTabControlWnd::PaintStrip(vcl::TBitmap &Cache, const TvlBgInfo &Bg) {
    const vcl::TRect strip = TabStripRect(WindowRectOf(Handle), GetDisplayRect(), Position());
    vcl::TCanvas &canvas = *Cache.Canvas();
    if (Bg.UseBmp && Bg.Bmp) {
        const int w = std::min(strip.Width(), Bg.Bmp->Width() - (Bg.X + strip.Left));
        const int h = std::min(strip.Height(), Bg.Bmp->Height() - (Bg.Y + strip.Top));
        if (w > 0 && h > 0)
            BitBlt(canvas.Handle(), strip.Left, strip.Top, w, h, Bg.Bmp->Canvas()->Handle(), Bg.X + PosInParent.X + strip.Left,
                   Bg.Y + PosInParent.Y + strip.Top, SRCCOPY);
    } else {
        canvas.Brush()->SetStyle(vcl::bsSolid);
        canvas.Brush()->SetColor(Bg.Color == vcl::clFuchsia ? vcl::clBtnFace : Bg.Color);
        canvas.FillRect(strip);
    }
    const int current = static_cast<int>(SendMessageW(Handle, TCM_GETCURSEL, 0, 0));
    const int rows = std::max(1, static_cast<int>(SendMessageW(Handle, TCM_GETROWCOUNT, 0, 0)));
    const int count = TabCount();
    const bool frameOverFoot = Position() == tpTop || Position() == tpLeft;
    const vcl::TRect frame = GetFrameRect();
    const vcl::TGuarded<TvlTabControlWnd> alive(this);
    for (int row = 1; row <= rows; ++row)
        for (int i = 0; i < count; ++i) {
            if (i == current || TabRow(i) != row) continue;
            const vcl::TRect r = TabRect(i, false);
            if (r.IsEmpty()) continue;
            auto tab = RenderTab(i, 0, r, Cache);
            if (Gone(alive)) return false;
            if (!tab) continue;
            const int saved = SaveDC(canvas.Handle());
            // The frame stays over the foot of tabs above or left of it.
            if (frameOverFoot) ExcludeClipRect(canvas.Handle(), frame.Left, frame.Top, frame.Right, frame.Bottom);
            BitBlt(canvas.Handle(), r.Left, r.Top, r.Width(), r.Height(), tab->Canvas()->Handle(), 0, 0, SRCCOPY);
            RestoreDC(canvas.Handle(), saved);
        }
    return true;
}

std::unique_ptr<vcl::TBitmap> TvlTabControlWnd::RenderTab(int Index, int State, const vcl::TRect &R,
                                                          vcl::TBitmap &Under) {
    if (Index < 0 || R.IsEmpty()) return nullptr;
    if (State == 1 && R.Left < 0) return nullptr;  // scrolled out of view
    TsSkinManager *m = SkinData->GetSkinManager();
    if (!m) return nullptr;
    auto bmp = NewBitmap32(R.Width(), R.Height());
    // The control's image under the tab, nothing of its neighbours.
    BitBlt(bmp->Canvas()->Handle(), 0, 0, R.Width(), R.Height(), Under.Canvas()->Handle(), R.Left, R.Top, SRCCOPY);
    int section = -1, mask = -1;
    if (m->CommonElements.Tabs[SingleTabRow][1].SectionIndex >= 0) {
        switch (Kind()) {
        case tkTabs: {
            const TvlElementEntry &e = m->CommonElements.Tabs[SingleTabRow][ElementSide(Position())];
            section = e.SectionIndex;
            mask = e.BorderMask;
            break;
        }
        case tkButtons: section = m->FindSectionIndex("BUTTON"); break;
        case tkFlatButtons: section = m->FindSectionIndex("TOOLBUTTON"); break;
        }
        if (Kind() != tkTabs && m->IsValidSectionIndex(section)) mask = m->GetMaskIndex(section, "BORDERSMASK");
    }
    if (m->IsValidMaskIndex(mask) && m->IsValidSectionIndex(section)) {
        auto behind = NewBitmap32(R.Width(), R.Height());
        BitBlt(behind->Canvas()->Handle(), 0, 0, R.Width(), R.Height(), bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
        TvlBgInfo bg;
        InitBgInfo(behind.get(), 0, 0, bg);
        const int states = m->Sections[static_cast<std::size_t>(section)].States;
        PaintSkinSection(section, bg, std::min(State, std::max(states - 1, 0)), {0, 0, R.Width(), R.Height()}, {0, 0},
                         *bmp, m);
    }
    if (!PaintTabContent(Index, State, *bmp, m->IsValidSectionIndex(section) ? section : SkinData->SkinIndex()))
        return nullptr;
    return bmp;
}

vcl::TColor TvlTabControlWnd::TabImageTint(int SectionIndex) const {
    // A class-library control's image list follows the manager's glyph
    // option; a bare control's images are drawn as they are.
    const TsSkinManager *m = SkinData->GetSkinManager();
    if (!SkinData->OwnerControl() || !m || !m->Effects()->DiscoloredGlyphs()) return vcl::clNone;
    return m->IsValidSectionIndex(SectionIndex) ? m->Sections[static_cast<std::size_t>(SectionIndex)].Props[0].Color
                                                : vcl::clBtnFace;
}

bool TvlTabControlWnd::PaintTabContent(int Index, int State, vcl::TBitmap &Bmp, int SectionIndex) {
    TsSkinManager *m = SkinData->GetSkinManager();
    const TTabItem item = ReadTabItem(Handle, Index);
    const TvlTabPosition position = Position();
    const vcl::TRect content =
        TabContentRect({0, 0, Bmp.Width(), Bmp.Height()}, position, TabOffset());
    const HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageW(Handle, TCM_GETIMAGELIST, 0, 0));
    int iw = 0, ih = 0;
    if (images && item.Image >= 0) ImageList_GetIconSize(images, &iw, &ih);
    vcl::TCanvas &canvas = *Bmp.Canvas();
    const HDC dc = canvas.Handle();
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(Handle, WM_GETFONT, 0, 0));
    if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    const HGDIOBJ previous = SelectObject(dc, font);
    const bool hot = State > 0;
    const vcl::TColor imageTint = TabImageTint(SectionIndex);
    const vcl::TColor sectionColor =
        m && m->IsValidSectionIndex(SectionIndex)
            ? m->Sections[static_cast<std::size_t>(SectionIndex)].Props[static_cast<std::size_t>(std::min(State, 2))].Color
            : vcl::clBtnFace;

    // The owner's own drawing of its tabs; a font it chose draws the
    // caption plainly instead of the section's text routine.
    auto *owner = dynamic_cast<vcl::TCustomTabControl *>(SkinData->OwnerControl());
    bool ownerFont = false;
    if (owner && owner->OwnerDraw() && owner->OnDrawTab) {
        vcl::TCanvas &ownerCanvas = *owner->Canvas();
        ownerCanvas.SetHandle(dc);
        ownerCanvas.Brush()->SetColor(sectionColor);
        ownerCanvas.Font()->SetHandle(font);
        const LOGFONTW before = ownerCanvas.Font()->LogFont();
        const vcl::TColor colourBefore = ownerCanvas.Font()->Color();
        // The drawing is the application's: it may free the control, its
        // canvas with it, or this adapter.
        const vcl::TGuarded<TvlTabControlWnd> alive(this);
        const vcl::TGuarded<vcl::TCustomTabControl> control(owner);
        try {
            owner->OnDrawTab(owner, Index, {0, 0, Bmp.Width(), Bmp.Height()}, State == 2);
        } catch (...) {
            if (control) ownerCanvas.SetHandle(nullptr);
            SelectObject(dc, previous);
            throw;
        }
        if (!control || Gone(alive)) {
            if (control) ownerCanvas.SetHandle(nullptr);
            SelectObject(dc, previous);
            return false;
        }
        const LOGFONTW after = ownerCanvas.Font()->LogFont();
        ownerFont = std::memcmp(&before, &after, sizeof before) != 0 || ownerCanvas.Font()->Color() != colourBefore;
        ownerCanvas.SetHandle(nullptr);
        if (ownerFont) {
            font = ownerCanvas.Font()->Handle();
            SetTextColor(dc, static_cast<COLORREF>(vcl::ColorToRGB(ownerCanvas.Font()->Color())));
        }
        SelectObject(dc, font);
    }
    const bool sectionText = !ownerFont && m && m->IsValidSectionIndex(SectionIndex);

    SetBkMode(dc, TRANSPARENT);
    if (position == tpTop || position == tpBottom) {
        vcl::TRect text = content;
        if (iw > 0) {
            vcl::TRect measure{0, 0, 0, 0};
            DrawTextStr(dc, item.Text, measure, DT_CALCRECT | DT_SINGLELINE);
            const int x = content.Left + (content.Width() - (measure.Width() + iw + 8)) / 2;
            DrawTabImage(images, item.Image, Bmp, x, content.Top + (content.Height() - ih) / 2, imageTint);
            text.Left = x + iw + 8;
            text.Right = text.Left + measure.Width();
        }
        if (sectionText)
            WriteSectionText(canvas, item.Text, true, text, DT_CENTER | DT_VCENTER | DT_SINGLELINE, SectionIndex,
                             hot ? 1 : 0, m);
        else
            DrawTextStr(dc, item.Text, text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    } else {
        // Turned captions: the face that cannot turn is replaced.
        LOGFONTW lf{};
        GetObjectW(font, sizeof lf, &lf);
        LOGFONTW turned{};
        turned.lfHeight = lf.lfHeight;
        turned.lfWeight = FW_NORMAL;
        turned.lfCharSet = lf.lfCharSet;
        turned.lfItalic = lf.lfItalic;
        turned.lfUnderline = lf.lfUnderline;
        turned.lfStrikeOut = lf.lfStrikeOut;
        turned.lfEscapement = turned.lfOrientation = RotatedCaptionEscapement(position);
        const std::wstring face = vcl::Utf8ToWide(RotatedCaptionFace(vcl::WideToUtf8(lf.lfFaceName)));
        wcsncpy(turned.lfFaceName, face.c_str(), LF_FACESIZE - 1);
        const vcl::TFontHandle rotated(CreateFontIndirectW(&turned));
        SelectObject(dc, rotated.Get());
        const std::wstring wide = vcl::Utf8ToWide(item.Text);
        SIZE extent{};
        GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &extent);
        const int gap = iw > 0 && !wide.empty() ? 4 : 0;
        const int along = extent.cx + ih + gap;
        const int cx = (content.Left + content.Right) / 2, cy = (content.Top + content.Bottom) / 2;
        int start = cy - along / 2;
        if (iw > 0) {
            DrawTabImage(images, item.Image, Bmp, cx - iw / 2, position == tpLeft ? cy + along / 2 - ih : start,
                         imageTint);
        }
        if (sectionText)
            SetTextColor(dc, static_cast<COLORREF>(vcl::ColorToRGB(
                                 m->Sections[static_cast<std::size_t>(SectionIndex)].Props[hot ? 1 : 0].FontColor)));
        else if (!ownerFont)
            SetTextColor(dc, static_cast<COLORREF>(vcl::ColorToRGB(vcl::clBtnText)));
        if (position == tpLeft) {
            // Read upward: the text starts at the bottom.
            TextOutW(dc, cx - extent.cy / 2, start + extent.cx, wide.c_str(), static_cast<int>(wide.size()));
        } else {
            start += ih + gap;
            TextOutW(dc, cx + extent.cy / 2, start, wide.c_str(), static_cast<int>(wide.size()));
        }
        SelectObject(dc, font);
    }
    SelectObject(dc, previous);
    return true;
}

bool TvlTabControlWnd::BuildImage() {
    RefreshGeometry(*this);
    TsSkinManager *m = SkinData->GetSkinManager();
    SkinData->PrepareCache();
    if (!m || !SkinData->BGChanged) return true;
    // A frame section for a position that the skin lacks falls back to the
    // control's own: the control stays skinned.
    int index = m->FindSectionIndex(FrameSection());
    if (!m->IsValidSectionIndex(index)) index = m->FindSectionIndex(SkinData->SkinSection());
    SkinData->SetSkinIndex(index);
    TvlBgInfo bg;
    // A parent's answer may run the application's drawing (an owner-drawn
    // tab control around this one), which may free this adapter.
    const vcl::TGuarded<TvlTabControlWnd> alive(this);
    if (!BackgroundOf(*this, bg) || Gone(alive)) return false;
    vcl::TBitmap &cache = *SkinData->CacheBmp();
    cache.SetSize(WndSize.cx, WndSize.cy);
    // What lies behind the whole control first: the strip shows it.
    if (TabCount() > 0 && !PaintStrip(cache, bg)) return false;
    const vcl::TRect frame = GetFrameRect();
    PaintSkinSection(SkinData->SkinIndex(), bg, 0, frame, {PosInParent.X + frame.Left, PosInParent.Y + frame.Top}, cache,
                     m);
    SkinData->BGChanged = false;
    return true;
}

bool TvlTabControlWnd::AnswerBackground(vcl::TMessage &Message) {
    auto *query = CommandRecord<TvlBgQuery>(Message);
    if (!query) return false;
    if (!BuildImage()) return true;
    vcl::TBitmap *cache = SkinData->CacheBmp();
    if (!cache || cache->Empty()) return false;
    if (query->PaintIntoDC) {
        if (!query->DC) return false;
        BitBlt(query->DC, query->Rect.Left, query->Rect.Top, query->Rect.Width(), query->Rect.Height(),
               cache->Canvas()->Handle(), query->X, query->Y, SRCCOPY);
    } else {
        query->Image = cache;
        query->X = query->Y = 0;
        query->Margins = {};
    }
    query->Kind = bqImage;
    Message.Result = 0;
    return true;
}

void TvlTabControlWnd::PaintTabControl(HDC MessageDC, bool IntoMessageDC) {
    RefreshGeometry(*this);
    if (SkinData->UpdatePaintLock(false)) return;
    TsSkinManager *m = SkinData->GetSkinManager();
    if (!m) return;
    const bool intoMessage = IntoMessageDC || ModuleState().FormAnimationActive || (SkinData->BGFlags() & bgfPaintTarget);
    const vcl::TWindowDC own(intoMessage ? nullptr : Handle);
    const HDC target = intoMessage ? MessageDC : own.Get();
    if (!target) return;
    const int saved = SaveDC(target);

    SkinData->BGChanged = true;
    if (!BuildImage()) {
        RestoreDC(target, saved);
        return;
    }
    vcl::TBitmap &cache = *SkinData->CacheBmp();
    const int current = static_cast<int>(SendMessageW(Handle, TCM_GETCURSEL, 0, 0));
    if (current >= 0 && current < TabCount()) {
        const vcl::TRect r = TabRect(current, true);
        const int clip = SaveDC(target);
        ExcludeClipRect(target, r.Left, r.Top, r.Right, r.Bottom);
        BitBlt(target, 0, 0, cache.Width(), cache.Height(), cache.Canvas()->Handle(), 0, 0, SRCCOPY);
        RestoreDC(target, clip);
        const vcl::TGuarded<TvlTabControlWnd> alive(this);
        auto tab = RenderTab(current, 2, r, cache);
        if (Gone(alive)) {
            RestoreDC(target, saved);
            return;
        }
        if (tab) BitBlt(target, r.Left, r.Top, r.Width(), r.Height(), tab->Canvas()->Handle(), 0, 0, SRCCOPY);
    } else {
        BitBlt(target, 0, 0, cache.Width(), cache.Height(), cache.Canvas()->Handle(), 0, 0, SRCCOPY);
    }
    RestoreDC(target, saved);
    if (auto *control = dynamic_cast<vcl::TWinControl *>(SkinData->OwnerControl()))
        PaintChildControls(target, control, true, {0, 0});
}

// --------------------------------------------------------------- messages

bool TvlTabControlWnd::AfterCommonAnswer(vcl::TMessage &Message) {
    if (!TakeLeftCommand(Message)) return TvlMainWnd::AfterCommonAnswer(Message);
    TsCommonData &data = *SkinData;
    vcl::TControl *control = data.OwnerControl();
    switch (SubCommandOf(Message.WParam)) {
    case SC_SKIN_APPLIED:
        data.UpdateIndexes(true);
        data.PaintLocked = false;
        if (auto *windowed = dynamic_cast<vcl::TWinControl *>(control))
            for (int i = 0; i < windowed->ControlCount(); ++i)
                if (auto *child = dynamic_cast<vcl::TWinControl *>(windowed->Controls(i))) child->Handle();
        UpdateUpDown();
        PassToChildren(control, Handle, Message);
        Message.Result = 0;
        return true;
    case SC_SKIN_REMOVED:
        // Not UpdateUpDown: after the common removal the record is no longer
        // skinned, so it would leave the arrows' adapter serving them.
        UpDownAdapter.reset();
        PassToChildren(control, Handle, Message);
        InvalidateRect(Handle, nullptr, TRUE);
        RedrawWindow(Handle, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW |
                         RDW_FRAME);
        return true;
    case SC_SKIN_REFRESH:
        data.UpdateIndexes(true);
        data.PaintLocked = false;
        InvalidateRect(Handle, nullptr, TRUE);
        UpdateUpDown();
        PassToChildren(control, Handle, Message);
        return true;
    default: return false;
    }
}

bool TvlTabControlWnd::TabCommand(vcl::TMessage &Message) {
    TsCommonData &data = *SkinData;
    const bool own = reinterpret_cast<TsSkinManager *>(Message.LParam) == SkinManager;
    vcl::TControl *control = data.OwnerControl();
    switch (SubCommandOf(Message.WParam)) {
    case SC_SKIN_APPLIED:
    case SC_SKIN_REMOVED:
    case SC_SKIN_REFRESH:
        if (own) return LeaveToAfterCommon(Message);
        PassToChildren(control, Handle, Message);
        if (SubCommandOf(Message.WParam) == SC_SKIN_APPLIED) Message.Result = 0;
        return true;
    case SC_PARENT_UPDATE_DONE:
        if (data.IsSkinned(true)) {
            data.PaintLocked = false;
            InvalidateRect(Handle, nullptr, TRUE);
        }
        return true;
    case SC_IS_HANDLED: Message.Result = 1; return true;
    case SC_IS_UPDATING: Message.Result = data.IsSkinned(true) && data.PaintLocked ? 1 : 0; return true;
    case SC_GET_SKIN_MANAGER: Message.Result = reinterpret_cast<LRESULT>(data.GetSkinManager()); return true;
    case SC_GET_BG_INFO:
        // The control's own picture (frame and tabs) lies behind its children.
        return data.IsSkinned(true) && AnswerBackground(Message);
    default: return false;
    }
}

bool TvlTabControlWnd::OwnMessage(vcl::TMessage &Message) {
    if (!SkinData) {
        return TvlMainWnd::OwnMessage(Message);
    }
    if (Message.Msg == SM_SKINCOMMAND) {
        if (TabCommand(Message)) return true;
        // Its own manager's apply, refresh and removal are answered after the
        // common stage, active manager or not.
        if (IsLeftToAfterCommon(Message)) return false;
    }
    const vcl::TGuarded alive(this);
    if (SkinData->IsSkinned(true)) {
        switch (Message.Msg) {
        case WM_PRINT:
            UpdateUpDown();
            Message.Result = 0;
            // Always into the message's DC: a print's picture never goes to
            // the screen, whatever flags it carries.
            // The children's paints in the picture are the application's:
            // they may free the adapter.
            PaintTabControl(reinterpret_cast<HDC>(Message.WParam), true);
            if (alive) RedrawArrows();
            return true;
        case TCM_SETCURSEL: {
            const HWND window = Handle;
            SetWindowRedraw(window, false);
            PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
            if (!IsWindow(window)) return true;
            // The control outlives an adapter freed on the way: it must not
            // stay without drawing.
            SetWindowRedraw(window, true);
            if (!alive) {
                RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
                return true;
            }
            // Erased too: this adapter paints the control in its erase.
            RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
            return true;
        }
        case WM_NCPAINT: Message.Result = 0; return true;
        case WM_PAINT: {
            InvalidateRect(Handle, nullptr, FALSE);
            PAINTSTRUCT ps{};
            const HWND window = Handle;
            const vcl::TGuarded alive(this);
            BeginPaint(window, &ps);
            EndPaint(window, &ps);
            if (alive) RedrawArrows();
            Message.Result = 0;
            return true;
        }
        case WM_ERASEBKGND:
            if (!IsWindowVisible(Handle)) break;
            // An erase carries no lParam of 1: its picture goes to the window's own DC.
            Message.Result = 1;
            if (!ModuleState().FormAnimationActive) PaintTabControl(reinterpret_cast<HDC>(Message.WParam), false);
            if (alive) UpdateUpDown();
            return true;
        default: break;
        }
    }
    if (Message.Msg == SM_SKINCOMMAND) return TvlMainWnd::OwnMessage(Message);
    PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
    if (!alive || Destroyed() || !IsWindow(Handle)) return true;
    switch (Message.Msg) {
    case WM_SIZE: {
        UpdateUpDown();
        const vcl::TSize previous = RecordedSize;
        RefreshGeometry(*this);
        RecordedSize = WndSize;
        if (WndSize.cx < previous.cx || WndSize.cy < previous.cy)
            RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_NOINTERNALPAINT | RDW_NOERASE | RDW_NOCHILDREN | RDW_FRAME);
        break;
    }
    case TCM_SETCURSEL: RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME); break;
    case vcl::CM_CONTROLLISTCHANGE: UpdateUpDown(); break;
    default: break;
    }
    return true;
}

// ----------------------------------------------------------- page control

void TvlPageControlWnd::SetDefaultSection() {
    AdaptPages();
    TvlTabControlWnd::SetDefaultSection();
}

vcl::TRect TvlPageControlWnd::GetDisplayRect() { return TvlTabControlWnd::GetDisplayRect(); }

vcl::TRect TvlPageControlWnd::GetFrameRect() { return TvlTabControlWnd::GetFrameRect(); }

void TvlPageControlWnd::AdaptPages() {
    SweepPageAdapters();
    std::vector<HWND> children;
    for (HWND child = GetWindow(Handle, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetParent(child) == Handle) children.push_back(child);
    const auto manager =
        reinterpret_cast<TsSkinManager *>(SendMessageW(Handle, SM_SKINCOMMAND, SkinCommand(SC_GET_SKIN_MANAGER), 0));
    if (!manager) return;
    for (HWND child : children) {
        if (SendMessageW(child, SM_SKINCOMMAND, SkinCommand(SC_IS_HANDLED), 0) == 1) continue;
        // The scroll arrows of the strip have an adapter of their own.
        wchar_t name[32]{};
        GetClassNameW(child, name, 32);
        if (_wcsicmp(name, UPDOWN_CLASSW) == 0) continue;
        TvlSkinParams params;
        params.SkinSection = "CHECKBOX";
        PageAdapters().push_back(Keep(NewAdapter<TvlPageWnd>(child, nullptr, manager, params)));
    }
}

bool TvlPageControlWnd::OwnMessage(vcl::TMessage &Message) {
    if (!SkinData || !SkinData->IsSkinned(true)) {
        return TvlTabControlWnd::OwnMessage(Message);
    }
    switch (Message.Msg) {
    case WM_PRINT:
        UpdateUpDown();
        AdaptPages();
        SkinData->PaintLocked = false;
        PaintTabControl(reinterpret_cast<HDC>(Message.WParam), true);
        Message.Result = 0;
        return true;
    case TCM_SETCURSEL:
        if (vcl::TControl *control = SkinData->OwnerControl()) {
            AdaptPages();
            NotifyFormOfControl(control);
        }
        break;
    case WM_NCPAINT:
        AdaptPages();
        Message.Result = 0;
        return true;
    case WM_ERASEBKGND:
        if (!IsWindowVisible(Handle)) break;
        // An erase carries no lParam of 1: its picture goes to the window's own DC.
        if (!ModuleState().FormAnimationActive) PaintTabControl(reinterpret_cast<HDC>(Message.WParam), false);
        Message.Result = 1;
        return true;
    case WM_PARENTNOTIFY:
        if (LOWORD(Message.WParam) == WM_CREATE || LOWORD(Message.WParam) == WM_DESTROY) AdaptPages();
        break;
    default: break;
    }
    return TvlTabControlWnd::OwnMessage(Message);
}

// ------------------------------------------------------------------- page

void TvlPageWnd::SetDefaultSection() {
    RefreshGeometry(*this);
    TvlMainWnd::SetDefaultSection();
}

LRESULT TvlPageWnd::PaintPage(HDC DC) {
    RefreshGeometry(*this);
    if (!DC || !ParentHandle) return 1;
    TvlBgQuery query;
    // The page control's answer may run the application's tab drawing, which
    // may free the page control and this adapter with it.
    if (!QueryParentBackgroundWnd(query, ParentHandle, false, TvlAsker(this))) return 1;
    RECT client{};
    GetClientRect(Handle, &client);
    // A tab control the skin does not draw answers with a colour, the same
    // one the page hands its children: the page shows it too, else it keeps
    // whatever was painted there before and its children stand out.
    if (query.Kind == bqColor) {
        FillRectSolid(DC, {0, 0, client.right, client.bottom}, query.Color == vcl::clFuchsia ? vcl::clBtnFace : query.Color);
        return 1;
    }
    if (query.Kind != bqImage || !query.Image) return 1;
    vcl::TBitmap &image = *query.Image;
    if (image.Width() == 0 || image.Height() == 0) {
        SendMessageW(ParentHandle, WM_PAINT, reinterpret_cast<WPARAM>(image.Canvas()->Handle()), 0);
        if (image.Width() == 0 || image.Height() == 0) return 1;
    }
    BitBlt(DC, 0, 0, client.right, client.bottom, image.Canvas()->Handle(), PosInParent.X + query.X,
           PosInParent.Y + query.Y, SRCCOPY);
    return 1;
}

bool TvlPageWnd::AfterCommonAnswer(vcl::TMessage &Message) {
    if (!TakeLeftCommand(Message)) return TvlMainWnd::AfterCommonAnswer(Message);
    if (SubCommandOf(Message.WParam) != SC_SKIN_APPLIED) InvalidateRect(Handle, nullptr, TRUE);
    PassToChildren(nullptr, Handle, Message);
    return true;
}

bool TvlPageWnd::OwnMessage(vcl::TMessage &Message) {
    if (!SkinData) {
        return TvlMainWnd::OwnMessage(Message);
    }
    const bool own = reinterpret_cast<TsSkinManager *>(Message.LParam) == SkinManager;
    if (Message.Msg == SM_SKINCOMMAND) {
        switch (SubCommandOf(Message.WParam)) {
        case SC_SKIN_APPLIED:
        case SC_SKIN_REFRESH:
        case SC_SKIN_REMOVED:
            if (own) return LeaveToAfterCommon(Message);
            PassToChildren(nullptr, Handle, Message);
            return true;
        case SC_PARENT_UPDATE_DONE:
            if (SkinData->PaintLocked) {
                SkinData->PaintLocked = false;
                InvalidateRect(Handle, nullptr, TRUE);
            }
            return true;
        case SC_IS_HANDLED: Message.Result = 1; return true;
        case SC_IS_UPDATING: Message.Result = SkinData->PaintLocked ? 1 : 0; return true;
        case SC_GET_BG_INFO: {
            auto *query = CommandRecord<TvlBgQuery>(Message);
            if (!query || !ParentHandle) break;
            RefreshGeometry(*this);
            if (!QueryParentBackgroundWnd(*query, ParentHandle, query->PaintIntoDC, TvlAsker(this))) return true;
            query->X += PosInParent.X;
            query->Y += PosInParent.Y;
            Message.Result = 0;
            return true;
        }
        default: break;
        }
    } else if (SkinData->IsSkinned(true)) {
        switch (Message.Msg) {
        case WM_NCPAINT: Message.Result = 0; return true;
        case WM_PAINT: {
            // A DC given (the print's) goes to the class library, which
            // paints the page's graphic controls into it.
            if (!IsWindowVisible(Handle) || Message.WParam) break;
            PAINTSTRUCT ps{};
            const HWND window = Handle;
            const vcl::TGuarded alive(this);
            const HDC dc = BeginPaint(window, &ps);
            if (alive) PaintPage(dc);
            // The page's labels and other graphic controls over it, as the
            // class library paints them on a page the skin leaves alone.
            if (alive)
                if (auto *page = dynamic_cast<vcl::TWinControl *>(vcl::FindControl(window)))
                    PaintChildControls(dc, page, true, {0, 0});
            EndPaint(window, &ps);
            Message.Result = 0;
            return true;
        }
        case WM_ERASEBKGND:
            if (!IsWindowVisible(Handle)) break;
            Message.Result = PaintPage(reinterpret_cast<HDC>(Message.WParam));
            return true;
        case WM_PRINT:
            PaintPage(reinterpret_cast<HDC>(Message.WParam));
            SendMessageW(Handle, WM_PAINT, Message.WParam, 0);
            Message.Result = 0;
            return true;
        default: break;
        }
    }
    return TvlMainWnd::OwnMessage(Message);
}

} // namespace skin
