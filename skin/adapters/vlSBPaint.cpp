#include "vlSBPaint.h"

#include <algorithm>

#include "skin/graphics/vlAlphaBlending.h"
#include "skin/graphics/vlCommonUtils.h"
#include "skin/graphics/vlNineSlice.h"
#include "skin/graphics/vlParentBackground.h"
#include "skin/graphics/vlPixelHelpers.h"
#include "skin/graphics/vlSkinSections.h"
#include "skin/graphics/vlSkinText.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sModuleState.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/sVclUtils.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/Controls.h"
#include "vcl/StdCtrls.h"
#include "vcl/TypInfo.h"
#include "vcl/WideText.h"

namespace skin {

namespace {

vcl::TRect FromRECT(const RECT &R) { return {R.left, R.top, R.right, R.bottom}; }

// The disabled look a control asks for through its published set
// "DisabledKind"; blended without one.
int DisabledKindOf(const vcl::TControl &Control) {
    if (!vcl::IsPublishedProp(&Control, "DisabledKind")) return dlBlended;
    const std::string kinds = vcl::GetSetProp(&Control, "DisabledKind");
    int kind = 0;
    if (kinds.find("dkBlended") != std::string::npos) kind |= dlBlended;
    if (kinds.find("dkGrayed") != std::string::npos) kind |= dlGrayed;
    return kind;
}

// A disabled edit's text, grey, inside its border: a password shows one
// password character per character of the text.
void PaintDisabledEditText(vcl::TCustomEdit &Edit, HWND Handle, vcl::TBitmap &Cache) {
    std::string text = Edit.Text();
    if (const auto password = static_cast<wchar_t>(SendMessageW(Handle, EM_GETPASSWORDCHAR, 0, 0))) {
        const std::string mark = vcl::WideToUtf8(std::wstring_view(&password, 1));
        const std::size_t count = Utf8Length(text);
        text.clear();
        for (std::size_t i = 0; i < count; ++i) text += mark;
    }
    vcl::TRect r = ClientRectInWindow(Handle);
    r.Left += LOWORD(SendMessageW(Handle, EM_GETMARGINS, 0, 0));
    vcl::TCanvas &canvas = *Cache.Canvas();
    canvas.SetFont(Edit.Font());
    canvas.Font()->SetColor(vcl::clGrayText);
    canvas.Brush()->SetStyle(vcl::bsClear);
    DrawTextOnCanvas(canvas, text, r, DT_SINGLELINE | DT_NOPREFIX);
}

} // namespace

std::size_t Utf8Length(const std::string &Text) {
    return static_cast<std::size_t>(
        std::count_if(Text.begin(), Text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// ------------------------------------------------------------------ fonts

vcl::TFontHandle CreateSystemFont(int Kind) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) return vcl::TFontHandle();
    const LOGFONTW *font = &metrics.lfMessageFont;
    switch (Kind) {
    case 1: font = &metrics.lfCaptionFont; break;
    case 2: font = &metrics.lfSmCaptionFont; break;
    case 3: font = &metrics.lfMenuFont; break;
    case 4: font = &metrics.lfStatusFont; break;
    default: break;
    }
    return vcl::TFontHandle(CreateFontIndirectW(font));
}

void SelectSystemFont(vcl::TCanvas &Canvas, int Kind) {
    const vcl::TFontHandle font = CreateSystemFont(Kind);
    if (font) Canvas.Font()->SetHandle(font.Get());
}

// --------------------------------------------------------------- geometry

void ParentClientRect(HWND Handle, HWND &Parent, vcl::TRect &WindowRect, vcl::TPoint &TopLeft, vcl::TSize &Size,
                      vcl::TRect &ParentRect) {
    RECT w{};
    GetWindowRect(Handle, &w);
    WindowRect = FromRECT(w);
    Size = {w.right - w.left, w.bottom - w.top};
    Parent = GetParent(Handle);
    POINT origin{w.left, w.top};
    RECT p{};
    if (Parent) {
        ScreenToClient(Parent, &origin);
        GetWindowRect(Parent, &p);
    }
    TopLeft = {origin.x, origin.y};
    ParentRect = FromRECT(p);
}

// ------------------------------------------------------------- properties

void SetIntProp(vcl::TObject *Object, const std::string &Name, std::int64_t Value) {
    if (Object && vcl::IsPublishedProp(Object, Name)) vcl::SetOrdProp(Object, Name, Value);
}

std::int64_t GetIntProp(const vcl::TObject *Object, const std::string &Name) {
    return Object && vcl::IsPublishedProp(Object, Name) ? vcl::GetOrdProp(Object, Name) : 0;
}

vcl::TColor GetColorProp(const vcl::TObject *Object, const std::string &Name) {
    return Object && vcl::IsPublishedProp(Object, Name)
               ? vcl::ColorToRGB(static_cast<vcl::TColor>(vcl::GetOrdProp(Object, Name)))
               : 0;
}

// ---------------------------------------------------------- notifications

void PassToChildren(vcl::TControl *Control, HWND Handle, const vcl::TMessage &Message) {
    if (auto *windowed = dynamic_cast<vcl::TWinControl *>(Control))
        BroadcastToChildControls(windowed, Message);
    else if (Handle)
        BroadcastToChildWindows(Handle, Message);
}

void NotifyTopWindowGraphic(HWND Handle) {
    if (HWND top = Handle ? GetAncestor(Handle, GA_ROOT) : nullptr) SendSkinCommand(top, SC_REFRESH_GRAPHIC_CONTROL, 0);
}

bool HasStateImages(const TsCommonData *SkinData, bool ForHover) {
    if (!SkinData) return false;
    const TsSkinManager *m = SkinData->GetSkinManager();
    if (!m || SkinData->SkinIndex() < 0 || SkinData->BorderIndex() < 0) return false;
    if (ForHover && HotColorOptionKinds.Contains(SkinData->ControlKind) && !ModuleState().ExtendedHotTracking)
        return false;
    if (ForHover && m->Options()->GetFlag(ofNoMouseHover)) return false;
    const bool borderStates = m->IsValidMaskIndex(SkinData->BorderIndex()) &&
                              m->Masks[static_cast<std::size_t>(SkinData->BorderIndex())].ImageCount > 1;
    const bool sectionStates = m->IsValidSectionIndex(SkinData->SkinIndex()) &&
                               m->Sections[static_cast<std::size_t>(SkinData->SkinIndex())].States > 1;
    return borderStates || sectionStates;
}

int SkinnedControlState(const TsCommonData &SkinData) {
    return SkinData.Focused || (SkinData.MouseInside && HasStateImages(&SkinData, true)) ? 1 : 0;
}

// --------------------------------------------------------------- painting

void FillWithBackground(vcl::TBitmap &Cache, const TvlBgInfo &Bg, vcl::TPoint Pos) {
    if (Bg.UseBmp && Bg.Bmp) {
        BitBlt(Cache.Canvas()->Handle(), 0, 0, Cache.Width(), Cache.Height(), Bg.Bmp->Canvas()->Handle(), Pos.X + Bg.X,
               Pos.Y + Bg.Y, SRCCOPY);
        return;
    }
    vcl::TCanvas &canvas = *Cache.Canvas();
    canvas.Brush()->SetStyle(vcl::bsSolid);
    canvas.Brush()->SetColor(Bg.Color == vcl::clFuchsia ? vcl::clBtnFace : Bg.Color);
    canvas.FillRect({0, 0, Cache.Width(), Cache.Height()});
}

void PaintDisabledBlend(vcl::TBitmap &Cache, const TvlBgInfo &Bg, vcl::TPoint Pos) {
    if (Bg.UseBmp && Bg.Bmp) {
        const vcl::TPoint at{Pos.X + Bg.X, Pos.Y + Bg.Y};
        BlendRect32ByRatio(Cache, 0, 0, *Bg.Bmp, {at.X, at.Y, at.X + Cache.Width(), at.Y + Cache.Height()},
                           DisabledBlendRatio, vcl::clFuchsia);
    } else {
        FadeBitmapToColor(Cache, Bg.Color, DisabledBlendRatio);
    }
}

bool PaintSkinnedControl(TsCommonData &SkinData, HWND Handle, bool ParentColorOnly, const TvlAsker &Asker) {
    if (!SkinData.BGChanged || !Handle) return true;
    RECT w{};
    GetWindowRect(Handle, &w);
    SkinData.PrepareCache();
    TvlBgInfo bg = EmptyBgInfo;
    const HWND parent = GetParent(Handle);
    POINT offset{w.left, w.top};
    if (parent) {
        TvlBgQuery query;
        const TvlAsker record(&SkinData, SkinData.OwnerControl());
        if (!QueryParentBackgroundWnd(query, parent, false, Asker) || record.Gone()) return false;
        if (query.Kind == bqNoImage) {
            // Painting waits until the parent has its picture.
            SkinData.PaintLocked = true;
            return false;
        }
        BgQueryToBgInfo(query, bg);
        ScreenToClient(parent, &offset);
    }
    vcl::TBitmap *cache = SkinData.CacheBmp();
    const int width = w.right - w.left, height = w.bottom - w.top;
    cache->SetSize(width, height);
    const vcl::TRect whole{0, 0, width, height};
    TsSkinManager *m = SkinData.GetSkinManager();
    if (!ParentColorOnly || !m || m->GetMainColor() == vcl::clFuchsia) {
        if (m && m->IsValidSectionIndex(SkinData.SkinIndex())) {
            const int state = SkinnedControlState(SkinData);
            // Our class library reads left to right: the offset is never mirrored.
            PaintControlSkin(SkinData, bg, state, whole, {offset.x, offset.y}, *cache, true);
        } else {
            FillWithBackground(*cache, bg, {offset.x, offset.y});
        }
    } else {
        vcl::TCanvas &canvas = *cache->Canvas();
        canvas.Brush()->SetStyle(vcl::bsSolid);
        canvas.Brush()->SetColor(m->GetMainColor());
        canvas.FillRect(whole);
        canvas.Brush()->SetColor(vcl::clWindow);
        canvas.FrameRect(whole);
    }
    vcl::TControl *control = SkinData.OwnerControl();
    if (control && !control->Enabled()) {
        if (auto *edit = dynamic_cast<vcl::TCustomEdit *>(control)) PaintDisabledEditText(*edit, Handle, *cache);
        PaintDisabledLook(*cache, DisabledKindOf(*control), control, &bg, {offset.x, offset.y});
    }
    SkinData.BGChanged = false;
    return true;
}

} // namespace skin
