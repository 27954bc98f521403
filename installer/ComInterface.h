#pragma once
// Owners for COM: the apartment of one call, and one reference to an
// interface, released on every path.
#include <objbase.h>

namespace installer {

// COM for the lifetime of this object; a thread that has it already keeps it.
class TComApartment {
public:
    TComApartment() : FOwned(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~TComApartment() { if (FOwned) CoUninitialize(); }
    TComApartment(const TComApartment &) = delete;
    TComApartment &operator=(const TComApartment &) = delete;

private:
    bool FOwned;
};

// Owns one reference to a COM interface. Declare it after the apartment it
// lives in, so that it is released first.
template <class T> class TInterface {
public:
    TInterface() = default;
    ~TInterface() { Reset(); }
    TInterface(const TInterface &) = delete;
    TInterface &operator=(const TInterface &) = delete;

    T *operator->() const { return FPointer; }
    explicit operator bool() const { return FPointer != nullptr; }
    // For the calls that hand out a reference.
    void **Out() { Reset(); return reinterpret_cast<void **>(&FPointer); }
    void Reset() { if (FPointer) FPointer->Release(); FPointer = nullptr; }

private:
    T *FPointer = nullptr;
};

} // namespace installer
