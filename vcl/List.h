#pragma once
// TList: an ordered list of pointers it does not own (entries may be null).
// Index errors raise EListError, as the library's lists do.
#include <algorithm>
#include <string>
#include <vector>

#include "System.h"

namespace vcl {

[[noreturn]] void RaiseListIndexError(int index);

template <class T = void> class TList {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    T *Items(int index) const { return FItems[Checked(index)]; }
    T *operator[](int index) const { return Items(index); }
    void SetItems(int index, T *item) { FItems[Checked(index)] = item; }
    T *First() const { return Items(0); }
    T *Last() const { return Items(Count() - 1); }

    int Add(T *item) {
        FItems.push_back(item);
        return Count() - 1;
    }
    void Insert(int index, T *item) {
        if (index < 0 || index > Count()) RaiseListIndexError(index);
        FItems.insert(FItems.begin() + index, item);
    }
    void Delete(int index) { FItems.erase(FItems.begin() + Checked(index)); }
    // Removes the first occurrence; answers its index, -1 when absent.
    int Remove(T *item) {
        const int i = IndexOf(item);
        if (i >= 0) Delete(i);
        return i;
    }
    int IndexOf(const T *item) const {
        auto it = std::find(FItems.begin(), FItems.end(), item);
        return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
    }
    void Exchange(int a, int b) { std::swap(FItems[Checked(a)], FItems[Checked(b)]); }
    void Move(int from, int to) {
        T *item = Items(from);
        Delete(from);
        Insert(to, item);
    }
    void Clear() { FItems.clear(); }
    // Drops the null entries.
    void Pack() { FItems.erase(std::remove(FItems.begin(), FItems.end(), nullptr), FItems.end()); }

    auto begin() const { return FItems.begin(); }
    auto end() const { return FItems.end(); }

private:
    std::size_t Checked(int index) const {
        if (index < 0 || index >= Count()) RaiseListIndexError(index);
        return static_cast<std::size_t>(index);
    }
    std::vector<T *> FItems;
};

} // namespace vcl
