#pragma once
// TComponent: an object with an owner, a name and a life cycle. An owner
// destroys what it owns (the last created first) and tells its components
// when one of them comes or goes; a component that keeps a pointer to
// another asks for a free notification and drops the pointer when told.
//
// Creation: make components with Create<T>(Owner, ...) (System.h) or from
// their class info. The constructor puts the component into its owner's
// list; AfterConstruction, once the object is whole, announces it (opInsert),
// so that receivers see its real class. A component made with a bare `new`
// joins its owner unannounced.
//
// Destruction: `delete` on a component first announces the removal
// (csDestroying set on it and everything it owns, then opRemove to its free
// notification partners and to its owner) while the object still has its
// full class, then runs the destructors, and last the base destructor
// destroys the owned components. A component destroyed without `delete`
// (on the stack, in a container) announces itself from the base destructor.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "LifeMark.h"
#include "Persistent.h"

namespace vcl {

class TReader;

enum TOperation { opInsert, opRemove };

// csDesigning exists for code that asks; this library never sets it.
enum TComponentStateItem { csLoading, csReading, csWriting, csDestroying, csDesigning };
using TComponentState = TSet<TComponentStateItem>;

class TComponent : public TPersistent {
    VCL_CLASS(TComponent, TPersistent)
public:
    using TCreateArg = TComponent *;

    explicit TComponent(TComponent *AOwner);
    ~TComponent() override;

    TComponent *Owner() const { return FOwner; }
    const std::string &Name() const { return FName; }
    // Raises EComponentError for a name that is not an identifier or that
    // another component of the same owner has (compared without case).
    void SetName(const std::string &NewName);
    std::intptr_t Tag() const { return FTag; }
    void SetTag(std::intptr_t Value) { FTag = Value; }

    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent *Components(int Index) const;
    int ComponentIndex() const;  // position in the owner's list; -1 without owner
    TComponent *FindComponent(std::string_view AName) const;  // null when absent

    // Takes AComponent over from its previous owner (opRemove there, then
    // opInsert here).
    void InsertComponent(TComponent *AComponent);
    void RemoveComponent(TComponent *AComponent);
    // Destroys the owned components, the last created first.
    void DestroyComponents();

    // Asks AComponent to send Notification(AComponent, opRemove) to this
    // component when it goes. The link works both ways and ends with either.
    void FreeNotification(TComponent *AComponent);
    void RemoveFreeNotification(TComponent *AComponent);

    // Announces the component to its owner; overrides call the inherited one first.
    void AfterConstruction() override;

    TComponentState ComponentState() const { return FComponentState; }
    // For a TGuarded kept across code that may free the component (a click
    // handler closing its form at once).
    const TLifeMark &LifeMark() const { return FLife; }
    // Marks this component and everything it owns as being destroyed.
    void Destroying();

    // Called on a component that comes to (opInsert) or leaves (opRemove)
    // this component's owned list, and on free notification partners. The
    // base passes it on to every owned component, so siblings learn of each
    // other. Overrides call the inherited one.
    virtual void Notification(TComponent *AComponent, TOperation Operation);
    // Called once the whole form description that created this component
    // has been read; clears csLoading. Overrides call the inherited one.
    virtual void Loaded();

    // The form reader places a component read inside another in that one
    // (a control in its parent); components without a parent ignore it.
    virtual bool HasParent() const;
    virtual TComponent *GetParentComponent() const;
    virtual void SetParentComponent(TComponent *Value);

    // Destroying delete: see the top of this header. The plain pair serves
    // the allocation itself (and a constructor that throws).
    void operator delete(TComponent *Component, std::destroying_delete_t);
    void operator delete(void *Memory);
    void *operator new(std::size_t Size);

protected:
    // The first step of destruction, with the object still whole.
    virtual void BeforeDestruction();
    void SetComponentState(TComponentState Value) { FComponentState = Value; }

private:
    friend class TReader;
    void Announce();
    void Link(TComponent *AComponent);

    TLifeMark FLife;
    TComponent *FOwner = nullptr;
    std::string FName;
    std::intptr_t FTag = 0;
    std::vector<TComponent *> FComponents;     // owned, in creation order
    std::vector<TComponent *> FFreeNotifies;   // partners, not owned
    TComponentState FComponentState;
    bool FInsertAnnounced = false;
    bool FAnnounced = false;
};

// Creates a component of a class known at run time, with an owner. Raises
// EComponentError when the class is not a component class that can be made.
TComponent *CreateComponent(const TClassInfo &Class, TComponent *AOwner);

} // namespace vcl
