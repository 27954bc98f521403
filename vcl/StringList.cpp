#include "StringList.h"

#include <algorithm>

#include "Streams.h"
#include "SysUtils.h"

namespace vcl {

VCL_CLASS_INFO(TStrings)
VCL_CLASS_INFO(TStringList)

namespace {

[[noreturn]] void RaiseSorted() { throw EStringListError("Operation not allowed on sorted list"); }

} // namespace

// TStrings

void TStrings::SetStrings(int Index, const std::string &S) {
    TObject *object = Objects(Index);
    Delete(Index);
    InsertObject(Index, S, object);
}

TObject *TStrings::Objects(int) const { return nullptr; }

void TStrings::SetObjects(int, TObject *) {}

int TStrings::Add(const std::string &S) {
    const int index = Count();
    Insert(index, S);
    return index;
}

int TStrings::AddObject(const std::string &S, TObject *AObject) {
    const int index = Add(S);
    SetObjects(index, AObject);
    return index;
}

void TStrings::AddStrings(const TStrings &Strings) {
    Updating(*this, [&] {
        for (int i = 0; i < Strings.Count(); ++i) AddObject(Strings.Strings(i), Strings.Objects(i));
    });
}

void TStrings::InsertObject(int Index, const std::string &S, TObject *AObject) {
    Insert(Index, S);
    SetObjects(Index, AObject);
}

void TStrings::Exchange(int Index1, int Index2) {
    const std::string s1 = Strings(Index1);
    TObject *o1 = Objects(Index1);
    SetStrings(Index1, Strings(Index2));
    SetObjects(Index1, Objects(Index2));
    SetStrings(Index2, s1);
    SetObjects(Index2, o1);
}

void TStrings::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    const std::string s = Strings(CurIndex);
    TObject *object = Objects(CurIndex);
    Updating(*this, [&] {
        Delete(CurIndex);
        InsertObject(NewIndex, s, object);
    });
}

int TStrings::IndexOf(std::string_view S) const {
    for (int i = 0; i < Count(); ++i)
        if (CompareStrings(Strings(i), S) == 0) return i;
    return -1;
}

int TStrings::IndexOfName(std::string_view Name) const {
    for (int i = 0; i < Count(); ++i) {
        const std::string s = Strings(i);
        const std::size_t eq = s.find('=');
        if (eq != std::string::npos && CompareStrings(std::string_view(s).substr(0, eq), Name) == 0) return i;
    }
    return -1;
}

int TStrings::IndexOfObject(const TObject *AObject) const {
    for (int i = 0; i < Count(); ++i)
        if (Objects(i) == AObject) return i;
    return -1;
}

std::string TStrings::Names(int Index) const {
    const std::string s = Strings(Index);
    const std::size_t eq = s.find('=');
    return eq == std::string::npos ? std::string() : s.substr(0, eq);
}

std::string TStrings::ValueFromIndex(int Index) const {
    const std::string s = Strings(Index);
    const std::size_t eq = s.find('=');
    return eq == std::string::npos ? std::string() : s.substr(eq + 1);
}

std::string TStrings::Values(std::string_view Name) const {
    const int i = IndexOfName(Name);
    return i < 0 ? std::string() : ValueFromIndex(i);
}

void TStrings::SetValues(std::string_view Name, const std::string &Value) {
    const std::string line = std::string(Name) + "=" + Value;
    const int i = IndexOfName(Name);
    if (i < 0)
        Add(line);
    else
        SetStrings(i, line);
}

std::string TStrings::Text() const {
    std::string text;
    for (int i = 0; i < Count(); ++i) {
        text += Strings(i);
        text += "\r\n";
    }
    return text;
}

void TStrings::SetText(std::string_view Text) {
    Updating(*this, [&] {
        Clear();
        std::size_t start = 0;
        while (start < Text.size()) {
            std::size_t end = Text.find_first_of("\r\n", start);
            if (end == std::string_view::npos) end = Text.size();
            Add(std::string(Text.substr(start, end - start)));
            if (end < Text.size() && Text[end] == '\r' && end + 1 < Text.size() && Text[end + 1] == '\n') ++end;
            start = end + 1;
        }
    });
}

void TStrings::LoadFromStream(TStream &Stream) {
    const std::int64_t left = Stream.Size() - Stream.Position();
    std::string text(static_cast<std::size_t>(std::max<std::int64_t>(left, 0)), '\0');
    Stream.ReadBuffer(text.data(), text.size());
    std::string_view view(text);
    if (view.substr(0, 3) == "\xEF\xBB\xBF") view.remove_prefix(3);
    SetText(view);
}

void TStrings::LoadFromFile(const std::string &FileName) {
    TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TStrings::SaveToStream(TStream &Stream) const {
    const std::string text = Text();
    Stream.WriteBuffer(text.data(), text.size());
}

void TStrings::SaveToFile(const std::string &FileName) const {
    TFileStream file(FileName, fmCreate);
    SaveToStream(file);
}

void TStrings::BeginUpdate() {
    if (FUpdateCount == 0) SetUpdateState(true);
    ++FUpdateCount;
}

void TStrings::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0) SetUpdateState(false);
}

void TStrings::Assign(const TPersistent *Source) {
    if (Source && Source->InheritsFrom<TStrings>()) {
        const auto &source = static_cast<const TStrings &>(*Source);
        if (&source == this) return;
        Updating(*this, [&] {
            Clear();
            AddStrings(source);
        });
        return;
    }
    TPersistent::Assign(Source);
}

void TStrings::SetUpdateState(bool) {}

int TStrings::CompareStrings(std::string_view A, std::string_view B) const { return CompareText(A, B); }

// TStringList

TStringList::~TStringList() {
    OnChange = {};
    OnChanging = {};
    for (TItem &item : FItems) FreeObject(item.Object);
}

std::size_t TStringList::Checked(int Index) const {
    if (Index < 0 || Index >= Count()) throw EStringListError("List index out of bounds (" + IntToStr(Index) + ")");
    return static_cast<std::size_t>(Index);
}

void TStringList::FreeObject(TObject *AObject) const {
    if (FOwnsObjects) delete AObject;
}

std::string TStringList::Strings(int Index) const { return FItems[Checked(Index)].S; }

const std::string &TStringList::StringRef(int Index) const { return FItems[Checked(Index)].S; }

void TStringList::SetStrings(int Index, const std::string &S) {
    if (FSorted) RaiseSorted();
    const std::size_t i = Checked(Index);
    Changing();
    FItems[i].S = S;
    Changed();
}

TObject *TStringList::Objects(int Index) const { return FItems[Checked(Index)].Object; }

void TStringList::SetObjects(int Index, TObject *AObject) {
    const std::size_t i = Checked(Index);
    Changing();
    if (FItems[i].Object != AObject) FreeObject(FItems[i].Object);
    FItems[i].Object = AObject;
    Changed();
}

int TStringList::Add(const std::string &S) { return AddObject(S, nullptr); }

int TStringList::AddObject(const std::string &S, TObject *AObject) {
    int index = Count();
    if (FSorted && Find(S, index)) {
        if (FDuplicates == dupIgnore) return index;
        if (FDuplicates == dupError) throw EStringListError("String list does not allow duplicates");
    }
    InsertItem(index, S, AObject);
    return index;
}

void TStringList::Insert(int Index, const std::string &S) {
    if (FSorted) RaiseSorted();
    if (Index < 0 || Index > Count()) throw EStringListError("List index out of bounds (" + IntToStr(Index) + ")");
    InsertItem(Index, S, nullptr);
}

void TStringList::InsertItem(int Index, const std::string &S, TObject *AObject) {
    Changing();
    FItems.insert(FItems.begin() + Index, TItem{S, AObject});
    Changed();
}

void TStringList::Delete(int Index) {
    const std::size_t i = Checked(Index);
    Changing();
    TObject *object = FItems[i].Object;
    FItems.erase(FItems.begin() + static_cast<std::ptrdiff_t>(i));
    FreeObject(object);
    Changed();
}

void TStringList::Clear() {
    if (FItems.empty()) return;
    Changing();
    std::vector<TItem> items;
    items.swap(FItems);
    for (TItem &item : items) FreeObject(item.Object);
    Changed();
}

void TStringList::Exchange(int Index1, int Index2) {
    if (FSorted) RaiseSorted();
    const std::size_t a = Checked(Index1), b = Checked(Index2);
    Changing();
    std::swap(FItems[a], FItems[b]);
    Changed();
}

void TStringList::Move(int CurIndex, int NewIndex) {
    if (FSorted) RaiseSorted();
    const std::size_t from = Checked(CurIndex), to = Checked(NewIndex);
    if (from == to) return;
    Changing();
    if (from < to)
        std::rotate(FItems.begin() + from, FItems.begin() + from + 1, FItems.begin() + to + 1);
    else
        std::rotate(FItems.begin() + to, FItems.begin() + from, FItems.begin() + from + 1);
    Changed();
}

int TStringList::IndexOf(std::string_view S) const {
    if (!FSorted) return TStrings::IndexOf(S);
    int index;
    return Find(S, index) ? index : -1;
}

bool TStringList::Find(std::string_view S, int &Index) const {
    // The first line not ordered before S; found when it equals S.
    auto it = std::lower_bound(FItems.begin(), FItems.end(), S,
                               [this](const TItem &item, std::string_view s) { return CompareStrings(item.S, s) < 0; });
    Index = static_cast<int>(it - FItems.begin());
    return it != FItems.end() && CompareStrings(it->S, S) == 0;
}

void TStringList::Sort() {
    Changing();
    std::stable_sort(FItems.begin(), FItems.end(),
                     [this](const TItem &a, const TItem &b) { return CompareStrings(a.S, b.S) < 0; });
    Changed();
}

void TStringList::SetSorted(bool Value) {
    if (Value == FSorted) return;
    if (Value) Sort();
    FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
    if (Value == FCaseSensitive) return;
    FCaseSensitive = Value;
    if (FSorted) Sort();
}

void TStringList::SetUpdateState(bool Updating) {
    if (Updating)
        Changing();
    else
        Changed();
}

int TStringList::CompareStrings(std::string_view A, std::string_view B) const {
    return FCaseSensitive ? CompareStr(A, B) : CompareText(A, B);
}

void TStringList::Changing() {
    if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::Changed() {
    if (UpdateCount() == 0 && OnChange) OnChange(this);
}

} // namespace vcl
