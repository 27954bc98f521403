#pragma once
// Published properties: what a class lets code and form descriptions read
// and write by name. Each class lists its published properties, component
// fields and event handlers once, in its source file; the lists serve
// run-time access by name (GetOrdProp, SetStrProp...) and the form reader.
//
// Declaring them (the class uses VCL_CLASS(TMyButton, TButton) in its header):
//
//     VCL_ENUM(TMyKind, mkPlain, mkBold)            // enum with element names (header)
//
//     VCL_PUBLISHED(TMyButton, p) {                 // instead of VCL_CLASS_INFO
//         p.Property("Caption", &TMyButton::Caption, &TMyButton::SetCaption);
//         p.Property("Kind", &TMyButton::Kind, &TMyButton::SetKind).Default(mkPlain);
//         p.Property("Color", &TMyButton::Color, &TMyButton::SetColor).Default(clBtnFace).Idents(ColorIdents);
//         p.Property("Font", &TMyButton::Font, &TMyButton::SetFont);  // a sub-object: Font.Height
//         p.Property("Margin", &TMyButton::FMargin).Default(2);         // a field read and written directly
//         p.Property("OnClick", &TMyButton::OnClick);                  // a TMethod<Sig> field: an event
//     }
//
// A form class also publishes its component fields and its handlers:
//
//     p.Field("Button1", &TMainForm::Button1);                 // TButton *Button1;
//     p.Method<&TMainForm::Button1Click>("Button1Click");       // void Button1Click(TObject *Sender);
//
// Getters are member functions `V X() const` (or returning const V &) or any
// callable taking `const C &`; setters `void SetX(V)` (or const V &) or any
// callable taking `C &, V`. The value type decides the kind: bool and enums
// declared with VCL_ENUM are enumerations, char is a character, other
// integers are integers (64-bit ones int64), floating point is float,
// std::string is a string, TSet<E> is a set, a pointer to a TObject
// descendant is an object, TMethod<Sig> is a method (an event).
//
// Defaults matter when a form is written: a value equal to its declared
// default is left out, as are strings without a declared default that are
// empty, unassigned events and null references. A descendant that changes
// a default in its constructor publishes the property again with the new
// default. Names compare without regard to case. Code that sets
// properties by name gets EPropertyError for an unknown name or a wrong kind
// and EPropertyConvertError for a value the property cannot take.
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeinfo>
#include <vector>

#include "Persistent.h"

namespace vcl {

enum TTypeKind { tkUnknown, tkInteger, tkChar, tkEnumeration, tkInt64, tkFloat, tkString, tkSet, tkClass, tkMethod };

// The element names of an enumeration, in value order from 0.
class TEnumInfo {
public:
    // Names as written in the enum declaration: "bsNone, bsSingle, ...".
    TEnumInfo(std::string TypeName, std::string_view DeclaredNames);
    const std::string &TypeName() const { return FTypeName; }
    int Count() const { return static_cast<int>(FNames.size()); }
    const std::string &Names(int Value) const;  // raises EPropertyConvertError out of range
    int ValueOf(std::string_view Name) const;   // -1 when no element has the name

private:
    std::string FTypeName;
    std::vector<std::string> FNames;
};

// Declares an enumeration with values from 0 and makes its names known.
#define VCL_ENUM(Type, ...)                                                                \
    enum Type { __VA_ARGS__ };                                                             \
    VCL_ENUM_INFO(Type, __VA_ARGS__)

// Makes the names of an enumeration declared elsewhere known (same order).
#define VCL_ENUM_INFO(Type, ...)                                                           \
    inline const ::vcl::TEnumInfo &EnumInfo(Type) {                                        \
        static const ::vcl::TEnumInfo info(#Type, #__VA_ARGS__);                           \
        return info;                                                                       \
    }

const TEnumInfo &EnumInfo(bool);  // False, True

// Identifiers that an integer property accepts in place of a number.
struct TIdentMap {
    bool (*ToValue)(std::string_view Ident, std::int64_t &Value);
    bool (*ToIdent)(std::int64_t Value, std::string &Ident);
};
extern const TIdentMap ColorIdents;  // clBtnFace, clWindowText, clNone...

// One published property. The accessors raise EPropertyError when the
// property's kind does not offer them.
class TPropInfo {
public:
    virtual ~TPropInfo() = default;

    const std::string &Name() const { return FName; }
    TTypeKind Kind() const { return FKind; }
    const TEnumInfo *EnumType() const { return FEnum; }  // tkEnumeration; tkSet: its elements
    const TClassInfo &PropClass() const;                  // tkClass
    const std::type_info *Signature() const { return FSignature; }  // tkMethod
    const TIdentMap *Idents() const { return FIdents; }
    std::int64_t MinValue() const { return FMin; }  // tkInteger, tkChar, tkInt64
    std::int64_t MaxValue() const { return FMax; }
    bool HasDefault() const { return FHasDefault; }
    std::int64_t Default() const { return FDefault; }
    double DefaultFloat() const { return FDefaultFloat; }
    const std::string &DefaultStr() const { return FDefaultStr; }
    virtual bool IsWritable() const = 0;

    virtual std::int64_t GetOrd(const TObject *Instance) const;  // ordinals, int64, sets (bits)
    virtual void SetOrd(TObject *Instance, std::int64_t Value) const;
    virtual double GetFloat(const TObject *Instance) const;
    virtual void SetFloat(TObject *Instance, double Value) const;
    virtual std::string GetStr(const TObject *Instance) const;
    virtual void SetStr(TObject *Instance, const std::string &Value) const;
    virtual TObject *GetObject(const TObject *Instance) const;
    virtual void SetObject(TObject *Instance, TObject *Value) const;
    virtual TMethodRef GetMethod(const TObject *Instance) const;
    virtual void SetMethod(TObject *Instance, const TMethodRef &Value) const;

    // True when a written form leaves the value out (see the top of this header).
    bool IsDefaultValue(const TObject *Instance) const;
    // False when the declaration says that the instance's value is not to be
    // written at all (a colour or font that a control takes from its parent).
    bool IsStored(const TObject *Instance) const { return !FStored || FStored(Instance); }

protected:
    [[noreturn]] void RaiseKind(const char *what) const;
    void CheckRange(std::int64_t Value) const;

    std::string FName;
    TTypeKind FKind = tkUnknown;
    const TEnumInfo *FEnum = nullptr;
    const TClassInfo &(*FClass)() = nullptr;  // resolved on use: classes may refer to each other
    const std::type_info *FSignature = nullptr;
    const TIdentMap *FIdents = nullptr;
    std::int64_t FMin = 0, FMax = 0;
    bool FHasDefault = false;
    bool (*FStored)(const TObject *Instance) = nullptr;
    std::int64_t FDefault = 0;
    double FDefaultFloat = 0;
    std::string FDefaultStr;

    template <class C> friend class TPublisher;
    template <class V> friend class TPropBuilder;
};

// A component field of a form class, assigned when a component of that name is read.
struct TPublishedField {
    std::string Name;
    const TClassInfo &(*FieldClass)();
    std::function<void(TObject *Instance, TObject *Value)> Assign;  // Value is of FieldClass
};

// An event handler of a form class, bound by name when a form is read.
struct TPublishedMethod {
    std::string Name;
    const std::type_info *Signature;
    void (*Code)();
    void *(*Data)(TObject *Instance);  // the instance as the handler's own class
};

struct TPublishedInfo {
    std::vector<std::unique_ptr<TPropInfo>> Properties;
    std::vector<TPublishedField> Fields;
    std::vector<TPublishedMethod> Methods;
};

// Lookup (the class and its ancestors; a property published again by a
// descendant is found in its newer form).
const TPropInfo *GetPropInfo(const TClassInfo &Class, std::string_view Name);  // null when absent
const TPropInfo *GetPropInfo(const TObject *Instance, std::string_view Name);
bool IsPublishedProp(const TObject *Instance, std::string_view Name);
std::vector<const TPropInfo *> GetPropList(const TClassInfo &Class);  // ancestors' first
const TPublishedField *FindPublishedField(const TClassInfo &Class, std::string_view Name);
const TPublishedMethod *FindPublishedMethod(const TClassInfo &Class, std::string_view Name);
// The class of a published field with that class name, for creating components.
const TClassInfo *FindFieldClass(const TClassInfo &Class, std::string_view ClassName);
// A handler of Instance's class bound to Instance; empty when there is none.
TMethodRef MethodAddress(TObject *Instance, std::string_view Name);
// The name of the published handler that Method calls on Instance; empty when none.
std::string MethodName(const TObject *Instance, const TMethodRef &Method);

// Access by name; each raises EPropertyError when Instance's class has no
// such property.
std::int64_t GetOrdProp(const TObject *Instance, std::string_view Name);
void SetOrdProp(TObject *Instance, std::string_view Name, std::int64_t Value);
std::string GetEnumProp(const TObject *Instance, std::string_view Name);
void SetEnumProp(TObject *Instance, std::string_view Name, std::string_view Value);
// A set as its element names joined by commas, optionally in brackets:
// "fsBold,fsItalic" / "[fsBold,fsItalic]". SetSetProp takes either form,
// with blanks, and skips empty elements (",fsBold" is "fsBold").
std::string GetSetProp(const TObject *Instance, std::string_view Name, bool Brackets = false);
void SetSetProp(TObject *Instance, std::string_view Name, std::string_view Value);
std::string GetStrProp(const TObject *Instance, std::string_view Name);
void SetStrProp(TObject *Instance, std::string_view Name, const std::string &Value);
std::int64_t GetInt64Prop(const TObject *Instance, std::string_view Name);
void SetInt64Prop(TObject *Instance, std::string_view Name, std::int64_t Value);
double GetFloatProp(const TObject *Instance, std::string_view Name);
void SetFloatProp(TObject *Instance, std::string_view Name, double Value);
TObject *GetObjectProp(const TObject *Instance, std::string_view Name);
void SetObjectProp(TObject *Instance, std::string_view Name, TObject *Value);
TMethodRef GetMethodProp(const TObject *Instance, std::string_view Name);
void SetMethodProp(TObject *Instance, std::string_view Name, const TMethodRef &Value);

std::string GetEnumName(const TEnumInfo &Enum, int Value);
int GetEnumValue(const TEnumInfo &Enum, std::string_view Name);  // -1 when absent
std::string SetToString(const TEnumInfo &Elements, std::uint32_t Bits, bool Brackets = false);
std::uint32_t StringToSet(const TEnumInfo &Elements, std::string_view Text);  // raises EPropertyConvertError

// ---------------------------------------------------------------------------
// The declaring side. VCL_PUBLISHED(Class, p) defines the class info of a
// class declared with VCL_CLASS and opens the body that publishes its list.

#define VCL_PUBLISHED(Class, p)                                                            \
    const ::vcl::TClassInfo &Class::StaticClassInfo() {                                    \
        static const ::vcl::TClassInfo info =                                              \
            ::vcl::TPublisher<Class>::Build(#Class, &inherited::StaticClassInfo());        \
        return info;                                                                       \
    }                                                                                      \
    void Class::Publish([[maybe_unused]] ::vcl::TPublisher<Class> &p)

namespace detail {

template <class T> struct IsSet : std::false_type {};
template <class E> struct IsSet<TSet<E>> : std::true_type { using Element = E; };
template <class T> struct IsMethod : std::false_type {};
template <class Sig> struct IsMethod<TMethod<Sig>> : std::true_type { using Signature = Sig; };

template <class V> constexpr TTypeKind KindOf() {
    if constexpr (std::is_same_v<V, bool> || std::is_enum_v<V>) return tkEnumeration;
    else if constexpr (std::is_same_v<V, char>) return tkChar;
    else if constexpr (IsSet<V>::value) return tkSet;
    else if constexpr (std::is_integral_v<V>) return sizeof(V) == 8 ? tkInt64 : tkInteger;
    else if constexpr (std::is_floating_point_v<V>) return tkFloat;
    else if constexpr (std::is_same_v<V, std::string>) return tkString;
    else if constexpr (std::is_pointer_v<V> && std::is_base_of_v<TObject, std::remove_pointer_t<V>>) return tkClass;
    else if constexpr (IsMethod<V>::value) return tkMethod;
    else return tkUnknown;
}

template <class V> std::int64_t ToOrd(V value) {
    if constexpr (IsSet<V>::value) return value.Bits();
    else return static_cast<std::int64_t>(value);
}

template <class V> V FromOrd(std::int64_t value) {
    if constexpr (IsSet<V>::value) return V::FromBits(static_cast<std::uint32_t>(value));
    else if constexpr (std::is_same_v<V, bool>) return value != 0;
    else return static_cast<V>(value);
}

// Reads and writes one property of a C through its getter and setter (or
// its field, when Getter is a pointer to a data member and Setter is null).
template <class C, class V, class Getter, class Setter> class TPropAccess final : public TPropInfo {
public:
    TPropAccess(Getter g, Setter s) : FGet(g), FSet(s) {}

    bool IsWritable() const override { return !std::is_same_v<Setter, std::nullptr_t> || std::is_member_object_pointer_v<Getter>; }

    std::int64_t GetOrd(const TObject *o) const override {
        if constexpr (KindOf<V>() == tkEnumeration || KindOf<V>() == tkChar || KindOf<V>() == tkSet ||
                      KindOf<V>() == tkInteger || KindOf<V>() == tkInt64)
            return ToOrd<V>(Get(o));
        else
            RaiseKind("an ordinal");
    }
    void SetOrd(TObject *o, std::int64_t v) const override {
        if constexpr (KindOf<V>() == tkEnumeration || KindOf<V>() == tkChar || KindOf<V>() == tkSet ||
                      KindOf<V>() == tkInteger || KindOf<V>() == tkInt64) {
            CheckRange(v);
            Set(o, FromOrd<V>(v));
        } else {
            RaiseKind("an ordinal");
        }
    }
    double GetFloat(const TObject *o) const override {
        if constexpr (KindOf<V>() == tkFloat) return static_cast<double>(Get(o));
        else RaiseKind("a float");
    }
    void SetFloat(TObject *o, double v) const override {
        if constexpr (KindOf<V>() == tkFloat) Set(o, static_cast<V>(v));
        else RaiseKind("a float");
    }
    std::string GetStr(const TObject *o) const override {
        if constexpr (KindOf<V>() == tkString) return Get(o);
        else RaiseKind("a string");
    }
    void SetStr(TObject *o, const std::string &v) const override {
        if constexpr (KindOf<V>() == tkString) Set(o, v);
        else RaiseKind("a string");
    }
    TObject *GetObject(const TObject *o) const override {
        if constexpr (KindOf<V>() == tkClass) return Get(o);
        else RaiseKind("an object");
    }
    void SetObject(TObject *o, TObject *v) const override {
        if constexpr (KindOf<V>() == tkClass) {
            CheckClass(v);
            Set(o, static_cast<V>(v));
        } else {
            RaiseKind("an object");
        }
    }
    TMethodRef GetMethod(const TObject *o) const override {
        if constexpr (KindOf<V>() == tkMethod) return Get(o).Ref();
        else RaiseKind("a method");
    }
    void SetMethod(TObject *o, const TMethodRef &v) const override {
        if constexpr (KindOf<V>() == tkMethod) {
            if (v && *v.Signature != *FSignature) RaiseKind("a method of this signature");
            Set(o, V::FromRef(v));
        } else {
            RaiseKind("a method");
        }
    }

private:
    V Get(const TObject *o) const { return std::invoke(FGet, *static_cast<const C *>(o)); }
    template <class A> void Set(TObject *o, A &&v) const {
        C &c = *static_cast<C *>(o);
        if constexpr (std::is_same_v<Setter, std::nullptr_t>) {
            if constexpr (std::is_member_object_pointer_v<Getter>) c.*FGet = std::forward<A>(v);
            else RaiseReadOnly();
        } else {
            std::invoke(FSet, c, std::forward<A>(v));
        }
    }
    void CheckClass(TObject *v) const;
    [[noreturn]] void RaiseReadOnly() const;

    Getter FGet;
    Setter FSet;
};

void CheckObjectClass(const TPropInfo &Prop, TObject *Value);
[[noreturn]] void RaiseReadOnlyProperty(const TPropInfo &Prop);

template <class C, class V, class G, class S> void TPropAccess<C, V, G, S>::CheckClass(TObject *v) const {
    CheckObjectClass(*this, v);
}

template <class C, class V, class G, class S> void TPropAccess<C, V, G, S>::RaiseReadOnly() const {
    RaiseReadOnlyProperty(*this);
}

} // namespace detail

// Returned by TPublisher::Property to add what the declaration says beyond
// name and accessors.
template <class V> class TPropBuilder {
public:
    explicit TPropBuilder(TPropInfo &prop) : FProp(prop) {}
    TPropBuilder &Default(V value) {
        if constexpr (detail::KindOf<V>() == tkFloat) {
            FProp.FDefaultFloat = static_cast<double>(value);
        } else if constexpr (detail::KindOf<V>() == tkString) {
            FProp.FDefaultStr = std::move(value);
        } else {
            static_assert(detail::KindOf<V>() != tkClass && detail::KindOf<V>() != tkMethod,
                          "objects and events declare no defaults");
            FProp.FDefault = detail::ToOrd<V>(value);
        }
        FProp.FHasDefault = true;
        return *this;
    }
    // Written only while Predicate answers true for the instance.
    TPropBuilder &Stored(bool (*Predicate)(const TObject *Instance)) {
        FProp.FStored = Predicate;
        return *this;
    }
    TPropBuilder &Idents(const TIdentMap &map) {
        static_assert(detail::KindOf<V>() == tkInteger || detail::KindOf<V>() == tkInt64, "identifiers stand for integers");
        FProp.FIdents = &map;
        return *this;
    }

private:
    TPropInfo &FProp;
};

template <class C> class TPublisher {
public:
    explicit TPublisher(TPublishedInfo &info) : FInfo(info) {}

    static TClassInfo Build(const char *name, const TClassInfo *parent) {
        auto info = std::make_shared<TPublishedInfo>();
        TPublisher publisher(*info);
        C::Publish(publisher);
        return TClassInfo{name, parent, ClassFactory<C>(), std::move(info)};
    }

    // A property with a getter and a setter.
    template <class G, class S> auto Property(std::string_view Name, G Getter, S Setter) {
        using V = std::decay_t<std::invoke_result_t<G, const C &>>;
        return Add<V>(Name, Getter, Setter);
    }
    // A field read and written directly, or a read-only property (a sub-object
    // such as Font, changed through its own properties).
    template <class G> auto Property(std::string_view Name, G Getter) {
        using V = std::decay_t<std::invoke_result_t<G, const C &>>;
        return Add<V>(Name, Getter, nullptr);
    }

    // A component field, assigned by the form reader: `F *C::*`.
    template <class F, class Owner> void Field(std::string_view Name, F *Owner::*Member) {
        static_assert(std::is_base_of_v<TObject, F>);
        FInfo.Fields.push_back(TPublishedField{
            std::string(Name), &F::StaticClassInfo,
            [Member](TObject *o, TObject *v) { static_cast<C *>(o)->*Member = static_cast<F *>(v); }});
    }

    // An event handler: Method<&C::Button1Click>("Button1Click").
    template <auto M> void Method(std::string_view Name) { AddMethod<M>(Name, M); }

private:
    template <class V, class G, class S> TPropBuilder<V> Add(std::string_view Name, G Getter, S Setter) {
        static_assert(detail::KindOf<V>() != tkUnknown, "this type cannot be published");
        auto prop = std::make_unique<detail::TPropAccess<C, V, G, S>>(Getter, Setter);
        prop->FName = std::string(Name);
        prop->FKind = detail::KindOf<V>();
        if constexpr (std::is_same_v<V, bool> || std::is_enum_v<V>) prop->FEnum = &EnumInfo(V{});
        if constexpr (detail::IsSet<V>::value) prop->FEnum = &EnumInfo(typename detail::IsSet<V>::Element{});
        if constexpr (std::is_integral_v<V> && !std::is_same_v<V, bool>) {
            prop->FMin = static_cast<std::int64_t>(std::numeric_limits<V>::min());
            // Unsigned 64-bit values travel as int64 and keep their bits.
            prop->FMax = std::numeric_limits<V>::max() > static_cast<std::make_unsigned_t<V>>(INT64_MAX)
                             ? INT64_MAX
                             : static_cast<std::int64_t>(std::numeric_limits<V>::max());
            if constexpr (std::is_unsigned_v<V> && sizeof(V) == 8) prop->FMin = INT64_MIN;
        }
        if constexpr (detail::KindOf<V>() == tkClass) prop->FClass = &std::remove_pointer_t<V>::StaticClassInfo;
        if constexpr (detail::KindOf<V>() == tkMethod) prop->FSignature = &typeid(typename detail::IsMethod<V>::Signature);
        TPropInfo &added = *prop;
        FInfo.Properties.push_back(std::move(prop));
        return TPropBuilder<V>(added);
    }

    template <auto M, class R, class Owner, class... A> void AddMethod(std::string_view Name, R (Owner::*)(A...)) {
        static_assert(std::is_base_of_v<Owner, C>);
        FInfo.Methods.push_back(TPublishedMethod{
            std::string(Name), &typeid(R(A...)),
            TMethod<R(A...)>::template Bind<M, Owner>(nullptr).Ref().Code,
            [](TObject *o) -> void * { return static_cast<void *>(static_cast<Owner *>(static_cast<C *>(o))); }});
    }

    TPublishedInfo &FInfo;
};

} // namespace vcl
