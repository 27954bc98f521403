#pragma once
// Drawing the skin's pictures: shapes given as signed distance functions,
// filled with 8 x 8 samples per pixel into a small premultiplied canvas, and
// the canvases of an item's states put together the way the skin reader
// takes them (states side by side; for mask type 1 the image above and its
// mask below, black where the image shows, white where the background does;
// the key colour 0xFF00FF where nothing of the item lies).
#include <cstdint>
#include <functional>
#include <vector>

#include "SkinImage.h"

namespace skintools {

struct Colour {
    float R = 0, G = 0, B = 0;
};

constexpr Colour Rgb(std::uint32_t Hex) {
    return {float((Hex >> 16) & 0xFF) / 255.0f, float((Hex >> 8) & 0xFF) / 255.0f, float(Hex & 0xFF) / 255.0f};
}

// A shape: negative inside. Coordinates are in pixels with (0, 0) the
// top-left corner of the canvas; pixel (x, y) covers [x, x + 1) x [y, y + 1).
using Shape = std::function<float(float X, float Y)>;

Shape RoundRect(float X0, float Y0, float X1, float Y1, float Radius);
// Corner radii in the order top-left, top-right, bottom-right, bottom-left.
Shape RoundRect4(float X0, float Y0, float X1, float Y1, float TL, float TR, float BR, float BL);
Shape Circle(float CX, float CY, float Radius);
// A stroke of width Width along the segment, round ends.
Shape Segment(float AX, float AY, float BX, float BY, float Width);
// An arc of the circle (CX, CY, Radius) from angle From to To (radians,
// clockwise from the positive x axis on screen), stroked Width wide.
Shape Arc(float CX, float CY, float Radius, float From, float To, float Width);
// The band of the shape that lies within Width inside its edge.
Shape InnerBand(Shape S, float Width);
Shape Union(Shape A, Shape B);
Shape Subtract(Shape A, Shape B);
Shape Intersect(Shape A, Shape B);
Shape Translate(Shape S, float DX, float DY);

class Canvas {
public:
    Canvas(int Width, int Height);
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }

    // Source-over: the shape in the colour, its coverage times Opacity.
    void Fill(const Shape &S, Colour C, float Opacity = 1.0f);
    // Pixels whose centre lies outside the shape become the key colour:
    // nothing of the item is there and the reader shows what lies behind.
    void KeyOutside(const Shape &S);
    // Returns a copy turned a quarter clockwise (Quarters 1..3) or mirrored.
    Canvas Rotated(int Quarters) const;
    Canvas MirroredVertically() const;

    float Alpha(int X, int Y) const { return FPixels[Index(X, Y)].A; }
    bool IsKey(int X, int Y) const { return FPixels[Index(X, Y)].Key; }
    // The straight colour of a pixel (undefined where alpha is 0).
    Colour ColourAt(int X, int Y) const;

private:
    struct Sample {
        float R = 0, G = 0, B = 0, A = 0;  // premultiplied
        bool Key = false;
    };
    std::size_t Index(int X, int Y) const;
    float Coverage(const Shape &S, int X, int Y) const;
    int FWidth, FHeight;
    std::vector<Sample> FPixels;
};

// Draws one state of an item into a canvas of one frame's size.
using FramePainter = std::function<void(Canvas &Frame, int State)>;

std::vector<Canvas> PaintFrames(const FramePainter &Painter, int FrameWidth, int FrameHeight, int Count);

// Mask type 1 into the master bitmap: states side by side, the image half
// above the mask half. Pixels of the item that nothing covers show Ground in
// the image half (never the key colour, so the key marks only true outside)
// and white in the mask.
Image MaskedStrip(const std::vector<Canvas> &Frames, Colour Ground);

// The same for a PNG glyph with alpha: the image half carries the colour at
// alpha 255 wherever the glyph covers anything and alpha 0 elsewhere, the
// mask half the coverage as grey. A reader that premultiplies PNG pictures
// keeps the colours of the image half, and the mask blends the edges.
Image MaskedPngStrip(const std::vector<Canvas> &Frames);

Pixel ToPixel(Colour C);

} // namespace skintools
