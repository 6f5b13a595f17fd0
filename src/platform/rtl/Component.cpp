// TComponent ownership, naming and free notification.
#include "platform/rtl/Component.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StrUtils.h"

#include <algorithm>
#include <cassert>

namespace mv {

namespace {

bool RemoveFrom(std::vector<TComponent*>& list, TComponent* component) {
    auto it = std::find(list.begin(), list.end(), component);
    if (it == list.end()) return false;
    list.erase(it);
    return true;
}

} // namespace

TComponent::TComponent(TComponent* owner) {
    if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
    Destroying();
    // Each receiver forgets us in its Notification; popping first keeps the loop finite
    // even when an override does not call the inherited Notification.
    while (!FFreeNotifies.empty()) {
        TComponent* receiver = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        receiver->RemoveNotification(this);
        receiver->Notification(this, opRemove);
    }
    DestroyComponents();
    if (FOwner) FOwner->RemoveComponent(this);
}

TComponent* TComponent::Components(Integer index) const {
    if (index < 0 || index >= ComponentCount()) throw EListError(Format(SysConst::SListIndexError, {index}));
    return FComponents[static_cast<std::size_t>(index)];
}

Integer TComponent::ComponentIndex() const {
    if (!FOwner) return -1;
    auto& list = FOwner->FComponents;
    return static_cast<Integer>(std::find(list.begin(), list.end(), this) - list.begin());
}

TComponent* TComponent::FindComponent(StringView name) const {
    if (name.empty()) return nullptr;
    for (TComponent* c : FComponents)
        if (SameText(c->FName, name)) return c;
    return nullptr;
}

void TComponent::ValidateRename(TComponent* component, StringView currentName, StringView newName) const {
    if (newName.empty() || SameText(currentName, newName)) return;
    TComponent* other = FindComponent(newName);
    if (other && other != component) throw EComponentError(Format(SysConst::SDuplicateName, {newName}));
}

void TComponent::SetName(const String& name) {
    if (FName == name) return;
    if (!name.empty() && !IsValidIdent(name)) throw EComponentError(Format(SysConst::SInvalidName, {name}));
    if (FOwner) FOwner->ValidateRename(this, FName, name);
    FName = name;
}

void TComponent::InsertComponent(TComponent* component) {
    assert(component && component != this && "InsertComponent needs another component");
    if (component->FOwner == this) return;
    ValidateRename(component, u"", component->FName);
    if (component->FOwner) component->FOwner->RemoveComponent(component);
    FComponents.push_back(component);
    component->FOwner = this;
    if (FComponentState.Contains(csDesigning)) component->SetDesigning(true);
    Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
    if (!component || component->FOwner != this) return;
    Notification(component, opRemove);
    RemoveFrom(FComponents, component);
    component->FOwner = nullptr;
}

void TComponent::DestroyComponents() {
    while (!FComponents.empty()) {
        TComponent* doomed = FComponents.back();
        // Siblings only hear of the loss when someone asked for a notification; a silent
        // removal spares the owner's notification pass over all its components.
        if (doomed->FComponentState.Contains(csFreeNotification)) {
            RemoveComponent(doomed);
        } else {
            FComponents.pop_back();
            doomed->FOwner = nullptr;
        }
        delete doomed;
    }
}

void TComponent::FreeNotification(TComponent* component) {
    assert(component && "FreeNotification needs a component");
    if (!FOwner || component->FOwner != FOwner) {
        if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), component) == FFreeNotifies.end()) {
            FFreeNotifies.push_back(component);
            component->FreeNotification(this);
        }
    }
    FComponentState.Include(csFreeNotification);
}

void TComponent::RemoveNotification(TComponent* component) {
    RemoveFrom(FFreeNotifies, component);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
    if (!component) return;
    RemoveNotification(component);
    component->RemoveNotification(this);
}

void TComponent::Notification(TComponent* component, TOperation operation) {
    if (operation == opRemove && component) RemoveFreeNotification(component);
    // An owned component may free others while handling the call; re-clamp the index.
    std::size_t i = FComponents.size();
    while (i > 0) {
        --i;
        FComponents[i]->Notification(component, operation);
        if (i > FComponents.size()) i = FComponents.size();
    }
}

void TComponent::Destroying() {
    if (FComponentState.Contains(csDestroying)) return;
    FComponentState.Include(csDestroying);
    for (TComponent* c : FComponents)
        c->Destroying();
}

void TComponent::SetDesigning(bool value, bool setChildren) {
    SetComponentStateItem(csDesigning, value);
    if (!setChildren) return;
    for (TComponent* c : FComponents)
        c->SetDesigning(value, true);
}

void TComponent::SetComponentStateItem(TComponentStateItem item, bool on) {
    if (on)
        FComponentState.Include(item);
    else
        FComponentState.Exclude(item);
}

void TComponent::BeginLoading() {
    FComponentState += TComponentState{csLoading, csReading};
}

void TComponent::EndLoading() {
    FComponentState.Exclude(csReading);
    Loaded();
}

void TComponent::ReadState(TReader& reader) {
    reader.ReadData(this);
}

void TComponent::WriteState(TWriter& writer) {
    writer.WriteData(this);
}

void TComponent::Loaded() {
    FComponentState.Exclude(csLoading);
}

} // namespace mv
