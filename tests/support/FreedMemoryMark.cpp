#include "FreedMemoryMark.h"

#include <malloc.h>
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace skin::test {
namespace {

// The kept blocks: a fixed table, as freeing must not allocate. Once it is
// full a block is given back at once.
struct TKept {
    void *Block;
    std::size_t Size;
    std::uint32_t Sum;  // of the bytes as they were kept
};
constexpr std::size_t KeptLimit = 1 << 16;
TKept Kept[KeptLimit];
std::size_t KeptCount = 0;
// Freeing happens on other threads too (the system's, the tests' own).
volatile long Lock = 0;
bool Marking = false;
bool KeepingContents = false;
volatile long FaultCount = 0;
void *volatile FirstFault = nullptr;

LONG CALLBACK CountFault(EXCEPTION_POINTERS *Info) {
    if (Info->ExceptionRecord->ExceptionCode == EXCEPTION_ACCESS_VIOLATION &&
        __atomic_add_fetch(&FaultCount, 1, __ATOMIC_RELAXED) == 1)
        FirstFault = Info->ExceptionRecord->ExceptionAddress;
    return EXCEPTION_CONTINUE_SEARCH;
}

struct TSpin {
    TSpin() {
        while (__atomic_exchange_n(&Lock, 1, __ATOMIC_ACQUIRE)) {
        }
    }
    ~TSpin() { __atomic_store_n(&Lock, 0, __ATOMIC_RELEASE); }
};

const TKept *Find(const void *Block) {
    for (std::size_t i = 0; i < KeptCount; ++i)
        if (Kept[i].Block == Block) return &Kept[i];
    return nullptr;
}

// FNV-1a over the block.
std::uint32_t SumOf(const void *Block, std::size_t Size) {
    const auto *bytes = static_cast<const unsigned char *>(Block);
    std::uint32_t sum = 2166136261u;
    for (std::size_t i = 0; i < Size; ++i) sum = (sum ^ bytes[i]) * 16777619u;
    return sum;
}

bool Unchanged(const TKept &Kept) { return SumOf(Kept.Block, Kept.Size) == Kept.Sum; }

void Release(void *Block) noexcept {
    if (!Block) return;
    {
        const TSpin spin;
        if (Marking && KeptCount < KeptLimit) {
            const std::size_t size = _msize(Block);
            if (!KeepingContents) std::memset(Block, TFreedMemoryMark::Mark, size);
            Kept[KeptCount++] = {Block, size, SumOf(Block, size)};
            return;
        }
    }
    std::free(Block);
}

void *Take(std::size_t Size) {
    if (void *p = std::malloc(Size ? Size : 1)) return p;
    throw std::bad_alloc();
}

} // namespace

TFreedMemoryMark::TFreedMemoryMark(bool KeepContents) : FHandler(AddVectoredExceptionHandler(1, CountFault)) {
    __atomic_store_n(&FaultCount, 0, __ATOMIC_RELAXED);
    FirstFault = nullptr;
    const TSpin spin;
    Marking = true;
    KeepingContents = KeepContents;
}

TFreedMemoryMark::~TFreedMemoryMark() {
    if (FHandler) RemoveVectoredExceptionHandler(FHandler);
    std::size_t count = 0;
    {
        const TSpin spin;
        Marking = false;
        count = KeptCount;
        KeptCount = 0;
    }
    for (std::size_t i = 0; i < count; ++i) std::free(Kept[i].Block);
}

bool TFreedMemoryMark::Freed(const void *Block) const {
    const TSpin spin;
    return Find(Block) != nullptr;
}

int TFreedMemoryMark::Faults() const { return static_cast<int>(__atomic_load_n(&FaultCount, __ATOMIC_RELAXED)); }

const void *TFreedMemoryMark::FirstFaultAddress() const { return FirstFault; }

bool TFreedMemoryMark::Untouched(const void *Block) const {
    const TSpin spin;
    const TKept *kept = Find(Block);
    return kept && Unchanged(*kept);
}

bool TFreedMemoryMark::AllUntouched() const {
    const TSpin spin;
    for (std::size_t i = 0; i < KeptCount; ++i)
        if (!Unchanged(Kept[i])) return false;
    return true;
}

} // namespace skin::test

void *operator new(std::size_t Size) { return skin::test::Take(Size); }
void *operator new[](std::size_t Size) { return skin::test::Take(Size); }
void *operator new(std::size_t Size, const std::nothrow_t &) noexcept { return std::malloc(Size ? Size : 1); }
void *operator new[](std::size_t Size, const std::nothrow_t &) noexcept { return std::malloc(Size ? Size : 1); }
void operator delete(void *Block) noexcept { skin::test::Release(Block); }
void operator delete[](void *Block) noexcept { skin::test::Release(Block); }
void operator delete(void *Block, std::size_t) noexcept { skin::test::Release(Block); }
void operator delete[](void *Block, std::size_t) noexcept { skin::test::Release(Block); }
void operator delete(void *Block, const std::nothrow_t &) noexcept { skin::test::Release(Block); }
void operator delete[](void *Block, const std::nothrow_t &) noexcept { skin::test::Release(Block); }
