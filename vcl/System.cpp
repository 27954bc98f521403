#include "System.h"

namespace vcl {

const TClassInfo &TObject::StaticClassInfo() {
    static const TClassInfo info{"TObject", nullptr};
    return info;
}

const std::string &TObject::ClassName() const { return ClassInfo().Name; }

bool TObject::InheritsFrom(const TClassInfo &ancestor) const {
    for (const TClassInfo *c = &ClassInfo(); c; c = c->Parent)
        if (c == &ancestor) return true;
    return false;
}

} // namespace vcl
