#pragma once
// The records of a loaded skin: the mask table (one TsMaskData per image or
// mask cut from the skin's pictures) and the section table (one
// TsGeneralData per section of the options file), with the frame-size
// routines of a mask. Index -1 means "none" throughout.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vcl/Types.h"
#include "vlGradients.h"

namespace vcl {
class TBitmap;
}

namespace skin {

class TsSkinTables;  // sSkinTables.h: the manager's tables

// One image or mask of the skin. A new item is zero-filled.
struct TsMaskData {
    // The item's own 32-bit bitmap, or none: then the item is the rect R of
    // the manager's master bitmap. Shared with the external-image table when
    // the picture was loaded from a file of its own.
    std::shared_ptr<vcl::TBitmap> Bmp;
    std::string ClassName;     // options section that defined the item
    std::string PropertyName;  // its key there ("BORDERSMASK", "GLYPHMASK" ...)
    vcl::TRect R;              // area of the item in its image
    std::int16_t ImageCount = 0;   // state images side by side in R
    std::int16_t MaskType = 0;     // parts stacked vertically less one; -1 none
    std::int16_t BorderWidth = 0;  // margin for every side whose own margin is below 1
    std::uint16_t DrawMode = 0;    // dmStretch | dmNoState0 | dmDrawCenter
    std::uint8_t ImageKind = 0;    // 1 texture, 2 given in the '@' form
    TsSkinTables *Manager = nullptr;  // not owned: the manager that holds the item; without one it is not drawn
    std::int16_t WL = 0;  // nine-slice margins; 0 = derived
    std::int16_t WT = 0;
    std::int16_t WR = 0;
    std::int16_t WB = 0;
    std::int32_t CornerClass = 0;   // 1 key pixels in the corners, 2 "BUTTON_HUGE" border
    std::int32_t OwnerSection = 0;  // index of the defining section
};
using TsMaskArray = std::vector<TsMaskData>;

// Bits of TsMaskData::DrawMode.
inline constexpr std::uint16_t dmStretch = 1;
inline constexpr std::uint16_t dmNoState0 = 2;
inline constexpr std::uint16_t dmDrawCenter = 4;

// The look of a section in one state.
struct TsGenState {
    std::int32_t GSize = 0;
    std::int32_t ImagePercent = 0;     // share of the texture, percent
    std::int32_t TextureIndex = -1;    // mask index of the texture, set after loading
    std::int32_t Transparency = 0;     // percent of the parent background showing through
    std::int32_t GradientPercent = 0;  // share of the gradient, percent
    vcl::TColor Color = 0xFFFFFF;
    vcl::TColor GCol = 0xFFFFFF;
    vcl::TColor FontColor = 0;
    vcl::TColor TCLeft = -1;  // text contour colours; -1 none
    vcl::TColor TCTop = -1;
    vcl::TColor TCRight = -1;
    vcl::TColor TCBottom = -1;
    TsGradArray Gradient;
};

// The defaults of the normal state of every section.
inline const TsGenState DefaultGenState{};

// Normal, hot (mouse over or focused), second state (pressed or checked).
using TsProps = std::array<TsGenState, 3>;

// One section of the skin.
struct TsGeneralData {
    std::string ParentClass;
    std::string ClassName;  // compared exactly, case included
    TsProps Props{DefaultGenState, DefaultGenState, DefaultGenState};
    bool UseState2 = false;
    bool GiveOwnFont = false;
    bool ReservedBoolean = false;
    std::int32_t States = 3;        // at most 255
    std::int32_t BorderKind = -2;   // -2 no border mask, -1 edit border of margins 1, else 0
    std::int32_t Glow = 0;
    std::int32_t GlowMargin = 0;
    std::int32_t Reserved1[2] = {0, 0};  // never written; stay 0
    std::int32_t BorderMask = -1;
    std::int32_t ImgTopLeft = -1;
    std::int32_t ImgTopRight = -1;
    std::int32_t ImgBottomLeft = -1;
    std::int32_t ImgBottomRight = -1;
    std::int32_t Reserved2[2] = {0, 0};  // never written; stay 0
    std::int32_t OuterMode = 2;
    std::int32_t OuterMask = -1;
    std::int32_t OutOpacity = 200;
    std::int32_t OutOffsL = 0;
    std::int32_t OutOffsT = 0;
    std::int32_t OutOffsR = 0;
    std::int32_t OutOffsB = 0;
};
using TsGeneralDataArray = std::vector<TsGeneralData>;

// One of the skin's two outer effects ("LO_" and "SH_" keys).
struct TvlOutEffect {
    vcl::TColor ColorL = 0, ColorT = 0, ColorR = 0, ColorB = 0;
    std::int32_t OffsetL = 0, OffsetT = 0, OffsetR = 0, OffsetB = 0;
    std::int32_t WidthL = -1, WidthT = -1, WidthR = -1, WidthB = -1;  // -1 not set
    std::int32_t MaskIndex = -1;
    std::int32_t Source = 0;  // 0 none, 1 the skin's image, else the built-in blur
    std::int32_t Opacity = 0;
};
using TvlOutEffArray = std::vector<TvlOutEffect>;

// A picture loaded from a file of its own; the table owns the bitmap.
struct TvlExtFileData {
    std::shared_ptr<vcl::TBitmap> Bitmap;
    std::string FileName;  // as written in the options value
    std::int32_t Reserved = 0;
};
using TvlExtArray = std::vector<TvlExtFileData>;

// Width of one state image; 0 for a mask without images. May be negative
// when R is (no clamping).
int GetMaskFrameWidth(const TsMaskData &Mask);
// Height of one part (image or mask); 0 for MaskType -1.
int GetMaskFrameHeight(const TsMaskData &Mask);
vcl::TSize GetMaskFrameSize(const TsMaskData &Mask);

// A state index clamped to 0 .. Count - 1 (Count is a section's States or a
// mask's ImageCount); 0 when Count is below 1, so that no index is negative.
int ClampStateIndex(int State, int Count);

} // namespace skin
