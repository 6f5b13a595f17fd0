// Field definitions: what a data set's storage holds (name, type, size, attributes,
// child definitions of object types), from which its default fields are created.
#pragma once

#include "platform/db/DB.h"
#include "platform/rtl/Collection.h"

#include <memory>

namespace mv {

class TFieldDefs;

class TFieldDef : public TCollectionItem {
public:
    explicit TFieldDef(TCollection* collection = nullptr);
    ~TFieldDef() override;

    const String& Name() const { return FName; }
    void SetName(const String& value);
    TFieldType DataType() const { return FDataType; }
    // Setting a type also sets the default size of sized types (20 for strings, 38 for
    // GUIDs, 4 decimals for BCD) when none was given.
    void SetDataType(TFieldType value);
    Integer Size() const { return FSize; }
    void SetSize(Integer value);
    Integer Precision() const { return FPrecision; }
    void SetPrecision(Integer value) { FPrecision = value; }
    TFieldAttributes Attributes() const { return FAttributes; }
    void SetAttributes(TFieldAttributes value) { FAttributes = value; }
    bool Required() const { return FAttributes.Contains(faRequired); }
    void SetRequired(bool value);
    // 1-based number of the definition in the data set's flat definition list (children
    // of ADT and array definitions included, parents before children), unless one was
    // assigned. A nested data set's children are numbered in the nested data set.
    Integer FieldNo() const;
    void SetFieldNo(Integer value) { FFieldNo = value; }
    bool InternalCalcField() const { return FInternalCalcField; }
    void SetInternalCalcField(bool value) { FInternalCalcField = value; }

    // Children of ADT and array definitions, or the fields of a nested data set
    // (ftDataSet); created on first use.
    TFieldDefs* ChildDefs();
    bool HasChildDefs() const;
    TFieldDef* AddChild();
    // The object definition this one is a child of, or null at the top level.
    TFieldDef* ParentDef() const;
    TDataSet* DataSet() const;
    // Parent names joined with "." ("Address.City"); array elements keep their own name.
    String FullName() const;

    // Creates the field for this definition, owned by owner; its data set is this
    // definition's data set, or it becomes a child of parentField. fieldName replaces the
    // definition's name (the flat name of an object child when ObjectView is off).
    // Children are created too when createChildren and the field is an object field.
    // Raises EDatabaseError SUnknownFieldType for a type without field class.
    TField* CreateField(TComponent* owner, TObjectField* parentField = nullptr, const String& fieldName = u"",
                        bool createChildren = true);

    String GetDisplayName() const override { return FName; }
    void Assign(const TPersistent* source) override;

private:
    String FName;
    TFieldType FDataType = ftUnknown;
    Integer FSize = 0;
    Integer FPrecision = 0;
    Integer FFieldNo = 0;
    TFieldAttributes FAttributes;
    bool FInternalCalcField = false;
    std::unique_ptr<TFieldDefs> FChildDefs;
};

class TFieldDefs : public TOwnedCollection {
public:
    // owner is the data set, or the parent definition for child definitions.
    explicit TFieldDefs(TPersistent* owner);

    TFieldDef* Items(Integer index) const { return static_cast<TFieldDef*>(TCollection::Items(index)); }
    TFieldDef* AddFieldDef();
    TFieldDef* Add(const String& name, TFieldType dataType, Integer size = 0, bool required = false);
    // -1 / null when no definition has the name (compared without regard to case).
    Integer IndexOf(StringView name) const;
    TFieldDef* FindDef(StringView name) const;
    // Raises EDatabaseError SFieldNotFound, with the data set as component, when missing.
    TFieldDef* Find(StringView name) const;

    // The data set whose definitions these are (through parent definitions).
    TDataSet* DataSet() const;
    TFieldDef* ParentDef() const;

    // False after a change; Update asks the data set to initialise its definitions
    // (InternalInitFieldDefs) when they are not up to date.
    bool Updated() const { return FUpdated; }
    void SetUpdated(bool value) { FUpdated = value; }
    void Update();
    bool HiddenFields() const { return FHiddenFields; }
    void SetHiddenFields(bool value) { FHiddenFields = value; }

protected:
    void Update(TCollectionItem* item) override;

private:
    bool FUpdated = false;
    bool FHiddenFields = false;
};

// The definitions of a data set flattened, parents before children, with full names.
// The children of a nested data set definition are not part of it.
class TFieldDefList {
public:
    Integer Count() const { return static_cast<Integer>(FDefs.size()); }
    TFieldDef* FieldDefs(Integer index) const { return FDefs.at(static_cast<std::size_t>(index)); }
    const String& Strings(Integer index) const { return FNames.at(static_cast<std::size_t>(index)); }
    Integer IndexOf(StringView fullName) const;
    TFieldDef* Find(StringView fullName) const;
    void Rebuild(const TFieldDefs& defs);

private:
    void AddDefs(const TFieldDefs& defs);
    std::vector<TFieldDef*> FDefs;
    std::vector<String> FNames;
};

} // namespace mv
