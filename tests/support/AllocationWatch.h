#pragma once
// The largest block the program asks for through operator new while a
// watch lives, whether or not it is granted: a decoder that makes an image
// of the size a damaged header announces shows here even where the
// allocation fails. The program that uses it links AllocationWatch.cpp,
// which replaces the global operators new and delete. Portable.
#include <cstddef>

namespace zuvotest {

class TAllocationWatch {
public:
    TAllocationWatch();
    ~TAllocationWatch();
    TAllocationWatch(const TAllocationWatch &) = delete;
    TAllocationWatch &operator=(const TAllocationWatch &) = delete;

    // The largest size asked for since the watch began.
    std::size_t Largest() const;
};

} // namespace zuvotest
