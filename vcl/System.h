#pragma once
// The object model every class of the library stands on: run-time class
// information, comparable method delegates and the exception classes.
// Portable.
#include <cstdint>
#include <exception>
#include <initializer_list>
#include <memory>
#include <string>
#include <type_traits>
#include <typeinfo>
#include <utility>

namespace vcl {

struct TClassInfo;
struct TPublishedInfo;
template <class C> class TPublisher;

// Base of every class-library object. Each class declares itself with
// VCL_CLASS so that its name is known at run time: window classes are
// registered under it and the skinning library matches controls by it.
class TObject {
public:
    virtual ~TObject() = default;
    // Runs once the whole object is constructed, when it is made with
    // Create<T> or from its class info; overrides call the inherited one.
    virtual void AfterConstruction() {}

    static const TClassInfo &StaticClassInfo();
    virtual const TClassInfo &ClassInfo() const { return StaticClassInfo(); }
    const std::string &ClassName() const;
    bool InheritsFrom(const TClassInfo &ancestor) const;
    template <class T> bool InheritsFrom() const { return InheritsFrom(T::StaticClassInfo()); }
};

// What the library knows of a class at run time. Create makes an instance
// from the argument its constructor takes (the owner of a component, the
// collection of a collection item; ignored by classes constructed without
// one); it is null for abstract classes. Published lists the properties,
// fields and methods that the class itself publishes (see TypInfo.h).
struct TClassInfo {
    using TFactory = TObject *(*)(TObject *createArg);

    std::string Name;
    const TClassInfo *Parent = nullptr;
    TFactory Create = nullptr;
    std::shared_ptr<const TPublishedInfo> Published;

    bool InheritsFrom(const TClassInfo &ancestor) const;
};

// Makes an object and runs its AfterConstruction: the way to create
// components (a component announces itself to its owner only then).
template <class T, class... Args> T *Create(Args &&...args) {
    T *object = new T(std::forward<Args>(args)...);
    try {
        object->AfterConstruction();
    } catch (...) {
        delete object;
        throw;
    }
    return object;
}

// The factory of a class: a class whose constructor takes an argument names
// its type as TCreateArg (TComponent: the owner).
template <class C> constexpr TClassInfo::TFactory ClassFactory() {
    if constexpr (std::is_abstract_v<C>) {
        return nullptr;
    } else if constexpr (requires { typename C::TCreateArg; }) {
        if constexpr (std::is_constructible_v<C, typename C::TCreateArg>)
            return [](TObject *arg) -> TObject * { return Create<C>(static_cast<typename C::TCreateArg>(arg)); };
        else
            return nullptr;
    } else if constexpr (std::is_default_constructible_v<C>) {
        return [](TObject *) -> TObject * { return Create<C>(); };
    } else {
        return nullptr;
    }
}

#define VCL_CLASS(Class, Parent)                                                           \
public:                                                                                    \
    using inherited = Parent;                                                              \
    static const ::vcl::TClassInfo &StaticClassInfo();                                     \
    const ::vcl::TClassInfo &ClassInfo() const override { return StaticClassInfo(); }      \
    static void Publish(::vcl::TPublisher<Class> &);

// Defines what VCL_CLASS declares, in the class's source file, for a class
// that publishes nothing of its own. A class that publishes properties uses
// VCL_PUBLISHED (TypInfo.h) instead.
#define VCL_CLASS_INFO(Class)                                                              \
    const ::vcl::TClassInfo &Class::StaticClassInfo() {                                    \
        static const ::vcl::TClassInfo info{#Class, &inherited::StaticClassInfo(),         \
                                            ::vcl::ClassFactory<Class>(), nullptr};        \
        return info;                                                                       \
    }

// A delegate with its signature erased: what a published event property
// holds, seen from code that does not know the event's type.
struct TMethodRef {
    void *Data = nullptr;
    void (*Code)() = nullptr;
    const std::type_info *Signature = nullptr;

    explicit operator bool() const { return Code != nullptr; }
    friend bool operator==(const TMethodRef &a, const TMethodRef &b) { return a.Data == b.Data && a.Code == b.Code; }
};

// An (object, method) pair, comparable like the class library's method
// pointers: two delegates are equal when they call the same method of the
// same object. Bind<&C::Method>(obj) makes one.
template <class Sig> class TMethod;

template <class R, class... A> class TMethod<R(A...)> {
public:
    using Code = R (*)(void *, A...);

    TMethod() = default;
    TMethod(void *data, Code code) : FData(data), FCode(code) {}

    template <auto M, class C> static TMethod Bind(C *obj) {
        return TMethod(static_cast<void *>(obj), [](void *o, A... a) -> R {
            return (static_cast<C *>(o)->*M)(std::forward<A>(a)...);
        });
    }

    explicit operator bool() const { return FCode != nullptr; }
    R operator()(A... a) const { return FCode(FData, std::forward<A>(a)...); }
    void *Data() const { return FData; }
    Code Callee() const { return FCode; }
    friend bool operator==(const TMethod &, const TMethod &) = default;

    // The untyped form that the property registry passes around; FromRef
    // gives an empty delegate for a reference of another signature.
    TMethodRef Ref() const;
    static TMethod FromRef(const TMethodRef &ref);

private:
    void *FData = nullptr;
    Code FCode = nullptr;
};

template <class R, class... A> TMethodRef TMethod<R(A...)>::Ref() const {
    return {FData, reinterpret_cast<void (*)()>(FCode), &typeid(R(A...))};
}

template <class R, class... A> TMethod<R(A...)> TMethod<R(A...)>::FromRef(const TMethodRef &ref) {
    if (!ref.Code || !ref.Signature || *ref.Signature != typeid(R(A...))) return {};
    return TMethod(ref.Data, reinterpret_cast<Code>(ref.Code));
}

using TNotifyEvent = TMethod<void(TObject *Sender)>;

// A set of up to 32 elements of an enumeration whose values run from 0, as
// the library's published set properties hold them (bit n = element n).
template <class E> class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> items) {
        for (E e : items) Include(e);
    }
    static constexpr TSet FromBits(std::uint32_t bits) {
        TSet s;
        s.FBits = bits;
        return s;
    }

    constexpr std::uint32_t Bits() const { return FBits; }
    constexpr bool Contains(E e) const { return (FBits & Bit(e)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr TSet &Include(E e) { FBits |= Bit(e); return *this; }
    constexpr TSet &Exclude(E e) { FBits &= ~Bit(e); return *this; }

    friend constexpr TSet operator+(TSet a, TSet b) { return FromBits(a.FBits | b.FBits); }
    friend constexpr TSet operator-(TSet a, TSet b) { return FromBits(a.FBits & ~b.FBits); }
    friend constexpr TSet operator*(TSet a, TSet b) { return FromBits(a.FBits & b.FBits); }
    friend constexpr bool operator==(TSet, TSet) = default;

private:
    static constexpr std::uint32_t Bit(E e) {
        const auto n = static_cast<unsigned>(e);
        return n < 32 ? std::uint32_t{1} << n : 0;
    }
    std::uint32_t FBits = 0;
};

// Exceptions carry a message text, as the library reports every failure.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : FMessage(std::move(message)) {}
    const std::string &Message() const { return FMessage; }
    const char *what() const noexcept override { return FMessage.c_str(); }

private:
    std::string FMessage;
};

// Silent exception: stops an operation without a message.
class EAbort : public Exception {
public:
    EAbort() : Exception("Operation aborted") {}
    explicit EAbort(std::string message) : Exception(std::move(message)) {}
};

class EConvertError : public Exception { using Exception::Exception; };
class EInvalidGraphic : public Exception { using Exception::Exception; };
class EInvalidOperation : public Exception { using Exception::Exception; };
class EListError : public Exception { using Exception::Exception; };
class EStringListError : public Exception { using Exception::Exception; };
class EStreamError : public Exception { using Exception::Exception; };
class EReadError : public EStreamError { using EStreamError::EStreamError; };
class EWriteError : public EStreamError { using EStreamError::EStreamError; };
class EFOpenError : public EStreamError { using EStreamError::EStreamError; };
class EFCreateError : public EStreamError { using EStreamError::EStreamError; };
class EResNotFound : public Exception { using Exception::Exception; };
class EComponentError : public Exception { using Exception::Exception; };
class EClassNotFound : public Exception { using Exception::Exception; };
class EPropertyError : public Exception { using Exception::Exception; };
class EPropertyConvertError : public Exception { using Exception::Exception; };
class ERegistryException : public Exception { using Exception::Exception; };
class EIntfCastError : public Exception { using Exception::Exception; };

class EInOutError : public Exception {
public:
    EInOutError(std::string message, int errorCode) : Exception(std::move(message)), ErrorCode(errorCode) {}
    int ErrorCode;
};

class EOleSysError : public Exception {
public:
    EOleSysError(std::string message, std::int32_t errorCode) : Exception(std::move(message)), ErrorCode(errorCode) {}
    std::int32_t ErrorCode;
};

} // namespace vcl
