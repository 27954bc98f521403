#pragma once
// TvlVirtualTreeViewWnd: the adapter of a virtual tree of a component
// library (the "VirtualTree" kind). It gives the tree the skin's colours
// through the tree's published colour properties and paints its column
// header through the tree's two header-drawing events, which it takes only
// while the owner has not set them. The tree's own colours, options and
// handlers come back when the skin goes. Windows only.
#include <windows.h>

#include <cstdint>
#include <string>

#include "vlEditWnd.h"

namespace skin {

// What a virtual tree hands its header-drawing events: one column.
struct TvlHeaderPaintInfo {
    HDC TargetDC = nullptr;      // where the column is drawn
    vcl::TRect PaintRectangle;   // the column in TargetDC
    vcl::TRect TextRectangle;    // its caption's place in TargetDC
    vcl::TPoint SortGlyphPos;    // its sort glyph's place in TargetDC
    bool IsHoverIndex = false;
    bool IsDownIndex = false;
    bool ShowSortGlyph = false;
    bool WrapCaption = false;    // the column's options hold "coWrapCaption"
    std::string Text;            // the column's caption
};

// Elements of a header column (bits of the element set).
inline constexpr std::uint32_t hpeBackground = 1, hpeDropMark = 2, hpeHeaderGlyph = 4, hpeSortGlyph = 8, hpeText = 16;

using TvlAdvancedHeaderDrawEvent =
    vcl::TMethod<void(vcl::TObject *Sender, TvlHeaderPaintInfo &PaintInfo, std::uint32_t Elements)>;
using TvlHeaderDrawQueryElementsEvent =
    vcl::TMethod<void(vcl::TObject *Sender, TvlHeaderPaintInfo &PaintInfo, std::uint32_t &Elements)>;

class TvlVirtualTreeViewWnd : public TvlEditWnd {
public:
    ~TvlVirtualTreeViewWnd() override;
    void SaveControlColors() override;
    void RestoreControlColors() override;
    void ApplySkinColors() override;
    bool OwnMessage(vcl::TMessage &Message) override;
    bool KeepsVisualStyle(bool) const override { return true; }

    // The header painter and the element query the adapter puts into the
    // tree's events.
    void AdvancedHeaderDraw(vcl::TObject *Sender, TvlHeaderPaintInfo &PaintInfo, std::uint32_t Elements);
    void HeaderDrawQueryElements(vcl::TObject *Sender, TvlHeaderPaintInfo &PaintInfo, std::uint32_t &Elements);

    // The tree's own values.
    vcl::TColor SavedColors[9] = {};
    bool SavedOwnerDraw = false;
    bool DrawEventSet = false;   // the adapter set the event (and clears it again)
    bool QueryEventSet = false;

private:
    vcl::TControl *Tree() const;
    // "PaintInfoColumn" and, where the tree has one, the header's colours.
    void ApplyInfoColumnColors(vcl::TControl &Tree, const TsSkinManager &M);
    // "Header"."Height" while "hoVisible" is in its options, else 0.
    int VisibleHeaderHeight() const;
    // The tree scrolls while it cannot draw, and is drawn whole after.
    void ScrollQuietly(vcl::TMessage &Message);
    // The client below the header (which the tree keeps in its frame), the
    // rest by the tree, then the skin's border and bars.
    void Print(vcl::TMessage &Message);
    // The skin's border, the tree's own frame part (its header) printed by
    // the tree, then the bars.
    void NcPaint(vcl::TMessage &Message);
    // The skin's strips stand for the client edge only (2 px); any other
    // frame is the tree's, printed after them.
    int BorderStripWidth() const;
};

} // namespace skin
