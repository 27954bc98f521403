#pragma once
// Glyphs kept in an image list: one image may hold several frames side by
// side (one per control state); one frame is drawn into a 32-bit bitmap or a
// device context, the list drawing it with its own mask over a copy of what
// lies behind. Windows only.
#include <windows.h>

#include "vcl/Types.h"

namespace vcl {
class TBitmap;
class TCustomImageList;
}

namespace skin {

// Frame Frame (clamped to 0 .. FrameCount - 1; a count below 1 counts as 1)
// of image Index, with its top-left at (X, Y) of Dst. The frame is the
// list's width divided by FrameCount (rounded down). Answers the frame's
// size; (0, 0) and nothing drawn without an image list handle, for a
// negative Index or an empty Dst.
vcl::TSize DrawImageListGlyph(vcl::TCustomImageList &ImageList, vcl::TBitmap &Dst, int X, int Y, int Index,
                              int Frame, int FrameCount);
// The same onto a device context.
void DrawImageListGlyphOnCanvas(vcl::TCustomImageList &ImageList, HDC DC, int X, int Y, int Index, int Frame,
                                int FrameCount);

} // namespace skin
