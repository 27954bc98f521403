#pragma once
// Live counts of the handles that the class library's owners hold: GDI
// objects (fonts, brushes, pens, bitmaps, palettes, regions, and icons, which
// are made of bitmaps), device contexts and windows. Every owner counts a
// handle when it takes one and uncounts it when it gives it back, so a test
// can check that making and destroying something returns each count to where
// it was. (The system's own counts are no help here: Wine answers 0.)
//
//     const THandleCounts before = LiveHandles();
//     ... create and destroy ...
//     EXPECT_EQ(LiveHandles(), before);
//
// The counts are per process and may be read from any thread. Portable.
#include <ostream>

namespace vcl {

struct THandleCounts {
    long GdiObjects = 0;
    long DCs = 0;
    long Windows = 0;

    friend bool operator==(const THandleCounts &, const THandleCounts &) = default;
};

// The counts now.
THandleCounts LiveHandles();
// "3 GDI objects, 1 DC, 2 windows": what a failed comparison prints. Inline,
// so that only the tests that print it pay for the streams: out of line it
// would link the whole locale machinery (about 400 KB) into the installer.
inline std::ostream &operator<<(std::ostream &Out, const THandleCounts &Counts) {
    return Out << Counts.GdiObjects << " GDI objects, " << Counts.DCs << " DCs, " << Counts.Windows << " windows";
}

// For the owners: a handle of this kind was taken (+1) or given back (-1).
enum class THandleKind { GdiObject, DC, Window };
void CountHandle(THandleKind Kind, int Delta);

} // namespace vcl
