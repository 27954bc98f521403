#include "vlSkinSections.h"

#include <algorithm>

#include "PixelMath.h"
#include "sCommonDataView.h"
#include "sSkinTables.h"
#include "vlAlphaBlending.h"
#include "vlColorEffects.h"
#include "vlImageHelpers.h"
#include "vlNineSlice.h"
#include "vlSkinGlyphs.h"
#include "vlSkinPieces.h"

namespace skin {

using namespace pixel;
using vcl::TBitmapView;
using vcl::TPixels32;
using vcl::TRect;

namespace {

// The values of one state as a painter uses them.
struct TLayers {
    vcl::TColor Col = 0;
    int I = 0, G = 0, Tr = 0;
    int Texture = -1;
    const TsGradArray *Gradient = nullptr;
};

TsSkinTables *SectionManager(TsSkinTables *Manager, int SectionIndex) {
    TsSkinTables *manager = ManagerOrDefault(Manager);
    return manager && manager->IsValidSectionIndex(SectionIndex) ? manager : nullptr;
}

// State clamped to the section's states and to the three state records.
int StateRecord(const TsGeneralData &Section, int State) {
    return std::min(ClampStateIndex(State, Section.States), 2);
}

bool FitsInside(const TRect &R, const TBitmapView &Bmp) {
    return Bmp.HasRows() && !R.IsEmpty() && R.Left >= 0 && R.Top >= 0 && Bmp.Width >= R.Right &&
           Bmp.Height >= R.Bottom;
}

// BlendRectWithColor reaches its right and bottom edges: the half-open W
// is handed over without them, so nothing beside the section changes.
void KeepShareOverColour(const TBitmapView &T, const TRect &W, int Percent, vcl::TColor Col) {
    if (W.IsEmpty()) return;
    BlendRectWithColor(T, {W.Left, W.Top, W.Right - 1, W.Bottom - 1}, static_cast<std::uint8_t>(Percent), Col);
}

void GradientOrColour(const TBitmapView &T, const TRect &W, const TsGradArray *Stops, vcl::TColor Col,
                      TGradientPainter Gradient) {
    if (Stops && !Stops->empty())
        Gradient(T, W, *Stops);
    else
        FillRectAlpha(T, W, Col, 255);
}

// A texture over W; true when painted. What it leaves uncovered takes Col.
bool PaintTextureLayer(const TBitmapView &T, const TRect &W, const TsSkinTables &Manager, int P, const TBgPixels &Bg,
                       vcl::TColor Col) {
    TRect left = W;
    if (!Manager.IsValidMaskIndex(P)) {
        FillRectAlpha(T, W, Col, 255);
        return false;
    }
    const TsMaskData &tex = Manager.Masks[P];
    if (tex.MaskType != 0)
        PaintMaskedTexture(T, left, Bg, tex, tex.DrawMode);
    else
        PaintTexture32(T, left, MaskImage(tex), tex.R, tex.DrawMode);
    if (left.Right != -1) FillRectAlpha(T, left, Col, 255);
    return true;
}

// The colour, gradient and texture layers of one state into W of T.
void PaintSectionLayers(const TBitmapView &T, const TRect &W, const TsSkinTables &Manager, const TLayers &L,
                        const TBgPixels &Bg, bool Masked, TGradientPainter Gradient) {
    const bool bands = L.Gradient && !L.Gradient->empty() && L.Gradient->front().Mode < gmTriangles;
    if (!Masked && L.I + L.G == 100 && L.G >= 1 && L.G <= 99 && Manager.IsValidMaskIndex(L.Texture) &&
        Manager.Masks[L.Texture].DrawMode == 0 && bands) {
        const TsMaskData &tex = Manager.Masks[L.Texture];
        PaintGradientBlended(T, W, *L.Gradient, MaskImage(tex), tex.R, static_cast<std::uint8_t>(L.I * 255 / 100),
                             255);
        return;
    }
    bool textured = false;
    if (L.I > 0) textured = PaintTextureLayer(T, W, Manager, L.Texture, Bg, L.Col);
    if (L.G > 0) {
        if (textured) {
            TPixels32 temp(std::max(W.Width(), 0), std::max(W.Height(), 0));
            GradientOrColour(temp.View(), {0, 0, temp.Width(), temp.Height()}, L.Gradient, L.Col, Gradient);
            const int t = std::min(L.I * 255 / 100, 255);
            BlendRect32ByAlpha(T, temp.View(), static_cast<std::uint8_t>(t < 1 ? 0 : t),
                               {0, 0, temp.Width() - 1, temp.Height() - 1}, {W.Left, W.Top});
        } else {
            GradientOrColour(T, W, L.Gradient, L.Col, Gradient);
        }
    }
    const int s = L.I + L.G;
    if (s >= 1 && s <= 99) {
        KeepShareOverColour(T, W, s, L.Col);
    } else if (s == 0) {
        // Without any layer share the colour fills W; a masked section with
        // nothing known behind and full transparency takes the record's colour.
        const vcl::TColor c = Masked && !Bg.UseBmp && L.Tr == 100 ? Bg.Color : L.Col;
        FillRectAlpha(T, W, c, 255);
    }
}

void CopyBackground(const TBitmapView &Bmp, const TRect &W, const TBgPixels &Bg, vcl::TPoint Pt) {
    if (Bg.Bmp.First == Bmp.First) return;
    CopyPixels(Bmp, W.Left, W.Top, Bg.Bmp, Bg.X + Pt.X, Bg.Y + Pt.Y, std::max(W.Width(), 0),
               std::max(W.Height(), 0));
}

// Full transparency over an image lent with a colour: the image's border
// margins are copied, the inside takes the colour.
void CopyBackgroundMargins(const TBitmapView &Bmp, const TRect &W, const TBgPixels &Bg, vcl::TPoint Pt) {
    const int w = std::max(W.Width(), 0), h = std::max(W.Height(), 0);
    const TRect q{Pt.X, Pt.Y, Pt.X + w, Pt.Y + h};
    const TRect &m = Bg.R;
    const int iw = Bg.Bmp.Width, ih = Bg.Bmp.Height;
    const int sx = Bg.X + Pt.X, sy = Bg.Y + Pt.Y;
    int a = 0, b = 0, c = 0, d = 0;
    if (m.Left > Bg.X && m.Left > q.Left) {
        a = m.Left - q.Left;
        CopyPixels(Bmp, W.Left, W.Top, Bg.Bmp, sx, sy, a, h);
    }
    if (m.Top > Bg.Y && m.Top > q.Top) {
        b = m.Top - q.Top;
        CopyPixels(Bmp, W.Left, W.Top, Bg.Bmp, sx, sy, w, b);
    }
    if (m.Right > 0 && iw - m.Right < q.Right && iw > q.Right) {
        c = q.Right - (iw - m.Right);
        CopyPixels(Bmp, W.Right - c, W.Top, Bg.Bmp, Bg.X + q.Right - c, sy, c, h);
    }
    if (m.Bottom > 0 && ih - m.Bottom < q.Bottom && ih > q.Bottom) {
        d = q.Bottom - (ih - m.Bottom);
        CopyPixels(Bmp, W.Left, W.Bottom - d, Bg.Bmp, sx, Bg.Y + q.Bottom - d, w, d);
    }
    FillRectAlpha(Bmp, {W.Left + a, W.Top + b, W.Right - c, W.Bottom - d}, Bg.Color, 255);
}

// The layers in a temporary of W's size over the background already in W,
// showing at 100 - Tr percent (t of 255 keeps the background).
void BlendLayersOver(const TBitmapView &Bmp, const TRect &W, const TsSkinTables &Manager, const TLayers &L,
                     const TBgPixels &Bg, vcl::TPoint Pt, int T, bool Masked, TGradientPainter Gradient) {
    TPixels32 temp(std::max(W.Width(), 0), std::max(W.Height(), 0));
    PaintSectionLayers(temp.View(), {0, 0, temp.Width(), temp.Height()}, Manager, L, Bg, Masked, Gradient);
    if (Bg.UseBmp)
        CopyBackground(Bmp, W, Bg, Pt);
    else
        FillRectAlpha(Bmp, W, Bg.Color, 255);
    BlendRect32ByAlpha(Bmp, temp.View(), static_cast<std::uint8_t>(T), {0, 0, temp.Width() - 1, temp.Height() - 1},
                       {W.Left, W.Top});
}

TBgPixels MovedBy(TBgPixels Bg, vcl::TPoint Pt) {
    Bg.X += Pt.X;
    Bg.Y += Pt.Y;
    return Bg;
}

// The four corner images of a section over R, their key pixels showing
// what is painted already.
void PaintCornerImages(const TsSkinTables &Manager, const TsGeneralData &Section, const TRect &R,
                       const TBitmapView &Bmp) {
    const TBgPixels painted{Bmp, 0, 0, vcl::clFuchsia, true, {}};
    const struct {
        int index;
        bool right, bottom;
    } corners[] = {{Section.ImgTopLeft, false, false},
                   {Section.ImgTopRight, true, false},
                   {Section.ImgBottomLeft, false, true},
                   {Section.ImgBottomRight, true, true}};
    for (const auto &c : corners) {
        if (!Manager.IsValidMaskIndex(c.index)) continue;
        const TsMaskData &mask = Manager.Masks[c.index];
        const vcl::TPoint p{c.right ? R.Right - GetMaskFrameWidth(mask) : R.Left,
                            c.bottom ? R.Bottom - GetMaskFrameHeight(mask) : R.Top};
        DrawSkinGlyph(Bmp, p, 0, gmNormal, mask, painted);
    }
}

} // namespace

void PaintGradientBands(const TBitmapView &Bitmap, const TRect &R, const TsGradArray &Stops) {
    PaintGradient(Bitmap, R, Stops);
}

int TransparencyWeight(int Transparency) {
    const int n = Transparency * 255;
    int q = n / 100;
    const int r = n % 100;
    if (r > 50 || (r == 50 && q % 2 == 1)) ++q;
    return std::clamp(q, 0, 255);
}

void PaintSectionBackground(int SectionIndex, const TBgPixels &Bg, int State, const TRect &R, vcl::TPoint Pt,
                            const TBitmapView &Bmp, TsSkinTables *Manager, int PatternIndex, int HotPatternIndex,
                            vcl::TColor Color, TGradientPainter Gradient) {
    TsSkinTables *manager = SectionManager(Manager, SectionIndex);
    if (!manager || !Bmp.HasRows()) return;
    const TsGeneralData &section = manager->Sections[SectionIndex];
    const int s = StateRecord(section, State);
    const TsGenState &st = section.Props[s];
    TLayers L;
    if (Color == vcl::clFuchsia) {
        L.Col = st.Color;
        L.Tr = st.Transparency;
        if (L.Tr != 100) {
            L.I = st.ImagePercent;
            L.G = st.GradientPercent;
            if (L.I > 0 && PatternIndex < 0) PatternIndex = st.TextureIndex;
            if (L.G != 0) L.Gradient = &st.Gradient;
        }
    } else {
        L.Col = Color;
    }
    L.Texture = PatternIndex;
    const TRect &W = R;
    if ((!Bg.UseBmp && Bg.Color == vcl::clFuchsia) || L.Tr == 0) {
        PaintSectionLayers(Bmp, W, *manager, L, Bg, false, Gradient);
    } else if (L.Tr == 100) {
        if (Bg.UseBmp && Bg.Bmp.HasRows())
            CopyBackground(Bmp, W, Bg, Pt);
        else if (!Bg.Bmp.HasRows())
            FillRectAlpha(Bmp, W, Bg.Color, 255);
        else
            CopyBackgroundMargins(Bmp, W, Bg, Pt);
    } else if (Bg.UseBmp || L.I + L.G != 0) {
        BlendLayersOver(Bmp, W, *manager, L, Bg, Pt, TransparencyWeight(L.Tr), false, Gradient);
    } else {
        FillRectAlpha(Bmp, W, MixColors(Bg.Color, L.Col, L.Tr / 100.0), 255);
    }
    if (PatternIndex < 0) PatternIndex = st.TextureIndex;
    const int overlay = s == 0 ? PatternIndex : HotPatternIndex;
    if (manager->IsValidMaskIndex(overlay)) {
        const TsMaskData &tex = manager->Masks[overlay];
        TRect r = R;
        if (tex.MaskType > 0 && tex.DrawMode == tfTileAll) PaintMaskedTexture(Bmp, r, MovedBy(Bg, Pt), tex, tfTileAll);
    }
}

void PaintMaskedSectionBackground(int SectionIndex, int TextureIndex, const TBgPixels &Bg, int State, const TRect &R,
                                  vcl::TPoint Pt, const TBitmapView &Bmp, TsSkinTables *Manager,
                                  TGradientPainter Gradient) {
    TsSkinTables *manager = SectionManager(Manager, SectionIndex);
    if (!manager || !Bmp.HasRows()) return;
    const TsGenState &st = manager->Sections[SectionIndex].Props[std::clamp(State, 0, 2)];
    TLayers L;
    L.Col = st.Color;
    L.Tr = st.Transparency;
    L.I = st.ImagePercent;
    L.G = st.GradientPercent;
    L.Texture = L.I > 0 ? TextureIndex : -1;
    if (L.G != 0) L.Gradient = &st.Gradient;
    if (Bg.UseBmp && L.Tr == 100) {
        if (Bg.Bmp.HasRows()) CopyBackground(Bmp, R, Bg, Pt);
    } else if (!Bg.UseBmp || L.Tr == 0) {
        PaintSectionLayers(Bmp, R, *manager, L, Bg, true, Gradient);
    } else {
        BlendLayersOver(Bmp, R, *manager, L, Bg, Pt, std::clamp(L.Tr * 255 / 100, 0, 255), true, Gradient);
    }
}

void PaintSkinSection(int SectionIndex, const TBgPixels &Bg, int State, const TRect &R, vcl::TPoint Pt,
                      const TBitmapView &Bmp, TsSkinTables *Manager, int PatternIndex, int HotPatternIndex,
                      TGradientPainter Gradient) {
    TsSkinTables *manager = SectionManager(Manager, SectionIndex);
    if (!manager || !FitsInside(R, Bmp)) return;
    const TsGeneralData &section = manager->Sections[SectionIndex];
    const int state = ClampStateIndex(State, section.States);
    PaintSectionBackground(SectionIndex, Bg, state, R, Pt, Bmp, manager, PatternIndex, HotPatternIndex,
                           vcl::clFuchsia, Gradient);
    PaintCornerImages(*manager, section, R, Bmp);
    if (manager->IsValidMaskIndex(section.BorderMask))
        DrawSkinRect(Bmp, R, MovedBy(Bg, Pt), manager->Masks[section.BorderMask], state, true);
}

void PaintSectionWithMask(int SectionIndex, int MaskIndex, int TextureIndex, const TBgPixels &Bg, int State,
                          const TRect &R, vcl::TPoint Pt, const TBitmapView &Bmp, TsSkinTables *Manager,
                          TGradientPainter Gradient) {
    TsSkinTables *manager = SectionManager(Manager, SectionIndex);
    if (!manager || !FitsInside(R, Bmp)) return;
    const int state = ClampStateIndex(State, manager->Sections[SectionIndex].States);
    PaintMaskedSectionBackground(SectionIndex, TextureIndex, Bg, state, R, Pt, Bmp, manager, Gradient);
    if (manager->IsValidMaskIndex(MaskIndex))
        DrawSkinRect(Bmp, R, MovedBy(Bg, Pt), manager->Masks[MaskIndex], state, true);
}

void PaintControlSectionBackground(const TsCommonDataView &CommonData, const TBgPixels &Bg, int State,
                                   const TRect &R, vcl::TPoint Pt, const TBitmapView &Bmp, TGradientPainter Gradient) {
    TsSkinTables *manager = SectionManager(CommonData.GetSkinManager(), CommonData.SkinIndex());
    if (!manager) return;
    const vcl::TColor colour = CommonData.CustomColor() ? vcl::ColorToRGB(CommonData.OwnerColor()) : vcl::clFuchsia;
    const int state = ClampStateIndex(State, manager->Sections[CommonData.SkinIndex()].States);
    PaintSectionBackground(CommonData.SkinIndex(), Bg, state, R, Pt, Bmp, manager, CommonData.PatternIndex(),
                           CommonData.HotPatternIndex(), colour, Gradient);
}

void PaintControlSkin(const TsCommonDataView &CommonData, const TBgPixels &Bg, int State, const TRect &R,
                      vcl::TPoint Pt, const TBitmapView &Bmp, bool CornersFromBg, TGradientPainter Gradient) {
    TsSkinTables *manager = CommonData.GetSkinManager();
    if (!manager || !manager->IsValidSectionIndex(CommonData.SkinIndex()) || !FitsInside(R, Bmp)) return;
    const TsGeneralData &section = manager->Sections[CommonData.SkinIndex()];
    const int state = ClampStateIndex(State, section.States);
    PaintControlSectionBackground(CommonData, Bg, state, R, Pt, Bmp, Gradient);
    PaintCornerImages(*manager, section, R, Bmp);
    bool effects = section.Props[std::min(state, 2)].Transparency == 0;
    if (manager->IsValidMaskIndex(CommonData.BorderIndex())) {
        const TsMaskData &border = manager->Masks[CommonData.BorderIndex()];
        if (!(state == 0 && (border.DrawMode & dmNoState0))) {
            DrawSkinRect(Bmp, R, MovedBy(Bg, Pt), border, state, CornersFromBg);
            effects = true;
        }
    }
    if (!effects) return;
    // The effects change the control's own rect: the bitmap may hold more.
    const TBitmapView own = SubView(Bmp, R);
    if (CommonData.ColorTone() != vcl::clNone) ForEachPixel32(own, PixelTintProc, CommonData.ColorTone(), vcl::clFuchsia);
    if (CommonData.HueOffset() != 0) ForEachPixel32(own, PixelHueProc, CommonData.HueOffset(), vcl::clFuchsia);
    if (CommonData.Saturation() != 0) ForEachPixel32(own, PixelSaturationProc, CommonData.Saturation(), vcl::clFuchsia);
}

void PaintSkinSection32(int SectionIndex, int State, const TRect &R, const TBitmapView &Bitmap, TsSkinTables *Manager,
                        TGradientPainter Gradient) {
    TsSkinTables *manager = SectionManager(Manager, SectionIndex);
    if (!manager || !FitsInside(R, Bitmap)) return;
    const TsGeneralData &section = manager->Sections[SectionIndex];
    const int state = ClampStateIndex(State, section.States);
    // What lay under R before painting shows in the border's key corners.
    TPixels32 snapshot(R.Width() + 1, R.Height() + 1);
    CopyPixels(snapshot.View(), 0, 0, Bitmap, R.Left, R.Top, R.Width() + 1, R.Height() + 1);
    PaintSectionBg32(SectionIndex, std::min(state, 2), R, Bitmap, manager, vcl::clFuchsia, Gradient);
    if (manager->IsValidMaskIndex(section.BorderMask))
        DrawSkinRect32(Bitmap, R, {snapshot.View(), -R.Left, -R.Top, vcl::clFuchsia, true, {}},
                       manager->Masks[section.BorderMask], state);
    if (Bitmap.Width == R.Width() && Bitmap.Height == R.Height()) PremultiplyRect(Bitmap, R);
}

void PaintSectionBg32(int SectionIndex, int State, const TRect &R, const TBitmapView &Bitmap, TsSkinTables *Manager,
                      vcl::TColor Colour, TGradientPainter Gradient) {
    TsSkinTables *manager = SectionManager(Manager, SectionIndex);
    if (!manager || !Bitmap.HasRows() || R.IsEmpty()) return;
    const TsGenState &st = manager->Sections[SectionIndex].Props[std::clamp(State, 0, 2)];
    const bool whole = R.Left <= 0 && R.Top <= 0 && R.Right >= Bitmap.Width && R.Bottom >= Bitmap.Height;
    if (st.Transparency == 100) {
        if (whole) FillRectAlpha(Bitmap, R, 0, 0);
        return;
    }
    TLayers L;
    if (Colour != vcl::clFuchsia) {
        L.Col = Colour;
    } else {
        L.Col = st.Color, L.I = st.ImagePercent, L.G = st.GradientPercent, L.Tr = st.Transparency;
        if (L.G > 0) L.Gradient = &st.Gradient;
        L.Texture = L.I > 0 ? st.TextureIndex : -1;
    }
    const bool bands = L.Gradient && !L.Gradient->empty() && L.Gradient->front().Mode < gmTriangles;
    if (L.I + L.G == 100 && L.G >= 1 && L.G <= 99 && manager->IsValidMaskIndex(L.Texture) &&
        manager->Masks[L.Texture].DrawMode == 0 && bands) {
        const TsMaskData &tex = manager->Masks[L.Texture];
        PaintGradientBlended(Bitmap, R, *L.Gradient, MaskImage(tex), tex.R, static_cast<std::uint8_t>(L.I * 255 / 100),
                             static_cast<std::uint8_t>((100 - L.Tr) * 255 / 100));
        return;
    }
    bool textured = false;
    if (L.I > 0) textured = PaintTextureLayer(Bitmap, R, *manager, L.Texture, EmptyBgPixels(), L.Col);
    if (L.G > 0) {
        if (textured) {
            TPixels32 temp(R.Width(), R.Height());
            GradientOrColour(temp.View(), {0, 0, R.Width(), R.Height()}, L.Gradient, L.Col, Gradient);
            BlendRect32ByAlpha(Bitmap, temp.View(), static_cast<std::uint8_t>(std::clamp(L.I * 255 / 100, 0, 255)),
                               {0, 0, R.Width() - 1, R.Height() - 1}, {R.Left, R.Top});
        } else {
            GradientOrColour(Bitmap, R, L.Gradient, L.Col, Gradient);
        }
    }
    const int p = L.I + L.G;
    if (p >= 1 && p <= 99) {
        KeepShareOverColour(Bitmap, R, p, L.Col);
    } else if (p == 0) {
        const std::uint32_t q = Contains(Bitmap, R.Left, R.Top) ? Bitmap.At(R.Left, R.Top) : 0;
        const int alpha = (100 - L.Tr) * 255 / 100;
        if (q == 0)
            FillRectAlpha(Bitmap, R, L.Col, static_cast<std::uint8_t>(alpha));
        else if (L.Tr == 0)
            FillRectAlpha(Bitmap, R, L.Col, 255);
        else if (L.Tr == 100)
            FillRectAlpha(Bitmap, R, L.Col, static_cast<std::uint8_t>(Alpha(q)));
        else
            TintRectAlpha(Bitmap, R, L.Col, static_cast<std::uint8_t>(100 - L.Tr),
                          static_cast<std::uint8_t>(std::max(alpha, Alpha(q))));
    }
}

} // namespace skin
