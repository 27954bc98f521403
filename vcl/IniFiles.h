#pragma once
// TMemIniFile: ini-style text held in memory, from a file or from string
// lists. "[Section]" lines start sections (lines before the first one are
// dropped); other lines are "Ident=Value" entries, blanks around the name
// and the value removed; empty lines and lines starting with ';' are
// skipped. A section named twice continues the first. Sections and idents
// compare without regard to case unless the file is made case-sensitive.
// Nothing is written to the file unless UpdateFile is called.
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "StringList.h"

namespace vcl {

class TMemIniFile : public TObject {
    VCL_CLASS(TMemIniFile, TObject)
public:
    // Loads FileName when the file exists (raising when it cannot be read);
    // an empty name or a missing file gives an empty ini. A case-sensitive
    // ini keeps "Button" and "BUTTON" apart from the start.
    explicit TMemIniFile(const std::string &FileName = {}, bool CaseSensitive = false);
    ~TMemIniFile() override;

    const std::string &FileName() const { return FFileName; }
    bool CaseSensitive() const { return FCaseSensitive; }
    // Reads the content again in the new mode: becoming case-insensitive
    // merges sections whose names differ only in case; becoming
    // case-sensitive cannot part what was merged (construct it so instead).
    void SetCaseSensitive(bool Value);

    // Replaces the whole content with the sections of List / writes it out.
    void SetStrings(const TStrings &List);
    void GetStrings(TStrings &List) const;
    void Clear();
    void UpdateFile() const;  // writes FileName

    std::string ReadString(std::string_view Section, std::string_view Ident, const std::string &Default) const;
    // Decimal, or hexadecimal after "$" or (with at least one digit) "0x";
    // anything else gives Default.
    int ReadInteger(std::string_view Section, std::string_view Ident, int Default) const;
    // An integer: 0 is false, anything else true; not a number gives Default.
    bool ReadBool(std::string_view Section, std::string_view Ident, bool Default) const;
    // '.' as the decimal separator whatever the system's settings.
    double ReadFloat(std::string_view Section, std::string_view Ident, double Default) const;
    void ReadSection(std::string_view Section, TStrings &Idents) const;          // idents in order
    void ReadSections(TStrings &Sections) const;                                  // in file order
    void ReadSectionValues(std::string_view Section, TStrings &Values) const;   // "Ident=Value" lines
    bool SectionExists(std::string_view Section) const;
    bool ValueExists(std::string_view Section, std::string_view Ident) const;

    void WriteString(std::string_view Section, std::string_view Ident, const std::string &Value);
    void WriteInteger(std::string_view Section, std::string_view Ident, int Value);
    void WriteBool(std::string_view Section, std::string_view Ident, bool Value);
    void EraseSection(std::string_view Section);
    void DeleteKey(std::string_view Section, std::string_view Ident);

private:
    struct TSection {
        std::string Name;
        std::unique_ptr<TStringList> Lines;  // "Ident=Value"
    };
    const TSection *Find(std::string_view Section) const;
    TSection &FindOrAdd(std::string_view Section);
    std::string Key(std::string_view Section) const;
    void Reindex();

    std::string FFileName;
    bool FCaseSensitive = false;
    std::vector<TSection> FSections;  // in file order
    // Key(name) -> index in FSections: a skin has hundreds of sections.
    std::unordered_map<std::string, std::size_t> FIndex;
};

} // namespace vcl
