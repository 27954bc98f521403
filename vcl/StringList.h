#pragma once
// TStrings, the interface of every list of text lines (a string list, a
// memo's lines), and TStringList, the list kept in memory. Each line may
// carry an object. Lines are UTF-8; names and values are the two sides of a
// line's first '='. Comparisons ignore ASCII case unless a list is made
// case-sensitive.
#include <string>
#include <string_view>
#include <vector>

#include "Persistent.h"

namespace vcl {

class TStream;

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStrings : public TPersistent {
    VCL_CLASS(TStrings, TPersistent)
public:
    virtual int Count() const = 0;
    virtual std::string Strings(int Index) const = 0;
    std::string operator[](int Index) const { return Strings(Index); }
    virtual void SetStrings(int Index, const std::string &S);
    virtual TObject *Objects(int Index) const;
    virtual void SetObjects(int Index, TObject *AObject);

    virtual int Add(const std::string &S);
    virtual int AddObject(const std::string &S, TObject *AObject);
    void AddStrings(const TStrings &Strings);
    virtual void Insert(int Index, const std::string &S) = 0;
    void InsertObject(int Index, const std::string &S, TObject *AObject);
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;
    virtual void Exchange(int Index1, int Index2);
    virtual void Move(int CurIndex, int NewIndex);

    virtual int IndexOf(std::string_view S) const;  // -1 when absent
    int IndexOfName(std::string_view Name) const;
    int IndexOfObject(const TObject *AObject) const;
    std::string Names(int Index) const;           // the text before '='; empty without one
    std::string ValueFromIndex(int Index) const;  // the text after the first '='
    std::string Values(std::string_view Name) const;
    // Replaces the line of that name, or adds "Name=Value" when there is none.
    void SetValues(std::string_view Name, const std::string &Value);

    // Every line followed by CR LF.
    std::string Text() const;
    // Splits at CR LF, LF or CR; a final line break adds no empty line.
    virtual void SetText(std::string_view Text);

    // Read from the stream's position to its end; a UTF-8 byte order mark is skipped.
    void LoadFromStream(TStream &Stream);
    void LoadFromFile(const std::string &FileName);
    void SaveToStream(TStream &Stream) const;
    void SaveToFile(const std::string &FileName) const;

    // Changes between the outermost BeginUpdate and EndUpdate are announced once.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // From another TStrings: its lines and object pointers replace these
    // (a list that owns its objects then owns the copied pointers too).
    void Assign(const TPersistent *Source) override;

protected:
    // Called when the outermost update begins (true) and ends (false).
    virtual void SetUpdateState(bool Updating);
    // Line comparison used by IndexOf, IndexOfName and sorting.
    virtual int CompareStrings(std::string_view A, std::string_view B) const;

private:
    int FUpdateCount = 0;
};

class TStringList : public TStrings {
    VCL_CLASS(TStringList, TStrings)
public:
    TStringList() = default;
    explicit TStringList(bool OwnsObjects) : FOwnsObjects(OwnsObjects) {}
    ~TStringList() override;

    int Count() const override { return static_cast<int>(FItems.size()); }
    std::string Strings(int Index) const override;
    const std::string &StringRef(int Index) const;
    void SetStrings(int Index, const std::string &S) override;
    TObject *Objects(int Index) const override;
    void SetObjects(int Index, TObject *AObject) override;

    // A sorted list inserts in order and applies Duplicates; Insert,
    // SetStrings, Exchange and Move raise EStringListError on a sorted list.
    int Add(const std::string &S) override;
    int AddObject(const std::string &S, TObject *AObject) override;
    void Insert(int Index, const std::string &S) override;
    void Delete(int Index) override;
    void Clear() override;
    void Exchange(int Index1, int Index2) override;
    void Move(int CurIndex, int NewIndex) override;
    int IndexOf(std::string_view S) const override;

    // Binary search of a sorted list: true when S is there; Index is its
    // position or where it would be inserted.
    bool Find(std::string_view S, int &Index) const;
    virtual void Sort();

    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool Value);
    // An owning list frees a line's object when the line goes or the object is replaced.
    bool OwnsObjects() const { return FOwnsObjects; }
    void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    void SetUpdateState(bool Updating) override;
    int CompareStrings(std::string_view A, std::string_view B) const override;
    virtual void Changing();
    virtual void Changed();

private:
    struct TItem {
        std::string S;
        TObject *Object = nullptr;  // owned only when FOwnsObjects
    };
    std::size_t Checked(int Index) const;
    void InsertItem(int Index, const std::string &S, TObject *AObject);
    void FreeObject(TObject *AObject) const;

    std::vector<TItem> FItems;
    bool FSorted = false;
    TDuplicates FDuplicates = dupIgnore;
    bool FCaseSensitive = false;
    bool FOwnsObjects = false;
};

} // namespace vcl
