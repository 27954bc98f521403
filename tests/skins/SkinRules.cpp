#include "SkinRules.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <set>

#include "vcl/StringList.h"
#include "vcl/SysUtils.h"

namespace skinrules {

namespace {

std::int32_t Int32(const Bytes &B, std::size_t At) {
    return static_cast<std::int32_t>(B[At] | B[At + 1] << 8 | B[At + 2] << 16 | std::uint32_t(B[At + 3]) << 24);
}

std::optional<int> Number(std::string_view Text) {
    int v = 0;
    const auto [end, error] = std::from_chars(Text.data(), Text.data() + Text.size(), v);
    if (error != std::errc() || end != Text.data() + Text.size()) return std::nullopt;
    return v;
}

constexpr std::uint32_t Key = 0xFF00FF;

} // namespace

std::vector<Member> Unpack(const Bytes &Packed, Problems &Found) {
    std::vector<Member> members;
    if (Packed.size() < 8 || std::string(Packed.begin(), Packed.begin() + 4) != "GMzf") {
        Found.push_back("no GMzf signature");
        return members;
    }
    const std::int32_t count = Int32(Packed, 4);
    std::size_t at = 8;
    for (std::int32_t i = 0; i < count; ++i) {
        if (Packed.size() - at < 4) return Found.push_back("entry " + std::to_string(i) + " truncated"), members;
        const std::int32_t length = Int32(Packed, at);
        at += 4;
        if (length <= 0 || static_cast<std::size_t>(length) > Packed.size() - at || Packed.size() - at - length < 4)
            return Found.push_back("entry " + std::to_string(i) + ": bad name length"), members;
        Member m{std::string(Packed.begin() + at, Packed.begin() + at + length), {}};
        at += length;
        const std::int32_t size = Int32(Packed, at);
        at += 4;
        if (size < 0 || size > (64 << 20)) return Found.push_back(m.Name + ": bad size"), members;
        m.Data.resize(static_cast<std::size_t>(size) + 1);  // one more byte shows a member larger than its size
        z_stream z{};
        inflateInit(&z);
        z.next_in = const_cast<Bytef *>(Packed.data() + at);
        z.avail_in = static_cast<uInt>(Packed.size() - at);
        z.next_out = m.Data.data();
        z.avail_out = static_cast<uInt>(m.Data.size());
        const int result = inflate(&z, Z_FINISH);
        const std::size_t consumed = z.total_in, produced = z.total_out;
        inflateEnd(&z);
        if (result != Z_STREAM_END || produced != static_cast<std::size_t>(size))
            return Found.push_back(m.Name + ": does not inflate to " + std::to_string(size) + " bytes"), members;
        m.Data.resize(static_cast<std::size_t>(size));
        at += consumed;
        members.push_back(std::move(m));
    }
    if (at != Packed.size()) Found.push_back(std::to_string(Packed.size() - at) + " bytes after the last entry");
    return members;
}

std::unique_ptr<vcl::TMemIniFile> ReadOptions(const std::string &Text) {
    auto ini = std::make_unique<vcl::TMemIniFile>();
    ini->SetCaseSensitive(true);
    vcl::TStringList lines;
    lines.SetText(Text);
    ini->SetStrings(lines);
    return ini;
}

std::optional<std::string> Resolve(const vcl::TMemIniFile &Ini, const std::string &Section, const std::string &Key) {
    std::set<std::string> seen;
    for (std::string current = Section; Ini.SectionExists(current) && seen.insert(current).second;) {
        if (Ini.ValueExists(current, Key)) return Ini.ReadString(current, Key, "");
        current = Ini.ReadString(current, "PARENTCLASS", "");
    }
    return std::nullopt;
}

Problems CheckStateKeys(const vcl::TMemIniFile &Ini) {
    // Normal, hot and second-state names of each state key.
    static const std::array<std::array<const char *, 3>, 13> keys = {{
        {"COLOR", "HOTCOLOR", "COLOR2"},
        {"FONTCOLOR", "HOTFONTCOLOR", "FONTCOLOR2"},
        {"TCLEFT", "HOTTCLEFT", "TCLEFT2"},
        {"TCTOP", "HOTTCTOP", "TCTOP2"},
        {"TCRIGHT", "HOTTCRIGHT", "TCRIGHT2"},
        {"TCBOTTOM", "HOTTCBOTTOM", "TCBOTTOM2"},
        {"GCOL", "HGCOL", "GCOL2"},
        {"GSIZE", "HGSIZE", "GSIZE2"},
        {"GRADIENTPERCENT", "HOTGRADIENTPERCENT", "GRADIENTPERCENT2"},
        {"GRADIENTDATA", "HOTGRADIENTDATA", "GRADIENTDATA2"},
        {"IMAGEPERCENT", "HOTIMAGEPERCENT", "IMAGEPERCENT2"},
        {"TRANSPARENCY", "HOTTRANSPARENCY", "TRANSPARENCY2"},
        {"PATTERN", "HOTPATTERN", "PATTERN2"},
    }};
    Problems found;
    vcl::TStringList sections;
    Ini.ReadSections(sections);
    for (int i = 0; i < sections.Count(); ++i) {
        const std::string section = sections[i];
        if (section == "GLOBALINFO") continue;  // the skin's global values, not a painted section
        const int states = Number(Resolve(Ini, section, "STATES").value_or("3")).value_or(3);
        const bool second = Resolve(Ini, section, "USESTATE2").value_or("0") == "1";
        for (const auto &key : keys) {
            const bool used = Resolve(Ini, section, key[0]).has_value() || std::string(key[0]) == "COLOR" ||
                              std::string(key[0]) == "FONTCOLOR";
            if (!used) continue;
            if (states > 1 && !Resolve(Ini, section, key[1]))
                found.push_back("[" + section + "] has " + std::to_string(states) + " states but no " + key[1]);
            if (states > 2 && second && !Resolve(Ini, section, key[2]))
                found.push_back("[" + section + "] uses a second state but has no " + key[2]);
        }
    }
    return found;
}

std::vector<Picture> Pictures(const vcl::TMemIniFile &Ini, Problems &Found) {
    std::vector<Picture> out;
    vcl::TStringList sections;
    Ini.ReadSections(sections);
    for (int i = 0; i < sections.Count(); ++i) {
        vcl::TStringList keys;
        Ini.ReadSection(sections[i], keys);
        for (int k = 0; k < keys.Count(); ++k) {
            if (sections[i] == "GLOBALINFO" && keys[k] == "MASTERBITMAP") continue;
            const std::string value = vcl::UpperCase(Ini.ReadString(sections[i], keys[k], ""));
            Picture p;
            p.Section = sections[i];
            p.Key = keys[k];
            const std::string where = "[" + p.Section + "] " + p.Key;
            auto field = [&](std::size_t column, std::size_t length) {
                const auto v = value.size() >= column - 1 + length ? Number(std::string_view(value).substr(column - 1, length))
                                                                   : std::nullopt;
                if (!v) Found.push_back(where + ": no number at column " + std::to_string(column));
                return v.value_or(0);
            };
            if (value.empty()) continue;
            p.Code = value[0];
            if (p.Code == '^' || p.Code == '@') {
                p.Left = field(2, 4), p.Top = field(7, 4), p.Right = field(12, 4), p.Bottom = field(17, 4);
                if (p.Code == '@') {
                    p.Count = field(22, 1), p.MaskType = field(24, 1);
                } else {
                    p.WL = field(22, 4), p.WT = field(27, 4), p.WR = field(32, 4), p.WB = field(37, 4);
                    p.Count = field(42, 1), p.MaskType = field(44, 1);
                    field(46, 1), field(48, 1);
                }
            } else if (p.Code == '!') {
                std::vector<std::string> words;
                std::string w;
                for (char c : value + "!") {
                    if (c != '!')
                        w += c;
                    else if (!w.empty())
                        words.push_back(w), w.clear();
                }
                p.File = words.empty() ? "" : words[0];
                p.Count = words.size() > 1 ? Number(words[1]).value_or(0) : 0;
                p.MaskType = words.size() > 2 ? Number(words[2]).value_or(0) : 0;
            } else if (value.find(".BMP") != std::string::npos || value.find(".JPG") != std::string::npos) {
                p.Code = 0;
                p.File = value;
                p.Count = 1;
            } else {
                continue;
            }
            out.push_back(p);
        }
    }
    return out;
}

std::optional<Bitmap> ReadBmp(const Bytes &D) {
    if (D.size() < 54 || D[0] != 'B' || D[1] != 'M') return std::nullopt;
    Bitmap b;
    b.Width = Int32(D, 18);
    const int height = Int32(D, 22);
    b.Bits = D[28] | D[29] << 8;
    const std::size_t offset = static_cast<std::uint32_t>(Int32(D, 10));
    if (b.Width <= 0 || height == 0 || Int32(D, 30) != 0 || (b.Bits != 24 && b.Bits != 32)) return std::nullopt;
    b.Height = std::abs(height);
    const std::size_t stride = (static_cast<std::size_t>(b.Width) * (b.Bits / 8) + 3) & ~std::size_t(3);
    if (offset + stride * b.Height > D.size()) return std::nullopt;
    b.Rgb.resize(static_cast<std::size_t>(b.Width) * b.Height);
    for (int row = 0; row < b.Height; ++row) {
        const int y = height > 0 ? b.Height - 1 - row : row;
        for (int x = 0; x < b.Width; ++x) {
            const std::uint8_t *p = &D[offset + stride * row + static_cast<std::size_t>(x) * (b.Bits / 8)];
            b.Rgb[static_cast<std::size_t>(y) * b.Width + x] = std::uint32_t(p[2]) << 16 | p[1] << 8 | p[0];
        }
    }
    return b;
}

std::optional<RgbaPicture> ReadPng(const Bytes &Data) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, Data.data(), Data.size())) return std::nullopt;
    image.format = PNG_FORMAT_RGBA;
    RgbaPicture out{static_cast<int>(image.width), static_cast<int>(image.height), {}};
    out.Rgba.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, out.Rgba.data(), 0, nullptr)) return std::nullopt;
    return out;
}

Problems CheckMaster(const Bitmap &Master, const std::vector<Picture> &Items) {
    Problems found;
    if (Master.Bits != 24) found.push_back("the master bitmap has " + std::to_string(Master.Bits) + " bits, not 24");
    for (int x = 0; x < Master.Width; ++x)
        if (Master.At(x, Master.Height - 1) != Key) return found.push_back("the last row is not all key colour"), found;
    for (int y = 0; y < Master.Height; ++y)
        if (Master.At(Master.Width - 1, y) != Key) return found.push_back("the last column is not all key colour"), found;
    std::vector<const Picture *> placed;
    for (const Picture &p : Items) {
        if (p.Code != '^' && p.Code != '@') continue;
        const std::string where = "[" + p.Section + "] " + p.Key;
        if (p.Left < 0 || p.Top < 0 || p.Right <= p.Left || p.Bottom <= p.Top || p.Right > Master.Width - 1 ||
            p.Bottom > Master.Height - 1) {
            found.push_back(where + ": rectangle outside the used part of the master bitmap");
            continue;
        }
        if (p.Count < 1 || p.MaskType < 0 || (p.Right - p.Left) % p.Count || (p.Bottom - p.Top) % (p.MaskType + 1))
            found.push_back(where + ": does not divide into " + std::to_string(p.Count) + " states of " +
                            std::to_string(p.MaskType + 1) + " parts");
        for (const Picture *other : placed)
            if (p.Left < other->Right && other->Left < p.Right && p.Top < other->Bottom && other->Top < p.Bottom &&
                !(p.Left == other->Left && p.Top == other->Top && p.Right == other->Right && p.Bottom == other->Bottom))
                found.push_back(where + " overlaps [" + other->Section + "] " + other->Key);
        placed.push_back(&p);
        if (p.MaskType != 1) continue;
        const int half = (p.Bottom - p.Top) / 2;
        for (int y = p.Top; y < p.Top + half; ++y)
            for (int x = p.Left; x < p.Right; ++x)
                if (Master.At(x, y) == Key && Master.At(x, y + half) != 0xFFFFFF) {
                    found.push_back(where + ": a key pixel at " + std::to_string(x) + "," + std::to_string(y) + " is not white in the mask");
                    y = p.Top + half;
                    break;
                }
    }
    return found;
}

Problems CheckGlyphPng(const RgbaPicture &Png, const Picture &Item) {
    Problems found;
    const std::string where = Item.File;
    if (Item.Count < 1 || Png.Width % Item.Count || Item.MaskType != 1 || Png.Height % 2)
        return found.push_back(where + ": does not divide into its states with the mask below"), found;
    const int half = Png.Height / 2;
    for (int y = 0; y < half; ++y)
        for (int x = 0; x < Png.Width; ++x) {
            const std::uint8_t *image = Png.At(x, y), *mask = Png.At(x, y + half);
            const bool white = mask[0] == 255;
            if (mask[3] != 255 || mask[0] != mask[1] || mask[1] != mask[2])
                return found.push_back(where + ": the mask is not opaque grey"), found;
            if ((image[3] != 0 && image[3] != 255) || (image[3] == 0) != white)
                return found.push_back(where + ": image alpha and mask disagree at " + std::to_string(x) + "," + std::to_string(y)), found;
        }
    return found;
}

Corners ScanCorners(const Bitmap &Master, const Picture &Mask) {
    Corners c;
    const int frameWidth = (Mask.Right - Mask.Left) / std::max(1, Mask.Count);
    const int partHeight = (Mask.Bottom - Mask.Top) / (Mask.MaskType + 1);
    auto scan = [&](int x0, int y0, int width, int height, bool fromLeft) {
        for (int y = y0; y < y0 + height; ++y) {
            bool inRun = true;  // still in the run that starts at the outer edge
            for (int i = 0; i < width; ++i) {
                const int x = fromLeft ? x0 + i : x0 + width - 1 - i;
                const bool key = Master.At(x, y) == Key;
                c.HasKey = c.HasKey || key;
                if (key && !inRun) c.KeyTouchesEdge = false;
                inRun = inRun && key;
            }
        }
    };
    scan(Mask.Left, Mask.Top, Mask.WL, Mask.WT, true);
    scan(Mask.Left + frameWidth - Mask.WR, Mask.Top, Mask.WR, Mask.WT, false);
    scan(Mask.Left, Mask.Top + partHeight - Mask.WB, Mask.WL, Mask.WB, true);
    scan(Mask.Left + frameWidth - Mask.WR, Mask.Top + partHeight - Mask.WB, Mask.WR, Mask.WB, false);
    return c;
}

} // namespace skinrules
