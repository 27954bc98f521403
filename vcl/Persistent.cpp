#include "Persistent.h"

#include <map>

#include "SysUtils.h"

namespace vcl {

VCL_CLASS_INFO(TPersistent)

void TPersistent::Assign(const TPersistent *Source) {
    if (Source) {
        Source->AssignTo(this);
        return;
    }
    throw EConvertError("Cannot assign nil to a " + ClassName());
}

void TPersistent::AssignTo(TPersistent *Dest) const {
    throw EConvertError("Cannot assign a " + ClassName() + " to a " + Dest->ClassName());
}

TPersistent *TPersistent::GetOwner() const { return nullptr; }

void TPersistent::DefineProperties(TFiler &) {}

namespace {

struct TNoCaseLess {
    bool operator()(const std::string &a, const std::string &b) const { return CompareText(a, b) < 0; }
};

// The registry is filled at start-up and read while forms are read, all on
// the GUI thread.
std::map<std::string, const TClassInfo *, TNoCaseLess> &Registry() {
    static std::map<std::string, const TClassInfo *, TNoCaseLess> classes;
    return classes;
}

} // namespace

void RegisterClass(const TClassInfo &Class) { Registry().emplace(Class.Name, &Class); }

void RegisterClasses(std::initializer_list<const TClassInfo *> Classes) {
    for (const TClassInfo *c : Classes) RegisterClass(*c);
}

void UnRegisterClass(const TClassInfo &Class) {
    auto it = Registry().find(Class.Name);
    if (it != Registry().end() && it->second == &Class) Registry().erase(it);
}

const TClassInfo *GetClass(std::string_view Name) {
    auto it = Registry().find(std::string(Name));
    return it == Registry().end() ? nullptr : it->second;
}

const TClassInfo &FindClass(std::string_view Name) {
    if (const TClassInfo *c = GetClass(Name)) return *c;
    throw EClassNotFound("Class " + std::string(Name) + " not found");
}

} // namespace vcl
