#pragma once
// Use: an object that code it calls out to may free owns a TLifeMark and answers it from LifeMark();
// hold `const vcl::TGuarded alive(this);` across the call-out and go on only while `alive` is true.
// A TGuarded member holds an object someone else owns: it reads null once that object is gone.
#include <memory>

namespace vcl {

class TLifeMark {
public:
    TLifeMark() = default;
    TLifeMark(const TLifeMark &) = delete;
    TLifeMark &operator=(const TLifeMark &) = delete;

    // For a destructor whose own work calls out: the object counts as gone from here on.
    void End() { FLife.reset(); }
    std::weak_ptr<const void> Token() const { return FLife; }

private:
    std::shared_ptr<const char> FLife = std::make_shared<const char>(0);
};

template <class T>
class TGuarded {
public:
    TGuarded() = default;
    explicit TGuarded(T *Object) : FObject(Object) {
        if (Object) FLife = Object->LifeMark().Token();
    }

    T *Get() const { return FLife.expired() ? nullptr : FObject; }
    T *operator->() const { return Get(); }
    T &operator*() const { return *Get(); }
    explicit operator bool() const { return !FLife.expired(); }

private:
    T *FObject = nullptr;
    std::weak_ptr<const void> FLife;
};

} // namespace vcl
