#include "sOptionsFile.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>

#include "skin/graphics/vlCommonUtils.h"
#include "skin/graphics/vlGradients.h"
#include "skin/graphics/vlImageHelpers.h"
#include "skin/graphics/vlSkinText.h"
#include "vcl/SysUtils.h"

namespace skin {

// TvlOptionsFile

TvlOptionsFile::TvlOptionsFile(std::string_view Text) {
    if (Text.substr(0, 3) == "\xEF\xBB\xBF") {
        Text.remove_prefix(3);
        FUtf8 = true;
    }
    // About one section per '[' (a few hundred in a skin; the cap keeps a
    // hostile text from reserving much).
    FSections.reserve(std::min<std::size_t>(static_cast<std::size_t>(std::count(Text.begin(), Text.end(), '[')), 1024));
    while (!Text.empty()) {
        // A plain scan: find_first_of asks the C library once per character.
        std::size_t end = 0;
        while (end < Text.size() && Text[end] != '\r' && Text[end] != '\n') ++end;
        AddLine(Text.substr(0, end));
        if (end == Text.size()) break;
        const std::size_t next = Text[end] == '\r' && end + 1 < Text.size() && Text[end + 1] == '\n' ? end + 2 : end + 1;
        Text.remove_prefix(next);
    }
    ResolveParents();
}

TvlOptionsFile::TvlOptionsFile(const vcl::TStrings &Lines) {
    for (int i = 0; i < Lines.Count(); ++i) AddLine(Lines.Strings(i));
    ResolveParents();
}

std::size_t TvlOptionsFile::HashOf(std::string_view Text) {
    // FNV-1a: the names are short, and most reads miss.
    std::uint32_t hash = 2166136261u;
    for (const char c : Text) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return hash;
}

std::size_t TvlOptionsFile::KeySlot(int Section, std::string_view Key, std::size_t Hash) const {
    const std::size_t mask = FKeySlots.size() - 1;
    for (std::size_t at = (Hash ^ static_cast<std::size_t>(Section) * 0x9E3779B1u) & mask;; at = (at + 1) & mask) {
        const TKeySlot &slot = FKeySlots[at];
        if (slot.Key < 0) return at;
        if (slot.Hash == Hash && slot.Section == Section &&
            FSections[static_cast<std::size_t>(Section)].Keys[static_cast<std::size_t>(slot.Key)].Name == Key)
            return at;
    }
}

std::size_t TvlOptionsFile::SectionSlot(std::string_view Name, std::size_t Hash) const {
    const std::size_t mask = FSectionSlots.size() - 1;
    for (std::size_t at = Hash & mask;; at = (at + 1) & mask) {
        const int section = FSectionSlots[at];
        if (section < 0 || FSections[static_cast<std::size_t>(section)].Name == Name) return at;
    }
}

void TvlOptionsFile::GrowSectionSlots() {
    FSectionSlots.assign(std::max<std::size_t>(32, 2 * FSectionSlots.size()), -1);
    const std::size_t mask = FSectionSlots.size() - 1;
    for (std::size_t i = 0; i < FSections.size(); ++i) {
        std::size_t at = HashOf(FSections[i].Name) & mask;
        while (FSectionSlots[at] >= 0) at = (at + 1) & mask;
        FSectionSlots[at] = static_cast<int>(i);
    }
}

void TvlOptionsFile::GrowKeySlots() {
    std::vector<TKeySlot> old(std::max<std::size_t>(64, 2 * FKeySlots.size()));
    old.swap(FKeySlots);
    for (const TKeySlot &slot : old) {
        if (slot.Key < 0) continue;
        const std::size_t mask = FKeySlots.size() - 1;
        std::size_t at = (slot.Hash ^ static_cast<std::size_t>(slot.Section) * 0x9E3779B1u) & mask;
        while (FKeySlots[at].Key >= 0) at = (at + 1) & mask;
        FKeySlots[at] = slot;
    }
}

void TvlOptionsFile::ResolveParents() {
    FCurrent = -1;
    FParents.assign(FSections.size(), -1);
    for (std::size_t i = 0; i < FSections.size(); ++i) {
        const std::string *parent = Find(static_cast<int>(i), "PARENTCLASS");
        if (!parent || parent->empty() || *parent == "?" || *parent == FSections[i].Name) continue;
        FParents[i] = SectionIndex(*parent);
    }
}

int TvlOptionsFile::ParentIndex(int SectionIndex) const {
    return SectionIndex >= 0 && static_cast<std::size_t>(SectionIndex) < FParents.size()
               ? FParents[static_cast<std::size_t>(SectionIndex)]
               : -1;
}

namespace {

// Control characters and blanks (bytes up to 32) off both ends.
std::string_view TrimView(std::string_view S) {
    while (!S.empty() && static_cast<unsigned char>(S.front()) <= 32) S.remove_prefix(1);
    while (!S.empty() && static_cast<unsigned char>(S.back()) <= 32) S.remove_suffix(1);
    return S;
}

} // namespace

void TvlOptionsFile::AddLine(std::string_view Line) {
    Line = TrimView(Line);
    if (Line.empty() || Line.front() == ';') return;
    if (Line.size() >= 2 && Line.front() == '[' && Line.back() == ']') {
        const std::string_view name = Line.substr(1, Line.size() - 2);
        if (2 * (FSections.size() + 1) > FSectionSlots.size()) GrowSectionSlots();
        int &slot = FSectionSlots[SectionSlot(name, HashOf(name))];
        if (slot < 0) {
            slot = static_cast<int>(FSections.size());
            FSections.push_back(TSection{std::string(name), {}});
            FSections.back().Keys.reserve(8);
        }
        FCurrent = slot;
        return;
    }
    const std::size_t eq = Line.find('=');
    if (FCurrent < 0 || eq == std::string_view::npos) return;  // not a key of a section
    const std::string_view key = TrimView(Line.substr(0, eq));
    if (2 * (FKeyCount + 1) > FKeySlots.size()) GrowKeySlots();
    const std::size_t hash = HashOf(key);
    TKeySlot &slot = FKeySlots[KeySlot(FCurrent, key, hash)];
    if (slot.Key >= 0) return;  // the first of two equal keys is the one read
    TSection &section = FSections[static_cast<std::size_t>(FCurrent)];
    slot = TKeySlot{hash, FCurrent, static_cast<std::int32_t>(section.Keys.size())};
    ++FKeyCount;
    FKeyNameBits[(hash >> 6) & 63] |= std::uint64_t{1} << (hash & 63);
    section.Keys.push_back(TKey{std::string(key), std::string(TrimView(Line.substr(eq + 1)))});
}

int TvlOptionsFile::SectionIndex(std::string_view Section) const {
    return FSectionSlots.empty() ? -1 : FSectionSlots[SectionSlot(Section, HashOf(Section))];
}

const std::string *TvlOptionsFile::Find(std::string_view Section, const TKeyName &Key) const {
    return Find(SectionIndex(Section), Key);
}

const std::string *TvlOptionsFile::Find(int SectionIndex, const TKeyName &Key) const {
    if (SectionIndex < 0 || static_cast<std::size_t>(SectionIndex) >= FSections.size() || FKeySlots.empty())
        return nullptr;
    if (!(FKeyNameBits[(Key.Hash() >> 6) & 63] >> (Key.Hash() & 63) & 1)) return nullptr;
    const TKeySlot &slot = FKeySlots[KeySlot(SectionIndex, Key.Text(), Key.Hash())];
    return slot.Key < 0 ? nullptr
                        : &FSections[static_cast<std::size_t>(SectionIndex)].Keys[static_cast<std::size_t>(slot.Key)].Value;
}

std::string TvlOptionsFile::ReadString(std::string_view Section, std::string_view Key,
                                       const std::string &Default) const {
    const std::string *value = Find(Section, Key);
    return value ? *value : Default;
}

std::int32_t TvlOptionsFile::ReadInteger(std::string_view Section, const TKeyName &Key, std::int32_t Default) const {
    return ReadInteger(SectionIndex(Section), Key, Default);
}

std::int32_t TvlOptionsFile::ReadInteger(int SectionIndex, const TKeyName &Key, std::int32_t Default) const {
    const std::string *value = Find(SectionIndex, Key);
    if (!value) return Default;
    std::string_view text = *value;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        const std::string hex = "$" + std::string(text.substr(2));
        return vcl::StrToIntDef(hex, Default);
    }
    return vcl::StrToIntDef(text, Default);
}

// Key readers

namespace {

constexpr std::int32_t Unlimited = INT32_MAX;

// The ranges of the numbers that reach sizes, offsets, shifts or indexes: a
// value beyond its range is read as the nearest end of it, so that a damaged
// or hostile options text can neither ask for a picture of gigabytes, nor
// overflow the arithmetic of painting, nor index before a table. The format
// states some (percentages, "STATES" at least 1, 255 for the byte values);
// the pixel measures get MaxSkinMeasure, which no skin comes near.
struct TRange {
    std::int32_t Min, Max;
};
constexpr TRange PercentRange{0, 100};
constexpr TRange ByteRange{0, 255};
constexpr TRange StatesRange{1, 255};
constexpr TRange MeasureRange{0, MaxSkinMeasure};
constexpr TRange OffsetRange{-MaxSkinMeasure, MaxSkinMeasure};
constexpr TRange TextGlowRange{0, MaxTextGlowRadius};

std::int32_t Bounded(std::int32_t Value, TRange Range) { return std::clamp(Value, Range.Min, Range.Max); }

// Walks the section and its parents, calling Probe(section index, level)
// until it answers true; a chain that comes back to a section or runs too
// deep ends.
template <class TProbe> void WalkParents(const TvlOptionsFile &Ini, int Section, TProbe Probe) {
    int visited[MaxParentDepth];
    int depth = 0;
    for (int s = Section; s >= 0 && depth < MaxParentDepth; s = Ini.ParentIndex(s)) {
        for (int i = 0; i < depth; ++i)
            if (visited[i] == s) return;
        visited[depth] = s;
        if (Probe(s, depth)) return;
        ++depth;
    }
}

using TKeyName = TvlOptionsFile::TKeyName;

const std::string *FindInheritedString(const TvlOptionsFile &Ini, int Section, const TKeyName &Key) {
    const std::string *found = nullptr;
    WalkParents(Ini, Section, [&](int s, int) {
        const std::string *v = Ini.Find(s, Key);
        if (v && *v != "?") found = v;
        return found != nullptr;
    });
    return found;
}

std::string SectionStr(const TvlOptionsFile &Ini, int Section, const TKeyName &Key, const std::string &Default) {
    const std::string *v = FindInheritedString(Ini, Section, Key);
    return v ? *v : Default;
}

bool SectionBool(const TvlOptionsFile &Ini, int Section, const TKeyName &Key, bool Default) {
    const std::string *v = FindInheritedString(Ini, Section, Key);
    if (!v) return Default;
    return *v == "TRUE" || *v == "1";
}

std::int32_t SectionInt(const TvlOptionsFile &Ini, int Section, const TKeyName &Key, std::int32_t Default,
                        std::int32_t Max) {
    std::int32_t result = Default;
    WalkParents(Ini, Section, [&](int s, int level) {
        const std::int32_t v = Ini.ReadInteger(s, Key, -1);
        if (v == -1) return false;
        // A value that the section writes itself is kept as written; one it
        // inherits is taken as a colour and resolved.
        result = level == 0 ? v : vcl::ColorToRGB(v);
        return true;
    });
    return result > Max ? Max : result;
}

} // namespace

std::string ReadSectionStr(const TvlOptionsFile &Ini, std::string_view Section, std::string_view Key,
                           const std::string &Default) {
    return SectionStr(Ini, Ini.SectionIndex(Section), Key, Default);
}

bool ReadSectionBool(const TvlOptionsFile &Ini, std::string_view Section, std::string_view Key, bool Default) {
    return SectionBool(Ini, Ini.SectionIndex(Section), Key, Default);
}

std::int32_t ReadSectionInt(const TvlOptionsFile &Ini, std::string_view Section, std::string_view Key,
                            std::int32_t Default, std::int32_t Max) {
    return SectionInt(Ini, Ini.SectionIndex(Section), Key, Default, Max);
}

const std::string_view StateKeys[3][12] = {
    {"COLOR", "FONTCOLOR", "TCLEFT", "TCTOP", "TCRIGHT", "TCBOTTOM", "GCOL", "GSIZE", "GRADIENTPERCENT",
     "GRADIENTDATA", "IMAGEPERCENT", "TRANSPARENCY"},
    {"HOTCOLOR", "HOTFONTCOLOR", "HOTTCLEFT", "HOTTCTOP", "HOTTCRIGHT", "HOTTCBOTTOM", "HGCOL", "HGSIZE",
     "HOTGRADIENTPERCENT", "HOTGRADIENTDATA", "HOTIMAGEPERCENT", "HOTTRANSPARENCY"},
    {"COLOR2", "FONTCOLOR2", "TCLEFT2", "TCTOP2", "TCRIGHT2", "TCBOTTOM2", "GCOL2", "GSIZE2", "GRADIENTPERCENT2",
     "GRADIENTDATA2", "IMAGEPERCENT2", "TRANSPARENCY2"}};

namespace {

enum TStateKey {
    kColor, kFontColor, kTCLeft, kTCTop, kTCRight, kTCBottom, kGCol, kGSize, kGradientPercent, kGradient,
    kImagePercent, kTransparency
};

// The integer fields of a state in the order of StateKeys (the gradient text
// is read apart).
template <class TReadInt, class TReadText>
void FillState(TsGenState &State, const TsGenState &Defaults, int StateIndex, TReadInt ReadInt, TReadText ReadText) {
    const std::string_view *keys = StateKeys[StateIndex];
    State = Defaults;
    State.Color = ReadInt(keys[kColor], Defaults.Color);
    State.FontColor = ReadInt(keys[kFontColor], Defaults.FontColor);
    State.TCLeft = ReadInt(keys[kTCLeft], Defaults.TCLeft);
    State.TCTop = ReadInt(keys[kTCTop], Defaults.TCTop);
    State.TCRight = ReadInt(keys[kTCRight], Defaults.TCRight);
    State.TCBottom = ReadInt(keys[kTCBottom], Defaults.TCBottom);
    State.GCol = ReadInt(keys[kGCol], Defaults.GCol);
    State.GSize = Bounded(ReadInt(keys[kGSize], Defaults.GSize), TextGlowRange);
    // Percentages are multiplied by 255 in painting: above 100 they only
    // overflow, below 0 they mean nothing.
    State.GradientPercent = Bounded(ReadInt(keys[kGradientPercent], Defaults.GradientPercent), PercentRange);
    State.ImagePercent = Bounded(ReadInt(keys[kImagePercent], Defaults.ImagePercent), PercentRange);
    State.Transparency = Bounded(ReadInt(keys[kTransparency], Defaults.Transparency), PercentRange);
    const std::string gradient = ReadText(keys[kGradient]);
    if (gradient.size() > 2) {
        State.Gradient.clear();
        ParseGradient(gradient, State.Gradient);
    } else {
        State.GradientPercent = 0;
    }
}

void SectionState(const TvlOptionsFile &Ini, int Section, TsGenState &State, const TsGenState &Defaults,
                  int StateIndex) {
    FillState(
        State, Defaults, StateIndex,
        [&](std::string_view key, std::int32_t def) { return SectionInt(Ini, Section, key, def, Unlimited); },
        [&](std::string_view key) { return SectionStr(Ini, Section, key, " "); });
}

} // namespace

void ReadSectionState(const TvlOptionsFile &Ini, std::string_view Section, TsGenState &State,
                      const TsGenState &Defaults, int StateIndex) {
    SectionState(Ini, Ini.SectionIndex(Section), State, Defaults, StateIndex);
}

// GLOBALINFO

double ReadSkinVersion(const TvlOptionsFile &Ini) {
    const std::string *text = Ini.Find("GLOBALINFO", "VERSION");
    if (!text || text->empty()) return 0;
    double value = 0;
    const char *first = text->data(), *end = text->data() + text->size();
    // A number may carry its sign, '+' as well as '-' (from_chars takes only '-').
    if (*first == '+' && end - first > 1 && first[1] != '-') ++first;
    const auto [ptr, ec] = std::from_chars(first, end, value, std::chars_format::general);
    return ec == std::errc() && ptr == end && std::isfinite(value) ? value : 0;
}

void ReadGlobalInfo(const TvlOptionsFile &Ini, TsSkinData &Data, int FrameWidth) {
    const int section = Ini.SectionIndex("GLOBALINFO");
    const auto global = [&](std::string_view key, std::int32_t def) { return Ini.ReadInteger(section, key, def); };
    const auto bounded = [&](std::string_view key, std::int32_t def, TRange range) {
        return Bounded(global(key, def), range);
    };
    Data.Author = Ini.ReadString("GLOBALINFO", "AUTHOR", "");
    Data.Description = Ini.ReadString("GLOBALINFO", "DESCRIPTION", "");
    Data.BorderWidth = bounded("BORDERWIDTH", 4, MeasureRange);
    Data.TitleHeight = bounded("TITLEHEIGHT", 30, MeasureRange);
    if (Data.TitleHeight == 0) Data.TitleHeight = 30;
    Data.MaxHeight = bounded("MAXHEIGHT", 0, MeasureRange);
    if (Data.MaxHeight == 0) Data.MaxHeight = Data.TitleHeight;
    Data.FormOffset = bounded("FORMOFFSET", FrameWidth, MeasureRange);
    Data.CenterOffset = bounded("CENTEROFFSET", 0, OffsetRange);
    Data.BorderMode = global("BORDERMODE", 0);
    Data.BrightMin = global("BRIGHTMIN", -50);
    Data.BrightMax = global("BRIGHTMAX", 50);
    Data.AlignOffset = bounded("ALIGNOFFSET", 0, OffsetRange);
    Data.AlignOffsetR = bounded("ALIGNOFFSETR", Data.AlignOffset, OffsetRange);
    Data.AlignOffsetT = bounded("ALIGNOFFSETT", Data.AlignOffset, OffsetRange);
    Data.AlignOffsetB = bounded("ALIGNOFFSETB", Data.AlignOffset, OffsetRange);
    Data.BISpace = bounded("BISPACE", 0, OffsetRange);
    Data.BIVAlign = global("BIVALIGN", 0);
    Data.BIRight = bounded("BIRIGHT", 0, OffsetRange);
    Data.BILeft = bounded("BILEFT", 0, OffsetRange);
    Data.BITop = bounded("BITOP", 0, OffsetRange);
    Data.BIKeepHue = global("BIKEEPHUE", 0);
    Data.AeroBlur = global("AEROBLUR", 0) != 0;
    Data.BIconCloseGlow = bounded("BICONCLOSEGLOW", 0, ByteRange);
    Data.BIconCloseGlowMargin = bounded("BICONCLOSEGLOWMARGIN", 0, OffsetRange);
    Data.BIconMaxGlow = bounded("BICONMAXGLOW", 0, ByteRange);
    Data.BIconMaxGlowMargin = bounded("BICONMAXGLOWMARGIN", 0, OffsetRange);
    Data.BIconMinGlow = bounded("BICONMINGLOW", 0, ByteRange);
    Data.BIconMinGlowMargin = bounded("BICONMINGLOWMARGIN", 0, OffsetRange);
    Data.Shadow1Color = global("SHADOW1COLOR", 0);
    Data.Shadow1Offset = bounded("SHADOW1OFFSET", 0, OffsetRange);
    Data.Shadow1Blur = global("SHADOW1BLUR", -1);
    Data.Shadow1Transparency = global("SHADOW1TRANSPARENCY", 0);
    Data.ComboMargin = bounded("COMBOMARGIN", 2, MeasureRange);
}

void ReadTabsCovering(const TvlOptionsFile &Ini, TsSkinData &Data) {
    // Each tab is widened by twice its covering.
    Data.TabsCovering = Bounded(Ini.ReadInteger("TABTOP", "TABSCOVERING", 0), MeasureRange);
    Data.RibbonTabsCovering = Bounded(Ini.ReadInteger("RIBBONTAB", "TABSCOVERING", 0), MeasureRange);
}

TvlOutEffArray ReadOuterEffects(const TvlOptionsFile &Ini) {
    struct TDefaults {
        const char *Prefix;
        vcl::TColor Colors[4];
        std::int32_t Offsets[4];
        std::int32_t Opacity;
    };
    static constexpr TDefaults defaults[2] = {
        {"LO_", {0xFFFFFF, 0, 0xFFFFFF, 0xFFFFFF}, {2, 2, 2, 4}, 200},
        {"SH_", {0, 0, 0, 0}, {3, 2, 3, 5}, 60}};
    TvlOutEffArray effects(2);
    for (int e = 0; e < 2; ++e) {
        const TDefaults &d = defaults[e];
        const auto read = [&](const char *key, std::int32_t def) {
            return Ini.ReadInteger("GLOBALINFO", std::string(d.Prefix) + key, def);
        };
        TvlOutEffect &fx = effects[static_cast<std::size_t>(e)];
        fx.ColorL = read("COLORL", d.Colors[0]);
        fx.ColorT = read("COLORT", d.Colors[1]);
        fx.ColorR = read("COLORR", d.Colors[2]);
        fx.ColorB = read("COLORB", d.Colors[3]);
        fx.WidthL = read("WIDTHL", -1);
        fx.WidthT = read("WIDTHT", -1);
        fx.WidthR = read("WIDTHR", -1);
        fx.WidthB = read("WIDTHB", -1);
        // The offsets grow the effect's picture around its control on every paint.
        fx.OffsetL = Bounded(read("OFFSETL", d.Offsets[0]), OffsetRange);
        fx.OffsetT = Bounded(read("OFFSETT", d.Offsets[1]), OffsetRange);
        fx.OffsetR = Bounded(read("OFFSETR", d.Offsets[2]), OffsetRange);
        fx.OffsetB = Bounded(read("OFFSETB", d.Offsets[3]), OffsetRange);
        fx.Source = read("SOURCE", 2);
        fx.Opacity = Bounded(read("OPACITY", d.Opacity), ByteRange);
        fx.MaskIndex = -1;
    }
    return effects;
}

// The section table

TsGeneralDataArray ReadSections(const TvlOptionsFile &Ini) {
    TsGeneralDataArray sections;
    sections.reserve(Ini.Sections().size());
    for (const TvlOptionsFile::TSection &s : Ini.Sections()) {
        const std::string &name = s.Name;
        const int section = static_cast<int>(&s - Ini.Sections().data());
        const auto readInt = [&](std::string_view key, std::int32_t def, TRange range) {
            return Bounded(SectionInt(Ini, section, key, def, Unlimited), range);
        };
        TsGeneralData g;
        g.ClassName = name;
        const std::string *parent = Ini.Find(section, "PARENTCLASS");
        g.ParentClass = parent ? *parent : std::string();
        g.ReservedBoolean = SectionBool(Ini, section, "RESERVEDBOOLEAN", false);
        g.GiveOwnFont = SectionBool(Ini, section, "GIVEOWNFONT", false);
        g.Glow = readInt("GLOW", 0, ByteRange);
        g.GlowMargin = readInt("GLOWMARGIN", 0, OffsetRange);
        // At least one state: painters and adapters index the state records by STATES - 1.
        g.States = readInt("STATES", 3, StatesRange);
        g.OutOffsL = readInt("OUTOFFSL", 0, OffsetRange);
        g.OutOffsT = readInt("OUTOFFST", 0, OffsetRange);
        g.OutOffsR = readInt("OUTOFFSR", 0, OffsetRange);
        g.OutOffsB = readInt("OUTOFFSB", 0, OffsetRange);
        g.OutOpacity = readInt("OUTOPACITY", 200, ByteRange);
        g.OuterMode = SectionInt(Ini, section, "OUTERMODE", 2, Unlimited);
        g.ImgTopLeft = g.ImgTopRight = g.ImgBottomLeft = g.ImgBottomRight = -1;

        SectionState(Ini, section, g.Props[0], DefaultGenState, 0);
        if (g.States > 1)
            SectionState(Ini, section, g.Props[1], DefaultGenState, 1);
        else
            g.Props[1] = g.Props[0];
        g.UseState2 = SectionInt(Ini, section, "USESTATE2", 0, Unlimited) == 1;
        if (g.UseState2)
            SectionState(Ini, section, g.Props[2], DefaultGenState, 2);
        else
            g.Props[2] = g.Props[1];
        sections.push_back(std::move(g));
    }
    return sections;
}

// Common sections

namespace {

// A common-section key read as an integer, where -1 counts as absent.
std::int32_t CommonInt(const vcl::TStringList &Split, std::string_view Section, std::string_view Key,
                       std::int32_t Default) {
    const std::int32_t v = ReadIniInteger(Split, Section, Key, -1);
    return v == -1 ? Default : v;
}

bool CommonBool(const vcl::TStringList &Split, std::string_view Section, std::string_view Key, bool Default) {
    const std::string v = ReadIniString(Split, Section, Key, "?");
    if (v == "?") return Default;
    return v == "1" || vcl::UpperCase(v) == "TRUE";
}

} // namespace

void AddCommonSections(const vcl::TStrings &CommonSections, TsGeneralDataArray &Sections) {
    if (CommonSections.Count() == 0) return;
    TsGeneralData templ;
    templ.States = 3;

    vcl::TStringList split;
    SplitIniSections(CommonSections, split);
    for (int i = 0; i < split.Count(); ++i) {
        const std::string name = split.StringRef(i);
        if (FindSectionIndex(Sections, name) >= 0) continue;  // the skin's own section wins
        const std::string parent = vcl::UpperCase(ReadIniString(split, name, "PARENTCLASS", "-1"));
        const TsGeneralData *base = &templ;
        for (const TsGeneralData &s : Sections)
            if (vcl::UpperCase(s.ClassName) == parent) {
                base = &s;
                break;
            }
        // What the common text does not say (state 2, the outer values)
        // comes from the base as well.
        TsGeneralData g = *base;
        g.ClassName = name;
        g.ParentClass = parent;
        g.States = Bounded(CommonInt(split, name, "STATES", base->States), StatesRange);
        const auto readState = [&](int index) {
            FillState(
                g.Props[static_cast<std::size_t>(index)], base->Props[static_cast<std::size_t>(index)], index,
                [&](std::string_view key, std::int32_t def) { return CommonInt(split, name, key, def); },
                [&](std::string_view key) { return ReadIniString(split, name, key, " "); });
        };
        readState(0);
        if (g.States > 1)
            readState(1);
        else
            g.Props[1] = g.Props[0];
        g.ReservedBoolean = CommonBool(split, name, "RESERVEDBOOLEAN", base->ReservedBoolean);
        g.GiveOwnFont = CommonBool(split, name, "GIVEOWNFONT", base->GiveOwnFont);
        g.Glow = Bounded(CommonInt(split, name, "GLOW", base->Glow), ByteRange);
        g.GlowMargin = Bounded(CommonInt(split, name, "GLOWMARGIN", base->GlowMargin), OffsetRange);
        Sections.push_back(std::move(g));
    }
}

// Skin colours

TvlSkinColors ReadSkinColors(const TvlOptionsFile &Ini, const TsGeneralDataArray &Sections) {
    TvlSkinColors c{};
    const auto global = [&](std::string_view key, vcl::TColor def) { return Ini.ReadInteger("GLOBALINFO", key, def); };
    c[scGlobalColor] = global("COLOR", vcl::ColorToRGB(vcl::clBtnFace));
    c[scGlobalFontColor] = global("FONTCOLOR", 0);
    c[scGlobalTCBottom] = global("TCBOTTOM", 0xFF0000);
    c[scGlobalTCTop] = global("TCTOP", 0x0000FF);
    c[scBorderColor] = global("BORDERCOLOR", 0);

    if (const int edit = FindSectionIndex(Sections, "EDIT"); edit >= 0) {
        const TsGenState &s = Sections[static_cast<std::size_t>(edit)].Props[0];
        c[scEditFontColor] = vcl::ColorToRGB(s.FontColor);
        c[scEditColor] = vcl::ColorToRGB(s.Color);
    } else {
        c[scEditFontColor] = vcl::ColorToRGB(vcl::clWindowText);
        c[scEditColor] = vcl::ColorToRGB(vcl::clWindow);
    }

    if (const int sel = FindSectionIndex(Sections, "SELECTION"); sel >= 0) {
        const TsGeneralData &s = Sections[static_cast<std::size_t>(sel)];
        const TsGenState &focused = s.Props[s.States > 1 ? 1 : 0];
        c[scSelectionColor] = s.Props[0].Color;
        c[scSelectionFontColor] = s.Props[0].FontColor;
        c[scFocusedSelectionColor] = focused.Color;
        c[scFocusedSelectionFontColor] = focused.FontColor;
    } else {
        c[scSelectionColor] = c[scSelectionFontColor] = c[scFocusedSelectionColor] =
            c[scFocusedSelectionFontColor] = -1;
    }
    if (c[scSelectionFontColor] == -1 || c[scSelectionFontColor] == vcl::clFuchsia) {
        if (const int menu = FindSectionIndex(Sections, "MENUITEM"); menu >= 0) {
            const TsGenState &hot = Sections[static_cast<std::size_t>(menu)].Props[1];
            c[scSelectionColor] = c[scFocusedSelectionColor] = hot.Color;
            // The fallback is resolved like every other skin colour: a system
            // colour code here would reach painters that expect RGB.
            c[scSelectionFontColor] = hot.FontColor == -1 || hot.FontColor == vcl::clFuchsia
                                          ? vcl::ColorToRGB(vcl::clHighlightText)
                                          : vcl::ColorToRGB(hot.FontColor);
            c[scFocusedSelectionFontColor] = c[scSelectionFontColor];
        } else {
            c[scSelectionFontColor] = c[scFocusedSelectionFontColor] = vcl::ColorToRGB(vcl::clHighlightText);
            c[scSelectionColor] = c[scFocusedSelectionColor] = vcl::ColorToRGB(vcl::clHighlight);
        }
    }

    c[scEditTextOk] = global("EDITTEXT_OK", 0x008000);
    c[scEditTextWarn] = global("EDITTEXT_WARN", 0x008484);
    c[scEditTextAlert] = global("EDITTEXT_ALERT", 0x0000FF);
    c[scEditTextAlert2] = global("EDITTEXT_ALERT", 0x8597D9);
    c[scEditTextAlert3] = global("EDITTEXT_ALERT", 0x4AB28F);
    c[scEditBgOk] = global("EDITBG_OK", 0x6CC2A5);
    c[scEditBgWarn] = global("EDITBG_WARN", 0x40FFFF);
    c[scEditBgAlert] = global("EDITBG_ALERT", 0x95A7E9);
    c[scEditBgAlert2] = global("EDITBG_ALERT", 0x8597D9);
    c[scEditBgAlert3] = global("EDITBG_ALERT", 0x4AB28F);
    c[scEditTextH1] = global("EDITTEXT_H1", 0);
    c[scEditTextH2] = global("EDITTEXT_H2", 0);
    c[scEditTextH3] = global("EDITTEXT_H3", 0);
    c[scEditTextInv] = global("EDITTEXT_INV", c[scEditColor]);
    c[scEditBgInv] = global("EDITBG_INV", c[scEditFontColor]);
    c[scEditBgOdd] = global("EDITBG_ODD", c[scEditColor]);
    c[scEditBgEven] = global("EDITBG_EVEN", MixColors(c[scEditFontColor], c[scEditColor], 0.05));
    return c;
}

void AddTransparentSection(TsGeneralDataArray &Sections, vcl::TColor FontColor) {
    if (FindSectionIndex(Sections, "TRANSPARENT") >= 0) return;
    TsGeneralData g;
    g.ClassName = "TRANSPARENT";
    g.States = 1;
    g.OuterMode = 0;
    g.OutOpacity = 0;
    for (TsGenState &s : g.Props) {
        s = TsGenState{};
        s.GCol = 0;
        s.Transparency = 100;
        s.Color = 0xFFFFFF;
        s.FontColor = FontColor;
    }
    Sections.push_back(std::move(g));
}

} // namespace skin
