// TObject and TPersistent: the roots of the class tree. TPersistent adds Assign, the
// framework's copy protocol: a class copies what it knows and defers the rest to the
// source's AssignTo, so either side can implement a conversion.
#pragma once

#include "platform/rtl/RtlTypes.h"

namespace mv {

class TClassInfo;

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    // The class's own name without namespace ("TStringList"), from the dynamic type.
    virtual String ClassName() const;
    // The class description (ClassRegistry.h) that MV_CLASS declares; null for classes
    // that declare none (ClassOfObject then finds the nearest described ancestor).
    virtual const TClassInfo* ClassType() const { return nullptr; }

    template <typename T> bool InheritsFrom() const { return dynamic_cast<const T*>(this) != nullptr; }
};

// Deletes the object and clears the pointer, so no dangling reference is left behind.
template <typename T> void FreeAndNil(T*& object) {
    T* doomed = object;
    object = nullptr;
    delete doomed;
}

class TFiler;

class TPersistent : public TObject {
public:
    // Copies source into this. The default asks source->AssignTo(this); when neither
    // side knows the other, raises EConvertError "Cannot assign a X to a Y".
    // A null source raises too ("Cannot assign a nil to a Y").
    virtual void Assign(const TPersistent* source);
    // The owner for name paths and streaming (a collection's owner, an item's collection).
    virtual TPersistent* GetOwner() const { return nullptr; }
    virtual String GetNamePath() const;

protected:
    friend class TReader;
    friend class TWriter;
    virtual void AssignTo(TPersistent* dest) const;
    // Streaming hook: entries of the form text that are not published properties, given
    // to filer->DefineProperty / DefineBinaryProperty (Filer.h). The default defines none.
    virtual void DefineProperties(TFiler* filer) { (void)filer; }
    [[noreturn]] void AssignError(const TPersistent* source) const;
};

} // namespace mv
