#include "TypInfo.h"

#include "Colors.h"
#include "SysUtils.h"

namespace vcl {

// TEnumInfo

TEnumInfo::TEnumInfo(std::string TypeName, std::string_view DeclaredNames) : FTypeName(std::move(TypeName)) {
    std::size_t start = 0;
    while (start <= DeclaredNames.size()) {
        std::size_t comma = DeclaredNames.find(',', start);
        if (comma == std::string_view::npos) comma = DeclaredNames.size();
        std::string name = Trim(DeclaredNames.substr(start, comma - start));
        if (!name.empty()) FNames.push_back(std::move(name));
        start = comma + 1;
    }
}

const std::string &TEnumInfo::Names(int Value) const {
    if (Value < 0 || Value >= Count())
        throw EPropertyConvertError(IntToStr(Value) + " is not a value of " + FTypeName);
    return FNames[static_cast<std::size_t>(Value)];
}

int TEnumInfo::ValueOf(std::string_view Name) const {
    for (int i = 0; i < Count(); ++i)
        if (SameText(FNames[static_cast<std::size_t>(i)], Name)) return i;
    return -1;
}

const TEnumInfo &EnumInfo(bool) {
    static const TEnumInfo info("Boolean", "False, True");
    return info;
}

// Colour identifiers

namespace {

bool ColorIdentToValue(std::string_view ident, std::int64_t &value) {
    const std::optional<TColor> color = IdentToColor(ident);
    if (!color) return false;
    value = *color;
    return true;
}

bool ColorValueToIdent(std::int64_t value, std::string &ident) {
    if (value < INT32_MIN || value > INT32_MAX) return false;
    std::optional<std::string> name = ColorToIdent(static_cast<TColor>(value));
    if (!name) return false;
    ident = std::move(*name);
    return true;
}

} // namespace

const TIdentMap ColorIdents{ColorIdentToValue, ColorValueToIdent};

// TPropInfo

const TClassInfo &TPropInfo::PropClass() const {
    if (!FClass) RaiseKind("an object");
    return FClass();
}

void TPropInfo::RaiseKind(const char *what) const { throw EPropertyError("Property " + FName + " is not " + what); }

void TPropInfo::CheckRange(std::int64_t Value) const {
    bool ok = true;
    switch (FKind) {
    case tkEnumeration: ok = Value >= 0 && Value < FEnum->Count(); break;
    case tkSet: ok = Value >= 0 && (FEnum->Count() >= 32 ? Value <= UINT32_MAX : Value < (std::int64_t{1} << FEnum->Count())); break;
    case tkInteger:
    case tkChar:
    case tkInt64: ok = Value >= FMin && Value <= FMax; break;
    default: break;
    }
    if (!ok) throw EPropertyConvertError(IntToStr(Value) + " is out of range for property " + FName);
}

std::int64_t TPropInfo::GetOrd(const TObject *) const { RaiseKind("an ordinal"); }
void TPropInfo::SetOrd(TObject *, std::int64_t) const { RaiseKind("an ordinal"); }
double TPropInfo::GetFloat(const TObject *) const { RaiseKind("a float"); }
void TPropInfo::SetFloat(TObject *, double) const { RaiseKind("a float"); }
std::string TPropInfo::GetStr(const TObject *) const { RaiseKind("a string"); }
void TPropInfo::SetStr(TObject *, const std::string &) const { RaiseKind("a string"); }
TObject *TPropInfo::GetObject(const TObject *) const { RaiseKind("an object"); }
void TPropInfo::SetObject(TObject *, TObject *) const { RaiseKind("an object"); }
TMethodRef TPropInfo::GetMethod(const TObject *) const { RaiseKind("a method"); }
void TPropInfo::SetMethod(TObject *, const TMethodRef &) const { RaiseKind("a method"); }

bool TPropInfo::IsDefaultValue(const TObject *Instance) const {
    switch (FKind) {
    case tkInteger:
    case tkChar:
    case tkEnumeration:
    case tkInt64:
    case tkSet: return FHasDefault && GetOrd(Instance) == FDefault;
    case tkFloat: return FHasDefault && GetFloat(Instance) == FDefaultFloat;
    case tkString: return GetStr(Instance) == FDefaultStr;
    case tkClass: return GetObject(Instance) == nullptr;
    case tkMethod: return !GetMethod(Instance);
    case tkUnknown: break;
    }
    return true;
}

namespace detail {

void CheckObjectClass(const TPropInfo &Prop, TObject *Value) {
    if (Value && !Value->InheritsFrom(Prop.PropClass()))
        throw EPropertyConvertError("Property " + Prop.Name() + " takes a " + Prop.PropClass().Name + ", not a " +
                                    Value->ClassName());
}

void RaiseReadOnlyProperty(const TPropInfo &Prop) { throw EPropertyError("Property " + Prop.Name() + " is read-only"); }

} // namespace detail

// Lookup

namespace {

// The first entry of a published list, the class's own before its
// ancestors', that Matches accepts; null when none does.
template <class T, class F>
const T *FindPublished(const TClassInfo &Class, std::vector<T> TPublishedInfo::*List, F Matches) {
    for (const TClassInfo *c = &Class; c; c = c->Parent)
        if (c->Published)
            for (const T &entry : c->Published.get()->*List)
                if (Matches(entry)) return &entry;
    return nullptr;
}

} // namespace

const TPropInfo *GetPropInfo(const TClassInfo &Class, std::string_view Name) {
    const auto *found = FindPublished(Class, &TPublishedInfo::Properties,
                                      [&](const std::unique_ptr<TPropInfo> &p) { return SameText(p->Name(), Name); });
    return found ? found->get() : nullptr;
}

const TPropInfo *GetPropInfo(const TObject *Instance, std::string_view Name) {
    return Instance ? GetPropInfo(Instance->ClassInfo(), Name) : nullptr;
}

bool IsPublishedProp(const TObject *Instance, std::string_view Name) { return GetPropInfo(Instance, Name) != nullptr; }

std::vector<const TPropInfo *> GetPropList(const TClassInfo &Class) {
    std::vector<const TClassInfo *> chain;
    for (const TClassInfo *c = &Class; c; c = c->Parent) chain.insert(chain.begin(), c);
    std::vector<const TPropInfo *> list;
    for (const TClassInfo *c : chain) {
        if (!c->Published) continue;
        for (const auto &p : c->Published->Properties) {
            // A descendant's declaration takes the place of its ancestor's.
            bool replaced = false;
            for (const TPropInfo *&known : list)
                if (SameText(known->Name(), p->Name())) {
                    known = p.get();
                    replaced = true;
                }
            if (!replaced) list.push_back(p.get());
        }
    }
    return list;
}

const TPublishedField *FindPublishedField(const TClassInfo &Class, std::string_view Name) {
    return FindPublished(Class, &TPublishedInfo::Fields, [&](const TPublishedField &f) { return SameText(f.Name, Name); });
}

const TPublishedMethod *FindPublishedMethod(const TClassInfo &Class, std::string_view Name) {
    return FindPublished(Class, &TPublishedInfo::Methods, [&](const TPublishedMethod &m) { return SameText(m.Name, Name); });
}

const TClassInfo *FindFieldClass(const TClassInfo &Class, std::string_view ClassName) {
    const TPublishedField *field = FindPublished(
        Class, &TPublishedInfo::Fields, [&](const TPublishedField &f) { return SameText(f.FieldClass().Name, ClassName); });
    return field ? &field->FieldClass() : nullptr;
}

TMethodRef MethodAddress(TObject *Instance, std::string_view Name) {
    if (!Instance) return {};
    const TPublishedMethod *m = FindPublishedMethod(Instance->ClassInfo(), Name);
    if (!m) return {};
    return TMethodRef{m->Data(Instance), m->Code, m->Signature};
}

std::string MethodName(const TObject *Instance, const TMethodRef &Method) {
    if (!Instance || !Method) return {};
    auto *instance = const_cast<TObject *>(Instance);
    const TPublishedMethod *method =
        FindPublished(Instance->ClassInfo(), &TPublishedInfo::Methods,
                      [&](const TPublishedMethod &m) { return m.Code == Method.Code && m.Data(instance) == Method.Data; });
    return method ? method->Name : std::string();
}

// Access by name

namespace {

const TPropInfo &Prop(const TObject *Instance, std::string_view Name) {
    if (!Instance) throw EPropertyError("No object to read property " + std::string(Name) + " from");
    if (const TPropInfo *p = GetPropInfo(Instance, Name)) return *p;
    throw EPropertyError("Property " + std::string(Name) + " does not exist in " + Instance->ClassName());
}

const TPropInfo &PropOfKind(const TObject *Instance, std::string_view Name, TTypeKind kind, const char *what) {
    const TPropInfo &p = Prop(Instance, Name);
    if (p.Kind() != kind) throw EPropertyError("Property " + p.Name() + " is not " + what);
    return p;
}

} // namespace

std::int64_t GetOrdProp(const TObject *Instance, std::string_view Name) { return Prop(Instance, Name).GetOrd(Instance); }

void SetOrdProp(TObject *Instance, std::string_view Name, std::int64_t Value) { Prop(Instance, Name).SetOrd(Instance, Value); }

std::string GetEnumProp(const TObject *Instance, std::string_view Name) {
    const TPropInfo &p = PropOfKind(Instance, Name, tkEnumeration, "an enumeration");
    return p.EnumType()->Names(static_cast<int>(p.GetOrd(Instance)));
}

void SetEnumProp(TObject *Instance, std::string_view Name, std::string_view Value) {
    const TPropInfo &p = PropOfKind(Instance, Name, tkEnumeration, "an enumeration");
    const int v = p.EnumType()->ValueOf(Value);
    if (v < 0) throw EPropertyConvertError("Invalid property element: " + std::string(Value));
    p.SetOrd(Instance, v);
}

std::string GetSetProp(const TObject *Instance, std::string_view Name, bool Brackets) {
    const TPropInfo &p = PropOfKind(Instance, Name, tkSet, "a set");
    return SetToString(*p.EnumType(), static_cast<std::uint32_t>(p.GetOrd(Instance)), Brackets);
}

void SetSetProp(TObject *Instance, std::string_view Name, std::string_view Value) {
    const TPropInfo &p = PropOfKind(Instance, Name, tkSet, "a set");
    p.SetOrd(Instance, StringToSet(*p.EnumType(), Value));
}

std::string GetStrProp(const TObject *Instance, std::string_view Name) { return Prop(Instance, Name).GetStr(Instance); }

void SetStrProp(TObject *Instance, std::string_view Name, const std::string &Value) {
    Prop(Instance, Name).SetStr(Instance, Value);
}

std::int64_t GetInt64Prop(const TObject *Instance, std::string_view Name) { return Prop(Instance, Name).GetOrd(Instance); }

void SetInt64Prop(TObject *Instance, std::string_view Name, std::int64_t Value) {
    Prop(Instance, Name).SetOrd(Instance, Value);
}

double GetFloatProp(const TObject *Instance, std::string_view Name) { return Prop(Instance, Name).GetFloat(Instance); }

void SetFloatProp(TObject *Instance, std::string_view Name, double Value) { Prop(Instance, Name).SetFloat(Instance, Value); }

TObject *GetObjectProp(const TObject *Instance, std::string_view Name) { return Prop(Instance, Name).GetObject(Instance); }

void SetObjectProp(TObject *Instance, std::string_view Name, TObject *Value) {
    Prop(Instance, Name).SetObject(Instance, Value);
}

TMethodRef GetMethodProp(const TObject *Instance, std::string_view Name) { return Prop(Instance, Name).GetMethod(Instance); }

void SetMethodProp(TObject *Instance, std::string_view Name, const TMethodRef &Value) {
    Prop(Instance, Name).SetMethod(Instance, Value);
}

std::string GetEnumName(const TEnumInfo &Enum, int Value) { return Enum.Names(Value); }

int GetEnumValue(const TEnumInfo &Enum, std::string_view Name) { return Enum.ValueOf(Name); }

std::string SetToString(const TEnumInfo &Elements, std::uint32_t Bits, bool Brackets) {
    std::string text;
    for (int i = 0; i < Elements.Count() && i < 32; ++i)
        if (Bits & (std::uint32_t{1} << i)) {
            if (!text.empty()) text += ',';
            text += Elements.Names(i);
        }
    return Brackets ? "[" + text + "]" : text;
}

std::uint32_t StringToSet(const TEnumInfo &Elements, std::string_view Text) {
    const std::string trimmed = Trim(Text);
    std::string_view rest = trimmed;
    if (!rest.empty() && rest.front() == '[') {
        if (rest.back() != ']') throw EPropertyConvertError("Invalid set text: " + std::string(Text));
        rest = rest.substr(1, rest.size() - 2);
    }
    // Empty elements are skipped, so that ",a" (an element appended to the
    // text of an empty set) reads as "a".
    std::uint32_t bits = 0;
    for (;;) {
        const std::size_t comma = rest.find(',');
        const std::string name = Trim(rest.substr(0, comma));
        if (!name.empty()) {
            const int v = Elements.ValueOf(name);
            if (v < 0 || v >= 32) throw EPropertyConvertError("Invalid property element: " + name);
            bits |= std::uint32_t{1} << v;
        }
        if (comma == std::string_view::npos) break;
        rest = rest.substr(comma + 1);
    }
    return bits;
}

} // namespace vcl
