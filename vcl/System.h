#pragma once
// The object model every class of the library stands on: run-time class
// information, comparable method delegates and the exception classes.
// Portable.
#include <cstdint>
#include <exception>
#include <string>
#include <utility>

namespace vcl {

struct TClassInfo;

// Base of every class-library object. Each class declares itself with
// VCL_CLASS so that its name is known at run time: window classes are
// registered under it and the skinning library matches controls by it.
class TObject {
public:
    virtual ~TObject() = default;

    static const TClassInfo &StaticClassInfo();
    virtual const TClassInfo &ClassInfo() const { return StaticClassInfo(); }
    const std::string &ClassName() const;
    bool InheritsFrom(const TClassInfo &ancestor) const;
    template <class T> bool InheritsFrom() const { return InheritsFrom(T::StaticClassInfo()); }
};

struct TClassInfo {
    std::string Name;
    const TClassInfo *Parent = nullptr;
};

#define VCL_CLASS(Class, Parent)                                                           \
public:                                                                                    \
    using inherited = Parent;                                                              \
    static const ::vcl::TClassInfo &StaticClassInfo();                                     \
    const ::vcl::TClassInfo &ClassInfo() const override { return StaticClassInfo(); }

// Defines what VCL_CLASS declares, in the class's source file.
#define VCL_CLASS_INFO(Class)                                                              \
    const ::vcl::TClassInfo &Class::StaticClassInfo() {                                    \
        static const ::vcl::TClassInfo info{#Class, &inherited::StaticClassInfo()};        \
        return info;                                                                       \
    }

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
    friend bool operator==(const TMethod &, const TMethod &) = default;

private:
    void *FData = nullptr;
    Code FCode = nullptr;
};

using TNotifyEvent = TMethod<void(TObject *Sender)>;

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
