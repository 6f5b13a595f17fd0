// TComponent: named objects owned in a tree. An owner frees what it owns; a component
// that holds a reference to another asks for a free notification so that it hears
// Notification(other, opRemove) before the other goes away and can clear the reference.
#pragma once

#include "platform/rtl/Persistent.h"
#include "platform/rtl/Set.h"

#include <functional>
#include <vector>

namespace mv {

class TReader;
class TWriter;

enum TComponentStateItem {
    csLoading,
    csReading,
    csWriting,
    csDestroying,
    csDesigning,
    csAncestor,
    csUpdating,
    csFixups,
    csFreeNotification,
    csInline,
    csDesignInstance
};
using TComponentState = Set<TComponentStateItem>;

enum TOperation { opInsert, opRemove };

class TComponent : public TPersistent {
public:
    // With an owner the new component is inserted into the owner's list and freed with it.
    explicit TComponent(TComponent* owner);
    // Order: mark csDestroying, notify every component that asked for a free notification,
    // free the owned components (last first), leave the owner. A derived class whose
    // Notification must still see its owned components die calls DestroyComponents()
    // in its own destructor, because by the time this one runs the derived part is gone.
    ~TComponent() override;

    TComponent* Owner() const { return FOwner; }
    TPersistent* GetOwner() const override { return FOwner; }
    String GetNamePath() const override { return FName; }

    const String& Name() const { return FName; }
    // Raises EComponentError for a name that is not an identifier, or that another
    // component of the same owner already has (compared without regard to case).
    virtual void SetName(const String& name);
    Int64 Tag() const { return FTag; }
    void SetTag(Int64 tag) { FTag = tag; }

    Integer ComponentCount() const { return static_cast<Integer>(FComponents.size()); }
    TComponent* Components(Integer index) const;
    Integer ComponentIndex() const;
    // A component owned by this one with the given name (any case), or null.
    TComponent* FindComponent(StringView name) const;

    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);
    void DestroyComponents();

    // Registers a mutual interest: whichever of the two is freed first, the other gets
    // Notification(freed, opRemove). Components of the same owner need no registration,
    // the owner passes the notification on to all it owns.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    TComponentState ComponentState() const { return FComponentState; }
    void Destroying();
    void SetDesigning(bool value, bool setChildren = true);
    // Loading brackets for the streaming system: csLoading (and csReading) hold until
    // EndLoading, which calls Loaded so that effects deferred while loading now run.
    void BeginLoading();
    void EndLoading();

    // Called with opInsert/opRemove when a component is inserted into or removed from this
    // one, and with opRemove when a component this one registered with is freed. The
    // default forgets a freed component's registration and passes the call on to every
    // owned component. Overrides clear their references, then call the inherited one.
    virtual void Notification(TComponent* component, TOperation operation);

    // [SECTION] Streaming hooks (Filer.h)
    using TGetChildProc = std::function<void(TComponent* child)>;
    // The components written as nested objects of this one, in order. The default has
    // none; a form-like root passes what it owns, a container control its children.
    virtual void GetChildren(const TGetChildProc& proc, TComponent* root) {
        (void)proc;
        (void)root;
    }
    // Owner for the nested components read into this one; null (the default) means the
    // root being read, as in the framework.
    virtual TComponent* GetChildOwner() { return nullptr; }
    // What the nested components read into this one get as SetParentComponent.
    virtual TComponent* GetChildParent() { return this; }
    virtual TComponent* GetParentComponent() const { return nullptr; }
    virtual void SetParentComponent(TComponent* value) { (void)value; }
    // The reader asks for a nested object given with an order ("object A: TX [2]").
    virtual void SetChildOrder(TComponent* child, Integer order) {
        (void)child;
        (void)order;
    }
    // Reading and writing this component's properties and nested objects; the defaults
    // call reader.ReadData(this) / writer.WriteData(this).
    virtual void ReadState(TReader& reader);
    virtual void WriteState(TWriter& writer);

protected:
    friend class TReader;
    friend class TWriter;
    virtual void Loaded();
    void SetComponentStateItem(TComponentStateItem item, bool on);

private:
    void RemoveNotification(TComponent* component);
    void ValidateRename(TComponent* component, StringView currentName, StringView newName) const;

    TComponent* FOwner = nullptr;
    String FName;
    Int64 FTag = 0;
    TComponentState FComponentState;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
};

} // namespace mv
