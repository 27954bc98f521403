#pragma once
// The glyphs of menu items, tool-bar buttons and buttons: one image of an
// image list, or one frame of a glyph strip, drawn in the look of the
// item's state (normal, hot, pressed, disabled, discoloured) into a 32-bit
// bitmap or onto a canvas. Windows only.
#include <windows.h>

#include <cstdint>
#include <memory>

#include "vcl/Types.h"

namespace vcl {
class TBitmap;
class TCanvas;
class TCustomImageList;
}

namespace skin {

class TsSkinManager;

// Bits of TvlGlyphPaintData::Options.
inline constexpr std::uint32_t goBlendDisabled = 1;  // disabled glyphs are blended at 50 % at least
inline constexpr std::uint32_t goGrayDisabled = 2;   // disabled glyph strips are turned gray

// What to draw and where; the caller fills it.
struct TvlGlyphPaintData {
    // Blend percent, 0 none: for an image-list image the percent of the
    // target that shows through, for a 32-bit glyph strip the percent of
    // the glyph's alpha that remains.
    std::int32_t BlendValue = 0;
    std::int32_t SkinIndex = -1;  // section of the item, -1 none
    std::int32_t NumGlyphs = 1;   // frames in a glyph strip (1 for image lists)
    std::int32_t ImageIndex = -1; // image of Images, -1 none
    std::int32_t State = 0;       // 0 normal, 1 hot, 2 pressed
    bool Down = false;            // pressed: moves the strip's frame on
    bool Grayed = false;          // discoloured, in DisabledColor
    bool Enabled = true;
    bool Reflected = false;       // a strip frame gets a fading mirror
    vcl::TBitmap *Glyph = nullptr;   // not owned: the strip, used without an image-list image
    vcl::TBitmap *Bitmap = nullptr;  // not owned: the 32-bit target; null draws onto Canvas
    vcl::TRect ImgRect;              // where the glyph goes
    vcl::TCanvas *Canvas = nullptr;  // not owned
    vcl::TColor DisabledColor = 0;
    vcl::TCustomImageList *Images = nullptr;  // not owned
    TsSkinManager *SkinManager = nullptr;     // not owned
    std::uint32_t Options = 0;                // go... bits
};

// Draws the glyph Data describes. The default manager's StdGlyphsOrder
// reads strips in the class library's frame order (normal, disabled,
// clicked, down), and its CheckEmptyAlpha lets an enabled 32-bit glyph
// without any alpha draw opaque (a disabled one always does).
void PaintItemGlyph(const TvlGlyphPaintData &Data);

// Image Index of Images in a new 32-bit bitmap of the list's image size,
// drawn by the list over its background colour (0xFF00FF when it has none).
// Background: that colour as a pixel value of alpha 0, which the list's
// transparent pixels keep.
std::unique_ptr<vcl::TBitmap> CopyImageListFrame(vcl::TCustomImageList &Images, int Index, std::uint32_t &Background);

// The images in the list; 0 for none.
int ImageListCount(const vcl::TCustomImageList *Images);

// ------------------------------------------------------ tool-bar buttons

// A tool bar as its adapter shows it to the glyph painting.
class TvlToolBarView {
public:
    virtual ~TvlToolBarView() = default;
    // Asked for the buttons' skin data (SC_GET_SKIN_DATA).
    virtual HWND ToolBarWindow() const = 0;
    virtual bool ToolBarEnabled() const = 0;
    virtual bool HasParentControl() const = 0;
    // The lists by state; null when the bar has none.
    virtual vcl::TCustomImageList *Images() const = 0;
    virtual vcl::TCustomImageList *DisabledImages() const = 0;
    virtual vcl::TCustomImageList *HotImages() const = 0;
    // Captions right of the glyphs.
    virtual bool ListStyle() const = 0;
    virtual bool ShowCaptions() const = 0;
    // The bar's canvas, in the bar's font; glyphs go here without a target bitmap.
    virtual vcl::TCanvas &Canvas() const = 0;
};

// One button of a tool bar.
struct TvlToolButtonInfo {
    std::int32_t ImageIndex = -1;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    bool DropDown = false;  // a drop-down button: its arrow takes room right of the glyph
};

// Bits of the custom-draw state a tool bar paints a button in.
inline constexpr std::uint32_t cdsSelected = 0x01;
inline constexpr std::uint32_t cdsDisabled = 0x04;
inline constexpr std::uint32_t cdsChecked = 0x08;
inline constexpr std::uint32_t cdsHot = 0x40;

// Where a button's glyph lies in the button: centred (moved left for a
// drop-down's arrow, up for a caption below it), or at the left with the
// caption right of it.
vcl::TRect ToolButtonGlyphRect(const TvlToolBarView &Bar, const TvlToolButtonInfo &Button);

// Draws the glyph of Button in the custom-draw state DrawState into Bitmap
// (null: onto the bar's canvas), from the bar's list for that state,
// discoloured in the normal state when the manager asks for it, moved by
// (1, 1) while pressed unless the manager keeps pressed contents still.
void PaintToolButtonGlyph(const TvlToolBarView &Bar, const TvlToolButtonInfo &Button, std::uint32_t DrawState,
                          vcl::TBitmap *Bitmap);

} // namespace skin
