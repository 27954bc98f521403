// Draws the product picture of the installer's main window: a point-of-sale
// counter (customer screen, card terminal, receipt printer) in the colours of
// the stored skin, written as a 24-bit BMP, or as a JPEG when the output's
// name ends in ".jpg".
//
//   zuvo_draw_product_picture <output.bmp|output.jpg>
//
// Everything is computed from the shapes below, supersampled 4x4 per pixel,
// so every build produces the same bytes without any image in the sources.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "JpegEncode.h"
#include "SkinImage.h"

namespace {

constexpr int Width = 313;   // the picture control's size, so nothing is rescaled
constexpr int Height = 221;
constexpr int Samples = 4;   // per axis

struct Colour {
    float R, G, B;
};

constexpr Colour Hex(std::uint32_t rgb) {
    return {float((rgb >> 16) & 0xFF), float((rgb >> 8) & 0xFF), float(rgb & 0xFF)};
}

// The stored skin's palette: one accent on calm light greys and slate.
constexpr Colour Accent = Hex(0x2B6CB0);
constexpr Colour AccentLight = Hex(0xBEE3F8);
constexpr Colour Slate = Hex(0x2D3748);
constexpr Colour SlateMid = Hex(0x4A5568);
constexpr Colour SlateLight = Hex(0x718096);
constexpr Colour Paper = Hex(0xFFFFFF);
constexpr Colour Screen = Hex(0xF7FAFC);
constexpr Colour LineLight = Hex(0xE2E8F0);
constexpr Colour LineMid = Hex(0xCBD5E0);
constexpr Colour LineDark = Hex(0xA0AEC0);
constexpr Colour Chip = Hex(0xE9C46A);
constexpr Colour Shadow = Hex(0x1A202C);

// Signed distance of a point to a shape: negative inside.
using Shape = std::function<float(float x, float y)>;

Shape RoundRect(float x0, float y0, float x1, float y1, float r) {
    return [=](float x, float y) {
        const float hw = (x1 - x0) / 2, hh = (y1 - y0) / 2;
        const float qx = std::fabs(x - (x0 + hw)) - (hw - r);
        const float qy = std::fabs(y - (y0 + hh)) - (hh - r);
        const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
        return outside + std::min(std::max(qx, qy), 0.0f) - r;
    };
}

Shape Box(float x0, float y0, float x1, float y1) { return RoundRect(x0, y0, x1, y1, 0); }

Shape Ellipse(float cx, float cy, float rx, float ry) {
    return [=](float x, float y) {
        return (std::hypot((x - cx) / rx, (y - cy) / ry) - 1) * std::min(rx, ry);
    };
}

// Inside by the even-odd rule; the distance is only used for its sign.
Shape Polygon(std::vector<float> xy) {
    return [xy = std::move(xy)](float x, float y) {
        bool inside = false;
        const std::size_t n = xy.size() / 2;
        for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
            const float xi = xy[2 * i], yi = xy[2 * i + 1], xj = xy[2 * j], yj = xy[2 * j + 1];
            if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
        }
        return inside ? -1.0f : 1.0f;
    };
}

class Picture {
public:
    Picture() : FPixels(std::size_t(Width) * Samples * Height * Samples) {}

    // Vertical gradient over the whole picture.
    void Background(Colour top, Colour bottom) {
        const int h = Height * Samples;
        for (int y = 0; y < h; ++y) {
            const float t = float(y) / float(h - 1);
            const Colour c{top.R + (bottom.R - top.R) * t, top.G + (bottom.G - top.G) * t,
                           top.B + (bottom.B - top.B) * t};
            std::fill_n(FPixels.begin() + std::ptrdiff_t(y) * Width * Samples, Width * Samples, c);
        }
    }

    // Paints the shape with the given opacity; with a softness above zero the
    // edge fades out over that many pixels (shadows and glows).
    void Fill(const Shape &shape, Colour c, float opacity = 1.0f, float softness = 0.0f) {
        const int w = Width * Samples, h = Height * Samples;
        for (int sy = 0; sy < h; ++sy) {
            const float y = (float(sy) + 0.5f) / Samples;
            for (int sx = 0; sx < w; ++sx) {
                const float x = (float(sx) + 0.5f) / Samples;
                const float d = shape(x, y);
                float a;
                if (softness > 0)
                    a = std::clamp(0.5f - d / softness, 0.0f, 1.0f);
                else
                    a = d <= 0 ? 1.0f : 0.0f;
                if (a <= 0) continue;
                a *= opacity;
                Colour &p = FPixels[std::size_t(sy) * w + sx];
                p.R += (c.R - p.R) * a;
                p.G += (c.G - p.G) * a;
                p.B += (c.B - p.B) * a;
            }
        }
    }

    // Each pixel's samples averaged: rows from the top, red, green, blue.
    std::vector<std::uint8_t> ToRgb() const {
        std::vector<std::uint8_t> out;
        const int w = Width * Samples;
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x) {
                float sum[3] = {0, 0, 0};
                for (int j = 0; j < Samples; ++j)
                    for (int i = 0; i < Samples; ++i) {
                        const Colour &p = FPixels[std::size_t(y * Samples + j) * w + x * Samples + i];
                        sum[0] += p.R;
                        sum[1] += p.G;
                        sum[2] += p.B;
                    }
                for (float v : sum) out.push_back(std::uint8_t(std::lround(std::clamp(v / (Samples * Samples), 0.0f, 255.0f))));
            }
        return out;
    }

    // A 24-bit BMP, by the class library's writer.
    std::vector<std::uint8_t> ToBmp() const {
        const std::vector<std::uint8_t> rgb = ToRgb();
        skintools::Image picture(Width, Height);
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x) {
                const std::uint8_t *p = &rgb[(std::size_t(y) * Width + x) * 3];
                picture.At(x, y) = skintools::Pixel{p[0], p[1], p[2], 0xFF};
            }
        return skintools::EncodeBmp24(picture);
    }

    // A JPEG of quality 92: a tenth of the BMP's size, which the installer
    // carries in its program file.
    std::vector<std::uint8_t> ToJpeg() const { return tools::EncodeJpeg(ToRgb(), Width, Height, 92); }

private:
    std::vector<Colour> FPixels;
};

void DrawCustomerScreen(Picture &p) {
    p.Fill(RoundRect(80, 28, 242, 150, 9), Shadow, 0.10f, 10);
    p.Fill(Box(148, 144, 168, 172), SlateMid);
    p.Fill(RoundRect(118, 168, 198, 181, 5), Slate);
    p.Fill(RoundRect(78, 22, 238, 148, 8), Slate);
    p.Fill(RoundRect(84, 28, 232, 140, 4), Screen);
    // Title bar of the till's sale screen, square at its lower edge.
    p.Fill(RoundRect(84, 28, 232, 46, 4), Accent);
    p.Fill(Box(84, 38, 232, 46), Accent);
    p.Fill(RoundRect(90, 34, 130, 40, 2), AccentLight);
    const float labels[] = {58, 44, 66, 50};
    for (int i = 0; i < 4; ++i) {
        const float y = 54 + 11.0f * i;
        p.Fill(RoundRect(92, y, 92 + labels[i], y + 5, 2), LineMid);
        p.Fill(RoundRect(198, y, 224, y + 5, 2), LineDark);
    }
    p.Fill(Box(92, 100, 224, 101), LineLight);
    p.Fill(RoundRect(92, 108, 136, 115, 2), SlateMid);
    p.Fill(RoundRect(186, 107, 224, 116, 2), Accent);
    p.Fill(RoundRect(164, 122, 224, 135, 3), Accent);
    p.Fill(RoundRect(176, 127, 212, 130, 1), AccentLight);
}

void DrawCardTerminal(Picture &p) {
    p.Fill(RoundRect(24, 124, 70, 196, 8), Shadow, 0.12f, 8);
    p.Fill(RoundRect(34, 104, 56, 126, 2), Accent);
    p.Fill(RoundRect(38, 108, 45, 114, 1), Chip);
    p.Fill(RoundRect(22, 118, 66, 190, 7), Slate);
    p.Fill(RoundRect(28, 124, 60, 144, 3), AccentLight);
    p.Fill(RoundRect(32, 130, 50, 133, 1), Accent);
    p.Fill(RoundRect(32, 136, 44, 139, 1), Accent, 0.6f);
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 3; ++col) {
            const float x = 29 + 11.0f * col, y = 150 + 9.0f * row;
            const bool ok = row == 3 && col == 2;
            p.Fill(RoundRect(x, y, x + 8, y + 6, 2), ok ? Accent : SlateLight);
        }
}

void DrawReceiptPrinter(Picture &p) {
    p.Fill(RoundRect(250, 146, 304, 196, 7), Shadow, 0.12f, 8);
    // The receipt with a torn, zigzag top edge.
    std::vector<float> receipt{258, 146, 258, 98};
    for (int i = 0; i < 8; ++i) {
        receipt.push_back(260 + 4.0f * i);
        receipt.push_back(i % 2 == 0 ? 94 : 98);
    }
    receipt.insert(receipt.end(), {290, 98, 290, 146});
    p.Fill(Polygon(receipt), Paper);
    p.Fill(RoundRect(266, 102, 282, 106, 1), Accent);
    const float widths[] = {24, 18, 22, 14, 24};
    for (int i = 0; i < 5; ++i) {
        const float y = 111 + 6.0f * i;
        p.Fill(Box(262, y, 262 + widths[i], y + 2), LineMid);
    }
    p.Fill(RoundRect(248, 140, 300, 188, 6), SlateMid);
    p.Fill(RoundRect(248, 140, 300, 152, 6), SlateLight);
    p.Fill(Box(248, 147, 300, 152), SlateLight);
    p.Fill(Box(256, 145, 292, 147), Slate);
    p.Fill(RoundRect(288, 174, 294, 180, 3), AccentLight);
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output.bmp|output.jpg>\n", argv[0]);
        return 2;
    }
    Picture p;
    p.Background(Hex(0xE8F0FA), Hex(0xFFFFFF));
    p.Fill(Ellipse(236, 58, 112, 112), Accent, 0.06f);
    p.Fill(Ellipse(40, 200, 80, 80), Accent, 0.05f);
    p.Fill(Ellipse(160, 200, 150, 9), Shadow, 0.10f, 10);
    DrawCustomerScreen(p);
    DrawCardTerminal(p);
    DrawReceiptPrinter(p);

    const std::string name = argv[1];
    const std::vector<std::uint8_t> bmp = name.ends_with(".jpg") ? p.ToJpeg() : p.ToBmp();
    std::FILE *f = std::fopen(argv[1], "wb");
    if (!f) {
        std::perror(argv[1]);
        return 1;
    }
    const bool written = std::fwrite(bmp.data(), 1, bmp.size(), f) == bmp.size();
    if (std::fclose(f) != 0 || !written) {
        std::fprintf(stderr, "%s: write failed\n", argv[1]);
        return 1;
    }
    return 0;
}
