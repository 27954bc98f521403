#include "SkinArt.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace skintools {

namespace {

constexpr int SamplesPerAxis = 8;
constexpr float Pi = 3.14159265358979f;

std::uint8_t ToByte(float V) { return static_cast<std::uint8_t>(std::lround(std::clamp(V, 0.0f, 1.0f) * 255.0f)); }

} // namespace

Shape RoundRect4(float X0, float Y0, float X1, float Y1, float TL, float TR, float BR, float BL) {
    return [=](float x, float y) {
        const float cx = (X0 + X1) / 2, cy = (Y0 + Y1) / 2;
        const float hw = (X1 - X0) / 2, hh = (Y1 - Y0) / 2;
        const float r = x < cx ? (y < cy ? TL : BL) : (y < cy ? TR : BR);
        const float qx = std::fabs(x - cx) - (hw - r), qy = std::fabs(y - cy) - (hh - r);
        return std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f)) + std::min(std::max(qx, qy), 0.0f) - r;
    };
}

Shape RoundRect(float X0, float Y0, float X1, float Y1, float Radius) {
    return RoundRect4(X0, Y0, X1, Y1, Radius, Radius, Radius, Radius);
}

Shape Circle(float CX, float CY, float Radius) {
    return [=](float x, float y) { return std::hypot(x - CX, y - CY) - Radius; };
}

Shape Segment(float AX, float AY, float BX, float BY, float Width) {
    return [=](float x, float y) {
        const float dx = BX - AX, dy = BY - AY;
        const float lengthSquared = dx * dx + dy * dy;
        const float t = lengthSquared > 0 ? std::clamp(((x - AX) * dx + (y - AY) * dy) / lengthSquared, 0.0f, 1.0f) : 0.0f;
        return std::hypot(x - (AX + t * dx), y - (AY + t * dy)) - Width / 2;
    };
}

Shape Arc(float CX, float CY, float Radius, float From, float To, float Width) {
    return [=](float x, float y) {
        float angle = std::atan2(y - CY, x - CX);
        while (angle < From) angle += 2 * Pi;
        if (angle <= To) return std::fabs(std::hypot(x - CX, y - CY) - Radius) - Width / 2;
        const float ax = CX + Radius * std::cos(From), ay = CY + Radius * std::sin(From);
        const float bx = CX + Radius * std::cos(To), by = CY + Radius * std::sin(To);
        return std::min(std::hypot(x - ax, y - ay), std::hypot(x - bx, y - by)) - Width / 2;
    };
}

Shape InnerBand(Shape S, float Width) {
    return [=](float x, float y) {
        const float d = S(x, y);
        return std::max(d, -d - Width);
    };
}

Shape Union(Shape A, Shape B) {
    return [=](float x, float y) { return std::min(A(x, y), B(x, y)); };
}

Shape Subtract(Shape A, Shape B) {
    return [=](float x, float y) { return std::max(A(x, y), -B(x, y)); };
}

Shape Intersect(Shape A, Shape B) {
    return [=](float x, float y) { return std::max(A(x, y), B(x, y)); };
}

Shape Translate(Shape S, float DX, float DY) {
    return [=](float x, float y) { return S(x - DX, y - DY); };
}

Canvas::Canvas(int Width, int Height) : FWidth(Width), FHeight(Height) {
    if (Width <= 0 || Height <= 0) throw std::invalid_argument("empty canvas");
    FPixels.resize(static_cast<std::size_t>(Width) * static_cast<std::size_t>(Height));
}

std::size_t Canvas::Index(int X, int Y) const {
    if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight) throw std::out_of_range("canvas pixel");
    return static_cast<std::size_t>(Y) * static_cast<std::size_t>(FWidth) + static_cast<std::size_t>(X);
}

float Canvas::Coverage(const Shape &S, int X, int Y) const {
    int inside = 0;
    for (int sy = 0; sy < SamplesPerAxis; ++sy)
        for (int sx = 0; sx < SamplesPerAxis; ++sx)
            if (S(float(X) + (float(sx) + 0.5f) / SamplesPerAxis, float(Y) + (float(sy) + 0.5f) / SamplesPerAxis) < 0) ++inside;
    return float(inside) / float(SamplesPerAxis * SamplesPerAxis);
}

void Canvas::Fill(const Shape &S, Colour C, float Opacity) {
    for (int y = 0; y < FHeight; ++y)
        for (int x = 0; x < FWidth; ++x) {
            const float a = Coverage(S, x, y) * Opacity;
            if (a <= 0) continue;
            Sample &p = FPixels[Index(x, y)];
            p.R = C.R * a + p.R * (1 - a);
            p.G = C.G * a + p.G * (1 - a);
            p.B = C.B * a + p.B * (1 - a);
            p.A = a + p.A * (1 - a);
        }
}

void Canvas::KeyOutside(const Shape &S) {
    for (int y = 0; y < FHeight; ++y)
        for (int x = 0; x < FWidth; ++x)
            if (S(float(x) + 0.5f, float(y) + 0.5f) >= 0) FPixels[Index(x, y)] = Sample{0, 0, 0, 0, true};
}

Canvas Canvas::Rotated(int Quarters) const {
    Quarters = ((Quarters % 4) + 4) % 4;
    const bool swap = Quarters % 2 == 1;
    Canvas out(swap ? FHeight : FWidth, swap ? FWidth : FHeight);
    for (int y = 0; y < FHeight; ++y)
        for (int x = 0; x < FWidth; ++x) {
            int nx = x, ny = y;
            if (Quarters == 1) nx = FHeight - 1 - y, ny = x;
            if (Quarters == 2) nx = FWidth - 1 - x, ny = FHeight - 1 - y;
            if (Quarters == 3) nx = y, ny = FWidth - 1 - x;
            out.FPixels[out.Index(nx, ny)] = FPixels[Index(x, y)];
        }
    return out;
}

Canvas Canvas::MirroredVertically() const {
    Canvas out(FWidth, FHeight);
    for (int y = 0; y < FHeight; ++y)
        for (int x = 0; x < FWidth; ++x) out.FPixels[out.Index(x, FHeight - 1 - y)] = FPixels[Index(x, y)];
    return out;
}

Colour Canvas::ColourAt(int X, int Y) const {
    const Sample &p = FPixels[Index(X, Y)];
    if (p.A <= 0) return {};
    return {p.R / p.A, p.G / p.A, p.B / p.A};
}

std::vector<Canvas> PaintFrames(const FramePainter &Painter, int FrameWidth, int FrameHeight, int Count) {
    std::vector<Canvas> frames;
    for (int state = 0; state < Count; ++state) {
        Canvas frame(FrameWidth, FrameHeight);
        Painter(frame, state);
        frames.push_back(std::move(frame));
    }
    return frames;
}

Pixel ToPixel(Colour C) { return Pixel{ToByte(C.R), ToByte(C.G), ToByte(C.B), 0xFF}; }

namespace {

template <typename PutPixel>
Image Strip(const std::vector<Canvas> &Frames, PutPixel Put) {
    if (Frames.empty()) throw std::invalid_argument("no frames");
    const int w = Frames[0].Width(), h = Frames[0].Height();
    Image out(w * static_cast<int>(Frames.size()), 2 * h);
    for (std::size_t i = 0; i < Frames.size(); ++i)
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int ox = static_cast<int>(i) * w + x;
                Put(Frames[i], x, y, out.At(ox, y), out.At(ox, y + h));
            }
    return out;
}

} // namespace

Image MaskedStrip(const std::vector<Canvas> &Frames, Colour Ground) {
    return Strip(Frames, [&](const Canvas &f, int x, int y, Pixel &image, Pixel &mask) {
        const std::uint8_t white = 0xFF;
        if (f.IsKey(x, y)) {
            image = KeyPixel;
            mask = Pixel{white, white, white, 0xFF};
            return;
        }
        const float a = f.Alpha(x, y);
        image = ToPixel(a > 0 ? f.ColourAt(x, y) : Ground);
        if (image == KeyPixel) image.B = 0xFE;  // an item's own pixel never reads as the key
        const std::uint8_t m = ToByte(1 - a);
        mask = Pixel{m, m, m, 0xFF};
    });
}

Image MaskedPngStrip(const std::vector<Canvas> &Frames) {
    return Strip(Frames, [&](const Canvas &f, int x, int y, Pixel &image, Pixel &mask) {
        const float a = f.IsKey(x, y) ? 0.0f : f.Alpha(x, y);
        const std::uint8_t m = ToByte(1 - a);
        mask = Pixel{m, m, m, 0xFF};
        image = m < 0xFF ? ToPixel(f.ColourAt(x, y)) : Pixel{0, 0, 0, 0};
    });
}

} // namespace skintools
