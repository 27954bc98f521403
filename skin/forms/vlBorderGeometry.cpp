#include "vlBorderGeometry.h"

#include <algorithm>

#include "skin/graphics/sMaskData.h"

namespace skin {

namespace {

constexpr int HtLeft = 10, HtRight = 11, HtTop = 12, HtTopLeft = 13, HtTopRight = 14, HtBottom = 15,
              HtBottomLeft = 16, HtBottomRight = 17;

bool Between(int V, int Low, int High) { return V >= Low && V <= High; }

} // namespace

int SizingZoneWidth(const TvlBorderSkin &Skin) { return std::max(Skin.BorderWidth, 6); }

vcl::TRect OuterShadowLimit(int W, int H, const vcl::TRect &M, const TvlBorderSkin &Skin) {
    if (Skin.BorderMode == 1)
        return {M.Left - Skin.AlignLeft, M.Top - Skin.AlignTop, W - M.Right + Skin.AlignRight,
                H - M.Bottom + Skin.AlignBottom};
    const int w = SizingZoneWidth(Skin);
    return {M.Left - w, M.Top - w, W - M.Right + w, H - M.Bottom + w};
}

bool InOuterShadow(vcl::TPoint P, int W, int H, const vcl::TRect &M, const TvlBorderSkin &Skin) {
    const vcl::TRect r = OuterShadowLimit(W, H, M, Skin);
    return !(Between(P.X, r.Left, r.Right) && Between(P.Y, r.Top, r.Bottom));
}

int BorderSizingCode(vcl::TPoint P, int W, int H, const vcl::TRect &M, const TvlBorderSkin &Skin, int N) {
    bool top, bottom, left, right;
    if (Skin.BorderMode == 1) {
        if (InOuterShadow(P, W, H, M, Skin)) return 0;
        const int l = Skin.AlignLeft, t = Skin.AlignTop, r = Skin.AlignRight, b = Skin.AlignBottom;
        top = Between(P.Y, M.Top - t, M.Top - t + 4);
        bottom = Between(P.Y, H - M.Bottom + b - N, H - M.Bottom + b);
        left = Between(P.X, M.Left - l, M.Left - l + N);
        right = Between(P.X, W - M.Right + r - N, W - M.Right + r);
    } else {
        const int w = SizingZoneWidth(Skin);
        top = Between(P.Y, M.Top - w, M.Top);
        bottom = Between(P.Y, H - M.Bottom, H - M.Bottom + w);
        left = Between(P.X, M.Left - w, M.Left);
        right = Between(P.X, W - M.Right, W - M.Right + w);
    }
    // Top wins over bottom and left over right where zones meet (a very
    // small window): one code, never two.
    const int vertical = top ? 1 : bottom ? 2 : 0;
    if (left) return vertical == 1 ? HtTopLeft : vertical == 2 ? HtBottomLeft : HtLeft;
    if (right) return vertical == 1 ? HtTopRight : vertical == 2 ? HtBottomRight : HtRight;
    return vertical == 1 ? HtTop : vertical == 2 ? HtBottom : 0;
}

vcl::TRect MaximizedBorderRect(int W, int H, const vcl::TRect &M, int B, int E) {
    return {M.Left + B + E, M.Top + 4, W - B - E - M.Right, H - B - E - M.Bottom};
}

namespace {

// One direction of an edge's double click: the span From..To stretched over
// Work's span, or given back what was saved.
void ToggleSpan(int &From, int &To, int WorkFrom, int WorkTo, bool &Stretched, int &SavedFrom, int &SavedSize) {
    if (Stretched) {
        From = SavedFrom;
        To = SavedFrom + SavedSize;
    } else {
        SavedFrom = From;
        SavedSize = To - From;
        From = WorkFrom;
        To = WorkTo;
    }
    Stretched = !Stretched;
}

} // namespace

vcl::TRect ToggleEdgeMaximize(const vcl::TRect &Window, const vcl::TRect &WorkArea, int HitCode,
                              TvlEdgeMaximize &Saved) {
    constexpr int left = 10, right = 11, top = 12, bottom = 15;
    vcl::TRect r = Window;
    if (HitCode == top || HitCode == bottom)
        ToggleSpan(r.Top, r.Bottom, WorkArea.Top, WorkArea.Bottom, Saved.Vertical, Saved.Top, Saved.Height);
    else if (HitCode == left || HitCode == right)
        ToggleSpan(r.Left, r.Right, WorkArea.Left, WorkArea.Right, Saved.Horizontal, Saved.Left, Saved.Width);
    return r;
}

bool EndEdgeStretch(int FormTop, int &Y, int &Height, TvlEdgeMaximize &Saved) {
    if (!Saved.Vertical && !Saved.Horizontal) return false;
    if (Saved.Vertical) {
        if (FormTop != Y) {
            // The remembered height itself: the top added to it would
            // stretch the form by its own distance from the screen's top.
            Height = Saved.Height;
        } else {
            Height += FormTop - Saved.Top;
            Y = Saved.Top;
        }
    }
    Saved.Vertical = Saved.Horizontal = false;
    return true;
}

namespace {

int SkinBorderOf(const TvlFrameSizes &F) { return F.SkinBorder != 0 ? F.SkinBorder : F.NativeBorder; }

} // namespace

int SkinCaptionHeight(int SkinCaption, int NativeCaption) {
    if (SkinCaption <= 0) return NativeCaption;
    return SkinCaption > NativeCaption ? std::max(SkinCaption, NativeCaption + 4) : SkinCaption;
}

vcl::TSize CaptionButtonSize(const TsMaskData *Picture) {
    if (!Picture) return {DefaultCaptionButton, DefaultCaptionButton};
    return GetMaskFrameSize(*Picture);
}

int FrameSideExcess(const TvlFrameSizes &F) { return SkinBorderOf(F) - F.NativeBorder; }

int FrameTopExcess(const TvlFrameSizes &F) {
    return SkinCaptionHeight(F.SkinCaption, F.NativeCaption) - F.NativeCaption - F.NativeBorder;
}

vcl::TPoint FrameWindowOffset(const TvlFrameSizes &F) {
    return {F.Margins.Left + FrameSideExcess(F), F.Margins.Top + FrameTopExcess(F)};
}

vcl::TPoint FrameClientOffset(const TvlFrameSizes &F) {
    const int menu = F.MenuRows * F.MenuRowHeight + (F.MenuRowHeight != 0 ? 1 : 0);
    return {SkinBorderOf(F) + F.FormBorder + F.Margins.Left,
            SkinCaptionHeight(F.SkinCaption, F.NativeCaption) + menu + F.FormBorder + F.Margins.Top};
}

vcl::TSize FrameImageSize(const TvlFrameSizes &F, int W, int H) {
    const int side = FrameSideExcess(F);
    return {W + 2 * side + F.Margins.Left + F.Margins.Right,
            H + side + FrameTopExcess(F) + F.Margins.Top + F.Margins.Bottom};
}

TvlBorderUpdate BorderUpdateAction(const TvlBorderUpdateState &S) {
    if (!S.AtFormLeft && !S.Minimized) return buSkip;  // the window is being placed
    if (S.PaintLockTaken || S.InShowAnimation || S.PaintLocked || !S.DrawNonClientArea) return buSkip;
    if (S.Destroying) return buRemoveBorders;
    // Hidden without an animation that still shows it: the border goes along.
    if (!S.Visible && (S.StateFlags == 0 || S.StateFlags == 0x8000)) return buFreeWindow;
    return buUpdate;
}

TvlBorderZOrder BorderZOrder(bool StayOnTopActive, bool OwnerTopmost, bool OwnerMinimized, std::uint32_t StateFlags) {
    TvlBorderZOrder z;
    z.NoZOrder = (StateFlags & 0x1) != 0;  // a size change in hand keeps the order
    if (StayOnTopActive) z.Anchor = baTop;
    else if (OwnerTopmost) z.Anchor = baTopmost;
    else if (OwnerMinimized || z.NoZOrder) z.Anchor = baAboveOwner;
    return z;
}

std::vector<vcl::TRect> BlurBehindRects(const vcl::TBitmapView &Image, const vcl::TRect &M, int FormOffset) {
    std::vector<vcl::TRect> rects;
    if (!Image.HasRows()) return rects;
    const int left = std::max(M.Left - 1, 0), top = std::max(M.Top - 1, 0);
    const int right = std::min(Image.Width - M.Right + 1, Image.Width);
    const int bottom = std::min(Image.Height - M.Bottom + 1, Image.Height);
    const int f = std::max(FormOffset, 0);
    std::size_t band = 0;  // the first rectangle of the band the last row began or joined
    std::vector<vcl::TRect> row;
    for (int y = top; y < bottom; ++y) {
        row.clear();
        const bool edgeRow = y < top + f || y >= bottom - f;
        for (int x = left; x < right;) {
            const auto cut = [&](int X) {
                const bool strip = edgeRow || X < left + f || X >= right - f;
                return strip && (Image.At(X, y) & 0xFFFFFF) == 0;
            };
            if (cut(x)) {
                ++x;
                continue;
            }
            int end = x;
            while (end < right && !cut(end)) ++end;
            row.push_back({x, y, end, y + 1});
            x = end;
        }
        // A row like the band above it makes that band taller.
        const bool same = band < rects.size() && rects.size() - band == row.size() && rects.back().Bottom == y &&
                          std::equal(row.begin(), row.end(), rects.begin() + static_cast<std::ptrdiff_t>(band),
                                     [](const vcl::TRect &A, const vcl::TRect &B) {
                                         return A.Left == B.Left && A.Right == B.Right;
                                     });
        if (same) {
            for (std::size_t i = band; i < rects.size(); ++i) rects[i].Bottom = y + 1;
        } else {
            band = rects.size();
            rects.insert(rects.end(), row.begin(), row.end());
        }
    }
    return rects;
}

bool CaptionPressBlends(const TvlDragBlend &B) { return B.Active && (!B.Composition || MaximizedDragBlends(B)); }

bool MaximizedDragBlends(const TvlDragBlend &B) { return B.Active && B.BlendValue != 255 && B.FormAllows; }

} // namespace skin
