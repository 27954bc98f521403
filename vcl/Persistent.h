#pragma once
// The base of everything that can be assigned and stored in a form
// description, the filer interface through which an object stores data that
// is not a published property, and the registry of classes by name.
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

#include "System.h"

#ifdef RegisterClass
#undef RegisterClass  // windows.h's macro for RegisterClassW; call that by its W name
#endif

namespace vcl {

class TStream;
class TFiler;

// Persistent objects are reference objects: copy one with Assign.
class TPersistent : public TObject {
    VCL_CLASS(TPersistent, TObject)
public:
    TPersistent() = default;
    TPersistent(const TPersistent &) = delete;
    TPersistent &operator=(const TPersistent &) = delete;

    // Copies Source into this object. A class that knows how to copy from
    // Source overrides Assign; otherwise Source->AssignTo(this) is asked, and
    // when neither knows the pair, EConvertError names both classes.
    virtual void Assign(const TPersistent *Source);
    // The owner in the sense of the form description (a collection's owner,
    // an item's collection); null by default.
    virtual TPersistent *GetOwner() const;
    // Stores data that no published property describes; see TFiler.
    virtual void DefineProperties(TFiler &Filer);

protected:
    virtual void AssignTo(TPersistent *Dest) const;
};

// Reads or writes an object's own data (a picture's bytes, a stored skin's
// packed data) as a named binary block of the form description. The object
// names each block in DefineProperties; the filer calls ReadData when it
// reads that block, or WriteData when it writes and HasData is true.
using TStreamProc = std::function<void(TStream &)>;

class TFiler {
public:
    virtual ~TFiler() = default;
    virtual void DefineBinaryProperty(const std::string &Name, const TStreamProc &ReadData,
                                      const TStreamProc &WriteData, bool HasData) = 0;
};

// Runs Change between Target.BeginUpdate() and Target.EndUpdate(), ending
// the update however Change ends (string lists, collections).
template <class T, class F> void Updating(T &Target, F &&Change) {
    Target.BeginUpdate();
    try {
        Change();
    } catch (...) {
        Target.EndUpdate();
        throw;
    }
    Target.EndUpdate();
}

// Classes known by name, for the form reader and for code that creates
// objects from a class name. Registering a name twice keeps the first class;
// names compare without regard to case.
void RegisterClass(const TClassInfo &Class);
void RegisterClasses(std::initializer_list<const TClassInfo *> Classes);
void UnRegisterClass(const TClassInfo &Class);
const TClassInfo *GetClass(std::string_view Name);   // null when unknown
const TClassInfo &FindClass(std::string_view Name);  // raises EClassNotFound

} // namespace vcl
