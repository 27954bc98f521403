#include "vlCommonUtils.h"

#include <algorithm>
#include <memory>

#include "vcl/TypInfo.h"

namespace skin {

TCharSet::TCharSet(std::string_view Chars) {
    for (char c : Chars) Include(c);
}

TCharSet &TCharSet::Include(char C) {
    FBits.set(static_cast<unsigned char>(C));
    return *this;
}

void InitBgInfo(vcl::TBitmap *Bmp, int X, int Y, TvlBgInfo &Info) {
    Info.Bmp = Bmp;
    Info.X = X;
    Info.Y = Y;
    Info.Color = vcl::clFuchsia;
    Info.R = {};
    Info.UseBmp = true;
}

// Ini-style text

void SplitIniSections(const vcl::TStrings &Lines, vcl::TStringList &Sections) {
    // Cleared under the caller's own policy, so that objects it did not give
    // us are not freed; from here on the list owns the section lists.
    Sections.Clear();
    Sections.SetOwnsObjects(true);
    vcl::TStringList *current = nullptr;  // owned by Sections
    for (int i = 0; i < Lines.Count(); ++i) {
        const std::string line = Lines.Strings(i);
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[' && line.back() == ']') {
            auto section = std::make_unique<vcl::TStringList>();
            try {
                Sections.AddObject(line.substr(1, line.size() - 2), section.get());
                current = section.release();
            } catch (const vcl::Exception &) {
                // A list that refuses the name (a sorted one without
                // duplicates) loses this section; the reading goes on.
                current = nullptr;
            }
        } else if (current) {
            current->Add(line);
        }
    }
}

std::string ReadIniString(const vcl::TStringList &Sections, std::string_view Section, std::string_view Key,
                          const std::string &Default) {
    const int s = Sections.IndexOf(Section);
    if (s < 0) return Default;
    const auto *lines = dynamic_cast<const vcl::TStrings *>(Sections.Objects(s));
    if (!lines) return Default;
    const int k = lines->IndexOfName(Key);
    if (k < 0) return Default;
    // IndexOfName matched the text before the first '=' to Key, so the value
    // starts right after Key and its '='.
    return lines->Strings(k).substr(Key.size() + 1);
}

int ReadIniInteger(const vcl::TStringList &Sections, std::string_view Section, std::string_view Key, int Default) {
    std::string text = ReadIniString(Sections, Section, Key, std::string());
    if (text.size() >= 3 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.replace(0, 2, "$");
    return vcl::StrToIntDef(text, Default);
}

// Numbers and geometry

bool IsBetween(int Value, int Min, int Max, bool Swap) {
    if (Swap && Min >= Max) return Max <= Value && Value <= Min;
    return Min <= Value && Value <= Max;
}

int LimitTo(int Value, int Min, int Max) {
    if (Value < Min) return Min;
    if (Value > Max) return Max;
    return Value;
}

void SwapInts(int &A, int &B) {
    const int t = A;
    A = B;
    B = t;
}

int WidthOf(const vcl::TRect &R, bool NonNegative) {
    const int w = R.Right - R.Left;
    return NonNegative && w < 0 ? 0 : w;
}

int HeightOf(const vcl::TRect &R, bool NonNegative) {
    const int h = R.Bottom - R.Top;
    return NonNegative && h < 0 ? 0 : h;
}

bool RectsIntersect(const vcl::TRect &R1, const vcl::TRect &R2) {
    if (R2.Bottom <= R1.Top || R2.Right <= R1.Left || R2.Left >= R1.Right || R2.Top >= R1.Bottom) return false;
    return !R2.IsEmpty();
}

void IntersectRects(const vcl::TRect &R1, const vcl::TRect &R2, vcl::TRect &R) {
    R = {std::max(R1.Left, R2.Left), std::max(R1.Top, R2.Top), std::min(R1.Right, R2.Right),
         std::min(R1.Bottom, R2.Bottom)};
}

// Words and strings

bool IsCharInSet(char C, const TCharSet &Set) { return Set.Contains(C); }

int NthWordPos(int N, std::string_view S, const TCharSet &Delimiters) {
    if (N < 1) return 0;
    std::size_t i = 0;
    int count = 0;
    while (i < S.size()) {
        while (i < S.size() && Delimiters.Contains(S[i])) ++i;
        if (i >= S.size()) break;
        if (++count == N) return static_cast<int>(i) + 1;
        while (i < S.size() && !Delimiters.Contains(S[i])) ++i;
    }
    return 0;
}

std::string ExtractNthWord(int N, std::string_view S, const TCharSet &Delimiters) {
    const int pos = NthWordPos(N, S, Delimiters);
    if (pos == 0) return {};
    std::size_t end = static_cast<std::size_t>(pos) - 1;
    while (end < S.size() && !Delimiters.Contains(S[end])) ++end;
    return std::string(S.substr(static_cast<std::size_t>(pos) - 1, end - (static_cast<std::size_t>(pos) - 1)));
}

int CountWords(std::string_view S, const TCharSet &Delimiters) {
    int count = 0;
    bool inWord = false;
    for (char c : S) {
        const bool delimiter = Delimiters.Contains(c);
        if (!delimiter && !inWord) ++count;
        inWord = !delimiter;
    }
    return count;
}

std::string DeleteChars(std::string_view S, char C) {
    std::string result;
    result.reserve(S.size());
    for (char c : S)
        if (c != C) result += c;
    return result;
}

std::string ReplaceAll(std::string_view S, std::string_view OldPattern, std::string_view NewPattern) {
    if (OldPattern.empty()) return std::string(S);
    std::string result;
    std::size_t from = 0;
    for (std::size_t at; (at = S.find(OldPattern, from)) != std::string_view::npos; from = at + OldPattern.size()) {
        result.append(S.substr(from, at - from));
        result.append(NewPattern);
    }
    result.append(S.substr(from));
    return result;
}

// Published properties

namespace {

const vcl::TPropInfo *PropOfKind(const vcl::TObject *Obj, std::string_view Name,
                                 std::initializer_list<vcl::TTypeKind> Kinds) {
    const vcl::TPropInfo *prop = Obj ? vcl::GetPropInfo(Obj, Name) : nullptr;
    if (!prop) return nullptr;
    for (vcl::TTypeKind kind : Kinds)
        if (prop->Kind() == kind) return prop;
    return nullptr;
}

constexpr std::initializer_list<vcl::TTypeKind> OrdinalKinds = {vcl::tkInteger, vcl::tkChar, vcl::tkEnumeration,
                                                               vcl::tkSet, vcl::tkInt64};

} // namespace

bool HasProperty(const vcl::TObject *Obj, std::string_view Name) {
    return Obj && vcl::GetPropInfo(Obj, Name) != nullptr;
}

vcl::TObject *GetObjectProperty(const vcl::TObject *Obj, std::string_view Name) {
    const vcl::TPropInfo *prop = PropOfKind(Obj, Name, {vcl::tkClass});
    return prop ? prop->GetObject(Obj) : nullptr;
}

bool SetPropertyHas(const vcl::TObject *Obj, std::string_view SetName, std::string_view ElementName) {
    const vcl::TPropInfo *prop = PropOfKind(Obj, SetName, {vcl::tkSet});
    if (!prop) return false;
    const auto bits = static_cast<std::uint32_t>(prop->GetOrd(Obj));
    const vcl::TEnumInfo &elements = *prop->EnumType();
    for (int i = 0; i < elements.Count() && i < 32; ++i)
        if ((bits & (std::uint32_t{1} << i)) && elements.Names(i) == ElementName) return true;
    return false;
}

void ChangeSetProperty(vcl::TObject *Obj, std::string_view SetName, std::string_view ElementName, bool Include) {
    // Whole elements, not text: in the set's text "dghFixed3D" contains
    // "dghFixed", and a search for the name alone would find or cut the wrong one.
    const vcl::TPropInfo *prop = PropOfKind(Obj, SetName, {vcl::tkSet});
    if (!prop || !prop->IsWritable()) return;
    const int element = prop->EnumType()->ValueOf(ElementName);
    if (element < 0 || element >= 32 || prop->EnumType()->Names(element) != ElementName) return;
    const auto bits = static_cast<std::uint32_t>(prop->GetOrd(Obj));
    const std::uint32_t bit = std::uint32_t{1} << element;
    const std::uint32_t changed = Include ? bits | bit : bits & ~bit;
    if (changed != bits) prop->SetOrd(Obj, changed);
}

std::int64_t GetOrdProperty(const vcl::TObject *Obj, std::string_view Name) {
    const vcl::TPropInfo *prop = PropOfKind(Obj, Name, OrdinalKinds);
    return prop ? prop->GetOrd(Obj) : -1;
}

void SetOrdProperty(vcl::TObject *Obj, std::string_view Name, std::int64_t Value) {
    const vcl::TPropInfo *prop = PropOfKind(Obj, Name, OrdinalKinds);
    if (prop && prop->IsWritable()) prop->SetOrd(Obj, Value);
}

std::string NormalizeDir(std::string_view S) {
    std::string dir(S);
    if (dir.empty() || dir.back() == '\\') return dir;
    if (dir.back() == '/') {
        dir.back() = '\\';
    } else if (dir.size() == 1) {
        dir += ":\\";
    } else {
        dir += '\\';
    }
    return dir;
}

} // namespace skin
