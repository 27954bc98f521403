#pragma once
// Skinned text: captions in a section's font colour with contour copies, a
// soft glow of the text laid into a control's image, the embossed look of a
// disabled unskinned caption, the thin wrappers over the system's text
// drawing and measuring (wide calls: text is UTF-8), and the two blurs.
//
// The blurs, the laying of a glow mask and a control's colour effects on
// one colour are portable; drawing and measuring text are Windows only.
#include <array>
#include <cstdint>
#include <string>

#include "vcl/BitmapView.h"
#include "vcl/Types.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace vcl {
class TBitmap;
class TCanvas;
}

namespace skin {

class TsSkinTables;
class TsCommonDataView;

// Share of the text colour in a disabled caption (the rest: the background).
inline constexpr double DisabledTextRatio = 0.4;

// Weights of offsets -16 .. 16; Size taps on each side of the centre count.
struct TBlurKernel {
    int Size = 0;
    std::array<float, 33> Weights{};
    float Weight(int Offset) const { return Weights[static_cast<std::size_t>(Offset + 16)]; }
};

// The glow's kernel for a radius: equal weights over about 1.18 * Radius on
// each side, the outermost pair trimmed while the tail stays below 1/510.
// Radius 1 trims to the centre alone, radius 2 is a three-tap mean, radius
// 3 a five-tap one. A radius below 1 gives the centre alone.
TBlurKernel BuildBlurKernel(int Radius);

// An 8-bit image: one byte per pixel, Line(y)[x].
void BlurBitmap8(const vcl::TBitmapView &Gray, int Radius);

// The largest radius of a text glow, in pixels ("GSIZE"); a larger one is
// taken as this one.
inline constexpr int MaxTextGlowRadius = 48;
// The glow image of a text in R: the rect with room for the glow's radius
// (0 to MaxTextGlowRadius) and four pixels more on every side.
vcl::TSize TextGlowImageSize(const vcl::TRect &R, int Radius);
// The three-tap blur of the skin-change fade; transparent pixels do not
// darken their neighbours.
void BlurBitmap32(const vcl::TBitmapView &Bitmap);

// Lays an 8-bit glow mask (255 paper, 0 ink) onto Target with its top-left
// at (X, Y): alpha grows by the ink, colours move toward Colour.
void LayGlowMask(const vcl::TBitmapView &Target, const vcl::TBitmapView &Mask, int X, int Y, vcl::TColor Colour);

// A control's tint, hue and saturation applied to one colour (system
// colours resolved), as its image gets them.
vcl::TColor ApplyColorEffectsToColor(vcl::TColor Colour, const TsCommonDataView &CommonData);

#ifdef _WIN32
// DrawTextW of the whole text; with DT_CALCRECT R receives its extent.
int DrawTextStr(HDC DC, const std::string &Text, vcl::TRect &R, UINT Flags);
vcl::TSize DCTextExtent(HDC DC, const std::string &Text);
int CanvasTextWidth(vcl::TCanvas &Canvas, const std::string &Text);
vcl::TSize CanvasTextExtent(vcl::TCanvas &Canvas, const std::string &Text);
void CanvasTextRect(vcl::TCanvas &Canvas, const vcl::TRect &R, int X, int Y, const std::string &Text);
void DrawTextOnCanvas(vcl::TCanvas &Canvas, const std::string &Text, vcl::TRect R, UINT Flags);
// The size of Text in Font: measured with DT_CALCRECT within MaxWidth when
// MultiLine, else its extent; (0, 0) when measuring fails.
vcl::TSize GetTextSize(HFONT Font, const std::string &Text, UINT Flags, bool MultiLine, int MaxWidth);

// Text in the section's colours for State: contours first, then the font colour.
void WriteSectionText(vcl::TCanvas &Canvas, const std::string &Text, bool Enabled, const vcl::TRect &R, UINT Flags,
                      int SectionIndex, int State, TsSkinTables *Manager);
// A control's caption: skinned colours and glow, or plain (embossed when disabled).
void WriteTextForControl(vcl::TCanvas &Canvas, const std::string &Text, bool Enabled, const vcl::TRect &R,
                         UINT Flags, const TsCommonDataView &CommonData, int State);
// The blurred glow of Text around R in Bitmap; GlowMask (an 8-bit bitmap the
// caller may keep) is reused while its size fits.
void WriteTextWithEffects(vcl::TBitmap &Bitmap, const std::string &Text, const vcl::TRect &R, UINT Flags,
                          int SideMask, int Radius, vcl::TColor Colour, vcl::TBitmap &GlowMask);
// Text with alpha into a 32-bit bitmap in the section's font colour for
// State; Contour adds the contour copies and draws transparently.
void DrawSkinText(vcl::TBitmap &Bitmap, const std::string &Text, bool Contour, const vcl::TRect &R, UINT Flags,
                  int SectionIndex, int State, TsSkinTables *Manager);
#endif

} // namespace skin
