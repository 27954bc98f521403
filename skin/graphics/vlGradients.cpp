#include "vlGradients.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "PixelMath.h"
#include "vcl/SysUtils.h"
#include "vlPixelHelpers.h"

namespace skin {

using namespace pixel;
using vcl::TBitmapView;
using vcl::TRect;

namespace {

std::vector<std::string_view> SplitFields(std::string_view text, char separator) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(separator, start);
        if (end == std::string_view::npos) end = text.size();
        if (end > start) fields.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return fields;
}

std::uint32_t OpaquePixel(vcl::TColor colour) { return WithAlpha(ColorToBGRA(colour), 255); }

// The colours of one line of positions (rows or columns) of a rect; a
// position that no band reaches stays unpainted.
class TGradientLine {
public:
    TGradientLine(int first, int last)
        : FFirst(first), FColours(std::max(last - first + 1, 0)), FPainted(FColours.size()) {}

    // Colour 1 at position from to colour 2 at position to: each channel
    // advances by a constant step and is rounded for every position.
    void Band(vcl::TColor colour1, vcl::TColor colour2, long long from, long long to) {
        const std::uint32_t c1 = OpaquePixel(colour1);
        const std::uint32_t c2 = OpaquePixel(colour2);
        const double n = static_cast<double>(to - from);
        const double step[3] = {(Blue(c2) - Blue(c1)) / n, (Green(c2) - Green(c1)) / n, (Red(c2) - Red(c1)) / n};
        // Positions before the line (a band moved up by an offset) are skipped.
        const long long first = std::max<long long>(from, FFirst);
        const long long last = std::min<long long>(to, FFirst + static_cast<long long>(FColours.size()) - 1);
        double v[3];
        for (int c = 0; c < 3; ++c) v[c] = Byte(c1, c) + step[c] * static_cast<double>(first - from);
        for (long long pos = first; pos <= last; ++pos) {
            const auto channel = [&](int c) { return ClampByte(RoundEven(v[c])); };
            Set(static_cast<int>(pos), Make(channel(0), channel(1), channel(2), 255));
            for (int c = 0; c < 3; ++c) v[c] += step[c];
        }
    }

    bool Painted(int pos) const { return Index(pos) >= 0 && FPainted[Index(pos)]; }
    bool AnyPainted() const { return std::find(FPainted.begin(), FPainted.end(), true) != FPainted.end(); }
    std::uint32_t Colour(int pos) const { return FColours[Index(pos)]; }

private:
    int Index(int pos) const {
        const int i = pos - FFirst;
        return i >= 0 && i < static_cast<int>(FColours.size()) ? i : -1;
    }
    void Set(int pos, std::uint32_t colour) {
        // Bands moved by an offset may start outside the rect.
        const int i = Index(pos);
        if (i < 0) return;
        FColours[i] = colour;
        FPainted[i] = true;
    }

    int FFirst;
    std::vector<std::uint32_t> FColours;
    std::vector<bool> FPainted;
};

// Rows of R: each band measures its share on the height (plus Offset) and
// shares its last row with the next band, which paints over it.
TGradientLine VerticalBands(const TRect &r, const TsGradArray &stops, int offset) {
    TGradientLine line(r.Top, r.Bottom - 1);
    const long long measured = static_cast<long long>(r.Height()) + offset;
    long long y = static_cast<long long>(r.Top) + offset;
    for (std::size_t i = 0; i < stops.size(); ++i) {
        const long long yStart = y;
        y = yStart + measured * stops[i].Percent / 100;
        y = i + 1 < stops.size() ? std::min<long long>(y, r.Bottom - 1) : r.Bottom - 1;
        if (y - yStart <= 0) continue;
        line.Band(stops[i].Color1, stops[i].Color2, yStart, y);
    }
    return line;
}

// Columns of R: band ends are rounded from the percent of the width.
TGradientLine HorizontalBands(const TRect &r, const TsGradArray &stops) {
    TGradientLine line(r.Left, r.Right - 1);
    const double scale = r.Width() / 100.0;
    int x = r.Left;
    for (std::size_t i = 0; i < stops.size(); ++i) {
        const int xStart = x;
        x = static_cast<int>(RoundEven(stops[i].Percent * scale + xStart));
        x = i + 1 < stops.size() ? std::min(x, r.Right - 1) : r.Right - 1;
        if (x - xStart <= 0) continue;
        line.Band(stops[i].Color1, stops[i].Color2, xStart, x);
    }
    return line;
}

void CopyRowSpan(const TBitmapView &bmp, int fromY, int toY, int left, int right) {
    std::memcpy(bmp.Row32(toY) + left, bmp.Row32(fromY) + left, static_cast<std::size_t>(right - left) * 4);
}

} // namespace

void ParseGradient(std::string_view Text, TsGradArray &Stops) {
    Stops.clear();
    const std::vector<std::string_view> fields = SplitFields(Text, ';');
    Stops.resize(fields.size() / 5);
    for (std::size_t i = 0; i < Stops.size(); ++i) {
        const std::string_view *f = &fields[5 * i];
        TsGradientStop &stop = Stops[i];
        stop.Color1 = vcl::ColorToRGB(vcl::StrToInt(f[0]));
        stop.Color2 = vcl::ColorToRGB(vcl::StrToInt(f[1]));
        stop.Percent = static_cast<std::uint8_t>(std::clamp(vcl::StrToInt(f[2]), 0, 100));
        stop.Mode = vcl::StrToInt(f[3]);
    }
}

void PaintGradient(const TBitmapView &Bitmap, const TRect &R, const TsGradArray &Stops, int Offset) {
    if (R.IsEmpty() || Stops.empty() || !Bitmap.HasRows()) return;
    const TRect r = ClipToBitmap(R, Bitmap);
    if (r.IsEmpty()) return;
    switch (Stops[0].Mode) {
    case gmVertical: {
        const TGradientLine rows = VerticalBands(r, Stops, Offset);
        for (int y = r.Top; y < r.Bottom; ++y)
            if (rows.Painted(y)) FillDwords(Bitmap.Row32(y) + r.Left, r.Width(), rows.Colour(y));
        break;
    }
    case gmHorizontal: {
        const TGradientLine columns = HorizontalBands(r, Stops);
        // A rect one pixel wide has no band; its rows are left as they are.
        if (!columns.AnyPainted()) break;
        std::uint32_t *top = Bitmap.Row32(r.Top);
        for (int x = r.Left; x < r.Right; ++x)
            if (columns.Painted(x)) top[x] = columns.Colour(x);
        for (int y = r.Top + 1; y < r.Bottom; ++y) CopyRowSpan(Bitmap, r.Top, y, r.Left, r.Right);
        break;
    }
    default:
        break;
    }
}

void PaintGradientBlended(const TBitmapView &Bitmap, const TRect &R, const TsGradArray &Stops,
                          const TBitmapView &TexBitmap, const TRect &TexRect, std::uint8_t TexWeight,
                          std::uint8_t Alpha) {
    if (Stops.empty() || !Bitmap.HasRows() || !TexBitmap.HasRows()) return;
    const TRect r = ClipToBitmap(R, Bitmap);
    if (r.IsEmpty()) return;

    TRect tex = TexRect.IsEmpty() ? BitmapRect(TexBitmap) : TexRect;
    int texW = std::max(tex.Width(), 0);
    int texH = std::max(tex.Height(), 0);
    // A texture rect that starts left of or above the image starts at its edge.
    if (tex.Left < 0) texW += tex.Left, tex.Left = 0;
    if (tex.Top < 0) texH += tex.Top, tex.Top = 0;
    if (tex.Top + texH > TexBitmap.Height) texH = TexBitmap.Height - 1 - tex.Top;
    if (tex.Left + texW > TexBitmap.Width) texW = TexBitmap.Width - 1 - tex.Left;
    if (texW <= 0 || texH <= 0) return;

    const int mode = Stops[0].Mode;
    if (mode != gmVertical && mode != gmHorizontal) return;
    const bool vertical = mode == gmVertical;
    const TGradientLine line = vertical ? VerticalBands(r, Stops, 0) : HorizontalBands(r, Stops);

    // The texture's share per channel: d = ((t - g) * weight + g * 256) >> 8.
    const int weight = TexWeight;
    const auto paintRow = [&](int y) {
        const std::uint32_t *texRow = TexBitmap.Row32(tex.Top + y % texH);
        std::uint32_t *row = Bitmap.Row32(y);
        for (int x = r.Left; x < r.Right; ++x) {
            const int pos = vertical ? y : x;
            if (!line.Painted(pos)) continue;
            const std::uint32_t g = line.Colour(pos);
            const std::uint32_t t = texRow[tex.Left + x % texW];
            const auto mix = [weight](int tc, int gc) { return ((tc - gc) * weight + gc * 256) >> 8; };
            row[x] = Make(mix(Blue(t), Blue(g)), mix(Green(t), Green(g)), mix(Red(t), Red(g)), Alpha);
        }
    };

    if (vertical) {
        for (int y = r.Top; y < r.Bottom; ++y) paintRow(y);
        return;
    }
    // Horizontal bands repeat every texture height: compute one block of n
    // rows and copy it down the rect, the last copy cut at the bottom.
    const int n = std::min(texH, r.Height());
    if (n < 1) return;
    for (int y = r.Top; y < r.Top + n; ++y) paintRow(y);
    for (int y = r.Top + n; y < r.Bottom; ++y) CopyRowSpan(Bitmap, y - n, y, r.Left, r.Right);
}

std::array<TGradientVertex, 5> GradientMeshVertices(const TRect &R, const TsGradArray &Stops) {
    const int w = R.Width();
    const int h = R.Height();
    std::array<TGradientVertex, 5> v{{
        {R.Left, R.Top, 0},
        {R.Left + w / 2, R.Top + h / 2, 0},
        {R.Right, R.Top, 0},
        {R.Right, R.Bottom, 0},
        {R.Left, R.Bottom, 0},
    }};
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (i < Stops.size())
            v[i].Color = Stops[i].Color1;
        else if (i > 0)
            v[i].Color = v[i - 1].Color;
    }
    return v;
}

void FillDwords(std::uint32_t *Dest, int N, std::uint32_t Value) {
    for (int i = 0; i < N; ++i) Dest[i] = Value;
}

} // namespace skin
