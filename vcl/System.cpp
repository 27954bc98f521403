#include "System.h"

namespace vcl {

const TClassInfo &TObject::StaticClassInfo() {
    static const TClassInfo info{"TObject", nullptr, nullptr, nullptr};
    return info;
}

bool TClassInfo::InheritsFrom(const TClassInfo &ancestor) const {
    for (const TClassInfo *c = this; c; c = c->Parent)
        if (c == &ancestor) return true;
    return false;
}

const std::string &TObject::ClassName() const { return ClassInfo().Name; }

bool TObject::InheritsFrom(const TClassInfo &ancestor) const { return ClassInfo().InheritsFrom(ancestor); }

} // namespace vcl
