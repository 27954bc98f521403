#include "SkinOptions.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <set>

#include "vcl/IniFiles.h"
#include "vcl/StringList.h"
#include "vcl/SysUtils.h"

namespace skintools {

namespace {

std::string Upper(std::string_view Text) {
    std::string out(Text);
    for (char &c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

// A fixed field of Length characters at 1-based Column.
int FixedInt(std::string_view Value, std::size_t Column, std::size_t Length, const std::string &Where) {
    if (Value.size() < Column - 1 + Length)
        throw OptionsError(Where + ": value too short for the field at column " + std::to_string(Column));
    const std::string_view field = Value.substr(Column - 1, Length);
    int v = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), v);
    if (error != std::errc() || end != field.data() + field.size())
        throw OptionsError(Where + ": \"" + std::string(field) + "\" at column " + std::to_string(Column) + " is not a number");
    return v;
}

std::vector<std::string> Words(std::string_view Value, char Delimiter) {
    std::vector<std::string> words;
    std::string current;
    for (char c : Value) {
        if (c == Delimiter) {
            if (!current.empty()) words.push_back(std::move(current));
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) words.push_back(std::move(current));
    return words;
}

int WordInt(const std::vector<std::string> &WordList, std::size_t N) {
    if (N > WordList.size()) return 0;
    return ParseOptionInt(WordList[N - 1]).value_or(0);
}

} // namespace

std::optional<int> ParseOptionInt(std::string_view Text) {
    int base = 10;
    bool negative = false;
    if (!Text.empty() && Text.front() == '-') {
        negative = true;
        Text.remove_prefix(1);
    }
    if (!Text.empty() && Text.front() == '$') {
        base = 16;
        Text.remove_prefix(1);
    } else if (Text.size() > 2 && Text[0] == '0' && (Text[1] == 'x' || Text[1] == 'X')) {
        base = 16;
        Text.remove_prefix(2);
    }
    if (Text.empty()) return std::nullopt;
    long long v = 0;
    const auto [end, error] = std::from_chars(Text.data(), Text.data() + Text.size(), v, base);
    if (error != std::errc() || end != Text.data() + Text.size() || v > 0xFFFFFFFFLL) return std::nullopt;
    const auto value = static_cast<int>(static_cast<std::uint32_t>(v));
    return negative ? -value : value;
}

std::optional<PictureItem> ParsePicture(const std::string &Section, const std::string &Key, std::string_view RawValue) {
    const std::string value = Upper(RawValue);
    if (value.empty()) return std::nullopt;
    const std::string where = "[" + Section + "] " + Key;
    PictureItem item;
    item.Section = Section;
    item.Key = Key;
    item.Code = value[0];
    switch (value[0]) {
    case '^':
    case '@':
        item.R = {FixedInt(value, 2, 4, where), FixedInt(value, 7, 4, where), FixedInt(value, 12, 4, where),
                  FixedInt(value, 17, 4, where)};
        if (value[0] == '@') {
            item.ImageCount = FixedInt(value, 22, 1, where);
            item.MaskType = FixedInt(value, 24, 1, where);
            item.ImageKind = 2;
        } else {
            item.WL = FixedInt(value, 22, 4, where);
            item.WT = FixedInt(value, 27, 4, where);
            item.WR = FixedInt(value, 32, 4, where);
            item.WB = FixedInt(value, 37, 4, where);
            item.ImageCount = FixedInt(value, 42, 1, where);
            item.MaskType = FixedInt(value, 44, 1, where);
            item.DrawMode = FixedInt(value, 46, 1, where);
            item.BorderWidth = FixedInt(value, 48, 1, where);
            item.ImageKind = std::min(WordInt(Words(value, '!'), 4), 4);
        }
        return item;
    case '!': {
        const std::vector<std::string> words = Words(value, '!');
        if (words.empty()) throw OptionsError(where + ": no file name");
        item.File = words[0];
        item.ImageCount = WordInt(words, 2);
        item.MaskType = WordInt(words, 3);
        item.ImageKind = std::min(WordInt(words, 4), 4);
        if (words.size() > 4) {
            item.WL = WordInt(words, 5);
            item.WT = WordInt(words, 6);
            item.WR = WordInt(words, 7);
            item.WB = WordInt(words, 8);
        }
        if (words.size() > 8) item.DrawMode = WordInt(words, 9);
        return item;
    }
    case '~':
        throw OptionsError(where + ": the '~' code is not used by these tools");
    default:
        if (value.find(".JPG") == std::string::npos && value.find(".BMP") == std::string::npos) return std::nullopt;
        item.Code = 0;
        item.File = value;
        item.ImageKind = 1;
        return item;
    }
}

SkinOptions::SkinOptions(std::string_view Text) : FIni(std::make_unique<vcl::TMemIniFile>()) {
    FIni->SetCaseSensitive(true);
    vcl::TStringList lines;
    lines.SetText(Text);
    FIni->SetStrings(lines);
}

SkinOptions SkinOptions::FromFile(const std::string &Path) {
    vcl::TStringList lines;
    try {
        lines.LoadFromFile(Path);
    } catch (const std::exception &e) {
        throw OptionsError("cannot read " + Path + ": " + e.what());
    }
    return SkinOptions(lines.Text());
}

SkinOptions::~SkinOptions() = default;
SkinOptions::SkinOptions(SkinOptions &&) noexcept = default;
SkinOptions &SkinOptions::operator=(SkinOptions &&) noexcept = default;

std::vector<std::string> SkinOptions::Sections() const {
    vcl::TStringList list;
    FIni->ReadSections(list);
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i) out.push_back(list[i]);
    return out;
}

std::vector<std::string> SkinOptions::Keys(const std::string &Section) const {
    vcl::TStringList list;
    FIni->ReadSection(Section, list);
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i) out.push_back(list[i]);
    return out;
}

bool SkinOptions::HasSection(const std::string &Section) const { return FIni->SectionExists(Section); }

std::optional<std::string> SkinOptions::Own(const std::string &Section, const std::string &Key) const {
    if (!FIni->ValueExists(Section, Key)) return std::nullopt;
    return FIni->ReadString(Section, Key, "");
}

std::optional<std::string> SkinOptions::Value(const std::string &Section, const std::string &Key) const {
    std::set<std::string> seen;
    std::string current = Section;
    for (int depth = 0; depth < 16 && seen.insert(current).second; ++depth) {
        if (auto v = Own(current, Key)) return v;
        const auto parent = Own(current, "PARENTCLASS");
        if (!parent || parent->empty() || !HasSection(*parent)) return std::nullopt;
        current = *parent;
    }
    return std::nullopt;
}

int SkinOptions::Int(const std::string &Section, const std::string &Key, int Default) const {
    const auto v = Value(Section, Key);
    if (!v) return Default;
    return ParseOptionInt(*v).value_or(Default);
}

std::string SkinOptions::MasterBitmap() const { return Own("GLOBALINFO", "MASTERBITMAP").value_or(""); }

std::vector<PictureItem> SkinOptions::Pictures() const {
    std::vector<PictureItem> out;
    for (const std::string &section : Sections())
        for (const std::string &key : Keys(section)) {
            if (section == "GLOBALINFO" && key == "MASTERBITMAP") continue;
            if (auto item = ParsePicture(section, key, *Own(section, key))) out.push_back(std::move(*item));
        }
    return out;
}

std::optional<PictureItem> SkinOptions::Picture(const std::string &Section, const std::string &Key) const {
    std::set<std::string> seen;
    std::string current = Section;
    for (int depth = 0; depth < 16 && seen.insert(current).second; ++depth) {
        if (auto v = Own(current, Key))
            if (auto item = ParsePicture(current, Key, *v)) return item;
        const auto parent = Own(current, "PARENTCLASS");
        if (!parent || parent->empty() || !HasSection(*parent)) return std::nullopt;
        current = *parent;
    }
    return std::nullopt;
}

} // namespace skintools
