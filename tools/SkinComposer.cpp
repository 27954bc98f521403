#include "SkinComposer.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <stdexcept>
#include <vector>

#include "SkinPack.h"

namespace skintools {

namespace {

std::string Upper(std::string Text) {
    for (char &c : Text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return Text;
}

bool IsKey(const Pixel &P) { return P.R == 0xFF && P.G == 0 && P.B == 0xFF; }

std::string StateKey(const std::string &Key, int State) {
    if (State == 0) return Key;
    if (State == 2) return Key + "2";
    if (Key == "GCOL") return "HGCOL";
    if (Key == "GSIZE") return "HGSIZE";
    return "HOT" + Key;
}

std::uint8_t Mix(int D, int S, int M) { return static_cast<std::uint8_t>(((D - S) * M + S * 256) >> 8); }

struct Stop {
    RGB From, To;
    int Percent = 0, Mode = 0;
};

std::vector<Stop> ParseGradient(const std::string &Text) {
    std::vector<int> fields;
    std::string current;
    for (char c : Text + ";") {
        if (c != ';') {
            current += c;
            continue;
        }
        if (current.empty()) continue;
        const auto v = ParseOptionInt(current);
        if (!v) throw OptionsError("gradient field \"" + current + "\" is not a number");
        fields.push_back(*v);
        current.clear();
    }
    std::vector<Stop> stops;
    for (std::size_t i = 0; i + 5 <= fields.size(); i += 5)
        stops.push_back({OptionColour(fields[i]), OptionColour(fields[i + 1]), std::clamp(fields[i + 2], 0, 100), fields[i + 3]});
    return stops;
}

RGB Lerp(RGB A, RGB B, double T) {
    auto l = [&](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * T)); };
    return {l(A.R, B.R), l(A.G, B.G), l(A.B, B.B)};
}

// Band gradients: mode 0 rows from top to bottom, mode 1 columns.
void PaintGradient(Image &Target, const Rect &R, const std::vector<Stop> &Stops) {
    if (Stops.empty() || R.Width() <= 0 || R.Height() <= 0) return;
    const bool rows = Stops[0].Mode == 0;
    if (Stops[0].Mode > 1) return;
    const int length = rows ? R.Height() : R.Width();
    const int start = rows ? R.Top : R.Left, end = start + length;
    int pos = start;
    for (std::size_t i = 0; i < Stops.size(); ++i) {
        const int from = pos;
        pos = rows ? from + length * Stops[i].Percent / 100
                   : static_cast<int>(std::lround(Stops[i].Percent * (length / 100.0) + from));
        pos = i + 1 < Stops.size() ? std::min(pos, end - 1) : end - 1;
        if (pos - from <= 0) continue;
        for (int p = from; p <= pos; ++p) {
            const Pixel c = PixelOf(Lerp(Stops[i].From, Stops[i].To, double(p - from) / double(pos - from)));
            if (rows)
                for (int x = R.Left; x < R.Right; ++x) Target.At(x, p) = c;
            else
                for (int y = R.Top; y < R.Bottom; ++y) Target.At(p, y) = c;
        }
    }
}

// The item's rectangle in its source picture (a picture file: the whole file).
Rect ItemRect(const PictureItem &Item, const Image &Source) {
    return Item.FromMaster() ? Item.R : Rect{0, 0, Source.Width(), Source.Height()};
}

} // namespace

RGB OptionColour(int Value) { return {Value & 0xFF, (Value >> 8) & 0xFF, (Value >> 16) & 0xFF}; }

Pixel PixelOf(RGB C) {
    auto b = [](int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 255)); };
    return {b(C.R), b(C.G), b(C.B), 0xFF};
}

SkinBook::SkinBook(const Bytes &Packed) : FOptions("") {
    const std::vector<PackedMember> members = UnpackSkin(Packed);
    const PackedMember *options = nullptr;
    for (const PackedMember &m : members)
        if (Upper(m.Name) == "OPTIONS.DAT") options = &m;
    if (!options) throw OptionsError("the packed skin has no options text");
    FOptions = SkinOptions(std::string(options->Data.begin(), options->Data.end()));
    const std::string master = Upper(FOptions.MasterBitmap());
    for (const PackedMember &m : members) {
        const std::string name = Upper(m.Name);
        if (name == master) {
            FMaster = DecodeBmp(m.Data);
        } else if (name.size() > 4 && name.substr(name.size() - 4) == ".PNG") {
            // The reader premultiplies PNG pictures of skins newer than 7.45.
            Image picture = DecodePng(m.Data);
            for (int y = 0; y < picture.Height(); ++y)
                for (int x = 0; x < picture.Width(); ++x) {
                    Pixel &p = picture.At(x, y);
                    p = {std::uint8_t(p.R * p.A >> 8), std::uint8_t(p.G * p.A >> 8), std::uint8_t(p.B * p.A >> 8), p.A};
                }
            FFiles[name] = std::move(picture);
        } else if (name.size() > 4 && name.substr(name.size() - 4) == ".BMP") {
            FFiles[name] = DecodeBmp(m.Data);
        }
    }
}

const Image &SkinBook::SourceOf(const PictureItem &Item) const {
    if (Item.FromMaster()) return FMaster;
    const auto found = FFiles.find(Item.File);
    if (found == FFiles.end()) throw OptionsError(Item.File + " is not in the packed skin");
    return found->second;
}

int SkinBook::FrameWidth(const PictureItem &Item) const {
    return Item.ImageCount > 0 ? ItemRect(Item, SourceOf(Item)).Width() / Item.ImageCount : 0;
}

int SkinBook::PartHeight(const PictureItem &Item) const { return ItemRect(Item, SourceOf(Item)).Height() / (Item.MaskType + 1); }

int SkinBook::States(const std::string &Section) const { return std::clamp(FOptions.Int(Section, "STATES", 3), 1, 255); }

namespace {

int EffectiveState(const SkinOptions &Options, const std::string &Section, int State) {
    const int states = std::clamp(Options.Int(Section, "STATES", 3), 1, 255);
    State = std::clamp(State, 0, std::min(states - 1, 2));
    if (State == 2 && Options.Int(Section, "USESTATE2", 0) != 1) State = 1;
    return State;
}

} // namespace

int SkinBook::StateInt(const std::string &Section, int State, const std::string &Key, int Default) const {
    return FOptions.Int(Section, StateKey(Key, EffectiveState(FOptions, Section, State)), Default);
}

RGB SkinBook::StateColour(const std::string &Section, int State, const std::string &Key) const {
    return OptionColour(StateInt(Section, State, Key, Key == "FONTCOLOR" ? 0 : 0xFFFFFF));
}

std::string SkinBook::StateText(const std::string &Section, int State, const std::string &Key) const {
    return FOptions.Value(Section, StateKey(Key, EffectiveState(FOptions, Section, State))).value_or("");
}

void SkinBook::PaintBackground(Image &Target, const Rect &R, const std::string &Section, int State) const {
    const int transparency = StateInt(Section, State, "TRANSPARENCY", 0);
    if (transparency >= 100) return;
    const int imagePercent = StateInt(Section, State, "IMAGEPERCENT", 0);
    const int gradientPercent = StateInt(Section, State, "GRADIENTPERCENT", 0);
    const RGB colour = StateColour(Section, State, "COLOR");
    Image layer(R.Width(), R.Height(), PixelOf(colour));
    const Rect whole{0, 0, R.Width(), R.Height()};

    bool textured = false;
    if (imagePercent > 0) {
        const int s = EffectiveState(FOptions, Section, State);
        const auto texture = FOptions.Picture(Section, s == 0 ? "PATTERN" : s == 1 ? "HOTPATTERN" : "PATTERN2");
        if (texture) {
            const Image &source = SourceOf(*texture);
            const Rect tr = ItemRect(*texture, source);
            for (int y = 0; y < layer.Height(); ++y)
                for (int x = 0; x < layer.Width(); ++x)
                    layer.At(x, y) = source.At(tr.Left + x % tr.Width(), tr.Top + y % tr.Height());
            textured = true;
        }
    }
    if (gradientPercent > 0) {
        Image gradient(R.Width(), R.Height(), PixelOf(colour));
        PaintGradient(gradient, whole, ParseGradient(StateText(Section, State, "GRADIENTDATA")));
        const int t = textured ? std::clamp(imagePercent * 255 / 100, 0, 255) : 0;
        for (int y = 0; y < layer.Height(); ++y)
            for (int x = 0; x < layer.Width(); ++x) {
                Pixel &d = layer.At(x, y);
                const Pixel &s = gradient.At(x, y);
                d = textured ? Pixel{Mix(d.R, s.R, t), Mix(d.G, s.G, t), Mix(d.B, s.B, t), 0xFF} : s;
            }
    }
    const int share = imagePercent + gradientPercent;
    if (share >= 1 && share <= 99)
        for (int y = 0; y < layer.Height(); ++y)
            for (int x = 0; x < layer.Width(); ++x) {
                Pixel &p = layer.At(x, y);
                auto keep = [&](int v, int c) { return static_cast<std::uint8_t>((v * share + c * (100 - share)) / 100); };
                p = {keep(p.R, colour.R), keep(p.G, colour.G), keep(p.B, colour.B), 0xFF};
            }
    for (int y = 0; y < layer.Height(); ++y)
        for (int x = 0; x < layer.Width(); ++x) {
            Pixel &d = Target.At(R.Left + x, R.Top + y);
            const Pixel &s = layer.At(x, y);
            const int t = transparency * 255 / 100;
            d = {Mix(d.R, s.R, t), Mix(d.G, s.G, t), Mix(d.B, s.B, t), 0xFF};
        }
}

namespace {

// One piece of a nine-slice: source rect S of the item's state, onto D,
// tiled or stretched; a key pixel calls Key (corners) or is left alone.
void Piece(Image &Target, const Image &Source, int MaskOffset, Rect S, Rect D, bool Stretch,
           const std::function<void(int, int)> &Key) {
    if (S.Width() <= 0 || S.Height() <= 0 || D.Width() <= 0 || D.Height() <= 0) return;
    for (int y = D.Top; y < D.Bottom; ++y)
        for (int x = D.Left; x < D.Right; ++x) {
            if (!Target.Contains(x, y)) continue;
            const int sx = S.Left + (Stretch ? (x - D.Left) * S.Width() / D.Width() : (x - D.Left) % S.Width());
            const int sy = S.Top + (Stretch ? (y - D.Top) * S.Height() / D.Height() : (y - D.Top) % S.Height());
            const Pixel &s = Source.At(sx, sy);
            if (IsKey(s)) {
                if (Key) Key(x, y);
                continue;
            }
            const Pixel &m = Source.At(sx, sy + MaskOffset);
            Pixel &d = Target.At(x, y);
            d = {Mix(d.R, s.R, m.R), Mix(d.G, s.G, m.G), Mix(d.B, s.B, m.B), 0xFF};
        }
}

void NineSlice(Image &Target, const Rect &R, const Image &Source, const PictureItem &Item, const Rect &ItemR, int State,
               const std::function<void(int, int)> &CornerKey) {
    if (R.Width() < 2 || R.Height() < 2 || Item.ImageCount < 1) return;
    const int w = ItemR.Width() / Item.ImageCount, h = ItemR.Height() / (Item.MaskType + 1);
    int wl = Item.WL, wt = Item.WT, wr = Item.WR, wb = Item.WB;
    if (wl + wt + wr + wb == 0) {
        wl = wr = Item.BorderWidth > 0 ? Item.BorderWidth : w / (Item.ImageCount * 3);
        wt = wb = Item.BorderWidth > 0 ? Item.BorderWidth : h / ((Item.MaskType + 1) * 3);
    }
    if (R.Width() < wl + wr) {
        const int d = wl + wr - R.Width();
        wl = std::max(0, wl - d / 2);
        wr = std::max(0, wr - d / 2 - d % 2);
    }
    if (R.Height() < wt + wb) {
        const int d = wt + wb - R.Height();
        wt = std::max(0, wt - d / 2);
        wb = std::max(0, wb - d / 2 - d % 2);
    }
    State = std::min(State, Item.ImageCount - 1);
    const int sx = ItemR.Left + w * State, sy = ItemR.Top;
    const int cw = w - wl - wr, ch = h - wt - wb;
    if (cw < 0 || ch < 0) return;
    const int mo = Item.MaskType >= 1 ? h : 0;
    const bool stretch = (Item.DrawMode & 1) != 0;
    auto piece = [&](Rect s, Rect d, bool corner) { Piece(Target, Source, mo, s, d, stretch && !corner, corner ? CornerKey : nullptr); };
    piece({sx, sy, sx + wl, sy + wt}, {R.Left, R.Top, R.Left + wl, R.Top + wt}, true);
    piece({sx, sy + wt, sx + wl, sy + wt + ch}, {R.Left, R.Top + wt, R.Left + wl, R.Bottom - wb}, false);
    piece({sx + wl, sy, sx + wl + cw, sy + wt}, {R.Left + wl, R.Top, R.Right - wr, R.Top + wt}, false);
    piece({sx, sy + h - wb, sx + wl, sy + h}, {R.Left, R.Bottom - wb, R.Left + wl, R.Bottom}, true);
    piece({sx + wl, sy + h - wb, sx + wl + cw, sy + h}, {R.Left + wl, R.Bottom - wb, R.Right - wr, R.Bottom}, false);
    piece({sx + wl + cw, sy + h - wb, sx + w, sy + h}, {R.Right - wr, R.Bottom - wb, R.Right, R.Bottom}, true);
    piece({sx + wl + cw, sy, sx + w, sy + wt}, {R.Right - wr, R.Top, R.Right, R.Top + wt}, true);
    piece({sx + wl + cw, sy + wt, sx + w, sy + wt + ch}, {R.Right - wr, R.Top + wt, R.Right, R.Bottom - wb}, false);
    if (Item.DrawMode & 4)
        piece({sx + wl, sy + wt, sx + wl + cw, sy + wt + ch}, {R.Left + wl, R.Top + wt, R.Right - wr, R.Bottom - wb}, false);
}

} // namespace

void SkinBook::DrawMask(Image &Target, const Rect &R, const PictureItem &Item, int State) const {
    const Image &source = SourceOf(Item);
    NineSlice(Target, R, source, Item, ItemRect(Item, source), State, nullptr);
}

void SkinBook::PaintSection(Image &Target, const Rect &R, const std::string &Section, int State) const {
    if (R.Width() <= 0 || R.Height() <= 0) return;
    const Image behind = Target.Crop(R.Left, R.Top, R.Width(), R.Height());
    const int state = std::min(State, States(Section) - 1);
    PaintBackground(Target, R, Section, state);
    const auto mask = FOptions.Picture(Section, "BORDERSMASK");
    if (!mask || (state == 0 && (mask->DrawMode & 2))) return;
    const Image &source = SourceOf(*mask);
    NineSlice(Target, R, source, *mask, ItemRect(*mask, source), state,
              [&](int x, int y) { Target.At(x, y) = behind.At(x - R.Left, y - R.Top); });
}

void SkinBook::DrawGlyph(Image &Target, int X, int Y, const PictureItem &Item, int State, bool Faded) const {
    const Image &source = SourceOf(Item);
    const Rect r = ItemRect(Item, source);
    const int w = Item.ImageCount > 0 ? r.Width() / Item.ImageCount : 0, h = r.Height() / (Item.MaskType + 1);
    State = std::min(State, Item.ImageCount - 1);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (!Target.Contains(X + x, Y + y)) continue;
            const Pixel &s = source.At(r.Left + State * w + x, r.Top + y);
            if (Item.MaskType == 0) {
                if (!IsKey(s)) Target.At(X + x, Y + y) = s;
                continue;
            }
            const Pixel &m = source.At(r.Left + State * w + x, r.Top + y + r.Height() / (Item.MaskType + 1));
            if (IsKey(s) || m.R == 0xFF) continue;
            auto k = [&](int v) { return Faded ? std::min(v + 100, 255) : v; };
            Pixel &d = Target.At(X + x, Y + y);
            d = {Mix(d.R, s.R, k(m.R)), Mix(d.G, s.G, k(m.G)), Mix(d.B, s.B, k(m.B)), 0xFF};
        }
}

} // namespace skintools
