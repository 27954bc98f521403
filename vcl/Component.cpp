#include "Component.h"

#include <algorithm>

#include "List.h"
#include "SysUtils.h"
#include "TypInfo.h"

namespace vcl {

VCL_PUBLISHED(TComponent, p) {
    p.Property("Name", &TComponent::Name, &TComponent::SetName);
    p.Property("Tag", &TComponent::Tag, &TComponent::SetTag).Default(0);
}

namespace {

bool IsIdentifier(std::string_view s) {
    if (s.empty()) return false;
    auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    if (!letter(s[0])) return false;
    return std::all_of(s.begin() + 1, s.end(), [&](char c) { return letter(c) || (c >= '0' && c <= '9'); });
}

void Erase(std::vector<TComponent *> &list, TComponent *c) { list.erase(std::remove(list.begin(), list.end(), c), list.end()); }

} // namespace

TComponent::TComponent(TComponent *AOwner) {
    if (AOwner) AOwner->Link(this);
}

void TComponent::AfterConstruction() {
    inherited::AfterConstruction();
    if (FOwner && !FInsertAnnounced) {
        FInsertAnnounced = true;
        FOwner->Notification(this, opInsert);
    }
}

TComponent::~TComponent() {
    Announce();
    DestroyComponents();
    if (FOwner) {
        Erase(FOwner->FComponents, this);
        FOwner = nullptr;
    }
}

void TComponent::operator delete(TComponent *Component, std::destroying_delete_t) {
    Component->BeforeDestruction();
    void *memory = dynamic_cast<void *>(Component);
    Component->~TComponent();
    ::operator delete(memory);
}

void TComponent::operator delete(void *Memory) { ::operator delete(Memory); }

void *TComponent::operator new(std::size_t Size) { return ::operator new(Size); }

void TComponent::BeforeDestruction() { Announce(); }

void TComponent::Announce() {
    if (FAnnounced) return;
    FAnnounced = true;
    Destroying();
    while (!FFreeNotifies.empty()) {
        TComponent *partner = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        Erase(partner->FFreeNotifies, this);
        partner->Notification(this, opRemove);
    }
    if (FOwner && FInsertAnnounced) FOwner->Notification(this, opRemove);
}

void TComponent::SetName(const std::string &NewName) {
    if (NewName == FName) return;
    if (!NewName.empty() && !IsIdentifier(NewName))
        throw EComponentError("\"" + NewName + "\" is not a valid component name");
    if (FOwner && !NewName.empty()) {
        TComponent *other = FOwner->FindComponent(NewName);
        if (other && other != this) throw EComponentError("A component named " + NewName + " already exists");
    }
    FName = NewName;
}

TComponent *TComponent::Components(int Index) const {
    if (Index < 0 || Index >= ComponentCount()) RaiseListIndexError(Index);
    return FComponents[static_cast<std::size_t>(Index)];
}

int TComponent::ComponentIndex() const {
    if (!FOwner) return -1;
    auto &list = FOwner->FComponents;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

TComponent *TComponent::FindComponent(std::string_view AName) const {
    if (AName.empty()) return nullptr;
    for (TComponent *c : FComponents)
        if (SameText(c->FName, AName)) return c;
    return nullptr;
}

void TComponent::Link(TComponent *AComponent) {
    if (!AComponent->FName.empty() && FindComponent(AComponent->FName))
        throw EComponentError("A component named " + AComponent->FName + " already exists");
    if (AComponent->FOwner) AComponent->FOwner->RemoveComponent(AComponent);
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
}

void TComponent::InsertComponent(TComponent *AComponent) {
    if (!AComponent || AComponent->FOwner == this) return;
    Link(AComponent);
    AComponent->FInsertAnnounced = true;
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent *AComponent) {
    if (!AComponent || AComponent->FOwner != this) return;
    Notification(AComponent, opRemove);
    Erase(FComponents, AComponent);
    AComponent->FOwner = nullptr;
}

void TComponent::DestroyComponents() {
    while (!FComponents.empty()) {
        TComponent *last = FComponents.back();
        delete last;
        // The destructor took it out of the list; make sure, so that the loop ends.
        if (!FComponents.empty() && FComponents.back() == last) FComponents.pop_back();
    }
}

void TComponent::FreeNotification(TComponent *AComponent) {
    if (!AComponent || AComponent == this) return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end())
        FFreeNotifies.push_back(AComponent);
    auto &theirs = AComponent->FFreeNotifies;
    if (std::find(theirs.begin(), theirs.end(), this) == theirs.end()) theirs.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent *AComponent) {
    if (!AComponent) return;
    Erase(FFreeNotifies, AComponent);
    Erase(AComponent->FFreeNotifies, this);
}

void TComponent::Destroying() {
    if (FComponentState.Contains(csDestroying)) return;
    FComponentState.Include(csDestroying);
    for (TComponent *c : FComponents) c->Destroying();
}

void TComponent::Notification(TComponent *AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent) RemoveFreeNotification(AComponent);
    // A receiver may add or destroy components meanwhile: walk from the end
    // and stay inside the list as it is now.
    std::size_t i = FComponents.size();
    while (i > 0) {
        FComponents[i - 1]->Notification(AComponent, Operation);
        --i;
        if (i > FComponents.size()) i = FComponents.size();
    }
}

void TComponent::Loaded() { FComponentState.Exclude(csLoading); }

bool TComponent::HasParent() const { return false; }

TComponent *TComponent::GetParentComponent() const { return nullptr; }

void TComponent::SetParentComponent(TComponent *) {}

TComponent *CreateComponent(const TClassInfo &Class, TComponent *AOwner) {
    if (!Class.InheritsFrom(TComponent::StaticClassInfo()))
        throw EComponentError(Class.Name + " is not a component class");
    if (!Class.Create) throw EComponentError("Cannot create an instance of " + Class.Name);
    return static_cast<TComponent *>(Class.Create(AOwner));
}

} // namespace vcl
