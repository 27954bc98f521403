#include "IniFiles.h"

#include <charconv>

#include "SysUtils.h"

namespace vcl {

VCL_CLASS_INFO(TMemIniFile)

TMemIniFile::TMemIniFile(const std::string &FileName, bool CaseSensitive)
    : FFileName(FileName), FCaseSensitive(CaseSensitive) {
    if (FileName.empty() || !FileExists(FileName)) return;
    TStringList lines;
    lines.LoadFromFile(FileName);
    SetStrings(lines);
}

TMemIniFile::~TMemIniFile() = default;

std::string TMemIniFile::Key(std::string_view Section) const {
    return FCaseSensitive ? std::string(Section) : UpperCase(Section);
}

void TMemIniFile::SetCaseSensitive(bool Value) {
    if (Value == FCaseSensitive) return;
    TStringList lines;
    GetStrings(lines);
    FCaseSensitive = Value;
    SetStrings(lines);
}

void TMemIniFile::Reindex() {
    FIndex.clear();
    for (std::size_t i = 0; i < FSections.size(); ++i) FIndex.emplace(Key(FSections[i].Name), i);
}

const TMemIniFile::TSection *TMemIniFile::Find(std::string_view Section) const {
    const auto found = FIndex.find(Key(Section));
    return found == FIndex.end() ? nullptr : &FSections[found->second];
}

TMemIniFile::TSection &TMemIniFile::FindOrAdd(std::string_view Section) {
    const auto [found, added] = FIndex.emplace(Key(Section), FSections.size());
    if (!added) return FSections[found->second];
    auto lines = std::make_unique<TStringList>();
    lines->SetCaseSensitive(FCaseSensitive);
    FSections.push_back(TSection{std::string(Section), std::move(lines)});
    return FSections.back();
}

void TMemIniFile::SetStrings(const TStrings &List) {
    Clear();
    TSection *current = nullptr;
    for (int i = 0; i < List.Count(); ++i) {
        const std::string line = Trim(List.Strings(i));
        if (line.empty() || line[0] == ';') continue;
        if (line.front() == '[' && line.back() == ']') {
            current = &FindOrAdd(std::string_view(line).substr(1, line.size() - 2));
            continue;
        }
        if (!current) continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos)
            current->Lines->Add(line);
        else
            current->Lines->Add(Trim(std::string_view(line).substr(0, eq)) + "=" + Trim(std::string_view(line).substr(eq + 1)));
    }
}

void TMemIniFile::GetStrings(TStrings &List) const {
    Updating(List, [&] {
        List.Clear();
        for (const TSection &s : FSections) {
            List.Add("[" + s.Name + "]");
            for (int i = 0; i < s.Lines->Count(); ++i) List.Add(s.Lines->StringRef(i));
            List.Add("");
        }
    });
}

void TMemIniFile::Clear() {
    FSections.clear();
    FIndex.clear();
}

void TMemIniFile::UpdateFile() const {
    TStringList lines;
    GetStrings(lines);
    lines.SaveToFile(FFileName);
}

std::string TMemIniFile::ReadString(std::string_view Section, std::string_view Ident, const std::string &Default) const {
    const TSection *s = Find(Section);
    if (!s) return Default;
    const int i = s->Lines->IndexOfName(Ident);
    return i < 0 ? Default : s->Lines->ValueFromIndex(i);
}

int TMemIniFile::ReadInteger(std::string_view Section, std::string_view Ident, int Default) const {
    std::string text = ReadString(Section, Ident, "");
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.replace(0, 2, "$");
    return StrToIntDef(text, Default);
}

bool TMemIniFile::ReadBool(std::string_view Section, std::string_view Ident, bool Default) const {
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

double TMemIniFile::ReadFloat(std::string_view Section, std::string_view Ident, double Default) const {
    const std::string text = ReadString(Section, Ident, "");
    double value = 0;
    const char *end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty() ? value : Default;
}

void TMemIniFile::ReadSection(std::string_view Section, TStrings &Idents) const {
    Updating(Idents, [&] {
        Idents.Clear();
        if (const TSection *s = Find(Section))
            for (int i = 0; i < s->Lines->Count(); ++i)
                if (s->Lines->StringRef(i).find('=') != std::string::npos) Idents.Add(s->Lines->Names(i));
    });
}

void TMemIniFile::ReadSections(TStrings &Sections) const {
    Updating(Sections, [&] {
        Sections.Clear();
        for (const TSection &s : FSections) Sections.Add(s.Name);
    });
}

void TMemIniFile::ReadSectionValues(std::string_view Section, TStrings &Values) const {
    Updating(Values, [&] {
        Values.Clear();
        if (const TSection *s = Find(Section)) Values.AddStrings(*s->Lines);
    });
}

bool TMemIniFile::SectionExists(std::string_view Section) const { return Find(Section) != nullptr; }

bool TMemIniFile::ValueExists(std::string_view Section, std::string_view Ident) const {
    const TSection *s = Find(Section);
    return s && s->Lines->IndexOfName(Ident) >= 0;
}

void TMemIniFile::WriteString(std::string_view Section, std::string_view Ident, const std::string &Value) {
    FindOrAdd(Section).Lines->SetValues(Ident, Value);
}

void TMemIniFile::WriteInteger(std::string_view Section, std::string_view Ident, int Value) {
    WriteString(Section, Ident, IntToStr(Value));
}

void TMemIniFile::WriteBool(std::string_view Section, std::string_view Ident, bool Value) {
    WriteString(Section, Ident, Value ? "1" : "0");
}

void TMemIniFile::EraseSection(std::string_view Section) {
    const auto found = FIndex.find(Key(Section));
    if (found == FIndex.end()) return;
    FSections.erase(FSections.begin() + static_cast<std::ptrdiff_t>(found->second));
    Reindex();
}

void TMemIniFile::DeleteKey(std::string_view Section, std::string_view Ident) {
    const TSection *s = Find(Section);
    if (!s) return;
    const int i = s->Lines->IndexOfName(Ident);
    if (i >= 0) s->Lines->Delete(i);
}

} // namespace vcl
