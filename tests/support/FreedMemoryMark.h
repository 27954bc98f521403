#pragma once
// Freed memory that stays marked: while a TFreedMemoryMark lives, every
// block the program frees is filled with Mark and kept, not given back, so
// that a write into an object after its end changes the mark and a pointer
// read from it points nowhere: the access violation that follows is counted
// even where the system swallows it (in a window procedure). The program
// that uses it links FreedMemoryMark.cpp, which replaces the global
// operators new and delete. Windows only.
#include <cstddef>

namespace skin::test {

class TFreedMemoryMark {
public:
    static constexpr unsigned char Mark = 0xA5;
    // KeepContents: the blocks keep what they held, unmarked, so that a use
    // that reads a stale value and writes on its strength shows by the write.
    explicit TFreedMemoryMark(bool KeepContents = false);
    // The kept blocks are given back.
    ~TFreedMemoryMark();
    TFreedMemoryMark(const TFreedMemoryMark &) = delete;
    TFreedMemoryMark &operator=(const TFreedMemoryMark &) = delete;

    // Block was freed while this one lives.
    bool Freed(const void *Block) const;
    // Block was freed and holds what it held when it was kept.
    bool Untouched(const void *Block) const;
    // Every block freed while this one lives is untouched.
    bool AllUntouched() const;
    // The access violations raised while this one lives.
    int Faults() const;
    // The code address of the first of them (null without one).
    const void *FirstFaultAddress() const;

private:
    void *FHandler;
};

} // namespace skin::test
