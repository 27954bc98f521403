#pragma once
// The options text of a skin ("Options.dat") and what the loader reads from
// it: the key readers that inherit along "PARENTCLASS", the GLOBALINFO
// values, the two outer effects, the section table, the application's
// common sections and the 28 skin colours. Portable.
//
// TvlOptionsFile is the options text held in memory as an ini: read once,
// case-sensitively from the start (so that "Button" and "BUTTON" stay two
// sections), into hash tables, so that the thousands of inherited key reads
// of a load are lookups instead of scans over lines. Its reading rules are
// those of the class library's TMemIniFile.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sSkinData.h"
#include "sSkinQueries.h"
#include "skin/graphics/sMaskData.h"
#include "vcl/StringList.h"

namespace skin {

class TvlOptionsFile {
public:
    struct TKey {
        std::string Name;
        std::string Value;
    };
    struct TSection {
        std::string Name;
        std::vector<TKey> Keys;  // in the file's order; a repeated key keeps its first value
    };

    // Lines are trimmed; empty ones and those starting with ';' are skipped;
    // "[Name]" starts a section (a name seen before continues that section);
    // "Key=Value" lines before the first section are dropped, blanks around
    // key and value removed. Text is split at CR LF, LF or CR, after a UTF-8
    // byte order mark.
    explicit TvlOptionsFile(std::string_view Text);
    explicit TvlOptionsFile(const vcl::TStrings &Lines);

    // A key name with its hash, for reading one key in several sections.
    class TKeyName {
    public:
        // Implicit: wherever a name is asked for, any form of it will do.
        TKeyName(std::string_view Text) : FText(Text), FHash(HashOf(Text)) {}
        TKeyName(const char *Text) : TKeyName(std::string_view(Text)) {}
        TKeyName(const std::string &Text) : TKeyName(std::string_view(Text)) {}
        std::string_view Text() const { return FText; }
        std::size_t Hash() const { return FHash; }

    private:
        std::string_view FText;
        std::size_t FHash;
    };

    const std::vector<TSection> &Sections() const { return FSections; }
    // The text began with the byte order mark of UTF-8: its names are UTF-8,
    // not 8-bit text of the code page.
    bool Utf8() const { return FUtf8; }
    // Position of the section in the file; -1 when absent.
    int SectionIndex(std::string_view Section) const;
    // The value of Section's Key; null when either is absent.
    const std::string *Find(std::string_view Section, const TKeyName &Key) const;
    const std::string *Find(int SectionIndex, const TKeyName &Key) const;
    // The section that Section's "PARENTCLASS" names (not "?", not itself);
    // -1 when none.
    int ParentIndex(int SectionIndex) const;
    std::string ReadString(std::string_view Section, std::string_view Key, const std::string &Default) const;
    // Decimal, "$" hexadecimal or "0x" hexadecimal; Default for anything else.
    std::int32_t ReadInteger(std::string_view Section, const TKeyName &Key, std::int32_t Default) const;
    std::int32_t ReadInteger(int SectionIndex, const TKeyName &Key, std::int32_t Default) const;

private:
    // A key of a section: where it lies in that section's list.
    struct TKeySlot {
        std::size_t Hash = 0;  // of the key name
        std::int32_t Section = -1;
        std::int32_t Key = -1;  // -1: a free slot
    };
    static std::size_t HashOf(std::string_view Text);
    void AddLine(std::string_view Line);
    void ResolveParents();
    // The slot that holds the section's key, or the free slot where it would go.
    std::size_t KeySlot(int Section, std::string_view Key, std::size_t Hash) const;
    void GrowKeySlots();
    // The slot of the section of that name, or the free slot where it would go.
    std::size_t SectionSlot(std::string_view Name, std::size_t Hash) const;
    void GrowSectionSlots();

    std::vector<TSection> FSections;
    std::vector<int> FSectionSlots;   // section positions in open addressing, -1 free
    std::vector<TKeySlot> FKeySlots;  // every key of every section, in open addressing
    std::size_t FKeyCount = 0;
    // A bit per key-name hash of the file: most reads ask for keys that no
    // section has, and end here.
    std::array<std::uint64_t, 64> FKeyNameBits{};
    std::vector<int> FParents;  // per section, resolved once read
    int FCurrent = -1;          // the section lines go to while reading
    bool FUtf8 = false;
};

// Key readers with "PARENTCLASS" inheritance, at most MaxParentDepth deep
// and never into a section visited before. A string written as "?" and
// an integer written as -1 (or not a number) count as absent.
std::string ReadSectionStr(const TvlOptionsFile &Ini, std::string_view Section, std::string_view Key,
                           const std::string &Default);
// True for a value of exactly "TRUE" or "1".
bool ReadSectionBool(const TvlOptionsFile &Ini, std::string_view Section, std::string_view Key, bool Default);
// The section's own value as written; an inherited one passes through the
// colour-to-RGB conversion; then capped at Max.
std::int32_t ReadSectionInt(const TvlOptionsFile &Ini, std::string_view Section, std::string_view Key,
                            std::int32_t Default, std::int32_t Max);
// The 12 keys of one state (0 normal, 1 hot, 2 second). Gradient texts that
// are not numbers raise vcl::EConvertError.
void ReadSectionState(const TvlOptionsFile &Ini, std::string_view Section, TsGenState &State,
                      const TsGenState &Defaults, int StateIndex);

// The 12 state keys of each state, in the order of the fields of TsGenState
// as the reader lists them: COLOR, FONTCOLOR, TCLEFT, TCTOP, TCRIGHT,
// TCBOTTOM, GCOL, GSIZE, GRADIENTPERCENT, GRADIENTDATA, IMAGEPERCENT,
// TRANSPARENCY.
extern const std::string_view StateKeys[3][12];

// "VERSION" of GLOBALINFO with '.' as the decimal separator and an optional
// sign; 0 when absent or not a number.
double ReadSkinVersion(const TvlOptionsFile &Ini);

// The GLOBALINFO values into Data (Version, Active and SkinPath are left
// alone). FrameWidth is the default of "FORMOFFSET". Every value that
// reaches a size or a place is read within its range: measures 0 to
// MaxSkinMeasure, offsets and margins within MaxSkinMeasure either way.
void ReadGlobalInfo(const TvlOptionsFile &Ini, TsSkinData &Data, int FrameWidth);
// The "TABSCOVERING" values of "TABTOP" and "RIBBONTAB" (0 to MaxSkinMeasure).
void ReadTabsCovering(const TvlOptionsFile &Ini, TsSkinData &Data);

// The two outer effects: element 0 from the "LO_" keys, element 1 from the
// "SH_" keys (offsets within MaxSkinMeasure either way, opacity 0 to 255).
// MaskIndex stays -1: the manager adds the effect's image.
TvlOutEffArray ReadOuterEffects(const TvlOptionsFile &Ini);

// The section table: one record per section of the file, in its order
// (GLOBALINFO included), with its three states. "STATES" is 1 to 255,
// percentages 0 to 100, glow radii 0 to MaxTextGlowRadius, margins and
// offsets within MaxSkinMeasure either way; so in common sections too.
TsGeneralDataArray ReadSections(const TvlOptionsFile &Ini);

// Appends the sections of the application's common-section text that the
// table lacks. Their keys are read without inheritance and without colour
// conversion; what they do not set comes from the record they name as
// parent (or a plain template).
void AddCommonSections(const vcl::TStrings &CommonSections, TsGeneralDataArray &Sections);

// The 28 skin colours from GLOBALINFO and the sections "EDIT", "SELECTION"
// and "MENUITEM" (system colours resolved).
TvlSkinColors ReadSkinColors(const TvlOptionsFile &Ini, const TsGeneralDataArray &Sections);

// Appends the section "TRANSPARENT" when the table lacks it.
void AddTransparentSection(TsGeneralDataArray &Sections, vcl::TColor FontColor);

} // namespace skin
