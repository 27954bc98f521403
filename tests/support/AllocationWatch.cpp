#include "AllocationWatch.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace zuvotest {
namespace {

std::atomic<bool> Watching{false};
std::atomic<std::size_t> LargestSize{0};

void *Take(std::size_t Size) noexcept {
    if (Watching.load(std::memory_order_relaxed)) {
        std::size_t seen = LargestSize.load(std::memory_order_relaxed);
        while (Size > seen && !LargestSize.compare_exchange_weak(seen, Size, std::memory_order_relaxed)) {
        }
    }
    return std::malloc(Size ? Size : 1);
}

} // namespace

TAllocationWatch::TAllocationWatch() {
    LargestSize = 0;
    Watching = true;
}

TAllocationWatch::~TAllocationWatch() { Watching = false; }

std::size_t TAllocationWatch::Largest() const { return LargestSize.load(); }

} // namespace zuvotest

void *operator new(std::size_t Size) {
    if (void *p = zuvotest::Take(Size)) return p;
    throw std::bad_alloc();
}
void *operator new[](std::size_t Size) {
    if (void *p = zuvotest::Take(Size)) return p;
    throw std::bad_alloc();
}
void *operator new(std::size_t Size, const std::nothrow_t &) noexcept { return zuvotest::Take(Size); }
void *operator new[](std::size_t Size, const std::nothrow_t &) noexcept { return zuvotest::Take(Size); }
void operator delete(void *Block) noexcept { std::free(Block); }
void operator delete[](void *Block) noexcept { std::free(Block); }
void operator delete(void *Block, std::size_t) noexcept { std::free(Block); }
void operator delete[](void *Block, std::size_t) noexcept { std::free(Block); }
void operator delete(void *Block, const std::nothrow_t &) noexcept { std::free(Block); }
void operator delete[](void *Block, const std::nothrow_t &) noexcept { std::free(Block); }
